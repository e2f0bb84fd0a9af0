#include "Identite.h"

#include <acl/libacl.h>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/acl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <zlib.h>

namespace Edition
{
    namespace
    {
        std::string NomUtilisateur(uid_t uid)
        {
            const passwd* p = ::getpwuid(uid);
            return p != nullptr ? std::string(p->pw_name) : std::to_string(uid);
        }

        std::string NomGroupe(gid_t gid)
        {
            const group* g = ::getgrgid(gid);
            return g != nullptr ? std::string(g->gr_name) : std::to_string(gid);
        }

        bool MembreDe(gid_t gid)
        {
            if (gid == ::getegid())
                return true;
            const int n = ::getgroups(0, nullptr);
            if (n <= 0)
                return false;
            std::vector<gid_t> groupes(static_cast<size_t>(n));
            const int lus = ::getgroups(n, groupes.data());
            for (int i = 0; i < lus; ++i)
                if (groupes[static_cast<size_t>(i)] == gid)
                    return true;
            return false;
        }

        bool LireFd(int fd, std::string& octets)
        {
            octets.clear();
            char tampon[65536];
            ssize_t n;
            while ((n = ::read(fd, tampon, sizeof tampon)) != 0)
            {
                if (n < 0)
                {
                    if (errno == EINTR)
                        continue;
                    return false;
                }
                octets.append(tampon, static_cast<size_t>(n));
            }
            return true;
        }

        uint32_t Somme(const std::string& octets)
        {
            uLong s = ::crc32(0L, Z_NULL, 0);
            size_t fait = 0;
            while (fait < octets.size())
            {
                const uInt n = static_cast<uInt>(std::min<size_t>(octets.size() - fait, UINT_MAX));
                s = ::crc32(s, reinterpret_cast<const Bytef*>(octets.data() + fait), n);
                fait += n;
            }
            return static_cast<uint32_t>(s);
        }

        void Remplir(Empreinte& e, const struct stat& etat, const std::string& octets)
        {
            e.Existe = true;
            e.Peripherique = etat.st_dev;
            e.Inode = etat.st_ino;
            e.Taille = etat.st_size;
            e.Modification = etat.st_mtim;
            e.Somme = Somme(octets);
        }
    }

    bool operator==(const Empreinte& a, const Empreinte& b)
    {
        if (!a.Existe || !b.Existe)
            return a.Existe == b.Existe;
        return a.Peripherique == b.Peripherique && a.Inode == b.Inode && a.Taille == b.Taille &&
               a.Modification.tv_sec == b.Modification.tv_sec && a.Modification.tv_nsec == b.Modification.tv_nsec &&
               a.Somme == b.Somme;
    }

    Empreinte PrendreEmpreinte(const std::string& chemin, std::string* octets)
    {
        Empreinte e;
        const int fd = ::open(chemin.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0)
        {
            // A file this user may not read still has a place and a time.
            struct stat etat;
            if (errno != ENOENT && ::stat(chemin.c_str(), &etat) == 0)
                Remplir(e, etat, std::string());
            return e;
        }
        struct stat etat;
        std::string lus;
        if (::fstat(fd, &etat) == 0 && (!S_ISREG(etat.st_mode) || LireFd(fd, lus)))
            Remplir(e, etat, lus);
        ::close(fd);
        if (octets != nullptr)
            *octets = std::move(lus);
        return e;
    }

    std::string EmpreinteEnTexte(const Empreinte& e)
    {
        if (!e.Existe)
            return "none";
        char texte[160];
        std::snprintf(texte, sizeof texte, "%llu %llu %lld %lld %ld %lu",
                      static_cast<unsigned long long>(e.Peripherique), static_cast<unsigned long long>(e.Inode),
                      static_cast<long long>(e.Taille), static_cast<long long>(e.Modification.tv_sec),
                      static_cast<long>(e.Modification.tv_nsec), static_cast<unsigned long>(e.Somme));
        return texte;
    }

