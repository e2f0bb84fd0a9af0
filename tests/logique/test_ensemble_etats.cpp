// The set of states the reachability search keeps (analyse/EnsembleEtats.h)
// against a plain list walked state by state: the same states kept, in the
// same order, while its table of squares grows many times over, its slots
// collide, and its states fill several blocks; and the bound of states.
#include "analyse/EnsembleEtats.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <tuple>
#include <vector>

using AnalyseCarte::Ensemble;
using AnalyseCarte::GroupeDe;
using AnalyseCarte::Noeud;

namespace
{
    const long long Seuil = 100;
    const int VieMax = 1000;

    // The rule written the long way: a new state is covered when the states
    // of its square (same 32 px square, movement state and rounded vertical
    // speed) with no longer a delay class, no longer a fall and no less life
    // span it: x and horizontal speed within theirs, y not above them all.
    class Liste
    {
    public:
        bool Ajouter(const Noeud& n)
        {
            std::vector<Noeud>& carre = carres_[Cle(n)];
            bool un = false;
            int x0 = 0, x1 = 0, y0 = 0;
            double v0 = 0, v1 = 0;
            for (const Noeud& a : carre)
            {
                if (a.G.Delai > n.G.Delai || Chute(a) > Chute(n) || a.Vie < n.Vie)
                    continue;
                x0 = un ? std::min(x0, a.X) : a.X;
                x1 = un ? std::max(x1, a.X) : a.X;
                y0 = un ? std::min(y0, a.Y) : a.Y;
                v0 = un ? std::min(v0, a.VX) : a.VX;
                v1 = un ? std::max(v1, a.VX) : a.VX;
                un = true;
            }
            if (un && n.X >= x0 && n.X <= x1 && n.Y >= y0 && n.VX >= v0 && n.VX <= v1)
                return false;
            carre.push_back(n);
            return true;
        }

    private:
        static long long Chute(const Noeud& n) { return std::max<long long>(n.Y - n.DebutChute, Seuil); }
        static std::tuple<int, int, int, int> Cle(const Noeud& n) { return {n.G.CX, n.G.CY, n.G.VY, n.G.Etat}; }
        std::map<std::tuple<int, int, int, int>, std::vector<Noeud>> carres_;
    };

    // A state near (cx, cy), in 32 px squares: most fall short of the
    // threshold with full life (the usual case), some fall farther or have
    // lost life; speeds and delays of every class, negative positions too.
    Noeud Etat(std::mt19937& hasard, int cx, int cy)
    {
        std::uniform_int_distribution<int> pixel(-40, 71);
        std::uniform_int_distribution<int> de(0, 99);
        std::uniform_real_distribution<double> vitesse(-3.0, 3.0);
        std::uniform_int_distribution<int> delai(0, 1000);
        std::uniform_int_distribution<int> etat(1, 4);
        Noeud n{};
        n.X = cx * 32 + pixel(hasard);
        n.Y = cy * 32 + pixel(hasard);
        n.VX = de(hasard) < 20 ? 0.0 : vitesse(hasard);
        n.VY = de(hasard) < 30 ? 0.0 : vitesse(hasard);
        n.Etat = static_cast<int8_t>(etat(hasard));
        n.Delai = static_cast<int16_t>(de(hasard) < 40 ? 0 : delai(hasard));
        n.DebutChute = de(hasard) < 85 ? n.Y : n.Y - 50 - de(hasard) * 3;
        n.Vie = de(hasard) < 90 ? VieMax : VieMax - 20 * (1 + de(hasard) % 10);
        n.Suivant = AnalyseCarte::Aucun;
        n.Parent = static_cast<uint32_t>(de(hasard));
        n.G = GroupeDe(n.X, n.Y, n.VX, n.VY, n.Etat, n.Delai);
        return n;
    }
}

