// The reachability search as it was before it was made faster, kept word for
// word as the reference the faster one must agree with: the same reachable
// cells and the same bonus verdicts (test_atteinte_rapide.cpp). Only the
// namespace and the name of the entry point differ.
// The reachability search.
//
// A search state is what one movement step reads of the character: position,
// speeds, movement state (standing, walking, in the air, hanging), the time
// left before a jump in the air is allowed, and the height at which the
// current fall began. The facing and the animation clock are not part of it
// (the step only writes them). Every state is simulated exactly, step by step,
// with the game's own CPerso::CalcDepl followed by the game's per-frame death
// rule (CPerso::VerifieMort). A dead character comes back at the start, where
// the search began: death ends a path.
//
// Keys. From a state, each combination of arrow keys that can make a
// difference is tried: nothing, left, right, up, up+left, up+right; while
// hanging also down, down+left and down+right (down is read only there, and
// the side keys are read after letting go). Left+right is left out: it always
// acts as left or as right alone. Up is not tried in the air while a jump
// there is not yet allowed (it does nothing then).
//
// Quantisation. Exact states are far too many (every pixel, every real speed,
// every jump timing), so states are grouped:
//   - a group is the 32 x 32 px square holding the character's position, the
//     movement state, the vertical speed rounded to 1 px per step, and the
//     jump delay rounded up to 250 ms (0, that is "a jump in the air is
//     allowed now", is a group of its own);
//   - within a group, a new state is explored only when it widens what the
//     states kept there already span: its x lies outside their range of x,
//     its horizontal speed outside their range of horizontal speeds, or it is
//     higher than all of them. A state kept with a shorter jump delay (or an
//     equal one) counts for a new state with a longer one, not the reverse.
//     The horizontal speed needs no rounding: it is compared by range.
//   - from a kept state, a key combination is held, step after step, until
//     the character leaves its group or its horizontal speed changes class
//     (still, under 1, 1 to 2, 2 and more px per step, with the sign), at
//     most 16 steps (80 ms), so that slow movements inside a square are
//     followed rather than cut short.
// So nothing is explored again that lies between states already explored in
// the same square with the same vertical motion. This was tuned against
// levels whose answer is known (see tests/donnees/carte/atteinte): finer
// groups (8 px squares, 50 ms of jump delay) change no answer there, nor on
// the shipped level, at eight times the cost. The states kept, and every
// step simulated from them, stay exact: no position or speed is ever changed
// by the rounding; only the choice of which states to explore is.
// A state standing still, whose every step with no key held leaves it as it
// is, may also wait until a jump in the air is allowed: that state is added.
//
// Life is set to full before each step: cumulative damage and life bonuses
// are not followed, so a fall kills only when one fall takes all the life.
// The fall height is therefore compared only where a fall from there could
// still be deadly. Bonuses are not taken during the search (the level stays
// as loaded).
#include "AtteinteReference.h"

#include "analyse/Contexte.h"
#include "outils/Horloge.h"
#include "perso/CalculPerso.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <exception>

namespace AtteinteReference
{
    using namespace AnalyseCarte;

    namespace
    {
        const int CoteGroupe = 32;       // px, side of a group's square
        const int TrancheDelai = 250;    // ms, rounding of the jump delay
        const int PasMax = 16;           // steps a key combination is held at most
        const int DelaiSaut = 1000;      // ms between two jumps not from the ground
        const int Pas = 5;               // ms of one movement step
        const Uint32 Temps = 1000000;    // the frozen clock of every step
        const int ChuteMortelle = 3584;  // px: one fall from full life kills

        enum : unsigned
        {
            Haut = 1u << CPerso::ToucheHaut,
            Bas = 1u << CPerso::ToucheBas,
            Gauche = 1u << CPerso::ToucheGauche,
            Droite = 1u << CPerso::ToucheDroite
        };
        // The first three are the combinations without up.
        const unsigned CombinaisonsLibre[] = {0, Gauche, Droite, Haut, Haut | Gauche, Haut | Droite};
        const unsigned CombinaisonsAccroche[] = {0,    Bas,          Bas | Gauche, Bas | Droite,
                                                 Haut, Haut | Gauche, Haut | Droite};

