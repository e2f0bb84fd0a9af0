// The "Standard" font: one picture a glyph, pure white with the letter's shape
// in the alpha channel, so that the colour a text is drawn with tints it
// (green HUD numbers, the white frame counter, the black "Pause").
//
// The letters are written with a broad pen: an ellipse held at a slant, swept
// along each glyph's skeleton of lines and arcs. Its thick downstrokes and
// thinner cross strokes give the font a hand-lettered look while the weight
// stays bold enough for 12-pixel numbers. Every cell is square and the same
// size (the font is monospaced), with margins so neighbours never touch.
#include "Dessins.h"
#include "Png.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace
{
    constexpr int CoteGlyphe = 128;
    constexpr float Pi = 3.14159265358979f;

    // The skeleton grid: x 0..10 from left to right, y 0..14 from the top of
    // the capitals down to the baseline, placed in the middle of the cell.
    constexpr float GaucheCadre = 31.0f, DroiteCadre = 97.0f;
    constexpr float HautCadre = 21.0f, BasCadre = 104.0f;

    // The pen: half-axes in pixels and the slant of its long axis.
    constexpr float PlumeLong = 11.5f;
    constexpr float PlumeCourt = 5.5f;
    constexpr float PlumeAngle = 0.60f; // radians, long axis turned towards the upper right

    struct Segment
    {
        float x0, y0, x1, y1; // pixels in the cell
    };

    class Squelette
    {
    public:
        std::vector<Segment> Segments;

        // A straight stroke between two grid points.
        void Ligne(float x0, float y0, float x1, float y1)
        {
            Segments.push_back({PixelX(x0), PixelY(y0), PixelX(x1), PixelY(y1)});
        }
        // An elliptic arc of the grid, from angle a0 to a1 in degrees (0 is to
        // the right, 90 downwards), walked in the direction from a0 to a1.
        void Arc(float cx, float cy, float rx, float ry, float a0, float a1)
        {
            const int pas = std::max(2, static_cast<int>(std::ceil(std::fabs(a1 - a0) / 6.0f)));
            float px = 0, py = 0;
            for (int i = 0; i <= pas; ++i)
            {
                const float a = (a0 + (a1 - a0) * i / pas) * Pi / 180.0f;
                const float x = PixelX(cx + rx * std::cos(a)), y = PixelY(cy + ry * std::sin(a));
                if (i > 0)
                    Segments.push_back({px, py, x, y});
                px = x;
                py = y;
            }
        }
        // A dot: the pen turned round once on the spot.
        void Point(float x, float y)
        {
            Arc(x, y, 0.6f, 0.5f, 0, 360);
        }

    private:
        static float PixelX(float x) { return GaucheCadre + x * (DroiteCadre - GaucheCadre) / 10.0f; }
        static float PixelY(float y) { return HautCadre + y * (BasCadre - HautCadre) / 14.0f; }
    };

    // The glyph drawn for a character ('\0' for the empty space glyph).
    Squelette SqueletteDe(char c)
    {
        Squelette s;
        switch (c)
        {
        case 'A':
            s.Ligne(0, 14, 5, 0);
            s.Ligne(5, 0, 10, 14);
            s.Ligne(2, 9, 8, 9);
            break;
        case 'B':
            s.Ligne(0, 0, 0, 14);
            s.Ligne(0, 0, 5.2f, 0);
            s.Arc(5.2f, 3.4f, 3.6f, 3.4f, -90, 90);
            s.Ligne(0, 6.8f, 5.6f, 6.8f);
            s.Arc(5.6f, 10.4f, 4.2f, 3.6f, -90, 90);
            s.Ligne(0, 14, 5.6f, 14);
            break;
        case 'C':
            s.Arc(5.2f, 7, 5.2f, 7, -48, -312);
            break;
        case 'D':
            s.Ligne(0, 0, 0, 14);
            s.Ligne(0, 0, 3.4f, 0);
            s.Ligne(0, 14, 3.4f, 14);
            s.Arc(3.4f, 7, 6.6f, 7, -90, 90);
            break;
        case 'E':
            s.Ligne(0, 0, 0, 14);
            s.Ligne(0, 0, 9.4f, 0);
            s.Ligne(0, 6.8f, 7.6f, 6.8f);
            s.Ligne(0, 14, 9.6f, 14);
            break;
        case 'F':
            s.Ligne(0, 0, 0, 14);
            s.Ligne(0, 0, 9.6f, 0);
            s.Ligne(0, 6.8f, 7.6f, 6.8f);
            break;
        case 'G':
            s.Arc(5.2f, 7, 5.2f, 7, -45, -360);
            s.Ligne(10.4f, 7, 5.6f, 7);
            break;
        case 'H':
            s.Ligne(0, 0, 0, 14);
            s.Ligne(10, 0, 10, 14);
            s.Ligne(0, 7, 10, 7);
            break;
        case 'I':
            s.Ligne(5, 0, 5, 14);
            s.Ligne(2, 0, 8, 0);
            s.Ligne(2, 14, 8, 14);
            break;
        case 'J':
            s.Ligne(3.6f, 0, 8.6f, 0);
            s.Ligne(8.6f, 0, 8.6f, 9.4f);
            s.Arc(4.6f, 9.4f, 4.0f, 4.6f, 0, 165);
            break;
        case 'K':
            s.Ligne(0, 0, 0, 14);
            s.Ligne(10, 0, 0, 9);
            s.Ligne(3.6f, 5.76f, 10, 14);
            break;
        case 'L':
            s.Ligne(0, 0, 0, 14);
            s.Ligne(0, 14, 9.6f, 14);
            break;
        case 'M':
            s.Ligne(0, 14, 0, 0);
            s.Ligne(0, 0, 5, 9.5f);
            s.Ligne(5, 9.5f, 10, 0);
            s.Ligne(10, 0, 10, 14);
            break;
        case 'N':
            s.Ligne(0, 14, 0, 0);
            s.Ligne(0, 0, 10, 14);
            s.Ligne(10, 14, 10, 0);
            break;
        case 'O':
            s.Arc(5, 7, 5.2f, 7, 0, 360);
            break;
        case 'P':
            s.Ligne(0, 0, 0, 14);
            s.Ligne(0, 0, 5.4f, 0);
            s.Arc(5.4f, 3.9f, 4.6f, 3.9f, -90, 90);
            s.Ligne(0, 7.8f, 5.4f, 7.8f);
            break;
        case 'Q':
            s.Arc(5, 7, 5.2f, 7, 0, 360);
            s.Ligne(6.2f, 9.8f, 10.4f, 14.4f);
            break;
        case 'R':
            s.Ligne(0, 0, 0, 14);
            s.Ligne(0, 0, 5.4f, 0);
            s.Arc(5.4f, 3.9f, 4.6f, 3.9f, -90, 90);
            s.Ligne(0, 7.8f, 5.4f, 7.8f);
            s.Ligne(5.0f, 7.8f, 10, 14);
            break;
        case 'S':
            s.Arc(5, 3.5f, 4.6f, 3.5f, -25, -270);
            s.Arc(5, 10.5f, 5.0f, 3.5f, -90, 155);
            break;
        case 'T':
            s.Ligne(0, 0, 10, 0);
            s.Ligne(5, 0, 5, 14);
            break;
        case 'U':
            s.Ligne(0, 0, 0, 8.8f);
            s.Ligne(10, 0, 10, 8.8f);
            s.Arc(5, 8.8f, 5, 5.2f, 0, 180);
            break;
        case 'V':
            s.Ligne(0, 0, 5, 14);
            s.Ligne(5, 14, 10, 0);
            break;
        case 'W':
            s.Ligne(0, 0, 2.6f, 14);
            s.Ligne(2.6f, 14, 5, 6);
            s.Ligne(5, 6, 7.4f, 14);
            s.Ligne(7.4f, 14, 10, 0);
            break;
        case 'X':
            s.Ligne(0, 0, 10, 14);
            s.Ligne(10, 0, 0, 14);
            break;
        case 'Y':
            s.Ligne(0, 0, 5, 7.4f);
            s.Ligne(10, 0, 5, 7.4f);
            s.Ligne(5, 7.4f, 5, 14);
            break;
        case 'Z':
            s.Ligne(0, 0, 10, 0);
            s.Ligne(10, 0, 0, 14);
            s.Ligne(0, 14, 10, 14);
            break;
        case '0':
            s.Arc(5, 7, 4.4f, 7, 0, 360);
            s.Ligne(6.6f, 4.4f, 3.4f, 9.6f);
            break;
        case '1':
            s.Ligne(5.6f, 0, 5.6f, 14);
            s.Ligne(5.6f, 0, 2.0f, 3.2f);
            s.Ligne(2.4f, 14, 8.8f, 14);
            break;
        case '2':
            s.Arc(5, 4.2f, 4.6f, 4.2f, -165, 20);
            s.Ligne(9.32f, 5.64f, 0, 14);
            s.Ligne(0, 14, 10, 14);
            break;
        case '3':
            s.Arc(5, 3.5f, 4.4f, 3.5f, -160, 90);
            s.Arc(5, 10.5f, 4.8f, 3.5f, -90, 160);
            break;
        case '4':
            s.Ligne(7.2f, 14, 7.2f, 0);
            s.Ligne(7.2f, 0, 0, 10);
            s.Ligne(0, 10, 10, 10);
            break;
        case '5':
            s.Ligne(9.2f, 0, 1.2f, 0);
            s.Ligne(1.2f, 0, 1.0f, 6.4f);
            s.Arc(4.8f, 9.4f, 5, 4.6f, -140, 150);
            break;
        case '6':
            s.Arc(5, 9.8f, 4.8f, 4.2f, 0, 360);
            s.Arc(5.2f, 9.8f, 5.0f, 9.8f, -70, -180);
            break;
        case '7':
            s.Ligne(0, 0, 10, 0);
            s.Ligne(10, 0, 3.6f, 14);
            break;
        case '8':
            s.Arc(5, 3.5f, 4.0f, 3.5f, 0, 360);
            s.Arc(5, 10.4f, 4.8f, 3.6f, 0, 360);
            break;
        case '9':
            s.Arc(5, 4.2f, 4.8f, 4.2f, 0, 360);
            s.Arc(4.8f, 4.2f, 5.0f, 9.8f, 0, 110);
            break;
        case ':':
            s.Point(5, 4.8f);
            s.Point(5, 13.0f);
            break;
        case '\'':
            s.Ligne(5.6f, 0, 4.6f, 4.2f);
            break;
        case '.':
            s.Point(5, 13.0f);
            break;
        case '!':
            s.Ligne(5, 0, 5, 8.4f);
            s.Point(5, 13.0f);
            break;
        case '-':
            s.Ligne(1.6f, 7.4f, 8.4f, 7.4f);
            break;
        default:
            break; // the space: nothing at all
        }
        return s;
    }

    // The skeleton seen from the pen: each segment in the frame where the pen
    // is a unit circle (turned by the slant, axes scaled to 1). A pixel is
    // inked when the pen, centred somewhere on the skeleton, covers it, that
    // is when its distance to the skeleton in this frame is at most 1.
    class Plume
    {
    public:
        // Distances beyond this are never needed exactly.
        static constexpr float Portee = 1.5f;

        explicit Plume(const Squelette& s)
        {
            for (const Segment& seg : s.Segments)
            {
                SegmentPlume p;
                VersPlume(seg.x0, seg.y0, p.u0, p.v0);
                float u1, v1;
                VersPlume(seg.x1, seg.y1, u1, v1);
                p.du = u1 - p.u0;
                p.dv = v1 - p.v0;
                const float l2 = p.du * p.du + p.dv * p.dv;
                p.inverse = l2 > 0 ? 1 / l2 : 0;
                p.umin = std::min(p.u0, u1) - Portee;
                p.umax = std::max(p.u0, u1) + Portee;
                p.vmin = std::min(p.v0, v1) - Portee;
                p.vmax = std::max(p.v0, v1) + Portee;
                segments_.push_back(p);
            }
        }

        bool Vide() const { return segments_.empty(); }

        // Distance from a pixel point to the skeleton in pen units; anything
        // farther than Portee may come back as Portee.
        float Distance(float x, float y) const
        {
            float u, v;
            VersPlume(x, y, u, v);
            float meilleure = Portee * Portee;
            for (const SegmentPlume& p : segments_)
            {
                if (u < p.umin || u > p.umax || v < p.vmin || v > p.vmax)
                    continue;
                const float t = std::clamp(((u - p.u0) * p.du + (v - p.v0) * p.dv) * p.inverse, 0.0f, 1.0f);
                const float eu = p.u0 + t * p.du - u, ev = p.v0 + t * p.dv - v;
                meilleure = std::min(meilleure, eu * eu + ev * ev);
            }
            return std::sqrt(meilleure);
        }

    private:
        struct SegmentPlume
        {
            float u0, v0, du, dv, inverse;
            float umin, umax, vmin, vmax;
        };
        std::vector<SegmentPlume> segments_;

        static void VersPlume(float x, float y, float& u, float& v)
        {
            // y grows downwards, so turning the long axis towards the upper
            // right is a turn by minus the slant.
            static const float co = std::cos(PlumeAngle), si = std::sin(PlumeAngle);
            u = (x * co - y * si) / PlumeLong;
            v = (x * si + y * co) / PlumeCourt;
        }
    };

    ImageRGBA DessinerGlyphe(const Squelette& s)
    {
        const Plume plume(s);
        // Moving by less than a pixel's half diagonal moves at most this far
        // in pen units (the short axis stretches the most).
        const float marge = 0.75f / PlumeCourt;
        ImageRGBA image(CoteGlyphe, CoteGlyphe);
        for (int y = 0; y < CoteGlyphe; ++y)
            for (int x = 0; x < CoteGlyphe; ++x)
            {
                uint8_t* p = image.Pixel(x, y);
                // White everywhere, even where nothing is inked, so that the
                // mipmaps averaged from the edges stay white as well.
                p[0] = p[1] = p[2] = 255;
                p[3] = 0;
                if (plume.Vide())
                    continue;
                const float centre = plume.Distance(x + 0.5f, y + 0.5f);
                float couverture;
                if (centre < 1 - marge)
                    couverture = 1;
                else if (centre > 1 + marge)
                    couverture = 0;
                else
                {
                    // On the edge: 6 x 6 samples.
                    int n = 0;
                    for (int j = 0; j < 6; ++j)
                        for (int i = 0; i < 6; ++i)
                            if (plume.Distance(x + (i + 0.5f) / 6, y + (j + 0.5f) / 6) <= 1)
                                ++n;
                    couverture = n / 36.0f;
                }
                p[3] = static_cast<uint8_t>(std::lround(couverture * 255));
            }
        return image;
    }

    struct FichierGlyphe
    {
        const char* Fichier;
        char Caractere;
    };
}

