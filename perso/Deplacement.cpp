// PLACEHOLDER: the movement step is being built.
#include "Perso.h"

void CPerso::CalcDepl()
{
}
