// Fuzz target: cursors from XPM arrays made of any lines.
#include "CibleCurseur.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Without a display SDL's dummy driver refuses every cursor, but the
    // planes still go through cursorFromXPM up to SDL's door.
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    SDL_Init(SDL_INIT_VIDEO);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* donnees, size_t taille)
{
    if (const char* faute = Fuzz::ExerceCurseur(donnees, taille))
    {
        std::fprintf(stderr, "cursor from XPM: %s\n", faute);
        std::abort();
    }
    return 0;
}
