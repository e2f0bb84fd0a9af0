#pragma once
// Small arithmetic shared by the movement step and the character's frame:
// truncation of speeds, sums that cannot overflow, and clock differences that
// survive the wrap of the millisecond counter.
#include <SDL.h>
#include <climits>

namespace CalculPerso
{
    // A real turned into an integer by truncation toward zero (1.9 -> 1,
    // -0.9 -> 0, -1.1 -> -1), never rounded. Values beyond the range of int
    // (and NaN) would make the conversion undefined: they saturate instead.
    inline int Tronque(double v)
    {
        if (!(v == v))
            return 0;
        if (v >= 2147483647.0)
            return INT_MAX;
        if (v <= -2147483648.0)
            return INT_MIN;
        return static_cast<int>(v);
    }

    // a + b, held at the limits of int instead of overflowing. Positions start
    // within +-2^30 and move a few pixels a step, so this never bites in play;
    // it keeps the probe points and the snaps defined whatever a level holds.
    inline int Somme(int a, long long b)
    {
        const long long s = static_cast<long long>(a) + b;
        if (s > INT_MAX)
            return INT_MAX;
        if (s < INT_MIN)
            return INT_MIN;
        return static_cast<int>(s);
    }

    // now - avant in milliseconds, as a signed number: positive when `avant`
    // lies in the past. Taken modulo 2^32, so it stays right across the wrap of
    // the clock (every 49.7 days) as long as the two times are less than 24
    // days apart.
    inline long long Ecart(Uint32 now, Uint32 avant)
    {
        const Uint32 d = now - avant;
        if (d <= 0x7FFFFFFFu)
            return static_cast<long long>(d);
        return static_cast<long long>(d) - 0x100000000LL;
    }
}
