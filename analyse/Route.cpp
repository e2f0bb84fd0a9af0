// Routes are built piece by piece on a game run frame by frame (PartieRejouee):
// from the character's state before a frame, the search finds keys to a
// target (a cell, the cells of the bonuses left, or a death); the keys are
// run through the frame, and the piece is kept only when the frame does what
// the search said (the bonus is taken, the cell entered, the character died
// and came back). A piece the frame does not confirm is undone, and its
// target left aside until something else is taken. The search starts only
// from a frame that runs exactly one movement step with the character alive;
// before that (the frame after a return to the start runs two), frames run
// with no key held.
#include "Route.h"

#include "Contexte.h"
#include "outils/Horloge.h"
#include "perso/CalculPerso.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <map>
#include <set>

namespace AnalyseCarte
{
    namespace
    {
        const int PasMs = 5;
        // Frames a character may need to come back and be steady: the two
        // seconds of a death, and a few more.
        const int TramesRetourMax = 2000 / PasMs + 8;

        using Montre = std::chrono::steady_clock;

        // The route being built on a game.
        class Chantier
        {
        public:
            Chantier(PartieRejouee& partie, Route& route) : partie_(partie), route_(route) {}

            PartieRejouee& Partie() { return partie_; }

            Evenements Trame(unsigned touches)
            {
                const long long t = partie_.Trames() * PasMs;
                const Evenements e = partie_.Trame(touches);
                const CPerso& p = partie_.Perso();
                PointRoute point;
                point.Temps = t;
                point.X = p.PosX;
                point.Y = p.PosY;
                point.Etat = p.Etat;
                point.Touches = touches;
                point.Vie = p.Vie;
                const size_t i = route_.Trajet.size();
                route_.Trajet.push_back(point);
                if (touches != tenues_)
                {
                    for (int k = 0; k < 4; ++k)
                        if (((touches ^ tenues_) >> k) & 1u)
                            route_.Changements.push_back(ChangementRoute{t, k, ((touches >> k) & 1u) != 0});
                    Marquer(i, MarqueRoute::Touches);
                    tenues_ = touches;
                }
                if (e.Saut)
                    Marquer(i, MarqueRoute::Saut);
                if (e.Accroche)
                    Marquer(i, MarqueRoute::Accroche);
                if (e.Lache)
                    Marquer(i, MarqueRoute::Lache);
                if (e.Prise != 0)
                {
                    Marquer(i, MarqueRoute::Prise);
                    route_.Prises.push_back(PriseRoute{t, e.PriseColonne + 1, e.PriseLigne + 1, e.Prise});
                }
                if (e.Mort)
                    Marquer(i, MarqueRoute::Mort);
                if (e.Retour)
                    Marquer(i, MarqueRoute::Retour);
                route_.Fin = t;
                return e;
            }

            // Frames with no key held until the next frame can start a
            // search. False when it never comes (a start in water).
            bool Stabiliser()
            {
                for (int n = 0; n < TramesRetourMax && !partie_.Reguliere(); ++n)
                    Trame(0);
                return partie_.Reguliere();
            }

            struct Point
            {
                PartieRejouee::Instantane Partie;
                size_t Trajet, Changements, Marques, Prises;
                unsigned Tenues;
                long long Fin;
            };
            Point Garder() const
            {
                return Point{partie_.Garder(), route_.Trajet.size(), route_.Changements.size(),
                             route_.Marques.size(), route_.Prises.size(), tenues_, route_.Fin};
            }
            void Reprendre(const Point& p)
            {
                partie_.Reprendre(p.Partie);
                route_.Trajet.resize(p.Trajet);
                route_.Changements.resize(p.Changements);
                route_.Marques.resize(p.Marques);
                route_.Prises.resize(p.Prises);
                tenues_ = p.Tenues;
                route_.Fin = p.Fin;
            }

        private:
            void Marquer(size_t point, MarqueRoute::Genre genre) { route_.Marques.push_back(MarqueRoute{point, genre}); }

