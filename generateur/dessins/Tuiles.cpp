// The 32 tiles of the level, 64x64 each.
//
// Every material (earth, turf, masonry, water, sand) is a function of the
// position inside the tile built from noise that repeats every 64 pixels, so the
// same material continues across the boundary of any two tiles. The turf is
// always the same band below the ground line (EpaisseurHerbe pixels measured
// vertically, blades on top), whether the ground is flat or a slope, so flat
// grass, slopes, slope starts and edges line up.
//
// How the pieces go together (left to right, top to bottom):
//   a grass plateau          vBBBBV      a sand plateau     eaaaaE
//                            tbbbbT                         iAAAAI
//   a hill (s, S on top,     ..sS..      a pool             BBCCCBB
//   d under each s or p,     .pdDP.                         bbbbbbb
//   D under each S or P)     BdbbDB
//   the walls of a room: m on the left (face on its right), M on the right
//   (face on its left), x / X where a wall meets the earth above it, r / R where
//   it stands on earth, h / H where it meets an earth floor, o / O a grass floor
//   and w / W a pool; "Mm" makes a pillar.
#include "Dessins.h"
#include "TuilesPinceau.h"

#include <cmath>
#include <string>
#include <vector>

using namespace Tuiles;

namespace
{
    constexpr float Cote = 64;
    constexpr float EpaisseurHerbe = 14; // turf thickness below the ground line
    constexpr float Frange = 5;          // depth of the blade tips

    // ---- palettes ------------------------------------------------------------

    const Couleur TerreSombre = Rvb(78, 50, 33);
    const Couleur TerreClaire = Rvb(158, 110, 68);
    const Couleur CaillouSombre = Rvb(112, 100, 90);
    const Couleur CaillouClair = Rvb(176, 160, 138);
    const Couleur Racine = Rvb(62, 40, 26);

    const Couleur HerbeClaire = Rvb(168, 222, 86);
    const Couleur HerbeMoyenne = Rvb(92, 170, 52);
    const Couleur HerbeSombre = Rvb(46, 112, 42);

    const Couleur PierreBase = Rvb(138, 136, 140);
    const Couleur PierreChaude = Rvb(150, 132, 112);
    const Couleur Mortier = Rvb(74, 68, 64);
    const Couleur Mousse = Rvb(86, 132, 58);

    const Couleur EauHaut = Rvb(64, 164, 214);
    const Couleur EauFond = Rvb(20, 62, 132);
    const Couleur EauReflet = Rvb(170, 226, 250);
    const Couleur Ecume = Rvb(232, 248, 255);

    const Couleur SableSombre = Rvb(196, 158, 98);
    const Couleur SableClair = Rvb(236, 208, 146);
    const Couleur SableCrete = Rvb(252, 236, 188);

    // Pixel index of a sample, wrapped onto the tile (for per-pixel grain).
    int Case(float v)
    {
        return ModuloEntier(static_cast<int>(std::floor(v)), 64);
    }

    // ---- earth -----------------------------------------------------------------

    // Pebbles scattered one per `cellule`-pixel cell at most, drawn over `fond`.
    Couleur Cailloux(const Couleur& fond, float x, float y, uint32_t graine, float proportion, int cellule,
                     float taille, const Couleur& sombre, const Couleur& clair)
    {
        const int n = 64 / cellule;
        const int cx = static_cast<int>(std::floor(x / cellule)), cy = static_cast<int>(std::floor(y / cellule));
        Couleur c = fond;
        for (int j = cy - 1; j <= cy + 1; ++j)
            for (int i = cx - 1; i <= cx + 1; ++i)
            {
                const int wi = ModuloEntier(i, n), wj = ModuloEntier(j, n);
                if (Hasard(wi, wj, graine) > proportion)
                    continue;
                const float marge = cellule * 0.15f;
                const float px = i * cellule + marge + (cellule - 2 * marge) * Hasard(wi, wj, graine + 1);
                const float py = j * cellule + marge + (cellule - 2 * marge) * Hasard(wi, wj, graine + 2);
                const float h = Hasard(wi, wj, graine + 3);
                const float rx = taille * (0.45f + 0.9f * h * h);
                const float ry = rx * (0.55f + 0.3f * Hasard(wi, wj, graine + 4));
                const float dx = (x - px) / rx, dy = (y - py) / ry;
                const float d2 = dx * dx + dy * dy;
                if (d2 <= 1)
                {
                    const Couleur base = Mix(sombre, clair, Hasard(wi, wj, graine + 5));
                    const float lumiere = 1.0f + 0.28f * (-dx - dy) - (d2 > 0.72f ? 0.22f : 0.0f);
                    return Eclairer(base, lumiere);
                }
                // The pebble's shadow, below and to the right.
                const float ox = (x - px - 0.9f) / rx, oy = (y - py - 0.9f) / ry;
                if (ox * ox + oy * oy <= 1.1f)
                    c = Eclairer(c, 0.8f);
            }
        return c;
    }

