// The editor's window on the designer's screen, computed without a window: its
// size and place (frame included) on the common screen sizes, the size kept
// between runs, the panels and the status line's texts never over one
// another, the tooltip inside the window, and the first view of a level.
#include <gtest/gtest.h>

#include "aide/Aide.h"
#include "editeur/Disposition.h"
#include "editeur/Fenetre.h"
#include "editeur/Vue.h"

#include <cstdlib>
#include <string>
#include <vector>

using namespace Edition;

namespace
{
    struct Ecran
    {
        int Largeur, Hauteur;
    };
    const Ecran Ecrans[] = {{1024, 600}, {1280, 800}, {1366, 768}, {1920, 1080}, {2560, 1440}};
    // Openbox's frame as it announces it for a window not yet shown, and no frame at all.
    const Cadre Cadres[] = {{1, 1, 20, 5}, {0, 0, 0, 0}, {4, 4, 30, 4}};

    bool Chevauchent(const Zone& a, const Zone& b)
    {
        return !a.Vide() && !b.Vide() && a.X < b.Droite() && b.X < a.Droite() && a.Y < b.Bas() && b.Y < a.Bas();
    }

    Zone ZoneTexte(const TexteEnPlace& t, int taille)
    {
        return Zone{t.X, t.Y, LargeurTexte(t.Texte, taille), taille};
    }

    bool Dans(const Zone& petite, const Zone& grande)
    {
        return petite.X >= grande.X && petite.Y >= grande.Y && petite.Droite() <= grande.Droite() &&
               petite.Bas() <= grande.Bas();
    }

    // Restores an environment variable when the test ends.
    class Variable
    {
    public:
        Variable(const char* nom, const char* valeur) : nom_(nom)
        {
            const char* avant = std::getenv(nom);
            avait_ = avant != nullptr;
            if (avait_)
                avant_ = avant;
            if (valeur != nullptr)
                setenv(nom, valeur, 1);
            else
                unsetenv(nom);
        }
        ~Variable()
        {
            if (avait_)
                setenv(nom_, avant_.c_str(), 1);
            else
                unsetenv(nom_);
        }

    private:
        const char* nom_;
        bool avait_ = false;
        std::string avant_;
    };
}

TEST(EditeurFenetre, OnEveryCommonScreenTheFramedWindowLiesOnItCentredAndAsLargeAsFits)
{
    for (const Ecran& e : Ecrans)
        for (const Cadre& c : Cadres)
        {
            SCOPED_TRACE(std::to_string(e.Largeur) + "x" + std::to_string(e.Hauteur) + " frame top " + std::to_string(c.Haut));
            const Zone ecran{0, 0, e.Largeur, e.Hauteur};
            const PlaceFenetre p = PlacerFenetre(ecran, c);
            const Zone cadre{p.X, p.Y, p.Largeur + c.Gauche + c.Droite, p.Hauteur + c.Haut + c.Bas};
            EXPECT_TRUE(Dans(cadre, ecran));
            EXPECT_LE(std::abs(cadre.X - (e.Largeur - cadre.Droite())), 1);
            EXPECT_LE(std::abs(cadre.Y - (e.Hauteur - cadre.Bas())), 1);
            // As large as fits: only the margin is left around the frame.
            EXPECT_LE(cadre.X, MargeBureau + 1);
            EXPECT_LE(cadre.Y, MargeBureau + 1);
            // The palette beside the level's view, which takes the rest.
            const Disposition d = Disposer(p.Largeur, p.Hauteur);
            EXPECT_EQ(d.Carte.Largeur + d.Palette.Largeur, p.Largeur);
            EXPECT_EQ(d.Carte.Hauteur + d.Etat.Hauteur, p.Hauteur);
            EXPECT_GE(d.Carte.Largeur, 700);
        }
    // A desktop that starts below a panel: the window is centred on what is left.
    const PlaceFenetre p = PlacerFenetre(Zone{0, 40, 1366, 728}, Cadres[0]);
    EXPECT_EQ(p.Y - 40, 728 - (p.Y - 40 + p.Hauteur + 25));
}

