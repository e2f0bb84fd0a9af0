// Glyph slots of the bitmap fonts, their file names and paths.
#include <gtest/gtest.h>

#include "moteur/Moteur.h"

#include <cstring>
#include <string>

TEST(GlyphSlots, LettersDigitsAndPunctuation)
{
    EXPECT_EQ(CMoteur::CTexte::giveLettre('A'), 0);
    EXPECT_EQ(CMoteur::CTexte::giveLettre('P'), 15);
    EXPECT_EQ(CMoteur::CTexte::giveLettre('Z'), 25);
    EXPECT_EQ(CMoteur::CTexte::giveLettre(':'), 26);
    EXPECT_EQ(CMoteur::CTexte::giveLettre('0'), 27);
    EXPECT_EQ(CMoteur::CTexte::giveLettre('9'), 36);
    EXPECT_EQ(CMoteur::CTexte::giveLettre(' '), 37);
    EXPECT_EQ(CMoteur::CTexte::giveLettre('\''), 38);
    EXPECT_EQ(CMoteur::CTexte::giveLettre('.'), 39);
    EXPECT_EQ(CMoteur::CTexte::giveLettre('!'), 40);
    EXPECT_EQ(CMoteur::CTexte::giveLettre('-'), 41);
    for (char c = 'A'; c <= 'Z'; ++c)
        EXPECT_EQ(CMoteur::CTexte::giveLettre(c), c - 'A');
    for (char c = '0'; c <= '9'; ++c)
        EXPECT_EQ(CMoteur::CTexte::giveLettre(c), 27 + (c - '0'));
}

TEST(GlyphSlots, EverythingElseIsTheSpaceWithoutCaseFolding)
{
    EXPECT_EQ(CMoteur::CTexte::giveLettre('a'), 37);
    EXPECT_EQ(CMoteur::CTexte::giveLettre('z'), 37);
    for (const char c : {'?', '%', '\n', '\0', '@', '[', '`', '{', '/', ';', '"', '\x7f'})
        EXPECT_EQ(CMoteur::CTexte::giveLettre(c), 37) << static_cast<int>(c);
    // Bytes above 127 (negative as a char here) are not letters either.
    for (int octet = 128; octet < 256; ++octet)
        EXPECT_EQ(CMoteur::CTexte::giveLettre(static_cast<char>(octet)), 37) << octet;
    // Nothing in the whole byte range falls outside the 42 slots.
    for (int octet = 0; octet < 256; ++octet)
    {
        const int slot = CMoteur::CTexte::giveLettre(static_cast<char>(octet));
        EXPECT_GE(slot, 0);
        EXPECT_LT(slot, CMoteur::CTexte::NbLettres);
    }
}

TEST(GlyphFiles, ExactNamesOfTheFortyTwoSlots)
{
    EXPECT_STREQ(FichierLettre(0), "A.png");
    EXPECT_STREQ(FichierLettre(15), "P.png");
    EXPECT_STREQ(FichierLettre(25), "Z.png");
    EXPECT_STREQ(FichierLettre(26), "DeuxPoints.png");
    EXPECT_STREQ(FichierLettre(27), "0.png");
    EXPECT_STREQ(FichierLettre(36), "9.png");
    EXPECT_STREQ(FichierLettre(37), "Espace.png");
    EXPECT_STREQ(FichierLettre(38), "Apostrophe.png");
    EXPECT_STREQ(FichierLettre(39), "Point.png");
    EXPECT_STREQ(FichierLettre(40), "Point exclamation.png");
    EXPECT_STREQ(FichierLettre(41), "tiret.png");
    for (int slot = 0; slot < 26; ++slot)
        EXPECT_EQ(std::string(FichierLettre(slot)), std::string(1, static_cast<char>('A' + slot)) + ".png");
    for (int slot = 27; slot <= 36; ++slot)
        EXPECT_EQ(std::string(FichierLettre(slot)), std::string(1, static_cast<char>('0' + slot - 27)) + ".png");
    EXPECT_EQ(FichierLettre(-1), nullptr);
    EXPECT_EQ(FichierLettre(42), nullptr);
    // Each character's slot names the file drawn for it.
    EXPECT_STREQ(FichierLettre(CMoteur::CTexte::giveLettre('!')), "Point exclamation.png");
    EXPECT_STREQ(FichierLettre(CMoteur::CTexte::giveLettre('-')), "tiret.png");
}

TEST(GlyphFiles, PathsFitTheHundredByteBufferOrAreRefused)
{
    char chemin[100];
    ASSERT_TRUE(CheminLettre(chemin, sizeof chemin, "Standard", "Point exclamation.png"));
    EXPECT_STREQ(chemin, "./Images/Fontes/Standard/Point exclamation.png");

    // 17 fixed characters + name + file: 99 characters fit, 100 do not.
    const std::string nom61(61, 'n');
    ASSERT_TRUE(CheminLettre(chemin, sizeof chemin, nom61.c_str(), "Point exclamation.png"));
    EXPECT_EQ(std::strlen(chemin), 99u);
    const std::string nom62(62, 'n');
    char garde[120];
    std::memset(garde, '#', sizeof garde);
    EXPECT_FALSE(CheminLettre(garde, 100, nom62.c_str(), "Point exclamation.png"));
    EXPECT_EQ(garde[0], '\0') << "a refused path leaves no partial name behind";
    for (size_t i = 100; i < sizeof garde; ++i)
        ASSERT_EQ(garde[i], '#') << "nothing written past the buffer";
    EXPECT_TRUE(CheminLettre(chemin, sizeof chemin, nom62.c_str(), "A.png"));

    // A very long name and missing arguments are refused.
    const std::string immense(5000, 'x');
    EXPECT_FALSE(CheminLettre(chemin, sizeof chemin, immense.c_str(), "A.png"));
    EXPECT_EQ(chemin[0], '\0');
    EXPECT_FALSE(CheminLettre(chemin, sizeof chemin, nullptr, "A.png"));
    EXPECT_FALSE(CheminLettre(chemin, sizeof chemin, "Standard", nullptr));
    EXPECT_FALSE(CheminLettre(chemin, 0, "Standard", "A.png"));
    EXPECT_FALSE(CheminLettre(nullptr, 100, "Standard", "A.png"));
}
