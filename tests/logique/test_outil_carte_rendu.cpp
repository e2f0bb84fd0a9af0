// corvella-carte render: the level drawn on the CPU from image files, in the
// game's order, with the start and the bonuses marked; checked on images made
// for the test (plain colours, exact expectations) and on the game's own.
#include "test_outil_carte_aide.h"

#include "aide/Aide.h"
#include "carte/Rendu.h"
#include "map/Map.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

using namespace EssaisOutilCarte;
using OutilCarte::Couleur;
using OutilCarte::OptionsRendu;
using OutilCarte::ResultatRendu;

namespace
{
    // Three rows of four cells: earth around, water in the floor, a life 25
    // bonus at column 2, row 1, the start at column 1, row 1.
    const char* const Niveau = "[Infos]\nHauteur=3\nLargeur=4\nPosDebutX=2\nPosDebutY=2\n[Map]\n"
                               "bbbb\n"
                               "b 1b\n"
                               "bCbb\n";

    const Couleur Terre = {200, 100, 50};
    const Couleur Vert = {0, 220, 0};

    // Image folder of the test: earth plain, water blue at half alpha, the
    // bonus a green square on transparency, the digit 1 a small white glyph.
    class Images : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            CreerDossiers(dossier_ / "Maps");
            CreerDossiers(dossier_ / "Bonus");
            CreerDossiers(dossier_ / "Fontes/Standard");
            ASSERT_TRUE(EcrirePng(dossier_ / "Maps/Terre.png", ImageUnie(64, 64, Terre.R, Terre.G, Terre.B)));
            ASSERT_TRUE(EcrirePng(dossier_ / "Maps/Eau.png", ImageUnie(64, 64, 0, 0, 255, 128)));
            ImageRGBA bonus = ImageUnie(64, 64, 0, 0, 0, 0);
            for (int y = 24; y < 40; ++y)
                for (int x = 24; x < 40; ++x)
                    bonus.Fixer(x, y, Vert.R, Vert.G, Vert.B, 255);
            ASSERT_TRUE(EcrirePng(dossier_ / "Bonus/vie25p1.png", bonus));
            ASSERT_TRUE(EcrirePng(dossier_ / "Fontes/Standard/1.png", ImageUnie(8, 8, 255, 255, 255)));
        }

        ResultatRendu Rendre(const std::string& niveau, ImageRGBA& image, double echelle = 1.0, bool marques = true)
        {
            OptionsRendu options;
            options.Images = dossier_.Chemin();
            options.Echelle = echelle;
            options.Marques = marques;
            return OutilCarte::Rendre(OutilCarte::Normaliser(niveau), options, image);
        }

        DossierTemporaire dossier_;
    };

    ::testing::AssertionResult Vaut(const ImageRGBA& image, int x, int y, Couleur c, int tolerance = 0)
    {
        const uint8_t* p = image.Pixel(x, y);
        if (std::abs(p[0] - c.R) <= tolerance && std::abs(p[1] - c.G) <= tolerance &&
            std::abs(p[2] - c.B) <= tolerance && p[3] == 255)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "pixel (" << x << "," << y << ") is " << int(p[0]) << ","
                                             << int(p[1]) << "," << int(p[2]) << "," << int(p[3]) << ", not "
                                             << int(c.R) << "," << int(c.G) << "," << int(c.B);
    }
}

using OutilCarteRendu = Images;

TEST_F(OutilCarteRendu, TilesOverTheSkyBlendedByTheirAlpha)
{
    ImageRGBA image;
    const ResultatRendu r = Rendre(Niveau, image, 1.0, false);
    ASSERT_TRUE(r.Reussi) << r.Erreur;
    EXPECT_TRUE(r.ImagesManquantes.empty());
    EXPECT_EQ(image.Largeur, 4 * 64);
    EXPECT_EQ(image.Hauteur, 3 * 64);
    EXPECT_TRUE(Vaut(image, 0, 0, Terre));
    EXPECT_TRUE(Vaut(image, 255, 191, Terre));
    // An empty cell shows the sky.
    EXPECT_TRUE(Vaut(image, 64 + 5, 64 + 60, OutilCarte::CouleurCiel));
    // Water at half alpha over the sky.
    const double a = 128 / 255.0;
    const Couleur eau = {static_cast<unsigned char>(std::lround(OutilCarte::CouleurCiel.R * (1 - a))),
                         static_cast<unsigned char>(std::lround(OutilCarte::CouleurCiel.G * (1 - a))),
                         static_cast<unsigned char>(std::lround(0 * (1 - a) + 255 * a +
                                                                OutilCarte::CouleurCiel.B * (1 - a)))};
    EXPECT_TRUE(Vaut(image, 64 + 32, 128 + 32, eau, 1));
}

