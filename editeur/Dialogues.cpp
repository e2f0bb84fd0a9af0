#include "Dialogues.h"

#include "TexteEcran.h"

#include <algorithm>

namespace Edition
{
    Zone Dialogues::Place() const
    {
        return Ouvert() ? Zone{0, 0, etat_.Fenetre.Largeur, etat_.Fenetre.Hauteur} : Zone{};
    }

    void Dialogues::Montrer(const std::vector<std::string>& lignes)
    {
        messages_ = lignes;
        dialogue_ = Dialogue::Messages;
    }

    void Dialogues::Recuperer(const std::string& octets, const std::vector<std::string>& ensuite)
    {
        recuperation_ = octets;
        messagesSuivants_ = ensuite;
        dialogue_ = Dialogue::Recuperer;
    }

    void Dialogues::EnregistrerSous(const std::string& chemin)
    {
        saisie_ = chemin;
        dialogue_ = Dialogue::EnregistrerSous;
    }

    bool Dialogues::TraiteEvenement(const SDL_Event& e)
    {
        if (!Ouvert())
            return false;
        if (e.type == SDL_KEYDOWN)
            Touche(e.key.keysym);
        return e.type == SDL_KEYDOWN || e.type == SDL_MOUSEBUTTONDOWN;
    }

    void Dialogues::Touche(const SDL_keysym& touche)
    {
        const SDLKey k = touche.sym;
        switch (dialogue_)
        {
        case Dialogue::Messages:
            if (k == SDLK_ESCAPE || k == SDLK_RETURN || k == SDLK_KP_ENTER || k == SDLK_SPACE)
                dialogue_ = Dialogue::Aucun;
            break;
        case Dialogue::Quitter:
            if (k == SDLK_s)
            {
                dialogue_ = Dialogue::Aucun;
                if (actions_.Enregistrer(etat_.Chemin))
                    actions_.Terminer();
            }
            else if (k == SDLK_d)
            {
                // The designer threw the changes away: so goes their copy.
                SupprimerAutosave(etat_.Chemin);
                actions_.Terminer();
            }
            else if (k == SDLK_ESCAPE)
                dialogue_ = Dialogue::Aucun;
            break;
        case Dialogue::Recuperer:
            if (k == SDLK_y || k == SDLK_n || k == SDLK_ESCAPE)
            {
                dialogue_ = Dialogue::Aucun;
                if (k == SDLK_y)
                {
                    const Ouverture o = AnalyserCarte(recuperation_, CheminAutosave(etat_.Chemin));
                    etat_.Doc.Remplacer(o.Carte);
                    actions_.Statut("the autosave is back: save to keep it");
                }
                else
                    actions_.Statut("the autosave is kept beside the file until the next save");
                recuperation_.clear();
                if (!messagesSuivants_.empty())
                    Montrer(messagesSuivants_);
            }
            break;
        case Dialogue::EnregistrerSous:
            if (k == SDLK_ESCAPE)
                dialogue_ = Dialogue::Aucun;
            else if (k == SDLK_RETURN || k == SDLK_KP_ENTER)
            {
                dialogue_ = Dialogue::Aucun;
                if (!saisie_.empty())
                    actions_.Enregistrer(saisie_);
            }
            else if (k == SDLK_BACKSPACE)
            {
                if (!saisie_.empty())
                    saisie_.pop_back();
            }
            else if (touche.unicode >= 32 && touche.unicode < 127)
                saisie_ += static_cast<char>(touche.unicode);
            break;
        case Dialogue::Aucun:
            break;
        }
    }

    void Dialogues::Dessine()
    {
        const int largeur = etat_.Fenetre.Largeur, hauteur = etat_.Fenetre.Hauteur;
        const size_t colonnes = static_cast<size_t>(std::max(20, (largeur - 60) / 14));
        std::vector<std::string> lignes;
        switch (dialogue_)
        {
        case Dialogue::Aucun:
            return;
        case Dialogue::Messages:
            for (const std::string& m : messages_)
                for (const std::string& l : Couper(m, colonnes))
                    lignes.push_back(l);
            lignes.push_back("");
            lignes.push_back("Enter: close");
            break;
        case Dialogue::Quitter:
            lignes = {"This level has unsaved changes.", "", "S: save and quit", "D: quit without saving",
                      "Escape: go back to the editor"};
            break;
        case Dialogue::Recuperer:
            lignes = {"An autosave of this level holds changes", "that were never saved:",
                      Base(CheminAutosave(etat_.Chemin)), "", "Y: restore it", "N: keep the file as it is"};
            break;
        case Dialogue::EnregistrerSous:
            lignes = {"Save as:"};
            for (const std::string& l : Couper(saisie_ + "_", colonnes))
                lignes.push_back(l);
            lignes.push_back("");
            lignes.push_back("Enter: save   Escape: cancel");
            break;
        }
        DessineBoite(lignes, 14, largeur, hauteur);
    }
}
