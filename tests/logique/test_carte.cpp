// The level without a window: cutting text, reading map files, the guards on
// unsafe files, the tile queries, the bonuses and the camera arithmetic.
#include <gtest/gtest.h>

#include "aide/Aide.h"
#include "main/Globales.h"
#include "outils/Horloge.h"

#include <climits>
#include <string>
#include <tuple>
#include <vector>

namespace
{
    using Bonus = std::tuple<int, int, int>; // column, row, type

    std::vector<Bonus> Bonus_(const CMap& carte)
    {
        std::vector<Bonus> liste;
        for (const CMap::CBonus& b : carte.ListeBonus)
            liste.emplace_back(b.CaseX, b.CaseY, b.Type);
        return liste;
    }

    // Codes of one row, columns 0 to Cases.size() - 1.
    std::vector<int> Rangee(const CMap& carte, int ligne)
    {
        std::vector<int> codes;
        for (size_t c = 0; c < carte.Cases.size(); ++c)
            codes.push_back(carte.CodeCase(static_cast<int>(c), ligne));
        return codes;
    }

    // Writes `contenu` as ./Data/Maps/<nom> in a fresh folder and loads it into
    // a fresh global level from there. Returns LoadMap's result.
    int ChargerFichier(const std::string& contenu, const std::string& nom = "essai.map")
    {
        DossierTemporaire dossier;
        EcrireFichier(dossier / ("Data/Maps/" + nom), contenu);
        DansDossier ici(dossier.Chemin());
        Map = CMap();
        return Map.LoadMap(nom.c_str());
    }

    const char* const Exemple =
        "level one\n"
        "[Infos]\n"
        "Hauteur=5\n"
        "Largeur=8\n"
        "PosDebutX=2\n"
        "PosDebutY=3\n"
        "[Map]\n"
        "m      M\n"
        "m      M\n"
        "m 1  5 M\n"
        "\n"
        "BBBSCCsB\n"
        "bbbbbbbb\n";

    // A grid of `rangees` (all the same length), loaded into `carte`.
    void Grille(CMap& carte, const std::vector<std::string>& rangees)
    {
        std::string texte = "[Infos]\nHauteur=" + std::to_string(rangees.size()) +
                            "\nLargeur=" + std::to_string(rangees.empty() ? 0 : rangees[0].size()) +
                            "\n[Map]\n";
        for (const std::string& r : rangees)
            texte += r + "\n";
        carte.AnalyseContenu(texte);
    }

    class CarteGlobale : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            Horloge::FixerTemps(50000);
            Map = CMap();
            Personnages.clear();
        }
        void TearDown() override
        {
            Map = CMap();
            Personnages.clear();
            Horloge::TempsReel();
        }
    };
}

// ---------------------------------------------------------------- Split

TEST(CarteSplit, EmptyTextGivesOneEmptyPiece)
{
    for (char separateur : {'[', '\n', '=', '\0'})
    {
        std::vector<std::string> pieces;
        EXPECT_EQ(Split(&pieces, "", separateur), 1);
        EXPECT_EQ(pieces, std::vector<std::string>{""});
    }
}

TEST(CarteSplit, SeparatorsAtTheEndsAndDoubledGiveEmptyPieces)
{
    std::vector<std::string> pieces;
    EXPECT_EQ(Split(&pieces, "a[b[", '['), 3);
    EXPECT_EQ(pieces, (std::vector<std::string>{"a", "b", ""}));

    std::vector<std::string> autres;
    EXPECT_EQ(Split(&autres, "[x", '['), 2);
    EXPECT_EQ(autres, (std::vector<std::string>{"", "x"}));

    std::vector<std::string> doubles;
    EXPECT_EQ(Split(&doubles, "a==b", '='), 3);
    EXPECT_EQ(doubles, (std::vector<std::string>{"a", "", "b"}));
}

TEST(CarteSplit, AListInUseKeepsOnlyItsFirstPieceAndGrowsFromIt)
{
    std::vector<std::string> pieces = {"debut", "x", "y"};
    EXPECT_EQ(Split(&pieces, "1,2", ','), 2);
    EXPECT_EQ(pieces, (std::vector<std::string>{"debut1", "2"}));
}

TEST(CarteSplit, NoListOnlyCounts)
{
    EXPECT_EQ(Split(nullptr, "a]b]c", ']'), 3);
    EXPECT_EQ(Split(nullptr, "", ']'), 1);
}

TEST(CarteSplit, NulBytesAreOrdinaryCharacters)
{
    std::vector<std::string> pieces;
    EXPECT_EQ(Split(&pieces, std::string("a\0b[c", 5), '['), 2);
    EXPECT_EQ(pieces[0], std::string("a\0b", 3));
}

// ---------------------------------------------------------------- numbers

