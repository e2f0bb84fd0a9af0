// The generated pictures of the font, the sky and the head-up display, read
// back from the build's Images/ folder: sizes, colours, and the properties the
// game relies on when it tints, stretches and layers them.
#include <gtest/gtest.h>

#include "Png.h"

#include <algorithm>
#include <string>
#include <vector>

namespace
{
    const std::string DossierFonte = "Images/Fontes/Standard/";

    std::vector<std::string> FichiersGlyphes()
    {
        std::vector<std::string> noms;
        for (char c = 'A'; c <= 'Z'; ++c)
            noms.push_back(std::string(1, c) + ".png");
        noms.push_back("DeuxPoints.png");
        for (char c = '0'; c <= '9'; ++c)
            noms.push_back(std::string(1, c) + ".png");
        for (const char* n : {"Espace.png", "Apostrophe.png", "Point.png", "Point exclamation.png", "tiret.png"})
            noms.push_back(n);
        return noms;
    }

    bool PuissanceDeDeux(int n)
    {
        return n > 0 && (n & (n - 1)) == 0;
    }

    int Alpha(const ImageRGBA& image, int x, int y)
    {
        return image.Pixel(x, y)[3];
    }

    // A pixel of a picture drawn over a 300 x 50 screen area, by screen pixel.
    const uint8_t* PixelEcran(const ImageRGBA& image, float x, float y)
    {
        const int px = std::min(image.Largeur - 1, static_cast<int>(x * image.Largeur / 300.0f));
        const int py = std::min(image.Hauteur - 1, static_cast<int>(y * image.Hauteur / 50.0f));
        return image.Pixel(px, py);
    }

    int Luminance(const uint8_t* p)
    {
        return (p[0] * 299 + p[1] * 587 + p[2] * 114) / 1000;
    }

    // Box-averaged alpha of a square glyph brought down to `cote` pixels, as
    // the mipmap levels the game draws small text from.
    std::vector<float> AlphaReduit(const ImageRGBA& image, int cote)
    {
        const int pas = image.Largeur / cote;
        std::vector<float> a(static_cast<size_t>(cote) * cote, 0.0f);
        for (int y = 0; y < cote * pas; ++y)
            for (int x = 0; x < cote * pas; ++x)
                a[static_cast<size_t>(y / pas) * cote + x / pas] += Alpha(image, x, y) / 255.0f / (pas * pas);
        return a;
    }

    class ImagesFonte : public ::testing::Test
    {
    protected:
        static void SetUpTestSuite()
        {
            for (const std::string& nom : FichiersGlyphes())
            {
                ImageRGBA image;
                lues_.push_back(LirePng(DossierFonte + nom, image));
                glyphes_.push_back(image);
            }
        }
        static std::vector<bool> lues_;
        static std::vector<ImageRGBA> glyphes_;
    };
    std::vector<bool> ImagesFonte::lues_;
    std::vector<ImageRGBA> ImagesFonte::glyphes_;
}

TEST_F(ImagesFonte, FortyTwoGlyphFilesOfOneSquarePowerOfTwoSize)
{
    const std::vector<std::string> noms = FichiersGlyphes();
    ASSERT_EQ(noms.size(), 42u);
    for (size_t i = 0; i < noms.size(); ++i)
    {
        ASSERT_TRUE(lues_[i]) << noms[i];
        EXPECT_EQ(glyphes_[i].Largeur, glyphes_[0].Largeur) << noms[i];
        EXPECT_EQ(glyphes_[i].Hauteur, glyphes_[i].Largeur) << noms[i];
    }
    EXPECT_TRUE(PuissanceDeDeux(glyphes_[0].Largeur));
    EXPECT_GE(glyphes_[0].Largeur, 64);
}

TEST_F(ImagesFonte, GlyphsArePureWhiteWithTheShapeInAlpha)
{
    // The drawing colour multiplies the picture: any pixel that is not white,
    // even a transparent one averaged into a mipmap, would darken the text.
    const std::vector<std::string> noms = FichiersGlyphes();
    for (size_t i = 0; i < noms.size(); ++i)
    {
        ASSERT_TRUE(lues_[i]) << noms[i];
        const ImageRGBA& g = glyphes_[i];
        int pasBlancs = 0, opaques = 0;
        for (int y = 0; y < g.Hauteur; ++y)
            for (int x = 0; x < g.Largeur; ++x)
            {
                const uint8_t* p = g.Pixel(x, y);
                if (p[0] != 255 || p[1] != 255 || p[2] != 255)
                    ++pasBlancs;
                if (p[3] == 255)
                    ++opaques;
            }
        EXPECT_EQ(pasBlancs, 0) << noms[i];
        if (noms[i] == "Espace.png")
        {
            EXPECT_EQ(opaques, 0);
        }
        else
        {
            EXPECT_GT(opaques, g.Largeur * g.Hauteur / 100) << noms[i] << " has too little ink";
        }
    }
}

