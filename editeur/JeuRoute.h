#pragma once
// A route played in the test play: the game's frame driven by the route's
// keys, then by the designer's.
#include "analyse/Route.h"
#include "perso/Perso.h"

#include <string>
#include <vector>

namespace Edition
{
    // Plays the map text from its start with the route's keys (times in ms
    // from the start, up to `fin`): each of the route's frames runs one
    // movement step under a clock set to its time, as the route was found and
    // confirmed, as many as the wall clock has let pass; then the game's frame
    // draws. Any key from the designer but F6 and F7 (which start it), or the
    // route's end, hands the game over to the game's own loop under the
    // designer's keys; Escape comes back.
    // Returns true when the window was closed. `prises` gets the bonuses taken
    // while the route drove.
    bool JouerRoute(const std::string& texte, const CPerso& modele,
                    const std::vector<AnalyseCarte::ChangementRoute>& changements, long long fin, size_t& prises);
}
