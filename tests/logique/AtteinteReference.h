#pragma once
// The reachability search as it was before it was made faster: the reference
// the faster search must agree with (same reachable cells, same verdicts).
#include "analyse/Atteignable.h"

namespace AtteinteReference
{
    // Explores from the start cell of the global level, as
    // AnalyseCarte::Explorer did (the start, the target cell and the bounds
    // of the options; nothing else).
    AnalyseCarte::ResultatAtteinte Explorer(const AnalyseCarte::OptionsAtteinte& options);
}
