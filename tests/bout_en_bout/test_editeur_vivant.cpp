// The editor's live check, driven as a designer drives it: a wall painted with
// the autotile tool cuts a bonus off, its marker appears within the refresh
// time; undo, and it goes. Also the README picture with the reachability
// overlay.
#include <gtest/gtest.h>

#include "aide/Aide.h"
#include "aide/Partie.h"
#include "aide/Processus.h"
#include "aide/VueEditeur.h"

#include <chrono>
#include <filesystem>
#include <functional>

namespace
{
    // A room: the start on the left, a bonus (life 50) on the right, nothing between.
    const char* const Piece =
        "A room with a bonus.\n"
        "[Infos]\n"
        "Largeur=16\n"
        "Hauteur=10\n"
        "PosDebutX=2\n"
        "PosDebutY=8\n"
        "[Map]\n"
        "mbbbbbbbbbbbbbbM\n"
        "m              M\n"
        "m              M\n"
        "m              M\n"
        "m              M\n"
        "m              M\n"
        "m              M\n"
        "m          2   M\n"
        "mBBBBBBBBBBBBBBM\n"
        "mbbbbbbbbbbbbbbM\n";

    // Pixels of a finding's marker (its orange) in a box around a point.
    int PixelsMarque(const ImageRGBA& image, int cx, int cy)
    {
        int n = 0;
        for (int y = std::max(0, cy - 24); y < std::min(image.Hauteur, cy + 24); ++y)
            for (int x = std::max(0, cx - 24); x < std::min(image.Largeur, cx + 24); ++x)
            {
                const uint8_t* p = image.Pixel(x, y);
                n += p[0] > 230 && p[1] > 95 && p[1] < 145 && p[2] < 30;
            }
        return n;
    }

    // How long the check may take: well over its second in a normal build on
    // a crowded machine; a sanitized debug build runs the search ten times slower.
#if defined(__SANITIZE_ADDRESS__)
    const int Delai = 40000;
#else
    const int Delai = 8000;
#endif

    // Pictures of the window until `fini` holds or `ms` pass; the time it took, or -1.
    long AttendreImage(PartieJeu& editeur, int ms, const std::function<bool(const ImageRGBA&)>& fini)
    {
        ImageRGBA image;
        return editeur.AttendreImage(std::filesystem::absolute("capture-editeur-vivant.png").string(), image, ms, fini);
    }
}

TEST(EditeurBoutEnBout, AWallThatCutsOffABonusShowsItsMarkerAndUndoTakesItAway)
{
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under xvfb-run";
    DossierTemporaire dossier;
    const std::string fichier = dossier / "piece.map";
    EcrireFichier(fichier, Piece);
    Programme p;
    p.Binaire = DossierJeu() + "/corvella-editeur";
    p.Arguments = {fichier};
    p.MotifFenetre = "^Corvella editor";
    PartieJeu editeur(p);
    ASSERT_TRUE(editeur.FenetreVisible()) << "the editor's window never appeared";
    editeur.Taper("Return"); // the opening message: the file's layout changes on save

    // The view opens on the whole room: the bonus is column 12 row 8 (from 1).
    const std::string taille = Geometrie(editeur.Fenetre());
    auto cellule = [&](int c, int l) { return PointDeCase(taille, 16, 10, 1, 7, c, l); };
    const int bx = cellule(11, 7).X, by = cellule(11, 7).Y;
    auto marque = [&](const ImageRGBA& i) { return PixelsMarque(i, bx, by) > 40; };
    auto sansMarque = [&](const ImageRGBA& i) { return PixelsMarque(i, bx, by) == 0; };
    // The first check finds nothing on the bonus.
    ASSERT_GE(AttendreImage(editeur, 5000, sansMarque), 0);

    // The autotile tool, its material from grass (ground) on to sand, then
    // wall; one stroke down column 7 from the ceiling to the floor.
    editeur.Taper("u");
    editeur.Taper("u");
    editeur.Taper("u");
    const int x = cellule(6, 1).X;
    Sortie("xdotool mousemove --window " + editeur.Fenetre() + " " + std::to_string(x) + " " +
           std::to_string(cellule(6, 1).Y) + " mousedown 1 mousemove --window " + editeur.Fenetre() + " " +
           std::to_string(x) + " " + std::to_string(cellule(6, 2).Y) + " mousemove --window " + editeur.Fenetre() + " " +
           std::to_string(x) + " " + std::to_string(cellule(6, 7).Y) + " mouseup 1 2>/dev/null");
    const long apparue = AttendreImage(editeur, Delai, marque);
    EXPECT_GE(apparue, 0) << "no marker on the bonus cut off";
    RecordProperty("marker_ms", std::to_string(apparue));
    std::printf("marker shown %ld ms after the stroke\n", apparue);

    // The README picture: the reachability overlay, the pointer on the marker.
    editeur.Taper("v");
    Sortie("xdotool mousemove --window " + editeur.Fenetre() + " " + std::to_string(bx) + " " +
           std::to_string(by) + " 2>/dev/null");
    // Cells the character reaches are tinted green (the start's cell is), and
    // the finding's message is beside the pointer (its orange frame).
    auto teinte = [&](const ImageRGBA& i)
    {
        const uint8_t* depart = i.Pixel(cellule(1, 7).X - 20, cellule(1, 7).Y - 20);
        return depart[1] > depart[0] + 40;
    };
    auto infobulle = [&](const ImageRGBA& i)
    {
        int n = 0;
        for (int y = by; y < std::min(i.Hauteur, by + 120); ++y)
            for (int x = bx; x < std::min(i.Largeur, bx + 400); ++x)
                n += i.Pixel(x, y)[0] == 255 && i.Pixel(x, y)[1] == 140 && i.Pixel(x, y)[2] == 0;
        return n > 100;
    };
    ImageRGBA image;
    EXPECT_GE(editeur.AttendreImage(std::filesystem::absolute("capture-editeur.png").string(), image, Delai,
                                    [&](const ImageRGBA& i) { return teinte(i) && infobulle(i); }),
              0)
        << "the start's cell is not shaded as reached, or no message by the marker";
    editeur.Taper("v");

    // Undo: the stroke goes as one step, and the marker with it.
    editeur.Taper("ctrl+z");
    EXPECT_GE(AttendreImage(editeur, Delai, sansMarque), 0) << "the marker stayed after undo";

    editeur.Taper("ctrl+q");
    editeur.Taper("d");
    EXPECT_EQ(editeur.AttendreFin(10000), 0);
}
