// The live check in the browser, behind the desktop's interface: no fork, so
// each request goes to a Web Worker running a second WebAssembly instance of
// the analysis (analyse/Travailleur.cpp, page/analyse.js), fed the level's
// text and the options that matter to it. Each AnalyseVivante has a worker of
// its own (the editor runs the live check, the clear check and the route to
// a cell side by side), known to the page by the object's address. A request
// while one runs waits for it and replaces any other waiting; only the last
// request's report is taken, as the desktop takes only its last child's. A
// poll never blocks.
#include "analyse/AnalyseVivante.h"

#include <emscripten.h>
#include <cstdlib>

namespace AnalyseCarte
{
    AnalyseVivante::AnalyseVivante(const OptionsVerification& options, double delaiSecondes, Fonction fonction)
        : options_(options), delai_(delaiSecondes > 0 ? delaiSecondes : options.Atteinte.SecondesMax + 10.0),
          fonction_(std::move(fonction))
    {
        EM_ASM({ if (Module["analyseDemarrer"]) Module["analyseDemarrer"]($0); }, this);
    }

    AnalyseVivante::~AnalyseVivante()
    {
        EM_ASM({ if (Module["analyseArreter"]) Module["analyseArreter"]($0); }, this);
    }

    bool AnalyseVivante::Demander(const std::string& texte, const OptionsVerification& options)
    {
        options_ = options;
        return Demander(texte);
    }

    void AnalyseVivante::Echouer(const std::string& pourquoi)
    {
        etat_ = Etat::Echec;
        erreur_ = pourquoi;
        millisecondes_ = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - debut_).count();
    }

    bool AnalyseVivante::Demander(const std::string& texte)
    {
        ++numeroDemande_;
        debut_ = std::chrono::steady_clock::now();
        // What the worker needs of the options: the search's bounds and the
        // route asked for (the editor sets nothing else).
        const OptionsVerification& o = options_;
        const int envoye = EM_ASM_INT({
            if (!Module["analyseDemander"]) return 0;
            return Module["analyseDemander"]($0, $1, HEAPU8.slice($2, $2 + $3), {
                atteignabilite: $4, etatsMax: $5, secondesMax: $6, route: $7, colonne: $8, ligne: $9 });
        }, this, numeroDemande_, texte.data(), static_cast<int>(texte.size()), o.Atteignabilite ? 1 : 0,
           static_cast<double>(o.Atteinte.EtatsMax), o.Atteinte.SecondesMax, static_cast<int>(o.Route),
           o.RouteColonne, o.RouteLigne);
        if (envoye == 0)
        {
            Echouer("cannot start the analysis: the page has no worker for it");
            return false;
        }
        etat_ = Etat::EnCours;
        return true;
    }

    AnalyseVivante::Etat AnalyseVivante::Sonder()
    {
        if (etat_ != Etat::EnCours)
            return etat_;
        // The report's length once the worker has answered the last request, else -1.
        const int longueur = EM_ASM_INT({
            const r = Module["analyseResultat"] && Module["analyseResultat"]($0);
            return r && r.numero === $1 ? r.rapport.length : -1;
        }, this, numeroDemande_);
        if (longueur >= 0)
        {
            std::string octets(static_cast<size_t>(longueur), '\0');
            EM_ASM({ HEAPU8.set(Module["analyseResultat"]($0).rapport, $1); }, this, &octets[0]);
            Rapport rapport;
            if (!LireRapport(octets, rapport))
            {
                Echouer("the analysis sent a broken report");
                return etat_;
            }
            resultat_ = std::move(rapport);
            numeroResultat_ = numeroDemande_;
            etat_ = Etat::Prete;
            millisecondes_ =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - debut_).count();
            return etat_;
        }
        const char* erreur = reinterpret_cast<const char*>(EM_ASM_INT({
            const e = Module["analyseErreur"] && Module["analyseErreur"]($0);
            return e ? stringToNewUTF8(e) : 0;
        }, this));
        if (erreur != nullptr)
        {
            Echouer(std::string("the analysis failed: ") + erreur);
            std::free(const_cast<char*>(erreur));
            return etat_;
        }
        if (std::chrono::duration<double>(std::chrono::steady_clock::now() - debut_).count() > delai_)
        {
            EM_ASM({ if (Module["analyseRelancer"]) Module["analyseRelancer"]($0); }, this);
            Echouer("the analysis did not end within " + std::to_string(static_cast<int>(delai_)) + " s: stopped");
        }
        return etat_;
    }

    AnalyseVivante::Etat AnalyseVivante::Attendre(int)
    {
        // A page never waits: as a poll.
        return Sonder();
    }
}
