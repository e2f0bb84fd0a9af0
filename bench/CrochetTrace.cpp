// A small recording layer, loaded with LD_PRELOAD into corvella-bench when it
// records the OpenGL calls of one game frame. Every GL (and GLU) function the
// game's code calls goes through here on its way to the real library; between
// corvella_banc_trace_debut() and corvella_banc_trace_fin() each call is also
// written down as one text line: the function's name, then its arguments
// (enums and integers in decimal, reals as exact hexadecimal floats).
//
// The calls a frame makes are recorded; the start-up's calls (texture uploads,
// read-backs, the view) are not replayable as a frame: if one of them happens
// while recording, it is written with a leading '!' and the bench refuses the
// trace.
#include <GL/gl.h>
#include <GL/glu.h>
#include <dlfcn.h>

#include <cstdarg>
#include <cstdio>
#include <string>

namespace
{
    bool enregistre = false;
    std::string trace;

    void Ligne(const char* format, ...) __attribute__((format(printf, 1, 2)));
    void Ligne(const char* format, ...)
    {
        char tampon[256];
        va_list args;
        va_start(args, format);
        const int n = std::vsnprintf(tampon, sizeof tampon, format, args);
        va_end(args);
        if (n > 0)
            trace.append(tampon, static_cast<size_t>(n) < sizeof tampon ? static_cast<size_t>(n)
                                                                        : sizeof tampon - 1);
        trace.push_back('\n');
    }

    template <typename F>
    F Reelle(const char* nom)
    {
        return reinterpret_cast<F>(dlsym(RTLD_NEXT, nom));
    }
}

#define REELLE(nom) static const auto reelle = Reelle<decltype(&::nom)>(#nom)

