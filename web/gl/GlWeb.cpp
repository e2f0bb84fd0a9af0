// Fixed-function OpenGL over WebGL: the state the game sets, its matrices
// applied on the CPU, and its immediate-mode primitives gathered into batches
// of the same texture, texture sampling and blending (a primitive joins an
// earlier batch of its state when nothing drawn since covers its pixels), the
// frame's batches uploaded together and drawn with a call each.
#include "Contexte.h"

#include <GLES3/gl3.h>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace GlWeb
{
    Contexte& Ctx()
    {
        static Contexte c;
        return c;
    }

    GLuint Shader(GLenum type, const char* source)
    {
        const GLuint s = glCreateShader(type);
        glShaderSource(s, 1, &source, nullptr);
        glCompileShader(s);
        return s;
    }

    void Prepare()
    {
        Contexte& c = Ctx();
        if (c.Pret)
            return;
        c.Pret = true;
        const char* sommets =
            "attribute vec2 aPos; attribute vec2 aTex; attribute vec4 aCol;\n"
            "varying vec2 vTex; varying vec4 vCol;\n"
            "void main() { vTex = aTex; vCol = aCol; gl_Position = vec4(aPos, 0.0, 1.0); }\n";
        const char* fragments =
            "#ifdef GL_FRAGMENT_PRECISION_HIGH\nprecision highp float;\n#else\nprecision mediump float;\n#endif\n"
            "varying vec2 vTex; varying vec4 vCol; uniform sampler2D uTex; uniform float uAvecTexture;\n"
            "void main() { gl_FragColor = uAvecTexture > 0.5 ? vCol * texture2D(uTex, vTex) : vCol; }\n";
        c.Programme = glCreateProgram();
        glAttachShader(c.Programme, Shader(GL_VERTEX_SHADER, sommets));
        glAttachShader(c.Programme, Shader(GL_FRAGMENT_SHADER, fragments));
        glBindAttribLocation(c.Programme, 0, "aPos");
        glBindAttribLocation(c.Programme, 1, "aTex");
        glBindAttribLocation(c.Programme, 2, "aCol");
        glLinkProgram(c.Programme);
        glUseProgram(c.Programme);
        c.UniteTexture = glGetUniformLocation(c.Programme, "uTex");
        c.AvecTexture = glGetUniformLocation(c.Programme, "uAvecTexture");
        glUniform1i(c.UniteTexture, 0);
        glGenBuffers(1, &c.Tampon);
        glBindBuffer(GL_ARRAY_BUFFER, c.Tampon);
        glEnableVertexAttribArray(0);
        glEnableVertexAttribArray(1);
        glEnableVertexAttribArray(2);
        glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, sizeof(Sommet), reinterpret_cast<void*>(0));
        glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, sizeof(Sommet), reinterpret_cast<void*>(8));
        glVertexAttribPointer(2, 4, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(Sommet), reinterpret_cast<void*>(16));
        glEnableVertexAttribArray(3);
        glVertexAttribPointer(3, 1, GL_FLOAT, GL_FALSE, sizeof(Sommet), reinterpret_cast<void*>(20));
        c.ReelProgramme = c.Programme;
        const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
        c.Version2 = version != nullptr && std::strstr(version, "WebGL 2") != nullptr;
        glDisable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ZERO);
    }

    // How far back a primitive may look for a batch of its state: enough for
    // a column of tiles of a few kinds, little against the frame's cost.
    constexpr std::size_t Recul = 48;

    bool Recouvre(const Commande& k, float x0, float y0, float x1, float y1)
    {
        // Boxes that only touch share no pixel: GL gives an edge's pixels to one side.
        return x0 < k.X1 && k.X0 < x1 && y0 < k.Y1 && k.Y0 < y1;
    }

    void Range(const Etat& etat)
    {
        Contexte& c = Ctx();
        const std::vector<Sommet>& n = c.Nouveaux;
        if (n.empty())
            return;
        float x0 = n[0].X, y0 = n[0].Y, x1 = n[0].X, y1 = n[0].Y;
        for (const Sommet& s : n)
        {
            x0 = std::min(x0, s.X);
            y0 = std::min(y0, s.Y);
            x1 = std::max(x1, s.X);
            y1 = std::max(y1, s.Y);
        }
        // Lines are wider than their vertices: they cover everything, and so
        // never move before what was drawn ahead of them.
        if (etat.Primitive == GL_LINES)
        {
            x0 = y0 = -1e30f;
            x1 = y1 = 1e30f;
        }
        // Drawing a primitive earlier, with an earlier batch of its state,
        // changes no pixel as long as nothing drawn in between covers its own.
        Commande* cible = nullptr;
        for (std::size_t i = c.Actives, vus = 0; i-- > 0 && vus < Recul; ++vus)
        {
            Commande& k = c.Commandes[i];
            if (k.E == etat)
            {
                cible = &k;
                break;
            }
            if (Recouvre(k, x0, y0, x1, y1))
                break;
        }
        if (cible == nullptr)
        {
            if (c.Actives == c.Commandes.size())
                c.Commandes.emplace_back();
            cible = &c.Commandes[c.Actives++];
            cible->E = etat;
            cible->Sommets.clear();
            cible->X0 = x0;
            cible->Y0 = y0;
            cible->X1 = x1;
            cible->Y1 = y1;
        }
        else
        {
            cible->X0 = std::min(cible->X0, x0);
            cible->Y0 = std::min(cible->Y0, y0);
            cible->X1 = std::max(cible->X1, x1);
            cible->Y1 = std::max(cible->Y1, y1);
        }
        cible->Sommets.insert(cible->Sommets.end(), n.begin(), n.end());
    }

    bool EnAttente(GLuint texture)
    {
        const Contexte& c = Ctx();
        for (std::size_t i = 0; i < c.Actives; ++i)
            if (c.Commandes[i].E.Texture && c.Commandes[i].E.Nom == texture)
                return true;
        return false;
    }

    // Sets WebGL's state for a batch, skipping what is already so.
    static void Appliquer(const Etat& e)
    {
        Contexte& c = Ctx();
        if (e.Melange != c.ReelMelange)
        {
            if (e.Melange)
                glEnable(GL_BLEND);
            else
                glDisable(GL_BLEND);
            c.ReelMelange = e.Melange;
        }
        if (e.Melange && (e.Source != c.ReelSource || e.Destination != c.ReelDestination))
        {
            glBlendFunc(e.Source, e.Destination);
            c.ReelSource = e.Source;
            c.ReelDestination = e.Destination;
        }
        if (e.Texture && e.Rangee >= 0)
        {
            if (c.ReelProgramme != c.ProgrammeRangees)
            {
                glUseProgram(c.ProgrammeRangees);
                c.ReelProgramme = c.ProgrammeRangees;
            }
            const GLuint reelle = c.Rangees[static_cast<std::size_t>(e.Rangee)].Reelle;
            if (reelle != c.ReelRangee)
            {
                glBindTexture(GL_TEXTURE_2D_ARRAY, reelle);
                c.ReelRangee = reelle;
            }
            return;
        }
        if (c.ReelProgramme != c.Programme)
        {
            glUseProgram(c.Programme);
            c.ReelProgramme = c.Programme;
        }
        const int avec = e.Texture ? 1 : 0;
        if (avec != c.ReelAvecTexture)
        {
            glUniform1f(c.AvecTexture, static_cast<float>(avec));
            c.ReelAvecTexture = avec;
        }
        if (e.Texture)
        {
            const GLuint reelle = c.Textures[e.Nom].Reelle;
            if (reelle != c.ReelTexture)
            {
                glBindTexture(GL_TEXTURE_2D, reelle);
                c.ReelTexture = reelle;
            }
        }
    }

    // Each upload costs the browser far more than the bytes it carries (tens
    // of microseconds under a software WebGL): the frame's batches go up
    // together, and only their draws are issued one by one.
    void Dessine()
    {
        Contexte& c = Ctx();
        if (c.Actives == 0)
            return;
        Prepare();
        c.Attente.clear();
        for (std::size_t i = 0; i < c.Actives; ++i)
            c.Attente.insert(c.Attente.end(), c.Commandes[i].Sommets.begin(), c.Commandes[i].Sommets.end());
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(c.Attente.size() * sizeof(Sommet)), c.Attente.data(),
                     GL_STREAM_DRAW);
        GLint premier = 0;
        for (std::size_t i = 0; i < c.Actives; ++i)
        {
            const Commande& k = c.Commandes[i];
            const GLsizei nombre = static_cast<GLsizei>(k.Sommets.size());
            Appliquer(k.E);
            glDrawArrays(k.E.Primitive, premier, nombre);
            premier += nombre;
            ++c.Dessins;
            c.Sommets += static_cast<unsigned>(nombre);
        }
        c.Actives = 0;
    }

    // The state a primitive given now would be drawn with.
    Etat EtatCourant(GLenum primitive)
    {
        Contexte& c = Ctx();
        Etat e;
        const Texture* t = TextureNommee(c.Liee);
        e.Texture = c.Texturage && t != nullptr && Complete(*t);
        e.Nom = c.Liee;
        c.CoucheCourante = 0;
        if (e.Texture)
        {
            const int couche = Couche(c.Liee);
            if (couche >= 0)
            {
                e.Rangee = c.Textures[c.Liee].Rangee;
                c.CoucheCourante = static_cast<float>(couche);
            }
        }
        e.Melange = c.Melange;
        e.Source = c.Source;
        e.Destination = c.Destination;
        e.Primitive = primitive;
        return e;
    }

    const Matrice& Combinee()
    {
        Contexte& c = Ctx();
        if (!c.CombineeAJour)
        {
            c.Combinee = Produit(c.Projection.back(), c.Vue.back());
            c.CombineeAJour = true;
        }
        return c.Combinee;
    }

    void Sommet3(float x, float y, float z)
    {
        Contexte& c = Ctx();
        if (!c.DansPrimitive)
            return;
        const Matrice& m = Combinee();
        Sommet s;
        const float w = m.m[3] * x + m.m[7] * y + m.m[11] * z + m.m[15];
        s.X = (m.m[0] * x + m.m[4] * y + m.m[8] * z + m.m[12]) / w;
        s.Y = (m.m[1] * x + m.m[5] * y + m.m[9] * z + m.m[13]) / w;
        s.S = c.S;
        s.T = c.T;
        s.R = c.Couleur[0];
        s.V = c.Couleur[1];
        s.B = c.Couleur[2];
        s.A = c.Couleur[3];
        c.Entree.push_back(s);
    }

    Matrice& Courante()
    {
        Contexte& c = Ctx();
        Ctx().CombineeAJour = false;
        return c.Mode == GL_PROJECTION ? c.Projection.back() : c.Vue.back();
    }

    std::vector<Matrice>& PileCourante()
    {
        Contexte& c = Ctx();
        return c.Mode == GL_PROJECTION ? c.Projection : c.Vue;
    }

    void Multiplie(const Matrice& m)
    {
        Matrice& courante = Courante();
        courante = Produit(courante, m);
    }

    GLint Stocke(GLenum nom)
    {
        for (int i = 0; i < 12; ++i)
            if (NomsStockage[i] == nom)
                return Ctx().Pixels.Valeurs[i];
        return 0;
    }

    int Octets(GLenum format)
    {
        switch (format)
        {
        case GL_RGBA:
        case GL_BGRA:
            return 4;
        case GL_RGB:
        case GL_BGR:
            return 3;
        case GL_LUMINANCE_ALPHA:
            return 2;
        default:
            return 1;
        }
    }

    size_t Pas(int largeur, int octets, GLint longueurLigne, GLint alignement)
    {
        const size_t ligne = static_cast<size_t>(longueurLigne > 0 ? longueurLigne : largeur) * octets;
        const size_t a = alignement > 0 ? static_cast<size_t>(alignement) : 1;
        return (ligne + a - 1) / a * a;
    }

}

