// The player's animation frames drawn by the asset generator: 40 pictures in
// each of the two character folders, 64x64 with a transparent background,
// feet on the bottom rows when standing or walking.
#include <gtest/gtest.h>

#include "Png.h"

#include <cstdio>
#include <string>

namespace
{
    const char* const Dossiers[] = {"Principal", "Principal (copie)"};
    const char* const Animations[] = {"immobile", "marche", "saut", "accrocher"};

    std::string Chemin(const char* dossier, const char* animation, int numero)
    {
        char chemin[128];
        std::snprintf(chemin, sizeof chemin, "./Images/Personnages/%s/%s%d.png", dossier, animation, numero);
        return chemin;
    }

    int Alpha(const ImageRGBA& image, int x, int y)
    {
        return image.Pixel(x, y)[3];
    }

    // Highest and lowest rows holding a fully opaque pixel (-1 when none).
    void RangeesOpaques(const ImageRGBA& image, int& haut, int& bas)
    {
        haut = bas = -1;
        for (int y = 0; y < image.Hauteur; ++y)
            for (int x = 0; x < image.Largeur; ++x)
                if (Alpha(image, x, y) == 255)
                {
                    if (haut < 0)
                        haut = y;
                    bas = y;
                }
    }
}

TEST(CharacterFrames, AllEightyFilesAre64x64WithTransparentCorners)
{
    for (const char* dossier : Dossiers)
        for (const char* animation : Animations)
            for (int n = 1; n <= 10; ++n)
            {
                const std::string chemin = Chemin(dossier, animation, n);
                SCOPED_TRACE(chemin);
                ImageRGBA image;
                ASSERT_TRUE(LirePng(chemin, image));
                ASSERT_EQ(image.Largeur, 64);
                ASSERT_EQ(image.Hauteur, 64);
                EXPECT_EQ(Alpha(image, 0, 0), 0);
                EXPECT_EQ(Alpha(image, 63, 0), 0);
                EXPECT_EQ(Alpha(image, 0, 63), 0);
                EXPECT_EQ(Alpha(image, 63, 63), 0);
                int haut, bas;
                RangeesOpaques(image, haut, bas);
                EXPECT_GE(haut, 0) << "no opaque figure";
            }
}

TEST(CharacterFrames, StandingAndWalkingFiguresStandOnTheBottomRows)
{
    for (const char* dossier : Dossiers)
        for (const char* animation : {"immobile", "marche"})
            for (int n = 1; n <= 10; ++n)
            {
                const std::string chemin = Chemin(dossier, animation, n);
                SCOPED_TRACE(chemin);
                ImageRGBA image;
                ASSERT_TRUE(LirePng(chemin, image));
                ASSERT_EQ(image.Hauteur, 64);
                int haut, bas;
                RangeesOpaques(image, haut, bas);
                // Feet on the floor, head near the top of the collision box.
                EXPECT_GE(bas, 60);
                EXPECT_LE(haut, 12);
            }
}

TEST(CharacterFrames, HangingHandsGripTheTopRightCorner)
{
    for (const char* dossier : Dossiers)
        for (int n = 1; n <= 10; ++n)
        {
            const std::string chemin = Chemin(dossier, "accrocher", n);
            SCOPED_TRACE(chemin);
            ImageRGBA image;
            ASSERT_TRUE(LirePng(chemin, image));
            ASSERT_EQ(image.Largeur, 64);
            bool main = false;
            for (int y = 0; y < 6; ++y)
                for (int x = 52; x < 64; ++x)
                    main = main || Alpha(image, x, y) == 255;
            EXPECT_TRUE(main);
        }
}

TEST(CharacterFrames, EachLoopMoves)
{
    for (const char* dossier : Dossiers)
        for (const char* animation : Animations)
        {
            SCOPED_TRACE(Chemin(dossier, animation, 1));
            ImageRGBA premiere;
            ASSERT_TRUE(LirePng(Chemin(dossier, animation, 1), premiere));
            int differentes = 0;
            for (int n = 2; n <= 10; ++n)
            {
                ImageRGBA image;
                ASSERT_TRUE(LirePng(Chemin(dossier, animation, n), image));
                differentes += image.Pixels != premiere.Pixels;
            }
            EXPECT_GE(differentes, 5);
        }
}
