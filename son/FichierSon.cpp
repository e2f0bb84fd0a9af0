// Checking and reading WAV files.
#include "FichierSon.h"

#include <cstdio>
#include <filesystem>

namespace Son
{
    namespace
    {
        uint32_t Mot32(const unsigned char* p)
        {
            return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                   static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
        }

        uint16_t Mot16(const unsigned char* p)
        {
            return static_cast<uint16_t>(p[0] | p[1] << 8);
        }

        bool Nom(const unsigned char* p, const char* nom)
        {
            return p[0] == nom[0] && p[1] == nom[1] && p[2] == nom[2] && p[3] == nom[3];
        }
    }

    bool AnalyseWav(const unsigned char* octets, size_t taille, FormatWav& format)
    {
        if (octets == nullptr || taille < 12 || taille > TailleMaxFichier)
            return false;
        if (!Nom(octets, "RIFF") || !Nom(octets + 8, "WAVE"))
            return false;
        // The RIFF size may not claim more than the file holds.
        if (static_cast<size_t>(Mot32(octets + 4)) > taille - 8)
            return false;

        FormatWav f;
        bool fmt = false;
        size_t position = 12;
        while (position + 8 <= taille)
        {
            const unsigned char* bloc = octets + position;
            const size_t longueur = Mot32(bloc + 4);
            const size_t debut = position + 8;
            if (longueur > taille - debut)
                return false; // cut short
            // RIFF pads an odd chunk with a byte, which the mixer's music
            // reader does not skip: it then never finds the samples and reads
            // on for ever. The game's files have none.
            if (longueur & 1)
                return false;
            // The format comes first: the mixer's music reader frees the
            // chunks it steps over before it twice when the format then
            // cannot be read.
            if (position == 12 && !Nom(bloc, "fmt "))
                return false;
            if (Nom(bloc, "fmt "))
            {
                if (fmt || longueur < 16 || longueur > 40)
                    return false;
                const unsigned char* d = octets + debut;
                const int codage = Mot16(d);
                f.Canaux = Mot16(d + 2);
                f.Frequence = static_cast<int>(Mot32(d + 4) & 0x7fffffff);
                const uint32_t octetsParSeconde = Mot32(d + 8);
                const int alignement = Mot16(d + 12);
                f.Bits = Mot16(d + 14);
                if (codage != 1 || (f.Canaux != 1 && f.Canaux != 2) || (f.Bits != 8 && f.Bits != 16) ||
                    f.Frequence < 8000 || f.Frequence > 192000)
                    return false;
                if (alignement != f.Canaux * f.Bits / 8 ||
                    octetsParSeconde != static_cast<uint32_t>(f.Frequence) * static_cast<uint32_t>(alignement))
                    return false;
                fmt = true;
            }
            else if (Nom(bloc, "data"))
            {
                const size_t trame = static_cast<size_t>(f.Canaux * f.Bits / 8);
                if (longueur == 0 || longueur % trame != 0)
                    return false;
                f.DebutDonnees = debut;
                f.TailleDonnees = longueur;
                format = f;
                return true;
            }
            position = debut + longueur;
        }
        return false;
    }

    bool LireFichier(const std::string& chemin, std::vector<unsigned char>& octets)
    {
        std::error_code erreur;
        const std::filesystem::path p(chemin);
        if (!std::filesystem::is_regular_file(p, erreur))
            return false;
        const uintmax_t taille = std::filesystem::file_size(p, erreur);
        if (erreur || taille > TailleMaxFichier)
            return false;
        std::FILE* f = std::fopen(chemin.c_str(), "rb");
        if (f == nullptr)
            return false;
        octets.resize(static_cast<size_t>(taille));
        const size_t lus = taille == 0 ? 0 : std::fread(octets.data(), 1, octets.size(), f);
        std::fclose(f);
        octets.resize(lus);
        return lus == taille;
    }

    bool LireEchantillons(const std::string& chemin, std::vector<float>& echantillons, int& frequence)
    {
        std::vector<unsigned char> octets;
        FormatWav format;
        if (!LireFichier(chemin, octets) || !AnalyseWav(octets.data(), octets.size(), format) ||
            format.Canaux != 1 || format.Bits != 16)
            return false;
        frequence = format.Frequence;
        const unsigned char* p = octets.data() + format.DebutDonnees;
        echantillons.resize(format.TailleDonnees / 2);
        for (size_t i = 0; i < echantillons.size(); ++i)
            echantillons[i] = static_cast<int16_t>(Mot16(p + 2 * i)) / 32768.0f;
        return true;
    }
}
