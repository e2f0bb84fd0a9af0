// corvella-bench: the conductor and the entry point of every measuring mode.
//
//   corvella-bench [--bref]   every figure against its floor, printed as a
//                             report (run from anywhere; the game's build
//                             folder is known)
//   corvella-bench --demarrage [PAIRS]
//                             the start-up alone against the bare window, in
//                             PAIRS pairs (default 25), with the spread of
//                             the pairs' ratios
//   corvella-bench --profil   the same workloads under callgrind: instruction
//                             counts of a game frame, of its replay, of a
//                             movement step, of a map load, and of the whole
//                             start-up of the game and of the bare window
//
// The other modes (--trame, --enregistre, --deplacement, --chargement,
// --profil-*) are the children the conductor starts.
#include "Banc.h"
#include "Zone.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

extern char** environ;

namespace Banc
{
    int ModeProfilTrame(bool jeu, const std::string& trace, int images, int preparation);
    int ModeProfilDeplacement(long pas);
    int ModeProfilChargement();
}

using namespace Banc;

namespace
{
    const std::string Construction = CORVELLA_BANC_CONSTRUCTION;
    const std::string Jeu = CORVELLA_BANC_JEU;
    const std::string PlancherDemarrage = CORVELLA_BANC_PLANCHER;
    const std::string CrochetImage = CORVELLA_BANC_CROCHET_IMAGE;
    const std::string CrochetTrace = CORVELLA_BANC_CROCHET_TRACE;

    bool erreurs = false;

    void Erreur(const std::string& texte)
    {
        std::fprintf(stderr, "corvella-bench: ERROR: %s\n", texte.c_str());
        erreurs = true;
    }

    std::string Trouve(const std::string& nom)
    {
        const char* path = std::getenv("PATH");
        std::istringstream dossiers(path != nullptr ? path : "/usr/bin:/bin");
        std::string d;
        while (std::getline(dossiers, d, ':'))
        {
            const std::string chemin = d + "/" + nom;
            if (access(chemin.c_str(), X_OK) == 0)
                return chemin;
        }
        return "";
    }

    std::string Soi()
    {
        return DossierExecutable() + "/corvella-bench";
    }

    // ---- Virtual screens ---------------------------------------------------------

    // An Xvfb server of a given size with the openbox window manager, as the
    // game's scripts run it; both stopped (by their ids) when the object dies.
    class CEcran
    {
    public:
        bool Ouvre(int largeur, int hauteur)
        {
            largeur_ = largeur;
            hauteur_ = hauteur;
            const std::string xvfb = Trouve("Xvfb");
            if (xvfb.empty())
            {
                Erreur("Xvfb is not installed");
                return false;
            }
            int tube[2];
            if (pipe2(tube, O_CLOEXEC) != 0)
                return false;
            const std::string taille = std::to_string(largeur) + "x" + std::to_string(hauteur) + "x24";
            std::vector<std::string> args = {xvfb, "-displayfd", "3", "-screen", "0", taille,
                                             "-nolisten", "tcp", "-noreset"};
            xvfb_ = Demarre(args, {}, tube[1], 3);
            close(tube[1]);
            if (xvfb_ < 0)
            {
                close(tube[0]);
                return false;
            }
            // Xvfb writes the display number it took once it is ready.
            std::string numero;
            const int64_t fin = Maintenant() + 20000000000LL;
            while (numero.find('\n') == std::string::npos && Maintenant() < fin)
            {
                pollfd p = {tube[0], POLLIN, 0};
                if (poll(&p, 1, 500) > 0)
                {
                    char c[32];
                    const ssize_t n = read(tube[0], c, sizeof c);
                    if (n <= 0)
                        break;
                    numero.append(c, static_cast<size_t>(n));
                }
            }
            close(tube[0]);
            if (numero.find('\n') == std::string::npos)
            {
                Erreur("Xvfb did not start");
                return false;
            }
            display_ = ":" + numero.substr(0, numero.find('\n'));

            const std::string openbox = Trouve("openbox");
            if (openbox.empty())
                return true; // no window manager: the window is still full screen
            wm_ = Demarre({openbox}, {"DISPLAY=" + display_}, -1, -1);
            const std::string xprop = Trouve("xprop");
            for (int i = 0; i < 50 && !xprop.empty(); ++i)
            {
                Lancement l;
                l.Arguments = {xprop, "-root", "_NET_SUPPORTING_WM_CHECK"};
                l.Env = {"DISPLAY=" + display_};
                l.Delai = 5;
                if (Lance(l).Sortie.find("window id") != std::string::npos)
                    break;
                usleep(100000);
            }
            return true;
        }

