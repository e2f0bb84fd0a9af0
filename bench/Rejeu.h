#pragma once
// The design's floor for a frame: the very GL calls one game frame makes,
// recorded by the recording layer (CrochetTrace.cpp) and replayed here with no
// game logic around them. The text trace is decoded once into a packed list of
// calls; replaying it is a plain loop that issues each call with its recorded
// arguments.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

class CRejeu
{
public:
    // Decodes a trace; false (with a reason) when a line is not a frame call.
    bool Charge(const std::string& texte, std::string& erreur);

    // Issues every recorded call in order. Without `avecEchange` the final
    // buffer swap is left out (the caller reads the picture first).
    void Joue(bool avecEchange = true) const;
    // Walks the packed list without calling GL: the cost of the replay loop
    // itself, to show what the floor carries of its own.
    uint64_t Parcourt() const;

    size_t NbAppels() const { return nbAppels_; }
    const std::map<std::string, long>& Comptes() const { return comptes_; }

private:
    std::vector<unsigned char> code_;
    size_t nbAppels_ = 0;
    std::map<std::string, long> comptes_;
};
