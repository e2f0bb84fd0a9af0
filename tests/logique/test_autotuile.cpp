// Autotiling: each tile chosen for its neighbourhood, painting at the level's
// edges and beside cells the rules do not know, painting then erasing, and
// the shipped level, laid out by hand, against the rules.
#include "autotuile/Autotuile.h"
#include "map/Map.h"
#include "test_outil_carte_aide.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using Autotuile::Grille;
using Autotuile::Matiere;

namespace
{
    // A grid from rows of map characters ('#' for the plain wall, which has
    // no character; '.' and other characters for an unset cell).
    Grille Depuis(const std::vector<std::string>& rangees)
    {
        Grille g(rangees[0].size(), std::vector<signed char>(rangees.size(), 0));
        for (size_t l = 0; l < rangees.size(); ++l)
            for (size_t c = 0; c < rangees[l].size(); ++c)
                g[c][l] = static_cast<signed char>(rangees[l][c] == '#' ? 4 : CodeCaractere(rangees[l][c]));
        return g;
    }

    char Caractere(int code)
    {
        if (code == 0)
            return '.';
        if (code == 1)
            return ' ';
        if (code == 4)
            return '#';
        for (int c = 33; c < 127; ++c)
            if (CodeCaractere(static_cast<char>(c)) == code && !(c >= '1' && c <= '8'))
                return static_cast<char>(c);
        return '.';
    }

    std::vector<std::string> Rangees(const Grille& g)
    {
        std::vector<std::string> r(g.empty() ? 0 : g[0].size(), std::string(g.size(), '?'));
        for (size_t c = 0; c < g.size(); ++c)
            for (size_t l = 0; l < g[c].size(); ++l)
                r[l][c] = Caractere(g[c][l]);
        return r;
    }

    // Paints the cells of row `ligne` from column `de` to `a`.
    void Rangee(Grille& g, int ligne, int de, int a, Matiere m)
    {
        std::vector<std::pair<int, int>> cellules;
        for (int c = de; c <= a; ++c)
            cellules.emplace_back(c, ligne);
        Autotuile::Peindre(g, cellules, m);
    }

    void Colonne(Grille& g, int colonne, int de, int a, Matiere m)
    {
        std::vector<std::pair<int, int>> cellules;
        for (int l = de; l <= a; ++l)
            cellules.emplace_back(colonne, l);
        Autotuile::Peindre(g, cellules, m);
    }

    using Rangs = std::vector<std::string>;
}

TEST(Autotuile, GroundGetsGrassUnderTheSkyEndsBesideTheVoidAndFacesUnderCover)
{
    Grille g = Depuis({"       ", "       ", "       ", "       ", "       "});
    Rangee(g, 2, 1, 4, Matiere::Sol);
    EXPECT_EQ(Rangees(g), (Rangs{"       ", "       ", " vBBV  ", "       ", "       "}));
    // A layer below: the layer above keeps its grass, the new one shows faces.
    Rangee(g, 3, 1, 4, Matiere::Sol);
    EXPECT_EQ(Rangees(g), (Rangs{"       ", "       ", " vBBV  ", " tbbT  ", "       "}));
    // Ground laid on top covers the grass below it.
    Rangee(g, 1, 2, 3, Matiere::Sol);
    EXPECT_EQ(Rangees(g), (Rangs{"       ", "  vV   ", " vbbV  ", " tbbT  ", "       "}));
    // Widening meets the old end, which becomes plain grass.
    Rangee(g, 2, 5, 5, Matiere::Sol);
    EXPECT_EQ(Rangees(g), (Rangs{"       ", "  vV   ", " vbbBV ", " tbbT  ", "       "}));
    // A single cell open on both sides: there is no tile with two ends.
    Grille seul = Depuis({"   ", "   "});
    Rangee(seul, 1, 1, 1, Matiere::Sol);
    EXPECT_EQ(Rangees(seul), (Rangs{"   ", " B "}));
}

