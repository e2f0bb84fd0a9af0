// The generated tile and bonus pictures: every file the level loads is there at
// 64x64, the slopes are see-through exactly where a character may walk, solid
// tiles are opaque, textures join across tile boundaries and the bonus
// animations move and grow with their amount.
#include <gtest/gtest.h>

#include "Png.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{
    const char* const FichiersTuiles[] = {
        "Herbe",
        "Eau",
        "Mur",
        "Debut de pente droite",
        "Sable - Vers vide a gauche",
        "Debut de pente gauche",
        "Sommet de cote droite",
        "Sommet de cote gauche",
        "Terre",
        "Herbe vers le vide a droite",
        "Transition cote droite",
        "Herbe vers le vide a gauche",
        "Transition cote gauche",
        "Transition mur-eau droite",
        "Mur droite",
        "Transition mur-eau gauche",
        "Mur gauche",
        "Transition mur-herbe droite",
        "Transition mur-herbe gauche",
        "Pente droite",
        "Transition mur-terre bas droite",
        "Pente gauche",
        "Transition mur-terre  bas gauche",
        "Sable - Interieur",
        "Transition mur-terre droite",
        "Sable - Mur droite",
        "Transition mur-terre gauche",
        "Sable - Mur gauche",
        "Transition mur-terre haut droite",
        "Sable - Sol",
        "Transition mur-terre haut gauche",
        "Sable - Vers vide a droite",
    };

    const char* const Bonus[] = {"vie25", "vie50", "vie75", "vie100", "mana25", "mana50", "mana75", "mana100"};

    ImageRGBA Tuile(const std::string& nom)
    {
        ImageRGBA image;
        EXPECT_TRUE(LirePng("Images/Maps/" + nom + ".png", image)) << nom;
        return image;
    }

    ImageRGBA ImageBonus(const std::string& sorte, int numero)
    {
        ImageRGBA image;
        char chemin[128];
        std::snprintf(chemin, sizeof chemin, "Images/Bonus/%sp%d.png", sorte.c_str(), numero);
        EXPECT_TRUE(LirePng(chemin, image)) << chemin;
        return image;
    }

    int Alpha(const ImageRGBA& image, int x, int y)
    {
        return image.Pixel(x, y)[3];
    }

    int PixelsVisibles(const ImageRGBA& image)
    {
        int n = 0;
        for (int y = 0; y < image.Hauteur; ++y)
            for (int x = 0; x < image.Largeur; ++x)
                n += Alpha(image, x, y) > 128 ? 1 : 0;
        return n;
    }

    // Mean colour difference between pixel (xa, ya + k) of a and (xb, yb + k) of b
    // (ligne = false: along a column) or (xa + k, ya) / (xb + k, yb) (along a
    // row), over the pairs where both pixels are opaque.
    double EcartMoyen(const ImageRGBA& a, int xa, int ya, const ImageRGBA& b, int xb, int yb, bool ligne)
    {
        double somme = 0;
        int n = 0;
        for (int k = 0; k < 64; ++k)
        {
            const uint8_t* p = ligne ? a.Pixel(xa + k, ya) : a.Pixel(xa, ya + k);
            const uint8_t* q = ligne ? b.Pixel(xb + k, yb) : b.Pixel(xb, yb + k);
            if (p[3] < 255 || q[3] < 255)
                continue;
            for (int c = 0; c < 3; ++c)
                somme += std::abs(p[c] - q[c]);
            ++n;
        }
        EXPECT_GT(n, 32) << "too few opaque pixels to compare";
        return n > 0 ? somme / (n * 3) : 0;
    }

    // How much neighbouring columns of a picture differ inside it, on average.
    double EcartInterieurColonnes(const ImageRGBA& image)
    {
        double somme = 0;
        for (int x = 8; x < 56; ++x)
            somme += EcartMoyen(image, x, 0, image, x + 1, 0, false);
        return somme / 48;
    }

    double EcartInterieurLignes(const ImageRGBA& image)
    {
        double somme = 0;
        for (int y = 8; y < 56; ++y)
            somme += EcartMoyen(image, 0, y, image, 0, y + 1, true);
        return somme / 48;
    }
}

