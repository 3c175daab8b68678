// Reading a typeface source (see FontSource.h).
#include "tools/fonts/FontSource.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace vanta::fonts {
namespace {

std::string Where(const std::string& path, int line)
{
    return path + ":" + std::to_string(line) + ": ";
}

bool ReadInt(std::istringstream& words, int& value, int low, int high)
{
    long long read = 0;
    if (!(words >> read) || read < low || read > high) return false;
    value = static_cast<int>(read);
    return true;
}

} // namespace

std::string ReadTypeface(const std::string& path, Typeface& face)
{
    std::ifstream file(path);
    if (!file) return path + ": cannot be read";
    std::string text;
    int lineNumber = 0;
    int code = -1; // the character whose rows are being read, -1 between characters
    std::vector<std::vector<bool>>* rows = nullptr;
    while (std::getline(file, text)) {
        ++lineNumber;
        if (!text.empty() && text.back() == '\r') text.pop_back();
        if (rows != nullptr) {
            if (static_cast<int>(text.size()) != face.width || text.find_first_not_of("#.") != std::string::npos)
                return Where(path, lineNumber) + "character " + std::to_string(code) + " needs a row of " +
                       std::to_string(face.width) + " '#' or '.' cells";
            std::vector<bool> row;
            for (char cell : text)
                row.push_back(cell == '#');
            rows->push_back(row);
            if (static_cast<int>(rows->size()) == face.height) rows = nullptr;
            continue;
        }
        if (text.empty() || text[0] == ';') continue;
        std::istringstream words(text);
        std::string key;
        words >> key;
        bool good = true;
        if (key == "cell") {
            good = ReadInt(words, face.width, 1, 64) && ReadInt(words, face.height, 1, 64);
        } else if (key == "ascent") {
            good = ReadInt(words, face.ascent, 1, 64);
        } else if (key == "points") {
            good = ReadInt(words, face.points, 1, 1000);
        } else if (key == "resolution") {
            good = ReadInt(words, face.resolution, 1, 2400);
        } else if (key == "name") {
            good = static_cast<bool>(words >> face.name);
        } else if (key == "char") {
            if (face.width == 0) return Where(path, lineNumber) + "the cell size must come before the characters";
            good = ReadInt(words, code, 0, 255);
            if (good && face.glyphs.count(code) != 0)
                return Where(path, lineNumber) + "character " + std::to_string(code) + " is given twice";
            if (good) rows = &face.glyphs[code];
        } else {
            return Where(path, lineNumber) + "unknown setting \"" + key + "\"";
        }
        if (!good) return Where(path, lineNumber) + "bad value for \"" + key + "\"";
    }
    if (rows != nullptr) return path + ": character " + std::to_string(code) + " is cut short";
    if (face.width == 0) return path + ": no cell size";
    if (face.ascent == 0 || face.ascent > face.height) return path + ": the ascent must be within the cell";
    return {};
}

std::string CheckCovers(const Typeface& face, int first, int last)
{
    for (int code = first; code <= last; ++code) {
        if (face.glyphs.count(code) == 0) return "character " + std::to_string(code) + " is missing";
    }
    return {};
}

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

} // namespace vanta::fonts
