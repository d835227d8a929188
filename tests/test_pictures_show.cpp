// Tests of ShowAlphaScaleBMPPicture: the source mapping, clipping, transparency and the
// transparent colour, and the table-driven display against a per-pixel reference.
#include <cmath>
#include <random>

#include "lumora/internal/sampling.h"
#include "support/headless.h"
#include "support/oracle.h"

using namespace lumora;
using testsupport::Bytes;

namespace {

// A picture made in memory: pixel (x, y) = (B x, G y, R 200, fourth byte 77).
struct TestPicture {
  std::vector<uint8_t> Pixels;
  TPicture P;
  TestPicture(uint32_t W, uint32_t H) : Pixels(size_t(W) * H * 4) {
    for (uint32_t Y = 0; Y < H; ++Y)
      for (uint32_t X = 0; X < W; ++X) {
        uint8_t* Q = &Pixels[(size_t(Y) * W + X) * 4];
        Q[0] = uint8_t(X), Q[1] = uint8_t(Y), Q[2] = 200, Q[3] = 77;
      }
    P.Loaded = true;
    P.ImageWidth = W;
    P.ImageHeight = H;
    P.PictureAdr = Pixels.data();
  }
  uint8_t* At(uint32_t X, uint32_t Y) { return &Pixels[(size_t(Y) * P.ImageWidth + X) * 4]; }
};

// The drawing as the formula states it, one pixel at a time: source position from the
// unclipped rectangle with nearbyint in extended precision, blend through a = 1 - Alpha / 255.
void Reference(int32_t X, int32_t Y, const TPicture& P, uint32_t W, uint32_t H, uint8_t Alpha,
               bool Transparent, TColor T) {
  if (!P.Loaded || W == 0 || H == 0) return;
  const int64_t X1 = std::max<int64_t>(X, ViewPort.X1), X2 = std::min<int64_t>(int64_t(X) + W - 1, ViewPort.X2);
  const int64_t Y1 = std::max<int64_t>(Y, ViewPort.Y1), Y2 = std::min<int64_t>(int64_t(Y) + H - 1, ViewPort.Y2);
  const double A = 1 - Alpha / 255.0;
  for (int64_t SY = Y1; SY <= Y2; ++SY)
    for (int64_t SX = X1; SX <= X2; ++SX) {
      const int64_t CA = testsupport::QuotientProductRounded(SX - X + 1, W, int64_t(P.ImageWidth) - 1);
      const int64_t CB = testsupport::QuotientProductRounded(SY - Y + 1, H, int64_t(P.ImageHeight) - 1);
      const uint8_t* S = P.PictureAdr + (size_t(CB) * P.ImageWidth + size_t(CA)) * 4;
      uint8_t* D = testsupport::PixelAt(int32_t(SX), int32_t(SY));
      if (Transparent && S[0] == T.B && S[1] == T.G && S[2] == T.R) continue;
      for (int C = 0; C < 3; ++C)
        D[C] = Alpha == 0 ? S[C] : uint8_t(nearbyintl((long double)D[C] * (1 - A) + (long double)S[C] * A));
    }
}

class PictureShow : public testsupport::HeadlessTest {};

// Blue bytes (the source columns) of screen row Y from X over Count pixels.
std::vector<int> Columns(int32_t X, int32_t Y, int Count) {
  std::vector<int> Out;
  for (int I = 0; I < Count; ++I) Out.push_back(Bytes(X + I, Y)[0]);
  return Out;
}

}  // namespace

TEST_F(PictureShow, SourceMappingRoundsInExtendedPrecision) {
  TestPicture Four(4, 4), Two(2, 1), One(1, 1), FortySix(46, 1);
  ShowAlphaScaleBMPPicture(0, 0, Four.P, 4, 4, 0, false, {});
  EXPECT_EQ(Columns(0, 0, 4), (std::vector<int>{1, 2, 2, 3}));
  for (int32_t Y = 0; Y < 4; ++Y) EXPECT_EQ(Bytes(0, Y)[1], (std::vector<int>{1, 2, 2, 3})[size_t(Y)]);
  ShowAlphaScaleBMPPicture(0, 10, Two.P, 4, 1, 0, false, {});
  EXPECT_EQ(Columns(0, 10, 4), (std::vector<int>{0, 0, 1, 1}));
  One.At(0, 0)[0] = 9;
  ShowAlphaScaleBMPPicture(0, 11, One.P, 7, 1, 0, false, {});
  EXPECT_EQ(Columns(0, 11, 7), std::vector<int>(7, 9));
  // 7 / 10 x 45 is exactly 31.5 in extended precision (double gives 31): column 32.
  ShowAlphaScaleBMPPicture(0, 12, FortySix.P, 10, 1, 0, false, {});
  EXPECT_EQ(Bytes(6, 12)[0], 32);
}

