// lumora extended: exact 64-bit-significand floating-point arithmetic in integers.
//
// Where a result depends on a quotient or product formed in the 80-bit extended format
// (64-bit significand, each operation rounded to nearest, ties to even), these routines give
// that result bit for bit on every processor, without relying on the compiler's widest
// floating type, whose format differs between processors and compilers. Values are finite; there are no infinities,
// NaNs or subnormals (exponents have the range of int32_t, far beyond what is used).
// Private to the library and its own programs; not installed.
#pragma once

#include <cstdint>

namespace lumora::ext {

// ------------------------------------------------------------------ 128-bit helpers

// The full product of two 64-bit numbers: High x 2^64 + Low.
struct TU128 {
  uint64_t High, Low;
};
TU128 Mul64(uint64_t A, uint64_t B);
// The same without a 128-bit integer type (used where the compiler has none; tested against
// Mul64 where it has one).
TU128 Mul64Portable(uint64_t A, uint64_t B);

// (High x 2^64 + Low) / D for D > High, so that the quotient fits 64 bits; the remainder
// goes to Rem.
uint64_t Div128(uint64_t High, uint64_t Low, uint64_t D, uint64_t& Rem);
uint64_t Div128Portable(uint64_t High, uint64_t Low, uint64_t D, uint64_t& Rem);

// ------------------------------------------------------------------ the number

// (-1)^Neg x Mant x 2^Exp, Mant in [2^63, 2^64), or zero (Mant 0).
struct TExtended {
  uint64_t Mant = 0;
  int32_t Exp = 0;
  bool Neg = false;
};

TExtended FromInt(int64_t V);    // exact
TExtended FromUint(uint64_t V);  // exact
// Exact for every finite double; infinities and NaN give zero.
TExtended FromDouble(double V);
// The nearest extended value of Num / 10^Decimals (Decimals 0..19), as a decimal constant
// such as 0.3 or 1.8 is read: FromDecimal(3, 1) is 0.3.
TExtended FromDecimal(int64_t Num, int32_t Decimals);

TExtended Add(TExtended A, TExtended B);
TExtended Sub(TExtended A, TExtended B);
TExtended Mul(TExtended A, TExtended B);
// A / B; a zero divisor gives zero (callers never divide by zero).
TExtended Div(TExtended A, TExtended B);
inline TExtended Negate(TExtended A) {
  if (A.Mant != 0) A.Neg = !A.Neg;
  return A;
}
inline TExtended Abs(TExtended A) {
  A.Neg = false;
  return A;
}

// Rounded to the nearest integer, ties to even, saturated to the range of int64_t.
int64_t RoundToInt(TExtended A);
// Rounded to the nearest double, ties to even (overflow saturates to the largest double).
double ToDouble(TExtended A);

// R(A / B x C): the quotient, then the product, each rounded to 64 bits, then rounded to an
// integer, ties to even; for A, B, C below 2^32 and B > 0 (a zero B gives 0). The common
// case is settled by exact integer division; the extended steps run only near a half.
int64_t ScaleRound(uint64_t A, uint64_t B, uint64_t C);

// -1, 0 or 1 as A is below, equal to or above B.
int Compare(TExtended A, TExtended B);

// pi rounded to the nearest extended value.
TExtended Pi();
// The cosine and sine of A, rounded to the nearest extended value, ties to even.
TExtended Cos(TExtended A);
TExtended Sin(TExtended A);

// Operators, so that expressions read as they are written; integers convert exactly.
inline TExtended operator+(TExtended A, TExtended B) { return Add(A, B); }
inline TExtended operator-(TExtended A, TExtended B) { return Sub(A, B); }
inline TExtended operator*(TExtended A, TExtended B) { return Mul(A, B); }
inline TExtended operator/(TExtended A, TExtended B) { return Div(A, B); }
inline TExtended operator-(TExtended A) { return Negate(A); }

// An integer as an extended value: Ext(T) / Ext(60) x Ext(255).
inline TExtended Ext(int64_t V) { return FromInt(V); }

}  // namespace lumora::ext
