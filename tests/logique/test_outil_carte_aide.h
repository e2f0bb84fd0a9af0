#pragma once
// Shared by the tests of the level designer's tool (corvella-carte): where the
// test levels are, reading them, and starting the tool itself.
#include <gtest/gtest.h>

#include "carte/Texte.h"
#include "carte/Verification.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <utility>
#include <vector>

namespace EssaisOutilCarte
{

// The source tree: the test's environment names it, or the build that made
// the test does.
inline std::string Sources()
{
    if (const char* s = std::getenv("CORVELLA_SOURCES"))
        return s;
#ifdef CORVELLA_RACINE_SOURCES
    return CORVELLA_RACINE_SOURCES;
#else
    return "..";
#endif
}

inline std::string Donnees(const std::string& relatif)
{
    return Sources() + "/tests/donnees/carte/" + relatif;
}

inline std::string NiveauLivre()
{
    return Sources() + "/Data/Maps/Map1.map";
}

inline OutilCarte::TexteCarte Lire(const std::string& chemin)
{
    std::string octets;
    std::string erreur;
    EXPECT_TRUE(OutilCarte::LireFichier(chemin, octets, erreur)) << chemin << ": " << erreur;
    return OutilCarte::Normaliser(octets);
}

inline OutilCarte::Rapport Verifier(const std::string& chemin)
{
    return OutilCarte::Verifier(Lire(chemin), OutilCarte::OptionsVerification());
}

inline OutilCarte::Rapport VerifierTexte(const std::string& texte)
{
    return OutilCarte::Verifier(OutilCarte::Normaliser(texte), OutilCarte::OptionsVerification());
}

// Line and column of every finding of one kind, in report order.
using Position = std::pair<int, int>;
inline std::vector<Position> Positions(const OutilCarte::Rapport& rapport, const std::string& genre)
{
    std::vector<Position> liste;
    for (const OutilCarte::Constat& c : rapport.Constats)
        if (c.Genre == genre)
            liste.emplace_back(c.Ligne, c.Colonne);
    return liste;
}

// The kinds of the warnings, in report order (notes left out).
inline std::vector<std::string> Genres(const OutilCarte::Rapport& rapport)
{
    std::vector<std::string> liste;
    for (const OutilCarte::Constat& c : rapport.Constats)
        if (c.Niveau == OutilCarte::Gravite::Avertissement)
            liste.push_back(c.Genre);
    return liste;
}

inline std::string Message(const OutilCarte::Rapport& rapport, const std::string& genre)
{
    for (const OutilCarte::Constat& c : rapport.Constats)
        if (c.Genre == genre)
            return c.Message;
    return "";
}

// The tool built beside the tests (the tests run in the build folder).
inline bool OutilPresent()
{
    std::FILE* f = std::fopen("./corvella-carte", "rb");
    if (f == nullptr)
        return false;
    std::fclose(f);
    return true;
}

// Runs the tool with `arguments` (already quoted for the shell); returns its
// exit status and what it printed on its standard output.
inline int Lancer(const std::string& arguments, std::string* sortie = nullptr)
{
    const std::string commande = "./corvella-carte " + arguments + " 2>/dev/null";
    std::FILE* tube = popen(commande.c_str(), "r");
    if (tube == nullptr)
        return -1;
    std::string texte;
    char tampon[4096];
    size_t n;
    while ((n = std::fread(tampon, 1, sizeof tampon, tube)) > 0)
        texte.append(tampon, n);
    const int statut = pclose(tube);
    if (sortie != nullptr)
        *sortie = texte;
    return WIFEXITED(statut) ? WEXITSTATUS(statut) : -1;
}

inline std::string Guillemets(const std::string& s)
{
    std::string r = "'";
    for (const char c : s)
    {
        if (c == '\'')
            r += "'\\''";
        else
            r += c;
    }
    return r + "'";
}

} // namespace EssaisOutilCarte
