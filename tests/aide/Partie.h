#pragma once
// The real game binary driven as a player drives it: started in a folder, its
// window found, keys pressed with xdotool (the pointer over the window so that
// they arrive), the screen captured, and quit with Escape.
#include "Png.h"
#include "Processus.h"

#include <string>
#include <vector>

class PartieJeu
{
public:
    // Starts the game in `dossier` (the build folder when empty), with extra
    // "NAME=value" environment settings, and waits for its window.
    explicit PartieJeu(const std::string& dossier = "", const std::vector<std::string>& environnement = {});
    // Kills the game if it is still running.
    ~PartieJeu();

    bool Demarree() const { return pid_ > 0; }
    bool FenetreVisible() const { return !fenetre_.empty(); }
    const std::string& Fenetre() const { return fenetre_; }
    bool EnCours(); // reaps the game if it has ended

    void Appuyer(const std::string& cle);
    void Relacher(const std::string& cle);
    void Taper(const std::string& cle); // press and release
    // The whole screen into a PNG file, read back into `image` when given.
    bool Capturer(const std::string& chemin, ImageRGBA* image = nullptr);
    // Presses Escape and returns the exit status (-1 when the game does not end).
    int Quitter();
    // Waits for the end without pressing anything.
    int AttendreFin(int ms);

private:
    pid_t pid_ = -1;
    std::string fenetre_;
    int statut_ = -1;
};

// The folder that holds the game binary under test.
std::string DossierJeu();
// Waits on the real clock (for another process, never for the game's clock).
void Patienter(int ms);