extern "C"
{
    void corvella_banc_trace_debut()
    {
        trace.clear();
        enregistre = true;
    }

    const char* corvella_banc_trace_fin(size_t* taille)
    {
        enregistre = false;
        if (taille != nullptr)
            *taille = trace.size();
        return trace.c_str();
    }

    // --- The calls of a frame -------------------------------------------------

    void glBegin(GLenum mode)
    {
        REELLE(glBegin);
        if (enregistre)
            Ligne("glBegin %u", mode);
        reelle(mode);
    }

    void glEnd(void)
    {
        REELLE(glEnd);
        if (enregistre)
            Ligne("glEnd");
        reelle();
    }

    void glBindTexture(GLenum cible, GLuint texture)
    {
        REELLE(glBindTexture);
        if (enregistre)
            Ligne("glBindTexture %u %u", cible, texture);
        reelle(cible, texture);
    }

    void glBlendFunc(GLenum source, GLenum destination)
    {
        REELLE(glBlendFunc);
        if (enregistre)
            Ligne("glBlendFunc %u %u", source, destination);
        reelle(source, destination);
    }

    void glClear(GLbitfield masque)
    {
        REELLE(glClear);
        if (enregistre)
            Ligne("glClear %u", masque);
        reelle(masque);
    }

    void glColor3ub(GLubyte r, GLubyte v, GLubyte b)
    {
        REELLE(glColor3ub);
        if (enregistre)
            Ligne("glColor3ub %u %u %u", r, v, b);
        reelle(r, v, b);
    }

    void glColor4ub(GLubyte r, GLubyte v, GLubyte b, GLubyte a)
    {
        REELLE(glColor4ub);
        if (enregistre)
            Ligne("glColor4ub %u %u %u %u", r, v, b, a);
        reelle(r, v, b, a);
    }

    void glDisable(GLenum capacite)
    {
        REELLE(glDisable);
        if (enregistre)
            Ligne("glDisable %u", capacite);
        reelle(capacite);
    }

    void glEnable(GLenum capacite)
    {
        REELLE(glEnable);
        if (enregistre)
            Ligne("glEnable %u", capacite);
        reelle(capacite);
    }

    void glFlush(void)
    {
        REELLE(glFlush);
        if (enregistre)
            Ligne("glFlush");
        reelle();
    }

    void glLoadIdentity(void)
    {
        REELLE(glLoadIdentity);
        if (enregistre)
            Ligne("glLoadIdentity");
        reelle();
    }

    void glMatrixMode(GLenum mode)
    {
        REELLE(glMatrixMode);
        if (enregistre)
            Ligne("glMatrixMode %u", mode);
        reelle(mode);
    }

    void glTexCoord2f(GLfloat s, GLfloat t)
    {
        REELLE(glTexCoord2f);
        if (enregistre)
            Ligne("glTexCoord2f %a %a", static_cast<double>(s), static_cast<double>(t));
        reelle(s, t);
    }

    void glTexCoord2i(GLint s, GLint t)
    {
        REELLE(glTexCoord2i);
        if (enregistre)
            Ligne("glTexCoord2i %d %d", s, t);
        reelle(s, t);
    }

    void glTexParameteri(GLenum cible, GLenum nom, GLint valeur)
    {
        REELLE(glTexParameteri);
        if (enregistre)
            Ligne("glTexParameteri %u %u %d", cible, nom, valeur);
        reelle(cible, nom, valeur);
    }

    void glTranslated(GLdouble x, GLdouble y, GLdouble z)
    {
        REELLE(glTranslated);
        if (enregistre)
            Ligne("glTranslated %a %a %a", x, y, z);
        reelle(x, y, z);
    }

    void glVertex2d(GLdouble x, GLdouble y)
    {
        REELLE(glVertex2d);
        if (enregistre)
            Ligne("glVertex2d %a %a", x, y);
        reelle(x, y);
    }

    void glVertex2f(GLfloat x, GLfloat y)
    {
        REELLE(glVertex2f);
        if (enregistre)
            Ligne("glVertex2f %a %a", static_cast<double>(x), static_cast<double>(y));
        reelle(x, y);
    }

    void glVertex2i(GLint x, GLint y)
    {
        REELLE(glVertex2i);
        if (enregistre)
            Ligne("glVertex2i %d %d", x, y);
        reelle(x, y);
    }

    void SDL_GL_SwapBuffers(void)
    {
        using Fonction = void (*)();
        static const Fonction reelle = Reelle<Fonction>("SDL_GL_SwapBuffers");
        if (enregistre)
            Ligne("SDL_GL_SwapBuffers");
        reelle();
    }

    // --- Calls that have no place in a frame -------------------------------------

#define INTERDITE(type, nom, parametres, arguments)                                   \
    type nom parametres                                                               \
    {                                                                                 \
        REELLE(nom);                                                                  \
        if (enregistre)                                                               \
            Ligne("!" #nom);                                                          \
        return reelle arguments;                                                      \
    }

    INTERDITE(void, glClearColor, (GLclampf r, GLclampf v, GLclampf b, GLclampf a), (r, v, b, a))
    INTERDITE(void, glGenTextures, (GLsizei n, GLuint* noms), (n, noms))
    INTERDITE(void, glGetTexImage, (GLenum c, GLint n, GLenum f, GLenum t, GLvoid* p), (c, n, f, t, p))
    INTERDITE(void, glGetTexLevelParameteriv, (GLenum c, GLint n, GLenum p, GLint* v), (c, n, p, v))
    INTERDITE(void, glPixelStorei, (GLenum p, GLint v), (p, v))
    INTERDITE(void, glPushClientAttrib, (GLbitfield m), (m))
    INTERDITE(void, glPopClientAttrib, (void), ())
    INTERDITE(void, glTexImage2D,
              (GLenum c, GLint n, GLint fi, GLsizei l, GLsizei h, GLint b, GLenum f, GLenum t,
               const GLvoid* p),
              (c, n, fi, l, h, b, f, t, p))
    INTERDITE(void, glViewport, (GLint x, GLint y, GLsizei l, GLsizei h), (x, y, l, h))
    INTERDITE(void, gluOrtho2D, (GLdouble g, GLdouble d, GLdouble b, GLdouble h), (g, d, b, h))
    INTERDITE(GLint, gluBuild2DMipmaps,
              (GLenum c, GLint fi, GLsizei l, GLsizei h, GLenum f, GLenum t, const void* p),
              (c, fi, l, h, f, t, p))
    INTERDITE(void, glReadPixels,
              (GLint x, GLint y, GLsizei l, GLsizei h, GLenum f, GLenum t, GLvoid* p),
              (x, y, l, h, f, t, p))
    INTERDITE(void, glGetIntegerv, (GLenum p, GLint* v), (p, v))
    INTERDITE(void, glPushAttrib, (GLbitfield m), (m))
    INTERDITE(void, glPopAttrib, (void), ())
    INTERDITE(void, glPushMatrix, (void), ())
    INTERDITE(void, glPopMatrix, (void), ())
    INTERDITE(void, glLineWidth, (GLfloat l), (l))
    INTERDITE(void, glScaled, (GLdouble x, GLdouble y, GLdouble z), (x, y, z))
    INTERDITE(void, glVertex3i, (GLint x, GLint y, GLint z), (x, y, z))
    INTERDITE(void, glTexCoord2d, (GLdouble s, GLdouble t), (s, t))
    INTERDITE(void, glVertex2s, (GLshort x, GLshort y), (x, y))
    INTERDITE(void, glColor4f, (GLfloat r, GLfloat v, GLfloat b, GLfloat a), (r, v, b, a))
    INTERDITE(void, glColor3f, (GLfloat r, GLfloat v, GLfloat b), (r, v, b))
    INTERDITE(void, glTranslatef, (GLfloat x, GLfloat y, GLfloat z), (x, y, z))
    INTERDITE(void, glLoadMatrixd, (const GLdouble* m), (m))
    INTERDITE(void, glTexEnvi, (GLenum c, GLenum p, GLint v), (c, p, v))
    INTERDITE(void, glFinish, (void), ())
}
