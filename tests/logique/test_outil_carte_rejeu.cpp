// corvella-carte replay: the input format, the events the replay reports on
// small levels (checked against the character's known movement), and the
// golden replays of the shipped level (tests/donnees/carte/rejeu).
#include "test_outil_carte_aide.h"

#include "carte/Rejeu.h"
#include "main/Globales.h"
#include "outils/Horloge.h"

#include <algorithm>
#include <climits>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace EssaisOutilCarte;

namespace
{
    // A room with a floor whose top is at y = 320: standing, the character's
    // square is at y = 256. The start is column 2.
    const char* const Plat = "[Infos]\nHauteur=6\nLargeur=12\nPosDebutX=2\nPosDebutY=5\n[Map]\n"
                             "bbbbbbbbbbbb\n"
                             "b          b\n"
                             "b          b\n"
                             "b          b\n"
                             "b          b\n"
                             "bbbbbbCbbbbb\n";

    // A shaft `profondeur` tiles deep below a ledge, with a corridor at its
    // foot holding a life 50 bonus.
    std::string Puits(int profondeur)
    {
        std::string texte = "[Infos]\nHauteur=" + std::to_string(profondeur + 4) +
                            "\nLargeur=7\nPosDebutX=2\nPosDebutY=2\n[Map]\nbbbbbbb\nb   bbb\n";
        for (int i = 0; i < profondeur; ++i)
            texte += "bbb bbb\n";
        return texte + "bbb  2b\nbbbbbbb\n";
    }

    std::string Rejouer(const std::string& carte, const std::string& entrees, int tous = 1)
    {
        OutilCarte::Entrees lues;
        std::string erreur;
        EXPECT_TRUE(OutilCarte::LireEntrees(entrees, lues, erreur)) << erreur;
        OutilCarte::OptionsRejeu options;
        options.Tous = tous;
        return OutilCarte::Rejouer(OutilCarte::Normaliser(carte), lues, options);
    }

    std::vector<std::string> Lignes(const std::string& texte)
    {
        std::vector<std::string> lignes;
        std::istringstream flux(texte);
        std::string ligne;
        while (std::getline(flux, ligne))
            lignes.push_back(ligne);
        return lignes;
    }

    // The lines holding `texte`.
    std::vector<std::string> Avec(const std::string& rejeu, const std::string& texte)
    {
        std::vector<std::string> lignes;
        for (const std::string& l : Lignes(rejeu))
            if (l.find(texte) != std::string::npos)
                lignes.push_back(l);
        return lignes;
    }

    long long Temps(const std::string& ligne)
    {
        return ligne.size() > 2 ? std::atoll(ligne.c_str() + 2) : -1;
    }

    struct Point
    {
        long long T;
        int X, Y;
    };

    // The trajectory lines: time and position.
    std::vector<Point> Trajectoire(const std::string& rejeu)
    {
        std::vector<Point> points;
        for (const std::string& l : Lignes(rejeu))
        {
            const size_t a = l.find("ms at (");
            if (a == std::string::npos || l.find(") speed (") == std::string::npos)
                continue;
            Point p{Temps(l), 0, 0};
            std::sscanf(l.c_str() + a + 7, "%d,%d", &p.X, &p.Y);
            points.push_back(p);
        }
        return points;
    }

    bool Reecrire()
    {
        const char* v = std::getenv("CORVELLA_REECRIRE_ATTENDUS");
        return v != nullptr && *v != '\0' && std::string(v) != "0";
    }
}

// ---------------------------------------------------------------------------
// The input format

TEST(OutilCarteRejeu, InputsWithCommentsAndSeveralChangesOnALine)
{
    OutilCarte::Entrees e;
    std::string erreur;
    ASSERT_TRUE(OutilCarte::LireEntrees("# a walk\n\n0 +right   # go\n  120 +up -right\r\n500 end\n", e, erreur))
        << erreur;
    ASSERT_EQ(e.Changements.size(), 3u);
    EXPECT_EQ(e.Changements[0].Temps, 0);
    EXPECT_EQ(e.Changements[0].Touche, CPerso::ToucheDroite);
    EXPECT_TRUE(e.Changements[0].Appuye);
    EXPECT_EQ(e.Changements[1].Touche, CPerso::ToucheHaut);
    EXPECT_EQ(e.Changements[2].Touche, CPerso::ToucheDroite);
    EXPECT_FALSE(e.Changements[2].Appuye);
    EXPECT_EQ(e.Changements[2].Ligne, 4);
    EXPECT_EQ(e.Fin, 500);
    EXPECT_TRUE(e.FinDonnee);

    // Without "end": one second past the last change; with nothing at all, one second.
    ASSERT_TRUE(OutilCarte::LireEntrees("250 +left\n", e, erreur));
    EXPECT_EQ(e.Fin, 1250);
    EXPECT_FALSE(e.FinDonnee);
    ASSERT_TRUE(OutilCarte::LireEntrees("", e, erreur));
    EXPECT_EQ(e.Fin, 1000);
}

