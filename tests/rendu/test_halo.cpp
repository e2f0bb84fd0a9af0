// The halo glow around sprites: the silhouette texture and the fading copies,
// read back from a real GL context.
#include <gtest/gtest.h>

#include "aide/Aide.h"
#include "main/Globales.h"
#include "outils/Horloge.h"

#include <SDL_opengl.h>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{
    // White over black through the halo copies with alphas A(k) for k = premier
    // to n - 1, drawn in that order, as an 8-bit frame buffer would hold it.
    double Superposition(int premier, int n)
    {
        double c = 0;
        for (int k = premier; k < n; ++k)
        {
            const double a = AlphaHalo(k, n) / 255.0;
            c = std::round(255 * a + c * (1 - a));
        }
        return c;
    }

    bool Noir(const Rgba& p)
    {
        return p.r <= 1 && p.g <= 1 && p.b <= 1;
    }

    // An image whose left half is opaque white and right half fully transparent.
    ImageRGBA MoitieGauche(int largeur, int hauteur)
    {
        ImageRGBA image = ImageUnie(largeur, hauteur, 255, 255, 255, 0);
        for (int y = 0; y < hauteur; ++y)
            for (int x = 0; x < largeur / 2; ++x)
                image.Fixer(x, y, 255, 255, 255, 255);
        return image;
    }

    class Halo : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            ASSERT_TRUE(OuvrirFenetre()) << "a display is needed (run under xvfb-run)";
            Horloge::FixerTemps(100000);
            Moteur.FonduActif = false;
            Moteur.Sprites.swap(sprites_);
            Effacer(0, 0, 0);
        }
        void TearDown() override
        {
            Moteur.Sprites.swap(sprites_);
            Horloge::TempsReel();
        }

        unsigned int Enregistrer(const ImageRGBA& image)
        {
            const std::string chemin = dossier_ / ("image" + std::to_string(compte_++) + ".png");
            EXPECT_TRUE(EcrirePng(chemin, image));
            return static_cast<unsigned int>(Moteur.NouvelleTexture(chemin.c_str()));
        }

        // The level-0 image of a texture.
        static std::vector<uint8_t> Texels(GLuint texture, GLint& largeur, GLint& hauteur)
        {
            glBindTexture(GL_TEXTURE_2D, texture);
            glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &largeur);
            glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &hauteur);
            std::vector<uint8_t> p(static_cast<size_t>(largeur) * hauteur * 4);
            glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
            return p;
        }

        DossierTemporaire dossier_;
        int compte_ = 0;

    private:
        std::vector<CMoteur::CSprite> sprites_;
    };
}

TEST_F(Halo, SilhouetteIsWhiteWithTheImagesAlpha)
{
    ImageRGBA image(16, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x)
            image.Fixer(x, y, static_cast<uint8_t>(x * 9), 40, static_cast<uint8_t>(y * 20),
                        static_cast<uint8_t>(x * 16 + y));
    const unsigned int id = Enregistrer(image);
    CMoteur::CSprite& sprite = Moteur.Sprites[id];
    ASSERT_TRUE(sprite.MakeTexHalo());
    ASSERT_NE(sprite.TextureHalo, 0u);
    ASSERT_NE(sprite.TextureHalo, sprite.Texture);

    GLint l = 0;
    GLint h = 0;
    const std::vector<uint8_t> silhouette = Texels(sprite.TextureHalo, l, h);
    ASSERT_EQ(l, 16);
    ASSERT_EQ(h, 8);
    GLint filtre = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filtre);
    EXPECT_EQ(filtre, GL_LINEAR);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &filtre);
    EXPECT_EQ(filtre, GL_LINEAR);
    GLint niveau1 = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &niveau1);
    EXPECT_EQ(niveau1, 0) << "the silhouette has a single level";

    // Stored like the sprite's own texture, bottom row first.
    for (int rangee = 0; rangee < 8; ++rangee)
        for (int x = 0; x < 16; ++x)
        {
            const uint8_t* t = &silhouette[(static_cast<size_t>(rangee) * 16 + x) * 4];
            EXPECT_EQ(t[0], 255);
            EXPECT_EQ(t[1], 255);
            EXPECT_EQ(t[2], 255);
            EXPECT_EQ(t[3], x * 16 + (7 - rangee));
        }
}

