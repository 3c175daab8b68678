// The fuzz targets. Each target's body is a plain function over the input bytes, called both by its
// libFuzzer program (fuzz/FuzzMain.cpp) and by the regression test that replays fuzz/corpus/<name>/ and
// fuzz/regressions/<name>/ in the normal test suite.
//
// Adding a target: write `int FuzzXxx(const std::uint8_t*, std::size_t)` in fuzz/Xxx_fuzz.cpp, declare
// it here, list it in `FuzzTargets()` (fuzz/FuzzTargets.cpp) and in fuzz/CMakeLists.txt, and give it
// seed inputs in fuzz/corpus/<name>/.
//
// Every entry flushes the objects it made before it returns, so memory does not grow from input to
// input; it returns 0 and reports a broken property by aborting.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace vanta::fuzz {

using FuzzEntry = int (*)(const std::uint8_t* data, std::size_t size);

struct FuzzTarget
{
    const char* name; // the folder name under fuzz/corpus/ and fuzz/regressions/
    FuzzEntry entry;
};

// Pixmap creation, windows, pastes, conversions, single pixels, mask, flips and resize with fuzzed
// sizes, coordinates and formats, and `ConvertPixels` on raw runs.
int FuzzPixmapOps(const std::uint8_t* data, std::size_t size);

// The image loaders, each fed the input through a memory stream: PNG (with a writer round trip), JPEG,
// TGA and BMP (each compared with stb_image where it decodes the input too).
int FuzzPNGLoader(const std::uint8_t* data, std::size_t size);
int FuzzJPEGLoader(const std::uint8_t* data, std::size_t size);
int FuzzTGALoader(const std::uint8_t* data, std::size_t size);
int FuzzBMPLoader(const std::uint8_t* data, std::size_t size);

// The WAV loader on the input bytes.
int FuzzWavLoader(const std::uint8_t* data, std::size_t size);

// The Ogg Vorbis loader on the input after its first byte, a mode: bit 0 recomputes the page checksums,
// bit 1 reads through a stream that cannot seek.
int FuzzOggLoader(const std::uint8_t* data, std::size_t size);

// The FreeType font loader on a font file served through the runtime's streams; the first input byte is a
// mode (size, wrapping stream, describing the faces).
int FuzzFreeTypeFont(const std::uint8_t* data, std::size_t size);

// Every target, in a fixed order.
std::span<const FuzzTarget> FuzzTargets();

} // namespace vanta::fuzz
