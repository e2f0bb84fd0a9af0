// The head-up display: the life and mana bars and the frame laid over them.
//
// The game draws each bar at (8, 8) or (8, 30), 13 pixels high and as wide as
// the value (0 to 200), stretching the whole picture, so the bars are uniform
// from left to right: a glossy tube seen from the side. The frame, drawn at
// (0, 0) over 300 x 50 pixels, is a slate panel with a gilded rim, docked in the
// corner of the screen; it leaves clear windows exactly over the bars and
// carries two dark plates where the numbers are written in green.
//
// The frame is designed in screen pixels (300 x 50) and rendered into a
// 512 x 64 picture: power-of-two sides reach the graphics card as they are,
// without the rescaling that would otherwise blur the window edges.
#include "Dessins.h"
#include "Pinceau.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace
{
    constexpr int LargeurCadre = 512, HauteurCadre = 64;
    constexpr float LargeurEcran = 300.0f, HauteurEcran = 50.0f;
    constexpr int LargeurBarre = 256, HauteurBarre = 16;

    // A shape in screen pixels: true inside.
    using Forme = std::function<bool(float, float)>;
    // The colour of a shape at a point of the screen.
    using Teinte = std::function<Couleur(float, float)>;

    // Calls faire(x, y, n) for every pixel of the frame picture near the
    // screen rectangle (x0, y0)-(x1, y1), n being how many of its 4 x 4 samples
    // the shape covers.
    template <class Faire>
    void ParPixel(ImageRGBA& image, const Forme& forme, float x0, float y0, float x1, float y1, Faire faire)
    {
        const float ex = LargeurCadre / LargeurEcran, ey = HauteurCadre / HauteurEcran;
        const int xa = std::max(0, static_cast<int>(std::floor(x0 * ex)) - 1);
        const int xb = std::min(image.Largeur - 1, static_cast<int>(std::ceil(x1 * ex)) + 1);
        const int ya = std::max(0, static_cast<int>(std::floor(y0 * ey)) - 1);
        const int yb = std::min(image.Hauteur - 1, static_cast<int>(std::ceil(y1 * ey)) + 1);
        for (int y = ya; y <= yb; ++y)
            for (int x = xa; x <= xb; ++x)
            {
                int n = 0;
                for (int j = 0; j < 4; ++j)
                    for (int i = 0; i < 4; ++i)
                        if (forme((x + (i + 0.5f) / 4) / ex, (y + (j + 0.5f) / 4) / ey))
                            ++n;
                faire(x, y, n);
            }
    }

    // Paints a shape of the screen design into the frame picture, blending it
    // over what is there.
    void Peindre(ImageRGBA& image, const Forme& forme, const Teinte& teinte, float x0, float y0, float x1, float y1)
    {
        const float ex = LargeurCadre / LargeurEcran, ey = HauteurCadre / HauteurEcran;
        ParPixel(image, forme, x0, y0, x1, y1, [&](int x, int y, int n) {
            if (n > 0)
                Melanger(image, x, y, teinte((x + 0.5f) / ex, (y + 0.5f) / ey), n / 16.0f);
        });
    }

    // Cuts a shape out of the picture: its pixels lose their alpha by their
    // coverage (a window through the frame).
    void Evider(ImageRGBA& image, const Forme& forme, float x0, float y0, float x1, float y1)
    {
        ParPixel(image, forme, x0, y0, x1, y1, [&](int x, int y, int n) {
            uint8_t* p = image.Pixel(x, y);
            p[3] = static_cast<uint8_t>(std::lround(p[3] * (1 - n / 16.0f)));
        });
    }

    // Signed distance to a rounded rectangle (negative inside).
    float DistanceBoite(float x, float y, float x0, float y0, float x1, float y1, float rayon)
    {
        const float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
        const float hx = (x1 - x0) / 2 - rayon, hy = (y1 - y0) / 2 - rayon;
        const float qx = std::fabs(x - cx) - hx, qy = std::fabs(y - cy) - hy;
        const float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
        return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - rayon;
    }

    Forme Boite(float x0, float y0, float x1, float y1, float rayon)
    {
        return [=](float x, float y) { return DistanceBoite(x, y, x0, y0, x1, y1, rayon) <= 0; };
    }

    // The band between two offsets of a rounded rectangle's outline.
    Forme Bordure(float x0, float y0, float x1, float y1, float rayon, float dedans, float dehors)
    {
        return [=](float x, float y) {
            const float d = DistanceBoite(x, y, x0, y0, x1, y1, rayon);
            return d <= dehors && d > -dedans;
        };
    }

    bool DansTriangle(float x, float y, float ax, float ay, float bx, float by, float cx, float cy)
    {
        const float d1 = (x - bx) * (ay - by) - (ax - bx) * (y - by);
        const float d2 = (x - cx) * (by - cy) - (bx - cx) * (y - cy);
        const float d3 = (x - ax) * (cy - ay) - (cx - ax) * (y - ay);
        const bool negatif = d1 < 0 || d2 < 0 || d3 < 0, positif = d1 > 0 || d2 > 0 || d3 > 0;
        return !(negatif && positif);
    }

    bool DansDisque(float x, float y, float cx, float cy, float r)
    {
        return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
    }

    // Gilded metal: bright at the top of a piece, deep bronze at its bottom.
    Teinte Dorure(float haut, float bas)
    {
        return [=](float, float y) {
            const float t = std::clamp((y - haut) / std::max(0.001f, bas - haut), 0.0f, 1.0f);
            if (t < 0.35f)
                return Mix(Rvb(255, 232, 160), Rvb(222, 176, 86), t / 0.35f);
            return Mix(Rvb(222, 176, 86), Rvb(126, 82, 34), (t - 0.35f) / 0.65f);
        };
    }

    Teinte Unie(const Couleur& c)
    {
        return [=](float, float) { return c; };
    }

    // Where the bars show through: x 8..208, y 8..21 and y 30..43.
    struct Fenetre
    {
        float Haut;
    };
    constexpr float GaucheFenetre = 8, DroiteFenetre = 208, HauteurFenetre = 13;
    constexpr Fenetre Fenetres[2] = {{8}, {30}};
    // The plates under the numbers (written from x 220, 12 px glyphs, 4 at most).
    constexpr float GauchePlaque = 214, DroitePlaque = 293;
    constexpr float HautsPlaques[2] = {5, 28};
    constexpr float HauteurPlaque = 17;

    ImageRGBA DessinerCadre()
    {
        ImageRGBA image(LargeurCadre, HauteurCadre);
        // The panel runs off the top and left edges of the screen: only its
        // lower right corner is rounded.
        const float px0 = -20, py0 = -20, px1 = 298, py1 = 48.5f, rayon = 10;

        // A soft shadow on the scene below and right of the panel.
        for (float e : {0.7f, 1.4f})
            Peindre(image, Boite(px0, py0, px1 + e, py1 + e, rayon + e), Unie(Rvb(0, 0, 0, 0.2f)), 0, 0, 300, 50);

        // The slate body: a cool gradient with a faint grain of stone.
        Peindre(image, Boite(px0, py0, px1, py1, rayon),
                [](float x, float y) {
                    const float t = std::clamp(y / 48.0f, 0.0f, 1.0f);
                    const Couleur base = Mix(Rvb(64, 70, 98), Rvb(30, 32, 50), t);
                    const float grain = BruitFractal(x / 6.0f, y / 3.0f, 3, 4711) - 0.5f;
                    return Nuance(base, grain * 0.18f);
                },
                0, 0, 300, 50);

        // The gilded rim along the visible edges, with a thin dark line outside.
        Peindre(image, Bordure(px0, py0, px1, py1, rayon, 0.5f, 0.0f), Unie(Rvb(24, 16, 8)), 0, 0, 300, 50);
        Peindre(image, Bordure(px0, py0, px1, py1, rayon, 2.5f, -0.5f), Dorure(30, 48), 0, 0, 300, 50);
        Peindre(image, Bordure(px0, py0, px1, py1, rayon, 3.1f, -2.5f), Unie(Rvb(16, 14, 22, 0.8f)), 0, 0, 300, 50);

        // A filigree between the two windows: a fine gold line with a diamond.
        Peindre(image,
                [](float x, float y) {
                    if (std::fabs(y - 25.5f) <= 0.45f && x >= 14 && x <= 202)
                        return true;
                    return std::fabs(x - 108) / 5.0f + std::fabs(y - 25.5f) / 2.2f <= 1;
                },
                Dorure(23, 28), 8, 22, 210, 29);
        for (float x : {14.0f, 202.0f})
            Peindre(image, [x](float px, float py) { return DansDisque(px, py, x, 25.5f, 1.2f); },
                    Dorure(24, 27), x - 2, 23, x + 2, 28);

        for (const Fenetre& f : Fenetres)
        {
            const float haut = f.Haut, bas = f.Haut + HauteurFenetre;
            // A sunken gilded bezel: dark above (in shadow), lit below.
            Peindre(image, Bordure(GaucheFenetre, haut, DroiteFenetre, bas, 2.5f, 0.0f, 2.2f),
                    [haut, bas](float, float y) {
                        const float t = std::clamp((y - (haut - 2)) / (bas - haut + 4), 0.0f, 1.0f);
                        return Mix(Rvb(120, 78, 30), Rvb(250, 220, 150), t);
                    },
                    GaucheFenetre - 3, haut - 3, DroiteFenetre + 3, bas + 3);
            Peindre(image, Bordure(GaucheFenetre, haut, DroiteFenetre, bas, 2.5f, -2.2f, 2.9f),
                    Unie(Rvb(16, 14, 22, 0.85f)), GaucheFenetre - 4, haut - 4, DroiteFenetre + 4, bas + 4);
            // The window itself: nothing left, the bar shows as it is.
            Evider(image, Boite(GaucheFenetre, haut, DroiteFenetre, bas, 2.5f), GaucheFenetre, haut, DroiteFenetre, bas);
        }

        for (int i = 0; i < 2; ++i)
        {
            const float haut = HautsPlaques[i], bas = haut + HauteurPlaque;
            // A dark, slightly sunken plate with a gold thread around it.
            Peindre(image, Boite(GauchePlaque - 1.2f, haut - 1.2f, DroitePlaque + 1.2f, bas + 1.2f, 4.2f),
                    Dorure(haut - 1, bas + 1), GauchePlaque - 2, haut - 2, DroitePlaque + 2, bas + 2);
            Peindre(image, Boite(GauchePlaque, haut, DroitePlaque, bas, 3.2f),
                    [haut](float, float y) {
                        const float t = std::clamp((y - haut) / 3.0f, 0.0f, 1.0f);
                        return Mix(Rvb(4, 5, 8), Rvb(14, 16, 24), t);
                    },
                    GauchePlaque, haut, DroitePlaque, bas);
        }

        // A heart beside the life number, a drop beside the mana number.
        const float cx = 283.5f;
        const float cyVie = HautsPlaques[0] + 8.8f;
        Peindre(image,
                [cx, cyVie](float x, float y) {
                    return DansDisque(x, y, cx - 2.5f, cyVie - 1.8f, 2.9f) || DansDisque(x, y, cx + 2.5f, cyVie - 1.8f, 2.9f) ||
                           DansTriangle(x, y, cx - 5.2f, cyVie - 0.9f, cx + 5.2f, cyVie - 0.9f, cx, cyVie + 5.2f);
                },
                [cyVie](float x, float y) {
                    Couleur c = Mix(Rvb(255, 90, 90), Rvb(150, 10, 24), std::clamp((y - cyVie + 4.7f) / 9.9f, 0.0f, 1.0f));
                    if (DansDisque(x, y, 280.6f, cyVie - 2.6f, 1.1f))
                        c = Rvb(255, 220, 220);
                    return c;
                },
                cx - 6, cyVie - 6, cx + 6, cyVie + 6);
        const float cyMana = HautsPlaques[1] + 9.6f;
        Peindre(image,
                [cx, cyMana](float x, float y) {
                    return DansDisque(x, y, cx, cyMana + 1.4f, 3.7f) ||
                           DansTriangle(x, y, cx - 3.45f, cyMana, cx + 3.45f, cyMana, cx, cyMana - 6.4f);
                },
                [cx, cyMana](float x, float y) {
                    Couleur c = Mix(Rvb(150, 215, 255), Rvb(20, 70, 190), std::clamp((y - cyMana + 6.4f) / 11.5f, 0.0f, 1.0f));
                    if (DansDisque(x, y, cx - 1.5f, cyMana + 0.6f, 0.9f))
                        c = Rvb(235, 248, 255);
                    return c;
                },
                cx - 5, cyMana - 7, cx + 5, cyMana + 6);
        return image;
    }

    // A bar: the same column of colours repeated across, so that it looks the
    // same however much the game stretches or squeezes it.
    ImageRGBA DessinerBarre(const Couleur& clair, const Couleur& franc, const Couleur& sombre)
    {
        ImageRGBA image(LargeurBarre, HauteurBarre);
        for (int y = 0; y < HauteurBarre; ++y)
        {
            const float t = (y + 0.5f) / HauteurBarre;
            // Lit from above: a soft highlight a quarter of the way down,
            // the full colour in the middle, shade towards the bottom.
            Couleur c;
            if (t < 0.25f)
                c = Mix(Mix(franc, clair, 0.6f), clair, t / 0.25f);
            else if (t < 0.55f)
                c = Mix(clair, franc, (t - 0.25f) / 0.3f);
            else
                c = Mix(franc, sombre, (t - 0.55f) / 0.45f);
            for (int x = 0; x < LargeurBarre; ++x)
                Poser(image, x, y, c);
        }
        return image;
    }
}

bool DessinerInterface(const std::string& racine)
{
    bool ok = true;
    ok = Ecrire(racine, "Images/Interface/barrevie.png",
                DessinerBarre(Rvb(255, 150, 130), Rvb(222, 34, 34), Rvb(110, 8, 18))) && ok;
    ok = Ecrire(racine, "Images/Interface/barremana.png",
                DessinerBarre(Rvb(160, 220, 255), Rvb(34, 110, 235), Rvb(12, 30, 112))) && ok;
    ok = Ecrire(racine, "Images/Interface/interface.png", DessinerCadre()) && ok;
    return ok;
}
