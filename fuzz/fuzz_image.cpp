// Fuzz target: any bytes as an image file, up to the texture upload.
#include "CibleImage.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* donnees, size_t taille)
{
    if (const char* faute = Fuzz::ExerceImage(donnees, taille))
    {
        std::fprintf(stderr, "image loading: %s\n", faute);
        std::abort();
    }
    return 0;
}