TEST_F(Halo, OneCopyEachWayLiesExactlyOverTheSprite)
{
    const unsigned int id = Enregistrer(ImageUnie(32, 32, 255, 255, 255));
    // The sprite itself invisible: only the four copies at alpha 127 remain.
    Moteur.AfficheTextureHalo(id, 100, 100, 32, 32, 255, 255, 255, 1, 255, 255, 255, true, 0);
    EXPECT_TRUE(Moteur.Sprites[id].HaloCree);
    const double attendu = 255 * (1 - std::pow(1 - 127 / 255.0, 4));
    EXPECT_NEAR(LirePixel(116, 116).r, attendu, 3);
    EXPECT_NEAR(LirePixel(100, 100).r, attendu, 3);
    EXPECT_NEAR(LirePixel(131, 131).r, attendu, 3);
    EXPECT_TRUE(Noir(LirePixel(99, 116)));
    EXPECT_TRUE(Noir(LirePixel(132, 116)));
    EXPECT_TRUE(Noir(LirePixel(116, 99)));
    EXPECT_TRUE(Noir(LirePixel(116, 132)));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));

    // Then the sprite is drawn on top of its glow.
    Effacer(0, 0, 0);
    Moteur.AfficheTextureHalo(id, 100, 100, 32, 32, 0, 0, 255, 1, 255, 255, 255, false, 255);
    const Rgba c = LirePixel(116, 116);
    EXPECT_LE(c.r, 1);
    EXPECT_EQ(c.b, 255);
}

TEST_F(Halo, GlowFadesOutwardsAndReachesSizeMinusOnePixels)
{
    const unsigned int id = Enregistrer(ImageUnie(64, 64, 255, 255, 255));
    const int x = 200;
    const int y = 150;
    Moteur.AfficheTextureHalo(id, x, y, 64, 64, 0, 0, 255, 15, 255, 255, 255, false, 255);

    // Along the bottom row only the leftward copies reach left of the sprite,
    // and only the downward ones below it: copies k >= j cover j pixels out.
    const int rangee = y + 63;
    int precedent = 256;
    for (int j = 1; j <= 14; ++j)
    {
        const int gauche = LirePixel(x - j, rangee).r;
        EXPECT_NEAR(gauche, Superposition(j, 15), 3) << j << " pixels left";
        EXPECT_LT(gauche, precedent) << "strongest next to the edge";
        precedent = gauche;
        EXPECT_NEAR(LirePixel(x + 20, y + 63 + j).r, Superposition(j, 15), 3) << j << " pixels below";
    }
    // The outermost copy alone, at alpha 9, and nothing beyond.
    EXPECT_NEAR(LirePixel(x - 14, rangee).r, 9, 2);
    EXPECT_TRUE(Noir(LirePixel(x - 15, rangee)));
    EXPECT_TRUE(Noir(LirePixel(x + 20, y + 64 + 14)));
    EXPECT_TRUE(Noir(LirePixel(x + 63 + 15, rangee)));
    EXPECT_TRUE(Noir(LirePixel(x + 32, y - 15)));
    // Right and above glow too.
    EXPECT_GT(LirePixel(x + 64, rangee).r, 100);
    EXPECT_GT(LirePixel(x + 32, y - 1).r, 100);
    // Only the upward copies leave the sprite's rows and columns at once, and
    // they widen on both sides: the top corners glow, the bottom ones do not.
    EXPECT_GT(LirePixel(x - 3, y - 3).r, 20);
    EXPECT_GT(LirePixel(x + 66, y - 3).r, 20);
    EXPECT_TRUE(Noir(LirePixel(x - 3, y + 66)));
    EXPECT_TRUE(Noir(LirePixel(x + 66, y + 66)));
    // The sprite on top, in its own colour.
    const Rgba dedans = LirePixel(x + 32, y + 32);
    EXPECT_LE(dedans.r, 1);
    EXPECT_EQ(dedans.b, 255);
}

