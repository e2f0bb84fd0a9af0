// The character's movement step: walking, slopes, jumps, gravity, ledges,
// collision, fall damage and the state it ends in, on small hand-made levels.
#include "NiveauPerso.h"

using EssaisPerso::ConstruireNiveau;

#include <algorithm>
#include <vector>

namespace
{
    // Flat ground: grass on the last row (top at T = 512), open above.
    const std::vector<std::string> Plat = {
        "............",
        "............",
        "............",
        "............",
        "............",
        "............",
        "............",
        "............",
        "############",
    };
    const int T = 512;
}

// ---------------------------------------------------------------------------
// The record

using PersoFiche = EssaisPerso::NiveauPerso;

TEST_F(PersoFiche, ANewCharacterStandsWithFullLifeAndManaAndNoKey)
{
    const CPerso p;
    EXPECT_EQ(p.Etat, CPerso::Immobile);
    EXPECT_EQ(p.Vie, 1000);
    EXPECT_EQ(p.VieMax, 1000);
    EXPECT_EQ(p.Mana, 1000);
    EXPECT_EQ(p.ManaMax, 1000);
    EXPECT_EQ(p.VitesseX, 0.0);
    EXPECT_EQ(p.VitesseY, 0.0);
    for (bool t : p.Touches)
        EXPECT_FALSE(t);
    // Both clocks start now.
    EXPECT_EQ(p.DebutAnim, Debut);
    EXPECT_EQ(p.ProchainSaut, Debut);
    // The fields placement and loading set later start defined.
    EXPECT_EQ(p.PosX, 0);
    EXPECT_EQ(p.PosY, 0);
    EXPECT_EQ(p.DernierDepl, 0u);
    EXPECT_EQ(p.DebutChute, 0);
    EXPECT_FALSE(p.VersDroite);
    for (unsigned int t : p.Textures)
        EXPECT_EQ(t, 0u);
}

TEST_F(PersoFiche, KeysAreHeldAndReleasedOneByOne)
{
    CPerso p;
    p.ModifTouche(CPerso::ToucheGauche, true);
    p.ModifTouche(CPerso::ToucheGauche, false);
    for (bool t : p.Touches)
        EXPECT_FALSE(t);
    p.ModifTouche(2, true);
    p.ModifTouche(3, true);
    EXPECT_TRUE(p.Touches[2]);
    EXPECT_TRUE(p.Touches[3]);
    EXPECT_FALSE(p.Touches[0]);
    EXPECT_FALSE(p.Touches[1]);
    // Indices that name no arrow key change nothing.
    CPerso q;
    q.ModifTouche(-1, true);
    q.ModifTouche(4, true);
    for (bool t : q.Touches)
        EXPECT_FALSE(t);
    EXPECT_EQ(q.Vie, 1000);
}

TEST_F(PersoFiche, PlacementSetsTheFallReferenceAndPutsTheStepClockBehind)
{
    ConstruireNiveau(Plat);
    CPerso p;
    p.VitesseX = 0.5;
    p.Etat = CPerso::EnLAir;
    p.ModifPos(128, 256);
    EXPECT_EQ(p.ReturnPosX(), 128);
    EXPECT_EQ(p.ReturnPosY(), 256);
    EXPECT_EQ(p.DebutChute, 256);
    EXPECT_EQ(p.DernierDepl, Debut - 10);
    // Speeds and state are left alone.
    EXPECT_EQ(p.VitesseX, 0.5);
    EXPECT_EQ(p.Etat, CPerso::EnLAir);
    // The next frame runs a step at once: the character starts to fall.
    p.AvanceDepl();
    EXPECT_EQ(p.DernierDepl, Debut - 5);
    EXPECT_GT(p.VitesseY, 0.0);
}

TEST_F(PersoFiche, ASpriteFolderNameOfUpTo62CharactersLoadsFortyFrames)
{
    const size_t avant = Moteur.Sprites.size();
    CPerso p;
    const std::string nom62(62, 'a');
    p.LoadTexPerso(nom62.c_str());
    ASSERT_EQ(Moteur.Sprites.size(), avant + 40);
    for (int i = 0; i < 40; ++i)
        EXPECT_EQ(p.Textures[i], avant + static_cast<unsigned>(i));
    // Longer names would not fit the game's paths: nothing is registered and
    // the frames stay as they were.
    const std::string nom63(63, 'a');
    p.LoadTexPerso(nom63.c_str());
    p.LoadTexPerso(nullptr);
    EXPECT_EQ(Moteur.Sprites.size(), avant + 40);
    EXPECT_EQ(p.Textures[39], avant + 39);
    Moteur.Sprites.resize(avant);
}

