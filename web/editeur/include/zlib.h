#pragma once
// The one function of zlib the editor's file layer calls (the checksum of a
// file's bytes), for the browser, where emscripten's zlib is a port fetched
// from the network. The same CRC-32 as zlib's (the IEEE polynomial, reflected).
#include <stddef.h>

typedef unsigned long uLong;
typedef unsigned int uInt;
typedef unsigned char Bytef;
#define Z_NULL 0

uLong crc32(uLong crc, const Bytef* octets, uInt longueur);
