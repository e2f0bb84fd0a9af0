// The real game's sound, written to a file by SDL's disk audio driver: the
// jump is heard when Up is pressed and not otherwise, the music plays under
// it, and without a usable audio device the game plays on in silence.
#include <gtest/gtest.h>

#include "aide/Aide.h"
#include "aide/Partie.h"
#include "aide/SortieSon.h"
#include "son/FichierSon.h"
#include "son/NomsSons.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace
{
    std::vector<float> Saut()
    {
        std::vector<float> saut;
        int frequence = 0;
        EXPECT_TRUE(Son::LireEchantillons(DossierJeu() + "/Sons/" + Son::FichiersEffets[static_cast<int>(Son::Effet::Saut)],
                                          saut, frequence));
        return saut;
    }

    // Plays the game for a while with its sound going to a file; presses Up
    // halfway when asked. What was played, left channel.
    std::vector<float> Jouer(bool sauter)
    {
        DossierTemporaire dossier;
        const std::string fichier = dossier / "sortie.raw";
        PartieJeu partie("", SonSurDisque(fichier));
        EXPECT_TRUE(partie.FenetreVisible());
        if (!partie.FenetreVisible())
            return {};
        // The device opened, the sounds loaded, the music on.
        EXPECT_TRUE(AttendreSortieSon(fichier, 0, 1.0, true));
        const size_t avant = LireSortieSon(fichier).size();
        if (sauter)
        {
            // Held until the jump is heard: a press and release in one frame
            // moves nothing, and a loaded machine may draw few frames.
            partie.Appuyer("Up");
            EXPECT_TRUE(AttendreMotif(fichier, avant, Saut(), 0.75));
            partie.Relacher("Up");
        }
        EXPECT_TRUE(AttendreSortieSon(fichier, avant, 1.0, false));
        EXPECT_EQ(partie.Quitter(), 0);
        return LireSortieSon(fichier);
    }
}

TEST(SonDuJeu, TheJumpIsInTheOutputWhenUpIsPressedAndNowhereWithoutIt)
{
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under xvfb-run";
    const std::vector<float> saut = Saut();
    ASSERT_FALSE(saut.empty());

    const std::vector<float> avec = Jouer(true);
    const std::vector<float> sans = Jouer(false);
    // Seconds of sound, the music playing under everything.
    ASSERT_GT(avec.size(), static_cast<size_t>(Son::Frequence));
    ASSERT_GT(sans.size(), static_cast<size_t>(Son::Frequence));
    EXPECT_GT(Efficace(sans), 0.01);
    const double trouve = Ressemblance(avec, saut);
    const double absent = Ressemblance(sans, saut);
    std::printf("the jump: %.3f with Up, %.3f without\n", trouve, absent);
    EXPECT_GT(trouve, 0.75);
    EXPECT_LT(absent, 0.45);
}

TEST(SonDuJeu, WithoutAnAudioDeviceTheGamePlaysSilentlyAndQuitsCleanly)
{
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under xvfb-run";
    for (const char* pilote : {"dummy", "pilote-qui-n-existe-pas"})
    {
        DossierTemporaire dossier;
        const std::string erreurs = dossier / "erreurs.txt";
        PartieJeu partie("", {std::string("SDL_AUDIODRIVER=") + pilote});
        ASSERT_TRUE(partie.FenetreVisible()) << pilote;
        // Drawing (its sounds loaded, one per frame, by then); the music
        // switched off and a jump played, silently: the jump seen on the
        // screen, the key for the music handled before it.
        ImageRGBA repos, saut;
        const std::string capture = dossier / "capture.png";
        ASSERT_GE(partie.AttendreScene(capture, repos), 0) << pilote << ": no scene within 60 s";
        ASSERT_GE(partie.AttendreRepos(capture, repos), 0) << pilote << ": the view never rests";
        partie.Taper("m");
        partie.Appuyer("Up");
        EXPECT_GE(partie.AttendreImage(capture, saut, 30000,
                                       [&](const ImageRGBA& i)
                                       { return DifferencesAuMilieu(repos, i) * 50 > i.Largeur * i.Hauteur; }),
                  0)
            << pilote << ": Up held, no jump seen in 30 s";
        partie.Relacher("Up");
        EXPECT_TRUE(partie.EnCours()) << pilote;
        EXPECT_EQ(partie.Quitter(), 0) << pilote;
    }
}

namespace
{
    // RMS of the last half second of the output, at most `secondes` more
    // seconds of it after now, from the first moment it passes `seuil`
    // (downwards when `silence`, upwards else) or at the end: the key that
    // changes it may reach a game on a crowded machine late, while the
    // driver writes on at its own pace.
    double EfficaceFin(const std::vector<float>& sortie)
    {
        const size_t n = std::min(sortie.size(), static_cast<size_t>(Son::Frequence) / 2);
        return Efficace(std::vector<float>(sortie.end() - static_cast<long>(n), sortie.end()));
    }

    double FinQuand(const std::string& fichier, bool silence, double seuil, double secondes)
    {
        const size_t avant = LireSortieSon(fichier).size();
        // The half second measured lies wholly after the key.
        EXPECT_TRUE(AttendreSortieSon(fichier, avant, 0.5, false));
        double rms = EfficaceFin(LireSortieSon(fichier));
        for (double ecrit = 0.5; ecrit < secondes && (silence ? rms >= seuil : rms <= seuil); ecrit += 0.1)
        {
            if (!AttendreSortieSon(fichier, avant, ecrit + 0.1, false))
                break;
            rms = EfficaceFin(LireSortieSon(fichier));
        }
        return rms;
    }
}

TEST(SonDuJeu, PauseStopsTheMusicAndMSilencesEverything)
{
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under xvfb-run";
    DossierTemporaire dossier;
    const std::string fichier = dossier / "sortie.raw";
    PartieJeu partie("", SonSurDisque(fichier));
    ASSERT_TRUE(partie.FenetreVisible());
    ASSERT_TRUE(AttendreSortieSon(fichier, 0, 1.0, true));
    // Paused: the short pause sound, then nothing.
    partie.Taper("p");
    EXPECT_LT(FinQuand(fichier, true, 1e-3, 10.0), 1e-3);
    partie.Taper("p");
    EXPECT_GT(FinQuand(fichier, false, 0.005, 10.0), 0.005);
    // Muted: nothing at all; unmuted: the music again.
    partie.Taper("m");
    EXPECT_LT(FinQuand(fichier, true, 1e-3, 10.0), 1e-3);
    partie.Taper("m");
    EXPECT_GT(FinQuand(fichier, false, 0.005, 10.0), 0.005);
    EXPECT_EQ(partie.Quitter(), 0);
}
