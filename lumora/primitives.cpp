// lumora primitives: Line, Circle (thin and thick), Rectangle, FillRectangle.
// Relies on the drawing state and the blend of the display core (blend.h).
#include <algorithm>
#include <cmath>
#include <cstring>

#include "lumora/internal/blend.h"
#include "lumora/lumora.h"

namespace lumora {

namespace {

__extension__ typedef __int128 i128;

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

// Pixel for 64-bit coordinates: clip, then put Color (callers have checked that there is
// a back buffer).
inline void Plot(int64_t X, int64_t Y) {
  if (X < ViewPort.X1 || X > ViewPort.X2 || Y < ViewPort.Y1 || Y > ViewPort.Y2) return;
  detail::PutPixel(VirtualScreen + detail::ScreenOffset(int32_t(X), int32_t(Y)), &Color.B,
                   Color.Alpha);
}

// The error-accumulating line walk from (X1, Y1) to (X2, Y2), both ends included, run
// only over the steps whose pixel lies inside ViewPort. The full walk moves one step
// along the major axis each time and makes a diagonal move whenever the accumulator
// S = M div 2 + k N reaches M, so after k steps it has made floor((M div 2 + k N) / M)
// diagonal moves and S = (M div 2 + k N) mod M. Both coordinates are monotone in k, so
// the steps inside the viewport form one interval; the walk jumps to its start.
void WalkLine(int64_t X1, int64_t Y1, int64_t X2, int64_t Y2) {
  const TViewPort V = ViewPort;
  if (V.X1 > V.X2 || V.Y1 > V.Y2 || VirtualScreen == nullptr) return;
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
    if (DLo > 0) {  // first k with H + k N >= DLo M
      const i128 Need = i128(DLo) * M - H;
      const i128 First = (Need + N - 1) / N;
      if (First > K.Hi) return;
      K.Lo = std::max<int64_t>(K.Lo, int64_t(First));
    }
    // last k with H + k N <= (DHi + 1) M - 1
    const i128 Last = (i128(DHi + 1) * M - 1 - H) / N;
    if (Last < K.Hi) K.Hi = int64_t(Last);
  }
  if (K.Lo > K.Hi) return;