    Couleur Terre(float x, float y)
    {
        const float large = BruitFractal(x / 32, y / 32, 2, 105, 2);
        const float grand = BruitFractal(x / 16, y / 16, 3, 101, 4);
        const float fin = Bruit(x / 4, y / 4, 102, 16);
        const float strate = 0.5f + 0.5f * std::sin(2 * Pi * (y + 12 * grand) / 32);
        const float t = 0.2f + 0.22f * large + 0.34f * grand + 0.2f * (fin - 0.5f) - 0.06f * strate;
        Couleur c = Mix(TerreSombre, TerreClaire, Borne01(t));
        const float grain = Hasard(Case(x), Case(y), 103);
        if (grain > 0.92f)
            c = Eclairer(c, 0.8f);
        else if (grain < 0.05f)
            c = Eclairer(c, 1.14f);
        // Dark clods, small grit, then the pebbles.
        c = Cailloux(c, x, y, 106, 0.35f, 8, 1.8f, Rvb(66, 42, 28), Rvb(96, 64, 42));
        return Cailloux(c, x, y, 107, 0.3f, 8, 1.7f, Rvb(116, 92, 72), Rvb(164, 140, 114));
    }

    // ---- turf ------------------------------------------------------------------

    // Depth below the ground line from which the turf is solid at abscissa x: 0 at
    // the tip of a blade, deeper between blades.
    float PointeBrins(float x)
    {
        float m = Frange + 2;
        for (int rang = 0; rang < 2; ++rang)
        {
            const float decalage = rang * 2.0f;
            const int k0 = static_cast<int>(std::floor((x - decalage) / 4));
            for (int k = k0 - 1; k <= k0 + 1; ++k)
            {
                const int wk = ModuloEntier(k, 16);
                const float xk = decalage + k * 4 + 2 + 1.6f * (Hasard(wk, rang, 201) - 0.5f);
                const float pointe = (rang == 0 ? 0.0f : 1.4f) + 2.2f * Hasard(wk, rang, 202);
                const float pente = 1.5f + 1.1f * Hasard(wk, rang, 203);
                m = std::min(m, pointe + pente * std::fabs(x - xk));
            }
        }
        return std::min(m, Frange);
    }

    // Depth of the bottom of the turf at abscissa x (a ragged line with drips).
    float FondHerbe(float x)
    {
        const float ondule = BruitFractal(x / 8, 3.5f, 2, 212, 8);
        const float goutte = Bruit(x / 2, 0.5f, 213, 32);
        return EpaisseurHerbe + 4.0f * (ondule - 0.5f) + (goutte > 0.7f ? (goutte - 0.7f) * 16 : 0.0f);
    }

    Couleur CouleurHerbe(float x, float d)
    {
        const float strie = Bruit(x / 2, d / 5, 211, 32);
        const float t = Borne01(d / EpaisseurHerbe);
        Couleur c = t < 0.35f ? Mix(HerbeClaire, HerbeMoyenne, t / 0.35f)
                              : Mix(HerbeMoyenne, HerbeSombre, (t - 0.35f) / 0.65f);
        c = Eclairer(c, 0.86f + 0.28f * strie);
        // A lighter fleck here and there.
        if (Hasard(Case(x), static_cast<int>(std::floor(d)), 214) > 0.95f)
            c = Mix(c, HerbeClaire, 0.6f);
        return c;
    }

