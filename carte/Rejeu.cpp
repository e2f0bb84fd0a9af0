// The replay runs the character's own per-frame logic, as CPerso::DessinePerso
// runs it, minus the drawing: AvanceDepl (the 5 ms movement steps that have
// fallen due), AvanceAnim, PrendBonus, VerifieMort and VerifieRetour, in this
// order. The frozen game clock moves 5 ms a frame, so every frame runs exactly
// one movement step, and the step clock, the jump delay, the time of death and
// the return to the start all follow the game's own rules. Running the frame's
// pieces one by one (rather than CalcDepl alone) lets the report tell what each
// of them did.
#include "Rejeu.h"

#include "analyse/Contexte.h"
#include "Verification.h"
#include "outils/Horloge.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <sstream>

namespace OutilCarte
{
    namespace
    {
        const char* const NomsTouches[4] = {"up", "down", "left", "right"};
        const Uint32 Debut = 100000;  // the clock when the level is loaded
        const int PasMs = 5;          // one frame, one movement step

        bool LireTemps(const std::string& mot, long long& temps)
        {
            if (mot.empty() || mot.size() > 12)
                return false;
            long long v = 0;
            for (const char c : mot)
            {
                if (c < '0' || c > '9')
                    return false;
                v = v * 10 + (c - '0');
            }
            temps = v;
            return true;
        }
    }

    bool LireEntrees(const std::string& texte, Entrees& entrees, std::string& erreur)
    {
        entrees = Entrees();
        std::istringstream flux(texte);
        std::string ligne;
        int numero = 0;
        long long precedent = 0;
        while (std::getline(flux, ligne))
        {
            ++numero;
            const size_t diese = ligne.find('#');
            if (diese != std::string::npos)
                ligne.erase(diese);
            std::istringstream mots(ligne);
            std::vector<std::string> liste;
            std::string mot;
            while (mots >> mot)
                liste.push_back(mot);
            if (liste.empty())
                continue;
            const std::string ici = "line " + std::to_string(numero) + ": ";
            if (entrees.FinDonnee)
            {
                erreur = ici + "nothing may follow 'end'";
                return false;
            }
            long long temps = 0;
            if (!LireTemps(liste[0], temps))
            {
                erreur = ici + "'" + Extrait(liste[0]) + "' is not a time in milliseconds";
                return false;
            }
            if (temps > DureeRejeuMax)
            {
                erreur = ici + "time beyond one hour";
                return false;
            }
            if (temps < precedent)
            {
                erreur = ici + "time goes backwards";
                return false;
            }
            precedent = temps;
            if (liste.size() == 1)
            {
                erreur = ici + "a time needs a key change (+right, -up, ...) or 'end'";
                return false;
            }
            if (liste[1] == "end")
            {
                if (liste.size() > 2)
                {
                    erreur = ici + "'end' stands alone after its time";
                    return false;
                }
                entrees.Fin = temps;
                entrees.FinDonnee = true;
                continue;
            }
            for (size_t i = 1; i < liste.size(); ++i)
            {
                const std::string& m = liste[i];
                int touche = -1;
                if (m.size() > 1 && (m[0] == '+' || m[0] == '-'))
                    for (int k = 0; k < 4; ++k)
                        if (m.compare(1, std::string::npos, NomsTouches[k]) == 0)
                            touche = k;
                if (touche < 0)
                {
                    erreur = ici + "'" + Extrait(m) + "' is not a key change: +up, -up, +down, -down, +left, "
                                                       "-left, +right, -right or end";
                    return false;
                }
                ChangementTouche c;
                c.Temps = temps;
                c.Touche = touche;
                c.Appuye = m[0] == '+';
                c.Ligne = numero;
                entrees.Changements.push_back(c);
            }
        }
        if (!entrees.FinDonnee)
            entrees.Fin = (entrees.Changements.empty() ? 0 : entrees.Changements.back().Temps) + 1000;
        return true;
    }

    namespace
    {
        const char* NomEtat(int etat)
        {
            switch (etat)
            {
            case CPerso::Lache: return "letting go";
            case CPerso::Immobile: return "standing";
            case CPerso::Marche: return "walking";
            case CPerso::EnLAir: return "in the air";
            case CPerso::Accroche: return "hanging";
            case CPerso::Mort: return "dead";
            default: return "unknown";
            }
        }