            PartieRejouee& partie_;
            Route& route_;
            unsigned tenues_ = 0;
        };

        EtatDepart EtatDe(const PartieRejouee& partie)
        {
            const CPerso& p = partie.Perso();
            EtatDepart d;
            d.X = p.PosX;
            d.Y = p.PosY;
            d.VX = p.VitesseX;
            d.VY = p.VitesseY;
            d.Etat = p.Etat;
            d.DebutChute = p.DebutChute;
            // The search counts the delay from the step before its first one.
            const long long delai = CalculPerso::Ecart(p.ProchainSaut, partie.Horloge() - PasMs);
            d.Delai = static_cast<int>(std::min<long long>(std::max<long long>(delai, 0), 1000));
            d.Vie = p.Vie;
            return d;
        }

        enum class Issue
        {
            Atteinte,     // done and confirmed by the frame
            Introuvable,  // the search found no way
            Refusee       // the frame did not do what the search said: undone
        };

        struct Recherche
        {
            OptionsAtteinte Options;  // target, bounds
            Montre::time_point Echeance;
            bool Partielle = false;   // a search stopped at a bound
            int Colonne = -1;         // the cell the last search found a way to
            int Ligne = -1;
        };

        // Searches from where the game stands and runs what it finds.
        Issue Aller(Chantier& chantier, Recherche& recherche, Route& route)
        {
            if (!chantier.Stabiliser())
                return Issue::Introuvable;
            const double reste = std::chrono::duration<double>(recherche.Echeance - Montre::now()).count();
            if (reste <= 0)
            {
                recherche.Partielle = true;
                return Issue::Introuvable;
            }
            const EtatDepart depart = EtatDe(chantier.Partie());
            OptionsAtteinte o = recherche.Options;
            o.Depart = &depart;
            o.SuivreVie = true;
            o.SecondesMax = std::min(o.SecondesMax, reste);
            const ResultatAtteinte r = Explorer(o);
            ++route.Recherches;
            route.Etats += r.Etats;
            route.Pas += r.Pas;
            if (!r.CibleAtteinte)
            {
                recherche.Partielle = recherche.Partielle || !r.Complete;
                return Issue::Introuvable;
            }
            recherche.Colonne = r.ArriveeColonne;
            recherche.Ligne = r.ArriveeLigne;
            if (r.Chemin.empty())
                return Issue::Atteinte; // already there
            const Chantier::Point avant = chantier.Garder();
            for (const TouchesTenues& morceau : r.Chemin)
            {
                unsigned touches = 0;
                for (int t = 0; t < 4; ++t)
                    touches |= morceau.Touches[t] ? (1u << t) : 0u;
                for (int n = 0; n < morceau.Pas; ++n)
                {
                    const Evenements e = chantier.Trame(touches);
                    const CPerso& p = chantier.Partie().Perso();
                    if (r.ParMort)
                    {
                        if (e.Mort)
                            return chantier.Stabiliser() ? Issue::Atteinte : Issue::Introuvable;
                        continue;
                    }
                    if (e.Mort)
                    {
                        chantier.Reprendre(avant);
                        return Issue::Refusee;
                    }
                    const bool dedans = p.PosX / CMap::TailleCase == r.ArriveeColonne &&
                                        p.PosY / CMap::TailleCase == r.ArriveeLigne;
                    const bool prise = e.Prise != 0 && e.PriseColonne == r.ArriveeColonne &&
                                       e.PriseLigne == r.ArriveeLigne;
                    if (recherche.Options.Cibles.empty() ? dedans : prise)
                        return Issue::Atteinte;
                }
            }
            chantier.Reprendre(avant);
            return Issue::Refusee;
        }

        // A death on purpose and the return to the start, when the route has
        // nowhere else to go from here.
        Issue Mourir(Chantier& chantier, Recherche& base, Route& route)
        {
            Recherche mort = base;
            mort.Options.CibleColonne = -1;
            mort.Options.CibleLigne = -1;
            mort.Options.Cibles.clear();
            mort.Options.CibleMort = true;
            const Issue issue = Aller(chantier, mort, route);
            base.Partielle = base.Partielle || mort.Partielle;
            return issue;
        }

