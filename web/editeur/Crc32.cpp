#include "include/zlib.h"

#include <cstdint>

uLong crc32(uLong crc, const Bytef* octets, uInt longueur)
{
    static std::uint32_t table[256];
    static bool prete = false;
    if (!prete)
    {
        for (std::uint32_t n = 0; n < 256; ++n)
        {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
        prete = true;
    }
    if (octets == nullptr)
        return 0;
    std::uint32_t c = static_cast<std::uint32_t>(crc) ^ 0xFFFFFFFFu;
    for (uInt i = 0; i < longueur; ++i)
        c = table[(c ^ octets[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}
