// lumora primitives: Line, Circle (thin and thick), Rectangle, FillRectangle, on any
// canvas. Relies on the draw target (target.h) and the span blends.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <initializer_list>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "lumora/internal/extended.h"
#include "lumora/internal/target.h"
#include "lumora/lumora.h"

namespace lumora {

namespace {

using detail::TTarget;

// Coordinates, radii and widths are taken into 64 bits on entry: every sum, difference
// and square below then fits (squares of radii up to 1.5 x 2^31 in unsigned 64 bits).

// An inclusive range of integers; empty when Lo > Hi.
struct TRange {
  int64_t Lo, Hi;
};

TRange Intersect(TRange A, TRange B) { return {std::max(A.Lo, B.Lo), std::min(A.Hi, B.Hi)}; }

// The union of A and B as at most two disjoint ranges, lower one first; returns how many.
int Union(TRange A, TRange B, TRange Out[2]) {
  const bool AEmpty = A.Lo > A.Hi, BEmpty = B.Lo > B.Hi;
  if (AEmpty && BEmpty) return 0;
  if (AEmpty || BEmpty) {
    Out[0] = AEmpty ? B : A;
    return 1;
  }
  if (B.Lo < A.Lo) std::swap(A, B);
  if (B.Lo <= A.Hi + 1) {
    Out[0] = {A.Lo, std::max(A.Hi, B.Hi)};
    return 1;
  }
  Out[0] = A;
  Out[1] = B;
  return 2;
}

int64_t Sgn(int64_t A) { return A > 0 ? 1 : (A < 0 ? -1 : 0); }

// The square root of M rounded to the nearest integer, exactly. The double root is within
// one of the answer (M may lose bits on conversion); the integer test settles it: K is the
// rounded root exactly when K^2 - K < M <= K^2 + K (a root is never a half). The squares
// formed here stay below 9 x 2^60, so K^2 + K fits.
uint64_t RoundSqrt(uint64_t M) {
  uint64_t K = uint64_t(std::llrint(std::sqrt(double(M))));
  while (K * K + K < M) ++K;
  while (K > 0 && K * K - K >= M) --K;
  return K;
}

// floor((A x B + Add) / D) for a product of up to 128 bits and A x B + Add >= 0, or
// Saturated when the quotient does not fit 64 bits (D > 0).
uint64_t MulAddDiv(uint64_t A, uint64_t B, int64_t Add, uint64_t D, uint64_t Saturated,
                   uint64_t* Rem = nullptr) {
  ext::TU128 P = ext::Mul64(A, B);
  if (Add >= 0) {
    P.Low += uint64_t(Add);
    if (P.Low < uint64_t(Add)) ++P.High;
  } else {
    const uint64_t Sub = uint64_t(0) - uint64_t(Add);
    if (P.Low < Sub) --P.High;
    P.Low -= Sub;
  }
  if (P.High >= D) return Saturated;
  uint64_t R;
  const uint64_t Q = ext::Div128(P.High, P.Low, D, R);
  if (Rem != nullptr) *Rem = R;
  return Q;
}

// The error-accumulating line walk from (X1, Y1) to (X2, Y2), both ends included, run
// only over the steps whose pixel lies inside ViewPort. The full walk moves one step
// along the major axis each time and makes a diagonal move whenever the accumulator
// S = M div 2 + k N reaches M, so after k steps it has made floor((M div 2 + k N) / M)
// diagonal moves and S = (M div 2 + k N) mod M. Both coordinates are monotone in k, so
// the steps inside the viewport form one interval; the walk jumps to its start.
void WalkLine(const TTarget& T, int64_t X1, int64_t Y1, int64_t X2, int64_t Y2) {
  if (T.Empty()) return;
  const TViewPort V = T.Clip;
  const int64_t U = X2 - X1, W = Y2 - Y1;
  int64_t M = U < 0 ? -U : U, N = W < 0 ? -W : W;
  const bool XMajor = M > N;  // otherwise Y is major: steep, diagonal or a single point
  if (!XMajor) std::swap(M, N);
  const int64_t Maj0 = XMajor ? X1 : Y1, Min0 = XMajor ? Y1 : X1;
  const int64_t MajStep = Sgn(XMajor ? U : W), MinStep = Sgn(XMajor ? W : U);
  const TRange MajClip = XMajor ? TRange{V.X1, V.X2} : TRange{V.Y1, V.Y2};
  const TRange MinClip = XMajor ? TRange{V.Y1, V.Y2} : TRange{V.X1, V.X2};
  const int64_t H = M / 2;

  // Steps whose major coordinate Maj0 + k MajStep is inside.
  TRange K{0, M};
  if (MajStep > 0) {
    K = Intersect(K, {MajClip.Lo - Maj0, MajClip.Hi - Maj0});
  } else if (MajStep < 0) {
    K = Intersect(K, {Maj0 - MajClip.Hi, Maj0 - MajClip.Lo});
  } else if (Maj0 < MajClip.Lo || Maj0 > MajClip.Hi) {
    return;
  }
  if (K.Lo > K.Hi) return;

  // Steps whose minor coordinate Min0 + D_k MinStep is inside, D_k the diagonal count.
  if (MinStep == 0) {
    if (Min0 < MinClip.Lo || Min0 > MinClip.Hi) return;
  } else {  // N > 0, hence M > 0
    const int64_t DLo = MinStep > 0 ? MinClip.Lo - Min0 : Min0 - MinClip.Hi;
    const int64_t DHi = MinStep > 0 ? MinClip.Hi - Min0 : Min0 - MinClip.Lo;
    if (DHi < 0) return;
    // All the terms below are non-negative (DLo >= 1, H = M div 2 < M) and products of
    // two numbers below 2^34, formed in 128 bits.
    if (DLo > 0) {  // first k with H + k N >= DLo M: ceil((DLo M - H) / N)
      const uint64_t First = MulAddDiv(uint64_t(DLo), uint64_t(M), N - 1 - H,
                                       uint64_t(N), UINT64_MAX);
      if (First > uint64_t(K.Hi)) return;
      K.Lo = std::max<int64_t>(K.Lo, int64_t(First));
    }
    // last k with H + k N <= (DHi + 1) M - 1
    const uint64_t Last = MulAddDiv(uint64_t(DHi + 1), uint64_t(M), -1 - H, uint64_t(N),
                                    UINT64_MAX);
    if (Last < uint64_t(K.Hi)) K.Hi = int64_t(Last);
  }
  if (K.Lo > K.Hi) return;

  // The accumulator and the diagonal moves before step K.Lo: (H + K.Lo x N) divided by M,
  // whose quotient is at most N.
  int64_t S = 0, Diagonals = 0;
  if (M > 0) {
    uint64_t Rem = 0;
    Diagonals = int64_t(MulAddDiv(uint64_t(K.Lo), uint64_t(N), H, uint64_t(M), 0, &Rem));
    S = int64_t(Rem);
  }
  const int64_t Maj = Maj0 + K.Lo * MajStep;
  const int64_t Min = Min0 + Diagonals * MinStep;
  const int64_t X = XMajor ? Maj : Min, Y = XMajor ? Min : Maj;
  if (XMajor && N == 0) {  // a horizontal line: one span, each pixel put once as by the walk
    const int64_t Count = K.Hi - K.Lo + 1;
    const int64_t First = MajStep > 0 ? X : X - (Count - 1);
    detail::ColorSpan(T.At(First, Y), int32_t(Count), T.Color);
    return;
  }
  const ptrdiff_t XStep = 4, YStep = ptrdiff_t(T.Stride);
  const ptrdiff_t MajBytes = MajStep * (XMajor ? XStep : YStep);
  const ptrdiff_t MinBytes = MinStep * (XMajor ? YStep : XStep);
  // Every step of K.Lo..K.Hi lies inside the viewport: walk the buffer with a running
  // offset (not a pointer: after the last pixel it may point outside the buffer) and put
  // the colour without further clip tests.
  ptrdiff_t Offset = ptrdiff_t(T.Offset(X, Y));
  uint8_t* const Screen = T.Pixels;
  const TColor C = T.Color;
  // The pixel about AHEAD steps on is asked for early: on a large canvas each step of a
  // steep line is another row, and its cache line (and page) would otherwise be waited for
  // one at a time. The address is a hint only: it is formed in unsigned numbers, which
  // wrap, since it may lie past the line's end and a stride may be of any size.
  constexpr uint64_t AHEAD = 16;
  const uint64_t Ahead = AHEAD * uint64_t(MajBytes) + (M > 0 ? AHEAD * uint64_t(N) / uint64_t(M) : 0) * uint64_t(MinBytes);
  const uint64_t Base = reinterpret_cast<uintptr_t>(Screen);
  for (int64_t I = K.Lo;; ++I) {
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(reinterpret_cast<const void*>(uintptr_t(Base + uint64_t(Offset) + Ahead)), 1);
#endif
    detail::PutPixel(Screen + Offset, &C.B, C.Alpha);
    // No step past the last pixel: on a canvas of one row the stride may be any size, and
    // one more step could leave the offset's range.
    if (I == K.Hi) break;
    S += N;
    if (S >= M) {
      S -= M;
      Offset += MinBytes;
    }
    Offset += MajBytes;
  }
}

// Puts the colour over the pixels First..Last of row Y (inside the clip), clipped.
void Span(const TTarget& T, int64_t Y, int64_t First, int64_t Last) {
  const int64_t X1 = std::max<int64_t>(First, T.Clip.X1);
  const int64_t X2 = std::min<int64_t>(Last, T.Clip.X2);
  if (X1 > X2) return;
  detail::ColorSpan(T.At(X1, Y), int32_t(X2 - X1 + 1), T.Color);
}

// The colour put over four pixels, as PutPixel on each in turn. Distinct pixels are put
// together: an opaque colour by one 4-byte store each that keeps the fourth byte, a
// translucent one (on x86) by one SSE2 blend of the four, dividing by 255 as the span
// kernels do ((t x 257) >> 16 for t = Alpha x old + (255 - Alpha) x colour + 128; the
// fourth byte weighted 255 with 255 added, which gives it back). Pixels that may coincide
// are put one after another.
class TQuadPut {
 public:
  explicit TQuadPut(TColor C) : C_(C), Colour_(uint32_t(C.B) | uint32_t(C.G) << 8 | uint32_t(C.R) << 16) {
#if defined(__SSE2__)
    const uint32_t Inv = 255u - C.Alpha;
    const short A = short(C.Alpha);
    const short TB = short(Inv * C.B + 128u), TG = short(Inv * C.G + 128u), TR = short(Inv * C.R + 128u);
    Weight_ = _mm_setr_epi16(A, A, A, 255, A, A, A, 255);
    Term_ = _mm_setr_epi16(TB, TG, TR, 255, TB, TG, TR, 255);
#endif
  }
  void operator()(uint8_t* P0, uint8_t* P1, uint8_t* P2, uint8_t* P3, bool Distinct) const {
    if (!Distinct) {
      for (uint8_t* P : {P0, P1, P2, P3}) detail::PutPixel(P, &C_.B, C_.Alpha);
      return;
    }
    if (C_.Alpha == 0) {
      for (uint8_t* P : {P0, P1, P2, P3}) {
        uint32_t V;
        std::memcpy(&V, P, 4);
        V = (V & 0xFF000000u) | Colour_;
        std::memcpy(P, &V, 4);
      }
      return;
    }
#if defined(__SSE2__)
    uint32_t V[4];
    std::memcpy(&V[0], P0, 4);
    std::memcpy(&V[1], P1, 4);
    std::memcpy(&V[2], P2, 4);
    std::memcpy(&V[3], P3, 4);
    const __m128i Old = _mm_loadu_si128(reinterpret_cast<const __m128i*>(V));
    const __m128i Zero = _mm_setzero_si128(), M257 = _mm_set1_epi16(257);
    const __m128i Lo =
        _mm_mulhi_epu16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(Old, Zero), Weight_), Term_), M257);
    const __m128i Hi =
        _mm_mulhi_epu16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(Old, Zero), Weight_), Term_), M257);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(V), _mm_packus_epi16(Lo, Hi));
    std::memcpy(P0, &V[0], 4);
    std::memcpy(P1, &V[1], 4);
    std::memcpy(P2, &V[2], 4);
    std::memcpy(P3, &V[3], 4);
