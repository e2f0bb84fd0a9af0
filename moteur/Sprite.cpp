// The texture registry and sprite drawing.
#include "Moteur.h"

#include "../outils/Outils.h"

#include <climits>

CMoteur::CSprite::CSprite()
    : Texture(0), TextureHalo(0), HaloCree(false), LargeurImage(0), HauteurImage(0)
{
}

void CMoteur::CSprite::LoadTexture(const char* chemin)
{
    Chemin = chemin != nullptr ? chemin : "";
    Texture = static_cast<GLuint>(Outils::loadTexture(chemin, &LargeurImage, &HauteurImage, true));
}

int TailleAbsolue(int taille)
{
    // The most negative int has no positive twin: it draws as the largest size.
    if (taille == INT_MIN)
        return INT_MAX;
    return taille < 0 ? -taille : taille;
}

int CMoteur::NouvelleTexture(const char* chemin)
{
    Sprites.push_back(CSprite());
    Sprites.back().LoadTexture(chemin);
    return static_cast<int>(Sprites.size()) - 1;
}

void CMoteur::AfficheTexture(unsigned int id, int x, int y, int largeur, int hauteur,
                             unsigned char rouge, unsigned char vert, unsigned char bleu,
                             bool utiliseAlpha, unsigned char alpha)
{
    if (id >= Sprites.size())
        return;
    const bool mirroirX = largeur < 0;
    const bool mirroirY = hauteur < 0;
    Sprites[id].Affiche(x, y, TailleAbsolue(largeur), TailleAbsolue(hauteur),
                        rouge, vert, bleu, utiliseAlpha, alpha, mirroirX, mirroirY);
}

void CMoteur::CSprite::Affiche(int x, int y, int largeur, int hauteur,
                               unsigned char rouge, unsigned char vert, unsigned char bleu,
                               bool utiliseAlpha, unsigned char alpha,
                               bool mirroirX, bool mirroirY)
{
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, Texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);

    const float s0 = mirroirX ? 1.0f : 0.0f; // s of the left edge
    const float s1 = 1.0f - s0;              // s of the right edge
    const float tBas = mirroirY ? 1.0f : 0.0f;
    const float tHaut = 1.0f - tBas;
    const float gauche = static_cast<float>(x);
    // Sums in 64 bits: a sprite far off the view must not overflow its corners.
    const float droite = static_cast<float>(static_cast<long long>(x) + largeur);
    const float haut = static_cast<float>(y);
    const float bas = static_cast<float>(static_cast<long long>(y) + hauteur);

    glBegin(GL_QUADS);
    if (utiliseAlpha)
        glColor4ub(rouge, vert, bleu, alpha);
    else
        glColor3ub(rouge, vert, bleu);
    glTexCoord2f(s0, tBas);
    glVertex2f(gauche, bas);
    glTexCoord2f(s0, tHaut);
    glVertex2f(gauche, haut);
    glTexCoord2f(s1, tHaut);
    glVertex2f(droite, haut);
    glTexCoord2f(s1, tBas);
    glVertex2f(droite, bas);
    glEnd();

    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
}
