// The level editor's model without a window: the tools and their undo, the
// resizes, and the file written back as the game's loader reads it.
#include <gtest/gtest.h>

#include "aide/Aide.h"
#include "carte/Texte.h"
#include "editeur/Document.h"
#include "editeur/Fichier.h"
#include "editeur/Vue.h"
#include "map/Map.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <sys/mount.h>

using namespace Edition;

namespace
{
    // The game's loader reads `octets` as exactly the level `n`: size, start,
    // every cell's code and the bonuses in the order it meets them.
    ::testing::AssertionResult ReluCommeMontre(const Niveau& n, const std::string& octets)
    {
        CMap carte;
        carte.AnalyseContenu(OutilCarte::Normaliser(octets).Contenu);
        if (carte.Largeur != n.Largeur || carte.Hauteur != n.Hauteur)
            return ::testing::AssertionFailure() << "size " << carte.Largeur << "x" << carte.Hauteur;
        if (carte.PosDebutX != n.DebutX || carte.PosDebutY != n.DebutY)
            return ::testing::AssertionFailure() << "start " << carte.PosDebutX << "," << carte.PosDebutY;
        if (carte.Cases.size() != static_cast<size_t>(n.Largeur))
            return ::testing::AssertionFailure() << "columns " << carte.Cases.size();
        std::vector<int> bonus;
        for (int l = 0; l < n.Hauteur; ++l)
            for (int c = 0; c < n.Largeur; ++c)
            {
                if (carte.Cases[c].size() != static_cast<size_t>(n.Hauteur))
                    return ::testing::AssertionFailure() << "rows of column " << c;
                if (carte.Cases[c][l] != CodeDeCase(n.Case(c, l)))
                    return ::testing::AssertionFailure() << "cell " << c << "," << l << ": code "
                                                         << int(carte.Cases[c][l]) << " for '" << n.Case(c, l) << "'";
                if (BonusDeCase(n.Case(c, l)) != 0)
                    bonus.push_back((c * 1000 + l) * 10 + BonusDeCase(n.Case(c, l)));
            }
        std::vector<int> lus;
        for (const CMap::CBonus& b : carte.ListeBonus)
            lus.push_back((b.CaseX * 1000 + b.CaseY) * 10 + b.Type);
        if (lus != bonus)
            return ::testing::AssertionFailure() << lus.size() << " bonuses read, " << bonus.size() << " shown";
        return ::testing::AssertionSuccess();
    }

    // A level of random contents, the unset cell included.
    Niveau NiveauAleatoire(std::mt19937& hasard)
    {
        std::vector<char> contenus = {CaseNonDefinie};
        for (const EntreePalette& e : Palette())
            if (!e.Depart && e.Utilisable)
                contenus.push_back(e.Caractere);
        Niveau n;
        n.Largeur = 1 + static_cast<int>(hasard() % 40);
        n.Hauteur = 1 + static_cast<int>(hasard() % 30);
        n.DebutX = 1 + static_cast<int>(hasard() % static_cast<unsigned>(n.Largeur));
        n.DebutY = 1 + static_cast<int>(hasard() % static_cast<unsigned>(n.Hauteur));
        for (int i = 0; i < n.Largeur * n.Hauteur; ++i)
            n.Cases.push_back(contenus[hasard() % contenus.size()]);
        return n;
    }

    char Contenu(std::mt19937& hasard)
    {
        const auto& p = Palette();
        for (;;)
        {
            const EntreePalette& e = p[hasard() % p.size()];
            if (!e.Depart && e.Utilisable)
                return e.Caractere;
        }
    }
}

