// SDL_mixer, loaded by name at run time.
#include "Mixeur.h"

#include "FichierSon.h"

#include <SDL.h>
#include <SDL_loadso.h>
#include <SDL_mixer.h>
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdlib>

namespace Son
{
    namespace
    {
        // The mixer's functions, found in the library once.
        struct Fonctions
        {
            decltype(&Mix_OpenAudio) OpenAudio = nullptr;
            decltype(&Mix_CloseAudio) CloseAudio = nullptr;
            decltype(&Mix_AllocateChannels) AllocateChannels = nullptr;
            decltype(&Mix_LoadWAV_RW) LoadWAV_RW = nullptr;
            decltype(&Mix_FreeChunk) FreeChunk = nullptr;
            decltype(&Mix_PlayChannelTimed) PlayChannelTimed = nullptr;
            decltype(&Mix_HaltChannel) HaltChannel = nullptr;
            decltype(&Mix_Volume) Volume = nullptr;
            decltype(&Mix_LoadMUS_RW) LoadMUS_RW = nullptr;
            decltype(&Mix_FreeMusic) FreeMusic = nullptr;
            decltype(&Mix_FadeInMusic) FadeInMusic = nullptr;
            decltype(&Mix_HaltMusic) HaltMusic = nullptr;
            decltype(&Mix_PauseMusic) PauseMusic = nullptr;
            decltype(&Mix_ResumeMusic) ResumeMusic = nullptr;
            decltype(&Mix_VolumeMusic) VolumeMusic = nullptr;
            decltype(&Mix_QuerySpec) QuerySpec = nullptr;
            decltype(&Mix_SetPostMix) SetPostMix = nullptr;
        };

        template <class F>
        bool Trouver(void* bibliotheque, const char* nom, F& fonction)
        {
            fonction = reinterpret_cast<F>(SDL_LoadFunction(bibliotheque, nom));
            return fonction != nullptr;
        }

        // Null when the library or one of its functions is missing.
        const Fonctions* Mixer()
        {
            static Fonctions f;
            static int etat = 0; // 0 not tried, 1 found, -1 missing
            if (etat == 0)
            {
                etat = -1;
                void* b = SDL_LoadObject("libSDL_mixer-1.2.so.0");
                if (b != nullptr && Trouver(b, "Mix_OpenAudio", f.OpenAudio) &&
                    Trouver(b, "Mix_CloseAudio", f.CloseAudio) &&
                    Trouver(b, "Mix_AllocateChannels", f.AllocateChannels) &&
                    Trouver(b, "Mix_LoadWAV_RW", f.LoadWAV_RW) && Trouver(b, "Mix_FreeChunk", f.FreeChunk) &&
                    Trouver(b, "Mix_PlayChannelTimed", f.PlayChannelTimed) &&
                    Trouver(b, "Mix_HaltChannel", f.HaltChannel) && Trouver(b, "Mix_Volume", f.Volume) &&
                    Trouver(b, "Mix_LoadMUS_RW", f.LoadMUS_RW) && Trouver(b, "Mix_FreeMusic", f.FreeMusic) &&
                    Trouver(b, "Mix_FadeInMusic", f.FadeInMusic) && Trouver(b, "Mix_HaltMusic", f.HaltMusic) &&
                    Trouver(b, "Mix_PauseMusic", f.PauseMusic) && Trouver(b, "Mix_ResumeMusic", f.ResumeMusic) &&
                    Trouver(b, "Mix_VolumeMusic", f.VolumeMusic) && Trouver(b, "Mix_QuerySpec", f.QuerySpec) &&
                    Trouver(b, "Mix_SetPostMix", f.SetPostMix))
                    etat = 1;
            }
            return etat == 1 ? &f : nullptr;
        }

        // ALSA writes its complaints to the error output when the machine has
        // no sound card; the game stays quiet about a missing device.
        void AlsaSilencieux(const char*, int, const char*, int, const char*, ...)
        {
        }