// ---------------------------------------------------------------------------
// Walking on flat ground

using PersoMarche = EssaisPerso::NiveauPerso;

TEST_F(PersoMarche, StandingStillOnFlatGroundStaysStill)
{
    ConstruireNiveau(Plat);
    CPerso p;
    p.ModifPos(192, T - 64);
    Pas(p, 400);
    EXPECT_EQ(p.PosX, 192);
    EXPECT_EQ(p.PosY, T - 64);
    EXPECT_EQ(p.Etat, CPerso::Immobile);
    EXPECT_EQ(p.VitesseX, 0.0);
    EXPECT_EQ(p.VitesseY, 0.0);
    EXPECT_EQ(p.DebutAnim, Debut); // the state never changed
}

TEST_F(PersoMarche, RightMovesOnePixelAStepAndTheSpeedSettlesAtTenNinths)
{
    ConstruireNiveau(Plat);
    CPerso p;
    p.ModifPos(64, T - 64);
    p.ModifTouche(CPerso::ToucheDroite, true);
    for (int i = 1; i <= 300; ++i)
    {
        Pas(p);
        ASSERT_EQ(p.PosX, 64 + i) << "step " << i;
        ASSERT_EQ(p.Etat, CPerso::Marche) << "step " << i;
        ASSERT_TRUE(p.VersDroite);
    }
    EXPECT_NEAR(p.VitesseX, 1.0 / 0.9, 1e-9);
    // Pressed down onto the floor: the box's bottom row just above it.
    EXPECT_EQ(p.PosY, T - 62);

    // Released: one step of drag leaves about 0.11, kept since it is under 1
    // and above the dead zone; the character no longer moves.
    p.ModifTouche(CPerso::ToucheDroite, false);
    const Uint32 arret = Horloge::Ticks() + 5;
    Pas(p, 100);
    EXPECT_NEAR(p.VitesseX, 1.0 / 0.9 - 1.0, 1e-9);
    EXPECT_EQ(p.PosX, 64 + 300);
    EXPECT_EQ(p.PosY, T - 62);
    EXPECT_EQ(p.Etat, CPerso::Immobile);
    EXPECT_EQ(p.DebutAnim, arret); // the animation restarted when it stopped
}

TEST_F(PersoMarche, TheFirstStepPressesDownThenTheCharacterSettlesTwoPixelsLower)
{
    ConstruireNiveau(Plat);
    CPerso p;
    p.ModifPos(64, T - 64);
    p.ModifTouche(CPerso::ToucheDroite, true);
    std::vector<int> hauteurs;
    for (int i = 0; i < 20; ++i)
    {
        Pas(p);
        hauteurs.push_back(p.PosY - (T - 64));
        EXPECT_LE(p.PosY, T - 62) << "never into the floor";
    }
    EXPECT_EQ(hauteurs.back(), 2);
    EXPECT_EQ(hauteurs[hauteurs.size() - 2], 2);
}

TEST_F(PersoMarche, LeftIsTheMirrorOfRight)
{
    ConstruireNiveau(Plat);
    CPerso p;
    p.ModifPos(600, T - 64);
    p.ModifTouche(CPerso::ToucheGauche, true);
    for (int i = 1; i <= 100; ++i)
    {
        Pas(p);
        ASSERT_EQ(p.PosX, 600 - i);
    }
    EXPECT_NEAR(p.VitesseX, -1.0 / 0.9, 1e-9);
    EXPECT_EQ(p.PosY, T - 62);
    EXPECT_EQ(p.Etat, CPerso::Marche);
    EXPECT_FALSE(p.VersDroite);
}

TEST_F(PersoMarche, WithBothSideKeysHeldTheCharacterWalksLeft)
{
    ConstruireNiveau(Plat);
    CPerso p;
    p.ModifPos(300, T - 64);
    p.ModifTouche(CPerso::ToucheDroite, true);
    p.ModifTouche(CPerso::ToucheGauche, true);
    Pas(p, 50);
    EXPECT_EQ(p.PosX, 250);
    EXPECT_FALSE(p.VersDroite);
}

