#include "Synthe.h"

#include <algorithm>
#include <cmath>

namespace Synthe
{
    const double Frequence = 44100.0;

    size_t Echantillons(double secondes)
    {
        return static_cast<size_t>(std::lround(secondes * Frequence));
    }

    double Note(double midi)
    {
        return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0);
    }

    float Bruit::Suivant()
    {
        // xorshift32
        etat_ ^= etat_ << 13;
        etat_ ^= etat_ >> 17;
        etat_ ^= etat_ << 5;
        return static_cast<float>(etat_ / 2147483648.0 - 1.0);
    }

    double Oscillateur::Avance(double frequence)
    {
        const double p = phase_;
        phase_ += frequence / Frequence;
        phase_ -= std::floor(phase_);
        return p;
    }

    float Oscillateur::Sinus(double frequence)
    {
        return static_cast<float>(std::sin(2 * Pi * Avance(frequence)));
    }

    float Oscillateur::Triangle(double frequence)
    {
        const double p = Avance(frequence);
        return static_cast<float>(p < 0.5 ? 4 * p - 1 : 3 - 4 * p);
    }

    float Oscillateur::DentDouce(double frequence, int harmoniques)
    {
        const double p = Avance(frequence);
        double s = 0;
        for (int k = 1; k <= harmoniques && k * frequence < Frequence / 2.5; ++k)
            s += std::sin(2 * Pi * k * p) / k;
        return static_cast<float>(s * 0.55);
    }

    float Percussion(double t, double attaque, double decroissance)
    {
        if (t < 0)
            return 0;
        if (t < attaque)
            return static_cast<float>(std::sin(0.5 * Pi * t / attaque));
        return static_cast<float>(std::exp(-(t - attaque) / decroissance));
    }

    float Note(double t, double duree, double attaque, double relache)
    {
        if (t < 0 || t > duree + relache)
            return 0;
        double a = t < attaque ? 0.5 - 0.5 * std::cos(Pi * t / attaque) : 1.0;
        if (t > duree)
            a *= 0.5 + 0.5 * std::cos(Pi * (t - duree) / relache);
        return static_cast<float>(a);
    }

    float PasseBas::operator()(float x, double coupure)
    {
        const double a = 1.0 - std::exp(-2 * Pi * coupure / Frequence);
        y_ += static_cast<float>(a * (x - y_));
        return y_;
    }

    float PasseHaut::operator()(float x, double coupure)
    {
        const double rc = 1.0 / (2 * Pi * coupure);
        const double a = rc / (rc + 1.0 / Frequence);
        y_ = static_cast<float>(a * (y_ + x - x_));
        x_ = x;
        return y_;
    }

    float PasseBande::operator()(float x, double centre, double q)
    {
        const double w = 2 * Pi * centre / Frequence;
        const double alpha = std::sin(w) / (2 * q);
        const double a0 = 1 + alpha;
        const double b0 = alpha / a0, b2 = -alpha / a0;
        const double a1 = -2 * std::cos(w) / a0, a2 = (1 - alpha) / a0;
        const double y = b0 * x + b2 * x2_ - a1 * y1_ - a2 * y2_;
        x2_ = x1_;
        x1_ = x;
        y2_ = y1_;
        y1_ = y;
        return static_cast<float>(y);
    }

    Tampon Corde(double frequence, double duree, double amortissement, uint32_t graine)
    {
        const size_t n = Echantillons(duree);
        const size_t periode = std::max<size_t>(2, static_cast<size_t>(Frequence / frequence));
        std::vector<float> ligne(periode);
        Bruit bruit(graine);
        PasseBas doux, doux2;
        double somme = 0;
        for (float& v : ligne)
        {
            v = doux2(doux(bruit.Suivant(), 1800.0), 1800.0) * 3.0f;
            somme += v;
        }
        // Without its mean: the string's averaging keeps any offset ringing
        // for seconds below hearing, where it only eats headroom.
        const float moyenne = static_cast<float>(somme / periode);
        for (float& v : ligne)
            v -= moyenne;
        Tampon sortie(n);
        size_t i = 0;
        float precedent = 0;
        for (size_t t = 0; t < n; ++t)
        {
            const float v = ligne[i];
            sortie[t] = v;
            ligne[i] = static_cast<float>(amortissement * 0.5 * (v + precedent));
            precedent = v;
            i = (i + 1) % periode;
        }
        return sortie;
    }

    namespace
    {
        class Peigne
        {
        public:
            Peigne(size_t longueur, float retour) : tampon_(longueur), retour_(retour) {}
            float operator()(float x)
            {
                const float y = tampon_[i_];
                filtre_ = 0.7f * y + 0.3f * filtre_;
                tampon_[i_] = x + retour_ * filtre_;
                i_ = (i_ + 1) % tampon_.size();
                return y;
            }
        private:
            std::vector<float> tampon_;
            float retour_;
            float filtre_ = 0;
            size_t i_ = 0;
        };

        class PasseTout
        {
        public:
            explicit PasseTout(size_t longueur) : tampon_(longueur) {}
            float operator()(float x)
            {
                const float b = tampon_[i_];
                const float y = -0.5f * x + b;
                tampon_[i_] = x + 0.5f * b;
                i_ = (i_ + 1) % tampon_.size();
                return y;
            }
        private:
            std::vector<float> tampon_;
            size_t i_ = 0;
        };
    }

    Tampon Piece(const Tampon& sec, double humide, double taille, bool boucle)
    {
        const size_t longueurs[4] = {1557, 1617, 1491, 1422};
        std::vector<Peigne> peignes;
        for (size_t l : longueurs)
            peignes.emplace_back(static_cast<size_t>(l * taille), 0.8f);
        PasseTout p1(225), p2(556);
        const size_t n = sec.size();
        // A loop goes round twice and keeps the second turn, whose start
        // already holds the echoes of the end; a single sound gets a tail.
        const size_t queue = boucle ? 0 : Echantillons(1.2 * taille);
        const size_t tours = boucle ? 2 : 1;
        Tampon sortie(n + queue);
        for (size_t tour = 0; tour < tours; ++tour)
            for (size_t t = 0; t < n + (tour + 1 == tours ? queue : 0); ++t)
            {
                const float x = t < n ? sec[t] : 0.0f;
                float r = 0;
                for (Peigne& c : peignes)
                    r += c(x);
                r = p2(p1(r * 0.25f));
                if (tour + 1 == tours)
                    sortie[t] = static_cast<float>(x * (1 - humide * 0.5) + r * humide);
            }
        return sortie;
    }

    void Ajouter(Tampon& cible, const Tampon& source, size_t debut, float gain)
    {
        if (cible.size() < debut + source.size())
            cible.resize(debut + source.size(), 0.0f);
        for (size_t i = 0; i < source.size(); ++i)
            cible[debut + i] += gain * source[i];
    }

    void Normaliser(Tampon& tampon, float crete)
    {
        float m = 0;
        for (float v : tampon)
            m = std::max(m, std::fabs(v));
        if (m > 0)
            for (float& v : tampon)
                v *= crete / m;
    }

    void RetirerContinu(Tampon& tampon)
    {
        if (tampon.empty())
            return;
        double somme = 0;
        for (float v : tampon)
            somme += v;
        const float moyenne = static_cast<float>(somme / tampon.size());
        for (float& v : tampon)
            v -= moyenne;
    }

    void Adoucir(Tampon& tampon, double msDebut, double msFin)
    {
        const size_t a = std::min(tampon.size(), Echantillons(msDebut / 1000));
        const size_t b = std::min(tampon.size(), Echantillons(msFin / 1000));
        for (size_t i = 0; i < a; ++i)
            tampon[i] *= static_cast<float>(0.5 - 0.5 * std::cos(Pi * i / a));
        for (size_t i = 0; i < b; ++i)
            tampon[tampon.size() - 1 - i] *= static_cast<float>(0.5 - 0.5 * std::cos(Pi * i / b));
    }
}
