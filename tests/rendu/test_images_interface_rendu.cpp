// The generated font, sky and HUD pictures drawn in a real GL window the way
// the game draws them (sprites stretched with linear filtering, glyphs from
// their mipmaps, colours multiplying the pictures), and read back.
#include <gtest/gtest.h>

#include "aide/Aide.h"
#include "outils/Outils.h"

#include <SDL_opengl.h>
#include <string>
#include <vector>

namespace
{
    class ImagesDessinees : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            ASSERT_TRUE(OuvrirFenetre()) << "a display is needed (run under xvfb-run)";
            glMatrixMode(GL_MODELVIEW);
            glLoadIdentity();
        }
        void TearDown() override
        {
            for (GLuint t : textures_)
                glDeleteTextures(1, &t);
            textures_.clear();
        }

        // Loads a picture as the game does (mipmapped). 0 when it cannot.
        GLuint Charger(const std::string& chemin)
        {
            const int t = Outils::loadTexture(chemin.c_str(), nullptr, nullptr, true);
            if (t > 0)
                textures_.push_back(static_cast<GLuint>(t));
            return static_cast<GLuint>(t > 0 ? t : 0);
        }

        // A sprite: stretched over the rectangle, clamped, linear filtering
        // from the full-size picture, tinted, blended by its alpha.
        static void Sprite(GLuint t, int x, int y, int l, int h, GLubyte r = 255, GLubyte g = 255, GLubyte b = 255)
        {
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
            glEnable(GL_BLEND);
            glEnable(GL_TEXTURE_2D);
            glBindTexture(GL_TEXTURE_2D, t);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
            glBegin(GL_QUADS);
            glColor3ub(r, g, b);
            glTexCoord2f(0, 0);
            glVertex2f(x, y + h);
            glTexCoord2f(0, 1);
            glVertex2f(x, y);
            glTexCoord2f(1, 1);
            glVertex2f(x + l, y);
            glTexCoord2f(1, 0);
            glVertex2f(x + l, y + h);
            glEnd();
            glDisable(GL_BLEND);
            glDisable(GL_TEXTURE_2D);
        }

        // A glyph of text: a square cell sampled through the mipmaps it was
        // loaded with, coloured with an alpha.
        static void Glyphe(GLuint t, int x, int y, int cote, GLubyte r, GLubyte g, GLubyte b, GLubyte a = 255)
        {
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
            glEnable(GL_BLEND);
            glEnable(GL_TEXTURE_2D);
            glBindTexture(GL_TEXTURE_2D, t);
            glBegin(GL_QUADS);
            glColor4ub(r, g, b, a);
            glTexCoord2i(0, 0);
            glVertex2i(x, y + cote);
            glTexCoord2i(0, 1);
            glVertex2i(x, y);
            glTexCoord2i(1, 1);
            glVertex2i(x + cote, y);
            glTexCoord2i(1, 0);
            glVertex2i(x + cote, y + cote);
            glEnd();
            glDisable(GL_BLEND);
            glDisable(GL_TEXTURE_2D);
        }

        static int Luminance(const Rgba& c)
        {
            return (c.r * 299 + c.g * 587 + c.b * 114) / 1000;
        }

        std::vector<GLuint> textures_;
    };

    const std::string Fonte = "Images/Fontes/Standard/";
}