        const uint32_t Aucun = 0xFFFFFFFFu;

        // Division rounding down, also for the few negative positions at the
        // map's left and top edges.
        int32_t Plancher(long long a, long long b)
        {
            long long q = a / b;
            if ((a % b != 0) && ((a < 0) != (b < 0)))
                --q;
            return static_cast<int32_t>(q);
        }

        int16_t ArrondiVitesse(double v)
        {
            const double q = std::floor(v + 0.5);
            if (!(q == q))
                return 0;
            if (q > 30000)
                return 30000;
            if (q < -30000)
                return -30000;
            return static_cast<int16_t>(q);
        }

        // Horizontal speed class: still, under 1 px per step, 1 to 2, 2 and
        // more (with the sign). Speeds of one class move the character alike.
        int8_t ClasseVX(double v)
        {
            if (v == 0.0)
                return 0;
            const double a = std::fabs(v);
            const int8_t c = a < 1.0 ? 1 : (a < 2.0 ? 2 : 3);
            return v < 0 ? static_cast<int8_t>(-c) : c;
        }

        struct Groupe
        {
            int32_t CX;
            int32_t CY;
            int16_t VY;
            int8_t Etat;
            int8_t Delai;
            int8_t VX; // not part of the group: a change of it also ends a held combination

            bool operator==(const Groupe& g) const
            {
                return CX == g.CX && CY == g.CY && VY == g.VY && Etat == g.Etat && Delai == g.Delai && VX == g.VX;
            }
        };

        struct Noeud
        {
            int32_t X;
            int32_t Y;
            double VX;
            double VY;
            int32_t DebutChute;
            int16_t Delai;    // ms before a jump in the air is allowed, 0 to 1000
            int8_t Etat;
            uint8_t Touches;  // keys held from the parent state to this one
            uint8_t Pas;      // for that many steps
            uint32_t Suivant; // next state kept in the same square
            uint32_t Parent;  // the state this one was reached from
            Groupe G;
        };

        Groupe GroupeDe(int32_t x, int32_t y, double vx, double vy, int etat, int delai)
        {
            Groupe g;
            g.VX = ClasseVX(vx);
            g.CX = Plancher(x, CoteGroupe);
            g.CY = Plancher(y, CoteGroupe);
            g.VY = ArrondiVitesse(vy);
            g.Etat = static_cast<int8_t>(etat);
            g.Delai = static_cast<int8_t>((delai + TrancheDelai - 1) / TrancheDelai);
            return g;
        }

        // The table is keyed by the group without its jump delay: the states
        // of one square with a shorter delay count for those with a longer one.
        bool MemeCarre(const Groupe& a, const Groupe& b)
        {
            return a.CX == b.CX && a.CY == b.CY && a.VY == b.VY && a.Etat == b.Etat;
        }

        uint64_t Hacher(const Groupe& g)
        {
            uint64_t h = static_cast<uint32_t>(g.CX);
            h = h * 0x9E3779B97F4A7C15ull ^ static_cast<uint32_t>(g.CY);
            h = h * 0x9E3779B97F4A7C15ull ^ static_cast<uint16_t>(g.VY);
            h = h * 0x9E3779B97F4A7C15ull ^ static_cast<uint8_t>(g.Etat);
            h ^= h >> 29;
            h *= 0xBF58476D1CE4E5B9ull;
            h ^= h >> 32;
            return h;
        }

        // The states kept, in the order found (which is also the order in
        // which they are explored), and a table from square to the last state
        // kept there.
        class Ensemble
        {
        public:
            Ensemble(size_t max, long long seuilChute) : max_(max), seuilChute_(seuilChute), table_(1u << 12, Aucun) {}

