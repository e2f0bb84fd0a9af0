// The pause caption's pulse and the game screen's event table.
#include <gtest/gtest.h>

#include "main/BoucleJeu.h"
#include "main/Globales.h"
#include "outils/Horloge.h"

#include <vector>

TEST(PauseCaption, AlphaRisesHoldsThenFalls)
{
    EXPECT_EQ(AlphaPause(0), 0);
    EXPECT_EQ(AlphaPause(1), 1);
    EXPECT_EQ(AlphaPause(255), 255);
    EXPECT_EQ(AlphaPause(256), 255);
    EXPECT_EQ(AlphaPause(257), 254);
    EXPECT_EQ(AlphaPause(510), 1);
}

TEST(PauseCaption, OneStepPerFrameGivesTheWholeCycle)
{
    EtatPause pause = {0, 1000};
    std::vector<int> alphas;
    Uint32 t = 1000;
    for (int frame = 0; frame < 512; ++frame)
    {
        alphas.push_back(AlphaPause(pause.Compteur));
        t += 6;
        AvancePause(pause, t + 1); // exactly one whole step lies in the past
    }
    ASSERT_EQ(alphas.size(), 512u);
    for (int i = 0; i <= 255; ++i)
        EXPECT_EQ(alphas[i], i);
    EXPECT_EQ(alphas[256], 255);
    EXPECT_EQ(alphas[257], 254);
    EXPECT_EQ(alphas[510], 1);
    EXPECT_EQ(alphas[511], 0); // and the cycle starts again
}

TEST(PauseCaption, OnlyStepsStrictlyInThePastCount)
{
    EtatPause pause = {0, 100};
    AvancePause(pause, 106); // 106 is not strictly after 100 + 6
    EXPECT_EQ(pause.Compteur, 0u);
    EXPECT_EQ(pause.Reference, 100u);
    AvancePause(pause, 107);
    EXPECT_EQ(pause.Compteur, 1u);
    EXPECT_EQ(pause.Reference, 106u); // the leftover stays for the next frame
    AvancePause(pause, 125);          // 112 and 118 are past, 124 too
    EXPECT_EQ(pause.Compteur, 4u);
    EXPECT_EQ(pause.Reference, 124u);
}

TEST(PauseCaption, PassingFiveHundredTenResetsToZero)
{
    EtatPause pause = {500, 0};
    AvancePause(pause, 6 * 11 + 1); // counter would reach 511
    EXPECT_EQ(pause.Compteur, 0u);
    EtatPause lente = {0, 0};
    AvancePause(lente, 6 * 2000 + 1); // a very long frame: reset, not a remainder
    EXPECT_EQ(lente.Compteur, 0u);
}

TEST(PauseCaption, ClockWrapNeitherHangsNorMiscounts)
{
    EtatPause pause = {0, 0xFFFFFFF0u};
    AvancePause(pause, 0xFFFFFFFFu);
    EXPECT_EQ(pause.Compteur, 2u);
    AvancePause(pause, 0x00000010u); // after the wrap: 0xFFFFFFFC + 6k < 0x10
    EXPECT_EQ(pause.Compteur, 5u);
}

namespace
{
    SDL_Event Cle(Uint8 type, SDLKey cle)
    {
        SDL_Event e;
        SDL_memset(&e, 0, sizeof e);
        e.type = type;
        e.key.type = type;
        e.key.keysym.sym = cle;
        return e;
    }

    class Evenements : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            Horloge::FixerTemps(10000);
            Personnages.assign(1, CPerso());
            PersoPrincipal = 0;
            continuer = true;
            JeuEnPause = false;
            pause = {77, 5};
        }
        void TearDown() override
        {
            continuer = true;
            JeuEnPause = false;
            Horloge::TempsReel();
        }
        const bool* Touches() { return Personnages[0].Touches; }
        EtatPause pause;
    };
}

