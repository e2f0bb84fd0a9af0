// The real game switched between full screen and a window with F11 and
// Alt+Enter while it runs: after each switch the frame still shows the level's
// textures and the character where it was, and Escape still quits with 0.
// Each step waits for what it checks (the window's size, the scene drawn
// again), within bounds.
// The captures are kept in the build folder (captures/) to be looked at.
#include <gtest/gtest.h>

#include <chrono>

#include "aide/Aide.h"
#include "aide/Partie.h"
#include "aide/Processus.h"

#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>

namespace
{
    // The picture of `image` at `largeur` x `hauteur`, each pixel taken from
    // the nearest one (the game stretches its 800x600 view over the surface).
    ImageRGBA Reduire(const ImageRGBA& image, int largeur, int hauteur)
    {
        ImageRGBA r(largeur, hauteur);
        for (int y = 0; y < hauteur; ++y)
            for (int x = 0; x < largeur; ++x)
            {
                const uint8_t* p = image.Pixel(x * image.Largeur / largeur, y * image.Hauteur / hauteur);
                r.Fixer(x, y, p[0], p[1], p[2]);
            }
        return r;
    }

    // Mean difference of the colour components over a logical rectangle given
    // in 800x600 units, below the head-up display (its frame counter changes).
    double Ecart(const ImageRGBA& a, const ImageRGBA& b, int x0, int y0, int x1, int y1)
    {
        if (a.Largeur != b.Largeur || a.Hauteur != b.Hauteur || a.Largeur == 0)
            return 1e9;
        double somme = 0;
        long n = 0;
        for (int y = y0 * a.Hauteur / 600; y < y1 * a.Hauteur / 600; ++y)
            for (int x = x0 * a.Largeur / 800; x < x1 * a.Largeur / 800; ++x)
            {
                const uint8_t* p = a.Pixel(x, y);
                const uint8_t* q = b.Pixel(x, y);
                somme += std::abs(p[0] - q[0]) + std::abs(p[1] - q[1]) + std::abs(p[2] - q[2]);
                n += 3;
            }
        return somme / static_cast<double>(n);
    }

    // The spread of the brightness: a textured scene, not plain quads or a clear.
    double Contraste(const ImageRGBA& image)
    {
        double somme = 0, carres = 0;
        long n = 0;
        for (int y = image.Hauteur / 8; y < image.Hauteur; y += 4)
            for (int x = 0; x < image.Largeur; x += 4)
            {
                const uint8_t* p = image.Pixel(x, y);
                const double l = (p[0] + p[1] + p[2]) / 3.0;
                somme += l;
                carres += l * l;
                ++n;
            }
        const double moyenne = somme / static_cast<double>(n);
        return std::sqrt(carres / static_cast<double>(n) - moyenne * moyenne);
    }
}

TEST(BasculeEcran, F11GoesToAWindowAndBackKeepingTheLevelAndTheCharacter)
{
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under xvfb-run";
    PartieJeu partie;
    ASSERT_TRUE(partie.FenetreVisible()) << "the game's window never appeared";
    const std::string captures = DossierJeu() + "/captures";
    CreerDossiers(captures);
    const std::string ecran = TailleEcran();
    ASSERT_TRUE(AttendreGeometrie(partie.Fenetre(), ecran));

    // Once the scene is drawn (the fade in over), walk a little away from
    // the start (until the view has moved), then stand still.
    ImageRGBA avant;
    ASSERT_GE(partie.AttendreScene(captures + "/bascule-0-debut.png", avant), 0) << "no scene within 60 s";
    ASSERT_GE(partie.AttendreRepos(captures + "/bascule-0-debut.png", avant), 0) << "the view never rests";
    const long cinquantieme = static_cast<long>(avant.Largeur) * avant.Hauteur / 50;
    {
        const ImageRGBA depart = avant;
        partie.Appuyer("Right");
        ImageRGBA marche;
        EXPECT_GE(partie.AttendreImage(captures + "/bascule-0-marche.png", marche, 30000,
                                       [&](const ImageRGBA& i) { return PixelsDifferents(depart, i) > cinquantieme; }),
                  0)
            << "Right held, the view did not move in 30 s";
        partie.Relacher("Right");
    }
    ASSERT_GE(partie.AttendreRepos(captures + "/bascule-1-plein-ecran.png", avant), 0) << "the character never stops";
    EXPECT_GT(Contraste(avant), 20.0);

    // F11: the engine's 800x600 window, the same scene in it.
    partie.Taper("F11");
    ASSERT_TRUE(AttendreGeometrie(partie.Fenetre(), "800x600")) << Geometrie(partie.Fenetre());
    // The window lies whole on the screen, centred.
    {
        int x = -1, y = -1, l = 0, h = 0;
        std::istringstream bureau(Sortie("xdotool getdisplaygeometry"));
        bureau >> l >> h;
        // The window manager may place the window a moment after its size
        // has changed (slow under the sanitizers): a bounded wait.
        const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (std::chrono::steady_clock::now() < limite)
        {
            std::istringstream position(Sortie("xdotool getwindowgeometry --shell " + partie.Fenetre() +
                                               " | sed -n 's/^[XY]=//p'"));
            position >> x >> y;
            if (std::abs(x - (l - 800) / 2) <= 40)
                break;
            Patienter(100);
        }
        EXPECT_GE(x, 0);
        EXPECT_GE(y, 0);
        EXPECT_LE(x + 800, l);
        EXPECT_LE(y + 600, h);
        EXPECT_NEAR(x, (l - 800) / 2, 40);
    }
    // The same scene drawn in the window at its new size (the first frames
    // after a switch may take a while).
    const ImageRGBA avantReduit = Reduire(avant, 800, 600);
    ImageRGBA fenetre;
    EXPECT_GE(partie.AttendreImage(captures + "/bascule-2-fenetre.png", fenetre, 30000,
                                   [&](const ImageRGBA& i)
                                   {
                                       return i.Largeur == 800 && i.Hauteur == 600 &&
                                              Ecart(avantReduit, i, 0, 75, 800, 600) < 6.0;
                                   }),
              0)
        << "the scene not drawn again in the window within 30 s";
    EXPECT_GT(Contraste(fenetre), 20.0);
    EXPECT_LT(Ecart(avantReduit, fenetre, 0, 75, 800, 600), 6.0);
    EXPECT_LT(Ecart(avantReduit, fenetre, 300, 200, 500, 400), 15.0); // the character

    // Alt+Enter: full screen at the desktop's size again.
    partie.Taper("alt+Return");
    ASSERT_TRUE(AttendreGeometrie(partie.Fenetre(), ecran)) << Geometrie(partie.Fenetre());
    ImageRGBA apres;
    EXPECT_GE(partie.AttendreImage(captures + "/bascule-3-plein-ecran.png", apres, 30000,
                                   [&](const ImageRGBA& i) { return Ecart(avant, i, 0, 75, 800, 600) < 4.0; }),
              0)
        << "the scene not drawn again at full screen within 30 s";
    EXPECT_LT(Ecart(avant, apres, 0, 75, 800, 600), 4.0);
    EXPECT_LT(Ecart(avant, apres, 300, 200, 500, 400), 10.0);

    // F11 twice more, then Escape: the game ends normally.
    partie.Taper("F11");
    ASSERT_TRUE(AttendreGeometrie(partie.Fenetre(), "800x600"));
    partie.Taper("F11");
    ASSERT_TRUE(AttendreGeometrie(partie.Fenetre(), ecran));
    EXPECT_TRUE(partie.EnCours());
    EXPECT_EQ(partie.Quitter(), 0);
}
