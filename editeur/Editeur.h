#pragma once
// The editor's window: the level drawn as the game draws it, the palette, the
// status line, the dialogs, and the keys and mouse that drive the edit model.
#include "Calques.h"
#include "Document.h"
#include "Fichier.h"
#include "Peinture.h"
#include "RenduNiveau.h"
#include "Vue.h"
#include "perso/Perso.h"

#include <SDL.h>
#include <chrono>
#include <string>
#include <vector>

namespace Edition
{
    class Editeur
    {
    public:
        // `recuperation`: the bytes of an autosave to offer back, when there is one.
        // `largeur` x `hauteur`: the window's size when not full screen.
        Editeur(const std::string& chemin, const Ouverture& ouverture, const std::string& recuperation,
                int largeur, int hauteur);
        // Loads the images (the window is open), then runs until the designer
        // quits. Returns the exit status.
        int Executer();
        // corvella-editeur --mesurer: times `trames` frames of the editor at 1:1,
        // scrolling, and with the whole level in view, then as many frames of
        // the game on the level `jeu` (a map text), in the same window; prints
        // the figures, with the time from `depart` (the program's start) to the
        // end of the first frame.
        void Mesurer(int trames, const std::string& jeu, std::chrono::steady_clock::time_point depart);

    private:
        enum class Dialogue
        {
            Aucun,
            Messages,     // lines to read, any key closes
            Quitter,      // unsaved changes: save, discard or stay
            Recuperer,    // an autosave to restore or not
            EnregistrerSous
        };

        // Events
        void Traiter(const SDL_Event& e);
        void TouchePressee(const SDL_keysym& touche);
        void ToucheDialogue(const SDL_keysym& touche);
        void BoutonPresse(int bouton, int x, int y);
        void BoutonRelache(int bouton, int x, int y);
        void Mouvement(int x, int y, int dx, int dy);

        // Editing
        void Appliquer(int colonne, int ligne, bool debut);
        void FinirRectangle(int colonne, int ligne);
        void Choisir(size_t entree);
        void Pipette(int colonne, int ligne);
        void ChoisirOutil(Outil outil);
        void Redimensionner(Bord bord, int nombre);
        char Contenu() const;
        void DemanderQuitter();
        bool Enregistrer(const std::string& chemin);
        void Autosave();
        void Jouer(bool depuisCurseur);
        void Statut(const std::string& texte);
        void MontrerMessages(const std::vector<std::string>& lignes);
        void PleinEcran();

        // The live check: asks for the level as it is after each edit, takes
        // the result in once it comes, never waits for it.
        void Analyser();
        void AllerAuConstat(size_t marque);
        int ConstatSous(int x, int y) const;
        bool DansListe(int x, int y) const;

        // Drawing
        void Projection();
        void Dessiner();
        void DessineNiveau();
        void DessineCalques(const CasesEnVue& zone);
        void DessineApercu();
        void DessineAtteinte();
        void DessineMarques(const CasesEnVue& zone);
        void DessineInfobulle();
        void DessineListe();
        void DessinePalette();
        void DessineLigneEtat();
        void DessineAide();
        void DessineDialogue();
        void DessineBoite(const std::vector<std::string>& lignes, int taille);
        bool DansCarte(int x, int y) const;
        int EntreeSous(int x, int y) const;
        void MettreAJourTitre();
        bool NonEnregistre() const { return nouveau_ || document_.Modifie(); }

        std::string chemin_;
        FormatFichier format_;
        Document document_;
        Vue vue_;
        CPerso modele_;  // lends its sprites to the player of a test play

        size_t choix_ = 1;  // palette entry: grass
        Outil outil_ = Outil::Crayon;
        bool grille_ = false;
        bool aide_ = false;

        int largeur_ = 0, hauteur_ = 0;   // window, pixels
        int sourisX_ = -1, sourisY_ = -1;
        int curseurC_ = 0, curseurL_ = 0; // the cell the tools act on
        bool trace_ = false;              // left button held on the map
        int dernierC_ = 0, dernierL_ = 0; // last cell of the stroke
        bool rectangle_ = false;          // a rectangle's first corner is set
        int rectC_ = 0, rectL_ = 0;
        bool glisse_ = false;             // middle button held

        Dialogue dialogue_ = Dialogue::Aucun;
        std::vector<std::string> messages_;
        std::vector<std::string> messagesSuivants_; // shown once the recovery is answered
        std::string recuperation_;
        std::string saisie_;
        std::string statut_;
        Uint32 statutJusqua_ = 0;

        Uint32 dernierAutosave_ = 0;
        uint64_t revisionAutosave_ = 0;
        uint64_t revisionTitre_ = ~0ull;
        uint64_t revisionBonus_ = ~0ull;
        int nombreBonus_ = 0;
        // The level seen from afar: one texel a cell (or a block of cells on a
        // level wider than a texture), each the average colour of its tile.
        unsigned int apercu_ = 0;
        uint64_t revisionApercu_ = ~0ull;
        int apercuLargeur_ = 0, apercuHauteur_ = 0, apercuPas_ = 1;
        std::vector<unsigned char> couleurs_;  // RGBA of each tile code, then each bonus type
        // The live check and what it gave, made into what the editor draws.
        AnalyseCarte::AnalyseVivante analyse_;
        uint64_t revisionAnalyse_ = ~0ull;  // the level's revision last sent
        std::chrono::steady_clock::time_point demande_; // when it was sent
        unsigned numeroVu_ = 0;              // the result marques_ and atteinte_ come from
        std::vector<Marque> marques_;
        size_t sansCase_ = 0;                // findings about no cell
        Atteinte atteinte_;
        bool calqueAtteinte_ = false;        // the reachability overlay is shown
        bool liste_ = false;                 // the findings panel is shown
        size_t marqueChoisie_ = 0;
        unsigned int texAtteinte_ = 0;       // the overlay, a texel a cell (or a block)
        bool texAtteinteAJour_ = false;
        int atteintePas_ = 1;
        Autotuile::Matiere matiere_ = Autotuile::Matiere::Sol;
        bool nouveau_ = false;            // a new file, not yet written
        bool fin_ = false;
        bool f11Tenue_ = false; // key repeat sends more presses of a held F11: one switch per press
        int largeurFenetre_ = 1024, hauteurFenetre_ = 720;
    };
}
