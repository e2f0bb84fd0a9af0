// The real game binary, started as a player starts it.
#include <gtest/gtest.h>

#include "aide/Aide.h"
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

    // Waits for the game's window and returns its X id ("" when it never shows).
    std::string FenetreJeu()
    {
        return Sortie("timeout 20 xdotool search --sync --onlyvisible --name '^Corvella$' 2>/dev/null | head -1");
    }

    // The game calls SDL_Quit, which unloads Mesa's driver before the leak
    // check runs: the driver's own allocations then show as leaks of an
    // unknown module that no suppression can name. The game's own memory is
    // checked in-process by the other test programs and under valgrind.
    const char* const SansFuites = "ASAN_OPTIONS=detect_leaks=0";

    std::string DossierJeu()
    {
        return std::filesystem::path(BinaireJeu()).parent_path().string();
    }

    void Touche(const std::string& fenetre, const std::string& cle)
    {
        Sortie("xdotool mousemove --window " + fenetre + " 50 50 2>/dev/null");
        Sortie("xdotool keydown " + cle + " 2>/dev/null; xdotool keyup " + cle + " 2>/dev/null");
    }
}

TEST(Jeu, WithoutADisplayExitsWithMinusOneAtOnce)
{
    DossierTemporaire vide; // nothing to load there either
    Lancement l;
    l.Arguments = {std::filesystem::absolute(BinaireJeu()).string()};
    l.Dossier = vide.Chemin();
    l.Enlever = {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"};
    l.Ajouter = {SansFuites};
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
    Lancement l;
    l.Arguments = {std::filesystem::absolute(BinaireJeu()).string()};
    l.Dossier = DossierJeu();
    l.Ajouter = {SansFuites};
    const pid_t pid = Demarrer(l);
    ASSERT_GT(pid, 0);
    const std::string fenetre = FenetreJeu();
    if (fenetre.empty())
    {
        Tuer(pid);
        FAIL() << "the game's window never appeared";
    }
    // The window takes the screen's own size.
    const std::string ecran = Sortie("xdotool getdisplaygeometry");
    const std::string taille = Sortie("xdotool getwindowgeometry " + fenetre + " | sed -n 's/.*Geometry: //p'");
    EXPECT_EQ(taille, ecran.substr(0, ecran.find(' ')) + "x" + ecran.substr(ecran.find(' ') + 1));

    Touche(fenetre, "Escape");
    const int statut = AttendreFin(pid, 20000);
    if (statut < 0)
        Tuer(pid);
    EXPECT_EQ(statut, 0);
}

TEST(Jeu, ClosingTheWindowQuits)
{
    ASSERT_TRUE(Affichage()) << "run under xvfb-run";
    Lancement l;
    l.Arguments = {std::filesystem::absolute(BinaireJeu()).string()};
    l.Dossier = DossierJeu();
    l.Ajouter = {SansFuites};
    const pid_t pid = Demarrer(l);
    ASSERT_GT(pid, 0);
    const std::string fenetre = FenetreJeu();
    if (fenetre.empty())
    {
        Tuer(pid);
        FAIL() << "the game's window never appeared";
    }
    Sortie("wmctrl -c Corvella");
    const int statut = AttendreFin(pid, 20000);
    if (statut < 0)
        Tuer(pid);
    EXPECT_EQ(statut, 0);
}
