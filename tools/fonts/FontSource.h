// Reading a typeface source: the readable text our bitmap typefaces are kept in (graphics/fonts/*.txt).
//
// A source is a few settings and then one block per character:
//
//     ; a comment
//     cell 8 16          width and height of every character cell, in pixels
//     ascent 13          rows above the baseline (the rest hang below it)
//     points 12          nominal size in points at the resolution below
//     resolution 72      dots per inch, both ways
//     name Vanta         the face name
//     char 65            a character code, then `height` rows of `width` cells: '#' ink, '.' paper
//     ...#....
//
// Build-time code only: it answers a message on the first fault instead of throwing runtime errors.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace vanta::fonts {

struct Typeface
{
    std::string name;
    int width = 0;
    int height = 0;
    int ascent = 0;
    int points = 0;
    int resolution = 0;
    // Each character's rows, top first; each row `width` flags, leftmost first.
    std::map<int, std::vector<std::vector<bool>>> glyphs;
};

// Reads the source at `path` into `face`; an empty string on success, else what is wrong and where.
std::string ReadTypeface(const std::string& path, Typeface& face);

// An empty string when `face` has a glyph for every code `first` ... `last`, else the first code missing.
std::string CheckCovers(const Typeface& face, int first, int last);

// Writes `bytes` to `path`; false when the file cannot be written completely.
bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

} // namespace vanta::fonts
