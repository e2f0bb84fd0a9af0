// Image files to textures, the texture registry and sprite drawing, checked by
// reading back textures and pixels from a real GL context.
#include <gtest/gtest.h>

#include "aide/Aide.h"
#include "main/Globales.h"
#include "outils/Horloge.h"
#include "outils/Outils.h"

#include <SDL_opengl.h>
#include <cstdlib>
#include <string>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <cstddef>
// From the sanitizer runtime's allocator interface.
extern "C" size_t __sanitizer_get_current_allocated_bytes(void);
#else
#include <malloc.h>
#endif

namespace
{
    const uint8_t Rouge[4] = {255, 0, 0, 255};
    const uint8_t Vert[4] = {0, 255, 0, 255};
    const uint8_t Bleu[4] = {0, 0, 255, 255};
    const uint8_t Blanc[4] = {255, 255, 255, 255};

    // 64x64: red top left, green top right, blue bottom left, white bottom right.
    ImageRGBA ImageQuartiers()
    {
        ImageRGBA image(64, 64);
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
            {
                const uint8_t* c = y < 32 ? (x < 32 ? Rouge : Vert) : (x < 32 ? Bleu : Blanc);
                image.Fixer(x, y, c[0], c[1], c[2], c[3]);
            }
        return image;
    }

    ::testing::AssertionResult Couleur(const Rgba& lu, int r, int g, int b, int tolerance = 2)
    {
        if (std::abs(lu.r - r) <= tolerance && std::abs(lu.g - g) <= tolerance &&
            std::abs(lu.b - b) <= tolerance)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "read (" << lu.r << ", " << lu.g << ", " << lu.b
                                             << "), expected (" << r << ", " << g << ", " << b << ")";
    }

    // The level-0 image of the bound texture, rows as stored (t = 0 first).
    std::vector<uint8_t> NiveauZero(GLint& largeur, GLint& hauteur)
    {
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &largeur);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &hauteur);
        std::vector<uint8_t> pixels(static_cast<size_t>(largeur) * hauteur * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    GLint Entier(GLenum nom)
    {
        GLint v = 0;
        glGetIntegerv(nom, &v);
        return v;
    }

    GLint ParametreTexture(GLenum nom)
    {
        GLint v = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, nom, &v);
        return v;
    }

    // Bytes currently allocated by the process's heap.
    size_t MemoireAllouee()
    {
#if defined(__SANITIZE_ADDRESS__)
        return __sanitizer_get_current_allocated_bytes();
#else
        const struct mallinfo2 m = mallinfo2();
        return m.uordblks + m.hblkhd;
#endif
    }

    // Window, frozen clock and a registry of our own, so that ids start at 0.
    class Textures : public ::testing::Test
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

        // Registers an image written into the test's folder.
        unsigned int Enregistrer(const ImageRGBA& image, const std::string& nom = "image.png")
        {
            EXPECT_TRUE(EcrirePng(dossier_ / nom, image));
            return static_cast<unsigned int>(Moteur.NouvelleTexture((dossier_ / nom).c_str()));
        }

        DossierTemporaire dossier_;

    private:
        std::vector<CMoteur::CSprite> sprites_;
    };
}

// ---------------------------------------------------------------- loading

