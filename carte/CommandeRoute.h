#pragma once
// corvella-carte route [--max-states N] [--max-seconds S] FILE: a route that
// takes every bonus of the level it can, printed as an input file for
// `replay`. Exit status 0 when it takes every bonus, 1 when some cannot be
// taken (listed on stderr), 2 on errors.
#include <string>
#include <vector>

namespace OutilCarte
{
    extern const char* const UsageRoute;
    int CommandeRoute(const std::vector<std::string>& arguments);
}
