// Routes (analyse/Route.h) on purpose-made levels (tests/donnees/carte/route)
// and on the shipped level: every route is replayed through `replay`'s own
// code (OutilCarte::Rejouer) from its input text and must take its bonuses
// at the times it says, or reach its cell; and the tool's `route` command.
#include "test_outil_carte_aide.h"

#include "analyse/Contexte.h"
#include "analyse/AnalyseVivante.h"
#include "analyse/Route.h"
#include "carte/Rejeu.h"

#include <chrono>
#include <sstream>

using namespace EssaisOutilCarte;
using AnalyseCarte::MarqueRoute;
using AnalyseCarte::Route;

namespace
{
    // The replay of a route's input text, events only.
    std::string Rejeu(const OutilCarte::TexteCarte& carte, const Route& route)
    {
        const std::string entrees = route.EnEntrees();
        OutilCarte::Entrees lues;
        std::string erreur;
        EXPECT_TRUE(OutilCarte::LireEntrees(entrees, lues, erreur)) << erreur << "\n" << entrees;
        EXPECT_EQ(lues.Fin, route.Fin);
        OutilCarte::OptionsRejeu options;
        options.Tous = 0;
        return OutilCarte::Rejouer(carte, lues, options);
    }

    std::vector<std::string> Lignes(const std::string& texte, const std::string& avec)
    {
        std::vector<std::string> l;
        std::istringstream flux(texte);
        std::string ligne;
        while (std::getline(flux, ligne))
            if (ligne.find(avec) != std::string::npos)
                l.push_back(ligne);
        return l;
    }

    // The replay takes the route's bonuses at the route's times, in its
    // order, and ends with as many bonuses left as the route leaves.
    void Confirmer(const OutilCarte::TexteCarte& carte, const Route& route)
    {
        const std::string rejeu = Rejeu(carte, route);
        const std::vector<std::string> prises = Lignes(rejeu, "pick up");
        ASSERT_EQ(prises.size(), route.Prises.size()) << route.EnEntrees() << rejeu;
        for (size_t i = 0; i < prises.size(); ++i)
        {
            const AnalyseCarte::PriseRoute& p = route.Prises[i];
            EXPECT_EQ(prises[i].rfind("t=" + std::to_string(p.Temps) + "ms pick up", 0), 0u) << prises[i];
            EXPECT_NE(prises[i].find("in cell (" + std::to_string(p.Colonne - 1) + "," + std::to_string(p.Ligne - 1) +
                                     ")"),
                      std::string::npos)
                << prises[i];
        }
        const std::vector<std::string> fin = Lignes(rejeu, " end at ");
        ASSERT_EQ(fin.size(), 1u) << rejeu;
        EXPECT_NE(fin[0].find(", " + std::to_string(route.Restants.size()) + " bonuses left"), std::string::npos)
            << fin[0];
    }

    size_t Compter(const Route& route, MarqueRoute::Genre genre)
    {
        size_t n = 0;
        for (const MarqueRoute& m : route.Marques)
            n += m.Quoi == genre ? 1 : 0;
        return n;
    }

    // The first mark of a kind, or the end of the trail.
    size_t Premiere(const Route& route, MarqueRoute::Genre genre)
    {
        for (const MarqueRoute& m : route.Marques)
            if (m.Quoi == genre)
                return m.Point;
        return route.Trajet.size();
    }

    Route Nettoyer(const OutilCarte::TexteCarte& carte)
    {
        return AnalyseCarte::RouteNettoyage(carte, AnalyseCarte::OptionsRoute());
    }
}

TEST(Route, ALedgeGrabTakesTheBonusOnTopOfTheStep)
{
    const OutilCarte::TexteCarte carte = Lire(Donnees("atteinte/marche-3.map"));
    const Route route = Nettoyer(carte);
    ASSERT_TRUE(route.Trouvee) << route.Pourquoi;
    ASSERT_EQ(route.Prises.size(), 1u);
    EXPECT_LT(Premiere(route, MarqueRoute::Accroche), Premiere(route, MarqueRoute::Prise));
    EXPECT_EQ(route.Bilan().rfind("clears 1 of 1 bonuses in ", 0), 0u) << route.Bilan();
    Confirmer(carte, route);
}

