// The checks of a map text (corvella-carte check, the editor's live
// findings). The file is read twice: once by the game's own parser
// (CMap::AnalyseContenu), which gives the level exactly as the game gets it,
// and once by Interne::Analyse (VerificationInterne.h), along the same rules,
// to know where in the file each section, key, row and cell comes from. Here:
// the entry points, the report and its text and JSON forms.
#include "Verification.h"

#include "Contexte.h"
#include "VerificationInterne.h"
#include "Route.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <utility>

namespace AnalyseCarte
{
    size_t Rapport::Avertissements() const
    {
        return Omis + static_cast<size_t>(std::count_if(Constats.begin(), Constats.end(), [](const Constat& c) {
                   return c.Niveau == Gravite::Avertissement;
               }));
    }

    size_t Rapport::Notes() const
    {
        return Constats.size() + Omis - Avertissements();
    }

    std::string NomTuile(int code)
    {
        static const char* const Noms[] = {
            "unset cell",                       // 0
            "empty",                            // 1
            "grass",                            // 2
            "water",                            // 3
            "wall",                             // 4
            "slope start, right",               // 5
            "sand, edge to the right",          // 6
            "slope start, left",                // 7
            "hilltop, right side",              // 8
            "hilltop, left side",               // 9
            "earth",                            // 10
            "grass, edge to the right",         // 11
            "side transition, right",           // 12
            "grass, edge to the left",          // 13
            "side transition, left",            // 14
            "wall-to-water transition, right",  // 15
            "wall, right",                      // 16
            "wall-to-water transition, left",   // 17
            "wall, left",                       // 18
            "wall-to-grass transition, right",  // 19
            "wall-to-grass transition, left",   // 20
            "slope, right",                     // 21
            "wall-to-earth, bottom right",      // 22
            "slope, left",                      // 23
            "wall-to-earth, bottom left",       // 24
            "sand, interior",                   // 25
            "wall-to-earth, right",             // 26
            "sand, wall on the right",          // 27
            "wall-to-earth, left",              // 28
            "sand, wall on the left",           // 29
            "wall-to-earth, top right",         // 30
            "sand, ground",                     // 31
            "wall-to-earth, top left",          // 32
            "sand, edge to the left",           // 33
        };
        if (code < 0 || code >= static_cast<int>(sizeof Noms / sizeof Noms[0]))
            return "unknown tile";
        return Noms[code];
    }

    std::string NomBonus(int type)
    {
        static const char* const Noms[] = {"life 25", "life 50", "life 75", "life 100",
                                           "mana 25", "mana 50", "mana 75", "mana 100"};
        if (type < 1 || type > 8)
            return "unknown";
        return Noms[type - 1];
    }

    using Interne::Analyse;

    namespace
    {
        bool AvantConstat(const Constat& a, const Constat& b)
        {
            if (a.Ligne != b.Ligne)
                return a.Ligne < b.Ligne;
            return a.Colonne < b.Colonne;
        }

        const char* NomGravite(Gravite g)
        {
            return g == Gravite::Note ? "note" : "warning";
        }

        std::string Resume(const Rapport& rapport)
        {
            const size_t avertissements = rapport.Avertissements();
            const size_t notes = rapport.Notes();
            std::string texte = avertissements == 0 ? "no finding"
                                                    : std::to_string(avertissements) +
                                                          (avertissements == 1 ? " finding" : " findings");
            if (rapport.Omis > 0)
                texte += " (" + std::to_string(rapport.Omis) + " not listed)";
            if (notes > 0)
                texte += ", " + std::to_string(notes) + (notes == 1 ? " note" : " notes");
            if (rapport.RechercheLancee)
            {
                char tampon[160];
                std::snprintf(tampon, sizeof tampon, " (reachability: %zu states, %zu steps, %.0f ms%s)",
                              rapport.Etats, rapport.Pas, rapport.Millisecondes,
                              rapport.RechercheComplete ? "" : ", incomplete");
                texte += tampon;
            }
            return texte;
        }
    }

    unsigned char Rapport::EtatDe(int colonne, int ligne) const
    {
        if (colonne < 1 || ligne < 1 || colonne > Largeur || ligne > Hauteur ||
            Cases.size() != static_cast<size_t>(Largeur) * static_cast<size_t>(Hauteur))
            return 0;
        return Cases[static_cast<size_t>(colonne - 1) * static_cast<size_t>(Hauteur) + static_cast<size_t>(ligne - 1)];
    }

