#pragma once
// Reading a map file as the game reads it, and the small text helpers of the
// tool: positions (line, column) in the file, printable characters, JSON.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace AnalyseCarte
{
    // Largest file the tool reads (a level is a few kilobytes).
    const size_t TailleFichierMax = 16u * 1024u * 1024u;

    // Reads a whole file as bytes. False, with a message in `erreur`, when it
    // cannot be opened or read through, or is larger than TailleFichierMax.
    bool LireFichier(const std::string& chemin, std::string& octets, std::string& erreur);

    // The file's text as the game's loader sees it: every CR immediately
    // followed by an LF is dropped (CR LF reads as LF); a lone CR stays.
    struct TexteCarte
    {
        std::string Contenu;
        size_t NombreCrLf = 0;       // CR LF pairs read as LF
        size_t PremierCrLf = 0;      // offset in Contenu of the first such LF
        size_t NombreCrSeuls = 0;    // CRs not followed by LF (kept)
        size_t PremierCrSeul = 0;    // offset in Contenu of the first one
    };
    TexteCarte Normaliser(const std::string& octets);

    // Line and column (both from 1) of offsets in a text. Dropping the CR of a
    // CR LF pair leaves the lines and the columns before it unchanged, so the
    // positions in the normalised text are those of the file.
    class Positions
    {
    public:
        explicit Positions(const std::string& texte);
        int Ligne(size_t decalage) const;
        int Colonne(size_t decalage) const;

    private:
        std::vector<uint32_t> debuts_; // offset of the first character of each line
    };

    // A character as a person reads it in a message: 'x', or an escape such as
    // '\t', '\r', '\x1b'.
    std::string Montrer(char c);
    // At most `max` characters of a text, each shown like Montrer without the
    // quotes, with "..." when cut.
    std::string Extrait(const std::string& texte, size_t max = 24);
    // A JSON string literal, quotes included.
    std::string Json(const std::string& texte);
}
