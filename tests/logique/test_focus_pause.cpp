// P and M act on a release the player made, and minimising pauses: event
// sequences as SDL queues them, handed to the game screen's own handling.
#include <gtest/gtest.h>

#include "main/BoucleJeu.h"
#include "main/Commandes.h"
#include "main/Globales.h"
#include "outils/Horloge.h"
#include "son/Son.h"

#include <vector>

namespace
{
    SDL_Event Cle(Uint8 type, SDLKey cle)
    {
        SDL_Event e;
        SDL_memset(&e, 0, sizeof e);
        e.key.type = type;
        e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        e.key.keysym.sym = cle;
        return e;
    }

    SDL_Event Actif(int gain, Uint8 etat)
    {
        SDL_Event e;
        SDL_memset(&e, 0, sizeof e);
        e.active.type = SDL_ACTIVEEVENT;
        e.active.gain = Uint8(gain);
        e.active.state = etat;
        return e;
    }

    const Uint8 Focus = SDL_APPINPUTFOCUS;
    const Uint8 Icone = SDL_APPACTIVE;

    class FocusPause : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            Horloge::FixerTemps(50000);
            Personnages.assign(1, CPerso());
            PersoPrincipal = 0;
            continuer = true;
            JeuEnPause = false;
            Commandes = CCommandes();
            pause = {99, 3};
            if (Son::Muet())
                Son::BasculeMuet();
        }
        void TearDown() override
        {
            if (Son::Muet())
                Son::BasculeMuet();
            Commandes = CCommandes();
            continuer = true;
            JeuEnPause = false;
            Horloge::TempsReel();
        }
        void Envoie(const std::vector<SDL_Event>& evenements)
        {
            for (const SDL_Event& e : evenements)
                TraiteEvenement(e, pause);
        }
        EtatPause pause;
    };
}

TEST_F(FocusPause, APressAndReleaseOfPOrMTogglesOnceWhateverTheKeyRepeat)
{
    Envoie({Cle(SDL_KEYDOWN, SDLK_p), Cle(SDL_KEYDOWN, SDLK_p), Cle(SDL_KEYDOWN, SDLK_p)});
    EXPECT_FALSE(JeuEnPause);
    Envoie({Cle(SDL_KEYUP, SDLK_p)});
    EXPECT_TRUE(JeuEnPause);
    EXPECT_EQ(pause.Compteur, 0u);
    Envoie({Cle(SDL_KEYDOWN, SDLK_p), Cle(SDL_KEYUP, SDLK_p)});
    EXPECT_FALSE(JeuEnPause);

    Envoie({Cle(SDL_KEYDOWN, SDLK_m), Cle(SDL_KEYDOWN, SDLK_m), Cle(SDL_KEYUP, SDLK_m)});
    EXPECT_TRUE(Son::Muet());
    Envoie({Cle(SDL_KEYDOWN, SDLK_m), Cle(SDL_KEYUP, SDLK_m)});
    EXPECT_FALSE(Son::Muet());
    // A second release with no press between: nothing.
    Envoie({Cle(SDL_KEYUP, SDLK_m), Cle(SDL_KEYUP, SDLK_p)});
    EXPECT_FALSE(Son::Muet());
    EXPECT_FALSE(JeuEnPause);
}

TEST_F(FocusPause, TheReleasesSentWhenTheFocusGoesToggleNothing)
{
    // SDL sends a release for every held key when the window loses the
    // keyboard focus, after the focus event or, through SDL 2, before it.
    for (bool pauseAvant : {false, true})
        for (bool releveApres : {true, false})
        {
            SCOPED_TRACE(testing::Message() << "paused " << pauseAvant << ", releases after the loss " << releveApres);
            JeuEnPause = pauseAvant;
            pause = {99, 3};
            Envoie({Cle(SDL_KEYDOWN, SDLK_p), Cle(SDL_KEYDOWN, SDLK_m), Cle(SDL_KEYDOWN, SDLK_LEFT)});
            if (releveApres)
                Envoie({Actif(0, Focus), Cle(SDL_KEYUP, SDLK_p), Cle(SDL_KEYUP, SDLK_m), Cle(SDL_KEYUP, SDLK_LEFT)});
            else
            {
                // The releases first: the focus loss is still waiting in the
                // queue. Each release is handled with the rest of the queue
                // behind it, as the game's drain does.
                const std::vector<SDL_Event> suite = {Cle(SDL_KEYUP, SDLK_p), Cle(SDL_KEYUP, SDLK_m),
                                                      Cle(SDL_KEYUP, SDLK_LEFT), Actif(0, Focus)};
                for (size_t i = 0; i < suite.size(); ++i)
                    TraiteEvenement(suite[i], pause,
                                    std::vector<SDL_Event>(suite.begin() + static_cast<long>(i) + 1, suite.end()));
            }
            EXPECT_EQ(JeuEnPause, pauseAvant);
            EXPECT_EQ(pause.Compteur, 99u);
            EXPECT_FALSE(Son::Muet());
            EXPECT_FALSE(Personnages[0].Touches[CPerso::ToucheGauche]);
            // Back in the window, P still held and then let go: its press was
            // before the loss, so this release is not the player's either.
            Envoie({Actif(1, Focus), Cle(SDL_KEYUP, SDLK_p), Cle(SDL_KEYUP, SDLK_m)});
            EXPECT_EQ(JeuEnPause, pauseAvant);
            EXPECT_FALSE(Son::Muet());
            // The next real press and release toggles as always.
            Envoie({Cle(SDL_KEYDOWN, SDLK_p), Cle(SDL_KEYUP, SDLK_p)});
            EXPECT_EQ(JeuEnPause, !pauseAvant);
        }
}

