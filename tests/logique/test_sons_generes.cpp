// The sounds made by the build (build/Sons), measured: never at full scale,
// no constant offset, each effect as long and as loud as its use wants, and
// the music a long tune that comes round without a click. Also the checks the
// game makes on a sound file before the sound library sees it.
#include <gtest/gtest.h>

#include "aide/Aide.h"
#include "son/FichierSon.h"
#include "son/NomsSons.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace
{
    struct Mesure
    {
        double Duree = 0, Crete = 0, Moyenne = 0, Efficace = 0;
    };

    Mesure Mesurer(const std::vector<float>& x)
    {
        Mesure m;
        double somme = 0, carres = 0;
        for (float v : x)
        {
            m.Crete = std::max(m.Crete, static_cast<double>(std::fabs(v)));
            somme += v;
            carres += static_cast<double>(v) * v;
        }
        m.Duree = x.size() / static_cast<double>(Son::Frequence);
        m.Moyenne = x.empty() ? 0 : somme / x.size();
        m.Efficace = x.empty() ? 0 : std::sqrt(carres / x.size());
        return m;
    }

    double Db(double v)
    {
        return 20 * std::log10(std::max(v, 1e-9));
    }

    std::vector<float> Lire(const std::string& nom)
    {
        std::vector<float> x;
        int frequence = 0;
        EXPECT_TRUE(Son::LireEchantillons(std::string(Son::DossierSons) + "/" + nom, x, frequence)) << nom;
        EXPECT_EQ(frequence, Son::Frequence) << nom;
        return x;
    }

    double RmsEntre(const std::vector<float>& x, size_t debut, size_t fin)
    {
        double c = 0;
        for (size_t i = debut; i < fin; ++i)
            c += static_cast<double>(x[i]) * x[i];
        return std::sqrt(c / static_cast<double>(fin - debut));
    }
}

TEST(SonsGeneres, EveryEffectIsUnderFullScaleCentredAndOfItsLengthAndLoudness)
{
    struct Attendu
    {
        double DureeMin, DureeMax, DbMin, DbMax; // length in s, RMS in dBFS
    };
    for (int i = 0; i < Son::NombreEffets; ++i)
    {
        const Son::Effet effet = static_cast<Son::Effet>(i);
        const bool pas = effet == Son::Effet::PasHerbe || effet == Son::Effet::PasSable ||
                         effet == Son::Effet::PasPierre;
        const bool long_ = effet == Son::Effet::Mort || effet == Son::Effet::Retour || effet == Son::Effet::Plouf;
        // Footsteps come twice a second and stay quiet; the death, the splash
        // and the return go with a second of fading screen.
        const Attendu a = pas ? Attendu{0.05, 0.25, -40, -26}
                              : long_ ? Attendu{0.6, 3.0, -30, -15} : Attendu{0.1, 1.2, -32, -14};
        const std::vector<float> x = Lire(Son::FichiersEffets[i]);
        const Mesure m = Mesurer(x);
        SCOPED_TRACE(Son::FichiersEffets[i]);
        EXPECT_LT(m.Crete, 0.71); // 3 dB of headroom, the music goes under it
        EXPECT_GT(m.Crete, 0.1);
        EXPECT_LT(std::fabs(m.Moyenne), 0.001);
        EXPECT_GE(m.Duree, a.DureeMin);
        EXPECT_LE(m.Duree, a.DureeMax);
        EXPECT_GE(Db(m.Efficace), a.DbMin);
        EXPECT_LE(Db(m.Efficace), a.DbMax);
        // Starts and ends at rest: no click when it starts or stops.
        ASSERT_FALSE(x.empty());
        EXPECT_LT(std::fabs(x.front()), 0.01);
        EXPECT_LT(std::fabs(x.back()), 0.01);
    }
}

