// lumora fuzz seeds: builders of .fnt and .bmp files and of drawing-call sequences, and the
// seed corpora made from them. Relies on the standard library only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lumorafuzz {

using TBytes = std::vector<uint8_t>;

// A .fnt file: header (118 bytes, 148 for 3.x), glyph table, glyph bitmaps (a fixed pseudo-
// random ink pattern), face name. Widths has one entry per character from First to Last;
// an empty Widths gives widths cycling through 0 .. 17.
struct TFntOptions {
  uint16_t Version = 0x0300;
  uint8_t First = 32, Last = 126, Default = 0, Break = 0;
  uint16_t Height = 12;
  uint16_t PixWidth = 0;
  std::vector<uint16_t> Widths;
  uint32_t Seed = 1;
};
TBytes BuildFnt(const TFntOptions& O);

// A .bmp file. A negative Height stores the rows top first. Colors is the number of palette
// entries written for 1, 4 and 8 bits (0: all). Compression 1 and 2 write run-length data
// (8 and 4 bits), 3 bit-field masks (16 and 32 bits).
struct TBmpOptions {
  int32_t Width = 4, Height = 4;
  uint16_t Bits = 24;
  uint32_t HeaderSize = 40;
  uint32_t Compression = 0;
  uint32_t Colors = 0;
  uint32_t Seed = 1;
};
TBytes BuildBmp(const TBmpOptions& O);

// The leading bytes of a fuzz_bmp input (layout in fuzz_bodies.h).
struct TBmpPrefix {
  int32_t MaxWidth = 2147483647, MaxHeight = 2147483647;
  int32_t X = 10, Y = 10;
  uint32_t Width = 0, Height = 0;  // 0: the file's own size
  uint8_t Alpha = 0;
  bool Transparent = false;
  uint8_t Memory = 0;  // 0: 1 GiB, 1: 4 MiB, 2: none, 3: 2^31 - 1 bytes
  uint8_t KeyB = 255, KeyG = 255, KeyR = 255, KeyAlpha = 0;
  uint8_t ViewPort[4] = {0, 0, 0, 0};
};
// Prefix followed by File; a Width or Height of 0 takes the file's own size.
TBytes BmpInput(const TBmpPrefix& P, const TBytes& File);

// Writes drawing calls in the coding of fuzz_draw (fuzz_draw_body.cpp).
struct TDrawCoder {
  TBytes Out;
  void Call(int Op, std::initializer_list<int32_t> Args);
  void SetColor(uint8_t R, uint8_t G, uint8_t B, uint8_t Alpha);
};

struct TSeed {
  std::string Name;
  TBytes Bytes;
};
std::vector<TSeed> FntSeeds();
std::vector<TSeed> BmpSeeds();
std::vector<TSeed> DrawSeeds();

}  // namespace lumorafuzz
