// lumora .fnt layout: where the fields of a Windows bitmap font file lie, for the loader,
// the font tools, the test kit and the fuzz targets. Header only.
//
// A file is a header of HEADER_2X_SIZE bytes (version 2.x) or HEADER_3X_SIZE bytes (3.x:
// the 2.x fields, then a 3.x extension of EXTENSION_3X_SIZE bytes), then the glyph table
// of dfLastChar - dfFirstChar + 1 entries, then whatever the file puts between there and
// dfSize: the glyph bitmaps from dfBitsOffset on, usually followed by the face name.
// All numbers are little-endian.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lumora::fnt {

inline constexpr uint16_t VERSION_2X = 0x0200;
inline constexpr uint16_t VERSION_3X = 0x0300;

// Offsets of the header fields from the start of the file.
inline constexpr size_t OFS_VERSION = 0;             // 16 bits
inline constexpr size_t OFS_SIZE = 2;                // 32 bits: length of the file
inline constexpr size_t OFS_COPYRIGHT = 6;           // COPYRIGHT_SIZE characters
inline constexpr size_t COPYRIGHT_SIZE = 60;
inline constexpr size_t OFS_TYPE = 66;               // 16 bits, 0: raster
inline constexpr size_t OFS_POINTS = 68;             // 16 bits
inline constexpr size_t OFS_VERT_RES = 70;           // 16 bits
inline constexpr size_t OFS_HORIZ_RES = 72;          // 16 bits
inline constexpr size_t OFS_ASCENT = 74;             // 16 bits
inline constexpr size_t OFS_INTERNAL_LEADING = 76;   // 16 bits
inline constexpr size_t OFS_EXTERNAL_LEADING = 78;   // 16 bits
inline constexpr size_t OFS_ITALIC = 80;             // 8 bits
inline constexpr size_t OFS_UNDERLINE = 81;          // 8 bits
inline constexpr size_t OFS_STRIKE_OUT = 82;         // 8 bits
inline constexpr size_t OFS_WEIGHT = 83;             // 16 bits
inline constexpr size_t OFS_CHAR_SET = 85;           // 8 bits
inline constexpr size_t OFS_PIX_WIDTH = 86;          // 16 bits, 0: variable width
inline constexpr size_t OFS_PIX_HEIGHT = 88;         // 16 bits
inline constexpr size_t OFS_PITCH_AND_FAMILY = 90;   // 8 bits
inline constexpr size_t OFS_AVG_WIDTH = 91;          // 16 bits
inline constexpr size_t OFS_MAX_WIDTH = 93;          // 16 bits
inline constexpr size_t OFS_FIRST_CHAR = 95;         // 8 bits
inline constexpr size_t OFS_LAST_CHAR = 96;          // 8 bits
inline constexpr size_t OFS_DEFAULT_CHAR = 97;       // 8 bits, relative to dfFirstChar
inline constexpr size_t OFS_BREAK_CHAR = 98;         // 8 bits, relative to dfFirstChar
inline constexpr size_t OFS_WIDTH_BYTES = 99;        // 16 bits
inline constexpr size_t OFS_DEVICE = 101;            // 32 bits
inline constexpr size_t OFS_FACE = 105;              // 32 bits: file offset of the face name
inline constexpr size_t OFS_BITS_POINTER = 109;      // 32 bits
inline constexpr size_t OFS_BITS_OFFSET = 113;       // 32 bits: file offset of the bitmaps
inline constexpr size_t OFS_RESERVED = 117;          // 8 bits
inline constexpr size_t HEADER_2X_SIZE = 118;

// The 3.x extension, right behind the 2.x fields.
inline constexpr size_t OFS_FLAGS = 118;             // 32 bits
inline constexpr size_t OFS_A_SPACE = 122;           // 16 bits
inline constexpr size_t OFS_B_SPACE = 124;           // 16 bits
inline constexpr size_t OFS_C_SPACE = 126;           // 16 bits
inline constexpr size_t OFS_COLOR_POINTER = 128;     // 32 bits
inline constexpr size_t OFS_RESERVED1 = 132;         // 16 bytes
inline constexpr size_t EXTENSION_3X_SIZE = 30;
inline constexpr size_t HEADER_3X_SIZE = HEADER_2X_SIZE + EXTENSION_3X_SIZE;

// dfFlags bits.
inline constexpr uint32_t FLAG_PROPORTIONAL = 0x0002;
inline constexpr uint32_t FLAG_1COLOR = 0x0010;

