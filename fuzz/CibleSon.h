#pragma once
// Sound files: any bytes through the game's WAV check; what it accepts must
// describe samples that lie inside the bytes, in a format the game plays; and
// when a mixer is open (the fuzz target opens one on SDL's dummy driver) the
// accepted bytes are decoded by it as an effect and as music.
// Returns null when everything held, otherwise what went wrong.
#include "son/FichierSon.h"
#include "son/Mixeur.h"

#include <cstddef>
#include <cstdint>

namespace Fuzz
{
    inline Son::CMixeur& MixeurFuzz()
    {
        static Son::CMixeur mixeur;
        return mixeur;
    }

    inline const char* ExerceSon(const uint8_t* donnees, size_t taille)
    {
        Son::FormatWav f;
        if (!Son::AnalyseWav(donnees, taille, f))
            return nullptr;
        if (f.Canaux != 1 && f.Canaux != 2)
            return "accepted a channel count other than 1 or 2";
        if (f.Bits != 8 && f.Bits != 16)
            return "accepted a sample size other than 8 or 16 bits";
        if (f.Frequence < 8000 || f.Frequence > 192000)
            return "accepted an absurd rate";
        if (f.DebutDonnees < 20 || f.DebutDonnees > taille || f.TailleDonnees > taille - f.DebutDonnees)
            return "the samples lie outside the file";
        if (f.TailleDonnees == 0 || f.TailleDonnees % static_cast<size_t>(f.Canaux * f.Bits / 8) != 0)
            return "no samples, or a partial frame";
        MixeurFuzz().EssayerOctets(donnees, taille);
        return nullptr;
    }
}
