// lumora extended: pi, cosine and sine, rounded to nearest (ties to even).
//
// The argument is an exact binary number, so its cosine and sine are definite reals; these
// routines return them correctly rounded to a 64-bit significand. All the work is fixed point
// on arrays of 32-bit words with 64-bit products, which every compiler and processor does
// identically, so the results are the same bits everywhere. For |A| in [2^-32, 2^64):
//   1. Reduction: k = the integer nearest A x 2/pi, r = A - k x pi/2, with pi/2 taken to 64
//      bits more than the working precision so that k x (error of pi/2) stays below one unit.
//   2. sin r or cos r by its Taylor series, chosen and signed by k mod 4.
//   3. Rounding: the computed value V is within a proven bound B of the true value. If V - B
//      and V + B round to the same 64-bit value, every value in between does too, so that is
//      the answer; otherwise (the true value lies very near a halfway point or near zero) the
//      whole computation is repeated with twice as many words.
// Outside that range: below 2^-32 the sine rounds to A itself and the cosine to 1 (shown at
// CosSinFrom); at 2^64 and above (far beyond any angle a program draws with) Sin gives 0 and
// Cos gives 1, a fixed choice rather than a reduction.
#include "lumora/internal/extended.h"

namespace lumora::ext {
namespace {

// The fraction of pi/2, truncated: pi/2 = 1 + sum HalfPiFraction[i] x 2^(-32 (i + 1)).
constexpr int TableWords = 34;
constexpr uint32_t HalfPiFraction[TableWords] = {
    0x921FB544, 0x42D18469, 0x898CC517, 0x01B839A2, 0x52049C11, 0x14CF98E8, 0x04177D4C,
    0x76273644, 0xA29410F3, 0x1C6809BB, 0xDF2A3367, 0x9A748636, 0x605614DB, 0xE4BE286E,
    0x9FC26ADA, 0xDAA3848B, 0xC90B6AEC, 0xC4BCFD8D, 0xE89885D3, 0x4C6FDAD6, 0x17FEB96D,
    0xE80D6FDB, 0xDC70D7F6, 0xB5133F4B, 0x5D3E4822, 0xF8963FCC, 0x9250CCA3, 0xD9C8B67B,
    0x8400F971, 0x42C77E0B, 0x31B4906C, 0x38ABA734, 0xD22C7F51, 0xFA499EBF};
// 2/pi truncated to 128 bits, most significant word first: only used to choose k.
constexpr uint32_t TwoOverPi[4] = {0xA2F9836E, 0x4E441529, 0xFC2757D1, 0xF534DDC0};

// Working precisions: F fraction words, F = 4, 8, 16, 32. The reduction needs 3 integer words
// and F + 2 fraction words; the series 1 integer word and F fraction words.
constexpr int FirstFraction = 4;
constexpr int LastFraction = 32;
constexpr int MaxWords = LastFraction + 5;
static_assert(LastFraction + 2 <= TableWords, "pi/2 table too short for the last precision");

// A number is an array of N words, least significant first; with F fraction words its value
// is sum W[i] x 2^(32 (i - F)). Bits are numbered from the least significant, bit 0.

unsigned Bit(const uint32_t* A, int N, int Pos) {
  if (Pos < 0 || Pos >= 32 * N) return 0;
  return (A[Pos >> 5] >> (Pos & 31)) & 1u;
}

// The word holding bits 32 I .. 32 I + 31 (zero outside the array).
uint64_t Word(const uint32_t* A, int N, int I) { return I >= 0 && I < N ? A[I] : 0; }

// Bits Pos .. Pos + 63 as an integer (bits outside the array read as zero), Pos >= -64.
uint64_t Bits64(const uint32_t* A, int N, int Pos) {
  const int I = (Pos + 64) / 32 - 2, S = (Pos + 64) % 32;  // Pos = 32 I + S, 0 <= S < 32
  const uint64_t Low = Word(A, N, I) | Word(A, N, I + 1) << 32;
  return S == 0 ? Low : Low >> S | Word(A, N, I + 2) << (64 - S);
}

// Whether any bit below Pos is set.
bool AnyBelow(const uint32_t* A, int N, int Pos) {
  for (int I = 0; I < N && 32 * I < Pos; ++I) {
    const int Count = Pos - 32 * I;  // bits of this word below Pos
    const uint32_t Mask = Count >= 32 ? 0xFFFFFFFFu : (uint32_t(1) << Count) - 1;
    if (A[I] & Mask) return true;
  }
  return false;
}

int TopBit(const uint32_t* A, int N) {
  for (int I = N - 1; I >= 0; --I)
    if (A[I])
      for (int B = 31;; --B)
        if ((A[I] >> B) & 1u) return 32 * I + B;
  return -1;
}

bool IsZero(const uint32_t* A, int N) {
  for (int I = 0; I < N; ++I)
    if (A[I]) return false;
  return true;
}

// A += B or A -= B, modulo 2^(32 N).
void AddTo(uint32_t* A, const uint32_t* B, int N) {
  uint64_t Carry = 0;
  for (int I = 0; I < N; ++I) {
    Carry += uint64_t(A[I]) + B[I];
    A[I] = uint32_t(Carry);
    Carry >>= 32;
  }
}
void SubFrom(uint32_t* A, const uint32_t* B, int N) {
  uint64_t Borrow = 0;
  for (int I = 0; I < N; ++I) {
    const uint64_t D = uint64_t(A[I]) - B[I] - Borrow;
    A[I] = uint32_t(D);
    Borrow = (D >> 32) & 1u;  // set when the difference wrapped
  }
}

// Out (NA + NB words) = A x B exactly.
void MulWords(uint32_t* Out, const uint32_t* A, int NA, const uint32_t* B, int NB) {
  for (int I = 0; I < NA + NB; ++I) Out[I] = 0;
  for (int I = 0; I < NA; ++I) {
    uint64_t Carry = 0;
    for (int J = 0; J < NB; ++J) {
      // At most (2^32 - 1)^2 + 2 (2^32 - 1) = 2^64 - 1: no overflow.
      Carry += uint64_t(A[I]) * B[J] + Out[I + J];
      Out[I + J] = uint32_t(Carry);
      Carry >>= 32;
    }
    Out[I + NB] = uint32_t(Carry);
  }
}

// Out = A x B truncated to F fraction words, for N-word numbers whose product fits N words.
// Out may be A or B.
void MulFixed(uint32_t* Out, const uint32_t* A, const uint32_t* B, int N, int F) {
  uint32_t Full[2 * MaxWords];
  MulWords(Full, A, N, B, N);
  for (int I = 0; I < N; ++I) Out[I] = Full[I + F];
}

// A = A / D truncated, D > 0.
void DivSmall(uint32_t* A, int N, uint32_t D) {
  uint64_t Rem = 0;
  for (int I = N - 1; I >= 0; --I) {
    const uint64_t Cur = Rem << 32 | A[I];
    A[I] = uint32_t(Cur / D);
    Rem = Cur % D;
  }
}

// A (N words, F of them fraction, nonnegative) rounded to a 64-bit significand, ties to even.
TExtended RoundFixed(const uint32_t* A, int N, int F) {
  const int Top = TopBit(A, N);
  if (Top < 0) return {};
  const int Low = Top - 63;  // the lowest bit the significand keeps
  TExtended R;
  R.Mant = Bits64(A, N, Low);
  R.Exp = int32_t(Low - 32 * F);
  if (Bit(A, N, Low - 1) && (AnyBelow(A, N, Low - 1) || (R.Mant & 1u))) {
    if (++R.Mant == 0) {  // carried out of the top: the next power of two
      R.Mant = uint64_t(1) << 63;
      ++R.Exp;
    }
  }
  return R;
}

// r = |A| - k x pi/2 for |A| = Mant x 2^Exp in [2^-32, 2^64); returns k. Writes r as a
// magnitude R (F fraction words and one integer word, which is zero: |r| < 1) and a sign
// RNeg; R with that sign is within 2 units of the last word of r.
uint64_t Reduce(uint64_t Mant, int Exp, int F, uint32_t* R, bool& RNeg) {
  // k = floor(Mant x T x 2^(Exp - 128) + 1/2) with T = floor(2/pi x 2^128). T is short of 2/pi
  // by less than 2^-128, so the estimate of |A| x 2/pi is short by less than 2^(64+Exp-128)
  // <= 2^-64: k is the nearest integer, or off by one when |A| x 2/pi lies that close to a
  // half, which only makes |r| exceed pi/4 by under 2^-62: the series below still converge.
  const uint32_t M[2] = {uint32_t(Mant), uint32_t(Mant >> 32)};
  const uint32_t T[4] = {TwoOverPi[3], TwoOverPi[2], TwoOverPi[1], TwoOverPi[0]};
  uint32_t P[7] = {};
  MulWords(P, M, 2, T, 4);
  const int Shift = 128 - Exp;  // in [128, 223]: a half is bit Shift - 1 < 224
  uint32_t Half[7] = {};
  Half[(Shift - 1) >> 5] = uint32_t(1) << ((Shift - 1) & 31);
  AddTo(P, Half, 7);
  const uint64_t K = Bits64(P, 7, Shift);

  // |A| exactly, in 3 integer and G = F + 2 fraction words (its lowest bit, 2^Exp with
  // Exp >= -95, is within the 3 fraction words of the first precision).
  const int G = F + 2, N = G + 3;
  uint32_t X[MaxWords] = {};
  for (int I = 0; I < 64; ++I)
    if ((Mant >> I) & 1u) X[(32 * G + Exp + I) >> 5] |= uint32_t(1) << ((32 * G + Exp + I) & 31);

  // k x pi/2, with pi/2 truncated to G fraction words: short by less than 2^(64 - 32 G),
  // which is one unit of the F-word result.
  uint32_t H[MaxWords] = {};
  for (int I = 0; I < G; ++I) H[I] = HalfPiFraction[G - 1 - I];
  H[G] = 1;
  const uint32_t Kw[2] = {uint32_t(K), uint32_t(K >> 32)};
  uint32_t KH[MaxWords + 2];
  MulWords(KH, H, G + 1, Kw, 2);  // G + 3 = N words

  // The difference, whose magnitude is below 1: a set top bit means it is negative.
  SubFrom(X, KH, N);
  RNeg = (X[N - 1] >> 31) != 0;
  if (RNeg) {
    for (int I = 0; I < N; ++I) X[I] = ~X[I];
    const uint32_t One[MaxWords] = {1};
    AddTo(X, One, N);
  }
  // Drop the 2 guard words (truncation, under one more unit).
  for (int I = 0; I <= F; ++I) R[I] = X[I + 2];
  return K;
}

// sin R or cos R for 0 <= R < 1 (F fraction words and one integer word) into V (same
// format); returns the number of terms after the first.
//
// Error, in units of the last word: each term t_n = t_(n-1) x R^2 / d is formed from the
// truncated R^2 (under 1 unit off) by a truncated product and a truncated division. If
// t_(n-1) is within e units, then (|t|, R^2 <= 1) t_n is within (e + 1 + 1)/d + 1 units; t_0
// is exact, so the first term is within 2/d + 1 <= 2 (d >= 2) and every later one within
// 4/d + 1 <= 2 (d >= 6). The terms decrease, so the partial sums never go negative, and the
// series stops when a term truncates to zero: the true term is then within 2 units, and so is
// the alternating tail from it on. With N terms after the first, the sum is within
// 2 (N + 1) units of sin R or cos R.
int Series(const uint32_t* R, int F, bool Cosine, uint32_t* V) {
  const int N = F + 1;
  uint32_t R2[MaxWords], Term[MaxWords];
  MulFixed(R2, R, R, N, F);
  for (int I = 0; I < N; ++I) Term[I] = Cosine ? 0 : R[I];
  if (Cosine) Term[F] = 1;
  for (int I = 0; I < N; ++I) V[I] = Term[I];
  int Count = 0;
  for (uint32_t Index = 1;; ++Index) {  // each division at least halves the term: it ends
    const uint32_t D = Cosine ? (2 * Index - 1) * (2 * Index) : (2 * Index) * (2 * Index + 1);
    MulFixed(Term, Term, R2, N, F);
    DivSmall(Term, N, D);
    if (IsZero(Term, N)) return Count;
    ++Count;
    if (Index & 1u)
      SubFrom(V, Term, N);
    else
      AddTo(V, Term, N);
  }
}

}  // namespace

namespace detail {
// Cos (Sine false) or Sin (Sine true), starting at First fraction words (4, 8, 16 or 32).
// Real arguments almost always settle at 4 words and never need more than 8 in the tests;
// the tests start higher to run the longer precisions too.
TExtended CosSinFrom(TExtended A, bool Sine, int First);
}  // namespace detail

TExtended detail::CosSinFrom(TExtended A, bool Sine, int First) {
  const TExtended One{uint64_t(1) << 63, -63, false};
  if (A.Mant == 0) return Sine ? TExtended{} : One;
  // |A| < 2^(Exp + 64) <= 2^-32. Then |A - sin A| < |A|^3/6 < |A| 2^-64/6 < ulp(A)/6, less
  // than half the gap from A to its neighbour towards zero (half an ulp, or a quarter when
  // A is a power of two), and 1 - cos A < A^2/2 < 2^-65, half the gap from 1 to the value
  // below: sin rounds to A and cos to 1.
  if (A.Exp <= -96) return Sine ? A : One;
  if (A.Exp > 0) return Sine ? TExtended{} : One;  // |A| >= 2^64: the fixed choice above

  if (First < FirstFraction || First > LastFraction) First = FirstFraction;
  for (int F = First;; F = F < LastFraction / 2 ? 2 * F : LastFraction) {
    uint32_t R[MaxWords];
    bool RNeg = false;
    const unsigned Q = unsigned(Reduce(A.Mant, A.Exp, F, R, RNeg) & 3u);
    // sin(r + q pi/2) = sin r, cos r, -sin r, -cos r and cos(r + q pi/2) = cos r, -sin r,
    // -cos r, sin r for q = 0..3; sin is odd in r and in A, cos even.
    const bool Cosine = Sine == ((Q & 1u) != 0);
    bool Neg = Sine ? (Q & 2u) != 0 : ((Q + 1) & 2u) != 0;
    if (!Cosine) Neg = Neg != RNeg;
    if (Sine) Neg = Neg != A.Neg;

    const int N = F + 1;
    uint32_t V[MaxWords];
    const int Terms = Series(R, F, Cosine, V);

    // Error bound in units of the last word: 2 from the reduction (sin and cos change by no
    // more than their argument), 2 (Terms + 1) from the series.
    const uint32_t Bound[MaxWords] = {uint32_t(2 + 2 * (Terms + 1))};
    uint32_t Low[MaxWords], High[MaxWords];
    for (int I = 0; I < N; ++I) Low[I] = High[I] = V[I];
    SubFrom(Low, Bound, N);
    AddTo(High, Bound, N);
    TExtended Result;
    if (F < LastFraction) {
      // V - B < 0 (top bit set after the wrap) means even the sign is uncertain.
      if (Low[N - 1] >> 31) continue;
      Result = RoundFixed(Low, N, F);
      const TExtended H = RoundFixed(High, N, F);
      if (Result.Mant != H.Mant || Result.Exp != H.Exp) continue;
    } else {
      // At the last precision the value would have to lie within about 2^-1000 of a halfway
      // point to leave doubt; no such argument is known, and V rounded is returned.
      Result = RoundFixed(V, N, F);
    }
    Result.Neg = Neg && Result.Mant != 0;
    return Result;
  }
}

TExtended Pi() {
  uint32_t H[TableWords + 1];
  for (int I = 0; I < TableWords; ++I) H[I] = HalfPiFraction[TableWords - 1 - I];
  H[TableWords] = 1;
  TExtended P = RoundFixed(H, TableWords + 1, TableWords);  // pi/2, then doubled exactly
  ++P.Exp;
  return P;
}

TExtended Cos(TExtended A) { return detail::CosSinFrom(A, false, FirstFraction); }
TExtended Sin(TExtended A) { return detail::CosSinFrom(A, true, FirstFraction); }

}  // namespace lumora::ext