TEST(EditeurModele, PaletteHoldsEmptyTheTilesTheBonusesAndTheStart)
{
    int tuiles = 0, bonus = 0, depart = 0, inutilisables = 0;
    for (const EntreePalette& e : Palette())
    {
        if (e.Depart)
            ++depart;
        else if (BonusDeCase(e.Caractere))
            ++bonus;
        else if (CodeDeCase(e.Caractere) > 1 || !e.Utilisable)
            ++tuiles;
        if (!e.Utilisable)
            ++inutilisables;
        // Each tile's character is the one that makes its code.
        if (e.Utilisable && !e.Depart && BonusDeCase(e.Caractere) == 0)
        {
            EXPECT_EQ(CaractereDeCode(CodeDeCase(e.Caractere)), e.Caractere);
        }
    }
    EXPECT_EQ(tuiles, 32);
    EXPECT_EQ(bonus, 8);
    EXPECT_EQ(depart, 1);
    EXPECT_EQ(inutilisables, 1); // the wall: no character of the file makes it
    EXPECT_EQ(Palette().front().Caractere, ' ');
}

TEST(EditeurModele, AStrokeIsOneStepAndUndoRedoWalkTheHistory)
{
    Document d;
    const Niveau avant = d.Courant();
    d.DebutTrait();
    EXPECT_TRUE(d.PeindreCase(3, 3, 'C'));
    EXPECT_TRUE(d.PeindreCase(4, 3, 'C'));
    EXPECT_FALSE(d.PeindreCase(4, 3, 'C')); // already so
    EXPECT_TRUE(d.PeindreCase(3, 3, 'b'));  // painted twice in the stroke
    EXPECT_FALSE(d.PeindreCase(-1, 3, 'C'));
    d.FinTrait();
    EXPECT_EQ(d.Courant().Case(3, 3), 'b');
    EXPECT_EQ(d.Courant().Case(4, 3), 'C');
    EXPECT_TRUE(d.Modifie());
    const Niveau apres = d.Courant();

    ASSERT_TRUE(d.Annuler());
    EXPECT_EQ(d.Courant(), avant);
    EXPECT_FALSE(d.Modifie());
    EXPECT_FALSE(d.Annuler());
    ASSERT_TRUE(d.Refaire());
    EXPECT_EQ(d.Courant(), apres);
    EXPECT_FALSE(d.Refaire());

    // A new edit after an undo drops what could be redone.
    d.Annuler();
    d.PeindreCase(5, 5, '3');
    EXPECT_FALSE(d.PeutRefaire());
    EXPECT_EQ(d.Courant().Case(5, 5), '3');
    EXPECT_EQ(d.Courant().Case(3, 3), avant.Case(3, 3));
}

TEST(EditeurModele, RectangleFillReplaceEraseAndStartEachUndoAsOneStep)
{
    Document d(NouveauNiveau(20, 10));
    const Niveau n0 = d.Courant();

    // Rectangle, corners in any order, cut to the grid.
    EXPECT_TRUE(d.Rectangle(5, 6, 2, 2, 'C'));
    for (int l = 0; l < 10; ++l)
        for (int c = 0; c < 20; ++c)
            EXPECT_EQ(d.Courant().Case(c, l), (c >= 2 && c <= 5 && l >= 2 && l <= 6) ? 'C' : n0.Case(c, l));
    EXPECT_TRUE(d.Rectangle(18, 8, 40, 40, 'a'));
    EXPECT_EQ(d.Courant().Case(19, 9), 'a');
    d.Annuler();
    EXPECT_EQ(d.Courant().Case(19, 9), n0.Case(19, 9));

    // Flood fill: the empty inside of the box, not past the water nor the walls.
    const Niveau n1 = d.Courant();
    EXPECT_TRUE(d.Remplir(10, 4, '5'));
    int remplies = 0;
    for (int l = 0; l < 10; ++l)
        for (int c = 0; c < 20; ++c)
        {
            const bool vide = n1.Case(c, l) == ' ';
            EXPECT_EQ(d.Courant().Case(c, l), vide ? '5' : n1.Case(c, l)) << c << "," << l;
            remplies += vide;
        }
    EXPECT_GT(remplies, 50);
    EXPECT_FALSE(d.Remplir(10, 4, '5'));
    d.Annuler();
    EXPECT_EQ(d.Courant(), n1);

    // A fill walled in stays inside.
    EXPECT_TRUE(d.Rectangle(3, 3, 4, 5, 'b'));
    EXPECT_TRUE(d.Remplir(3, 3, 'B'));
    EXPECT_EQ(d.Courant().Case(4, 5), 'B');
    EXPECT_EQ(d.Courant().Case(2, 2), 'C');
    d.Annuler();
    EXPECT_EQ(d.Courant().Case(4, 5), 'b');

    // Replace all: every cell of that kind, one step.
    EXPECT_TRUE(d.RemplacerTout('C', 'W'));
    for (char k : d.Courant().Cases)
        EXPECT_NE(k, 'C');
    EXPECT_FALSE(d.RemplacerTout('C', 'x'));
    d.Annuler();
    EXPECT_EQ(d.Courant().Case(2, 2), 'C');

    // Erase is painting empty.
    d.PeindreCase(2, 2, ' ');
    EXPECT_EQ(d.Courant().Case(2, 2), ' ');
    d.Annuler();

    // The start moves inside the grid only.
    EXPECT_TRUE(d.DeplacerDepart(7, 3));
    EXPECT_EQ(d.Courant().DebutX, 8);
    EXPECT_EQ(d.Courant().DebutY, 4);
    EXPECT_FALSE(d.DeplacerDepart(20, 3));
    EXPECT_FALSE(d.DeplacerDepart(7, 3));
    d.Annuler();
    EXPECT_EQ(d.Courant().DebutX, n0.DebutX);
    EXPECT_EQ(d.Courant().DebutY, n0.DebutY);

    while (d.Annuler())
    {
    }
    EXPECT_EQ(d.Courant(), n0);
    EXPECT_FALSE(d.Modifie());
}

