// SDL_mixer for the page, over the browser's Web Audio. The game loads the
// mixer by name (son/Mixeur.cpp): here SDL_LoadObject gives it these
// functions. Effects are the game's WAV files, decoded here into Web Audio
// buffers; the music is Sons/musique.ogg, made at build time from the
// generator's WAV and decoded by the browser, when the page ships it (the
// WAV given then holds one silent frame); without it the WAV given is played.
// The audio context runs once the page has had a key or a click (the
// browsers' autoplay rule): the page resumes it (Module.corvellaSon).
#include "../../son/FichierSon.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <emscripten.h>

#include <cstdio>
#include <cstring>
#include <vector>

struct Mix_Chunk;
struct _Mix_Music;

// The Web Audio side: channels of effects, one music, the volumes.
EM_JS(int, SonOuvrir, (int canaux), {
    const Contexte = window.AudioContext || window.webkitAudioContext;
    if (!Contexte) return -1;
    let ctx;
    try { ctx = new Contexte(); } catch (e) { return -1; }
    const maitre = ctx.createGain();
    maitre.connect(ctx.destination);
    const son = Module["corvellaSon"] = {
        ctx, maitre, tampons: [null], canaux: [], effetsJoues: 0,
        musique: { tampon: null, source: null, gain: ctx.createGain(), volume: 1, debut: 0, position: 0,
                   etat: "arretee", fondu: 0 },
        reprendre() { if (ctx.state !== "running") return ctx.resume(); return Promise.resolve(); },
    };
    son.musique.gain.connect(maitre);
    for (let i = 0; i < canaux; ++i) {
        const gain = ctx.createGain();
        gain.connect(maitre);
        son.canaux.push({ gain, source: null });
    }
    if (navigator.userActivation && navigator.userActivation.hasBeenActive) son.reprendre();
    return 0;
});

EM_JS(void, SonFermer, (), {
    const son = Module["corvellaSon"];
    if (!son) return;
    for (const c of son.canaux) if (c.source) { try { c.source.stop(); } catch (e) {} }
    if (son.musique.source) { try { son.musique.source.stop(); } catch (e) {} }
    son.ctx.close();
    Module["corvellaSon"] = null;
});

// Samples as floats, channel after channel; the buffer's number.
EM_JS(int, SonTampon, (const float* echantillons, int trames, int canaux, int frequence), {
    const son = Module["corvellaSon"];
    if (!son || trames <= 0) return 0;
    const tampon = son.ctx.createBuffer(canaux, trames, frequence);
    for (let c = 0; c < canaux; ++c)
        tampon.copyToChannel(HEAPF32.subarray((echantillons >> 2) + c * trames, (echantillons >> 2) + (c + 1) * trames), c);
    son.tampons.push(tampon);
    return son.tampons.length - 1;
});

EM_JS(void, SonLibererTampon, (int numero), {
    const son = Module["corvellaSon"];
    if (son && numero > 0 && numero < son.tampons.length) son.tampons[numero] = null;
});

EM_JS(int, SonJouer, (int canal, int numero), {
    const son = Module["corvellaSon"];
    if (!son || !son.tampons[numero]) return -1;
    if (canal < 0) canal = son.canaux.findIndex((c) => !c.source);
    if (canal < 0 || canal >= son.canaux.length) return -1;
    const c = son.canaux[canal];
    if (c.source) { try { c.source.stop(); } catch (e) {} }
    const source = son.ctx.createBufferSource();
    source.buffer = son.tampons[numero];
    source.connect(c.gain);
    source.onended = () => { if (c.source === source) c.source = null; };
    c.source = source;
    source.start();
    son.effetsJoues++;
    return canal;
});

EM_JS(void, SonArreter, (int canal), {
    const son = Module["corvellaSon"];
    if (!son) return;
    son.canaux.forEach((c, i) => {
        if ((canal < 0 || canal === i) && c.source) { try { c.source.stop(); } catch (e) {} c.source = null; }
    });
});

EM_JS(void, SonVolume, (int canal, double volume), {
    const son = Module["corvellaSon"];
    if (!son) return;
    son.canaux.forEach((c, i) => { if (canal < 0 || canal === i) c.gain.gain.value = volume; });
});

// The music from a file of the page's data (decoded by the browser), or
// from a buffer already made.
EM_JS(int, SonMusiqueFichier, (const char* chemin), {
    const son = Module["corvellaSon"];
    let octets;
    try { octets = FS.readFile(UTF8ToString(chemin)); } catch (e) { return 0; }
    if (!son) return 0;
    son.musique.etat = "arretee";
    son.ctx.decodeAudioData(octets.buffer.slice(octets.byteOffset, octets.byteOffset + octets.byteLength))
        .then((tampon) => { son.musique.tampon = tampon; if (son.musique.etat === "jouee") son.musique.lancer(); })
        .catch(() => {});
    return 1;
});

EM_JS(void, SonMusiqueTampon, (int numero), {
    const son = Module["corvellaSon"];
    if (son) son.musique.tampon = son.tampons[numero] || null;
});

