// A session of the editor on a file: another program's change noticed before
// saving, two editors on one file, one autosave per session and those left by
// dead sessions offered with whether the file changed since, the backup of the
// file as the session found it, save as over another file, the text before
// the sections and a file the loader cannot read.
#include <gtest/gtest.h>

#include "aide/Aide.h"
#include "editeur/Document.h"
#include "editeur/FichierEdite.h"

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Edition;

namespace
{
    std::string Carte(char c)
    {
        return std::string("[Infos]\nHauteur=1\nLargeur=1\nPosDebutX=1\nPosDebutY=1\n[Map]\n") + c + "\n";
    }

    std::vector<std::string> Noms(const std::string& dossier)
    {
        std::vector<std::string> noms;
        for (const auto& e : std::filesystem::directory_iterator(dossier))
            noms.push_back(e.path().filename().string());
        std::sort(noms.begin(), noms.end());
        return noms;
    }

    // A session that writes its autosave and dies without a word, as under kill -9.
    void SessionTuee(const std::string& chemin, const std::string& octets)
    {
        const pid_t pid = ::fork();
        if (pid == 0)
        {
            CFichierEdite f(chemin);
            std::string erreur;
            ::_exit(f.Ouvrir().Reussi && f.Autosave(octets, erreur) ? 0 : 1);
        }
        int statut = 0;
        ::waitpid(pid, &statut, 0);
        ASSERT_TRUE(WIFEXITED(statut) && WEXITSTATUS(statut) == 0);
    }
}

TEST(EditeurFichierSession, AChangeMadeElsewhereIsNoticedAndNeverOverwrittenUnasked)
{
    DossierTemporaire dossier;
    const std::string carte = dossier / "level.map";
    EcrireFichier(carte, Carte('b'));
    CFichierEdite f(carte);
    ASSERT_TRUE(f.Ouvrir().Reussi);
    EXPECT_EQ(f.Verifier(), EtatDisque::Inchange);

    // The same bytes written again are no change.
    EcrireFichier(carte, Carte('b'));
    EXPECT_EQ(f.Verifier(), EtatDisque::Inchange);

    // A change of the same size within the clock's tick escapes the idle
    // check's stat, never the check before saving.
    struct stat avant;
    ASSERT_EQ(::stat(carte.c_str(), &avant), 0);
    EcrireFichier(carte, Carte('m'));
    const timespec temps[2] = {avant.st_atim, avant.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, carte.c_str(), temps, 0), 0);
    EXPECT_EQ(f.Verifier(), EtatDisque::Inchange);
    EXPECT_EQ(f.Preparer(carte).Disque, EtatDisque::Modifie);

    EcrireFichier(carte, "EDITED ELSEWHERE\n" + Carte('b'));
    EXPECT_EQ(f.Verifier(), EtatDisque::Modifie);
    EXPECT_EQ(f.Preparer(carte).Disque, EtatDisque::Modifie);
    EXPECT_EQ(f.Enregistrer(Carte('B'), carte, Choix()).Etat, ResultatEnregistrement::AConfirmer);
    EXPECT_EQ(LireTexte(carte), "EDITED ELSEWHERE\n" + Carte('b'));

    // Overwritten when asked: the other program's version is kept, and F~ is
    // the file as the session found it.
    Choix ecraser;
    ecraser.EcraserModifie = true;
    const ResultatEnregistrement r = f.Enregistrer(Carte('B'), carte, ecraser);
    ASSERT_EQ(r.Etat, ResultatEnregistrement::Enregistre) << r.Erreur;
    EXPECT_EQ(r.Copies, (std::vector<std::string>{carte + ".~1~", carte + "~"}));
    EXPECT_EQ(LireTexte(carte + ".~1~"), "EDITED ELSEWHERE\n" + Carte('b'));
    EXPECT_EQ(LireTexte(carte + "~"), Carte('b'));
    EXPECT_EQ(f.Verifier(), EtatDisque::Inchange);

    ::unlink(carte.c_str());
    EXPECT_EQ(f.Verifier(), EtatDisque::Supprime);
}

