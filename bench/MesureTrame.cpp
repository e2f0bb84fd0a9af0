// The game frame in-process, against (a) the replay of its own GL calls and
// (b) the hardware floor, interleaved in one window and one GL context.
#include "Banc.h"
#include "PlancherMateriel.h"
#include "Rejeu.h"
#include "Zone.h"

#include "main/BoucleJeu.h"
#include "main/Globales.h"
#include "main/Memoire.h"
#include "moteur/Fondu.h"
#include "outils/Horloge.h"
#include "son/Son.h"

#include <SDL.h>
#include <SDL_opengl.h>
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace
{
    // The pause caption's clock of BoucleRenderJeu (local to the loop there).
    EtatPause pause = {0, 0};

    // The picture of the back buffer, for comparing two frames.
    std::vector<unsigned char> LitImage()
    {
        const int l = Moteur.Ecran != nullptr ? Moteur.Ecran->w : 0;
        const int h = Moteur.Ecran != nullptr ? Moteur.Ecran->h : 0;
        std::vector<unsigned char> pixels(static_cast<size_t>(l) * static_cast<size_t>(h) * 4);
        glFinish();
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, l, h, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    // One game frame; with `lecture`, the picture is read just before it is
    // presented (FinDessin taken apart only for that).
    void UneTrame(std::vector<unsigned char>* lecture)
    {
        // ---- The game's own frame (main/BoucleJeu.cpp), on the same globals,
        // ---- with the sound's look at the player before and after it.
        Son::AvantTrame();
        TraiteEvenements(pause);
        DessineScene(pause);
        if (lecture == nullptr)
            Moteur.FinDessin();
        else
        {
            // CMoteur::FinDessin (moteur/Moteur.cpp) with the read inserted.
            Moteur.DessineFondu();
            glFlush();
            *lecture = LitImage();
            SDL_GL_SwapBuffers();
            Horloge::Attendre(DelaiPacing(Moteur.FPS));
        }
        Son::ApresTrame();
        // ---- End of the game's frame. The frozen clock moves on by the time
        // ---- between two frames; FinDessin's pacing sleep was only recorded.
        Horloge::AvancerTemps(Banc::PasHorloge);
    }

    std::string LitFichier(const std::string& chemin)
    {
        std::ifstream f(chemin, std::ios::binary);
        std::ostringstream s;
        s << f.rdbuf();
        return s.str();
    }

    long CasesDessinees()
    {
        long n = 0;
        for (const auto& colonne : Map.Cases)
            for (const signed char code : colonne)
                n += code > 1;
        return n;
    }
}

namespace Banc
{
    void TrameJeu()
    {
        UneTrame(nullptr);
    }

    namespace
    {
        // Wall time of each part of the start-up, in ns (emitted by ModeTrame).
        std::vector<std::pair<std::string, int64_t>> etapes;
        int64_t reperes = 0;
        void Etape(const char* nom)
        {
            const int64_t t = Maintenant();
            etapes.push_back({nom, t - reperes});
            reperes = t;
        }
    }

    bool DemarreJeu()
    {
        reperes = Maintenant();
        // As main/point_entree.cpp: the heap reserve, SDL with no subsystem,
        // desktop drivers only.
        PrepareTas(ReserveTas);
        setenv("SDL_VIDEODRIVER", "x11,wayland", 0);
        if (SDL_Init(0) < 0)
            return false;
        // The clock is frozen before anything reads it, so that every run of the
        // bench goes through the very same states frame after frame.
        Horloge::FixerTemps(100000);

        // ---- SDL_main's start-up (main/main.cpp), steps 1 to 8.
        if (Moteur.Init(true, "Corvella") < 0)
            return false;
        Etape("fenetre");
        ChargeJeu();
        Etape("images");
        // ---- The intro and menu states draw nothing; BoucleRenderJeu begins with
        // ---- its fade-in.
        nbRender = 3;
        LanceFonduOuverture();
        pause = {0, 0};
        return true;
    }

    int ModeEnregistre(const std::string& chemin)
    {
        using Debut = void (*)();
        using Fin = const char* (*)(size_t*);
        const auto debut = reinterpret_cast<Debut>(dlsym(RTLD_DEFAULT, "corvella_banc_trace_debut"));
        const auto fin = reinterpret_cast<Fin>(dlsym(RTLD_DEFAULT, "corvella_banc_trace_fin"));
        if (debut == nullptr || fin == nullptr)
        {
            std::fprintf(stderr, "corvella-bench: the recording layer is not loaded\n");
            return 2;
        }
        if (!DemarreJeu())
        {
            std::fprintf(stderr, "corvella-bench: no window\n");
            return 3;
        }
        for (int i = 0; i < ImagesPreparation; ++i)
            TrameJeu();
        debut();
        TrameJeu();
        size_t taille = 0;
        const char* trace = fin(&taille);
        std::ofstream f(chemin, std::ios::binary);
        f.write(trace, static_cast<std::streamsize>(taille));
        return f ? 0 : 4;
    }

    int ModeTrame(const std::string& chemin, int tours, int images)
    {
        CRejeu rejeu;
        std::string erreur;
        if (!rejeu.Charge(LitFichier(chemin), erreur))
        {
            std::fprintf(stderr, "corvella-bench: trace refused: %s\n", erreur.c_str());
            return 2;
        }
        if (!DemarreJeu())
        {
            std::fprintf(stderr, "corvella-bench: no window\n");
            return 3;
        }
        EmetTexte("gl.rendu", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
        EmetTexte("gl.version", reinterpret_cast<const char*>(glGetString(GL_VERSION)));
        EmetTexte("gl.fournisseur", reinterpret_cast<const char*>(glGetString(GL_VENDOR)));
        // The first frame, with the work it does once (the first halo
        // silhouette, the first use of each drawing state).
        TrameJeu();
        Etape("premiere_trame");
        for (const auto& [nom, ns] : etapes)
            Emet(std::string("demarrage.") + nom, static_cast<double>(ns));
        Emet("demarrage.textures", static_cast<double>(Moteur.Sprites.size() +
                                                       CMoteur::CTexte::NbLettres * Moteur.Fontes.size()));
        Emet("trame.largeur", Moteur.Ecran->w);
        Emet("trame.hauteur", Moteur.Ecran->h);

        // What the frame is made of.
        Emet("trame.appels", static_cast<double>(rejeu.NbAppels()));
        for (const auto& [nom, n] : rejeu.Comptes())
            Emet("trame.n." + nom, static_cast<double>(n));
        Emet("trame.cases", CasesDessinees());
        Emet("trame.bonus", static_cast<double>(Map.ListeBonus.size()));

        for (int i = 1; i < ImagesPreparation; ++i)
            TrameJeu();

        // The frame recorded by the other process is this frame: same start,
        // same clock. Its replay must draw the same picture.
        std::vector<unsigned char> imageJeu;
        UneTrame(&imageJeu);
        rejeu.Joue(false);
        const std::vector<unsigned char> imageRejeu = LitImage();
        SDL_GL_SwapBuffers();
        long differents = imageJeu.size() == imageRejeu.size() ? 0 : -1;
        for (size_t i = 0; differents >= 0 && i + 3 < imageJeu.size(); i += 4)
            differents += imageJeu[i] != imageRejeu[i] || imageJeu[i + 1] != imageRejeu[i + 1] ||
                          imageJeu[i + 2] != imageRejeu[i + 2];
        Emet("trame.pixels_differents", static_cast<double>(differents));

        const unsigned int fond = Moteur.Sprites[ImgArrierePlan].Texture;
        for (int tour = 0; tour < tours; ++tour)
        {
            for (int j = 0; j < 3; ++j)
            {
                const int quoi = (tour + j) % 3; // the order turns from round to round
                const int64_t t0 = Maintenant();
                const int64_t c0 = CpuProcessus();
                for (int i = 0; i < images; ++i)
                {
                    if (quoi == 0)
                        TrameJeu();
                    else if (quoi == 1)
                        rejeu.Joue();
                    else
                        TrameMaterielle(fond);
                }
                glFinish();
                const double mur = static_cast<double>(Maintenant() - t0) / images;
                const double cpu = static_cast<double>(CpuProcessus() - c0) / images;
                const char* nom = quoi == 0 ? "jeu" : quoi == 1 ? "rejeu" : "materiel";
                Emet(std::string("trame.") + nom + ".mur", mur);
                Emet(std::string("trame.") + nom + ".cpu", cpu);
            }
        }

        // The replay loop alone, without calling GL: what the floor carries of
        // its own.
        const int passes = 200;
        uint64_t somme = 0;
        const int64_t t0 = Maintenant();
        for (int i = 0; i < passes; ++i)
            somme += rejeu.Parcourt();
        Emet("trame.boucle_rejeu", static_cast<double>(Maintenant() - t0) / passes);
        Emet("trame.somme", static_cast<double>(somme % 2));
        Emet("trame.fps_jeu", Moteur.FPS);
        return 0;
    }
}

// Zones for callgrind (--toggle-collect=banc_zone_*): a fixed number of frames.
extern "C" __attribute__((noinline)) void banc_zone_trames_jeu(int n)
{
    for (int i = 0; i < n; ++i)
        Banc::TrameJeu();
}

extern "C" __attribute__((noinline)) void banc_zone_trames_rejeu(const CRejeu* rejeu, int n)
{
    for (int i = 0; i < n; ++i)
        rejeu->Joue();
}

namespace Banc
{
    int ModeProfilTrame(bool jeu, const std::string& chemin, int n, int preparation)
    {
        CRejeu rejeu;
        std::string erreur;
        if (!jeu && !rejeu.Charge(LitFichier(chemin), erreur))
        {
            std::fprintf(stderr, "corvella-bench: trace refused: %s\n", erreur.c_str());
            return 2;
        }
        if (!DemarreJeu())
            return 3;
        for (int i = 0; i < preparation; ++i)
            TrameJeu();
        BANC_INSTRUMENTE();
        if (jeu)
            banc_zone_trames_jeu(n);
        else
            banc_zone_trames_rejeu(&rejeu, n);
        return 0;
    }
}
