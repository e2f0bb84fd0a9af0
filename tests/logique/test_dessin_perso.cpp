// The character's frame without a window: the catch-up of movement steps on
// the clock, pause, the animation frame, bonuses, death and the return to the
// level's start.
#include "NiveauPerso.h"

using EssaisPerso::ConstruireNiveau;

#include <vector>

namespace
{
    // Flat ground on row 4 (top 256), a pool of water at column 8 on row 3,
    // and the start cell on the ground at column 2, row 3 (counted from 0).
    const std::vector<std::string> Niveau = {
        "............",
        "............",
        "............",
        "..D.....~...",
        "############",
    };
    const int T = 256;
    const int DebutX = 2 * 64;
    const int DebutY = 3 * 64;

    CPerso Place(int x, int y)
    {
        CPerso p;
        p.ModifPos(x, y);
        return p;
    }
}

// ---------------------------------------------------------------------------
// Steps on the clock

using PersoCadence = EssaisPerso::NiveauPerso;

TEST_F(PersoCadence, OneStepForEveryWholeFiveMillisecondsElapsed)
{
    ConstruireNiveau(Niveau);
    CPerso p = Place(64, T - 64);
    p.ModifTouche(CPerso::ToucheDroite, true);
    p.AvanceDepl(); // placed 10 ms ago: one step, 5 ms stay pending
    EXPECT_EQ(p.PosX, 65);
    EXPECT_EQ(p.DernierDepl, Debut - 5);
    p.AvanceDepl(); // nothing more is due
    EXPECT_EQ(p.PosX, 65);
    Horloge::AvancerTemps(1); // 6 ms pending
    p.AvanceDepl();
    EXPECT_EQ(p.PosX, 66);
    Horloge::AvancerTemps(52); // 53 ms pending: ten steps, 3 ms left
    p.AvanceDepl();
    EXPECT_EQ(p.PosX, 76);
    EXPECT_EQ(p.DernierDepl, Debut + 50);
}

TEST_F(PersoCadence, PauseMovesTheStepClockOnWithoutSteppingOrAnimating)
{
    ConstruireNiveau(Niveau);
    CPerso p = Place(64, T - 64);
    p.ModifTouche(CPerso::ToucheDroite, true);
    Horloge::AvancerTemps(250);
    Cadre(p); // starts walking: the walking frames start now
    Horloge::AvancerTemps(250);
    Cadre(p);
    const int x = p.PosX;
    const int image = CPerso::ImageAnim();
    ASSERT_GT(image, 0);
    JeuEnPause = true;
    for (int i = 0; i < 100; ++i)
    {
        Horloge::AvancerTemps(17);
        Cadre(p);
        ASSERT_EQ(p.PosX, x);
        ASSERT_EQ(CPerso::ImageAnim(), image);
    }
    // The step clock kept up: the paused time is never replayed.
    EXPECT_LE(Horloge::Ticks() - p.DernierDepl, 5u);
    JeuEnPause = false;
    Horloge::AvancerTemps(10);
    Cadre(p);
    EXPECT_LE(p.PosX - x, 3);
    EXPECT_GE(p.PosX - x, 1);
}

TEST_F(PersoCadence, ADeadCharacterRunsNoStep)
{
    ConstruireNiveau(Niveau);
    CPerso p = Place(64, 0);
    p.Etat = CPerso::Mort;
    p.DebutAnim = Debut + 100000;
    Horloge::AvancerTemps(500);
    p.AvanceDepl();
    EXPECT_EQ(p.PosY, 0);
    EXPECT_EQ(p.DernierDepl, Debut - 10);
}