bool DessinerFontes(const std::string& racine)
{
    std::vector<FichierGlyphe> glyphes;
    static const char* const lettres[26] = {"A.png", "B.png", "C.png", "D.png", "E.png", "F.png", "G.png",
                                            "H.png", "I.png", "J.png", "K.png", "L.png", "M.png", "N.png",
                                            "O.png", "P.png", "Q.png", "R.png", "S.png", "T.png", "U.png",
                                            "V.png", "W.png", "X.png", "Y.png", "Z.png"};
    static const char* const chiffres[10] = {"0.png", "1.png", "2.png", "3.png", "4.png",
                                             "5.png", "6.png", "7.png", "8.png", "9.png"};
    for (int i = 0; i < 26; ++i)
        glyphes.push_back({lettres[i], static_cast<char>('A' + i)});
    for (int i = 0; i < 10; ++i)
        glyphes.push_back({chiffres[i], static_cast<char>('0' + i)});
    glyphes.push_back({"DeuxPoints.png", ':'});
    glyphes.push_back({"Espace.png", '\0'});
    glyphes.push_back({"Apostrophe.png", '\''});
    glyphes.push_back({"Point.png", '.'});
    glyphes.push_back({"Point exclamation.png", '!'});
    glyphes.push_back({"tiret.png", '-'});

    bool ok = true;
    for (const FichierGlyphe& g : glyphes)
        ok = Ecrire(racine, std::string("Images/Fontes/Standard/") + g.Fichier, DessinerGlyphe(SqueletteDe(g.Caractere))) && ok;
    return ok;
}
