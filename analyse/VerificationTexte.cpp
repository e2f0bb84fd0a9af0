// The checks' reading of the text: line ends, the sections as the loader
// cuts them, the keys of [Infos], the rows of [Map] and the cells they set,
// and what the file leaves out altogether.
#include "VerificationInterne.h"

#include "Contexte.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

namespace AnalyseCarte
{
    namespace Interne
    {
        bool ToutBlanc(const std::string& s, size_t a, size_t b)
        {
            for (size_t i = a; i < b; ++i)
                if (!Blanc(s[i]))
                    return false;
            return true;
        }

        std::string Minuscules(std::string s)
        {
            for (char& c : s)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            return s;
        }

        std::string SansBlancs(const std::string& s)
        {
            size_t a = 0;
            size_t b = s.size();
            while (a < b && (Blanc(s[a]) || s[a] == '\n'))
                ++a;
            while (b > a && (Blanc(s[b - 1]) || s[b - 1] == '\n'))
                --b;
            return s.substr(a, b - a);
        }

        bool NombreNet(const std::string& s)
        {
            size_t i = 0;
            while (i < s.size() && Blanc(s[i]))
                ++i;
            if (i < s.size() && (s[i] == '+' || s[i] == '-'))
                ++i;
            const size_t chiffres = i;
            while (i < s.size() && s[i] >= '0' && s[i] <= '9')
                ++i;
            if (i == chiffres)
                return false;
            while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
                ++i;
            return i == s.size();
        }

        void Analyse::Lancer(const OptionsVerification& options)
        {
            ContexteJeu::ChargerNiveau(s_);
            largeur_ = LargeurEffective();
            hauteur_ = HauteurEffective();
            origines_.assign(static_cast<size_t>(largeur_) * static_cast<size_t>(hauteur_), AucuneOrigine);

            FinsDeLigne();
            Sections();
            Manques();
            Grille(options);
        }

        bool Analyse::Plein(Gravite niveau)
        {
            if (rapport_.Constats.size() < ConstatsMax)
                return false;
            if (niveau == Gravite::Avertissement)
                ++rapport_.Omis;
            return true;
        }

        void Analyse::Ajouter(size_t decalage, const char* genre, const std::string& message,
                              Gravite niveau)
        {
            if (Plein(niveau))
                return;
            Constat c;
            c.Ligne = positions_.Ligne(decalage);
            c.Colonne = positions_.Colonne(decalage);
            CaseDuTexte(decalage, c);
            c.Niveau = niveau;
            c.Genre = genre;
            c.Message = message;
            rapport_.Constats.push_back(std::move(c));
        }

        void Analyse::AjouterFichier(const char* genre, const std::string& message,
                                     Gravite niveau)
        {
            if (Plein(niveau))
                return;
            Constat c;
            c.Niveau = niveau;
            c.Genre = genre;
            c.Message = message;
            rapport_.Constats.push_back(std::move(c));
        }

        void Analyse::CaseDuTexte(size_t decalage, Constat& c) const
        {
            const auto apres = std::upper_bound(
                rangees_.begin(), rangees_.end(), decalage,
                [](size_t d, const RangeeLue& r) { return d < r.Debut; });
            if (apres == rangees_.begin())
                return;
            const RangeeLue& r = *(apres - 1);
            if (decalage > r.Fin)
                return;
            Case(static_cast<int>(decalage - r.Debut), r.Ligne, c);
        }

        void Analyse::Case(int colonne, int ligne, Constat& c) const
        {
            if (colonne < 0 || ligne < 0 || colonne >= largeur_ || ligne >= hauteur_)
                return;
            c.CaseColonne = colonne + 1;
            c.CaseLigne = ligne + 1;
        }

        void Analyse::SurCase(size_t avant, int colonne, int ligne)
        {
            if (rapport_.Constats.size() > avant)
                Case(colonne, ligne, rapport_.Constats.back());
        }

        size_t Analyse::Chercher(char c, size_t a, size_t b) const
        {
            if (a >= b)
                return b;
            const void* p = std::memchr(s_.data() + a, c, b - a);
            return p == nullptr ? b : static_cast<size_t>(static_cast<const char*>(p) - s_.data());
        }

