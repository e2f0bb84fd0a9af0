#include "PersonnagesFigure.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace
{
    const float Pi = 3.14159265f;
    const int Cote = 64;

    Point operator+(Point a, Point b) { return Point{a.x + b.x, a.y + b.y}; }
    Point operator-(Point a, Point b) { return Point{a.x - b.x, a.y - b.y}; }
    Point operator*(Point a, float k) { return Point{a.x * k, a.y * k}; }

    float Longueur(Point a) { return std::sqrt(a.x * a.x + a.y * a.y); }

    Point Normer(Point a)
    {
        const float l = Longueur(a);
        return l > 0 ? a * (1 / l) : Point{0, -1};
    }

    Point Tourner(Point a, float angle)
    {
        const float c = std::cos(angle), s = std::sin(angle);
        return Point{a.x * c - a.y * s, a.x * s + a.y * c};
    }

    Point Entre(Point a, Point b, float t) { return a + (b - a) * t; }

    // An ellipse turned by `angle`, as a polygon fine enough for 64 px.
    void EllipseTournee(ImageRGBA& image, Point centre, float rx, float ry, float angle, const Couleur& c)
    {
        std::vector<Point> sommets;
        for (int k = 0; k < 32; ++k)
        {
            const float t = 2 * Pi * k / 32;
            sommets.push_back(centre + Tourner(Point{rx * std::cos(t), ry * std::sin(t)}, angle));
        }
        Polygone(image, sommets, c);
    }

    // The outline of a piece: its own colour pushed towards the ink.
    Couleur Contour(const Couleur& c, const Couleur& encre)
    {
        return AvecAlpha(Mix(c, encre, 0.78f), 1);
    }

    // Paints one piece on its own layer, then lays it on the picture over a
    // one-pixel ring of `contour` grown from the layer's coverage, so that each
    // piece stands out from what lies behind it.
    template <class Dessin>
    void Piece(ImageRGBA& toile, const Couleur& contour, Dessin dessin)
    {
        ImageRGBA calque(Cote, Cote);
        dessin(calque);
        ImageRGBA bord(Cote, Cote);
        for (int y = 0; y < Cote; ++y)
            for (int x = 0; x < Cote; ++x)
            {
                float a = 0;
                for (int j = -1; j <= 1; ++j)
                    for (int i = -1; i <= 1; ++i)
                    {
                        const int u = x + i, v = y + j;
                        if (u < 0 || v < 0 || u >= Cote || v >= Cote)
                            continue;
                        const float poids = (i != 0 && j != 0) ? 0.6f : 1.0f;
                        a = std::max(a, poids * calque.Pixel(u, v)[3] / 255.0f);
                    }
                if (a > 0)
                    Poser(bord, x, y, AvecAlpha(contour, a));
            }
        Coller(toile, bord, 0, 0);
        Coller(toile, calque, 0, 0);
    }

    struct Repere
    {
        Point Origine, Avant, Haut; // forward and up unit vectors
        Point operator()(float a, float h) const { return Origine + Avant * a + Haut * h; }
    };

    void DessinerCape(ImageRGBA& image, const PoseFigure& p, const PaletteFigure& pal, const Repere& corps)
    {
        const Point attache = p.Cou + corps.Avant * -2.5f + corps.Haut * -1.0f;
        const int n = 12;
        std::vector<Point> axe{attache};
        std::vector<Point> normale;
        Point courant = attache;
        for (int k = 0; k < n; ++k)
        {
            const float v = (k + 0.5f) / n;
            const float angle = p.CapeAngle + p.CapeCourbure * v +
                                p.CapeOnde * v * std::sin(2 * Pi * (1.3f * v - p.CapePhase));
            const Point dir{-std::sin(angle), std::cos(angle)};
            courant = courant + dir * (p.CapeLongueur / n);
            axe.push_back(courant);
            normale.push_back(Point{dir.y, -dir.x}); // towards the body's front when hanging
        }
        normale.insert(normale.begin(), normale.front());
        const float haut = 4.0f, bas = 8.5f * p.CapeEvasement;
        std::vector<Point> avant, arriere;
        for (int k = 0; k <= n; ++k)
        {
            const float v = static_cast<float>(k) / n;
            const float l = haut + (bas - haut) * std::sqrt(v);
            avant.push_back(axe[k] + normale[k] * l);
            arriere.push_back(axe[k] - normale[k] * l);
        }
        const Point dirFin = Normer(axe[n] - axe[n - 1]);
        std::vector<Point> contour(avant.begin(), avant.end());
        // Swallow-tailed hem.
        contour.push_back(axe[n] - dirFin * 3.0f + normale[n] * 1.0f);
        contour.push_back(axe[n] - dirFin * 3.0f - normale[n] * 1.5f);
        for (int k = n; k >= 0; --k)
            contour.push_back(arriere[k]);
        Polygone(image, contour, Nuance(pal.Cape, -0.12f));

        // The lit side of the cloak, and two folds.
        std::vector<Point> clair;
        for (int k = 0; k <= n; ++k)
            clair.push_back(Entre(axe[k], avant[k], 0.1f));
        for (int k = n; k >= 0; --k)
            clair.push_back(Entre(axe[k], arriere[k], 0.55f));
        Polygone(image, clair, pal.Cape);
        const Couleur pli = AvecAlpha(Nuance(pal.Cape, -0.35f), 0.8f);
        for (int c = 0; c < 2; ++c)
        {
            const float cote = c == 0 ? 0.5f : -0.7f;
            const int k0 = n / 3;
            for (int k = k0; k < n; ++k)
            {
                const float l0 = haut + (bas - haut) * std::sqrt(static_cast<float>(k) / n);
                const float l1 = haut + (bas - haut) * std::sqrt(static_cast<float>(k + 1) / n);
                Trait(image, (axe[k] + normale[k] * (cote * l0)).x, (axe[k] + normale[k] * (cote * l0)).y,
                      (axe[k + 1] + normale[k + 1] * (cote * l1)).x, (axe[k + 1] + normale[k + 1] * (cote * l1)).y,
                      1.1f, pli);
            }
        }
    }

    void DessinerJambe(ImageRGBA& image, Point hanche, Point genou, Point cheville, float pied, const PaletteFigure& pal,
                       float ombre)
    {
        const Couleur pantalon = Nuance(pal.Pantalon, ombre);
        const Couleur botte = Nuance(pal.Botte, ombre);
        Trait(image, hanche.x, hanche.y, genou.x, genou.y, 6.0f, pantalon);
        Trait(image, genou.x, genou.y, cheville.x, cheville.y, 5.2f, pantalon);
        const Point haut = Entre(genou, cheville, 0.4f);
        Trait(image, haut.x, haut.y, cheville.x, cheville.y, 4.8f, botte);
        const Point d{std::cos(pied), std::sin(pied)};
        const Point talon = cheville - d * 1.2f, pointe = cheville + d * 4.6f;
        Trait(image, talon.x, talon.y, pointe.x, pointe.y, 4.8f, botte);
        // Turned-down cuff of the boot.
        const Point axe = Normer(cheville - genou);
        const Point travers{-axe.y, axe.x};
        const Point r0 = haut - travers * 3.1f, r1 = haut + travers * 3.1f;
        Trait(image, r0.x, r0.y, r1.x, r1.y, 2.0f, Nuance(botte, 0.18f));
        // A glint on the toe.
        const Point reflet = pointe + Point{-0.8f, -1.0f};
        Disque(image, reflet.x, reflet.y, 0.8f, AvecAlpha(Nuance(botte, 0.35f), 0.9f));
    }

    void DessinerBras(ImageRGBA& image, Point epaule, Point coude, Point main, const PaletteFigure& pal, float ombre)
    {
        const Couleur manche = Nuance(pal.Tunique, ombre);
        const Couleur gant = Nuance(pal.Botte, ombre);
        Trait(image, epaule.x, epaule.y, coude.x, coude.y, 4.8f, manche);
        Trait(image, coude.x, coude.y, main.x, main.y, 4.3f, manche);
        const Point poignet = Entre(coude, main, 0.5f), manchette = Entre(coude, main, 0.8f);
        Trait(image, poignet.x, poignet.y, manchette.x, manchette.y, 4.8f, gant);
        Disque(image, main.x, main.y, 2.3f, Nuance(pal.Peau, ombre * 0.7f));
        // Highlight along the top of the sleeve.
        const Point haut = Normer(coude - epaule);
        const Point cote{haut.y, -haut.x};
        const Point a = epaule + cote * 1.0f + haut * 0.5f, b = coude + cote * 1.0f;
        Trait(image, a.x, a.y, b.x, b.y, 1.2f, AvecAlpha(Nuance(manche, 0.25f), 0.8f));
    }

    void DessinerTronc(ImageRGBA& image, const PaletteFigure& pal, const Repere& r, float lt)
    {
        const std::vector<Point> tunique{r(-5.5f, lt + 0.5f), r(5.0f, lt + 0.5f), r(6.5f, lt - 3), r(6.8f, lt * 0.45f),
                                          r(6.2f, 1.5f),        r(8.0f, -3.8f),     r(4.0f, -4.8f),     r(-4.0f, -4.8f),
                                          r(-8.0f, -3.8f),      r(-6.5f, 1.5f),     r(-6.8f, lt * 0.5f), r(-6.5f, lt - 3)};
        Polygone(image, tunique, pal.Tunique);
        // Shade on the back, light on the chest.
        const std::vector<Point> ombre{r(-5.5f, lt + 0.5f), r(-2.5f, lt + 0.5f), r(-3.0f, 1.0f), r(-4.5f, -4.8f),
                                       r(-8.0f, -3.8f),     r(-6.5f, 1.5f),      r(-6.8f, lt * 0.5f), r(-6.5f, lt - 3)};
        Polygone(image, ombre, Nuance(pal.Tunique, -0.25f));
        const std::vector<Point> lumiere{r(2.5f, lt - 2), r(6.2f, lt - 3.2f), r(6.5f, lt * 0.45f), r(4.5f, lt * 0.4f)};
        Polygone(image, lumiere, AvecAlpha(Nuance(pal.Tunique, 0.22f), 0.9f));
        // Hem of the tunic.
        const Point h0 = r(-7.6f, -3.2f), h1 = r(7.6f, -3.2f);
        Trait(image, h0.x, h0.y, h1.x, h1.y, 1.2f, AvecAlpha(Nuance(pal.Tunique, -0.3f), 0.8f));
        // Belt and buckle.
        const Point c0 = r(-6.8f, 2.3f), c1 = r(6.6f, 2.3f);
        Trait(image, c0.x, c0.y, c1.x, c1.y, 2.8f, pal.Ceinture);
        const Point b = r(4.6f, 2.3f);
        Rectangle(image, b.x - 1.4f, b.y - 1.6f, b.x + 1.4f, b.y + 1.6f, pal.Boucle);
        Rectangle(image, b.x - 0.5f, b.y - 0.7f, b.x + 0.5f, b.y + 0.7f, Nuance(pal.Ceinture, -0.2f));
    }

    void DessinerTete(ImageRGBA& image, const PoseFigure& p, const PaletteFigure& pal, const Repere& corps)
    {
        const float inc = p.InclinaisonTete;
        auto T = [&](float dx, float dy) { return p.Tete + Tourner(Point{dx, dy}, inc); };

        // Mantle of the hood over the shoulders.
        const Point manteau = corps(-0.5f, 1.0f);
        const float angleCorps = std::atan2(corps.Avant.y, corps.Avant.x);
        EllipseTournee(image, manteau, 8.2f, 5.2f, angleCorps, Nuance(pal.Cape, -0.05f));
        EllipseTournee(image, corps(0.5f, 2.2f), 6.0f, 3.0f, angleCorps, pal.Cape);

        // The pointed tip of the hood, flowing back.
        const Point dirPointe = Tourner(Point{-1, 0}, p.PointeAngle + inc);
        const Point base0 = T(-3.0f, -8.8f), base1 = T(-9.0f, 1.5f);
        const Point milieu = T(-8.0f, -5.0f);
        const Point pointe = milieu + dirPointe * p.PointeLongueur;
        const Point cote = Tourner(dirPointe, Pi / 2);
        const Point courbe = Entre(milieu, pointe, 0.55f) + cote * 1.6f;
        const Couleur etoffe = Nuance(pal.Cape, -0.1f);
        Polygone(image,
                 {base0, Entre(base0, pointe, 0.55f) - cote * 0.6f, pointe - cote * 0.9f, pointe + cote * 0.9f, courbe,
                  base1},
                 etoffe);

        // The hood itself.
        Disque(image, p.Tete.x, p.Tete.y, 9.6f, pal.Cape);
        const Point lumiere = T(-2.0f, -4.0f);
        EllipseTournee(image, lumiere, 4.5f, 3.2f, inc - 0.5f, AvecAlpha(Nuance(pal.Cape, 0.22f), 0.85f));
        const Point ombre = T(-4.5f, 5.5f);
        EllipseTournee(image, ombre, 4.5f, 2.6f, inc - 0.5f, AvecAlpha(Nuance(pal.Cape, -0.22f), 0.8f));

        // The opening, its dark lining, the face.
        const Point visage = T(3.6f, 1.6f);
        EllipseTournee(image, visage, 7.0f, 7.3f, inc, pal.Doublure);
        const Point peau = T(4.2f, 2.2f);
        EllipseTournee(image, peau, 5.9f, 6.0f, inc, pal.Peau);
        EllipseTournee(image, T(2.0f, 5.5f), 3.2f, 2.0f, inc, AvecAlpha(Nuance(pal.Peau, -0.12f), 0.5f));
        // Fringe of hair under the hood.
        Polygone(image,
                 {T(-1.5f, -3.8f), T(9.0f, -3.5f), T(9.6f, -0.8f), T(7.6f, -2.0f), T(6.2f, 0.2f), T(4.6f, -1.8f),
                  T(2.8f, 0.4f), T(1.4f, -1.6f), T(-0.6f, 1.6f)},
                 pal.Cheveux);
        // Eyes (closed: two short lids) and a blush.
        const Couleur joue = Rvb(236, 120, 120, 0.55f);
        EllipseTournee(image, T(2.6f, 4.8f), 1.5f, 0.9f, inc, joue);
        EllipseTournee(image, T(9.0f, 4.6f), 1.0f, 0.8f, inc, joue);
        const Point oeil0 = T(3.6f, 2.2f), oeil1 = T(8.1f, 2.0f);
        if (p.YeuxFermes)
        {
            Trait(image, oeil0.x - 1.2f, oeil0.y + 0.6f, oeil0.x + 1.2f, oeil0.y + 0.6f, 1.1f, pal.Encre);
            Trait(image, oeil1.x - 0.9f, oeil1.y + 0.6f, oeil1.x + 0.9f, oeil1.y + 0.6f, 1.1f, pal.Encre);
        }
        else
        {
            EllipseTournee(image, oeil0, 1.1f, 1.75f, inc, pal.Encre);
            EllipseTournee(image, oeil1, 0.85f, 1.6f, inc, pal.Encre);
            const Point g0 = T(3.9f, 1.4f), g1 = T(8.35f, 1.2f);
            Disque(image, g0.x, g0.y, 0.5f, Rvb(255, 255, 255));
            Disque(image, g1.x, g1.y, 0.4f, Rvb(255, 255, 255));
        }
        // Clasp of the cloak under the chin.
        const Point agrafe = corps(4.3f, 1.6f);
        Disque(image, agrafe.x, agrafe.y, 1.7f, pal.Boucle);
        Disque(image, agrafe.x - 0.4f, agrafe.y - 0.5f, 0.6f, Nuance(pal.Boucle, 0.5f));
    }
}

