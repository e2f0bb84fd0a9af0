// Reading the player before and after a frame, and the sounds that follow.
#include "Releve.h"

#include "../map/Map.h"
#include "../perso/Perso.h"

namespace Son
{
    namespace
    {
        // The cell holding the map pixel (x, y), or -1 outside the grid.
        int CodeAuPixel(const CMap& carte, long long x, long long y)
        {
            if (x < 0 || y < 0)
                return -1;
            const long long colonne = x / CMap::TailleCase;
            const long long ligne = y / CMap::TailleCase;
            if (colonne > 0x7fffffff || ligne > 0x7fffffff)
                return -1;
            return carte.CodeCase(static_cast<int>(colonne), static_cast<int>(ligne));
        }

        // Below the middle of the feet: the first tile that is neither empty
        // nor unset, from just above the feet (inside a slope tile) to a few
        // pixels under them (standing, the feet are 2 px higher than walking).
        Sol SolSousLesPieds(const CPerso& perso, const CMap& carte)
        {
            const long long x = static_cast<long long>(perso.PosX) + 32;
            for (int dy : {56, 62, 70})
            {
                const int code = CodeAuPixel(carte, x, static_cast<long long>(perso.PosY) + dy);
                if (code > 1)
                    return SolDuCode(code);
            }
            return Sol::Aucun;
        }

        // (t - reference) counted in half strides, rounding down.
        long long DemiFoulees(Uint32 t, Uint32 reference)
        {
            const long long ecart = static_cast<Sint32>(t - reference);
            return ecart >= 0 ? ecart / DemiFoulee : -((-ecart + DemiFoulee - 1) / DemiFoulee);
        }

        bool AuSol(int etat)
        {
            return etat == CPerso::Immobile || etat == CPerso::Marche;
        }

        void Ajouter(Consignes& commandes, Effet effet)
        {
            for (Effet e : commandes.Effets)
                if (e == effet)
                    return;
            commandes.Effets.push_back(effet);
        }

        Effet Pas(Sol sol)
        {
            switch (sol)
            {
            case Sol::Sable:
                return Effet::PasSable;
            case Sol::Pierre:
                return Effet::PasPierre;
            default:
                return Effet::PasHerbe;
            }
        }
    }

    Sol SolDuCode(int code)
    {
        switch (code)
        {
        case 2: case 5: case 7: case 8: case 9: case 10: case 11:
        case 12: case 13: case 14: case 21: case 23:
            return Sol::Herbe;
        case 6: case 25: case 27: case 29: case 31: case 33:
            return Sol::Sable;
        case 4: case 15: case 16: case 17: case 18: case 19: case 20:
        case 22: case 24: case 26: case 28: case 30: case 32:
            return Sol::Pierre;
        default: // unset, empty, water, unknown
            return Sol::Aucun;
        }
    }

    Releve Relever(const CPerso& perso, const CMap& carte, bool pause, Uint32 instant)
    {
        Releve r;
        r.Instant = instant;
        r.Etat = perso.Etat;
        r.Vie = perso.Vie;
        r.Mana = perso.Mana;
        r.ProchainSaut = perso.ProchainSaut;
        r.DebutAnim = perso.DebutAnim;
        const long long chute = static_cast<long long>(perso.PosY) - perso.DebutChute;
        r.PosY = perso.PosY;
        r.VitesseY = perso.VitesseY;
        r.HauteurChute = chute < 0 ? 0 : (chute > 0x7fffffff ? 0x7fffffff : static_cast<int>(chute));
        for (const CMap::CBonus& bonus : carte.ListeBonus)
        {
            if (bonus.Type >= 1 && bonus.Type <= 4)
                ++r.BonusVie;
            else if (bonus.Type >= 5 && bonus.Type <= 8)
                ++r.BonusMana;
        }
        r.SousLesPieds = SolSousLesPieds(perso, carte);
        r.DansLEau = CodeAuPixel(carte, static_cast<long long>(perso.PosX) + 32,
                                 static_cast<long long>(perso.PosY) + 32) == 3;
        r.Pause = pause;
        return r;
    }

    int DegatChute(int hauteur)
    {
        return hauteur > 384 ? (hauteur - 384) / 64 * 20 : 0;
    }

