// Deaths in the real game, frame by frame: a level where the start lies next
// to the water, the right arrow held so that the character walks into it
// again after every return, and the brightness of every frame the game shows
// (read back just before each buffer swap by a preloaded library, which also
// makes the work after the character's update take 20 ms more, so that the
// return check and the end of the fade often fall on both sides of the
// fade's end). Between the fade to black and the fade back from it no frame
// may flash bright.
#include <gtest/gtest.h>

#include "aide/Aide.h"
#include "aide/Partie.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace
{
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

    // Two tiles of ground, then water; the start on the ground.
    const char* const Bassin = "A pond next to the start.\n"
                               "[Infos]\nHauteur=6\nLargeur=14\nPosDebutX=2\nPosDebutY=4\n[Map]\n"
                               "bbbbbbbbbbbbbb\n"
                               "b            b\n"
                               "b            b\n"
                               "b            b\n"
                               "bBBCCCCCCCCCCb\n"
                               "bbbbbbbbbbbbbb\n";

    std::vector<int> Luminosites(const std::string& fichier)
    {
        std::vector<int> l;
        std::ifstream f(fichier);
        unsigned temps = 0;
        int valeur = 0;
        while (f >> temps >> valeur)
            l.push_back(valeur);
        return l;
    }

    // The stretches of frames darker than `seuil`, as [first, last] pairs.
    std::vector<std::pair<size_t, size_t>> Sombres(const std::vector<int>& l, int seuil)
    {
        std::vector<std::pair<size_t, size_t>> s;
        for (size_t i = 0; i < l.size(); ++i)
            if (l[i] < seuil)
            {
                if (!s.empty() && s.back().second + 1 == i)
                    s.back().second = i;
                else
                    s.push_back({i, i});
            }
        return s;
    }

    // Frames at least half as bright as the scene with dark frames on both
    // sides within `portee` frames: a flash in the middle of a death's black.
    std::vector<size_t> Eclairs(const std::vector<int>& l, int clair, int sombre, size_t portee)
    {
        std::vector<size_t> e;
        for (size_t i = 1; i + 1 < l.size(); ++i)
        {
            if (l[i] < clair / 2)
                continue;
            bool avant = false, apres = false;
            for (size_t k = 1; k <= portee; ++k)
            {
                avant = avant || (i >= k && l[i - k] < sombre);
                apres = apres || (i + k < l.size() && l[i + k] < sombre);
            }
            if (avant && apres)
                e.push_back(i);
        }
        return e;
    }
}

TEST(FonduMorts, NoFrameFlashesBrightBetweenADeathsFadesAcrossSeveralDeaths)
{
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under xvfb-run";
    DossierTemporaire dossier;
    const fs::path jeu = fs::absolute(BinaireJeu()).parent_path();
    Miroir(jeu / "Images", fs::path(dossier.Chemin()) / "Images");
    Miroir(jeu / "Sons", fs::path(dossier.Chemin()) / "Sons");
    EcrireFichier(dossier / "Data/Maps/Map1.map", Bassin);
    const std::string fichier = dossier / "luminosite.txt";
    PartieJeu partie(dossier.Chemin(), {"LD_PRELOAD=" CORVELLA_CROCHET_LUMINOSITE, "CORVELLA_LUMINOSITE=" + fichier,
                                        "CORVELLA_RETARD_MS=20", "SDL_AUDIODRIVER=dummy", "ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=0"});
    ASSERT_TRUE(partie.FenetreVisible());
    Sortie("xdotool mousemove --window " + partie.Fenetre() + " 50 50 2>/dev/null");
    partie.Appuyer("Right");

    // Deaths until seven have come back, within a bound: each takes a little
    // over two seconds of play.
    const int voulues = 7;
    std::vector<int> l;
    int clair = 0;
    size_t morts = 0;
    const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(90);
    while (std::chrono::steady_clock::now() < limite)
    {
        l = Luminosites(fichier);
        if (l.size() > 60)
        {
            std::vector<int> tri(l.begin(), l.end());
            std::nth_element(tri.begin(), tri.begin() + static_cast<long>(tri.size() / 2), tri.end());
            clair = tri[tri.size() / 2];
            // A death's black, followed by frames that are light again.
            const auto s = Sombres(l, clair / 5);
            morts = static_cast<size_t>(std::count_if(s.begin(), s.end(), [&](const std::pair<size_t, size_t>& p) {
                return p.first > 0 && p.second + 30 < l.size();
            }));
            if (morts >= static_cast<size_t>(voulues))
                break;
        }
        Patienter(200);
    }
    partie.Relacher("Right");
    EXPECT_EQ(partie.Quitter(), 0);
    ASSERT_GT(clair, 40);
    ASSERT_GE(morts, static_cast<size_t>(voulues)) << l.size() << " frames";

    const std::vector<size_t> eclairs = Eclairs(l, clair, clair / 5, 4);
    for (size_t i : eclairs)
    {
        std::printf("flash at frame %zu:", i);
        for (size_t k = i >= 4 ? i - 4 : 0; k < std::min(l.size(), i + 5); ++k)
            std::printf(" %d", l[k]);
        std::printf("\n");
    }
    std::printf("%zu frames, %zu deaths, scene brightness %d, %zu flashes\n", l.size(), morts, clair, eclairs.size());
    EXPECT_TRUE(eclairs.empty());
}
