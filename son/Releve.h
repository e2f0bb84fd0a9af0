#pragma once
// What the sounds are decided from: the part of the player's record that a
// frame can change, read before and after the frame, and the rules that turn
// two readings into the sounds to play. Works without any audio device.
#include "NomsSons.h"

#include <SDL.h>
#include <vector>

class CPerso;
class CMap;

namespace Son
{
    // The kind of ground, for the footsteps.
    enum class Sol
    {
        Aucun,  // air, water, or outside the level
        Herbe,  // grass and earth, their slopes
        Sable,
        Pierre  // walls and their transitions
    };

    struct Releve
    {
        Uint32 Instant = 0;      // the game clock when read
        int Etat = 1;            // CPerso::Etat
        int Vie = 0;
        int Mana = 0;
        Uint32 ProchainSaut = 0; // moved by every jump
        Uint32 DebutAnim = 0;    // start of the animation cycle
        int HauteurChute = 0;    // PosY - DebutChute: how far it has fallen
        int PosY = 0;
        double VitesseY = 0;     // negative while rising
        int BonusVie = 0;        // life bonuses still lying on the level
        int BonusMana = 0;       // mana bonuses still lying on the level
        Sol SousLesPieds = Sol::Aucun;
        bool DansLEau = false;   // the centre of the square in water
        bool Pause = false;
    };

    // The ground kind of a tile code.
    Sol SolDuCode(int code);

    // Reads the character and the level at `instant`.
    Releve Relever(const CPerso& perso, const CMap& carte, bool pause, Uint32 instant);

    // What the device is asked to do after a frame.
    struct Consignes
    {
        std::vector<Effet> Effets;      // each at most once
        bool SuspendreMusique = false;
        bool ReprendreMusique = false;
        bool Couper = false;            // mute: stop the effects, music silent
        bool Retablir = false;          // unmute

        bool Vide() const
        {
            return Effets.empty() && !SuspendreMusique && !ReprendreMusique && !Couper && !Retablir;
        }
    };

    // The one place where changes become sounds.
    class CAiguillage
    {
    public:
        // The sounds of one frame, from the readings before and after it.
        // However many movement steps the frame ran, each sound comes once.
        // A change made while paused (the return at the start) is heard when
        // it happens; muted, the frame is followed all the same and only its
        // effects are dropped.
        Consignes Trame(const Releve& avant, const Releve& apres);
        // M: mute, or unmute.
        Consignes BasculeMuet();
        bool Muet() const { return muet_; }

    private:
        // What the character's movement sounds like; only in frames where
        // the movement ran (not paused).
        void Mouvement(const Releve& avant, const Releve& apres, Consignes& c);

        bool muet_ = false;
        // Seen coming down since the character left the ground. The movement
        // counts the character as standing for a step when it rises past a
        // ledge's top; that is not a landing.
        bool descendu_ = false;
        // The heavy thud was heard at the impact, before the character was
        // seen standing: its landing makes no second sound.
        bool lourdEntendu_ = false;
        // Seen standing after a fall high enough to cost life, but still
        // sinking: the step that stops the fall (and takes the life, or
        // lets it land softly after all) is still to come.
        bool atterrissageEnAttente_ = false;
    };

    // The life a landing after a fall of `hauteur` pixels costs: none up to
    // 447 px, then 20 for each whole 64 px beyond 384.
    int DegatChute(int hauteur);

    // A footstep falls when the foot is planted: at the start of each half of
    // the one-second walking cycle.
    constexpr Uint32 DemiFoulee = 500;
}