TEST(CarteNombres, ReadLikeTheCLibraryWithinIntRange)
{
    EXPECT_EQ(LireEntier("12"), 12);
    EXPECT_EQ(LireEntier(" 12abc"), 12);
    EXPECT_EQ(LireEntier("\t\n\v\f\r 7"), 7);
    EXPECT_EQ(LireEntier("-42x"), -42);
    EXPECT_EQ(LireEntier("+8"), 8);
    EXPECT_EQ(LireEntier("- 5"), 0);
    EXPECT_EQ(LireEntier("+-5"), 0);
    EXPECT_EQ(LireEntier("abc"), 0);
    EXPECT_EQ(LireEntier(""), 0);
    EXPECT_EQ(LireEntier("007"), 7);
    EXPECT_EQ(LireEntier("2147483647"), INT_MAX);
    EXPECT_EQ(LireEntier("-2147483648"), INT_MIN);
}

TEST(CarteNombres, NumbersBeyondIntSaturate)
{
    EXPECT_EQ(LireEntier("2147483648"), INT_MAX);
    EXPECT_EQ(LireEntier("-2147483649"), INT_MIN);
    EXPECT_EQ(LireEntier("99999999999999999999999999"), INT_MAX);
    EXPECT_EQ(LireEntier("-99999999999999999999999999"), INT_MIN);
    EXPECT_EQ(LireEntier(std::string(5000, '9')), INT_MAX);
    EXPECT_EQ(LireEntier("00000000000000000000000000012"), 12);
}

// ---------------------------------------------------------------- sections and "Infos"

TEST(CarteInfos, KeysAreExactAndValuesReadAsNumbers)
{
    CMap carte;
    carte.AnalyseContenu("[Infos]\nHauteur= 12abc\n Largeur=30\nPosDebutX =4\nposdebuty=5\n");
    EXPECT_EQ(carte.Hauteur, 12);
    EXPECT_EQ(carte.Largeur, 0);   // a blank before the key: another key
    EXPECT_EQ(carte.PosDebutX, 0); // a blank after the key: another key
    EXPECT_EQ(carte.PosDebutY, 0); // case matters

    carte.AnalyseContenu("[Infos]\nLargeur=9\nLargeur=\n");
    EXPECT_EQ(carte.Largeur, 0); // no digits give 0, and the later line wins
}

TEST(CarteInfos, OnlyTheTextBetweenTheFirstTwoEqualSignsIsTheValue)
{
    CMap carte;
    carte.AnalyseContenu("[Infos]\nHauteur=7=9\nLargeur==5\n");
    EXPECT_EQ(carte.Hauteur, 7);
    EXPECT_EQ(carte.Largeur, 0);
}

TEST(CarteInfos, ABareKeyWithoutEqualSignChangesNothing)
{
    CMap carte;
    carte.AnalyseContenu("[Infos]\nHauteur=6\nHauteur\nLargeur\nPosDebutX=3\n");
    EXPECT_EQ(carte.Hauteur, 6);
    EXPECT_EQ(carte.Largeur, 0);
    EXPECT_EQ(carte.PosDebutX, 3);
}

TEST(CarteInfos, NumbersTooLargeForAnIntSaturate)
{
    CMap carte;
    carte.AnalyseContenu("[Infos]\nPosDebutX=123456789012\nPosDebutY=-123456789012\n");
    EXPECT_EQ(carte.PosDebutX, INT_MAX);
    EXPECT_EQ(carte.PosDebutY, INT_MIN);
}

TEST(CarteSections, NamesAreExactAndOtherSectionsAreSkipped)
{
    CMap carte;
    carte.AnalyseContenu("[infos]\nHauteur=3\n[ Infos]\nHauteur=4\n[Infos ]\nHauteur=5\n"
                         "[Autre]\nHauteur=6\n");
    EXPECT_EQ(carte.Hauteur, 0);
}

TEST(CarteSections, TextBeforeTheFirstSectionIsIgnored)
{
    CMap carte;
    carte.AnalyseContenu("Hauteur=3\nInfos]\nLargeur=4\n[Infos]\nPosDebutX=1\n");
    EXPECT_EQ(carte.Hauteur, 0);
    EXPECT_EQ(carte.Largeur, 0);
    EXPECT_EQ(carte.PosDebutX, 1);
}

TEST(CarteSections, AnUnclosedNameHasNoBodyAndIsSkipped)
{
    CMap carte;
    carte.AnalyseContenu("[Infos\nHauteur=3\n[Infos]\nLargeur=4\n[Map\nBBBB\n");
    EXPECT_EQ(carte.Hauteur, 0);
    EXPECT_EQ(carte.Largeur, 4);
    EXPECT_TRUE(carte.Cases.empty());
}

TEST(CarteSections, ASecondClosingBracketEndsTheBody)
{
    CMap carte;
    carte.AnalyseContenu("[Infos]\nHauteur=3\n]\nLargeur=4\n");
    EXPECT_EQ(carte.Hauteur, 3);
    EXPECT_EQ(carte.Largeur, 0);
    carte.AnalyseContenu("[Infos]Largeur=2]\nHauteur=9\n]PosDebutX=5\n");
    EXPECT_EQ(carte.Hauteur, 3);
    EXPECT_EQ(carte.Largeur, 2);
    EXPECT_EQ(carte.PosDebutX, 0);

    carte.AnalyseContenu("[Infos]\nHauteur=2\n[Map]\nBB\n]\n11\n");
    EXPECT_EQ(Rangee(carte, 0), (std::vector<int>{2, 2}));
    EXPECT_EQ(Rangee(carte, 1), (std::vector<int>{0, 0}));
    EXPECT_TRUE(carte.ListeBonus.empty());
}

