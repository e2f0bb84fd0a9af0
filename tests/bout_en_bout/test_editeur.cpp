// The real level editor, driven with the mouse and keys as a designer drives
// it: paint, undo, redo, save, play, come back, quit.
#include <gtest/gtest.h>

#include "aide/Aide.h"
#include "aide/Partie.h"
#include "aide/Processus.h"
#include "aide/VueEditeur.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace
{
    std::string Editeur()
    {
        return DossierJeu() + "/corvella-editeur";
    }

    Programme EditeurSur(const std::string& fichier)
    {
        Programme p;
        p.Binaire = Editeur();
        p.Arguments = {fichier};
        p.MotifFenetre = "^Corvella editor";
        return p;
    }

    // Waits (30 s at most, on the real clock: another process) until the file's bytes change.
    std::string AttendreChangement(const std::string& chemin, const std::string& avant)
    {
        std::string maintenant = LireTexte(chemin);
        const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (maintenant == avant && std::chrono::steady_clock::now() < limite)
        {
            Patienter(100);
            maintenant = LireTexte(chemin);
        }
        return maintenant;
    }

    // Pixels of the hood of the character (saturated red) in a box of the
    // game's 800 x 600 view, on a picture of the whole window.
    int PixelsCapuche(const ImageRGBA& image, int x0, int y0, int x1, int y1)
    {
        const double sx = image.Largeur / 800.0, sy = image.Hauteur / 600.0;
        int n = 0;
        for (int y = static_cast<int>(y0 * sy); y < static_cast<int>(y1 * sy) && y < image.Hauteur; ++y)
            for (int x = static_cast<int>(x0 * sx); x < static_cast<int>(x1 * sx) && x < image.Largeur; ++x)
            {
                const uint8_t* p = image.Pixel(x, y);
                n += p[0] > 150 && p[1] < 70 && p[2] < 70;
            }
        return n;
    }

    // Share of the map area (left of the palette, above the status lines)
    // left in the clear colour (yellow) or in nothing drawn at all (white):
    // a frame that never reached the screen.
    double PartNonDessinee(const ImageRGBA& image)
    {
        long vides = 0, n = 0;
        for (int y = 0; y < image.Hauteur - 80; y += 2)
            for (int x = 0; x < image.Largeur - 224; x += 2, ++n)
            {
                const uint8_t* p = image.Pixel(x, y);
                vides += (p[0] == 255 && p[1] == 255 && (p[2] == 0 || p[2] == 255)) ||
                         (p[0] == 0 && p[1] == 0 && p[2] == 0);
            }
        return n > 0 ? static_cast<double>(vides) / static_cast<double>(n) : 1.0;
    }

    // Waits (30 s at most, a sanitized build on a loaded machine) for a frame
    // drawn over the whole window at its size.
    bool AttendreDessin(PartieJeu& editeur, const std::string& nom, ImageRGBA* image = nullptr)
    {
        ImageRGBA i;
        const bool fait = editeur.AttendreImage(std::filesystem::absolute(nom).string(), i, 30000, [&](const ImageRGBA& c)
                                                {
                                                    return std::to_string(c.Largeur) + "x" + std::to_string(c.Hauteur) ==
                                                               Geometrie(editeur.Fenetre()) &&
                                                           PartNonDessinee(c) < 0.01;
                                                }) >= 0;
        if (image != nullptr)
            *image = i;
        return fait;
    }

    // Pixels of a dialog box's yellow frame over the map area.
    int PixelsBoite(const ImageRGBA& image)
    {
        int n = 0;
        for (int y = 0; y < image.Hauteur - 80; ++y)
            for (int x = 0; x < image.Largeur - 224; ++x)
            {
                const uint8_t* p = image.Pixel(x, y);
                n += p[0] == 255 && p[1] == 220 && p[2] == 0;
            }
        return n;
    }

    // Pixels that differ in the 64 x 64 box of a cell (zoom 1) centred on `centre`.
    long DifferencesCase(const ImageRGBA& a, const ImageRGBA& b, PointEcran centre)
    {
        if (a.Largeur != b.Largeur || a.Hauteur != b.Hauteur)
            return -1;
        long n = 0;
        for (int y = std::max(0, centre.Y - 32); y < std::min(a.Hauteur, centre.Y + 32); ++y)
            for (int x = std::max(0, centre.X - 32); x < std::min(a.Largeur, centre.X + 32); ++x)
                n += std::memcmp(a.Pixel(x, y), b.Pixel(x, y), 3) != 0;
        return n;
    }

    // Pixels that differ between two pictures of the same size, over the map
    // area of the editor (left of the palette, above the status lines).
    long Differences(const ImageRGBA& a, const ImageRGBA& b, const std::vector<PointEcran>& caches = {})
    {
        if (a.Largeur != b.Largeur || a.Hauteur != b.Hauteur)
            return -1;
        long n = 0;
        for (int y = 0; y < a.Hauteur - 80; ++y)
            for (int x = 0; x < a.Largeur - 224; ++x)
            {
                bool cache = false;
                for (const PointEcran& c : caches)
                    cache = cache || (std::abs(x - c.X) < 48 && std::abs(y - c.Y) < 64);
                n += !cache && std::memcmp(a.Pixel(x, y), b.Pixel(x, y), 3) != 0;
            }
        return n;
    }
}