        ~CEcran()
        {
            Arrete(wm_);
            Arrete(xvfb_);
        }

        std::string Env() const { return "DISPLAY=" + display_; }
        std::string Nom() const { return std::to_string(largeur_) + "x" + std::to_string(hauteur_); }

    private:
        static pid_t Demarre(const std::vector<std::string>& args, const std::vector<std::string>& env,
                             int fd, int numero)
        {
            std::vector<std::string> tout;
            for (char** e = environ; *e != nullptr; ++e)
                if (std::strncmp(*e, "DISPLAY=", 8) != 0)
                    tout.push_back(*e);
            tout.insert(tout.end(), env.begin(), env.end());
            std::vector<char*> argv, envp;
            for (const std::string& a : args)
                argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            for (const std::string& e : tout)
                envp.push_back(const_cast<char*>(e.c_str()));
            envp.push_back(nullptr);
            posix_spawn_file_actions_t actions;
            posix_spawn_file_actions_init(&actions);
            posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
            posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
            if (fd >= 0)
                posix_spawn_file_actions_adddup2(&actions, fd, numero);
            pid_t pid = -1;
            const int e = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
            posix_spawn_file_actions_destroy(&actions);
            if (e != 0)
                return -1;
            Retient(pid);
            return pid;
        }

        static void Arrete(pid_t pid)
        {
            if (pid <= 0)
                return;
            kill(pid, SIGTERM);
            for (int i = 0; i < 50; ++i)
            {
                if (waitpid(pid, nullptr, WNOHANG) == pid)
                {
                    Oublie(pid);
                    return;
                }
                usleep(100000);
            }
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            Oublie(pid);
        }

        int largeur_ = 0, hauteur_ = 0;
        pid_t xvfb_ = -1, wm_ = -1;
        std::string display_;
    };

    // ---- Children ------------------------------------------------------------------

    Resultats Enfant(const std::vector<std::string>& args, const std::vector<std::string>& env,
                     const std::string& quoi, double delai = 900)
    {
        Lancement l;
        l.Arguments = args;
        l.Env = env;
        l.Delai = delai;
        const Issue issue = Lance(l);
        if (issue.Statut != 0)
            Erreur(quoi + " failed (status " + std::to_string(issue.Statut) + ")");
        return LitResultats(issue.Sortie);
    }

    // Start-up or memory of a program that opens the game's window, noted by
    // the frame library at its `images`-th presented frame.
    struct Note
    {
        bool Ok = false;
        double Demarrage = 0; // ns from the start to the presented frame
        double Rss = 0;       // kB
        double Hwm = 0;
    };

    Note Presente(const std::string& programme, const CEcran& ecran, int images)
    {
        Lancement l;
        l.Arguments = {programme};
        l.Env = {ecran.Env(), "LD_PRELOAD=" + CrochetImage, "CORVELLA_BANC_IMAGES=" + std::to_string(images)};
        l.CaptureNote = true;
        l.Delai = 120;
        const Issue issue = Lance(l);
        Note note;
        long long t = 0;
        long rss = 0, hwm = 0;
        if (issue.Statut == 0 &&
            std::sscanf(issue.Note.c_str(), "image %lld rss %ld hwm %ld", &t, &rss, &hwm) == 3)
        {
            note.Ok = true;
            note.Demarrage = static_cast<double>(t - issue.Depart);
            note.Rss = static_cast<double>(rss);
            note.Hwm = static_cast<double>(hwm);
        }
        else
            Erreur(programme + " presented no frame (status " + std::to_string(issue.Statut) + ")");
        return note;
    }

    std::string LitFichier(const std::string& chemin)
    {
        std::ifstream f(chemin, std::ios::binary);
        std::ostringstream s;
        s << f.rdbuf();
        return s.str();
    }

    std::string Premiere(const std::string& fichier, const std::string& cle)
    {
        std::ifstream f(fichier);
        std::string ligne;
        while (std::getline(f, ligne))
            if (ligne.rfind(cle, 0) == 0)
            {
                const size_t p = ligne.find(':');
                std::string v = p == std::string::npos ? ligne : ligne.substr(p + 1);
                v.erase(0, v.find_first_not_of(" \t"));
                return v;
            }
        return "?";
    }

