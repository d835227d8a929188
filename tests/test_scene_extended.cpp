// The scenes' numbers against the same expressions evaluated in the x87's 80-bit long
// double, the oracle on x86: every step of every scene, every letter fraction and channel,
// every angle and radius the scenes hand to PolarToCartesian. The scenes compute these
// with the portable extended arithmetic; here they must give the same integers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "ShowCase/showcase.h"
#include "support/oracle.h"

namespace {

using namespace lumora;

// The longest scene has 3,001 steps; a little beyond the end is covered too.
constexpr int32_t LAST_STEP = 3100;

#if (defined(__x86_64__) || defined(__i386__)) && !defined(_MSC_VER)

using L = long double;
constexpr L PI = 3.141592653589793238462643383279502884L;
int64_t R(L V) { return std::llrint(V); }
uint8_t Byte(L V) { return uint8_t(std::clamp<int64_t>(R(V), 0, 255)); }
void Polar(L Angle, L Radius, int32_t& X, int32_t& Y) {
  const L Rad = Angle / 180.0L * PI;
  X = int32_t(R(Radius * cosl(Rad)));
  Y = int32_t(R(Radius * sinl(Rad)));
}

bool operator==(TColor A, TColor B) {
  return A.B == B.B && A.G == B.G && A.R == B.R && A.Alpha == B.Alpha;
}

TEST(SceneNumbers, IntroductionAndAppearingTextEqualTheX87) {
  for (int32_t Step = 1; Step <= 9; ++Step)
    for (int32_t C = 0; C <= 255; ++C)
      ASSERT_EQ(showcase::AppearingChannel(Step, C), Byte((L)Step / 10.0L * (L)C)) << Step << " " << C;
  for (int32_t Step = 21; Step <= 80; ++Step)
    ASSERT_EQ(showcase::IntroHintAlpha(Step), R(255.0L - (L)(Step - 20) / 60.0L * 255.0L)) << Step;
}

TEST(SceneNumbers, PrimitivesEqualTheX87) {
  for (int32_t T = 0; T <= LAST_STEP; ++T) {
    if (T <= 60) {
      ASSERT_EQ(showcase::PrimitivesTitleAlpha(T), Byte(255.0L - (L)T / 60.0L * 255.0L));
    }
    if (T < 15) {
      ASSERT_EQ(showcase::CornerCircleColor(T).R, Byte((L)T / 15.0L * 30.0L + 100.0L));
    }
    for (int32_t I = 1; I <= 3 && T > 0 && T < 22; ++I) {
      const showcase::TRing Ring = showcase::RingAt(I, T);
      const int32_t Factor = 1 << (I - 1);
      const int32_t X = I == 1 ? 50 : (I == 2 ? 90 : 170);
      const L F = (L)T / 22.0L;
      ASSERT_EQ(Ring.Color.R, Byte(F * 30.0L + (L)(I * 30 + 100))) << I << " " << T;
      ASSERT_EQ(Ring.Centre, R(F * (L)(Factor * 40) + (L)X)) << I << " " << T;
      ASSERT_EQ(Ring.Radius, R(F * (L)(Factor * 20) + (L)(Factor * 20))) << I << " " << T;
    }
    for (int32_t B = 1; B <= 7 && T > 0; ++B) {
      const showcase::TBlock Block = showcase::BlockAt(B, T);
      if (T < 20) {
        ASSERT_EQ(Block.Color.B, Byte((L)T / 20.0L * 205.0L + 50.0L));
      }
    }
    for (int32_t I = 1; I <= 46 && T > 0 && T < 4; ++I) {
      const showcase::TFanLine Line = showcase::FanLineAt(I, T);
      const L F = (L)T / 4.0L;
      ASSERT_EQ(Line.Color.G, Byte(F * 215.0L + 40.0L));
      const int32_t Base = (I - 2) * 28;
      int32_t X1, Y1, X2, Y2;
      Polar(Base + 7 * T, (L)(300 - (I - 2) * 3 + R(F * 3.0L)), X1, Y1);
      Polar(Base + 180 + 7 * T, (L)(100 - (I - 2)), X2, Y2);
      ASSERT_EQ(Line.X1, 800 + X1) << I << " " << T;
      ASSERT_EQ(Line.Y1, 200 - Y1) << I << " " << T;
      ASSERT_EQ(Line.X2, 800 + X2) << I << " " << T;
      ASSERT_EQ(Line.Y2, 200 - Y2) << I << " " << T;
    }
  }
}

// The falling blocks' fractions: every T below the fall of every block spec used.
TEST(SceneNumbers, FallingBlocksEqualTheX87) {
  struct Spec {
    int32_t Block, Fall, Drop, Top0, Bottom0;
  };
  const Spec Specs[] = {{2, 40, 530, 197, 235}, {3, 40, 530, 197, 235}, {4, 40, 428, 197, 297},
                        {5, 30, 363, 197, 262}, {6, 30, 363, 197, 234}};
  for (const Spec& S : Specs)
    for (int32_t T = 1; T <= S.Fall; ++T) {
      const showcase::TBlock B = showcase::BlockAt(S.Block, T);
      const L F = (L)T / (L)S.Fall * (L)S.Drop;
      ASSERT_EQ(B.Y1, R(F + (L)S.Top0)) << S.Block << " " << T;
      ASSERT_EQ(B.Y2, R(F + (L)S.Bottom0)) << S.Block << " " << T;
    }
}

TEST(SceneNumbers, FontsEqualTheX87) {
  for (int32_t S = 0; S <= LAST_STEP; ++S) {
    const showcase::TFontsTitle Title = showcase::FontsTitleAt(S);
    ASSERT_EQ(Title.X, R(520.0L - 0.8L * (L)S)) << S;
    ASSERT_EQ(Title.Y, R(0.8L * (L)S + 10.0L)) << S;
    if (S < 160) {
      ASSERT_EQ(Title.Grey, Byte((L)S / 160.0L * 255.0L)) << S;
    }
  }
  for (int32_t T = 0; T <= LAST_STEP; ++T) {
    TColor Expected;
    if (T < 60) {
      const L U = T;
      Expected = TColor{Byte(125.0L * U / 60.0L), Byte(50.0L * U / 60.0L), Byte(240.0L * U / 60.0L), 0};
      ASSERT_TRUE(showcase::GabriolaColor(T) == Expected) << T;
      ASSERT_TRUE(showcase::WingdingsColor(T) == Expected) << T;
      continue;
    }
    const L A = ((L)T - 60.0L) / 180.0L * PI;
    Expected = TColor{125, 50, Byte(fabsl(240.0L * cosl(A))), 0};
    ASSERT_TRUE(showcase::GabriolaColor(T) == Expected) << T;
    Expected = TColor{Byte(fabsl(240.0L * sinl(A) * cosl(A))), Byte(fabsl(240.0L * sinl(A))),
                      Byte(fabsl(240.0L * cosl(A))), 0};
    ASSERT_TRUE(showcase::WingdingsColor(T) == Expected) << T;
  }
  for (int32_t T = 0; T < 300; ++T)
    for (int32_t Letter = 0; Letter < 19; ++Letter) {
      int32_t X, Y, EX, EY;
      showcase::LetterCirclePosition(T, Letter, X, Y);
      Polar(((T % 300) / 5) * 6 - 12 * Letter, 80, EX, EY);
      ASSERT_EQ(X, EX + 450) << T << " " << Letter;
      ASSERT_EQ(Y, EY + 400) << T << " " << Letter;
    }
}

TEST(SceneNumbers, ImagesEqualTheX87) {
  for (int32_t T = 0; T <= LAST_STEP; ++T) {
    const L U = T;
    if (T > 0 && T < 60) {
      ASSERT_EQ(showcase::SlideshowAlpha(T), std::clamp<int64_t>(255 - R(U / 60.0L * 255.0L), 0, 255));
    }
    if (T > 160 && T < 220) {
      ASSERT_EQ(showcase::SlideshowAlpha(T), std::clamp<int64_t>(R((U - 160.0L) / 60.0L * 255.0L), 0, 255));
    }
    if (T <= 60) {
      ASSERT_EQ(showcase::TextFadeInAlpha(T), std::clamp<int64_t>(R(255.0L - U / 60.0L * 255.0L), 0, 255));
    }
    if (T > 0) {
      const showcase::TCrossing C = showcase::CrossingAt(T);
      if (T < 60) {
        ASSERT_EQ(C.Alpha, std::clamp<int64_t>(255 - R(U / 60.0L * 115.0L), 0, 255)) << T;
      }
      if (T < 500) {
        ASSERT_EQ(C.X, R(U / 500.0L * 650.0L - 200.0L)) << T;
        ASSERT_EQ(C.Y, R(550.0L - U / 500.0L * 450.0L)) << T;
      }
      const showcase::TFlight F = showcase::FlightAt(T);
      const int32_t Angle = T <= 570 ? int32_t(R(U * 0.3L)) : 171;
      ASSERT_EQ(F.Angle, Angle) << T;
      int32_t X, Y;
      Polar(Angle, 100, X, Y);
      ASSERT_EQ(F.X, 4 * X + 400) << T;
      ASSERT_EQ(F.Y, R(300.0L - (L)Y * 1.8L)) << T;
    }
    // The cascade, for the picture sizes of the catalogue and a few odd ones.
    for (int32_t I = 1; I <= 4 && T > 0; ++I)
      for (const uint32_t W : {1u, 3u, 333u, 640u, 1024u, 1501u}) {
        const showcase::TCascadeCopy C = showcase::CascadeCopyAt(I, T, W, W * 3 / 4 + 1);
        const double Size = T < 100 ? double(U / 100.0L * 0.25L + (L)(I - 1) * 0.25L) : double((L)I / 4.0L);
        ASSERT_EQ(C.Size, Size) << I << " " << T;
        if (T < 100) {
          ASSERT_EQ(C.P, R(U / 100.0L * 60.0L + (L)(I - 1) * 60.0L)) << I << " " << T;
        }
        ASSERT_EQ(C.Width, uint32_t(R((L)W * (L)Size))) << I << " " << T << " " << W;
        ASSERT_EQ(C.Height, uint32_t(R((L)(W * 3 / 4 + 1) * (L)Size))) << I << " " << T << " " << W;
      }
  }
}

// Every angle and radius the scenes use, and a wide band around them.
TEST(SceneNumbers, PolarToCartesianEqualsTheX87) {
#ifdef __MINGW32__
  // MinGW's sinl and cosl are the bare fsin and fcos, up to an ulp off: at -750 degrees
  // sinl gives -0.5 less an ulp, which rounds to -1 where the exact value rounds to 0.
  GTEST_SKIP() << "MinGW's sinl and cosl are not accurate enough to be the oracle";
#endif
  for (int32_t Angle = -1080; Angle <= 1800; ++Angle)
    for (int32_t Radius : {1, 7, 50, 80, 97, 100, 150, 250, 300, 301, 333}) {
      int32_t X, Y, EX, EY;
      showcase::PolarToCartesian(Angle, Radius, X, Y);
      Polar(Angle, Radius, EX, EY);
      ASSERT_EQ(X, EX) << Angle << " " << Radius;
      ASSERT_EQ(Y, EY) << Angle << " " << Radius;
    }
}
#else
TEST(SceneNumbers, X87OracleOnlyOnX86) { GTEST_SKIP() << "the long double oracle is the x87's"; }
#endif

}  // namespace
