// lumora display core: the screen, the back buffer, the drawing state and the pixel.
// Included by lumora.h; relies on the platform layer (window, clock, keyboard).
#pragma once

#include <cstdint>
#include <functional>
#include <limits>

namespace lumora {

// ===================================================================== constants

inline constexpr int32_t SCREEN_WIDTH = 1024;
inline constexpr int32_t SCREEN_HEIGHT = 768;
inline constexpr int32_t ROW_BYTES = SCREEN_WIDTH * 4;
inline constexpr uint32_t SCREEN_BYTES = uint32_t(ROW_BYTES) * SCREEN_HEIGHT;
// The largest buffer the library hands out: back buffer, glyph buffer or picture.
inline constexpr uint32_t MAX_SIZE = 20971520;
static_assert(ROW_BYTES == 4096);
static_assert(SCREEN_BYTES == 3145728);
static_assert(MAX_SIZE == 20u * 1024u * 1024u);

using TDataElement = uint8_t[MAX_SIZE];
using PDataElement = uint8_t*;

// A colour in the byte order of a back-buffer pixel. Alpha is a transparency:
// 0 draws opaque, 255 leaves the screen unchanged.
struct TColor {
  uint8_t B, G, R, Alpha;
};

// The clip rectangle; all four edges inclusive.
struct TViewPort {
  int32_t X1, Y1, X2, Y2;
};

// ===================================================================== display

// The title given to InitLumora (the pointer is kept, not the text).
extern const char* ApplicationID;
// Window and device-context handles: small non-zero numbers from the platform, 0 when absent.
extern uint32_t hWindow;
extern uint32_t hHDC;
// Raised by WindowProc on a key-down or destroy message; never lowered.
extern bool ThisIsTheEnd;
// The back buffer: 1024 x 768 pixels of 4 bytes (blue, green, red, fourth byte), rows top
// to bottom. Null before InitLumora and after CloseLumora; drawing then does nothing.
extern PDataElement VirtualScreen;

// Opens the display: registers the window class, opens the borderless 1024 x 768 window
// titled ApplicationID_, starts the presentation, allocates and clears the back buffer,
// centres and shows the cursor, presents the black frame and sets the full-screen viewport.
// Reports nothing; when no window can be opened it says so on stderr and goes on, with
// hWindow 0 (ask WindowShown whether the frames are seen).
void InitLumora(const char* ApplicationID_);

// True between InitLumora and the end of the program when a real window shows the presented
// frames; false on the headless platform and when no window could be opened: no display, or
// a video system that has none (SDL's "offscreen" and "dummy" drivers). A program that
// must be seen checks it after InitLumora.
bool WindowShown();

// Frees the back buffer (VirtualScreen becomes null) and closes the presentation.
// The window stays until the process ends.
void CloseLumora();

// Presents the whole back buffer. Never changes the buffer. In a window it waits for the
// display's next refresh (vsync) where the system offers that, so a loop of Flips runs at
// the display's rate; on the headless platform it never waits.
void Flip();

// Available physical memory in bytes, saturated at 2,147,483,647.
int32_t GetAvailRAMMemory();

inline constexpr int32_t WM_DESTROY = 0x0002;
inline constexpr int32_t WM_KEYDOWN = 0x0100;

// The window procedure. WM_DESTROY or WM_KEYDOWN: raises ThisIsTheEnd, releases the
// device context, sets hHDC to 0, posts a quit message and returns 0. Anything else goes
// to the default handling.
int32_t WindowProc(uint32_t Window, int32_t AMessage, int32_t WParam, int32_t LParam);

// ===================================================================== platform services

inline constexpr int32_t VK_ESCAPE = 0x1B;

// Non-zero when the key is down now (bit 15) or was pressed since the previous query
// (bit 0). Pending window events are processed inside the query.
int16_t GetAsyncKeyState(int32_t VKey);
// Milliseconds from a monotonic clock (the virtual clock on the headless platform).
uint32_t GetTickCount();
// Waits Ms milliseconds (advances the virtual clock on the headless platform).
void Sleep(uint32_t Ms);

// The headless platform: no display; a virtual clock; scripted Escape; every presented
// frame handed to a sink. Select it before InitLumora.
struct THeadlessOptions {
  // Virtual time per presented frame in thirds of a millisecond (50 = 1000/60 ms exactly).
  uint32_t FrameThirds = 50;
  // Escape goes down (and stays down) once this many frames have been presented, or once
  // the virtual clock reaches EscapeDownAtMs. -1 disables.
  int64_t EscapeDownAtFrame = -1;
  int64_t EscapeDownAtMs = -1;
  // Escape is pressed and released at this virtual time: the next query reports the press.
  int64_t EscapeTapAtMs = -1;
  // What GetAvailRAMMemory reports; -1 asks the operating system.
  int64_t AvailMemory = -1;
  // Receives every presented frame (SCREEN_BYTES bytes) with its number, counted from 0.
  std::function<void(const uint8_t* Frame, uint64_t Index)> FrameSink;
};
void UseHeadlessPlatform(const THeadlessOptions& Options = {});
// Headless only: frames presented so far, the virtual clock in thirds of a millisecond
// (exact) and in milliseconds (the same, as the nearest double), and a press of Escape from
// inside a frame sink (held down from now on).
uint64_t HeadlessFrameCount();
uint64_t HeadlessClockThirds();
double HeadlessClockMs();
void HeadlessPressEscape();

// ===================================================================== drawing state and pixel

// The current colour; all zero (opaque black) at program start.
extern TColor Color;
// The current clip rectangle; all zero at program start, (0, 0)-(1023, 767) after InitLumora.
extern TViewPort ViewPort;

// Sets the drawing colour. Note the argument order: red first, transparency last.
void SetColor(uint8_t R, uint8_t G, uint8_t B, uint8_t Alpha);

// Sets the clip rectangle, then pulls X2 and Y2 down to 1023 and 767 and X1 and Y1 up to 0.
// Nothing else: the viewport may be empty (X1 > X2 or Y1 > Y2), corners are not swapped.
void SetViewPort(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2);

// Sets all 3,145,728 bytes of the back buffer to 0, fourth bytes included.
void ClearVirtualScreen();

// Plots (X, Y) in Color. Transparency 0 copies blue, green and red; otherwise each of
// them becomes ((255 - Alpha) x colour + Alpha x old + 127) div 255. The fourth byte is
// never touched. Clips.
void Pixel(int32_t X, int32_t Y);

}  // namespace lumora
