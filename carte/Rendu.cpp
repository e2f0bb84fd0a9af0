// Drawing the level without a window. The game draws textured quads with
// blending (source alpha, one minus source alpha) and linear sampling; here
// each quad is drawn on the CPU from the same PNG file: sampled bilinearly when
// it is enlarged, averaged over the covered texels when it is shrunk (what the
// game's mipmaps do for the font), and blended the same way.
#include "Rendu.h"

#include "analyse/Contexte.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>
#include <map>
#include <memory>

namespace OutilCarte
{
    namespace
    {
        // The game's own image files, below the image folder (the game's paths
        // start with "Images/", the folder the tool is given).
        std::string SousImages(const char* chemin)
        {
            const std::string prefixe = "Images/";
            std::string relatif = chemin ? chemin : "";
            if (relatif.compare(0, prefixe.size(), prefixe) == 0)
                relatif.erase(0, prefixe.size());
            return relatif;
        }

        // Frame 1 of a bonus type: what the game shows at animation frame 0.
        std::string PremiereImageBonus(int type)
        {
            char chemin[128];
            std::snprintf(chemin, sizeof chemin, MotifImageBonus(type), 1);
            return SousImages(chemin);
        }

        const int TailleChiffre = 20;       // the counter's glyphs
        const double PositionCompteur = 100; // map position of the counter

        // Images read once each; a file that cannot be read is remembered as
        // missing and drawn as a plain white quad, as the game draws a texture
        // that failed to load.
        class Images
        {
        public:
            Images(const std::string& dossier, ResultatRendu& resultat) : dossier_(dossier), resultat_(resultat) {}

            const ImageRGBA* Lire(const std::string& fichier)
            {
                const auto trouve = cache_.find(fichier);
                if (trouve != cache_.end())
                    return trouve->second.get();
                std::unique_ptr<ImageRGBA> image(new ImageRGBA());
                const std::string chemin = dossier_ + "/" + fichier;
                bool lu = false;
                try
                {
                    lu = LirePng(chemin, *image) && image->Largeur > 0 && image->Hauteur > 0;
                }
                catch (const std::exception&)
                {
                    lu = false;
                }
                if (!lu)
                {
                    resultat_.ImagesManquantes.push_back(chemin);
                    image.reset();
                }
                const ImageRGBA* p = image.get();
                cache_[fichier] = std::move(image);
                return p;
            }

        private:
            std::string dossier_;
            ResultatRendu& resultat_;
            std::map<std::string, std::unique_ptr<ImageRGBA>> cache_;
        };

        struct Texel
        {
            double R, G, B, A; // colour premultiplied by alpha, 0..1
        };

        Texel Lire(const ImageRGBA& image, int x, int y)
        {
            x = std::min(std::max(x, 0), image.Largeur - 1);
            y = std::min(std::max(y, 0), image.Hauteur - 1);
            const uint8_t* p = image.Pixel(x, y);
            const double a = p[3] / 255.0;
            return Texel{p[0] / 255.0 * a, p[1] / 255.0 * a, p[2] / 255.0 * a, a};
        }

        // The texel colour seen at (u, v) in 0..1 of the image, for a
        // destination pixel that covers du by dv of it.
        Texel Echantillon(const ImageRGBA& image, double u, double v, double du, double dv)
        {
            const double sx = u * image.Largeur;
            const double sy = v * image.Hauteur;
            const double lx = du * image.Largeur;
            const double ly = dv * image.Hauteur;
            if (lx <= 1.0 && ly <= 1.0)
            {
                // Enlarged or at size: bilinear, clamped to the edges.
                const double fx = sx - 0.5;
                const double fy = sy - 0.5;
                const int x0 = static_cast<int>(std::floor(fx));
                const int y0 = static_cast<int>(std::floor(fy));
                const double tx = fx - x0;
                const double ty = fy - y0;
                const Texel a = Lire(image, x0, y0);
                const Texel b = Lire(image, x0 + 1, y0);
                const Texel c = Lire(image, x0, y0 + 1);
                const Texel d = Lire(image, x0 + 1, y0 + 1);
                auto melange = [&](double Texel::*m) {
                    return (a.*m * (1 - tx) + b.*m * tx) * (1 - ty) + (c.*m * (1 - tx) + d.*m * tx) * ty;
                };
                return Texel{melange(&Texel::R), melange(&Texel::G), melange(&Texel::B), melange(&Texel::A)};
            }
            // Shrunk: the mean of the texels the pixel covers.
            const int x0 = static_cast<int>(std::floor(sx - lx / 2));
            const int x1 = std::max(x0 + 1, static_cast<int>(std::ceil(sx + lx / 2)));
            const int y0 = static_cast<int>(std::floor(sy - ly / 2));
            const int y1 = std::max(y0 + 1, static_cast<int>(std::ceil(sy + ly / 2)));
            Texel somme{0, 0, 0, 0};
            for (int y = y0; y < y1; ++y)
                for (int x = x0; x < x1; ++x)
                {
                    const Texel t = Lire(image, x, y);
                    somme.R += t.R;
                    somme.G += t.G;
                    somme.B += t.B;
                    somme.A += t.A;
                }
            const double n = static_cast<double>(x1 - x0) * (y1 - y0);
            return Texel{somme.R / n, somme.G / n, somme.B / n, somme.A / n};
        }

