// Bitmap fonts, text and the frame counter, read back from a real GL context.
// The test fonts give every glyph its own colour, so a cell's colour tells
// which glyph was drawn in it.
#include <gtest/gtest.h>

#include "aide/Aide.h"
#include "main/Globales.h"
#include "outils/Horloge.h"

#include <SDL_opengl.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{
    const int NbLettres = CMoteur::CTexte::NbLettres;

    // The colour of glyph slot i in the test fonts: red and green identify it.
    uint8_t RougeLettre(int slot)
    {
        return static_cast<uint8_t>(slot * 6);
    }
    uint8_t VertLettre(int slot)
    {
        return static_cast<uint8_t>(255 - slot * 6);
    }

    // Writes a font folder <racine>/Images/Fontes/<nom> with the 42 glyphs,
    // leaving out the slots listed in `sans`.
    void EcrireFonte(const std::string& racine, const std::string& nom,
                     const std::vector<int>& sans = {})
    {
        const std::string dossier = racine + "/Images/Fontes/" + nom;
        CreerDossiers(dossier);
        for (int slot = 0; slot < NbLettres; ++slot)
        {
            bool omis = false;
            for (const int s : sans)
                omis = omis || s == slot;
            if (!omis)
            {
                ASSERT_TRUE(EcrirePng(dossier + "/" + FichierLettre(slot),
                                      ImageUnie(8, 8, RougeLettre(slot), VertLettre(slot), 100)));
            }
        }
    }

    // The glyph slot whose colour is at (x, y); -1 for the background (black),
    // -2 for anything else.
    int SlotLu(int x, int y)
    {
        const Rgba c = LirePixel(x, y);
        if (c.r <= 1 && c.g <= 1 && c.b <= 1)
            return -1;
        for (int slot = 0; slot < NbLettres; ++slot)
            if (std::abs(c.r - RougeLettre(slot)) <= 2 && std::abs(c.g - VertLettre(slot)) <= 2 &&
                std::abs(c.b - 100) <= 2)
                return slot;
        return -2;
    }

    // The slots of the cells of a text drawn at (x, y) with glyph size `taille`,
    // read at each cell's centre.
    std::vector<int> Cellules(int x, int y, int taille, int nombre)
    {
        std::vector<int> slots;
        for (int i = 0; i < nombre; ++i)
            slots.push_back(SlotLu(x + i * taille + taille / 2, y + taille / 2));
        return slots;
    }

    class Texte : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            ASSERT_TRUE(OuvrirFenetre()) << "a display is needed (run under xvfb-run)";
            Horloge::FixerTemps(50000);
            Moteur.FonduActif = false;
            Moteur.Fontes.swap(fontes_);
            nbFrames_ = Moteur.nbFrames;
            tempsFPS_ = Moteur.TempsFPS;
            fps_ = Moteur.FPS;
            Effacer(0, 0, 0);
        }
        void TearDown() override
        {
            Moteur.Fontes.swap(fontes_);
            Moteur.nbFrames = nbFrames_;
            Moteur.TempsFPS = tempsFPS_;
            Moteur.FPS = fps_;
            Horloge::TempsReel();
        }

        // Registers the test font "Essai" (font id 0 in a fresh registry).
        int FonteEssai(const std::vector<int>& sans = {})
        {
            EcrireFonte(dossier_.Chemin(), "Essai", sans);
            DansDossier ici(dossier_.Chemin());
            return Moteur.NouvelleFonte("Essai");
        }

        DossierTemporaire dossier_;

    private:
        std::vector<CMoteur::CTexte> fontes_;
        Uint32 nbFrames_ = 0;
        Uint32 tempsFPS_ = 0;
        Uint32 fps_ = 0;
    };
}

// ---------------------------------------------------------------- fonts

