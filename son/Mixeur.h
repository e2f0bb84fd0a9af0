#pragma once
// The sound device through SDL_mixer. The mixer library is loaded when the
// device is opened, after the first frame is on the screen, so the start-up
// pays nothing for it; when the library, the audio driver or a device is
// missing, every call does nothing and the game plays silently.
#include "NomsSons.h"

#include <SDL_types.h>
#include <atomic>
#include <string>
#include <vector>

struct _Mix_Music;
struct Mix_Chunk;
struct SDL_RWops;

namespace Son
{
    // Muting and unmuting fade the whole output out and in over this time
    // rather than cutting it, which clicks.
    constexpr int DureeRampeMs = 30;

    // The gain of the whole output, moved one sample frame at a time by
    // `pas` towards `cible` (0 or 1) over interleaved 16-bit samples of
    // `canaux` channels. At gain 1 with target 1 the samples are untouched.
    void AppliqueRampe(Sint16* echantillons, int trames, int canaux, float& gain, float cible, float pas);

    class CMixeur
    {
    public:
        // Opens the device; false (and silence) when none can be opened.
        bool Ouvrir();
        bool Ouvert() const { return ouvert_; }
        // Loads the next sound not yet loaded from `dossier`: one effect per
        // call, then the music, which starts playing (paused when `pause`).
        // False once everything has been tried.
        bool ChargerSuivant(const std::string& dossier, bool pause);

        void Jouer(Effet effet);
        void SuspendreMusique();
        void ReprendreMusique();
        void Couper();   // stops the effects, music silent
        void Retablir();
        // Frees the sounds and closes the device.
        void Fermer();

        // The bytes of a sound file through the game's check, then, once the
        // device is open, decoded by the mixer as an effect and as music and
        // freed again (for the fuzz target). True when the mixer took them.
        bool EssayerOctets(const unsigned char* octets, size_t taille);

        // The output's gain ramp, run by the mixer on every buffer it mixes.
        struct Rampe
        {
            std::atomic<bool> Son{true}; // the target: true heard, false silent
            float Gain = 1.0f;           // the audio thread's own
            float Pas = 1.0f;
            int Canaux = 2;
        };

    private:
        bool ouvert_ = false;
        bool rampe_ = false; // the ramp installed (16-bit output)
        Rampe etatRampe_;
        bool muet_ = false;
        int prochain_ = 0;
        Mix_Chunk* effets_[NombreEffets] = {};
        _Mix_Music* musique_ = nullptr;
        SDL_RWops* fluxMusique_ = nullptr;
        std::vector<unsigned char> octetsMusique_; // read by the music stream
    };

    // Levels out of 128.
    constexpr int VolumeEffets = 104; // a little headroom for effects that overlap
    constexpr int VolumeMusique = 48;
}
