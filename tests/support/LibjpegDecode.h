// JPEG pictures as bare libjpeg decodes them with its default settings: the reference the JPEG loader must
// match exactly, and an independent view of the game's JPEG media for tests that check what is drawn.
//
// Builds on libjpeg (link JPEG::JPEG).
#pragma once

#include "support/LoaderTestSupport.h"

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace vanta::test {

// libjpeg's error manager with the point to jump back to.
struct BareError
{
    jpeg_error_mgr base;
    std::jmp_buf recovery;
};

// Decodes the bytes with bare libjpeg's default settings into rows of `components` bytes a pixel (width 0 on
// error). Plain C use of the library: nothing with a destructor lives while libjpeg may jump back.
inline void BareDecode(const std::string& bytes, std::vector<std::uint8_t>& out, int& width, int& height,
                       int& components)
{
    jpeg_decompress_struct cinfo;
    BareError error;
    cinfo.err = jpeg_std_error(&error.base);
    error.base.error_exit = [](j_common_ptr c) { std::longjmp(reinterpret_cast<BareError*>(c->err)->recovery, 1); };
    error.base.output_message = [](j_common_ptr) {};
    if (setjmp(error.recovery)) {
        jpeg_destroy_decompress(&cinfo);
        width = 0;
        return;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    jpeg_read_header(&cinfo, TRUE);
    jpeg_start_decompress(&cinfo);
    width = int(cinfo.output_width);
    height = int(cinfo.output_height);
    components = cinfo.output_components;
    out.resize(std::size_t(width) * height * components);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = out.data() + std::size_t(cinfo.output_scanline) * width * components;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
}

// The same as RGBA (grey repeated in red, green and blue); an empty picture on error.
inline RGBAPicture LibjpegReference(const std::string& bytes)
{
    std::vector<std::uint8_t> raw;
    int width = 0, height = 0, components = 0;
    BareDecode(bytes, raw, width, height, components);
    RGBAPicture picture{width, height, {}};
    for (std::size_t i = 0; i < std::size_t(width) * height; ++i) {
        const std::uint8_t* p = &raw[i * components];
        picture.pixels.insert(picture.pixels.end(),
                              {p[0], p[components == 3 ? 1 : 0], p[components == 3 ? 2 : 0], 255});
    }
    return picture;
}

} // namespace vanta::test