TEST(EditeurFichierSession, TwoEditorsOnOneFileKeepEachOthersWork)
{
    DossierTemporaire dossier;
    const std::string carte = dossier / "level.map";
    EcrireFichier(carte, Carte('b'));
    CFichierEdite a(carte), b(carte);
    ASSERT_TRUE(a.Ouvrir().Reussi);
    ASSERT_TRUE(b.Ouvrir().Reussi);
    std::string erreur;
    ASSERT_TRUE(a.Autosave(Carte('m'), erreur)) << erreur;
    ASSERT_TRUE(b.Autosave(Carte('w'), erreur)) << erreur;

    // One autosave each, named for its session, private, no temporary file left.
    EXPECT_NE(a.CheminAutosave(), b.CheminAutosave());
    EXPECT_NE(a.CheminAutosave().find(std::to_string(::getpid())), std::string::npos) << a.CheminAutosave();
    EXPECT_EQ(LireTexte(a.CheminAutosave()).find(Carte('m')) != std::string::npos, true);
    EXPECT_EQ(Noms(dossier.Chemin()).size(), 3u);
    EXPECT_EQ(::access(a.CheminAutosave().c_str(), F_OK), 0);
    struct stat etat;
    ASSERT_EQ(::stat(b.CheminAutosave().c_str(), &etat), 0);
    EXPECT_EQ(etat.st_mode & 0027, 0u);
    // A running session's autosave is not offered to another.
    EXPECT_TRUE(b.AutosavesLaisses().empty());

    // A saves; B's autosave stays, and B is told before it overwrites A's cell.
    ASSERT_EQ(a.Enregistrer(Carte('m'), carte, Choix()).Etat, ResultatEnregistrement::Enregistre);
    EXPECT_FALSE(std::filesystem::exists(a.CheminAutosave()));
    EXPECT_TRUE(std::filesystem::exists(b.CheminAutosave()));
    EXPECT_EQ(b.Verifier(), EtatDisque::Modifie);
    EXPECT_EQ(b.Enregistrer(Carte('w'), carte, Choix()).Etat, ResultatEnregistrement::AConfirmer);
    EXPECT_EQ(LireTexte(carte), Carte('m'));
}

TEST(EditeurFichierSession, AnAutosaveLeftByADeadSessionIsOfferedWithWhetherTheFileChangedSince)
{
    DossierTemporaire dossier;
    const std::string carte = dossier / "level.map";
    EcrireFichier(carte, Carte('b'));
    SessionTuee(carte, Carte('m'));

    CFichierEdite f(carte);
    ASSERT_TRUE(f.Ouvrir().Reussi);
    std::vector<AutosaveLaisse> laisses = f.AutosavesLaisses();
    ASSERT_EQ(laisses.size(), 1u);
    EXPECT_EQ(laisses[0].Octets, Carte('m'));
    EXPECT_FALSE(laisses[0].FichierChange);
    EXPECT_LE(std::abs(laisses[0].Moment - std::time(nullptr)), 60);

    // Another program adds a bonus: the same autosave now comes with a warning.
    EcrireFichier(carte, Carte('1'));
    CFichierEdite g(carte);
    ASSERT_TRUE(g.Ouvrir().Reussi);
    laisses = g.AutosavesLaisses();
    ASSERT_EQ(laisses.size(), 1u);
    EXPECT_TRUE(laisses[0].FichierChange);

    // An autosave that holds what the file holds is dropped, not offered.
    SessionTuee(carte, Carte('W'));
    EcrireFichier(carte, Carte('W'));
    CFichierEdite h(carte);
    ASSERT_TRUE(h.Ouvrir().Reussi);
    laisses = h.AutosavesLaisses();
    ASSERT_EQ(laisses.size(), 1u);
    EXPECT_EQ(laisses[0].Octets, Carte('m'));
}

