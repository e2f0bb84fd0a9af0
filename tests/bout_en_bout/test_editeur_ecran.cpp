// The real editor on the common screen sizes, each a virtual screen of its
// own: the whole window, its frame included, lies on the screen and is
// centred; its status line is drawn inside the screen; a new level's first
// picture shows its start cell; the size the designer gives the window comes
// back at the next start.
#include <gtest/gtest.h>

#include "aide/Affichage.h"
#include "aide/Aide.h"
#include "aide/Partie.h"
#include "aide/Processus.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>

namespace
{
    // A window's place on the screen and the frame the window manager put around it.
    struct Placement
    {
        int X = 0, Y = 0, Largeur = 0, Hauteur = 0;
        int Gauche = -1, Droite = -1, Haut = -1, Bas = -1;
        bool Cadre() const { return Gauche >= 0; }
    };

    Placement Placer(const std::string& fenetre)
    {
        Placement p;
        const std::string info = Sortie("xwininfo -id " + fenetre + " 2>/dev/null");
        auto valeur = [&](const std::string& cle)
        {
            const size_t i = info.find(cle);
            return i == std::string::npos ? -1 : std::atoi(info.c_str() + i + cle.size());
        };
        p.X = valeur("Absolute upper-left X:");
        p.Y = valeur("Absolute upper-left Y:");
        p.Largeur = valeur("Width:");
        p.Hauteur = valeur("Height:");
        const std::string cadre = Sortie("xprop -id " + fenetre + " _NET_FRAME_EXTENTS 2>/dev/null");
        const size_t egal = cadre.find(" = ");
        if (egal != std::string::npos)
            std::sscanf(cadre.c_str() + egal + 3, "%d, %d, %d, %d", &p.Gauche, &p.Droite, &p.Haut, &p.Bas);
        return p;
    }

    // Waits (on the real clock, `ms` at most) until `fini` holds of a picture of the window.
    bool AttendreImage(PartieJeu& programme, const std::string& chemin, ImageRGBA& image, int ms,
                       const std::function<bool(const ImageRGBA&)>& fini)
    {
        const auto limite = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        do
        {
            if (programme.CapturerFenetre(chemin, image) && fini(image))
                return true;
            Patienter(100);
        } while (std::chrono::steady_clock::now() < limite);
        return false;
    }

    // The status line: the dark band along the bottom of the level's view,
    // on a picture of the window.
    double PartLigneEtat(const ImageRGBA& fenetre)
    {
        const int y = fenetre.Hauteur - 4;
        int sombres = 0, n = 0;
        for (int x = 2; y > 0 && x < fenetre.Largeur - 230; ++x, ++n)
        {
            const uint8_t* q = fenetre.Pixel(x, y);
            // Its colour over the backdrop: dark, but not the black of a window never drawn.
            sombres += q[0] >= 10 && q[0] < 50 && q[1] >= 10 && q[1] < 50 && q[2] >= 14 && q[2] < 60;
        }
        return n > 0 ? static_cast<double>(sombres) / n : 0;
    }

    // Pixels of the start cell's magenta frame in the level's view.
    int PixelsDepart(const ImageRGBA& fenetre)
    {
        int n = 0;
        for (int y = 0; y < fenetre.Hauteur - 26; ++y)
            for (int x = 0; x < fenetre.Largeur - 224; ++x)
            {
                const uint8_t* q = fenetre.Pixel(x, y);
                n += q[0] > 200 && q[1] < 80 && q[2] > 200;
            }
        return n;
    }

    Programme EditeurSur(const std::string& fichier, const std::vector<std::string>& environnement = {})
    {
        Programme p;
        p.Binaire = DossierJeu() + "/corvella-editeur";
        p.Arguments = {fichier};
        p.MotifFenetre = "^Corvella editor";
        p.Environnement = environnement;
        return p;
    }

    // The editor's window framed, on the screen, centred within `ecart` pixels.
    ::testing::AssertionResult SurLEcranEtCentree(const Placement& p, int largeurEcran, int hauteurEcran, int ecart)
    {
        const int gauche = p.X - p.Gauche, haut = p.Y - p.Haut;
        const int droite = largeurEcran - (p.X + p.Largeur + p.Droite), bas = hauteurEcran - (p.Y + p.Hauteur + p.Bas);
        if (gauche < 0 || haut < 0 || droite < 0 || bas < 0 || std::abs(gauche - droite) > ecart ||
            std::abs(haut - bas) > ecart)
            return ::testing::AssertionFailure() << "frame margins left " << gauche << " right " << droite << " top "
                                                 << haut << " bottom " << bas;
        return ::testing::AssertionSuccess();
    }
}

