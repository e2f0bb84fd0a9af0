// Replays a recorded frame: floor (a) of the frame cost.
#include "Rejeu.h"

#include <SDL.h>
#include <SDL_opengl.h>

#include <cstdlib>
#include <cstring>
#include <sstream>

namespace
{
    enum Op : unsigned char
    {
        Begin, End, BindTexture, BlendFunc, Clear, Color3ub, Color4ub, Disable, Enable, Flush,
        LoadIdentity, MatrixMode, TexCoord2f, TexCoord2i, TexParameteri, Translated, Vertex2d,
        Vertex2f, Vertex2i, Echange, NbOps
    };

    struct Signature
    {
        const char* Nom;
        const char* Types; // one letter per argument: u enum/uint, i int, b byte, f float, d double
    };

    const Signature Signatures[NbOps] = {
        {"glBegin", "u"},          {"glEnd", ""},           {"glBindTexture", "uu"},
        {"glBlendFunc", "uu"},     {"glClear", "u"},        {"glColor3ub", "bbb"},
        {"glColor4ub", "bbbb"},    {"glDisable", "u"},      {"glEnable", "u"},
        {"glFlush", ""},           {"glLoadIdentity", ""},  {"glMatrixMode", "u"},
        {"glTexCoord2f", "ff"},    {"glTexCoord2i", "ii"},  {"glTexParameteri", "uui"},
        {"glTranslated", "ddd"},   {"glVertex2d", "dd"},    {"glVertex2f", "ff"},
        {"glVertex2i", "ii"},      {"SDL_GL_SwapBuffers", ""},
    };

    template <typename T>
    void Pousse(std::vector<unsigned char>& code, T valeur)
    {
        unsigned char octets[sizeof(T)];
        std::memcpy(octets, &valeur, sizeof(T));
        code.insert(code.end(), octets, octets + sizeof(T));
    }

    template <typename T>
    T Lit(const unsigned char*& p)
    {
        T valeur;
        std::memcpy(&valeur, p, sizeof(T));
        p += sizeof(T);
        return valeur;
    }
}

bool CRejeu::Charge(const std::string& texte, std::string& erreur)
{
    code_.clear();
    comptes_.clear();
    nbAppels_ = 0;
    std::istringstream flux(texte);
    std::string ligne;
    int numero = 0;
    while (std::getline(flux, ligne))
    {
        ++numero;
        if (ligne.empty())
            continue;
        std::istringstream mots(ligne);
        std::string nom;
        mots >> nom;
        int op = -1;
        for (int i = 0; i < NbOps; ++i)
            if (nom == Signatures[i].Nom)
                op = i;
        if (op < 0)
        {
            erreur = "line " + std::to_string(numero) + ": not a frame call: " + ligne;
            return false;
        }
        code_.push_back(static_cast<unsigned char>(op));
        for (const char* t = Signatures[op].Types; *t != '\0'; ++t)
        {
            std::string mot;
            if (!(mots >> mot))
            {
                erreur = "line " + std::to_string(numero) + ": missing argument: " + ligne;
                return false;
            }
            switch (*t)
            {
            case 'u':
                Pousse<GLuint>(code_, static_cast<GLuint>(std::strtoul(mot.c_str(), nullptr, 10)));
                break;
            case 'i':
                Pousse<GLint>(code_, static_cast<GLint>(std::strtol(mot.c_str(), nullptr, 10)));
                break;
            case 'b':
                Pousse<GLubyte>(code_, static_cast<GLubyte>(std::strtoul(mot.c_str(), nullptr, 10)));
                break;
            case 'f':
                Pousse<GLfloat>(code_, static_cast<GLfloat>(std::strtod(mot.c_str(), nullptr)));
                break;
            default:
                Pousse<GLdouble>(code_, std::strtod(mot.c_str(), nullptr));
                break;
            }
        }
        ++nbAppels_;
        ++comptes_[nom];
    }
    return true;
}

namespace
{
    // Where decoded calls go: to OpenGL, or nowhere (a sum keeps the decoding
    // from being optimised away). The decoding loop is the same for both.
    struct VersGL
    {
        bool AvecEchange;
        void Begin(GLenum m) { glBegin(m); }
        void End() { glEnd(); }
        void BindTexture(GLenum c, GLuint t) { glBindTexture(c, t); }
        void BlendFunc(GLenum s, GLenum d) { glBlendFunc(s, d); }
        void Clear(GLbitfield m) { glClear(m); }
        void Color3ub(GLubyte r, GLubyte v, GLubyte b) { glColor3ub(r, v, b); }
        void Color4ub(GLubyte r, GLubyte v, GLubyte b, GLubyte a) { glColor4ub(r, v, b, a); }
        void Disable(GLenum c) { glDisable(c); }
        void Enable(GLenum c) { glEnable(c); }
        void Flush() { glFlush(); }
        void LoadIdentity() { glLoadIdentity(); }
        void MatrixMode(GLenum m) { glMatrixMode(m); }
        void TexCoord2f(GLfloat s, GLfloat t) { glTexCoord2f(s, t); }
        void TexCoord2i(GLint s, GLint t) { glTexCoord2i(s, t); }
        void TexParameteri(GLenum c, GLenum n, GLint v) { glTexParameteri(c, n, v); }
        void Translated(GLdouble x, GLdouble y, GLdouble z) { glTranslated(x, y, z); }
        void Vertex2d(GLdouble x, GLdouble y) { glVertex2d(x, y); }
        void Vertex2f(GLfloat x, GLfloat y) { glVertex2f(x, y); }
        void Vertex2i(GLint x, GLint y) { glVertex2i(x, y); }
        void Echange()
        {
            if (AvecEchange)
                SDL_GL_SwapBuffers();
        }
    };

