// The real game binary, started as a player starts it.
#include <gtest/gtest.h>

#include "aide/Aide.h"
#include "aide/Partie.h"
#include "aide/Processus.h"

#include <cstdlib>
#include <filesystem>
#include <string>

namespace
{
    bool Affichage()
    {
        return std::getenv("DISPLAY") != nullptr;
    }
}

TEST(Jeu, WithoutADisplayExitsWithMinusOneAtOnce)
{
    DossierTemporaire vide; // nothing to load there either
    Lancement l;
    l.Arguments = {std::filesystem::absolute(BinaireJeu()).string()};
    l.Dossier = vide.Chemin();
    l.Enlever = {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"};
    l.Ajouter = {"ASAN_OPTIONS=detect_leaks=0"};
    const pid_t pid = Demarrer(l);
    ASSERT_GT(pid, 0);
    const int statut = AttendreFin(pid, 20000);
    if (statut < 0)
        Tuer(pid);
    EXPECT_EQ(statut, 255);
}

TEST(Jeu, OpensFullScreenAndQuitsOnEscape)
{
    ASSERT_TRUE(Affichage()) << "run under xvfb-run";
    PartieJeu partie;
    ASSERT_TRUE(partie.FenetreVisible()) << "the game's window never appeared";
    // The window takes the screen's own size (the window manager takes its time).
    EXPECT_TRUE(AttendreGeometrie(partie.Fenetre(), TailleEcran())) << Geometrie(partie.Fenetre());
    EXPECT_EQ(partie.Quitter(), 0);
}

TEST(Jeu, ClosingTheWindowQuits)
{
    ASSERT_TRUE(Affichage()) << "run under xvfb-run";
    PartieJeu partie;
    ASSERT_TRUE(partie.FenetreVisible()) << "the game's window never appeared";
    Sortie("wmctrl -c Corvella");
    EXPECT_EQ(partie.AttendreFin(20000), 0);
}
