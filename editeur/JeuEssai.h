#pragma once
// Test play from the editor: the level loaded into the game's globals by the
// game's own parser, from the very text the editor would save, and played by
// the game's own screen loop (BoucleRenderJeu) until Escape.
#include "perso/Perso.h"

#include <string>

namespace Edition
{
    // Plays the map text. `modele` lends its sprites to the player (the game
    // loads them once; so does the editor). Returns true when the window was
    // closed during play (the editor then quits as if closed itself).
    bool JouerNiveau(const std::string& texte, const CPerso& modele);
    // What JouerNiveau does before the game's loop: the level and its player in
    // the game's globals, the game's view over the window.
    void PreparerJeu(const std::string& texte, const CPerso& modele);
    // What JouerNiveau does after it: the game's loop on the level prepared,
    // until Escape. True when the window was closed.
    bool JouerPrepare();
}
