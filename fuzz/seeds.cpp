// lumora fuzz seeds: the seed corpora of fonts, pictures and drawing sequences.
// Relies on the test kit's .fnt and .bmp builders and the library's file layouts.
#include "fuzz/seeds.h"

#include <algorithm>

#include "lumora/internal/bytes.h"
#include "support/bmp_builder.h"
#include "support/fnt_builder.h"

namespace lumorafuzz {

namespace {

using lumora::bytes::Append32;
using testsupport::BuildBmp;
using testsupport::BuildFnt;

// A fixed pseudo-random byte sequence.
struct TNoise {
  uint32_t S;
  uint8_t Next() {
    S = S * 1103515245u + 12345u;
    return uint8_t(S >> 16);
  }
};

// A font for the seeds: header fields as given, glyph bitmaps of a fixed pseudo-random ink
// pattern. Widths has one entry per character from First to Last; missing entries cycle
// through 0 .. 17.
struct TFntOptions {
  uint16_t Version = lumora::fnt::VERSION_3X;
  uint8_t First = 32, Last = 126, Default = 0, Break = 0;
  uint16_t Height = 12;
  uint16_t PixWidth = 0;
  std::vector<uint16_t> Widths;
  uint32_t Seed = 1;
};

testsupport::FntLayout SeedFont(const TFntOptions& O) {
  testsupport::FntLayout S;
  S.Version = O.Version;
  S.PixHeight = O.Height;
  S.PixWidth = O.PixWidth;
  S.FirstChar = O.First;
  S.LastChar = O.Last;
  S.DefaultChar = O.Default;
  S.BreakChar = O.Break;
  S.Copyright = "lumora fuzz seed";
  S.Face = "Seed";
  TNoise Noise{O.Seed};
  const size_t Count = O.Last >= O.First ? size_t(O.Last - O.First + 1) : 0;
  for (size_t K = 0; K < Count; ++K) {
    testsupport::FntGlyph G;
    G.Width = K < O.Widths.size() ? O.Widths[K] : uint16_t(K % 18);
    G.Strips.resize(size_t(G.Width + 7) / 8 * O.Height);
    for (uint8_t& Byte : G.Strips) Byte = Noise.Next();
    S.Glyphs.push_back(G);
  }
  return S;
}

// A picture for the seeds: rows of pseudo-random bytes (indices within the palette at 8
// bits), a palette of Colors entries at 8 bits and less (0: all), run-length data for
// compressions 1 and 2 (8 and 4 bits), bit-field masks for compression 3 or an info header
// that holds them. A negative Height stores the rows top first.
struct TBmpOptions {
  int32_t Width = 4, Height = 4;
  uint16_t Bits = 24;
  uint32_t HeaderSize = 40;
  uint32_t Compression = lumora::bmp::COMPRESSION_NONE;
  uint32_t Colors = 0;
  uint32_t Seed = 1;
};

testsupport::TBmp SeedPicture(const TBmpOptions& O) {
  namespace bmp = lumora::bmp;
  testsupport::TBmp S;
  S.Width = uint32_t(O.Width);
  S.Height = uint32_t(O.Height < 0 ? -O.Height : O.Height);
  S.TopDown = O.Height < 0;
  S.Bits = O.Bits;
  S.InfoSize = O.HeaderSize;
  S.Compression = O.Compression;
  const uint32_t Colors = O.Bits <= 8 ? (O.Colors != 0 ? O.Colors : 1u << O.Bits) : 0;
  if (O.HeaderSize >= bmp::INFO_HEADER_V2_SIZE || O.Compression == bmp::COMPRESSION_BITFIELDS) {
    if (O.Bits == 16) S.Masks = {0x7C00u, 0x03E0u, 0x001Fu};
    else S.Masks = {0xFF0000u, 0xFF00u, 0xFFu};
  }
  for (uint32_t I = 0; I < Colors; ++I)
    S.Palette.push_back({uint8_t(I * 37), uint8_t(I * 91 + 20), uint8_t(255 - I * 13), 0});

  TNoise Noise{O.Seed};
  if (O.Compression == bmp::COMPRESSION_RLE8 || O.Compression == bmp::COMPRESSION_RLE4) {
    // Runs of one index (two for 4 bits) per up to 8 pixels, an end of line after every row.
    const uint8_t Pair = O.Compression == bmp::COMPRESSION_RLE4 ? 17 : 1;
    for (uint32_t Y = 0; Y < S.Height; ++Y) {
      for (uint32_t X = 0; X < S.Width; X += 8) {
        S.Encoded.push_back(uint8_t(std::min<uint32_t>(8, S.Width - X)));
        S.Encoded.push_back(uint8_t(Noise.Next() % std::max<uint32_t>(Colors, 1) * Pair));
      }
      S.Encoded.insert(S.Encoded.end(), {0, 0});
    }
    S.Encoded.insert(S.Encoded.end(), {0, 1});
  } else {
    S.Pixels.resize((size_t(S.Width) * O.Bits + 7) / 8 * S.Height);
    for (uint8_t& V : S.Pixels) {
      V = Noise.Next();
      if (O.Bits == 8 && Colors < 256) V = uint8_t(V % Colors);
    }
  }
  return S;
}

TBytes BuildFnt(const TFntOptions& O) { return BuildFnt(SeedFont(O)); }
TBytes BuildBmp(const TBmpOptions& O) { return BuildBmp(SeedPicture(O)); }

}  // namespace

TBytes BmpInput(const TBmpPrefix& P, const TBytes& File) {
  TBytes B;
  const bool Sized = File.size() >= lumora::bmp::OFS_HEIGHT + 4;
  const uint32_t FileW = Sized ? lumora::bytes::Read32(File.data() + lumora::bmp::OFS_WIDTH) : 1;
  const uint32_t FileH = Sized ? lumora::bytes::Read32(File.data() + lumora::bmp::OFS_HEIGHT) : 1;
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

void TDrawCoder::Canvas(uint8_t Shape, uint8_t W, uint8_t H, uint8_t Pad) {
  Out.insert(Out.end(), {9, Shape, W, H, Pad});
}

void TDrawCoder::Picture(int32_t X, int32_t Y, int32_t Width, int32_t Height, uint8_t Alpha, uint8_t Flags) {
  Call(12, {X, Y, Width, Height});
  Out.insert(Out.end(), {Alpha, Flags});
}

void TDrawCoder::Text(int32_t X, int32_t Y, const std::string& Text) {
  Call(13, {X, Y});
  Out.push_back(uint8_t(Text.size()));
  Out.insert(Out.end(), Text.begin(), Text.end());
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

  // Canvases. Shape bytes: the low four bits the size class (0 tall, 1 wide, 2 about the
  // screen, 3 small), bits 4-5 how it is made (0 caller's memory, 2 allocated, 3 a picture),
  // bits 6-7 the misalignment.
  enum { SCREEN = 10, ASSIGN_VIEWPORT = 11 };
  auto CanvasShapes = [](TDrawCoder& C, int32_t W, int32_t H) {
    C.Call(PIXEL, {0, 0});
    C.Call(PIXEL, {W - 1, H - 1});
    C.Call(LINE, {-5, -3, W + 4, H + 2});
    C.Call(CIRCLE, {W / 2, H / 2, W / 3});
    C.Call(RING, {W / 2, H / 2, 3, 4});
    C.Call(RECTANGLE, {1, 1, W - 2, H - 2, 3});
    C.Call(FILL, {W / 4, -10, W + 10, H / 3});
    C.Picture(-3, -2, W + 6, H / 2 + 1, 0, 3);
    C.Text(-4, H / 2 - 4, "CANVAS text");
  };
  TDrawCoder Small;  // 37 x 23 over the caller's memory, 13 bytes of padding per row
  Small.Canvas(3, 36, 22, 13);
  Small.SetColor(250, 120, 30, 0);
  CanvasShapes(Small, 37, 23);
  Small.SetColor(30, 120, 250, 100);
  Small.Call(SETVIEWPORT, {5, 4, 30, 18});
  CanvasShapes(Small, 37, 23);
  Small.Call(ASSIGN_VIEWPORT, {-50, -50, 5000, 5000});  // beyond the canvas: clipped to it
  CanvasShapes(Small, 37, 23);
  Small.Call(ASSIGN_VIEWPORT, {Min, 3, Max, 2});        // empty
  CanvasShapes(Small, 37, 23);
  Small.Call(CLEAR, {});
  Small.Call(SCREEN, {});
  Small.Call(LINE, {0, 0, 100, 60});
  S.push_back({"canvas_small_padded.draw", Small.Out});

  TDrawCoder Made;  // an unaligned, an allocated and a picture canvas, then refusals
  Made.Canvas(3 | 3 << 6, 20, 9, 2);
  Made.SetColor(9, 200, 9, 0);
  CanvasShapes(Made, 21, 10);
  Made.Canvas(3 | 2 << 4, 40, 3, 0);
  Made.SetColor(200, 9, 200, 60);
  CanvasShapes(Made, 41, 4);
  Made.Call(CLEAR, {});
  CanvasShapes(Made, 41, 4);
  Made.Canvas(3 | 3 << 4 | 1 << 6, 7, 30, 0);
  Made.SetColor(1, 2, 250, 0);
  CanvasShapes(Made, 8, 31);
  Made.Canvas(3, 10, 10, 251);  // one row, a stride of 2^62 bytes
  CanvasShapes(Made, 11, 1);
  for (uint8_t Refusal = 252; Refusal != 0; ++Refusal) {
    for (uint8_t Kind : {0, 2, 3}) {
      Made.Canvas(uint8_t(3 | Kind << 4), 5, 5, Refusal);
      CanvasShapes(Made, 6, 6);
      Made.Call(CLEAR, {});
    }
  }
  S.push_back({"canvas_made_and_refused.draw", Made.Out});

  TDrawCoder Tall;  // 3 x 32,768 and 32,768 x 2, with lines, circles and pictures end to end
  Tall.Canvas(0, 2, 0, 5);
  Tall.SetColor(255, 255, 0, 0);
  Tall.Call(LINE, {0, 0, 2, 32767});
  Tall.Call(RING, {1, 32767, 2, 3});
  Tall.Picture(0, 16000, 3, 16768, 0, 2);
  Tall.Call(FILL, {Min, 32760, Max, Max});
  Tall.Canvas(1 | 2 << 4, 0, 1, 0);
  Tall.SetColor(0, 255, 255, 30);
  Tall.Call(LINE, {0, 0, 32767, 1});
  Tall.Picture(-5, 0, 32780, 2, 0, 2);
  Tall.Text(32700, -4, "WIDE");
  Tall.Call(ASSIGN_VIEWPORT, {32000, Min, 40000, Max});
  Tall.Call(RECTANGLE, {31990, 0, 32767, 1, 2});
  S.push_back({"canvas_tall_and_wide.draw", Tall.Out});

  TDrawCoder Screen;  // 1011 x 767 mirrored in the screen's corner, 1020 x 770 not
  Screen.Canvas(2, 11, 27, 20);
  Screen.SetColor(100, 150, 200, 0);
  Shapes(Screen);
  Screen.Text(1000, 760, "EDGE");
  Screen.Canvas(2, 20, 30, 3);
  Screen.SetColor(200, 150, 100, 80);
  Shapes(Screen);
  S.push_back({"canvas_about_the_screen.draw", Screen.Out});
  return S;
}

}  // namespace lumorafuzz
