#include "Contexte.h"

#include "outils/Horloge.h"

#include <cstring>
#include <utility>

namespace AnalyseCarte
{
    ContexteJeu::ContexteJeu()
        : pause_(JeuEnPause), fonduActif_(Moteur.FonduActif), debutFondu_(Moteur.DebutFondu),
          finFondu_(Moteur.FinFondu), couleurFinFondu_{}, couleurDebutFondu_{}, horlogeFigee_(Horloge::EstFige()),
          temps_(Horloge::Ticks())
    {
        std::memcpy(couleurFinFondu_, Moteur.CouleurFinFondu, sizeof couleurFinFondu_);
        std::memcpy(couleurDebutFondu_, Moteur.CouleurDebutFondu, sizeof couleurDebutFondu_);
        Echanger();
        JeuEnPause = false;
    }

    ContexteJeu::~ContexteJeu()
    {
        Echanger();
        JeuEnPause = pause_;
        // Deaths in the search and the replay ask the engine for fades.
        Moteur.FonduActif = fonduActif_;
        Moteur.DebutFondu = debutFondu_;
        Moteur.FinFondu = finFondu_;
        std::memcpy(Moteur.CouleurFinFondu, couleurFinFondu_, sizeof couleurFinFondu_);
        std::memcpy(Moteur.CouleurDebutFondu, couleurDebutFondu_, sizeof couleurDebutFondu_);
        if (horlogeFigee_)
            Horloge::FixerTemps(temps_);
        else
            Horloge::TempsReel();
    }

    void ContexteJeu::Echanger()
    {
        std::swap(carte_.Hauteur, Map.Hauteur);
        std::swap(carte_.Largeur, Map.Largeur);
        std::swap(carte_.PosDebutX, Map.PosDebutX);
        std::swap(carte_.PosDebutY, Map.PosDebutY);
        carte_.Cases.swap(Map.Cases);
        carte_.ListeBonus.swap(Map.ListeBonus);
        personnages_.swap(Personnages);
    }

    void ContexteJeu::ChargerNiveau(const std::string& contenu)
    {
        Map.Hauteur = 0;
        Map.Largeur = 0;
        Map.PosDebutX = 0;
        Map.PosDebutY = 0;
        Map.Cases.clear();
        Map.ListeBonus.clear();
        Map.AnalyseContenu(contenu);
    }

    CPerso& ContexteJeu::CreerJoueur(Uint32 maintenant)
    {
        Horloge::FixerTemps(maintenant - 5);
        Personnages.clear();
        Personnages.push_back(CPerso());
        CPerso& joueur = Personnages.back();
        Horloge::FixerTemps(maintenant);
        joueur.ModifPos(Map.ReturnPosDebutX(), Map.ReturnPosDebutY());
        return joueur;
    }

    int LargeurEffective()
    {
        if (Map.Largeur <= 0)
            return 0;
        const size_t colonnes = Map.Cases.size() < static_cast<size_t>(Map.Largeur)
                                    ? Map.Cases.size()
                                    : static_cast<size_t>(Map.Largeur);
        return static_cast<int>(colonnes);
    }

    int HauteurEffective()
    {
        if (Map.Hauteur <= 0 || Map.Cases.empty())
            return 0;
        // Every column of a grid made by the loader has the same height.
        const size_t cellules = Map.Cases[0].size();
        return static_cast<int>(cellules < static_cast<size_t>(Map.Hauteur) ? cellules
                                                                           : static_cast<size_t>(Map.Hauteur));
    }

    bool CodeOuvert(int code)
    {
        switch (code)
        {
        case 1:  // empty
        case 3:  // water
        case 8:  // hilltop and slope: free above their diagonal
        case 9:
        case 21:
        case 23:
            return true;
        default:
            return false;
        }
    }
}