        std::string Analyse::Ligne(size_t decalage) const
        {
            return std::to_string(positions_.Ligne(decalage));
        }

        void Analyse::FinsDeLigne()
        {
            if (texte_.NombreCrLf > 0)
                Ajouter(texte_.PremierCrLf, "crlf",
                        "CR LF line ends: the game reads them as LF, positions are those of the file",
                        Gravite::Note);
            if (texte_.NombreCrSeuls > 0)
                Ajouter(texte_.PremierCrSeul, "lone-cr",
                        Format("carriage return (CR) not followed by LF: the game does not take it as a "
                               "line end (%lld in the file)",
                               static_cast<long long>(texte_.NombreCrSeuls)));
        }

        void Analyse::Sections()
        {
            // Each "[" starts a section that runs to the next "[".
            for (size_t ouvrant = Chercher('[', 0, s_.size()); ouvrant < s_.size();)
            {
                const size_t debut = ouvrant + 1;
                const size_t fin = Chercher('[', debut, s_.size());
                const size_t suivant = fin;
                const size_t ferme = Chercher(']', debut, fin);
                if (ferme >= fin)
                {
                    Ajouter(ouvrant, "unclosed-section",
                            "section name '" + Extrait(s_.substr(debut, std::min<size_t>(fin - debut, 64))) +
                                "' is not closed by ']': the game skips everything up to the next '['");
                    ouvrant = suivant;
                    continue;
                }
                // Only a short name can be one the game knows; a long one is
                // kept short for the message.
                const std::string nom = s_.substr(debut, std::min<size_t>(ferme - debut, 64));
                const bool court = ferme - debut <= 64;
                const size_t finCorps = Chercher(']', ferme + 1, fin);
                if (finCorps < fin && !ToutBlancOuLigne(finCorps + 1, fin))
                    Ajouter(finCorps, "ignored-text",
                            "text after a second ']' is ignored up to the next section");

                if (court && nom == "Infos")
                    Infos(ouvrant, ferme + 1, finCorps);
                else if (court && nom == "Map")
                    Carte(ouvrant, ferme + 1, finCorps);
                else
                    SectionInconnue(ouvrant, nom);
                ouvrant = suivant;
            }
        }

        bool Analyse::QueDesBlancs(size_t a, size_t b) const
        {
            for (size_t i = a; i < b; ++i)
                if (s_[i] != ' ' && s_[i] != '\t')
                    return false;
            return true;
        }

        bool Analyse::ToutBlancOuLigne(size_t a, size_t b) const
        {
            for (size_t i = a; i < b; ++i)
                if (!Blanc(s_[i]) && s_[i] != '\n')
                    return false;
            return true;
        }

        void Analyse::SectionInconnue(size_t ouvrant, const std::string& nom)
        {
            const std::string proche = Minuscules(SansBlancs(nom));
            std::string message = "unknown section '[" + Extrait(nom) + "]' is ignored";
            if (proche == "infos" || proche == "info")
                message += ": did you mean [Infos]? (names are exact, case and blanks count)";
            else if (proche == "map")
                message += ": did you mean [Map]? (names are exact, case and blanks count)";
            else if (nom.find('\n') != std::string::npos)
                message += " (a '[' inside the text starts a new section)";
            Ajouter(ouvrant, "unknown-section", message);
        }

        void Analyse::Repetee(size_t ouvrant, size_t& premiere, const char* nom, const char* effet)
        {
            if (premiere == Aucune)
            {
                premiere = ouvrant;
                return;
            }
            Ajouter(ouvrant, "repeated-section",
                    std::string("second [") + nom + "] section (first at line " + Ligne(premiere) +
                        "): the game reads it too, " + effet);
        }

