// Screenshots, axis drawing, cursors and the full-screen mode choice, with a
// real GL window.
#include <gtest/gtest.h>

#include "aide/Aide.h"
#include "aide/Processus.h"
#include "main/Globales.h"
#include "outils/Outils.h"

#include <SDL_opengl.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{
    class FenetreOutils : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            ASSERT_TRUE(OuvrirFenetre()) << "a display is needed (run under xvfb-run)";
            ASSERT_NE(Moteur.Ecran, nullptr);
            glViewport(0, 0, Moteur.Ecran->w, Moteur.Ecran->h);
            Effacer(0, 0, 1);
        }
        void TearDown() override
        {
            if (Moteur.Ecran != nullptr)
                glViewport(0, 0, Moteur.Ecran->w, Moteur.Ecran->h);
        }
        DossierTemporaire dossier;
    };

    void Quad(int x0, int y0, int x1, int y1, unsigned char r, unsigned char g, unsigned char b)
    {
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_BLEND);
        glColor3ub(r, g, b);
        glBegin(GL_QUADS);
        glVertex2i(x0, y1);
        glVertex2i(x0, y0);
        glVertex2i(x1, y0);
        glVertex2i(x1, y1);
        glEnd();
    }

    // One pixel of a surface loaded from a BMP, whatever depth SDL chose.
    Rgba PixelSurface(SDL_Surface* s, int x, int y)
    {
        const int octets = s->format->BytesPerPixel;
        const Uint8* p = static_cast<const Uint8*>(s->pixels) +
                         static_cast<size_t>(y) * s->pitch + static_cast<size_t>(x) * octets;
        Uint32 valeur = 0;
        std::memcpy(&valeur, p, static_cast<size_t>(octets)); // little-endian machine
        Uint8 r, g, b;
        SDL_GetRGB(valeur, s->format, &r, &g, &b);
        return Rgba{r, g, b, 255};
    }

    ::testing::AssertionResult Couleur(Rgba c, int r, int g, int b)
    {
        if (c.r == r && c.g == g && c.b == b)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "(" << c.r << ", " << c.g << ", " << c.b
                                             << ") instead of (" << r << ", " << g << ", " << b
                                             << ")";
    }
}

// ---------------------------------------------------------------------------
// Screenshots

TEST_F(FenetreOutils, ScreenshotHasTheViewportSizeAndTheTopRowFirst)
{
    Quad(0, 0, 100, 50, 255, 0, 0);       // top left
    Quad(700, 550, 800, 600, 0, 255, 0);  // bottom right
    Quad(0, 590, 10, 600, 255, 255, 255); // bottom left
    const std::string chemin = dossier / "ecran.bmp";
    ASSERT_EQ(Outils::takeScreenshot(chemin.c_str()), 0);

    SDL_Surface* image = SDL_LoadBMP(chemin.c_str());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->w, 800);
    EXPECT_EQ(image->h, 600);
    SDL_LockSurface(image);
    EXPECT_TRUE(Couleur(PixelSurface(image, 0, 0), 255, 0, 0));
    EXPECT_TRUE(Couleur(PixelSurface(image, 99, 49), 255, 0, 0));
    EXPECT_TRUE(Couleur(PixelSurface(image, 100, 49), 0, 0, 255));
    EXPECT_TRUE(Couleur(PixelSurface(image, 99, 50), 0, 0, 255));
    EXPECT_TRUE(Couleur(PixelSurface(image, 799, 599), 0, 255, 0));
    EXPECT_TRUE(Couleur(PixelSurface(image, 700, 550), 0, 255, 0));
    EXPECT_TRUE(Couleur(PixelSurface(image, 0, 599), 255, 255, 255));
    EXPECT_TRUE(Couleur(PixelSurface(image, 400, 300), 0, 0, 255));
    SDL_UnlockSurface(image);
    SDL_FreeSurface(image);
}

