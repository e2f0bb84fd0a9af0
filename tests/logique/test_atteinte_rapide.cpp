// The faster reachability search against the search as it was (kept in
// AtteinteReference.cpp): on the shipped level, the test levels and random
// levels, the same reachable cells, the same bonus verdicts, the same states
// kept, on one thread and on two; and the same way to a target cell.
#include "AtteinteReference.h"
#include "test_outil_carte_aide.h"

#include "analyse/Coeurs.h"
#include "analyse/Contexte.h"

#include <random>

using namespace EssaisOutilCarte;
using AnalyseCarte::OptionsAtteinte;
using AnalyseCarte::ResultatAtteinte;

namespace
{
    struct Trois
    {
        ResultatAtteinte Reference;
        ResultatAtteinte Un;   // one thread
        ResultatAtteinte Deux; // two threads
    };

    Trois Chercher(const std::string& contenu, OptionsAtteinte options)
    {
        AnalyseCarte::ContexteJeu contexte;
        AnalyseCarte::ContexteJeu::ChargerNiveau(contenu);
        Trois t;
        t.Reference = AtteinteReference::Explorer(options);
        options.Fils = 1;
        t.Un = AnalyseCarte::Explorer(options);
        options.Fils = 2;
        t.Deux = AnalyseCarte::Explorer(options);
        return t;
    }

    // The answers of two searches: the cells reached (corner and box), so
    // every bonus verdict; the states kept; the way to a target.
    void Comparer(const ResultatAtteinte& a, const ResultatAtteinte& b)
    {
        EXPECT_EQ(a.Complete, b.Complete);
        EXPECT_EQ(a.Largeur, b.Largeur);
        EXPECT_EQ(a.Hauteur, b.Hauteur);
        EXPECT_TRUE(a.Coin == b.Coin) << "the cells the corner entered differ";
        EXPECT_TRUE(a.Boite == b.Boite) << "the cells the box overlapped differ";
        EXPECT_EQ(a.Etats, b.Etats);
        EXPECT_EQ(a.CibleAtteinte, b.CibleAtteinte);
        ASSERT_EQ(a.Chemin.size(), b.Chemin.size());
        for (size_t i = 0; i < a.Chemin.size(); ++i)
        {
            EXPECT_EQ(a.Chemin[i].Pas, b.Chemin[i].Pas) << "piece " << i;
            for (int t = 0; t < 4; ++t)
                EXPECT_EQ(a.Chemin[i].Touches[t], b.Chemin[i].Touches[t]) << "piece " << i;
        }
    }

    void ComparerTout(const std::string& contenu, const OptionsAtteinte& options = OptionsAtteinte())
    {
        const Trois t = Chercher(contenu, options);
        {
            SCOPED_TRACE("one thread");
            Comparer(t.Reference, t.Un);
        }
        {
            SCOPED_TRACE("two threads");
            Comparer(t.Reference, t.Deux);
        }
    }

    // A closed random level: solid edges, then walls, water, slopes, hills
    // and bonuses strewn inside, the start on an empty cell.
    std::string NiveauAuHasard(std::mt19937& hasard)
    {
        std::uniform_int_distribution<int> largeur(10, 20);
        std::uniform_int_distribution<int> hauteur(7, 11);
        const int l = largeur(hasard);
        const int h = hauteur(hasard);
        const std::string tuiles = "bbbbbBBCCSsPpDd12345678";
        std::uniform_int_distribution<int> de(0, 99);
        std::uniform_int_distribution<int> tuile(0, static_cast<int>(tuiles.size()) - 1);
        std::vector<std::string> lignes(static_cast<size_t>(h), std::string(static_cast<size_t>(l), ' '));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < l; ++x)
            {
                char& c = lignes[static_cast<size_t>(y)][static_cast<size_t>(x)];
                if (x == 0 || y == 0 || x == l - 1 || y == h - 1)
                    c = 'b';
                else if (de(hasard) < 35)
                    c = tuiles[static_cast<size_t>(tuile(hasard))];
            }
        std::uniform_int_distribution<int> colonne(1, l - 2);
        std::uniform_int_distribution<int> rangee(1, h - 3);
        const int dx = colonne(hasard);
        const int dy = rangee(hasard);
        lignes[static_cast<size_t>(dy)][static_cast<size_t>(dx)] = ' ';
        lignes[static_cast<size_t>(dy + 1)][static_cast<size_t>(dx)] = 'b';
        std::string texte = "[Infos]\nHauteur=" + std::to_string(h) + "\nLargeur=" + std::to_string(l) +
                            "\nPosDebutX=" + std::to_string(dx + 1) + "\nPosDebutY=" + std::to_string(dy + 1) +
                            "\n[Map]\n";
        for (const std::string& ligne : lignes)
            texte += ligne + "\n";
        return texte;
    }
}

