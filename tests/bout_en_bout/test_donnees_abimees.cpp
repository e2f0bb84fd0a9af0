// The real game started on missing or damaged data: each case builds a game
// folder of its own (the build's Images/ and Data/ linked file by file into a
// temporary folder, then damaged), starts the game there, waits until it draws
// its frames (seen in its window, then counted), presses Escape and expects a
// clean exit (status 0) with nothing from the sanitizers on its error output.
// What cannot be loaded is drawn as untextured quads; nothing may crash, hang
// or read out of bounds.
#include <gtest/gtest.h>

#include "aide/Aide.h"
#include "aide/Partie.h"
#include "aide/Processus.h"
#include "aide/SortieSon.h"
#include "son/FichierSon.h"
#include "son/NomsSons.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace
{
    fs::path DossierJeu()
    {
        return fs::absolute(BinaireJeu()).parent_path();
    }

    // Folders as folders, files as links to the build's own.
    void Miroir(const fs::path& source, const fs::path& cible)
    {
        fs::create_directories(cible);
        for (const fs::directory_entry& entree : fs::directory_iterator(source))
        {
            const fs::path copie = cible / entree.path().filename();
            if (entree.is_directory())
                Miroir(entree.path(), copie);
            else
                fs::create_symlink(fs::absolute(entree.path()), copie);
        }
    }

    std::string Lire(const fs::path& chemin)
    {
        std::ifstream f(chemin, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    }

    void Ecrire(const fs::path& chemin, const std::string& octets)
    {
        fs::remove_all(chemin);
        std::ofstream(chemin, std::ios::binary) << octets;
    }

    // A game folder of its own, removed afterwards.
    class Partie
    {
    public:
        Partie()
        {
            Miroir(DossierJeu() / "Images", dossier_ / "Images");
            Miroir(DossierJeu() / "Data", dossier_ / "Data");
            Miroir(DossierJeu() / "Sons", dossier_ / "Sons");
        }
        fs::path operator/(const std::string& nom) const { return fs::path(dossier_.Chemin()) / nom; }
        const std::string& Chemin() const { return dossier_.Chemin(); }

        // Every image the game may load, wherever it lies in Images/.
        std::vector<fs::path> Images() const
        {
            std::vector<fs::path> images;
            std::error_code erreur;
            for (const fs::directory_entry& e : fs::recursive_directory_iterator(*this / "Images", erreur))
                if (e.path().extension() == ".png")
                    images.push_back(e.path());
            return images;
        }

    private:
        DossierTemporaire dossier_;
    };

    std::string RapportSanitizers(const std::string& erreurs)
    {
        for (const char* signe : {"AddressSanitizer", "LeakSanitizer", "UndefinedBehaviorSanitizer",
                                  "runtime error:", "==ERROR"})
            if (erreurs.find(signe) != std::string::npos)
                return erreurs;
        return "";
    }

    // True once the game's window shows something other than black. Until the
    // first frame is shown the window is black, and the first frames are
    // covered by the opaque black of the fade in: anything else means frames
    // have been drawn for a while.
    bool Dessine(const std::string& fenetre, const std::string& capture)
    {
        Sortie("import -window " + fenetre + " '" + capture + "' 2>/dev/null");
        ImageRGBA image;
        if (!LirePng(capture, image))
            return false;
        for (int y = 0; y < image.Hauteur; y += 7)
            for (int x = 0; x < image.Largeur; x += 7)
            {
                const uint8_t* p = image.Pixel(x, y);
                if (p[0] + p[1] + p[2] > 90)
                    return true;
            }
        return false;
    }

    // The frames shown so far, as the preloaded library counts them.
    size_t Trames(const std::string& fichier)
    {
        const std::string lignes = Lire(fichier);
        return static_cast<size_t>(std::count(lignes.begin(), lignes.end(), '\n'));
    }

    // Starts the game in the folder, lets it draw, presses Escape; checks the
    // exit status and the error output. `avant` runs once the game draws,
    // before Escape (keys pressed, time given to the sound).
    void JouerEtQuitter(const Partie& partie, const std::vector<std::string>& environnement = {},
                        const std::function<void(const std::string&)>& avant = nullptr)
    {
        ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under xvfb-run";
        const std::string erreurs = partie.Chemin() + "/erreurs.txt";
        Lancement l;
        // The error output goes to a file; exec keeps the game's own pid.
        l.Arguments = {"/bin/sh", "-c", "exec \"$0\" 2>\"$1\"", fs::absolute(BinaireJeu()).string(), erreurs};
        l.Dossier = partie.Chemin();
        // As in the other game tests: Mesa's driver is unloaded by SDL_Quit
        // before the leak check, so leaks are checked in-process and under
        // valgrind instead.
        l.Ajouter = {"ASAN_OPTIONS=detect_leaks=0:verify_asan_link_order=0",
                     "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"};
        // A line per frame shown, written by a preloaded library: the frames
        // drawn are counted rather than waited for.
        const std::string trames = partie.Chemin() + "/trames.txt";
        l.Ajouter.push_back("LD_PRELOAD=" CORVELLA_CROCHET_LUMINOSITE);
        l.Ajouter.push_back("CORVELLA_LUMINOSITE=" + trames);
        l.Ajouter.insert(l.Ajouter.end(), environnement.begin(), environnement.end());
        const pid_t pid = Demarrer(l);
        ASSERT_GT(pid, 0);
        // The window, searched again and again rather than with --sync, which
        // gives up when another window vanishes while it looks.
        std::string fenetre;
        const auto attente = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (fenetre.empty() && std::chrono::steady_clock::now() < attente && AttendreFin(pid, 0) < 0)
        {
            fenetre = Sortie("xdotool search --all --onlyvisible --pid " + std::to_string(pid) +
                             " --name '^Corvella$' 2>/dev/null | head -1");
            if (fenetre.empty())
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        if (fenetre.empty())
        {
            const int statut = AttendreFin(pid, 0);
            if (statut < 0)
                Tuer(pid);
            FAIL() << "the game's window never appeared (exit " << statut << ")\n" << Lire(erreurs);
        }

        const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        bool dessine = false;
        while (!dessine && std::chrono::steady_clock::now() < limite && AttendreFin(pid, 0) < 0)
        {
            dessine = Dessine(fenetre, partie.Chemin() + "/ecran.png");
            if (!dessine)
                std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
        const int enCours = AttendreFin(pid, 0);
        if (enCours >= 0)
            FAIL() << "the game ended on its own with status " << enCours << "\n" << Lire(erreurs);
        EXPECT_TRUE(dessine) << "nothing but black in the window after 60 s";
        // A few more frames drawn, 30 s at most.
        const size_t vues = Trames(trames);
        const auto encore = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (Trames(trames) < vues + 10 && std::chrono::steady_clock::now() < encore && AttendreFin(pid, 0) < 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_GE(Trames(trames), vues + 10) << "the game stopped drawing frames";

        Sortie("xdotool mousemove --window " + fenetre + " 50 50 2>/dev/null");
        if (avant)
            avant(fenetre);
        Sortie("xdotool keydown Escape 2>/dev/null; xdotool keyup Escape 2>/dev/null");
        const int statut = AttendreFin(pid, 20000);
        if (statut < 0)
            Tuer(pid);
        EXPECT_EQ(statut, 0) << "no clean exit on Escape\n" << Lire(erreurs);
        EXPECT_EQ(RapportSanitizers(Lire(erreurs)), "");
    }

    std::string PngTronque(const std::string& octets)
    {
        return octets.substr(0, octets.size() / 2);
    }

    // The bytes of a PNG made on the spot.
    std::string Png(const Partie& partie, const ImageRGBA& image, const std::string& nom)
    {
        const fs::path chemin = partie / nom;
        EcrirePng(chemin.string(), image);
        return Lire(chemin);
    }
}

TEST(DonneesAbimees, NoImagesFolderAtAll)
{
    Partie partie;
    fs::remove_all(partie / "Images");
    JouerEtQuitter(partie);
}

TEST(DonneesAbimees, NoFont)
{
    Partie partie;
    fs::remove_all(partie / "Images/Fontes/Standard");
    JouerEtQuitter(partie);
}

TEST(DonneesAbimees, NoMapFile)
{
    Partie partie;
    fs::remove_all(partie / "Data/Maps/Map1.map");
    JouerEtQuitter(partie);
}

TEST(DonneesAbimees, NoDataFolderAtAll)
{
    Partie partie;
    fs::remove_all(partie / "Data");
    JouerEtQuitter(partie);
}

TEST(DonneesAbimees, EmptyMapFile)
{
    Partie partie;
    Ecrire(partie / "Data/Maps/Map1.map", "");
    JouerEtQuitter(partie);
}

TEST(DonneesAbimees, MapWithDimensionsButNoGrid)
{
    Partie partie;
    Ecrire(partie / "Data/Maps/Map1.map", "[Infos]\nHauteur=25\nLargeur=92\nPosDebutX=4\nPosDebutY=21\n");
    JouerEtQuitter(partie);
}

TEST(DonneesAbimees, MapWithAGridShorterThanItsDimensions)
{
    Partie partie;
    // The grid is made 3 x 2, then a second "Infos" claims far more.
    Ecrire(partie / "Data/Maps/Map1.map",
           "[Infos]\nHauteur=2\nLargeur=3\nPosDebutX=2\nPosDebutY=1\n[Map]\n   \nBBB\n"
           "[Infos]\nHauteur=500\nLargeur=700\n");
    JouerEtQuitter(partie);
}

TEST(DonneesAbimees, MapWithAbsurdNumbers)
{
    Partie partie;
    Ecrire(partie / "Data/Maps/Map1.map",
           "[Infos]\nHauteur=-7\nLargeur=99999999999999\nPosDebutX=-2147483648\nPosDebutY=2147483647\n"
           "[Map]\nBBBBBBBB\n[Infos]\nHauteur=3\nLargeur=2\nPosDebutX=99999\nPosDebutY=-99999\n[Map]\n12\n56\nCC\n");
    JouerEtQuitter(partie);
}

TEST(DonneesAbimees, TruncatedPngs)
{
    Partie partie;
    for (const fs::path& image : partie.Images())
        Ecrire(image, PngTronque(Lire(image)));
    JouerEtQuitter(partie);
}

TEST(DonneesAbimees, EmptyPngs)
{
    Partie partie;
    for (const fs::path& image : partie.Images())
        Ecrire(image, "");
    JouerEtQuitter(partie);
}

TEST(DonneesAbimees, PngsOfOnePixel)
{
    Partie partie;
    const std::string un = Png(partie, ImageUnie(1, 1, 200, 40, 40), "un.png");
    for (const fs::path& image : partie.Images())
        Ecrire(image, un);
    JouerEtQuitter(partie);
}

TEST(DonneesAbimees, PngsOfOddSizes)
{
    Partie partie;
    const std::string impaire = Png(partie, ImageUnie(63, 17, 40, 200, 40, 180), "impaire.png");
    for (const fs::path& image : partie.Images())
        Ecrire(image, impaire);
    JouerEtQuitter(partie);
}

TEST(DonneesAbimees, HugePngsInPlaceOfSomeImages)
{
    Partie partie;
    // 4096 x 4096: the background, a tile, and a character frame of the
    // sprites drawn with their glow.
    const fs::path enorme = partie / "enorme.png";
    ASSERT_TRUE(EcrirePng(enorme.string(), ImageUnie(4096, 4096, 30, 90, 200)));
    for (const char* nom : {"Images/ArrierePlanMenu.png", "Images/Maps/Herbe.png",
                            "Images/Personnages/Principal (copie)/immobile1.png"})
    {
        fs::remove(partie / nom);
        fs::create_symlink(enorme, partie / nom);
    }
    JouerEtQuitter(partie);
}

TEST(DonneesAbimees, GarbageInPlaceOfEveryImage)
{
    Partie partie;
    uint32_t graine = 12345;
    for (const fs::path& image : partie.Images())
    {
        std::string octets(97 + graine % 300, '\0');
        for (char& c : octets)
        {
            graine = graine * 1664525u + 1013904223u;
            c = static_cast<char>(graine >> 24);
        }
        Ecrire(image, octets);
    }
    JouerEtQuitter(partie);
}

TEST(DonneesAbimees, DamagedGifsInPlaceOfImages)
{
    Partie partie;
    // Files on which the GIF reader of the image library would loop for ever
    // or crash: an extension cut short, an image of width 0.
    const std::string entete("GIF89a\x01\x00\x01\x00\x00\x00\x00", 13);
    Ecrire(partie / "Images/ArrierePlanMenu.png", entete + "!\xFE\x05" "ab");
    Ecrire(partie / "Images/Maps/Herbe.png", entete + std::string(",\0\0\0\0\0\0\x01\0\0\x02\x02\x44\x01\0;", 16));
    Ecrire(partie / "Images/Fontes/Standard/A.png", entete + "!\xF9");
    JouerEtQuitter(partie);
}

TEST(DonneesAbimees, PngsCutInsideAChunk)
{
    Partie partie;
    // A PNG whose transparency chunk claims more bytes than the file holds:
    // past the end, the image library's PNG reader goes on with whatever bytes
    // its buffers held, and depending on them may read the same chunk header
    // again for ever (it did in the fuzzer).
    const char* sources = std::getenv("CORVELLA_SOURCES");
    const std::string coupe =
        Lire(fs::path(sources != nullptr ? sources : ".") / "fuzz/regressions/image/png-coupe-dans-un-bloc.png");
    ASSERT_FALSE(coupe.empty());
    for (const fs::path& image : partie.Images())
        Ecrire(image, coupe);
    JouerEtQuitter(partie);
}

TEST(DonneesAbimees, FoldersWhereFilesShouldBe)
{
    Partie partie;
    for (const char* nom : {"Images/MotifAP.png", "Data/Maps/Map1.map", "Images/Maps/Eau.png",
                            "Images/Fontes/Standard/P.png", "Images/Personnages/Principal/immobile1.png"})
    {
        fs::remove(partie / nom);
        fs::create_directories(partie / nom);
    }
    JouerEtQuitter(partie);
}

TEST(DonneesAbimees, FilesWhereFoldersShouldBe)
{
    Partie partie;
    for (const char* nom : {"Images/Fontes/Standard", "Images/Personnages/Principal (copie)", "Data/Maps"})
    {
        fs::remove_all(partie / nom);
        Ecrire(partie / nom, "not a folder");
    }
    JouerEtQuitter(partie);
}

// ---------------------------------------------------------------------------
// Sounds: a sound that cannot be played is silent, and the rest still plays.
// The game's output goes to a file (SDL's disk driver); Up is held for a jump.

namespace
{
    std::vector<fs::path> Effets(const Partie& partie)
    {
        std::vector<fs::path> effets;
        for (const char* nom : Son::FichiersEffets)
            effets.push_back(partie / (std::string("Sons/") + nom));
        return effets;
    }

    std::vector<float> LireSaut()
    {
        std::vector<float> saut;
        int frequence = 0;
        Son::LireEchantillons((DossierJeu() / "Sons" / Son::FichiersEffets[static_cast<int>(Son::Effet::Saut)]).string(),
                              saut, frequence);
        return saut;
    }

    // Plays the folder with its sound going to a file, jumps once the sounds
    // are loaded (the music heard when `musique`), quits cleanly; what was
    // played.
    std::vector<float> JouerEtEcouter(const Partie& partie, bool musique)
    {
        const std::string fichier = partie.Chemin() + "/sortie.raw";
        JouerEtQuitter(partie, SonSurDisque(fichier), [&](const std::string& fenetre) {
            EXPECT_TRUE(AttendreSortieSon(fichier, 0, 1.5, musique));
            // Up held until the character is seen leaving the ground, heard
            // or not (a press and release in one frame moves nothing), then
            // time for its sound to be written.
            const std::string capture = partie.Chemin() + "/saut.png";
            ImageRGBA repos, saut;
            EXPECT_GE(AttendreReposFenetre(fenetre, capture, repos), 0) << "the view never rests";
            Sortie("xdotool keydown Up 2>/dev/null");
            EXPECT_GE(AttendreImageFenetre(fenetre, capture, saut, 30000,
                                           [&](const ImageRGBA& i)
                                           { return DifferencesAuMilieu(repos, i) * 50 > i.Largeur * i.Hauteur; }),
                      0)
                << "Up held, no jump seen in 30 s";
            Sortie("xdotool keyup Up 2>/dev/null");
            EXPECT_TRUE(AttendreSortieSon(fichier, LireSortieSon(fichier).size(), 0.8, false));
        });
        return LireSortieSon(fichier);
    }

    // The music is heard; the jump is heard or not.
    void AttendreSon(const std::vector<float>& sortie, bool musique, bool saut)
    {
        ASSERT_GT(sortie.size(), static_cast<size_t>(Son::Frequence));
        if (musique)
        {
            EXPECT_GT(Efficace(sortie), 0.01);
        }
        const double ressemblance = Ressemblance(sortie, LireSaut());
        if (saut)
        {
            EXPECT_GT(ressemblance, 0.75);
        }
        else
        {
            EXPECT_LT(ressemblance, 0.45);
        }
    }
}

TEST(DonneesAbimees, NoSoundsFolderAtAll)
{
    Partie partie;
    fs::remove_all(partie / "Sons");
    const std::vector<float> sortie = JouerEtEcouter(partie, false);
    ASSERT_GT(sortie.size(), static_cast<size_t>(Son::Frequence));
    EXPECT_LT(Efficace(sortie), 1e-4); // silence
}

TEST(DonneesAbimees, NoMusicFileTheEffectsStillPlay)
{
    Partie partie;
    fs::remove(partie / "Sons" / Son::FichierMusique);
    AttendreSon(JouerEtEcouter(partie, false), false, true);
}

TEST(DonneesAbimees, EmptyTruncatedAndRandomEffectsTheMusicStillPlays)
{
    Partie partie;
    uint32_t graine = 777;
    int n = 0;
    for (const fs::path& effet : Effets(partie))
    {
        const std::string octets = Lire(effet);
        std::string hasard(97 + graine % 3000, '\0');
        for (char& c : hasard)
        {
            graine = graine * 1664525u + 1013904223u;
            c = static_cast<char>(graine >> 24);
        }
        switch (n++ % 4)
        {
        case 0: Ecrire(effet, ""); break;
        case 1: Ecrire(effet, octets.substr(0, octets.size() / 2)); break;
        case 2: Ecrire(effet, hasard); break;
        default: Ecrire(effet, "RIFF" + hasard); break;
        }
    }
    AttendreSon(JouerEtEcouter(partie, true), true, false);
}

TEST(DonneesAbimees, TruncatedMusicTheJumpStillPlays)
{
    Partie partie;
    const fs::path musique = partie / "Sons" / Son::FichierMusique;
    Ecrire(musique, Lire(musique).substr(0, 100000));
    AttendreSon(JouerEtEcouter(partie, false), false, true);
}

TEST(DonneesAbimees, FoldersInPlaceOfSoundFiles)
{
    Partie partie;
    for (const char* nom : {Son::FichierMusique, Son::FichiersEffets[static_cast<int>(Son::Effet::Saut)]})
    {
        fs::remove(partie / "Sons" / nom);
        fs::create_directories(partie / "Sons" / nom);
    }
    AttendreSon(JouerEtEcouter(partie, false), false, false);
}

TEST(DonneesAbimees, WavsWithAbsurdHeaders)
{
    Partie partie;
    // The jump claims 2^32 - 1 bytes of samples; the music a format chunk of
    // 4 GB and 7 channels; the landing 0 Hz.
    const auto abimer = [&](const char* nom, size_t position, uint32_t valeur) {
        const fs::path chemin = partie / "Sons" / nom;
        std::string o = Lire(chemin);
        ASSERT_GT(o.size(), position + 4);
        for (int i = 0; i < 4; ++i)
            o[position + static_cast<size_t>(i)] = static_cast<char>((valeur >> (8 * i)) & 0xff);
        Ecrire(chemin, o);
    };
    abimer(Son::FichiersEffets[static_cast<int>(Son::Effet::Saut)], 40, 0xffffffffu);
    abimer(Son::FichierMusique, 16, 0xfffffff0u);
    abimer(Son::FichierMusique, 20, 0x00070001u);
    abimer(Son::FichiersEffets[static_cast<int>(Son::Effet::Atterrissage)], 24, 0);
    AttendreSon(JouerEtEcouter(partie, false), false, false);
}
