// The bonuses lying on the level, ten frames each (one second of animation):
// a heart for life, a blue crystal for mana, larger and richer for larger
// amounts (25, 50, 75, 100). Each frame is a 64x64 picture on a transparent
// background; the bonus floats over the ground at the bottom of its cell,
// bobbing and glinting in a loop whose tenth frame runs back into the first.
#include "Dessins.h"
#include "TuilesPinceau.h"

#include <cmath>
#include <cstdio>
#include <string>

using namespace Tuiles;

namespace
{
    constexpr int Images = 10;

    // Look of one bonus.
    struct Sorte
    {
        const char* nom;  // file name prefix
        bool vie;         // heart (life) or crystal (mana)
        int rang;         // 0 for 25 .. 3 for 100
    };

    // Where the animation stands at frame i: a phase running once round per loop.
    float Phase(int image)
    {
        return 2 * Pi * static_cast<float>(image) / Images;
    }

    // A four-pointed star: its opacity at (dx, dy) from its centre.
    float Etoile(float dx, float dy, float rayon)
    {
        if (rayon <= 0)
            return 0;
        const float ax = std::fabs(dx) / rayon, ay = std::fabs(dy) / rayon;
        const float bras = std::max(0.0f, 1 - ax - 3.5f * ay) + std::max(0.0f, 1 - ay - 3.5f * ax);
        const float coeur = std::max(0.0f, 1 - std::sqrt(ax * ax + ay * ay) * 2.5f);
        return Borne01(bras * 1.3f + coeur);
    }

    // Soft round glow.
    float Halo(float dx, float dy, float rayon)
    {
        const float t = 1 - std::sqrt(dx * dx + dy * dy) / rayon;
        return t > 0 ? t * t : 0;
    }

    // ---- heart -----------------------------------------------------------------

    // Signed distance to a heart with its tip at the origin, y upwards, about
    // 1.21 wide and 1.1 high (negative inside).
    float DistanceCoeur(float x, float y)
    {
        x = std::fabs(x);
        if (x + y > 1)
            return std::hypot(x - 0.25f, y - 0.75f) - std::sqrt(2.0f) / 4;
        const float m = 0.5f * std::max(x + y, 0.0f);
        const float d = std::min((x * x + (y - 1) * (y - 1)), (x - m) * (x - m) + (y - m) * (y - m));
        return std::sqrt(d) * (x - y > 0 ? 1.0f : -1.0f);
    }

    Couleur Coeur(float x, float y, float cx, float cy, float largeur, int rang, float phase)
    {
        const float unite = largeur / 1.21f;
        const float hx = (x - cx) / unite, hy = -(y - cy) / unite + 0.55f;
        const float d = DistanceCoeur(hx, hy) * unite; // in pixels
        const float bordure = rang >= 2 ? 2.8f : 1.5f;
        if (d > bordure)
            return Transparent();
        if (d > 0)
        {
            // Outline: dark red, or gold for the big ones.
            if (rang < 2)
                return Rvb(112, 12, 24);
            const float t = d / bordure;
            return Mix(Rvb(255, 234, 140), Rvb(170, 104, 24), t * t + 0.25f * (hy < 0.5f ? 1.0f : 0.0f));
        }
        const Couleur clair = Rvb(255, 130, 118), base = Rvb(226, 32, 48), sombre = Rvb(132, 8, 28);
        // Light from the top left: brighter in the upper left lobe, darker towards the rim and the tip.
        const float lx = hx + 0.25f, ly = hy - 0.8f;
        const float l = Borne01(1 - std::sqrt(lx * lx + ly * ly) / 0.9f);
        Couleur c = Mix(base, clair, l * l);
        c = Mix(c, sombre, 0.65f * Transition(-unite * 0.14f, 0, d) + 0.3f * Borne01(0.45f - hy));
        // Gloss on the left lobe, brightening with the pulse, and a glint on the right one.
        const float gx = (hx + 0.26f) / 0.14f, gy = (hy - 0.86f) / 0.08f;
        const float g2 = gx * gx + gy * gy;
        if (g2 < 1)
            c = Mix(c, Rvb(255, 255, 255), (0.6f + 0.2f * std::sin(phase)) * (1 - g2) + 0.2f);
        const float px = (hx - 0.33f) / 0.05f, py = (hy - 0.86f) / 0.05f;
        if (px * px + py * py < 1)
            c = Mix(c, Rvb(255, 240, 236), 0.7f);
        return c;
    }

