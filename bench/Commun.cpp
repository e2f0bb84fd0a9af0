// Clocks, statistics, the results protocol and child processes.
#include "Banc.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

extern char** environ;

namespace Banc
{
    int64_t Maintenant()
    {
        timespec t;
        clock_gettime(CLOCK_MONOTONIC, &t);
        return static_cast<int64_t>(t.tv_sec) * 1000000000LL + t.tv_nsec;
    }

    int64_t CpuProcessus()
    {
        timespec t;
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return static_cast<int64_t>(t.tv_sec) * 1000000000LL + t.tv_nsec;
    }

    double Mediane(std::vector<double> valeurs)
    {
        if (valeurs.empty())
            return std::nan("");
        std::sort(valeurs.begin(), valeurs.end());
        const size_t n = valeurs.size();
        return n % 2 ? valeurs[n / 2] : (valeurs[n / 2 - 1] + valeurs[n / 2]) / 2;
    }

    double PenteLogLog(const std::vector<double>& x, const std::vector<double>& y)
    {
        const size_t n = std::min(x.size(), y.size());
        if (n < 2)
            return std::nan("");
        double sx = 0, sy = 0, sxx = 0, sxy = 0;
        for (size_t i = 0; i < n; ++i)
        {
            const double lx = std::log(x[i]);
            const double ly = std::log(y[i]);
            sx += lx;
            sy += ly;
            sxx += lx * lx;
            sxy += lx * ly;
        }
        const double d = n * sxx - sx * sx;
        return d == 0 ? std::nan("") : (n * sxy - sx * sy) / d;
    }

    void Emet(const std::string& cle, double valeur)
    {
        std::printf("banc: %s %.17g\n", cle.c_str(), valeur);
        std::fflush(stdout);
    }

    void EmetTexte(const std::string& cle, const std::string& texte)
    {
        std::string propre = texte;
        std::replace(propre.begin(), propre.end(), '\n', ' ');
        std::printf("banc: %s =%s\n", cle.c_str(), propre.c_str());
        std::fflush(stdout);
    }

    double Resultats::Med(const std::string& cle) const
    {
        const auto it = Nombres.find(cle);
        return it == Nombres.end() ? std::nan("") : Mediane(it->second);
    }

    void Resultats::Ajoute(const Resultats& autre)
    {
        for (const auto& [cle, valeurs] : autre.Nombres)
            Nombres[cle].insert(Nombres[cle].end(), valeurs.begin(), valeurs.end());
        for (const auto& [cle, texte] : autre.Textes)
            Textes[cle] = texte;
    }

    Resultats LitResultats(const std::string& sortie)
    {
        Resultats r;
        std::istringstream flux(sortie);
        std::string ligne;
        while (std::getline(flux, ligne))
        {
            if (ligne.rfind("banc: ", 0) != 0)
                continue;
            const size_t blanc = ligne.find(' ', 6);
            if (blanc == std::string::npos)
                continue;
            const std::string cle = ligne.substr(6, blanc - 6);
            const std::string valeur = ligne.substr(blanc + 1);
            if (!valeur.empty() && valeur[0] == '=')
                r.Textes[cle] = valeur.substr(1);
            else
                r.Nombres[cle].push_back(std::strtod(valeur.c_str(), nullptr));
        }
        return r;
    }

    namespace
    {
        // Reads what is available on fd into texte; false at end of file.
        bool Draine(int fd, std::string& texte)
        {
            char tampon[65536];
            const ssize_t n = read(fd, tampon, sizeof tampon);
            if (n > 0)
            {
                texte.append(tampon, static_cast<size_t>(n));
                return true;
            }
            return n < 0 && (errno == EINTR || errno == EAGAIN);
        }
    }

