// Playing the real game with the keyboard: walk, jump, walk back, quit.
// The screenshots are kept in the build folder (captures/) to be looked at.
#include <gtest/gtest.h>

#include "aide/Aide.h"
#include "aide/Partie.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

namespace
{
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
    PartieJeu partie;
    ASSERT_TRUE(partie.FenetreVisible()) << "the game's window never appeared";
    const std::string captures = DossierJeu() + "/captures";
    CreerDossiers(captures);

    Patienter(800); // most of the fade in from black
    ImageRGBA marche1, marche2, saut;

    // Walking right: the character or the view moves between two captures.
    partie.Appuyer("Right");
    Patienter(400);
    EXPECT_TRUE(partie.Capturer(captures + "/jouer-1-marche.png", &marche1));
    Patienter(300);
    EXPECT_TRUE(partie.Capturer(captures + "/jouer-2-marche.png", &marche2));
    partie.Relacher("Right");
    EXPECT_TRUE(partie.EnCours()) << "the game ended while walking";
    EXPECT_GT(PixelsDifferents(marche1, marche2), 200);

    // A jump: the character leaves the ground.
    partie.Appuyer("Up");
    Patienter(200);
    EXPECT_TRUE(partie.Capturer(captures + "/jouer-3-saut.png", &saut));
    partie.Relacher("Up");
    EXPECT_GT(PixelsDifferents(marche2, saut), 200);

    // Walking back left, both keys pressed and released in turn.
    partie.Appuyer("Left");
    Patienter(400);
    partie.Appuyer("Right");
    Patienter(200);
    partie.Relacher("Right");
    partie.Relacher("Left");
    EXPECT_TRUE(partie.EnCours()) << "the game ended while playing";

    EXPECT_EQ(partie.Quitter(), 0);
}
