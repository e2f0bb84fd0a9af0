// The desktop side of the page's frame-rate figure: the game loaded in an
// 800x600 window and its loop run for the seconds given, with its own pacing;
// prints the frames drawn per second of the game's clock.
//     corvella-cadence-bureau SECONDS   (run from the build folder)
#include "../../main/BoucleJeu.h"
#include "../../main/Globales.h"
#include "../../outils/Horloge.h"

#include <SDL.h>
#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    const long secondes = argc == 2 ? std::strtol(argv[1], nullptr, 10) : 0;
    if (secondes <= 0 || secondes > 600)
    {
        std::fprintf(stderr, "usage: %s SECONDS\n", argv[0]);
        return 2;
    }
    if (SDL_Init(0) < 0 || Moteur.Init(false, "Corvella") < 0)
    {
        std::fprintf(stderr, "no window\n");
        return 1;
    }
    ChargeJeu();
    EtatPause pause = {0, 0};
    // The fade-in's second first, then the frames counted.
    const Uint32 debut = Horloge::Ticks();
    while (Horloge::Ticks() - debut < 1000)
    {
        TraiteEvenements(pause);
        DessineScene(pause);
        Moteur.FinDessin();
    }
    const Uint32 t0 = Horloge::Ticks();
    long images = 0;
    while (Horloge::Ticks() - t0 < static_cast<Uint32>(secondes * 1000))
    {
        TraiteEvenements(pause);
        DessineScene(pause);
        Moteur.FinDessin();
        ++images;
    }
    const Uint32 duree = Horloge::Ticks() - t0;
    std::printf("%ld frames in %u ms: %.1f frames/s\n", images, duree, images * 1000.0 / duree);
    SDL_Quit();
    return 0;
}