TEST_F(ImagesDessinees, TheBarsShowThroughTheFrameWindowsAndTheSceneShowsPastThem)
{
    const GLuint vie = Charger("Images/Interface/barrevie.png");
    const GLuint mana = Charger("Images/Interface/barremana.png");
    const GLuint cadre = Charger("Images/Interface/interface.png");
    ASSERT_NE(vie, 0u);
    ASSERT_NE(mana, 0u);
    ASSERT_NE(cadre, 0u);

    Effacer(0.2f, 0.8f, 0.2f); // a green scene behind the HUD
    Sprite(vie, 8, 8, 200, 13);  // full life
    Sprite(mana, 8, 30, 100, 13); // half the mana
    Sprite(cadre, 0, 0, 300, 50);

    for (int x : {12, 100, 205})
    {
        const Rgba c = LirePixel(x, 14);
        EXPECT_GT(c.r, 150) << x;
        EXPECT_LT(c.g, 100) << x;
        EXPECT_LT(c.b, 100) << x;
    }
    for (int x : {12, 60, 105})
    {
        const Rgba c = LirePixel(x, 37);
        EXPECT_GT(c.b, 150) << x;
        EXPECT_LT(c.r, 100) << x;
    }
    // Past the end of the mana bar the window shows the scene untouched.
    for (int x : {112, 160, 204})
    {
        const Rgba c = LirePixel(x, 37);
        EXPECT_NEAR(c.r, 51, 2) << x;
        EXPECT_NEAR(c.g, 204, 2) << x;
        EXPECT_NEAR(c.b, 51, 2) << x;
    }
    // The frame covers the scene everywhere else in its rectangle, and the
    // rows just above and below each bar.
    for (const auto& p : {std::pair<int, int>{3, 25}, {100, 25}, {100, 3}, {100, 47}, {212, 14}, {250, 14}, {250, 37}})
    {
        const Rgba c = LirePixel(p.first, p.second);
        EXPECT_FALSE(c.g > 150 && c.r < 100) << "scene seen at (" << p.first << ", " << p.second << ")";
    }
    EXPECT_LT(LirePixel(250, 14).g, 40); // the dark plate under the life number
    // Outside the frame's rectangle, the scene.
    EXPECT_NEAR(LirePixel(320, 20).g, 204, 2);
    EXPECT_NEAR(LirePixel(100, 60).g, 204, 2);
}

TEST_F(ImagesDessinees, TwelvePixelGreenNumbersStandOutOnTheFramePlates)
{
    const GLuint cadre = Charger("Images/Interface/interface.png");
    ASSERT_NE(cadre, 0u);
    GLuint chiffres[10];
    for (int i = 0; i < 10; ++i)
    {
        chiffres[i] = Charger(Fonte + std::to_string(i) + ".png");
        ASSERT_NE(chiffres[i], 0u) << i;
    }
    Effacer(0.9f, 0.9f, 0.9f);
    Sprite(cadre, 0, 0, 300, 50);
    const char* valeurs[2] = {"1000", "487"};
    const int lignes[2] = {8, 31};
    for (int k = 0; k < 2; ++k)
        for (int i = 0; valeurs[k][i]; ++i)
            Glyphe(chiffres[valeurs[k][i] - '0'], 220 + 12 * i, lignes[k], 12, 0, 165, 8);

    for (int k = 0; k < 2; ++k)
        for (int i = 0; valeurs[k][i]; ++i)
        {
            // Each digit's cell has clearly green strokes and a dark ground.
            int verts = 0, sombres = 0;
            for (int y = lignes[k]; y < lignes[k] + 12; ++y)
                for (int x = 220 + 12 * i; x < 232 + 12 * i; ++x)
                {
                    const Rgba c = LirePixel(x, y);
                    EXPECT_LT(c.r, 40);
                    if (c.g > 110 && c.g > 3 * c.b)
                        ++verts;
                    if (c.g < 30)
                        ++sombres;
                }
            EXPECT_GE(verts, 6) << valeurs[k][i];
            EXPECT_GE(sombres, 30) << valeurs[k][i];
        }
}

TEST_F(ImagesDessinees, ThePauseCaptionIsSolidBlackInItsStrokesAndFadesWithAlpha)
{
    const GLuint p = Charger(Fonte + "P.png");
    ASSERT_NE(p, 0u);
    Effacer(1, 1, 1);
    Glyphe(p, 268, 240, 64, 0, 0, 0);
    // The stem of the P, and the clear margin at the left of its cell.
    const Rgba tige = LirePixel(268 + 17, 240 + 40);
    EXPECT_LT(tige.r + tige.g + tige.b, 10);
    const Rgba marge = LirePixel(268 + 2, 240 + 40);
    EXPECT_EQ(marge.r, 255);
    EXPECT_EQ(marge.g, 255);

    // Half alpha: half way between the black glyph and the white ground.
    Effacer(1, 1, 1);
    Glyphe(p, 268, 240, 64, 0, 0, 0, 128);
    EXPECT_NEAR(LirePixel(268 + 17, 240 + 40).r, 127, 3);
    // Alpha 0, as when the pause begins: nothing at all.
    Effacer(1, 1, 1);
    Glyphe(p, 268, 240, 64, 0, 0, 0, 0);
    EXPECT_EQ(LirePixel(268 + 17, 240 + 40).r, 255);
}

