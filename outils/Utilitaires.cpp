// Helpers the game screen does not call: screenshots to BMP, images to XPM
// source text, cursors from XPM, the full-screen mode choice and axis drawing.
#include "Outils.h"

#include <SDL_image.h>
#include <SDL_opengl.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>

namespace
{
    // The working layout: bytes red, green, blue, alpha in memory.
    const Uint32 MasqueRouge = 0x000000FF;
    const Uint32 MasqueVert = 0x0000FF00;
    const Uint32 MasqueBleu = 0x00FF0000;
    const Uint32 MasqueAlpha = 0xFF000000;

    SDL_Surface* SurfaceDeTravail(int largeur, int hauteur)
    {
        return SDL_CreateRGBSurface(0, largeur, hauteur, 32,
                                    MasqueRouge, MasqueVert, MasqueBleu, MasqueAlpha);
    }

    // Reads a decimal int as "%d" does (leading blanks, an optional sign), but
    // refuses a number that does not fit instead of leaving it undefined.
    bool LireEntier(const char*& texte, int& valeur)
    {
        char* fin = nullptr;
        errno = 0;
        const long lu = std::strtol(texte, &fin, 10);
        if (fin == texte || errno == ERANGE || lu < INT_MIN || lu > INT_MAX)
            return false;
        valeur = static_cast<int>(lu);
        texte = fin;
        return true;
    }

    // The header "W H ...": its first two numbers.
    bool LireTaille(const char* texte, int& largeur, int& hauteur)
    {
        return LireEntier(texte, largeur) && LireEntier(texte, hauteur);
    }

    // The hot spot "x,y".
    bool LirePointChaud(const char* texte, int& x, int& y)
    {
        if (!LireEntier(texte, x) || *texte != ',')
            return false;
        ++texte;
        return LireEntier(texte, y);
    }

    // True when the string holds at least n characters before its end; never
    // looks past its terminating NUL.
    bool AuMoins(const char* texte, int n)
    {
        for (int i = 0; i < n; ++i)
            if (texte[i] == '\0')
                return false;
        return true;
    }

    // The XPM character of one pixel: transparent below half alpha, then white
    // as soon as one channel is bright, black otherwise.
    char CaracterePixel(Uint8 r, Uint8 g, Uint8 b, Uint8 a)
    {
        if (a < 128)
            return ' ';
        if (r >= 128 || g >= 128 || b >= 128)
            return '.';
        return 'X';
    }

    // Writes the XPM text of a picture in the working layout. False when a write
    // failed.
    bool EcrireXPM(std::FILE* f, const char* image, SDL_Surface* surface, int largeurXpm)
    {
        // The array's name: the image argument cut at its first '.'.
        const char* point = std::strchr(image, '.');
        const size_t longueurNom = point != nullptr ? static_cast<size_t>(point - image)
                                                    : std::strlen(image);
        std::fputs("const char *", f);
        std::fwrite(image, 1, longueurNom, f);
        std::fputs("[] =\n", f);
        std::fputs("\t{\n", f);
        std::fputs("\t\t/* width height num_colors chars_per_pixel */\n", f);
        std::fprintf(f, "\t\t\" %d %d 3 1 \",\n", largeurXpm, surface->h);
        std::fputs("\t\t/* colors */\n", f);
        std::fputs("\t\t\"X c #000000\",\n", f);
        std::fputs("\t\t\". c #ffffff\",\n", f);
        std::fputs("\t\t\"  c None\",\n", f);
        std::fputs("\t\t/* pixels */\n", f);

        SDL_LockSurface(surface);
        const Uint8* pixels = static_cast<const Uint8*>(surface->pixels);
        for (int y = 0; y < surface->h; ++y)
        {
            std::fputs("\t\t\"", f);
            const Uint8* ligne = pixels + static_cast<size_t>(y) * surface->pitch;
            for (int x = 0; x < surface->w; ++x)
            {
                Uint32 valeur;
                std::memcpy(&valeur, ligne + static_cast<size_t>(x) * 4, sizeof valeur);
                Uint8 r, g, b, a;
                SDL_GetRGBA(valeur, surface->format, &r, &g, &b, &a);
                std::fputc(CaracterePixel(r, g, b, a), f);
            }
            for (int x = surface->w; x < largeurXpm; ++x)
                std::fputc(' ', f);
            std::fputs("\",\n", f);
        }
        SDL_UnlockSurface(surface);

        std::fputs("\t\t\"0,0\"\n", f);
        std::fputs("\t};\n", f);
        return std::ferror(f) == 0;
    }
}