// Glyph table entries: the width (16 bits), then the file offset of the bitmap, 16 bits
// in 2.x files and 32 bits in 3.x files.
inline constexpr size_t ENTRY_OFS_WIDTH = 0;
inline constexpr size_t ENTRY_OFS_OFFSET = 2;
inline constexpr size_t ENTRY_2X_SIZE = 4;
inline constexpr size_t ENTRY_3X_SIZE = 6;
inline constexpr size_t MAX_ENTRIES = 256;

// Where the glyph table of a file of this version starts, and the size of its entries
// (anything but 2.x is laid out as 3.x).
constexpr size_t TableStart(uint16_t Version) {
  return Version == VERSION_2X ? HEADER_2X_SIZE : HEADER_3X_SIZE;
}
constexpr size_t EntrySize(uint16_t Version) {
  return Version == VERSION_2X ? ENTRY_2X_SIZE : ENTRY_3X_SIZE;
}

// The header fields in file order, for programs that list them all.
struct TField {
  const char* Name;
  size_t Offset;
  size_t Size;  // bytes: 1, 2 or 4 for numbers; more for text and reserved bytes
};
inline constexpr TField HEADER_2X_FIELDS[] = {
    {"dfVersion", OFS_VERSION, 2},
    {"dfSize", OFS_SIZE, 4},
    {"dfCopyright", OFS_COPYRIGHT, COPYRIGHT_SIZE},
    {"dfType", OFS_TYPE, 2},
    {"dfPoints", OFS_POINTS, 2},
    {"dfVertRes", OFS_VERT_RES, 2},
    {"dfHorizRes", OFS_HORIZ_RES, 2},
    {"dfAscent", OFS_ASCENT, 2},
    {"dfInternalLeading", OFS_INTERNAL_LEADING, 2},
    {"dfExternalLeading", OFS_EXTERNAL_LEADING, 2},
    {"dfItalic", OFS_ITALIC, 1},
    {"dfUnderline", OFS_UNDERLINE, 1},
    {"dfStrikeOut", OFS_STRIKE_OUT, 1},
    {"dfWeight", OFS_WEIGHT, 2},
    {"dfCharSet", OFS_CHAR_SET, 1},
    {"dfPixWidth", OFS_PIX_WIDTH, 2},
    {"dfPixHeight", OFS_PIX_HEIGHT, 2},
    {"dfPitchAndFamily", OFS_PITCH_AND_FAMILY, 1},
    {"dfAvgWidth", OFS_AVG_WIDTH, 2},
    {"dfMaxWidth", OFS_MAX_WIDTH, 2},
    {"dfFirstChar", OFS_FIRST_CHAR, 1},
    {"dfLastChar", OFS_LAST_CHAR, 1},
    {"dfDefaultChar", OFS_DEFAULT_CHAR, 1},
    {"dfBreakChar", OFS_BREAK_CHAR, 1},
    {"dfWidthBytes", OFS_WIDTH_BYTES, 2},
    {"dfDevice", OFS_DEVICE, 4},
    {"dfFace", OFS_FACE, 4},
    {"dfBitsPointer", OFS_BITS_POINTER, 4},
    {"dfBitsOffset", OFS_BITS_OFFSET, 4},
    {"dfReserved", OFS_RESERVED, 1},
};
inline constexpr TField EXTENSION_3X_FIELDS[] = {
    {"dfFlags", OFS_FLAGS, 4},
    {"dfAspace", OFS_A_SPACE, 2},
    {"dfBspace", OFS_B_SPACE, 2},
    {"dfCspace", OFS_C_SPACE, 2},
    {"dfColorPointer", OFS_COLOR_POINTER, 4},
    {"dfReserved1", OFS_RESERVED1, 16},
};

// The fields follow one another without gaps and fill the header exactly.
template <size_t N>
constexpr bool Contiguous(const TField (&Fields)[N], size_t Start, size_t End) {
  size_t At = Start;
  for (const TField& F : Fields) {
    if (F.Offset != At) return false;
    At += F.Size;
  }
  return At == End;
}
static_assert(Contiguous(HEADER_2X_FIELDS, 0, HEADER_2X_SIZE));
static_assert(Contiguous(EXTENSION_3X_FIELDS, HEADER_2X_SIZE, HEADER_3X_SIZE));

}  // namespace lumora::fnt