TEST(OutilCarteRejeu, WrongInputsNameTheirLine)
{
    const std::pair<const char*, const char*> cas[] = {
        {"0 +right\nsoon +up\n", "line 2: 'soon' is not a time"},
        {"-5 +up\n", "line 1: '-5' is not a time"},
        {"100 +up\n50 -up\n", "line 2: time goes backwards"},
        {"0 +jump\n", "line 1: '+jump' is not a key change"},
        {"0 right\n", "line 1: 'right' is not a key change"},
        {"0\n", "line 1: a time needs a key change"},
        {"10 end\n20 +up\n", "line 2: nothing may follow 'end'"},
        {"10 end now\n", "line 1: 'end' stands alone"},
        {"3600001 +up\n", "line 1: time beyond one hour"},
        {"99999999999999999999 +up\n", "line 1: '99999999999999999999' is not a time"},
    };
    for (const auto& c : cas)
    {
        OutilCarte::Entrees e;
        std::string erreur;
        EXPECT_FALSE(OutilCarte::LireEntrees(c.first, e, erreur)) << c.first;
        EXPECT_EQ(erreur.rfind(c.second, 0), 0u) << erreur;
    }
}

// ---------------------------------------------------------------------------
// What the replay tells, checked against the character's known movement

TEST(OutilCarteRejeu, StandingStillNothingHappens)
{
    const std::string r = Rejouer(Plat, "200 end\n", 20);
    EXPECT_EQ(r, "t=0ms start at (64,256), life 1000, mana 1000, 0 bonuses on the level\n"
                 "t=0ms at (64,256) speed (0.000,0.000) standing\n"
                 "t=100ms at (64,256) speed (0.000,0.000) standing\n"
                 "t=200ms at (64,256) speed (0.000,0.000) standing\n"
                 "t=200ms end at (64,256) speed (0.000,0.000) standing, life 1000, mana 1000, 0 bonuses left\n");
}

TEST(OutilCarteRejeu, WalkingMovesOnePixelEachStepFromTheFirst)
{
    const std::string r = Rejouer(Plat, "0 +right\n100 end\n");
    const std::vector<Point> points = Trajectoire(r);
    ASSERT_EQ(points.size(), 21u);
    for (size_t i = 0; i < points.size(); ++i)
        EXPECT_EQ(points[i].X, 64 + static_cast<int>(i) + 1) << i;
    // Walking, it settles 2 px lower than standing.
    EXPECT_EQ(points.back().Y, 258);
    EXPECT_EQ(Avec(r, "press right").size(), 1u);
}

TEST(OutilCarteRejeu, AJumpFromRestRises162PixelsAndHoldsItsTop)
{
    const std::string r = Rejouer(Plat, "0 +up\n5 -up\n800 end\n");
    const std::vector<std::string> saut = Avec(r, "jump from the ground at (64,256)");
    ASSERT_EQ(saut.size(), 1u) << r;
    EXPECT_EQ(Temps(saut[0]), 0);
    const std::vector<Point> points = Trajectoire(r);
    int haut = INT_MAX;
    for (const Point& p : points)
        haut = std::min(haut, p.Y);
    EXPECT_EQ(haut, 256 - 162);
    // Step 0 is the jump's own; the top is reached at step 45 and held to 56.
    std::vector<long long> auSommet;
    for (const Point& p : points)
        if (p.Y == haut)
            auSommet.push_back(p.T);
    ASSERT_FALSE(auSommet.empty());
    EXPECT_EQ(auSommet.front(), 45 * 5);
    EXPECT_EQ(auSommet.back(), 56 * 5);
    const std::vector<std::string> atterrit = Avec(r, "land at (64,256) after a drop of 162 px");
    EXPECT_EQ(atterrit.size(), 1u) << r;
}

