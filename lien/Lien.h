#pragma once
// Levels in links: "ADDRESS#niveau=CODE", where CODE is the level file's
// bytes compressed with raw DEFLATE (RFC 1951) and written in base64url
// without padding (RFC 4648, section 5). The page decodes the same codes
// (web/page/lien.js, with the same limits).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Lien
{
    // A level file larger than this is refused, and so is a code that
    // inflates beyond it.
    constexpr std::size_t TailleNiveauMax = std::size_t(1) << 20;
    // Characters of a code.
    constexpr std::size_t LongueurCodeMax = 200000;

    enum class Erreur
    {
        Aucune,
        TropLong,           // the code is longer than LongueurCodeMax
        PasBase64url,       // a character outside A-Z a-z 0-9 - _, or a length no base64 has
        NeSeDecompressePas, // not a whole raw DEFLATE stream, or bytes after its end
        TropGrand,          // inflates beyond TailleNiveauMax
    };

    // What went wrong, in a sentence.
    const char* Message(Erreur erreur);

    std::string EnBase64url(const std::vector<std::uint8_t>& octets);
    bool DepuisBase64url(const std::string& texte, std::vector<std::uint8_t>& octets);

    // Raw DEFLATE, at the strongest compression.
    std::vector<std::uint8_t> Compresser(const std::vector<std::uint8_t>& octets);
    // False unless `compresse` is exactly one whole stream that inflates to at
    // most `maximum` bytes.
    bool Decompresser(const std::vector<std::uint8_t>& compresse, std::size_t maximum,
                      std::vector<std::uint8_t>& octets);

    // A level's bytes to its code, and back.
    std::string Encoder(const std::vector<std::uint8_t>& niveau);
    Erreur Decoder(const std::string& code, std::vector<std::uint8_t>& niveau);

    // "ADDRESS#niveau=CODE".
    std::string Composer(const std::string& adresse, const std::string& code);
    // The code of a link: what follows "#niveau=", or the whole text when it
    // has no such part (a bare code).
    std::string CodeDuLien(const std::string& lien);
}
