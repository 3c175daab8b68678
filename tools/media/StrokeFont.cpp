// The stroke font's glyphs and how they are laid out.
#include "tools/media/StrokeFont.h"

#include <cstdlib>
#include <string>

namespace vanta::media {
namespace {

// Strokes separated by '|', points "x,y" separated by spaces.
const char* Glyph(char c)
{
    switch (c) {
    case 'A': return "0,6 2,0 4,6|0.7,4 3.3,4";
    case 'B': return "0,6 0,0 3,0 4,0.8 4,2.2 3,3 0,3|3,3 4,3.8 4,5.2 3,6 0,6";
    case 'C': return "4,1 3,0 1,0 0,1 0,5 1,6 3,6 4,5";
    case 'D': return "0,0 0,6 2.5,6 4,4.5 4,1.5 2.5,0 0,0";
    case 'E': return "4,0 0,0 0,6 4,6|0,3 3,3";
    case 'F': return "4,0 0,0 0,6|0,3 3,3";
    case 'G': return "4,1 3,0 1,0 0,1 0,5 1,6 3,6 4,5 4,3.5 2.3,3.5";
    case 'H': return "0,0 0,6|4,0 4,6|0,3 4,3";
    case 'I': return "1,0 3,0|2,0 2,6|1,6 3,6";
    case 'J': return "4,0 4,5 3,6 1,6 0,5";
    case 'K': return "0,0 0,6|4,0 0,3.6|1.3,2.8 4,6";
    case 'L': return "0,0 0,6 4,6";
    case 'M': return "0,6 0,0 2,3.5 4,0 4,6";
    case 'N': return "0,6 0,0 4,6 4,0";
    case 'O': return "1,0 3,0 4,1 4,5 3,6 1,6 0,5 0,1 1,0";
    case 'P': return "0,6 0,0 3,0 4,1 4,2 3,3 0,3";
    case 'Q': return "1,0 3,0 4,1 4,5 3,6 1,6 0,5 0,1 1,0|2.5,4.5 4,6.2";
    case 'R': return "0,6 0,0 3,0 4,1 4,2 3,3 0,3|2,3 4,6";
    case 'S': return "4,1 3,0 1,0 0,1 0,2 1,3 3,3 4,4 4,5 3,6 1,6 0,5";
    case 'T': return "0,0 4,0|2,0 2,6";
    case 'U': return "0,0 0,5 1,6 3,6 4,5 4,0";
    case 'V': return "0,0 2,6 4,0";
    case 'W': return "0,0 1,6 2,2.5 3,6 4,0";
    case 'X': return "0,0 4,6|4,0 0,6";
    case 'Y': return "0,0 2,3 4,0|2,3 2,6";
    case 'Z': return "0,0 4,0 0,6 4,6";
    case 'a': return "0.5,2.5 1.5,2 3,2 4,2.8 4,6|4,3.8 1,3.8 0,4.6 0,5.3 1,6 3,6 4,5";
    case 'b': return "0,0 0,6|0,3 1,2 3,2 4,3 4,5 3,6 1,6 0,5";
    case 'c': return "4,2.8 3,2 1,2 0,3 0,5 1,6 3,6 4,5.2";
    case 'd': return "4,0 4,6|4,3 3,2 1,2 0,3 0,5 1,6 3,6 4,5";
    case 'e': return "0,4 4,4 4,3 3,2 1,2 0,3 0,5 1,6 3,6 4,5.4";
    case 'f': return "3.5,0.3 3,0 2,0 1.3,0.7 1.3,6|0,2 3,2";
    case 'g': return "4,2 4,7 3,8 1,8 0.3,7.5|4,3 3,2 1,2 0,3 0,5 1,6 3,6 4,5";
    case 'h': return "0,0 0,6|0,3 1,2 3,2 4,3 4,6";
    case 'i': return "2,2 2,6|2,0.5 2,0.7";
    case 'j': return "2.5,2 2.5,7 1.5,8 0.5,7.6|2.5,0.5 2.5,0.7";
    case 'k': return "0,0 0,6|3.5,2 0,4.5|1.3,3.6 4,6";
    case 'l': return "1.5,0 1.5,5.2 2.3,6 3,6";
    case 'm': return "0,6 0,2|0,3 0.6,2 1.4,2 2,3 2,6|2,3 2.6,2 3.4,2 4,3 4,6";
    case 'n': return "0,6 0,2|0,3 1,2 3,2 4,3 4,6";
    case 'o': return "1,2 3,2 4,3 4,5 3,6 1,6 0,5 0,3 1,2";
    case 'p': return "0,2 0,8|0,3 1,2 3,2 4,3 4,5 3,6 1,6 0,5";
    case 'q': return "4,2 4,8|4,3 3,2 1,2 0,3 0,5 1,6 3,6 4,5";
    case 'r': return "0,6 0,2|0,3.5 1.5,2 3,2 4,2.6";
    case 's': return "4,2.7 3,2 1,2 0,2.8 0.5,3.6 3.5,4.4 4,5.2 3,6 1,6 0,5.3";
    case 't': return "1.5,0.5 1.5,5.2 2.3,6 3.5,6|0,2 3.5,2";
    case 'u': return "0,2 0,5 1,6 3,6 4,5|4,2 4,6";
    case 'v': return "0,2 2,6 4,2";
    case 'w': return "0,2 1,6 2,3 3,6 4,2";
    case 'x': return "0,2 4,6|4,2 0,6";
    case 'y': return "0,2 2,6|4,2 1.2,8 0.4,8";
    case 'z': return "0,2 4,2 0,6 4,6";
    case '0': return "1,0 3,0 4,1 4,5 3,6 1,6 0,5 0,1 1,0|0.5,5 3.5,1";
    case '1': return "1,1 2,0 2,6|1,6 3,6";
    case '2': return "0,1 1,0 3,0 4,1 4,2 0,6 4,6";
    case '3': return "0,1 1,0 3,0 4,1 4,2 3,3 1.5,3|3,3 4,4 4,5 3,6 1,6 0,5";
    case '4': return "3,6 3,0 0,4 4,4";
    case '5': return "4,0 0,0 0,3 3,3 4,4 4,5 3,6 0,6";
    case '6': return "3.5,0 1.5,0 0,2 0,5 1,6 3,6 4,5 4,4 3,3 0,3";
    case '7': return "0,0 4,0 1.5,6";
    case '8': return "1,0 3,0 4,1 4,2 3,3 1,3 0,4 0,5 1,6 3,6 4,5 4,4 3,3|1,3 0,2 0,1 1,0";
    case '9': return "4,3 1,3 0,2 0,1 1,0 3,0 4,1 4,4 2.5,6 0.5,6";
    case '.': return "1.9,6 2.1,6";
    case ',': return "2,5.6 1.4,7";
    case ':': return "1.9,2 2.1,2|1.9,5.8 2.1,5.8";
    case '/': return "0.5,6.5 3.5,-0.5";
    case '-': return "1,3.5 3,3.5";
    case '_': return "0,6.5 4,6.5";
    case '!': return "2,0 2,4|1.9,5.9 2.1,5.9";
    case '?': return "0,1 1,0 3,0 4,1 4,2 2,3.4 2,4.2|1.9,5.9 2.1,5.9";
    case '(': return "2.8,-0.3 1.5,1 1.2,3 1.5,5 2.8,6.3";
    case ')': return "1.2,-0.3 2.5,1 2.8,3 2.5,5 1.2,6.3";
    case '\'': return "2,0 2,1.5";
    case '=': return "0.5,2.3 3.5,2.3|0.5,3.9 3.5,3.9";
    case '+': return "0.5,3.2 3.5,3.2|2,1.7 2,4.7";
    case '*': return "2,1.5 2,4.5|0.7,2.2 3.3,3.8|3.3,2.2 0.7,3.8";
    default: return "";
    }
}

} // namespace

void AddTextPath(cairo_t* cr, std::string_view text, double x, double y, double size, double spacing)
{
    const double unit = size / 6.0;
    double left = x;
    for (char c : text) {
        const std::string strokes = Glyph(c);
        const char* p = strokes.c_str();
        bool first = true;
        while (*p != '\0') {
            if (*p == '|') {
                first = true;
                ++p;
                continue;
            }
            if (*p == ' ') {
                ++p;
                continue;
            }
            char* end = nullptr;
            const double gx = std::strtod(p, &end);
            const double gy = std::strtod(end + 1, &end);
            p = end;
            if (first) {
                cairo_move_to(cr, left + gx * unit, y + gy * unit);
            } else {
                cairo_line_to(cr, left + gx * unit, y + gy * unit);
            }
            first = false;
        }
        left += (4 + spacing) * unit;
    }
}

double TextWidth(std::string_view text, double size, double spacing)
{
    if (text.empty()) return 0;
    const double unit = size / 6.0;
    return (static_cast<double>(text.size()) * (4 + spacing) - spacing) * unit;
}

} // namespace vanta::media
