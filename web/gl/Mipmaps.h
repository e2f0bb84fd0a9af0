#pragma once
// What GLU's gluBuild2DMipmaps makes of an image, computed without a GL
// context: the level 0 size (a side that is not a power of two is brought
// down to the largest power of two below it) and each next level, halved
// with GLU's rounding, down to 1x1. Pixels of `composantes` bytes, rows
// tightly packed.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace GlWeb
{
    struct Niveau
    {
        int Largeur = 0;
        int Hauteur = 0;
        std::vector<std::uint8_t> Pixels;
    };

    // The largest power of two not above n (1 for n <= 1).
    int PuissanceDeuxInferieure(int n);

    // An image scaled to a new size by averaging the source area under each
    // destination pixel (GLU's box scaling).
    Niveau Redimensionne(const Niveau& source, int largeur, int hauteur, int composantes);

    // The next level: each side halved (a side of 1 stays 1), each pixel the
    // rounded mean of the 2 or 4 pixels above it.
    Niveau Moitie(const Niveau& source, int composantes);

    // Every level, level 0 first, as gluBuild2DMipmaps uploads them.
    std::vector<Niveau> Chaine(const std::uint8_t* pixels, int largeur, int hauteur, int composantes);
}