TEST(OutilCarteRejeu, WaterKillsAndTheCharacterComesBackTwoSecondsLater)
{
    const std::string r = Rejouer(Plat, "0 +right\n5000 end\n", 0);
    const std::vector<std::string> mort = Avec(r, "death in water");
    const std::vector<std::string> retour = Avec(r, "respawn at (64,256), life 1000");
    ASSERT_EQ(mort.size(), 1u) << r;
    ASSERT_EQ(retour.size(), 1u) << r;
    // Back at the first frame after the two seconds.
    EXPECT_EQ(Temps(retour[0]) - Temps(mort[0]), 2005);
    // Right is still held: it walks on from the start.
    EXPECT_NE(Lignes(r).back().find("walking"), std::string::npos) << r;
}

TEST(OutilCarteRejeu, ALongFallCostsLifeAndABonusGivesItBack)
{
    // Off the ledge with no key held: 48 tiles down. Then right to the bonus.
    const std::string r = Rejouer(Puits(48), "0 +right\n700 -right\n5000 +right\n6000 end\n", 0);
    const std::vector<std::string> degats = Avec(r, "damage 860 from the fall");
    ASSERT_EQ(degats.size(), 1u) << r;
    EXPECT_NE(degats[0].find("life 140"), std::string::npos);
    EXPECT_EQ(Avec(r, "after a drop of 3133 px").size(), 1u) << r;
    const std::vector<std::string> prise = Avec(r, "pick up a life 50 bonus in cell (5,50): life 640");
    EXPECT_EQ(prise.size(), 1u) << r;
    EXPECT_TRUE(Avec(r, "death").empty()) << r;
}

TEST(OutilCarteRejeu, AFallThatTakesAllTheLifeKills)
{
    const std::string r = Rejouer(Puits(58), "0 +right\n700 -right\n8000 end\n", 0);
    const std::vector<std::string> mort = Avec(r, "death from the fall");
    ASSERT_EQ(mort.size(), 1u) << r;
    EXPECT_NE(mort[0].find("the 1000 life left"), std::string::npos);
    const std::vector<std::string> retour = Avec(r, "respawn at (64,64), life 1000");
    ASSERT_EQ(retour.size(), 1u) << r;
    EXPECT_EQ(Temps(retour[0]) - Temps(mort[0]), 2005);
}

TEST(OutilCarteRejeu, GrabHangJumpOffAndLetGo)
{
    const OutilCarte::TexteCarte carte = Lire(Donnees("atteinte/marche-3.map"));
    auto rejouer = [&](const std::string& entrees) {
        OutilCarte::Entrees lues;
        std::string erreur;
        EXPECT_TRUE(OutilCarte::LireEntrees(entrees, lues, erreur)) << erreur;
        OutilCarte::OptionsRejeu options;
        options.Tous = 0;
        return OutilCarte::Rejouer(carte, lues, options);
    };
    // Against the wall, jump with right held: the ledge is grabbed.
    const std::string grimpe = rejouer("0 +right\n1120 +up\n1125 -up\n1500 +up\n1505 -up\n2500 end\n");
    const std::vector<std::string> prise = Avec(grimpe, "grab the ledge on the right, hang at (320,384)");
    ASSERT_EQ(prise.size(), 1u) << grimpe;
    EXPECT_EQ(Avec(grimpe, "jump off the ledge at (320,384)").size(), 1u) << grimpe;
    EXPECT_EQ(Avec(grimpe, "pick up a life 25 bonus").size(), 1u) << grimpe;

    const std::string lache = rejouer("0 +right\n1120 +up\n1125 -up\n1300 -right\n1500 +down\n2000 end\n");
    EXPECT_EQ(Avec(lache, "let go at (320,384)").size(), 1u) << lache;
    EXPECT_TRUE(Avec(lache, "pick up").empty());
}

TEST(OutilCarteRejeu, SameInputsSameReportAndTheGlobalsAreKept)
{
    Horloge::FixerTemps(777);
    Map = CMap();
    Map.Hauteur = 9;
    Moteur.FonduActif = false;
    Moteur.DebutFondu = 55;
    // Into the water and back: the death asks the engine for fades.
    const std::string a = Rejouer(Plat, "0 +right\n4000 end\n", 3);
    const std::string b = Rejouer(Plat, "0 +right\n4000 end\n", 3);
    EXPECT_EQ(a, b);
    EXPECT_FALSE(Avec(a, "death in water").empty()) << a;
    EXPECT_EQ(Horloge::Ticks(), 777u);
    EXPECT_EQ(Map.Hauteur, 9);
    EXPECT_TRUE(Personnages.empty());
    EXPECT_FALSE(Moteur.FonduActif);
    EXPECT_EQ(Moteur.DebutFondu, 55u);
    Map = CMap();
    Horloge::TempsReel();
}