TEST_F(ImagesFonte, TheSpaceGlyphIsFullyTransparent)
{
    const size_t espace = 37; // the slot of "Espace.png"
    ASSERT_EQ(FichiersGlyphes()[espace], "Espace.png");
    ASSERT_TRUE(lues_[espace]);
    const ImageRGBA& g = glyphes_[espace];
    int encre = 0;
    for (int y = 0; y < g.Hauteur; ++y)
        for (int x = 0; x < g.Largeur; ++x)
            encre += Alpha(g, x, y) > 0;
    EXPECT_EQ(encre, 0);
}

TEST_F(ImagesFonte, EveryGlyphKeepsMarginsSoNeighboursNeverTouch)
{
    // Cells are laid edge to edge: at least a tenth of the cell stays clear on
    // each side (a fifth between two letters), and nothing touches the top or
    // bottom edge.
    const std::vector<std::string> noms = FichiersGlyphes();
    for (size_t i = 0; i < noms.size(); ++i)
    {
        ASSERT_TRUE(lues_[i]) << noms[i];
        const ImageRGBA& g = glyphes_[i];
        const int marge = g.Largeur / 10;
        int dehors = 0;
        for (int y = 0; y < g.Hauteur; ++y)
            for (int x = 0; x < g.Largeur; ++x)
                if ((x < marge || x >= g.Largeur - marge || y < 2 || y >= g.Hauteur - 2) && Alpha(g, x, y) > 0)
                    ++dehors;
        EXPECT_EQ(dehors, 0) << noms[i];
    }
}

TEST_F(ImagesFonte, NoTwoGlyphsLookAlike)
{
    // Catches a glyph drawn twice under two names (O and 0, I and 1, ...).
    const std::vector<std::string> noms = FichiersGlyphes();
    for (size_t i = 0; i < noms.size(); ++i)
        for (size_t j = i + 1; j < noms.size(); ++j)
        {
            if (!lues_[i] || !lues_[j] || glyphes_[i].Largeur != glyphes_[j].Largeur)
                continue;
            const ImageRGBA& a = glyphes_[i];
            const ImageRGBA& b = glyphes_[j];
            int differents = 0;
            for (int y = 0; y < a.Hauteur; ++y)
                for (int x = 0; x < a.Largeur; ++x)
                    differents += std::abs(Alpha(a, x, y) - Alpha(b, x, y)) > 128;
            EXPECT_GT(differents, a.Largeur * a.Hauteur / 50) << noms[i] << " and " << noms[j];
        }
}

TEST_F(ImagesFonte, StrokesSurviveTheMipmapUsedFor12PixelText)
{
    // The HUD numbers are 12 pixels high: at the 16-pixel level, every glyph
    // but the space still has solid pixels, and at least a few of them.
    const std::vector<std::string> noms = FichiersGlyphes();
    for (size_t i = 0; i < noms.size(); ++i)
    {
        ASSERT_TRUE(lues_[i]) << noms[i];
        if (noms[i] == "Espace.png")
            continue;
        const std::vector<float> a = AlphaReduit(glyphes_[i], 16);
        const int solides = static_cast<int>(std::count_if(a.begin(), a.end(), [](float v) { return v > 0.6f; }));
        EXPECT_GE(solides, 2) << noms[i];
    }
}

TEST(ImagesFonds, TheBackdropIsAnOpaqueDuskSky)
{
    ImageRGBA fond;
    ASSERT_TRUE(LirePng("Images/ArrierePlanMenu.png", fond));
    EXPECT_TRUE(PuissanceDeDeux(fond.Largeur));
    EXPECT_TRUE(PuissanceDeDeux(fond.Hauteur));
    EXPECT_GE(fond.Largeur, 800);
    EXPECT_GE(fond.Hauteur, 600);
    int transparents = 0;
    for (int y = 0; y < fond.Hauteur; ++y)
        for (int x = 0; x < fond.Largeur; ++x)
            transparents += Alpha(fond, x, y) != 255;
    EXPECT_EQ(transparents, 0);

    // Dark overhead, bright towards the horizon (two thirds down, around the pass).
    auto moyenneLigne = [&](int y) {
        long somme = 0;
        for (int x = 0; x < fond.Largeur; ++x)
            somme += Luminance(fond.Pixel(x, y));
        return somme / fond.Largeur;
    };
    EXPECT_LT(moyenneLigne(0), 50);
    const int horizon = static_cast<int>(fond.Hauteur * 0.66);
    EXPECT_GT(Luminance(fond.Pixel(static_cast<int>(fond.Largeur * 0.44), horizon)), 150);
    EXPECT_GT(moyenneLigne(horizon), moyenneLigne(0) + 60);
}

