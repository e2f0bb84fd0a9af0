// Gamepads and the keyboard together: joystick events made here and handed to
// the game screen's event handling, as SDL would queue them.
#include <gtest/gtest.h>

#include "main/BoucleJeu.h"
#include "main/Commandes.h"
#include "main/Globales.h"
#include "outils/Horloge.h"

namespace
{
    // An event as SDL queues it; `element` is the axis, hat, button or key.
    SDL_Event Evenement(Uint8 type, int pad, int element, int valeur = 0)
    {
        SDL_Event e;
        SDL_memset(&e, 0, sizeof e);
        e.type = type;
        switch (type)
        {
        case SDL_JOYAXISMOTION:
            e.jaxis = {type, Uint8(pad), Uint8(element), Sint16(valeur)};
            break;
        case SDL_JOYHATMOTION:
            e.jhat = {type, Uint8(pad), Uint8(element), Uint8(valeur)};
            break;
        case SDL_JOYBUTTONDOWN:
        case SDL_JOYBUTTONUP:
            e.jbutton = {type, Uint8(pad), Uint8(element), Uint8(type == SDL_JOYBUTTONDOWN)};
            break;
        case SDL_ACTIVEEVENT:
            e.active = {type, Uint8(valeur), Uint8(element)};
            break;
        default:
            e.key.keysym.sym = SDLKey(element);
        }
        return e;
    }
    SDL_Event Axe(int pad, int axe, int valeur) { return Evenement(SDL_JOYAXISMOTION, pad, axe, valeur); }
    SDL_Event Chapeau(int pad, int valeur, int chapeau = 0) { return Evenement(SDL_JOYHATMOTION, pad, chapeau, valeur); }
    SDL_Event Bouton(int pad, int bouton, bool appuye)
    {
        return Evenement(appuye ? SDL_JOYBUTTONDOWN : SDL_JOYBUTTONUP, pad, bouton);
    }
    SDL_Event Cle(Uint8 type, SDLKey cle) { return Evenement(type, 0, cle); }
    SDL_Event Actif(int gain, Uint8 etat) { return Evenement(SDL_ACTIVEEVENT, 0, etat, gain); }

    // Pads as SDL 1.2 reports them on Linux.
    const int Xbox = 0;        // xpad: 11 buttons, a hat
    const int PlayStation = 1; // hid-playstation: 13 buttons, a hat
    const int ParSDL = 2;      // SDL's own driver: 16 buttons, the d-pad as buttons
    const int SansRien = 3;    // reports no axis, no button, no hat

    const int Haut = CPerso::ToucheHaut;
    const int Bas = CPerso::ToucheBas;
    const int Gauche = CPerso::ToucheGauche;
    const int Droite = CPerso::ToucheDroite;

    class Manettes : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            Horloge::FixerTemps(20000);
            Personnages.assign(1, CPerso());
            PersoPrincipal = 0;
            continuer = true;
            JeuEnPause = false;
            pause = {33, 7};
            Commandes = CCommandes();
            Commandes.AjoutePad(Xbox, "Xbox 360 Controller", 8, 11, 1);
            Commandes.AjoutePad(PlayStation, "Sony Interactive Entertainment Wireless Controller", 6, 13, 1);
            Commandes.AjoutePad(ParSDL, "PS4 Controller", 6, 16, 0);
            Commandes.AjoutePad(SansRien, "Empty", 0, 0, 0);
        }
        void TearDown() override
        {
            Commandes = CCommandes();
            continuer = true;
            JeuEnPause = false;
            Horloge::TempsReel();
        }
        void Envoie(const SDL_Event& e) { TraiteEvenement(e, pause); }
        bool Tenue(int k) const { return Personnages[0].Touches[k]; }
        int NbTenues() const
        {
            int n = 0;
            for (int k = 0; k < 4; ++k)
                n += Tenue(k) ? 1 : 0;
            return n;
        }
        EtatPause pause;
    };
}

