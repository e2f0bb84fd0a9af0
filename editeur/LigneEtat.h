#pragma once
// The status line, under the level: the cell under the pointer (or the
// cursor cell), the level's size and zoom, unsaved changes, the live check's
// state at its right end; over it, for a few seconds, the last message (and
// between messages what holds: a change on disk, a failed autosave), and
// the reachability overlay's legend at the level's top right when it is shown.
#include "Etat.h"
#include "Panneau.h"

#include <SDL.h>

namespace Edition
{
    class LigneEtat : public Panneau
    {
    public:
        explicit LigneEtat(const EtatEdition& etat) : etat_(etat) {}
        Zone Place() const override { return etat_.Fenetre.Etat; }
        void Dessine() override;
        // Clicks on the line do nothing, and go no further.
        bool TraiteEvenement(const SDL_Event& e) override { return Clic(e) && Place().Contient(e.button.x, e.button.y); }

        // A message shown for `duree` ms from now.
        void Message(const std::string& texte, Uint32 duree = 4000);

    private:
        const EtatEdition& etat_;
        std::string message_;
        Uint32 messageJusqua_ = 0;
    };
}