        void FaireTaireAlsa()
        {
            using Gestionnaire = void (*)(const char*, int, const char*, int, const char*, ...);
            using Installer = int (*)(Gestionnaire);
            void* alsa = SDL_LoadObject("libasound.so.2");
            if (alsa == nullptr)
                return;
            Installer installer = nullptr;
            if (Trouver(alsa, "snd_lib_error_set_handler", installer))
                installer(AlsaSilencieux);
        }

        // WAV bytes checked by the game, then decoded by the mixer.
        Mix_Chunk* DecoderEffet(const Fonctions& m, const unsigned char* octets, size_t taille)
        {
            FormatWav format;
            if (!AnalyseWav(octets, taille, format))
                return nullptr;
            SDL_RWops* flux = SDL_RWFromConstMem(octets, static_cast<int>(taille));
            if (flux == nullptr)
                return nullptr;
            return m.LoadWAV_RW(flux, 1);
        }

        // Called by the mixer on its thread with each mixed buffer.
        void PasserRampe(void* donnees, Uint8* flux, int longueur)
        {
            auto* rampe = static_cast<CMixeur::Rampe*>(donnees);
            const float cible = rampe->Son.load(std::memory_order_relaxed) ? 1.0f : 0.0f;
            const int trames = longueur / (2 * rampe->Canaux);
            AppliqueRampe(reinterpret_cast<Sint16*>(flux), trames, rampe->Canaux, rampe->Gain, cible, rampe->Pas);
        }

        Mix_Chunk* ChargerEffet(const Fonctions& m, const std::string& chemin)
        {
            std::vector<unsigned char> octets;
            if (!LireFichier(chemin, octets))
                return nullptr;
            return DecoderEffet(m, octets.data(), octets.size());
        }
    }

    void AppliqueRampe(Sint16* echantillons, int trames, int canaux, float& gain, float cible, float pas)
    {
        if (gain == cible && cible == 1.0f)
            return;
        for (int i = 0; i < trames; ++i)
        {
            if (gain < cible)
                gain = std::min(cible, gain + pas);
            else if (gain > cible)
                gain = std::max(cible, gain - pas);
            Sint16* trame = echantillons + static_cast<ptrdiff_t>(i) * canaux;
            for (int c = 0; c < canaux; ++c)
                trame[c] = static_cast<Sint16>(std::lround(trame[c] * gain));
        }
    }

