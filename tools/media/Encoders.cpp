// Writing pictures and music: quantising, PNG, JPEG and Ogg Vorbis.
#include "tools/media/Encoders.h"

#include "pixmap/Pixmap.h"
#include "pixmap/loaders/PNGLoader.h"
#include "runtime/String.h"
#include "tools/media/PalettePNG.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <stdexcept>

#include <jpeglib.h>
#include <vorbis/vorbisenc.h>

namespace vanta::media {
namespace {

[[noreturn]] void Fail(const std::string& path, const char* what)
{
    throw std::runtime_error("cannot write " + path + ": " + what);
}

std::uint32_t Pack(const std::uint8_t* p)
{
    return std::uint32_t{p[0]} << 16 | std::uint32_t{p[1]} << 8 | p[2];
}

int Channel(std::uint32_t rgb, int c)
{
    return static_cast<int>((rgb >> (16 - 8 * c)) & 0xff);
}

struct ColourCount
{
    std::uint32_t rgb;
    std::uint32_t count;
};

// One box of the median cut: a run of `colours` and what it covers.
struct Box
{
    std::size_t begin, end;
    std::uint64_t pixels;
    int longest; // channel with the widest range
    int range;   // that range
};

Box MakeBox(const std::vector<ColourCount>& colours, std::size_t begin, std::size_t end)
{
    Box box{begin, end, 0, 0, 0};
    std::array<int, 3> low{255, 255, 255}, high{0, 0, 0};
    for (std::size_t i = begin; i < end; ++i) {
        box.pixels += colours[i].count;
        for (int c = 0; c < 3; ++c) {
            low[c] = std::min(low[c], Channel(colours[i].rgb, c));
            high[c] = std::max(high[c], Channel(colours[i].rgb, c));
        }
    }
    for (int c = 0; c < 3; ++c) {
        if (high[c] - low[c] > box.range) {
            box.range = high[c] - low[c];
            box.longest = c;
        }
    }
    return box;
}

// At most `limit` representative colours of `colours` (weighted by their counts).
std::vector<std::uint32_t> MedianCut(std::vector<ColourCount>& colours, std::size_t limit)
{
    std::vector<Box> boxes{MakeBox(colours, 0, colours.size())};
    while (boxes.size() < limit) {
        // Split the box whose widest range, weighted by the pixels it covers, is largest.
        std::size_t pick = boxes.size();
        double best = 0;
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].end - boxes[i].begin < 2) continue;
            const double score = boxes[i].range * std::sqrt(static_cast<double>(boxes[i].pixels));
            if (score > best) {
                best = score;
                pick = i;
            }
        }
        if (pick == boxes.size()) break;
        const Box box = boxes[pick];
        const int c = box.longest;
        std::sort(colours.begin() + static_cast<std::ptrdiff_t>(box.begin),
                  colours.begin() + static_cast<std::ptrdiff_t>(box.end),
                  [c](const ColourCount& a, const ColourCount& b) {
                      const int ca = Channel(a.rgb, c), cb = Channel(b.rgb, c);
                      return ca != cb ? ca < cb : a.rgb < b.rgb;
                  });
        std::uint64_t half = 0;
        std::size_t split = box.begin + 1;
        for (std::size_t i = box.begin; i < box.end - 1; ++i) {
            half += colours[i].count;
            split = i + 1;
            if (half * 2 >= box.pixels) break;
        }
        boxes[pick] = MakeBox(colours, box.begin, split);
        boxes.push_back(MakeBox(colours, split, box.end));
    }
    std::vector<std::uint32_t> palette;
    for (const Box& box : boxes) {
        std::array<double, 3> sum{0, 0, 0};
        for (std::size_t i = box.begin; i < box.end; ++i) {
            for (int c = 0; c < 3; ++c)
                sum[c] += static_cast<double>(Channel(colours[i].rgb, c)) * colours[i].count;
        }
        std::uint8_t rgb[3];
        for (int c = 0; c < 3; ++c) {
            rgb[c] = static_cast<std::uint8_t>(std::lround(sum[c] / static_cast<double>(box.pixels)));
        }
        if (rgb[0] == 0 && rgb[1] == 0 && rgb[2] == 0) rgb[2] = MIN_OPAQUE_LEVEL;
        LiftFromBlack(rgb);
        palette.push_back(Pack(rgb));
    }
    return palette;
}

} // namespace

