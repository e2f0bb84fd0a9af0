// Image files to OpenGL textures, and the vertical flip of a surface.
#include "Outils.h"

#include <SDL_image.h>
#include <SDL_opengl.h>
#include <GL/glu.h>

#include <climits>
#include <cstring>
#include <vector>

namespace
{
    // The working layout: bytes red, green, blue, alpha in memory.
    const Uint32 MasqueRouge = 0x000000FF;
    const Uint32 MasqueVert = 0x0000FF00;
    const Uint32 MasqueBleu = 0x00FF0000;
    const Uint32 MasqueAlpha = 0xFF000000;

    // The GIF reader of SDL_image 1.2 never returns from some damaged files and
    // crashes on others: an extension whose blocks run past the end of the data
    // (it keeps asking for the next block), and an image of width or height 0
    // or too wide for an SDL surface (it writes its pixels through a surface it
    // did not get). It also takes minutes over a huge image with little data,
    // and loops for ever after a code size GIF does not allow. This walks the
    // data as that reader does, up to its first image, and says whether the
    // reader would meet one of these. A well-formed GIF of up to 2^24 pixels
    // passes and loads as before.
    const unsigned long PixelsGifMax = 1UL << 24;

    class LectureGif
    {
    public:
        explicit LectureGif(const std::vector<Uint8>& octets) : d_(octets), p_(0) {}

        bool Dangereux()
        {
            // Signature and logical screen, then the global colour table.
            if (d_.size() < 13)
                return false; // the reader stops at once
            const Uint8 drapeaux = d_[10];
            p_ = 13;
            if (drapeaux & 0x80)
            {
                const size_t table = 3 * (static_cast<size_t>(2) << (drapeaux & 0x07));
                if (p_ + table > d_.size())
                    return false; // refused by the reader
                p_ += table;
            }
            while (p_ < d_.size())
            {
                const Uint8 c = d_[p_++];
                if (c == ';')
                    return false; // no image: refused
                if (c == '!')
                {
                    if (p_ >= d_.size())
                        return false;
                    const Uint8 etiquette = d_[p_++];
                    // The graphic control extension reads its first block
                    // apart, whatever its length, then the rest like the others.
                    if (etiquette == 0xF9 && !Bloc())
                        return true;
                    if (!Chaine())
                        return true;
                    continue;
                }
                if (c != ',')
                    continue; // skipped byte by byte
                if (p_ + 9 > d_.size())
                    return false;
                const unsigned largeur = d_[p_ + 4] | (d_[p_ + 5] << 8);
                const unsigned hauteur = d_[p_ + 6] | (d_[p_ + 7] << 8);
                const Uint8 local = d_[p_ + 8];
                p_ += 9;
                if (local & 0x80)
                {
                    const size_t table = 3 * (static_cast<size_t>(1) << ((local & 0x07) + 1));
                    if (p_ + table > d_.size())
                        return false;
                    p_ += table;
                }
                if (p_ >= d_.size())
                    return false;
                const Uint8 tailleCode = d_[p_++];
                // SDL 1.2 makes no surface 16384 pixels wide or more; the
                // decoder runs for minutes on a few hundred million pixels
                // with no data behind them, and may never end with a code size
                // outside the 2 to 8 that GIF allows: below, or above up to 12,
                // it decodes; above 12 it gives up on the image and goes on to
                // the next with a decoder left in a state it never leaves.
                return largeur == 0 || hauteur == 0 || largeur >= 16384 ||
                       static_cast<unsigned long>(largeur) * hauteur > PixelsGifMax ||
                       tailleCode < 2 || tailleCode > 8;
            }
            return false;
        }

    private:
        // One data block: false when the reader would fail to read it.
        bool Bloc()
        {
            if (p_ >= d_.size())
                return false;
            const size_t longueur = d_[p_++];
            if (p_ + longueur > d_.size())
                return false;
            p_ += longueur;
            return true;
        }

        // Data blocks up to the empty one that ends them.
        bool Chaine()
        {
            for (;;)
            {
                if (p_ >= d_.size())
                    return false;
                if (d_[p_] == 0)
                {
                    ++p_;
                    return true;
                }
                if (!Bloc())
                    return false;
            }
        }

        const std::vector<Uint8>& d_;
        size_t p_;
    };

    bool EstGif(const Uint8* entete)
    {
        return std::memcmp(entete, "GIF87a", 6) == 0 || std::memcmp(entete, "GIF89a", 6) == 0;
    }

    bool EstPng(const Uint8* entete)
    {
        return entete[0] == 0x89 && entete[1] == 'P' && entete[2] == 'N' && entete[3] == 'G';
    }

