#include "PanneauAide.h"

#include "TexteEcran.h"

#include <iterator>

namespace Edition
{
    namespace
    {
        // Every key and mouse action.
        const char* const Aide[] = {
            "MOUSE",
            "left click, drag      use the tool (pencil strokes undo as one)",
            "right click           pick what lies under the pointer",
            "middle drag, wheel    scroll (shift + wheel: sideways)",
            "ctrl + wheel          zoom around the pointer",
            "KEYS",
            "p r f a e s           pencil, rectangle, fill, replace all, erase, start",
            "u                     autotile: paints ground, sand, wall, water or empty with",
            "                      the tiles that fit; its material is the palette entry's",
            "                      (a grass, sand, wall or water tile, or empty), u again: next",
            "[  ]                  previous, next palette entry",
            "i                     pick what lies under the cursor cell",
            "arrows                scroll",
            "shift + arrows        move the cursor cell",
            "space                 use the tool on the cursor cell",
            "+  -  0  1            zoom in, out, whole level, 1:1",
            "g                     grid",
            "ctrl + arrow          add a column or row at that edge",
            "ctrl + shift + arrow  remove a column or row at that edge",
            "ctrl + z              undo",
            "ctrl + y, ctrl + shift + z   redo",
            "ctrl + s              save   (ctrl + shift + s: save as)",
            "f5                    play from the start cell",
            "shift + f5            play from the cursor cell   (escape: back)",
            "f11                   full screen",
            "ctrl + q, close       quit (asks when there are unsaved changes)",
            "CHECK (live, after each edit)",
            "v                     reachability: the cells the character can reach from the",
            "                      start, bonuses nobody can take crossed out",
            "c                     list of findings (click one to go to it)",
            "n                     go to the next finding",
            "pointer on a marker   its message",
            "w                     the route from the start to the cell under the pointer:",
            "                      the character's path, a mark where a key changes (jump,",
            "                      grab, let go, bonus), its time; or why it is never reached",
            "f6                    play that route in the test play (any key takes over,",
            "                      escape: back)",
            "escape                take the route away",
            "f7                    play the clear route from the start: the status line says",
            "                      \"clears n of m bonuses in t s\" (after each edit)",
            "f1, escape            close this help",
        };
    }

    Zone PanneauAide::Place() const
    {
        return Ouverte ? Zone{0, 0, etat_.Fenetre.Largeur, etat_.Fenetre.Hauteur} : Zone{};
    }

    bool PanneauAide::TraiteEvenement(const SDL_Event& e)
    {
        if (!Ouverte)
        {
            if (e.type != SDL_KEYDOWN || e.key.keysym.sym != SDLK_F1 || AvecCtrl(e))
                return false;
            Ouverte = true;
            return true;
        }
        if (e.type == SDL_KEYDOWN && (e.key.keysym.sym == SDLK_F1 || e.key.keysym.sym == SDLK_ESCAPE))
            Ouverte = false;
        return e.type == SDL_KEYDOWN || e.type == SDL_MOUSEBUTTONDOWN;
    }

    void PanneauAide::Dessine()
    {
        if (Ouverte)
            DessineBoite(std::vector<std::string>(std::begin(Aide), std::end(Aide)), 14, etat_.Fenetre.Largeur,
                         etat_.Fenetre.Hauteur);
    }
}
