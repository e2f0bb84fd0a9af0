// The level drawn in a real window: every tile image on its code, tiles at their
// map position under the camera, the translation left for the character, the
// bonus animation frame and the count of bonuses left, read back by pixel.
#include <gtest/gtest.h>

#include "aide/Aide.h"
#include "main/Globales.h"
#include "outils/Horloge.h"
#include "outils/Outils.h"

#include <SDL_opengl.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{
    // The tile images in the order the game registers them, with their codes.
    struct Tuile
    {
        const char* Fichier;
        int Code;
    };
    const Tuile TuilesAttendues[] = {
        {"Herbe.png", 2},
        {"Eau.png", 3},
        {"Mur.png", 4},
        {"Debut de pente droite.png", 5},
        {"Sable - Vers vide a gauche.png", 33},
        {"Debut de pente gauche.png", 7},
        {"Sommet de cote droite.png", 8},
        {"Sommet de cote gauche.png", 9},
        {"Terre.png", 10},
        {"Herbe vers le vide a droite.png", 11},
        {"Transition cote droite.png", 12},
        {"Herbe vers le vide a gauche.png", 13},
        {"Transition cote gauche.png", 14},
        {"Transition mur-eau droite.png", 15},
        {"Mur droite.png", 16},
        {"Transition mur-eau gauche.png", 17},
        {"Mur gauche.png", 18},
        {"Transition mur-herbe droite.png", 19},
        {"Transition mur-herbe gauche.png", 20},
        {"Pente droite.png", 21},
        {"Transition mur-terre bas droite.png", 22},
        {"Pente gauche.png", 23},
        {"Transition mur-terre  bas gauche.png", 24},
        {"Sable - Interieur.png", 25},
        {"Transition mur-terre droite.png", 26},
        {"Sable - Mur droite.png", 27},
        {"Transition mur-terre gauche.png", 28},
        {"Sable - Mur gauche.png", 29},
        {"Transition mur-terre haut droite.png", 30},
        {"Sable - Sol.png", 31},
        {"Transition mur-terre haut gauche.png", 32},
        {"Sable - Vers vide a droite.png", 6},
    };
    const char* const NomsBonus[8] = {"vie25", "vie50", "vie75", "vie100",
                                      "mana25", "mana50", "mana75", "mana100"};

    // One colour for every image, none shared: tiles have blue 40, bonus frames
    // blue 200, glyphs blue 120.
    Rgba CouleurTuile(int code) { return Rgba{code * 7, 255 - code * 5, 40, 255}; }
    Rgba CouleurBonus(int type, int frame) { return Rgba{type * 28, frame * 22, 200, 255}; }
    Rgba CouleurChiffre(int chiffre) { return Rgba{chiffre * 25, 250 - chiffre * 20, 120, 255}; }

    void Image(const std::string& chemin, const Rgba& c)
    {
        CreerDossiers(chemin.substr(0, chemin.rfind('/')));
        ASSERT_TRUE(EcrirePng(chemin, ImageUnie(8, 8, static_cast<uint8_t>(c.r), static_cast<uint8_t>(c.g),
                                                static_cast<uint8_t>(c.b))));
    }

    ::testing::AssertionResult Proche(const Rgba& lu, const Rgba& attendu)
    {
        if (std::abs(lu.r - attendu.r) <= 2 && std::abs(lu.g - attendu.g) <= 2 &&
            std::abs(lu.b - attendu.b) <= 2)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "read (" << lu.r << "," << lu.g << "," << lu.b
                                             << "), expected (" << attendu.r << "," << attendu.g
                                             << "," << attendu.b << ")";
    }

    const Rgba Noir{0, 0, 0, 255};

    class RenduCarte : public ::testing::Test
    {
    protected:
        DossierTemporaire dossier_;
        std::vector<CMoteur::CTexte> fontes_;

        void SetUp() override
        {
            ASSERT_TRUE(OuvrirFenetre()) << "a display is needed (run under xvfb-run)";
            Horloge::FixerTemps(100000);
            Moteur.FonduActif = false;
            for (const Tuile& t : TuilesAttendues)
                Image(dossier_ / (std::string("Images/Maps/") + t.Fichier), CouleurTuile(t.Code));
            for (int type = 1; type <= 8; ++type)
                for (int n = 1; n <= 10; ++n)
                    Image(dossier_ / ("Images/Bonus/" + std::string(NomsBonus[type - 1]) + "p" +
                                      std::to_string(n) + ".png"),
                          CouleurBonus(type, n));
            {
                DansDossier ici(dossier_.Chemin());
                Map = CMap();
                Map.LoadTextures();
            }
            // Font 0 of the engine becomes one whose digits are solid colours
            // and whose other glyphs are plain quads; the real fonts come back
            // at the end.
            CMoteur::CTexte chiffres;
            for (GLuint& lettre : chiffres.Lettres)
                lettre = 0;
            for (int d = 0; d <= 9; ++d)
            {
                const std::string chemin = dossier_ / ("chiffres/" + std::to_string(d) + ".png");
                Image(chemin, CouleurChiffre(d));
                chiffres.Lettres[27 + d] =
                    static_cast<GLuint>(Outils::loadTexture(chemin.c_str(), nullptr, nullptr, true));
            }
            fontes_.push_back(chiffres);
            Moteur.Fontes.swap(fontes_);
            Effacer(0, 0, 0);
        }

        void TearDown() override
        {
            Moteur.Fontes.swap(fontes_);
            Map = CMap();
            glMatrixMode(GL_MODELVIEW);
            glLoadIdentity();
            Horloge::TempsReel();
        }

        // A level of `rangees` (all of one length) in the global Map.
        static void Niveau(const std::vector<std::string>& rangees)
        {
            std::string texte = "[Infos]\nHauteur=" + std::to_string(rangees.size()) +
                                "\nLargeur=" + std::to_string(rangees[0].size()) + "\n[Map]\n";
            for (const std::string& r : rangees)
                texte += r + "\n";
            Map.AnalyseContenu(texte);
        }

        // Screen pixel of the map pixel (x, y) under the current model-view matrix.
        static Rgba PixelCarte(int x, int y)
        {
            GLdouble m[16];
            glGetDoublev(GL_MODELVIEW_MATRIX, m);
            return LirePixel(x + static_cast<int>(m[12]), y + static_cast<int>(m[13]));
        }
    };
}