TEST(CarteSections, ASectionMetTwiceIsProcessedTwice)
{
    CMap carte;
    carte.AnalyseContenu("[Infos]\nHauteur=1\nLargeur=2\n[Map]\n1B\n[Map]\n 2\n");
    EXPECT_EQ(Bonus_(carte), (std::vector<Bonus>{{0, 0, 1}, {1, 0, 2}}));
    // The second section writes only the cells its characters set.
    EXPECT_EQ(Rangee(carte, 0), (std::vector<int>{1, 1}));
}

// ---------------------------------------------------------------- the "Map" body

TEST_F(CarteGlobale, TheExampleLevelLoadsCellByCell)
{
    EXPECT_EQ(ChargerFichier(Exemple), 0);
    EXPECT_EQ(Map.Hauteur, 5);
    EXPECT_EQ(Map.Largeur, 8);
    EXPECT_EQ(Map.PosDebutX, 2);
    EXPECT_EQ(Map.PosDebutY, 3);
    ASSERT_EQ(Map.Cases.size(), 8u);
    for (const std::vector<signed char>& colonne : Map.Cases)
        EXPECT_EQ(colonne.size(), 5u);
    const std::vector<int> mur = {18, 1, 1, 1, 1, 1, 1, 16};
    EXPECT_EQ(Rangee(Map, 0), mur);
    EXPECT_EQ(Rangee(Map, 1), mur);
    EXPECT_EQ(Rangee(Map, 2), mur);
    EXPECT_EQ(Rangee(Map, 3), (std::vector<int>{2, 2, 2, 8, 3, 3, 9, 2}));
    EXPECT_EQ(Rangee(Map, 4), std::vector<int>(8, 10));
    EXPECT_EQ(Bonus_(Map), (std::vector<Bonus>{{2, 2, 1}, {5, 2, 5}}));
    ASSERT_EQ(Personnages.size(), 1u);
    EXPECT_EQ(Personnages[0].ReturnPosX(), 64);
    EXPECT_EQ(Personnages[0].ReturnPosY(), 128);
    EXPECT_EQ(Personnages[0].DebutChute, 128);
    EXPECT_EQ(Personnages[0].ReturnVie(), 1000);
}

TEST(CarteGrille, EveryCharacterOfTheTileTableGivesItsCode)
{
    const std::string lettres = " BCDEdSsbVTvtWMwmOoPRprAHIhiXaxe";
    const std::vector<int> codes = {1, 2, 3, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17,
                                    18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33};
    CMap carte;
    Grille(carte, {lettres});
    EXPECT_EQ(Rangee(carte, 0), codes);
    EXPECT_TRUE(carte.ListeBonus.empty());
}

TEST(CarteGrille, EveryOtherByteLeavesItsCellUnset)
{
    const std::string tuiles = " BCDEdSsbVTvtWMwmOoPRprAHIhiXaxe12345678";
    std::string autres;
    for (int octet = 1; octet < 256; ++octet)
    {
        const char c = static_cast<char>(octet);
        if (c != '\n' && c != '[' && c != ']' && tuiles.find(c) == std::string::npos)
            autres += c;
    }
    CMap carte;
    Grille(carte, {autres});
    EXPECT_EQ(Rangee(carte, 0), std::vector<int>(autres.size(), 0));
    EXPECT_TRUE(carte.ListeBonus.empty());
    // And a NUL byte inside a row is one more unknown character.
    CMap nul;
    nul.AnalyseContenu(std::string("[Infos]\nHauteur=1\nLargeur=3\n[Map]\nB\0B\n", 38));
    EXPECT_EQ(Rangee(nul, 0), (std::vector<int>{2, 0, 2}));
}

TEST(CarteGrille, UnknownCharactersAndBonusDigits)
{
    CMap carte;
    Grille(carte, {"B0B", "5  "});
    EXPECT_EQ(Rangee(carte, 0), (std::vector<int>{2, 0, 2}));
    EXPECT_EQ(Rangee(carte, 1), (std::vector<int>{1, 1, 1}));
    EXPECT_EQ(Bonus_(carte), (std::vector<Bonus>{{0, 1, 5}}));
    // "9" and "0" are not bonuses.
    CMap autre;
    Grille(autre, {"90"});
    EXPECT_TRUE(autre.ListeBonus.empty());
}

TEST(CarteGrille, BlankLinesDoNotCountAsRows)
{
    CMap carte;
    carte.AnalyseContenu("[Infos]\nHauteur=3\nLargeur=2\n[Map]\n\nBB\n\n\nbb\n\nCC\n\n");
    EXPECT_EQ(Rangee(carte, 0), (std::vector<int>{2, 2}));
    EXPECT_EQ(Rangee(carte, 1), (std::vector<int>{10, 10}));
    EXPECT_EQ(Rangee(carte, 2), (std::vector<int>{3, 3}));
}

