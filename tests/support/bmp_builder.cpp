// Test kit: the .bmp builder and the test pictures.
#include "support/bmp_builder.h"

#include <algorithm>

namespace testsupport {

namespace bmp = lumora::bmp;

std::vector<uint8_t> BuildBmp(const TBmp& S) {
  constexpr uint32_t PIXELS_PER_METRE = 2835;  // 72 dpi
  constexpr uint32_t COLOR_SPACE_SRGB = 0x73524742;
  constexpr uint32_t INTENT_IMAGES = 4;
  const size_t RowData = (size_t(S.Width) * S.Bits + 7) / 8;
  const size_t Stride = bmp::RowStride(S.Width, S.Bits);
  const size_t MasksInside = S.InfoSize >= bmp::INFO_HEADER_V2_SIZE
                                 ? std::min<size_t>(S.Masks.size(), (S.InfoSize - bmp::INFO_OFS_MASKS) / 4)
                                 : 0;
  const size_t MasksBehind = S.InfoSize < bmp::INFO_HEADER_V2_SIZE ? S.Masks.size() : 0;
  const size_t PaletteAt = bmp::FILE_HEADER_SIZE + S.InfoSize + 4 * MasksBehind;
  const size_t DataAt = S.DataOffset >= 0 ? size_t(S.DataOffset)
                                          : PaletteAt + S.Palette.size() * bmp::PALETTE_ENTRY_SIZE + S.PaletteGap;
  const size_t DataSize = !S.Encoded.empty() ? S.Encoded.size() : Stride * S.Height;

  // An info header shorter than the classic one still gets all its fields.
  std::vector<uint8_t> B(std::max<size_t>(bmp::FILE_HEADER_SIZE + S.InfoSize, bmp::HEADERS_SIZE), 0);
  B[bmp::OFS_SIGNATURE] = uint8_t(S.Signature[0]);
  B[bmp::OFS_SIGNATURE + 1] = uint8_t(S.Signature[1]);
  Put32(B, bmp::OFS_DATA_OFFSET, uint32_t(DataAt));
  Put32(B, bmp::OFS_INFO_SIZE, S.InfoSize);
  Put32(B, bmp::OFS_WIDTH, S.Width);
  Put32(B, bmp::OFS_HEIGHT, S.TopDown ? 0u - S.Height : S.Height);
  Put16(B, bmp::OFS_PLANES, 1);
  Put16(B, bmp::OFS_BITS_PER_PIXEL, S.Bits);
  Put32(B, bmp::OFS_COMPRESSION, S.Compression);
  Put32(B, bmp::OFS_IMAGE_SIZE, uint32_t(DataSize));
  Put32(B, bmp::OFS_X_PELS_PER_METRE, PIXELS_PER_METRE);
  Put32(B, bmp::OFS_Y_PELS_PER_METRE, PIXELS_PER_METRE);
  Put32(B, bmp::OFS_COLORS_USED, uint32_t(S.Palette.size()));
  const size_t Info = bmp::FILE_HEADER_SIZE;
  for (size_t I = 0; I < MasksInside; ++I) Put32(B, Info + bmp::INFO_OFS_MASKS + 4 * I, S.Masks[I]);
  if (S.InfoSize >= bmp::INFO_HEADER_V4_SIZE) Put32(B, Info + bmp::INFO_OFS_COLOR_SPACE, COLOR_SPACE_SRGB);
  if (S.InfoSize >= bmp::INFO_HEADER_V5_SIZE) Put32(B, Info + bmp::INFO_OFS_INTENT, INTENT_IMAGES);
  if (S.HeaderOnly) {
    B.resize(bmp::HEADERS_SIZE);
    return B;
  }
  for (size_t I = 0; I < MasksBehind; ++I) lumora::bytes::Append32(B, S.Masks[I]);
  for (const auto& E : S.Palette) B.insert(B.end(), E.begin(), E.end());
  B.resize(std::max(B.size(), DataAt), 0);
  if (!S.Encoded.empty()) {
    B.insert(B.end(), S.Encoded.begin(), S.Encoded.end());
  } else {
    for (uint32_t FileRow = 0; FileRow < S.Height; ++FileRow) {
      const size_t Y = S.TopDown ? FileRow : S.Height - 1 - FileRow;
      const auto First = S.Pixels.begin() + std::ptrdiff_t(Y * RowData);
      B.insert(B.end(), First, First + std::ptrdiff_t(RowData));
      B.insert(B.end(), Stride - RowData, S.Fill);
    }
  }
  Put32(B, bmp::OFS_FILE_SIZE, uint32_t(B.size()));
  return B;
}

std::array<uint8_t, 3> CoordColor(uint32_t X, uint32_t Y) {
  return {uint8_t(X), uint8_t(Y), uint8_t((X >> 8) + 16 * (Y >> 8))};
}

TBmp CoordBmp(uint32_t W, uint32_t H) {
  TBmp S;
  S.Width = W;
  S.Height = H;
  S.Pixels.reserve(size_t(W) * H * 3);
  for (uint32_t Y = 0; Y < H; ++Y)
    for (uint32_t X = 0; X < W; ++X)
      for (uint8_t C : CoordColor(X, Y)) S.Pixels.push_back(C);
  return S;
}

TBmp PaletteBmp(uint32_t W, uint32_t H) {
  TBmp S;
  S.Width = W;
  S.Height = H;
  S.Bits = 8;
  for (uint32_t I = 0; I < 256; ++I) S.Palette.push_back({uint8_t(I), uint8_t(255 - I), uint8_t(I ^ 0x5A), 0xAB});
  for (uint32_t Y = 0; Y < H; ++Y)
    for (uint32_t X = 0; X < W; ++X) S.Pixels.push_back(uint8_t(X + 3 * Y));
  return S;
}

std::string TTempDir::Write(const std::string& Name, const TBmp& S) const { return Write(Name, BuildBmp(S)); }

}  // namespace testsupport
