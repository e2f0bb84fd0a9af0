#pragma once
// Small hand-made levels for the character's tests, written as text: one
// string per tile row, one character per tile column.
//   '.' empty   '#' grass   '~' water   '/' slope rising to the right (23)
//   '\' slope falling to the right (21)   'D' the start cell (empty)
#include <gtest/gtest.h>

#include "main/Globales.h"
#include "outils/Horloge.h"

#include <string>
#include <vector>

namespace EssaisPerso
{

inline void ConstruireNiveau(const std::vector<std::string>& lignes)
{
    Map.Hauteur = static_cast<int>(lignes.size());
    Map.Largeur = lignes.empty() ? 0 : static_cast<int>(lignes[0].size());
    Map.Cases.assign(static_cast<size_t>(Map.Largeur),
                     std::vector<signed char>(static_cast<size_t>(Map.Hauteur), 1));
    Map.ListeBonus.clear();
    Map.PosDebutX = 1;
    Map.PosDebutY = 1;
    for (int ligne = 0; ligne < Map.Hauteur; ++ligne)
        for (int colonne = 0; colonne < Map.Largeur; ++colonne)
        {
            signed char code = 1;
            switch (lignes[static_cast<size_t>(ligne)][static_cast<size_t>(colonne)])
            {
            case '#':
                code = 2;
                break;
            case '~':
                code = 3;
                break;
            case '/':
                code = 23;
                break;
            case '\\':
                code = 21;
                break;
            case 'D':
                Map.PosDebutX = colonne + 1;
                Map.PosDebutY = ligne + 1;
                break;
            default:
                break;
            }
            Map.Cases[static_cast<size_t>(colonne)][static_cast<size_t>(ligne)] = code;
        }
}

// Every test starts from a frozen clock, an empty level, no pause and no fade,
// and leaves them so.
class NiveauPerso : public ::testing::Test
{
protected:
    static constexpr Uint32 Debut = 1000000;

    void SetUp() override
    {
        Horloge::FixerTemps(Debut);
        Nettoyer();
    }
    void TearDown() override
    {
        Nettoyer();
        Horloge::TempsReel();
    }
    static void Nettoyer()
    {
        Map.Cases.clear();
        Map.Largeur = 0;
        Map.Hauteur = 0;
        Map.ListeBonus.clear();
        Map.PosDebutX = 0;
        Map.PosDebutY = 0;
        JeuEnPause = false;
        Moteur.FonduActif = false;
        Personnages.clear();
    }

    // One movement step 5 ms after the previous one.
    static void Pas(CPerso& p, int n = 1)
    {
        for (int i = 0; i < n; ++i)
        {
            Horloge::AvancerTemps(5);
            p.CalcDepl();
        }
    }

    // Everything one frame does but the drawing.
    static void Cadre(CPerso& p)
    {
        p.AvanceDepl();
        p.AvanceAnim();
        p.PrendBonus();
        p.VerifieMort();
        p.VerifieRetour();
    }
};

} // namespace EssaisPerso
