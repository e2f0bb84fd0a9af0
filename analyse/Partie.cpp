#include "Partie.h"

#include "Contexte.h"
#include "outils/Horloge.h"
#include "perso/CalculPerso.h"

namespace AnalyseCarte
{
    PartieRejouee::PartieRejouee() : perso_(ContexteJeu::CreerJoueur(Debut)), debut_(Debut) {}

    PartieRejouee::PartieRejouee(const CPerso& perso, Uint32 horloge) : perso_(perso), debut_(horloge) {}

    bool PartieRejouee::Reguliere() const
    {
        const long long ecart = CalculPerso::Ecart(Horloge(), perso_.DernierDepl);
        return perso_.Etat != CPerso::Mort && ecart > 5 && ecart <= 10;
    }

    Evenements PartieRejouee::Trame(unsigned touches)
    {
        Evenements e;
        Horloge::FixerTemps(Horloge());
        for (int t = 0; t < 4; ++t)
            perso_.ModifTouche(t, ((touches >> t) & 1u) != 0);
        const CPerso avant = perso_;
        perso_.AvanceDepl();
        e.Saut = perso_.ProchainSaut != avant.ProchainSaut;
        e.Accroche = perso_.Etat == CPerso::Accroche && avant.Etat != CPerso::Accroche;
        e.Lache = avant.Etat == CPerso::Accroche && perso_.Etat != CPerso::Accroche && !e.Saut;
        perso_.AvanceAnim();

        const size_t lesBonus = Map.ListeBonus.size();
        const int colonne = perso_.PosX / CMap::TailleCase;
        const int ligne = perso_.PosY / CMap::TailleCase;
        int type = 0;
        for (const CMap::CBonus& b : Map.ListeBonus)
            if (b.CaseX == colonne && b.CaseY == ligne)
            {
                type = b.Type;
                break;
            }
        perso_.PrendBonus();
        if (Map.ListeBonus.size() < lesBonus)
        {
            e.Prise = type;
            e.PriseColonne = colonne;
            e.PriseLigne = ligne;
        }
        const bool vivant = avant.Etat != CPerso::Mort;
        perso_.VerifieMort();
        e.Mort = vivant && perso_.Etat == CPerso::Mort;
        const bool mort = perso_.Etat == CPerso::Mort;
        perso_.VerifieRetour();
        e.Retour = mort && perso_.Etat != CPerso::Mort;
        ++trames_;
        return e;
    }

    PartieRejouee::Instantane PartieRejouee::Garder() const
    {
        Instantane i;
        i.Perso = perso_;
        i.Bonus = Map.ListeBonus;
        i.Trames = trames_;
        return i;
    }

    void PartieRejouee::Reprendre(const Instantane& i)
    {
        perso_ = i.Perso;
        Map.ListeBonus = i.Bonus;
        trames_ = i.Trames;
    }
}
