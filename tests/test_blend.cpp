// Tests for the blend: the integer byte blend against the rounded floating-point mix, every
// span kernel against PutPixel, and the scaled picture spans and source mapping that
// ShowAlphaScaleBMPPicture builds on them. Relies on lumora/internal/blend.h, the scaled
// spans and the canvas calls (no display).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "lumora/internal/blend.h"
#include "lumora/internal/sampling.h"
#include "lumora/lumora.h"
#include "lumora/spans/scaled.h"

namespace {

using namespace lumora;
using namespace lumora::detail;

const TSpanKernel AllKernels[] = {TSpanKernel::Scalar, TSpanKernel::Sse2, TSpanKernel::Avx2,
                                  TSpanKernel::Avx512, TSpanKernel::Neon,
                                  TSpanKernel::WasmSimd};

std::string Name(TSpanKernel K) {
  switch (K) {
    case TSpanKernel::Scalar:
      return "scalar";
    case TSpanKernel::Sse2:
      return "sse2";
    case TSpanKernel::Avx2:
      return "avx2";
    case TSpanKernel::Avx512:
      return "avx512";
    case TSpanKernel::Neon:
      return "neon";
    case TSpanKernel::WasmSimd:
      return "wasm-simd128";
  }
  return "?";
}

TEST(Blend, ByteBlendIsTheRoundedMixForAllInputs) {
  for (uint32_t Alpha = 0; Alpha < 256; ++Alpha) {
    // The opacity is formed in extended precision and kept as a double; the mix of the
    // old byte and the colour is then formed in extended precision and rounded to even.
    const double A = double(1.0L - (long double)Alpha / 255.0L);
    const long double Keep = 1.0L - (long double)A;
    for (uint32_t Old = 0; Old < 256; ++Old) {
      const long double OldPart = (long double)Old * Keep;
      for (uint32_t C = 0; C < 256; ++C) {
        const long double Mixed = OldPart + (long double)C * (long double)A;
        // Got is the rounded mix when it lies within a half of it, a tie going to even
        // (Mixed - Got is exact: both are below 256 and Got is an integer).
        const uint32_t Got = BlendByte(Old, C, Alpha);
        const long double Off = std::fabs(Mixed - (long double)Got);
        if (!(Off < 0.5L || (Off == 0.5L && Got % 2 == 0))) {
          FAIL() << "Alpha " << Alpha << " old " << Old << " colour " << C << ": " << Got
                 << " is not the rounded " << double(Mixed);
        }
      }
    }
  }
}

TEST(Blend, PutPixelCopiesWhenOpaqueAndNeverTouchesTheFourthByte) {
  const uint8_t Colour[4] = {10, 20, 30, 99};
  uint8_t Dst[4] = {200, 200, 200, 77};
  PutPixel(Dst, Colour, 0);
  EXPECT_EQ(std::vector<uint8_t>(Dst, Dst + 4), (std::vector<uint8_t>{10, 20, 30, 77}));
  PutPixel(Dst, Colour, 255);
  EXPECT_EQ(std::vector<uint8_t>(Dst, Dst + 4), (std::vector<uint8_t>{10, 20, 30, 77}));
  const uint8_t White[4] = {255, 255, 255, 0};
  uint8_t Grey[4] = {200, 200, 200, 5};
  PutPixel(Grey, White, 128);
  EXPECT_EQ(std::vector<uint8_t>(Grey, Grey + 4), (std::vector<uint8_t>{227, 227, 227, 5}));
}

// Every kernel against PutPixel for all (Alpha, colour, old) triples: one span of 256
// pixels holding every old value, per Alpha and colour; picture spans pair every old
// value with every source value.
TEST(Blend, EveryKernelEqualsPutPixelForAllInputs) {
  for (TSpanKernel K : AllKernels) {
    if (!SpanKernelAvailable(K)) continue;
    std::vector<uint8_t> Span(256 * 4), Want(256 * 4);
    for (uint32_t Alpha = 0; Alpha < 256; ++Alpha) {
      for (uint32_t C = 0; C < 256; ++C) {
        const TColor Colour{uint8_t(C), uint8_t(255 - C), uint8_t(C ^ 0x5A), uint8_t(Alpha)};
        for (uint32_t I = 0; I < 256; ++I) {
          for (int B = 0; B < 4; ++B) Span[I * 4 + B] = uint8_t(I + B * 85);
        }
        Want = Span;
        for (uint32_t I = 0; I < 256; ++I) PutPixel(&Want[I * 4], &Colour.B, Alpha);
        ColorSpanWith(K, Span.data(), 256, Colour);
        ASSERT_EQ(Span, Want) << Name(K) << " colour span, Alpha " << Alpha << " colour " << C;
      }
    }
    std::vector<uint8_t> Dst(65536 * 4), Src(65536 * 4);
    for (uint32_t Alpha = 0; Alpha < 256; ++Alpha) {
      for (uint32_t I = 0; I < 65536; ++I) {
        const uint8_t Old = uint8_t(I >> 8), New = uint8_t(I);
        for (int B = 0; B < 4; ++B) {
          Dst[I * 4 + B] = uint8_t(Old + B * 31);
          Src[I * 4 + B] = uint8_t(New + B * 47);
        }
      }
      Want = Dst;
      for (uint32_t I = 0; I < 65536; ++I) PutPixel(&Want[I * 4], &Src[I * 4], Alpha);
      PictureSpanWith(K, Dst.data(), Src.data(), 65536, Alpha);
      ASSERT_EQ(Dst, Want) << Name(K) << " picture span, Alpha " << Alpha;
    }
  }
}

// Short spans at every alignment: the vector body, the scalar tail and the bytes around
// the span, which must stay as they were.
TEST(Blend, KernelsHandleAnyLengthAndAlignmentAndStayInsideTheSpan) {
  std::mt19937 Rng(5);
  std::uniform_int_distribution<int> Byte(0, 255);
  for (TSpanKernel K : AllKernels) {
    if (!SpanKernelAvailable(K)) continue;
    for (int Round = 0; Round < 4000; ++Round) {
      const int32_t Count = Round % 41;
      const size_t Start = size_t(Round / 41 % 7) * 4 + (Round % 3 == 0 ? 1 : 0);
      const uint32_t Alpha = Round % 5 == 0 ? 0 : (Round % 5 == 1 ? 255 : uint32_t(Byte(Rng)));
      std::vector<uint8_t> Screen(Start + size_t(Count) * 4 + 64), Src(size_t(Count) * 4 + 1);
      for (uint8_t& B : Screen) B = uint8_t(Byte(Rng));
      for (uint8_t& B : Src) B = uint8_t(Byte(Rng));
      const TColor Colour{uint8_t(Byte(Rng)), uint8_t(Byte(Rng)), uint8_t(Byte(Rng)), uint8_t(Alpha)};

      std::vector<uint8_t> Want = Screen, Got = Screen;
      for (int32_t I = 0; I < Count; ++I) PutPixel(&Want[Start + size_t(I) * 4], &Colour.B, Alpha);
      ColorSpanWith(K, Got.data() + Start, Count, Colour);
      ASSERT_EQ(Got, Want) << Name(K) << " colour span of " << Count << " at " << Start;

      Want = Screen;
      Got = Screen;
      const uint8_t* From = Src.data() + (Round % 2);  // unaligned sources too
      for (int32_t I = 0; I < Count; ++I) PutPixel(&Want[Start + size_t(I) * 4], From + I * 4, Alpha);
      PictureSpanWith(K, Got.data() + Start, From, Count, Alpha);
      ASSERT_EQ(Got, Want) << Name(K) << " picture span of " << Count << " at " << Start;

      // With a transparent colour that about every third source pixel has (its fourth
      // byte differing): those leave their screen pixel exactly as it was.
      std::vector<uint8_t> Keyed = Src;
      const uint8_t KB = uint8_t(Byte(Rng)), KG = uint8_t(Byte(Rng)), KR = uint8_t(Byte(Rng));
      for (size_t I = 0; I + 4 <= Keyed.size(); I += 4) {
        if (Byte(Rng) % 3 != 0) continue;
        Keyed[I] = KB;
        Keyed[I + 1] = KG;
        Keyed[I + 2] = KR;
      }
      const int32_t Key = KeyOf(TColor{KB, KG, KR, 0});
      Want = Screen;
      Got = Screen;
      for (int32_t I = 0; I < Count; ++I) {
        const uint8_t* P = Keyed.data() + size_t(I) * 4;
        if (!(P[0] == KB && P[1] == KG && P[2] == KR)) PutPixel(&Want[Start + size_t(I) * 4], P, Alpha);
      }
      PictureSpanWith(K, Got.data() + Start, Keyed.data(), Count, Alpha, Key);
      ASSERT_EQ(Got, Want) << Name(K) << " keyed picture span of " << Count << " at " << Start;
    }
  }
  // The dispatching spans agree with the kernels and do nothing for empty counts.
  uint8_t Pix[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  ColorSpan(Pix, 0, TColor{9, 9, 9, 0});
  ColorSpan(Pix, -3, TColor{9, 9, 9, 0});
  PictureSpan(Pix, Pix + 4, -1, 0);
  EXPECT_EQ(std::vector<uint8_t>(Pix, Pix + 8), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8}));
  ColorSpan(Pix, 2, TColor{9, 8, 7, 0});
  EXPECT_EQ(std::vector<uint8_t>(Pix, Pix + 8), (std::vector<uint8_t>{9, 8, 7, 4, 9, 8, 7, 8}));
}

