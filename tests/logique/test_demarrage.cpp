// What makes the start-up fast: the images are written so that decoding them
// is little more than a copy, and the heap is ready for the start-up's
// allocations. Neither may change a single decoded pixel or lose memory.
#include <gtest/gtest.h>

#include "Png.h"
#include "aide/Aide.h"
#include "main/Memoire.h"
#include "outils/Outils.h"

#include <SDL.h>
#include <sys/mman.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace
{
    std::string Lire(const std::string& chemin)
    {
        std::ifstream f(chemin, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    }

    uint32_t Mot(const std::string& d, size_t p)
    {
        return (static_cast<uint32_t>(static_cast<uint8_t>(d[p])) << 24) |
               (static_cast<uint32_t>(static_cast<uint8_t>(d[p + 1])) << 16) |
               (static_cast<uint32_t>(static_cast<uint8_t>(d[p + 2])) << 8) | static_cast<uint8_t>(d[p + 3]);
    }

    // How a PNG file is laid out: its chunks' names, and its image data
    // (the IDAT chunks joined).
    struct Disposition
    {
        std::vector<std::string> Blocs;
        std::string Donnees;
        uint32_t Largeur = 0, Hauteur = 0;
        int Octets = 0; // bytes a pixel
    };

    Disposition Disposer(const std::string& d)
    {
        Disposition r;
        for (size_t p = 8; p + 12 <= d.size();)
        {
            const uint32_t n = Mot(d, p);
            const std::string nom = d.substr(p + 4, 4);
            r.Blocs.push_back(nom);
            if (nom == "IHDR")
            {
                r.Largeur = Mot(d, p + 8);
                r.Hauteur = Mot(d, p + 12);
                const int type = static_cast<uint8_t>(d[p + 17]);
                r.Octets = type == 6 ? 4 : type == 2 ? 3 : type == 4 ? 2 : 1;
            }
            if (nom == "IDAT")
                r.Donnees += d.substr(p + 8, n);
            p += 12 + n;
        }
        return r;
    }

    // True when the zlib stream holds only stored (uncompressed) blocks and
    // every row of the inflated data starts with filter 0 (none).
    ::testing::AssertionResult StockeSansFiltre(const std::string& fichier)
    {
        const Disposition d = Disposer(Lire(fichier));
        if (d.Largeur == 0 || d.Donnees.size() < 2)
            return ::testing::AssertionFailure() << fichier << ": not a PNG";
        // Stored blocks: each begins with a header byte whose type bits are 00,
        // then its length and the length's complement.
        for (size_t p = 2; p + 5 <= d.Donnees.size();)
        {
            const uint8_t entete = static_cast<uint8_t>(d.Donnees[p]);
            if ((entete & 0x06) != 0)
                return ::testing::AssertionFailure() << fichier << ": a compressed block at " << p;
            const size_t n = static_cast<uint8_t>(d.Donnees[p + 1]) | (static_cast<uint8_t>(d.Donnees[p + 2]) << 8);
            p += 5 + n;
            if (entete & 1)
                break;
        }
        const size_t ligne = static_cast<size_t>(d.Largeur) * d.Octets + 1;
        std::vector<Bytef> brut(ligne * d.Hauteur);
        uLongf taille = brut.size();
        if (uncompress(brut.data(), &taille, reinterpret_cast<const Bytef*>(d.Donnees.data()), d.Donnees.size()) !=
                Z_OK ||
            taille != brut.size())
            return ::testing::AssertionFailure() << fichier << ": the image data does not inflate to its rows";
        for (uint32_t y = 0; y < d.Hauteur; ++y)
            if (brut[y * ligne] != 0)
                return ::testing::AssertionFailure() << fichier << ": row " << y << " has filter "
                                                     << static_cast<int>(brut[y * ligne]);
        return ::testing::AssertionSuccess();
    }
}

// The writer the asset generator uses: whatever the pixels (every alpha, and
// colours under full transparency), the game's own reader (SDL_image, then the
// conversion and flip of loadTexture) gets them back exactly, from a file with
// its image data in one chunk, stored, unfiltered.
TEST(Demarrage, WrittenImagesComeBackExactlyThroughTheGamesReader)
{
    DossierTemporaire dossier;
    std::mt19937 alea(15);
    for (const auto& [largeur, hauteur] : {std::pair<int, int>{64, 64}, {1, 1}, {257, 3}, {3, 300}})
    {
        ImageRGBA image(largeur, hauteur);
        for (uint8_t& octet : image.Pixels)
            octet = static_cast<uint8_t>(alea());
        const std::string chemin = dossier / ("image-" + std::to_string(largeur) + ".png");
        ASSERT_TRUE(EcrirePng(chemin, image));

        EXPECT_EQ(Disposer(Lire(chemin)).Blocs, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
        EXPECT_TRUE(StockeSansFiltre(chemin));

        SDL_Surface* lue = Outils::readImageFile(chemin.c_str());
        ASSERT_NE(lue, nullptr) << chemin;
        SDL_Surface* retournee = Outils::prepareSurface(lue);
        ASSERT_NE(retournee, nullptr);
        ASSERT_EQ(retournee->w, largeur);
        ASSERT_EQ(retournee->h, hauteur);
        long differents = 0;
        for (int y = 0; y < hauteur; ++y)
            differents += std::memcmp(static_cast<const uint8_t*>(retournee->pixels) + y * retournee->pitch,
                                      image.Pixel(0, hauteur - 1 - y), static_cast<size_t>(largeur) * 4) != 0;
        EXPECT_EQ(differents, 0) << largeur << "x" << hauteur << ": rows that differ";
        SDL_FreeSurface(retournee);
        SDL_FreeSurface(lue);
    }
}

// Every image the build drew for the game is written that way.
TEST(Demarrage, EveryShippedImageIsStoredUnfiltered)
{
    int n = 0;
    std::error_code erreur;
    for (const auto& entree : std::filesystem::recursive_directory_iterator("Images", erreur))
        if (entree.path().extension() == ".png")
        {
            EXPECT_TRUE(StockeSansFiltre(entree.path().string()));
            ++n;
        }
    EXPECT_GE(n, 239);
}

// The heap reserve, in a fresh copy of this program (whose heap, like the
// game's at its start, holds no freed memory a block could be taken from):
// blocks allocated afterwards lie in memory advised for huge pages, and memory
// freed at the top of the heap stays in the process instead of being handed
// back and faulted in again.
namespace
{
    [[noreturn]] void Sortir(int code, const char* raison)
    {
        std::fprintf(stderr, "%s\n", raison);
        std::fflush(stderr);
        std::_Exit(code);
    }

    [[noreturn]] void VerifierReserve()
    {
        if (!PrepareTas(std::size_t(32) << 20))
        {
#ifndef CORVELLA_ALLOCATEUR_C
            Sortir(0, "a sanitizer's allocator: nothing to check");
#else
            // Under valgrind, whose allocator replaces the C library's.
            const char* prechargees = std::getenv("LD_PRELOAD");
            const bool valgrind = prechargees != nullptr && std::strstr(prechargees, "vgpreload") != nullptr;
            Sortir(valgrind ? 0 : 1, valgrind ? "valgrind's allocator: nothing to check" : "no reserve made");
#endif
        }
        const std::size_t taille = std::size_t(8) << 20;
        char* bloc = static_cast<char*>(std::malloc(taille));
        if (bloc == nullptr)
            Sortir(2, "no block");
        std::memset(bloc, 1, taille);
        const uintptr_t milieu = reinterpret_cast<uintptr_t>(bloc) + taille / 2;

        // The mapping that holds the block is flagged for huge pages ("hg").
        std::istringstream carte(Lire("/proc/self/smaps"));
        std::string ligne;
        bool dedans = false, trouve = false, geantes = false;
        while (std::getline(carte, ligne))
        {
            uintptr_t debut = 0, fin = 0;
            char tiret = 0;
            std::istringstream l(ligne);
            if (ligne.find(':') > ligne.find(' ') && (l >> std::hex >> debut >> tiret >> fin) && tiret == '-')
            {
                dedans = debut <= milieu && milieu < fin;
                trouve = trouve || dedans;
            }
            else if (dedans && ligne.rfind("VmFlags:", 0) == 0)
                geantes = (ligne + " ").find(" hg ") != std::string::npos;
        }
        if (!trouve)
            Sortir(3, "the block is in no mapping");
        if (!geantes)
            Sortir(4, "the block's mapping is not advised for huge pages");

        // Freed, it stays: the break does not move back.
        void* finAvant = sbrk(0);
        std::free(bloc);
        if (sbrk(0) != finAvant)
            Sortir(5, "freed memory was handed back");
        Sortir(0, "");
    }
}

TEST(Demarrage, TheHeapReserveHoldsLaterBlocksAndKeepsFreedMemory)
{
    const std::string style = GTEST_FLAG_GET(death_test_style);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(VerifierReserve(), ::testing::ExitedWithCode(0), "");
    GTEST_FLAG_SET(death_test_style, style);
}
