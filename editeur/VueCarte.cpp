#include "VueCarte.h"

#include "RenduNiveau.h"
#include "TexteEcran.h"
#include "main/Globales.h"
#include "outils/Horloge.h"

#include <SDL_opengl.h>
#include <algorithm>
#include <cmath>

namespace Edition
{
    namespace
    {
        const double Case = CMap::TailleCase;

        // Above this many cells in view, they are too small to see one by one:
        // each is drawn as a plain square of its tile's colour.
        const long long CasesDetaillees = 40000;
    }

    bool VueCarte::TraiteEvenement(const SDL_Event& e)
    {
        switch (e.type)
        {
        case SDL_KEYDOWN:
            return Touche(e.key.keysym);
        case SDL_MOUSEBUTTONDOWN:
            if (Clic(e) && !Place().Contient(e.button.x, e.button.y))
                return false;
            BoutonPresse(e.button.button, e.button.x, e.button.y);
            return true;
        case SDL_MOUSEBUTTONUP:
            BoutonRelache(e.button.button, e.button.x, e.button.y);
            return true;
        case SDL_MOUSEMOTION:
            Mouvement(e.motion.x, e.motion.y, e.motion.xrel, e.motion.yrel);
            return true;
        default:
            return false;
        }
    }

    bool VueCarte::Touche(const SDL_keysym& touche)
    {
        if ((touche.mod & KMOD_CTRL) != 0)
            return false;
        const SDLKey k = touche.sym;
        const Niveau& n = etat_.Doc.Courant();
        Vue& vue = etat_.VueNiveau;
        const int dx = k == SDLK_LEFT ? -1 : k == SDLK_RIGHT ? 1 : 0;
        const int dy = k == SDLK_UP ? -1 : k == SDLK_DOWN ? 1 : 0;
        if (dx != 0 || dy != 0)
        {
            if ((touche.mod & KMOD_SHIFT) != 0)
            {
                etat_.CurseurC = std::max(0, std::min(n.Largeur - 1, etat_.CurseurC + dx));
                etat_.CurseurL = std::max(0, std::min(n.Hauteur - 1, etat_.CurseurL + dy));
                vue.MontrerCase(etat_.CurseurC, etat_.CurseurL, n.Largeur, n.Hauteur);
            }
            else
                vue.Defiler(dx * 32.0, dy * 32.0, n.Largeur, n.Hauteur);
            return true;
        }
        const int milieuX = vue.LargeurZone / 2, milieuY = vue.HauteurZone / 2;
        switch (k)
        {
        case SDLK_v:
            etat_.CalqueAtteinte = !etat_.CalqueAtteinte;
            return true;
        case SDLK_g:
            Grille = !Grille;
            return true;
        case SDLK_PLUS:
        case SDLK_EQUALS:
        case SDLK_KP_PLUS:
            vue.ZoomerAutour(1.25, milieuX, milieuY, n.Largeur, n.Hauteur);
            return true;
        case SDLK_MINUS:
        case SDLK_KP_MINUS:
            vue.ZoomerAutour(0.8, milieuX, milieuY, n.Largeur, n.Hauteur);
            return true;
        case SDLK_0:
            vue.ToutMontrer(n.Largeur, n.Hauteur);
            return true;
        case SDLK_1:
            vue.ZoomerAutour(1.0 / vue.Zoom, milieuX, milieuY, n.Largeur, n.Hauteur);
            return true;
        default:
            return false;
        }
    }

    void VueCarte::BoutonPresse(int bouton, int x, int y)
    {
        const Niveau& n = etat_.Doc.Courant();
        Vue& vue = etat_.VueNiveau;
        if (bouton == SDL_BUTTON_WHEELUP || bouton == SDL_BUTTON_WHEELDOWN)
        {
            const bool maj = (SDL_GetModState() & KMOD_SHIFT) != 0;
            const bool ctrl = (SDL_GetModState() & KMOD_CTRL) != 0;
            const int sens = bouton == SDL_BUTTON_WHEELUP ? -1 : 1;
            if (ctrl)
                vue.ZoomerAutour(sens < 0 ? 1.25 : 0.8, x, y, n.Largeur, n.Hauteur);
            else if (maj)
                vue.Defiler(sens * 64.0, 0, n.Largeur, n.Hauteur);
            else
                vue.Defiler(0, sens * 64.0, n.Largeur, n.Hauteur);
            return;
        }
        int c, l;
        vue.CaseSous(x, y, c, l);
        switch (bouton)
        {
        case SDL_BUTTON_LEFT:
            if (!n.Dedans(c, l))
                return;
            etat_.CurseurC = c, etat_.CurseurL = l;
            if (etat_.OutilActif == Outil::Rectangle)
            {
                etat_.Rectangle = true;
                etat_.RectC = c, etat_.RectL = l;
            }
            else
                actions_.Appliquer(c, l, true);
            trace_ = true;
            dernierC_ = c, dernierL_ = l;
            break;
        case SDL_BUTTON_RIGHT:
            actions_.Pipette(c, l);
            break;
        case SDL_BUTTON_MIDDLE:
            glisse_ = true;
            break;
        default:
            break;
        }
    }

    void VueCarte::BoutonRelache(int bouton, int x, int y)
    {
        if (bouton == SDL_BUTTON_MIDDLE)
            glisse_ = false;
        if (bouton != SDL_BUTTON_LEFT || !trace_)
            return;
        trace_ = false;
        if (etat_.OutilActif == Outil::Rectangle && etat_.Rectangle)
        {
            int c, l;
            etat_.VueNiveau.CaseSous(x, y, c, l);
            actions_.FinirRectangle(c, l);
        }
        etat_.Doc.FinTrait();
    }

