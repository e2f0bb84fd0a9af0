// The states kept by the reachability search and the table of their squares.
#include "EnsembleEtats.h"

#include <algorithm>

namespace AnalyseCarte
{
    namespace
    {
        // The table is keyed by the group without its jump delay: the states
        // of one square with a shorter delay count for those with a longer one.
        bool MemeCarre(const Groupe& a, const Groupe& b)
        {
            return a.CX == b.CX && a.CY == b.CY && a.VY == b.VY && a.Etat == b.Etat;
        }

        uint64_t Hacher(const Groupe& g)
        {
            uint64_t h = static_cast<uint32_t>(g.CX);
            h = h * 0x9E3779B97F4A7C15ull ^ static_cast<uint32_t>(g.CY);
            h = h * 0x9E3779B97F4A7C15ull ^ static_cast<uint16_t>(g.VY);
            h = h * 0x9E3779B97F4A7C15ull ^ static_cast<uint8_t>(g.Etat);
            h ^= h >> 29;
            h *= 0xBF58476D1CE4E5B9ull;
            h ^= h >> 32;
            return h;
        }

        // The slot is taken from the low bits of the hash, the tag from the high ones.
        uint32_t Etiquette(uint64_t h)
        {
            return static_cast<uint32_t>(h >> 40);
        }

        // States are numbered in 32 bits, Aucun aside.
        const size_t EtatsPossibles = 0xFFFFFFFEu;
    }

    void Ensemble::Etendue::Ajouter(const Noeud& e)
    {
        X0 = Un ? std::min(X0, e.X) : e.X;
        X1 = Un ? std::max(X1, e.X) : e.X;
        Y0 = Un ? std::min(Y0, e.Y) : e.Y;
        V0 = Un ? std::min(V0, e.VX) : e.VX;
        V1 = Un ? std::max(V1, e.VX) : e.VX;
        Un = true;
    }

    void Ensemble::Etendue::Fusionner(const Etendue& e)
    {
        if (!e.Un)
            return;
        X0 = Un ? std::min(X0, e.X0) : e.X0;
        X1 = Un ? std::max(X1, e.X1) : e.X1;
        Y0 = Un ? std::min(Y0, e.Y0) : e.Y0;
        V0 = Un ? std::min(V0, e.V0) : e.V0;
        V1 = Un ? std::max(V1, e.V1) : e.V1;
        Un = true;
    }

    Ensemble::Ensemble(size_t max, long long seuilChute, int vieMax)
        : max_(std::min(std::max<size_t>(max, 1), EtatsPossibles)), seuilChute_(seuilChute), vieMax_(vieMax),
          blocs_((max_ + TailleBloc - 1) / TailleBloc), table_(size_t(1) << 12, Place{0, Aucun})
    {
    }

    bool Ensemble::Couvert(const Carre& carre, const Noeud& n) const
    {
        Etendue e = carre.Cumul[std::min<int>(n.G.Delai, ClassesDelai - 1)];
        const long long chute = Chute(n);
        for (uint32_t k = carre.Autres; k != Aucun; k = (*this)[k].Suivant)
        {
            const Noeud& a = (*this)[k];
            if (a.G.Delai > n.G.Delai || Chute(a) > chute || a.Vie < n.Vie)
                continue;
            e.Ajouter(a);
        }
        return e.Un && n.X >= e.X0 && n.X <= e.X1 && n.Y >= e.Y0 && n.VX >= e.V0 && n.VX <= e.V1;
    }

    bool Ensemble::Ajouter(Noeud n)
    {
        if ((carres_.size() + 1) * 2 > table_.size())
            Agrandir();
        const uint64_t h = Hacher(n.G);
        const uint32_t etiquette = Etiquette(h);
        const size_t masque = table_.size() - 1;
        size_t i = static_cast<size_t>(h) & masque;
        uint32_t c = Aucun;
        for (;; i = (i + 1) & masque)
        {
            const struct Place& place = table_[i];
            if (place.Carre == Aucun)
                break;
            if (place.Etiquette == etiquette && MemeCarre(carres_[place.Carre].Cle, n.G))
            {
                c = place.Carre;
                break;
            }
        }
        if (c != Aucun && Couvert(carres_[c], n))
            return false;
        if (taille_ >= max_)
        {
            deborde_ = true;
            return false;
        }
        if (c == Aucun)
        {
            c = static_cast<uint32_t>(carres_.size());
            carres_.emplace_back();
            carres_.back().Cle = n.G;
            table_[i] = Place{etiquette, c};
        }
        Carre& carre = carres_[c];
        n.Suivant = Aucun;
        if (Ordinaire(n))
        {
            for (int d = n.G.Delai; d < ClassesDelai; ++d)
                carre.Cumul[d].Ajouter(n);
        }
        else
        {
            n.Suivant = carre.Autres;
            carre.Autres = static_cast<uint32_t>(taille_);
        }
        std::unique_ptr<Noeud[]>& bloc = blocs_[taille_ >> BitsBloc];
        if (!bloc)
            bloc.reset(new Noeud[TailleBloc]);
        Emplacement(taille_) = n;
        ++taille_;
        return true;
    }

    void Ensemble::Agrandir()
    {
        std::vector<struct Place> table(table_.size() * 2, Place{0, Aucun});
        const size_t masque = table.size() - 1;
        for (const struct Place& place : table_)
        {
            if (place.Carre == Aucun)
                continue;
            size_t i = static_cast<size_t>(Hacher(carres_[place.Carre].Cle)) & masque;
            while (table[i].Carre != Aucun)
                i = (i + 1) & masque;
            table[i] = place;
        }
        table_.swap(table);
    }
}