TEST(EditeurBoutEnBout, OnEachCommonScreenTheFramedWindowIsOnItCentredWithItsStatusLineAndTheStartCell)
{
    const int ecrans[][2] = {{1024, 600}, {1280, 800}, {1366, 768}, {1920, 1080}, {2560, 1440}};
    for (const auto& e : ecrans)
    {
        const std::string nom = std::to_string(e[0]) + "x" + std::to_string(e[1]);
        SCOPED_TRACE(nom);
        AffichageVirtuel affichage(e[0], e[1]);
        ASSERT_TRUE(affichage.Pret()) << "no virtual screen " << nom;
        DossierTemporaire dossier;
        PartieJeu editeur(EditeurSur(dossier / "level.map"));
        ASSERT_TRUE(editeur.FenetreVisible()) << "the editor's window never appeared";
        // The first picture: the window framed and at its size (most of the
        // screen), drawn, its status line along its bottom.
        Placement p;
        ImageRGBA image;
        const std::string capture = std::filesystem::absolute("capture-editeur-ecran-" + nom + ".png").string();
        const bool dessinee = AttendreImage(editeur, capture, image, 20000, [&](const ImageRGBA& i)
                                            {
                                                p = Placer(editeur.Fenetre());
                                                return p.Cadre() && p.Largeur >= e[0] * 9 / 10 &&
                                                       p.Hauteur >= e[1] * 85 / 100 && i.Largeur == p.Largeur &&
                                                       i.Hauteur == p.Hauteur && PartLigneEtat(i) > 0.6;
                                            });
        ASSERT_TRUE(dessinee) << "no status line drawn; window " << p.Largeur << "x" << p.Hauteur << " at " << p.X
                              << "," << p.Y;
        EXPECT_TRUE(SurLEcranEtCentree(p, e[0], e[1], 8)) << p.Largeur << "x" << p.Hauteur;
        // The start cell in the first picture.
        EXPECT_GT(PixelsDepart(image), 150) << capture;
        editeur.Taper("ctrl+q");
        editeur.Taper("d");
        EXPECT_EQ(editeur.AttendreFin(20000), 0);
    }
}

TEST(EditeurBoutEnBout, TheSizeTheDesignerGivesTheWindowComesBackCentredAtTheNextStart)
{
    AffichageVirtuel affichage(1366, 768);
    ASSERT_TRUE(affichage.Pret()) << "no virtual screen";
    DossierTemporaire dossier;
    EcrireFichier(dossier / "level.map", LireTexte(DossierJeu() + "/Data/Maps/Map1.map"));
    const std::vector<std::string> config = {"XDG_CONFIG_HOME=" + (dossier / "config")};
    {
        PartieJeu editeur(EditeurSur(dossier / "level.map", config));
        ASSERT_TRUE(editeur.FenetreVisible()) << "the editor's window never appeared";
        // Settled at the size it chose from the screen (its first frame drawn
        // there) before the designer's resize, which it would otherwise undo.
        ImageRGBA premiere;
        const std::string premiereCapture = std::filesystem::absolute("capture-editeur-taille-0.png").string();
        ASSERT_TRUE(AttendreImage(editeur, premiereCapture, premiere, 30000, [&](const ImageRGBA& i)
                                  {
                                      return std::to_string(i.Largeur) + "x" + std::to_string(i.Hauteur) ==
                                                 Geometrie(editeur.Fenetre()) &&
                                             PartLigneEtat(i) > 0.6;
                                  }))
            << "no first frame at the window's size";
        Sortie("xdotool windowsize " + editeur.Fenetre() + " 1100 700");
        ASSERT_TRUE(AttendreGeometrie(editeur.Fenetre(), "1100x700")) << Geometrie(editeur.Fenetre());
        // Quit once the editor has the new size: its first frame at that size drawn.
        ImageRGBA image;
        const std::string capture = std::filesystem::absolute("capture-editeur-taille.png").string();
        EXPECT_TRUE(AttendreImage(editeur, capture, image, 20000, [&](const ImageRGBA& i)
                                  { return i.Largeur == 1100 && i.Hauteur == 700 && PartLigneEtat(i) > 0.6; }));
        editeur.Taper("ctrl+q");
        EXPECT_EQ(editeur.AttendreFin(20000), 0);
    }
    EXPECT_EQ(LireTexte(dossier / "config/corvella/editeur-fenetre"), "1100 700\n");
    PartieJeu editeur(EditeurSur(dossier / "level.map", config));
    ASSERT_TRUE(editeur.FenetreVisible()) << "the editor's window never appeared";
    EXPECT_TRUE(AttendreGeometrie(editeur.Fenetre(), "1100x700")) << Geometrie(editeur.Fenetre());
    Placement p;
    for (int essai = 0; essai < 100 && !(p = Placer(editeur.Fenetre())).Cadre(); ++essai)
        Patienter(100);
    EXPECT_TRUE(SurLEcranEtCentree(p, 1366, 768, 8));
    editeur.Taper("ctrl+q");
    EXPECT_EQ(editeur.AttendreFin(20000), 0);
}
