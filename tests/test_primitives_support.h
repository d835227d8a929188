// Test helpers for the primitives: blend counting, a second screen, and reference
// drawings that plot every pixel through Pixel in the order lumora/primitives.h gives.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <map>
#include <random>
#include <utility>
#include <vector>

#include "lumora/lumora.h"
#include "support/headless.h"

namespace primtest {

using Point = std::pair<int32_t, int32_t>;
using Counts = std::map<Point, int>;

// Draws with translucent white on a black screen and reads back how many times each
// pixel was blended: n blends leave the n-th value of a strictly rising sequence.
template <typename Draw>
Counts BlendCounts(Draw&& D) {
  constexpr uint8_t ALPHA = 200;
  int Level[256];
  for (int& L : Level) L = -1;
  uint32_t V = 0;
  for (int N = 0; N < 40 && Level[V] < 0; ++N) {
    Level[V] = N;
    V = ((255u - ALPHA) * 255u + ALPHA * V + 127u) / 255u;
  }
  lumora::ClearVirtualScreen();
  lumora::SetColor(255, 255, 255, ALPHA);
  D();
  Counts Out;
  for (int32_t Y = 0; Y < lumora::SCREEN_HEIGHT; ++Y) {
    for (int32_t X = 0; X < lumora::SCREEN_WIDTH; ++X) {
      const uint8_t* P = testsupport::PixelAt(X, Y);
      if (P[0] == 0) continue;
      EXPECT_GE(Level[P[0]], 0) << "not a blend level at " << X << "," << Y;
      Out[{X, Y}] = Level[P[0]];
    }
  }
  return Out;
}

// The multiset of a list of plotted pixels, keeping those on the screen.
inline Counts CountList(const std::vector<Point>& Plotted) {
  Counts Out;
  for (const Point& P : Plotted) {
    if (P.first >= 0 && P.first < lumora::SCREEN_WIDTH && P.second >= 0 &&
        P.second < lumora::SCREEN_HEIGHT)
      ++Out[P];
  }
  return Out;
}

// A second back buffer: draws into it instead of the screen while in scope.
struct OtherScreen {
  std::vector<uint8_t> Bytes;
  lumora::PDataElement Saved;
  explicit OtherScreen(const std::vector<uint8_t>& Start) : Bytes(Start), Saved(lumora::VirtualScreen) {
    lumora::VirtualScreen = Bytes.data();
  }
  ~OtherScreen() { lumora::VirtualScreen = Saved; }
};

// Index of the first byte where two screens differ, -1 when equal.
inline int64_t FirstDifference(const uint8_t* A, const uint8_t* B) {
  for (uint32_t I = 0; I < lumora::SCREEN_BYTES; ++I)
    if (A[I] != B[I]) return I;
  return -1;
}

inline std::string Where(int64_t Offset) {
  if (Offset < 0) return "equal";
  return "pixel (" + std::to_string(Offset / 4 % lumora::SCREEN_WIDTH) + ", " +
         std::to_string(Offset / 4 / lumora::SCREEN_WIDTH) + ") byte " + std::to_string(Offset % 4);
}

// ---------------------------------------------------------------- reference drawings
// Written straight from the description, every pixel through Pixel, no shortcuts. Only
// for arguments whose walks are short enough to run in full.

inline void RefPixel(int64_t X, int64_t Y) {
  if (X < INT32_MIN || X > INT32_MAX || Y < INT32_MIN || Y > INT32_MAX) return;
  lumora::Pixel(int32_t(X), int32_t(Y));
}

inline void RefLine(int64_t X1, int64_t Y1, int64_t X2, int64_t Y2) {
  auto Sgn = [](double A) { return A > 0 ? 1 : (A < 0 ? -1 : 0); };
  const int64_t U = X2 - X1, V = Y2 - Y1;
  const int64_t D1X = Sgn(double(U)), D1Y = Sgn(double(V));
  int64_t M = std::llabs(U), N = std::llabs(V), D2X, D2Y;
  if (M > N) {
    D2X = D1X;
    D2Y = 0;
  } else {
    D2X = 0;
    D2Y = D1Y;
    std::swap(M, N);
  }
  int64_t S = M / 2;
  for (int64_t I = 0; I <= M; ++I) {
    RefPixel(X1, Y1);
    S += N;
    if (S >= M) {
      S -= M;
      X1 += D1X;
      Y1 += D1Y;
    } else {
      X1 += D2X;
      Y1 += D2Y;
    }
  }
}

inline int64_t RefRoundSqrt(int64_t V) { return int64_t(std::nearbyint(std::sqrt((long double)V))); }

inline void RefThinCircle(int64_t XS, int64_t YS, int64_t R) {
  R = std::llabs(R);
  int64_t LastX = RefRoundSqrt(R * R);
  for (int64_t Y = 0; Y <= R; ++Y) {
    const int64_t X = RefRoundSqrt(R * R - Y * Y);
    do {
      RefPixel(XS + LastX, YS + Y);
      RefPixel(XS - LastX, YS + Y);
      RefPixel(XS - LastX, YS - Y);
      RefPixel(XS + LastX, YS - Y);
      --LastX;
    } while (LastX >= X);
    LastX = X;
  }
}

inline void RefRing(int64_t XS, int64_t YS, int64_t R, int64_t W) {
  if (W == 1) RefThinCircle(XS, YS, R);
  const int64_t Half1 = (W - 1) / 2, Half2 = W / 2;
  for (int64_t Y = YS - R - Half2; Y <= YS + R + Half2; ++Y) {
    const int64_t DY = Y - YS;
    const int64_t C1 = RefRoundSqrt((R + Half2) * (R + Half2) - DY * DY);
    auto Run = [&](int64_t From, int64_t To) {
      for (int64_t X = From; X <= To; ++X) RefPixel(X, Y);
    };
    if (std::llabs(DY) < R - Half1) {
      const int64_t C2 = RefRoundSqrt((R - Half1) * (R - Half1) - DY * DY);
      Run(XS - C1, XS - C2);
      Run(XS + C2, XS + C1);
    } else {
      Run(XS - C1, XS + C1);
    }
  }
}

inline void RefRectangle(int64_t X1, int64_t Y1, int64_t X2, int64_t Y2, int64_t W) {
  const int64_t Half1 = (W - 1) / 2, Half2 = W / 2;
  for (int64_t I = Y1 - Half1; I <= Y1 + Half2; ++I) RefLine(X1 - Half1, I, X2 + Half2, I);
  for (int64_t I = X1 - Half1; I <= X1 + Half2; ++I) RefLine(I, Y1, I, Y2);
  for (int64_t I = Y2 - Half1; I <= Y2 + Half2; ++I) RefLine(X1 - Half1, I, X2 + Half2, I);
  for (int64_t I = X2 - Half1; I <= X2 + Half2; ++I) RefLine(I, Y2, I, Y1);
}

// Pixel over every pixel of the rectangle, rows top to bottom.
inline void RefFill(int64_t X1, int64_t Y1, int64_t X2, int64_t Y2) {
  for (int64_t Y = Y1; Y <= Y2; ++Y)
    for (int64_t X = X1; X <= X2; ++X) RefPixel(X, Y);
}

// Runs Draw on the screen and Ref on a copy of it, from the same starting bytes, and
// reports where they first differ.
template <typename Draw, typename Ref>
std::string CompareWithReference(Draw&& D, Ref&& R) {
  const std::vector<uint8_t> Start = testsupport::Snapshot();
  std::vector<uint8_t> Expected;
  {
    OtherScreen Other(Start);
    R();
    Expected = Other.Bytes;
  }
  D();
  return Where(FirstDifference(lumora::VirtualScreen, Expected.data()));
}

// Milliseconds taken by F.
template <typename F>
double MillisecondsOf(F&& Fn) {
  const auto T0 = std::chrono::steady_clock::now();
  Fn();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - T0).count();
}

}  // namespace primtest
