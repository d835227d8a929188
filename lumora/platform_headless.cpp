// lumora headless platform: no display, a virtual clock, scripted Escape, captured frames.
// Used by tests, the recorder and any program that renders without a window.
#include <utility>

#include "lumora/lumora.h"
#include "lumora/platform.h"

namespace lumora {
namespace {

struct THeadlessState {
  THeadlessOptions Options;
  uint64_t Frames = 0;
  uint64_t ClockThirds = 0;  // virtual time in thirds of a millisecond
  bool EscapeHeld = false;   // pressed from a frame sink
  bool WasDown = false;      // Escape state at the previous query
  bool TapSeen = false;
};
THeadlessState State;

int64_t ClockMs() { return int64_t(State.ClockThirds / 3); }

bool EscapeDown() {
  const THeadlessOptions& O = State.Options;
  return State.EscapeHeld ||
         (O.EscapeDownAtFrame >= 0 && State.Frames >= uint64_t(O.EscapeDownAtFrame)) ||
         (O.EscapeDownAtMs >= 0 && ClockMs() >= O.EscapeDownAtMs);
}

bool RegisterWindowClass() { return true; }
uint32_t CreateMainWindow(const char*, int32_t, int32_t) { return 1; }
void WindowNoOp(uint32_t) {}
uint32_t GetDC(uint32_t) { return 1; }
void ReleaseDC(uint32_t, uint32_t) {}
void PostQuitMessage(int32_t) {}
void PlaceCursor(int32_t, int32_t) {}
void GetDefaultDirectDraw(uint32_t, int32_t, int32_t, int32_t) {}

void DirectDrawBlit(const uint8_t* Buffer) {
  if (State.Options.FrameSink && Buffer != nullptr) State.Options.FrameSink(Buffer, State.Frames);
  ++State.Frames;
  State.ClockThirds += State.Options.FrameThirds;
}

void CloseDirectDraw() {}
uint32_t TickCount() { return uint32_t(ClockMs()); }

int16_t KeyState(int32_t VKey) {
  if (VKey != VK_ESCAPE) return 0;
  const bool Down = EscapeDown();
  bool Pressed = Down && !State.WasDown;
  State.WasDown = Down;
  const int64_t Tap = State.Options.EscapeTapAtMs;
  if (Tap >= 0 && !State.TapSeen && ClockMs() >= Tap) {
    State.TapSeen = true;
    Pressed = true;
  }
  return int16_t((Down ? 0x8000 : 0) | (Pressed ? 1 : 0));
}

void SleepMs(uint32_t Ms) { State.ClockThirds += uint64_t(Ms) * 3; }

uint64_t AvailMemory() {
  if (State.Options.AvailMemory >= 0) return uint64_t(State.Options.AvailMemory);
  return platform::SystemAvailableMemory();
}

const platform::TPlatform Headless{
    "headless",     RegisterWindowClass, CreateMainWindow, WindowNoOp, WindowNoOp,
    WindowNoOp,     GetDC,               ReleaseDC,        PostQuitMessage,
    PlaceCursor,    GetDefaultDirectDraw, DirectDrawBlit,  CloseDirectDraw,
    TickCount,      KeyState,            SleepMs,          AvailMemory,
};

}  // namespace

namespace platform {
const TPlatform& HeadlessPlatform() { return Headless; }
}  // namespace platform

void UseHeadlessPlatform(const THeadlessOptions& Options) {
  State = THeadlessState{};
  State.Options = Options;
  platform::SelectHeadless();
}

uint64_t HeadlessFrameCount() { return State.Frames; }
uint64_t HeadlessClockThirds() { return State.ClockThirds; }
double HeadlessClockMs() { return double(State.ClockThirds) / 3.0; }
void HeadlessPressEscape() { State.EscapeHeld = true; }

}  // namespace lumora
