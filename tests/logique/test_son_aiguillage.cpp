// Which sounds a frame makes: the real character moved frame by frame on small
// levels, read before and after each frame, and the readings turned into
// sounds by the game's own rules, without any audio device.
#include "NiveauPerso.h"

#include "son/Releve.h"

#include <algorithm>
#include <functional>
#include <vector>

using EssaisPerso::ConstruireNiveau;
using Son::Consignes;
using Son::Effet;

namespace
{
    // Flat grass (top at T = 512) with open space above.
    const std::vector<std::string> Plat = {
        "............", "............", "............", "............", "............",
        "............", "............", "............", "############",
    };
    const int T = 512;

    class SonTrame : public EssaisPerso::NiveauPerso
    {
    protected:
        Son::CAiguillage aiguillage;

        CPerso& Joueur()
        {
            return Personnages[0];
        }

        // Puts the player standing on the grass at column `colonne`.
        CPerso& Placer(int colonne, int y = T - 64)
        {
            Personnages.assign(1, CPerso());
            PersoPrincipal = 0;
            Joueur().ModifPos(colonne * 64, y);
            return Joueur();
        }

        // One frame of 16 ms as the game loop runs it, and what it sounds like;
        // `evenements` stands for the frame's events.
        Consignes Trame(Uint32 ms = 16, const std::function<void()>& evenements = nullptr)
        {
            const Son::Releve avant = Son::Relever(Joueur(), Map, JeuEnPause, Horloge::Ticks());
            if (evenements)
                evenements();
            Horloge::AvancerTemps(ms);
            Cadre(Joueur());
            return aiguillage.Trame(avant, Son::Relever(Joueur(), Map, JeuEnPause, Horloge::Ticks()));
        }

        // Every effect of `n` frames, in order.
        std::vector<Effet> Trames(int n)
        {
            std::vector<Effet> tous;
            for (int i = 0; i < n; ++i)
                for (Effet e : Trame().Effets)
                    tous.push_back(e);
            return tous;
        }

        static int Compte(const std::vector<Effet>& effets, Effet e)
        {
            return static_cast<int>(std::count(effets.begin(), effets.end(), e));
        }
    };

    bool Contient(const Consignes& c, Effet e)
    {
        return std::find(c.Effets.begin(), c.Effets.end(), e) != c.Effets.end();
    }
}

TEST_F(SonTrame, StandingStillIsSilent)
{
    ConstruireNiveau(Plat);
    Placer(3);
    Trame(); // the placement's first step
    for (int i = 0; i < 200; ++i)
        EXPECT_TRUE(Trame().Vide()) << i;
}

TEST_F(SonTrame, AJumpFromStandingAndFromWalkingIsOneSoundAndItsLandingAnother)
{
    for (bool marche : {false, true})
    {
        ConstruireNiveau(Plat);
        CPerso& p = Placer(2);
        Trame();
        if (marche)
        {
            p.ModifTouche(CPerso::ToucheDroite, true);
            Trames(30);
            ASSERT_EQ(p.Etat, CPerso::Marche);
        }
        p.ModifTouche(CPerso::ToucheHaut, true);
        // A long frame of many movement steps: still one jump.
        const Consignes saut = Trame(40);
        EXPECT_EQ(saut.Effets, std::vector<Effet>{Effet::Saut}) << marche;
        p.ModifTouche(CPerso::ToucheHaut, false);
        const std::vector<Effet> suite = Trames(100); // up, down, landed
        EXPECT_EQ(Compte(suite, Effet::Saut), 0) << marche;
        EXPECT_EQ(Compte(suite, Effet::Atterrissage), 1) << marche;
        EXPECT_EQ(Compte(suite, Effet::ChuteLourde), 0) << marche;
        EXPECT_EQ(p.Vie, 1000);
    }
}

