#include "Processus.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

pid_t Demarrer(const Lancement& lancement)
{
    if (lancement.Arguments.empty())
        return -1;
    const pid_t pid = fork();
    if (pid != 0)
        return pid;
    // Child
    if (!lancement.Dossier.empty() && chdir(lancement.Dossier.c_str()) != 0)
        _exit(126);
    if (!lancement.Journal.empty())
    {
        const int f = open(lancement.Journal.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (f < 0)
            _exit(126);
        dup2(f, 1);
        dup2(f, 2);
        close(f);
    }
    for (const std::string& nom : lancement.Enlever)
        unsetenv(nom.c_str());
    for (const std::string& paire : lancement.Ajouter)
    {
        const size_t egal = paire.find('=');
        if (egal != std::string::npos)
            setenv(paire.substr(0, egal).c_str(), paire.substr(egal + 1).c_str(), 1);
    }
    std::vector<char*> argv;
    for (const std::string& a : lancement.Arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
}

int AttendreFin(pid_t pid, int ms)
{
    const timespec pause = {0, 10 * 1000 * 1000};
    for (int ecoule = 0;; ecoule += 10)
    {
        int statut = 0;
        const pid_t r = waitpid(pid, &statut, WNOHANG);
        if (r == pid)
        {
            if (WIFEXITED(statut))
                return WEXITSTATUS(statut);
            if (WIFSIGNALED(statut))
                return 128 + WTERMSIG(statut);
            return -1;
        }
        if (r < 0 && errno != EINTR)
            return -1;
        if (ecoule >= ms)
            return -1;
        nanosleep(&pause, nullptr);
    }
}

void Tuer(pid_t pid)
{
    kill(pid, SIGKILL);
    int statut = 0;
    waitpid(pid, &statut, 0);
}

std::string Sortie(const std::string& commande)
{
    std::string resultat;
    FILE* f = popen(commande.c_str(), "r");
    if (!f)
        return resultat;
    char tampon[512];
    size_t n;
    while ((n = fread(tampon, 1, sizeof tampon, f)) > 0)
        resultat.append(tampon, n);
    pclose(f);
    while (!resultat.empty() && (resultat.back() == '\n' || resultat.back() == ' '))
        resultat.pop_back();
    return resultat;
}

std::string BinaireJeu()
{
    const char* b = std::getenv("CORVELLA_BINAIRE");
    return b ? b : "./corvella";
}
