// F11 and Alt+Enter between full screen and the 800x600 window, in the real
// window: the logical view, the textures, the halo and the fonts afterwards,
// read back from the frame buffer; the pointer; a mode SDL refuses.
#include <gtest/gtest.h>

#include "aide/Aide.h"
#include "aide/Processus.h"
#include "main/BoucleJeu.h"
#include "main/Commandes.h"
#include "main/Globales.h"
#include "outils/Horloge.h"

#include <SDL_opengl.h>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace
{
    SDL_Event Cle(Uint8 type, SDLKey cle, SDLMod mod = KMOD_NONE)
    {
        SDL_Event e;
        SDL_memset(&e, 0, sizeof e);
        e.type = type;
        e.key.keysym.sym = cle;
        e.key.keysym.mod = mod;
        return e;
    }

    SDL_Surface* Refuse(int, int, int, Uint32)
    {
        return nullptr;
    }

    bool Proche(const Rgba& p, int r, int g, int b)
    {
        return std::abs(p.r - r) <= 2 && std::abs(p.g - g) <= 2 && std::abs(p.b - b) <= 2;
    }

    class BasculeEcran : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            ASSERT_TRUE(OuvrirFenetre()) << "a display is needed (run under xvfb-run)";
            Horloge::FixerTemps(100000);
            Moteur.FonduActif = false;
            Moteur.Sprites.swap(sprites_);
            Moteur.Fontes.swap(fontes_);
            Commandes = CCommandes();
            continuer = true;
            const std::string image = dossier_ / "bleu.png";
            ASSERT_TRUE(EcrirePng(image, ImageUnie(64, 64, 40, 160, 220)));
            id_ = static_cast<unsigned int>(Moteur.NouvelleTexture(image.c_str()));
            {
                DansDossier ici(dossier_.Chemin());
                CreerDossiers(dossier_ / "Images/Fontes/Essai");
                ASSERT_TRUE(EcrirePng(dossier_ / "Images/Fontes/Essai/A.png", ImageUnie(8, 8, 250, 60, 10)));
                fonte_ = Moteur.NouvelleFonte("Essai");
            }
            // The desktop's size, which full screen takes.
            std::istringstream taille(Sortie("xdotool getdisplaygeometry"));
            taille >> largeurBureau_ >> hauteurBureau_;
        }
        void TearDown() override
        {
            CMoteur::ModeVideo = SDL_SetVideoMode;
            if (Moteur.PleinEcran || Moteur.Ecran == nullptr || Moteur.Ecran->w != 800)
                Moteur.ChangeMode(false);
            Commandes = CCommandes();
            AppliqueCurseur();
            Moteur.Sprites.swap(sprites_);
            Moteur.Fontes.swap(fontes_);
            continuer = true;
            Horloge::TempsReel();
        }

        void Envoie(const SDL_Event& e)
        {
            EtatPause pause = {0, 0};
            TraiteEvenement(e, pause);
        }

        // The frame at the real surface's size, for a logical point.
        Rgba Logique(int x, int y)
        {
            return LirePixel(x * Moteur.Ecran->w / 800, y * Moteur.Ecran->h / 600);
        }

        // The view is the logical 800x600 over the whole surface, the texture,
        // its halo and the font's glyph draw.
        void VerifieScene(const char* quand)
        {
            SCOPED_TRACE(quand);
            ASSERT_NE(Moteur.Ecran, nullptr);
            GLint vue[4];
            glGetIntegerv(GL_VIEWPORT, vue);
            EXPECT_EQ(vue[2], Moteur.Ecran->w);
            EXPECT_EQ(vue[3], Moteur.Ecran->h);

            Effacer(0, 0, 0);
            Moteur.AfficheTexture(id_, 400, 0, 400, 300, 255, 255, 255, false, 255);
            Moteur.AfficheTextureHalo(id_, 100, 400, 100, 100, 255, 255, 255, 15, 255, 255, 255, false, 255);
            Moteur.DessineTexte(fonte_, "A", 64, 500, 400, 255, 255, 255, false, 255);
            EXPECT_TRUE(Proche(Logique(600, 150), 40, 160, 220));
            EXPECT_TRUE(Proche(Logique(795, 5), 40, 160, 220)); // the view reaches the right edge
            EXPECT_TRUE(Proche(Logique(200, 150), 0, 0, 0));
            EXPECT_TRUE(Proche(Logique(150, 450), 40, 160, 220));
            const Rgba lueur = Logique(95, 450); // the glow left of the sprite
            EXPECT_GT(lueur.r, 40);
            EXPECT_EQ(lueur.r, lueur.g);
            EXPECT_TRUE(Proche(Logique(532, 432), 250, 60, 10));
        }

        DossierTemporaire dossier_;
        unsigned int id_ = 0;
        int fonte_ = 0;
        int largeurBureau_ = 0;
        int hauteurBureau_ = 0;

    private:
        std::vector<CMoteur::CSprite> sprites_;
        std::vector<CMoteur::CTexte> fontes_;
    };
}

