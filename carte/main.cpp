// corvella-carte: the level designer's tool. It reads map files with the
// game's own loader and moves the character with the game's own movement code.
//
//   corvella-carte check  [--json] [--no-reach] [--max-states N] [--max-seconds S] FILE
//   corvella-carte render [--images DIR] [--scale S | --thumbnail N] [--no-marks] FILE OUT.png
//   corvella-carte replay [--every N] FILE INPUTS
//   corvella-carte path   [--max-states N] [--max-seconds S] FILE COLUMN ROW
//   corvella-carte route  [--max-states N] [--max-seconds S] FILE
//
// Exit status: 0 clean (check) or done, 1 findings (check), 2 a file cannot be
// read or written, or the command line is wrong.
#include "carte/CommandeRoute.h"
#include "carte/Rejeu.h"
#include "carte/Rendu.h"
#include "carte/Verification.h"
#include "lien/Commande.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

using namespace OutilCarte;

namespace
{
    const int Propre = 0;
    const int Constats = 1;
    const int Erreur = 2;

    const char* const Usage =
        "usage: corvella-carte check  [--json] [--no-reach] [--max-states N] [--max-seconds S] FILE\n"
        "       corvella-carte render [--images DIR] [--scale S | --thumbnail N] [--no-marks] FILE OUT.png\n"
        "       corvella-carte replay [--every N] FILE INPUTS\n"
        "       corvella-carte path   [--max-states N] [--max-seconds S] FILE COLUMN ROW\n"
        "       corvella-carte route  [--max-states N] [--max-seconds S] FILE\n"
        "       corvella-carte lien   FILE [ADDRESS] | --lire LINK OUT\n";
    const char* const Aide =
        "\n"
        "check   reports, with line and column, what the game would do silently with\n"
        "        the map file: stray characters, wrong sizes, unknown sections and keys,\n"
        "        a bad start, open borders, and bonuses or areas the player cannot reach.\n"
        "        Exit status 0 when clean, 1 with findings, 2 when FILE cannot be read.\n"
        "render  draws the whole level into a PNG file from the game's images\n"
        "        (default folder ./Images), start cell and bonuses marked.\n"
        "        --thumbnail N: N pixels on the longer side, for levels of at most\n"
        "        65536 cells.\n"
        "replay  runs the movement headless from timed key presses and prints the\n"
        "        trajectory (every N steps of 5 ms; 0: events only) and the events.\n"
        "        INPUTS lines: '<ms> +right', '<ms> -right', '<ms> end'; '#' comments.\n"
        "path    prints, as INPUTS for replay, keys that bring the character into the\n"
        "        cell at COLUMN, ROW (counted from 1, as check reports them).\n"
        "        Exit status 0 when found, 1 when the cell cannot be reached.\n"
        "route   prints, as INPUTS for replay, keys that take every bonus they can, the\n"
        "        nearest first, with each bonus and its time in comments.\n"
        "        Exit status 0 when every bonus is taken, 1 when some cannot be.\n"
        "lien    prints the link that plays the level in the browser's page\n"
        "        (ADDRESS#niveau=CODE; ADDRESS defaults to index.html); with --lire,\n"
        "        writes the level a link holds into OUT.\n";

    int MauvaisUsage(const std::string& message)
    {
        std::fprintf(stderr, "corvella-carte: %s\n%s(corvella-carte --help tells more)\n", message.c_str(), Usage);
        return Erreur;
    }

    bool LireNombre(const std::string& texte, double min, double max, double& valeur)
    {
        if (texte.empty())
            return false;
        char* fin = nullptr;
        const double v = std::strtod(texte.c_str(), &fin);
        if (fin == nullptr || *fin != '\0' || !(v >= min && v <= max))
            return false;
        valeur = v;
        return true;
    }

    bool LireCarte(const std::string& chemin, TexteCarte& texte)
    {
        std::string octets;
        std::string erreur;
        if (!LireFichier(chemin, octets, erreur))
        {
            std::fprintf(stderr, "corvella-carte: cannot read %s: %s\n", chemin.c_str(), erreur.c_str());
            return false;
        }
        texte = Normaliser(octets);
        return true;
    }

    // Options and the names that are not options, in order.
    struct Ligne
    {
        std::vector<std::string> Noms;
        std::vector<std::pair<std::string, std::string>> Options;
    };

