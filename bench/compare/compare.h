// bench_compare: the work every peer does (lumora, pixman, SDL2, straightforward C and the
// memory limit) on two screen sizes, and the table of timed operations. Relies on
// lumora's public API.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "lumora/lumora.h"

namespace compare {

// Transparencies as lumora counts them (0 opaque, 255 invisible); peers that count
// opacity take 255 - transparency.
inline constexpr uint8_t FILL_TRANSPARENCY = 100;
inline constexpr uint8_t PICTURE_TRANSPARENCY = 128;
inline constexpr uint8_t STROKE_TRANSPARENCY = 128;
inline constexpr uint8_t Opacity(uint8_t Transparency) { return uint8_t(255 - Transparency); }

struct TRgb {
  uint8_t R, G, B;
};
inline constexpr TRgb FILL_COLOUR{30, 60, 90};     // the opaque full-screen fill
inline constexpr TRgb SHADE_COLOUR{0, 0, 0};       // the translucent full-screen fill
inline constexpr TRgb STROKE_COLOUR{255, 200, 40};  // lines and thin circles
inline constexpr TRgb RING_COLOUR{40, 180, 255};
inline constexpr TRgb KEY_COLOUR{255, 0, 255};  // the picture's left-out colour
inline constexpr uint32_t Xrgb(TRgb C) { return uint32_t(C.R) << 16 | uint32_t(C.G) << 8 | C.B; }

// The two screens: lumora's own 1024 x 768 back buffer, drawn on by the global calls, and
// a 3840 x 2160 canvas, drawn on by the canvas-first calls.
enum class TScreen { Xga, Uhd };
inline constexpr int SCREEN_COUNT = 2;

// Where each screen's work goes. The picture is drawn at its own size (Xga only) and
// scaled to twice its width and height; thin circles (Xga only) have every radius from
// RadiusFirst to RadiusLast around the centre.
struct TLayout {
  TScreen Screen;
  const char* Title;   // the table's section
  const char* Prefix;  // before the work's name in the benchmark names
  int32_t W, H;
  int32_t PicW, PicH, PicX, PicY;
  int32_t ScaledW, ScaledH, ScaledX, ScaledY;
  int32_t CentreX, CentreY;
  int32_t RadiusFirst, RadiusLast;
  int32_t RingR, RingWidth;
  int32_t LineCount;
  int64_t Pixels() const { return int64_t(W) * H; }
};
const TLayout& Layout(TScreen Screen);

// Where the mixed frame (Xga) puts its five pictures.
inline constexpr int32_t FRAME_PICTURES[5][2] = {
    {40, 40}, {584, 40}, {312, 234}, {40, 428}, {584, 428}};

struct TLine {
  int32_t X1, Y1, X2, Y2;
};
// One row of pixels, X1..X2 inclusive.
struct TSpan {
  int32_t Y, X1, X2;
};

// Inputs shared by all peers on one screen, built once after InitLumora.
struct TWorkload {
  std::vector<uint32_t> Picture;    // PicW x PicH pixels 0x00RRGGBB, rows top to bottom
  std::vector<uint32_t> KeyedArgb;  // the same, premultiplied ARGB: alpha 0 at key pixels
  std::vector<uint32_t> Doubled;    // every picture row stretched to ScaledW pixels
  lumora::TPicture LumoraPicture{};
  uint8_t LoadCode = 0;             // LoadBMPPicture's code for LumoraPicture
  std::vector<TLine> Lines;
  int64_t LinePixels = 0;           // pixels of all lines, max(|dx|, |dy|) + 1 each
  std::vector<int32_t> Radii;
  std::vector<TSpan> RingSpans;     // the ring's rows, as lumora's ring walks them
};
void BuildWorkloads();
const TWorkload& Work(TScreen Screen);

// The screen's pixels 0xXXRRGGBB (little-endian B, G, R, fourth byte), rows W pixels apart.
uint32_t* Pixels(TScreen Screen);
// The Uhd canvas (the Xga screen is the default canvas of the global calls).
lumora::TCanvas& UhdCanvas();
// A busy, deterministic background, so blends and keyed copies show in the check.
void PaintBackground(TScreen Screen);

enum class TWork {
  FillOpaque,
  FillTranslucent,
  Picture128,
  PictureKey,
  ScaledOpaque,
  Scaled128,
  ScaledKey,
  Lines,
  Circles,
  Ring,
  Frame,
};
inline constexpr int WORK_COUNT = 11;

struct TWorkInfo {
  TWork Work;
  const char* Id;  // the benchmark name's part after the screen's prefix
};
const TWorkInfo& Info(TWork Work);
// How many units (pixels of lines, circles) one run draws; 1 for the rest.
int64_t UnitsPerRun(TScreen Screen, TWork Work);

// One timed operation: a peer doing one work item on one screen in one configuration.
struct TOp {
  TScreen Screen;
  TWork Work;
  std::string Peer;     // lumora, pixman, sdl2, plain, memory, arith (the exact blend alone)
  std::string Variant;  // configuration, empty when the peer has only one
  std::string How;      // the calls used, for the table
  std::function<void()> Run;
};
void AddOp(TScreen Screen, TWork Work, std::string Peer, std::string Variant, std::string How,
           std::function<void()> Run);
const std::vector<TOp>& Ops();
// The benchmark name: [prefix]work/peer[:variant].
std::string Name(const TOp& Op);

// Each peer adds its operations for one screen; pixman and SDL2 also set up their images.
void AddLumoraOps(TScreen Screen);
void AddPixmanOps(TScreen Screen);
void AddSdlOps(TScreen Screen);
void AddPlainOps(TScreen Screen);
void AddMemoryOps(TScreen Screen);
// Versions of the peers, for the report.
std::string PixmanVersion();
std::string SdlVersion();

}  // namespace compare