    // Ground whose line is at height h (in pixels from the top of the tile) at
    // this abscissa: transparent above, turf, then earth.
    Couleur Sol(float x, float y, float h)
    {
        const float d = y - h;
        if (d < 0)
            return Transparent();
        const float fond = FondHerbe(x);
        if (d < fond)
        {
            if (d < PointeBrins(x))
                return Transparent();
            return CouleurHerbe(x, d);
        }
        const float ombre = Transition(fond + 4, fond, d);
        return Eclairer(Terre(x, y), 1 - 0.38f * ombre);
    }

    // ---- masonry ---------------------------------------------------------------

    // Stone blocks in courses 32 pixels high, with mortar, bevels and some moss.
    Couleur Pierre(float x, float y)
    {
        const float xm = Modulo(x, Cote), ym = Modulo(y, Cote);
        const int assise = ym < 32 ? 0 : 1;
        const float yl = ym - assise * 32;
        const float a = assise == 0 ? 6.0f : 22.0f, b = a + 32;
        int bloc;
        float u;
        if (xm >= a && xm < b)
        {
            bloc = 0;
            u = xm - a;
        }
        else
        {
            bloc = 1;
            u = (xm < a ? xm + Cote : xm) - b;
        }
        const float largeur = 32;
        const float dg = u, dd = largeur - u, dh = yl, db = 32 - yl;

        const float bord = BruitFractal(x / 4, y / 4, 2, 404, 16);
        const float joint = 1.0f + 0.7f * bord;
        // Rounded corners of the blocks.
        const float rayon = 3.5f;
        const float cx = std::min(dg, dd), cy = std::min(dh, db);
        bool mortier = std::min(cx, cy) < joint;
        if (!mortier && cx < rayon + joint && cy < rayon + joint)
        {
            const float ex = rayon + joint - cx, ey = rayon + joint - cy;
            mortier = ex * ex + ey * ey > rayon * rayon;
        }
        if (mortier)
        {
            const float g = Hasard(Case(x), Case(y), 405);
            return Eclairer(Mortier, 0.85f + 0.3f * g);
        }

        const int id = assise * 2 + bloc;
        Couleur c = Mix(PierreBase, PierreChaude, 0.15f + 0.6f * Hasard(id, 1, 401));
        c = Eclairer(c, 0.88f + 0.2f * Hasard(id, 2, 401));
        const float tex = BruitFractal(x / 8, y / 8, 3, 402, 8);
        c = Eclairer(c, 0.84f + 0.32f * tex);
        const float grain = Hasard(Case(x), Case(y), 406);
        if (grain > 0.9f)
            c = Eclairer(c, 0.86f);
        else if (grain < 0.06f)
            c = Eclairer(c, 1.1f);
        // Light from the top left: lit upper and left edges, shaded lower and right ones.
        const float biseau = 4;
        float lumiere = 1;
        if (dh < biseau + joint)
            lumiere += 0.2f * (1 - (dh - joint) / biseau);
        if (dg < biseau + joint)
            lumiere += 0.12f * (1 - (dg - joint) / biseau);
        if (db < biseau + joint)
            lumiere -= 0.25f * (1 - (db - joint) / biseau);
        if (dd < biseau + joint)
            lumiere -= 0.15f * (1 - (dd - joint) / biseau);
        c = Eclairer(c, lumiere);
        // Moss settles on the top of some stones.
        const float mousse = BruitFractal(x / 8, y / 8, 2, 403, 8);
        if (mousse > 0.6f && dh < joint + 2 + 10 * (mousse - 0.6f))
            c = Mix(c, Eclairer(Mousse, 0.8f + 0.4f * grain), 0.75f);
        return c;
    }

