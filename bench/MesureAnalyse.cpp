// corvella-mesure-analyse: how long the analysis of a level takes (findings
// and reachability), directly and through the live runner an editor polls
// once per frame, on a level file and on a generated 1000 x 1000 level; and
// what an autotile stroke costs. See BENCHMARKS.md.
//
//   corvella-mesure-analyse [--rounds N] MAP
#include "AtteinteReference.h"
#include "analyse/AnalyseVivante.h"
#include "analyse/Contexte.h"
#include "analyse/Route.h"
#include "autotuile/Autotuile.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

using namespace AnalyseCarte;
using Montre = std::chrono::steady_clock;

namespace
{
    double Ms(Montre::time_point a, Montre::time_point b)
    {
        return std::chrono::duration<double, std::milli>(b - a).count();
    }

    double Mediane(std::vector<double> v)
    {
        if (v.empty())
            return 0.0;
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    }

    // A closed 1000 x 1000 level: floors of grass every `ecart` rows with
    // gaps that shift from floor to floor, a bonus here and there, the start
    // at the bottom left.
    std::string GrandNiveau(int ecart)
    {
        const int cote = 1000;
        std::string texte = "[Infos]\nHauteur=1000\nLargeur=1000\nPosDebutX=2\nPosDebutY=999\n[Map]\n";
        for (int l = 0; l < cote; ++l)
        {
            std::string rangee(static_cast<size_t>(cote), ' ');
            for (int c = 0; c < cote; ++c)
            {
                char& x = rangee[static_cast<size_t>(c)];
                if (l == 0 || l == cote - 1 || c == 0 || c == cote - 1)
                    x = 'b';
                else if (l % ecart == ecart - 1 && ((c / 7 + l / ecart) % 4) != 0)
                    x = 'B';
                else if (l % ecart == ecart - 2 && (c * 31 + l * 17) % 97 == 0)
                    x = static_cast<char>('1' + (c + l) % 8);
            }
            texte += rangee + "\n";
        }
        return texte;
    }

    struct Vivante
    {
        double Demande = 0; // ms spent in Demander (the fork)
        double Total = 0;   // ms from the request to the result
        double SondeMax = 0; // ms of the longest poll
        size_t Sondages = 0;
        bool Pret = false;
    };

    // Polls as an editor does, one frame every 16 ms.
    Vivante ParLeRunner(const std::string& texte, const OptionsVerification& options)
    {
        Vivante v;
        AnalyseVivante analyse(options);
        const Montre::time_point debut = Montre::now();
        analyse.Demander(texte);
        v.Demande = Ms(debut, Montre::now());
        for (;;)
        {
            const Montre::time_point a = Montre::now();
            const AnalyseVivante::Etat e = analyse.Sonder();
            v.SondeMax = std::max(v.SondeMax, Ms(a, Montre::now()));
            ++v.Sondages;
            if (e != AnalyseVivante::Etat::EnCours)
            {
                v.Pret = e == AnalyseVivante::Etat::Prete;
                if (!v.Pret)
                    std::fprintf(stderr, "corvella-mesure-analyse: %s\n", analyse.Erreur().c_str());
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(16));
        }
        v.Total = Ms(debut, Montre::now());
        return v;
    }

    void Rapporter(const char* nom, const std::string& texte, int tours)
    {
        const OptionsVerification options;
        std::vector<double> direct;
        Rapport r;
        for (int i = 0; i < tours; ++i)
        {
            const Montre::time_point a = Montre::now();
            r = AnalyserTexte(texte, options);
            direct.push_back(Ms(a, Montre::now()));
        }
        std::printf("%s: %d x %d cells, %zu bytes\n", nom, r.Largeur, r.Hauteur, texte.size());
        std::printf("  direct analysis: median %.0f ms over %d runs (search %.0f ms, %zu states, %zu steps, %s)\n",
                    Mediane(direct), tours, r.Millisecondes, r.Etats, r.Pas,
                    r.Partielle() ? "PARTIAL: stopped at a bound" : "complete");
        for (const Constat& c : r.Constats)
            if (c.Genre == "search-bound")
                std::printf("  the check says: %s\n", c.Message.c_str());
        std::vector<double> total;
        double demande = 0;
        double sonde = 0;
        size_t sondages = 0;
        for (int i = 0; i < tours; ++i)
        {
            const Vivante v = ParLeRunner(texte, options);
            if (!v.Pret)
                return;
            total.push_back(v.Total);
            demande = std::max(demande, v.Demande);
            sonde = std::max(sonde, v.SondeMax);
            sondages += v.Sondages;
        }
        std::printf("  live runner: result %.0f ms after the request (median, polled every 16 ms); "
                    "request %.2f ms, longest poll %.2f ms (worst of %zu polls)\n",
                    Mediane(total), demande, sonde, sondages);
    }

