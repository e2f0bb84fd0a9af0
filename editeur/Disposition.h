#pragma once
// Where the editor's panels lie in its window, and how their texts fit:
// computed without a window, so that the tests check every window size.
#include <string>
#include <vector>

namespace Edition
{
    // A rectangle of the window, in window pixels, (0, 0) at the top left.
    struct Zone
    {
        int X = 0, Y = 0, Largeur = 0, Hauteur = 0;

        bool Contient(int x, int y) const { return x >= X && y >= Y && x < X + Largeur && y < Y + Hauteur; }
        bool Vide() const { return Largeur <= 0 || Hauteur <= 0; }
        int Droite() const { return X + Largeur; }
        int Bas() const { return Y + Hauteur; }
    };

    // The window's three fixed parts: the level, the palette on its right
    // over the whole height, the status line under the level.
    struct Disposition
    {
        int Largeur = 0, Hauteur = 0;  // the window
        Zone Carte, Palette, Etat;
    };
    const int LargeurPalette = 224;
    const int HauteurEtat = 26;
    Disposition Disposer(int largeur, int hauteur);

    // Width in pixels of a text drawn at `taille` (the editor's letters all
    // take one square).
    int LargeurTexte(const std::string& texte, int taille);
    // The text, cut to `largeur` pixels at `taille` with "..." at its end
    // when it is longer.
    std::string Raccourcir(const std::string& texte, int largeur, int taille);
    // Cuts a text into lines of at most `largeur` characters, at blanks when it can.
    std::vector<std::string> Couper(const std::string& texte, size_t largeur);
}