    // Masonry whose open face lies u pixels away: a dark outline on the very
    // edge, then a lit rounded lip.
    Couleur Muraille(float x, float y, float u)
    {
        const Couleur c = Pierre(x, y);
        if (u < 1.3f)
            return Eclairer(c, 0.45f);
        if (u < 3.3f)
            return Eclairer(c, 1.22f);
        if (u < 8)
            return Eclairer(c, 0.93f + 0.07f * (u - 3.3f) / 4.7f);
        return c;
    }

    // Dirt on the masonry near the earth it touches (`distance` to that earth).
    Couleur Salir(const Couleur& c, float distance)
    {
        if (distance > 5)
            return c;
        const float t = 1 - distance / 5;
        return Eclairer(Mix(c, TerreSombre, 0.35f * t), 1 - 0.25f * t);
    }

    // ---- water -----------------------------------------------------------------

    float SurfaceEau(float x)
    {
        return 1.6f + 0.7f * std::sin(2 * Pi * x / 32) + 0.4f * std::sin(2 * Pi * x / 64 * 3 + 1.0f);
    }

    Couleur Eau(float x, float y)
    {
        const float s = SurfaceEau(x);
        if (y < s)
            return Transparent();
        const float p = y - s;
        Couleur c = Mix(EauHaut, EauFond, Borne01(y / 60));
        // Light ripples, strongest near the surface.
        const float n = BruitFractal(x / 16, y / 8, 2, 301, 4);
        const float ride = 1 - std::fabs(2 * n - 1);
        const float eclat = Transition(0.8f, 0.95f, ride) * (1 - Borne01(p / 56));
        c = Mix(c, EauReflet, 0.4f * eclat);
        // Long glints under the surface.
        const float reflet = Bruit(x / 8, y / 2, 302, 8);
        if (p > 4 && p < 24 && reflet > 0.78f)
            c = Mix(c, EauReflet, 0.5f * (1 - p / 24));
        // The crest.
        if (p < 1.5f)
            c = Mix(c, Ecume, 0.9f);
        else if (p < 4.5f)
            c = Mix(c, EauReflet, 0.45f * (1 - (p - 1.5f) / 3));
        // Small bubbles.
        const int bx = static_cast<int>(std::floor(x / 16)), by = static_cast<int>(std::floor(y / 16));
        const int wx = ModuloEntier(bx, 4), wy = ModuloEntier(by, 4);
        if (Hasard(wx, wy, 303) < 0.3f)
        {
            const float px = bx * 16 + 4 + 8 * Hasard(wx, wy, 304), py = by * 16 + 4 + 8 * Hasard(wx, wy, 305);
            const float r = 1.2f + 1.0f * Hasard(wx, wy, 306);
            const float d = std::hypot(x - px, y - py);
            if (d < r && py > 10)
                c = Mix(c, EauReflet, d > r - 0.7f ? 0.75f : 0.2f);
        }
        return c;
    }

    // ---- sand ------------------------------------------------------------------

    Couleur Sable(float x, float y)
    {
        const float grand = BruitFractal(x / 16, y / 16, 3, 501, 4);
        const float fin = Bruit(x / 4, y / 2, 502, 16);
        // Layers of slightly different tone, gently wavy.
        const float couche = std::sin(2 * Pi * (y + 7 * grand) / 32);
        Couleur c = Mix(SableSombre, SableClair,
                        Borne01(0.34f + 0.45f * grand + 0.16f * (fin - 0.5f) + 0.1f * couche));
        const float strate = std::sin(2 * Pi * (y + 8 * grand) / 16);
        if (strate > 0.92f)
            c = Eclairer(c, 0.94f);
        const float grain = Hasard(Case(x), Case(y), 503);
        if (grain > 0.9f)
            c = Eclairer(c, 0.9f);
        else if (grain < 0.08f)
            c = Mix(c, SableCrete, 0.5f);
        c = Cailloux(c, x, y, 505, 0.3f, 8, 1.2f, Rvb(176, 138, 90), Rvb(206, 170, 116));
        return Cailloux(c, x, y, 504, 0.2f, 8, 1.4f, Rvb(214, 196, 172), Rvb(250, 242, 226));
    }

