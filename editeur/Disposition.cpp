#include "Disposition.h"

#include <algorithm>

namespace Edition
{
    Disposition Disposer(int largeur, int hauteur)
    {
        Disposition d;
        d.Largeur = largeur;
        d.Hauteur = hauteur;
        const int carteL = std::max(1, largeur - LargeurPalette), carteH = std::max(1, hauteur - HauteurEtat);
        d.Carte = Zone{0, 0, carteL, carteH};
        d.Palette = Zone{carteL, 0, LargeurPalette, hauteur};
        d.Etat = Zone{0, carteH, carteL, HauteurEtat};
        return d;
    }

    int LargeurTexte(const std::string& texte, int taille)
    {
        return static_cast<int>(texte.size()) * taille;
    }

    std::string Raccourcir(const std::string& texte, int largeur, int taille)
    {
        if (LargeurTexte(texte, taille) <= largeur)
            return texte;
        const int lettres = taille > 0 ? largeur / taille : 0;
        if (lettres <= 3)
            return std::string(static_cast<size_t>(std::max(0, lettres)), '.');
        return texte.substr(0, static_cast<size_t>(lettres - 3)) + "...";
    }

    std::vector<std::string> Couper(const std::string& texte, size_t largeur)
    {
        std::vector<std::string> lignes;
        std::string reste = texte;
        while (reste.size() > largeur)
        {
            size_t coupe = reste.rfind(' ', largeur);
            if (coupe == std::string::npos || coupe < largeur / 2)
                coupe = largeur;
            lignes.push_back(reste.substr(0, coupe));
            reste = reste.substr(coupe == largeur ? coupe : coupe + 1);
        }
        lignes.push_back(reste);
        return lignes;
    }
}
