#include "Partie.h"

#include <chrono>
#include <cmath>
#include <cstdlib>
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
    l.Ajouter.push_back("XDG_STATE_HOME=" + config_ / "etat");
    l.Ajouter.insert(l.Ajouter.end(), programme.Environnement.begin(), programme.Environnement.end());
    // Its output in a file the test reads, shown with the test's own when it ends.
    l.Journal = config_ / "sortie.txt";
    pid_ = ::Demarrer(l);
    if (pid_ <= 0)
        return;
    // Polled rather than waited for with --sync, which gives up under load;
    // 60 s at most (a sanitized build on a loaded machine).
    const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (fenetre_.empty() && std::chrono::steady_clock::now() < limite)
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
    return AttendreImageFenetre(fenetre_, chemin, image, ms, fini, [this] { return EnCours(); });
}

long AttendreImageFenetre(const std::string& fenetre, const std::string& chemin, ImageRGBA& image, int ms,
                          const std::function<bool(const ImageRGBA&)>& fini, const std::function<bool()>& vivant)
{
    const auto debut = std::chrono::steady_clock::now();
    for (;;)
    {
        const long ecoule = static_cast<long>(
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - debut).count());
        Sortie("import -window " + fenetre + " '" + chemin + "' 2>/dev/null");
        if (LirePng(chemin, image) && fini(image))
            return ecoule;
        if (ecoule > ms || (vivant && !vivant()))
            return -1;
        Patienter(50);
    }
}

long AttendreReposFenetre(const std::string& fenetre, const std::string& chemin, ImageRGBA& image, int ms,
                          const std::function<bool()>& vivant)
{
    ImageRGBA avant;
    return AttendreImageFenetre(fenetre, chemin, image, ms,
                                [&](const ImageRGBA& i)
                                {
                                    const long n = PixelsDifferents(avant, i);
                                    avant = i;
                                    return n >= 0 && n * 100 < static_cast<long>(i.Largeur) * i.Hauteur;
                                },
                                vivant);
}

long PartieJeu::AttendreScene(const std::string& chemin, ImageRGBA& image, int ms)
{
    double avant = -1;
    return AttendreImage(chemin, image, ms,
                         [&](const ImageRGBA& i)
                         {
                             const double clarte = ClarteMoyenne(i);
                             const bool stable = avant > 0 && std::abs(clarte - avant) <= avant / 100;
                             avant = clarte;
                             return stable && clarte > 30;
                         });
}

long PartieJeu::AttendreRepos(const std::string& chemin, ImageRGBA& image, int ms)
{
    return AttendreReposFenetre(fenetre_, chemin, image, ms, [this] { return EnCours(); });
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

bool PartieJeu::Tenir(const std::string& cle, int fois, int ms)
{
    // xev listens to the window's keys; a press sent before it listens is
    // missed, and counted among the repeats that follow.
    DossierTemporaire dossier;
    Lancement ecoute;
    ecoute.Arguments = {"/usr/bin/xev", "-id", fenetre_, "-event", "keyboard"};
    ecoute.Journal = dossier / "xev.txt";
    const pid_t xev = ::Demarrer(ecoute);
    Appuyer(cle);
    const std::string signe = ", " + cle + "),";
    const auto limite = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    int vues = 0;
    for (;;)
    {
        const std::string journal = LireTexte(dossier / "xev.txt");
        vues = 0;
        for (size_t i = journal.find("KeyPress event"); i != std::string::npos;
             i = journal.find("KeyPress event", i + 1))
        {
            const size_t fin = journal.find("\n\n", i);
            vues += journal.substr(i, fin == std::string::npos ? std::string::npos : fin - i).find(signe) !=
                    std::string::npos;
        }
        if (vues >= fois || std::chrono::steady_clock::now() >= limite || xev <= 0)
            break;
        Patienter(50);
    }
    Relacher(cle);
    if (xev > 0)
        Tuer(xev);
    return vues >= fois;
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
    // Press and release from one xdotool, back to back: from two, on a
    // crowded machine the release could come after the server's repeat delay,
    // and the key would be typed twice or more.
    Xdotool("key --delay 0 " + cle);
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

bool AttendreGeometrie(const std::string& fenetre, const std::string& taille, int ms)
{
    const auto limite = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;)
    {
        if (Geometrie(fenetre) == taille)
            return true;
        if (std::chrono::steady_clock::now() >= limite)
            return false;
        Patienter(100);
    }
}

long PixelsDifferents(const ImageRGBA& a, const ImageRGBA& b)
{
    if (a.Largeur != b.Largeur || a.Hauteur != b.Hauteur || a.Largeur == 0)
        return -1;
    long n = 0;
    for (int y = a.Hauteur / 8; y < a.Hauteur; ++y)
        for (int x = 0; x < a.Largeur; ++x)
        {
            const uint8_t* p = a.Pixel(x, y);
            const uint8_t* q = b.Pixel(x, y);
            if (std::abs(p[0] - q[0]) + std::abs(p[1] - q[1]) + std::abs(p[2] - q[2]) > 30)
                ++n;
        }
    return n;
}

long DifferencesAuMilieu(const ImageRGBA& a, const ImageRGBA& b)
{
    if (a.Largeur != b.Largeur || a.Hauteur != b.Hauteur || a.Largeur == 0)
        return -1;
    long n = 0;
    for (int y = a.Hauteur / 8; y < a.Hauteur; ++y)
        for (int x = a.Largeur * 2 / 5; x < a.Largeur * 3 / 5; ++x)
        {
            const uint8_t* p = a.Pixel(x, y);
            const uint8_t* q = b.Pixel(x, y);
            n += std::abs(p[0] - q[0]) + std::abs(p[1] - q[1]) + std::abs(p[2] - q[2]) > 30;
        }
    return n;
}

double ClarteMoyenne(const ImageRGBA& image)
{
    double somme = 0;
    long n = 0;
    for (int y = image.Hauteur / 8; y < image.Hauteur; y += 4)
        for (int x = 0; x < image.Largeur; x += 4, ++n)
        {
            const uint8_t* p = image.Pixel(x, y);
            somme += (p[0] + p[1] + p[2]) / 3.0;
        }
    return n > 0 ? somme / static_cast<double>(n) : 0;
}
