#pragma once
// Routes: timed arrow keys that take the character into a cell, or that take
// every bonus of the level one after the other. Each piece is found by the
// reachability search (Atteignable.h) from the character's state at that
// moment, then run through the game's frame (Partie.h); only what the frame
// confirms is kept, and the whole route is run once more from the start
// before it is offered. Times count in milliseconds from the moment the
// level is loaded (or the route starts), as `corvella-carte replay` counts.
//
//   Route r = RouteNettoyage(texteDuNiveau, OptionsRoute());
//   r.Trajet      one point a frame: where the character is, the keys held
//   r.Marques     where a key changes, a jump, a grab, a bonus taken...
//   r.EnEntrees() the keys as an input file for `corvella-carte replay`
#include "Atteignable.h"
#include "Partie.h"
#include "Verification.h"

#include <string>
#include <vector>

namespace AnalyseCarte
{
    // A key pressed or released at a time.
    struct ChangementRoute
    {
        long long Temps = 0;  // ms
        int Touche = 0;       // CPerso::ToucheHaut .. ToucheDroite
        bool Appuye = false;
    };

    // The character after one frame of the route.
    struct PointRoute
    {
        long long Temps = 0;     // ms of the frame
        int X = 0;               // top-left corner of its square, map pixels
        int Y = 0;
        int Etat = 0;            // CPerso::Etat after the frame
        unsigned Touches = 0;    // keys held in the frame, bit CPerso::ToucheHaut ..
        int Vie = 0;
    };

    // Something to show on the trail, at a point of Trajet.
    struct MarqueRoute
    {
        enum Genre
        {
            Touches,   // the keys held change (the point has the new ones)
            Saut,      // a jump from the ground, in the air or off a ledge
            Accroche,  // a ledge grabbed
            Lache,     // a ledge let go
            Prise,     // a bonus taken
            Mort,      // a death (water or fall)
            Retour     // back at the start
        };
        size_t Point = 0;
        Genre Quoi = Touches;
    };

    // A bonus taken on the way.
    struct PriseRoute
    {
        long long Temps = 0;  // ms of the frame that takes it
        int Colonne = 0;      // its cell, from 1 as the tools show it
        int Ligne = 0;
        int Type = 0;         // 1 to 8
    };

    struct Route
    {
        bool Trouvee = false;    // the cell is reached / every bonus is taken
        int CibleColonne = -1;   // the cell aimed at (from 0), or -1 for the whole level
        int CibleLigne = -1;
        bool Partielle = false;  // a search stopped at a bound: more may be possible
        // When not found: why, as `check` says it (for the whole level, the
        // bonuses left say it one by one).
        std::string Pourquoi;
        std::vector<ChangementRoute> Changements;
        long long Fin = 0;               // ms of the route's last frame
        std::vector<PointRoute> Trajet;  // one point per frame, 0 to Fin
        std::vector<MarqueRoute> Marques;
        std::vector<PriseRoute> Prises;  // in the order taken
        // The whole level: every bonus lying in the grid, and those the route
        // leaves (each with the check's verdict and its place in the file).
        size_t Bonus = 0;
        std::vector<BonusVu> Restants;
        std::vector<std::string> RaisonsRestants; // why, one per bonus left
        // The searches run for it.
        size_t Recherches = 0;
        size_t Etats = 0;
        size_t Pas = 0;
        double Millisecondes = 0.0;

        double Secondes() const { return static_cast<double>(Fin) / 1000.0; }
        // "clears 10 of 10 bonuses in 41.3 s"
        std::string Bilan() const;
        // The keys as an input file for `corvella-carte replay`: a line per
        // key change, a comment for each bonus taken (its time and cell), the
        // end, and the summary (Bilan, and "partial" when a bound stopped a
        // search) as the last comment.
        std::string EnEntrees(const std::string& titre = std::string()) const;
    };

    struct OptionsRoute
    {
        size_t EtatsMax = 2000000;  // states kept at most by each search
        double SecondesMax = 30.0;  // for the whole route
        int Fils = 0;               // threads of each search (0: see OptionsAtteinte::Fils)
    };

    // Where a route starts when it does not start from the level's start: a
    // game in progress, the character as the game holds it (alive or dead)
    // and the clock of its next frame; the bonuses still lying are given
    // apart (a route runs on its own copy of the level).
    struct PartieDepart
    {
        CPerso Perso;
        Uint32 Horloge = 0;
        std::vector<CMap::CBonus> Bonus;
    };

    // A route that takes the top-left corner of the character's square into
    // the cell (column and row from 0) of the level in `texte` (a map text,
    // CR LF read as LF), from the level's start or from `depart`. When the
    // cell cannot be reached from there but can after a death and the return
    // to the start, the route goes that way. Not found: Pourquoi says why.
    Route RouteVersCase(const TexteCarte& texte, int colonne, int ligne, const OptionsRoute& options,
                        const PartieDepart* depart = nullptr);

    // A route from the level's start that takes every bonus it can, the
    // nearest first (by the search's own measure), through the game's rules
    // (fall damage adds up; a death brings the character back to the start,
    // which the route uses when the bonuses left cannot be reached from
    // where it stands). `rapport`, when given, is the check of the same text
    // (its verdicts and places in the file); otherwise the route runs it.
    Route RouteNettoyage(const TexteCarte& texte, const OptionsRoute& options, const Rapport* rapport = nullptr);

    // Runs key changes through the game's frame from the level's start (or
    // `depart`) up to the frame at `fin`: the trail, its marks and the bonuses taken. What a
    // route found is confirmed with, and what an editor draws from a route
    // sent by the live analysis (which sends the keys only).
    Route RejouerRoute(const TexteCarte& texte, const std::vector<ChangementRoute>& changements, long long fin,
                       const PartieDepart* depart = nullptr);

    // Why the character's corner never enters the cell (column and row from
    // 0), as `check` says it: the finding the check gives for a bonus there,
    // or what the cell is (solid, never reached, reached by the box only).
    // Empty when the check's search says it is reached.
    std::string PourquoiInaccessible(const Rapport& rapport, int colonne, int ligne);
}
