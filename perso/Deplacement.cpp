// One movement step of 5 ms: keys, ledges, jumps, gravity, drag, collision
// against the tile grid, fall damage, and the state the character ends in.
// Speeds are pixels per step; positions are whole pixels, moved by the speeds
// truncated toward zero.
#include "Perso.h"

#include "CalculPerso.h"
#include "../main/Globales.h"
#include "../outils/Horloge.h"

using CalculPerso::Somme;
using CalculPerso::Tronque;

namespace
{
    const double PasMarche = 1.0;      // walking change of speed
    const double Pente = 1.1;          // pressed down or lifted on slopes
    const double Saut = 7.5;           // jump impulse (upwards)
    const Uint32 DelaiSaut = 1000;     // ms between two jumps not from the ground
    const double GraviteChute = 1.25;  // while falling
    const double GraviteMontee = 0.1;  // while rising or still
    const double FreinX = 0.9;
    const double FreinChute = 0.25;
    const double FreinMontee = 0.01;
    const double ZoneMorte = 0.1;
    const int ChuteSansDegat = 384;    // six tiles
    const int DegatParCase = 20;
    const int DecalageAccroche = 30;   // ledge probes beside the character

    // True when `question` answers yes at the four corners of the collision box
    // placed with the square's top-left corner at (x, y): columns 6 and 57,
    // rows 4 and 61.
    template <class Question>
    bool AuxQuatreCoins(int x, int y, Question question)
    {
        const int gauche = Somme(x, 6);
        const int droite = Somme(x, 57);
        const int haut = Somme(y, 4);
        const int bas = Somme(y, 61);
        return question(gauche, haut) && question(droite, haut) && question(gauche, bas) &&
               question(droite, bas);
    }

    // The box fits: open at its four corners.
    bool Boite(int x, int y)
    {
        return AuxQuatreCoins(x, y, [](int px, int py) { return Map.AutAcces(px, py); });
    }

    // Water at all four corners of the box.
    bool BoiteNoyee(int x, int y)
    {
        return AuxQuatreCoins(x, y, [](int px, int py) { return Map.DiedAcces(px, py); });
    }

    // Beside a wall whose top is a little above the character's top edge,
    // with room above it: the box at the side is blocked, 60 px higher it is
    // free, and 55 px higher it is blocked again.
    bool Rebord(int x, int y)
    {
        return !Boite(x, y) && Boite(x, Somme(y, -60)) && !Boite(x, Somme(y, -55));
    }

    // a / 64 * 64, the division truncating toward zero.
    int ArrondiCase(int a)
    {
        return a / CMap::TailleCase * CMap::TailleCase;
    }
}

