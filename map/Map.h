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
    bool AutAcces(int x, int y);
    bool DiedAcces(int x, int y);
    int ReturnBonus(int x, int y);
    void AddBonus(int x, int y, int type);
    int ReturnPosDebutX();
    int ReturnPosDebutY();

    // Code of the cell at (column, row), or -1 when the grid holds no such cell.
    int CodeCase(int colonne, int ligne) const;
};

// Cuts `texte` at every `separateur` into `sortie` (see the loader); returns the
// number of pieces, always at least 1.
int Split(std::vector<std::string>* sortie, std::string texte, char separateur);
