// The head-up display drawn in a real GL window: bar widths, the frame over
// the bars and the numbers over the frame, read back pixel by pixel.
#include <gtest/gtest.h>

#include "aide/Aide.h"
#include "interface/Interface.h"
#include "main/Globales.h"

#include <SDL_opengl.h>

#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{
    // The test's own pictures: a red life bar, a blue mana bar, and a grey
    // frame with a window over the life bar (x 2..217, y 3..25) and a shorter
    // one over the left of the mana bar (x 2..119, y 27..47).
    const int Gris = 90;

    ImageRGBA Cadre()
    {
        ImageRGBA cadre = ImageUnie(300, 50, Gris, Gris, Gris);
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 300; ++x)
            {
                const bool fenetreVie = x >= 2 && x <= 217 && y >= 3 && y <= 25;
                const bool fenetreMana = x >= 2 && x <= 119 && y >= 27 && y <= 47;
                if (fenetreVie || fenetreMana)
                    cadre.Fixer(x, y, 0, 0, 0, 0);
            }
        return cadre;
    }

    // Digit d of the test font is grey 255 - 20 d, every other glyph white, so
    // that each digit drawn in the number colour has its own shade of green.
    int GrisChiffre(int d)
    {
        return 255 - 20 * d;
    }

    const char* const Glyphes[] = {
        "A.png", "B.png", "C.png", "D.png", "E.png", "F.png", "G.png", "H.png", "I.png",
        "J.png", "K.png", "L.png", "M.png", "N.png", "O.png", "P.png", "Q.png", "R.png",
        "S.png", "T.png", "U.png", "V.png", "W.png", "X.png", "Y.png", "Z.png",
        "DeuxPoints.png", "Espace.png", "Apostrophe.png", "Point.png",
        "Point exclamation.png", "tiret.png"};

    void EcrireFonte(const DossierTemporaire& dossier, const std::string& nom)
    {
        const std::string chemin = dossier / ("Images/Fontes/" + nom);
        CreerDossiers(chemin);
        for (const char* glyphe : Glyphes)
            EcrirePng(chemin + "/" + glyphe, ImageUnie(16, 16, 255, 255, 255));
        for (int d = 0; d <= 9; ++d)
        {
            const uint8_t g = static_cast<uint8_t>(GrisChiffre(d));
            EcrirePng(chemin + "/" + std::to_string(d) + ".png", ImageUnie(16, 16, g, g, g));
        }
    }

    // The number colour (0, 165, 8) times a glyph's grey.
    Rgba CouleurChiffre(int d)
    {
        const int g = GrisChiffre(d);
        return Rgba{0, 165 * g / 255, 8 * g / 255, 255};
    }

    const Rgba Blanc = {255, 255, 255, 255};
    const Rgba Rouge = {255, 0, 0, 255};
    const Rgba Bleu = {0, 0, 255, 255};
    const Rgba CouleurCadre = {Gris, Gris, Gris, 255};

    ::testing::AssertionResult PixelEst(int x, int y, Rgba attendu)
    {
        const Rgba c = LirePixel(x, y);
        const int tolerance = 2;
        if (std::abs(c.r - attendu.r) <= tolerance && std::abs(c.g - attendu.g) <= tolerance &&
            std::abs(c.b - attendu.b) <= tolerance)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "pixel (" << x << ", " << y << ") is (" << c.r << ", " << c.g << ", " << c.b
               << "), expected (" << attendu.r << ", " << attendu.g << ", " << attendu.b << ")";
    }

    class InterfaceHud : public ::testing::Test
    {
    protected:
        static DossierTemporaire* dossier;
        static CInterface hud;
        static size_t premiereTexture;
        // A font registry holding only the test font, as id 0.
        static std::vector<CMoteur::CTexte> fontesHud;

        static void SetUpTestSuite()
        {
            if (!OuvrirFenetre())
                return;
            dossier = new DossierTemporaire();
            CreerDossiers(*dossier / "Images/Interface");
            EcrirePng(*dossier / "Images/Interface/barrevie.png", ImageUnie(16, 4, 255, 0, 0));
            EcrirePng(*dossier / "Images/Interface/barremana.png", ImageUnie(16, 4, 0, 0, 255));
            EcrirePng(*dossier / "Images/Interface/interface.png", Cadre());
            EcrireFonte(*dossier, "EssaiHud");

            DansDossier ici(dossier->Chemin());
            premiereTexture = Moteur.Sprites.size();
            hud.LoadInterface();
            // The numbers are drawn with font 0, the first one registered: the
            // test font is registered alone, and its registry kept aside.
            fontesHud.clear();
            Moteur.Fontes.swap(fontesHud);
            Moteur.NouvelleFonte("EssaiHud");
            Moteur.Fontes.swap(fontesHud);
        }

        static void TearDownTestSuite()
        {
            delete dossier;
            dossier = nullptr;
            fontesHud.clear();
        }

        void SetUp() override
        {
            ASSERT_TRUE(OuvrirFenetre()) << "a display is needed (run under xvfb-run)";
            ASSERT_EQ(fontesHud.size(), 1u);
            Moteur.Fontes.swap(fontesHud);
            echangees = true;
            Effacer(1, 1, 1);
        }

        void TearDown() override
        {
            if (echangees)
                Moteur.Fontes.swap(fontesHud);
            glMatrixMode(GL_MODELVIEW);
            glLoadIdentity();
        }

        bool echangees = false;
    };

    DossierTemporaire* InterfaceHud::dossier = nullptr;
    CInterface InterfaceHud::hud;
    size_t InterfaceHud::premiereTexture = 0;
    std::vector<CMoteur::CTexte> InterfaceHud::fontesHud;
}

