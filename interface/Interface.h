#pragma once
// The head-up display: life and mana bars under a frame image, with the values.

class CInterface
{
public:
    unsigned int ImgBarreVie;
    unsigned int ImgBarreMana;
    unsigned int ImgInterface;

    CInterface();
    ~CInterface();
    void LoadInterface();
    void DessineInterface(int vie, int vieMax, int mana, int manaMax);

    // Width in pixels of a bar showing `valeur` out of `maximum` (200 when full),
    // truncated, kept within 0..200; 0 when the maximum is zero or less.
    static int LargeurBarre(int valeur, int maximum);
};