TEST_F(FenetreOutils, ScreenshotTakesOnlyTheViewport)
{
    // Window pixels 100..299 across and, from the top, 450..549 down.
    Quad(100, 450, 110, 460, 255, 0, 0);
    Quad(290, 540, 300, 550, 0, 255, 0);
    Quad(99, 449, 100, 550, 255, 255, 255); // just outside, left
    glViewport(100, 50, 200, 100);
    const std::string chemin = dossier / "vue.bmp";
    ASSERT_EQ(Outils::takeScreenshot(chemin.c_str()), 0);

    SDL_Surface* image = SDL_LoadBMP(chemin.c_str());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->w, 200);
    EXPECT_EQ(image->h, 100);
    SDL_LockSurface(image);
    EXPECT_TRUE(Couleur(PixelSurface(image, 0, 0), 255, 0, 0));
    EXPECT_TRUE(Couleur(PixelSurface(image, 9, 9), 255, 0, 0));
    EXPECT_TRUE(Couleur(PixelSurface(image, 10, 10), 0, 0, 255));
    EXPECT_TRUE(Couleur(PixelSurface(image, 199, 99), 0, 255, 0));
    EXPECT_TRUE(Couleur(PixelSurface(image, 0, 50), 0, 0, 255));
    SDL_UnlockSurface(image);
    SDL_FreeSurface(image);
}

TEST_F(FenetreOutils, ScreenshotIgnoresThePackingStateLeftBehind)
{
    // A wide row alignment and row length would make OpenGL write rows at
    // another stride than the surface's.
    glPixelStorei(GL_PACK_ALIGNMENT, 8);
    glPixelStorei(GL_PACK_ROW_LENGTH, 1000);
    Quad(0, 0, 1, 600, 255, 0, 0);
    glViewport(0, 0, 333, 77);
    const std::string chemin = dossier / "impair.bmp";
    ASSERT_EQ(Outils::takeScreenshot(chemin.c_str()), 0);
    GLint alignement = 0;
    GLint longueur = 0;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignement);
    glGetIntegerv(GL_PACK_ROW_LENGTH, &longueur);
    EXPECT_EQ(alignement, 8);
    EXPECT_EQ(longueur, 1000);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);

    SDL_Surface* image = SDL_LoadBMP(chemin.c_str());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->w, 333);
    EXPECT_EQ(image->h, 77);
    SDL_LockSurface(image);
    for (int y = 0; y < 77; y += 19)
    {
        EXPECT_TRUE(Couleur(PixelSurface(image, 0, y), 255, 0, 0)) << "row " << y;
        EXPECT_TRUE(Couleur(PixelSurface(image, 1, y), 0, 0, 255)) << "row " << y;
    }
    SDL_UnlockSurface(image);
    SDL_FreeSurface(image);
}

TEST_F(FenetreOutils, ScreenshotToAPlaceThatCannotBeWrittenFails)
{
    const std::string sansDossier = dossier / "absent/ecran.bmp";
    EXPECT_EQ(Outils::takeScreenshot(sansDossier.c_str()), -1);
    EXPECT_FALSE(std::filesystem::exists(dossier / "absent"));
    // A folder cannot be opened as a file.
    EXPECT_EQ(Outils::takeScreenshot(dossier.Chemin().c_str()), -1);
    EXPECT_TRUE(std::filesystem::is_directory(dossier.Chemin()));
    EXPECT_EQ(Outils::takeScreenshot(nullptr), -1);
    // A failure leaves nothing behind that breaks the next shot.
    const std::string chemin = dossier / "ensuite.bmp";
    EXPECT_EQ(Outils::takeScreenshot(chemin.c_str()), 0);
    EXPECT_TRUE(std::filesystem::exists(chemin));
}

// ---------------------------------------------------------------------------
// Axes

namespace
{
    struct EtatGL
    {
        GLboolean Blend, Texture, Lissage, Eclairage;
        GLfloat Largeur;
        GLint Source, Destination, Mode;
        std::array<GLfloat, 4> Couleur;
        std::array<GLfloat, 16> ModelVue, Projection;
        GLint Pile, PileAttributs;