        uint8_t Octet(double v)
        {
            const double o = std::floor(v * 255.0 + 0.5);
            return static_cast<uint8_t>(o < 0 ? 0 : (o > 255 ? 255 : o));
        }

        class Toile
        {
        public:
            Toile(ImageRGBA& image, double echelle) : image_(image), echelle_(echelle) {}

            // An image stretched over the map rectangle (x, y, largeur, hauteur),
            // blended over what is there; a missing image is a white quad.
            void Dessiner(const ImageRGBA* source, double x, double y, double largeur, double hauteur)
            {
                const double X0 = x * echelle_;
                const double Y0 = y * echelle_;
                const double X1 = (x + largeur) * echelle_;
                const double Y1 = (y + hauteur) * echelle_;
                // The pixels whose centre lies in the rectangle.
                const int px0 = std::max(0, static_cast<int>(std::ceil(X0 - 0.5)));
                const int px1 = std::min(image_.Largeur, static_cast<int>(std::ceil(X1 - 0.5)));
                const int py0 = std::max(0, static_cast<int>(std::ceil(Y0 - 0.5)));
                const int py1 = std::min(image_.Hauteur, static_cast<int>(std::ceil(Y1 - 0.5)));
                const double du = 1.0 / (X1 - X0);
                const double dv = 1.0 / (Y1 - Y0);
                for (int py = py0; py < py1; ++py)
                    for (int px = px0; px < px1; ++px)
                    {
                        Texel t{1, 1, 1, 1};
                        if (source != nullptr)
                            t = Echantillon(*source, (px + 0.5 - X0) * du, (py + 0.5 - Y0) * dv, du, dv);
                        uint8_t* d = image_.Pixel(px, py);
                        d[0] = Octet(t.R + d[0] / 255.0 * (1 - t.A));
                        d[1] = Octet(t.G + d[1] / 255.0 * (1 - t.A));
                        d[2] = Octet(t.B + d[2] / 255.0 * (1 - t.A));
                        d[3] = 255;
                    }
            }

            // A rectangle of output pixels, clipped.
            void Remplir(int x0, int y0, int x1, int y1, Couleur c)
            {
                x0 = std::max(x0, 0);
                y0 = std::max(y0, 0);
                x1 = std::min(x1, image_.Largeur);
                y1 = std::min(y1, image_.Hauteur);
                for (int y = y0; y < y1; ++y)
                    for (int x = x0; x < x1; ++x)
                        image_.Fixer(x, y, c.R, c.G, c.B, 255);
            }

            // The outline of the map rectangle, `epaisseur` output pixels wide, inside it.
            void Cadre(double x, double y, double largeur, double hauteur, int epaisseur, Couleur c)
            {
                const int x0 = static_cast<int>(std::floor(x * echelle_ + 0.5));
                const int y0 = static_cast<int>(std::floor(y * echelle_ + 0.5));
                const int x1 = static_cast<int>(std::floor((x + largeur) * echelle_ + 0.5));
                const int y1 = static_cast<int>(std::floor((y + hauteur) * echelle_ + 0.5));
                Remplir(x0, y0, x1, y0 + epaisseur, c);
                Remplir(x0, y1 - epaisseur, x1, y1, c);
                Remplir(x0, y0, x0 + epaisseur, y1, c);
                Remplir(x1 - epaisseur, y0, x1, y1, c);
            }

            double Echelle() const { return echelle_; }

        private:
            ImageRGBA& image_;
            double echelle_;
        };

        void Marquer(Toile& toile)
        {
            const double echelle = toile.Echelle();
            const double t = CMap::TailleCase;
            // The start cell, outlined when it lies in the grid.
            const int epaisseur = std::max(2, static_cast<int>(std::lround(3 * echelle)));
            if (Map.PosDebutX >= 1 && Map.PosDebutX <= LargeurEffective() && Map.PosDebutY >= 1 &&
                Map.PosDebutY <= HauteurEffective())
                toile.Cadre((Map.PosDebutX - 1) * t, (Map.PosDebutY - 1) * t, t, t, epaisseur, CouleurDepart);
            // Each bonus: a small square with a dark rim in the top-left corner
            // of its cell, where the character's corner must come to take it.
            const int cote = std::max(4, static_cast<int>(std::lround(10 * echelle)));
            for (const CMap::CBonus& b : Map.ListeBonus)
            {
                const int x = static_cast<int>(std::floor(b.CaseX * t * echelle + 0.5)) + 1;
                const int y = static_cast<int>(std::floor(b.CaseY * t * echelle + 0.5)) + 1;
                toile.Remplir(x, y, x + cote, y + cote, Couleur{0, 0, 0});
                toile.Remplir(x + 1, y + 1, x + cote - 1, y + cote - 1,
                              b.Type <= 4 ? CouleurBonusVie : CouleurBonusMana);
            }
        }
    }

