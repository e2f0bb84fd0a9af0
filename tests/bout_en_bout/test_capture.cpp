// A screenshot of the running game, as a player sees it after the fade-in: the
// picture shown in the README comes from here (build/capture-jeu.png).
#include <gtest/gtest.h>

#include "aide/Partie.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>

namespace
{
    // The sum of a grid of the picture's pixels.
    long Clarte(const ImageRGBA& image)
    {
        long somme = 0;
        for (int y = 0; y < image.Hauteur; y += 16)
            for (int x = 0; x < image.Largeur; x += 16)
            {
                const uint8_t* p = image.Pixel(x, y);
                somme += p[0] + p[1] + p[2];
            }
        return somme;
    }
}

TEST(Capture, TheGameAfterItsFadeInIsNotBlank)
{
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under xvfb-run";
    PartieJeu partie;
    ASSERT_TRUE(partie.FenetreVisible()) << "the game's window never appeared";
    // The game fades in from black over its first second: pictures until the
    // brightness stops rising (two in a row within 1 %), 30 s at most.
    ImageRGBA image;
    const std::string chemin = std::filesystem::absolute("capture-jeu.png").string();
    long avant = -1, somme = 0;
    const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < limite)
    {
        ASSERT_TRUE(partie.Capturer(chemin, &image));
        somme = Clarte(image);
        if (avant > 0 && std::labs(somme - avant) * 100 <= avant)
            break;
        avant = somme;
        Patienter(200);
    }
    EXPECT_EQ(partie.Quitter(), 0);

    // Not a black screen: the scene is drawn and the fade is over.
    EXPECT_GT(somme, 100L * (image.Largeur / 16) * (image.Hauteur / 16));
}
