// PLACEHOLDER: being drawn.
#include "Dessins.h"

bool DessinerInterface(const std::string&)
{
    return true;
}