        static EtatGL Lire()
        {
            EtatGL e{};
            e.Blend = glIsEnabled(GL_BLEND);
            e.Texture = glIsEnabled(GL_TEXTURE_2D);
            e.Lissage = glIsEnabled(GL_LINE_SMOOTH);
            e.Eclairage = glIsEnabled(GL_LIGHTING);
            glGetFloatv(GL_LINE_WIDTH, &e.Largeur);
            glGetIntegerv(GL_BLEND_SRC, &e.Source);
            glGetIntegerv(GL_BLEND_DST, &e.Destination);
            glGetIntegerv(GL_MATRIX_MODE, &e.Mode);
            glGetFloatv(GL_CURRENT_COLOR, e.Couleur.data());
            glGetFloatv(GL_MODELVIEW_MATRIX, e.ModelVue.data());
            glGetFloatv(GL_PROJECTION_MATRIX, e.Projection.data());
            glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &e.Pile);
            glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &e.PileAttributs);
            return e;
        }
    };

    void ExpectMemeEtat(const EtatGL& a, const EtatGL& b)
    {
        EXPECT_EQ(a.Blend, b.Blend);
        EXPECT_EQ(a.Texture, b.Texture);
        EXPECT_EQ(a.Lissage, b.Lissage);
        EXPECT_EQ(a.Eclairage, b.Eclairage);
        EXPECT_EQ(a.Largeur, b.Largeur);
        EXPECT_EQ(a.Source, b.Source);
        EXPECT_EQ(a.Destination, b.Destination);
        EXPECT_EQ(a.Mode, b.Mode);
        EXPECT_EQ(a.Couleur, b.Couleur);
        EXPECT_EQ(a.ModelVue, b.ModelVue);
        EXPECT_EQ(a.Projection, b.Projection);
        EXPECT_EQ(a.Pile, b.Pile);
        EXPECT_EQ(a.PileAttributs, b.PileAttributs);
    }
}

TEST_F(FenetreOutils, AxisDrawingLeavesAttributesAndMatrixAsFound)
{
    // Errors left by earlier calls are not ours to judge.
    while (glGetError() != GL_NO_ERROR)
    {
    }
    // Every setting the axes change, once the other way round...
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glDisable(GL_LINE_SMOOTH);
    glLineWidth(3);
    glBlendFunc(GL_ONE, GL_ZERO);
    glColor4f(0.25f, 0.5f, 0.75f, 1.0f);
    glMatrixMode(GL_MODELVIEW);
    glTranslated(123, 45, 0);
    glRotated(30, 0, 0, 1);
    EtatGL avant = EtatGL::Lire();
    Outils::drawAxis(50);
    ExpectMemeEtat(EtatGL::Lire(), avant);

    // ...and once as they set them, from the projection matrix.
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glEnable(GL_LINE_SMOOTH);
    glLineWidth(1);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glMatrixMode(GL_PROJECTION);
    avant = EtatGL::Lire();
    Outils::drawAxis(0.5);
    ExpectMemeEtat(EtatGL::Lire(), avant);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_BLEND);
    glDisable(GL_LINE_SMOOTH);
    glColor4f(1, 1, 1, 1);
}

TEST_F(FenetreOutils, AxesAreRedAlongXAndGreenAlongY)
{
    Effacer(1, 1, 1);
    glTranslated(100, 100, 0);
    Outils::drawAxis(100);
    glLoadIdentity();

    // Two pixels wide around y 100 from x 100 to 200, and around x 100 down
    // to y 200 (y grows downwards in the view).
    auto rouge = [](Rgba c) { return c.r > 200 && c.g < 80 && c.b < 80; };
    auto vert = [](Rgba c) { return c.g > 200 && c.r < 80 && c.b < 80; };
    EXPECT_TRUE(rouge(LirePixel(150, 99)) || rouge(LirePixel(150, 100)));
    EXPECT_TRUE(rouge(LirePixel(190, 99)) || rouge(LirePixel(190, 100)));
    EXPECT_TRUE(vert(LirePixel(99, 150)) || vert(LirePixel(100, 150)));
    EXPECT_TRUE(vert(LirePixel(99, 190)) || vert(LirePixel(100, 190)));
    EXPECT_TRUE(Couleur(LirePixel(150, 110), 255, 255, 255));
    EXPECT_TRUE(Couleur(LirePixel(210, 100), 255, 255, 255));
    EXPECT_TRUE(Couleur(LirePixel(100, 210), 255, 255, 255));
    EXPECT_TRUE(Couleur(LirePixel(50, 100), 255, 255, 255));
}