TEST_F(OutilCarteRendu, BonusesAtFrameZeroAndTheirCounterInTheFont)
{
    ImageRGBA image;
    ASSERT_TRUE(Rendre(Niveau, image, 1.0, false).Reussi);
    // The bonus picture: its opaque square, its transparent rest.
    EXPECT_TRUE(Vaut(image, 128 + 30, 64 + 30, Vert));
    EXPECT_TRUE(Vaut(image, 128 + 10, 64 + 10, OutilCarte::CouleurCiel));
    // "1": one 20 px glyph at map position (100, 100).
    const Couleur blanc = {255, 255, 255};
    EXPECT_TRUE(Vaut(image, 100, 100, blanc));
    EXPECT_TRUE(Vaut(image, 119, 119, blanc));
    EXPECT_TRUE(Vaut(image, 120, 110, OutilCarte::CouleurCiel));
    EXPECT_TRUE(Vaut(image, 110, 120, OutilCarte::CouleurCiel));
}

TEST_F(OutilCarteRendu, ABonusIsDrawnOverTheTileOfItsCell)
{
    // A second Map section puts earth on the bonus's cell: the game still
    // draws the bonus, over the earth.
    const std::string niveau = std::string(Niveau) + "[Map]\nbbbb\nbbbb\nbbbb\n";
    ImageRGBA image;
    ASSERT_TRUE(Rendre(niveau, image, 1.0, false).Reussi);
    EXPECT_TRUE(Vaut(image, 128 + 30, 64 + 30, Vert));
    EXPECT_TRUE(Vaut(image, 128 + 10, 64 + 10, Terre));
}

TEST_F(OutilCarteRendu, TheStartCellIsOutlinedAndBonusesMarked)
{
    ImageRGBA image;
    ASSERT_TRUE(Rendre(Niveau, image).Reussi);
    // The outline lies inside the start cell, along its edges.
    EXPECT_TRUE(Vaut(image, 64, 64 + 30, OutilCarte::CouleurDepart));
    EXPECT_TRUE(Vaut(image, 64 + 30, 127, OutilCarte::CouleurDepart));
    EXPECT_TRUE(Vaut(image, 64 + 30, 64 + 30, OutilCarte::CouleurCiel));
    // The life bonus's marker in the top-left corner of its cell.
    EXPECT_TRUE(Vaut(image, 128 + 5, 64 + 5, OutilCarte::CouleurBonusVie));

    ImageRGBA sans;
    ASSERT_TRUE(Rendre(Niveau, sans, 1.0, false).Reussi);
    EXPECT_TRUE(Vaut(sans, 64, 64 + 30, OutilCarte::CouleurCiel));
    EXPECT_TRUE(Vaut(sans, 128 + 5, 64 + 5, OutilCarte::CouleurCiel));
}

TEST_F(OutilCarteRendu, ScaleChangesTheSizeNotTheColours)
{
    ImageRGBA moitie;
    ASSERT_TRUE(Rendre(Niveau, moitie, 0.5, false).Reussi);
    EXPECT_EQ(moitie.Largeur, 128);
    EXPECT_EQ(moitie.Hauteur, 96);
    EXPECT_TRUE(Vaut(moitie, 5, 5, Terre));
    EXPECT_TRUE(Vaut(moitie, 64 + 15, 32 + 15, Vert));

    ImageRGBA double_;
    ASSERT_TRUE(Rendre(Niveau, double_, 2.0, false).Reussi);
    EXPECT_EQ(double_.Largeur, 512);
    EXPECT_EQ(double_.Hauteur, 384);
    EXPECT_TRUE(Vaut(double_, 256 + 60, 128 + 60, Vert));
    EXPECT_TRUE(Vaut(double_, 200, 200, Couleur{255, 255, 255}));
}

TEST_F(OutilCarteRendu, MissingImagesAreWhiteSquaresAsInTheGame)
{
    DossierTemporaire vide;
    OptionsRendu options;
    options.Images = vide.Chemin();
    options.Marques = false;
    ImageRGBA image;
    const ResultatRendu r = OutilCarte::Rendre(OutilCarte::Normaliser(Niveau), options, image);
    ASSERT_TRUE(r.Reussi);
    // Earth, water, the bonus and the glyph: each named once.
    ASSERT_EQ(r.ImagesManquantes.size(), 4u);
    EXPECT_EQ(r.ImagesManquantes[0], vide / "Maps/Terre.png");
    EXPECT_TRUE(Vaut(image, 10, 10, Couleur{255, 255, 255}));
    EXPECT_TRUE(Vaut(image, 128 + 10, 64 + 10, Couleur{255, 255, 255}));
}

