#pragma once
// The level's file: reading it as the game's loader reads it (with what the
// loader ignores or reads differently, as corvella-carte check reports it),
// writing it back in the file's own style, saving without ever losing the old
// version, and the autosave kept beside it.
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
    };

    // Reads a level from the bytes of a map file; `nom` names it in messages.
    Ouverture AnalyserCarte(const std::string& octets, const std::string& nom);
    // Opens a file. A missing file gives a new level (Nouveau); a file that
    // cannot be read, a folder or a file larger than the checker accepts fails
    // with a message.
    Ouverture OuvrirCarte(const std::string& chemin);

    // Writes `octets` to `chemin` without a moment where the file is missing or
    // half written: a temporary file beside it is written, flushed to disk and
    // renamed over it. With `copie`, the previous version is first kept as
    // `chemin~`. On failure the old file is untouched and `erreur` says why.
    bool EnregistrerAtomique(const std::string& chemin, const std::string& octets, bool copie,
                             std::string& erreur);

    // The autosave of a file, beside it.
    std::string CheminAutosave(const std::string& chemin);
    // The autosave's bytes when one exists and differs from the file's own.
    bool AutosaveARecuperer(const std::string& chemin, std::string& octets);
    void SupprimerAutosave(const std::string& chemin);
    // Every how many milliseconds unsaved changes are saved aside.
    const unsigned int PeriodeAutosave = 60000;

    // Tests replace the write of the save to make it fail (a full disk); null
    // puts back the system's write.
    using FonctionEcriture = ssize_t (*)(int, const void*, size_t);
    void FixerEcriture(FonctionEcriture ecriture);
}
