// Minimising the real game: it pauses, draws nothing and waits (its processor
// time stays near zero and the music stops), and on return the pause caption
// is there until P resumes.
#include <gtest/gtest.h>

#include "aide/Aide.h"
#include "aide/Partie.h"
#include "aide/SortieSon.h"
#include "son/NomsSons.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace
{
    // Processor time (user and system, all threads) the process has used, in ms.
    double TempsProcesseur(const std::string& pid)
    {
        std::ifstream f("/proc/" + pid + "/stat");
        std::string ligne;
        std::getline(f, ligne);
        const size_t fin = ligne.rfind(')');
        if (fin == std::string::npos)
            return -1;
        std::istringstream champs(ligne.substr(fin + 2));
        std::string champ;
        double utime = 0, stime = 0;
        for (int i = 3; i <= 15 && champs >> champ; ++i)
        {
            if (i == 14)
                utime = std::atof(champ.c_str());
            if (i == 15)
                stime = std::atof(champ.c_str());
        }
        return (utime + stime) * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
    }

    // The share of a core the process uses over `ms` of real time.
    double Charge(const std::string& pid, int ms)
    {
        const double avant = TempsProcesseur(pid);
        const auto t0 = std::chrono::steady_clock::now();
        Patienter(ms);
        const double duree =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
        return (TempsProcesseur(pid) - avant) / duree;
    }

    // Waits (30 s at most) until the window is shown or hidden as asked.
    bool AttendreVisible(const std::string& fenetre, bool visible)
    {
        const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (std::chrono::steady_clock::now() < limite)
        {
            const std::string etat = Sortie("xwininfo -id " + fenetre + " 2>/dev/null | sed -n 's/.*Map State: //p'");
            if ((etat == "IsViewable") == visible && !etat.empty())
                return true;
            Patienter(100);
        }
        return false;
    }

    // Pixels of the caption's left part ("Pa", clear of the character at the
    // centre) at least 80 levels darker than in `reference`.
    int PlusSombres(const ImageRGBA& image, const ImageRGBA& reference)
    {
        if (image.Largeur != reference.Largeur || image.Hauteur != reference.Hauteur || image.Largeur == 0)
            return -1;
        const int x0 = 272 * image.Largeur / 800, x1 = 390 * image.Largeur / 800;
        const int y0 = 244 * image.Hauteur / 600, y1 = 300 * image.Hauteur / 600;
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
            {
                const uint8_t* a = image.Pixel(x, y);
                const uint8_t* b = reference.Pixel(x, y);
                if ((b[0] + b[1] + b[2]) - (a[0] + a[1] + a[2]) > 240)
                    ++n;
            }
        return n;
    }

    // The most caption seen in captures over `ms` (one pulse of the caption
    // lasts about 3 s).
    int CaptionLaPlusVisible(PartieJeu& partie, const std::string& chemin, const ImageRGBA& reference, int ms)
    {
        int plus = 0;
        const auto limite = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        do
        {
            ImageRGBA image;
            if (partie.CapturerFenetre(chemin, image))
                plus = std::max(plus, PlusSombres(image, reference));
        } while (std::chrono::steady_clock::now() < limite);
        return plus;
    }
}

TEST(Iconifier, AMinimisedGamePausesDrawsNothingAndWaits)
{
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under xvfb-run";
    DossierTemporaire dossier;
    const std::string son = dossier / "sortie.raw";
    PartieJeu partie("", SonSurDisque(son));
    ASSERT_TRUE(partie.FenetreVisible());
    const std::string fenetre = partie.Fenetre();
    const std::string pid = Sortie("xdotool getwindowpid " + fenetre + " 2>/dev/null");
    ASSERT_FALSE(pid.empty());
    // Running, past the fade-in, the music on.
    ASSERT_TRUE(AttendreSortieSon(son, 0, 1.0, true));
    const std::string capture = dossier / "capture.png";
    ImageRGBA reference;
    ASSERT_TRUE(partie.CapturerFenetre(capture, reference));
    const double enJeu = Charge(pid, 1000);

    Sortie("xdotool windowminimize " + fenetre + " 2>/dev/null");
    ASSERT_TRUE(AttendreVisible(fenetre, false));
    // A moment for the last frames and the pause sound, then the load of
    // 1.5 s minimised, and what the sound did then.
    ASSERT_TRUE(AttendreSortieSon(son, LireSortieSon(son).size(), 0.5, false));
    const double reduit = Charge(pid, 1500);
    ASSERT_TRUE(AttendreSortieSon(son, LireSortieSon(son).size(), 0.5, false));
    const std::vector<float> sortie = LireSortieSon(son);
    const size_t demi = static_cast<size_t>(Son::Frequence / 2);
    const double musique = Efficace(std::vector<float>(sortie.end() - static_cast<long>(demi), sortie.end()));
    std::printf("share of a core: %.2f playing, %.3f minimised; sound minimised: RMS %.5f\n", enJeu, reduit, musique);
    EXPECT_LT(reduit, 0.1);
    EXPECT_LT(musique, 1e-3);
    EXPECT_TRUE(partie.EnCours());

    // Back: paused, the caption pulsing, until P. Pictures until it shows
    // (one pulse lasts about 3 s; the first frames after the return may be
    // slow on a loaded machine), 30 s at most.
    Sortie("xdotool windowactivate " + fenetre + " 2>/dev/null");
    ASSERT_TRUE(AttendreVisible(fenetre, true));
    int enPause = 0;
    {
        ImageRGBA image;
        partie.AttendreImage(capture, image, 30000,
                             [&](const ImageRGBA& i)
                             {
                                 enPause = std::max(enPause, PlusSombres(i, reference));
                                 return enPause > 300;
                             });
    }
    Sortie("xdotool mousemove --window " + fenetre + " 50 50 2>/dev/null");
    partie.Taper("p");
    // Gone within a bound once P is handled, and gone for good.
    bool parti = false;
    for (int i = 0; i < 25 && !parti; ++i)
    {
        ImageRGBA image;
        parti = partie.CapturerFenetre(capture, image) && PlusSombres(image, reference) < 50;
    }
    const int repris = CaptionLaPlusVisible(partie, capture, reference, 1000);
    std::printf("caption pixels: %d paused after the return, %d after P\n", enPause, repris);
    EXPECT_GT(enPause, 300);
    EXPECT_TRUE(parti);
    EXPECT_LT(repris, 50);
    EXPECT_EQ(partie.Quitter(), 0);
}
