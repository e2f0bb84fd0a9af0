// The fade of a death, frame by frame in a real GL context: the game screen's
// scene drawn with the real character drowning, then the fade overlay a few
// milliseconds later, as in a frame of the game, the picture read back.
#include <gtest/gtest.h>

#include "aide/Aide.h"
#include "logique/NiveauPerso.h"
#include "main/BoucleJeu.h"

#include <SDL_opengl.h>

#include <algorithm>
#include <vector>

namespace
{
    class FonduRetour : public EssaisPerso::NiveauPerso
    {
    protected:
        void SetUp() override
        {
            EssaisPerso::NiveauPerso::SetUp();
            ASSERT_TRUE(OuvrirFenetre()) << "a display is needed (run under xvfb-run)";
            // No background image: the engine's yellow clear colour behind.
            arrierePlan_ = ImgArrierePlan;
            motif_ = ImgMotifArrierePlan;
            ImgArrierePlan = ImgMotifArrierePlan = 1u << 30;
        }
        void TearDown() override
        {
            ImgArrierePlan = arrierePlan_;
            ImgMotifArrierePlan = motif_;
            EssaisPerso::NiveauPerso::TearDown();
        }
        unsigned int arrierePlan_ = 0, motif_ = 0;
    };

    // One frame: the scene at the frame's time, the overlay `retard` ms later
    // (what the pause caption, the HUD and the frame counter take), then the
    // brightness of a pixel that only the background and the overlay cover.
    int Trame(EtatPause& pause, Uint32 retard)
    {
        DessineScene(pause);
        Horloge::AvancerTemps(retard);
        Moteur.DessineFondu();
        glFlush();
        const Rgba c = LirePixel(40, 560);
        return (c.r + c.g + c.b) / 3;
    }
}

TEST_F(FonduRetour, NoFrameFlashesBetweenTheFadeToBlackAndTheReturn)
{
    // For every phase of the frames against the moment of death: in some of
    // them a frame has its return check just before the fade to black ends
    // and its overlay just after.
    int tenues = 0;
    for (Uint32 phase = 0; phase < 16; ++phase)
    {
        SCOPED_TRACE(testing::Message() << "phase " << phase);
        EssaisPerso::ConstruireNiveau({"............", "............", "............", "......~~....",
                                       "############"});
        Map.PosDebutX = 2;
        Map.PosDebutY = 3;
        Personnages.assign(1, CPerso());
        PersoPrincipal = 0;
        CPerso& p = Personnages[0];
        p.ModifPos(6 * 64, 172); // the centre in the water, the head above it
        EtatPause pause = {0, 0};
        Moteur.FonduActif = false;

        const int clair = Trame(pause, 3); // the frame of the death, no overlay yet
        ASSERT_EQ(p.Etat, CPerso::Mort);
        const Uint32 mort = Horloge::Ticks() - 3;
        ASSERT_GT(clair, 60);
        Horloge::AvancerTemps(phase); // the frames from then on, 16 ms apart
        std::vector<int> luminosites;
        bool revenu = false;
        int imagesApresRetour = 0;
        while (imagesApresRetour < 5)
        {
            Horloge::AvancerTemps(13);
            const Uint32 debut = Horloge::Ticks();
            luminosites.push_back(Trame(pause, 3));
            if (!revenu && p.Etat != CPerso::Mort)
                revenu = true;
            if (revenu)
                ++imagesApresRetour;
            if (debut <= mort + 2000 && Horloge::Ticks() > mort + 2000 && p.Etat == CPerso::Mort)
            {
                ++tenues; // the frame of the old flash: black now
                EXPECT_EQ(luminosites.back(), 0);
            }
            ASSERT_LT(luminosites.size(), 400u);
        }
        // From the middle of the fade to black until after the return, every
        // frame is dark.
        const size_t milieu = static_cast<size_t>(1500 / 16);
        ASSERT_GT(luminosites.size(), milieu + 5);
        const int plusClaire = *std::max_element(luminosites.begin() + static_cast<long>(milieu), luminosites.end());
        EXPECT_LT(plusClaire, clair / 2);
    }
    EXPECT_GE(tenues, 2); // the old flash was met
}
