// PLACEHOLDER: being drawn.
#include "Dessins.h"

bool DessinerBonus(const std::string&)
{
    return true;
}
