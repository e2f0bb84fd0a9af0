#include "Infobulle.h"

#include "TexteEcran.h"

#include <algorithm>

namespace Edition
{
    namespace
    {
        const int Taille = 12, Ligne = 16;
    }

    std::vector<std::string> Infobulle::Lignes() const
    {
        std::vector<std::string> lignes;
        if (Cachee || etat_.SourisX < 0 || !etat_.Fenetre.Carte.Contient(etat_.SourisX, etat_.SourisY))
            return lignes;
        int c, l;
        etat_.VueNiveau.CaseSous(etat_.SourisX, etat_.SourisY, c, l);
        const int largeurFenetre = etat_.Fenetre.Largeur, hauteurFenetre = etat_.Fenetre.Hauteur;
        // Half the window wide, and as many lines as the window holds.
        const size_t colonnes = static_cast<size_t>(std::max(20, (largeurFenetre / 2) / Taille));
        const size_t plus = static_cast<size_t>(std::max(1, std::min(12, (hauteurFenetre - 10) / Ligne)));
        for (size_t i : MarquesEn(etat_.Marques, c, l))
            for (const std::string& ligne : Couper(etat_.Marques[i].Message + " [" + etat_.Marques[i].Genre + "]", colonnes))
                lignes.push_back(ligne);
        if (lignes.size() > plus)
            lignes.resize(plus);
        return lignes;
    }

    Zone Infobulle::Place() const
    {
        const std::vector<std::string> lignes = Lignes();
        if (lignes.empty())
            return Zone{};
        int largeur = 0;
        for (const std::string& ligne : lignes)
            largeur = std::max(largeur, LargeurTexte(ligne, Taille));
        return PlacerInfobulle(etat_.SourisX, etat_.SourisY, largeur + 16, static_cast<int>(lignes.size()) * Ligne + 10,
                               etat_.Fenetre.Largeur, etat_.Fenetre.Hauteur);
    }

    void Infobulle::Dessine()
    {
        const std::vector<std::string> lignes = Lignes();
        if (lignes.empty())
            return;
        const Zone z = Place();
        DessineRectangle(z.X, z.Y, z.Largeur, z.Hauteur, 40, 20, 0, 235);
        DessineCadre(z.X, z.Y, z.Largeur, z.Hauteur, 1, 255, 140, 0, 255);
        for (size_t i = 0; i < lignes.size(); ++i)
            DessineTexteEcran(Raccourcir(lignes[i], z.Largeur - 16, Taille), z.X + 8, z.Y + 6 + static_cast<int>(i) * Ligne,
                              Taille, 255, 230, 200);
    }
}