TEST_F(SonTrame, EveryFallLandsWithOneSoundTheHeavyThudWhenItCostsLife)
{
    // From many heights, so that the impact and the first standing frame fall
    // in one frame or in two, at every point of a frame.
    std::vector<std::string> puits(30, "............");
    puits.push_back("############");
    const int sol = 30 * 64;
    int lourdes = 0, douces = 0;
    for (int hauteur = 100; hauteur < 1400; hauteur += 37)
    {
        ConstruireNiveau(puits);
        CPerso& p = Placer(3, sol - 64 - hauteur);
        p.Etat = CPerso::EnLAir;
        const std::vector<Effet> chute = Trames(150);
        ASSERT_EQ(p.Etat, CPerso::Immobile) << hauteur;
        const bool coute = p.Vie < 1000;
        EXPECT_EQ(Compte(chute, Effet::ChuteLourde), coute ? 1 : 0) << hauteur;
        EXPECT_EQ(Compte(chute, Effet::Atterrissage), coute ? 0 : 1) << hauteur;
        EXPECT_EQ(chute.size(), 1u) << hauteur;
        (coute ? lourdes : douces) += 1;
    }
    EXPECT_GT(lourdes, 5);
    EXPECT_GT(douces, 5);
}

TEST_F(SonTrame, AFatalFallDiesOnceAndComesBackWithTheReturnSound)
{
    std::vector<std::string> puits(60, "............");
    puits.push_back("############");
    ConstruireNiveau(puits);
    Map.PosDebutX = 2;
    Map.PosDebutY = 60; // the start is down on the ground
    CPerso& p = Placer(3, 64); // 3776 px: deadly
    p.Etat = CPerso::EnLAir;
    std::vector<Effet> chute;
    while (p.Etat != CPerso::Mort && chute.size() < 10000)
    {
        for (Effet e : Trame().Effets)
            chute.push_back(e);
        if (Horloge::Ticks() > Debut + 10000)
            break;
    }
    ASSERT_EQ(p.Etat, CPerso::Mort);
    EXPECT_EQ(chute, std::vector<Effet>{Effet::Mort});
    // Two seconds later: back at the start, and nothing in between.
    const std::vector<Effet> attente = Trames(130);
    EXPECT_EQ(attente, std::vector<Effet>{Effet::Retour});
    EXPECT_EQ(p.Etat, CPerso::Immobile);
}

TEST_F(SonTrame, WalkingIntoWaterSplashesInsteadOfDying)
{
    ConstruireNiveau({"............", "............", "............", "######~~####", "######~~####"});
    CPerso& p = Placer(4, 192 - 64);
    Trame();
    p.ModifTouche(CPerso::ToucheDroite, true);
    std::vector<Effet> tous;
    for (int i = 0; i < 200 && p.Etat != CPerso::Mort; ++i)
        for (Effet e : Trame().Effets)
            tous.push_back(e);
    ASSERT_EQ(p.Etat, CPerso::Mort);
    EXPECT_EQ(Compte(tous, Effet::Plouf), 1);
    EXPECT_EQ(Compte(tous, Effet::Mort), 0);
}

TEST_F(SonTrame, EachBonusKindHasItsSoundEvenWhenItAddsNothing)
{
    for (int type = 1; type <= 8; ++type)
    {
        ConstruireNiveau(Plat);
        Placer(3);
        Trame();
        Map.AddBonus(3, 7, type); // the tile of the player's top-left corner
        const Consignes c = Trame();
        EXPECT_EQ(c.Effets, std::vector<Effet>{type <= 4 ? Effet::Vie : Effet::Mana}) << type;
        EXPECT_TRUE(Map.ListeBonus.empty());
        EXPECT_TRUE(Trame().Vide());
    }
    // Both kinds in one frame: both sounds, once each.
    ConstruireNiveau(Plat);
    Placer(3);
    Trame();
    Map.AddBonus(3, 7, 2);
    Map.AddBonus(3, 7, 7);
    Map.AddBonus(3, 7, 5);
    std::vector<Effet> effets = Trames(3);
    EXPECT_EQ(Compte(effets, Effet::Vie), 1);
    EXPECT_EQ(Compte(effets, Effet::Mana), 2); // taken one per frame
}