void LiftFromBlack(std::uint8_t* rgb)
{
    const int top = std::max({rgb[0], rgb[1], rgb[2]});
    if (top == 0 || top >= MIN_OPAQUE_LEVEL) return;
    for (int c = 0; c < 3; ++c)
        rgb[c] = static_cast<std::uint8_t>((rgb[c] * MIN_OPAQUE_LEVEL + top - 1) / top);
}

void LiftFromBlack(Raster& raster)
{
    for (int y = 0; y < raster.height; ++y) {
        for (int x = 0; x < raster.width; ++x)
            LiftFromBlack(raster.At(x, y));
    }
}

Raster Flatten(const Raster& drawn, const Colour& fringe)
{
    return Flatten(drawn, [&fringe](int) { return fringe; });
}

Raster Flatten(const Raster& drawn, const std::function<Colour(int y)>& fringe)
{
    Raster out(drawn.width, drawn.height);
    for (int y = 0; y < drawn.height; ++y) {
        const Colour behind = fringe(y);
        const double back[3] = {behind.r * 255, behind.g * 255, behind.b * 255};
        for (int x = 0; x < drawn.width; ++x) {
            const std::uint8_t* p = drawn.At(x, y);
            std::uint8_t* q = out.At(x, y);
            q[3] = 255;
            if (p[3] < 128) continue;
            const double a = p[3] / 255.0;
            for (int c = 0; c < 3; ++c)
                q[c] = static_cast<std::uint8_t>(std::lround(p[c] * a + back[c] * (1 - a)));
            if (q[0] == 0 && q[1] == 0 && q[2] == 0) q[2] = 1;
            LiftFromBlack(q);
        }
    }
    return out;
}

void WritePalettePNG(const std::string& path, const Raster& picture)
{
    std::map<std::uint32_t, std::uint32_t> histogram;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const std::uint32_t rgb = Pack(picture.At(x, y));
            if (rgb != 0) ++histogram[rgb];
        }
    }
    std::vector<ColourCount> colours;
    colours.reserve(histogram.size());
    for (const auto& [rgb, count] : histogram)
        colours.push_back({rgb, count});
    std::vector<std::uint32_t> palette{0};
    if (!colours.empty()) {
        const std::vector<std::uint32_t> chosen = MedianCut(colours, 255);
        palette.insert(palette.end(), chosen.begin(), chosen.end());
    }

    // Each colour takes its nearest entry; black alone takes entry 0.
    std::map<std::uint32_t, std::uint8_t> nearest;
    for (const auto& [rgb, count] : histogram) {
        int best = 1;
        long bestDistance = -1;
        for (std::size_t i = 1; i < palette.size(); ++i) {
            long distance = 0;
            for (int c = 0; c < 3; ++c) {
                const long d = Channel(rgb, c) - Channel(palette[i], c);
                distance += d * d;
            }
            if (bestDistance < 0 || distance < bestDistance) {
                bestDistance = distance;
                best = static_cast<int>(i);
            }
        }
        nearest[rgb] = static_cast<std::uint8_t>(best);
    }
    std::vector<unsigned char> indices(static_cast<std::size_t>(picture.width) * picture.height);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const std::uint32_t rgb = Pack(picture.At(x, y));
            indices[static_cast<std::size_t>(y) * picture.width + x] = rgb == 0 ? 0 : nearest[rgb];
        }
    }
    std::vector<unsigned char> entries;
    for (std::uint32_t rgb : palette) {
        for (int c = 0; c < 3; ++c)
            entries.push_back(static_cast<unsigned char>(Channel(rgb, c)));
    }
    if (WritePalettePNGFile(path.c_str(), picture.width, picture.height, indices.data(), entries.data(),
                            static_cast<int>(palette.size())) == 0) {
        Fail(path, "libpng failed");
    }
}

