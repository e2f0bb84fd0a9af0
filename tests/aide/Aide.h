#pragma once
// Helpers shared by the tests: a real GL window, pixel read-back, temporary
// folders, files and images, and the working directory.
#include <SDL.h>
#include <cstdint>
#include <string>

#include "Png.h"

struct Rgba
{
    int r, g, b, a;
};

// Opens (once per test program) the global engine's 800x600 window. Returns
// false when no display is available.
bool OuvrirFenetre();

// Reads one pixel of the back buffer, in window pixels with (0, 0) at the top
// left (the logical view maps 1:1 onto the 800x600 test window).
Rgba LirePixel(int x, int y);

// Fills the back buffer with one colour (the test's own clear).
void Effacer(float r, float g, float b);

// A fresh empty folder, removed with everything in it when the object dies.
class DossierTemporaire
{
public:
    DossierTemporaire();
    ~DossierTemporaire();
    const std::string& Chemin() const { return chemin_; }
    std::string operator/(const std::string& nom) const { return chemin_ + "/" + nom; }

private:
    std::string chemin_;
};

// Moves into a folder for the life of the object, then back.
class DansDossier
{
public:
    explicit DansDossier(const std::string& chemin);
    ~DansDossier();

private:
    std::string avant_;
};

// Writes text to a file, making the parent folders.
void EcrireFichier(const std::string& chemin, const std::string& contenu);
// A whole file's bytes ("" when it cannot be read).
std::string LireTexte(const std::string& chemin);
// Makes a folder and its parents.
void CreerDossiers(const std::string& chemin);
// An image of one colour.
ImageRGBA ImageUnie(int largeur, int hauteur, uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255);