    void VueCarte::Mouvement(int x, int y, int dx, int dy)
    {
        const Niveau& n = etat_.Doc.Courant();
        if (glisse_)
        {
            etat_.VueNiveau.Defiler(-dx, -dy, n.Largeur, n.Hauteur);
            return;
        }
        if (!Place().Contient(x, y))
            return;
        int c, l;
        etat_.VueNiveau.CaseSous(x, y, c, l);
        if (n.Dedans(c, l))
            etat_.CurseurC = c, etat_.CurseurL = l;
        const Outil o = etat_.OutilActif;
        if (!trace_ || !(o == Outil::Crayon || o == Outil::Gomme || o == Outil::Autotuilage))
            return;
        // Every cell on the way, however fast the pointer went.
        const int pas = std::max(std::abs(c - dernierC_), std::abs(l - dernierL_));
        for (int i = 1; i <= pas; ++i)
        {
            const int ci = dernierC_ + static_cast<int>(std::lround((c - dernierC_) * double(i) / pas));
            const int li = dernierL_ + static_cast<int>(std::lround((l - dernierL_) * double(i) / pas));
            actions_.Appliquer(ci, li, false);
        }
        dernierC_ = c, dernierL_ = l;
    }

    void VueCarte::Dessine()
    {
        const Niveau& n = etat_.Doc.Courant();
        const Zone z = Place();
        glEnable(GL_SCISSOR_TEST);
        glScissor(z.X, etat_.Fenetre.Hauteur - z.Bas(), z.Largeur, z.Hauteur);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        PlacerVue(etat_.VueNiveau);

        // The cells in view only.
        const CasesEnVue zone = CasesVisibles(n, etat_.VueNiveau);
        if (zone.Nombre() <= CasesDetaillees)
            DessinerCases(n, zone, Horloge::Ticks());
        else
            surcouches_.DessineApercu();
        // The bonus counter the game writes at map position (100, 100).
        if (revisionBonus_ != etat_.Doc.Revision())
        {
            revisionBonus_ = etat_.Doc.Revision();
            nombreBonus_ = static_cast<int>(std::count_if(n.Cases.begin(), n.Cases.end(),
                                                          [](char k) { return BonusDeCase(k) != 0; }));
        }
        DessinerCompteur(nombreBonus_);

        DessineCalques(zone);
        glPopMatrix();
        glDisable(GL_SCISSOR_TEST);
    }

    // What the editor draws over the level, in map pixels: more layers go
    // here, over the level and under the pointer's marks.
    void VueCarte::DessineCalques(const CasesEnVue& zone)
    {
        const Niveau& n = etat_.Doc.Courant();
        const double px = 1.0 / etat_.VueNiveau.Zoom;  // one screen pixel
        const int c0 = zone.C0, l0 = zone.L0, c1 = zone.C1, l1 = zone.L1;

        // Unset cells: an invisible wall in the game, crossed out here.
        if (zone.Nombre() <= CasesDetaillees)
        {
            glEnable(GL_BLEND);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
            glLineWidth(2.0f);
            glBegin(GL_LINES);
            glColor4ub(200, 30, 30, 220);
            for (int c = c0; c <= c1; ++c)
                for (int l = l0; l <= l1; ++l)
                    if (n.Case(c, l) == CaseNonDefinie)
                    {
                        glVertex2d(c * Case + 8, l * Case + 8);
                        glVertex2d(c * Case + 56, l * Case + 56);
                        glVertex2d(c * Case + 56, l * Case + 8);
                        glVertex2d(c * Case + 8, l * Case + 56);
                    }
            glEnd();
            glLineWidth(1.0f);
            glDisable(GL_BLEND);
        }

        if (etat_.CalqueAtteinte)
            surcouches_.DessineAtteinte();
        surcouches_.DessineMarques(zone);

        if (Grille && Case * etat_.VueNiveau.Zoom >= 6)
        {
            glEnable(GL_BLEND);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
            glBegin(GL_LINES);
            glColor4ub(255, 255, 255, 90);
            for (int c = c0; c <= c1 + 1; ++c)
            {
                glVertex2d(c * Case, l0 * Case);
                glVertex2d(c * Case, (l1 + 1) * Case);
            }
            for (int l = l0; l <= l1 + 1; ++l)
            {
                glVertex2d(c0 * Case, l * Case);
                glVertex2d((c1 + 1) * Case, l * Case);
            }
            glEnd();
            glDisable(GL_BLEND);
        }

        // The level's edge.
        DessineCadre(-2 * px, -2 * px, n.Largeur * Case + 4 * px, n.Hauteur * Case + 4 * px, 2 * px, 0, 0, 0, 160);

        // The start cell.
        DessineCadre((n.DebutX - 1) * Case, (n.DebutY - 1) * Case, Case, Case, std::max(3 * px, 4.0), 255, 0, 255, 255);

        // The rectangle being drawn, then the cell the tools act on.
        const int cc = etat_.CurseurC, lc = etat_.CurseurL;
        if (etat_.Rectangle)
        {
            const int ca = std::min(etat_.RectC, cc), cb = std::max(etat_.RectC, cc);
            const int la = std::min(etat_.RectL, lc), lb = std::max(etat_.RectL, lc);
            DessineCadre(ca * Case, la * Case, (cb - ca + 1) * Case, (lb - la + 1) * Case, 3 * px, 255, 220, 0, 255);
        }
        if (n.Dedans(cc, lc))
            DessineCadre(cc * Case, lc * Case, Case, Case, 2 * px, 255, 255, 255, 200);
    }
}