TEST_F(Textures, FlipSwapsRowsAndLeavesTheSourceAlone)
{
    SDL_Surface* s = SDL_CreateRGBSurface(0, 2, 3, 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000);
    ASSERT_NE(s, nullptr);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 2; ++x)
            static_cast<Uint32*>(s->pixels)[y * (s->pitch / 4) + x] = 0x01000000u * (y + 1) + x;
    SDL_Surface* r = Outils::flipSurface(s);
    ASSERT_NE(r, nullptr);
    EXPECT_NE(r, s);
    EXPECT_EQ(r->w, 2);
    EXPECT_EQ(r->h, 3);
    EXPECT_EQ(r->format->BitsPerPixel, 32);
    EXPECT_EQ(r->format->Amask, 0xFF000000u);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 2; ++x)
        {
            EXPECT_EQ(static_cast<Uint32*>(r->pixels)[y * (r->pitch / 4) + x],
                      0x01000000u * (3 - y) + x);
            EXPECT_EQ(static_cast<Uint32*>(s->pixels)[y * (s->pitch / 4) + x],
                      0x01000000u * (y + 1) + x);
        }
    SDL_FreeSurface(r);

    // One row: copied unchanged.
    SDL_Surface* ligne = SDL_CreateRGBSurface(0, 3, 1, 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000);
    ASSERT_NE(ligne, nullptr);
    for (int x = 0; x < 3; ++x)
        static_cast<Uint32*>(ligne->pixels)[x] = 0xA0B0C000u + x;
    r = Outils::flipSurface(ligne);
    ASSERT_NE(r, nullptr);
    for (int x = 0; x < 3; ++x)
        EXPECT_EQ(static_cast<Uint32*>(r->pixels)[x], 0xA0B0C000u + x);
    SDL_FreeSurface(r);
    SDL_FreeSurface(ligne);
    SDL_FreeSurface(s);

    EXPECT_EQ(Outils::flipSurface(nullptr), nullptr);
}

TEST_F(Textures, FlipOfASurfaceWithAWidePitchWritesOnlyTheNewRows)
{
    // 2x2 pixels of 32 bits in rows of 64 bytes: the result's rows are 8 bytes.
    std::vector<Uint32> memoire(2 * 16, 0xDEADBEEFu);
    memoire[0] = 1;
    memoire[1] = 2;
    memoire[16] = 3;
    memoire[17] = 4;
    SDL_Surface* s = SDL_CreateRGBSurfaceFrom(memoire.data(), 2, 2, 32, 64, 0xFF, 0xFF00,
                                              0xFF0000, 0xFF000000);
    ASSERT_NE(s, nullptr);
    SDL_Surface* r = Outils::flipSurface(s);
    ASSERT_NE(r, nullptr);
    const Uint8* octets = static_cast<const Uint8*>(r->pixels);
    const Uint32* haut = reinterpret_cast<const Uint32*>(octets);
    const Uint32* bas = reinterpret_cast<const Uint32*>(octets + r->pitch);
    EXPECT_EQ(haut[0], 3u);
    EXPECT_EQ(haut[1], 4u);
    EXPECT_EQ(bas[0], 1u);
    EXPECT_EQ(bas[1], 2u);
    SDL_FreeSurface(r);
    SDL_FreeSurface(s);
}

