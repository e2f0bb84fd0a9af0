// Map loading: CMap::LoadMap on generated levels of 10^4, 10^6 and 10^7
// cells, written into a temporary ./Data/Maps, against reading the same file
// whole (the floor of any loader).
#include "Banc.h"
#include "Zone.h"

#include "main/Globales.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace
{
    struct Forme
    {
        const char* Nom;
        int Largeur;
        int Hauteur;
    };
    // Within the loader's limits (CMap::CotesMax per side, CMap::CasesMax in all).
    const Forme Formes[] = {
        {"1e4", 100, 100},
        {"1e6", 1000, 1000},
        {"1e7", 4000, 2500},
    };

    // A level of the game's own make: mostly blanks and earth, the other tiles
    // sprinkled, one bonus cell in a thousand. Returns the number of bonuses.
    long EcritCarte(const std::string& chemin, int largeur, int hauteur)
    {
        std::FILE* f = std::fopen(chemin.c_str(), "wb");
        if (f == nullptr)
            return -1;
        std::fprintf(f, "A generated level for corvella-bench.\n[Infos]\nHauteur=%d\nLargeur=%d\n"
                        "PosDebutX=2\nPosDebutY=2\n[Map]\n", hauteur, largeur);
        static const char Palette[] = "                bbbbbbbbbbbbBBBBmMCpPsSdDtTvVaAeEiIoOwWxXrRhH";
        const unsigned nbPalette = sizeof Palette - 1;
        unsigned long long alea = 88172645463325252ULL;
        long bonus = 0;
        std::string ligne(static_cast<size_t>(largeur) + 1, '\n');
        for (int r = 0; r < hauteur; ++r)
        {
            for (int c = 0; c < largeur; ++c)
            {
                alea ^= alea << 13;
                alea ^= alea >> 7;
                alea ^= alea << 17;
                if (alea % 1000 == 0)
                {
                    ligne[static_cast<size_t>(c)] = static_cast<char>('1' + (alea >> 20) % 8);
                    ++bonus;
                }
                else
                    ligne[static_cast<size_t>(c)] = Palette[(alea >> 32) % nbPalette];
            }
            std::fwrite(ligne.data(), 1, ligne.size(), f);
        }
        std::fclose(f);
        return bonus;
    }

    void VideCarte()
    {
        std::vector<std::vector<signed char>>().swap(Map.Cases);
        std::vector<CMap::CBonus>().swap(Map.ListeBonus);
        Map.Largeur = Map.Hauteur = Map.PosDebutX = Map.PosDebutY = 0;
    }

    // The floor: the file read whole into memory, in one buffer of its size.
    size_t LitTout(const std::string& chemin, std::string& tampon)
    {
        std::FILE* f = std::fopen(chemin.c_str(), "rb");
        if (f == nullptr)
            return 0;
        long taille = 0;
        if (std::fseek(f, 0, SEEK_END) == 0)
            taille = std::ftell(f);
        std::rewind(f);
        tampon.resize(taille > 0 ? static_cast<size_t>(taille) : 0);
        const size_t total = tampon.empty() ? 0 : std::fread(&tampon[0], 1, tampon.size(), f);
        std::fclose(f);
        return total;
    }
}

extern "C" __attribute__((noinline)) int banc_zone_chargement(const char* nom)
{
    return Map.LoadMap(nom);
}

namespace Banc
{
    namespace
    {
        struct Dossier
        {
            std::string Chemin;
            std::string Avant;
            Dossier()
            {
                char modele[] = "/tmp/corvella-banc-XXXXXX";
                const char* c = mkdtemp(modele);
                Chemin = c != nullptr ? c : "";
                std::error_code e;
                Avant = std::filesystem::current_path(e).string();
                if (!Chemin.empty())
                {
                    std::filesystem::create_directories(Chemin + "/Data/Maps", e);
                    std::filesystem::current_path(Chemin, e);
                }
            }
            ~Dossier()
            {
                std::error_code e;
                std::filesystem::current_path(Avant, e);
                if (!Chemin.empty())
                    std::filesystem::remove_all(Chemin, e);
            }
        };
    }

