// lumora Win32 platform: a borderless window covering the primary monitor, its window
// procedure handing key-down and destroy to the library's WindowProc, and the back buffer
// presented as a top-down 32-bit DIB scaled onto the window with the aspect ratio kept.
// Clock, keyboard, pause and memory come from the system. Built for Windows instead of SDL2.
//
// lumora.h comes before windows.h: the library's WM_DESTROY, WM_KEYDOWN and VK_ESCAPE are
// constants with the same values as the system's macros, which must not rewrite them.
#include "lumora/lumora.h"
#include "lumora/platform.h"

#include "lumora/internal/win32.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace lumora {
namespace {

constexpr uint32_t WINDOW_HANDLE = 1;
constexpr uint32_t DC_HANDLE = 1;
constexpr const char* CLASS_NAME = "LumoraWindow";

HWND Window = nullptr;
bool ClassRegistered = false;
bool EscapePressed = false;  // a WM_KEYDOWN of Escape since the previous key query
// The last presented frame, kept so that WM_PAINT can repaint it: the caller's buffer may be
// freed (CloseLumora) while the window still shows it.
std::vector<uint8_t> Frame;
BITMAPINFO FrameInfo{};
int32_t FrameWidth = 0;
int32_t FrameHeight = 0;

void ReportError(const char* What) {
  const DWORD Code = ::GetLastError();
  if (Code == 0) {  // Wine without a display, for one, gives no reason
    std::fprintf(stderr, "lumora: %s (no display?)\n", What);
    return;
  }
  char Text[256] = "";
  ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, Code, 0,
                   Text, sizeof Text, nullptr);
  // The system's text ends with a line break.
  size_t N = std::strlen(Text);
  while (N > 0 && (Text[N - 1] == '\r' || Text[N - 1] == '\n' || Text[N - 1] == ' ')) Text[--N] = '\0';
  std::fprintf(stderr, "lumora: %s: error %lu%s%s\n", What, (unsigned long)Code, N ? ": " : "",
               Text);
}

// Where the frame lands in a client area of Width x Height: as large as fits with the
// frame's aspect ratio, centred; the rest shows black bars.
RECT FrameRect(LONG Width, LONG Height) {
  RECT R{0, 0, Width, Height};
  if (FrameWidth <= 0 || FrameHeight <= 0 || Width <= 0 || Height <= 0) return R;
  const int64_t W = Width, H = Height;
  if (W * FrameHeight > H * FrameWidth) {  // wider than the frame: bars left and right
    const int64_t Shown = H * FrameWidth / FrameHeight;
    R.left = LONG((W - Shown) / 2);
    R.right = LONG(R.left + Shown);
  } else {  // taller (or the same shape): bars above and below
    const int64_t Shown = W * FrameHeight / FrameWidth;
    R.top = LONG((H - Shown) / 2);
    R.bottom = LONG(R.top + Shown);
  }
  return R;
}

// Paints the kept frame and the bars around it; all black before the first frame.
void Paint(HDC Dc) {
  RECT Client{};
  if (!::GetClientRect(Window, &Client)) return;
  const HBRUSH Black = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
  if (Frame.empty()) {
    ::FillRect(Dc, &Client, Black);
    return;
  }
  const RECT F = FrameRect(Client.right, Client.bottom);
  const RECT Bars[4] = {{0, 0, Client.right, F.top},
                        {0, F.bottom, Client.right, Client.bottom},
                        {0, F.top, F.left, F.bottom},
                        {F.right, F.top, Client.right, F.bottom}};
  for (const RECT& B : Bars) {
    if (B.right > B.left && B.bottom > B.top) ::FillRect(Dc, &B, Black);
  }
  // Nearest-pixel scaling, as the SDL2 window does: at 1:1 the bytes shown are the frame's.
  ::SetStretchBltMode(Dc, COLORONCOLOR);
  ::StretchDIBits(Dc, F.left, F.top, F.right - F.left, F.bottom - F.top, 0, 0, FrameWidth,
                  FrameHeight, Frame.data(), &FrameInfo, DIB_RGB_COLORS, SRCCOPY);
}

