#pragma once
// A picture that the drawing layer's batching must not change: quads of two
// textures and a blended one, overlapping and not, drawn through the game's
// GL calls and read back (index.html?lots, for the page's tests). The window
// is open before the call.
#include <cstdint>
#include <vector>

struct ResultatLots
{
    std::vector<std::uint8_t> Ligne; // RGBA of the pixels of row 5, x from 0 to 79
    unsigned Dessins = 0;            // draw calls the layer made for the quads
};

ResultatLots EssaiLots(int largeur, int hauteur);
