#pragma once
// The editor's side of the file it works on: the questions before saving
// (another program's change, a file in the way of a save as, a read-only or
// unreadable file, what replacing cannot keep), the autosaves other sessions
// left, this session's autosave, the idle check for changes on disk, and the
// end asked by a signal. The file layer (CFichierEdite) decides and writes;
// this asks the designer and tells them.
#include "Dialogues.h"
#include "Etat.h"
#include "FichierEdite.h"

#include <SDL.h>
#include <string>
#include <vector>

namespace Edition
{
    class SessionFichier
    {
    public:
        SessionFichier(EtatEdition& etat, Dialogues& dialogues, Actions& actions, CFichierEdite& fichier)
            : etat_(etat), dialogues_(dialogues), actions_(actions), fichier_(fichier)
        {
        }
        // Asks, one after another, about the autosaves left by sessions that ended.
        void Offrir(const std::vector<AutosaveLaisse>& laisses);
        // Saves to `cible` once every question is answered; quits after that
        // when `puisQuitter`.
        void Enregistrer(const std::string& cible, bool puisQuitter);
        // The designer quits without saving: this session's autosave goes.
        void Jeter() { fichier_.JeterAutosave(); }

        // Each frame: the autosave when due, the check for changes on disk
        // every few seconds. Returns true when a signal asked the editor to
        // end (an autosave of unsaved changes is written first).
        bool Tic();
        // SIGTERM and SIGHUP: noted, for Tic.
        static void InstallerSignaux();

        static const Uint32 PeriodeVerification = 3000;

    private:
        void Poursuivre(const std::string& cible, const Choix& choix, bool puisQuitter);
        bool DemanderSiBesoin(const Preparation& p, const std::string& cible, const Choix& choix, bool puisQuitter);
        void Enregistre(const ResultatEnregistrement& r);
        void Recharger();
        void EcrireAutosave();
        void Verifier();
        void Alerte(std::string& alerte, const std::string& texte);

        EtatEdition& etat_;
        Dialogues& dialogues_;
        Actions& actions_;
        CFichierEdite& fichier_;
        Uint32 dernierAutosave_ = 0, derniereVerification_ = 0;
        bool debut_ = true;
        uint64_t revisionAutosave_ = ~0ull; // the revision the autosave holds
        bool autosave_ = false;             // this session has one
    };
}
