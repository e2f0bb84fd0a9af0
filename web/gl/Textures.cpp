// Textures of the drawing layer: names, images kept for read-back, sampling
// (with WebGL 1's limits), mipmaps built as GLU builds them.
#include "Contexte.h"
#include "Mipmaps.h"

#include <cstring>

namespace GlWeb
{
    Texture* TextureNommee(GLuint nom)
    {
        Contexte& c = Ctx();
        return nom < c.Textures.size() ? &c.Textures[nom] : nullptr;
    }

    bool EstMipmap(GLint filtre)
    {
        return filtre == GL_NEAREST_MIPMAP_NEAREST || filtre == GL_LINEAR_MIPMAP_NEAREST ||
               filtre == GL_NEAREST_MIPMAP_LINEAR || filtre == GL_LINEAR_MIPMAP_LINEAR;
    }

    bool Complete(const Texture& t)
    {
        return t.Image && t.Reelle != 0 && (!EstMipmap(t.Min) || t.Mipmaps);
    }
}

namespace
{
    using namespace GlWeb;

    // The client pixels of an upload as tight RGBA rows (the layer keeps and
    // uploads nothing else).
    std::vector<std::uint8_t> EnRgba(const void* pixels, int largeur, int hauteur, GLenum format)
    {
        std::vector<std::uint8_t> rgba(static_cast<size_t>(largeur) * hauteur * 4, 0);
        if (pixels == nullptr)
            return rgba;
        const int n = Octets(format);
        const size_t pas = Pas(largeur, n, Stocke(GL_UNPACK_ROW_LENGTH), Stocke(GL_UNPACK_ALIGNMENT));
        const std::uint8_t* debut = static_cast<const std::uint8_t*>(pixels) +
                                    static_cast<size_t>(Stocke(GL_UNPACK_SKIP_ROWS)) * pas +
                                    static_cast<size_t>(Stocke(GL_UNPACK_SKIP_PIXELS)) * n;
        for (int y = 0; y < hauteur; ++y)
            for (int x = 0; x < largeur; ++x)
            {
                const std::uint8_t* p = debut + y * pas + static_cast<size_t>(x) * n;
                std::uint8_t* d = &rgba[(static_cast<size_t>(y) * largeur + x) * 4];
                switch (format)
                {
                case GL_RGBA: d[0] = p[0]; d[1] = p[1]; d[2] = p[2]; d[3] = p[3]; break;
                case GL_BGRA: d[0] = p[2]; d[1] = p[1]; d[2] = p[0]; d[3] = p[3]; break;
                case GL_RGB: d[0] = p[0]; d[1] = p[1]; d[2] = p[2]; d[3] = 255; break;
                case GL_BGR: d[0] = p[2]; d[1] = p[1]; d[2] = p[0]; d[3] = 255; break;
                case GL_LUMINANCE_ALPHA: d[0] = d[1] = d[2] = p[0]; d[3] = p[1]; break;
                case GL_ALPHA: d[0] = d[1] = d[2] = 0; d[3] = p[0]; break;
                default: d[0] = d[1] = d[2] = p[0]; d[3] = 255; break;
                }
            }
        return rgba;
    }

    // Before a texture changes, the batches that draw with it are drawn.
    void AvantChangement(GLuint nom)
    {
        if (EnAttente(nom))
            Dessine();
    }

    Texture* TextureLiee()
    {
        Contexte& c = Ctx();
        Texture* t = TextureNommee(c.Liee);
        if (t == nullptr || c.Liee == 0)
            return nullptr;
        if (t->Reelle == 0)
        {
            Prepare();
            glGenTextures(1, &t->Reelle);
        }
        AvantChangement(c.Liee);
        glBindTexture(GL_TEXTURE_2D, t->Reelle);
        c.ReelTexture = t->Reelle;
        return t;
    }

    void AppliqueEchantillonnage(const Texture& t)
    {
        Echantillonner(GL_TEXTURE_2D, t.Largeur, t.Hauteur, t.Min, t.Mag, t.EnveloppeS, t.EnveloppeT);
    }
}

namespace GlWeb
{
    bool PuissanceDeux(int n)
    {
        return n > 0 && (n & (n - 1)) == 0;
    }

