// PLACEHOLDER: being drawn.
#include "Dessins.h"

bool DessinerFonds(const std::string&)
{
    return true;
}