TEST(AtteinteRapide, SameAnswersOnTheShippedLevel)
{
    ComparerTout(Lire(NiveauLivre()).Contenu);
}

TEST(AtteinteRapide, SameAnswersOnTheTestLevels)
{
    const char* const fichiers[] = {"atteinte/puits.map",    "atteinte/marche-2.map", "atteinte/marche-3.map",
                                    "atteinte/marche-4.map", "atteinte/marche-5.map", "atteinte/fosse-1.map",
                                    "atteinte/fosse-2.map",  "atteinte/fosse-3.map",  "verification/bonus.map"};
    for (const char* f : fichiers)
    {
        SCOPED_TRACE(f);
        ComparerTout(Lire(Donnees(f)).Contenu);
    }
}

TEST(AtteinteRapide, SameAnswersOnRandomLevels)
{
    // Fewer in the sanitized build, where the searches run ten times slower.
#if defined(__SANITIZE_ADDRESS__)
    const int niveaux = 8;
#else
    const int niveaux = 30;
#endif
    std::mt19937 hasard(20261208u);
    for (int i = 0; i < niveaux; ++i)
    {
        const std::string niveau = NiveauAuHasard(hasard);
        SCOPED_TRACE(niveau);
        ComparerTout(niveau);
        if (HasFailure())
            return;
    }
}

TEST(AtteinteRapide, SameWaysAndSameBoundsOnTheShippedLevel)
{
    const std::string niveau = Lire(NiveauLivre()).Contenu;
    // A far cell, a near one, and one out of reach (solid); the near one
    // alone in the sanitized build, where the searches run ten times slower.
    const int cellules[][2] = {{8, 20}, {63, 22}, {0, 0}};
#if defined(__SANITIZE_ADDRESS__)
    const size_t nombre = 1;
#else
    const size_t nombre = 3;
#endif
    for (size_t i = 0; i < nombre; ++i)
    {
        const auto& c = cellules[i];
        SCOPED_TRACE(std::to_string(c[0]) + "," + std::to_string(c[1]));
        OptionsAtteinte options;
        options.CibleColonne = c[0];
        options.CibleLigne = c[1];
        ComparerTout(niveau, options);
    }
    // Stopped by the bound of states: the same states kept.
    OptionsAtteinte peu;
    peu.EtatsMax = 5000;
    ComparerTout(niveau, peu);
}

// The second thread only when a core is free for it at the start: the caller
// counts itself among the threads the kernel reports running.
TEST(AtteinteRapide, SecondThreadOnlyWithAFreeCore)
{
    using AnalyseCarte::FilsSelonCharge;
    EXPECT_EQ(FilsSelonCharge(1, 1), 1);   // one core
    EXPECT_EQ(FilsSelonCharge(2, 1), 2);   // only the caller runs
    EXPECT_EQ(FilsSelonCharge(2, 0), 2);   // a count taken between two ticks
    EXPECT_EQ(FilsSelonCharge(2, 2), 1);   // another thread takes the other core
    EXPECT_EQ(FilsSelonCharge(4, 3), 2);
    EXPECT_EQ(FilsSelonCharge(4, 4), 1);
    EXPECT_EQ(FilsSelonCharge(2, 40), 1);
    EXPECT_EQ(FilsSelonCharge(2, -1), 2);  // unknown: the first thread never waits long for it
    EXPECT_EQ(AnalyseCarte::FilsVoulus(1), 1);
    EXPECT_EQ(AnalyseCarte::FilsVoulus(5), 2);
    const int choisis = AnalyseCarte::FilsVoulus(0);
    EXPECT_TRUE(choisis == 1 || choisis == 2);
}