TEST_F(OutilCarteRendu, LevelsThatCannotBeDrawn)
{
    ImageRGBA image;
    ResultatRendu r = Rendre("[Infos]\nHauteur=2\nLargeur=0\n[Map]\n", image);
    EXPECT_FALSE(r.Reussi);
    EXPECT_NE(r.Erreur.find("no cell"), std::string::npos);
    r = Rendre(Niveau, image, 0.0);
    EXPECT_FALSE(r.Reussi);
    r = Rendre(Niveau, image, 17.0);
    EXPECT_FALSE(r.Reussi);
    r = Rendre("[Infos]\nHauteur=1\nLargeur=60000\nPosDebutX=1\nPosDebutY=1\n[Map]\nb\n", image);
    EXPECT_FALSE(r.Reussi);
    EXPECT_NE(r.Erreur.find("too large"), std::string::npos) << r.Erreur;
    // The start cell outside the grid is not outlined, and nothing breaks.
    r = Rendre("[Infos]\nHauteur=1\nLargeur=1\nPosDebutX=-2147483648\nPosDebutY=9\n[Map]\nb\n", image);
    EXPECT_TRUE(r.Reussi) << r.Erreur;
}

TEST(OutilCarteRenduJeu, TheGamesOwnTilesPixelForPixel)
{
    // The images the build draws, in ./Images of the build folder.
    ImageRGBA herbe;
    ImageRGBA eau;
    if (!LirePng("Images/Maps/Herbe.png", herbe) || !LirePng("Images/Maps/Eau.png", eau))
        GTEST_SKIP() << "no ./Images here";
    const std::string niveau = "[Infos]\nHauteur=2\nLargeur=2\nPosDebutX=1\nPosDebutY=1\n[Map]\nBC\nBB\n";
    OptionsRendu options;
    options.Marques = false;
    ImageRGBA image;
    const ResultatRendu r = OutilCarte::Rendre(OutilCarte::Normaliser(niveau), options, image);
    ASSERT_TRUE(r.Reussi) << r.Erreur;
    EXPECT_TRUE(r.ImagesManquantes.empty());
    // Where a tile is opaque, the picture holds the tile's own pixels.
    int compares = 0;
    for (int y = 0; y < 64; y += 3)
        for (int x = 0; x < 64; x += 3)
        {
            const uint8_t* source = herbe.Pixel(x, y);
            if (source[3] != 255)
                continue;
            const uint8_t* rendu = image.Pixel(x, 64 + y);
            EXPECT_EQ(rendu[0], source[0]) << x << "," << y;
            EXPECT_EQ(rendu[1], source[1]) << x << "," << y;
            EXPECT_EQ(rendu[2], source[2]) << x << "," << y;
            ++compares;
        }
    EXPECT_GT(compares, 100);
    const uint8_t* source = eau.Pixel(32, 40);
    if (source[3] == 255)
    {
        EXPECT_EQ(image.Pixel(64 + 32, 40)[2], source[2]);
    }
}

TEST(OutilCarteRenduJeu, TheToolWritesThePicture)
{
    if (!OutilPresent())
        GTEST_SKIP() << "./corvella-carte is not in the working folder";
    DossierTemporaire dossier;
    const std::string sortie = dossier / "niveau.png";
    ASSERT_EQ(Lancer("render --scale 0.125 " + Guillemets(NiveauLivre()) + " " + Guillemets(sortie)), 0);
    ImageRGBA image;
    ASSERT_TRUE(LirePng(sortie, image));
    CMap niveau;
    niveau.AnalyseContenu(Lire(NiveauLivre()).Contenu);
    EXPECT_EQ(image.Largeur, niveau.Largeur * 8);
    EXPECT_EQ(image.Hauteur, niveau.Hauteur * 8);
    EXPECT_EQ(Lancer("render " + Guillemets(NiveauLivre()) + " /nonexistent/folder/x.png"), 2);
    EXPECT_EQ(Lancer("render --scale 0 " + Guillemets(NiveauLivre()) + " " + Guillemets(sortie)), 2);
    EXPECT_EQ(Lancer("render /nonexistent.map " + Guillemets(sortie)), 2);
}

