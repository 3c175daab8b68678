// Image loaders: `LoadPixmap` against the bare libraries on the same bytes in the same run — PNG against a
// plain libpng decode, JPEG against a plain libjpeg-turbo decode — and our BMP and TGA decoders against
// stb_image. Pictures of 64, 256 and 1024 pixels square, a smooth scene with some noise (what games load),
// made and encoded at start-up and registered as embedded files, so `LoadPixmap("incbin::...")` takes the
// road the game's pictures take. `BM_Loader` times the format's loader alone on a memory stream (the
// decoder without the walk of the registry).
#include "pixmap/Pixmap.h"
#include "pixmap/loaders/BMPLoader.h"
#include "pixmap/loaders/ImageLoaders.h"
#include "pixmap/loaders/JPEGLoader.h"
#include "pixmap/loaders/PNGLoader.h"
#include "pixmap/loaders/TGALoader.h"
#include "runtime/EmbeddedFile.h"
#include "startup/ModuleSequence.h"
#include "stream/IncbinStream.h"
#include "stream/MemoryBlock.h"
#include "stream/MemoryBlockStream.h"
#include "stream/MemoryStream.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <stb/stb_image.h>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <jpeglib.h>
#include <png.h>

namespace {

using namespace vanta;
using Bytes = std::vector<std::uint8_t>;

// The name a picture is embedded under.
std::string EmbeddedName(const std::string& kind, std::int32_t side)
{
    return "bench/" + kind + "/" + std::to_string(side);
}

Ref<TPixmap> Scene(std::int32_t side, std::int32_t format)
{
    Ref<TPixmap> pixmap = CreatePixmap(side, side, format);
    std::uint32_t seed = 99;
    for (std::int32_t y = 0; y < side; ++y)
        for (std::int32_t x = 0; x < side; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const std::uint32_t noise = seed >> 29;
            const std::uint32_t r = (x * 255 / side + noise) & 0xFF, g = (y * 255 / side) & 0xFF,
                                b = ((x + y) * 127 / side + noise) & 0xFF, a = (x * 4) & 0xFF;
            pixmap->WritePixel(x, y, a << 24 | r << 16 | g << 8 | b);
        }
    return pixmap;
}

Bytes EncodePNG(std::int32_t side)
{
    const Ref<TMemoryBlock> block = CreateMemoryBlock(0);
    SavePixmapPNG(Scene(side, PF_RGBA8888), block, 6);
    return Bytes(block->Buf(), block->Buf() + block->Size());
}

Bytes EncodeJPEG(std::int32_t side)
{
    const Ref<TPixmap> scene = Scene(side, PF_RGB888);
    jpeg_compress_struct cinfo;
    jpeg_error_mgr error;
    cinfo.err = jpeg_std_error(&error);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &out, &size);
    cinfo.image_width = JDIMENSION(side);
    cinfo.image_height = JDIMENSION(side);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 90, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = scene->PixelPtr(0, std::int32_t(cinfo.next_scanline));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    Bytes bytes(out, out + size);
    std::free(out);
    return bytes;
}