            size_t Taille() const { return noeuds_.size(); }
            const Noeud& operator[](size_t i) const { return noeuds_[i]; }
            // A new state had to be left out because the set was full.
            bool Deborde() const { return deborde_; }

            // Keeps the state unless the states of its square already span it,
            // or the set is full.
            void Ajouter(Noeud n)
            {
                if ((noeuds_.size() + 1) * 2 > table_.size())
                    Agrandir();
                size_t i = static_cast<size_t>(Hacher(n.G)) & (table_.size() - 1);
                uint32_t tete = Aucun;
                for (;; i = (i + 1) & (table_.size() - 1))
                {
                    tete = table_[i];
                    if (tete == Aucun || MemeCarre(noeuds_[tete].G, n.G))
                        break;
                }
                if (tete != Aucun && Couvert(tete, n))
                    return;
                if (noeuds_.size() >= max_)
                {
                    deborde_ = true;
                    return;
                }
                n.Suivant = tete;
                table_[i] = static_cast<uint32_t>(noeuds_.size());
                noeuds_.push_back(n);
            }

        private:
            long long Chute(const Noeud& n) const
            {
                const long long h = static_cast<long long>(n.Y) - n.DebutChute;
                return h < seuilChute_ ? seuilChute_ : h;
            }

            bool Couvert(uint32_t tete, const Noeud& n) const
            {
                int32_t x0 = INT32_MAX;
                int32_t x1 = INT32_MIN;
                int32_t y0 = INT32_MAX;
                double v0 = 0.0;
                double v1 = 0.0;
                bool un = false;
                const long long chute = Chute(n);
                for (uint32_t k = tete; k != Aucun; k = noeuds_[k].Suivant)
                {
                    const Noeud& e = noeuds_[k];
                    if (e.G.Delai > n.G.Delai || Chute(e) > chute)
                        continue;
                    x0 = std::min(x0, e.X);
                    x1 = std::max(x1, e.X);
                    y0 = std::min(y0, e.Y);
                    v0 = un ? std::min(v0, e.VX) : e.VX;
                    v1 = un ? std::max(v1, e.VX) : e.VX;
                    un = true;
                }
                return un && n.X >= x0 && n.X <= x1 && n.Y >= y0 && n.VX >= v0 && n.VX <= v1;
            }

            void Agrandir()
            {
                std::vector<uint32_t> table(table_.size() * 2, Aucun);
                for (const uint32_t tete : table_)
                {
                    if (tete == Aucun)
                        continue;
                    size_t i = static_cast<size_t>(Hacher(noeuds_[tete].G)) & (table.size() - 1);
                    while (table[i] != Aucun)
                        i = (i + 1) & (table.size() - 1);
                    table[i] = tete;
                }
                table_.swap(table);
            }

            size_t max_;
            long long seuilChute_;
            bool deborde_ = false;
            std::vector<Noeud> noeuds_;
            std::vector<uint32_t> table_;
        };

        // Cell of a pixel coordinate, the division truncating toward zero as
        // the game's does.
        int Case(long long pixel)
        {
            return static_cast<int>(pixel / CMap::TailleCase);
        }

        void Marquer(ResultatAtteinte& r, int x, int y)
        {
            const size_t h = static_cast<size_t>(r.Hauteur);
            const int c = Case(x);
            const int l = Case(y);
            if (c >= 0 && l >= 0 && c < r.Largeur && l < r.Hauteur)
                r.Coin[static_cast<size_t>(c) * h + static_cast<size_t>(l)] = 1;
            int c0 = Case(static_cast<long long>(x) + 6);
            int c1 = Case(static_cast<long long>(x) + 57);
            int l0 = Case(static_cast<long long>(y) + 4);
            int l1 = Case(static_cast<long long>(y) + 61);
            c0 = std::max(c0, 0);
            l0 = std::max(l0, 0);
            c1 = std::min(c1, r.Largeur - 1);
            l1 = std::min(l1, r.Hauteur - 1);
            for (int cc = c0; cc <= c1; ++cc)
                for (int ll = l0; ll <= l1; ++ll)
                    r.Boite[static_cast<size_t>(cc) * h + static_cast<size_t>(ll)] = 1;
        }

