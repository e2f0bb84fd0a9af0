// The sky behind the level, and the moon that hangs in it.
//
// The backdrop fills the whole 800 x 600 view and does not scroll: a calm dusk,
// deep blue overhead warming to peach at the horizon, a few stars, long thin
// clouds lit from below, and three ranges of hills fading into the haze, the
// nearest with a fringe of fir trees. It stays soft and muted so that the tiles
// and the glowing character read clearly in front of it.
//
// The moon is drawn by the game as a 100 x 100 square at (300, 300), over the
// backdrop and behind the level: a pale full moon in a soft halo, on a
// transparent ground that fades to nothing well before the picture's edges.
//
// Both are rendered at power-of-two sizes, which the graphics card takes as
// they are; the backdrop keeps the view's 4:3 shape in its design and is
// stretched back to it when drawn.
#include "Dessins.h"
#include "Pinceau.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace
{
    constexpr int CoteFond = 1024;
    constexpr int CoteLune = 128;
    constexpr float Pi = 3.14159265358979f;

    float Borne01(float v)
    {
        return std::clamp(v, 0.0f, 1.0f);
    }

    float Transition(float a, float b, float v)
    {
        const float t = Borne01((v - a) / (b - a));
        return t * t * (3 - 2 * t);
    }

    // The sky's colour at a height (0 top of the view, 1 bottom).
    Couleur Ciel(float v)
    {
        struct Arret
        {
            float v;
            Couleur c;
        };
        static const Arret arrets[] = {
            {0.00f, Rvb(16, 22, 58)},   {0.30f, Rvb(42, 56, 118)},  {0.50f, Rvb(96, 92, 156)},
            {0.62f, Rvb(170, 122, 160)}, {0.72f, Rvb(232, 156, 136)}, {0.80f, Rvb(250, 196, 150)},
            {1.00f, Rvb(252, 214, 168)},
        };
        const int n = static_cast<int>(sizeof(arrets) / sizeof(arrets[0]));
        for (int i = 1; i < n; ++i)
            if (v <= arrets[i].v)
                return Mix(arrets[i - 1].c, arrets[i].c, Transition(arrets[i - 1].v, arrets[i].v, v));
        return arrets[n - 1].c;
    }

    // Height of the ridge of a range of hills at a point across the view
    // (0 left, 1 right), as a height of the view.
    struct Chaine
    {
        float Base;      // mean height of the ridge
        float Relief;    // how far the peaks rise above it
        float Frequence; // peaks across the view
        uint32_t Graine;
        bool Pointue;    // sharp mountain peaks rather than round hills
        Couleur Teinte;
        Couleur Brume;   // the haze gathering in its valleys

        float Crete(float u) const
        {
            float n = BruitFractal(u * Frequence, 0.37f, 5, Graine);
            if (Pointue)
                n = 1 - std::fabs(2 * n - 1); // ridged: sharp crests
            // The ranges open into a pass below the moon, which rises over it.
            const float col = 1 - 0.75f * std::exp(-std::pow((u - 0.44f) / 0.09f, 2.0f));
            return Base - Relief * n * col;
        }
    };

    void Superposer(float& r, float& g, float& b, const Couleur& c, float a)
    {
        r += (c.r - r) * a;
        g += (c.g - g) * a;
        b += (c.b - b) * a;
    }

    ImageRGBA DessinerArrierePlan()
    {
        ImageRGBA image(CoteFond, CoteFond);
        const float proportion = 800.0f / 600.0f; // the view's width over its height

        const Chaine chaines[3] = {
            {0.745f, 0.17f, 3.6f, 91, true, Rvb(138, 112, 158), Rvb(226, 170, 160)},
            {0.825f, 0.10f, 5.0f, 57, true, Rvb(86, 72, 120), Rvb(176, 130, 150)},
            {0.900f, 0.06f, 2.6f, 23, false, Rvb(40, 38, 70), Rvb(96, 76, 110)},
        };
        // Ridge heights for every column and a few sub-columns (for antialiasing).
        constexpr int SousColonnes = 4;
        std::vector<float> cretes(static_cast<size_t>(3) * CoteFond * SousColonnes);
        for (int k = 0; k < 3; ++k)
            for (int x = 0; x < CoteFond * SousColonnes; ++x)
                cretes[(static_cast<size_t>(k) * CoteFond * SousColonnes) + x] =
                    chaines[k].Crete((x + 0.5f) / (CoteFond * SousColonnes));

        for (int y = 0; y < CoteFond; ++y)
        {
            const float v = (y + 0.5f) / CoteFond;
            const Couleur ciel = Ciel(v);
            for (int x = 0; x < CoteFond; ++x)
            {
                const float u = (x + 0.5f) / CoteFond;
                float r = ciel.r, g = ciel.g, b = ciel.b;

                // The last of the sunset, low on the right.
                {
                    const float dx = (u - 0.78f) * proportion, dy = (v - 0.74f) * 1.6f;
                    const float lueur = std::exp(-(dx * dx + dy * dy) / 0.05f);
                    Superposer(r, g, b, Rvb(255, 214, 170), 0.45f * lueur);
                }
                // A faint glow where the moon hangs (the view's (350, 350)).
                {
                    const float dx = (u - 0.4375f) * proportion, dy = v - 0.5833f;
                    const float lueur = std::exp(-(dx * dx + dy * dy) / 0.012f);
                    Superposer(r, g, b, Rvb(236, 226, 240), 0.18f * lueur);
                }

                // Long thin clouds, lit from below by the low sun.
                {
                    const float bande = Transition(0.16f, 0.32f, v) * (1 - Transition(0.56f, 0.68f, v));
                    if (bande > 0)
                    {
                        const float n = BruitFractal(u * 5.0f, v * 22.0f, 5, 311);
                        const float densite = Transition(0.52f, 0.74f, n) * bande;
                        if (densite > 0)
                        {
                            const float dessous = Borne01(BruitFractal(u * 5.0f, v * 22.0f + 0.35f, 3, 311) - n + 0.5f);
                            const Couleur nuage = Mix(Rvb(92, 84, 140), Rvb(246, 166, 160), Transition(0.35f, 0.75f, v + dessous * 0.25f));
                            Superposer(r, g, b, nuage, 0.7f * densite);
                        }
                    }
                }

                // Stars, thinning out towards the horizon.
                {
                    const float ciel_noir = 1 - Transition(0.15f, 0.5f, v);
                    if (ciel_noir > 0)
                    {
                        // One chance of a star per cell of 24 x 24 pixels.
                        const int cx = x / 24, cy = y / 24;
                        if (Hasard(cx, cy, 7) < 0.42f)
                        {
                            const float sx = (cx + 0.15f + 0.7f * Hasard(cx, cy, 8)) * 24;
                            const float sy = (cy + 0.15f + 0.7f * Hasard(cx, cy, 9)) * 24;
                            const float eclat = 0.35f + 0.65f * Hasard(cx, cy, 10) * Hasard(cx, cy, 11);
                            const float rayon = 1.1f + 1.4f * eclat;
                            const float dx = x + 0.5f - sx, dy = y + 0.5f - sy;
                            const float d2 = (dx * dx + dy * dy) / (rayon * rayon);
                            const float a = std::exp(-d2 * 2.2f) * eclat * ciel_noir;
                            Superposer(r, g, b, Rvb(255, 250, 236), a);
                        }
                    }
                }

                // The three ranges, farthest first, each in its own haze.
                for (int k = 0; k < 3; ++k)
                {
                    const float* c = &cretes[(static_cast<size_t>(k) * CoteFond * SousColonnes) + static_cast<size_t>(x) * SousColonnes];
                    float couverture = 0;
                    for (int s = 0; s < SousColonnes; ++s)
                        couverture += Borne01((v - c[s]) * CoteFond + 0.5f);
                    couverture /= SousColonnes;
                    if (couverture <= 0)
                        continue;
                    // Haze lying in the valleys, thicker lower down; a rim of
                    // light along the crest.
                    const Chaine& ch = chaines[k];
                    Couleur teinte = Mix(ch.Teinte, ch.Brume, 0.6f * Transition(ch.Base - ch.Relief * 0.5f, ch.Base + 0.08f, v));
                    teinte = Nuance(teinte, 0.10f * (1 - Transition(0.0f, 0.004f, v - c[0])));
                    Superposer(r, g, b, teinte, couverture);
                }

                Poser(image, x, y, Couleur{r, g, b, 1});
            }
        }

        // Fir trees along the nearest range, dark against its haze.
        const Chaine& proche = chaines[2];
        for (int i = 0; i < 150; ++i)
        {
            const float u = Hasard(i, 0, 41);
            if (Hasard(i, 1, 41) < 0.35f)
                continue;
            const float hauteur = (0.035f + 0.045f * Hasard(i, 2, 41)) * CoteFond;
            const float largeur = hauteur * (0.42f + 0.1f * Hasard(i, 3, 41)) / proportion;
            const float pied = proche.Crete(u) * CoteFond + 0.02f * CoteFond;
            const float px = u * CoteFond;
            const Couleur sapin = Mix(Rvb(30, 28, 56), Rvb(44, 40, 74), Hasard(i, 4, 41));
            // Three tiers of branches and a trunk.
            for (int etage = 0; etage < 3; ++etage)
            {
                const float haut = pied - hauteur + etage * hauteur * 0.25f;
                const float bas = pied - hauteur * (0.42f - etage * 0.2f);
                const float demi = largeur * (0.3f + etage * 0.17f);
                Polygone(image, {{px, haut}, {px + demi, bas}, {px - demi, bas}}, sapin);
            }
            Rectangle(image, px - largeur * 0.06f, pied - hauteur * 0.1f, px + largeur * 0.06f, pied + 0.03f * CoteFond, sapin);
        }
        // The ground in front of the trees covers their feet.
        for (int y = 0; y < CoteFond; ++y)
            for (int x = 0; x < CoteFond; ++x)
            {
                const float v = (y + 0.5f) / CoteFond;
                const float crete = proche.Crete((x + 0.5f) / CoteFond) + 0.028f;
                const float couverture = Borne01((v - crete) * CoteFond + 0.5f);
                if (couverture > 0)
                    Melanger(image, x, y, Mix(proche.Teinte, Rvb(24, 22, 44), Transition(0.0f, 0.12f, v - crete)), couverture);
            }
        return image;
    }

    ImageRGBA DessinerLune()
    {
        ImageRGBA image(CoteLune, CoteLune);
        const float c = CoteLune / 2.0f;
        const float rayon = CoteLune * 0.27f;
        const float bord = CoteLune * 0.49f; // the halo is gone before this distance
        for (int y = 0; y < CoteLune; ++y)
            for (int x = 0; x < CoteLune; ++x)
            {
                // 4 x 4 samples for the disc's edge, one for the rest.
                float disque = 0;
                for (int j = 0; j < 4; ++j)
                    for (int i = 0; i < 4; ++i)
                    {
                        const float dx = x + (i + 0.5f) / 4 - c, dy = y + (j + 0.5f) / 4 - c;
                        if (dx * dx + dy * dy <= rayon * rayon)
                            disque += 1.0f / 16;
                    }
                const float dx = x + 0.5f - c, dy = y + 0.5f - c;
                const float d = std::sqrt(dx * dx + dy * dy);

                // The halo: a soft glow fading out well inside the picture.
                const float halo = (0.55f * std::exp(-std::pow((d - rayon) / (CoteLune * 0.09f), 2.0f)) +
                                    0.25f * std::exp(-std::pow((d - rayon) / (CoteLune * 0.2f), 2.0f))) *
                                   (1 - Transition(bord * 0.8f, bord, d));
                const Couleur couleurHalo = Rvb(246, 236, 250);

                // The face: pale cream, darker seas, a few craters, the limb
                // slightly darker and warm towards the horizon below.
                Couleur face = Rvb(252, 248, 232);
                if (disque > 0)
                {
                    const float nx = dx / rayon, ny = dy / rayon;
                    const float mer = Transition(0.5f, 0.7f, BruitFractal(nx * 2.2f + 5, ny * 2.2f + 5, 4, 1234));
                    face = Mix(face, Rvb(206, 204, 206), 0.75f * mer);
                    static const float crateres[5][3] = {
                        {-0.35f, 0.45f, 0.13f}, {0.42f, -0.3f, 0.09f}, {0.15f, 0.62f, 0.07f},
                        {-0.55f, -0.2f, 0.08f}, {0.5f, 0.35f, 0.06f}};
                    for (const auto& k : crateres)
                    {
                        const float e = std::sqrt((nx - k[0]) * (nx - k[0]) + (ny - k[1]) * (ny - k[1])) / k[2];
                        if (e < 1.25f)
                        {
                            face = Mix(face, Rvb(204, 200, 200), 0.35f * (1 - Transition(0.5f, 1.0f, e)));
                            face = Mix(face, Rvb(255, 254, 248), 0.5f * Transition(0.85f, 1.0f, e) * (1 - Transition(1.0f, 1.25f, e)));
                        }
                    }
                    const float limbe = std::min(1.0f, nx * nx + ny * ny);
                    face = Nuance(face, -0.12f * limbe * limbe);
                    face = Mix(face, Rvb(255, 222, 190), 0.18f * Borne01(ny));
                }

                // Halo under the face, the face on top.
                const float ah = Borne01(halo), af = disque;
                const float a = af + ah * (1 - af);
                uint8_t* p = image.Pixel(x, y);
                if (a <= 0)
                {
                    p[0] = 246;
                    p[1] = 236;
                    p[2] = 250;
                    p[3] = 0;
                    continue;
                }
                const float r = (face.r * af + couleurHalo.r * ah * (1 - af)) / a;
                const float g = (face.g * af + couleurHalo.g * ah * (1 - af)) / a;
                const float b = (face.b * af + couleurHalo.b * ah * (1 - af)) / a;
                Poser(image, x, y, Couleur{r, g, b, a});
            }
        return image;
    }
}

bool DessinerFonds(const std::string& racine)
{
    bool ok = true;
    ok = Ecrire(racine, "Images/ArrierePlanMenu.png", DessinerArrierePlan()) && ok;
    ok = Ecrire(racine, "Images/MotifAP.png", DessinerLune()) && ok;
    return ok;
}
