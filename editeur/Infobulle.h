#pragma once
// The tooltip: the messages of the findings on the cell under the pointer,
// beside it and always inside the window. It takes no event.
#include "Etat.h"
#include "Panneau.h"

namespace Edition
{
    class Infobulle : public Panneau
    {
    public:
        explicit Infobulle(const EtatEdition& etat) : etat_(etat) {}
        // Its box for the pointer where it is (empty when there is nothing to say).
        Zone Place() const override;
        void Dessine() override;
        bool TraiteEvenement(const SDL_Event&) override { return false; }

        bool Cachee = false;  // a panel over the level lies under the pointer

    private:
        std::vector<std::string> Lignes() const;

        const EtatEdition& etat_;
    };
}
