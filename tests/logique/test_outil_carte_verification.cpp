// corvella-carte check: each kind of finding on a purpose-made broken level
// (tests/donnees/carte/verification), at the right line and column; the
// shipped level clean; the output formats and the exit status of the tool.
#include "test_outil_carte_aide.h"

#include "aide/Aide.h"
#include "main/Globales.h"
#include "outils/Horloge.h"

#include <algorithm>
#include <random>

using namespace EssaisOutilCarte;
using OutilCarte::Gravite;
using OutilCarte::Rapport;

namespace
{
    const std::vector<Position> Aucune;

    Rapport VerifierCasse(const std::string& nom)
    {
        return Verifier(Donnees("verification/" + nom));
    }
}

// ---------------------------------------------------------------------------
// The map text

TEST(OutilCarteVerification, CharactersThatAreNotTilesAreReportedWhereTheyStand)
{
    const Rapport r = VerifierCasse("caracteres.map");
    EXPECT_EQ(Positions(r, "not-a-tile"), (std::vector<Position>{{12, 4}, {13, 6}, {14, 3}}));
    EXPECT_EQ(Genres(r), (std::vector<std::string>(3, "not-a-tile")));
    // A run of two is one finding; the digits get a word on bonuses.
    const std::string run = r.Constats[2].Message;
    EXPECT_NE(run.find("2 characters"), std::string::npos) << run;
    EXPECT_NE(run.find("'0', '9'"), std::string::npos) << run;
    EXPECT_NE(run.find("1 to 8"), std::string::npos) << run;
    EXPECT_NE(r.Constats[1].Message.find("'\\t'"), std::string::npos) << r.Constats[1].Message;
}

TEST(OutilCarteVerification, RowsOfTheWrongLengthAndRowsBeyondTheHeight)
{
    const Rapport r = VerifierCasse("rangees.map");
    EXPECT_EQ(Positions(r, "short-row"), (std::vector<Position>{{12, 8}}));
    EXPECT_EQ(Positions(r, "long-row"), (std::vector<Position>{{13, 9}}));
    EXPECT_EQ(Positions(r, "extra-rows"), (std::vector<Position>{{15, 1}}));
    EXPECT_NE(Message(r, "long-row").find("1 bonus"), std::string::npos) << Message(r, "long-row");
    EXPECT_NE(Message(r, "extra-rows").find("2 rows"), std::string::npos) << Message(r, "extra-rows");
    EXPECT_EQ(r.Avertissements(), 3u);
}

TEST(OutilCarteVerification, TextAfterTheHeaderAndEmptyLinesInsideTheGrid)
{
    const Rapport r = VerifierCasse("lignes.map");
    EXPECT_EQ(Positions(r, "text-after-header"), (std::vector<Position>{{8, 6}}));
    EXPECT_EQ(Positions(r, "empty-line"), (std::vector<Position>{{11, 1}}));
    // Reported just after the last row read.
    EXPECT_EQ(Positions(r, "missing-rows"), (std::vector<Position>{{15, 1}}));
    EXPECT_NE(Message(r, "missing-rows").find("6 rows, Hauteur is 7"), std::string::npos);
    EXPECT_EQ(r.Avertissements(), 3u);
}

TEST(OutilCarteVerification, SectionsTheGameSkipsReadsTwiceOrCannotClose)
{
    const Rapport r = VerifierCasse("sections.map");
    EXPECT_EQ(Positions(r, "unknown-section"), (std::vector<Position>{{9, 1}, {11, 1}}));
    EXPECT_NE(r.Constats[0].Message.find("did you mean [Infos]"), std::string::npos) << r.Constats[0].Message;
    EXPECT_EQ(Positions(r, "ignored-text"), (std::vector<Position>{{19, 1}}));
    EXPECT_EQ(Positions(r, "repeated-section"), (std::vector<Position>{{20, 1}}));
    EXPECT_NE(Message(r, "repeated-section").find("line 4"), std::string::npos);
    EXPECT_EQ(Positions(r, "repeated-key"), (std::vector<Position>{{21, 1}}));
    EXPECT_EQ(Positions(r, "unclosed-section"), (std::vector<Position>{{22, 1}}));
    EXPECT_EQ(r.Avertissements(), 6u);
}

