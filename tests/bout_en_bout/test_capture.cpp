// A screenshot of the running game, as a player sees it after the fade-in: the
// picture shown in the README comes from here (build/capture-jeu.png).
#include <gtest/gtest.h>

#include "aide/Partie.h"

#include <cstdlib>
#include <filesystem>

TEST(Capture, TheGameAfterItsFadeInIsNotBlank)
{
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under xvfb-run";
    PartieJeu partie;
    ASSERT_TRUE(partie.FenetreVisible()) << "the game's window never appeared";
    // The game fades in from black over its first second; give it that second
    // and a little more.
    Patienter(2500);
    ImageRGBA image;
    ASSERT_TRUE(partie.Capturer(std::filesystem::absolute("capture-jeu.png").string(), &image));
    EXPECT_EQ(partie.Quitter(), 0);

    // Not a black screen: the scene is drawn and the fade is over.
    long somme = 0;
    for (int y = 0; y < image.Hauteur; y += 16)
        for (int x = 0; x < image.Largeur; x += 16)
        {
            const uint8_t* p = image.Pixel(x, y);
            somme += p[0] + p[1] + p[2];
        }
    EXPECT_GT(somme, 100L * (image.Largeur / 16) * (image.Hauteur / 16));
}
