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

// The size of one SDL event, for SDL_PeepEvents (Evenements.js).
extern "C" EMSCRIPTEN_KEEPALIVE int CorvellaTailleEvenement()
{
    return static_cast<int>(sizeof(SDL_Event));
}