TEST(EditeurBoutEnBout, PaintUndoRedoSaveChangesExactlyThatCellThenPlaysAndComesBack)
{
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under xvfb-run";
    DossierTemporaire dossier;
    const std::string fichier = dossier / "Map1.map";
    const std::string original = LireTexte(DossierJeu() + "/Data/Maps/Map1.map");
    ASSERT_FALSE(original.empty());
    EcrireFichier(fichier, original);

    PartieJeu editeur(EditeurSur(fichier));
    ASSERT_TRUE(editeur.FenetreVisible()) << "the editor's window never appeared";
    ImageRGBA premiere;
    ASSERT_TRUE(AttendreDessin(editeur, "capture-editeur-debut.png", &premiere));

    // The view opens at 1:1 on the start cell (4, 21), the level being too
    // large to read whole. Column 3, row 18 (from 1) is empty; grass is chosen.
    const std::string taille = Geometrie(editeur.Fenetre());
    auto cellule = [&](int c, int l) { return PointDeCase(taille, 92, 25, 3, 20, c, l); };
    ASSERT_EQ(ZoomPremiereVue(taille, 92, 25, 3, 20), 1.0);
    // Each step seen in the title: " *" while the level differs from the file.
    editeur.Cliquer(cellule(2, 17).X, cellule(2, 17).Y);
    ASSERT_TRUE(editeur.AttendreTitre(" *"));
    editeur.Taper("ctrl+z");
    ASSERT_TRUE(editeur.AttendreTitre(".map"));
    editeur.Taper("ctrl+y");
    ASSERT_TRUE(editeur.AttendreTitre(" *"));
    editeur.Taper("ctrl+s");
    const std::string sauve = AttendreChangement(fichier, original);

    ASSERT_EQ(sauve.size(), original.size());
    size_t differences = 0, ou = 0;
    for (size_t i = 0; i < sauve.size(); ++i)
        if (sauve[i] != original[i])
            ++differences, ou = i;
    ASSERT_EQ(differences, 1u);
    EXPECT_EQ(sauve[ou], 'B');
    EXPECT_EQ(original[ou], ' ');
    // That byte is row 18, column 3 of the "[Map]" section.
    size_t debut = original.find("[Map]\n") + 6;
    for (int ligne = 0; ligne < 17; ++ligne)
        debut = original.find('\n', debut) + 1;
    EXPECT_EQ(ou, debut + 2);
    EXPECT_EQ(LireTexte(fichier + "~"), original);

    // The bonuses in view bob up and down: pictures are compared without them.
    std::vector<PointEcran> bonus;
    {
        size_t i = original.find("[Map]\n") + 6;
        for (int l = 0; l < 25; ++l, i = original.find('\n', i) + 1)
            for (int c = 0; c < 92; ++c)
                if (original[i + static_cast<size_t>(c)] >= '1' && original[i + static_cast<size_t>(c)] <= '8' &&
                    cellule(c, l).X > -64 && cellule(c, l).X < 4000 && cellule(c, l).Y > -64 && cellule(c, l).Y < 4000)
                    bonus.push_back(cellule(c, l));
    }
    ImageRGBA avant;
    editeur.Cliquer(cellule(9, 15).X, cellule(9, 15).Y, 3); // right click: picks the sky
    ASSERT_TRUE(editeur.AttendreTitre(".map"));  // the save seen
    // The sky ("empty", the palette's first entry) chosen: framed in yellow.
    EXPECT_GE(editeur.AttendreImage(std::filesystem::absolute("capture-editeur-avant.png").string(), avant, 20000,
                                    [&](const ImageRGBA& i)
                                    {
                                        const uint8_t* p = i.Pixel(i.Largeur - 222, 55);
                                        return PartNonDessinee(i) < 0.01 && p[0] == 255 && p[1] == 220 && p[2] == 0;
                                    }),
              0);


    // On the screen too, that cell and no other around it changed (none of
    // them holds a bonus, whose bobbing would show).
    EXPECT_GT(DifferencesCase(premiere, avant, cellule(2, 17)), 64 * 64 / 2) << "the painted cell not drawn";
    for (int c = 1; c <= 3; ++c)
        for (int l = 16; l <= 18; ++l)
        {
            if (c != 2 || l != 17)
            {
                EXPECT_EQ(DifferencesCase(premiere, avant, cellule(c, l)), 0) << "cell " << c << ", " << l << " changed";
            }
        }

    // F5 plays the game's own frame: the character stands on the start cell.
    // The shipped level's start (4, 21) puts it at (192, 344) in the game's
    // view (the camera's lowest position).
    editeur.Taper("F5");
    ImageRGBA jeu;
    EXPECT_GE(editeur.AttendreImage(std::filesystem::absolute("capture-editeur-jeu.png").string(), jeu, 20000,
                                    [](const ImageRGBA& i) { return PixelsCapuche(i, 180, 330, 270, 420) > 30; }),
              0) << "no character on the start cell";
    EXPECT_GT(Differences(avant, jeu, bonus), 10000);

    // Escape comes back to the same view: the same pixels, but where the
    // bonuses bob (the only thing that moves on the editor's map), and the
    // painted cell among them, 30 s at most.
    editeur.Taper("Escape");
    ImageRGBA apres;
    long ecart = -1;
    EXPECT_GE(editeur.AttendreImage(std::filesystem::absolute("capture-editeur-retour.png").string(), apres, 30000,
                                    [&](const ImageRGBA& i)
                                    {
                                        ecart = Differences(avant, i, bonus);
                                        return ecart == 0;
                                    }),
              0) << "not back to the same view: " << ecart << " pixels differ";
    EXPECT_EQ(DifferencesCase(avant, apres, cellule(2, 17)), 0);
    EXPECT_EQ(PixelsCapuche(apres, 180, 330, 270, 420), PixelsCapuche(avant, 180, 330, 270, 420));

    // Further down the level, with the grid and a tile picked with a right
    // click (the README picture is taken by the live check's test).
    editeur.Taper("g");
    Sortie("xdotool mousemove --window " + editeur.Fenetre() + " 300 300 click --delay 40 --repeat 13 4 2>/dev/null");
    editeur.Cliquer(7 * 64 + 20, 6 * 64 + 20, 3);
    ImageRGBA image;
    EXPECT_GE(editeur.AttendreImage(std::filesystem::absolute("capture-editeur-grille.png").string(), image, 20000,
                                    [&](const ImageRGBA& i) { return Differences(apres, i) > 10000; }),
              0) << "the view did not move";

    // Saved: quitting does not ask.
    editeur.Taper("ctrl+q");
    EXPECT_EQ(editeur.AttendreFin(20000), 0);
    EXPECT_EQ(LireTexte(fichier), sauve);
}

