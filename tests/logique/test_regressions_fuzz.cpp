// Inputs found by fuzzing, kept so that what broke once stays fixed, and the
// fuzz targets' own checks replayed over their seeds and every input kept in
// fuzz/regressions/ (the fuzzers' findings, minimised where possible).
#include <gtest/gtest.h>

#include "fuzz/CibleCarte.h"
#include "fuzz/CibleCurseur.h"
#include "fuzz/CibleImage.h"
#include "fuzz/CibleSon.h"
#include "fuzz/CibleSplit.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace
{
    std::string Sources()
    {
        const char* s = std::getenv("CORVELLA_SOURCES");
        return s != nullptr ? s : ".";
    }

    std::string Lire(const std::filesystem::path& chemin)
    {
        std::ifstream f(chemin, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    }

    using Cible = const char* (*)(const uint8_t*, size_t);

    // Every file of fuzz/corpus/<cible> and fuzz/regressions/<cible> through
    // the target's checks; returns how many files were replayed.
    int Rejouer(const std::string& cible, Cible exercer)
    {
        int n = 0;
        for (const char* dossier : {"corpus", "regressions"})
        {
            const std::filesystem::path racine = std::filesystem::path(Sources()) / "fuzz" / dossier / cible;
            std::error_code erreur;
            for (const auto& entree : std::filesystem::directory_iterator(racine, erreur))
            {
                if (!entree.is_regular_file())
                    continue;
                const std::string octets = Lire(entree.path());
                const char* faute = exercer(reinterpret_cast<const uint8_t*>(octets.data()), octets.size());
                EXPECT_EQ(faute, nullptr) << entree.path() << ": " << (faute ? faute : "");
                ++n;
            }
        }
        return n;
    }

    // Reads an image with `lire` in a child process, so that a crash or an
    // endless loop fails the test instead of taking the test program down.
    // 0: refused before the image library saw it (no error from the library);
    // 1: an image; 2: the reader crashed or did not return within 20 s; 3: the
    // image library itself found no image. The answer comes through a pipe,
    // not the exit status, which valgrind may replace.
    template <typename Lecture>
    int LireAPart(Lecture lire)
    {
        int tube[2];
        if (pipe(tube) != 0)
            return 2;
        const pid_t pid = fork();
        if (pid == 0)
        {
            close(tube[0]);
            SDL_ClearError();
            SDL_Surface* image = lire();
            const char* erreur = SDL_GetError();
            const char reponse = image != nullptr ? '1' : (erreur == nullptr || *erreur == '\0' ? '0' : '3');
            if (image != nullptr)
                SDL_FreeSurface(image);
            if (write(tube[1], &reponse, 1) != 1)
                _exit(1);
            _exit(0);
        }
        close(tube[1]);
        int resultat = 2;
        if (pid > 0)
        {
            for (int attente = 0; attente < 2000; ++attente)
            {
                if (waitpid(pid, nullptr, WNOHANG) == pid)
                {
                    char reponse = 0;
                    if (read(tube[0], &reponse, 1) == 1)
                        resultat = reponse - '0';
                    close(tube[0]);
                    return resultat;
                }
                usleep(10000);
            }
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        close(tube[0]);
        return resultat;
    }

    // `octets` read as an image from memory, as the image fuzz target does.
    int LireImageAPart(const std::string& octets)
    {
        return LireAPart([&] {
            return Outils::readImage(SDL_RWFromConstMem(octets.data(), static_cast<int>(octets.size())), "png");
        });
    }

    // `octets` written to a file and read as loadTexture reads a game image.
    int LireFichierAPart(const std::string& octets)
    {
        char modele[] = "/tmp/corvella-image-XXXXXX";
        const int fd = mkstemp(modele);
        if (fd < 0)
            return 2;
        const bool ecrit = write(fd, octets.data(), octets.size()) == static_cast<ssize_t>(octets.size());
        close(fd);
        const int resultat = ecrit ? LireAPart([&] { return Outils::readImageFile(modele); }) : 2;
        unlink(modele);
        return resultat;
    }

    // A 1x1 GIF's signature and logical screen, without a colour table.
    const std::string EnteteGif("GIF89a\x01\x00\x01\x00\x00\x00\x00", 13);

    // An image descriptor at (0, 0) of the given size, without a colour table.
    std::string Descripteur(int largeur, int hauteur)
    {
        std::string d(",\0\0\0\0", 5);
        d += static_cast<char>(largeur & 0xFF);
        d += static_cast<char>(largeur >> 8);
        d += static_cast<char>(hauteur & 0xFF);
        d += static_cast<char>(hauteur >> 8);
        d += '\0';
        return d;
    }

    // Code size 2, one block of LZW data for a pixel, the empty block.
    const std::string DonneesPixel("\x02\x02\x44\x01\x00", 5);
}

TEST(RegressionsFuzz, SeedsAndFindingsOfTheMapLoaderPassItsChecks)
{
    EXPECT_GT(Rejouer("carte", Fuzz::ExerceCarte), 5);
    Horloge::TempsReel();
}

TEST(RegressionsFuzz, SeedsAndFindingsOfSplitPassItsChecks)
{
    EXPECT_GT(Rejouer("split", Fuzz::ExerceSplit), 3);
}

TEST(RegressionsFuzz, SeedsAndFindingsOfTheSoundCheckPassItsChecks)
{
    EXPECT_GT(Rejouer("son", Fuzz::ExerceSon), 5);
}

TEST(RegressionsFuzz, SeedsAndFindingsOfTheCursorReaderPassItsChecks)
{
    EXPECT_GT(Rejouer("curseur", Fuzz::ExerceCurseur), 3);
}

TEST(RegressionsFuzz, SeedsAndFindingsOfTheImagePathPassItsChecks)
{
    // The findings below once hung or crashed the image library: each file is
    // first read apart, so that a return of the fault fails instead of hanging,
    // and must now be refused before the library sees it.
    const std::filesystem::path regressions = std::filesystem::path(Sources()) / "fuzz/regressions/image";
    std::error_code erreur;
    for (const auto& entree : std::filesystem::directory_iterator(regressions, erreur))
        ASSERT_EQ(LireImageAPart(Lire(entree.path())), 0) << entree.path();
    EXPECT_GT(Rejouer("image", Fuzz::ExerceImage), 10);
}

// SDL_image 1.2 reads the data blocks of a GIF extension until the empty one;
// a read past the end fails, and it asks again, for ever. Such a file in place
// of any game image froze the game at start-up.
TEST(RegressionsFuzz, AGifExtensionRunningPastTheEndIsRefusedInsteadOfHanging)
{
    // A comment extension with a block of one byte that is not there.
    EXPECT_EQ(LireImageAPart(EnteteGif + "!\xFE\x01"), 0);
    // A graphic control extension cut right after its introducer and label.
    EXPECT_EQ(LireImageAPart(EnteteGif + "!\xF9"), 0);
    // Its first block empty: the reader goes on with the next, which is missing.
    EXPECT_EQ(LireImageAPart(EnteteGif + std::string("!\xF9\x00", 3)), 0);
    // An application extension whose blocks never end.
    EXPECT_EQ(LireImageAPart(EnteteGif + "!\xFF\x02" "ab"), 0);
    // The fuzzer's own find: a graphic control extension cut in its blocks.
    EXPECT_EQ(LireImageAPart(Lire(std::filesystem::path(Sources()) /
                                  "fuzz/regressions/image/gif-extension-sans-fin.gif")), 0);
}

// An image whose code size the decoder refuses (above 12) makes the reader
// look for another image after it, through whatever follows: a broken
// extension, a ';' that no longer ends the file, or another image, which the
// decoder, left in a broken state, never finishes.
TEST(RegressionsFuzz, AGifImageTheDecoderRefusesCannotLeadToAHang)
{
    EXPECT_EQ(LireImageAPart(EnteteGif + Descripteur(1, 1) + "\x0D" "!\xFE\x02" "a"), 0);
    EXPECT_EQ(LireImageAPart(EnteteGif + Descripteur(1, 1) + "\x0D;!\xFE\x02" "a"), 0);
    EXPECT_EQ(LireImageAPart(EnteteGif + Descripteur(1, 1) + "\x80" + Descripteur(1, 1) + "\x02\x3B"), 0);
    // The fuzzer's find, the same with extensions between.
    EXPECT_EQ(LireImageAPart(Lire(std::filesystem::path(Sources()) /
                                  "fuzz/regressions/image/gif-image-apres-code-invalide.gif")), 0);
}

// SDL_image 1.2 writes a GIF's pixels through the surface it asked SDL for
// without checking that it got one: none for a width or height of 0, none for
// a width of 16384 or more (SDL 1.2's limit). The game crashed at start-up.
TEST(RegressionsFuzz, AGifOfNoWidthNoHeightOrTooWideIsRefusedInsteadOfCrashing)
{
    EXPECT_EQ(LireImageAPart(EnteteGif + Descripteur(0, 1) + DonneesPixel + ";"), 0);
    EXPECT_EQ(LireImageAPart(EnteteGif + Descripteur(1, 0) + DonneesPixel + ";"), 0);
    EXPECT_EQ(LireImageAPart(EnteteGif + Descripteur(16384, 1) + DonneesPixel + ";"), 0);
    EXPECT_EQ(LireImageAPart(Lire(std::filesystem::path(Sources()) /
                                  "fuzz/regressions/image/gif-trop-large.gif")), 0);
}

// The decoder fills every pixel of the image whether or not the data is
// there: minutes for a few hundred million pixels, and it may not end at all
// with a code size that GIF does not allow (0 and 1 below its minimum, 9 to 12
// above its maximum, which the decoder still takes).
TEST(RegressionsFuzz, AGifTooLargeOrOfACodeSizeOutsideTwoToEightIsRefused)
{
    EXPECT_EQ(LireImageAPart(EnteteGif + Descripteur(4097, 4096) + DonneesPixel + ";"), 0);
    EXPECT_EQ(LireImageAPart(EnteteGif + Descripteur(1, 1) + std::string("\x00\x02\x44\x01\x00;", 6)), 0);
    EXPECT_EQ(LireImageAPart(EnteteGif + Descripteur(1, 1) + std::string("\x01\x02\x44\x01\x00;", 6)), 0);
    EXPECT_EQ(LireImageAPart(EnteteGif + Descripteur(1, 1) + std::string("\x09\x02\x44\x01\x00;", 6)), 0);
    // The fuzzer's find: 9004 x 65324 pixels of code size 0 and no data.
    EXPECT_EQ(LireImageAPart(Lire(std::filesystem::path(Sources()) /
                                  "fuzz/regressions/image/gif-immense-sans-donnees.gif")), 0);
}

// SDL_image 1.2 reads PNG data through a callback that ignores a short read:
// past the end of a cut file, libpng goes on with the bytes its buffers held,
// and when the cut falls in an ancillary chunk it reads that chunk's header
// again and again, for ever. A cut PNG in place of a game image froze the game.
TEST(RegressionsFuzz, APngCutBeforeItsLastChunkIsRefusedInsteadOfHanging)
{
    const std::string png = Lire(std::filesystem::path(Sources()) / "fuzz/corpus/image/rgb-5x4.png");
    ASSERT_GT(png.size(), 40u);
    // Cut inside the header chunk, after it, one byte short of the end.
    for (size_t longueur : {size_t(4), size_t(7), size_t(20), size_t(33), png.size() - 1})
        EXPECT_EQ(LireImageAPart(png.substr(0, longueur)), 0) << longueur << " bytes";
    // The fuzzer's find: a transparency chunk longer than what is left.
    EXPECT_EQ(LireImageAPart(Lire(std::filesystem::path(Sources()) /
                                  "fuzz/regressions/image/png-coupe-dans-un-bloc.png")), 0);
    // Whole, it loads; with bytes after its end, too.
    EXPECT_EQ(LireImageAPart(png), 1);
    EXPECT_EQ(LireImageAPart(png + "trailing bytes"), 1);
}

// The game's images are files: their chunks are checked in place, header by
// header, without reading the data first. Every cut, whether inside a chunk's
// header, its data or its check value, is refused just the same, and the
// whole file (even with bytes after its end) loads.
TEST(RegressionsFuzz, APngFileCutAnywhereIsRefusedAndAWholeOneLoads)
{
    for (const char* nom : {"fuzz/corpus/image/rgb-5x4.png", "fuzz/corpus/image/rgba-63x17.png"})
    {
        const std::string png = Lire(std::filesystem::path(Sources()) / nom);
        ASSERT_GT(png.size(), 40u) << nom;
        for (size_t longueur = 4; longueur < png.size(); longueur += longueur < 48 ? 1 : 97)
            EXPECT_EQ(LireFichierAPart(png.substr(0, longueur)), 0) << nom << " cut to " << longueur << " bytes";
        EXPECT_EQ(LireFichierAPart(png.substr(0, png.size() - 1)), 0) << nom;
        EXPECT_EQ(LireFichierAPart(png), 1) << nom;
        EXPECT_EQ(LireFichierAPart(png + "trailing bytes"), 1) << nom;
    }
}

// A source that does not begin at the image's first byte: the chunks are
// counted from where the image begins, and the source is left there for the
// image library.
TEST(RegressionsFuzz, APngFurtherOnInItsSourceIsCheckedFromItsOwnStart)
{
    const std::string png = Lire(std::filesystem::path(Sources()) / "fuzz/corpus/image/rgba-3x2.png");
    ASSERT_GT(png.size(), 40u);
    const std::string devant = "0123456789abcdefghij";
    for (const std::string& octets : {devant + png, devant + png.substr(0, png.size() - 1)})
    {
        const int attendu = octets.size() == devant.size() + png.size() ? 1 : 0;
        EXPECT_EQ(LireAPart([&] {
                      SDL_RWops* flux = SDL_RWFromConstMem(octets.data(), static_cast<int>(octets.size()));
                      SDL_RWseek(flux, static_cast<int>(devant.size()), RW_SEEK_SET);
                      return Outils::readImage(flux, "png");
                  }),
                  attendu);
    }
}

// The guard refuses only what would hang or crash: well-formed GIFs, with
// extensions and a first image the reader can decode, load as before.
TEST(RegressionsFuzz, WellFormedGifsStillLoad)
{
    EXPECT_EQ(LireImageAPart(EnteteGif + Descripteur(1, 1) + DonneesPixel + ";"), 1);
    EXPECT_EQ(LireImageAPart(EnteteGif + std::string("!\xF9\x04\x01\x00\x00\x00\x00", 8) +
                             std::string("!\xFE\x03" "abc\x00", 7) + Descripteur(1, 1) + DonneesPixel + ";"), 1);
    EXPECT_EQ(LireImageAPart(EnteteGif + Descripteur(16383, 1) + DonneesPixel + ";"), 1);
    EXPECT_EQ(LireImageAPart(Lire(std::filesystem::path(Sources()) / "fuzz/corpus/image/un-pixel.gif")), 1);
    // And a PNG, of course.
    EXPECT_EQ(LireImageAPart(Lire(std::filesystem::path(Sources()) / "fuzz/corpus/image/rgba-3x2.png")), 1);
}
