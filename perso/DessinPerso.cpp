// The character's frame: the movement steps that have fallen due, the
// animation, the sprite with its glow, bonuses, death and the return to the
// level's start.
#include "Perso.h"

#include "CalculPerso.h"
#include "../main/Globales.h"
#include "../outils/Horloge.h"

#include <SDL_opengl.h>

using CalculPerso::Ecart;
using CalculPerso::Somme;
using CalculPerso::Tronque;

namespace
{
    const Uint32 PasDepl = 5;         // ms of one movement step
    const Uint32 DureeImage = 100;    // ms of one animation frame
    const Uint32 DureeCycle = 1000;   // ten frames
    const Uint32 DelaiRetour = 2000;  // from a death to the return at the start
    const int TailleSprite = 64;
    const int TailleHalo = 15;

    // The animation frame, one for the whole program: every character drawn
    // overwrites it before drawing (the game draws only the player).
    int nbanim = 0;

    // v + part, held within the range of int before the clamp to the maximum.
    int Ajoute(int v, double part)
    {
        return Somme(v, Tronque(part));
    }
}

int CPerso::ImageAnim()
{
    return nbanim;
}

void CPerso::AvanceDepl()
{
    if (Etat == Mort)
        return;
    // One step for every whole 5 ms elapsed. While paused the step clock moves
    // on without stepping, so the paused time is never replayed. The elapsed
    // time is the clock difference taken modulo 2^32: the wrap of the clock
    // neither stops the steps nor asks for billions of them, and a step clock
    // ahead of the present asks for none.
    for (;;)
    {
        const long long ecart = Ecart(Horloge::Ticks(), DernierDepl);
        if (ecart <= static_cast<long long>(PasDepl))
            break;
        if (!JeuEnPause)
            CalcDepl();
        DernierDepl += PasDepl;
    }
}

void CPerso::AvanceAnim()
{
    if (JeuEnPause)
        return;
    const Uint32 now = Horloge::Ticks();
    // Keep the start of the cycle within the last second (whole seconds).
    const long long depuis = Ecart(now, DebutAnim);
    if (depuis > static_cast<long long>(DureeCycle))
        DebutAnim += static_cast<Uint32>((depuis - 1) / DureeCycle) * DureeCycle;
    const long long e = Ecart(now, DebutAnim);
    if (e < static_cast<long long>(DureeImage))
        nbanim = 0;
    else if (e >= 9 * static_cast<long long>(DureeImage))
        nbanim = 9;
    else
        nbanim = static_cast<int>(e / DureeImage);
}

bool CPerso::ChoisitImage(unsigned int& texture, int& largeur) const
{
    const int cote = VersDroite ? TailleSprite : -TailleSprite;
    switch (Etat)
    {
    case Immobile: // never mirrored
        texture = Textures[nbanim];
        largeur = TailleSprite;
        return true;
    case Marche:
        texture = Textures[10 + nbanim];
        largeur = cote;
        return true;
    case EnLAir:
        texture = Textures[20 + nbanim];
        largeur = cote;
        return true;
    case Accroche:
        texture = Textures[30 + nbanim];
        largeur = cote;
        return true;
    default: // let go, dead
        return false;
    }
}

void CPerso::PrendBonus()
{
    switch (Map.ReturnBonus(PosX, PosY))
    {
    case 1:
        Vie = Ajoute(Vie, 0.25 * VieMax);
        break;
    case 2:
        Vie = Ajoute(Vie, 0.5 * VieMax);
        break;
    case 3:
        Vie = Ajoute(Vie, 0.75 * VieMax);
        break;
    case 4:
        Vie = VieMax;
        break;
    case 5:
        Mana = Ajoute(Mana, 0.25 * ManaMax);
        break;
    case 6:
        Mana = Ajoute(Mana, 0.5 * ManaMax);
        break;
    case 7:
        Mana = Ajoute(Mana, 0.75 * ManaMax);
        break;
    case 8:
        Mana = ManaMax;
        break;
    default:
        break;
    }
    if (Vie > VieMax)
        Vie = VieMax;
    if (Mana > ManaMax)
        Mana = ManaMax;
}

void CPerso::VerifieMort()
{
    if (Etat == Mort)
        return;
    if (!Map.DiedAcces(Somme(PosX, 32), Somme(PosY, 32)) && Vie > 0)
        return;
    const Uint32 now = Horloge::Ticks();
    Vie = 0;
    Etat = Mort;
    DebutAnim = now + DelaiRetour;
    // Clear for a second, then darkening to opaque black.
    Moteur.RajoutFondu(now + 1000, now + 2000, 0, 0, 0, 255, 0, 0, 0, 0);
}

void CPerso::VerifieRetour()
{
    if (Etat != Mort)
        return;
    const Uint32 now = Horloge::Ticks();
    if (Ecart(now, DebutAnim) <= 0)
        return;
    Vie = VieMax;
    Etat = Immobile;
    DebutAnim = now;
    VitesseX = 0.0;
    VitesseY = 0.0;
    // Placed as at the start of the level: the step clock restarts from now,
    // so the time spent dead is not replayed as steps from the start with the
    // keys then held, and a fall is measured from the start height.
    ModifPos(Map.ReturnPosDebutX(), Map.ReturnPosDebutY());
    // Opaque black at once, clearing over a second.
    Moteur.RajoutFondu(now, now + 1000, 0, 0, 0, 0, 0, 0, 0, 255);
}

void CPerso::DessinePerso()
{
    AvanceDepl();
    AvanceAnim();

    unsigned int texture = 0;
    int largeur = 0;
    if (ChoisitImage(texture, largeur))
        Moteur.AfficheTextureHalo(texture, PosX, PosY, largeur, TailleSprite, 255, 255, 255,
                                  TailleHalo, 255, 255, 255, false, 255);

    PrendBonus();
    VerifieMort();
    VerifieRetour();

    // Back to screen pixels for whatever is drawn after the character.
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
