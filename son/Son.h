#pragma once
// The game's sound, hooked on the game loop: the player is read before each
// frame and again after it, and what changed is played. The device is opened
// once the first frame is on the screen, then sounds are loaded a few
// milliseconds' worth per frame, so the start-up and the first frame wait for
// none of it.
#include <SDL.h>

namespace Son
{
    // Before the frame's events.
    void AvantTrame();
    // After the frame is presented.
    void ApresTrame();
    // M (its release, made by the player): mute, or unmute.
    void BasculeMuet();
    bool Muet();
    // Once the game loop has ended: frees the sounds, closes the device.
    void Fermer();
}