TEST_F(RenduCarte, EveryTileCodeShowsItsOwnImage)
{
    // 8 columns by 5 rows: the view is pushed to (288, 344) and the four first
    // rows, codes 2 to 33, are all on screen.
    Niveau({"BCDEdSsb", "VTvtWMwm", "OoPRprAH", "IhiXaxe ", "        "});
    Map.Cases[7][3] = 4; // the plain wall has no character of its own
    Map.RenderMap(0, 0);
    const int codes[4][8] = {{2, 3, 5, 6, 7, 8, 9, 10},
                             {11, 12, 13, 14, 15, 16, 17, 18},
                             {19, 20, 21, 22, 23, 24, 25, 26},
                             {27, 28, 29, 30, 31, 32, 33, 4}};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 8; ++c)
        {
            EXPECT_TRUE(Proche(LirePixel(288 + 64 * c + 32, 344 + 64 * r + 32),
                               CouleurTuile(codes[r][c])))
                << "column " << c << " row " << r;
            // Corners too: each image fills its whole 64 x 64 square.
            EXPECT_TRUE(Proche(LirePixel(288 + 64 * c + 1, 344 + 64 * r + 1), CouleurTuile(codes[r][c])));
            EXPECT_TRUE(Proche(LirePixel(288 + 64 * c + 62, 344 + 64 * r + 62), CouleurTuile(codes[r][c])));
        }
    // Left of the map nothing is drawn.
    EXPECT_TRUE(Proche(LirePixel(287, 400), Noir));
    EXPECT_TRUE(Proche(LirePixel(100, 344 + 10), Noir));
}

TEST_F(RenduCarte, EmptyAndUnsetCellsDrawNothing)
{
    Niveau({"B 0B0 "});
    Map.Cases[5][0] = 0;
    // One row of 6 columns is placed at (416, 600), below the view: a
    // translation set beforehand brings it to (0, 300).
    glLoadIdentity();
    glTranslated(-416, -300, 0);
    Map.RenderMap(0, 0);
    EXPECT_TRUE(Proche(LirePixel(32, 332), CouleurTuile(2)));
    EXPECT_TRUE(Proche(LirePixel(64 + 32, 332), Noir));
    EXPECT_TRUE(Proche(LirePixel(128 + 32, 332), Noir));
    EXPECT_TRUE(Proche(LirePixel(192 + 32, 332), CouleurTuile(2)));
    EXPECT_TRUE(Proche(LirePixel(256 + 32, 332), Noir));
    EXPECT_TRUE(Proche(LirePixel(320 + 32, 332), Noir));
}

