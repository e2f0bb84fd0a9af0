#include "Peinture.h"

#include <algorithm>

namespace Edition
{
    using Autotuile::Matiere;

    namespace
    {
        // The wall of code 4 has no character; 'M' is the wall it looks most like.
        const char MurSansCaractere = 'M';
        // Painting a cell re-fits its neighbours, whose tiles depend on theirs:
        // a window of three cells around it holds everything the rules read,
        // cut at the level's edges so that they stay edges.
        const int Rayon = 3;

        char CaractereDeTuile(int code)
        {
            const char k = CaractereDeCode(code);
            return k == CaseNonDefinie && code == 4 ? MurSansCaractere : k;
        }
    }

    const std::vector<Matiere>& Matieres()
    {
        static const std::vector<Matiere> liste = {Matiere::Sol, Matiere::Sable, Matiere::Mur, Matiere::Eau,
                                                   Matiere::Vide};
        return liste;
    }

    const char* NomMatiere(Matiere matiere)
    {
        switch (matiere)
        {
        case Matiere::Vide:
            return "empty";
        case Matiere::Sol:
            return "ground";
        case Matiere::Sable:
            return "sand";
        case Matiere::Mur:
            return "wall";
        case Matiere::Eau:
            return "water";
        }
        return "?";
    }

    bool MatiereDeCase(char caractere, Matiere& matiere)
    {
        if (caractere == CaseNonDefinie || BonusDeCase(caractere) != 0)
            return false;
        return Autotuile::MatiereDe(CodeDeCase(caractere), matiere);
    }

    std::vector<CaseChangee> Autotuiler(const Niveau& niveau, int colonne, int ligne, Matiere matiere)
    {
        std::vector<CaseChangee> changees;
        if (!niveau.Dedans(colonne, ligne))
            return changees;
        const int c0 = std::max(0, colonne - Rayon), c1 = std::min(niveau.Largeur - 1, colonne + Rayon);
        const int l0 = std::max(0, ligne - Rayon), l1 = std::min(niveau.Hauteur - 1, ligne + Rayon);
        Autotuile::Grille grille(static_cast<size_t>(c1 - c0 + 1),
                                 std::vector<signed char>(static_cast<size_t>(l1 - l0 + 1)));
        for (int c = c0; c <= c1; ++c)
            for (int l = l0; l <= l1; ++l)
                grille[static_cast<size_t>(c - c0)][static_cast<size_t>(l - l0)] =
                    static_cast<signed char>(CodeDeCase(niveau.Case(c, l)));
        const std::vector<Autotuile::Changement> faits =
            Autotuile::Peindre(grille, {{colonne - c0, ligne - l0}}, matiere);
        for (const Autotuile::Changement& f : faits)
        {
            const char k = CaractereDeTuile(f.Apres);
            if (k != CaseNonDefinie)
                changees.push_back({f.Colonne + c0, f.Ligne + l0, k});
        }
        // The painted cell takes its material even when its code stays (a
        // bonus on an empty cell, erased).
        const char ici = niveau.Case(colonne, ligne);
        const bool listee = std::any_of(changees.begin(), changees.end(), [&](const CaseChangee& c)
                                        { return c.Colonne == colonne && c.Ligne == ligne; });
        if (!listee && BonusDeCase(ici) != 0)
        {
            const char k = CaractereDeTuile(grille[static_cast<size_t>(colonne - c0)][static_cast<size_t>(ligne - l0)]);
            if (k != CaseNonDefinie && k != ici)
                changees.push_back({colonne, ligne, k});
        }
        return changees;
    }
}
