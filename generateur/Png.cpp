#include "Png.h"

#include <png.h>

#include <algorithm>
#include <cstdio>

ImageRGBA::ImageRGBA(int largeur, int hauteur)
    : Largeur(largeur), Hauteur(hauteur), Pixels(static_cast<size_t>(largeur) * hauteur * 4, 0)
{
}

void ImageRGBA::Fixer(int x, int y, uint8_t r, uint8_t g, uint8_t b, uint8_t a)
{
    if (x < 0 || y < 0 || x >= Largeur || y >= Hauteur)
        return;
    uint8_t* p = Pixel(x, y);
    p[0] = r;
    p[1] = g;
    p[2] = b;
    p[3] = a;
}

namespace
{
    struct Fichier
    {
        FILE* f;
        explicit Fichier(FILE* fichier) : f(fichier) {}
        ~Fichier()
        {
            if (f)
                std::fclose(f);
        }
    };

    bool Ecrire(const std::string& chemin, int largeur, int hauteur, int type,
                const std::vector<png_bytep>& lignes,
                const std::vector<std::array<uint8_t, 4>>* palette)
    {
        Fichier fichier(std::fopen(chemin.c_str(), "wb"));
        if (!fichier.f)
            return false;
        png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        if (!png)
            return false;
        png_infop info = png_create_info_struct(png);
        if (!info || setjmp(png_jmpbuf(png)))
        {
            png_destroy_write_struct(&png, info ? &info : nullptr);
            return false;
        }
        png_init_io(png, fichier.f);
        png_set_IHDR(png, info, static_cast<png_uint_32>(largeur), static_cast<png_uint_32>(hauteur), 8,
                     type, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        // Written for the game's start-up, which decodes every image: no row
        // filter (nothing to undo row by row) and no compression (zlib level 0:
        // the data is copied out, not inflated). The decoded pixels are the
        // same whatever the encoding; the files are about ten times larger.
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
        png_set_compression_level(png, 0);
        // The image data in one IDAT chunk (or a few for the largest): fewer
        // chunks to walk and check when the file is read.
        const size_t octetsParPixel = type == PNG_COLOR_TYPE_RGBA ? 4 : 1;
        const size_t donnees = (static_cast<size_t>(largeur) * octetsParPixel + 1) * static_cast<size_t>(hauteur);
        png_set_compression_buffer_size(png, std::min<size_t>(std::max<size_t>(donnees + donnees / 64 + 64, 8192),
                                                              1u << 24));
        std::vector<png_color> couleurs;
        std::vector<png_byte> alphas;
        if (palette)
        {
            for (const auto& c : *palette)
            {
                couleurs.push_back(png_color{c[0], c[1], c[2]});
                alphas.push_back(c[3]);
            }
            png_set_PLTE(png, info, couleurs.data(), static_cast<int>(couleurs.size()));
            bool transparent = false;
            for (png_byte a : alphas)
                transparent = transparent || a != 255;
            if (transparent)
                png_set_tRNS(png, info, alphas.data(), static_cast<int>(alphas.size()), nullptr);
        }
        png_write_info(png, info);
        png_write_image(png, const_cast<png_bytepp>(lignes.data()));
        png_write_end(png, nullptr);
        png_destroy_write_struct(&png, &info);
        return true;
    }
}

bool EcrirePng(const std::string& chemin, const ImageRGBA& image)
{
    if (image.Largeur <= 0 || image.Hauteur <= 0)
        return false;
    std::vector<png_bytep> lignes(static_cast<size_t>(image.Hauteur));
    for (int y = 0; y < image.Hauteur; ++y)
        lignes[static_cast<size_t>(y)] = const_cast<png_bytep>(image.Pixel(0, y));
    return Ecrire(chemin, image.Largeur, image.Hauteur, PNG_COLOR_TYPE_RGBA, lignes, nullptr);
}

bool EcrirePngPalette(const std::string& chemin, int largeur, int hauteur,
                      const std::vector<uint8_t>& indices,
                      const std::vector<std::array<uint8_t, 4>>& palette)
{
    if (largeur <= 0 || hauteur <= 0 || indices.size() != static_cast<size_t>(largeur) * hauteur ||
        palette.empty() || palette.size() > 256)
        return false;
    std::vector<png_bytep> lignes(static_cast<size_t>(hauteur));
    for (int y = 0; y < hauteur; ++y)
        lignes[static_cast<size_t>(y)] = const_cast<png_bytep>(&indices[static_cast<size_t>(y) * largeur]);
    return Ecrire(chemin, largeur, hauteur, PNG_COLOR_TYPE_PALETTE, lignes, &palette);
}

bool LirePng(const std::string& chemin, ImageRGBA& image)
{
    png_image lecture{};
    lecture.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&lecture, chemin.c_str()))
        return false;
    lecture.format = PNG_FORMAT_RGBA;
    ImageRGBA resultat(static_cast<int>(lecture.width), static_cast<int>(lecture.height));
    if (!png_image_finish_read(&lecture, nullptr, resultat.Pixels.data(), 0, nullptr))
    {
        png_image_free(&lecture);
        return false;
    }
    image = std::move(resultat);
    return true;
}
