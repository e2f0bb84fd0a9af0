// What a route says in words: its summary, its input file for `replay`, and
// why a cell is out of reach.
#include "Route.h"

#include <cstdio>
#include <set>

namespace AnalyseCarte
{
    namespace
    {
        const char* const NomsTouches[4] = {"up", "down", "left", "right"};

        std::string Cellule(int colonne, int ligne)
        {
            return "column " + std::to_string(colonne + 1) + ", row " + std::to_string(ligne + 1);
        }
    }

    std::string Route::Bilan() const
    {
        char texte[160];
        if (CibleColonne >= 0)
            std::snprintf(texte, sizeof texte, "reaches column %d, row %d in %.1f s", CibleColonne + 1,
                          CibleLigne + 1, Secondes());
        else
            std::snprintf(texte, sizeof texte, "clears %zu of %zu bonuses in %.1f s",
                          Bonus >= Restants.size() ? Bonus - Restants.size() : 0, Bonus, Secondes());
        return texte;
    }

    std::string Route::EnEntrees(const std::string& titre) const
    {
        std::string texte;
        if (!titre.empty())
            texte += "# " + titre + "\n";
        size_t c = 0;
        size_t p = 0;
        while (c < Changements.size() || p < Prises.size())
        {
            // Changes of a time first: a bonus taken in that frame comes after them.
            if (c < Changements.size() && (p >= Prises.size() || Changements[c].Temps <= Prises[p].Temps))
            {
                const long long t = Changements[c].Temps;
                texte += std::to_string(t);
                for (; c < Changements.size() && Changements[c].Temps == t; ++c)
                    texte += std::string(" ") + (Changements[c].Appuye ? "+" : "-") +
                             NomsTouches[Changements[c].Touche & 3];
                texte += "\n";
                continue;
            }
            const PriseRoute& prise = Prises[p++];
            char ligne[160];
            std::snprintf(ligne, sizeof ligne, "# %.3f s: takes the %s bonus in column %d, row %d\n",
                          static_cast<double>(prise.Temps) / 1000.0, NomBonus(prise.Type).c_str(), prise.Colonne,
                          prise.Ligne);
            texte += ligne;
        }
        texte += std::to_string(Fin) + " end\n";
        if (Partielle)
            texte += "# partial: a search stopped at its bound (--max-states, --max-seconds); a longer one may "
                     "go further\n";
        texte += "# " + Bilan() + "\n";
        return texte;
    }

    std::string PourquoiInaccessible(const Rapport& rapport, int colonne, int ligne)
    {
        const std::string ici = Cellule(colonne, ligne);
        if (colonne < 0 || ligne < 0 || colonne >= rapport.Largeur || ligne >= rapport.Hauteur)
            return ici + " lies outside the grid";
        if (!rapport.RechercheLancee)
        {
            for (const Constat& c : rapport.Constats)
                if (c.Genre.compare(0, 6, "start-") == 0)
                    return c.Message;
            return "the reachability search did not run";
        }
        if (rapport.Partielle())
            return "the search stopped at its bound before it reached " + ici + " (--max-states, --max-seconds)";
        const unsigned char etat = rapport.EtatDe(colonne + 1, ligne + 1);
        if (etat & CaseCoin)
            return std::string();
        for (const Constat& c : rapport.Constats)
            if (c.CaseColonne == colonne + 1 && c.CaseLigne == ligne + 1 &&
                (c.Genre == "bonus-buried" || c.Genre == "bonus-unreachable"))
                return c.Message;
        if (etat & CaseTraversee)
            return "the character passes through " + ici +
                   ", but the top-left corner of its square, where the game takes a bonus, never enters it";
        if (!(etat & CaseOuverte))
            return ici + " is solid, and the corner of the character's square is never in it";
        // The open area around the cell: the check reports it at its first cell.
        const size_t h = static_cast<size_t>(rapport.Hauteur);
        std::vector<unsigned char> vu(rapport.Cases.size(), 0);
        std::vector<std::pair<int, int>> pile(1, {colonne, ligne});
        vu[static_cast<size_t>(colonne) * h + static_cast<size_t>(ligne)] = 1;
        std::set<std::pair<int, int>> zone;
        while (!pile.empty())
        {
            const std::pair<int, int> p = pile.back();
            pile.pop_back();
            zone.insert(p);
            const int voisins[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
            for (const auto& v : voisins)
            {
                const int c = p.first + v[0];
                const int l = p.second + v[1];
                if (c < 0 || l < 0 || c >= rapport.Largeur || l >= rapport.Hauteur)
                    continue;
                const size_t j = static_cast<size_t>(c) * h + static_cast<size_t>(l);
                if (vu[j] || !(rapport.Cases[j] & CaseOuverte))
                    continue;
                vu[j] = 1;
                pile.emplace_back(c, l);
            }
        }
        for (const Constat& c : rapport.Constats)
            if (c.Genre == "area-unreachable" && zone.count({c.CaseColonne - 1, c.CaseLigne - 1}))
                return c.Message;
        return ici + " is never reached from the start";
    }
}