TEST_F(PersoCadence, TheWrapOfTheClockNeitherStopsNorFloodsTheSteps)
{
    ConstruireNiveau(Niveau);
    Horloge::FixerTemps(0xFFFFFFF0u);
    CPerso p = Place(64, T - 64);
    p.ModifTouche(CPerso::ToucheDroite, true);
    Horloge::FixerTemps(0x00000010u); // 32 ms later, across the wrap
    p.AvanceDepl();
    EXPECT_EQ(p.PosX, 64 + 8); // (32 + 10 - 1) / 5 steps
    EXPECT_EQ(p.DernierDepl, 0x0000000Eu);
    // A step clock ahead of the present asks for nothing.
    p.DernierDepl = 0x00000100u;
    p.AvanceDepl();
    EXPECT_EQ(p.PosX, 64 + 8);
    EXPECT_EQ(p.DernierDepl, 0x00000100u);
}

// ---------------------------------------------------------------------------
// Animation frames

using PersoAnimation = EssaisPerso::NiveauPerso;

TEST_F(PersoAnimation, TenFramesOfAHundredMillisecondsMakeAOneSecondCycle)
{
    CPerso p;
    p.DebutAnim = Debut;
    const struct
    {
        Uint32 ecoule;
        int image;
    } cas[] = {{0, 0}, {99, 0}, {100, 1}, {199, 1}, {200, 2}, {850, 8},
               {899, 8}, {900, 9}, {999, 9}, {1000, 9}, {1001, 0}, {1100, 1},
               {2000, 9}, {2001, 0}, {5432, 4}};
    for (const auto& c : cas)
    {
        Horloge::FixerTemps(Debut + c.ecoule);
        p.AvanceAnim();
        EXPECT_EQ(CPerso::ImageAnim(), c.image) << c.ecoule;
    }
    // The start of the cycle moves on by whole seconds.
    EXPECT_EQ(p.DebutAnim, Debut + 5000);
}

TEST_F(PersoAnimation, AStartInTheFutureShowsTheFirstFrame)
{
    CPerso p;
    p.DebutAnim = Debut + 2000;
    Horloge::FixerTemps(Debut + 500);
    p.AvanceAnim();
    EXPECT_EQ(CPerso::ImageAnim(), 0);
    EXPECT_EQ(p.DebutAnim, Debut + 2000);
}

TEST_F(PersoAnimation, TheCycleRestartsWhenTheCharacterStartsWalking)
{
    ConstruireNiveau(Niveau);
    CPerso p = Place(64, T - 64);
    p.DebutAnim = Debut;
    Horloge::AvancerTemps(730);
    Cadre(p);
    EXPECT_EQ(CPerso::ImageAnim(), 7);
    p.ModifTouche(CPerso::ToucheDroite, true);
    Horloge::AvancerTemps(50);
    Cadre(p);
    ASSERT_EQ(p.Etat, CPerso::Marche);
    EXPECT_EQ(CPerso::ImageAnim(), 0);
    Horloge::AvancerTemps(100);
    Cadre(p);
    EXPECT_EQ(CPerso::ImageAnim(), 1);
}

TEST_F(PersoAnimation, TheCycleSurvivesTheWrapOfTheClock)
{
    CPerso p;
    p.DebutAnim = 0xFFFFFF00u;
    Horloge::FixerTemps(0x00000100u); // 512 ms later
    p.AvanceAnim();
    EXPECT_EQ(CPerso::ImageAnim(), 5);
    Horloge::FixerTemps(0x00000100u + 1000);
    p.AvanceAnim();
    EXPECT_EQ(CPerso::ImageAnim(), 5);
    EXPECT_EQ(p.DebutAnim, 0xFFFFFF00u + 1000);
}

