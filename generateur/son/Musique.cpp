// The music: a calm waltz in D major for the meadow at dusk, 32 bars at
// 84 beats a minute (68.6 s) before it comes round again. A flute-like
// melody over plucked arpeggios, a round bass and a soft pad, with a second
// voice a third below the tune when it comes back; a small room around it.
// Everything is rendered as one turn of a loop: what rings past the end is
// folded into the beginning, so the joint cannot be heard.
#include "Sons.h"

#include <cmath>

using namespace Synthe;

namespace
{
    constexpr double Temps = 60.0 / 84.0; // one beat
    constexpr int TempsParMesure = 3;
    constexpr int Mesures = 32;

    struct Accord
    {
        int Basse;      // MIDI note of the root, low
        int Notes[3];   // the chord in the middle register
    };
    const Accord D{50, {62, 66, 69}}, Bm{47, {62, 66, 71}}, G{43, {62, 67, 71}}, A{45, {61, 64, 69}},
        Em{40, {64, 67, 71}};
    const Accord Grille[Mesures] = {D, Bm, G, A, D, Bm, Em, A,  // first statement
                                    D, Bm, G, A, G, A,  D, D,   // answered, closing
                                    G, D, Em, Bm, G, D, Em, A,  // the middle, higher
                                    D, Bm, G, A, Em, A, D, D};  // back home

    struct Son_
    {
        int Midi; // 0: rest
        int Temps;
    };
    // The tune, bar by bar.
    const std::vector<std::vector<Son_>> Melodie = {
        {{74, 2}, {73, 1}}, {{71, 2}, {66, 1}}, {{67, 1}, {71, 1}, {74, 1}}, {{73, 3}},
        {{74, 2}, {76, 1}}, {{78, 2}, {74, 1}}, {{76, 1}, {74, 1}, {71, 1}}, {{69, 3}},
        {{74, 2}, {73, 1}}, {{71, 2}, {66, 1}}, {{67, 1}, {71, 1}, {76, 1}}, {{74, 2}, {73, 1}},
        {{71, 2}, {74, 1}}, {{73, 1}, {76, 1}, {73, 1}}, {{74, 3}}, {{0, 2}, {69, 1}},
        {{79, 2}, {78, 1}}, {{78, 2}, {74, 1}}, {{76, 1}, {78, 1}, {79, 1}}, {{78, 3}},
        {{79, 2}, {81, 1}}, {{78, 2}, {74, 1}}, {{76, 2}, {71, 1}}, {{73, 2}, {69, 1}},
        {{74, 2}, {73, 1}}, {{71, 2}, {66, 1}}, {{67, 1}, {71, 1}, {74, 1}}, {{76, 2}, {73, 1}},
        {{71, 1}, {74, 1}, {79, 1}}, {{78, 2}, {76, 1}}, {{74, 3}}, {{0, 1}, {66, 1}, {69, 1}}};

    // The diatonic third below a note of D major.
    int TierceDessous(int midi)
    {
        const int gamme[7] = {2, 4, 6, 7, 9, 11, 13}; // D E F# G A B C# (pitch classes from C, C# as 13)
        const int classe = ((midi % 12) + 12) % 12;
        for (int i = 0; i < 7; ++i)
            if (gamme[i] % 12 == classe)
            {
                const int cible = gamme[(i + 5) % 7] % 12; // two degrees down
                int n = midi - 1;
                while (((n % 12) + 12) % 12 != cible)
                    --n;
                return n;
            }
        return midi - 4;
    }

    // A breathy flute: sine with a few soft harmonics, a late vibrato.
    Tampon Flute(int midi, double duree, uint32_t graine)
    {
        const double f = Note(midi);
        const double relache = 0.18;
        Tampon t(Echantillons(duree + relache));
        Oscillateur o, h2, h3, vib;
        Bruit souffle(graine);
        PasseBande bp;
        for (size_t i = 0; i < t.size(); ++i)
        {
            const double s = i / Frequence;
            const double profondeur = 0.004 * std::min(1.0, std::max(0.0, (s - 0.2) / 0.4));
            const double fv = f * (1 + profondeur * vib.Sinus(5.0));
            const float env = Note(s, duree, 0.06, relache);
            const float corps = o.Sinus(fv) + 0.18f * h2.Sinus(2 * fv) + 0.06f * h3.Sinus(3 * fv);
            const float air = 0.05f * bp(souffle.Suivant(), 2 * f, 2.0);
            t[i] = env * (corps + air);
        }
        return t;
    }

