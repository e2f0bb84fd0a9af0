#pragma once
// The game keeps its level, its characters and its clock in globals: the tool
// loads a level into them exactly as the game does, and puts back what was
// there when it is done (the tests share these globals with others).
#include "main/Globales.h"

#include <string>

namespace AnalyseCarte
{
    class ContexteJeu
    {
    public:
        // Saves the level, the characters, the pause flag, the fade and the
        // clock, and starts from an empty level, as a fresh game does.
        ContexteJeu();
        // Puts them all back.
        ~ContexteJeu();
        ContexteJeu(const ContexteJeu&) = delete;
        ContexteJeu& operator=(const ContexteJeu&) = delete;

        // Fills the global level from a map text (CR LF already read as LF)
        // with the game's own parser, on a level as fresh as the game's.
        static void ChargerNiveau(const std::string& contenu);
        // What the loader does after parsing: the character list holds one
        // player, placed on the start cell at the frozen time `maintenant`.
        // The player is made 5 ms earlier, as the game makes it before loading
        // its sprites; the sprites themselves are not loaded (that needs a
        // window and changes nothing of the movement). Returns it.
        static CPerso& CreerJoueur(Uint32 maintenant);

    private:
        // Swaps the game's level and characters with the ones kept here.
        void Echanger();

        CMap carte_;
        std::vector<CPerso> personnages_;
        bool pause_;
        bool fonduActif_;
        Uint32 debutFondu_;
        Uint32 finFondu_;
        unsigned char couleurFinFondu_[4];
        unsigned char couleurDebutFondu_[4];
        bool horlogeFigee_;
        Uint32 temps_;
    };

    // Width and height of the grid the game really draws and queries: the
    // dimensions, within the columns and cells the grid holds.
    int LargeurEffective();
    int HauteurEffective();
    // True when a character may stand at some pixel of the cell.
    bool CodeOuvert(int code);
}
