// The window, the logical view and the fade overlay, read back from a real GL context.
#include <gtest/gtest.h>

#include "aide/Aide.h"
#include "main/BoucleJeu.h"
#include "main/Globales.h"
#include "outils/Horloge.h"

#include <SDL_opengl.h>

namespace
{
    class Fenetre : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            ASSERT_TRUE(OuvrirFenetre()) << "a display is needed (run under xvfb-run)";
            Horloge::FixerTemps(100000);
            Moteur.FonduActif = false;
            Effacer(1, 1, 1);
        }
        void TearDown() override
        {
            Moteur.FonduActif = false;
            Horloge::TempsReel();
        }
    };

    void QuadBlanc(int x0, int y0, int x1, int y1)
    {
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_BLEND);
        glColor3ub(255, 0, 0);
        glBegin(GL_QUADS);
        glVertex2i(x0, y1);
        glVertex2i(x0, y0);
        glVertex2i(x1, y0);
        glVertex2i(x1, y1);
        glEnd();
    }
}

TEST_F(Fenetre, InitOpensTheCaptionedWindowWithTheLogicalView)
{
    ASSERT_NE(Moteur.Ecran, nullptr);
    EXPECT_EQ(Moteur.Ecran->w, 800);
    EXPECT_EQ(Moteur.Ecran->h, 600);
    char* titre = nullptr;
    SDL_WM_GetCaption(&titre, nullptr);
    ASSERT_NE(titre, nullptr);
    EXPECT_STREQ(titre, "Corvella tests");
    // A clear with the engine's own colour is opaque yellow.
    Moteur.DebutDessin();
    const Rgba c = LirePixel(400, 300);
    EXPECT_EQ(c.r, 255);
    EXPECT_EQ(c.g, 255);
    EXPECT_EQ(c.b, 0);
    // y grows downwards: a quad at the logical top appears at the window's top.
    QuadBlanc(0, 0, 800, 10);
    EXPECT_EQ(LirePixel(400, 5).g, 0);
    EXPECT_EQ(LirePixel(400, 20).g, 255);
}

TEST_F(Fenetre, FadeInDrawsOpaqueBlackThenHalfThenNothing)
{
    const Uint32 t = Horloge::Ticks();
    Moteur.RajoutFondu(t, t + 1000, 0, 0, 0, 0, 0, 0, 0, 255);

    Moteur.DessineFondu();
    Rgba c = LirePixel(10, 10);
    EXPECT_EQ(c.r, 0);
    EXPECT_EQ(c.g, 0);

    Effacer(1, 1, 1);
    Horloge::FixerTemps(t + 500);
    Moteur.DessineFondu();
    c = LirePixel(790, 590);
    // White under black at alpha 127: 255 * 128 / 255.
    EXPECT_NEAR(c.r, 128, 1);

    Effacer(1, 1, 1);
    Horloge::FixerTemps(t + 1000);
    Moteur.DessineFondu();
    EXPECT_EQ(LirePixel(400, 300).r, 255);
    EXPECT_TRUE(Moteur.FonduActif);

    Horloge::FixerTemps(t + 1001);
    Moteur.DessineFondu();
    EXPECT_FALSE(Moteur.FonduActif);
    EXPECT_EQ(LirePixel(400, 300).r, 255);
}

TEST_F(Fenetre, ScheduledFadeDrawsNothingBeforeItsStart)
{
    const Uint32 t = Horloge::Ticks();
    Moteur.RajoutFondu(t + 1000, t + 2000, 0, 0, 0, 255, 0, 0, 0, 0);
    Horloge::FixerTemps(t + 999);
    Moteur.DessineFondu();
    EXPECT_EQ(LirePixel(400, 300).r, 255);
    EXPECT_TRUE(Moteur.FonduActif);
    Horloge::FixerTemps(t + 2000);
    Moteur.DessineFondu();
    EXPECT_EQ(LirePixel(400, 300).r, 0);
    Effacer(1, 1, 1);
    Horloge::FixerTemps(t + 2001);
    Moteur.DessineFondu();
    EXPECT_EQ(LirePixel(400, 300).r, 255);
    EXPECT_FALSE(Moteur.FonduActif);
}

TEST_F(Fenetre, ExpiredFadeIsDiscardedUndrawn)
{
    const Uint32 t = Horloge::Ticks();
    Moteur.RajoutFondu(t - 3000, t - 2000, 0, 0, 0, 0, 0, 0, 0, 255);
    Moteur.DessineFondu();
    EXPECT_FALSE(Moteur.FonduActif);
    EXPECT_EQ(LirePixel(400, 300).r, 255);
}

TEST_F(Fenetre, FinDessinPacesFromTheMeasuredRate)
{
    Moteur.FPS = 0;
    Moteur.FinDessin();
    EXPECT_EQ(Horloge::DernierDelai(), 2u);
    Moteur.FPS = 150;
    Moteur.FinDessin();
    EXPECT_EQ(Horloge::DernierDelai(), 5u);
    Moteur.FPS = 0;
}

TEST_F(Fenetre, ResizeKeepsTheLogicalViewAndEventsPassSizesThrough)
{
    EtatPause pause = {0, 0};
    SDL_Event e;
    SDL_memset(&e, 0, sizeof e);
    e.type = SDL_VIDEORESIZE;
    e.resize.type = SDL_VIDEORESIZE;
    e.resize.w = 640;
    e.resize.h = 360;
    TraiteEvenement(e, pause);
    ASSERT_NE(Moteur.Ecran, nullptr);
    EXPECT_EQ(Moteur.Ecran->w, 640);
    EXPECT_EQ(Moteur.Ecran->h, 360);

    GLint vue[4];
    glGetIntegerv(GL_VIEWPORT, vue);
    EXPECT_EQ(vue[2], 640);
    EXPECT_EQ(vue[3], 360);
    // The logical right half (x 400..800) covers the window's right half.
    Effacer(1, 1, 1);
    QuadBlanc(400, 0, 800, 600);
    EXPECT_EQ(LirePixel(325, 180).g, 0);
    EXPECT_EQ(LirePixel(315, 180).g, 255);
    EXPECT_EQ(LirePixel(639, 359).g, 0);

    Moteur.ResizeWindow(800, 600);
    EXPECT_EQ(Moteur.Ecran->w, 800);
}

TEST_F(Fenetre, TheWindowIsDoubleBuffered)
{
    // Frames are drawn out of sight and shown whole by the buffer swap.
    GLboolean double_tampon = GL_FALSE;
    glGetBooleanv(GL_DOUBLEBUFFER, &double_tampon);
    EXPECT_TRUE(double_tampon);
}