TEST_F(PersoMarche, WithBothKeysHeldAgainstALeftWallRightWins)
{
    // A wall on the left the character already touches: left cannot move,
    // right's result stands. (Once off the wall, left wins again.)
    ConstruireNiveau({
        "............",
        "............",
        "#...........",
        "############",
    });
    CPerso p;
    p.ModifPos(64 - 6, 192 - 64); // box's left column just right of the wall
    p.ModifTouche(CPerso::ToucheDroite, true);
    p.ModifTouche(CPerso::ToucheGauche, true);
    Pas(p);
    EXPECT_EQ(p.PosX, 64 - 5);
    EXPECT_EQ(p.VitesseX, 1.0);
    EXPECT_TRUE(p.VersDroite);
    Pas(p);
    EXPECT_LT(p.VitesseX, 0.0);
}

TEST_F(PersoMarche, AWallStopsTheWalk)
{
    ConstruireNiveau({
        "............",
        "............",
        "......#.....",
        "############",
    });
    CPerso p;
    p.ModifPos(200, 128);
    p.ModifTouche(CPerso::ToucheDroite, true);
    Pas(p, 300);
    // The box's right column (57) stops just left of the wall at x = 384;
    // blocked ahead, the drag leaves the same small speed as after a release.
    EXPECT_EQ(p.PosX + 57, 383);
    EXPECT_NEAR(p.VitesseX, 1.0 / 0.9 - 1.0, 1e-9);
    EXPECT_EQ(p.Etat, CPerso::Immobile);
    EXPECT_TRUE(p.VersDroite);
}

TEST_F(PersoMarche, AtTheLeftEdgeTheCharacterCyclesThroughMinusOneMinusTwoMinusOneZeroZero)
{
    ConstruireNiveau(Plat);
    CPerso p;
    p.ModifPos(20, T - 64);
    p.ModifTouche(CPerso::ToucheGauche, true);
    std::vector<int> xs;
    for (int i = 0; i < 100; ++i)
    {
        Pas(p);
        xs.push_back(p.PosX);
    }
    // From the first negative position on, the same five positions repeat.
    size_t premier = 0;
    while (premier < xs.size() && xs[premier] >= 0)
        ++premier;
    ASSERT_LT(premier + 20, xs.size());
    const int cycle[5] = {-1, -2, -1, 0, 0};
    for (size_t i = premier; i < premier + 20; ++i)
        EXPECT_EQ(xs[i], cycle[(i - premier) % 5]) << "step " << i;
}

// ---------------------------------------------------------------------------
// Slopes

using PersoPentes = EssaisPerso::NiveauPerso;

TEST_F(PersoPentes, WalkingUpARisingSlopeStaysInWalkingState)
{
    // Ground at row 4 (top 256) on the left, a slope tile rising to the right
    // at column 4, then ground one tile higher (top 192).
    ConstruireNiveau({
        "............",
        "............",
        "............",
        "..../#######",
        "############",
    });
    CPerso p;
    p.ModifPos(64, 256 - 64);
    p.ModifTouche(CPerso::ToucheDroite, true);
    Pas(p, 5); // under way
    int x = p.PosX;
    int plusHaut = p.PosY;
    for (int i = 0; i < 400; ++i)
    {
        Pas(p);
        ASSERT_EQ(p.Etat, CPerso::Marche) << "step " << i << " at x " << p.PosX;
        ASSERT_EQ(p.PosX, x + 1) << "step " << i;
        x = p.PosX;
        ASSERT_LE(p.PosY, plusHaut + 1) << "step " << i; // never drops
        plusHaut = std::min(plusHaut, p.PosY);
    }
    EXPECT_GT(p.PosX, 6 * 64);
    EXPECT_EQ(p.PosY, 192 - 62); // walking on the upper ground
}

TEST_F(PersoPentes, WalkingDownAFallingSlopeStaysInWalkingState)
{
    ConstruireNiveau({
        "............",
        "............",
        "............",
        "####\\.......",
        "############",
    });
    CPerso p;
    p.ModifPos(64, 192 - 64);
    p.ModifTouche(CPerso::ToucheDroite, true);
    Pas(p, 5);
    int x = p.PosX;
    for (int i = 0; i < 400; ++i)
    {
        Pas(p);
        ASSERT_EQ(p.Etat, CPerso::Marche) << "step " << i << " at x " << p.PosX;
        ASSERT_EQ(p.PosX, x + 1) << "step " << i;
        x = p.PosX;
    }
    EXPECT_GT(p.PosX, 6 * 64);
    EXPECT_EQ(p.PosY, 256 - 62); // walking on the lower ground
}

