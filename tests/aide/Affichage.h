#pragma once
// A virtual screen of a chosen size for the end-to-end tests: an X server
// (Xvfb, on a display number it picks itself) with the window manager the
// tests use (openbox). For its life the test's DISPLAY names it, so that the
// programs started and xdotool use it; the one before comes back after.
#include <string>
#include <sys/types.h>

class AffichageVirtuel
{
public:
    AffichageVirtuel(int largeur, int hauteur);
    ~AffichageVirtuel();
    // The server answers and the window manager has taken the screen.
    bool Pret() const { return pret_; }
    const std::string& Nom() const { return nom_; }  // ":12"

private:
    pid_t serveur_ = -1, gestionnaire_ = -1;
    std::string nom_, avant_;
    std::string cache_; // the window manager's own cache folder
    bool avaitAffichage_ = false, pret_ = false;
};