    // WebGL 1 samples a texture whose sides are not powers of two only
    // clamped and without mipmaps; GL_CLAMP is WebGL's clamp to edge.
    void Echantillonner(GLenum cible, int largeur, int hauteur, GLint min, GLint mag, GLint s, GLint t)
    {
        const bool libre = PuissanceDeux(largeur) && PuissanceDeux(hauteur);
        auto enveloppe = [&](GLint e) { return (e == GL_CLAMP || !libre) ? GL_CLAMP_TO_EDGE : e; };
        if (!libre && EstMipmap(min))
            min = GL_LINEAR;
        glTexParameteri(cible, GL_TEXTURE_MIN_FILTER, min);
        glTexParameteri(cible, GL_TEXTURE_MAG_FILTER, mag);
        glTexParameteri(cible, GL_TEXTURE_WRAP_S, enveloppe(s));
        glTexParameteri(cible, GL_TEXTURE_WRAP_T, enveloppe(t));
    }
}

using namespace GlWeb;

extern "C" {

void WglGenTextures(GLsizei n, GLuint* noms)
{
    Contexte& c = Ctx();
    for (GLsizei i = 0; i < n && noms != nullptr; ++i)
    {
        c.Textures.push_back(Texture());
        noms[i] = static_cast<GLuint>(c.Textures.size() - 1);
    }
}

void WglDeleteTextures(GLsizei n, const GLuint* noms)
{
    for (GLsizei i = 0; i < n && noms != nullptr; ++i)
    {
        Texture* t = TextureNommee(noms[i]);
        if (t == nullptr || noms[i] == 0)
            continue;
        AvantChangement(noms[i]);
        Sortir(*t);
        if (t->Reelle != 0)
            glDeleteTextures(1, &t->Reelle);
        *t = Texture();
        if (Ctx().Liee == noms[i])
            Ctx().Liee = 0;
    }
}

GLboolean WglIsTexture(GLuint nom)
{
    const Texture* t = TextureNommee(nom);
    return nom != 0 && t != nullptr && t->Reelle != 0 ? GL_TRUE : GL_FALSE;
}

void WglBindTexture(GLenum, GLuint nom)
{
    Contexte& c = Ctx();
    c.Liee = nom;
    Texture* t = TextureNommee(nom);
    if (t != nullptr && nom != 0 && t->Reelle == 0)
    {
        Prepare();
        glGenTextures(1, &t->Reelle);
    }
}

void WglTexParameteri(GLenum, GLenum nom, GLint valeur)
{
    Contexte& c = Ctx();
    Texture* t = TextureNommee(c.Liee);
    if (t == nullptr || c.Liee == 0)
        return;
    GLint* champ = nullptr;
    switch (nom)
    {
    case GL_TEXTURE_MIN_FILTER: champ = &t->Min; break;
    case GL_TEXTURE_MAG_FILTER: champ = &t->Mag; break;
    case GL_TEXTURE_WRAP_S: champ = &t->EnveloppeS; break;
    case GL_TEXTURE_WRAP_T: champ = &t->EnveloppeT; break;
    default: return;
    }
    if (*champ == valeur)
        return;
    t = TextureLiee(); // draws what used the old sampling
    if (t == nullptr)
        return;
    Sortir(*t); // into the array of its new sampling, at its next draw
    *champ = valeur;
    AppliqueEchantillonnage(*t);
}

void WglTexImage2D(GLenum, GLint niveau, GLint, GLsizei largeur, GLsizei hauteur, GLint, GLenum format, GLenum type,
                   const void* pixels)
{
    if (largeur <= 0 || hauteur <= 0 || type != GL_UNSIGNED_BYTE)
        return;
    Texture* t = TextureLiee();
    if (t == nullptr)
        return;
    std::vector<std::uint8_t> rgba = EnRgba(pixels, largeur, hauteur, format);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, niveau, GL_RGBA, largeur, hauteur, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    Sortir(*t);
    if (niveau == 0)
    {
        t->Image = true;
        t->Mipmaps = false;
        t->Largeur = largeur;
        t->Hauteur = hauteur;
        t->Niveaux.assign(1, GlWeb::Niveau{largeur, hauteur, rgba});
        t->Niveau0 = std::move(rgba);
        AppliqueEchantillonnage(*t);
    }
    else if (niveau > 0)
    {
        t->Mipmaps = true; // levels given by hand are trusted to be complete
        t->Niveaux.clear(); // but not known: the texture stays out of the arrays
    }
}

void WglTexSubImage2D(GLenum, GLint niveau, GLint x, GLint y, GLsizei largeur, GLsizei hauteur, GLenum format,
                      GLenum type, const void* pixels)
{
    if (largeur <= 0 || hauteur <= 0 || type != GL_UNSIGNED_BYTE || x < 0 || y < 0)
        return;
    Texture* t = TextureLiee();
    if (t == nullptr)
        return;
    const std::vector<std::uint8_t> rgba = EnRgba(pixels, largeur, hauteur, format);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexSubImage2D(GL_TEXTURE_2D, niveau, x, y, largeur, hauteur, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    Sortir(*t);
    if (niveau == 0 && x + largeur <= t->Largeur && y + hauteur <= t->Hauteur)
        for (int l = 0; l < hauteur; ++l)
            std::memcpy(&t->Niveau0[(static_cast<size_t>(y + l) * t->Largeur + x) * 4],
                        &rgba[static_cast<size_t>(l) * largeur * 4], static_cast<size_t>(largeur) * 4);
    // A single level is known again as a whole; of a chain, the levels below
    // would no longer be.
    if (niveau == 0 && t->Niveaux.size() == 1)
        t->Niveaux[0].Pixels = t->Niveau0;
    else
        t->Niveaux.clear();
}

void WglGetTexLevelParameteriv(GLenum, GLint niveau, GLenum nom, GLint* valeur)
{
    const Texture* t = TextureNommee(Ctx().Liee);
    if (valeur == nullptr)
        return;
    *valeur = 0;
    if (t == nullptr || !t->Image || niveau < 0 || niveau > 30)
        return;
    if (nom == GL_TEXTURE_WIDTH)
        *valeur = t->Largeur >> niveau > 0 ? t->Largeur >> niveau : 1;
    else if (nom == GL_TEXTURE_HEIGHT)
        *valeur = t->Hauteur >> niveau > 0 ? t->Hauteur >> niveau : 1;
}

void WglGetTexImage(GLenum, GLint niveau, GLenum format, GLenum type, void* pixels)
{
    const Texture* t = TextureNommee(Ctx().Liee);
    if (t == nullptr || !t->Image || niveau != 0 || pixels == nullptr || type != GL_UNSIGNED_BYTE)
        return;
    const int n = Octets(format);
    const size_t pas = Pas(t->Largeur, n, Stocke(GL_PACK_ROW_LENGTH), Stocke(GL_PACK_ALIGNMENT));
    for (int l = 0; l < t->Hauteur; ++l)
        for (int col = 0; col < t->Largeur; ++col)
        {
            const std::uint8_t* s = &t->Niveau0[(static_cast<size_t>(l) * t->Largeur + col) * 4];
            std::uint8_t* d = static_cast<std::uint8_t*>(pixels) + l * pas + static_cast<size_t>(col) * n;
            if (format == GL_BGRA)
            {
                d[0] = s[2]; d[1] = s[1]; d[2] = s[0]; d[3] = s[3];
            }
            else
                std::memcpy(d, s, static_cast<size_t>(n < 4 ? n : 4));
        }
}

void WgluOrtho2D(GLdouble gauche, GLdouble droite, GLdouble bas, GLdouble haut)
{
    WglOrtho(gauche, droite, bas, haut, -1, 1);
}

GLint WgluBuild2DMipmaps(GLenum, GLint, GLint largeur, GLint hauteur, GLenum format, GLenum type, const void* pixels)
{
    if (largeur <= 0 || hauteur <= 0 || pixels == nullptr || type != GL_UNSIGNED_BYTE)
        return GL_INVALID_VALUE;
    Texture* t = TextureLiee();
    if (t == nullptr)
        return GL_INVALID_OPERATION;
    const std::vector<std::uint8_t> rgba = EnRgba(pixels, largeur, hauteur, format);
    const std::vector<GlWeb::Niveau> niveaux = GlWeb::Chaine(rgba.data(), largeur, hauteur, 4);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    for (size_t i = 0; i < niveaux.size(); ++i)
        glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(i), GL_RGBA, niveaux[i].Largeur, niveaux[i].Hauteur, 0,
                     GL_RGBA, GL_UNSIGNED_BYTE, niveaux[i].Pixels.data());
    Sortir(*t);
    t->Image = true;
    t->Mipmaps = true;
    t->Largeur = niveaux[0].Largeur;
    t->Hauteur = niveaux[0].Hauteur;
    t->Niveau0 = niveaux[0].Pixels;
    t->Niveaux = niveaux;
    AppliqueEchantillonnage(*t);
    return 0;
}
}