    // ---- crystal ---------------------------------------------------------------

    // A faceted crystal of half-height `unite` standing at (cx, cy), turned by
    // `angle`; `eclat` places the band of light sweeping across it.
    Couleur Cristal(float x, float y, float cx, float cy, float unite, float angle, float eclat)
    {
        const float ca = std::cos(angle), sa = std::sin(angle);
        const float rx = ((x - cx) * ca + (y - cy) * sa) / unite;
        const float ry = (-(x - cx) * sa + (y - cy) * ca) / unite;
        // Outline: tip at -1, shoulders at +-0.7 (y -0.25), lower shoulders at +-0.58 (y 0.35), tip at 1.
        const float ay = ry;
        float demi;
        if (ay < -1 || ay > 1)
            return Transparent();
        if (ay < -0.25f)
            demi = 0.7f * (ay + 1) / 0.75f;
        else if (ay < 0.35f)
            demi = 0.7f - 0.12f * (ay + 0.25f) / 0.6f;
        else
            demi = 0.58f * (1 - ay) / 0.65f;
        const float dedans = demi - std::fabs(rx); // distance to the side, in crystal units
        if (dedans < 0)
            return Transparent();
        if (dedans < 0.05f)
            return Rvb(18, 40, 110);
        // Facets: a middle column narrowing to the tips, the sides, split at the girdle.
        const float milieu = 0.24f * demi / 0.7f;
        const bool haut = ay < -0.25f + 0.1f * rx;
        Couleur c;
        if (std::fabs(rx) < milieu)
            c = haut ? Rvb(176, 244, 255) : Rvb(90, 190, 246);
        else if (rx < 0)
            c = haut ? Rvb(120, 218, 255) : Rvb(52, 140, 230);
        else
            c = haut ? Rvb(62, 150, 232) : Rvb(30, 82, 190);
        // Thin lighter ridges between the facets.
        if (std::fabs(std::fabs(rx) - milieu) < 0.03f || std::fabs(ay - (-0.25f + 0.1f * rx)) < 0.025f)
            c = Mix(c, Rvb(220, 250, 255), 0.5f);
        // Inner sparkle deep in the stone.
        c = Mix(c, Rvb(230, 252, 255), 0.5f * Halo(rx + 0.12f, ay + 0.35f, 0.35f));
        // The sweeping band of light.
        const float bande = rx * 0.8f + ay * 0.6f - eclat;
        c = Mix(c, Rvb(255, 255, 255), 0.55f * std::exp(-bande * bande / 0.02f));
        return c;
    }

    // ---- a whole frame ---------------------------------------------------------

