#include "Manette.h"

#include "../perso/Perso.h"

#include <cctype>
#include <cstring>

namespace Manette
{
    const LigneBoutons TableBoutons[] = {
        {DispositionXbox, 0, CPerso::ToucheHaut, "A"},
        {DispositionXbox, 7, ActionPause, "Start"},
        {DispositionPlayStation, 0, CPerso::ToucheHaut, "Cross"},
        {DispositionPlayStation, 9, ActionPause, "Options"},
        {DispositionSDL, 0, CPerso::ToucheHaut, "A / Cross"},
        {DispositionSDL, 6, ActionPause, "Start / Options"},
        {DispositionSDL, 11, CPerso::ToucheHaut, "d-pad up"},
        {DispositionSDL, 12, CPerso::ToucheBas, "d-pad down"},
        {DispositionSDL, 13, CPerso::ToucheGauche, "d-pad left"},
        {DispositionSDL, 14, CPerso::ToucheDroite, "d-pad right"},
    };
    const int NbLignesBoutons = sizeof TableBoutons / sizeof TableBoutons[0];

    namespace
    {
        bool Contient(const char* nom, const char* mot)
        {
            const size_t n = std::strlen(mot);
            for (const char* p = nom; *p != '\0'; ++p)
            {
                size_t i = 0;
                while (i < n && p[i] != '\0' &&
                       std::tolower(static_cast<unsigned char>(p[i])) == mot[i])
                    ++i;
                if (i == n)
                    return true;
            }
            return false;
        }
    }

    Disposition DispositionPour(const char* nom, int nbBoutons, int nbChapeaux)
    {
        // SDL's own driver reports the d-pad as buttons 11 to 14 and no hat.
        if (nbChapeaux <= 0 && nbBoutons >= 15)
            return DispositionSDL;
        if (nom != nullptr)
        {
            const char* const motsXbox[] = {"xbox", "x-box", "xinput", "microsoft"};
            for (const char* mot : motsXbox)
                if (Contient(nom, mot))
                    return DispositionXbox;
        }
        return DispositionPlayStation;
    }

    int ActionBouton(Disposition pad, int bouton)
    {
        for (int i = 0; i < NbLignesBoutons; ++i)
            if (TableBoutons[i].Pad == pad && TableBoutons[i].Bouton == bouton)
                return TableBoutons[i].Action;
        return ActionAucune;
    }

    int PositionAxe(int avant, int valeur)
    {
        if (valeur >= SeuilEnfonce)
            return 1;
        if (valeur <= -SeuilEnfonce)
            return -1;
        // Between the two thresholds the stick keeps the side it was on.
        if (avant > 0 && valeur > SeuilRelache)
            return 1;
        if (avant < 0 && valeur < -SeuilRelache)
            return -1;
        return 0;
    }
}
