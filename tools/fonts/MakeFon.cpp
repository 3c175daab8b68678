// vanta_make_fon OUT.fon VERSION SOURCE [VERSION SOURCE ...]: makes a Windows bitmap font file from our
// typeface sources, one font (one size) per source, each written as an FNT resource of VERSION 2 or 3.
//
// The file is what Windows and FreeType expect of a .FON: a DOS stub, a 16-bit "NE" executable header
// whose resource table lists a font directory (type 0x8007) and the fonts (type 0x8008), a resident name
// table with the module name and a non-resident name table with the "FONTRES" description. The module
// has no code or data segments.
//
// Each FNT resource is a raster font of fixed pitch with characters from the source's first to its last
// code, plus the extra blank entry the format ends its character table with. A glyph's bitmap is stored
// column by column, 8 pixels to a byte (the most significant bit leftmost), each byte column from the top
// row to the bottom one.
#include "tools/fonts/FontSource.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

namespace vanta::fonts {
namespace {

constexpr int ALIGN_SHIFT = 4; // resources start on 16-byte boundaries
constexpr std::uint16_t RT_FONTDIR = 0x8007;
constexpr std::uint16_t RT_FONT = 0x8008;

class Bytes
{
public:
    std::size_t Size() const { return bytes_.size(); }
    const std::vector<std::uint8_t>& Data() const { return bytes_; }

    void U8(unsigned value) { bytes_.push_back(static_cast<std::uint8_t>(value)); }
    void U16(unsigned value)
    {
        U8(value & 0xFF);
        U8(value >> 8 & 0xFF);
    }
    void U32(std::uint32_t value)
    {
        U16(value & 0xFFFF);
        U16(value >> 16);
    }
    void Text(const std::string& text, std::size_t field)
    {
        for (std::size_t i = 0; i < field; ++i)
            U8(i < text.size() ? static_cast<unsigned char>(text[i]) : 0);
    }
    // A length-prefixed name, as the NE name tables hold them.
    void Name(const std::string& text)
    {
        U8(static_cast<unsigned>(text.size()));
        Text(text, text.size());
    }
    void Append(const std::vector<std::uint8_t>& more) { bytes_.insert(bytes_.end(), more.begin(), more.end()); }
    void PadTo(std::size_t size) { bytes_.resize(std::max(size, bytes_.size()), 0); }
    void Align(std::size_t unit) { PadTo((bytes_.size() + unit - 1) / unit * unit); }

