#pragma once
// Where the player can go: a search over the character's states from the
// start cell, each step being the game's own movement step (CPerso::CalcDepl)
// under every combination of held arrow keys, followed by the game's death
// rule. Works on the level loaded in the global Map.
#include <cstddef>
#include <vector>

namespace AnalyseCarte
{
    struct OptionsAtteinte
    {
        size_t EtatsMax = 2000000;  // character states kept at most
        double SecondesMax = 30.0;  // time spent at most
        // A cell to find a way to (column and row from 0), or -1: the search
        // then stops as soon as the top-left corner of the character's square
        // enters that cell, and gives the keys that took it there.
        int CibleColonne = -1;
        int CibleLigne = -1;
    };

    // Keys held for a number of 5 ms steps, from the start of the level.
    struct TouchesTenues
    {
        bool Touches[4] = {false, false, false, false}; // CPerso::ToucheHaut .. ToucheDroite
        int Pas = 0;
    };

    struct ResultatAtteinte
    {
        bool Complete = false;      // every reachable state was explored
        bool BorneEtats = false;    // stopped at OptionsAtteinte::EtatsMax
        bool BorneTemps = false;    // stopped at OptionsAtteinte::SecondesMax
        size_t Etats = 0;           // distinct states kept
        size_t Pas = 0;             // movement steps simulated
        double Millisecondes = 0.0;
        int Largeur = 0;            // grid searched, in cells
        int Hauteur = 0;
        // Per cell, index colonne * Hauteur + ligne:
        // the top-left corner of the character's square lay in the cell (this
        // is where the game looks for a bonus to take);
        std::vector<unsigned char> Coin;
        // the character's collision box overlapped the cell.
        std::vector<unsigned char> Boite;

        // With a target cell: whether it was reached, and the keys held on the way.
        bool CibleAtteinte = false;
        std::vector<TouchesTenues> Chemin;

        bool CoinVisite(int colonne, int ligne) const;
        bool BoiteVisitee(int colonne, int ligne) const;
    };

    // Explores from the start cell of the global level. The level, the clock
    // and the characters must be those of a ContexteJeu: the search freezes
    // the clock and uses a character of its own.
    ResultatAtteinte Explorer(const OptionsAtteinte& options);
}
