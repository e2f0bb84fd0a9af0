// A screenshot of the running game, as a player sees it after the fade-in: the
// picture shown in the README comes from here (build/capture-jeu.png).
#include <gtest/gtest.h>

#include "aide/Processus.h"

#include <SDL.h>
#include <cstdlib>
#include <filesystem>
#include <thread>

TEST(Capture, TheGameAfterItsFadeInIsNotBlank)
{
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under xvfb-run";
    Lancement l;
    l.Arguments = {std::filesystem::absolute(BinaireJeu()).string()};
    l.Dossier = std::filesystem::path(BinaireJeu()).parent_path().string();
    l.Ajouter = {"ASAN_OPTIONS=detect_leaks=0"};
    const pid_t pid = Demarrer(l);
    ASSERT_GT(pid, 0);
    const std::string fenetre =
        Sortie("timeout 20 xdotool search --sync --onlyvisible --name '^Corvella$' 2>/dev/null | head -1");
    if (fenetre.empty())
    {
        Tuer(pid);
        FAIL() << "the game's window never appeared";
    }
    // The game fades in from black over its first second; give it that second
    // and a little more (a wait on another process, not on the game's clock).
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    const std::string capture = std::filesystem::absolute("capture-jeu.png").string();
    Sortie("import -window root '" + capture + "' 2>/dev/null");
    Sortie("xdotool mousemove --window " + fenetre + " 50 50; xdotool keydown Escape; xdotool keyup Escape");
    const int statut = AttendreFin(pid, 20000);
    if (statut < 0)
        Tuer(pid);
    EXPECT_EQ(statut, 0);

    // Converted to BMP to read it back without another image library.
    const std::string bmp = capture + ".bmp";
    Sortie("convert '" + capture + "' BMP3:'" + bmp + "'");
    SDL_Surface* image = SDL_LoadBMP(bmp.c_str());
    ASSERT_NE(image, nullptr);
    // Not a black screen: the scene is drawn and the fade is over.
    SDL_LockSurface(image);
    long somme = 0;
    for (int y = 0; y < image->h; y += 16)
        for (int x = 0; x < image->w; x += 16)
        {
            Uint8 r, g, b;
            Uint32 pixel = 0;
            const Uint8* p = static_cast<const Uint8*>(image->pixels) + y * image->pitch + x * image->format->BytesPerPixel;
            SDL_memcpy(&pixel, p, image->format->BytesPerPixel);
            SDL_GetRGB(pixel, image->format, &r, &g, &b);
            somme += r + g + b;
        }
    SDL_UnlockSurface(image);
    SDL_FreeSurface(image);
    std::filesystem::remove(bmp);
    EXPECT_GT(somme, 0);
}
