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
    // Each run of text between two separators is appended to its piece in one
    // go (the same pieces as appending it character by character, without a
    // call and a capacity check per character).
    size_t debut = 0;
    for (;;)
    {
        const size_t fin = texte.find(separateur, debut);
        if (fin == std::string::npos)
        {
            // The last piece: when it starts empty, the text (Split's own copy)
            // becomes it, its front cut off in place, instead of being copied
            // into a new string. On a level's map body this saves allocating
            // and copying the whole body again.
            std::string& piece = sortie->back();
            if (piece.empty())
            {
                texte.erase(0, debut);
                piece.swap(texte);
            }
            else
                piece.append(texte, debut, std::string::npos);
            break;
        }
        sortie->back().append(texte, debut, fin - debut);
        sortie->push_back(std::string());
        debut = fin + 1;
    }
    return static_cast<int>(sortie->size());
}
