#pragma once
// corvella-carte check: everything the game does silently with a map file
// (characters that are not tiles, rows and sections it skips, keys it ignores,
// a start it cannot use, open borders, bonuses nobody can take, places the
// player never reaches), each with its line and column in the file.
#include "Atteignable.h"
#include "Texte.h"

#include <string>
#include <vector>

namespace OutilCarte
{
    enum class Gravite
    {
        Note,          // worth knowing, not a fault (does not fail the check)
        Avertissement  // the game does something the designer probably did not mean
    };

    struct Constat
    {
        int Ligne = 0;    // from 1; 0 when the finding concerns the whole file
        int Colonne = 0;  // from 1; 0 with Ligne
        Gravite Niveau = Gravite::Avertissement;
        std::string Genre;    // short fixed name, e.g. "not-a-tile"
        std::string Message;
    };

    struct OptionsVerification
    {
        bool Atteignabilite = true;  // run the reachability search
        OptionsAtteinte Atteinte;
    };

    // Findings listed at most; the others are only counted (a file of random
    // bytes can hold millions).
    const size_t ConstatsMax = 10000;

    struct Rapport
    {
        std::vector<Constat> Constats;  // sorted by position, whole-file ones first
        size_t Omis = 0;                // warnings beyond ConstatsMax, not listed
        bool RechercheLancee = false;
        bool RechercheComplete = false;
        size_t Etats = 0;
        size_t Pas = 0;
        double Millisecondes = 0.0;

        size_t Avertissements() const;  // listed or not
        size_t Notes() const;
    };

    // Checks a map text (as read from the file, CR LF pairs already read as LF
    // by Normaliser) against what the game's loader and movement make of it.
    // Uses and then restores the game's globals.
    Rapport Verifier(const TexteCarte& texte, const OptionsVerification& options);

    // "FILE:LINE:COLUMN: warning: message [kind]" lines, then a summary line.
    std::string EnTexte(const Rapport& rapport, const std::string& fichier);
    // The same as one JSON object.
    std::string EnJson(const Rapport& rapport, const std::string& fichier);

    // Names used in messages.
    std::string NomTuile(int code);
    std::string NomBonus(int type);
}
