// Cuts a text into pieces at a separator character.
#include "Map.h"

#include <climits>

int Split(std::vector<std::string>* sortie, std::string texte, char separateur)
{
    // Without a list there is nowhere to put the pieces: only count them.
    if (sortie == nullptr)
    {
        int pieces = 1;
        for (char c : texte)
            if (c == separateur && pieces < INT_MAX)
                ++pieces;
        return pieces;
    }
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