using namespace GlWeb;

extern "C" {

void WglClear(GLbitfield masque)
{
    Dessine();
    Prepare();
    glClear(masque);
}

void WglClearColor(GLclampf r, GLclampf v, GLclampf b, GLclampf a)
{
    Contexte& c = Ctx();
    c.Fond[0] = r;
    c.Fond[1] = v;
    c.Fond[2] = b;
    c.Fond[3] = a;
    glClearColor(r, v, b, a);
}

void WglViewport(GLint x, GLint y, GLsizei largeur, GLsizei hauteur)
{
    Dessine();
    Contexte& c = Ctx();
    c.Vue4[0] = x;
    c.Vue4[1] = y;
    c.Vue4[2] = largeur;
    c.Vue4[3] = hauteur;
    glViewport(x, y, largeur, hauteur);
}

void WglFlush(void)
{
    Dessine();
}

void WglFinish(void)
{
    Dessine();
    glFinish();
}

void WglReadPixels(GLint x, GLint y, GLsizei largeur, GLsizei hauteur, GLenum format, GLenum type, void* pixels)
{
    Dessine();
    if (largeur <= 0 || hauteur <= 0 || pixels == nullptr || type != GL_UNSIGNED_BYTE)
        return;
    std::vector<std::uint8_t> rgba(static_cast<size_t>(largeur) * hauteur * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(x, y, largeur, hauteur, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    const int n = Octets(format);
    const size_t pas = Pas(largeur, n, Stocke(GL_PACK_ROW_LENGTH), Stocke(GL_PACK_ALIGNMENT));
    std::uint8_t* debut = static_cast<std::uint8_t*>(pixels) + static_cast<size_t>(Stocke(GL_PACK_SKIP_ROWS)) * pas +
                          static_cast<size_t>(Stocke(GL_PACK_SKIP_PIXELS)) * n;
    for (int l = 0; l < hauteur; ++l)
        for (int col = 0; col < largeur; ++col)
        {
            const std::uint8_t* s = &rgba[(static_cast<size_t>(l) * largeur + col) * 4];
            std::uint8_t* d = debut + l * pas + static_cast<size_t>(col) * n;
            switch (format)
            {
            case GL_RGBA: std::memcpy(d, s, 4); break;
            case GL_BGRA: d[0] = s[2]; d[1] = s[1]; d[2] = s[0]; d[3] = s[3]; break;
            case GL_RGB: d[0] = s[0]; d[1] = s[1]; d[2] = s[2]; break;
            case GL_BGR: d[0] = s[2]; d[1] = s[1]; d[2] = s[0]; break;
            default: d[0] = s[0]; break;
            }
        }
}

void WglGetIntegerv(GLenum nom, GLint* valeurs)
{
    Contexte& c = Ctx();
    if (valeurs == nullptr)
        return;
    switch (nom)
    {
    case GL_VIEWPORT:
        std::memcpy(valeurs, c.Vue4, sizeof c.Vue4);
        return;
    case GL_TEXTURE_BINDING_2D:
        *valeurs = static_cast<GLint>(c.Liee);
        return;
    default:
        for (int i = 0; i < 12; ++i)
            if (NomsStockage[i] == nom)
            {
                *valeurs = c.Pixels.Valeurs[i];
                return;
            }
        glGetIntegerv(nom, valeurs);
    }
}

GLenum WglGetError(void)
{
    return glGetError();
}

void WglEnable(GLenum capacite)
{
    Contexte& c = Ctx();
    switch (capacite)
    {
    case GL_BLEND: c.Melange = true; break;
    case GL_TEXTURE_2D: c.Texturage = true; break;
    case GL_LINE_SMOOTH: c.LissageLignes = true; break;
    case GL_LIGHTING: c.Eclairage = true; break;
    default: Dessine(); glEnable(capacite); break;
    }
}

void WglDisable(GLenum capacite)
{
    Contexte& c = Ctx();
    switch (capacite)
    {
    case GL_BLEND: c.Melange = false; break;
    case GL_TEXTURE_2D: c.Texturage = false; break;
    case GL_LINE_SMOOTH: c.LissageLignes = false; break;
    case GL_LIGHTING: c.Eclairage = false; break;
    default: Dessine(); glDisable(capacite); break;
    }
}

void WglBlendFunc(GLenum source, GLenum destination)
{
    Ctx().Source = source;
    Ctx().Destination = destination;
}

void WglLineWidth(GLfloat largeur)
{
    Dessine();
    Ctx().LargeurLigne = largeur;
    glLineWidth(largeur);
}

void WglPushAttrib(GLbitfield)
{
    Contexte& c = Ctx();
    Attributs a;
    a.Melange = c.Melange;
    a.Texturage = c.Texturage;
    a.LissageLignes = c.LissageLignes;
    a.Eclairage = c.Eclairage;
    a.Source = c.Source;
    a.Destination = c.Destination;
    for (int i = 0; i < 4; ++i)
        a.Couleur[i] = c.Couleur[i];
    a.Liee = c.Liee;
    a.LargeurLigne = c.LargeurLigne;
    c.PileAttributs.push_back(a);
}

void WglPopAttrib(void)
{
    Contexte& c = Ctx();
    if (c.PileAttributs.empty())
        return;
    const Attributs a = c.PileAttributs.back();
    c.PileAttributs.pop_back();
    c.Melange = a.Melange;
    c.Texturage = a.Texturage;
    c.LissageLignes = a.LissageLignes;
    c.Eclairage = a.Eclairage;
    c.Source = a.Source;
    c.Destination = a.Destination;
    for (int i = 0; i < 4; ++i)
        c.Couleur[i] = static_cast<std::uint8_t>(a.Couleur[i]);
    c.Liee = a.Liee;
    if (a.LargeurLigne != c.LargeurLigne)
        WglLineWidth(a.LargeurLigne);
}

void WglPushClientAttrib(GLbitfield)
{
    Ctx().PileStockage.push_back(Ctx().Pixels);
}

void WglPopClientAttrib(void)
{
    Contexte& c = Ctx();
    if (c.PileStockage.empty())
        return;
    c.Pixels = c.PileStockage.back();
    c.PileStockage.pop_back();
}

void WglPixelStorei(GLenum nom, GLint valeur)
{
    for (int i = 0; i < 12; ++i)
        if (NomsStockage[i] == nom)
            Ctx().Pixels.Valeurs[i] = valeur;
}

void WglMatrixMode(GLenum mode)
{
    Ctx().Mode = mode == GL_PROJECTION ? GL_PROJECTION : GL_MODELVIEW;
}

void WglLoadIdentity(void)
{
    Courante() = Identite();
}

void WglPushMatrix(void)
{
    std::vector<Matrice>& pile = PileCourante();
    if (pile.size() < 32)
        pile.push_back(pile.back());
}

void WglPopMatrix(void)
{
    std::vector<Matrice>& pile = PileCourante();
    if (pile.size() > 1)
        pile.pop_back();
    Ctx().CombineeAJour = false;
}

void WglTranslated(GLdouble x, GLdouble y, GLdouble z)
{
    Matrice t = Identite();
    t.m[12] = static_cast<float>(x);
    t.m[13] = static_cast<float>(y);
    t.m[14] = static_cast<float>(z);
    Multiplie(t);
}

void WglTranslatef(GLfloat x, GLfloat y, GLfloat z)
{
    WglTranslated(x, y, z);
}

void WglScaled(GLdouble x, GLdouble y, GLdouble z)
{
    Matrice e = Identite();
    e.m[0] = static_cast<float>(x);
    e.m[5] = static_cast<float>(y);
    e.m[10] = static_cast<float>(z);
    Multiplie(e);
}

void WglScalef(GLfloat x, GLfloat y, GLfloat z)
{
    WglScaled(x, y, z);
}

void WglOrtho(GLdouble gauche, GLdouble droite, GLdouble bas, GLdouble haut, GLdouble proche, GLdouble loin)
{
    Matrice o = Identite();
    o.m[0] = static_cast<float>(2 / (droite - gauche));
    o.m[5] = static_cast<float>(2 / (haut - bas));
    o.m[10] = static_cast<float>(-2 / (loin - proche));
    o.m[12] = static_cast<float>(-(droite + gauche) / (droite - gauche));
    o.m[13] = static_cast<float>(-(haut + bas) / (haut - bas));
    o.m[14] = static_cast<float>(-(loin + proche) / (loin - proche));
    Multiplie(o);
}

void WglBegin(GLenum mode)
{
    Contexte& c = Ctx();
    c.DansPrimitive = true;
    c.Primitive = mode;
    c.Entree.clear();
}

void WglEnd(void)
{
    Contexte& c = Ctx();
    if (!c.DansPrimitive)
        return;
    c.DansPrimitive = false;
    const std::vector<Sommet>& e = c.Entree;
    const size_t n = e.size();
    const bool lignes = c.Primitive == GL_LINES || c.Primitive == GL_LINE_STRIP || c.Primitive == GL_LINE_LOOP;
    const Etat etat = EtatCourant(lignes ? GL_LINES : GL_TRIANGLES);
    std::vector<Sommet>& lot = c.Nouveaux;
    lot.clear();
    switch (c.Primitive)
    {
    case GL_QUADS:
        for (size_t i = 0; i + 3 < n; i += 4)
        {
            const Sommet q[6] = {e[i], e[i + 1], e[i + 2], e[i], e[i + 2], e[i + 3]};
            lot.insert(lot.end(), q, q + 6);
        }
        break;
    case GL_TRIANGLES:
        lot.insert(lot.end(), e.begin(), e.begin() + static_cast<long>(n - n % 3));
        break;
    case GL_TRIANGLE_STRIP:
        for (size_t i = 2; i < n; ++i)
        {
            const Sommet t[3] = {e[i - 2 + (i % 2)], e[i - 1 - (i % 2)], e[i]};
            lot.insert(lot.end(), t, t + 3);
        }
        break;
    case GL_TRIANGLE_FAN:
    case 0x0009: // GL_POLYGON
        for (size_t i = 2; i < n; ++i)
        {
            const Sommet t[3] = {e[0], e[i - 1], e[i]};
            lot.insert(lot.end(), t, t + 3);
        }
        break;
    case GL_LINES:
        lot.insert(lot.end(), e.begin(), e.begin() + static_cast<long>(n - n % 2));
        break;
    case GL_LINE_STRIP:
    case GL_LINE_LOOP:
        for (size_t i = 1; i < n; ++i)
        {
            lot.push_back(e[i - 1]);
            lot.push_back(e[i]);
        }
        if (c.Primitive == GL_LINE_LOOP && n > 2)
        {
            lot.push_back(e[n - 1]);
            lot.push_back(e[0]);
        }
        break;
    default: // points: not drawn
        break;
    }
    for (Sommet& s : lot)
        s.Couche = c.CoucheCourante;
    Range(etat);
}

void WglColor4ub(GLubyte r, GLubyte v, GLubyte b, GLubyte a)
{
    std::uint8_t* c = Ctx().Couleur;
    c[0] = r;
    c[1] = v;
    c[2] = b;
    c[3] = a;
}

void WglColor3ub(GLubyte r, GLubyte v, GLubyte b)
{
    WglColor4ub(r, v, b, 255);
}

static GLubyte Octet(GLfloat f)
{
    const float borne = f < 0 ? 0 : (f > 1 ? 1 : f);
    return static_cast<GLubyte>(std::lround(borne * 255));
}

void WglColor4f(GLfloat r, GLfloat v, GLfloat b, GLfloat a)
{
    WglColor4ub(Octet(r), Octet(v), Octet(b), Octet(a));
}

void WglColor3f(GLfloat r, GLfloat v, GLfloat b)
{
    WglColor4f(r, v, b, 1);
}

void WglTexCoord2f(GLfloat s, GLfloat t)
{
    Ctx().S = s;
    Ctx().T = t;
}

void WglTexCoord2i(GLint s, GLint t)
{
    WglTexCoord2f(static_cast<float>(s), static_cast<float>(t));
}

void WglTexCoord2d(GLdouble s, GLdouble t)
{
    WglTexCoord2f(static_cast<float>(s), static_cast<float>(t));
}

void WglVertex2f(GLfloat x, GLfloat y)
{
    Sommet3(x, y, 0);
}

void WglVertex2i(GLint x, GLint y)
{
    Sommet3(static_cast<float>(x), static_cast<float>(y), 0);
}

void WglVertex2d(GLdouble x, GLdouble y)
{
    Sommet3(static_cast<float>(x), static_cast<float>(y), 0);
}

void WglVertex3i(GLint x, GLint y, GLint z)
{
    Sommet3(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
}

void WglVertex3f(GLfloat x, GLfloat y, GLfloat z)
{
    Sommet3(x, y, z);
}

int WglVersion2(void)
{
    Prepare();
    return Ctx().Version2 ? 1 : 0;
}

unsigned WglNombreDessins(void)
{
    return Ctx().Dessins;
}

unsigned WglNombreSommets(void)
{
    return Ctx().Sommets;
}
}
