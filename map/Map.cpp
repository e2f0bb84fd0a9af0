// PLACEHOLDER: the map loader is being built.
#include "Map.h"

#include "../main/Globales.h"

CMap::CMap() : Hauteur(0), Largeur(0), PosDebutX(0), PosDebutY(0), ImgCases{}, ImgBonus{}
{
}

CMap::~CMap()
{
}

int CMap::LoadMap(const char*)
{
    Personnages.clear();
    Personnages.push_back(CPerso());
    Personnages.back().LoadTexPerso("Principal");
    Personnages.back().ModifPos(ReturnPosDebutX(), ReturnPosDebutY());
    return static_cast<int>(Personnages.size()) - 1;
}