// ---------------------------------------------------------------------------
// Gravity and jumps

using PersoSaut = EssaisPerso::NiveauPerso;

TEST_F(PersoSaut, FreeFallSpeedsFollowThreeQuartersPlusOneAndAQuarter)
{
    std::vector<std::string> puits(40, "....");
    puits.push_back("####");
    ConstruireNiveau(puits);
    CPerso p;
    p.ModifPos(64, 64);
    Pas(p);
    EXPECT_DOUBLE_EQ(p.VitesseY, 0.1);
    EXPECT_EQ(p.Etat, CPerso::EnLAir);
    Pas(p);
    EXPECT_DOUBLE_EQ(p.VitesseY, 1.35);
    Pas(p);
    EXPECT_DOUBLE_EQ(p.VitesseY, 2.2625);
    double attendu = 2.2625;
    for (int i = 0; i < 40; ++i)
    {
        Pas(p);
        attendu = attendu * 0.75 + 1.25;
        ASSERT_NEAR(p.VitesseY, attendu, 1e-9);
    }
    EXPECT_NEAR(p.VitesseY, 5.0, 1e-4);
    // Falling, the fall reference stays at the top of the arc.
    EXPECT_EQ(p.DebutChute, 64);
}

TEST_F(PersoSaut, AJumpFromRestRises162PixelsTopsOutAtStep45AndFallsFromStep57)
{
    ConstruireNiveau(Plat);
    CPerso p;
    p.ModifPos(192, T - 64);
    Pas(p, 3);
    p.ModifTouche(CPerso::ToucheHaut, true);
    std::vector<int> ys;
    for (int i = 0; i < 100; ++i)
    {
        Pas(p);
        if (i == 0)
            p.ModifTouche(CPerso::ToucheHaut, false);
        ys.push_back(p.PosY);
    }
    const int sommet = T - 64 - 162;
    EXPECT_EQ(*std::min_element(ys.begin(), ys.end()), sommet);
    EXPECT_GT(ys[44], sommet);
    for (int i = 45; i <= 56; ++i)
        EXPECT_EQ(ys[static_cast<size_t>(i)], sommet) << "step " << i;
    EXPECT_GT(ys[57], sommet);
    // Back on the ground, standing where it started.
    EXPECT_EQ(p.PosY, T - 64);
    EXPECT_EQ(p.Etat, CPerso::Immobile);
    EXPECT_EQ(p.Vie, 1000);
}

TEST_F(PersoSaut, AJumpStraightUpFacesLeftAndIsInTheAir)
{
    ConstruireNiveau(Plat);
    CPerso p;
    p.VersDroite = true;
    p.ModifPos(192, T - 64);
    p.ModifTouche(CPerso::ToucheHaut, true);
    Pas(p);
    EXPECT_EQ(p.Etat, CPerso::EnLAir);
    EXPECT_FALSE(p.VersDroite);
    EXPECT_EQ(p.ProchainSaut, Horloge::Ticks() + 1000);
    EXPECT_DOUBLE_EQ(p.VitesseY, -7.4);
}

TEST_F(PersoSaut, InTheAirTheNextJumpWaitsMoreThanASecond)
{
    std::vector<std::string> ciel(200, "....");
    ciel.push_back("####");
    ConstruireNiveau(ciel);
    CPerso p;
    p.ModifPos(0, 3000);
    p.ModifTouche(CPerso::ToucheHaut, true);
    Pas(p); // in the air, but the constructor's time has passed: jumps
    const Uint32 premier = Horloge::Ticks();
    EXPECT_EQ(p.ProchainSaut, premier + 1000);
    std::vector<Uint32> sauts;
    for (int i = 0; i < 500; ++i)
    {
        const Uint32 avant = p.ProchainSaut;
        Pas(p);
        if (p.ProchainSaut != avant)
            sauts.push_back(Horloge::Ticks());
    }
    ASSERT_GE(sauts.size(), 2u);
    EXPECT_EQ(sauts[0], premier + 1005); // the first step strictly after
    EXPECT_EQ(sauts[1], sauts[0] + 1005);
}