  // The accumulator and the diagonal moves before step K.Lo; 128-bit division only where
  // H + K.Lo x N does not fit 64 bits.
  int64_t S = 0, Diagonals = 0;
  if (M > 0) {
    int64_t T;
    if (!__builtin_mul_overflow(K.Lo, N, &T) && !__builtin_add_overflow(T, H, &T)) {
      S = T % M;
      Diagonals = T / M;
    } else {
      const i128 Wide = H + i128(K.Lo) * N;
      S = int64_t(Wide % M);
      Diagonals = int64_t(Wide / M);
    }
  }
  const int64_t Maj = Maj0 + K.Lo * MajStep;
  const int64_t Min = Min0 + Diagonals * MinStep;
  const int64_t X = XMajor ? Maj : Min, Y = XMajor ? Min : Maj;
  if (XMajor && N == 0) {  // a horizontal line: one span, each pixel put once as by the walk
    const int64_t Count = K.Hi - K.Lo + 1;
    const int64_t First = MajStep > 0 ? X : X - (Count - 1);
    detail::ColorSpan(VirtualScreen + detail::ScreenOffset(int32_t(First), int32_t(Y)),
                      int32_t(Count), Color);
    return;
  }
  const ptrdiff_t XStep = 4, YStep = ROW_BYTES;
  const ptrdiff_t MajBytes = MajStep * (XMajor ? XStep : YStep);
  const ptrdiff_t MinBytes = MinStep * (XMajor ? YStep : XStep);
  // Every step of K.Lo..K.Hi lies inside the viewport: walk the buffer with a running
  // offset (not a pointer: after the last pixel it may point outside the buffer) and put
  // the colour without further clip tests.
  ptrdiff_t Offset = ptrdiff_t(detail::ScreenOffset(int32_t(X), int32_t(Y)));
  uint8_t* const Screen = VirtualScreen;
  const TColor C = Color;
  for (int64_t I = K.Lo; I <= K.Hi; ++I) {
    detail::PutPixel(Screen + Offset, &C.B, C.Alpha);
    S += N;
    if (S >= M) {
      S -= M;
      Offset += MinBytes;
    }
    Offset += MajBytes;
  }
}

// Puts Color over the pixels First..Last of row Y, clipped to ViewPort.
void Span(int64_t Y, int64_t First, int64_t Last) {
  const int64_t X1 = std::max<int64_t>(First, ViewPort.X1);
  const int64_t X2 = std::min<int64_t>(Last, ViewPort.X2);
  if (X1 > X2) return;
  detail::ColorSpan(VirtualScreen + detail::ScreenOffset(int32_t(X1), int32_t(Y)),
                    int32_t(X2 - X1 + 1), Color);
}

// The thin circle of radius R >= 0. Row offset Y plots, for x from the previous row's
// half-width down to this row's, the four mirrored pixels. Only row offsets with a
// plotted row inside the viewport are walked, and in them only the x-offsets with a
// plotted column inside; the run of the first walked row starts from the previous
// row's half-width, computed directly.
void ThinCircle(int64_t XS, int64_t YS, int64_t R) {
  const TViewPort V = ViewPort;
  if (V.X1 > V.X2 || V.Y1 > V.Y2 || VirtualScreen == nullptr) return;
  const uint64_t RR = uint64_t(R) * uint64_t(R);
  if (XS - R >= V.X1 && XS + R <= V.X2 && YS - R >= V.Y1 && YS + R <= V.Y2) {
    // Wholly inside the viewport: the same walk, with the four mirrored pixels put at
    // offsets from the centre and no clip tests.
    uint8_t* const Centre = VirtualScreen + detail::ScreenOffset(int32_t(XS), int32_t(YS));
    const TColor C = Color;
    int64_t LastX = R;
    for (int64_t Y = 0; Y <= R; ++Y) {
      const int64_t X = int64_t(RoundSqrt(RR - uint64_t(Y) * uint64_t(Y)));
      const ptrdiff_t Down = ptrdiff_t(Y) * ROW_BYTES;
      for (int64_t XO = LastX; XO >= X; --XO) {
        const ptrdiff_t Right = ptrdiff_t(XO) * 4;
        detail::PutPixel(Centre + Down + Right, &C.B, C.Alpha);
        detail::PutPixel(Centre + Down - Right, &C.B, C.Alpha);
        detail::PutPixel(Centre - Down - Right, &C.B, C.Alpha);
        detail::PutPixel(Centre - Down + Right, &C.B, C.Alpha);
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
          Plot(XS + XO, YS + Y);
          Plot(XS - XO, YS + Y);
          Plot(XS - XO, YS - Y);
          Plot(XS + XO, YS - Y);
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
// whole cache lines without reading them first (as memset does for large sizes).
void FillPixels(uint8_t* Dst, size_t Count, uint32_t Value) {
#if defined(__x86_64__) && defined(__GNUC__)
  __asm__ volatile("rep stosl" : "+D"(Dst), "+c"(Count) : "a"(Value) : "memory");
#else
  for (size_t I = 0; I < Count; ++I) std::memcpy(Dst + I * 4, &Value, 4);
#endif
}

}  // namespace

void Line(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2) { WalkLine(X1, Y1, X2, Y2); }

void Circle(int32_t XS, int32_t YS, int32_t R) {
  ThinCircle(XS, YS, R < 0 ? -int64_t(R) : int64_t(R));
}

// The ring is drawn row by row between the outer circle of radius R + Half2 and the inner
// circle of radius R - Half1; a row that misses the inner circle is one span.
void Circle(int32_t XS, int32_t YS, int32_t R, int32_t Line_Width) {
  if (Line_Width == 1) Circle(XS, YS, R);
  const TViewPort V = ViewPort;
  if (V.X1 > V.X2 || V.Y1 > V.Y2 || VirtualScreen == nullptr) return;
  const int64_t Half1 = (int64_t(Line_Width) - 1) / 2, Half2 = int64_t(Line_Width) / 2;
  const int64_t Outer = int64_t(R) + Half2, Inner = int64_t(R) - Half1;
  if (Outer < 0) return;
  const uint64_t OuterSq = uint64_t(Outer) * uint64_t(Outer);
  const uint64_t InnerSq = Inner > 0 ? uint64_t(Inner) * uint64_t(Inner) : 0;
  const TRange Rows = Intersect({-Outer, Outer}, {V.Y1 - int64_t(YS), V.Y2 - int64_t(YS)});
  for (int64_t DY = Rows.Lo; DY <= Rows.Hi; ++DY) {
    const int64_t Y = YS + DY;
    const int64_t AbsDY = DY < 0 ? -DY : DY;
    const uint64_t DY2 = uint64_t(AbsDY) * uint64_t(AbsDY);
    const int64_t Chord1 = int64_t(RoundSqrt(OuterSq - DY2));
    if (AbsDY < Inner) {
      const int64_t Chord2 = int64_t(RoundSqrt(InnerSq - DY2));
      Span(Y, XS - Chord1, XS - Chord2);
      Span(Y, XS + Chord2, XS + Chord1);
    } else {
      Span(Y, XS - Chord1, XS + Chord1);
    }
  }
}

// Half1 = (W - 1) div 2 and Half2 = W div 2 (truncating) put a band's extra line on the
// positive side for an even width; a negative width gives empty band loops. Lines of a
// band that lie wholly outside the viewport draw nothing and are not walked.
void Rectangle(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t Line_Width) {
  const TViewPort V = ViewPort;
  const int64_t Half1 = (int64_t(Line_Width) - 1) / 2, Half2 = int64_t(Line_Width) / 2;
  const int64_t Left = int64_t(X1) - Half1, Right = int64_t(X2) + Half2;
  const TRange VRows{V.Y1, V.Y2}, VCols{V.X1, V.X2};
  const TRange Top = Intersect({Y1 - Half1, Y1 + Half2}, VRows);
  for (int64_t I = Top.Lo; I <= Top.Hi; ++I) WalkLine(Left, I, Right, I);
  const TRange LeftBand = Intersect({X1 - Half1, X1 + Half2}, VCols);
  for (int64_t I = LeftBand.Lo; I <= LeftBand.Hi; ++I) WalkLine(I, Y1, I, Y2);
  const TRange Bottom = Intersect({Y2 - Half1, Y2 + Half2}, VRows);
  for (int64_t I = Bottom.Lo; I <= Bottom.Hi; ++I) WalkLine(Left, I, Right, I);
  const TRange RightBand = Intersect({X2 - Half1, X2 + Half2}, VCols);
  for (int64_t I = RightBand.Lo; I <= RightBand.Hi; ++I) WalkLine(I, Y2, I, Y1);
}

// An opaque fill writes the first row's colour bytes and copies that row down as whole
// pixels, so the rows below also take the first row's fourth bytes.
void FillRectangle(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2) {
  if (X1 > X2 || Y1 > Y2 || VirtualScreen == nullptr) return;
  const TViewPort V = ViewPort;
  if (X1 > V.X2 || X2 < V.X1 || Y1 > V.Y2 || Y2 < V.Y1) return;
  const int32_t CX1 = std::max(X1, V.X1), CX2 = std::min(X2, V.X2);
  const int32_t CY1 = std::max(Y1, V.Y1), CY2 = std::min(Y2, V.Y2);
  // An empty viewport can pass the test above and leave nothing to fill.
  if (CX1 > CX2 || CY1 > CY2) return;
  const int32_t Count = CX2 - CX1 + 1;
  uint8_t* Row = VirtualScreen + detail::ScreenOffset(CX1, CY1);
  detail::ColorSpan(Row, Count, Color);
  if (Color.Alpha == 0) {
    // Usually the first row is one pixel value over and over (its fourth bytes were all
    // alike): then the rows below are stores of that value, without reading anything,
    // and a fill as wide as the screen is one store run over all its rows.
    uint32_t Value;
    std::memcpy(&Value, Row, 4);
    if (RowIsUniform(Row, Count, Value)) {
      if (Count == SCREEN_WIDTH) {
        FillPixels(Row + ROW_BYTES, size_t(CY2 - CY1) * SCREEN_WIDTH, Value);
      } else {
        for (int32_t Y = CY1 + 1; Y <= CY2; ++Y)
          FillPixels(Row + size_t(Y - CY1) * ROW_BYTES, size_t(Count), Value);
      }
      return;
    }
    const size_t Size = size_t(Count) * 4;
    uint8_t* Dst = Row;
    for (int32_t Y = CY1 + 1; Y <= CY2; ++Y) {
      Dst += ROW_BYTES;
      std::memcpy(Dst, Row, Size);
    }
  } else {
    for (int32_t Y = CY1 + 1; Y <= CY2; ++Y) {
      Row += ROW_BYTES;
      detail::ColorSpan(Row, Count, Color);
    }
  }
}

}  // namespace lumora
