#include "CalqueRoute.h"

#include "Fichier.h"
#include "RenduNiveau.h"
#include "TexteEcran.h"
#include "map/Map.h"

#include <SDL_opengl.h>
#include <cstdio>

namespace Edition
{
    using AnalyseCarte::MarqueRoute;

    namespace
    {
        const double Demi = CMap::TailleCase / 2.0;  // the middle of the character's square

        // The route's own bounds: the editor's designer waits for it.
        AnalyseCarte::OptionsVerification OptionsRecherche()
        {
            AnalyseCarte::OptionsVerification o;
            o.Atteinte.EtatsMax = 2000000;
            o.Atteinte.SecondesMax = 10.0;
            return o;
        }

        std::string Compte(size_t n, const char* mot)
        {
            return std::to_string(n) + " " + mot + (n == 1 ? "" : "s");
        }

        void CouleurMarque(MarqueRoute::Genre g)
        {
            switch (g)
            {
            case MarqueRoute::Saut: glColor4ub(255, 230, 40, 255); break;
            case MarqueRoute::Accroche: glColor4ub(60, 220, 255, 255); break;
            case MarqueRoute::Lache: glColor4ub(255, 90, 220, 255); break;
            case MarqueRoute::Prise: glColor4ub(80, 255, 80, 255); break;
            case MarqueRoute::Mort: glColor4ub(255, 40, 40, 255); break;
            case MarqueRoute::Retour: glColor4ub(255, 255, 255, 255); break;
            case MarqueRoute::Touches: glColor4ub(255, 160, 40, 255); break;
            }
        }
    }

    std::string DecrireRoute(const AnalyseCarte::Route& route, int colonne, int ligne)
    {
        const std::string cellule =
            "column " + std::to_string(colonne + 1) + ", row " + std::to_string(ligne + 1);
        if (!route.Trouvee)
            return "no route to " + cellule + ": " +
                   (route.Pourquoi.empty() ? std::string("the search found none") : route.Pourquoi);
        size_t sauts = 0, prises = 0, laches = 0;
        for (const MarqueRoute& m : route.Marques)
        {
            sauts += m.Quoi == MarqueRoute::Saut;
            prises += m.Quoi == MarqueRoute::Accroche;
            laches += m.Quoi == MarqueRoute::Lache;
        }
        char temps[32];
        std::snprintf(temps, sizeof temps, "%.2f s", route.Secondes());
        return "route to " + cellule + ": " + temps + ", " + Compte(sauts, "jump") + ", " + Compte(prises, "grab") +
               ", " + Compte(laches, "let-go") + (route.Partielle ? " (partial search)" : "");
    }

    CalqueRoute::CalqueRoute(const EtatEdition& etat, Actions& actions)
        : etat_(etat), actions_(actions), recherche_(OptionsRecherche())
    {
    }

    bool CalqueRoute::TraiteEvenement(const SDL_Event& e)
    {
        if (e.type != SDL_KEYDOWN || AvecCtrl(e))
            return false;
        if (e.key.keysym.sym == SDLK_ESCAPE && (montree_ || recherche_.EtatActuel() ==
                                                               AnalyseCarte::AnalyseVivante::Etat::EnCours))
        {
            montree_ = false;
            colonne_ = ligne_ = -1;
            recherche_.Demander(std::string(), OptionsRecherche()); // stops the search running
            numeroVu_ = recherche_.NumeroDemande();
            return true;
        }
        if (e.key.keysym.sym != SDLK_w)
            return false;
        // The cell under the pointer, the cursor cell when the pointer is off the level's view.
        int c = etat_.CurseurC, l = etat_.CurseurL;
        if (etat_.Fenetre.Carte.Contient(etat_.SourisX, etat_.SourisY))
            etat_.VueNiveau.CaseSous(etat_.SourisX, etat_.SourisY, c, l);
        Demander(c, l);
        return true;
    }

    void CalqueRoute::Demander(int colonne, int ligne)
    {
        const Niveau& n = etat_.Doc.Courant();
        if (!n.Dedans(colonne, ligne))
        {
            actions_.Statut("no route: the pointer is off the level");
            return;
        }
        colonne_ = colonne, ligne_ = ligne;
        texte_ = EcrireCarte(n, etat_.Format);
        revision_ = etat_.Doc.Revision();
        AnalyseCarte::OptionsVerification o = OptionsRecherche();
        o.Route = AnalyseCarte::OptionsVerification::RouteVoulue::VersCase;
        o.RouteColonne = colonne, o.RouteLigne = ligne;
        recherche_.Demander(texte_, o);
        montree_ = false;
        actions_.Statut("route to column " + std::to_string(colonne + 1) + ", row " + std::to_string(ligne + 1) +
                        ": searching...");
    }

