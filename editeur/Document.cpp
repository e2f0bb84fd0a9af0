#include "Document.h"

#include "map/Map.h"

#include <algorithm>
#include <utility>

namespace Edition
{
    Document::Document(Niveau niveau) : niveau_(std::move(niveau))
    {
    }

    Document::Etape Document::nouvelleEtape()
    {
        Etape e;
        e.DebutAvantX = e.DebutApresX = niveau_.DebutX;
        e.DebutAvantY = e.DebutApresY = niveau_.DebutY;
        return e;
    }

    void Document::changerCase(Etape& etape, size_t indice, char caractere)
    {
        char& cellule = niveau_.Cases[indice];
        if (cellule == caractere)
            return;
        etape.Cases.push_back({indice, cellule, caractere});
        cellule = caractere;
    }

    void Document::valider(Etape etape)
    {
        const bool vide = etape.Cases.empty() && !etape.Avant && etape.DebutAvantX == etape.DebutApresX &&
                          etape.DebutAvantY == etape.DebutApresY;
        if (vide)
            return;
        etape.Id = prochainId_++;
        passe_.push_back(std::move(etape));
        futur_.clear();
        ++revision_;
    }

    void Document::DebutTrait()
    {
        if (!trait_)
            trait_.reset(new Etape(nouvelleEtape()));
    }

    bool Document::PeindreCase(int colonne, int ligne, char caractere)
    {
        if (!niveau_.Dedans(colonne, ligne))
            return false;
        const size_t indice = niveau_.Indice(colonne, ligne);
        if (niveau_.Cases[indice] == caractere)
            return false;
        if (trait_)
        {
            changerCase(*trait_, indice, caractere);
            ++revision_;
        }
        else
        {
            Etape e = nouvelleEtape();
            changerCase(e, indice, caractere);
            valider(std::move(e));
        }
        return true;
    }

    void Document::FinTrait()
    {
        if (!trait_)
            return;
        std::unique_ptr<Etape> trait = std::move(trait_);
        // A cell painted twice in one stroke is one change.
        valider(std::move(*trait));
    }

    bool Document::Rectangle(int colonne0, int ligne0, int colonne1, int ligne1, char caractere)
    {
        FinTrait();
        const int c0 = std::max(0, std::min(colonne0, colonne1));
        const int c1 = std::min(niveau_.Largeur - 1, std::max(colonne0, colonne1));
        const int l0 = std::max(0, std::min(ligne0, ligne1));
        const int l1 = std::min(niveau_.Hauteur - 1, std::max(ligne0, ligne1));
        Etape e = nouvelleEtape();
        for (int l = l0; l <= l1; ++l)
            for (int c = c0; c <= c1; ++c)
                changerCase(e, niveau_.Indice(c, l), caractere);
        const bool change = !e.Cases.empty();
        valider(std::move(e));
        return change;
    }

