// The real editor keeps a designer's work and everyone else's: another
// program's change noticed and never overwritten without a question, two
// editors on one file, the autosave of a killed editor offered back with word
// of a newer file, a file the game cannot read, save as over another file, and
// an autosave written when the editor is asked to end.
#include <gtest/gtest.h>

#include "aide/Aide.h"
#include "aide/Partie.h"
#include "aide/Processus.h"

#include <csignal>
#include <filesystem>
#include <sys/stat.h>

namespace
{
    const std::string Niveau()
    {
        return LireTexte(DossierJeu() + "/Data/Maps/Map1.map");
    }

    // The editor on `fichier`, what it prints going to `journal`.
    Programme EditeurSur(const std::string& fichier, const std::string& journal)
    {
        Programme p;
        p.Binaire = "/bin/sh";
        p.Arguments = {"-c", "exec \"$0\" \"$1\" >\"$2\" 2>&1",
                       std::filesystem::absolute(DossierJeu() + "/corvella-editeur").string(), fichier, journal};
        p.MotifFenetre = "^Corvella editor - " + fichier;
        return p;
    }

    // Waits (the real clock: another process) for `motif` in the file, from
    // byte `depuis` on ("\nsaved ": a line that starts so).
    bool Attendre(const std::string& journal, const std::string& motif, int ms = 20000, size_t depuis = 0)
    {
        for (int t = 0; t <= ms; t += 100)
        {
            const std::string texte = "\n" + LireTexte(journal); // a line's start, the first one too
            if (texte.size() > depuis && texte.find(motif, depuis) != std::string::npos)
                return true;
            Patienter(100);
        }
        return false;
    }

    // Two windows one over the other: this one on top, under the pointer, takes the keys.
    void Viser(PartieJeu& p)
    {
        Sortie("xdotool windowraise " + p.Fenetre() + " windowfocus " + p.Fenetre() + " mousemove --window " +
               p.Fenetre() + " 60 60 2>/dev/null");
    }

    // Paints the cursor's cell, and waits for the unsaved mark in the title;
    // then the next cells to the right (the cell may hold that tile already).
    // With `fichier`, the mark is looked for in the title of any window of
    // the editor on that file (a dialog at start-up may come before the
    // window the test found is the one that stays).
    bool Peindre(PartieJeu& p, const std::string& fichier = "")
    {
        for (int essai = 0; essai < 4; ++essai)
        {
            // The keys go to the window with the focus: another editor's
            // window, still coming up, may have taken it since.
            if (essai > 0 && fichier.empty())
                Viser(p);
            if (essai > 0)
                p.Taper("shift+Right");
            p.Taper("space");
            for (int t = 0; t < 5000; t += 100)
            {
                const std::string titre =
                    fichier.empty() ? Sortie("xdotool getwindowname " + p.Fenetre() + " 2>/dev/null")
                                    : Sortie("xdotool search --name '" + fichier + " [*]$' getwindowname 2>/dev/null");
                if (titre.find(" *") != std::string::npos)
                    return true;
                Patienter(100);
            }
        }
        return false;
    }

    // Ctrl + s to one of two windows until `motif` comes (the other one, still
    // taking its size, may come over it meanwhile).
    bool Enregistrer(PartieJeu& p, const std::string& journal, const std::string& motif)
    {
        for (int essai = 0; essai < 3; ++essai)
        {
            Viser(p);
            p.Taper("ctrl+s");
            if (Attendre(journal, motif, 7000))
                return true;
        }
        return false;
    }

    // The autosaves beside `fichier` named after a session.
    std::vector<std::string> Autosaves(const std::string& fichier)
    {
        std::vector<std::string> a;
        const std::filesystem::path f(fichier);
        for (const auto& e : std::filesystem::directory_iterator(f.parent_path()))
            if (e.path().filename().string().rfind(f.filename().string() + ".autosave.", 0) == 0)
                a.push_back(e.path().string());
        return a;
    }

    // The level with one more bonus, as another program would write it.
    std::string AvecBonus(std::string texte)
    {
        size_t c = texte.find("[Map]\n") + 6;
        c = texte.find('\n', c) + 1 + 12;
        texte[c] = 'C';
        return texte;
    }
}

