// What the level answers about single pixels: open, deadly, bonus to take.
#include "Map.h"

namespace
{
    // Pixel to tile as the C function div does it (quotient truncated toward
    // zero, remainder of the dividend's sign), done inline: C++'s / and % are
    // defined the same way, and the movement step asks this tens of times.
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

int CMap::CodeCase(int colonne, int ligne) const
{
    if (colonne < 0 || ligne < 0)
        return -1;
    const size_t c = static_cast<size_t>(colonne);
    const size_t l = static_cast<size_t>(ligne);
    if (c >= Cases.size() || l >= Cases[c].size())
        return -1;
    return Cases[c][l];
}

bool CMap::AutAcces(int x, int y)
{
    const Tuile dx = VersTuile(x);
    const Tuile dy = VersTuile(y);
    const int rx = dx.rem;
    const int ry = dy.rem;
    // A pixel outside the grid is a wall: the character stays inside.
    switch (CodeCase(dx.quot, dy.quot))
    {
    case 1: // empty
    case 3: // water
        return true;
    case 8:  // hilltop, right side: ground falls towards the right
    case 21: // slope, right
        return ry < rx;
    case 9:  // hilltop, left side: ground rises towards the right
    case 23: // slope, left
        return ry < TailleCase - rx;
    default:
        return false;
    }
}

bool CMap::DiedAcces(int x, int y)
{
    // Only water kills; outside the grid nothing does.
    return CodeCase(VersTuile(x).quot, VersTuile(y).quot) == 3;
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
