// lumora fuzz body for the drawing calls: SetColor, SetViewPort, Pixel, Line, both Circles,
// Rectangle, FillRectangle, clearing, pictures and text, on the default canvas and on
// canvases of many shapes. Relies on the public lumora API and the fuzz support.
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

// The coding of an input. Each call is an opcode byte (taken modulo 14) and its arguments:
//   0 SetColor(R, G, B, Alpha)            four raw bytes
//   1 SetViewPort(X1, Y1, X2, Y2)         2 Pixel(X, Y)
//   3 Line(X1, Y1, X2, Y2)                4 Circle(XS, YS, R)
//   5 Circle(XS, YS, R, Line_Width)       6 Rectangle(X1, Y1, X2, Y2, Line_Width)
//   7 FillRectangle(X1, Y1, X2, Y2)       8 clear: ClearVirtualScreen, or Clear(Canvas)
//   9 a new canvas: four raw bytes Shape, W, H, Pad (see NewCanvas); the calls after it
//     draw on it until the next 9 or 10
//  10 back to the default canvas          11 ViewPort = {X1, Y1, X2, Y2} assigned directly
//  12 ShowAlphaScaleBMPPicture(X, Y, Picture, Width, Height, Alpha, Transparent, Key): four
//     arguments, then the raw bytes Alpha and Flags (bit 0 Transparent, bit 1 the larger
//     picture)
//  13 WriteText(X, Y, Font, Text): two arguments, a length byte L (mod 24), L raw bytes
// A 32-bit argument starts with a selector byte S:
//   S < 64      S - 16                                 (one byte: small radii and widths)
//   S < 128     next 16 bits mod 1400, minus 200       (three bytes: on and around the screen)
//   S < 192     SPECIAL[(S - 128) mod its size]        (one byte: limits of 32-bit arithmetic
//                                                       and of the largest canvas)
//   otherwise   the next four bytes, little-endian     (five bytes: anything)
// Missing bytes read as 0; the input ends after MAX_CALLS calls.
//
// While a canvas is drawn on, a canvas that fits the screen is mirrored in the screen's
// top-left corner: every call is made on both, the screen's viewport being the canvas's
// viewport within the canvas, and both must hold the same pixels afterwards.
constexpr int32_t SPECIAL[] = {
    std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::min() + 1, -(1 << 30), -65536,
    -46341, -46340, -1025, -1024, -769, -768, -2, -1, 0, 1, 2, 3, 511, 512, 767, 768, 1023, 1024,
    46340, 46341, 65535, 65536, 1 << 24, 1 << 30, std::numeric_limits<int32_t>::max() - 1,
    std::numeric_limits<int32_t>::max(), 32766, 32767, 32768, 32769};
constexpr size_t SPECIAL_COUNT = sizeof SPECIAL / sizeof SPECIAL[0];
constexpr int OPCODES = 14;
constexpr int MAX_CALLS = 64;
// Calls between two full comparisons of the screen with its last snapshot.
constexpr int CHECK_EVERY = 8;
// A canvas block up to this size is compared after every call, a larger one as the screen is.
constexpr size_t SMALL_BLOCK = 64 * 1024;
// Guard bytes around a canvas over the fuzzer's own memory.
constexpr int64_t GUARD = 16;
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

// A fixed pseudo-random byte sequence.
struct TNoise {
  uint32_t S;
  uint8_t Next() {
    S = S * 1103515245u + 12345u;
    return uint8_t(S >> 16);
  }
};

// The screen every input starts from: colour bytes from a fixed pseudo-random sequence,
// every fourth byte PATTERN_FOURTH.
const std::vector<uint8_t>& Pattern() {
  static const std::vector<uint8_t> P = [] {
    std::vector<uint8_t> V(SCREEN_BYTES);
    TNoise N{12345};
    for (uint32_t I = 0; I < SCREEN_BYTES; ++I) {
      const uint8_t B = N.Next();
      V[I] = (I % 4 == 3) ? PATTERN_FOURTH : B;
    }
    return V;
  }();
  return P;
}

