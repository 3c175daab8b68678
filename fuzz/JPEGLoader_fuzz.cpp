// Fuzz target "jpeg": the JPEG loader on the input (libjpeg behind the glue's recovery point); whatever it answers must
// be a well-formed pixmap, and where bare libjpeg reads the input whole, without an error or a warning, as grey or
// colour, the loader's picture is exactly bare libjpeg's (the reference the loader's tests hold it to). Damaged data
// is left out of the comparison: the glue may stop where bare libjpeg fills in. stb_image is no reference here: it
// decodes some sound files differently by design (upsampling, colour conversion).
#include "fuzz/FuzzTargets.h"
#include "fuzz/LoaderFuzz.h"
#include "pixmap/loaders/JPEGLoader.h"

#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

namespace vanta::fuzz {
namespace {

struct QuietError
{
    jpeg_error_mgr base;
    std::jmp_buf recovery;
};

// Bare libjpeg's picture of the input into `pixels` (rows of `components` bytes a pixel); false on an error or a
// warning. Plain C use of the library: nothing with a destructor lives in this frame while libjpeg may jump back.
bool BareLibjpeg(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>& pixels, int& width, int& height,
                 int& components)
{
    if (data == nullptr || size == 0) return false;
    jpeg_decompress_struct cinfo;
    QuietError error;
    cinfo.err = jpeg_std_error(&error.base);
    error.base.error_exit = [](j_common_ptr c) { std::longjmp(reinterpret_cast<QuietError*>(c->err)->recovery, 1); };
    error.base.output_message = [](j_common_ptr) {};
    if (setjmp(error.recovery)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    jpeg_start_decompress(&cinfo);
    width = static_cast<int>(cinfo.output_width);
    height = static_cast<int>(cinfo.output_height);
    components = cinfo.output_components;
    // The loader keeps pictures within the fuzzing limit; a larger one is not compared.
    if (std::int64_t{width} * height > FUZZ_PIXEL_LIMIT) longjmp(error.recovery, 1);
    pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
                  static_cast<std::size_t>(components));
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = pixels.data() + static_cast<std::size_t>(cinfo.output_scanline) *
                                           static_cast<std::size_t>(width) * static_cast<std::size_t>(components);
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    const bool clean = error.base.num_warnings == 0;
    jpeg_destroy_decompress(&cinfo);
    return clean;
}

// The loader's picture equals bare libjpeg's, where bare libjpeg reads the input soundly as grey or colour.
void CheckAgainstLibjpeg(const Ref<TPixmap>& pixmap, const std::uint8_t* data, std::size_t size)
{
    std::vector<std::uint8_t> bare;
    int width = 0;
    int height = 0;
    int components = 0;
    if (!BareLibjpeg(data, size, bare, width, height, components)) return;
    if (components != 1 && components != 3) return;
    FuzzCheck(width == pixmap->Width() && height == pixmap->Height(), "the size is bare libjpeg's");
    std::vector<std::uint8_t> row(static_cast<std::size_t>(width) * 4);
    for (int y = 0; y < height; ++y) {
        ConvertPixels(pixmap->PixelPtr(0, y), pixmap->Format(), row.data(), PF_RGBA8888, width);
        const std::uint8_t* expected =
            &bare[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) * static_cast<std::size_t>(components)];
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = &expected[static_cast<std::size_t>(x) * static_cast<std::size_t>(components)];
            const std::uint8_t* q = &row[static_cast<std::size_t>(x) * 4];
            FuzzCheck(q[0] == p[0] && q[1] == p[components == 3 ? 1 : 0] && q[2] == p[components == 3 ? 2 : 0],
                      "the picture is bare libjpeg's, pixel for pixel");
        }
    }
}

} // namespace

int FuzzJPEGLoader(const std::uint8_t* data, std::size_t size)
{
    const Ref<TJPEGLoader> loader = FuzzedLoader<TJPEGLoader>();
    LoadAndCheck(loader, data, size, [&](const Ref<TPixmap>& pixmap) {
        CheckLoaded(pixmap, PIXMAP_MAX_SIDE);
        if (!pixmap.IsNull()) CheckAgainstLibjpeg(pixmap, data, size);
    });
    return 0;
}

} // namespace vanta::fuzz
