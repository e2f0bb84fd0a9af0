// corvella-relecture FILE OUT: a level file as the desktop editor reads it
// and writes it, for the editor page's test that a downloaded file says the
// same on the desktop. Prints the level read (size, start, the cells' file
// characters in hexadecimal) as one JSON line, the same as the page's
// CorvellaEditeurNiveau() gives for the level on its screen, and writes
// to OUT the bytes the desktop editor saves for it.
#include "editeur/Fichier.h"

#include <cstdio>
#include <fstream>

int main(int argc, char* argv[])
{
    if (argc != 3)
    {
        std::fputs("usage: corvella-relecture FILE OUT\n", stderr);
        return 2;
    }
    const Edition::Ouverture o = Edition::OuvrirCarte(argv[1]);
    if (!o.Reussi || o.Nouveau)
    {
        std::fprintf(stderr, "corvella-relecture: %s\n", o.Nouveau ? "no such file" : o.Erreur.c_str());
        return 2;
    }
    const Edition::Niveau& n = o.Carte;
    std::printf("{\"largeur\": %d, \"hauteur\": %d, \"debut\": [%d, %d], \"cases\": \"", n.Largeur, n.Hauteur,
                n.DebutX, n.DebutY);
    for (const char c : n.Cases)
        std::printf("%02x", static_cast<unsigned char>(c));
    std::printf("\"}\n");
    std::ofstream sortie(argv[2], std::ios::binary);
    sortie << Edition::EcrireCarte(n, o.Format);
    return sortie.good() ? 0 : 1;
}
