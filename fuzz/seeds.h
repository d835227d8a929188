// lumora fuzz seeds: the seed corpora of fuzz_fnt, fuzz_bmp and fuzz_draw, and the coders
// of their inputs. Relies on the test kit's file builders.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lumorafuzz {

using TBytes = std::vector<uint8_t>;

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
  // A new canvas from the bytes Shape, W, H and Pad (see NewCanvas in fuzz_draw_body.cpp).
  void Canvas(uint8_t Shape, uint8_t W, uint8_t H, uint8_t Pad);
  void Picture(int32_t X, int32_t Y, int32_t Width, int32_t Height, uint8_t Alpha, uint8_t Flags);
  void Text(int32_t X, int32_t Y, const std::string& Text);
};

struct TSeed {
  std::string Name;
  TBytes Bytes;
};
std::vector<TSeed> FntSeeds();
std::vector<TSeed> BmpSeeds();
std::vector<TSeed> DrawSeeds();

}  // namespace lumorafuzz