    bool EmpreinteDeTexte(const std::string& texte, Empreinte& e)
    {
        e = Empreinte();
        if (texte == "none")
            return true;
        unsigned long long dev = 0, ino = 0;
        long long taille = 0, secondes = 0;
        long nano = 0;
        unsigned long somme = 0;
        if (std::sscanf(texte.c_str(), "%llu %llu %lld %lld %ld %lu", &dev, &ino, &taille, &secondes, &nano,
                        &somme) != 6)
            return false;
        e.Existe = true;
        e.Peripherique = static_cast<dev_t>(dev);
        e.Inode = static_cast<ino_t>(ino);
        e.Taille = static_cast<off_t>(taille);
        e.Modification.tv_sec = static_cast<time_t>(secondes);
        e.Modification.tv_nsec = nano;
        e.Somme = static_cast<uint32_t>(somme);
        return true;
    }

    std::string DossierDe(const std::string& chemin)
    {
        const size_t barre = chemin.rfind('/');
        if (barre == std::string::npos)
            return ".";
        return barre == 0 ? "/" : chemin.substr(0, barre);
    }

    std::string NomSeul(const std::string& chemin)
    {
        const size_t barre = chemin.rfind('/');
        return barre == std::string::npos ? chemin : chemin.substr(barre + 1);
    }