TEST(Route, AJumpFromTheSlopeReachesTheWall)
{
    const OutilCarte::TexteCarte carte = Lire(Donnees("route/pente.map"));
    const Route route = Nettoyer(carte);
    ASSERT_TRUE(route.Trouvee) << route.Pourquoi;
    Confirmer(carte, route);
    // The jump from the ground starts above the floor (the character stands
    // at y = 512 on it): on the slope.
    const size_t saut = Premiere(route, MarqueRoute::Saut);
    ASSERT_LT(saut, route.Trajet.size());
    EXPECT_LT(route.Trajet[saut].Y, 500);
    EXPECT_LT(saut, Premiere(route, MarqueRoute::Prise));

    // Without the slope the bonus is out of reach.
    std::string sans = carte.Contenu;
    const size_t grille = sans.find("[Map]");
    for (size_t i = grille + 6; i < sans.size(); ++i)
        if (sans[i] == 'p')
            sans[i] = ' ';
    const Route vaine = Nettoyer(OutilCarte::Normaliser(sans));
    EXPECT_FALSE(vaine.Trouvee);
    ASSERT_EQ(vaine.Restants.size(), 1u);
    EXPECT_NE(vaine.RaisonsRestants[0].find("cannot be reached from the start"), std::string::npos);
}

TEST(Route, TheRouteDrownsToComeBackToTheStartForTheLastBonus)
{
    const OutilCarte::TexteCarte carte = Lire(Donnees("route/retour.map"));
    const Route route = Nettoyer(carte);
    ASSERT_TRUE(route.Trouvee) << route.Pourquoi;
    ASSERT_EQ(route.Prises.size(), 2u);
    // The pit first (the nearer), then the far one, after a death and the return.
    EXPECT_EQ(route.Prises[0].Colonne, 19);
    EXPECT_EQ(route.Prises[1].Colonne, 2);
    const size_t mort = Premiere(route, MarqueRoute::Mort);
    const size_t retour = Premiere(route, MarqueRoute::Retour);
    EXPECT_EQ(Compter(route, MarqueRoute::Mort), 1u);
    EXPECT_LT(route.Prises[0].Temps, route.Trajet[mort].Temps);
    EXPECT_LT(mort, retour);
    EXPECT_LT(route.Trajet[retour].Temps, route.Prises[1].Temps);
    Confirmer(carte, route);
}

TEST(Route, AWalledInBonusIsLeftWithTheChecksReason)
{
    const OutilCarte::TexteCarte carte = Lire(Donnees("route/emmure.map"));
    const Route route = Nettoyer(carte);
    EXPECT_FALSE(route.Trouvee);
    EXPECT_TRUE(route.Pourquoi.empty()) << route.Pourquoi;
    ASSERT_EQ(route.Prises.size(), 1u);
    ASSERT_EQ(route.Restants.size(), 1u);
    EXPECT_EQ(route.Restants[0].Colonne, 12);
    EXPECT_EQ(route.Restants[0].Ligne, 4);
    EXPECT_EQ(route.Restants[0].LigneTexte, 11);
    EXPECT_EQ(route.Restants[0].ColonneTexte, 12);
    EXPECT_NE(route.RaisonsRestants[0].find("walled in"), std::string::npos) << route.RaisonsRestants[0];
    EXPECT_EQ(route.Bilan().rfind("clears 1 of 2 bonuses in ", 0), 0u) << route.Bilan();
    Confirmer(carte, route);
}

TEST(Route, TheShippedLevelIsClearedAndTheReplayConfirmsIt)
{
    const OutilCarte::TexteCarte carte = Lire(NiveauLivre());
    const Route route = Nettoyer(carte);
    ASSERT_TRUE(route.Trouvee) << route.Pourquoi;
    EXPECT_FALSE(route.Partielle);
    EXPECT_EQ(route.Prises.size(), 10u);
    EXPECT_EQ(route.Fin, route.Prises.back().Temps);
    const std::string rejeu = Rejeu(carte, route);
    EXPECT_NE(rejeu.find(", 0 bonuses left\n"), std::string::npos) << rejeu;
    Confirmer(carte, route);
    // The input text's last line is the summary.
    const std::string entrees = route.EnEntrees();
    const std::string bilan = "# clears 10 of 10 bonuses in ";
    EXPECT_EQ(entrees.rfind(bilan), entrees.size() - entrees.substr(entrees.rfind('\n', entrees.size() - 2) + 1).size())
        << entrees;
}