    float SurfaceSable(float x)
    {
        return 1.0f + 1.8f * Bruit(x / 8, 0.5f, 511, 8);
    }

    // Sand below a surface at depth d: a bright crest and a sun-bleached layer.
    Couleur SableSous(float x, float y, float d)
    {
        Couleur c = Sable(x, y);
        if (d < 1.4f)
            return Mix(c, SableCrete, 0.85f);
        if (d < 9)
            return Mix(c, SableCrete, 0.4f * (1 - (d - 1.4f) / 7.6f));
        return c;
    }

    // ---- open edges ------------------------------------------------------------

    // How far the face of a cliff lies inside the tile at height y (wavy, and
    // the same on every tile of a column, so cliffs stack).
    float Retrait(float y, uint32_t graine, float base, float ampleur)
    {
        return base + ampleur * BruitFractal(y / 8, 0.7f, 2, graine, 8);
    }

    // Earth cliff: u is the distance to the open side of the tile.
    Couleur FaceTerre(float x, float y, float u)
    {
        const float e = Retrait(y, 601, 1.2f, 3.3f);
        const float v = u - e;
        if (v < 0)
            return Transparent();
        Couleur c = Terre(x, y);
        if (v < 1.4f)
            return Eclairer(c, 0.55f);
        if (v < 6)
            c = Eclairer(c, 0.8f + 0.2f * (v - 1.4f) / 4.6f);
        return c;
    }

    // Grass ground ending on an open side: the turf rounds the corner, its
    // blades fanning out, and a few strands hang down the cliff.
    Couleur HerbeVide(float x, float y, bool droite)
    {
        const float u = droite ? Cote - x : x; // distance to the open side
        const float rayon = 10;
        const float w = u - 1; // the turf reaches almost to the edge
        if (w >= rayon)
            return Sol(x, y, 0);
        // Hanging strands, three per tile at most.
        for (int k = 0; k < 3; ++k)
        {
            if (Hasard(k, droite ? 1 : 0, 603) > 0.75f)
                continue;
            const float longueur = 7 + 11 * Hasard(k, 1, 604);
            const float depart = 1.5f + 2.5f * k + Hasard(k, 2, 604);
            const float t = (y - rayon + 2) / longueur;
            if (t < 0 || t > 1)
                continue;
            const float axe = depart + 0.8f * std::sin(t * 3 + k);
            if (std::fabs(u - axe) < 0.9f * (1 - t) + 0.25f)
                return Mix(HerbeMoyenne, HerbeSombre, t);
        }
        if (y >= rayon)
        {
            const Couleur terre = FaceTerre(x, y, u);
            if (terre.a <= 0 || y > rayon + 6)
                return terre;
            // The turf's underside, thinning below the corner.
            const float epaisseur = 5 * (1 - (y - rayon) / 6);
            if (w >= 0 && w < epaisseur)
                return CouleurHerbe(x, EpaisseurHerbe - 2);
            return Eclairer(terre, 0.75f + 0.04f * (y - rayon));
        }
        const float dx = rayon - w, dy = rayon - y;
        const float r = std::sqrt(dx * dx + dy * dy);
        const float profondeur = rayon - r; // below the rounded ground line
        if (profondeur < 0)
            return Transparent();
        // Blades around the corner: the flat ground's blades carried on along the arc.
        const float angle = std::atan2(std::max(dx, 0.0f), std::max(dy, 0.0f));
        const float debut = droite ? Cote - rayon - 1 : rayon + 1;
        const float s = debut + (droite ? 1 : -1) * angle * rayon;
        if (profondeur < PointeBrins(s))
            return Transparent();
        const float fond = FondHerbe(x);
        if (profondeur < fond)
            return CouleurHerbe(s, profondeur);
        const Couleur terre = FaceTerre(x, y, u);
        if (terre.a <= 0)
            return CouleurHerbe(s, fond - 1);
        return Eclairer(terre, 1 - 0.38f * Transition(fond + 4, fond, profondeur));
    }