// Long spans whose transparent pixels come in runs, as around a keyed shape: whole vectors
// of them (which a kernel may leave unread and unwritten), vectors with a few, and spans
// that are transparent throughout, at every alignment of the screen and the source.
TEST(Blend, KeyedSpansWithRunsOfTransparentPixels) {
  std::mt19937 Rng(11);
  std::uniform_int_distribution<int> Byte(0, 255);
  const uint8_t KB = 255, KG = 0, KR = 255;
  const int32_t Key = KeyOf(TColor{KB, KG, KR, 0});
  for (TSpanKernel K : AllKernels) {
    if (!SpanKernelAvailable(K)) continue;
    for (int Round = 0; Round < 3000; ++Round) {
      const int32_t Count = Round % 7 == 0 ? Round % 300 : 8 + Round % 97;
      const size_t Start = size_t(Round % 9) * 4 + (Round % 5 == 0 ? 2 : 0);
      const uint32_t Alpha = Round % 3 == 0 ? 0 : uint32_t(Byte(Rng));
      std::vector<uint8_t> Screen(Start + size_t(Count) * 4 + 64);
      std::vector<uint8_t> Src(size_t(Count) * 4 + 3);
      for (uint8_t& B : Screen) B = uint8_t(Byte(Rng));
      for (uint8_t& B : Src) B = uint8_t(Byte(Rng));
      const uint8_t* From = Src.data() + Round % 4;
      // Alternating runs of key and other pixels; every fourth span is all key. The
      // fourth byte of a key pixel is whatever it is.
      const bool AllKey = Round % 4 == 1;
      bool InKey = Round % 2 == 0;
      int32_t Left = 0;
      for (int32_t I = 0; I < Count; ++I) {
        if (Left == 0) {
          InKey = !InKey;
          Left = 1 + Byte(Rng) % (Round % 3 == 2 ? 5 : 40);
        }
        --Left;
        uint8_t* P = Src.data() + Round % 4 + size_t(I) * 4;
        if (InKey || AllKey) {
          P[0] = KB;
          P[1] = KG;
          P[2] = KR;
        } else if (P[0] == KB && P[1] == KG && P[2] == KR) {
          P[1] = 1;
        }
      }
      std::vector<uint8_t> Want = Screen, Got = Screen;
      for (int32_t I = 0; I < Count; ++I) {
        const uint8_t* P = From + size_t(I) * 4;
        if (!(P[0] == KB && P[1] == KG && P[2] == KR)) PutPixel(&Want[Start + size_t(I) * 4], P, Alpha);
      }
      PictureSpanWith(K, Got.data() + Start, From, Count, Alpha, Key);
      ASSERT_EQ(Got, Want) << Name(K) << " keyed span of " << Count << " at " << Start
                           << ", Alpha " << Alpha << (AllKey ? ", all key" : "");
    }
  }
}