TEST(OutilCarteVerification, MapBeforeInfosIsReadWithNoSize)
{
    const Rapport r = VerifierCasse("ordre.map");
    EXPECT_EQ(Positions(r, "section-order"), (std::vector<Position>{{3, 1}, {5, 1}}));
    EXPECT_NE(r.Constats[1].Message.find("Largeur=0 and Hauteur=0"), std::string::npos) << r.Constats[1].Message;
    EXPECT_EQ(Positions(r, "extra-rows"), (std::vector<Position>{{4, 1}}));
    EXPECT_EQ(Positions(r, "repeated-section"), (std::vector<Position>{{10, 1}}));
    // The second section fills the grid: its earth is where the start is.
    EXPECT_EQ(Positions(r, "start-solid"), (std::vector<Position>{{11, 1}}));
}

TEST(OutilCarteVerification, KeysUnknownRepeatedMissingOrBadlyWritten)
{
    const Rapport r = VerifierCasse("cles.map");
    EXPECT_EQ(Positions(r, "missing-key"), (std::vector<Position>{{4, 1}}));
    EXPECT_NE(Message(r, "missing-key").find("PosDebutY"), std::string::npos);
    EXPECT_EQ(Positions(r, "bad-value"), (std::vector<Position>{{5, 9}}));
    EXPECT_NE(Message(r, "bad-value").find("reads 5"), std::string::npos) << Message(r, "bad-value");
    EXPECT_EQ(Positions(r, "unknown-key"), (std::vector<Position>{{6, 1}, {7, 1}}));
    EXPECT_NE(Message(r, "unknown-key").find("did you mean 'Largeur'"), std::string::npos);
    EXPECT_EQ(Positions(r, "extra-equals"), (std::vector<Position>{{8, 10}}));
    EXPECT_EQ(Positions(r, "repeated-key"), (std::vector<Position>{{10, 1}}));
    EXPECT_NE(Message(r, "repeated-key").find("line 9"), std::string::npos);
    EXPECT_EQ(Positions(r, "no-equals"), (std::vector<Position>{{11, 1}}));
    // PosDebutY stays 0: the start lies outside, a finding about the file.
    EXPECT_EQ(Positions(r, "start-outside"), (std::vector<Position>{{0, 0}}));
    EXPECT_EQ(r.Avertissements(), 8u);
}

TEST(OutilCarteVerification, SizesThatCannotMakeAGrid)
{
    const Rapport r = VerifierCasse("tailles.map");
    EXPECT_EQ(Positions(r, "bad-size"), (std::vector<Position>{{4, 9}, {7, 1}}));
    EXPECT_EQ(Positions(r, "empty-level"), (std::vector<Position>{{0, 0}}));
    EXPECT_FALSE(r.RechercheLancee);
}

TEST(OutilCarteVerification, KeyWithoutEqualsAndAZeroSize)
{
    const Rapport r = VerifierTexte("[Infos]\nHauteur=0\nLargeur=4\nPosDebutX=1\nPosDebutY=1\nLargeur\n[Map]\nbbbb\n");
    EXPECT_EQ(Positions(r, "bad-size"), (std::vector<Position>{{2, 9}}));
    EXPECT_EQ(Positions(r, "no-equals"), (std::vector<Position>{{6, 1}}));
    EXPECT_NE(Message(r, "no-equals").find("'Largeur' without '='"), std::string::npos);
    EXPECT_EQ(Positions(r, "extra-rows"), (std::vector<Position>{{8, 1}}));
    EXPECT_EQ(Positions(r, "empty-level"), (std::vector<Position>{{0, 0}}));
}

TEST(OutilCarteVerification, BlanksAfterTheLastCellAreHarmless)
{
    const Rapport r = VerifierTexte("[Infos]\nHauteur=3\nLargeur=4\nPosDebutX=2\nPosDebutY=2\n[Map]\n"
                                    "bbbb   \nb  b\t\nbbbb b\n");
    EXPECT_EQ(Positions(r, "long-row"), (std::vector<Position>{{9, 5}}));
}

