// The desktop side of the page's picture test: the game's first frame under a
// frozen clock, in an 800x600 window, written as raw RGBA (rows from the
// bottom) to the file given.
//     corvella-image-figee TEMPS SORTIE   (run from the build folder)
#include "../../main/Globales.h"
#include "../../web/jeu/ImageFigee.h"

#include <SDL.h>
#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    if (argc != 3)
    {
        std::fprintf(stderr, "usage: %s TIME OUT.rgba\n", argv[0]);
        return 2;
    }
    if (SDL_Init(0) < 0 || Moteur.Init(false, "Corvella") < 0)
    {
        std::fprintf(stderr, "no window\n");
        return 1;
    }
    ChargeJeu();
    const std::vector<std::uint8_t> pixels =
        ImageFigee(static_cast<std::uint32_t>(std::strtoul(argv[1], nullptr, 10)), Moteur.Ecran->w, Moteur.Ecran->h);
    std::FILE* f = std::fopen(argv[2], "wb");
    const bool ecrit = f != nullptr && std::fwrite(pixels.data(), 1, pixels.size(), f) == pixels.size();
    if (f != nullptr)
        std::fclose(f);
    SDL_Quit();
    return ecrit ? 0 : 1;
}