#else
    for (uint8_t* P : {P0, P1, P2, P3}) detail::PutPixel(P, &C_.B, C_.Alpha);
#endif
  }

 private:
  TColor C_;
  uint32_t Colour_;
#if defined(__SSE2__)
  __m128i Weight_, Term_;
#endif
};

// The thin circle of radius R >= 0. Row offset Y plots, for x from the previous row's
// half-width down to this row's, the four mirrored pixels. Only row offsets with a
// plotted row inside the viewport are walked, and in them only the x-offsets with a
// plotted column inside; the run of the first walked row starts from the previous
// row's half-width, computed directly.
void ThinCircle(const TTarget& T, int64_t XS, int64_t YS, int64_t R) {
  if (T.Empty()) return;
  const TViewPort V = T.Clip;
  const uint64_t RR = uint64_t(R) * uint64_t(R);
  if (XS - R >= V.X1 && XS + R <= V.X2 && YS - R >= V.Y1 && YS + R <= V.Y2) {
    // Wholly inside the viewport: the same walk, with the four mirrored pixels put at
    // offsets from the centre and no clip tests. The half-width, sqrt(R^2 - Y^2) rounded to
    // the nearest integer (a root of an integer is never a half, so no tie arises), is
    // followed from row to row without a root: K is the rounded root of M exactly when
    // K^2 - K < M <= K^2 + K. From row Y - 1 to row Y, M = R^2 - Y^2 falls by 2Y - 1; the
    // upper bound stays true (M falls, and stepping K down to K - 1 makes it K^2 - K >= M),
    // so K steps down while Slack = M - (K^2 - K) is not positive, each step adding
    // 2 (K - 1) to Slack. At row 0, K = R and Slack = R.
    uint8_t* const Centre = T.At(XS, YS);
    const ptrdiff_t Stride = ptrdiff_t(T.Stride);
    const TQuadPut Put(T.Color);
    int64_t X = R, Slack = R, LastX = R;
    for (int64_t Y = 0; Y <= R; ++Y) {
      if (Y > 0) Slack -= 2 * Y - 1;
      while (Slack <= 0 && X > 0) {
        Slack += 2 * (X - 1);
        --X;
      }
      // Row offsets +Y and -Y, x-offsets X .. LastX on both sides. Each pixel is put as
      // often as by one pixel at a time (twice on the axes, where two of the four
      // coincide); the order does not matter, every put being the same function of the
      // pixel. Long runs (the flat top and bottom) are four spans.
      const ptrdiff_t Down = ptrdiff_t(Y) * Stride;
      const int64_t Count = LastX - X + 1;
      if (Count >= 8) {
        for (uint8_t* Row : {Centre + Down, Centre - Down}) {
          detail::ColorSpan(Row + ptrdiff_t(X) * 4, int32_t(Count), T.Color);
          detail::ColorSpan(Row - ptrdiff_t(LastX) * 4, int32_t(Count), T.Color);
        }
      } else {
        for (int64_t XO = LastX; XO >= X; --XO) {
          const ptrdiff_t Right = ptrdiff_t(XO) * 4;
          Put(Centre + Down + Right, Centre + Down - Right, Centre - Down - Right, Centre - Down + Right,
              Y > 0 && XO > 0);
        }
      }
      LastX = X;
    }
    return;
  }
  const TRange All{0, R};
  TRange Rows[2];
  const int RowParts = Union(Intersect(All, {V.Y1 - YS, V.Y2 - YS}),
                             Intersect(All, {YS - V.Y2, YS - V.Y1}), Rows);
  const TRange ColsRight{V.X1 - XS, V.X2 - XS}, ColsLeft{XS - V.X2, XS - V.X1};
  for (int P = 0; P < RowParts; ++P) {
    const int64_t YFirst = Rows[P].Lo;
    int64_t LastX = YFirst == 0 ? R : int64_t(RoundSqrt(RR - uint64_t(YFirst - 1) * uint64_t(YFirst - 1)));
    for (int64_t Y = YFirst; Y <= Rows[P].Hi; ++Y) {
      const int64_t X = int64_t(RoundSqrt(RR - uint64_t(Y) * uint64_t(Y)));
      const TRange Run{X, LastX};
      TRange Cols[2];
      const int ColParts = Union(Intersect(Run, ColsRight), Intersect(Run, ColsLeft), Cols);
      for (int C = ColParts - 1; C >= 0; --C) {  // descending x, as the run goes
        for (int64_t XO = Cols[C].Hi; XO >= Cols[C].Lo; --XO) {
          detail::PlotPixel(T, XS + XO, YS + Y);
          detail::PlotPixel(T, XS - XO, YS + Y);
          detail::PlotPixel(T, XS - XO, YS - Y);
          detail::PlotPixel(T, XS + XO, YS - Y);
        }
      }
      LastX = X;
    }
  }
}

