#include "Editeur.h"

#include "JeuEssai.h"
#include "RenduNiveau.h"
#include "TexteEcran.h"
#include "main/Globales.h"
#include "outils/Horloge.h"

#include "main/BoucleJeu.h"

#include <GL/glu.h>
#include <SDL_opengl.h>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

namespace Edition
{
    namespace
    {
        const int LargeurPanneau = 224;  // the palette, on the right
        const int HauteurEtat = 26;      // the status line, at the bottom
        const int Icone = 40;
        const int Pas = 44;              // icon and gap
        const int ColonnesPalette = 5;
        const int HautPalette = 40;      // first icon row
        const double Case = CMap::TailleCase;

        // Above this many cells in view, they are too small to see one by one:
        // each is drawn as a plain square of its tile's colour.
        const long long CasesDetaillees = 40000;

        // Every key and mouse action, as the help shows them.
        const char* const Aide[] = {
            "MOUSE",
            "left click, drag      use the tool (pencil strokes undo as one)",
            "right click           pick what lies under the pointer",
            "middle drag, wheel    scroll (shift + wheel: sideways)",
            "ctrl + wheel          zoom around the pointer",
            "KEYS",
            "p r f a e s           pencil, rectangle, fill, replace all, erase, start",
            "u                     autotile: paints ground, sand, wall, water or empty with",
            "                      the tiles that fit; its material is the palette entry's",
            "                      (a grass, sand, wall or water tile, or empty), u again: next",
            "[  ]                  previous, next palette entry",
            "i                     pick what lies under the cursor cell",
            "arrows                scroll",
            "shift + arrows        move the cursor cell",
            "space                 use the tool on the cursor cell",
            "+  -  0  1            zoom in, out, whole level, 1:1",
            "g                     grid",
            "ctrl + arrow          add a column or row at that edge",
            "ctrl + shift + arrow  remove a column or row at that edge",
            "ctrl + z              undo",
            "ctrl + y, ctrl + shift + z   redo",
            "ctrl + s              save   (ctrl + shift + s: save as)",
            "f5                    play from the start cell",
            "shift + f5            play from the cursor cell   (escape: back)",
            "f11                   full screen",
            "ctrl + q, close       quit (asks when there are unsaved changes)",
            "CHECK (live, after each edit)",
            "v                     reachability: the cells the character can reach from the",
            "                      start, bonuses nobody can take crossed out",
            "c                     list of findings (click one to go to it)",
            "n                     go to the next finding",
            "pointer on a marker   its message",
            "f1, escape            close this help",
        };

        // Cuts a text into lines of at most `largeur` characters, at blanks when it can.
        std::vector<std::string> Couper(const std::string& texte, size_t largeur)
        {
            std::vector<std::string> lignes;
            std::string reste = texte;
            while (reste.size() > largeur)
            {
                size_t coupe = reste.rfind(' ', largeur);
                if (coupe == std::string::npos || coupe < largeur / 2)
                    coupe = largeur;
                lignes.push_back(reste.substr(0, coupe));
                reste = reste.substr(coupe == largeur ? coupe : coupe + 1);
            }
            lignes.push_back(reste);
            return lignes;
        }

        std::string Base(const std::string& chemin)
        {
            const size_t barre = chemin.rfind('/');
            return barre == std::string::npos ? chemin : chemin.substr(barre + 1);
        }

