// Playing the real game with the keyboard: walk, jump, walk back, quit. Each
// key is held until its effect is seen on the screen (the view scrolls, the
// character leaves the ground), within bounds, never for a set time.
// The screenshots are kept in the build folder (captures/) to be looked at.
#include <gtest/gtest.h>

#include "aide/Aide.h"
#include "aide/Partie.h"

#include <cstdio>
#include <cstdlib>
#include <string>

TEST(Jouer, WalkJumpAndQuitWithTheArrowKeys)
{
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under xvfb-run";
    PartieJeu partie;
    ASSERT_TRUE(partie.FenetreVisible()) << "the game's window never appeared";
    const std::string captures = DossierJeu() + "/captures";
    CreerDossiers(captures);

    // The scene drawn, the fade in over, the character standing at the start.
    ImageRGBA repos, marche1, marche2, arret, saut, retour;
    ASSERT_GE(partie.AttendreScene(captures + "/jouer-0-debut.png", repos), 0) << "no scene within 60 s";
    ASSERT_GE(partie.AttendreRepos(captures + "/jouer-0-debut.png", repos), 0) << "the view never rests";
    // A tenth of the pixels below the head-up display: far more than the
    // bonuses' bobbing, far less than the ground moving under the view.
    const long dixieme = static_cast<long>(repos.Largeur) * repos.Hauteur / 10;

    // Walking right: the view scrolls, and goes on scrolling (a little: the
    // water lies not far ahead).
    partie.Appuyer("Right");
    EXPECT_GE(partie.AttendreImage(captures + "/jouer-1-marche.png", marche1, 30000,
                                   [&](const ImageRGBA& i) { return PixelsDifferents(repos, i) > dixieme; }),
              0)
        << "Right held, the view did not move in 30 s";
    EXPECT_GE(partie.AttendreImage(captures + "/jouer-2-marche.png", marche2, 30000,
                                   [&](const ImageRGBA& i) { return PixelsDifferents(marche1, i) > dixieme / 5; }),
              0)
        << "Right held, the view stopped";
    partie.Relacher("Right");
    EXPECT_TRUE(partie.EnCours()) << "the game ended while walking";

    // A jump from standing: the character leaves the ground (the middle of
    // the screen, where it stands, changes as much as a walk changes it).
    ASSERT_GE(partie.AttendreRepos(captures + "/jouer-3-arret.png", arret), 0) << "the character never stops";
    partie.Appuyer("Up");
    long apresSaut = -1;
    EXPECT_GE(partie.AttendreImage(captures + "/jouer-4-saut.png", saut, 30000,
                                   [&](const ImageRGBA& i)
                                   {
                                       apresSaut = DifferencesAuMilieu(arret, i);
                                       return apresSaut * 50 > static_cast<long>(i.Largeur) * i.Hauteur;
                                   }),
              0)
        << "Up pressed, no jump seen in 30 s (" << apresSaut << " pixels changed around the character)";
    partie.Relacher("Up");

    // Walking back left, both keys pressed and released in turn.
    partie.Appuyer("Left");
    EXPECT_GE(partie.AttendreImage(captures + "/jouer-5-retour.png", retour, 30000,
                                   [&](const ImageRGBA& i) { return PixelsDifferents(saut, i) > dixieme; }),
              0)
        << "Left held, the view did not move in 30 s";
    partie.Appuyer("Right");
    partie.Relacher("Right");
    partie.Relacher("Left");
    EXPECT_TRUE(partie.EnCours()) << "the game ended while playing";

    EXPECT_EQ(partie.Quitter(), 0);
}