TEST(OutilCarteVerification, MillionsOfFindingsAreCountedNotListed)
{
    std::string texte;
    for (int i = 0; i < 25000; ++i)
        texte += "[x]";
    const Rapport r = VerifierTexte(texte);
    EXPECT_EQ(r.Constats.size(), OutilCarte::ConstatsMax);
    EXPECT_EQ(r.Avertissements(), 25000u + 2u); // and the two missing sections
    EXPECT_NE(OutilCarte::EnTexte(r, "x.map").find("25002 findings (15002 not listed)"), std::string::npos);
}

TEST(OutilCarteVerification, MissingSectionsConcernTheWholeFile)
{
    const Rapport vide = VerifierTexte("");
    EXPECT_EQ(Positions(vide, "missing-section"), (std::vector<Position>{{0, 0}, {0, 0}}));
    EXPECT_EQ(vide.Avertissements(), 2u);

    const Rapport sansCarte = VerifierTexte("notes\n[Infos]\nHauteur=2\nLargeur=2\nPosDebutX=1\nPosDebutY=1\n");
    EXPECT_EQ(Genres(sansCarte), (std::vector<std::string>{"missing-section"}));
    EXPECT_NE(sansCarte.Constats[0].Message.find("[Map]"), std::string::npos);
}

// ---------------------------------------------------------------------------
// The level as loaded

TEST(OutilCarteVerification, StartOutsideTheGridAtItsKey)
{
    const Rapport r = VerifierCasse("depart-dehors.map");
    EXPECT_EQ(Genres(r), (std::vector<std::string>{"start-outside"}));
    EXPECT_EQ(Positions(r, "start-outside"), (std::vector<Position>{{5, 11}}));
    // Reachability is not looked at, and says so in a note.
    EXPECT_FALSE(r.RechercheLancee);
    EXPECT_EQ(Positions(r, "reachability").size(), 1u);
    EXPECT_EQ(r.Notes(), 1u);
}

TEST(OutilCarteVerification, StartInsideTheGroundOrInWaterAtItsCell)
{
    const Rapport plein = VerifierCasse("depart-plein.map");
    EXPECT_EQ(Genres(plein), (std::vector<std::string>{"start-solid"}));
    EXPECT_EQ(Positions(plein, "start-solid"), (std::vector<Position>{{9, 3}}));
    EXPECT_NE(Message(plein, "start-solid").find("earth"), std::string::npos);

    const Rapport eau = VerifierCasse("depart-eau.map");
    EXPECT_EQ(Genres(eau), (std::vector<std::string>{"start-water"}));
    EXPECT_EQ(Positions(eau, "start-water"), (std::vector<Position>{{10, 3}}));
}

TEST(OutilCarteVerification, BorderCellsOpenTowardsTheOutside)
{
    const Rapport r = VerifierCasse("bords.map");
    EXPECT_EQ(Genres(r), (std::vector<std::string>(4, "open-border")));
    // A run of the top row is one finding; then the left edge, the hilltop on
    // the right edge (its open side faces out), the water at the bottom.
    EXPECT_EQ(Positions(r, "open-border"), (std::vector<Position>{{10, 3}, {12, 1}, {13, 8}, {14, 6}}));
    EXPECT_NE(r.Constats[0].Message.find("columns 3 to 5"), std::string::npos) << r.Constats[0].Message;
}

TEST(OutilCarteVerification, ASlopeWhoseOpenSideFacesInIsClosedOnTheBorder)
{
    // Code 21 ('P') on the left edge: open only above its diagonal, away from
    // the edge; code 8 ('S') on the right edge would be open towards it.
    const Rapport r = VerifierTexte("[Infos]\nHauteur=4\nLargeur=6\nPosDebutX=3\nPosDebutY=3\n[Map]\n"
                                    "bbbbbb\nb    b\nP    b\nbbbbbb\n");
    EXPECT_TRUE(Positions(r, "open-border").empty());
}

