// The end of a fade when the game holds it (the player dead, its return due),
// and the gain ramp that fades the sound out and in on M.
#include <gtest/gtest.h>

#include "moteur/Fondu.h"
#include "son/Mixeur.h"

#include <cmath>
#include <cstdlib>
#include <vector>

TEST(FinFondu, AHeldFadeToBlackKeepsItsBlackPastItsEndAndNothingElseChanges)
{
    const unsigned char noir[4] = {0, 0, 0, 255};
    const unsigned char transparent[4] = {0, 0, 0, 0};
    const Uint32 t = 5000;
    // Not held: scheduled, running up to and including the end, then over.
    EXPECT_EQ(PhaseDuFondu(t + 1000, t + 2000, t + 999, false, noir), PhaseFondu::Attente);
    EXPECT_EQ(PhaseDuFondu(t + 1000, t + 2000, t + 1000, false, noir), PhaseFondu::Dessin);
    EXPECT_EQ(PhaseDuFondu(t + 1000, t + 2000, t + 2000, false, noir), PhaseFondu::Dessin);
    EXPECT_EQ(PhaseDuFondu(t + 1000, t + 2000, t + 2001, false, noir), PhaseFondu::Fin);
    // Held: the same until the end, then its end colour stays drawn.
    EXPECT_EQ(PhaseDuFondu(t + 1000, t + 2000, t + 999, true, noir), PhaseFondu::Attente);
    EXPECT_EQ(PhaseDuFondu(t + 1000, t + 2000, t + 1500, true, noir), PhaseFondu::Dessin);
    EXPECT_EQ(PhaseDuFondu(t + 1000, t + 2000, t + 2001, true, noir), PhaseFondu::Dessin);
    EXPECT_EQ(PhaseDuFondu(t + 1000, t + 2000, t + 60000, true, noir), PhaseFondu::Dessin);
    const CouleurFondu fin = CalculeFondu(t + 1000, t + 2000, t + 2000, noir, transparent);
    EXPECT_EQ(fin.Alpha, 255);
    EXPECT_EQ(fin.Rouge + fin.Vert + fin.Bleu, 0);
    // A fade that ends transparent has nothing to hold: it ends as before,
    // without a single extra quad.
    EXPECT_EQ(PhaseDuFondu(t, t + 1000, t + 1001, true, transparent), PhaseFondu::Fin);
}

TEST(RampeSon, MutingFadesTheOutputLinearlyAndUnmutingBringsItBackUntouched)
{
    const int trames = 2000;
    const float pas = 1.0f / 1323; // 30 ms at 44.1 kHz
    std::vector<Sint16> echantillons(static_cast<size_t>(trames) * 2, 10000);
    float gain = 1.0f;
    // Heard: untouched.
    Son::AppliqueRampe(echantillons.data(), trames, 2, gain, 1.0f, pas);
    EXPECT_EQ(echantillons[3999], 10000);
    // Muted: down by one step a frame, both channels alike, to silence.
    Son::AppliqueRampe(echantillons.data(), trames, 2, gain, 0.0f, pas);
    EXPECT_EQ(gain, 0.0f);
    int plusGrandSaut = 0;
    for (int i = 1; i < trames; ++i)
    {
        EXPECT_EQ(echantillons[2 * i], echantillons[2 * i + 1]);
        plusGrandSaut = std::max(plusGrandSaut, std::abs(echantillons[2 * i] - echantillons[2 * (i - 1)]));
    }
    EXPECT_LE(plusGrandSaut, 8); // 10000 / 1323, rounded
    EXPECT_EQ(echantillons[2 * 1322], 0);
    EXPECT_GT(echantillons[2 * 1321], 0);
    EXPECT_EQ(echantillons[3999], 0);
    // Silent while muted, and back up over the same time.
    std::vector<Sint16> suite(static_cast<size_t>(trames) * 2, -8000);
    Son::AppliqueRampe(suite.data(), trames, 2, gain, 0.0f, pas);
    EXPECT_EQ(suite[123], 0);
    std::vector<Sint16> retour(static_cast<size_t>(trames) * 2, -8000);
    Son::AppliqueRampe(retour.data(), trames, 2, gain, 1.0f, pas);
    EXPECT_EQ(gain, 1.0f);
    EXPECT_GT(retour[0], -10);
    EXPECT_LT(retour[2 * 661], -3900);
    EXPECT_GT(retour[2 * 661], -4100);
    EXPECT_EQ(retour[2 * 1400], -8000);
}
