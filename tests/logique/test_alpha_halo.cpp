// Alphas of the halo's fading copies.
#include <gtest/gtest.h>

#include "moteur/Moteur.h"

#include <climits>
#include <vector>

namespace
{
    std::vector<int> Sequence(int n)
    {
        std::vector<int> alphas;
        for (int k = 0; k < n; ++k)
            alphas.push_back(AlphaHalo(k, n));
        return alphas;
    }
}

TEST(HaloAlpha, FifteenCopies)
{
    EXPECT_EQ(Sequence(15),
              (std::vector<int>{127, 119, 111, 102, 94, 85, 77, 68, 60, 51, 43, 34, 26, 17, 9}));
}

TEST(HaloAlpha, OneAndTwoCopies)
{
    EXPECT_EQ(Sequence(1), (std::vector<int>{127}));
    EXPECT_EQ(Sequence(2), (std::vector<int>{127, 64}));
}

TEST(HaloAlpha, NoCopiesForZeroOrLess)
{
    EXPECT_EQ(AlphaHalo(0, 0), 0);
    EXPECT_EQ(AlphaHalo(0, -3), 0);
    EXPECT_EQ(AlphaHalo(0, INT_MIN), 0);
}

TEST(HaloAlpha, NeverBelowOneEvenForHugeHalos)
{
    for (const int n : {3, 127, 128, 1000, 16909321, INT_MAX})
    {
        EXPECT_EQ(AlphaHalo(0, n), 127) << n;
        EXPECT_GE(AlphaHalo(n - 1, n), 1) << n;
        EXPECT_LE(AlphaHalo(n - 1, n), AlphaHalo(n / 2, n)) << n;
    }
    // 127 * k would not fit an int here.
    EXPECT_EQ(AlphaHalo(INT_MAX - 1, INT_MAX), 1);
    EXPECT_EQ(AlphaHalo(INT_MAX / 2, INT_MAX), 64);
}
