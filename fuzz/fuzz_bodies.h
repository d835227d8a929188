// lumora fuzz bodies: what each fuzz target does with one input, shared by the libFuzzer
// targets and the regression test. Relies on the public lumora API and fuzz_support.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace lumorafuzz {

// Each body runs one input against the library and checks what the library promises for
// it. The result is "" when every promise held, else a description of the first broken one.
// Crashes, leaks and undefined behaviour are left to the sanitizers and hangs to the timeout.

// The input is a .fnt file. Loads it, checks the result code against the record and the
// registry, and for a loaded font the glyph buffer against the file, GetTextLength against
// the glyph table, and WriteText of all 256 codes at several positions (in the viewport, across
// its edges, near the limits of 32 bits) against a reference drawing of the glyph bitmaps.
// Then reloads into the same record, frees the font and empties LoadedFonts.
std::string FuzzFnt(const uint8_t* Data, size_t Size);

// The input is a prefix of BMP_PREFIX_SIZE bytes, then a .bmp file. The prefix, all
// little-endian:
//   0  int32  MaxWidth          4  int32  MaxHeight   (for the five-argument load)
//   8  int32  X                12  int32  Y           (where both pictures are drawn)
//  16  uint32 Width            20  uint32 Height
//  24  uint8  Alpha            25  uint8  flags: bit 0 Transparent, bits 1-2 the memory
//                                     GetAvailRAMMemory reports (1 GiB, 4 MiB, 0, 2^31 - 1)
//  26  uint8  TransparentColor B, G, R, Alpha (26..29)
//  30  uint8  viewport edges: X1 = 5 b - 100, Y1 = 4 b - 100, X2 = 1123 - 5 b,
//             Y2 = 867 - 4 b (30..33; all zero: the whole screen)
// Loads the file with both forms of LoadBMPPicture, checks codes, records and (for files
// laid out as the loader reads them) every stored pixel against the file, draws each loaded
// picture with ShowAlphaScaleBMPPicture and checks the screen against a reference inside
// the clipped rectangle and for no change outside it; frees both records.
inline constexpr size_t BMP_PREFIX_SIZE = 34;
std::string FuzzBmp(const uint8_t* Data, size_t Size);

// The input is a sequence of drawing calls (opcode byte, then arguments; see
// fuzz_draw_body.cpp for the coding) run on a patterned screen and on patterned canvases
// of many shapes (tall, wide, padded rows, unaligned, allocated, over a picture, refused)
// made by the input. Checks that no call writes outside the viewport or outside the
// bounding box of what it draws, nor outside a canvas's rows (its padding and the guard
// bytes around it), that transparency 255 changes nothing, that no fourth byte changes
// except by clearing, that canvases are made and refused, their viewports set and their
// pixels cleared as documented, and that a canvas that fits the screen ends up with the
// pixels of the same calls on the screen's corner.
std::string FuzzDraw(const uint8_t* Data, size_t Size);

}  // namespace lumorafuzz