TEST(EditeurFenetre, TheDesignersSizeIsKeptWithinTheDesktopAndAboveTheSmallest)
{
    const Zone ecran{0, 0, 1366, 768};
    const Cadre c = Cadres[0];
    PlaceFenetre p = PlacerFenetre(ecran, c, 1100, 700);
    EXPECT_EQ(p.Largeur, 1100);
    EXPECT_EQ(p.Hauteur, 700);
    EXPECT_EQ(p.X, (1366 - 1102) / 2);
    EXPECT_EQ(p.Y, (768 - 725) / 2);
    // Left larger on a larger screen: brought down to what this one holds.
    p = PlacerFenetre(ecran, c, 2400, 1300);
    EXPECT_EQ(p.Largeur, 1366 - 2 - 2 * MargeBureau);
    EXPECT_EQ(p.Hauteur, 768 - 25 - 2 * MargeBureau);
    // Too small to work in: the smallest window.
    p = PlacerFenetre(ecran, c, 100, 90);
    EXPECT_EQ(p.Largeur, LargeurMinimale);
    EXPECT_EQ(p.Hauteur, HauteurMinimale);
    // A desktop smaller than the smallest window: the window fits it still.
    p = PlacerFenetre(Zone{0, 0, 600, 400}, c, 100, 90);
    EXPECT_LE(p.Largeur + 2, 600);
    EXPECT_LE(p.Hauteur + 25, 400);
    EXPECT_GE(p.X, 0);
    EXPECT_GE(p.Y, 0);
}

TEST(EditeurFenetre, TheSizeFileRoundTripsAndABrokenOneIsIgnored)
{
    DossierTemporaire dossier;
    {
        Variable config("XDG_CONFIG_HOME", dossier.Chemin().c_str());
        EXPECT_EQ(CheminTailleFenetre(), dossier / "corvella/editeur-fenetre");
    }
    {
        Variable config("XDG_CONFIG_HOME", nullptr), maison("HOME", "/home/someone");
        EXPECT_EQ(CheminTailleFenetre(), "/home/someone/.config/corvella/editeur-fenetre");
    }
    {
        // A relative XDG_CONFIG_HOME is to be ignored.
        Variable config("XDG_CONFIG_HOME", "relative"), maison("HOME", "/home/someone");
        EXPECT_EQ(CheminTailleFenetre(), "/home/someone/.config/corvella/editeur-fenetre");
    }

    const std::string chemin = dossier / "corvella/editeur-fenetre";
    int l = 7, h = 9;
    EXPECT_FALSE(LireTailleFenetre(chemin, l, h));  // no file yet
    ASSERT_TRUE(EcrireTailleFenetre(chemin, 1100, 700));  // the folder is made
    ASSERT_TRUE(LireTailleFenetre(chemin, l, h));
    EXPECT_EQ(l, 1100);
    EXPECT_EQ(h, 700);

    const std::string abimes[] = {"", "1100", "1100 x700", "big small", "1100 700 3", "-1100 700", "20 20",
                                  "99999 700", "1100 99999999999999999999", std::string(100, '7')};
    for (const std::string& contenu : abimes)
    {
        EcrireFichier(chemin, contenu);
        l = 7, h = 9;
        EXPECT_FALSE(LireTailleFenetre(chemin, l, h)) << "'" << contenu << "'";
        EXPECT_EQ(l, 7);
        EXPECT_EQ(h, 9);
    }
    EcrireFichier(chemin, "1300 750\n");
    EXPECT_TRUE(LireTailleFenetre(chemin, l, h));
    EXPECT_EQ(l, 1300);
    // A folder where the file should be: neither read nor written, no harm.
    CreerDossiers(dossier / "bloque/corvella/editeur-fenetre");
    EXPECT_FALSE(LireTailleFenetre(dossier / "bloque/corvella/editeur-fenetre", l, h));
    EXPECT_FALSE(EcrireTailleFenetre(dossier / "bloque/corvella/editeur-fenetre", 800, 600));
}

