// Levels in links: base64url and raw DEFLATE both ways, the limits, every kind
// of bad code, and `corvella-carte lien` on the command line.
#include "lien/Lien.h"
#include "test_outil_carte_aide.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>

using namespace EssaisOutilCarte;

namespace
{
    std::vector<std::uint8_t> Octets(const std::string& texte)
    {
        return std::vector<std::uint8_t>(texte.begin(), texte.end());
    }

    std::vector<std::uint8_t> LireFichier(const std::string& chemin)
    {
        std::ifstream f(chemin, std::ios::binary);
        return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    }

    // A level-like text: the map characters, line ends, a few bytes of every value.
    std::vector<std::uint8_t> NiveauAuHasard(std::mt19937& hasard, size_t taille)
    {
        const std::string caracteres = " BCDEbmMxXoOpPsSvVtTaA12345678\n\n[]=";
        std::vector<std::uint8_t> octets(taille);
        for (auto& o : octets)
            o = hasard() % 16 == 0 ? static_cast<std::uint8_t>(hasard())
                                   : static_cast<std::uint8_t>(caracteres[hasard() % caracteres.size()]);
        return octets;
    }
}

TEST(Lien, Base64urlKnownValuesWithoutPadding)
{
    // RFC 4648's test vectors, in the URL alphabet and without '='.
    const std::pair<const char*, const char*> cas[] = {
        {"", ""}, {"f", "Zg"}, {"fo", "Zm8"}, {"foo", "Zm9v"}, {"foob", "Zm9vYg"}, {"fooba", "Zm9vYmE"},
        {"foobar", "Zm9vYmFy"}};
    for (const auto& c : cas)
    {
        EXPECT_EQ(Lien::EnBase64url(Octets(c.first)), c.second);
        std::vector<std::uint8_t> retour;
        ASSERT_TRUE(Lien::DepuisBase64url(c.second, retour)) << c.second;
        EXPECT_EQ(retour, Octets(c.first));
    }
    // The two characters that differ from plain base64.
    EXPECT_EQ(Lien::EnBase64url({0xFB, 0xFF}), "-_8");
}

TEST(Lien, TheShippedLevelGoesThereAndBack)
{
    const std::vector<std::uint8_t> niveau = LireFichier(NiveauLivre());
    ASSERT_GT(niveau.size(), 1000u);
    const std::string code = Lien::Encoder(niveau);
    // Compressed: far shorter than the file even in base64.
    EXPECT_LT(code.size(), niveau.size() / 2);
    EXPECT_EQ(code.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_"),
              std::string::npos);
    std::vector<std::uint8_t> retour;
    ASSERT_EQ(Lien::Decoder(code, retour), Lien::Erreur::Aucune);
    EXPECT_EQ(retour, niveau);
    EXPECT_EQ(Lien::CodeDuLien(Lien::Composer("https://example.org/corvella/index.html", code)), code);
}

TEST(Lien, RandomLevelsOfEverySizeGoThereAndBack)
{
    std::mt19937 hasard(20);
    for (const size_t taille : {0, 1, 2, 3, 4, 5, 63, 64, 65, 1000, 40000, 100000})
    {
        const std::vector<std::uint8_t> niveau = NiveauAuHasard(hasard, taille);
        std::vector<std::uint8_t> retour;
        ASSERT_EQ(Lien::Decoder(Lien::Encoder(niveau), retour), Lien::Erreur::Aucune) << taille;
        EXPECT_EQ(retour, niveau) << taille;
    }
}

