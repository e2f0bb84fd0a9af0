// The page's drawing layer builds its mipmaps on the CPU (web/gl/Mipmaps.cpp):
// level for level they must be the very texels the desktop's GLU uploads, read
// back here from a real GL context.
#include <gtest/gtest.h>

#include "aide/Aide.h"
#include "web/gl/Mipmaps.h"

#include <SDL_opengl.h>
#include <GL/glu.h>
#include <cstdlib>
#include <random>
#include <vector>

namespace
{
    class MipmapsWeb : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            ASSERT_TRUE(OuvrirFenetre()) << "a display is needed (run under xvfb-run)";
        }
    };

    std::vector<std::uint8_t> ImageAuHasard(int largeur, int hauteur, unsigned graine)
    {
        std::mt19937 hasard(graine);
        std::vector<std::uint8_t> pixels(static_cast<size_t>(largeur) * hauteur * 4);
        for (auto& p : pixels)
            p = static_cast<std::uint8_t>(hasard());
        return pixels;
    }

    // Every level GLU made, read back.
    std::vector<GlWeb::Niveau> NiveauxGlu(const std::vector<std::uint8_t>& pixels, int largeur, int hauteur)
    {
        GLuint texture = 0;
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        gluBuild2DMipmaps(GL_TEXTURE_2D, 4, largeur, hauteur, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        std::vector<GlWeb::Niveau> niveaux;
        for (int n = 0;; ++n)
        {
            GlWeb::Niveau niveau;
            glGetTexLevelParameteriv(GL_TEXTURE_2D, n, GL_TEXTURE_WIDTH, &niveau.Largeur);
            glGetTexLevelParameteriv(GL_TEXTURE_2D, n, GL_TEXTURE_HEIGHT, &niveau.Hauteur);
            if (niveau.Largeur <= 0 || niveau.Hauteur <= 0)
                break;
            niveau.Pixels.resize(static_cast<size_t>(niveau.Largeur) * niveau.Hauteur * 4);
            glGetTexImage(GL_TEXTURE_2D, n, GL_RGBA, GL_UNSIGNED_BYTE, niveau.Pixels.data());
            niveaux.push_back(niveau);
            if (niveau.Largeur == 1 && niveau.Hauteur == 1)
                break;
        }
        glDeleteTextures(1, &texture);
        return niveaux;
    }

    int EcartMax(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b)
    {
        int ecart = 0;
        for (size_t i = 0; i < a.size() && i < b.size(); ++i)
            ecart = std::max(ecart, std::abs(a[i] - b[i]));
        return ecart;
    }
}

TEST(MipmapsWebCalcul, PowersOfTwoAndHalving)
{
    EXPECT_EQ(GlWeb::PuissanceDeuxProche(1), 1);
    EXPECT_EQ(GlWeb::PuissanceDeuxProche(64), 64);
    // GLU's choices, read from the desktop's: 5 -> 4, 6 -> 8, 600 -> 512, 768 -> 1024.
    EXPECT_EQ(GlWeb::PuissanceDeuxProche(5), 4);
    EXPECT_EQ(GlWeb::PuissanceDeuxProche(6), 8);
    EXPECT_EQ(GlWeb::PuissanceDeuxProche(600), 512);
    EXPECT_EQ(GlWeb::PuissanceDeuxProche(767), 512);
    EXPECT_EQ(GlWeb::PuissanceDeuxProche(768), 1024);
    EXPECT_EQ(GlWeb::PuissanceDeuxProche(800), 1024);
    // 2x2 to 1x1: the rounded mean, (10 + 20 + 30 + 41 + 2) / 4 = 25.
    GlWeb::Niveau carre;
    carre.Largeur = carre.Hauteur = 2;
    carre.Pixels = {10, 0, 0, 255, 20, 0, 0, 255, 30, 0, 0, 255, 41, 0, 0, 255};
    const GlWeb::Niveau un = GlWeb::Moitie(carre, 4);
    ASSERT_EQ(un.Pixels.size(), 4u);
    EXPECT_EQ(un.Pixels[0], 25);
    // A 4x1 strip halves along its length only, rounding down: (10 + 20) / 2.
    const std::vector<GlWeb::Niveau> chaine = GlWeb::Chaine(carre.Pixels.data(), 4, 1, 4);
    ASSERT_EQ(chaine.size(), 3u);
    EXPECT_EQ(chaine[1].Largeur, 2);
    EXPECT_EQ(chaine[1].Hauteur, 1);
    EXPECT_EQ(chaine[1].Pixels[0], 15);
    EXPECT_TRUE(GlWeb::Chaine(nullptr, 4, 4, 4).empty());
}

TEST_F(MipmapsWeb, EveryLevelIsGlusOwnForTheGamesImageSizes)
{
    // The sizes of the game's images (tiles, sprites, glyphs, HUD, background).
    const int tailles[][2] = {{64, 64}, {128, 128}, {256, 16}, {512, 64}, {1, 8}, {16, 2}};
    unsigned graine = 1;
    for (const auto& t : tailles)
    {
        const std::vector<std::uint8_t> image = ImageAuHasard(t[0], t[1], graine++);
        const std::vector<GlWeb::Niveau> glu = NiveauxGlu(image, t[0], t[1]);
        const std::vector<GlWeb::Niveau> web = GlWeb::Chaine(image.data(), t[0], t[1], 4);
        ASSERT_EQ(web.size(), glu.size()) << t[0] << "x" << t[1];
        for (size_t n = 0; n < web.size(); ++n)
        {
            EXPECT_EQ(web[n].Largeur, glu[n].Largeur);
            EXPECT_EQ(web[n].Hauteur, glu[n].Hauteur);
            EXPECT_EQ(web[n].Pixels, glu[n].Pixels) << t[0] << "x" << t[1] << " level " << n;
        }
    }
}

TEST_F(MipmapsWeb, SidesThatAreNotPowersOfTwoComeDownAsGluBringsThem)
{
    // No image of the game has such sides; an editor's might. GLU's own
    // scaling is approached, a few levels off at most.
    const std::vector<std::uint8_t> image = ImageAuHasard(100, 60, 7);
    const std::vector<GlWeb::Niveau> glu = NiveauxGlu(image, 100, 60);
    const std::vector<GlWeb::Niveau> web = GlWeb::Chaine(image.data(), 100, 60, 4);
    ASSERT_FALSE(glu.empty());
    ASSERT_EQ(web.size(), glu.size());
    EXPECT_EQ(web[0].Largeur, glu[0].Largeur);
    EXPECT_EQ(web[0].Hauteur, glu[0].Hauteur);
    EXPECT_LE(EcartMax(web[0].Pixels, glu[0].Pixels), 3);
}
