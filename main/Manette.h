#pragma once
// Gamepads as SDL 1.2 numbers them on Linux: which button does what on each
// family of pads, and the left stick's dead zone. Pure computations, no window.
#include <SDL.h>

namespace Manette
{
    // How a pad numbers its buttons, told apart by its name and what it reports.
    enum Disposition
    {
        // Xbox pads through the kernel's event driver (xpad, xone): A B X Y,
        // LB RB, Back Start Guide, stick clicks; the d-pad is hat 0.
        DispositionXbox,
        // PlayStation pads (hid-sony, hid-playstation) and most other pads:
        // Cross Circle Triangle Square, L1 R1 L2 R2, Share Options PS, stick
        // clicks; the d-pad is hat 0.
        DispositionPlayStation,
        // Pads that SDL drives itself (its HIDAPI driver): buttons in SDL's
        // controller order A B X Y Back Guide Start, stick clicks, LB RB, then
        // the d-pad as buttons 11 to 14 and no hat.
        DispositionSDL
    };

    // What a button does: one of the player's key indices (CPerso::ToucheHaut
    // ... CPerso::ToucheDroite, held while the button is), or the pause.
    const int ActionAucune = -1;
    const int ActionPause = 4;

    struct LigneBoutons
    {
        Disposition Pad;
        int Bouton;
        int Action;
        const char* Nom; // what the button is called on the pad
    };

    // The whole mapping. No button quits.
    extern const LigneBoutons TableBoutons[];
    extern const int NbLignesBoutons;

    // The family of a pad from SDL's name for it and its counts of buttons and hats.
    Disposition DispositionPour(const char* nom, int nbBoutons, int nbChapeaux);
    // What a button does on a family of pads (ActionAucune for most).
    int ActionBouton(Disposition pad, int bouton);

    // The stick's dead zone, about a third of its travel, with hysteresis: a
    // direction is taken beyond SeuilEnfonce and let go only once the stick is
    // back within SeuilRelache, so a stick resting near the edge does not flicker.
    const int SeuilEnfonce = 12000;
    const int SeuilRelache = 9000;
    // Position of one stick axis: -1, 0 or +1, from the position before and the
    // axis value (-32768 to 32767).
    int PositionAxe(int avant, int valeur);
}
