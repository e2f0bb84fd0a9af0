#include "VueEditeur.h"

#include "editeur/Disposition.h"
#include "editeur/Vue.h"

#include <cstdio>

namespace
{
    Edition::Vue PremiereVue(const std::string& taille, int colonnes, int lignes, int departC, int departL)
    {
        int largeur = 0, hauteur = 0;
        std::sscanf(taille.c_str(), "%dx%d", &largeur, &hauteur);
        const Edition::Disposition d = Edition::Disposer(largeur, hauteur);
        Edition::Vue v;
        v.LargeurZone = d.Carte.Largeur;
        v.HauteurZone = d.Carte.Hauteur;
        v.Ouvrir(colonnes, lignes, departC, departL);
        return v;
    }
}

PointEcran PointDeCase(const std::string& taille, int colonnes, int lignes, int departC, int departL, int colonne,
                       int ligne)
{
    const Edition::Vue v = PremiereVue(taille, colonnes, lignes, departC, departL);
    PointEcran p;
    p.X = static_cast<int>(((colonne + 0.5) * 64 - v.OrigineX) * v.Zoom);
    p.Y = static_cast<int>(((ligne + 0.5) * 64 - v.OrigineY) * v.Zoom);
    return p;
}

double ZoomPremiereVue(const std::string& taille, int colonnes, int lignes, int departC, int departL)
{
    return PremiereVue(taille, colonnes, lignes, departC, departL).Zoom;
}
