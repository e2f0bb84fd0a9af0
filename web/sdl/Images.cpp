// SDL_image's loaders over stb_image, decoded in the program itself as the
// desktop's libpng decodes the game's PNG files: eight bits a channel, no
// gamma applied, alpha kept. The surface is 32-bit RGBA (bytes red, green,
// blue, alpha), as SDL_image gives for the game's images.
#include <SDL.h>
#include <SDL_image.h>

#include <vector>

extern "C" {
unsigned char* stbi_load_from_memory(const unsigned char* octets, int taille, int* largeur, int* hauteur,
                                     int* composantes, int voulues);
void stbi_image_free(void* pixels);
}

extern "C" {

SDL_Surface* IMG_LoadTyped_RW(SDL_RWops* flux, int fermer, char*)
{
    if (flux == nullptr)
        return nullptr;
    std::vector<unsigned char> octets;
    unsigned char tampon[65536];
    size_t n;
    while ((n = SDL_RWread(flux, tampon, 1, sizeof tampon)) > 0 && octets.size() < (size_t(1) << 30))
        octets.insert(octets.end(), tampon, tampon + n);
    if (fermer)
        SDL_RWclose(flux);
    int largeur = 0, hauteur = 0, composantes = 0;
    unsigned char* pixels = stbi_load_from_memory(octets.data(), static_cast<int>(octets.size()), &largeur, &hauteur,
                                                  &composantes, 4);
    if (pixels == nullptr)
        return nullptr;
    SDL_Surface* s = SDL_CreateRGBSurface(0, largeur, hauteur, 32, 0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000);
    if (s != nullptr)
        for (int y = 0; y < hauteur; ++y)
            SDL_memcpy(static_cast<Uint8*>(s->pixels) + y * s->pitch, pixels + static_cast<size_t>(y) * largeur * 4,
                       static_cast<size_t>(largeur) * 4);
    stbi_image_free(pixels);
    return s;
}

SDL_Surface* IMG_Load_RW(SDL_RWops* flux, int fermer)
{
    return IMG_LoadTyped_RW(flux, fermer, nullptr);
}

SDL_Surface* IMG_Load(const char* chemin)
{
    return IMG_Load_RW(SDL_RWFromFile(chemin, "rb"), 1);
}
}
