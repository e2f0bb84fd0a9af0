// Images to XPM source text, and the cursor bit planes read back from it.
#include <gtest/gtest.h>

#include "aide/Aide.h"
#include "outils/Outils.h"

#include <climits>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace
{
    std::vector<std::string> Lignes(const std::string& texte)
    {
        std::vector<std::string> lignes;
        std::string ligne;
        std::istringstream flux(texte);
        while (std::getline(flux, ligne))
            lignes.push_back(ligne);
        return lignes;
    }

    // The strings of the C array, as the compiler would make them: what lies
    // between the first and the last double quote of each line that has some.
    std::vector<std::string> ChainesDuTableau(const std::string& texte)
    {
        std::vector<std::string> chaines;
        for (const std::string& ligne : Lignes(texte))
        {
            const size_t debut = ligne.find('"');
            const size_t fin = ligne.rfind('"');
            if (debut != std::string::npos && fin > debut)
                chaines.push_back(ligne.substr(debut + 1, fin - debut - 1));
        }
        return chaines;
    }

    std::vector<const char*> Pointeurs(const std::vector<std::string>& chaines)
    {
        std::vector<const char*> p;
        for (const std::string& c : chaines)
            p.push_back(c.c_str());
        return p;
    }

    const uint8_t Opaque = 255;

    // A picture from a text of 'X' (black), '.' (white) and ' ' (transparent).
    ImageRGBA ImageDepuis(const std::vector<std::string>& lignes)
    {
        ImageRGBA image(static_cast<int>(lignes[0].size()), static_cast<int>(lignes.size()));
        for (int y = 0; y < image.Hauteur; ++y)
            for (int x = 0; x < image.Largeur; ++x)
            {
                const char c = lignes[y][x];
                if (c == 'X')
                    image.Fixer(x, y, 0, 0, 0, Opaque);
                else if (c == '.')
                    image.Fixer(x, y, 255, 255, 255, Opaque);
                else
                    image.Fixer(x, y, 255, 255, 255, 0);
            }
        return image;
    }

    std::string EnTete(const std::string& nom, int largeur, int hauteur)
    {
        return "const char *" + nom + "[] =\n"
               "\t{\n"
               "\t\t/* width height num_colors chars_per_pixel */\n"
               "\t\t\" " + std::to_string(largeur) + " " + std::to_string(hauteur) + " 3 1 \",\n"
               "\t\t/* colors */\n"
               "\t\t\"X c #000000\",\n"
               "\t\t\". c #ffffff\",\n"
               "\t\t\"  c None\",\n"
               "\t\t/* pixels */\n";
    }

    const char* const Fin = "\t\t\"0,0\"\n\t};\n";

    class ExportXpm : public ::testing::Test
    {
    protected:
        DossierTemporaire dossier;

        // Writes the picture as "<nom>", exports it from inside the folder and
        // returns the text (empty when nothing was written).
        std::string Exporter(const ImageRGBA& image, const std::string& nom = "curseur.png")
        {
            CreerDossiers(std::filesystem::path(dossier / nom).parent_path().string());
            EXPECT_TRUE(EcrirePng(dossier / nom, image));
            DansDossier ici(dossier.Chemin());
            EXPECT_EQ(Outils::XPMFromImage(nom.c_str(), "sortie.c"), 0);
            return LireTexte("sortie.c");
        }
    };

    void ExpectMemesLignes(const std::string& obtenu, const std::string& attendu)
    {
        const std::vector<std::string> a = Lignes(attendu);
        const std::vector<std::string> o = Lignes(obtenu);
        ASSERT_EQ(o.size(), a.size()) << obtenu;
        for (size_t i = 0; i < a.size(); ++i)
            EXPECT_EQ(o[i], a[i]) << "line " << i + 1;
        // And nothing hidden between the lines: the same bytes.
        EXPECT_EQ(obtenu, attendu);
    }
}

TEST_F(ExportXpm, ThirteenWideImageIsPaddedToSixteenWithBlanks)
{
    const std::string texte = Exporter(ImageDepuis({"X.X  ..XX  X.", "............."}));
    ExpectMemesLignes(texte, EnTete("curseur", 16, 2) +
                                 "\t\t\"X.X  ..XX  X.   \",\n"
                                 "\t\t\".............   \",\n" + std::string(Fin));
}

TEST_F(ExportXpm, SixteenWideImageHasNoPadding)
{
    const std::string texte = Exporter(ImageDepuis({"X.X             ", "........XXXXXXXX"}));
    ExpectMemesLignes(texte, EnTete("curseur", 16, 2) +
                                 "\t\t\"X.X             \",\n"
                                 "\t\t\"........XXXXXXXX\",\n" + std::string(Fin));
}

