#pragma once
// The check of a map text: everything the game does silently with it
// (characters that are not tiles, rows and sections it skips, keys it ignores,
// a start it cannot use, open borders, bonuses nobody can take, places the
// player never reaches), each with its line and column in the file and the
// cell it concerns; and, cell by cell, where the player can go.
#include "Atteignable.h"
#include "Texte.h"

#include <memory>
#include <string>
#include <vector>

namespace AnalyseCarte
{
    struct Route; // Route.h
    enum class Gravite
    {
        Note,          // worth knowing, not a fault (does not fail the check)
        Avertissement  // the game does something the designer probably did not mean
    };

    struct Constat
    {
        int Ligne = 0;    // from 1; 0 when the finding concerns the whole file
        int Colonne = 0;  // from 1; 0 with Ligne
        // The cell of the level it concerns, column and row from 1 as the
        // tools show them; 0 and 0 when it concerns no cell of the grid.
        int CaseColonne = 0;
        int CaseLigne = 0;
        Gravite Niveau = Gravite::Avertissement;
        std::string Genre;    // short fixed name, e.g. "not-a-tile"
        std::string Message;
    };

    struct OptionsVerification
    {
        bool Atteignabilite = true;  // run the reachability search
        OptionsAtteinte Atteinte;
        // A route worked out with the check, for the live analysis of an
        // editor (AnalyserTexte only): none, the route that clears the level,
        // or the route from the start to the cell RouteColonne, RouteLigne
        // (from 0). Bounded as the search is (Atteinte.EtatsMax per search,
        // Atteinte.SecondesMax for the route).
        enum class RouteVoulue
        {
            Aucune,
            Nettoyage,
            VersCase
        };
        RouteVoulue Route = RouteVoulue::Aucune;
        int RouteColonne = -1;
        int RouteLigne = -1;
    };

    // Findings listed at most; the others are only counted (a file of random
    // bytes can hold millions).
    const size_t ConstatsMax = 10000;

    // What the reachability search says of each cell of the grid as loaded.
    enum EtatCase : unsigned char
    {
        CaseOuverte = 1,  // a character may stand somewhere in it (empty, water, slope)
        CaseTraversee = 2, // the character's collision box overlapped it
        CaseCoin = 4      // the top-left corner of the character's square lay in it
                          // (where the game takes a bonus)
    };

    // A bonus of the level and whether the player can take it.
    struct BonusVu
    {
        enum Etat
        {
            Prenable,    // the search brought the character onto it
            Inaccessible, // the complete search never did
            Enfoui,      // inside solid tiles or walled in: nobody can ever take it
            Inconnu      // the search did not run or stopped at a bound
        };
        int Colonne = 0;  // from 1
        int Ligne = 0;    // from 1
        int Type = 0;     // 1 to 8
        Etat Sort = Inconnu;
        int LigneTexte = 0;   // where it lies in the file, from 1
        int ColonneTexte = 0;
    };

    struct Rapport
    {
        std::vector<Constat> Constats;  // sorted by position, whole-file ones first
        size_t Omis = 0;                // warnings beyond ConstatsMax, not listed
        bool RechercheLancee = false;
        bool RechercheComplete = false;
        size_t Etats = 0;
        size_t Pas = 0;
        double Millisecondes = 0.0;

        // The grid as loaded (Largeur x Hauteur cells) and, when the search
        // ran, an EtatCase mask per cell, index (column - 1) * Hauteur + row - 1.
        int Largeur = 0;
        int Hauteur = 0;
        std::vector<unsigned char> Cases;
        // Every bonus lying inside the grid, in file order.
        std::vector<BonusVu> Bonus;
        // The route asked for with OptionsVerification::Route, or null. It
        // comes without its trail (Trajet, Marques): RejouerRoute gives them
        // from its keys in a few milliseconds.
        std::shared_ptr<const Route> RouteCalculee;

        size_t Avertissements() const;  // listed or not
        size_t Notes() const;
        // The search ran but stopped at its bound of states or of seconds:
        // the cells it did not reach may still be reachable.
        bool Partielle() const { return RechercheLancee && !RechercheComplete; }
        // The mask of a cell (column and row from 1); 0 outside the grid.
        unsigned char EtatDe(int colonne, int ligne) const;
    };

    // Checks a map text (as read from the file, CR LF pairs already read as LF
    // by Normaliser) against what the game's loader and movement make of it.
    // Uses and then restores the game's globals.
    Rapport Verifier(const TexteCarte& texte, const OptionsVerification& options);
    // The same from the bytes of a map file held in memory (an editor's level
    // as it would be saved): CR LF read as LF, at most TailleFichierMax bytes
    // (a longer text gives a single finding "too-large").
    Rapport AnalyserTexte(const std::string& octets, const OptionsVerification& options);

    // "FILE:LINE:COLUMN: warning: message [kind]" lines, then a summary line.
    std::string EnTexte(const Rapport& rapport, const std::string& fichier);
    // The same as one JSON object.
    std::string EnJson(const Rapport& rapport, const std::string& fichier);

    // Names used in messages.
    std::string NomTuile(int code);
    std::string NomBonus(int type);
}
