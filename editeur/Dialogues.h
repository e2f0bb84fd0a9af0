#pragma once
// The dialogs, one at a time in a box over the window: messages to read,
// questions answered with a key (saving over a changed file, an autosave to
// restore, quitting with unsaved changes), the name to save as. While one is
// open it takes every key and click; those asked meanwhile wait their turn.
#include "Etat.h"
#include "Panneau.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace Edition
{
    // An answer to a question: its key, its line in the box, what it does.
    struct Reponse
    {
        SDLKey Touche;
        std::string Texte;
        std::function<void()> Action;
    };

    class Dialogues : public Panneau
    {
    public:
        Dialogues(EtatEdition& etat, Actions& actions) : etat_(etat), actions_(actions) {}
        Zone Place() const override;
        void Dessine() override;
        bool TraiteEvenement(const SDL_Event& e) override;

        bool Ouvert() const { return !file_.empty(); }
        // Closes every dialog, unanswered (the measurements draw the level alone).
        void Fermer() { file_.clear(); }
        // Lines to read; any of Enter, Escape and space closes them.
        void Montrer(const std::vector<std::string>& lignes);
        // Lines and the keys that answer them. Escape closes the question
        // unless an answer takes it. Each dialog is printed on the standard
        // output as it opens, for the designer's terminal and the tests.
        void Demander(const std::vector<std::string>& lignes, const std::vector<Reponse>& reponses);
        // The file's name to save as, starting from `chemin`.
        void EnregistrerSous(const std::string& chemin);

    private:
        struct Dialogue
        {
            std::vector<std::string> Lignes;
            std::vector<Reponse> Reponses;
            bool Saisie = false; // the name to save as
        };
        void Ajouter(Dialogue d);
        void Annoncer() const;
        void Touche(const SDL_keysym& touche);
        void Repondre(const Reponse& r);

        EtatEdition& etat_;
        Actions& actions_;
        std::deque<Dialogue> file_; // the one shown first
        std::string saisie_;
    };
}
