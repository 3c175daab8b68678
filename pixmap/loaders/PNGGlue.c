/* The C side of the PNG loader and writer (see detail/PNGGlue.h): libpng's recovery points, silent
 * error and warning handlers, and the read and write functions that hand bytes to the C++ callbacks. */
#include "pixmap/loaders/detail/PNGGlue.h"

#include <png.h>

/* Errors unwind to the recovery point without printing: a damaged file is an answer, not a message. */
static void Fail(png_structp png, png_const_charp message)
{
    (void)message;
    png_longjmp(png, 1);
}

static void Warn(png_structp png, png_const_charp message)
{
    (void)png;
    (void)message;
}

static void ReadData(png_structp png, png_bytep data, size_t length)
{
    const struct VantaPNGReader* reader = (const struct VantaPNGReader*)png_get_io_ptr(png);
    if (reader->read(reader->context, data, length) != length) png_error(png, "PNG data ended early");
}

static void WriteData(png_structp png, png_bytep data, size_t length)
{
    const struct VantaPNGWriter* writer = (const struct VantaPNGWriter*)png_get_io_ptr(png);
    if (!writer->write(writer->context, data, length)) png_error(png, "PNG data could not be written");
}

static void FlushData(png_structp png)
{
    const struct VantaPNGWriter* writer = (const struct VantaPNGWriter*)png_get_io_ptr(png);
    writer->flush(writer->context);
}

int VantaIsPNGSignature(const unsigned char* bytes)
{
    return png_sig_cmp(bytes, 0, 8) == 0;
}

int VantaDecodePNG(const struct VantaPNGReader* reader)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, NULL, Fail, Warn);
    if (png == NULL) return -1;
    png_infop info = png_create_info_struct(png);
    if (info == NULL) {
        png_destroy_read_struct(&png, NULL, NULL);
        return -1;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, NULL);
        return -1;
    }
    png_set_sig_bytes(png, 8);
    png_set_read_fn(png, (png_voidp)reader, ReadData);
    png_set_user_limits(png, reader->maxSide, reader->maxSide);
    png_read_info(png, info);

    /* The transforms of png_read_png(PNG_TRANSFORM_STRIP_16 | PNG_TRANSFORM_EXPAND), applied by hand so
     * that the size is known, and checked, before the rows are allocated. */
    png_set_strip_16(png);
    png_set_expand(png);
    png_set_interlace_handling(png);
    /* Grey with alpha (stored, or made by expanding a transparent grey) becomes RGBA with equal red, green
     * and blue. */
    const int storedType = png_get_color_type(png, info);
    if (storedType == PNG_COLOR_TYPE_GRAY_ALPHA ||
        (storedType == PNG_COLOR_TYPE_GRAY && png_get_valid(png, info, PNG_INFO_tRNS) != 0))
        png_set_gray_to_rgb(png);
    png_read_update_info(png, info);

    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colourType = 0;
    png_get_IHDR(png, info, &width, &height, &bitDepth, &colourType, NULL, NULL, NULL);
    png_bytepp rows = reader->rows(reader->context, width, height, bitDepth, colourType, png_get_rowbytes(png, info));
    if (rows == NULL) {
        png_destroy_read_struct(&png, &info, NULL);
        return -1;
    }
    png_read_image(png, rows);
    png_read_end(png, NULL);
    png_destroy_read_struct(&png, &info, NULL);
    return 0;
}

int VantaEncodePNG(const struct VantaPNGWriter* writer, unsigned width, unsigned height, int colourType, int transforms,
                   unsigned char** rows, int compression)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, NULL, Fail, Warn);
    if (png == NULL) return -1;
    png_infop info = png_create_info_struct(png);
    if (info == NULL) {
        png_destroy_write_struct(&png, NULL);
        return -1;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return -1;
    }
    png_set_write_fn(png, (png_voidp)writer, WriteData, FlushData);
    png_set_compression_level(png, compression);
    png_set_IHDR(png, info, width, height, 8, colourType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_rows(png, info, rows);
    png_write_png(png, info, transforms, NULL);
    png_destroy_write_struct(&png, &info);
    return 0;
}
