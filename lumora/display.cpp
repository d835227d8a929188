// lumora display: InitLumora, CloseLumora, Flip, WindowProc, GetAvailRAMMemory.
// Owns the window handles, the end flag and the back buffer; relies on the platform layer.
#include <cstring>

#include "lumora/lumora.h"
#include "lumora/platform.h"

namespace lumora {

const char* ApplicationID = nullptr;
uint32_t hWindow = 0;
uint32_t hHDC = 0;
bool ThisIsTheEnd = false;
PDataElement VirtualScreen = nullptr;

namespace {

bool WinRegister() { return platform::Current().RegisterWindowClass(); }

uint32_t WinCreate() {
  const platform::TPlatform& P = platform::Current();
  const uint32_t Window = P.CreateMainWindow(ApplicationID, SCREEN_WIDTH, SCREEN_HEIGHT);
  if (Window == 0) return 0;
  P.ShowMainWindow(Window);
  P.SetForegroundWindow(Window);
  P.UpdateWindow(Window);
  hHDC = P.GetDC(Window);
  return Window;
}

}  // namespace

void InitLumora(const char* ApplicationID_) {
  const platform::TPlatform& P = platform::Current();
  ApplicationID = ApplicationID_;
  WinRegister();
  hWindow = WinCreate();  // a backend that cannot open a window says so on stderr
  P.GetDefaultDirectDraw(hWindow, SCREEN_WIDTH, SCREEN_HEIGHT, 32);
  delete[] VirtualScreen;
  VirtualScreen = new uint8_t[SCREEN_BYTES];
  std::memset(VirtualScreen, 0, SCREEN_BYTES);
  P.PlaceCursor(SCREEN_WIDTH / 2, SCREEN_HEIGHT / 2);
  P.DirectDrawBlit(VirtualScreen);
  P.SetForegroundWindow(hWindow);
  SetViewPort(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
}

void CloseLumora() {
  delete[] VirtualScreen;
  // Null, so that drawing after the close touches no memory.
  VirtualScreen = nullptr;
  platform::Current().CloseDirectDraw();
}

void Flip() {
  if (VirtualScreen == nullptr) return;
  platform::Current().DirectDrawBlit(VirtualScreen);
}

bool WindowShown() { return hWindow != 0 && &platform::Current() != &platform::HeadlessPlatform(); }

int32_t GetAvailRAMMemory() {
  const uint64_t Bytes = platform::Current().AvailPhysicalMemory();
  constexpr uint64_t Max = uint64_t(std::numeric_limits<int32_t>::max());
  return int32_t(Bytes > Max ? Max : Bytes);
}

int32_t WindowProc(uint32_t Window, int32_t AMessage, int32_t WParam, int32_t LParam) {
  (void)Window;
  (void)WParam;
  (void)LParam;
  if (AMessage == WM_DESTROY || AMessage == WM_KEYDOWN) {
    const platform::TPlatform& P = platform::Current();
    ThisIsTheEnd = true;
    P.ReleaseDC(hWindow, hHDC);
    hHDC = 0;
    P.PostQuitMessage(0);
    return 0;
  }
  return 0;  // the default handling: nothing more to do for other messages
}

}  // namespace lumora
