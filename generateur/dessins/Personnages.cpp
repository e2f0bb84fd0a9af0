// PLACEHOLDER: being drawn.
#include "Dessins.h"

bool DessinerPersonnages(const std::string&)
{
    return true;
}
