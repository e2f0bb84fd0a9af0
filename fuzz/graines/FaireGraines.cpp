// Writes the image seeds of the image fuzz target into the folder given as
// argument: tiny pictures of the kinds an image file may hold (PNG of every
// colour type, depth and interlacing, palettes with transparency, odd sizes, a
// cut file; BMP, GIF, PNM and XPM, which the image library also recognises).
// Run once; the files are kept in fuzz/corpus/image.
#include "Png.h"

#include <SDL.h>
#include <png.h>

#include <cstdio>
#include <string>
#include <vector>

namespace
{
    // A PNG of any colour type and bit depth, pixels from a simple pattern.
    bool PngBrut(const std::string& chemin, int largeur, int hauteur, int type, int profondeur,
                 bool entrelace, bool transparence)
    {
        std::FILE* f = std::fopen(chemin.c_str(), "wb");
        if (!f)
            return false;
        png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        if (setjmp(png_jmpbuf(png)))
        {
            png_destroy_write_struct(&png, &info);
            std::fclose(f);
            return false;
        }
        png_init_io(png, f);
        png_set_IHDR(png, info, largeur, hauteur, profondeur, type,
                     entrelace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        int canaux = 1;
        switch (type)
        {
        case PNG_COLOR_TYPE_GRAY_ALPHA: canaux = 2; break;
        case PNG_COLOR_TYPE_RGB: canaux = 3; break;
        case PNG_COLOR_TYPE_RGBA: canaux = 4; break;
        default: canaux = 1; break;
        }
        if (type == PNG_COLOR_TYPE_PALETTE)
        {
            png_color couleurs[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
            png_set_PLTE(png, info, couleurs, 1 << (profondeur < 2 ? profondeur : 2));
            if (transparence)
            {
                png_byte alphas[2] = {0, 128};
                png_set_tRNS(png, info, alphas, 2, nullptr);
            }
        }
        else if (transparence && (type == PNG_COLOR_TYPE_GRAY || type == PNG_COLOR_TYPE_RGB))
        {
            png_color_16 cle{};
            png_set_tRNS(png, info, nullptr, 0, &cle);
        }
        png_write_info(png, info);
        const size_t bitsLigne = static_cast<size_t>(largeur) * canaux * profondeur;
        std::vector<png_byte> ligne((bitsLigne + 7) / 8);
        const int passes = entrelace ? png_set_interlace_handling(png) : 1;
        for (int passe = 0; passe < passes; ++passe)
            for (int y = 0; y < hauteur; ++y)
            {
                for (size_t i = 0; i < ligne.size(); ++i)
                    ligne[i] = static_cast<png_byte>((i * 37 + y * 11) & (type == PNG_COLOR_TYPE_PALETTE ? 0x55 : 0xFF));
                png_write_row(png, ligne.data());
            }
        png_write_end(png, nullptr);
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        return true;
    }

    void Ecrire(const std::string& chemin, const std::string& octets)
    {
        if (std::FILE* f = std::fopen(chemin.c_str(), "wb"))
        {
            std::fwrite(octets.data(), 1, octets.size(), f);
            std::fclose(f);
        }
    }

    std::string Lire(const std::string& chemin)
    {
        std::string octets;
        if (std::FILE* f = std::fopen(chemin.c_str(), "rb"))
        {
            char tampon[4096];
            size_t n;
            while ((n = std::fread(tampon, 1, sizeof tampon, f)) > 0)
                octets.append(tampon, n);
            std::fclose(f);
        }
        return octets;
    }
}

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::string d = std::string(argv[1]) + "/";

    ImageRGBA rgba(3, 2);
    rgba.Fixer(0, 0, 255, 0, 0, 255);
    rgba.Fixer(1, 0, 0, 255, 0, 128);
    rgba.Fixer(2, 1, 0, 0, 255, 0);
    EcrirePng(d + "rgba-3x2.png", rgba);
    EcrirePng(d + "rgba-1x1.png", ImageRGBA(1, 1));
    ImageRGBA impaire(63, 17);
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 63; ++x)
            impaire.Fixer(x, y, static_cast<uint8_t>(x * 4), static_cast<uint8_t>(y * 15), 90, static_cast<uint8_t>(x + y));
    EcrirePng(d + "rgba-63x17.png", impaire);
    EcrirePngPalette(d + "palette-2x2.png", 2, 2, {0, 1, 1, 0}, {{{0, 0, 0, 255}}, {{255, 255, 255, 0}}});

    PngBrut(d + "gris-1bit-9x3.png", 9, 3, PNG_COLOR_TYPE_GRAY, 1, false, false);
    PngBrut(d + "gris-16bits-2x2.png", 2, 2, PNG_COLOR_TYPE_GRAY, 16, false, true);
    PngBrut(d + "gris-alpha-3x3.png", 3, 3, PNG_COLOR_TYPE_GRAY_ALPHA, 8, false, false);
    PngBrut(d + "rgb-5x4.png", 5, 4, PNG_COLOR_TYPE_RGB, 8, false, true);
    PngBrut(d + "rgb-16bits-2x1.png", 2, 1, PNG_COLOR_TYPE_RGB, 16, false, false);
    PngBrut(d + "rgba-16bits-entrelace-7x5.png", 7, 5, PNG_COLOR_TYPE_RGBA, 16, true, false);
    PngBrut(d + "palette-2bits-entrelace-11x6.png", 11, 6, PNG_COLOR_TYPE_PALETTE, 2, true, true);

    // A PNG cut in the middle of its image data.
    const std::string entier = Lire(d + "rgba-63x17.png");
    Ecrire(d + "tronque.png", entier.substr(0, entier.size() / 2));

    // BMP at 8 and 24 bits per pixel.
    if (SDL_Surface* s = SDL_CreateRGBSurface(0, 5, 3, 24, 0xFF0000, 0xFF00, 0xFF, 0))
    {
        SDL_FillRect(s, nullptr, 0x336699);
        SDL_SaveBMP(s, (d + "bmp-24bits-5x3.bmp").c_str());
        SDL_FreeSurface(s);
    }
    if (SDL_Surface* s = SDL_CreateRGBSurface(0, 3, 3, 8, 0, 0, 0, 0))
    {
        SDL_FillRect(s, nullptr, 1);
        SDL_SaveBMP(s, (d + "bmp-8bits-3x3.bmp").c_str());
        SDL_FreeSurface(s);
    }
    // A one-pixel GIF, a binary PNM and an XPM.
    Ecrire(d + "un-pixel.gif",
           std::string("GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00"
                       "!\xf9\x04\x01\x00\x00\x00\x00,\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02"
                       "D\x01\x00;", 43));
    Ecrire(d + "pnm-2x2.ppm", std::string("P6\n2 2\n255\n", 11) + std::string(12, '\x7f'));
    Ecrire(d + "xpm-4x2.xpm",
           "/* XPM */\nstatic char *x[] = {\n\"4 2 2 1\",\n\"X c #000000\",\n\". c None\",\n"
           "\"X.X.\",\n\".X.X\"};\n");
    return 0;
}