// ---------------------------------------------------------------------------
// Cursors

TEST_F(FenetreOutils, CursorFromAWrittenXpmHasItsSizeHotSpotAndPlanes)
{
    ImageRGBA image(16, 2);
    for (int x = 0; x < 16; ++x)
        for (int y = 0; y < 2; ++y)
            image.Fixer(x, y, 0, 0, 0, 0);
    image.Fixer(0, 0, 0, 0, 0, 255);       // X
    image.Fixer(1, 0, 255, 255, 255, 255); // .
    image.Fixer(2, 0, 0, 0, 0, 255);       // X
    image.Fixer(15, 1, 255, 255, 255, 255);
    ASSERT_TRUE(EcrirePng(dossier / "fleche.png", image));
    {
        DansDossier ici(dossier.Chemin());
        ASSERT_EQ(Outils::XPMFromImage("fleche.png", "fleche.c"), 0);
    }

    // The strings of the written array.
    std::ifstream f(dossier / "fleche.c");
    std::vector<std::string> chaines;
    std::string ligne;
    while (std::getline(f, ligne))
    {
        const size_t debut = ligne.find('"');
        const size_t fin = ligne.rfind('"');
        if (debut != std::string::npos && fin > debut)
            chaines.push_back(ligne.substr(debut + 1, fin - debut - 1));
    }
    ASSERT_EQ(chaines.size(), 7u);
    std::vector<const char*> xpm;
    for (const std::string& c : chaines)
        xpm.push_back(c.c_str());

    SDL_Cursor* curseur = Outils::cursorFromXPM(xpm.data());
    ASSERT_NE(curseur, nullptr) << SDL_GetError();
    EXPECT_EQ(curseur->area.w, 16);
    EXPECT_EQ(curseur->area.h, 2);
    EXPECT_EQ(curseur->hot_x, 0);
    EXPECT_EQ(curseur->hot_y, 0);
    ASSERT_NE(curseur->data, nullptr);
    ASSERT_NE(curseur->mask, nullptr);
    EXPECT_EQ(curseur->data[0], 0xA0);
    EXPECT_EQ(curseur->mask[0], 0xE0);
    EXPECT_EQ(curseur->data[1], 0x00);
    EXPECT_EQ(curseur->mask[1], 0x00);
    EXPECT_EQ(curseur->data[3], 0x00);
    EXPECT_EQ(curseur->mask[3], 0x01);
    SDL_FreeCursor(curseur);
}

TEST_F(FenetreOutils, CursorFromABrokenXpmIsNull)
{
    const char* sansPoint[] = {"8 1", "X c #000000", ". c #ffffff", "  c None", "X.X.X.X.",
                               nullptr};
    EXPECT_EQ(Outils::cursorFromXPM(sansPoint), nullptr);
    const char* tropCourt[] = {"8 1", "X c #000000", ". c #ffffff", "  c None", "X.X", "0,0"};
    EXPECT_EQ(Outils::cursorFromXPM(tropCourt), nullptr);
    EXPECT_EQ(Outils::cursorFromXPM(nullptr), nullptr);
    // An odd width gives a cursor rounded up to a whole byte.
    const char* impair[] = {"3 1", "X c #000000", ". c #ffffff", "  c None", "X.X", "2,0"};
    SDL_Cursor* curseur = Outils::cursorFromXPM(impair);
    ASSERT_NE(curseur, nullptr) << SDL_GetError();
    EXPECT_EQ(curseur->area.w, 8);
    EXPECT_EQ(curseur->hot_x, 2);
    EXPECT_EQ(curseur->data[0], 0xA0);
    EXPECT_EQ(curseur->mask[0], 0xE0);
    SDL_FreeCursor(curseur);
}

