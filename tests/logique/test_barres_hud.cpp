// Width of the life and mana bars of the head-up display.
#include <gtest/gtest.h>

#include "interface/Interface.h"

#include <climits>

TEST(BarreHud, WidthIsTheTruncatedShareOfTwoHundred)
{
    EXPECT_EQ(CInterface::LargeurBarre(1000, 1000), 200);
    EXPECT_EQ(CInterface::LargeurBarre(999, 1000), 199); // 199800 / 1000, truncated
    EXPECT_EQ(CInterface::LargeurBarre(4, 1000), 0);     // 800 / 1000
    EXPECT_EQ(CInterface::LargeurBarre(5, 1000), 1);
    EXPECT_EQ(CInterface::LargeurBarre(0, 1000), 0);
    EXPECT_EQ(CInterface::LargeurBarre(500, 1000), 100);
    EXPECT_EQ(CInterface::LargeurBarre(3, 7), 85);       // 600 / 7 = 85.7
    EXPECT_EQ(CInterface::LargeurBarre(1, 1), 200);
}

TEST(BarreHud, NoMaximumDrawsAnEmptyBar)
{
    EXPECT_EQ(CInterface::LargeurBarre(500, 0), 0);
    EXPECT_EQ(CInterface::LargeurBarre(0, 0), 0);
    // Negative over negative would otherwise give a positive share.
    EXPECT_EQ(CInterface::LargeurBarre(-1000, -1000), 0);
    EXPECT_EQ(CInterface::LargeurBarre(500, -1000), 0);
    EXPECT_EQ(CInterface::LargeurBarre(INT_MIN, INT_MIN), 0);
}

TEST(BarreHud, LargeValuesDoNotOverflowTheProduct)
{
    // 20 000 000 * 200 does not fit in 32 bits.
    EXPECT_EQ(CInterface::LargeurBarre(20000000, 20000000), 200);
    EXPECT_EQ(CInterface::LargeurBarre(1000000000, 2000000000), 100);
    EXPECT_EQ(CInterface::LargeurBarre(INT_MAX, INT_MAX), 200);
    // Just under full: 199.99..., still truncated in exact integers.
    EXPECT_EQ(CInterface::LargeurBarre(INT_MAX - 1, INT_MAX), 199);
}

TEST(BarreHud, ValuesOutsideTheRangeStayWithinTheFrame)
{
    EXPECT_EQ(CInterface::LargeurBarre(-5, 1000), 0);
    EXPECT_EQ(CInterface::LargeurBarre(-1000, 1000), 0);
    EXPECT_EQ(CInterface::LargeurBarre(INT_MIN, 1000), 0);
    EXPECT_EQ(CInterface::LargeurBarre(1500, 1000), 200);
    EXPECT_EQ(CInterface::LargeurBarre(INT_MAX, 1), 200);
}