TEST(OutilCarteVerification, BonusesBuriedOrOutOfReach)
{
    const Rapport r = VerifierCasse("bonus.map");
    EXPECT_EQ(Positions(r, "bonus-buried"), (std::vector<Position>{{10, 7}}));
    EXPECT_NE(Message(r, "bonus-buried").find("walled in"), std::string::npos);
    EXPECT_EQ(Positions(r, "bonus-unreachable"), (std::vector<Position>{{15, 3}}));
    EXPECT_NE(Message(r, "bonus-unreachable").find("mana 75"), std::string::npos);
    // The closed room, on both sides of its inner wall; the buried bonus's
    // cell is not reported a second time as an area.
    EXPECT_EQ(Positions(r, "area-unreachable"), (std::vector<Position>{{15, 2}, {15, 7}}));
    EXPECT_NE(Message(r, "area-unreachable").find("4 open cells"), std::string::npos);
    EXPECT_EQ(r.Avertissements(), 4u);
    EXPECT_TRUE(r.RechercheComplete);
}

TEST(OutilCarteVerification, ABonusUnderEarthWrittenByASecondMapSection)
{
    const Rapport r = VerifierCasse("bonus-recouvert.map");
    EXPECT_EQ(Positions(r, "bonus-buried"), (std::vector<Position>{{10, 6}}));
    EXPECT_NE(Message(r, "bonus-buried").find("earth"), std::string::npos);
    EXPECT_EQ(Positions(r, "repeated-section"), (std::vector<Position>{{14, 1}}));
    // Not reported again as out of reach.
    EXPECT_TRUE(Positions(r, "bonus-unreachable").empty());
}

// ---------------------------------------------------------------------------
// Line ends

TEST(OutilCarteVerification, CrLfLineEndsAreANoteAndChangeNothingElse)
{
    const Rapport crlf = VerifierCasse("crlf.map");
    EXPECT_EQ(crlf.Avertissements(), 0u);
    EXPECT_EQ(Positions(crlf, "crlf"), (std::vector<Position>{{1, 45}}));
    EXPECT_EQ(crlf.Constats[0].Niveau, Gravite::Note);

    // The same file with LF only: the same level, the same search.
    std::string octets;
    std::string erreur;
    ASSERT_TRUE(OutilCarte::LireFichier(Donnees("verification/crlf.map"), octets, erreur));
    octets.erase(std::remove(octets.begin(), octets.end(), '\r'), octets.end());
    const Rapport lf = VerifierTexte(octets);
    EXPECT_TRUE(lf.Constats.empty());
    EXPECT_EQ(lf.Etats, crlf.Etats);
}

TEST(OutilCarteVerification, ALoneCarriageReturnIsACharacter)
{
    const Rapport r = VerifierCasse("fins-de-ligne.map");
    EXPECT_EQ(Positions(r, "lone-cr"), (std::vector<Position>{{10, 3}}));
    EXPECT_EQ(Positions(r, "not-a-tile"), (std::vector<Position>{{10, 3}}));
    // It pushes the rest of the row one cell right: the wall falls off the end.
    EXPECT_EQ(Positions(r, "long-row"), (std::vector<Position>{{10, 9}}));
    EXPECT_EQ(Positions(r, "open-border"), (std::vector<Position>{{10, 8}}));
}

// ---------------------------------------------------------------------------
// The shipped level, and any file at all

TEST(OutilCarteVerification, TheShippedLevelIsClean)
{
    const Rapport r = Verifier(NiveauLivre());
    for (const OutilCarte::Constat& c : r.Constats)
        ADD_FAILURE() << c.Ligne << ":" << c.Colonne << ": " << c.Message << " [" << c.Genre << "]";
    EXPECT_TRUE(r.RechercheLancee);
    EXPECT_TRUE(r.RechercheComplete);
    // About 234 000 states today: far below the bound, and a search that
    // suddenly needs many more would show here first.
    EXPECT_LT(r.Etats, 800000u);
    // No bonus unreachable, then: every one of them was reached.
    CMap niveau;
    niveau.AnalyseContenu(Lire(NiveauLivre()).Contenu);
    EXPECT_FALSE(niveau.ListeBonus.empty());
}

