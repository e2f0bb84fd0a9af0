// Fuzz target: any bytes as the text of a map file.
#include "CibleCarte.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* donnees, size_t taille)
{
    if (const char* faute = Fuzz::ExerceCarte(donnees, taille))
    {
        std::fprintf(stderr, "map loader: %s\n", faute);
        std::abort();
    }
    return 0;
}
