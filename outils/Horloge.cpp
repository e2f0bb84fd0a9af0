#include "Horloge.h"

namespace
{
    bool fige = false;
    Uint32 tempsFige = 0;
    Uint32 dernierDelai = 0;
}

namespace Horloge
{
    Uint32 Ticks()
    {
        return fige ? tempsFige : SDL_GetTicks();
    }

    void Attendre(Uint32 ms)
    {
        dernierDelai = ms;
        if (!fige)
            SDL_Delay(ms);
    }

    void FixerTemps(Uint32 t)
    {
        fige = true;
        tempsFige = t;
    }

    void AvancerTemps(Uint32 ms)
    {
        tempsFige += ms; // unsigned: wraps like SDL's own counter
    }

    void TempsReel()
    {
        fige = false;
    }

    bool EstFige()
    {
        return fige;
    }

    Uint32 DernierDelai()
    {
        return dernierDelai;
    }
}
