#include "AnalyseVivante.h"

#include "Route.h"

#include "map/Map.h"

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace AnalyseCarte
{
    namespace
    {
        const char Signature[8] = {'C', 'O', 'R', 'V', 'A', 'N', 'A', '1'};
        const char Fin[4] = {'F', 'I', 'N', '.'};
        // Read at most this much per poll, so that one frame never spends
        // long copying (while the child lives, the caller's memory is shared
        // with it copy-on-write, and fresh pages cost): a 1000 x 1000
        // level's report (about 1.4 MB) comes in over some twenty frames.
        const size_t LuParSondage = 64u * 1024u;
        // Longest report accepted from a child.
        const size_t RapportMax = 256u * 1024u * 1024u;

        class Ecrivain
        {
        public:
            void Entier(uint64_t v)
            {
                for (int i = 0; i < 8; ++i)
                    octets_.push_back(static_cast<char>((v >> (8 * i)) & 0xFFu));
            }
            void Signe(long long v) { Entier(static_cast<uint64_t>(v)); }
            void Reel(double v)
            {
                uint64_t bits;
                std::memcpy(&bits, &v, sizeof bits);
                Entier(bits);
            }
            void Texte(const std::string& s)
            {
                Entier(s.size());
                octets_ += s;
            }
            void Brut(const char* p, size_t n) { octets_.append(p, n); }
            std::string& Octets() { return octets_; }

        private:
            std::string octets_;
        };

        class Lecteur
        {
        public:
            explicit Lecteur(const std::string& s) : s_(s) {}
            bool Bon() const { return bon_; }
            bool ToutLu() const { return i_ == s_.size(); }
            uint64_t Entier()
            {
                if (!Reste(8))
                    return 0;
                uint64_t v = 0;
                for (int k = 0; k < 8; ++k)
                    v |= static_cast<uint64_t>(static_cast<unsigned char>(s_[i_ + static_cast<size_t>(k)])) << (8 * k);
                i_ += 8;
                return v;
            }
            long long Signe() { return static_cast<long long>(Entier()); }
            // A count of items of at least `taille` bytes each that the rest can hold.
            size_t Nombre(size_t taille)
            {
                const uint64_t n = Entier();
                if (!bon_ || n > (s_.size() - i_) / (taille == 0 ? 1 : taille))
                {
                    bon_ = false;
                    return 0;
                }
                return static_cast<size_t>(n);
            }
            int Petit(long long min, long long max)
            {
                const long long v = Signe();
                if (v < min || v > max)
                    bon_ = false;
                return bon_ ? static_cast<int>(v) : 0;
            }
            double Reel()
            {
                const uint64_t bits = Entier();
                double v;
                std::memcpy(&v, &bits, sizeof v);
                return v;
            }
            // A text straight into a byte vector (the cells of a big level).
            void Octets(std::vector<unsigned char>& v)
            {
                const size_t n = Nombre(1);
                if (!bon_)
                    return;
                const unsigned char* p = reinterpret_cast<const unsigned char*>(s_.data() + i_);
                v.assign(p, p + n);
                i_ += n;
            }
            std::string Texte()
            {
                const size_t n = Nombre(1);
                if (!bon_)
                    return std::string();
                std::string t = s_.substr(i_, n);
                i_ += n;
                return t;
            }
            bool Attendu(const char* p, size_t n)
            {
                if (!Reste(n) || std::memcmp(s_.data() + i_, p, n) != 0)
                {
                    bon_ = false;
                    return false;
                }
                i_ += n;
                return true;
            }

        private:
            bool Reste(size_t n)
            {
                if (!bon_ || s_.size() - i_ < n)
                    bon_ = false;
                return bon_;
            }
            const std::string& s_;
            size_t i_ = 0;
            bool bon_ = true;
        };

        bool EcrireTout(int fd, const std::string& octets)
        {
            size_t fait = 0;
            while (fait < octets.size())
            {
                const ssize_t n = write(fd, octets.data() + fait, octets.size() - fait);
                if (n < 0 && errno == EINTR)
                    continue;
                if (n <= 0)
                    return false;
                fait += static_cast<size_t>(n);
            }
            return true;
        }

        // A bonus of the report, as the bonuses of the level and the ones a
        // route leaves behind are both written.
        void EcrireBonus(Ecrivain& e, const BonusVu& b)
        {
            e.Signe(b.Colonne);
            e.Signe(b.Ligne);
            e.Signe(b.Type);
            e.Signe(static_cast<int>(b.Sort));
            e.Signe(b.LigneTexte);
            e.Signe(b.ColonneTexte);
        }

        BonusVu LireBonus(Lecteur& l)
        {
            BonusVu b;
            b.Colonne = l.Petit(1, CMap::CotesMax);
            b.Ligne = l.Petit(1, CMap::CotesMax);
            b.Type = l.Petit(1, 8);
            b.Sort = static_cast<BonusVu::Etat>(l.Petit(BonusVu::Prenable, BonusVu::Inconnu));
            b.LigneTexte = l.Petit(0, INT32_MAX);
            b.ColonneTexte = l.Petit(0, INT32_MAX);
            return b;
        }

        std::string Secondes(double s)
        {
            char tampon[32];
            std::snprintf(tampon, sizeof tampon, "%g", s);
            return tampon;
        }
    }

    std::string EcrireRapport(const Rapport& rapport)
    {
        Ecrivain e;
        e.Brut(Signature, sizeof Signature);
        e.Entier(rapport.Constats.size());
        for (const Constat& c : rapport.Constats)
        {
            e.Signe(c.Ligne);
            e.Signe(c.Colonne);
            e.Signe(c.CaseColonne);
            e.Signe(c.CaseLigne);
            e.Signe(c.Niveau == Gravite::Note ? 0 : 1);
            e.Texte(c.Genre);
            e.Texte(c.Message);
        }
        e.Entier(rapport.Omis);
        e.Entier(rapport.RechercheLancee ? 1 : 0);
        e.Entier(rapport.RechercheComplete ? 1 : 0);
        e.Entier(rapport.Etats);
        e.Entier(rapport.Pas);
        e.Reel(rapport.Millisecondes);
        e.Signe(rapport.Largeur);
        e.Signe(rapport.Hauteur);
        e.Entier(rapport.Cases.size());
        e.Brut(reinterpret_cast<const char*>(rapport.Cases.data()), rapport.Cases.size());
        e.Entier(rapport.Bonus.size());
        for (const BonusVu& b : rapport.Bonus)
            EcrireBonus(e, b);
        // The route asked for, without its trail.
        const Route* route = rapport.RouteCalculee.get();
        e.Entier(route != nullptr ? 1 : 0);
        if (route != nullptr)
        {
            e.Entier(route->Trouvee ? 1 : 0);
            e.Entier(route->Partielle ? 1 : 0);
            e.Signe(route->CibleColonne);
            e.Signe(route->CibleLigne);
            e.Texte(route->Pourquoi);
            e.Signe(route->Fin);
            e.Entier(route->Changements.size());
            for (const ChangementRoute& c : route->Changements)
            {
                e.Signe(c.Temps);
                e.Signe(c.Touche);
                e.Signe(c.Appuye ? 1 : 0);
            }
            e.Entier(route->Prises.size());
            for (const PriseRoute& p : route->Prises)
            {
                e.Signe(p.Temps);
                e.Signe(p.Colonne);
                e.Signe(p.Ligne);
                e.Signe(p.Type);
            }
            e.Entier(route->Bonus);
            e.Entier(route->Restants.size());
            for (size_t i = 0; i < route->Restants.size(); ++i)
            {
                EcrireBonus(e, route->Restants[i]);
                e.Texte(i < route->RaisonsRestants.size() ? route->RaisonsRestants[i] : std::string());
            }
            e.Entier(route->Recherches);
            e.Entier(route->Etats);
            e.Entier(route->Pas);
            e.Reel(route->Millisecondes);
        }
        e.Brut(Fin, sizeof Fin);
        return std::move(e.Octets());
    }

    bool LireRapport(const std::string& octets, Rapport& rapport)
    {
        try
        {
            Lecteur l(octets);
            Rapport r;
            l.Attendu(Signature, sizeof Signature);
            const size_t constats = l.Nombre(7 * 8);
            for (size_t i = 0; l.Bon() && i < constats; ++i)
            {
                Constat c;
                c.Ligne = l.Petit(0, INT32_MAX);
                c.Colonne = l.Petit(0, INT32_MAX);
                c.CaseColonne = l.Petit(0, CMap::CotesMax);
                c.CaseLigne = l.Petit(0, CMap::CotesMax);
                c.Niveau = l.Petit(0, 1) == 0 ? Gravite::Note : Gravite::Avertissement;
                c.Genre = l.Texte();
                c.Message = l.Texte();
                r.Constats.push_back(std::move(c));
            }
            r.Omis = static_cast<size_t>(l.Entier());
            r.RechercheLancee = l.Petit(0, 1) != 0;
            r.RechercheComplete = l.Petit(0, 1) != 0;
            r.Etats = static_cast<size_t>(l.Entier());
            r.Pas = static_cast<size_t>(l.Entier());
            r.Millisecondes = l.Reel();
            r.Largeur = l.Petit(0, CMap::CotesMax);
            r.Hauteur = l.Petit(0, CMap::CotesMax);
            l.Octets(r.Cases);
            if (!r.Cases.empty() &&
                r.Cases.size() != static_cast<size_t>(r.Largeur) * static_cast<size_t>(r.Hauteur))
                return false;
            const size_t bonus = l.Nombre(6 * 8);
            for (size_t i = 0; l.Bon() && i < bonus; ++i)
                r.Bonus.push_back(LireBonus(l));
            if (l.Petit(0, 1) == 1)
            {
                auto route = std::make_shared<Route>();
                route->Trouvee = l.Petit(0, 1) != 0;
                route->Partielle = l.Petit(0, 1) != 0;
                route->CibleColonne = l.Petit(-1, CMap::CotesMax);
                route->CibleLigne = l.Petit(-1, CMap::CotesMax);
                route->Pourquoi = l.Texte();
                route->Fin = l.Signe();
                const size_t changements = l.Nombre(3 * 8);
                for (size_t i = 0; l.Bon() && i < changements; ++i)
                {
                    ChangementRoute c;
                    c.Temps = l.Signe();
                    c.Touche = l.Petit(0, 3);
                    c.Appuye = l.Petit(0, 1) != 0;
                    route->Changements.push_back(c);
                }
                const size_t prises = l.Nombre(4 * 8);
                for (size_t i = 0; l.Bon() && i < prises; ++i)
                {
                    PriseRoute p;
                    p.Temps = l.Signe();
                    p.Colonne = l.Petit(1, CMap::CotesMax);
                    p.Ligne = l.Petit(1, CMap::CotesMax);
                    p.Type = l.Petit(1, 8);
                    route->Prises.push_back(p);
                }
                route->Bonus = static_cast<size_t>(l.Entier());
                const size_t restants = l.Nombre(7 * 8);
                for (size_t i = 0; l.Bon() && i < restants; ++i)
                {
                    route->Restants.push_back(LireBonus(l));
                    route->RaisonsRestants.push_back(l.Texte());
                }
                route->Recherches = static_cast<size_t>(l.Entier());
                route->Etats = static_cast<size_t>(l.Entier());
                route->Pas = static_cast<size_t>(l.Entier());
                route->Millisecondes = l.Reel();
                r.RouteCalculee = std::move(route);
            }
            l.Attendu(Fin, sizeof Fin);
            if (!l.Bon() || !l.ToutLu())
                return false;
            rapport = std::move(r);
            return true;
        }
        catch (const std::exception&)
        {
            return false;
        }
    }

    AnalyseVivante::AnalyseVivante(const OptionsVerification& options, double delaiSecondes, Fonction fonction)
        : options_(options),
          delai_(delaiSecondes > 0 ? delaiSecondes : options.Atteinte.SecondesMax + 10.0),
          fonction_(std::move(fonction))
    {
    }

    AnalyseVivante::~AnalyseVivante()
    {
        Arreter();
        // Killed children end at once: waiting for them here leaves no zombie.
        for (const pid_t pid : tues_)
            while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR)
            {
            }
    }

    void AnalyseVivante::Arreter()
    {
        if (enfant_ > 0)
        {
            kill(enfant_, SIGKILL);
            tues_.push_back(enfant_);
            enfant_ = -1;
        }
        if (tube_ >= 0)
        {
            close(tube_);
            tube_ = -1;
        }
        finLue_ = false;
        recu_.clear();
    }

    void AnalyseVivante::Recolter()
    {
        for (size_t i = 0; i < tues_.size();)
        {
            const pid_t r = waitpid(tues_[i], nullptr, WNOHANG);
            if (r == tues_[i] || (r < 0 && errno == ECHILD))
            {
                tues_[i] = tues_.back();
                tues_.pop_back();
            }
            else
                ++i;
        }
    }

    void AnalyseVivante::Echouer(const std::string& pourquoi)
    {
        Arreter();
        etat_ = Etat::Echec;
        erreur_ = pourquoi;
        millisecondes_ = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - debut_).count();
    }

    bool AnalyseVivante::Demander(const std::string& texte, const OptionsVerification& options)
    {
        options_ = options;
        return Demander(texte);
    }

    bool AnalyseVivante::Demander(const std::string& texte)
    {
        Arreter();
        Recolter();
        ++numeroDemande_;
        debut_ = std::chrono::steady_clock::now();
        int tube[2];
        if (pipe2(tube, O_CLOEXEC) != 0)
        {
            Echouer(std::string("cannot start the analysis: ") + std::strerror(errno));
            return false;
        }
        const pid_t pid = fork();
        if (pid < 0)
        {
            const int e = errno;
            close(tube[0]);
            close(tube[1]);
            Echouer(std::string("cannot start the analysis: ") + std::strerror(e));
            return false;
        }
        if (pid == 0)
        {
            // The child: its own copy of the game's globals, nothing shared
            // with the caller's frame. It gives way to the caller's drawing,
            // and leaves without running the caller's exit handlers.
            close(tube[0]);
            if (setpriority(PRIO_PROCESS, 0, 10) != 0)
            {
                // Analysing at the caller's priority is still correct.
            }
            int statut = 3;
            try
            {
                const Rapport rapport = fonction_(texte, options_);
                statut = EcrireTout(tube[1], EcrireRapport(rapport)) ? 0 : 4;
            }
            catch (...)
            {
                statut = 3;
            }
            _exit(statut);
        }
        close(tube[1]);
        fcntl(tube[0], F_SETFL, fcntl(tube[0], F_GETFL) | O_NONBLOCK);
#ifdef F_SETPIPE_SZ
        // A larger pipe lets a big level's report through in fewer frames.
        fcntl(tube[0], F_SETPIPE_SZ, 1 << 20);
#endif
        enfant_ = pid;
        tube_ = tube[0];
        etat_ = Etat::EnCours;
        erreur_.clear();
        return true;
    }

    void AnalyseVivante::Terminer(int statut, bool statutConnu)
    {
        enfant_ = -1; // reaped
        std::string pourquoi;
        if (statutConnu && WIFSIGNALED(statut))
            pourquoi = std::string("the analysis was stopped by signal ") + std::to_string(WTERMSIG(statut)) + " (" +
                       strsignal(WTERMSIG(statut)) + ")";
        else if (statutConnu && WIFEXITED(statut) && WEXITSTATUS(statut) != 0)
            pourquoi = "the analysis failed (exit status " + std::to_string(WEXITSTATUS(statut)) + ")";
        Rapport rapport;
        if (pourquoi.empty() && !LireRapport(recu_, rapport))
            pourquoi = "the analysis ended without a whole report";
        if (!pourquoi.empty())
        {
            Echouer(pourquoi);
            return;
        }
        Arreter();
        resultat_ = std::move(rapport);
        numeroResultat_ = numeroDemande_;
        etat_ = Etat::Prete;
        millisecondes_ = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - debut_).count();
    }

    AnalyseVivante::Etat AnalyseVivante::Sonder()
    {
        Recolter();
        if (etat_ != Etat::EnCours)
            return etat_;
        // What the child sent since the last poll.
        size_t lu = 0;
        while (tube_ >= 0 && !finLue_ && lu < LuParSondage)
        {
            char tampon[65536];
            const ssize_t n = read(tube_, tampon, sizeof tampon);
            if (n > 0)
            {
                if (recu_.size() + static_cast<size_t>(n) > RapportMax)
                {
                    Echouer("the analysis sent more than a report");
                    return etat_;
                }
                recu_.append(tampon, static_cast<size_t>(n));
                lu += static_cast<size_t>(n);
                continue;
            }
            if (n == 0)
                finLue_ = true;
            else if (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK)
                finLue_ = true;
            if (n < 0 && errno == EINTR)
                continue;
            break;
        }
        int statut = 0;
        // Once the pipe is closed (the child ended, or is ending), reap it.
        const pid_t r = finLue_ ? waitpid(enfant_, &statut, WNOHANG) : 0;
        if (r == enfant_)
        {
            Terminer(statut, true);
            return etat_;
        }
        if (r < 0 && errno == ECHILD)
        {
            // Reaped elsewhere (the caller ignores SIGCHLD): its report decides.
            Terminer(0, false);
            return etat_;
        }
        const double ecoule = std::chrono::duration<double>(std::chrono::steady_clock::now() - debut_).count();
        if (ecoule > delai_)
            Echouer("the analysis did not end within " + Secondes(delai_) + " s: stopped");
        return etat_;
    }

    AnalyseVivante::Etat AnalyseVivante::Attendre(int millisecondes)
    {
        const auto limite = std::chrono::steady_clock::now() + std::chrono::milliseconds(millisecondes);
        while (Sonder() == Etat::EnCours)
        {
            const auto reste =
                std::chrono::duration_cast<std::chrono::milliseconds>(limite - std::chrono::steady_clock::now()).count();
            if (reste <= 0)
                break;
            // Woken by the child's data or its end (the pipe closes); the
            // short cap also catches a child killed before it wrote.
            pollfd p{};
            p.fd = tube_;
            p.events = POLLIN;
            poll(&p, tube_ >= 0 && !finLue_ ? 1 : 0, static_cast<int>(reste < 10 ? reste : 10));
        }
        return etat_;
    }
}
