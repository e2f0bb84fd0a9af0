#include "TexteEcran.h"

#include "main/Globales.h"

#include <SDL_opengl.h>
#include <algorithm>
#include <cstring>

namespace Edition
{
    namespace
    {
        // Strokes of the signs the font lacks, on a 8 x 8 cell: x0 y0 x1 y1 ...
        struct Signe
        {
            char Caractere;
            const char* Traits;
        };
        const Signe Signes[] = {
            {'/', "1770"},         {'\\', "1077"},     {'_', "0787"},          {'=', "1373" "1575"},
            {'+', "1474" "4246"},  {'(', "5232" "3236" "3656"}, {')', "3252" "5256" "5636"},
            {'[', "5232" "3236" "3656"}, {']', "3252" "5256" "5636"},
            {',', "4647" "4738"},  {'?', "2131" "3151" "5152" "5243" "4344" "4646"},
            {'*', "2266" "2662" "4147" "1474"}, {'<', "5234" "3456"}, {'>', "3254" "5436"},
            {'~', "1433" "3345" "4564"}, {'%', "1761" "2223" "5556"}, {'"', "2123" "5153"},
            {'#', "1262" "1565" "3137" "5157"}, {'&', "5626" "2623" "2352" "5252"},
        };

        const Signe* SigneDe(char c)
        {
            for (const Signe& s : Signes)
                if (s.Caractere == c)
                    return &s;
            return nullptr;
        }

        // Letters, digits and the few signs the font draws itself.
        bool DansLaFonte(char c)
        {
            return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                   std::strchr(":'.!- ", c) != nullptr;
        }

        void DessineSigne(const Signe& s, int x, int y, int taille, unsigned char r, unsigned char g,
                          unsigned char b, unsigned char alpha)
        {
            const double u = taille / 8.0;
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
            glEnable(GL_BLEND);
            glLineWidth(taille >= 20 ? 2.0f : 1.5f);
            glBegin(GL_LINES);
            glColor4ub(r, g, b, alpha);
            for (const char* p = s.Traits; p[0] && p[1] && p[2] && p[3]; p += 4)
            {
                glVertex2d(x + (p[0] - '0') * u, y + (p[1] - '0') * u);
                glVertex2d(x + (p[2] - '0') * u, y + (p[3] - '0') * u);
            }
            glEnd();
            glLineWidth(1.0f);
            glDisable(GL_BLEND);
        }
    }

    void DessineTexteEcran(const std::string& texte, int x, int y, int taille, unsigned char r,
                           unsigned char g, unsigned char b, unsigned char alpha)
    {
        const int petite = taille * 3 / 4;
        for (size_t i = 0; i < texte.size(); ++i)
        {
            const char c = texte[i];
            const int cx = x + static_cast<int>(i) * taille;
            if (c == ' ')
                continue;
            if (const Signe* s = SigneDe(c))
                DessineSigne(*s, cx, y, taille, r, g, b, alpha);
            else if (!DansLaFonte(c))
                DessineSigne(*SigneDe('?'), cx, y, taille, r, g, b, alpha);
            else
            {
                const char lettre[2] = {c, '\0'};
                if (c >= 'a' && c <= 'z')
                    Moteur.DessineTexte(FonteStandard, lettre, petite, cx + (taille - petite) / 2,
                                        y + taille - petite, r, g, b, true, alpha);
                else
                    Moteur.DessineTexte(FonteStandard, lettre, taille, cx, y, r, g, b, true, alpha);
            }
        }
    }

    void DessineRectangle(int x, int y, int largeur, int hauteur, unsigned char r, unsigned char g,
                          unsigned char b, unsigned char alpha)
    {
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glEnable(GL_BLEND);
        glBegin(GL_QUADS);
        glColor4ub(r, g, b, alpha);
        glVertex2i(x, y + hauteur);
        glVertex2i(x, y);
        glVertex2i(x + largeur, y);
        glVertex2i(x + largeur, y + hauteur);
        glEnd();
        glDisable(GL_BLEND);
    }

    void DessineCadre(double x, double y, double largeur, double hauteur, double e, unsigned char r,
                      unsigned char g, unsigned char b, unsigned char alpha)
    {
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glEnable(GL_BLEND);
        glColor4ub(r, g, b, alpha);
        glBegin(GL_QUADS);
        const double bandes[4][4] = {{x, y, largeur, e},
                                     {x, y + hauteur - e, largeur, e},
                                     {x, y + e, e, hauteur - 2 * e},
                                     {x + largeur - e, y + e, e, hauteur - 2 * e}};
        for (const auto& bd : bandes)
        {
            glVertex2d(bd[0], bd[1] + bd[3]);
            glVertex2d(bd[0], bd[1]);
            glVertex2d(bd[0] + bd[2], bd[1]);
            glVertex2d(bd[0] + bd[2], bd[1] + bd[3]);
        }
        glEnd();
        glDisable(GL_BLEND);
    }

    void DessineBoite(const std::vector<std::string>& lignes, int taille, int largeurFenetre, int hauteurFenetre)
    {
        size_t largeur = 1;
        for (const std::string& l : lignes)
            largeur = std::max(largeur, l.size());
        // Smaller letters rather than text off the window.
        taille = std::max(6, std::min({taille, (largeurFenetre - 40) / static_cast<int>(largeur),
                                       (hauteurFenetre - 40) / static_cast<int>(lignes.size() + 1) - 6}));
        const int w = static_cast<int>(largeur) * taille + 32;
        const int h = static_cast<int>(lignes.size()) * (taille + 6) + 28;
        const int x = std::max(0, (largeurFenetre - w) / 2), y = std::max(0, (hauteurFenetre - h) / 2);
        DessineRectangle(x, y, w, h, 10, 12, 20, 235);
        DessineCadre(x, y, w, h, 2, 255, 220, 0, 255);
        for (size_t i = 0; i < lignes.size(); ++i)
            DessineTexteEcran(lignes[i], x + 16, y + 14 + static_cast<int>(i) * (taille + 6), taille, 255, 255, 255);
    }
}
