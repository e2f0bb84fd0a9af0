#include "Nettoyage.h"

#include "Fichier.h"

#include <cstdio>

namespace Edition
{
    namespace
    {
        AnalyseCarte::OptionsVerification Options()
        {
            AnalyseCarte::OptionsVerification o;
            o.Atteinte.SecondesMax = 20.0;
            o.Route = AnalyseCarte::OptionsVerification::RouteVoulue::Nettoyage;
            return o;
        }
    }

    std::string ResumeNettoyage(const AnalyseCarte::Route& route)
    {
        std::string texte = route.Bilan();
        if (!route.Restants.empty())
        {
            const AnalyseCarte::BonusVu& b = route.Restants.front();
            texte += "; left: column " + std::to_string(b.Colonne) + " row " + std::to_string(b.Ligne);
            if (route.Restants.size() > 1)
                texte += ", and " + std::to_string(route.Restants.size() - 1) + " more";
        }
        if (route.Partielle)
            texte += " (partial)";
        return texte;
    }

    Nettoyage::Nettoyage(const EtatEdition& etat) : etat_(etat), recherche_(Options()) {}

    void Nettoyage::Avancer()
    {
        using AnalyseVivante = AnalyseCarte::AnalyseVivante;
        // An edit: the route of the level before is no longer offered. The new
        // one is asked for once the live check of it is in: the findings come
        // first, and on two cores the two searches would slow each other.
        if (revision_ != etat_.Doc.Revision())
        {
            prete_ = false;
            texte_ = "clear check...";
            if (etat_.Analyse.EtatActuel() != AnalyseVivante::Etat::EnCours)
            {
                revision_ = etat_.Doc.Revision();
                niveau_ = EcrireCarte(etat_.Doc.Courant(), etat_.Format);
                arretee_ = false;
                recherche_.Demander(niveau_, Options());
            }
            else if (!arretee_ && recherche_.EtatActuel() == AnalyseVivante::Etat::EnCours)
            {
                // The route of the level before is of no use any more: its
                // search stops now rather than share the cores with the check.
                arretee_ = true;
                recherche_.Demander(std::string(), Options());
            }
        }
        const AnalyseVivante::Etat avant = recherche_.EtatActuel();
        const AnalyseVivante::Etat etat = recherche_.Sonder();
        if (etat == AnalyseVivante::Etat::Echec && avant != etat)
            texte_ = "clear check failed";
        if (etat != AnalyseVivante::Etat::Prete || recherche_.NumeroResultat() == numeroVu_ ||
            revision_ != etat_.Doc.Revision())
            return;
        numeroVu_ = recherche_.NumeroResultat();
        const AnalyseCarte::Rapport& r = recherche_.Resultat();
        if (!r.RouteCalculee)
        {
            texte_ = "no clear route";
            return;
        }
        route_ = *r.RouteCalculee;
        prete_ = true;
        texte_ = ResumeNettoyage(route_);
        std::printf("clear check: %s, %.0f ms\n", texte_.c_str(), recherche_.Millisecondes());
        std::fflush(stdout);
    }
}
