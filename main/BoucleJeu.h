#pragma once
// The game screen: event handling and the pulsing pause caption, kept apart
// from the frame loop so that they can be driven without a window.
#include <SDL.h>
#include <vector>

// The pause caption's clock: 6 ms steps counted since the last release of P.
struct EtatPause
{
    Uint32 Compteur;  // 0..510 between frames
    Uint32 Reference; // tick up to which steps have been counted
};

// Alpha of the caption for a step counter: 0..255 rising, then 255..1 falling.
int AlphaPause(Uint32 compteur);

// Counts the whole 6 ms steps that lie strictly in the past, keeps the leftover
// in the reference time, and restarts the cycle at 0 once it passes 510.
void AvancePause(EtatPause& pause, Uint32 maintenant);

// Handles one SDL event of the game screen (keys, quit, resize, focus). A
// release of P or M counts only when the player made it; SDL's queue is
// looked at for a loss of the focus waiting behind it, or `suite` when given
// (the events queued behind this one).
void TraiteEvenement(const SDL_Event& evenement, EtatPause& pause);
void TraiteEvenement(const SDL_Event& evenement, EtatPause& pause, const std::vector<SDL_Event>& suite);
// While the window is minimised: sleeps in SDL_WaitEvent and handles each
// event until the window is shown again or the game ends.
void AttendRestauration(EtatPause& pause);

// One frame of the game screen, in three parts: every pending event handled,
// the scene drawn (background, level, player, pause caption, HUD, frame
// counter), then CMoteur::FinDessin. The fade-in starts the screen.
void TraiteEvenements(EtatPause& pause);
void DessineScene(EtatPause& pause);
void LanceFonduOuverture();

// What the game loop returns once the run flag is cleared: no screen follows.
const int EcranAucun = -1;