TEST(Autotuile, SandHasTheSameEdgesWithItsOwnTiles)
{
    Grille g = Depuis({"      ", "      ", "      ", "      "});
    Rangee(g, 1, 1, 4, Matiere::Sable);
    Rangee(g, 2, 1, 4, Matiere::Sable);
    EXPECT_EQ(Rangees(g), (Rangs{"      ", " eaaE ", " iAAI ", "      "}));
    // Sand beside ground and under water: no edge there.
    Grille h = Depuis({"      ", " vBB  ", " tbb  "});
    Rangee(h, 1, 4, 4, Matiere::Sable);
    Rangee(h, 2, 4, 4, Matiere::Sable);
    EXPECT_EQ(Rangees(h), (Rangs{"      ", " vBBE ", " tbbI "}));
    Rangee(h, 0, 4, 4, Matiere::Eau);
    EXPECT_EQ(Rangees(h), (Rangs{"    C ", " vBBI ", " tbbI "}));
}

TEST(Autotuile, WaterCoversTheGroundAndLeavesItsSidesAlone)
{
    Grille g = Depuis({"       ", " vBBBV ", " tbbbT "});
    // A pool dug in the grass: the sides stay grass, the bottom is earth.
    Rangee(g, 1, 2, 3, Matiere::Eau);
    EXPECT_EQ(Rangees(g), (Rangs{"       ", " vCCBV ", " tbbbT "}));
    // Water above grass: the grass is under water now.
    Rangee(g, 0, 4, 4, Matiere::Eau);
    EXPECT_EQ(Rangees(g), (Rangs{"    C  ", " vCCbV ", " tbbbT "}));
}

TEST(Autotuile, WallsShowTheirFaceAndMeetEarthGrassAndWater)
{
    // A room's walls from the ceiling of earth down into a grass floor.
    Grille g = Depuis({"bbbbbbb", "       ", "       ", " BBBBB ", "bbbbbbb"});
    Colonne(g, 0, 1, 3, Matiere::Mur);
    Colonne(g, 6, 1, 3, Matiere::Mur);
    EXPECT_EQ(Rangees(g), (Rangs{"bbbbbbb", "x     X", "m     M", "oBBBBBO", "bbbbbbb"}));
    // The same walls standing on the floor instead of going into it.
    Grille h = Depuis({"bbbbb", "     ", "     ", "bBBBb"});
    Colonne(h, 0, 1, 2, Matiere::Mur);
    Colonne(h, 4, 1, 2, Matiere::Mur);
    EXPECT_EQ(Rangees(h), (Rangs{"bbbbb", "x   X", "r   R", "bBBBb"}));
    // A pillar in a pool, a pillar on sand, a pillar in the open.
    Grille p = Depuis({"          ", "C  C a  a ", "bbbbAAAAAA"});
    Rangee(p, 1, 1, 2, Matiere::Mur);
    Rangee(p, 1, 6, 7, Matiere::Mur);
    EXPECT_EQ(Rangees(p), (Rangs{"          ", "CWwC eHhE ", "bbbbAAAAAA"}));
    Grille q = Depuis({"     ", "     ", "     "});
    Colonne(q, 2, 0, 1, Matiere::Mur);
    EXPECT_EQ(Rangees(q), (Rangs{"  #  ", "  #  ", "     "}));
    // Inside a thick wall: plain masonry.
    Grille e = Depuis({"   ", "   ", "   "});
    Autotuile::Peindre(e, {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}, {0, 2}, {1, 2}, {2, 2}}, Matiere::Mur);
    EXPECT_EQ(Rangees(e), (Rangs{"###", "###", "###"}));
}

TEST(Autotuile, EdgesAndUnknownCellsAreLeftAsTheyAre)
{
    // Slopes, unset cells ('.') and the grid's edges: never changed, solid
    // for their neighbours; outside the grid the level goes on.
    Grille g = Depuis({"    ", "sBBS", "d..D"});
    const std::vector<Autotuile::Changement> faits =
        Autotuile::Peindre(g, {{1, 2}, {2, 2}, {0, 0}, {-1, 0}, {4, 1}, {0, 99}}, Matiere::Sol);
    EXPECT_EQ(Rangees(g), (Rangs{"T   ", "sBBS", "dbbD"}));
    // Only the painted cells changed, each once.
    ASSERT_EQ(faits.size(), 3u);
    for (const Autotuile::Changement& c : faits)
        EXPECT_EQ(g[static_cast<size_t>(c.Colonne)][static_cast<size_t>(c.Ligne)], c.Apres);
    // Undoing is writing back the codes before.
    for (auto it = faits.rbegin(); it != faits.rend(); ++it)
        g[static_cast<size_t>(it->Colonne)][static_cast<size_t>(it->Ligne)] = static_cast<signed char>(it->Avant);
    EXPECT_EQ(Rangees(g), (Rangs{"    ", "sBBS", "d..D"}));
    // Ground along the grid's top and left edges: no grass, no face there.
    Grille h = Depuis({"  ", "  "});
    Autotuile::Peindre(h, {{0, 0}, {1, 0}, {0, 1}}, Matiere::Sol);
    EXPECT_EQ(Rangees(h), (Rangs{"bb", "T "}));
    // An empty grid, and cells out of it, are no trouble.
    Grille vide;
    EXPECT_TRUE(Autotuile::Peindre(vide, {{0, 0}}, Matiere::Mur).empty());
}