// True when each of the Count pixels at Row holds Value.
bool RowIsUniform(const uint8_t* Row, int32_t Count, uint32_t Value) {
  for (int32_t I = 1; I < Count; ++I) {
    uint32_t P;
    std::memcpy(&P, Row + size_t(I) * 4, 4);
    if (P != Value) return false;
  }
  return true;
}

// Stores Value into Count pixels from Dst. On x86-64 with the string store, which writes
// whole cache lines without reading them first (as memset does for large sizes); a store
// run larger than the caches goes around them with streaming stores, which neither read
// the lines nor push the rest of the caches out.
void FillPixels(uint8_t* Dst, size_t Count, uint32_t Value) {
#if defined(__x86_64__) && defined(__GNUC__)
  constexpr size_t STREAM_BYTES = size_t(16) << 20;
  if (Count * 4 >= STREAM_BYTES && reinterpret_cast<uintptr_t>(Dst) % 4 == 0) {
    for (; reinterpret_cast<uintptr_t>(Dst) % 16 != 0; Dst += 4, --Count) std::memcpy(Dst, &Value, 4);
    const __m128i V = _mm_set1_epi32(int32_t(Value));
    for (; Count >= 16; Count -= 16, Dst += 64) {
      _mm_stream_si128(reinterpret_cast<__m128i*>(Dst), V);
      _mm_stream_si128(reinterpret_cast<__m128i*>(Dst + 16), V);
      _mm_stream_si128(reinterpret_cast<__m128i*>(Dst + 32), V);
      _mm_stream_si128(reinterpret_cast<__m128i*>(Dst + 48), V);
    }
    _mm_sfence();
  }
  __asm__ volatile("rep stosl" : "+D"(Dst), "+c"(Count) : "a"(Value) : "memory");
#else
  for (size_t I = 0; I < Count; ++I) std::memcpy(Dst + I * 4, &Value, 4);
#endif
}

}  // namespace

