#pragma once
// A panel of the editor's window (the palette, the status line, the findings
// list, the tooltip, the help, the dialogs, the level's view): it knows where
// it lies, draws itself, and says whether it took an event. The editor holds
// them from the bottom up, draws them in that order and offers each event to
// the top one first; what no panel takes is the editor's (its keys).
#include "Disposition.h"

#include <SDL.h>

namespace Edition
{
    class Panneau
    {
    public:
        virtual ~Panneau() = default;
        // Where it lies, in window pixels; empty while it is hidden. A panel
        // that holds the window (a dialog) covers all of it.
        virtual Zone Place() const = 0;
        virtual void Dessine() = 0;
        // True when the panel took the event: no panel under it sees it.
        virtual bool TraiteEvenement(const SDL_Event& e) = 0;
    };

    // Whether a key event carries ctrl (the editor's own commands).
    inline bool AvecCtrl(const SDL_Event& e)
    {
        return (e.key.keysym.mod & KMOD_CTRL) != 0;
    }
    // A button pressed that is not the wheel.
    inline bool Clic(const SDL_Event& e)
    {
        return e.type == SDL_MOUSEBUTTONDOWN && e.button.button != SDL_BUTTON_WHEELUP &&
               e.button.button != SDL_BUTTON_WHEELDOWN;
    }
}