TEST(EditeurModele, ResizesAtEveryEdgeCarryTheStartAndTheBonuses)
{
    Document d(NouveauNiveau(10, 8));
    d.PeindreCase(4, 3, '7');
    d.DeplacerDepart(5, 4);
    const Niveau n0 = d.Courant();

    ASSERT_TRUE(d.Redimensionner(Bord::Gauche, 3));
    EXPECT_EQ(d.Courant().Largeur, 13);
    EXPECT_EQ(d.Courant().Case(7, 3), '7');
    EXPECT_EQ(d.Courant().Case(0, 3), ' ');
    EXPECT_EQ(d.Courant().DebutX, n0.DebutX + 3);
    ASSERT_TRUE(d.Redimensionner(Bord::Haut, 2));
    EXPECT_EQ(d.Courant().Hauteur, 10);
    EXPECT_EQ(d.Courant().Case(7, 5), '7');
    EXPECT_EQ(d.Courant().DebutY, n0.DebutY + 2);
    ASSERT_TRUE(d.Redimensionner(Bord::Droite, -4));
    EXPECT_EQ(d.Courant().Largeur, 9);
    EXPECT_EQ(d.Courant().Case(7, 5), '7');
    ASSERT_TRUE(d.Redimensionner(Bord::Bas, 1));
    EXPECT_EQ(d.Courant().Hauteur, 11);
    EXPECT_EQ(d.Courant().Case(0, 10), ' ');
    EXPECT_TRUE(ReluCommeMontre(d.Courant(), EcrireCarte(d.Courant(), {})));

    // Removing the start's cell puts it on the nearest cell left.
    ASSERT_TRUE(d.Redimensionner(Bord::Gauche, -8));
    EXPECT_EQ(d.Courant().Largeur, 1);
    EXPECT_EQ(d.Courant().DebutX, 1);
    std::string raison;
    EXPECT_FALSE(d.Redimensionner(Bord::Droite, -1, &raison));
    EXPECT_FALSE(raison.empty());
    EXPECT_FALSE(d.Redimensionner(Bord::Bas, CMap::CotesMax, &raison));
    EXPECT_EQ(d.Courant().Hauteur, 11);

    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(d.Annuler());
    EXPECT_EQ(d.Courant(), n0);
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(d.Refaire());
    EXPECT_EQ(d.Courant().Largeur, 1);
}