TEST_F(BasculeEcran, F11AndAltEnterSwitchAndKeepTheViewTexturesHaloAndFonts)
{
    ASSERT_FALSE(Moteur.PleinEcran);
    VerifieScene("in the window");
    const GLuint texture = Moteur.Sprites[id_].Texture;
    const GLuint silhouette = Moteur.Sprites[id_].TextureHalo;
    ASSERT_TRUE(Moteur.Sprites[id_].HaloCree);
    ASSERT_GT(largeurBureau_, 0);

    Envoie(Cle(SDL_KEYDOWN, SDLK_F11));
    EXPECT_TRUE(Moteur.PleinEcran);
    EXPECT_EQ(Moteur.Ecran->w, largeurBureau_);
    EXPECT_EQ(Moteur.Ecran->h, hauteurBureau_);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    VerifieScene("full screen");
    // Key repeat: more presses of the held key switch nothing.
    Envoie(Cle(SDL_KEYDOWN, SDLK_F11));
    Envoie(Cle(SDL_KEYDOWN, SDLK_F11));
    EXPECT_TRUE(Moteur.PleinEcran);
    Envoie(Cle(SDL_KEYUP, SDLK_F11));

    // Enter alone does nothing; with Alt it switches back.
    Envoie(Cle(SDL_KEYDOWN, SDLK_RETURN));
    EXPECT_TRUE(Moteur.PleinEcran);
    Envoie(Cle(SDL_KEYUP, SDLK_RETURN));
    Envoie(Cle(SDL_KEYDOWN, SDLK_RETURN, KMOD_LALT));
    EXPECT_FALSE(Moteur.PleinEcran);
    EXPECT_EQ(Moteur.Ecran->w, 800);
    EXPECT_EQ(Moteur.Ecran->h, 600);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
    VerifieScene("back in the window");
    Envoie(Cle(SDL_KEYUP, SDLK_RETURN));

    // The GL context lived on: the very same textures, nothing loaded again.
    EXPECT_EQ(Moteur.Sprites[id_].Texture, texture);
    EXPECT_EQ(Moteur.Sprites[id_].TextureHalo, silhouette);
    EXPECT_TRUE(glIsTexture(texture));
    EXPECT_FALSE(Moteur.TexturesPerdues());

    // Alt+Enter on the keypad, then F11 again.
    Envoie(Cle(SDL_KEYDOWN, SDLK_KP_ENTER, KMOD_RALT));
    EXPECT_TRUE(Moteur.PleinEcran);
    Envoie(Cle(SDL_KEYUP, SDLK_KP_ENTER));
    Envoie(Cle(SDL_KEYDOWN, SDLK_F11));
    EXPECT_FALSE(Moteur.PleinEcran);
    Envoie(Cle(SDL_KEYUP, SDLK_F11));
    EXPECT_TRUE(continuer);
    // A resize in the window still goes to the engine as before.
    SDL_Event taille;
    SDL_memset(&taille, 0, sizeof taille);
    taille.type = SDL_VIDEORESIZE;
    taille.resize.w = 640;
    taille.resize.h = 480;
    Envoie(taille);
    EXPECT_EQ(Moteur.Ecran->w, 640);
    VerifieScene("resized");
}

TEST_F(BasculeEcran, AModeSdlRefusesLeavesTheGameAsItWas)
{
    SDL_Surface* const avant = Moteur.Ecran;
    const int largeur = avant->w;
    CMoteur::ModeVideo = Refuse;
    Envoie(Cle(SDL_KEYDOWN, SDLK_F11));
    EXPECT_FALSE(Moteur.PleinEcran);
    EXPECT_EQ(Moteur.Ecran, avant);
    EXPECT_EQ(Moteur.Ecran->w, largeur);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
    EXPECT_TRUE(continuer);
    VerifieScene("after the refusal");
    Envoie(Cle(SDL_KEYUP, SDLK_F11));

    // Once SDL accepts again, the key works.
    CMoteur::ModeVideo = SDL_SetVideoMode;
    Envoie(Cle(SDL_KEYDOWN, SDLK_F11));
    EXPECT_TRUE(Moteur.PleinEcran);
    Envoie(Cle(SDL_KEYUP, SDLK_F11));
    // Refused on the way back: full screen stays, pointer hidden.
    CMoteur::ModeVideo = Refuse;
    Envoie(Cle(SDL_KEYDOWN, SDLK_F11));
    EXPECT_TRUE(Moteur.PleinEcran);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    VerifieScene("full screen after a refusal");
}

TEST_F(BasculeEcran, TexturesLostWithTheContextAreLoadedAgain)
{
    VerifieScene("before");
    // What a new GL context would leave: none of the textures exist.
    std::vector<GLuint> noms;
    for (const CMoteur::CSprite& s : Moteur.Sprites)
        noms.insert(noms.end(), {s.Texture, s.TextureHalo});
    for (const CMoteur::CTexte& f : Moteur.Fontes)
        noms.insert(noms.end(), f.Lettres, f.Lettres + CMoteur::CTexte::NbLettres);
    glDeleteTextures(static_cast<GLsizei>(noms.size()), noms.data());
    ASSERT_TRUE(Moteur.TexturesPerdues());

    {
        // The font's glyphs are found from the game's folder, as they were.
        DansDossier ici(dossier_.Chemin());
        ASSERT_TRUE(Moteur.ChangeMode(false));
    }
    EXPECT_FALSE(Moteur.TexturesPerdues());
    EXPECT_FALSE(Moteur.Sprites[id_].HaloCree); // made again on its next draw
    EXPECT_EQ(Moteur.Sprites[id_].LargeurImage, 64);
    VerifieScene("after loading again");
    EXPECT_TRUE(Moteur.Sprites[id_].HaloCree);
}
