// The level record and its loader: the map file is read whole, cut into
// sections, and the "Infos" and "Map" sections fill the dimensions, the start
// cell, the tile grid and the bonuses. The loader then makes the player.
#include "Map.h"

#include "../main/Globales.h"

#include <array>
#include <climits>
#include <cstdio>
#include <exception>
#include <utility>

CMap::CMap() : Hauteur(0), Largeur(0), PosDebutX(0), PosDebutY(0), ImgCases{}, ImgBonus{}
{
}

CMap::~CMap()
{
}

int CodeCaractere(char caractere)
{
    switch (caractere)
    {
    case ' ':
    case '1': case '2': case '3': case '4':
    case '5': case '6': case '7': case '8':
        return 1;
    case 'B': return 2;
    case 'C': return 3;
    case 'D': return 5;
    case 'E': return 6;
    case 'd': return 7;
    case 'S': return 8;
    case 's': return 9;
    case 'b': return 10;
    case 'V': return 11;
    case 'T': return 12;
    case 'v': return 13;
    case 't': return 14;
    case 'W': return 15;
    case 'M': return 16;
    case 'w': return 17;
    case 'm': return 18;
    case 'O': return 19;
    case 'o': return 20;
    case 'P': return 21;
    case 'R': return 22;
    case 'p': return 23;
    case 'r': return 24;
    case 'A': return 25;
    case 'H': return 26;
    case 'I': return 27;
    case 'h': return 28;
    case 'i': return 29;
    case 'X': return 30;
    case 'a': return 31;
    case 'x': return 32;
    case 'e': return 33;
    default:  return 0; // the wall (code 4) has no character
    }
}

int LireEntier(const std::string& texte)
{
    size_t i = 0;
    while (i < texte.size() && (texte[i] == ' ' || texte[i] == '\t' || texte[i] == '\n' ||
                                texte[i] == '\v' || texte[i] == '\f' || texte[i] == '\r'))
        ++i;
    bool negatif = false;
    if (i < texte.size() && (texte[i] == '+' || texte[i] == '-'))
    {
        negatif = texte[i] == '-';
        ++i;
    }
    // The magnitude stops growing just past what an int can hold, so that a
    // number of any length saturates instead of overflowing.
    const long long plafond = static_cast<long long>(INT_MAX) + 1;
    long long valeur = 0;
    for (; i < texte.size() && texte[i] >= '0' && texte[i] <= '9'; ++i)
    {
        valeur = valeur * 10 + (texte[i] - '0');
        if (valeur > plafond)
            valeur = plafond;
    }
    if (negatif)
        return static_cast<int>(-valeur); // -2^31 at most: INT_MIN
    return valeur > INT_MAX ? INT_MAX : static_cast<int>(valeur);
}

namespace
{
    // "Infos": key=value lines. The four numbers are gathered first and stored
    // together, so a section that cannot be read through changes nothing.
    void AnalyseInfos(CMap& carte, const std::string& corps)
    {
        int hauteur = carte.Hauteur;
        int largeur = carte.Largeur;
        int debutX = carte.PosDebutX;
        int debutY = carte.PosDebutY;
        std::vector<std::string> lignes;
        Split(&lignes, corps, '\n');
        for (const std::string& ligne : lignes)
        {
            if (ligne.empty())
                continue;
            std::vector<std::string> morceaux;
            Split(&morceaux, ligne, '=');
            // A line without "=" has no value, even when it is a key: ignored.
            if (morceaux.size() < 2)
                continue;
            const std::string& cle = morceaux[0];
            if (cle == "Hauteur")
                hauteur = LireEntier(morceaux[1]);
            else if (cle == "Largeur")
                largeur = LireEntier(morceaux[1]);
            else if (cle == "PosDebutX")
                debutX = LireEntier(morceaux[1]);
            else if (cle == "PosDebutY")
                debutY = LireEntier(morceaux[1]);
        }
        carte.Hauteur = hauteur;
        carte.Largeur = largeur;
        carte.PosDebutX = debutX;
        carte.PosDebutY = debutY;
    }

    // "Map": one text line a tile row, read with the dimensions in force.
    //
    // A section is refused as a whole, leaving the grid and the bonuses as they
    // were, when its dimensions cannot make a grid: a negative width or height,
    // a side above CMap::CotesMax tiles (which also keeps every pixel position
    // 64 x tile well inside an int), or more than CMap::CasesMax tiles in all.
    // The new grid is built aside and swapped in at the end, so that running out
    // of memory half-way refuses the section in the same way.
    //
    // Rows beyond the height are ignored, with any bonus on them: nothing of the
    // map lies outside its grid.
    void AnalyseGrille(CMap& carte, std::string& corps)
    {
        const int largeur = carte.Largeur;
        const int hauteur = carte.Hauteur;
        if (largeur < 0 || hauteur < 0)
            return;
        if (largeur > CMap::CotesMax || hauteur > CMap::CotesMax)
            return;
        if (static_cast<long long>(largeur) * hauteur > CMap::CasesMax)
            return;

        std::vector<std::vector<signed char>> grille(carte.Cases);
        grille.resize(static_cast<size_t>(largeur));
        for (std::vector<signed char>& colonne : grille)
            colonne.resize(static_cast<size_t>(hauteur), 0);

        // The tile code of every byte, looked up instead of worked out per cell.
        static const std::array<signed char, 256> Codes = []
        {
            std::array<signed char, 256> codes{};
            for (int c = 0; c < 256; ++c)
                codes[static_cast<size_t>(c)] = static_cast<signed char>(CodeCaractere(static_cast<char>(c)));
            return codes;
        }();

        std::vector<CMap::CBonus> bonus;
        std::vector<std::string> lignes;
        // The body is not needed again: handed over to the cut, not copied.
        Split(&lignes, std::move(corps), '\n');
        int ligne = 0;
        for (const std::string& texte : lignes)
        {
            if (texte.empty())
                continue;
            if (ligne >= hauteur)
                break;
            const size_t colonnes =
                texte.size() < static_cast<size_t>(largeur) ? texte.size() : static_cast<size_t>(largeur);
            for (size_t c = 0; c < colonnes; ++c)
            {
                const char caractere = texte[c];
                if (caractere >= '1' && caractere <= '8')
                {
                    CMap::CBonus b;
                    b.CaseX = static_cast<int>(c);
                    b.CaseY = ligne;
                    b.Type = caractere - '0';
                    bonus.push_back(b);
                }
                const signed char code = Codes[static_cast<unsigned char>(caractere)];
                if (code != 0)
                    grille[c][static_cast<size_t>(ligne)] = code;
            }
            ++ligne;
        }

        // Everything that may fail is done: make room, then commit without throwing.
        carte.ListeBonus.reserve(carte.ListeBonus.size() + bonus.size());
        carte.Cases.swap(grille);
        carte.ListeBonus.insert(carte.ListeBonus.end(), bonus.begin(), bonus.end());
    }

