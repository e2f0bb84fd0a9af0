#pragma once
// What the X window manager says about the desktop before the editor's
// window opens: the work area (the screen less the session's panels) and the
// frame it will put around a window. Asked once, over a connection of its own.
#include "editeur/Fenetre.h"

namespace Edition
{
    struct InfosBureau
    {
        Zone Bureau;           // the work area, screen pixels
        Cadre CadreFenetre;
        bool BureauConnu = false;
        bool CadreConnu = false;
    };
    // False when there is no X display (another video driver): nothing is known.
    bool DemanderBureau(InfosBureau& infos);
}