TEST_F(RenduCarte, ATileAppearsAtItsMapPositionUnderTheCamera)
{
    // 30 columns by 12 rows followed to (1900, 1000): offset (-1120, -104).
    std::vector<std::string> rangees(12, std::string(30, ' '));
    rangees[5][20] = 'B';
    rangees[10][29] = 'C'; // last column, row 10: its bottom edge is the view's
    rangees[11][29] = 'b'; // row 11: just below the view
    Niveau(rangees);
    Map.RenderMap(1900, 1000);
    // Column 20, row 5 covers map x 1280..1343, y 320..383: screen 160..223, 216..279.
    EXPECT_TRUE(Proche(LirePixel(161, 217), CouleurTuile(2)));
    EXPECT_TRUE(Proche(LirePixel(222, 278), CouleurTuile(2)));
    EXPECT_TRUE(Proche(LirePixel(158, 250), Noir));
    EXPECT_TRUE(Proche(LirePixel(225, 250), Noir));
    EXPECT_TRUE(Proche(LirePixel(190, 214), Noir));
    EXPECT_TRUE(Proche(LirePixel(190, 281), Noir));
    // The water of the last column fills the bottom-right corner of the view.
    EXPECT_TRUE(Proche(LirePixel(799, 599), CouleurTuile(3)));
    EXPECT_TRUE(Proche(LirePixel(736, 536), CouleurTuile(3)));
    EXPECT_TRUE(Proche(LirePixel(735, 560), Noir));
}

TEST_F(RenduCarte, TheCameraTranslationStaysForWhatIsDrawnNext)
{
    std::vector<std::string> rangees(12, std::string(30, ' '));
    Niveau(rangees);
    glLoadIdentity();
    Map.RenderMap(1900, 1000);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    GLdouble m[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, m);
    EXPECT_DOUBLE_EQ(m[12], -1120.0);
    EXPECT_DOUBLE_EQ(m[13], -104.0);
    EXPECT_DOUBLE_EQ(m[0], 1.0);
    EXPECT_DOUBLE_EQ(m[5], 1.0);
    // A sprite drawn afterwards at a map position lands where the map is.
    Moteur.AfficheTexture(Map.ImgCases[10], 1280, 384, 64, 64, 255, 255, 255, false, 255);
    EXPECT_TRUE(Proche(LirePixel(160 + 32, 280 + 32), CouleurTuile(10)));
    EXPECT_TRUE(Proche(PixelCarte(1280 + 5, 384 + 5), CouleurTuile(10)));
}

TEST_F(RenduCarte, TheTranslationIsAddedToTheMatrixInPlace)
{
    std::vector<std::string> rangees(12, std::string(14, ' '));
    rangees[0][0] = 'B';
    Niveau(rangees);
    glLoadIdentity();
    glTranslated(30, 40, 0);
    Map.RenderMap(400 + 64, 300 + 64); // offset (-64, -64)
    GLdouble m[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, m);
    EXPECT_DOUBLE_EQ(m[12], 30.0 - 64.0);
    EXPECT_DOUBLE_EQ(m[13], 40.0 - 64.0);
    // The grass of (0, 0) now lies from screen (-34, -24) to (29, 39).
    EXPECT_TRUE(Proche(LirePixel(0, 0), CouleurTuile(2)));
    EXPECT_TRUE(Proche(LirePixel(29, 39), CouleurTuile(2)));
    EXPECT_TRUE(Proche(LirePixel(31, 20), Noir));
}

TEST_F(RenduCarte, AllBonusesShowTheSameFrameOfTheClock)
{
    Niveau({"12345678", "BBBBBBBB", "        ", "        ", "        "});
    for (Uint32 temps : {12345u, 12300u, 12399u})
    {
        Horloge::FixerTemps(temps);
        Effacer(0, 0, 0);
        glLoadIdentity();
        Map.RenderMap(0, 0);
        for (int type = 1; type <= 8; ++type)
            EXPECT_TRUE(Proche(LirePixel(288 + 64 * (type - 1) + 32, 344 + 32), CouleurBonus(type, 4)))
                << "type " << type << " at " << temps; // frame 3 is the file p4.png
    }
    Horloge::FixerTemps(12400);
    Effacer(0, 0, 0);
    glLoadIdentity();
    Map.RenderMap(0, 0);
    EXPECT_TRUE(Proche(LirePixel(288 + 32, 344 + 32), CouleurBonus(1, 5)));
    Horloge::FixerTemps(13000);
    Effacer(0, 0, 0);
    glLoadIdentity();
    Map.RenderMap(0, 0);
    EXPECT_TRUE(Proche(LirePixel(288 + 64 * 7 + 32, 344 + 32), CouleurBonus(8, 1)));
    Horloge::FixerTemps(12999);
    Effacer(0, 0, 0);
    glLoadIdentity();
    Map.RenderMap(0, 0);
    EXPECT_TRUE(Proche(LirePixel(288 + 64 * 7 + 32, 344 + 32), CouleurBonus(8, 10)));
}

