// lumora platform: backend choice and the services shared by all backends.
// Relies on the operating system's monotonic clock and memory statistics.
#include "lumora/platform.h"

#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "lumora/lumora.h"

namespace lumora::platform {

namespace {
bool HeadlessChosen = false;
}

#ifndef LUMORA_HAVE_SDL
const TPlatform* SdlPlatform() { return nullptr; }
#endif

void SelectHeadless() { HeadlessChosen = true; }

const TPlatform& Current() {
  if (!HeadlessChosen) {
    if (const TPlatform* Sdl = SdlPlatform()) return *Sdl;
  }
  return HeadlessPlatform();
}

uint32_t MonotonicMs() {
  timespec Ts{};
  clock_gettime(CLOCK_MONOTONIC, &Ts);
  return uint32_t(uint64_t(Ts.tv_sec) * 1000u + uint64_t(Ts.tv_nsec) / 1000000u);
}

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

}  // namespace lumora::platform

namespace lumora {

int16_t GetAsyncKeyState(int32_t VKey) { return platform::Current().GetAsyncKeyState(VKey); }
uint32_t GetTickCount() { return platform::Current().GetTickCount(); }
void Sleep(uint32_t Ms) { platform::Current().Sleep(Ms); }

}  // namespace lumora
