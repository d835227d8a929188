// The command line every example shares: --help, and a headless mode for tests and for
// machines without a display. Each example calls example::Start first thing in main:
//
//   --headless N     render N frames on the headless platform, with no window, and exit 0
//   LUMORA_HEADLESS  when this environment variable is set, the same: LUMORA_HEADLESS=N
//                    renders N frames, an empty value 60; --headless N on the command line wins
//
// Headless, a virtual clock advances 1000/60 ms per presented frame (and by what Sleep
// waits), so GetTickCount and the pictures are the same on every run and every machine.
// Escape goes down once the example has presented N frames (InitLumora's black first frame
// not counted), so an example's ordinary "until Escape" loop ends by itself.
//
// Two more options serve this project's tests and README stills, headless only:
//   --hashes FILE    write the XXH3-128 hash of every presented frame to FILE, one line each
//   --png FILE       write the last of the N frames to FILE as a PNG picture
// They use the PNG writer and the frame hash of tools/common. A copy of an example outside
// this tree can drop this header: delete the include and the example::Start line.
#pragma once

#include <lumora/lumora.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/common/frame_hash.h"
#include "tools/common/png_write.h"

namespace example {

inline uint64_t Frames = 0;  // N when headless, 0 when showing a window
inline std::FILE* Hashes = nullptr;
inline std::string PngFile;
inline std::string Program = "example";  // the program's file name, for messages

// A frame count: decimal digits only, 1 to 1,000,000.
inline bool ParseFrames(const char* Text, uint64_t& N) {
  if (Text == nullptr || std::strlen(Text) == 0 || std::strlen(Text) > 7) return false;
  N = 0;
  for (const char* C = Text; *C != 0; ++C) {
    if (*C < '0' || *C > '9') return false;
    N = N * 10 + uint64_t(*C - '0');
  }
  return N >= 1 && N <= 1000000;
}

// Called with every presented frame when headless (index 0 is InitLumora's black frame).
// Leaves the program at once, with exit code 1, when a file cannot be written.
inline void OnFrame(const uint8_t* Frame, uint64_t Index) {
  if (Hashes != nullptr) {
    const tools::THashLine Line{Index, Program, int32_t(lumora::HeadlessClockThirds() / 3),
                                tools::FrameHash(Frame, lumora::SCREEN_BYTES)};
    if (std::fprintf(Hashes, "%s\n", tools::FormatHashLine(Line).c_str()) < 0 ||
        std::fflush(Hashes) != 0) {
      std::fprintf(stderr, "%s: cannot write the frame hashes\n", Program.c_str());
      std::exit(1);
    }
  }
  std::string Error;
  if (!PngFile.empty() && Index == Frames &&
      !tools::WritePng(PngFile, Frame, lumora::SCREEN_WIDTH, lumora::SCREEN_HEIGHT,
                       lumora::ROW_BYTES, Error)) {
    std::fprintf(stderr, "%s: %s\n", Program.c_str(), Error.c_str());
    std::exit(1);
  }
}

// Reads the command line and LUMORA_HEADLESS and selects the headless platform when asked.
// About says what the example shows. Returns -1 when main goes on; otherwise the exit code
// main returns at once: 0 after --help, 2 after a bad argument.
inline int Start(int argc, char** argv, const char* About) {
  if (argc > 0) {  // the file name without its folder, or ".exe" on Windows
    Program = argv[0];
    Program.erase(0, Program.find_last_of("/\\") + 1);
    if (Program.size() > 4 && Program.compare(Program.size() - 4, 4, ".exe") == 0)
      Program.resize(Program.size() - 4);
  }
  std::string HashFile;
  for (int I = 1; I < argc; ++I) {
    const bool HasValue = I + 1 < argc;
    if (std::strcmp(argv[I], "--help") == 0 || std::strcmp(argv[I], "-h") == 0) {
      std::printf(
          "Usage: %s [--headless N [--hashes FILE] [--png FILE]]\n%s\n\n"
          "Run it from the folder that holds Fonts/ and Pictures/ (the build puts them\n"
          "beside the examples). Escape ends it.\n"
          "  --headless N   render N frames without a window and exit; the environment\n"
          "                 variable LUMORA_HEADLESS=N does the same (empty: 60 frames)\n"
          "  --hashes FILE  headless: write the XXH3-128 hash of every frame to FILE\n"
          "  --png FILE     headless: write the last frame to FILE as a PNG picture\n",
          Program.c_str(), About);
      return 0;
    } else if (std::strcmp(argv[I], "--headless") == 0 && HasValue) {
      if (!ParseFrames(argv[++I], Frames)) {
        std::fprintf(stderr, "%s: --headless %s: not a frame count from 1 to 1000000\n",
                     Program.c_str(), argv[I]);
        return 2;
      }
    } else if (std::strcmp(argv[I], "--hashes") == 0 && HasValue) {
      HashFile = argv[++I];
    } else if (std::strcmp(argv[I], "--png") == 0 && HasValue) {
      PngFile = argv[++I];
    } else {
      std::fprintf(stderr, "%s: unknown argument or missing value: '%s' (try --help)\n",
                   Program.c_str(), argv[I]);
      return 2;
    }
  }
  const char* Env = std::getenv("LUMORA_HEADLESS");
  if (Frames == 0 && Env != nullptr) {
    Frames = 60;
    if (Env[0] != 0 && !ParseFrames(Env, Frames)) {
      std::fprintf(stderr, "%s: LUMORA_HEADLESS=%s: not a frame count from 1 to 1000000\n",
                   Program.c_str(), Env);
      return 2;
    }
  }
  if (Frames == 0) {
    if (HashFile.empty() && PngFile.empty()) return -1;  // a window, as usual
    std::fprintf(stderr, "%s: --hashes and --png need --headless N or LUMORA_HEADLESS\n",
                 Program.c_str());
    return 2;
  }
  if (!HashFile.empty() && (Hashes = std::fopen(HashFile.c_str(), "w")) == nullptr) {
    std::fprintf(stderr, "%s: cannot write %s: %s\n", Program.c_str(), HashFile.c_str(),
                 std::strerror(errno));
    return 1;
  }
  lumora::THeadlessOptions Options;
  Options.EscapeDownAtFrame = int64_t(Frames) + 1;  // InitLumora's frame, then N of the example
  Options.FrameSink = OnFrame;
  lumora::UseHeadlessPlatform(Options);
  return -1;
}

}  // namespace example
