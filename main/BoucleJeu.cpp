#include "BoucleJeu.h"

#include "Commandes.h"
#include "Globales.h"
#include "../outils/Horloge.h"
#include "../son/Son.h"

int AlphaPause(Uint32 compteur)
{
    if (compteur <= 255)
        return static_cast<int>(compteur);
    return 255 - static_cast<int>(compteur % 256);
}

void AvancePause(EtatPause& pause, Uint32 maintenant)
{
    // Steps k = 1, 2, ... with Reference + 6k strictly before now. Counted on the
    // modular difference, so the 49-day wrap of the millisecond clock neither
    // hangs the loop nor counts billions of steps.
    const Uint32 ecart = maintenant - pause.Reference;
    const Uint32 pas = ecart == 0 ? 0 : (ecart - 1) / 6;
    pause.Compteur += pas;
    pause.Reference += pas * 6;
    if (pause.Compteur > 510)
        pause.Compteur = 0;
}

namespace
{
    void Touche(int indice, bool appuye)
    {
        Commandes.Touche(indice, appuye); // combined with the gamepads
    }

    // Arrow key symbol to the player's key index, -1 for any other key.
    int IndiceFleche(SDLKey cle)
    {
        switch (cle)
        {
        case SDLK_UP:
            return CPerso::ToucheHaut;
        case SDLK_DOWN:
            return CPerso::ToucheBas;
        case SDLK_LEFT:
            return CPerso::ToucheGauche;
        case SDLK_RIGHT:
            return CPerso::ToucheDroite;
        default:
            return -1;
        }
    }
}

void TraiteEvenement(const SDL_Event& evenement, EtatPause& pause)
{
    Son::TraiteEvenement(evenement);
    if (Commandes.Traite(evenement, pause)) // gamepads, full screen, focus
        return;
    switch (evenement.type)
    {
    case SDL_KEYDOWN:
    {
        if (evenement.key.keysym.sym == SDLK_ESCAPE)
            continuer = false;
        const int indice = IndiceFleche(evenement.key.keysym.sym);
        if (indice >= 0)
            Touche(indice, true);
        break;
    }
    case SDL_KEYUP:
    {
        if (evenement.key.keysym.sym == SDLK_p)
        {
            JeuEnPause = !JeuEnPause;
            pause.Reference = Horloge::Ticks();
            pause.Compteur = 0;
        }
        const int indice = IndiceFleche(evenement.key.keysym.sym);
        if (indice >= 0)
            Touche(indice, false);
        break;
    }
    case SDL_QUIT:
        continuer = false;
        break;
    case SDL_VIDEORESIZE:
        Moteur.ResizeWindow(evenement.resize.w, evenement.resize.h);
        break;
    default:
        break;
    }
}

void TraiteEvenements(EtatPause& pause)
{
    SDL_Event evenement;
    while (SDL_PollEvent(&evenement))
        TraiteEvenement(evenement, pause);
}

void DessineScene(EtatPause& pause)
{
    Moteur.DebutDessin();
    Moteur.AfficheTexture(ImgArrierePlan, 0, 0, 800, 600, 255, 255, 255, false, 255);
    Moteur.AfficheTexture(ImgMotifArrierePlan, 300, 300, 100, 100, 255, 255, 255, false, 255);

    // The camera follows the position from before this frame's steps.
    Map.RenderMap(Personnages[PersoPrincipal].ReturnPosX(), Personnages[PersoPrincipal].ReturnPosY());
    Personnages[PersoPrincipal].DessinePerso();

    if (JeuEnPause)
    {
        const int alpha = AlphaPause(pause.Compteur);
        AvancePause(pause, Horloge::Ticks());
        Moteur.DessineTexte(FonteStandard, "Pause", 64, 268, 240, 0, 0, 0, true,
                            static_cast<unsigned char>(alpha));
    }

    CPerso& joueur = Personnages[PersoPrincipal];
    Interface.DessineInterface(joueur.ReturnVie(), joueur.ReturnVieMax(),
                               joueur.ReturnMana(), joueur.ReturnManaMax());
    Moteur.DessineFPS();
}

void LanceFonduOuverture()
{
    // Fade in from black over the first second.
    const Uint32 t1 = Horloge::Ticks();
    const Uint32 t2 = Horloge::Ticks();
    Moteur.RajoutFondu(t2, t1 + 1000, 0, 0, 0, 0, 0, 0, 0, 255);
}

int BoucleRenderJeu()
{
    PrepareCommandes();
    LanceFonduOuverture();
    EtatPause pause = {0, 0}; // set on every release of P, read only while paused
    while (continuer && nbRender == 3)
    {
        Son::AvantTrame();
        TraiteEvenements(pause);
        DessineScene(pause);
        Moteur.FinDessin();
        Son::ApresTrame();
    }
    Son::Fermer();
    return EcranAucun;
}
