#pragma once
// The real game binary driven as a player drives it: started in a folder, its
// window found, keys pressed with xdotool (the pointer over the window so that
// they arrive), the screen captured, and quit with Escape.
#include "Aide.h"
#include "Png.h"
#include "Processus.h"

#include <functional>
#include <string>
#include <vector>

// Another program of the game (the level editor) started the same way.
struct Programme
{
    std::string Binaire;                   // path of the program
    std::vector<std::string> Arguments;    // after the program
    std::string Dossier;                   // working directory ("" = the build folder)
    std::vector<std::string> Environnement;
    std::string MotifFenetre;              // its window's title, as a regular expression
};

class PartieJeu
{
public:
    // Starts the game in `dossier` (the build folder when empty), with extra
    // "NAME=value" environment settings, and waits for its window.
    explicit PartieJeu(const std::string& dossier = "", const std::vector<std::string>& environnement = {});
    explicit PartieJeu(const Programme& programme);
    // Kills the game if it is still running.
    ~PartieJeu();

    bool Demarree() const { return pid_ > 0; }
    pid_t Pid() const { return pid_; }
    bool FenetreVisible() const { return !fenetre_.empty(); }
    const std::string& Fenetre() const { return fenetre_; }
    bool EnCours(); // reaps the game if it has ended

    void Appuyer(const std::string& cle);
    void Relacher(const std::string& cle);
    void Taper(const std::string& cle); // press and release
    // The whole screen into a PNG file, read back into `image` when given.
    bool Capturer(const std::string& chemin, ImageRGBA* image = nullptr);
    // The window alone (without the desktop around it) into a PNG file.
    bool CapturerFenetre(const std::string& chemin, ImageRGBA& image);
    // Pictures of the window into `chemin` until `fini` holds of one (kept in
    // `image`) or `ms` pass on the real clock: the time it took, or -1.
    long AttendreImage(const std::string& chemin, ImageRGBA& image, int ms,
                       const std::function<bool(const ImageRGBA&)>& fini);
    // Waits (`ms` at most) until the program has printed `texte` (on its
    // output or its errors) `fois` times in all.
    bool AttendreSortie(const std::string& texte, int ms = 20000, int fois = 1);
    // Waits (`ms` at most) until the window's title ends with `fin`.
    bool AttendreTitre(const std::string& fin, int ms = 20000);
    // Moves the pointer to (x, y) in the window and clicks a button (1 left).
    void Cliquer(int x, int y, int bouton = 1);
    // Presses Escape and returns the exit status (-1 when the game does not end).
    int Quitter();
    // Waits for the end without pressing anything.
    int AttendreFin(int ms);

private:
    void Demarrer(const Programme& programme);

    pid_t pid_ = -1;
    DossierTemporaire config_;  // its XDG_CONFIG_HOME, unless the test gives one
    std::string fenetre_;
    int statut_ = -1;
};

// A window's size as xdotool gives it ("1280x720"), and the screen's.
std::string Geometrie(const std::string& fenetre);
std::string TailleEcran();
// Waits (10 s at most) for the window to take a size: the window manager takes its time.
bool AttendreGeometrie(const std::string& fenetre, const std::string& taille);

// The folder that holds the game binary under test.
std::string DossierJeu();
// Waits on the real clock (for another process, never for the game's clock).
void Patienter(int ms);