    // A soft chord held over a bar.
    Tampon Nappe(const Accord& accord, double duree)
    {
        Tampon t(Echantillons(duree + 0.8));
        Oscillateur o[6];
        PasseBas pb;
        for (size_t i = 0; i < t.size(); ++i)
        {
            const double s = i / Frequence;
            float v = 0;
            for (int k = 0; k < 3; ++k)
            {
                const double f = Note(accord.Notes[k] - 12);
                v += o[2 * k].Triangle(f * 1.002) + o[2 * k + 1].Triangle(f * 0.998);
            }
            t[i] = Note(s, duree, 0.5, 0.8) * pb(v, 900) / 6;
        }
        return t;
    }

    // The bass: a round tone with a gentle pluck.
    Tampon Basse(int midi, double duree)
    {
        const double f = Note(midi);
        Tampon t(Echantillons(duree));
        Oscillateur o, h;
        for (size_t i = 0; i < t.size(); ++i)
        {
            const double s = i / Frequence;
            const float env = Percussion(s, 0.012, 0.9) * Note(s, duree - 0.2, 0.001, 0.2);
            t[i] = env * (o.Sinus(f) + 0.3f * h.Triangle(2 * f));
        }
        return t;
    }
}

Tampon FaireMusique()
{
    const double mesure = Temps * TempsParMesure;
    const size_t longueur = Echantillons(mesure * Mesures);
    Tampon melodie, seconde, arpeges, basse, nappe;
    uint32_t graine = 1000;

    for (int m = 0; m < Mesures; ++m)
    {
        const double debutMesure = m * mesure;
        const Accord& accord = Grille[m];

        // Bass on the first beat, held through the bar.
        Ajouter(basse, Basse(accord.Basse, mesure + 0.3), Echantillons(debutMesure));
        // Plucked chord tones: beat 2 and 3, and an upper note between them in
        // the middle section.
        const int ordre[3] = {1, 2, 0};
        for (int b = 1; b < TempsParMesure; ++b)
        {
            const int note = accord.Notes[ordre[(b + m) % 3]];
            Ajouter(arpeges, Corde(Note(note), 2.0, 0.996, ++graine), Echantillons(debutMesure + b * Temps), 0.8f);
            Ajouter(arpeges, Corde(Note(accord.Notes[ordre[(b + m + 1) % 3]]), 2.0, 0.996, ++graine),
                    Echantillons(debutMesure + b * Temps + 0.012), 0.45f);
        }
        if (m >= 16 && m < 24)
            Ajouter(arpeges, Corde(Note(accord.Notes[2] + 12), 1.5, 0.995, ++graine),
                    Echantillons(debutMesure + 2.5 * Temps), 0.35f);
        Ajouter(nappe, Nappe(accord, mesure), Echantillons(debutMesure));

        // The tune, and its second voice when it comes back (bars 25 to 31).
        double t = debutMesure;
        for (const Son_& n : Melodie[static_cast<size_t>(m)])
        {
            const double duree = n.Temps * Temps;
            if (n.Midi > 0)
            {
                Ajouter(melodie, Flute(n.Midi, duree * 0.92, ++graine), Echantillons(t));
                if (m >= 24 && m < 31)
                    Ajouter(seconde, Flute(TierceDessous(n.Midi), duree * 0.92, ++graine), Echantillons(t));
            }
            t += duree;
        }
    }

    Tampon musique(longueur, 0.0f);
    auto plier = [&](const Tampon& voix, float gain) {
        for (size_t i = 0; i < voix.size(); ++i)
            musique[i % longueur] += gain * voix[i];
    };
    plier(melodie, 0.30f);
    plier(seconde, 0.14f);
    plier(arpeges, 0.20f);
    plier(basse, 0.24f);
    plier(nappe, 0.22f);

    Tampon piece = Piece(musique, 0.28, 1.3, true);
    RetirerContinu(piece);
    Normaliser(piece, 0.7f);
    return piece;
}
