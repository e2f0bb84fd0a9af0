// The character's sprites and its drawing, read back from a real GL window:
// the frames' load order, the frame and mirror chosen for each state, the
// glow, the camera and the model-view matrix left behind.
#include <gtest/gtest.h>

#include "aide/Aide.h"
#include "main/Globales.h"
#include "outils/Horloge.h"

#include <SDL_opengl.h>
#include <cstdio>
#include <string>

namespace
{
    class DessinPersoRendu : public ::testing::Test
    {
    protected:
        static constexpr Uint32 Maintenant = 500000;

        void SetUp() override
        {
            ASSERT_TRUE(OuvrirFenetre()) << "a display is needed (run under xvfb-run)";
            Horloge::FixerTemps(Maintenant);
            // No level: nothing to collide with, no bonus, no water.
            Map.Cases.clear();
            Map.Largeur = 0;
            Map.Hauteur = 0;
            Map.ListeBonus.clear();
            JeuEnPause = false;
            Moteur.FonduActif = false;
            Effacer(0, 0, 0);
        }
        void TearDown() override
        {
            Moteur.FonduActif = false;
            Effacer(0, 0, 0);
            Horloge::TempsReel();
        }

        // A sprite 64x64: red on the left half, blue on the right half.
        static unsigned int ImageRougeBleu()
        {
            static unsigned int id = 0;
            static bool fait = false;
            if (!fait)
            {
                DossierTemporaire dossier;
                ImageRGBA image(64, 64);
                for (int y = 0; y < 64; ++y)
                    for (int x = 0; x < 64; ++x)
                    {
                        if (x < 32)
                            image.Fixer(x, y, 255, 0, 0);
                        else
                            image.Fixer(x, y, 0, 0, 255);
                    }
                EcrirePng(dossier / "rb.png", image);
                id = static_cast<unsigned int>(Moteur.NouvelleTexture((dossier / "rb.png").c_str()));
                fait = true;
            }
            return id;
        }

        // A plain green sprite, for the frames that must not be drawn.
        static unsigned int ImageVerte()
        {
            static unsigned int id = 0;
            static bool fait = false;
            if (!fait)
            {
                DossierTemporaire dossier;
                EcrirePng(dossier / "v.png", ImageUnie(64, 64, 0, 255, 0));
                id = static_cast<unsigned int>(Moteur.NouvelleTexture((dossier / "v.png").c_str()));
                fait = true;
            }
            return id;
        }

        // A character at (x, y) whose only red and blue frame is `indice`,
        // with no movement step due and frame 0 of its animation.
        static CPerso Perso(int x, int y, int etat, bool droite, int indice)
        {
            CPerso p;
            const unsigned int verte = ImageVerte();
            for (unsigned int& t : p.Textures)
                t = verte;
            p.Textures[indice] = ImageRougeBleu();
            p.ModifPos(x, y);
            p.DernierDepl = Maintenant;
            p.DebutAnim = Maintenant;
            p.Etat = etat;
            p.VersDroite = droite;
            return p;
        }

        static bool Rouge(const Rgba& c)
        {
            return c.r > 200 && c.g < 60 && c.b < 60;
        }
        static bool Bleu(const Rgba& c)
        {
            return c.b > 200 && c.r < 60 && c.g < 60;
        }
    };
}

TEST_F(DessinPersoRendu, WalkingLeftDrawsTheWalkingFrameMirrored)
{
    CPerso p = Perso(200, 200, CPerso::Marche, false, 10);
    p.DessinePerso();
    EXPECT_TRUE(Bleu(LirePixel(210, 232)));
    EXPECT_TRUE(Rouge(LirePixel(250, 232)));
}

TEST_F(DessinPersoRendu, WalkingRightDrawsTheFrameAsLoaded)
{
    CPerso p = Perso(200, 200, CPerso::Marche, true, 10);
    p.DessinePerso();
    EXPECT_TRUE(Rouge(LirePixel(210, 232)));
    EXPECT_TRUE(Bleu(LirePixel(250, 232)));
    // The square is 64 pixels: its last column and row are drawn, the next not.
    EXPECT_TRUE(Bleu(LirePixel(263, 263)));
    EXPECT_FALSE(Bleu(LirePixel(264, 232)));
    EXPECT_FALSE(Bleu(LirePixel(250, 264)));
}

TEST_F(DessinPersoRendu, StandingIsNeverMirrored)
{
    CPerso p = Perso(200, 200, CPerso::Immobile, false, 0);
    p.DessinePerso();
    EXPECT_TRUE(Rouge(LirePixel(210, 232)));
    EXPECT_TRUE(Bleu(LirePixel(250, 232)));
}

