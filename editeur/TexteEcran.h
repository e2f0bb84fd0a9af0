#pragma once
// Text of the editor's panels in the game's font. The font has capitals,
// digits and a few signs: lower case is drawn as small capitals (so 'b' and
// 'B', two tiles, stay apart), and the signs a path or a message needs that
// the font lacks ('/', '_', '=', '?', ...) are drawn as strokes.
#include "Disposition.h"

#include <string>
#include <vector>

namespace Edition
{
    void DessineTexteEcran(const std::string& texte, int x, int y, int taille,
                           unsigned char r, unsigned char g, unsigned char b, unsigned char alpha = 255);
    // An untextured rectangle, blended.
    void DessineRectangle(int x, int y, int largeur, int hauteur,
                          unsigned char r, unsigned char g, unsigned char b, unsigned char alpha);
    // The outline of a rectangle, `epaisseur` pixels wide inside it.
    void DessineCadre(double x, double y, double largeur, double hauteur, double epaisseur,
                      unsigned char r, unsigned char g, unsigned char b, unsigned char alpha);
    // Lines in a box at the middle of a `largeur` x `hauteur` window, in
    // smaller letters than `taille` rather than off the window.
    void DessineBoite(const std::vector<std::string>& lignes, int taille, int largeur, int hauteur);
}