int Outils::takeScreenshot(const char* chemin)
{
    if (chemin == nullptr)
        return -1;
    GLint vue[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, vue);
    if (vue[2] <= 0 || vue[3] <= 0)
        return -1;

    SDL_Surface* lue = SurfaceDeTravail(vue[2], vue[3]);
    if (lue == nullptr)
        return -1;
    // glReadPixels fills whole rows of 4-byte pixels: the surface must hold them.
    if (lue->pixels == nullptr || lue->pitch < vue[2] * 4 || lue->pitch % 4 != 0)
    {
        SDL_FreeSurface(lue);
        return -1;
    }

    SDL_LockSurface(lue);
    // Rows land at the surface's pitch whatever packing state was left behind.
    tightPixelRows();
    glPixelStorei(GL_PACK_ROW_LENGTH, lue->pitch / 4);
    glReadPixels(vue[0], vue[1], vue[2], vue[3], GL_RGBA, GL_UNSIGNED_BYTE, lue->pixels);
    glPopClientAttrib();
    SDL_UnlockSurface(lue);

    // OpenGL reads bottom row first; the file wants the top row first.
    SDL_Surface* retournee = flipSurface(lue);
    if (retournee == nullptr)
    {
        SDL_FreeSurface(lue);
        return -1;
    }

    int resultat = -1;
    SDL_RWops* fichier = SDL_RWFromFile(chemin, "wb");
    if (fichier != nullptr)
        resultat = SDL_SaveBMP_RW(retournee, fichier, 1) < 0 ? -1 : 0;

    SDL_FreeSurface(retournee);
    SDL_FreeSurface(lue);
    return resultat;
}

int Outils::xpmPaddedWidth(int largeur)
{
    if (largeur < 0 || largeur > INT_MAX - 7)
        return -1;
    if (largeur % 8 == 0)
        return largeur;
    return (largeur & ~7) + 8;
}

int Outils::XPMFromImage(const char* image, const char* sortie)
{
    if (image == nullptr || sortie == nullptr)
        return -1;
    // Read through the same guard as the game's textures: damaged files that
    // would hang or crash the image library are refused.
    SDL_Surface* chargee = readImageFile(image);
    if (chargee == nullptr)
        return -1;
    const int largeurXpm = xpmPaddedWidth(chargee->w);
    SDL_Surface* surface = largeurXpm < 0 ? nullptr : SurfaceDeTravail(chargee->w, chargee->h);
    if (surface == nullptr)
    {
        SDL_FreeSurface(chargee);
        return -1;
    }
    // A copy, not a blend: blended over the empty surface an image with an
    // alpha channel would leave every alpha at 0. A colour key still leaves its
    // pixels empty, hence transparent.
    SDL_SetAlpha(chargee, 0, SDL_ALPHA_OPAQUE);
    SDL_UpperBlit(chargee, nullptr, surface, nullptr);
    SDL_FreeSurface(chargee);

    std::FILE* f = std::fopen(sortie, "w");
    if (f == nullptr)
    {
        SDL_FreeSurface(surface);
        return -1;
    }
    bool ecrit = EcrireXPM(f, image, surface, largeurXpm);
    SDL_FreeSurface(surface);
    if (std::fclose(f) != 0)
        ecrit = false;
    return ecrit ? 0 : -1;
}