TEST(EditeurBoutEnBout, AFailedSaveKeepsTheChangesAndClosingWithThemAsksFirst)
{
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under xvfb-run";
    DossierTemporaire dossier;
    const std::string fichier = dossier / "level.map";
    // A file that does not exist: a new level, saved there.
    PartieJeu editeur(EditeurSur(fichier));
    ASSERT_TRUE(editeur.FenetreVisible()) << "the editor's window never appeared";
    ASSERT_TRUE(AttendreDessin(editeur, "capture-editeur-nouveau.png"));
    editeur.Cliquer(3 * 64 + 32, 3 * 64 + 32);

    // A save that cannot be made (a file stands where its folder should be):
    // a message, and the editor stays with the change.
    EcrireFichier(dossier / "pas-un-dossier", "x");
    editeur.Taper("ctrl+shift+s");
    Sortie("xdotool key --delay 20 --repeat " + std::to_string(fichier.size() + 2) + " BackSpace 2>/dev/null");
    Sortie("xdotool type --delay 20 '" + (dossier / "pas-un-dossier/level.map") + "' 2>/dev/null");
    editeur.Taper("Return");
    ASSERT_TRUE(editeur.AttendreSortie("save failed"));
    EXPECT_TRUE(editeur.EnCours());
    EXPECT_FALSE(std::filesystem::exists(fichier));
    editeur.Taper("Return"); // closes the message
    ImageRGBA image;
    const std::string capture = std::filesystem::absolute("capture-editeur-question.png").string();
    ASSERT_GE(editeur.AttendreImage(capture, image, 20000, [](const ImageRGBA& i) { return PixelsBoite(i) == 0; }), 0);

    // Closed with unsaved changes: it asks (its box drawn), and stays.
    Sortie("wmctrl -c 'Corvella editor'");
    ASSERT_GE(editeur.AttendreImage(capture, image, 20000, [](const ImageRGBA& i) { return PixelsBoite(i) > 300; }), 0)
        << "no question";
    EXPECT_TRUE(editeur.EnCours()) << "closed without asking";
    EXPECT_FALSE(std::filesystem::exists(fichier));
    // S saves, then quits.
    editeur.Taper("s");
    EXPECT_EQ(editeur.AttendreFin(20000), 0);
    const std::string sauve = LireTexte(fichier);
    EXPECT_NE(sauve.find("Largeur=40"), std::string::npos);
    EXPECT_NE(sauve.find("Hauteur=15"), std::string::npos);
}

