// PLACEHOLDER: the tile set and map drawing are being built.
#include "Map.h"

void CMap::LoadTextures()
{
}

void CMap::RenderMap(int, int)
{
}
