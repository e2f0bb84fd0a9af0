#pragma once
// The editor's window on the designer's screen, computed without a window:
// its size from the screen (the level's view as large as fits, the palette
// beside it) or from the size the designer left it at, and its place, the
// window manager's frame included, at the middle of the desktop. The size
// is remembered between runs in a small text file.
#include "Disposition.h"

#include <string>

namespace Edition
{
    // The window manager's frame around the window, in pixels on each side.
    struct Cadre
    {
        int Gauche = 0, Droite = 0, Haut = 0, Bas = 0;
    };

    // The window's size, and where the top-left corner of its frame goes.
    struct PlaceFenetre
    {
        int X = 0, Y = 0;               // the frame's corner, screen pixels
        int Largeur = 0, Hauteur = 0;   // the window inside its frame
    };

    // Room left between the frame and the desktop's edge, on each side.
    const int MargeBureau = 16;
    // Smallest window the editor asks for, when the desktop has the room.
    const int LargeurMinimale = 640, HauteurMinimale = 480;

    // The window on `bureau` (the desktop, without the panels of the
    // designer's session), framed by `cadre`: `largeur` x `hauteur` when
    // given (above 0) and within the desktop, else as large as fits.
    PlaceFenetre PlacerFenetre(const Zone& bureau, const Cadre& cadre, int largeur = 0, int hauteur = 0);

    // The file the size is kept in: $XDG_CONFIG_HOME/corvella/editeur-fenetre,
    // or ~/.config/corvella/... ("" when neither variable is set).
    std::string CheminTailleFenetre();
    // "largeur hauteur" on a line. False, leaving the sizes alone, for a
    // missing or broken file or sizes out of reason.
    bool LireTailleFenetre(const std::string& chemin, int& largeur, int& hauteur);
    // Writes the size, making the folder; false when it cannot.
    bool EcrireTailleFenetre(const std::string& chemin, int largeur, int hauteur);
}