TEST_F(ImagesDessinees, EveryGlyphStaysVisibleAtTwelvePixelsAndTheSpaceDrawsNothing)
{
    std::vector<std::string> noms;
    for (char c = 'A'; c <= 'Z'; ++c)
        noms.push_back(std::string(1, c));
    for (char c = '0'; c <= '9'; ++c)
        noms.push_back(std::string(1, c));
    for (const char* n : {"DeuxPoints", "Apostrophe", "Point", "Point exclamation", "tiret", "Espace"})
        noms.push_back(n);
    for (const std::string& nom : noms)
    {
        const GLuint t = Charger(Fonte + nom + ".png");
        ASSERT_NE(t, 0u) << nom;
        Effacer(0, 0, 0);
        Glyphe(t, 100, 100, 12, 255, 255, 255);
        int clairs = 0, touches = 0;
        for (int y = 96; y < 116; ++y)
            for (int x = 96; x < 116; ++x)
            {
                const Rgba c = LirePixel(x, y);
                clairs += Luminance(c) > 110;
                touches += c.r > 0;
                // Nothing outside the cell, and the glyph's own colour is white.
                if (x < 100 || x >= 112 || y < 100 || y >= 112)
                {
                    EXPECT_EQ(c.r, 0) << nom;
                }
                EXPECT_EQ(c.r, c.g) << nom;
                EXPECT_EQ(c.g, c.b) << nom;
            }
        if (nom == "Espace")
        {
            EXPECT_EQ(touches, 0);
        }
        else
        {
            EXPECT_GE(clairs, nom == "Point" || nom == "Apostrophe" || nom == "tiret" ? 1 : 4) << nom;
        }
    }
}

TEST_F(ImagesDessinees, TheMoonGlowsOverTheSkyWithoutShowingItsSquare)
{
    const GLuint fond = Charger("Images/ArrierePlanMenu.png");
    const GLuint lune = Charger("Images/MotifAP.png");
    ASSERT_NE(fond, 0u);
    ASSERT_NE(lune, 0u);
    Effacer(1, 1, 0);
    Sprite(fond, 0, 0, 800, 600);
    // The backdrop covers the whole view.
    for (const auto& p : {std::pair<int, int>{0, 0}, {799, 0}, {0, 599}, {799, 599}, {400, 300}})
    {
        const Rgba c = LirePixel(p.first, p.second);
        EXPECT_FALSE(c.r == 255 && c.g == 255 && c.b == 0) << p.first << ", " << p.second;
    }
    EXPECT_LT(Luminance(LirePixel(150, 25)), 60); // dark sky under the HUD's corner
    const std::pair<int, int> bords[] = {{300, 300}, {399, 300}, {300, 399}, {399, 399}, {350, 300}, {300, 350}};
    std::vector<Rgba> avant;
    for (const auto& p : bords)
        avant.push_back(LirePixel(p.first, p.second));
    const Rgba cielCentre = LirePixel(350, 350);
    const Rgba cielHalo = LirePixel(350, 318);

    Sprite(lune, 300, 300, 100, 100);
    for (size_t i = 0; i < avant.size(); ++i)
    {
        const Rgba c = LirePixel(bords[i].first, bords[i].second);
        EXPECT_NEAR(c.r, avant[i].r, 2) << bords[i].first << ", " << bords[i].second;
        EXPECT_NEAR(c.g, avant[i].g, 2) << bords[i].first << ", " << bords[i].second;
        EXPECT_NEAR(c.b, avant[i].b, 2) << bords[i].first << ", " << bords[i].second;
    }
    const Rgba centre = LirePixel(350, 350);
    EXPECT_GT(Luminance(centre), 220);
    EXPECT_GT(Luminance(centre), Luminance(cielCentre) + 40);
    // The halo brightens the sky just outside the face.
    EXPECT_GT(Luminance(LirePixel(350, 318)), Luminance(cielHalo) + 15);
}
