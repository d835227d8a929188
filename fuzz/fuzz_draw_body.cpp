// lumora fuzz body for the drawing calls: SetColor, SetViewPort, Pixel, Line, both Circles,
// Rectangle, FillRectangle, ClearVirtualScreen. Relies on the public lumora API and the fuzz support.
#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "fuzz/fuzz_bodies.h"
#include "fuzz/fuzz_support.h"
#include "lumora/lumora.h"

namespace lumorafuzz {

using namespace lumora;

namespace {

// The coding of an input. Each call is an opcode byte (taken modulo 9) and its arguments:
//   0 SetColor(R, G, B, Alpha)            four raw bytes
//   1 SetViewPort(X1, Y1, X2, Y2)         2 Pixel(X, Y)
//   3 Line(X1, Y1, X2, Y2)                4 Circle(XS, YS, R)
//   5 Circle(XS, YS, R, Line_Width)       6 Rectangle(X1, Y1, X2, Y2, Line_Width)
//   7 FillRectangle(X1, Y1, X2, Y2)       8 ClearVirtualScreen
// A 32-bit argument starts with a selector byte S:
//   S < 64      S - 16                                 (one byte: small radii and widths)
//   S < 128     next 16 bits mod 1400, minus 200       (three bytes: on and around the screen)
//   S < 192     SPECIAL[(S - 128) mod its size]        (one byte: limits of 32-bit arithmetic)
//   otherwise   the next four bytes, little-endian     (five bytes: anything)
// Missing bytes read as 0; the input ends after MAX_CALLS calls.
constexpr int32_t SPECIAL[] = {
    std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::min() + 1, -(1 << 30), -65536,
    -46341, -46340, -1025, -1024, -769, -768, -2, -1, 0, 1, 2, 3, 511, 512, 767, 768, 1023, 1024,
    46340, 46341, 65535, 65536, 1 << 24, 1 << 30, std::numeric_limits<int32_t>::max() - 1,
    std::numeric_limits<int32_t>::max()};
constexpr size_t SPECIAL_COUNT = sizeof SPECIAL / sizeof SPECIAL[0];
constexpr int MAX_CALLS = 64;
// Calls between two full comparisons of the screen with its last snapshot.
constexpr int CHECK_EVERY = 8;
constexpr uint8_t PATTERN_FOURTH = 0xA5;

struct TReader {
  const uint8_t* Data;
  size_t Size, At = 0;
  bool Done() const { return At >= Size; }
  uint8_t Byte() { return At < Size ? Data[At++] : 0; }
  int32_t Arg() {
    const uint8_t S = Byte();
    if (S < 64) return int32_t(S) - 16;
    if (S < 128) {
      const uint32_t V = Byte() | uint32_t(Byte()) << 8;
      return int32_t(V % 1400) - 200;
    }
    if (S < 192) return SPECIAL[(S - 128) % SPECIAL_COUNT];
    uint32_t V = 0;
    for (int I = 0; I < 4; ++I) V |= uint32_t(Byte()) << (8 * I);
    return int32_t(V);
  }
};

// The screen every input starts from: colour bytes from a fixed pseudo-random sequence,
// every fourth byte PATTERN_FOURTH.
const std::vector<uint8_t>& Pattern() {
  static const std::vector<uint8_t> P = [] {
    std::vector<uint8_t> V(SCREEN_BYTES);
    uint32_t S = 12345;
    for (uint32_t I = 0; I < SCREEN_BYTES; ++I) {
      S = S * 1103515245u + 12345u;
      V[I] = (I % 4 == 3) ? PATTERN_FOURTH : uint8_t(S >> 16);
    }
    return V;
  }();
  return P;
}

TRect Box(int64_t X1, int64_t Y1, int64_t X2, int64_t Y2) {
  return {std::min(X1, X2), std::min(Y1, Y2), std::max(X1, X2), std::max(Y1, Y2)};
}

// The pixels the thin circle can reach.
TRect ThinCircleBox(int64_t XS, int64_t YS, int64_t R) {
  R = R < 0 ? -R : R;
  return {XS - R, YS - R, XS + R, YS + R};
}

// What one Rectangle call can reach: its four bands of lines.
TRect RectangleBox(int64_t X1, int64_t Y1, int64_t X2, int64_t Y2, int64_t W) {
  const int64_t H1 = (W - 1) / 2, H2 = W / 2;
  if (-H1 > H2) return EMPTY_RECT;  // every band loop is empty
  const TRect Across = Box(X1 - H1, 0, X2 + H2, 0), Down = Box(0, Y1, 0, Y2);
  TRect R = Hull({Across.X1, Y1 - H1, Across.X2, Y1 + H2}, {X1 - H1, Down.Y1, X1 + H2, Down.Y2});
  R = Hull(R, {Across.X1, Y2 - H1, Across.X2, Y2 + H2});
  return Hull(R, {X2 - H1, Down.Y1, X2 + H2, Down.Y2});
}

struct TState {
  std::vector<uint8_t> Snapshot;  // the screen at the last checkpoint
  TRect Reached = EMPTY_RECT;     // hull of what the calls since then may draw
  bool Frozen = false;            // transparency 255 since then: nothing may change
  uint8_t Fourth = PATTERN_FOURTH;
  int Calls = 0;                  // drawing calls since then
  int FirstCall = 0;              // number of the first call since then
  std::string Error;
};

const char* const NAMES[] = {"SetColor", "SetViewPort", "Pixel", "Line", "Circle", "Circle(width)",
                             "Rectangle", "FillRectangle", "ClearVirtualScreen"};

// Compares the screen with the snapshot: outside the viewport and the reached hull nothing
// may have changed (nothing at all while frozen), and the fourth bytes hold their value.
void Checkpoint(TState& S, int Call) {
  if (S.Error.empty()) {
    const TRect Allowed = S.Frozen ? EMPTY_RECT : Intersect(S.Reached, ViewPortRect());
    std::string D = ChangedOutside(S.Snapshot, Allowed);
    if (D.empty()) D = FourthBytesNot(S.Fourth);
    if (!D.empty()) {
      S.Error = Format("calls %d to %d, viewport (%d, %d, %d, %d)%s: %s", S.FirstCall, Call - 1, ViewPort.X1, ViewPort.Y1,
                       ViewPort.X2, ViewPort.Y2, S.Frozen ? ", transparency 255" : "", D.c_str());
    }
  }
  TakeSnapshot(S.Snapshot);
  S.Reached = EMPTY_RECT;
  S.Calls = 0;
  S.FirstCall = Call;
}

// The cheap check after every call: a ring of pixels just outside the viewport.
void CheckRing(TState& S, int Call, int Op) {
  const TViewPort V = ViewPort;
  if (!S.Error.empty() || V.X1 > V.X2 || V.Y1 > V.Y2) return;
  auto Check = [&](int64_t X, int64_t Y) {
    if (!S.Error.empty() || X < 0 || Y < 0 || X >= SCREEN_WIDTH || Y >= SCREEN_HEIGHT) return;
    const size_t At = size_t(Y * SCREEN_WIDTH + X) * 4;
    if (std::memcmp(VirtualScreen + At, S.Snapshot.data() + At, 4) != 0) {
      S.Error = Format("call %d (%s) changed pixel (%lld, %lld) outside the viewport (%d, %d, %d, %d)", Call,
                       NAMES[Op], (long long)X, (long long)Y, V.X1, V.Y1, V.X2, V.Y2);
    }
  };
  for (int64_t I = 0; I <= 16; ++I) {
    const int64_t X = V.X1 + (int64_t(V.X2) - V.X1) * I / 16, Y = V.Y1 + (int64_t(V.Y2) - V.Y1) * I / 16;
    Check(X, int64_t(V.Y1) - 1);
    Check(X, int64_t(V.Y2) + 1);
    Check(int64_t(V.X1) - 1, Y);
    Check(int64_t(V.X2) + 1, Y);
  }
}

}  // namespace

std::string FuzzDraw(const uint8_t* Data, size_t Size) {
  EnsureDisplay();
  std::memcpy(VirtualScreen, Pattern().data(), SCREEN_BYTES);
  SetViewPort(0, 0, SCREEN_WIDTH - 1, SCREEN_HEIGHT - 1);
  SetColor(200, 100, 50, 0);
  static TState S;
  S.Snapshot.assign(Pattern().begin(), Pattern().end());
  S.Reached = EMPTY_RECT;
  S.Frozen = false;
  S.Fourth = PATTERN_FOURTH;
  S.Calls = 0;
  S.FirstCall = 0;
  S.Error.clear();
  TReader In{Data, Size};
  int Call = 0;
  for (; Call < MAX_CALLS && !In.Done() && S.Error.empty(); ++Call) {
    const int Op = In.Byte() % 9;
    int32_t A[5] = {};
    TRect Reach = EMPTY_RECT;
    switch (Op) {
      case 0: {
        uint8_t C[4];
        for (uint8_t& B : C) B = In.Byte();
        if ((C[3] == 255) != S.Frozen) {
          Checkpoint(S, Call);
          S.Frozen = C[3] == 255;
        }
        SetColor(C[0], C[1], C[2], C[3]);
        continue;
      }
      case 1:
        for (int I = 0; I < 4; ++I) A[I] = In.Arg();
        Checkpoint(S, Call);
        SetViewPort(A[0], A[1], A[2], A[3]);
        continue;
      case 8: {
        Checkpoint(S, Call);
        ClearVirtualScreen();
        S.Fourth = 0;
        static const std::vector<uint8_t> Zero(SCREEN_BYTES, 0);
        if (std::memcmp(VirtualScreen, Zero.data(), SCREEN_BYTES) != 0) S.Error = "ClearVirtualScreen left a byte that is not 0";
        S.Snapshot.assign(Zero.begin(), Zero.end());
        continue;
      }
      case 2:
        for (int I = 0; I < 2; ++I) A[I] = In.Arg();
        Pixel(A[0], A[1]);
        Reach = {A[0], A[1], A[0], A[1]};
        break;
      case 3:
        for (int I = 0; I < 4; ++I) A[I] = In.Arg();
        Line(A[0], A[1], A[2], A[3]);
        Reach = Box(A[0], A[1], A[2], A[3]);
        break;
      case 4:
        for (int I = 0; I < 3; ++I) A[I] = In.Arg();
        Circle(A[0], A[1], A[2]);
        Reach = ThinCircleBox(A[0], A[1], A[2]);
        break;
      case 5: {
        for (int I = 0; I < 4; ++I) A[I] = In.Arg();
        Circle(A[0], A[1], A[2], A[3]);
        const int64_t Outer = int64_t(A[2]) + int64_t(A[3]) / 2;
        if (Outer >= 0) Reach = {A[0] - Outer, A[1] - Outer, A[0] + Outer, A[1] + Outer};
        if (A[3] == 1) Reach = Hull(Reach, ThinCircleBox(A[0], A[1], A[2]));
        break;
      }
      case 6:
        for (int I = 0; I < 5; ++I) A[I] = In.Arg();
        Rectangle(A[0], A[1], A[2], A[3], A[4]);
        Reach = RectangleBox(A[0], A[1], A[2], A[3], A[4]);
        break;
      case 7:
        for (int I = 0; I < 4; ++I) A[I] = In.Arg();
        FillRectangle(A[0], A[1], A[2], A[3]);
        if (A[0] <= A[2] && A[1] <= A[3]) Reach = {A[0], A[1], A[2], A[3]};
        break;
    }
    S.Reached = Hull(S.Reached, Reach);
    CheckRing(S, Call, Op);
    if (++S.Calls >= CHECK_EVERY) Checkpoint(S, Call + 1);
  }
  Checkpoint(S, Call);
  SetViewPort(0, 0, SCREEN_WIDTH - 1, SCREEN_HEIGHT - 1);
  return S.Error;
}

}  // namespace lumorafuzz