void Put16(Bytes& out, std::uint32_t v)
{
    out.push_back(std::uint8_t(v));
    out.push_back(std::uint8_t(v >> 8));
}
void Put32(Bytes& out, std::uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// A 24-bit bottom-up BMP, or an 8-bit one with a 256-entry palette (the scene's grey).
Bytes EncodeBMP(std::int32_t side, int bits)
{
    const Ref<TPixmap> scene = Scene(side, PF_RGB888);
    const std::uint32_t row = (side * bits + 31) / 32 * 4;
    const std::uint32_t offset = 54 + (bits == 8 ? 1024 : 0);
    Bytes out{'B', 'M'};
    Put32(out, offset + row * side);
    Put32(out, 0);
    Put32(out, offset);
    for (std::uint32_t v : {40u, std::uint32_t(side), std::uint32_t(side)})
        Put32(out, v);
    Put16(out, 1);
    Put16(out, std::uint32_t(bits));
    for (std::uint32_t v : {0u, row * side, 2835u, 2835u, 0u, 0u})
        Put32(out, v);
    if (bits == 8)
        for (std::uint32_t i = 0; i < 256; ++i)
            Put32(out, i * 0x010101u);
    for (std::int32_t y = side - 1; y >= 0; --y) {
        const std::uint8_t* p = scene->PixelPtr(0, y);
        for (std::int32_t x = 0; x < side; ++x, p += 3) {
            if (bits == 8) {
                out.push_back(std::uint8_t((p[0] + p[1] + p[2]) / 3));
            } else {
                out.insert(out.end(), {p[2], p[1], p[0]});
            }
        }
        out.resize(out.size() + row - side * bits / 8, 0);
    }
    return out;
}

// A bottom-up TGA: 24 bits raw, or 32 bits run-length (runs where neighbours repeat, raw packets elsewhere).
Bytes EncodeTGA(std::int32_t side, bool runLength)
{
    const Ref<TPixmap> scene = Scene(side, PF_RGBA8888);
    const int depth = runLength ? 32 : 24;
    Bytes out{0, 0, std::uint8_t(runLength ? 10 : 2), 0, 0, 0, 0, 0};
    for (std::uint32_t v : {0u, 0u, std::uint32_t(side), std::uint32_t(side)})
        Put16(out, v);
    out.push_back(std::uint8_t(depth));
    out.push_back(0);
    for (std::int32_t y = side - 1; y >= 0; --y) {
        std::vector<std::uint32_t> pixels;
        for (std::int32_t x = 0; x < side; ++x)
            pixels.push_back(scene->ReadPixel(x, y) & (runLength ? 0xFFFFFFF0u : 0xFFFFFFFFu));
        auto emit = [&out, depth](std::uint32_t argb) {
            out.insert(out.end(), {std::uint8_t(argb), std::uint8_t(argb >> 8), std::uint8_t(argb >> 16)});
            if (depth == 32) out.push_back(std::uint8_t(argb >> 24));
        };
        if (!runLength) {
            for (std::uint32_t p : pixels)
                emit(p);
            continue;
        }
        for (std::size_t x = 0; x < pixels.size();) {
            std::size_t run = 1;
            while (x + run < pixels.size() && run < 128 && pixels[x + run] == pixels[x])
                ++run;
            if (run > 1) {
                out.push_back(std::uint8_t(0x80 | (run - 1)));
                emit(pixels[x]);
            } else {
                std::size_t raw = 1;
                while (x + raw < pixels.size() && raw < 128 &&
                       (x + raw + 1 >= pixels.size() || pixels[x + raw] != pixels[x + raw + 1]))
                    ++raw;
                out.push_back(std::uint8_t(raw - 1));
                for (std::size_t i = 0; i < raw; ++i)
                    emit(pixels[x + i]);
                run = raw;
            }
            x += run;
        }
    }
    return out;
}

// The encoded pictures, made once per kind and size.
const Bytes& Picture(const std::string& kind, std::int32_t side)
{
    static std::map<std::pair<std::string, std::int32_t>, Bytes> pictures;
    auto [at, made] = pictures.try_emplace({kind, side});
    if (made) {
        RunModuleInitialisers(MODULES_LOADERS);
        const int level = ReleaseStackLevel();
        if (kind == "png") at->second = EncodePNG(side);
        if (kind == "jpeg") at->second = EncodeJPEG(side);
        if (kind == "bmp24") at->second = EncodeBMP(side, 24);
        if (kind == "bmp8") at->second = EncodeBMP(side, 8);
        if (kind == "tga24") at->second = EncodeTGA(side, false);
        if (kind == "tga32rle") at->second = EncodeTGA(side, true);
        EmbeddedFileAdd(String::FromCString(EmbeddedName(kind, side).c_str()), at->second.data(),
                        std::int32_t(at->second.size()));
        FlushReleaseStack(level);
    }
    return at->second;
}

void BM_LoadPixmap(benchmark::State& state, const char* kind)
{
    const Bytes& bytes = Picture(kind, std::int32_t(state.range(0)));
    const int level = ReleaseStackLevel();
    const Ref<String> url =
        String::FromCString(("incbin::" + EmbeddedName(kind, std::int32_t(state.range(0)))).c_str());
    for (auto _ : state) {
        const Ref<TPixmap> pixmap = LoadPixmap(url);
        if (pixmap.IsNull()) state.SkipWithError("not loaded");
        benchmark::DoNotOptimize(pixmap->Pixels());
        FlushReleaseStack(level);
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(bytes.size()));
}

// The loader of the format alone, on a memory stream over the bytes.
template <class Loader>
void BM_Loader(benchmark::State& state, const char* kind)
{
    const Bytes& bytes = Picture(kind, std::int32_t(state.range(0)));
    Ref<Loader> loader;
    for (Ref<TPixmapLoader> l = PixmapLoaders(); !l.IsNull() && loader.IsNull(); l = l->next)
        loader = Downcast<Loader>(l);
    const int level = ReleaseStackLevel();
    for (auto _ : state) {
        const Ref<TPixmap> pixmap = loader->LoadPixmap(
            CreateMemoryStream(const_cast<std::uint8_t*>(bytes.data()), std::int32_t(bytes.size()), true, false));
        if (pixmap.IsNull()) state.SkipWithError("not loaded");
        benchmark::DoNotOptimize(pixmap->Pixels());
        FlushReleaseStack(level);
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(bytes.size()));
}

// Plain libpng from memory with the same transforms, into one buffer.
struct MemoryReader
{
    const std::uint8_t* at;
    const std::uint8_t* end;
};

void BM_BareLibpng(benchmark::State& state)
{
    const Bytes& bytes = Picture("png", std::int32_t(state.range(0)));
    for (auto _ : state) {
        MemoryReader reader{bytes.data(), bytes.data() + bytes.size()};
        png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        png_set_read_fn(png, &reader, [](png_structp p, png_bytep data, size_t length) {
            auto* r = static_cast<MemoryReader*>(png_get_io_ptr(p));
            std::memcpy(data, r->at, length);
            r->at += length;
        });
        png_read_info(png, info);
        png_set_strip_16(png);
        png_set_expand(png);
        png_set_interlace_handling(png);
        png_read_update_info(png, info);
        const std::size_t rowBytes = png_get_rowbytes(png, info);
        const png_uint_32 height = png_get_image_height(png, info);
        auto* pixels = static_cast<png_bytep>(std::malloc(rowBytes * height));
        std::vector<png_bytep> rows(height);
        for (png_uint_32 y = 0; y < height; ++y)
            rows[y] = pixels + y * rowBytes;
        png_read_image(png, rows.data());
        png_read_end(png, nullptr);
        png_destroy_read_struct(&png, &info, nullptr);
        benchmark::DoNotOptimize(pixels);
        std::free(pixels);
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(bytes.size()));
}

// Plain libjpeg-turbo from memory into one buffer, as many rows per call as the library gives.
void BM_BareLibjpeg(benchmark::State& state)
{
    const Bytes& bytes = Picture("jpeg", std::int32_t(state.range(0)));
    for (auto _ : state) {
        jpeg_decompress_struct cinfo;
        jpeg_error_mgr error;
        cinfo.err = jpeg_std_error(&error);
        jpeg_create_decompress(&cinfo);
        jpeg_mem_src(&cinfo, bytes.data(), bytes.size());
        jpeg_read_header(&cinfo, TRUE);
        jpeg_start_decompress(&cinfo);
        const std::size_t rowBytes = std::size_t(cinfo.output_width) * cinfo.output_components;
        auto* pixels = static_cast<unsigned char*>(std::malloc(rowBytes * cinfo.output_height));
        std::vector<JSAMPROW> rows(cinfo.output_height);
        for (JDIMENSION y = 0; y < cinfo.output_height; ++y)
            rows[y] = pixels + rowBytes * y;
        while (cinfo.output_scanline < cinfo.output_height)
            jpeg_read_scanlines(&cinfo, rows.data() + cinfo.output_scanline,
                                cinfo.output_height - cinfo.output_scanline);
        jpeg_finish_decompress(&cinfo);
        jpeg_destroy_decompress(&cinfo);
        benchmark::DoNotOptimize(pixels);
        std::free(pixels);
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(bytes.size()));
}

void BM_Stb(benchmark::State& state, const char* kind)
{
    const Bytes& bytes = Picture(kind, std::int32_t(state.range(0)));
    for (auto _ : state) {
        int width = 0, height = 0, channels = 0;
        stbi_uc* pixels = stbi_load_from_memory(bytes.data(), int(bytes.size()), &width, &height, &channels, 0);
        if (pixels == nullptr) state.SkipWithError("not decoded");
        benchmark::DoNotOptimize(pixels);
        stbi_image_free(pixels);
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(bytes.size()));
}

void BM_PNGLoader(benchmark::State& state, const char* kind)
{
    BM_Loader<TPNGLoader>(state, kind);
}
void BM_JPEGLoader(benchmark::State& state, const char* kind)
{
    BM_Loader<TJPEGLoader>(state, kind);
}
void BM_BMPLoader(benchmark::State& state, const char* kind)
{
    BM_Loader<TBMPLoader>(state, kind);
}
void BM_TGALoader(benchmark::State& state, const char* kind)
{
    BM_Loader<TTGALoader>(state, kind);
}

#define SIZES ->Arg(64)->Arg(256)->Arg(1024)->Unit(benchmark::kMicrosecond)
BENCHMARK_CAPTURE(BM_LoadPixmap, png, "png") SIZES;
BENCHMARK_CAPTURE(BM_PNGLoader, png, "png") SIZES;
BENCHMARK(BM_BareLibpng) SIZES;
BENCHMARK_CAPTURE(BM_LoadPixmap, jpeg, "jpeg") SIZES;
BENCHMARK_CAPTURE(BM_JPEGLoader, jpeg, "jpeg") SIZES;
BENCHMARK(BM_BareLibjpeg) SIZES;
BENCHMARK_CAPTURE(BM_LoadPixmap, bmp24, "bmp24") SIZES;
BENCHMARK_CAPTURE(BM_BMPLoader, bmp24, "bmp24") SIZES;
BENCHMARK_CAPTURE(BM_Stb, bmp24, "bmp24") SIZES;
BENCHMARK_CAPTURE(BM_LoadPixmap, bmp8, "bmp8") SIZES;
BENCHMARK_CAPTURE(BM_BMPLoader, bmp8, "bmp8") SIZES;
BENCHMARK_CAPTURE(BM_Stb, bmp8, "bmp8") SIZES;
BENCHMARK_CAPTURE(BM_LoadPixmap, tga24, "tga24") SIZES;
BENCHMARK_CAPTURE(BM_TGALoader, tga24, "tga24") SIZES;
BENCHMARK_CAPTURE(BM_Stb, tga24, "tga24") SIZES;
BENCHMARK_CAPTURE(BM_LoadPixmap, tga32rle, "tga32rle") SIZES;
BENCHMARK_CAPTURE(BM_TGALoader, tga32rle, "tga32rle") SIZES;
BENCHMARK_CAPTURE(BM_Stb, tga32rle, "tga32rle") SIZES;

} // namespace

BENCHMARK_MAIN();