TEST(DispositionManette, NamesAndCountsPickTheFamily)
{
    using namespace Manette;
    EXPECT_EQ(DispositionPour("Xbox 360 Controller", 11, 1), DispositionXbox);
    EXPECT_EQ(DispositionPour("Microsoft X-Box One S pad", 11, 1), DispositionXbox);
    EXPECT_EQ(DispositionPour("Generic X-Box pad", 11, 1), DispositionXbox);
    EXPECT_EQ(DispositionPour("PS4 Controller", 13, 1), DispositionPlayStation);
    EXPECT_EQ(DispositionPour("USB Gamepad", 10, 1), DispositionPlayStation);
    EXPECT_EQ(DispositionPour(nullptr, 10, 1), DispositionPlayStation);
    EXPECT_EQ(DispositionPour("", 0, 0), DispositionPlayStation);
    // SDL's own driver: no hat, the d-pad among at least 15 buttons.
    EXPECT_EQ(DispositionPour("PS4 Controller", 16, 0), DispositionSDL);
    EXPECT_EQ(DispositionPour("Xbox One Controller", 15, 0), DispositionSDL);
    EXPECT_EQ(DispositionPour("Arcade stick", 14, 0), DispositionPlayStation);
}

TEST_F(Manettes, TheFirstFaceButtonJumpsAndStartPausesOnEveryFamily)
{
    struct Cas
    {
        int Pad, Saut, Start;
    };
    for (const Cas c : {Cas{Xbox, 0, 7}, Cas{PlayStation, 0, 9}, Cas{ParSDL, 0, 6}})
    {
        Envoie(Bouton(c.Pad, c.Saut, true));
        EXPECT_TRUE(Tenue(Haut)) << c.Pad;
        EXPECT_EQ(NbTenues(), 1) << c.Pad;
        Envoie(Bouton(c.Pad, c.Saut, false));
        EXPECT_EQ(NbTenues(), 0) << c.Pad;

        const bool avant = JeuEnPause;
        Envoie(Bouton(c.Pad, c.Start, true));
        EXPECT_EQ(JeuEnPause, avant) << c.Pad;
        Envoie(Bouton(c.Pad, c.Start, false));
        EXPECT_NE(JeuEnPause, avant) << c.Pad;
        EXPECT_EQ(NbTenues(), 0) << c.Pad;
    }
}

TEST_F(Manettes, TheDpadButtonsOfSdlsOwnDriverSteer)
{
    const int directions[4][2] = {{11, Haut}, {12, Bas}, {13, Gauche}, {14, Droite}};
    for (const auto& d : directions)
    {
        Envoie(Bouton(ParSDL, d[0], true));
        EXPECT_TRUE(Tenue(d[1])) << d[0];
        EXPECT_EQ(NbTenues(), 1) << d[0];
        Envoie(Bouton(ParSDL, d[0], false));
        EXPECT_EQ(NbTenues(), 0) << d[0];
    }
}

TEST_F(Manettes, NoButtonQuitsAndOnlyTheMappedOnesDoAnything)
{
    for (const int pad : {Xbox, PlayStation, ParSDL})
        for (int bouton = 0; bouton < 256; ++bouton)
        {
            Envoie(Bouton(pad, bouton, true));
            const bool mappe = bouton == 0 || (pad == ParSDL && bouton >= 11 && bouton <= 14);
            EXPECT_EQ(NbTenues(), mappe ? 1 : 0) << pad << " " << bouton;
            Envoie(Bouton(pad, bouton, false));
            EXPECT_EQ(NbTenues(), 0);
            EXPECT_TRUE(continuer) << pad << " " << bouton;
        }
    // Three start buttons released: the pause toggled three times.
    EXPECT_TRUE(JeuEnPause);
}

TEST_F(Manettes, TheHatSteersLikeTheArrowKeys)
{
    const Uint8 valeurs[4] = {SDL_HAT_UP, SDL_HAT_DOWN, SDL_HAT_LEFT, SDL_HAT_RIGHT};
    for (int k = 0; k < 4; ++k)
    {
        Envoie(Chapeau(Xbox, valeurs[k]));
        EXPECT_TRUE(Tenue(k)) << k;
        EXPECT_EQ(NbTenues(), 1) << k;
    }
    Envoie(Chapeau(PlayStation, SDL_HAT_RIGHTDOWN));
    EXPECT_TRUE(Tenue(Droite));
    EXPECT_TRUE(Tenue(Bas));
    Envoie(Chapeau(PlayStation, SDL_HAT_CENTERED));
    EXPECT_TRUE(Tenue(Droite)); // the Xbox pad's hat still holds it
    EXPECT_FALSE(Tenue(Bas));
    Envoie(Chapeau(Xbox, SDL_HAT_CENTERED));
    EXPECT_EQ(NbTenues(), 0);
}

