// Preloaded (LD_PRELOAD) into the real game by an end-to-end test: just
// before each buffer swap, the mean brightness of the frame about to be shown
// is read back and written as one line, "<ms> <brightness 0-255>", to the
// file named by CORVELLA_LUMINOSITE. The game itself is unchanged.
//
// With CORVELLA_RETARD_MS set, every glLoadIdentity but the one that follows
// the frame's glClear also sleeps that long: the work a frame does after the
// character (its matrix reset, the HUD) then takes time, as on a slow
// machine, and whatever depends on the time between the character's update
// and the end of the frame shows more often.
#include <GL/gl.h>
#include <SDL.h>
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace
{
    bool apresEffacement = false;

    template <typename F>
    F Reelle(const char* nom)
    {
        return reinterpret_cast<F>(dlsym(RTLD_NEXT, nom));
    }

    FILE* Fichier()
    {
        static FILE* f = nullptr;
        static bool essaye = false;
        if (!essaye)
        {
            essaye = true;
            const char* chemin = std::getenv("CORVELLA_LUMINOSITE");
            if (chemin != nullptr)
                f = std::fopen(chemin, "w");
        }
        return f;
    }

    // Mean of (r + g + b) / 3 over every 8th pixel of every 8th row.
    int Luminosite()
    {
        GLint vue[4] = {0, 0, 0, 0};
        glGetIntegerv(GL_VIEWPORT, vue);
        const int l = vue[2], h = vue[3];
        if (l <= 0 || h <= 0)
            return -1;
        static std::vector<unsigned char> pixels;
        pixels.resize(static_cast<size_t>(l) * 4);
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        long long somme = 0, n = 0;
        for (int y = 0; y < h; y += 8)
        {
            glReadPixels(vue[0], vue[1] + y, l, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
            for (int x = 0; x < l; x += 8)
            {
                const unsigned char* p = &pixels[static_cast<size_t>(x) * 4];
                somme += p[0] + p[1] + p[2];
                n += 3;
            }
        }
        return n > 0 ? static_cast<int>(somme / n) : -1;
    }
}

extern "C" void glClear(GLbitfield masque)
{
    static const auto reelle = Reelle<void (*)(GLbitfield)>("glClear");
    apresEffacement = true;
    if (reelle != nullptr)
        reelle(masque);
}

extern "C" void glLoadIdentity()
{
    static const auto reelle = Reelle<void (*)()>("glLoadIdentity");
    static const char* retard = std::getenv("CORVELLA_RETARD_MS");
    if (retard != nullptr && !apresEffacement)
        SDL_Delay(static_cast<Uint32>(std::atoi(retard)));
    apresEffacement = false;
    if (reelle != nullptr)
        reelle();
}

extern "C" void SDL_GL_SwapBuffers()
{
    static const auto reelle = Reelle<void (*)()>("SDL_GL_SwapBuffers");
    if (FILE* f = Fichier())
    {
        std::fprintf(f, "%u %d\n", SDL_GetTicks(), Luminosite());
        std::fflush(f);
    }
    if (reelle != nullptr)
        reelle();
}
