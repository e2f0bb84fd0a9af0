#pragma once
// The map loader under any bytes: the text becomes a fresh level in the global
// Map, every tile query is asked over and around its grid and checked against
// the tile table, bonuses are taken, and a character placed at the start runs
// a few hundred movement steps with keys taken from the same bytes, the clock
// frozen. Shared by the fuzz target and the regression test, which replays the
// seeds and every input that ever failed.
//
// Returns null when everything held, otherwise what went wrong.
#include "main/Globales.h"
#include "outils/Horloge.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

namespace Fuzz
{
    // What a tile code answers, straight from the tile table.
    inline bool AccesAttendu(int code, int rx, int ry)
    {
        switch (code)
        {
        case 1:
        case 3:
            return true;
        case 8:
        case 21:
            return ry < rx;
        case 9:
        case 23:
            return ry < 64 - rx;
        default:
            return false; // 0, the other tiles, and no cell at all (-1)
        }
    }

    inline bool CodeValide(int code)
    {
        return code >= 0 && code <= 33 && code != 4; // no character makes the wall
    }

    // Sample positions along one axis of a grid of `n` tiles: everything
    // within three tiles of both edges, about 12 tiles spread between them, and
    // the extremes of int.
    inline std::vector<long long> Echantillons(long long n)
    {
        std::set<long long> cases;
        for (long long c = -3; c <= 2; ++c)
        {
            cases.insert(c);
            cases.insert(n + c);
        }
        const long long pas = n / 12 + 1;
        for (long long c = 0; c < n; c += pas)
            cases.insert(c);
        std::vector<long long> pixels;
        for (long long c : cases)
            for (long long d : {0LL, 1LL, 31LL, 62LL, 63LL})
            {
                const long long p = c * 64 + d;
                if (p >= INT_MIN && p <= INT_MAX)
                    pixels.push_back(p);
            }
        for (long long p : {static_cast<long long>(INT_MIN), static_cast<long long>(INT_MIN) + 63,
                            -1LL, static_cast<long long>(INT_MAX) - 63, static_cast<long long>(INT_MAX)})
            pixels.push_back(p);
        return pixels;
    }

    inline const char* VerifierPixel(int x, int y)
    {
        const div_t dx = std::div(x, 64);
        const div_t dy = std::div(y, 64);
        // The cell the pixel falls in, read from the grid itself.
        int attendu = -1;
        if (dx.quot >= 0 && dy.quot >= 0 && static_cast<size_t>(dx.quot) < Map.Cases.size() &&
            static_cast<size_t>(dy.quot) < Map.Cases[static_cast<size_t>(dx.quot)].size())
            attendu = Map.Cases[static_cast<size_t>(dx.quot)][static_cast<size_t>(dy.quot)];
        const int code = Map.CodeCase(dx.quot, dy.quot);
        if (code != attendu)
            return "CodeCase does not give the grid's cell (or -1 outside it)";
        if (code != -1 && !CodeValide(code))
            return "a cell holds a code that no map character gives";
        if (Map.AutAcces(x, y) != AccesAttendu(code, dx.rem, dy.rem))
            return "AutAcces disagrees with the tile table";
        if (Map.DiedAcces(x, y) != (code == 3))
            return "DiedAcces disagrees with the tile table";
        return nullptr;
    }

    inline const char* VerifierPerso(const CPerso& p)
    {
        if (p.Etat < CPerso::Immobile || p.Etat > CPerso::Mort)
            return "the character ended a step in an unknown state (or let go)";
        if (p.Vie < 0 || p.Vie > p.VieMax || p.Mana < 0 || p.Mana > p.ManaMax)
            return "life or mana out of its range";
        if (!std::isfinite(p.VitesseX) || !std::isfinite(p.VitesseY))
            return "a speed is not a finite number";
        return nullptr;
    }

