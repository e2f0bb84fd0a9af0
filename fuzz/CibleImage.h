#pragma once
// The image path of loadTexture up to the upload, under any bytes: they are
// read from memory as loadTexture reads a file (the format found from the
// contents, data known to hang or crash the image library refused), then the surface is converted to the 32-bit RGBA layout and
// flipped. The result is checked against the image and read through to its
// last byte. Returns null when everything held, otherwise what went wrong.
#include "outils/Outils.h"

#include <SDL_image.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace Fuzz
{
    inline const char* ExerceImage(const uint8_t* donnees, size_t taille)
    {
        SDL_RWops* flux = SDL_RWFromConstMem(donnees, static_cast<int>(taille));
        if (flux == nullptr)
            return nullptr;
        SDL_Surface* image = Outils::readImage(flux, nullptr);
        if (image == nullptr)
            return nullptr;

        const char* faute = nullptr;
        // Pictures of more than 2^24 pixels are not prepared: converted and
        // flipped they take 64 MB a copy and up to 4 GB for the largest that
        // SDL accepts, beyond the fuzzer's memory budget. The game would try,
        // and get null from SDL when the memory is not there.
        if (static_cast<long long>(image->w) * image->h > (1LL << 24))
        {
            SDL_FreeSurface(image);
            return nullptr;
        }
        SDL_Surface* prete = Outils::prepareSurface(image);
        if (prete == nullptr)
        {
            // Only running out of memory may refuse an image that loaded.
            faute = "a small image that loaded could not be prepared";
        }
        else
        {
            if (prete->w != image->w || prete->h != image->h)
                faute = "the prepared surface has another size";
            else if (prete->format->BytesPerPixel != 4 || prete->format->Rmask != 0x000000FF ||
                     prete->format->Gmask != 0x0000FF00 || prete->format->Bmask != 0x00FF0000 ||
                     prete->format->Amask != 0xFF000000)
                faute = "the prepared surface is not in the RGBA layout";
            else if (prete->h > 0 && (prete->pixels == nullptr || prete->pitch < prete->w * 4))
                faute = "the prepared surface's rows cannot hold its pixels";
            else if (prete->h > 0)
            {
                // Every byte that the upload reads, and the flip itself: the
                // first row of the prepared surface is the bottom row of the
                // image converted by SDL on its own.
                SDL_LockSurface(prete);
                const Uint8* octets = static_cast<const Uint8*>(prete->pixels);
                unsigned somme = 0;
                for (int y = 0; y < prete->h; ++y)
                    for (int x = 0; x < prete->w * 4; ++x)
                        somme += octets[static_cast<size_t>(y) * prete->pitch + static_cast<size_t>(x)];
                SDL_Surface* temoin = SDL_ConvertSurface(image, prete->format, 0);
                if (temoin != nullptr)
                {
                    SDL_LockSurface(temoin);
                    const Uint8* bas = static_cast<const Uint8*>(temoin->pixels) +
                                       static_cast<size_t>(temoin->h - 1) * temoin->pitch;
                    if (std::memcmp(octets, bas, static_cast<size_t>(prete->w) * 4) != 0)
                        faute = "the prepared surface's first row is not the image's last";
                    SDL_UnlockSurface(temoin);
                    SDL_FreeSurface(temoin);
                }
                SDL_UnlockSurface(prete);
                volatile unsigned puits = somme; // the reads are kept
                (void)puits;
            }
            SDL_FreeSurface(prete);
        }

        // The flip alone, on the image as it was loaded (any depth, any pitch).
        if (SDL_Surface* retournee = Outils::flipSurface(image))
            SDL_FreeSurface(retournee);
        SDL_FreeSurface(image);
        return faute;
    }
}