    std::string Charge()
    {
        std::string s = LitFichier("/proc/loadavg");
        std::istringstream f(s);
        std::string a, b, c;
        f >> a >> b >> c;
        return a + " " + b + " " + c;
    }

    // ---- Report ------------------------------------------------------------------

    std::string Nombre(double v, int decimales)
    {
        if (std::isnan(v))
            return "n/a";
        char t[64];
        std::snprintf(t, sizeof t, "%.*f", decimales, v);
        return t;
    }

    // Median of the paired ratios a[i] / b[i] (one pair per round).
    double RatioApparie(const Resultats& r, const std::string& a, const std::string& b)
    {
        const auto ia = r.Nombres.find(a);
        const auto ib = r.Nombres.find(b);
        if (ia == r.Nombres.end() || ib == r.Nombres.end())
            return std::nan("");
        std::vector<double> ratios;
        for (size_t i = 0; i < std::min(ia->second.size(), ib->second.size()); ++i)
            if (ib->second[i] > 0)
                ratios.push_back(ia->second[i] / ib->second[i]);
        return Mediane(ratios);
    }

    std::string Verdict(double ratio, double cible)
    {
        if (std::isnan(ratio))
            return "";
        return ratio <= cible ? "  [target <= " + Nombre(cible, 2) + ": met]"
                              : "  [target <= " + Nombre(cible, 2) + ": NOT met]";
    }

    // The start-up pairs: medians, the paired ratio and its spread.
    void AfficheDemarrage(const Resultats& demarrage)
    {
        const double dj = demarrage.Med("jeu"), ds = demarrage.Med("sol");
        const double rd = RatioApparie(demarrage, "jeu", "sol");
        const std::vector<double>& jeu = demarrage.Nombres.at("jeu");
        const std::vector<double>& sol = demarrage.Nombres.at("sol");
        std::vector<double> ratios;
        for (size_t i = 0; i < std::min(jeu.size(), sol.size()); ++i)
            if (sol[i] > 0)
                ratios.push_back(jeu[i] / sol[i]);
        std::sort(ratios.begin(), ratios.end());
        std::printf("\nStart-up, process start to first presented frame (1920x1080, %d pairs)\n",
                    static_cast<int>(ratios.size()));
        std::printf("  game %s ms, bare window %s ms: ratio %s%s\n", Nombre(dj / 1e6, 1).c_str(),
                    Nombre(ds / 1e6, 1).c_str(), Nombre(rd, 2).c_str(), Verdict(rd, 1.5).c_str());
        if (!ratios.empty())
            std::printf("  ratios of the pairs: lowest %s, first quartile %s, third quartile %s, highest %s\n",
                        Nombre(ratios.front(), 2).c_str(), Nombre(ratios[ratios.size() / 4], 2).c_str(),
                        Nombre(ratios[(3 * ratios.size()) / 4], 2).c_str(), Nombre(ratios.back(), 2).c_str());
    }

