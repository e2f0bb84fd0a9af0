// The effects. They share the music's key (D major) and its soft, round
// timbres: sine and triangle bells for the rewards, filtered noise for the
// body and the ground, and every one ends well under full scale.
#include "Sons.h"

#include <algorithm>
#include <cmath>
#include <functional>

using namespace Synthe;

namespace
{
    // `duree` seconds of f(t, i).
    Tampon Rendre(double duree, const std::function<float(double, size_t)>& f)
    {
        Tampon t(Echantillons(duree));
        for (size_t i = 0; i < t.size(); ++i)
            t[i] = f(i / Frequence, i);
        return t;
    }

    // A soft bell: a sine with a little octave, its own decay.
    Tampon Cloche(double midi, double duree, double decroissance, double brillance = 0.25)
    {
        Oscillateur a, b, c;
        const double f = Note(midi);
        return Rendre(duree, [&](double t, size_t) {
            const float env = Percussion(t, 0.004, decroissance);
            const float env2 = Percussion(t, 0.002, decroissance * 0.4);
            return env * (a.Sinus(f) + static_cast<float>(brillance) * env2 * b.Sinus(2 * f) +
                          0.08f * env2 * c.Triangle(3.01 * f));
        });
    }

    // Notes one after the other, `ecart` seconds apart.
    Tampon Arpege(const std::vector<double>& notes, double ecart, double decroissance, double brillance)
    {
        Tampon t;
        for (size_t i = 0; i < notes.size(); ++i)
            Ajouter(t, Cloche(notes[i], decroissance * 6, decroissance, brillance), Echantillons(i * ecart),
                    1.0f - 0.08f * i);
        return t;
    }

    // Noise through a band-pass whose centre follows `centre(t)`.
    Tampon Souffle(double duree, uint32_t graine, const std::function<double(double)>& centre, double q,
                   double attaque, double decroissance)
    {
        Bruit bruit(graine);
        PasseBande filtre;
        return Rendre(duree, [&](double t, size_t) {
            return Percussion(t, attaque, decroissance) * filtre(bruit.Suivant(), centre(t), q);
        });
    }

    // A low thump whose pitch drops from `haut` to `bas`.
    Tampon Coup(double duree, double haut, double bas, double decroissance, double bruitBas, uint32_t graine)
    {
        Oscillateur o;
        Bruit bruit(graine);
        PasseBas pb;
        return Rendre(duree, [&](double t, size_t) {
            const double f = bas + (haut - bas) * std::exp(-t / (decroissance * 0.6));
            const float corps = Percussion(t, 0.002, decroissance) * o.Sinus(f);
            const float sol = Percussion(t, 0.001, decroissance * 0.5) * pb(bruit.Suivant(), bruitBas) * 2.5f;
            return corps + sol;
        });
    }

    Tampon Saut()
    {
        Oscillateur o, h;
        Bruit bruit(11);
        PasseBande bp;
        return Rendre(0.24, [&](double t, size_t) {
            const double f = 330.0 * std::pow(2.0, std::min(t / 0.14, 1.0));
            const float env = Percussion(t, 0.006, 0.055);
            const float voix = env * (o.Triangle(f) * 0.7f + h.Sinus(2 * f) * 0.15f);
            const float souffle = Percussion(t, 0.01, 0.04) * bp(bruit.Suivant(), 1200 + 8000 * t, 1.5) * 0.6f;
            return voix + souffle;
        });
    }

    Tampon Accroche()
    {
        Tampon t = Souffle(0.16, 21, [](double) { return 2600.0; }, 2.5, 0.001, 0.012);
        Ajouter(t, Souffle(0.12, 22, [](double) { return 1700.0; }, 2.0, 0.001, 0.018), Echantillons(0.035), 0.8f);
        Ajouter(t, Coup(0.12, 260, 180, 0.02, 600, 23), 0, 0.5f);
        return t;
    }

    Tampon Lache()
    {
        return Souffle(0.3, 31, [](double t) { return 1900.0 * std::exp(-t * 6) + 450; }, 1.4, 0.03, 0.07);
    }

    Tampon PasHerbe()
    {
        Tampon t = Souffle(0.13, 41, [](double t) { return 3200.0 - 6000 * t; }, 0.9, 0.006, 0.028);
        Ajouter(t, Coup(0.1, 160, 110, 0.015, 400, 42), 0, 0.35f);
        return t;
    }

    Tampon PasSable()
    {
        // A grainy crunch: noise chopped by sparse random grains.
        Bruit bruit(51), grains(52);
        PasseBande bp;
        float grain = 0;
        return Rendre(0.16, [&](double t, size_t) {
            if (grains.Suivant() > 0.93f)
                grain = 1.0f;
            grain *= 0.985f;
            const float env = Percussion(t, 0.012, 0.045);
            return env * bp(bruit.Suivant() * (0.35f + grain), 2300.0, 1.1) * 1.6f;
        });
    }