        void Analyse::Infos(size_t ouvrant, size_t debut, size_t fin)
        {
            Repetee(ouvrant, premiereInfos_, "Infos", "its keys override the first's");
            int valeurs[4] = {hauteur_lu_, largeur_lu_, debutX_lu_, debutY_lu_};
            size_t ligne = debut;
            while (ligne <= fin)
            {
                const size_t finLigne = Chercher('\n', ligne, fin);
                LigneInfos(ligne, finLigne, valeurs);
                ligne = finLigne + 1;
            }
            const bool changeGrille = valeurs[CleHauteur] != hauteur_lu_ || valeurs[CleLargeur] != largeur_lu_;
            if (grilleFaite_ && changeGrille)
                Ajouter(ouvrant, "section-order",
                        "[Infos] after [Map] changes Largeur or Hauteur: the grid was built with the "
                        "earlier values and keeps its size");
            hauteur_lu_ = valeurs[CleHauteur];
            largeur_lu_ = valeurs[CleLargeur];
            debutX_lu_ = valeurs[CleDebutX];
            debutY_lu_ = valeurs[CleDebutY];
            infosLues_ = true;
        }

        void Analyse::LigneInfos(size_t debut, size_t fin, int valeurs[4])
        {
            if (debut >= fin)
                return; // empty line
            const size_t egal = Chercher('=', debut, fin);
            if (egal >= fin)
            {
                if (ToutBlanc(s_, debut, fin))
                    return;
                const std::string texte = s_.substr(debut, fin - debut);
                for (const char* cle : Cles)
                    if (SansBlancs(texte) == cle)
                    {
                        Ajouter(debut, "no-equals",
                                std::string("key '") + cle + "' without '=' and value is ignored");
                        return;
                    }
                Ajouter(debut, "no-equals",
                        "line '" + Extrait(texte) + "' is ignored: [Infos] lines are key=value");
                return;
            }
            const size_t finValeur = Chercher('=', egal + 1, fin);
            if (finValeur < fin)
                Ajouter(finValeur, "extra-equals", "text after a second '=' is ignored");

            const std::string cle = s_.substr(debut, egal - debut);
            const std::string valeur = s_.substr(egal + 1, finValeur - egal - 1);
            int numero = -1;
            for (int k = 0; k < 4; ++k)
                if (cle == Cles[k])
                    numero = k;
            if (numero < 0)
            {
                std::string message = "unknown key '" + Extrait(cle) + "' is ignored";
                const std::string proche = Minuscules(SansBlancs(cle));
                for (const char* connue : Cles)
                    if (proche == Minuscules(connue))
                        message += std::string(": did you mean '") + connue +
                                   "'? (keys are exact, case and blanks count)";
                Ajouter(debut, "unknown-key", message);
                return;
            }

            const int lu = LireEntier(valeur);
            if (derniereCle_[numero] != Aucune)
                Ajouter(debut, "repeated-key",
                        std::string("'") + Cles[numero] + "' is set again: this value (" +
                            std::to_string(lu) + ") overrides the one of line " +
                            Ligne(derniereCle_[numero]));
            derniereCle_[numero] = debut;
            valeurCle_[numero] = egal + 1;
            if (!NombreNet(valeur))
                Ajouter(egal + 1, "bad-value",
                        std::string("value '") + Extrait(valeur) + "' of '" + Cles[numero] +
                            "' is not a plain number: the game reads " + std::to_string(lu));
            if (numero == CleHauteur || numero == CleLargeur)
            {
                if (lu < 0)
                    Ajouter(egal + 1, "bad-size",
                            std::string("negative ") + Cles[numero] +
                                ": a [Map] section read with it is ignored");
                else if (lu == 0)
                    Ajouter(egal + 1, "bad-size",
                            std::string(Cles[numero]) + " is 0: the level has no cell");
                else if (lu > CMap::CotesMax)
                    Ajouter(egal + 1, "bad-size",
                            std::string(Cles[numero]) + Format(" is above %lld: a [Map] section read "
                                                               "with it is ignored",
                                                               CMap::CotesMax));
            }
            valeurs[numero] = lu;
        }

