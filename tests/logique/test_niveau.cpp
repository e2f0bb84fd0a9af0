// The level the game ships, as the game finds it in its working directory:
// well formed, closed on every side, a start cell to stand on, every bonus
// type, every bonus reachable in one run, and every image the game loads.
#include <gtest/gtest.h>

#include "aide/Aide.h"
#include "main/Globales.h"
#include "outils/Horloge.h"

#include <SDL_image.h>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace
{
    const char* const CheminNiveau = "./Data/Maps/Map1.map";

    // The file's text as the game reads it (CR LF read as LF).
    std::string TexteNiveau()
    {
        std::ifstream fichier(CheminNiveau, std::ios::binary);
        std::stringstream texte;
        texte << fichier.rdbuf();
        std::string s = texte.str();
        std::string lu;
        for (size_t i = 0; i < s.size(); ++i)
            if (!(s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n'))
                lu += s[i];
        return lu;
    }

    // The character's collision box at (x, y) lies in open cells only.
    bool Boite(const CMap& carte, int x, int y)
    {
        CMap& c = const_cast<CMap&>(carte);
        return c.AutAcces(x + 6, y + 4) && c.AutAcces(x + 57, y + 4) && c.AutAcces(x + 6, y + 61) &&
               c.AutAcces(x + 57, y + 61);
    }

    bool Ouvert(int code)
    {
        return code == 1 || code == 3 || code == 8 || code == 9 || code == 21 || code == 23;
    }

    class NiveauLivre : public ::testing::Test
    {
    protected:
        CMap carte_;
        std::string texte_;

        void SetUp() override
        {
            texte_ = TexteNiveau();
            ASSERT_FALSE(texte_.empty()) << CheminNiveau << " is missing from the working directory";
            carte_.AnalyseContenu(texte_);
            ASSERT_GT(carte_.Largeur, 0);
            ASSERT_GT(carte_.Hauteur, 0);
        }
    };
}

TEST_F(NiveauLivre, EveryRowIsFullAndMadeOfTiles)
{
    const size_t debut = texte_.find("[Map]");
    ASSERT_NE(debut, std::string::npos);
    EXPECT_EQ(texte_.find('[', debut + 1), std::string::npos) << "one grid, read last";
    std::vector<std::string> lignes;
    Split(&lignes, texte_.substr(debut + 5), '\n');
    int rangee = 0;
    for (const std::string& ligne : lignes)
    {
        if (ligne.empty())
            continue;
        EXPECT_EQ(ligne.size(), static_cast<size_t>(carte_.Largeur)) << "row " << rangee;
        for (size_t c = 0; c < ligne.size(); ++c)
            EXPECT_NE(CodeCaractere(ligne[c]), 0)
                << "'" << ligne[c] << "' at column " << c << ", row " << rangee;
        ++rangee;
    }
    EXPECT_EQ(rangee, carte_.Hauteur);
    // So the grid holds every cell and none is left unset (invisible and closed).
    ASSERT_EQ(carte_.Cases.size(), static_cast<size_t>(carte_.Largeur));
    for (int c = 0; c < carte_.Largeur; ++c)
    {
        ASSERT_EQ(carte_.Cases[c].size(), static_cast<size_t>(carte_.Hauteur));
        for (int r = 0; r < carte_.Hauteur; ++r)
            EXPECT_NE(carte_.CodeCase(c, r), 0) << c << "," << r;
    }
}

TEST_F(NiveauLivre, SpansSeveralScreensEachWay)
{
    EXPECT_GE(carte_.Largeur * 64, 4 * 800);
    EXPECT_GE(carte_.Hauteur * 64, 2 * 600);
    // And no fall inside it can take a full life (3584 px would).
    EXPECT_LT(carte_.Hauteur * 64, 3584);
}

TEST_F(NiveauLivre, EveryBorderCellIsSolid)
{
    std::vector<std::pair<int, int>> bord;
    for (int c = 0; c < carte_.Largeur; ++c)
    {
        bord.emplace_back(c, 0);
        bord.emplace_back(c, carte_.Hauteur - 1);
    }
    for (int r = 0; r < carte_.Hauteur; ++r)
    {
        bord.emplace_back(0, r);
        bord.emplace_back(carte_.Largeur - 1, r);
    }
    for (const auto& [c, r] : bord)
    {
        EXPECT_FALSE(Ouvert(carte_.CodeCase(c, r))) << c << "," << r;
        for (int dx : {0, 31, 63})
            for (int dy : {0, 31, 63})
            {
                EXPECT_FALSE(carte_.AutAcces(64 * c + dx, 64 * r + dy)) << c << "," << r;
                EXPECT_FALSE(carte_.DiedAcces(64 * c + dx, 64 * r + dy)) << c << "," << r;
            }
    }
}

TEST_F(NiveauLivre, TheStartCellIsOpenWithGroundBelow)
{
    ASSERT_GE(carte_.PosDebutX, 2);
    ASSERT_LE(carte_.PosDebutX, carte_.Largeur - 1);
    ASSERT_GE(carte_.PosDebutY, 2);
    ASSERT_LE(carte_.PosDebutY, carte_.Hauteur - 1);
    const int colonne = carte_.PosDebutX - 1, ligne = carte_.PosDebutY - 1;
    EXPECT_EQ(carte_.CodeCase(colonne, ligne), 1);
    EXPECT_FALSE(Ouvert(carte_.CodeCase(colonne, ligne + 1)));
    // The character placed there fits, stands on the ground and is not in water.
    const int x = carte_.ReturnPosDebutX(), y = carte_.ReturnPosDebutY();
    EXPECT_TRUE(Boite(carte_, x, y));
    EXPECT_FALSE(Boite(carte_, x, y + 3));
    EXPECT_FALSE(carte_.DiedAcces(x + 32, y + 32));
}

TEST_F(NiveauLivre, AllEightBonusTypesLieOnEmptyCells)
{
    std::set<int> types;
    for (const CMap::CBonus& b : carte_.ListeBonus)
    {
        types.insert(b.Type);
        EXPECT_EQ(carte_.CodeCase(b.CaseX, b.CaseY), 1) << b.CaseX << "," << b.CaseY;
    }
    EXPECT_EQ(types, (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST_F(NiveauLivre, SlopesStandOnGroundWithRoomAbove)
{
    for (int c = 0; c < carte_.Largeur; ++c)
        for (int r = 1; r + 1 < carte_.Hauteur; ++r)
        {
            const int code = carte_.CodeCase(c, r);
            if (code != 8 && code != 9 && code != 21 && code != 23)
                continue;
            EXPECT_FALSE(Ouvert(carte_.CodeCase(c, r + 1))) << "under the slope at " << c << "," << r;
            EXPECT_EQ(carte_.CodeCase(c, r - 1), 1) << "above the slope at " << c << "," << r;
        }
}

TEST_F(NiveauLivre, WaterLiesInPoolsWithABottom)
{
    int eau = 0;
    for (int c = 0; c < carte_.Largeur; ++c)
        for (int r = 0; r < carte_.Hauteur; ++r)
            if (carte_.CodeCase(c, r) == 3)
            {
                ++eau;
                EXPECT_FALSE(Ouvert(carte_.CodeCase(c, r + 1))) << c << "," << r;
            }
    EXPECT_GT(eau, 0);
}

TEST(NiveauLivreCharge, LoadingMakesThePlayerOnTheStartCell)
{
    const std::string texte = TexteNiveau();
    ASSERT_FALSE(texte.empty());
    DossierTemporaire dossier;
    EcrireFichier(dossier / "Data/Maps/Map1.map", texte);
    DansDossier ici(dossier.Chemin());
    Horloge::FixerTemps(1000);
    Map = CMap();
    EXPECT_EQ(Map.LoadMap("Map1.map"), 0);
    ASSERT_EQ(Personnages.size(), 1u);
    EXPECT_EQ(Personnages[0].ReturnPosX(), 64 * (Map.PosDebutX - 1));
    EXPECT_EQ(Personnages[0].ReturnPosY(), 64 * (Map.PosDebutY - 1));
    EXPECT_GT(Map.ListeBonus.size(), 0u);
    Map = CMap();
    Personnages.clear();
    Horloge::TempsReel();
}

// ---------------------------------------------------------------------------
// One run through the level with the game's own movement: from the start to
// the far end, taking every bonus, surviving the long drop, never drowning.

namespace
{
    class Parcours : public ::testing::Test
    {
    protected:
        CPerso* p_ = nullptr;
        std::vector<int> pris_;
        int vieMin_ = 1000;
        bool mort_ = false;
        long pas_ = 0;

        void SetUp() override
        {
            const std::string texte = TexteNiveau();
            ASSERT_FALSE(texte.empty());
            Horloge::FixerTemps(1000000);
            JeuEnPause = false;
            Map = CMap();
            Map.AnalyseContenu(texte);
            Personnages.clear();
            Personnages.push_back(CPerso());
            p_ = &Personnages[0];
            p_->ModifPos(Map.ReturnPosDebutX(), Map.ReturnPosDebutY());
        }
        void TearDown() override
        {
            Map = CMap();
            Personnages.clear();
            Moteur.FonduActif = false;
            Horloge::TempsReel();
        }

        void Touches(bool haut, bool gauche, bool droite)
        {
            p_->Touches[CPerso::ToucheHaut] = haut;
            p_->Touches[CPerso::ToucheBas] = false;
            p_->Touches[CPerso::ToucheGauche] = gauche;
            p_->Touches[CPerso::ToucheDroite] = droite;
        }

        // One 5 ms step, then what the character's frame does with the level:
        // the bonus under its top-left corner, water under its centre.
        void Pas()
        {
            Horloge::AvancerTemps(5);
            p_->CalcDepl();
            ++pas_;
            const int type = Map.ReturnBonus(p_->PosX, p_->PosY);
            if (type != 0)
                pris_.push_back(type);
            if (p_->Vie < vieMin_)
                vieMin_ = p_->Vie;
            if (p_->Etat == CPerso::Mort || Map.DiedAcces(p_->PosX + 32, p_->PosY + 32))
                mort_ = true;
        }

        void Attendre(int n)
        {
            Touches(false, false, false);
            for (int i = 0; i < n && !mort_; ++i)
                Pas();
        }

        // Walks right until the square's left edge reaches x.
        void MarcherJusque(int x)
        {
            Touches(false, false, true);
            for (int i = 0; i < 20000 && !mort_ && p_->PosX < x; ++i)
                Pas();
        }

        // Jumps while walking right; if the jump ends on a ledge, climbs it.
        void SauterADroite(int n)
        {
            Touches(true, false, true);
            for (int i = 0; i < 3 && !mort_; ++i)
                Pas();
            for (int i = 0; i < n && !mort_; ++i)
            {
                const bool accroche = p_->Etat == CPerso::Accroche;
                Touches(accroche, false, true);
                Pas();
            }
        }
    };
}

TEST_F(Parcours, EveryBonusCanBeTakenInOneRun)
{
    const size_t total = Map.ListeBonus.size();
    MarcherJusque(600);    // over the hill
    SauterADroite(150);    // onto the sky platform
    MarcherJusque(1060);   // down again
    SauterADroite(100);    // over the first pool
    MarcherJusque(1220);
    SauterADroite(120);    // the low platform
    MarcherJusque(1430);
    SauterADroite(120);    // the high platform
    MarcherJusque(1690);
    SauterADroite(120);    // the first island
    MarcherJusque(1900);
    SauterADroite(150);    // the top island
    MarcherJusque(2420);   // down onto the cliff's plateau
    SauterADroite(200);    // three steps up
    SauterADroite(200);
    SauterADroite(200);
    MarcherJusque(3235);   // across the sand
    SauterADroite(100);    // over the oasis
    MarcherJusque(3380);
    SauterADroite(150);    // onto the sand slab
    MarcherJusque(3600);
    MarcherJusque(3900);   // off the edge: the long drop
    Attendre(100);
    ASSERT_FALSE(mort_) << "died in the drop after " << pas_ << " steps";
    EXPECT_LT(vieMin_, 1000) << "the drop should cost life";
    MarcherJusque(4210);
    SauterADroite(100);    // over the valley pool
    MarcherJusque(4780);   // up the slope to the lake
    SauterADroite(100);    // first pillar
    MarcherJusque(4965);
    SauterADroite(100);    // middle pillar
    MarcherJusque(5122);
    Attendre(40);
    Touches(true, false, false);
    Pas();
    Attendre(200);         // straight up for the bonus above it
    MarcherJusque(5160);
    SauterADroite(100);    // last pillar
    MarcherJusque(5340);
    SauterADroite(100);    // the far shore
    MarcherJusque(5510);
    SauterADroite(150);    // the tower
    MarcherJusque(5760);
    Attendre(100);

    EXPECT_FALSE(mort_) << "died after " << pas_ << " steps at " << p_->PosX << "," << p_->PosY;
    EXPECT_GT(vieMin_, 0);
    EXPECT_EQ(pris_.size(), total) << "at " << p_->PosX << "," << p_->PosY;
    EXPECT_TRUE(Map.ListeBonus.empty());
    EXPECT_GE(p_->PosX / 64, Map.Largeur - 3) << "the run should end at the far wall";
}

TEST_F(Parcours, WalkingOffTheFirstPoolsEdgeDrowns)
{
    MarcherJusque(1120);
    Attendre(100);
    EXPECT_TRUE(mort_);
}

// ---------------------------------------------------------------------------
// Every image the game asks for, from the working directory.

namespace
{
    std::vector<std::string> ImagesDuJeu()
    {
        std::vector<std::string> chemins = {"./Images/ArrierePlanMenu.png", "./Images/MotifAP.png",
                                            "./Images/Interface/barrevie.png",
                                            "./Images/Interface/barremana.png",
                                            "./Images/Interface/interface.png"};
        std::vector<std::string> glyphes;
        for (char c = 'A'; c <= 'Z'; ++c)
            glyphes.push_back(std::string(1, c) + ".png");
        for (char c = '0'; c <= '9'; ++c)
            glyphes.push_back(std::string(1, c) + ".png");
        for (const char* g : {"DeuxPoints.png", "Espace.png", "Apostrophe.png", "Point.png",
                              "Point exclamation.png", "tiret.png"})
            glyphes.push_back(g);
        for (const std::string& g : glyphes)
            chemins.push_back("./Images/Fontes/Standard/" + g);
        for (const char* t :
             {"Herbe", "Eau", "Mur", "Debut de pente droite", "Sable - Vers vide a gauche",
              "Debut de pente gauche", "Sommet de cote droite", "Sommet de cote gauche", "Terre",
              "Herbe vers le vide a droite", "Transition cote droite", "Herbe vers le vide a gauche",
              "Transition cote gauche", "Transition mur-eau droite", "Mur droite",
              "Transition mur-eau gauche", "Mur gauche", "Transition mur-herbe droite",
              "Transition mur-herbe gauche", "Pente droite", "Transition mur-terre bas droite",
              "Pente gauche", "Transition mur-terre  bas gauche", "Sable - Interieur",
              "Transition mur-terre droite", "Sable - Mur droite", "Transition mur-terre gauche",
              "Sable - Mur gauche", "Transition mur-terre haut droite", "Sable - Sol",
              "Transition mur-terre haut gauche", "Sable - Vers vide a droite"})
            chemins.push_back(std::string("Images/Maps/") + t + ".png");
        for (const char* b : {"vie25", "vie50", "vie75", "vie100", "mana25", "mana50", "mana75", "mana100"})
            for (int n = 1; n <= 10; ++n)
                chemins.push_back(std::string("Images/Bonus/") + b + "p" + std::to_string(n) + ".png");
        for (const char* dossier : {"Principal", "Principal (copie)"})
            for (const char* anim : {"immobile", "marche", "saut", "accrocher"})
                for (int n = 1; n <= 10; ++n)
                    chemins.push_back(std::string("./Images/Personnages/") + dossier + "/" + anim +
                                      std::to_string(n) + ".png");
        return chemins;
    }
}

TEST(NiveauImages, EveryImageTheGameLoadsExistsAndDecodes)
{
    const std::vector<std::string> chemins = ImagesDuJeu();
    EXPECT_EQ(chemins.size(), 2u + 3u + 42u + 32u + 80u + 80u);
    for (const std::string& chemin : chemins)
    {
        SDL_Surface* image = IMG_Load(chemin.c_str());
        EXPECT_NE(image, nullptr) << chemin;
        if (image == nullptr)
            continue;
        EXPECT_GT(image->w, 0) << chemin;
        EXPECT_GT(image->h, 0) << chemin;
        SDL_FreeSurface(image);
    }
}
