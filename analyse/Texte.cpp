#include "Texte.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>

namespace AnalyseCarte
{
    bool LireFichier(const std::string& chemin, std::string& octets, std::string& erreur)
    {
        octets.clear();
        std::FILE* fichier = std::fopen(chemin.c_str(), "rb");
        if (fichier == nullptr)
        {
            erreur = std::strerror(errno);
            return false;
        }
        bool lu = true;
        try
        {
            char tampon[65536];
            size_t n;
            while ((n = std::fread(tampon, 1, sizeof tampon, fichier)) > 0)
            {
                if (octets.size() + n > TailleFichierMax)
                {
                    erreur = "file larger than 16 MiB";
                    lu = false;
                    break;
                }
                octets.append(tampon, n);
            }
            if (lu && std::ferror(fichier))
            {
                // A folder opens but cannot be read.
                erreur = errno != 0 ? std::strerror(errno) : "read error";
                lu = false;
            }
        }
        catch (const std::exception&)
        {
            erreur = "out of memory";
            lu = false;
        }
        std::fclose(fichier);
        if (!lu)
            octets.clear();
        return lu;
    }

    TexteCarte Normaliser(const std::string& octets)
    {
        TexteCarte texte;
        texte.Contenu.reserve(octets.size());
        for (size_t i = 0; i < octets.size(); ++i)
        {
            const char c = octets[i];
            if (c == '\r')
            {
                if (i + 1 < octets.size() && octets[i + 1] == '\n')
                {
                    if (texte.NombreCrLf++ == 0)
                        texte.PremierCrLf = texte.Contenu.size();
                    continue;
                }
                if (texte.NombreCrSeuls++ == 0)
                    texte.PremierCrSeul = texte.Contenu.size();
            }
            texte.Contenu.push_back(c);
        }
        return texte;
    }

    Positions::Positions(const std::string& texte)
    {
        debuts_.push_back(0);
        for (size_t i = 0; i < texte.size(); ++i)
            if (texte[i] == '\n')
                debuts_.push_back(static_cast<uint32_t>(i + 1)); // texts are at most 16 MiB
    }

    int Positions::Ligne(size_t decalage) const
    {
        // The last line start at or before the offset.
        const auto it = std::upper_bound(debuts_.begin(), debuts_.end(), static_cast<uint32_t>(decalage));
        return static_cast<int>(it - debuts_.begin());
    }

    int Positions::Colonne(size_t decalage) const
    {
        const int ligne = Ligne(decalage);
        return static_cast<int>(decalage - debuts_[static_cast<size_t>(ligne - 1)]) + 1;
    }

    namespace
    {
        std::string Echappe(char c)
        {
            switch (c)
            {
            case '\t': return "\\t";
            case '\r': return "\\r";
            case '\n': return "\\n";
            case '\\': return "\\\\";
            case '\'': return "\\'";
            default: break;
            }
            const unsigned char u = static_cast<unsigned char>(c);
            if (u < 0x20 || u >= 0x7F)
            {
                char tampon[8];
                std::snprintf(tampon, sizeof tampon, "\\x%02x", u);
                return tampon;
            }
            return std::string(1, c);
        }
    }

    std::string Montrer(char c)
    {
        return "'" + Echappe(c) + "'";
    }

    std::string Extrait(const std::string& texte, size_t max)
    {
        std::string resultat;
        const size_t n = std::min(texte.size(), max);
        for (size_t i = 0; i < n; ++i)
            resultat += Echappe(texte[i]);
        if (texte.size() > max)
            resultat += "...";
        return resultat;
    }

    std::string Json(const std::string& texte)
    {
        std::string resultat = "\"";
        for (const char c : texte)
        {
            const unsigned char u = static_cast<unsigned char>(c);
            switch (c)
            {
            case '"': resultat += "\\\""; break;
            case '\\': resultat += "\\\\"; break;
            case '\n': resultat += "\\n"; break;
            case '\r': resultat += "\\r"; break;
            case '\t': resultat += "\\t"; break;
            default:
                if (u < 0x20 || u >= 0x7F)
                {
                    // Messages are ASCII (Montrer escapes other bytes), but a
                    // file name may hold anything: keep JSON valid.
                    char tampon[8];
                    std::snprintf(tampon, sizeof tampon, "\\u%04x", u);
                    resultat += tampon;
                }
                else
                    resultat += c;
            }
        }
        return resultat + "\"";
    }
}
