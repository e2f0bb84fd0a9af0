#pragma once
// The findings panel, over the level's top left: a line a finding, the chosen
// one highlighted; a click on one goes to its cell. `c` shows and hides it,
// `n` goes to the next finding.
#include "Etat.h"
#include "Panneau.h"

namespace Edition
{
    class ListeConstats : public Panneau
    {
    public:
        ListeConstats(const EtatEdition& etat, Actions& actions) : etat_(etat), actions_(actions) {}
        Zone Place() const override;
        void Dessine() override;
        bool TraiteEvenement(const SDL_Event& e) override;
        // The finding whose line is at (x, y), or -1.
        int ConstatSous(int x, int y) const;

        bool Montree = false;

    private:
        const EtatEdition& etat_;
        Actions& actions_;
    };
}