    // Sand cliff: u is the distance to the open side.
    Couleur FaceSable(float x, float y, float u)
    {
        const float e = Retrait(y, 611, 1.0f, 2.5f);
        const float v = u - e;
        if (v < 0)
            return Transparent();
        Couleur c = Sable(x, y);
        if (v < 1.3f)
            return Eclairer(c, 0.68f);
        if (v < 3.2f)
            return Mix(c, SableCrete, 0.45f);
        if (v < 8)
            c = Eclairer(c, 0.9f + 0.1f * (v - 3.2f) / 4.8f);
        return c;
    }

    // Sand ground ending on an open side, its corner rounded.
    Couleur SableVide(float x, float y, float u)
    {
        const float rayon = 8;
        const float e = Retrait(y, 611, 1.0f, 2.5f);
        const float w = u - e;
        if (w >= rayon || y >= rayon)
        {
            const float d = y - SurfaceSable(x);
            if (d < 0)
                return Transparent();
            const Couleur face = FaceSable(x, y, u);
            if (face.a <= 0 || w >= rayon)
                return w >= rayon ? SableSous(x, y, d) : face;
            return d < 9 ? Mix(face, SableSous(x, y, d), 0.5f) : face;
        }
        const float dx = rayon - w, dy = rayon - y;
        const float r = std::sqrt(dx * dx + dy * dy);
        if (r > rayon)
            return Transparent();
        const float profondeur = rayon - r;
        if (profondeur < 1.4f)
            return Mix(Sable(x, y), SableCrete, 0.8f);
        return Mix(Sable(x, y), SableCrete, 0.4f * Borne01(1 - (profondeur - 1.4f) / 6));
    }

    // ---- walls meeting other ground -------------------------------------------

    // Top of a wall under earth: the earth above a ragged line, roots hanging.
    Couleur MurTerreHaut(float x, float y, float u)
    {
        const float limite = 15 + 9 * BruitFractal(x / 16, 0.5f, 2, 701, 4);
        if (y < limite)
        {
            const float ombre = Transition(limite - 5, limite, y);
            return Eclairer(Terre(x, y), 1 - 0.4f * ombre);
        }
        // Roots: eight per tile width.
        const int k0 = static_cast<int>(std::floor(x / 8));
        for (int k = k0 - 1; k <= k0 + 1; ++k)
        {
            const int wk = ModuloEntier(k, 8);
            if (Hasard(wk, 0, 702) > 0.7f)
                continue;
            const float xk = k * 8 + 4 + 3 * (Hasard(wk, 1, 702) - 0.5f);
            const float depart = 15 + 9 * BruitFractal(xk / 16, 0.5f, 2, 701, 4);
            const float longueur = 4 + 9 * Hasard(wk, 2, 702);
            const float t = (y - depart) / longueur;
            if (t < 0 || t > 1)
                continue;
            const float axe = xk + 1.5f * std::sin(t * 5 + wk);
            if (std::fabs(x - axe) < 1.1f * (1 - t) + 0.3f)
                return Eclairer(Racine, 0.9f + 0.3f * (1 - t));
        }
        return Salir(Muraille(x, y, u), y - limite);
    }

    // Foot of a wall standing on earth: the earth below a ragged line.
    Couleur MurTerreBas(float x, float y, float u)
    {
        const float limite = 64 - (13 + 9 * BruitFractal(x / 16, 2.5f, 2, 711, 4));
        if (y >= limite)
        {
            const Couleur c = Terre(x, y);
            return y - limite < 1.5f ? Eclairer(c, 1.15f) : c;
        }
        return Salir(Muraille(x, y, u), limite - y);
    }

