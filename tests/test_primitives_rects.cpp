// Tests for Rectangle and FillRectangle: bands, corners, fills, fourth bytes, clipping.
// Relies on the headless display and the reference drawings in test_primitives_support.h.
#include "lumora/internal/blend.h"
#include "test_primitives_support.h"

namespace {

using namespace lumora;
using namespace primtest;

class RectangleTest : public testsupport::HeadlessTest {};

// Every pixel of the inclusive box, once.
std::vector<Point> Box(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2) {
  std::vector<Point> Out;
  for (int32_t Y = Y1; Y <= Y2; ++Y)
    for (int32_t X = X1; X <= X2; ++X) Out.push_back({X, Y});
  return Out;
}

TEST_F(RectangleTest, OutlineOfWidthOneBlendsOnlyItsCornersTwice) {
  Counts Expected;
  for (int32_t I = 10; I <= 20; ++I) {
    Expected[{I, 10}] = 1;
    Expected[{I, 20}] = 1;
    Expected[{10, I}] = 1;
    Expected[{20, I}] = 1;
  }
  for (Point P : {Point{10, 10}, Point{20, 10}, Point{10, 20}, Point{20, 20}}) Expected[P] = 2;
  EXPECT_EQ(BlendCounts([] { Rectangle(10, 10, 20, 20, 1); }), Expected);
  // Width 0 splits like width 1; the corners given in any order draw the same outline.
  EXPECT_EQ(BlendCounts([] { Rectangle(10, 10, 20, 20, 0); }), Expected);
  EXPECT_EQ(BlendCounts([] { Rectangle(20, 20, 10, 10, 1); }), Expected);
  EXPECT_EQ(BlendCounts([] { Rectangle(20, 10, 10, 20, 1); }), Expected);
}

TEST_F(RectangleTest, WidthFourCoversItsBandsAndDoublesWhereTheyMeet) {
  const Counts C = BlendCounts([] { Rectangle(100, 100, 200, 150, 4); });
  Counts Covered;
  for (const Point& P : Box(99, 99, 202, 102)) Covered[P] = 1;
  for (const Point& P : Box(99, 149, 202, 152)) Covered[P] = 1;
  for (const Point& P : Box(99, 100, 102, 150)) Covered[P] = 1;
  for (const Point& P : Box(199, 100, 202, 150)) Covered[P] = 1;
  Counts Drawn;
  for (const auto& [P, N] : C) Drawn[P] = 1;
  EXPECT_EQ(Drawn, Covered);
  // The vertical bands run over rows 100..150 and meet the top band in rows 100..102
  // and the bottom band in rows 149..150.
  EXPECT_EQ(C.at({99, 99}), 1);
  EXPECT_EQ(C.at({99, 100}), 2);
  EXPECT_EQ(C.at({102, 102}), 2);
  EXPECT_EQ(C.at({202, 150}), 2);
  EXPECT_EQ(C.at({202, 151}), 1);
  EXPECT_EQ(C.at({150, 100}), 1);
}

TEST_F(RectangleTest, NegativeWidthsDrawNothing) {
  for (int32_t W : {-1, -2, -3, -100, INT32_MIN})
    EXPECT_EQ(BlendCounts([&] { Rectangle(10, 10, 200, 200, W); }), Counts{}) << W;
}

TEST_F(RectangleTest, OutlinesMatchTheReferenceUnderAnyViewport) {
  std::mt19937 Rng(21);
  auto Uniform = [&](int64_t Lo, int64_t Hi) {
    return std::uniform_int_distribution<int64_t>(Lo, Hi)(Rng);
  };
  testsupport::FillPattern(2);
  for (int Batch = 0; Batch < 25; ++Batch) {
    const int32_t VX1 = int32_t(Uniform(-20, 900)), VY1 = int32_t(Uniform(-20, 700));
    SetViewPort(VX1, VY1, int32_t(VX1 + Uniform(-3, 400)), int32_t(VY1 + Uniform(-3, 400)));
    SetColor(uint8_t(Uniform(0, 255)), uint8_t(Uniform(0, 255)), uint8_t(Uniform(0, 255)),
             uint8_t(Batch % 5 == 0 ? 0 : Uniform(1, 255)));
    // Degenerate outlines (a point, a vertical and a horizontal segment), then random ones.
    std::vector<std::array<int32_t, 5>> Rects = {{VX1, VY1, VX1, VY1, 1},
                                                 {VX1 + 5, VY1 - 3, VX1 + 5, VY1 + 30, 3},
                                                 {VX1 - 9, VY1 + 7, VX1 + 40, VY1 + 7, 2}};
    for (int I = 0; I < 10; ++I)
      Rects.push_back({int32_t(Uniform(-200, 1200)), int32_t(Uniform(-200, 1000)),
                       int32_t(Uniform(-200, 1200)), int32_t(Uniform(-200, 1000)),
                       int32_t(Uniform(-3, 60))});
    const std::string Diff = CompareWithReference(
        [&] {
          for (const auto& R : Rects) Rectangle(R[0], R[1], R[2], R[3], R[4]);
        },
        [&] {
          for (const auto& R : Rects) RefRectangle(R[0], R[1], R[2], R[3], R[4]);
        });
    ASSERT_EQ(Diff, "equal") << "batch " << Batch;
  }
}

TEST_F(RectangleTest, FillsNothingForReversedCorners) {
  EXPECT_EQ(BlendCounts([] { FillRectangle(5, 5, 4, 10); }), Counts{});
  EXPECT_EQ(BlendCounts([] { FillRectangle(5, 10, 10, 5); }), Counts{});
  EXPECT_EQ(BlendCounts([] { FillRectangle(0, 0, 0, 0); }), (Counts{{{0, 0}, 1}}));
  SetViewPort(100, 100, 200, 200);
  EXPECT_EQ(BlendCounts([] { FillRectangle(200, 150, 300, 152); }),
            CountList(Box(200, 150, 200, 152)));
}

TEST_F(RectangleTest, OpaqueFillCopiesTheFirstRowDownWithItsFourthBytes) {
  testsupport::FillPattern(4);
  const std::vector<uint8_t> Before = testsupport::Snapshot();
  SetColor(10, 20, 30, 0);
  FillRectangle(-100, -100, 1024, 768);
  for (int32_t Y = 0; Y < SCREEN_HEIGHT; ++Y)
    for (int32_t X = 0; X < SCREEN_WIDTH; ++X) {
      const size_t First = size_t(X) * 4;
      ASSERT_EQ(testsupport::Bytes(X, Y), (std::array<uint8_t, 4>{30, 20, 10, Before[First + 3]}))
          << X << "," << Y;
    }

  testsupport::FillPattern(6);
  const std::vector<uint8_t> Pattern = testsupport::Snapshot();
  SetViewPort(50, 60, 70, 80);
  FillRectangle(0, 0, 1000, 1000);
  for (int32_t Y = 0; Y < SCREEN_HEIGHT; ++Y)
    for (int32_t X = 0; X < SCREEN_WIDTH; ++X) {
      const size_t At = (size_t(Y) * SCREEN_WIDTH + X) * 4;
      const bool Inside = X >= 50 && X <= 70 && Y >= 60 && Y <= 80;
      const std::array<uint8_t, 4> Want =
          Inside ? std::array<uint8_t, 4>{30, 20, 10, Pattern[(60 * size_t(SCREEN_WIDTH) + X) * 4 + 3]}
                 : std::array<uint8_t, 4>{Pattern[At], Pattern[At + 1], Pattern[At + 2], Pattern[At + 3]};
      ASSERT_EQ(testsupport::Bytes(X, Y), Want) << X << "," << Y;
    }
}

// A first row whose fourth bytes are all alike is stored down without being copied: the
// rows below still take its fourth byte, whatever theirs were, full width or not.
TEST_F(RectangleTest, OpaqueFillOfAUniformFirstRowGivesItsFourthByteToEveryRow) {
  for (const std::array<int32_t, 4>& R : {std::array<int32_t, 4>{0, 10, 1023, 700},
                                          std::array<int32_t, 4>{-5, 3, 517, 90},
                                          std::array<int32_t, 4>{1000, 0, 1030, 767}}) {
    testsupport::FillPattern(9);
    const int32_t Top = std::max(R[1], 0);
    for (int32_t X = 0; X < SCREEN_WIDTH; ++X)
      VirtualScreen[(size_t(Top) * SCREEN_WIDTH + X) * 4 + 3] = 0x5A;
    const std::vector<uint8_t> Before = testsupport::Snapshot();
    SetColor(200, 100, 50, 0);
    FillRectangle(R[0], R[1], R[2], R[3]);
    for (int32_t Y = 0; Y < SCREEN_HEIGHT; ++Y)
      for (int32_t X = 0; X < SCREEN_WIDTH; ++X) {
        const size_t At = (size_t(Y) * SCREEN_WIDTH + X) * 4;
        const bool Inside = X >= R[0] && X <= R[2] && Y >= R[1] && Y <= R[3];
        const std::array<uint8_t, 4> Want =
            Inside ? std::array<uint8_t, 4>{50, 100, 200, 0x5A}
                   : std::array<uint8_t, 4>{Before[At], Before[At + 1], Before[At + 2], Before[At + 3]};
        ASSERT_EQ(testsupport::Bytes(X, Y), Want) << X << "," << Y;
      }
  }
}

TEST_F(RectangleTest, TranslucentFillIsPixelOverEveryPixel) {
  SetColor(255, 128, 0, 128);
  FillRectangle(0, 0, 3, 0);
  EXPECT_EQ(testsupport::Bytes(2, 0), (std::array<uint8_t, 4>{0, 64, 127, 0}));

  std::mt19937 Rng(31);
  auto Uniform = [&](int64_t Lo, int64_t Hi) {
    return std::uniform_int_distribution<int64_t>(Lo, Hi)(Rng);
  };
  testsupport::FillPattern(8);
  for (int Batch = 0; Batch < 20; ++Batch) {
    const int32_t VX1 = int32_t(Uniform(-20, 900)), VY1 = int32_t(Uniform(-20, 700));
    SetViewPort(VX1, VY1, int32_t(VX1 + Uniform(-3, 400)), int32_t(VY1 + Uniform(-3, 400)));
    SetColor(uint8_t(Uniform(0, 255)), uint8_t(Uniform(0, 255)), uint8_t(Uniform(0, 255)),
             uint8_t(Uniform(1, 255)));
    std::vector<std::array<int32_t, 4>> Rects;
    for (int I = 0; I < 8; ++I)
      Rects.push_back({int32_t(Uniform(-200, 1100)), int32_t(Uniform(-200, 900)),
                       int32_t(Uniform(-200, 1100)), int32_t(Uniform(-200, 900))});
    const std::string Diff = CompareWithReference(
        [&] {
          for (const auto& R : Rects) FillRectangle(R[0], R[1], R[2], R[3]);
        },
        [&] {
          for (const auto& R : Rects) RefFill(R[0], R[1], R[2], R[3]);
        });
    ASSERT_EQ(Diff, "equal") << "batch " << Batch;
  }
}

TEST_F(RectangleTest, EmptyViewportFillsNothing) {
  // These rectangles pass the "wholly outside" test but clip to nothing: row 5000 lies
  // far past the screen, and a viewport with X1 > X2 leaves a negative row length. The
  // screen here is a buffer large enough to hold row 5000, so a stray write shows.
  std::vector<uint8_t> Large(size_t(5001) * ROW_BYTES, 0x42);
  OtherScreen Screen(Large);
  for (uint8_t Alpha : {0, 90}) {
    SetColor(1, 2, 3, Alpha);
    SetViewPort(0, 5000, 1023, 767);
    FillRectangle(0, 0, 100, 6000);
    SetViewPort(600, 0, 500, 767);
    FillRectangle(0, 0, 1000, 10);
    SetViewPort(2000, 3000, 1023, 767);
    FillRectangle(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX);
  }
  EXPECT_TRUE(Screen.Bytes == Large);
}

TEST_F(RectangleTest, ExtremeCoordinatesAndWidthsReturnAtOnce) {
  double Ms = 0;
  // Bands 2^31 - 1 wide cover the screen: every pixel lies in both horizontal bands, so
  // it is blended at least twice.
  SetColor(255, 255, 255, 200);
  Ms += MillisecondsOf([] { Rectangle(100, 100, 200, 200, INT32_MAX); });
  const uint8_t Once = detail::BlendByte(0, 255, 200);
  const uint8_t Twice = detail::BlendByte(Once, 255, 200);
  for (int32_t Y = 0; Y < SCREEN_HEIGHT; ++Y)
    for (int32_t X = 0; X < SCREEN_WIDTH; ++X) ASSERT_GE(testsupport::Bytes(X, Y)[0], Twice);

  // Edges beyond every screen edge: nothing visible.
  ClearVirtualScreen();
  Ms += MillisecondsOf([] { Rectangle(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, 3); });
  EXPECT_EQ(Where(FirstDifference(VirtualScreen, std::vector<uint8_t>(SCREEN_BYTES).data())), "equal");

  SetColor(1, 2, 3, 0);
  Ms += MillisecondsOf([] { FillRectangle(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX); });
  std::vector<uint8_t> Filled(SCREEN_BYTES);
  for (uint32_t I = 0; I < SCREEN_BYTES; I += 4) {
    Filled[I] = 3;
    Filled[I + 1] = 2;
    Filled[I + 2] = 1;
  }
  EXPECT_EQ(Where(FirstDifference(VirtualScreen, Filled.data())), "equal");

  Ms += MillisecondsOf([] {
    for (int32_t W : {INT32_MIN, -1, 0, 1, 1000000000, INT32_MAX})
      for (int32_t A : {INT32_MIN, -5, 500, INT32_MAX}) Rectangle(A, ~A, INT32_MAX - 1, A, W);
  });
  EXPECT_LT(Ms, 2000.0);
}

// Fills of whole canvases: an opaque fill larger than the caches (stored around them) on
// canvases whose pixels start at every alignment of 16 bytes and off a pixel boundary,
// and translucent fills of whole rows with and without padding between the rows; every
// byte against Pixel over every pixel, and the padding left alone.
TEST(CanvasFill, LargeOpaqueFillsAndWholeRowTranslucentFills) {
  constexpr int32_t W = 2100, H = 2100;  // 17.6 MB
  std::vector<uint8_t> Memory(size_t(W) * H * 4 + 64);
  for (const size_t Shift : {size_t(0), size_t(4), size_t(8), size_t(12), size_t(2)}) {
    for (size_t I = 0; I < Memory.size(); ++I) Memory[I] = uint8_t(I * 7 + Shift);
    uint8_t* const Pixels = Memory.data() + Shift;
    for (int32_t X = 0; X < W; ++X) Pixels[size_t(X) * 4 + 3] = 0x3C;  // uniform first row
    const std::vector<uint8_t> Before = Memory;
    TCanvas C;
    ASSERT_TRUE(MakeCanvas(C, Pixels, W, H, int64_t(W) * 4));
    SetColor(C, 9, 8, 7, 0);
    FillRectangle(C, -5, -5, W + 5, H + 5);
    for (size_t I = 0; I < size_t(W) * H; ++I) {
      const uint8_t* P = Pixels + I * 4;
      ASSERT_TRUE(P[0] == 7 && P[1] == 8 && P[2] == 9 && P[3] == 0x3C) << "pixel " << I << ", shift " << Shift;
    }
    ASSERT_TRUE(std::equal(Memory.begin(), Memory.begin() + ptrdiff_t(Shift), Before.begin()));
    ASSERT_TRUE(std::equal(Memory.begin() + ptrdiff_t(Shift) + ptrdiff_t(W) * H * 4, Memory.end(),
                           Before.begin() + ptrdiff_t(Shift) + ptrdiff_t(W) * H * 4));
  }
  for (const int64_t Padding : {int64_t(0), int64_t(12)}) {
    constexpr int32_t TW = 301, TH = 97;
    const int64_t Stride = TW * 4 + Padding;
    std::vector<uint8_t> Got(size_t(Stride * TH));
    for (size_t I = 0; I < Got.size(); ++I) Got[I] = uint8_t(I * 13 + 5);
    std::vector<uint8_t> Want = Got;
    TCanvas C, Ref;
    ASSERT_TRUE(MakeCanvas(C, Got.data(), TW, TH, Stride));
    ASSERT_TRUE(MakeCanvas(Ref, Want.data(), TW, TH, Stride));
    for (TCanvas* K : {&C, &Ref}) SetColor(*K, 200, 100, 50, 77);
    FillRectangle(C, 0, 0, TW - 1, TH - 1);
    for (int32_t Y = 0; Y < TH; ++Y)
      for (int32_t X = 0; X < TW; ++X) Pixel(Ref, X, Y);
    ASSERT_TRUE(Got == Want) << "padding " << Padding;
  }
}

}  // namespace