    void Put16(std::size_t at, unsigned value)
    {
        bytes_[at] = static_cast<std::uint8_t>(value & 0xFF);
        bytes_[at + 1] = static_cast<std::uint8_t>(value >> 8 & 0xFF);
    }
    void Put32(std::size_t at, std::uint32_t value)
    {
        Put16(at, value & 0xFFFF);
        Put16(at + 2, value >> 16);
    }

private:
    std::vector<std::uint8_t> bytes_;
};

struct Face
{
    Typeface type;
    int version = 3;
    int first = 0;
    int last = 0;
};

// The FNT resource of one face.
std::vector<std::uint8_t> MakeFnt(const Face& face)
{
    const Typeface& type = face.type;
    const bool v3 = face.version == 3;
    const int headerSize = v3 ? 148 : 118;
    const int entrySize = v3 ? 6 : 4;
    const int entries = face.last - face.first + 2; // the characters and the closing blank entry
    const int byteColumns = (type.width + 7) / 8;
    const int glyphBytes = byteColumns * type.height;
    const int emHeight = type.points * type.resolution / 72;

    const std::size_t tableAt = headerSize;
    const std::size_t faceNameAt = tableAt + static_cast<std::size_t>(entries) * entrySize;
    const std::size_t bitsAt = faceNameAt + type.name.size() + 1;
    const std::size_t totalSize = bitsAt + static_cast<std::size_t>(entries) * glyphBytes;

    Bytes fnt;
    fnt.U16(v3 ? 0x0300 : 0x0200);                                       // dfVersion
    fnt.U32(static_cast<std::uint32_t>(totalSize));                      // dfSize
    fnt.Text("Typeface made for VantaMax by its own font tools.", 60);   // dfCopyright
    fnt.U16(0);                                                          // dfType: raster
    fnt.U16(static_cast<unsigned>(type.points));                         // dfPoints
    fnt.U16(static_cast<unsigned>(type.resolution));                     // dfVertRes
    fnt.U16(static_cast<unsigned>(type.resolution));                     // dfHorizRes
    fnt.U16(static_cast<unsigned>(type.ascent));                         // dfAscent
    fnt.U16(static_cast<unsigned>(std::max(0, type.height - emHeight))); // dfInternalLeading
    fnt.U16(0);                                                          // dfExternalLeading
    fnt.U8(0);                                                           // dfItalic
    fnt.U8(0);                                                           // dfUnderline
    fnt.U8(0);                                                           // dfStrikeOut
    fnt.U16(400);                                                        // dfWeight: normal
    fnt.U8(0);                                                           // dfCharSet: ANSI
    fnt.U16(static_cast<unsigned>(type.width));                          // dfPixWidth: fixed pitch
    fnt.U16(static_cast<unsigned>(type.height));                         // dfPixHeight
    fnt.U8(0x30);                                                        // dfPitchAndFamily: modern, fixed
    fnt.U16(static_cast<unsigned>(type.width));                          // dfAvgWidth
    fnt.U16(static_cast<unsigned>(type.width));                          // dfMaxWidth
    fnt.U8(static_cast<unsigned>(face.first));                           // dfFirstChar
    fnt.U8(static_cast<unsigned>(face.last));                            // dfLastChar
    fnt.U8(static_cast<unsigned>('?' - face.first));                     // dfDefaultChar (relative)
    fnt.U8(static_cast<unsigned>(std::max(0, ' ' - face.first)));        // dfBreakChar (relative)
    fnt.U16(static_cast<unsigned>((byteColumns * entries + 1) / 2 * 2)); // dfWidthBytes
    fnt.U32(0);                                                          // dfDevice: none
    fnt.U32(static_cast<std::uint32_t>(faceNameAt));                     // dfFace
    fnt.U32(0);                                                          // dfBitsPointer
    fnt.U32(static_cast<std::uint32_t>(bitsAt));                         // dfBitsOffset
    fnt.U8(0);                                                           // dfReserved
    if (v3) {
        fnt.U32(0x0011);  // dfFlags: fixed pitch, one colour
        fnt.U16(0);       // dfAspace
        fnt.U16(0);       // dfBspace
        fnt.U16(0);       // dfCspace
        fnt.U32(0);       // dfColorPointer
        fnt.Text("", 16); // dfReserved1
    }
    for (int i = 0; i < entries; ++i) {
        fnt.U16(static_cast<unsigned>(type.width));
        const std::uint32_t offset = static_cast<std::uint32_t>(bitsAt + static_cast<std::size_t>(i) * glyphBytes);
        if (v3) {
            fnt.U32(offset);
        } else {
            fnt.U16(offset);
        }
    }
    fnt.Text(type.name, type.name.size() + 1);
    const std::vector<std::vector<bool>> blank(type.height, std::vector<bool>(type.width, false));
    for (int i = 0; i < entries; ++i) {
        const int code = face.first + i;
        const std::vector<std::vector<bool>>& rows = code <= face.last ? type.glyphs.at(code) : blank;
        for (int column = 0; column < byteColumns; ++column) {
            for (int row = 0; row < type.height; ++row) {
                unsigned byte = 0;
                for (int bit = 0; bit < 8; ++bit) {
                    const int x = column * 8 + bit;
                    if (x < type.width && rows[row][x]) byte |= 0x80u >> bit;
                }
                fnt.U8(byte);
            }
        }
    }
    return fnt.Data();
}

// The font directory: the count, then for each font its ordinal, the start of its header (with the
// bits pointer turned into a reserved field), an empty device name and the face name.
std::vector<std::uint8_t> MakeFontDirectory(const std::vector<std::vector<std::uint8_t>>& fnts,
                                            const std::vector<Face>& faces)
{
    Bytes dir;
    dir.U16(static_cast<unsigned>(fnts.size()));
    for (std::size_t i = 0; i < fnts.size(); ++i) {
        dir.U16(static_cast<unsigned>(i + 1));
        dir.Append(std::vector<std::uint8_t>(fnts[i].begin(), fnts[i].begin() + 109));
        dir.U32(0);
        dir.U8(0);
        dir.Text(faces[i].type.name, faces[i].type.name.size() + 1);
    }
    return dir.Data();
}

std::vector<std::uint8_t> MakeFon(const std::vector<Face>& faces)
{
    std::vector<std::vector<std::uint8_t>> fnts;
    fnts.reserve(faces.size());
    for (const Face& face : faces)
        fnts.push_back(MakeFnt(face));
    const std::vector<std::uint8_t> directory = MakeFontDirectory(fnts, faces);

    Bytes file;
    // DOS header and a stub that says what the file is when run under DOS.
    file.Text("MZ", 2);
    file.U16(0x90);   // bytes in the last page
    file.U16(1);      // pages
    file.U16(0);      // relocations
    file.U16(4);      // header paragraphs
    file.U16(0);      // minimum extra paragraphs
    file.U16(0xFFFF); // maximum extra paragraphs
    file.U16(0);      // SS
    file.U16(0xB8);   // SP
    file.U16(0);      // checksum
    file.U16(0);      // IP
    file.U16(0);      // CS
    file.U16(0x40);   // relocation table
    file.U16(0);      // overlay
    file.PadTo(0x3C);
    const std::size_t neAt = 0x80;
    file.U32(static_cast<std::uint32_t>(neAt));
    // push cs; pop ds; mov dx, message; mov ah, 9; int 21h; mov ax, 4C01h; int 21h
    const std::uint8_t stub[] = {0x0E, 0x1F, 0xBA, 0x0E, 0x00, 0xB4, 0x09, 0xCD, 0x21, 0xB8, 0x01, 0x4C, 0xCD, 0x21};
    file.Append(std::vector<std::uint8_t>(std::begin(stub), std::end(stub)));
    file.Text("This is a Windows font file.\r\n$", 31);
    file.PadTo(neAt);

    // The NE header; the offsets of its tables are filled in as the tables are laid out.
    file.Text("NE", 2);
    file.U8(5);  // linker version
    file.U8(10); // linker revision
    file.PadTo(neAt + 0x0C);
    file.U16(0x8000); // flags: a library module
    file.PadTo(neAt + 0x32);
    file.U16(ALIGN_SHIFT);
    file.U16(0); // resource segments
    file.U8(2);  // target: Windows
    file.U8(0);
    file.PadTo(neAt + 0x3E);
    file.U16(0x0300); // expected Windows version
    file.PadTo(neAt + 0x40);

    auto relative = [&]() { return static_cast<unsigned>(file.Size() - neAt); };
    file.Put16(neAt + 0x22, relative()); // segment table: empty
    file.Put16(neAt + 0x24, relative()); // resource table
    file.U16(ALIGN_SHIFT);
    file.U16(RT_FONTDIR);
    file.U16(1);
    file.U32(0);
    const std::size_t directoryInfo = file.Size();
    file.Text("", 12);
    file.U16(RT_FONT);
    file.U16(static_cast<unsigned>(fnts.size()));
    file.U32(0);
    const std::size_t fontInfo = file.Size();
    file.Text("", 12 * fnts.size());
    file.U16(0); // end of the resource types
    file.U8(0);  // no resource names

    file.Put16(neAt + 0x26, relative()); // resident names: the module name
    file.Name("VANTA");
    file.U16(0);
    file.U8(0);
    file.Put16(neAt + 0x28, relative()); // module references: none
    file.Put16(neAt + 0x2A, relative()); // imported names: none
    file.U8(0);
    file.Put16(neAt + 0x04, relative()); // entry table: empty
    file.Put16(neAt + 0x06, 2);
    file.U16(0);
    file.Put32(neAt + 0x2C, static_cast<std::uint32_t>(file.Size())); // non-resident names (a file offset)
    std::string description = "FONTRES 100," + std::to_string(faces[0].type.resolution) + "," +
                              std::to_string(faces[0].type.resolution) + " : " + faces[0].type.name;
    for (std::size_t i = 0; i < faces.size(); ++i)
        description += (i == 0 ? " " : ",") + std::to_string(faces[i].type.points);
    const std::size_t namesAt = file.Size();
    file.Name(description);
    file.U16(0);
    file.U8(0);
    file.Put16(neAt + 0x20, static_cast<unsigned>(file.Size() - namesAt));

    // The resources, each on an alignment boundary, and their entries in the resource table.
    auto place = [&](std::size_t info, const std::vector<std::uint8_t>& data, unsigned flags, unsigned id) {
        file.Align(1u << ALIGN_SHIFT);
        file.Put16(info, static_cast<unsigned>(file.Size() >> ALIGN_SHIFT));
        file.Put16(info + 2, static_cast<unsigned>((data.size() + (1u << ALIGN_SHIFT) - 1) >> ALIGN_SHIFT));
        file.Put16(info + 4, flags);
        file.Put16(info + 6, id);
        file.Append(data);
    };
    place(directoryInfo, directory, 0x0C50, 0x8001);
    for (std::size_t i = 0; i < fnts.size(); ++i)
        place(fontInfo + 12 * i, fnts[i], 0x1C30, static_cast<unsigned>(0x8001 + i));
    file.Align(1u << ALIGN_SHIFT);
    return file.Data();
}

} // namespace
} // namespace vanta::fonts

