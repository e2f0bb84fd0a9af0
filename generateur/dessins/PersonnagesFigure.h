#pragma once
// The player's adventurer as a puppet: a pose gives the joints of a hooded
// figure facing right, and DessinerFigure paints it on a 64x64 transparent
// square, one outlined piece after the other (cloak, far limbs, body, head,
// near arm). The animations only move the joints.
#include "Pinceau.h"

struct PaletteFigure
{
    Couleur Encre;      // outlines, eyes
    Couleur Cape;       // hood and cloak
    Couleur Doublure;   // inside of the cloak and of the hood
    Couleur Tunique;
    Couleur Pantalon;
    Couleur Botte;      // boots and gloves
    Couleur Ceinture;
    Couleur Boucle;     // belt buckle and cloak clasp
    Couleur Peau;
    Couleur Cheveux;
};

struct PoseFigure
{
    // Body: pelvis centre, base of the neck, centre of the head.
    Point Hanche{}, Cou{}, Tete{};
    float InclinaisonTete = 0; // radians, negative looks up
    // Legs: hip, knee, ankle; foot angle in radians (0 flat, positive toe down).
    Point HancheAv{}, GenouAv{}, ChevilleAv{};
    Point HancheAr{}, GenouAr{}, ChevilleAr{};
    float PiedAv = 0, PiedAr = 0;
    // Arms: shoulder, elbow, hand ("Av" is the near side, drawn in front).
    Point EpauleAv{}, CoudeAv{}, MainAv{};
    Point EpauleAr{}, CoudeAr{}, MainAr{};
    bool YeuxFermes = false;
    // Cloak: angle of its top from hanging straight down (radians, positive
    // blows it backwards), extra bend towards its hem, a travelling ripple of
    // the given size, its phase (turns) and its length in pixels.
    float CapeAngle = 0.15f, CapeCourbure = 0.1f, CapeOnde = 0.08f, CapePhase = 0, CapeLongueur = 23;
    float CapeEvasement = 1; // width of the hem relative to the resting cloak
    // Tip of the hood: angle above straight back (radians) and length.
    float PointeAngle = 0.5f, PointeLongueur = 7;
};

// Two-bone reach from `racine` towards `cible` with bones l1 then l2: sets the
// middle joint, bent to the side `sens` (+1 bends towards +x when the limb
// points down), and the end, which is `cible` or the nearest point in reach.
void Membre(Point racine, Point cible, float l1, float l2, float sens, Point& milieu, Point& bout);

ImageRGBA DessinerFigure(const PoseFigure& pose, const PaletteFigure& palette);