        bool AuDepart(const PartieRejouee& partie)
        {
            const CPerso& p = partie.Perso();
            return p.PosX == Map.ReturnPosDebutX() && p.PosY == Map.ReturnPosDebutY() && p.VitesseX == 0.0 &&
                   p.VitesseY == 0.0 && p.Vie == p.VieMax;
        }

        std::string Cellule(int colonne, int ligne)
        {
            return "column " + std::to_string(colonne + 1) + ", row " + std::to_string(ligne + 1);
        }

        // The same route run again from its start: the same bonuses at the
        // same times, and the same end.
        bool Confirmee(const Route& route, const Route& rejouee)
        {
            if (rejouee.Prises.size() != route.Prises.size() || rejouee.Trajet.size() != route.Trajet.size())
                return false;
            for (size_t i = 0; i < route.Prises.size(); ++i)
                if (rejouee.Prises[i].Temps != route.Prises[i].Temps ||
                    rejouee.Prises[i].Colonne != route.Prises[i].Colonne ||
                    rejouee.Prises[i].Ligne != route.Prises[i].Ligne)
                    return false;
            if (route.Trajet.empty())
                return true;
            const PointRoute& a = route.Trajet.back();
            const PointRoute& b = rejouee.Trajet.back();
            return a.X == b.X && a.Y == b.Y && a.Etat == b.Etat;
        }

        // Runs key changes on a game from its first frame to the frame at `fin`.
        void Executer(Chantier& chantier, const std::vector<ChangementRoute>& changements, long long fin)
        {
            unsigned touches = 0;
            size_t prochain = 0;
            for (long long t = 0; t <= fin; t += PasMs)
            {
                for (; prochain < changements.size() && changements[prochain].Temps <= t; ++prochain)
                {
                    const ChangementRoute& c = changements[prochain];
                    const unsigned bit = 1u << (c.Touche & 3);
                    touches = c.Appuye ? (touches | bit) : (touches & ~bit);
                }
                chantier.Trame(touches);
            }
        }

        void Vider(Route& route)
        {
            route.Changements.clear();
            route.Trajet.clear();
            route.Marques.clear();
            route.Prises.clear();
            route.Fin = 0;
        }

        PartieRejouee Commencer(const PartieDepart* depart)
        {
            if (depart == nullptr)
                return PartieRejouee();
            Map.ListeBonus = depart->Bonus;
            return PartieRejouee(depart->Perso, depart->Horloge);
        }

        void Chronometrer(Route& route, Montre::time_point debut)
        {
            route.Millisecondes = std::chrono::duration<double, std::milli>(Montre::now() - debut).count();
        }
    }

    Route RejouerRoute(const TexteCarte& texte, const std::vector<ChangementRoute>& changements, long long fin,
                       const PartieDepart* depart)
    {
        Route route;
        try
        {
            ContexteJeu contexte;
            ContexteJeu::ChargerNiveau(texte.Contenu);
            route.Bonus = Map.ListeBonus.size();
            PartieRejouee partie = Commencer(depart);
            Chantier chantier(partie, route);
            Executer(chantier, changements, fin);
            route.Trouvee = true;
        }
        catch (const std::exception&)
        {
            Vider(route);
            route.Pourquoi = "out of memory";
        }
        return route;
    }

