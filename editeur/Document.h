#pragma once
// The edit model: every change to the level goes through here and becomes one
// step of an unlimited undo history. A paint stroke (press, drag, release) is
// one step, as is a rectangle, a fill, a replace-all, a resize or a start move.
#include "Niveau.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Edition
{
    enum class Bord
    {
        Gauche,
        Droite,
        Haut,
        Bas
    };

    class Document
    {
    public:
        explicit Document(Niveau niveau = NouveauNiveau());

        const Niveau& Courant() const { return niveau_; }

        // A stroke: cells painted between DebutTrait and FinTrait undo as one.
        // Painting outside a stroke makes a step of its own.
        void DebutTrait();
        bool PeindreCase(int colonne, int ligne, char caractere);
        void FinTrait();
        bool TraitEnCours() const { return trait_ != nullptr; }

        // Each returns false, and adds no step, when it changes nothing.
        bool Rectangle(int colonne0, int ligne0, int colonne1, int ligne1, char caractere);
        // The cells of the same content joined to (colonne, ligne) by their sides.
        bool Remplir(int colonne, int ligne, char caractere);
        bool RemplacerTout(char ancien, char nouveau);
        // Column and row from 0; the start must lie in the grid.
        bool DeplacerDepart(int colonne, int ligne);
        // Adds (nombre > 0) or removes (nombre < 0) columns or rows at an edge.
        // The start cell and the bonuses keep their cells; a start whose cell is
        // removed goes to the nearest remaining cell. New cells are empty. The
        // grid keeps at least one cell a side and stays within what the game's
        // loader accepts; false (with the reason) otherwise.
        bool Redimensionner(Bord bord, int nombre, std::string* raison = nullptr);
        // Replaces the whole level (e.g. a recovered autosave), as one step.
        void Remplacer(const Niveau& niveau);

        bool Annuler();
        bool Refaire();
        bool PeutAnnuler() const { return !passe_.empty(); }
        bool PeutRefaire() const { return !futur_.empty(); }

        // Unsaved changes: the level differs, by its history, from the one last
        // marked as saved (undoing back to it counts as saved again).
        bool Modifie() const { return etatCourant() != etatEnregistre_; }
        void MarquerEnregistre() { etatEnregistre_ = etatCourant(); }
        // Changes with every edit, undo and redo: what the view watches to redraw.
        uint64_t Revision() const { return revision_; }

    private:
        struct Changement
        {
            size_t Indice;
            char Avant;
            char Apres;
        };
        struct Etape
        {
            uint64_t Id = 0;
            std::vector<Changement> Cases;
            int DebutAvantX = 0, DebutAvantY = 0, DebutApresX = 0, DebutApresY = 0;
            // Resizes keep the whole level on either side.
            std::shared_ptr<const Niveau> Avant, Apres;
        };

        uint64_t etatCourant() const { return passe_.empty() ? 0 : passe_.back().Id; }
        Etape nouvelleEtape();
        void changerCase(Etape& etape, size_t indice, char caractere);
        void valider(Etape etape);
        void appliquer(const Etape& etape, bool enAvant);

        Niveau niveau_;
        std::vector<Etape> passe_;
        std::vector<Etape> futur_;
        std::unique_ptr<Etape> trait_;
        uint64_t prochainId_ = 1;
        uint64_t etatEnregistre_ = 0;
        uint64_t revision_ = 0;
    };
}
