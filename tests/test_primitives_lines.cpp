// Tests for Line: the walk's pixels, its clipping to the viewport and its arguments.
// Relies on the headless display and the reference walk in test_primitives_support.h.
#include "test_primitives_support.h"

namespace {

using namespace lumora;
using namespace primtest;

class LineTest : public testsupport::HeadlessTest {};

// Short lines whose pixels follow from the walk primitives.h describes: max(|dX|, |dY|) + 1
// steps, the accumulator starting at half the longer extent.
TEST_F(LineTest, ShortLinesWalkTheirPixelsOnceEach) {
  struct Case {
    int32_t X1, Y1, X2, Y2;
    std::vector<Point> Pixels;
  };
  const std::vector<Case> Cases = {
      {5, 5, 5, 5, {{5, 5}}},
      {0, 0, 4, 0, {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}}},
      {0, 0, 0, -3, {{0, 0}, {0, -1}, {0, -2}, {0, -3}}},
      {10, 10, 10, 7, {{10, 10}, {10, 9}, {10, 8}, {10, 7}}},
      {0, 0, 3, 3, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}},
      {0, 0, 4, 1, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}}},
      {0, 0, 5, 2, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 2}}},
      // The reverse walk breaks the tie the other way: the middle pixel moves up.
      {4, 1, 0, 0, {{4, 1}, {3, 1}, {2, 0}, {1, 0}, {0, 0}}},
      {3, 10, 0, 0, {{3, 10}, {3, 9}, {2, 8}, {2, 7}, {2, 6}, {1, 5}, {1, 4}, {1, 3}, {1, 2},
                     {0, 1}, {0, 0}}},
  };
  for (const Case& C : Cases) {
    EXPECT_EQ(BlendCounts([&] { Line(C.X1, C.Y1, C.X2, C.Y2); }), CountList(C.Pixels))
        << "Line(" << C.X1 << ", " << C.Y1 << ", " << C.X2 << ", " << C.Y2 << ")";
  }
}

TEST_F(LineTest, ClippedWalkGivesTheFullWalksPixelsInsideTheViewport) {
  std::mt19937 Rng(7);
  auto Uniform = [&](int64_t Lo, int64_t Hi) {
    return std::uniform_int_distribution<int64_t>(Lo, Hi)(Rng);
  };
  testsupport::FillPattern(3);
  for (int Batch = 0; Batch < 40; ++Batch) {
    // Small viewports (sometimes empty or a single row/column) against short lines
    // around them and long lines crossing from far away.
    const int32_t VX1 = int32_t(Uniform(-20, 1000)), VY1 = int32_t(Uniform(-20, 760));
    const int32_t VX2 = int32_t(VX1 + Uniform(-2, 60)), VY2 = int32_t(VY1 + Uniform(-2, 60));
    SetViewPort(VX1, VY1, VX2, VY2);
    SetColor(uint8_t(Uniform(0, 255)), uint8_t(Uniform(0, 255)), uint8_t(Uniform(0, 255)),
             uint8_t(Uniform(1, 254)));
    const int64_t CX = (VX1 + VX2) / 2, CY = (VY1 + VY2) / 2;
    std::vector<std::array<int32_t, 4>> Lines;
    for (int I = 0; I < 60; ++I) {
      const int64_t Reach = I % 3 == 0 ? 40 : (I % 3 == 1 ? 400 : 30000);
      Lines.push_back({int32_t(CX + Uniform(-Reach, Reach)), int32_t(CY + Uniform(-Reach, Reach)),
                       int32_t(CX + Uniform(-Reach, Reach)), int32_t(CY + Uniform(-Reach, Reach))});
      // Horizontal and vertical ones, either way round, as the rectangle bands draw them.
      if (I % 4 == 0) Lines.back()[3] = Lines.back()[1];
      if (I % 4 == 1) Lines.back()[2] = Lines.back()[0];
    }
    const std::string Diff = CompareWithReference(
        [&] {
          for (const auto& L : Lines) Line(L[0], L[1], L[2], L[3]);
        },
        [&] {
          for (const auto& L : Lines) RefLine(L[0], L[1], L[2], L[3]);
        });
    ASSERT_EQ(Diff, "equal") << "batch " << Batch << " viewport " << VX1 << "," << VY1 << "-"
                             << VX2 << "," << VY2;
  }
}

TEST_F(LineTest, LinesFromFarOutsideTheScreenReturnAtOnceWithTheRightPixels) {
  // M = 4e9, N = 4: at x = 0..1023 the walk has made floor((2e9 + 4 (x + 2e9)) / 4e9) = 2
  // diagonal moves, so the screen shows row 7 from edge to edge.
  double Ms = 0;
  const Counts Crossing =
      BlendCounts([&] { Ms += MillisecondsOf([] { Line(-2000000000, 5, 2000000000, 9); }); });
  EXPECT_EQ(BlendCounts([&] {
              Ms += MillisecondsOf([] {
                Line(INT32_MAX, INT32_MIN, INT32_MIN, INT32_MAX);
                Line(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MIN);
              });
            }),
            Counts{});
  std::vector<Point> Row7, Row1;
  for (int32_t X = 0; X < SCREEN_WIDTH; ++X) Row7.push_back({X, 7});
  for (int32_t X = 0; X < SCREEN_WIDTH; ++X) Row1.push_back({X, 1});
  EXPECT_EQ(Crossing, CountList(Row7));
  // M = 2^32 - 1, N = 1: the one diagonal move comes after 2^31 steps, exactly at x = 0.
  EXPECT_EQ(BlendCounts([&] { Ms += MillisecondsOf([] { Line(INT32_MIN, 0, INT32_MAX, 1); }); }),
            CountList(Row1));

  // An exact diagonal moves diagonally at every step: (x, x) on the screen.
  std::vector<Point> Diagonal;
  for (int32_t X = 0; X < SCREEN_HEIGHT; ++X) Diagonal.push_back({X, X});
  EXPECT_EQ(BlendCounts([&] { Ms += MillisecondsOf([] { Line(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX); }); }),
            CountList(Diagonal));
  EXPECT_LT(Ms, 2000.0);
}

TEST_F(LineTest, EmptyViewportDrawsNothing) {
  SetViewPort(600, 0, 500, 767);
  EXPECT_EQ(BlendCounts([] { Line(0, 100, 1023, 100); }), Counts{});
  SetViewPort(0, 5000, 1023, 767);
  EXPECT_EQ(BlendCounts([] { Line(550, -10, 550, 6000); }), Counts{});
}

}  // namespace
