// Comparing captured frames with reference pictures (tests/game/golden/) within a tolerance per channel.
//
// A failing comparison writes the frame it got (<name>.actual.png) and the differences, eight times
// amplified (<name>.diff.png), to the output folder. With `updateAllowed` and VANTA_UPDATE_GOLDEN=1 in the
// environment the reference is written instead, and the test fails saying so: a run that compared nothing
// never passes (see tests/game/GameFrames_test.cpp).
#pragma once

#include "pixmap/Pixmap.h"
#include "pixmap/TPixmap.h"
#include "pixmap/loaders/PNGLoader.h"
#include "runtime/String.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

namespace vanta::test {

// The pixmap's colours without alpha (the back buffer's alpha means nothing on screen).
inline Ref<TPixmap> OpaqueCopy(const Ref<TPixmap>& pixmap)
{
    Ref<TPixmap> opaque = CreatePixmap(pixmap->Width(), pixmap->Height(), PF_RGB888, 4);
    for (std::int32_t y = 0; y < pixmap->Height(); ++y) {
        for (std::int32_t x = 0; x < pixmap->Width(); ++x)
            opaque->WritePixel(x, y, pixmap->ReadPixel(x, y) | 0xFF000000u);
    }
    return opaque;
}

// Compares `frame` with the reference `name`.png of `referenceDir` within `tolerance`/255 per channel.
inline void ExpectMatchesGolden(const Ref<TPixmap>& frame, const std::string& name,
                                const std::filesystem::path& referenceDir, const std::filesystem::path& outputDir,
                                int tolerance, bool updateAllowed)
{
    const auto pathText = [](const std::filesystem::path& path) { return String::FromCString(path.c_str()); };
    ASSERT_FALSE(frame.IsNull()) << name << ": no frame was captured";
    const std::filesystem::path reference = referenceDir / (name + ".png");
    const char* update = std::getenv("VANTA_UPDATE_GOLDEN");
    if (updateAllowed && update != nullptr && update[0] == '1') {
        std::filesystem::create_directories(reference.parent_path());
        ASSERT_EQ(SavePixmapPNG(frame, pathText(reference), 9), 1) << "cannot write " << reference;
        ADD_FAILURE() << "VANTA_UPDATE_GOLDEN=1: wrote " << reference
                      << " instead of comparing; look at it, then run again without the variable";
        return;
    }
    const Ref<TPixmap> expected = LoadPixmap(pathText(reference));
    ASSERT_FALSE(expected.IsNull()) << "no reference " << reference;
    ASSERT_EQ(expected->Width(), frame->Width());
    ASSERT_EQ(expected->Height(), frame->Height());

    Ref<TPixmap> diff = CreatePixmap(frame->Width(), frame->Height(), PF_RGB888, 4);
    int worst = 0;
    int wrongPixels = 0;
    for (std::int32_t y = 0; y < frame->Height(); ++y) {
        for (std::int32_t x = 0; x < frame->Width(); ++x) {
            const std::uint32_t a = frame->ReadPixel(x, y);
            const std::uint32_t b = expected->ReadPixel(x, y);
            std::uint32_t d = 0xFF000000u;
            int pixelWorst = 0;
            for (int shift = 0; shift < 24; shift += 8) {
                const int delta =
                    std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
                pixelWorst = std::max(pixelWorst, delta);
                d |= static_cast<std::uint32_t>(std::min(255, delta * 8)) << shift;
            }
            diff->WritePixel(x, y, d);
            worst = std::max(worst, pixelWorst);
            if (pixelWorst > tolerance) ++wrongPixels;
        }
    }
    if (worst <= tolerance) return;
    std::filesystem::create_directories(outputDir);
    SavePixmapPNG(frame, pathText(outputDir / (name + ".actual.png")), 6);
    SavePixmapPNG(diff, pathText(outputDir / (name + ".diff.png")), 6);
    ADD_FAILURE() << name << ": " << wrongPixels << " pixels differ by more than " << tolerance << "/255 (at most "
                  << worst << "); see " << (outputDir / (name + ".actual.png")) << " and "
                  << (outputDir / (name + ".diff.png"));
}

} // namespace vanta::test
