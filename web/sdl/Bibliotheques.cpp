// Libraries loaded by name: a page has one, SDL_mixer, whose functions are
// the page's own (son/Melangeur.cpp).
#include <SDL.h>
#include <SDL_loadso.h>

#include <cstring>

extern "C" void* WebMixFonction(const char* nom);

namespace
{
    char Melangeur; // the handle of the mixer "library"
}

extern "C" {

void* SDL_LoadObject(const char* nom)
{
    return nom != nullptr && std::strncmp(nom, "libSDL_mixer", 12) == 0 ? &Melangeur : nullptr;
}

void* SDL_LoadFunction(void* bibliotheque, const char* nom)
{
    return bibliotheque == &Melangeur ? WebMixFonction(nom) : nullptr;
}

void SDL_UnloadObject(void*)
{
}
}
