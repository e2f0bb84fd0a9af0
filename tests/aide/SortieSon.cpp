#include "SortieSon.h"

#include "son/NomsSons.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <thread>

std::vector<std::string> SonSurDisque(const std::string& fichier)
{
    return {"SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=" + fichier};
}

std::vector<float> LireSortieSon(const std::string& fichier)
{
    std::ifstream f(fichier, std::ios::binary);
    const std::string octets((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    std::vector<float> gauche(octets.size() / 4);
    for (size_t i = 0; i < gauche.size(); ++i)
    {
        const auto* p = reinterpret_cast<const unsigned char*>(octets.data() + 4 * i);
        gauche[i] = static_cast<int16_t>(p[0] | p[1] << 8) / 32768.0f;
    }
    return gauche;
}

double Ressemblance(const std::vector<float>& sortie, const std::vector<float>& motif)
{
    const size_t n = std::min(motif.size(), static_cast<size_t>(Son::Frequence / 10));
    if (n == 0 || sortie.size() < n)
        return 0;
    double mm = 0;
    for (size_t i = 0; i < n; ++i)
        mm += static_cast<double>(motif[i]) * motif[i];
    // Energy of every window of the output from running sums.
    std::vector<double> cumul(sortie.size() + 1, 0.0);
    for (size_t i = 0; i < sortie.size(); ++i)
        cumul[i + 1] = cumul[i] + static_cast<double>(sortie[i]) * sortie[i];
    double meilleure = 0;
    for (size_t debut = 0; debut + n <= sortie.size(); ++debut)
    {
        const double energie = cumul[debut + n] - cumul[debut];
        if (energie <= 1e-12)
            continue;
        float produit = 0;
        const float* s = sortie.data() + debut;
        for (size_t i = 0; i < n; ++i)
            produit += s[i] * motif[i];
        meilleure = std::max(meilleure, produit / std::sqrt(energie * mm));
    }
    return meilleure;
}

bool AttendreSortieSon(const std::string& fichier, size_t depuis, double secondes, bool musique, int ms)
{
    const auto limite = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    const size_t voulu = depuis + static_cast<size_t>(secondes * Son::Frequence);
    const size_t demi = static_cast<size_t>(Son::Frequence / 2);
    while (std::chrono::steady_clock::now() < limite)
    {
        const std::vector<float> sortie = LireSortieSon(fichier);
        if (sortie.size() >= voulu && sortie.size() >= demi)
        {
            if (!musique)
                return true;
            const std::vector<float> fin(sortie.end() - static_cast<long>(demi), sortie.end());
            if (Efficace(fin) > 0.005)
                return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

bool AttendreMotif(const std::string& fichier, size_t depuis, const std::vector<float>& motif, double seuil, int ms)
{
    const auto limite = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < limite)
    {
        const std::vector<float> sortie = LireSortieSon(fichier);
        if (sortie.size() > depuis &&
            Ressemblance(std::vector<float>(sortie.begin() + static_cast<long>(depuis), sortie.end()), motif) > seuil)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

double Efficace(const std::vector<float>& sortie)
{
    double c = 0;
    for (float v : sortie)
        c += static_cast<double>(v) * v;
    return sortie.empty() ? 0 : std::sqrt(c / sortie.size());
}