TEST_F(InterfaceHud, LoadInterfaceRegistersTheThreeImagesInOrder)
{
    EXPECT_EQ(hud.ImgBarreVie, premiereTexture);
    EXPECT_EQ(hud.ImgBarreMana, premiereTexture + 1);
    EXPECT_EQ(hud.ImgInterface, premiereTexture + 2);
    ASSERT_GT(Moteur.Sprites.size(), premiereTexture + 2);
    EXPECT_EQ(Moteur.Sprites[hud.ImgInterface].LargeurImage, 300);
    EXPECT_EQ(Moteur.Sprites[hud.ImgInterface].HauteurImage, 50);
}

TEST_F(InterfaceHud, FullLifeDrawsATwoHundredPixelBar)
{
    hud.DessineInterface(1000, 1000, 0, 1000);
    EXPECT_TRUE(PixelEst(8, 14, Rouge));
    EXPECT_TRUE(PixelEst(100, 8, Rouge));
    EXPECT_TRUE(PixelEst(100, 20, Rouge));
    EXPECT_TRUE(PixelEst(207, 14, Rouge));
    EXPECT_TRUE(PixelEst(208, 14, Blanc));
    // 13 pixels high, from y 8.
    EXPECT_TRUE(PixelEst(100, 7, Blanc));
    EXPECT_TRUE(PixelEst(100, 21, Blanc));
    EXPECT_TRUE(PixelEst(7, 14, Blanc));
}

TEST_F(InterfaceHud, LifeBarWidthIsTruncated)
{
    hud.DessineInterface(999, 1000, 0, 1000);
    EXPECT_TRUE(PixelEst(206, 14, Rouge));
    EXPECT_TRUE(PixelEst(207, 14, Blanc));

    Effacer(1, 1, 1);
    hud.DessineInterface(4, 1000, 0, 1000);
    EXPECT_TRUE(PixelEst(8, 14, Blanc));
    EXPECT_TRUE(PixelEst(9, 14, Blanc));

    Effacer(1, 1, 1);
    hud.DessineInterface(0, 1000, 0, 1000);
    EXPECT_TRUE(PixelEst(8, 14, Blanc));
    EXPECT_TRUE(PixelEst(100, 14, Blanc));
}

TEST_F(InterfaceHud, ManaBarLiesBelowAndTheFrameCoversWhatItDoesNotShow)
{
    hud.DessineInterface(0, 1000, 500, 1000);
    EXPECT_TRUE(PixelEst(8, 36, Bleu));
    EXPECT_TRUE(PixelEst(107, 30, Bleu));
    EXPECT_TRUE(PixelEst(107, 42, Bleu));
    EXPECT_TRUE(PixelEst(108, 36, Blanc));
    EXPECT_TRUE(PixelEst(60, 29, Blanc));
    EXPECT_TRUE(PixelEst(60, 43, Blanc));

    // A full mana bar runs under the opaque part of the frame.
    Effacer(1, 1, 1);
    hud.DessineInterface(0, 1000, 1000, 1000);
    EXPECT_TRUE(PixelEst(110, 36, Bleu));
    EXPECT_TRUE(PixelEst(160, 36, CouleurCadre));
    EXPECT_TRUE(PixelEst(200, 36, CouleurCadre));
}

TEST_F(InterfaceHud, FrameCoversThreeHundredByFiftyAndNoMore)
{
    hud.DessineInterface(1000, 1000, 1000, 1000);
    EXPECT_TRUE(PixelEst(0, 0, CouleurCadre));
    EXPECT_TRUE(PixelEst(298, 45, CouleurCadre));
    EXPECT_TRUE(PixelEst(150, 49, CouleurCadre));
    EXPECT_TRUE(PixelEst(301, 45, Blanc));
    EXPECT_TRUE(PixelEst(150, 51, Blanc));
}

