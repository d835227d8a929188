// Test kit: the .fnt builder.
#include "support/fnt_builder.h"

#include <algorithm>

namespace testsupport {

namespace fnt = lumora::fnt;
using lumora::bytes::Append16;

FntGlyph ArtGlyph(std::initializer_list<const char*> Rows) {
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

FntGlyph FilledGlyph(uint16_t Width, uint16_t PixHeight, uint8_t Byte) {
  return FntGlyph{Width, std::vector<uint8_t>(((Width + 7u) / 8u) * PixHeight, Byte)};
}

std::vector<uint8_t> BuildFnt(const FntLayout& S) {
  const size_t TableStart = fnt::TableStart(S.Version);
  const size_t BitsOffset = TableStart + S.Glyphs.size() * fnt::EntrySize(S.Version) + S.GapBeforeBits;
  uint32_t MaxWidth = 0, WidthSum = 0;
  for (const FntGlyph& G : S.Glyphs) {
    MaxWidth = std::max<uint32_t>(MaxWidth, G.Width);
    WidthSum += G.Width;
  }

  std::vector<uint8_t> B(TableStart, 0);
  Put16(B, fnt::OFS_VERSION, S.Version);
  std::copy_n(S.Copyright.begin(), std::min(S.Copyright.size(), fnt::COPYRIGHT_SIZE), B.begin() + fnt::OFS_COPYRIGHT);
  Put16(B, fnt::OFS_TYPE, 0);  // raster
  Put16(B, fnt::OFS_POINTS, S.PixHeight);
  Put16(B, fnt::OFS_VERT_RES, 96);
  Put16(B, fnt::OFS_HORIZ_RES, 96);
  Put16(B, fnt::OFS_ASCENT, S.PixHeight);
  Put16(B, fnt::OFS_WEIGHT, 400);
  Put16(B, fnt::OFS_PIX_WIDTH, S.PixWidth);
  Put16(B, fnt::OFS_PIX_HEIGHT, S.PixHeight);
  B[fnt::OFS_PITCH_AND_FAMILY] = 1;  // variable pitch
  Put16(B, fnt::OFS_AVG_WIDTH, S.Glyphs.empty() ? 0 : WidthSum / uint32_t(S.Glyphs.size()));
  Put16(B, fnt::OFS_MAX_WIDTH, MaxWidth);
  B[fnt::OFS_FIRST_CHAR] = S.FirstChar;
  B[fnt::OFS_LAST_CHAR] = uint8_t(S.LastChar >= 0 ? S.LastChar : S.FirstChar + int(S.Glyphs.size()) - 1);
  B[fnt::OFS_DEFAULT_CHAR] = S.DefaultChar;
  B[fnt::OFS_BREAK_CHAR] = S.BreakChar;
  Put32(B, fnt::OFS_BITS_OFFSET, uint32_t(BitsOffset));
  if (S.Version == fnt::VERSION_3X) Put32(B, fnt::OFS_FLAGS, fnt::FLAG_PROPORTIONAL | fnt::FLAG_1COLOR);

  size_t Offset = BitsOffset;
  for (const FntGlyph& G : S.Glyphs) {
    Append16(B, G.Width);
    if (fnt::EntrySize(S.Version) == fnt::ENTRY_2X_SIZE) {
      Append16(B, uint32_t(Offset));
    } else {
      lumora::bytes::Append32(B, uint32_t(Offset));
    }
    Offset += G.Strips.size();
  }
  B.resize(BitsOffset, 0);
  for (const FntGlyph& G : S.Glyphs) B.insert(B.end(), G.Strips.begin(), G.Strips.end());
  Put32(B, fnt::OFS_FACE, uint32_t(B.size()));
  B.insert(B.end(), S.Face.begin(), S.Face.end());
  B.push_back(0);
  Put32(B, fnt::OFS_SIZE, uint32_t(B.size()));
  return B;
}

}  // namespace testsupport
