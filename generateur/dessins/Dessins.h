#pragma once
// The asset generator's drawings, one group a file. Each writes its PNG files
// below `racine` (the folder that will hold Images/), making the folders it needs,
// and returns false if a file could not be written.
#include <string>

bool DessinerFontes(const std::string& racine);      // Images/Fontes/Standard/*.png
bool DessinerFonds(const std::string& racine);       // Images/ArrierePlanMenu.png, Images/MotifAP.png
bool DessinerInterface(const std::string& racine);   // Images/Interface/*.png
bool DessinerTuiles(const std::string& racine);      // Images/Maps/*.png
bool DessinerBonus(const std::string& racine);       // Images/Bonus/*.png
bool DessinerPersonnages(const std::string& racine); // Images/Personnages/*/*.png
bool DessinerIcone(const std::string& racine);       // Icones/corvella-N.png (after the characters)

// Writes a picture at racine/relatif, making the folders on the way.
bool Ecrire(const std::string& racine, const std::string& relatif, const struct ImageRGBA& image);
