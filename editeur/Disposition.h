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

    // The palette's icons, `Colonnes` a row from `Haut` down, one every `Pas`
    // pixels; then the entry's name (two lines), the tools (a line each) and
    // the help's key, down to `Bas`. Smaller icons on a short window, so
    // that all of it stays inside.
    struct GrillePalette
    {
        int Colonnes = 5, Haut = 40, Pas = 44, Icone = 40;
        int Nom = 0;     // the entry's name, top
        int Outils = 0;  // the first tool's line
        int Bas = 0;
    };
    GrillePalette DisposerPalette(int hauteur, size_t entrees, size_t outils);

    // A text at its place (window pixels of its top-left corner); "" when it is not shown.
    struct TexteEnPlace
    {
        std::string Texte;
        int X = 0, Y = 0;
    };
    // The status line's texts, placed so that none writes over another: the
    // cell and the level on the line at its left, the live check at its right
    // end, or on a band just above it at the right when the line is full; the
    // last message on that band at the left, cut short before the check.
    struct TextesEtat
    {
        TexteEnPlace Position, Analyse, Message;
        Zone FondAnalyse, FondMessage;  // the band's dark boxes behind them (empty when not there)
    };
    const int HauteurBandeEtat = 24;
    TextesEtat DisposerLigneEtat(const Zone& ligne, const std::string& position, const std::string& analyse,
                                 const std::string& message, int taille);

    // Where a `largeur` x `hauteur` box beside the pointer (the tooltip) lies
    // in the window: below and right of it, moved in so that it stays inside.
    Zone PlacerInfobulle(int sourisX, int sourisY, int largeur, int hauteur, int largeurFenetre, int hauteurFenetre);

    // Width in pixels of a text drawn at `taille` (the editor's letters all
    // take one square).
    int LargeurTexte(const std::string& texte, int taille);
    // The text, cut to `largeur` pixels at `taille` with "..." at its end
    // when it is longer.
    std::string Raccourcir(const std::string& texte, int largeur, int taille);
    // Cuts a text into lines of at most `largeur` characters, at blanks when it can.
    std::vector<std::string> Couper(const std::string& texte, size_t largeur);
}
