#include "Autotuile.h"

#include <algorithm>
#include <unordered_map>

namespace Autotuile
{
    namespace
    {
        // What a neighbour is, for the rules.
        enum class Genre
        {
            Air,     // empty cell (a bonus cell too)
            Eau,
            Sol,
            Sable,
            Mur,
            Solide   // slopes, unset cells, codes the rules do not know, outside the grid
        };

        // What the rules read around a cell.
        enum : unsigned
        {
            HautLibre = 1u << 0,    // empty above
            GaucheLibre = 1u << 1,  // empty on the left
            DroiteLibre = 1u << 2,  // empty on the right
            // A wall shows a face on a side where it looks onto an empty or
            // water cell, or onto a floor (ground or sand) with empty or water
            // above it: there the wall rises from that floor.
            FaceGauche = 1u << 3,
            FaceDroite = 1u << 4,
            // What the wall's only face looks onto, at the wall's own height.
            FaceEau = 1u << 5,      // water: the wall stands in a pool
            FaceHerbe = 1u << 6,    // ground with empty above: a grass floor
            FaceTerre = 1u << 7,    // ground or sand otherwise: an earth floor
            HautTerre = 1u << 8,    // ground or sand above the wall
            BasTerre = 1u << 9      // ground or sand below the wall
        };

        struct Regle
        {
            Matiere M;
            unsigned Exige;  // every one of these
            unsigned Exclut; // none of these
            signed char Code;
        };

        // The rules, the first that fits wins. Codes are those of the tile
        // table; the letters are the map file's characters.
        const Regle Regles[] = {
            // Ground: grass where the sky is open, its ends where the void is
            // beside, earth faces on open sides under cover, earth inside.
            {Matiere::Sol, HautLibre | GaucheLibre, DroiteLibre, 13}, // v grass ending on the left
            {Matiere::Sol, HautLibre | DroiteLibre, GaucheLibre, 11}, // V grass ending on the right
            {Matiere::Sol, HautLibre, 0, 2},                          // B grass
            {Matiere::Sol, GaucheLibre, DroiteLibre, 14},             // t earth face to the left
            {Matiere::Sol, DroiteLibre, GaucheLibre, 12},             // T earth face to the right
            {Matiere::Sol, 0, 0, 10},                                 // b earth
            // Sand, the same way.
            {Matiere::Sable, HautLibre | GaucheLibre, DroiteLibre, 33}, // e
            {Matiere::Sable, HautLibre | DroiteLibre, GaucheLibre, 6},  // E
            {Matiere::Sable, HautLibre, 0, 31},                         // a sand ground
            {Matiere::Sable, GaucheLibre, DroiteLibre, 29},             // i sand face to the left
            {Matiere::Sable, DroiteLibre, GaucheLibre, 27},             // I sand face to the right
            {Matiere::Sable, 0, 0, 25},                                 // A sand
            // Walls: a face on one side only (a wall face on both sides has no
            // tile: plain masonry). "Right" walls close a room on its right
            // and show their face on their left.
            {Matiere::Mur, FaceGauche | FaceDroite, 0, 4},
            {Matiere::Mur, FaceGauche | FaceEau, 0, 15},    // W in water
            {Matiere::Mur, FaceDroite | FaceEau, 0, 17},    // w
            {Matiere::Mur, FaceGauche | FaceHerbe, 0, 19},  // O foot on a grass floor
            {Matiere::Mur, FaceDroite | FaceHerbe, 0, 20},  // o
            {Matiere::Mur, FaceGauche | FaceTerre, 0, 26},  // H foot on an earth floor
            {Matiere::Mur, FaceDroite | FaceTerre, 0, 28},  // h
            {Matiere::Mur, FaceGauche | HautTerre, 0, 30},  // X top under earth
            {Matiere::Mur, FaceDroite | HautTerre, 0, 32},  // x
            {Matiere::Mur, FaceGauche | BasTerre, 0, 22},   // R standing on earth
            {Matiere::Mur, FaceDroite | BasTerre, 0, 24},   // r
            {Matiere::Mur, FaceGauche, 0, 16},              // M face on the left
            {Matiere::Mur, FaceDroite, 0, 18},              // m face on the right
            {Matiere::Mur, 0, 0, 4},                        // plain masonry
            {Matiere::Eau, 0, 0, 3},
            {Matiere::Vide, 0, 0, 1},
        };

        int Code(const Grille& g, int colonne, int ligne)
        {
            if (colonne < 0 || ligne < 0 || static_cast<size_t>(colonne) >= g.size() ||
                static_cast<size_t>(ligne) >= g[static_cast<size_t>(colonne)].size())
                return -1;
            return g[static_cast<size_t>(colonne)][static_cast<size_t>(ligne)];
        }

        Genre GenreDe(Matiere m)
        {
            switch (m)
            {
            case Matiere::Vide: return Genre::Air;
            case Matiere::Eau: return Genre::Eau;
            case Matiere::Sol: return Genre::Sol;
            case Matiere::Sable: return Genre::Sable;
            case Matiere::Mur: return Genre::Mur;
            }
            return Genre::Solide;
        }

