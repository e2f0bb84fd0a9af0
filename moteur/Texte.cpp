// Bitmap fonts: one image per glyph in a folder of ./Images/Fontes, monospaced
// text drawn as a row of square cells, and the on-screen frame counter.
#include "Moteur.h"

#include "../outils/Horloge.h"
#include "../outils/Outils.h"

#include <cstdio>

const int CMoteur::CTexte::NbLettres;

namespace
{
    const char* const FichiersLettres[CMoteur::CTexte::NbLettres] = {
        "A.png", "B.png", "C.png", "D.png", "E.png", "F.png", "G.png", "H.png", "I.png",
        "J.png", "K.png", "L.png", "M.png", "N.png", "O.png", "P.png", "Q.png", "R.png",
        "S.png", "T.png", "U.png", "V.png", "W.png", "X.png", "Y.png", "Z.png",
        "DeuxPoints.png",
        "0.png", "1.png", "2.png", "3.png", "4.png", "5.png", "6.png", "7.png", "8.png", "9.png",
        "Espace.png", "Apostrophe.png", "Point.png", "Point exclamation.png", "tiret.png"};

    const int SlotDeuxPoints = 26;
    const int SlotChiffres = 27;
    const int SlotEspace = 37;
    const int SlotApostrophe = 38;
    const int SlotPoint = 39;
    const int SlotExclamation = 40;
    const int SlotTiret = 41;

    // Room for a glyph's path, its terminating NUL included.
    const size_t TailleChemin = 100;

    // Upper case as the C locale has it: only 'a' to 'z' change. Done by hand so
    // that neither the process's locale nor bytes above 127 can matter.
    unsigned char Majuscule(unsigned char c)
    {
        if (c >= 'a' && c <= 'z')
            return static_cast<unsigned char>(c - 'a' + 'A');
        return c;
    }
}

const char* FichierLettre(int slot)
{
    if (slot < 0 || slot >= CMoteur::CTexte::NbLettres)
        return nullptr;
    return FichiersLettres[slot];
}

bool CheminLettre(char* chemin, size_t taille, const char* nom, const char* fichier)
{
    if (chemin == nullptr || taille == 0)
        return false;
    chemin[0] = '\0';
    if (nom == nullptr || fichier == nullptr)
        return false;
    const int longueur = std::snprintf(chemin, taille, "./Images/Fontes/%s/%s", nom, fichier);
    if (longueur < 0 || static_cast<size_t>(longueur) >= taille)
    {
        // A cut path could name another file: better no file at all.
        chemin[0] = '\0';
        return false;
    }
    return true;
}

int CMoteur::NouvelleFonte(const char* nom)
{
    Fontes.push_back(CTexte());
    Fontes.back().LoadFont(nom);
    return static_cast<int>(Fontes.size()) - 1;
}

void CMoteur::CTexte::LoadFont(const char* nom)
{
    Nom = nom != nullptr ? nom : "";
    for (int slot = 0; slot < NbLettres; ++slot)
        Lettres[slot] = static_cast<GLuint>(ChargerFichier(nom, FichiersLettres[slot]));
}

int CMoteur::CTexte::ChargerFichier(const char* nom, const char* fichier)
{
    char chemin[TailleChemin];
    // A path too long for the buffer loads nothing: the glyph stays empty.
    if (!CheminLettre(chemin, sizeof chemin, nom, fichier))
        return 0;
    return Outils::loadTexture(chemin, nullptr, nullptr, true);
}

int CMoteur::CTexte::giveLettre(char c)
{
    const unsigned char u = static_cast<unsigned char>(c);
    if (u >= 'A' && u <= 'Z')
        return u - 'A';
    if (u >= '0' && u <= '9')
        return SlotChiffres + (u - '0');
    switch (u)
    {
    case ':':
        return SlotDeuxPoints;
    case '\'':
        return SlotApostrophe;
    case '.':
        return SlotPoint;
    case '!':
        return SlotExclamation;
    case '-':
        return SlotTiret;
    default:
        return SlotEspace;
    }
}

void CMoteur::CTexte::DessineTexte(const char* texte, int taille, int x, int y,
                                   unsigned char rouge, unsigned char vert, unsigned char bleu,
                                   bool utiliseAlpha, unsigned char alpha)
{
    glMatrixMode(GL_MODELVIEW);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);

    // Cell edges in 64 bits: a long text or a large size never overflows.
    long long avance = 0;
    const double haut = static_cast<double>(y);
    const double bas = static_cast<double>(static_cast<long long>(y) + taille);
    for (const char* p = texte; p != nullptr && *p != '\0'; ++p)
    {
        const unsigned char c = Majuscule(static_cast<unsigned char>(*p));
        glBindTexture(GL_TEXTURE_2D, Lettres[giveLettre(static_cast<char>(c))]);
        const double gauche = static_cast<double>(x + avance);
        const double droite = static_cast<double>(x + avance + taille);
        glBegin(GL_QUADS);
        if (utiliseAlpha)
            glColor4ub(rouge, vert, bleu, alpha);
        else
            glColor3ub(rouge, vert, bleu);
        glTexCoord2i(0, 0);
        glVertex2d(gauche, bas);
        glTexCoord2i(0, 1);
        glVertex2d(gauche, haut);
        glTexCoord2i(1, 1);
        glVertex2d(droite, haut);
        glTexCoord2i(1, 0);
        glVertex2d(droite, bas);
        glEnd();
        avance += taille;
    }

    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
}

void CMoteur::DessineTexte(int fonte, const char* texte, int taille, int x, int y,
                           unsigned char rouge, unsigned char vert, unsigned char bleu,
                           bool utiliseAlpha, unsigned char alpha)
{
    if (static_cast<unsigned int>(fonte) >= Fontes.size())
        return;
    Fontes[static_cast<unsigned int>(fonte)].DessineTexte(texte, taille, x, y, rouge, vert, bleu,
                                                          utiliseAlpha, alpha);
}

void CMoteur::DessineFPS()
{
    static char texte[100];
    texte[sizeof texte - 1] = '\0';
    std::snprintf(texte, sizeof texte, "FPS : %u", static_cast<unsigned int>(FPS));
    // The counter is drawn with the first font registered; with none there is
    // nothing to draw it with, but the frames are still counted and measured.
    if (!Fontes.empty())
        Fontes[0].DessineTexte(texte, 20, 5, 5, 255, 255, 255, false, 255);

    ++nbFrames;
    // Elapsed time as an unsigned difference, so that the clock's wrap after
    // 49 days neither stalls the measure nor updates it every frame.
    if (Horloge::Ticks() - TempsFPS > 1000)
    {
        FPS = nbFrames;
        nbFrames = 0;
        TempsFPS = Horloge::Ticks();
    }
}