void Line(TCanvas& Canvas, int32_t X1, int32_t Y1, int32_t X2, int32_t Y2) {
  WalkLine(detail::TargetOf(Canvas), X1, Y1, X2, Y2);
}

void Circle(TCanvas& Canvas, int32_t XS, int32_t YS, int32_t R) {
  ThinCircle(detail::TargetOf(Canvas), XS, YS, R < 0 ? -int64_t(R) : int64_t(R));
}

// The ring is drawn row by row between the outer circle of radius R + Half2 and the inner
// circle of radius R - Half1; a row that misses the inner circle is one span.
void Circle(TCanvas& Canvas, int32_t XS, int32_t YS, int32_t R, int32_t Line_Width) {
  if (Line_Width == 1) Circle(Canvas, XS, YS, R);
  const TTarget T = detail::TargetOf(Canvas);
  if (T.Empty()) return;
  const int64_t Half1 = (int64_t(Line_Width) - 1) / 2, Half2 = int64_t(Line_Width) / 2;
  const int64_t Outer = int64_t(R) + Half2, Inner = int64_t(R) - Half1;
  if (Outer < 0) return;
  const uint64_t OuterSq = uint64_t(Outer) * uint64_t(Outer);
  const uint64_t InnerSq = Inner > 0 ? uint64_t(Inner) * uint64_t(Inner) : 0;
  const TRange Rows = Intersect({-Outer, Outer}, {T.Clip.Y1 - int64_t(YS), T.Clip.Y2 - int64_t(YS)});
  for (int64_t DY = Rows.Lo; DY <= Rows.Hi; ++DY) {
    const int64_t Y = YS + DY;
    const int64_t AbsDY = DY < 0 ? -DY : DY;
    const uint64_t DY2 = uint64_t(AbsDY) * uint64_t(AbsDY);
    const int64_t Chord1 = int64_t(RoundSqrt(OuterSq - DY2));
    if (AbsDY < Inner) {
      const int64_t Chord2 = int64_t(RoundSqrt(InnerSq - DY2));
      Span(T, Y, XS - Chord1, XS - Chord2);
      Span(T, Y, XS + Chord2, XS + Chord1);
    } else {
      Span(T, Y, XS - Chord1, XS + Chord1);
    }
  }
}

