#include "Commandes.h"

#include "Globales.h"
#include "../outils/Horloge.h"

CCommandes Commandes;

void BasculePause(EtatPause& pause)
{
    JeuEnPause = !JeuEnPause;
    pause.Reference = Horloge::Ticks();
    pause.Compteur = 0;
}

void AppliqueCurseur()
{
    SDL_ShowCursor(Moteur.PleinEcran ? SDL_DISABLE : SDL_ENABLE);
}

namespace
{
    // The resize events that a switch of mode queues describe the switch
    // itself, and the new view is already set: handing them to ResizeWindow
    // would set the mode again and again while the window settles.
    void OublieRedimensionnements()
    {
        SDL_PumpEvents();
        SDL_Event evenements[16];
        while (SDL_PeepEvents(evenements, 16, SDL_GETEVENT, SDL_VIDEORESIZEMASK) > 0)
        {
        }
    }
}

void PrepareCommandes()
{
    Commandes.OuvreManettes();
    AppliqueCurseur();
}

void CCommandes::OuvreManettes()
{
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) < 0)
        return;
    const int nombre = SDL_NumJoysticks();
    for (int i = 0; i < nombre; ++i)
    {
        SDL_Joystick* joystick = SDL_JoystickOpen(i);
        if (joystick == nullptr)
            continue;
        AjoutePad(i, SDL_JoystickName(i), SDL_JoystickNumAxes(joystick),
                  SDL_JoystickNumButtons(joystick), SDL_JoystickNumHats(joystick));
    }
    SDL_JoystickEventState(SDL_ENABLE);
}

void CCommandes::AjoutePad(int index, const char* nom, int nbAxes, int nbBoutons, int nbChapeaux)
{
    // SDL 1.2 numbers joysticks in one byte.
    if (index < 0 || index > 255)
        return;
    if (static_cast<size_t>(index) >= Pads.size())
        Pads.resize(static_cast<size_t>(index) + 1);
    CPad pad;
    pad.Ouverte = true;
    pad.Pad = Manette::DispositionPour(nom, nbBoutons, nbChapeaux);
    pad.NbAxes = nbAxes;
    pad.NbBoutons = nbBoutons;
    pad.NbChapeaux = nbChapeaux;
    Pads[static_cast<size_t>(index)] = pad;
}

bool CCommandes::Tenue(int touche) const
{
    if (touche < 0 || touche > 3)
        return false;
    if (Clavier[touche])
        return true;
    const Uint8 bitsChapeau[4] = {SDL_HAT_UP, SDL_HAT_DOWN, SDL_HAT_LEFT, SDL_HAT_RIGHT};
    for (const CPad& pad : Pads)
    {
        if ((pad.Chapeau & bitsChapeau[touche]) != 0 || pad.Boutons[touche] != 0)
            return true;
        const bool manche = (touche == CPerso::ToucheHaut && pad.AxeY < 0) ||
                            (touche == CPerso::ToucheBas && pad.AxeY > 0) ||
                            (touche == CPerso::ToucheGauche && pad.AxeX < 0) ||
                            (touche == CPerso::ToucheDroite && pad.AxeX > 0);
        if (manche)
            return true;
    }
    return false;
}

void CCommandes::Transmet(int touche)
{
    if (PersoPrincipal < 0 || static_cast<size_t>(PersoPrincipal) >= Personnages.size())
        return;
    Personnages[PersoPrincipal].ModifTouche(touche, Tenue(touche));
}

void CCommandes::Touche(int touche, bool appuye)
{
    if (touche < 0 || touche > 3)
        return;
    Clavier[touche] = appuye;
    Transmet(touche);
}

void CCommandes::RelacheTout()
{
    for (bool& tenue : Clavier)
        tenue = false;
    for (CPad& pad : Pads)
    {
        pad.Chapeau = SDL_HAT_CENTERED;
        pad.AxeX = 0;
        pad.AxeY = 0;
        for (Uint32& boutons : pad.Boutons)
            boutons = 0;
        pad.PauseAppuyee = false;
    }
    F11Tenue_ = false;
    EntreeTenue_ = false;
    PAppuyee_ = false;
    MAppuyee_ = false;
    for (int touche = 0; touche < 4; ++touche)
        Transmet(touche);
}

CCommandes::CPad* CCommandes::PadOuvert(int index)
{
    if (index < 0 || static_cast<size_t>(index) >= Pads.size() || !Pads[static_cast<size_t>(index)].Ouverte)
        return nullptr;
    return &Pads[static_cast<size_t>(index)];
}

void CCommandes::TraiteAxe(CPad& pad, int axe, int valeur)
{
    // The left stick: axes 0 (x) and 1 (y, positive downwards).
    if (axe >= pad.NbAxes || axe > 1)
        return;
    int& position = axe == 0 ? pad.AxeX : pad.AxeY;
    const int nouvelle = Manette::PositionAxe(position, valeur);
    if (nouvelle == position)
        return;
    position = nouvelle;
    if (axe == 0)
    {
        Transmet(CPerso::ToucheGauche);
        Transmet(CPerso::ToucheDroite);
    }
    else
    {
        Transmet(CPerso::ToucheHaut);
        Transmet(CPerso::ToucheBas);
    }
}