TEST(EditeurModele, AnyEditsAndUndosLeaveALevelTheLoaderReadsBackIdentically)
{
    std::mt19937 hasard(1234);
    for (int essai = 0; essai < 30; ++essai)
    {
        Document d(NiveauAleatoire(hasard));
        const Niveau depart = d.Courant();
        std::vector<Niveau> etats = {depart}; // after each step, to check undo
        for (int pas = 0; pas < 40; ++pas)
        {
            const Niveau& n = d.Courant();
            const int c = static_cast<int>(hasard() % static_cast<unsigned>(n.Largeur + 2)) - 1;
            const int l = static_cast<int>(hasard() % static_cast<unsigned>(n.Hauteur + 2)) - 1;
            switch (hasard() % 9)
            {
            case 0:
                d.DebutTrait();
                for (int i = 0; i < 5; ++i)
                    d.PeindreCase(c + i, l, Contenu(hasard));
                d.FinTrait();
                break;
            case 1:
                d.Rectangle(c, l, c + static_cast<int>(hasard() % 5), l + static_cast<int>(hasard() % 5), Contenu(hasard));
                break;
            case 2:
                d.Remplir(c, l, Contenu(hasard));
                break;
            case 3:
                d.RemplacerTout(n.Case(c, l), Contenu(hasard));
                break;
            case 4:
                d.DeplacerDepart(c, l);
                break;
            case 5:
                d.Redimensionner(static_cast<Bord>(hasard() % 4), static_cast<int>(hasard() % 7) - 3);
                break;
            case 6:
                d.Annuler();
                break;
            case 7:
                d.Refaire();
                break;
            default:
                d.PeindreCase(c, l, CaseNonDefinie);
                break;
            }
            ASSERT_TRUE(ReluCommeMontre(d.Courant(), EcrireCarte(d.Courant(), {"", (pas & 1) != 0})))
                << "try " << essai << " step " << pas;
        }
        while (d.Annuler())
        {
        }
        EXPECT_EQ(d.Courant(), depart);
    }
}

TEST(EditeurFichier, TheShippedLevelIsWrittenBackByteForByte)
{
    const std::string chemin = std::string(CORVELLA_RACINE_SOURCES) + "/Data/Maps/Map1.map";
    const std::string octets = LireTexte(chemin);
    ASSERT_FALSE(octets.empty());
    const Ouverture o = OuvrirCarte(chemin);
    ASSERT_TRUE(o.Reussi) << o.Erreur;
    EXPECT_FALSE(o.Nouveau);
    EXPECT_TRUE(o.Constats.empty());
    EXPECT_TRUE(o.Changements.empty());
    EXPECT_EQ(o.Carte.Largeur, 92);
    EXPECT_EQ(EcrireCarte(o.Carte, o.Format), octets);
    EXPECT_TRUE(ReluCommeMontre(o.Carte, octets));
}

TEST(EditeurFichier, RandomLevelsCrLfAndATitleLineRoundTrip)
{
    std::mt19937 hasard(99);
    for (int essai = 0; essai < 50; ++essai)
    {
        const Niveau n = NiveauAleatoire(hasard);
        FormatFichier f;
        f.CrLf = essai % 2 == 1;
        if (essai % 3 == 0)
            f.Entete = f.CrLf ? "My level\r\nby me\r\n" : "My level\n";
        const std::string texte = EcrireCarte(n, f);
        ASSERT_TRUE(ReluCommeMontre(n, texte));
        const Ouverture o = AnalyserCarte(texte, "x.map");
        EXPECT_EQ(o.Carte, n);
        EXPECT_EQ(o.Format.CrLf, f.CrLf);
        EXPECT_EQ(o.Format.Entete, f.Entete);
        EXPECT_EQ(EcrireCarte(o.Carte, o.Format), texte);
    }
}