void Membre(Point racine, Point cible, float l1, float l2, float sens, Point& milieu, Point& bout)
{
    const Point v = cible - racine;
    const float base = std::atan2(v.y, v.x);
    const float d = std::clamp(Longueur(v), std::fabs(l1 - l2) + 0.01f, l1 + l2 - 0.01f);
    const float cosA = std::clamp((l1 * l1 + d * d - l2 * l2) / (2 * l1 * d), -1.0f, 1.0f);
    const float a = std::acos(cosA);
    const float angle = base - sens * a;
    milieu = racine + Point{std::cos(angle), std::sin(angle)} * l1;
    bout = milieu + Normer(racine + Point{std::cos(base), std::sin(base)} * d - milieu) * l2;
}

ImageRGBA DessinerFigure(const PoseFigure& p, const PaletteFigure& pal)
{
    ImageRGBA toile(Cote, Cote);
    const Point haut = Normer(p.Cou - p.Hanche);
    const Repere corps{p.Hanche, Point{-haut.y, haut.x}, haut};
    const float lt = Longueur(p.Cou - p.Hanche);
    const Repere cou{p.Cou, corps.Avant, corps.Haut};
    const float sombre = -0.3f;

    Piece(toile, Contour(pal.Cape, pal.Encre), [&](ImageRGBA& c) { DessinerCape(c, p, pal, corps); });
    Piece(toile, Contour(pal.Tunique, pal.Encre),
          [&](ImageRGBA& c) { DessinerBras(c, p.EpauleAr, p.CoudeAr, p.MainAr, pal, sombre); });
    Piece(toile, Contour(pal.Pantalon, pal.Encre),
          [&](ImageRGBA& c) { DessinerJambe(c, p.HancheAr, p.GenouAr, p.ChevilleAr, p.PiedAr, pal, sombre); });
    Piece(toile, Contour(pal.Pantalon, pal.Encre),
          [&](ImageRGBA& c) { DessinerJambe(c, p.HancheAv, p.GenouAv, p.ChevilleAv, p.PiedAv, pal, 0); });
    Piece(toile, Contour(pal.Tunique, pal.Encre), [&](ImageRGBA& c) { DessinerTronc(c, pal, corps, lt); });
    Piece(toile, Contour(pal.Cape, pal.Encre), [&](ImageRGBA& c) { DessinerTete(c, p, pal, cou); });
    Piece(toile, Contour(pal.Tunique, pal.Encre),
          [&](ImageRGBA& c) { DessinerBras(c, p.EpauleAv, p.CoudeAv, p.MainAv, pal, 0); });

    // Crisp silhouette: the faintest edge pixels go, the others firm up, so
    // that the glow drawn around the figure follows a clean outline.
    for (int y = 0; y < Cote; ++y)
        for (int x = 0; x < Cote; ++x)
        {
            uint8_t* px = toile.Pixel(x, y);
            const float a = std::clamp((px[3] / 255.0f - 0.2f) / 0.6f, 0.0f, 1.0f);
            px[3] = static_cast<uint8_t>(std::lround(a * 255));
            if (px[3] == 0)
                px[0] = px[1] = px[2] = 0;
        }
    return toile;
}