        // The keys held from the start to state i.
        std::vector<TouchesTenues> Chemin(const Ensemble& ensemble, uint32_t i)
        {
            std::vector<TouchesTenues> chemin;
            for (uint32_t k = i; k != Aucun && ensemble[k].Parent != Aucun; k = ensemble[k].Parent)
            {
                TouchesTenues t;
                for (int b = 0; b < 4; ++b)
                    t.Touches[b] = ((ensemble[k].Touches >> b) & 1u) != 0;
                t.Pas = ensemble[k].Pas;
                chemin.push_back(t);
            }
            std::reverse(chemin.begin(), chemin.end());
            return chemin;
        }

        Noeud EtatDe(const CPerso& p)
        {
            long long delai = CalculPerso::Ecart(p.ProchainSaut, Temps);
            delai = std::min<long long>(std::max<long long>(delai, 0), DelaiSaut);
            Noeud n{};
            n.X = p.PosX;
            n.Y = p.PosY;
            n.VX = p.VitesseX;
            n.VY = p.VitesseY;
            n.DebutChute = p.DebutChute;
            n.Delai = static_cast<int16_t>(delai);
            n.Etat = static_cast<int8_t>(p.Etat);
            n.Suivant = Aucun;
            n.Parent = Aucun;
            n.G = GroupeDe(n.X, n.Y, n.VX, n.VY, n.Etat, n.Delai);
            return n;
        }
    }