void CPerso::CalcDepl()
{
    double dvx = 0.0;
    double dvy = 0.0;
    bool accroche = false;

    // Hanging from a ledge: down lets go, up jumps off (both: the jump wins).
    if (Etat == Accroche)
    {
        if (Touches[ToucheBas])
            Etat = Lache;
        if (Touches[ToucheHaut])
        {
            Etat = EnLAir;
            VitesseY = 0.0;
            ProchainSaut = Horloge::Ticks() + DelaiSaut;
            dvy = -Saut;
        }
        accroche = Etat == Accroche;
    }

    if (!accroche)
    {
        const bool mort = Etat == Mort;
        if (!mort)
        {
            const bool auSol = !Boite(PosX, Somme(PosY, 3));

            // Right key: grab a ledge on the right, or walk.
            if (Touches[ToucheDroite])
            {
                const int cote = Somme(PosX, DecalageAccroche);
                if (Rebord(cote, PosY))
                {
                    VitesseX = 0.0;
                    VitesseY = 0.0;
                    PosX = ArrondiCase(Somme(PosX, 32));
                    PosY = Somme(ArrondiCase(PosY), CMap::TailleCase);
                    Etat = Accroche;
                    DebutAnim = Horloge::Ticks();
                    VersDroite = true;
                    return;
                }
                const int x = Somme(PosX, Tronque(VitesseX + 1.0));
                if (Boite(x, Somme(PosY, Tronque(VitesseY + Pente))) && auSol)
                {
                    // The way ahead is lower: press the character down onto it.
                    dvx = PasMarche;
                    dvy = Pente;
                }
                else if (Boite(x, Somme(PosY, Tronque(VitesseY))))
                    dvx = PasMarche;
                else if (Boite(x, Somme(Somme(PosY, Tronque(VitesseY - Pente)), -2)))
                {
                    // The way ahead is higher: lift the character onto it.
                    dvx = PasMarche;
                    dvy = -Pente;
                }
                else
                    dvx = 0.0;
            }

            // Left key: the same towards the left. With both keys held, left
            // wins whenever it can move; otherwise the right key's result stands.
            if (Touches[ToucheGauche])
            {
                const int cote = Somme(PosX, -DecalageAccroche);
                if (Rebord(cote, PosY))
                {
                    VitesseX = 0.0;
                    VitesseY = 0.0;
                    PosX = ArrondiCase(Somme(PosX, 32));
                    PosY = Somme(ArrondiCase(PosY), CMap::TailleCase);
                    Etat = Accroche;
                    DebutAnim = Horloge::Ticks();
                    VersDroite = false;
                    return;
                }
                const int x = Somme(PosX, Tronque(VitesseX - 1.0));
                if (Boite(x, Somme(PosY, Tronque(VitesseY + Pente))) && auSol)
                {
                    dvx = -PasMarche;
                    dvy = Pente;
                }
                else if (Boite(x, Somme(PosY, Tronque(VitesseY))))
                    dvx = -PasMarche;
                else if (Boite(x, Somme(Somme(PosY, Tronque(VitesseY - Pente)), -2)))
                {
                    dvx = -PasMarche;
                    dvy = -Pente;
                }
            }

            // Up key: from the ground at once, otherwise once the delay since
            // the last jump has passed.
            if (Touches[ToucheHaut])
            {
                const Uint32 now = Horloge::Ticks();
                if ((auSol && Etat != EnLAir) || ProchainSaut < now)
                {
                    dvy -= Saut;
                    VitesseY = 0.0;
                    ProchainSaut = now + DelaiSaut;
                }
            }
        }

        // Gravity, unless something lies just under the coming move.
        if (Boite(PosX, Somme(PosY, 3LL + Tronque(dvy + VitesseY + GraviteChute))))
            dvy += VitesseY > 0.0 ? GraviteChute : GraviteMontee;

        // Drag, from the speeds as they stand.
        if (VitesseX >= 1.0 || VitesseX <= -1.0)
            dvx -= FreinX * VitesseX;
        if (VitesseY >= 1.0)
            dvy -= FreinChute * VitesseY;
        else if (VitesseY <= -1.0)
            dvy -= FreinMontee * VitesseY;

        // Collision: when the whole move is blocked, stop each direction that
        // is blocked on its own.
        const int x = Somme(PosX, Tronque(VitesseX + dvx));
        const int y = Somme(PosY, Tronque(VitesseY + dvy));
        if (!Boite(x, y))
        {
            if (!Boite(x, PosY))
            {
                VitesseX = 0.0;
                dvx = 0.0;
            }
            // The vertical test sits one pixel higher than the normal box.
            if (!Boite(PosX, Somme(y, -1)))
            {
                VitesseY = 0.0;
                const long long hauteur = static_cast<long long>(PosY) - DebutChute;
                if (hauteur > ChuteSansDegat)
                {
                    const long long degats = (hauteur - ChuteSansDegat) / CMap::TailleCase * DegatParCase;
                    const long long vie = static_cast<long long>(Vie) - degats;
                    if (vie <= 0)
                    {
                        const Uint32 now = Horloge::Ticks();
                        Vie = 0;
                        Etat = Mort;
                        DebutAnim = now + 2000;
                        // Clear for a second, then darkening to black.
                        Moteur.RajoutFondu(now + 1000, now + 2000, 0, 0, 0, 255, 0, 0, 0, 0);
                    }
                    else
                        Vie = static_cast<int>(vie);
                }
                DebutChute = PosY;
                dvy = 0.0;
            }
        }
    }

    // Integration.
    VitesseX += dvx;
    VitesseY += dvy;
    if (VitesseX > -ZoneMorte && VitesseX < ZoneMorte)
        VitesseX = 0.0;
    if (VitesseY > -ZoneMorte && VitesseY < ZoneMorte)
        VitesseY = 0.0;
    // At the map's left and top edges a speed larger than the coordinate
    // becomes +1: the character is pushed back in one pixel a step.
    if (VitesseX > static_cast<double>(PosX))
        VitesseX = 1.0;
    if (VitesseY > static_cast<double>(PosY))
        VitesseY = 1.0;
    PosX = Somme(PosX, Tronque(VitesseX));
    PosY = Somme(PosY, Tronque(VitesseY));
    // While rising or still the fall reference follows the character; once it
    // falls, the reference stays at the top of the arc.
    if (PosY < DebutChute)
        DebutChute = PosY;
    if (VitesseY <= 0.0)
        DebutChute = PosY;

    if (Etat == Accroche || Etat == Mort)
        return;

    // The state the step ends in.
    int etat;
    if (Boite(PosX, Somme(PosY, 5)))
    {
        etat = EnLAir;
        VersDroite = VitesseX > 0.0;
    }
    else if (VitesseX >= 1.0 || VitesseX <= -1.0)
    {
        etat = Marche;
        VersDroite = VitesseX > 0.0;
    }
    else if (BoiteNoyee(PosX, PosY))
    {
        etat = Mort;
        VersDroite = VitesseX > 0.0;
    }
    else
        etat = Immobile;
    if (etat != Etat)
    {
        Etat = etat;
        DebutAnim = Horloge::Ticks();
    }
}
