/* The C side of the JPEG loader (see detail/JPEGGlue.h): libjpeg's 6b interface with a source manager
 * over the read function, an error manager that jumps back instead of exiting, and a scan limit. */
#include "pixmap/loaders/detail/JPEGGlue.h"

#include <jerror.h>
#include <setjmp.h>
#include <stdio.h>
#include <stdlib.h>

#include <jpeglib.h>

enum
{
    /* libjpeg-turbo decodes Huffman data on a fast path only while a few kilobytes are buffered ahead; a
     * large buffer keeps it there for all but the last piece of the file. */
    INPUT_BUFFER_SIZE = 65536,
    /* Progressive files may hold any number of scans; a hostile one with thousands of tiny scans would
     * keep the decoder busy for minutes. Real files have a dozen or so. */
    MAX_SCANS = 1000
};

struct ErrorManager
{
    struct jpeg_error_mgr base;
    jmp_buf recovery;
};

struct SourceManager
{
    struct jpeg_source_mgr base;
    void* stream;
    VantaJPEGReadFn read;
    int started;
    JOCTET* buffer;
};

struct ScanLimit
{
    struct jpeg_progress_mgr base;
    j_decompress_ptr cinfo;
};

static void ErrorExit(j_common_ptr cinfo)
{
    longjmp(((struct ErrorManager*)cinfo->err)->recovery, 1);
}

/* Warnings and traces are not shown. */
static void EmitMessage(j_common_ptr cinfo, int level)
{
    (void)cinfo;
    (void)level;
}

static void OutputMessage(j_common_ptr cinfo)
{
    (void)cinfo;
}

static void InitSource(j_decompress_ptr cinfo)
{
    ((struct SourceManager*)cinfo->src)->started = 0;
}

static boolean FillInput(j_decompress_ptr cinfo)
{
    struct SourceManager* source = (struct SourceManager*)cinfo->src;
    int count = source->read(source->buffer, 1, INPUT_BUFFER_SIZE, source->stream);
    if (count <= 0) {
        if (!source->started) ERREXIT(cinfo, JERR_INPUT_EMPTY);
        /* Data that ends early: a fake end-of-image marker lets libjpeg finish with what it has. */
        WARNMS(cinfo, JWRN_JPEG_EOF);
        source->buffer[0] = (JOCTET)0xFF;
        source->buffer[1] = (JOCTET)JPEG_EOI;
        count = 2;
    }
    source->base.next_input_byte = source->buffer;
    source->base.bytes_in_buffer = (size_t)count;
    source->started = 1;
    return TRUE;
}

static void SkipInput(j_decompress_ptr cinfo, long count)
{
    struct jpeg_source_mgr* source = cinfo->src;
    if (count <= 0) return;
    while (count > (long)source->bytes_in_buffer) {
        count -= (long)source->bytes_in_buffer;
        FillInput(cinfo);
    }
    source->next_input_byte += count;
    source->bytes_in_buffer -= (size_t)count;
}

static void TermSource(j_decompress_ptr cinfo)
{
    (void)cinfo;
}

static void CheckScans(j_common_ptr cinfo)
{
    const struct ScanLimit* limit = (const struct ScanLimit*)cinfo->progress;
    if (limit->cinfo->input_scan_number > MAX_SCANS) ErrorExit(cinfo);
}

static int SizeAllowed(long long width, long long height, long long components, const struct VantaJPEGLimits* limits)
{
    if (width < 1 || height < 1 || width > limits->maxSide || height > limits->maxSide) return 0;
    return width * height <= limits->maxPixels && width * height * components <= limits->maxBytes;
}

