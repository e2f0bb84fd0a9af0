#include "Commande.h"

#include "Lien.h"

#include <cstdio>
#include <fstream>
#include <iterator>

namespace
{
    int Echec(const std::string& message)
    {
        std::fprintf(stderr, "corvella-carte lien: %s\n", message.c_str());
        return 2;
    }

    int Ecrire(const std::string& lien, const std::string& chemin)
    {
        std::vector<std::uint8_t> niveau;
        const Lien::Erreur erreur = Lien::Decoder(Lien::CodeDuLien(lien), niveau);
        if (erreur != Lien::Erreur::Aucune)
            return Echec(Lien::Message(erreur));
        // Written beside, then renamed: a failed write leaves OUT as it was.
        const std::string provisoire = chemin + ".part";
        {
            std::ofstream f(provisoire, std::ios::binary | std::ios::trunc);
            f.write(reinterpret_cast<const char*>(niveau.data()), static_cast<std::streamsize>(niveau.size()));
            if (!f)
            {
                std::remove(provisoire.c_str());
                return Echec("cannot write " + chemin);
            }
        }
        if (std::rename(provisoire.c_str(), chemin.c_str()) != 0)
        {
            std::remove(provisoire.c_str());
            return Echec("cannot write " + chemin);
        }
        return 0;
    }
}

int CommandeLien(const std::vector<std::string>& arguments)
{
    if (!arguments.empty() && arguments[0] == "--lire")
    {
        if (arguments.size() != 3)
            return Echec("--lire takes a link and the map file to write");
        return Ecrire(arguments[1], arguments[2]);
    }
    if (arguments.empty() || arguments.size() > 2)
        return Echec("takes a map file and, optionally, the page's address");
    std::ifstream f(arguments[0], std::ios::binary);
    if (!f)
        return Echec("cannot read " + arguments[0]);
    std::vector<std::uint8_t> niveau;
    char tampon[65536];
    while (f.read(tampon, sizeof tampon) || f.gcount() > 0)
    {
        niveau.insert(niveau.end(), tampon, tampon + f.gcount());
        if (niveau.size() > Lien::TailleNiveauMax)
            return Echec(arguments[0] + " is too large for a link (more than 1 MB)");
    }
    const std::string code = Lien::Encoder(niveau);
    if (code.size() > Lien::LongueurCodeMax)
        return Echec(arguments[0] + " makes a link too long (more than 200000 characters of code)");
    std::printf("%s\n", Lien::Composer(arguments.size() == 2 ? arguments[1] : "index.html", code).c_str());
    return 0;
}