TEST(EditeurBoutEnBout, AFileThatCannotBeReadIsRefusedWithAMessage)
{
    // A folder, and a file larger than the checker reads: a message and status 2,
    // before any window opens.
    DossierTemporaire dossier;
    const std::string editeur = std::filesystem::absolute(Editeur()).string();
    const std::string message = Sortie("ASAN_OPTIONS=detect_leaks=0 '" + editeur + "' '" + dossier.Chemin() +
                                       "' 2>&1; echo \" status $?\"");
    EXPECT_NE(message.find("is a folder"), std::string::npos) << message;
    EXPECT_NE(message.find("status 2"), std::string::npos) << message;

    EcrireFichier(dossier / "big.map", std::string(17 * 1024 * 1024, 'b'));
    const std::string gros = Sortie("ASAN_OPTIONS=detect_leaks=0 '" + editeur + "' '" + (dossier / "big.map") +
                                    "' 2>&1; echo \" status $?\"");
    EXPECT_NE(gros.find("16 MiB"), std::string::npos) << gros;
    EXPECT_NE(gros.find("status 2"), std::string::npos) << gros;
}

TEST(EditeurBoutEnBout, AnAutosaveLeftBehindIsOfferedBackAtTheNextStart)
{
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under xvfb-run";
    DossierTemporaire dossier;
    const std::string fichier = dossier / "Map1.map";
    const std::string original = LireTexte(DossierJeu() + "/Data/Maps/Map1.map");
    EcrireFichier(fichier, original);
    // What an editor that never saved left beside the file: one cell of water.
    std::string autosave = original;
    size_t cellule = original.find("[Map]\n") + 6;
    cellule = original.find('\n', cellule) + 1 + 10; // row 2, column 11
    ASSERT_EQ(autosave[cellule], ' ');
    autosave[cellule] = 'C';
    EcrireFichier(fichier + ".autosave", autosave);

    PartieJeu editeur(EditeurSur(fichier));
    ASSERT_TRUE(editeur.FenetreVisible()) << "the editor's window never appeared";
    ASSERT_TRUE(AttendreDessin(editeur, "capture-editeur-autosave.png"));
    editeur.Taper("y"); // restore it
    editeur.Taper("ctrl+s");
    const std::string sauve = AttendreChangement(fichier, original);
    EXPECT_EQ(sauve, autosave);
    // The autosave goes once the file is written: a moment later.
    const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::filesystem::exists(fichier + ".autosave") && std::chrono::steady_clock::now() < limite)
        Patienter(100);
    EXPECT_FALSE(std::filesystem::exists(fichier + ".autosave"));
    editeur.Taper("ctrl+q");
    EXPECT_EQ(editeur.AttendreFin(20000), 0);
}


