// M in the real game, its sound written by SDL's disk audio driver: the music
// fades out over a few tens of milliseconds and comes back the same way,
// with no step between two samples larger than the music itself makes.
#include <gtest/gtest.h>

#include "aide/Aide.h"
#include "aide/Partie.h"
#include "aide/SortieSon.h"
#include "son/NomsSons.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace
{
    const size_t Ms = Son::Frequence / 1000;

    // The first run of at least `longueur` samples of silence from `depuis`:
    // its first sample and the one after it, or false.
    bool Silence(const std::vector<float>& x, size_t depuis, size_t longueur, size_t& debut, size_t& fin)
    {
        size_t i = depuis;
        while (i < x.size())
        {
            if (std::fabs(x[i]) >= 1.0f / 32768)
            {
                ++i;
                continue;
            }
            size_t j = i;
            while (j < x.size() && std::fabs(x[j]) < 1.0f / 32768)
                ++j;
            if (j - i >= longueur)
            {
                debut = i;
                fin = j;
                return true;
            }
            i = j;
        }
        return false;
    }

    // The largest step between two neighbouring samples of [a, b), in 16-bit units.
    double PlusGrandSaut(const std::vector<float>& x, size_t a, size_t b)
    {
        double saut = 0;
        for (size_t i = a + 1; i < b && i < x.size(); ++i)
            saut = std::max(saut, std::fabs(static_cast<double>(x[i]) - x[i - 1]) * 32768);
        return saut;
    }

    double Crete(const std::vector<float>& x, size_t a, size_t b)
    {
        double c = 0;
        for (size_t i = a; i < b && i < x.size(); ++i)
            c = std::max(c, std::fabs(static_cast<double>(x[i])) * 32768);
        return c;
    }

    double Efficace(const std::vector<float>& x, size_t a, size_t b)
    {
        return ::Efficace(std::vector<float>(x.begin() + static_cast<long>(a), x.begin() + static_cast<long>(b)));
    }
}

TEST(SonCoupure, MFadesTheMusicOutAndBackInWithoutAClick)
{
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under xvfb-run";
    DossierTemporaire dossier;
    const std::string fichier = dossier / "sortie.raw";
    PartieJeu partie("", SonSurDisque(fichier));
    ASSERT_TRUE(partie.FenetreVisible());
    // The music on, past its own fade-in.
    ASSERT_TRUE(AttendreSortieSon(fichier, 0, 1.0, true));
    ASSERT_TRUE(AttendreSortieSon(fichier, LireSortieSon(fichier).size(), 2.0, false));
    const size_t avantCoupure = LireSortieSon(fichier).size();
    partie.Taper("m");
    ASSERT_TRUE(AttendreSortieSon(fichier, avantCoupure, 1.5, false));
    partie.Taper("m");
    ASSERT_TRUE(AttendreSortieSon(fichier, LireSortieSon(fichier).size(), 1.5, false));
    EXPECT_EQ(partie.Quitter(), 0);
    const std::vector<float> x = LireSortieSon(fichier);

    // The muted stretch: the first long silence after M.
    size_t debut = 0, fin = 0;
    ASSERT_TRUE(Silence(x, avantCoupure > 200 * Ms ? avantCoupure - 200 * Ms : 0, 300 * Ms, debut, fin));
    ASSERT_GT(debut, 600 * Ms);
    ASSERT_LT(fin + 300 * Ms, x.size());

    // The music as it plays, away from the mute.
    const double crete = Crete(x, debut - 600 * Ms, debut - 100 * Ms);
    const double sautMusique = PlusGrandSaut(x, debut - 600 * Ms, debut - 100 * Ms);
    const double niveau = Efficace(x, debut - 150 * Ms, debut - 100 * Ms);
    ASSERT_GT(niveau, 0.003);
    // Into and out of the silence.
    const double sautCoupure = PlusGrandSaut(x, debut - 5 * Ms, debut + 1);
    const double sautRetour = PlusGrandSaut(x, fin - 1, fin + 5 * Ms);
    const double finCoupure = Efficace(x, debut - 5 * Ms, debut);
    const double debutRetour = Efficace(x, fin, fin + 5 * Ms);
    const double apres = Efficace(x, fin + 100 * Ms, fin + 150 * Ms);
    std::printf("music: peak %.0f, largest step %.0f, RMS %.4f; mute: last step %.0f, last 5 ms RMS %.4f; "
                "unmute: first step %.0f, first 5 ms RMS %.4f, then RMS %.4f\n",
                crete, sautMusique, niveau, sautCoupure, finCoupure, sautRetour, debutRetour, apres);
    // No step at either edge bigger than the music's own, and the last and
    // first few milliseconds well under the music's level: a ramp, not a cut.
    EXPECT_LE(sautCoupure, sautMusique);
    EXPECT_LE(sautRetour, sautMusique);
    EXPECT_LT(finCoupure, niveau * 0.4);
    EXPECT_LT(debutRetour, apres * 0.4);
    // The ramps are short: the music is back at its level 100 ms after.
    EXPECT_GT(apres, 0.003);
}