TEST(EditeurFichier, AFileTheLoaderReadsInPartOpensWithFindingsAndSavesWhatIsShown)
{
    // A row with a character that is no tile, a short row, a long row with a
    // bonus past the width, an empty line and an unknown section.
    const std::string texte = std::string("title\n[Infos]\nHauteur=4\nLargeur=5\nPosDebutX=2\nPosDebutY=2\n"
                                    "[Map]\nbbbbb\nm?  M\n\nm 3\nbbbbbb7\n[Notes]\nhello\n");
    const Ouverture o = AnalyserCarte(texte, "abime.map");
    ASSERT_TRUE(o.Reussi);
    bool pasTuile = false, courte = false, longue = false;
    for (const std::string& c : o.Constats)
    {
        pasTuile |= c.find("abime.map:9:2:") == 0 && c.find("[not-a-tile]") != std::string::npos;
        courte |= c.find("abime.map:11:") == 0 && c.find("[short-row]") != std::string::npos;
        longue |= c.find("abime.map:12:") == 0 && c.find("[long-row]") != std::string::npos;
    }
    EXPECT_TRUE(pasTuile && courte && longue) << ::testing::PrintToString(o.Constats);
    EXPECT_FALSE(o.Changements.empty());
    EXPECT_EQ(o.Carte.Case(1, 1), CaseNonDefinie);
    EXPECT_EQ(o.Carte.Case(3, 2), CaseNonDefinie);
    EXPECT_EQ(o.Carte.Case(2, 2), '3');
    EXPECT_EQ(o.Format.Entete, "title\n");

    // The game reads the saved text as the level it read from the original.
    const std::string sauve = EcrireCarte(o.Carte, o.Format);
    EXPECT_TRUE(ReluCommeMontre(o.Carte, sauve));
    EXPECT_TRUE(ReluCommeMontre(o.Carte, texte));
    EXPECT_EQ(sauve.find("title\n[Infos]"), 0u);
}

TEST(EditeurFichier, MissingFolderAndOversizedFilesAreToldApart)
{
    DossierTemporaire dossier;
    const Ouverture nouveau = OuvrirCarte(dossier / "new.map");
    EXPECT_TRUE(nouveau.Reussi);
    EXPECT_TRUE(nouveau.Nouveau);
    EXPECT_EQ(nouveau.Carte.Largeur, 40);
    EXPECT_EQ(nouveau.Carte.Hauteur, 15);
    EXPECT_TRUE(ReluCommeMontre(nouveau.Carte, EcrireCarte(nouveau.Carte, {})));
    EXPECT_EQ(CodeDeCase(nouveau.Carte.Case(nouveau.Carte.DebutX - 1, nouveau.Carte.DebutY - 1)), 1);

    const Ouverture repertoire = OuvrirCarte(dossier.Chemin());
    EXPECT_FALSE(repertoire.Reussi);
    EXPECT_NE(repertoire.Erreur.find("folder"), std::string::npos);

    EcrireFichier(dossier / "big.map", std::string(OutilCarte::TailleFichierMax + 1, 'b'));
    const Ouverture gros = OuvrirCarte(dossier / "big.map");
    EXPECT_FALSE(gros.Reussi);
    EXPECT_FALSE(gros.Erreur.empty());
}

namespace
{
    size_t ecritAvantPanne_ = 0;
    ssize_t EcriturePleine(int fd, const void* donnees, size_t taille)
    {
        // Writes a little, then the disk is full.
        if (ecritAvantPanne_ == 0)
        {
            errno = ENOSPC;
            return -1;
        }
        const size_t n = taille < ecritAvantPanne_ ? taille : ecritAvantPanne_;
        ecritAvantPanne_ -= n;
        return ::write(fd, donnees, n);
    }

    std::vector<std::string> Fichiers(const std::string& dossier)
    {
        std::vector<std::string> noms;
        for (const auto& e : std::filesystem::directory_iterator(dossier))
            noms.push_back(e.path().filename().string());
        std::sort(noms.begin(), noms.end());
        return noms;
    }
}

