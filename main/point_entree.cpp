// On Linux SDL 1.2 brings no start-up code that calls SDL_main: this is it.
// SDL is initialised without any subsystem, SDL_Quit is arranged for the exit,
// and the process exits with SDL_main's result.
#include "Globales.h"
#include "Memoire.h"

#include <SDL.h>
#include <cstdlib>

int main(int argc, char* argv[])
{
    // Before anything is allocated for the window and the images.
    PrepareTas(ReserveTas);
    // The game is played on a desktop. Without one, SDL would quietly fall back
    // to an invisible off-screen surface and the game would run unseen; ask for
    // the desktop drivers only, so that no display means no video mode. A
    // driver chosen by the player through SDL_VIDEODRIVER is left alone.
    setenv("SDL_VIDEODRIVER", "x11,wayland", 0);
    if (SDL_Init(0) < 0)
        return -1;
    std::atexit(SDL_Quit);
    return SDL_main(argc, argv);
}