TEST(Route, ToACellFromTheStartAndFromAGameInProgress)
{
    const OutilCarte::TexteCarte carte = Lire(NiveauLivre());
    const AnalyseCarte::OptionsRoute options;
    const Route loin = AnalyseCarte::RouteVersCase(carte, 63, 22, options);
    ASSERT_TRUE(loin.Trouvee) << loin.Pourquoi;
    ASSERT_FALSE(loin.Trajet.empty());
    EXPECT_EQ(loin.Trajet.back().X / 64, 63);
    EXPECT_EQ(loin.Trajet.back().Y / 64, 22);
    EXPECT_EQ(loin.Bilan().rfind("reaches column 64, row 23 in ", 0), 0u) << loin.Bilan();
    const std::string rejeu = Rejeu(carte, loin);
    const std::vector<std::string> fin = Lignes(rejeu, " end at ");
    ASSERT_EQ(fin.size(), 1u);
    int x = 0, y = 0;
    ASSERT_EQ(std::sscanf(fin[0].c_str() + fin[0].find(" at (") + 5, "%d,%d", &x, &y), 2) << fin[0];
    EXPECT_EQ(x / 64, 63);
    EXPECT_EQ(y / 64, 22);

    // Half-way along that route, on to a cell further right: the new route
    // starts where the game stands.
    AnalyseCarte::PartieDepart depart;
    {
        AnalyseCarte::ContexteJeu contexte;
        AnalyseCarte::ContexteJeu::ChargerNiveau(carte.Contenu);
        AnalyseCarte::PartieRejouee partie;
        const size_t moitie = loin.Trajet.size() / 2;
        for (size_t i = 0; i < moitie; ++i)
            partie.Trame(loin.Trajet[i].Touches);
        depart.Perso = partie.Perso();
        depart.Horloge = partie.Horloge();
        depart.Bonus = Map.ListeBonus;
    }
    const Route suite = AnalyseCarte::RouteVersCase(carte, 80, 16, options, &depart);
    ASSERT_TRUE(suite.Trouvee) << suite.Pourquoi;
    ASSERT_FALSE(suite.Trajet.empty());
    EXPECT_LE(std::abs(suite.Trajet.front().X - depart.Perso.PosX), 3);
    EXPECT_LE(std::abs(suite.Trajet.front().Y - depart.Perso.PosY), 6);
    EXPECT_EQ(suite.Trajet.back().X / 64, 80);
    EXPECT_EQ(suite.Trajet.back().Y / 64, 16);
}

TEST(Route, FromTheBottomOfThePitTheWayGoesThroughTheStart)
{
    const OutilCarte::TexteCarte carte = Lire(Donnees("route/retour.map"));
    const Route route = Nettoyer(carte);
    ASSERT_GE(route.Prises.size(), 1u);
    AnalyseCarte::PartieDepart depart;
    {
        AnalyseCarte::ContexteJeu contexte;
        AnalyseCarte::ContexteJeu::ChargerNiveau(carte.Contenu);
        AnalyseCarte::PartieRejouee partie;
        for (const AnalyseCarte::PointRoute& p : route.Trajet)
            if (p.Temps <= route.Prises[0].Temps)
                partie.Trame(p.Touches);
        depart.Perso = partie.Perso();
        depart.Horloge = partie.Horloge();
        depart.Bonus = Map.ListeBonus;
    }
    const Route sortie = AnalyseCarte::RouteVersCase(carte, 1, 5, AnalyseCarte::OptionsRoute(), &depart);
    ASSERT_TRUE(sortie.Trouvee) << sortie.Pourquoi;
    EXPECT_EQ(Compter(sortie, MarqueRoute::Mort), 1u);
    EXPECT_EQ(Compter(sortie, MarqueRoute::Retour), 1u);
}