TEST(SonsGeneres, TheMusicIsALongTuneThatComesRoundWithoutAClick)
{
    const std::vector<float> x = Lire(Son::FichierMusique);
    ASSERT_GT(x.size(), 1000u);
    const Mesure m = Mesurer(x);
    EXPECT_GE(m.Duree, 60.0);
    EXPECT_LT(m.Crete, 0.9);
    EXPECT_LT(std::fabs(m.Moyenne), 0.001);
    EXPECT_GT(Db(m.Efficace), -30);

    // The joint: the step from the last sample to the first is no larger
    // than the steps the music makes anyway, and the level goes on.
    std::vector<float> pas(x.size() - 1);
    for (size_t i = 0; i + 1 < x.size(); ++i)
        pas[i] = std::fabs(x[i + 1] - x[i]);
    std::nth_element(pas.begin(), pas.begin() + static_cast<long>(pas.size() * 999 / 1000), pas.end());
    const float courant = pas[pas.size() * 999 / 1000];
    EXPECT_LE(std::fabs(x.front() - x.back()), courant);
    const size_t cinquante = static_cast<size_t>(Son::Frequence / 20);
    const double fin = RmsEntre(x, x.size() - cinquante, x.size());
    const double debut = RmsEntre(x, 0, cinquante);
    EXPECT_GT(fin, 0.005);
    EXPECT_GT(debut, 0.005);
    EXPECT_LT(std::max(fin, debut) / std::min(fin, debut), 2.5);

    // Not a short phrase said again: no shift of a whole number of 8-bar
    // phrases lines the tune up with itself.
    const size_t phrase = x.size() / 4;
    for (size_t decalage = phrase; decalage < x.size(); decalage += phrase)
    {
        double xy = 0, xx = 0, yy = 0;
        for (size_t i = 0; i < x.size(); i += 3)
        {
            const double a = x[i], b = x[(i + decalage) % x.size()];
            xy += a * b;
            xx += a * a;
            yy += b * b;
        }
        EXPECT_LT(xy / std::sqrt(xx * yy), 0.8) << decalage;
    }
}

namespace
{
    // A valid 16-bit mono WAV file of `n` samples, as bytes.
    std::string Wav(size_t n, int canaux = 1, int bits = 16, int frequence = 44100)
    {
        std::string o;
        auto mot = [&](uint32_t v, int octets) {
            for (int i = 0; i < octets; ++i)
                o.push_back(static_cast<char>((v >> (8 * i)) & 0xff));
        };
        const uint32_t alignement = static_cast<uint32_t>(canaux * bits / 8);
        const uint32_t donnees = static_cast<uint32_t>(n) * alignement;
        o += "RIFF";
        mot(36 + donnees, 4);
        o += "WAVEfmt ";
        mot(16, 4);
        mot(1, 2);
        mot(static_cast<uint32_t>(canaux), 2);
        mot(static_cast<uint32_t>(frequence), 4);
        mot(static_cast<uint32_t>(frequence) * alignement, 4);
        mot(alignement, 2);
        mot(static_cast<uint32_t>(bits), 2);
        o += "data";
        mot(donnees, 4);
        o.append(donnees, '\x10');
        return o;
    }

    bool Accepte(const std::string& octets)
    {
        Son::FormatWav f;
        return Son::AnalyseWav(reinterpret_cast<const unsigned char*>(octets.data()), octets.size(), f);
    }

    void Poser(std::string& o, size_t position, uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            o[position + i] = static_cast<char>((v >> (8 * i)) & 0xff);
    }
}