void WritePNG(const std::string& path, const Raster& picture, bool withAlpha, int compression)
{
    const std::int32_t format = withAlpha ? PF_RGBA8888 : PF_RGB888;
    const Ref<TPixmap> pixmap = CreatePixmap(picture.width, picture.height, format, 1);
    if (!pixmap) Fail(path, "no pixmap");
    for (int y = 0; y < picture.height; ++y) {
        std::uint8_t* row = PixmapPixelPtr(pixmap, 0, y);
        for (int x = 0; x < picture.width; ++x) {
            const std::uint8_t* p = picture.At(x, y);
            std::copy(p, p + (withAlpha ? 4 : 3), row + x * (withAlpha ? 4 : 3));
        }
    }
    if (SavePixmapPNG(pixmap, String::FromCString(path.c_str()), compression) == 0) Fail(path, "the PNG writer failed");
}

void WriteJPEG(const std::string& path, const Raster& picture, int quality)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) Fail(path, "cannot open");
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors); // a libjpeg error prints its message and ends the program
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = static_cast<JDIMENSION>(picture.width);
    info.image_height = static_cast<JDIMENSION>(picture.height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    info.optimize_coding = TRUE;
    info.comp_info[0].h_samp_factor = 1;
    info.comp_info[0].v_samp_factor = 1;
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(picture.width) * 3);
    while (info.next_scanline < info.image_height) {
        const int y = static_cast<int>(info.next_scanline);
        for (int x = 0; x < picture.width; ++x) {
            const std::uint8_t* p = picture.At(x, y);
            std::copy(p, p + 3, row.begin() + x * 3);
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    if (std::fclose(file) != 0) Fail(path, "cannot close");
}

void WriteOggVorbis(const std::string& path, const std::vector<float>& stereo, int rate, float quality, int serial)
{
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"), &std::fclose);
    if (!file) Fail(path, "cannot open");
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, 2, rate, quality) != 0) {
        vorbis_info_clear(&info);
        Fail(path, "the Vorbis encoder refuses the settings");
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_comment_add_tag(&comment, "ENCODER", "vanta-media");
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, serial);

    bool written = true;
    auto put = [&](const ogg_page& page) {
        written = written && std::fwrite(page.header, 1, static_cast<std::size_t>(page.header_len), file.get()) ==
                                 static_cast<std::size_t>(page.header_len);
        written = written && std::fwrite(page.body, 1, static_cast<std::size_t>(page.body_len), file.get()) ==
                                 static_cast<std::size_t>(page.body_len);
    };
    ogg_packet header, commentHeader, codebooks;
    vorbis_analysis_headerout(&dsp, &comment, &header, &commentHeader, &codebooks);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &commentHeader);
    ogg_stream_packetin(&stream, &codebooks);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page) != 0)
        put(page);

    const std::size_t frames = stereo.size() / 2;
    constexpr std::size_t chunk = 1024;
    bool ended = false;
    for (std::size_t at = 0; !ended;) {
        const std::size_t count = std::min(chunk, frames - at);
        if (count > 0) {
            float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(count));
            for (std::size_t i = 0; i < count; ++i) {
                buffer[0][i] = stereo[(at + i) * 2];
                buffer[1][i] = stereo[(at + i) * 2 + 1];
            }
            vorbis_analysis_wrote(&dsp, static_cast<int>(count));
            at += count;
        } else {
            vorbis_analysis_wrote(&dsp, 0); // end of stream
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet) != 0) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0) {
                    put(page);
                    if (ogg_page_eos(&page) != 0) ended = true;
                }
            }
        }
    }
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    if (!written) Fail(path, "short write");
    if (std::fclose(file.release()) != 0) Fail(path, "cannot close");
}

} // namespace vanta::media
