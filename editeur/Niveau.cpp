#include "Niveau.h"

#include "carte/Verification.h"
#include "map/Map.h"

namespace Edition
{
    Niveau NouveauNiveau(int largeur, int hauteur)
    {
        Niveau n;
        n.Largeur = largeur < 3 ? 3 : largeur;
        n.Hauteur = hauteur < 4 ? 4 : hauteur;
        n.Cases.assign(static_cast<size_t>(n.Largeur) * static_cast<size_t>(n.Hauteur), ' ');
        for (int c = 0; c < n.Largeur; ++c)
        {
            n.Cases[n.Indice(c, 0)] = 'b';
            n.Cases[n.Indice(c, n.Hauteur - 2)] = 'B';
            n.Cases[n.Indice(c, n.Hauteur - 1)] = 'b';
        }
        for (int l = 1; l < n.Hauteur - 2; ++l)
        {
            n.Cases[n.Indice(0, l)] = 'm';
            n.Cases[n.Indice(n.Largeur - 1, l)] = 'M';
        }
        n.DebutX = 2;
        n.DebutY = n.Hauteur - 2;
        return n;
    }

    int CodeDeCase(char caractere)
    {
        return caractere == CaseNonDefinie ? 0 : CodeCaractere(caractere);
    }

    int BonusDeCase(char caractere)
    {
        return caractere >= '1' && caractere <= '8' ? caractere - '0' : 0;
    }

    char CaractereDeCode(int code)
    {
        static const std::vector<char> Table = []
        {
            std::vector<char> table(CMap::NbCodes, CaseNonDefinie);
            for (int c = 0; c < 256; ++c)
            {
                const char caractere = static_cast<char>(c);
                if (BonusDeCase(caractere) != 0)
                    continue;
                const int k = CodeCaractere(caractere);
                if (k > 0 && k < CMap::NbCodes && table[static_cast<size_t>(k)] == CaseNonDefinie)
                    table[static_cast<size_t>(k)] = caractere;
            }
            return table;
        }();
        if (code < 0 || code >= CMap::NbCodes)
            return CaseNonDefinie;
        return Table[static_cast<size_t>(code)];
    }

    std::string NomDeCase(char caractere)
    {
        const int bonus = BonusDeCase(caractere);
        if (bonus != 0)
            return OutilCarte::NomBonus(bonus) + " bonus";
        return OutilCarte::NomTuile(CodeDeCase(caractere));
    }

    const std::vector<EntreePalette>& Palette()
    {
        static const std::vector<EntreePalette> Entrees = []
        {
            std::vector<EntreePalette> entrees;
            for (int code = 1; code < CMap::NbCodes; ++code)
            {
                EntreePalette e;
                e.Caractere = CaractereDeCode(code);
                e.Utilisable = e.Caractere != CaseNonDefinie;
                e.Nom = OutilCarte::NomTuile(code);
                entrees.push_back(e);
            }
            for (int type = 1; type <= CMap::NbTypesBonus; ++type)
            {
                EntreePalette e;
                e.Caractere = static_cast<char>('0' + type);
                e.Nom = NomDeCase(e.Caractere);
                entrees.push_back(e);
            }
            EntreePalette depart;
            depart.Depart = true;
            depart.Nom = "start cell";
            entrees.push_back(depart);
            return entrees;
        }();
        return Entrees;
    }

    const std::vector<DescriptionOutil>& Outils()
    {
        static const std::vector<DescriptionOutil> Table = {
            {Outil::Crayon, 'p', "pencil", "paint cells, a drag is one stroke"},
            {Outil::Rectangle, 'r', "rectangle", "drag to fill a rectangle"},
            {Outil::Remplissage, 'f', "fill", "flood the connected cells of the same kind"},
            {Outil::Remplacement, 'a', "replace all", "replace every cell of the clicked kind"},
            {Outil::Gomme, 'e', "erase", "paint empty cells"},
            {Outil::Depart, 's', "start", "move the start cell"},
            {Outil::Autotuilage, 'u', "autotile", "paint ground, sand, wall, water or empty with the tiles that fit; u again: next material"},
        };
        return Table;
    }

    const DescriptionOutil& DescriptionDe(Outil outil)
    {
        for (const DescriptionOutil& d : Outils())
            if (d.Id == outil)
                return d;
        return Outils().front();
    }
}