        void Analyse::Carte(size_t ouvrant, size_t debut, size_t fin)
        {
            Repetee(ouvrant, premiereCarte_, "Map",
                    "its cells overwrite the first's and its bonuses are added again");
            if (!infosLues_)
                Ajouter(ouvrant, "section-order",
                        Format("[Map] comes before any [Infos]: it is read with Largeur=%lld and "
                               "Hauteur=%lld",
                               largeur_lu_, hauteur_lu_));
            const int largeur = largeur_lu_;
            const int hauteur = hauteur_lu_;
            if (largeur < 0 || hauteur < 0 || largeur > CMap::CotesMax || hauteur > CMap::CotesMax ||
                static_cast<long long>(largeur) * hauteur > CMap::CasesMax)
            {
                Ajouter(ouvrant, "bad-size",
                        Format("this [Map] section is ignored: a grid of Largeur=%lld by Hauteur=%lld "
                               "cannot be built",
                               largeur, hauteur));
                return;
            }
            premiereGrille_ = !grilleFaite_;
            grilleFaite_ = true;

            // The body's lines; the first is the rest of the "[Map]" line.
            std::vector<std::pair<size_t, size_t>> lignes;
            for (size_t ligne = debut; ligne <= fin;)
            {
                const size_t finLigne = Chercher('\n', ligne, fin);
                lignes.emplace_back(ligne, finLigne);
                ligne = finLigne + 1;
            }
            size_t premiereRangee = lignes.size();
            size_t derniereRangee = lignes.size();
            for (size_t i = 0; i < lignes.size(); ++i)
                if (lignes[i].first < lignes[i].second)
                {
                    if (premiereRangee == lignes.size())
                        premiereRangee = i;
                    derniereRangee = i;
                }

            if (!lignes.empty() && lignes[0].first < lignes[0].second)
            {
                const size_t avant = rapport_.Constats.size();
                Ajouter(lignes[0].first, "text-after-header",
                        "text after [Map] on the same line is read as the first row");
                SurCase(avant, 0, 0);
            }

            int rangee = 0;
            size_t apresDerniere = ouvrant;
            for (size_t i = 0; i < lignes.size(); ++i)
            {
                const size_t a = lignes[i].first;
                const size_t b = lignes[i].second;
                if (a == b)
                {
                    // Empty lines between rows are skipped: report the first of a run.
                    if (i > premiereRangee && i < derniereRangee && lignes[i - 1].first < lignes[i - 1].second)
                        Ajouter(a, "empty-line",
                                "empty line skipped: it does not count as a row");
                    continue;
                }
                if (rangee >= hauteur)
                {
                    Surplus(lignes, i, hauteur);
                    break;
                }
                rangees_.push_back(RangeeLue{static_cast<uint32_t>(a), static_cast<uint32_t>(b), rangee});
                Rangee(a, b, rangee, largeur);
                ++rangee;
                apresDerniere = b < s_.size() ? b + 1 : b;
            }
            if (rangee < hauteur)
            {
                const size_t avant = rapport_.Constats.size();
                const std::string manque =
                    hauteur - rangee == 1 ? Format("row %lld is ", rangee + 1)
                                          : Format("rows %lld to %lld are ", rangee + 1, hauteur);
                Ajouter(apresDerniere, "missing-rows",
                        Format("[Map] has %lld rows, Hauteur is %lld: ", rangee, hauteur) + manque +
                            NonPose(true));
                SurCase(avant, 0, rangee);
            }
        }

        void Analyse::Surplus(const std::vector<std::pair<size_t, size_t>>& lignes, size_t i, int hauteur)
        {
            long long rangees = 0;
            long long bonus = 0;
            for (size_t k = i; k < lignes.size(); ++k)
            {
                if (lignes[k].first == lignes[k].second)
                    continue;
                ++rangees;
                for (size_t j = lignes[k].first; j < lignes[k].second; ++j)
                    if (s_[j] >= '1' && s_[j] <= '8')
                        ++bonus;
            }
            std::string message = Format("%lld ", rangees) + (rangees == 1 ? "row" : "rows") +
                      Format(" beyond Hauteur=%lld ", hauteur) + (rangees == 1 ? "is" : "are") + " ignored";
            if (bonus > 0)
                message += Format(", with %lld bonus", bonus) + (bonus == 1 ? "" : "es");
            Ajouter(lignes[i].first, "extra-rows", message);
        }

