#include "Dialogues.h"

#include "TexteEcran.h"

#include <algorithm>
#include <cstdio>

namespace Edition
{
    Zone Dialogues::Place() const
    {
        return Ouvert() ? Zone{0, 0, etat_.Fenetre.Largeur, etat_.Fenetre.Hauteur} : Zone{};
    }

    void Dialogues::Ajouter(Dialogue d)
    {
        file_.push_back(std::move(d));
        if (file_.size() == 1)
            Annoncer();
    }

    void Dialogues::Annoncer() const
    {
        if (file_.empty())
            return;
        std::string texte;
        for (const std::string& l : file_.front().Lignes)
            if (!l.empty())
                texte += (texte.empty() ? "" : " | ") + l;
        for (const Reponse& r : file_.front().Reponses)
            texte += " | " + r.Texte;
        std::printf("dialog: %s\n", texte.c_str());
        std::fflush(stdout);
    }

    void Dialogues::Montrer(const std::vector<std::string>& lignes)
    {
        Ajouter({lignes, {{SDLK_RETURN, "Enter: close", nullptr}}});
    }

    void Dialogues::Demander(const std::vector<std::string>& lignes, const std::vector<Reponse>& reponses)
    {
        Ajouter({lignes, reponses});
    }

    void Dialogues::EnregistrerSous(const std::string& chemin)
    {
        saisie_ = chemin;
        Ajouter({{"Save as:"}, {}, true});
    }

    bool Dialogues::TraiteEvenement(const SDL_Event& e)
    {
        if (!Ouvert())
            return false;
        if (e.type == SDL_KEYDOWN)
            Touche(e.key.keysym);
        return e.type == SDL_KEYDOWN || e.type == SDL_MOUSEBUTTONDOWN;
    }

    void Dialogues::Repondre(const Reponse& r)
    {
        // Closed first: the answer may ask the next question.
        const std::function<void()> action = r.Action;
        file_.pop_front();
        const size_t attente = file_.size();
        if (action)
            action();
        // One that waited is shown now (one asked on an empty screen is announced already).
        if (attente > 0)
            Annoncer();
    }

    void Dialogues::Touche(const SDL_keysym& touche)
    {
        const SDLKey k = touche.sym;
        Dialogue& d = file_.front();
        if (d.Saisie)
        {
            if (k == SDLK_ESCAPE)
                Repondre({k, "", nullptr});
            else if (k == SDLK_RETURN || k == SDLK_KP_ENTER)
            {
                const std::string cible = saisie_;
                Repondre({k, "", [this, cible] {
                              if (!cible.empty())
                                  actions_.Enregistrer(cible);
                          }});
            }
            else if (k == SDLK_BACKSPACE)
            {
                if (!saisie_.empty())
                    saisie_.pop_back();
            }
            else if (touche.unicode >= 32 && touche.unicode < 127)
                saisie_ += static_cast<char>(touche.unicode);
            return;
        }
        const bool message = d.Reponses.size() == 1 && d.Reponses[0].Touche == SDLK_RETURN && !d.Reponses[0].Action;
        if (message && (k == SDLK_ESCAPE || k == SDLK_RETURN || k == SDLK_KP_ENTER || k == SDLK_SPACE))
        {
            Repondre(d.Reponses[0]);
            return;
        }
        for (const Reponse& r : d.Reponses)
            if (r.Touche == k)
            {
                Repondre(Reponse(r));
                return;
            }
        if (k == SDLK_ESCAPE)
            Repondre({k, "", nullptr});
    }

    void Dialogues::Dessine()
    {
        if (!Ouvert())
            return;
        const int largeur = etat_.Fenetre.Largeur, hauteur = etat_.Fenetre.Hauteur;
        const size_t colonnes = static_cast<size_t>(std::max(20, (largeur - 60) / 14));
        const Dialogue& d = file_.front();
        std::vector<std::string> lignes;
        for (const std::string& m : d.Lignes)
            for (const std::string& l : Couper(m, colonnes))
                lignes.push_back(l);
        if (d.Saisie)
        {
            for (const std::string& l : Couper(saisie_ + "_", colonnes))
                lignes.push_back(l);
            lignes.push_back("");
            lignes.push_back("Enter: save   Escape: cancel");
        }
        else
        {
            lignes.push_back("");
            for (const Reponse& r : d.Reponses)
                lignes.push_back(r.Texte);
        }
        DessineBoite(lignes, 14, largeur, hauteur);
    }
}
