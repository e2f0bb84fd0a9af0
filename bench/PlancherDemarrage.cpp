// The floor of the game's start-up: a bare program that opens the same window
// and GL context as the game (SDL started the same way, full screen at the
// desktop's size, the same flags and settings as CMoteur::Init), presents one
// cleared frame and exits. Nothing of the game is linked in.
#include <SDL.h>
#include <SDL_opengl.h>
#include <GL/glu.h>

#include <cstdlib>

int main(int, char**)
{
    // As the game's entry point: the desktop drivers only, no subsystem yet.
    setenv("SDL_VIDEODRIVER", "x11,wayland", 0);
    if (SDL_Init(0) < 0)
        return -1;
    std::atexit(SDL_Quit);

    // As CMoteur::Init(true, "Corvella").
    SDL_Init(SDL_INIT_VIDEO);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_WM_SetCaption("Corvella", nullptr);
    SDL_Surface* ecran = SDL_SetVideoMode(0, 0, 32, SDL_FULLSCREEN | SDL_OPENGL | SDL_HWSURFACE | SDL_ASYNCBLIT);
    if (ecran == nullptr)
        return -1;
    SDL_EnableKeyRepeat(10, 10);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, 1);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, 6);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    glViewport(0, 0, ecran->w, ecran->h);
    glMatrixMode(GL_PROJECTION);
    gluOrtho2D(0, 800, 600, 0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(1, 1, 0, 1);

    // One cleared frame, presented.
    glClear(GL_COLOR_BUFFER_BIT);
    glFlush();
    SDL_GL_SwapBuffers();
    return 0;
}
