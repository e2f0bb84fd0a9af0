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
    // Pictures of the window until the game's scene is drawn and its fade in
    // from black is over (two pictures in a row within 1 % of each other's
    // brightness, and not dark), `ms` at most: the time it took, or -1.
    long AttendreScene(const std::string& chemin, ImageRGBA& image, int ms = 60000);
    // Pictures of the window until two in a row differ in fewer than 1 % of
    // their pixels below the head-up display (the character stands and the
    // view rests; only the bonuses bob), `ms` at most: the time, or -1.
    long AttendreRepos(const std::string& chemin, ImageRGBA& image, int ms = 60000);
    // Waits (`ms` at most) until the program has printed `texte` (on its
    // output or its errors) `fois` times in all.
    bool AttendreSortie(const std::string& texte, int ms = 20000, int fois = 1);
    // Waits (`ms` at most) until the window's title ends with `fin`.
    bool AttendreTitre(const std::string& fin, int ms = 20000);
    // Holds a key (its X name, "F11") until the window has received it
    // `fois` times, the server's repeats included (as xev sees them), `ms`
    // at most, then lets it go: a key held a while, as a hand does. False
    // when the presses did not all come.
    bool Tenir(const std::string& cle, int fois, int ms = 30000);
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

// Pictures of a window (by its id) into `chemin` until `fini` holds of one
// (kept in `image`), `ms` at most or until `vivant` (when given) turns false:
// the time it took, or -1.
long AttendreImageFenetre(const std::string& fenetre, const std::string& chemin, ImageRGBA& image, int ms,
                          const std::function<bool(const ImageRGBA&)>& fini,
                          const std::function<bool()>& vivant = nullptr);
// Pictures of a window until two in a row differ in fewer than 1 % of their
// pixels below the head-up display (the character stands and the view rests;
// only the bonuses bob), `ms` at most: the time, or -1.
long AttendreReposFenetre(const std::string& fenetre, const std::string& chemin, ImageRGBA& image, int ms = 60000,
                          const std::function<bool()>& vivant = nullptr);
// Pixels that differ in a band of the picture's width around its middle,
// where the view keeps the character, below the head-up display (a jump
// changes a fiftieth of the whole picture there; the bonuses' bobbing a few
// hundred pixels); -1 when the sizes differ.
long DifferencesAuMilieu(const ImageRGBA& a, const ImageRGBA& b);

// A window's size as xdotool gives it ("1280x720"), and the screen's.
std::string Geometrie(const std::string& fenetre);
std::string TailleEcran();
// Waits (30 s at most) for the window to take a size: the window manager takes its time.
bool AttendreGeometrie(const std::string& fenetre, const std::string& taille, int ms = 30000);

// Pixels that differ (by more than 30 in the sum of their colours) between
// two pictures of the same size, below the game's head-up display (its top
// eighth: the frame counter there changes on its own); -1 when the sizes differ.
long PixelsDifferents(const ImageRGBA& a, const ImageRGBA& b);
// The mean brightness (0 to 255) of a picture below the head-up display.
double ClarteMoyenne(const ImageRGBA& image);

// The folder that holds the game binary under test.
std::string DossierJeu();
// A pause between two looks at another process (in a loop that waits for
// something seen, within a bound): never the wait itself.
void Patienter(int ms);
