// The checks of a map text (corvella-carte check, the editor's live
// findings). The file is read twice: once by the
// game's own parser (CMap::AnalyseContenu), which gives the level exactly as
// the game gets it, and once here, along the same rules, to know where in the
// file each section, key, row and cell comes from.
#include "Verification.h"

#include "Contexte.h"
#include "Route.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <utility>

namespace AnalyseCarte
{
    size_t Rapport::Avertissements() const
    {
        return Omis + static_cast<size_t>(std::count_if(Constats.begin(), Constats.end(), [](const Constat& c) {
                   return c.Niveau == Gravite::Avertissement;
               }));
    }

    size_t Rapport::Notes() const
    {
        return Constats.size() + Omis - Avertissements();
    }

    std::string NomTuile(int code)
    {
        static const char* const Noms[] = {
            "unset cell",                       // 0
            "empty",                            // 1
            "grass",                            // 2
            "water",                            // 3
            "wall",                             // 4
            "slope start, right",               // 5
            "sand, edge to the right",          // 6
            "slope start, left",                // 7
            "hilltop, right side",              // 8
            "hilltop, left side",               // 9
            "earth",                            // 10
            "grass, edge to the right",         // 11
            "side transition, right",           // 12
            "grass, edge to the left",          // 13
            "side transition, left",            // 14
            "wall-to-water transition, right",  // 15
            "wall, right",                      // 16
            "wall-to-water transition, left",   // 17
            "wall, left",                       // 18
            "wall-to-grass transition, right",  // 19
            "wall-to-grass transition, left",   // 20
            "slope, right",                     // 21
            "wall-to-earth, bottom right",      // 22
            "slope, left",                      // 23
            "wall-to-earth, bottom left",       // 24
            "sand, interior",                   // 25
            "wall-to-earth, right",             // 26
            "sand, wall on the right",          // 27
            "wall-to-earth, left",              // 28
            "sand, wall on the left",           // 29
            "wall-to-earth, top right",         // 30
            "sand, ground",                     // 31
            "wall-to-earth, top left",          // 32
            "sand, edge to the left",           // 33
        };
        if (code < 0 || code >= static_cast<int>(sizeof Noms / sizeof Noms[0]))
            return "unknown tile";
        return Noms[code];
    }

    std::string NomBonus(int type)
    {
        static const char* const Noms[] = {"life 25", "life 50", "life 75", "life 100",
                                           "mana 25", "mana 50", "mana 75", "mana 100"};
        if (type < 1 || type > 8)
            return "unknown";
        return Noms[type - 1];
    }

    namespace
    {
        const char* const Cles[4] = {"Hauteur", "Largeur", "PosDebutX", "PosDebutY"};
        enum
        {
            CleHauteur = 0,
            CleLargeur = 1,
            CleDebutX = 2,
            CleDebutY = 3
        };
        const size_t Aucune = static_cast<size_t>(-1);
        const uint32_t AucuneOrigine = 0xFFFFFFFFu;

        std::string Format(const char* modele, long long a = 0, long long b = 0, long long c = 0,
                           long long d = 0)
        {
            char tampon[256];
            std::snprintf(tampon, sizeof tampon, modele, a, b, c, d);
            return tampon;
        }

        bool Blanc(char c)
        {
            return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r';
        }

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

        // A value the way a person means it: blanks, an optional sign, digits,
        // blanks. Anything else is read by the game's atoi rule all the same.
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

        // Where a set cell, a bonus, a key came from.
        struct BonusLu
        {
            int Colonne;
            int Ligne;
            int Type;
            uint32_t Decalage; // files are at most 16 MiB
        };

        // A row of a [Map] section that set cells: its characters from Debut
        // (offset in the text) are the cells of columns 0, 1, ... of row Ligne.
        struct RangeeLue
        {
            uint32_t Debut;
            uint32_t Fin; // the line's end
            int Ligne;
        };

        class Analyse
        {
        public:
            Analyse(const TexteCarte& texte, Rapport& rapport)
                : texte_(texte), s_(texte.Contenu), positions_(texte.Contenu), rapport_(rapport)
            {
            }

            void Lancer(const OptionsVerification& options)
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

        private:
            // ---------------------------------------------------------------
            // Findings

