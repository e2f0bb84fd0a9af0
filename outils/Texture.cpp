// Image files to OpenGL textures, and the vertical flip of a surface.
#include "Outils.h"

#include <SDL_image.h>
#include <SDL_opengl.h>
#include <GL/glu.h>

namespace
{
    // The working layout: bytes red, green, blue, alpha in memory.
    const Uint32 MasqueRouge = 0x000000FF;
    const Uint32 MasqueVert = 0x0000FF00;
    const Uint32 MasqueBleu = 0x00FF0000;
    const Uint32 MasqueAlpha = 0xFF000000;
}

SDL_Surface* Outils::flipSurface(SDL_Surface* surface)
{
    if (surface == nullptr)
        return nullptr;
    SDL_Surface* resultat = SDL_CreateRGBSurface(0, surface->w, surface->h,
                                                 surface->format->BitsPerPixel,
                                                 surface->format->Rmask, surface->format->Gmask,
                                                 surface->format->Bmask, surface->format->Amask);
    if (resultat == nullptr)
        return nullptr;
    SDL_LockSurface(surface);
    SDL_LockSurface(resultat);
    // A fresh surface has the tightest pitch its format allows; the source's can
    // be wider (a surface made around someone else's pixels), so each side is
    // addressed with its own pitch and a row copies what both can hold.
    const size_t pasSource = surface->pitch;
    const size_t pasCible = resultat->pitch;
    const size_t octets = pasSource < pasCible ? pasSource : pasCible;
    const Uint8* source = static_cast<const Uint8*>(surface->pixels);
    Uint8* cible = static_cast<Uint8*>(resultat->pixels);
    if (source != nullptr && cible != nullptr)
        for (int i = 0; i < surface->h; ++i)
            SDL_memcpy(cible + static_cast<size_t>(i) * pasCible,
                       source + static_cast<size_t>(surface->h - 1 - i) * pasSource, octets);
    SDL_UnlockSurface(resultat);
    SDL_UnlockSurface(surface);
    return resultat;
}

SDL_Surface* Outils::prepareSurface(SDL_Surface* image)
{
    if (image == nullptr || image->format == nullptr)
        return nullptr;
    SDL_PixelFormat format = *image->format;
    format.palette = nullptr;
    format.BitsPerPixel = 32;
    format.BytesPerPixel = 4;
    format.Rmask = MasqueRouge;
    format.Gmask = MasqueVert;
    format.Bmask = MasqueBleu;
    format.Amask = MasqueAlpha;
    format.Rshift = 0;
    format.Gshift = 8;
    format.Bshift = 16;
    format.Ashift = 24;
    format.Rloss = format.Gloss = format.Bloss = format.Aloss = 0;
    SDL_Surface* convertie = SDL_ConvertSurface(image, &format, 0);
    // Out of memory: nothing made, nothing kept.
    if (convertie == nullptr)
        return nullptr;
    SDL_Surface* retournee = flipSurface(convertie);
    SDL_FreeSurface(convertie);
    return retournee;
}

int Outils::loadTexture(const char* chemin, int* largeur, int* hauteur, bool mipmaps)
{
    // No path names no file (the image library would not survive a null one).
    SDL_Surface* image = chemin != nullptr ? IMG_Load(chemin) : nullptr;
    if (image == nullptr)
        return 0;

    SDL_Surface* retournee = prepareSurface(image);
    if (retournee == nullptr)
    {
        // Out of memory: no texture, nothing kept.
        SDL_FreeSurface(image);
        return 0;
    }
    // Sizes are reported only for an image that becomes a texture.
    if (largeur != nullptr)
        *largeur = image->w;
    if (hauteur != nullptr)
        *hauteur = image->h;

    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    // The rows are read tightly packed from the surface, whatever unpacking
    // state another part of the program may have left behind.
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    if (mipmaps)
    {
        gluBuild2DMipmaps(GL_TEXTURE_2D, 4, retournee->w, retournee->h, GL_RGBA,
                          GL_UNSIGNED_BYTE, retournee->pixels);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    }
    else
    {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, retournee->w, retournee->h, 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, retournee->pixels);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glPopClientAttrib();

    SDL_FreeSurface(retournee);
    SDL_FreeSurface(image);
    return static_cast<int>(texture);
}
