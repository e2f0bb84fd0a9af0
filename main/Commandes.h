#pragma once
// The player's controls beyond the arrow keys: gamepads, the switch between
// full screen and a window, and letting go of everything when the game loses
// the focus. A direction is held while any source holds it (the keyboard, a
// pad's d-pad, stick or buttons); the player's four held keys are fed from
// that combination.
#include "BoucleJeu.h"
#include "Manette.h"

#include <SDL.h>
#include <vector>

class CCommandes
{
public:
    // One opened pad and what it holds now.
    struct CPad
    {
        bool Ouverte = false;
        Manette::Disposition Pad = Manette::DispositionPlayStation;
        int NbAxes = 0;
        int NbBoutons = 0;
        int NbChapeaux = 0;
        Uint8 Chapeau = SDL_HAT_CENTERED; // hat 0
        int AxeX = 0;                     // stick position, -1, 0 or +1
        int AxeY = 0;
        Uint32 Boutons[4] = {0, 0, 0, 0}; // per direction, the buttons holding it
        bool PauseAppuyee = false;        // the pause button's press seen
    };

    bool Clavier[4] = {false, false, false, false};
    std::vector<CPad> Pads; // indexed by SDL's joystick index

    // Opens every joystick present (none: nothing changes).
    void OuvreManettes();
    // Records a pad at an SDL joystick index from what SDL says of it.
    void AjoutePad(int index, const char* nom, int nbAxes, int nbBoutons, int nbChapeaux);

    // An arrow key pressed or released.
    void Touche(int touche, bool appuye);
    // Handles the events of this file; false for those it leaves to the game loop.
    bool Traite(const SDL_Event& evenement, EtatPause& pause);
    // Lets go of every direction on every source.
    void RelacheTout();

    // A release of P or M: true when the player made it, that is when the
    // game saw its press since the focus last went and no loss of the focus
    // waits behind it (SDL sends a release for every held key when the focus
    // goes, before or after the focus event).
    bool RelachementVoulu(SDLKey cle, bool perteFocusEnAttente);
    // Minimised: the game is paused and the loop waits for events.
    bool Iconifie() const { return Iconifie_; }
    void Restaure() { Iconifie_ = false; }

    // Whether a direction is held by any source.
    bool Tenue(int touche) const;

private:
    bool F11Tenue_ = false;    // the switch keys, so that key repeat switches only once
    bool EntreeTenue_ = false;
    bool PAppuyee_ = false;    // presses of P and M seen, for their releases
    bool MAppuyee_ = false;
    bool Iconifie_ = false;

    void TraiteActivite(const SDL_ActiveEvent& activite, EtatPause& pause);

    void Transmet(int touche); // the combination to the player
    void TraiteAxe(CPad& pad, int axe, int valeur);
    void TraiteChapeau(CPad& pad, Uint8 valeur);
    void TraiteBouton(CPad& pad, int bouton, bool appuye, EtatPause& pause);
    bool TraiteClavier(const SDL_Event& evenement);
    CPad* PadOuvert(int index);
};

extern CCommandes Commandes;

// What releasing P does: the pause toggles and its caption restarts.
void BasculePause(EtatPause& pause);
// Shows the pointer in a window and hides it in full screen.
void AppliqueCurseur();
// The game screen's start: pads opened, pointer as the mode wants it.
void PrepareCommandes();
