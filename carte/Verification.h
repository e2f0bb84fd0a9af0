#pragma once
// The analysis of a map text lives in its own library (analyse/), which the
// editor links too; the tool knows its names under its own namespace.
#include "analyse/Verification.h"

namespace OutilCarte
{
    using namespace AnalyseCarte;
}