TEST_F(DessinPersoRendu, TheFrameOfTheAnimationAndStateIsDrawn)
{
    // In the air, facing left, 350 ms into the cycle: jump frame 3.
    CPerso p = Perso(300, 100, CPerso::EnLAir, false, 23);
    p.DebutAnim = Maintenant - 350;
    p.DessinePerso();
    EXPECT_TRUE(Bleu(LirePixel(310, 132)));
    EXPECT_TRUE(Rouge(LirePixel(350, 132)));
    // Hanging, facing right, 50 ms in: hanging frame 0.
    Effacer(0, 0, 0);
    CPerso q = Perso(300, 100, CPerso::Accroche, true, 30);
    q.DebutAnim = Maintenant - 50;
    q.DessinePerso();
    EXPECT_TRUE(Rouge(LirePixel(310, 132)));
}

TEST_F(DessinPersoRendu, NothingIsDrawnForADeadOrLettingGoCharacter)
{
    for (int etat : {CPerso::Mort, CPerso::Lache})
    {
        CPerso p = Perso(200, 200, etat, true, 0);
        p.DebutAnim = Maintenant + 2000; // dead: not back yet
        for (unsigned int& t : p.Textures)
            t = ImageRougeBleu();
        p.DessinePerso();
        const Rgba c = LirePixel(232, 232);
        EXPECT_EQ(c.r + c.g + c.b, 0) << etat;
    }
}

TEST_F(DessinPersoRendu, AWhiteGlowSurroundsTheSprite)
{
    CPerso p = Perso(200, 200, CPerso::Marche, true, 10);
    p.DessinePerso();
    // Just outside the sprite on the left: grey, as white over black.
    const Rgba pres = LirePixel(197, 232);
    EXPECT_GT(pres.r, 20);
    EXPECT_EQ(pres.r, pres.g);
    EXPECT_EQ(pres.g, pres.b);
    // Beyond the glow's reach (15 px): untouched.
    const Rgba loin = LirePixel(180, 232);
    EXPECT_EQ(loin.r + loin.g + loin.b, 0);
}

TEST_F(DessinPersoRendu, TheCharacterIsDrawnUnderTheCameraAndTheMatrixIsResetAfter)
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(-100.0f, -50.0f, 0.0f);
    CPerso p = Perso(300, 250, CPerso::Marche, true, 10);
    p.DessinePerso();
    EXPECT_TRUE(Rouge(LirePixel(210, 232)));
    EXPECT_TRUE(Bleu(LirePixel(250, 232)));
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(m[i], (i % 5 == 0) ? 1.0f : 0.0f) << i;
}

TEST_F(DessinPersoRendu, WhilePausedTheFrameIsStillDrawnButDoesNotMove)
{
    CPerso p = Perso(200, 200, CPerso::Marche, false, 10);
    p.ModifTouche(CPerso::ToucheDroite, true);
    p.DernierDepl = Maintenant - 100;
    JeuEnPause = true;
    p.DessinePerso();
    EXPECT_EQ(p.PosX, 200);
    EXPECT_TRUE(Bleu(LirePixel(210, 232)));
    JeuEnPause = false;
}

TEST_F(DessinPersoRendu, SpriteFramesLoadInOrderFromTheFourAnimations)
{
    // Frame n of animation a is an image 10a + n pixels wide; one is missing.
    DossierTemporaire dossier;
    const char* const animations[4] = {"immobile", "marche", "saut", "accrocher"};
    const std::string perso = dossier / "Images/Personnages/Perso (essai)";
    CreerDossiers(perso);
    for (int a = 0; a < 4; ++a)
        for (int n = 1; n <= 10; ++n)
        {
            if (a == 2 && n == 5)
                continue;
            char nom[64];
            std::snprintf(nom, sizeof nom, "/%s%d.png", animations[a], n);
            EcrirePng(perso + nom, ImageUnie(10 * a + n, 2, 255, 255, 255));
        }
    const size_t avant = Moteur.Sprites.size();
    CPerso p;
    {
        DansDossier ici(dossier.Chemin());
        p.LoadTexPerso("Perso (essai)");
    }
    ASSERT_EQ(Moteur.Sprites.size(), avant + 40);
    for (int i = 0; i < 40; ++i)
    {
        EXPECT_EQ(p.Textures[i], avant + static_cast<unsigned>(i)) << i;
        const int attendu = (i == 24) ? 0 : i + 1; // the missing one keeps its id
        EXPECT_EQ(Moteur.Sprites[p.Textures[i]].LargeurImage, attendu) << i;
    }
    // A second folder replaces the ids; the first frames stay registered.
    {
        DansDossier ici(dossier.Chemin());
        p.LoadTexPerso("Perso (essai)");
    }
    EXPECT_EQ(Moteur.Sprites.size(), avant + 80);
    EXPECT_EQ(p.Textures[0], avant + 40);
}
