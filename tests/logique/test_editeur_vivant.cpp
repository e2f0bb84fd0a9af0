// What the editor makes of the live check (markers, the reachability overlay,
// the status words) and its autotile tool on the editor's level, without a window.
#include <gtest/gtest.h>

#include "aide/Aide.h"
#include "analyse/Verification.h"
#include "editeur/Calques.h"
#include "editeur/Document.h"
#include "editeur/Fichier.h"
#include "editeur/Peinture.h"

#include <random>

using namespace Edition;
using AnalyseCarte::AnalyseVivante;

namespace
{
    // A room split by a wall up to the ceiling (column 7): the start on the
    // left, a life 50 bonus on the right at column 12, row 8 (from 1).
    Niveau Piece(bool mur)
    {
        const char* lignes[] = {"mbbbbbbbbbbbbbbM", "m              M", "m              M", "m              M",
                                "m              M", "m              M", "m              M", "m          2   M",
                                "mBBBBBBBBBBBBBBM", "mbbbbbbbbbbbbbbM"};
        Niveau n;
        n.Largeur = 16, n.Hauteur = 10, n.DebutX = 2, n.DebutY = 8;
        for (const char* l : lignes)
            n.Cases.insert(n.Cases.end(), l, l + 16);
        if (mur)
            for (int l = 1; l < 8; ++l)
                n.Cases[n.Indice(6, l)] = 'M';
        return n;
    }

    AnalyseCarte::Rapport Analyse(const Niveau& n, size_t etatsMax = AnalyseCarte::OptionsAtteinte().EtatsMax)
    {
        AnalyseCarte::OptionsVerification options;
        options.Atteinte.EtatsMax = etatsMax;
        return AnalyseCarte::AnalyserTexte(EcrireCarte(n, FormatFichier()), options);
    }
}

TEST(EditeurVivant, FindingsBecomeMarkersAtTheirCellsAndTheOverlayShadesWhatTheCharacterReaches)
{
    // Open room: no marker, the bonus's cell reached, no bonus lost.
    const AnalyseCarte::Rapport ouvert = Analyse(Piece(false));
    const Atteinte a0 = AtteinteDe(ouvert, 16, 10);
    EXPECT_TRUE(a0.Recherche);
    EXPECT_FALSE(a0.Partielle);
    EXPECT_TRUE(MarquesEn(Marques(ouvert, 16, 10), 11, 7).empty());
    EXPECT_EQ(a0.En(11, 7), Atteinte::Traversee);
    EXPECT_TRUE(a0.Perdus.empty());

    // The wall cuts the bonus off: a warning marker on its cell (from 0), the
    // bonus lost, the left side reached, the right side open and not reached,
    // the wall itself neither.
    const AnalyseCarte::Rapport coupe = Analyse(Piece(true));
    const std::vector<Marque> marques = Marques(coupe, 16, 10);
    const std::vector<size_t> ici = MarquesEn(marques, 11, 7);
    ASSERT_FALSE(ici.empty());
    EXPECT_TRUE(marques[ici[0]].Grave);
    EXPECT_EQ(marques[ici[0]].Genre, "bonus-unreachable");
    EXPECT_NE(marques[ici[0]].Message.find("column 12, row 8"), std::string::npos) << marques[ici[0]].Message;
    for (const AnalyseCarte::Constat& c : coupe.Constats)
    {
        if (c.CaseColonne > 0)
        {
            EXPECT_FALSE(MarquesEn(marques, c.CaseColonne - 1, c.CaseLigne - 1).empty()) << c.Message;
        }
    }
    const Atteinte a = AtteinteDe(coupe, 16, 10);
    EXPECT_EQ(a.En(1, 7), Atteinte::Traversee);
    EXPECT_EQ(a.En(11, 7), Atteinte::NonAtteinte);
    EXPECT_EQ(a.En(6, 5), Atteinte::Inconnue);
    EXPECT_EQ(a.En(-1, 0), Atteinte::Inconnue);
    EXPECT_EQ(a.En(16, 0), Atteinte::Inconnue);
    ASSERT_EQ(a.Perdus.size(), 1u);
    EXPECT_EQ(a.Perdus[0].Colonne, 11);
    EXPECT_EQ(a.Perdus[0].Ligne, 7);
    EXPECT_FALSE(a.Perdus[0].Enfoui);
    // Cell by cell, the overlay says what the report's grid says.
    for (int c = 0; c < 16; ++c)
        for (int l = 0; l < 10; ++l)
            EXPECT_EQ(a.En(c, l) == Atteinte::Traversee, (coupe.EtatDe(c + 1, l + 1) & AnalyseCarte::CaseTraversee) != 0);

    // A report of a level of another size (older than a resize) gives nothing.
    EXPECT_TRUE(Marques(coupe, 17, 10).empty());
    EXPECT_EQ(AtteinteDe(coupe, 16, 11).Largeur, 0);
    EXPECT_EQ(AtteinteDe(coupe, 16, 11).En(1, 7), Atteinte::Inconnue);

    // Stopped at a bound: partial, and no bonus called lost.
    const AnalyseCarte::Rapport borne = Analyse(Piece(true), 50);
    const Atteinte p = AtteinteDe(borne, 16, 10);
    EXPECT_TRUE(p.Partielle);
    EXPECT_TRUE(p.Perdus.empty());
    EXPECT_NE(TexteAnalyse(AnalyseVivante::Etat::Prete, borne, true, "").find("partial"), std::string::npos);
}

