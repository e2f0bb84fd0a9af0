// The loader and the tile queries were made faster after profiling (see
// BENCHMARKS.md). These tests hold the faster code to the results of the plain
// one it replaced: Split against a character-by-character cut, the tile
// queries against the C library's div, the line ends against a byte-by-byte
// reading.
#include <gtest/gtest.h>

#include "aide/Aide.h"
#include "main/Globales.h"

#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{
    // The cut as first written: one character at a time.
    int SplitReference(std::vector<std::string>* sortie, const std::string& texte, char separateur)
    {
        if (sortie->empty())
            sortie->push_back(std::string());
        else
            sortie->resize(1);
        for (char c : texte)
        {
            if (c == separateur)
                sortie->push_back(std::string());
            else
                sortie->back() += c;
        }
        return static_cast<int>(sortie->size());
    }

    unsigned long long alea = 0x9E3779B97F4A7C15ULL;
    unsigned Suivant()
    {
        alea ^= alea << 13;
        alea ^= alea >> 7;
        alea ^= alea << 17;
        return static_cast<unsigned>(alea >> 32);
    }

    // The tile queries as first written, with the C library's div.
    int CodeReference(const CMap& carte, int x, int y, int& rx, int& ry)
    {
        const div_t dx = std::div(x, CMap::TailleCase);
        const div_t dy = std::div(y, CMap::TailleCase);
        rx = dx.rem;
        ry = dy.rem;
        return carte.CodeCase(dx.quot, dy.quot);
    }

    bool AutAccesReference(const CMap& carte, int x, int y)
    {
        int rx = 0, ry = 0;
        switch (CodeReference(carte, x, y, rx, ry))
        {
        case 1:
        case 3:
            return true;
        case 8:
        case 21:
            return ry < rx;
        case 9:
        case 23:
            return ry < CMap::TailleCase - rx;
        default:
            return false;
        }
    }

    class BancOptimisations : public ::testing::Test
    {
    protected:
        void SetUp() override { Vide(); }
        void TearDown() override { Vide(); }
        static void Vide()
        {
            Map.Cases.clear();
            Map.ListeBonus.clear();
            Map.Largeur = Map.Hauteur = Map.PosDebutX = Map.PosDebutY = 0;
        }
    };
}

TEST(BancSplit, CutsLikeTheCharacterByCharacterCut)
{
    const char alphabet[] = {'a', 'b', '[', ']', '\n', '=', '\0', ' '};
    for (int essai = 0; essai < 2000; ++essai)
    {
        std::string texte(Suivant() % 40, ' ');
        for (char& c : texte)
            c = alphabet[Suivant() % sizeof alphabet];
        const char separateur = alphabet[Suivant() % 5];
        // Sometimes a list already in use, whose first piece is kept.
        std::vector<std::string> attendu, obtenu;
        if (essai % 3 == 1)
            attendu = obtenu = {"debut", "x", "y"};
        const int n = Split(&obtenu, texte, separateur);
        EXPECT_EQ(n, SplitReference(&attendu, texte, separateur));
        EXPECT_EQ(obtenu, attendu) << "text of " << texte.size() << " bytes, cut at " << int(separateur);
    }
}

TEST_F(BancOptimisations, TileQueriesAnswerAsWithDiv)
{
    // Every code a cell can hold, and a few it cannot, around a 6 x 6 grid.
    Map.Largeur = 6;
    Map.Hauteur = 6;
    Map.Cases.assign(6, std::vector<signed char>(6, 0));
    for (int c = 0; c < 6; ++c)
        for (int r = 0; r < 6; ++r)
            Map.Cases[static_cast<size_t>(c)][static_cast<size_t>(r)] = static_cast<signed char>((c * 6 + r) % 35);
    Map.Cases[0][0] = 21;
    Map.Cases[0][1] = 23;
    Map.Cases[1][0] = 8;
    for (int x = -140; x < 6 * 64 + 140; ++x)
        for (int y = -140; y < 6 * 64 + 140; y += 3)
        {
            ASSERT_EQ(Map.AutAcces(x, y), AutAccesReference(Map, x, y)) << x << ", " << y;
            int rx = 0, ry = 0;
            ASSERT_EQ(Map.DiedAcces(x, y), CodeReference(Map, x, y, rx, ry) == 3) << x << ", " << y;
        }
    // The far ends of int divide without overflow.
    EXPECT_EQ(Map.AutAcces(INT_MIN, INT_MAX), AutAccesReference(Map, INT_MIN, INT_MAX));
    EXPECT_EQ(Map.DiedAcces(INT_MAX, INT_MIN), false);
}

TEST_F(BancOptimisations, BonusesAreFoundOnTheTileOfNegativePixelsAsWithDiv)
{
    // Truncation toward zero: pixels -63 to 63 all fall in column 0, -127 to
    // -64 in column -1.
    Map.AddBonus(0, 0, 3);
    Map.AddBonus(-1, 0, 5);
    Map.AddBonus(-2, 0, 6);
    EXPECT_EQ(Map.ReturnBonus(-63, -1), 3);
    EXPECT_EQ(Map.ReturnBonus(-63, 5), 0);
    EXPECT_EQ(Map.ReturnBonus(-64, 63), 5);
    EXPECT_EQ(Map.ReturnBonus(-127, 0), 0);
    EXPECT_EQ(Map.ReturnBonus(-128, 0), 6);
    EXPECT_TRUE(Map.ListeBonus.empty());
}

TEST_F(BancOptimisations, LineEndsReadAsBeforeWithAndWithoutCarriageReturns)
{
    DossierTemporaire dossier;
    DansDossier dans(dossier.Chemin());
    const std::string lf = "[Infos]\nHauteur=3\nLargeur=4\nPosDebutX=1\nPosDebutY=1\n[Map]\nB1 b\nm\rMx\n\rCCC\n";
    std::string crlf;
    for (char c : lf)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EcrireFichier("Data/Maps/lf.map", lf);
    EcrireFichier("Data/Maps/crlf.map", crlf);

    Map.LoadMap("lf.map");
    const auto grilleLf = Map.Cases;
    const size_t bonusLf = Map.ListeBonus.size();
    Vide();
    Map.LoadMap("crlf.map");
    EXPECT_EQ(Map.Cases, grilleLf);
    EXPECT_EQ(Map.ListeBonus.size(), bonusLf);

    // A lone CR is an ordinary character: it leaves its cell unset.
    ASSERT_EQ(grilleLf.size(), 4u);
    EXPECT_EQ(grilleLf[0][1], 18); // m
    EXPECT_EQ(grilleLf[1][1], 0);  // CR
    EXPECT_EQ(grilleLf[2][1], 16); // M
    EXPECT_EQ(grilleLf[0][2], 0);  // CR
    EXPECT_EQ(grilleLf[1][2], 3);  // C
    EXPECT_EQ(bonusLf, 1u);
}