TEST_F(SonTrame, GrabbingALedgeLettingGoAndJumpingOffIt)
{
    const std::vector<std::string> mur = {"..........", "..........", "..........", "..........",
                                          ".....#....", ".....#....", "##########"};
    for (bool saute : {false, true})
    {
        ConstruireNiveau(mur);
        CPerso& p = Placer(0, 256 - 4);
        p.PosX = 250;
        p.Etat = CPerso::EnLAir;
        p.ModifTouche(CPerso::ToucheDroite, true);
        const Consignes prise = Trame();
        ASSERT_EQ(p.Etat, CPerso::Accroche);
        EXPECT_EQ(prise.Effets, std::vector<Effet>{Effet::Accroche});
        p.ModifTouche(CPerso::ToucheDroite, false);
        EXPECT_TRUE(Trame().Vide()); // hanging
        p.ModifTouche(saute ? CPerso::ToucheHaut : CPerso::ToucheBas, true);
        const Consignes depart = Trame();
        EXPECT_EQ(depart.Effets, std::vector<Effet>{saute ? Effet::Saut : Effet::Lache});
    }
}

TEST_F(SonTrame, FootstepsFallTwiceAStrideSecondAndSoundLikeTheGround)
{
    struct Cas
    {
        int Code;
        Effet Pas;
    };
    for (const Cas& cas : {Cas{2, Effet::PasHerbe}, Cas{10, Effet::PasHerbe}, Cas{31, Effet::PasSable},
                           Cas{25, Effet::PasSable}, Cas{16, Effet::PasPierre}, Cas{32, Effet::PasPierre}})
    {
        ConstruireNiveau({"..............................", "..............................",
                          "##############################"});
        for (auto& colonne : Map.Cases)
            colonne[2] = static_cast<signed char>(cas.Code);
        CPerso& p = Placer(1, 128 - 64);
        Trame();
        p.ModifTouche(CPerso::ToucheDroite, true);
        // Two seconds of walking: the first step, then one every half second.
        const std::vector<Effet> effets = Trames(125);
        EXPECT_EQ(Compte(effets, cas.Pas), 4) << cas.Code;
        EXPECT_EQ(static_cast<int>(effets.size()), 4) << cas.Code;
        p.ModifTouche(CPerso::ToucheDroite, false);
        const std::vector<Effet> arret = Trames(60);
        EXPECT_TRUE(arret.empty()) << cas.Code; // standing: no more steps
    }
}

TEST_F(SonTrame, TheGroundKindOfEveryTileCode)
{
    EXPECT_EQ(Son::SolDuCode(0), Son::Sol::Aucun);
    EXPECT_EQ(Son::SolDuCode(1), Son::Sol::Aucun);
    EXPECT_EQ(Son::SolDuCode(3), Son::Sol::Aucun); // water
    int herbe = 0, sable = 0, pierre = 0;
    for (int code = 2; code <= 33; ++code)
    {
        switch (Son::SolDuCode(code))
        {
        case Son::Sol::Herbe: ++herbe; break;
        case Son::Sol::Sable: ++sable; break;
        case Son::Sol::Pierre: ++pierre; break;
        default: EXPECT_EQ(code, 3); break;
        }
    }
    // The twelve grass, earth and slope tiles, the six of sand, the thirteen
    // of walls and their transitions: every drawn tile but water.
    EXPECT_EQ(herbe, 12);
    EXPECT_EQ(sable, 6);
    EXPECT_EQ(pierre, 13);
    EXPECT_EQ(Son::SolDuCode(-1), Son::Sol::Aucun);
    EXPECT_EQ(Son::SolDuCode(34), Son::Sol::Aucun);
}

TEST_F(SonTrame, PausingPausesTheMusicAndSilencesEverythingUntilResumed)
{
    ConstruireNiveau(Plat);
    Map.PosDebutX = 2;
    Map.PosDebutY = 8;
    CPerso& p = Placer(3);
    Trame();
    const auto basculer = [] { JeuEnPause = !JeuEnPause; };
    const Consignes pause = Trame(16, basculer);
    EXPECT_TRUE(pause.SuspendreMusique);
    EXPECT_FALSE(pause.ReprendreMusique);
    EXPECT_EQ(pause.Effets, std::vector<Effet>{Effet::Pause});
    // While paused a dead character still comes back, and a bonus may go:
    // each heard when it happens, and nothing else.
    p.Etat = CPerso::Mort;
    p.DebutAnim = Horloge::Ticks() + 20;
    Map.AddBonus(3, 7, 1);
    Map.AddBonus(2, 7, 6);
    std::vector<Effet> pendant;
    for (int i = 0; i < 10; ++i)
    {
        const Consignes c = Trame();
        EXPECT_FALSE(c.SuspendreMusique || c.ReprendreMusique) << i;
        pendant.insert(pendant.end(), c.Effets.begin(), c.Effets.end());
    }
    EXPECT_EQ(pendant, (std::vector<Effet>{Effet::Vie, Effet::Retour}));
    EXPECT_EQ(p.Etat, CPerso::Immobile);
    const Consignes reprise = Trame(16, basculer);
    EXPECT_TRUE(reprise.ReprendreMusique);
    EXPECT_FALSE(reprise.SuspendreMusique);
    EXPECT_TRUE(Contient(reprise, Effet::Reprise));
}