EM_JS(void, SonMusique, (int action, double valeur), {
    const son = Module["corvellaSon"];
    if (!son) return;
    const m = son.musique;
    m.lancer = () => {
        if (!m.tampon || m.source) return;
        const source = son.ctx.createBufferSource();
        source.buffer = m.tampon;
        source.loop = true;
        source.connect(m.gain);
        m.debut = son.ctx.currentTime - m.position;
        source.start(0, m.position % m.tampon.duration);
        m.source = source;
    };
    const couper = () => {
        if (m.source) {
            m.position = (son.ctx.currentTime - m.debut) % (m.tampon ? m.tampon.duration : 1);
            try { m.source.stop(); } catch (e) {}
            m.source = null;
        }
    };
    switch (action) {
    case 0: // play from the start, fading in over `valeur` ms
        couper(); m.position = 0; m.etat = "jouee";
        m.gain.gain.cancelScheduledValues(son.ctx.currentTime);
        m.gain.gain.setValueAtTime(0, son.ctx.currentTime);
        m.gain.gain.linearRampToValueAtTime(m.volume, son.ctx.currentTime + valeur / 1000);
        m.lancer();
        break;
    case 1: couper(); m.etat = "arretee"; m.position = 0; break; // halt
    case 2: if (m.etat === "jouee") { couper(); m.etat = "suspendue"; } break; // pause
    case 3: if (m.etat === "suspendue") { m.etat = "jouee"; m.lancer(); } break; // resume
    case 4: // volume, over 30 ms so that muting makes no click
        m.volume = valeur;
        m.gain.gain.cancelScheduledValues(son.ctx.currentTime);
        m.gain.gain.setValueAtTime(m.gain.gain.value, son.ctx.currentTime);
        m.gain.gain.linearRampToValueAtTime(valeur, son.ctx.currentTime + 0.03);
        break;
    }
});

namespace
{
    struct Effet
    {
        int Tampon = 0;
    };

    struct Musique
    {
        int Tampon = 0; // a WAV of its own, when the page ships no Ogg
    };

    bool Ouvert = false;
    int VolumeMusique = MIX_MAX_VOLUME;
    std::vector<int> Volumes;

    std::vector<unsigned char> LireTout(SDL_RWops* flux, int fermer)
    {
        std::vector<unsigned char> octets;
        if (flux == nullptr)
            return octets;
        unsigned char tampon[65536];
        size_t n;
        while ((n = SDL_RWread(flux, tampon, 1, sizeof tampon)) > 0 && octets.size() <= Son::TailleMaxFichier)
            octets.insert(octets.end(), tampon, tampon + n);
        if (fermer)
            SDL_RWclose(flux);
        return octets;
    }

    // The PCM samples of a WAV file, in a Web Audio buffer (0: none).
    int TamponWav(const std::vector<unsigned char>& octets)
    {
        Son::FormatWav f;
        if (!Son::AnalyseWav(octets.data(), octets.size(), f))
            return 0;
        const int octetsEchantillon = f.Bits / 8;
        const int trames = static_cast<int>(f.TailleDonnees / (octetsEchantillon * f.Canaux));
        std::vector<float> echantillons(static_cast<size_t>(trames) * f.Canaux);
        const unsigned char* d = octets.data() + f.DebutDonnees;
        for (int t = 0; t < trames; ++t)
            for (int c = 0; c < f.Canaux; ++c)
            {
                const unsigned char* e = d + (static_cast<size_t>(t) * f.Canaux + c) * octetsEchantillon;
                const float v = f.Bits == 8 ? (e[0] - 128) / 128.0f
                                            : static_cast<short>(e[0] | (e[1] << 8)) / 32768.0f;
                echantillons[static_cast<size_t>(c) * trames + t] = v;
            }
        return SonTampon(echantillons.data(), trames, f.Canaux, f.Frequence);
    }
}

