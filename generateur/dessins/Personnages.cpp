// The player's adventurer: a small hooded traveller in a red cloak. Four
// loops of ten frames (standing, walking, in the air, hanging from a ledge),
// each frame a pose of the puppet of PersonnagesFigure. The figure faces
// right; the game mirrors it when it faces left.
//
// Square of 64x64: the feet rest on row 62 (the floor's top row when the
// character stands on flat ground), the hood reaches up to about row 8.
#include "Dessins.h"
#include "PersonnagesFigure.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace
{
    const float Pi = 3.14159265f;
    const float Sol = 59.6f; // ankle height of a foot flat on the floor

    // Bones.
    const float Cuisse = 9.8f, Tibia = 9.6f;
    const float Humerus = 7.2f, AvantBras = 6.8f;

    Point operator+(Point a, Point b) { return Point{a.x + b.x, a.y + b.y}; }
    Point operator-(Point a, Point b) { return Point{a.x - b.x, a.y - b.y}; }
    Point operator*(Point a, float k) { return Point{a.x * k, a.y * k}; }

    Point Tourner(Point a, float angle)
    {
        const float c = std::cos(angle), s = std::sin(angle);
        return Point{a.x * c - a.y * s, a.x * s + a.y * c};
    }

    // The skeleton from the pelvis, the neck, the head and where hands and feet
    // should go; knees bend forward, elbows backward.
    struct Cibles
    {
        Point Hanche, Cou, Tete;
        Point PiedAv, PiedAr;    // ankles
        Point MainAv, MainAr;    // hands
        Point EpauleAv{0.5f, 2.8f}, EpauleAr{-2.0f, 2.5f}; // from the neck
        float SensCoudeAv = -1, SensCoudeAr = -1;
        float LongueurBras = 1;  // stretch of the arms
    };

    void Assembler(const Cibles& c, PoseFigure& p)
    {
        p.Hanche = c.Hanche;
        p.Cou = c.Cou;
        p.Tete = c.Tete;
        p.HancheAv = c.Hanche + Point{1.5f, 0};
        p.HancheAr = c.Hanche + Point{-1.5f, 0};
        Membre(p.HancheAv, c.PiedAv, Cuisse, Tibia, 1, p.GenouAv, p.ChevilleAv);
        Membre(p.HancheAr, c.PiedAr, Cuisse, Tibia, 1, p.GenouAr, p.ChevilleAr);
        p.EpauleAv = c.Cou + c.EpauleAv;
        p.EpauleAr = c.Cou + c.EpauleAr;
        Membre(p.EpauleAv, c.MainAv, Humerus * c.LongueurBras, AvantBras * c.LongueurBras, c.SensCoudeAv, p.CoudeAv,
               p.MainAv);
        Membre(p.EpauleAr, c.MainAr, Humerus * c.LongueurBras, AvantBras * c.LongueurBras, c.SensCoudeAr, p.CoudeAr,
               p.MainAr);
    }

    // Standing: a slow breath lifts the shoulders and head one pixel, the
    // cloak sways, the eyes blink once.
    PoseFigure Immobile(int i)
    {
        const float t = i / 10.0f;
        const float souffle = std::round(0.5f - 0.5f * std::cos(2 * Pi * t));
        Cibles c;
        c.Hanche = Point{30.5f, 41.5f};
        c.Cou = Point{31.0f, 28.0f - souffle};
        c.Tete = Point{32.0f, 17.5f - souffle};
        c.PiedAv = Point{35.0f, Sol};
        c.PiedAr = Point{26.0f, Sol};
        c.MainAv = c.Cou + c.EpauleAv + Point{1.5f, 13.2f};
        c.MainAr = c.Cou + c.EpauleAr + Point{-1.0f, 13.0f};
        PoseFigure p;
        Assembler(c, p);
        p.YeuxFermes = i == 7;
        p.CapeAngle = 0.12f + 0.05f * std::sin(2 * Pi * t);
        p.CapeCourbure = 0.08f;
        p.CapeOnde = 0.06f;
        p.CapePhase = t;
        p.PointeAngle = 0.35f + 0.08f * std::sin(2 * Pi * t + 1);
        return p;
    }

    // Walking: two strides a second; each foot is planted half the cycle and
    // swings forward the other half. The body is lowest when both feet touch.
    PoseFigure Marche(int i)
    {
        const float t = i / 10.0f;
        const float foulee = 10.0f, levee = 6.0f;
        auto pied = [&](float phase, float& angle) {
            phase -= std::floor(phase);
            if (phase < 0.5f)
            {
                const float u = phase / 0.5f;
                angle = u < 0.15f ? -0.25f : (u > 0.75f ? 0.45f * (u - 0.75f) / 0.25f : 0);
                const float talon = u > 0.75f ? 1.5f * (u - 0.75f) / 0.25f : 0;
                return Point{foulee - 2 * foulee * u, Sol - talon};
            }
            const float u = (phase - 0.5f) / 0.5f;
            const float e = 0.5f - 0.5f * std::cos(Pi * u);
            angle = 0.5f * (1 - u) - 0.25f * u;
            return Point{-foulee + 2 * foulee * e, Sol - levee * std::sin(Pi * u)};
        };
        const float leve = std::sin(Pi * (2 * t - std::floor(2 * t)));
        Cibles c;
        c.Hanche = Point{30.0f, 42.6f - 1.6f * leve};
        const float inclinaison = 0.1f;
        c.Cou = c.Hanche + Tourner(Point{0, -13.5f}, inclinaison);
        c.Tete = c.Cou + Point{1.6f, -10.4f};
        PoseFigure p;
        c.PiedAv = pied(t, p.PiedAv);
        c.PiedAr = pied(t + 0.5f, p.PiedAr);
        c.PiedAv.x += c.Hanche.x + 1.5f;
        c.PiedAr.x += c.Hanche.x - 1.5f;
        // Arms swing against the legs.
        // A forward hand comes up with a bent elbow.
        const float balan = 1.0f * std::cos(2 * Pi * t);
        c.MainAv = c.Cou + c.EpauleAv + Point{-std::sin(balan), std::cos(balan)} * (12.5f + 1.5f * balan);
        c.MainAr = c.Cou + c.EpauleAr + Point{std::sin(balan), std::cos(balan)} * (12.5f - 1.5f * balan);
        c.SensCoudeAv = -1;
        c.SensCoudeAr = -1;
        Assembler(c, p);
        p.CapeAngle = 0.55f + 0.08f * leve;
        p.CapeCourbure = 0.25f;
        p.CapeOnde = 0.22f;
        p.CapePhase = 2 * t;
        p.CapeEvasement = 1.05f;
        p.PointeAngle = 0.45f + 0.1f * std::sin(2 * Pi * 2 * t);
        p.PointeLongueur = 7.5f;
        return p;
    }

    // In the air: knees tucked, one arm up, the cloak streaming back with a
    // ripple running along it; the loop floats on and repeats without a jolt.
    PoseFigure Saut(int i)
    {
        const float t = i / 10.0f;
        const float o = std::sin(2 * Pi * t), q = std::cos(2 * Pi * t);
        Cibles c;
        c.Hanche = Point{30.0f, 38.5f + 0.5f * o};
        c.Cou = c.Hanche + Tourner(Point{0, -13.5f}, 0.14f);
        c.Tete = c.Cou + Point{1.5f, -10.3f};
        c.PiedAv = c.Hanche + Point{4.5f + 1.0f * o, 10.5f + 0.8f * q};
        c.PiedAr = c.Hanche + Point{-7.0f - 1.0f * o, 15.5f - 0.6f * q};
        c.MainAv = c.Cou + c.EpauleAv + Point{10.5f, 0.5f + 0.8f * o};
        c.MainAr = c.Cou + c.EpauleAr + Point{-9.5f, 4.0f - 0.8f * o};
        c.SensCoudeAv = -1;
        c.SensCoudeAr = -1;
        PoseFigure p;
        Assembler(c, p);
        p.PiedAv = 0.5f;
        p.PiedAr = 0.9f;
        p.CapeAngle = 0.85f;
        p.CapeCourbure = 0.5f;
        p.CapeOnde = 0.3f;
        p.CapePhase = t;
        p.CapeEvasement = 0.95f;
        p.CapeLongueur = 25;
        p.PointeAngle = 0.55f + 0.12f * o;
        p.PointeLongueur = 8;
        return p;
    }

    // Hanging from a ledge whose top is the square's top edge and whose wall
    // stands just right of the square: hands on the corner, arms up, body and
    // legs hanging and swaying a little around the grip.
    PoseFigure Accrocher(int i)
    {
        const float t = i / 10.0f;
        const float balancement = 0.05f * std::sin(2 * Pi * t);
        const float retard = 0.05f * std::sin(2 * Pi * t - 1.0f);
        Cibles c;
        c.Cou = Point{50.5f, 19.5f};
        c.Hanche = c.Cou + Point{2.5f, 13.5f};
        c.Tete = c.Cou + Point{-6.5f, -7.5f};
        c.EpauleAv = Point{3.0f, 1.0f};
        c.EpauleAr = Point{1.0f, 0.0f};
        c.MainAv = Point{60.1f, 2.7f};
        c.MainAr = Point{58.2f, 1.9f};
        c.LongueurBras = 1.4f;
        c.SensCoudeAv = 1;
        c.SensCoudeAr = 1;
        c.PiedAv = c.Hanche + Point{5.0f + 1.2f * retard / 0.05f, 16.0f};
        c.PiedAr = c.Hanche + Point{-0.5f - 1.0f * retard / 0.05f, 19.0f};
        PoseFigure p;
        Assembler(c, p);
        p.PiedAv = -1.0f;
        p.PiedAr = 0.9f;
        // Turn everything but the hands about the grip.
        const Point prise{60.5f, 2.0f};
        auto tourne = [&](Point& a) { a = prise + Tourner(a - prise, balancement); };
        for (Point* a : {&p.Hanche, &p.Cou, &p.Tete, &p.HancheAv, &p.GenouAv, &p.ChevilleAv, &p.HancheAr, &p.GenouAr,
                         &p.ChevilleAr, &p.EpauleAv, &p.CoudeAv, &p.EpauleAr, &p.CoudeAr})
            tourne(*a);
        p.InclinaisonTete = -0.3f;
        p.CapeAngle = -0.02f - 1.5f * retard;
        p.CapeCourbure = 0.05f;
        p.CapeOnde = 0.05f;
        p.CapePhase = t;
        p.CapeLongueur = 24;
        p.PointeAngle = -0.3f + 0.1f * std::sin(2 * Pi * t - 0.5f);
        return p;
    }

    PaletteFigure Rouge()
    {
        PaletteFigure p;
        p.Encre = Rvb(30, 22, 40);
        p.Cape = Rvb(206, 44, 56);
        p.Doublure = Rvb(96, 22, 44);
        p.Tunique = Rvb(56, 86, 136);
        p.Pantalon = Rvb(84, 70, 72);
        p.Botte = Rvb(122, 78, 44);
        p.Ceinture = Rvb(96, 60, 36);
        p.Boucle = Rvb(244, 198, 72);
        p.Peau = Rvb(250, 210, 172);
        p.Cheveux = Rvb(118, 66, 38);
        return p;
    }

    // The sibling in a sea-green cloak.
    PaletteFigure Vert()
    {
        PaletteFigure p = Rouge();
        p.Cape = Rvb(36, 150, 132);
        p.Doublure = Rvb(18, 64, 66);
        p.Tunique = Rvb(112, 74, 140);
        p.Cheveux = Rvb(60, 44, 40);
        return p;
    }
}

bool DessinerPersonnages(const std::string& racine)
{
    struct Dossier
    {
        const char* Nom;
        PaletteFigure Palette;
    };
    const Dossier dossiers[] = {{"Principal", Vert()}, {"Principal (copie)", Rouge()}};
    struct Animation
    {
        const char* Nom;
        PoseFigure (*Pose)(int);
    };
    const Animation animations[] = {
        {"immobile", Immobile}, {"marche", Marche}, {"saut", Saut}, {"accrocher", Accrocher}};
    bool ok = true;
    for (const Dossier& d : dossiers)
        for (const Animation& a : animations)
            for (int i = 0; i < 10; ++i)
            {
                char chemin[128];
                std::snprintf(chemin, sizeof chemin, "Images/Personnages/%s/%s%d.png", d.Nom, a.Nom, i + 1);
                ok = Ecrire(racine, chemin, DessinerFigure(a.Pose(i), d.Palette)) && ok;
            }
    return ok;
}
