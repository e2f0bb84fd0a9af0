#include "Surcouches.h"

#include "main/Globales.h"

#include <SDL_opengl.h>
#include <algorithm>

namespace Edition
{
    namespace
    {
        const double Case = CMap::TailleCase;

        // A picture of the level a texel a cell (or a block of cells), made
        // once and drawn as one quad.
        void ChargerTexels(unsigned int& id, int largeur, int hauteur, const std::vector<unsigned char>& rgba,
                           GLint reduction)
        {
            if (id == 0)
                glGenTextures(1, &id);
            glBindTexture(GL_TEXTURE_2D, id);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, reduction);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
            glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, largeur, hauteur, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        }

        // The cells a texel holds along each side, for the texture to fit.
        int PasTexels(int largeur, int hauteur)
        {
            GLint maximum = 2048;
            glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maximum);
            int pas = 1;
            while ((largeur + pas - 1) / pas > maximum || (hauteur + pas - 1) / pas > maximum)
                ++pas;
            return pas;
        }
    }

    void Surcouches::Liberer()
    {
        if (apercu_ != 0)
            glDeleteTextures(1, &apercu_);
        if (texAtteinte_ != 0)
            glDeleteTextures(1, &texAtteinte_);
        apercu_ = texAtteinte_ = 0;
        couleurs_.clear();
        numeroAtteinte_ = ~0u;
    }

    void Surcouches::DessineApercu()
    {
        const Niveau& n = etat_.Doc.Courant();
        if (couleurs_.empty())
        {
            // The average colour of each tile's image, read back once.
            couleurs_.assign((CMap::NbCodes + CMap::NbTypesBonus) * 4, 0);
            auto moyenne = [&](unsigned int id, unsigned char* rgba)
            {
                if (id >= Moteur.Sprites.size() || Moteur.Sprites[id].Texture == 0)
                    return;
                const CMoteur::CSprite& s = Moteur.Sprites[id];
                std::vector<unsigned char> pixels(static_cast<size_t>(std::max(1, s.LargeurImage)) *
                                                  static_cast<size_t>(std::max(1, s.HauteurImage)) * 4);
                glBindTexture(GL_TEXTURE_2D, s.Texture);
                glPixelStorei(GL_PACK_ALIGNMENT, 1);
                glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
                // Colours weighted by their coverage; the alpha is the coverage.
                double somme[3] = {0, 0, 0}, couverture = 0;
                for (size_t i = 0; i < pixels.size(); i += 4)
                {
                    const double a = pixels[i + 3] / 255.0;
                    for (int k = 0; k < 3; ++k)
                        somme[k] += pixels[i + k] * a;
                    couverture += a;
                }
                for (int k = 0; k < 3; ++k)
                    rgba[k] = static_cast<unsigned char>(couverture > 0 ? std::min(255.0, somme[k] / couverture) : 0);
                rgba[3] = static_cast<unsigned char>(255.0 * couverture / static_cast<double>(pixels.size() / 4));
            };
            for (int code = 2; code < CMap::NbCodes; ++code)
                moyenne(Map.ImgCases[code], &couleurs_[static_cast<size_t>(code) * 4]);
            for (int type = 1; type <= CMap::NbTypesBonus; ++type)
                moyenne(Map.ImgBonus[type - 1][0], &couleurs_[static_cast<size_t>(CMap::NbCodes + type - 1) * 4]);
            // An unset cell: dark red, as it is crossed out up close.
            unsigned char* rouge = &couleurs_[0];
            rouge[0] = 140, rouge[1] = 20, rouge[2] = 20, rouge[3] = 255;
            glBindTexture(GL_TEXTURE_2D, 0);
        }
        if (revisionApercu_ != etat_.Doc.Revision() || apercu_ == 0)
        {
            revisionApercu_ = etat_.Doc.Revision();
            apercuPas_ = PasTexels(n.Largeur, n.Hauteur);
            apercuLargeur_ = (n.Largeur + apercuPas_ - 1) / apercuPas_;
            apercuHauteur_ = (n.Hauteur + apercuPas_ - 1) / apercuPas_;
            std::vector<unsigned char> texels(static_cast<size_t>(apercuLargeur_) * apercuHauteur_ * 4, 0);
            for (int l = 0; l < n.Hauteur; l += apercuPas_)
                for (int c = 0; c < n.Largeur; c += apercuPas_)
                {
                    const char k = n.Case(c, l);
                    const int bonus = BonusDeCase(k);
                    const size_t i = bonus != 0 ? static_cast<size_t>(CMap::NbCodes + bonus - 1) : static_cast<size_t>(CodeDeCase(k));
                    std::copy_n(&couleurs_[i * 4], 4,
                                &texels[(static_cast<size_t>(l / apercuPas_) * apercuLargeur_ + c / apercuPas_) * 4]);
                }
            ChargerTexels(apercu_, apercuLargeur_, apercuHauteur_, texels, GL_LINEAR);
        }
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glBindTexture(GL_TEXTURE_2D, apercu_);
        const double w = static_cast<double>(apercuLargeur_) * apercuPas_ * Case;
        const double h = static_cast<double>(apercuHauteur_) * apercuPas_ * Case;
        glBegin(GL_QUADS);
        glColor4ub(255, 255, 255, 255);
        glTexCoord2d(0, 1);
        glVertex2d(0, h);
        glTexCoord2d(0, 0);
        glVertex2d(0, 0);
        glTexCoord2d(1, 0);
        glVertex2d(w, 0);
        glTexCoord2d(1, 1);
        glVertex2d(w, h);
        glEnd();
        glDisable(GL_BLEND);
        glDisable(GL_TEXTURE_2D);
    }

    // The reachability overlay, in map pixels: one texel a cell (a block of
    // cells on a level wider than a texture), drawn as one quad.
    void Surcouches::DessineAtteinte()
    {
        const Niveau& n = etat_.Doc.Courant();
        const Atteinte& atteinte = etat_.Atteignable;
        if (atteinte.Largeur != n.Largeur || atteinte.Hauteur != n.Hauteur || !atteinte.Recherche)
            return;
        if (numeroAtteinte_ != etat_.NumeroVu || texAtteinte_ == 0)
        {
            numeroAtteinte_ = etat_.NumeroVu;
            atteintePas_ = PasTexels(n.Largeur, n.Hauteur);
            const int w = (n.Largeur + atteintePas_ - 1) / atteintePas_;
            const int h = (n.Hauteur + atteintePas_ - 1) / atteintePas_;
            std::vector<unsigned char> texels(static_cast<size_t>(w) * h * 4, 0);
            for (int l = 0; l < n.Hauteur; ++l)
                for (int c = 0; c < n.Largeur; ++c)
                {
                    unsigned char* t = &texels[(static_cast<size_t>(l / atteintePas_) * w + c / atteintePas_) * 4];
                    const Atteinte::Cellule e = atteinte.En(c, l);
                    // Reached: green. Open and never reached: dark. A block
                    // with any reached cell is reached.
                    if (e == Atteinte::Traversee)
                        t[0] = 40, t[1] = 230, t[2] = 90, t[3] = 110;
                    else if (e == Atteinte::NonAtteinte && t[3] == 0)
                        t[0] = 20, t[1] = 0, t[2] = 40, t[3] = 120;
                }
            ChargerTexels(texAtteinte_, w, h, texels, GL_NEAREST);
        }
        GLint w = 0, h = 0;
        glBindTexture(GL_TEXTURE_2D, texAtteinte_);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        const double x1 = static_cast<double>(w) * atteintePas_ * Case, y1 = static_cast<double>(h) * atteintePas_ * Case;
        glBegin(GL_QUADS);
        glColor4ub(255, 255, 255, 255);
        glTexCoord2d(0, 0);
        glVertex2d(0, 0);
        glTexCoord2d(1, 0);
        glVertex2d(x1, 0);
        glTexCoord2d(1, 1);
        glVertex2d(x1, y1);
        glTexCoord2d(0, 1);
        glVertex2d(0, y1);
        glEnd();
        glDisable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, 0);

        // Bonuses nobody can take: crossed out in red (walled in: in purple).
        const double px = 1.0 / etat_.VueNiveau.Zoom;
        const double m = std::max(6 * px, 6.0);
        glLineWidth(3.0f);
        glBegin(GL_LINES);
        for (const Atteinte::BonusPerdu& b : atteinte.Perdus)
        {
            if (b.Enfoui)
                glColor4ub(200, 60, 255, 255);
            else
                glColor4ub(255, 30, 30, 255);
            const double x = b.Colonne * Case, y = b.Ligne * Case;
            glVertex2d(x + m, y + m);
            glVertex2d(x + Case - m, y + Case - m);
            glVertex2d(x + Case - m, y + m);
            glVertex2d(x + m, y + Case - m);
        }
        glEnd();
        glLineWidth(1.0f);
        glDisable(GL_BLEND);
    }

    // The findings at their cells: an orange diamond for a warning (blue for a
    // note), never smaller than a few screen pixels.
    void Surcouches::DessineMarques(const CasesEnVue& zone)
    {
        const std::vector<Marque>& marques = etat_.Marques;
        if (marques.empty())
            return;
        const double px = 1.0 / etat_.VueNiveau.Zoom;
        const double r = std::max(Case * 0.22, 7 * px);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        for (int passe = 0; passe < 2; ++passe)
        {
            // A dark outline, then the colour.
            const double t = passe == 0 ? r + 2.5 * px : r;
            glBegin(GL_QUADS);
            for (const Marque& m : marques)
            {
                if (m.Colonne < zone.C0 || m.Colonne > zone.C1 || m.Ligne < zone.L0 || m.Ligne > zone.L1)
                    continue;
                if (passe == 0)
                    glColor4ub(0, 0, 0, 230);
                else if (m.Grave)
                    glColor4ub(255, 120, 0, 255);
                else
                    glColor4ub(80, 170, 255, 255);
                const double x = (m.Colonne + 0.5) * Case, y = (m.Ligne + 0.5) * Case;
                glVertex2d(x, y - t);
                glVertex2d(x + t, y);
                glVertex2d(x, y + t);
                glVertex2d(x - t, y);
            }
            glEnd();
        }
        glDisable(GL_BLEND);
    }
}