TEST(EditeurFichierSession, KeepingTheFileKeepsTheAutosaveUntilItsContentIsSavedOrDiscarded)
{
    DossierTemporaire dossier;
    const std::string carte = dossier / "level.map";
    EcrireFichier(carte, Carte('b'));
    SessionTuee(carte, Carte('m'));

    {
        // "Keep the file as it is": this session autosaves, then quits unsaved.
        CFichierEdite f(carte);
        ASSERT_TRUE(f.Ouvrir().Reussi);
        ASSERT_EQ(f.AutosavesLaisses().size(), 1u);
        std::string erreur;
        ASSERT_TRUE(f.Autosave(Carte('w'), erreur));
        f.JeterAutosave();
    }
    CFichierEdite g(carte);
    ASSERT_TRUE(g.Ouvrir().Reussi);
    std::vector<AutosaveLaisse> laisses = g.AutosavesLaisses();
    ASSERT_EQ(laisses.size(), 1u);
    EXPECT_EQ(laisses[0].Octets, Carte('m'));

    // Restored and saved: it has done its work.
    g.Recupere(laisses[0]);
    ASSERT_EQ(g.Enregistrer(laisses[0].Octets, carte, Choix()).Etat, ResultatEnregistrement::Enregistre);
    EXPECT_FALSE(std::filesystem::exists(laisses[0].Chemin));

    // Discarded when the designer says so.
    SessionTuee(carte, Carte('W'));
    CFichierEdite h(carte);
    ASSERT_TRUE(h.Ouvrir().Reussi);
    laisses = h.AutosavesLaisses();
    ASSERT_EQ(laisses.size(), 1u);
    EXPECT_TRUE(h.Jeter(laisses[0]));
    EXPECT_TRUE(h.AutosavesLaisses().empty());
}

TEST(EditeurFichierSession, UndoingBackToTheSavedStateDropsTheAutosave)
{
    DossierTemporaire dossier;
    const std::string carte = dossier / "level.map";
    EcrireFichier(carte, Carte('b'));
    CFichierEdite f(carte);
    const Ouverture o = f.Ouvrir();
    ASSERT_TRUE(o.Reussi);
    Document d(o.Carte);
    d.PeindreCase(0, 0, 'm');
    std::string erreur;
    ASSERT_TRUE(f.Autosave(EcrireCarte(d.Courant(), o.Format), erreur));
    EXPECT_TRUE(std::filesystem::exists(f.CheminAutosave()));
    d.Annuler();
    ASSERT_TRUE(f.Autosave(EcrireCarte(d.Courant(), o.Format), erreur));
    EXPECT_FALSE(std::filesystem::exists(f.CheminAutosave()));
    EXPECT_TRUE(CFichierEdite(carte).AutosavesLaisses().empty());
}

TEST(EditeurFichierSession, TheBackupIsTheFileAsTheSessionFoundIt)
{
    DossierTemporaire dossier;
    const std::string carte = dossier / "level.map";
    EcrireFichier(carte, Carte('b'));
    {
        CFichierEdite f(carte);
        ASSERT_TRUE(f.Ouvrir().Reussi);
        ASSERT_EQ(f.Enregistrer(Carte('B'), carte, Choix()).Etat, ResultatEnregistrement::Enregistre);
        const ResultatEnregistrement r = f.Enregistrer(Carte('m'), carte, Choix());
        ASSERT_EQ(r.Etat, ResultatEnregistrement::Enregistre);
        EXPECT_TRUE(r.Copies.empty());
        EXPECT_EQ(f.Preparer(carte).Copie, "");
        EXPECT_EQ(LireTexte(carte + "~"), Carte('b'));
    }
    // The next session's first save keeps the file as that session found it.
    CFichierEdite g(carte);
    ASSERT_TRUE(g.Ouvrir().Reussi);
    ASSERT_EQ(g.Enregistrer(Carte('w'), carte, Choix()).Etat, ResultatEnregistrement::Enregistre);
    EXPECT_EQ(LireTexte(carte + "~"), Carte('m'));
}

