#pragma once
// The web build's <SDL_opengl.h>: SDL's types with the drawing layer's GL.
#include <SDL.h>
#include <GL/gl.h>