// The integer shortcut of the mapping against the extended-precision formula: random sizes
// of every magnitude, and offsets whose exact value is a half or within a hair of one.
TEST(PictureSampling, SourceIndexIsTheExtendedPrecisionFormula) {
  auto Formula = [](uint64_t D, uint32_t Size, uint32_t Last) {
    return testsupport::QuotientProductRounded(int64_t(D + 1), Size, Last);
  };
  std::mt19937_64 Rng(12);
  int Checked = 0;
  for (int Round = 0; Round < 200000; ++Round) {
    const int Bits = 1 + Round % 32;
    const uint32_t Size = uint32_t(1 + Rng() % ((uint64_t(1) << Bits) - 1));
    const uint32_t Last = uint32_t(Rng() % ((uint64_t(1) << (1 + Rng() % 32))));
    uint64_t D = Rng() % Size;
    if (Round % 2 == 0 && Size % 2 == 0 && Last % 2 == 1) {
      // (D + 1) x Last = k x Size + Size / 2 for some k: an exact half, where only the
      // extended result decides; then its neighbours.
      for (uint64_t E = 0; E < std::min<uint64_t>(Size, 64); ++E)
        if (((E + 1) * Last) % Size == Size / 2) {
          D = E;
          break;
        }
    }
    for (uint64_t Near : {D, D + 1}) {
      if (Near >= Size) continue;
      ASSERT_EQ(detail::SourceIndex(Near, Size, Last), Formula(Near, Size, Last))
          << "offset " << Near << " size " << Size << " last " << Last;
      ++Checked;
    }
  }
  EXPECT_GT(Checked, 200000);
  // A tie: 7 / 10 x 45 is exactly 31.5 in extended precision and rounds to even.
  EXPECT_EQ(detail::SourceIndex(6, 10, 45), 32);
  EXPECT_EQ(detail::SourceIndex(4294967294u, 4294967295u, 4294967294u),
            Formula(4294967294u, 4294967295u, 4294967294u));
}

TEST_F(PictureShow, NothingForUnloadedEmptyOrOutsideAndClippingDoesNotShift) {
  TestPicture Pic(8, 6);
  const std::vector<uint8_t> Blank = testsupport::Snapshot();
  TPicture NotLoaded = Pic.P;
  NotLoaded.Loaded = false;
  ShowAlphaScaleBMPPicture(0, 0, NotLoaded, 8, 6, 0, false, {});
  ShowAlphaScaleBMPPicture(0, 0, Pic.P, 0, 6, 0, false, {});
  ShowAlphaScaleBMPPicture(0, 0, Pic.P, 8, 0, 0, false, {});
  SetViewPort(100, 100, 200, 200);
  ShowAlphaScaleBMPPicture(92, 100, Pic.P, 8, 6, 0, false, {});  // right edge at X1 - 1
  ShowAlphaScaleBMPPicture(201, 100, Pic.P, 8, 6, 0, false, {});
  EXPECT_TRUE(testsupport::Snapshot() == Blank);
  // The far edge is formed in 64 bits: this rectangle ends at 2^31 - 1 and covers the viewport.
  ShowAlphaScaleBMPPicture(-2147483647, 150, Pic.P, 4294967295u, 1, 0, false, {});
  EXPECT_EQ(Bytes(100, 150)[2], 200);
  EXPECT_EQ(Bytes(200, 150)[2], 200);
  ClearVirtualScreen();
  ShowAlphaScaleBMPPicture(93, 100, Pic.P, 8, 6, 0, false, {});  // right edge at X1
  EXPECT_EQ(Bytes(100, 100)[0], 7);
  EXPECT_EQ(Bytes(99, 100), (std::array<uint8_t, 4>{0, 0, 0, 0}));
  EXPECT_EQ(Bytes(101, 100), (std::array<uint8_t, 4>{0, 0, 0, 0}));

  // Half clipped on the left shows exactly the right half of the unclipped drawing.
  SetViewPort(0, 0, 1023, 767);
  ClearVirtualScreen();
  ShowAlphaScaleBMPPicture(300, 300, Pic.P, 40, 30, 0, false, {});
  const std::vector<uint8_t> Whole = testsupport::Snapshot();
  ClearVirtualScreen();
  SetViewPort(320, 0, 1023, 767);
  ShowAlphaScaleBMPPicture(300, 300, Pic.P, 40, 30, 0, false, {});
  for (int32_t Y = 295; Y < 335; ++Y)
    for (int32_t X = 295; X < 345; ++X) {
      const size_t O = (size_t(Y) * 1024 + size_t(X)) * 4;
      ASSERT_EQ(VirtualScreen[O], X >= 320 ? Whole[O] : 0) << X << "," << Y;
    }
}

