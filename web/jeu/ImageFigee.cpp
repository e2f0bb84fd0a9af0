#include "ImageFigee.h"

#include "../../main/BoucleJeu.h"
#include "../../main/Globales.h"
#include "../../outils/Horloge.h"

#include <SDL_opengl.h>

std::vector<std::uint8_t> ImageFigee(std::uint32_t temps, int largeur, int hauteur)
{
    Horloge::FixerTemps(temps);
    EtatPause pause = {0, temps};
    DessineScene(pause);
    Moteur.DessineFondu();
    std::vector<std::uint8_t> pixels(static_cast<size_t>(largeur) * hauteur * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glReadPixels(0, 0, largeur, hauteur, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}
