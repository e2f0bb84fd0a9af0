#pragma once
// The game's frame without the drawing, on the level loaded in the globals (a
// ContexteJeu): the character's own per-frame pieces as CPerso::DessinePerso
// runs them (AvanceDepl, AvanceAnim, PrendBonus, VerifieMort, VerifieRetour),
// under a frozen clock that moves 5 ms a frame, so that a frame runs one
// movement step. What a route is confirmed with: the route's keys run through
// this are what the game does with them.
#include "main/Globales.h"

#include <vector>

namespace AnalyseCarte
{
    // What a frame did, beside moving the character.
    struct Evenements
    {
        bool Saut = false;      // a jump (from the ground, in the air, off a ledge)
        bool Accroche = false;  // grabbed a ledge
        bool Lache = false;     // let go of a ledge (down)
        bool Mort = false;      // died
        bool Retour = false;    // came back at the start
        int Prise = 0;          // type of the bonus taken, 0 for none
        int PriseColonne = -1;  // its cell, from 0
        int PriseLigne = -1;
    };

    class PartieRejouee
    {
    public:
        // Clock when the level is loaded, as `replay` sets it.
        static const Uint32 Debut = 100000;

        // A game from the level's start, the player placed as the loader
        // places it.
        PartieRejouee();
        // A game in progress: the character as it is, the clock at `horloge`
        // for the next frame; the bonuses lying are those of the level loaded.
        PartieRejouee(const CPerso& perso, Uint32 horloge);

        // Runs the next frame with these keys held (bit CPerso::ToucheHaut ..
        // ToucheDroite), and says what happened.
        Evenements Trame(unsigned touches);

        // Frames run so far; the next one runs at Trames() x 5 ms.
        long long Trames() const { return trames_; }
        const CPerso& Perso() const { return perso_; }
        // The clock of the next frame.
        Uint32 Horloge() const { return debut_ + static_cast<Uint32>(trames_ * 5); }
        // True when the next frame runs exactly one movement step and the
        // character is alive: what the search starts from.
        bool Reguliere() const;

        struct Instantane
        {
            CPerso Perso;
            std::vector<CMap::CBonus> Bonus;
            long long Trames = 0;
        };
        Instantane Garder() const;
        void Reprendre(const Instantane& i);

    private:
        CPerso perso_;
        Uint32 debut_;
        long long trames_ = 0;
    };
}
