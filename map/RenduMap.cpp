// The tile set and the drawing of the level around the camera: tiles, animated
// bonuses and the count of bonuses left.
#include "Map.h"

#include "../main/Globales.h"
#include "../outils/Horloge.h"

#include <SDL_opengl.h>
#include <climits>
#include <cstdio>

namespace
{
    struct ImageTuile
    {
        const char* Chemin;
        int Code;
    };

    // In the order the textures are registered (two blanks in the name of 24).
    const ImageTuile Tuiles[] = {
        {"Images/Maps/Herbe.png", 2},
        {"Images/Maps/Eau.png", 3},
        {"Images/Maps/Mur.png", 4},
        {"Images/Maps/Debut de pente droite.png", 5},
        {"Images/Maps/Sable - Vers vide a gauche.png", 33},
        {"Images/Maps/Debut de pente gauche.png", 7},
        {"Images/Maps/Sommet de cote droite.png", 8},
        {"Images/Maps/Sommet de cote gauche.png", 9},
        {"Images/Maps/Terre.png", 10},
        {"Images/Maps/Herbe vers le vide a droite.png", 11},
        {"Images/Maps/Transition cote droite.png", 12},
        {"Images/Maps/Herbe vers le vide a gauche.png", 13},
        {"Images/Maps/Transition cote gauche.png", 14},
        {"Images/Maps/Transition mur-eau droite.png", 15},
        {"Images/Maps/Mur droite.png", 16},
        {"Images/Maps/Transition mur-eau gauche.png", 17},
        {"Images/Maps/Mur gauche.png", 18},
        {"Images/Maps/Transition mur-herbe droite.png", 19},
        {"Images/Maps/Transition mur-herbe gauche.png", 20},
        {"Images/Maps/Pente droite.png", 21},
        {"Images/Maps/Transition mur-terre bas droite.png", 22},
        {"Images/Maps/Pente gauche.png", 23},
        {"Images/Maps/Transition mur-terre  bas gauche.png", 24},
        {"Images/Maps/Sable - Interieur.png", 25},
        {"Images/Maps/Transition mur-terre droite.png", 26},
        {"Images/Maps/Sable - Mur droite.png", 27},
        {"Images/Maps/Transition mur-terre gauche.png", 28},
        {"Images/Maps/Sable - Mur gauche.png", 29},
        {"Images/Maps/Transition mur-terre haut droite.png", 30},
        {"Images/Maps/Sable - Sol.png", 31},
        {"Images/Maps/Transition mur-terre haut gauche.png", 32},
        {"Images/Maps/Sable - Vers vide a droite.png", 6},
    };

    // File name pattern of each bonus type's frames, type 1 first.
    const char* const MotifsBonus[CMap::NbTypesBonus] = {
        "Images/Bonus/vie25p%d.png",  "Images/Bonus/vie50p%d.png",
        "Images/Bonus/vie75p%d.png",  "Images/Bonus/vie100p%d.png",
        "Images/Bonus/mana25p%d.png", "Images/Bonus/mana50p%d.png",
        "Images/Bonus/mana75p%d.png", "Images/Bonus/mana100p%d.png",
    };

    // Offset that brings `point` to `centre` of the view, but never past 0 (the
    // map's first tile stays at the view's edge) nor below `borne` minus the
    // map's size in pixels. That second bound comes last and wins: a map smaller
    // than the view has its far edge at `borne`.
    long long Decalage(int point, int centre, int taille, long long borne)
    {
        long long decalage = centre - static_cast<long long>(point);
        if (decalage > 0)
            decalage = 0;
        const long long minimum = borne - static_cast<long long>(CMap::TailleCase) * taille;
        if (decalage < minimum)
            decalage = minimum;
        return decalage;
    }
}

const char* CheminImageCase(int code)
{
    for (const ImageTuile& tuile : Tuiles)
        if (tuile.Code == code)
            return tuile.Chemin;
    return nullptr;
}

const char* MotifImageBonus(int type)
{
    if (type < 1 || type > CMap::NbTypesBonus)
        return nullptr;
    return MotifsBonus[type - 1];
}

void CMap::LoadTextures()
{
    for (const ImageTuile& tuile : Tuiles)
        ImgCases[tuile.Code] = static_cast<unsigned int>(Moteur.NouvelleTexture(tuile.Chemin));
    for (int type = 0; type < NbTypesBonus; ++type)
    {
        for (int n = 1; n <= NbFramesBonus; ++n)
        {
            char chemin[100];
            std::snprintf(chemin, sizeof chemin, MotifsBonus[type], n);
            ImgBonus[type][n - 1] = static_cast<unsigned int>(Moteur.NouvelleTexture(chemin));
        }
    }
}

long long CMap::DecalageCameraX(int x, int largeur)
{
    // The last column ends on the view's right edge (800).
    return Decalage(x, 400, largeur, 800);
}

long long CMap::DecalageCameraY(int y, int hauteur)
{
    // The bottom row lies just below the view's bottom edge (600 + 64).
    return Decalage(y, 300, hauteur, 664);
}

int CMap::FrameBonus(Uint32 ticks)
{
    return static_cast<int>((ticks % 1000) / 100);
}

void CMap::RenderMap(int x, int y)
{
    glMatrixMode(GL_MODELVIEW);
    glTranslated(static_cast<double>(DecalageCameraX(x, Largeur)),
                 static_cast<double>(DecalageCameraY(y, Hauteur)), 0.0);

    // Every cell the grid really holds within the dimensions: after an "Infos"
    // with no "Map" to follow, the grid may be smaller than they say.
    const size_t colonnes = Largeur <= 0 ? 0
                          : (Cases.size() < static_cast<size_t>(Largeur) ? Cases.size()
                                                                          : static_cast<size_t>(Largeur));
    for (size_t c = 0; c < colonnes; ++c)
    {
        const std::vector<signed char>& colonne = Cases[c];
        const size_t lignes = Hauteur <= 0 ? 0
                            : (colonne.size() < static_cast<size_t>(Hauteur) ? colonne.size()
                                                                             : static_cast<size_t>(Hauteur));
        for (size_t r = 0; r < lignes; ++r)
        {
            const int code = colonne[r];
            if (code > 1 && code < NbCodes)
                Moteur.AfficheTexture(ImgCases[code], static_cast<int>(c) * TailleCase,
                                      static_cast<int>(r) * TailleCase, TailleCase, TailleCase,
                                      255, 255, 255, false, 255);
        }
    }

    // A bonus of no known type has no picture, and one whose pixel position
    // does not fit in an int could not be placed: both are skipped.
    const int frame = FrameBonus(Horloge::Ticks());
    for (const CBonus& bonus : ListeBonus)
    {
        if (bonus.Type < 1 || bonus.Type > NbTypesBonus)
            continue;
        const long long bx = static_cast<long long>(bonus.CaseX) * TailleCase;
        const long long by = static_cast<long long>(bonus.CaseY) * TailleCase;
        if (bx < INT_MIN || bx > INT_MAX || by < INT_MIN || by > INT_MAX)
            continue;
        Moteur.AfficheTexture(ImgBonus[bonus.Type - 1][frame], static_cast<int>(bx),
                              static_cast<int>(by), TailleCase, TailleCase,
                              255, 255, 255, false, 255);
    }

    char compteur[24];
    std::snprintf(compteur, sizeof compteur, "%lu", static_cast<unsigned long>(ListeBonus.size()));
    Moteur.DessineTexte(0, compteur, 20, 100, 100, 255, 255, 255, false, 255);
}