TEST_F(Texte, EveryGlyphFileLandsInItsSlot)
{
    ASSERT_EQ(FonteEssai(), 0);
    ASSERT_EQ(Moteur.Fontes.size(), 1u);
    const CMoteur::CTexte& fonte = Moteur.Fontes[0];
    for (int slot = 0; slot < NbLettres; ++slot)
    {
        ASSERT_NE(fonte.Lettres[slot], 0u) << FichierLettre(slot);
        glBindTexture(GL_TEXTURE_2D, fonte.Lettres[slot]);
        uint8_t texel[8 * 8 * 4];
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
        EXPECT_EQ(texel[0], RougeLettre(slot)) << FichierLettre(slot);
        EXPECT_EQ(texel[1], VertLettre(slot)) << FichierLettre(slot);
        // Glyphs are mipmapped.
        GLint filtre = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filtre);
        EXPECT_EQ(filtre, GL_LINEAR_MIPMAP_LINEAR);
    }
}

TEST_F(Texte, FontIdsInOrderWhetherOrNotTheFolderExists)
{
    DansDossier ici(dossier_.Chemin());
    EXPECT_EQ(Moteur.NouvelleFonte("Absente"), 0);
    EcrireFonte(dossier_.Chemin(), "Essai");
    EXPECT_EQ(Moteur.NouvelleFonte("Essai"), 1);
    EXPECT_EQ(Moteur.NouvelleFonte("Autre absente"), 2);
    ASSERT_EQ(Moteur.Fontes.size(), 3u);
    for (int slot = 0; slot < NbLettres; ++slot)
    {
        EXPECT_EQ(Moteur.Fontes[0].Lettres[slot], 0u);
        EXPECT_NE(Moteur.Fontes[1].Lettres[slot], 0u);
        EXPECT_EQ(Moteur.Fontes[2].Lettres[slot], 0u);
    }
}

TEST_F(Texte, AMissingGlyphLeavesZeroAndTheOthersLoad)
{
    // "Q.png" and "Point exclamation.png" absent.
    ASSERT_EQ(FonteEssai({16, 40}), 0);
    const CMoteur::CTexte& fonte = Moteur.Fontes[0];
    EXPECT_EQ(fonte.Lettres[16], 0u);
    EXPECT_EQ(fonte.Lettres[40], 0u);
    EXPECT_NE(fonte.Lettres[15], 0u);
    EXPECT_NE(fonte.Lettres[17], 0u);
    EXPECT_NE(fonte.Lettres[41], 0u);

    // It draws as a plain quad in the text colour.
    Moteur.DessineTexte(0, "PQ!", 20, 100, 100, 255, 255, 255, false, 255);
    EXPECT_EQ(SlotLu(110, 110), 15);
    const Rgba q = LirePixel(130, 110);
    EXPECT_EQ(q.r, 255);
    EXPECT_EQ(q.g, 255);
    EXPECT_EQ(q.b, 255);
    EXPECT_EQ(LirePixel(150, 110).r, 255);
}

TEST_F(Texte, OneFileLoadsThroughChargerFichier)
{
    EcrireFonte(dossier_.Chemin(), "Essai");
    DansDossier ici(dossier_.Chemin());
    CMoteur::CTexte fonte{};
    const int texture = fonte.ChargerFichier("Essai", "tiret.png");
    ASSERT_NE(texture, 0);
    uint8_t texel[8 * 8 * 4];
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
    EXPECT_EQ(texel[0], RougeLettre(41));
    EXPECT_EQ(fonte.ChargerFichier("Essai", "Tiret.png"), 0);
    EXPECT_EQ(fonte.ChargerFichier("Absente", "A.png"), 0);
    EXPECT_EQ(fonte.ChargerFichier(nullptr, "A.png"), 0);
}

