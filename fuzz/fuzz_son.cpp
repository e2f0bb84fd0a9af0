// Fuzz target: any bytes as a sound file of the game.
#include "CibleSon.h"

#include <SDL.h>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // A mixer on SDL's dummy driver: the accepted files are decoded for real.
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    SDL_Init(0);
    Fuzz::MixeurFuzz().Ouvrir();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* donnees, size_t taille)
{
    if (const char* faute = Fuzz::ExerceSon(donnees, taille))
    {
        std::fprintf(stderr, "sound file: %s\n", faute);
        std::abort();
    }
    return 0;
}
