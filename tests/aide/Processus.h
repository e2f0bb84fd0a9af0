#pragma once
// Starting the real game binary and other programs from the tests.
#include <string>
#include <sys/types.h>
#include <vector>

struct Lancement
{
    std::vector<std::string> Arguments;  // program first
    std::string Dossier;                 // working directory ("" = unchanged)
    std::vector<std::string> Enlever;    // environment variables to remove
    std::vector<std::string> Ajouter;    // "NAME=value" to set
    std::string Journal;                 // a file for its output and errors ("" = the test's own)
};

// Starts a process; returns its pid, or -1.
pid_t Demarrer(const Lancement& lancement);
// Waits at most `ms` for the process: its exit status (0..255), 128 + signal,
// or -1 when it is still running (it is then left running).
int AttendreFin(pid_t pid, int ms);
// Kills and reaps a process that is still running.
void Tuer(pid_t pid);
// Runs a shell command and returns what it printed (trailing blanks removed).
std::string Sortie(const std::string& commande);
// The path of the game binary under test.
std::string BinaireJeu();