TEST_F(Texte, AFontWhosePathsDoNotFitLoadsNothingItCannotName)
{
    // The folders exist, so only the length of the path can stop a load:
    // "./Images/Fontes/" + name + "/" + file must fit in 99 characters.
    const std::string nom61(61, 'f');
    const std::string nom62(62, 'g');
    EcrireFonte(dossier_.Chemin(), nom61);
    EcrireFonte(dossier_.Chemin(), nom62);
    const std::string longue(150, 'h');
    EcrireFonte(dossier_.Chemin(), longue);
    DansDossier ici(dossier_.Chemin());

    ASSERT_EQ(Moteur.NouvelleFonte(nom61.c_str()), 0);
    for (int slot = 0; slot < NbLettres; ++slot)
        EXPECT_NE(Moteur.Fontes[0].Lettres[slot], 0u) << FichierLettre(slot);

    // 62 characters: the one 21-character file name ("Point exclamation.png")
    // would make a 100-character path; the others still fit.
    ASSERT_EQ(Moteur.NouvelleFonte(nom62.c_str()), 1);
    for (int slot = 0; slot < NbLettres; ++slot)
    {
        if (slot == 40)
        {
            EXPECT_EQ(Moteur.Fontes[1].Lettres[slot], 0u);
        }
        else
        {
            EXPECT_NE(Moteur.Fontes[1].Lettres[slot], 0u) << FichierLettre(slot);
        }
    }

    ASSERT_EQ(Moteur.NouvelleFonte(longue.c_str()), 2);
    for (int slot = 0; slot < NbLettres; ++slot)
        EXPECT_EQ(Moteur.Fontes[2].Lettres[slot], 0u) << FichierLettre(slot);

    // A null name is a font without any glyph.
    ASSERT_EQ(Moteur.NouvelleFonte(nullptr), 3);
    EXPECT_EQ(Moteur.Fontes[3].Lettres[0], 0u);
}

// ---------------------------------------------------------------- text