            bool Plein(Gravite niveau)
            {
                if (rapport_.Constats.size() < ConstatsMax)
                    return false;
                if (niveau == Gravite::Avertissement)
                    ++rapport_.Omis;
                return true;
            }

            void Ajouter(size_t decalage, const char* genre, const std::string& message,
                         Gravite niveau = Gravite::Avertissement)
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

            void AjouterFichier(const char* genre, const std::string& message,
                                Gravite niveau = Gravite::Avertissement)
            {
                if (Plein(niveau))
                    return;
                Constat c;
                c.Niveau = niveau;
                c.Genre = genre;
                c.Message = message;
                rapport_.Constats.push_back(std::move(c));
            }

            // The cell that the character at an offset sets, if it lies in a
            // row of the grid; for the end of a short row, the first cell it
            // leaves unset.
            void CaseDuTexte(size_t decalage, Constat& c) const
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

            // Sets the cell of a finding (from 0) when it lies in the grid.
            void Case(int colonne, int ligne, Constat& c) const
            {
                if (colonne < 0 || ligne < 0 || colonne >= largeur_ || ligne >= hauteur_)
                    return;
                c.CaseColonne = colonne + 1;
                c.CaseLigne = ligne + 1;
            }

            // The finding just added, if any, concerns this cell (from 0).
            void SurCase(size_t avant, int colonne, int ligne)
            {
                if (rapport_.Constats.size() > avant)
                    Case(colonne, ligne, rapport_.Constats.back());
            }

            // The first `c` in [a, b), or b. Every search stays within its
            // section or line, so that no text is scanned more than a few times.
            size_t Chercher(char c, size_t a, size_t b) const
            {
                if (a >= b)
                    return b;
                const void* p = std::memchr(s_.data() + a, c, b - a);
                return p == nullptr ? b : static_cast<size_t>(static_cast<const char*>(p) - s_.data());
            }

            std::string Ligne(size_t decalage) const
            {
                return std::to_string(positions_.Ligne(decalage));
            }

            // ---------------------------------------------------------------
            // Line ends

            void FinsDeLigne()
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

            // ---------------------------------------------------------------
            // Sections, as the loader cuts them

            void Sections()
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

            // Blanks after the last cell are harmless: not worth a finding.
            bool QueDesBlancs(size_t a, size_t b) const
            {
                for (size_t i = a; i < b; ++i)
                    if (s_[i] != ' ' && s_[i] != '\t')
                        return false;
                return true;
            }

            bool ToutBlancOuLigne(size_t a, size_t b) const
            {
                for (size_t i = a; i < b; ++i)
                    if (!Blanc(s_[i]) && s_[i] != '\n')
                        return false;
                return true;
            }

            void SectionInconnue(size_t ouvrant, const std::string& nom)
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

            void Repetee(size_t ouvrant, size_t& premiere, const char* nom, const char* effet)
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

            // ---------------------------------------------------------------
            // [Infos]

            void Infos(size_t ouvrant, size_t debut, size_t fin)
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

            void LigneInfos(size_t debut, size_t fin, int valeurs[4])
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

            // ---------------------------------------------------------------
            // [Map]

            void Carte(size_t ouvrant, size_t debut, size_t fin)
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

            void Surplus(const std::vector<std::pair<size_t, size_t>>& lignes, size_t i, int hauteur)
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

            void Rangee(size_t a, size_t b, int rangee, int largeur)
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

            void PasDesTuiles(size_t debut, size_t nombre)
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

            // What becomes of cells a row does not set.
            std::string NonPose(bool plusieurs) const
            {
                if (!premiereGrille_)
                    return "left as an earlier [Map] section set them";
                return plusieurs ? "left unset (invisible walls)" : "left unset (an invisible wall)";
            }

            void Poser(int colonne, int ligne, size_t decalage)
            {
                // Files are at most 16 MiB: an offset fits in 32 bits.
                if (colonne < largeur_ && ligne < hauteur_)
                    origines_[static_cast<size_t>(colonne) * static_cast<size_t>(hauteur_) +
                              static_cast<size_t>(ligne)] = static_cast<uint32_t>(decalage);
            }

            // ---------------------------------------------------------------
            // What is missing altogether

            void Manques()
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

            // ---------------------------------------------------------------
            // The level as loaded

