// SDL 1.2's software surfaces in C++: emscripten's own keep their pixels in
// canvases and convert them through the browser, which premultiplies alpha;
// the game's images go through these instead, byte for byte as with SDL.
#include <SDL.h>

#include <cstdlib>
#include <cstring>

namespace
{
    void Decalages(Uint32 masque, Uint8& decalage, Uint8& perte)
    {
        decalage = 0;
        perte = 8;
        if (masque == 0)
            return;
        while ((masque & 1) == 0)
        {
            masque >>= 1;
            ++decalage;
        }
        while ((masque & 1) != 0 && perte > 0)
        {
            masque >>= 1;
            --perte;
        }
    }

    SDL_PixelFormat* NouveauFormat(int bits, Uint32 r, Uint32 v, Uint32 b, Uint32 a)
    {
        SDL_PixelFormat* f = static_cast<SDL_PixelFormat*>(std::calloc(1, sizeof(SDL_PixelFormat)));
        if (f == nullptr)
            return nullptr;
        f->BitsPerPixel = static_cast<Uint8>(bits);
        f->BytesPerPixel = static_cast<Uint8>((bits + 7) / 8);
        if (bits == 8 && r == 0 && v == 0 && b == 0)
        {
            // A palette of 256 greys until someone sets one.
            SDL_Palette* p = static_cast<SDL_Palette*>(std::calloc(1, sizeof(SDL_Palette)));
            SDL_Color* couleurs = static_cast<SDL_Color*>(std::calloc(256, sizeof(SDL_Color)));
            if (p == nullptr || couleurs == nullptr)
            {
                std::free(p);
                std::free(couleurs);
                std::free(f);
                return nullptr;
            }
            for (int i = 0; i < 256; ++i)
                couleurs[i].r = couleurs[i].g = couleurs[i].b = static_cast<Uint8>(i);
            p->ncolors = 256;
            p->colors = couleurs;
            f->palette = p;
        }
        f->Rmask = r;
        f->Gmask = v;
        f->Bmask = b;
        f->Amask = a;
        Decalages(r, f->Rshift, f->Rloss);
        Decalages(v, f->Gshift, f->Gloss);
        Decalages(b, f->Bshift, f->Bloss);
        Decalages(a, f->Ashift, f->Aloss);
        f->refcount = 1;
        return f;
    }

    Uint32 LitPixel(const Uint8* p, int octets)
    {
        switch (octets)
        {
        case 1: return p[0];
        case 2: return p[0] | (p[1] << 8);
        case 3: return p[0] | (p[1] << 8) | (p[2] << 16);
        default: return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<Uint32>(p[3]) << 24);
        }
    }

    void EcritPixel(Uint8* p, int octets, Uint32 valeur)
    {
        for (int i = 0; i < octets; ++i)
            p[i] = static_cast<Uint8>(valeur >> (8 * i));
    }

    Uint8 Composante(Uint32 pixel, Uint32 masque, Uint8 decalage, Uint8 perte)
    {
        const Uint32 v = (pixel & masque) >> decalage;
        if (perte >= 8)
            return 0;
        // Widened the way SDL widens: the top bits repeated into the low ones.
        Uint32 r = v << perte;
        if (perte > 0)
            r |= r >> (8 - perte);
        return static_cast<Uint8>(r);
    }
}

