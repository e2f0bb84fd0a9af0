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
        // Until the window manager tells: a title bar and thin borders, as most draw them.
        Cadre CadreFenetre{2, 2, 30, 6};
        bool BureauConnu = false;
        bool CadreConnu = false;
    };
    // False when there is no X display (another video driver): nothing is
    // known. CORVELLA_TRACE_BUREAU set: what was learnt, on the error output.
    bool DemanderBureau(InfosBureau& infos);
}