    int Conducteur(const Parametres& p)
    {
        ArretPropre();
        if (chdir(Construction.c_str()) != 0)
        {
            Erreur("no build folder " + Construction);
            return 1;
        }
        const int64_t debut = Maintenant();
        const std::string chargeAvant = Charge();

        // Rounds of each measurement.
        const bool seulDemarrage = p.PairesDemarrage > 0;
        const int paires = seulDemarrage ? p.PairesDemarrage : p.Bref ? 3 : 15;
        const int memoires = p.Bref ? 1 : 3;
        const int tours = p.Bref ? 3 : 15;
        const int images = p.Bref ? 10 : 20;
        const long pas = p.Bref ? 200000 : 1000000;
        const int toursPas = p.Bref ? 3 : 9;
        const int toursCarte = p.Bref ? 2 : 7;

        std::printf("corvella-bench%s: %s against its floor, measured in this run\n",
                    seulDemarrage ? " --demarrage" : p.Bref ? " --bref" : "",
                    seulDemarrage ? "the start-up" : "every figure");
        std::fflush(stdout);

        // Two virtual screens (the start-up alone needs only the large one).
        CEcran grand, petit;
        if (!grand.Ouvre(1920, 1080) || (!seulDemarrage && !petit.Ouvre(800, 600)))
            return 1;

        // 1. Start-up: the real game and the bare window, in turn, the order
        // swapped from one pair to the next so that neither always runs
        // second, in the wake of the other.
        std::vector<double> demarrageJeu, demarrageSol;
        Presente(Jeu, grand, 1);
        Presente(PlancherDemarrage, grand, 1); // a first pair warms the caches
        for (int i = 0; i < paires; ++i)
        {
            Note j, s;
            if (i % 2 == 0)
            {
                j = Presente(Jeu, grand, 1);
                s = Presente(PlancherDemarrage, grand, 1);
            }
            else
            {
                s = Presente(PlancherDemarrage, grand, 1);
                j = Presente(Jeu, grand, 1);
            }
            if (j.Ok && s.Ok)
            {
                demarrageJeu.push_back(j.Demarrage);
                demarrageSol.push_back(s.Demarrage);
            }
        }
        Resultats demarrage;
        demarrage.Nombres["jeu"] = demarrageJeu;
        demarrage.Nombres["sol"] = demarrageSol;
        if (seulDemarrage)
        {
            const std::string chargeApres = Charge();
            std::printf("  load average %s before, %s after\n", chargeAvant.c_str(), chargeApres.c_str());
            AfficheDemarrage(demarrage);
            std::printf("\n%s in %.0f s\n", erreurs ? "FAILED" : "done",
                        static_cast<double>(Maintenant() - debut) / 1e9);
            return erreurs ? 1 : 0;
        }

        // 2. Memory after the first 120 frames of the game (about two seconds),
        // and of the bare window after its one frame.
        std::vector<double> rssJeu, hwmJeu, rssSol;
        for (int i = 0; i < memoires; ++i)
        {
            const Note j = Presente(Jeu, grand, 120);
            const Note s = Presente(PlancherDemarrage, grand, 1);
            if (j.Ok && s.Ok)
            {
                rssJeu.push_back(j.Rss);
                hwmJeu.push_back(j.Hwm);
                rssSol.push_back(s.Rss);
            }
        }

        // 3. Frames: record one frame's GL calls (on the small screen; they do
        // not depend on the window's size), then measure on each screen. The
        // replay is checked against the game's own picture on both.
        Resultats trames[2];
        const CEcran* ecrans[2] = {&petit, &grand};
        const std::string trace = Construction + "/banc-trame.txt";
        std::remove(trace.c_str());
        Enfant({Soi(), "--enregistre", trace}, {petit.Env(), "LD_PRELOAD=" + CrochetTrace},
               "recording a frame");
        if (LitFichier(trace).empty())
            Erreur("no frame recorded");
        else
            for (int e = 0; e < 2; ++e)
            {
                trames[e] = Enfant({Soi(), "--trame", trace, std::to_string(tours), std::to_string(images)},
                                   {ecrans[e]->Env()}, "frame measure on " + ecrans[e]->Nom());
                if (trames[e].Med("trame.pixels_differents") != 0)
                    Erreur("the replayed frame does not draw the game's picture on " + ecrans[e]->Nom());
            }

        // 4. Movement steps.
        const Resultats depl = Enfant({Soi(), "--deplacement", std::to_string(pas), std::to_string(toursPas)},
                                      {}, "movement");
        // 5. Map loading.
        const Resultats carte = Enfant({Soi(), "--chargement", std::to_string(toursCarte)}, {}, "map loading");

        const std::string chargeApres = Charge();

        // ---- The report.
        std::printf("\nMachine\n");
        std::printf("  CPU          %s, %ld cores online\n", Premiere("/proc/cpuinfo", "model name").c_str(),
                    sysconf(_SC_NPROCESSORS_ONLN));
        std::printf("  memory       %s\n", Premiere("/proc/meminfo", "MemTotal").c_str());
        std::printf("  GL           %s | %s | %s\n", trames[0].Textes["gl.rendu"].c_str(),
                    trames[0].Textes["gl.version"].c_str(), trames[0].Textes["gl.fournisseur"].c_str());
        std::printf("  load average %s before, %s after\n", chargeAvant.c_str(), chargeApres.c_str());

        AfficheDemarrage(demarrage);
        for (int e = 1; e >= 0; --e)
            if (trames[e].Contient("demarrage.images"))
                std::printf("  inside the game's start-up at %s (one run): window and context %s ms, "
                            "%s images to textures and the level %s ms, first frame %s ms\n",
                            ecrans[e]->Nom().c_str(), Nombre(trames[e].Med("demarrage.fenetre") / 1e6, 1).c_str(),
                            Nombre(trames[e].Med("demarrage.textures"), 0).c_str(),
                            Nombre(trames[e].Med("demarrage.images") / 1e6, 1).c_str(),
                            Nombre(trames[e].Med("demarrage.premiere_trame") / 1e6, 1).c_str());

        for (int e = 0; e < 2; ++e)
        {
            const Resultats& t = trames[e];
            if (!t.Contient("trame.jeu.mur"))
                continue;
            std::printf("\nFrame without the pacing sleep, %s (%d rounds of %d frames)\n",
                        ecrans[e]->Nom().c_str(), tours, images);
            std::printf("  frame: %s GL calls, %s quads (%s drawable cells, %s bonuses), "
                        "%s enables, %s disables, %s texture parameters\n",
                        Nombre(t.Med("trame.appels"), 0).c_str(), Nombre(t.Med("trame.n.glBegin"), 0).c_str(),
                        Nombre(t.Med("trame.cases"), 0).c_str(), Nombre(t.Med("trame.bonus"), 0).c_str(),
                        Nombre(t.Med("trame.n.glEnable"), 0).c_str(), Nombre(t.Med("trame.n.glDisable"), 0).c_str(),
                        Nombre(t.Med("trame.n.glTexParameteri"), 0).c_str());
            std::printf("  %-26s %10s %10s\n", "", "wall ms", "CPU ms");
            std::printf("  %-26s %10s %10s\n", "game frame", Nombre(t.Med("trame.jeu.mur") / 1e6, 3).c_str(),
                        Nombre(t.Med("trame.jeu.cpu") / 1e6, 3).c_str());
            std::printf("  %-26s %10s %10s\n", "(a) replay of its GL calls",
                        Nombre(t.Med("trame.rejeu.mur") / 1e6, 3).c_str(),
                        Nombre(t.Med("trame.rejeu.cpu") / 1e6, 3).c_str());
            std::printf("  %-26s %10s %10s\n", "(b) clear, one quad, swap",
                        Nombre(t.Med("trame.materiel.mur") / 1e6, 3).c_str(),
                        Nombre(t.Med("trame.materiel.cpu") / 1e6, 3).c_str());
            const double ra = RatioApparie(t, "trame.jeu.mur", "trame.rejeu.mur");
            const double rac = RatioApparie(t, "trame.jeu.cpu", "trame.rejeu.cpu");
            const double rb = RatioApparie(t, "trame.jeu.mur", "trame.materiel.mur");
            const double rbc = RatioApparie(t, "trame.jeu.cpu", "trame.materiel.cpu");
            std::printf("  game / (a): wall %s, CPU %s%s\n", Nombre(ra, 3).c_str(), Nombre(rac, 3).c_str(),
                        Verdict(ra, 1.1).c_str());
            std::printf("  game / (b): wall %s, CPU %s\n", Nombre(rb, 2).c_str(), Nombre(rbc, 2).c_str());
            std::printf("  replay loop alone (no GL): %s ms; replayed picture identical to the game's: %s\n",
                        Nombre(t.Med("trame.boucle_rejeu") / 1e6, 3).c_str(),
                        t.Med("trame.pixels_differents") == 0 ? "yes" : "NO");
        }

        const double ns = depl.Med("deplacement.ns");
        std::printf("\nMovement, CPerso::CalcDepl on the shipped level (%d rounds of %ld steps)\n", toursPas, pas);
        std::printf("  %s steps/s (%s ns a step); the game needs 200 steps/s: %s times that\n",
                    Nombre(1e9 / ns, 0).c_str(), Nombre(ns, 1).c_str(), Nombre(1e9 / ns / 200, 0).c_str());
        std::printf("  time spent standing %s%%, walking %s%%, in the air %s%%, hanging %s%%; %s deaths\n",
                    Nombre(100 * depl.Med("deplacement.part.immobile"), 1).c_str(),
                    Nombre(100 * depl.Med("deplacement.part.marche"), 1).c_str(),
                    Nombre(100 * depl.Med("deplacement.part.air"), 1).c_str(),
                    Nombre(100 * depl.Med("deplacement.part.accroche"), 1).c_str(),
                    Nombre(depl.Med("deplacement.retours"), 0).c_str());

        std::printf("\nMap loading, CMap::LoadMap on generated levels (%d rounds)\n", toursCarte);
        std::printf("  %-6s %10s %12s %10s %14s %8s\n", "cells", "MB", "load ms", "MB/s", "read-only MB/s", "ratio");
        std::vector<double> cases, temps;
        for (const char* n : {"1e4", "1e6", "1e7"})
        {
            const std::string c = std::string("chargement.") + n;
            if (!carte.Contient(c + ".ns"))
                continue;
            const double octets = carte.Med(c + ".octets");
            const double t = carte.Med(c + ".ns");
            const double l = carte.Med(c + ".lecture_ns");
            std::printf("  %-6s %10s %12s %10s %14s %8s\n", n, Nombre(octets / 1e6, 3).c_str(),
                        Nombre(t / 1e6, 3).c_str(), Nombre(octets / t * 1e3, 1).c_str(),
                        Nombre(octets / l * 1e3, 0).c_str(), Nombre(t / l, 1).c_str());
            cases.push_back(carte.Med(c + ".cases"));
            temps.push_back(t);
            for (double juste : carte.Nombres.at(c + ".juste"))
                if (juste != 1)
                    Erreur(std::string("the level of ") + n + " cells did not load as written");
        }
        const double pente = PenteLogLog(cases, temps);
        std::printf("  growth exponent (log-log slope of time against cells) %s%s",
                    Nombre(pente, 3).c_str(), Verdict(pente, 1.1).c_str());
        if (cases.size() == 3)
            std::printf(", 1e6 to 1e7 alone %s",
                        Nombre(PenteLogLog({cases[1], cases[2]}, {temps[1], temps[2]}), 3).c_str());
        std::printf("\n");
        if (carte.Contient("chargement.1e7.ns"))
        {
            const double mbs = carte.Med("chargement.1e7.octets") / carte.Med("chargement.1e7.ns") * 1e3;
            std::printf("  at 1e7 cells: %s MB/s%s\n", Nombre(mbs, 1).c_str(),
                        mbs >= 50 ? "  [target >= 50: met]" : "  [target >= 50: NOT met]");
        }

        std::printf("\nMemory, VmRSS (%d runs)\n", static_cast<int>(rssJeu.size()));
        std::printf("  game after 120 frames %s MB (peak %s MB); bare window after its frame %s MB: ratio %s\n",
                    Nombre(Mediane(rssJeu) / 1024, 1).c_str(), Nombre(Mediane(hwmJeu) / 1024, 1).c_str(),
                    Nombre(Mediane(rssSol) / 1024, 1).c_str(), Nombre(Mediane(rssJeu) / Mediane(rssSol), 2).c_str());

        std::printf("\n%s in %.0f s\n", erreurs ? "FAILED" : "done",
                    static_cast<double>(Maintenant() - debut) / 1e9);
        return erreurs ? 1 : 0;
    }