TEST_F(SonTrame, MuteStopsEveryEffectUntilUnmutedButTheMusicStillFollowsThePause)
{
    ConstruireNiveau(Plat);
    CPerso& p = Placer(3);
    Trame();
    const Consignes couper = aiguillage.BasculeMuet();
    EXPECT_TRUE(couper.Couper);
    EXPECT_FALSE(couper.Retablir);
    EXPECT_TRUE(aiguillage.Muet());
    p.ModifTouche(CPerso::ToucheHaut, true);
    EXPECT_TRUE(Trame().Vide()); // a jump, unheard
    p.ModifTouche(CPerso::ToucheHaut, false);
    const auto basculer = [] { JeuEnPause = !JeuEnPause; };
    const Consignes pause = Trame(16, basculer);
    EXPECT_TRUE(pause.SuspendreMusique);
    EXPECT_TRUE(pause.Effets.empty());
    EXPECT_TRUE(Trame(16, basculer).ReprendreMusique);
    const Consignes retablir = aiguillage.BasculeMuet();
    EXPECT_TRUE(retablir.Retablir);
    EXPECT_FALSE(retablir.Couper);
    const std::vector<Effet> atterrissage = Trames(100);
    EXPECT_EQ(Compte(atterrissage, Effet::Atterrissage), 1);
}

namespace
{
    // Water two tiles wide in the ground, the start on the ground to its left.
    const std::vector<std::string> Bassin = {"............", "............", "............",
                                             "######~~####", "######~~####"};
}

TEST_F(SonTrame, AReturnDuringAPauseIsHeardOnceWhenItHappens)
{
    ConstruireNiveau(Bassin);
    Map.PosDebutX = 3; // column 2, standing on the ground
    Map.PosDebutY = 3;
    CPerso& p = Placer(4, 192 - 64);
    Trame();
    p.ModifTouche(CPerso::ToucheDroite, true);
    std::vector<Effet> avant;
    for (int i = 0; i < 200 && p.Etat != CPerso::Mort; ++i)
        for (Effet e : Trame().Effets)
            avant.push_back(e);
    ASSERT_EQ(p.Etat, CPerso::Mort);
    EXPECT_EQ(Compte(avant, Effet::Plouf), 1);
    p.ModifTouche(CPerso::ToucheDroite, false);

    // P within the two seconds: the character still comes back while paused,
    // and its return is heard then, once.
    const auto basculer = [] { JeuEnPause = !JeuEnPause; };
    const Consignes pause = Trame(16, basculer);
    EXPECT_EQ(pause.Effets, std::vector<Effet>{Effet::Pause});
    EXPECT_TRUE(pause.SuspendreMusique);
    std::vector<Effet> pendant;
    for (int i = 0; i < 150; ++i)
    {
        const Consignes c = Trame();
        EXPECT_FALSE(c.SuspendreMusique || c.ReprendreMusique) << i;
        for (Effet e : c.Effets)
            pendant.push_back(e);
    }
    EXPECT_EQ(p.Etat, CPerso::Immobile);
    EXPECT_EQ(p.PosX, 128);
    EXPECT_EQ(pendant, std::vector<Effet>{Effet::Retour});

    // Resumed: the resume sound, and the return is not heard again.
    const Consignes reprise = Trame(16, basculer);
    EXPECT_TRUE(reprise.ReprendreMusique);
    EXPECT_EQ(reprise.Effets, std::vector<Effet>{Effet::Reprise});
    EXPECT_TRUE(Trames(60).empty());
}

