#include "EssaiLots.h"

#include "../gl/GlWeb.h"

#include <GL/glu.h>
#include <SDL_opengl.h>

namespace
{
    GLuint Texture(int cote, GLubyte r, GLubyte v, GLubyte b)
    {
        std::vector<GLubyte> pixels;
        for (int i = 0; i < cote * cote; ++i)
            pixels.insert(pixels.end(), {r, v, b, 255});
        GLuint t = 0;
        glGenTextures(1, &t);
        glBindTexture(GL_TEXTURE_2D, t);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, cote, cote, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        return t;
    }

    void Quad(int x0, int x1)
    {
        glBegin(GL_QUADS);
        glTexCoord2f(0, 0);
        glVertex2i(x0, 0);
        glTexCoord2f(1, 0);
        glVertex2i(x1, 0);
        glTexCoord2f(1, 1);
        glVertex2i(x1, 10);
        glTexCoord2f(0, 1);
        glVertex2i(x0, 10);
        glEnd();
    }
}

ResultatLots EssaiLots(int largeur, int hauteur)
{
    // Two textures of different sizes: different batches, also as layers of
    // texture arrays.
    const GLuint rouge = Texture(2, 255, 0, 0), bleu = Texture(4, 0, 0, 255);
    glViewport(0, 0, largeur, hauteur);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(0, largeur, hauteur, 0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glColor4ub(255, 255, 255, 255);
    const unsigned avant = WglNombreDessins();
    glBindTexture(GL_TEXTURE_2D, rouge);
    Quad(0, 20);  // A
    glBindTexture(GL_TEXTURE_2D, bleu);
    Quad(10, 30); // B, over A's right half
    glBindTexture(GL_TEXTURE_2D, rouge);
    Quad(25, 40); // C, over B's end: drawn after B
    Quad(50, 60); // D, with C
    glBindTexture(GL_TEXTURE_2D, bleu);
    Quad(55, 65); // E, over D
    glBindTexture(GL_TEXTURE_2D, rouge);
    Quad(70, 80); // G, over nothing: may join C and D, before E
    // F: half-transparent green over A's left half.
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4ub(0, 255, 0, 128);
    Quad(0, 10);
    glDisable(GL_BLEND);
    glColor4ub(255, 255, 255, 255);

    ResultatLots r;
    r.Ligne.resize(80 * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, hauteur - 1 - 5, 80, 1, GL_RGBA, GL_UNSIGNED_BYTE, r.Ligne.data());
    r.Dessins = WglNombreDessins() - avant;
    glDeleteTextures(1, &rouge);
    glDeleteTextures(1, &bleu);
    return r;
}