TEST_F(PersoAnimation, FramesFollowTheStateAndFacing)
{
    CPerso p;
    for (int i = 0; i < 40; ++i)
        p.Textures[i] = 100 + static_cast<unsigned>(i);
    p.DebutAnim = Debut - 350; // frame 3
    p.AvanceAnim();
    ASSERT_EQ(CPerso::ImageAnim(), 3);
    unsigned int texture = 0;
    int largeur = 0;
    const struct
    {
        int etat;
        bool droite;
        bool dessine;
        unsigned int texture;
        int largeur;
    } cas[] = {
        {CPerso::Immobile, true, true, 103, 64},  {CPerso::Immobile, false, true, 103, 64},
        {CPerso::Marche, true, true, 113, 64},    {CPerso::Marche, false, true, 113, -64},
        {CPerso::EnLAir, true, true, 123, 64},    {CPerso::EnLAir, false, true, 123, -64},
        {CPerso::Accroche, true, true, 133, 64},  {CPerso::Accroche, false, true, 133, -64},
        {CPerso::Lache, true, false, 0, 0},       {CPerso::Mort, false, false, 0, 0},
    };
    for (const auto& c : cas)
    {
        p.Etat = c.etat;
        p.VersDroite = c.droite;
        texture = 0;
        largeur = 0;
        EXPECT_EQ(p.ChoisitImage(texture, largeur), c.dessine) << c.etat;
        if (c.dessine)
        {
            EXPECT_EQ(texture, c.texture) << c.etat;
            EXPECT_EQ(largeur, c.largeur) << c.etat << " " << c.droite;
        }
    }
}

// ---------------------------------------------------------------------------
// Bonuses

using PersoBonus = EssaisPerso::NiveauPerso;

TEST_F(PersoBonus, EachTypeAddsItsShareAndLifeAndManaAreClamped)
{
    ConstruireNiveau(Niveau);
    const int vie[9] = {100, 350, 600, 850, 1000, 100, 100, 100, 100};
    const int mana[9] = {100, 100, 100, 100, 100, 350, 600, 850, 1000};
    for (int type = 0; type <= 8; ++type)
    {
        CPerso p = Place(64 * 5 + 10, 64 + 20);
        p.Vie = 100;
        p.Mana = 100;
        Map.ListeBonus.clear();
        Map.AddBonus(5, 1, type);
        p.PrendBonus();
        EXPECT_EQ(p.Vie, vie[type]) << type;
        EXPECT_EQ(p.Mana, mana[type]) << type;
        EXPECT_TRUE(Map.ListeBonus.empty()) << type;
    }
    CPerso p = Place(64 * 5, 64);
    p.Vie = 700;
    p.Mana = 300;
    Map.AddBonus(5, 1, 2);
    Map.AddBonus(5, 1, 5);
    p.PrendBonus();
    EXPECT_EQ(p.Vie, 1000); // 700 + 500, clamped
    p.PrendBonus();
    EXPECT_EQ(p.Mana, 550);
    // Over the maximum without a bonus: clamped all the same.
    p.Vie = 5000;
    p.Mana = 5000;
    p.PrendBonus();
    EXPECT_EQ(p.Vie, 1000);
    EXPECT_EQ(p.Mana, 1000);
}

TEST_F(PersoBonus, TheTopLeftCornerOfTheSquareTakesTheBonusNotTheCentre)
{
    ConstruireNiveau(Niveau);
    Map.AddBonus(5, 1, 6);
    CPerso p = Place(64 * 5 - 10, 64);
    p.Mana = 0;
    p.PrendBonus(); // the centre is in the bonus's tile, the corner is not
    EXPECT_EQ(p.Mana, 0);
    EXPECT_EQ(Map.ListeBonus.size(), 1u);
    p.PosX = 64 * 5;
    p.PrendBonus();
    EXPECT_EQ(p.Mana, 500);
    EXPECT_TRUE(Map.ListeBonus.empty());
}

TEST_F(PersoBonus, ABonusTakenInTheFrameOfADeathIsAppliedFirst)
{
    ConstruireNiveau(Niveau);
    // The centre over the pool, a life bonus on the corner's tile.
    Map.AddBonus(7, 3, 4);
    CPerso p = Place(8 * 64 - 20, 3 * 64);
    p.Vie = 10;
    Cadre(p);
    EXPECT_EQ(p.Etat, CPerso::Mort);
    EXPECT_EQ(p.Vie, 0);
    EXPECT_TRUE(Map.ListeBonus.empty());
}

// ---------------------------------------------------------------------------
// Death and the return to the start

using PersoRetour = EssaisPerso::NiveauPerso;

