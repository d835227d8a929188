// lumora .bmp layout: where the fields of a Windows bitmap file lie, for the loader, the
// tools' writer, the test kit and the fuzz targets. Header only.
//
// A file is a file header of FILE_HEADER_SIZE bytes, an info header whose first field is
// its own size (INFO_HEADER_SIZE for the classic header; the later ones extend it), then
// for 8 bits and less a palette of 4-byte entries, then the rows from ImageDataOffset on,
// each padded to a multiple of 4 bytes, bottom row first when the height is positive.
// All numbers are little-endian.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace lumora::bmp {

// The file header.
inline constexpr size_t OFS_SIGNATURE = 0;    // the two characters 'B', 'M'
inline constexpr size_t OFS_FILE_SIZE = 2;    // 32 bits
inline constexpr size_t OFS_DATA_OFFSET = 10; // 32 bits: file offset of the rows
inline constexpr size_t FILE_HEADER_SIZE = 14;

// The info header: offsets from its start.
inline constexpr size_t INFO_OFS_SIZE = 0;             // 32 bits: this header's size
inline constexpr size_t INFO_OFS_WIDTH = 4;            // 32 bits
inline constexpr size_t INFO_OFS_HEIGHT = 8;           // 32 bits, negative: top row first
inline constexpr size_t INFO_OFS_PLANES = 12;          // 16 bits, 1
inline constexpr size_t INFO_OFS_BITS_PER_PIXEL = 14;  // 16 bits
inline constexpr size_t INFO_OFS_COMPRESSION = 16;     // 32 bits, COMPRESSION_*
inline constexpr size_t INFO_OFS_IMAGE_SIZE = 20;      // 32 bits: bytes of the rows
inline constexpr size_t INFO_OFS_X_PELS_PER_METRE = 24;
inline constexpr size_t INFO_OFS_Y_PELS_PER_METRE = 28;
inline constexpr size_t INFO_OFS_COLORS_USED = 32;     // 32 bits: palette entries, 0: all
inline constexpr size_t INFO_OFS_COLORS_IMPORTANT = 36;
inline constexpr size_t INFO_HEADER_SIZE = 40;         // the classic info header
// Later headers: bit-field masks (red, green, blue; alpha from 56 bytes on), then the
// colour space (108 bytes) and the rendering intent (124 bytes).
inline constexpr size_t INFO_OFS_MASKS = 40;
inline constexpr size_t INFO_OFS_ALPHA_MASK = 52;
inline constexpr size_t INFO_OFS_COLOR_SPACE = 56;
inline constexpr size_t INFO_OFS_INTENT = 108;
inline constexpr size_t INFO_HEADER_V2_SIZE = 52;
inline constexpr size_t INFO_HEADER_V3_SIZE = 56;
inline constexpr size_t INFO_HEADER_V4_SIZE = 108;
inline constexpr size_t INFO_HEADER_V5_SIZE = 124;
// The OS/2 2.x header begins with the classic header's fields and adds its own after them.
inline constexpr size_t INFO_HEADER_OS2_SIZE = 64;
// Info header sizes whose layout is known: the palette lies right behind them.
inline constexpr std::array<uint32_t, 6> KNOWN_INFO_HEADER_SIZES = {
    INFO_HEADER_SIZE, INFO_HEADER_V2_SIZE, INFO_HEADER_V3_SIZE, INFO_HEADER_V4_SIZE,
    INFO_HEADER_V5_SIZE, INFO_HEADER_OS2_SIZE};

// The OS/2 1.x core header (12 bytes), still written by image tools: 16-bit width and
// height (rows bottom first), planes and bits per pixel, no compression field; its palette
// entries are 3 bytes (blue, green, red).
inline constexpr size_t CORE_HEADER_SIZE = 12;
inline constexpr size_t CORE_OFS_WIDTH = 4;            // 16 bits
inline constexpr size_t CORE_OFS_HEIGHT = 6;           // 16 bits
inline constexpr size_t CORE_OFS_PLANES = 8;           // 16 bits, 1
inline constexpr size_t CORE_OFS_BITS_PER_PIXEL = 10;  // 16 bits
inline constexpr size_t CORE_PALETTE_ENTRY_SIZE = 3;

// The same fields as offsets from the start of the file.
inline constexpr size_t OFS_INFO_SIZE = FILE_HEADER_SIZE + INFO_OFS_SIZE;
inline constexpr size_t OFS_WIDTH = FILE_HEADER_SIZE + INFO_OFS_WIDTH;
inline constexpr size_t OFS_HEIGHT = FILE_HEADER_SIZE + INFO_OFS_HEIGHT;
inline constexpr size_t OFS_PLANES = FILE_HEADER_SIZE + INFO_OFS_PLANES;
inline constexpr size_t OFS_BITS_PER_PIXEL = FILE_HEADER_SIZE + INFO_OFS_BITS_PER_PIXEL;
inline constexpr size_t OFS_COMPRESSION = FILE_HEADER_SIZE + INFO_OFS_COMPRESSION;
inline constexpr size_t OFS_IMAGE_SIZE = FILE_HEADER_SIZE + INFO_OFS_IMAGE_SIZE;
inline constexpr size_t OFS_X_PELS_PER_METRE = FILE_HEADER_SIZE + INFO_OFS_X_PELS_PER_METRE;
inline constexpr size_t OFS_Y_PELS_PER_METRE = FILE_HEADER_SIZE + INFO_OFS_Y_PELS_PER_METRE;
inline constexpr size_t OFS_COLORS_USED = FILE_HEADER_SIZE + INFO_OFS_COLORS_USED;
// The file header and the classic info header.
inline constexpr size_t HEADERS_SIZE = FILE_HEADER_SIZE + INFO_HEADER_SIZE;
static_assert(HEADERS_SIZE == 54);

inline constexpr uint32_t COMPRESSION_NONE = 0;
inline constexpr uint32_t COMPRESSION_RLE8 = 1;
inline constexpr uint32_t COMPRESSION_RLE4 = 2;
inline constexpr uint32_t COMPRESSION_BITFIELDS = 3;

// Palette entries: blue, green, red, one unused byte.
inline constexpr size_t PALETTE_ENTRY_SIZE = 4;
inline constexpr uint32_t PALETTE_MAX_ENTRIES = 256;

// Bytes of a stored row of Width pixels of Bits bits, padding included.
constexpr uint64_t RowStride(uint64_t Width, uint32_t Bits) { return (Width * Bits + 31) / 32 * 4; }

}  // namespace lumora::bmp
