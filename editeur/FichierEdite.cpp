#include "FichierEdite.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Edition
{
    namespace
    {
        const char* const EnteteAutosave = "corvella-editeur autosave; the file was: ";

        // When the process started, in clock ticks since boot: with the
        // process id, it tells a running session from a dead one whose id
        // came back. 0 when unknown.
        unsigned long long DebutProcessus(pid_t pid)
        {
            std::string stat;
            if (!LireEntier("/proc/" + std::to_string(pid) + "/stat", stat))
                return 0;
            const size_t fin = stat.rfind(')');
            if (fin == std::string::npos)
                return 0;
            // Field 22; the text after the name starts at field 3.
            size_t i = fin + 1;
            for (int champ = 3; champ < 22 && i != std::string::npos; ++champ)
                i = stat.find(' ', i + 1);
            return i == std::string::npos ? 0 : std::strtoull(stat.c_str() + i + 1, nullptr, 10);
        }

        bool ProcessusVivant(pid_t pid, unsigned long long debut)
        {
            if (pid <= 0 || (::kill(pid, 0) != 0 && errno != EPERM))
                return false;
            const unsigned long long vrai = DebutProcessus(pid);
            return debut == 0 || vrai == 0 || vrai == debut;
        }

        std::string Absolu(const std::string& chemin)
        {
            if (!chemin.empty() && chemin[0] == '/')
                return chemin;
            char ici[PATH_MAX];
            return ::getcwd(ici, sizeof ici) != nullptr ? std::string(ici) + "/" + chemin : chemin;
        }

        // A file's name in the state folder: its whole path, '/' made '%'.
        std::string NomEtat(const std::string& reel)
        {
            std::string nom = Absolu(reel);
            std::replace(nom.begin(), nom.end(), '/', '%');
            return nom;
        }

        bool CreerDossierEtat(std::string& erreur)
        {
            const std::string dossier = DossierEtat();
            for (size_t i = 1; i <= dossier.size(); ++i)
                if (i == dossier.size() || dossier[i] == '/')
                {
                    const std::string partie = dossier.substr(0, i);
                    if (::mkdir(partie.c_str(), 0700) != 0 && errno != EEXIST)
                    {
                        erreur = partie + ": " + std::strerror(errno);
                        return false;
                    }
                }
            return true;
        }

        bool LireAvecIdentite(const std::string& chemin, std::string& octets, Identite& identite)
        {
            const int fd = ::open(chemin.c_str(), O_RDONLY | O_CLOEXEC);
            if (fd < 0)
                return false;
            const bool lue = LireIdentite(fd, identite);
            ::close(fd);
            return lue && LireEntier(chemin, octets);
        }

        // The first free name F.~N~ beside the file (or in the state folder).
        std::string CopieNumerotee(const std::string& reel, bool ailleurs)
        {
            const std::string base = ailleurs ? DossierEtat() + "/" + NomEtat(reel) : reel;
            for (unsigned n = 1;; ++n)
            {
                const std::string nom = base + ".~" + std::to_string(n) + "~";
                struct stat etat;
                if (::lstat(nom.c_str(), &etat) != 0 && errno == ENOENT)
                    return nom;
            }
        }

        // Names "F.autosave" (an older editor's) or "F.autosave.PID.START.N".
        bool NomAutosave(const std::string& nom, const std::string& prefixe, pid_t& pid, unsigned long long& debut)
        {
            if (nom.compare(0, prefixe.size(), prefixe) != 0)
                return false;
            pid = 0;
            debut = 0;
            if (nom.size() == prefixe.size())
                return true;
            unsigned long long p = 0, d = 0, n = 0;
            char reste = 0;
            if (std::sscanf(nom.c_str() + prefixe.size(), ".%llu.%llu.%llu%c", &p, &d, &n, &reste) != 3)
                return false;
            pid = static_cast<pid_t>(p);
            debut = d;
            return true;
        }

        bool MemeContenu(const Empreinte& a, const Empreinte& b)
        {
            if (!a.Existe || !b.Existe)
                return a.Existe == b.Existe;
            return a.Taille == b.Taille && a.Somme == b.Somme;
        }
    }

    std::string DossierEtat()
    {
        const char* etat = std::getenv("XDG_STATE_HOME");
        if (etat != nullptr && etat[0] == '/')
            return std::string(etat) + "/corvella-editeur";
        const char* maison = std::getenv("HOME");
        return std::string(maison != nullptr && maison[0] == '/' ? maison : "/tmp") + "/.local/state/corvella-editeur";
    }

    bool Preparation::AQuestions() const
    {
        return Disque != EtatDisque::Inchange || CibleExiste || LectureSeule || Illisible || !NonGarde.empty();
    }

    CFichierEdite::CFichierEdite(const std::string& chemin) : chemin_(chemin), reel_(chemin)
    {
        static unsigned compte = 0;
        const pid_t pid = ::getpid();
        session_ = std::to_string(pid) + "." + std::to_string(DebutProcessus(pid)) + "." + std::to_string(++compte);
        std::string erreur;
        Edition::CheminReel(chemin_, reel_, erreur);
    }

    Ouverture CFichierEdite::Ouvrir()
    {
        std::string erreur;
        Edition::CheminReel(chemin_, reel_, erreur);
        // The level and the fingerprint are of the same bytes: a file changed
        // while it is read is read again.
        Ouverture o;
        for (int essai = 0; essai < 3; ++essai)
        {
            const Empreinte avant = PrendreEmpreinte(reel_);
            o = OuvrirCarte(chemin_);
            if (!o.Reussi)
                return o;
            empreinte_ = PrendreEmpreinte(reel_, &octetsTrouves_);
            if (empreinte_ == avant)
                break;
        }
        trouve_ = empreinte_.Existe;
        enregistre_ = octetsTrouves_;
        illisible_ = o.Illisible;
        pertes_ = o.Pertes;
        copiesFaites_.clear();
        return o;
    }

    EtatDisque CFichierEdite::Verifier(bool lire)
    {
        struct stat etat;
        if (::stat(reel_.c_str(), &etat) != 0)
            return empreinte_.Existe ? EtatDisque::Supprime : EtatDisque::Inchange;
        if (!empreinte_.Existe)
            return EtatDisque::Apparu;
        if (!lire && etat.st_dev == empreinte_.Peripherique && etat.st_ino == empreinte_.Inode &&
            etat.st_size == empreinte_.Taille && etat.st_mtim.tv_sec == empreinte_.Modification.tv_sec &&
            etat.st_mtim.tv_nsec == empreinte_.Modification.tv_nsec)
            return EtatDisque::Inchange;
        std::string octets;
        const Empreinte e = PrendreEmpreinte(reel_, &octets);
        if (e.Existe && octets == enregistre_)
        {
            empreinte_ = e;
            return EtatDisque::Inchange;
        }
        return EtatDisque::Modifie;
    }

    Preparation CFichierEdite::Preparer(const std::string& cible)
    {
        Preparation p;
        std::string reel;
        if (!Edition::CheminReel(cible, reel, p.Erreur))
            return p;
        struct stat etat;
        const bool existe = ::stat(reel.c_str(), &etat) == 0;
        if (existe && S_ISDIR(etat.st_mode))
        {
            p.Erreur = reel + ": is a folder, not a map file";
            return p;
        }
        if (existe && !S_ISREG(etat.st_mode))
        {
            p.Erreur = reel + ": is not a plain file";
            return p;
        }
        const bool meme = reel == reel_;
        if (meme)
        {
            p.Disque = Verifier(true);
            if (illisible_ && p.Disque == EtatDisque::Inchange)
            {
                p.Illisible = true;
                p.Pertes = pertes_;
            }
        }
        else
            p.CibleExiste = existe;
        const std::string dossier = DossierDe(reel);
        if (!existe)
        {
            if (DossierFerme(dossier))
                p.Erreur = "cannot make " + reel + ": the folder " + dossier + " takes no new file";
            return p;
        }
        p.LectureSeule = EnLectureSeule(reel);
        p.EnPlace = DossierFerme(dossier);
        if (!p.EnPlace)
        {
            Identite identite;
            const int fd = ::open(reel.c_str(), O_RDONLY | O_CLOEXEC);
            if (fd >= 0 && LireIdentite(fd, identite))
                p.NonGarde = CeQuiNeSeraPasGarde(identite, NomSeul(cible));
            if (fd >= 0)
                ::close(fd);
        }
        // The file as this session found it, kept once: a file it made itself has none.
        if (copiesFaites_.count(reel) != 0 || (meme && !trouve_))
            return p;
        p.Copie = reel + "~";
        struct stat copie;
        const bool present = ::lstat(p.Copie.c_str(), &copie) == 0;
        std::string ailleurs = DossierEtat() + "/" + NomEtat(reel) + "~";
        if (p.EnPlace)
            p.NoteCopie = "the folder " + dossier + " takes no new file";
        else if (present && S_ISDIR(copie.st_mode))
            p.NoteCopie = p.Copie + " is a folder";
        else if (present && S_ISLNK(copie.st_mode))
            p.NoteCopie = p.Copie + " is a symbolic link, never followed";
        else if (present && !S_ISREG(copie.st_mode))
            p.NoteCopie = p.Copie + " is not a plain file";
        else
            return p;
        p.NoteCopie += ": the file as it was is kept as " + ailleurs;
        p.Copie = ailleurs;
        return p;
    }

    ResultatEnregistrement CFichierEdite::Enregistrer(const std::string& octets, const std::string& cible,
                                                      const Choix& choix)
    {
        ResultatEnregistrement r;
        r.Questions = Preparer(cible);
        const Preparation& p = r.Questions;
        if (!p.Erreur.empty())
        {
            r.Erreur = p.Erreur;
            return r;
        }
        if ((p.Disque != EtatDisque::Inchange && !choix.EcraserModifie) ||
            (p.CibleExiste && !choix.RemplacerExistant) || (p.LectureSeule && !choix.RemplacerLectureSeule) ||
            (p.Illisible && !choix.RemplacerIllisible) ||
            (!p.NonGarde.empty() && !choix.EnPlace && !choix.AccepterNonGarde))
        {
            r.Etat = ResultatEnregistrement::AConfirmer;
            return r;
        }
        std::string reel;
        if (!Edition::CheminReel(cible, reel, r.Erreur))
            return r;
        const bool meme = reel == reel_;
        struct stat etat;
        const bool existe = ::stat(reel.c_str(), &etat) == 0;
        std::string actuel;
        Identite identite;
        if (existe && !LireAvecIdentite(reel, actuel, identite))
        {
            r.Erreur = reel + ": cannot read it to keep a copy: " + std::strerror(errno);
            return r;
        }
        const bool ailleurs = p.EnPlace || DossierFerme(DossierDe(reel));
        std::string erreur;
        std::vector<std::string> manques;
        if (ailleurs && existe && !CreerDossierEtat(r.Erreur))
            return r;

        // What another program wrote, before it is overwritten.
        if (existe && meme && p.Disque != EtatDisque::Inchange)
        {
            const std::string copie = CopieNumerotee(reel, ailleurs);
            if (!EcrireRemplacant(copie, actuel, &identite, Emploi::Copie, erreur, manques))
            {
                r.Erreur = "cannot keep a copy of the file as it is now: " + erreur;
                return r;
            }
            r.Copies.push_back(copie);
        }
        // The file as the session found it.
        if (existe && !p.Copie.empty())
        {
            if (!p.NoteCopie.empty() && !CreerDossierEtat(r.Erreur))
                return r;
            if (!EcrireRemplacant(p.Copie, meme ? octetsTrouves_ : actuel, &identite, Emploi::Copie, erreur,
                                  manques))
            {
                r.Erreur = "cannot keep the previous version: " + erreur;
                return r;
            }
            r.Copies.push_back(p.Copie);
        }

        const bool enPlace = existe && (p.EnPlace || choix.EnPlace);
        if (enPlace ? !EcrireEnPlace(reel, octets, erreur)
                    : !EcrireRemplacant(reel, octets, existe ? &identite : nullptr, Emploi::Remplacant, erreur,
                                        r.NonGarde))
        {
            r.Erreur = erreur;
            if (enPlace && !r.Copies.empty())
                r.Erreur += "; the file may be half written: its previous version is " + r.Copies.back();
            return r;
        }

        // Saved: what was set aside is in the file now.
        JeterAutosave();
        for (const std::string& a : recuperes_)
            ::unlink(a.c_str());
        recuperes_.clear();
        copiesFaites_.insert(reel);
        chemin_ = cible;
        reel_ = reel;
        enregistre_ = octets;
        empreinte_ = PrendreEmpreinte(reel_);
        illisible_ = false;
        pertes_.clear();
        r.Etat = ResultatEnregistrement::Enregistre;
        return r;
    }

    std::string CFichierEdite::CheminAutosave() const
    {
        const std::string dossier = DossierDe(reel_);
        if (DossierFerme(dossier))
            return DossierEtat() + "/" + NomEtat(reel_) + ".autosave." + session_;
        return reel_ + ".autosave." + session_;
    }

    bool CFichierEdite::Autosave(const std::string& octets, std::string& erreur)
    {
        if (octets == enregistre_ && Verifier() == EtatDisque::Inchange)
        {
            JeterAutosave();
            return true;
        }
        const std::string chemin = CheminAutosave();
        if (chemin.compare(0, DossierEtat().size(), DossierEtat()) == 0 && !CreerDossierEtat(erreur))
            return false;
        Identite identite;
        bool connue = false;
        const int fd = ::open(reel_.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd >= 0)
        {
            connue = LireIdentite(fd, identite);
            ::close(fd);
        }
        std::vector<std::string> manques;
        // With what the file was when this session last read or saved it.
        const std::string texte = EnteteAutosave + EmpreinteEnTexte(empreinte_) + "\n" + octets;
        return EcrireRemplacant(chemin, texte, connue ? &identite : nullptr, Emploi::Privee, erreur, manques);
    }

    void CFichierEdite::JeterAutosave()
    {
        ::unlink((reel_ + ".autosave." + session_).c_str());
        ::unlink((DossierEtat() + "/" + NomEtat(reel_) + ".autosave." + session_).c_str());
    }

    std::vector<AutosaveLaisse> CFichierEdite::AutosavesLaisses() const
    {
        std::vector<AutosaveLaisse> laisses;
        std::string fichier;
        const Empreinte maintenant = PrendreEmpreinte(reel_, &fichier);
        const std::string dossiers[2][2] = {{DossierDe(reel_), NomSeul(reel_) + ".autosave"},
                                            {DossierEtat(), NomEtat(reel_) + ".autosave"}};
        const std::string propre = NomSeul(CheminAutosave());
        for (const auto& d : dossiers)
        {
            DIR* dossier = ::opendir(d[0].c_str());
            if (dossier == nullptr)
                continue;
            while (const dirent* entree = ::readdir(dossier))
            {
                const std::string nom = entree->d_name;
                pid_t pid = 0;
                unsigned long long debut = 0;
                if (nom == propre || !NomAutosave(nom, d[1], pid, debut) || ProcessusVivant(pid, debut))
                    continue;
                AutosaveLaisse a;
                a.Chemin = d[0] + "/" + nom;
                struct stat etat;
                if (::lstat(a.Chemin.c_str(), &etat) != 0 || !S_ISREG(etat.st_mode) || !LireEntier(a.Chemin, a.Octets))
                    continue;
                a.Moment = etat.st_mtime;
                Empreinte base;
                const size_t fin = a.Octets.find('\n');
                if (a.Octets.compare(0, std::strlen(EnteteAutosave), EnteteAutosave) == 0 && fin != std::string::npos &&
                    EmpreinteDeTexte(a.Octets.substr(std::strlen(EnteteAutosave), fin - std::strlen(EnteteAutosave)),
                                     base))
                {
                    a.Octets.erase(0, fin + 1);
                    a.FichierChange = !MemeContenu(base, maintenant);
                }
                else
                    // An older editor's autosave tells nothing of its file: a file newer than it has changed.
                    a.FichierChange = maintenant.Existe && maintenant.Modification.tv_sec >= etat.st_mtime;
                if (maintenant.Existe && a.Octets == fichier)
                {
                    // Its content is saved: nothing to give back.
                    ::unlink(a.Chemin.c_str());
                    continue;
                }
                laisses.push_back(std::move(a));
            }
            ::closedir(dossier);
        }
        std::sort(laisses.begin(), laisses.end(),
                  [](const AutosaveLaisse& a, const AutosaveLaisse& b) { return a.Moment < b.Moment; });
        return laisses;
    }

    void CFichierEdite::Recupere(const AutosaveLaisse& autosave)
    {
        recuperes_.push_back(autosave.Chemin);
    }

    bool CFichierEdite::Jeter(const AutosaveLaisse& autosave)
    {
        return ::unlink(autosave.Chemin.c_str()) == 0;
    }
}
