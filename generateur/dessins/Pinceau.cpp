#include "Pinceau.h"

#include <algorithm>
#include <cmath>

namespace
{
    float Borne(float v)
    {
        return v < 0 ? 0 : (v > 1 ? 1 : v);
    }

    // Coverage of one pixel by a shape given as an inside test, 4x4 samples.
    template <class Dedans>
    float Couverture(int x, int y, Dedans dedans)
    {
        int n = 0;
        for (int j = 0; j < 4; ++j)
            for (int i = 0; i < 4; ++i)
                if (dedans(x + (i + 0.5f) / 4.0f, y + (j + 0.5f) / 4.0f))
                    ++n;
        return n / 16.0f;
    }

    template <class Dedans>
    void Remplir(ImageRGBA& image, float x0, float y0, float x1, float y1, const Couleur& c, Dedans dedans)
    {
        const int xa = std::max(0, static_cast<int>(std::floor(x0)));
        const int ya = std::max(0, static_cast<int>(std::floor(y0)));
        const int xb = std::min(image.Largeur - 1, static_cast<int>(std::ceil(x1)));
        const int yb = std::min(image.Hauteur - 1, static_cast<int>(std::ceil(y1)));
        for (int y = ya; y <= yb; ++y)
            for (int x = xa; x <= xb; ++x)
            {
                const float cov = Couverture(x, y, dedans);
                if (cov > 0)
                    Melanger(image, x, y, c, cov);
            }
    }

    uint32_t Melange(uint32_t h)
    {
        h ^= h >> 16;
        h *= 0x7feb352dU;
        h ^= h >> 15;
        h *= 0x846ca68bU;
        h ^= h >> 16;
        return h;
    }

    float Lisse(float t)
    {
        return t * t * (3 - 2 * t);
    }
}

Couleur Rvb(int r, int g, int b, float a)
{
    return Couleur{r / 255.0f, g / 255.0f, b / 255.0f, a};
}

