#pragma once
// What the editor's panels share: the level being edited and its file, the
// view, the tools, the pointer and what the live check found. The editor owns
// it; the panels read it, and ask the editor (Actions) for what changes the level.
#include "Calques.h"
#include "Disposition.h"
#include "Document.h"
#include "Fichier.h"
#include "Niveau.h"
#include "Vue.h"
#include "autotuile/Autotuile.h"

#include <chrono>
#include <string>
#include <vector>

namespace Edition
{
    struct EtatEdition
    {
        std::string Chemin;
        FormatFichier Format;
        Document Doc;
        Vue VueNiveau;
        Disposition Fenetre;    // the window and its parts
        bool Nouveau = false;   // a new file, not yet written

        // The tools.
        size_t Choix = 1;  // palette entry: grass
        Outil OutilActif = Outil::Crayon;
        Autotuile::Matiere Matiere = Autotuile::Matiere::Sol;
        int CurseurC = 0, CurseurL = 0;  // the cell the tools act on
        bool Rectangle = false;          // a rectangle's first corner is set
        int RectC = 0, RectL = 0;

        int SourisX = -1, SourisY = -1;  // the pointer, window pixels

        // The live check and what it gave, made into what the editor draws.
        AnalyseCarte::AnalyseVivante Analyse;
        std::vector<Marque> Marques;
        size_t SansCase = 0;          // findings about no cell
        Atteinte Atteignable;
        unsigned NumeroVu = 0;        // the result Marques and Atteignable come from
        size_t MarqueChoisie = 0;
        bool CalqueAtteinte = false;  // the reachability overlay is shown
        std::string BilanNettoyage;   // the clear check's summary, on the status line

        // Kept on the status line while they hold: another program changed
        // the file; the last autosave failed.
        std::string AlerteDisque, AlerteAutosave;

        bool NonEnregistre() const { return Nouveau || Doc.Modifie(); }
    };

    // What a panel may ask of the editor.
    class Actions
    {
    public:
        // The tool on a cell; `debut`: the first cell of a stroke.
        virtual void Appliquer(int colonne, int ligne, bool debut) = 0;
        virtual void FinirRectangle(int colonne, int ligne) = 0;
        // The palette entry of what lies on the cell.
        virtual void Pipette(int colonne, int ligne) = 0;
        virtual void Choisir(size_t entree) = 0;
        virtual void AllerAuConstat(size_t marque) = 0;
        // A message on the status line, for a few seconds.
        virtual void Statut(const std::string& texte) = 0;
        // Saves to `chemin` (after the questions it needs).
        virtual void Enregistrer(const std::string& chemin) = 0;
        virtual void Terminer() = 0;

    protected:
        ~Actions() = default;
    };

    std::string Base(const std::string& chemin);
}
