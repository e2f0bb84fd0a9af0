#pragma once
// What the live check of the level gives the editor to draw, computed without
// a window: the findings placed at their cells (markers, their messages, the
// list), the cells the character can reach, the bonuses nobody can take, and
// the status line's words for the check.
#include "analyse/AnalyseVivante.h"

#include <string>
#include <vector>

namespace Edition
{
    // A finding that concerns a cell of the level.
    struct Marque
    {
        int Colonne = 0;  // from 0, as the editor counts cells
        int Ligne = 0;
        bool Grave = true;  // a warning; false for a note
        std::string Genre;
        std::string Message;
    };

    // The findings of `rapport` that lie on a cell of a `largeur` x `hauteur`
    // level, in the report's order. None when the report speaks of a grid of
    // another size (a report older than a resize).
    std::vector<Marque> Marques(const AnalyseCarte::Rapport& rapport, int largeur, int hauteur);

    // The indices in `marques` of those at a cell.
    std::vector<size_t> MarquesEn(const std::vector<Marque>& marques, int colonne, int ligne);

    // The reachability overlay.
    struct Atteinte
    {
        enum Cellule : unsigned char
        {
            Inconnue,    // no search, or a report about another grid
            Traversee,   // the character's box passed over it
            NonAtteinte  // an open cell the search never reached
        };
        struct BonusPerdu
        {
            int Colonne = 0;  // from 0
            int Ligne = 0;
            bool Enfoui = false;  // walled in or inside solid tiles; else unreachable
        };
        int Largeur = 0;
        int Hauteur = 0;
        std::vector<unsigned char> Cellules;  // row after row, like Niveau::Cases
        std::vector<BonusPerdu> Perdus;
        bool Recherche = false;  // the search ran
        bool Partielle = false;  // it stopped at its bound: unreached cells may be reachable

        Cellule En(int colonne, int ligne) const
        {
            if (colonne < 0 || ligne < 0 || colonne >= Largeur || ligne >= Hauteur)
                return Inconnue;
            return static_cast<Cellule>(Cellules[static_cast<size_t>(ligne) * Largeur + colonne]);
        }
    };
    Atteinte AtteinteDe(const AnalyseCarte::Rapport& rapport, int largeur, int hauteur);

    // The status line's words for the check: "checking...", "3 findings",
    // "partial" when the search hit a bound, "check failed: ..." with the reason.
    // `aJour`: the last result is that of the level as it is now.
    std::string TexteAnalyse(AnalyseCarte::AnalyseVivante::Etat etat, const AnalyseCarte::Rapport& rapport,
                             bool aJour, const std::string& erreur);
}