Couleur Mix(const Couleur& a, const Couleur& b, float t)
{
    return Couleur{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

Couleur Nuance(const Couleur& c, float f)
{
    if (f >= 0)
        return Couleur{c.r + (1 - c.r) * f, c.g + (1 - c.g) * f, c.b + (1 - c.b) * f, c.a};
    return Couleur{c.r * (1 + f), c.g * (1 + f), c.b * (1 + f), c.a};
}

Couleur AvecAlpha(const Couleur& c, float a)
{
    return Couleur{c.r, c.g, c.b, a};
}

void Melanger(ImageRGBA& image, int x, int y, const Couleur& c, float couverture)
{
    if (x < 0 || y < 0 || x >= image.Largeur || y >= image.Hauteur)
        return;
    uint8_t* p = image.Pixel(x, y);
    const float sa = Borne(c.a * couverture);
    const float da = p[3] / 255.0f;
    const float oa = sa + da * (1 - sa);
    if (oa <= 0)
    {
        p[0] = p[1] = p[2] = p[3] = 0;
        return;
    }
    const float comp[3] = {c.r, c.g, c.b};
    for (int k = 0; k < 3; ++k)
    {
        const float d = p[k] / 255.0f;
        const float o = (Borne(comp[k]) * sa + d * da * (1 - sa)) / oa;
        p[k] = static_cast<uint8_t>(std::lround(Borne(o) * 255));
    }
    p[3] = static_cast<uint8_t>(std::lround(Borne(oa) * 255));
}

void Poser(ImageRGBA& image, int x, int y, const Couleur& c)
{
    if (x < 0 || y < 0 || x >= image.Largeur || y >= image.Hauteur)
        return;
    uint8_t* p = image.Pixel(x, y);
    p[0] = static_cast<uint8_t>(std::lround(Borne(c.r) * 255));
    p[1] = static_cast<uint8_t>(std::lround(Borne(c.g) * 255));
    p[2] = static_cast<uint8_t>(std::lround(Borne(c.b) * 255));
    p[3] = static_cast<uint8_t>(std::lround(Borne(c.a) * 255));
}

void Rectangle(ImageRGBA& image, float x0, float y0, float x1, float y1, const Couleur& c)
{
    Remplir(image, x0, y0, x1, y1, c, [&](float x, float y) { return x >= x0 && x < x1 && y >= y0 && y < y1; });
}

void Disque(ImageRGBA& image, float cx, float cy, float rayon, const Couleur& c)
{
    Ellipse(image, cx, cy, rayon, rayon, c);
}

void Ellipse(ImageRGBA& image, float cx, float cy, float rx, float ry, const Couleur& c)
{
    if (rx <= 0 || ry <= 0)
        return;
    Remplir(image, cx - rx, cy - ry, cx + rx, cy + ry, c, [&](float x, float y) {
        const float dx = (x - cx) / rx, dy = (y - cy) / ry;
        return dx * dx + dy * dy <= 1;
    });
}

void Anneau(ImageRGBA& image, float cx, float cy, float rayon, float epaisseur, const Couleur& c)
{
    const float r1 = rayon + epaisseur / 2, r0 = std::max(0.0f, rayon - epaisseur / 2);
    Remplir(image, cx - r1, cy - r1, cx + r1, cy + r1, c, [&](float x, float y) {
        const float d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
        return d2 <= r1 * r1 && d2 >= r0 * r0;
    });
}

void Trait(ImageRGBA& image, float x0, float y0, float x1, float y1, float epaisseur, const Couleur& c)
{
    const float r = epaisseur / 2;
    const float dx = x1 - x0, dy = y1 - y0;
    const float l2 = dx * dx + dy * dy;
    Remplir(image, std::min(x0, x1) - r, std::min(y0, y1) - r, std::max(x0, x1) + r, std::max(y0, y1) + r, c,
            [&](float x, float y) {
                float t = l2 > 0 ? ((x - x0) * dx + (y - y0) * dy) / l2 : 0;
                t = t < 0 ? 0 : (t > 1 ? 1 : t);
                const float px = x0 + t * dx - x, py = y0 + t * dy - y;
                return px * px + py * py <= r * r;
            });
}

void Polygone(ImageRGBA& image, const std::vector<Point>& sommets, const Couleur& c)
{
    if (sommets.size() < 3)
        return;
    float x0 = sommets[0].x, x1 = x0, y0 = sommets[0].y, y1 = y0;
    for (const Point& p : sommets)
    {
        x0 = std::min(x0, p.x);
        x1 = std::max(x1, p.x);
        y0 = std::min(y0, p.y);
        y1 = std::max(y1, p.y);
    }
    Remplir(image, x0, y0, x1, y1, c, [&](float x, float y) {
        bool dedans = false;
        for (size_t i = 0, j = sommets.size() - 1; i < sommets.size(); j = i++)
        {
            const Point& a = sommets[i];
            const Point& b = sommets[j];
            if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x)
                dedans = !dedans;
        }
        return dedans;
    });
}

void DegradeVertical(ImageRGBA& image, int y0, int y1, const Couleur& haut, const Couleur& bas)
{
    for (int y = std::max(0, y0); y <= std::min(image.Hauteur - 1, y1); ++y)
    {
        const float t = y1 > y0 ? static_cast<float>(y - y0) / (y1 - y0) : 0;
        const Couleur c = Mix(haut, bas, t);
        for (int x = 0; x < image.Largeur; ++x)
            Melanger(image, x, y, c);
    }
}

float Hasard(int x, int y, uint32_t graine)
{
    const uint32_t h = Melange(static_cast<uint32_t>(x) * 0x9E3779B1U ^ Melange(static_cast<uint32_t>(y) + graine * 0x85EBCA77U));
    return (h & 0xFFFFFF) / static_cast<float>(0x1000000);
}

float Bruit(float x, float y, uint32_t graine, int periode)
{
    const int xi = static_cast<int>(std::floor(x)), yi = static_cast<int>(std::floor(y));
    const float fx = Lisse(x - xi), fy = Lisse(y - yi);
    auto v = [&](int a, int b) {
        if (periode > 0)
        {
            a = ((a % periode) + periode) % periode;
            b = ((b % periode) + periode) % periode;
        }
        return Hasard(a, b, graine);
    };
    const float h = v(xi, yi) + (v(xi + 1, yi) - v(xi, yi)) * fx;
    const float b = v(xi, yi + 1) + (v(xi + 1, yi + 1) - v(xi, yi + 1)) * fx;
    return h + (b - h) * fy;
}

float BruitFractal(float x, float y, int octaves, uint32_t graine, int periode)
{
    float somme = 0, amplitude = 1, total = 0, f = 1;
    for (int o = 0; o < octaves; ++o)
    {
        somme += amplitude * Bruit(x * f, y * f, graine + static_cast<uint32_t>(o) * 101U,
                                   periode > 0 ? static_cast<int>(periode * f) : 0);
        total += amplitude;
        amplitude *= 0.5f;
        f *= 2;
    }
    return somme / total;
}

void Coller(ImageRGBA& cible, const ImageRGBA& source, int x, int y)
{
    for (int j = 0; j < source.Hauteur; ++j)
        for (int i = 0; i < source.Largeur; ++i)
        {
            const uint8_t* p = source.Pixel(i, j);
            Melanger(cible, x + i, y + j, Couleur{p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f, p[3] / 255.0f});
        }
}

ImageRGBA Redimensionner(const ImageRGBA& source, int largeur, int hauteur)
{
    ImageRGBA resultat(largeur, hauteur);
    const float sx = static_cast<float>(source.Largeur) / largeur, sy = static_cast<float>(source.Hauteur) / hauteur;
    for (int y = 0; y < hauteur; ++y)
        for (int x = 0; x < largeur; ++x)
        {
            // Box filter over the source pixels this pixel covers (alpha-weighted).
            const int x0 = static_cast<int>(x * sx), x1 = std::max(x0 + 1, static_cast<int>((x + 1) * sx));
            const int y0 = static_cast<int>(y * sy), y1 = std::max(y0 + 1, static_cast<int>((y + 1) * sy));
            float r = 0, g = 0, b = 0, a = 0;
            int n = 0;
            for (int j = y0; j < y1 && j < source.Hauteur; ++j)
                for (int i = x0; i < x1 && i < source.Largeur; ++i)
                {
                    const uint8_t* p = source.Pixel(i, j);
                    const float pa = p[3] / 255.0f;
                    r += p[0] * pa;
                    g += p[1] * pa;
                    b += p[2] * pa;
                    a += pa;
                    ++n;
                }
            uint8_t* q = resultat.Pixel(x, y);
            if (a > 0)
            {
                q[0] = static_cast<uint8_t>(std::lround(r / a));
                q[1] = static_cast<uint8_t>(std::lround(g / a));
                q[2] = static_cast<uint8_t>(std::lround(b / a));
            }
            q[3] = static_cast<uint8_t>(std::lround(n ? a / n * 255 : 0));
        }
    return resultat;
}