TEST_F(Manettes, TheStickHasADeadZoneOfAThirdWithHysteresis)
{
    // x axis: within a third of the travel nothing happens.
    Envoie(Axe(Xbox, 0, 32767 / 3));
    EXPECT_FALSE(Tenue(Droite));
    Envoie(Axe(Xbox, 0, Manette::SeuilEnfonce));
    EXPECT_TRUE(Tenue(Droite));
    // Back to a third: still held; let go only near the centre.
    Envoie(Axe(Xbox, 0, 32767 / 3));
    EXPECT_TRUE(Tenue(Droite));
    Envoie(Axe(Xbox, 0, Manette::SeuilRelache + 1));
    EXPECT_TRUE(Tenue(Droite));
    Envoie(Axe(Xbox, 0, Manette::SeuilRelache));
    EXPECT_FALSE(Tenue(Droite));

    // A stick resting on the edge of the dead zone, jittering: no flicker.
    int changements = 0;
    bool avant = false;
    for (int i = 0; i < 10000; ++i)
    {
        Envoie(Axe(Xbox, 0, i % 2 == 0 ? -Manette::SeuilEnfonce + 200 : -Manette::SeuilEnfonce - 200));
        changements += Tenue(Gauche) != avant ? 1 : 0;
        avant = Tenue(Gauche);
    }
    EXPECT_EQ(changements, 1);
    EXPECT_TRUE(Tenue(Gauche));

    // The extremes, and across the centre in one event.
    Envoie(Axe(Xbox, 0, -32768));
    EXPECT_TRUE(Tenue(Gauche));
    Envoie(Axe(Xbox, 0, 32767));
    EXPECT_FALSE(Tenue(Gauche));
    EXPECT_TRUE(Tenue(Droite));
    Envoie(Axe(Xbox, 0, 0));
    EXPECT_EQ(NbTenues(), 0);

    // y axis, positive downwards: up jumps, down lets go of a ledge.
    Envoie(Axe(PlayStation, 1, -32768));
    EXPECT_TRUE(Tenue(Haut));
    Envoie(Axe(PlayStation, 1, 32767));
    EXPECT_FALSE(Tenue(Haut));
    EXPECT_TRUE(Tenue(Bas));
    Envoie(Axe(PlayStation, 1, -5000));
    EXPECT_EQ(NbTenues(), 0);

    // The right stick and the triggers steer nothing (a trigger rests at -32768).
    for (int axe = 2; axe < 8; ++axe)
        Envoie(Axe(Xbox, axe, -32768));
    EXPECT_EQ(NbTenues(), 0);
}

TEST_F(Manettes, KeyboardAndPadHoldADirectionTogether)
{
    // Hold right on both, release one: still held; release both: released.
    Envoie(Cle(SDL_KEYDOWN, SDLK_RIGHT));
    Envoie(Chapeau(Xbox, SDL_HAT_RIGHT));
    Envoie(Cle(SDL_KEYUP, SDLK_RIGHT));
    EXPECT_TRUE(Tenue(Droite));
    Envoie(Chapeau(Xbox, SDL_HAT_CENTERED));
    EXPECT_FALSE(Tenue(Droite));

    // The other way round, with the stick.
    Envoie(Axe(PlayStation, 0, 30000));
    Envoie(Cle(SDL_KEYDOWN, SDLK_RIGHT));
    Envoie(Axe(PlayStation, 0, 0));
    EXPECT_TRUE(Tenue(Droite));
    Envoie(Cle(SDL_KEYDOWN, SDLK_RIGHT)); // key repeat
    EXPECT_TRUE(Tenue(Droite));
    Envoie(Cle(SDL_KEYUP, SDLK_RIGHT));
    EXPECT_FALSE(Tenue(Droite));

    // Up from the jump button and the arrow key; two pads together.
    Envoie(Bouton(Xbox, 0, true));
    Envoie(Cle(SDL_KEYDOWN, SDLK_UP));
    Envoie(Bouton(PlayStation, 0, true));
    Envoie(Bouton(Xbox, 0, false));
    Envoie(Cle(SDL_KEYUP, SDLK_UP));
    EXPECT_TRUE(Tenue(Haut));
    Envoie(Bouton(PlayStation, 0, false));
    EXPECT_FALSE(Tenue(Haut));
}