TEST(Autotuile, PaintingThenErasingRestoresTheNeighbours)
{
    // Random levels already laid out by the rules, with slopes and unset
    // cells among them; painting any cell with any material and then back
    // with its own leaves the level as it was.
    std::mt19937 hasard(20261208);
    const char materiaux[] = {' ', ' ', ' ', 'b', 'b', 'A', '#', 'C', 's', 'P', '.'};
    for (int essai = 0; essai < 200; ++essai)
    {
        const int largeur = 1 + static_cast<int>(hasard() % 9);
        const int hauteur = 1 + static_cast<int>(hasard() % 7);
        Rangs rangees(static_cast<size_t>(hauteur), std::string(static_cast<size_t>(largeur), ' '));
        for (std::string& r : rangees)
            for (char& c : r)
                c = materiaux[hasard() % sizeof materiaux];
        Grille g = Depuis(rangees);
        for (int c = 0; c < largeur; ++c)
            for (int l = 0; l < hauteur; ++l)
            {
                Matiere m;
                if (Autotuile::MatiereDe(g[static_cast<size_t>(c)][static_cast<size_t>(l)], m))
                    g[static_cast<size_t>(c)][static_cast<size_t>(l)] =
                        static_cast<signed char>(Autotuile::TuileChoisie(g, c, l, m));
            }
        const int c = static_cast<int>(hasard() % static_cast<unsigned>(largeur));
        const int l = static_cast<int>(hasard() % static_cast<unsigned>(hauteur));
        Matiere avant;
        if (!Autotuile::MatiereDe(g[static_cast<size_t>(c)][static_cast<size_t>(l)], avant))
            continue;
        const Grille origine = g;
        const Matiere peinte = static_cast<Matiere>(hasard() % 5);
        Autotuile::Peindre(g, {{c, l}}, peinte);
        Autotuile::Peindre(g, {{c, l}}, avant);
        ASSERT_EQ(Rangees(g), Rangees(origine)) << "cell " << c << ", " << l << " painted with "
                                               << static_cast<int>(peinte);
    }
}

TEST(Autotuile, TheShippedLevelFollowsTheRules)
{
    // The level was laid out by hand; the rules were read from its tiles and
    // their images. Every cell the rules cover agrees, but for one pillar
    // whose top stands under a grass platform: the level draws its plain
    // faces (M m) where the same pillar further right shows its top under
    // earth (X x), as the rules do.
    const OutilCarte::TexteCarte texte = EssaisOutilCarte::Lire(EssaisOutilCarte::NiveauLivre());
    CMap carte;
    carte.AnalyseContenu(texte.Contenu);
    std::vector<std::string> ecarts;
    for (int c = 0; c < carte.Largeur; ++c)
        for (int l = 0; l < carte.Hauteur; ++l)
        {
            Matiere m;
            const int code = carte.Cases[static_cast<size_t>(c)][static_cast<size_t>(l)];
            if (!Autotuile::MatiereDe(code, m))
                continue;
            const int choisi = Autotuile::TuileChoisie(carte.Cases, c, l, m);
            if (choisi != code)
                ecarts.push_back(std::to_string(c + 1) + "," + std::to_string(l + 1) + ":" + Caractere(code) + ">" +
                                 Caractere(choisi));
        }
    EXPECT_EQ(ecarts, (std::vector<std::string>{"80,21:M>X", "81,21:m>x"}));
}
