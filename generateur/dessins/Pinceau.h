#pragma once
// Drawing primitives of the asset generator: antialiased shapes blended over an
// RGBA picture, gradients and smooth noise. Coordinates are floats in pixels,
// (0, 0) at the top-left corner of the picture, pixel centres at +0.5.
#include "Png.h"

#include <cstdint>
#include <vector>

struct Couleur
{
    float r, g, b, a; // 0..1
};

// 0..255 components to a colour.
Couleur Rvb(int r, int g, int b, float a = 1.0f);
// Linear mix of two colours (t = 0 gives a, t = 1 gives b).
Couleur Mix(const Couleur& a, const Couleur& b, float t);
// The same colour lighter (f > 0) or darker (f < 0), f in -1..1.
Couleur Nuance(const Couleur& c, float f);
Couleur AvecAlpha(const Couleur& c, float a);

struct Point
{
    float x, y;
};

// Blends colour c over pixel (x, y) with the given coverage (0..1), "over" rule.
void Melanger(ImageRGBA& image, int x, int y, const Couleur& c, float couverture = 1.0f);
// Replaces a pixel outright.
void Poser(ImageRGBA& image, int x, int y, const Couleur& c);

// Shapes, antialiased by 4x4 supersampling of their coverage.
void Rectangle(ImageRGBA& image, float x0, float y0, float x1, float y1, const Couleur& c);
void Disque(ImageRGBA& image, float cx, float cy, float rayon, const Couleur& c);
void Ellipse(ImageRGBA& image, float cx, float cy, float rx, float ry, const Couleur& c);
void Anneau(ImageRGBA& image, float cx, float cy, float rayon, float epaisseur, const Couleur& c);
void Trait(ImageRGBA& image, float x0, float y0, float x1, float y1, float epaisseur, const Couleur& c);
void Polygone(ImageRGBA& image, const std::vector<Point>& sommets, const Couleur& c);

// Vertical gradient over rows y0..y1 (whole width).
void DegradeVertical(ImageRGBA& image, int y0, int y1, const Couleur& haut, const Couleur& bas);

// Smooth value noise in 0..1, periodic with the given period (in lattice cells)
// when periode > 0, so that tiles built from it repeat seamlessly.
float Bruit(float x, float y, uint32_t graine, int periode = 0);
// Sum of octaves of Bruit, in 0..1.
float BruitFractal(float x, float y, int octaves, uint32_t graine, int periode = 0);
// A hash of integers in 0..1, for scattering details deterministically.
float Hasard(int x, int y, uint32_t graine);

// Copies `source` over `cible` at (x, y), blending with its alpha.
void Coller(ImageRGBA& cible, const ImageRGBA& source, int x, int y);
// Nearest-neighbour or box resampling of a picture to another size.
ImageRGBA Redimensionner(const ImageRGBA& source, int largeur, int hauteur);
