// The head-up display: life and mana bars in the top-left corner, the frame
// image over them and the two values as numbers over the frame.
#include "Interface.h"

#include "../main/Globales.h"

#include <SDL_opengl.h>

#include <cstdio>
#include <limits>

namespace
{
    const int LargeurPleine = 200;
    const int HauteurBarre = 13;

    // Room for any int in decimal: every digit, a minus sign and the NUL.
    const int TailleNombre = std::numeric_limits<int>::digits10 + 3;

    void DessineNombre(int valeur, int y)
    {
        char texte[TailleNombre];
        std::snprintf(texte, sizeof texte, "%d", valeur);
        // Font 0 is the first font registered, the standard one.
        Moteur.DessineTexte(0, texte, 12, 220, y, 0, 165, 8, false, 255);
    }
}

CInterface::CInterface()
    : ImgBarreVie(0), ImgBarreMana(0), ImgInterface(0)
{
}

CInterface::~CInterface()
{
}

void CInterface::LoadInterface()
{
    ImgBarreVie = static_cast<unsigned int>(Moteur.NouvelleTexture("./Images/Interface/barrevie.png"));
    ImgBarreMana = static_cast<unsigned int>(Moteur.NouvelleTexture("./Images/Interface/barremana.png"));
    ImgInterface = static_cast<unsigned int>(Moteur.NouvelleTexture("./Images/Interface/interface.png"));
}

int CInterface::LargeurBarre(int valeur, int maximum)
{
    // No maximum, no bar.
    if (maximum <= 0)
        return 0;
    // In 64 bits, so that no value can overflow the product; truncated.
    const long long largeur = static_cast<long long>(valeur) * LargeurPleine / maximum;
    // A negative width would mirror the bar image to the right of its place,
    // a wider one would run out of the frame: the bar stays within 0..200.
    if (largeur < 0)
        return 0;
    if (largeur > LargeurPleine)
        return LargeurPleine;
    return static_cast<int>(largeur);
}

void CInterface::DessineInterface(int vie, int vieMax, int mana, int manaMax)
{
    // Screen pixels: the display does not follow the camera.
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    Moteur.AfficheTexture(ImgBarreVie, 8, 8, LargeurBarre(vie, vieMax), HauteurBarre,
                          255, 255, 255, false, 255);
    Moteur.AfficheTexture(ImgBarreMana, 8, 30, LargeurBarre(mana, manaMax), HauteurBarre,
                          255, 255, 255, false, 255);
    // The frame lies over the bars.
    Moteur.AfficheTexture(ImgInterface, 0, 0, 300, 50, 255, 255, 255, false, 255);

    DessineNombre(vie, 8);
    DessineNombre(mana, 31);
}