LRESULT CALLBACK MainWindowProc(HWND Wnd, UINT Message, WPARAM WParam, LPARAM LParam) {
  switch (Message) {
    case WM_KEYDOWN:
      if (WParam == VK_ESCAPE) EscapePressed = true;
      return WindowProc(hWindow, WM_KEYDOWN, int32_t(WParam), int32_t(LParam));
    case WM_DESTROY:
      WindowProc(hWindow, WM_DESTROY, 0, 0);
      Window = nullptr;
      return 0;
    case WM_ERASEBKGND:
      // Paint covers the whole client area.
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT Ps;
      if (HDC Dc = ::BeginPaint(Wnd, &Ps)) {
        if (Window == Wnd) Paint(Dc);
        ::EndPaint(Wnd, &Ps);
      }
      return 0;
    }
    default:
      return ::DefWindowProcA(Wnd, Message, WParam, LParam);
  }
}

// Delivers the window's pending messages to MainWindowProc. WM_QUIT, posted when the
// window ends, is dropped: the program decides when to stop.
void PumpMessages() {
  MSG M;
  while (::PeekMessageA(&M, nullptr, 0, 0, PM_REMOVE)) {
    if (M.message == WM_QUIT) continue;
    ::TranslateMessage(&M);
    ::DispatchMessageA(&M);
  }
}

// A window of the monitor's size must cover its pixels, not a scaled-up copy: the process
// says it handles the monitor's DPI itself. Looked up at run time, as Windows XP lacks it.
void BecomeDpiAware() {
  const HMODULE User = ::GetModuleHandleA("user32.dll");
  if (User == nullptr) return;
  const FARPROC Proc = ::GetProcAddress(User, "SetProcessDPIAware");
  if (Proc == nullptr) return;
  using TSetAware = BOOL(WINAPI*)();
  reinterpret_cast<TSetAware>(reinterpret_cast<void (*)()>(Proc))();
}

bool RegisterWindowClass() {
  if (ClassRegistered) return true;
  BecomeDpiAware();
  WNDCLASSEXA Class{};
  Class.cbSize = sizeof Class;
  Class.style = CS_HREDRAW | CS_VREDRAW;
  Class.lpfnWndProc = MainWindowProc;
  Class.hInstance = ::GetModuleHandleA(nullptr);
  Class.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
  Class.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
  Class.lpszClassName = CLASS_NAME;
  if (::RegisterClassExA(&Class) == 0 && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    ReportError("cannot register the window class");
    return false;
  }
  ClassRegistered = true;
  return true;
}