    bool Document::Remplir(int colonne, int ligne, char caractere)
    {
        FinTrait();
        if (!niveau_.Dedans(colonne, ligne))
            return false;
        const char ancien = niveau_.Case(colonne, ligne);
        if (ancien == caractere)
            return false;
        Etape e = nouvelleEtape();
        // Painted as they are queued, so no cell is queued twice.
        std::vector<std::pair<int, int>> pile;
        pile.push_back({colonne, ligne});
        changerCase(e, niveau_.Indice(colonne, ligne), caractere);
        while (!pile.empty())
        {
            const std::pair<int, int> p = pile.back();
            pile.pop_back();
            const int voisins[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
            for (const auto& v : voisins)
            {
                const int c = p.first + v[0];
                const int l = p.second + v[1];
                if (niveau_.Case(c, l) == ancien && niveau_.Dedans(c, l))
                {
                    changerCase(e, niveau_.Indice(c, l), caractere);
                    pile.push_back({c, l});
                }
            }
        }
        valider(std::move(e));
        return true;
    }

    bool Document::RemplacerTout(char ancien, char nouveau)
    {
        FinTrait();
        if (ancien == nouveau)
            return false;
        Etape e = nouvelleEtape();
        for (size_t i = 0; i < niveau_.Cases.size(); ++i)
            if (niveau_.Cases[i] == ancien)
                changerCase(e, i, nouveau);
        const bool change = !e.Cases.empty();
        valider(std::move(e));
        return change;
    }

    bool Document::DeplacerDepart(int colonne, int ligne)
    {
        FinTrait();
        if (!niveau_.Dedans(colonne, ligne))
            return false;
        if (niveau_.DebutX == colonne + 1 && niveau_.DebutY == ligne + 1)
            return false;
        Etape e = nouvelleEtape();
        e.DebutApresX = niveau_.DebutX = colonne + 1;
        e.DebutApresY = niveau_.DebutY = ligne + 1;
        valider(std::move(e));
        return true;
    }

    bool Document::Redimensionner(Bord bord, int nombre, std::string* raison)
    {
        FinTrait();
        auto refus = [raison](const char* pourquoi)
        {
            if (raison != nullptr)
                *raison = pourquoi;
            return false;
        };
        if (nombre == 0)
            return false;
        const bool colonnes = bord == Bord::Gauche || bord == Bord::Droite;
        const long long largeur = niveau_.Largeur + (colonnes ? static_cast<long long>(nombre) : 0);
        const long long hauteur = niveau_.Hauteur + (colonnes ? 0 : static_cast<long long>(nombre));
        if (largeur < 1 || hauteur < 1)
            return refus("the level keeps at least one column and one row");
        if (largeur > CMap::CotesMax || hauteur > CMap::CotesMax || largeur * hauteur > CMap::CasesMax)
            return refus("the game does not load a level that large");

        // Where old cell (0, 0) lands in the new grid.
        const int dc = bord == Bord::Gauche ? nombre : 0;
        const int dl = bord == Bord::Haut ? nombre : 0;
        Niveau n;
        n.Largeur = static_cast<int>(largeur);
        n.Hauteur = static_cast<int>(hauteur);
        n.Cases.assign(static_cast<size_t>(largeur * hauteur), ' ');
        for (int l = 0; l < n.Hauteur; ++l)
            for (int c = 0; c < n.Largeur; ++c)
                if (niveau_.Dedans(c - dc, l - dl))
                    n.Cases[n.Indice(c, l)] = niveau_.Case(c - dc, l - dl);
        n.DebutX = std::min(std::max(niveau_.DebutX + dc, 1), n.Largeur);
        n.DebutY = std::min(std::max(niveau_.DebutY + dl, 1), n.Hauteur);

        Etape e = nouvelleEtape();
        e.Avant = std::make_shared<const Niveau>(std::move(niveau_));
        e.Apres = std::make_shared<const Niveau>(n);
        e.DebutApresX = n.DebutX;
        e.DebutApresY = n.DebutY;
        niveau_ = std::move(n);
        valider(std::move(e));
        return true;
    }

    void Document::Remplacer(const Niveau& niveau)
    {
        FinTrait();
        if (niveau == niveau_)
            return;
        Etape e = nouvelleEtape();
        e.Avant = std::make_shared<const Niveau>(niveau_);
        e.Apres = std::make_shared<const Niveau>(niveau);
        e.DebutApresX = niveau.DebutX;
        e.DebutApresY = niveau.DebutY;
        niveau_ = niveau;
        valider(std::move(e));
    }

    void Document::appliquer(const Etape& etape, bool enAvant)
    {
        if (etape.Avant)
            niveau_ = enAvant ? *etape.Apres : *etape.Avant;
        else if (enAvant)
            for (const Changement& c : etape.Cases)
                niveau_.Cases[c.Indice] = c.Apres;
        else
            for (auto c = etape.Cases.rbegin(); c != etape.Cases.rend(); ++c)
                niveau_.Cases[c->Indice] = c->Avant;
        niveau_.DebutX = enAvant ? etape.DebutApresX : etape.DebutAvantX;
        niveau_.DebutY = enAvant ? etape.DebutApresY : etape.DebutAvantY;
        ++revision_;
    }

    bool Document::Annuler()
    {
        FinTrait();
        if (passe_.empty())
            return false;
        appliquer(passe_.back(), false);
        futur_.push_back(std::move(passe_.back()));
        passe_.pop_back();
        return true;
    }

    bool Document::Refaire()
    {
        FinTrait();
        if (futur_.empty())
            return false;
        appliquer(futur_.back(), true);
        passe_.push_back(std::move(futur_.back()));
        futur_.pop_back();
        return true;
    }
}
