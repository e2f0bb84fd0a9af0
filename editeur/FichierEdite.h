#pragma once
// The file a session of the editor works on, and everything that protects the
// work in it: the file as it was opened (to notice another program's change
// before saving or autosaving), the backup of the file as the session found
// it, the questions to ask before saving, this session's own autosave and the
// autosaves other sessions left behind. The window asks and shows; this
// decides and writes.
#include "Fichier.h"
#include "Identite.h"

#include <ctime>
#include <set>
#include <string>
#include <vector>

namespace Edition
{
    enum class EtatDisque
    {
        Inchange, // the file holds what the session opened or last saved
        Modifie,  // another program changed it
        Supprime, // it was removed (or renamed) since
        Apparu    // a file appeared where the session had a new level
    };

    // What to ask before saving to a path, and what saving there will do.
    struct Preparation
    {
        std::string Erreur;          // saving there cannot work at all (a folder in the way)
        EtatDisque Disque = EtatDisque::Inchange; // the session's own file, since opened or saved
        bool CibleExiste = false;    // save as: another file is there
        bool LectureSeule = false;   // the file is read-only
        bool Illisible = false;      // the loader could not read the file as a level
        std::vector<std::string> Pertes;   // ... and what saving over it loses
        std::vector<std::string> NonGarde; // what replacing the file cannot keep (links, owner, group)
        bool EnPlace = false;        // the folder cannot take a new file: written over, after a copy
        std::string Copie;           // where the file as the session found it will be kept ("" for none)
        std::string NoteCopie;       // why the copy is not beside the file
        bool AQuestions() const;
    };

    // The designer's answers to the questions of a Preparation.
    struct Choix
    {
        bool EcraserModifie = false;  // overwrite another program's change (a copy of it is kept)
        bool RemplacerExistant = false;
        bool RemplacerLectureSeule = false;
        bool RemplacerIllisible = false;
        bool EnPlace = false;         // write over the file's bytes, which keeps all of it
        bool AccepterNonGarde = false; // or replace it and lose what NonGarde lists
    };

    struct ResultatEnregistrement
    {
        enum
        {
            Enregistre,
            AConfirmer, // a question is unanswered: nothing was written
            Echec       // nothing changed on disk but what `Copies` lists
        } Etat = Echec;
        Preparation Questions;
        std::string Erreur;
        std::vector<std::string> Copies;   // the copies written, the file as found first
        std::vector<std::string> NonGarde; // what the new file could not keep after all
    };

    // An autosave another session left.
    struct AutosaveLaisse
    {
        std::string Chemin;
        std::string Octets;      // the level's text
        time_t Moment = 0;       // when it was written
        bool FichierChange = false; // the file changed since the session it comes from read it
    };

    class CFichierEdite
    {
    public:
        explicit CFichierEdite(const std::string& chemin);

        // Opens the file as OuvrirCarte does and remembers it as found.
        Ouverture Ouvrir();
        // The same, after another program changed it: the session now works on it.
        Ouverture Recharger() { return Ouvrir(); }
        const std::string& Chemin() const { return chemin_; }
        // The file the path names, past its links.
        const std::string& CheminReel() const { return reel_; }

        // Has the file changed on disk? Cheap when it has not (one stat), for
        // the idle check; `lire` compares the bytes whatever the stat says (a
        // change within the file system's clock tick), as saving does. A file
        // rewritten with the same bytes counts as unchanged.
        EtatDisque Verifier(bool lire = false);

        Preparation Preparer(const std::string& cible);
        // Saves `octets` to `cible` (the file itself or a save as), asking
        // nothing: a question `choix` does not answer leaves everything as it
        // is (AConfirmer). The first save of a file in a session keeps it as
        // the session found it (`F~`); a file another program changed is kept
        // as `F.~N~` before being overwritten.
        ResultatEnregistrement Enregistrer(const std::string& octets, const std::string& cible, const Choix& choix);

        // This session's autosave, beside the file (or in the state folder when
        // the file's folder takes no new file).
        std::string CheminAutosave() const;
        // Writes the autosave, atomically and privately, with what the file was
        // when the session last read or saved it. `octets` equal to the saved
        // file drop the autosave instead (undone back to the saved state).
        bool Autosave(const std::string& octets, std::string& erreur);
        // The changes were thrown away: so goes this session's autosave.
        void JeterAutosave();

        // The autosaves of this file left by sessions that no longer run and
        // holding something else than the file (those equal to it are dropped).
        std::vector<AutosaveLaisse> AutosavesLaisses() const;
        // Its content is now the document's: it goes once that is saved.
        void Recupere(const AutosaveLaisse& autosave);
        // The designer said to discard it.
        bool Jeter(const AutosaveLaisse& autosave);

    private:
        std::string chemin_, reel_;
        Empreinte empreinte_;           // the file as last read or saved
        std::string octetsTrouves_;     // the file as the session opened it, for F~
        bool trouve_ = false;           // it existed
        std::string enregistre_;        // the bytes last read or saved
        bool illisible_ = false;
        std::vector<std::string> pertes_;
        std::set<std::string> copiesFaites_; // files whose F~ this session wrote
        std::vector<std::string> recuperes_;
        std::string session_;           // this session's part of its autosave's name
    };

    // The folder for what cannot go beside the file: $XDG_STATE_HOME/corvella-editeur.
    std::string DossierEtat();
}
