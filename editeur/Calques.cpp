#include "Calques.h"

namespace Edition
{
    using AnalyseCarte::AnalyseVivante;
    using AnalyseCarte::BonusVu;
    using AnalyseCarte::Rapport;

    namespace
    {
        bool MemeGrille(const Rapport& r, int largeur, int hauteur)
        {
            return r.Largeur == largeur && r.Hauteur == hauteur;
        }
    }

    std::vector<Marque> Marques(const Rapport& rapport, int largeur, int hauteur)
    {
        std::vector<Marque> marques;
        if (!MemeGrille(rapport, largeur, hauteur))
            return marques;
        for (const AnalyseCarte::Constat& c : rapport.Constats)
        {
            const int colonne = c.CaseColonne - 1, ligne = c.CaseLigne - 1;
            if (colonne < 0 || ligne < 0 || colonne >= largeur || ligne >= hauteur)
                continue;
            Marque m;
            m.Colonne = colonne;
            m.Ligne = ligne;
            m.Grave = c.Niveau == AnalyseCarte::Gravite::Avertissement;
            m.Genre = c.Genre;
            m.Message = c.Message;
            marques.push_back(std::move(m));
        }
        return marques;
    }

    std::vector<size_t> MarquesEn(const std::vector<Marque>& marques, int colonne, int ligne)
    {
        std::vector<size_t> ici;
        for (size_t i = 0; i < marques.size(); ++i)
            if (marques[i].Colonne == colonne && marques[i].Ligne == ligne)
                ici.push_back(i);
        return ici;
    }

    Atteinte AtteinteDe(const Rapport& rapport, int largeur, int hauteur)
    {
        Atteinte a;
        if (!MemeGrille(rapport, largeur, hauteur) || largeur <= 0 || hauteur <= 0)
            return a;
        a.Largeur = largeur;
        a.Hauteur = hauteur;
        a.Recherche = rapport.RechercheLancee && !rapport.Cases.empty();
        a.Partielle = rapport.Partielle();
        a.Cellules.assign(static_cast<size_t>(largeur) * static_cast<size_t>(hauteur), Atteinte::Inconnue);
        if (a.Recherche)
            for (int l = 0; l < hauteur; ++l)
                for (int c = 0; c < largeur; ++c)
                {
                    const unsigned char etat = rapport.EtatDe(c + 1, l + 1);
                    unsigned char& cellule = a.Cellules[static_cast<size_t>(l) * largeur + c];
                    if (etat & AnalyseCarte::CaseTraversee)
                        cellule = Atteinte::Traversee;
                    else if (etat & AnalyseCarte::CaseOuverte)
                        cellule = Atteinte::NonAtteinte;
                }
        for (const BonusVu& b : rapport.Bonus)
            if ((b.Sort == BonusVu::Inaccessible || b.Sort == BonusVu::Enfoui) && b.Colonne >= 1 &&
                b.Ligne >= 1 && b.Colonne <= largeur && b.Ligne <= hauteur)
                a.Perdus.push_back({b.Colonne - 1, b.Ligne - 1, b.Sort == BonusVu::Enfoui});
        return a;
    }

    std::string TexteAnalyse(AnalyseVivante::Etat etat, const Rapport& rapport, bool aJour, const std::string& erreur)
    {
        switch (etat)
        {
        case AnalyseVivante::Etat::Repos:
            return "check: not run";
        case AnalyseVivante::Etat::Echec:
            return "check failed: " + erreur;
        case AnalyseVivante::Etat::EnCours:
        case AnalyseVivante::Etat::Prete:
            break;
        }
        std::string texte;
        const size_t n = rapport.Avertissements();
        if (etat == AnalyseVivante::Etat::EnCours && !aJour)
            texte = "checking...";
        if (etat == AnalyseVivante::Etat::Prete || n > 0)
        {
            if (!texte.empty())
                texte += " ";
            texte += n == 0 ? "no findings" : std::to_string(n) + (n == 1 ? " finding" : " findings");
        }
        if (rapport.Partielle())
            texte += ", partial (search bound)";
        return texte;
    }
}