        // A picture of the level a texel a cell (or a block of cells), made
        // once and drawn as one quad.
        void ChargerTexels(unsigned int& id, int largeur, int hauteur, const std::vector<unsigned char>& rgba,
                           GLint reduction)
        {
            if (id == 0)
                glGenTextures(1, &id);
            glBindTexture(GL_TEXTURE_2D, id);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, reduction);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
            glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, largeur, hauteur, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        }
    }

    Editeur::Editeur(const std::string& chemin, const Ouverture& ouverture, const std::string& recuperation,
                     int largeur, int hauteur)
        : chemin_(chemin), format_(ouverture.Format), document_(ouverture.Carte), recuperation_(recuperation),
          largeurFenetre_(largeur), hauteurFenetre_(hauteur)
    {
        std::vector<std::string> lignes;
        if (!ouverture.Constats.empty())
        {
            lignes.push_back("The game's loader reads this file in part:");
            const size_t montres = std::min<size_t>(ouverture.Constats.size(), 12);
            lignes.insert(lignes.end(), ouverture.Constats.begin(), ouverture.Constats.begin() + montres);
            if (ouverture.Constats.size() > montres)
                lignes.push_back("... and " + std::to_string(ouverture.Constats.size() - montres) +
                                 " more (corvella-carte check lists them all)");
        }
        if (!ouverture.Changements.empty())
        {
            lignes.push_back("Saving will change the file:");
            for (const std::string& c : ouverture.Changements)
                lignes.push_back("- " + c);
        }
        if (ouverture.Nouveau)
            statut_ = "new level: it is saved to " + chemin_;
        if (!recuperation_.empty())
        {
            messagesSuivants_ = lignes;
            dialogue_ = Dialogue::Recuperer;
        }
        else if (!lignes.empty())
            MontrerMessages(lignes);
        // A new file counts as unsaved until it is written.
        nouveau_ = ouverture.Nouveau;
    }

    int Editeur::Executer()
    {
        modele_.LoadTexPerso("Principal (copie)");
        Projection();
        vue_.Borner(document_.Courant().Largeur, document_.Courant().Hauteur);
        dernierAutosave_ = Horloge::Ticks();
        statutJusqua_ = Horloge::Ticks() + 5000;
        while (!fin_)
        {
            SDL_Event e;
            while (SDL_PollEvent(&e))
                Traiter(e);
            Autosave();
            Analyser();
            MettreAJourTitre();
            Dessiner();
            Moteur.FinDessin();
        }
        return 0;
    }

    void Editeur::Mesurer(int trames, const std::string& jeu, std::chrono::steady_clock::time_point depart)
    {
        modele_.LoadTexPerso("Principal (copie)");
        Projection();
        const Niveau& n = document_.Courant();
        dialogue_ = Dialogue::Aucun;
        Dessiner();
        glFinish();
        SDL_GL_SwapBuffers();
        std::printf("first frame drawn %.0f ms after the start\n",
                    std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - depart).count());
        // Each frame drawn and finished by the GPU, without the pacing sleep.
        // The four kinds of frame take turns, so that whatever else loads the
        // machine weighs on each alike.
        struct Serie
        {
            std::string Nom;
            std::vector<double> Ms;
        };
        std::vector<Serie> series(jeu.empty() ? 3 : 4);
        series[0].Nom = "editor, 1:1";
        series[1].Nom = "editor, 1:1, scrolling 16 px a frame";
        Vue fixe = vue_, defile = vue_, tout = vue_;
        fixe.Zoom = defile.Zoom = 1.0;
        fixe.OrigineX = fixe.OrigineY = defile.OrigineX = defile.OrigineY = 0;
        tout.ToutMontrer(n.Largeur, n.Hauteur);
        char nom[64];
        std::snprintf(nom, sizeof nom, "editor, whole level (zoom %.3f)", tout.Zoom);
        series[2].Nom = nom;
        EtatPause pause = {0, 0};
        if (!jeu.empty())
        {
            series[3].Nom = "game, shipped level";
            PreparerJeu(jeu, modele_);
        }
        auto chronometrer = [](std::vector<double>& ms, auto trame)
        {
            const auto t0 = std::chrono::steady_clock::now();
            trame();
            glFinish();
            SDL_GL_SwapBuffers();
            ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
        };
        for (int i = 0; i < trames; ++i)
        {
            Projection();
            defile.Defiler(16, 4, n.Largeur, n.Hauteur);
            Vue* vues[3] = {&fixe, &defile, &tout};
            for (int k = 0; k < 3; ++k)
            {
                vue_ = *vues[k];
                chronometrer(series[static_cast<size_t>(k)].Ms, [&] { Dessiner(); });
            }
            if (!jeu.empty())
            {
                // The game's 800 x 600 view, then its frame.
                glMatrixMode(GL_PROJECTION);
                glLoadIdentity();
                gluOrtho2D(0, 800, 600, 0);
                glMatrixMode(GL_MODELVIEW);
                chronometrer(series[3].Ms, [&] {
                    TraiteEvenements(pause);
                    DessineScene(pause);
                    Moteur.DessineFondu();
                });
            }
        }
        // The live check: from an edit to the frame that shows its findings
        // and the reachability overlay, and the editor's frames meanwhile
        // (drawn, polled and paced as Executer does).
        Serie pendant{"editor, 1:1, while the check runs (paced)", {}};
        std::vector<double> rafraichir;
        vue_ = fixe;
        calqueAtteinte_ = true;
        for (int tour = 0; tour < 3; ++tour)
        {
            const auto t0 = std::chrono::steady_clock::now();
            revisionAnalyse_ = document_.Revision();
            demande_ = t0;
            analyse_.Demander(EcrireCarte(n, format_));
            const unsigned attendu = analyse_.NumeroDemande();
            while (analyse_.NumeroResultat() != attendu && analyse_.EtatActuel() != AnalyseCarte::AnalyseVivante::Etat::Echec)
            {
                // A frame as Executer makes it, its pacing included.
                const auto t = std::chrono::steady_clock::now();
                Analyser();
                Dessiner();
                Moteur.FinDessin();
                pendant.Ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t).count());
            }
            Analyser();
            Dessiner();
            Moteur.FinDessin();
            rafraichir.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
        }
        series.push_back(pendant);
        std::sort(rafraichir.begin(), rafraichir.end());
        std::printf("check, edit to overlay drawn: median %.0f ms, worst %.0f ms (%zu findings%s)\n",
                    rafraichir[rafraichir.size() / 2], rafraichir.back(), analyse_.Resultat().Avertissements(),
                    analyse_.Resultat().Partielle() ? ", partial" : "");
        std::printf("window %dx%d, level %dx%d, %d frames each, taking turns\n", largeur_, hauteur_, n.Largeur,
                    n.Hauteur, trames);
        for (Serie& serie : series)
        {
            std::sort(serie.Ms.begin(), serie.Ms.end());
            double total = 0;
            for (double ms : serie.Ms)
                total += ms;
            std::printf("%-40s median %7.2f ms   mean %7.2f ms   worst %7.2f ms\n", serie.Nom.c_str(),
                        serie.Ms[serie.Ms.size() / 2], total / static_cast<double>(serie.Ms.size()), serie.Ms.back());
        }
    }

    // ---------------------------------------------------------------- events

    void Editeur::Traiter(const SDL_Event& e)
    {
        switch (e.type)
        {
        case SDL_QUIT:
            DemanderQuitter();
            break;
        case SDL_VIDEORESIZE:
            // Full screen keeps the desktop's size: setting the mode again
            // there would only bring another resize.
            if (!Moteur.PleinEcran)
            {
                largeurFenetre_ = e.resize.w;
                hauteurFenetre_ = e.resize.h;
                Moteur.ResizeWindow(e.resize.w, e.resize.h);
            }
            Projection();
            break;
        case SDL_KEYDOWN:
            if (dialogue_ != Dialogue::Aucun)
                ToucheDialogue(e.key.keysym);
            else if (aide_)
            {
                if (e.key.keysym.sym == SDLK_F1 || e.key.keysym.sym == SDLK_ESCAPE)
                    aide_ = false;
            }
            else
                TouchePressee(e.key.keysym);
            break;
        case SDL_KEYUP:
            if (e.key.keysym.sym == SDLK_F11)
                f11Tenue_ = false;
            break;
        case SDL_ACTIVEEVENT:
            // The keyboard focus gone: its key-up may never come.
            if (e.active.gain == 0 && (e.active.state & (SDL_APPINPUTFOCUS | SDL_APPACTIVE)) != 0)
                f11Tenue_ = false;
            break;
        case SDL_MOUSEBUTTONDOWN:
            if (dialogue_ == Dialogue::Aucun && !aide_)
                BoutonPresse(e.button.button, e.button.x, e.button.y);
            break;
        case SDL_MOUSEBUTTONUP:
            BoutonRelache(e.button.button, e.button.x, e.button.y);
            break;
        case SDL_MOUSEMOTION:
            Mouvement(e.motion.x, e.motion.y, e.motion.xrel, e.motion.yrel);
            break;
        default:
            break;
        }
    }

    void Editeur::ToucheDialogue(const SDL_keysym& touche)
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
                if (Enregistrer(chemin_))
                    fin_ = true;
            }
            else if (k == SDLK_d)
            {
                // The designer threw the changes away: so goes their copy.
                SupprimerAutosave(chemin_);
                fin_ = true;
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
                    const Ouverture o = AnalyserCarte(recuperation_, CheminAutosave(chemin_));
                    document_.Remplacer(o.Carte);
                    Statut("the autosave is back: save to keep it");
                }
                else
                    Statut("the autosave is kept beside the file until the next save");
                recuperation_.clear();
                if (!messagesSuivants_.empty())
                    MontrerMessages(messagesSuivants_);
            }
            break;
        case Dialogue::EnregistrerSous:
            if (k == SDLK_ESCAPE)
                dialogue_ = Dialogue::Aucun;
            else if (k == SDLK_RETURN || k == SDLK_KP_ENTER)
            {
                dialogue_ = Dialogue::Aucun;
                if (!saisie_.empty())
                    Enregistrer(saisie_);
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

    void Editeur::TouchePressee(const SDL_keysym& touche)
    {
        const SDLKey k = touche.sym;
        const bool ctrl = (touche.mod & KMOD_CTRL) != 0;
        const bool maj = (touche.mod & KMOD_SHIFT) != 0;
        const Niveau& n = document_.Courant();

        if (ctrl)
        {
            switch (k)
            {
            case SDLK_z:
                if (maj ? document_.Refaire() : document_.Annuler())
                    Statut(maj ? "redone" : "undone");
                return;
            case SDLK_y:
                if (document_.Refaire())
                    Statut("redone");
                return;
            case SDLK_s:
                if (maj)
                {
                    saisie_ = chemin_;
                    dialogue_ = Dialogue::EnregistrerSous;
                }
                else
                    Enregistrer(chemin_);
                return;
            case SDLK_q:
                DemanderQuitter();
                return;
            case SDLK_LEFT:
                Redimensionner(Bord::Gauche, maj ? -1 : 1);
                return;
            case SDLK_RIGHT:
                Redimensionner(Bord::Droite, maj ? -1 : 1);
                return;
            case SDLK_UP:
                Redimensionner(Bord::Haut, maj ? -1 : 1);
                return;
            case SDLK_DOWN:
                Redimensionner(Bord::Bas, maj ? -1 : 1);
                return;
            default:
                return;
            }
        }

        const int dx = k == SDLK_LEFT ? -1 : k == SDLK_RIGHT ? 1 : 0;
        const int dy = k == SDLK_UP ? -1 : k == SDLK_DOWN ? 1 : 0;
        if (dx != 0 || dy != 0)
        {
            if (maj)
            {
                curseurC_ = std::max(0, std::min(n.Largeur - 1, curseurC_ + dx));
                curseurL_ = std::max(0, std::min(n.Hauteur - 1, curseurL_ + dy));
                vue_.MontrerCase(curseurC_, curseurL_, n.Largeur, n.Hauteur);
            }
            else
                vue_.Defiler(dx * 32.0, dy * 32.0, n.Largeur, n.Hauteur);
            return;
        }

        for (const DescriptionOutil& d : Outils())
            if (k == static_cast<SDLKey>(d.Touche))
            {
                if (d.Id == Outil::Autotuilage && outil_ == Outil::Autotuilage)
                {
                    // Again: the next material.
                    const std::vector<Autotuile::Matiere>& m = Matieres();
                    const size_t i = static_cast<size_t>(std::find(m.begin(), m.end(), matiere_) - m.begin());
                    matiere_ = m[(i + 1) % m.size()];
                    Statut(std::string("autotile: ") + NomMatiere(matiere_));
                }
                else
                    ChoisirOutil(d.Id);
                return;
            }

        const int milieuX = vue_.LargeurZone / 2, milieuY = vue_.HauteurZone / 2;
        switch (k)
        {
        case SDLK_F1:
            aide_ = true;
            break;
        case SDLK_F5:
            Jouer(maj);
            break;
        case SDLK_F11:
            // Each switch takes a while: a held key's repeats would switch
            // again and again, no frame ever reaching the screen.
            if (!f11Tenue_)
                PleinEcran();
            f11Tenue_ = true;
            break;
        case SDLK_v:
            calqueAtteinte_ = !calqueAtteinte_;
            break;
        case SDLK_c:
            liste_ = !liste_;
            break;
        case SDLK_n:
            if (!marques_.empty())
                AllerAuConstat(liste_ || marqueChoisie_ + 1 < marques_.size() ? (marqueChoisie_ + 1) % marques_.size() : 0);
            else
                Statut("no finding on the level's cells");
            break;
        case SDLK_g:
            grille_ = !grille_;
            break;
        case SDLK_LEFTBRACKET:
            Choisir((choix_ + Palette().size() - 1) % Palette().size());
            break;
        case SDLK_RIGHTBRACKET:
            Choisir((choix_ + 1) % Palette().size());
            break;
        case SDLK_i:
            Pipette(curseurC_, curseurL_);
            break;
        case SDLK_SPACE:
        case SDLK_RETURN:
            if (outil_ == Outil::Rectangle)
            {
                if (rectangle_)
                    FinirRectangle(curseurC_, curseurL_);
                else
                    rectangle_ = true, rectC_ = curseurC_, rectL_ = curseurL_;
            }
            else
            {
                Appliquer(curseurC_, curseurL_, true);
                document_.FinTrait();
            }
            break;
        case SDLK_ESCAPE:
            rectangle_ = false;
            break;
        case SDLK_PLUS:
        case SDLK_EQUALS:
        case SDLK_KP_PLUS:
            vue_.ZoomerAutour(1.25, milieuX, milieuY, n.Largeur, n.Hauteur);
            break;
        case SDLK_MINUS:
        case SDLK_KP_MINUS:
            vue_.ZoomerAutour(0.8, milieuX, milieuY, n.Largeur, n.Hauteur);
            break;
        case SDLK_0:
            vue_.ToutMontrer(n.Largeur, n.Hauteur);
            break;
        case SDLK_1:
            vue_.ZoomerAutour(1.0 / vue_.Zoom, milieuX, milieuY, n.Largeur, n.Hauteur);
            break;
        default:
            break;
        }
    }

    void Editeur::BoutonPresse(int bouton, int x, int y)
    {
        const Niveau& n = document_.Courant();
        const bool maj = (SDL_GetModState() & KMOD_SHIFT) != 0;
        const bool ctrl = (SDL_GetModState() & KMOD_CTRL) != 0;
        if (bouton == SDL_BUTTON_WHEELUP || bouton == SDL_BUTTON_WHEELDOWN)
        {
            const int sens = bouton == SDL_BUTTON_WHEELUP ? -1 : 1;
            if (ctrl)
                vue_.ZoomerAutour(sens < 0 ? 1.25 : 0.8, x, y, n.Largeur, n.Hauteur);
            else if (maj)
                vue_.Defiler(sens * 64.0, 0, n.Largeur, n.Hauteur);
            else
                vue_.Defiler(0, sens * 64.0, n.Largeur, n.Hauteur);
            return;
        }
        if (liste_ && bouton == SDL_BUTTON_LEFT)
        {
            const int constat = ConstatSous(x, y);
            if (constat >= 0)
                AllerAuConstat(static_cast<size_t>(constat));
            // A click on the panel never paints the cells under it.
            if (constat >= 0 || DansListe(x, y))
                return;
        }
        if (!DansCarte(x, y))
        {
            const int entree = EntreeSous(x, y);
            if (bouton == SDL_BUTTON_LEFT && entree >= 0)
                Choisir(static_cast<size_t>(entree));
            return;
        }
        int c, l;
        vue_.CaseSous(x, y, c, l);
        switch (bouton)
        {
        case SDL_BUTTON_LEFT:
            if (!n.Dedans(c, l))
                return;
            curseurC_ = c, curseurL_ = l;
            if (outil_ == Outil::Rectangle)
            {
                rectangle_ = true;
                rectC_ = c, rectL_ = l;
            }
            else
                Appliquer(c, l, true);
            trace_ = true;
            dernierC_ = c, dernierL_ = l;
            break;
        case SDL_BUTTON_RIGHT:
            Pipette(c, l);
            break;
        case SDL_BUTTON_MIDDLE:
            glisse_ = true;
            break;
        default:
            break;
        }
    }

    void Editeur::BoutonRelache(int bouton, int x, int y)
    {
        if (bouton == SDL_BUTTON_MIDDLE)
            glisse_ = false;
        if (bouton != SDL_BUTTON_LEFT || !trace_)
            return;
        trace_ = false;
        if (outil_ == Outil::Rectangle && rectangle_)
        {
            int c, l;
            vue_.CaseSous(x, y, c, l);
            FinirRectangle(c, l);
        }
        document_.FinTrait();
    }

    void Editeur::Mouvement(int x, int y, int dx, int dy)
    {
        sourisX_ = x, sourisY_ = y;
        const Niveau& n = document_.Courant();
        if (glisse_)
        {
            vue_.Defiler(-dx, -dy, n.Largeur, n.Hauteur);
            return;
        }
        if (!DansCarte(x, y))
            return;
        int c, l;
        vue_.CaseSous(x, y, c, l);
        if (n.Dedans(c, l))
            curseurC_ = c, curseurL_ = l;
        if (!trace_ || !(outil_ == Outil::Crayon || outil_ == Outil::Gomme || outil_ == Outil::Autotuilage))
            return;
        // Every cell on the way, however fast the pointer went.
        const int pas = std::max(std::abs(c - dernierC_), std::abs(l - dernierL_));
        for (int i = 1; i <= pas; ++i)
        {
            const int ci = dernierC_ + static_cast<int>(std::lround((c - dernierC_) * double(i) / pas));
            const int li = dernierL_ + static_cast<int>(std::lround((l - dernierL_) * double(i) / pas));
            Appliquer(ci, li, false);
        }
        dernierC_ = c, dernierL_ = l;
    }

    // --------------------------------------------------------------- editing

    char Editeur::Contenu() const
    {
        if (outil_ == Outil::Gomme)
            return ' ';
        return Palette()[choix_].Caractere;
    }

    void Editeur::Appliquer(int c, int l, bool debut)
    {
        const Niveau& n = document_.Courant();
        if (!n.Dedans(c, l))
            return;
        const EntreePalette& e = Palette()[choix_];
        if (outil_ != Outil::Gomme && outil_ != Outil::Depart && outil_ != Outil::Autotuilage && !e.Utilisable)
        {
            Statut("the " + e.Nom + " has no character in the map file: the game cannot load it");
            return;
        }
        switch (outil_)
        {
        case Outil::Crayon:
        case Outil::Gomme:
            if (debut)
                document_.DebutTrait();
            document_.PeindreCase(c, l, Contenu());
            break;
        case Outil::Remplissage:
            if (debut && !document_.Remplir(c, l, Contenu()))
                Statut("nothing to fill");
            break;
        case Outil::Remplacement:
            if (debut)
            {
                const char ancien = n.Case(c, l);
                if (document_.RemplacerTout(ancien, Contenu()))
                    Statut("every " + NomDeCase(ancien) + " is now " + NomDeCase(Contenu()));
            }
            break;
        case Outil::Depart:
            if (debut)
                document_.DeplacerDepart(c, l);
            break;
        case Outil::Autotuilage:
            // The cells each step changes go into the stroke: one undo.
            if (debut)
                document_.DebutTrait();
            for (const CaseChangee& k : Autotuiler(n, c, l, matiere_))
                document_.PeindreCase(k.Colonne, k.Ligne, k.Caractere);
            break;
        case Outil::Rectangle:
            break;
        }
    }

    void Editeur::FinirRectangle(int c, int l)
    {
        rectangle_ = false;
        const EntreePalette& e = Palette()[choix_];
        if (!e.Utilisable || e.Depart)
        {
            Statut("choose a tile, empty or a bonus to fill the rectangle with");
            return;
        }
        document_.Rectangle(rectC_, rectL_, c, l, Contenu());
    }

    void Editeur::Choisir(size_t entree)
    {
        choix_ = entree;
        const EntreePalette& e = Palette()[entree];
        Autotuile::Matiere matiere;
        if (e.Depart)
            ChoisirOutil(Outil::Depart);
        else if (outil_ == Outil::Autotuilage && MatiereDeCase(e.Caractere, matiere))
        {
            matiere_ = matiere;
            Statut(e.Nom + ": autotile paints " + NomMatiere(matiere_));
            return;
        }
        else if (outil_ == Outil::Depart || outil_ == Outil::Gomme || outil_ == Outil::Autotuilage)
            ChoisirOutil(Outil::Crayon);
        Statut(e.Nom);
    }

    void Editeur::ChoisirOutil(Outil outil)
    {
        outil_ = outil;
        rectangle_ = false;
        if (outil == Outil::Depart)
            choix_ = Palette().size() - 1;
        else if (Palette()[choix_].Depart)
            choix_ = 1;
        Autotuile::Matiere matiere;
        if (outil == Outil::Autotuilage && MatiereDeCase(Palette()[choix_].Caractere, matiere))
            matiere_ = matiere;
        Statut(std::string("tool: ") + DescriptionDe(outil).Nom +
               (outil == Outil::Autotuilage ? std::string(", ") + NomMatiere(matiere_) + " (u: next material)" : ""));
    }

    void Editeur::Pipette(int c, int l)
    {
        const Niveau& n = document_.Courant();
        if (!n.Dedans(c, l))
            return;
        const char k = n.Case(c, l);
        for (size_t i = 0; i < Palette().size(); ++i)
            if (!Palette()[i].Depart && Palette()[i].Caractere == k && Palette()[i].Utilisable)
            {
                Choisir(i);
                return;
            }
        Statut("an unset cell: nothing to pick");
    }

    void Editeur::Redimensionner(Bord bord, int nombre)
    {
        std::string raison;
        if (!document_.Redimensionner(bord, nombre, &raison))
        {
            Statut(raison);
            return;
        }
        const Niveau& n = document_.Courant();
        curseurC_ = std::min(curseurC_, n.Largeur - 1);
        curseurL_ = std::min(curseurL_, n.Hauteur - 1);
        // Added at the left or top, the cells in view stay where they were.
        if (bord == Bord::Gauche)
            vue_.OrigineX += nombre * Case;
        if (bord == Bord::Haut)
            vue_.OrigineY += nombre * Case;
        vue_.Borner(n.Largeur, n.Hauteur);
        Statut("level " + std::to_string(n.Largeur) + " x " + std::to_string(n.Hauteur));
    }

    void Editeur::DemanderQuitter()
    {
        if (NonEnregistre())
            dialogue_ = Dialogue::Quitter;
        else
            fin_ = true;
    }

    bool Editeur::Enregistrer(const std::string& chemin)
    {
        std::string erreur;
        if (!EnregistrerAtomique(chemin, EcrireCarte(document_.Courant(), format_), true, erreur))
        {
            std::fprintf(stderr, "corvella-editeur: save failed: %s\n", erreur.c_str());
            MontrerMessages({"Save failed: " + erreur,
                             "The file on disk is as it was; every change is still here.",
                             "Free some room or save elsewhere (ctrl + shift + s)."});
            return false;
        }
        if (chemin != chemin_)
        {
            // The changes saved aside are now in the new file.
            SupprimerAutosave(chemin_);
            chemin_ = chemin;
        }
        document_.MarquerEnregistre();
        nouveau_ = false;
        revisionTitre_ = ~0ull;
        SupprimerAutosave(chemin_);
        revisionAutosave_ = document_.Revision();
        Statut("saved " + chemin_ + " (the previous version is " + Base(chemin_) + "~)");
        std::printf("saved %s\n", chemin_.c_str());
        std::fflush(stdout);
        return true;
    }

    void Editeur::Autosave()
    {
        const Uint32 maintenant = Horloge::Ticks();
        if (!NonEnregistre() || document_.Revision() == revisionAutosave_)
        {
            dernierAutosave_ = maintenant;
            return;
        }
        if (maintenant - dernierAutosave_ < PeriodeAutosave)
            return;
        dernierAutosave_ = maintenant;
        std::string erreur;
        if (EnregistrerAtomique(CheminAutosave(chemin_), EcrireCarte(document_.Courant(), format_), false, erreur))
        {
            revisionAutosave_ = document_.Revision();
            Statut("autosaved to " + Base(CheminAutosave(chemin_)));
        }
        else
            Statut("autosave failed: " + erreur);
    }

    void Editeur::Jouer(bool depuisCurseur)
    {
        document_.FinTrait();
        trace_ = rectangle_ = glisse_ = false;
        Niveau n = document_.Courant();
        if (depuisCurseur)
            n.DebutX = curseurC_ + 1, n.DebutY = curseurL_ + 1;
        std::printf("test play from column %d, row %d\n", n.DebutX, n.DebutY);
        std::fflush(stdout);
        const bool ferme = JouerNiveau(EcrireCarte(n, format_), modele_);
        std::printf("back to the editor\n");
        std::fflush(stdout);
        Projection();
        SDL_WM_SetCaption(("Corvella editor - " + chemin_ + (NonEnregistre() ? " *" : "")).c_str(), nullptr);
        if (ferme)
            DemanderQuitter();
    }

    void Editeur::Statut(const std::string& texte)
    {
        statut_ = texte;
        statutJusqua_ = Horloge::Ticks() + 4000;
    }

    void Editeur::MontrerMessages(const std::vector<std::string>& lignes)
    {
        messages_ = lignes;
        dialogue_ = Dialogue::Messages;
    }

    // --------------------------------------------------------------- drawing

    void Editeur::Projection()
    {
        largeur_ = Moteur.Ecran != nullptr ? Moteur.Ecran->w : 800;
        hauteur_ = Moteur.Ecran != nullptr ? Moteur.Ecran->h : 600;
        glViewport(0, 0, largeur_, hauteur_);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluOrtho2D(0, largeur_, hauteur_, 0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        vue_.LargeurZone = std::max(1, largeur_ - LargeurPanneau);
        vue_.HauteurZone = std::max(1, hauteur_ - HauteurEtat);
        vue_.Borner(document_.Courant().Largeur, document_.Courant().Hauteur);
    }

    void Editeur::MettreAJourTitre()
    {
        if (revisionTitre_ == document_.Revision())
            return;
        revisionTitre_ = document_.Revision();
        const std::string titre = "Corvella editor - " + chemin_ + (NonEnregistre() ? " *" : "");
        SDL_WM_SetCaption(titre.c_str(), nullptr);
    }

    bool Editeur::DansCarte(int x, int y) const
    {
        return x >= 0 && y >= 0 && x < vue_.LargeurZone && y < vue_.HauteurZone;
    }

    int Editeur::EntreeSous(int x, int y) const
    {
        const int x0 = vue_.LargeurZone + 4;
        if (x < x0 || y < HautPalette)
            return -1;
        const int colonne = (x - x0) / Pas, ligne = (y - HautPalette) / Pas;
        if (colonne >= ColonnesPalette || (x - x0) % Pas >= Icone || (y - HautPalette) % Pas >= Icone)
            return -1;
        const size_t i = static_cast<size_t>(ligne * ColonnesPalette + colonne);
        return i < Palette().size() ? static_cast<int>(i) : -1;
    }

    void Editeur::Dessiner()
    {
        Moteur.DebutDessin();
        // The game's backdrop, stretched over the window as the game stretches
        // its 800 x 600 view.
        const double sx = largeur_ / 800.0, sy = hauteur_ / 600.0;
        Moteur.AfficheTexture(ImgArrierePlan, 0, 0, largeur_, hauteur_, 255, 255, 255, false, 255);
        Moteur.AfficheTexture(ImgMotifArrierePlan, static_cast<int>(300 * sx), static_cast<int>(300 * sy),
                              static_cast<int>(100 * sx), static_cast<int>(100 * sy), 255, 255, 255, false, 255);
        DessineNiveau();
        DessinePalette();
        DessineLigneEtat();
        if (liste_)
            DessineListe();
        DessineInfobulle();
        if (aide_)
            DessineAide();
        DessineDialogue();
    }

    void Editeur::DessineNiveau()
    {
        const Niveau& n = document_.Courant();
        glEnable(GL_SCISSOR_TEST);
        glScissor(0, hauteur_ - vue_.HauteurZone, vue_.LargeurZone, vue_.HauteurZone);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        PlacerVue(vue_);

        // The cells in view only.
        const CasesEnVue zone = CasesVisibles(n, vue_);
        if (zone.Nombre() <= CasesDetaillees)
            DessinerCases(n, zone, Horloge::Ticks());
        else
            DessineApercu();
        // The bonus counter the game writes at map position (100, 100).
        if (revisionBonus_ != document_.Revision())
        {
            revisionBonus_ = document_.Revision();
            nombreBonus_ = static_cast<int>(std::count_if(n.Cases.begin(), n.Cases.end(),
                                                          [](char k) { return BonusDeCase(k) != 0; }));
        }
        DessinerCompteur(nombreBonus_);

        DessineCalques(zone);
        glPopMatrix();
        glDisable(GL_SCISSOR_TEST);
    }

    void Editeur::DessineApercu()
    {
        const Niveau& n = document_.Courant();
        if (couleurs_.empty())
        {
            // The average colour of each tile's image, read back once.
            couleurs_.assign((CMap::NbCodes + CMap::NbTypesBonus) * 4, 0);
            auto moyenne = [&](unsigned int id, unsigned char* rgba)
            {
                if (id >= Moteur.Sprites.size() || Moteur.Sprites[id].Texture == 0)
                    return;
                const CMoteur::CSprite& s = Moteur.Sprites[id];
                std::vector<unsigned char> pixels(static_cast<size_t>(std::max(1, s.LargeurImage)) *
                                                  static_cast<size_t>(std::max(1, s.HauteurImage)) * 4);
                glBindTexture(GL_TEXTURE_2D, s.Texture);
                glPixelStorei(GL_PACK_ALIGNMENT, 1);
                glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
                // Colours weighted by their coverage; the alpha is the coverage.
                double somme[3] = {0, 0, 0}, couverture = 0;
                for (size_t i = 0; i < pixels.size(); i += 4)
                {
                    const double a = pixels[i + 3] / 255.0;
                    for (int k = 0; k < 3; ++k)
                        somme[k] += pixels[i + k] * a;
                    couverture += a;
                }
                for (int k = 0; k < 3; ++k)
                    rgba[k] = static_cast<unsigned char>(couverture > 0 ? std::min(255.0, somme[k] / couverture) : 0);
                rgba[3] = static_cast<unsigned char>(255.0 * couverture / static_cast<double>(pixels.size() / 4));
            };
            for (int code = 2; code < CMap::NbCodes; ++code)
                moyenne(Map.ImgCases[code], &couleurs_[static_cast<size_t>(code) * 4]);
            for (int type = 1; type <= CMap::NbTypesBonus; ++type)
                moyenne(Map.ImgBonus[type - 1][0], &couleurs_[static_cast<size_t>(CMap::NbCodes + type - 1) * 4]);
            // An unset cell: dark red, as it is crossed out up close.
            unsigned char* rouge = &couleurs_[0];
            rouge[0] = 140, rouge[1] = 20, rouge[2] = 20, rouge[3] = 255;
            glBindTexture(GL_TEXTURE_2D, 0);
        }
        if (revisionApercu_ != document_.Revision() || apercu_ == 0)
        {
            revisionApercu_ = document_.Revision();
            GLint maximum = 2048;
            glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maximum);
            apercuPas_ = 1;
            while ((n.Largeur + apercuPas_ - 1) / apercuPas_ > maximum || (n.Hauteur + apercuPas_ - 1) / apercuPas_ > maximum)
                ++apercuPas_;
            apercuLargeur_ = (n.Largeur + apercuPas_ - 1) / apercuPas_;
            apercuHauteur_ = (n.Hauteur + apercuPas_ - 1) / apercuPas_;
            std::vector<unsigned char> texels(static_cast<size_t>(apercuLargeur_) * apercuHauteur_ * 4, 0);
            for (int l = 0; l < n.Hauteur; l += apercuPas_)
                for (int c = 0; c < n.Largeur; c += apercuPas_)
                {
                    const char k = n.Case(c, l);
                    const int bonus = BonusDeCase(k);
                    const size_t i = bonus != 0 ? static_cast<size_t>(CMap::NbCodes + bonus - 1) : static_cast<size_t>(CodeDeCase(k));
                    std::copy_n(&couleurs_[i * 4], 4,
                                &texels[(static_cast<size_t>(l / apercuPas_) * apercuLargeur_ + c / apercuPas_) * 4]);
                }
            ChargerTexels(apercu_, apercuLargeur_, apercuHauteur_, texels, GL_LINEAR);
        }
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glBindTexture(GL_TEXTURE_2D, apercu_);
        const double w = static_cast<double>(apercuLargeur_) * apercuPas_ * Case;
        const double h = static_cast<double>(apercuHauteur_) * apercuPas_ * Case;
        glBegin(GL_QUADS);
        glColor4ub(255, 255, 255, 255);
        glTexCoord2d(0, 1);
        glVertex2d(0, h);
        glTexCoord2d(0, 0);
        glVertex2d(0, 0);
        glTexCoord2d(1, 0);
        glVertex2d(w, 0);
        glTexCoord2d(1, 1);
        glVertex2d(w, h);
        glEnd();
        glDisable(GL_BLEND);
        glDisable(GL_TEXTURE_2D);
    }

    // What the editor draws over the level, in map pixels. More layers (the
    // checker's findings, where the player can go) go here, over the level and
    // under the pointer's marks.
    void Editeur::DessineCalques(const CasesEnVue& zone)
    {
        const Niveau& n = document_.Courant();
        const double px = 1.0 / vue_.Zoom;  // one screen pixel
        const int c0 = zone.C0, l0 = zone.L0, c1 = zone.C1, l1 = zone.L1;
        const long long enVue = zone.Nombre();

        // Unset cells: an invisible wall in the game, crossed out here.
        if (enVue <= CasesDetaillees)
        {
            glEnable(GL_BLEND);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
            glLineWidth(2.0f);
            glBegin(GL_LINES);
            glColor4ub(200, 30, 30, 220);
            for (int c = c0; c <= c1; ++c)
                for (int l = l0; l <= l1; ++l)
                    if (n.Case(c, l) == CaseNonDefinie)
                    {
                        glVertex2d(c * Case + 8, l * Case + 8);
                        glVertex2d(c * Case + 56, l * Case + 56);
                        glVertex2d(c * Case + 56, l * Case + 8);
                        glVertex2d(c * Case + 8, l * Case + 56);
                    }
            glEnd();
            glLineWidth(1.0f);
            glDisable(GL_BLEND);
        }

        if (calqueAtteinte_)
            DessineAtteinte();
        DessineMarques(zone);

        if (grille_ && Case * vue_.Zoom >= 6)
        {
            glEnable(GL_BLEND);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
            glBegin(GL_LINES);
            glColor4ub(255, 255, 255, 90);
            for (int c = c0; c <= c1 + 1; ++c)
            {
                glVertex2d(c * Case, l0 * Case);
                glVertex2d(c * Case, (l1 + 1) * Case);
            }
            for (int l = l0; l <= l1 + 1; ++l)
            {
                glVertex2d(c0 * Case, l * Case);
                glVertex2d((c1 + 1) * Case, l * Case);
            }
            glEnd();
            glDisable(GL_BLEND);
        }

        // The level's edge.
        DessineCadre(-2 * px, -2 * px, n.Largeur * Case + 4 * px, n.Hauteur * Case + 4 * px, 2 * px, 0, 0, 0, 160);

        // The start cell.
        DessineCadre((n.DebutX - 1) * Case, (n.DebutY - 1) * Case, Case, Case, std::max(3 * px, 4.0), 255, 0, 255, 255);

        // The rectangle being drawn, then the cell the tools act on.
        if (rectangle_)
        {
            const int ca = std::min(rectC_, curseurC_), cb = std::max(rectC_, curseurC_);
            const int la = std::min(rectL_, curseurL_), lb = std::max(rectL_, curseurL_);
            DessineCadre(ca * Case, la * Case, (cb - ca + 1) * Case, (lb - la + 1) * Case, 3 * px, 255, 220, 0, 255);
        }
        if (n.Dedans(curseurC_, curseurL_))
            DessineCadre(curseurC_ * Case, curseurL_ * Case, Case, Case, 2 * px, 255, 255, 255, 200);
    }

    void Editeur::DessinePalette()
    {
        const int x0 = vue_.LargeurZone;
        DessineRectangle(x0, 0, LargeurPanneau, hauteur_, 30, 32, 40, 235);
        DessineTexteEcran("PALETTE", x0 + 8, 12, 16, 255, 255, 255);
        const int t = Icone;
        for (size_t i = 0; i < Palette().size(); ++i)
        {
            const EntreePalette& e = Palette()[i];
            const int x = x0 + 4 + static_cast<int>(i % ColonnesPalette) * Pas;
            const int y = HautPalette + static_cast<int>(i / ColonnesPalette) * Pas;
            DessineRectangle(x, y, t, t, 70, 90, 120, 255);
            const int code = CodeDeCase(e.Caractere);
            const unsigned char gris = e.Utilisable ? 255 : 90;
            if (e.Depart)
                DessineCadre(x + 6, y + 6, t - 12, t - 12, 4, 255, 0, 255, 255);
            else if (BonusDeCase(e.Caractere) != 0)
                Moteur.AfficheTexture(Map.ImgBonus[BonusDeCase(e.Caractere) - 1][0], x, y, t, t, 255, 255, 255, false, 255);
            else if (!e.Utilisable)
                Moteur.AfficheTexture(Map.ImgCases[4], x, y, t, t, gris, gris, gris, false, 255);
            else if (code > 1)
                Moteur.AfficheTexture(Map.ImgCases[code], x, y, t, t, 255, 255, 255, false, 255);
            if (i == choix_)
                DessineCadre(x - 3, y - 3, t + 6, t + 6, 3, 255, 220, 0, 255);
        }
        // The entry chosen, then the tools with their keys.
        const int yNom = HautPalette + static_cast<int>((Palette().size() + ColonnesPalette - 1) / ColonnesPalette) * Pas + 6;
        // The autotile tool paints a material, whatever the entry's tile.
        const std::vector<std::string> nom =
            outil_ == Outil::Autotuilage ? std::vector<std::string>{"autotile paints", NomMatiere(matiere_)}
                                         : Couper(Palette()[choix_].Nom, 15);
        for (size_t i = 0; i < nom.size() && i < 2; ++i)
            DessineTexteEcran(nom[i], x0 + 8, yNom + static_cast<int>(i) * 16, 14, 255, 220, 0);
        int y = yNom + 36;
        for (const DescriptionOutil& d : Outils())
        {
            const bool actif = d.Id == outil_;
            if (actif)
                DessineRectangle(x0 + 4, y - 1, LargeurPanneau - 8, 16, 255, 220, 0, 70);
            DessineTexteEcran(std::string(1, static_cast<char>(d.Touche - 'a' + 'A')) + " " + d.Nom, x0 + 8, y, 14,
                              255, 255, 255);
            y += 16;
        }
        DessineTexteEcran("F1 HELP", x0 + 8, y + 4, 14, 180, 200, 255);
    }

    void Editeur::DessineLigneEtat()
    {
        const Niveau& n = document_.Courant();
        const int y = hauteur_ - HauteurEtat;
        DessineRectangle(0, y, vue_.LargeurZone, HauteurEtat, 20, 22, 28, 235);
        std::string texte;
        int c = -1, l = -1;
        if (sourisX_ >= 0 && DansCarte(sourisX_, sourisY_))
            vue_.CaseSous(sourisX_, sourisY_, c, l);
        if (!n.Dedans(c, l))
            c = curseurC_, l = curseurL_;
        if (n.Dedans(c, l))
        {
            const char k = n.Case(c, l);
            texte = "col " + std::to_string(c + 1) + " row " + std::to_string(l + 1) + "  " + NomDeCase(k) + "  " +
                    (k == CaseNonDefinie ? std::string("no character") : "'" + std::string(1, k) + "'");
        }
        texte += "   " + std::to_string(n.Largeur) + "x" + std::to_string(n.Hauteur) + "  zoom " +
                 std::to_string(static_cast<int>(std::lround(vue_.Zoom * 100))) + "%";
        if (NonEnregistre())
            texte += "  *";
        DessineTexteEcran(texte, 6, y + 6, 14, 255, 255, 255);
        // The live check, at the right end.
        using EtatAnalyse = AnalyseCarte::AnalyseVivante::Etat;
        const EtatAnalyse etat = analyse_.EtatActuel();
        const bool aJour = analyse_.NumeroResultat() == analyse_.NumeroDemande() && etat == EtatAnalyse::Prete;
        std::string analyse = TexteAnalyse(etat, analyse_.Resultat(), aJour, analyse_.Erreur());
        if (analyse.size() > 60)
            analyse = analyse.substr(0, 57) + "...";
        // At the right end of the line, or just above it when the line is full.
        int xAnalyse = vue_.LargeurZone - LargeurTexte(analyse, 14) - 8, yAnalyse = y + 6;
        if (xAnalyse < LargeurTexte(texte, 14) + 30)
        {
            yAnalyse = y - 19;
            DessineRectangle(xAnalyse - 6, y - 24, LargeurTexte(analyse, 14) + 12, 24, 0, 0, 0, 170);
        }
        const bool rien = aJour && analyse_.Resultat().Avertissements() == 0 && !analyse_.Resultat().Partielle();
        if (etat == EtatAnalyse::Echec)
            DessineTexteEcran(analyse, xAnalyse, yAnalyse, 14, 255, 80, 80);
        else if (!aJour)
            DessineTexteEcran(analyse, xAnalyse, yAnalyse, 14, 200, 200, 200);
        else if (rien)
            DessineTexteEcran(analyse, xAnalyse, yAnalyse, 14, 120, 255, 140);
        else
            DessineTexteEcran(analyse, xAnalyse, yAnalyse, 14, 255, 160, 40);
        if (calqueAtteinte_)
        {
            // The overlay's legend, at the map's top right.
            const std::string legende = atteinte_.Partielle ? "REACHABLE: PARTIAL, the search stopped at its bound"
                                        : atteinte_.Recherche ? "REACHABLE FROM THE START (v: hide)"
                                                               : "REACHABLE: no search yet";
            const int w = LargeurTexte(legende, 14) + 16;
            DessineRectangle(vue_.LargeurZone - w - 8, 8, w, 26, 0, 40, 10, 210);
            DessineTexteEcran(legende, vue_.LargeurZone - w, 14, 14, atteinte_.Partielle ? 255 : 120,
                              atteinte_.Partielle ? 200 : 255, atteinte_.Partielle ? 60 : 140);
        }
        if (!statut_.empty() && Horloge::Ticks() < statutJusqua_)
        {
            const std::string s = statut_.size() > 60 ? statut_.substr(0, 57) + "..." : statut_;
            DessineRectangle(0, y - 24, LargeurTexte(s, 14) + 12, 24, 0, 0, 0, 170);
            DessineTexteEcran(s, 6, y - 19, 14, 255, 220, 0);
        }
    }

    void Editeur::DessineBoite(const std::vector<std::string>& lignes, int taille)
    {
        size_t largeur = 1;
        for (const std::string& l : lignes)
            largeur = std::max(largeur, l.size());
        // Smaller letters rather than text off the window.
        taille = std::max(6, std::min({taille, (largeur_ - 40) / static_cast<int>(largeur),
                                       (hauteur_ - 40) / static_cast<int>(lignes.size() + 1) - 6}));
        const int w = static_cast<int>(largeur) * taille + 32;
        const int h = static_cast<int>(lignes.size()) * (taille + 6) + 28;
        const int x = std::max(0, (largeur_ - w) / 2), y = std::max(0, (hauteur_ - h) / 2);
        DessineRectangle(x, y, w, h, 10, 12, 20, 235);
        DessineCadre(x, y, w, h, 2, 255, 220, 0, 255);
        for (size_t i = 0; i < lignes.size(); ++i)
            DessineTexteEcran(lignes[i], x + 16, y + 14 + static_cast<int>(i) * (taille + 6), taille, 255, 255, 255);
    }

    void Editeur::DessineAide()
    {
        std::vector<std::string> lignes(std::begin(Aide), std::end(Aide));
        DessineBoite(lignes, 14);
    }

    void Editeur::DessineDialogue()
    {
        const size_t colonnes = static_cast<size_t>(std::max(20, (largeur_ - 60) / 14));
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
                      Base(CheminAutosave(chemin_)), "", "Y: restore it", "N: keep the file as it is"};
            break;
        case Dialogue::EnregistrerSous:
            lignes = {"Save as:"};
            for (const std::string& l : Couper(saisie_ + "_", colonnes))
                lignes.push_back(l);
            lignes.push_back("");
            lignes.push_back("Enter: save   Escape: cancel");
            break;
        }
        DessineBoite(lignes, 14);
    }

    // ------------------------------------------------------------ live check

    void Editeur::Analyser()
    {
        const Niveau& n = document_.Courant();
        if (revisionAnalyse_ != document_.Revision())
        {
            // An edit: the level as it would be saved, analysed afresh (a
            // check still running for the level before is stopped).
            revisionAnalyse_ = document_.Revision();
            demande_ = std::chrono::steady_clock::now();
            analyse_.Demander(EcrireCarte(n, format_));
        }
        const AnalyseCarte::AnalyseVivante::Etat avant = analyse_.EtatActuel();
        const AnalyseCarte::AnalyseVivante::Etat etat = analyse_.Sonder();
        if (etat == AnalyseCarte::AnalyseVivante::Etat::Echec && avant != etat)
        {
            std::printf("check failed: %s\n", analyse_.Erreur().c_str());
            std::fflush(stdout);
        }
        if (analyse_.NumeroResultat() == numeroVu_)
            return;
        numeroVu_ = analyse_.NumeroResultat();
        const AnalyseCarte::Rapport& r = analyse_.Resultat();
        marques_ = Marques(r, n.Largeur, n.Hauteur);
        sansCase_ = r.Constats.size() - marques_.size();
        atteinte_ = AtteinteDe(r, n.Largeur, n.Hauteur);
        texAtteinteAJour_ = false;
        marqueChoisie_ = std::min(marqueChoisie_, marques_.empty() ? 0 : marques_.size() - 1);
        // For the designer's terminal, the tests and the measurements: the
        // time from the edit to its findings on screen.
        std::printf("check: %zu findings, %zu lost bonuses%s, %.0f ms after the edit\n", r.Avertissements(),
                    atteinte_.Perdus.size(), r.Partielle() ? ", partial" : "",
                    std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - demande_).count());
        std::fflush(stdout);
    }

    void Editeur::AllerAuConstat(size_t marque)
    {
        if (marque >= marques_.size())
            return;
        marqueChoisie_ = marque;
        const Marque& m = marques_[marque];
        const Niveau& n = document_.Courant();
        if (n.Dedans(m.Colonne, m.Ligne))
        {
            curseurC_ = m.Colonne, curseurL_ = m.Ligne;
            vue_.MontrerCase(m.Colonne, m.Ligne, n.Largeur, n.Hauteur);
        }
        Statut(m.Message);
    }

    namespace
    {
        // The findings panel: at the map's top left, a line a finding.
        const int ListeX = 8, ListeY = 8, ListeLigne = 18, ListeTaille = 12;

        int LignesListe(int hauteurZone)
        {
            return std::max(1, (hauteurZone - ListeY - 40) / ListeLigne - 2);
        }
        // The first finding shown, so that the chosen one is in the panel.
        size_t PremiereLigne(size_t choisie, size_t lignes)
        {
            return choisie < lignes ? 0 : choisie - lignes + 1;
        }
    }

    bool Editeur::DansListe(int x, int y) const
    {
        const size_t montrees = std::min(static_cast<size_t>(LignesListe(vue_.HauteurZone)), marques_.size());
        const int largeur = std::max(200, vue_.LargeurZone - 2 * ListeX);
        const int hauteur = 24 + static_cast<int>(std::max<size_t>(montrees, 1)) * ListeLigne + 24;
        return x >= ListeX && y >= ListeY && x < ListeX + largeur && y < ListeY + hauteur;
    }

    int Editeur::ConstatSous(int x, int y) const
    {
        const int lignes = LignesListe(vue_.HauteurZone);
        const int largeur = std::max(200, vue_.LargeurZone - 2 * ListeX);
        const int rang = (y - ListeY - 24) / ListeLigne;
        if (x < ListeX || x >= ListeX + largeur || y < ListeY + 24 || rang >= lignes)
            return -1;
        const size_t i = PremiereLigne(marqueChoisie_, static_cast<size_t>(lignes)) + static_cast<size_t>(rang);
        return i < marques_.size() ? static_cast<int>(i) : -1;
    }

    void Editeur::DessineListe()
    {
        const size_t lignes = static_cast<size_t>(LignesListe(vue_.HauteurZone));
        const size_t montrees = std::min(lignes, marques_.size());
        const int largeur = std::max(200, vue_.LargeurZone - 2 * ListeX);
        const int hauteur = 24 + static_cast<int>(std::max<size_t>(montrees, 1)) * ListeLigne + 24; // as DansListe
        DessineRectangle(ListeX, ListeY, largeur, hauteur, 10, 12, 20, 225);
        DessineCadre(ListeX, ListeY, largeur, hauteur, 2, 255, 140, 0, 255);
        DessineTexteEcran("FINDINGS " + std::to_string(marques_.size()) +
                              (sansCase_ > 0 ? "   (" + std::to_string(sansCase_) + " about no cell: corvella-carte check)" : ""),
                          ListeX + 8, ListeY + 6, 14, 255, 200, 120);
        const size_t premiere = PremiereLigne(marqueChoisie_, lignes);
        const size_t colonnes = static_cast<size_t>(std::max(20, (largeur - 16) / ListeTaille));
        if (marques_.empty())
            DessineTexteEcran("none", ListeX + 8, ListeY + 24, ListeTaille, 200, 255, 200);
        for (size_t i = premiere; i < marques_.size() && i < premiere + lignes; ++i)
        {
            const Marque& m = marques_[i];
            const int y = ListeY + 24 + static_cast<int>(i - premiere) * ListeLigne;
            if (i == marqueChoisie_)
                DessineRectangle(ListeX + 4, y - 2, largeur - 8, ListeLigne, 255, 140, 0, 80);
            std::string texte = std::to_string(m.Colonne + 1) + "," + std::to_string(m.Ligne + 1) + "  " + m.Message;
            if (texte.size() > colonnes)
                texte = texte.substr(0, colonnes - 3) + "...";
            DessineTexteEcran(texte, ListeX + 8, y, ListeTaille, m.Grave ? 255 : 170, m.Grave ? 255 : 200, 255);
        }
        DessineTexteEcran("click: go there   n: next   c: close", ListeX + 8, ListeY + hauteur - 20, 12, 180, 200,
                          255);
    }

    void Editeur::DessineInfobulle()
    {
        if (dialogue_ != Dialogue::Aucun || aide_ || sourisX_ < 0 || !DansCarte(sourisX_, sourisY_) ||
            (liste_ && ConstatSous(sourisX_, sourisY_) >= 0))
            return;
        int c, l;
        vue_.CaseSous(sourisX_, sourisY_, c, l);
        const size_t colonnes = static_cast<size_t>(std::max(20, (largeur_ / 2) / 12));
        std::vector<std::string> lignes;
        for (size_t i : MarquesEn(marques_, c, l))
            for (const std::string& ligne : Couper(marques_[i].Message + " [" + marques_[i].Genre + "]", colonnes))
                lignes.push_back(ligne);
        if (lignes.empty())
            return;
        if (lignes.size() > 12)
            lignes.resize(12);
        size_t largeur = 0;
        for (const std::string& ligne : lignes)
            largeur = std::max(largeur, static_cast<size_t>(LargeurTexte(ligne, 12)));
        const int w = static_cast<int>(largeur) + 16, h = static_cast<int>(lignes.size()) * 16 + 10;
        const int x = std::max(0, std::min(sourisX_ + 16, largeur_ - w));
        const int y = std::max(0, std::min(sourisY_ + 20, hauteur_ - h));
        DessineRectangle(x, y, w, h, 40, 20, 0, 235);
        DessineCadre(x, y, w, h, 1, 255, 140, 0, 255);
        for (size_t i = 0; i < lignes.size(); ++i)
            DessineTexteEcran(lignes[i], x + 8, y + 6 + static_cast<int>(i) * 16, 12, 255, 230, 200);
    }

    // The reachability overlay, in map pixels: one texel a cell (a block of
    // cells on a level wider than a texture), drawn as one quad.
    void Editeur::DessineAtteinte()
    {
        const Niveau& n = document_.Courant();
        if (atteinte_.Largeur != n.Largeur || atteinte_.Hauteur != n.Hauteur || !atteinte_.Recherche)
            return;
        if (!texAtteinteAJour_ || texAtteinte_ == 0)
        {
            texAtteinteAJour_ = true;
            GLint maximum = 2048;
            glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maximum);
            atteintePas_ = 1;
            while ((n.Largeur + atteintePas_ - 1) / atteintePas_ > maximum ||
                   (n.Hauteur + atteintePas_ - 1) / atteintePas_ > maximum)
                ++atteintePas_;
            const int w = (n.Largeur + atteintePas_ - 1) / atteintePas_;
            const int h = (n.Hauteur + atteintePas_ - 1) / atteintePas_;
            std::vector<unsigned char> texels(static_cast<size_t>(w) * h * 4, 0);
            for (int l = 0; l < n.Hauteur; ++l)
                for (int c = 0; c < n.Largeur; ++c)
                {
                    unsigned char* t = &texels[(static_cast<size_t>(l / atteintePas_) * w + c / atteintePas_) * 4];
                    const Atteinte::Cellule e = atteinte_.En(c, l);
                    // Reached: green. Open and never reached: dark. A block
                    // with any reached cell is reached.
                    if (e == Atteinte::Traversee)
                        t[0] = 40, t[1] = 230, t[2] = 90, t[3] = 110;
                    else if (e == Atteinte::NonAtteinte && t[3] == 0)
                        t[0] = 20, t[1] = 0, t[2] = 40, t[3] = 120;
                }
            ChargerTexels(texAtteinte_, w, h, texels, GL_NEAREST);
        }
        GLint w = 0, h = 0;
        glBindTexture(GL_TEXTURE_2D, texAtteinte_);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        const double x1 = static_cast<double>(w) * atteintePas_ * Case, y1 = static_cast<double>(h) * atteintePas_ * Case;
        glBegin(GL_QUADS);
        glColor4ub(255, 255, 255, 255);
        glTexCoord2d(0, 0);
        glVertex2d(0, 0);
        glTexCoord2d(1, 0);
        glVertex2d(x1, 0);
        glTexCoord2d(1, 1);
        glVertex2d(x1, y1);
        glTexCoord2d(0, 1);
        glVertex2d(0, y1);
        glEnd();
        glDisable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, 0);

        // Bonuses nobody can take: crossed out in red (walled in: in purple).
        const double px = 1.0 / vue_.Zoom;
        const double m = std::max(6 * px, 6.0);
        glLineWidth(3.0f);
        glBegin(GL_LINES);
        for (const Atteinte::BonusPerdu& b : atteinte_.Perdus)
        {
            if (b.Enfoui)
                glColor4ub(200, 60, 255, 255);
            else
                glColor4ub(255, 30, 30, 255);
            const double x = b.Colonne * Case, y = b.Ligne * Case;
            glVertex2d(x + m, y + m);
            glVertex2d(x + Case - m, y + Case - m);
            glVertex2d(x + Case - m, y + m);
            glVertex2d(x + m, y + Case - m);
        }
        glEnd();
        glLineWidth(1.0f);
        glDisable(GL_BLEND);
    }

    // The findings at their cells: an orange diamond for a warning (blue for a
    // note), never smaller than a few screen pixels.
    void Editeur::DessineMarques(const CasesEnVue& zone)
    {
        if (marques_.empty())
            return;
        const double px = 1.0 / vue_.Zoom;
        const double r = std::max(Case * 0.22, 7 * px);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        for (int passe = 0; passe < 2; ++passe)
        {
            // A dark outline, then the colour.
            const double t = passe == 0 ? r + 2.5 * px : r;
            glBegin(GL_QUADS);
            for (size_t i = 0; i < marques_.size(); ++i)
            {
                const Marque& m = marques_[i];
                if (m.Colonne < zone.C0 || m.Colonne > zone.C1 || m.Ligne < zone.L0 || m.Ligne > zone.L1)
                    continue;
                if (passe == 0)
                    glColor4ub(0, 0, 0, 230);
                else if (m.Grave)
                    glColor4ub(255, 120, 0, 255);
                else
                    glColor4ub(80, 170, 255, 255);
                const double x = (m.Colonne + 0.5) * Case, y = (m.Ligne + 0.5) * Case;
                glVertex2d(x, y - t);
                glVertex2d(x + t, y);
                glVertex2d(x, y + t);
                glVertex2d(x - t, y);
            }
            glEnd();
        }
        glDisable(GL_BLEND);
    }

    void Editeur::PleinEcran()
    {
        // The editor's window is resizable and keeps its own size: full
        // screen through the engine's switch, and back to the editor's window.
        // The editor's own textures are let go first, in the context they
        // belong to (the switch may bring a new one, where their ids could
        // name the game's reloaded textures); they are made again when next drawn.
        if (apercu_ != 0)
            glDeleteTextures(1, &apercu_);
        if (texAtteinte_ != 0)
            glDeleteTextures(1, &texAtteinte_);
        apercu_ = texAtteinte_ = 0;
        couleurs_.clear();
        texAtteinteAJour_ = false;
        const bool plein = !Moteur.PleinEcran;
        if (!Moteur.ChangeMode(plein))
            Statut("the display refused the full screen mode");
        else if (!plein)
        {
            // The engine's window is 800 x 600: the editor's has its own size.
            Moteur.ResizeWindow(largeurFenetre_, hauteurFenetre_);
            if (Moteur.TexturesPerdues())
                Moteur.RechargeTextures();
        }
        // The switch queues resize events of its own: not the designer's.
        SDL_PumpEvents();
        SDL_Event e[16];
        while (SDL_PeepEvents(e, 16, SDL_GETEVENT, SDL_VIDEORESIZEMASK) > 0)
        {
        }
        Projection();
    }
}