    bool Decouper(const std::vector<std::string>& arguments, const std::vector<std::string>& avecValeur,
                  const std::vector<std::string>& seules, Ligne& ligne, std::string& erreur)
    {
        bool finOptions = false;
        for (size_t i = 0; i < arguments.size(); ++i)
        {
            const std::string& a = arguments[i];
            if (finOptions || a.size() < 2 || a[0] != '-')
            {
                ligne.Noms.push_back(a);
                continue;
            }
            if (a == "--")
            {
                finOptions = true;
                continue;
            }
            bool connue = false;
            for (const std::string& o : seules)
                if (a == o)
                {
                    ligne.Options.emplace_back(a, "");
                    connue = true;
                }
            for (const std::string& o : avecValeur)
                if (a == o)
                {
                    if (i + 1 >= arguments.size())
                    {
                        erreur = a + " needs a value";
                        return false;
                    }
                    ligne.Options.emplace_back(a, arguments[++i]);
                    connue = true;
                }
            if (!connue)
            {
                erreur = "unknown option " + a;
                return false;
            }
        }
        return true;
    }

    bool LireBornes(const std::pair<std::string, std::string>& o, OptionsAtteinte& options, std::string& erreur)
    {
        double v = 0;
        if (o.first == "--max-states")
        {
            if (!LireNombre(o.second, 1, 1e8, v))
            {
                erreur = "--max-states takes a number from 1 to 100000000";
                return false;
            }
            options.EtatsMax = static_cast<size_t>(v);
        }
        else if (o.first == "--max-seconds")
        {
            if (!LireNombre(o.second, 0.001, 86400, v))
            {
                erreur = "--max-seconds takes a number of seconds, up to 86400";
                return false;
            }
            options.SecondesMax = v;
        }
        return true;
    }

    int Verifier_(const std::vector<std::string>& arguments)
    {
        Ligne ligne;
        std::string erreur;
        if (!Decouper(arguments, {"--max-states", "--max-seconds"}, {"--json", "--no-reach"}, ligne, erreur))
            return MauvaisUsage(erreur);
        if (ligne.Noms.size() != 1)
            return MauvaisUsage("check takes one map file");
        OptionsVerification options;
        bool json = false;
        for (const auto& o : ligne.Options)
        {
            if (o.first == "--json")
                json = true;
            else if (o.first == "--no-reach")
                options.Atteignabilite = false;
            else if (!LireBornes(o, options.Atteinte, erreur))
                return MauvaisUsage(erreur);
        }
        TexteCarte texte;
        if (!LireCarte(ligne.Noms[0], texte))
            return Erreur;
        const Rapport rapport = Verifier(texte, options);
        const std::string sortie = json ? EnJson(rapport, ligne.Noms[0]) : EnTexte(rapport, ligne.Noms[0]);
        std::fwrite(sortie.data(), 1, sortie.size(), stdout);
        return rapport.Avertissements() == 0 ? Propre : Constats;
    }

    int Rendre_(const std::vector<std::string>& arguments)
    {
        Ligne ligne;
        std::string erreur;
        if (!Decouper(arguments, {"--images", "--scale", "--thumbnail"}, {"--no-marks"}, ligne, erreur))
            return MauvaisUsage(erreur);
        if (ligne.Noms.size() != 2)
            return MauvaisUsage("render takes a map file and the PNG file to write");
        OptionsRendu options;
        for (const auto& o : ligne.Options)
        {
            if (o.first == "--images")
                options.Images = o.second;
            else if (o.first == "--scale")
            {
                if (!LireNombre(o.second, 0.001, 16, options.Echelle))
                    return MauvaisUsage("--scale takes a number above 0, at most 16");
            }
            else if (o.first == "--thumbnail")
            {
                double cote = 0;
                if (!LireNombre(o.second, 1, VignetteMax, cote) || cote != static_cast<int>(cote))
                    return MauvaisUsage("--thumbnail takes a whole number of pixels, 1 to " +
                                        std::to_string(VignetteMax));
                options.Vignette = static_cast<int>(cote);
            }
            else if (o.first == "--no-marks")
                options.Marques = false;
        }
        if (options.Vignette > 0 && options.Echelle != OptionsRendu().Echelle)
            return MauvaisUsage("--scale and --thumbnail cannot go together");
        TexteCarte texte;
        if (!LireCarte(ligne.Noms[0], texte))
            return Erreur;
        ImageRGBA image;
        const ResultatRendu resultat = Rendre(texte, options, image);
        for (const std::string& manque : resultat.ImagesManquantes)
            std::fprintf(stderr, "corvella-carte: warning: cannot read %s: drawn as a plain white square, as the "
                                 "game would\n",
                         manque.c_str());
        if (!resultat.Reussi)
        {
            std::fprintf(stderr, "corvella-carte: %s: %s\n", ligne.Noms[0].c_str(), resultat.Erreur.c_str());
            return Erreur;
        }
        if (!EcrirePng(ligne.Noms[1], image))
        {
            std::fprintf(stderr, "corvella-carte: cannot write %s\n", ligne.Noms[1].c_str());
            return Erreur;
        }
        return Propre;
    }