    // ---- Callgrind -------------------------------------------------------------------

    // Instruction counts of a callgrind output file: the total, and the
    // exclusive counts by object and by function.
    struct Profil
    {
        double Total = 0;
        std::map<std::string, double> ParObjet;
        std::map<std::string, double> ParFonction;
    };

    Profil LitProfil(const std::string& chemin)
    {
        Profil p;
        std::ifstream f(chemin);
        std::string ligne, objet, fonction;
        bool appel = false;
        while (std::getline(f, ligne))
        {
            if (ligne.empty())
                continue;
            if (ligne.rfind("ob=", 0) == 0)
                objet = ligne.substr(3);
            else if (ligne.rfind("fn=", 0) == 0)
                fonction = ligne.substr(3);
            else if (ligne.rfind("calls=", 0) == 0)
                appel = true; // the next cost line is the call's inclusive cost
            else if (ligne.rfind("totals:", 0) == 0 || ligne.rfind("summary:", 0) == 0)
                p.Total = std::max(p.Total, std::strtod(ligne.c_str() + ligne.find(':') + 1, nullptr));
            else if (std::isdigit(static_cast<unsigned char>(ligne[0])) || ligne[0] == '+' ||
                     ligne[0] == '-' || ligne[0] == '*')
            {
                if (appel)
                {
                    appel = false;
                    continue;
                }
                std::istringstream mots(ligne);
                std::string position;
                double cout = 0;
                mots >> position >> cout;
                p.ParObjet[objet.substr(objet.rfind('/') + 1)] += cout;
                p.ParFonction[fonction] += cout;
            }
        }
        return p;
    }

