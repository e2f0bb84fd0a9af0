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

    GrillePalette DisposerPalette(int hauteur, size_t entrees, size_t outils)
    {
        GrillePalette g;
        const int rangees = static_cast<int>((entrees + static_cast<size_t>(g.Colonnes) - 1) / static_cast<size_t>(g.Colonnes));
        // Under the icons: 6 + the name's 36, the tools' lines, 4 + the help's 16, and a margin.
        const int dessous = 6 + 36 + static_cast<int>(outils) * 16 + 4 + 16 + 4;
        if (rangees > 0)
            g.Pas = std::max(24, std::min(44, (hauteur - g.Haut - dessous) / rangees));
        g.Icone = g.Pas - 4;
        g.Nom = g.Haut + rangees * g.Pas + 6;
        g.Outils = g.Nom + 36;
        g.Bas = g.Outils + static_cast<int>(outils) * 16 + 4 + 16;
        return g;
    }

    TextesEtat DisposerLigneEtat(const Zone& ligne, const std::string& position, const std::string& analyse,
                                 const std::string& message, int taille)
    {
        const int marge = 6, ecart = 30;
        const int yLigne = ligne.Y + (ligne.Hauteur - taille) / 2, yBande = ligne.Y - HauteurBandeEtat + (HauteurBandeEtat - taille) / 2;
        TextesEtat t;
        // The check on the line, after the position, when it fits there whole;
        // otherwise on the band above the line, where it is cut short only if
        // it must (to half the band when a message shares it): the findings
        // and the clear check are read whole rather than guessed from "CLE...".
        const int place = ligne.Largeur - LargeurTexte(position, taille) - ecart - 2 * marge;
        const bool surLigne = LargeurTexte(analyse, taille) <= place;
        if (!analyse.empty())
        {
            const int bande = message.empty() ? ligne.Largeur - 4 * marge : ligne.Largeur / 2 - 2 * marge;
            t.Analyse.Texte = Raccourcir(analyse, surLigne ? place : bande, taille);
            const int w = LargeurTexte(t.Analyse.Texte, taille);
            t.Analyse.X = ligne.Droite() - w - 2 * marge;
            t.Analyse.Y = surLigne ? yLigne : yBande;
            if (!surLigne)
                t.FondAnalyse = Zone{t.Analyse.X - marge, ligne.Y - HauteurBandeEtat, w + 2 * marge, HauteurBandeEtat};
        }
        // The position: up to the check when it shares the line.
        const int finPosition = surLigne && !analyse.empty() ? t.Analyse.X - ecart : ligne.Droite() - marge;
        t.Position = TexteEnPlace{Raccourcir(position, finPosition - ligne.X - marge, taille), ligne.X + marge, yLigne};
        if (!message.empty())
        {
            // On the band, up to the check's box when it is there.
            const int fin = t.FondAnalyse.Vide() ? ligne.Droite() : t.FondAnalyse.X - marge;
            t.Message = TexteEnPlace{Raccourcir(message, fin - ligne.X - 3 * marge, taille), ligne.X + marge, yBande};
            if (!t.Message.Texte.empty())
                t.FondMessage = Zone{ligne.X, ligne.Y - HauteurBandeEtat, LargeurTexte(t.Message.Texte, taille) + 2 * marge,
                                     HauteurBandeEtat};
        }
        return t;
    }

    Zone PlacerInfobulle(int sourisX, int sourisY, int largeur, int hauteur, int largeurFenetre, int hauteurFenetre)
    {
        const int w = std::min(largeur, largeurFenetre), h = std::min(hauteur, hauteurFenetre);
        const int x = std::max(0, std::min(sourisX + 16, largeurFenetre - w));
        const int y = std::max(0, std::min(sourisY + 20, hauteurFenetre - h));
        return Zone{x, y, w, h};
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
