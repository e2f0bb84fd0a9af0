#pragma once
// The help: every key and mouse action, in a box over the window. F1 opens
// it; while it is open it takes every key and click, F1 or Escape close it.
#include "Etat.h"
#include "Panneau.h"

namespace Edition
{
    class PanneauAide : public Panneau
    {
    public:
        explicit PanneauAide(const EtatEdition& etat) : etat_(etat) {}
        Zone Place() const override;
        void Dessine() override;
        bool TraiteEvenement(const SDL_Event& e) override;

        bool Ouverte = false;

    private:
        const EtatEdition& etat_;
    };
}