TEST(EditeurFichier, SavingKeepsThePreviousVersionAndAFailedWriteLeavesTheOldFile)
{
    DossierTemporaire dossier;
    const std::string chemin = dossier / "level.map";
    EcrireFichier(chemin, "old");
    std::string erreur;
    ASSERT_TRUE(EnregistrerAtomique(chemin, "new one", true, erreur)) << erreur;
    EXPECT_EQ(LireTexte(chemin), "new one");
    EXPECT_EQ(LireTexte(chemin + "~"), "old");

    ecritAvantPanne_ = 3;
    FixerEcriture(EcriturePleine);
    EXPECT_FALSE(EnregistrerAtomique(chemin, "third version", true, erreur));
    FixerEcriture(nullptr);
    EXPECT_NE(erreur.find("No space"), std::string::npos) << erreur;
    EXPECT_EQ(LireTexte(chemin), "new one");
    // No temporary file is left behind.
    EXPECT_EQ(Fichiers(dossier.Chemin()), (std::vector<std::string>{"level.map", "level.map~"}));

    // A folder where the file should be, and a folder that does not exist.
    CreerDossiers(dossier / "d.map");
    EXPECT_FALSE(EnregistrerAtomique(dossier / "d.map", "x", true, erreur));
    EXPECT_FALSE(EnregistrerAtomique(dossier / "nowhere/level.map", "x", true, erreur));
    EXPECT_FALSE(erreur.empty());
}

TEST(EditeurFichier, AFullFileSystemLeavesTheOldFileIntact)
{
    DossierTemporaire dossier;
    const std::string point = dossier / "petit";
    CreerDossiers(point);
    if (::mount("tmpfs", point.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a small file system here";
    const std::string chemin = point + "/level.map";
    const std::string vieux(20000, 'b');
    EcrireFichier(chemin, vieux);
    std::string erreur;
    // Room for the backup copy, not for the new file too.
    const bool reussi = EnregistrerAtomique(chemin, std::string(40000, 'C'), true, erreur);
    const std::string lu = LireTexte(chemin);
    const std::vector<std::string> noms = Fichiers(point);
    ::umount(point.c_str());
    EXPECT_FALSE(reussi);
    EXPECT_FALSE(erreur.empty());
    EXPECT_EQ(lu, vieux);
    for (const std::string& nom : noms)
        EXPECT_EQ(nom.find(".level.map."), std::string::npos) << nom;
}

TEST(EditeurVue, ZoomKeepsThePointUnderThePointerAndStaysBetweenTheWholeLevelAndTwice)
{
    Vue v;
    v.LargeurZone = 800;
    v.HauteurZone = 600;
    int c, l;
    v.CaseSous(5 * 64 + 32, 3 * 64 + 1, c, l);
    EXPECT_EQ(c, 5);
    EXPECT_EQ(l, 3);

    // Zooming around a point leaves the same map point under it.
    v.OrigineX = 1000;
    v.OrigineY = 500;
    const double mx = v.OrigineX + 300 / v.Zoom, my = v.OrigineY + 200 / v.Zoom;
    v.ZoomerAutour(1.25, 300, 200, 100, 50);
    EXPECT_DOUBLE_EQ(v.Zoom, 1.25);
    EXPECT_NEAR(v.OrigineX + 300 / v.Zoom, mx, 1e-9);
    EXPECT_NEAR(v.OrigineY + 200 / v.Zoom, my, 1e-9);
    for (int i = 0; i < 20; ++i)
        v.ZoomerAutour(1.25, 300, 200, 100, 50);
    EXPECT_DOUBLE_EQ(v.Zoom, Vue::ZoomMax);
    for (int i = 0; i < 40; ++i)
        v.ZoomerAutour(0.8, 300, 200, 100, 50);
    // Whole level: 100 x 50 cells in 800 x 600 pixels.
    EXPECT_DOUBLE_EQ(v.Zoom, 800.0 / (100 * 64));
    v.ToutMontrer(100, 50);
    v.CaseSous(0, 300, c, l);
    EXPECT_EQ(c, 0);
    v.CaseSous(799, 300, c, l);
    EXPECT_EQ(c, 99);

    // Scrolling never loses the level: at most a cell of margin.
    v.Zoom = 1;
    v.Defiler(-1e6, -1e6, 100, 50);
    EXPECT_DOUBLE_EQ(v.OrigineX, -64);
    EXPECT_DOUBLE_EQ(v.OrigineY, -64);
    v.Defiler(1e7, 1e7, 100, 50);
    EXPECT_DOUBLE_EQ(v.OrigineX, 100 * 64 - 800 + 64);
    v.MontrerCase(0, 0, 100, 50);
    EXPECT_DOUBLE_EQ(v.OrigineX, 0);
    EXPECT_DOUBLE_EQ(v.OrigineY, 0);
}