TEST_F(Texte, PauseIsDrawnWithTheUpperCaseGlyphs)
{
    const int fonte = FonteEssai();
    Moteur.DessineTexte(fonte, "Pause", 20, 100, 100, 255, 255, 255, false, 255);
    EXPECT_EQ(Cellules(100, 100, 20, 5), (std::vector<int>{15, 0, 20, 18, 4}));
    Moteur.DessineTexte(fonte, "PAUSE", 20, 100, 200, 255, 255, 255, false, 255);
    EXPECT_EQ(Cellules(100, 200, 20, 5), (std::vector<int>{15, 0, 20, 18, 4}));
    // Cells are exactly size-wide squares from (x, y).
    EXPECT_EQ(SlotLu(100, 100), 15);
    EXPECT_EQ(SlotLu(199, 119), 4);
    EXPECT_EQ(SlotLu(99, 110), -1);
    EXPECT_EQ(SlotLu(200, 110), -1);
    EXPECT_EQ(SlotLu(110, 99), -1);
    EXPECT_EQ(SlotLu(110, 120), -1);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(Texte, EveryCharacterOfTheTableDrawsItsGlyph)
{
    const int fonte = FonteEssai();
    const char* texte = "AZ:09 '.!-";
    Moteur.DessineTexte(fonte, texte, 16, 0, 300, 255, 255, 255, false, 255);
    EXPECT_EQ(Cellules(0, 300, 16, 10), (std::vector<int>{0, 25, 26, 27, 36, 37, 38, 39, 40, 41}));
}

TEST_F(Texte, UnknownCharactersDrawTheSpaceGlyphAndKeepTheAdvance)
{
    const int fonte = FonteEssai();
    // '?', '%', a byte above 127, a newline, a lower-case letter beyond 'z'.
    const char texte[] = {'A', '?', '%', static_cast<char>(0xE9), '\n', static_cast<char>(0xFF),
                          '{', 'b', '\0'};
    Moteur.DessineTexte(fonte, texte, 20, 10, 10, 255, 255, 255, false, 255);
    EXPECT_EQ(Cellules(10, 10, 20, 9), (std::vector<int>{0, 37, 37, 37, 37, 37, 37, 1, -1}));
}

TEST_F(Texte, ColourMultipliesTheGlyphsAndAlphaNeedsItsFlag)
{
    const int fonte = FonteEssai();
    Moteur.DessineTexte(fonte, "A", 20, 10, 10, 255, 0, 255, false, 255);
    Rgba c = LirePixel(20, 20);
    EXPECT_EQ(c.r, RougeLettre(0));
    EXPECT_EQ(c.g, 0);
    EXPECT_NEAR(c.b, 100, 1);

    // Flag off: alpha ignored. Flag on with alpha 0: invisible.
    Moteur.DessineTexte(fonte, "Z", 20, 50, 10, 255, 255, 255, false, 0);
    EXPECT_EQ(SlotLu(60, 20), 25);
    Moteur.DessineTexte(fonte, "Z", 20, 100, 10, 255, 255, 255, true, 0);
    EXPECT_EQ(SlotLu(110, 20), -1);
    Moteur.DessineTexte(fonte, "Z", 20, 150, 10, 255, 255, 255, true, 255);
    EXPECT_EQ(SlotLu(160, 20), 25);
}

TEST_F(Texte, EmptyTextZeroSizeAndUnknownFontsDrawNothing)
{
    const int fonte = FonteEssai();
    Moteur.DessineTexte(fonte, "", 20, 10, 10, 255, 255, 255, false, 255);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    Moteur.DessineTexte(fonte, nullptr, 20, 10, 10, 255, 255, 255, false, 255);
    Moteur.DessineTexte(fonte, "AAAA", 0, 10, 10, 255, 255, 255, false, 255);
    Moteur.DessineTexte(fonte + 1, "AAAA", 20, 10, 10, 255, 255, 255, false, 255);
    Moteur.DessineTexte(-1, "AAAA", 20, 10, 10, 255, 255, 255, false, 255);
    for (int x = 5; x < 100; x += 5)
        EXPECT_EQ(SlotLu(x, 15), -1) << x;
}

TEST_F(Texte, TextFollowsTheModelViewMatrix)
{
    const int fonte = FonteEssai();
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(30, 40, 0);
    Moteur.DessineTexte(fonte, "OK", 20, 100, 100, 255, 255, 255, false, 255);
    glLoadIdentity();
    EXPECT_EQ(Cellules(130, 140, 20, 2), (std::vector<int>{14, 10}));
    EXPECT_EQ(SlotLu(110, 110), -1);
}

// ---------------------------------------------------------------- frame counter

TEST_F(Texte, FrameCounterOfTwelveFillsEightCellsFromFiveToOneHundredSixtyFive)
{
    ASSERT_EQ(FonteEssai(), 0);
    // A second font: the counter still takes font 0.
    {
        DansDossier ici(dossier_.Chemin());
        Moteur.NouvelleFonte("Absente");
    }
    Moteur.FPS = 12;
    Moteur.nbFrames = 0;
    Moteur.TempsFPS = Horloge::Ticks();
    Moteur.DessineFPS();

    // "FPS : 12": F P S space : space 1 2.
    EXPECT_EQ(Cellules(5, 5, 20, 8), (std::vector<int>{5, 15, 18, 37, 26, 37, 28, 29}));
    EXPECT_EQ(SlotLu(5, 5), 5);
    EXPECT_EQ(SlotLu(164, 24), 29);
    EXPECT_EQ(SlotLu(4, 15), -1);
    EXPECT_EQ(SlotLu(165, 15), -1);
    EXPECT_EQ(SlotLu(15, 4), -1);
    EXPECT_EQ(SlotLu(155, 25), -1);
    EXPECT_EQ(Moteur.nbFrames, 1u);
    EXPECT_EQ(Moteur.FPS, 12u);
}

TEST_F(Texte, FrameRateIsTheCountOfTheLastIntervalLongerThanASecond)
{
    CMoteur neuf;
    EXPECT_EQ(neuf.FPS, 0u);
    EXPECT_EQ(neuf.nbFrames, 0u);
    EXPECT_EQ(neuf.TempsFPS, 0u);

    ASSERT_EQ(FonteEssai(), 0);
    const Uint32 t = 50000;
    Horloge::FixerTemps(t);
    Moteur.FPS = 0;
    Moteur.nbFrames = 0;
    Moteur.TempsFPS = t;

    Horloge::FixerTemps(t + 500);
    for (int i = 0; i < 3; ++i)
        Moteur.DessineFPS();
    EXPECT_EQ(Moteur.nbFrames, 3u);
    EXPECT_EQ(Moteur.FPS, 0u);
    // Exactly 1000 ms is not yet more than a second.
    Horloge::FixerTemps(t + 1000);
    Moteur.DessineFPS();
    EXPECT_EQ(Moteur.nbFrames, 4u);
    EXPECT_EQ(Moteur.FPS, 0u);
    EXPECT_EQ(Moteur.TempsFPS, t);

    // 1001 ms: this frame is counted, the value drawn is still the old one.
    Effacer(0, 0, 0);
    Horloge::FixerTemps(t + 1001);
    Moteur.DessineFPS();
    EXPECT_EQ(Moteur.FPS, 5u);
    EXPECT_EQ(Moteur.nbFrames, 0u);
    EXPECT_EQ(Moteur.TempsFPS, t + 1001);
    EXPECT_EQ(Cellules(5, 5, 20, 8), (std::vector<int>{5, 15, 18, 37, 26, 37, 27, -1}));

    // The next frame shows 5.
    Effacer(0, 0, 0);
    Moteur.DessineFPS();
    EXPECT_EQ(Cellules(5, 5, 20, 7), (std::vector<int>{5, 15, 18, 37, 26, 37, 32}));

    // A fast second: the measured rate sets the pacing delay of the frame's end.
    for (int i = 0; i < 149; ++i)
        Moteur.DessineFPS();
    Horloge::FixerTemps(t + 2003);
    Moteur.DessineFPS();
    EXPECT_EQ(Moteur.FPS, 151u);
    Moteur.FinDessin();
    EXPECT_EQ(Horloge::DernierDelai(), 5u);
}

TEST_F(Texte, FrameCounterWithoutAnyFontCountsButDrawsNothing)
{
    ASSERT_TRUE(Moteur.Fontes.empty());
    const Uint32 t = 70000;
    Horloge::FixerTemps(t);
    Moteur.FPS = 7;
    Moteur.nbFrames = 0;
    Moteur.TempsFPS = t;
    Moteur.DessineFPS();
    Moteur.DessineFPS();
    EXPECT_EQ(Moteur.nbFrames, 2u);
    for (int x = 5; x < 165; x += 10)
        EXPECT_EQ(SlotLu(x, 15), -1);
    Horloge::FixerTemps(t + 1001);
    Moteur.DessineFPS();
    EXPECT_EQ(Moteur.FPS, 3u);
    EXPECT_EQ(Moteur.nbFrames, 0u);
}

TEST_F(Texte, FrameCounterKeepsMeasuringAcrossTheClocksWrap)
{
    ASSERT_EQ(FonteEssai(), 0);
    const Uint32 t = 0xFFFFFF00u; // 256 ms before the millisecond clock wraps
    Horloge::FixerTemps(t);
    Moteur.FPS = 0;
    Moteur.nbFrames = 0;
    Moteur.TempsFPS = t;
    // Before the wrap the end of the second is a small number: no early update.
    Horloge::FixerTemps(t + 100);
    Moteur.DessineFPS();
    EXPECT_EQ(Moteur.FPS, 0u);
    Horloge::FixerTemps(t + 800); // wrapped: 544
    Moteur.DessineFPS();
    EXPECT_EQ(Moteur.FPS, 0u);
    EXPECT_EQ(Moteur.nbFrames, 2u);
    Horloge::FixerTemps(t + 1001);
    Moteur.DessineFPS();
    EXPECT_EQ(Moteur.FPS, 3u);
    EXPECT_EQ(Moteur.TempsFPS, t + 1001);
}