    inline const char* ExerceCarte(const uint8_t* donnees, size_t taille)
    {
        const std::string contenu(reinterpret_cast<const char*>(donnees), taille);
        Horloge::FixerTemps(1000000);
        Map = CMap();
        Map.AnalyseContenu(contenu);

        // The grid: as many columns as the width says when a grid was made,
        // every column as tall as the others, only known codes.
        const size_t colonnes = Map.Cases.size();
        const size_t lignes = colonnes > 0 ? Map.Cases[0].size() : 0;
        for (const std::vector<signed char>& colonne : Map.Cases)
        {
            if (colonne.size() != lignes)
                return "the grid's columns differ in height";
            for (signed char code : colonne)
                if (!CodeValide(code))
                    return "a cell holds a code that no map character gives";
        }
        for (const CMap::CBonus& b : Map.ListeBonus)
            if (b.Type < 1 || b.Type > 8 || b.CaseX < 0 || b.CaseY < 0)
                return "a bonus of no known type or at a negative cell";

        // Every query over and around the grid, and around the dimensions the
        // map claims (which may be larger than the grid it holds).
        const long long largeur = std::max<long long>(static_cast<long long>(colonnes), Map.Largeur);
        const long long hauteur = std::max<long long>(static_cast<long long>(lignes), Map.Hauteur);
        const std::vector<long long> xs = Echantillons(largeur);
        const std::vector<long long> ys = Echantillons(hauteur);
        for (long long x : xs)
            for (long long y : ys)
                if (const char* faute = VerifierPixel(static_cast<int>(x), static_cast<int>(y)))
                    return faute;
        // A character from the start cell, keys from the bytes: bits 0 to 3
        // of one byte are up, down, left, right, held for 16 steps (80 ms).
        CPerso perso;
        perso.ModifPos(Map.ReturnPosDebutX(), Map.ReturnPosDebutY());
        for (int pas = 0; pas < 600; ++pas)
        {
            const uint8_t touches = taille > 0 ? donnees[(static_cast<size_t>(pas) / 16) % taille] : 0;
            for (int k = 0; k < 4; ++k)
                perso.ModifTouche(k, (touches >> k) & 1);
            // A dead character waits for its return: time goes faster then.
            Horloge::AvancerTemps(perso.Etat == CPerso::Mort ? 100 : 5);
            if (perso.Etat != CPerso::Mort)
                perso.CalcDepl();
            if (const char* faute = VerifierPerso(perso))
                return faute;
            perso.PrendBonus();
            perso.VerifieMort();
            perso.VerifieRetour();
            if (const char* faute = VerifierPerso(perso))
                return faute;
        }

        // Bonuses: a pixel of each sampled tile takes the first bonus of the
        // list that lies on that tile, and only that one.
        for (size_t i = 0; i < xs.size(); i += 3)
            for (size_t j = 0; j < ys.size(); j += 3)
            {
                const int x = static_cast<int>(xs[i]);
                const int y = static_cast<int>(ys[j]);
                const int colonne = std::div(x, 64).quot;
                const int ligne = std::div(y, 64).quot;
                int attendu = 0;
                for (const CMap::CBonus& b : Map.ListeBonus)
                    if (b.CaseX == colonne && b.CaseY == ligne)
                    {
                        attendu = b.Type;
                        break;
                    }
                const size_t avant = Map.ListeBonus.size();
                if (Map.ReturnBonus(x, y) != attendu)
                    return "ReturnBonus did not give the first bonus of the tile";
                if (Map.ListeBonus.size() != avant - (attendu != 0 ? 1 : 0))
                    return "ReturnBonus removed the wrong number of bonuses";
            }
        // Then every bonus still there, in list order, from its own tile.
        while (!Map.ListeBonus.empty())
        {
            const CMap::CBonus b = Map.ListeBonus.front();
            if (b.CaseX > INT_MAX / 64 || b.CaseY > INT_MAX / 64)
                return "a bonus lies where no pixel can reach it";
            if (Map.ReturnBonus(b.CaseX * 64 + 63, b.CaseY * 64) != b.Type)
                return "a bonus was not found on its own tile";
        }

        Map = CMap();
        return nullptr;
    }
}