    // Foot of a wall meeting a floor of earth (or of grass) on its open side:
    // a mound against the stones, the foundations sinking into the ground.
    Couleur MurSol(float x, float y, float u, bool herbe)
    {
        const float largeur = 9 + 0.22f * y + 5 * (Bruit(y / 8, 1.5f, 721, 8) - 0.5f);
        const float fondation = 38 + 10 * (BruitFractal(x / 16, 1.5f, 2, 722, 4) - 0.5f);
        const bool terre = u < largeur || y > fondation;
        Couleur c;
        if (terre)
        {
            c = Terre(x, y);
            const float bord = std::min(y > fondation && u >= largeur ? y - fondation : 99.0f,
                                        y <= fondation ? largeur - u : 99.0f);
            if (bord < 3)
                c = Eclairer(c, 0.7f + 0.1f * bord);
        }
        else
            c = Salir(Pierre(x, y), std::min(largeur - u < 0 ? u - largeur : 99.0f, fondation - y));
        if (herbe)
        {
            // The floor's turf, reaching a little onto the stones and shorter there.
            const float d = y;
            const float fond = FondHerbe(x);
            const float recul = std::max(0.0f, u - 12) * 1.3f;
            if (u < 20 && d < fond - recul * 0.6f && d >= PointeBrins(x) + recul)
                return CouleurHerbe(x, d);
            // Between the blades, the wall behind them.
            if (d < Frange)
                return Pierre(x, y);
            if (terre && d >= fond && d < fond + 4)
                c = Eclairer(c, 1 - 0.38f * Transition(fond + 4, fond, d));
        }
        return c;
    }

    // A wall standing in a pool: wet stones below the water line, the water of
    // the pool coming in from the open side.
    Couleur MurEau(float x, float y, float u)
    {
        Couleur c = Muraille(x, y, u);
        const float s = SurfaceEau(x);
        if (y < s)
            return c;
        c = Eclairer(Mix(c, Rvb(40, 84, 96), 0.3f), 0.78f);
        if (y - s < 5 && Bruit(x / 4, 0.5f, 731, 16) > 0.4f)
            c = Mix(c, Mousse, 0.5f);
        return Mix(c, Eau(x, y), Transition(24, 1, u));
    }

    // ---- slopes ----------------------------------------------------------------

    // A few small flowers standing on the ground line of a hilltop.
    Couleur Fleurs(const Couleur& fond, float x, float y, bool descend)
    {
        static const float positions[3] = {18, 31, 45};
        static const Couleur teintes[3] = {Rvb(255, 246, 214), Rvb(255, 206, 64), Rvb(246, 136, 186)};
        for (int i = 0; i < 3; ++i)
        {
            const float px = positions[i];
            const float sol = descend ? px : Cote - px;
            const float tige = 4.5f + 1.5f * static_cast<float>(i % 2);
            const float cy = sol - tige;
            const float d = std::hypot(x - px, y - cy);
            if (d < 1.1f)
                return Rvb(255, 230, 120);
            if (d < 2.6f)
            {
                const float angle = std::atan2(y - cy, x - px);
                if (std::cos(5 * angle) > -0.2f || d < 1.6f)
                    return teintes[i];
            }
            if (std::fabs(x - px + 0.3f * (y - cy)) < 0.5f && y > cy && y < sol + 3)
                return HerbeSombre;
        }
        return fond;
    }

    // A stone buried in the earth of a slope.
    Couleur Rocher(const Couleur& fond, float x, float y, float cx, float cy)
    {
        const float dx = (x - cx) / 7, dy = (y - cy) / 4.5f;
        const float d2 = dx * dx + dy * dy;
        if (d2 > 1)
        {
            const float ox = (x - cx - 1) / 7, oy = (y - cy - 1.2f) / 4.5f;
            return ox * ox + oy * oy <= 1.1f ? Eclairer(fond, 0.75f) : fond;
        }
        const float tex = Bruit(x / 4, y / 4, 741, 16);
        Couleur c = Eclairer(Mix(CaillouSombre, CaillouClair, 0.55f + 0.3f * tex), 1 + 0.3f * (-dx - dy));
        return d2 > 0.8f ? Eclairer(c, 0.7f) : c;
    }

    struct Tuile
    {
        const char* fichier;
        Couleur (*dessin)(float, float);
    };

