#include "SessionFichier.h"

#include "outils/Horloge.h"

#include <csignal>
#include <cstdio>
#include <ctime>

namespace Edition
{
    namespace
    {
        volatile std::sig_atomic_t fin = 0;

        void Signal(int)
        {
            fin = 1;
        }

        std::string Moment(time_t t)
        {
            char texte[64] = "";
            struct tm local;
            if (localtime_r(&t, &local) != nullptr)
                std::strftime(texte, sizeof texte, "%Y-%m-%d %H:%M:%S", &local);
            return texte;
        }

        std::string Liste(const std::vector<std::string>& l)
        {
            std::string texte;
            for (const std::string& e : l)
                texte += (texte.empty() ? "" : ", ") + e;
            return texte;
        }
    }

    void SessionFichier::InstallerSignaux()
    {
        struct sigaction a = {};
        a.sa_handler = Signal;
        sigemptyset(&a.sa_mask);
        sigaction(SIGTERM, &a, nullptr);
        sigaction(SIGHUP, &a, nullptr);
    }

    // -------------------------------------------------------------- recovery

    void SessionFichier::Offrir(const std::vector<AutosaveLaisse>& laisses)
    {
        for (const AutosaveLaisse& a : laisses)
        {
            std::vector<std::string> lignes = {"An autosave of this level holds changes that were never saved:",
                                               Base(a.Chemin) + ", written " + Moment(a.Moment)};
            if (a.FichierChange)
                lignes.push_back("The file has changed since this autosave: restoring it undoes that change.");
            dialogues_.Demander(
                lignes, {{SDLK_y, "Y: restore it (save to keep it)",
                          [this, a] {
                              const Ouverture o = AnalyserCarte(a.Octets, a.Chemin);
                              etat_.Doc.Remplacer(o.Carte);
                              fichier_.Recupere(a);
                              actions_.Statut("the autosave is back: save to keep it");
                          }},
                         {SDLK_n, "N: keep the file as it is (the autosave is offered again next time)",
                          [this] { actions_.Statut("the file is as it was; the autosave is kept for next time"); }},
                         {SDLK_d, "D: discard the autosave", [this, a] {
                              actions_.Statut(fichier_.Jeter(a) ? "autosave discarded: " + Base(a.Chemin)
                                                                : "cannot discard " + a.Chemin);
                          }}});
        }
    }

    // ---------------------------------------------------------------- saving

    void SessionFichier::Enregistrer(const std::string& cible, bool puisQuitter)
    {
        Poursuivre(cible, Choix(), puisQuitter);
    }

    void SessionFichier::Poursuivre(const std::string& cible, const Choix& choix, bool puisQuitter)
    {
        const std::string octets = EcrireCarte(etat_.Doc.Courant(), etat_.Format);
        const ResultatEnregistrement r = fichier_.Enregistrer(octets, cible, choix);
        if (r.Etat == ResultatEnregistrement::AConfirmer)
        {
            DemanderSiBesoin(r.Questions, cible, choix, puisQuitter);
            return;
        }
        if (r.Etat == ResultatEnregistrement::Echec)
        {
            std::fprintf(stderr, "corvella-editeur: save failed: %s\n", r.Erreur.c_str());
            std::vector<std::string> lignes = {"Save failed: " + r.Erreur};
            if (!r.Copies.empty())
                lignes.push_back("Kept before the failure: " + Liste(r.Copies));
            lignes.push_back("Every change is still here.");
            const bool place = r.Erreur.find("No space left") != std::string::npos ||
                               r.Erreur.find("quota") != std::string::npos;
            lignes.push_back(place ? "Free some room or save elsewhere (ctrl + shift + s)."
                                   : "Save elsewhere with ctrl + shift + s.");
            dialogues_.Montrer(lignes);
            return;
        }
        Enregistre(r);
        if (cible != etat_.Chemin)
            etat_.Chemin = cible;
        if (puisQuitter)
            actions_.Terminer();
    }