TEST(OutilCarteVerification, DamagedFilesGiveSortedFindingsWithinTheFile)
{
    // A small level, changed at a few random places, and random bytes.
    std::string base;
    std::string erreur;
    ASSERT_TRUE(OutilCarte::LireFichier(Donnees("verification/bonus.map"), base, erreur));
    std::mt19937 hasard(20240601);
    const std::string alphabet = "[]=\n\r\t bBCsSpP1580.-";
    for (int essai = 0; essai < 60; ++essai)
    {
        std::string texte = base;
        if (essai % 10 == 9)
        {
            texte.clear();
            for (int i = 0; i < 300; ++i)
                texte += static_cast<char>(hasard() % 256);
        }
        else
            for (int n = 1 + static_cast<int>(hasard() % 5); n > 0; --n)
            {
                const size_t ou = hasard() % (texte.size() + 1);
                const char c = alphabet[hasard() % alphabet.size()];
                switch (hasard() % 3)
                {
                case 0: texte.insert(ou, 1, c); break;
                case 1: if (ou < texte.size()) texte.erase(ou, 1); break;
                default: if (ou < texte.size()) texte[ou] = c; break;
                }
            }
        OutilCarte::OptionsVerification options;
        options.Atteinte.EtatsMax = 50000;
        const Rapport r = OutilCarte::Verifier(OutilCarte::Normaliser(texte), options);
        const int lignes = static_cast<int>(std::count(texte.begin(), texte.end(), '\n')) + 2;
        for (size_t i = 0; i < r.Constats.size(); ++i)
        {
            const OutilCarte::Constat& c = r.Constats[i];
            EXPECT_LE(c.Ligne, lignes) << texte;
            EXPECT_GE(c.Ligne, 0);
            EXPECT_EQ(c.Ligne == 0, c.Colonne == 0);
            EXPECT_FALSE(c.Message.empty());
            if (i > 0)
            {
                EXPECT_FALSE(std::make_pair(c.Ligne, c.Colonne) <
                             std::make_pair(r.Constats[i - 1].Ligne, r.Constats[i - 1].Colonne));
            }
        }
    }
}

TEST(OutilCarteVerification, FilesThatCannotBeReadSayWhy)
{
    DossierTemporaire dossier;
    std::string octets = "x";
    std::string erreur;
    EXPECT_FALSE(OutilCarte::LireFichier(dossier / "absent.map", octets, erreur));
    EXPECT_TRUE(octets.empty());
    EXPECT_FALSE(erreur.empty());
    EXPECT_FALSE(OutilCarte::LireFichier(dossier.Chemin(), octets, erreur));
    EXPECT_FALSE(erreur.empty());
    // A level is a few kilobytes: beyond 16 MiB the file is refused.
    EcrireFichier(dossier / "enorme.map", std::string(OutilCarte::TailleFichierMax + 1, ' '));
    EXPECT_FALSE(OutilCarte::LireFichier(dossier / "enorme.map", octets, erreur));
    EXPECT_NE(erreur.find("16 MiB"), std::string::npos) << erreur;
    EcrireFichier(dossier / "juste.map", std::string(OutilCarte::TailleFichierMax, ' '));
    EXPECT_TRUE(OutilCarte::LireFichier(dossier / "juste.map", octets, erreur));
    EXPECT_EQ(octets.size(), OutilCarte::TailleFichierMax);
}

TEST(OutilCarteVerification, TheGamesGlobalsAreLeftAsTheyWere)
{
    Horloge::FixerTemps(4242);
    Map = CMap();
    Map.Largeur = 3;
    Map.AddBonus(1, 1, 2);
    Personnages.assign(2, CPerso());
    JeuEnPause = true;

    Verifier(Donnees("verification/bonus.map"));

    EXPECT_EQ(Horloge::Ticks(), 4242u);
    EXPECT_EQ(Map.Largeur, 3);
    EXPECT_EQ(Map.ListeBonus.size(), 1u);
    EXPECT_EQ(Personnages.size(), 2u);
    EXPECT_TRUE(JeuEnPause);
    JeuEnPause = false;
    Personnages.clear();
    Map = CMap();
    Horloge::TempsReel();
}