// A scaled span is the picture span of the source pixels its blocks pick, on each of its
// rows: source rows shown from 1 to 9 times as wide (blocks that repeat pixels, and source
// windows clamped at the row's end), random clipped starts, every length from 8 to 120,
// one to three rows with and without gaps between them, with and without a transparent
// colour, at unaligned screen positions.
TEST(Blend, ScaledSpansPutTheGatheredPixels) {
  std::mt19937 Rng(17);
  std::uniform_int_distribution<int> Byte(0, 255);
  const int32_t Key = KeyOf(TColor{0, 255, 0, 0});
  int Planned = 0;
  for (int Round = 0; Round < 4000; ++Round) {
    const uint32_t SourceWidth = uint32_t(8 + Round % 50);
    const uint32_t Width = SourceWidth + uint32_t(Round * 7 % (SourceWidth * 8 + 1));
    const int32_t Columns = std::min<int32_t>(int32_t(Width), 8 + Round % 113);
    const uint64_t First = uint64_t(Round) % (Width - uint32_t(Columns) + 1);
    std::vector<size_t> ColumnOffset(static_cast<size_t>(Columns));
    for (int32_t I = 0; I < Columns; ++I)
      ColumnOffset[size_t(I)] = size_t(SourceIndex(First + uint64_t(I), Width, SourceWidth - 1)) * 4;
    std::vector<uint8_t> Row(SourceWidth * 4);
    for (uint8_t& B : Row) B = uint8_t(Byte(Rng));
    for (size_t I = 0; I < Row.size(); I += 4) {
      if (Byte(Rng) % 4 != 0) continue;
      Row[I] = 0, Row[I + 1] = 255, Row[I + 2] = 0;
    }
    std::vector<TGatherBlock> Blocks(size_t(Columns) / 8 + 1);
    if (!PlanScaledSpan(ColumnOffset.data(), Columns, Row.size(), Blocks.data())) {
      ASSERT_FALSE(SpanKernelAvailable(TSpanKernel::Avx2)) << "round " << Round;
      continue;
    }
    ++Planned;
    std::vector<uint8_t> Gathered(size_t(Columns) * 4);
    for (int32_t I = 0; I < Columns; ++I)
      std::copy_n(&Row[ColumnOffset[size_t(I)]], 4, &Gathered[size_t(I) * 4]);
    // One to three screen rows showing the source row, with a gap between them.
    const size_t Start = size_t(Round % 11) * 4 + (Round % 13 == 0 ? 3 : 0);
    const int32_t Rows = 1 + Round % 3;
    const int64_t Stride = int64_t(Columns) * 4 + Round % 5 * 4;
    std::vector<uint8_t> Screen(Start + size_t(Stride) * size_t(Rows) + 40);
    for (uint8_t& B : Screen) B = uint8_t(Byte(Rng));
    const uint32_t Alpha = Round % 3 == 0 ? 0 : uint32_t(Byte(Rng));
    const int32_t K = Round % 2 == 0 ? Key : NO_KEY;
    std::vector<uint8_t> Want = Screen, Got = Screen;
    for (int32_t J = 0; J < Rows; ++J)
      PictureSpanWith(TSpanKernel::Scalar, Want.data() + Start + size_t(J * Stride), Gathered.data(),
                      Columns, Alpha, K);
    ScaledPictureSpan(Got.data() + Start, Stride, Rows, Row.data(), Columns, Blocks.data(), Alpha, K);
    ASSERT_EQ(Got, Want) << "round " << Round << ": " << SourceWidth << " shown " << Width << " wide, "
                         << Columns << " columns from " << First << ", Alpha " << Alpha;
  }
  if (SpanKernelAvailable(TSpanKernel::Avx2)) {
    EXPECT_GT(Planned, 3000);
  }
}