TEST(ImagesFonds, TheMoonSitsInAHaloThatFadesBeforeTheEdges)
{
    ImageRGBA lune;
    ASSERT_TRUE(LirePng("Images/MotifAP.png", lune));
    EXPECT_EQ(lune.Largeur, lune.Hauteur);
    EXPECT_TRUE(PuissanceDeDeux(lune.Largeur));
    // No trace of the square on the sky: the whole border is clear.
    int bordVisible = 0;
    for (int i = 0; i < lune.Largeur; ++i)
        bordVisible += Alpha(lune, i, 0) + Alpha(lune, i, lune.Hauteur - 1) + Alpha(lune, 0, i) + Alpha(lune, lune.Largeur - 1, i) > 0;
    EXPECT_EQ(bordVisible, 0);
    // A bright, opaque face in the middle, a partly transparent halo around it.
    const uint8_t* centre = lune.Pixel(lune.Largeur / 2, lune.Hauteur / 2);
    EXPECT_EQ(centre[3], 255);
    EXPECT_GT(Luminance(centre), 200);
    const int halo = Alpha(lune, lune.Largeur / 2, lune.Hauteur * 19 / 100);
    EXPECT_GT(halo, 20);
    EXPECT_LT(halo, 230);
}

TEST(ImagesHud, BarsAreOpaqueAndTheSameFromLeftToRight)
{
    // The game stretches a bar to the value's width: every column must be the
    // same so that a short bar looks like a cut of a long one.
    struct Barre
    {
        const char* Chemin;
        int Dominante; // 0 red, 2 blue
    };
    for (const Barre& barre : {Barre{"Images/Interface/barrevie.png", 0}, Barre{"Images/Interface/barremana.png", 2}})
    {
        ImageRGBA image;
        ASSERT_TRUE(LirePng(barre.Chemin, image)) << barre.Chemin;
        EXPECT_TRUE(PuissanceDeDeux(image.Largeur)) << barre.Chemin;
        EXPECT_TRUE(PuissanceDeDeux(image.Hauteur)) << barre.Chemin;
        int ecarts = 0, transparents = 0;
        for (int y = 0; y < image.Hauteur; ++y)
            for (int x = 0; x < image.Largeur; ++x)
            {
                const uint8_t* p = image.Pixel(x, y);
                const uint8_t* q = image.Pixel(0, y);
                ecarts += p[0] != q[0] || p[1] != q[1] || p[2] != q[2] || p[3] != q[3];
                transparents += p[3] != 255;
            }
        EXPECT_EQ(ecarts, 0) << barre.Chemin;
        EXPECT_EQ(transparents, 0) << barre.Chemin;
        // Warm red for life, cool blue for mana, in the middle of the bar.
        const uint8_t* milieu = image.Pixel(0, image.Hauteur / 2);
        const int autres = milieu[0] + milieu[1] + milieu[2] - milieu[barre.Dominante];
        EXPECT_GT(milieu[barre.Dominante] * 2, autres + 100) << barre.Chemin;
        // Lit from above: the top half is brighter than the bottom row.
        EXPECT_GT(Luminance(image.Pixel(0, image.Hauteur / 4)), Luminance(image.Pixel(0, image.Hauteur - 1)) + 40);
    }
}

TEST(ImagesHud, TheFrameIsClearOverTheBarsAndDarkUnderTheNumbers)
{
    ImageRGBA cadre;
    ASSERT_TRUE(LirePng("Images/Interface/interface.png", cadre));
    EXPECT_TRUE(PuissanceDeDeux(cadre.Largeur));
    EXPECT_TRUE(PuissanceDeDeux(cadre.Hauteur));
    EXPECT_GT(cadre.Largeur, cadre.Hauteur * 4); // drawn 300 x 50

    // The windows over the bars (x 8..208, y 8..21 and 30..43) are fully
    // clear, but for their rounded corners.
    for (float y0 : {8.0f, 30.0f})
        for (float y = y0 + 0.8f; y < y0 + 12.3f; y += 0.5f)
            for (float x = 8.8f; x < 207.3f; x += 0.5f)
            {
                const bool coin = (x < 11 || x > 205) && (y < y0 + 2.5f || y > y0 + 10.5f);
                if (!coin)
                {
                    ASSERT_EQ(PixelEcran(cadre, x, y)[3], 0) << "at (" << x << ", " << y << ")";
                }
            }

    // The panel around them is opaque: left margin, between the windows,
    // below the second one, right of them.
    for (const auto& p : {std::pair<float, float>{3, 14}, {3, 37}, {100, 25}, {60, 25}, {100, 46}, {211, 14}, {211, 37}, {100, 3}})
        EXPECT_EQ(PixelEcran(cadre, p.first, p.second)[3], 255) << "at (" << p.first << ", " << p.second << ")";

    // Under the numbers (from x 220, 12 px glyphs, up to four of them at y 8
    // and y 31): an opaque dark plate, where green (0, 165, 8) stands out.
    for (float y0 : {8.0f, 31.0f})
        for (float y = y0; y < y0 + 12; y += 0.5f)
            for (float x = 220; x < 268; x += 0.5f)
            {
                const uint8_t* p = PixelEcran(cadre, x, y);
                ASSERT_EQ(p[3], 255) << "at (" << x << ", " << y << ")";
                ASSERT_LT(Luminance(p), 30) << "at (" << x << ", " << y << ")";
            }
}
