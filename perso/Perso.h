#pragma once
// A character of the level: position, speeds, state, held keys, sprites, life
// and mana. CalcDepl runs one 5 ms movement step; DessinePerso runs the steps
// that have fallen due, animates, draws and handles pickups, death and respawn.
#include <SDL.h>

class CPerso
{
public:
    // Values of Etat
    enum
    {
        Lache = 0,     // let go of a ledge (never outlasts a step)
        Immobile = 1,  // standing
        Marche = 2,    // walking
        EnLAir = 3,    // jumping or falling
        Accroche = 4,  // hanging from a ledge
        Mort = 5       // dead, waiting to come back
    };
    // Indices of Touches
    enum
    {
        ToucheHaut = 0,
        ToucheBas = 1,
        ToucheGauche = 2,
        ToucheDroite = 3
    };

    int PosX;
    int PosY;
    int Etat;
    Uint32 DebutAnim;
    Uint32 DernierDepl;
    unsigned int Textures[40];
    bool VersDroite;
    bool Touches[4];
    double VitesseX;
    double VitesseY;
    Uint32 ProchainSaut;
    int DebutChute;
    int Vie;
    int VieMax;
    int Mana;
    int ManaMax;

    CPerso();
    ~CPerso();

    void ModifTouche(int touche, bool appuye);
    void ModifPos(int x, int y);
    int ReturnPosX();
    int ReturnPosY();
    int ReturnVie();
    int ReturnVieMax();
    int ReturnMana();
    int ReturnManaMax();
    void LoadTexPerso(const char* dossier);
    void CalcDepl();
    void DessinePerso();

    // The pieces of DessinePerso, in the order it runs them; all but the
    // drawing itself work without a window.
    void AvanceDepl();     // runs the 5 ms movement steps that have fallen due
    void AvanceAnim();     // picks the animation frame shared by all characters
    // The texture and the signed width (negative: mirrored) of the frame to
    // draw now; false when nothing is drawn (let go, dead).
    bool ChoisitImage(unsigned int& texture, int& largeur) const;
    void PrendBonus();     // takes a bonus lying on the tile of (PosX, PosY)
    void VerifieMort();    // dies in water under the centre or without life
    void VerifieRetour();  // comes back at the level's start once the time is up
    static int ImageAnim(); // the shared animation frame, 0 to 9
};
