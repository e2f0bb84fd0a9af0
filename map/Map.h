#pragma once
// The level: tile grid, start cell and bonuses read from a map file, the tile
// set and its drawing around the camera, and the pixel queries of movement.
#include <SDL.h>
#include <string>
#include <vector>

class CMap
{
public:
    class CBonus
    {
    public:
        int CaseX; // tile column
        int CaseY; // tile row
        int Type;  // 1..4 life 25/50/75/100, 5..8 mana 25/50/75/100
        CBonus() {}
        ~CBonus() {}
    };

    static const int TailleCase = 64;
    static const int NbCodes = 34;
    static const int NbTypesBonus = 8;
    static const int NbFramesBonus = 10;

    int Hauteur;   // tile rows
    int Largeur;   // tile columns
    int PosDebutX; // start column, from 1
    int PosDebutY; // start row, from 1
    std::vector<std::vector<signed char>> Cases; // [column][row]
    std::vector<CBonus> ListeBonus;
    unsigned int ImgCases[NbCodes];
    unsigned int ImgBonus[NbTypesBonus][NbFramesBonus];

    CMap();
    ~CMap();

    // Loading
    int LoadMap(const char* nom);
    void LoadTextures();

    // Drawing
    void RenderMap(int x, int y);

    // Queries
    inline bool AutAcces(int x, int y);
    inline bool DiedAcces(int x, int y);
    int ReturnBonus(int x, int y);
    void AddBonus(int x, int y, int type);
    int ReturnPosDebutX();
    int ReturnPosDebutY();

    // Code of the cell at (column, row), or -1 when the grid holds no such cell.
    inline int CodeCase(int colonne, int ligne) const;

    // Fills the level from the text of a map file as LoadMap reads it (CR LF
    // pairs already read as LF), without touching the characters: what LoadMap
    // does between reading the file and making the player. Never throws.
    void AnalyseContenu(const std::string& contenu);

    // Camera offsets of RenderMap for the point (x, y) to keep in view on a map
    // of `largeur` columns and `hauteur` rows. 64-bit: huge dimensions cannot
    // overflow.
    static long long DecalageCameraX(int x, int largeur);
    static long long DecalageCameraY(int y, int hauteur);
    // Animation frame (0..9) shared by every bonus at clock `ticks`.
    static int FrameBonus(Uint32 ticks);

    // Largest grid a "Map" section may make: at most 65536 tiles a side and
    // 2^24 tiles in all; larger dimensions leave the grid as it was.
    static const int CotesMax = 65536;
    static const long long CasesMax = 1LL << 24;
};

// The pixel queries are asked tens of times per movement step: inline.
inline int CMap::CodeCase(int colonne, int ligne) const
{
    if (colonne < 0 || ligne < 0)
        return -1;
    const size_t c = static_cast<size_t>(colonne);
    const size_t l = static_cast<size_t>(ligne);
    if (c >= Cases.size() || l >= Cases[c].size())
        return -1;
    return Cases[c][l];
}

inline bool CMap::AutAcces(int x, int y)
{
    // Pixel to tile as the C function div does it (quotient truncated toward
    // zero, remainder of the dividend's sign): C++'s / and % do the same.
    const int rx = x % TailleCase;
    const int ry = y % TailleCase;
    // A pixel outside the grid is a wall: the character stays inside.
    switch (CodeCase(x / TailleCase, y / TailleCase))
    {
    case 1: // empty
    case 3: // water
        return true;
    case 8:  // hilltop, right side: ground falls towards the right
    case 21: // slope, right
        return ry < rx;
    case 9:  // hilltop, left side: ground rises towards the right
    case 23: // slope, left
        return ry < TailleCase - rx;
    default:
        return false;
    }
}

inline bool CMap::DiedAcces(int x, int y)
{
    // Only water kills; outside the grid nothing does.
    return CodeCase(x / TailleCase, y / TailleCase) == 3;
}

// Image file of tile code `code` (2 to 33), relative to the game's folder
// ("Images/Maps/..."); null for any other code.
const char* CheminImageCase(int code);
// File name pattern of the frames of bonus type `type` (1 to 8), "%d" standing
// for the frame number 1 to 10 ("Images/Bonus/..."); null for any other type.
const char* MotifImageBonus(int type);

// The tile code a character of a map row gives (1 for a blank or a bonus digit),
// or 0 when the character is not a tile and leaves its cell unchanged.
int CodeCaractere(char caractere);

// Reads a number the way the map file's values are read: leading white space,
// an optional sign, decimal digits up to the first other character, 0 when there
// are none; a number beyond the range of int gives INT_MAX or INT_MIN.
int LireEntier(const std::string& texte);

// Cuts `texte` at every `separateur` into `sortie` (see the loader); returns the
// number of pieces, always at least 1.
int Split(std::vector<std::string>* sortie, std::string texte, char separateur);
