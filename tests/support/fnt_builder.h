// Test support: builds .fnt font files byte by byte, so tests make exactly the fonts
// (sound, damaged or odd) they need. Relies on nothing but the standard library.
#pragma once

#include <cstdint>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

namespace testsupport {

// Header offsets of the fields tests poke at.
inline constexpr size_t FNT_HEADER_SIZE = 118;
inline constexpr size_t FNT_HEADER3_SIZE = 30;
inline constexpr size_t FNT_OFS_VERSION = 0;
inline constexpr size_t FNT_OFS_SIZE = 2;
inline constexpr size_t FNT_OFS_COPYRIGHT = 6;
inline constexpr size_t FNT_OFS_PIX_WIDTH = 86;
inline constexpr size_t FNT_OFS_PIX_HEIGHT = 88;
inline constexpr size_t FNT_OFS_FIRST_CHAR = 95;
inline constexpr size_t FNT_OFS_LAST_CHAR = 96;
inline constexpr size_t FNT_OFS_DEFAULT_CHAR = 97;
inline constexpr size_t FNT_OFS_BREAK_CHAR = 98;
inline constexpr size_t FNT_OFS_FACE = 105;
inline constexpr size_t FNT_OFS_BITS_OFFSET = 113;

// One glyph: its width and its bitmap as stored, ceil(Width / 8) strips of PixHeight
// bytes each (padding bits may be set on purpose).
struct FntGlyph {
  uint16_t Width = 0;
  std::vector<uint8_t> Strips;
};

// A glyph drawn as text rows of '#' (ink) and '.' (clear); the width is the row length.
inline FntGlyph ArtGlyph(std::initializer_list<const char*> Rows) {
  FntGlyph G;
  const std::vector<std::string> R(Rows.begin(), Rows.end());
  G.Width = R.empty() ? 0 : uint16_t(R[0].size());
  const size_t StripCount = (G.Width + 7u) / 8u;
  G.Strips.assign(StripCount * R.size(), 0);
  for (size_t Row = 0; Row < R.size(); ++Row)
    for (size_t Col = 0; Col < R[Row].size(); ++Col)
      if (R[Row][Col] == '#') G.Strips[(Col / 8) * R.size() + Row] |= uint8_t(0x80u >> (Col % 8));
  return G;
}

// A glyph of the given width whose strips are all filled with one byte value.
inline FntGlyph FilledGlyph(uint16_t Width, uint16_t PixHeight, uint8_t Byte) {
  return FntGlyph{Width, std::vector<uint8_t>(((Width + 7u) / 8u) * PixHeight, Byte)};
}

struct FntLayout {
  uint16_t Version = 0x0200;
  uint16_t PixHeight = 1;
  uint16_t PixWidth = 0;
  uint8_t FirstChar = 32;
  int LastChar = -1;  // -1: FirstChar + Glyphs.size() - 1
  uint8_t DefaultChar = 0;
  uint8_t BreakChar = 0;
  uint32_t GapBeforeBits = 0;  // unused bytes between the table and the bitmaps
  std::vector<FntGlyph> Glyphs;  // table entry k describes FirstChar + k
};

inline void Put16(std::vector<uint8_t>& B, size_t At, uint32_t V) {
  B[At] = uint8_t(V);
  B[At + 1] = uint8_t(V >> 8);
}
inline void Put32(std::vector<uint8_t>& B, size_t At, uint32_t V) {
  for (int I = 0; I < 4; ++I) B[At + size_t(I)] = uint8_t(V >> (8 * I));
}

// Table start of a version (3.x files carry the 30-byte extension first).
inline size_t FntTableStart(uint16_t Version) {
  return FNT_HEADER_SIZE + (Version == 0x0300 ? FNT_HEADER3_SIZE : 0);
}
inline size_t FntEntrySize(uint16_t Version) { return Version == 0x0200 ? 4 : 6; }

// The whole file: header, table, bitmaps in glyph order, then the face name "Test".
// dfSize is the file size; dfBitsOffset the first bitmap byte.
inline std::vector<uint8_t> BuildFnt(const FntLayout& S) {
  const size_t E = FntEntrySize(S.Version);
  const size_t TableStart = FntTableStart(S.Version);
  const size_t BitsOffset = TableStart + S.Glyphs.size() * E + S.GapBeforeBits;
  std::vector<uint8_t> B(BitsOffset, 0);
  Put16(B, FNT_OFS_VERSION, S.Version);
  Put16(B, 66, 0);                       // dfType: raster
  Put16(B, 68, S.PixHeight);             // dfPoints
  Put16(B, 70, 96);                      // dfVertRes
  Put16(B, 72, 96);                      // dfHorizRes
  Put16(B, 74, S.PixHeight);             // dfAscent
  Put16(B, FNT_OFS_PIX_WIDTH, S.PixWidth);
  Put16(B, FNT_OFS_PIX_HEIGHT, S.PixHeight);
  B[90] = 1;                             // dfPitchAndFamily: variable pitch
  B[FNT_OFS_FIRST_CHAR] = S.FirstChar;
  B[FNT_OFS_LAST_CHAR] = uint8_t(S.LastChar >= 0 ? S.LastChar : S.FirstChar + int(S.Glyphs.size()) - 1);
  B[FNT_OFS_DEFAULT_CHAR] = S.DefaultChar;
  B[FNT_OFS_BREAK_CHAR] = S.BreakChar;
  Put32(B, FNT_OFS_BITS_OFFSET, uint32_t(BitsOffset));
  size_t Offset = BitsOffset;
  for (size_t K = 0; K < S.Glyphs.size(); ++K) {
    const FntGlyph& G = S.Glyphs[K];
    const size_t At = TableStart + K * E;
    Put16(B, At, G.Width);
    if (E == 4) Put16(B, At + 2, uint32_t(Offset));
    else Put32(B, At + 2, uint32_t(Offset));
    B.insert(B.end(), G.Strips.begin(), G.Strips.end());
    Offset += G.Strips.size();
  }
  Put32(B, FNT_OFS_FACE, uint32_t(B.size()));
  for (const char C : std::string("Test")) B.push_back(uint8_t(C));
  B.push_back(0);
  Put32(B, FNT_OFS_SIZE, uint32_t(B.size()));
  return B;
}

// Writes Bytes to Path, replacing what was there.
inline void WriteFile(const std::string& Path, const std::vector<uint8_t>& Bytes) {
  std::ofstream Out(Path, std::ios::binary | std::ios::trunc);
  Out.write(reinterpret_cast<const char*>(Bytes.data()), std::streamsize(Bytes.size()));
}

// A fresh directory for one test's files under the system's temporary directory (the
// process id keeps tests that run side by side apart).
inline std::string FreshDir(const std::string& Name) {
  const std::filesystem::path P = std::filesystem::temp_directory_path() /
                                  ("lumora-" + Name + "-" + std::to_string(getpid()));
  std::filesystem::remove_all(P);
  std::filesystem::create_directories(P);
  return P.string();
}

}  // namespace testsupport
