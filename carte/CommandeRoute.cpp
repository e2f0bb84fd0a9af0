#include "CommandeRoute.h"

#include "analyse/Route.h"

#include <cstdio>
#include <cstdlib>

namespace OutilCarte
{
    const char* const UsageRoute = "corvella-carte route  [--max-states N] [--max-seconds S] FILE";

    namespace
    {
        int Erreur(const std::string& message)
        {
            std::fprintf(stderr, "corvella-carte: %s\nusage: %s\n", message.c_str(), UsageRoute);
            return 2;
        }

        bool Nombre(const std::string& texte, double min, double max, double& valeur)
        {
            char* fin = nullptr;
            const double v = std::strtod(texte.c_str(), &fin);
            if (texte.empty() || fin == nullptr || *fin != '\0' || !(v >= min && v <= max))
                return false;
            valeur = v;
            return true;
        }
    }

    int CommandeRoute(const std::vector<std::string>& arguments)
    {
        AnalyseCarte::OptionsRoute options;
        std::vector<std::string> noms;
        for (size_t i = 0; i < arguments.size(); ++i)
        {
            const std::string& a = arguments[i];
            if (a == "--max-states" || a == "--max-seconds")
            {
                if (i + 1 >= arguments.size())
                    return Erreur(a + " needs a value");
                double v = 0;
                if (a == "--max-states")
                {
                    if (!Nombre(arguments[++i], 1, 1e8, v))
                        return Erreur("--max-states takes a number from 1 to 100000000");
                    options.EtatsMax = static_cast<size_t>(v);
                }
                else
                {
                    if (!Nombre(arguments[++i], 0.001, 86400, v))
                        return Erreur("--max-seconds takes a number of seconds, up to 86400");
                    options.SecondesMax = v;
                }
            }
            else if (a.size() > 1 && a[0] == '-' && a != "--")
                return Erreur("unknown option " + a);
            else if (a != "--")
                noms.push_back(a);
        }
        if (noms.size() != 1)
            return Erreur("route takes one map file");
        const std::string& fichier = noms[0];
        std::string octets;
        std::string erreur;
        if (!AnalyseCarte::LireFichier(fichier, octets, erreur))
        {
            std::fprintf(stderr, "corvella-carte: cannot read %s: %s\n", fichier.c_str(), erreur.c_str());
            return 2;
        }
        const AnalyseCarte::Route route = RouteNettoyage(AnalyseCarte::Normaliser(octets), options);
        if (!route.Pourquoi.empty())
        {
            std::fprintf(stderr, "corvella-carte: %s: %s\n", fichier.c_str(), route.Pourquoi.c_str());
            return 2;
        }
        const std::string sortie =
            route.EnEntrees("keys that take the bonuses of " + fichier + ", for corvella-carte replay");
        std::fwrite(sortie.data(), 1, sortie.size(), stdout);
        for (size_t i = 0; i < route.Restants.size(); ++i)
        {
            const AnalyseCarte::BonusVu& b = route.Restants[i];
            const std::string& raison = route.RaisonsRestants[i];
            const std::string nom = AnalyseCarte::NomBonus(b.Type) + " bonus (column " + std::to_string(b.Colonne) +
                                    ", row " + std::to_string(b.Ligne) + ")";
            // The check's messages name the bonus; the others get its name first.
            const bool nomme = raison.compare(0, AnalyseCarte::NomBonus(b.Type).size() + 6,
                                              AnalyseCarte::NomBonus(b.Type) + " bonus") == 0;
            std::fprintf(stderr, "%s:%d:%d: not taken: %s\n", fichier.c_str(), b.LigneTexte, b.ColonneTexte,
                         nomme ? raison.c_str() : (nom + ": " + raison).c_str());
        }
        if (route.Partielle)
            std::fprintf(stderr, "%s: the route is partial: a search stopped at its bound (--max-states, "
                                 "--max-seconds)\n",
                         fichier.c_str());
        return route.Trouvee ? 0 : 1;
    }
}