TEST(CarteGrille, ShortAndMissingRowsStayUnsetAndLongRowsAreCut)
{
    CMap carte;
    carte.AnalyseContenu("[Infos]\nHauteur=3\nLargeur=3\n[Map]\nB\nbbbbb5\n");
    EXPECT_EQ(Rangee(carte, 0), (std::vector<int>{2, 0, 0}));
    EXPECT_EQ(Rangee(carte, 1), (std::vector<int>{10, 10, 10}));
    EXPECT_EQ(Rangee(carte, 2), (std::vector<int>{0, 0, 0}));
    EXPECT_TRUE(carte.ListeBonus.empty()); // the digit lay beyond the last column
}

TEST(CarteGrille, RowsBeyondTheHeightAreIgnoredWithTheirBonuses)
{
    CMap carte;
    carte.AnalyseContenu("[Infos]\nHauteur=2\nLargeur=2\n[Map]\nB1\nbb\n3C\n44\n");
    ASSERT_EQ(carte.Cases.size(), 2u);
    EXPECT_EQ(carte.Cases[0].size(), 2u);
    EXPECT_EQ(Rangee(carte, 0), (std::vector<int>{2, 1}));
    EXPECT_EQ(Rangee(carte, 1), (std::vector<int>{10, 10}));
    EXPECT_EQ(Bonus_(carte), (std::vector<Bonus>{{1, 0, 1}}));
}

TEST(CarteGrille, ALaterSectionResizesAndWritesOnlyWhatItSets)
{
    CMap carte;
    Grille(carte, {"BBB", "bbb"});
    carte.AnalyseContenu("[Infos]\nLargeur=2\nHauteur=3\n[Map]\n 0\n\n0b\nCC\n");
    ASSERT_EQ(carte.Cases.size(), 2u);
    EXPECT_EQ(carte.Cases[1].size(), 3u);
    EXPECT_EQ(Rangee(carte, 0), (std::vector<int>{1, 2}));   // "0" kept the old grass
    EXPECT_EQ(Rangee(carte, 1), (std::vector<int>{10, 10}));
    EXPECT_EQ(Rangee(carte, 2), (std::vector<int>{3, 3}));   // new cells
}

TEST(CarteGrille, AMapWithoutDimensionsIsEmpty)
{
    CMap carte;
    carte.AnalyseContenu("[Map]\nBBB\n123\n");
    EXPECT_TRUE(carte.Cases.empty());
    EXPECT_TRUE(carte.ListeBonus.empty());
}

// ---------------------------------------------------------------- files

TEST_F(CarteGlobale, CrLfLineEndsLoadLikeLf)
{
    std::string crlf;
    for (const char* c = Exemple; *c; ++c)
    {
        if (*c == '\n')
            crlf += '\r';
        crlf += *c;
    }
    ASSERT_EQ(ChargerFichier(Exemple), 0);
    const CMap lf = Map;
    ASSERT_EQ(ChargerFichier(crlf), 0);
    EXPECT_EQ(Map.Hauteur, lf.Hauteur);
    EXPECT_EQ(Map.Largeur, lf.Largeur);
    EXPECT_EQ(Map.PosDebutX, lf.PosDebutX);
    EXPECT_EQ(Map.PosDebutY, lf.PosDebutY);
    EXPECT_EQ(Map.Cases, lf.Cases);
    EXPECT_EQ(Bonus_(Map), Bonus_(lf));
}

TEST_F(CarteGlobale, ALoneCrStaysAnUnknownCharacter)
{
    ChargerFichier("[Infos]\r\nHauteur=1\r\nLargeur=3\r\n[Map]\r\nB\rB\r\n");
    EXPECT_EQ(Rangee(Map, 0), (std::vector<int>{2, 0, 2}));
}

TEST_F(CarteGlobale, AMissingFileGivesOnePlayerOnAnEmptyLevel)
{
    Personnages.resize(3);
    {
        DossierTemporaire dossier;
        DansDossier ici(dossier.Chemin());
        EXPECT_EQ(Map.LoadMap("absent.map"), 0);
    }
    EXPECT_TRUE(Map.Cases.empty());
    EXPECT_TRUE(Map.ListeBonus.empty());
    EXPECT_EQ(Map.Hauteur, 0);
    EXPECT_EQ(Map.Largeur, 0);
    ASSERT_EQ(Personnages.size(), 1u);
    EXPECT_EQ(Personnages[0].ReturnPosX(), -64);
    EXPECT_EQ(Personnages[0].ReturnPosY(), -64);
    EXPECT_EQ(Personnages[0].Etat, CPerso::Immobile);
    // A folder where the file should be reads as nothing too.
    DossierTemporaire dossier;
    CreerDossiers(dossier / "Data/Maps/dossier.map");
    DansDossier ici(dossier.Chemin());
    EXPECT_EQ(Map.LoadMap("dossier.map"), 0);
    EXPECT_TRUE(Map.Cases.empty());
    EXPECT_EQ(Map.LoadMap(nullptr), 0);
    EXPECT_EQ(Personnages.size(), 1u);
}

