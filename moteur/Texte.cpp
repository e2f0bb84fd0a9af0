// PLACEHOLDER: bitmap fonts are being built.
#include "Moteur.h"

int CMoteur::NouvelleFonte(const char*)
{
    Fontes.push_back(CTexte());
    return static_cast<int>(Fontes.size()) - 1;
}

void CMoteur::DessineTexte(int, const char*, int, int, int, unsigned char, unsigned char,
                           unsigned char, bool, unsigned char)
{
}

void CMoteur::DessineFPS()
{
}
