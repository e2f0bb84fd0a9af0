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
//   - the states are kept in EnsembleEtats.h: each square keeps, per class
//     of jump delay, the span (x, y, horizontal speed) of its states whose
//     fall cannot kill (nearly all of them) together with the shorter
//     classes; only the others are walked one by one when a new state is
//     tested; the squares are found in a flat table that holds a few bits of
//     their hash beside their index;
//   - a step that leaves the character exactly as it was (position, speeds,
//     state, fall height, life), with up not held, is a fixed point: the
//     next steps with the same keys would do the same, so only the jump delay
//     is counted down, without running them;
//   - a second thread (kept for the whole search, started only when a core
//     is free for it) takes slices of the kept states not yet explored, in
//     their order, and simulates them as soon as they are kept, while the
//     main thread adds the states found in the order of the states they
//     came from, exactly as one thread would add them, and simulates slices
//     itself whenever the next result is not ready; a state the other thread
//     holds for longer than a state takes (that thread waiting for a core)
//     it simulates itself. The threads only read the level and the kept
//     states (which never move); a step that could kill by a fall (the game
//     then asks the engine for a fade, a shared global) is left to the main
//     thread, which runs the whole state again. Each thread marks the cells
//     it saw in its own grids and notes the state that marked a cell first:
//     a search stopped at a target keeps only the marks of the states
//     explored up to it, as one thread exploring in order would.
#include "Atteignable.h"

