// The editor draws the level as the game draws it: the same pixels as
// CMap::RenderMap for the same view, with the game's own images, read back from
// a real window.
#include <gtest/gtest.h>

#include "aide/Aide.h"
#include "editeur/Fichier.h"
#include "editeur/RenduNiveau.h"
#include "main/Globales.h"
#include "outils/Horloge.h"

#include <SDL_opengl.h>
#include <algorithm>
#include <vector>

namespace
{
    std::vector<unsigned char> LireEcran()
    {
        std::vector<unsigned char> pixels(800 * 600 * 4);
        glFinish();
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    // A level of every tile, bonuses and unset cells, larger than the view.
    Edition::Niveau NiveauDeTout()
    {
        Edition::Niveau n = Edition::NouveauNiveau(21, 15);
        int i = 0;
        for (const Edition::EntreePalette& e : Edition::Palette())
            if (!e.Depart && e.Utilisable)
            {
                n.Cases[n.Indice(1 + i % 19, 1 + i / 19 * 3)] = e.Caractere;
                ++i;
            }
        n.Cases[n.Indice(2, 9)] = Edition::CaseNonDefinie;
        return n;
    }

    struct Difference
    {
        long Pixels = 0;
        int X = -1, Y = -1;
    };
    Difference Comparer(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b)
    {
        Difference d;
        for (size_t i = 0; i < a.size(); i += 4)
            if (!std::equal(a.begin() + i, a.begin() + i + 3, b.begin() + i))
            {
                if (d.Pixels++ == 0)
                    d.X = static_cast<int>(i / 4 % 800), d.Y = 599 - static_cast<int>(i / 4 / 800);
            }
        return d;
    }
}

TEST(EditeurRendu, TheLevelIsDrawnWithTheGamesPixelsWhereverTheViewIs)
{
    ASSERT_TRUE(OuvrirFenetre()) << "run under xvfb-run";
    if (Moteur.Fontes.empty())
        Moteur.NouvelleFonte("Standard");
    Map.LoadTextures();

    // The game's level is put back when the test ends, and the clock let go.
    struct Remettre
    {
        CMap Avant = Map;
        ~Remettre()
        {
            Map = Avant;
            Horloge::TempsReel();
        }
    } remettre;
    Horloge::FixerTemps(12345); // every bonus at frame 3
    const Edition::Niveau n = NiveauDeTout();
    Map.Cases.clear();
    Map.ListeBonus.clear();
    Map.AnalyseContenu(Edition::EcrireCarte(n, {}));
    int bonus = 0;
    for (char k : n.Cases)
        bonus += Edition::BonusDeCase(k) != 0;
    ASSERT_EQ(static_cast<int>(Map.ListeBonus.size()), bonus);
    ASSERT_GT(bonus, 0);

    // The camera's point and the editor's view that shows the same: the view's
    // origin is the opposite of the game's offset.
    const int points[][2] = {{400, 300}, {400 + 64 * 3 + 10, 300 + 128}, {5000, 5000}};
    for (const auto& p : points)
    {
        Effacer(0.1f, 0.2f, 0.3f);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        Map.RenderMap(p[0], p[1]);
        glLoadIdentity();
        const std::vector<unsigned char> jeu = LireEcran();

        Edition::Vue vue;
        vue.OrigineX = static_cast<double>(-CMap::DecalageCameraX(p[0], Map.Largeur));
        vue.OrigineY = static_cast<double>(-CMap::DecalageCameraY(p[1], Map.Hauteur));
        vue.LargeurZone = 800;
        vue.HauteurZone = 600;
        Effacer(0.1f, 0.2f, 0.3f);
        glPushMatrix();
        Edition::PlacerVue(vue);
        const Edition::CasesEnVue zone = Edition::CasesVisibles(n, vue);
        EXPECT_LT(zone.Nombre(), static_cast<long long>(n.Largeur) * n.Hauteur); // only what is in view
        Edition::DessinerCases(n, zone, Horloge::Ticks());
        Edition::DessinerCompteur(bonus);
        glPopMatrix();
        const std::vector<unsigned char> editeur = LireEcran();

        const Difference d = Comparer(jeu, editeur);
        EXPECT_EQ(d.Pixels, 0) << "camera point " << p[0] << "," << p[1] << ": first at " << d.X << "," << d.Y;
    }
}
