#include "Vue.h"

#include "map/Map.h"

#include <algorithm>

namespace Edition
{
    namespace
    {
        const double Case = CMap::TailleCase;
    }

    double Vue::ZoomMin(int colonnes, int lignes) const
    {
        const double z = std::min(LargeurZone / (Case * std::max(1, colonnes)),
                                  HauteurZone / (Case * std::max(1, lignes)));
        return std::min(z, ZoomMax);
    }

    void Vue::CaseSous(int x, int y, int& colonne, int& ligne) const
    {
        colonne = static_cast<int>(std::floor((OrigineX + x / Zoom) / Case));
        ligne = static_cast<int>(std::floor((OrigineY + y / Zoom) / Case));
    }

    void Vue::ZoomerAutour(double facteur, int x, int y, int colonnes, int lignes)
    {
        const double mx = OrigineX + x / Zoom;
        const double my = OrigineY + y / Zoom;
        Zoom = std::max(ZoomMin(colonnes, lignes), std::min(ZoomMax, Zoom * facteur));
        OrigineX = mx - x / Zoom;
        OrigineY = my - y / Zoom;
        Borner(colonnes, lignes);
    }

    void Vue::ToutMontrer(int colonnes, int lignes)
    {
        Zoom = ZoomMin(colonnes, lignes);
        OrigineX = (colonnes * Case - LargeurZone / Zoom) / 2;
        OrigineY = (lignes * Case - HauteurZone / Zoom) / 2;
    }

    void Vue::Ouvrir(int colonnes, int lignes, int departC, int departL)
    {
        const double tout = ZoomMin(colonnes, lignes);
        if (tout >= ZoomLisible)
        {
            ToutMontrer(colonnes, lignes);
            Zoom = std::min(Zoom, 1.0);
        }
        else
            Zoom = 1.0;
        // The start cell at the middle, as far as the level's edges allow.
        auto centre = [](double depart, double taille, double vue)
        {
            if (taille <= vue)
                return (taille - vue) / 2;
            return std::max(0.0, std::min((depart + 0.5) * Case - vue / 2, taille - vue));
        };
        OrigineX = centre(departC, colonnes * Case, LargeurZone / Zoom);
        OrigineY = centre(departL, lignes * Case, HauteurZone / Zoom);
    }

    void Vue::Defiler(double dx, double dy, int colonnes, int lignes)
    {
        OrigineX += dx / Zoom;
        OrigineY += dy / Zoom;
        Borner(colonnes, lignes);
    }

    void Vue::Borner(int colonnes, int lignes)
    {
        Zoom = std::max(ZoomMin(colonnes, lignes), std::min(ZoomMax, Zoom));
        // Along each axis: a level smaller than the area is centred, a larger
        // one never leaves more than a cell of margin.
        auto borne = [](double& origine, double taille, double vue)
        {
            if (taille <= vue)
                origine = (taille - vue) / 2;
            else
                origine = std::max(-Case, std::min(origine, taille - vue + Case));
        };
        borne(OrigineX, colonnes * Case, LargeurZone / Zoom);
        borne(OrigineY, lignes * Case, HauteurZone / Zoom);
    }

    void Vue::MontrerCase(int colonne, int ligne, int colonnes, int lignes)
    {
        const double vx = LargeurZone / Zoom, vy = HauteurZone / Zoom;
        if (colonne * Case < OrigineX)
            OrigineX = colonne * Case;
        else if ((colonne + 1) * Case > OrigineX + vx)
            OrigineX = (colonne + 1) * Case - vx;
        if (ligne * Case < OrigineY)
            OrigineY = ligne * Case;
        else if ((ligne + 1) * Case > OrigineY + vy)
            OrigineY = (ligne + 1) * Case - vy;
        Borner(colonnes, lignes);
    }
}
