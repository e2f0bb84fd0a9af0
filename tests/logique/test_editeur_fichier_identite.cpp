// The editor's save keeps what the file is: owner and group (tested as root
// with a user and a group made for the test), mode, ACL and extended
// attributes; copies never more readable than the file; a link named like the
// backup never followed, a folder there told apart; a dangling link kept.
#include <gtest/gtest.h>

#include "aide/Aide.h"
#include "editeur/Fichier.h"
#include "editeur/FichierEdite.h"

#include <cstdlib>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <acl/libacl.h>
#include <sys/acl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace Edition;

namespace
{
    struct stat Etat(const std::string& chemin)
    {
        struct stat e{};
        ::lstat(chemin.c_str(), &e);
        return e;
    }

    // A user whose own group is not `Groupe`, a group it belongs to; made
    // for the tests and removed after them.
    class Invite
    {
    public:
        Invite()
        {
            if (::geteuid() != 0)
            {
                Raison = "not root: no user or group can be made";
                return;
            }
            // Fixed names: what a run killed before its end left is removed first.
            nomGroupe_ = "corvella-essai-g";
            nomUtilisateur_ = "corvella-essai";
            Retirer();
            if (std::system(("groupadd " + nomGroupe_ + " 2>/dev/null").c_str()) != 0 ||
                std::system(("useradd -M -U -G " + nomGroupe_ + " -s /usr/sbin/nologin " + nomUtilisateur_ +
                             " 2>/dev/null")
                                .c_str()) != 0)
            {
                Raison = "groupadd or useradd failed";
                return;
            }
            const passwd* p = ::getpwnam(nomUtilisateur_.c_str());
            const group* g = ::getgrnam(nomGroupe_.c_str());
            if (p == nullptr || g == nullptr)
            {
                Raison = "the new user or group cannot be found";
                return;
            }
            Uid = p->pw_uid;
            GidPropre = p->pw_gid;
            Groupe = g->gr_gid;
            Pret = true;
        }
        ~Invite()
        {
            if (!nomUtilisateur_.empty())
                Retirer();
        }
        void Retirer() const
        {
            std::system(("userdel " + nomUtilisateur_ + " 2>/dev/null; groupdel " + nomUtilisateur_ +
                         " 2>/dev/null; groupdel " + nomGroupe_ + " 2>/dev/null")
                            .c_str());
        }

        // Runs `f` as the user (its own group first, `Groupe` besides); its
        // result is the child's exit status.
        template <typename F> int Executer(F f) const
        {
            const pid_t pid = ::fork();
            if (pid == 0)
            {
                const gid_t groupes[] = {Groupe};
                if (::setgroups(1, groupes) != 0 || ::setgid(GidPropre) != 0 || ::setuid(Uid) != 0)
                    ::_exit(99);
                ::_exit(f());
            }
            int statut = 0;
            ::waitpid(pid, &statut, 0);
            return WIFEXITED(statut) ? WEXITSTATUS(statut) : 98;
        }

        bool Pret = false;
        std::string Raison;
        uid_t Uid = 0;
        gid_t GidPropre = 0, Groupe = 0;

    private:
        std::string nomUtilisateur_, nomGroupe_;
    };

    // A level of one cell, for the files a session opens.
    std::string Carte(char c)
    {
        return std::string("[Infos]\nHauteur=1\nLargeur=1\nPosDebutX=1\nPosDebutY=1\n[Map]\n") + c + "\n";
    }

    const Invite& LInvite()
    {
        static Invite invite;
        return invite;
    }
}