// Half1 = (W - 1) div 2 and Half2 = W div 2 (truncating) put a band's extra line on the
// positive side for an even width; a negative width gives empty band loops. Lines of a
// band that lie wholly outside the viewport draw nothing and are not walked.
void Rectangle(TCanvas& Canvas, int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t Line_Width) {
  const TTarget T = detail::TargetOf(Canvas);
  if (T.Empty()) return;
  const TViewPort V = T.Clip;
  const int64_t Half1 = (int64_t(Line_Width) - 1) / 2, Half2 = int64_t(Line_Width) / 2;
  const int64_t Left = int64_t(X1) - Half1, Right = int64_t(X2) + Half2;
  const TRange VRows{V.Y1, V.Y2}, VCols{V.X1, V.X2};
  const TRange Top = Intersect({Y1 - Half1, Y1 + Half2}, VRows);
  for (int64_t I = Top.Lo; I <= Top.Hi; ++I) WalkLine(T, Left, I, Right, I);
  const TRange LeftBand = Intersect({X1 - Half1, X1 + Half2}, VCols);
  for (int64_t I = LeftBand.Lo; I <= LeftBand.Hi; ++I) WalkLine(T, I, Y1, I, Y2);
  const TRange Bottom = Intersect({Y2 - Half1, Y2 + Half2}, VRows);
  for (int64_t I = Bottom.Lo; I <= Bottom.Hi; ++I) WalkLine(T, Left, I, Right, I);
  const TRange RightBand = Intersect({X2 - Half1, X2 + Half2}, VCols);
  for (int64_t I = RightBand.Lo; I <= RightBand.Hi; ++I) WalkLine(T, I, Y2, I, Y1);
}

