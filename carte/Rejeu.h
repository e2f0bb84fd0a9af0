#pragma once
// corvella-carte replay: the game's movement run without a window from a file
// of timed key presses, printing the trajectory and what happens on the way.
//
// Input format, one instruction a line, '#' starts a comment:
//   <time_ms> +right        press a key (up, down, left, right)
//   <time_ms> -right        release it
//   <time_ms> +up -right    several changes at the same time
//   <time_ms> end           stop after the frame at that time
// Times count from the moment the level is loaded, in milliseconds.
#include "carte/Verification.h"

#include <string>
#include <vector>

namespace OutilCarte
{
    struct ChangementTouche
    {
        long long Temps = 0;  // ms
        int Touche = 0;       // CPerso::ToucheHaut .. ToucheDroite
        bool Appuye = false;
        int Ligne = 0;        // of the input file
    };

    struct Entrees
    {
        std::vector<ChangementTouche> Changements;  // in time order
        long long Fin = 0;                          // ms, time of the last frame run
        bool FinDonnee = false;                     // an "end" line was given
    };

    // Longest replay accepted, in ms (one hour of play).
    const long long DureeRejeuMax = 3600LL * 1000;

    // Reads the input text. False, with "line N: why" in `erreur`, when it
    // cannot be read. Without an "end" line the replay runs one second past
    // the last key change.
    bool LireEntrees(const std::string& texte, Entrees& entrees, std::string& erreur);

    struct OptionsRejeu
    {
        int Tous = 1;  // a trajectory line every N steps; 0: events only
    };

    // The input text that holds the keys of a path found by the reachability
    // search (OptionsAtteinte::CibleColonne), ending with the frame that
    // arrives.
    std::string EntreesDeChemin(const std::vector<TouchesTenues>& chemin);

    // Searches the level of a map text for a way to bring the top-left corner
    // of the character's square into the cell (column, row, from 0), which is
    // where a bonus lying there is taken. Gives the search's result, with the
    // keys of the way in Chemin when one is found. Uses and then restores the
    // game's globals.
    ResultatAtteinte ChercherChemin(const TexteCarte& carte, int colonne, int ligne, OptionsAtteinte options);

    // Replays the inputs on the level of a map text, one 5 ms frame at a time,
    // and returns the report. Uses and then restores the game's globals.
    std::string Rejouer(const TexteCarte& carte, const Entrees& entrees, const OptionsRejeu& options);
}