TEST_F(Halo, GlowTakesTheHaloColour)
{
    const unsigned int id = Enregistrer(ImageUnie(32, 32, 255, 255, 255));
    Moteur.AfficheTextureHalo(id, 100, 100, 32, 32, 255, 255, 255, 15, 255, 128, 0, false, 255);
    const Rgba c = LirePixel(99, 131);
    EXPECT_GT(c.r, 150);
    EXPECT_NEAR(c.g, c.r * 128 / 255.0, 3);
    EXPECT_LE(c.b, 1);
}

TEST_F(Halo, TransparentPartsGiveNoGlowAndTheGlowMirrorsWithTheSprite)
{
    const unsigned int id = Enregistrer(MoitieGauche(64, 64));
    const int y = 200;

    // Opaque on the left: glow on the left, none on the right.
    int x = 100;
    Moteur.AfficheTextureHalo(id, x, y, 64, 64, 255, 0, 0, 15, 255, 255, 255, false, 255);
    EXPECT_GT(LirePixel(x - 2, y + 63).g, 100);
    EXPECT_TRUE(Noir(LirePixel(x + 66, y + 63)));
    EXPECT_TRUE(Noir(LirePixel(x + 66, y + 32)));
    EXPECT_GT(LirePixel(x + 5, y - 2).g, 50);
    EXPECT_TRUE(Noir(LirePixel(x + 58, y - 2)));
    EXPECT_EQ(LirePixel(x + 10, y + 32).r, 255); // the sprite's opaque half

    // Width -64: the opaque half and its glow go to the right.
    x = 400;
    Moteur.AfficheTextureHalo(id, x, y, -64, 64, 255, 0, 0, 15, 255, 255, 255, false, 255);
    EXPECT_GT(LirePixel(x + 65, y + 63).g, 100);
    EXPECT_TRUE(Noir(LirePixel(x - 2, y + 63)));
    EXPECT_TRUE(Noir(LirePixel(x - 2, y + 32)));
    EXPECT_EQ(LirePixel(x + 54, y + 32).r, 255);
    EXPECT_TRUE(Noir(LirePixel(x + 10, y + 32)));

    // Height -64 with a top-half image: the glow goes below, not above.
    ImageRGBA hautSeul = ImageUnie(64, 64, 255, 255, 255, 0);
    for (int j = 0; j < 32; ++j)
        for (int i = 0; i < 64; ++i)
            hautSeul.Fixer(i, j, 255, 255, 255, 255);
    const unsigned int id2 = Enregistrer(hautSeul);
    Effacer(0, 0, 0);
    x = 300;
    Moteur.AfficheTextureHalo(id2, x, y, 64, -64, 255, 0, 0, 15, 255, 255, 255, false, 255);
    EXPECT_GT(LirePixel(x + 32, y + 65).g, 100);
    EXPECT_TRUE(Noir(LirePixel(x + 32, y - 3)));
}

