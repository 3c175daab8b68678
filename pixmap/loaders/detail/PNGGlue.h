/* The C side of the PNG loader and writer: the only code that talks to libpng.
 *
 * libpng reports errors by jumping to a recovery point (setjmp/longjmp). The recovery point lives in
 * these C functions, and nothing between it and libpng is C++: no destructor can be skipped and no C++
 * exception crosses libpng. The callbacks given here are the C++ side's; they must not throw (they catch
 * and report a failure through their answer, and libpng's error then unwinds to the recovery point). */
#pragma once

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Moves up to `length` bytes of PNG data into `data` and answers how many arrived. */
typedef size_t (*VantaPNGReadFn)(void* context, unsigned char* data, size_t length);

/* Called once the decoded layout is known (8 bits per sample; colour type 0 grey, 2 RGB or 6 RGBA):
 * answers `height` row pointers of at least `rowBytes` bytes each to decode into, or NULL to stop. */
typedef unsigned char** (*VantaPNGRowsFn)(void* context, unsigned width, unsigned height, int bitDepth, int colourType,
                                          size_t rowBytes);

/* Moves all `length` bytes somewhere; answers 1, or 0 when they could not be written. */
typedef int (*VantaPNGWriteFn)(void* context, const unsigned char* data, size_t length);

/* Writes out whatever the destination holds back. */
typedef void (*VantaPNGFlushFn)(void* context);

struct VantaPNGReader
{
    VantaPNGReadFn read;
    VantaPNGRowsFn rows;
    void* context;
    unsigned maxSide; /* pictures wider or taller are refused before anything is allocated */
};

struct VantaPNGWriter
{
    VantaPNGWriteFn write;
    VantaPNGFlushFn flush;
    void* context;
};

/* 1 when the 8 bytes are the PNG signature, else 0. */
int VantaIsPNGSignature(const unsigned char* bytes);

/* Decodes a PNG whose 8 signature bytes were already read: 16-bit samples stripped to 8, palettes, low
 * bit depths and transparency expanded, grey with alpha widened to RGBA, interlacing undone. Answers 0
 * when the rows were filled, -1 on any error (damaged data, a read that came up short, a refusal). */
int VantaDecodePNG(const struct VantaPNGReader* reader);

/* Writes a PNG of 8-bit samples from `height` rows: colour type 0, 2 or 6, libpng write `transforms`,
 * zlib `compression` level. Answers 0 when written, -1 on any error. */
int VantaEncodePNG(const struct VantaPNGWriter* writer, unsigned width, unsigned height, int colourType, int transforms,
                   unsigned char** rows, int compression);

#ifdef __cplusplus
}
#endif
