#pragma once
// Autotiling: the designer paints a material (ground, sand, wall, water, or
// empties cells) and the tile of every painted cell and of its neighbours is
// chosen so that its edges fit what lies around it: grass on ground open to
// the sky and the grass-to-void ends, the earth faces, the wall faces with
// their transitions to earth, water and grass floors, the sand edges. The
// rules are one table (Autotuile.cpp), read from what each tile of the
// game's tile table shows and how the shipped level uses it.
//
// Pure logic over a grid of tile codes, indexed like the level's own grid:
// [column][row], both from 0. Cells of kinds the rules do not know (slopes,
// unset cells, codes outside the tile table) are never changed, and count as
// solid for their neighbours; outside the grid counts as more of the same.
#include <utility>
#include <vector>

namespace Autotuile
{
    enum class Matiere
    {
        Vide,   // empty (code 1)
        Sol,    // earth and grass: b B v V t T
        Sable,  // sand: A a e E i I
        Mur,    // masonry: the plain wall and the wall faces and transitions
        Eau     // water (code 3)
    };

    // The level's grid of tile codes, [column][row] like CMap::Cases.
    using Grille = std::vector<std::vector<signed char>>;

    // The material of a tile code, when the rules cover it.
    bool MatiereDe(int code, Matiere& matiere);

    // The tile the rules choose for a cell of `matiere` at (colonne, ligne),
    // from its neighbours (the cell's own code is not read).
    int TuileChoisie(const Grille& grille, int colonne, int ligne, Matiere matiere);

    struct Changement
    {
        int Colonne;
        int Ligne;
        int Avant; // code before
        int Apres; // code after
    };

    // Paints the cells (column, row from 0; those outside the grid are
    // skipped) with `matiere`, then fits the tile of every painted cell and of
    // every neighbour of one (the eight around it) whose material the rules
    // cover. Returns each cell whose code changed, once, with its codes
    // before and after, so that the edit can be undone as one step.
    std::vector<Changement> Peindre(Grille& grille, const std::vector<std::pair<int, int>>& cellules,
                                    Matiere matiere);
}
