// The game's icon for desktops: the adventurer standing on a grassy hill under
// a dusk sky, framed in a rounded square. Drawn after the character frames,
// which it reuses so that the icon shows the very figure the player steers.
#include "Dessins.h"
#include "Pinceau.h"

#include <cmath>
#include <filesystem>

namespace
{
    ImageRGBA Icone256(const std::string& racine)
    {
        const int n = 256;
        ImageRGBA fond(n, n);
        DegradeVertical(fond, 0, n - 1, Rvb(38, 44, 92), Rvb(236, 150, 110));
        // A few stars high up.
        for (int i = 0; i < 18; ++i)
        {
            const float x = 12 + Hasard(i, 1, 7) * (n - 24);
            const float y = 10 + Hasard(i, 2, 7) * 90;
            Disque(fond, x, y, 0.8f + Hasard(i, 3, 7) * 1.2f, Rvb(255, 244, 220, 0.8f));
        }
        // The moon and its glow.
        for (int r = 46; r > 22; r -= 3)
            Disque(fond, 186, 70, static_cast<float>(r), Rvb(255, 236, 200, 0.05f));
        Disque(fond, 186, 70, 22, Rvb(255, 246, 222));
        // Distant hills, then the near grassy hill.
        std::vector<Point> loin = {{0, 190}};
        std::vector<Point> pres = {{0, 214}};
        for (int x = 0; x <= n; x += 8)
        {
            loin.push_back({static_cast<float>(x), 170 + 14 * std::sin(x * 0.035f + 1.0f)});
            pres.push_back({static_cast<float>(x), 200 - 26 * std::exp(-std::pow((x - 118) / 70.0f, 2.0f))});
        }
        loin.push_back({static_cast<float>(n), static_cast<float>(n)});
        loin.push_back({0, static_cast<float>(n)});
        pres.push_back({static_cast<float>(n), static_cast<float>(n)});
        pres.push_back({0, static_cast<float>(n)});
        Polygone(fond, loin, Rvb(92, 70, 120));
        Polygone(fond, pres, Rvb(66, 138, 62));
        for (auto& p : pres)
            p.y += 10;
        Polygone(fond, pres, Rvb(104, 72, 44));

        // The adventurer, scaled up from the idle frame, standing on the hilltop.
        ImageRGBA perso;
        const std::string image = racine + "/Images/Personnages/Principal (copie)/immobile1.png";
        if (LirePng(image, perso) && perso.Largeur > 0)
        {
            ImageRGBA grand(perso.Largeur * 2, perso.Hauteur * 2);
            for (int y = 0; y < grand.Hauteur; ++y)
                for (int x = 0; x < grand.Largeur; ++x)
                {
                    const uint8_t* p = perso.Pixel(x / 2, y / 2);
                    uint8_t* q = grand.Pixel(x, y);
                    q[0] = p[0];
                    q[1] = p[1];
                    q[2] = p[2];
                    q[3] = p[3];
                }
            Coller(fond, grand, 118 - grand.Largeur / 2, 178 - grand.Hauteur + 4);
        }

        // Rounded square mask with a soft border.
        ImageRGBA icone(n, n);
        const float rayon = 44, marge = 6;
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x)
            {
                const float cx = std::fmin(std::fmax(x + 0.5f, marge + rayon), n - marge - rayon);
                const float cy = std::fmin(std::fmax(y + 0.5f, marge + rayon), n - marge - rayon);
                const float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy);
                const float couverture = std::fmin(1.0f, std::fmax(0.0f, rayon + 0.5f - d));
                if (couverture <= 0)
                    continue;
                const uint8_t* p = fond.Pixel(x, y);
                Couleur c = Rvb(p[0], p[1], p[2]);
                if (d > rayon - 5)
                    c = Mix(c, Rvb(250, 226, 170), 0.85f); // golden rim
                Melanger(icone, x, y, c, couverture);
            }
        return icone;
    }
}

bool DessinerIcone(const std::string& racine)
{
    const ImageRGBA grande = Icone256(racine);
    bool ok = true;
    for (int taille : {32, 64, 128, 256})
    {
        const ImageRGBA image = taille == 256 ? grande : Redimensionner(grande, taille, taille);
        ok = Ecrire(racine, "Icones/corvella-" + std::to_string(taille) + ".png", image) && ok;
    }
    return ok;
}
