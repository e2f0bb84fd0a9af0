#include "Editeur.h"

#include "JeuEssai.h"
#include "JeuRoute.h"
#include "Peinture.h"
#include "main/Globales.h"
#include "outils/Horloge.h"

#include <GL/glu.h>
#include <SDL_opengl.h>
#include <algorithm>
#include <cstdio>

namespace Edition
{
    namespace
    {
        const double Case = CMap::TailleCase;
    }

    std::string Base(const std::string& chemin)
    {
        const size_t barre = chemin.rfind('/');
        return barre == std::string::npos ? chemin : chemin.substr(barre + 1);
    }

    const Editeur* Editeur::enCours_ = nullptr;

    Editeur::Editeur(CFichierEdite& fichier, const Ouverture& ouverture, const std::vector<AutosaveLaisse>& laisses,
                     int largeur, int hauteur)
        : session_(etat_, dialogues_, *this, fichier), largeurFenetre_(largeur), hauteurFenetre_(hauteur)
    {
        etat_.Chemin = fichier.Chemin();
        etat_.Format = ouverture.Format;
        etat_.Doc = Document(ouverture.Carte);
        panneaux_ = {&vueCarte_, &route_, &palette_, &ligneEtat_, &liste_, &infobulle_, &aide_, &dialogues_};
        std::vector<std::string> lignes;
        if (ouverture.Illisible)
        {
            lignes.push_back("The game cannot read this file as a level: the editor starts from a new one.");
            lignes.push_back("Saving over it asks first. The file holds:");
            for (const std::string& p : ouverture.Pertes)
                lignes.push_back("- " + p);
        }
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
        session_.Offrir(laisses);
        if (!lignes.empty())
            dialogues_.Montrer(lignes);
        // A new file counts as unsaved until it is written.
        etat_.Nouveau = ouverture.Nouveau;
    }

    int Editeur::Executer()
    {
        modele_.LoadTexPerso("Principal (copie)");
        Projection();
        const Niveau& n = etat_.Doc.Courant();
        etat_.VueNiveau.Ouvrir(n.Largeur, n.Hauteur, n.DebutX - 1, n.DebutY - 1);
        SessionFichier::InstallerSignaux();
        enCours_ = this;
        if (etat_.Nouveau)
            ligneEtat_.Message("new level: it is saved to " + etat_.Chemin, 5000);
        while (!fin_)
        {
            SDL_Event e;
            while (SDL_PollEvent(&e))
                Traiter(e);
            if (session_.Tic())
                DemanderQuitter();
            Analyser();
            nettoyage_.Avancer();
            etat_.BilanNettoyage = nettoyage_.Texte();
            MettreAJourTitre();
            Dessiner();
            Moteur.FinDessin();
        }
        enCours_ = nullptr;
        return 0;
    }

    std::string Editeur::Octets() const
    {
        return EcrireCarte(etat_.Doc.Courant(), etat_.Format);
    }

    // ---------------------------------------------------------------- events

