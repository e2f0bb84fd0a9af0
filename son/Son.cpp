// The hook of the game loop on the player's record and the sound device.
#include "Son.h"

#include "Mixeur.h"
#include "Releve.h"
#include "../main/Globales.h"
#include "../outils/Horloge.h"

namespace Son
{
    namespace
    {
        CMixeur Mixeur;
        CAiguillage Aiguillage;
        Releve Avant;
        bool AvantLu = false;
        bool OuvertureTentee = false;
        bool AChargerEncore = true;
        const Uint32 BudgetChargement = 4; // ms of a frame

        bool Joueur(CPerso*& joueur)
        {
            if (PersoPrincipal < 0 || static_cast<size_t>(PersoPrincipal) >= Personnages.size())
                return false;
            joueur = &Personnages[static_cast<size_t>(PersoPrincipal)];
            return true;
        }

        void Executer(const Consignes& commandes)
        {
            if (commandes.Couper)
                Mixeur.Couper();
            if (commandes.Retablir)
                Mixeur.Retablir();
            if (commandes.SuspendreMusique)
                Mixeur.SuspendreMusique();
            if (commandes.ReprendreMusique)
                Mixeur.ReprendreMusique();
            for (Effet effet : commandes.Effets)
                Mixeur.Jouer(effet);
        }
    }

    void AvantTrame()
    {
        CPerso* joueur = nullptr;
        AvantLu = Joueur(joueur);
        if (AvantLu)
            Avant = Relever(*joueur, Map, JeuEnPause, Horloge::Ticks());
    }

    void ApresTrame()
    {
        if (!OuvertureTentee)
        {
            OuvertureTentee = true;
            AChargerEncore = Mixeur.Ouvrir();
        }
        else if (AChargerEncore)
        {
            // A few milliseconds of loading a frame, at least one sound.
            const Uint32 debut = Horloge::Ticks();
            do
                AChargerEncore = Mixeur.ChargerSuivant(DossierSons, JeuEnPause);
            while (AChargerEncore && Horloge::Ticks() - debut < BudgetChargement);
        }

        CPerso* joueur = nullptr;
        if (!AvantLu || !Joueur(joueur))
            return;
        Executer(Aiguillage.Trame(Avant, Relever(*joueur, Map, JeuEnPause, Horloge::Ticks())));
    }

    void BasculeMuet()
    {
        Executer(Aiguillage.BasculeMuet());
    }

    bool Muet()
    {
        return Aiguillage.Muet();
    }

    void Fermer()
    {
        Mixeur.Fermer();
        OuvertureTentee = false;
        AChargerEncore = true;
    }
}
