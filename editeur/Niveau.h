#pragma once
// The level being edited, as the designer sees it: one character of the map
// file per cell (a tile letter, a blank, a bonus digit), the size and the start
// cell. Also the palette (what a cell can hold) and the table of tools.
#include <cstddef>
#include <string>
#include <vector>

namespace Edition
{
    // A cell the file leaves unset (the loader gives it code 0: an invisible
    // wall). It has no character of its own: it is written as CaractereNonDefini,
    // which is no tile and so leaves the cell unset again.
    const char CaseNonDefinie = '\0';
    const char CaractereNonDefini = '?';

    struct Niveau
    {
        int Largeur = 0;  // columns
        int Hauteur = 0;  // rows
        int DebutX = 1;   // start column, counted from 1 as in the file
        int DebutY = 1;   // start row, counted from 1
        std::vector<char> Cases;  // row after row: index ligne * Largeur + colonne

        bool Dedans(int colonne, int ligne) const
        {
            return colonne >= 0 && ligne >= 0 && colonne < Largeur && ligne < Hauteur;
        }
        size_t Indice(int colonne, int ligne) const
        {
            return static_cast<size_t>(ligne) * static_cast<size_t>(Largeur) + static_cast<size_t>(colonne);
        }
        // The cell's character; CaseNonDefinie outside the grid too.
        char Case(int colonne, int ligne) const
        {
            return Dedans(colonne, ligne) ? Cases[Indice(colonne, ligne)] : CaseNonDefinie;
        }
        bool operator==(const Niveau& autre) const
        {
            return Largeur == autre.Largeur && Hauteur == autre.Hauteur && DebutX == autre.DebutX &&
                   DebutY == autre.DebutY && Cases == autre.Cases;
        }
        bool operator!=(const Niveau& autre) const { return !(*this == autre); }
    };

    // A closed box of `largeur` x `hauteur` (walls, earth floor, grass above it)
    // with the start cell inside: what a new file starts with.
    Niveau NouveauNiveau(int largeur = 40, int hauteur = 15);

    // The tile code the game gives a cell's character (0 for CaseNonDefinie).
    int CodeDeCase(char caractere);
    // The bonus type (1 to 8) of a cell's character, 0 when it holds none.
    int BonusDeCase(char caractere);
    // The character that gives tile code `code` in a file (' ' for 1), or
    // CaseNonDefinie when none does (0, and the wall, 4, which no character makes).
    char CaractereDeCode(int code);
    // What a person calls the cell's content: "grass", "life 50 bonus", "unset cell".
    std::string NomDeCase(char caractere);

    // One entry of the palette: a cell content, or the start cell.
    struct EntreePalette
    {
        char Caractere = ' ';     // meaningless for the start
        bool Depart = false;      // the start cell
        bool Utilisable = true;   // false for the wall: no character makes it
        std::string Nom;
    };
    // "empty", the 32 tiles by code, the 8 bonuses, the start cell.
    const std::vector<EntreePalette>& Palette();

    // The tools, kept in one table: the editor's keys, its help and its
    // palette read it, and a new tool is one more line.
    enum class Outil
    {
        Crayon,       // paint cells under the pointer, a drag is one stroke
        Rectangle,    // fill the rectangle between press and release
        Remplissage,  // flood the connected cells of the same content
        Remplacement, // replace every cell of the clicked content
        Gomme,        // paint empty cells
        Depart,       // move the start cell
        Autotuilage   // paint a material, its tiles and its neighbours' fitted
    };
    struct DescriptionOutil
    {
        Outil Id;
        char Touche;        // key that selects it (lower case letter)
        const char* Nom;
        const char* Aide;
    };
    const std::vector<DescriptionOutil>& Outils();
    const DescriptionOutil& DescriptionDe(Outil outil);
}
