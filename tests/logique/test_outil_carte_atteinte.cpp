// corvella-carte's reachability search against what the character is known to
// reach on purpose-made levels (tests/donnees/carte/atteinte), the ways it
// finds replayed through the game's own frame logic, and its bounds.
#include "test_outil_carte_aide.h"

#include "carte/Rejeu.h"
#include "main/Globales.h"

#include <sstream>

using namespace EssaisOutilCarte;
using OutilCarte::Rapport;

namespace
{
    struct Cas
    {
        const char* Fichier;
        bool Atteint;  // the one bonus of the level can be taken
        int Colonne;   // its cell, from 0
        int Ligne;
    };

    const Cas Niveaux[] = {
        {"puits.map", true, 9, 8},     // down a one-tile shaft
        {"marche-2.map", true, 7, 6},  // a plain jump
        {"marche-3.map", true, 7, 5},  // a jump and a ledge grab
        {"marche-4.map", true, 7, 4},  // a faster jump, lifted by the walk, then a grab
        {"marche-5.map", false, 7, 3}, // too high
        {"fosse-1.map", true, 10, 5},  // one tile of water
        {"fosse-2.map", true, 12, 5},  // two tiles: a take-off within 20 px of the edge
        {"fosse-3.map", false, 12, 5}, // three tiles: too wide
    };

    // The time of the first line of a replay holding `texte`, or -1.
    long long Temps(const std::string& rejeu, const std::string& texte)
    {
        std::istringstream flux(rejeu);
        std::string ligne;
        while (std::getline(flux, ligne))
            if (ligne.find(texte) != std::string::npos)
                return std::atoll(ligne.c_str() + 2);
        return -1;
    }
}

TEST(OutilCarteAtteinte, KnownReachesOfTheCharacter)
{
    for (const Cas& cas : Niveaux)
    {
        SCOPED_TRACE(cas.Fichier);
        const Rapport r = Verifier(Donnees(std::string("atteinte/") + cas.Fichier));
        EXPECT_TRUE(r.RechercheComplete);
        if (cas.Atteint)
            EXPECT_TRUE(r.Constats.empty()) << OutilCarte::EnTexte(r, cas.Fichier);
        else
        {
            EXPECT_EQ(Genres(r), (std::vector<std::string>{"bonus-unreachable"})) << OutilCarte::EnTexte(r, cas.Fichier);
            EXPECT_NE(Message(r, "bonus-unreachable").find(
                          "column " + std::to_string(cas.Colonne + 1) + ", row " + std::to_string(cas.Ligne + 1)),
                      std::string::npos);
        }
    }
}

TEST(OutilCarteAtteinte, TheWayFoundTakesTheBonusWhenReplayed)
{
    // The search and the replay run the same movement: the keys of the way,
    // replayed frame by frame, take the bonus at the very end of the replay.
    for (const Cas& cas : Niveaux)
    {
        SCOPED_TRACE(cas.Fichier);
        const OutilCarte::TexteCarte carte = Lire(Donnees(std::string("atteinte/") + cas.Fichier));
        const OutilCarte::ResultatAtteinte chemin =
            OutilCarte::ChercherChemin(carte, cas.Colonne, cas.Ligne, OutilCarte::OptionsAtteinte());
        EXPECT_EQ(chemin.CibleAtteinte, cas.Atteint);
        if (!cas.Atteint)
        {
            EXPECT_TRUE(chemin.Complete);
            continue;
        }
        const std::string entrees = OutilCarte::EntreesDeChemin(chemin.Chemin);
        OutilCarte::Entrees lues;
        std::string erreur;
        ASSERT_TRUE(OutilCarte::LireEntrees(entrees, lues, erreur)) << erreur << "\n" << entrees;
        OutilCarte::OptionsRejeu options;
        options.Tous = 0;
        const std::string rejeu = OutilCarte::Rejouer(carte, lues, options);
        const long long prise = Temps(rejeu, "pick up");
        EXPECT_EQ(prise, lues.Fin) << entrees << rejeu;
        EXPECT_EQ(Temps(rejeu, "death"), -1) << rejeu;
    }
}

TEST(OutilCarteAtteinte, TheWayToTheStartCellIsEmpty)
{
    const OutilCarte::TexteCarte carte = Lire(Donnees("atteinte/fosse-1.map"));
    const OutilCarte::ResultatAtteinte chemin = OutilCarte::ChercherChemin(carte, 1, 5, OutilCarte::OptionsAtteinte());
    EXPECT_TRUE(chemin.CibleAtteinte);
    EXPECT_TRUE(chemin.Chemin.empty());
    EXPECT_EQ(OutilCarte::EntreesDeChemin(chemin.Chemin), "0 end\n");
}

TEST(OutilCarteAtteinte, BoundsStopTheSearchAndSaySo)
{
    const OutilCarte::TexteCarte carte = Lire(Donnees("verification/bonus.map"));
    OutilCarte::OptionsVerification options;
    options.Atteinte.EtatsMax = 40;
    Rapport r = OutilCarte::Verifier(carte, options);
    EXPECT_FALSE(r.RechercheComplete);
    EXPECT_EQ(r.Etats, 40u);
    // Nothing is called unreachable on an unfinished search.
    EXPECT_EQ(Genres(r), (std::vector<std::string>{"search-bound", "bonus-buried"}));
    EXPECT_NE(Message(r, "search-bound").find("--max-states"), std::string::npos);

    options.Atteinte.EtatsMax = 1000000;
    options.Atteinte.SecondesMax = -1; // already past
    r = OutilCarte::Verifier(carte, options);
    EXPECT_FALSE(r.RechercheComplete);
    EXPECT_NE(Message(r, "search-bound").find("--max-seconds"), std::string::npos);
}

TEST(OutilCarteAtteinte, ACellOutOfReachOrBeyondTheBoundHasNoWay)
{
    const OutilCarte::TexteCarte carte = Lire(Donnees("verification/bonus.map"));
    OutilCarte::ResultatAtteinte r = OutilCarte::ChercherChemin(carte, 2, 6, OutilCarte::OptionsAtteinte());
    EXPECT_FALSE(r.CibleAtteinte);
    EXPECT_TRUE(r.Complete);
    EXPECT_TRUE(r.Chemin.empty());
    OutilCarte::OptionsAtteinte peu;
    peu.EtatsMax = 5;
    r = OutilCarte::ChercherChemin(carte, 5, 4, peu);
    EXPECT_FALSE(r.CibleAtteinte);
    EXPECT_FALSE(r.Complete);
}

TEST(OutilCarteAtteinte, TheToolPrintsAWayAsReplayInputs)
{
    if (!OutilPresent())
        GTEST_SKIP() << "./corvella-carte is not in the working folder";
    std::string sortie;
    const std::string marche = Guillemets(Donnees("atteinte/marche-3.map"));
    ASSERT_EQ(Lancer("path " + marche + " 8 6", &sortie), 0);
    EXPECT_EQ(sortie.rfind("# keys that bring the character into column 8, row 6", 0), 0u) << sortie;
    OutilCarte::Entrees lues;
    std::string erreur;
    EXPECT_TRUE(OutilCarte::LireEntrees(sortie, lues, erreur)) << erreur;
    EXPECT_TRUE(lues.FinDonnee);
    EXPECT_EQ(Lancer("path " + Guillemets(Donnees("atteinte/marche-5.map")) + " 8 4"), 1);
    EXPECT_EQ(Lancer("path " + marche + " 0 6"), 2);
    EXPECT_EQ(Lancer("path " + marche + " 8"), 2);
}