TEST(EditeurFenetre, PanelsAndTheStatusLinesTextsNeverOverlapAndLongOnesEndInAnEllipsis)
{
    const std::string position = "col 120 row 240  life 100 bonus  '4'   1000x1000  zoom 100%  *";
    const std::string analyse = "checking... 12 findings (partial: the search stopped at its bound)";
    const std::string message = "new level: it is saved to /home/someone/levels/a-rather-long-folder-name/level.map";
    std::vector<Ecran> fenetres(std::begin(Ecrans), std::end(Ecrans));
    fenetres.push_back({1024, 600});
    for (const Ecran& e : Ecrans)
    {
        const PlaceFenetre p = PlacerFenetre(Zone{0, 0, e.Largeur, e.Hauteur}, Cadres[0]);
        fenetres.push_back({p.Largeur, p.Hauteur});
    }
    for (const Ecran& f : fenetres)
        for (int cas = 0; cas < 4; ++cas)
        {
            SCOPED_TRACE(std::to_string(f.Largeur) + "x" + std::to_string(f.Hauteur) + " case " + std::to_string(cas));
            const Disposition d = Disposer(f.Largeur, f.Hauteur);
            const Zone fenetre{0, 0, f.Largeur, f.Hauteur};
            EXPECT_FALSE(Chevauchent(d.Carte, d.Palette));
            EXPECT_FALSE(Chevauchent(d.Carte, d.Etat));
            EXPECT_FALSE(Chevauchent(d.Etat, d.Palette));
            EXPECT_TRUE(Dans(d.Etat, fenetre));
            // The palette's icons, tools and help key inside the window.
            const GrillePalette g = DisposerPalette(d.Palette.Hauteur, 42, 7);
            EXPECT_LE(g.Bas, f.Hauteur);
            EXPECT_LE(g.Colonnes * g.Pas + 4, d.Palette.Largeur);
            EXPECT_GE(g.Icone, 20);

            // Short and long texts, with and without a message.
            const std::string p = cas % 2 ? position : "col 3 row 4  grass  'B'";
            const std::string m = cas / 2 ? message : "";
            const TextesEtat t = DisposerLigneEtat(d.Etat, p, analyse, m, 14);
            const Zone bande{d.Etat.X, d.Etat.Y - HauteurBandeEtat, d.Etat.Largeur, HauteurBandeEtat};
            const Zone zp = ZoneTexte(t.Position, 14), za = ZoneTexte(t.Analyse, 14), zm = ZoneTexte(t.Message, 14);
            EXPECT_TRUE(Dans(zp, d.Etat));
            EXPECT_TRUE(Dans(za, d.Etat) || Dans(za, bande));
            EXPECT_FALSE(Chevauchent(zp, za));
            EXPECT_FALSE(Chevauchent(zm, za));
            EXPECT_FALSE(Chevauchent(t.FondMessage, t.FondAnalyse));
            EXPECT_FALSE(Chevauchent(zm, zp));
            if (!m.empty())
            {
                EXPECT_TRUE(Dans(zm, bande));
                EXPECT_TRUE(Dans(t.FondMessage, bande));
                // The message is cut rather than hidden, and says it is.
                ASSERT_GE(t.Message.Texte.size(), 20u);
                if (t.Message.Texte != m)
                {
                    EXPECT_EQ(t.Message.Texte.substr(t.Message.Texte.size() - 3), "...");
                }
                EXPECT_EQ(t.Message.Texte.substr(0, 10), m.substr(0, 10));
            }
            for (const TexteEnPlace* texte : {&t.Position, &t.Analyse})
                if (texte->Texte != p && texte->Texte != analyse)
                {
                    EXPECT_EQ(texte->Texte.substr(texte->Texte.size() - 3), "...");
                }
        }
}

TEST(EditeurFenetre, TheCheckTooLongForTheLineIsReadWholeOnTheBand)
{
    // The 1366 x 768 laptop's window: the position and the check with the
    // clear check's summary do not both fit on the line.
    const Disposition d = Disposer(1246, 663);
    const std::string position = "col 12 row 6  life 50 bonus '2'   16x10  zoom 100%";
    const std::string analyse = "no findings  clears 10 of 10 bonuses in 33.3 s";
    const TextesEtat t = DisposerLigneEtat(d.Etat, position, analyse, "", 14);
    EXPECT_EQ(t.Analyse.Texte, analyse);
    EXPECT_EQ(t.Position.Texte, position);
    EXPECT_LT(t.Analyse.Y, d.Etat.Y);
    EXPECT_FALSE(t.FondAnalyse.Vide());
    // A short check stays on the line, with no box over the map.
    const TextesEtat court = DisposerLigneEtat(d.Etat, position, "no findings", "", 14);
    EXPECT_EQ(court.Analyse.Texte, "no findings");
    EXPECT_GE(court.Analyse.Y, d.Etat.Y);
    EXPECT_TRUE(court.FondAnalyse.Vide());
}

TEST(EditeurFenetre, RaccourcirCutsToTheWidthWithAnEllipsis)
{
    EXPECT_EQ(Raccourcir("grass", 70, 14), "grass");
    EXPECT_EQ(Raccourcir("grass tile", 70, 14), "gr...");
    EXPECT_EQ(Raccourcir("grass tile", 30, 14), "..");
    EXPECT_EQ(Raccourcir("grass tile", 0, 14), "");
    EXPECT_LE(LargeurTexte(Raccourcir(std::string(300, 'x'), 500, 12), 12), 500);
}