extern "C" {

int WebMix_OpenAudio(int, Uint16, int, int)
{
    if (Ouvert)
        return 0;
    if (SonOuvrir(8) < 0)
        return -1;
    Ouvert = true;
    Volumes.assign(8, MIX_MAX_VOLUME);
    return 0;
}

void WebMix_CloseAudio()
{
    if (Ouvert)
        SonFermer();
    Ouvert = false;
}

int WebMix_AllocateChannels(int n)
{
    if (!Ouvert || n <= 0)
        return static_cast<int>(Volumes.size());
    SonFermer();
    SonOuvrir(n);
    Volumes.assign(static_cast<size_t>(n), MIX_MAX_VOLUME);
    return n;
}

Mix_Chunk* WebMix_LoadWAV_RW(SDL_RWops* flux, int fermer)
{
    const int tampon = TamponWav(LireTout(flux, fermer));
    if (tampon == 0)
        return nullptr;
    Effet* e = new Effet;
    e->Tampon = tampon;
    return reinterpret_cast<Mix_Chunk*>(e);
}

void WebMix_FreeChunk(Mix_Chunk* chunk)
{
    Effet* e = reinterpret_cast<Effet*>(chunk);
    if (e == nullptr)
        return;
    SonLibererTampon(e->Tampon);
    delete e;
}

int WebMix_PlayChannelTimed(int canal, Mix_Chunk* chunk, int, int)
{
    const Effet* e = reinterpret_cast<Effet*>(chunk);
    return e == nullptr ? -1 : SonJouer(canal, e->Tampon);
}

int WebMix_HaltChannel(int canal)
{
    SonArreter(canal);
    return 0;
}

int WebMix_Volume(int canal, int volume)
{
    if (Volumes.empty())
        return 0;
    const int avant = canal >= 0 && static_cast<size_t>(canal) < Volumes.size() ? Volumes[canal] : Volumes[0];
    if (volume >= 0)
    {
        volume = volume > MIX_MAX_VOLUME ? MIX_MAX_VOLUME : volume;
        for (size_t i = 0; i < Volumes.size(); ++i)
            if (canal < 0 || static_cast<size_t>(canal) == i)
                Volumes[i] = volume;
        SonVolume(canal, volume / static_cast<double>(MIX_MAX_VOLUME));
    }
    return avant;
}

Mix_Music* WebMix_LoadMUS_RW(SDL_RWops* flux)
{
    const std::vector<unsigned char> octets = LireTout(flux, 0);
    Musique* m = new Musique;
    if (SonMusiqueFichier("Sons/musique.ogg") == 0)
    {
        m->Tampon = TamponWav(octets);
        if (m->Tampon == 0)
        {
            delete m;
            return nullptr;
        }
        SonMusiqueTampon(m->Tampon);
    }
    return reinterpret_cast<Mix_Music*>(m);
}

void WebMix_FreeMusic(Mix_Music* musique)
{
    Musique* m = reinterpret_cast<Musique*>(musique);
    if (m == nullptr)
        return;
    SonMusique(1, 0);
    if (m->Tampon != 0)
        SonLibererTampon(m->Tampon);
    delete m;
}

int WebMix_FadeInMusic(Mix_Music* musique, int, int ms)
{
    if (musique == nullptr)
        return -1;
    SonMusique(0, ms);
    return 0;
}

int WebMix_HaltMusic()
{
    SonMusique(1, 0);
    return 0;
}

void WebMix_PauseMusic()
{
    SonMusique(2, 0);
}

void WebMix_ResumeMusic()
{
    SonMusique(3, 0);
}

int WebMix_VolumeMusic(int volume)
{
    const int avant = VolumeMusique;
    if (volume >= 0)
    {
        VolumeMusique = volume > MIX_MAX_VOLUME ? MIX_MAX_VOLUME : volume;
        SonMusique(4, VolumeMusique / static_cast<double>(MIX_MAX_VOLUME));
    }
    return avant;
}

// Web Audio has no stream of mixed samples to hand to a post-mix step: the
// game, told so, mutes by the volumes (the music's volume ramps above).
int WebMix_QuerySpec(int*, Uint16*, int*)
{
    return 0;
}

void WebMix_SetPostMix(void (*)(void*, Uint8*, int), void*)
{
}

// The mixer's functions by name, for SDL_LoadFunction.
void* WebMixFonction(const char* nom)
{
    struct Ligne
    {
        const char* Nom;
        void* Fonction;
    };
    static const Ligne table[] = {
        {"Mix_OpenAudio", reinterpret_cast<void*>(WebMix_OpenAudio)},
        {"Mix_CloseAudio", reinterpret_cast<void*>(WebMix_CloseAudio)},
        {"Mix_AllocateChannels", reinterpret_cast<void*>(WebMix_AllocateChannels)},
        {"Mix_LoadWAV_RW", reinterpret_cast<void*>(WebMix_LoadWAV_RW)},
        {"Mix_FreeChunk", reinterpret_cast<void*>(WebMix_FreeChunk)},
        {"Mix_PlayChannelTimed", reinterpret_cast<void*>(WebMix_PlayChannelTimed)},
        {"Mix_HaltChannel", reinterpret_cast<void*>(WebMix_HaltChannel)},
        {"Mix_Volume", reinterpret_cast<void*>(WebMix_Volume)},
        {"Mix_LoadMUS_RW", reinterpret_cast<void*>(WebMix_LoadMUS_RW)},
        {"Mix_FreeMusic", reinterpret_cast<void*>(WebMix_FreeMusic)},
        {"Mix_FadeInMusic", reinterpret_cast<void*>(WebMix_FadeInMusic)},
        {"Mix_HaltMusic", reinterpret_cast<void*>(WebMix_HaltMusic)},
        {"Mix_PauseMusic", reinterpret_cast<void*>(WebMix_PauseMusic)},
        {"Mix_ResumeMusic", reinterpret_cast<void*>(WebMix_ResumeMusic)},
        {"Mix_VolumeMusic", reinterpret_cast<void*>(WebMix_VolumeMusic)},
        {"Mix_QuerySpec", reinterpret_cast<void*>(WebMix_QuerySpec)},
        {"Mix_SetPostMix", reinterpret_cast<void*>(WebMix_SetPostMix)},
    };
    for (const Ligne& l : table)
        if (nom != nullptr && std::strcmp(l.Nom, nom) == 0)
            return l.Fonction;
    return nullptr;
}
}
