// corvella-editeur --mesurer: the editor's frames timed against the game's,
// in the same window (see BENCHMARKS.md).
#include "Editeur.h"

#include "JeuEssai.h"
#include "main/BoucleJeu.h"
#include "main/Globales.h"

#include <GL/glu.h>
#include <SDL_opengl.h>
#include <algorithm>
#include <cstdio>

namespace Edition
{
    void Editeur::Mesurer(int trames, const std::string& jeu, std::chrono::steady_clock::time_point depart)
    {
        modele_.LoadTexPerso("Principal (copie)");
        Projection();
        const Niveau& n = etat_.Doc.Courant();
        dialogues_.Fermer();
        Dessiner();
        glFinish();
        SDL_GL_SwapBuffers();
        std::printf("first frame drawn %.0f ms after the start\n",
                    std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - depart).count());
        // Each frame drawn and finished by the GPU, without the pacing sleep.
        // The four kinds of frame take turns, so that whatever else loads the
        // machine weighs on each alike.
        struct Serie
        {
            std::string Nom;
            std::vector<double> Ms;
        };
        std::vector<Serie> series(jeu.empty() ? 3 : 4);
        series[0].Nom = "editor, 1:1";
        series[1].Nom = "editor, 1:1, scrolling 16 px a frame";
        Vue fixe = etat_.VueNiveau, defile = fixe, tout = fixe;
        fixe.Zoom = defile.Zoom = 1.0;
        fixe.OrigineX = fixe.OrigineY = defile.OrigineX = defile.OrigineY = 0;
        tout.ToutMontrer(n.Largeur, n.Hauteur);
        char nom[64];
        std::snprintf(nom, sizeof nom, "editor, whole level (zoom %.3f)", tout.Zoom);
        series[2].Nom = nom;
        EtatPause pause = {0, 0};
        if (!jeu.empty())
        {
            series[3].Nom = "game, shipped level";
            PreparerJeu(jeu, modele_);
        }
        auto chronometrer = [](std::vector<double>& ms, auto trame)
        {
            const auto t0 = std::chrono::steady_clock::now();
            trame();
            glFinish();
            SDL_GL_SwapBuffers();
            ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
        };
        for (int i = 0; i < trames; ++i)
        {
            Projection();
            defile.Defiler(16, 4, n.Largeur, n.Hauteur);
            Vue* vues[3] = {&fixe, &defile, &tout};
            for (int k = 0; k < 3; ++k)
            {
                etat_.VueNiveau = *vues[k];
                chronometrer(series[static_cast<size_t>(k)].Ms, [&] { Dessiner(); });
            }
            if (!jeu.empty())
            {
                // The game's 800 x 600 view, then its frame.
                glMatrixMode(GL_PROJECTION);
                glLoadIdentity();
                gluOrtho2D(0, 800, 600, 0);
                glMatrixMode(GL_MODELVIEW);
                chronometrer(series[3].Ms, [&] {
                    TraiteEvenements(pause);
                    DessineScene(pause);
                    Moteur.DessineFondu();
                });
            }
        }
        // The live check: from an edit to the frame that shows its findings
        // and the reachability overlay, and the editor's frames meanwhile
        // (drawn, polled and paced as Executer does).
        Serie pendant{"editor, 1:1, while the check runs (paced)", {}};
        std::vector<double> rafraichir;
        etat_.VueNiveau = fixe;
        etat_.CalqueAtteinte = true;
        for (int tour = 0; tour < 3; ++tour)
        {
            const auto t0 = std::chrono::steady_clock::now();
            revisionAnalyse_ = etat_.Doc.Revision();
            demande_ = t0;
            etat_.Analyse.Demander(EcrireCarte(n, etat_.Format));
            const unsigned attendu = etat_.Analyse.NumeroDemande();
            while (etat_.Analyse.NumeroResultat() != attendu && etat_.Analyse.EtatActuel() != AnalyseCarte::AnalyseVivante::Etat::Echec)
            {
                // A frame as Executer makes it, its pacing included.
                const auto t = std::chrono::steady_clock::now();
                Analyser();
                Dessiner();
                Moteur.FinDessin();
                pendant.Ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t).count());
            }
            Analyser();
            Dessiner();
            Moteur.FinDessin();
            rafraichir.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
        }
        series.push_back(pendant);
        std::sort(rafraichir.begin(), rafraichir.end());
        std::printf("check, edit to overlay drawn: median %.0f ms, worst %.0f ms (%zu findings%s)\n",
                    rafraichir[rafraichir.size() / 2], rafraichir.back(), etat_.Analyse.Resultat().Avertissements(),
                    etat_.Analyse.Resultat().Partielle() ? ", partial" : "");
        std::printf("window %dx%d, level %dx%d, %d frames each, taking turns\n", etat_.Fenetre.Largeur, etat_.Fenetre.Hauteur, n.Largeur,
                    n.Hauteur, trames);
        for (Serie& serie : series)
        {
            std::sort(serie.Ms.begin(), serie.Ms.end());
            double total = 0;
            for (double ms : serie.Ms)
                total += ms;
            std::printf("%-40s median %7.2f ms   mean %7.2f ms   worst %7.2f ms\n", serie.Nom.c_str(),
                        serie.Ms[serie.Ms.size() / 2], total / static_cast<double>(serie.Ms.size()), serie.Ms.back());
        }
    }
}
