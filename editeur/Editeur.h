#pragma once
// The editor's window: it keeps the level being edited (the document), the
// view and the tools, and holds the panels that draw themselves and take the
// keys and clicks meant for them; what none takes (the tools' keys, undo,
// save, play, full screen) is the editor's.
#include "CalqueRoute.h"
#include "Dialogues.h"
#include "Etat.h"
#include "Infobulle.h"
#include "LigneEtat.h"
#include "Nettoyage.h"
#include "ListeConstats.h"
#include "PanneauAide.h"
#include "PanneauPalette.h"
#include "SessionFichier.h"
#include "VueCarte.h"
#include "perso/Perso.h"

#include <SDL.h>
#include <chrono>
#include <string>
#include <vector>

namespace Edition
{
    class Editeur : private Actions
    {
    public:
        // `fichier`, opened as `ouverture`: the file the editor works on;
        // `laisses`: the autosaves other sessions left, offered back.
        // `largeur` x `hauteur`: the window's size when not full screen.
        Editeur(CFichierEdite& fichier, const Ouverture& ouverture, const std::vector<AutosaveLaisse>& laisses,
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
        // The window's size when not full screen, as the designer left it.
        int LargeurFenetre() const { return largeurFenetre_; }
        int HauteurFenetre() const { return hauteurFenetre_; }

        // The editor that runs (within Executer), or nullptr: for a
        // platform's own hooks (the web page's Download, Share and level list).
        static const Editeur* EnCours() { return enCours_; }
        // The level as it is now, and its file as saving would write it now.
        const Niveau& Courant() const { return etat_.Doc.Courant(); }
        std::string Octets() const;
        // A dialog waits for its answer.
        bool Demande() const { return dialogues_.Ouvert(); }
        // The editor ends after this frame.
        bool Fini() const { return fin_; }

    private:
        static const Editeur* enCours_;

        // Events: each panel in turn, from the top, then the editor's keys.
        void Traiter(const SDL_Event& e);
        void TouchePressee(const SDL_keysym& touche);

        // Editing (the panels' actions)
        void Appliquer(int colonne, int ligne, bool debut) override;
        void FinirRectangle(int colonne, int ligne) override;
        void Pipette(int colonne, int ligne) override;
        void Choisir(size_t entree) override;
        void AllerAuConstat(size_t marque) override;
        void Statut(const std::string& texte) override;
        void Enregistrer(const std::string& chemin) override;
        void Terminer() override { fin_ = true; }

        void ChoisirOutil(Outil outil);
        void Redimensionner(Bord bord, int nombre);
        char Contenu() const;
        void DemanderQuitter();
        void Jouer(bool depuisCurseur);
        // A route played in the test play: the one drawn over the level (F6),
        // the clear route (F7).
        void JouerLaRoute(const std::string& texte, const AnalyseCarte::Route& route);
        void PleinEcran();
        // The live check: asks for the level as it is after each edit, takes
        // the result in once it comes, never waits for it.
        void Analyser();

        // Drawing
        void Projection();
        void Dessiner();
        void MettreAJourTitre();

        EtatEdition etat_;
        CPerso modele_;  // lends its sprites to the player of a test play

        // The panels, from the bottom up.
        VueCarte vueCarte_{etat_, *this};
        CalqueRoute route_{etat_, *this};  // the way to a cell, over the level
        Nettoyage nettoyage_{etat_};        // the clear check, beside the live one
        PanneauPalette palette_{etat_, *this};
        LigneEtat ligneEtat_{etat_};
        ListeConstats liste_{etat_, *this};
        Infobulle infobulle_{etat_};
        PanneauAide aide_{etat_};
        Dialogues dialogues_{etat_, *this};
        std::vector<Panneau*> panneaux_;
        SessionFichier session_;

        std::string titre_;
        uint64_t revisionAnalyse_ = ~0ull;  // the level's revision last sent to the check
        std::chrono::steady_clock::time_point demande_; // when it was sent
        bool fin_ = false;
        bool f11Tenue_ = false; // key repeat sends more presses of a held F11: one switch per press
        int largeurFenetre_ = 1024, hauteurFenetre_ = 720;
    };
}
