#include "JeuRoute.h"

#include "JeuEssai.h"
#include "main/BoucleJeu.h"
#include "main/Globales.h"
#include "outils/Horloge.h"
#include "son/Son.h"

#include <cstdio>

namespace Edition
{
    bool JouerRoute(const std::string& texte, const CPerso& modele,
                    const std::vector<AnalyseCarte::ChangementRoute>& changements, long long fin, size_t& prises)
    {
        // The level loaded and the player placed at the route's time 0, the
        // clock held there, as the route was found.
        const Uint32 debut = SDL_GetTicks();
        Horloge::FixerTemps(debut);
        PreparerJeu(texte, modele);
        const size_t bonusAuDebut = Map.ListeBonus.size();
        CPerso& joueur = Personnages[PersoPrincipal];
        // Made 5 ms before it is placed, as the route's search makes it.
        joueur.DebutAnim = joueur.ProchainSaut = debut - 5;
        JeuEnPause = false;
        continuer = true;
        EtatPause pause = {0, 0};
        size_t suivant = 0;        // the next key change
        long long trame = 0;       // the next frame of the route
        bool ferme = false, aLaMain = false;
        SDL_Event reprise;         // the designer's key that took over
        bool aReprendre = false;
        while (!ferme && !aLaMain)
        {
            SDL_Event e;
            while (SDL_PollEvent(&e))
            {
                if (e.type == SDL_QUIT)
                    ferme = true;
                else if (e.type == SDL_KEYDOWN && e.key.keysym.sym != SDLK_F6 && e.key.keysym.sym != SDLK_F7)
                {
                    // (the keys that start a route's play may still repeat)
                    if (e.key.keysym.sym == SDLK_ESCAPE)
                    {
                        Horloge::TempsReel();
                        prises = bonusAuDebut - Map.ListeBonus.size();
                        return false;
                    }
                    std::printf("route play: the designer's key %s takes over\n", SDL_GetKeyName(e.key.keysym.sym));
                    std::fflush(stdout);
                    aLaMain = true, reprise = e, aReprendre = true;
                    break;
                }
            }
            if (ferme || aLaMain)
                break;
            // The route's frames the wall clock has let pass, one step each.
            Son::AvantTrame();
            const long long dues = static_cast<long long>(SDL_GetTicks() - debut) / 5;
            for (; trame <= dues && trame * 5 <= fin; ++trame)
            {
                const long long t = trame * 5;
                Horloge::FixerTemps(debut + static_cast<Uint32>(t));
                for (; suivant < changements.size() && changements[suivant].Temps <= t; ++suivant)
                    joueur.ModifTouche(changements[suivant].Touche, changements[suivant].Appuye);
                joueur.AvanceDepl();
                joueur.AvanceAnim();
                joueur.PrendBonus();
                joueur.VerifieMort();
                joueur.VerifieRetour();
            }
            if (trame * 5 > fin)
            {
                // For the designer's terminal and the tests: what the route did.
                std::printf("route played: %zu of %zu bonuses taken, %zu left\n", bonusAuDebut - Map.ListeBonus.size(),
                            bonusAuDebut, Map.ListeBonus.size());
                std::fflush(stdout);
                aLaMain = true;
            }
            // The game's frame at the last step's time: it runs no step of its own.
            Horloge::FixerTemps(debut + static_cast<Uint32>(trame * 5 - 5));
            DessineScene(pause);
            Horloge::TempsReel();
            Moteur.FinDessin();
            Son::ApresTrame();
        }
        Horloge::TempsReel();
        prises = bonusAuDebut - Map.ListeBonus.size();
        if (ferme)
            return true;
        // The designer's hands from here: the keys the route held are let go.
        for (int touche = CPerso::ToucheHaut; touche <= CPerso::ToucheDroite; ++touche)
            joueur.ModifTouche(touche, false);
        if (aReprendre)
            SDL_PushEvent(&reprise);
        return JouerPrepare();
    }
}
