#include "ListeConstats.h"

#include "TexteEcran.h"

#include <algorithm>

namespace Edition
{
    namespace
    {
        // At the map's top left, a line a finding.
        const int ListeX = 8, ListeY = 8, ListeLigne = 18, ListeTaille = 12;

        int LignesListe(int hauteurZone)
        {
            return std::max(1, (hauteurZone - ListeY - 40) / ListeLigne - 2);
        }
        // Below the reachability overlay's legend when it is shown.
        int Decalage(const EtatEdition& etat)
        {
            return etat.CalqueAtteinte ? 34 : 0;
        }
        // The first finding shown, so that the chosen one is in the panel.
        size_t PremiereLigne(size_t choisie, size_t lignes)
        {
            return choisie < lignes ? 0 : choisie - lignes + 1;
        }
    }

    Zone ListeConstats::Place() const
    {
        if (!Montree)
            return Zone{};
        const Zone& carte = etat_.Fenetre.Carte;
        const size_t montrees = std::min(static_cast<size_t>(LignesListe(carte.Hauteur - Decalage(etat_))), etat_.Marques.size());
        const int largeur = std::max(200, carte.Largeur - 2 * ListeX);
        const int hauteur = 24 + static_cast<int>(std::max<size_t>(montrees, 1)) * ListeLigne + 24;
        return Zone{carte.X + ListeX, carte.Y + ListeY + Decalage(etat_), largeur, hauteur};
    }

    int ListeConstats::ConstatSous(int x, int y) const
    {
        const Zone z = Place();
        if (z.Vide())
            return -1;
        const int lignes = LignesListe(etat_.Fenetre.Carte.Hauteur - Decalage(etat_));
        const int rang = (y - z.Y - 24) / ListeLigne;
        if (x < z.X || x >= z.Droite() || y < z.Y + 24 || rang >= lignes)
            return -1;
        const size_t i = PremiereLigne(etat_.MarqueChoisie, static_cast<size_t>(lignes)) + static_cast<size_t>(rang);
        return i < etat_.Marques.size() ? static_cast<int>(i) : -1;
    }

    bool ListeConstats::TraiteEvenement(const SDL_Event& e)
    {
        if (e.type == SDL_KEYDOWN && !AvecCtrl(e))
        {
            const std::vector<Marque>& marques = etat_.Marques;
            if (e.key.keysym.sym == SDLK_c)
                Montree = !Montree;
            else if (e.key.keysym.sym != SDLK_n)
                return false;
            else if (!marques.empty())
                actions_.AllerAuConstat(Montree || etat_.MarqueChoisie + 1 < marques.size()
                                            ? (etat_.MarqueChoisie + 1) % marques.size()
                                            : 0);
            else
                actions_.Statut("no finding on the level's cells");
            return true;
        }
        if (!Montree || e.type != SDL_MOUSEBUTTONDOWN || e.button.button != SDL_BUTTON_LEFT)
            return false;
        const int constat = ConstatSous(e.button.x, e.button.y);
        if (constat >= 0)
            actions_.AllerAuConstat(static_cast<size_t>(constat));
        // A click on the panel never paints the cells under it.
        return constat >= 0 || Place().Contient(e.button.x, e.button.y);
    }

    void ListeConstats::Dessine()
    {
        if (!Montree)
            return;
        const Zone z = Place();
        const std::vector<Marque>& marques = etat_.Marques;
        const size_t lignes = static_cast<size_t>(LignesListe(etat_.Fenetre.Carte.Hauteur - Decalage(etat_)));
        DessineRectangle(z.X, z.Y, z.Largeur, z.Hauteur, 10, 12, 20, 225);
        DessineCadre(z.X, z.Y, z.Largeur, z.Hauteur, 2, 255, 140, 0, 255);
        DessineTexteEcran(Raccourcir("FINDINGS " + std::to_string(marques.size()) +
                                         (etat_.SansCase > 0 ? "   (" + std::to_string(etat_.SansCase) +
                                                                   " about no cell: corvella-carte check)"
                                                             : ""),
                                     z.Largeur - 16, 14),
                          z.X + 8, z.Y + 6, 14, 255, 200, 120);
        const size_t premiere = PremiereLigne(etat_.MarqueChoisie, lignes);
        const size_t colonnes = static_cast<size_t>(std::max(20, (z.Largeur - 16) / ListeTaille));
        if (marques.empty())
            DessineTexteEcran("none", z.X + 8, z.Y + 24, ListeTaille, 200, 255, 200);
        for (size_t i = premiere; i < marques.size() && i < premiere + lignes; ++i)
        {
            const Marque& m = marques[i];
            const int y = z.Y + 24 + static_cast<int>(i - premiere) * ListeLigne;
            if (i == etat_.MarqueChoisie)
                DessineRectangle(z.X + 4, y - 2, z.Largeur - 8, ListeLigne, 255, 140, 0, 80);
            std::string texte = std::to_string(m.Colonne + 1) + "," + std::to_string(m.Ligne + 1) + "  " + m.Message;
            if (texte.size() > colonnes)
                texte = texte.substr(0, colonnes - 3) + "...";
            DessineTexteEcran(texte, z.X + 8, y, ListeTaille, m.Grave ? 255 : 170, m.Grave ? 255 : 200, 255);
        }
        DessineTexteEcran(Raccourcir("click: go there   n: next   c: close", z.Largeur - 16, 12), z.X + 8, z.Y + z.Hauteur - 20, 12, 180, 200, 255);
    }
}