// A row of zero bytes as long as the widest canvas's.
const uint8_t* ZeroRow() {
  static const std::vector<uint8_t> Zero(size_t(MAX_CANVAS_SIDE) * 4, 0);
  return Zero.data();
}

// The first of Height rows of Width pixels, Stride bytes apart from Row, holding a byte
// that is not 0; "" when none does.
std::string NotZero(const uint8_t* First, int64_t Width, int64_t Height, int64_t Stride) {
  for (int64_t Y = 0; Y < Height; ++Y) {
    const uint8_t* Row = First + Y * Stride;  // never one stride past the last row
    if (std::memcmp(Row, ZeroRow(), size_t(Width) * 4) == 0) continue;
    for (int64_t X = 0;; ++X)
      if (Row[X] != 0) return Format("pixel (%lld, %lld) is not 0", (long long)X / 4, (long long)Y);
  }
  return "";
}

// The pictures shown: 1 x 1 and 11 x 7 pixels of pseudo-random colours, every fifth pixel of
// the transparent colour KEY.
constexpr TColor KEY{40, 200, 120, 0};
struct TSprite {
  std::vector<uint8_t> Pixels;
  TPicture Picture;
  TSprite(uint32_t W, uint32_t H, uint32_t Seed) : Pixels(size_t(W) * H * 4) {
    TNoise N{Seed};
    for (size_t I = 0; I < size_t(W) * H; ++I) {
      uint8_t* P = &Pixels[I * 4];
      const bool Key = I % 5 == 2;
      P[0] = Key ? KEY.B : N.Next();
      P[1] = Key ? KEY.G : N.Next();
      P[2] = Key ? KEY.R : N.Next();
      P[3] = N.Next();
    }
    Picture.Loaded = true;
    Picture.ImageWidth = W;
    Picture.ImageHeight = H;
    Picture.PictureAdr = Pixels.data();
  }
};
const TPicture& Sprite(bool Larger) {
  static const TSprite Small(1, 1, 77), Large(11, 7, 78);
  return Larger ? Large.Picture : Small.Picture;
}