TEST(EditeurFenetre, TheTooltipStaysInsideTheWindowWhereverThePointerIs)
{
    const int l = 990, h = 543;
    for (int x : {0, 10, 500, 900, 989})
        for (int y : {0, 10, 300, 500, 542})
            for (const Zone& boite : {Zone{0, 0, 200, 60}, Zone{0, 0, 600, 202}, Zone{0, 0, 1200, 700}})
            {
                const Zone z = PlacerInfobulle(x, y, boite.Largeur, boite.Hauteur, l, h);
                EXPECT_TRUE(Dans(z, Zone{0, 0, l, h})) << x << "," << y << " " << boite.Largeur;
                // Beside the pointer when there is room: below and right of it.
                if (x + 16 + boite.Largeur <= l && y + 20 + boite.Hauteur <= h)
                {
                    EXPECT_EQ(z.X, x + 16);
                    EXPECT_EQ(z.Y, y + 20);
                }
            }
}

TEST(EditeurFenetre, TheFirstViewShowsTheStartAndTheWholeLevelWhenItIsReadable)
{
    struct Cas
    {
        int Colonnes, Lignes, DepartC, DepartL;
    };
    // A new level, the shipped level, a room, a long corridor with its start at the far end.
    const Cas niveaux[] = {{40, 15, 1, 12}, {92, 25, 3, 20}, {16, 10, 1, 7}, {400, 12, 398, 5}, {12, 300, 6, 297}};
    for (const Ecran& e : Ecrans)
        for (const Cas& n : niveaux)
        {
            SCOPED_TRACE(std::to_string(e.Largeur) + "x" + std::to_string(e.Hauteur) + " level " +
                         std::to_string(n.Colonnes) + "x" + std::to_string(n.Lignes));
            const PlaceFenetre p = PlacerFenetre(Zone{0, 0, e.Largeur, e.Hauteur}, Cadres[0]);
            const Disposition d = Disposer(p.Largeur, p.Hauteur);
            Vue v;
            v.LargeurZone = d.Carte.Largeur;
            v.HauteurZone = d.Carte.Hauteur;
            v.Ouvrir(n.Colonnes, n.Lignes, n.DepartC, n.DepartL);
            EXPECT_GE(v.Zoom, Vue::ZoomLisible);
            EXPECT_LE(v.Zoom, 1.0);
            // The start cell wholly in view.
            const double x0 = (n.DepartC * 64 - v.OrigineX) * v.Zoom, y0 = (n.DepartL * 64 - v.OrigineY) * v.Zoom;
            EXPECT_GE(x0, 0);
            EXPECT_GE(y0, 0);
            EXPECT_LE(x0 + 64 * v.Zoom, v.LargeurZone + 1e-6);
            EXPECT_LE(y0 + 64 * v.Zoom, v.HauteurZone + 1e-6);
            // The whole level when it fits at a readable zoom; never beyond its edges otherwise.
            const bool tient = v.ZoomMin(n.Colonnes, n.Lignes) >= Vue::ZoomLisible;
            if (tient)
            {
                EXPECT_LE(n.Colonnes * 64 * v.Zoom, v.LargeurZone + 1e-6);
                EXPECT_LE(n.Lignes * 64 * v.Zoom, v.HauteurZone + 1e-6);
            }
            else
            {
                EXPECT_DOUBLE_EQ(v.Zoom, 1.0);
                if (n.Colonnes * 64 > v.LargeurZone)
                {
                    EXPECT_GE(v.OrigineX, 0);
                    EXPECT_LE(v.OrigineX + v.LargeurZone, n.Colonnes * 64);
                }
            }
        }
    // A new level on the common laptop screen: at 1:1 (it does not fit at
    // half size) with the start cell and the floor under it in view.
    const PlaceFenetre p = PlacerFenetre(Zone{0, 0, 1366, 768}, Cadres[0]);
    Vue v;
    v.LargeurZone = Disposer(p.Largeur, p.Hauteur).Carte.Largeur;
    v.HauteurZone = Disposer(p.Largeur, p.Hauteur).Carte.Hauteur;
    v.Ouvrir(40, 15, 1, 12);
    EXPECT_DOUBLE_EQ(v.OrigineY + v.HauteurZone, 15 * 64.0);
}