    void Editeur::Traiter(const SDL_Event& e)
    {
        if (e.type == SDL_MOUSEMOTION)
            etat_.SourisX = e.motion.x, etat_.SourisY = e.motion.y;
        for (auto p = panneaux_.rbegin(); p != panneaux_.rend(); ++p)
            if ((*p)->TraiteEvenement(e))
                return;
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
        default:
            break;
        }
    }

    void Editeur::TouchePressee(const SDL_keysym& touche)
    {
        const SDLKey k = touche.sym;
        const bool maj = (touche.mod & KMOD_SHIFT) != 0;

        if ((touche.mod & KMOD_CTRL) != 0)
        {
            switch (k)
            {
            case SDLK_z:
                if (maj ? etat_.Doc.Refaire() : etat_.Doc.Annuler())
                    Statut(maj ? "redone" : "undone");
                return;
            case SDLK_y:
                if (etat_.Doc.Refaire())
                    Statut("redone");
                return;
            case SDLK_s:
                if (maj)
                    dialogues_.EnregistrerSous(etat_.Chemin);
                else
                    Enregistrer(etat_.Chemin);
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

        for (const DescriptionOutil& d : Outils())
            if (k == static_cast<SDLKey>(d.Touche))
            {
                if (d.Id == Outil::Autotuilage && etat_.OutilActif == Outil::Autotuilage)
                {
                    // Again: the next material.
                    const std::vector<Autotuile::Matiere>& m = Matieres();
                    const size_t i = static_cast<size_t>(std::find(m.begin(), m.end(), etat_.Matiere) - m.begin());
                    etat_.Matiere = m[(i + 1) % m.size()];
                    Statut(std::string("autotile: ") + NomMatiere(etat_.Matiere));
                }
                else
                    ChoisirOutil(d.Id);
                return;
            }

        switch (k)
        {
        case SDLK_F5:
            Jouer(maj);
            break;
        case SDLK_F6:
            if (route_.Montree())
                JouerLaRoute(route_.Texte(), route_.RouteMontree());
            else
                Statut("no route drawn: w on a cell draws the way to it, then f6 plays it");
            break;
        case SDLK_F7:
            if (nettoyage_.Prete())
                JouerLaRoute(nettoyage_.TexteNiveau(), nettoyage_.RouteFaite());
            else
                Statut("the clear route is not worked out yet: " + nettoyage_.Texte());
            break;
        case SDLK_F11:
            // Each switch takes a while: a held key's repeats would switch
            // again and again, no frame ever reaching the screen.
            if (!f11Tenue_)
                PleinEcran();
            f11Tenue_ = true;
            break;
        case SDLK_LEFTBRACKET:
            Choisir((etat_.Choix + Palette().size() - 1) % Palette().size());
            break;
        case SDLK_RIGHTBRACKET:
            Choisir((etat_.Choix + 1) % Palette().size());
            break;
        case SDLK_i:
            Pipette(etat_.CurseurC, etat_.CurseurL);
            break;
        case SDLK_SPACE:
        case SDLK_RETURN:
            if (etat_.OutilActif == Outil::Rectangle)
            {
                if (etat_.Rectangle)
                    FinirRectangle(etat_.CurseurC, etat_.CurseurL);
                else
                    etat_.Rectangle = true, etat_.RectC = etat_.CurseurC, etat_.RectL = etat_.CurseurL;
            }
            else
            {
                Appliquer(etat_.CurseurC, etat_.CurseurL, true);
                etat_.Doc.FinTrait();
            }
            break;
        case SDLK_ESCAPE:
            etat_.Rectangle = false;
            break;
        default:
            break;
        }
    }

    // --------------------------------------------------------------- editing

    char Editeur::Contenu() const
    {
        if (etat_.OutilActif == Outil::Gomme)
            return ' ';
        return Palette()[etat_.Choix].Caractere;
    }

    void Editeur::Appliquer(int c, int l, bool debut)
    {
        Document& doc = etat_.Doc;
        const Niveau& n = doc.Courant();
        if (!n.Dedans(c, l))
            return;
        const EntreePalette& e = Palette()[etat_.Choix];
        const Outil outil = etat_.OutilActif;
        if (outil != Outil::Gomme && outil != Outil::Depart && outil != Outil::Autotuilage && !e.Utilisable)
        {
            Statut("the " + e.Nom + " has no character in the map file: the game cannot load it");
            return;
        }
        switch (outil)
        {
        case Outil::Crayon:
        case Outil::Gomme:
            if (debut)
                doc.DebutTrait();
            doc.PeindreCase(c, l, Contenu());
            break;
        case Outil::Remplissage:
            if (debut && !doc.Remplir(c, l, Contenu()))
                Statut("nothing to fill");
            break;
        case Outil::Remplacement:
            if (debut)
            {
                const char ancien = n.Case(c, l);
                if (doc.RemplacerTout(ancien, Contenu()))
                    Statut("every " + NomDeCase(ancien) + " is now " + NomDeCase(Contenu()));
            }
            break;
        case Outil::Depart:
            if (debut)
                doc.DeplacerDepart(c, l);
            break;
        case Outil::Autotuilage:
            // The cells each step changes go into the stroke: one undo.
            if (debut)
                doc.DebutTrait();
            for (const CaseChangee& k : Autotuiler(n, c, l, etat_.Matiere))
                doc.PeindreCase(k.Colonne, k.Ligne, k.Caractere);
            break;
        case Outil::Rectangle:
            break;
        }
    }

    void Editeur::FinirRectangle(int c, int l)
    {
        etat_.Rectangle = false;
        const EntreePalette& e = Palette()[etat_.Choix];
        if (!e.Utilisable || e.Depart)
        {
            Statut("choose a tile, empty or a bonus to fill the rectangle with");
            return;
        }
        etat_.Doc.Rectangle(etat_.RectC, etat_.RectL, c, l, Contenu());
    }

    void Editeur::Choisir(size_t entree)
    {
        etat_.Choix = entree;
        const EntreePalette& e = Palette()[entree];
        const Outil outil = etat_.OutilActif;
        Autotuile::Matiere matiere;
        if (e.Depart)
            ChoisirOutil(Outil::Depart);
        else if (outil == Outil::Autotuilage && MatiereDeCase(e.Caractere, matiere))
        {
            etat_.Matiere = matiere;
            Statut(e.Nom + ": autotile paints " + NomMatiere(etat_.Matiere));
            return;
        }
        else if (outil == Outil::Depart || outil == Outil::Gomme || outil == Outil::Autotuilage)
            ChoisirOutil(Outil::Crayon);
        Statut(e.Nom);
    }

    void Editeur::ChoisirOutil(Outil outil)
    {
        etat_.OutilActif = outil;
        etat_.Rectangle = false;
        if (outil == Outil::Depart)
            etat_.Choix = Palette().size() - 1;
        else if (Palette()[etat_.Choix].Depart)
            etat_.Choix = 1;
        Autotuile::Matiere matiere;
        if (outil == Outil::Autotuilage && MatiereDeCase(Palette()[etat_.Choix].Caractere, matiere))
            etat_.Matiere = matiere;
        Statut(std::string("tool: ") + DescriptionDe(outil).Nom +
               (outil == Outil::Autotuilage ? std::string(", ") + NomMatiere(etat_.Matiere) + " (u: next material)"
                                            : ""));
    }

    void Editeur::Pipette(int c, int l)
    {
        const Niveau& n = etat_.Doc.Courant();
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
        if (!etat_.Doc.Redimensionner(bord, nombre, &raison))
        {
            Statut(raison);
            return;
        }
        const Niveau& n = etat_.Doc.Courant();
        Vue& vue = etat_.VueNiveau;
        etat_.CurseurC = std::min(etat_.CurseurC, n.Largeur - 1);
        etat_.CurseurL = std::min(etat_.CurseurL, n.Hauteur - 1);
        // Added at the left or top, the cells in view stay where they were.
        if (bord == Bord::Gauche)
            vue.OrigineX += nombre * Case;
        if (bord == Bord::Haut)
            vue.OrigineY += nombre * Case;
        vue.Borner(n.Largeur, n.Hauteur);
        Statut("level " + std::to_string(n.Largeur) + " x " + std::to_string(n.Hauteur));
    }

    void Editeur::DemanderQuitter()
    {
        if (!etat_.NonEnregistre())
        {
            fin_ = true;
            return;
        }
        dialogues_.Demander({"This level has unsaved changes."},
                            {{SDLK_s, "S: save and quit", [this] { session_.Enregistrer(etat_.Chemin, true); }},
                             {SDLK_d, "D: quit without saving",
                              [this] {
                                  // Only this session's autosave goes: those of others stay offered.
                                  session_.Jeter();
                                  fin_ = true;
                              }},
                             {SDLK_ESCAPE, "Escape: go back to the editor", nullptr}});
    }

    void Editeur::Enregistrer(const std::string& chemin)
    {
        session_.Enregistrer(chemin, false);
    }

    void Editeur::Jouer(bool depuisCurseur)
    {
        etat_.Doc.FinTrait();
        vueCarte_.Interrompre();
        etat_.Rectangle = false;
        Niveau n = etat_.Doc.Courant();
        if (depuisCurseur)
            n.DebutX = etat_.CurseurC + 1, n.DebutY = etat_.CurseurL + 1;
        std::printf("test play from column %d, row %d\n", n.DebutX, n.DebutY);
        std::fflush(stdout);
        const bool ferme = JouerNiveau(EcrireCarte(n, etat_.Format), modele_);
        std::printf("back to the editor\n");
        std::fflush(stdout);
        Projection();
        titre_.clear();
        MettreAJourTitre();
        if (ferme)
            DemanderQuitter();
    }

    void Editeur::JouerLaRoute(const std::string& texte, const AnalyseCarte::Route& r)
    {
        etat_.Doc.FinTrait();
        vueCarte_.Interrompre();
        etat_.Rectangle = false;
        std::printf("route play\n");
        std::fflush(stdout);
        size_t prises = 0;
        const bool ferme = JouerRoute(texte, modele_, r.Changements, r.Fin, prises);
        std::printf("back to the editor\n");
        std::fflush(stdout);
        Projection();
        titre_.clear();
        MettreAJourTitre();
        Statut("the route took " + std::to_string(prises) + (prises == 1 ? " bonus" : " bonuses"));
        if (ferme)
            DemanderQuitter();
    }

    void Editeur::Statut(const std::string& texte)
    {
        ligneEtat_.Message(texte);
    }

    // --------------------------------------------------------------- drawing

    void Editeur::Projection()
    {
        const int largeur = Moteur.Ecran != nullptr ? Moteur.Ecran->w : 800;
        const int hauteur = Moteur.Ecran != nullptr ? Moteur.Ecran->h : 600;
        glViewport(0, 0, largeur, hauteur);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluOrtho2D(0, largeur, hauteur, 0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        etat_.Fenetre = Disposer(largeur, hauteur);
        etat_.VueNiveau.LargeurZone = etat_.Fenetre.Carte.Largeur;
        etat_.VueNiveau.HauteurZone = etat_.Fenetre.Carte.Hauteur;
        etat_.VueNiveau.Borner(etat_.Doc.Courant().Largeur, etat_.Doc.Courant().Hauteur);
    }

    void Editeur::MettreAJourTitre()
    {
        std::string titre = "Corvella editor - " + etat_.Chemin + (etat_.NonEnregistre() ? " *" : "");
        if (!etat_.AlerteDisque.empty())
            titre += " (" + etat_.AlerteDisque + ")";
        if (titre == titre_)
            return;
        titre_ = titre;
        SDL_WM_SetCaption(titre.c_str(), nullptr);
    }

    void Editeur::Dessiner()
    {
        Moteur.DebutDessin();
        // The game's backdrop, stretched over the window as the game stretches
        // its 800 x 600 view.
        const int largeur = etat_.Fenetre.Largeur, hauteur = etat_.Fenetre.Hauteur;
        const double sx = largeur / 800.0, sy = hauteur / 600.0;
        Moteur.AfficheTexture(ImgArrierePlan, 0, 0, largeur, hauteur, 255, 255, 255, false, 255);
        Moteur.AfficheTexture(ImgMotifArrierePlan, static_cast<int>(300 * sx), static_cast<int>(300 * sy),
                              static_cast<int>(100 * sx), static_cast<int>(100 * sy), 255, 255, 255, false, 255);
        // The tooltip speaks of the level under the pointer: not when a panel
        // above the level's view lies there.
        infobulle_.Cachee = false;
        for (const Panneau* p : {static_cast<const Panneau*>(&liste_), static_cast<const Panneau*>(&aide_),
                                 static_cast<const Panneau*>(&dialogues_)})
            infobulle_.Cachee = infobulle_.Cachee || p->Place().Contient(etat_.SourisX, etat_.SourisY);
        for (Panneau* p : panneaux_)
            p->Dessine();
    }

    // ------------------------------------------------------------ live check

    void Editeur::Analyser()
    {
        const Niveau& n = etat_.Doc.Courant();
        AnalyseCarte::AnalyseVivante& analyse = etat_.Analyse;
        if (revisionAnalyse_ != etat_.Doc.Revision())
        {
            // An edit: the level as it would be saved, analysed afresh (a
            // check still running for the level before is stopped).
            revisionAnalyse_ = etat_.Doc.Revision();
            demande_ = std::chrono::steady_clock::now();
            analyse.Demander(EcrireCarte(n, etat_.Format));
        }
        const AnalyseCarte::AnalyseVivante::Etat avant = analyse.EtatActuel();
        const AnalyseCarte::AnalyseVivante::Etat etat = analyse.Sonder();
        if (etat == AnalyseCarte::AnalyseVivante::Etat::Echec && avant != etat)
        {
            std::printf("check failed: %s\n", analyse.Erreur().c_str());
            std::fflush(stdout);
        }
        if (analyse.NumeroResultat() == etat_.NumeroVu)
            return;
        etat_.NumeroVu = analyse.NumeroResultat();
        const AnalyseCarte::Rapport& r = analyse.Resultat();
        etat_.Marques = Marques(r, n.Largeur, n.Hauteur);
        etat_.SansCase = r.Constats.size() - etat_.Marques.size();
        etat_.Atteignable = AtteinteDe(r, n.Largeur, n.Hauteur);
        etat_.MarqueChoisie = std::min(etat_.MarqueChoisie, etat_.Marques.empty() ? 0 : etat_.Marques.size() - 1);
        // For the designer's terminal, the tests and the measurements: the
        // time from the edit to its findings on screen.
        std::printf("check: %zu findings, %zu lost bonuses%s, %.0f ms after the edit\n", r.Avertissements(),
                    etat_.Atteignable.Perdus.size(), r.Partielle() ? ", partial" : "",
                    std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - demande_).count());
        std::fflush(stdout);
    }

    void Editeur::AllerAuConstat(size_t marque)
    {
        if (marque >= etat_.Marques.size())
            return;
        etat_.MarqueChoisie = marque;
        const Marque& m = etat_.Marques[marque];
        const Niveau& n = etat_.Doc.Courant();
        if (n.Dedans(m.Colonne, m.Ligne))
        {
            etat_.CurseurC = m.Colonne, etat_.CurseurL = m.Ligne;
            etat_.VueNiveau.MontrerCase(m.Colonne, m.Ligne, n.Largeur, n.Hauteur);
        }
        Statut(m.Message);
    }

    void Editeur::PleinEcran()
    {
        // The editor's window is resizable and keeps its own size: full
        // screen through the engine's switch, and back to the editor's window.
        // The editor's own textures are let go first, in the context they
        // belong to (the switch may bring a new one, where their ids could
        // name the game's reloaded textures); they are made again when next drawn.
        vueCarte_.LibererTextures();
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
