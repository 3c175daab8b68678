/* Writing 8-bit palette PNGs through libpng. */
#include "tools/media/PalettePNG.h"

#include <stdio.h>

#include <png.h>

static int WriteRows(png_structp png, png_infop info, FILE* file, int width, int height, const unsigned char* indices,
                     const unsigned char* palette, int colours)
{
    png_color entries[256];
    int i, y;
    if (setjmp(png_jmpbuf(png))) return 0;
    png_init_io(png, file);
    png_set_IHDR(png, info, (png_uint_32)width, (png_uint_32)height, 8, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    for (i = 0; i < colours; ++i) {
        entries[i].red = palette[i * 3];
        entries[i].green = palette[i * 3 + 1];
        entries[i].blue = palette[i * 3 + 2];
    }
    png_set_PLTE(png, info, entries, colours);
    png_set_compression_level(png, 9);
    png_write_info(png, info);
    for (y = 0; y < height; ++y)
        png_write_row(png, (png_const_bytep)(indices + (size_t)y * (size_t)width));
    png_write_end(png, info);
    return 1;
}

int WritePalettePNGFile(const char* path, int width, int height, const unsigned char* indices,
                        const unsigned char* palette, int colours)
{
    png_structp png;
    png_infop info;
    FILE* file;
    int ok;
    if (colours < 1 || colours > 256) return 0;
    file = fopen(path, "wb");
    if (!file) return 0;
    png = png_create_write_struct(PNG_LIBPNG_VER_STRING, NULL, NULL, NULL);
    info = png ? png_create_info_struct(png) : NULL;
    ok = info ? WriteRows(png, info, file, width, height, indices, palette, colours) : 0;
    png_destroy_write_struct(&png, info ? &info : NULL);
    if (fclose(file) != 0) ok = 0;
    return ok;
}