    int Rejouer_(const std::vector<std::string>& arguments)
    {
        Ligne ligne;
        std::string erreur;
        if (!Decouper(arguments, {"--every"}, {}, ligne, erreur))
            return MauvaisUsage(erreur);
        if (ligne.Noms.size() != 2)
            return MauvaisUsage("replay takes a map file and an input file");
        OptionsRejeu options;
        for (const auto& o : ligne.Options)
        {
            double v = 0;
            if (o.first == "--every")
            {
                if (!LireNombre(o.second, 0, 1e9, v) || v != static_cast<double>(static_cast<long long>(v)))
                    return MauvaisUsage("--every takes a whole number of steps (0: events only)");
                options.Tous = static_cast<int>(v);
            }
        }
        TexteCarte texte;
        if (!LireCarte(ligne.Noms[0], texte))
            return Erreur;
        std::string octets;
        if (!LireFichier(ligne.Noms[1], octets, erreur))
        {
            std::fprintf(stderr, "corvella-carte: cannot read %s: %s\n", ligne.Noms[1].c_str(), erreur.c_str());
            return Erreur;
        }
        Entrees entrees;
        if (!LireEntrees(octets, entrees, erreur))
        {
            std::fprintf(stderr, "corvella-carte: %s: %s\n", ligne.Noms[1].c_str(), erreur.c_str());
            return Erreur;
        }
        const std::string sortie = Rejouer(texte, entrees, options);
        std::fwrite(sortie.data(), 1, sortie.size(), stdout);
        return Propre;
    }

    int Chemin_(const std::vector<std::string>& arguments)
    {
        Ligne ligne;
        std::string erreur;
        if (!Decouper(arguments, {"--max-states", "--max-seconds"}, {}, ligne, erreur))
            return MauvaisUsage(erreur);
        if (ligne.Noms.size() != 3)
            return MauvaisUsage("path takes a map file, a column and a row");
        OptionsAtteinte options;
        for (const auto& o : ligne.Options)
            if (!LireBornes(o, options, erreur))
                return MauvaisUsage(erreur);
        double colonne = 0;
        double rang = 0;
        if (!LireNombre(ligne.Noms[1], 1, 65536, colonne) || !LireNombre(ligne.Noms[2], 1, 65536, rang) ||
            colonne != static_cast<int>(colonne) || rang != static_cast<int>(rang))
            return MauvaisUsage("COLUMN and ROW are whole numbers from 1");
        TexteCarte texte;
        if (!LireCarte(ligne.Noms[0], texte))
            return Erreur;
        const int c = static_cast<int>(colonne) - 1;
        const int r = static_cast<int>(rang) - 1;
        const ResultatAtteinte resultat = ChercherChemin(texte, c, r, options);
        if (!resultat.CibleAtteinte)
        {
            std::fprintf(stderr, "corvella-carte: %s: column %d, row %d %s\n", ligne.Noms[0].c_str(), c + 1, r + 1,
                         resultat.Complete ? "cannot be reached from the start"
                                           : "was not reached before the search bound (--max-states, --max-seconds)");
            return Constats;
        }
        const std::string sortie = "# keys that bring the character into column " + std::to_string(c + 1) +
                                   ", row " + std::to_string(r + 1) + " of " + ligne.Noms[0] + "\n" +
                                   EntreesDeChemin(resultat.Chemin);
        std::fwrite(sortie.data(), 1, sortie.size(), stdout);
        return Propre;
    }
}

int main(int argc, char* argv[])
{
    try
    {
        if (argc < 2)
            return MauvaisUsage("no command");
        const std::string commande = argv[1];
        std::vector<std::string> arguments(argv + 2, argv + argc);
        if (commande == "--help" || commande == "-h" || commande == "help")
        {
            std::fputs(Usage, stdout);
            std::fputs(Aide, stdout);
            return Propre;
        }
        if (commande == "check")
            return Verifier_(arguments);
        if (commande == "render")
            return Rendre_(arguments);
        if (commande == "replay")
            return Rejouer_(arguments);
        if (commande == "path")
            return Chemin_(arguments);
        if (commande == "route")
            return CommandeRoute(arguments);
        if (commande == "lien")
            return CommandeLien(arguments);
        return MauvaisUsage("unknown command " + commande);
    }
    catch (const std::exception&)
    {
        std::fprintf(stderr, "corvella-carte: out of memory\n");
        return Erreur;
    }
}