    const Tuile ListeTuiles[] = {
        {"Herbe", [](float x, float y) { return Sol(x, y, 0); }},
        {"Eau", Eau},
        {"Mur", Pierre},
        // Slope starts, under each tile of a slope: the turf of the slope above
        // crosses the corner and meets the flat ground beside.
        {"Debut de pente droite", [](float x, float y) { return Sol(x, y, x - Cote); }},
        {"Debut de pente gauche", [](float x, float y) { return Sol(x, y, -x); }},
        // Ground falling towards the right: open above the line from the top-left
        // to the bottom-right corner.
        {"Sommet de cote droite", [](float x, float y) { return Fleurs(Sol(x, y, x), x, y, true); }},
        {"Pente droite", [](float x, float y) { return y < x ? Transparent() : Rocher(Sol(x, y, x), x, y, 17, 47); }},
        // Ground rising towards the right: open above the line from the
        // bottom-left to the top-right corner.
        {"Sommet de cote gauche", [](float x, float y) { return Fleurs(Sol(x, y, Cote - x), x, y, false); }},
        {"Pente gauche",
         [](float x, float y) { return y < Cote - x ? Transparent() : Rocher(Sol(x, y, Cote - x), x, y, 47, 47); }},
        {"Terre", Terre},
        {"Herbe vers le vide a droite", [](float x, float y) { return HerbeVide(x, y, true); }},
        {"Herbe vers le vide a gauche", [](float x, float y) { return HerbeVide(x, y, false); }},
        {"Transition cote droite", [](float x, float y) { return FaceTerre(x, y, Cote - x); }},
        {"Transition cote gauche", [](float x, float y) { return FaceTerre(x, y, x); }},
        // Walls: "gauche" bounds the room on the left and shows its face on its
        // right; "droite" the other way round.
        {"Mur gauche", [](float x, float y) { return Muraille(x, y, Cote - x); }},
        {"Mur droite", [](float x, float y) { return Muraille(x, y, x); }},
        {"Transition mur-eau gauche", [](float x, float y) { return MurEau(x, y, Cote - x); }},
        {"Transition mur-eau droite", [](float x, float y) { return MurEau(x, y, x); }},
        {"Transition mur-herbe gauche", [](float x, float y) { return MurSol(x, y, Cote - x, true); }},
        {"Transition mur-herbe droite", [](float x, float y) { return MurSol(x, y, x, true); }},
        {"Transition mur-terre gauche", [](float x, float y) { return MurSol(x, y, Cote - x, false); }},
        {"Transition mur-terre droite", [](float x, float y) { return MurSol(x, y, x, false); }},
        {"Transition mur-terre haut gauche", [](float x, float y) { return MurTerreHaut(x, y, Cote - x); }},
        {"Transition mur-terre haut droite", [](float x, float y) { return MurTerreHaut(x, y, x); }},
        {"Transition mur-terre  bas gauche", [](float x, float y) { return MurTerreBas(x, y, Cote - x); }},
        {"Transition mur-terre bas droite", [](float x, float y) { return MurTerreBas(x, y, x); }},
        // Sand.
        {"Sable - Interieur", Sable},
        {"Sable - Sol",
         [](float x, float y) {
             const float d = y - SurfaceSable(x);
             return d < 0 ? Transparent() : SableSous(x, y, d);
         }},
        {"Sable - Vers vide a droite", [](float x, float y) { return SableVide(x, y, Cote - x); }},
        {"Sable - Vers vide a gauche", [](float x, float y) { return SableVide(x, y, x); }},
        {"Sable - Mur droite", [](float x, float y) { return FaceSable(x, y, Cote - x); }},
        {"Sable - Mur gauche", [](float x, float y) { return FaceSable(x, y, x); }},
    };
}

bool DessinerTuiles(const std::string& racine)
{
    bool ok = true;
    for (const Tuile& tuile : ListeTuiles)
    {
        ImageRGBA image(64, 64);
        Peindre(image, tuile.dessin);
        ok = Ecrire(racine, std::string("Images/Maps/") + tuile.fichier + ".png", image) && ok;
    }
    return ok;
}
