// PLACEHOLDER: the halo glow is being built.
#include "Moteur.h"

void CMoteur::AfficheTextureHalo(unsigned int id, int x, int y, int largeur, int hauteur,
                                 unsigned char rouge, unsigned char vert, unsigned char bleu,
                                 int, unsigned char, unsigned char, unsigned char,
                                 bool utiliseAlpha, unsigned char alpha)
{
    AfficheTexture(id, x, y, largeur, hauteur, rouge, vert, bleu, utiliseAlpha, alpha);
}
