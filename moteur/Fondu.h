#pragma once
// Pure arithmetic of the frame bracket: the fade overlay colour at a given tick
// and the pacing delay chosen from the measured frame rate.
#include <SDL.h>

struct CouleurFondu
{
    unsigned char Rouge, Vert, Bleu, Alpha;
};

// Overlay colour at tick `maintenant` of a fade running from `debut` to `fin`
// (debut <= maintenant <= fin). The colours are stored blue, green, red, alpha.
// A fade whose start equals its end shows its end colour.
CouleurFondu CalculeFondu(Uint32 debut, Uint32 fin, Uint32 maintenant,
                          const unsigned char couleurFin[4], const unsigned char couleurDebut[4]);

// What a fade does at tick `maintenant`: nothing yet, draw its colour, or end
// (nothing drawn, the fade forgotten). Past its end a fade ends, unless it is
// held and its end colour shows (alpha above 0): it then keeps drawing that
// colour until another fade replaces it.
enum class PhaseFondu
{
    Attente,
    Dessin,
    Fin
};
PhaseFondu PhaseDuFondu(Uint32 debut, Uint32 fin, Uint32 maintenant, bool tenir,
                        const unsigned char couleurFin[4]);

// Milliseconds slept after each buffer swap for a measured frame rate.
Uint32 DelaiPacing(Uint32 fps);
