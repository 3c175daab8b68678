/* The C side of the JPEG loader: the only code that talks to libjpeg.
 *
 * libjpeg reports fatal errors through its error manager, which here jumps back (longjmp) to a recovery
 * point inside this C function; nothing between that point and libjpeg is C++, so no destructor is
 * skipped and no C++ exception crosses libjpeg. The read function is the C++ side's and must not throw. */
#pragma once

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Reads up to size*count bytes into `buffer` from `stream`; answers the bytes read divided by `size`
 * (0 at the end of the data). */
typedef int (*VantaJPEGReadFn)(void* buffer, int size, int count, void* stream);

/* Limits of one decode: the largest width or height, and the most output pixels and bytes. */
struct VantaJPEGLimits
{
    int maxSide;
    long long maxPixels;
    long long maxBytes;
};

/* Called once the output's size is known: answers `height` row pointers of at least width*components
 * bytes each to decode into, or NULL to stop. */
typedef unsigned char** (*VantaJPEGRowsFn)(void* context, int width, int height, int components);

/* Decodes a JPEG read through `read` from `stream` with libjpeg's default output (grey or RGB, 8 bits per
 * sample; 4 components for CMYK files) into the rows `rows` answers. Answers 0 when the rows were filled,
 * -1 on a fatal libjpeg error, a refusal by `limits` or when `rows` answers NULL. Data that ends early
 * decodes as if an end marker followed. */
int VantaDecodeJPEGRows(void* stream, VantaJPEGReadFn read, const struct VantaJPEGLimits* limits, VantaJPEGRowsFn rows,
                        void* context);

/* `VantaDecodeJPEGRows` into one malloc'd buffer of width*height*components bytes, rows top to bottom,
 * that the caller frees: 0 with the output's size and the buffer, or -1 with nothing to free. */
int VantaDecodeJPEG(void* stream, VantaJPEGReadFn read, const struct VantaJPEGLimits* limits, int* width, int* height,
                    int* components, unsigned char** pixels);

#ifdef __cplusplus
}
#endif
