#pragma once
// Per-pixel painting for the tiles and the bonuses: a picture is described by a
// function giving the colour (straight alpha) of any point, and each pixel is the
// average of a grid of samples of it, so every edge comes out antialiased.
#include "Pinceau.h"

#include <algorithm>
#include <cmath>

namespace Tuiles
{
    constexpr float Pi = 3.14159265358979f;

    inline float Borne01(float v)
    {
        return v < 0 ? 0 : (v > 1 ? 1 : v);
    }

    // 0 below e0, 1 above e1, a smooth step between (e0 > e1 runs it backwards).
    inline float Transition(float e0, float e1, float v)
    {
        const float t = Borne01((v - e0) / (e1 - e0));
        return t * t * (3 - 2 * t);
    }

    // v brought into 0..periode.
    inline float Modulo(float v, float periode)
    {
        const float r = std::fmod(v, periode);
        return r < 0 ? r + periode : r;
    }

    inline int ModuloEntier(int v, int periode)
    {
        return ((v % periode) + periode) % periode;
    }

    // Distance between a and b on a circle of the given length.
    inline float DistancePeriodique(float a, float b, float periode)
    {
        const float d = Modulo(a - b, periode);
        return std::min(d, periode - d);
    }

    // Colour `haut` laid over `bas`, both in straight alpha.
    inline Couleur Dessus(const Couleur& haut, const Couleur& bas)
    {
        const float a = haut.a + bas.a * (1 - haut.a);
        if (a <= 0)
            return Couleur{0, 0, 0, 0};
        const float kb = bas.a * (1 - haut.a);
        return Couleur{(haut.r * haut.a + bas.r * kb) / a, (haut.g * haut.a + bas.g * kb) / a,
                       (haut.b * haut.a + bas.b * kb) / a, a};
    }

    inline Couleur Transparent()
    {
        return Couleur{0, 0, 0, 0};
    }

    // Multiplies the colour (not the alpha) by f.
    inline Couleur Eclairer(const Couleur& c, float f)
    {
        return Couleur{Borne01(c.r * f), Borne01(c.g * f), Borne01(c.b * f), c.a};
    }

    // Replaces every pixel of the picture by the average of n x n samples of
    // `couleur(x, y)` over it (alpha-weighted, so transparent samples do not tint).
    template <class Fonction>
    void Peindre(ImageRGBA& image, Fonction couleur, int n = 4)
    {
        for (int y = 0; y < image.Hauteur; ++y)
            for (int x = 0; x < image.Largeur; ++x)
            {
                float r = 0, g = 0, b = 0, a = 0;
                for (int j = 0; j < n; ++j)
                    for (int i = 0; i < n; ++i)
                    {
                        const Couleur c = couleur(x + (i + 0.5f) / n, y + (j + 0.5f) / n);
                        const float ca = Borne01(c.a);
                        r += Borne01(c.r) * ca;
                        g += Borne01(c.g) * ca;
                        b += Borne01(c.b) * ca;
                        a += ca;
                    }
                uint8_t* p = image.Pixel(x, y);
                if (a > 0)
                {
                    p[0] = static_cast<uint8_t>(std::lround(Borne01(r / a) * 255));
                    p[1] = static_cast<uint8_t>(std::lround(Borne01(g / a) * 255));
                    p[2] = static_cast<uint8_t>(std::lround(Borne01(b / a) * 255));
                }
                else
                    p[0] = p[1] = p[2] = 0;
                p[3] = static_cast<uint8_t>(std::lround(Borne01(a / (n * n)) * 255));
            }
    }
}
