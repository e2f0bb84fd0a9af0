#pragma once
// Free utilities: image files to textures, surface flip, screenshots, XPM
// export, cursors from XPM, full-screen mode choice and axis drawing.
#include <SDL.h>

namespace Outils
{
    int loadTexture(const char* chemin, int* largeur, int* hauteur, bool mipmaps);
    SDL_Surface* flipSurface(SDL_Surface* surface);

    int takeScreenshot(const char* chemin);
    int XPMFromImage(const char* image, const char* sortie);
    SDL_Cursor* cursorFromXPM(const char** xpm);
    int initFullScreen(unsigned int* largeur, unsigned int* hauteur);
    void drawAxis(double echelle);
}