TEST_F(RenduCarte, BonusesAreDrawnOverTilesAndVanishOnceTaken)
{
    Niveau({"B 7 ", "    "});
    Map.AddBonus(0, 0, 2); // on the grass
    Horloge::FixerTemps(5050); // frame 0
    Map.RenderMap(0, 0);   // 4 columns, 2 rows: offset (544, 536)
    EXPECT_TRUE(Proche(LirePixel(544 + 32, 536 + 32), CouleurBonus(2, 1)));
    EXPECT_TRUE(Proche(LirePixel(544 + 128 + 32, 536 + 32), CouleurBonus(7, 1)));

    EXPECT_EQ(Map.ReturnBonus(130, 10), 7);
    Effacer(0, 0, 0);
    glLoadIdentity();
    Map.RenderMap(0, 0);
    EXPECT_TRUE(Proche(LirePixel(544 + 128 + 32, 536 + 32), Noir));
    EXPECT_EQ(Map.ReturnBonus(0, 0), 2);
    Effacer(0, 0, 0);
    glLoadIdentity();
    Map.RenderMap(0, 0);
    EXPECT_TRUE(Proche(LirePixel(544 + 32, 536 + 32), CouleurTuile(2)));
}

TEST_F(RenduCarte, BonusesOfNoKnownTypeAreNotDrawn)
{
    Niveau({"    ", "    "});
    Map.AddBonus(0, 0, 0);
    Map.AddBonus(1, 0, 9);
    Map.AddBonus(2, 0, -3);
    Map.AddBonus(3, 0, 1);
    Map.AddBonus(40000000, 40000000, 1); // 64 x that is beyond an int
    Map.RenderMap(0, 0);
    EXPECT_TRUE(Proche(LirePixel(544 + 32, 536 + 32), Noir));
    EXPECT_TRUE(Proche(LirePixel(544 + 96, 536 + 32), Noir));
    EXPECT_TRUE(Proche(LirePixel(544 + 160, 536 + 32), Noir));
    EXPECT_TRUE(Proche(LirePixel(544 + 224, 536 + 32), CouleurBonus(1, 1)));
}

TEST_F(RenduCarte, TheCounterShowsTheBonusesLeftAtMapPosition100By100)
{
    std::vector<std::string> rangees(12, std::string(14, ' '));
    rangees[9] = "1234567812345 ";
    Niveau(rangees);
    ASSERT_EQ(Map.ListeBonus.size(), 13u);
    Map.RenderMap(0, 0); // offset (0, 0): glyphs of 20 px from (100, 100)
    EXPECT_TRUE(Proche(LirePixel(110, 110), CouleurChiffre(1)));
    EXPECT_TRUE(Proche(LirePixel(130, 110), CouleurChiffre(3)));
    EXPECT_TRUE(Proche(LirePixel(101, 101), CouleurChiffre(1)));
    EXPECT_TRUE(Proche(LirePixel(139, 119), CouleurChiffre(3)));
    EXPECT_TRUE(Proche(LirePixel(141, 110), Noir));
    EXPECT_TRUE(Proche(LirePixel(110, 98), Noir));

    // It scrolls with the map: followed to (464, 364), it sits at (36, 36).
    for (int i = 0; i < 4; ++i)
        Map.ReturnBonus(64 * i, 64 * 9);
    Effacer(0, 0, 0);
    glLoadIdentity();
    Map.RenderMap(464, 364);
    EXPECT_TRUE(Proche(LirePixel(46, 46), CouleurChiffre(9)));
    EXPECT_TRUE(Proche(LirePixel(66, 46), Noir));

    while (!Map.ListeBonus.empty())
        Map.ReturnBonus(64 * Map.ListeBonus.front().CaseX, 64 * Map.ListeBonus.front().CaseY);
    Effacer(0, 0, 0);
    glLoadIdentity();
    Map.RenderMap(0, 0);
    EXPECT_TRUE(Proche(LirePixel(110, 110), CouleurChiffre(0)));
}

TEST_F(RenduCarte, DimensionsLargerThanTheGridDrawOnlyTheGrid)
{
    Niveau({"BB", "bb"});
    Map.AnalyseContenu("[Infos]\nLargeur=13\nHauteur=11\n"); // no "Map" follows
    Map.RenderMap(0, 0);
    EXPECT_TRUE(Proche(LirePixel(32, 32), CouleurTuile(2)));
    EXPECT_TRUE(Proche(LirePixel(96, 96), CouleurTuile(10)));
    EXPECT_TRUE(Proche(LirePixel(160, 32), Noir));
    EXPECT_TRUE(Proche(LirePixel(32, 160), Noir));
    // And dimensions smaller than the grid draw only what they cover. A 1 x 1
    // level is placed at (736, 600); brought to (0, 100) beforehand.
    Map.AnalyseContenu("[Infos]\nLargeur=1\nHauteur=1\n");
    Effacer(0, 0, 0);
    glTranslated(-736, -500, 0);
    Map.RenderMap(0, 0);
    EXPECT_TRUE(Proche(LirePixel(32, 132), CouleurTuile(2)));
    EXPECT_TRUE(Proche(LirePixel(96, 132), Noir));
    EXPECT_TRUE(Proche(LirePixel(32, 196), Noir));
}
