#pragma once
// The game's clock. Everything that needs the time asks Horloge::Ticks(), which
// is SDL_GetTicks() while the game runs. Tests freeze the clock with
// Horloge::FixerTemps() and move it on by hand, so nothing ever sleeps in a test.
#include <SDL.h>

namespace Horloge
{
    // Milliseconds since SDL started, or the test clock when one is set.
    Uint32 Ticks();
    // Sleeps for ms milliseconds (SDL_Delay); with a test clock it only records
    // the request and returns at once.
    void Attendre(Uint32 ms);

    // Test clock: freeze the time at t, then move it by hand.
    void FixerTemps(Uint32 t);
    void AvancerTemps(Uint32 ms);
    // Back to SDL's clock.
    void TempsReel();
    bool EstFige();
    // The last delay asked through Attendre (0 before the first).
    Uint32 DernierDelai();
}
