#pragma once
// What the game played, as SDL's disk audio driver writes it (signed 16-bit
// stereo at the game's rate), and a search for a known sound in it.
#include <string>
#include <vector>

// The environment that makes the game write its sound into `fichier`.
std::vector<std::string> SonSurDisque(const std::string& fichier);

// The left channel of the file, from -1 to 1.
std::vector<float> LireSortieSon(const std::string& fichier);

// How well the start of `motif` (its first 100 ms) lines up with some part
// of `sortie`: the best normalised cross-correlation, 1 for an exact copy
// at any level, near 0 when it is not there.
double Ressemblance(const std::vector<float>& sortie, const std::vector<float>& motif);

// Waits (at most `ms` of real time) until the game has written `secondes`
// of sound more than `depuis` samples into `fichier` and, with `musique`,
// until the music is heard in its last half second. The sounds are loaded
// one per frame after the first: slow builds take a while. False on time-out.
bool AttendreSortieSon(const std::string& fichier, size_t depuis, double secondes, bool musique, int ms = 60000);

// Waits (at most `ms` of real time) until `motif` is heard (a resemblance
// above `seuil`) in what the game wrote into `fichier` after `depuis`
// samples. False on time-out.
bool AttendreMotif(const std::string& fichier, size_t depuis, const std::vector<float>& motif, double seuil,
                   int ms = 30000);

// RMS of the whole output.
double Efficace(const std::vector<float>& sortie);
