#pragma once
// The process's heap, made ready for the start-up before anything is loaded.
#include <cstddef>

// Grows the heap at once by `reserve` bytes that later allocations are carved
// from, asks the kernel to back that memory with huge pages where it can, and
// keeps freed memory in the heap. True when the reserve is in place; false
// (nothing changed but the allocator's thresholds) with an allocator other
// than the C library's own, or when the heap could not grow in one piece.
bool PrepareTas(std::size_t reserve);

// What the game reserves: more than its start-up allocates.
const std::size_t ReserveTas = std::size_t(128) << 20;