    // The reachability search alone, `tours` times: the search as it was
    // (reference), then the present one on one thread and on two. Wall time
    // (median) and processor time (median, all threads) per run.
    void Recherches(const std::string& octets, int tours)
    {
        const TexteCarte texte = Normaliser(octets);
        struct Variante
        {
            const char* Nom;
            int Fils; // 0: the reference
        };
        const Variante variantes[] = {{"search before (reference)", 0}, {"search, one thread", 1},
                                      {"search, two threads", 2}};
        for (const Variante& v : variantes)
        {
            std::vector<double> mur;
            std::vector<double> processeur;
            ResultatAtteinte r;
            for (int i = 0; i < tours; ++i)
            {
                ContexteJeu contexte;
                ContexteJeu::ChargerNiveau(texte.Contenu);
                OptionsAtteinte options;
                options.Fils = v.Fils;
                const std::clock_t c = std::clock();
                const Montre::time_point a = Montre::now();
                r = v.Fils == 0 ? AtteinteReference::Explorer(options) : Explorer(options);
                mur.push_back(Ms(a, Montre::now()));
                processeur.push_back(1000.0 * static_cast<double>(std::clock() - c) / CLOCKS_PER_SEC);
            }
            std::printf("  %s: median %.0f ms, processor %.0f ms (%zu states, %zu steps run)\n", v.Nom, Mediane(mur),
                        Mediane(processeur), r.Etats, r.Pas);
        }
    }

    // Routes: to the cell of the level's farthest bonus from the start (its
    // last in file order), and the route that clears the level.
    void Routes(const std::string& octets, int tours)
    {
        const TexteCarte texte = Normaliser(octets);
        const Rapport verifie = Verifier(texte, OptionsVerification());
        if (verifie.Bonus.empty())
            return;
        const BonusVu& dernier = verifie.Bonus.back();
        std::vector<double> versCase;
        std::vector<double> nettoyage;
        Route a;
        Route b;
        for (int i = 0; i < tours; ++i)
        {
            Montre::time_point t = Montre::now();
            a = RouteVersCase(texte, dernier.Colonne - 1, dernier.Ligne - 1, OptionsRoute());
            versCase.push_back(Ms(t, Montre::now()));
            t = Montre::now();
            b = RouteNettoyage(texte, OptionsRoute());
            nettoyage.push_back(Ms(t, Montre::now()));
        }
        std::printf("  route to column %d, row %d: median %.0f ms (%s, %zu states)\n", dernier.Colonne, dernier.Ligne,
                    Mediane(versCase), a.Trouvee ? a.Bilan().c_str() : a.Pourquoi.c_str(), a.Etats);
        std::printf("  clear route: median %.0f ms (%s, %zu searches, %zu states)\n", Mediane(nettoyage),
                    b.Bilan().c_str(), b.Recherches, b.Etats);
    }

    void Autotuiles()
    {
        Autotuile::Grille grille(1000, std::vector<signed char>(1000, 1));
        std::vector<std::pair<int, int>> trait;
        for (int c = 100; c < 900; ++c)
            trait.emplace_back(c, 500);
        const Montre::time_point a = Montre::now();
        const size_t changes = Autotuile::Peindre(grille, trait, Autotuile::Matiere::Sol).size();
        std::printf("autotile: a stroke of %zu cells on a 1000 x 1000 grid: %.2f ms, %zu cells changed\n",
                    trait.size(), Ms(a, Montre::now()), changes);
    }
}

int main(int argc, char* argv[])
{
    int tours = 5;
    std::string carte;
    for (int i = 1; i < argc; ++i)
    {
        if (std::strcmp(argv[i], "--rounds") == 0 && i + 1 < argc)
            tours = std::max(1, std::atoi(argv[++i]));
        else
            carte = argv[i];
    }
    if (carte.empty())
    {
        std::fprintf(stderr, "usage: corvella-mesure-analyse [--rounds N] MAP\n");
        return 2;
    }
    std::string octets;
    std::string erreur;
    if (!LireFichier(carte, octets, erreur))
    {
        std::fprintf(stderr, "corvella-mesure-analyse: cannot read %s: %s\n", carte.c_str(), erreur.c_str());
        return 2;
    }
    Rapporter(carte.c_str(), octets, tours);
    Recherches(octets, tours);
    Routes(octets, tours);
    Rapporter("generated 1000 x 1000 level, a floor every 5 rows", GrandNiveau(5), 1);
    Rapporter("generated 1000 x 1000 level, a floor every 3 rows", GrandNiveau(3), 1);
    Autotuiles();
    return 0;
}