// Source pixels that are not within 8 of one another (a picture shown narrower than it
// is), spans under 8 pixels and rows under 8 pixels are not planned as scaled spans.
TEST(Blend, ScaledSpansAreNotPlannedWhereABlockCannotGatherIt) {
  std::vector<TGatherBlock> Blocks(8);
  std::vector<size_t> Halved(40), Wide(40);
  for (size_t I = 0; I < Halved.size(); ++I) Halved[I] = I * 8, Wide[I] = I / 2 * 4;
  EXPECT_FALSE(PlanScaledSpan(Halved.data(), 40, 80 * 4, Blocks.data()));
  EXPECT_FALSE(PlanScaledSpan(Wide.data(), 7, 20 * 4, Blocks.data()));
  EXPECT_FALSE(PlanScaledSpan(Wide.data(), 14, 7 * 4, Blocks.data()));
  EXPECT_EQ(PlanScaledSpan(Wide.data(), 40, 20 * 4, Blocks.data()), SpanKernelAvailable(TSpanKernel::Avx2));
}

// The picture display maps every screen column to SourceIndex of its offset, for every
// width from 1 to 600 and every source width from 1 to 600 (each pixel of a one-row
// picture holds its own index), and for rows clipped on the left.
TEST(Blend, PictureColumnsAreTheSourceIndexForAllSmallSizes) {
  constexpr int32_t MAX_SIZE = 600;
  std::vector<uint8_t> Pixels(size_t(MAX_SIZE) * 4);
  for (int32_t I = 0; I < MAX_SIZE; ++I) {
    Pixels[size_t(I) * 4] = uint8_t(I);
    Pixels[size_t(I) * 4 + 1] = uint8_t(I >> 8);
  }
  std::vector<uint8_t> Memory(size_t(MAX_SIZE) * 4);
  TCanvas Canvas;
  ASSERT_TRUE(MakeCanvas(Canvas, Memory.data(), MAX_SIZE, 1, MAX_SIZE * 4));
  for (uint32_t SourceWidth = 1; SourceWidth <= MAX_SIZE; ++SourceWidth) {
    TPicture Picture;
    Picture.Loaded = true;
    Picture.ImageWidth = SourceWidth;
    Picture.ImageHeight = 1;
    Picture.PictureAdr = Pixels.data();
    for (uint32_t Width = 1; Width <= MAX_SIZE; ++Width) {
      const int32_t Left = -int32_t((SourceWidth * 7 + Width) % Width);  // clipped columns
      ShowAlphaScaleBMPPicture(Canvas, Left, 0, Picture, Width, 1, 0, false, TColor{});
      for (int64_t D = -Left; D < int64_t(Width); ++D) {
        const uint8_t* P = &Memory[size_t(D + Left) * 4];
        const int64_t Want = SourceIndex(uint64_t(D), Width, SourceWidth - 1);
        if (P[0] + 256 * P[1] != Want) {
          FAIL() << "source width " << SourceWidth << " shown " << Width << " wide from " << Left
                 << ": column " << D << " shows " << P[0] + 256 * P[1] << ", not " << Want;
        }
      }
    }
  }
}