int main(int argc, char** argv)
{
    using namespace vanta::fonts;
    if (argc < 4 || argc % 2 != 0) {
        std::fputs("usage: vanta_make_fon OUT.fon VERSION SOURCE.txt [VERSION SOURCE.txt ...] (VERSION 2 or 3)\n",
                   stderr);
        return 2;
    }
    std::vector<Face> faces;
    for (int i = 2; i < argc; i += 2) {
        Face face;
        const std::string version = argv[i];
        std::string fault;
        if (version == "2" || version == "3") {
            face.version = version[0] - '0';
            fault = ReadTypeface(argv[i + 1], face.type);
        } else {
            fault = "the FNT version is 2 or 3, not " + version;
        }
        if (fault.empty() && (face.type.points == 0 || face.type.resolution == 0 || face.type.name.empty()))
            fault = "a font file's face needs its points, resolution and name";
        if (fault.empty() && !face.type.glyphs.empty()) {
            face.first = face.type.glyphs.begin()->first;
            face.last = face.type.glyphs.rbegin()->first;
            fault = CheckCovers(face.type, face.first, face.last);
            if (fault.empty() && (face.first > '?' || face.last < '?')) fault = "the characters must include '?'";
        } else if (fault.empty()) {
            fault = "no characters";
        }
        // The version 2 table holds 16-bit offsets.
        if (fault.empty() && face.version == 2 &&
            (face.last - face.first + 2) * (face.type.width + 7) / 8 * face.type.height > 0xF000)
            fault = "too large for an FNT version 2 resource";
        if (!fault.empty()) {
            std::fprintf(stderr, "vanta_make_fon: %s: %s\n", argv[i + 1], fault.c_str());
            return 1;
        }
        faces.push_back(face);
    }
    if (!WriteFile(argv[1], MakeFon(faces))) {
        std::fprintf(stderr, "vanta_make_fon: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
