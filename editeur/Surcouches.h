#pragma once
// What the level's view draws from pictures of its own, in map pixels: the
// level seen from afar (a texel a cell, each the average colour of its tile),
// the reachability overlay (a texel a cell), and the findings' markers. Both
// pictures are made again when what they show changes; Liberer lets them go
// before the GL context may change.
#include "Etat.h"
#include "RenduNiveau.h"

#include <cstdint>
#include <vector>

namespace Edition
{
    class Surcouches
    {
    public:
        explicit Surcouches(const EtatEdition& etat) : etat_(etat) {}
        // The whole level as one quad (too many cells in view to draw one by one).
        void DessineApercu();
        // Reached cells tinted, open cells never reached darkened, lost bonuses crossed out.
        void DessineAtteinte();
        // An orange diamond a warning (blue a note) on the cells in `zone`.
        void DessineMarques(const CasesEnVue& zone);
        void Liberer();

    private:
        const EtatEdition& etat_;
        unsigned int apercu_ = 0;
        uint64_t revisionApercu_ = ~0ull;
        int apercuLargeur_ = 0, apercuHauteur_ = 0, apercuPas_ = 1;
        std::vector<unsigned char> couleurs_;  // RGBA of each tile code, then each bonus type
        unsigned int texAtteinte_ = 0;       // the overlay, a texel a cell (or a block)
        unsigned numeroAtteinte_ = ~0u;      // the check's result it was made from
        int atteintePas_ = 1;
    };
}