            size_t Origine(int colonne, int ligne) const
            {
                if (colonne < 0 || ligne < 0 || colonne >= largeur_ || ligne >= hauteur_)
                    return Aucune;
                const uint32_t o = origines_[static_cast<size_t>(colonne) * static_cast<size_t>(hauteur_) +
                                             static_cast<size_t>(ligne)];
                return o == AucuneOrigine ? Aucune : static_cast<size_t>(o);
            }

            // A finding about a cell, at the character that set it, or else at
            // `repli`, or else about the whole file.
            void AjouterCase(int colonne, int ligne, size_t repli, const char* genre, const std::string& message)
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

            static bool Boite(int x, int y)
            {
                return Map.AutAcces(x + 6, y + 4) && Map.AutAcces(x + 57, y + 4) && Map.AutAcces(x + 6, y + 61) &&
                       Map.AutAcces(x + 57, y + 61);
            }

            static std::string Cellule(int colonne, int ligne)
            {
                return Format("column %lld, row %lld", colonne + 1, ligne + 1);
            }

            void Grille(const OptionsVerification& options)
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

            bool Depart()
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

            // True when a pixel of the cell's outer edge on that side is open.
            static bool OuvertVers(int colonne, int ligne, int cote)
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

            void Bords()
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

            void Bonus(std::vector<bool>& enfouis)
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

            void Atteinte(const OptionsVerification& options, const std::vector<bool>& enfouis)
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

            // Open cells joined side by side make areas; an area no reachable
            // state of the character ever overlapped is reported once.
            void Zones(const ResultatAtteinte& r, const std::vector<bool>& dejaDit)
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

            // ---------------------------------------------------------------

            const TexteCarte& texte_;
            const std::string& s_;
            Positions positions_;
            Rapport& rapport_;

            int largeur_ = 0; // the grid as loaded
            int hauteur_ = 0;
            std::vector<uint32_t> origines_; // offset in the text of the character that set each cell
            std::vector<BonusLu> bonus_;
            std::vector<RangeeLue> rangees_; // in text order
            std::vector<size_t> vus_;        // per bonus read, its entry in Rapport::Bonus, or Aucune

            // The numbers as the sections read so far left them.
            int hauteur_lu_ = 0;
            int largeur_lu_ = 0;
            int debutX_lu_ = 0;
            int debutY_lu_ = 0;
            bool infosLues_ = false;
            bool grilleFaite_ = false;
            bool premiereGrille_ = true;
            size_t premiereInfos_ = Aucune;
            size_t premiereCarte_ = Aucune;
            size_t derniereCle_[4] = {Aucune, Aucune, Aucune, Aucune}; // line of the last setting
            size_t valeurCle_[4] = {Aucune, Aucune, Aucune, Aucune};   // its value
        };

        bool AvantConstat(const Constat& a, const Constat& b)
        {
            if (a.Ligne != b.Ligne)
                return a.Ligne < b.Ligne;
            return a.Colonne < b.Colonne;
        }

        const char* NomGravite(Gravite g)
        {
            return g == Gravite::Note ? "note" : "warning";
        }

        std::string Resume(const Rapport& rapport)
        {
            const size_t avertissements = rapport.Avertissements();
            const size_t notes = rapport.Notes();
            std::string texte = avertissements == 0 ? "no finding"
                                                    : std::to_string(avertissements) +
                                                          (avertissements == 1 ? " finding" : " findings");
            if (rapport.Omis > 0)
                texte += " (" + std::to_string(rapport.Omis) + " not listed)";
            if (notes > 0)
                texte += ", " + std::to_string(notes) + (notes == 1 ? " note" : " notes");
            if (rapport.RechercheLancee)
            {
                char tampon[160];
                std::snprintf(tampon, sizeof tampon, " (reachability: %zu states, %zu steps, %.0f ms%s)",
                              rapport.Etats, rapport.Pas, rapport.Millisecondes,
                              rapport.RechercheComplete ? "" : ", incomplete");
                texte += tampon;
            }
            return texte;
        }
    }