    ResultatAtteinte Explorer(const OptionsAtteinte& options)
    {
        using Montre = std::chrono::steady_clock;
        const Montre::time_point debut = Montre::now();

        ResultatAtteinte r;
        r.Largeur = LargeurEffective();
        r.Hauteur = HauteurEffective();
        const size_t cellules = static_cast<size_t>(r.Largeur) * static_cast<size_t>(r.Hauteur);
        try
        {
            r.Coin.assign(cellules, 0);
            r.Boite.assign(cellules, 0);
            if (cellules == 0)
            {
                r.Complete = true;
                return r;
            }

            // Below this height no fall can kill: every fall of the level ends
            // within its grid.
            const long long seuilChute = ChuteMortelle - static_cast<long long>(CMap::TailleCase) * (r.Hauteur + 2);
            Ensemble ensemble(options.EtatsMax > 0 ? options.EtatsMax : 1, seuilChute);

            Horloge::FixerTemps(Temps);
            CPerso p;
            p.PosX = Map.ReturnPosDebutX();
            p.PosY = Map.ReturnPosDebutY();
            p.DebutChute = p.PosY;
            p.Etat = CPerso::Immobile;
            p.VitesseX = 0.0;
            p.VitesseY = 0.0;
            p.ProchainSaut = Temps;
            Marquer(r, p.PosX, p.PosY);
            ensemble.Ajouter(EtatDe(p));
            const bool cible = options.CibleColonne >= 0 && options.CibleLigne >= 0;
            auto Arrivee = [&](const CPerso& q) {
                return cible && Case(q.PosX) == options.CibleColonne && Case(q.PosY) == options.CibleLigne;
            };
            if (Arrivee(p))
                r.CibleAtteinte = true;

            for (size_t i = 0; i < ensemble.Taille() && !r.CibleAtteinte; ++i)
            {
                if ((i & 1023) == 0)
                {
                    const double ecoule = std::chrono::duration<double>(Montre::now() - debut).count();
                    if (ecoule > options.SecondesMax)
                    {
                        r.BorneTemps = true;
                        break;
                    }
                }
                const Noeud n = ensemble[i];
                const bool accroche = n.Etat == CPerso::Accroche;
                const unsigned* combinaisons = accroche ? CombinaisonsAccroche : CombinaisonsLibre;
                size_t nombre = accroche ? sizeof CombinaisonsAccroche / sizeof(unsigned)
                                         : sizeof CombinaisonsLibre / sizeof(unsigned);
                if (n.Etat == CPerso::EnLAir && n.Delai > 0)
                    nombre = 3;
                for (size_t k = 0; k < nombre; ++k)
                {
                    const unsigned touches = combinaisons[k];
                    p.PosX = n.X;
                    p.PosY = n.Y;
                    p.VitesseX = n.VX;
                    p.VitesseY = n.VY;
                    p.Etat = n.Etat;
                    p.DebutChute = n.DebutChute;
                    // The previous step ran 5 ms before this one.
                    p.ProchainSaut = Temps - Pas + static_cast<Uint32>(n.Delai);
                    for (int t = 0; t < 4; ++t)
                        p.Touches[t] = ((touches >> t) & 1u) != 0;
                    bool mort = false;
                    Noeud suivant{};
                    for (int j = 0; j < PasMax; ++j)
                    {
                        if (j > 0)
                            p.ProchainSaut -= Pas; // the clock stands still: move the delay
                        p.Vie = p.VieMax;
                        p.CalcDepl();
                        ++r.Pas;
                        Marquer(r, p.PosX, p.PosY);
                        if (Arrivee(p))
                        {
                            r.CibleAtteinte = true;
                            r.Chemin = Chemin(ensemble, static_cast<uint32_t>(i));
                            TouchesTenues fin;
                            for (int t = 0; t < 4; ++t)
                                fin.Touches[t] = p.Touches[t];
                            fin.Pas = j + 1;
                            r.Chemin.push_back(fin);
                            break;
                        }
                        if (p.Etat != CPerso::Mort)
                            p.VerifieMort();
                        if (p.Etat == CPerso::Mort)
                        {
                            mort = true;
                            break;
                        }
                        suivant = EtatDe(p);
                        suivant.Touches = static_cast<uint8_t>(touches);
                        suivant.Pas = static_cast<uint8_t>(j + 1);
                        suivant.Parent = static_cast<uint32_t>(i);
                        if (!(suivant.G == n.G))
                            break;
                    }
                    if (r.CibleAtteinte)
                        break;
                    if (mort)
                        continue;
                    // Once the set is full, new states are left out, but every
                    // state kept is still explored.
                    ensemble.Ajouter(suivant);
                    if (touches == 0 && suivant.X == n.X && suivant.Y == n.Y && suivant.VX == n.VX &&
                        suivant.VY == n.VY && suivant.Etat == n.Etat && suivant.DebutChute == n.DebutChute &&
                        suivant.Delai > 0)
                    {
                        // Standing still: it may as well wait for the jump delay to run out.
                        suivant.Pas = static_cast<uint8_t>(std::min(255, suivant.Pas + suivant.Delai / Pas));
                        suivant.Delai = 0;
                        suivant.G = GroupeDe(suivant.X, suivant.Y, suivant.VX, suivant.VY, suivant.Etat, 0);
                        ensemble.Ajouter(suivant);
                    }
                }
            }
            r.Etats = ensemble.Taille();
            r.BorneEtats = ensemble.Deborde();
            r.Complete = !r.BorneEtats && !r.BorneTemps;
        }
        catch (const std::exception&)
        {
            // Out of memory: what was explored so far stands, incomplete.
            r.Complete = false;
            r.BorneEtats = true;
            if (r.Coin.size() != cellules || r.Boite.size() != cellules)
            {
                r.Coin.clear();
                r.Boite.clear();
                r.Largeur = 0;
                r.Hauteur = 0;
            }
        }
        r.Millisecondes = std::chrono::duration<double, std::milli>(Montre::now() - debut).count();
        return r;
    }
}