extern "C" {

SDL_Surface* SDL_CreateRGBSurface(Uint32 drapeaux, int largeur, int hauteur, int bits, Uint32 r, Uint32 v, Uint32 b,
                                  Uint32 a)
{
    if (largeur < 0 || hauteur < 0 || largeur > 16384 || hauteur > 16384 || (bits != 8 && bits != 16 && bits != 24 && bits != 32))
        return nullptr;
    SDL_Surface* s = static_cast<SDL_Surface*>(std::calloc(1, sizeof(SDL_Surface)));
    if (s == nullptr)
        return nullptr;
    s->format = NouveauFormat(bits, r, v, b, a);
    s->flags = drapeaux & ~SDL_PREALLOC;
    s->w = largeur;
    s->h = hauteur;
    s->pitch = (largeur * s->format->BytesPerPixel + 3) & ~3;
    s->pixels = std::calloc(static_cast<size_t>(s->pitch) * hauteur + 1, 1);
    if (s->format == nullptr || s->pixels == nullptr)
    {
        SDL_FreeSurface(s);
        return nullptr;
    }
    s->clip_rect.w = largeur;
    s->clip_rect.h = hauteur;
    s->refcount = 1;
    return s;
}

SDL_Surface* SDL_CreateRGBSurfaceFrom(void* pixels, int largeur, int hauteur, int bits, int pas, Uint32 r, Uint32 v,
                                      Uint32 b, Uint32 a)
{
    SDL_Surface* s = SDL_CreateRGBSurface(0, 0, 0, bits, r, v, b, a);
    if (s == nullptr)
        return nullptr;
    std::free(s->pixels);
    s->flags |= SDL_PREALLOC;
    s->pixels = pixels;
    s->w = largeur;
    s->h = hauteur;
    s->pitch = pas;
    s->clip_rect.w = largeur;
    s->clip_rect.h = hauteur;
    return s;
}

void SDL_FreeSurface(SDL_Surface* s)
{
    if (s == nullptr || --s->refcount > 0)
        return;
    if (s->format != nullptr)
    {
        if (s->format->palette != nullptr)
        {
            std::free(s->format->palette->colors);
            std::free(s->format->palette);
        }
        std::free(s->format);
    }
    if ((s->flags & SDL_PREALLOC) == 0)
        std::free(s->pixels);
    std::free(s);
}

int SDL_LockSurface(SDL_Surface* s)
{
    if (s != nullptr)
        ++s->locked;
    return 0;
}

void SDL_UnlockSurface(SDL_Surface* s)
{
    if (s != nullptr && s->locked > 0)
        --s->locked;
}

void SDL_GetRGBA(Uint32 pixel, const SDL_PixelFormat* f, Uint8* r, Uint8* v, Uint8* b, Uint8* a)
{
    if (f->palette != nullptr)
    {
        const SDL_Color c = pixel < static_cast<Uint32>(f->palette->ncolors) ? f->palette->colors[pixel] : SDL_Color{0, 0, 0, 0};
        *r = c.r;
        *v = c.g;
        *b = c.b;
        *a = 255;
        return;
    }
    *r = Composante(pixel, f->Rmask, f->Rshift, f->Rloss);
    *v = Composante(pixel, f->Gmask, f->Gshift, f->Gloss);
    *b = Composante(pixel, f->Bmask, f->Bshift, f->Bloss);
    *a = f->Amask != 0 ? Composante(pixel, f->Amask, f->Ashift, f->Aloss) : 255;
}

void SDL_GetRGB(Uint32 pixel, const SDL_PixelFormat* f, Uint8* r, Uint8* v, Uint8* b)
{
    Uint8 a;
    SDL_GetRGBA(pixel, f, r, v, b, &a);
}

Uint32 SDL_MapRGBA(const SDL_PixelFormat* f, Uint8 r, Uint8 v, Uint8 b, Uint8 a)
{
    if (f->palette != nullptr)
    {
        // The nearest colour of the palette.
        int meilleur = 0;
        long ecart = -1;
        for (int i = 0; i < f->palette->ncolors; ++i)
        {
            const SDL_Color& c = f->palette->colors[i];
            const long d = (c.r - r) * (c.r - r) + (c.g - v) * (c.g - v) + (c.b - b) * (c.b - b);
            if (ecart < 0 || d < ecart)
            {
                ecart = d;
                meilleur = i;
            }
        }
        return static_cast<Uint32>(meilleur);
    }
    return ((static_cast<Uint32>(r) >> f->Rloss) << f->Rshift) | ((static_cast<Uint32>(v) >> f->Gloss) << f->Gshift) |
           ((static_cast<Uint32>(b) >> f->Bloss) << f->Bshift) |
           (f->Amask != 0 ? ((static_cast<Uint32>(a) >> f->Aloss) << f->Ashift) & f->Amask : 0);
}

Uint32 SDL_MapRGB(const SDL_PixelFormat* f, Uint8 r, Uint8 v, Uint8 b)
{
    return SDL_MapRGBA(f, r, v, b, 255);
}

SDL_Surface* SDL_ConvertSurface(SDL_Surface* source, SDL_PixelFormat* f, Uint32 drapeaux)
{
    if (source == nullptr || f == nullptr)
        return nullptr;
    SDL_Surface* r = SDL_CreateRGBSurface(drapeaux, source->w, source->h, f->BitsPerPixel, f->Rmask, f->Gmask,
                                          f->Bmask, f->Amask);
    if (r == nullptr)
        return nullptr;
    if (f->palette != nullptr && r->format->palette != nullptr)
        for (int i = 0; i < f->palette->ncolors && i < r->format->palette->ncolors; ++i)
            r->format->palette->colors[i] = f->palette->colors[i];
    const int os = source->format->BytesPerPixel, oc = r->format->BytesPerPixel;
    for (int y = 0; y < source->h; ++y)
        for (int x = 0; x < source->w; ++x)
        {
            const Uint8* p = static_cast<const Uint8*>(source->pixels) + y * source->pitch + x * os;
            Uint8 cr, cv, cb, ca;
            SDL_GetRGBA(LitPixel(p, os), source->format, &cr, &cv, &cb, &ca);
            EcritPixel(static_cast<Uint8*>(r->pixels) + y * r->pitch + x * oc, oc, SDL_MapRGBA(r->format, cr, cv, cb, ca));
        }
    return r;
}

int SDL_SetAlpha(SDL_Surface* s, Uint32 drapeau, Uint8)
{
    if (s == nullptr)
        return -1;
    if (drapeau & SDL_SRCALPHA)
        s->flags |= SDL_SRCALPHA;
    else
        s->flags &= ~SDL_SRCALPHA;
    return 0;
}

// A copy with conversion: the surfaces the program blits have had their
// alpha blending switched off first.
int SDL_UpperBlit(SDL_Surface* source, const SDL_Rect* zoneSource, SDL_Surface* cible, SDL_Rect* zoneCible)
{
    if (source == nullptr || cible == nullptr)
        return -1;
    SDL_Rect zs = zoneSource != nullptr ? *zoneSource : SDL_Rect{0, 0, source->w, source->h};
    const int dx = zoneCible != nullptr ? zoneCible->x : 0, dy = zoneCible != nullptr ? zoneCible->y : 0;
    const int os = source->format->BytesPerPixel, oc = cible->format->BytesPerPixel;
    for (int y = 0; y < zs.h; ++y)
        for (int x = 0; x < zs.w; ++x)
        {
            const int sx = zs.x + x, sy = zs.y + y, cx = dx + x, cy = dy + y;
            if (sx < 0 || sy < 0 || sx >= source->w || sy >= source->h || cx < 0 || cy < 0 || cx >= cible->w || cy >= cible->h)
                continue;
            Uint8 r, v, b, a;
            SDL_GetRGBA(LitPixel(static_cast<const Uint8*>(source->pixels) + sy * source->pitch + sx * os, os),
                        source->format, &r, &v, &b, &a);
            EcritPixel(static_cast<Uint8*>(cible->pixels) + cy * cible->pitch + cx * oc, oc, SDL_MapRGBA(cible->format, r, v, b, a));
        }
    return 0;
}

// The screenshot and the cursor helpers have no place in a page.
int SDL_SaveBMP_RW(SDL_Surface*, SDL_RWops* flux, int fermer)
{
    if (flux != nullptr && fermer)
        SDL_RWclose(flux);
    return -1;
}

SDL_Cursor* SDL_CreateCursor(const Uint8*, const Uint8*, int, int, int, int)
{
    return nullptr;
}
}