TEST(ImagesTuiles, EveryTileIsThereAt64By64)
{
    for (const char* nom : FichiersTuiles)
    {
        const ImageRGBA image = Tuile(nom);
        EXPECT_EQ(image.Largeur, 64) << nom;
        EXPECT_EQ(image.Hauteur, 64) << nom;
    }
}

TEST(ImagesTuiles, TheLowerLeftBankFileNameHasTwoBlanks)
{
    ImageRGBA image;
    EXPECT_TRUE(LirePng("Images/Maps/Transition mur-terre  bas gauche.png", image));
    EXPECT_FALSE(LirePng("Images/Maps/Transition mur-terre bas gauche.png", image));
}

// Ground falling towards the right: a character may stand where ry < rx.
TEST(ImagesTuiles, SlopesFallingRightAreOpenAboveTheirDiagonal)
{
    for (const char* nom : {"Pente droite", "Sommet de cote droite"})
    {
        const ImageRGBA image = Tuile(nom);
        ASSERT_EQ(image.Largeur, 64);
        ASSERT_EQ(image.Hauteur, 64);
        EXPECT_EQ(Alpha(image, 50, 10), 0) << nom;
        EXPECT_EQ(Alpha(image, 62, 1), 0) << nom;
        EXPECT_EQ(Alpha(image, 40, 2), 0) << nom;
        EXPECT_EQ(Alpha(image, 10, 50), 255) << nom;
        EXPECT_EQ(Alpha(image, 1, 62), 255) << nom;
        EXPECT_EQ(Alpha(image, 30, 60), 255) << nom;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
            {
                if (x - y >= 12)
                {
                    EXPECT_EQ(Alpha(image, x, y), 0) << nom << " open at " << x << "," << y;
                }
                if (y - x >= 8)
                {
                    EXPECT_EQ(Alpha(image, x, y), 255) << nom << " solid at " << x << "," << y;
                }
            }
    }
}

// Ground rising towards the right: a character may stand where ry < 64 - rx.
TEST(ImagesTuiles, SlopesRisingRightAreOpenAboveTheirDiagonal)
{
    for (const char* nom : {"Pente gauche", "Sommet de cote gauche"})
    {
        const ImageRGBA image = Tuile(nom);
        ASSERT_EQ(image.Largeur, 64);
        ASSERT_EQ(image.Hauteur, 64);
        EXPECT_EQ(Alpha(image, 10, 10), 0) << nom;
        EXPECT_EQ(Alpha(image, 1, 1), 0) << nom;
        EXPECT_EQ(Alpha(image, 5, 45), 0) << nom;
        EXPECT_EQ(Alpha(image, 50, 50), 255) << nom;
        EXPECT_EQ(Alpha(image, 62, 62), 255) << nom;
        EXPECT_EQ(Alpha(image, 60, 20), 255) << nom;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
            {
                const int dessous = y - (63 - x); // pixels below the diagonal
                if (dessous <= -12)
                {
                    EXPECT_EQ(Alpha(image, x, y), 0) << nom << " open at " << x << "," << y;
                }
                if (dessous >= 8)
                {
                    EXPECT_EQ(Alpha(image, x, y), 255) << nom << " solid at " << x << "," << y;
                }
            }
    }
}

TEST(ImagesTuiles, InnerTilesAreOpaqueEverywhere)
{
    for (const char* nom : {"Terre", "Mur", "Mur gauche", "Mur droite", "Sable - Interieur",
                            "Transition mur-eau gauche", "Transition mur-eau droite", "Transition mur-terre gauche",
                            "Transition mur-terre droite", "Transition mur-terre haut gauche",
                            "Transition mur-terre haut droite", "Transition mur-terre  bas gauche",
                            "Transition mur-terre bas droite"})
    {
        const ImageRGBA image = Tuile(nom);
        ASSERT_EQ(image.Largeur, 64);
        int transparents = 0;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                transparents += Alpha(image, x, y) < 255 ? 1 : 0;
        EXPECT_EQ(transparents, 0) << nom;
    }
}

