#pragma once
// The web build's <GL/glu.h>: the two GLU functions the game calls, in the
// drawing layer.
#include <GL/gl.h>

#define gluOrtho2D WgluOrtho2D
#define gluBuild2DMipmaps WgluBuild2DMipmaps
