// The live analysis runner: a child process per request, polled without
// blocking. Its results must be those of a direct analysis; a new request
// replaces a running one; a child that dies or hangs gives a failed state and
// is reaped (no zombie left behind).
#include "test_outil_carte_aide.h"

#include "analyse/AnalyseVivante.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

using namespace EssaisOutilCarte;
using AnalyseCarte::AnalyseVivante;
using AnalyseCarte::Rapport;

namespace
{
    const int Patience = 60000; // ms: generous, for the sanitizer build on a busy machine

    std::string Octets(const std::string& chemin)
    {
        std::string octets;
        std::string erreur;
        EXPECT_TRUE(AnalyseCarte::LireFichier(chemin, octets, erreur)) << chemin << ": " << erreur;
        return octets;
    }

    // Everything but the time the search took.
    void ExpectMemeRapport(const Rapport& a, const Rapport& b)
    {
        ASSERT_EQ(a.Constats.size(), b.Constats.size());
        for (size_t i = 0; i < a.Constats.size(); ++i)
        {
            const AnalyseCarte::Constat& x = a.Constats[i];
            const AnalyseCarte::Constat& y = b.Constats[i];
            EXPECT_EQ(x.Ligne, y.Ligne);
            EXPECT_EQ(x.Colonne, y.Colonne);
            EXPECT_EQ(x.CaseColonne, y.CaseColonne);
            EXPECT_EQ(x.CaseLigne, y.CaseLigne);
            EXPECT_EQ(x.Niveau, y.Niveau);
            EXPECT_EQ(x.Genre, y.Genre);
            EXPECT_EQ(x.Message, y.Message);
        }
        EXPECT_EQ(a.Omis, b.Omis);
        EXPECT_EQ(a.RechercheLancee, b.RechercheLancee);
        EXPECT_EQ(a.RechercheComplete, b.RechercheComplete);
        EXPECT_EQ(a.Etats, b.Etats);
        EXPECT_EQ(a.Pas, b.Pas);
        EXPECT_EQ(a.Largeur, b.Largeur);
        EXPECT_EQ(a.Hauteur, b.Hauteur);
        EXPECT_TRUE(a.Cases == b.Cases);
        ASSERT_EQ(a.Bonus.size(), b.Bonus.size());
        for (size_t i = 0; i < a.Bonus.size(); ++i)
        {
            EXPECT_EQ(a.Bonus[i].Colonne, b.Bonus[i].Colonne);
            EXPECT_EQ(a.Bonus[i].Ligne, b.Bonus[i].Ligne);
            EXPECT_EQ(a.Bonus[i].Type, b.Bonus[i].Type);
            EXPECT_EQ(a.Bonus[i].Sort, b.Bonus[i].Sort);
        }
    }

    // A child that runs the real analysis, except for two texts: "hang"
    // never ends, "crash" aborts.
    Rapport AnalyseOuPanne(const std::string& texte, const AnalyseCarte::OptionsVerification& options)
    {
        if (texte == "hang")
            for (;;)
                pause();
        if (texte == "crash")
            std::abort();
        return AnalyseCarte::AnalyserTexte(texte, options);
    }

    // The child has been reaped: nothing left to wait for, not even a zombie.
    bool Recolte(pid_t pid)
    {
        return waitpid(pid, nullptr, WNOHANG) < 0 && errno == ECHILD;
    }
}

TEST(AnalyseVivante, GivesWhatADirectAnalysisGivesWithoutMakingTheCallerWait)
{
    // A level with a search to run, and levels full of findings.
    for (const std::string& chemin : {Donnees("atteinte/marche-3.map"), Donnees("verification/bonus.map"),
                                      Donnees("verification/caracteres.map")})
    {
        SCOPED_TRACE(chemin);
        const std::string octets = Octets(chemin);
        const Rapport direct = AnalyseCarte::AnalyserTexte(octets, AnalyseCarte::OptionsVerification());
        AnalyseVivante analyse;
        EXPECT_EQ(analyse.EtatActuel(), AnalyseVivante::Etat::Repos);
        ASSERT_TRUE(analyse.Demander(octets));
        EXPECT_GT(analyse.Processus(), 0);
        ASSERT_EQ(analyse.Attendre(Patience), AnalyseVivante::Etat::Prete) << analyse.Erreur();
        EXPECT_EQ(analyse.NumeroResultat(), 1u);
        EXPECT_EQ(analyse.Processus(), -1);
        ExpectMemeRapport(analyse.Resultat(), direct);
    }
}

TEST(AnalyseVivante, APollReturnsAtOnceWhileTheChildWorks)
{
    AnalyseVivante analyse(AnalyseCarte::OptionsVerification(), -1.0, AnalyseOuPanne);
    ASSERT_TRUE(analyse.Demander("hang"));
    const pid_t enfant = analyse.Processus();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(analyse.Sonder(), AnalyseVivante::Etat::EnCours);
    EXPECT_EQ(analyse.Processus(), enfant);
}

