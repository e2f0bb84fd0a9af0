// Draws every image the game loads. Usage: corvella-generateur DIR
// (DIR receives Images/...). The drawings are deterministic: the same program
// always writes the same files.
#include "Png.h"
#include "dessins/Dessins.h"

#include <cstdio>
#include <filesystem>

bool Ecrire(const std::string& racine, const std::string& relatif, const ImageRGBA& image)
{
    const std::filesystem::path chemin = std::filesystem::path(racine) / relatif;
    std::error_code erreur;
    std::filesystem::create_directories(chemin.parent_path(), erreur);
    if (!EcrirePng(chemin.string(), image))
    {
        std::fprintf(stderr, "corvella-generateur: cannot write %s\n", chemin.string().c_str());
        return false;
    }
    return true;
}

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    const std::string racine = argv[1];
    bool ok = true;
    ok = DessinerFontes(racine) && ok;
    ok = DessinerFonds(racine) && ok;
    ok = DessinerInterface(racine) && ok;
    ok = DessinerTuiles(racine) && ok;
    ok = DessinerBonus(racine) && ok;
    ok = DessinerPersonnages(racine) && ok;
    ok = DessinerIcone(racine) && ok;
    return ok ? 0 : 1;
}
