// The way to a cell in the editor, driven as a designer drives it: w with the
// pointer on a bonus up a step draws the character's path to it, with a mark
// where it jumps; F6 plays it in the test play and takes the bonus; w on a
// wall draws none; F7 plays the clear route. Also the README picture of a route.
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
    // A room: the start on the left, a step of ground, a bonus (life 50) up
    // in the air beyond it: the character walks, jumps onto the step, jumps
    // again for the bonus.
    const char* const Piece =
        "A room with a bonus up a step.\n"
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
        "m          2   M\n"
        "m              M\n"
        "m      BBBB    M\n"
        "mBBBBBBBBBBBBBBM\n"
        "mbbbbbbbbbbbbbbM\n";

    bool Trace(const uint8_t* p)  // the trail's orange
    {
        return p[0] > 235 && p[1] > 145 && p[1] < 180 && p[2] > 20 && p[2] < 70;
    }
    bool Saut(const uint8_t* p)  // a jump's yellow diamond
    {
        return p[0] > 240 && p[1] > 215 && p[1] < 245 && p[2] < 70;
    }

    // Pixels for which `quoi` holds in the rectangle (clipped to the image).
    int Compter(const ImageRGBA& image, int x0, int y0, int x1, int y1, bool (*quoi)(const uint8_t*))
    {
        int n = 0;
        for (int y = std::max(0, y0); y < std::min(image.Hauteur, y1); ++y)
            for (int x = std::max(0, x0); x < std::min(image.Largeur, x1); ++x)
                n += quoi(image.Pixel(x, y));
        return n;
    }

    // The search in its child process, well over its time on a crowded
    // machine; a sanitized debug build runs it ten times slower.
#if defined(__SANITIZE_ADDRESS__)
    const int Delai = 60000;
#else
    const int Delai = 10000;
#endif

    // Pictures of the window until `fini` holds or `ms` pass; the time it took, or -1.
    long AttendreImage(PartieJeu& editeur, int ms, const std::function<bool(const ImageRGBA&)>& fini,
                       ImageRGBA* derniere = nullptr)
    {
        ImageRGBA image;
        const long t =
            editeur.AttendreImage(std::filesystem::absolute("capture-editeur-route-attente.png").string(), image, ms, fini);
        if (t >= 0 && derniere != nullptr)
            *derniere = image;
        return t;
    }

    // Waits at most `ms` for the file to hold `texte` `fois` times.
    bool AttendreLigne(const std::string& fichier, const std::string& texte, int ms, int fois = 1)
    {
        const auto fin = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        for (;;)
        {
            const std::string contenu = LireTexte(fichier);
            int n = 0;
            for (size_t i = contenu.find(texte); i != std::string::npos; i = contenu.find(texte, i + 1))
                ++n;
            if (n >= fois)
                return true;
            if (std::chrono::steady_clock::now() > fin)
                return false;
            Patienter(50);
        }
    }

    void Pointer(PartieJeu& editeur, PointEcran p)
    {
        Sortie("xdotool mousemove --window " + editeur.Fenetre() + " " + std::to_string(p.X) + " " +
               std::to_string(p.Y) + " 2>/dev/null");
    }
}

