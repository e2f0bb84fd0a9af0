// The analysis as the editor sees it: a map text held in memory, each finding
// at the cell it concerns, and the reachability grid and bonuses on small
// levels whose answer is known.
#include "test_outil_carte_aide.h"

#include "analyse/Verification.h"
#include "carte/Rejeu.h"

#include <string>
#include <tuple>
#include <vector>

using AnalyseCarte::BonusVu;
using AnalyseCarte::Rapport;

namespace
{
    Rapport Analyser(const std::string& texte, bool atteinte = true)
    {
        AnalyseCarte::OptionsVerification options;
        options.Atteignabilite = atteinte;
        return AnalyseCarte::AnalyserTexte(texte, options);
    }

    // Line, column, cell column and cell row of the first finding of a kind.
    std::tuple<int, int, int, int> Ou(const Rapport& r, const std::string& genre)
    {
        for (const AnalyseCarte::Constat& c : r.Constats)
            if (c.Genre == genre)
                return std::make_tuple(c.Ligne, c.Colonne, c.CaseColonne, c.CaseLigne);
        ADD_FAILURE() << "no " << genre;
        return std::make_tuple(-1, -1, -1, -1);
    }

    bool Traversee(const Rapport& r, int colonne, int ligne)
    {
        return (r.EtatDe(colonne, ligne) & AnalyseCarte::CaseTraversee) != 0;
    }

    const char* const Entete = "[Infos]\nHauteur=6\nLargeur=10\nPosDebutX=2\nPosDebutY=5\n[Map]\n";
}

TEST(AnalyseCarte, EachFindingIsAtTheCellItConcerns)
{
    // Lines:  1 [Infos] ... 6 Bogus, 7 [Map], 8 the first row.
    const std::string texte = "[Infos]\nHauteur=6\nLargeur=8\nPosDebutX=2\nPosDebutY=2\nBogus=1\n[Map]\n"
                              "bbb bbbb\n"     // row 1: an open cell on the top edge
                              "b      b\n"     // row 2
                              "b  .   b\n"     // row 3: not a tile at column 4
                              "b      bXX\n"   // row 4: too long, the surplus is in no cell
                              "b    \n";       // row 5: too short from column 6; row 6 missing
    const Rapport r = Analyser(texte, false);
    EXPECT_EQ(Ou(r, "unknown-key"), std::make_tuple(6, 1, 0, 0));
    EXPECT_EQ(Ou(r, "open-border"), std::make_tuple(8, 4, 4, 1));
    EXPECT_EQ(Ou(r, "not-a-tile"), std::make_tuple(10, 4, 4, 3));
    EXPECT_EQ(Ou(r, "long-row"), std::make_tuple(11, 9, 0, 0));
    EXPECT_EQ(Ou(r, "short-row"), std::make_tuple(12, 6, 6, 5));
    EXPECT_EQ(std::get<2>(Ou(r, "missing-rows")), 1);
    EXPECT_EQ(std::get<3>(Ou(r, "missing-rows")), 6);
    EXPECT_EQ(r.Largeur, 8);
    EXPECT_EQ(r.Hauteur, 6);
    // A start cell that is solid, and whose character the file never set.
    const Rapport plein = Analyser("[Infos]\nHauteur=3\nLargeur=3\nPosDebutX=3\nPosDebutY=3\n[Map]\nbbb\nb b\nbb\n");
    EXPECT_EQ(std::get<2>(Ou(plein, "start-solid")), 3);
    EXPECT_EQ(std::get<3>(Ou(plein, "start-solid")), 3);
    // CR LF text from memory: the same cells.
    std::string crlf;
    for (const char c : texte)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(Ou(Analyser(crlf, false), "not-a-tile"), std::make_tuple(10, 4, 4, 3));
}