    bool LireEntier(const std::string& chemin, std::string& octets)
    {
        const int fd = ::open(chemin.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return false;
        const bool lu = LireFd(fd, octets);
        const int e = errno;
        ::close(fd);
        errno = e;
        return lu;
    }

    bool CheminReel(const std::string& chemin, std::string& reel, std::string& erreur)
    {
        reel = chemin;
        for (int maillons = 0; maillons < 40; ++maillons)
        {
            struct stat etat;
            if (::lstat(reel.c_str(), &etat) != 0 || !S_ISLNK(etat.st_mode))
                return true;
            std::string cible(PATH_MAX, '\0');
            const ssize_t n = ::readlink(reel.c_str(), &cible[0], cible.size());
            if (n < 0 || static_cast<size_t>(n) >= cible.size())
            {
                erreur = chemin + ": cannot read the link";
                return false;
            }
            cible.resize(static_cast<size_t>(n));
            reel = !cible.empty() && cible[0] == '/' ? cible : DossierDe(reel) + "/" + cible;
        }
        erreur = chemin + ": too many symbolic links (a loop?)";
        return false;
    }

    bool EnLectureSeule(const std::string& chemin)
    {
        struct stat etat;
        if (::stat(chemin.c_str(), &etat) != 0)
            return false;
        if (::geteuid() == 0 && (etat.st_mode & 0222) == 0)
            return true;
        return ::access(chemin.c_str(), W_OK) != 0 && (errno == EACCES || errno == EROFS || errno == EPERM);
    }

    bool DossierFerme(const std::string& dossier)
    {
        return ::access(dossier.c_str(), W_OK | X_OK) != 0;
    }

    bool LireIdentite(int fd, Identite& identite)
    {
        struct stat etat;
        if (::fstat(fd, &etat) != 0)
            return false;
        identite.Proprietaire = etat.st_uid;
        identite.Groupe = etat.st_gid;
        identite.Mode = etat.st_mode & 07777;
        identite.Liens = etat.st_nlink;
        identite.Acl.clear();
        const acl_t acl = ::acl_get_fd(fd);
        if (acl != nullptr)
        {
            // Only an ACL beyond the mode's nine bits is worth carrying.
            if (::acl_equiv_mode(acl, nullptr) == 1)
            {
                char* texte = ::acl_to_text(acl, nullptr);
                if (texte != nullptr)
                {
                    identite.Acl = texte;
                    ::acl_free(texte);
                }
            }
            ::acl_free(acl);
        }
        identite.Attributs.clear();
        const ssize_t taille = ::flistxattr(fd, nullptr, 0);
        if (taille <= 0)
            return true;
        std::string noms(static_cast<size_t>(taille), '\0');
        const ssize_t lus = ::flistxattr(fd, &noms[0], noms.size());
        for (size_t i = 0; lus > 0 && i < static_cast<size_t>(lus);)
        {
            const std::string nom(noms.c_str() + i);
            i += nom.size() + 1;
            // The ACL goes through its own library.
            if (nom.empty() || nom.compare(0, 17, "system.posix_acl_") == 0)
                continue;
            const ssize_t t = ::fgetxattr(fd, nom.c_str(), nullptr, 0);
            if (t < 0)
                continue;
            std::string valeur(static_cast<size_t>(t), '\0');
            const ssize_t v = ::fgetxattr(fd, nom.c_str(), &valeur[0], valeur.size());
            if (v < 0)
                continue;
            valeur.resize(static_cast<size_t>(v));
            identite.Attributs.push_back({nom, valeur});
        }
        return true;
    }

    std::vector<std::string> CeQuiNeSeraPasGarde(const Identite& identite, const std::string& nom)
    {
        std::vector<std::string> manques;
        if (identite.Liens > 1)
            manques.push_back(nom + " has " + std::to_string(identite.Liens - 1) +
                              " other name(s) (hard links): they keep the old level");
        if (::geteuid() != 0 && identite.Proprietaire != ::geteuid())
            manques.push_back("its owner " + NomUtilisateur(identite.Proprietaire) +
                              " cannot be kept: the new file is " + NomUtilisateur(::geteuid()) + "'s");
        if (::geteuid() != 0 && !MembreDe(identite.Groupe))
            manques.push_back("its group " + NomGroupe(identite.Groupe) + " cannot be kept: the new file's group is " +
                              NomGroupe(::getegid()));
        return manques;
    }

    bool DonnerIdentite(int fd, const Identite& identite, Emploi usage, std::vector<std::string>& manques)
    {
        bool proprietaire = false, groupe = false;
        if (usage != Emploi::Privee && ::fchown(fd, identite.Proprietaire, identite.Groupe) == 0)
            proprietaire = groupe = true;
        else
            groupe = ::fchown(fd, static_cast<uid_t>(-1), identite.Groupe) == 0;
        if (usage == Emploi::Remplacant)
        {
            if (!proprietaire && identite.Proprietaire != ::geteuid())
                manques.push_back("its owner " + NomUtilisateur(identite.Proprietaire));
            if (!groupe)
                manques.push_back("its group " + NomGroupe(identite.Groupe));
        }

        mode_t mode = identite.Mode & 07777;
        if (usage == Emploi::Copie)
            // A copy owned by another group gives that group nothing.
            mode = identite.Mode & (groupe ? 0777 : 0707);
        else if (usage == Emploi::Privee)
            mode = 0600 | (groupe ? identite.Mode & 0060 : 0);
        if (::fchmod(fd, mode) != 0)
            return false;
        if (usage == Emploi::Privee)
            return true;

        // The ACL's group entries are the file's group's: a copy in another
        // group would give them away, so it goes without.
        if (!identite.Acl.empty() && (usage == Emploi::Remplacant || groupe))
        {
            const acl_t acl = ::acl_from_text(identite.Acl.c_str());
            if (acl == nullptr || ::acl_set_fd(fd, acl) != 0)
                manques.push_back("its access control list");
            if (acl != nullptr)
                ::acl_free(acl);
        }
        for (const auto& a : identite.Attributs)
            if (::fsetxattr(fd, a.first.c_str(), a.second.data(), a.second.size(), 0) != 0)
                manques.push_back("its extended attribute " + a.first);
        return true;
    }

    mode_t ModeNouveau()
    {
        const mode_t masque = ::umask(0);
        ::umask(masque);
        return 0666 & ~masque;
    }
}
