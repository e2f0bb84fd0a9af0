// The live check's second WebAssembly instance, run by the editor's page in a
// Web Worker (page/analyse.js): the game's loader and movement step on this
// instance's own globals, so the editor's frames never wait for it. The
// report goes back as the desktop's child process sends it (EcrireRapport).
#include "analyse/AnalyseVivante.h"
#include "analyse/Verification.h"

#include <emscripten.h>
#include <string>

static std::string Rapport;

extern "C" EMSCRIPTEN_KEEPALIVE const char* CorvellaAnalyser(const char* texte, int longueur)
{
    Rapport = AnalyseCarte::EcrireRapport(
        AnalyseCarte::AnalyserTexte(std::string(texte, static_cast<size_t>(longueur)),
                                    AnalyseCarte::OptionsVerification()));
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