    Route RouteVersCase(const TexteCarte& texte, int colonne, int ligne, const OptionsRoute& options,
                        const PartieDepart* depart)
    {
        const Montre::time_point debut = Montre::now();
        Route route;
        route.CibleColonne = colonne;
        route.CibleLigne = ligne;
        bool dehors = false;
        try
        {
            ContexteJeu contexte;
            ContexteJeu::ChargerNiveau(texte.Contenu);
            dehors = colonne < 0 || ligne < 0 || colonne >= LargeurEffective() || ligne >= HauteurEffective();
            if (!dehors)
            {
                PartieRejouee partie = Commencer(depart);
                const PartieRejouee::Instantane origine = partie.Garder();
                Chantier chantier(partie, route);
                Recherche recherche;
                recherche.Echeance = debut + std::chrono::duration_cast<Montre::duration>(
                                                 std::chrono::duration<double>(options.SecondesMax));
                recherche.Options.EtatsMax = options.EtatsMax;
                recherche.Options.Fils = options.Fils;
                recherche.Options.CibleColonne = colonne;
                recherche.Options.CibleLigne = ligne;
                Issue issue = Aller(chantier, recherche, route);
                if (issue != Issue::Atteinte && !AuDepart(chantier.Partie()) &&
                    Mourir(chantier, recherche, route) == Issue::Atteinte)
                    issue = Aller(chantier, recherche, route);
                route.Trouvee = issue == Issue::Atteinte;
                route.Partielle = recherche.Partielle;
                if (route.Trouvee)
                {
                    // Run once more from where it started.
                    Route rejouee;
                    partie.Reprendre(origine);
                    Chantier encore(partie, rejouee);
                    Executer(encore, route.Changements, route.Fin);
                    const CPerso& p = partie.Perso();
                    if (!Confirmee(route, rejouee) || (!route.Trajet.empty() && (p.PosX / CMap::TailleCase != colonne ||
                                                                                  p.PosY / CMap::TailleCase != ligne)))
                    {
                        route.Trouvee = false;
                        route.Pourquoi = "the way found was not confirmed when run again through the game's frame";
                    }
                }
            }
        }
        catch (const std::exception&)
        {
            route.Trouvee = false;
            route.Pourquoi = "out of memory";
        }
        if (!route.Trouvee)
        {
            Vider(route);
            if (dehors)
                route.Pourquoi = Cellule(colonne, ligne) + " lies outside the grid";
            else if (route.Pourquoi.empty() && route.Partielle)
                route.Pourquoi = Cellule(colonne, ligne) +
                                 " was not reached before the search bound (--max-states, --max-seconds)";
            else if (route.Pourquoi.empty())
            {
                OptionsVerification v;
                v.Atteinte.EtatsMax = options.EtatsMax;
                v.Atteinte.SecondesMax = options.SecondesMax;
                v.Atteinte.Fils = options.Fils;
                route.Pourquoi = PourquoiInaccessible(Verifier(texte, v), colonne, ligne);
                if (route.Pourquoi.empty())
                    route.Pourquoi = Cellule(colonne, ligne) + " is reached from the start, but not from where "
                                                               "the character stands, even through a return to "
                                                               "the start";
            }
        }
        Chronometrer(route, debut);
        return route;
    }

