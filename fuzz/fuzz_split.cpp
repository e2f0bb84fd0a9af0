// Fuzz target: Split under any text and separator.
#include "CibleSplit.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* donnees, size_t taille)
{
    if (const char* faute = Fuzz::ExerceSplit(donnees, taille))
    {
        std::fprintf(stderr, "Split: %s\n", faute);
        std::abort();
    }
    return 0;
}
