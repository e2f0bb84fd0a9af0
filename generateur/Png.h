#pragma once
// Writing PNG files: the asset generator's and the tests' way to make images.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

// An RGBA picture, rows from the top, 4 bytes a pixel (red, green, blue, alpha).
struct ImageRGBA
{
    int Largeur = 0;
    int Hauteur = 0;
    std::vector<uint8_t> Pixels;

    ImageRGBA() = default;
    ImageRGBA(int largeur, int hauteur);
    uint8_t* Pixel(int x, int y) { return &Pixels[(static_cast<size_t>(y) * Largeur + x) * 4]; }
    const uint8_t* Pixel(int x, int y) const { return &Pixels[(static_cast<size_t>(y) * Largeur + x) * 4]; }
    void Fixer(int x, int y, uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255);
};

// Writes an 8-bit RGBA PNG. False when the file cannot be written.
bool EcrirePng(const std::string& chemin, const ImageRGBA& image);

// Writes an 8-bit palette PNG (with a transparency chunk when an entry is not opaque).
bool EcrirePngPalette(const std::string& chemin, int largeur, int hauteur,
                      const std::vector<uint8_t>& indices,
                      const std::vector<std::array<uint8_t, 4>>& palette);

// Reads a PNG back as RGBA (for checks). False when it cannot be read.
bool LirePng(const std::string& chemin, ImageRGBA& image);
