#pragma once
// The zones callgrind counts (--toggle-collect=banc_zone_*). With valgrind's
// header at hand, the instrumentation is switched on only just before a zone
// (the conductor then runs valgrind with --instr-atstart=no), so that the
// start-up before it runs at a bearable speed.
#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#define BANC_INSTRUMENTE() CALLGRIND_START_INSTRUMENTATION
#define BANC_INSTRUMENTATION_TARDIVE 1
#else
#define BANC_INSTRUMENTE() \
    do                     \
    {                      \
    } while (0)
#define BANC_INSTRUMENTATION_TARDIVE 0
#endif