// The display keeps its column and row tables for the next call with the same sizes and
// clipped offsets: calls that repeat a few geometries, each with another picture of the
// same size or of a size differing in one thing (width, height, shown width or height,
// the part clipped away), in random order, each against the picture drawn pixel by pixel.
TEST(Blend, PictureTablesAreReusedOnlyForTheSameSizes) {
  std::mt19937 Rng(23);
  auto Pick = [&](int32_t Lo, int32_t Hi) { return std::uniform_int_distribution<int32_t>(Lo, Hi)(Rng); };
  constexpr int32_t W = 160, H = 120;
  std::vector<uint8_t> Got(size_t(W) * H * 4), Want;
  TCanvas C;
  ASSERT_TRUE(MakeCanvas(C, Got.data(), W, H, W * 4));
  SetViewPort(C, 3, 2, W - 4, H - 3);
  struct TShape {
    uint32_t SourceW, SourceH, ShownW, ShownH;
    int32_t X, Y;
  };
  const TShape Shapes[] = {{40, 30, 40, 30, 10, 10},  {40, 30, 80, 60, 10, 10},  {41, 30, 80, 60, 10, 10},
                           {40, 31, 80, 60, 10, 10},  {40, 30, 81, 60, 10, 10},  {40, 30, 80, 61, 10, 10},
                           {40, 30, 80, 60, -5, 10},  {40, 30, 80, 60, 10, -7},  {40, 30, 80, 60, 100, 80},
                           {40, 30, 20, 15, 1, 1},    {9, 9, 150, 110, -20, -20}};
  std::vector<uint8_t> Source;
  for (int Round = 0; Round < 1500; ++Round) {
    const TShape& S = Shapes[Pick(0, int32_t(std::size(Shapes)) - 1)];
    Source.resize(size_t(S.SourceW) * S.SourceH * 4);
    for (uint8_t& B : Source) B = uint8_t(Pick(0, 255));
    TPicture P;
    P.Loaded = true;
    P.ImageWidth = S.SourceW;
    P.ImageHeight = S.SourceH;
    P.PictureAdr = Source.data();
    for (uint8_t& B : Got) B = uint8_t(Pick(0, 255));
    Want = Got;
    for (int32_t Y = std::max(S.Y, 2); Y <= std::min<int32_t>(S.Y + int32_t(S.ShownH) - 1, H - 3); ++Y) {
      for (int32_t X = std::max(S.X, 3); X <= std::min<int32_t>(S.X + int32_t(S.ShownW) - 1, W - 4); ++X) {
        const int64_t SX = SourceIndex(uint64_t(X - S.X), S.ShownW, S.SourceW - 1);
        const int64_t SY = SourceIndex(uint64_t(Y - S.Y), S.ShownH, S.SourceH - 1);
        std::copy_n(&Source[size_t(SY * S.SourceW + SX) * 4], 3, &Want[size_t(Y * W + X) * 4]);
      }
    }
    ShowAlphaScaleBMPPicture(C, S.X, S.Y, P, S.ShownW, S.ShownH, 0, false, TColor{});
    ASSERT_TRUE(Got == Want) << "round " << Round << ": " << S.SourceW << "x" << S.SourceH << " shown "
                             << S.ShownW << "x" << S.ShownH << " at " << S.X << "," << S.Y;
  }
}

}  // namespace