void CCommandes::TraiteChapeau(CPad& pad, Uint8 valeur)
{
    const Uint8 directions = SDL_HAT_UP | SDL_HAT_DOWN | SDL_HAT_LEFT | SDL_HAT_RIGHT;
    valeur &= directions;
    if (valeur == pad.Chapeau)
        return;
    pad.Chapeau = valeur;
    for (int touche = 0; touche < 4; ++touche)
        Transmet(touche);
}

void CCommandes::TraiteBouton(CPad& pad, int bouton, bool appuye, EtatPause& pause)
{
    if (bouton >= pad.NbBoutons || bouton >= 32)
        return;
    const int action = Manette::ActionBouton(pad.Pad, bouton);
    if (action == Manette::ActionPause)
    {
        // Like P: on the release of a press the game saw.
        if (!appuye && pad.PauseAppuyee)
            BasculePause(pause);
        pad.PauseAppuyee = appuye;
        return;
    }
    if (action < 0 || action > 3)
        return;
    const Uint32 bit = Uint32(1) << bouton;
    if (appuye)
        pad.Boutons[action] |= bit;
    else
        pad.Boutons[action] &= ~bit;
    Transmet(action);
}

bool CCommandes::TraiteClavier(const SDL_Event& evenement)
{
    const SDLKey cle = evenement.key.keysym.sym;
    const bool entree = cle == SDLK_RETURN || cle == SDLK_KP_ENTER;
    if (evenement.type == SDL_KEYDOWN && cle == SDLK_p)
        PAppuyee_ = true;
    if (evenement.type == SDL_KEYDOWN && cle == SDLK_m)
        MAppuyee_ = true;
    if (evenement.type == SDL_KEYUP)
    {
        if (cle == SDLK_F11)
            F11Tenue_ = false;
        if (entree)
            EntreeTenue_ = false;
        return false;
    }
    bool* tenue = nullptr;
    if (cle == SDLK_F11)
        tenue = &F11Tenue_;
    else if (entree && (evenement.key.keysym.mod & KMOD_ALT) != 0)
        tenue = &EntreeTenue_;
    if (tenue == nullptr)
        return false;
    // Key repeat sends more presses of a held key: one switch per press.
    if (!*tenue && Moteur.ChangeMode(!Moteur.PleinEcran))
    {
        AppliqueCurseur();
        OublieRedimensionnements();
    }
    *tenue = true;
    return true;
}

bool CCommandes::RelachementVoulu(SDLKey cle, bool perteFocusEnAttente)
{
    bool* appuyee = cle == SDLK_p ? &PAppuyee_ : (cle == SDLK_m ? &MAppuyee_ : nullptr);
    if (appuyee == nullptr)
        return false;
    const bool voulu = *appuyee && !perteFocusEnAttente;
    *appuyee = false;
    return voulu;
}

void CCommandes::TraiteActivite(const SDL_ActiveEvent& activite, EtatPause& pause)
{
    if (activite.gain == 0)
    {
        // The keyboard focus gone or the window iconified: nothing stays held.
        if ((activite.state & (SDL_APPINPUTFOCUS | SDL_APPACTIVE)) != 0)
            RelacheTout();
        // Iconified: paused as P would pause it, the caption there on return.
        if ((activite.state & SDL_APPACTIVE) != 0)
        {
            Iconifie_ = true;
            if (!JeuEnPause)
                BasculePause(pause);
        }
    }
    else if ((activite.state & (SDL_APPACTIVE | SDL_APPINPUTFOCUS)) != 0)
        Iconifie_ = false; // shown again (a window with the focus is shown)
}

bool CCommandes::Traite(const SDL_Event& evenement, EtatPause& pause)
{
    switch (evenement.type)
    {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        return TraiteClavier(evenement);
    case SDL_ACTIVEEVENT:
        TraiteActivite(evenement.active, pause);
        return true;
    case SDL_JOYAXISMOTION:
        if (CPad* pad = PadOuvert(evenement.jaxis.which))
            TraiteAxe(*pad, evenement.jaxis.axis, evenement.jaxis.value);
        return true;
    case SDL_JOYHATMOTION:
        if (CPad* pad = PadOuvert(evenement.jhat.which))
            if (evenement.jhat.hat == 0 && pad->NbChapeaux > 0)
                TraiteChapeau(*pad, evenement.jhat.value);
        return true;
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP:
        if (CPad* pad = PadOuvert(evenement.jbutton.which))
            TraiteBouton(*pad, evenement.jbutton.button, evenement.type == SDL_JOYBUTTONDOWN, pause);
        return true;
    case SDL_JOYBALLMOTION:
        return true;
    default:
        return false;
    }
}
