#pragma once
// The web build's <GL/gl.h>: the game's fixed-function calls go to the
// drawing layer over WebGL (gl/GlWeb.h), under their usual names.
#include "../../gl/GlWeb.h"

#define glBegin WglBegin
#define glBindTexture WglBindTexture
#define glBlendFunc WglBlendFunc
#define glClear WglClear
#define glClearColor WglClearColor
#define glColor3f WglColor3f
#define glColor3ub WglColor3ub
#define glColor4f WglColor4f
#define glColor4ub WglColor4ub
#define glDeleteTextures WglDeleteTextures
#define glDisable WglDisable
#define glEnable WglEnable
#define glEnd WglEnd
#define glFinish WglFinish
#define glFlush WglFlush
#define glGenTextures WglGenTextures
#define glGetError WglGetError
#define glGetIntegerv WglGetIntegerv
#define glGetTexImage WglGetTexImage
#define glGetTexLevelParameteriv WglGetTexLevelParameteriv
#define glIsTexture WglIsTexture
#define glLineWidth WglLineWidth
#define glLoadIdentity WglLoadIdentity
#define glMatrixMode WglMatrixMode
#define glOrtho WglOrtho
#define glPixelStorei WglPixelStorei
#define glPopAttrib WglPopAttrib
#define glPopClientAttrib WglPopClientAttrib
#define glPopMatrix WglPopMatrix
#define glPushAttrib WglPushAttrib
#define glPushClientAttrib WglPushClientAttrib
#define glPushMatrix WglPushMatrix
#define glReadPixels WglReadPixels
#define glScaled WglScaled
#define glScalef WglScalef
#define glTexCoord2d WglTexCoord2d
#define glTexCoord2f WglTexCoord2f
#define glTexCoord2i WglTexCoord2i
#define glTexImage2D WglTexImage2D
#define glTexParameteri WglTexParameteri
#define glTexSubImage2D WglTexSubImage2D
#define glTranslated WglTranslated
#define glTranslatef WglTranslatef
#define glVertex2d WglVertex2d
#define glVertex2f WglVertex2f
#define glVertex2i WglVertex2i
#define glVertex3f WglVertex3f
#define glVertex3i WglVertex3i
#define glViewport WglViewport