    bool CMixeur::Ouvrir()
    {
        if (ouvert_)
            return true;
        const Fonctions* m = Mixer();
        if (m == nullptr)
            return false;
        FaireTaireAlsa();
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) < 0)
            return false;
        if (m->OpenAudio(Frequence, AUDIO_S16SYS, 2, 1024) < 0)
        {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return false;
        }
        m->AllocateChannels(16);
        m->Volume(-1, VolumeEffets);
        m->VolumeMusic(muet_ ? 0 : VolumeMusique);
        // The ramp works on 16-bit samples, which the device is asked for;
        // with any other format muting cuts as it must.
        int frequence = 0, canaux = 0;
        Uint16 format = 0;
        rampe_ = m->QuerySpec(&frequence, &format, &canaux) != 0 && (format == AUDIO_S16SYS) && canaux > 0 &&
                 frequence > 0;
        if (rampe_)
        {
            etatRampe_.Son.store(!muet_);
            etatRampe_.Gain = muet_ ? 0.0f : 1.0f;
            etatRampe_.Pas = 1000.0f / (static_cast<float>(frequence) * DureeRampeMs);
            etatRampe_.Canaux = canaux;
            m->VolumeMusic(VolumeMusique);
            m->SetPostMix(PasserRampe, &etatRampe_);
        }
        ouvert_ = true;
        prochain_ = 0;
        return true;
    }

    bool CMixeur::ChargerSuivant(const std::string& dossier, bool pause)
    {
        const Fonctions* m = Mixer();
        if (!ouvert_ || m == nullptr || prochain_ > NombreEffets)
            return false;
        const int n = prochain_++;
        if (n < NombreEffets)
        {
            effets_[n] = ChargerEffet(*m, dossier + "/" + FichiersEffets[n]);
            return true;
        }
        // The music is streamed from memory while it plays.
        FormatWav format;
        if (!LireFichier(dossier + "/" + FichierMusique, octetsMusique_) ||
            !AnalyseWav(octetsMusique_.data(), octetsMusique_.size(), format))
        {
            octetsMusique_.clear();
            return false;
        }
        fluxMusique_ = SDL_RWFromConstMem(octetsMusique_.data(), static_cast<int>(octetsMusique_.size()));
        if (fluxMusique_ != nullptr)
            musique_ = m->LoadMUS_RW(fluxMusique_);
        if (musique_ == nullptr)
            return false;
        m->VolumeMusic(muet_ && !rampe_ ? 0 : VolumeMusique);
        if (m->FadeInMusic(musique_, -1, 1500) == 0 && pause)
            m->PauseMusic();
        return false;
    }

    bool CMixeur::EssayerOctets(const unsigned char* octets, size_t taille)
    {
        const Fonctions* m = Mixer();
        FormatWav format;
        if (!ouvert_ || m == nullptr || !AnalyseWav(octets, taille, format))
            return false;
        Mix_Chunk* effet = DecoderEffet(*m, octets, taille);
        if (effet != nullptr)
            m->FreeChunk(effet);
        SDL_RWops* flux = SDL_RWFromConstMem(octets, static_cast<int>(taille));
        _Mix_Music* musique = flux != nullptr ? m->LoadMUS_RW(flux) : nullptr;
        if (musique != nullptr)
            m->FreeMusic(musique);
        if (flux != nullptr)
            SDL_RWclose(flux);
        return effet != nullptr && musique != nullptr;
    }

    void CMixeur::Jouer(Effet effet)
    {
        const int n = static_cast<int>(effet);
        const Fonctions* m = Mixer();
        if (!ouvert_ || m == nullptr || muet_ || n < 0 || n >= NombreEffets || effets_[n] == nullptr)
            return;
        m->PlayChannelTimed(-1, effets_[n], 0, -1);
    }

    void CMixeur::SuspendreMusique()
    {
        const Fonctions* m = Mixer();
        if (ouvert_ && m != nullptr && musique_ != nullptr)
            m->PauseMusic();
    }

    void CMixeur::ReprendreMusique()
    {
        const Fonctions* m = Mixer();
        if (ouvert_ && m != nullptr && musique_ != nullptr)
            m->ResumeMusic();
    }

    void CMixeur::Couper()
    {
        muet_ = true;
        const Fonctions* m = Mixer();
        if (!ouvert_ || m == nullptr)
            return;
        if (rampe_)
        {
            // Faded out; the effects still playing go on unheard and are
            // stopped on unmuting.
            etatRampe_.Son.store(false);
            return;
        }
        m->HaltChannel(-1);
        m->VolumeMusic(0);
    }

    void CMixeur::Retablir()
    {
        muet_ = false;
        const Fonctions* m = Mixer();
        if (!ouvert_ || m == nullptr)
            return;
        if (rampe_)
        {
            m->HaltChannel(-1);
            etatRampe_.Son.store(true);
            return;
        }
        m->VolumeMusic(VolumeMusique);
    }

    void CMixeur::Fermer()
    {
        const Fonctions* m = Mixer();
        if (!ouvert_ || m == nullptr)
            return;
        m->HaltChannel(-1);
        if (rampe_)
            m->SetPostMix(nullptr, nullptr);
        rampe_ = false;
        if (musique_ != nullptr)
        {
            m->HaltMusic();
            m->FreeMusic(musique_);
            musique_ = nullptr;
        }
        if (fluxMusique_ != nullptr)
        {
            SDL_RWclose(fluxMusique_);
            fluxMusique_ = nullptr;
        }
        octetsMusique_.clear();
        for (Mix_Chunk*& effet : effets_)
        {
            if (effet != nullptr)
                m->FreeChunk(effet);
            effet = nullptr;
        }
        m->CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        ouvert_ = false;
        prochain_ = 0;
    }
}
