#pragma once
// The drawing layer's state, shared by its two halves: GlWeb.cpp (state,
// matrices, primitives, the batch) and Textures.cpp (textures and pixels).
#include "GlWeb.h"

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
    };

    struct Texture
    {
        GLuint Reelle = 0;   // the WebGL texture
        bool Image = false;  // level 0 given
        bool Mipmaps = false;
        int Largeur = 0, Hauteur = 0;
        GLint Min = GL_NEAREST_MIPMAP_LINEAR, Mag = GL_LINEAR, EnveloppeS = GL_REPEAT, EnveloppeT = GL_REPEAT;
        std::vector<std::uint8_t> Niveau0; // RGBA, for read-back
    };

    // What a draw depends on besides its vertices.
    struct Etat
    {
        bool Texture = false; // texturing on, with a complete texture
        GLuint Nom = 0;
        bool Melange = false;
        GLenum Source = GL_ONE, Destination = GL_ZERO;
        GLenum Primitive = GL_TRIANGLES;
        bool operator==(const Etat& o) const
        {
            return Texture == o.Texture && (!Texture || Nom == o.Nom) && Melange == o.Melange &&
                   (!Melange || (Source == o.Source && Destination == o.Destination)) && Primitive == o.Primitive;
        }
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

        // The primitive being given, then the batch waiting to be drawn.
        GLenum Primitive = 0;
        bool DansPrimitive = false;
        std::vector<Sommet> Entree;
        std::vector<Sommet> Lot;
        Etat EtatLot;

        // WebGL's state as last set, to skip repeated calls.
        bool ReelMelange = false;
        GLenum ReelSource = GL_ONE, ReelDestination = GL_ZERO;
        GLuint ReelTexture = 0;
        int ReelAvecTexture = -1;

        unsigned Dessins = 0, Sommets = 0;
    };

    Contexte& Ctx();
    // The program, the vertex buffer and their attributes, made at first use.
    void Prepare();
    // Draws the batch gathered so far.
    void Dessine();

    // Pixel store and client memory.
    GLint Stocke(GLenum nom);
    int Octets(GLenum format);
    // Bytes from one row to the next in client memory, by the pixel store.
    std::size_t Pas(int largeur, int octets, GLint longueurLigne, GLint alignement);

    // Textures (Textures.cpp).
    Texture* TextureNommee(GLuint nom);
    // A texture without an image, or filtered through mipmaps it does not
    // have, is incomplete: GL then draws as if texturing were off.
    bool Complete(const Texture& t);
}