TEST_F(PersoSaut, AtTheTopEdgeTheCharacterIsPushedBackDownOnePixelAStep)
{
    std::vector<std::string> ciel(3, "....");
    ConstruireNiveau(ciel);
    CPerso p;
    p.ModifPos(0, 100);
    p.ModifTouche(CPerso::ToucheHaut, true);
    Pas(p);
    p.ModifTouche(CPerso::ToucheHaut, false);
    std::vector<int> ys;
    for (int i = 0; i < 40; ++i)
    {
        Pas(p);
        ys.push_back(p.PosY);
    }
    const size_t plusHaut = static_cast<size_t>(std::min_element(ys.begin(), ys.end()) - ys.begin());
    EXPECT_EQ(ys[plusHaut], -7);
    EXPECT_EQ(ys[plusHaut + 1], -6);
    EXPECT_EQ(ys[plusHaut + 2], -5);
}

// ---------------------------------------------------------------------------
// Ledges

using PersoRebord = EssaisPerso::NiveauPerso;

namespace
{
    // A wall of two tiles at column 5 with its top at row 4 (T = 256) and open
    // space above and on both sides.
    const std::vector<std::string> Mur = {
        "..........",
        "..........",
        "..........",
        "..........",
        ".....#....",
        ".....#....",
        "##########",
    };
    const int HautMur = 256;
}

TEST_F(PersoRebord, TheRightKeyGrabsAWallTopTwoToSixPixelsAboveTheTopEdge)
{
    for (int ecart = 1; ecart <= 7; ++ecart)
    {
        ConstruireNiveau(Mur);
        CPerso p;
        p.ModifPos(250, HautMur - ecart); // 6 px from the wall
        p.Etat = CPerso::EnLAir;
        p.VitesseY = 2.0;
        p.ModifTouche(CPerso::ToucheDroite, true);
        Pas(p);
        if (ecart >= 2 && ecart <= 6)
        {
            EXPECT_EQ(p.Etat, CPerso::Accroche) << ecart;
            EXPECT_EQ(p.PosX, 256) << ecart; // the column beside the wall
            EXPECT_EQ(p.PosY, HautMur) << ecart;
            EXPECT_EQ(p.VitesseX, 0.0);
            EXPECT_EQ(p.VitesseY, 0.0);
            EXPECT_TRUE(p.VersDroite);
            EXPECT_EQ(p.DebutAnim, Horloge::Ticks());
        }
        else
            EXPECT_NE(p.Etat, CPerso::Accroche) << ecart;
    }
}

TEST_F(PersoRebord, TheLeftKeyGrabsAWallOnTheLeft)
{
    ConstruireNiveau(Mur);
    CPerso p;
    p.VersDroite = true;
    p.ModifPos(6 * 64 + 10, HautMur - 4); // 10 px right of the wall
    p.Etat = CPerso::EnLAir;
    p.ModifTouche(CPerso::ToucheGauche, true);
    Pas(p);
    EXPECT_EQ(p.Etat, CPerso::Accroche);
    EXPECT_EQ(p.PosX, 6 * 64);
    EXPECT_EQ(p.PosY, HautMur);
    EXPECT_FALSE(p.VersDroite);
}

TEST_F(PersoRebord, HangingIgnoresSideKeysAndGravity)
{
    ConstruireNiveau(Mur);
    CPerso p;
    p.ModifPos(250, HautMur - 4);
    p.Etat = CPerso::EnLAir;
    p.ModifTouche(CPerso::ToucheDroite, true);
    Pas(p);
    ASSERT_EQ(p.Etat, CPerso::Accroche);
    const Uint32 accroche = p.DebutAnim;
    p.ModifTouche(CPerso::ToucheGauche, true);
    Pas(p, 400);
    EXPECT_EQ(p.Etat, CPerso::Accroche);
    EXPECT_EQ(p.PosX, 256);
    EXPECT_EQ(p.PosY, HautMur);
    EXPECT_EQ(p.DebutAnim, accroche);
    EXPECT_EQ(p.DebutChute, HautMur);
}