    unsigned char Rapport::EtatDe(int colonne, int ligne) const
    {
        if (colonne < 1 || ligne < 1 || colonne > Largeur || ligne > Hauteur ||
            Cases.size() != static_cast<size_t>(Largeur) * static_cast<size_t>(Hauteur))
            return 0;
        return Cases[static_cast<size_t>(colonne - 1) * static_cast<size_t>(Hauteur) + static_cast<size_t>(ligne - 1)];
    }

    Rapport AnalyserTexte(const std::string& octets, const OptionsVerification& options)
    {
        if (octets.size() > TailleFichierMax)
        {
            Rapport rapport;
            Constat c;
            c.Genre = "too-large";
            c.Message = "the level's text is larger than 16 MiB: it is not analysed";
            rapport.Constats.push_back(c);
            return rapport;
        }
        const TexteCarte texte = Normaliser(octets);
        Rapport rapport = Verifier(texte, options);
        if (options.Route == OptionsVerification::RouteVoulue::Aucune)
            return rapport;
        OptionsRoute o;
        o.EtatsMax = options.Atteinte.EtatsMax;
        o.SecondesMax = options.Atteinte.SecondesMax;
        o.Fils = options.Atteinte.Fils;
        try
        {
            Route route = options.Route == OptionsVerification::RouteVoulue::Nettoyage
                              ? RouteNettoyage(texte, o, &rapport)
                              : RouteVersCase(texte, options.RouteColonne, options.RouteLigne, o);
            route.Trajet.clear();
            route.Marques.clear();
            rapport.RouteCalculee = std::make_shared<const Route>(std::move(route));
        }
        catch (const std::exception&)
        {
            // Out of memory: the check stands without its route.
        }
        return rapport;
    }

    Rapport Verifier(const TexteCarte& texte, const OptionsVerification& options)
    {
        Rapport rapport;
        try
        {
            ContexteJeu contexte;
            Analyse analyse(texte, rapport);
            analyse.Lancer(options);
        }
        catch (const std::exception&)
        {
            Constat c;
            c.Genre = "internal";
            c.Message = "out of memory: the check is incomplete";
            rapport.Constats.push_back(c);
        }
        std::stable_sort(rapport.Constats.begin(), rapport.Constats.end(), AvantConstat);
        return rapport;
    }

    std::string EnTexte(const Rapport& rapport, const std::string& fichier)
    {
        std::string texte;
        for (const Constat& c : rapport.Constats)
        {
            texte += fichier + ":";
            if (c.Ligne > 0)
                texte += std::to_string(c.Ligne) + ":" + std::to_string(c.Colonne) + ":";
            texte += std::string(" ") + NomGravite(c.Niveau) + ": " + c.Message + " [" + c.Genre + "]\n";
        }
        texte += fichier + ": " + Resume(rapport) + "\n";
        return texte;
    }

    std::string EnJson(const Rapport& rapport, const std::string& fichier)
    {
        std::string texte = "{\n  \"file\": " + Json(fichier) + ",\n  \"findings\": [";
        bool premier = true;
        for (const Constat& c : rapport.Constats)
        {
            texte += premier ? "\n" : ",\n";
            premier = false;
            texte += "    {\"line\": " + (c.Ligne > 0 ? std::to_string(c.Ligne) : std::string("null")) +
                     ", \"column\": " + (c.Ligne > 0 ? std::to_string(c.Colonne) : std::string("null")) +
                     ", \"severity\": " + Json(NomGravite(c.Niveau)) + ", \"kind\": " + Json(c.Genre) +
                     ", \"message\": " + Json(c.Message) + "}";
        }
        texte += premier ? "],\n" : "\n  ],\n";
        texte += "  \"warnings\": " + std::to_string(rapport.Avertissements()) + ",\n";
        texte += "  \"notes\": " + std::to_string(rapport.Notes()) + ",\n";
        texte += "  \"not_listed\": " + std::to_string(rapport.Omis) + ",\n";
        char tampon[256];
        std::snprintf(tampon, sizeof tampon,
                      "  \"reachability\": {\"run\": %s, \"complete\": %s, \"states\": %zu, \"steps\": %zu, "
                      "\"milliseconds\": %.1f}\n",
                      rapport.RechercheLancee ? "true" : "false", rapport.RechercheComplete ? "true" : "false",
                      rapport.Etats, rapport.Pas, rapport.Millisecondes);
        texte += tampon;
        texte += "}\n";
        return texte;
    }
}
