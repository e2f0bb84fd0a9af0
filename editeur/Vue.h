#pragma once
// The editor's view of the level: which map pixel sits at the top-left corner
// of the map area and how many screen pixels a map pixel takes. Screen point
// = (map point - Origine) x Zoom.
#include <cmath>

namespace Edition
{
    struct Vue
    {
        double OrigineX = 0.0;  // map pixels
        double OrigineY = 0.0;
        double Zoom = 1.0;
        int LargeurZone = 800;  // the map area, in screen pixels
        int HauteurZone = 600;

        static constexpr double ZoomMax = 2.0;
        // The smallest zoom the first view takes to show the whole level:
        // below it the tiles are too small to read.
        static constexpr double ZoomLisible = 0.5;

        // The zoom that shows the whole level in the area (at most ZoomMax).
        double ZoomMin(int colonnes, int lignes) const;
        // The cell under a screen point of the map area (may lie outside the grid).
        void CaseSous(int x, int y, int& colonne, int& ligne) const;
        // Zooms by `facteur`, keeping the map point under (x, y) where it is,
        // within ZoomMin..ZoomMax.
        void ZoomerAutour(double facteur, int x, int y, int colonnes, int lignes);
        // The whole level in the area, centred.
        void ToutMontrer(int colonnes, int lignes);
        // Moves by screen pixels, keeping some of the level in view.
        void Defiler(double dx, double dy, int colonnes, int lignes);
        // Keeps the level in view after any change.
        void Borner(int colonnes, int lignes);
        // The first view of a level: the whole of it when it fits at a
        // readable zoom (at most 1:1), else 1:1 around the start cell (from 0).
        void Ouvrir(int colonnes, int lignes, int departC, int departL);
        // Brings the cell into view when it is not.
        void MontrerCase(int colonne, int ligne, int colonnes, int lignes);
    };
}