        bool Boite(int x, int y)
        {
            return Map.AutAcces(x + 6, y + 4) && Map.AutAcces(x + 57, y + 4) && Map.AutAcces(x + 6, y + 61) &&
                   Map.AutAcces(x + 57, y + 61);
        }

        class Journal
        {
        public:
            void Ligne(long long temps, const std::string& texte)
            {
                char tampon[32];
                std::snprintf(tampon, sizeof tampon, "t=%lldms ", temps);
                sortie_ += tampon;
                sortie_ += texte;
                sortie_ += '\n';
            }
            std::string& Texte() { return sortie_; }

        private:
            std::string sortie_;
        };

        std::string A(int x, int y)
        {
            return "at (" + std::to_string(x) + "," + std::to_string(y) + ")";
        }

        std::string Trajectoire(const CPerso& p)
        {
            char tampon[160];
            std::snprintf(tampon, sizeof tampon, "at (%d,%d) speed (%.3f,%.3f) %s", p.PosX, p.PosY, p.VitesseX,
                          p.VitesseY, NomEtat(p.Etat));
            return tampon;
        }
    }

    std::string Rejouer(const TexteCarte& carte, const Entrees& entrees, const OptionsRejeu& options)
    {
        Journal journal;
        try
        {
            ContexteJeu contexte;
            ContexteJeu::ChargerNiveau(carte.Contenu);
            CPerso& p = ContexteJeu::CreerJoueur(Debut);

            journal.Ligne(0, "start " + A(p.PosX, p.PosY) + ", life " + std::to_string(p.Vie) + ", mana " +
                                 std::to_string(p.Mana) + ", " + std::to_string(Map.ListeBonus.size()) +
                                 " bonuses on the level");
            size_t prochain = 0;
            int sommet = p.PosY; // highest point since the character last stood
            const long long trames = entrees.Fin / PasMs;
            for (long long n = 0; n <= trames; ++n)
            {
                const long long t = n * PasMs;
                Horloge::FixerTemps(Debut + static_cast<Uint32>(t));
                for (; prochain < entrees.Changements.size() && entrees.Changements[prochain].Temps <= t; ++prochain)
                {
                    const ChangementTouche& c = entrees.Changements[prochain];
                    p.ModifTouche(c.Touche, c.Appuye);
                    journal.Ligne(t, std::string(c.Appuye ? "press " : "release ") + NomsTouches[c.Touche]);
                }

                // The movement steps.
                const CPerso a = p;
                const bool auSol = !Boite(a.PosX, a.PosY + 3);
                p.AvanceDepl();
                const bool saut = p.ProchainSaut != a.ProchainSaut;
                if (saut)
                {
                    const char* genre = a.Etat == CPerso::Accroche ? "jump off the ledge"
                                        : (auSol && a.Etat != CPerso::EnLAir) ? "jump from the ground"
                                                                               : "jump in the air";
                    journal.Ligne(t, std::string(genre) + " " + A(a.PosX, a.PosY));
                }
                if (p.Etat == CPerso::Accroche && a.Etat != CPerso::Accroche)
                    journal.Ligne(t, std::string("grab the ledge on the ") + (p.VersDroite ? "right" : "left") +
                                         ", hang " + A(p.PosX, p.PosY));
                if (a.Etat == CPerso::Accroche && p.Etat != CPerso::Accroche && !saut)
                    journal.Ligne(t, "let go " + A(a.PosX, a.PosY));
                if ((a.Etat == CPerso::Immobile || a.Etat == CPerso::Marche) && p.Etat == CPerso::EnLAir && !saut)
                    journal.Ligne(t, "fall off the edge " + A(p.PosX, p.PosY));
                if (a.Etat != CPerso::EnLAir && a.Etat != CPerso::Accroche)
                    sommet = a.PosY;
                if (p.PosY < sommet)
                    sommet = p.PosY;
                if (a.Etat == CPerso::EnLAir && (p.Etat == CPerso::Immobile || p.Etat == CPerso::Marche))
                    journal.Ligne(t, "land " + A(p.PosX, p.PosY) + " after a drop of " +
                                         std::to_string(p.PosY - sommet) + " px");
                if (p.Vie < a.Vie && p.Etat != CPerso::Mort)
                    journal.Ligne(t, "damage " + std::to_string(a.Vie - p.Vie) + " from the fall " +
                                         A(p.PosX, p.PosY) + ": life " + std::to_string(p.Vie));
                if (p.Etat == CPerso::Mort && a.Etat != CPerso::Mort)
                {
                    if (p.Vie == 0 && a.Vie > 0)
                        journal.Ligne(t, "death from the fall " + A(p.PosX, p.PosY) + ": it took the " +
                                             std::to_string(a.Vie) + " life left");
                    else
                        journal.Ligne(t, "death: drowned, the whole box in water " + A(p.PosX, p.PosY));
                }

                p.AvanceAnim();

                // A bonus on the tile of the square's top-left corner.
                const size_t avant = Map.ListeBonus.size();
                const int colonne = std::div(p.PosX, CMap::TailleCase).quot;
                const int rang = std::div(p.PosY, CMap::TailleCase).quot;
                int type = 0;
                for (const CMap::CBonus& b : Map.ListeBonus)
                    if (b.CaseX == colonne && b.CaseY == rang)
                    {
                        type = b.Type;
                        break;
                    }
                p.PrendBonus();
                if (Map.ListeBonus.size() < avant)
                    journal.Ligne(t, "pick up a " + NomBonus(type) + " bonus in cell (" + std::to_string(colonne) +
                                         "," + std::to_string(rang) + "): life " + std::to_string(p.Vie) +
                                         ", mana " + std::to_string(p.Mana) + ", " +
                                         std::to_string(Map.ListeBonus.size()) + " left");

                const int etatAvantMort = p.Etat;
                p.VerifieMort();
                if (p.Etat == CPerso::Mort && etatAvantMort != CPerso::Mort)
                {
                    if (Map.DiedAcces(p.PosX + 32, p.PosY + 32))
                        journal.Ligne(t, "death in water " + A(p.PosX, p.PosY));
                    else
                        journal.Ligne(t, "death: no life left " + A(p.PosX, p.PosY));
                }

                const int etatAvantRetour = p.Etat;
                p.VerifieRetour();
                if (etatAvantRetour == CPerso::Mort && p.Etat != CPerso::Mort)
                {
                    journal.Ligne(t, "respawn " + A(p.PosX, p.PosY) + ", life " + std::to_string(p.Vie));
                    sommet = p.PosY;
                }

                if (options.Tous > 0 && n % options.Tous == 0)
                    journal.Ligne(t, Trajectoire(p));
            }
            journal.Ligne(trames * PasMs, "end " + Trajectoire(p) + ", life " + std::to_string(p.Vie) + ", mana " +
                                              std::to_string(p.Mana) + ", " +
                                              std::to_string(Map.ListeBonus.size()) + " bonuses left");
        }
        catch (const std::exception&)
        {
            journal.Texte() += "out of memory: the replay stopped\n";
        }
        return journal.Texte();
    }
}