    bool SessionFichier::DemanderSiBesoin(const Preparation& p, const std::string& cible, const Choix& choix,
                                          bool puisQuitter)
    {
        const std::string nom = Base(cible);
        auto avec = [this, cible, choix, puisQuitter](bool Choix::*reponse) {
            return [this, cible, choix, puisQuitter, reponse] {
                Choix c = choix;
                c.*reponse = true;
                Poursuivre(cible, c, puisQuitter);
            };
        };
        const Reponse ne = {SDLK_n, "N: do not save", [this] { actions_.Statut("not saved"); }};
        const Reponse sous = {SDLK_a, "A: save as another file", [this] { dialogues_.EnregistrerSous(etat_.Chemin); }};
        if (p.Disque != EtatDisque::Inchange && !choix.EcraserModifie)
        {
            if (p.Disque == EtatDisque::Supprime)
                dialogues_.Demander({nom + " was removed or renamed since it was opened."},
                                    {{SDLK_o, "O: save it again there", avec(&Choix::EcraserModifie)}, sous, ne});
            else
                dialogues_.Demander(
                    {p.Disque == EtatDisque::Apparu ? "Another program made " + nom + " since this level was started."
                                                    : nom + " changed on disk since it was opened or saved here.",
                     "Saving would replace that change."},
                    {{SDLK_r, "R: reload it (this session's changes are lost)", [this] { Recharger(); }},
                     {SDLK_o, "O: overwrite it (its present content is kept as " + nom + ".~N~)",
                      avec(&Choix::EcraserModifie)},
                     sous, ne});
            return true;
        }
        if (p.CibleExiste && !choix.RemplacerExistant)
        {
            dialogues_.Demander({nom + " already exists."},
                                {{SDLK_y, "Y: replace it" + (p.Copie.empty() ? "" : " (it is kept as " + Base(p.Copie) + ")"),
                                  avec(&Choix::RemplacerExistant)},
                                 ne});
            return true;
        }
        if (p.LectureSeule && !choix.RemplacerLectureSeule)
        {
            dialogues_.Demander({nom + " is read-only."},
                                {{SDLK_y, "Y: replace it all the same", avec(&Choix::RemplacerLectureSeule)}, ne});
            return true;
        }
        if (p.Illisible && !choix.RemplacerIllisible)
        {
            std::vector<std::string> lignes = {"The game cannot read " + nom + " as a level. Saving replaces:"};
            for (const std::string& perte : p.Pertes)
                lignes.push_back("- " + perte);
            dialogues_.Demander(lignes, {{SDLK_y, "Y: replace it with this level" +
                                                      (p.Copie.empty() ? "" : " (it is kept as " + Base(p.Copie) + ")"),
                                          avec(&Choix::RemplacerIllisible)},
                                         ne});
            return true;
        }
        if (!p.NonGarde.empty() && !choix.EnPlace && !choix.AccepterNonGarde)
        {
            std::vector<std::string> lignes = {"Replacing " + nom + " with a new file cannot keep:"};
            for (const std::string& n : p.NonGarde)
                lignes.push_back("- " + n);
            dialogues_.Demander(lignes, {{SDLK_w, "W: write over the file in place (keeps all of it)",
                                          avec(&Choix::EnPlace)},
                                         {SDLK_r, "R: replace it anyway", avec(&Choix::AccepterNonGarde)},
                                         {SDLK_ESCAPE, "Escape: do not save", [this] { actions_.Statut("not saved"); }}});
            return true;
        }
        return false;
    }