    Couleur Bonus(float x, float y, const Sorte& sorte, int image)
    {
        const float phase = Phase(image);
        const int rang = sorte.rang;
        const float bond = 2.2f * std::sin(phase);            // bobbing, px
        const float cx = 32, cy = 30 - bond;
        const float largeur = 26 + 8 * rang;                   // width of the main shape
        Couleur c = Transparent();

        // Shadow on the ground, smaller when the bonus is up.
        {
            const float sx = (x - 32) / (largeur * (0.36f - 0.03f * std::sin(phase)));
            const float sy = (y - 60) / 2.6f;
            const float o = 1 - (sx * sx + sy * sy);
            if (o > 0)
                c = Dessus(Couleur{0, 0, 0, 0.28f * std::min(1.0f, o * 2)}, c);
        }
        // Glow behind the big ones, breathing with the loop.
        const Couleur lueur = sorte.vie ? Rvb(255, 150, 70) : Rvb(90, 200, 255);
        const float intensite = (0.05f + 0.11f * rang) * (0.8f + 0.2f * std::sin(phase * 2));
        if (rang > 0)
            c = Dessus(AvecAlpha(lueur, intensite * Halo(x - cx, y - cy, largeur * 0.75f)), c);

        Couleur forme = Transparent();
        if (sorte.vie)
        {
            const float battement = 1 + 0.045f * std::sin(phase * 2) * (rang >= 1 ? 1.0f : 0.6f);
            forme = Coeur(x, y, cx, cy, largeur * battement, rang, phase);
        }
        else
        {
            const float unite = (30 + 8 * rang) / 2.0f;
            const float eclat = -1.6f + 3.2f * static_cast<float>(image) / Images;
            if (rang >= 2)
            {
                // Two smaller crystals leaning out behind the main one.
                const float petit = unite * 0.55f;
                const float bas = cy + unite * 0.55f;
                const Couleur g = Cristal(x, y, cx - unite * 0.55f, bas - petit * 0.6f, petit, -0.45f, eclat - 0.4f);
                const Couleur d = Cristal(x, y, cx + unite * 0.55f, bas - petit * 0.6f, petit, 0.45f, eclat + 0.4f);
                forme = Dessus(d, g);
            }
            forme = Dessus(Cristal(x, y, cx, cy, unite, 0, eclat), forme);
        }
        // Sparkles: one twinkling for 50, circling ones for 75 and 100 (those on
        // the far half of their circle pass behind the bonus).
        const Couleur blanc = sorte.vie ? Rvb(255, 246, 210) : Rvb(230, 250, 255);
        Couleur devant = Transparent(), derriere = Transparent();
        if (rang == 1)
        {
            const float taille = 6.5f * std::max(0.0f, std::sin(phase));
            devant = AvecAlpha(blanc, Etoile(x - cx - largeur * 0.32f, y - cy + largeur * 0.3f, taille));
        }
        else if (rang >= 2)
        {
            const int n = rang == 2 ? 2 : 4;
            for (int k = 0; k < n; ++k)
            {
                const float a = phase + 2 * Pi * k / n;
                const float ex = cx + (largeur * 0.46f + 2) * std::cos(a);
                const float ey = cy + largeur * 0.18f * std::sin(a) - 2;
                const float taille = (4.0f + 1.5f * rang) * (0.75f + 0.25f * std::sin(a * 2));
                const Couleur etoile = AvecAlpha(blanc, Etoile(x - ex, y - ey, taille));
                if (std::sin(a) < 0)
                    derriere = Dessus(etoile, derriere);
                else
                    devant = Dessus(etoile, devant);
            }
        }
        c = Dessus(derriere, c);
        c = Dessus(forme, c);
        c = Dessus(devant, c);
        return c;
    }

    const Sorte Sortes[] = {
        {"vie25", true, 0},    {"vie50", true, 1},    {"vie75", true, 2},    {"vie100", true, 3},
        {"mana25", false, 0},  {"mana50", false, 1},  {"mana75", false, 2},  {"mana100", false, 3},
    };
}

bool DessinerBonus(const std::string& racine)
{
    bool ok = true;
    for (const Sorte& sorte : Sortes)
        for (int image = 0; image < Images; ++image)
        {
            ImageRGBA dessin(64, 64);
            Peindre(dessin, [&](float x, float y) { return Bonus(x, y, sorte, image); });
            char nom[64];
            std::snprintf(nom, sizeof nom, "Images/Bonus/%sp%d.png", sorte.nom, image + 1);
            ok = Ecrire(racine, nom, dessin) && ok;
        }
    return ok;
}