// The window covers the primary monitor whatever Width and Height are: the frame is scaled
// onto it. A second InitLumora keeps the window and gives it the new title.
uint32_t CreateMainWindow(const char* Title, int32_t, int32_t) {
  if (Window != nullptr) {
    ::SetWindowTextA(Window, Title ? Title : "");
    return WINDOW_HANDLE;
  }
  if (!ClassRegistered) {
    std::fprintf(stderr, "lumora: cannot open the window: no window class\n");
    return 0;
  }
  const int Width = ::GetSystemMetrics(SM_CXSCREEN);
  const int Height = ::GetSystemMetrics(SM_CYSCREEN);
  Window = ::CreateWindowExA(WS_EX_APPWINDOW, CLASS_NAME, Title ? Title : "", WS_POPUP, 0, 0,
                             Width, Height, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
  if (Window == nullptr) {
    ReportError("cannot open the window");
    return 0;
  }
  return WINDOW_HANDLE;
}

void ShowMainWindow(uint32_t) {
  if (Window) ::ShowWindow(Window, SW_SHOW);
}
void SetForegroundWindow(uint32_t) {
  if (Window) ::SetForegroundWindow(Window);
}
void UpdateWindow(uint32_t) {
  if (Window) ::UpdateWindow(Window);
  PumpMessages();
}
// Painting takes the window's device context when it paints; the handle only says one exists.
uint32_t GetDC(uint32_t) { return Window ? DC_HANDLE : 0; }
void ReleaseDC(uint32_t, uint32_t) {}
void PostQuitMessage(int32_t ExitCode) { ::PostQuitMessage(ExitCode); }

void PlaceCursor(int32_t X, int32_t Y) {
  if (!Window) return;
  ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
  // The frame is scaled onto the window: the cursor goes where (X, Y) of the frame shows.
  RECT Client{};
  ::GetClientRect(Window, &Client);
  const RECT F = FrameRect(Client.right, Client.bottom);
  const int64_t W = F.right - F.left, H = F.bottom - F.top;
  POINT P{LONG(F.left + int64_t(X) * W / SCREEN_WIDTH), LONG(F.top + int64_t(Y) * H / SCREEN_HEIGHT)};
  ::ClientToScreen(Window, &P);
  ::SetCursorPos(P.x, P.y);
  // The cursor shows while the display count is 0 or more; each call raises it by one.
  for (int I = 0; I < 64 && ::ShowCursor(TRUE) < 0; ++I) {
  }
}

void GetDefaultDirectDraw(uint32_t, int32_t Width, int32_t Height, int32_t Bits) {
  if (!Window) return;
  if (Width <= 0 || Height <= 0 || Bits != 32) {
    std::fprintf(stderr, "lumora: cannot present %d x %d pixels of %d bits\n", int(Width),
                 int(Height), int(Bits));
    return;
  }
  FrameWidth = Width;
  FrameHeight = Height;
  FrameInfo = BITMAPINFO{};
  BITMAPINFOHEADER& H = FrameInfo.bmiHeader;
  H.biSize = sizeof H;
  H.biWidth = Width;
  H.biHeight = -Height;  // negative: rows top to bottom, as in the back buffer
  H.biPlanes = 1;
  H.biBitCount = 32;     // bytes blue, green, red, unused
  H.biCompression = BI_RGB;
  Frame.assign(size_t(Width) * size_t(Height) * 4u, 0);
}

void DirectDrawBlit(const uint8_t* Buffer) {
  if (Window && Buffer && !Frame.empty()) {
    std::memcpy(Frame.data(), Buffer, Frame.size());
    if (HDC Dc = ::GetDC(Window)) {
      Paint(Dc);
      ::ReleaseDC(Window, Dc);
    }
  }
  PumpMessages();
}

void CloseDirectDraw() {
  Frame.clear();
  Frame.shrink_to_fit();
  FrameWidth = 0;
  FrameHeight = 0;
}

uint32_t TickCount() { return ::GetTickCount(); }

// The system's key state, and for Escape also a WM_KEYDOWN seen while pumping: a press and
// release between two queries still counts as a press.
int16_t KeyState(int32_t VKey) {
  PumpMessages();
  const SHORT System = ::GetAsyncKeyState(VKey);
  bool Pressed = (System & 1) != 0;
  if (VKey == VK_ESCAPE) {
    Pressed = Pressed || EscapePressed;
    EscapePressed = false;
  }
  return int16_t(((System & 0x8000) != 0 ? 0x8000 : 0) | (Pressed ? 1 : 0));
}

void SleepMs(uint32_t Ms) { ::Sleep(Ms); }

uint64_t AvailMemory() { return platform::SystemAvailableMemory(); }

const platform::TPlatform Win32{
    "win32",      RegisterWindowClass,  CreateMainWindow, ShowMainWindow, SetForegroundWindow,
    UpdateWindow, GetDC,                ReleaseDC,        PostQuitMessage,
    PlaceCursor,  GetDefaultDirectDraw, DirectDrawBlit,   CloseDirectDraw,
    TickCount,    KeyState,             SleepMs,          AvailMemory,
};

}  // namespace

namespace platform {
const TPlatform* Win32Platform() { return &Win32; }
}  // namespace platform

}  // namespace lumora