TEST_F(Evenements, ArrowKeysSetAndClearThePlayersKeys)
{
    const SDLKey cles[4] = {SDLK_UP, SDLK_DOWN, SDLK_LEFT, SDLK_RIGHT};
    for (int k = 0; k < 4; ++k)
    {
        TraiteEvenement(Cle(SDL_KEYDOWN, cles[k]), pause);
        EXPECT_TRUE(Touches()[k]) << k;
        TraiteEvenement(Cle(SDL_KEYUP, cles[k]), pause);
        EXPECT_FALSE(Touches()[k]) << k;
    }
    TraiteEvenement(Cle(SDL_KEYDOWN, SDLK_LEFT), pause);
    TraiteEvenement(Cle(SDL_KEYDOWN, SDLK_RIGHT), pause);
    EXPECT_TRUE(Touches()[2]);
    EXPECT_TRUE(Touches()[3]);
}

TEST_F(Evenements, PTogglesOnReleaseOnlyAndRestartsTheCaption)
{
    TraiteEvenement(Cle(SDL_KEYDOWN, SDLK_p), pause);
    EXPECT_FALSE(JeuEnPause);
    EXPECT_EQ(pause.Compteur, 77u);
    TraiteEvenement(Cle(SDL_KEYUP, SDLK_p), pause);
    EXPECT_TRUE(JeuEnPause);
    EXPECT_EQ(pause.Compteur, 0u);
    EXPECT_EQ(pause.Reference, 10000u);
    pause.Compteur = 40;
    Horloge::AvancerTemps(500);
    TraiteEvenement(Cle(SDL_KEYDOWN, SDLK_p), pause);
    TraiteEvenement(Cle(SDL_KEYUP, SDLK_p), pause);
    EXPECT_FALSE(JeuEnPause);
    EXPECT_EQ(pause.Compteur, 0u);
    EXPECT_EQ(pause.Reference, 10500u);
}

TEST_F(Evenements, EscapeQuitsOnPressOnlyAndCloseQuits)
{
    TraiteEvenement(Cle(SDL_KEYUP, SDLK_ESCAPE), pause);
    EXPECT_TRUE(continuer);
    TraiteEvenement(Cle(SDL_KEYDOWN, SDLK_ESCAPE), pause);
    EXPECT_FALSE(continuer);
    continuer = true;
    SDL_Event quitter;
    SDL_memset(&quitter, 0, sizeof quitter);
    quitter.type = SDL_QUIT;
    TraiteEvenement(quitter, pause);
    EXPECT_FALSE(continuer);
}

TEST_F(Evenements, OtherKeysAndEventsDoNothing)
{
    TraiteEvenement(Cle(SDL_KEYDOWN, SDLK_a), pause);
    TraiteEvenement(Cle(SDL_KEYUP, SDLK_SPACE), pause);
    SDL_Event souris;
    SDL_memset(&souris, 0, sizeof souris);
    souris.type = SDL_MOUSEMOTION;
    TraiteEvenement(souris, pause);
    EXPECT_TRUE(continuer);
    EXPECT_FALSE(JeuEnPause);
    for (int k = 0; k < 4; ++k)
        EXPECT_FALSE(Touches()[k]);
}

TEST(Etats, IntroAndMenuLeadToTheGame)
{
    EXPECT_EQ(BoucleRenderIntro(), 1);
    EXPECT_EQ(BoucleRenderMenu(), 3);
}

TEST(Etats, GameLoopStartsTheFadeInEvenWhenItRunsNoFrame)
{
    Horloge::FixerTemps(40000);
    Moteur.FonduActif = false;
    continuer = false;
    EXPECT_EQ(BoucleRenderJeu(), EcranAucun);
    continuer = true;
    EXPECT_TRUE(Moteur.FonduActif);
    EXPECT_EQ(Moteur.DebutFondu, 40000u);
    EXPECT_EQ(Moteur.FinFondu, 41000u);
    EXPECT_EQ(Moteur.CouleurDebutFondu[3], 255);
    EXPECT_EQ(Moteur.CouleurFinFondu[3], 0);
    Moteur.FonduActif = false;
    Horloge::TempsReel();
}
