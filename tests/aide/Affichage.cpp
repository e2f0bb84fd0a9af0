#include "Affichage.h"

#include "Partie.h"
#include "Processus.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <poll.h>
#include <unistd.h>

namespace
{
    bool AvantLimite(std::chrono::steady_clock::time_point limite)
    {
        return std::chrono::steady_clock::now() < limite;
    }
}

AffichageVirtuel::AffichageVirtuel(int largeur, int hauteur)
{
    const char* avant = std::getenv("DISPLAY");
    avaitAffichage_ = avant != nullptr;
    if (avaitAffichage_)
        avant_ = avant;
    // The server writes the number it took on a pipe once it listens.
    int tube[2];
    if (pipe(tube) != 0)
        return;
    Lancement l;
    l.Arguments = {"/usr/bin/Xvfb", "-displayfd", std::to_string(tube[1]), "-screen", "0",
                   std::to_string(largeur) + "x" + std::to_string(hauteur) + "x24", "-nolisten", "tcp"};
    serveur_ = Demarrer(l);
    close(tube[1]);
    const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    std::string numero;
    while (AvantLimite(limite) && (numero.empty() || numero.back() != '\n'))
    {
        pollfd attente{tube[0], POLLIN, 0};
        if (poll(&attente, 1, 100) <= 0)
            continue;
        char c;
        if (read(tube[0], &c, 1) != 1)
            break;
        numero += c;
    }
    close(tube[0]);
    if (numero.empty() || numero.back() != '\n')
        return;
    numero.pop_back();
    nom_ = ":" + numero;
    setenv("DISPLAY", nom_.c_str(), 1);
    Lancement wm;
    wm.Arguments = {"/usr/bin/openbox"};
    // Its cache (where it logs its start) its own, not every other openbox's
    // on the machine.
    char modele[] = "/tmp/corvella-openbox-XXXXXX";
    if (mkdtemp(modele) != nullptr)
    {
        cache_ = modele;
        wm.Ajouter = {"XDG_CACHE_HOME=" + cache_};
    }
    gestionnaire_ = Demarrer(wm);
    // Without the window manager, windows have no frame and full screen
    // stays 1x1. It has taken the screen once it has told the desktop's work
    // area; on a crowded machine it sometimes ends before that (it could not
    // open the display yet): it is started again.
    while (AvantLimite(limite) && !pret_)
    {
        pret_ = Sortie("xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null").find("window id") != std::string::npos &&
                Sortie("xprop -root _NET_WORKAREA 2>/dev/null").find(" = ") != std::string::npos;
        if (pret_)
            break;
        if (gestionnaire_ <= 0 || AttendreFin(gestionnaire_, 0) != -1)
        {
            Patienter(200);
            gestionnaire_ = Demarrer(wm);
        }
        Patienter(50);
    }
}

AffichageVirtuel::~AffichageVirtuel()
{
    if (gestionnaire_ > 0)
        Tuer(gestionnaire_);
    if (serveur_ > 0)
        Tuer(serveur_);
    if (!cache_.empty())
        std::filesystem::remove_all(cache_);
    if (avaitAffichage_)
        setenv("DISPLAY", avant_.c_str(), 1);
    else
        unsetenv("DISPLAY");
}
