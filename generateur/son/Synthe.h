#pragma once
// A small synthesizer: oscillators, noise, envelopes, filters, a plucked
// string and a room, all deterministic, working on mono buffers of floats
// (-1..1) at the game's sample rate.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace Synthe
{
    using Tampon = std::vector<float>;
    constexpr double Pi = 3.14159265358979323846;
    extern const double Frequence; // samples per second

    size_t Echantillons(double secondes);
    // Frequency of a MIDI note number (69 = A 440 Hz).
    double Note(double midi);

    // White noise from a fixed seed: the same numbers on every run.
    class Bruit
    {
    public:
        explicit Bruit(uint32_t graine) : etat_(graine ? graine : 1) {}
        float Suivant(); // -1..1
    private:
        uint32_t etat_;
    };

    // Oscillators with their own phase; the frequency may change per sample.
    class Oscillateur
    {
    public:
        float Sinus(double frequence);
        float Triangle(double frequence);
        // A soft saw: a few harmonics, no aliasing at the pitches used here.
        float DentDouce(double frequence, int harmoniques = 6);
    private:
        double phase_ = 0.0; // in turns
        double Avance(double frequence);
    };

    // Attack, then exponential decay to silence (time constant `decroissance`).
    float Percussion(double t, double attaque, double decroissance);
    // Attack, hold at 1, release, over a note of length `duree`.
    float Note(double t, double duree, double attaque, double relache);

    // First-order low- and high-pass, cut-off settable per sample.
    class PasseBas
    {
    public:
        float operator()(float x, double coupure);
    private:
        float y_ = 0.0f;
    };
    class PasseHaut
    {
    public:
        float operator()(float x, double coupure);
    private:
        float x_ = 0.0f, y_ = 0.0f;
    };
    // Two-pole band-pass (constant peak gain), centre and Q settable per sample.
    class PasseBande
    {
    public:
        float operator()(float x, double centre, double q);
    private:
        double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
    };

    // A plucked string (Karplus-Strong), `duree` seconds of it.
    Tampon Corde(double frequence, double duree, double amortissement, uint32_t graine);

    // A small room: four combs and two all-passes. With `boucle`, the buffer
    // is taken as one turn of a loop and the room carries its end into its
    // beginning, so that the loop stays seamless.
    Tampon Piece(const Tampon& sec, double humide, double taille, bool boucle);

    // Adds `source` × gain into `cible` from sample `debut`, growing it.
    void Ajouter(Tampon& cible, const Tampon& source, size_t debut, float gain = 1.0f);
    // Scales to the given peak.
    void Normaliser(Tampon& tampon, float crete);
    // Takes out any constant offset (high-pass at a few hertz, then the mean).
    void RetirerContinu(Tampon& tampon);
    // Short fades at both ends (milliseconds), so that no sound starts or
    // stops with a click.
    void Adoucir(Tampon& tampon, double msDebut, double msFin);
}