TEST_F(InterfaceHud, NumbersAreDrawnOverTheFrameInTheirColour)
{
    hud.DessineInterface(1000, 1000, 4, 1000);
    // "1000" in cells of 12 from (220, 8).
    EXPECT_TRUE(PixelEst(226, 14, CouleurChiffre(1)));
    EXPECT_TRUE(PixelEst(238, 14, CouleurChiffre(0)));
    EXPECT_TRUE(PixelEst(250, 14, CouleurChiffre(0)));
    EXPECT_TRUE(PixelEst(262, 14, CouleurChiffre(0)));
    EXPECT_TRUE(PixelEst(274, 14, CouleurCadre));
    EXPECT_TRUE(PixelEst(226, 9, CouleurChiffre(1)));
    EXPECT_TRUE(PixelEst(226, 19, CouleurChiffre(1)));
    EXPECT_TRUE(PixelEst(226, 22, CouleurCadre));
    // "4" from (220, 31).
    EXPECT_TRUE(PixelEst(226, 37, CouleurChiffre(4)));
    EXPECT_TRUE(PixelEst(226, 32, CouleurChiffre(4)));
    EXPECT_TRUE(PixelEst(226, 42, CouleurChiffre(4)));
    EXPECT_TRUE(PixelEst(238, 37, CouleurCadre));
    EXPECT_TRUE(PixelEst(226, 29, CouleurCadre));
}

TEST_F(InterfaceHud, EmptyLifeShowsZero)
{
    hud.DessineInterface(0, 1000, 1000, 1000);
    EXPECT_TRUE(PixelEst(226, 14, CouleurChiffre(0)));
    EXPECT_TRUE(PixelEst(238, 14, CouleurCadre));
    EXPECT_TRUE(PixelEst(100, 14, Blanc));
}

TEST_F(InterfaceHud, DrawsInScreenPixelsWhateverTheCamera)
{
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(-350, 120, 0);
    hud.DessineInterface(1000, 1000, 1000, 1000);
    EXPECT_TRUE(PixelEst(100, 14, Rouge));
    EXPECT_TRUE(PixelEst(226, 14, CouleurChiffre(1)));
    EXPECT_TRUE(PixelEst(100, 134, Blanc));
}

TEST_F(InterfaceHud, NumbersOfAnyLengthAreDrawnWhole)
{
    // "-2147483648": eleven cells, the last one from x 340 to 352.
    hud.DessineInterface(INT_MIN, 1000, 123456, 1000);
    EXPECT_TRUE(PixelEst(226, 14, CouleurChiffre(0))); // the minus glyph is white like '0'
    EXPECT_TRUE(PixelEst(238, 14, CouleurChiffre(2)));
    EXPECT_TRUE(PixelEst(346, 14, CouleurChiffre(8)));
    EXPECT_TRUE(PixelEst(358, 14, Blanc));
    // "123456" for the mana.
    EXPECT_TRUE(PixelEst(226, 37, CouleurChiffre(1)));
    EXPECT_TRUE(PixelEst(286, 37, CouleurChiffre(6)));
    EXPECT_TRUE(PixelEst(298, 37, CouleurCadre));
    // Out-of-range values keep the bars within the frame's window.
    EXPECT_TRUE(PixelEst(100, 14, Blanc));
    EXPECT_TRUE(PixelEst(110, 36, Bleu));
}

TEST_F(InterfaceHud, ValueAboveTheMaximumFillsTheBarAndNoMore)
{
    hud.DessineInterface(1500, 1000, 0, 1000);
    EXPECT_TRUE(PixelEst(207, 14, Rouge));
    EXPECT_TRUE(PixelEst(208, 14, Blanc));
    EXPECT_TRUE(PixelEst(226, 14, CouleurChiffre(1)));
    EXPECT_TRUE(PixelEst(238, 14, CouleurChiffre(5)));
}

TEST_F(InterfaceHud, MaximumOfZeroOrLessDrawsAnEmptyBarAndStillTheNumber)
{
    hud.DessineInterface(500, 0, 500, -1000);
    EXPECT_TRUE(PixelEst(8, 14, Blanc));
    EXPECT_TRUE(PixelEst(100, 14, Blanc));
    EXPECT_TRUE(PixelEst(8, 36, Blanc));
    EXPECT_TRUE(PixelEst(226, 14, CouleurChiffre(5)));
    EXPECT_TRUE(PixelEst(226, 37, CouleurChiffre(5)));
}