// ---------------------------------------------------------------------------
// Full-screen mode choice. Setting a mode would change the window every other
// test draws in, so the real call runs in a child copy of this program with a
// window of its own.

namespace
{
    const char* const VariableEnfant = "CORVELLA_ENFANT_PLEIN_ECRAN";

    std::string CeProgramme()
    {
        std::vector<char> chemin(4096, '\0');
        const ssize_t n = readlink("/proc/self/exe", chemin.data(), chemin.size() - 1);
        return n > 0 ? std::string(chemin.data(), static_cast<size_t>(n)) : std::string();
    }
}

TEST(PleinEcranEnfant, TakesTheFirstListedModeOrChangesNothing)
{
    if (std::getenv(VariableEnfant) == nullptr)
        GTEST_SKIP() << "runs only in the child process started by PleinEcran";

    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
    SDL_Surface* fenetre = SDL_SetVideoMode(320, 240, 32, SDL_OPENGL);
    ASSERT_NE(fenetre, nullptr);
    SDL_Rect** modes = SDL_ListModes(nullptr, SDL_FULLSCREEN | SDL_OPENGL);
    const SDL_Rect* premier = Outils::firstListedMode(modes);

    unsigned int largeur = 7;
    unsigned int hauteur = 9;
    EXPECT_EQ(Outils::initFullScreen(&largeur, &hauteur), 0);
    SDL_Surface* ecran = SDL_GetVideoSurface();
    ASSERT_NE(ecran, nullptr);
    if (premier == nullptr)
    {
        // Any size or no list: nothing set, nothing written.
        EXPECT_EQ(largeur, 7u);
        EXPECT_EQ(hauteur, 9u);
        EXPECT_EQ(ecran->w, 320);
        EXPECT_EQ(ecran->h, 240);
        EXPECT_EQ(ecran->flags & SDL_FULLSCREEN, 0u);
    }
    else
    {
        EXPECT_EQ(largeur, premier->w);
        EXPECT_EQ(hauteur, premier->h);
        EXPECT_EQ(static_cast<unsigned int>(ecran->w), largeur);
        EXPECT_EQ(static_cast<unsigned int>(ecran->h), hauteur);
        EXPECT_NE(ecran->flags & SDL_FULLSCREEN, 0u);
        EXPECT_NE(ecran->flags & SDL_OPENGL, 0u);
        // Outputs may be left out.
        EXPECT_EQ(Outils::initFullScreen(nullptr, nullptr), 0);
    }
    // No SDL_Quit: it would unload the graphics libraries before the leak
    // checker of a sanitized build can name (and pass over) what they keep.
}

TEST(PleinEcran, ChildProgramSetsTheFirstModeWithoutTouchingOurWindow)
{
    ASSERT_TRUE(OuvrirFenetre()) << "a display is needed (run under xvfb-run)";
    ASSERT_NE(Moteur.Ecran, nullptr);
    const int largeur = Moteur.Ecran->w;
    const int hauteur = Moteur.Ecran->h;
    const std::string programme = CeProgramme();
    ASSERT_FALSE(programme.empty());
    Lancement lancement;
    lancement.Arguments = {programme, "--gtest_filter=PleinEcranEnfant.*"};
    lancement.Ajouter = {std::string(VariableEnfant) + "=1"};
    const pid_t pid = Demarrer(lancement);
    ASSERT_GT(pid, 0);
    const int statut = AttendreFin(pid, 60000);
    if (statut < 0)
        Tuer(pid);
    EXPECT_EQ(statut, 0);
    // Our window kept its size.
    ASSERT_NE(Moteur.Ecran, nullptr);
    EXPECT_EQ(SDL_GetVideoSurface(), Moteur.Ecran);
    EXPECT_EQ(Moteur.Ecran->w, largeur);
    EXPECT_EQ(Moteur.Ecran->h, hauteur);
    EXPECT_EQ(Moteur.Ecran->flags & SDL_FULLSCREEN, 0u);
}
