// The start-up allocates some tens of megabytes that it touches once — the
// driver's copy of every texture with its mipmaps, the temporary surfaces of
// every image, the window's buffers — and frees and allocates again the
// surfaces of each image in turn. Fresh memory reaches the process one 4 kB
// page at a time, each on its first touch, through a fault into the kernel:
// some 24 000 faults up to the first frame (a bare window takes 14 000), which
// cost more than decoding the images. A freed block at the top of the heap is
// also handed back to the system and faulted in again for the next image.
//
// So the heap is grown once, before the window opens, by a reserve the
// start-up's allocations are then taken from; the kernel is asked to back it
// with 2 MB pages (transparent huge pages, where the system allows them on
// request), one fault for every 2 MB; and freed memory stays in the heap
// (about 7 000 faults in all are left). Only the part of the reserve that is
// used becomes resident.
#include "Memoire.h"

#ifdef CORVELLA_ALLOCATEUR_C
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

bool PrepareTas(std::size_t reserve)
{
    const std::size_t pageGeante = std::size_t(2) << 20;
    if (reserve < 2 * pageGeante || reserve > (std::size_t(1) << 30))
        return false;
    // Blocks below 32 MB (the most the C library allows here) come from the
    // heap, not from mappings of their own; memory freed at the top of the
    // heap is never handed back.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, static_cast<int>(reserve * 2));
    // The next growth of the heap takes the whole reserve in one piece.
    mallopt(M_TOP_PAD, static_cast<int>(reserve));
    // A block larger than the free space at the top of the heap, so that the
    // heap has to grow for it.
    const std::uintptr_t avant = reinterpret_cast<std::uintptr_t>(sbrk(0));
    void* bloc = std::malloc(mallinfo2().keepcost + (std::size_t(1) << 20));
    const std::uintptr_t apres = reinterpret_cast<std::uintptr_t>(sbrk(0));
    // Later growths by a few huge pages at a time.
    mallopt(M_TOP_PAD, static_cast<int>(2 * pageGeante));
    // Only memory the heap has just grown by is advised: never anything else
    // (an allocator that is not the C library's does not grow the heap).
    bool pret = false;
    if (bloc != nullptr && avant != static_cast<std::uintptr_t>(-1) && apres >= avant + reserve)
    {
        const std::uintptr_t debut = (avant + pageGeante - 1) & ~(pageGeante - 1);
        const std::uintptr_t fin = apres & ~(pageGeante - 1);
        pret = fin > debut && madvise(reinterpret_cast<void*>(debut), fin - debut, MADV_HUGEPAGE) == 0;
    }
    std::free(bloc);
    return pret;
}
#else
bool PrepareTas(std::size_t)
{
    // Another allocator (the sanitizers' own): nothing to prepare.
    return false;
}
#endif
