// PLACEHOLDER: character drawing is being built.
#include "Perso.h"

#include <SDL_opengl.h>

void CPerso::DessinePerso()
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
