// lumora extended: the basic operations of the exact 64-bit-significand arithmetic.
// Each result is the exact result rounded once to 64 significant bits, ties to even.
#include "lumora/internal/extended.h"

#include <cstring>
#include <limits>

namespace lumora::ext {

// ===================================================================== 128-bit helpers

#if defined(__SIZEOF_INT128__)
__extension__ typedef unsigned __int128 TNative128;
#endif

TU128 Mul64Portable(uint64_t A, uint64_t B) {
  const uint64_t A0 = A & 0xFFFFFFFFu, A1 = A >> 32;
  const uint64_t B0 = B & 0xFFFFFFFFu, B1 = B >> 32;
  const uint64_t P00 = A0 * B0, P01 = A0 * B1, P10 = A1 * B0, P11 = A1 * B1;
  // Middle column: at most 3 x (2^32 - 1), no overflow.
  const uint64_t Middle = (P00 >> 32) + (P01 & 0xFFFFFFFFu) + (P10 & 0xFFFFFFFFu);
  return {P11 + (P01 >> 32) + (P10 >> 32) + (Middle >> 32), (Middle << 32) | (P00 & 0xFFFFFFFFu)};
}

TU128 Mul64(uint64_t A, uint64_t B) {
#if defined(__SIZEOF_INT128__)
  const TNative128 P = TNative128(A) * B;
  return {uint64_t(P >> 64), uint64_t(P)};
#else
  return Mul64Portable(A, B);
#endif
}

namespace {

int LeadingZeros(uint64_t V) {  // V != 0
  int N = 0;
  if ((V >> 32) == 0) N += 32, V <<= 32;
  if ((V >> 48) == 0) N += 16, V <<= 16;
  if ((V >> 56) == 0) N += 8, V <<= 8;
  if ((V >> 60) == 0) N += 4, V <<= 4;
  if ((V >> 62) == 0) N += 2, V <<= 2;
  if ((V >> 63) == 0) N += 1;
  return N;
}

}  // namespace

// Long division in base 2^32 (two quotient digits), with the divisor normalised so that
// each estimated digit is off by at most two.
uint64_t Div128Portable(uint64_t High, uint64_t Low, uint64_t D, uint64_t& Rem) {
  const int S = LeadingZeros(D);
  D <<= S;
  const uint64_t NHigh = S == 0 ? High : (High << S) | (Low >> (64 - S));
  const uint64_t NLow = Low << S;
  const uint64_t D1 = D >> 32, D0 = D & 0xFFFFFFFFu;
  const uint64_t L1 = NLow >> 32, L0 = NLow & 0xFFFFFFFFu;

  // One quotient digit of (U x 2^32 + Next) / D, where U < D.
  auto Digit = [&](uint64_t U, uint64_t Next, uint64_t& R) {
    uint64_t Q = U / D1, RHat = U % D1;
    while (Q > 0xFFFFFFFFu || Q * D0 > ((RHat << 32) | Next)) {
      --Q;
      RHat += D1;
      if (RHat > 0xFFFFFFFFu) break;
    }
    R = (U << 32) + Next - Q * D;  // exact modulo 2^64, and the true value is below D
    return Q;
  };
  uint64_t R1, R0;
  const uint64_t Q1 = Digit(NHigh, L1, R1);
  const uint64_t Q0 = Digit(R1, L0, R0);
  Rem = R0 >> S;
  return (Q1 << 32) | Q0;
}

uint64_t Div128(uint64_t High, uint64_t Low, uint64_t D, uint64_t& Rem) {
#if defined(__SIZEOF_INT128__)
  const TNative128 N = (TNative128(High) << 64) | Low;
  Rem = uint64_t(N % D);
  return uint64_t(N / D);
#else
  return Div128Portable(High, Low, D, Rem);
#endif
}

// ===================================================================== rounding

namespace {

// Rounds the 128-bit significand High:Low (High's top bit set), whose value is
// High:Low x 2^Exp, with Sticky saying whether nonzero bits lie below Low, to 64 bits.
TExtended Round128(bool Neg, uint64_t High, uint64_t Low, bool Sticky, int32_t Exp) {
  const bool Half = (Low >> 63) != 0;
  const bool Below = (Low << 1) != 0 || Sticky;
  uint64_t M = High;
  int32_t E = Exp + 64;
  if (Half && (Below || (M & 1))) {
    if (++M == 0) {
      M = uint64_t(1) << 63;
      ++E;
    }
  }
  return {M, E, Neg};
}

// A nonzero 128-bit magnitude High:Low x 2^Exp, normalised and rounded.
TExtended Normalise128(bool Neg, uint64_t High, uint64_t Low, bool Sticky, int32_t Exp) {
  if (High == 0) {
    High = Low;
    Low = 0;
    Exp -= 64;
  }
  const int S = LeadingZeros(High);
  if (S > 0) {
    High = (High << S) | (Low >> (64 - S));
    Low <<= S;
    Exp -= S;
  }
  return Round128(Neg, High, Low, Sticky, Exp);
}

// Shifts High:Low right by N bits (N >= 0), folding what falls out into Sticky.
void ShiftRight128(uint64_t& High, uint64_t& Low, int64_t N, bool& Sticky) {
  if (N == 0) return;
  if (N >= 128) {
    Sticky = Sticky || High != 0 || Low != 0;
    High = Low = 0;
    return;
  }
  if (N >= 64) {
    Sticky = Sticky || Low != 0 || (N > 64 && (High << (128 - N)) != 0);
    Low = N == 64 ? High : High >> (N - 64);
    High = 0;
    return;
  }
  Sticky = Sticky || (Low << (64 - N)) != 0;
  Low = (Low >> N) | (High << (64 - N));
  High >>= N;
}

}  // namespace

// ===================================================================== conversions

TExtended FromUint(uint64_t V) {
  if (V == 0) return {};
  const int S = LeadingZeros(V);
  return {V << S, -S, false};
}

TExtended FromInt(int64_t V) {
  // The magnitude of INT64_MIN is 2^63, which uint64_t holds.
  const uint64_t Magnitude = V < 0 ? uint64_t(0) - uint64_t(V) : uint64_t(V);
  TExtended R = FromUint(Magnitude);
  R.Neg = V < 0;
  return R;
}

TExtended FromDouble(double V) {
  uint64_t Bits;
  std::memcpy(&Bits, &V, sizeof Bits);
  const bool Neg = (Bits >> 63) != 0;
  const int32_t Biased = int32_t((Bits >> 52) & 0x7FF);
  uint64_t Fraction = Bits & ((uint64_t(1) << 52) - 1);
  if (Biased == 0x7FF) return {};  // infinity or NaN
  int32_t Exp;
  if (Biased == 0) {
    if (Fraction == 0) return {};
    Exp = -1074;  // subnormal: Fraction x 2^-1074
  } else {
    Fraction |= uint64_t(1) << 52;
    Exp = Biased - 1075;
  }
  TExtended R = FromUint(Fraction);
  R.Exp += Exp;
  R.Neg = Neg;
  return R;
}

TExtended FromDecimal(int64_t Num, int32_t Decimals) {
  uint64_t Scale = 1;
  for (int32_t I = 0; I < Decimals && I < 19; ++I) Scale *= 10;
  return Div(FromInt(Num), FromUint(Scale));
}

int64_t RoundToInt(TExtended A) {
  if (A.Mant == 0) return 0;
  constexpr int64_t MAX = std::numeric_limits<int64_t>::max();
  // |A| >= 2^63: saturate (-2^63 itself is representable).
  if (A.Exp >= 0) return A.Neg ? std::numeric_limits<int64_t>::min() : MAX;
  // |A| < 2^-1 rounds to zero (exactly a half goes to the even 0 as well).
  if (A.Exp < -64) return 0;
  const int32_t Shift = -A.Exp;  // 1..64
  uint64_t Whole = Shift == 64 ? 0 : A.Mant >> Shift;
  const uint64_t Rest = Shift == 64 ? A.Mant : A.Mant << (64 - Shift);  // the fraction, top-aligned
  const uint64_t HalfBit = uint64_t(1) << 63;
  if (Rest > HalfBit || (Rest == HalfBit && (Whole & 1))) ++Whole;
  if (A.Neg) return Whole > uint64_t(MAX) ? std::numeric_limits<int64_t>::min() : -int64_t(Whole);
  return Whole > uint64_t(MAX) ? MAX : int64_t(Whole);
}

double ToDouble(TExtended A) {
  if (A.Mant == 0) return A.Neg ? -0.0 : 0.0;
  // 53 significant bits, the other 11 decide the rounding.
  uint64_t M = A.Mant >> 11;
  const uint64_t Rest = A.Mant & 0x7FF;
  int32_t E = A.Exp + 11;
  if (Rest > 0x400 || (Rest == 0x400 && (M & 1))) {
    if (++M == (uint64_t(1) << 53)) {
      M >>= 1;
      ++E;
    }
  }
  // Values used here are far from the double range's ends; beyond it, saturate.
  double R;
  if (E + 52 > 1023) {
    R = std::numeric_limits<double>::max();
  } else if (E < -1074) {
    R = 0.0;
  } else {
    R = double(M);  // exact: M < 2^53
    // Scale by 2^E in steps that stay exact.
    while (E > 0) {
      const int32_t Step = E > 60 ? 60 : E;
      R *= double(uint64_t(1) << Step);
      E -= Step;
    }
    while (E < 0) {
      const int32_t Step = -E > 60 ? 60 : -E;
      R /= double(uint64_t(1) << Step);
      E += Step;
    }
  }
  return A.Neg ? -R : R;
}

// ===================================================================== arithmetic

int Compare(TExtended A, TExtended B) {
  const int SignA = A.Mant == 0 ? 0 : (A.Neg ? -1 : 1);
  const int SignB = B.Mant == 0 ? 0 : (B.Neg ? -1 : 1);
  if (SignA != SignB) return SignA < SignB ? -1 : 1;
  if (SignA == 0) return 0;
  int Magnitude = 0;
  if (A.Exp != B.Exp)
    Magnitude = A.Exp < B.Exp ? -1 : 1;
  else if (A.Mant != B.Mant)
    Magnitude = A.Mant < B.Mant ? -1 : 1;
  return SignA * Magnitude;
}

TExtended Add(TExtended A, TExtended B) {
  if (A.Mant == 0) return B;
  if (B.Mant == 0) return A;
  // A takes the larger magnitude.
  if (B.Exp > A.Exp || (B.Exp == A.Exp && B.Mant > A.Mant)) {
    const TExtended T = A;
    A = B;
    B = T;
  }
  // Both as 128-bit significands Mant x 2^64; B shifted into A's scale. The 64 bits
  // below the result and the sticky bit decide its rounding exactly, also after the
  // cancellation of one leading bit in a subtraction.
  uint64_t BHigh = B.Mant, BLow = 0;
  bool Sticky = false;
  ShiftRight128(BHigh, BLow, int64_t(A.Exp) - B.Exp, Sticky);
  uint64_t High, Low;
  const int32_t Exp = A.Exp - 64;
  if (A.Neg == B.Neg) {
    Low = BLow;
    High = A.Mant + BHigh;
    const bool Carry = High < A.Mant;
    if (Carry) {
      // One more bit: shift right by one and put the carry on top.
      Sticky = Sticky || (Low & 1);
      Low = (Low >> 1) | (High << 63);
      High = (High >> 1) | (uint64_t(1) << 63);
      return Round128(A.Neg, High, Low, Sticky, Exp + 1);
    }
    return Normalise128(A.Neg, High, Low, Sticky, Exp);
  }
  // Subtraction of the smaller magnitude; sticky bits below borrow one unit of Low.
  Low = uint64_t(0) - BLow;
  uint64_t Borrow = BLow != 0;
  if (Sticky) {
    Borrow = Low == 0 ? 1 : Borrow;
    Low -= 1;
  }
  High = A.Mant - BHigh - Borrow;
  if (High == 0 && Low == 0 && !Sticky) return {};
  return Normalise128(A.Neg, High, Low, Sticky, Exp);
}

TExtended Sub(TExtended A, TExtended B) { return Add(A, Negate(B)); }

TExtended Mul(TExtended A, TExtended B) {
  if (A.Mant == 0 || B.Mant == 0) return {};
  const TU128 P = Mul64(A.Mant, B.Mant);  // in [2^126, 2^128)
  return Normalise128(A.Neg != B.Neg, P.High, P.Low, false, A.Exp + B.Exp);
}

TExtended Div(TExtended A, TExtended B) {
  if (A.Mant == 0 || B.Mant == 0) return {};
  // Numerator A.Mant x 2^64 (or 2^63 when A.Mant >= B.Mant), so that the quotient has
  // exactly 64 bits; the remainder decides the rounding.
  const bool Shift = A.Mant >= B.Mant;
  const uint64_t High = Shift ? A.Mant >> 1 : A.Mant;
  const uint64_t Low = Shift ? A.Mant << 63 : 0;
  uint64_t Rem;
  uint64_t Q = Div128(High, Low, B.Mant, Rem);
  int32_t Exp = A.Exp - B.Exp - (Shift ? 63 : 64);
  // Compare 2 x Rem with B.Mant without overflow.
  const uint64_t Other = B.Mant - Rem;
  if (Rem > Other || (Rem == Other && (Q & 1))) {
    if (++Q == 0) {
      Q = uint64_t(1) << 63;
      ++Exp;
    }
  }
  return {Q, Exp, A.Neg != B.Neg};
}

// The extended quotient and product lie within A x C / B x 2^-63 (below 2^-31) of the exact
// value A x C / B = Q + Rem / B when that is below 2^32, so they round like the exact value unless Rem / B lies
// within 2^-30 of a half; only then are the extended steps taken.
int64_t ScaleRound(uint64_t A, uint64_t B, uint64_t C) {
  if (B == 0) return 0;
  const uint64_t N = A * C;  // below 2^64 for A, C below 2^32
  const uint64_t Q = N / B, Rem = N % B;
  const int64_t FromHalf = int64_t(2 * Rem) - int64_t(B);
  const uint64_t Distance = uint64_t(FromHalf < 0 ? -FromHalf : FromHalf);
  if (Q >> 32 == 0 && Distance << 29 > B) return int64_t(Q) + (FromHalf > 0);
  return RoundToInt(Mul(Div(FromUint(A), FromUint(B)), FromUint(C)));
}

}  // namespace lumora::ext