    Route RouteNettoyage(const TexteCarte& texte, const OptionsRoute& options, const Rapport* rapport)
    {
        const Montre::time_point debut = Montre::now();
        Route route;
        Rapport verifie;
        if (rapport == nullptr)
        {
            OptionsVerification v;
            v.Atteinte.EtatsMax = options.EtatsMax;
            v.Atteinte.SecondesMax = options.SecondesMax;
            v.Atteinte.Fils = options.Fils;
            verifie = Verifier(texte, v);
            rapport = &verifie;
        }
        route.Bonus = rapport->Bonus.size();
        route.Partielle = rapport->Partielle();
        // Cells worth aiming at: the check says their bonus can be taken, or
        // does not know.
        std::set<std::pair<int, int>> visees;
        for (const BonusVu& b : rapport->Bonus)
            if (b.Sort == BonusVu::Prenable || b.Sort == BonusVu::Inconnu)
                visees.insert({b.Colonne - 1, b.Ligne - 1});
        std::map<std::pair<int, int>, int> restants; // bonuses left per cell
        try
        {
            ContexteJeu contexte;
            ContexteJeu::ChargerNiveau(texte.Contenu);
            const int hauteur = HauteurEffective();
            const size_t cellules = static_cast<size_t>(LargeurEffective()) * static_cast<size_t>(hauteur);
            PartieRejouee partie;
            Chantier chantier(partie, route);
            Chantier::Point derniere = chantier.Garder(); // after the last bonus taken
            Recherche recherche;
            recherche.Echeance = debut + std::chrono::duration_cast<Montre::duration>(
                                             std::chrono::duration<double>(options.SecondesMax));
            recherche.Options.EtatsMax = options.EtatsMax;
            recherche.Options.Fils = options.Fils;
            recherche.Options.ArriveeAuDepart = false;
            std::set<std::pair<int, int>> refusees;
            bool mortDepuisPrise = false;
            while (!visees.empty())
            {
                recherche.Options.Cibles.assign(cellules, 0);
                bool une = false;
                for (const CMap::CBonus& b : Map.ListeBonus)
                {
                    const std::pair<int, int> c(b.CaseX, b.CaseY);
                    if (b.CaseX < 0 || b.CaseY < 0 || b.CaseY >= hauteur || !visees.count(c) || refusees.count(c))
                        continue;
                    const size_t i = static_cast<size_t>(b.CaseX) * static_cast<size_t>(hauteur) +
                                     static_cast<size_t>(b.CaseY);
                    if (i < cellules)
                    {
                        recherche.Options.Cibles[i] = 1;
                        une = true;
                    }
                }
                Issue issue = Issue::Introuvable;
                if (une)
                    issue = Aller(chantier, recherche, route);
                else if (refusees.empty())
                    break; // nothing left to aim at
                if (issue == Issue::Atteinte)
                {
                    refusees.clear();
                    mortDepuisPrise = false;
                    derniere = chantier.Garder();
                    continue;
                }
                if (issue == Issue::Refusee)
                {
                    // The nearest cell could not be confirmed: leave it aside for now.
                    refusees.insert({recherche.Colonne, recherche.Ligne});
                    continue;
                }
                // Nothing reachable from here: back to the start once, through a death.
                if (mortDepuisPrise || AuDepart(chantier.Partie()) ||
                    std::chrono::duration<double>(recherche.Echeance - Montre::now()).count() <= 0 ||
                    Mourir(chantier, recherche, route) != Issue::Atteinte)
                    break;
                mortDepuisPrise = true;
                refusees.clear();
            }
            if (std::chrono::duration<double>(recherche.Echeance - Montre::now()).count() <= 0)
                recherche.Partielle = true;
            route.Partielle = route.Partielle || recherche.Partielle;
            // The route ends with the last bonus it takes.
            chantier.Reprendre(derniere);
            for (const CMap::CBonus& b : Map.ListeBonus)
                ++restants[{b.CaseX, b.CaseY}];
        }
        catch (const std::exception&)
        {
            Vider(route);
            route.Pourquoi = "out of memory";
            restants.clear();
            for (const BonusVu& b : rapport->Bonus)
                ++restants[{b.Colonne - 1, b.Ligne - 1}];
        }

        // The bonuses left: on a cell, the game takes them in file order, so
        // those left are the last ones of the cell.
        for (size_t k = rapport->Bonus.size(); k-- > 0;)
        {
            const BonusVu& b = rapport->Bonus[k];
            int& n = restants[{b.Colonne - 1, b.Ligne - 1}];
            if (n <= 0)
                continue;
            --n;
            route.Restants.insert(route.Restants.begin(), b);
        }
        for (const BonusVu& b : route.Restants)
        {
            std::string raison = PourquoiInaccessible(*rapport, b.Colonne - 1, b.Ligne - 1);
            if (raison.empty())
                raison = "the route could not take it: the search reaches it from the start, but not after the "
                         "bonuses taken before it";
            route.RaisonsRestants.push_back(raison);
        }
        route.Trouvee = route.Restants.empty();

        if (!route.Trajet.empty())
        {
            const Route rejouee = RejouerRoute(texte, route.Changements, route.Fin);
            if (!Confirmee(route, rejouee))
            {
                Vider(route);
                route.Trouvee = false;
                route.Pourquoi = "the route found was not confirmed when run again through the game's frame";
            }
        }
        Chronometrer(route, debut);
        return route;
    }
}
