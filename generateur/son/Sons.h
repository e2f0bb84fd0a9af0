#pragma once
// The game's sound effects and its music, made by the synthesizer.
#include "Synthe.h"

#include "son/NomsSons.h"

// One effect, ready to be written.
Synthe::Tampon FaireEffet(Son::Effet effet);
// One turn of the music loop: its last sample runs on into its first.
Synthe::Tampon FaireMusique();
