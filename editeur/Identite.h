#pragma once
// What makes a file on disk the one the editor opened: its fingerprint (to
// notice another program's change), its identity (owner, group, mode, ACL,
// extended attributes) and how to carry that identity over to the file that
// replaces it or to a copy of it.
#include <cstdint>
#include <ctime>
#include <string>
#include <sys/types.h>
#include <vector>

namespace Edition
{
    // What the editor remembers of a file: where it is on disk, its size, its
    // modification time and a checksum of its bytes.
    struct Empreinte
    {
        bool Existe = false;
        dev_t Peripherique = 0;
        ino_t Inode = 0;
        off_t Taille = 0;
        timespec Modification{};
        uint32_t Somme = 0; // CRC-32 of the bytes
    };
    bool operator==(const Empreinte& a, const Empreinte& b);
    inline bool operator!=(const Empreinte& a, const Empreinte& b) { return !(a == b); }
    // Reads the file the path names (a link's target) and fingerprints it.
    Empreinte PrendreEmpreinte(const std::string& chemin, std::string* octets = nullptr);
    // One line for files of the autosave, and back.
    std::string EmpreinteEnTexte(const Empreinte& e);
    bool EmpreinteDeTexte(const std::string& texte, Empreinte& e);

    // The file a path names: the path itself, or the end of its chain of
    // symbolic links, even when that end does not exist yet (a dangling link).
    // False (with the reason) for a loop or a chain too long.
    bool CheminReel(const std::string& chemin, std::string& reel, std::string& erreur);

    std::string DossierDe(const std::string& chemin);
    std::string NomSeul(const std::string& chemin);
    // The whole file, with no size limit.
    bool LireEntier(const std::string& chemin, std::string& octets);

    // The file cannot be written by this user (no write permission, or none at
    // all for the super-user).
    bool EnLectureSeule(const std::string& chemin);
    // The folder cannot take a new file (the replacement cannot be written beside).
    bool DossierFerme(const std::string& dossier);

    // The owner, group, mode, ACL and extended attributes of an open file, to
    // give to another one.
    struct Identite
    {
        uid_t Proprietaire = 0;
        gid_t Groupe = 0;
        mode_t Mode = 0;
        nlink_t Liens = 1;
        std::string Acl; // the access ACL in its text form, empty without one
        std::vector<std::pair<std::string, std::string>> Attributs;
    };
    bool LireIdentite(int fd, Identite& identite);
    // What this user cannot give a new file of this identity: its owner, its
    // group; the other names (hard links) of the file, which keep the old bytes
    // when a new file replaces it. Said before saving.
    std::vector<std::string> CeQuiNeSeraPasGarde(const Identite& identite, const std::string& nom);

    enum class Emploi
    {
        Remplacant, // the file's new version: the same identity
        Copie,      // a backup: the same, never more readable than the file
        Privee      // an autosave: readable by this user only (and the group if kept)
    };
    // Gives `fd` the identity, as far as this user may; what could not be
    // given is added to `manques`. False only when the mode cannot be set.
    bool DonnerIdentite(int fd, const Identite& identite, Emploi usage, std::vector<std::string>& manques);
    // The permissions of a new file for this user (0666 less the umask).
    mode_t ModeNouveau();
}