TEST_F(ExportXpm, PixelCharacterFollowsAlphaThenBrightness)
{
    ImageRGBA image(8, 1);
    image.Fixer(0, 0, 255, 255, 255, 127); // under half alpha: blank, whatever the colour
    image.Fixer(1, 0, 127, 127, 127, 128); // visible, every channel dark: black
    image.Fixer(2, 0, 0, 0, 128, 255);     // one bright channel: white
    image.Fixer(3, 0, 128, 0, 0, 128);
    image.Fixer(4, 0, 0, 128, 0, 200);
    image.Fixer(5, 0, 0, 0, 0, 127);
    image.Fixer(6, 0, 0, 0, 0, 255);
    image.Fixer(7, 0, 127, 0, 127, 255);
    const std::vector<std::string> lignes = Lignes(Exporter(image));
    ASSERT_EQ(lignes.size(), 12u);
    EXPECT_EQ(lignes[9], "\t\t\" X... XX\",");
}

TEST_F(ExportXpm, PaletteImageWithTransparentEntryExportsTheSameWay)
{
    // Index 0 black, 1 white, 2 fully transparent.
    ASSERT_TRUE(EcrirePngPalette(dossier / "palette.png", 5, 1, {0, 1, 2, 1, 0},
                                 {{{0, 0, 0, 255}}, {{255, 255, 255, 255}}, {{40, 200, 40, 0}}}));
    DansDossier ici(dossier.Chemin());
    ASSERT_EQ(Outils::XPMFromImage("palette.png", "sortie.c"), 0);
    const std::vector<std::string> lignes = Lignes(LireTexte("sortie.c"));
    ASSERT_EQ(lignes.size(), 12u);
    EXPECT_EQ(lignes[3], "\t\t\" 8 1 3 1 \",");
    EXPECT_EQ(lignes[9], "\t\t\"X. .X   \",");
}

TEST_F(ExportXpm, ArrayNameIsTheImageArgumentCutAtItsFirstDot)
{
    const ImageRGBA image = ImageUnie(1, 1, 0, 0, 0);
    EXPECT_EQ(Lignes(Exporter(image, "images.v2/curseur.png"))[0], "const char *images[] =");
    EXPECT_EQ(Lignes(Exporter(image, "sans/point"))[0], "const char *sans/point[] =");
    // A path that starts with a dot leaves an empty name.
    EXPECT_EQ(Lignes(Exporter(image, "./curseur.png"))[0], "const char *[] =");
}

TEST_F(ExportXpm, MissingImageFailsAndWritesNoFile)
{
    DansDossier ici(dossier.Chemin());
    EXPECT_EQ(Outils::XPMFromImage("absente.png", "sortie.c"), -1);
    EXPECT_FALSE(std::filesystem::exists("sortie.c"));
    // Not an image at all.
    EcrireFichier("texte.png", "pas une image");
    EXPECT_EQ(Outils::XPMFromImage("texte.png", "sortie.c"), -1);
    EXPECT_FALSE(std::filesystem::exists("sortie.c"));
    EXPECT_EQ(Outils::XPMFromImage(nullptr, "sortie.c"), -1);
    EXPECT_FALSE(std::filesystem::exists("sortie.c"));
}

TEST_F(ExportXpm, OutputThatCannotBeOpenedFailsAndWritesNothing)
{
    ASSERT_TRUE(EcrirePng(dossier / "image.png", ImageUnie(3, 3, 0, 0, 0)));
    DansDossier ici(dossier.Chemin());
    EXPECT_EQ(Outils::XPMFromImage("image.png", "pas/de/dossier/sortie.c"), -1);
    EXPECT_FALSE(std::filesystem::exists("pas"));
    // A folder is no file to write to.
    CreerDossiers("un_dossier");
    EXPECT_EQ(Outils::XPMFromImage("image.png", "un_dossier"), -1);
    EXPECT_TRUE(std::filesystem::is_directory("un_dossier"));
    EXPECT_EQ(Outils::XPMFromImage("image.png", nullptr), -1);
}

TEST_F(ExportXpm, OutputThatCannotBeWrittenFails)
{
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full on this machine";
    ASSERT_TRUE(EcrirePng(dossier / "image.png", ImageUnie(3, 3, 0, 0, 0)));
    DansDossier ici(dossier.Chemin());
    EXPECT_EQ(Outils::XPMFromImage("image.png", "/dev/full"), -1);
}

