// The level editor's entry point in the browser. The page has mounted the
// designer's storage and chosen the level's file; the desktop editor's own
// main() (compiled as CorvellaEditeurMain) then runs as on the desktop, its
// frames handed to the browser by the engine's SDL_Delay (ASYNCIFY). When it
// returns, the page is told.
#include "../gl/GlWeb.h"

#include <SDL.h>
#include <emscripten.h>
#include <sys/stat.h>

int CorvellaEditeurMain(int argc, char* argv[]);

extern "C" {

static unsigned ImagesFinies = 0;

// Frames finished since the start, for the page's tests and measures.
EMSCRIPTEN_KEEPALIVE unsigned CorvellaImages()
{
    return ImagesFinies;
}

// The frame is handed to the browser when the editor gives it its turn:
// what is still gathered is drawn first.
void SDL_GL_SwapBuffers(void)
{
    WglFlush();
    ++ImagesFinies;
}
}

int main(int argc, char* argv[])
{
    // Emscripten starts with a mask of 0777: the files the editor makes
    // (its saves, at the mode a new file gets) could not be read back. The
    // mask of a desktop session instead.
    umask(022);
    const int resultat = CorvellaEditeurMain(argc, argv);
    EM_ASM({ if (Module["finEdition"]) Module["finEdition"]($0); }, resultat);
    return resultat;
}

// The page's "another level": the editor asked to quit as by the window's
// close button (it asks to save what is not).
extern "C" EMSCRIPTEN_KEEPALIVE void CorvellaEditeurQuitter()
{
    SDL_Event e;
    e.type = SDL_QUIT;
    SDL_PushEvent(&e);
}
