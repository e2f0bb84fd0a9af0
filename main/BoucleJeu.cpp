#include "BoucleJeu.h"

#include "Commandes.h"
#include "Globales.h"
#include "../outils/Horloge.h"
#include "../son/Son.h"

#include <algorithm>
#include <functional>

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

namespace
{
    bool PerteFocus(const SDL_Event& evenement)
    {
        return evenement.type == SDL_ACTIVEEVENT && evenement.active.gain == 0 &&
               (evenement.active.state & (SDL_APPINPUTFOCUS | SDL_APPACTIVE)) != 0;
    }

    // Whether a loss of the focus waits in SDL's queue behind the event being
    // handled: the releases SDL sends for the held keys may come first.
    bool PerteFocusEnAttente()
    {
        SDL_Event suite[16];
        const int n = SDL_PeepEvents(suite, 16, SDL_PEEKEVENT, SDL_ACTIVEEVENTMASK);
        return std::any_of(suite, suite + std::max(n, 0), PerteFocus);
    }

    // The arrow keys, Escape, quit and resize.
    void EvenementJeu(const SDL_Event& evenement)
    {
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

    void Traite(const SDL_Event& evenement, EtatPause& pause, const std::function<bool()>& perteEnAttente)
    {
        if (evenement.type == SDL_KEYUP && evenement.key.keysym.sym == SDLK_m &&
            Commandes.RelachementVoulu(SDLK_m, perteEnAttente()))
            Son::BasculeMuet();
        if (Commandes.Traite(evenement, pause)) // gamepads, full screen, focus
            return;
        if (evenement.type == SDL_KEYUP && evenement.key.keysym.sym == SDLK_p)
        {
            if (Commandes.RelachementVoulu(SDLK_p, perteEnAttente()))
                BasculePause(pause);
            return;
        }
        EvenementJeu(evenement);
    }
}

void TraiteEvenement(const SDL_Event& evenement, EtatPause& pause)
{
    Traite(evenement, pause, PerteFocusEnAttente);
}

void TraiteEvenement(const SDL_Event& evenement, EtatPause& pause, const std::vector<SDL_Event>& suite)
{
    Traite(evenement, pause, [&suite] { return std::any_of(suite.begin(), suite.end(), PerteFocus); });
}

void TraiteEvenements(EtatPause& pause)
{
    SDL_Event evenement;
    while (SDL_PollEvent(&evenement))
        TraiteEvenement(evenement, pause);
}

void AttendRestauration(EtatPause& pause)
{
    SDL_Event evenement;
    while (continuer && Commandes.Iconifie())
    {
        if (SDL_WaitEvent(&evenement) == 0)
        {
            Commandes.Restaure(); // no event can come: draw again rather than spin here
            return;
        }
        TraiteEvenement(evenement, pause);
    }
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
    // Dead, the player comes back with the fade from black: until then the
    // fade to black keeps its black, even in the frame whose overlay comes
    // after the fade's end while its return check came before.
    Moteur.TenirFinFondu = joueur.Etat == CPerso::Mort;
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
        if (Commandes.Iconifie())
        {
            // Minimised: nothing drawn; the pause is heard (the music
            // suspended), then the loop sleeps until the window is back.
            Son::ApresTrame();
            AttendRestauration(pause);
            continue;
        }
        DessineScene(pause);
        Moteur.FinDessin();
        Son::ApresTrame();
    }
    Son::Fermer();
    return EcranAucun;
}