// An opaque fill writes the first row's colour bytes and copies that row down as whole
// pixels, so the rows below also take the first row's fourth bytes.
void FillRectangle(TCanvas& Canvas, int32_t X1, int32_t Y1, int32_t X2, int32_t Y2) {
  const TTarget T = detail::TargetOf(Canvas);
  if (X1 > X2 || Y1 > Y2 || T.Empty()) return;
  const TViewPort V = T.Clip;
  if (X1 > V.X2 || X2 < V.X1 || Y1 > V.Y2 || Y2 < V.Y1) return;
  const int32_t CX1 = std::max(X1, V.X1), CX2 = std::min(X2, V.X2);
  const int32_t CY1 = std::max(Y1, V.Y1), CY2 = std::min(Y2, V.Y2);
  const int32_t Count = CX2 - CX1 + 1;
  const ptrdiff_t Stride = ptrdiff_t(T.Stride);
  uint8_t* Row = T.At(CX1, CY1);
  detail::ColorSpan(Row, Count, T.Color);
  if (T.Color.Alpha == 0) {
    // Usually the first row is one pixel value over and over (its fourth bytes were all
    // alike): then the rows below are stores of that value, without reading anything,
    // and a fill of whole rows without padding is one store run over all its rows.
    uint32_t Value;
    std::memcpy(&Value, Row, 4);
    if (RowIsUniform(Row, Count, Value)) {
      if (int64_t(Count) * 4 == T.Stride) {
        FillPixels(Row + Stride, size_t(CY2 - CY1) * size_t(Count), Value);
      } else {
        for (int32_t Y = CY1 + 1; Y <= CY2; ++Y)
          FillPixels(Row + ptrdiff_t(Y - CY1) * Stride, size_t(Count), Value);
      }
      return;
    }
    const size_t Size = size_t(Count) * 4;
    uint8_t* Dst = Row;
    for (int32_t Y = CY1 + 1; Y <= CY2; ++Y) {
      Dst += Stride;
      std::memcpy(Dst, Row, Size);
    }
  } else if (int64_t(Count) * 4 == T.Stride) {
    // Whole rows without padding: the rows below are one span (a canvas holds at most
    // 2^30 pixels, so the count fits).
    detail::ColorSpan(Row + Stride, int32_t(int64_t(Count) * (CY2 - CY1)), T.Color);
  } else {
    for (int32_t Y = CY1 + 1; Y <= CY2; ++Y) {
      Row += Stride;
      detail::ColorSpan(Row, Count, T.Color);
    }
  }
}

// The default canvas: each global call draws on the back buffer with Color and ViewPort.
void Line(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2) {
  TCanvas C = detail::ScreenCanvas();
  Line(C, X1, Y1, X2, Y2);
}
void Circle(int32_t XS, int32_t YS, int32_t R) {
  TCanvas C = detail::ScreenCanvas();
  Circle(C, XS, YS, R);
}
void Circle(int32_t XS, int32_t YS, int32_t R, int32_t Line_Width) {
  TCanvas C = detail::ScreenCanvas();
  Circle(C, XS, YS, R, Line_Width);
}
void Rectangle(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t Line_Width) {
  TCanvas C = detail::ScreenCanvas();
  Rectangle(C, X1, Y1, X2, Y2, Line_Width);
}
void FillRectangle(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2) {
  TCanvas C = detail::ScreenCanvas();
  FillRectangle(C, X1, Y1, X2, Y2);
}

}  // namespace lumora
