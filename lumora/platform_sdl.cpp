// lumora SDL2 platform: a real borderless window, full screen on the desktop with the
// aspect ratio kept; the back buffer presented as a streaming texture with vsync.
#include <SDL.h>

#include <cstdio>
#include <cstring>

#include "lumora/lumora.h"
#include "lumora/platform.h"

namespace lumora {
namespace {

constexpr uint32_t WINDOW_HANDLE = 1;
constexpr uint32_t DC_HANDLE = 1;

SDL_Window* Window = nullptr;
SDL_Renderer* Renderer = nullptr;
SDL_Texture* Texture = nullptr;
SDL_Cursor* Arrow = nullptr;
bool VideoUp = false;
bool EscapePressed = false;  // a press of Escape since the previous key query

// Delivers pending window events: key-down and close reach WindowProc; a press of
// Escape is remembered for the next key query.
void PumpEvents() {
  if (!VideoUp) return;
  SDL_Event E;
  while (SDL_PollEvent(&E)) {
    if (E.type == SDL_KEYDOWN) {
      if (E.key.keysym.scancode == SDL_SCANCODE_ESCAPE) EscapePressed = true;
      WindowProc(hWindow, WM_KEYDOWN, int32_t(E.key.keysym.sym), 0);
    } else if (E.type == SDL_QUIT ||
               (E.type == SDL_WINDOWEVENT && E.window.event == SDL_WINDOWEVENT_CLOSE)) {
      WindowProc(hWindow, WM_DESTROY, 0, 0);
    }
  }
}

bool RegisterWindowClass() {
  if (!VideoUp) VideoUp = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
  return VideoUp;
}

uint32_t CreateMainWindow(const char* Title, int32_t Width, int32_t Height) {
  if (!VideoUp) {
    std::fprintf(stderr, "lumora: cannot start the video system: %s\n", SDL_GetError());
    return 0;
  }
  // Without a display SDL may fall back to a video driver that shows nothing: that is no
  // window, and the program is told so through hWindow 0.
  const char* Driver = SDL_GetCurrentVideoDriver();
  if (Driver != nullptr && (std::strcmp(Driver, "offscreen") == 0 || std::strcmp(Driver, "dummy") == 0)) {
    std::fprintf(stderr, "lumora: no display: SDL's '%s' video driver shows no window\n", Driver);
    return 0;
  }
  // The window covers the desktop; the frame is scaled into it with its aspect kept. Sized
  // to the desktop from the start, since without a window manager the full-screen flag
  // alone does not resize it.
  SDL_DisplayMode Desktop{};
  if (SDL_GetDesktopDisplayMode(0, &Desktop) == 0 && Desktop.w > 0 && Desktop.h > 0) {
    Width = Desktop.w;
    Height = Desktop.h;
  }
  Window = SDL_CreateWindow(Title ? Title : "", 0, 0, Width, Height,
                            SDL_WINDOW_BORDERLESS | SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_HIDDEN);
  if (Window == nullptr) {
    std::fprintf(stderr, "lumora: cannot open the window: %s\n", SDL_GetError());
    return 0;
  }
  return WINDOW_HANDLE;
}

void ShowMainWindow(uint32_t) {
  if (Window) SDL_ShowWindow(Window);
}
void SetForegroundWindow(uint32_t) {
  if (Window) SDL_RaiseWindow(Window);
}
void UpdateWindow(uint32_t) { PumpEvents(); }
uint32_t GetDC(uint32_t) { return Window ? DC_HANDLE : 0; }
void ReleaseDC(uint32_t, uint32_t) {}
void PostQuitMessage(int32_t) {}

void PlaceCursor(int32_t X, int32_t Y) {
  if (!Window) return;
  if (!Arrow) Arrow = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
  if (Arrow) SDL_SetCursor(Arrow);
  // The buffer is scaled onto the window: place the cursor where (X, Y) of the buffer shows.
  int W = 0, H = 0;
  SDL_GetWindowSize(Window, &W, &H);
  SDL_WarpMouseInWindow(Window, int(int64_t(X) * W / SCREEN_WIDTH), int(int64_t(Y) * H / SCREEN_HEIGHT));
  SDL_ShowCursor(SDL_ENABLE);
}

void GetDefaultDirectDraw(uint32_t, int32_t Width, int32_t Height, int32_t) {
  if (!Window) return;
  Renderer = SDL_CreateRenderer(Window, -1, SDL_RENDERER_PRESENTVSYNC);
  if (!Renderer) Renderer = SDL_CreateRenderer(Window, -1, 0);
  if (!Renderer) {
    std::fprintf(stderr, "lumora: cannot start the presentation: %s\n", SDL_GetError());
    return;
  }
  SDL_RenderSetLogicalSize(Renderer, Width, Height);  // keeps the aspect ratio
  // Bytes blue, green, red, unused are ARGB8888 on a little-endian machine.
  Texture = SDL_CreateTexture(Renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                              Width, Height);
}

void DirectDrawBlit(const uint8_t* Buffer) {
  if (Renderer && Texture && Buffer) {
    SDL_UpdateTexture(Texture, nullptr, Buffer, ROW_BYTES);
    SDL_SetRenderDrawColor(Renderer, 0, 0, 0, 255);
    SDL_RenderClear(Renderer);
    SDL_RenderCopy(Renderer, Texture, nullptr, nullptr);
    SDL_RenderPresent(Renderer);
  }
  PumpEvents();
}

void CloseDirectDraw() {
  if (Texture) SDL_DestroyTexture(Texture);
  if (Renderer) SDL_DestroyRenderer(Renderer);
  Texture = nullptr;
  Renderer = nullptr;
}

uint32_t TickCount() { return platform::MonotonicMs(); }

int16_t KeyState(int32_t VKey) {
  if (VKey != VK_ESCAPE || !VideoUp) return 0;
  PumpEvents();
  const Uint8* Keys = SDL_GetKeyboardState(nullptr);
  const bool Down = Keys && Keys[SDL_SCANCODE_ESCAPE];
  const bool Pressed = EscapePressed;
  EscapePressed = false;
  return int16_t((Down ? 0x8000 : 0) | (Pressed ? 1 : 0));
}

void SleepMs(uint32_t Ms) { SDL_Delay(Ms); }

uint64_t AvailMemory() { return platform::SystemAvailableMemory(); }

const platform::TPlatform Sdl{
    "sdl2",       RegisterWindowClass,  CreateMainWindow, ShowMainWindow, SetForegroundWindow,
    UpdateWindow, GetDC,                ReleaseDC,        PostQuitMessage,
    PlaceCursor,  GetDefaultDirectDraw, DirectDrawBlit,   CloseDirectDraw,
    TickCount,    KeyState,             SleepMs,          AvailMemory,
};

}  // namespace

namespace platform {
const TPlatform* SdlPlatform() { return &Sdl; }
}  // namespace platform

}  // namespace lumora