TEST_F(PersoRetour, TheCentreInWaterKillsAndTheCharacterComesBackTwoSecondsLater)
{
    ConstruireNiveau(Niveau);
    // The corner is outside the pool, the centre inside.
    CPerso p = Place(8 * 64 - 30, 3 * 64 - 30);
    p.Mana = 300;
    p.Touches[CPerso::ToucheDroite] = true;
    p.VersDroite = true;
    const Uint32 mort = Horloge::Ticks();
    p.VerifieMort();
    EXPECT_EQ(p.Etat, CPerso::Mort);
    EXPECT_EQ(p.Vie, 0);
    EXPECT_EQ(p.DebutAnim, mort + 2000);
    ASSERT_TRUE(Moteur.FonduActif);
    EXPECT_EQ(Moteur.DebutFondu, mort + 1000);
    EXPECT_EQ(Moteur.FinFondu, mort + 2000);
    EXPECT_EQ(Moteur.CouleurDebutFondu[3], 0);
    EXPECT_EQ(Moteur.CouleurFinFondu[3], 255);

    // Still dead at exactly two seconds, frame after frame.
    for (int i = 0; i < 100; ++i)
    {
        Horloge::AvancerTemps(20);
        Cadre(p);
        ASSERT_EQ(p.Etat, CPerso::Mort);
    }
    EXPECT_EQ(Horloge::Ticks(), mort + 2000);
    Horloge::AvancerTemps(1);
    Cadre(p);
    EXPECT_EQ(p.Etat, CPerso::Immobile);
    EXPECT_EQ(p.PosX, DebutX);
    EXPECT_EQ(p.PosY, DebutY);
    EXPECT_EQ(p.Vie, 1000);
    EXPECT_EQ(p.Mana, 300);
    EXPECT_EQ(p.VitesseX, 0.0);
    EXPECT_EQ(p.VitesseY, 0.0);
    EXPECT_TRUE(p.VersDroite);
    EXPECT_TRUE(p.Touches[CPerso::ToucheDroite]);
    EXPECT_EQ(p.DebutAnim, mort + 2001);
    // Opaque black at once, clear a second later.
    EXPECT_EQ(Moteur.DebutFondu, mort + 2001);
    EXPECT_EQ(Moteur.FinFondu, mort + 3001);
    EXPECT_EQ(Moteur.CouleurDebutFondu[3], 255);
    EXPECT_EQ(Moteur.CouleurFinFondu[3], 0);
}

TEST_F(PersoRetour, AfterTheReturnOnlyTheStepsSinceTheReturnAreRun)
{
    ConstruireNiveau(Niveau);
    CPerso p = Place(8 * 64, 3 * 64);
    p.Touches[CPerso::ToucheDroite] = true;
    Cadre(p); // into the pool: dead
    ASSERT_EQ(p.Etat, CPerso::Mort);
    Horloge::AvancerTemps(2001);
    Cadre(p);
    ASSERT_EQ(p.Etat, CPerso::Immobile);
    const Uint32 retour = Horloge::Ticks();
    EXPECT_EQ(p.PosX, DebutX);
    EXPECT_EQ(p.PosY, DebutY);
    // The step clock and the fall reference start again from here.
    EXPECT_EQ(p.DernierDepl, retour - 10);
    EXPECT_EQ(p.DebutChute, DebutY);
    // 20 ms later: five steps (the 10 ms of placement plus 20, 5 left over),
    // walking right one pixel a step from the start.
    Horloge::AvancerTemps(20);
    Cadre(p);
    EXPECT_EQ(p.PosX, DebutX + 5);
    EXPECT_EQ(p.DernierDepl, retour + 15);
    EXPECT_EQ(p.Vie, 1000);
}

TEST_F(PersoRetour, NoLifeKillsWithoutWater)
{
    ConstruireNiveau(Niveau);
    CPerso p = Place(64, T - 64);
    p.Vie = -5;
    p.VerifieMort();
    EXPECT_EQ(p.Etat, CPerso::Mort);
    EXPECT_EQ(p.Vie, 0);
    // Already dead: nothing more happens, no new fade.
    Moteur.FonduActif = false;
    p.VerifieMort();
    EXPECT_FALSE(Moteur.FonduActif);
    EXPECT_EQ(p.DebutAnim, Debut + 2000);
}

