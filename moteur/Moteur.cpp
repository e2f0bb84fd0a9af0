#include "Moteur.h"

#include "Fondu.h"
#include "../outils/Horloge.h"

#include <cstdio>
#include <string>

#include <GL/glu.h>

CMoteur::CMoteur()
    : PleinEcran(false), FonduActif(false), nbFrames(0), TempsFPS(0), FPS(0),
      DebutFondu(0), FinFondu(0), Ecran(nullptr),
      CouleurFinFondu{0, 0, 0, 0}, CouleurDebutFondu{0, 0, 0, 0}
{
}

CMoteur::~CMoteur()
{
    // Only the registries are released; SDL and OpenGL are gone by now.
}

namespace
{
    const Uint32 DrapeauxPleinEcran = SDL_FULLSCREEN | SDL_OPENGL | SDL_HWSURFACE | SDL_ASYNCBLIT;
    const Uint32 DrapeauxFenetre = SDL_OPENGL | SDL_HWSURFACE | SDL_ASYNCBLIT;

    void VueLogique(SDL_Surface* ecran)
    {
        glViewport(0, 0, ecran->w, ecran->h);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluOrtho2D(0, 800, 600, 0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }

    // Where the 800x600 window goes when the game leaves full screen: SDL
    // places it once, when the first mode is set, from SDL_VIDEO_WINDOW_POS,
    // and otherwise puts its corner at the middle of the screen. Centred on the
    // desktop, unless the player chose a place.
    void CentreFenetre()
    {
        if (SDL_getenv("SDL_VIDEO_WINDOW_POS") != nullptr || SDL_getenv("SDL_VIDEO_CENTERED") != nullptr)
            return;
        const SDL_VideoInfo* bureau = SDL_GetVideoInfo(); // the desktop, before any mode
        if (bureau == nullptr || bureau->current_w <= 0 || bureau->current_h <= 0)
            return;
        static char position[64];
        const int x = bureau->current_w > 800 ? (bureau->current_w - 800) / 2 : 0;
        const int y = bureau->current_h > 600 ? (bureau->current_h - 600) / 2 : 0;
        std::snprintf(position, sizeof position, "SDL_VIDEO_WINDOW_POS=%d,%d", x, y);
        SDL_putenv(position);
    }
}

int CMoteur::Init(bool pleinEcran, const char* titre)
{
    SDL_Init(SDL_INIT_VIDEO);
    CentreFenetre();
    // SDL 1.2 opens double-buffered GL windows unless told otherwise; the SDL
    // 1.2 we build on starts from single buffering, which would show every
    // frame being drawn (flashes of the yellow clear). Ask for SDL 1.2's own
    // default before the first mode is set.
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_WM_SetCaption(titre, nullptr);
    PleinEcran = pleinEcran;
    if (PleinEcran)
        Ecran = SDL_SetVideoMode(0, 0, 32, DrapeauxPleinEcran);
    else
        Ecran = SDL_SetVideoMode(800, 600, 32, DrapeauxFenetre);
    if (Ecran == nullptr)
        return -1;

    SDL_EnableKeyRepeat(10, 10);
    // Asked after the mode is set: they only apply to later mode changes.
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, 1);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, 6);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);

    glViewport(0, 0, Ecran->w, Ecran->h);
    glMatrixMode(GL_PROJECTION);
    gluOrtho2D(0, 800, 600, 0); // the fresh context's projection is the identity
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(1, 1, 0, 1);
    return 1;
}

void CMoteur::ResizeWindow(int largeur, int hauteur)
{
    SDL_Surface* nouvel;
    if (PleinEcran)
        nouvel = SDL_SetVideoMode(0, 0, 32, DrapeauxPleinEcran);
    else
        nouvel = SDL_SetVideoMode(largeur, hauteur, 32, DrapeauxFenetre | SDL_RESIZABLE);
    // A refused mode keeps the window and the view we already have.
    if (nouvel == nullptr)
        return;
    Ecran = nouvel;
    VueLogique(Ecran);
}

