// SDL's small C library helpers that emscripten's SDL does not provide, and
// the size of an event for the page's SDL_PeepEvents.
#include <SDL.h>

#include <cstdlib>
#include <cstring>

extern "C" {

char* SDL_getenv(const char* nom)
{
    return std::getenv(nom);
}

int SDL_putenv(const char* variable)
{
    return putenv(const_cast<char*>(variable));
}

void* SDL_memcpy(void* cible, const void* source, size_t taille)
{
    return std::memcpy(cible, source, taille);
}
}

#include <emscripten.h>

// Emscripten's SDL has no SDL_WaitEvent (the game waits in it while it is
// minimised): the browser gets its turn between two looks at the queue.
extern "C" int SDL_WaitEvent(SDL_Event* evenement)
{
    while (SDL_PollEvent(evenement) == 0)
        emscripten_sleep(20);
    return 1;
}

// The size of one SDL event, for SDL_PeepEvents (Evenements.js).
extern "C" EMSCRIPTEN_KEEPALIVE int CorvellaTailleEvenement()
{
    return static_cast<int>(sizeof(SDL_Event));
}