TEST(AnalyseCarte, ABonusBehindAWallIsUnreachableAndSoIsItsSideOfTheWall)
{
    const Rapport r = Analyser(std::string(Entete) + "bbbbbbbbbb\n"
                                                     "b    b   b\n"
                                                     "b    b   b\n"
                                                     "b    b 1 b\n"
                                                     "b    b   b\n"
                                                     "bbbbbbbbbb\n");
    ASSERT_FALSE(r.Partielle());
    ASSERT_EQ(r.Bonus.size(), 1u);
    EXPECT_EQ(r.Bonus[0].Sort, BonusVu::Inaccessible);
    EXPECT_EQ(std::make_tuple(r.Bonus[0].Colonne, r.Bonus[0].Ligne), std::make_tuple(8, 4));
    EXPECT_EQ(Ou(r, "bonus-unreachable"), std::make_tuple(10, 8, 8, 4));
    EXPECT_EQ(std::get<2>(Ou(r, "area-unreachable")), 7);
    EXPECT_EQ(std::get<3>(Ou(r, "area-unreachable")), 2);
    // The grid: the start's side reached up to the wall, the wall closed,
    // the other side open and never reached.
    for (int colonne = 2; colonne <= 5; ++colonne)
        EXPECT_TRUE(Traversee(r, colonne, 5)) << colonne;
    EXPECT_EQ(r.EtatDe(6, 3), 0);
    for (int colonne = 7; colonne <= 9; ++colonne)
        for (int ligne = 2; ligne <= 5; ++ligne)
        {
            EXPECT_EQ(r.EtatDe(colonne, ligne), AnalyseCarte::CaseOuverte) << colonne << "," << ligne;
        }

    // A wall two tiles high is jumped: the same bonus can be taken.
    const Rapport bas = Analyser(std::string(Entete) + "bbbbbbbbbb\n"
                                                       "b        b\n"
                                                       "b        b\n"
                                                       "b    b 1 b\n"
                                                       "b    b   b\n"
                                                       "bbbbbbbbbb\n");
    ASSERT_EQ(bas.Bonus.size(), 1u);
    EXPECT_EQ(bas.Bonus[0].Sort, BonusVu::Prenable);
    EXPECT_TRUE(bas.EtatDe(8, 4) & AnalyseCarte::CaseCoin);
    EXPECT_EQ(EssaisOutilCarte::Genres(bas), std::vector<std::string>{});
}

TEST(AnalyseCarte, ALedgeTooHighToJumpIsReachedByAGrab)
{
    // A step three tiles (192 px) high; a jump rises 162 px.
    const std::string texte = "[Infos]\nHauteur=8\nLargeur=10\nPosDebutX=2\nPosDebutY=7\n[Map]\n"
                              "bbbbbbbbbb\n"
                              "b        b\n"
                              "b        b\n"
                              "b      1 b\n"
                              "b     bbbb\n"
                              "b     bbbb\n"
                              "b     bbbb\n"
                              "bbbbbbbbbb\n";
    const Rapport r = Analyser(texte);
    ASSERT_EQ(r.Bonus.size(), 1u);
    EXPECT_EQ(r.Bonus[0].Sort, BonusVu::Prenable);
    EXPECT_TRUE(Traversee(r, 8, 4));
    EXPECT_TRUE(Traversee(r, 9, 4));
    // The way the search found, replayed frame by frame, grabs the ledge on
    // its way to the bonus.
    const OutilCarte::TexteCarte carte = OutilCarte::Normaliser(texte);
    const AnalyseCarte::ResultatAtteinte chemin = OutilCarte::ChercherChemin(carte, 7, 3, AnalyseCarte::OptionsAtteinte());
    ASSERT_TRUE(chemin.CibleAtteinte);
    OutilCarte::Entrees entrees;
    std::string erreur;
    ASSERT_TRUE(OutilCarte::LireEntrees(OutilCarte::EntreesDeChemin(chemin.Chemin), entrees, erreur)) << erreur;
    OutilCarte::OptionsRejeu options;
    options.Tous = 0;
    const std::string rejeu = OutilCarte::Rejouer(carte, entrees, options);
    const size_t prise = rejeu.find("grab the ledge");
    EXPECT_NE(prise, std::string::npos) << rejeu;
    EXPECT_NE(rejeu.find("pick up", prise), std::string::npos) << rejeu;
}
