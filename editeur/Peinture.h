#pragma once
// The autotile tool on the editor's level: a material painted on a cell, the
// tiles of that cell and of its neighbours chosen by the autotile rules, given
// back as the cells' new characters so that a stroke undoes as one step.
#include "Niveau.h"
#include "autotuile/Autotuile.h"

#include <vector>

namespace Edition
{
    // The materials in the order the tool's key goes through them.
    const std::vector<Autotuile::Matiere>& Matieres();
    const char* NomMatiere(Autotuile::Matiere matiere);
    // The material of a palette character (a ground, sand, wall or water tile,
    // or empty); false for what the rules do not cover (slopes, bonuses, unset).
    bool MatiereDeCase(char caractere, Autotuile::Matiere& matiere);

    struct CaseChangee
    {
        int Colonne = 0;  // from 0
        int Ligne = 0;
        char Caractere = ' ';
    };
    // What painting (colonne, ligne) with `matiere` changes. The painted cell
    // loses its bonus; the neighbours keep theirs (an empty cell stays empty).
    // The plain wall, which no character of the file makes, is written as the
    // wall 'M'.
    std::vector<CaseChangee> Autotuiler(const Niveau& niveau, int colonne, int ligne, Autotuile::Matiere matiere);
}