#include "Coeurs.h"
#include "Contexte.h"
#include "EnsembleEtats.h"
#include "outils/Horloge.h"
#include "perso/CalculPerso.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <exception>
#include <memory>
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
        const int PasMax = 16;           // steps a key combination is held at most
        const int DelaiSaut = 1000;      // ms between two jumps not from the ground
        const int Pas = 5;               // ms of one movement step
        const Uint32 Temps = 1000000;    // the frozen clock of every step
        const int ChuteMortelle = 3584;  // px: one fall from full life kills
        const int ChuteSansDegat = 384;  // px: a longer fall costs life
        const int DegatParCase = 20;     // life per 64 px beyond it
        const size_t Anneau = 2048;      // results waiting to be added, at most, with two threads
        const size_t AnneauSeul = 16;    // and with one (kept in the cache)
        const size_t Tranche = 8;        // states a thread takes at a time
        const int Patience = 5;          // us the main thread waits for a state in the other's hands

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

        // Cell of a pixel coordinate, the division truncating toward zero as
        // the game's does.
        int Case(long long pixel)
        {
            return static_cast<int>(pixel / CMap::TailleCase);
        }

        // The cells one thread saw the character in, and for each cell it
        // marked first, the state being explored then.
        class Marques
        {
        public:
            Marques(std::vector<unsigned char>& coin, std::vector<unsigned char>& boite, int largeur, int hauteur)
                : coin_(coin), boite_(boite), largeur_(largeur), hauteur_(hauteur)
            {
            }

            // The state whose steps are marked from now on.
            void Explorer(uint32_t etat) { etat_ = etat; }

            void Marquer(int x, int y)
            {
                // Most steps stay within the cells of the step before.
                if (x >= x0_ && x <= x1_ && y >= y0_ && y <= y1_)
                    return;
                const int c = Case(x);
                const int l = Case(y);
                const int c0 = std::max(Case(static_cast<long long>(x) + 6), 0);
                const int c1 = std::min(Case(static_cast<long long>(x) + 57), largeur_ - 1);
                const int l0 = std::max(Case(static_cast<long long>(y) + 4), 0);
                const int l1 = std::min(Case(static_cast<long long>(y) + 61), hauteur_ - 1);
                const size_t h = static_cast<size_t>(hauteur_);
                if (c >= 0 && l >= 0 && c < largeur_ && l < hauteur_)
                    Noter(coin_, static_cast<size_t>(c) * h + static_cast<size_t>(l), false);
                for (int cc = c0; cc <= c1; ++cc)
                    for (int ll = l0; ll <= l1; ++ll)
                        Noter(boite_, static_cast<size_t>(cc) * h + static_cast<size_t>(ll), true);
                // The positions that give these same cells.
                Meme(x, 6, 57, x0_, x1_);
                Meme(y, 4, 61, y0_, y1_);
            }

            // Marks in `coin` and `boite` the cells this thread marked first
            // while exploring the states up to `dernier`.
            void Rejouer(uint32_t dernier, std::vector<unsigned char>& coin, std::vector<unsigned char>& boite) const
            {
                for (const Premiere& p : premieres_)
                    if (p.Etat <= dernier)
                        (p.Boite ? boite : coin)[p.Cellule] = 1;
            }

        private:
            struct Premiere
            {
                size_t Cellule;
                uint32_t Etat;
                bool Boite;
            };

            // The pixels around v in v's cell: [bas, haut] (the division
            // truncating toward zero, cell 0 spans -63 to 63).
            static void Cellule(long long v, long long& bas, long long& haut)
            {
                const long long q = v / CMap::TailleCase;
                bas = q > 0 ? q * CMap::TailleCase : (q == 0 ? 1 - CMap::TailleCase : q * CMap::TailleCase + 1 - CMap::TailleCase);
                haut = q > 0 ? q * CMap::TailleCase + CMap::TailleCase - 1 : (q == 0 ? CMap::TailleCase - 1 : q * CMap::TailleCase);
            }

            // The coordinates around v for which v, v + a and v + b all stay in their cells.
            static void Meme(int v, int a, int b, long long& bas, long long& haut)
            {
                long long b0 = 0, h0 = 0, b1 = 0, h1 = 0, b2 = 0, h2 = 0;
                Cellule(v, b0, h0);
                Cellule(static_cast<long long>(v) + a, b1, h1);
                Cellule(static_cast<long long>(v) + b, b2, h2);
                bas = std::max(b0, std::max(b1 - a, b2 - b));
                haut = std::min(h0, std::min(h1 - a, h2 - b));
            }

            void Noter(std::vector<unsigned char>& grille, size_t cellule, bool boite)
            {
                if (grille[cellule] != 0)
                    return;
                premieres_.push_back(Premiere{cellule, etat_, boite});
                grille[cellule] = 1;
            }

            std::vector<unsigned char>& coin_;
            std::vector<unsigned char>& boite_;
            int largeur_;
            int hauteur_;
            // No position yet: an empty range.
            long long x0_ = 1;
            long long x1_ = 0;
            long long y0_ = 1;
            long long y1_ = 0;
            uint32_t etat_ = 0;
            std::vector<Premiere> premieres_;
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
                if (CibleColonne < 0 && (Cibles == nullptr || Cibles->empty()))
                    return false;
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

        int DelaiDe(const CPerso& p)
        {
            const long long delai = CalculPerso::Ecart(p.ProchainSaut, Temps);
            return static_cast<int>(std::min<long long>(std::max<long long>(delai, 0), DelaiSaut));
        }

        Noeud EtatDe(const CPerso& p, const Regles& regles)
        {
            Noeud n{};
            n.X = p.PosX;
            n.Y = p.PosY;
            n.VX = p.VitesseX;
            n.VY = p.VitesseY;
            n.DebutChute = p.DebutChute;
            n.Vie = regles.VieDe(p);
            n.Delai = static_cast<int16_t>(DelaiDe(p));
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
            marques.Explorer(i);
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
                int pas = 0;
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
                    pas = j + 1;
                    if (!(GroupeDe(p.PosX, p.PosY, p.VitesseX, p.VitesseY, p.Etat, DelaiDe(p)) == n.G))
                        break;
                }
                if (mort)
                    continue;
                Noeud& suivant = issue.Enfants[issue.Nombre++];
                suivant = EtatDe(p, regles);
                suivant.Touches = static_cast<uint8_t>(touches);
                suivant.Pas = static_cast<uint8_t>(pas);
                suivant.Parent = i;
                if (touches == 0 && suivant.X == n.X && suivant.Y == n.Y && suivant.VX == n.VX &&
                    suivant.VY == n.VY && suivant.Etat == n.Etat && suivant.DebutChute == n.DebutChute &&
                    suivant.Delai > 0)
                {
                    // Standing still: it may as well wait for the jump delay to run out.
                    Noeud& attente = issue.Enfants[issue.Nombre++];
                    attente = suivant;
                    attente.Pas = static_cast<uint8_t>(std::min(255, attente.Pas + attente.Delai / Pas));
                    attente.Delai = 0;
                    attente.G = GroupeDe(attente.X, attente.Y, attente.VX, attente.VY, attente.Etat, 0);
                }
            }
        }

        // The states to explore, shared by the threads: each takes the next
        // states kept and not yet explored, a few at a time, and leaves their
        // results in a ring that the main thread empties in order.
        class Chantier
        {
        public:
            // `capacite`: results the ring holds (a power of two).
            explicit Chantier(size_t capacite)
                : capacite_(capacite), issues_(capacite), faits_(new std::atomic<size_t>[capacite])
            {
                for (size_t k = 0; k < capacite_; ++k)
                    faits_[k].store(SIZE_MAX, std::memory_order_relaxed);
            }

            // The states below `taille` are kept and may be explored.
            void Publier(size_t taille) { publies_.store(taille); }
            // The results of the states below `etat` have been added.
            void Consommer(size_t etat) { consommes_.store(etat); }
            void Finir() { fin_.store(true); }
            bool Fini() const { return fin_.load(); }

            // Takes the next few states to explore, [debut, fin), if some are
            // kept and have room in the ring. The second thread says first which state it may be
            // about to take (`aide`): nobody takes a state whose place in the
            // ring it could still be writing to.
            bool Prendre(size_t& debut, size_t& fin, bool aide)
            {
                size_t k = prochain_.load();
                for (;;)
                {
                    if (aide)
                        enCours_.store(k);
                    const size_t limite = std::min(publies_.load(), std::min(consommes_.load(), enCours_.load()) + capacite_);
                    if (k >= limite)
                        return false;
                    const size_t k1 = std::min(limite, k + Tranche);
                    if (prochain_.compare_exchange_weak(k, k1))
                    {
                        debut = k;
                        fin = k1;
                        return true;
                    }
                }
            }
            // The main thread explored `etat` itself without taking it (its
            // place in the ring held by the other thread's older work):
            // nobody may take it, nor anything before it, any more.
            void Passer(size_t etat)
            {
                size_t k = prochain_.load();
                while (k <= etat && !prochain_.compare_exchange_weak(k, etat + 1))
                {
                }
            }
            // The second thread has nothing in hand.
            void Libre() { enCours_.store(SIZE_MAX - Anneau); }

            Issue& Place(size_t etat) { return issues_[etat & (capacite_ - 1)]; }
            void Fait(size_t etat) { faits_[etat & (capacite_ - 1)].store(etat, std::memory_order_release); }
            bool Pret(size_t etat) const
            {
                return faits_[etat & (capacite_ - 1)].load(std::memory_order_acquire) == etat;
            }

        private:
            size_t capacite_;
            std::vector<Issue> issues_;
            std::unique_ptr<std::atomic<size_t>[]> faits_;
            // Each on a line of its own: the threads write them often.
            alignas(64) std::atomic<size_t> prochain_{0};
            alignas(64) std::atomic<size_t> publies_{0};
            alignas(64) std::atomic<size_t> consommes_{0};
            alignas(64) std::atomic<size_t> enCours_{SIZE_MAX - Anneau};
            alignas(64) std::atomic<bool> fin_{false};
        };

        // The second thread: explores the next states kept until the search ends.
        void Aider(Chantier& chantier, const Ensemble& ensemble, const Regles& regles, CPerso& p, Marques& marques)
        {
            unsigned attentes = 0;
            while (!chantier.Fini())
            {
                size_t debut = 0;
                size_t fin = 0;
                if (chantier.Prendre(debut, fin, true))
                {
                    attentes = 0;
                    for (size_t k = debut; k < fin; ++k)
                    {
                        Issue& issue = chantier.Place(k);
                        try
                        {
                            Developper(ensemble[k], static_cast<uint32_t>(k), regles, false, p, marques, issue);
                        }
                        catch (const std::exception&)
                        {
                            // Out of memory for its marks: the main thread runs it again.
                            issue.Serie = true;
                        }
                        chantier.Fait(k);
                    }
                    continue;
                }
                chantier.Libre();
                if (++attentes < 64)
                    std::this_thread::yield();
                else
                    // Nothing to take for a while (the start, the end, or the
                    // main thread held up): give the core away.
                    std::this_thread::sleep_for(std::chrono::microseconds(50));
            }
        }

        // Joins the second thread however the search ends.
        struct Equipe
        {
            Chantier& Travail;
            std::thread Fil;
            ~Equipe()
            {
                Travail.Finir();
                if (Fil.joinable())
                    Fil.join();
            }
        };
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
            Ensemble ensemble(options.EtatsMax, seuilChute, p.VieMax);

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

            const bool deux = FilsVoulus(options.Fils) > 1;
            Chantier chantier(deux ? Anneau : AnneauSeul);
            chantier.Publier(ensemble.Taille());
            // The second thread's marks, joined to the result at the end.
            std::vector<unsigned char> coinFil;
            std::vector<unsigned char> boiteFil;
            std::unique_ptr<Marques> marquesFil;
            CPerso pFil = p;
            Equipe equipe{chantier, std::thread()};
            if (deux)
            {
                coinFil.assign(cellules, 0);
                boiteFil.assign(cellules, 0);
                marquesFil.reset(new Marques(coinFil, boiteFil, r.Largeur, r.Hauteur));
                try
                {
                    equipe.Fil = std::thread(Aider, std::ref(chantier), std::cref(ensemble), std::cref(regles),
                                             std::ref(pFil), std::ref(*marquesFil));
                }
                catch (const std::system_error&)
                {
                    // No second thread: this one does it all.
                }
            }

            // The state the search stopped at, with a target reached.
            uint32_t arret = Aucun;
            Montre::time_point attente;
            std::unique_ptr<Issue> propre_(new Issue);
            Issue& propre = *propre_;
            for (size_t i = 0; i < ensemble.Taille() && !r.CibleAtteinte;)
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
                bool repris = false;
                if (!chantier.Pret(i))
                {
                    chantier.Publier(ensemble.Taille());
                    chantier.Consommer(i);
                    size_t a = 0;
                    size_t b = 0;
                    if (chantier.Prendre(a, b, false))
                    {
                        for (size_t k = a; k < b; ++k)
                        {
                            Developper(ensemble[k], static_cast<uint32_t>(k), regles, true, p, marques,
                                       chantier.Place(k));
                            chantier.Fait(k);
                        }
                        continue;
                    }
                    // The second thread has it in hand: a state takes a
                    // microsecond or two; when it takes longer, that thread
                    // may be waiting for a core, and this one explores the
                    // state itself rather than wait (the other's result is
                    // then left unread).
                    if (attente == Montre::time_point())
                        attente = Montre::now();
                    if (Montre::now() - attente < std::chrono::microseconds(Patience))
                        continue;
                    chantier.Passer(i);
                    Developper(ensemble[i], static_cast<uint32_t>(i), regles, true, p, marques, propre);
                    repris = true;
                }
                attente = Montre::time_point();
                Issue& issue = repris ? propre : chantier.Place(i);
                if (issue.Serie)
                    Developper(ensemble[i], static_cast<uint32_t>(i), regles, true, p, marques, issue);
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
                    r.Chemin = Chemin(ensemble, static_cast<uint32_t>(i));
                    TouchesTenues fin;
                    for (int t = 0; t < 4; ++t)
                        fin.Touches[t] = ((issue.Touches >> t) & 1u) != 0;
                    fin.Pas = issue.PasFin;
                    r.Chemin.push_back(fin);
                    arret = static_cast<uint32_t>(i);
                }
                ++i;
                // Told to the other thread a few states at a time: each
                // telling moves a line of memory from one core to the other.
                if (i % Tranche == 0)
                {
                    chantier.Publier(ensemble.Taille());
                    chantier.Consommer(i);
                }
            }
            chantier.Finir();
            if (equipe.Fil.joinable())
                equipe.Fil.join();

            if (arret != Aucun)
            {
                // Only what the states up to the target marked.
                std::fill(r.Coin.begin(), r.Coin.end(), 0);
                std::fill(r.Boite.begin(), r.Boite.end(), 0);
                marques.Rejouer(arret, r.Coin, r.Boite);
                if (marquesFil)
                    marquesFil->Rejouer(arret, r.Coin, r.Boite);
            }
            else
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