TEST_F(Textures, ImageIsUploadedBottomRowFirstAndItsSizeReported)
{
    ImageRGBA image = ImageUnie(64, 32, 0, 0, 0);
    image.Fixer(0, 0, 250, 10, 20, 255);   // top left
    image.Fixer(63, 31, 30, 40, 240, 128); // bottom right
    ASSERT_TRUE(EcrirePng(dossier_ / "64x32.png", image));

    int largeur = -1;
    int hauteur = -1;
    const int texture = Outils::loadTexture((dossier_ / "64x32.png").c_str(), &largeur, &hauteur, true);
    ASSERT_NE(texture, 0);
    EXPECT_EQ(largeur, 64);
    EXPECT_EQ(hauteur, 32);
    EXPECT_EQ(Entier(GL_TEXTURE_BINDING_2D), texture);
    EXPECT_EQ(ParametreTexture(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(ParametreTexture(GL_TEXTURE_MAG_FILTER), GL_LINEAR);

    GLint l = 0;
    GLint h = 0;
    const std::vector<uint8_t> p = NiveauZero(l, h);
    ASSERT_EQ(l, 64);
    ASSERT_EQ(h, 32);
    // The image's top left pixel is the first of the last row uploaded.
    const uint8_t* hautGauche = &p[(31 * 64 + 0) * 4];
    EXPECT_EQ(hautGauche[0], 250);
    EXPECT_EQ(hautGauche[1], 10);
    EXPECT_EQ(hautGauche[2], 20);
    EXPECT_EQ(hautGauche[3], 255);
    const uint8_t* basDroit = &p[(0 * 64 + 63) * 4];
    EXPECT_EQ(basDroit[0], 30);
    EXPECT_EQ(basDroit[2], 240);
    EXPECT_EQ(basDroit[3], 128);

    // Null size pointers are allowed.
    EXPECT_NE(Outils::loadTexture((dossier_ / "64x32.png").c_str(), nullptr, nullptr, false), 0);
}

TEST_F(Textures, PaletteImageBecomesRgbaAtItsOwnSize)
{
    // 4x2, opaque palette: row 0 = 0 1 2 3, row 1 = 3 2 1 0.
    const std::vector<uint8_t> indices = {0, 1, 2, 3, 3, 2, 1, 0};
    const std::vector<std::array<uint8_t, 4>> palette = {
        {255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {10, 20, 30, 255}};
    ASSERT_TRUE(EcrirePngPalette(dossier_ / "palette.png", 4, 2, indices, palette));

    for (const bool mipmaps : {true, false})
    {
        int largeur = 0;
        int hauteur = 0;
        const int texture = Outils::loadTexture((dossier_ / "palette.png").c_str(), &largeur,
                                                &hauteur, mipmaps);
        ASSERT_NE(texture, 0);
        EXPECT_EQ(largeur, 4);
        EXPECT_EQ(hauteur, 2);
        GLint format = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
        EXPECT_TRUE(format == GL_RGBA || format == GL_RGBA8 || format == 4) << format;
        GLint l = 0;
        GLint h = 0;
        const std::vector<uint8_t> p = NiveauZero(l, h);
        ASSERT_EQ(l, 4);
        ASSERT_EQ(h, 2);
        // Stored row 0 is the image's bottom row: 3 2 1 0.
        for (int x = 0; x < 4; ++x)
        {
            const auto& bas = palette[indices[4 + x]];
            const auto& haut = palette[indices[x]];
            for (int c = 0; c < 4; ++c)
            {
                EXPECT_EQ(p[x * 4 + c], bas[c]) << "bottom row, pixel " << x;
                EXPECT_EQ(p[(4 + x) * 4 + c], haut[c]) << "top row, pixel " << x;
            }
        }
    }
}

TEST_F(Textures, NonPowerOfTwoImageReportsTheFileSize)
{
    ImageRGBA image(48, 40);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 48; ++x)
            image.Fixer(x, y, static_cast<uint8_t>(x * 5), static_cast<uint8_t>(y * 6), 77, 200);
    ASSERT_TRUE(EcrirePng(dossier_ / "48x40.png", image));

    // Single level: uploaded at its own size, texel for texel.
    int largeur = 0;
    int hauteur = 0;
    ASSERT_NE(Outils::loadTexture((dossier_ / "48x40.png").c_str(), &largeur, &hauteur, false), 0);
    EXPECT_EQ(largeur, 48);
    EXPECT_EQ(hauteur, 40);
    EXPECT_EQ(ParametreTexture(GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(ParametreTexture(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    GLint l = 0;
    GLint h = 0;
    std::vector<uint8_t> p = NiveauZero(l, h);
    ASSERT_EQ(l, 48);
    ASSERT_EQ(h, 40);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 48; ++x)
        {
            const uint8_t* t = &p[((39 - y) * 48 + x) * 4];
            ASSERT_EQ(t[0], x * 5);
            ASSERT_EQ(t[1], y * 6);
            ASSERT_EQ(t[2], 77);
            ASSERT_EQ(t[3], 200);
        }

    // Mipmapped: the file's size is reported even though the texture may hold
    // a rescaled image.
    largeur = hauteur = 0;
    ASSERT_NE(Outils::loadTexture((dossier_ / "48x40.png").c_str(), &largeur, &hauteur, true), 0);
    EXPECT_EQ(largeur, 48);
    EXPECT_EQ(hauteur, 40);
    EXPECT_EQ(ParametreTexture(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    p = NiveauZero(l, h);
    EXPECT_GT(l, 0);
    EXPECT_GT(h, 0);
}

TEST_F(Textures, MissingFileGivesZeroAndTouchesNothing)
{
    const int ancienne = Outils::loadTexture(nullptr, nullptr, nullptr, true);
    EXPECT_EQ(ancienne, 0);
    GLuint liee = 0;
    glGenTextures(1, &liee);
    glBindTexture(GL_TEXTURE_2D, liee);
    while (glGetError() != GL_NO_ERROR)
    {
    }

    int largeur = 1234;
    int hauteur = 5678;
    EXPECT_EQ(Outils::loadTexture((dossier_ / "absent.png").c_str(), &largeur, &hauteur, true), 0);
    EXPECT_EQ(largeur, 1234);
    EXPECT_EQ(hauteur, 5678);
    // A file that is not an image fails the same way.
    EcrireFichier(dossier_ / "faux.png", "not a picture");
    EXPECT_EQ(Outils::loadTexture((dossier_ / "faux.png").c_str(), &largeur, &hauteur, false), 0);
    EXPECT_EQ(largeur, 1234);
    EXPECT_EQ(hauteur, 5678);
    EXPECT_EQ(static_cast<GLuint>(Entier(GL_TEXTURE_BINDING_2D)), liee);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    glDeleteTextures(1, &liee);
}

TEST_F(Textures, LoadingKeepsNoSurfaceBehind)
{
    const ImageRGBA image = ImageUnie(256, 256, 1, 2, 3);
    ASSERT_TRUE(EcrirePng(dossier_ / "grande.png", image));
    const std::string chemin = dossier_ / "grande.png";
    auto charger = [&](bool mipmaps) {
        GLuint t = static_cast<GLuint>(Outils::loadTexture(chemin.c_str(), nullptr, nullptr, mipmaps));
        EXPECT_NE(t, 0u);
        glDeleteTextures(1, &t);
        glFinish();
    };
    // Warm the driver and the image library up first.
    charger(true);
    charger(false);
    const size_t avant = MemoireAllouee();
    for (int i = 0; i < 8; ++i)
    {
        charger(true);
        charger(false);
    }
    const size_t apres = MemoireAllouee();
    // One forgotten 256x256 surface a call would be 16 x 256 KiB.
    EXPECT_LT(apres, avant + 256 * 1024) << "grew by " << (apres - avant) << " bytes";
}

// ---------------------------------------------------------------- registry

TEST_F(Textures, IdsAreHandedOutInOrderWhetherOrNotTheLoadSucceeds)
{
    EXPECT_EQ(Enregistrer(ImageUnie(8, 8, 9, 9, 9), "a.png"), 0u);
    EXPECT_EQ(Moteur.NouvelleTexture((dossier_ / "absent.png").c_str()), 1);
    EXPECT_EQ(Enregistrer(ImageUnie(16, 4, 9, 9, 9), "b.png"), 2u);
    ASSERT_EQ(Moteur.Sprites.size(), 3u);

    EXPECT_NE(Moteur.Sprites[0].Texture, 0u);
    EXPECT_EQ(Moteur.Sprites[0].LargeurImage, 8);
    EXPECT_FALSE(Moteur.Sprites[0].HaloCree);
    EXPECT_EQ(Moteur.Sprites[1].Texture, 0u);
    EXPECT_EQ(Moteur.Sprites[1].LargeurImage, 0);
    EXPECT_EQ(Moteur.Sprites[1].HauteurImage, 0);
    EXPECT_EQ(Moteur.Sprites[2].LargeurImage, 16);
    EXPECT_EQ(Moteur.Sprites[2].HauteurImage, 4);
}

TEST_F(Textures, ImageAppearsUprightAndUnmirrored)
{
    const unsigned int id = Enregistrer(ImageQuartiers());
    Moteur.AfficheTexture(id, 100, 100, 64, 64, 255, 255, 255, false, 255);
    EXPECT_TRUE(Couleur(LirePixel(108, 108), 255, 0, 0));
    EXPECT_TRUE(Couleur(LirePixel(156, 108), 0, 255, 0));
    EXPECT_TRUE(Couleur(LirePixel(108, 156), 0, 0, 255));
    EXPECT_TRUE(Couleur(LirePixel(156, 156), 255, 255, 255));
    // Exactly over 100..164 x 100..164.
    EXPECT_TRUE(Couleur(LirePixel(100, 100), 255, 0, 0));
    EXPECT_TRUE(Couleur(LirePixel(163, 163), 255, 255, 255));
    EXPECT_TRUE(Couleur(LirePixel(99, 120), 0, 0, 0));
    EXPECT_TRUE(Couleur(LirePixel(164, 120), 0, 0, 0));
    EXPECT_TRUE(Couleur(LirePixel(120, 99), 0, 0, 0));
    EXPECT_TRUE(Couleur(LirePixel(120, 164), 0, 0, 0));
    // Drawing leaves blending and texturing off, with the sprite's sampling set.
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    glBindTexture(GL_TEXTURE_2D, Moteur.Sprites[id].Texture);
    EXPECT_EQ(ParametreTexture(GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(ParametreTexture(GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
    EXPECT_EQ(ParametreTexture(GL_TEXTURE_WRAP_T), GL_CLAMP_TO_EDGE);
}

TEST_F(Textures, NegativeSizesMirrorOverTheSameRectangle)
{
    const unsigned int id = Enregistrer(ImageQuartiers());

    // Width -64 at x 100 still covers 100..164, left and right swapped.
    Moteur.AfficheTexture(id, 100, 100, -64, 64, 255, 255, 255, false, 255);
    EXPECT_TRUE(Couleur(LirePixel(108, 108), 0, 255, 0));
    EXPECT_TRUE(Couleur(LirePixel(156, 108), 255, 0, 0));
    EXPECT_TRUE(Couleur(LirePixel(108, 156), 255, 255, 255));
    EXPECT_TRUE(Couleur(LirePixel(156, 156), 0, 0, 255));
    EXPECT_TRUE(Couleur(LirePixel(100, 120), 0, 255, 0));
    EXPECT_TRUE(Couleur(LirePixel(163, 120), 255, 0, 0));
    EXPECT_TRUE(Couleur(LirePixel(99, 120), 0, 0, 0));
    EXPECT_TRUE(Couleur(LirePixel(164, 120), 0, 0, 0));
    EXPECT_TRUE(Couleur(LirePixel(40, 120), 0, 0, 0));

    // Height -64: top and bottom swapped.
    Effacer(0, 0, 0);
    Moteur.AfficheTexture(id, 300, 200, 64, -64, 255, 255, 255, false, 255);
    EXPECT_TRUE(Couleur(LirePixel(308, 208), 0, 0, 255));
    EXPECT_TRUE(Couleur(LirePixel(356, 208), 255, 255, 255));
    EXPECT_TRUE(Couleur(LirePixel(308, 256), 255, 0, 0));
    EXPECT_TRUE(Couleur(LirePixel(356, 256), 0, 255, 0));
    EXPECT_TRUE(Couleur(LirePixel(320, 199), 0, 0, 0));
    EXPECT_TRUE(Couleur(LirePixel(320, 264), 0, 0, 0));

    // Both: turned half a turn.
    Effacer(0, 0, 0);
    Moteur.AfficheTexture(id, 500, 400, -128, -64, 255, 255, 255, false, 255);
    EXPECT_TRUE(Couleur(LirePixel(510, 410), 255, 255, 255));
    EXPECT_TRUE(Couleur(LirePixel(620, 410), 0, 0, 255));
    EXPECT_TRUE(Couleur(LirePixel(510, 455), 0, 255, 0));
    EXPECT_TRUE(Couleur(LirePixel(620, 455), 255, 0, 0));
    EXPECT_TRUE(Couleur(LirePixel(628, 430), 0, 0, 0));
}

TEST_F(Textures, ColourTintsTheImage)
{
    const unsigned int id = Enregistrer(ImageUnie(16, 16, 255, 255, 255));
    Moteur.AfficheTexture(id, 10, 10, 50, 50, 255, 0, 0, false, 255);
    EXPECT_TRUE(Couleur(LirePixel(35, 35), 255, 0, 0));
    Moteur.AfficheTexture(id, 100, 10, 50, 50, 0, 128, 255, false, 255);
    EXPECT_TRUE(Couleur(LirePixel(125, 35), 0, 128, 255));
    // The bytes are unsigned: 200 is not a negative value.
    Moteur.AfficheTexture(id, 200, 10, 50, 50, 200, 200, 200, false, 255);
    EXPECT_TRUE(Couleur(LirePixel(225, 35), 200, 200, 200));
}

TEST_F(Textures, ConstantAlphaOnlyWithUseAlpha)
{
    const unsigned int id = Enregistrer(ImageUnie(16, 16, 255, 255, 255));
    // Flag off: alpha ignored, fully visible.
    Moteur.AfficheTexture(id, 10, 10, 50, 50, 255, 255, 255, false, 0);
    EXPECT_TRUE(Couleur(LirePixel(35, 35), 255, 255, 255));
    // Flag on with alpha 0: invisible.
    Moteur.AfficheTexture(id, 100, 10, 50, 50, 255, 255, 255, true, 0);
    EXPECT_TRUE(Couleur(LirePixel(125, 35), 0, 0, 0));
    // Flag on with a half alpha: half over black.
    Moteur.AfficheTexture(id, 200, 10, 50, 50, 255, 255, 255, true, 128);
    EXPECT_TRUE(Couleur(LirePixel(225, 35), 128, 128, 128));
    // Flag on with 255: opaque.
    Moteur.AfficheTexture(id, 300, 10, 50, 50, 255, 255, 255, true, 255);
    EXPECT_TRUE(Couleur(LirePixel(325, 35), 255, 255, 255));
}

TEST_F(Textures, TheImagesOwnAlphaAlwaysBlends)
{
    ImageRGBA image = ImageUnie(32, 32, 255, 255, 255, 128);
    for (int y = 0; y < 32; ++y)
        for (int x = 16; x < 32; ++x)
            image.Fixer(x, y, 255, 255, 255, 0);
    const unsigned int id = Enregistrer(image);
    Moteur.AfficheTexture(id, 100, 100, 32, 32, 255, 255, 255, false, 255);
    EXPECT_TRUE(Couleur(LirePixel(106, 116), 128, 128, 128));
    EXPECT_TRUE(Couleur(LirePixel(126, 116), 0, 0, 0));
    // With a constant alpha both multiply: 128 * 128 / 255 over black.
    Moteur.AfficheTexture(id, 200, 100, 32, 32, 255, 255, 255, true, 128);
    EXPECT_TRUE(Couleur(LirePixel(206, 116), 64, 64, 64));
}

TEST_F(Textures, AnIdOutsideTheRegistryDrawsNothing)
{
    const unsigned int id = Enregistrer(ImageUnie(8, 8, 255, 255, 255));
    ASSERT_EQ(Moteur.Sprites.size(), 1u);
    Moteur.AfficheTexture(id + 1, 0, 0, 800, 600, 255, 255, 255, false, 255);
    Moteur.AfficheTexture(static_cast<unsigned int>(-1), 0, 0, 800, 600, 255, 255, 255, false, 255);
    EXPECT_TRUE(Couleur(LirePixel(400, 300), 0, 0, 0));
    EXPECT_TRUE(Couleur(LirePixel(0, 0), 0, 0, 0));
    Moteur.AfficheTexture(id, 0, 0, 800, 600, 255, 255, 255, false, 255);
    EXPECT_TRUE(Couleur(LirePixel(400, 300), 255, 255, 255));
}

TEST_F(Textures, AnImageThatFailedToLoadDrawsAPlainQuad)
{
    const unsigned int id = static_cast<unsigned int>(Moteur.NouvelleTexture((dossier_ / "absent.png").c_str()));
    Moteur.AfficheTexture(id, 50, 60, 40, 30, 10, 200, 30, false, 255);
    EXPECT_TRUE(Couleur(LirePixel(70, 75), 10, 200, 30));
    EXPECT_TRUE(Couleur(LirePixel(49, 75), 0, 0, 0));
    EXPECT_TRUE(Couleur(LirePixel(70, 90), 0, 0, 0));
}

TEST_F(Textures, DrawingFollowsTheModelViewMatrix)
{
    const unsigned int id = Enregistrer(ImageQuartiers());
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(-40, 20, 0);
    Moteur.AfficheTexture(id, 100, 100, 64, 64, 255, 255, 255, false, 255);
    glLoadIdentity();
    EXPECT_TRUE(Couleur(LirePixel(68, 128), 255, 0, 0));
    EXPECT_TRUE(Couleur(LirePixel(116, 176), 255, 255, 255));
    EXPECT_TRUE(Couleur(LirePixel(125, 150), 0, 0, 0));
}
