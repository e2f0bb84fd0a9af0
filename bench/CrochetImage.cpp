// A tiny library loaded with LD_PRELOAD into a program that opens the game's
// window (the real game, or the start-up floor): it notes when a frame has been
// presented and ends the process there, so that the game and its floor are
// timed by exactly the same means, from outside, without changing the game.
//
// Environment (set by corvella-bench):
//   CORVELLA_BANC_FD      descriptor the note is written to (required)
//   CORVELLA_BANC_IMAGES  which presented frame ends the process (default 1)
//
// At the N-th SDL_GL_SwapBuffers, once the real swap has returned and the X
// server has processed it (XSync: the picture is on the screen), one line is
// written: "image <CLOCK_MONOTONIC ns> rss <VmRSS kB> hwm <VmHWM kB>", and the
// process ends at once with status 0.
#include <dlfcn.h>
#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{
    long ChampStatut(const char* texte, const char* nom)
    {
        const char* p = std::strstr(texte, nom);
        if (p == nullptr)
            return -1;
        return std::strtol(p + std::strlen(nom), nullptr, 10);
    }

    // The X server has taken every request sent so far, the picture included.
    void AttendServeur()
    {
        using FonctionAffichage = void* (*)();
        using FonctionSync = int (*)(void*, int);
        const auto affichage =
            reinterpret_cast<FonctionAffichage>(dlsym(RTLD_DEFAULT, "glXGetCurrentDisplay"));
        void* x11 = dlopen("libX11.so.6", RTLD_NOW | RTLD_NOLOAD);
        const auto sync = x11 ? reinterpret_cast<FonctionSync>(dlsym(x11, "XSync")) : nullptr;
        if (affichage != nullptr && sync != nullptr)
        {
            void* d = affichage();
            if (d != nullptr)
                sync(d, 0);
        }
        if (x11 != nullptr)
            dlclose(x11);
    }

    void Note()
    {
        timespec t;
        clock_gettime(CLOCK_MONOTONIC, &t);
        const long long ns = static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;

        char statut[8192] = {0};
        const int f = open("/proc/self/status", O_RDONLY);
        if (f >= 0)
        {
            const ssize_t n = read(f, statut, sizeof statut - 1);
            if (n > 0)
                statut[n] = '\0';
            close(f);
        }
        char ligne[160];
        const int n = std::snprintf(ligne, sizeof ligne, "image %lld rss %ld hwm %ld\n", ns,
                                    ChampStatut(statut, "VmRSS:"), ChampStatut(statut, "VmHWM:"));
        const char* fd = std::getenv("CORVELLA_BANC_FD");
        if (fd != nullptr && n > 0)
        {
            const ssize_t ecrit = write(std::atoi(fd), ligne, static_cast<size_t>(n));
            (void)ecrit;
        }
    }
}

extern "C" void SDL_GL_SwapBuffers(void)
{
    using Fonction = void (*)();
    static const Fonction reelle = reinterpret_cast<Fonction>(dlsym(RTLD_NEXT, "SDL_GL_SwapBuffers"));
    static long compte = 0;
    static long voulu = -1;
    if (voulu < 0)
    {
        const char* n = std::getenv("CORVELLA_BANC_IMAGES");
        voulu = n != nullptr && std::atol(n) > 0 ? std::atol(n) : 1;
    }
    if (reelle != nullptr)
        reelle();
    if (++compte == voulu)
    {
        AttendServeur();
        Note();
        _exit(0);
    }
}
