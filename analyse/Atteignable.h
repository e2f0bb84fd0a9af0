#pragma once
// Where the player can go: a search over the character's states from the
// start cell (or from any state of the character), each step being the game's
// own movement step (CPerso::CalcDepl) under every combination of held arrow
// keys, followed by the game's death rule. Works on the level loaded in the
// global Map.
#include <cstddef>
#include <vector>

namespace AnalyseCarte
{
    // A state of the character to search from: what one movement step reads.
    struct EtatDepart
    {
        int X = 0;            // top-left corner of the character's square, map pixels
        int Y = 0;
        double VX = 0.0;      // speeds, pixels per 5 ms step
        double VY = 0.0;
        int Etat = 1;         // CPerso::Immobile .. CPerso::Accroche
        int DebutChute = 0;   // height at which the current fall began
        // Milliseconds before a jump in the air is allowed, counted from the
        // step before the first one (0 to 1000; 0: allowed at the first step).
        int Delai = 0;
        int Vie = 1000;       // life (followed only with OptionsAtteinte::SuivreVie)
    };

    struct OptionsAtteinte
    {
        size_t EtatsMax = 2000000;  // character states kept at most
        double SecondesMax = 30.0;  // time spent at most
        // A cell to find a way to (column and row from 0), or -1: the search
        // then stops as soon as the top-left corner of the character's square
        // enters that cell, and gives the keys that took it there.
        int CibleColonne = -1;
        int CibleLigne = -1;
        // More cells to stop at, one byte per cell (index colonne * Hauteur +
        // ligne, non-zero: a target); empty: none. The first one reached wins.
        std::vector<unsigned char> Cibles;
        // Stop at the first death (the way back to the start through water
        // or a fall).
        bool CibleMort = false;
        // A target cell holding the start state counts as reached at once.
        bool ArriveeAuDepart = true;
        // Where to start: null, the level's start as the game places the
        // character; otherwise that state (not owned).
        const EtatDepart* Depart = nullptr;
        // Follow the character's life from the start state: damage from
        // falls adds up and kills when it takes the life left. Without it,
        // life is full at every step (a fall kills only when one fall takes
        // all of it).
        bool SuivreVie = false;
        // Threads that simulate the movement: 0, two when the machine has
        // two cores or more and one of them is free at the start of the
        // search, otherwise one (Coeurs.h); at most 2. The answers are the
        // same whatever the number.
        int Fils = 0;
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
        size_t Pas = 0;             // movement steps simulated (a step that
                                    // leaves the character as it was is run once)
        double Millisecondes = 0.0;
        int Largeur = 0;            // grid searched, in cells
        int Hauteur = 0;
        // Per cell, index colonne * Hauteur + ligne:
        // the top-left corner of the character's square lay in the cell (this
        // is where the game looks for a bonus to take);
        std::vector<unsigned char> Coin;
        // the character's collision box overlapped the cell.
        std::vector<unsigned char> Boite;

        // With a target: whether it was reached, the cell the corner entered
        // (or -1 when it was reached by a death), and the keys held on the way.
        bool CibleAtteinte = false;
        int ArriveeColonne = -1;
        int ArriveeLigne = -1;
        bool ParMort = false;
        std::vector<TouchesTenues> Chemin;

        bool CoinVisite(int colonne, int ligne) const;
        bool BoiteVisitee(int colonne, int ligne) const;
    };

    // Explores from the start cell of the global level (or options.Depart).
    // The level, the clock and the characters must be those of a
    // ContexteJeu: the search freezes the clock and uses characters of its own.
    ResultatAtteinte Explorer(const OptionsAtteinte& options);
}
