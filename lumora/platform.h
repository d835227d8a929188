// lumora platform layer: the few services the library takes from the system.
// Private to the library; one table of entry points per backend (SDL2 window, headless).
#pragma once

#include <cstdint>

namespace lumora::platform {

struct TPlatform {
  const char* Name;
  // Window services.
  bool (*RegisterWindowClass)();
  uint32_t (*CreateMainWindow)(const char* Title, int32_t Width, int32_t Height);  // 0 on failure
  void (*ShowMainWindow)(uint32_t Window);
  void (*SetForegroundWindow)(uint32_t Window);
  void (*UpdateWindow)(uint32_t Window);
  uint32_t (*GetDC)(uint32_t Window);
  void (*ReleaseDC)(uint32_t Window, uint32_t DC);
  void (*PostQuitMessage)(int32_t ExitCode);
  // Cursor: the standard arrow at (X, Y), shown.
  void (*PlaceCursor)(int32_t X, int32_t Y);
  // Presentation.
  void (*GetDefaultDirectDraw)(uint32_t Window, int32_t Width, int32_t Height, int32_t Bits);
  void (*DirectDrawBlit)(const uint8_t* Buffer);
  void (*CloseDirectDraw)();
  // Time, keyboard, memory.
  uint32_t (*GetTickCount)();
  int16_t (*GetAsyncKeyState)(int32_t VKey);
  void (*Sleep)(uint32_t Ms);
  uint64_t (*AvailPhysicalMemory)();
};

// The backend in use: the SDL2 window when the build has it and no program chose the
// headless platform, otherwise the headless one.
const TPlatform& Current();

// Backends; SdlPlatform is null in a build without SDL2.
const TPlatform* SdlPlatform();
const TPlatform& HeadlessPlatform();
void SelectHeadless();

// Shared by the backends.
uint32_t MonotonicMs();
uint64_t SystemAvailableMemory();

}  // namespace lumora::platform