    // The whole file as the game reads it: CR LF pairs read as LF, a lone CR
    // stays. False (and nothing read) when the file cannot be opened or read
    // through.
    bool LireFichier(const char* chemin, std::string& contenu)
    {
        std::FILE* fichier = std::fopen(chemin, "rb");
        if (fichier == nullptr)
            return false;
        bool lu = true;
        try
        {
            // Room for the whole file at once, rather than growing by doubling.
            if (std::fseek(fichier, 0, SEEK_END) == 0)
            {
                const long taille = std::ftell(fichier);
                if (taille > 0)
                    contenu.reserve(static_cast<size_t>(taille));
                std::rewind(fichier);
            }
            char tampon[4096];
            size_t n;
            while ((n = std::fread(tampon, 1, sizeof tampon, fichier)) > 0)
                contenu.append(tampon, n);
        }
        catch (const std::exception&)
        {
            contenu.clear();
            lu = false;
        }
        std::fclose(fichier);

        // Compacted from the first CR on: a file without one is left as read.
        const size_t premierCR = contenu.find('\r');
        size_t ecrit = premierCR == std::string::npos ? contenu.size() : premierCR;
        for (size_t i = ecrit; i < contenu.size(); ++i)
        {
            if (contenu[i] == '\r' && i + 1 < contenu.size() && contenu[i + 1] == '\n')
                continue;
            contenu[ecrit++] = contenu[i];
        }
        contenu.resize(ecrit);
        return lu;
    }
}

namespace
{
    // What AnalyseContenu does, on a text it may take apart: the loader hands
    // over the file it has just read instead of copying it.
    void AnalyseTexte(CMap& carte, std::string& contenu)
    {
        try
        {
            std::vector<std::string> sections;
            Split(&sections, std::move(contenu), '[');
            // The text before the first "[" is not a section.
            for (size_t i = 1; i < sections.size(); ++i)
            {
                try
                {
                    std::vector<std::string> parties;
                    // The section's text is not needed again: handed over, not copied.
                    Split(&parties, std::move(sections[i]), ']');
                    // A name never closed by "]" has no body: the section is skipped.
                    // A second "]" ends the body; what follows it is ignored.
                    if (parties.size() < 2)
                        continue;
                    if (parties[0] == "Infos")
                        AnalyseInfos(carte, parties[1]);
                    else if (parties[0] == "Map")
                        AnalyseGrille(carte, parties[1]);
                }
                catch (const std::exception&)
                {
                    // Out of memory in this section: it is skipped, the next ones are read.
                }
            }
        }
        catch (const std::exception&)
        {
            // Out of memory before any section: the level stays as it was.
        }
    }
}

void CMap::AnalyseContenu(const std::string& contenu)
{
    try
    {
        std::string texte(contenu);
        AnalyseTexte(*this, texte);
    }
    catch (const std::exception&)
    {
        // Out of memory before any section: the level stays as it was.
    }
}

int CMap::LoadMap(const char* nom)
{
    // A name whose path does not fit in 1000 bytes is a file that cannot be
    // opened: the level is left as it is and the player is still made.
    std::string contenu;
    char chemin[1000];
    if (nom != nullptr)
    {
        const int longueur = std::snprintf(chemin, sizeof chemin, "./Data/Maps/%s", nom);
        if (longueur >= 0 && static_cast<size_t>(longueur) < sizeof chemin)
            LireFichier(chemin, contenu);
    }
    AnalyseTexte(*this, contenu);
    std::string().swap(contenu);

    // Room for the one character is made before the list is emptied; should
    // even that fail, the list is empty and there is no player to give (-1).
    try
    {
        Personnages.reserve(1);
    }
    catch (const std::exception&)
    {
        return static_cast<int>(Personnages.size()) - 1;
    }
    Personnages.clear();
    Personnages.push_back(CPerso());
    CPerso& joueur = Personnages.back();
    joueur.LoadTexPerso("Principal");
    joueur.ModifPos(ReturnPosDebutX(), ReturnPosDebutY());
    return static_cast<int>(Personnages.size()) - 1;
}
