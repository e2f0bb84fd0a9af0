// What the level answers about single pixels: open, deadly, bonus to take.
#include "Map.h"

namespace
{
    struct Tuile
    {
        int quot;
        int rem;
    };
    inline Tuile VersTuile(int pixel)
    {
        return Tuile{pixel / CMap::TailleCase, pixel % CMap::TailleCase};
    }
}

int CMap::ReturnBonus(int x, int y)
{
    const int colonne = VersTuile(x).quot;
    const int ligne = VersTuile(y).quot;
    for (std::vector<CBonus>::iterator it = ListeBonus.begin(); it != ListeBonus.end(); ++it)
    {
        if (it->CaseX == colonne && it->CaseY == ligne)
        {
            const int type = it->Type;
            ListeBonus.erase(it);
            return type;
        }
    }
    return 0;
}

void CMap::AddBonus(int x, int y, int type)
{
    CBonus bonus;
    bonus.CaseX = x;
    bonus.CaseY = y;
    bonus.Type = type;
    ListeBonus.push_back(bonus);
}

namespace
{
    // Left or top edge in pixels of the start cell numbered `caseDebut` from 1.
    // Computed in 64 bits and kept within +-2^30, so that a start number typed
    // out of all proportion cannot overflow, nor can the character's probes
    // around a position placed there.
    int BordCase(int caseDebut)
    {
        const long long limite = 1LL << 30;
        long long pixel = static_cast<long long>(caseDebut) * CMap::TailleCase - CMap::TailleCase;
        if (pixel > limite)
            pixel = limite;
        if (pixel < -limite)
            pixel = -limite;
        return static_cast<int>(pixel);
    }
}

int CMap::ReturnPosDebutX()
{
    return BordCase(PosDebutX);
}

int CMap::ReturnPosDebutY()
{
    return BordCase(PosDebutY);
}
