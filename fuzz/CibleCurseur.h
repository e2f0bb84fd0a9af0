#pragma once
// Cursors from XPM arrays under any text. The bytes are cut at line ends into
// strings, and the array is ended by a null string: the reader promises never
// to look past a null, so every such array is one it must handle, whatever its
// header claims. The planes made are checked against the rows they come from.
// Returns null when everything held, otherwise what went wrong.
#include "outils/Outils.h"

#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace Fuzz
{
    inline const char* ExerceCurseur(const uint8_t* donnees, size_t taille)
    {
        std::vector<std::string> chaines(1);
        for (size_t i = 0; i < taille; ++i)
        {
            if (donnees[i] == '\n')
                chaines.emplace_back();
            else
                chaines.back() += static_cast<char>(donnees[i]);
        }
        // A NUL inside a line simply ends that C string early.
        std::vector<const char*> xpm;
        for (const std::string& c : chaines)
            xpm.push_back(c.c_str());
        xpm.push_back(nullptr);

        Outils::PlansCurseur plans;
        const bool fait = Outils::cursorPlanesFromXPM(xpm.data(), plans);
        if (fait)
        {
            // The header's width, read again on our side.
            char* fin = nullptr;
            errno = 0;
            const long largeurXpm = std::strtol(xpm[0], &fin, 10);
            if (fin == xpm[0] || largeurXpm <= 0 || largeurXpm > INT_MAX)
                return "a cursor was made from an unreadable width";
            const int largeur = static_cast<int>(largeurXpm);
            if (plans.Largeur <= 0 || plans.Largeur % 8 != 0 || plans.Largeur < largeur ||
                plans.Largeur - largeur >= 8)
                return "the planes' width is not the header's rounded up to 8";
            if (plans.Hauteur <= 0 || static_cast<size_t>(plans.Hauteur) + 5 > xpm.size())
                return "the planes have more rows than the array holds";
            const size_t octetsLigne = static_cast<size_t>(plans.Largeur) / 8;
            const size_t attendu = octetsLigne * static_cast<size_t>(plans.Hauteur);
            if (plans.Donnees.size() != attendu || plans.Masque.size() != attendu)
                return "the planes are not width / 8 x height bytes";
            if (plans.PointX < 0 || plans.PointX >= plans.Largeur || plans.PointY < 0 ||
                plans.PointY >= plans.Hauteur)
                return "the hot spot lies outside the cursor";
            for (int r = 0; r < plans.Hauteur; ++r)
            {
                const char* ligne = xpm[4 + static_cast<size_t>(r)];
                if (std::strlen(ligne) < static_cast<size_t>(largeur))
                    return "a cursor was made from a row shorter than the width";
                for (int c = 0; c < plans.Largeur; ++c)
                {
                    const size_t octet = static_cast<size_t>(r) * octetsLigne + static_cast<size_t>(c) / 8;
                    const int bit = 7 - c % 8;
                    const bool donnee = (plans.Donnees[octet] >> bit) & 1;
                    const bool masque = (plans.Masque[octet] >> bit) & 1;
                    const char pixel = c < largeur ? ligne[c] : ' ';
                    if (donnee != (pixel == 'X') || masque != (pixel == 'X' || pixel == '.'))
                        return "a pixel's bits do not match its character";
                }
            }
        }
        else if (plans.Largeur != 0 || plans.Hauteur != 0 || !plans.Donnees.empty() || !plans.Masque.empty())
            return "a refused array changed the planes";

        // The same array through SDL (which may have no cursor support where
        // the fuzzer runs: then it only refuses).
        if (SDL_WasInit(SDL_INIT_VIDEO))
            if (SDL_Cursor* curseur = Outils::cursorFromXPM(xpm.data()))
                SDL_FreeCursor(curseur);
        return nullptr;
    }
}