TEST(Route, ACellOutOfReachSaysWhyAsTheCheckDoes)
{
    const AnalyseCarte::OptionsRoute options;
    const OutilCarte::TexteCarte marche = Lire(Donnees("atteinte/marche-5.map"));
    Route r = AnalyseCarte::RouteVersCase(marche, 7, 3, options);
    EXPECT_FALSE(r.Trouvee);
    EXPECT_TRUE(r.Trajet.empty());
    EXPECT_NE(r.Pourquoi.find("bonus (column 8, row 4) cannot be reached from the start"), std::string::npos)
        << r.Pourquoi;
    r = AnalyseCarte::RouteVersCase(marche, 0, 0, options);
    EXPECT_NE(r.Pourquoi.find("column 1, row 1 is solid"), std::string::npos) << r.Pourquoi;
    r = AnalyseCarte::RouteVersCase(marche, 70, 2, options);
    EXPECT_NE(r.Pourquoi.find("lies outside the grid"), std::string::npos) << r.Pourquoi;
    const OutilCarte::TexteCarte emmure = Lire(Donnees("route/emmure.map"));
    r = AnalyseCarte::RouteVersCase(emmure, 11, 3, options);
    EXPECT_NE(r.Pourquoi.find("walled in"), std::string::npos) << r.Pourquoi;
}

TEST(Route, BadLevelsGiveAClearAnswerWithinTheBounds)
{
    // No bonus at all: nothing to take, done at once.
    const std::string vide = "[Infos]\nHauteur=4\nLargeur=6\nPosDebutX=2\nPosDebutY=3\n[Map]\nbbbbbb\nb    b\nb    b\nbbbbbb\n";
    Route r = Nettoyer(OutilCarte::Normaliser(vide));
    EXPECT_TRUE(r.Trouvee);
    EXPECT_EQ(r.Bilan(), "clears 0 of 0 bonuses in 0.0 s");
    EXPECT_EQ(r.EnEntrees(), "0 end\n# clears 0 of 0 bonuses in 0.0 s\n");

    // A start in water: the character dies again and again; nothing is taken.
    const std::string eau = "[Infos]\nHauteur=4\nLargeur=6\nPosDebutX=2\nPosDebutY=3\n[Map]\nbbbbbb\nb  1 b\nbC   b\nbbbbbb\n";
    r = Nettoyer(OutilCarte::Normaliser(eau));
    EXPECT_FALSE(r.Trouvee);
    ASSERT_EQ(r.Restants.size(), 1u);
    EXPECT_NE(r.RaisonsRestants[0].find("water"), std::string::npos) << r.RaisonsRestants[0];
    EXPECT_TRUE(r.Prises.empty());

    // A 1000 x 1000 level under a bound of two seconds: an answer, said partial.
    std::string grand = "[Infos]\nHauteur=1000\nLargeur=1000\nPosDebutX=2\nPosDebutY=999\n[Map]\n";
    for (int l = 0; l < 1000; ++l)
    {
        std::string rangee(1000, ' ');
        for (int c = 0; c < 1000; ++c)
            if (l == 0 || l == 999 || c == 0 || c == 999 || (l % 5 == 4 && (c / 7 + l / 5) % 4 != 0))
                rangee[static_cast<size_t>(c)] = 'b';
            else if (l % 5 == 3 && c % 97 == 0)
                rangee[static_cast<size_t>(c)] = '2';
        grand += rangee + "\n";
    }
    AnalyseCarte::OptionsRoute court;
    court.SecondesMax = 2;
    const auto debut = std::chrono::steady_clock::now();
    r = AnalyseCarte::RouteNettoyage(OutilCarte::Normaliser(grand), court);
    const double secondes = std::chrono::duration<double>(std::chrono::steady_clock::now() - debut).count();
    EXPECT_TRUE(r.Partielle);
    EXPECT_FALSE(r.Trouvee);
    EXPECT_LT(secondes, 30.0);
    EXPECT_NE(r.EnEntrees().find("# partial: "), std::string::npos);
}