TEST(EditeurBoutEnBout, WOnABonusDrawsTheWayToItF6PlaysItAndOnAWallNone)
{
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under xvfb-run";
    DossierTemporaire dossier;
    const std::string fichier = dossier / "piece.map";
    EcrireFichier(fichier, Piece);
    // What the editor prints (the route played) goes to a file the test reads.
    const std::string journal = dossier / "sortie.txt";
    Programme p;
    p.Binaire = "/bin/sh";
    p.Arguments = {"-c", "exec '" + DossierJeu() + "/corvella-editeur' '" + fichier + "' > '" + journal + "'"};
    p.MotifFenetre = "^Corvella editor";
    PartieJeu editeur(p);
    ASSERT_TRUE(editeur.FenetreVisible()) << "the editor's window never appeared";
    editeur.Taper("Return"); // the opening message: the file's layout changes on save

    // The window may still be settling to its size: the cells are placed once
    // a picture of it has the size the window manager gives.
    std::string taille;
    ASSERT_GE(AttendreImage(editeur, 5000,
                            [&](const ImageRGBA& i) {
                                taille = Geometrie(editeur.Fenetre());
                                return taille == std::to_string(i.Largeur) + "x" + std::to_string(i.Hauteur);
                            }),
              0);
    auto cellule = [&](int c, int l) { return PointDeCase(taille, 16, 10, 1, 7, c, l); };
    // The path runs from the start (column 1, row 7 from 0) over the step
    // (columns 7 to 10, row 6) to the bonus (column 11, row 5).
    const PointEcran depart = cellule(1, 7), bonus = cellule(11, 5), marche = cellule(8, 6);
    const int demi = std::abs(cellule(2, 7).X - depart.X); // a cell's width in window pixels
    auto traceVue = [&](const ImageRGBA& i) {
        return Compter(i, depart.X - demi, depart.Y - demi, depart.X + demi, depart.Y + demi, Trace) > 20 &&
               Compter(i, marche.X - demi, marche.Y - 2 * demi, marche.X + demi, marche.Y + demi / 2, Trace) > 20 &&
               Compter(i, bonus.X - demi, bonus.Y - demi, bonus.X + demi, bonus.Y + demi, Trace) > 20;
    };
    auto sansTrace = [&](const ImageRGBA& i) {
        return Compter(i, depart.X - 3 * demi, depart.Y - 5 * demi, bonus.X + demi, depart.Y + demi, Trace) == 0;
    };
    // Nothing drawn before the key.
    ASSERT_GE(AttendreImage(editeur, 5000, sansTrace), 0) << "a trail before any route was asked for";

    Pointer(editeur, bonus);
    editeur.Taper("w");
    ImageRGBA image;
    const long apparue = AttendreImage(editeur, Delai, traceVue, &image);
    ASSERT_GE(apparue, 0) << "no trail from the start to the bonus";
    RecordProperty("route_ms", std::to_string(apparue));
    std::printf("trail shown %ld ms after the key\n", apparue);
    // A jump up onto the step at least: its yellow mark.
    EXPECT_GT(Compter(image, depart.X - demi, bonus.Y - 2 * demi, bonus.X + demi, depart.Y + demi, Saut), 20)
        << "no jump marked on the way";
    // The README picture: the route with the pointer on its bonus.
    ImageRGBA photo;
    ASSERT_TRUE(editeur.CapturerFenetre(std::filesystem::absolute("capture-editeur-route.png").string(), photo));

    // F6 plays it: the route's keys drive the game's frame and take the bonus.
    editeur.Taper("F6");
    EXPECT_TRUE(AttendreLigne(journal, "route played: 1 of 1 bonuses taken, 0 left", Delai))
        << "the route played did not take the bonus:\n" << LireTexte(journal);
    editeur.Taper("Escape");
    EXPECT_TRUE(AttendreLigne(journal, "back to the editor", Delai)) << LireTexte(journal);
    // Back in the editor, the trail is still there.
    EXPECT_GE(AttendreImage(editeur, Delai, traceVue), 0) << "no trail after the play";

    // A cell deep in the ground: never reached, no trail (the status line says why).
    Pointer(editeur, cellule(5, 9));
    editeur.Taper("w");
    EXPECT_GE(AttendreImage(editeur, Delai, sansTrace), 0) << "a trail stayed for a cell never reached";
    EXPECT_TRUE(AttendreLigne(journal, "no route to column 6, row 10: ", Delai)) << LireTexte(journal);

    // Again on the bonus, then Escape takes it away.
    Pointer(editeur, bonus);
    editeur.Taper("w");
    ASSERT_GE(AttendreImage(editeur, Delai, traceVue), 0) << "no trail the second time";
    editeur.Taper("Escape");
    EXPECT_GE(AttendreImage(editeur, 5000, sansTrace), 0) << "Escape left the trail";

    // The clear check: one bonus, taken; F7 plays that route, which takes it too.
    EXPECT_TRUE(AttendreLigne(journal, "clear check: clears 1 of 1 bonuses in ", Delai)) << LireTexte(journal);
    editeur.Taper("F7");
    EXPECT_TRUE(AttendreLigne(journal, "route played: 1 of 1 bonuses taken, 0 left", Delai, 2))
        << "the clear route played did not take the bonus:\n" << LireTexte(journal);
    editeur.Taper("Escape");
    EXPECT_TRUE(AttendreLigne(journal, "back to the editor", Delai, 2)) << LireTexte(journal);

    editeur.Taper("ctrl+q");
    EXPECT_EQ(editeur.AttendreFin(10000), 0);
}
