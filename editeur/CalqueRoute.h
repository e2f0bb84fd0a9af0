#pragma once
// The way to a cell, over the level: w on the cell under the pointer asks
// the search for a route from the start to it, in a child process of its own
// beside the live check (the drawing never waits for it); once it comes, its
// keys are run through the game's frame again for the trail, drawn over the
// level with a mark where a key changes (jump, grab, let go, bonus taken,
// death, return to the start) and the time it takes at its end. A cell the
// character never reaches gets the reason, as `corvella-carte check` says it.
// Escape takes the trail away.
#include "Etat.h"
#include "Panneau.h"
#include "analyse/AnalyseVivante.h"
#include "analyse/Route.h"

#include <string>

namespace Edition
{
    class CalqueRoute : public Panneau
    {
    public:
        CalqueRoute(const EtatEdition& etat, Actions& actions);
        // It lies under the other panels and covers nothing: it takes w and,
        // while a trail is shown, Escape.
        Zone Place() const override { return Zone{}; }
        void Dessine() override;
        bool TraiteEvenement(const SDL_Event& e) override;

        // Asks for the route to a cell (from 0) of the level as it is now.
        void Demander(int colonne, int ligne);
        // The trail drawn (of the level as it is), its route and the level's text.
        bool Montree() const { return montree_; }
        const AnalyseCarte::Route& RouteMontree() const { return route_; }
        const std::string& Texte() const { return texte_; }

    private:
        void Recevoir();
        void DessineTrajet() const;

        const EtatEdition& etat_;
        Actions& actions_;
        AnalyseCarte::AnalyseVivante recherche_;
        std::string texte_;                // the level the route was asked for
        uint64_t revision_ = ~0ull;        // and its revision
        int colonne_ = -1, ligne_ = -1;    // the cell asked for
        unsigned numeroVu_ = 0;            // the search's result the trail comes from
        bool montree_ = false;             // a trail is drawn
        AnalyseCarte::Route route_;
    };

    // The status line's words for a route: "route to column 12, row 8: 1.4 s,
    // 1 jump, 0 grabs" or, with none, why.
    std::string DecrireRoute(const AnalyseCarte::Route& route, int colonne, int ligne);
}
