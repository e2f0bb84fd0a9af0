#include "Fichier.h"

#include "carte/Texte.h"
#include "carte/Verification.h"
#include "map/Map.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace Edition
{
    namespace
    {
        FonctionEcriture ecriture_ = nullptr;

        std::string Erreur(const std::string& quoi)
        {
            return quoi + ": " + std::strerror(errno);
        }

        // Writes everything, through the replaceable write.
        bool EcrireTout(int fd, const std::string& octets)
        {
            const FonctionEcriture ecrire = ecriture_ != nullptr ? ecriture_ : ::write;
            size_t fait = 0;
            while (fait < octets.size())
            {
                const ssize_t n = ecrire(fd, octets.data() + fait, octets.size() - fait);
                if (n < 0 && errno == EINTR)
                    continue;
                if (n <= 0)
                {
                    if (n == 0)
                        errno = ENOSPC;
                    return false;
                }
                fait += static_cast<size_t>(n);
            }
            return true;
        }

        size_t CompterBonus(const CMap& carte, int largeur, int hauteur)
        {
            size_t n = 0;
            for (const CMap::CBonus& b : carte.ListeBonus)
                if (b.CaseX >= 0 && b.CaseY >= 0 && b.CaseX < largeur && b.CaseY < hauteur)
                    ++n;
            return n;
        }

        // What saving a new level over a file the loader cannot read replaces.
        std::vector<std::string> CeQuiSePerd(const std::string& octets, const Niveau& nouveau)
        {
            std::vector<std::string> pertes;
            const size_t lignes = static_cast<size_t>(std::count(octets.begin(), octets.end(), '\n'));
            const size_t retours = static_cast<size_t>(std::count(octets.begin(), octets.end(), '\r'));
            // A file whose lines end with CR alone holds a level the game cannot read.
            std::string essai = octets;
            if (lignes == 0 && retours > 0)
                std::replace(essai.begin(), essai.end(), '\r', '\n');
            CMap carte;
            carte.AnalyseContenu(OutilCarte::Normaliser(essai).Contenu);
            const int largeur = std::min(carte.Largeur, static_cast<int>(std::min<size_t>(carte.Cases.size(), INT_MAX)));
            if (largeur > 0 && carte.Hauteur > 0)
                pertes.push_back("the file holds a level of " + std::to_string(largeur) + " x " +
                                 std::to_string(carte.Hauteur) + " with " +
                                 std::to_string(CompterBonus(carte, largeur, carte.Hauteur)) +
                                 " bonuses that the game cannot read" +
                                 (lignes == 0 && retours > 0 ? " (its lines end with CR alone)" : ""));
            pertes.push_back("its " + std::to_string(octets.size()) + " bytes in " +
                             std::to_string(std::max(lignes, retours) + (octets.back() != '\n' && octets.back() != '\r')) + " lines are replaced by the new level of " +
                             std::to_string(nouveau.Largeur) + " x " + std::to_string(nouveau.Hauteur) + " shown");
            return pertes;
        }
    }

    std::string EcrireCarte(const Niveau& niveau, const FormatFichier& format)
    {
        const char* fin = format.CrLf ? "\r\n" : "\n";
        std::string texte;
        texte.reserve(format.Entete.size() + 100 +
                      static_cast<size_t>(niveau.Hauteur) * (static_cast<size_t>(niveau.Largeur) + 2));
        texte += format.Entete;
        texte += "[Infos]";
        texte += fin;
        texte += "Hauteur=" + std::to_string(niveau.Hauteur) + fin;
        texte += "Largeur=" + std::to_string(niveau.Largeur) + fin;
        texte += "PosDebutX=" + std::to_string(niveau.DebutX) + fin;
        texte += "PosDebutY=" + std::to_string(niveau.DebutY) + fin;
        texte += "[Map]";
        texte += fin;
        for (int l = 0; l < niveau.Hauteur; ++l)
        {
            for (int c = 0; c < niveau.Largeur; ++c)
            {
                const char k = niveau.Case(c, l);
                texte += k == CaseNonDefinie ? CaractereNonDefini : k;
            }
            texte += fin;
        }
        return texte;
    }

    Ouverture AnalyserCarte(const std::string& octets, const std::string& nom)
    {
        Ouverture o;
        o.Reussi = true;
        const OutilCarte::TexteCarte texte = OutilCarte::Normaliser(octets);

        // The file's style: its header as it stands, and CR LF when most of
        // its line ends are.
        o.Format.Entete = octets.substr(0, FinEntete(octets));
        const size_t lf = static_cast<size_t>(std::count(octets.begin(), octets.end(), '\n'));
        o.Format.CrLf = lf > 0 && texte.NombreCrLf * 2 >= lf;

        // The level as the game's own parser reads it.
        CMap carte;
        carte.AnalyseContenu(texte.Contenu);
        int largeur = std::max(0, std::min(carte.Largeur, static_cast<int>(std::min<size_t>(
                                                                carte.Cases.size(), INT_MAX))));
        int hauteur = carte.Hauteur;
        for (int c = 0; c < largeur; ++c)
            hauteur = std::min(hauteur, static_cast<int>(std::min<size_t>(carte.Cases[c].size(), INT_MAX)));
        hauteur = std::max(0, hauteur);
        if (largeur == 0 || hauteur == 0)
            largeur = hauteur = 0;

        // What the loader ignores or reads differently; not the level's own
        // faults (a start in water, an open border, a buried bonus): the
        // editor shows the level, and those are the designer's to judge.
        OutilCarte::Rapport rapport = OutilCarte::Verifier(texte, OutilCarte::OptionsVerification{false, {}});
        static const char* const GenresDuNiveau[] = {"open-border", "bonus-buried", "bonus-unreachable",
                                                     "area-unreachable", "search-bound", "start-solid",
                                                     "start-water"};
        rapport.Constats.erase(
            std::remove_if(rapport.Constats.begin(), rapport.Constats.end(),
                           [](const OutilCarte::Constat& c)
                           {
                               return c.Niveau == OutilCarte::Gravite::Note ||
                                      std::find(std::begin(GenresDuNiveau), std::end(GenresDuNiveau), c.Genre) !=
                                          std::end(GenresDuNiveau);
                           }),
            rapport.Constats.end());
        std::istringstream lignes(OutilCarte::EnTexte(rapport, nom));
        std::string ligne;
        while (std::getline(lignes, ligne))
            o.Constats.push_back(ligne);
        if (!o.Constats.empty())
            o.Constats.pop_back(); // the summary

        if (largeur == 0)
        {
            o.Carte = NouveauNiveau();
            o.Changements.push_back("the file holds no grid the game can read: the editor starts from a new level");
            if (octets.find_first_not_of(" \t\r\n") != std::string::npos)
            {
                o.Illisible = true;
                o.Pertes = CeQuiSePerd(octets, o.Carte);
            }
            return o;
        }

        Niveau& n = o.Carte;
        n.Largeur = largeur;
        n.Hauteur = hauteur;
        n.DebutX = carte.PosDebutX;
        n.DebutY = carte.PosDebutY;
        n.Cases.resize(static_cast<size_t>(largeur) * static_cast<size_t>(hauteur));
        size_t nonDefinies = 0;
        for (int c = 0; c < largeur; ++c)
            for (int l = 0; l < hauteur; ++l)
            {
                const char k = CaractereDeCode(carte.Cases[c][l]);
                n.Cases[n.Indice(c, l)] = k;
                nonDefinies += k == CaseNonDefinie;
            }
        size_t perdus = 0;
        for (const CMap::CBonus& b : carte.ListeBonus)
        {
            if (!n.Dedans(b.CaseX, b.CaseY) || b.Type < 1 || b.Type > CMap::NbTypesBonus)
                continue;
            char& k = n.Cases[n.Indice(b.CaseX, b.CaseY)];
            if (k == ' ')
                k = static_cast<char>('0' + b.Type);
            else
                ++perdus;
        }

        if (EcrireCarte(n, o.Format) == octets)
            return o;
        // What differs between the file and the text saving writes.
        if (carte.Largeur != largeur || carte.Hauteur != hauteur)
            o.Changements.push_back("the size becomes Largeur=" + std::to_string(largeur) +
                                    " Hauteur=" + std::to_string(hauteur) + ", the grid the game really reads");
        if (nonDefinies > 0)
            o.Changements.push_back(std::to_string(nonDefinies) +
                                    " unset cells (invisible walls) are written as '?', which the game leaves unset");
        if (perdus > 0)
            o.Changements.push_back(std::to_string(perdus) + " of " +
                                    std::to_string(CompterBonus(carte, largeur, hauteur)) +
                                    " bonuses share a cell with another bonus or a tile and are not kept");
        if (rapport.Avertissements() > 0)
            o.Changements.push_back("what the game ignores in the file (see the findings) is not written back");
        o.Changements.push_back("the sections are written in the editor's layout, the text before them as it stands");
        return o;
    }

    Ouverture OuvrirCarte(const std::string& chemin)
    {
        Ouverture o;
        struct stat etat;
        if (::stat(chemin.c_str(), &etat) != 0)
        {
            if (errno != ENOENT)
            {
                o.Erreur = Erreur(chemin);
                return o;
            }
            o.Reussi = true;
            o.Nouveau = true;
            o.Carte = NouveauNiveau();
            return o;
        }
        if (S_ISDIR(etat.st_mode))
        {
            o.Erreur = chemin + ": is a folder, not a map file";
            return o;
        }
        std::string octets, erreur;
        if (!OutilCarte::LireFichier(chemin, octets, erreur))
        {
            o.Erreur = chemin + ": " + erreur;
            return o;
        }
        return AnalyserCarte(octets, chemin);
    }

    size_t FinEntete(const std::string& octets)
    {
        // The loader cuts the text at every '[': a section is a name closed by
        // ']'. Only the two it reads end the header.
        for (size_t i = octets.find('['); i != std::string::npos; i = octets.find('[', i + 1))
            if (octets.compare(i + 1, 6, "Infos]") == 0 || octets.compare(i + 1, 4, "Map]") == 0)
                return i;
        return octets.size();
    }

    bool EcrireRemplacant(const std::string& chemin, const std::string& octets, const Identite* identite,
                          Emploi usage, std::string& erreur, std::vector<std::string>& manques)
    {
        std::string temporaire = DossierDe(chemin) + "/." + NomSeul(chemin) + ".XXXXXX";
        // Made private (0600) from the start: nobody reads it before its mode is set.
        const int fd = ::mkstemp(&temporaire[0]);
        if (fd < 0)
        {
            erreur = Erreur("cannot write in " + DossierDe(chemin));
            return false;
        }
        Identite nouvelle;
        nouvelle.Proprietaire = ::geteuid();
        nouvelle.Groupe = ::getegid();
        nouvelle.Mode = usage == Emploi::Privee ? 0600 : ModeNouveau();
        bool reussi = EcrireTout(fd, octets);
        if (reussi)
            reussi = DonnerIdentite(fd, identite != nullptr ? *identite : nouvelle,
                                    identite != nullptr ? usage : (usage == Emploi::Privee ? usage : Emploi::Remplacant),
                                    manques) &&
                     ::fsync(fd) == 0;
        if (!reussi)
            erreur = Erreur("cannot write " + chemin);
        const int e = errno;
        if (::close(fd) != 0 && reussi)
        {
            reussi = false;
            erreur = Erreur("cannot write " + chemin);
        }
        errno = e;
        if (reussi && ::rename(temporaire.c_str(), chemin.c_str()) != 0)
        {
            reussi = false;
            erreur = Erreur("cannot replace " + chemin);
        }
        if (!reussi)
        {
            ::unlink(temporaire.c_str());
            return false;
        }
        // The rename itself reaches the disk with the folder.
        const int dossier = ::open(DossierDe(chemin).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dossier >= 0)
        {
            ::fsync(dossier);
            ::close(dossier);
        }
        return true;
    }

    bool EcrireEnPlace(const std::string& chemin, const std::string& octets, std::string& erreur)
    {
        const int fd = ::open(chemin.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0)
        {
            erreur = Erreur("cannot write " + chemin);
            return false;
        }
        bool reussi = EcrireTout(fd, octets) && ::ftruncate(fd, static_cast<off_t>(octets.size())) == 0 &&
                      ::fsync(fd) == 0;
        if (!reussi)
            erreur = Erreur("cannot write " + chemin);
        if (::close(fd) != 0 && reussi)
        {
            reussi = false;
            erreur = Erreur("cannot write " + chemin);
        }
        return reussi;
    }

    bool EnregistrerAtomique(const std::string& cheminDonne, const std::string& octets, bool copie,
                             std::string& erreur)
    {
        // A link is followed: its target is replaced (or made), the link stays.
        std::string chemin;
        if (!CheminReel(cheminDonne, chemin, erreur))
            return false;
        struct stat etat;
        const bool existe = ::stat(chemin.c_str(), &etat) == 0;
        if (existe && S_ISDIR(etat.st_mode))
        {
            erreur = chemin + ": is a folder";
            return false;
        }
        Identite identite;
        bool connue = false;
        std::string avant;
        if (existe)
        {
            const int fd = ::open(chemin.c_str(), O_RDONLY | O_CLOEXEC);
            connue = fd >= 0 && LireIdentite(fd, identite);
            if (fd >= 0)
                ::close(fd);
            if (copie && !LireEntier(chemin, avant))
            {
                erreur = Erreur("cannot read the previous version " + chemin);
                return false;
            }
        }
        std::vector<std::string> manques;
        if (existe && copie)
        {
            const std::string cheminCopie = chemin + "~";
            struct stat etatCopie;
            if (::lstat(cheminCopie.c_str(), &etatCopie) == 0 && !S_ISREG(etatCopie.st_mode) &&
                !S_ISLNK(etatCopie.st_mode))
            {
                erreur = cheminCopie + (S_ISDIR(etatCopie.st_mode) ? " is a folder" : " is not a plain file") +
                         ": the previous version cannot be kept there; rename it or save elsewhere";
                return false;
            }
            if (!EcrireRemplacant(cheminCopie, avant, connue ? &identite : nullptr, Emploi::Copie, erreur, manques))
                return false;
        }
        return EcrireRemplacant(chemin, octets, connue ? &identite : nullptr, Emploi::Remplacant, erreur, manques);
    }

    void FixerEcriture(FonctionEcriture ecriture)
    {
        ecriture_ = ecriture;
    }
}