TEST_F(CarteGlobale, AMissingFileKeepsWhatIsLoaded)
{
    ASSERT_EQ(ChargerFichier(Exemple), 0);
    DossierTemporaire dossier;
    DansDossier ici(dossier.Chemin());
    EXPECT_EQ(Map.LoadMap("absent.map"), 0);
    EXPECT_EQ(Map.Cases.size(), 8u);
    EXPECT_EQ(Map.ListeBonus.size(), 2u);
    EXPECT_EQ(Personnages[0].ReturnPosX(), 64);
    EXPECT_EQ(Personnages[0].ReturnPosY(), 128);
}

TEST_F(CarteGlobale, APathOfMoreThan999BytesIsRefused)
{
    // "./Data/Maps/" takes 12 bytes: a name of 987 fits with the final zero,
    // one of 988 does not. Both exist, below folders of 200-byte names.
    const std::string dossiers = std::string(200, 'a') + "/" + std::string(200, 'b') + "/" +
                                 std::string(200, 'c') + "/" + std::string(200, 'd') + "/";
    const std::string juste = dossiers + std::string(987 - dossiers.size() - 4, 'n') + ".map";
    const std::string trop = dossiers + std::string(988 - dossiers.size() - 4, 'n') + ".map";
    ASSERT_EQ(juste.size(), 987u);
    ASSERT_EQ(trop.size(), 988u);

    DossierTemporaire dossier;
    EcrireFichier(dossier / ("Data/Maps/" + juste), Exemple);
    EcrireFichier(dossier / ("Data/Maps/" + trop), Exemple);
    DansDossier ici(dossier.Chemin());
    EXPECT_EQ(Map.LoadMap(juste.c_str()), 0);
    EXPECT_EQ(Map.Largeur, 8);
    Map = CMap();
    EXPECT_EQ(Map.LoadMap(trop.c_str()), 0);
    EXPECT_EQ(Map.Largeur, 0);
    EXPECT_TRUE(Map.Cases.empty());
    ASSERT_EQ(Personnages.size(), 1u);
    EXPECT_EQ(Personnages[0].ReturnPosX(), -64);
    // Far longer names are refused the same way.
    EXPECT_EQ(Map.LoadMap(std::string(100000, 'z').c_str()), 0);
    EXPECT_TRUE(Map.Cases.empty());
}

// ---------------------------------------------------------------- unsafe dimensions

TEST(CarteLimites, ANegativeDimensionRefusesTheMapSection)
{
    CMap carte;
    Grille(carte, {"B1", "bb"});
    const auto avant = carte.Cases;
    carte.AnalyseContenu("[Infos]\nHauteur=-1\nLargeur=2\n[Map]\n22\n");
    EXPECT_EQ(carte.Cases, avant);
    carte.AnalyseContenu("[Infos]\nHauteur=2\nLargeur=-5\n[Map]\n22\n");
    EXPECT_EQ(carte.Cases, avant);
    EXPECT_EQ(Bonus_(carte), (std::vector<Bonus>{{1, 0, 1}}));
    EXPECT_EQ(carte.Largeur, -5); // the numbers themselves are kept
}

TEST(CarteLimites, DimensionsTooLargeForAGridRefuseTheMapSection)
{
    const char* const trop[] = {
        "Largeur=65537\nHauteur=1",          // a side above 65536 tiles
        "Largeur=1\nHauteur=65537",
        "Largeur=65536\nHauteur=257",        // more than 2^24 tiles
        "Largeur=4097\nHauteur=4097",
        "Largeur=2147483647\nHauteur=2147483647",
        "Largeur=99999999999999\nHauteur=1", // saturated to INT_MAX
        "Largeur=33554432\nHauteur=0",       // 64 x width beyond 2^31
    };
    for (const char* dimensions : trop)
    {
        CMap carte;
        Grille(carte, {"B2"});
        carte.AnalyseContenu(std::string("[Infos]\n") + dimensions + "\n[Map]\n3BB\n");
        EXPECT_EQ(carte.Cases.size(), 2u) << dimensions;
        EXPECT_EQ(Bonus_(carte), (std::vector<Bonus>{{1, 0, 2}})) << dimensions;
    }
}

TEST(CarteLimites, TheLargestAcceptedGridsLoad)
{
    CMap large;
    large.AnalyseContenu("[Infos]\nLargeur=65536\nHauteur=1\n[Map]\n1B\n");
    ASSERT_EQ(large.Cases.size(), 65536u);
    EXPECT_EQ(large.CodeCase(0, 0), 1);
    EXPECT_EQ(large.CodeCase(1, 0), 2);
    EXPECT_EQ(large.CodeCase(65535, 0), 0);
    EXPECT_FALSE(large.AutAcces(64 * 65536 - 1, 10));

    CMap carree;
    carree.AnalyseContenu("[Infos]\nLargeur=4096\nHauteur=4096\n[Map]\nC\n");
    ASSERT_EQ(carree.Cases.size(), 4096u);
    EXPECT_EQ(carree.Cases[4095].size(), 4096u);
    EXPECT_TRUE(carree.DiedAcces(10, 10));
}