// Grass, water and sand ground let the sky through only between the blades or
// over the ripples of their top few rows.
TEST(ImagesTuiles, GroundTilesAreOpaqueBelowTheirSurface)
{
    for (const char* nom : {"Herbe", "Eau", "Sable - Sol", "Debut de pente droite", "Debut de pente gauche",
                            "Transition mur-herbe gauche", "Transition mur-herbe droite"})
    {
        const ImageRGBA image = Tuile(nom);
        ASSERT_EQ(image.Largeur, 64);
        for (int y = 6; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                ASSERT_EQ(Alpha(image, x, y), 255) << nom << " at " << x << "," << y;
        int ouverts = 0;
        for (int x = 0; x < 64; ++x)
            ouverts += Alpha(image, x, 0) < 255 ? 1 : 0;
        if (std::string(nom).find("Debut") == std::string::npos && std::string(nom).find("mur") == std::string::npos)
        {
            EXPECT_GT(ouverts, 0) << nom << ": the top row should show the sky somewhere";
        }
    }
}

// Edges towards the void are solid on the ground side and let the sky through
// at the open corner.
TEST(ImagesTuiles, EdgesTowardsTheVoidAreOpenOnTheirOpenSide)
{
    struct Bord
    {
        const char* nom;
        bool droite;
        bool sommet;
    };
    const Bord bords[] = {
        {"Herbe vers le vide a droite", true, true}, {"Herbe vers le vide a gauche", false, true},
        {"Sable - Vers vide a droite", true, true},  {"Sable - Vers vide a gauche", false, true},
        {"Transition cote droite", true, false},     {"Transition cote gauche", false, false},
        {"Sable - Mur droite", true, false},         {"Sable - Mur gauche", false, false},
    };
    for (const Bord& bord : bords)
    {
        const ImageRGBA image = Tuile(bord.nom);
        ASSERT_EQ(image.Largeur, 64);
        const int bordure = bord.droite ? 63 : 0;
        const int interieur = bord.droite ? 20 : 43;
        EXPECT_EQ(Alpha(image, interieur, 40), 255) << bord.nom;
        EXPECT_EQ(Alpha(image, 32, 63), 255) << bord.nom;
        if (bord.sommet)
        {
            EXPECT_EQ(Alpha(image, bordure, 0), 0) << bord.nom;
        }
        int ouverts = 0;
        for (int y = 0; y < 64; ++y)
            ouverts += Alpha(image, bordure, y) < 255 ? 1 : 0;
        EXPECT_GT(ouverts, 8) << bord.nom << ": the cliff face should be ragged";
        int ouvertsAutreCote = 0;
        for (int y = 12; y < 64; ++y)
            ouvertsAutreCote += Alpha(image, 63 - bordure, y) < 255 ? 1 : 0;
        EXPECT_EQ(ouvertsAutreCote, 0) << bord.nom << ": the ground side joins the next tile";
    }
}

// A material continues across tile boundaries: the jump between the last
// column of one tile and the first of the next is no larger than the usual
// difference between two neighbouring columns.
TEST(ImagesTuiles, TexturesJoinAcrossTileBoundaries)
{
    const ImageRGBA terre = Tuile("Terre");
    const ImageRGBA herbe = Tuile("Herbe");
    const ImageRGBA mur = Tuile("Mur");
    const ImageRGBA sable = Tuile("Sable - Interieur");
    const ImageRGBA eau = Tuile("Eau");
    ASSERT_EQ(terre.Largeur, 64);
    ASSERT_EQ(herbe.Largeur, 64);
    ASSERT_EQ(mur.Largeur, 64);
    ASSERT_EQ(sable.Largeur, 64);
    ASSERT_EQ(eau.Largeur, 64);

    for (const ImageRGBA* image : {&terre, &sable, &mur, &eau})
    {
        EXPECT_LE(EcartMoyen(*image, 63, 0, *image, 0, 0, false), 1.5 * EcartInterieurColonnes(*image) + 1);
        if (image != &eau)
        {
            EXPECT_LE(EcartMoyen(*image, 0, 63, *image, 0, 0, true), 1.5 * EcartInterieurLignes(*image) + 1);
        }
    }
    // Grass beside grass, and earth under grass.
    EXPECT_LE(EcartMoyen(herbe, 63, 0, herbe, 0, 0, false), 1.5 * EcartInterieurColonnes(herbe) + 1);
    EXPECT_LE(EcartMoyen(herbe, 0, 63, terre, 0, 0, true), 1.5 * EcartInterieurLignes(terre) + 1);
    // Earth beside the foot of a slope, and flat grass beside a slope start.
    const ImageRGBA pied = Tuile("Debut de pente droite");
    ASSERT_EQ(pied.Largeur, 64);
    EXPECT_LE(EcartMoyen(pied, 63, 0, herbe, 0, 0, false), 1.5 * EcartInterieurColonnes(herbe) + 1);
    EXPECT_LE(EcartMoyen(terre, 63, 0, pied, 0, 0, false), 1.5 * EcartInterieurColonnes(terre) + 1);
}

TEST(ImagesBonus, EveryFrameIsThereAt64By64OnATransparentBackground)
{
    for (const char* sorte : Bonus)
        for (int numero = 1; numero <= 10; ++numero)
        {
            const ImageRGBA image = ImageBonus(sorte, numero);
            ASSERT_EQ(image.Largeur, 64) << sorte << numero;
            ASSERT_EQ(image.Hauteur, 64) << sorte << numero;
            EXPECT_EQ(Alpha(image, 0, 0), 0) << sorte << numero;
            EXPECT_EQ(Alpha(image, 63, 0), 0) << sorte << numero;
            EXPECT_EQ(Alpha(image, 0, 63), 0) << sorte << numero;
            EXPECT_EQ(Alpha(image, 63, 63), 0) << sorte << numero;
            EXPECT_GT(PixelsVisibles(image), 150) << sorte << numero;
        }
}

TEST(ImagesBonus, FramesMoveAndTheLoopCloses)
{
    for (const char* sorte : Bonus)
    {
        std::vector<ImageRGBA> images;
        for (int numero = 1; numero <= 10; ++numero)
            images.push_back(ImageBonus(sorte, numero));
        for (const ImageRGBA& image : images)
            ASSERT_EQ(image.Largeur, 64);
        // Successive frames differ, and the step from the tenth back to the first
        // is no larger than the largest step inside the loop.
        auto ecart = [](const ImageRGBA& a, const ImageRGBA& b) {
            long somme = 0;
            for (size_t i = 0; i < a.Pixels.size(); ++i)
                somme += std::abs(a.Pixels[i] - b.Pixels[i]);
            return somme;
        };
        long plusGrand = 0;
        for (int i = 0; i + 1 < 10; ++i)
        {
            const long e = ecart(images[i], images[i + 1]);
            EXPECT_GT(e, 0) << sorte << " frames " << i + 1 << " and " << i + 2;
            plusGrand = std::max(plusGrand, e);
        }
        EXPECT_GT(ecart(images[9], images[0]), 0) << sorte;
        EXPECT_LE(ecart(images[9], images[0]), plusGrand * 5 / 4) << sorte;
    }
}

TEST(ImagesBonus, LargerAmountsLookLarger)
{
    for (int famille = 0; famille < 2; ++famille)
    {
        int precedent = 0;
        for (int rang = 0; rang < 4; ++rang)
        {
            const char* sorte = Bonus[famille * 4 + rang];
            const int taille = PixelsVisibles(ImageBonus(sorte, 1));
            EXPECT_GT(taille, precedent * 11 / 10) << sorte;
            precedent = taille;
        }
    }
}

// Life is warm, mana is cool: compare the mean red and blue of the visible pixels.
TEST(ImagesBonus, LifeIsWarmAndManaIsCool)
{
    for (const char* sorte : Bonus)
    {
        const ImageRGBA image = ImageBonus(sorte, 1);
        ASSERT_EQ(image.Largeur, 64);
        long rouge = 0, bleu = 0;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                if (Alpha(image, x, y) > 200)
                {
                    rouge += image.Pixel(x, y)[0];
                    bleu += image.Pixel(x, y)[2];
                }
        if (std::string(sorte).rfind("vie", 0) == 0)
        {
            EXPECT_GT(rouge, bleu * 3 / 2) << sorte;
        }
        else
        {
            EXPECT_GT(bleu, rouge * 3 / 2) << sorte;
        }
    }
}
