// Tests for Circle: thin outlines, rings and discs, blend counts, clipping, extremes.
// Relies on the headless display and the reference drawings in test_primitives_support.h.
#include <algorithm>
#include <cstring>

#include "test_primitives_support.h"

namespace {

using namespace lumora;
using namespace primtest;

class CircleTest : public testsupport::HeadlessTest {};

// The four mirrored plots of each quadrant offset, as the thin circle makes them.
std::vector<Point> Mirrored(int32_t XS, int32_t YS, const std::vector<Point>& Offsets) {
  std::vector<Point> Out;
  for (const auto& [X, Y] : Offsets) {
    Out.push_back({XS + X, YS + Y});
    Out.push_back({XS - X, YS + Y});
    Out.push_back({XS - X, YS - Y});
    Out.push_back({XS + X, YS - Y});
  }
  return Out;
}

// Spans of a ring or disc given as {dy, from, to} x-offsets around (XS, YS).
struct RowSpan {
  int32_t DY, From, To;
};
std::vector<Point> Spans(int32_t XS, int32_t YS, const std::vector<RowSpan>& Rows) {
  std::vector<Point> Out;
  for (const RowSpan& S : Rows)
    for (int32_t X = S.From; X <= S.To; ++X) Out.push_back({XS + X, YS + S.DY});
  return Out;
}

// Mirrors rows given for dy >= 0 to -dy (dy = 0 once) and both sides of a holed row.
std::vector<RowSpan> MirrorRows(const std::vector<RowSpan>& Half) {
  std::vector<RowSpan> Out;
  for (const RowSpan& S : Half) {
    Out.push_back(S);
    if (S.DY != 0) Out.push_back({-S.DY, S.From, S.To});
  }
  return Out;
}

TEST_F(CircleTest, ThinCirclePlotsTheQuadrantRunsWithAxesPlottedTwice) {
  // R = 3: (3, 0), (3, 1), (3, 2), (2, 2), (2, 3), (1, 3), (0, 3) in every quadrant; the
  // pixels of row offset 0 and of x-offset 0 come out of two plots each.
  const std::vector<Point> R3 = {{3, 0}, {3, 1}, {3, 2}, {2, 2}, {2, 3}, {1, 3}, {0, 3}};
  const Counts Expected = CountList(Mirrored(100, 200, R3));
  EXPECT_EQ(BlendCounts([] { Circle(100, 200, 3); }), Expected);
  EXPECT_EQ(Expected.at({103, 200}), 2);
  EXPECT_EQ(Expected.at({100, 197}), 2);
  EXPECT_EQ(BlendCounts([] { Circle(100, 200, -3); }), Expected);

  // R = 0: the centre, four times.
  EXPECT_EQ(BlendCounts([] { Circle(50, 60, 0); }), (Counts{{{50, 60}, 4}}));
}

TEST_F(CircleTest, ThinCircleOutlineHasNoGaps) {
  for (int32_t R = 1; R <= 300; R += 7) {
    const Counts C = BlendCounts([&] { Circle(512, 384, R); });
    for (const auto& [P, N] : C) {
      int Neighbours = 0;
      for (int DX = -1; DX <= 1; ++DX)
        for (int DY = -1; DY <= 1; ++DY)
          if ((DX || DY) && C.count({P.first + DX, P.second + DY})) ++Neighbours;
      ASSERT_GE(Neighbours, 2) << "R " << R << " at " << P.first << "," << P.second;
    }
  }
}

// Radius 10, width 3 covers the radii 9 .. 11: the spans of the rows from the centre down,
// mirrored above it.
TEST_F(CircleTest, RingOfRadiusTenWidthThreeCoversRadiiNineToEleven) {
  std::vector<RowSpan> Half;
  const int32_t Outer[] = {11, 11, 11, 11, 10, 10, 9, 8, 8};
  const int32_t Inner[] = {9, 9, 9, 8, 8, 7, 7, 6, 4};
  for (int32_t DY = 0; DY <= 8; ++DY) {
    Half.push_back({DY, -Outer[DY], -Inner[DY]});
    Half.push_back({DY, Inner[DY], Outer[DY]});
  }
  Half.push_back({9, -6, 6});
  Half.push_back({10, -5, 5});
  Half.push_back({11, 0, 0});
  EXPECT_EQ(BlendCounts([] { Circle(300, 300, 10, 3); }),
            CountList(Spans(300, 300, MirrorRows(Half))));
}

TEST_F(CircleTest, ThickRingsWithSmallOrNegativeInnerRadiusBecomeDiscs) {
  // R = 3, width 5: inner radius 1, so only the centre row has a hole, at the centre.
  std::vector<RowSpan> Holed = {{0, -5, -1}, {0, 1, 5}, {1, -5, 5}, {2, -5, 5},
                                {3, -4, 4},  {4, -3, 3}, {5, 0, 0}};
  EXPECT_EQ(BlendCounts([] { Circle(200, 200, 3, 5); }), CountList(Spans(200, 200, MirrorRows(Holed))));

  // R = 2, width 9: inner radius -2, a disc of radius 6.
  std::vector<RowSpan> Disc = {{0, -6, 6}, {1, -6, 6}, {2, -6, 6}, {3, -5, 5},
                               {4, -4, 4}, {5, -3, 3}, {6, 0, 0}};
  const Counts Disc6 = CountList(Spans(200, 200, MirrorRows(Disc)));
  EXPECT_EQ(BlendCounts([] { Circle(200, 200, 2, 9); }), Disc6);
  // A negative radius takes no absolute value: R + Half2 = 6 is the same disc ...
  EXPECT_EQ(BlendCounts([] { Circle(200, 200, -2, 16); }), Disc6);
  // ... and nothing at all once R + Half2 < 0.
  EXPECT_EQ(BlendCounts([] { Circle(200, 200, -10, 9); }), Counts{});
}

TEST_F(CircleTest, WidthOneIsTheThinCircleWithTheRingBlendedOnTop) {
  for (int32_t R : {0, 1, 2, 5, 17, 64}) {
    const Counts Thin = BlendCounts([&] { Circle(400, 300, R); });
    const Counts Ring = BlendCounts([&] { Circle(400, 300, R, 0); });
    Counts Sum = Thin;
    for (const auto& [P, N] : Ring) Sum[P] += N;
    EXPECT_EQ(BlendCounts([&] { Circle(400, 300, R, 1); }), Sum) << "R " << R;
    // Every ring pixel lies on the thin circle, so opaque width 1 is the thin circle.
    for (const auto& [P, N] : Ring) EXPECT_TRUE(Thin.count(P)) << "R " << R;
    for (const auto& [P, N] : Ring) EXPECT_EQ(N, 1);
  }
  // A negative R at width 1: the thin circle of |R|, and no ring since R + Half2 < 0.
  EXPECT_EQ(BlendCounts([] { Circle(400, 300, -9, 1); }), BlendCounts([] { Circle(400, 300, 9); }));
}

TEST_F(CircleTest, CirclesAndRingsMatchTheReferenceUnderAnyViewport) {
  std::mt19937 Rng(11);
  auto Uniform = [&](int64_t Lo, int64_t Hi) {
    return std::uniform_int_distribution<int64_t>(Lo, Hi)(Rng);
  };
  testsupport::FillPattern(5);
  for (int Batch = 0; Batch < 30; ++Batch) {
    if (Batch % 5 == 0) {
      SetViewPort(0, 0, SCREEN_WIDTH - 1, SCREEN_HEIGHT - 1);
    } else {
      const int32_t VX1 = int32_t(Uniform(-20, 1000)), VY1 = int32_t(Uniform(-20, 760));
      SetViewPort(VX1, VY1, int32_t(VX1 + Uniform(-3, 300)), int32_t(VY1 + Uniform(-3, 300)));
    }
    SetColor(uint8_t(Uniform(0, 255)), uint8_t(Uniform(0, 255)), uint8_t(Uniform(0, 255)),
             uint8_t(Batch % 7 == 0 ? 0 : Uniform(1, 255)));
    struct Shape {
      int32_t XS, YS, R, W;
    };
    std::vector<Shape> Shapes;
    for (int I = 0; I < 12; ++I) {
      const int64_t Big = I % 4 == 0 ? 3000 : 300;
      Shapes.push_back({int32_t(Uniform(-Big, 1024 + Big)), int32_t(Uniform(-Big, 768 + Big)),
                        int32_t(Uniform(-40, Big)), int32_t(Uniform(-3, 40))});
    }
    const std::string Diff = CompareWithReference(
        [&] {
          for (const Shape& S : Shapes) {
            Circle(S.XS, S.YS, S.R);
            Circle(S.XS, S.YS, S.R, S.W);
          }
        },
        [&] {
          for (const Shape& S : Shapes) {
            RefThinCircle(S.XS, S.YS, S.R);
            RefRing(S.XS, S.YS, S.R, S.W);
          }
        });
    ASSERT_EQ(Diff, "equal") << "batch " << Batch;
  }
}

TEST_F(CircleTest, HugeAndExtremeArgumentsReturnAtOnce) {
  constexpr int32_t Extremes[] = {INT32_MIN, INT32_MIN + 1, -1000000000, -1, 0, 1,
                                  1000000000, INT32_MAX - 1, INT32_MAX};
  SetColor(10, 200, 30, 77);
  const double Ms = MillisecondsOf([&] {
    for (int32_t A : Extremes)
      for (int32_t B : Extremes) {
        Circle(A, B, A);
        Circle(512, 384, A);
        Circle(512, B, A);
        Circle(A, 384, B);
        Circle(512, 384, A, B);
        Circle(A, B, INT32_MAX, B);
        Circle(512, 384, B, A);
      }
  });
  EXPECT_LT(Ms, 3000.0);

  // A ring of radius 1e9 whose top edge crosses the screen: its 9 rows at the centre
  // column, outer edge at row 380, inner at 388.
  ClearVirtualScreen();
  SetColor(255, 255, 255, 0);
  Circle(512, 1000000000 + 384, 1000000000, 9);
  for (int32_t Y = 370; Y < 400; ++Y)
    EXPECT_EQ(testsupport::Bytes(512, Y)[0], (Y >= 380 && Y <= 388) ? 255 : 0) << Y;

  // The same outline drawn thin from a centre far below: the top of the circle.
  ClearVirtualScreen();
  Circle(512, 1000000000 + 384, 1000000000);
  EXPECT_EQ(testsupport::Bytes(512, 384)[0], 255);
  EXPECT_EQ(testsupport::Bytes(512, 383)[0], 0);
  EXPECT_EQ(testsupport::Bytes(512, 385)[0], 0);
}

// The squares below belong to radii near 2^30: four times them stays below 2^63, so they
// are formed in 64 bits (on every target; no 128-bit type is needed).
using i128 = int64_t;

// True when C = round(sqrt(M)): (2C - 1)^2 < 4M < (2C + 1)^2.
bool IsRoundedRoot(int64_t C, i128 M) {
  const i128 Lo = i128(2 * C - 1) * (2 * C - 1), Hi = i128(2 * C + 1) * (2 * C + 1);
  return C >= 0 && 4 * M > Lo && 4 * M < Hi;
}

TEST_F(CircleTest, HugeCirclesRoundTheirRootsExactly) {
  // Radius 2^30: the screen shows the upper left arc about 10^6 rows below the top,
  // where squares are near 2^60 and the edge moves about 23 pixels per row.
  const int64_t R = int64_t(1) << 30, Row0 = R - 1000000;
  const int64_t Chord0 = int64_t(std::sqrt((long double)(R * R - Row0 * Row0)));
  const int32_t XS = int32_t(512 + Chord0), YS = int32_t(384 + Row0);
  const int32_t Half2 = 4, Outer = int32_t(R) + Half2;

  // Ring: on every row the leftmost pixel is XS - round(sqrt(Outer^2 - dy^2)).
  SetColor(255, 255, 255, 0);
  Circle(XS, YS, int32_t(R), 9);
  int Checked = 0;
  for (int32_t Y = 0; Y < SCREEN_HEIGHT; ++Y) {
    int32_t X = 0;
    while (X < SCREEN_WIDTH && testsupport::Bytes(X, Y)[0] == 0) ++X;
    if (X == 0 || X == SCREEN_WIDTH) continue;
    const int64_t DY = int64_t(Y) - YS;
    EXPECT_TRUE(IsRoundedRoot(XS - X, i128(Outer) * Outer - i128(DY) * DY)) << "row " << Y;
    ++Checked;
  }
  EXPECT_GT(Checked, 20);

  // Thin circle: row offset k runs from round(sqrt(R^2 - (k-1)^2)) in to round(sqrt(R^2 - k^2)).
  ClearVirtualScreen();
  Circle(XS, YS, int32_t(R));
  Checked = 0;
  for (int32_t Y = 0; Y < SCREEN_HEIGHT; ++Y) {
    int32_t First = 0;
    while (First < SCREEN_WIDTH && testsupport::Bytes(First, Y)[0] == 0) ++First;
    int32_t Last = First;
    while (Last + 1 < SCREEN_WIDTH && testsupport::Bytes(Last + 1, Y)[0] != 0) ++Last;
    if (First == 0 || Last + 1 >= SCREEN_WIDTH) continue;
    const int64_t K = int64_t(YS) - Y;
    EXPECT_TRUE(IsRoundedRoot(XS - First, i128(R) * R - i128(K - 1) * (K - 1))) << "row " << Y;
    EXPECT_TRUE(IsRoundedRoot(XS - Last, i128(R) * R - i128(K) * K)) << "row " << Y;
    ++Checked;
  }
  EXPECT_GT(Checked, 20);
}

TEST_F(CircleTest, ThinCircleKeepsItsRunsWhenTheCentreRowsAreClipped) {
  // The viewport shows only the upper part of large circles, so the walk starts in the
  // middle of the rows; the run of its first row must still begin at the previous
  // row's half-width.
  testsupport::FillPattern(9);
  SetColor(1, 2, 3, 100);
  for (int32_t R : {40, 99, 500, 2047}) {
    SetViewPort(0, 300, 1023, 330);
    const std::string Diff = CompareWithReference([&] { Circle(500, 300 + R - 10, R); },
                                                  [&] { RefThinCircle(500, 300 + R - 10, R); });
    ASSERT_EQ(Diff, "equal") << "R " << R;
  }
}

TEST_F(CircleTest, EmptyViewportDrawsNothing) {
  SetViewPort(0, 5000, 1023, 767);
  EXPECT_EQ(BlendCounts([] {
              Circle(512, 384, 300);
              Circle(512, 384, 300, 20);
            }),
            Counts{});
  SetViewPort(2000, 0, 1023, 767);
  EXPECT_EQ(BlendCounts([] {
              Circle(512, 384, 300);
              Circle(512, 384, 300, 1);
            }),
            Counts{});
}

// Every thin circle of radius 0 to 2,500 drawn wholly inside a canvas, translucent and
// opaque: each pixel is put exactly as often as the walk by round(sqrt(R^2 - Y^2)), row by
// row, plots it (twice on the axes, four times at the centre of radius 0). Each row's runs
// and the pixel either side of them are checked, then cleared; anything else a circle drew
// stays behind and fails the check of the whole canvas at the end.
TEST(ThinCircleRows, EveryRadiusUpTo2500PutsExactlyTheRoundedRootRuns) {
  constexpr int64_t MAX_R = 2500, SIDE = 2 * MAX_R + 1;
  TCanvas C;
  ASSERT_TRUE(AllocateCanvas(C, int32_t(SIDE), int32_t(SIDE)));
  for (const uint8_t Alpha : {uint8_t(200), uint8_t(0)}) {
    // The value of a pixel put N times over black with white at this transparency.
    uint8_t Level[5] = {0};
    for (int N = 1; N < 5; ++N) Level[N] = uint8_t((55u * 255u + 200u * Level[N - 1] + 127u) / 255u);
    if (Alpha == 0) std::fill(Level + 1, Level + 5, uint8_t(255));
    SetColor(C, 255, 255, 255, Alpha);
    for (int64_t R = 0; R <= MAX_R; ++R) {
      Circle(C, int32_t(MAX_R), int32_t(MAX_R), int32_t(R));
      int64_t LastX = R;
      for (int64_t Y = 0; Y <= R; ++Y) {
        const int64_t X = RefRoundSqrt(R * R - Y * Y);
        for (int Side = 0; Side < (Y == 0 ? 1 : 2); ++Side) {  // row offsets +0 and -0 are one row
          const int64_t Row = Side == 0 ? MAX_R + Y : MAX_R - Y;
          uint8_t* P = C.Pixels + Row * C.Stride + MAX_R * 4;
          auto Check = [&](int64_t XO) {
            const int64_t A = XO < 0 ? -XO : XO;
            if (A > MAX_R) return;  // beyond the canvas's edge
            const int Times = A >= X && A <= LastX ? (Y == 0 ? 2 : 1) * (XO == 0 ? 2 : 1) : 0;
            if (P[XO * 4] != Level[Times]) {
              ADD_FAILURE() << "R " << R << ", alpha " << int(Alpha) << ": pixel (" << XO << ", "
                            << Row - MAX_R << ") holds " << int(P[XO * 4]) << ", not the level of "
                            << Times << " puts";
            }
            std::memset(P + XO * 4, 0, 4);
          };
          if (X == 0) {
            for (int64_t XO = -LastX - 1; XO <= LastX + 1; ++XO) Check(XO);
          } else {
            for (int64_t XO = X - 1; XO <= LastX + 1; ++XO) Check(XO), Check(-XO);
          }
          if (HasFailure()) return;
        }
        LastX = X;
      }
    }
    const uint8_t* const Begin = C.Pixels;
    const uint8_t* const End = Begin + SIDE * SIDE * 4;
    const int64_t I = std::find_if(Begin, End, [](uint8_t B) { return B != 0; }) - Begin;
    ASSERT_EQ(I, SIDE * SIDE * 4) << "pixel (" << I / 4 % SIDE - MAX_R << ", " << I / 4 / SIDE - MAX_R
                                  << ") drawn outside the runs, alpha " << int(Alpha);
  }
  FreeCanvas(C);
}

// A thin circle blends like Pixel for every transparency and colour, over pixels of every
// value (the background shifts with the colour).
TEST(ThinCircleRows, BlendsLikePixelForEveryTransparencyAndColour) {
  constexpr int32_t SIDE = 64, R = 29;
  std::vector<uint8_t> Got(SIDE * SIDE * 4), Want;
  TCanvas C, Ref;
  ASSERT_TRUE(MakeCanvas(C, Got.data(), SIDE, SIDE, SIDE * 4));
  for (uint32_t Value = 0; Value < 256; ++Value) {
    for (size_t I = 0; I < Got.size(); ++I) Got[I] = uint8_t(I * 37 + I / 256 * 11 + Value * 101);
    const std::vector<uint8_t> Background = Got;
    for (uint32_t Alpha = 0; Alpha < 256; ++Alpha) {
      Got = Background;
      Want = Background;
      ASSERT_TRUE(MakeCanvas(Ref, Want.data(), SIDE, SIDE, SIDE * 4));
      for (TCanvas* K : {&C, &Ref})
        SetColor(*K, uint8_t(Value ^ 0x5A), uint8_t(255 - Value), uint8_t(Value), uint8_t(Alpha));
      Circle(C, 32, 32, R);
      int64_t LastX = R;
      for (int64_t Y = 0; Y <= R; ++Y) {
        const int64_t X = RefRoundSqrt(R * R - Y * Y);
        for (int64_t XO = LastX; XO >= X; --XO) {
          Pixel(Ref, int32_t(32 + XO), int32_t(32 + Y));
          Pixel(Ref, int32_t(32 - XO), int32_t(32 + Y));
          Pixel(Ref, int32_t(32 - XO), int32_t(32 - Y));
          Pixel(Ref, int32_t(32 + XO), int32_t(32 - Y));
        }
        LastX = X;
      }
      ASSERT_TRUE(Got == Want) << "colour " << Value << ", transparency " << Alpha;
    }
  }
}

}  // namespace
