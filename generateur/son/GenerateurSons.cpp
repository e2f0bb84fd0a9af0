// Makes every sound the game plays. Usage: corvella-generateur-sons DIR
// (DIR receives Sons/...). Deterministic: the same program always writes the
// same files.
#include "Sons.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

namespace
{
    void Mot(std::FILE* f, uint32_t v, int octets)
    {
        for (int i = 0; i < octets; ++i)
            std::fputc(static_cast<int>((v >> (8 * i)) & 0xff), f);
    }

    // 16-bit mono PCM.
    bool EcrireWav(const std::string& chemin, const Synthe::Tampon& tampon)
    {
        std::FILE* f = std::fopen(chemin.c_str(), "wb");
        if (f == nullptr)
            return false;
        const uint32_t donnees = static_cast<uint32_t>(tampon.size() * 2);
        std::fwrite("RIFF", 1, 4, f);
        Mot(f, 36 + donnees, 4);
        std::fwrite("WAVEfmt ", 1, 8, f);
        Mot(f, 16, 4);
        Mot(f, 1, 2); // PCM
        Mot(f, 1, 2); // mono
        Mot(f, Son::Frequence, 4);
        Mot(f, Son::Frequence * 2, 4);
        Mot(f, 2, 2);
        Mot(f, 16, 2);
        std::fwrite("data", 1, 4, f);
        Mot(f, donnees, 4);
        for (float v : tampon)
        {
            const long s = std::lround(std::fmax(-1.0f, std::fmin(1.0f, v)) * 32767.0f);
            Mot(f, static_cast<uint32_t>(static_cast<int16_t>(s)) & 0xffff, 2);
        }
        return std::fclose(f) == 0;
    }
}

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    const std::filesystem::path dossier = std::filesystem::path(argv[1]) / Son::DossierSons;
    std::error_code erreur;
    std::filesystem::create_directories(dossier, erreur);
    bool ok = true;
    auto ecrire = [&](const char* nom, const Synthe::Tampon& t) {
        const std::string chemin = (dossier / nom).string();
        if (!EcrireWav(chemin, t))
        {
            std::fprintf(stderr, "corvella-generateur-sons: cannot write %s\n", chemin.c_str());
            ok = false;
        }
    };
    for (int i = 0; i < Son::NombreEffets; ++i)
        ecrire(Son::FichiersEffets[i], FaireEffet(static_cast<Son::Effet>(i)));
    ecrire(Son::FichierMusique, FaireMusique());
    return ok ? 0 : 1;
}