TEST(CarteLimites, DimensionsWithoutAGridAnswerClosedOutsideIt)
{
    // The grid is 2 x 2; the later "Infos" says 50 x 50 and no "Map" follows.
    CMap carte;
    Grille(carte, {"  ", "CC"});
    carte.AnalyseContenu("[Infos]\nLargeur=50\nHauteur=50\n");
    EXPECT_EQ(carte.Largeur, 50);
    EXPECT_TRUE(carte.AutAcces(70, 10));
    EXPECT_FALSE(carte.AutAcces(64 * 2 + 5, 10));
    EXPECT_FALSE(carte.AutAcces(64 * 49, 64 * 49));
    EXPECT_FALSE(carte.DiedAcces(10, 64 * 2 + 5));
    EXPECT_TRUE(carte.DiedAcces(10, 64 + 5));
    EXPECT_EQ(carte.CodeCase(2, 0), -1);

    // A "Map" section that comes first leaves no grid at all.
    CMap vide;
    vide.AnalyseContenu("[Map]\nBBB\n[Infos]\nLargeur=3\nHauteur=1\n");
    EXPECT_TRUE(vide.Cases.empty());
    EXPECT_FALSE(vide.AutAcces(10, 10));
    EXPECT_FALSE(vide.DiedAcces(10, 10));
}

TEST_F(CarteGlobale, AStartFarOutsideThePixelRangeIsClamped)
{
    ChargerFichier("[Infos]\nPosDebutX=2147483647\nPosDebutY=-2147483648\n");
    EXPECT_EQ(Map.ReturnPosDebutX(), 1 << 30);
    EXPECT_EQ(Map.ReturnPosDebutY(), -(1 << 30));
    ASSERT_EQ(Personnages.size(), 1u);
    EXPECT_EQ(Personnages[0].ReturnPosX(), 1 << 30);
    EXPECT_EQ(Personnages[0].ReturnPosY(), -(1 << 30));
}

TEST(CarteLimites, GarbageNeverLeavesTheGridAndTheListOutOfStep)
{
    // Pseudo-random texts made of the format's own characters: whatever they
    // say, every column has the same height and every bonus lies on an empty
    // cell of the grid.
    const std::string alphabet = "[]=\n\r 012345678-BbCcMmPpSsInfosMapHauteurLargeur";
    unsigned int graine = 12345;
    for (int essai = 0; essai < 300; ++essai)
    {
        std::string texte = "[Infos]\nHauteur=" + std::to_string(essai % 7) +
                            "\nLargeur=" + std::to_string(essai % 5) + "\n";
        for (int i = 0; i < 200; ++i)
        {
            graine = graine * 1103515245u + 12345u;
            texte += alphabet[(graine >> 16) % alphabet.size()];
        }
        texte += "[Map]\n" + texte;
        CMap carte;
        carte.AnalyseContenu(texte);
        for (const std::vector<signed char>& colonne : carte.Cases)
            EXPECT_EQ(colonne.size(), carte.Cases[0].size());
        for (const CMap::CBonus& b : carte.ListeBonus)
        {
            EXPECT_EQ(carte.CodeCase(b.CaseX, b.CaseY), 1);
            EXPECT_GE(b.Type, 1);
            EXPECT_LE(b.Type, 8);
        }
    }
}

// ---------------------------------------------------------------- tile queries

TEST(CarteAcces, EmptyUnsetAndWaterCells)
{
    CMap carte;
    Grille(carte, {" 0C"});
    EXPECT_TRUE(carte.AutAcces(5, 5));
    EXPECT_FALSE(carte.DiedAcces(5, 5));
    EXPECT_FALSE(carte.AutAcces(64 + 5, 5));
    EXPECT_FALSE(carte.DiedAcces(64 + 5, 5));
    EXPECT_TRUE(carte.AutAcces(128 + 5, 5));
    EXPECT_TRUE(carte.DiedAcces(128 + 5, 5));
    EXPECT_TRUE(carte.DiedAcces(128 + 63, 63));
}

TEST(CarteAcces, EveryOtherTileIsSolidEverywhere)
{
    const std::string solides = "BDEdbVTvtWMwmOoRrAHIhiXaxe";
    CMap carte;
    Grille(carte, {solides});
    for (size_t c = 0; c < solides.size(); ++c)
        for (int rx = 0; rx < 64; rx += 9)
            for (int ry = 0; ry < 64; ry += 7)
            {
                const int x = static_cast<int>(c) * 64 + rx;
                EXPECT_FALSE(carte.AutAcces(x, ry)) << solides[c] << " " << rx << "," << ry;
                EXPECT_FALSE(carte.DiedAcces(x, ry)) << solides[c];
            }
}

