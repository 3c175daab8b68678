/* Writing 8-bit palette PNGs through libpng. C, because libpng recovers from errors with longjmp and no
   C++ frame may lie between its setjmp and the jump. */
#ifndef VANTA_MEDIA_PALETTE_PNG_H
#define VANTA_MEDIA_PALETTE_PNG_H

#ifdef __cplusplus
extern "C" {
#endif

/* Writes `path` as a palette PNG of width by height indices (one byte each, rows top to bottom) and
   `colours` palette entries of red, green, blue. 1 when written, 0 when the file cannot be written or
   libpng refuses. */
int WritePalettePNGFile(const char* path, int width, int height, const unsigned char* indices,
                        const unsigned char* palette, int colours);

#ifdef __cplusplus
}
#endif

#endif