    // The PNG reader of SDL_image 1.2 ignores a read that comes up short: past
    // the end of the data libpng goes on with whatever its buffers held, and on
    // a file cut after some chunks it reads the same chunk header again for
    // ever. True when the chunks do not all lie within the data up to IEND:
    // such a file never loads (the reader fails on it or never returns).
    // `entete(p, h)` reads the 8 bytes of the chunk header at offset p of data
    // `taille` bytes long (false when it cannot).
    template <typename LectureEntete>
    bool PngCoupe(size_t taille, LectureEntete entete)
    {
        size_t p = 8; // the signature
        for (;;)
        {
            Uint8 d[8];
            if (p + 8 > taille || !entete(p, d))
                return true;
            const Uint32 longueur = (static_cast<Uint32>(d[0]) << 24) | (static_cast<Uint32>(d[1]) << 16) |
                                    (static_cast<Uint32>(d[2]) << 8) | d[3];
            // libpng stops at a length it cannot take, before reading on.
            if (longueur > 0x7FFFFFFFu)
                return false;
            if (p + 12 + longueur > taille)
                return true;
            if (std::memcmp(&d[4], "IEND", 4) == 0)
                return false;
            p += 12 + longueur;
        }
    }

    // The whole data from the current position on, which is kept.
    std::vector<Uint8> LitTout(SDL_RWops* source)
    {
        const int debut = SDL_RWtell(source);
        std::vector<Uint8> octets;
        Uint8 tampon[4096];
        int n;
        while ((n = SDL_RWread(source, tampon, 1, sizeof tampon)) > 0)
            octets.insert(octets.end(), tampon, tampon + n);
        SDL_RWseek(source, debut, RW_SEEK_SET);
        return octets;
    }

    // PngCoupe on the source itself: only the chunk headers are read, each at
    // its offset (the image data is read once, by the image library). A source
    // whose size cannot be known is read whole, as GIF data is.
    bool PngCoupe(SDL_RWops* source)
    {
        const int debut = SDL_RWtell(source);
        const int fin = debut >= 0 ? SDL_RWseek(source, 0, RW_SEEK_END) : -1;
        bool coupe;
        if (debut < 0 || fin < debut)
        {
            SDL_RWseek(source, debut, RW_SEEK_SET);
            const std::vector<Uint8> octets = LitTout(source);
            coupe = PngCoupe(octets.size(), [&](size_t p, Uint8* d) {
                std::memcpy(d, &octets[p], 8);
                return true;
            });
        }
        else
            coupe = PngCoupe(static_cast<size_t>(fin - debut), [&](size_t p, Uint8* d) {
                return p <= static_cast<size_t>(INT_MAX - debut) &&
                       SDL_RWseek(source, debut + static_cast<int>(p), RW_SEEK_SET) >= 0 &&
                       SDL_RWread(source, d, 1, 8) == 8;
            });
        SDL_RWseek(source, debut, RW_SEEK_SET);
        return coupe;
    }
}

SDL_Surface* Outils::readImage(SDL_RWops* source, const char* type)
{
    if (source == nullptr)
        return nullptr;
    // GIF and PNG data are checked first for what would hang or crash the
    // image library (GIF data read whole, PNG data by its chunk headers); the
    // library then reads them from the start.
    const int debut = SDL_RWtell(source);
    Uint8 entete[6];
    const int lus = SDL_RWread(source, entete, 1, 6);
    SDL_RWseek(source, debut, RW_SEEK_SET);
    const bool gif = lus == 6 && EstGif(entete);
    const bool png = lus >= 4 && EstPng(entete);
    if ((gif && LectureGif(LitTout(source)).Dangereux()) || (png && PngCoupe(source)))
    {
        SDL_RWclose(source);
        return nullptr;
    }
    return IMG_LoadTyped_RW(source, 1, const_cast<char*>(type));
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

void Outils::tightPixelRows()
{
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_PACK_SWAP_BYTES, GL_FALSE);
    glPixelStorei(GL_PACK_LSB_FIRST, GL_FALSE);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glPixelStorei(GL_PACK_SKIP_ROWS, 0);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
}

SDL_Surface* Outils::readImageFile(const char* chemin)
{
    // No path names no file (the image library would not survive a null one).
    // Read as IMG_Load reads a file: the format is found from the contents, the
    // extension only names the formats that have no signature.
    if (chemin == nullptr)
        return nullptr;
    const char* extension = std::strrchr(chemin, '.');
    return readImage(SDL_RWFromFile(chemin, "rb"), extension != nullptr ? extension + 1 : nullptr);
}

int Outils::loadTexture(const char* chemin, int* largeur, int* hauteur, bool mipmaps)
{
    SDL_Surface* image = readImageFile(chemin);
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
    tightPixelRows();
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
