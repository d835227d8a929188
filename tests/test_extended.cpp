// The exact extended arithmetic against the x87 long double, which is the oracle on x86-64:
// every operation on boundary values and millions of random ones, rounding ties and values
// within 2^-40 of a half. The 128-bit helpers against each other on every target.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "lumora/internal/extended.h"

namespace {

using namespace lumora::ext;

TEST(Extended128, PortableProductAndQuotientAgreeWithTheNativeOnes) {
  std::mt19937_64 Rng(12);
  const uint64_t Edges[] = {0, 1, 2, 3, 0xFFFFFFFFu, 0x100000000u, 0x8000000000000000u,
                            0xFFFFFFFFFFFFFFFFu, 0xFFFFFFFF00000000u, 0x7FFFFFFFFFFFFFFFu};
  auto Check = [](uint64_t A, uint64_t B) {
    const TU128 P = Mul64Portable(A, B), N = Mul64(A, B);
    ASSERT_EQ(P.High, N.High) << A << " x " << B;
    ASSERT_EQ(P.Low, N.Low) << A << " x " << B;
    if (B == 0) return;
    const uint64_t High = A % B;  // below the divisor: the quotient fits 64 bits
    uint64_t R1, R2;
    const uint64_t Q1 = Div128Portable(High, A ^ B, B, R1), Q2 = Div128(High, A ^ B, B, R2);
    ASSERT_EQ(Q1, Q2) << High << ":" << (A ^ B) << " / " << B;
    ASSERT_EQ(R1, R2);
    // Quotient x divisor + remainder gives back the numerator.
    const TU128 Back = Mul64(Q1, B);
    const uint64_t Low = Back.Low + R1;
    ASSERT_EQ(Low, A ^ B);
    ASSERT_EQ(Back.High + (Low < R1), High);
  };
  for (uint64_t A : Edges)
    for (uint64_t B : Edges) Check(A, B);
  for (int I = 0; I < 2000000; ++I) {
    const uint64_t A = Rng() >> (Rng() % 64), B = Rng() >> (Rng() % 64);
    Check(A, B);
  }
}

TEST(Extended, ConversionsAndRoundingTiesToEven) {
  EXPECT_EQ(RoundToInt(Ext(7)), 7);
  EXPECT_EQ(RoundToInt(Ext(-7)), -7);
  EXPECT_EQ(RoundToInt(Ext(0)), 0);
  EXPECT_EQ(RoundToInt(FromDecimal(25, 1)), 2);
  EXPECT_EQ(RoundToInt(FromDecimal(35, 1)), 4);
  EXPECT_EQ(RoundToInt(FromDecimal(-25, 1)), -2);
  EXPECT_EQ(RoundToInt(FromDecimal(5, 1)), 0);
  EXPECT_EQ(RoundToInt(FromDecimal(-5, 1)), 0);
  EXPECT_EQ(RoundToInt(FromDecimal(15, 1)), 2);
  EXPECT_EQ(RoundToInt(Ext(INT64_MIN)), INT64_MIN);
  EXPECT_EQ(RoundToInt(Ext(INT64_MAX)), INT64_MAX);  // 2^63 - 1 rounds to 2^63: saturated
  EXPECT_EQ(RoundToInt(Ext(INT64_MIN) * Ext(2)), INT64_MIN);
  EXPECT_EQ(ToDouble(FromDouble(0.1)), 0.1);
  EXPECT_EQ(ToDouble(Ext(3) / Ext(10)), 0.3);
  EXPECT_EQ(FromDouble(std::numeric_limits<double>::quiet_NaN()).Mant, 0u);
  EXPECT_EQ(Div(Ext(5), Ext(0)).Mant, 0u);
  // 25 / 22 x 11 is exactly 12.5 in extended precision and goes to 12.
  EXPECT_EQ(RoundToInt(Ext(25) / Ext(22) * Ext(11)), 12);
  // 7 / 10 x 45 is exactly 31.5 and goes to 32.
  EXPECT_EQ(RoundToInt(Ext(7) / Ext(10) * Ext(45)), 32);
}

#if defined(__x86_64__) || defined(__i386__)
static_assert(std::numeric_limits<long double>::digits == 64);

long double ToLong(TExtended A) {
  if (A.Mant == 0) return 0.0L;
  const long double M = std::ldexp((long double)A.Mant, A.Exp);
  return A.Neg ? -M : M;
}

TExtended FromLong(long double V) {
  if (V == 0) return {};
  int E;
  const long double F = std::frexp(std::fabs(V), &E);  // [0.5, 1)
  TExtended R;
  R.Mant = uint64_t(std::ldexp(F, 64));
  R.Exp = E - 64;
  R.Neg = V < 0;
  return R;
}

bool Same(TExtended A, long double L) {
  const long double V = ToLong(A);
  return std::memcmp(&V, &L, 10) == 0 || (V == 0 && L == 0);
}

TEST(Extended, EveryOperationEqualsTheX87) {
  std::mt19937_64 Rng(7);
  auto RandomValue = [&]() {
    switch (Rng() % 4) {
      case 0: return FromInt(int64_t(Rng() % 4001) - 2000);  // small integers
      case 1: return FromLong(std::ldexp((long double)Rng(), int(Rng() % 40) - 80) * ((Rng() & 1) ? -1 : 1));
      case 2: return FromDecimal(int64_t(Rng() % 100000), int32_t(Rng() % 6));
      default: {
        TExtended V = FromLong(std::ldexp((long double)(Rng() | (uint64_t(1) << 63)), int(Rng() % 20) - 70));
        if (Rng() & 1) V.Mant = (V.Mant & ~uint64_t(0xFFFF)) | (Rng() & 1);  // near ties
        return V;
      }
    }
  };
  for (int I = 0; I < 3000000; ++I) {
    const TExtended A = RandomValue(), B = RandomValue();
    const long double LA = ToLong(A), LB = ToLong(B);
    ASSERT_TRUE(Same(A + B, LA + LB)) << double(LA) << " + " << double(LB);
    ASSERT_TRUE(Same(A - B, LA - LB)) << double(LA) << " - " << double(LB);
    ASSERT_TRUE(Same(A * B, LA * LB)) << double(LA) << " * " << double(LB);
    if (B.Mant != 0) {
      ASSERT_TRUE(Same(A / B, LA / LB)) << double(LA) << " / " << double(LB);
    }
    ASSERT_EQ(RoundToInt(A), std::llrint(LA)) << double(LA);
    ASSERT_EQ(ToDouble(A), double(LA));
    ASSERT_EQ(Compare(A, B), LA < LB ? -1 : (LA > LB ? 1 : 0));
  }
}

TEST(Extended, DecimalConstantsAreTheNearestExtendedValues) {
  EXPECT_TRUE(Same(FromDecimal(3, 1), 0.3L));
  EXPECT_TRUE(Same(FromDecimal(18, 1), 1.8L));
  EXPECT_TRUE(Same(FromDecimal(8, 1), 0.8L));
  EXPECT_TRUE(Same(FromDecimal(25, 2), 0.25L));
  EXPECT_TRUE(Same(FromDecimal(-123456789, 7), -12.3456789L));
}

// Quotients and products that land exactly on a half or within 2^-40 of one: the cases
// where the extended precision decides the integer.
TEST(Extended, NearHalvesRoundAsTheX87) {
  std::mt19937_64 Rng(3);
  for (int I = 0; I < 2000000; ++I) {
    const int64_t A = int64_t(Rng() % 5000) + 1, B = int64_t(Rng() % 5000) + 1;
    const int64_t C = int64_t(Rng() % 70000);
    const long double L = (long double)A / B * C;
    ASSERT_EQ(RoundToInt(Ext(A) / Ext(B) * Ext(C)), std::llrint(L)) << A << "/" << B << "*" << C;
    const TExtended Half = Ext(2 * C + 1) / Ext(2);
    const TExtended Near = Half + FromLong(std::ldexp(1.0L, -40 - int(Rng() % 20)) * ((Rng() & 1) ? 1 : -1));
    ASSERT_EQ(RoundToInt(Near), std::llrint(ToLong(Near)));
  }
}
#endif

}  // namespace