TEST_F(FocusPause, AReleaseWhosePressTheGameNeverSawTogglesNothing)
{
    // P or M held when the game started, or pressed in another window.
    Envoie({Cle(SDL_KEYUP, SDLK_p), Cle(SDL_KEYUP, SDLK_m)});
    EXPECT_FALSE(JeuEnPause);
    EXPECT_FALSE(Son::Muet());
    // The pad's pause button follows the same rule.
    Commandes.AjoutePad(0, "Xbox 360 Controller", 8, 11, 1);
    SDL_Event bouton;
    SDL_memset(&bouton, 0, sizeof bouton);
    bouton.jbutton = {SDL_JOYBUTTONUP, 0, 7, SDL_RELEASED};
    Envoie({bouton});
    EXPECT_FALSE(JeuEnPause);
    bouton.jbutton = {SDL_JOYBUTTONDOWN, 0, 7, SDL_PRESSED};
    Envoie({bouton});
    bouton.jbutton = {SDL_JOYBUTTONUP, 0, 7, SDL_RELEASED};
    Envoie({bouton});
    EXPECT_TRUE(JeuEnPause);
}

TEST_F(FocusPause, IconifyingPausesAsPWouldAndTheGameStaysPausedOnReturn)
{
    Horloge::AvancerTemps(1234);
    // Minimised: the keyboard focus and the window go together.
    Envoie({Cle(SDL_KEYDOWN, SDLK_RIGHT), Actif(0, Focus | Icone)});
    EXPECT_TRUE(JeuEnPause);
    EXPECT_TRUE(Commandes.Iconifie());
    EXPECT_EQ(pause.Compteur, 0u); // the caption restarts
    EXPECT_EQ(pause.Reference, 51234u);
    EXPECT_FALSE(Personnages[0].Touches[CPerso::ToucheDroite]);
    // Restored: still paused, the caption going on; P resumes.
    pause.Compteur = 40;
    Envoie({Actif(1, Icone), Actif(1, Focus)});
    EXPECT_FALSE(Commandes.Iconifie());
    EXPECT_TRUE(JeuEnPause);
    EXPECT_EQ(pause.Compteur, 40u);
    Envoie({Cle(SDL_KEYDOWN, SDLK_p), Cle(SDL_KEYUP, SDLK_p)});
    EXPECT_FALSE(JeuEnPause);

    // Already paused: minimising leaves the pause as it is.
    Envoie({Cle(SDL_KEYDOWN, SDLK_p), Cle(SDL_KEYUP, SDLK_p)});
    ASSERT_TRUE(JeuEnPause);
    pause.Compteur = 77;
    Envoie({Actif(0, Icone)});
    EXPECT_TRUE(JeuEnPause);
    EXPECT_TRUE(Commandes.Iconifie());
    EXPECT_EQ(pause.Compteur, 77u);
    Envoie({Actif(1, Icone)});
    EXPECT_FALSE(Commandes.Iconifie());
    EXPECT_TRUE(JeuEnPause);
}

TEST_F(FocusPause, LosingOnlyTheFocusOrThePointerDoesNotPause)
{
    Envoie({Actif(0, Focus), Actif(0, SDL_APPMOUSEFOCUS)});
    EXPECT_FALSE(JeuEnPause);
    EXPECT_FALSE(Commandes.Iconifie());
    Envoie({Actif(1, Focus)});
    EXPECT_FALSE(JeuEnPause);
}
