#include "Fondu.h"

#include <cstdint>

CouleurFondu CalculeFondu(Uint32 debut, Uint32 fin, Uint32 maintenant,
                          const unsigned char couleurFin[4], const unsigned char couleurDebut[4])
{
    // Colours are stored blue, green, red, alpha.
    const int64_t e = static_cast<int64_t>(maintenant - debut); // elapsed
    const int64_t r = static_cast<int64_t>(fin - maintenant);   // remaining
    const int64_t t = e + r;

    CouleurFondu c;
    if (t == 0)
    {
        // A fade of no length has already reached its end colour.
        c.Bleu = couleurFin[0];
        c.Vert = couleurFin[1];
        c.Rouge = couleurFin[2];
        c.Alpha = couleurFin[3];
        return c;
    }
    // Weighted means with truncating division. Green and blue are the sum of two
    // separately truncated quotients, red and alpha a single quotient; the
    // intermediate products are 64-bit so that long fades cannot overflow.
    c.Rouge = static_cast<unsigned char>((couleurFin[2] * e + couleurDebut[2] * r) / t);
    c.Vert = static_cast<unsigned char>(couleurFin[1] * e / t + couleurDebut[1] * r / t);
    c.Bleu = static_cast<unsigned char>(couleurFin[0] * e / t + couleurDebut[0] * r / t);
    c.Alpha = static_cast<unsigned char>((couleurFin[3] * e + couleurDebut[3] * r) / t);
    return c;
}

PhaseFondu PhaseDuFondu(Uint32 debut, Uint32 fin, Uint32 maintenant, bool tenir,
                        const unsigned char couleurFin[4])
{
    if (debut <= maintenant && maintenant <= fin)
        return PhaseFondu::Dessin;
    if (maintenant > fin)
        return tenir && couleurFin[3] != 0 ? PhaseFondu::Dessin : PhaseFondu::Fin;
    return PhaseFondu::Attente;
}

Uint32 DelaiPacing(Uint32 fps)
{
    if (fps > 100)
        return 5;
    if (fps > 80)
        return 4;
    if (fps > 60)
        return 3;
    return 2;
}
