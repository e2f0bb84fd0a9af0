#pragma once
// corvella-bench: the game's figures against their floors, measured in the
// same run. The program is its own conductor: run without a mode it starts
// virtual screens and runs each measurement as a child process (the real game,
// the floor programs, or itself in a measuring mode), interleaving the game and
// its floor and taking medians. See BENCHMARKS.md.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace Banc
{
    // Clocks, in nanoseconds.
    int64_t Maintenant();   // CLOCK_MONOTONIC, the same in every process
    int64_t CpuProcessus(); // CPU time of the whole process, all its threads

    double Mediane(std::vector<double> valeurs);
    // Least-squares slope of log(y) against log(x).
    double PenteLogLog(const std::vector<double>& x, const std::vector<double>& y);

    // A measuring child writes its figures as lines "banc: <key> <value>" on its
    // standard output; the conductor gathers them by key.
    void Emet(const std::string& cle, double valeur);
    void EmetTexte(const std::string& cle, const std::string& texte);

    struct Resultats
    {
        std::map<std::string, std::vector<double>> Nombres;
        std::map<std::string, std::string> Textes;
        bool Contient(const std::string& cle) const { return Nombres.count(cle) != 0; }
        double Med(const std::string& cle) const; // median, NaN when absent
        void Ajoute(const Resultats& autre);
    };
    // Reads the "banc:" lines out of a child's output.
    Resultats LitResultats(const std::string& sortie);

    // Runs a program and waits for it (at most `delai` seconds, then it is
    // killed). `env` entries "NAME=value" are added to the environment.
    // `sortie` receives its standard output; `fdNote` >= 0 is a pipe's write end
    // passed to the child under the same number, whose read end `note` drains.
    struct Lancement
    {
        std::vector<std::string> Arguments;
        std::vector<std::string> Env;
        double Delai = 600;
        bool CaptureNote = false; // a pipe passed as CORVELLA_BANC_FD
    };
    struct Issue
    {
        bool Lance = false;
        int Statut = -1;        // exit status, -1 when killed or never started
        int64_t Depart = 0;     // Maintenant() just before the start
        std::string Sortie;     // standard output
        std::string Note;       // what was written on CORVELLA_BANC_FD
    };
    Issue Lance(const Lancement& lancement);

    // Processes started by the bench, ended (by their ids) if the bench is
    // interrupted.
    void Retient(int pid);
    void Oublie(int pid);
    void ArretPropre(); // installs the handler of SIGINT, SIGTERM and SIGHUP

    // The folder of the running executable, and the build folder the game runs in.
    std::string DossierExecutable();

    // --- Measuring modes (each in its own source file) -------------------------

    struct Parametres
    {
        bool Bref = false;
        // Only the start-up against the bare window, this many pairs (0: the
        // whole report).
        int PairesDemarrage = 0;
    };

    // Game frame against its floors, in the current display. `trace` is the
    // file of the recorded frame to replay.
    int ModeTrame(const std::string& trace, int tours, int images);
    // Records the GL calls of one game frame into `trace` (run with the
    // recording layer preloaded).
    int ModeEnregistre(const std::string& trace);
    // Fixed workloads for callgrind: `quoi` is "jeu", "rejeu", "deplacement"
    // or "chargement".
    int ModeProfil(const std::string& quoi, const std::string& trace);
    int ModeDeplacement(long pas, int tours);
    int ModeChargement(int tours, bool grande);
    // One load of a generated level (or, with `lecture`, one read of its file)
    // in this fresh process, checked against its expected shape.
    int ModeChargeUne(const std::string& nom, int largeur, int hauteur, long bonus, bool lecture);

    // Shared by the frame and profile modes: the game's start-up as SDL_main
    // runs it, the clock frozen; false when no window could be opened.
    bool DemarreJeu();
    // Game time between two frames, in ms: the clock is frozen and moved on by
    // this much after each frame, as at 60 frames a second (three or four 5 ms
    // movement steps a frame).
    const unsigned PasHorloge = 16;
    // Frames run before anything is measured or recorded: 1.3 s of game time,
    // past the opening fade (1 s) and through the whole idle animation (ten
    // frames of 100 ms, each building its halo silhouette on first use).
    const int ImagesPreparation = 80;
    void TrameJeu();
}
