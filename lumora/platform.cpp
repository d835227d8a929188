// lumora platform: backend choice and the services shared by all backends.
// Relies on the operating system's monotonic clock and memory statistics.
#include "lumora/platform.h"

#include "lumora/lumora.h"  // before windows.h, whose macros share names with its constants

#ifdef _WIN32
#include "lumora/internal/win32.h"
#else
#include <time.h>
#include <unistd.h>
#endif
#if defined(__EMSCRIPTEN__)
#include <emscripten/heap.h>
#endif

#include <cstdio>
#include <cstring>

namespace lumora::platform {

namespace {
bool HeadlessChosen = false;
}

#ifndef LUMORA_HAVE_SDL
const TPlatform* SdlPlatform() { return nullptr; }
#endif

#ifdef LUMORA_HAVE_WIN32
// The Win32 window (platform_win32.cpp), the window of a Windows build.
const TPlatform* Win32Platform();
#endif

#ifdef LUMORA_HAVE_WEB
// The page's canvas (platform_web.cpp), the display of an Emscripten build.
const TPlatform* WebPlatform();
#endif

void SelectHeadless() { HeadlessChosen = true; }

const TPlatform& Current() {
  if (!HeadlessChosen) {
#ifdef LUMORA_HAVE_WIN32
    return *Win32Platform();
#endif
#ifdef LUMORA_HAVE_WEB
    return *WebPlatform();
#endif
    if (const TPlatform* Sdl = SdlPlatform()) return *Sdl;
  }
  return HeadlessPlatform();
}

#ifdef _WIN32

// The performance counter: finer than the tick count's 10 to 16 ms.
uint32_t MonotonicMs() {
  LARGE_INTEGER Frequency{}, Count{};
  if (!::QueryPerformanceFrequency(&Frequency) || Frequency.QuadPart <= 0 ||
      !::QueryPerformanceCounter(&Count) || Count.QuadPart < 0)
    return ::GetTickCount();
  const uint64_t F = uint64_t(Frequency.QuadPart), C = uint64_t(Count.QuadPart);
  return uint32_t(C / F * 1000u + C % F * 1000u / F);
}

// The physical memory not in use, as the system reports it.
uint64_t SystemAvailableMemory() {
  MEMORYSTATUSEX Status{};
  Status.dwLength = sizeof Status;
  if (!::GlobalMemoryStatusEx(&Status)) return 0;
  return uint64_t(Status.ullAvailPhys);
}

#else

// Under Emscripten, CLOCK_MONOTONIC is performance.now() (node's or the page's).
uint32_t MonotonicMs() {
  timespec Ts{};
  clock_gettime(CLOCK_MONOTONIC, &Ts);
  return uint32_t(uint64_t(Ts.tv_sec) * 1000u + uint64_t(Ts.tv_nsec) / 1000000u);
}

#if defined(__EMSCRIPTEN__)

// A WebAssembly module cannot see the machine's memory (a page has at most
// navigator.deviceMemory, rounded and not everywhere, and /proc would be the host's under
// Node.js): what it can ever allocate is bounded by the most its memory may grow to, a
// figure fixed when the module is linked (-sMAXIMUM_MEMORY). That bound is reported.
uint64_t SystemAvailableMemory() { return uint64_t(emscripten_get_heap_max()); }

#else

// MemAvailable of /proc/meminfo: what can be allocated without swapping. Falls back to
// the free pages when the kernel does not report it.
uint64_t SystemAvailableMemory() {
  if (FILE* F = std::fopen("/proc/meminfo", "r")) {
    char Line[256];
    unsigned long long Kb = 0;
    bool Found = false;
    while (std::fgets(Line, sizeof Line, F)) {
      if (std::sscanf(Line, "MemAvailable: %llu kB", &Kb) == 1) {
        Found = true;
        break;
      }
    }
    std::fclose(F);
    if (Found) return uint64_t(Kb) * 1024u;
  }
  long Pages = sysconf(_SC_AVPHYS_PAGES);
  long PageSize = sysconf(_SC_PAGESIZE);
  if (Pages < 0 || PageSize < 0) return 0;
  return uint64_t(Pages) * uint64_t(PageSize);
}

#endif  // __EMSCRIPTEN__

#endif

}  // namespace lumora::platform

namespace lumora {

int16_t GetAsyncKeyState(int32_t VKey) { return platform::Current().GetAsyncKeyState(VKey); }
uint32_t GetTickCount() { return platform::Current().GetTickCount(); }
void Sleep(uint32_t Ms) { platform::Current().Sleep(Ms); }

}  // namespace lumora