    Consignes CAiguillage::Trame(const Releve& avant, const Releve& apres)
    {
        Consignes c;
        if (!avant.Pause && apres.Pause)
        {
            c.SuspendreMusique = true;
            Ajouter(c, Effet::Pause);
        }
        if (avant.Pause && !apres.Pause)
        {
            c.ReprendreMusique = true;
            Ajouter(c, Effet::Reprise);
        }

        // Paused or not: the character comes back at its time, and may take
        // a bonus lying at the start.
        const bool mort = apres.Etat == CPerso::Mort;
        // Out of the water, only a fall kills: the death sound starts with
        // its own heavy thud.
        if (avant.Etat != CPerso::Mort && mort)
            Ajouter(c, apres.DansLEau ? Effet::Plouf : Effet::Mort);
        if (avant.Etat == CPerso::Mort && !mort)
            Ajouter(c, Effet::Retour);

        if (apres.BonusVie < avant.BonusVie)
            Ajouter(c, Effet::Vie);
        if (apres.BonusMana < avant.BonusMana)
            Ajouter(c, Effet::Mana);

        if (mort || avant.Etat == CPerso::Mort)
        {
            lourdEntendu_ = false;
            atterrissageEnAttente_ = false;
            descendu_ = false;
        }
        else if (!apres.Pause) // no movement step runs while paused
            Mouvement(avant, apres, c);

        if (muet_)
            c.Effets.clear();
        return c;
    }

    void CAiguillage::Mouvement(const Releve& avant, const Releve& apres, Consignes& c)
    {
        const bool saut = apres.ProchainSaut != avant.ProchainSaut;
        if (saut)
            Ajouter(c, Effet::Saut);
        if (apres.Etat == CPerso::Accroche && avant.Etat != CPerso::Accroche)
            Ajouter(c, Effet::Accroche);
        else if (avant.Etat == CPerso::Accroche && apres.Etat != CPerso::Accroche && !saut)
            Ajouter(c, Effet::Lache);

        // Coming down: moved down in the air, or falling at the end of the
        // frame. A jump starts over; standing, the character is down.
        const bool enLAir = !AuSol(apres.Etat);
        if (saut || AuSol(avant.Etat))
            descendu_ = false;
        const bool descend = apres.PosY > avant.PosY || apres.VitesseY > 0;
        if (enLAir && descend)
            descendu_ = true;

        // A landing. The step that stops the fall takes the life, and it may
        // come several steps after the character is first seen standing,
        // still sinking; the fall may also end softly without it. After a
        // fall high enough to cost life the sound therefore waits until the
        // character stops sinking: a thud if life went, nothing if the fall
        // killed (the death sound has its thud), a soft landing otherwise.
        // Seen on the ground while still rising (a ledge's top passed on the
        // way up) is not a landing: the character is still in a jump.
        const bool perdVie = apres.Vie < avant.Vie;
        const bool montant = !descendu_ && !descend && apres.VitesseY <= -1;
        const bool atterrit = avant.Etat == CPerso::EnLAir && AuSol(apres.Etat) && !montant;
        if (AuSol(apres.Etat) && !montant)
            descendu_ = false;
        if (atterrissageEnAttente_)
        {
            if (perdVie)
            {
                Ajouter(c, Effet::ChuteLourde);
                atterrissageEnAttente_ = false;
            }
            else if (apres.PosY == avant.PosY || !AuSol(apres.Etat))
            {
                Ajouter(c, Effet::Atterrissage);
                atterrissageEnAttente_ = false;
            }
        }
        else if (atterrit)
        {
            if (lourdEntendu_) // already heard at the impact
                lourdEntendu_ = false;
            else if (perdVie)
                Ajouter(c, Effet::ChuteLourde);
            else if (DegatChute(apres.HauteurChute) > 0)
                atterrissageEnAttente_ = true;
            else
                Ajouter(c, Effet::Atterrissage);
        }
        else if (perdVie && apres.Etat == CPerso::EnLAir)
        {
            Ajouter(c, Effet::ChuteLourde); // the impact, not yet standing
            lourdEntendu_ = true;
        }

        // Footsteps: when walking starts, then at each half stride; none in
        // the frame of a landing, which makes its own sound.
        const bool marche = apres.Etat == CPerso::Marche && apres.SousLesPieds != Sol::Aucun;
        if (marche && !atterrit && !atterrissageEnAttente_ && !saut && !montant)
        {
            const bool debut = avant.Etat != CPerso::Marche;
            const bool foulee = DemiFoulees(apres.Instant, apres.DebutAnim) >
                                DemiFoulees(avant.Instant, apres.DebutAnim);
            if (debut || foulee)
                Ajouter(c, Pas(apres.SousLesPieds));
        }
    }

    Consignes CAiguillage::BasculeMuet()
    {
        muet_ = !muet_;
        Consignes c;
        c.Couper = muet_;
        c.Retablir = !muet_;
        return c;
    }
}
