// PLACEHOLDER: being drawn.
#include "Dessins.h"

bool DessinerFontes(const std::string&)
{
    return true;
}
