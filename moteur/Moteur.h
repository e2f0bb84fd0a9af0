#pragma once
// The rendering engine: window and 800x600 logical view, frame bracket with the
// fade overlay and pacing, texture registry and sprites, halo glow, bitmap fonts.
#include <SDL.h>
#include <SDL_opengl.h>
#include <string>
#include <vector>

class CMoteur
{
public:
    // One registered image (texture id = index in Sprites).
    class CSprite
    {
    public:
        GLuint Texture;     // 0 when the file could not be loaded
        GLuint TextureHalo; // white silhouette, valid once HaloCree is true
        bool HaloCree;
        int LargeurImage;   // size of the image file (0 when it failed to load)
        int HauteurImage;
        std::string Chemin; // the image file, to load it again into a new GL context

        CSprite();
        void LoadTexture(const char* chemin);
        void Affiche(int x, int y, int largeur, int hauteur,
                     unsigned char rouge, unsigned char vert, unsigned char bleu,
                     bool utiliseAlpha, unsigned char alpha,
                     bool mirroirX, bool mirroirY);
        void AfficheHalo(int x, int y, int largeur, int hauteur,
                         unsigned char rouge, unsigned char vert, unsigned char bleu,
                         bool utiliseAlpha, unsigned char alpha,
                         bool mirroirX, bool mirroirY,
                         int tailleHalo,
                         unsigned char rougeHalo, unsigned char vertHalo, unsigned char bleuHalo);
        bool MakeTexHalo();
    };

    // One registered bitmap font (font id = index in Fontes): 42 glyph textures.
    class CTexte
    {
    public:
        static const int NbLettres = 42;
        GLuint Lettres[NbLettres];
        std::string Nom; // the font's folder, to load it again into a new GL context

        void LoadFont(const char* nom);
        int ChargerFichier(const char* nom, const char* fichier);
        static int giveLettre(char c);
        void DessineTexte(const char* texte, int taille, int x, int y,
                          unsigned char rouge, unsigned char vert, unsigned char bleu,
                          bool utiliseAlpha, unsigned char alpha);
    };

    bool PleinEcran;
    bool FonduActif;
    Uint32 nbFrames;
    Uint32 TempsFPS;
    Uint32 FPS;
    Uint32 DebutFondu;
    Uint32 FinFondu;
    SDL_Surface* Ecran;
    unsigned char CouleurFinFondu[4];   // blue, green, red, alpha
    unsigned char CouleurDebutFondu[4]; // blue, green, red, alpha
    // Keep drawing the end colour past the fade's end (set by the game screen
    // while the player is dead, until the fade from black replaces it).
    bool TenirFinFondu = false;
    std::vector<CSprite> Sprites;
    std::vector<CTexte> Fontes;

    CMoteur();
    ~CMoteur();

    // Window and frame
    int Init(bool pleinEcran, const char* titre);
    void ResizeWindow(int largeur, int hauteur);
    // Switches to full screen at the desktop's size or to the 800x600 window,
    // keeping the logical view and every texture. False, with the window, the
    // view and PleinEcran as they were, when SDL refuses the mode.
    bool ChangeMode(bool pleinEcran);
    // The video mode call of ChangeMode: SDL_SetVideoMode (tests replace it).
    static SDL_Surface* (*ModeVideo)(int largeur, int hauteur, int bits, Uint32 drapeaux);
    // Whether the GL context has lost the registered textures (SDL gave a new
    // context), and loading them all again from their files under the same ids.
    bool TexturesPerdues() const;
    void RechargeTextures();
    void DebutDessin();
    void FinDessin();
    // The fade overlay part of FinDessin: draws it while a fade runs, retires an
    // expired fade.
    void DessineFondu();
    void RajoutFondu(Uint32 debut, Uint32 fin,
                     unsigned char r1, unsigned char g1, unsigned char b1, unsigned char a1,
                     unsigned char r2, unsigned char g2, unsigned char b2, unsigned char a2);

    // Textures and sprites
    int NouvelleTexture(const char* chemin);
    void AfficheTexture(unsigned int id, int x, int y, int largeur, int hauteur,
                        unsigned char rouge, unsigned char vert, unsigned char bleu,
                        bool utiliseAlpha, unsigned char alpha);
    void AfficheTextureHalo(unsigned int id, int x, int y, int largeur, int hauteur,
                            unsigned char rouge, unsigned char vert, unsigned char bleu,
                            int tailleHalo,
                            unsigned char rougeHalo, unsigned char vertHalo, unsigned char bleuHalo,
                            bool utiliseAlpha, unsigned char alpha);

    // Fonts and text
    int NouvelleFonte(const char* nom);
    void DessineTexte(int fonte, const char* texte, int taille, int x, int y,
                      unsigned char rouge, unsigned char vert, unsigned char bleu,
                      bool utiliseAlpha, unsigned char alpha);
    void DessineFPS();
};

// Size drawn for a width or height (negative ones mirror).
int TailleAbsolue(int taille);

// Alpha of copy k (0 <= k < n) of a halo of n copies: 127 for the innermost,
// falling linearly towards 1 for the outermost; 0 when n <= 0.
int AlphaHalo(int k, int n);

// File name of a font's glyph slot (0..41), null for any other slot.
const char* FichierLettre(int slot);
// Writes "./Images/Fontes/<nom>/<fichier>" into chemin (taille bytes). A path
// that does not fit is not cut: the buffer is left empty and false returned.
bool CheminLettre(char* chemin, size_t taille, const char* nom, const char* fichier);