TEST(EditeurSauvegarde, AChangeOnDiskIsNoticedAndSavingOverItAsksAndKeepsIt)
{
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under xvfb-run";
    DossierTemporaire dossier;
    const std::string fichier = dossier / "F.map", journal = dossier / "journal";
    EcrireFichier(fichier, Niveau());
    PartieJeu editeur(EditeurSur(fichier, journal));
    ASSERT_TRUE(editeur.FenetreVisible()) << LireTexte(journal);
    ASSERT_TRUE(Peindre(editeur));
    const std::string ailleurs = "EDITED ELSEWHERE\n" + Niveau().substr(Niveau().find('\n') + 1);
    EcrireFichier(fichier, ailleurs);
    // Idle, the editor notices, on its status line and in its title.
    ASSERT_TRUE(Attendre(journal, "status: F.map changed on disk")) << LireTexte(journal);
    EXPECT_NE(Sortie("xdotool getwindowname " + editeur.Fenetre()).find("changed on disk"), std::string::npos);
    editeur.Taper("ctrl+s");
    ASSERT_TRUE(Attendre(journal, "dialog: F.map changed on disk")) << LireTexte(journal);
    EXPECT_EQ(LireTexte(fichier), ailleurs) << "saved without asking";
    editeur.Taper("o");
    ASSERT_TRUE(Attendre(journal, "\nsaved ")) << LireTexte(journal);
    EXPECT_EQ(LireTexte(fichier + ".~1~"), ailleurs);
    EXPECT_EQ(LireTexte(fichier + "~"), Niveau()) << "the file as the session found it";
    EXPECT_NE(LireTexte(fichier), ailleurs);
    editeur.Taper("ctrl+q");
    EXPECT_EQ(editeur.AttendreFin(20000), 0);
}

TEST(EditeurSauvegarde, TwoEditorsOnOneFileNeitherLosesTheOthersSave)
{
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under xvfb-run";
    DossierTemporaire dossier;
    const std::string fichier = dossier / "F.map";
    EcrireFichier(fichier, Niveau());
    PartieJeu a(EditeurSur(fichier, dossier / "a"));
    ASSERT_TRUE(a.FenetreVisible()) << LireTexte(dossier / "a");
    // The same file by another name: each window its own title.
    PartieJeu b(EditeurSur(dossier.Chemin() + "//F.map", dossier / "b"));
    ASSERT_TRUE(b.FenetreVisible()) << LireTexte(dossier / "b");
    Viser(a);
    ASSERT_TRUE(Peindre(a));
    ASSERT_TRUE(Enregistrer(a, dossier / "a", "\nsaved ")) << LireTexte(dossier / "a");
    const std::string deA = LireTexte(fichier);
    Viser(b);
    b.Taper("bracketright"); // another tile than A's
    ASSERT_TRUE(Peindre(b));
    ASSERT_TRUE(Enregistrer(b, dossier / "b", "dialog: F.map changed on disk")) << LireTexte(dossier / "b");
    EXPECT_EQ(LireTexte(fichier), deA);
    b.Taper("o");
    ASSERT_TRUE(Attendre(dossier / "b", "\nsaved ")) << LireTexte(dossier / "b");
    EXPECT_EQ(LireTexte(fichier + ".~1~"), deA) << Sortie("ls -la " + dossier.Chemin()) << LireTexte(dossier / "b");
    ASSERT_TRUE(Attendre(dossier / "a", "status: F.map changed on disk")) << LireTexte(dossier / "a");
    b.Taper("ctrl+q");
    EXPECT_EQ(b.AttendreFin(20000), 0);
    Viser(a);
    a.Taper("ctrl+q");
    EXPECT_EQ(a.AttendreFin(20000), 0);
}

TEST(EditeurSauvegarde, SigtermWritesAnAutosaveThatAKilledEditorLeavesAndTheNextStartOffers)
{
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under xvfb-run";
    DossierTemporaire dossier;
    const std::string fichier = dossier / "F.map", journal = dossier / "journal";
    EcrireFichier(fichier, Niveau());
    {
        PartieJeu editeur(EditeurSur(fichier, journal));
        ASSERT_TRUE(editeur.FenetreVisible()) << LireTexte(journal);
        ASSERT_TRUE(Peindre(editeur));
        ::kill(editeur.Pid(), SIGTERM);
        ASSERT_TRUE(Attendre(journal, "dialog: This level has unsaved changes")) << LireTexte(journal);
        ASSERT_EQ(Autosaves(fichier).size(), 1u) << LireTexte(journal);
        EXPECT_EQ(std::filesystem::status(Autosaves(fichier)[0]).permissions() &
                      std::filesystem::perms::others_read, std::filesystem::perms::none);
        ::kill(editeur.Pid(), SIGKILL);
        EXPECT_EQ(editeur.AttendreFin(20000), 128 + SIGKILL);
    }
    const std::string autosave = Autosaves(fichier)[0], contenu = LireTexte(autosave);
    EcrireFichier(fichier, AvecBonus(Niveau())); // another program adds a bonus
    const std::string journal2 = dossier / "journal2";
    {
        PartieJeu editeur(EditeurSur(fichier, journal2));
        ASSERT_TRUE(editeur.FenetreVisible()) << LireTexte(journal2);
        ASSERT_TRUE(Attendre(journal2, "dialog: An autosave")) << LireTexte(journal2);
        EXPECT_TRUE(Attendre(journal2, "has changed since this autosave", 0)) << LireTexte(journal2);
        editeur.Taper("n"); // keep the file as it is
        ASSERT_TRUE(Peindre(editeur, fichier)) << LireTexte(journal2);
        editeur.Taper("ctrl+q");
        ASSERT_TRUE(Attendre(journal2, "dialog: This level has unsaved changes")) << LireTexte(journal2);
        editeur.Taper("d"); // quit without saving: this session's changes only
        EXPECT_EQ(editeur.AttendreFin(20000), 0);
    }
    EXPECT_EQ(LireTexte(autosave), contenu) << "the autosave the designer kept is gone";
    EXPECT_EQ(LireTexte(fichier), AvecBonus(Niveau()));
    EXPECT_EQ(Autosaves(fichier).size(), 1u);
}

