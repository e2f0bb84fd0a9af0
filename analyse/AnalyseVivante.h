#pragma once
// The analysis of a level while it is being edited, without ever making the
// caller wait. The analysis runs the game's own loader and movement step on
// the game's globals (the level, the characters, the clock), so it cannot run
// in a thread beside a frame drawing from those globals: each request forks a
// child process that analyses the text it was given in its own copy of the
// memory, sends the report back over a pipe and exits. The caller polls once
// per frame; a poll never blocks. A new request while one runs kills the
// running child and starts again; a child that dies, or runs past its
// deadline, gives a failed state with the reason, and every child is reaped.
//
//   AnalyseVivante analyse;             // once
//   analyse.Demander(texteDuNiveau);    // after each edit
//   analyse.Sonder();                   // every frame
//   if (analyse.EtatActuel() == AnalyseVivante::Etat::Prete) ... analyse.Resultat()
#include "Verification.h"

#include <chrono>
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace AnalyseCarte
{
    class AnalyseVivante
    {
    public:
        enum class Etat
        {
            Repos,    // nothing asked yet
            EnCours,  // a child is analysing the last text asked for
            Prete,    // Resultat() is the analysis of the last text asked for
            Echec     // the last analysis failed: Erreur() says why
        };

        // What the child runs: by default AnalyserTexte.
        using Fonction = std::function<Rapport(const std::string&, const OptionsVerification&)>;

        // `options` bound the search (OptionsAtteinte::EtatsMax, SecondesMax);
        // a child still running `delaiSecondes` after it started is killed
        // (by default the search's bound in seconds, plus 10 s).
        explicit AnalyseVivante(const OptionsVerification& options = OptionsVerification(),
                                double delaiSecondes = -1.0, Fonction fonction = AnalyserTexte);
        // Kills a running child and reaps every child.
        ~AnalyseVivante();
        AnalyseVivante(const AnalyseVivante&) = delete;
        AnalyseVivante& operator=(const AnalyseVivante&) = delete;

        // Starts analysing a map text (the bytes of the file as it would be
        // saved). A child still running for an earlier text is killed first.
        // Returns at once; false (state Echec) when no child can be started.
        bool Demander(const std::string& texte);
        // The same with other options from now on (a route to another cell:
        // OptionsVerification::Route).
        bool Demander(const std::string& texte, const OptionsVerification& options);

        // Reads what the child has sent so far, reaps children that ended,
        // enforces the deadline; never blocks. Call it once per frame.
        Etat Sonder();

        // Like Sonder, waiting at most `millisecondes` for the running
        // analysis to end (for tools and tests; an editor never waits).
        Etat Attendre(int millisecondes);

        Etat EtatActuel() const { return etat_; }
        // The report of the last analysis that succeeded (kept while a newer
        // one runs or after one failed), and the number of its request.
        const Rapport& Resultat() const { return resultat_; }
        unsigned NumeroResultat() const { return numeroResultat_; }
        // Requests made so far; the last one is the one EnCours/Prete/Echec speak of.
        unsigned NumeroDemande() const { return numeroDemande_; }
        // Why the last analysis failed, in a sentence.
        const std::string& Erreur() const { return erreur_; }
        // The running child's process id, or -1.
        pid_t Processus() const { return enfant_; }
        // Time from the last request to its result or failure, in ms.
        double Millisecondes() const { return millisecondes_; }

    private:
        void Arreter();   // kills the running child, keeps it to be reaped
        void Recolter();  // reaps the children killed earlier
        void Terminer(int statut, bool statutConnu); // the child was reaped
        void Echouer(const std::string& pourquoi);

        OptionsVerification options_;
        double delai_;
        Fonction fonction_;
        Etat etat_ = Etat::Repos;
        Rapport resultat_;
        unsigned numeroResultat_ = 0;
        unsigned numeroDemande_ = 0;
        std::string erreur_;
        pid_t enfant_ = -1;
        int tube_ = -1;         // read end of the running child's pipe
        bool finLue_ = false;   // the child closed its end
        std::string recu_;      // what it sent so far
        std::vector<pid_t> tues_; // killed, not yet reaped
        std::chrono::steady_clock::time_point debut_;
        double millisecondes_ = 0.0;
    };

    // The report as bytes and back, as the child sends it. LireRapport gives false
    // for anything that is not a whole report (a child that died midway).
    std::string EcrireRapport(const Rapport& rapport);
    bool LireRapport(const std::string& octets, Rapport& rapport);
}