TEST(CarteAcces, SlopesFallingToTheRightAreFreeAboveTheirDiagonal)
{
    CMap carte;
    Grille(carte, {"  ", " P", " S"});
    for (int ligne : {1, 2})
    {
        const int x0 = 64, y0 = 64 * ligne;
        EXPECT_TRUE(carte.AutAcces(x0 + 10, y0 + 5));
        EXPECT_FALSE(carte.AutAcces(x0 + 5, y0 + 10));
        EXPECT_FALSE(carte.AutAcces(x0 + 7, y0 + 7));
        for (int k = 0; k < 63; ++k)
        {
            EXPECT_FALSE(carte.AutAcces(x0 + k, y0 + k)) << k;
            EXPECT_TRUE(carte.AutAcces(x0 + k + 1, y0 + k)) << k;
        }
        EXPECT_FALSE(carte.AutAcces(x0, y0));         // the high corner is solid
        EXPECT_TRUE(carte.AutAcces(x0 + 63, y0));      // the low side is open to the top
        EXPECT_FALSE(carte.DiedAcces(x0 + 63, y0));
    }
}

TEST(CarteAcces, SlopesRisingToTheRightAreFreeAboveTheirDiagonal)
{
    CMap carte;
    Grille(carte, {"p", "s"});
    for (int ligne : {0, 1})
    {
        const int y0 = 64 * ligne;
        EXPECT_TRUE(carte.AutAcces(10, y0 + 50));
        EXPECT_FALSE(carte.AutAcces(14, y0 + 50));
        for (int rx = 1; rx < 64; ++rx)
        {
            EXPECT_FALSE(carte.AutAcces(rx, y0 + 64 - rx)) << rx;
            EXPECT_TRUE(carte.AutAcces(rx, y0 + 63 - rx)) << rx;
        }
        EXPECT_TRUE(carte.AutAcces(0, y0 + 63));   // the low side, left
        EXPECT_FALSE(carte.AutAcces(63, y0 + 1));  // the high side, right
        EXPECT_TRUE(carte.AutAcces(63, y0 + 0));
    }
}

TEST(CarteAcces, PixelsLeftOfAndAboveTheMapTruncateIntoTheFirstTile)
{
    // (-10, 5) is column 0 with rx = -10: solid on a slope falling to the right,
    // and open on one rising to the right (5 < 64 + 10).
    for (const char* pente : {"P", "S"})
    {
        CMap carte;
        Grille(carte, {pente});
        EXPECT_FALSE(carte.AutAcces(-10, 5)) << pente;
        EXPECT_FALSE(carte.AutAcces(-1, 0)) << pente;
    }
    CMap montee;
    Grille(montee, {"p"});
    EXPECT_TRUE(montee.AutAcces(-10, 5));
    EXPECT_TRUE(montee.AutAcces(10, -5)); // row 0 with ry = -5

    CMap carte;
    Grille(carte, {"PS", "  "});
    // Row 1 is empty; columns from -63 to -1 truncate into column 0.
    EXPECT_TRUE(carte.AutAcces(-1, 64 + 5));
    EXPECT_TRUE(carte.AutAcces(-63, 64 + 5));
    // Beyond -63 there is no cell: closed.
    EXPECT_FALSE(carte.AutAcces(-64, 64 + 5));
    EXPECT_FALSE(carte.AutAcces(5, -64));
    EXPECT_FALSE(carte.AutAcces(INT_MIN, INT_MIN));
    EXPECT_FALSE(carte.DiedAcces(INT_MIN, INT_MAX));
}

TEST(CarteAcces, OutsideTheGridIsClosedAndHarmless)
{
    CMap carte;
    Grille(carte, {"CC", "CC"});
    EXPECT_FALSE(carte.AutAcces(128, 10));
    EXPECT_FALSE(carte.AutAcces(10, 128));
    EXPECT_FALSE(carte.AutAcces(INT_MAX, INT_MAX));
    EXPECT_FALSE(carte.DiedAcces(128, 10));
    EXPECT_FALSE(carte.DiedAcces(10, 128));
    EXPECT_TRUE(carte.DiedAcces(127, 127));
}

// ---------------------------------------------------------------- bonuses and start

TEST(CarteBonus, ABonusIsTakenOnceFromAnyPixelOfItsTile)
{
    CMap carte;
    carte.AddBonus(2, 2, 6);
    EXPECT_EQ(carte.ReturnBonus(130, 140), 6);
    EXPECT_TRUE(carte.ListeBonus.empty());
    EXPECT_EQ(carte.ReturnBonus(130, 140), 0);

    carte.AddBonus(2, 2, 3);
    EXPECT_EQ(carte.ReturnBonus(127, 128), 0); // column 1
    EXPECT_EQ(carte.ReturnBonus(191, 191), 3);
}

