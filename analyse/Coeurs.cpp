// How many threads the reachability search runs on.
//
// The search is short (a tenth of a second on a level of the game's size), so
// what counts is whether a core is free now, not over the last minute: the
// one-minute load average also counts the searches just run by the same
// program (the live check runs one after every edit), and kept a quiet
// machine on one thread.
#include "Coeurs.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace AnalyseCarte
{
    namespace
    {
        const int Releves = 4; // counts of the running threads at most
        // Threads running or waiting for a core, this one included, as the
        // kernel counts them in /proc/loadavg ("0.20 0.18 0.12 1/80 11206":
        // the fourth field before the slash); -1 when it cannot be read.
        int Executables()
        {
#if defined(__linux__) && !defined(__EMSCRIPTEN__)
            std::FILE* f = std::fopen("/proc/loadavg", "r");
            if (f == nullptr)
                return -1;
            double a = 0, b = 0, c = 0;
            int enCours = -1;
            int total = 0;
            const int lus = std::fscanf(f, "%lf %lf %lf %d/%d", &a, &b, &c, &enCours, &total);
            std::fclose(f);
            return lus == 5 && enCours >= 0 ? enCours : -1;
#else
            return -1;
#endif
        }
    }

    int FilsSelonCharge(unsigned coeurs, int executables)
    {
        if (coeurs < 2)
            return 1;
        // Unknown: the second thread is started; the first one never waits
        // long for it (it takes back a state the other holds too long).
        if (executables < 0)
            return 2;
        // The caller runs on one core; the others, if any, must leave one free.
        const long long autres = std::max(executables, 1) - 1;
        return autres <= static_cast<long long>(coeurs) - 2 ? 2 : 1;
    }

    int FilsVoulus(int demandes)
    {
        if (demandes > 0)
            return std::min(demandes, 2);
        const unsigned coeurs = std::thread::hardware_concurrency();
        if (coeurs < 2)
            return 1;
        // A single count may catch a thread about to sleep: the program that
        // just forked this search's process is still returning from the fork.
        // The least of a few counts a quarter of a millisecond apart.
        int executables = Executables();
        for (int essai = 1; essai < Releves && FilsSelonCharge(coeurs, executables) < 2; ++essai)
        {
            std::this_thread::sleep_for(std::chrono::microseconds(250));
            const int n = Executables();
            if (n >= 0 && (executables < 0 || n < executables))
                executables = n;
        }
#if !defined(__EMSCRIPTEN__)
        if (executables < 0)
        {
            // No instant count: the load average of the last minute.
            double charge = 0.0;
            if (getloadavg(&charge, 1) == 1)
                executables = static_cast<int>(charge) + 1;
        }
#endif
        return FilsSelonCharge(coeurs, executables);
    }
}