// ---------------------------------------------------------------------------
// Output

TEST(OutilCarteVerification, TextOutputIsOneLinePerFindingThenASummary)
{
    const Rapport r = VerifierCasse("depart-eau.map");
    const std::string texte = OutilCarte::EnTexte(r, "eau.map");
    EXPECT_EQ(texte,
              "eau.map: note: reachability is not checked: the character cannot start where the level puts it "
              "[reachability]\n"
              "eau.map:10:3: warning: the start cell is water: the character dies at once, and again after every "
              "return to the start [start-water]\n"
              "eau.map: 1 finding, 1 note\n");
}

TEST(OutilCarteVerification, JsonOutputEscapesAndCounts)
{
    EXPECT_EQ(OutilCarte::Json("a\"b\\c\nd\x01"), "\"a\\\"b\\\\c\\nd\\u0001\"");
    const Rapport r = VerifierCasse("cles.map");
    const std::string json = OutilCarte::EnJson(r, "dir/cl\"es.map");
    EXPECT_NE(json.find("\"file\": \"dir/cl\\\"es.map\""), std::string::npos) << json;
    EXPECT_NE(json.find("{\"line\": null, \"column\": null, \"severity\": \"warning\", \"kind\": \"start-outside\""),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("{\"line\": 5, \"column\": 9, \"severity\": \"warning\", \"kind\": \"bad-value\""),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("\"warnings\": 8,"), std::string::npos) << json;
    EXPECT_NE(json.find("\"notes\": 1,"), std::string::npos) << json;
    EXPECT_NE(json.find("\"reachability\": {\"run\": false"), std::string::npos) << json;
    // Braces and brackets balance (no brace appears inside a message here).
    EXPECT_EQ(std::count(json.begin(), json.end(), '{'), std::count(json.begin(), json.end(), '}'));
    EXPECT_EQ(std::count(json.begin(), json.end(), '['), std::count(json.begin(), json.end(), ']'));
}

TEST(OutilCarteVerification, TheToolsExitStatus)
{
    if (!OutilPresent())
        GTEST_SKIP() << "./corvella-carte is not in the working folder";
    std::string sortie;
    EXPECT_EQ(Lancer("check " + Guillemets(Donnees("verification/crlf.map")), &sortie), 0) << sortie;
    EXPECT_NE(sortie.find(": no finding, 1 note"), std::string::npos) << sortie;
    EXPECT_EQ(Lancer("check " + Guillemets(Donnees("verification/bords.map")), &sortie), 1);
    EXPECT_NE(sortie.find("bords.map:10:3: warning: 3 cells open on the top edge"), std::string::npos) << sortie;
    EXPECT_EQ(Lancer("check --json " + Guillemets(Donnees("verification/bords.map")), &sortie), 1);
    EXPECT_EQ(sortie.rfind("{\n  \"file\": ", 0), 0u) << sortie;
    EXPECT_EQ(Lancer("check --no-reach " + Guillemets(Donnees("verification/bonus.map")), &sortie), 1);
    EXPECT_EQ(sortie.find("unreachable"), std::string::npos) << sortie;
    EXPECT_EQ(Lancer("check --max-states 10 " + Guillemets(NiveauLivre()), &sortie), 1);
    EXPECT_NE(sortie.find("[search-bound]"), std::string::npos) << sortie;
    // Cannot be read, or a wrong command line.
    EXPECT_EQ(Lancer("check /nonexistent/level.map"), 2);
    EXPECT_EQ(Lancer("check " + Guillemets(Sources())), 2);
    EXPECT_EQ(Lancer("check"), 2);
    EXPECT_EQ(Lancer("check --max-states 0 " + Guillemets(NiveauLivre())), 2);
    EXPECT_EQ(Lancer("check --bogus " + Guillemets(NiveauLivre())), 2);
    EXPECT_EQ(Lancer("examine " + Guillemets(NiveauLivre())), 2);
    EXPECT_EQ(Lancer(""), 2);
    EXPECT_EQ(Lancer("--help", &sortie), 0);
    EXPECT_NE(sortie.find("corvella-carte check"), std::string::npos);
}
