#pragma once
// The clear check: after each edit, the route from the start that takes every
// bonus it can is worked out in a child process of its own, beside the live
// check (the drawing never waits); the status line gives its summary
// ("clears 10 of 10 bonuses in 41.3 s", or the bonuses that break it), and
// F7 plays it from the start.
#include "Etat.h"
#include "analyse/AnalyseVivante.h"
#include "analyse/Route.h"

#include <string>

namespace Edition
{
    class Nettoyage
    {
    public:
        explicit Nettoyage(const EtatEdition& etat);
        // Once a frame: asks again after an edit, takes the result in.
        void Avancer();
        // The status line's words: the summary, "clear check..." while it runs.
        const std::string& Texte() const { return texte_; }
        // The route of the level as it is now, when it came (keys only).
        bool Prete() const { return prete_; }
        const AnalyseCarte::Route& RouteFaite() const { return route_; }
        const std::string& TexteNiveau() const { return niveau_; }

    private:
        const EtatEdition& etat_;
        AnalyseCarte::AnalyseVivante recherche_;
        uint64_t revision_ = ~0ull;
        unsigned numeroVu_ = 0;
        std::string niveau_;
        std::string texte_;
        bool prete_ = false;
        bool arretee_ = false; // the search of an older level was stopped
        AnalyseCarte::Route route_;
    };

    // "clears 8 of 10 bonuses in 12.5 s; left: column 12 row 8, and 1 more".
    std::string ResumeNettoyage(const AnalyseCarte::Route& route);
}