    void CalqueRoute::Recevoir()
    {
        using AnalyseVivante = AnalyseCarte::AnalyseVivante;
        const AnalyseVivante::Etat avant = recherche_.EtatActuel();
        const AnalyseVivante::Etat etat = recherche_.Sonder();
        if (colonne_ < 0)
            return;
        if (etat == AnalyseVivante::Etat::Echec && avant != etat)
        {
            actions_.Statut("the route's search failed: " + recherche_.Erreur());
            std::printf("route failed: %s\n", recherche_.Erreur().c_str());
            std::fflush(stdout);
            colonne_ = ligne_ = -1;
            return;
        }
        if (etat != AnalyseVivante::Etat::Prete || recherche_.NumeroResultat() == numeroVu_)
            return;
        numeroVu_ = recherche_.NumeroResultat();
        const AnalyseCarte::Rapport& r = recherche_.Resultat();
        if (!r.RouteCalculee)
            route_ = AnalyseCarte::Route();
        else if (r.RouteCalculee->Trouvee)
            // The search sends the keys: the trail is the game's frame run on them.
            route_ = AnalyseCarte::RejouerRoute(AnalyseCarte::Normaliser(texte_), r.RouteCalculee->Changements,
                                                r.RouteCalculee->Fin);
        else
            route_ = *r.RouteCalculee;
        if (!r.RouteCalculee)
            route_.Pourquoi = AnalyseCarte::PourquoiInaccessible(r, colonne_, ligne_);
        else if (r.RouteCalculee->Trouvee)
        {
            route_.Trouvee = true;
            route_.Partielle = r.RouteCalculee->Partielle;
        }
        montree_ = route_.Trouvee && !route_.Trajet.empty();
        const std::string texte = DecrireRoute(route_, colonne_, ligne_);
        actions_.Statut(texte);
        // For the designer's terminal and the tests.
        std::printf("%s (%zu points, %zu marks, %.0f ms)\n", texte.c_str(), route_.Trajet.size(),
                    route_.Marques.size(), recherche_.Millisecondes());
        std::fflush(stdout);
    }

    void CalqueRoute::Dessine()
    {
        Recevoir();
        // An edit since: the trail may run through walls now; the designer asks again.
        if (montree_ && revision_ != etat_.Doc.Revision())
        {
            montree_ = false;
            actions_.Statut("the level changed: w draws the route again");
        }
        if (!montree_)
            return;
        const Zone z = etat_.Fenetre.Carte;
        glEnable(GL_SCISSOR_TEST);
        glScissor(z.X, etat_.Fenetre.Hauteur - z.Bas(), z.Largeur, z.Hauteur);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        PlacerVue(etat_.VueNiveau);
        DessineTrajet();
        glPopMatrix();
        glDisable(GL_SCISSOR_TEST);
    }

    void CalqueRoute::DessineTrajet() const
    {
        const double px = 1.0 / etat_.VueNiveau.Zoom;  // one screen pixel
        glDisable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        // The path: a dark edge under a bright line, through the middle of the square.
        for (int passe = 0; passe < 2; ++passe)
        {
            glLineWidth(passe == 0 ? 7.0f : 3.0f);
            glBegin(GL_LINE_STRIP);
            if (passe == 0)
                glColor4ub(20, 20, 40, 200);
            else
                glColor4ub(255, 160, 40, 255);
            for (const AnalyseCarte::PointRoute& p : route_.Trajet)
                glVertex2d(p.X + Demi, p.Y + Demi);
            glEnd();
        }
        glLineWidth(1.0f);
        // The marks: a diamond where a key changes.
        const double r = 7 * px;
        for (const MarqueRoute& m : route_.Marques)
        {
            if (m.Point >= route_.Trajet.size())
                continue;
            const double x = route_.Trajet[m.Point].X + Demi, y = route_.Trajet[m.Point].Y + Demi;
            const double t = m.Quoi == MarqueRoute::Touches ? r * 0.6 : r;
            glBegin(GL_QUADS);
            glColor4ub(20, 20, 40, 220);
            glVertex2d(x, y - t - 2 * px), glVertex2d(x + t + 2 * px, y), glVertex2d(x, y + t + 2 * px),
                glVertex2d(x - t - 2 * px, y);
            CouleurMarque(m.Quoi);
            glVertex2d(x, y - t), glVertex2d(x + t, y), glVertex2d(x, y + t), glVertex2d(x - t, y);
            glEnd();
        }
        glDisable(GL_BLEND);
        // The time, right of the character's square at the end (clear of the
        // bonus there), at a size the zoom does not change.
        const AnalyseCarte::PointRoute& fin = route_.Trajet.back();
        char temps[32];
        std::snprintf(temps, sizeof temps, "%.2f S", route_.Secondes());
        glPushMatrix();
        glTranslated(fin.X + CMap::TailleCase + 10 * px, fin.Y + Demi - 13 * px, 0);
        glScaled(px, px, 1);
        DessineRectangle(-4, -4, 16 * static_cast<int>(std::char_traits<char>::length(temps)) + 8, 26, 20, 20, 40,
                         200);
        DessineTexteEcran(temps, 0, 0, 18, 255, 200, 60);
        glPopMatrix();
    }
}
