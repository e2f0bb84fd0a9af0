#pragma once
// Split under any text and separator. The first byte is the separator, the
// second says whether the output list starts empty or already holds pieces
// (bit 0: one piece "avant", bit 1: a second one); the rest is the text.
// Returns null when every promise held, otherwise what went wrong.
#include "map/Map.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Fuzz
{
    inline const char* ExerceSplit(const uint8_t* donnees, size_t taille)
    {
        if (taille < 2)
            return nullptr;
        const char separateur = static_cast<char>(donnees[0]);
        const uint8_t depart = donnees[1];
        const std::string texte(reinterpret_cast<const char*>(donnees + 2), taille - 2);

        std::vector<std::string> morceaux;
        if (depart & 1)
            morceaux.push_back("avant");
        if (depart & 2)
            morceaux.push_back("de trop");
        const std::string premier = morceaux.empty() ? std::string() : morceaux[0];

        const int n = Split(&morceaux, texte, separateur);
        size_t separateurs = 0;
        for (char c : texte)
            if (c == separateur)
                ++separateurs;

        if (n < 1 || static_cast<size_t>(n) != morceaux.size())
            return "the count is not the number of pieces";
        if (morceaux.size() != separateurs + 1)
            return "not one piece more than there are separators";
        std::string recolle;
        for (size_t i = 0; i < morceaux.size(); ++i)
        {
            // The text the first piece already had may hold anything.
            const size_t debut = i == 0 ? premier.size() : 0;
            if (morceaux[i].compare(0, debut, premier, 0, debut) != 0)
                return "the first piece lost the text it had";
            if (morceaux[i].find(separateur, debut) != std::string::npos)
                return "a piece holds the separator";
            if (i > 0)
                recolle += separateur;
            recolle += morceaux[i];
        }
        // The first piece of a list that was not empty keeps its text in front.
        if (recolle != premier + texte)
            return "the pieces, joined again, are not the text";
        if (Split(nullptr, texte, separateur) != n)
            return "counting without a list gives another number";
        return nullptr;
    }
}