    Tampon PasPierre()
    {
        Oscillateur a, b;
        Bruit bruit(61);
        PasseBande bp;
        PasseBas pb;
        return Rendre(0.1, [&](double t, size_t) {
            const float clic = Percussion(t, 0.0005, 0.006) * (a.Sinus(1150) * 0.6f + b.Sinus(2380) * 0.25f);
            const float tac = Percussion(t, 0.0005, 0.004) * bp(bruit.Suivant(), 3400, 1.5);
            const float sourd = Percussion(t, 0.001, 0.018) * pb(bruit.Suivant(), 500) * 3.0f;
            return clic + tac + sourd;
        });
    }

    Tampon Plouf()
    {
        Bruit bruit(71), hasard(72);
        PasseBas pb, pb2;
        Tampon t = Rendre(0.95, [&](double t, size_t) {
            const double coupure = 500 + 2500 * std::exp(-t / 0.08);
            return Percussion(t, 0.006, 0.16) * pb2(pb(bruit.Suivant(), coupure), coupure) * 2.5f;
        });
        // Bubbles: short rising whistles.
        for (int i = 0; i < 9; ++i)
        {
            const double debut = 0.08 + 0.06 * i + 0.03 * hasard.Suivant();
            const double f0 = 380 + 160 * (hasard.Suivant() + 1);
            Oscillateur o;
            Tampon bulle = Rendre(0.06, [&](double t, size_t) {
                return Percussion(t, 0.003, 0.014) * o.Sinus(f0 * (1 + 5 * t));
            });
            Ajouter(t, bulle, Echantillons(debut), 0.35f * static_cast<float>(1 - i * 0.07));
        }
        return t;
    }

    // A heavy fall, then soft descending notes with a little room: D5 A4 F4 D4.
    Tampon Mort()
    {
        Tampon sec = Coup(0.5, 90, 36, 0.12, 280, 91);
        const size_t apresLeCoup = Echantillons(0.14);
        const double notes[4] = {74, 69, 65, 62};
        for (int i = 0; i < 4; ++i)
        {
            Oscillateur o, p;
            PasseBas pb;
            const double f = Note(notes[i]);
            Tampon n = Rendre(0.7, [&](double t, size_t) {
                const float env = Percussion(t, 0.02, 0.22);
                return env * pb(o.Triangle(f) * 0.8f + p.Sinus(f / 2) * 0.4f, 1800);
            });
            Ajouter(sec, n, apresLeCoup + Echantillons(0.2 * i), 0.8f - 0.08f * i);
        }
        return Piece(sec, 0.35, 1.0, false);
    }

    // Rising arpeggio over a swelling chord, as the screen clears.
    Tampon Retour()
    {
        Tampon sec = Arpege({62, 66, 69, 74}, 0.12, 0.25, 0.2);
        Oscillateur a, b, c;
        Tampon nappe = Rendre(1.1, [&](double t, size_t) {
            const float env = Note(t, 0.6, 0.4, 0.45);
            return env * (a.Sinus(Note(50)) + b.Sinus(Note(57)) * 0.7f + c.Sinus(Note(62)) * 0.5f) * 0.35f;
        });
        Ajouter(sec, nappe, 0);
        return Piece(sec, 0.3, 1.0, false);
    }
}

Tampon FaireEffet(Son::Effet effet)
{
    using Son::Effet;
    Tampon t;
    float crete = 0.5f;
    switch (effet)
    {
    case Effet::Saut: t = Saut(); crete = 0.42f; break;
    case Effet::Atterrissage: t = Coup(0.2, 120, 60, 0.04, 500, 81); crete = 0.45f; break;
    case Effet::ChuteLourde: t = Coup(0.55, 90, 36, 0.13, 280, 82); crete = 0.55f; break;
    case Effet::Accroche: t = Accroche(); crete = 0.42f; break;
    case Effet::Lache: t = Lache(); crete = 0.32f; break;
    case Effet::PasHerbe: t = PasHerbe(); crete = 0.2f; break;
    case Effet::PasSable: t = PasSable(); crete = 0.2f; break;
    case Effet::PasPierre: t = PasPierre(); crete = 0.24f; break;
    case Effet::Vie: t = Arpege({74, 78, 81}, 0.075, 0.14, 0.3); crete = 0.42f; break;
    case Effet::Mana: t = Arpege({81, 86, 88, 93}, 0.06, 0.13, 0.45); crete = 0.4f; break;
    case Effet::Plouf: t = Plouf(); crete = 0.55f; break;
    case Effet::Mort: t = Mort(); crete = 0.55f; break;
    case Effet::Retour: t = Retour(); crete = 0.45f; break;
    case Effet::Pause: t = Arpege({81, 74}, 0.09, 0.08, 0.2); crete = 0.36f; break;
    case Effet::Reprise: t = Arpege({74, 81}, 0.09, 0.08, 0.2); crete = 0.36f; break;
    default: break;
    }
    RetirerContinu(t);
    Normaliser(t, crete);
    // Without the tail that can no longer be heard (50 dB under the peak).
    size_t fin = t.size();
    while (fin > 0 && std::fabs(t[fin - 1]) < crete * 0.003f)
        --fin;
    t.resize(std::min(t.size(), fin + Echantillons(0.01)));
    Adoucir(t, 1, 15);
    return t;
}
