#pragma once
// corvella-carte render: the whole level drawn on the CPU as the game draws it
// (the same tile and bonus images in the same order, then the bonus counter
// in the game's font), with the start cell and the bonuses marked.
#include "Png.h"
#include "Texte.h"

#include <string>
#include <vector>

namespace OutilCarte
{
    struct OptionsRendu
    {
        std::string Images = "Images";  // the game's image folder
        double Echelle = 1.0;           // output pixels per map pixel
        bool Marques = true;            // outline the start cell, mark the bonuses
        int Vignette = 0;               // above 0: a thumbnail, its longer side this
                                        // many pixels (the scale is then derived)
    };

    struct ResultatRendu
    {
        bool Reussi = false;
        std::string Erreur;                          // why, when not
        std::vector<std::string> ImagesManquantes;   // drawn as plain quads, as the game does
    };

    // Largest picture made, in pixels per side and in all.
    const long long CoteRenduMax = 32768;
    const long long PixelsRenduMax = 1LL << 26;

    // Thumbnails are made by file managers for every level a folder shows:
    // their work is bounded by the file's size (the analysis' TailleFichierMax)
    // and by the level's cells, each drawn from a whole 64 x 64 tile image.
    const int VignetteMax = 1024;               // pixels a side
    const long long CasesVignetteMax = 65536;   // 256 x 256 cells

    // Draws the level of a map text into `image`. Uses and then restores the
    // game's globals.
    ResultatRendu Rendre(const TexteCarte& texte, const OptionsRendu& options, ImageRGBA& image);

    // The scale of a thumbnail `cote` pixels on its longer side, or false and
    // why: a size out of 1..VignetteMax, a level over CasesVignetteMax cells.
    bool EchelleVignette(int largeur, int hauteur, int cote, double& echelle, std::string& erreur);

    // Colours of the drawing, for whoever reads it back.
    struct Couleur
    {
        unsigned char R, G, B;
    };
    const Couleur CouleurCiel = {156, 196, 228};      // behind the tiles
    const Couleur CouleurDepart = {255, 0, 255};      // outline of the start cell
    const Couleur CouleurBonusVie = {230, 30, 30};    // marker of a life bonus
    const Couleur CouleurBonusMana = {30, 90, 240};   // marker of a mana bonus
}