SDL_Surface* (*CMoteur::ModeVideo)(int, int, int, Uint32) = SDL_SetVideoMode;

bool CMoteur::ChangeMode(bool pleinEcran)
{
    SDL_Surface* nouvel = pleinEcran ? ModeVideo(0, 0, 32, DrapeauxPleinEcran)
                                     : ModeVideo(800, 600, 32, DrapeauxFenetre);
    if (nouvel == nullptr)
        return false;
    Ecran = nouvel;
    PleinEcran = pleinEcran;
    // SDL may have made a new GL context for the new mode: its textures and
    // its clear colour are then gone.
    if (TexturesPerdues())
        RechargeTextures();
    glClearColor(1, 1, 0, 1);
    VueLogique(Ecran);
    return true;
}

bool CMoteur::TexturesPerdues() const
{
    // The first texture that was made tells for all of them.
    for (const CSprite& sprite : Sprites)
        if (sprite.Texture != 0)
            return glIsTexture(sprite.Texture) == GL_FALSE;
    for (const CTexte& fonte : Fontes)
        for (const GLuint lettre : fonte.Lettres)
            if (lettre != 0)
                return glIsTexture(lettre) == GL_FALSE;
    return false;
}

void CMoteur::RechargeTextures()
{
    for (CSprite& sprite : Sprites)
    {
        const std::string chemin = sprite.Chemin;
        sprite.LoadTexture(chemin.c_str());
        // The silhouette is made again on the next halo draw.
        sprite.HaloCree = false;
        sprite.TextureHalo = 0;
    }
    for (CTexte& fonte : Fontes)
    {
        const std::string nom = fonte.Nom;
        fonte.LoadFont(nom.c_str());
    }
}

void CMoteur::DebutDessin()
{
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void CMoteur::RajoutFondu(Uint32 debut, Uint32 fin,
                          unsigned char r1, unsigned char g1, unsigned char b1, unsigned char a1,
                          unsigned char r2, unsigned char g2, unsigned char b2, unsigned char a2)
{
    DebutFondu = debut;
    FinFondu = fin;
    CouleurFinFondu[0] = b1;
    CouleurFinFondu[1] = g1;
    CouleurFinFondu[2] = r1;
    CouleurFinFondu[3] = a1;
    CouleurDebutFondu[0] = b2;
    CouleurDebutFondu[1] = g2;
    CouleurDebutFondu[2] = r2;
    CouleurDebutFondu[3] = a2;
    FonduActif = true;
}

void CMoteur::FinDessin()
{
    DessineFondu();
    glFlush();
    SDL_GL_SwapBuffers();
    Horloge::Attendre(DelaiPacing(FPS));
}

void CMoteur::DessineFondu()
{
    const Uint32 maintenant = Horloge::Ticks();
    if (FonduActif)
    {
        const PhaseFondu phase = PhaseDuFondu(DebutFondu, FinFondu, maintenant, TenirFinFondu, CouleurFinFondu);
        if (phase == PhaseFondu::Dessin)
        {
            // Held past its end, the fade shows its end colour.
            const CouleurFondu c = CalculeFondu(DebutFondu, FinFondu, maintenant <= FinFondu ? maintenant : FinFondu,
                                                CouleurFinFondu, CouleurDebutFondu);
            glMatrixMode(GL_MODELVIEW);
            glLoadIdentity();
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
            glEnable(GL_BLEND);
            glBegin(GL_QUADS);
            glColor4ub(c.Rouge, c.Vert, c.Bleu, c.Alpha);
            glVertex2i(0, 600);
            glVertex2i(0, 0);
            glVertex2i(800, 0);
            glVertex2i(800, 600);
            glEnd();
        }
        else if (phase == PhaseFondu::Fin)
        {
            FonduActif = false;
        }
    }
}