TEST(LargeurXpm, RoundsUpToTheNextMultipleOfEight)
{
    EXPECT_EQ(Outils::xpmPaddedWidth(0), 0);
    EXPECT_EQ(Outils::xpmPaddedWidth(1), 8);
    EXPECT_EQ(Outils::xpmPaddedWidth(8), 8);
    EXPECT_EQ(Outils::xpmPaddedWidth(13), 16);
    EXPECT_EQ(Outils::xpmPaddedWidth(16), 16);
    EXPECT_EQ(Outils::xpmPaddedWidth(17), 24);
    EXPECT_EQ(Outils::xpmPaddedWidth(INT_MAX - 7), INT_MAX - 7);
    EXPECT_EQ(Outils::xpmPaddedWidth(INT_MAX - 7 - 6), INT_MAX - 7);
    EXPECT_EQ(Outils::xpmPaddedWidth(INT_MAX), -1);
    EXPECT_EQ(Outils::xpmPaddedWidth(-1), -1);
    EXPECT_EQ(Outils::xpmPaddedWidth(INT_MIN), -1);
}

// ---------------------------------------------------------------------------
// Cursor bit planes

TEST_F(ExportXpm, WrittenSixteenByTwoTextGivesTheCursorPlanes)
{
    const std::vector<std::string> chaines =
        ChainesDuTableau(Exporter(ImageDepuis({"X.X             ", "........XXXXXXXX"})));
    ASSERT_EQ(chaines.size(), 7u); // header, 3 colours, 2 rows, hot spot
    std::vector<const char*> xpm = Pointeurs(chaines);

    Outils::PlansCurseur plans;
    ASSERT_TRUE(Outils::cursorPlanesFromXPM(xpm.data(), plans));
    EXPECT_EQ(plans.Largeur, 16);
    EXPECT_EQ(plans.Hauteur, 2);
    EXPECT_EQ(plans.PointX, 0);
    EXPECT_EQ(plans.PointY, 0);
    EXPECT_EQ(plans.Donnees, (std::vector<Uint8>{0xA0, 0x00, 0x00, 0xFF}));
    EXPECT_EQ(plans.Masque, (std::vector<Uint8>{0xE0, 0x00, 0xFF, 0xFF}));
}

TEST_F(ExportXpm, WrittenThirteenWideTextGivesPlanesOfTheRoundedWidth)
{
    const std::vector<std::string> chaines =
        ChainesDuTableau(Exporter(ImageDepuis({"XXXXXXXXX.X.X"})));
    std::vector<const char*> xpm = Pointeurs(chaines);
    Outils::PlansCurseur plans;
    ASSERT_TRUE(Outils::cursorPlanesFromXPM(xpm.data(), plans));
    EXPECT_EQ(plans.Largeur, 16);
    EXPECT_EQ(plans.Donnees, (std::vector<Uint8>{0xFF, 0xA8}));
    EXPECT_EQ(plans.Masque, (std::vector<Uint8>{0xFF, 0xF8}));
}

namespace
{
    // Runs the reader on a hand-made array; on failure the planes must be left
    // as they were.
    bool Lire(std::vector<const char*> xpm, Outils::PlansCurseur& plans)
    {
        plans.Largeur = 77;
        plans.Donnees.assign(3, 0x5A);
        const bool ok = Outils::cursorPlanesFromXPM(xpm.data(), plans);
        if (!ok)
        {
            EXPECT_EQ(plans.Largeur, 77);
            EXPECT_EQ(plans.Donnees, (std::vector<Uint8>{0x5A, 0x5A, 0x5A}));
        }
        return ok;
    }

    bool Lire(std::vector<const char*> xpm)
    {
        Outils::PlansCurseur plans;
        return Lire(std::move(xpm), plans);
    }

    const char* const C1 = "X c #000000";
    const char* const C2 = ". c #ffffff";
    const char* const C3 = "  c None";
}

TEST(PlansCurseur, WidthNotAMultipleOfEightIsPaddedWithTransparentColumns)
{
    Outils::PlansCurseur plans;
    ASSERT_TRUE(Lire({" 3 2 3 1 ", C1, C2, C3, "X.X", ".X.", "2,1"}, plans));
    EXPECT_EQ(plans.Largeur, 8);
    EXPECT_EQ(plans.Hauteur, 2);
    EXPECT_EQ(plans.PointX, 2);
    EXPECT_EQ(plans.PointY, 1);
    EXPECT_EQ(plans.Donnees, (std::vector<Uint8>{0xA0, 0x40}));
    EXPECT_EQ(plans.Masque, (std::vector<Uint8>{0xE0, 0xE0}));
    // The hot spot may sit in a padding column: it is inside the cursor.
    EXPECT_TRUE(Lire({" 3 2 3 1 ", C1, C2, C3, "X.X", ".X.", "7,1"}));
}

TEST(PlansCurseur, OnlyXAndDotMarkPixelsAndLongerRowsAreCut)
{
    Outils::PlansCurseur plans;
    ASSERT_TRUE(Lire({"8 1", C1, C2, C3, "Xo#.x -.XXXX", "0,0"}, plans));
    EXPECT_EQ(plans.Donnees, (std::vector<Uint8>{0x80}));
    EXPECT_EQ(plans.Masque, (std::vector<Uint8>{0x91}));
}