    bool EchelleVignette(int largeur, int hauteur, int cote, double& echelle, std::string& erreur)
    {
        char tampon[160];
        if (cote < 1 || cote > VignetteMax)
        {
            std::snprintf(tampon, sizeof tampon, "a thumbnail is 1 to %d pixels a side", VignetteMax);
            erreur = tampon;
            return false;
        }
        if (static_cast<long long>(largeur) * hauteur > CasesVignetteMax)
        {
            std::snprintf(tampon, sizeof tampon, "%d by %d cells: too many for a thumbnail (at most %lld)", largeur,
                          hauteur, CasesVignetteMax);
            erreur = tampon;
            return false;
        }
        // The longer side takes the asked size; the picture's size is rounded
        // up from the scale, hence the margin below a whole pixel.
        echelle = (cote - 1e-6) / (static_cast<double>(std::max(largeur, hauteur)) * CMap::TailleCase);
        return true;
    }

    ResultatRendu Rendre(const TexteCarte& texte, const OptionsRendu& options, ImageRGBA& image)
    {
        ResultatRendu resultat;
        try
        {
            ContexteJeu contexte;
            ContexteJeu::ChargerNiveau(texte.Contenu);
            const int largeur = LargeurEffective();
            const int hauteur = HauteurEffective();
            if (largeur == 0 || hauteur == 0)
            {
                resultat.Erreur = "the level has no cell (check it with: corvella-carte check)";
                return resultat;
            }
            double echelle = options.Echelle;
            if (options.Vignette > 0 && !EchelleVignette(largeur, hauteur, options.Vignette, echelle, resultat.Erreur))
                return resultat;
            if (!(echelle > 0.0) || echelle > 16.0)
            {
                resultat.Erreur = "the scale must be above 0 and at most 16";
                return resultat;
            }
            const double cote = CMap::TailleCase * echelle;
            const long long l = std::max(1LL, static_cast<long long>(std::ceil(largeur * cote - 1e-9)));
            const long long h = std::max(1LL, static_cast<long long>(std::ceil(hauteur * cote - 1e-9)));
            if (l > CoteRenduMax || h > CoteRenduMax || l * h > PixelsRenduMax)
            {
                char tampon[160];
                std::snprintf(tampon, sizeof tampon,
                              "the picture would be %lld by %lld pixels: too large, use a smaller --scale", l, h);
                resultat.Erreur = tampon;
                return resultat;
            }

            ImageRGBA toileImage(static_cast<int>(l), static_cast<int>(h));
            for (int y = 0; y < toileImage.Hauteur; ++y)
                for (int x = 0; x < toileImage.Largeur; ++x)
                    toileImage.Fixer(x, y, CouleurCiel.R, CouleurCiel.G, CouleurCiel.B, 255);
            Toile toile(toileImage, echelle);
            Images images(options.Images, resultat);
            const double t = CMap::TailleCase;

            // Tiles, column by column, row by row: codes above 1.
            const ImageRGBA* imagesTuiles[CMap::NbCodes] = {};
            bool luesTuiles[CMap::NbCodes] = {};
            for (int c = 0; c < largeur; ++c)
                for (int r = 0; r < hauteur; ++r)
                {
                    const int code = Map.CodeCase(c, r);
                    if (code <= 1 || code >= CMap::NbCodes)
                        continue;
                    if (!luesTuiles[code])
                    {
                        if (const char* chemin = CheminImageCase(code))
                            imagesTuiles[code] = images.Lire(SousImages(chemin));
                        luesTuiles[code] = true;
                    }
                    toile.Dessiner(imagesTuiles[code], c * t, r * t, t, t);
                }

            // Bonuses over the tiles, in list order, at animation frame 0.
            for (const CMap::CBonus& b : Map.ListeBonus)
            {
                if (b.Type < 1 || b.Type > CMap::NbTypesBonus)
                    continue;
                toile.Dessiner(images.Lire(PremiereImageBonus(b.Type)), b.CaseX * t, b.CaseY * t, t, t);
            }

            // The number of bonuses left, in the game's font, white.
            const std::string compteur = std::to_string(Map.ListeBonus.size());
            for (size_t i = 0; i < compteur.size(); ++i)
            {
                const std::string glyphe = std::string("Fontes/Standard/") + compteur[i] + ".png";
                toile.Dessiner(images.Lire(glyphe), PositionCompteur + TailleChiffre * static_cast<double>(i),
                               PositionCompteur, TailleChiffre, TailleChiffre);
            }

            if (options.Marques)
                Marquer(toile);
            image = std::move(toileImage);
            resultat.Reussi = true;
        }
        catch (const std::exception&)
        {
            resultat.Reussi = false;
            resultat.Erreur = "out of memory";
        }
        return resultat;
    }
}