    void AfficheProfil(const std::string& titre, const Profil& p, double unites, const std::string& unite)
    {
        std::printf("\n%s: %s instructions, %s per %s\n", titre.c_str(), Nombre(p.Total, 0).c_str(),
                    Nombre(p.Total / unites, 0).c_str(), unite.c_str());
        std::vector<std::pair<double, std::string>> objets, fonctions;
        for (const auto& [nom, c] : p.ParObjet)
            objets.push_back({c, nom});
        for (const auto& [nom, c] : p.ParFonction)
            fonctions.push_back({c, nom});
        std::sort(objets.rbegin(), objets.rend());
        std::sort(fonctions.rbegin(), fonctions.rend());
        std::printf("  by object:\n");
        for (size_t i = 0; i < objets.size() && i < 6; ++i)
            std::printf("    %14s per %s  %5.1f%%  %s\n", Nombre(objets[i].first / unites, 0).c_str(),
                        unite.c_str(), 100 * objets[i].first / p.Total, objets[i].second.c_str());
        std::printf("  by function (exclusive):\n");
        for (size_t i = 0; i < fonctions.size() && i < 12; ++i)
            std::printf("    %14s per %s  %5.1f%%  %s\n", Nombre(fonctions[i].first / unites, 0).c_str(),
                        unite.c_str(), 100 * fonctions[i].first / p.Total, fonctions[i].second.substr(0, 90).c_str());
    }

