#pragma once
// The process's heap, made ready for the start-up before anything is loaded.
#include <cstddef>

// Whether the program allocates through the C library's own allocator (not
// through a sanitizer's, which replaces it).
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define CORVELLA_ALLOCATEUR_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
#define CORVELLA_ALLOCATEUR_SANITIZER 1
#endif
#endif
#if defined(__GLIBC__) && !defined(CORVELLA_ALLOCATEUR_SANITIZER)
#define CORVELLA_ALLOCATEUR_C 1
#endif

// Grows the heap at once by `reserve` bytes that later allocations are carved
// from, asks the kernel to back that memory with huge pages where it can, and
// keeps freed memory in the heap. True when the reserve is in place; false
// (nothing changed but the allocator's thresholds) with an allocator other
// than the C library's own, or when the heap could not grow in one piece.
bool PrepareTas(std::size_t reserve);

// What the game reserves: more than its start-up allocates.
const std::size_t ReserveTas = std::size_t(128) << 20;
