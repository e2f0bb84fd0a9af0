#pragma once
// The level's view, left of the palette: the level drawn as the game draws
// it, under the editor's overlays (unset cells, reachability, findings, grid,
// the level's edge, the start cell, the rectangle being drawn, the cursor
// cell). The mouse uses the tools on it, scrolls and zooms it; the arrows,
// + - 0 1, g and v move it, zoom it, and show the grid and the overlay.
#include "Etat.h"
#include "Panneau.h"
#include "Surcouches.h"

#include <cstdint>

namespace Edition
{
    class VueCarte : public Panneau
    {
    public:
        VueCarte(EtatEdition& etat, Actions& actions) : etat_(etat), actions_(actions), surcouches_(etat) {}
        Zone Place() const override { return etat_.Fenetre.Carte; }
        void Dessine() override;
        // The wheel wherever the pointer is; the other buttons on the level;
        // every button's release and the pointer's moves.
        bool TraiteEvenement(const SDL_Event& e) override;

        // Ends a stroke or a drag (the window goes to test play).
        void Interrompre() { trace_ = glisse_ = false; }
        // Lets the pictures go before the GL context may change.
        void LibererTextures() { surcouches_.Liberer(); }

        bool Grille = false;

    private:
        bool Touche(const SDL_keysym& touche);
        void BoutonPresse(int bouton, int x, int y);
        void BoutonRelache(int bouton, int x, int y);
        void Mouvement(int x, int y, int dx, int dy);
        void DessineCalques(const CasesEnVue& zone);

        EtatEdition& etat_;
        Actions& actions_;
        Surcouches surcouches_;
        bool trace_ = false;              // left button held on the map
        int dernierC_ = 0, dernierL_ = 0; // last cell of the stroke
        bool glisse_ = false;             // middle button held
        uint64_t revisionBonus_ = ~0ull;
        int nombreBonus_ = 0;
    };
}