TEST_F(PictureShow, TransparencyAndTransparentColour) {
  TestPicture Pic(3, 1);
  uint8_t* P0 = Pic.At(0, 0);
  uint8_t* P1 = Pic.At(1, 0);
  uint8_t* P2 = Pic.At(2, 0);
  P0[0] = P0[1] = P0[2] = 255, P0[3] = 1;  // white, odd fourth byte
  P1[0] = 254, P1[1] = P1[2] = 255;        // (255, 255, 254) in red, green, blue
  P2[0] = P2[1] = P2[2] = 255, P2[3] = 200;
  testsupport::FillPattern(5);
  const std::vector<uint8_t> Before = testsupport::Snapshot();
  const TColor White{255, 255, 255, 123};
  ShowAlphaScaleBMPPicture(10, 10, Pic.P, 6, 1, 0, true, White);  // columns 0, 1, 1, 1, 2, 2
  for (int32_t X = 10; X < 16; ++X) {
    const size_t O = (size_t(10) * 1024 + size_t(X)) * 4;
    const bool Kept = X == 10 || X >= 14;
    EXPECT_EQ(Bytes(X, 10)[0], Kept ? Before[O] : 254) << X;
    EXPECT_EQ(Bytes(X, 10)[3], Before[O + 3]);
  }
  // Without Transparent the colour has no effect; 0 copies, 255 changes nothing, 128 blends.
  ClearVirtualScreen();
  ShowAlphaScaleBMPPicture(0, 0, Pic.P, 6, 1, 0, false, White);
  EXPECT_EQ(Bytes(0, 0), (std::array<uint8_t, 4>{255, 255, 255, 0}));
  ShowAlphaScaleBMPPicture(0, 1, Pic.P, 6, 1, 128, false, White);
  EXPECT_EQ(Bytes(0, 1), (std::array<uint8_t, 4>{127, 127, 127, 0}));
  testsupport::FillPattern(6);
  const std::vector<uint8_t> Pattern = testsupport::Snapshot();
  ShowAlphaScaleBMPPicture(0, 0, Pic.P, 1024, 768, 255, false, {});
  EXPECT_TRUE(testsupport::Snapshot() == Pattern);
}

// The table-driven display against the per-pixel reference on random pictures, sizes,
// positions, viewports, transparencies and transparent colours.
TEST_F(PictureShow, MatchesThePerPixelFormulaOnRandomInputs) {
  std::mt19937 Rng(20240611);
  auto Pick = [&](int32_t Lo, int32_t Hi) { return std::uniform_int_distribution<int32_t>(Lo, Hi)(Rng); };
  std::vector<uint8_t> Expected(SCREEN_BYTES);
  testsupport::FillPattern(11);
  const std::vector<uint8_t> Background = testsupport::Snapshot();
  for (int Round = 0; Round < 300; ++Round) {
    const bool Big = Round % 25 == 0;
    TestPicture Pic(uint32_t(Pick(1, Big ? 500 : 40)), uint32_t(Pick(1, Big ? 400 : 40)));
    for (auto& B : Pic.Pixels) B = uint8_t(Pick(0, 3) == 0 ? 255 : Pick(0, 255));
    const uint32_t W = uint32_t(Pick(1, Big ? 1100 : 120)), H = uint32_t(Pick(1, Big ? 800 : 120));
    const int32_t X = Pick(-200, 1050), Y = Pick(-200, 800);
    const int32_t A[] = {0, 255, Pick(1, 254)};
    const uint8_t Alpha = uint8_t(A[Round % 3]);
    const bool Transparent = Pick(0, 1) == 1;
    const TColor T{255, 255, 255, uint8_t(Pick(0, 255))};
    SetViewPort(Pick(-50, 600), Pick(-50, 400), Pick(300, 1100), Pick(200, 900));
    std::copy(Background.begin(), Background.end(), VirtualScreen);
    Reference(X, Y, Pic.P, W, H, Alpha, Transparent, T);
    std::copy(VirtualScreen, VirtualScreen + SCREEN_BYTES, Expected.begin());
    std::copy(Background.begin(), Background.end(), VirtualScreen);
    ShowAlphaScaleBMPPicture(X, Y, Pic.P, W, H, Alpha, Transparent, T);
    ASSERT_TRUE(std::equal(Expected.begin(), Expected.end(), VirtualScreen))
        << "round " << Round << ": " << Pic.P.ImageWidth << "x" << Pic.P.ImageHeight << " to " << W << "x"
        << H << " at " << X << "," << Y << " alpha " << int(Alpha) << " transparent " << Transparent;
  }
}

// The comparison above can fail: a picture shifted by one column is told apart.
TEST_F(PictureShow, ReferenceComparisonDetectsAShift) {
  TestPicture Pic(30, 20);
  Reference(10, 10, Pic.P, 60, 40, 0, false, {});
  const std::vector<uint8_t> Expected = testsupport::Snapshot();
  ClearVirtualScreen();
  ShowAlphaScaleBMPPicture(11, 10, Pic.P, 60, 40, 0, false, {});
  EXPECT_FALSE(testsupport::Snapshot() == Expected);
}
