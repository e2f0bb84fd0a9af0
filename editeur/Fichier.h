#pragma once
// The level's file: reading it as the game's loader reads it (with what the
// loader ignores or reads differently, as corvella-carte check reports it),
// writing it back in the file's own style, saving without ever losing the old
// version, and the autosave kept beside it.
#include "Identite.h"
#include "Niveau.h"

#include <string>
#include <sys/types.h>
#include <vector>

namespace Edition
{
    // What the editor keeps of a file besides the level.
    struct FormatFichier
    {
        std::string Entete;  // the text before the first section, as it stands
        bool CrLf = false;   // the file's lines end with CR LF
    };

    // The map text of a level: the header, then [Infos] and [Map] with one row a
    // line, every line ending in the file's style. The game's loader reads it
    // back as exactly `niveau`.
    std::string EcrireCarte(const Niveau& niveau, const FormatFichier& format);

    struct Ouverture
    {
        bool Reussi = false;
        bool Nouveau = false;          // the file does not exist: a new level
        std::string Erreur;            // why it cannot be opened
        Niveau Carte;
        FormatFichier Format;
        // What the loader ignores or reads differently, "FILE:LINE:COLUMN:
        // warning: ... [kind]" as corvella-carte check prints them.
        std::vector<std::string> Constats;
        // What saving will change in the file (empty when it writes it back as it is).
        std::vector<std::string> Changements;
        // The file holds something the game's loader does not read as a level:
        // saving over it replaces that, which `Pertes` describes, with the new
        // level. Saving asks first.
        bool Illisible = false;
        std::vector<std::string> Pertes;
    };

    // Reads a level from the bytes of a map file; `nom` names it in messages.
    Ouverture AnalyserCarte(const std::string& octets, const std::string& nom);
    // Opens a file. A missing file gives a new level (Nouveau); a file that
    // cannot be read, a folder or a file larger than the checker accepts fails
    // with a message.
    Ouverture OuvrirCarte(const std::string& chemin);

    // Where the text before the first section ends: the first "[Infos]" or
    // "[Map]", the sections the loader reads (other bracketed text before them
    // is the header's, as it stands).
    size_t FinEntete(const std::string& octets);

    // Writes `octets` to `chemin` without a moment where the file is missing or
    // half written: a temporary file beside it is written, flushed to disk and
    // renamed over it. With `copie`, the previous version is first kept as
    // `chemin~`. On failure the old file is untouched and `erreur` says why.
    // A link is followed to its target, even one that does not exist yet; a
    // link named `chemin~` is replaced, never followed. The new file and the
    // copy keep the old one's identity as far as this user may.
    bool EnregistrerAtomique(const std::string& chemin, const std::string& octets, bool copie,
                             std::string& erreur);

    // The same write to the file `chemin` names, with no link followed: the
    // new file takes `identite` (the file's own, or null for a new file's
    // usual permissions) as `usage` says; what could not be kept is added to
    // `manques`.
    bool EcrireRemplacant(const std::string& chemin, const std::string& octets, const Identite* identite,
                          Emploi usage, std::string& erreur, std::vector<std::string>& manques);
    // Writes over the file's own bytes, which keeps everything it is (owner,
    // links, attributes), for a folder that cannot take a new file: not
    // atomic, so a copy of the file must be kept first.
    bool EcrireEnPlace(const std::string& chemin, const std::string& octets, std::string& erreur);

    // Every how many milliseconds unsaved changes are saved aside.
    const unsigned int PeriodeAutosave = 60000;

    // Tests replace the write of the save to make it fail (a full disk); null
    // puts back the system's write.
    using FonctionEcriture = ssize_t (*)(int, const void*, size_t);
    void FixerEcriture(FonctionEcriture ecriture);
}