TEST(EditeurFichierSession, SaveAsAsksBeforeReplacingAnotherFile)
{
    DossierTemporaire dossier;
    const std::string carte = dossier / "level.map";
    const std::string autre = dossier / "other.map";
    const std::string nouveau = dossier / "new.map";
    EcrireFichier(carte, Carte('b'));
    EcrireFichier(autre, Carte('W'));
    CFichierEdite f(carte);
    ASSERT_TRUE(f.Ouvrir().Reussi);
    std::string erreur;
    ASSERT_TRUE(f.Autosave(Carte('m'), erreur));
    const std::string autosave = f.CheminAutosave();

    EXPECT_TRUE(f.Preparer(autre).CibleExiste);
    EXPECT_FALSE(f.Preparer(nouveau).AQuestions());
    EXPECT_EQ(f.Enregistrer(Carte('m'), autre, Choix()).Etat, ResultatEnregistrement::AConfirmer);
    EXPECT_EQ(LireTexte(autre), Carte('W'));
    Choix remplacer;
    remplacer.RemplacerExistant = true;
    ASSERT_EQ(f.Enregistrer(Carte('m'), autre, remplacer).Etat, ResultatEnregistrement::Enregistre);
    EXPECT_EQ(LireTexte(autre), Carte('m'));
    EXPECT_EQ(LireTexte(autre + "~"), Carte('W'));
    EXPECT_EQ(LireTexte(carte), Carte('b'));
    EXPECT_EQ(f.Chemin(), autre);
    EXPECT_FALSE(std::filesystem::exists(autosave));
}

TEST(EditeurFichierSession, TheTextBeforeTheSectionsIsKeptByteForByte)
{
    const std::string entete = "Level 3 [hard] - by Zoe\r\nnote 1 [x\nnote 2 ]\n[Notes]\nmore notes\n";
    std::string notes;
    for (int i = 3; i <= 10; ++i)
        notes += "note " + std::to_string(i) + "\n";
    const std::string texte = entete + notes + Carte('b');
    const Ouverture o = AnalyserCarte(texte, "x.map");
    ASSERT_TRUE(o.Reussi);
    EXPECT_EQ(o.Format.Entete, entete + notes);
    EXPECT_EQ(EcrireCarte(o.Carte, o.Format), texte);
    EXPECT_EQ(o.Carte.Case(0, 0), 'b');
}

TEST(EditeurFichierSession, AFileTheLoaderCannotReadIsNeverSavedOverUnasked)
{
    const std::string chemin = std::string(CORVELLA_RACINE_SOURCES) + "/Data/Maps/Map1.map";
    std::string octets = LireTexte(chemin);
    ASSERT_FALSE(octets.empty());
    std::replace(octets.begin(), octets.end(), '\n', '\r');
    DossierTemporaire dossier;
    const std::string carte = dossier / "d.map";
    EcrireFichier(carte, octets);

    CFichierEdite f(carte);
    const Ouverture o = f.Ouvrir();
    ASSERT_TRUE(o.Reussi);
    EXPECT_TRUE(o.Illisible);
    ASSERT_FALSE(o.Pertes.empty());
    EXPECT_NE(o.Pertes[0].find("92 x 25 with 10 bonuses"), std::string::npos) << o.Pertes[0];
    EXPECT_NE(o.Pertes[0].find("CR alone"), std::string::npos) << o.Pertes[0];
    const Preparation p = f.Preparer(carte);
    EXPECT_TRUE(p.Illisible);
    EXPECT_EQ(p.Pertes, o.Pertes);
    const std::string vide = EcrireCarte(o.Carte, o.Format);
    EXPECT_EQ(f.Enregistrer(vide, carte, Choix()).Etat, ResultatEnregistrement::AConfirmer);
    EXPECT_EQ(LireTexte(carte), octets);
    Choix oui;
    oui.RemplacerIllisible = true;
    ASSERT_EQ(f.Enregistrer(vide, carte, oui).Etat, ResultatEnregistrement::Enregistre);
    EXPECT_EQ(LireTexte(carte + "~"), octets);
    EXPECT_FALSE(f.Preparer(carte).Illisible);

    // An empty file is a new level: nothing to lose.
    EXPECT_FALSE(AnalyserCarte("", "e.map").Illisible);
}
