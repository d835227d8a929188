// Test support: builds .bmp files byte by byte (8 or 24 bits, any header layout) and
// temporary directories to put them in.
#pragma once

#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

// A bitmap to write. Pixels are given top row first; the file stores them bottom row first.
struct TBmp {
  uint32_t Width = 0, Height = 0;
  uint16_t Bits = 24;
  uint32_t Compression = 0;
  uint32_t InfoSize = 40;        // bytes of info header written (40, 108, 124, ...)
  int64_t DataOffset = -1;       // -1: right behind the palette
  uint32_t PaletteGap = 0;       // bytes between palette and pixels
  std::vector<std::array<uint8_t, 4>> Palette;  // B, G, R, X; written as given
  std::vector<uint8_t> Pixels;   // 3 bytes (B, G, R) or 1 index per pixel, top row first
  uint8_t Fill = 0xEE;           // value of the fill bytes
  bool HeaderOnly = false;
  char Signature[2] = {'B', 'M'};
};

inline void PutU16(std::vector<uint8_t>& B, size_t At, uint32_t V) {
  B[At] = uint8_t(V);
  B[At + 1] = uint8_t(V >> 8);
}
inline void PutU32(std::vector<uint8_t>& B, size_t At, uint32_t V) {
  for (int I = 0; I < 4; ++I) B[At + size_t(I)] = uint8_t(V >> (8 * I));
}

inline std::vector<uint8_t> BuildBmp(const TBmp& S) {
  const size_t Bpp = S.Bits / 8;
  const size_t RowData = size_t(S.Width) * Bpp;
  const size_t Stride = (RowData + 3) / 4 * 4;
  const size_t PaletteAt = 14 + S.InfoSize;
  const size_t DataAt = S.DataOffset >= 0 ? size_t(S.DataOffset) : PaletteAt + S.Palette.size() * 4 + S.PaletteGap;
  std::vector<uint8_t> B(std::max<size_t>(PaletteAt, 54), 0);
  B[0] = uint8_t(S.Signature[0]);
  B[1] = uint8_t(S.Signature[1]);
  PutU32(B, 10, uint32_t(DataAt));
  PutU32(B, 14, S.InfoSize);
  PutU32(B, 18, S.Width);
  PutU32(B, 22, S.Height);
  PutU16(B, 26, 1);
  PutU16(B, 28, S.Bits);
  PutU32(B, 30, S.Compression);
  PutU32(B, 46, uint32_t(S.Palette.size()));
  if (S.HeaderOnly) {
    B.resize(54);
    return B;
  }
  for (const auto& E : S.Palette) B.insert(B.end(), E.begin(), E.end());
  B.resize(std::max(B.size(), DataAt), 0);
  for (uint32_t FileRow = 0; FileRow < S.Height; ++FileRow) {
    const size_t Y = S.Height - 1 - FileRow;
    const auto First = S.Pixels.begin() + std::ptrdiff_t(Y * RowData);
    B.insert(B.end(), First, First + std::ptrdiff_t(RowData));
    B.insert(B.end(), Stride - RowData, S.Fill);
  }
  PutU32(B, 2, uint32_t(B.size()));
  return B;
}

// Pixel (X, Y) of a 24-bit test picture, telling its position: B = X mod 256, G = Y mod 256,
// R = X div 256 + 16 x (Y div 256). Unique for pictures up to 4096 x 4096.
inline std::array<uint8_t, 3> CoordColor(uint32_t X, uint32_t Y) {
  return {uint8_t(X), uint8_t(Y), uint8_t((X >> 8) + 16 * (Y >> 8))};
}

inline TBmp CoordBmp(uint32_t W, uint32_t H) {
  TBmp S;
  S.Width = W;
  S.Height = H;
  S.Pixels.reserve(size_t(W) * H * 3);
  for (uint32_t Y = 0; Y < H; ++Y)
    for (uint32_t X = 0; X < W; ++X)
      for (uint8_t C : CoordColor(X, Y)) S.Pixels.push_back(C);
  return S;
}

// An 8-bit picture with a full palette (entry I = B I, G 255 - I, R I xor 0x5A, X 0xAB) and
// index (X + 3 Y) mod 256 at (X, Y).
inline TBmp PaletteBmp(uint32_t W, uint32_t H) {
  TBmp S;
  S.Width = W;
  S.Height = H;
  S.Bits = 8;
  for (uint32_t I = 0; I < 256; ++I) S.Palette.push_back({uint8_t(I), uint8_t(255 - I), uint8_t(I ^ 0x5A), 0xAB});
  for (uint32_t Y = 0; Y < H; ++Y)
    for (uint32_t X = 0; X < W; ++X) S.Pixels.push_back(uint8_t(X + 3 * Y));
  return S;
}

inline void WriteBytes(const std::string& Path, const std::vector<uint8_t>& Bytes) {
  std::FILE* F = std::fopen(Path.c_str(), "wb");
  if (F == nullptr) std::abort();
  if (!Bytes.empty()) std::fwrite(Bytes.data(), 1, Bytes.size(), F);
  std::fclose(F);
}

// A fresh directory, removed with everything in it at the end of its scope.
struct TTempDir {
  std::string Path;
  TTempDir() {
    std::string Pattern = (std::filesystem::temp_directory_path() / "lumora-test-XXXXXX").string();
    if (mkdtemp(Pattern.data()) == nullptr) std::abort();
    Path = Pattern;
  }
  ~TTempDir() { std::filesystem::remove_all(Path); }
  std::string operator/(const std::string& Name) const { return Path + "/" + Name; }
  std::string Write(const std::string& Name, const TBmp& S) const {
    WriteBytes(*this / Name, BuildBmp(S));
    return *this / Name;
  }
};

}  // namespace testsupport
