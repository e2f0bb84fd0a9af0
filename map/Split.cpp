#include "Map.h"

int Split(std::vector<std::string>* sortie, std::string texte, char separateur)
{
    if (sortie->empty())
        sortie->push_back(std::string());
    else
        sortie->resize(1);
    for (char c : texte)
    {
        if (c == separateur)
            sortie->push_back(std::string());
        else
            sortie->back() += c;
    }
    return static_cast<int>(sortie->size());
}
