#pragma once
// Free utilities: image files to textures, surface flip, screenshots, XPM
// export, cursors from XPM, full-screen mode choice and axis drawing.
#include <SDL.h>
#include <vector>

namespace Outils
{
    int loadTexture(const char* chemin, int* largeur, int* hauteur, bool mipmaps);
    SDL_Surface* flipSurface(SDL_Surface* surface);
    // What loadTexture does to a loaded image before the upload, without any
    // OpenGL: a new surface in the 32-bit RGBA layout (bytes red, green, blue,
    // alpha), rows mirrored top to bottom. The image is neither changed nor
    // freed; the result belongs to the caller. Null for a null image or when
    // memory runs out.
    SDL_Surface* prepareSurface(SDL_Surface* image);
    // Reads an image from `source` as IMG_Load reads a file (the format found
    // from the contents; `type`, a file extension or null, only names the
    // formats that have no signature), and closes the source. Data on which
    // the image library is known to hang or crash gives null, like any
    // unreadable image: a PNG cut before its last chunk, a GIF with an
    // extension that runs past the end of the data, or whose first image is 0
    // pixels wide or high, too wide for SDL, larger than 2^24 pixels, or of a
    // code size outside 2 to 8.
    SDL_Surface* readImage(SDL_RWops* source, const char* type);
    // readImage of a file, the type taken from its extension; null for a null path.
    SDL_Surface* readImageFile(const char* chemin);

    // Saves the pixel transfer state (glPushClientAttrib) and sets tightly
    // packed rows of 4-byte pixels for reading back and for uploading, whatever
    // another part of the program left behind. The caller restores the state
    // with glPopClientAttrib once its transfer is done.
    void tightPixelRows();

    int takeScreenshot(const char* chemin);
    int XPMFromImage(const char* image, const char* sortie);
    SDL_Cursor* cursorFromXPM(const char** xpm);
    int initFullScreen(unsigned int* largeur, unsigned int* hauteur);
    void drawAxis(double echelle);

    // Width of the rows of an XPM picture made from an image `largeur` pixels
    // wide: rounded up to the next multiple of 8 (0 stays 0); -1 for a negative
    // width or one too large to round.
    int xpmPaddedWidth(int largeur);

    // The two bit planes of a cursor, as SDL_CreateCursor takes them: rows top
    // to bottom, Largeur / 8 bytes a row, the leftmost pixel in the highest bit.
    struct PlansCurseur
    {
        int Largeur = 0;  // a multiple of 8
        int Hauteur = 0;
        int PointX = 0;   // the hot spot
        int PointY = 0;
        std::vector<Uint8> Donnees;
        std::vector<Uint8> Masque;
    };

    // Reads an XPM array laid out as XPMFromImage writes it (the header, three
    // colour lines, one string per pixel row, the hot spot "x,y": 5 + height
    // strings). 'X' is black, '.' white, anything else transparent. A width that
    // is not a multiple of 8 is padded with transparent columns. False, with
    // `plans` left as it was, when the array cannot make a cursor: unreadable
    // header or hot spot, a size of zero or less, a null string, a row shorter
    // than the width, a hot spot outside the cursor.
    bool cursorPlanesFromXPM(const char** xpm, PlansCurseur& plans);

    // The first entry of a list from SDL_ListModes; null when SDL gave no list
    // (null: no mode; (SDL_Rect**)-1: any size) or an empty one.
    const SDL_Rect* firstListedMode(SDL_Rect** modes);
}
