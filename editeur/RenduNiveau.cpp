#include "RenduNiveau.h"

#include "main/Globales.h"

#include <SDL_opengl.h>
#include <algorithm>
#include <cmath>
#include <string>

namespace Edition
{
    CasesEnVue CasesVisibles(const Niveau& n, const Vue& v)
    {
        const double t = CMap::TailleCase;
        CasesEnVue z;
        z.C0 = std::max(0, static_cast<int>(std::floor(v.OrigineX / t)));
        z.L0 = std::max(0, static_cast<int>(std::floor(v.OrigineY / t)));
        // The last pixel in view, not the first one past it.
        z.C1 = std::min(n.Largeur - 1, static_cast<int>(std::ceil((v.OrigineX + v.LargeurZone / v.Zoom) / t)) - 1);
        z.L1 = std::min(n.Hauteur - 1, static_cast<int>(std::ceil((v.OrigineY + v.HauteurZone / v.Zoom) / t)) - 1);
        return z;
    }

    void PlacerVue(const Vue& v)
    {
        glMatrixMode(GL_MODELVIEW);
        glScaled(v.Zoom, v.Zoom, 1.0);
        glTranslated(-v.OrigineX, -v.OrigineY, 0.0);
    }

    void DessinerCases(const Niveau& n, const CasesEnVue& z, Uint32 ticks)
    {
        const int t = CMap::TailleCase;
        // Column by column, as the game does.
        for (int c = z.C0; c <= z.C1; ++c)
            for (int l = z.L0; l <= z.L1; ++l)
            {
                const int code = CodeDeCase(n.Case(c, l));
                if (code > 1 && code < CMap::NbCodes)
                    Moteur.AfficheTexture(Map.ImgCases[code], c * t, l * t, t, t, 255, 255, 255, false, 255);
            }
        // Bonuses in the order the loader lists them: row by row.
        const int frame = CMap::FrameBonus(ticks);
        for (int l = z.L0; l <= z.L1; ++l)
            for (int c = z.C0; c <= z.C1; ++c)
            {
                const int type = BonusDeCase(n.Case(c, l));
                if (type != 0)
                    Moteur.AfficheTexture(Map.ImgBonus[type - 1][frame], c * t, l * t, t, t, 255, 255, 255, false,
                                          255);
            }
    }

    void DessinerCompteur(int nombre)
    {
        Moteur.DessineTexte(0, std::to_string(nombre).c_str(), 20, 100, 100, 255, 255, 255, false, 255);
    }
}