    int ModeChargement(int tours, bool grande)
    {
        Dossier dossier;
        if (dossier.Chemin.empty())
            return 2;
        const size_t nbFormes = grande ? 3 : 2;
        long bonus[3] = {0, 0, 0};
        for (size_t i = 0; i < nbFormes; ++i)
        {
            const std::string chemin = std::string("Data/Maps/carte-") + Formes[i].Nom + ".map";
            bonus[i] = EcritCarte(chemin, Formes[i].Largeur, Formes[i].Hauteur);
            if (bonus[i] < 0)
                return 3;
            std::error_code e;
            Emet(std::string("chargement.") + Formes[i].Nom + ".octets",
                 static_cast<double>(std::filesystem::file_size(chemin, e)));
            Emet(std::string("chargement.") + Formes[i].Nom + ".cases",
                 static_cast<double>(Formes[i].Largeur) * Formes[i].Hauteur);
        }

        // Each load in a fresh process, as the game loads its level once after
        // it starts: every size pays for its memory the same way (a process
        // that had already loaded and freed a level would reuse the smaller
        // levels' memory but not the largest one's). The floor likewise.
        for (int tour = -1; tour < tours; ++tour) // round -1 warms the caches up
        {
            for (size_t j = 0; j < nbFormes; ++j)
            {
                const size_t i = (static_cast<size_t>(tour + 1) + j) % nbFormes;
                const Forme& forme = Formes[i];
                const std::string nom = std::string("carte-") + forme.Nom + ".map";
                const std::string cle = std::string("chargement.") + forme.Nom;
                Lancement l;
                l.Arguments = {DossierExecutable() + "/corvella-bench", "--charge-une", nom,
                               std::to_string(forme.Largeur), std::to_string(forme.Hauteur),
                               std::to_string(bonus[i])};
                l.Delai = 120;
                const Resultats charge = LitResultats(Lance(l).Sortie);
                l.Arguments.push_back("--lecture");
                const Resultats lecture = LitResultats(Lance(l).Sortie);
                if (tour < 0)
                    continue;
                Emet(cle + ".ns", charge.Med("ns"));
                Emet(cle + ".lecture_ns", lecture.Med("ns"));
                Emet(cle + ".juste", charge.Med("juste") == 1 && lecture.Med("octets") > 0 ? 1 : 0);
            }
        }
        return 0;
    }

    int ModeChargeUne(const std::string& nom, int largeur, int hauteur, long bonus, bool lecture)
    {
        if (lecture)
        {
            std::string tampon;
            const int64_t t0 = Maintenant();
            const size_t lus = LitTout("Data/Maps/" + nom, tampon);
            const int64_t t1 = Maintenant();
            Emet("ns", static_cast<double>(t1 - t0));
            Emet("octets", static_cast<double>(lus));
            return 0;
        }
        const int64_t t0 = Maintenant();
        banc_zone_chargement(nom.c_str());
        const int64_t t1 = Maintenant();
        const bool juste = Map.Largeur == largeur && Map.Hauteur == hauteur &&
                           Map.Cases.size() == static_cast<size_t>(largeur) &&
                           Map.Cases.back().size() == static_cast<size_t>(hauteur) &&
                           Map.ListeBonus.size() == static_cast<size_t>(bonus);
        Emet("ns", static_cast<double>(t1 - t0));
        Emet("juste", juste ? 1 : 0);
        return 0;
    }

    int ModeProfilChargement()
    {
        Dossier dossier;
        if (dossier.Chemin.empty())
            return 2;
        if (EcritCarte("Data/Maps/carte-1e6.map", 1000, 1000) < 0)
            return 3;
        VideCarte();
        BANC_INSTRUMENTE();
        banc_zone_chargement("carte-1e6.map");
        return Map.Largeur == 1000 ? 0 : 4;
    }
}
