// The character record: construction, keys, placement, getters and sprites.
#include "Perso.h"

#include "../main/Globales.h"
#include "../outils/Horloge.h"

#include <cstdio>
#include <cstring>

CPerso::CPerso()
    : PosX(0), PosY(0), Etat(Immobile), DebutAnim(Horloge::Ticks()), DernierDepl(0),
      Textures{}, VersDroite(false), Touches{false, false, false, false},
      VitesseX(0.0), VitesseY(0.0), ProchainSaut(Horloge::Ticks()), DebutChute(0),
      Vie(1000), VieMax(1000), Mana(1000), ManaMax(1000)
{
}

CPerso::~CPerso()
{
}

void CPerso::ModifTouche(int touche, bool appuye)
{
    // Only the four arrow keys exist; any other index is ignored.
    if (touche < 0 || touche > 3)
        return;
    Touches[touche] = appuye;
}

void CPerso::ModifPos(int x, int y)
{
    PosX = x;
    PosY = y;
    DebutChute = y;
    DernierDepl = Horloge::Ticks() - 10;
}

int CPerso::ReturnPosX()
{
    return PosX;
}

int CPerso::ReturnPosY()
{
    return PosY;
}

int CPerso::ReturnVie()
{
    return Vie;
}

int CPerso::ReturnVieMax()
{
    return VieMax;
}

int CPerso::ReturnMana()
{
    return Mana;
}

int CPerso::ReturnManaMax()
{
    return ManaMax;
}

void CPerso::LoadTexPerso(const char* dossier)
{
    static const char* const Animations[4] = {"immobile", "marche", "saut", "accrocher"};
    // A folder name too long for the game's paths (more than 62 characters)
    // is refused: no texture is registered and the frames stay as they were.
    if (dossier == nullptr || std::strlen(dossier) > 62)
        return;
    for (int animation = 0; animation < 4; ++animation)
    {
        for (int n = 1; n <= 10; ++n)
        {
            char chemin[100];
            std::snprintf(chemin, sizeof chemin, "./Images/Personnages/%s/%s%d.png",
                          dossier, Animations[animation], n);
            Textures[10 * animation + n - 1] =
                static_cast<unsigned int>(Moteur.NouvelleTexture(chemin));
        }
    }
}