TEST_F(Manettes, StartPausesOnReleaseLikeP)
{
    Envoie(Bouton(Xbox, 7, true));
    EXPECT_FALSE(JeuEnPause);
    EXPECT_EQ(pause.Compteur, 33u);
    Horloge::AvancerTemps(250);
    Envoie(Bouton(Xbox, 7, false));
    EXPECT_TRUE(JeuEnPause);
    EXPECT_EQ(pause.Compteur, 0u);
    EXPECT_EQ(pause.Reference, 20250u);
    // While paused the pad still reaches the character's keys, as the arrows do.
    Envoie(Chapeau(Xbox, SDL_HAT_LEFT));
    EXPECT_TRUE(Tenue(Gauche));
}

TEST_F(Manettes, LosingTheFocusOrIconifyingLetsGoOfEverything)
{
    const Uint8 pertes[2] = {SDL_APPINPUTFOCUS, SDL_APPACTIVE};
    for (const Uint8 perte : pertes)
    {
        Envoie(Cle(SDL_KEYDOWN, SDLK_LEFT));
        Envoie(Axe(Xbox, 0, 32767));
        Envoie(Bouton(PlayStation, 0, true));
        Envoie(Chapeau(Xbox, SDL_HAT_DOWN));
        ASSERT_EQ(NbTenues(), 4);
        // The pointer leaving the window or the focus coming back change nothing.
        Envoie(Actif(0, SDL_APPMOUSEFOCUS));
        Envoie(Actif(1, SDL_APPINPUTFOCUS | SDL_APPACTIVE));
        EXPECT_EQ(NbTenues(), 4);

        Envoie(Actif(0, perte));
        EXPECT_EQ(NbTenues(), 0) << int(perte);
        for (int k = 0; k < 4; ++k)
            EXPECT_FALSE(Commandes.Tenue(k));
        EXPECT_EQ(JeuEnPause, perte == SDL_APPACTIVE); // iconified: paused too
        JeuEnPause = false;
        EXPECT_TRUE(continuer);

        // A stick still pushed takes its direction again on its next move.
        Envoie(Axe(Xbox, 0, 32000));
        EXPECT_TRUE(Tenue(Droite));
        // Releases arriving after the loss leave nothing held.
        Envoie(Cle(SDL_KEYUP, SDLK_LEFT));
        Envoie(Bouton(PlayStation, 0, false));
        Envoie(Chapeau(Xbox, SDL_HAT_CENTERED));
        Envoie(Axe(Xbox, 0, 0));
        EXPECT_EQ(NbTenues(), 0);
    }
}

TEST_F(Manettes, BadInputHoldsNothingAndCrashesNothing)
{
    // Pads never opened, and elements a pad does not have.
    for (const int pad : {4, 5, 200, 255, SansRien})
    {
        Envoie(Axe(pad, 0, 32767));
        Envoie(Axe(pad, 1, -32768));
        Envoie(Chapeau(pad, SDL_HAT_RIGHTUP));
        Envoie(Bouton(pad, 0, true));
        EXPECT_EQ(NbTenues(), 0) << pad;
    }
    Envoie(Chapeau(Xbox, SDL_HAT_LEFT, 1)); // a second hat
    EXPECT_EQ(NbTenues(), 0);
    Envoie(Bouton(Xbox, 255, true));
    EXPECT_EQ(NbTenues(), 0);
    // Every bit of a hat value set: the four directions, nothing more.
    Envoie(Chapeau(Xbox, 0xFF));
    EXPECT_EQ(NbTenues(), 4);
    Envoie(Chapeau(Xbox, SDL_HAT_CENTERED));
    EXPECT_EQ(NbTenues(), 0);

    // A flood of mixed events, then everything released.
    for (int i = 0; i < 20000; ++i)
    {
        const int pad = i % 5;
        Envoie(Axe(pad, i % 3, (i * 7919) % 65536 - 32768));
        Envoie(Chapeau(pad, static_cast<Uint8>(i * 31)));
        Envoie(Bouton(pad, i % 17, i % 2 == 0));
    }
    for (int pad = 0; pad < 5; ++pad)
    {
        Envoie(Axe(pad, 0, 0));
        Envoie(Axe(pad, 1, 0));
        Envoie(Chapeau(pad, SDL_HAT_CENTERED));
        for (int bouton = 0; bouton < 17; ++bouton)
            Envoie(Bouton(pad, bouton, false));
    }
    EXPECT_EQ(NbTenues(), 0);
    EXPECT_TRUE(continuer);
    // A ball moving does nothing.
    Envoie(Evenement(SDL_JOYBALLMOTION, 0, 0));
    EXPECT_EQ(NbTenues(), 0);
}
