#pragma once
// The palette, right of the level: the entries as icons, the one chosen (or
// the autotile tool's material), the tools with their keys. A click on an
// entry chooses it.
#include "Etat.h"
#include "Panneau.h"

namespace Edition
{
    class PanneauPalette : public Panneau
    {
    public:
        PanneauPalette(const EtatEdition& etat, Actions& actions) : etat_(etat), actions_(actions) {}
        Zone Place() const override { return etat_.Fenetre.Palette; }
        void Dessine() override;
        bool TraiteEvenement(const SDL_Event& e) override;
        // The entry whose icon is at (x, y), or -1.
        int EntreeSous(int x, int y) const;

    private:
        const EtatEdition& etat_;
        Actions& actions_;
    };
}
