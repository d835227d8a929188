// bench_compare: the work every peer does (lumora, pixman, SDL2, straightforward C and the
// memory limit) and the table of timed operations. Relies on lumora's public API.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "lumora/lumora.h"

namespace compare {

inline constexpr int32_t SCREEN_W = lumora::SCREEN_WIDTH;
inline constexpr int32_t SCREEN_H = lumora::SCREEN_HEIGHT;
inline constexpr int32_t SCREEN_PIXELS = SCREEN_W * SCREEN_H;

// The picture and where it is drawn: at its own size in the middle of the screen, and
// scaled to 800 x 600.
inline constexpr int32_t PIC_W = 400, PIC_H = 300, PIC_X = 312, PIC_Y = 234;
inline constexpr int32_t SCALED_W = 800, SCALED_H = 600, SCALED_X = 112, SCALED_Y = 84;
// Where the mixed frame puts its five pictures.
inline constexpr int32_t FRAME_PICTURES[5][2] = {
    {40, 40}, {584, 40}, {312, 234}, {40, 428}, {584, 428}};

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

// Thin circles of every radius from 20 to 200 around the centre; one ring.
inline constexpr int32_t CENTRE_X = 512, CENTRE_Y = 384;
inline constexpr int32_t RADIUS_FIRST = 20, RADIUS_LAST = 200;
inline constexpr int32_t RING_R = 160, RING_WIDTH = 9;
inline constexpr int32_t LINE_COUNT = 400;

struct TLine {
  int32_t X1, Y1, X2, Y2;
};
// One row of pixels, X1..X2 inclusive.
struct TSpan {
  int32_t Y, X1, X2;
};

// Inputs shared by all peers, built once after InitLumora.
struct TWorkload {
  std::vector<uint32_t> Picture;    // PIC_W x PIC_H pixels 0x00RRGGBB, rows top to bottom
  std::vector<uint32_t> KeyedArgb;  // the same, premultiplied ARGB: alpha 0 at key pixels
  std::vector<uint32_t> Doubled;    // every picture row stretched to SCALED_W pixels
  lumora::TPicture LumoraPicture{};
  uint8_t LoadCode = 0;             // LoadBMPPicture's code for LumoraPicture
  std::vector<TLine> Lines;
  int64_t LinePixels = 0;           // pixels of all lines, max(|dx|, |dy|) + 1 each
  std::vector<int32_t> Radii;
  std::vector<TSpan> RingSpans;     // the ring's rows, as lumora's ring walks them
};
void BuildWorkload();
const TWorkload& Work();

// The back buffer as 32-bit pixels 0xXXRRGGBB (little-endian B, G, R, fourth byte).
uint32_t* Screen();
// A busy, deterministic background, so blends and keyed copies show in the check.
void PaintBackground();

enum class TWork {
  FillOpaque,
  FillTranslucent,
  Picture128,
  PictureKey,
  ScaledOpaque,
  Scaled128,
  Lines,
  Circles,
  Ring,
  Frame,
};
inline constexpr int WORK_COUNT = 10;

struct TWorkInfo {
  TWork Work;
  const char* Id;  // the benchmark name's first part
  const char* Title;
};
const TWorkInfo& Info(TWork Work);
// How many units (pixels of lines, circles) one run draws; 1 for the rest.
int64_t UnitsPerRun(TWork Work);

// One timed operation: a peer doing one work item in one configuration.
struct TOp {
  TWork Work;
  std::string Peer;     // lumora, pixman, sdl2, plain, memory
  std::string Variant;  // configuration, empty when the peer has only one
  std::string How;      // the calls used, for the table
  std::function<void()> Run;
};
void AddOp(TWork Work, std::string Peer, std::string Variant, std::string How,
           std::function<void()> Run);
const std::vector<TOp>& Ops();

// Each peer adds its operations; the pixman and SDL2 ones also set up their images.
void AddLumoraOps();
void AddPixmanOps();
void AddSdlOps();
void AddPlainOps();
void AddMemoryOps();
// Versions of the peers, for the report.
std::string PixmanVersion();
std::string SdlVersion();

}  // namespace compare
