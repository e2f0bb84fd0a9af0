#include "Aide.h"

#include "main/Globales.h"

#include <SDL_opengl.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

bool OuvrirFenetre()
{
    static int etat = 0; // 0 not tried, 1 open, -1 failed
    if (etat == 0)
    {
        if (std::getenv("DISPLAY") == nullptr)
            etat = -1;
        else
            etat = Moteur.Init(false, "Corvella tests") > 0 ? 1 : -1;
    }
    if (etat > 0)
    {
        glReadBuffer(GL_BACK);
        glDrawBuffer(GL_BACK);
    }
    return etat > 0;
}

Rgba LirePixel(int x, int y)
{
    unsigned char p[4] = {0, 0, 0, 0};
    glFinish();
    const int hauteur = Moteur.Ecran ? Moteur.Ecran->h : 600;
    glReadPixels(x, hauteur - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return Rgba{p[0], p[1], p[2], p[3]};
}

void Effacer(float r, float g, float b)
{
    glClearColor(r, g, b, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(1, 1, 0, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

DossierTemporaire::DossierTemporaire()
{
    char modele[] = "/tmp/corvella-test-XXXXXX";
    const char* c = mkdtemp(modele);
    chemin_ = c ? c : "/tmp";
}

DossierTemporaire::~DossierTemporaire()
{
    std::error_code erreur;
    if (chemin_ != "/tmp")
        std::filesystem::remove_all(chemin_, erreur);
}

DansDossier::DansDossier(const std::string& chemin)
{
    avant_ = std::filesystem::current_path().string();
    std::filesystem::current_path(chemin);
}

DansDossier::~DansDossier()
{
    std::error_code erreur;
    std::filesystem::current_path(avant_, erreur);
}

void CreerDossiers(const std::string& chemin)
{
    std::error_code erreur;
    std::filesystem::create_directories(chemin, erreur);
}

void EcrireFichier(const std::string& chemin, const std::string& contenu)
{
    const std::filesystem::path p(chemin);
    if (p.has_parent_path())
        CreerDossiers(p.parent_path().string());
    std::ofstream f(chemin, std::ios::binary);
    f << contenu;
}

std::string LireTexte(const std::string& chemin)
{
    std::ifstream f(chemin, std::ios::binary);
    std::ostringstream contenu;
    contenu << f.rdbuf();
    return contenu.str();
}

ImageRGBA ImageUnie(int largeur, int hauteur, uint8_t r, uint8_t g, uint8_t b, uint8_t a)
{
    ImageRGBA image(largeur, hauteur);
    for (int y = 0; y < hauteur; ++y)
        for (int x = 0; x < largeur; ++x)
            image.Fixer(x, y, r, g, b, a);
    return image;
}