TEST(EditeurFichierIdentite, OwnerAndGroupAreKeptWhereTheUserMayAndSaidBeforeWhereNot)
{
    const Invite& invite = LInvite();
    if (!invite.Pret)
        GTEST_SKIP() << invite.Raison;
    ::umask(022);
    DossierTemporaire dossier;
    ::chmod(dossier.Chemin().c_str(), 0755);
    const std::string partage = dossier / "partage";
    CreerDossiers(partage);
    ::chown(partage.c_str(), invite.Uid, invite.Groupe);
    ::chmod(partage.c_str(), 0775);

    // Root saves the user's level: it stays the user's, in its group, and so does the copy.
    const std::string sien = partage + "/sien.map";
    EcrireFichier(sien, "old");
    ::chown(sien.c_str(), invite.Uid, invite.Groupe);
    ::chmod(sien.c_str(), 0664);
    std::string erreur;
    ASSERT_TRUE(EnregistrerAtomique(sien, "new", true, erreur)) << erreur;
    for (const std::string& f : {sien, sien + "~"})
    {
        EXPECT_EQ(Etat(f).st_uid, invite.Uid) << f;
        EXPECT_EQ(Etat(f).st_gid, invite.Groupe) << f;
        EXPECT_EQ(Etat(f).st_mode & 07777, 0664u) << f;
    }

    // A 0664 root level of the shared group, saved by the user, a member: the
    // group is kept, the owner cannot be, and the editor says so before.
    const std::string commun = partage + "/commun.map";
    EcrireFichier(commun, "old");
    ::chown(commun.c_str(), 0, invite.Groupe);
    ::chmod(commun.c_str(), 0664);
    const int statut = invite.Executer(
        [&]
        {
            std::string e;
            if (!EnregistrerAtomique(commun, "by the user", true, e))
                return 1;
            return 0;
        });
    EXPECT_EQ(statut, 0);
    EXPECT_EQ(LireTexte(commun), "by the user");
    EXPECT_EQ(Etat(commun).st_gid, invite.Groupe);
    EXPECT_EQ(Etat(commun).st_mode & 07777, 0664u);

    const std::string autre = partage + "/autre.map";
    EcrireFichier(autre, Carte('b'));
    ::chown(autre.c_str(), 0, invite.Groupe);
    ::chmod(autre.c_str(), 0664);
    const int enPlace = invite.Executer(
        [&]
        {
            CFichierEdite f(autre);
            if (!f.Ouvrir().Reussi)
                return 1;
            const Preparation p = f.Preparer(autre);
            // The owner is named before saving; the group is not lost.
            if (p.NonGarde.size() != 1 || p.NonGarde[0].find("owner root") == std::string::npos)
                return 2;
            if (f.Enregistrer(Carte('B'), autre, Choix()).Etat != ResultatEnregistrement::AConfirmer)
                return 3;
            Choix c;
            c.EnPlace = true;
            return f.Enregistrer(Carte('B'), autre, c).Etat == ResultatEnregistrement::Enregistre ? 0 : 4;
        });
    EXPECT_EQ(enPlace, 0);
    EXPECT_EQ(LireTexte(autre), Carte('B'));
    EXPECT_EQ(Etat(autre).st_uid, 0u);
    EXPECT_EQ(Etat(autre).st_gid, invite.Groupe);
}

TEST(EditeurFichierIdentite, AReadOnlyFolderWithAWritableFileIsWrittenInPlaceAfterACopyElsewhere)
{
    const Invite& invite = LInvite();
    if (!invite.Pret)
        GTEST_SKIP() << invite.Raison;
    DossierTemporaire dossier;
    ::chmod(dossier.Chemin().c_str(), 0755);
    const std::string ferme = dossier / "ferme";
    const std::string etat = dossier / "etat";
    CreerDossiers(ferme);
    CreerDossiers(etat);
    ::chown(etat.c_str(), invite.Uid, invite.GidPropre);
    const std::string carte = ferme + "/level.map";
    EcrireFichier(carte, Carte('b'));
    ::chmod(carte.c_str(), 0666);
    ::chmod(ferme.c_str(), 0555);
    ::setenv("XDG_STATE_HOME", etat.c_str(), 1);
    const int statut = invite.Executer(
        [&]
        {
            CFichierEdite f(carte);
            if (!f.Ouvrir().Reussi)
                return 1;
            const Preparation p = f.Preparer(carte);
            if (!p.EnPlace || p.Copie.compare(0, etat.size(), etat) != 0 || p.NoteCopie.empty() || p.AQuestions())
                return 2;
            std::string e;
            // The autosave goes to the state folder too.
            if (!f.Autosave("edited", e) || f.CheminAutosave().compare(0, etat.size(), etat) != 0)
                return 3;
            const ResultatEnregistrement r = f.Enregistrer(Carte('B'), carte, Choix());
            if (r.Etat != ResultatEnregistrement::Enregistre || r.Copies != std::vector<std::string>{p.Copie})
                return 4;
            return LireTexte(p.Copie).find("[Map]\nb\n") != std::string::npos ? 0 : 5;
        });
    ::unsetenv("XDG_STATE_HOME");
    EXPECT_EQ(statut, 0);
    EXPECT_EQ(LireTexte(carte), Carte('B'));
}