    struct Nulle
    {
        uint64_t Somme = 0;
        void Begin(GLenum m) { Somme += m; }
        void End() { ++Somme; }
        void BindTexture(GLenum c, GLuint t) { Somme += c + t; }
        void BlendFunc(GLenum s, GLenum d) { Somme += s + d; }
        void Clear(GLbitfield m) { Somme += m; }
        void Color3ub(GLubyte r, GLubyte v, GLubyte b) { Somme += r + v + b; }
        void Color4ub(GLubyte r, GLubyte v, GLubyte b, GLubyte a) { Somme += r + v + b + a; }
        void Disable(GLenum c) { Somme += c; }
        void Enable(GLenum c) { Somme += c; }
        void Flush() { ++Somme; }
        void LoadIdentity() { ++Somme; }
        void MatrixMode(GLenum m) { Somme += m; }
        void TexCoord2f(GLfloat s, GLfloat t) { Somme += static_cast<uint64_t>(s + t); }
        void TexCoord2i(GLint s, GLint t) { Somme += static_cast<uint64_t>(s + t); }
        void TexParameteri(GLenum c, GLenum n, GLint v) { Somme += c + n + static_cast<uint64_t>(v); }
        void Translated(GLdouble x, GLdouble y, GLdouble z) { Somme += static_cast<uint64_t>(x + y + z); }
        void Vertex2d(GLdouble x, GLdouble y) { Somme += static_cast<uint64_t>(x + y); }
        void Vertex2f(GLfloat x, GLfloat y) { Somme += static_cast<uint64_t>(x + y); }
        void Vertex2i(GLint x, GLint y) { Somme += static_cast<uint64_t>(x + y); }
        void Echange() { ++Somme; }
    };

    template <typename Cible>
    void Execute(const std::vector<unsigned char>& code, Cible& cible)
    {
        const unsigned char* p = code.data();
        const unsigned char* const fin = p + code.size();
        while (p < fin)
        {
            switch (static_cast<Op>(*p++))
            {
            case Begin:
                cible.Begin(Lit<GLuint>(p));
                break;
            case End:
                cible.End();
                break;
            case BindTexture:
            {
                const GLenum c = Lit<GLuint>(p);
                cible.BindTexture(c, Lit<GLuint>(p));
                break;
            }
            case BlendFunc:
            {
                const GLenum s = Lit<GLuint>(p);
                cible.BlendFunc(s, Lit<GLuint>(p));
                break;
            }
            case Clear:
                cible.Clear(Lit<GLuint>(p));
                break;
            case Color3ub:
            {
                const GLubyte r = Lit<GLubyte>(p);
                const GLubyte v = Lit<GLubyte>(p);
                cible.Color3ub(r, v, Lit<GLubyte>(p));
                break;
            }
            case Color4ub:
            {
                const GLubyte r = Lit<GLubyte>(p);
                const GLubyte v = Lit<GLubyte>(p);
                const GLubyte b = Lit<GLubyte>(p);
                cible.Color4ub(r, v, b, Lit<GLubyte>(p));
                break;
            }
            case Disable:
                cible.Disable(Lit<GLuint>(p));
                break;
            case Enable:
                cible.Enable(Lit<GLuint>(p));
                break;
            case Flush:
                cible.Flush();
                break;
            case LoadIdentity:
                cible.LoadIdentity();
                break;
            case MatrixMode:
                cible.MatrixMode(Lit<GLuint>(p));
                break;
            case TexCoord2f:
            {
                const GLfloat s = Lit<GLfloat>(p);
                cible.TexCoord2f(s, Lit<GLfloat>(p));
                break;
            }
            case TexCoord2i:
            {
                const GLint s = Lit<GLint>(p);
                cible.TexCoord2i(s, Lit<GLint>(p));
                break;
            }
            case TexParameteri:
            {
                const GLenum c = Lit<GLuint>(p);
                const GLenum n = Lit<GLuint>(p);
                cible.TexParameteri(c, n, Lit<GLint>(p));
                break;
            }
            case Translated:
            {
                const GLdouble x = Lit<GLdouble>(p);
                const GLdouble y = Lit<GLdouble>(p);
                cible.Translated(x, y, Lit<GLdouble>(p));
                break;
            }
            case Vertex2d:
            {
                const GLdouble x = Lit<GLdouble>(p);
                cible.Vertex2d(x, Lit<GLdouble>(p));
                break;
            }
            case Vertex2f:
            {
                const GLfloat x = Lit<GLfloat>(p);
                cible.Vertex2f(x, Lit<GLfloat>(p));
                break;
            }
            case Vertex2i:
            {
                const GLint x = Lit<GLint>(p);
                cible.Vertex2i(x, Lit<GLint>(p));
                break;
            }
            case Echange:
                cible.Echange();
                break;
            default:
                return;
            }
        }
    }
}

void CRejeu::Joue(bool avecEchange) const
{
    VersGL gl{avecEchange};
    Execute(code_, gl);
}

uint64_t CRejeu::Parcourt() const
{
    Nulle nulle;
    Execute(code_, nulle);
    return nulle.Somme;
}
