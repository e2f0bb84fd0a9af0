#pragma once
// What GLU's gluBuild2DMipmaps makes of an image, computed without a GL
// context: the level 0 size (a side that is not a power of two is scaled to
// the nearest power of two, the larger one at equal distance) and each next level, halved
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

    // The power of two nearest n, the larger one at equal distance (1 for n <= 1).
    int PuissanceDeuxProche(int n);

    // An image scaled to a new size by averaging the source area under each
    // destination pixel (GLU's box scaling).
    Niveau Redimensionne(const Niveau& source, int largeur, int hauteur, int composantes);

    // The next level: each side halved (a side of 1 stays 1), each pixel the
    // mean of the 4 pixels above it rounded to nearest, or, once a side is 1,
    // of the 2 pixels above it rounded down (GLU's own rounding).
    Niveau Moitie(const Niveau& source, int composantes);

    // Every level, level 0 first, as gluBuild2DMipmaps uploads them.
    std::vector<Niveau> Chaine(const std::uint8_t* pixels, int largeur, int hauteur, int composantes);
}