// The font written with: a 3.x record made in memory, characters 'A' .. 'Z' (others draw
// 'D'), 9 rows, widths 0 .. 17, pseudo-random ink.
const TFont& TextFont() {
  static std::vector<uint8_t> Glyphs;
  static const TFont Font = [] {
    TFont F;
    F.Loaded = true;
    F.Version = 0x0300;
    F.PixHeight = 9;
    F.FirstChar = 'A';
    F.LastChar = 'Z';
    F.DefaultChar = 3;
    F.BitsOffset = 400;
    constexpr uint32_t N = 26, ENTRY = 6;
    std::vector<uint8_t> Bitmaps;
    Glyphs.resize(N * ENTRY);
    TNoise Ink{99};
    for (uint32_t K = 0; K < N; ++K) {
      const uint32_t Width = K * 7 % 18, Offset = F.BitsOffset + uint32_t(Bitmaps.size());
      const uint8_t Entry[ENTRY] = {uint8_t(Width), 0, uint8_t(Offset), uint8_t(Offset >> 8), 0, 0};
      std::memcpy(&Glyphs[K * ENTRY], Entry, ENTRY);
      for (uint32_t B = 0; B < (Width + 7) / 8 * F.PixHeight; ++B) Bitmaps.push_back(Ink.Next());
    }
    Glyphs.insert(Glyphs.end(), Bitmaps.begin(), Bitmaps.end());
    F.GlyphsSize = uint32_t(Glyphs.size());
    F.Glyphs = Glyphs.data();
    return F;
  }();
  return Font;
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

// What a canvas may be drawn on: its viewport within its pixels; empty for an empty canvas.
TRect ClipOf(const TCanvas& C) {
  if (C.Pixels == nullptr || C.Width <= 0 || C.Height <= 0) return EMPTY_RECT;
  return Intersect({C.ViewPort.X1, C.ViewPort.Y1, C.ViewPort.X2, C.ViewPort.Y2}, {0, 0, C.Width - 1, C.Height - 1});
}

struct TState {
  std::vector<uint8_t> Snapshot;  // the screen at the last checkpoint
  TRect Reached = EMPTY_RECT;     // hull of what the calls since then may draw
  uint8_t Fourth = PATTERN_FOURTH;
  int Calls = 0;                  // drawing calls since then
  int FirstCall = 0;              // number of the first call since then
  std::string Error;
};

// The canvas drawn on, and what is known of its memory.
struct TCanvasState {
  bool Active = false;   // calls go to the canvas
  bool Mirror = false;   // and to the screen's top-left corner
  bool Refused = false;  // made with arguments the maker refuses: it draws nothing
  int Kind = 0;          // 0, 1 MakeCanvas over the fuzzer's memory, 2 AllocateCanvas, 3 PictureCanvas
  TCanvas C;
  TPicture Picture;            // kind 3: the picture drawn into
  std::vector<uint8_t> Memory;  // kinds 0, 1, 3: the block, misaligned by up to 3 bytes
  uint8_t* Block = nullptr;     // the block compared: guards, rows and padding (null: none)
  TCanvasBlock Layout;
  std::vector<uint8_t> Snapshot;  // the block at the last check
  TRect Reached = EMPTY_RECT;
  uint8_t Fourth = PATTERN_FOURTH;
  int Calls = 0, FirstCall = 0;
  const char* Made = "";
};

const char* const NAMES[] = {"SetColor",      "SetViewPort", "Pixel",   "Line",           "Circle",
                             "Circle(width)", "Rectangle",   "FillRectangle", "clear", "new canvas",
                             "default canvas", "ViewPort assigned", "ShowAlphaScaleBMPPicture", "WriteText"};

std::string Describe(const TCanvasState& K) {
  return Format("canvas %lld x %lld, stride %lld, %s%s", (long long)K.Layout.Width, (long long)K.Layout.Height,
                (long long)K.Layout.Stride, K.Made, K.Refused ? " (refused)" : "");
}

// Compares the screen with the snapshot: outside the viewport and the reached hull nothing
// may have changed (the hull is empty for calls at transparency 255), and the fourth bytes
// hold their value. (Outside, they are the snapshot's, which held it: only the fourth bytes
// inside are looked at, and only the pixels inside are copied into the snapshot.)
void Checkpoint(TState& S, int Call) {
  const TRect Allowed = Intersect(S.Reached, ViewPortRect());
  if (S.Error.empty()) {
    std::string D = ChangedOutside(S.Snapshot, Allowed);
    if (D.empty()) D = BlockFourthBytesNot(ScreenBlock(), VirtualScreen, Allowed, S.Fourth);
    if (!D.empty()) {
      S.Error = Format("calls %d to %d, viewport (%d, %d, %d, %d)%s: %s", S.FirstCall, Call - 1, ViewPort.X1, ViewPort.Y1,
                       ViewPort.X2, ViewPort.Y2, Color.Alpha == 255 ? ", transparency 255" : "", D.c_str());
    }
  }
  if (S.Error.empty()) CopyPixels(ScreenBlock(), VirtualScreen, S.Snapshot.data(), Allowed);
  else TakeSnapshot(S.Snapshot);
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

// The first pixel where the canvas and its mirror in the screen's corner differ.
std::string MirrorDiffers(const TCanvasState& K) {
  for (int64_t Y = 0; Y < K.C.Height; ++Y) {
    const uint8_t* Own = K.C.Pixels + Y * K.C.Stride;
    const uint8_t* Screen = VirtualScreen + Y * ROW_BYTES;
    if (std::memcmp(Own, Screen, size_t(K.C.Width) * 4) == 0) continue;
    for (int64_t X = 0; X < K.C.Width; ++X) {
      const uint8_t *P = Own + X * 4, *Q = Screen + X * 4;
      if (std::memcmp(P, Q, 4) != 0)
        return Format("pixel (%lld, %lld) is %u,%u,%u,%u on the canvas but %u,%u,%u,%u on the screen", (long long)X,
                      (long long)Y, P[0], P[1], P[2], P[3], Q[0], Q[1], Q[2], Q[3]);
    }
  }
  return "";
}

// Compares the canvas's block with its snapshot: outside its viewport within the canvas
// and the reached hull nothing may have changed, neither pixels nor the padding between
// rows nor the guards around; the fourth bytes hold their value; a mirrored canvas holds
// the pixels of the screen's corner.
void CheckCanvas(TState& S, TCanvasState& K, int Call) {
  if (K.Block != nullptr) {
    if (S.Error.empty()) {
      const TRect Allowed = Intersect(K.Reached, ClipOf(K.C));
      std::string D = BlockChangedOutside(K.Layout, K.Snapshot.data(), K.Block, Allowed);
      if (D.empty()) D = BlockFourthBytesNot(K.Layout, K.Block, Allowed, K.Fourth);
      if (D.empty() && K.Mirror) D = MirrorDiffers(K);
      if (!D.empty()) {
        const TViewPort& V = K.C.ViewPort;
        S.Error = Format("%s, calls %d to %d, viewport (%d, %d, %d, %d): %s", Describe(K).c_str(), K.FirstCall,
                         Call - 1, V.X1, V.Y1, V.X2, V.Y2, D.c_str());
      }
      CopyPixels(K.Layout, K.Block, K.Snapshot.data(), Allowed);
    } else {
      K.Snapshot.assign(K.Block, K.Block + K.Layout.Size());
    }
  }
  K.Reached = EMPTY_RECT;
  K.Calls = 0;
  K.FirstCall = Call;
}

// Fills the canvas's block with the screen's pattern, from a place that depends on Seed, and
// sets the fourth byte of every pixel to Fourth.
void FillBlock(TCanvasState& K, uint32_t Seed) {
  const TCanvasBlock& B = K.Layout;
  const std::vector<uint8_t>& P = Pattern();
  for (size_t At = 0, From = Seed % 4093; At < B.Size(); From = 0) {
    const size_t N = std::min(B.Size() - At, P.size() - From);
    std::memcpy(K.Block + At, P.data() + From, N);
    At += N;
  }
  for (int64_t Y = 0; Y < B.Height; ++Y) {
    uint8_t* Fourth = K.Block + B.Offset(0, Y) + 3;
    for (int64_t X = 0; X < B.Width; ++X, Fourth += 4) *Fourth = K.Fourth;
  }
}

// Ends the canvas drawn on: its last check, then its release (which must leave memory the
// library did not allocate alone).
void EndCanvas(TState& S, TCanvasState& K, int Call) {
  if (!K.Active) return;
  CheckCanvas(S, K, Call);
  uint8_t* const Pixels = K.C.Pixels;
  FreeCanvas(K.C);
  if (S.Error.empty() && K.Kind == 2 && K.C.Pixels != nullptr) S.Error = "FreeCanvas left an allocated canvas its pixels";
  if (S.Error.empty() && K.Kind != 2 && K.C.Pixels != Pixels) S.Error = "FreeCanvas emptied a canvas it did not allocate";
  K.Active = K.Mirror = false;
  K.Block = nullptr;
}

// A new canvas from the bytes Shape, Wb, Hb and Pad:
//   Shape mod 16   0 tall: 1 .. 4 wide, 32,768 - Hb high;  1 wide: 32,768 - Wb wide, 1 .. 4
//                  high;  2 about the screen: 1000 .. 1047 x 740 .. 787;  else 1 .. 48 a side
//   Shape bits 4-5 how it is made: 0, 1 MakeCanvas over the fuzzer's memory, 2 AllocateCanvas,
//                  3 PictureCanvas over a picture in the fuzzer's memory
//   Shape bits 6-7 how many bytes the pixels start past an aligned address (kinds 0, 1, 3)
//   Pad            kinds 0, 1: Pad mod 64 bytes between rows; 251: one row and a stride of
//                  2^62 bytes (only the first row is ever addressed); 252 .. 255 arguments
//                  the maker must refuse (no pixels, a stride below Width x 4, a height of
//                  0, a width of 32,769; for the other kinds the like)
void NewCanvas(TState& S, TCanvasState& K, uint8_t Shape, uint8_t Wb, uint8_t Hb, uint8_t Pad, uint32_t Seed) {
  int64_t W = 1 + Wb % 48, H = 1 + Hb % 48;
  switch (Shape % 16) {
    case 0: W = 1 + Wb % 4, H = MAX_CANVAS_SIDE - Hb; break;
    case 1: W = MAX_CANVAS_SIDE - Wb, H = 1 + Hb % 4; break;
    case 2: W = 1000 + Wb % 48, H = 740 + Hb % 48; break;
  }
  K.Kind = Shape >> 4 & 3;
  const int64_t Misalign = Shape >> 6;
  if (Pad == 251) H = 1;
  int64_t Stride = W * 4;
  if (K.Kind <= 1) Stride = Pad == 251 ? int64_t(1) << 62 : W * 4 + Pad % 64;
  K.Refused = Pad >= 252;
  K.Layout = TCanvasBlock{W, H, Stride, K.Kind == 2 ? 0 : GUARD, K.Kind == 2 ? 0 : GUARD};
  K.Fourth = S.Fourth;
  K.Picture = TPicture{};
  bool Made = true;
  if (K.Kind == 2) {
    K.Made = "allocated";
    switch (Pad) {
      case 252: Made = AllocateCanvas(K.C, int32_t(W), -1); break;
      case 253: Made = AllocateCanvas(K.C, int32_t(W), MAX_CANVAS_SIDE + 1); break;
      case 254: Made = AllocateCanvas(K.C, 0, int32_t(H)); break;
      case 255: Made = AllocateCanvas(K.C, MAX_CANVAS_SIDE + 1, int32_t(H)); break;
      default: Made = AllocateCanvas(K.C, int32_t(W), int32_t(H));
    }
    K.Block = nullptr;
    if (Made && !K.Refused) {
      K.Block = K.C.Pixels;
      // A canvas of its own memory starts cleared to zero.
      const std::string D = NotZero(K.Block, W, H, Stride);
      if (!D.empty() && S.Error.empty()) S.Error = "AllocateCanvas: " + D;
    }
  } else {
    K.Memory.resize(size_t(Misalign) + K.Layout.Size());
    K.Block = K.Memory.data() + Misalign;
    uint8_t* const Pixels = K.Block + GUARD;
    if (K.Kind == 3) {
      K.Made = "a picture's canvas";
      K.Picture.Loaded = Pad != 252;
      K.Picture.ImageWidth = Pad == 255 ? MAX_CANVAS_SIDE + 1 : uint32_t(W);
      K.Picture.ImageHeight = Pad == 254 ? MAX_CANVAS_SIDE + 1 : Pad == 253 ? 0 : uint32_t(H);
      K.Picture.PictureAdr = Pixels;
      K.C = PictureCanvas(K.Picture);
      Made = K.C.Pixels != nullptr;
    } else {
      K.Made = Misalign != 0 ? "over unaligned memory" : "over the caller's memory";
      switch (Pad) {
        case 252: Made = MakeCanvas(K.C, nullptr, int32_t(W), int32_t(H), Stride); break;
        case 253: Made = MakeCanvas(K.C, Pixels, int32_t(W), int32_t(H), W * 4 - 1); break;
        case 254: Made = MakeCanvas(K.C, Pixels, int32_t(W), 0, Stride); break;
        case 255: Made = MakeCanvas(K.C, Pixels, MAX_CANVAS_SIDE + 1, int32_t(H), int64_t(MAX_CANVAS_SIDE + 1) * 4); break;
        default: Made = MakeCanvas(K.C, Pixels, int32_t(W), int32_t(H), Stride);
      }
    }
  }
  if (S.Error.empty() && Made == K.Refused) {
    S.Error = Format("%s was %s", Describe(K).c_str(), Made ? "made" : "not made");
  }
  // What a new canvas holds: the given size and stride, opaque black, the whole viewport.
  const TCanvas& C = K.C;
  if (S.Error.empty() && Made &&
      (C.Width != W || C.Height != H || C.Stride != Stride || C.Owned != (K.Kind == 2) ||
       std::memcmp(&C.Color, "\0\0\0\0", 4) != 0 || C.ViewPort.X1 != 0 || C.ViewPort.Y1 != 0 ||
       C.ViewPort.X2 != W - 1 || C.ViewPort.Y2 != H - 1 ||
       (K.Kind != 2 && C.Pixels != K.Block + GUARD))) {
    S.Error = Format("%s: made as %d x %d, stride %lld, viewport (%d, %d, %d, %d)", Describe(K).c_str(), C.Width,
                     C.Height, (long long)C.Stride, C.ViewPort.X1, C.ViewPort.Y1, C.ViewPort.X2, C.ViewPort.Y2);
  }
  if (!Made && C.Pixels != nullptr && S.Error.empty()) S.Error = Describe(K) + ": refused but not empty";
  if (K.Block != nullptr) FillBlock(K, Seed);
  K.Active = true;
  K.Mirror = Made && W <= SCREEN_WIDTH && H <= SCREEN_HEIGHT;
  if (K.Mirror) {
    for (int64_t Y = 0; Y < H; ++Y) std::memcpy(VirtualScreen + Y * ROW_BYTES, C.Pixels + Y * Stride, size_t(W) * 4);
    const TRect V = ClipOf(C);
    ViewPort = TViewPort{int32_t(V.X1), int32_t(V.Y1), int32_t(V.X2), int32_t(V.Y2)};
    Color = C.Color;
    TakeSnapshot(S.Snapshot);
  }
  if (K.Block != nullptr) K.Snapshot.assign(K.Block, K.Block + K.Layout.Size());
  K.Reached = EMPTY_RECT;
}

// SetViewPort's rule: the far edges pulled down to the last column and row, the near edges
// up to 0.
std::string ViewPortRule(const TViewPort& V, const int32_t (&A)[5], int32_t Width, int32_t Height) {
  const TViewPort Want{std::max(A[0], 0), std::max(A[1], 0), std::min(A[2], Width - 1), std::min(A[3], Height - 1)};
  if (std::memcmp(&V, &Want, sizeof V) == 0) return "";
  return Format("SetViewPort(%d, %d, %d, %d) on %d x %d gave (%d, %d, %d, %d)", A[0], A[1], A[2], A[3], Width, Height,
                V.X1, V.Y1, V.X2, V.Y2);
}

}  // namespace

std::string FuzzDraw(const uint8_t* Data, size_t Size) {
  EnsureDisplay();
  std::memcpy(VirtualScreen, Pattern().data(), SCREEN_BYTES);
  SetViewPort(0, 0, SCREEN_WIDTH - 1, SCREEN_HEIGHT - 1);
  SetColor(200, 100, 50, 0);
  static TState S;
  static TCanvasState K;
  S.Snapshot.assign(Pattern().begin(), Pattern().end());
  S.Reached = EMPTY_RECT;
  S.Fourth = PATTERN_FOURTH;
  S.Calls = 0;
  S.FirstCall = 0;
  S.Error.clear();
  K.Active = K.Mirror = false;
  K.Block = nullptr;
  TReader In{Data, Size};
  int Call = 0;
  // A change of the drawing state: what is drawn on is checked first. (A screen that is not
  // drawn on is checked when its canvas ends.)
  auto CheckAll = [&] {
    if (!K.Active || K.Mirror) Checkpoint(S, Call);
    if (K.Active) CheckCanvas(S, K, Call);
  };
  for (; Call < MAX_CALLS && !In.Done() && S.Error.empty(); ++Call) {
    const int Op = In.Byte() % OPCODES;
    // Where the call draws: on the canvas, on the screen (itself or the canvas's mirror).
    const bool OnCanvas = K.Active, OnScreen = !K.Active || K.Mirror;
    int32_t A[5] = {};
    TRect Reach = EMPTY_RECT;
    bool Coloured = true;  // the call draws in the colour (else its own Alpha decides)
    switch (Op) {
      case 0: {
        uint8_t C[4];
        for (uint8_t& B : C) B = In.Byte();
        // Calls at transparency 255 are checked apart from the others: they change nothing.
        if ((C[3] == 255) != ((OnCanvas ? K.C.Color.Alpha : Color.Alpha) == 255)) CheckAll();
        if (OnCanvas) SetColor(K.C, C[0], C[1], C[2], C[3]);
        if (OnScreen) SetColor(C[0], C[1], C[2], C[3]);
        continue;
      }
      case 1:
      case 11: {
        for (int I = 0; I < 4; ++I) A[I] = In.Arg();
        CheckAll();
        std::string D;
        if (OnCanvas && Op == 1) {
          SetViewPort(K.C, A[0], A[1], A[2], A[3]);
          D = ViewPortRule(K.C.ViewPort, A, K.C.Width, K.C.Height);
        } else if (OnCanvas) {
          K.C.ViewPort = TViewPort{A[0], A[1], A[2], A[3]};
        } else if (Op == 1) {
          SetViewPort(A[0], A[1], A[2], A[3]);
          D = ViewPortRule(ViewPort, A, SCREEN_WIDTH, SCREEN_HEIGHT);
        } else {
          ViewPort = TViewPort{A[0], A[1], A[2], A[3]};
        }
        if (OnCanvas && K.Mirror) {
          const TRect V = ClipOf(K.C);
          ViewPort = TViewPort{int32_t(V.X1), int32_t(V.Y1), int32_t(V.X2), int32_t(V.Y2)};
        }
        if (!D.empty() && S.Error.empty()) S.Error = Format("call %d: %s", Call, D.c_str());
        continue;
      }
      case 8: {
        CheckAll();
        if (OnCanvas) {
          Clear(K.C);
          // Every pixel byte becomes 0; the padding and the guards stay.
          const bool Clears = !K.Refused && K.Block != nullptr;
          const TRect Whole = Clears ? TRect{0, 0, K.Layout.Width - 1, K.Layout.Height - 1} : EMPTY_RECT;
          std::string D = K.Block != nullptr ? BlockChangedOutside(K.Layout, K.Snapshot.data(), K.Block, Whole) : "";
          if (Clears && D.empty())
            D = NotZero(K.Block + K.Layout.Offset(0, 0), K.Layout.Width, K.Layout.Height, K.Layout.Stride);
          if (!D.empty() && S.Error.empty()) S.Error = Format("call %d: Clear on %s: %s", Call, Describe(K).c_str(), D.c_str());
          if (Clears) K.Fourth = 0;
          if (K.Block != nullptr) K.Snapshot.assign(K.Block, K.Block + K.Layout.Size());
        }
        if (OnScreen) {
          ClearVirtualScreen();
          S.Fourth = 0;
          static const std::vector<uint8_t> Zero(SCREEN_BYTES, 0);
          if (std::memcmp(VirtualScreen, Zero.data(), SCREEN_BYTES) != 0 && S.Error.empty())
            S.Error = "ClearVirtualScreen left a byte that is not 0";
          S.Snapshot.assign(Zero.begin(), Zero.end());
        }
        continue;
      }
      case 9: {
        uint8_t B[4];
        for (uint8_t& V : B) V = In.Byte();
        Checkpoint(S, Call);
        EndCanvas(S, K, Call);
        NewCanvas(S, K, B[0], B[1], B[2], B[3], uint32_t(Call) * 7919u + B[1]);
        continue;
      }
      case 10:
        Checkpoint(S, Call);
        EndCanvas(S, K, Call);
        continue;
      case 2:
        for (int I = 0; I < 2; ++I) A[I] = In.Arg();
        if (OnCanvas) Pixel(K.C, A[0], A[1]);
        if (OnScreen) Pixel(A[0], A[1]);
        Reach = {A[0], A[1], A[0], A[1]};
        break;
      case 3:
        for (int I = 0; I < 4; ++I) A[I] = In.Arg();
        if (OnCanvas) Line(K.C, A[0], A[1], A[2], A[3]);
        if (OnScreen) Line(A[0], A[1], A[2], A[3]);
        Reach = Box(A[0], A[1], A[2], A[3]);
        break;
      case 4:
        for (int I = 0; I < 3; ++I) A[I] = In.Arg();
        if (OnCanvas) Circle(K.C, A[0], A[1], A[2]);
        if (OnScreen) Circle(A[0], A[1], A[2]);
        Reach = ThinCircleBox(A[0], A[1], A[2]);
        break;
      case 5: {
        for (int I = 0; I < 4; ++I) A[I] = In.Arg();
        if (OnCanvas) Circle(K.C, A[0], A[1], A[2], A[3]);
        if (OnScreen) Circle(A[0], A[1], A[2], A[3]);
        const int64_t Outer = int64_t(A[2]) + int64_t(A[3]) / 2;
        if (Outer >= 0) Reach = {A[0] - Outer, A[1] - Outer, A[0] + Outer, A[1] + Outer};
        if (A[3] == 1) Reach = Hull(Reach, ThinCircleBox(A[0], A[1], A[2]));
        break;
      }
      case 6:
        for (int I = 0; I < 5; ++I) A[I] = In.Arg();
        if (OnCanvas) Rectangle(K.C, A[0], A[1], A[2], A[3], A[4]);
        if (OnScreen) Rectangle(A[0], A[1], A[2], A[3], A[4]);
        Reach = RectangleBox(A[0], A[1], A[2], A[3], A[4]);
        break;
      case 7:
        for (int I = 0; I < 4; ++I) A[I] = In.Arg();
        if (OnCanvas) FillRectangle(K.C, A[0], A[1], A[2], A[3]);
        if (OnScreen) FillRectangle(A[0], A[1], A[2], A[3]);
        if (A[0] <= A[2] && A[1] <= A[3]) Reach = {A[0], A[1], A[2], A[3]};
        break;
      case 12: {
        for (int I = 0; I < 4; ++I) A[I] = In.Arg();
        const uint8_t Alpha = In.Byte(), Flags = In.Byte();
        const TPicture& P = Sprite((Flags & 2) != 0);
        const uint32_t W = uint32_t(A[2]), H = uint32_t(A[3]);
        if (OnCanvas) ShowAlphaScaleBMPPicture(K.C, A[0], A[1], P, W, H, Alpha, (Flags & 1) != 0, KEY);
        if (OnScreen) ShowAlphaScaleBMPPicture(A[0], A[1], P, W, H, Alpha, (Flags & 1) != 0, KEY);
        Coloured = false;
        if (Alpha != 255 && W > 0 && H > 0) Reach = {A[0], A[1], int64_t(A[0]) + W - 1, int64_t(A[1]) + H - 1};
        break;
      }
      case 13: {
        for (int I = 0; I < 2; ++I) A[I] = In.Arg();
        std::string Text(In.Byte() % 24, ' ');
        for (char& Ch : Text) Ch = char(In.Byte());
        if (OnCanvas) WriteText(K.C, A[0], A[1], TextFont(), Text);
        if (OnScreen) WriteText(A[0], A[1], TextFont(), Text);
        const int64_t Length = GetTextLength(TextFont(), Text);
        if (Length > 0) Reach = {A[0], A[1], A[0] + Length - 1, int64_t(A[1]) + TextFont().PixHeight - 1};
        break;
      }
    }
    // In transparency 255 the colour changes nothing.
    if (OnScreen) {
      S.Reached = Hull(S.Reached, Coloured && Color.Alpha == 255 ? EMPTY_RECT : Reach);
      CheckRing(S, Call, Op);
      if (++S.Calls >= CHECK_EVERY) Checkpoint(S, Call + 1);
    }
    if (OnCanvas) {
      K.Reached = Hull(K.Reached, Coloured && K.C.Color.Alpha == 255 ? EMPTY_RECT : Reach);
      if (++K.Calls >= (K.Layout.Size() <= SMALL_BLOCK ? 1 : CHECK_EVERY)) CheckCanvas(S, K, Call + 1);
    }
  }
  EndCanvas(S, K, Call);
  Checkpoint(S, Call);
  SetViewPort(0, 0, SCREEN_WIDTH - 1, SCREEN_HEIGHT - 1);
  return S.Error;
}

}  // namespace lumorafuzz
