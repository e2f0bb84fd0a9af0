// The live check's second WebAssembly instance, run by the editor's page in a
// Web Worker (page/analyse.js): the game's loader and movement step on this
// instance's own globals, so the editor's frames never wait for it. The
// report goes back as the desktop's child process sends it (EcrireRapport).
#include "analyse/AnalyseVivante.h"
#include "analyse/Verification.h"

#include <emscripten.h>
#include <string>

static std::string Rapport;

// The options the editor sets: the search's bounds and the route asked for
// (0 none, 1 the route that clears the level, 2 the route to the cell).
extern "C" EMSCRIPTEN_KEEPALIVE const char* CorvellaAnalyser(const char* texte, int longueur, int atteignabilite,
                                                             double etatsMax, double secondesMax, int route,
                                                             int colonne, int ligne)
{
    AnalyseCarte::OptionsVerification options;
    using RouteVoulue = AnalyseCarte::OptionsVerification::RouteVoulue;
    options.Atteignabilite = atteignabilite != 0;
    if (etatsMax >= 1 && etatsMax <= 1e9)
        options.Atteinte.EtatsMax = static_cast<size_t>(etatsMax);
    if (secondesMax > 0 && secondesMax <= 3600)
        options.Atteinte.SecondesMax = secondesMax;
    options.Route = route == 1 ? RouteVoulue::Nettoyage : route == 2 ? RouteVoulue::VersCase : RouteVoulue::Aucune;
    options.RouteColonne = colonne;
    options.RouteLigne = ligne;
    Rapport = AnalyseCarte::EcrireRapport(
        AnalyseCarte::AnalyserTexte(std::string(texte, static_cast<size_t>(longueur)), options));
    return Rapport.data();
}

extern "C" EMSCRIPTEN_KEEPALIVE int CorvellaLongueurRapport()
{
    return static_cast<int>(Rapport.size());
}

int main()
{
    return 0;
}
