#include "Lien.h"

#include <zlib.h>

namespace Lien
{
    namespace
    {
        const char Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

        int Valeur(char c)
        {
            if (c >= 'A' && c <= 'Z')
                return c - 'A';
            if (c >= 'a' && c <= 'z')
                return c - 'a' + 26;
            if (c >= '0' && c <= '9')
                return c - '0' + 52;
            if (c == '-')
                return 62;
            if (c == '_')
                return 63;
            return -1;
        }

        const std::string Marque = "#niveau=";
    }

    const char* Message(Erreur erreur)
    {
        switch (erreur)
        {
        case Erreur::Aucune:
            return "no error";
        case Erreur::TropLong:
            return "the link is too long (more than 200000 characters of code)";
        case Erreur::PasBase64url:
            return "the link's code is not base64url";
        case Erreur::NeSeDecompressePas:
            return "the link's code does not inflate to a level";
        case Erreur::TropGrand:
            return "the link's level is too large (more than 1 MB)";
        }
        return "unknown error";
    }

    std::string EnBase64url(const std::vector<std::uint8_t>& octets)
    {
        std::string texte;
        texte.reserve((octets.size() + 2) / 3 * 4);
        std::size_t i = 0;
        for (; i + 3 <= octets.size(); i += 3)
        {
            const std::uint32_t v = (octets[i] << 16) | (octets[i + 1] << 8) | octets[i + 2];
            for (int k = 18; k >= 0; k -= 6)
                texte += Alphabet[(v >> k) & 63];
        }
        const std::size_t reste = octets.size() - i;
        if (reste > 0)
        {
            const std::uint32_t v = (octets[i] << 16) | (reste == 2 ? octets[i + 1] << 8 : 0);
            texte += Alphabet[(v >> 18) & 63];
            texte += Alphabet[(v >> 12) & 63];
            if (reste == 2)
                texte += Alphabet[(v >> 6) & 63];
        }
        return texte;
    }

    bool DepuisBase64url(const std::string& texte, std::vector<std::uint8_t>& octets)
    {
        octets.clear();
        if (texte.size() % 4 == 1)
            return false;
        std::uint32_t tampon = 0;
        int bits = 0;
        for (const char c : texte)
        {
            const int v = Valeur(c);
            if (v < 0)
                return false;
            tampon = (tampon << 6) | static_cast<std::uint32_t>(v);
            bits += 6;
            if (bits >= 8)
            {
                bits -= 8;
                octets.push_back(static_cast<std::uint8_t>(tampon >> bits));
                tampon &= (1u << bits) - 1;
            }
        }
        return true;
    }

    std::vector<std::uint8_t> Compresser(const std::vector<std::uint8_t>& octets)
    {
        z_stream z{};
        std::vector<std::uint8_t> sortie;
        if (deflateInit2(&z, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY) != Z_OK)
            return sortie;
        sortie.resize(deflateBound(&z, static_cast<uLong>(octets.size())));
        z.next_in = const_cast<Bytef*>(octets.data());
        z.avail_in = static_cast<uInt>(octets.size());
        z.next_out = sortie.data();
        z.avail_out = static_cast<uInt>(sortie.size());
        const int r = deflate(&z, Z_FINISH);
        sortie.resize(r == Z_STREAM_END ? z.total_out : 0);
        deflateEnd(&z);
        return sortie;
    }

    namespace
    {
        enum class Inflation
        {
            Entiere,
            TropGrande,
            Cassee,
        };

        Inflation Gonfler(const std::vector<std::uint8_t>& compresse, std::size_t maximum,
                          std::vector<std::uint8_t>& octets)
        {
            octets.clear();
            z_stream z{};
            if (inflateInit2(&z, -15) != Z_OK)
                return Inflation::Cassee;
            z.next_in = const_cast<Bytef*>(compresse.data());
            z.avail_in = static_cast<uInt>(compresse.size());
            std::uint8_t tampon[16384];
            Inflation resultat = Inflation::Cassee;
            for (;;)
            {
                z.next_out = tampon;
                z.avail_out = sizeof tampon;
                const int r = inflate(&z, Z_NO_FLUSH);
                const std::size_t n = sizeof tampon - z.avail_out;
                if (octets.size() + n > maximum)
                {
                    resultat = Inflation::TropGrande;
                    break;
                }
                octets.insert(octets.end(), tampon, tampon + n);
                if (r == Z_STREAM_END)
                {
                    // Whole, and nothing after its end.
                    resultat = z.avail_in == 0 ? Inflation::Entiere : Inflation::Cassee;
                    break;
                }
                if (r != Z_OK)
                    break; // a broken stream, or the input ended before it did
            }
            inflateEnd(&z);
            if (resultat != Inflation::Entiere)
                octets.clear();
            return resultat;
        }
    }

    bool Decompresser(const std::vector<std::uint8_t>& compresse, std::size_t maximum,
                      std::vector<std::uint8_t>& octets)
    {
        return Gonfler(compresse, maximum, octets) == Inflation::Entiere;
    }

    std::string Encoder(const std::vector<std::uint8_t>& niveau)
    {
        return EnBase64url(Compresser(niveau));
    }

    Erreur Decoder(const std::string& code, std::vector<std::uint8_t>& niveau)
    {
        niveau.clear();
        if (code.size() > LongueurCodeMax)
            return Erreur::TropLong;
        std::vector<std::uint8_t> compresse;
        if (!DepuisBase64url(code, compresse))
            return Erreur::PasBase64url;
        switch (Gonfler(compresse, TailleNiveauMax, niveau))
        {
        case Inflation::Entiere:
            return Erreur::Aucune;
        case Inflation::TropGrande:
            return Erreur::TropGrand;
        default:
            return Erreur::NeSeDecompressePas;
        }
    }

    std::string Composer(const std::string& adresse, const std::string& code)
    {
        return adresse + Marque + code;
    }

    std::string CodeDuLien(const std::string& lien)
    {
        const std::size_t p = lien.find(Marque);
        return p == std::string::npos ? lien : lien.substr(p + Marque.size());
    }
}
