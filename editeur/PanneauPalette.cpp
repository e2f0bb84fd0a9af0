#include "PanneauPalette.h"

#include "Peinture.h"
#include "TexteEcran.h"
#include "main/Globales.h"

namespace Edition
{
    int PanneauPalette::EntreeSous(int x, int y) const
    {
        const GrillePalette g = DisposerPalette(Place().Hauteur, Palette().size(), Outils().size());
        const int x0 = Place().X + 4;
        if (x < x0 || y < g.Haut)
            return -1;
        const int colonne = (x - x0) / g.Pas, ligne = (y - g.Haut) / g.Pas;
        if (colonne >= g.Colonnes || (x - x0) % g.Pas >= g.Icone || (y - g.Haut) % g.Pas >= g.Icone)
            return -1;
        const size_t i = static_cast<size_t>(ligne * g.Colonnes + colonne);
        return i < Palette().size() ? static_cast<int>(i) : -1;
    }

    bool PanneauPalette::TraiteEvenement(const SDL_Event& e)
    {
        if (!Clic(e) || !Place().Contient(e.button.x, e.button.y))
            return false;
        const int entree = EntreeSous(e.button.x, e.button.y);
        if (e.button.button == SDL_BUTTON_LEFT && entree >= 0)
            actions_.Choisir(static_cast<size_t>(entree));
        return true;
    }

    void PanneauPalette::Dessine()
    {
        const Zone z = Place();
        const int x0 = z.X;
        DessineRectangle(x0, 0, z.Largeur, z.Hauteur, 30, 32, 40, 235);
        DessineTexteEcran("PALETTE", x0 + 8, 12, 16, 255, 255, 255);
        const GrillePalette g = DisposerPalette(z.Hauteur, Palette().size(), Outils().size());
        const int t = g.Icone;
        for (size_t i = 0; i < Palette().size(); ++i)
        {
            const EntreePalette& e = Palette()[i];
            const size_t colonnes = static_cast<size_t>(g.Colonnes);
            const int x = x0 + 4 + static_cast<int>(i % colonnes) * g.Pas;
            const int y = g.Haut + static_cast<int>(i / colonnes) * g.Pas;
            DessineRectangle(x, y, t, t, 70, 90, 120, 255);
            const int code = CodeDeCase(e.Caractere);
            const unsigned char gris = e.Utilisable ? 255 : 90;
            if (e.Depart)
                DessineCadre(x + 6, y + 6, t - 12, t - 12, 4, 255, 0, 255, 255);
            else if (BonusDeCase(e.Caractere) != 0)
                Moteur.AfficheTexture(Map.ImgBonus[BonusDeCase(e.Caractere) - 1][0], x, y, t, t, 255, 255, 255, false, 255);
            else if (!e.Utilisable)
                Moteur.AfficheTexture(Map.ImgCases[4], x, y, t, t, gris, gris, gris, false, 255);
            else if (code > 1)
                Moteur.AfficheTexture(Map.ImgCases[code], x, y, t, t, 255, 255, 255, false, 255);
            if (i == etat_.Choix)
                DessineCadre(x - 3, y - 3, t + 6, t + 6, 3, 255, 220, 0, 255);
        }
        // The entry chosen, then the tools with their keys.
        const int yNom = g.Nom;
        // The autotile tool paints a material, whatever the entry's tile.
        const std::vector<std::string> nom =
            etat_.OutilActif == Outil::Autotuilage ? std::vector<std::string>{"autotile paints", NomMatiere(etat_.Matiere)}
                                                   : Couper(Palette()[etat_.Choix].Nom, 15);
        for (size_t i = 0; i < nom.size() && i < 2; ++i)
            DessineTexteEcran(nom[i], x0 + 8, yNom + static_cast<int>(i) * 16, 14, 255, 220, 0);
        int y = g.Outils;
        for (const DescriptionOutil& d : Outils())
        {
            if (d.Id == etat_.OutilActif)
                DessineRectangle(x0 + 4, y - 1, z.Largeur - 8, 16, 255, 220, 0, 70);
            DessineTexteEcran(std::string(1, static_cast<char>(d.Touche - 'a' + 'A')) + " " + d.Nom, x0 + 8, y, 14,
                              255, 255, 255);
            y += 16;
        }
        DessineTexteEcran("F1 HELP", x0 + 8, y + 4, 14, 180, 200, 255);
    }
}
