// Texture arrays. Under a software WebGL each draw call costs the browser
// more than the pixels it fills (about 0.15 ms at 1280 x 800), and the game
// and the editor give a texture of their own to every tile, bonus frame and
// letter. Textures of one size and sampling share a WebGL 2 texture array,
// one layer each, with the same levels: quads of any of them then go in one
// batch, and each is sampled as its own texture would be.
#include "Contexte.h"

#include <GLES3/gl3.h>

namespace GlWeb
{
    namespace
    {
        constexpr int CouchesDepart = 32;

        bool MemeEchantillonnage(const Rangee& r, const Texture& t)
        {
            return r.Largeur == t.Largeur && r.Hauteur == t.Hauteur &&
                   r.NombreNiveaux == static_cast<int>(t.Niveaux.size()) && r.Min == t.Min && r.Mag == t.Mag &&
                   r.EnveloppeS == t.EnveloppeS && r.EnveloppeT == t.EnveloppeT;
        }

        // The array's batches still waiting are drawn before a layer changes.
        void AvantEcriture(int rangee)
        {
            const Contexte& c = Ctx();
            for (std::size_t i = 0; i < c.Actives; ++i)
                if (c.Commandes[i].E.Texture && c.Commandes[i].E.Rangee == rangee)
                {
                    Dessine();
                    return;
                }
        }

        void Lier(Contexte& c, GLuint reelle)
        {
            glBindTexture(GL_TEXTURE_2D_ARRAY, reelle);
            c.ReelRangee = reelle;
        }

        void Televerser(const Texture& t, int couche)
        {
            glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
            for (std::size_t n = 0; n < t.Niveaux.size(); ++n)
                glTexSubImage3D(GL_TEXTURE_2D_ARRAY, static_cast<GLint>(n), 0, 0, couche, t.Niveaux[n].Largeur,
                                t.Niveaux[n].Hauteur, 1, GL_RGBA, GL_UNSIGNED_BYTE, t.Niveaux[n].Pixels.data());
        }

        // The array's storage for `couches` layers, its sampling as the
        // textures' own.
        void Allouer(Contexte& c, Rangee& r, int couches)
        {
            glGenTextures(1, &r.Reelle);
            Lier(c, r.Reelle);
            for (int n = 0, l = r.Largeur, h = r.Hauteur; n < r.NombreNiveaux; ++n, l = l > 1 ? l / 2 : 1,
                     h = h > 1 ? h / 2 : 1)
                glTexImage3D(GL_TEXTURE_2D_ARRAY, n, GL_RGBA, l, h, couches, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
            Echantillonner(GL_TEXTURE_2D_ARRAY, r.Largeur, r.Hauteur, r.Min, r.Mag, r.EnveloppeS, r.EnveloppeT);
            glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_MAX_LEVEL, r.NombreNiveaux - 1);
            r.Couches.assign(static_cast<std::size_t>(couches), 0);
        }

        // A full array is made again twice as deep, its textures uploaded anew.
        void Agrandir(Contexte& c, int indice)
        {
            AvantEcriture(indice);
            Rangee& r = c.Rangees[static_cast<std::size_t>(indice)];
            const std::vector<GLuint> membres = r.Couches;
            glDeleteTextures(1, &r.Reelle);
            Allouer(c, r, static_cast<int>(membres.size()) * 2);
            for (std::size_t i = 0; i < membres.size(); ++i)
            {
                r.Couches[i] = membres[i];
                if (membres[i] != 0)
                    Televerser(c.Textures[membres[i]], static_cast<int>(i));
            }
        }
    }

