#pragma once
// The reading of a map text behind the checks (Verification.cpp): one pass
// along the loader's own rules that knows where in the file each section,
// key, row and cell comes from, then the checks of the level as loaded. The
// text's part is in VerificationTexte.cpp (line ends, sections, [Infos],
// [Map], what is missing), the grid's in VerificationGrille.cpp (the start,
// the edges, the bonuses, the reachability and its areas).
#include "Verification.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace AnalyseCarte
{
    namespace Interne
    {
        const char* const Cles[4] = {"Hauteur", "Largeur", "PosDebutX", "PosDebutY"};
        enum
        {
            CleHauteur = 0,
            CleLargeur = 1,
            CleDebutX = 2,
            CleDebutY = 3
        };
        const size_t Aucune = static_cast<size_t>(-1);
        const uint32_t AucuneOrigine = 0xFFFFFFFFu;

        inline std::string Format(const char* modele, long long a = 0, long long b = 0, long long c = 0,
                                  long long d = 0)
        {
            char tampon[256];
            std::snprintf(tampon, sizeof tampon, modele, a, b, c, d);
            return tampon;
        }

        inline bool Blanc(char c)
        {
            return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r';
        }

        bool ToutBlanc(const std::string& s, size_t a, size_t b);
        std::string Minuscules(std::string s);
        std::string SansBlancs(const std::string& s);
        // A value the way a person means it: blanks, an optional sign, digits,
        // blanks. Anything else is read by the game's atoi rule all the same.
        bool NombreNet(const std::string& s);

        // Where a set cell, a bonus, a key came from.
        struct BonusLu
        {
            int Colonne;
            int Ligne;
            int Type;
            uint32_t Decalage; // files are at most 16 MiB
        };

        // A row of a [Map] section that set cells: its characters from Debut
        // (offset in the text) are the cells of columns 0, 1, ... of row Ligne.
        struct RangeeLue
        {
            uint32_t Debut;
            uint32_t Fin; // the line's end
            int Ligne;
        };

        class Analyse
        {
        public:
            Analyse(const TexteCarte& texte, Rapport& rapport)
                : texte_(texte), s_(texte.Contenu), positions_(texte.Contenu), rapport_(rapport)
            {
            }

            void Lancer(const OptionsVerification& options);

        private:
            // ---------------------------------------------------------------
            // Findings

            bool Plein(Gravite niveau);
            void Ajouter(size_t decalage, const char* genre, const std::string& message,
                         Gravite niveau = Gravite::Avertissement);
            void AjouterFichier(const char* genre, const std::string& message,
                                Gravite niveau = Gravite::Avertissement);

            // The cell that the character at an offset sets, if it lies in a
            // row of the grid; for the end of a short row, the first cell it
            // leaves unset.
            void CaseDuTexte(size_t decalage, Constat& c) const;

            // Sets the cell of a finding (from 0) when it lies in the grid.
            void Case(int colonne, int ligne, Constat& c) const;

            // The finding just added, if any, concerns this cell (from 0).
            void SurCase(size_t avant, int colonne, int ligne);

            // The first `c` in [a, b), or b. Every search stays within its
            // section or line, so that no text is scanned more than a few times.
            size_t Chercher(char c, size_t a, size_t b) const;
            std::string Ligne(size_t decalage) const;

            // ---------------------------------------------------------------
            // Line ends

            void FinsDeLigne();

            // ---------------------------------------------------------------
            // Sections, as the loader cuts them

            void Sections();

            // Blanks after the last cell are harmless: not worth a finding.
            bool QueDesBlancs(size_t a, size_t b) const;
            bool ToutBlancOuLigne(size_t a, size_t b) const;
            void SectionInconnue(size_t ouvrant, const std::string& nom);
            void Repetee(size_t ouvrant, size_t& premiere, const char* nom, const char* effet);

            // ---------------------------------------------------------------
            // [Infos]

            void Infos(size_t ouvrant, size_t debut, size_t fin);
            void LigneInfos(size_t debut, size_t fin, int valeurs[4]);

            // ---------------------------------------------------------------
            // [Map]

            void Carte(size_t ouvrant, size_t debut, size_t fin);
            void Surplus(const std::vector<std::pair<size_t, size_t>>& lignes, size_t i, int hauteur);
            void Rangee(size_t a, size_t b, int rangee, int largeur);
            void PasDesTuiles(size_t debut, size_t nombre);

            // What becomes of cells a row does not set.
            std::string NonPose(bool plusieurs) const;
            void Poser(int colonne, int ligne, size_t decalage);

            // ---------------------------------------------------------------
            // What is missing altogether

            void Manques();

            // ---------------------------------------------------------------
            // The level as loaded

            size_t Origine(int colonne, int ligne) const;

            // A finding about a cell, at the character that set it, or else at
            // `repli`, or else about the whole file.
            void AjouterCase(int colonne, int ligne, size_t repli, const char* genre, const std::string& message);
            static bool Boite(int x, int y);
            static std::string Cellule(int colonne, int ligne);
            void Grille(const OptionsVerification& options);
            bool Depart();

            // True when a pixel of the cell's outer edge on that side is open.
            static bool OuvertVers(int colonne, int ligne, int cote);
            void Bords();
            void Bonus(std::vector<bool>& enfouis);
            void Atteinte(const OptionsVerification& options, const std::vector<bool>& enfouis);

            // Open cells joined side by side make areas; an area no reachable
            // state of the character ever overlapped is reported once.
            void Zones(const ResultatAtteinte& r, const std::vector<bool>& dejaDit);

            // ---------------------------------------------------------------

            const TexteCarte& texte_;
            const std::string& s_;
            Positions positions_;
            Rapport& rapport_;
            int largeur_ = 0; // the grid as loaded
            int hauteur_ = 0;
            std::vector<uint32_t> origines_; // offset in the text of the character that set each cell
            std::vector<BonusLu> bonus_;
            std::vector<RangeeLue> rangees_; // in text order
            std::vector<size_t> vus_;        // per bonus read, its entry in Rapport::Bonus, or Aucune

            // The numbers as the sections read so far left them.
            int hauteur_lu_ = 0;
            int largeur_lu_ = 0;
            int debutX_lu_ = 0;
            int debutY_lu_ = 0;
            bool infosLues_ = false;
            bool grilleFaite_ = false;
            bool premiereGrille_ = true;
            size_t premiereInfos_ = Aucune;
            size_t premiereCarte_ = Aucune;
            size_t derniereCle_[4] = {Aucune, Aucune, Aucune, Aucune}; // line of the last setting
            size_t valeurCle_[4] = {Aucune, Aucune, Aucune, Aucune};   // its value
        };
    }
}