TEST(EditeurFichierIdentite, AclAndExtendedAttributesAreKeptAndCopiesAreNeverMoreReadable)
{
    ::umask(022);
    DossierTemporaire dossier;
    const std::string carte = dossier / "level.map";
    EcrireFichier(carte, "old");
    ::chmod(carte.c_str(), 0640);
    const acl_t acl = ::acl_from_text("u::rw-,u:12345:r--,g::r--,m::r--,o::---");
    ASSERT_NE(acl, nullptr);
    const bool avecAcl = ::acl_set_file(carte.c_str(), ACL_TYPE_ACCESS, acl) == 0;
    ::acl_free(acl);
    const bool avecAttribut = ::setxattr(carte.c_str(), "user.corvella", "Zoe", 3, 0) == 0;
    if (!avecAcl || !avecAttribut)
        GTEST_SKIP() << "this file system takes no ACL or extended attribute";

    std::string erreur;
    ASSERT_TRUE(EnregistrerAtomique(carte, "new", true, erreur)) << erreur;
    for (const std::string& f : {carte, carte + "~"})
    {
        const acl_t lue = ::acl_get_file(f.c_str(), ACL_TYPE_ACCESS);
        ASSERT_NE(lue, nullptr);
        char* texte = ::acl_to_any_text(lue, nullptr, ',', TEXT_NUMERIC_IDS);
        EXPECT_NE(std::string(texte).find("user:12345:r--"), std::string::npos) << f << ": " << texte;
        ::acl_free(texte);
        ::acl_free(lue);
        char valeur[8] = {};
        EXPECT_EQ(::getxattr(f.c_str(), "user.corvella", valeur, sizeof valeur), 3) << f;
        EXPECT_STREQ(valeur, "Zoe") << f;
        EXPECT_EQ(Etat(f).st_mode & 0777, 0640u) << f;
    }

    // A private level leaves private copies; the autosave is private whatever the file.
    const std::string prive = dossier / "prive.map";
    EcrireFichier(prive, Carte('b'));
    ::chmod(prive.c_str(), 0600);
    ASSERT_TRUE(EnregistrerAtomique(prive, "second", true, erreur)) << erreur;
    EXPECT_EQ(Etat(prive + "~").st_mode & 0777, 0600u);
    const std::string public_ = dossier / "public.map";
    EcrireFichier(public_, "x");
    ::chmod(public_.c_str(), 0644);
    for (const std::string& f : {prive, public_})
    {
        CFichierEdite session(f);
        ASSERT_TRUE(session.Ouvrir().Reussi);
        ASSERT_TRUE(session.Autosave("edited", erreur)) << erreur;
        EXPECT_EQ(Etat(session.CheminAutosave()).st_mode & 0777, f == prive ? 0600u : 0640u) << f;
        session.JeterAutosave();
    }
}

TEST(EditeurFichierIdentite, AReadOnlyFileAndAHardLinkAreToldBeforeSaving)
{
    DossierTemporaire dossier;
    const std::string carte = dossier / "level.map";
    EcrireFichier(carte, Carte('b'));
    ::chmod(carte.c_str(), 0444);
    CFichierEdite f(carte);
    ASSERT_TRUE(f.Ouvrir().Reussi);
    EXPECT_TRUE(f.Preparer(carte).LectureSeule);
    EXPECT_EQ(f.Enregistrer(Carte('B'), carte, Choix()).Etat, ResultatEnregistrement::AConfirmer);
    EXPECT_EQ(LireTexte(carte), Carte('b'));
    Choix oui;
    oui.RemplacerLectureSeule = true;
    ASSERT_EQ(f.Enregistrer(Carte('B'), carte, oui).Etat, ResultatEnregistrement::Enregistre);
    EXPECT_EQ(LireTexte(carte), Carte('B'));
    EXPECT_EQ(Etat(carte).st_mode & 07777, 0444u);

    // A second name for the level: replacing the file would leave it the old level.
    const std::string lie = dossier / "linked.map";
    const std::string lien = dossier / "other-name.map";
    EcrireFichier(lie, Carte('b'));
    ASSERT_EQ(::link(lie.c_str(), lien.c_str()), 0);
    CFichierEdite g(lie);
    ASSERT_TRUE(g.Ouvrir().Reussi);
    const Preparation p = g.Preparer(lie);
    ASSERT_EQ(p.NonGarde.size(), 1u);
    EXPECT_NE(p.NonGarde[0].find("hard link"), std::string::npos) << p.NonGarde[0];
    EXPECT_EQ(g.Enregistrer(Carte('B'), lie, Choix()).Etat, ResultatEnregistrement::AConfirmer);
    Choix enPlace;
    enPlace.EnPlace = true;
    ASSERT_EQ(g.Enregistrer(Carte('B'), lie, enPlace).Etat, ResultatEnregistrement::Enregistre);
    EXPECT_EQ(LireTexte(lien), Carte('B'));
    EXPECT_EQ(LireTexte(lie + "~"), Carte('b'));
}