bool Outils::cursorPlanesFromXPM(const char** xpm, PlansCurseur& plans)
{
    // The array holds 5 + H strings (header, three colours, H rows, hot spot);
    // a null string ends it early, and nothing after a null is ever read. An
    // array shorter than its header says, without a null, cannot be told apart
    // from a good one: that is the caller's side of the bargain.
    if (xpm == nullptr || xpm[0] == nullptr)
        return false;
    int largeur = 0;
    int hauteur = 0;
    if (!LireTaille(xpm[0], largeur, hauteur) || largeur <= 0 || hauteur <= 0)
        return false;
    const int largeurPlans = xpmPaddedWidth(largeur);
    if (largeurPlans < 0)
        return false;
    for (int i = 1; i <= 3; ++i)
        if (xpm[i] == nullptr)
            return false;
    // Every row must hold the header's width; checked before anything is
    // allocated, so the planes never outgrow what the caller really holds.
    for (int r = 0; r < hauteur; ++r)
    {
        const char* ligne = xpm[4 + static_cast<size_t>(r)];
        if (ligne == nullptr || !AuMoins(ligne, largeur))
            return false;
    }
    const char* point = xpm[4 + static_cast<size_t>(hauteur)];
    int pointX = 0;
    int pointY = 0;
    if (point == nullptr || !LirePointChaud(point, pointX, pointY))
        return false;
    if (pointX < 0 || pointX >= largeurPlans || pointY < 0 || pointY >= hauteur)
        return false;

    const size_t octetsLigne = static_cast<size_t>(largeurPlans) / 8;
    if (static_cast<size_t>(hauteur) > SIZE_MAX / octetsLigne)
        return false;
    const size_t taille = octetsLigne * static_cast<size_t>(hauteur);

    std::vector<Uint8> donnees;
    std::vector<Uint8> masque;
    try
    {
        donnees.assign(taille, 0);
        masque.assign(taille, 0);
    }
    catch (const std::bad_alloc&)
    {
        return false;
    }
    catch (const std::length_error&)
    {
        return false;
    }

    // Eight pixels a byte, shifted in from the right so that the leftmost one
    // ends in the highest bit; the padding columns beyond the width are
    // transparent.
    for (int r = 0; r < hauteur; ++r)
    {
        const char* ligne = xpm[4 + static_cast<size_t>(r)];
        const size_t debutLigne = static_cast<size_t>(r) * octetsLigne;
        for (int c = 0; c < largeurPlans; ++c)
        {
            const size_t p = debutLigne + static_cast<size_t>(c) / 8;
            donnees[p] = static_cast<Uint8>(donnees[p] << 1);
            masque[p] = static_cast<Uint8>(masque[p] << 1);
            const char pixel = c < largeur ? ligne[c] : ' ';
            if (pixel == 'X')
            {
                donnees[p] |= 1;
                masque[p] |= 1;
            }
            else if (pixel == '.')
            {
                masque[p] |= 1;
            }
        }
    }

    plans.Largeur = largeurPlans;
    plans.Hauteur = hauteur;
    plans.PointX = pointX;
    plans.PointY = pointY;
    plans.Donnees.swap(donnees);
    plans.Masque.swap(masque);
    return true;
}

SDL_Cursor* Outils::cursorFromXPM(const char** xpm)
{
    // Null when the array cannot make a cursor (see cursorPlanesFromXPM) or
    // when SDL refuses it. SDL copies the planes: they die with this call.
    PlansCurseur plans;
    if (!cursorPlanesFromXPM(xpm, plans))
        return nullptr;
    return SDL_CreateCursor(plans.Donnees.data(), plans.Masque.data(), plans.Largeur,
                            plans.Hauteur, plans.PointX, plans.PointY);
}

const SDL_Rect* Outils::firstListedMode(SDL_Rect** modes)
{
    if (modes == nullptr || modes == reinterpret_cast<SDL_Rect**>(static_cast<intptr_t>(-1)))
        return nullptr;
    return modes[0];
}

int Outils::initFullScreen(unsigned int* largeur, unsigned int* hauteur)
{
    const SDL_Rect* mode = firstListedMode(SDL_ListModes(nullptr, SDL_FULLSCREEN | SDL_OPENGL));
    // No mode, any size, or an empty list: nothing to choose, nothing changed.
    if (mode == nullptr)
        return 0;
    if (largeur != nullptr)
        *largeur = mode->w;
    if (hauteur != nullptr)
        *hauteur = mode->h;
    const SDL_VideoInfo* info = SDL_GetVideoInfo();
    // Without a current format, 0 asks SDL for the display's own depth.
    const int bits = info != nullptr && info->vfmt != nullptr ? info->vfmt->BitsPerPixel : 0;
    if (SDL_SetVideoMode(mode->w, mode->h, bits, SDL_FULLSCREEN | SDL_OPENGL) == nullptr)
        return -1;
    return 0;
}

void Outils::drawAxis(double echelle)
{
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushMatrix();

    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glEnable(GL_LINE_SMOOTH);
    glLineWidth(2);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    glScaled(echelle, echelle, echelle);

    glBegin(GL_LINES);
    glColor3ub(255, 0, 0);
    glVertex3i(0, 0, 0);
    glVertex3i(1, 0, 0);
    glColor3ub(0, 255, 0);
    glVertex3i(0, 0, 0);
    glVertex3i(0, 1, 0);
    glColor3ub(0, 0, 255);
    glVertex3i(0, 0, 0);
    glVertex3i(0, 0, 1);
    glEnd();

    glPopMatrix();
    glPopAttrib();
}
