#include "LigneEtat.h"

#include "TexteEcran.h"
#include "outils/Horloge.h"

#include <cmath>

namespace Edition
{
    void LigneEtat::Message(const std::string& texte, Uint32 duree)
    {
        message_ = texte;
        messageJusqua_ = Horloge::Ticks() + duree;
    }

    void LigneEtat::Dessine()
    {
        const Niveau& n = etat_.Doc.Courant();
        const Vue& vue = etat_.VueNiveau;
        const Zone z = Place();
        const int y = z.Y;
        DessineRectangle(z.X, y, z.Largeur, z.Hauteur, 20, 22, 28, 235);
        std::string texte;
        int c = -1, l = -1;
        if (etat_.SourisX >= 0 && etat_.Fenetre.Carte.Contient(etat_.SourisX, etat_.SourisY))
            vue.CaseSous(etat_.SourisX, etat_.SourisY, c, l);
        if (!n.Dedans(c, l))
            c = etat_.CurseurC, l = etat_.CurseurL;
        if (n.Dedans(c, l))
        {
            const char k = n.Case(c, l);
            texte = "col " + std::to_string(c + 1) + " row " + std::to_string(l + 1) + "  " + NomDeCase(k) + "  " +
                    (k == CaseNonDefinie ? std::string("no character") : "'" + std::string(1, k) + "'");
        }
        texte += "   " + std::to_string(n.Largeur) + "x" + std::to_string(n.Hauteur) + "  zoom " +
                 std::to_string(static_cast<int>(std::lround(vue.Zoom * 100))) + "%";
        if (etat_.NonEnregistre())
            texte += "  *";
        DessineTexteEcran(texte, 6, y + 6, 14, 255, 255, 255);
        // The live check, at the right end.
        using EtatAnalyse = AnalyseCarte::AnalyseVivante::Etat;
        const AnalyseCarte::AnalyseVivante& a = etat_.Analyse;
        const EtatAnalyse etat = a.EtatActuel();
        const bool aJour = a.NumeroResultat() == a.NumeroDemande() && etat == EtatAnalyse::Prete;
        std::string analyse = TexteAnalyse(etat, a.Resultat(), aJour, a.Erreur());
        if (analyse.size() > 60)
            analyse = analyse.substr(0, 57) + "...";
        // At the right end of the line, or just above it when the line is full.
        int xAnalyse = z.Droite() - LargeurTexte(analyse, 14) - 8, yAnalyse = y + 6;
        if (xAnalyse < LargeurTexte(texte, 14) + 30)
        {
            yAnalyse = y - 19;
            DessineRectangle(xAnalyse - 6, y - 24, LargeurTexte(analyse, 14) + 12, 24, 0, 0, 0, 170);
        }
        const bool rien = aJour && a.Resultat().Avertissements() == 0 && !a.Resultat().Partielle();
        if (etat == EtatAnalyse::Echec)
            DessineTexteEcran(analyse, xAnalyse, yAnalyse, 14, 255, 80, 80);
        else if (!aJour)
            DessineTexteEcran(analyse, xAnalyse, yAnalyse, 14, 200, 200, 200);
        else if (rien)
            DessineTexteEcran(analyse, xAnalyse, yAnalyse, 14, 120, 255, 140);
        else
            DessineTexteEcran(analyse, xAnalyse, yAnalyse, 14, 255, 160, 40);
        if (etat_.CalqueAtteinte)
        {
            // The overlay's legend, at the map's top right.
            const Atteinte& at = etat_.Atteignable;
            const std::string legende = at.Partielle ? "REACHABLE: PARTIAL, the search stopped at its bound"
                                        : at.Recherche ? "REACHABLE FROM THE START (v: hide)"
                                                       : "REACHABLE: no search yet";
            const int w = LargeurTexte(legende, 14) + 16;
            const int droite = etat_.Fenetre.Carte.Droite();
            DessineRectangle(droite - w - 8, 8, w, 26, 0, 40, 10, 210);
            DessineTexteEcran(legende, droite - w, 14, 14, at.Partielle ? 255 : 120, at.Partielle ? 200 : 255,
                              at.Partielle ? 60 : 140);
        }
        if (!message_.empty() && Horloge::Ticks() < messageJusqua_)
        {
            const std::string s = message_.size() > 60 ? message_.substr(0, 57) + "..." : message_;
            DessineRectangle(0, y - 24, LargeurTexte(s, 14) + 12, 24, 0, 0, 0, 170);
            DessineTexteEcran(s, 6, y - 19, 14, 255, 220, 0);
        }
    }
}