TEST(EditeurFichierIdentite, ALinkNamedLikeTheBackupIsNeverFollowedAndAFolderThereIsToldApart)
{
    DossierTemporaire dossier;
    const std::string carte = dossier / "level.map";
    const std::string autre = dossier / "other.txt";
    EcrireFichier(carte, "old");
    EcrireFichier(autre, "someone's notes");
    ASSERT_EQ(::symlink("other.txt", (carte + "~").c_str()), 0);
    std::string erreur;
    ASSERT_TRUE(EnregistrerAtomique(carte, "new", true, erreur)) << erreur;
    EXPECT_EQ(LireTexte(autre), "someone's notes");
    EXPECT_EQ(LireTexte(carte), "new");

    // A folder named like the backup: a message of its own, the file as it was.
    const std::string bloque = dossier / "blocked.map";
    EcrireFichier(bloque, Carte('b'));
    CreerDossiers(bloque + "~");
    EXPECT_FALSE(EnregistrerAtomique(bloque, "new", true, erreur));
    EXPECT_NE(erreur.find("blocked.map~ is a folder"), std::string::npos) << erreur;
    EXPECT_NE(erreur.find("previous version cannot be kept"), std::string::npos) << erreur;
    EXPECT_EQ(LireTexte(bloque), Carte('b'));

    // The session saves anyway, with the copy in the state folder, and says where.
    const std::string etat = dossier / "state";
    ::setenv("XDG_STATE_HOME", etat.c_str(), 1);
    CFichierEdite f(bloque);
    ASSERT_TRUE(f.Ouvrir().Reussi);
    const Preparation p = f.Preparer(bloque);
    EXPECT_FALSE(p.AQuestions());
    EXPECT_NE(p.NoteCopie.find("is a folder"), std::string::npos) << p.NoteCopie;
    const ResultatEnregistrement r = f.Enregistrer(Carte('B'), bloque, Choix());
    ::unsetenv("XDG_STATE_HOME");
    ASSERT_EQ(r.Etat, ResultatEnregistrement::Enregistre) << r.Erreur;
    ASSERT_EQ(r.Copies.size(), 1u);
    EXPECT_EQ(r.Copies[0].compare(0, etat.size(), etat), 0) << r.Copies[0];
    EXPECT_EQ(LireTexte(r.Copies[0]), Carte('b'));
    EXPECT_TRUE(S_ISDIR(Etat(bloque + "~").st_mode));
}

TEST(EditeurFichierIdentite, ADanglingLinkStaysALinkAndTheBackupOfALinkIsBesideItsTarget)
{
    DossierTemporaire dossier;
    const std::string lien = dossier / "level.map";
    CreerDossiers(dossier / "real");
    ASSERT_EQ(::symlink("real/level.map", lien.c_str()), 0);
    std::string erreur;
    ASSERT_TRUE(EnregistrerAtomique(lien, Carte('b'), true, erreur)) << erreur;
    EXPECT_TRUE(S_ISLNK(Etat(lien).st_mode));
    EXPECT_EQ(LireTexte(dossier / "real/level.map"), Carte('b'));

    // A new file claims no backup; the link's backup is its target's.
    const std::string nouveau = dossier / "new.map";
    CFichierEdite n(nouveau);
    ASSERT_TRUE(n.Ouvrir().Nouveau);
    EXPECT_EQ(n.Preparer(nouveau).Copie, "");
    CFichierEdite f(lien);
    ASSERT_TRUE(f.Ouvrir().Reussi);
    EXPECT_EQ(f.Preparer(lien).Copie, dossier / "real/level.map~");
    const ResultatEnregistrement r = f.Enregistrer(Carte('B'), lien, Choix());
    ASSERT_EQ(r.Etat, ResultatEnregistrement::Enregistre) << r.Erreur;
    EXPECT_EQ(LireTexte(dossier / "real/level.map~"), Carte('b'));
    EXPECT_TRUE(S_ISLNK(Etat(lien).st_mode));
}
