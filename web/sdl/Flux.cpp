// SDL's data streams as SDL 1.2 has them, structures with their own read,
// seek and close: emscripten's are numbers that only its own JavaScript
// functions understand, and the game reads its images through the
// structure's functions.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{
    FILE* Fichier(SDL_RWops* f)
    {
        return static_cast<FILE*>(f->hidden.unknown.data1);
    }

    long SeekFichier(SDL_RWops* f, long decalage, int depuis)
    {
        FILE* fp = Fichier(f);
        const int origine = depuis == RW_SEEK_CUR ? SEEK_CUR : (depuis == RW_SEEK_END ? SEEK_END : SEEK_SET);
        if (std::fseek(fp, decalage, origine) != 0)
            return -1;
        return std::ftell(fp);
    }

    size_t LitFichier(SDL_RWops* f, void* ptr, size_t taille, size_t nombre)
    {
        return taille == 0 ? 0 : std::fread(ptr, taille, nombre, Fichier(f));
    }

    size_t EcritFichier(SDL_RWops* f, const void* ptr, size_t taille, size_t nombre)
    {
        return taille == 0 ? 0 : std::fwrite(ptr, taille, nombre, Fichier(f));
    }

    int FermeFichier(SDL_RWops* f)
    {
        const int r = f->type != 0 ? std::fclose(Fichier(f)) : 0;
        SDL_FreeRW(f);
        return r == 0 ? 0 : -1;
    }

    long SeekMemoire(SDL_RWops* f, long decalage, int depuis)
    {
        Uint8* base = f->hidden.mem.base;
        Uint8* origine = depuis == RW_SEEK_CUR ? f->hidden.mem.here : (depuis == RW_SEEK_END ? f->hidden.mem.stop : base);
        const long position = (origine - base) + decalage;
        if (position < 0 || position > f->hidden.mem.stop - base)
            return -1;
        f->hidden.mem.here = base + position;
        return position;
    }

    size_t LitMemoire(SDL_RWops* f, void* ptr, size_t taille, size_t nombre)
    {
        if (taille == 0)
            return 0;
        const size_t reste = static_cast<size_t>(f->hidden.mem.stop - f->hidden.mem.here);
        const size_t n = nombre < reste / taille ? nombre : reste / taille;
        std::memcpy(ptr, f->hidden.mem.here, n * taille);
        f->hidden.mem.here += n * taille;
        return n;
    }

    size_t EcritMemoire(SDL_RWops* f, const void* ptr, size_t taille, size_t nombre)
    {
        if (taille == 0)
            return 0;
        const size_t reste = static_cast<size_t>(f->hidden.mem.stop - f->hidden.mem.here);
        const size_t n = nombre < reste / taille ? nombre : reste / taille;
        std::memcpy(f->hidden.mem.here, ptr, n * taille);
        f->hidden.mem.here += n * taille;
        return n;
    }

    size_t EcritInterdit(SDL_RWops*, const void*, size_t, size_t)
    {
        return 0;
    }

    int FermeMemoire(SDL_RWops* f)
    {
        SDL_FreeRW(f);
        return 0;
    }

    SDL_RWops* Memoire(const void* octets, int taille, bool ecriture)
    {
        if (octets == nullptr || taille < 0)
            return nullptr;
        SDL_RWops* f = SDL_AllocRW();
        if (f == nullptr)
            return nullptr;
        f->seek = SeekMemoire;
        f->read = LitMemoire;
        f->write = ecriture ? EcritMemoire : EcritInterdit;
        f->close = FermeMemoire;
        f->hidden.mem.base = static_cast<Uint8*>(const_cast<void*>(octets));
        f->hidden.mem.here = f->hidden.mem.base;
        f->hidden.mem.stop = f->hidden.mem.base + taille;
        return f;
    }
}

extern "C" {

SDL_RWops* SDL_AllocRW(void)
{
    return static_cast<SDL_RWops*>(std::calloc(1, sizeof(SDL_RWops)));
}

void SDL_FreeRW(SDL_RWops* f)
{
    std::free(f);
}

SDL_RWops* SDL_RWFromFP(void* fichier, SDL_bool autoclose)
{
    FILE* fp = static_cast<FILE*>(fichier);
    if (fp == nullptr)
        return nullptr;
    SDL_RWops* f = SDL_AllocRW();
    if (f == nullptr)
        return nullptr;
    f->seek = SeekFichier;
    f->read = LitFichier;
    f->write = EcritFichier;
    f->close = FermeFichier;
    f->hidden.unknown.data1 = fp;
    f->type = autoclose ? 1 : 0; // whether closing the stream closes the file
    return f;
}

SDL_RWops* SDL_RWFromFile(const char* chemin, const char* mode)
{
    if (chemin == nullptr || mode == nullptr)
        return nullptr;
    FILE* fp = std::fopen(chemin, mode);
    SDL_RWops* f = SDL_RWFromFP(fp, SDL_TRUE);
    if (f == nullptr && fp != nullptr)
        std::fclose(fp);
    return f;
}

SDL_RWops* SDL_RWFromConstMem(const void* octets, int taille)
{
    return Memoire(octets, taille, false);
}

SDL_RWops* SDL_RWFromMem(void* octets, int taille)
{
    return Memoire(octets, taille, true);
}
}