    int ConducteurProfil()
    {
        ArretPropre();
        if (chdir(Construction.c_str()) != 0)
        {
            Erreur("no build folder " + Construction);
            return 1;
        }
        const std::string valgrind = Trouve("valgrind");
        if (valgrind.empty())
        {
            Erreur("valgrind is not installed");
            return 1;
        }
        const std::string dossier = Construction + "/profil";
        mkdir(dossier.c_str(), 0755);
        CEcran ecran;
        if (!ecran.Ouvre(800, 600))
            return 1;
        const std::string trace = dossier + "/trame.txt";
        Enfant({Soi(), "--enregistre", trace}, {ecran.Env(), "LD_PRELOAD=" + CrochetTrace}, "recording a frame");

        const int images = 10;
        const long pas = 100000;
        struct Cas
        {
            std::string Nom, Zone;
            std::vector<std::string> Args;
            double Unites;
            std::string Unite;
        };
        const std::vector<Cas> cas = {
            {"jeu", "banc_zone_trames_jeu", {"--profil-jeu", trace, std::to_string(images)}, images, "frame"},
            {"rejeu", "banc_zone_trames_rejeu", {"--profil-rejeu", trace, std::to_string(images)}, images, "frame"},
            {"deplacement", "banc_zone_deplacement", {"--profil-deplacement", std::to_string(pas)}, double(pas), "step"},
            {"chargement", "banc_zone_chargement", {"--profil-chargement"}, 1, "load of 1e6 cells"},
        };
        std::map<std::string, Profil> profils;
        for (const Cas& c : cas)
        {
            // One file per process (%p): the libraries may fork helpers, whose
            // empty profiles must not overwrite the bench's.
            const std::string prefixe = "callgrind." + c.Nom + ".";
            for (const auto& f : std::filesystem::directory_iterator(dossier))
                if (f.path().filename().string().rfind(prefixe, 0) == 0)
                    std::filesystem::remove(f.path());
            std::vector<std::string> args = {valgrind, "--tool=callgrind",
                                             "--callgrind-out-file=" + dossier + "/" + prefixe + "%p.out",
                                             "--log-file=" + dossier + "/valgrind." + c.Nom + ".log",
                                             "--collect-atstart=no", "--toggle-collect=" + c.Zone,
                                             BANC_INSTRUMENTATION_TARDIVE ? "--instr-atstart=no" : "--instr-atstart=yes",
                                             "--compress-strings=no", "--compress-pos=no", Soi()};
            args.insert(args.end(), c.Args.begin(), c.Args.end());
            // The rasterizer in the calling thread: the counts do not depend on
            // how threads were scheduled.
            Enfant(args, {ecran.Env(), "LP_NUM_THREADS=0"}, "callgrind " + c.Nom, 3600);
            for (const auto& f : std::filesystem::directory_iterator(dossier))
                if (f.path().filename().string().rfind(prefixe, 0) == 0)
                {
                    Profil lu = LitProfil(f.path().string());
                    if (lu.Total >= profils[c.Nom].Total)
                        profils[c.Nom] = lu;
                }
            if (profils[c.Nom].Total <= 0)
                Erreur("no instructions counted for " + c.Nom);
        }
        AfficheProfil("Game frame (800x600)", profils["jeu"], images, "frame");
        AfficheProfil("(a) replay of its GL calls", profils["rejeu"], images, "frame");
        std::printf("\n  instructions game / replay: %s\n",
                    Nombre(profils["jeu"].Total / profils["rejeu"].Total, 4).c_str());
        AfficheProfil("Movement", profils["deplacement"], static_cast<double>(pas), "step");
        AfficheProfil("Map loading (1e6 cells, 1.0 MB)", profils["chargement"], 1, "load");

        // The real game's start-up and the bare window's, whole processes up to
        // their first presented frame, on a 1920x1080 screen. llvmpipe's shader
        // cache is keyed by the processor's features, which valgrind's virtual
        // processor does not share: under callgrind the shaders are compiled
        // afresh where a real run finds them in the cache (LLVM's code
        // generation is then counted, in the game and the floor alike).
        CEcran grand;
        if (grand.Ouvre(1920, 1080))
            for (const auto& [nom, programme] : {std::pair<std::string, std::string>{"demarrage-jeu", Jeu},
                                                 {"demarrage-sol", PlancherDemarrage}})
            {
                const std::string fichier = dossier + "/callgrind." + nom + ".out";
                std::remove(fichier.c_str());
                Enfant({valgrind, "--tool=callgrind", "--callgrind-out-file=" + fichier,
                        "--log-file=" + dossier + "/valgrind." + nom + ".log", "--compress-strings=no",
                        "--compress-pos=no", programme},
                       {grand.Env(), "LP_NUM_THREADS=0", "LD_PRELOAD=" + CrochetImage}, "callgrind " + nom, 3600);
                profils[nom] = LitProfil(fichier);
                if (profils[nom].Total <= 0)
                    Erreur("no instructions counted for " + nom);
            }
        AfficheProfil("Start-up of the game, to its first presented frame (1920x1080)", profils["demarrage-jeu"], 1,
                      "start-up");
        AfficheProfil("Start-up of the bare window", profils["demarrage-sol"], 1, "start-up");
        std::printf("\ncallgrind files in %s (callgrind_annotate --inclusive=yes FILE)\n", dossier.c_str());
        return erreurs ? 1 : 0;
    }
}

