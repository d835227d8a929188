// lumora fuzz seeds: .fnt, .bmp and drawing-sequence builders and the seed corpora.
// Relies on the standard library only; the file layouts are those the loaders read.
#include "fuzz/seeds.h"

#include <algorithm>
#include <cstring>

namespace lumorafuzz {

namespace {

constexpr size_t FNT_HEADER_SIZE = 118;
constexpr size_t FNT_HEADER3_SIZE = 148;
constexpr size_t BMP_FILE_HEADER_SIZE = 14;

void Put16(TBytes& B, size_t At, uint32_t V) {
  if (B.size() < At + 2) B.resize(At + 2);
  B[At] = uint8_t(V);
  B[At + 1] = uint8_t(V >> 8);
}

void Put32(TBytes& B, size_t At, uint32_t V) {
  if (B.size() < At + 4) B.resize(At + 4);
  for (int I = 0; I < 4; ++I) B[At + size_t(I)] = uint8_t(V >> (8 * I));
}

void Append32(TBytes& B, uint32_t V) { Put32(B, B.size(), V); }

// A fixed pseudo-random byte sequence.
struct TNoise {
  uint32_t S;
  uint8_t Next() {
    S = S * 1103515245u + 12345u;
    return uint8_t(S >> 16);
  }
};

}  // namespace

TBytes BuildFnt(const TFntOptions& O) {
  const bool V3 = O.Version == 0x0300;
  const size_t Header = V3 ? FNT_HEADER3_SIZE : FNT_HEADER_SIZE, Entry = V3 ? 6 : 4;
  const size_t Count = O.Last >= O.First ? size_t(O.Last - O.First + 1) : 0;
  std::vector<uint16_t> Widths = O.Widths;
  for (size_t K = Widths.size(); K < Count; ++K) Widths.push_back(uint16_t(K % 18));
  TBytes B(Header + Count * Entry, 0);
  Put16(B, 0, O.Version);
  const char Copyright[] = "lumora fuzz seed";
  std::memcpy(B.data() + 6, Copyright, sizeof Copyright - 1);
  Put16(B, 68, O.Height);      // dfPoints
  Put16(B, 70, 96);            // dfVertRes
  Put16(B, 72, 96);            // dfHorizRes
  Put16(B, 74, O.Height - O.Height / 4);
  Put16(B, 83, 400);           // dfWeight
  Put16(B, 86, O.PixWidth);
  Put16(B, 88, O.Height);
  const uint16_t MaxWidth = Widths.empty() ? 0 : *std::max_element(Widths.begin(), Widths.end());
  Put16(B, 91, MaxWidth / 2);  // dfAvgWidth
  Put16(B, 93, MaxWidth);
  B[95] = O.First;
  B[96] = O.Last;
  B[97] = O.Default;
  B[98] = O.Break;
  const size_t BitsOffset = B.size();
  Put32(B, 113, uint32_t(BitsOffset));
  TNoise Noise{O.Seed};
  for (size_t K = 0; K < Count; ++K) {
    const size_t Offset = B.size();
    Put16(B, Header + K * Entry, Widths[K]);
    if (V3) {
      Put32(B, Header + K * Entry + 2, uint32_t(Offset));
    } else {
      Put16(B, Header + K * Entry + 2, uint32_t(Offset));
    }
    const size_t Bytes = size_t(Widths[K] + 7) / 8 * O.Height;
    for (size_t I = 0; I < Bytes; ++I) B.push_back(Noise.Next());
  }
  Put32(B, 105, uint32_t(B.size()));  // dfFace
  const char Face[] = "Seed";
  B.insert(B.end(), Face, Face + sizeof Face);
  Put32(B, 2, uint32_t(B.size()));    // dfSize
  return B;
}

TBytes BuildBmp(const TBmpOptions& O) {
  const uint32_t W = uint32_t(O.Width), H = uint32_t(O.Height < 0 ? -O.Height : O.Height);
  const bool Indexed = O.Bits <= 8;
  const uint32_t Colors = Indexed ? (O.Colors != 0 ? O.Colors : 1u << O.Bits) : 0;
  const bool Masks = O.Compression == 3;
  const uint32_t Stride = (W * O.Bits + 31) / 32 * 4;
  TNoise Noise{O.Seed};

  TBytes Info(O.HeaderSize, 0);
  Put32(Info, 0, O.HeaderSize);
  Put32(Info, 4, W);
  Put32(Info, 8, uint32_t(O.Height));
  Put16(Info, 12, 1);
  Put16(Info, 14, O.Bits);
  Put32(Info, 16, O.Compression);
  Put32(Info, 24, 2835);
  Put32(Info, 28, 2835);
  Put32(Info, 32, Indexed && O.Colors != 0 ? O.Colors : 0);
  const uint32_t MaskValues[4] = {O.Bits == 16 ? 0x7C00u : 0xFF0000u, O.Bits == 16 ? 0x03E0u : 0xFF00u,
                                  O.Bits == 16 ? 0x001Fu : 0xFFu, 0};
  TBytes Extra;  // the masks behind a 40-byte header
  if (O.HeaderSize >= 52) {
    for (int I = 0; I < 3; ++I) Put32(Info, 40 + size_t(I) * 4, MaskValues[I]);
  } else if (Masks) {
    for (int I = 0; I < 3; ++I) Append32(Extra, MaskValues[I]);
  }
  if (O.HeaderSize >= 56) Put32(Info, 52, MaskValues[3]);
  if (O.HeaderSize >= 108) Put32(Info, 56, 0x73524742);  // 'sRGB'
  if (O.HeaderSize >= 124) Put32(Info, 108, 4);          // rendering intent

  TBytes Palette;
  for (uint32_t I = 0; I < Colors; ++I) {
    Palette.push_back(uint8_t(I * 37));
    Palette.push_back(uint8_t(I * 91 + 20));
    Palette.push_back(uint8_t(255 - I * 13));
    Palette.push_back(0);
  }

  TBytes Pixels;
  if (O.Compression == 1 || O.Compression == 2) {
    // Runs of one index (two for 4 bits) per up to 8 pixels, an end of line after every row.
    for (uint32_t Y = 0; Y < H; ++Y) {
      for (uint32_t X = 0; X < W; X += 8) {
        Pixels.push_back(uint8_t(std::min<uint32_t>(8, W - X)));
        Pixels.push_back(uint8_t(Noise.Next() % std::max<uint32_t>(Colors, 1) * (O.Compression == 2 ? 17 : 1)));
      }
      Pixels.push_back(0);
      Pixels.push_back(0);
    }
    Pixels.push_back(0);
    Pixels.push_back(1);
  } else {
    for (uint32_t Y = 0; Y < H; ++Y) {
      for (uint32_t I = 0; I < Stride; ++I) {
        uint8_t V = Noise.Next();
        if (O.Bits == 8 && Colors < 256) V = uint8_t(V % Colors);
        Pixels.push_back(V);
      }
    }
  }

  TBytes B(BMP_FILE_HEADER_SIZE, 0);
  B[0] = 'B';
  B[1] = 'M';
  const size_t DataOffset = BMP_FILE_HEADER_SIZE + Info.size() + Extra.size() + Palette.size();
  Put32(Info, 20, uint32_t(Pixels.size()));
  Put32(B, 10, uint32_t(DataOffset));
  B.insert(B.end(), Info.begin(), Info.end());
  B.insert(B.end(), Extra.begin(), Extra.end());
  B.insert(B.end(), Palette.begin(), Palette.end());
  B.insert(B.end(), Pixels.begin(), Pixels.end());
  Put32(B, 2, uint32_t(B.size()));
  return B;
}

TBytes BmpInput(const TBmpPrefix& P, const TBytes& File) {
  TBytes B;
  const uint32_t FileW = File.size() >= 26 ? File[18] | File[19] << 8 | File[20] << 16 | uint32_t(File[21]) << 24 : 1;
  const uint32_t FileH = File.size() >= 26 ? File[22] | File[23] << 8 | File[24] << 16 | uint32_t(File[25]) << 24 : 1;
  Append32(B, uint32_t(P.MaxWidth));
  Append32(B, uint32_t(P.MaxHeight));
  Append32(B, uint32_t(P.X));
  Append32(B, uint32_t(P.Y));
  Append32(B, P.Width != 0 ? P.Width : FileW);
  Append32(B, P.Height != 0 ? P.Height : FileH);
  B.push_back(P.Alpha);
  B.push_back(uint8_t((P.Transparent ? 1 : 0) | (P.Memory & 3) << 1));
  B.insert(B.end(), {P.KeyB, P.KeyG, P.KeyR, P.KeyAlpha});
  B.insert(B.end(), P.ViewPort, P.ViewPort + 4);
  B.insert(B.end(), File.begin(), File.end());
  return B;
}

void TDrawCoder::Call(int Op, std::initializer_list<int32_t> Args) {
  Out.push_back(uint8_t(Op));
  for (int32_t V : Args) {
    if (V >= -16 && V <= 47) {
      Out.push_back(uint8_t(V + 16));
    } else if (V >= -200 && V <= 1199) {
      Out.push_back(64);
      Out.push_back(uint8_t(V + 200));
      Out.push_back(uint8_t((V + 200) >> 8));
    } else {
      Out.push_back(192);
      Append32(Out, uint32_t(V));
    }
  }
}

void TDrawCoder::SetColor(uint8_t R, uint8_t G, uint8_t B, uint8_t Alpha) {
  Out.insert(Out.end(), {0, R, G, B, Alpha});
}

std::vector<TSeed> FntSeeds() {
  std::vector<TSeed> S;
  auto Add = [&](const std::string& Name, const TFntOptions& O) { S.push_back({Name + ".fnt", BuildFnt(O)}); };
  TFntOptions O;
  Add("v3_ascii_h12", O);
  O.Version = 0x0200;
  Add("v2_ascii_h12", O);
  O = {};
  O.First = 32;
  O.Last = 255;
  O.Height = 16;
  O.Default = 31;
  O.Seed = 7;
  Add("v3_32_255_h16", O);
  O.Version = 0x0200;
  O.Height = 9;
  Add("v2_32_255_h9", O);
  O = {};
  O.First = O.Last = 65;
  O.Height = 1;
  O.Widths = {8};
  Add("v3_single_glyph", O);
  O = {};
  O.Version = 0x0200;
  O.First = 0;
  O.Last = 255;
  O.Height = 8;
  O.Widths = std::vector<uint16_t>(256, 8);
  Add("v2_0_255_w8", O);
  O = {};
  O.Height = 0;
  Add("v3_height0", O);
  O = {};
  O.First = 48;
  O.Last = 57;
  O.Height = 120;
  O.Widths = std::vector<uint16_t>(10, 41);
  Add("v3_digits_large", O);
  O = {};
  O.First = 32;
  O.Last = 40;
  O.Widths = {0, 1, 7, 8, 9, 15, 16, 17, 33};
  O.Default = 8;
  Add("v3_width_edges", O);
  // Refused files: a fixed-width font, an unknown version, an empty table, a default
  // character beyond the table, and files cut short.
  O = {};
  O.PixWidth = 8;
  Add("refused_fixed_width", O);
  O = {};
  O.Version = 0x0100;
  Add("refused_version_1", O);
  O = {};
  O.First = 100;
  O.Last = 90;
  Add("refused_last_below_first", O);
  O = {};
  O.Last = 40;
  O.Default = 20;
  Add("refused_default_beyond", O);
  O = {};
  TBytes Cut = BuildFnt(O);
  S.push_back({"refused_cut_header.fnt", TBytes(Cut.begin(), Cut.begin() + 100)});
  S.push_back({"refused_cut_bitmaps.fnt", TBytes(Cut.begin(), Cut.end() - 40)});
  return S;
}

std::vector<TSeed> BmpSeeds() {
  std::vector<TSeed> S;
  TBmpPrefix Plain;
  TBmpPrefix Reduced;  // limits, a scaled and translucent draw across the screen's corner
  Reduced.MaxWidth = 3;
  Reduced.MaxHeight = 2;
  Reduced.X = -7;
  Reduced.Y = -5;
  Reduced.Width = 45;
  Reduced.Height = 31;
  Reduced.Alpha = 128;
  TBmpPrefix Keyed;    // transparent colour, clipped by a smaller viewport, bottom-right
  Keyed.MaxWidth = 22;
  Keyed.MaxHeight = 1000;
  Keyed.X = 990;
  Keyed.Y = 740;
  Keyed.Width = 70;
  Keyed.Height = 50;
  Keyed.Transparent = true;
  Keyed.KeyB = 37;
  Keyed.KeyG = 111;
  Keyed.KeyR = 242;
  Keyed.ViewPort[0] = 20;
  Keyed.ViewPort[1] = 30;
  Keyed.ViewPort[2] = 10;
  Keyed.ViewPort[3] = 5;
  TBmpPrefix Tight;    // little memory, limit 0, a huge destination
  Tight.MaxWidth = 0;
  Tight.MaxHeight = 0;
  Tight.Memory = 1;
  Tight.X = -2000000000;
  Tight.Width = 4000000000u;
  Tight.Height = 900;
  Tight.Alpha = 255;

  auto Add = [&](const std::string& Name, const TBmpOptions& O) {
    const TBytes File = BuildBmp(O);
    S.push_back({Name + ".bmp", BmpInput(Plain, File)});
    S.push_back({Name + "_reduced.bmp", BmpInput(Reduced, File)});
    S.push_back({Name + "_keyed.bmp", BmpInput(Keyed, File)});
    S.push_back({Name + "_tight.bmp", BmpInput(Tight, File)});
  };
  const int32_t Sizes24[][2] = {{1, 1}, {3, 2}, {5, 3}, {4, 4}, {25, 7}, {46, 5}, {64, 48}};
  for (const auto& D : Sizes24) {
    TBmpOptions O;
    O.Width = D[0];
    O.Height = D[1];
    O.Seed = uint32_t(D[0] * 100 + D[1]);
    Add("rgb24_" + std::to_string(D[0]) + "x" + std::to_string(D[1]), O);
  }
  const int32_t Sizes8[][2] = {{1, 1}, {5, 3}, {3, 3}, {16, 16}, {31, 20}};
  for (const auto& D : Sizes8) {
    TBmpOptions O;
    O.Width = D[0];
    O.Height = D[1];
    O.Bits = 8;
    O.Seed = uint32_t(D[0] * 100 + D[1]);
    Add("pal8_" + std::to_string(D[0]) + "x" + std::to_string(D[1]), O);
  }
  TBmpOptions O;
  O.Bits = 8;
  O.Width = 9;
  O.Height = 6;
  O.Colors = 16;
  Add("pal8_16_colours", O);
  O = {};
  O.Height = -3;
  Add("rgb24_top_down", O);
  O = {};
  O.Width = 6;
  O.Height = 5;
  O.HeaderSize = 108;
  Add("rgb24_header108", O);
  O.HeaderSize = 124;
  O.Bits = 8;
  Add("pal8_header124", O);
  // Depths and compressions the loader refuses.
  const struct {
    const char* Name;
    uint16_t Bits;
    uint32_t Compression, HeaderSize;
  } Refused[] = {{"rgb32", 32, 0, 40},     {"rgb16", 16, 0, 40},          {"pal4", 4, 0, 40},
                 {"pal1", 1, 0, 40},       {"rle8", 8, 1, 40},            {"rle4", 4, 2, 40},
                 {"bitfields32", 32, 3, 40}, {"bitfields16_header52", 16, 3, 52},
                 {"rgba32_header56", 32, 3, 56}, {"bitfields32_header124", 32, 3, 124}};
  for (const auto& R : Refused) {
    O = {};
    O.Width = 7;
    O.Height = 3;
    O.Bits = R.Bits;
    O.Compression = R.Compression;
    O.HeaderSize = R.HeaderSize;
    S.push_back({std::string("refused_") + R.Name + ".bmp", BmpInput(Plain, BuildBmp(O))});
  }
  O = {};
  O.Width = 8;
  O.Height = 8;
  const TBytes Whole = BuildBmp(O);
  S.push_back({"refused_cut_header.bmp", BmpInput(Plain, TBytes(Whole.begin(), Whole.begin() + 30))});
  S.push_back({"refused_cut_rows.bmp", BmpInput(Plain, TBytes(Whole.begin(), Whole.end() - 50))});
  return S;
}

std::vector<TSeed> DrawSeeds() {
  enum { SETVIEWPORT = 1, PIXEL, LINE, CIRCLE, RING, RECTANGLE, FILL, CLEAR };
  std::vector<TSeed> S;
  auto Shapes = [](TDrawCoder& C) {
    C.Call(PIXEL, {0, 0});
    C.Call(PIXEL, {1023, 767});
    C.Call(LINE, {-10, -20, 1100, 800});
    C.Call(LINE, {500, 10, 5, 300});
    C.Call(CIRCLE, {512, 384, 100});
    C.Call(RING, {300, 200, 40, 7});
    C.Call(RING, {700, 500, 10, 1});
    C.Call(RECTANGLE, {100, 100, 200, 150, 4});
    C.Call(RECTANGLE, {900, 700, 1100, 800, 9});
    C.Call(FILL, {-100, -100, 50, 60});
    C.Call(FILL, {1000, 700, 1023, 767});
  };
  TDrawCoder Opaque;
  Opaque.SetColor(255, 128, 0, 0);
  Shapes(Opaque);
  S.push_back({"opaque_shapes.draw", Opaque.Out});
  TDrawCoder Translucent;
  Translucent.SetColor(10, 200, 90, 128);
  Shapes(Translucent);
  S.push_back({"translucent_shapes.draw", Translucent.Out});
  TDrawCoder Clipped;
  Clipped.Call(SETVIEWPORT, {200, 150, 400, 300});
  Clipped.SetColor(0, 0, 255, 60);
  Shapes(Clipped);
  Clipped.Call(CIRCLE, {300, 225, 120});
  Clipped.Call(RING, {300, 225, 90, 30});
  S.push_back({"clipped_shapes.draw", Clipped.Out});
  TDrawCoder Extremes;
  constexpr int32_t Min = -2147483647 - 1, Max = 2147483647;
  Extremes.SetColor(1, 2, 3, 0);
  Extremes.Call(LINE, {Min, Min, Max, Max});
  Extremes.Call(LINE, {Max, Min, Min, Max});
  Extremes.Call(CIRCLE, {512, 384, Min});
  Extremes.Call(RING, {512, 384, Max, Max});
  Extremes.Call(RING, {0, 0, Min, Max});
  Extremes.Call(RECTANGLE, {Min, Min, Max, Max, Max});
  Extremes.Call(RECTANGLE, {0, 0, 1023, 767, Min});
  Extremes.Call(FILL, {Min, Min, Max, Max});
  Extremes.Call(CIRCLE, {Max, Max, 46341});
  S.push_back({"extremes.draw", Extremes.Out});
  TDrawCoder Empty;
  Empty.Call(SETVIEWPORT, {600, 0, 100, 767});
  Shapes(Empty);
  Empty.Call(SETVIEWPORT, {2000, 0, 1023, 767});
  Shapes(Empty);
  S.push_back({"empty_viewports.draw", Empty.Out});
  TDrawCoder Invisible;
  Invisible.SetColor(255, 255, 255, 255);
  Shapes(Invisible);
  Invisible.Call(CLEAR, {});
  Invisible.SetColor(9, 9, 9, 0);
  Shapes(Invisible);
  S.push_back({"invisible_then_clear.draw", Invisible.Out});
  return S;
}

}  // namespace lumorafuzz