    Issue Lance(const Lancement& lancement)
    {
        Issue issue;
        int sortie[2];
        int note[2] = {-1, -1};
        if (pipe2(sortie, O_CLOEXEC) != 0)
            return issue;
        if (lancement.CaptureNote && pipe2(note, O_CLOEXEC) != 0)
        {
            close(sortie[0]);
            close(sortie[1]);
            return issue;
        }

        // The child's environment: ours, with the given entries replacing any
        // of the same name.
        std::vector<std::string> env;
        for (char** e = environ; *e != nullptr; ++e)
        {
            const std::string entree = *e;
            const std::string nom = entree.substr(0, entree.find('='));
            bool remplace = false;
            for (const std::string& n : lancement.Env)
                remplace = remplace || n.substr(0, n.find('=')) == nom;
            if (!remplace)
                env.push_back(entree);
        }
        env.insert(env.end(), lancement.Env.begin(), lancement.Env.end());
        const int numeroNote = 3;
        if (lancement.CaptureNote)
            env.push_back("CORVELLA_BANC_FD=" + std::to_string(numeroNote));

        std::vector<char*> argv;
        for (const std::string& a : lancement.Arguments)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        std::vector<char*> envp;
        for (const std::string& e : env)
            envp.push_back(const_cast<char*>(e.c_str()));
        envp.push_back(nullptr);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, sortie[1], 1);
        if (lancement.CaptureNote)
            posix_spawn_file_actions_adddup2(&actions, note[1], numeroNote);

        pid_t pid = -1;
        issue.Depart = Maintenant();
        const int erreur = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        close(sortie[1]);
        if (note[1] >= 0)
            close(note[1]);
        if (erreur != 0)
        {
            std::fprintf(stderr, "corvella-bench: cannot start %s: %s\n", argv[0], std::strerror(erreur));
            close(sortie[0]);
            if (note[0] >= 0)
                close(note[0]);
            return issue;
        }
        issue.Lance = true;
        Retient(pid);

        // Drain both pipes until the child is gone or its time is up.
        const int64_t fin = issue.Depart + static_cast<int64_t>(lancement.Delai * 1e9);
        bool ouvertSortie = true;
        bool ouvertNote = note[0] >= 0;
        bool tue = false;
        while (ouvertSortie || ouvertNote)
        {
            pollfd attente[2];
            int n = 0;
            if (ouvertSortie)
                attente[n++] = {sortie[0], POLLIN, 0};
            if (ouvertNote)
                attente[n++] = {note[0], POLLIN, 0};
            const int64_t reste = (fin - Maintenant()) / 1000000;
            if (reste <= 0)
            {
                kill(pid, SIGKILL);
                tue = true;
                break;
            }
            const int pret = poll(attente, static_cast<nfds_t>(n), static_cast<int>(std::min<int64_t>(reste, 1000)));
            if (pret < 0 && errno != EINTR)
                break;
            for (int i = 0; i < n; ++i)
            {
                if (attente[i].revents == 0)
                    continue;
                if (attente[i].fd == sortie[0])
                    ouvertSortie = Draine(sortie[0], issue.Sortie);
                else
                    ouvertNote = Draine(note[0], issue.Note);
            }
        }
        close(sortie[0]);
        if (note[0] >= 0)
            close(note[0]);
        int statut = 0;
        while (waitpid(pid, &statut, 0) < 0 && errno == EINTR)
        {
        }
        Oublie(pid);
        if (!tue && WIFEXITED(statut))
            issue.Statut = WEXITSTATUS(statut);
        return issue;
    }

    namespace
    {
        volatile sig_atomic_t retenus[16] = {0};

        void Arret(int)
        {
            for (volatile sig_atomic_t& pid : retenus)
                if (pid > 0)
                    kill(static_cast<pid_t>(pid), SIGKILL);
            _exit(130);
        }
    }

    void Retient(int pid)
    {
        for (volatile sig_atomic_t& p : retenus)
            if (p == 0)
            {
                p = pid;
                return;
            }
    }

    void Oublie(int pid)
    {
        for (volatile sig_atomic_t& p : retenus)
            if (p == pid)
                p = 0;
    }

    void ArretPropre()
    {
        struct sigaction a;
        std::memset(&a, 0, sizeof a);
        a.sa_handler = Arret;
        sigaction(SIGINT, &a, nullptr);
        sigaction(SIGTERM, &a, nullptr);
        sigaction(SIGHUP, &a, nullptr);
    }

    std::string DossierExecutable()
    {
        char chemin[4096];
        const ssize_t n = readlink("/proc/self/exe", chemin, sizeof chemin - 1);
        if (n <= 0)
            return ".";
        chemin[n] = '\0';
        std::string s = chemin;
        return s.substr(0, s.rfind('/'));
    }
}