namespace OutilCarte
{
    ResultatAtteinte ChercherChemin(const TexteCarte& carte, int colonne, int ligne, OptionsAtteinte options)
    {
        ResultatAtteinte resultat;
        try
        {
            ContexteJeu contexte;
            ContexteJeu::ChargerNiveau(carte.Contenu);
            options.CibleColonne = colonne;
            options.CibleLigne = ligne;
            resultat = Explorer(options);
        }
        catch (const std::exception&)
        {
            resultat = ResultatAtteinte();
        }
        return resultat;
    }

    std::string EntreesDeChemin(const std::vector<TouchesTenues>& chemin)
    {
        std::string texte;
        bool tenues[4] = {false, false, false, false};
        long long pas = 0; // steps run before the current piece
        for (const TouchesTenues& morceau : chemin)
        {
            for (int t = 0; t < 4; ++t)
                if (morceau.Touches[t] != tenues[t])
                {
                    texte += std::to_string(pas * PasMs) + " " + (morceau.Touches[t] ? "+" : "-") + NomsTouches[t] + "\n";
                    tenues[t] = morceau.Touches[t];
                }
            pas += morceau.Pas;
        }
        // The step that arrives is the one of the frame at (steps - 1) x 5 ms.
        texte += std::to_string((pas > 0 ? pas - 1 : 0) * PasMs) + " end\n";
        return texte;
    }
}
