#pragma once
// One frame of the game screen under a frozen clock, read back from the
// frame buffer: the same picture on the desktop and in the page, so that
// the two can be compared pixel for pixel. The window is open and the game
// loaded (ChargeJeu) before the call.
#include <cstdint>
#include <vector>

// Pixels RGBA, rows from the bottom (as GL reads them), of the largeur x
// hauteur frame buffer; the clock stays frozen at `temps` afterwards.
std::vector<std::uint8_t> ImageFigee(std::uint32_t temps, int largeur, int hauteur);