int VantaDecodeJPEGRows(void* stream, VantaJPEGReadFn read, const struct VantaJPEGLimits* limits, VantaJPEGRowsFn rows,
                        void* context)
{
    struct jpeg_decompress_struct cinfo;
    struct ErrorManager errors;
    struct SourceManager source;
    struct ScanLimit scanLimit;

    cinfo.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = ErrorExit;
    errors.base.emit_message = EmitMessage;
    errors.base.output_message = OutputMessage;
    cinfo.mem = NULL;
    if (setjmp(errors.recovery)) {
        jpeg_destroy_decompress(&cinfo);
        return -1;
    }
    jpeg_CreateDecompress(&cinfo, JPEG_LIB_VERSION, sizeof cinfo);
    /* libjpeg's own working memory (whole-picture coefficient arrays of progressive files) stays within
     * twice the output budget; there is no backing store, so more is a fatal error. */
    cinfo.mem->max_memory_to_use = (long)(limits->maxBytes * 2);

    source.base.init_source = InitSource;
    source.base.fill_input_buffer = FillInput;
    source.base.skip_input_data = SkipInput;
    source.base.resync_to_restart = jpeg_resync_to_restart;
    source.base.term_source = TermSource;
    source.base.next_input_byte = NULL;
    source.base.bytes_in_buffer = 0;
    source.stream = stream;
    source.read = read;
    source.started = 0;
    source.buffer = (JOCTET*)(*cinfo.mem->alloc_small)((j_common_ptr)&cinfo, JPOOL_PERMANENT, INPUT_BUFFER_SIZE);
    cinfo.src = &source.base;

    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK ||
        !SizeAllowed(cinfo.image_width, cinfo.image_height, cinfo.num_components, limits)) {
        jpeg_destroy_decompress(&cinfo);
        return -1;
    }
    /* Only files of many scans need watching. */
    if (jpeg_has_multiple_scans(&cinfo)) {
        scanLimit.base.progress_monitor = CheckScans;
        scanLimit.cinfo = &cinfo;
        cinfo.progress = &scanLimit.base;
    }
    jpeg_start_decompress(&cinfo);
    JSAMPARRAY rowTable = NULL;
    if (!SizeAllowed(cinfo.output_width, cinfo.output_height, cinfo.output_components, limits) ||
        (rowTable = rows(context, (int)cinfo.output_width, (int)cinfo.output_height, cinfo.output_components)) ==
            NULL) {
        jpeg_destroy_decompress(&cinfo);
        return -1;
    }
    while (cinfo.output_scanline < cinfo.output_height)
        jpeg_read_scanlines(&cinfo, rowTable + cinfo.output_scanline, cinfo.output_height - cinfo.output_scanline);
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return 0;
}

/* The single buffer of `VantaDecodeJPEG` and its row table. */
struct Buffer
{
    unsigned char* pixels;
    JSAMPARRAY rows;
    int width;
    int height;
    int components;
};

static unsigned char** BufferRows(void* context, int width, int height, int components)
{
    struct Buffer* buffer = (struct Buffer*)context;
    const size_t rowBytes = (size_t)width * (size_t)components;
    buffer->pixels = (unsigned char*)malloc(rowBytes * (size_t)height);
    buffer->rows = (JSAMPARRAY)malloc(sizeof(JSAMPROW) * (size_t)height);
    if (buffer->pixels == NULL || buffer->rows == NULL) return NULL;
    for (int y = 0; y < height; ++y)
        buffer->rows[y] = buffer->pixels + rowBytes * (size_t)y;
    buffer->width = width;
    buffer->height = height;
    buffer->components = components;
    return buffer->rows;
}

int VantaDecodeJPEG(void* stream, VantaJPEGReadFn read, const struct VantaJPEGLimits* limits, int* width, int* height,
                    int* components, unsigned char** pixels)
{
    struct Buffer buffer = {NULL, NULL, 0, 0, 0};
    const int result = VantaDecodeJPEGRows(stream, read, limits, BufferRows, &buffer);
    free(buffer.rows);
    if (result != 0) {
        free(buffer.pixels);
        buffer.pixels = NULL;
        buffer.width = buffer.height = buffer.components = 0;
    }
    *width = buffer.width;
    *height = buffer.height;
    *components = buffer.components;
    *pixels = buffer.pixels;
    return result;
}
