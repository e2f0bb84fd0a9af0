#pragma once
// The dialogs, one at a time in a box over the window: messages to read, the
// question before quitting with unsaved changes, an autosave to restore, the
// name to save as. While one is open it takes every key and click.
#include "Etat.h"
#include "Panneau.h"

#include <string>
#include <vector>

namespace Edition
{
    class Dialogues : public Panneau
    {
    public:
        Dialogues(EtatEdition& etat, Actions& actions) : etat_(etat), actions_(actions) {}
        Zone Place() const override;
        void Dessine() override;
        bool TraiteEvenement(const SDL_Event& e) override;

        bool Ouvert() const { return dialogue_ != Dialogue::Aucun; }
        void Fermer() { dialogue_ = Dialogue::Aucun; }
        // Lines to read; any of Enter, Escape and space closes them.
        void Montrer(const std::vector<std::string>& lignes);
        // Unsaved changes: save, discard or stay.
        void Quitter() { dialogue_ = Dialogue::Quitter; }
        // The bytes of an autosave to restore or not, then `ensuite` to read.
        void Recuperer(const std::string& octets, const std::vector<std::string>& ensuite);
        // The file's name to save as, starting from `chemin`.
        void EnregistrerSous(const std::string& chemin);

    private:
        enum class Dialogue
        {
            Aucun,
            Messages,
            Quitter,
            Recuperer,
            EnregistrerSous
        };
        void Touche(const SDL_keysym& touche);

        EtatEdition& etat_;
        Actions& actions_;
        Dialogue dialogue_ = Dialogue::Aucun;
        std::vector<std::string> messages_;
        std::vector<std::string> messagesSuivants_; // shown once the recovery is answered
        std::string recuperation_;
        std::string saisie_;
    };
}