TEST_F(SonTrame, AJumpOffALedgeLandsOnceWhenTheCharacterComesDown)
{
    // Hanging from the top of a wide wall, up and right held: the character
    // jumps off, rises past the wall's top (where the movement counts it as
    // standing for one step) and comes down on it. Frames of every phase
    // against the movement steps, so that some end on that step.
    const std::vector<std::string> mur = {"..........", "..........", "..........", "..........",
                                          ".....#####", ".....#####", "##########"};
    int vusDebout = 0;
    for (Uint32 phase = 0; phase < 16; ++phase)
    {
        SCOPED_TRACE(testing::Message() << "phase " << phase);
        ConstruireNiveau(mur);
        CPerso& p = Placer(0, 256 - 4);
        p.PosX = 250;
        p.Etat = CPerso::EnLAir;
        p.ModifTouche(CPerso::ToucheDroite, true);
        ASSERT_EQ(Trame().Effets, std::vector<Effet>{Effet::Accroche});
        ASSERT_EQ(p.Etat, CPerso::Accroche);
        Trame(phase);
        p.ModifTouche(CPerso::ToucheHaut, true);
        EXPECT_EQ(Trame().Effets, std::vector<Effet>{Effet::Saut});
        p.ModifTouche(CPerso::ToucheHaut, false);
        int atterrissages = 0;
        for (int i = 0; i < 60; ++i)
        {
            const int yAvant = p.PosY;
            const Consignes c = Trame();
            const bool debout = p.Etat == CPerso::Immobile || p.Etat == CPerso::Marche;
            if (debout && p.PosY < yAvant)
                ++vusDebout; // standing in this frame's reading, still rising
            if (Contient(c, Effet::Atterrissage))
            {
                ++atterrissages;
                EXPECT_GE(p.PosY, yAvant) << i; // heard coming down, not rising
            }
            EXPECT_FALSE(Contient(c, Effet::ChuteLourde)) << i;
            EXPECT_FALSE(Contient(c, Effet::PasHerbe) && p.PosY < yAvant) << i;
        }
        EXPECT_EQ(atterrissages, 1);
        EXPECT_EQ(p.PosY, 256 - 62); // walking on the wall's top
    }
    EXPECT_GE(vusDebout, 3);
}

TEST_F(SonTrame, AMuteAroundALandingChangesNothingTheMappingKnows)
{
    // Falls from many heights, muted for a few frames around the moment the
    // character reaches the ground, then unmuted: standing stays silent and
    // the next jump lands with one soft landing, as without the mute.
    std::vector<std::string> puits(30, "............");
    puits.push_back("############");
    const int sol = 30 * 64;
    int essais = 0;
    for (int hauteur = 100; hauteur < 1400; hauteur += 37)
    {
        // Where the fall reaches the ground, unmuted.
        ConstruireNiveau(puits);
        CPerso* p = &Placer(3, sol - 64 - hauteur);
        p->Etat = CPerso::EnLAir;
        int sol_atteint = 0;
        while (p->Etat == CPerso::EnLAir && sol_atteint < 400)
        {
            Trame();
            ++sol_atteint;
        }
        for (int decalage = -3; decalage <= 1; ++decalage)
        {
            SCOPED_TRACE(testing::Message() << "height " << hauteur << ", muted from frame " << decalage);
            ConstruireNiveau(puits);
            p = &Placer(3, sol - 64 - hauteur);
            p->Etat = CPerso::EnLAir;
            aiguillage = Son::CAiguillage();
            for (int i = 0; i < sol_atteint + decalage; ++i)
                Trame();
            EXPECT_TRUE(aiguillage.BasculeMuet().Couper);
            // Half a second muted: the whole end of the fall, heard or not.
            for (int i = 0; i < 30; ++i)
                EXPECT_TRUE(Trame().Effets.empty());
            EXPECT_TRUE(aiguillage.BasculeMuet().Retablir);
            EXPECT_TRUE(Trames(90).empty()); // standing: nothing
            ASSERT_EQ(p->Etat, CPerso::Immobile);
            p->ModifTouche(CPerso::ToucheHaut, true);
            EXPECT_EQ(Trame().Effets, std::vector<Effet>{Effet::Saut});
            p->ModifTouche(CPerso::ToucheHaut, false);
            const std::vector<Effet> saut = Trames(100);
            EXPECT_EQ(saut, std::vector<Effet>{Effet::Atterrissage});
            ++essais;
        }
    }
    EXPECT_GT(essais, 100);
}
