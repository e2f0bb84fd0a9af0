#pragma once
// The level drawn as the game draws it (CMap::RenderMap): the same images at
// the same places, the bonuses over the tiles at the clock's animation frame,
// the bonus counter at map position (100, 100). Only the cells in view are
// submitted. Needs the game's textures loaded (CMap::LoadTextures on the
// global Map) and a GL context.
#include "Niveau.h"
#include "Vue.h"

#include <SDL.h>

namespace Edition
{
    // The cells of the grid that lie in the view, columns C0..C1, rows L0..L1.
    struct CasesEnVue
    {
        int C0 = 0, L0 = 0, C1 = -1, L1 = -1;
        long long Nombre() const
        {
            return C1 < C0 || L1 < L0 ? 0 : static_cast<long long>(C1 - C0 + 1) * (L1 - L0 + 1);
        }
    };
    CasesEnVue CasesVisibles(const Niveau& niveau, const Vue& vue);

    // Multiplies the model-view matrix by the view's scale and scroll: what is
    // drawn next is placed in map pixels.
    void PlacerVue(const Vue& vue);
    // The tiles, then the bonuses over them, in map pixels.
    void DessinerCases(const Niveau& niveau, const CasesEnVue& zone, Uint32 ticks);
    // The number of bonuses left, where the game writes it.
    void DessinerCompteur(int nombre);
}
