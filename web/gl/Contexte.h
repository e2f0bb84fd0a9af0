#pragma once
// The drawing layer's state, shared by its two halves: GlWeb.cpp (state,
// matrices, primitives, the batch) and Textures.cpp (textures and pixels).
#include "GlWeb.h"
#include "Mipmaps.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace GlWeb
{
    struct Matrice
    {
        float m[16]; // column-major, as GL's
    };

    inline Matrice Identite()
    {
        Matrice r{};
        r.m[0] = r.m[5] = r.m[10] = r.m[15] = 1;
        return r;
    }

    inline Matrice Produit(const Matrice& a, const Matrice& b)
    {
        Matrice r{};
        for (int c = 0; c < 4; ++c)
            for (int l = 0; l < 4; ++l)
            {
                float s = 0;
                for (int k = 0; k < 4; ++k)
                    s += a.m[k * 4 + l] * b.m[c * 4 + k];
                r.m[c * 4 + l] = s;
            }
        return r;
    }

    struct Sommet
    {
        float X, Y, S, T;
        std::uint8_t R, V, B, A;
        float Couche; // the texture's layer in its array (see Rangees.cpp)
    };

    struct Texture
    {
        GLuint Reelle = 0;   // the WebGL texture
        bool Image = false;  // level 0 given
        bool Mipmaps = false;
        int Largeur = 0, Hauteur = 0;
        GLint Min = GL_NEAREST_MIPMAP_LINEAR, Mag = GL_LINEAR, EnveloppeS = GL_REPEAT, EnveloppeT = GL_REPEAT;
        std::vector<std::uint8_t> Niveau0; // RGBA, for read-back
        // Every level as uploaded, while the layer knows them all (a texture
        // whose levels it does not all know never goes into an array).
        std::vector<Niveau> Niveaux;
        int Rangee = -1, Couche = -1; // its place in an array, if any
    };

    // Textures of one size and sampling side by side in one WebGL 2 texture
    // array: quads of any of them are drawn together.
    struct Rangee
    {
        GLuint Reelle = 0;
        int Largeur = 0, Hauteur = 0, NombreNiveaux = 0;
        GLint Min = 0, Mag = 0, EnveloppeS = 0, EnveloppeT = 0;
        std::vector<GLuint> Couches; // the texture in each layer (0: free)
    };

    // What a draw depends on besides its vertices.
    struct Etat
    {
        bool Texture = false; // texturing on, with a complete texture
        GLuint Nom = 0;
        int Rangee = -1;      // drawn from this array instead (Nom unused)
        bool Melange = false;
        GLenum Source = GL_ONE, Destination = GL_ZERO;
        GLenum Primitive = GL_TRIANGLES;
        bool operator==(const Etat& o) const
        {
            return Texture == o.Texture && Rangee == o.Rangee && (!Texture || Rangee >= 0 || Nom == o.Nom) &&
                   Melange == o.Melange &&
                   (!Melange || (Source == o.Source && Destination == o.Destination)) && Primitive == o.Primitive;
        }
    };

    // A batch waiting to be drawn: its state, its triangles or lines, and the
    // box they cover on screen (all of it, for lines).
    struct Commande
    {
        Etat E;
        std::vector<Sommet> Sommets;
        float X0 = 0, Y0 = 0, X1 = 0, Y1 = 0;
    };

    struct Attributs
    {
        bool Melange, Texturage, LissageLignes, Eclairage;
        GLenum Source, Destination;
        float Couleur[4];
        GLuint Liee;
        float LargeurLigne;
    };

    struct Stockage
    {
        GLint Valeurs[12];
    };

    inline const GLenum NomsStockage[12] = {GL_PACK_SWAP_BYTES, GL_PACK_LSB_FIRST, GL_PACK_ROW_LENGTH,
                                     GL_PACK_SKIP_ROWS, GL_PACK_SKIP_PIXELS, GL_PACK_ALIGNMENT,
                                     GL_UNPACK_SWAP_BYTES, GL_UNPACK_LSB_FIRST, GL_UNPACK_ROW_LENGTH,
                                     GL_UNPACK_SKIP_ROWS, GL_UNPACK_SKIP_PIXELS, GL_UNPACK_ALIGNMENT};

    struct Contexte
    {
        bool Pret = false;
        GLuint Programme = 0, Tampon = 0;
        GLint UniteTexture = -1, AvecTexture = -1;
        // WebGL 2: texture arrays, and the program that samples them.
        bool Version2 = false;
        GLuint ProgrammeRangees = 0;
        std::vector<Rangee> Rangees;

        // The game's state
        bool Melange = false, Texturage = false, LissageLignes = false, Eclairage = false;
        GLenum Source = GL_ONE, Destination = GL_ZERO;
        GLenum Mode = GL_MODELVIEW;
        std::vector<Matrice> Vue{Identite()}, Projection{Identite()};
        Matrice Combinee = Identite();
        bool CombineeAJour = true;
        std::uint8_t Couleur[4] = {255, 255, 255, 255};
        float S = 0, T = 0;
        GLuint Liee = 0;
        float LargeurLigne = 1;
        std::vector<Texture> Textures{Texture()}; // name 0: the default texture, no image
        Stockage Pixels{{0, 0, 0, 0, 0, 4, 0, 0, 0, 0, 0, 4}};
        std::vector<Attributs> PileAttributs;
        std::vector<Stockage> PileStockage;
        GLint Vue4[4] = {0, 0, 0, 0};
        float Fond[4] = {0, 0, 0, 0};

        // The primitive being given, its triangles or lines, then the batches
        // waiting to be drawn (the first Actives of Commandes; the others
        // keep their memory for the next frame), and their vertices put
        // together for the upload.
        GLenum Primitive = 0;
        bool DansPrimitive = false;
        std::vector<Sommet> Entree;
        std::vector<Sommet> Nouveaux;
        std::vector<Commande> Commandes;
        std::size_t Actives = 0;
        float CoucheCourante = 0; // the layer of the primitive being put in a batch
        std::vector<Sommet> Attente;

        // WebGL's state as last set, to skip repeated calls.
        bool ReelMelange = false;
        GLenum ReelSource = GL_ONE, ReelDestination = GL_ZERO;
        GLuint ReelTexture = 0, ReelRangee = 0, ReelProgramme = 0;
        int ReelAvecTexture = -1;

        unsigned Dessins = 0, Sommets = 0;
    };

    Contexte& Ctx();
    // The program, the vertex buffer and their attributes, made at first use.
    void Prepare();
    // Puts a primitive's triangles or lines (Nouveaux) in a batch: the last
    // one, or an earlier one with the same state when nothing drawn since
    // covers any of the same pixels, or a new one.
    void Range(const Etat& etat);
    // Draws every batch gathered so far (one upload, then a draw a batch).
    void Dessine();
    // Whether a batch not yet drawn samples this texture.
    bool EnAttente(GLuint texture);

    // Pixel store and client memory.
    GLint Stocke(GLenum nom);
    int Octets(GLenum format);
    // Bytes from one row to the next in client memory, by the pixel store.
    std::size_t Pas(int largeur, int octets, GLint longueurLigne, GLint alignement);

    // Texture arrays (Rangees.cpp). The layer of a complete texture in the
    // array of its size and sampling, uploaded there at its first draw; -1
    // when it cannot go into one (WebGL 1, levels not known, a side that is
    // not a power of two).
    int Couche(GLuint nom);
    // The texture leaves its array (it is about to change).
    void Sortir(Texture& t);
    // The program that samples arrays, made at first use (0 if it failed).
    GLuint ProgrammeRangees();

    // A shader of the layer's programs, compiled.
    GLuint Shader(GLenum type, const char* source);

    // Textures (Textures.cpp).
    bool PuissanceDeux(int n);
    // Sets the sampling of the texture bound to `cible` for an image of this
    // size, within WebGL 1's limits.
    void Echantillonner(GLenum cible, int largeur, int hauteur, GLint min, GLint mag, GLint s, GLint t);
    Texture* TextureNommee(GLuint nom);
    // A texture without an image, or filtered through mipmaps it does not
    // have, is incomplete: GL then draws as if texturing were off.
    bool Complete(const Texture& t);
}
