#include "Mipmaps.h"

#include <algorithm>

namespace GlWeb
{
    int PuissanceDeuxProche(int n)
    {
        int p = 1;
        for (int m = n; m > 1; m >>= 1)
            p <<= 1;
        // From one and a half times the power below, the one above is nearer
        // (or as near: GLU then takes the larger).
        return n > 1 && n >= p + p / 2 && p < (1 << 30) ? 2 * p : p;
    }

    Niveau Redimensionne(const Niveau& source, int largeur, int hauteur, int composantes)
    {
        Niveau r;
        r.Largeur = largeur;
        r.Hauteur = hauteur;
        r.Pixels.assign(static_cast<size_t>(largeur) * hauteur * composantes, 0);
        if (source.Largeur <= 0 || source.Hauteur <= 0 || largeur <= 0 || hauteur <= 0)
            return r;
        // Each destination pixel covers [x0, x1) x [y0, y1) of the source, in
        // source pixels; the covered parts of source pixels are weighted by
        // their area.
        const double fx = static_cast<double>(source.Largeur) / largeur;
        const double fy = static_cast<double>(source.Hauteur) / hauteur;
        for (int y = 0; y < hauteur; ++y)
        {
            const double y0 = y * fy, y1 = (y + 1) * fy;
            for (int x = 0; x < largeur; ++x)
            {
                const double x0 = x * fx, x1 = (x + 1) * fx;
                double somme[4] = {0, 0, 0, 0};
                double aire = 0;
                for (int sy = static_cast<int>(y0); sy < source.Hauteur && sy < y1; ++sy)
                {
                    const double hy = std::min<double>(sy + 1, y1) - std::max<double>(sy, y0);
                    for (int sx = static_cast<int>(x0); sx < source.Largeur && sx < x1; ++sx)
                    {
                        const double poids = hy * (std::min<double>(sx + 1, x1) - std::max<double>(sx, x0));
                        const std::uint8_t* p =
                            &source.Pixels[(static_cast<size_t>(sy) * source.Largeur + sx) * composantes];
                        for (int c = 0; c < composantes && c < 4; ++c)
                            somme[c] += poids * p[c];
                        aire += poids;
                    }
                }
                std::uint8_t* d = &r.Pixels[(static_cast<size_t>(y) * largeur + x) * composantes];
                for (int c = 0; c < composantes && c < 4; ++c)
                    d[c] = static_cast<std::uint8_t>(aire > 0 ? somme[c] / aire + 0.5 : 0);
            }
        }
        return r;
    }

    Niveau Moitie(const Niveau& source, int composantes)
    {
        Niveau r;
        r.Largeur = std::max(1, source.Largeur / 2);
        r.Hauteur = std::max(1, source.Hauteur / 2);
        r.Pixels.assign(static_cast<size_t>(r.Largeur) * r.Hauteur * composantes, 0);
        const bool deuxX = source.Largeur > 1, deuxY = source.Hauteur > 1;
        for (int y = 0; y < r.Hauteur; ++y)
            for (int x = 0; x < r.Largeur; ++x)
            {
                const int sx = deuxX ? 2 * x : x, sy = deuxY ? 2 * y : y;
                auto px = [&](int dx, int dy) {
                    return &source.Pixels[(static_cast<size_t>(sy + dy) * source.Largeur + sx + dx) * composantes];
                };
                std::uint8_t* d = &r.Pixels[(static_cast<size_t>(y) * r.Largeur + x) * composantes];
                for (int c = 0; c < composantes; ++c)
                {
                    if (deuxX && deuxY)
                        d[c] = static_cast<std::uint8_t>((px(0, 0)[c] + px(1, 0)[c] + px(0, 1)[c] + px(1, 1)[c] + 2) / 4);
                    else if (deuxX)
                        d[c] = static_cast<std::uint8_t>((px(0, 0)[c] + px(1, 0)[c]) / 2);
                    else if (deuxY)
                        d[c] = static_cast<std::uint8_t>((px(0, 0)[c] + px(0, 1)[c]) / 2);
                    else
                        d[c] = px(0, 0)[c];
                }
            }
        return r;
    }

    std::vector<Niveau> Chaine(const std::uint8_t* pixels, int largeur, int hauteur, int composantes)
    {
        std::vector<Niveau> niveaux;
        if (pixels == nullptr || largeur <= 0 || hauteur <= 0 || composantes <= 0)
            return niveaux;
        Niveau base;
        base.Largeur = largeur;
        base.Hauteur = hauteur;
        base.Pixels.assign(pixels, pixels + static_cast<size_t>(largeur) * hauteur * composantes);
        const int l = PuissanceDeuxProche(largeur), h = PuissanceDeuxProche(hauteur);
        niveaux.push_back(l == largeur && h == hauteur ? std::move(base)
                                                       : Redimensionne(base, l, h, composantes));
        while (niveaux.back().Largeur > 1 || niveaux.back().Hauteur > 1)
            niveaux.push_back(Moitie(niveaux.back(), composantes));
        return niveaux;
    }
}