TEST(PlansCurseur, MalformedOrImpossibleHeadersAreRefused)
{
    EXPECT_FALSE(Lire({"", C1, C2, C3, "X", "0,0"}));
    EXPECT_FALSE(Lire({"huit un", C1, C2, C3, "X", "0,0"}));
    EXPECT_FALSE(Lire({"8", C1, C2, C3, "XXXXXXXX", "0,0"}));
    EXPECT_FALSE(Lire({"0 1", C1, C2, C3, "", "0,0"}));
    EXPECT_FALSE(Lire({"8 0", C1, C2, C3, "0,0"}));
    EXPECT_FALSE(Lire({"-8 1", C1, C2, C3, "XXXXXXXX", "0,0"}));
    EXPECT_FALSE(Lire({"8 -1", C1, C2, C3, "0,0"}));
    // Too large for an int, and too large to round to a multiple of 8.
    EXPECT_FALSE(Lire({"99999999999 1", C1, C2, C3, "X", "0,0"}));
    EXPECT_FALSE(Lire({"2147483647 1", C1, C2, C3, "X", "0,0"}));
    // A huge width: the row is scanned only up to its end, nothing allocated.
    EXPECT_FALSE(Lire({"2147483640 1", C1, C2, C3, "XXXX", "0,0"}));
    Outils::PlansCurseur plans;
    EXPECT_FALSE(Outils::cursorPlanesFromXPM(nullptr, plans));
}

TEST(PlansCurseur, ShortRowsAndNullStringsAreRefused)
{
    EXPECT_FALSE(Lire({"8 2", C1, C2, C3, "XXXXXXXX", "XXX", "0,0"}));
    EXPECT_FALSE(Lire({"8 2", C1, C2, C3, "XXXXXXXX", "", "0,0"}));
    // A null string ends the array: rows or the hot spot are missing.
    EXPECT_FALSE(Lire({"8 2", C1, C2, C3, "XXXXXXXX", nullptr}));
    EXPECT_FALSE(Lire({"8 1", C1, C2, C3, "XXXXXXXX", nullptr}));
    EXPECT_FALSE(Lire({"8 1", C1, nullptr}));
    EXPECT_FALSE(Lire({nullptr}));
}

TEST(PlansCurseur, HotSpotMustBeReadableAndInsideTheCursor)
{
    EXPECT_TRUE(Lire({"8 2", C1, C2, C3, "........", "........", "7,1"}));
    EXPECT_TRUE(Lire({"8 2", C1, C2, C3, "........", "........", " 3, 1"}));
    EXPECT_FALSE(Lire({"8 2", C1, C2, C3, "........", "........", "8,0"}));
    EXPECT_FALSE(Lire({"8 2", C1, C2, C3, "........", "........", "0,2"}));
    EXPECT_FALSE(Lire({"8 2", C1, C2, C3, "........", "........", "-1,0"}));
    EXPECT_FALSE(Lire({"8 2", C1, C2, C3, "........", "........", "0 0"}));
    EXPECT_FALSE(Lire({"8 2", C1, C2, C3, "........", "........", "x,y"}));
    EXPECT_FALSE(Lire({"8 2", C1, C2, C3, "........", "........", "3,"}));
    EXPECT_FALSE(Lire({"8 2", C1, C2, C3, "........", "........", ""}));
}

// ---------------------------------------------------------------------------
// Full-screen mode choice

TEST(ModePleinEcran, FirstListedModeOnlyFromARealList)
{
    EXPECT_EQ(Outils::firstListedMode(nullptr), nullptr);
    EXPECT_EQ(Outils::firstListedMode(reinterpret_cast<SDL_Rect**>(static_cast<intptr_t>(-1))),
              nullptr);
    SDL_Rect* vide[] = {nullptr};
    EXPECT_EQ(Outils::firstListedMode(vide), nullptr);
    SDL_Rect grand = {0, 0, 1920, 1080};
    SDL_Rect petit = {0, 0, 640, 480};
    SDL_Rect* liste[] = {&grand, &petit, nullptr};
    EXPECT_EQ(Outils::firstListedMode(liste), &grand);
}

TEST(ModePleinEcran, WithoutModesNothingIsSetAndOutputsAreLeftAlone)
{
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0)
        GTEST_SKIP() << "video already started in this program: SDL would list modes";
    unsigned int largeur = 1234;
    unsigned int hauteur = 567;
    EXPECT_EQ(Outils::initFullScreen(&largeur, &hauteur), 0);
    EXPECT_EQ(largeur, 1234u);
    EXPECT_EQ(hauteur, 567u);
    EXPECT_EQ(SDL_GetVideoSurface(), nullptr);
    EXPECT_EQ(Outils::initFullScreen(nullptr, nullptr), 0);
}
