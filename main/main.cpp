// The game's entry point and its program-lifetime objects.
#include "Globales.h"

// Constructed in this order before the entry point runs, destroyed in reverse.
bool continuer = true;
int nbRender = 0;
bool JeuEnPause = false;
CMoteur Moteur;
CMap Map;
std::vector<CPerso> Personnages;
CInterface Interface;
int FonteStandard = 0;
unsigned int ImgArrierePlan = 0;
unsigned int ImgMotifArrierePlan = 0;
int PersoPrincipal = 0;

int BoucleRenderIntro()
{
    return 1;
}

int BoucleRenderMenu()
{
    return 3;
}

void ChargeJeu()
{
    FonteStandard = Moteur.NouvelleFonte("Standard");
    ImgArrierePlan = static_cast<unsigned int>(Moteur.NouvelleTexture("./Images/ArrierePlanMenu.png"));
    ImgMotifArrierePlan = static_cast<unsigned int>(Moteur.NouvelleTexture("./Images/MotifAP.png"));
    Map.LoadTextures();
    PersoPrincipal = Map.LoadMap("Map1.map");
    Personnages[PersoPrincipal].LoadTexPerso("Principal (copie)");
    Interface.LoadInterface();
}

int SDL_main(int /*argc*/, char* /*argv*/[])
{
    if (Moteur.Init(true, "Corvella") < 0)
        return -1;
    ChargeJeu();

    while (continuer)
    {
        switch (nbRender)
        {
        case 0:
            nbRender = BoucleRenderIntro();
            break;
        case 1:
            nbRender = BoucleRenderMenu();
            break;
        case 3:
            nbRender = BoucleRenderJeu();
            break;
        default:
            break;
        }
    }
    SDL_Quit();
    return 0;
}
