// The halo glow: a white silhouette of a sprite, drawn as fans of stretched,
// fading copies around it before the sprite itself.
#include "Moteur.h"

#include "../outils/Outils.h"

#include <cstdlib>

int AlphaHalo(int k, int n)
{
    if (n <= 0 || k < 0)
        return 0;
    // In 64 bits: 127 * k does not fit an int for very large halos.
    const long long alpha = 127 - (127LL * k) / n;
    return alpha < 0 ? 0 : static_cast<int>(alpha);
}

namespace
{
    // Texture coordinates of a quad's corners, as for a plain sprite.
    struct CoinsTexture
    {
        float Gauche, Droite, Bas, Haut;
    };

    void Sommet(float s, float t, long long x, long long y)
    {
        glTexCoord2f(s, t);
        glVertex2f(static_cast<float>(x), static_cast<float>(y));
    }

    // One copy of the silhouette: bottom left, top left, top right, bottom right.
    void CopieHalo(const CoinsTexture& c, unsigned char r, unsigned char v, unsigned char b,
                   unsigned char alpha,
                   long long x1, long long y1, long long x2, long long y2,
                   long long x3, long long y3, long long x4, long long y4)
    {
        glBegin(GL_QUADS);
        glColor4ub(r, v, b, alpha);
        Sommet(c.Gauche, c.Bas, x1, y1);
        Sommet(c.Gauche, c.Haut, x2, y2);
        Sommet(c.Droite, c.Haut, x3, y3);
        Sommet(c.Droite, c.Bas, x4, y4);
        glEnd();
    }
}

bool CMoteur::CSprite::MakeTexHalo()
{
    // An image that did not load has no texels to take a shape from.
    if (Texture == 0)
        return false;
    glBindTexture(GL_TEXTURE_2D, Texture);
    // The mipmap build may have rescaled the image: the silhouette is taken at
    // the size the texture really holds, not the size of the file.
    GLint largeur = 0;
    GLint hauteur = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &largeur);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &hauteur);
    if (largeur <= 0 || hauteur <= 0)
        return false;
    const size_t nbPixels = static_cast<size_t>(largeur) * static_cast<size_t>(hauteur);
    unsigned char* pixels = static_cast<unsigned char*>(std::malloc(nbPixels * 4));
    if (pixels == nullptr)
        return false;

    Outils::tightPixelRows();
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    for (size_t i = 0; i < nbPixels; ++i)
    {
        pixels[i * 4] = 255;
        pixels[i * 4 + 1] = 255;
        pixels[i * 4 + 2] = 255;
    }
    glGenTextures(1, &TextureHalo);
    glBindTexture(GL_TEXTURE_2D, TextureHalo);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, largeur, hauteur, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 pixels);
    glPopClientAttrib();
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    std::free(pixels);
    return true;
}

void CMoteur::CSprite::AfficheHalo(int x, int y, int largeur, int hauteur,
                                   unsigned char rouge, unsigned char vert, unsigned char bleu,
                                   bool utiliseAlpha, unsigned char alpha,
                                   bool mirroirX, bool mirroirY,
                                   int tailleHalo,
                                   unsigned char rougeHalo, unsigned char vertHalo,
                                   unsigned char bleuHalo)
{
    if (!HaloCree)
        HaloCree = MakeTexHalo();

    // Without a silhouette (the image never loaded) there is no glow: the
    // sprite alone is drawn, untextured like any sprite without an image.
    if (HaloCree)
    {
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glEnable(GL_BLEND);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, TextureHalo);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);

        CoinsTexture c;
        c.Gauche = mirroirX ? 1.0f : 0.0f;
        c.Droite = 1.0f - c.Gauche;
        c.Bas = mirroirY ? 1.0f : 0.0f;
        c.Haut = 1.0f - c.Bas;
        // Corners in 64 bits: nothing overflows, however far out the sprite is.
        const long long x0 = x;
        const long long y0 = y;
        const long long w = largeur;
        const long long h = hauteur;
        const int n = tailleHalo;

        // Leftwards.
        for (int k = 0; k < n; ++k)
            CopieHalo(c, rougeHalo, vertHalo, bleuHalo,
                      static_cast<unsigned char>(AlphaHalo(k, n)),
                      x0 - k, y0 + h, x0 - k, y0, x0 + w, y0, x0 + w, y0 + h);
        // Rightwards.
        for (int k = 0; k < n; ++k)
            CopieHalo(c, rougeHalo, vertHalo, bleuHalo,
                      static_cast<unsigned char>(AlphaHalo(k, n)),
                      x0, y0 + h, x0, y0, x0 + w + k, y0, x0 + w + k, y0 + h);
        // Downwards.
        for (int k = 0; k < n; ++k)
            CopieHalo(c, rougeHalo, vertHalo, bleuHalo,
                      static_cast<unsigned char>(AlphaHalo(k, n)),
                      x0, y0 + h + k, x0, y0, x0 + w, y0, x0 + w, y0 + h + k);
        // Upwards: the top edge rises and widens on both sides while the bottom
        // left corner stays put, which gives the glow its slanted left flank.
        for (int k = 0; k < n; ++k)
            CopieHalo(c, rougeHalo, vertHalo, bleuHalo,
                      static_cast<unsigned char>(AlphaHalo(k, n)),
                      x0, y0 + h, x0 - k, y0 - k, x0 + w + k, y0 - k, x0 + w + k, y0 + h);

        glDisable(GL_BLEND);
        glDisable(GL_TEXTURE_2D);
    }

    Affiche(x, y, largeur, hauteur, rouge, vert, bleu, utiliseAlpha, alpha, mirroirX, mirroirY);
}

void CMoteur::AfficheTextureHalo(unsigned int id, int x, int y, int largeur, int hauteur,
                                 unsigned char rouge, unsigned char vert, unsigned char bleu,
                                 int tailleHalo,
                                 unsigned char rougeHalo, unsigned char vertHalo,
                                 unsigned char bleuHalo,
                                 bool utiliseAlpha, unsigned char alpha)
{
    if (id >= Sprites.size())
        return;
    const bool mirroirX = largeur < 0;
    const bool mirroirY = hauteur < 0;
    Sprites[id].AfficheHalo(x, y, TailleAbsolue(largeur), TailleAbsolue(hauteur),
                            rouge, vert, bleu, utiliseAlpha, alpha, mirroirX, mirroirY,
                            tailleHalo, rougeHalo, vertHalo, bleuHalo);
}