TEST(EditeurBoutEnBout, F11GoesFullScreenAndBackToTheWindowStillDrawingTheLevel)
{
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under xvfb-run";
    DossierTemporaire dossier;
    const std::string fichier = dossier / "Map1.map";
    EcrireFichier(fichier, LireTexte(DossierJeu() + "/Data/Maps/Map1.map"));
    PartieJeu editeur(EditeurSur(fichier));
    ASSERT_TRUE(editeur.FenetreVisible()) << "the editor's window never appeared";
    // The first frames at the window's own size (a loaded machine takes its
    // time): the engine's first window, 800 x 600 and black, is not the editor's.
    ImageRGBA avant;
    ASSERT_TRUE(AttendreDessin(editeur, "capture-editeur-f11-0.png", &avant));
    const std::string fenetre = Geometrie(editeur.Fenetre()), ecran = TailleEcran();
    ASSERT_NE(fenetre, ecran) << "the window already covers the screen: nothing to switch";

    // F11 held a while, as a hand does: its repeats must not switch again.
    // Each switch is looked at once the window has its new size and the
    // window manager has had time to settle it: it must keep that size and
    // show the level over the whole of it.
    const std::string tailles[2] = {ecran, fenetre};
    for (int bascule = 1; bascule <= 2; ++bascule)
    {
        const std::string& taille = tailles[bascule - 1];
        // Held until the window has had the press and a few repeats.
        EXPECT_TRUE(editeur.Tenir("F11", 6)) << "F11's repeats did not come within 30 s";
        ASSERT_TRUE(AttendreGeometrie(editeur.Fenetre(), taille)) << Geometrie(editeur.Fenetre());
        // The first frames at the new size may be slow to come (a sanitized
        // build reloads every image in the new context): wait for a drawn one.
        ImageRGBA image;
        const std::string capture = "capture-editeur-f11-" + std::to_string(bascule) + ".png";
        const bool capturee = AttendreDessin(editeur, capture, &image);
        ASSERT_TRUE(capturee);
        // Settled: drawn, and still at that size.
        EXPECT_EQ(Geometrie(editeur.Fenetre()), taille) << "switch " << bascule;
        EXPECT_EQ(std::to_string(image.Largeur) + "x" + std::to_string(image.Hauteur), taille);
        EXPECT_LT(PartNonDessinee(image), 0.01) << "switch " << bascule << ": " << capture;
    }
    editeur.Taper("ctrl+q");
    EXPECT_EQ(editeur.AttendreFin(20000), 0);
}