    void SessionFichier::Enregistre(const ResultatEnregistrement& r)
    {
        etat_.Doc.MarquerEnregistre();
        etat_.Nouveau = false;
        autosave_ = false;
        revisionAutosave_ = etat_.Doc.Revision();
        etat_.AlerteDisque.clear();
        std::string texte = "saved " + fichier_.Chemin();
        std::vector<std::string> copies;
        for (const std::string& c : r.Copies)
            copies.push_back(Base(c) == Base(fichier_.CheminReel()) + "~" ? Base(c) : c);
        if (!copies.empty())
            texte += " (kept: " + Liste(copies) + ")";
        if (!r.Questions.NoteCopie.empty())
            texte += "; " + r.Questions.NoteCopie;
        if (!r.NonGarde.empty())
            texte += "; not kept: " + Liste(r.NonGarde);
        actions_.Statut(texte);
        std::printf("saved %s\n", fichier_.Chemin().c_str());
        for (const std::string& c : r.Copies)
            std::printf("kept %s\n", c.c_str());
        std::fflush(stdout);
    }

    void SessionFichier::Recharger()
    {
        const Ouverture o = fichier_.Recharger();
        if (!o.Reussi)
        {
            dialogues_.Montrer({"Cannot reload: " + o.Erreur});
            return;
        }
        etat_.Doc.Remplacer(o.Carte);
        etat_.Doc.MarquerEnregistre();
        etat_.Format = o.Format;
        etat_.Nouveau = o.Nouveau;
        fichier_.JeterAutosave();
        autosave_ = false;
        etat_.AlerteDisque.clear();
        actions_.Statut("reloaded " + fichier_.Chemin());
    }

    // ------------------------------------------------- autosave, idle check

    bool SessionFichier::Tic()
    {
        const Uint32 maintenant = Horloge::Ticks();
        if (debut_)
        {
            debut_ = false;
            dernierAutosave_ = derniereVerification_ = maintenant;
        }
        const uint64_t revision = etat_.Doc.Revision();
        if (!etat_.NonEnregistre())
        {
            // Undone back to what is saved: the autosave has nothing to keep.
            if (autosave_)
                fichier_.JeterAutosave();
            autosave_ = false;
            revisionAutosave_ = revision;
            dernierAutosave_ = maintenant;
        }
        else if (revision == revisionAutosave_)
            dernierAutosave_ = maintenant;
        else if (maintenant - dernierAutosave_ >= PeriodeAutosave)
        {
            dernierAutosave_ = maintenant;
            EcrireAutosave();
        }
        if (maintenant - derniereVerification_ >= PeriodeVerification)
        {
            derniereVerification_ = maintenant;
            Verifier();
        }
        if (fin == 0)
            return false;
        fin = 0;
        std::printf("asked to end\n");
        if (etat_.NonEnregistre() && revision != revisionAutosave_)
            EcrireAutosave();
        return true;
    }

    void SessionFichier::EcrireAutosave()
    {
        std::string erreur;
        if (fichier_.Autosave(EcrireCarte(etat_.Doc.Courant(), etat_.Format), erreur))
        {
            autosave_ = true;
            revisionAutosave_ = etat_.Doc.Revision();
            Alerte(etat_.AlerteAutosave, "");
            actions_.Statut("autosaved to " + Base(fichier_.CheminAutosave()));
            std::printf("autosaved %s\n", fichier_.CheminAutosave().c_str());
            std::fflush(stdout);
        }
        else
            // Until an autosave works again.
            Alerte(etat_.AlerteAutosave, "autosave failed: " + erreur);
    }

    void SessionFichier::Verifier()
    {
        const EtatDisque e = fichier_.Verifier();
        const std::string nom = Base(fichier_.Chemin());
        Alerte(etat_.AlerteDisque, e == EtatDisque::Inchange   ? std::string()
                                   : e == EtatDisque::Supprime ? nom + " was removed from disk"
                                                               : nom + " changed on disk");
    }

    void SessionFichier::Alerte(std::string& alerte, const std::string& texte)
    {
        if (alerte == texte)
            return;
        alerte = texte;
        if (!texte.empty())
        {
            std::printf("status: %s\n", texte.c_str());
            std::fflush(stdout);
        }
    }
}
