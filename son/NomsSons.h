#pragma once
// The game's sounds and the files that hold them, shared by the game, which
// plays them from ./Sons, and by the sound generator, which writes them there.

namespace Son
{
    enum class Effet
    {
        Saut,        // jump, from the ground or off a ledge
        Atterrissage,// soft landing
        ChuteLourde, // landing that costs life
        Accroche,    // ledge grab
        Lache,       // letting go of a ledge
        PasHerbe,    // footstep on grass or earth
        PasSable,    // footstep on sand
        PasPierre,   // footstep on stone
        Vie,         // life bonus taken
        Mana,        // mana bonus taken
        Plouf,       // death in water
        Mort,        // death by a fall or with no life left
        Retour,      // back at the start, with the fade from black
        Pause,
        Reprise,
        Nombre
    };

    constexpr int NombreEffets = static_cast<int>(Effet::Nombre);

    // File names in the Sons folder, in the order of Effet.
    constexpr const char* FichiersEffets[NombreEffets] = {
        "saut.wav",  "atterrissage.wav", "chute-lourde.wav", "accroche.wav", "lache.wav",
        "pas-herbe.wav", "pas-sable.wav", "pas-pierre.wav", "vie.wav", "mana.wav",
        "plouf.wav", "mort.wav", "retour.wav", "pause.wav", "reprise.wav"};

    constexpr const char* FichierMusique = "musique.wav";
    constexpr const char* DossierSons = "Sons";

    // Every sound is 16-bit mono PCM at this rate.
    constexpr int Frequence = 44100;
}
