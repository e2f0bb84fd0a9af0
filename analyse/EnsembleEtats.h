#pragma once
// The states the reachability search keeps (Atteignable.cpp): what a state
// holds, the group it belongs to, and the set that decides whether a new
// state widens what the kept states of its square already span.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace AnalyseCarte
{
    const int CoteGroupe = 32;     // px, side of a group's square
    const int TrancheDelai = 250;  // ms, rounding of the jump delay
    const int ClassesDelai = 5;    // 0 (allowed now), then up to 1000 ms by 250
    const uint32_t Aucun = 0xFFFFFFFFu;

    // The group of a state: its 32 x 32 px square, its movement state, its
    // vertical speed rounded to 1 px per step, its jump delay rounded up to
    // 250 ms, and the class of its horizontal speed (not part of the group
    // proper: a change of it also ends a held key combination).
    struct Groupe
    {
        int32_t CX;
        int32_t CY;
        int16_t VY;
        int8_t Etat;
        int8_t Delai;
        int8_t VX;

        bool operator==(const Groupe& g) const
        {
            return CX == g.CX && CY == g.CY && VY == g.VY && Etat == g.Etat && Delai == g.Delai && VX == g.VX;
        }
    };

    // Asked at every step the search simulates: inline.
    namespace Arrondis
    {
        // Division by 32 rounding down, also for the few negative positions
        // at the map's left and top edges.
        inline int32_t Carreau(int32_t a)
        {
            const long long v = a;
            return static_cast<int32_t>(v >= 0 ? v / CoteGroupe : -((-v + CoteGroupe - 1) / CoteGroupe));
        }

        // The vertical speed rounded to the nearest whole pixel per step
        // (halves upwards), held within +-30000; 0 for NaN.
        inline int16_t ArrondiVitesse(double v)
        {
            const double t = v + 0.5;
            if (!(t == t))
                return 0;
            if (t >= 30000.0)
                return 30000;
            if (t < -30000.0)
                return -30000;
            // Truncation toward zero, one less for a negative non-whole value: floor.
            int q = static_cast<int>(t);
            if (static_cast<double>(q) > t)
                --q;
            return static_cast<int16_t>(q);
        }

        // Horizontal speed class: still, under 1 px per step, 1 to 2, 2 and
        // more (with the sign). Speeds of one class move the character alike.
        inline int8_t ClasseVX(double v)
        {
            if (v == 0.0)
                return 0;
            const double a = v < 0 ? -v : v;
            const int8_t c = a < 1.0 ? 1 : (a < 2.0 ? 2 : 3);
            return v < 0 ? static_cast<int8_t>(-c) : c;
        }
    }

    // The group of a state at (x, y) with these speeds, movement state and
    // jump delay (ms, 0 to 1000).
    inline Groupe GroupeDe(int32_t x, int32_t y, double vx, double vy, int etat, int delai)
    {
        Groupe g;
        g.VX = Arrondis::ClasseVX(vx);
        g.CX = Arrondis::Carreau(x);
        g.CY = Arrondis::Carreau(y);
        g.VY = Arrondis::ArrondiVitesse(vy);
        g.Etat = static_cast<int8_t>(etat);
        g.Delai = static_cast<int8_t>((delai + TrancheDelai - 1) / TrancheDelai);
        return g;
    }

    struct Noeud
    {
        int32_t X;
        int32_t Y;
        double VX;
        double VY;
        int32_t DebutChute;
        int32_t Vie;
        int16_t Delai;    // ms before a jump in the air is allowed, 0 to 1000
        int8_t Etat;
        uint8_t Touches;  // keys held from the parent state to this one
        uint8_t Pas;      // for that many steps
        uint32_t Suivant; // next state of the square that is walked one by one
        uint32_t Parent;  // the state this one was reached from
        Groupe G;
    };

    // The states kept, in the order found (which is also the order in which
    // they are explored), and a table from square to what its states span.
    //
    // A kept state never moves: the states are stored in blocks that are
    // never reallocated, so that another thread may read the states below a
    // count published to it while this one adds more. Only Ajouter changes
    // the set, on one thread.
    class Ensemble
    {
    public:
        // At most `max` states; falls shorter than `seuilChute` count as
        // that long (they cannot make a difference); `vieMax` is full life.
        Ensemble(size_t max, long long seuilChute, int vieMax);

        size_t Taille() const { return taille_; }
        const Noeud& operator[](size_t i) const { return blocs_[i >> BitsBloc][i & (TailleBloc - 1)]; }
        // A new state had to be left out because the set was full.
        bool Deborde() const { return deborde_; }
        // Squares holding a state, and the slots of the table that finds them.
        size_t Carres() const { return carres_.size(); }
        size_t Places() const { return table_.size(); }

        // Keeps the state unless the states of its square (same group, jump
        // delay aside) with no longer a delay, no longer a fall and no less
        // life already span it (its x within their x, its horizontal speed
        // within theirs, and not higher than all of them), or the set is
        // full. True when it was kept.
        bool Ajouter(Noeud n);

    private:
        static const unsigned BitsBloc = 13;
        static const size_t TailleBloc = size_t(1) << BitsBloc;

        // What some states of a square span.
        struct Etendue
        {
            int32_t X0 = 0;
            int32_t X1 = 0;
            int32_t Y0 = 0;
            bool Un = false;
            double V0 = 0.0;
            double V1 = 0.0;

            void Ajouter(const Noeud& e);
            void Fusionner(const Etendue& e);
        };

        struct Carre
        {
            Groupe Cle;
            uint32_t Autres = Aucun; // the states that are walked one by one, last kept first
            // The span of the ordinary states of the square with a delay of
            // this class or a shorter one.
            Etendue Cumul[ClassesDelai];
        };

        // A slot of the table: a few bits of the square's hash, so that a
        // search rarely reads a square that is not the one asked for, and
        // the square's index.
        struct Place
        {
            uint32_t Etiquette;
            uint32_t Carre;
        };

        long long Chute(const Noeud& n) const
        {
            const long long h = static_cast<long long>(n.Y) - n.DebutChute;
            return h < seuilChute_ ? seuilChute_ : h;
        }
        // A state whose fall counts for nothing and whose life is full: it
        // covers every new state of its square with as long a delay.
        bool Ordinaire(const Noeud& n) const { return Chute(n) == seuilChute_ && n.Vie >= vieMax_; }
        bool Couvert(const Carre& carre, const Noeud& n) const;
        void Agrandir();
        Noeud& Emplacement(size_t i) { return blocs_[i >> BitsBloc][i & (TailleBloc - 1)]; }

        size_t max_;
        long long seuilChute_;
        int vieMax_;
        bool deborde_ = false;
        size_t taille_ = 0;
        // Sized once for the largest set: never reallocated.
        std::vector<std::unique_ptr<Noeud[]>> blocs_;
        std::vector<Carre> carres_;
        std::vector<Place> table_;
    };
}
