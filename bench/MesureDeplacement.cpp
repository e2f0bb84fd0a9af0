// Movement steps per second on the shipped level: the player walks, climbs
// slopes, jumps, grabs ledges and falls, steered by a fixed script of keys.
#include "Banc.h"
#include "Zone.h"

#include "main/Globales.h"
#include "outils/Horloge.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace
{
    // The script: held keys (up, down, left, right) for a number of steps,
    // played in a loop. One pass is 6 s of play.
    struct Phase
    {
        bool Haut, Bas, Gauche, Droite;
        int Pas;
    };
    const Phase Script[] = {
        {false, false, false, true, 300},  // walk right
        {true, false, false, true, 150},   // jump while walking right
        {false, false, false, false, 60},  // let go of everything
        {false, false, true, false, 250},  // walk left
        {true, false, true, false, 150},   // jump leftwards
        {true, false, false, false, 90},   // jump on the spot
        {false, true, false, false, 20},   // down: lets go of a ledge
        {false, false, false, true, 100},  // right again
        {true, false, false, true, 80},
    };

    long long etats[6] = {0, 0, 0, 0, 0, 0};
    long long retours = 0;

    bool ChargeNiveau()
    {
        std::ifstream f("./Data/Maps/Map1.map", std::ios::binary);
        if (!f)
            return false;
        std::ostringstream s;
        s << f.rdbuf();
        // The level without the window: the loader's parsing, then the player
        // made and placed as CMap::LoadMap does (its sprites are not needed).
        Map.AnalyseContenu(s.str());
        Personnages.clear();
        Personnages.push_back(CPerso());
        Personnages[0].ModifPos(Map.ReturnPosDebutX(), Map.ReturnPosDebutY());
        PersoPrincipal = 0;
        return Map.Largeur > 0 && Map.Hauteur > 0;
    }

    // Back at the start after a death, as the character's frame does when its
    // time is up (without the fade).
    void Retour(CPerso& joueur)
    {
        joueur.Vie = joueur.VieMax;
        joueur.Etat = CPerso::Immobile;
        joueur.VitesseX = 0;
        joueur.VitesseY = 0;
        joueur.ModifPos(Map.ReturnPosDebutX(), Map.ReturnPosDebutY());
        ++retours;
    }
}

// `n` steps of the script from where it stands; the zone callgrind counts.
extern "C" __attribute__((noinline)) void banc_zone_deplacement(long n)
{
    static size_t phase = 0;
    static int reste = 0;
    CPerso& joueur = Personnages[0];
    for (long i = 0; i < n; ++i)
    {
        if (reste == 0)
        {
            phase = (phase + 1) % (sizeof Script / sizeof Script[0]);
            const Phase& p = Script[phase];
            joueur.ModifTouche(CPerso::ToucheHaut, p.Haut);
            joueur.ModifTouche(CPerso::ToucheBas, p.Bas);
            joueur.ModifTouche(CPerso::ToucheGauche, p.Gauche);
            joueur.ModifTouche(CPerso::ToucheDroite, p.Droite);
            reste = p.Pas;
        }
        --reste;
        if (joueur.Etat == CPerso::Mort)
            Retour(joueur);
        Horloge::AvancerTemps(5);
        joueur.CalcDepl();
        ++etats[joueur.Etat >= 0 && joueur.Etat < 6 ? joueur.Etat : 0];
    }
}

namespace Banc
{
    int ModeDeplacement(long pas, int tours)
    {
        Horloge::FixerTemps(100000);
        if (!ChargeNiveau())
        {
            std::fprintf(stderr, "corvella-bench: no level in ./Data/Maps/Map1.map\n");
            return 2;
        }
        banc_zone_deplacement(pas / 4); // warm-up
        for (int i = 0; i < 6; ++i)
            etats[i] = 0;
        retours = 0;
        for (int tour = 0; tour < tours; ++tour)
        {
            const int64_t t0 = Maintenant();
            banc_zone_deplacement(pas);
            const int64_t t1 = Maintenant();
            Emet("deplacement.ns", static_cast<double>(t1 - t0) / static_cast<double>(pas));
        }
        const double total = static_cast<double>(pas) * tours;
        const char* noms[6] = {"lache", "immobile", "marche", "air", "accroche", "mort"};
        for (int i = 0; i < 6; ++i)
            Emet(std::string("deplacement.part.") + noms[i], static_cast<double>(etats[i]) / total);
        Emet("deplacement.retours", static_cast<double>(retours));
        return 0;
    }

    int ModeProfilDeplacement(long pas)
    {
        Horloge::FixerTemps(100000);
        if (!ChargeNiveau())
            return 2;
        BANC_INSTRUMENTE();
        banc_zone_deplacement(pas);
        return 0;
    }
}
