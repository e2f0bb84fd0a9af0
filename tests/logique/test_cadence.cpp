// Frame bracket arithmetic: pacing delay and fade colours.
#include <gtest/gtest.h>

#include "moteur/Fondu.h"

TEST(Pacing, DelayFollowsTheMeasuredFrameRate)
{
    EXPECT_EQ(DelaiPacing(101), 5u);
    EXPECT_EQ(DelaiPacing(100000), 5u);
    EXPECT_EQ(DelaiPacing(100), 4u);
    EXPECT_EQ(DelaiPacing(81), 4u);
    EXPECT_EQ(DelaiPacing(80), 3u);
    EXPECT_EQ(DelaiPacing(61), 3u);
    EXPECT_EQ(DelaiPacing(60), 2u);
    EXPECT_EQ(DelaiPacing(0), 2u);
}

namespace
{
    // Colours are stored blue, green, red, alpha.
    const unsigned char Transparent[4] = {0, 0, 0, 0};
    const unsigned char NoirOpaque[4] = {0, 0, 0, 255};
}

TEST(Fade, FadeInFromBlackAtStartMiddleAndEnd)
{
    const Uint32 t = 5000;
    EXPECT_EQ(CalculeFondu(t, t + 1000, t, Transparent, NoirOpaque).Alpha, 255);
    EXPECT_EQ(CalculeFondu(t, t + 1000, t + 500, Transparent, NoirOpaque).Alpha, 127);
    EXPECT_EQ(CalculeFondu(t, t + 1000, t + 999, Transparent, NoirOpaque).Alpha, 0);
    EXPECT_EQ(CalculeFondu(t, t + 1000, t + 1000, Transparent, NoirOpaque).Alpha, 0);
    EXPECT_EQ(CalculeFondu(t, t + 1000, t + 1, Transparent, NoirOpaque).Alpha, 254);
}

TEST(Fade, GreenAndBlueAreTwoTruncatedQuotientsRedAndAlphaOne)
{
    // end (b, g, r, a) = (3, 3, 3, 3), start = (2, 2, 2, 2), at a third of 3 ms:
    // red = (3*1 + 2*2) / 3 = 2, green = 3*1/3 + 2*2/3 = 1 + 1 = 2.
    // At e = 1 of T = 2 with end 1 and start 1: red (1 + 1) / 2 = 1,
    // green 1/2 + 1/2 = 0.
    const unsigned char un[4] = {1, 1, 1, 1};
    const CouleurFondu c = CalculeFondu(10, 12, 11, un, un);
    EXPECT_EQ(c.Rouge, 1);
    EXPECT_EQ(c.Alpha, 1);
    EXPECT_EQ(c.Vert, 0);
    EXPECT_EQ(c.Bleu, 0);
}

TEST(Fade, ColourOrderIsBlueGreenRedAlpha)
{
    const unsigned char fin[4] = {30, 20, 10, 40};
    const CouleurFondu c = CalculeFondu(0, 100, 100, fin, NoirOpaque);
    EXPECT_EQ(c.Rouge, 10);
    EXPECT_EQ(c.Vert, 20);
    EXPECT_EQ(c.Bleu, 30);
    EXPECT_EQ(c.Alpha, 40);
}

TEST(Fade, ZeroLengthFadeShowsItsEndColourWithoutDividing)
{
    const CouleurFondu c = CalculeFondu(700, 700, 700, Transparent, NoirOpaque);
    EXPECT_EQ(c.Alpha, 0);
    const CouleurFondu d = CalculeFondu(700, 700, 700, NoirOpaque, Transparent);
    EXPECT_EQ(d.Alpha, 255);
}

TEST(Fade, VeryLongFadeDoesNotOverflow)
{
    // 255 * e would overflow 32 bits for a fade of some days.
    const Uint32 fin = 4000000000u;
    const CouleurFondu c = CalculeFondu(0, fin, fin / 2, Transparent, NoirOpaque);
    EXPECT_EQ(c.Alpha, 127);
}