// ---------------------------------------------------------------------------
// Golden replays of the shipped level. CORVELLA_REECRIRE_ATTENDUS=1 writes the
// expected files anew instead of comparing (see carte/README.md).

TEST(OutilCarteRejeu, GoldenReplaysOfTheShippedLevel)
{
    namespace fs = std::filesystem;
    const OutilCarte::TexteCarte niveau = Lire(NiveauLivre());
    std::vector<fs::path> entrees;
    for (const fs::directory_entry& f : fs::directory_iterator(Donnees("rejeu")))
        if (f.path().extension() == ".entrees")
            entrees.push_back(f.path());
    std::sort(entrees.begin(), entrees.end());
    ASSERT_GE(entrees.size(), 4u);
    for (const fs::path& chemin : entrees)
    {
        SCOPED_TRACE(chemin.filename().string());
        const std::string texte = Lire(chemin.string()).Contenu;
        OutilCarte::Entrees lues;
        std::string erreur;
        ASSERT_TRUE(OutilCarte::LireEntrees(texte, lues, erreur)) << erreur;
        OutilCarte::OptionsRejeu options;
        options.Tous = 10;
        const std::string obtenu = OutilCarte::Rejouer(niveau, lues, options);
        fs::path attendu = chemin;
        attendu.replace_extension(".attendu");
        if (Reecrire())
        {
            std::ofstream(attendu, std::ios::binary) << obtenu;
            std::printf("rewritten: %s\n", attendu.string().c_str());
            continue;
        }
        const std::string voulu = Lire(attendu.string()).Contenu;
        if (obtenu == voulu)
            continue;
        // The first line that differs says most.
        const std::vector<std::string> a = Lignes(obtenu);
        const std::vector<std::string> v = Lignes(voulu);
        size_t i = 0;
        while (i < a.size() && i < v.size() && a[i] == v[i])
            ++i;
        ADD_FAILURE() << "first difference at line " << i + 1 << "\n  expected: "
                      << (i < v.size() ? v[i] : "(end)") << "\n  got:      " << (i < a.size() ? a[i] : "(end)")
                      << "\n(after a deliberate change of the movement or of the level, see carte/README.md)";
    }
}

TEST(OutilCarteRejeu, TheGoldenReplaysShowWhatTheyAreFor)
{
    // Each golden replay covers the events it was written for.
    const std::pair<const char*, const char*> cas[] = {
        {"marche-droite.attendu", "pick up a life 25 bonus"},
        {"saut.attendu", "jump from the ground"},
        {"eau.attendu", "death in water"},
        {"eau.attendu", "respawn"},
        {"chute.attendu", "grab the ledge on the right"},
        {"chute.attendu", "from the fall"},
    };
    for (const auto& c : cas)
    {
        const std::string texte = Lire(Donnees(std::string("rejeu/") + c.first)).Contenu;
        EXPECT_NE(texte.find(c.second), std::string::npos) << c.first << ": " << c.second;
    }
}

TEST(OutilCarteRejeu, TheToolReplaysAndRefusesWrongInputs)
{
    if (!OutilPresent())
        GTEST_SKIP() << "./corvella-carte is not in the working folder";
    std::string sortie;
    const std::string niveau = Guillemets(NiveauLivre());
    const std::string entrees = Guillemets(Donnees("rejeu/saut.entrees"));
    ASSERT_EQ(Lancer("replay --every 0 " + niveau + " " + entrees, &sortie), 0);
    EXPECT_EQ(sortie.rfind("t=0ms start at ", 0), 0u) << sortie;
    EXPECT_EQ(sortie.find(" speed ("), sortie.rfind(" speed (")) << "events only, then the end line:\n" << sortie;
    EXPECT_EQ(Lancer("replay " + niveau + " " + Guillemets(Donnees("verification/bonus.map"))), 2);
    EXPECT_EQ(Lancer("replay " + niveau + " /nonexistent.txt"), 2);
    EXPECT_EQ(Lancer("replay --every -1 " + niveau + " " + entrees), 2);
    EXPECT_EQ(Lancer("replay " + niveau), 2);
}