TEST_F(PersoRebord, UpJumpsOffTheLedgeAndCountsAsTheLastJump)
{
    ConstruireNiveau(Mur);
    CPerso p;
    p.ModifPos(250, HautMur - 4);
    p.Etat = CPerso::EnLAir;
    p.ModifTouche(CPerso::ToucheDroite, true);
    Pas(p);
    ASSERT_EQ(p.Etat, CPerso::Accroche);
    p.ModifTouche(CPerso::ToucheDroite, false);
    Pas(p, 10);
    const Uint32 debutAnim = p.DebutAnim;
    p.ModifTouche(CPerso::ToucheHaut, true);
    p.ModifTouche(CPerso::ToucheBas, true); // both: the jump wins
    Pas(p);
    EXPECT_EQ(p.Etat, CPerso::EnLAir);
    EXPECT_EQ(p.ProchainSaut, Horloge::Ticks() + 1000);
    EXPECT_DOUBLE_EQ(p.VitesseY, -7.4); // the same impulse as from the ground
    EXPECT_EQ(p.PosY, HautMur - 7);
    EXPECT_EQ(p.DebutAnim, debutAnim); // still in the air: no restart
}

TEST_F(PersoRebord, DownLetsGoAndTheCharacterFalls)
{
    ConstruireNiveau(Mur);
    CPerso p;
    p.ModifPos(250, HautMur - 4);
    p.Etat = CPerso::EnLAir;
    p.ModifTouche(CPerso::ToucheDroite, true);
    Pas(p);
    p.ModifTouche(CPerso::ToucheDroite, false);
    ASSERT_EQ(p.Etat, CPerso::Accroche);
    p.ModifTouche(CPerso::ToucheBas, true);
    Pas(p);
    EXPECT_EQ(p.Etat, CPerso::EnLAir);
    Pas(p, 200);
    // On the floor beside the wall (a landing may end one to three pixels in).
    EXPECT_GE(p.PosY, 6 * 64 - 64);
    EXPECT_LE(p.PosY, 6 * 64 - 61);
    EXPECT_EQ(p.PosX, 256);
    EXPECT_EQ(p.Etat, CPerso::Immobile);
}

// ---------------------------------------------------------------------------
// Landing and fall damage

using PersoChute = EssaisPerso::NiveauPerso;

namespace
{
    // One landing step on flat ground after a fall of `hauteur` pixels.
    CPerso Atterrit(int hauteur, int vie = 1000)
    {
        ConstruireNiveau(Plat);
        CPerso p;
        p.ModifPos(192, T - 64);
        p.Etat = CPerso::EnLAir;
        p.Vie = vie;
        p.VitesseY = 6.0;
        p.DebutChute = p.PosY - hauteur;
        Horloge::AvancerTemps(5);
        p.CalcDepl();
        return p;
    }
}

TEST_F(PersoChute, LandingBelow448PixelsCostsNothingThenTwentyPerTile)
{
    EXPECT_EQ(Atterrit(384).Vie, 1000);
    EXPECT_EQ(Atterrit(385).Vie, 1000);
    EXPECT_EQ(Atterrit(447).Vie, 1000);
    EXPECT_EQ(Atterrit(448).Vie, 980);
    EXPECT_EQ(Atterrit(511).Vie, 980);
    EXPECT_EQ(Atterrit(512).Vie, 960);
    EXPECT_EQ(Atterrit(3583).Vie, 20);
    const CPerso p = Atterrit(448);
    EXPECT_EQ(p.VitesseY, 0.0);
    EXPECT_EQ(p.DebutChute, T - 64); // measured afresh from the landing
    EXPECT_EQ(p.Etat, CPerso::Immobile);
    EXPECT_FALSE(Moteur.FonduActif);
}

TEST_F(PersoChute, AFallOf3584PixelsKillsWithAFadeToBlack)
{
    const Uint32 now = Debut + 5;
    const CPerso p = Atterrit(3584);
    EXPECT_EQ(p.Vie, 0);
    EXPECT_EQ(p.Etat, CPerso::Mort);
    EXPECT_EQ(p.DebutAnim, now + 2000);
    ASSERT_TRUE(Moteur.FonduActif);
    EXPECT_EQ(Moteur.DebutFondu, now + 1000);
    EXPECT_EQ(Moteur.FinFondu, now + 2000);
    // Clear at the start, opaque black at the end.
    EXPECT_EQ(Moteur.CouleurDebutFondu[3], 0);
    EXPECT_EQ(Moteur.CouleurFinFondu[3], 255);
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_EQ(Moteur.CouleurDebutFondu[i], 0);
        EXPECT_EQ(Moteur.CouleurFinFondu[i], 0);
    }
    // Low life dies from a shorter fall; life is clamped to zero.
    EXPECT_EQ(Atterrit(448, 15).Vie, 0);
    EXPECT_EQ(Atterrit(448, 15).Etat, CPerso::Mort);
}

