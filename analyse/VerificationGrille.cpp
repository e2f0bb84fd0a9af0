// The checks of the level as loaded: where the character starts, the
// level's edges, the bonuses (walled in or not), the reachability search from
// the start and the open areas it never enters.
#include "VerificationInterne.h"

#include "Contexte.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace AnalyseCarte
{
    namespace Interne
    {
        size_t Analyse::Origine(int colonne, int ligne) const
        {
            if (colonne < 0 || ligne < 0 || colonne >= largeur_ || ligne >= hauteur_)
                return Aucune;
            const uint32_t o = origines_[static_cast<size_t>(colonne) * static_cast<size_t>(hauteur_) +
                                         static_cast<size_t>(ligne)];
            return o == AucuneOrigine ? Aucune : static_cast<size_t>(o);
        }

        void Analyse::AjouterCase(int colonne, int ligne, size_t repli, const char* genre, const std::string& message)
        {
            size_t ou = Origine(colonne, ligne);
            if (ou == Aucune)
                ou = repli;
            const size_t avant = rapport_.Constats.size();
            if (ou == Aucune)
                AjouterFichier(genre, message);
            else
                Ajouter(ou, genre, message);
            SurCase(avant, colonne, ligne);
        }

        bool Analyse::Boite(int x, int y)
        {
            return Map.AutAcces(x + 6, y + 4) && Map.AutAcces(x + 57, y + 4) && Map.AutAcces(x + 6, y + 61) &&
                   Map.AutAcces(x + 57, y + 61);
        }

        std::string Analyse::Cellule(int colonne, int ligne)
        {
            return Format("column %lld, row %lld", colonne + 1, ligne + 1);
        }

        void Analyse::Grille(const OptionsVerification& options)
        {
            if (largeur_ == 0 || hauteur_ == 0)
            {
                if (premiereCarte_ != Aucune)
                    AjouterFichier("empty-level", "the level has no cell");
                return;
            }
            rapport_.Largeur = largeur_;
            rapport_.Hauteur = hauteur_;
            rapport_.Cases.assign(static_cast<size_t>(largeur_) * static_cast<size_t>(hauteur_), 0);
            for (int colonne = 0; colonne < largeur_; ++colonne)
                for (int ligne = 0; ligne < hauteur_; ++ligne)
                    if (CodeOuvert(Map.CodeCase(colonne, ligne)))
                        rapport_.Cases[static_cast<size_t>(colonne) * static_cast<size_t>(hauteur_) +
                                       static_cast<size_t>(ligne)] = CaseOuverte;
            const bool departBon = Depart();
            Bords();
            std::vector<bool> enfouis(bonus_.size(), false);
            Bonus(enfouis);
            if (!options.Atteignabilite)
                return;
            if (!departBon)
            {
                AjouterFichier("reachability",
                               "reachability is not checked: the character cannot start where the level "
                               "puts it",
                               Gravite::Note);
                return;
            }
            Atteinte(options, enfouis);
        }

        bool Analyse::Depart()
        {
            const int x = Map.PosDebutX;
            const int y = Map.PosDebutY;
            if (x < 1 || x > largeur_ || y < 1 || y > hauteur_)
            {
                const size_t ou = (x < 1 || x > largeur_) ? valeurCle_[CleDebutX] : valeurCle_[CleDebutY];
                const std::string message =
                    Format("start cell PosDebutX=%lld, PosDebutY=%lld lies outside the grid of "
                           "%lld by %lld cells",
                           x, y, largeur_, hauteur_);
                if (ou == Aucune)
                    AjouterFichier("start-outside", message);
                else
                    Ajouter(ou, "start-outside", message);
                return false;
            }
            const int colonne = x - 1;
            const int ligne = y - 1;
            const size_t repli = valeurCle_[CleDebutX];
            const int px = Map.ReturnPosDebutX();
            const int py = Map.ReturnPosDebutY();
            if (!Boite(px, py))
            {
                AjouterCase(colonne, ligne, repli, "start-solid",
                            "the start cell (" + Cellule(colonne, ligne) + ", " +
                                NomTuile(Map.CodeCase(colonne, ligne)) +
                                ") has no room for the character: it starts stuck");
                return false;
            }
            if (Map.DiedAcces(px + 32, py + 32))
            {
                AjouterCase(colonne, ligne, repli, "start-water",
                            "the start cell is water: the character dies at once, and again after "
                            "every return to the start");
                return false;
            }
            return true;
        }

        bool Analyse::OuvertVers(int colonne, int ligne, int cote)
        {
            const int x0 = colonne * CMap::TailleCase;
            const int y0 = ligne * CMap::TailleCase;
            for (int k = 0; k < CMap::TailleCase; ++k)
            {
                int x = x0 + k;
                int y = y0 + k;
                switch (cote)
                {
                case 0: y = y0; break;                         // top
                case 1: y = y0 + CMap::TailleCase - 1; break;  // bottom
                case 2: x = x0; break;                         // left
                default: x = x0 + CMap::TailleCase - 1; break; // right
                }
                if (Map.AutAcces(x, y))
                    return true;
            }
            return false;
        }

        void Analyse::Bords()
        {
            static const char* const Cotes[4] = {"top", "bottom", "left", "right"};
            std::vector<bool> vu;
            vu.assign(static_cast<size_t>(largeur_) * static_cast<size_t>(hauteur_), false);
            for (int cote = 0; cote < 4; ++cote)
            {
                const bool ligneFixe = cote < 2;
                const int n = ligneFixe ? largeur_ : hauteur_;
                int debut = -1;
                for (int k = 0; k <= n; ++k)
                {
                    bool ouvert = false;
                    int colonne = 0;
                    int ligne = 0;
                    if (k < n)
                    {
                        colonne = ligneFixe ? k : (cote == 2 ? 0 : largeur_ - 1);
                        ligne = ligneFixe ? (cote == 0 ? 0 : hauteur_ - 1) : k;
                        const size_t i = static_cast<size_t>(colonne) * static_cast<size_t>(hauteur_) +
                                         static_cast<size_t>(ligne);
                        ouvert = !vu[i] && OuvertVers(colonne, ligne, cote);
                        if (ouvert)
                            vu[i] = true;
                    }
                    if (ouvert && debut < 0)
                        debut = k;
                    if (!ouvert && debut >= 0)
                    {
                        const int c0 = ligneFixe ? debut : (cote == 2 ? 0 : largeur_ - 1);
                        const int l0 = ligneFixe ? (cote == 0 ? 0 : hauteur_ - 1) : debut;
                        const int nombre = k - debut;
                        std::string message;
                        if (nombre == 1)
                            message = std::string("cell open on the ") + Cotes[cote] + " edge of the grid";
                        else
                            message = Format("%lld cells open on the ", nombre) + Cotes[cote] +
                                      " edge of the grid" +
                                      (ligneFixe ? Format(" (columns %lld to %lld)", debut + 1, k)
                                                 : Format(" (rows %lld to %lld)", debut + 1, k));
                        message += ": the level is not closed there, the character could leave the grid";
                        AjouterCase(c0, l0, Aucune, "open-border", message);
                        debut = -1;
                    }
                }
            }
        }

        void Analyse::Bonus(std::vector<bool>& enfouis)
        {
            vus_.assign(bonus_.size(), Aucune);
            for (size_t i = 0; i < bonus_.size(); ++i)
            {
                const BonusLu& b = bonus_[i];
                if (b.Colonne >= largeur_ || b.Ligne >= hauteur_)
                    continue;
                BonusVu vu;
                vu.Colonne = b.Colonne + 1;
                vu.Ligne = b.Ligne + 1;
                vu.Type = b.Type;
                vu.LigneTexte = positions_.Ligne(b.Decalage);
                vu.ColonneTexte = positions_.Colonne(b.Decalage);
                vus_[i] = rapport_.Bonus.size();
                rapport_.Bonus.push_back(vu);
                const int code = Map.CodeCase(b.Colonne, b.Ligne);
                const std::string nom = NomBonus(b.Type) + " bonus";
                // The game takes a bonus when the top-left corner of the
                // character's square lies in its cell: somewhere in the cell
                // the whole collision box must have room.
                // The box spans at most this cell and the next ones to the
                // right and below: without an open one among them, no room.
                bool place = false;
                bool possible = false;
                for (int dc = 0; dc < 2; ++dc)
                    for (int dl = 0; dl < 2; ++dl)
                        possible = possible || CodeOuvert(Map.CodeCase(b.Colonne + dc, b.Ligne + dl));
                const int x0 = b.Colonne * CMap::TailleCase;
                const int y0 = b.Ligne * CMap::TailleCase;
                for (int dy = 0; possible && dy < CMap::TailleCase && !place; ++dy)
                    for (int dx = 0; dx < CMap::TailleCase && !place; ++dx)
                        place = Boite(x0 + dx, y0 + dy);
                if (!place)
                {
                    Ajouter(b.Decalage, "bonus-buried",
                            nom + " inside solid tiles (its cell is now " + NomTuile(code) +
                                "): the character can never be where it would take it");
                    enfouis[i] = true;
                    rapport_.Bonus.back().Sort = BonusVu::Enfoui;
                    continue;
                }
                bool ferme = true;
                const int voisins[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
                for (const auto& v : voisins)
                {
                    const int c = Map.CodeCase(b.Colonne + v[0], b.Ligne + v[1]);
                    if (CodeOuvert(c))
                        ferme = false;
                }
                if (ferme)
                {
                    Ajouter(b.Decalage, "bonus-buried",
                            nom + " walled in: all four cells around it are solid, there is no way in");
                    enfouis[i] = true;
                    rapport_.Bonus.back().Sort = BonusVu::Enfoui;
                }
            }
        }

        void Analyse::Atteinte(const OptionsVerification& options, const std::vector<bool>& enfouis)
        {
            ResultatAtteinte r = Explorer(options.Atteinte);
            rapport_.RechercheLancee = true;
            rapport_.RechercheComplete = r.Complete;
            rapport_.Etats = r.Etats;
            rapport_.Pas = r.Pas;
            rapport_.Millisecondes = r.Millisecondes;
            if (r.Largeur == largeur_ && r.Hauteur == hauteur_)
                for (size_t i = 0; i < rapport_.Cases.size(); ++i)
                    rapport_.Cases[i] = static_cast<unsigned char>(rapport_.Cases[i] |
                                                                   (r.Boite[i] ? CaseTraversee : 0) |
                                                                   (r.Coin[i] ? CaseCoin : 0));
            if (!r.Complete || r.Largeur != largeur_ || r.Hauteur != hauteur_)
            {
                std::string borne;
                if (r.BorneTemps)
                {
                    char secondes[64];
                    std::snprintf(secondes, sizeof secondes, "%g", options.Atteinte.SecondesMax);
                    borne = std::string("after ") + secondes + " s and " + std::to_string(r.Etats) +
                            " states (raise --max-seconds)";
                }
                else
                    borne = "at " + std::to_string(r.Etats) + " states (raise --max-states)";
                AjouterFichier("search-bound",
                               "reachability search stopped " + borne +
                                   ": unreachable bonuses and areas are not reported");
                return;
            }

            for (size_t i = 0; i < bonus_.size(); ++i)
            {
                const BonusLu& b = bonus_[i];
                if (enfouis[i] || b.Colonne >= largeur_ || b.Ligne >= hauteur_)
                    continue;
                const bool prenable = r.CoinVisite(b.Colonne, b.Ligne);
                if (vus_[i] != Aucune)
                    rapport_.Bonus[vus_[i]].Sort = prenable ? BonusVu::Prenable : BonusVu::Inaccessible;
                if (!prenable)
                    Ajouter(b.Decalage, "bonus-unreachable",
                            NomBonus(b.Type) + " bonus (" + Cellule(b.Colonne, b.Ligne) +
                                ") cannot be reached from the start");
            }
            // An area made only of buried bonus cells is already reported.
            std::vector<bool> dejaDit(static_cast<size_t>(largeur_) * static_cast<size_t>(hauteur_), false);
            for (size_t i = 0; i < bonus_.size(); ++i)
                if (enfouis[i] && bonus_[i].Colonne < largeur_ && bonus_[i].Ligne < hauteur_)
                    dejaDit[static_cast<size_t>(bonus_[i].Colonne) * static_cast<size_t>(hauteur_) +
                            static_cast<size_t>(bonus_[i].Ligne)] = true;
            Zones(r, dejaDit);
        }

        void Analyse::Zones(const ResultatAtteinte& r, const std::vector<bool>& dejaDit)
        {
            const size_t h = static_cast<size_t>(hauteur_);
            std::vector<int> zone(static_cast<size_t>(largeur_) * h, -1);
            std::vector<std::pair<int, int>> pile;
            int numero = 0;
            // Row by row, so that each area starts at its first cell in the file.
            for (int ligne = 0; ligne < hauteur_; ++ligne)
                for (int colonne = 0; colonne < largeur_; ++colonne)
                {
                    const size_t i = static_cast<size_t>(colonne) * h + static_cast<size_t>(ligne);
                    if (zone[i] >= 0 || !CodeOuvert(Map.CodeCase(colonne, ligne)))
                        continue;
                    long long cellules = 0;
                    bool atteinte = false;
                    bool nouvelle = false; // holds a cell not reported otherwise
                    int cmin = colonne, cmax = colonne, lmin = ligne, lmax = ligne;
                    zone[i] = numero;
                    pile.assign(1, {colonne, ligne});
                    while (!pile.empty())
                    {
                        const std::pair<int, int> p = pile.back();
                        pile.pop_back();
                        ++cellules;
                        atteinte = atteinte || r.BoiteVisitee(p.first, p.second);
                        nouvelle = nouvelle || !dejaDit[static_cast<size_t>(p.first) * h + static_cast<size_t>(p.second)];
                        cmin = std::min(cmin, p.first);
                        cmax = std::max(cmax, p.first);
                        lmin = std::min(lmin, p.second);
                        lmax = std::max(lmax, p.second);
                        const int voisins[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
                        for (const auto& v : voisins)
                        {
                            const int c = p.first + v[0];
                            const int l = p.second + v[1];
                            if (c < 0 || l < 0 || c >= largeur_ || l >= hauteur_)
                                continue;
                            const size_t j = static_cast<size_t>(c) * h + static_cast<size_t>(l);
                            if (zone[j] >= 0 || !CodeOuvert(Map.CodeCase(c, l)))
                                continue;
                            zone[j] = numero;
                            pile.emplace_back(c, l);
                        }
                    }
                    ++numero;
                    if (atteinte || !nouvelle)
                        continue;
                    std::string message;
                    if (cellules == 1)
                        message = "open cell (" + Cellule(colonne, ligne) + ") never reached from the start";
                    else
                        message = Format("area of %lld open cells (columns %lld to %lld, ", cellules, cmin + 1,
                                         cmax + 1) +
                                  Format("rows %lld to %lld) never reached from the start", lmin + 1, lmax + 1);
                    AjouterCase(colonne, ligne, Aucune, "area-unreachable", message);
                }
        }
    }
}