TEST(EnsembleEtats, KeepsWhatAPlainListKeepsWhileItsTableGrows)
{
    // Over a few squares, many states per square (spans, delays, falls);
    // then over thousands of squares (the table grows from 4096 slots).
    for (const int cote : {3, 160})
    {
        SCOPED_TRACE(cote);
        std::mt19937 hasard(static_cast<unsigned>(7 + cote));
        std::uniform_int_distribution<int> carre(-2, cote);
        Ensemble ensemble(1000000, Seuil, VieMax);
        Liste liste;
        std::vector<Noeud> gardes;
        for (int i = 0; i < 60000; ++i)
        {
            const Noeud n = Etat(hasard, carre(hasard), carre(hasard));
            const bool garde = liste.Ajouter(n);
            ASSERT_EQ(garde, ensemble.Ajouter(n)) << "state " << i;
            if (garde)
                gardes.push_back(n);
        }
        ASSERT_EQ(gardes.size(), ensemble.Taille());
        EXPECT_GT(gardes.size(), size_t(8192) * (cote > 3 ? 3 : 0)) << "several blocks of states";
        for (size_t i = 0; i < gardes.size(); ++i)
        {
            const Noeud& a = gardes[i];
            const Noeud& b = ensemble[i];
            ASSERT_TRUE(a.X == b.X && a.Y == b.Y && a.VX == b.VX && a.VY == b.VY && a.Etat == b.Etat &&
                        a.Delai == b.Delai && a.DebutChute == b.DebutChute && a.Vie == b.Vie &&
                        a.Parent == b.Parent && a.G == b.G)
                << "state " << i << " moved or changed";
        }
        // The table stays at most half full, a power of two.
        EXPECT_LE(ensemble.Carres() * 2, ensemble.Places());
        EXPECT_EQ(ensemble.Places() & (ensemble.Places() - 1), 0u);
        if (cote > 3)
        {
            EXPECT_GT(ensemble.Places(), size_t(1) << 14);
        }
        EXPECT_FALSE(ensemble.Deborde());
    }
}

TEST(EnsembleEtats, StopsAtItsBoundAndSaysSo)
{
    std::mt19937 hasard(3);
    std::uniform_int_distribution<int> carre(0, 50);
    Ensemble ensemble(1000, Seuil, VieMax);
    Liste liste;
    size_t gardes = 0;
    while (gardes < 1000)
    {
        const Noeud n = Etat(hasard, carre(hasard), carre(hasard));
        if (liste.Ajouter(n))
        {
            ++gardes;
            ASSERT_TRUE(ensemble.Ajouter(n));
        }
    }
    EXPECT_FALSE(ensemble.Deborde());
    // A state of a square never seen: left out, and the set says so.
    Noeud n = Etat(hasard, 5000, 5000);
    EXPECT_FALSE(ensemble.Ajouter(n));
    EXPECT_TRUE(ensemble.Deborde());
    EXPECT_EQ(ensemble.Taille(), 1000u);
}

TEST(EnsembleEtats, GroupsRoundPositionsDownAndSpeedsToTheNearest)
{
    // Squares of 32 px rounding down, also left of and above the map; the
    // vertical speed to the nearest whole pixel, halves upwards, held within
    // +-30000 (NaN as 0): as the floor of the real numbers gives them.
    std::mt19937 hasard(11);
    std::uniform_int_distribution<int> pixel(-5000, 5000);
    std::uniform_int_distribution<int> demis(-80, 80);
    std::uniform_real_distribution<double> reel(-40.0, 40.0);
    for (int i = 0; i < 20000; ++i)
    {
        const int x = pixel(hasard);
        const int y = i < 64 ? i - 32 : pixel(hasard);
        const double vy = i % 2 == 0 ? demis(hasard) * 0.5 : reel(hasard);
        const AnalyseCarte::Groupe g = GroupeDe(x, y, 0.0, vy, 3, 0);
        ASSERT_EQ(g.CX, static_cast<int>(std::floor(x / 32.0))) << x;
        ASSERT_EQ(g.CY, static_cast<int>(std::floor(y / 32.0))) << y;
        ASSERT_EQ(g.VY, static_cast<int>(std::floor(vy + 0.5))) << vy;
    }
    EXPECT_EQ(GroupeDe(0, 0, 0, 1e9, 1, 0).VY, 30000);
    EXPECT_EQ(GroupeDe(0, 0, 0, -1e9, 1, 0).VY, -30000);
    EXPECT_EQ(GroupeDe(0, 0, 0, std::nan(""), 1, 0).VY, 0);
    EXPECT_EQ(GroupeDe(-2147483647 - 1, 2147483647, 0, 0, 1, 0).CX, -67108864);
    EXPECT_EQ(GroupeDe(-2147483647 - 1, 2147483647, 0, 0, 1, 0).CY, 67108863);
}