TEST(FichierSon, AcceptsPlainPcmAndSaysWhereTheSamplesAre)
{
    const std::string wav = Wav(100);
    Son::FormatWav f;
    ASSERT_TRUE(Son::AnalyseWav(reinterpret_cast<const unsigned char*>(wav.data()), wav.size(), f));
    EXPECT_EQ(f.Canaux, 1);
    EXPECT_EQ(f.Bits, 16);
    EXPECT_EQ(f.Frequence, 44100);
    EXPECT_EQ(f.DebutDonnees, 44u);
    EXPECT_EQ(f.TailleDonnees, 200u);
    EXPECT_TRUE(Accepte(Wav(7, 2, 8, 22050)));
    // Another chunk before the samples is stepped over.
    std::string avecListe = wav;
    avecListe.insert(36, std::string("LIST\x04\0\0\0abcd", 12));
    Poser(avecListe, 4, static_cast<uint32_t>(avecListe.size() - 8));
    EXPECT_TRUE(Accepte(avecListe));
    // An odd one, padded as RIFF wants, is refused: the mixer's music reader
    // would miss the pad and read on for ever (the fuzzer's finding).
    std::string impaire = wav;
    impaire.insert(36, std::string("LIST\x03\0\0\0abc\0", 12));
    Poser(impaire, 4, static_cast<uint32_t>(impaire.size() - 8));
    EXPECT_FALSE(Accepte(impaire));
    // So is a chunk before the format (on which the same reader, when the
    // format then fails, frees memory twice).
    std::string listeAvant = wav;
    listeAvant.insert(12, std::string("LIST\x04\0\0\0abcd", 12));
    Poser(listeAvant, 4, static_cast<uint32_t>(listeAvant.size() - 8));
    EXPECT_FALSE(Accepte(listeAvant));
}

TEST(FichierSon, RefusesEmptyTruncatedRandomAndAbsurdFiles)
{
    const std::string wav = Wav(100);
    EXPECT_FALSE(Accepte(""));
    EXPECT_FALSE(Accepte("RIFF"));
    for (size_t coupe : {size_t{12}, size_t{30}, size_t{44}, wav.size() - 1})
        EXPECT_FALSE(Accepte(wav.substr(0, coupe))) << coupe;
    std::string hasard(5000, '\0');
    uint32_t g = 99;
    for (char& c : hasard)
    {
        g = g * 1664525u + 1013904223u;
        c = static_cast<char>(g >> 24);
    }
    EXPECT_FALSE(Accepte(hasard));
    EXPECT_FALSE(Accepte("RIFF\x04\0\0\0WAVE" + hasard));

    struct Abime
    {
        size_t Position;
        uint32_t Valeur;
        const char* Quoi;
    };
    for (const Abime& a : {Abime{4, 0xffffffffu, "RIFF size beyond the file"},
                           Abime{16, 0xfffffff0u, "format chunk of 4 GB"},
                           Abime{16, 8, "format chunk too short"},
                           Abime{20, 3, "floating point"},
                           Abime{20, 0x00070001u, "seven channels"},
                           Abime{24, 0, "0 Hz"},
                           Abime{24, 0x7fffffffu, "2^31 Hz"},
                           Abime{28, 1, "bytes per second not matching"},
                           Abime{32, 0x00180002u, "24 bits"},
                           Abime{40, 0xffffffffu, "samples beyond the file"},
                           Abime{40, 0, "no sample"},
                           Abime{40, 3, "half a sample"},
                           Abime{36, 0x61746164u, "no data chunk"}})
    {
        std::string o = wav;
        Poser(o, a.Position, a.Valeur);
        if (a.Position == 36)
            o.replace(36, 4, "junk");
        EXPECT_FALSE(Accepte(o)) << a.Quoi;
    }
}

TEST(FichierSon, ReadsRegularFilesOnly)
{
    DossierTemporaire d;
    std::vector<unsigned char> octets;
    EXPECT_FALSE(Son::LireFichier(d / "absent.wav", octets));
    CreerDossiers(d / "dossier.wav");
    EXPECT_FALSE(Son::LireFichier(d / "dossier.wav", octets));
    EcrireFichier(d / "vide.wav", "");
    EXPECT_TRUE(Son::LireFichier(d / "vide.wav", octets));
    EXPECT_TRUE(octets.empty());
    EcrireFichier(d / "son.wav", Wav(10));
    ASSERT_TRUE(Son::LireFichier(d / "son.wav", octets));
    EXPECT_EQ(octets.size(), 64u);
    std::vector<float> x;
    int frequence = 0;
    ASSERT_TRUE(Son::LireEchantillons(d / "son.wav", x, frequence));
    EXPECT_EQ(x.size(), 10u);
    EXPECT_FLOAT_EQ(x[0], 0x1010 / 32768.0f);
}
