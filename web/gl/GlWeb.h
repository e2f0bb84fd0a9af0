#pragma once
// The fixed-function OpenGL the game draws with, over WebGL: the calls of
// the engine, the level, the character, the HUD and the utilities, with
// quads gathered into one draw per run of the same texture and state. The
// shadow headers of include/ give the game these functions under their GL
// names; this header gives them their own, so that the layer itself calls
// the real WebGL ones.
#include <GLES2/gl2.h>

// Fixed-function names that WebGL does not have.
#define GL_QUADS 0x0007
#define GL_MODELVIEW 0x1700
#define GL_PROJECTION 0x1701
#define GL_TEXTURE_WIDTH 0x1000
#define GL_TEXTURE_HEIGHT 0x1001
#define GL_LIGHTING 0x0B50
#define GL_LINE_SMOOTH 0x0B20
#define GL_ALL_ATTRIB_BITS 0xFFFFFFFF
#define GL_CLIENT_PIXEL_STORE_BIT 0x00000001
#define GL_CLIENT_ALL_ATTRIB_BITS 0xFFFFFFFF
#define GL_PACK_SWAP_BYTES 0x0D00
#define GL_PACK_LSB_FIRST 0x0D01
#define GL_PACK_ROW_LENGTH 0x0D02
#define GL_PACK_SKIP_ROWS 0x0D03
#define GL_PACK_SKIP_PIXELS 0x0D04
#define GL_UNPACK_SWAP_BYTES 0x0CF0
#define GL_UNPACK_LSB_FIRST 0x0CF1
#define GL_UNPACK_ROW_LENGTH 0x0CF2
#define GL_UNPACK_SKIP_ROWS 0x0CF3
#define GL_UNPACK_SKIP_PIXELS 0x0CF4
#define GL_CLAMP 0x2900
#define GL_BGRA 0x80E1
#define GL_BGR 0x80E0

typedef double GLdouble;
typedef double GLclampd;

#ifdef __cplusplus
extern "C" {
#endif

// Frame buffer and view
void WglClear(GLbitfield masque);
void WglClearColor(GLclampf r, GLclampf v, GLclampf b, GLclampf a);
void WglViewport(GLint x, GLint y, GLsizei largeur, GLsizei hauteur);
void WglFlush(void);
void WglFinish(void);
void WglReadPixels(GLint x, GLint y, GLsizei largeur, GLsizei hauteur, GLenum format, GLenum type,
                   void* pixels);
void WglGetIntegerv(GLenum nom, GLint* valeurs);
GLenum WglGetError(void);

// State
void WglEnable(GLenum capacite);
void WglDisable(GLenum capacite);
void WglBlendFunc(GLenum source, GLenum destination);
void WglLineWidth(GLfloat largeur);
void WglPushAttrib(GLbitfield masque);
void WglPopAttrib(void);
void WglPushClientAttrib(GLbitfield masque);
void WglPopClientAttrib(void);
void WglPixelStorei(GLenum nom, GLint valeur);

// Matrices
void WglMatrixMode(GLenum mode);
void WglLoadIdentity(void);
void WglPushMatrix(void);
void WglPopMatrix(void);
void WglTranslated(GLdouble x, GLdouble y, GLdouble z);
void WglTranslatef(GLfloat x, GLfloat y, GLfloat z);
void WglScaled(GLdouble x, GLdouble y, GLdouble z);
void WglScalef(GLfloat x, GLfloat y, GLfloat z);
void WglOrtho(GLdouble gauche, GLdouble droite, GLdouble bas, GLdouble haut, GLdouble proche,
              GLdouble loin);

// Immediate mode
void WglBegin(GLenum mode);
void WglEnd(void);
void WglColor3ub(GLubyte r, GLubyte v, GLubyte b);
void WglColor4ub(GLubyte r, GLubyte v, GLubyte b, GLubyte a);
void WglColor3f(GLfloat r, GLfloat v, GLfloat b);
void WglColor4f(GLfloat r, GLfloat v, GLfloat b, GLfloat a);
void WglTexCoord2f(GLfloat s, GLfloat t);
void WglTexCoord2i(GLint s, GLint t);
void WglTexCoord2d(GLdouble s, GLdouble t);
void WglVertex2f(GLfloat x, GLfloat y);
void WglVertex2i(GLint x, GLint y);
void WglVertex2d(GLdouble x, GLdouble y);
void WglVertex3i(GLint x, GLint y, GLint z);
void WglVertex3f(GLfloat x, GLfloat y, GLfloat z);

// Textures
void WglGenTextures(GLsizei n, GLuint* noms);
void WglDeleteTextures(GLsizei n, const GLuint* noms);
GLboolean WglIsTexture(GLuint nom);
void WglBindTexture(GLenum cible, GLuint nom);
void WglTexParameteri(GLenum cible, GLenum nom, GLint valeur);
void WglTexImage2D(GLenum cible, GLint niveau, GLint formatInterne, GLsizei largeur, GLsizei hauteur,
                   GLint bord, GLenum format, GLenum type, const void* pixels);
void WglTexSubImage2D(GLenum cible, GLint niveau, GLint x, GLint y, GLsizei largeur, GLsizei hauteur,
                      GLenum format, GLenum type, const void* pixels);
void WglGetTexLevelParameteriv(GLenum cible, GLint niveau, GLenum nom, GLint* valeur);
void WglGetTexImage(GLenum cible, GLint niveau, GLenum format, GLenum type, void* pixels);

// GLU
void WgluOrtho2D(GLdouble gauche, GLdouble droite, GLdouble bas, GLdouble haut);
GLint WgluBuild2DMipmaps(GLenum cible, GLint composantes, GLint largeur, GLint hauteur, GLenum format,
                         GLenum type, const void* pixels);

// Figures of the layer, for the page and the tests: draw calls and quads
// since the start.
unsigned WglNombreDessins(void);
// Whether the context is WebGL 2 (fences, texture arrays).
int WglVersion2(void);
// After a frame is handed over: waits until at most one frame is left for
// the browser to draw, and until `periodeMs` after the last began
// (gl/Cadence.cpp).
void WglCadence(double periodeMs);
unsigned WglNombreSommets(void);

#ifdef __cplusplus
}
#endif