TEST(EditeurSauvegarde, AFileTheGameCannotReadAndAnotherFileInTheWayAskFirst)
{
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under xvfb-run";
    DossierTemporaire dossier;
    const std::string fichier = dossier / "d.map", autre = dossier / "x.map", journal = dossier / "journal";
    std::string cr = Niveau();
    for (char& c : cr)
        if (c == '\n')
            c = '\r';
    EcrireFichier(fichier, cr);
    EcrireFichier(autre, "someone's notes\n");
    PartieJeu editeur(EditeurSur(fichier, journal));
    ASSERT_TRUE(editeur.FenetreVisible()) << LireTexte(journal);
    ASSERT_TRUE(Attendre(journal, "dialog: The game cannot read this file")) << LireTexte(journal);
    editeur.Taper("Return");
    size_t depuis = LireTexte(journal).size();
    editeur.Taper("ctrl+s");
    ASSERT_TRUE(Attendre(journal, "dialog: The game cannot read d.map", 20000, depuis)) << LireTexte(journal);
    EXPECT_NE(LireTexte(journal).find("92 x 25", depuis), std::string::npos) << LireTexte(journal);
    editeur.Taper("n");
    EXPECT_EQ(LireTexte(fichier), cr);

    // Save as over another file: x.map (the name typed over d.map's).
    depuis = LireTexte(journal).size();
    editeur.Taper("ctrl+shift+s");
    ASSERT_TRUE(Attendre(journal, "dialog: Save as:", 20000, depuis)) << LireTexte(journal);
    for (int i = 0; i < 5; ++i)
        editeur.Taper("BackSpace");
    editeur.Taper("x");
    editeur.Taper("period");
    editeur.Taper("m");
    editeur.Taper("a");
    editeur.Taper("p");
    depuis = LireTexte(journal).size();
    editeur.Taper("Return");
    ASSERT_TRUE(Attendre(journal, "dialog: x.map already exists", 20000, depuis)) << LireTexte(journal);
    editeur.Taper("n");
    EXPECT_EQ(LireTexte(autre), "someone's notes\n");
    editeur.Taper("ctrl+q");
    EXPECT_EQ(editeur.AttendreFin(20000), 0);
    EXPECT_EQ(LireTexte(fichier), cr);
}

TEST(EditeurSauvegarde, AReadOnlyFileAsksBeforeBeingReplaced)
{
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under xvfb-run";
    DossierTemporaire dossier;
    const std::string fichier = dossier / "F.map", journal = dossier / "journal";
    EcrireFichier(fichier, Niveau());
    ::chmod(fichier.c_str(), 0444);
    PartieJeu editeur(EditeurSur(fichier, journal));
    ASSERT_TRUE(editeur.FenetreVisible()) << LireTexte(journal);
    ASSERT_TRUE(Peindre(editeur));
    editeur.Taper("ctrl+s");
    ASSERT_TRUE(Attendre(journal, "dialog: F.map is read-only")) << LireTexte(journal);
    EXPECT_EQ(LireTexte(fichier), Niveau());
    editeur.Taper("y");
    ASSERT_TRUE(Attendre(journal, "\nsaved ")) << LireTexte(journal);
    EXPECT_NE(LireTexte(fichier), Niveau());
    editeur.Taper("ctrl+q");
    EXPECT_EQ(editeur.AttendreFin(20000), 0);
}