TEST_F(PersoRetour, ADeadCharacterComesBackEvenWhilePaused)
{
    ConstruireNiveau(Niveau);
    CPerso p = Place(8 * 64, 3 * 64);
    Cadre(p);
    ASSERT_EQ(p.Etat, CPerso::Mort);
    JeuEnPause = true;
    Horloge::AvancerTemps(2001);
    Cadre(p);
    EXPECT_EQ(p.Etat, CPerso::Immobile);
    EXPECT_EQ(p.PosX, DebutX);
    // Paused: it stands where it came back.
    Horloge::AvancerTemps(500);
    Cadre(p);
    EXPECT_EQ(p.PosX, DebutX);
    EXPECT_EQ(p.PosY, DebutY);
}

TEST_F(PersoRetour, ADrowningFoundByTheStepComesBackAtTheNextFrameWithoutAFadeToBlack)
{
    ConstruireNiveau({
        "....",
        "~~~~",
        "~~~~",
        "####",
    });
    Map.PosDebutX = 1;
    Map.PosDebutY = 1;
    CPerso p = Place(64, 2 * 64);
    Horloge::AvancerTemps(4); // one step due
    p.AvanceDepl();
    p.VerifieMort();
    // The step found the whole box under water: dead, life kept, back as soon
    // as the clock has passed the moment of death.
    ASSERT_EQ(p.Etat, CPerso::Mort);
    EXPECT_EQ(p.Vie, 1000);
    EXPECT_FALSE(Moteur.FonduActif);
    p.VerifieRetour();
    EXPECT_EQ(p.Etat, CPerso::Mort);
    Horloge::AvancerTemps(1);
    Cadre(p);
    EXPECT_EQ(p.Etat, CPerso::Immobile);
    EXPECT_EQ(p.PosX, 0);
    EXPECT_EQ(p.PosY, 0);
    EXPECT_TRUE(Moteur.FonduActif);
    EXPECT_EQ(Moteur.CouleurDebutFondu[3], 255);
}

TEST_F(PersoRetour, ADeathJustBeforeTheWrapOfTheClockStillLastsTwoSeconds)
{
    ConstruireNiveau(Niveau);
    Horloge::FixerTemps(0xFFFFFB00u);
    CPerso p = Place(8 * 64, 3 * 64);
    p.VerifieMort();
    ASSERT_EQ(p.Etat, CPerso::Mort);
    Horloge::AvancerTemps(1000); // past the wrap, a second after the death
    p.VerifieRetour();
    EXPECT_EQ(p.Etat, CPerso::Mort);
    Horloge::AvancerTemps(1001);
    p.VerifieRetour();
    EXPECT_EQ(p.Etat, CPerso::Immobile);
}

TEST_F(PersoRetour, ALongFallKillsAndTheCharacterComesBackAtTheStart)
{
    // A shaft of 60 tiles: far more than the 3584 px that take all the life.
    std::vector<std::string> puits(60, "...");
    puits.push_back("###");
    puits[0] = ".D.";
    ConstruireNiveau(puits);
    CPerso p = Place(64, 0);
    bool mort = false;
    for (int i = 0; i < 400 && !mort; ++i)
    {
        Horloge::AvancerTemps(16);
        Cadre(p);
        mort = p.Etat == CPerso::Mort;
    }
    ASSERT_TRUE(mort);
    EXPECT_EQ(p.Vie, 0);
    EXPECT_TRUE(Moteur.FonduActif);
    EXPECT_EQ(Moteur.CouleurFinFondu[3], 255);
    const int fond = p.PosY;
    EXPECT_GT(fond, 3584);
    Horloge::AvancerTemps(2100);
    Cadre(p);
    EXPECT_EQ(p.Etat, CPerso::Immobile);
    EXPECT_EQ(p.PosX, 64);
    EXPECT_EQ(p.PosY, 0);
    EXPECT_EQ(p.Vie, 1000);
}