TEST(CarteBonus, BonusesOnOneTileComeOneACallInListOrder)
{
    CMap carte;
    carte.AddBonus(0, 0, 4);
    carte.AddBonus(1, 1, 7);
    carte.AddBonus(1, 1, 2);
    carte.AddBonus(3, 0, 8);
    carte.AddBonus(1, 1, 5);
    EXPECT_EQ(carte.ReturnBonus(64, 64), 7);
    EXPECT_EQ(Bonus_(carte), (std::vector<Bonus>{{0, 0, 4}, {1, 1, 2}, {3, 0, 8}, {1, 1, 5}}));
    EXPECT_EQ(carte.ReturnBonus(100, 100), 2);
    EXPECT_EQ(carte.ReturnBonus(127, 127), 5);
    EXPECT_EQ(carte.ReturnBonus(64, 64), 0);
    EXPECT_EQ(Bonus_(carte), (std::vector<Bonus>{{0, 0, 4}, {3, 0, 8}}));
}

TEST(CarteBonus, NegativePixelsTruncateTowardZero)
{
    CMap carte;
    carte.AddBonus(0, 0, 1);
    carte.AddBonus(-1, 0, 2);
    EXPECT_EQ(carte.ReturnBonus(-63, -10), 1); // column 0, not -1
    EXPECT_EQ(carte.ReturnBonus(-64, 0), 2);
    EXPECT_EQ(carte.ReturnBonus(INT_MIN, INT_MIN), 0);
}

TEST(CarteBonus, AddBonusAppendsWithoutAnyCheck)
{
    CMap carte;
    Grille(carte, {"1"});
    carte.AddBonus(-7, 900, 42);
    EXPECT_EQ(Bonus_(carte), (std::vector<Bonus>{{0, 0, 1}, {-7, 900, 42}}));
    EXPECT_EQ(carte.ReturnBonus(-7 * 64, 900 * 64), 42);
}

TEST(CarteDebut, StartCellInPixels)
{
    CMap carte;
    carte.AnalyseContenu("[Infos]\nPosDebutX=2\nPosDebutY=3\n");
    EXPECT_EQ(carte.ReturnPosDebutX(), 64);
    EXPECT_EQ(carte.ReturnPosDebutY(), 128);
    CMap zero;
    EXPECT_EQ(zero.ReturnPosDebutX(), -64);
    EXPECT_EQ(zero.ReturnPosDebutY(), -64);
}

// ---------------------------------------------------------------- camera and animation

TEST(CarteCamera, TheTopLeftCornerStaysInTheCornerNearTheStart)
{
    for (int x : {-500, 0, 123, 400})
        EXPECT_EQ(CMap::DecalageCameraX(x, 13), 0) << x;
    for (int y : {-500, 0, 300})
        EXPECT_EQ(CMap::DecalageCameraY(y, 11), 0) << y;
    EXPECT_EQ(CMap::DecalageCameraX(401, 13), -1);
    EXPECT_EQ(CMap::DecalageCameraY(301, 11), -1);
}

TEST(CarteCamera, FarEdgesStopTheView)
{
    EXPECT_EQ(CMap::DecalageCameraX(1900, 30), -1120); // last column on the right edge
    EXPECT_EQ(CMap::DecalageCameraX(1000, 30), -600);  // the point in the middle
    EXPECT_EQ(CMap::DecalageCameraY(1000, 12), -104);  // last row just below the view
    EXPECT_EQ(CMap::DecalageCameraY(400, 12), -100);
}

TEST(CarteCamera, MapsSmallerThanTheViewArePushedToTheFarEdge)
{
    for (int x : {-1000, 0, 256, 5000})
        EXPECT_EQ(CMap::DecalageCameraX(x, 8), 288) << x;
    for (int y : {-1000, 0, 160, 5000})
        EXPECT_EQ(CMap::DecalageCameraY(y, 5), 344) << y;
    EXPECT_EQ(CMap::DecalageCameraX(0, 0), 800);
}

TEST(CarteCamera, ExtremeValuesDoNotOverflow)
{
    EXPECT_EQ(CMap::DecalageCameraX(INT_MIN, 30), 0);
    EXPECT_EQ(CMap::DecalageCameraX(INT_MAX, 30), -1120);
    EXPECT_EQ(CMap::DecalageCameraX(INT_MAX, INT_MAX), 400LL - INT_MAX);
    EXPECT_EQ(CMap::DecalageCameraY(INT_MAX, INT_MAX), 300LL - INT_MAX);
    EXPECT_EQ(CMap::DecalageCameraX(0, INT_MIN), 800LL + 64LL * 2147483648LL);
}

TEST(CarteAnimation, OneFrameEveryHundredMillisecondsOnASecondCycle)
{
    EXPECT_EQ(CMap::FrameBonus(12345), 3);
    EXPECT_EQ(CMap::FrameBonus(0), 0);
    EXPECT_EQ(CMap::FrameBonus(99), 0);
    EXPECT_EQ(CMap::FrameBonus(100), 1);
    EXPECT_EQ(CMap::FrameBonus(999), 9);
    EXPECT_EQ(CMap::FrameBonus(1000), 0);
    EXPECT_EQ(CMap::FrameBonus(0xFFFFFFFFu), 2); // 4294967295 mod 1000 = 295
}
