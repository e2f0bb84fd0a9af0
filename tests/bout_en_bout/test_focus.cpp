// P and M held in the real game while another window takes the focus: SDL
// sends their releases then, and the game must not pause or mute for them.
// The game's sound is written by SDL's disk driver: the music goes on.
#include <gtest/gtest.h>

#include "aide/Aide.h"
#include "aide/Partie.h"
#include "aide/Processus.h"
#include "aide/SortieSon.h"
#include "son/NomsSons.h"

#include <chrono>
#include <cstdlib>
#include <string>

namespace
{
    // Waits (10 s at most) until `fenetre` has the keyboard focus.
    bool AttendreFocus(const std::string& fenetre)
    {
        const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (std::chrono::steady_clock::now() < limite)
        {
            Sortie("xdotool windowactivate " + fenetre + " 2>/dev/null");
            if (Sortie("xdotool getwindowfocus 2>/dev/null") == fenetre)
                return true;
            Patienter(100);
        }
        return false;
    }

    // RMS of the last half second once `secondes` more of sound are written.
    double FinDuSon(const std::string& fichier, double secondes)
    {
        const size_t avant = LireSortieSon(fichier).size();
        EXPECT_TRUE(AttendreSortieSon(fichier, avant, secondes, false));
        const std::vector<float> sortie = LireSortieSon(fichier);
        const size_t demi = static_cast<size_t>(Son::Frequence / 2);
        if (sortie.size() < demi)
            return 0;
        return Efficace(std::vector<float>(sortie.end() - static_cast<long>(demi), sortie.end()));
    }
}

TEST(Focus, PAndMHeldWhileTheFocusGoesToggleNothing)
{
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under xvfb-run";
    DossierTemporaire dossier;
    const std::string son = dossier / "sortie.raw";
    PartieJeu partie("", SonSurDisque(son));
    ASSERT_TRUE(partie.FenetreVisible());
    ASSERT_TRUE(AttendreSortieSon(son, 0, 1.0, true));
    const std::string jeu = partie.Fenetre();

    // Another window to take the focus.
    Lancement autre;
    const std::string xmessage = Sortie("command -v xmessage");
    ASSERT_FALSE(xmessage.empty()) << "xmessage (x11-utils) is needed";
    autre.Arguments = {xmessage, "-geometry", "200x80+0+0", "-title", "corvella-autre-fenetre", "ailleurs"};
    const pid_t pidAutre = Demarrer(autre);
    ASSERT_GT(pidAutre, 0);
    // Ended with the test, whichever way the test ends: left running, it
    // would hold the test's output open and CTest would wait for it.
    struct Arret
    {
        pid_t Pid;
        ~Arret()
        {
            if (AttendreFin(Pid, 0) < 0)
                Tuer(Pid);
        }
    } arret{pidAutre};
    std::string fenetreAutre;
    const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (fenetreAutre.empty() && std::chrono::steady_clock::now() < limite)
    {
        fenetreAutre = Sortie("xdotool search --onlyvisible --name '^corvella-autre-fenetre$' 2>/dev/null | head -1");
        if (fenetreAutre.empty())
            Patienter(100);
    }
    ASSERT_FALSE(fenetreAutre.empty());

    ASSERT_TRUE(AttendreFocus(jeu));
    Sortie("xdotool mousemove --window " + jeu + " 50 50 2>/dev/null");
    partie.Appuyer("p");
    partie.Appuyer("m");
    // A few frames of the game with both held (the game sees their presses).
    EXPECT_GT(FinDuSon(son, 0.3), 0.005);
    ASSERT_TRUE(AttendreFocus(fenetreAutre));
    partie.Relacher("p");
    partie.Relacher("m");
    ASSERT_TRUE(AttendreFocus(jeu));
    Sortie("xdotool mousemove --window " + jeu + " 50 50 2>/dev/null");
    // Neither paused nor muted: the music plays on.
    const double apres = FinDuSon(son, 1.0);
    // And P made in the window still pauses: the music stops.
    partie.Taper("p");
    const double enPause = FinDuSon(son, 1.3);
    std::printf("music RMS: %.4f after the focus went and came back, %.5f paused with P\n", apres, enPause);
    EXPECT_GT(apres, 0.005);
    EXPECT_LT(enPause, 1e-3);
    EXPECT_EQ(partie.Quitter(), 0);
}
