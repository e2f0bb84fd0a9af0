#include "Fenetre.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace Edition
{
    PlaceFenetre PlacerFenetre(const Zone& bureau, const Cadre& cadre, int largeur, int hauteur)
    {
        // The most the window may take: the desktop, less the frame and a margin.
        const int maxL = std::max(1, bureau.Largeur - cadre.Gauche - cadre.Droite - 2 * MargeBureau);
        const int maxH = std::max(1, bureau.Hauteur - cadre.Haut - cadre.Bas - 2 * MargeBureau);
        PlaceFenetre p;
        p.Largeur = largeur > 0 ? std::min(std::max(largeur, std::min(LargeurMinimale, maxL)), maxL) : maxL;
        p.Hauteur = hauteur > 0 ? std::min(std::max(hauteur, std::min(HauteurMinimale, maxH)), maxH) : maxH;
        p.X = bureau.X + (bureau.Largeur - (p.Largeur + cadre.Gauche + cadre.Droite)) / 2;
        p.Y = bureau.Y + (bureau.Hauteur - (p.Hauteur + cadre.Haut + cadre.Bas)) / 2;
        return p;
    }

    std::string CheminTailleFenetre()
    {
        const char* config = std::getenv("XDG_CONFIG_HOME");
        if (config != nullptr && config[0] == '/')
            return std::string(config) + "/corvella/editeur-fenetre";
        const char* maison = std::getenv("HOME");
        if (maison != nullptr && maison[0] != '\0')
            return std::string(maison) + "/.config/corvella/editeur-fenetre";
        return "";
    }

    bool LireTailleFenetre(const std::string& chemin, int& largeur, int& hauteur)
    {
        if (chemin.empty())
            return false;
        std::ifstream f(chemin);
        std::string ligne;
        if (!f || !std::getline(f, ligne) || ligne.size() > 32)
            return false;
        std::istringstream lecture(ligne);
        long l = 0, h = 0;
        std::string reste;
        if (!(lecture >> l >> h) || (lecture >> reste))
            return false;
        // A window larger than any screen, or too small to hold the palette: not a size the designer left.
        if (l < 320 || h < 240 || l > 16384 || h > 16384)
            return false;
        largeur = static_cast<int>(l);
        hauteur = static_cast<int>(h);
        return true;
    }

    bool EcrireTailleFenetre(const std::string& chemin, int largeur, int hauteur)
    {
        if (chemin.empty())
            return false;
        std::error_code erreur;
        std::filesystem::create_directories(std::filesystem::path(chemin).parent_path(), erreur);
        std::ofstream f(chemin, std::ios::trunc);
        f << largeur << ' ' << hauteur << '\n';
        f.close();
        return static_cast<bool>(f);
    }
}