int main(int argc, char** argv)
{
    const std::vector<std::string> a(argv + 1, argv + argc);
    const auto arg = [&](size_t i) { return i < a.size() ? a[i] : std::string(); };
    const std::string mode = arg(0);

    if (mode == "--enregistre")
        return ModeEnregistre(arg(1));
    if (mode == "--trame")
        return ModeTrame(arg(1), std::atoi(arg(2).c_str()), std::atoi(arg(3).c_str()));
    if (mode == "--deplacement")
        return ModeDeplacement(std::atol(arg(1).c_str()), std::atoi(arg(2).c_str()));
    if (mode == "--chargement")
        return ModeChargement(std::atoi(arg(1).c_str()), true);
    if (mode == "--charge-une")
        return ModeChargeUne(arg(1), std::atoi(arg(2).c_str()), std::atoi(arg(3).c_str()),
                             std::atol(arg(4).c_str()), arg(5) == "--lecture");
    if (mode == "--profil-jeu" || mode == "--profil-rejeu")
        return ModeProfilTrame(mode == "--profil-jeu", arg(1), std::atoi(arg(2).c_str()), ImagesPreparation);
    if (mode == "--profil-deplacement")
        return ModeProfilDeplacement(std::atol(arg(1).c_str()));
    if (mode == "--profil-chargement")
        return ModeProfilChargement();
    if (mode == "--profil")
        return ConducteurProfil();

    Parametres p;
    for (size_t i = 0; i < a.size(); ++i)
    {
        if (a[i] == "--bref")
            p.Bref = true;
        else if (a[i] == "--demarrage")
        {
            p.PairesDemarrage = 25;
            if (i + 1 < a.size() && !a[i + 1].empty() && std::isdigit(static_cast<unsigned char>(a[i + 1][0])))
                p.PairesDemarrage = std::max(1, std::atoi(a[++i].c_str()));
        }
        else
        {
            std::fprintf(stderr, "usage: corvella-bench [--bref | --demarrage [PAIRS] | --profil]\n");
            return 2;
        }
    }
    return Conducteur(p);
}
