#include "Partie.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

namespace
{
    // The game calls SDL_Quit, which unloads Mesa's driver before the leak
    // check runs: the driver's own allocations then show as leaks of an
    // unknown module that no suppression can name. The game's own memory is
    // checked in-process by the other test programs and under valgrind.
    const char* const SansFuites = "ASAN_OPTIONS=detect_leaks=0";

    void Xdotool(const std::string& arguments)
    {
        Sortie("xdotool " + arguments + " 2>/dev/null");
    }
}

std::string DossierJeu()
{
    return std::filesystem::absolute(BinaireJeu()).parent_path().string();
}

void Patienter(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

PartieJeu::PartieJeu(const std::string& dossier, const std::vector<std::string>& environnement)
{
    Programme p;
    p.Binaire = BinaireJeu();
    p.Dossier = dossier;
    p.Environnement = environnement;
    p.MotifFenetre = "^Corvella$";
    Demarrer(p);
}

PartieJeu::PartieJeu(const Programme& programme)
{
    Demarrer(programme);
}

void PartieJeu::Demarrer(const Programme& programme)
{
    Lancement l;
    l.Arguments = {std::filesystem::absolute(programme.Binaire).string()};
    l.Arguments.insert(l.Arguments.end(), programme.Arguments.begin(), programme.Arguments.end());
    l.Dossier = programme.Dossier.empty() ? DossierJeu() : programme.Dossier;
    l.Ajouter = {SansFuites};
    // What the programs remember between runs stays in the test's folder.
    l.Ajouter.push_back("XDG_CONFIG_HOME=" + config_.Chemin());
    l.Ajouter.insert(l.Ajouter.end(), programme.Environnement.begin(), programme.Environnement.end());
    // Its output in a file the test reads, shown with the test's own when it ends.
    l.Journal = config_ / "sortie.txt";
    pid_ = ::Demarrer(l);
    if (pid_ <= 0)
        return;
    // Polled rather than waited for with --sync, which gives up under load.
    for (int essai = 0; essai < 300 && fenetre_.empty(); ++essai)
    {
        fenetre_ = Sortie("xdotool search --onlyvisible --name '" + programme.MotifFenetre +
                          "' 2>/dev/null | head -1");
        if (fenetre_.empty())
        {
            const int fin = ::AttendreFin(pid_, 0);
            if (fin >= 0)
            {
                statut_ = fin; // the program ended before showing a window
                return;
            }
            Patienter(100);
        }
    }
    if (!fenetre_.empty())
        Xdotool("mousemove --window " + fenetre_ + " 50 50");
}

bool PartieJeu::CapturerFenetre(const std::string& chemin, ImageRGBA& image)
{
    Sortie("import -window " + fenetre_ + " '" + chemin + "' 2>/dev/null");
    return LirePng(chemin, image);
}

long PartieJeu::AttendreImage(const std::string& chemin, ImageRGBA& image, int ms,
                              const std::function<bool(const ImageRGBA&)>& fini)
{
    const auto debut = std::chrono::steady_clock::now();
    for (;;)
    {
        const long ecoule = static_cast<long>(
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - debut).count());
        if (CapturerFenetre(chemin, image) && fini(image))
            return ecoule;
        if (ecoule > ms || !EnCours())
            return -1;
        Patienter(50);
    }
}

bool PartieJeu::AttendreTitre(const std::string& fin, int ms)
{
    const auto limite = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    do
    {
        const std::string titre = Sortie("xdotool getwindowname " + fenetre_ + " 2>/dev/null");
        if (titre.size() >= fin.size() && titre.compare(titre.size() - fin.size(), fin.size(), fin) == 0)
            return true;
        Patienter(50);
    } while (std::chrono::steady_clock::now() < limite);
    return false;
}

void PartieJeu::Cliquer(int x, int y, int bouton)
{
    Xdotool("mousemove --window " + fenetre_ + " " + std::to_string(x) + " " + std::to_string(y));
    Xdotool("click " + std::to_string(bouton));
}

PartieJeu::~PartieJeu()
{
    if (EnCours())
        Tuer(pid_);
    const std::string sortie = LireTexte(config_ / "sortie.txt");
    std::fwrite(sortie.data(), 1, sortie.size(), stdout);
    std::fflush(stdout);
}

bool PartieJeu::AttendreSortie(const std::string& texte, int ms, int fois)
{
    const auto limite = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;)
    {
        const std::string sortie = LireTexte(config_ / "sortie.txt");
        int n = 0;
        for (size_t i = sortie.find(texte); i != std::string::npos; i = sortie.find(texte, i + texte.size()))
            ++n;
        if (n >= fois)
            return true;
        if (std::chrono::steady_clock::now() >= limite)
            return false;
        Patienter(50);
    }
}

bool PartieJeu::EnCours()
{
    return pid_ > 0 && AttendreFin(0) < 0;
}

void PartieJeu::Appuyer(const std::string& cle)
{
    Xdotool("keydown " + cle);
}

void PartieJeu::Relacher(const std::string& cle)
{
    Xdotool("keyup " + cle);
}

void PartieJeu::Taper(const std::string& cle)
{
    Appuyer(cle);
    Relacher(cle);
}

bool PartieJeu::Capturer(const std::string& chemin, ImageRGBA* image)
{
    Sortie("import -window root '" + chemin + "' 2>/dev/null");
    if (image == nullptr)
        return std::filesystem::exists(chemin);
    return LirePng(chemin, *image);
}

int PartieJeu::Quitter()
{
    if (!fenetre_.empty())
        Xdotool("mousemove --window " + fenetre_ + " 50 50");
    Taper("Escape");
    return AttendreFin(20000);
}

int PartieJeu::AttendreFin(int ms)
{
    if (pid_ <= 0)
        return -1;
    if (statut_ >= 0)
        return statut_;
    const int statut = ::AttendreFin(pid_, ms);
    if (statut >= 0)
        statut_ = statut;
    return statut;
}

std::string Geometrie(const std::string& fenetre)
{
    return Sortie("xdotool getwindowgeometry " + fenetre + " 2>/dev/null | sed -n 's/.*Geometry: //p'");
}

std::string TailleEcran()
{
    const std::string ecran = Sortie("xdotool getdisplaygeometry");
    return ecran.substr(0, ecran.find(' ')) + "x" + ecran.substr(ecran.find(' ') + 1);
}

bool AttendreGeometrie(const std::string& fenetre, const std::string& taille)
{
    for (int essai = 0; essai < 100; ++essai)
    {
        if (Geometrie(fenetre) == taille)
            return true;
        Patienter(100);
    }
    return false;
}