TEST_F(OutilCarteRendu, AThumbnailTakesTheAskedSizeOnItsLongerSide)
{
    OptionsRendu options;
    options.Images = dossier_.Chemin();
    options.Marques = false;
    options.Vignette = 100;
    ImageRGBA image;
    ASSERT_TRUE(OutilCarte::Rendre(OutilCarte::Normaliser(Niveau), options, image).Reussi);
    EXPECT_EQ(image.Largeur, 100);
    EXPECT_EQ(image.Hauteur, 75);
    EXPECT_TRUE(Vaut(image, 3, 3, Terre));
    // A tall level: the height takes the size; any size in range, odd ones too.
    const std::string haut = "[Infos]\nHauteur=5\nLargeur=2\nPosDebutX=1\nPosDebutY=1\n[Map]\nbb\nbb\nbb\nbb\nbb\n";
    for (const int cote : {1, 7, 128, 257, OutilCarte::VignetteMax})
    {
        options.Vignette = cote;
        ASSERT_TRUE(OutilCarte::Rendre(OutilCarte::Normaliser(haut), options, image).Reussi) << cote;
        EXPECT_EQ(image.Hauteur, cote);
        EXPECT_EQ(image.Largeur, std::max(1, (2 * cote + 4) / 5)) << cote;
    }
    // One cell at the largest size: the scale stays within what render allows.
    options.Vignette = OutilCarte::VignetteMax;
    ASSERT_TRUE(OutilCarte::Rendre(OutilCarte::Normaliser("[Infos]\nHauteur=1\nLargeur=1\n[Map]\nb\n"), options,
                                   image)
                    .Reussi);
    EXPECT_EQ(image.Largeur, OutilCarte::VignetteMax);
}

TEST_F(OutilCarteRendu, ThumbnailsRefuseLevelsOverTheirBoundOfCells)
{
    double echelle = 0;
    std::string erreur;
    EXPECT_TRUE(OutilCarte::EchelleVignette(256, 256, 128, echelle, erreur));
    EXPECT_FALSE(OutilCarte::EchelleVignette(257, 256, 128, echelle, erreur));
    EXPECT_NE(erreur.find("too many"), std::string::npos) << erreur;
    EXPECT_FALSE(OutilCarte::EchelleVignette(65537, 1, 128, echelle, erreur));
    EXPECT_FALSE(OutilCarte::EchelleVignette(1, 1, 0, echelle, erreur));
    EXPECT_FALSE(OutilCarte::EchelleVignette(1, 1, OutilCarte::VignetteMax + 1, echelle, erreur));

    // Refused before any drawing (drawing it would take seconds).
    std::string grand = "[Infos]\nHauteur=2\nLargeur=40000\nPosDebutX=1\nPosDebutY=1\n[Map]\n";
    grand += std::string(40000, 'b') + "\n" + std::string(40000, 'b') + "\n";
    OptionsRendu options;
    options.Images = dossier_.Chemin();
    options.Vignette = 128;
    ImageRGBA image;
    const ResultatRendu r = OutilCarte::Rendre(OutilCarte::Normaliser(grand), options, image);
    EXPECT_FALSE(r.Reussi);
    EXPECT_NE(r.Erreur.find("40000 by 2 cells"), std::string::npos) << r.Erreur;
}

TEST(OutilCarteRenduJeu, TheToolMakesThumbnailsAndRefusesWhatItCannot)
{
    if (!OutilPresent())
        GTEST_SKIP() << "./corvella-carte is not in the working folder";
    DossierTemporaire dossier;
    const std::string sortie = dossier / "vignette.png";
    ASSERT_EQ(Lancer("render --thumbnail 256 --no-marks " + Guillemets(NiveauLivre()) + " " + Guillemets(sortie)), 0);
    ImageRGBA image;
    ASSERT_TRUE(LirePng(sortie, image));
    EXPECT_EQ(std::max(image.Largeur, image.Hauteur), 256);
    EXPECT_EQ(Lancer("render --thumbnail 256 --scale 2 " + Guillemets(NiveauLivre()) + " " + Guillemets(sortie)), 2);
    EXPECT_EQ(Lancer("render --thumbnail 0 " + Guillemets(NiveauLivre()) + " " + Guillemets(sortie)), 2);
    EXPECT_EQ(Lancer("render --thumbnail 12.5 " + Guillemets(NiveauLivre()) + " " + Guillemets(sortie)), 2);
    // A folder, and a file over the checker's size: refused, nothing written.
    const std::string autre = dossier / "autre.png";
    EXPECT_EQ(Lancer("render --thumbnail 128 " + Guillemets(dossier.Chemin()) + " " + Guillemets(autre)), 2);
    const std::string enorme = dossier / "enorme.map";
    {
        std::FILE* f = std::fopen(enorme.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("[Infos]\nHauteur=1\nLargeur=1\n[Map]\nb\n", f);
        std::fseek(f, static_cast<long>(OutilCarte::TailleFichierMax), SEEK_SET);
        std::fputc('\n', f);
        std::fclose(f);
    }
    EXPECT_EQ(Lancer("render --thumbnail 128 " + Guillemets(enorme) + " " + Guillemets(autre)), 2);
    std::FILE* f = std::fopen(autre.c_str(), "rb");
    EXPECT_EQ(f, nullptr);
    if (f != nullptr)
        std::fclose(f);
}
