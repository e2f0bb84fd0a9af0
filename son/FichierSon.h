#pragma once
// Sound files as the game accepts them: RIFF WAVE, integer PCM, 8 or 16 bits,
// one or two channels, the format chunk first, every chunk inside the file and
// of even length. Anything else is refused
// before the sound library sees it, and that sound is then silent.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Son
{
    struct FormatWav
    {
        int Canaux = 0;
        int Frequence = 0;
        int Bits = 0;
        size_t DebutDonnees = 0;  // offset of the first sample
        size_t TailleDonnees = 0; // bytes of samples, a whole number of frames
    };

    // Largest sound file the game reads.
    constexpr size_t TailleMaxFichier = 64u << 20;

    // True when `octets` hold a WAV file the game plays; `format` then says
    // where its samples lie. Never reads outside the bytes given.
    bool AnalyseWav(const unsigned char* octets, size_t taille, FormatWav& format);

    // The whole of a regular file of at most TailleMaxFichier bytes; false for
    // a missing file, a folder, anything unreadable or too large.
    bool LireFichier(const std::string& chemin, std::vector<unsigned char>& octets);

    // The samples of a 16-bit mono WAV file as numbers from -1 to 1 (for the
    // tools and the tests); false when the file is not one.
    bool LireEchantillons(const std::string& chemin, std::vector<float>& echantillons, int& frequence);
}