TEST(AnalyseVivante, ANewRequestKillsTheRunningOneAndStartsAgain)
{
    const std::string octets = Octets(Donnees("atteinte/marche-3.map"));
    AnalyseVivante analyse(AnalyseCarte::OptionsVerification(), -1.0, AnalyseOuPanne);
    ASSERT_TRUE(analyse.Demander("hang"));
    const pid_t premier = analyse.Processus();
    ASSERT_TRUE(analyse.Demander(octets));
    EXPECT_NE(analyse.Processus(), premier);
    EXPECT_EQ(analyse.NumeroDemande(), 2u);
    ASSERT_EQ(analyse.Attendre(Patience), AnalyseVivante::Etat::Prete) << analyse.Erreur();
    EXPECT_EQ(analyse.NumeroResultat(), 2u);
    ExpectMemeRapport(analyse.Resultat(), AnalyseCarte::AnalyserTexte(octets, AnalyseCarte::OptionsVerification()));
    // The killed child is reaped by the polls that followed.
    for (int i = 0; i < 200 && !Recolte(premier); ++i)
    {
        analyse.Sonder();
        usleep(5000);
    }
    EXPECT_TRUE(Recolte(premier));
}

TEST(AnalyseVivante, AChildThatDiesGivesAFailureAndKeepsTheLastResult)
{
    const std::string octets = Octets(Donnees("atteinte/puits.map"));
    AnalyseVivante analyse(AnalyseCarte::OptionsVerification(), -1.0, AnalyseOuPanne);
    ASSERT_TRUE(analyse.Demander(octets));
    ASSERT_EQ(analyse.Attendre(Patience), AnalyseVivante::Etat::Prete) << analyse.Erreur();
    const size_t bonus = analyse.Resultat().Bonus.size();
    ASSERT_GT(bonus, 0u);

    // Killed from outside.
    ASSERT_TRUE(analyse.Demander("hang"));
    const pid_t tue = analyse.Processus();
    ASSERT_EQ(kill(tue, SIGKILL), 0);
    EXPECT_EQ(analyse.Attendre(Patience), AnalyseVivante::Etat::Echec);
    EXPECT_NE(analyse.Erreur().find("signal 9"), std::string::npos) << analyse.Erreur();
    EXPECT_TRUE(Recolte(tue));
    EXPECT_EQ(analyse.NumeroResultat(), 1u);
    EXPECT_EQ(analyse.Resultat().Bonus.size(), bonus);

    // Crashing on its own.
    ASSERT_TRUE(analyse.Demander("crash"));
    const pid_t plante = analyse.Processus();
    EXPECT_EQ(analyse.Attendre(Patience), AnalyseVivante::Etat::Echec);
    EXPECT_NE(analyse.Erreur().find("signal"), std::string::npos) << analyse.Erreur();
    EXPECT_TRUE(Recolte(plante));

    // And it works again after that.
    ASSERT_TRUE(analyse.Demander(octets));
    EXPECT_EQ(analyse.Attendre(Patience), AnalyseVivante::Etat::Prete) << analyse.Erreur();
    EXPECT_EQ(analyse.NumeroResultat(), 4u);
}

TEST(AnalyseVivante, AChildPastItsDeadlineIsStoppedAndReaped)
{
    pid_t enfant = -1;
    {
        AnalyseVivante analyse(AnalyseCarte::OptionsVerification(), 0.2, AnalyseOuPanne);
        ASSERT_TRUE(analyse.Demander("hang"));
        enfant = analyse.Processus();
        EXPECT_EQ(analyse.Attendre(Patience), AnalyseVivante::Etat::Echec);
        EXPECT_NE(analyse.Erreur().find("did not end within 0.2 s"), std::string::npos) << analyse.Erreur();
    }
    // The runner is gone: it waited for the child it had killed.
    EXPECT_TRUE(Recolte(enfant));
}

TEST(AnalyseVivante, ASearchStoppedAtItsBoundSaysItIsPartial)
{
    AnalyseCarte::OptionsVerification options;
    options.Atteinte.EtatsMax = 2000;
    AnalyseVivante analyse(options);
    ASSERT_TRUE(analyse.Demander(Octets(NiveauLivre())));
    ASSERT_EQ(analyse.Attendre(Patience), AnalyseVivante::Etat::Prete) << analyse.Erreur();
    const Rapport& r = analyse.Resultat();
    EXPECT_TRUE(r.Partielle());
    EXPECT_EQ(Genres(r), std::vector<std::string>{"search-bound"});
    // What it did reach is shown, nothing is called unreachable.
    EXPECT_TRUE(r.EtatDe(4, 21) & AnalyseCarte::CaseTraversee);
    ASSERT_FALSE(r.Bonus.empty());
    for (const AnalyseCarte::BonusVu& b : r.Bonus)
        EXPECT_EQ(b.Sort, AnalyseCarte::BonusVu::Inconnu);
}

TEST(AnalyseVivante, ATruncatedReportIsRefused)
{
    const Rapport r = AnalyseCarte::AnalyserTexte(Octets(Donnees("verification/bonus.map")),
                                                  AnalyseCarte::OptionsVerification());
    const std::string octets = AnalyseCarte::EcrireRapport(r);
    Rapport relu;
    ASSERT_TRUE(AnalyseCarte::LireRapport(octets, relu));
    ExpectMemeRapport(relu, r);
    for (size_t n = 0; n < octets.size(); ++n)
        ASSERT_FALSE(AnalyseCarte::LireRapport(octets.substr(0, n), relu)) << n;
    ASSERT_FALSE(AnalyseCarte::LireRapport(octets + "x", relu));
}