TEST(Route, TheToolPrintsTheRouteAndSaysWhatIsLeft)
{
    if (!OutilPresent())
        GTEST_SKIP() << "./corvella-carte is not in the working folder";
    std::string sortie;
    ASSERT_EQ(Lancer("route " + Guillemets(Donnees("atteinte/marche-3.map")), &sortie), 0);
    EXPECT_NE(sortie.find("# clears 1 of 1 bonuses in "), std::string::npos) << sortie;
    EXPECT_NE(sortie.find(" s: takes the life 25 bonus in column 8, row 6\n"), std::string::npos) << sortie;
    OutilCarte::Entrees lues;
    std::string erreur;
    EXPECT_TRUE(OutilCarte::LireEntrees(sortie, lues, erreur)) << erreur;
    EXPECT_TRUE(lues.FinDonnee);

    EXPECT_EQ(Lancer("route " + Guillemets(Donnees("route/emmure.map")), &sortie), 1);
    EXPECT_NE(sortie.find("# clears 1 of 2 bonuses in "), std::string::npos) << sortie;
    // The bonus left, on stderr, with its place in the file.
    const std::string commande = "./corvella-carte route " + Guillemets(Donnees("route/emmure.map")) + " 2>&1 >/dev/null";
    std::FILE* tube = popen(commande.c_str(), "r");
    ASSERT_NE(tube, nullptr);
    char tampon[1024] = {};
    const size_t n = std::fread(tampon, 1, sizeof tampon - 1, tube);
    pclose(tube);
    EXPECT_NE(std::string(tampon, n).find("emmure.map:11:12: not taken: mana 25 bonus walled in"), std::string::npos)
        << tampon;

    EXPECT_EQ(Lancer("route /nonexistent/level.map"), 2);
    EXPECT_EQ(Lancer("route --max-states 0 " + Guillemets(Donnees("route/emmure.map"))), 2);
    EXPECT_EQ(Lancer("route"), 2);
}

TEST(Route, TheLiveAnalysisSendsTheRouteAskedFor)
{
    const std::string texte = Lire(Donnees("atteinte/marche-3.map")).Contenu;
    AnalyseCarte::OptionsVerification options;
    options.Route = AnalyseCarte::OptionsVerification::RouteVoulue::Nettoyage;
    AnalyseCarte::AnalyseVivante analyse(options);
    ASSERT_TRUE(analyse.Demander(texte));
    ASSERT_EQ(analyse.Attendre(60000), AnalyseCarte::AnalyseVivante::Etat::Prete) << analyse.Erreur();
    const std::shared_ptr<const Route> envoyee = analyse.Resultat().RouteCalculee;
    ASSERT_NE(envoyee, nullptr);
    EXPECT_TRUE(envoyee->Trouvee);
    EXPECT_EQ(envoyee->Bilan(), Nettoyer(OutilCarte::Normaliser(texte)).Bilan());
    EXPECT_TRUE(envoyee->Trajet.empty());
    // The trail, from the keys sent.
    const Route trace = AnalyseCarte::RejouerRoute(OutilCarte::Normaliser(texte), envoyee->Changements, envoyee->Fin);
    ASSERT_EQ(trace.Prises.size(), 1u);
    EXPECT_EQ(trace.Prises[0].Temps, envoyee->Prises[0].Temps);
    EXPECT_EQ(trace.Trajet.size(), static_cast<size_t>(envoyee->Fin / 5 + 1));

    // Then a cell out of reach: the reason comes back.
    options.Route = AnalyseCarte::OptionsVerification::RouteVoulue::VersCase;
    options.RouteColonne = 0;
    options.RouteLigne = 0;
    ASSERT_TRUE(analyse.Demander(texte, options));
    ASSERT_EQ(analyse.Attendre(60000), AnalyseCarte::AnalyseVivante::Etat::Prete) << analyse.Erreur();
    ASSERT_NE(analyse.Resultat().RouteCalculee, nullptr);
    EXPECT_FALSE(analyse.Resultat().RouteCalculee->Trouvee);
    EXPECT_NE(analyse.Resultat().RouteCalculee->Pourquoi.find("is solid"), std::string::npos);
}