    GLuint ProgrammeRangees()
    {
        Contexte& c = Ctx();
        if (c.ProgrammeRangees != 0 || !c.Version2)
            return c.ProgrammeRangees;
        const char* sommets =
            "#version 300 es\n"
            "in vec2 aPos; in vec2 aTex; in vec4 aCol; in float aCouche;\n"
            "out vec2 vTex; out vec4 vCol; flat out float vCouche;\n"
            "void main() { vTex = aTex; vCol = aCol; vCouche = aCouche; gl_Position = vec4(aPos, 0.0, 1.0); }\n";
        const char* fragments =
            "#version 300 es\n"
            "precision highp float; precision highp sampler2DArray;\n"
            "in vec2 vTex; in vec4 vCol; flat in float vCouche; uniform sampler2DArray uTex;\n"
            "out vec4 couleur;\n"
            "void main() { couleur = vCol * texture(uTex, vec3(vTex, vCouche)); }\n";
        const GLuint p = glCreateProgram();
        for (const GLuint s : {Shader(GL_VERTEX_SHADER, sommets), Shader(GL_FRAGMENT_SHADER, fragments)})
        {
            glAttachShader(p, s);
            glDeleteShader(s);
        }
        glBindAttribLocation(p, 0, "aPos");
        glBindAttribLocation(p, 1, "aTex");
        glBindAttribLocation(p, 2, "aCol");
        glBindAttribLocation(p, 3, "aCouche");
        glLinkProgram(p);
        GLint lie = 0;
        glGetProgramiv(p, GL_LINK_STATUS, &lie);
        if (!lie)
        {
            glDeleteProgram(p);
            c.Version2 = false; // the layer draws each texture on its own, as in WebGL 1
            return 0;
        }
        glUseProgram(p);
        glUniform1i(glGetUniformLocation(p, "uTex"), 0);
        glUseProgram(c.Programme);
        c.ReelProgramme = c.Programme;
        c.ProgrammeRangees = p;
        return p;
    }

    int Couche(GLuint nom)
    {
        Contexte& c = Ctx();
        if (!c.Version2 || nom == 0 || nom >= c.Textures.size())
            return -1;
        Texture& t = c.Textures[nom];
        if (t.Rangee >= 0)
            return t.Couche;
        if (t.Niveaux.empty() || !PuissanceDeux(t.Largeur) || !PuissanceDeux(t.Hauteur) || ProgrammeRangees() == 0)
            return -1;
        int indice = -1;
        for (std::size_t i = 0; i < c.Rangees.size() && indice < 0; ++i)
            if (MemeEchantillonnage(c.Rangees[i], t))
                indice = static_cast<int>(i);
        if (indice < 0)
        {
            Rangee r;
            r.Largeur = t.Largeur;
            r.Hauteur = t.Hauteur;
            r.NombreNiveaux = static_cast<int>(t.Niveaux.size());
            r.Min = t.Min;
            r.Mag = t.Mag;
            r.EnveloppeS = t.EnveloppeS;
            r.EnveloppeT = t.EnveloppeT;
            Allouer(c, r, CouchesDepart);
            c.Rangees.push_back(r);
            indice = static_cast<int>(c.Rangees.size() - 1);
        }
        Rangee* r = &c.Rangees[static_cast<std::size_t>(indice)];
        int couche = 0;
        while (couche < static_cast<int>(r->Couches.size()) && r->Couches[static_cast<std::size_t>(couche)] != 0)
            ++couche;
        if (couche == static_cast<int>(r->Couches.size()))
        {
            Agrandir(c, indice);
            r = &c.Rangees[static_cast<std::size_t>(indice)];
        }
        else
            AvantEcriture(indice); // the free layer may still be drawn from, by what waits
        Lier(c, r->Reelle);
        Televerser(t, couche);
        r->Couches[static_cast<std::size_t>(couche)] = nom;
        t.Rangee = indice;
        t.Couche = couche;
        return couche;
    }

    void Sortir(Texture& t)
    {
        if (t.Rangee < 0)
            return;
        // The layer keeps its pixels until another texture takes it, so what
        // already waits to be drawn from it is drawn as it was given.
        Ctx().Rangees[static_cast<std::size_t>(t.Rangee)].Couches[static_cast<std::size_t>(t.Couche)] = 0;
        t.Rangee = t.Couche = -1;
    }
}