        void Analyse::Rangee(size_t a, size_t b, int rangee, int largeur)
        {
            const size_t longueur = b - a;
            const size_t lues = std::min(longueur, static_cast<size_t>(largeur));
            size_t mauvais = Aucune; // start of a run of characters that are not tiles
            for (size_t c = 0; c <= lues; ++c)
            {
                const bool tuile = c < lues && (CodeCaractere(s_[a + c]) != 0);
                if (c < lues && !tuile)
                {
                    if (mauvais == Aucune)
                        mauvais = c;
                    continue;
                }
                if (mauvais != Aucune)
                {
                    PasDesTuiles(a + mauvais, c - mauvais);
                    mauvais = Aucune;
                }
                if (c == lues)
                    break;
                const char caractere = s_[a + c];
                Poser(static_cast<int>(c), rangee, a + c);
                if (caractere >= '1' && caractere <= '8')
                    bonus_.push_back(BonusLu{static_cast<int>(c), rangee, caractere - '0', static_cast<uint32_t>(a + c)});
            }
            if (longueur < static_cast<size_t>(largeur))
            {
                const long long manque = static_cast<long long>(largeur) - static_cast<long long>(longueur);
                Ajouter(b, "short-row",
                        Format("row %lld has %lld cells, Largeur is %lld: ", rangee + 1,
                               static_cast<long long>(longueur), largeur) +
                            (manque == 1 ? "the last cell is " : Format("the last %lld cells are ", manque)) +
                            NonPose(manque > 1));
            }
            else if (longueur > static_cast<size_t>(largeur) && !QueDesBlancs(a + static_cast<size_t>(largeur), b))
            {
                long long bonus = 0;
                for (size_t j = a + static_cast<size_t>(largeur); j < b; ++j)
                    if (s_[j] >= '1' && s_[j] <= '8')
                        ++bonus;
                const long long surplus = static_cast<long long>(longueur) - largeur;
                std::string message = Format("row %lld is longer than Largeur=%lld: ", rangee + 1, largeur) +
                                      (surplus == 1 ? std::string("this character is ignored")
                                                    : Format("these %lld characters are ignored", surplus));
                if (bonus > 0)
                    message += Format(", with %lld bonus", bonus) + (bonus == 1 ? "" : "es");
                Ajouter(a + static_cast<size_t>(largeur), "long-row", message);
            }
        }

        void Analyse::PasDesTuiles(size_t debut, size_t nombre)
        {
            std::string liste;
            std::string vus;
            for (size_t i = 0; i < nombre; ++i)
            {
                const char c = s_[debut + i];
                if (vus.find(c) != std::string::npos)
                    continue;
                if (vus.size() == 4)
                {
                    liste += ", ...";
                    break;
                }
                vus.push_back(c);
                liste += (liste.empty() ? "" : ", ") + Montrer(c);
            }
            std::string message;
            if (nombre == 1)
                message = "character " + liste + " is not a tile: the cell is " + NonPose(false);
            else
                message = Format("%lld characters from here are not tiles (", static_cast<long long>(nombre)) +
                          liste + "): the cells are " + NonPose(true);
            if (vus.find('0') != std::string::npos || vus.find('9') != std::string::npos)
                message += "; bonuses are the digits 1 to 8";
            Ajouter(debut, "not-a-tile", message);
        }

        std::string Analyse::NonPose(bool plusieurs) const
        {
            if (!premiereGrille_)
                return "left as an earlier [Map] section set them";
            return plusieurs ? "left unset (invisible walls)" : "left unset (an invisible wall)";
        }

        void Analyse::Poser(int colonne, int ligne, size_t decalage)
        {
            // Files are at most 16 MiB: an offset fits in 32 bits.
            if (colonne < largeur_ && ligne < hauteur_)
                origines_[static_cast<size_t>(colonne) * static_cast<size_t>(hauteur_) +
                          static_cast<size_t>(ligne)] = static_cast<uint32_t>(decalage);
        }

        void Analyse::Manques()
        {
            if (premiereInfos_ == Aucune)
                AjouterFichier("missing-section",
                               "no [Infos] section: the level has no size and its start stays at 0, 0");
            else
                for (int k = 0; k < 4; ++k)
                    if (derniereCle_[k] == Aucune)
                        Ajouter(premiereInfos_, "missing-key",
                                std::string("no '") + Cles[k] + "=' line in [Infos]: " + Cles[k] +
                                    " stays 0");
            if (premiereCarte_ == Aucune)
                AjouterFichier("missing-section", "no [Map] section: the level has no cell");
        }
    }
}