TEST(Lien, BadCodesAreToldApart)
{
    const std::string bon = Lien::Encoder(Octets("[Infos]\nHauteur=2\nLargeur=2\n[Map]\nBB\nbb\n"));
    std::vector<std::uint8_t> niveau = {1, 2, 3};
    // Characters of plain base64, blanks, padding, a percent escape.
    for (const std::string& code : std::vector<std::string>{bon + "+", "ab/c", bon + "=", "Zm 9v", "%41bc", std::string("Zm\0v", 4)})
    {
        EXPECT_EQ(Lien::Decoder(code, niveau), Lien::Erreur::PasBase64url) << code;
        EXPECT_TRUE(niveau.empty());
    }
    // A length that no base64 text has.
    EXPECT_EQ(Lien::Decoder("Zm9vY", niveau), Lien::Erreur::PasBase64url);
    // Good base64, but not a whole DEFLATE stream: text, a stream cut short,
    // bytes after its end, nothing at all.
    EXPECT_EQ(Lien::Decoder(Lien::EnBase64url(Octets("just some text, not deflated")), niveau),
              Lien::Erreur::NeSeDecompressePas);
    EXPECT_EQ(Lien::Decoder(bon.substr(0, bon.size() - 6), niveau), Lien::Erreur::NeSeDecompressePas);
    std::vector<std::uint8_t> suivi = Lien::Compresser(Octets("[Map]\nBB\n"));
    suivi.push_back(0);
    EXPECT_EQ(Lien::Decoder(Lien::EnBase64url(suivi), niveau), Lien::Erreur::NeSeDecompressePas);
    EXPECT_EQ(Lien::Decoder("", niveau), Lien::Erreur::NeSeDecompressePas);
    // Too long before anything is decoded; too large once inflated (a few
    // hundred bytes of code that would fill 2 MB).
    EXPECT_EQ(Lien::Decoder(std::string(Lien::LongueurCodeMax + 1, 'A'), niveau), Lien::Erreur::TropLong);
    const std::string bombe = Lien::Encoder(std::vector<std::uint8_t>(2 << 20, 'b'));
    EXPECT_LT(bombe.size(), 10000u);
    EXPECT_EQ(Lien::Decoder(bombe, niveau), Lien::Erreur::TropGrand);
    EXPECT_TRUE(niveau.empty());
    // Exactly the limit still plays.
    ASSERT_EQ(Lien::Decoder(Lien::Encoder(std::vector<std::uint8_t>(Lien::TailleNiveauMax, 'b')), niveau),
              Lien::Erreur::Aucune);
    EXPECT_EQ(niveau.size(), Lien::TailleNiveauMax);
}

TEST(Lien, TheToolPrintsALinkAndWritesItsLevelBack)
{
    if (!OutilPresent())
        GTEST_SKIP() << "corvella-carte is not built beside the tests";
    std::string sortie;
    ASSERT_EQ(Lancer("lien " + Guillemets(NiveauLivre()), &sortie), 0);
    ASSERT_EQ(sortie.rfind("index.html#niveau=", 0), 0u) << sortie;
    ASSERT_EQ(sortie.back(), '\n');
    const std::string lien = sortie.substr(0, sortie.size() - 1);
    ASSERT_EQ(Lancer("lien " + Guillemets(NiveauLivre()) + " https://example.org/jeu/", &sortie), 0);
    EXPECT_EQ(sortie, "https://example.org/jeu/#niveau=" + Lien::CodeDuLien(lien) + "\n");

    const std::string copie = "lien-essai.map";
    std::remove(copie.c_str());
    ASSERT_EQ(Lancer("lien --lire " + Guillemets(lien) + " " + copie), 0);
    EXPECT_EQ(LireFichier(copie), LireFichier(NiveauLivre()));
    // A bare code reads too.
    ASSERT_EQ(Lancer("lien --lire " + Lien::CodeDuLien(lien) + " " + copie), 0);
    EXPECT_EQ(LireFichier(copie), LireFichier(NiveauLivre()));

    // A bad link: status 2, and the file already there is kept as it was.
    for (const std::string& mauvais : {std::string("index.html#niveau=@@@"), std::string("index.html#niveau=Zm9vYmFy"),
                                       "index.html#niveau=" + Lien::CodeDuLien(lien).substr(0, 40)})
    {
        EXPECT_EQ(Lancer("lien --lire " + Guillemets(mauvais) + " " + copie), 2) << mauvais;
        EXPECT_EQ(LireFichier(copie), LireFichier(NiveauLivre())) << mauvais;
    }
    std::remove(copie.c_str());
    // Wrong command lines and a missing file.
    EXPECT_EQ(Lancer("lien"), 2);
    EXPECT_EQ(Lancer("lien --lire " + Guillemets(lien)), 2);
    EXPECT_EQ(Lancer("lien /nonexistent/level.map"), 2);
}
