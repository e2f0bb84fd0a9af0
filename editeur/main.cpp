// corvella-editeur [FILE]: the level editor, on the game's own engine.
#include "Editeur.h"
#include "FichierEdite.h"
#include "Fenetre.h"
#include "x11/Bureau.h"
#include "carte/Texte.h"
#include "main/Globales.h"

#include <SDL.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace
{
    const char* const Usage =
        "usage: corvella-editeur [FILE]\n"
        "Edits a Corvella level (default ./Data/Maps/Map1.map; a file that does not\n"
        "exist starts a new level saved there). Run it where the game's ./Images are.\n"
        "Press F1 in the editor for every key.\n"
    "       corvella-editeur --mesurer FILE\n"
    "Times the opening of FILE and the editor's frames against the game's, full\n"
    "screen (see BENCHMARKS.md).\n";
}

int main(int argc, char* argv[])
{
    const auto depart = std::chrono::steady_clock::now();
    std::string chemin = "./Data/Maps/Map1.map";
    const bool mesurer = argc == 3 && std::strcmp(argv[1], "--mesurer") == 0;
    if (mesurer)
        chemin = argv[2];
    else if (argc > 2)
    {
        std::fputs(Usage, stderr);
        return 2;
    }
    else if (argc == 2)
    {
        if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)
        {
            std::fputs(Usage, stdout);
            return 0;
        }
        chemin = argv[1];
    }

    Edition::CFichierEdite fichier(chemin);
    const Edition::Ouverture ouverture = fichier.Ouvrir();
    const double ouvertureMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - depart).count();
    if (!ouverture.Reussi)
    {
        std::fprintf(stderr, "corvella-editeur: %s\n", ouverture.Erreur.c_str());
        return 2;
    }
    for (const std::string& constat : ouverture.Constats)
        std::fprintf(stderr, "%s\n", constat.c_str());
    for (const std::string& changement : ouverture.Changements)
        std::fprintf(stderr, "%s: saving will change the file: %s\n", chemin.c_str(), changement.c_str());
    if (ouverture.Illisible)
        for (const std::string& perte : ouverture.Pertes)
            std::fprintf(stderr, "%s: %s; saving over it asks first\n", chemin.c_str(), perte.c_str());
    const std::vector<Edition::AutosaveLaisse> laisses = fichier.AutosavesLaisses();

    // The desktop drivers only, as the game asks: no display, no window.
    setenv("SDL_VIDEODRIVER", "x11,wayland", 0);
    if (SDL_Init(0) < 0)
        return 1;
    std::atexit(SDL_Quit);
    // The window: the size the designer left it at, or as large as the
    // desktop holds, and its frame at the middle of the desktop (SDL places
    // the window once, when it first opens).
    int LargeurFenetre = 1024, HauteurFenetre = 720;
    const std::string souvenir = Edition::CheminTailleFenetre();
    int largeurLaissee = 0, hauteurLaissee = 0;
    Edition::LireTailleFenetre(souvenir, largeurLaissee, hauteurLaissee);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0)
    {
        const SDL_VideoInfo* info = SDL_GetVideoInfo();
        Edition::InfosBureau bureau;
        if (info != nullptr && info->current_w > 0 && info->current_h > 0)
            bureau.Bureau = Edition::Zone{0, 0, info->current_w, info->current_h};
        Edition::DemanderBureau(bureau);
        if (!bureau.Bureau.Vide())
        {
            const Edition::PlaceFenetre place =
                Edition::PlacerFenetre(bureau.Bureau, bureau.CadreFenetre, largeurLaissee, hauteurLaissee);
            LargeurFenetre = place.Largeur;
            HauteurFenetre = place.Hauteur;
            static char position[64];
            std::snprintf(position, sizeof position, "SDL_VIDEO_WINDOW_POS=%d,%d", place.X, place.Y);
            if (!mesurer && std::getenv("SDL_VIDEO_WINDOW_POS") == nullptr && std::getenv("SDL_VIDEO_CENTERED") == nullptr)
                SDL_putenv(position);
        }
    }
    const std::string titre = "Corvella editor - " + chemin;
    if (Moteur.Init(false, titre.c_str()) < 0)
    {
        std::fprintf(stderr, "corvella-editeur: cannot open a window: %s\n", SDL_GetError());
        return 1;
    }
    // Windowed and resizable from the start, within the desktop; measured full screen.
    Moteur.PleinEcran = mesurer;
    Moteur.ResizeWindow(LargeurFenetre, HauteurFenetre);
    SDL_EnableUNICODE(1);
    // The game repeats held keys every 10 ms; a designer's ctrl + z must undo once.
    SDL_EnableKeyRepeat(SDL_DEFAULT_REPEAT_DELAY, SDL_DEFAULT_REPEAT_INTERVAL);

    // What the game loads, but the level: the editor brings its own.
    FonteStandard = Moteur.NouvelleFonte("Standard");
    ImgArrierePlan = static_cast<unsigned int>(Moteur.NouvelleTexture("./Images/ArrierePlanMenu.png"));
    ImgMotifArrierePlan = static_cast<unsigned int>(Moteur.NouvelleTexture("./Images/MotifAP.png"));
    Map.LoadTextures();
    Interface.LoadInterface();

    Edition::Editeur editeur(fichier, ouverture, laisses, LargeurFenetre, HauteurFenetre);
    if (mesurer)
    {
        std::printf("open %s: %.0f ms\n", chemin.c_str(), ouvertureMs);
        std::string jeu, erreur;
        OutilCarte::LireFichier("./Data/Maps/Map1.map", jeu, erreur);
        editeur.Mesurer(200, jeu, depart);
        return 0;
    }
    const int statut = editeur.Executer();
    // The size the designer gave the window, for the next time.
    if (editeur.LargeurFenetre() != LargeurFenetre || editeur.HauteurFenetre() != HauteurFenetre)
        Edition::EcrireTailleFenetre(souvenir, editeur.LargeurFenetre(), editeur.HauteurFenetre());
    return statut;
}
