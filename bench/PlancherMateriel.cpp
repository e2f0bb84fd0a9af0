// Floor (b) of the frame cost: the least a frame of this window can be. It
// clears, draws one textured quad over the whole view, and presents it, as the
// game's frame does at its two ends, with nothing in between.
#include "PlancherMateriel.h"

#include <SDL.h>
#include <SDL_opengl.h>

void TrameMaterielle(unsigned int texture)
{
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glBegin(GL_QUADS);
    glColor3ub(255, 255, 255);
    glTexCoord2f(0, 0);
    glVertex2f(0, 600);
    glTexCoord2f(0, 1);
    glVertex2f(0, 0);
    glTexCoord2f(1, 1);
    glVertex2f(800, 0);
    glTexCoord2f(1, 0);
    glVertex2f(800, 600);
    glEnd();
    glDisable(GL_TEXTURE_2D);
    glFlush();
    SDL_GL_SwapBuffers();
}
