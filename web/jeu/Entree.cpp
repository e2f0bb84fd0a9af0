// The game's entry point in the browser. SDL is started without any
// subsystem, as on the desktop, and the game runs as it does there; its
// SDL_Delay gives the browser its turn every frame (ASYNCIFY). When the game
// returns, the page is told. A few functions let the page stop the game and
// let the tests read where the player is.
#include "../../main/Globales.h"
#include "../gl/GlWeb.h"
#include "EssaiLots.h"
#include "ImageFigee.h"
#include "../../outils/Horloge.h"

#include <SDL.h>
#include <emscripten.h>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" {

// The page's end of a run: the game asked to quit, or the page stopped it.
EMSCRIPTEN_KEEPALIVE void CorvellaArreter()
{
    continuer = false;
}

EMSCRIPTEN_KEEPALIVE int CorvellaPositionX()
{
    return PersoPrincipal >= 0 && static_cast<size_t>(PersoPrincipal) < Personnages.size()
               ? Personnages[PersoPrincipal].ReturnPosX()
               : 0;
}

EMSCRIPTEN_KEEPALIVE int CorvellaPositionY()
{
    return PersoPrincipal >= 0 && static_cast<size_t>(PersoPrincipal) < Personnages.size()
               ? Personnages[PersoPrincipal].ReturnPosY()
               : 0;
}

EMSCRIPTEN_KEEPALIVE int CorvellaEtatPerso()
{
    return PersoPrincipal >= 0 && static_cast<size_t>(PersoPrincipal) < Personnages.size()
               ? Personnages[PersoPrincipal].Etat
               : -1;
}

EMSCRIPTEN_KEEPALIVE int CorvellaLargeurCarte()
{
    return Map.Largeur;
}

// The time up to which the player's movement has run (its last 5 ms step).
EMSCRIPTEN_KEEPALIVE unsigned CorvellaDernierDepl()
{
    return PersoPrincipal >= 0 && static_cast<size_t>(PersoPrincipal) < Personnages.size()
               ? Personnages[PersoPrincipal].DernierDepl
               : 0;
}

EMSCRIPTEN_KEEPALIVE unsigned CorvellaTicks()
{
    return Horloge::Ticks();
}

EMSCRIPTEN_KEEPALIVE int CorvellaEnPause()
{
    return JeuEnPause ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE unsigned CorvellaDessins()
{
    return WglNombreDessins();
}

static unsigned ImagesFinies = 0;

// Frames finished since the start.
EMSCRIPTEN_KEEPALIVE unsigned CorvellaImages()
{
    return ImagesFinies;
}

// The frame rate the game itself measures and shows.
EMSCRIPTEN_KEEPALIVE unsigned CorvellaFPS()
{
    return Moteur.FPS;
}

// What is still gathered is drawn and the frame handed to the browser; the
// game goes on once the browser has drawn the one before it (gl/Cadence.cpp),
// as a desktop game's swap waits for the driver. The game's own pacing stays
// as it is.
void SDL_GL_SwapBuffers(void)
{
    WglFlush();
    ++ImagesFinies;
    WglCadence(0);
}
}

static std::vector<std::uint8_t> Figee;

// The frozen frame of the picture test, once drawn: RGBA rows from the bottom.
extern "C" EMSCRIPTEN_KEEPALIVE const std::uint8_t* CorvellaImageFigee()
{
    return Figee.empty() ? nullptr : Figee.data();
}

// "--figee TIME": the game loaded and one frame drawn with the clock frozen
// at TIME, for the comparison with the desktop's picture; no game is played.
static int ImageDeTest(std::uint32_t temps)
{
    if (Moteur.Init(true, "Corvella") < 0)
        return -1;
    ChargeJeu();
    Figee = ImageFigee(temps, Moteur.Ecran->w, Moteur.Ecran->h);
    WglFlush();
    return 0;
}

static ResultatLots Lots;

// "--lots": the batching check's row and draw calls, once drawn; null before.
extern "C" EMSCRIPTEN_KEEPALIVE const std::uint8_t* CorvellaLots()
{
    return Lots.Ligne.empty() ? nullptr : Lots.Ligne.data();
}

extern "C" EMSCRIPTEN_KEEPALIVE unsigned CorvellaLotsDessins()
{
    return Lots.Dessins;
}

int main(int argc, char* argv[])
{
    if (SDL_Init(0) < 0)
        return -1;
    if (argc == 2 && std::strcmp(argv[1], "--lots") == 0)
    {
        if (Moteur.Init(true, "Corvella") < 0)
            return -1;
        Lots = EssaiLots(Moteur.Ecran->w, Moteur.Ecran->h);
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "--figee") == 0)
        return ImageDeTest(static_cast<std::uint32_t>(std::strtoul(argv[2], nullptr, 10)));
    const int resultat = SDL_main(argc, argv);
    EM_ASM({ if (Module["finDuJeu"]) Module["finDuJeu"]($0); }, resultat);
    return resultat;
}
