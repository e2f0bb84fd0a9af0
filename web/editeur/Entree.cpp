// The level editor's entry point in the browser. The page has mounted the
// designer's storage and chosen the level's file; the desktop editor's own
// main() (compiled as CorvellaEditeurMain) then runs as on the desktop, its
// frames handed to the browser by the engine's SDL_Delay (ASYNCIFY). When it
// returns, the page is told. The page's own hooks are here: the level as it
// is on screen, another level asked for, the page's new size, and the clock
// moved on for the tests.
#include "../gl/GlWeb.h"
#include "editeur/Editeur.h"

#include <SDL.h>
#include <emscripten.h>
#include <cstdio>
#include <string>
#include <sys/stat.h>

int CorvellaEditeurMain(int argc, char* argv[]);

using Edition::Editeur;

namespace
{
    unsigned ImagesFinies = 0;
    // The clock the editor reads (through Horloge), and how far the tests moved it on.
    const double Depart = emscripten_get_now();
    Uint32 Avance = 0;

    // The page asked for another level: the editor either ends, or asks
    // about its unsaved changes; the designer may then stay.
    bool QuitterDemande = false;

    std::string Octets, Description;

    // After each frame of the editor: has the page's request to quit been
    // turned down (the question closed, the editor staying)?
    void SuivreQuitter()
    {
        const Editeur* editeur = Editeur::EnCours();
        if (!QuitterDemande || editeur == nullptr || editeur->Fini() || editeur->Demande())
            return;
        // The quit was taken in this frame's events (it comes between two
        // frames): no question and no end, or the question answered "stay".
        QuitterDemande = false;
        EM_ASM({ if (Module["quitterAnnule"]) Module["quitterAnnule"](); });
    }
}

extern "C" {

// Frames finished since the start, for the page's tests and measures.
EMSCRIPTEN_KEEPALIVE unsigned CorvellaImages()
{
    return ImagesFinies;
}

// What is still gathered is drawn, then the frame is handed to the browser,
// and the editor goes on when the browser has drawn the one before it
// (gl/Cadence.cpp).
void SDL_GL_SwapBuffers(void)
{
    WglFlush();
    ++ImagesFinies;
    SuivreQuitter();
    WglCadence(1000.0 / 60.0); // as a page should: no more often than the display shows them
}

// The page's clock, in milliseconds since the program started, plus what
// the tests moved it on by.
Uint32 SDL_GetTicks(void)
{
    return static_cast<Uint32>(emscripten_get_now() - Depart) + Avance;
}

// The tests' "a minute later" (the autosave is due): the clock moved on at once.
EMSCRIPTEN_KEEPALIVE void CorvellaEditeurAvancerHorloge(unsigned ms)
{
    Avance += ms;
}

// The page's "another level": the editor asked to quit as by the window's
// close button (it asks to save what is not). Module.quitterAnnule() tells
// the page when the designer chose to stay.
EMSCRIPTEN_KEEPALIVE void CorvellaEditeurQuitter()
{
    SDL_Event e;
    e.type = SDL_QUIT;
    SDL_PushEvent(&e);
    QuitterDemande = true;
}

// The level as it is on screen, the bytes the editor would save now, for
// Download and Share (nothing is saved): CorvellaEditeurOctets() then
// CorvellaEditeurTailleOctets(). Null when the editor does not run.
EMSCRIPTEN_KEEPALIVE const char* CorvellaEditeurOctets()
{
    const Editeur* editeur = Editeur::EnCours();
    if (editeur == nullptr)
        return nullptr;
    Octets = editeur->Octets();
    return Octets.data();
}

EMSCRIPTEN_KEEPALIVE unsigned CorvellaEditeurTailleOctets()
{
    return static_cast<unsigned>(Octets.size());
}

// The level on screen as the tests compare it with the desktop's reading of
// the downloaded file (tests/web/RelectureBureau.cpp prints the same): one
// JSON line, its size, its start and its cells' file characters in hexadecimal.
EMSCRIPTEN_KEEPALIVE const char* CorvellaEditeurNiveau()
{
    const Editeur* editeur = Editeur::EnCours();
    if (editeur == nullptr)
        return nullptr;
    const Edition::Niveau& n = editeur->Courant();
    char debut[128];
    std::snprintf(debut, sizeof debut, "{\"largeur\": %d, \"hauteur\": %d, \"debut\": [%d, %d], \"cases\": \"",
                  n.Largeur, n.Hauteur, n.DebutX, n.DebutY);
    Description = debut;
    static const char* const Chiffres = "0123456789abcdef";
    for (const char c : n.Cases)
    {
        Description += Chiffres[static_cast<unsigned char>(c) >> 4];
        Description += Chiffres[static_cast<unsigned char>(c) & 15];
    }
    Description += "\"}";
    return Description.c_str();
}

// The page took another size: the editor's window follows, as a desktop
// window resized by its frame (SDL_VIDEORESIZE).
EMSCRIPTEN_KEEPALIVE void CorvellaEditeurTaille(int largeur, int hauteur)
{
    SDL_Event e;
    e.type = SDL_VIDEORESIZE;
    e.resize.w = largeur;
    e.resize.h = hauteur;
    SDL_PushEvent(&e);
}
}

int main(int argc, char* argv[])
{
    // Emscripten starts with a mask of 0777: the files the editor makes
    // (its saves, at the mode a new file gets) could not be read back. The
    // mask of a desktop session instead.
    umask(022);
    const int resultat = CorvellaEditeurMain(argc, argv);
    EM_ASM({ if (Module["finEdition"]) Module["finEdition"]($0); }, resultat);
    return resultat;
}
