#pragma once
// The program-lifetime objects of the game, defined beside the entry point.
#include "../interface/Interface.h"
#include "../map/Map.h"
#include "../moteur/Moteur.h"
#include "../perso/Perso.h"

#include <vector>

extern bool continuer;
extern int nbRender;
extern bool JeuEnPause;
extern CMoteur Moteur;
extern CMap Map;
extern std::vector<CPerso> Personnages;
extern CInterface Interface;
extern int FonteStandard;
extern unsigned int ImgArrierePlan;
extern unsigned int ImgMotifArrierePlan;
extern int PersoPrincipal;

int SDL_main(int argc, char* argv[]);
// Everything the start-up loads once the window is open: the font, the
// backgrounds, the tile set, the level and its player, the HUD.
void ChargeJeu();
int BoucleRenderIntro();
int BoucleRenderMenu();
int BoucleRenderJeu();