TEST(EditeurVivant, TheStatusLineSaysWhetherTheCheckRunsFoundSomethingOrFailed)
{
    const AnalyseCarte::Rapport coupe = Analyse(Piece(true));
    const AnalyseCarte::Rapport ouvert = Analyse(Piece(false));
    const std::string n = std::to_string(coupe.Avertissements());
    EXPECT_EQ(TexteAnalyse(AnalyseVivante::Etat::Prete, coupe, true, ""), n + " findings");
    EXPECT_EQ(TexteAnalyse(AnalyseVivante::Etat::Prete, ouvert, true, ""), "no findings");
    // Running again: the last count stays, said to be stale.
    EXPECT_EQ(TexteAnalyse(AnalyseVivante::Etat::EnCours, coupe, false, ""), "checking... " + n + " findings");
    EXPECT_EQ(TexteAnalyse(AnalyseVivante::Etat::EnCours, AnalyseCarte::Rapport(), false, ""), "checking...");
    EXPECT_EQ(TexteAnalyse(AnalyseVivante::Etat::Echec, coupe, false, "the check was killed by signal 9"),
              "check failed: the check was killed by signal 9");
}

TEST(EditeurVivant, AutotileOnTheLevelFitsTheSameTilesAsOnTheWholeGridAndUndoesAsOneStroke)
{
    const Ouverture o = OuvrirCarte(std::string(CORVELLA_RACINE_SOURCES) + "/Data/Maps/Map1.map");
    ASSERT_TRUE(o.Reussi) << o.Erreur;
    const Niveau& n = o.Carte;
    // The editor paints in a window around the cell: the same changes as the
    // rules applied to the whole grid (the plain wall written as 'M').
    std::mt19937 hasard(14);
    for (int essai = 0; essai < 300; ++essai)
    {
        const int c = std::uniform_int_distribution<int>(0, n.Largeur - 1)(hasard);
        const int l = std::uniform_int_distribution<int>(0, n.Hauteur - 1)(hasard);
        const Autotuile::Matiere m = Matieres()[static_cast<size_t>(essai) % Matieres().size()];
        Autotuile::Grille grille(static_cast<size_t>(n.Largeur), std::vector<signed char>(static_cast<size_t>(n.Hauteur)));
        for (int x = 0; x < n.Largeur; ++x)
            for (int y = 0; y < n.Hauteur; ++y)
                grille[static_cast<size_t>(x)][static_cast<size_t>(y)] = static_cast<signed char>(CodeDeCase(n.Case(x, y)));
        Niveau attendu = n;
        for (const Autotuile::Changement& k : Autotuile::Peindre(grille, {{c, l}}, m))
            attendu.Cases[attendu.Indice(k.Colonne, k.Ligne)] = k.Apres == 4 ? 'M' : CaractereDeCode(k.Apres);
        if (BonusDeCase(n.Case(c, l)) != 0 && m == Autotuile::Matiere::Vide)
            attendu.Cases[attendu.Indice(c, l)] = ' ';
        Niveau obtenu = n;
        for (const CaseChangee& k : Autotuiler(n, c, l, m))
            obtenu.Cases[obtenu.Indice(k.Colonne, k.Ligne)] = k.Caractere;
        ASSERT_EQ(obtenu, attendu) << "cell " << c << "," << l << " material " << NomMatiere(m);
    }

    // A wall painted down the room in one stroke: wall tiles only in that
    // column and around it, the bonus untouched; one undo restores the room.
    Document d(Piece(false));
    d.DebutTrait();
    for (int l = 1; l < 8; ++l)
        for (const CaseChangee& k : Autotuiler(d.Courant(), 6, l, Autotuile::Matiere::Mur))
            d.PeindreCase(k.Colonne, k.Ligne, k.Caractere);
    d.FinTrait();
    Autotuile::Matiere m;
    for (int l = 1; l < 8; ++l)
        EXPECT_TRUE(MatiereDeCase(d.Courant().Case(6, l), m) && m == Autotuile::Matiere::Mur) << l;
    EXPECT_EQ(d.Courant().Case(11, 7), '2');
    EXPECT_EQ(d.Courant().Case(1, 5), ' ');
    ASSERT_TRUE(d.Annuler());
    EXPECT_EQ(d.Courant(), Piece(false));
    EXPECT_FALSE(d.PeutAnnuler());

    // Ground painted on the bonus takes its place; at the level's edge the
    // tool changes only what the rules cover; a bonus is no material.
    const std::vector<CaseChangee> surBonus = Autotuiler(Piece(false), 11, 7, Autotuile::Matiere::Sol);
    ASSERT_FALSE(surBonus.empty());
    bool bonusRemplace = false;
    for (const CaseChangee& k : surBonus)
        bonusRemplace |= k.Colonne == 11 && k.Ligne == 7 && MatiereDeCase(k.Caractere, m) && m == Autotuile::Matiere::Sol;
    EXPECT_TRUE(bonusRemplace);
    EXPECT_TRUE(Autotuiler(Piece(false), 16, 0, Autotuile::Matiere::Sol).empty());
    EXPECT_FALSE(MatiereDeCase('2', m));
    EXPECT_FALSE(MatiereDeCase(CaseNonDefinie, m));
    EXPECT_FALSE(MatiereDeCase('p', m));
}