        // Outside the grid: the level goes on as the cell itself (so that a
        // wall along the edge shows no face there, ground along the top no grass).
        Genre GenreDe(const Grille& g, int colonne, int ligne, Genre dehors)
        {
            const int code = Code(g, colonne, ligne);
            if (code < 0)
                return dehors;
            Matiere m;
            return MatiereDe(code, m) ? GenreDe(m) : Genre::Solide;
        }

        bool Ouvert(Genre g)
        {
            return g == Genre::Air || g == Genre::Eau;
        }

        bool Terre(Genre g)
        {
            return g == Genre::Sol || g == Genre::Sable;
        }

        unsigned Voisinage(const Grille& g, int c, int l, Matiere m)
        {
            const Genre soi = GenreDe(m);
            const Genre haut = GenreDe(g, c, l - 1, soi);
            const Genre bas = GenreDe(g, c, l + 1, soi);
            unsigned v = 0;
            if (haut == Genre::Air)
                v |= HautLibre;
            if (Terre(haut))
                v |= HautTerre;
            if (Terre(bas))
                v |= BasTerre;
            unsigned sur[2] = {0, 0}; // what each face looks onto
            for (int cote = 0; cote < 2; ++cote)
            {
                const int dc = cote == 0 ? -1 : 1;
                const Genre voisin = GenreDe(g, c + dc, l, soi);
                const Genre dessus = GenreDe(g, c + dc, l - 1, voisin);
                bool face = false;
                if (voisin == Genre::Air)
                {
                    v |= cote == 0 ? GaucheLibre : DroiteLibre;
                    face = true;
                }
                else if (voisin == Genre::Eau)
                {
                    face = true;
                    sur[cote] = FaceEau;
                }
                else if (Terre(voisin) && Ouvert(dessus))
                {
                    face = true;
                    sur[cote] = voisin == Genre::Sol && dessus == Genre::Air ? FaceHerbe : FaceTerre;
                }
                if (face)
                    v |= cote == 0 ? FaceGauche : FaceDroite;
            }
            if ((v & FaceGauche) != 0 && (v & FaceDroite) == 0)
                v |= sur[0];
            if ((v & FaceDroite) != 0 && (v & FaceGauche) == 0)
                v |= sur[1];
            return v;
        }

        signed char Representant(Matiere m)
        {
            for (const Regle& r : Regles)
                if (r.M == m && r.Exige == 0)
                    return r.Code;
            return 1;
        }
    }

    bool MatiereDe(int code, Matiere& matiere)
    {
        for (const Regle& r : Regles)
            if (r.Code == code)
            {
                matiere = r.M;
                return true;
            }
        return false;
    }

    int TuileChoisie(const Grille& grille, int colonne, int ligne, Matiere matiere)
    {
        const unsigned v = Voisinage(grille, colonne, ligne, matiere);
        for (const Regle& r : Regles)
            if (r.M == matiere && (v & r.Exige) == r.Exige && (v & r.Exclut) == 0)
                return r.Code;
        return Representant(matiere);
    }

    std::vector<Changement> Peindre(Grille& grille, const std::vector<std::pair<int, int>>& cellules, Matiere matiere)
    {
        std::vector<Changement> changements;
        std::vector<std::pair<int, int>> aRevoir;
        // Each cell changed, once, with its first code.
        std::unordered_map<long long, size_t> deja;
        auto Noter = [&](int c, int l, int apres) {
            signed char& code = grille[static_cast<size_t>(c)][static_cast<size_t>(l)];
            if (code == apres)
                return;
            const long long cle = (static_cast<long long>(c) << 32) | static_cast<unsigned>(l);
            const auto trouve = deja.find(cle);
            if (trouve != deja.end())
                changements[trouve->second].Apres = apres;
            else
            {
                deja.emplace(cle, changements.size());
                changements.push_back(Changement{c, l, code, apres});
            }
            code = static_cast<signed char>(apres);
        };
        for (const std::pair<int, int>& p : cellules)
        {
            if (Code(grille, p.first, p.second) < 0)
                continue;
            Noter(p.first, p.second, Representant(matiere));
            for (int dc = -1; dc <= 1; ++dc)
                for (int dl = -1; dl <= 1; ++dl)
                    aRevoir.emplace_back(p.first + dc, p.second + dl);
        }
        std::sort(aRevoir.begin(), aRevoir.end());
        aRevoir.erase(std::unique(aRevoir.begin(), aRevoir.end()), aRevoir.end());
        for (const std::pair<int, int>& p : aRevoir)
        {
            Matiere m;
            const int code = Code(grille, p.first, p.second);
            if (code < 0 || !MatiereDe(code, m))
                continue;
            Noter(p.first, p.second, TuileChoisie(grille, p.first, p.second, m));
        }
        // Changes that came back to the first code are no changes.
        changements.erase(std::remove_if(changements.begin(), changements.end(),
                                         [](const Changement& ch) { return ch.Avant == ch.Apres; }),
                          changements.end());
        return changements;
    }
}