    Rapport AnalyserTexte(const std::string& octets, const OptionsVerification& options)
    {
        if (octets.size() > TailleFichierMax)
        {
            Rapport rapport;
            Constat c;
            c.Genre = "too-large";
            c.Message = "the level's text is larger than 16 MiB: it is not analysed";
            rapport.Constats.push_back(c);
            return rapport;
        }
        const TexteCarte texte = Normaliser(octets);
        Rapport rapport = Verifier(texte, options);
        if (options.Route == OptionsVerification::RouteVoulue::Aucune)
            return rapport;
        OptionsRoute o;
        o.EtatsMax = options.Atteinte.EtatsMax;
        o.SecondesMax = options.Atteinte.SecondesMax;
        o.Fils = options.Atteinte.Fils;
        try
        {
            Route route = options.Route == OptionsVerification::RouteVoulue::Nettoyage
                              ? RouteNettoyage(texte, o, &rapport)
                              : RouteVersCase(texte, options.RouteColonne, options.RouteLigne, o);
            route.Trajet.clear();
            route.Marques.clear();
            rapport.RouteCalculee = std::make_shared<const Route>(std::move(route));
        }
        catch (const std::exception&)
        {
            // Out of memory: the check stands without its route.
        }
        return rapport;
    }

    Rapport Verifier(const TexteCarte& texte, const OptionsVerification& options)
    {
        Rapport rapport;
        try
        {
            ContexteJeu contexte;
            Analyse analyse(texte, rapport);
            analyse.Lancer(options);
        }
        catch (const std::exception&)
        {
            Constat c;
            c.Genre = "internal";
            c.Message = "out of memory: the check is incomplete";
            rapport.Constats.push_back(c);
        }
        std::stable_sort(rapport.Constats.begin(), rapport.Constats.end(), AvantConstat);
        return rapport;
    }

    std::string EnTexte(const Rapport& rapport, const std::string& fichier)
    {
        std::string texte;
        for (const Constat& c : rapport.Constats)
        {
            texte += fichier + ":";
            if (c.Ligne > 0)
                texte += std::to_string(c.Ligne) + ":" + std::to_string(c.Colonne) + ":";
            texte += std::string(" ") + NomGravite(c.Niveau) + ": " + c.Message + " [" + c.Genre + "]\n";
        }
        texte += fichier + ": " + Resume(rapport) + "\n";
        return texte;
    }

    std::string EnJson(const Rapport& rapport, const std::string& fichier)
    {
        std::string texte = "{\n  \"file\": " + Json(fichier) + ",\n  \"findings\": [";
        bool premier = true;
        for (const Constat& c : rapport.Constats)
        {
            texte += premier ? "\n" : ",\n";
            premier = false;
            texte += "    {\"line\": " + (c.Ligne > 0 ? std::to_string(c.Ligne) : std::string("null")) +
                     ", \"column\": " + (c.Ligne > 0 ? std::to_string(c.Colonne) : std::string("null")) +
                     ", \"severity\": " + Json(NomGravite(c.Niveau)) + ", \"kind\": " + Json(c.Genre) +
                     ", \"message\": " + Json(c.Message) + "}";
        }
        texte += premier ? "],\n" : "\n  ],\n";
        texte += "  \"warnings\": " + std::to_string(rapport.Avertissements()) + ",\n";
        texte += "  \"notes\": " + std::to_string(rapport.Notes()) + ",\n";
        texte += "  \"not_listed\": " + std::to_string(rapport.Omis) + ",\n";
        char tampon[256];
        std::snprintf(tampon, sizeof tampon,
                      "  \"reachability\": {\"run\": %s, \"complete\": %s, \"states\": %zu, \"steps\": %zu, "
                      "\"milliseconds\": %.1f}\n",
                      rapport.RechercheLancee ? "true" : "false", rapport.RechercheComplete ? "true" : "false",
                      rapport.Etats, rapport.Pas, rapport.Millisecondes);
        texte += tampon;
        texte += "}\n";
        return texte;
    }
}
