#pragma once
// Where the real editor draws a cell: its window's size (as xdotool gives it)
// laid out as the editor lays it out, and the level's first view.
#include <string>

struct PointEcran
{
    int X = -1, Y = -1;
};

// The centre of cell (colonne, ligne) (from 0) on the first view of a
// `colonnes` x `lignes` level whose start is (departC, departL) (from 0), in
// a window of `taille` ("1246x663").
PointEcran PointDeCase(const std::string& taille, int colonnes, int lignes, int departC, int departL, int colonne,
                       int ligne);
// The zoom of that first view.
double ZoomPremiereVue(const std::string& taille, int colonnes, int lignes, int departC, int departL);
