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
// as loaded). A route (Route.h) asks for the life to be followed instead: then
// a state is covered only by states with as much life or more, and every fall
// beyond the height that costs life counts.
//
// Speed. The answers depend only on which states are kept and in which order,
// so what follows changes the cost and nothing else:
//   - each square keeps, per class of jump delay, the span (x, y, horizontal
//     speed) of its states whose fall cannot kill (nearly all of them); only
//     the others are walked one by one when a new state is tested;
//   - a step that leaves the character exactly as it was (position, speeds,
//     state, fall height, life), with up not held, is a fixed point: the
//     next steps with the same keys would do the same, so only the jump delay
//     is counted down, without running them;
//   - the kept states are explored in batches; a second thread (kept for the
//     whole search) simulates part of each batch, taking slices as it goes,
//     and the states found are then added in the order of the
//     states they came from, exactly as one thread would add them. The
//     threads only read the level; a step that could kill by a fall (the
//     game then asks the engine for a fade, a shared global) is left to the
//     main thread, which runs it after the batch.
#include "Atteignable.h"

#include "Contexte.h"
#include "outils/Horloge.h"
#include "perso/CalculPerso.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace AnalyseCarte
{
    bool ResultatAtteinte::CoinVisite(int colonne, int ligne) const
    {
        if (colonne < 0 || ligne < 0 || colonne >= Largeur || ligne >= Hauteur)
            return false;
        return Coin[static_cast<size_t>(colonne) * static_cast<size_t>(Hauteur) + static_cast<size_t>(ligne)] != 0;
    }

    bool ResultatAtteinte::BoiteVisitee(int colonne, int ligne) const
    {
        if (colonne < 0 || ligne < 0 || colonne >= Largeur || ligne >= Hauteur)
            return false;
        return Boite[static_cast<size_t>(colonne) * static_cast<size_t>(Hauteur) + static_cast<size_t>(ligne)] != 0;
    }

    namespace
    {
        const int CoteGroupe = 32;       // px, side of a group's square
        const int TrancheDelai = 250;    // ms, rounding of the jump delay
        const int ClassesDelai = 5;      // 0 (allowed now), then up to 1000 ms by 250
        const int PasMax = 16;           // steps a key combination is held at most
        const int DelaiSaut = 1000;      // ms between two jumps not from the ground
        const int Pas = 5;               // ms of one movement step
        const Uint32 Temps = 1000000;    // the frozen clock of every step
        const int ChuteMortelle = 3584;  // px: one fall from full life kills
        const int ChuteSansDegat = 384;  // px: a longer fall costs life
        const int DegatParCase = 20;     // life per 64 px beyond it
        const size_t TailleLot = 2048;   // states explored per batch
        const size_t LotPartage = 256;   // smaller batches stay on one thread
        const size_t Tranche = 32;       // states a thread takes at a time

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
        const size_t CombinaisonsMax = sizeof CombinaisonsAccroche / sizeof(unsigned);

        const uint32_t Aucun = 0xFFFFFFFFu;

        // Division rounding down, also for the few negative positions at the
        // map's left and top edges.
        int32_t Plancher(long long a, long long b)
        {
            if (a >= 0)
                return static_cast<int32_t>(a / b);
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
            int32_t Vie;
            int16_t Delai;    // ms before a jump in the air is allowed, 0 to 1000
            int8_t Etat;
            uint8_t Touches;  // keys held from the parent state to this one
            uint8_t Pas;      // for that many steps
            uint32_t Suivant; // next state of the square that is walked one by one
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

        // What some states of a square span.
        struct Etendue
        {
            int32_t X0 = 0;
            int32_t X1 = 0;
            int32_t Y0 = 0;
            double V0 = 0.0;
            double V1 = 0.0;
            bool Un = false;

            void Ajouter(const Noeud& e)
            {
                X0 = Un ? std::min(X0, e.X) : e.X;
                X1 = Un ? std::max(X1, e.X) : e.X;
                Y0 = Un ? std::min(Y0, e.Y) : e.Y;
                V0 = Un ? std::min(V0, e.VX) : e.VX;
                V1 = Un ? std::max(V1, e.VX) : e.VX;
                Un = true;
            }
            void Fusionner(const Etendue& e)
            {
                if (!e.Un)
                    return;
                X0 = Un ? std::min(X0, e.X0) : e.X0;
                X1 = Un ? std::max(X1, e.X1) : e.X1;
                Y0 = Un ? std::min(Y0, e.Y0) : e.Y0;
                V0 = Un ? std::min(V0, e.V0) : e.V0;
                V1 = Un ? std::max(V1, e.V1) : e.V1;
                Un = true;
            }
        };

        struct Carre
        {
            Groupe Cle;
            // The span of the ordinary states (see Ensemble), per class of delay.
            Etendue ParDelai[ClassesDelai];
            uint32_t Autres = Aucun; // the others, last kept first
        };

        // The states kept, in the order found (which is also the order in
        // which they are explored), and a table from square to what its
        // states span.
        class Ensemble
        {
        public:
            Ensemble(size_t max, long long seuilChute, int vieMax)
                : max_(max), seuilChute_(seuilChute), vieMax_(vieMax), table_(1u << 12, Aucun)
            {
            }

            size_t Taille() const { return noeuds_.size(); }
            const Noeud& operator[](size_t i) const { return noeuds_[i]; }
            // A new state had to be left out because the set was full.
            bool Deborde() const { return deborde_; }

            // Keeps the state unless the states of its square already span it,
            // or the set is full.
            void Ajouter(Noeud n)
            {
                if ((carres_.size() + 1) * 2 > table_.size())
                    Agrandir();
                size_t i = static_cast<size_t>(Hacher(n.G)) & (table_.size() - 1);
                uint32_t c = Aucun;
                for (;; i = (i + 1) & (table_.size() - 1))
                {
                    c = table_[i];
                    if (c == Aucun || MemeCarre(carres_[c].Cle, n.G))
                        break;
                }
                if (c != Aucun && Couvert(carres_[c], n))
                    return;
                if (noeuds_.size() >= max_)
                {
                    deborde_ = true;
                    return;
                }
                if (c == Aucun)
                {
                    c = static_cast<uint32_t>(carres_.size());
                    carres_.push_back(Carre{n.G, {}, Aucun});
                    table_[i] = c;
                }
                Carre& carre = carres_[c];
                n.Suivant = Aucun;
                if (Ordinaire(n))
                    carre.ParDelai[n.G.Delai].Ajouter(n);
                else
                {
                    n.Suivant = carre.Autres;
                    carre.Autres = static_cast<uint32_t>(noeuds_.size());
                }
                noeuds_.push_back(n);
            }

        private:
            long long Chute(const Noeud& n) const
            {
                const long long h = static_cast<long long>(n.Y) - n.DebutChute;
                return h < seuilChute_ ? seuilChute_ : h;
            }

            // A state whose fall counts for nothing and whose life is full:
            // it covers every new state of its square with as long a delay.
            bool Ordinaire(const Noeud& n) const { return Chute(n) == seuilChute_ && n.Vie >= vieMax_; }

            // Within its square, the states kept with no longer a delay, no
            // longer a fall and no less life span the new one.
            bool Couvert(const Carre& carre, const Noeud& n) const
            {
                Etendue e;
                for (int d = 0; d <= n.G.Delai && d < ClassesDelai; ++d)
                    e.Fusionner(carre.ParDelai[d]);
                const long long chute = Chute(n);
                for (uint32_t k = carre.Autres; k != Aucun; k = noeuds_[k].Suivant)
                {
                    const Noeud& a = noeuds_[k];
                    if (a.G.Delai > n.G.Delai || Chute(a) > chute || a.Vie < n.Vie)
                        continue;
                    e.Ajouter(a);
                }
                return e.Un && n.X >= e.X0 && n.X <= e.X1 && n.Y >= e.Y0 && n.VX >= e.V0 && n.VX <= e.V1;
            }

            void Agrandir()
            {
                std::vector<uint32_t> table(table_.size() * 2, Aucun);
                for (const uint32_t c : table_)
                {
                    if (c == Aucun)
                        continue;
                    size_t i = static_cast<size_t>(Hacher(carres_[c].Cle)) & (table.size() - 1);
                    while (table[i] != Aucun)
                        i = (i + 1) & (table.size() - 1);
                    table[i] = c;
                }
                table_.swap(table);
            }

            size_t max_;
            long long seuilChute_;
            int vieMax_;
            bool deborde_ = false;
            std::vector<Noeud> noeuds_;
            std::vector<Carre> carres_;
            std::vector<uint32_t> table_;
        };

        // Cell of a pixel coordinate, the division truncating toward zero as
        // the game's does.
        int Case(long long pixel)
        {
            return static_cast<int>(pixel / CMap::TailleCase);
        }

        // The cells one thread saw the character in.
        class Marques
        {
        public:
            Marques(std::vector<unsigned char>& coin, std::vector<unsigned char>& boite, int largeur, int hauteur)
                : coin_(coin), boite_(boite), largeur_(largeur), hauteur_(hauteur)
            {
            }

            void Marquer(int x, int y)
            {
                if (x == dernierX_ && y == dernierY_)
                    return;
                dernierX_ = x;
                dernierY_ = y;
                const size_t h = static_cast<size_t>(hauteur_);
                const int c = Case(x);
                const int l = Case(y);
                if (c >= 0 && l >= 0 && c < largeur_ && l < hauteur_)
                    coin_[static_cast<size_t>(c) * h + static_cast<size_t>(l)] = 1;
                const int c0 = std::max(Case(static_cast<long long>(x) + 6), 0);
                const int c1 = std::min(Case(static_cast<long long>(x) + 57), largeur_ - 1);
                const int l0 = std::max(Case(static_cast<long long>(y) + 4), 0);
                const int l1 = std::min(Case(static_cast<long long>(y) + 61), hauteur_ - 1);
                for (int cc = c0; cc <= c1; ++cc)
                    for (int ll = l0; ll <= l1; ++ll)
                        boite_[static_cast<size_t>(cc) * h + static_cast<size_t>(ll)] = 1;
            }

        private:
            std::vector<unsigned char>& coin_;
            std::vector<unsigned char>& boite_;
            int largeur_;
            int hauteur_;
            int dernierX_ = INT32_MIN;
            int dernierY_ = INT32_MIN;
        };

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

        // What the search knows for the whole run.
        struct Regles
        {
            bool SuivreVie = false;
            bool CibleMort = false;
            int CibleColonne = -1;
            int CibleLigne = -1;
            const std::vector<unsigned char>* Cibles = nullptr;
            int Hauteur = 0;

            int VieDe(const CPerso& p) const { return SuivreVie ? p.Vie : p.VieMax; }

            bool Arrivee(const CPerso& p) const
            {
                const int c = Case(p.PosX);
                const int l = Case(p.PosY);
                if (c == CibleColonne && l == CibleLigne && c >= 0 && l >= 0)
                    return true;
                if (Cibles == nullptr || Cibles->empty() || c < 0 || l < 0 || Hauteur <= 0)
                    return false;
                const size_t i = static_cast<size_t>(c) * static_cast<size_t>(Hauteur) + static_cast<size_t>(l);
                return i < Cibles->size() && (*Cibles)[i] != 0 && l < Hauteur;
            }
        };

        Noeud EtatDe(const CPerso& p, const Regles& regles)
        {
            long long delai = CalculPerso::Ecart(p.ProchainSaut, Temps);
            delai = std::min<long long>(std::max<long long>(delai, 0), DelaiSaut);
            Noeud n{};
            n.X = p.PosX;
            n.Y = p.PosY;
            n.VX = p.VitesseX;
            n.VY = p.VitesseY;
            n.DebutChute = p.DebutChute;
            n.Vie = regles.VieDe(p);
            n.Delai = static_cast<int16_t>(delai);
            n.Etat = static_cast<int8_t>(p.Etat);
            n.Suivant = Aucun;
            n.Parent = Aucun;
            n.G = GroupeDe(n.X, n.Y, n.VX, n.VY, n.Etat, n.Delai);
            return n;
        }

        // The game's per-frame death rule (CPerso::VerifieMort) asked without
        // its fade, which a second thread must not request: water under the
        // centre of the square, or no life left.
        bool MeurtIci(CPerso& p)
        {
            return p.Etat != CPerso::Mort &&
                   (Map.DiedAcces(CalculPerso::Somme(p.PosX, 32), CalculPerso::Somme(p.PosY, 32)) || p.Vie <= 0);
        }

        // A landing from this height may kill (the step would then ask the
        // engine for a fade): such a step is run by the main thread.
        bool ChuteRisquee(const CPerso& p, int vie)
        {
            const long long h = static_cast<long long>(p.PosY) - p.DebutChute;
            return h > ChuteSansDegat && (h - ChuteSansDegat) / CMap::TailleCase * DegatParCase >= vie;
        }

        // What exploring one kept state gives.
        struct Issue
        {
            Noeud Enfants[CombinaisonsMax + 1];
            size_t Nombre = 0;
            size_t Pas = 0;
            bool Serie = false;    // left to the main thread
            bool Arrivee = false;  // a target was reached on the way:
            unsigned Touches = 0;  // with these keys
            int PasFin = 0;        // held this many steps
            int Colonne = -1;      // the cell entered, or -1 for a death
            int Ligne = -1;
        };

        // Tries every key combination from state n (index i), as one thread.
        void Developper(const Noeud& n, uint32_t i, const Regles& regles, bool principal, CPerso& p, Marques& marques,
                        Issue& issue)
        {
            issue.Nombre = 0;
            issue.Pas = 0;
            issue.Serie = false;
            issue.Arrivee = false;
            const bool accroche = n.Etat == CPerso::Accroche;
            const unsigned* combinaisons = accroche ? CombinaisonsAccroche : CombinaisonsLibre;
            size_t nombre = accroche ? CombinaisonsMax : sizeof CombinaisonsLibre / sizeof(unsigned);
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
                p.Vie = n.Vie;
                // The previous step ran 5 ms before this one.
                p.ProchainSaut = Temps - Pas + static_cast<Uint32>(n.Delai);
                for (int t = 0; t < 4; ++t)
                    p.Touches[t] = ((touches >> t) & 1u) != 0;
                bool mort = false;
                bool fixe = false;
                Noeud suivant{};
                for (int j = 0; j < PasMax; ++j)
                {
                    if (j > 0)
                        p.ProchainSaut -= Pas; // the clock stands still: move the delay
                    if (!fixe)
                    {
                        if (!regles.SuivreVie)
                            p.Vie = p.VieMax;
                        if (!principal && ChuteRisquee(p, p.Vie))
                        {
                            issue.Serie = true;
                            return;
                        }
                        const int x = p.PosX, y = p.PosY, etat = p.Etat, chute = p.DebutChute, vie = p.Vie;
                        const double vx = p.VitesseX, vy = p.VitesseY;
                        p.CalcDepl();
                        ++issue.Pas;
                        marques.Marquer(p.PosX, p.PosY);
                        if (regles.Arrivee(p))
                        {
                            issue.Arrivee = true;
                            issue.Touches = touches;
                            issue.PasFin = j + 1;
                            issue.Colonne = Case(p.PosX);
                            issue.Ligne = Case(p.PosY);
                            return;
                        }
                        if (MeurtIci(p))
                            p.Etat = CPerso::Mort;
                        if (p.Etat == CPerso::Mort)
                        {
                            if (regles.CibleMort)
                            {
                                issue.Arrivee = true;
                                issue.Touches = touches;
                                issue.PasFin = j + 1;
                                issue.Colonne = -1;
                                issue.Ligne = -1;
                                return;
                            }
                            mort = true;
                            break;
                        }
                        fixe = (touches & Haut) == 0 && p.PosX == x && p.PosY == y && p.Etat == etat &&
                               p.DebutChute == chute && p.Vie == vie && p.VitesseX == vx && p.VitesseY == vy;
                    }
                    suivant = EtatDe(p, regles);
                    suivant.Touches = static_cast<uint8_t>(touches);
                    suivant.Pas = static_cast<uint8_t>(j + 1);
                    suivant.Parent = i;
                    if (!(suivant.G == n.G))
                        break;
                }
                if (mort)
                    continue;
                issue.Enfants[issue.Nombre++] = suivant;
                if (touches == 0 && suivant.X == n.X && suivant.Y == n.Y && suivant.VX == n.VX &&
                    suivant.VY == n.VY && suivant.Etat == n.Etat && suivant.DebutChute == n.DebutChute &&
                    suivant.Delai > 0)
                {
                    // Standing still: it may as well wait for the jump delay to run out.
                    suivant.Pas = static_cast<uint8_t>(std::min(255, suivant.Pas + suivant.Delai / Pas));
                    suivant.Delai = 0;
                    suivant.G = GroupeDe(suivant.X, suivant.Y, suivant.VX, suivant.VY, suivant.Etat, 0);
                    issue.Enfants[issue.Nombre++] = suivant;
                }
            }
        }

        // The second thread, kept for the whole search: it runs `travail`
        // each time it is started, and the caller waits for it to be done.
        class Equipier
        {
        public:
            explicit Equipier(std::function<void()> travail)
                : travail_(std::move(travail)), fil_([this]() { Boucle(); })
            {
            }
            ~Equipier()
            {
                {
                    std::lock_guard<std::mutex> verrou(m_);
                    fin_ = true;
                }
                depart_.notify_one();
                fil_.join();
            }
            Equipier(const Equipier&) = delete;
            Equipier& operator=(const Equipier&) = delete;

            void Lancer()
            {
                {
                    std::lock_guard<std::mutex> verrou(m_);
                    ++demandes_;
                }
                depart_.notify_one();
            }
            void Attendre()
            {
                std::unique_lock<std::mutex> verrou(m_);
                fini_.wait(verrou, [this]() { return faits_ == demandes_; });
            }

        private:
            void Boucle()
            {
                std::unique_lock<std::mutex> verrou(m_);
                for (;;)
                {
                    depart_.wait(verrou, [this]() { return fin_ || faits_ != demandes_; });
                    if (fin_)
                        return;
                    verrou.unlock();
                    travail_();
                    verrou.lock();
                    faits_ = demandes_;
                    fini_.notify_one();
                }
            }

            std::function<void()> travail_;
            std::mutex m_;
            std::condition_variable depart_;
            std::condition_variable fini_;
            unsigned long demandes_ = 0;
            unsigned long faits_ = 0;
            bool fin_ = false;
            std::thread fil_; // last: starts once the rest is ready
        };

        int FilsVoulus(int demandes)
        {
            if (demandes > 0)
                return std::min(demandes, 2);
            return std::thread::hardware_concurrency() >= 2 ? 2 : 1;
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

            Regles regles;
            regles.SuivreVie = options.SuivreVie;
            regles.CibleMort = options.CibleMort;
            regles.CibleColonne = options.CibleColonne >= 0 && options.CibleLigne >= 0 ? options.CibleColonne : -1;
            regles.CibleLigne = regles.CibleColonne >= 0 ? options.CibleLigne : -1;
            regles.Cibles = &options.Cibles;
            regles.Hauteur = r.Hauteur;

            Horloge::FixerTemps(Temps);
            CPerso p;
            // Below this height no fall can kill: every fall of the level ends
            // within its grid. With the life followed, every fall that costs
            // life counts.
            long long seuilChute = ChuteMortelle - static_cast<long long>(CMap::TailleCase) * (r.Hauteur + 2);
            if (options.SuivreVie)
                seuilChute = std::min<long long>(seuilChute, ChuteSansDegat);
            Ensemble ensemble(options.EtatsMax > 0 ? options.EtatsMax : 1, seuilChute, p.VieMax);

            if (options.Depart != nullptr)
            {
                const EtatDepart& d = *options.Depart;
                p.PosX = d.X;
                p.PosY = d.Y;
                p.DebutChute = d.DebutChute;
                p.Etat = d.Etat;
                p.VitesseX = d.VX;
                p.VitesseY = d.VY;
                p.ProchainSaut = Temps + static_cast<Uint32>(std::min(std::max(d.Delai, 0), DelaiSaut));
                p.Vie = d.Vie;
            }
            else
            {
                p.PosX = Map.ReturnPosDebutX();
                p.PosY = Map.ReturnPosDebutY();
                p.DebutChute = p.PosY;
                p.Etat = CPerso::Immobile;
                p.VitesseX = 0.0;
                p.VitesseY = 0.0;
                p.ProchainSaut = Temps;
            }
            Marques marques(r.Coin, r.Boite, r.Largeur, r.Hauteur);
            marques.Marquer(p.PosX, p.PosY);
            ensemble.Ajouter(EtatDe(p, regles));
            if (options.ArriveeAuDepart && regles.Arrivee(p))
            {
                r.CibleAtteinte = true;
                r.ArriveeColonne = Case(p.PosX);
                r.ArriveeLigne = Case(p.PosY);
            }

            // The second thread's marks, joined to the result at the end.
            const int fils = FilsVoulus(options.Fils);
            std::vector<unsigned char> coinFil;
            std::vector<unsigned char> boiteFil;
            if (fils > 1)
            {
                coinFil.assign(cellules, 0);
                boiteFil.assign(cellules, 0);
            }
            Marques marquesFil(coinFil, boiteFil, r.Largeur, r.Hauteur);
            CPerso pFil = p;
            std::vector<Issue> issues(TailleLot);

            // The batch in hand: both threads take slices of it as they go,
            // so that a thread the machine runs late takes fewer.
            size_t i = 0;
            size_t lot = 0;
            std::atomic<size_t> prochain(0);
            auto Tranches = [&](bool principal, CPerso& q, Marques& m) {
                for (;;)
                {
                    const size_t k0 = prochain.fetch_add(Tranche);
                    if (k0 >= lot)
                        return;
                    for (size_t k = k0; k < std::min(lot, k0 + Tranche); ++k)
                        Developper(ensemble[i + k], static_cast<uint32_t>(i + k), regles, principal, q, m, issues[k]);
                }
            };
            std::unique_ptr<Equipier> second;
            if (fils > 1)
            {
                try
                {
                    second.reset(new Equipier([&]() { Tranches(false, pFil, marquesFil); }));
                }
                catch (const std::system_error&)
                {
                    // No second thread: this one does it all.
                }
            }

            for (i = 0; i < ensemble.Taille() && !r.CibleAtteinte;)
            {
                const double ecoule = std::chrono::duration<double>(Montre::now() - debut).count();
                if (ecoule > options.SecondesMax)
                {
                    r.BorneTemps = true;
                    break;
                }
                // Before the first states, a small batch: a near target is found at once.
                lot = std::min(ensemble.Taille() - i, i < TailleLot ? LotPartage : TailleLot);
                if (second && lot >= LotPartage)
                {
                    prochain = 0;
                    second->Lancer();
                    Tranches(true, p, marques);
                    second->Attendre();
                }
                else
                    for (size_t k = 0; k < lot; ++k)
                        Developper(ensemble[i + k], static_cast<uint32_t>(i + k), regles, true, p, marques, issues[k]);

                // The states found, added in the order one thread would add them.
                for (size_t k = 0; k < lot; ++k)
                {
                    Issue& issue = issues[k];
                    if (issue.Serie)
                    {
                        const Noeud n = ensemble[i + k];
                        Developper(n, static_cast<uint32_t>(i + k), regles, true, p, marques, issue);
                    }
                    r.Pas += issue.Pas;
                    // Once the set is full, new states are left out, but every
                    // state kept is still explored.
                    for (size_t e = 0; e < issue.Nombre; ++e)
                        ensemble.Ajouter(issue.Enfants[e]);
                    if (issue.Arrivee)
                    {
                        r.CibleAtteinte = true;
                        r.ParMort = issue.Colonne < 0;
                        r.ArriveeColonne = issue.Colonne;
                        r.ArriveeLigne = issue.Ligne;
                        r.Chemin = Chemin(ensemble, static_cast<uint32_t>(i + k));
                        TouchesTenues fin;
                        for (int t = 0; t < 4; ++t)
                            fin.Touches[t] = ((issue.Touches >> t) & 1u) != 0;
                        fin.Pas = issue.PasFin;
                        r.Chemin.push_back(fin);
                        break;
                    }
                }
                i += lot;
            }
            for (size_t c = 0; c < coinFil.size(); ++c)
            {
                r.Coin[c] = static_cast<unsigned char>(r.Coin[c] | coinFil[c]);
                r.Boite[c] = static_cast<unsigned char>(r.Boite[c] | boiteFil[c]);
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
