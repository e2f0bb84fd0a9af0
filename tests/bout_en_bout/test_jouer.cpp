// Playing the real game with the keyboard: walk, jump, walk back, quit.
// The screenshots are kept in the build folder (captures/) to be looked at.
#include <gtest/gtest.h>

#include "aide/Aide.h"
#include "aide/Processus.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

namespace
{
    std::string DossierJeu()
    {
        return std::filesystem::path(std::filesystem::absolute(BinaireJeu())).parent_path().string();
    }

    void Patienter(int ms)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }

    void Xdotool(const std::string& arguments)
    {
        Sortie("xdotool " + arguments + " 2>/dev/null");
    }

    // The whole screen into a PNG file; false when it could not be read back.
    bool Capture(const std::string& chemin, ImageRGBA& image)
    {
        Sortie("import -window root '" + chemin + "' 2>/dev/null");
        return LirePng(chemin, image);
    }

    // Pixels that differ between two captures below the head-up display (the
    // frame counter there changes on its own).
    long PixelsDifferents(const ImageRGBA& a, const ImageRGBA& b)
    {
        if (a.Largeur != b.Largeur || a.Hauteur != b.Hauteur)
            return -1;
        long n = 0;
        for (int y = a.Hauteur / 8; y < a.Hauteur; ++y)
            for (int x = 0; x < a.Largeur; ++x)
            {
                const uint8_t* p = a.Pixel(x, y);
                const uint8_t* q = b.Pixel(x, y);
                if (std::abs(p[0] - q[0]) + std::abs(p[1] - q[1]) + std::abs(p[2] - q[2]) > 30)
                    ++n;
            }
        return n;
    }
}

TEST(Jouer, WalkJumpAndQuitWithTheArrowKeys)
{
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under xvfb-run";
    Lancement l;
    l.Arguments = {std::filesystem::absolute(BinaireJeu()).string()};
    l.Dossier = DossierJeu();
    // See the other game tests: Mesa's driver is unloaded before the leak check.
    l.Ajouter = {"ASAN_OPTIONS=detect_leaks=0"};
    const pid_t pid = Demarrer(l);
    ASSERT_GT(pid, 0);
    const std::string fenetre =
        Sortie("timeout 20 xdotool search --sync --onlyvisible --name '^Corvella$' 2>/dev/null | head -1");
    if (fenetre.empty())
    {
        Tuer(pid);
        FAIL() << "the game's window never appeared";
    }
    Xdotool("mousemove --window " + fenetre + " 50 50");
    const std::string captures = DossierJeu() + "/captures";
    CreerDossiers(captures);

    Patienter(800); // most of the fade in from black
    ImageRGBA marche1, marche2, saut;

    // Walking right: the character or the view moves between two captures.
    Xdotool("keydown Right");
    Patienter(400);
    EXPECT_TRUE(Capture(captures + "/jouer-1-marche.png", marche1));
    Patienter(300);
    EXPECT_TRUE(Capture(captures + "/jouer-2-marche.png", marche2));
    Xdotool("keyup Right");
    EXPECT_EQ(AttendreFin(pid, 0), -1) << "the game ended while walking";
    EXPECT_GT(PixelsDifferents(marche1, marche2), 200);

    // A jump: the character leaves the ground.
    Xdotool("keydown Up");
    Patienter(200);
    EXPECT_TRUE(Capture(captures + "/jouer-3-saut.png", saut));
    Xdotool("keyup Up");
    EXPECT_GT(PixelsDifferents(marche2, saut), 200);

    // Walking back left, both keys pressed and released in turn.
    Xdotool("keydown Left");
    Patienter(400);
    Xdotool("keydown Right");
    Patienter(200);
    Xdotool("keyup Right");
    Xdotool("keyup Left");
    EXPECT_EQ(AttendreFin(pid, 0), -1) << "the game ended while playing";

    Xdotool("key Escape");
    const int statut = AttendreFin(pid, 20000);
    if (statut < 0)
        Tuer(pid);
    EXPECT_EQ(statut, 0);
}
