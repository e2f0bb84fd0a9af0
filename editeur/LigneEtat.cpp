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
        // The live check.
        using EtatAnalyse = AnalyseCarte::AnalyseVivante::Etat;
        const AnalyseCarte::AnalyseVivante& a = etat_.Analyse;
        const EtatAnalyse etat = a.EtatActuel();
        const bool aJour = a.NumeroResultat() == a.NumeroDemande() && etat == EtatAnalyse::Prete;
        const bool message = !message_.empty() && Horloge::Ticks() < messageJusqua_;
        // What holds (a change on disk, a failed autosave) shows between messages.
        std::string alerte = etat_.AlerteDisque;
        if (!etat_.AlerteAutosave.empty())
            alerte += (alerte.empty() ? "" : "; ") + etat_.AlerteAutosave;
        const TextesEtat t = DisposerLigneEtat(z, texte, TexteAnalyse(etat, a.Resultat(), aJour, a.Erreur()) +
                                                   (etat_.BilanNettoyage.empty() ? "" : "  " + etat_.BilanNettoyage),
                                               message ? message_ : alerte, 14);
        DessineTexteEcran(t.Position.Texte, t.Position.X, t.Position.Y, 14, 255, 255, 255);
        if (!t.FondAnalyse.Vide())
            DessineRectangle(t.FondAnalyse.X, t.FondAnalyse.Y, t.FondAnalyse.Largeur, t.FondAnalyse.Hauteur, 0, 0, 0, 170);
        const bool rien = aJour && a.Resultat().Avertissements() == 0 && !a.Resultat().Partielle();
        const TexteEnPlace& an = t.Analyse;
        if (etat == EtatAnalyse::Echec)
            DessineTexteEcran(an.Texte, an.X, an.Y, 14, 255, 80, 80);
        else if (!aJour)
            DessineTexteEcran(an.Texte, an.X, an.Y, 14, 200, 200, 200);
        else if (rien)
            DessineTexteEcran(an.Texte, an.X, an.Y, 14, 120, 255, 140);
        else
            DessineTexteEcran(an.Texte, an.X, an.Y, 14, 255, 160, 40);
        if (!t.FondMessage.Vide())
        {
            DessineRectangle(t.FondMessage.X, t.FondMessage.Y, t.FondMessage.Largeur, t.FondMessage.Hauteur, 0, 0, 0, 170);
            DessineTexteEcran(t.Message.Texte, t.Message.X, t.Message.Y, 14, 255, 220, 0);
        }
        if (etat_.CalqueAtteinte)
        {
            // The overlay's legend, at the map's top right.
            const Atteinte& at = etat_.Atteignable;
            const std::string legende = Raccourcir(at.Partielle ? "REACHABLE: PARTIAL, the search stopped at its bound"
                                        : at.Recherche ? "REACHABLE FROM THE START (v: hide)"
                                                       : "REACHABLE: no search yet",
                                                   etat_.Fenetre.Carte.Largeur - 32, 14);
            const int w = LargeurTexte(legende, 14) + 16;
            const int droite = etat_.Fenetre.Carte.Droite();
            DessineRectangle(droite - w - 8, 8, w, 26, 0, 40, 10, 210);
            DessineTexteEcran(legende, droite - w, 14, 14, at.Partielle ? 255 : 120, at.Partielle ? 200 : 255,
                              at.Partielle ? 60 : 140);
        }
    }
}
