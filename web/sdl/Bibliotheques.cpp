// Libraries loaded by name: a page has none to load.
#include <SDL.h>
#include <SDL_loadso.h>

extern "C" {

void* SDL_LoadObject(const char*)
{
    return nullptr;
}

void* SDL_LoadFunction(void*, const char*)
{
    return nullptr;
}

void SDL_UnloadObject(void*)
{
}
}