TEST_F(Halo, NoGlowForASizeOfZeroOrLessButTheSilhouetteIsBuilt)
{
    const unsigned int id = Enregistrer(ImageUnie(32, 32, 255, 255, 255));
    for (const int n : {0, -1, -1000})
    {
        Effacer(0, 0, 0);
        // An invisible sprite: any glow would show.
        Moteur.AfficheTextureHalo(id, 100, 100, 32, 32, 255, 255, 255, n, 255, 255, 255, true, 0);
        EXPECT_TRUE(Moteur.Sprites[id].HaloCree);
        EXPECT_TRUE(Noir(LirePixel(116, 116))) << n;
        // A visible one is drawn.
        Moteur.AfficheTextureHalo(id, 200, 100, 32, 32, 0, 255, 0, n, 255, 255, 255, false, 255);
        EXPECT_EQ(LirePixel(216, 116).g, 255);
        EXPECT_TRUE(Noir(LirePixel(199, 131)));
    }
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(Halo, AnIdOutsideTheRegistryDrawsNothingAndBuildsNothing)
{
    const unsigned int id = Enregistrer(ImageUnie(32, 32, 255, 255, 255));
    Moteur.AfficheTextureHalo(id + 1, 100, 100, 32, 32, 255, 255, 255, 15, 255, 255, 255, false, 255);
    Moteur.AfficheTextureHalo(static_cast<unsigned int>(-1), 100, 100, 32, 32, 255, 255, 255, 15,
                              255, 255, 255, false, 255);
    EXPECT_TRUE(Noir(LirePixel(116, 116)));
    EXPECT_TRUE(Noir(LirePixel(98, 131)));
    EXPECT_FALSE(Moteur.Sprites[id].HaloCree);
}

TEST_F(Halo, ASpriteWithoutImageGetsNoGlowAndDrawsPlain)
{
    const unsigned int id = static_cast<unsigned int>(Moteur.NouvelleTexture((dossier_ / "absent.png").c_str()));
    ASSERT_EQ(Moteur.Sprites[id].Texture, 0u);
    EXPECT_FALSE(Moteur.Sprites[id].MakeTexHalo());

    for (int fois = 0; fois < 2; ++fois)
    {
        Moteur.AfficheTextureHalo(id, 100, 100, 32, 32, 0, 255, 0, 15, 255, 255, 255, false, 255);
        EXPECT_FALSE(Moteur.Sprites[id].HaloCree);
        EXPECT_EQ(Moteur.Sprites[id].TextureHalo, 0u);
        const Rgba dedans = LirePixel(116, 116);
        EXPECT_EQ(dedans.g, 255);
        EXPECT_LE(dedans.r, 1);
        EXPECT_TRUE(Noir(LirePixel(98, 131)));
        EXPECT_TRUE(Noir(LirePixel(116, 98)));
        EXPECT_TRUE(Noir(LirePixel(133, 131)));
    }
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(Halo, ImagesOfAnySizeAreReadAtTheTexturesRealSize)
{
    // Sizes the mipmap build rescales; a buffer sized from the file would be
    // too small for some of them.
    const int tailles[][2] = {{48, 40}, {5, 3}, {3, 5}, {1, 1}, {100, 7}};
    for (const auto& t : tailles)
    {
        const unsigned int id = Enregistrer(MoitieGauche(t[0], t[1]));
        CMoteur::CSprite& sprite = Moteur.Sprites[id];
        EXPECT_EQ(sprite.LargeurImage, t[0]);
        EXPECT_EQ(sprite.HauteurImage, t[1]);
        ASSERT_TRUE(sprite.MakeTexHalo());
        GLint l = 0;
        GLint h = 0;
        GLint ls = 0;
        GLint hs = 0;
        Texels(sprite.Texture, l, h);
        const std::vector<uint8_t> silhouette = Texels(sprite.TextureHalo, ls, hs);
        EXPECT_EQ(ls, l) << t[0] << "x" << t[1];
        EXPECT_EQ(hs, h) << t[0] << "x" << t[1];
        for (size_t i = 0; i < silhouette.size(); i += 4)
            ASSERT_EQ(silhouette[i], 255);
    }

    // The 48x40 one still glows on its opaque side only.
    Effacer(0, 0, 0);
    Moteur.AfficheTextureHalo(0, 300, 300, 96, 80, 255, 0, 0, 15, 255, 255, 255, false, 255);
    EXPECT_GT(LirePixel(298, 379).g, 100);
    EXPECT_TRUE(Noir(LirePixel(398, 379)));
}
