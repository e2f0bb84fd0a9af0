#include "JeuEssai.h"

#include "carte/Texte.h"
#include "main/Globales.h"

#include <GL/glu.h>
#include <SDL_opengl.h>
#include <algorithm>

namespace Edition
{
    namespace
    {
        bool fermeture_ = false;

        // Sees every event as it is queued: a window close during play is also
        // a close of the editor, though the game's loop takes it as a plain quit.
        int Filtre(const SDL_Event* evenement)
        {
            if (evenement->type == SDL_QUIT)
                fermeture_ = true;
            return 1;
        }
    }

    void PreparerJeu(const std::string& texte, const CPerso& modele)
    {
        // The level as a fresh game holds it before LoadMap, then the loader's
        // parser on the text the file would hold (CR LF read as LF, as it reads).
        Map.Cases.clear();
        Map.ListeBonus.clear();
        Map.Hauteur = Map.Largeur = Map.PosDebutX = Map.PosDebutY = 0;
        Map.AnalyseContenu(OutilCarte::Normaliser(texte).Contenu);

        // One player on the start cell, as the loader makes it, with the sprites
        // the game gives it.
        Personnages.clear();
        Personnages.push_back(CPerso());
        CPerso& joueur = Personnages.back();
        std::copy(std::begin(modele.Textures), std::end(modele.Textures), std::begin(joueur.Textures));
        joueur.ModifPos(Map.ReturnPosDebutX(), Map.ReturnPosDebutY());
        PersoPrincipal = 0;

        // The game's 800 x 600 view over the whole window.
        const int largeur = Moteur.Ecran != nullptr ? Moteur.Ecran->w : 800;
        const int hauteur = Moteur.Ecran != nullptr ? Moteur.Ecran->h : 600;
        glViewport(0, 0, largeur, hauteur);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluOrtho2D(0, 800, 600, 0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }

    bool JouerNiveau(const std::string& texte, const CPerso& modele)
    {
        PreparerJeu(texte, modele);
        return JouerPrepare();
    }

    bool JouerPrepare()
    {
        // The game's key repeat while it plays, the editor's after.
        int delai = 0, intervalle = 0;
        SDL_GetKeyRepeat(&delai, &intervalle);
        SDL_EnableKeyRepeat(10, 10);

        JeuEnPause = false;
        continuer = true;
        nbRender = 3;
        fermeture_ = false;
        SDL_SetEventFilter(Filtre);
        BoucleRenderJeu();
        SDL_SetEventFilter(nullptr);
        SDL_EnableKeyRepeat(delai, intervalle);

        // Back to the editor: no fade left over, the run flag up again.
        continuer = true;
        JeuEnPause = false;
        Moteur.FonduActif = false;
        return fermeture_;
    }
}