TEST_F(PersoChute, ARealFallIsMeasuredFromItsTopToTheLandingHeight)
{
    // Shafts of 5, 8 and 9 open tiles from the top edge: the character lands
    // one pixel into the floor (T - 61) and the fall is measured from 0.
    const int tuiles[3] = {5, 8, 9};
    const int vie[3] = {1000, 980, 960}; // h = 259, 451, 515
    for (int i = 0; i < 3; ++i)
    {
        std::vector<std::string> puits(static_cast<size_t>(tuiles[i]), "...");
        puits.push_back("###");
        ConstruireNiveau(puits);
        CPerso p;
        p.ModifPos(64, 0);
        Pas(p, 400);
        EXPECT_EQ(p.Etat, CPerso::Immobile) << tuiles[i];
        EXPECT_EQ(p.PosY, 64 * tuiles[i] - 61) << tuiles[i];
        EXPECT_EQ(p.Vie, vie[i]) << tuiles[i];
        EXPECT_EQ(p.DebutChute, p.PosY);
    }
}

TEST_F(PersoChute, ADeadBodyStillFallsButNoLongerChangesState)
{
    std::vector<std::string> puits(8, "...");
    puits.push_back("###");
    ConstruireNiveau(puits);
    CPerso p;
    p.ModifPos(64, 0);
    p.Etat = CPerso::Mort;
    p.DebutAnim = 123;
    p.ModifTouche(CPerso::ToucheHaut, true);
    p.ModifTouche(CPerso::ToucheDroite, true);
    Pas(p, 30);
    EXPECT_GT(p.PosY, 0);
    EXPECT_EQ(p.PosX, 64); // keys ignored
    EXPECT_EQ(p.Etat, CPerso::Mort);
    EXPECT_EQ(p.DebutAnim, 123u);
}

TEST_F(PersoChute, AStandingCharacterWhollyInWaterIsDeadAtTheEndOfTheStep)
{
    ConstruireNiveau({
        "~~~~",
        "~~~~",
        "####",
    });
    CPerso p;
    p.ModifPos(64, 64);
    p.VersDroite = true;
    Pas(p);
    EXPECT_EQ(p.Etat, CPerso::Mort);
    EXPECT_EQ(p.DebutAnim, Horloge::Ticks()); // back at the next frame
    EXPECT_FALSE(p.VersDroite);
    EXPECT_FALSE(Moteur.FonduActif);
    EXPECT_EQ(p.Vie, 1000);
}

// ---------------------------------------------------------------------------
// Speeds far out of the usual range stay defined

using PersoLimites = EssaisPerso::NiveauPerso;

TEST_F(PersoLimites, HugeSpeedsStopAtTheEdgeOfTheLevel)
{
    ConstruireNiveau(Plat);
    CPerso p;
    p.ModifPos(192, 100);
    p.Etat = CPerso::EnLAir;
    p.VitesseX = 1e15;
    p.VitesseY = 1e300;
    Pas(p);
    EXPECT_EQ(p.VitesseX, 0.0);
    EXPECT_EQ(p.VitesseY, 0.0);
    EXPECT_EQ(p.PosX, 192);
    EXPECT_EQ(p.PosY, 100);
    p.VitesseX = -1e300;
    p.VitesseY = -1e15;
    Pas(p);
    EXPECT_EQ(p.VitesseX, 0.0);
    EXPECT_EQ(p.PosX, 192);
    EXPECT_LE(p.PosY, 100);
}

TEST_F(PersoLimites, AFarAwayStartDoesNotOverflow)
{
    ConstruireNiveau(Plat);
    CPerso p;
    p.ModifPos(1 << 30, 1 << 30);
    p.ModifTouche(CPerso::ToucheDroite, true);
    p.ModifTouche(CPerso::ToucheHaut, true);
    Pas(p, 20);
    // Everything out there is closed: it stays where it is.
    EXPECT_EQ(p.PosX, 1 << 30);
    EXPECT_EQ(p.PosY, 1 << 30);
    CPerso q;
    q.ModifPos(-(1 << 30), -(1 << 30));
    Pas(q, 20);
    // Pushed back towards the level one pixel a step on both axes.
    EXPECT_EQ(q.PosX, -(1 << 30) + 20);
    EXPECT_EQ(q.PosY, -(1 << 30) + 20);
}
