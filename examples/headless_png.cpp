// headless_png: renders without a window on the headless platform and writes every frame
// to frames/frame_NNN.png. The way to make pictures or video frames on a server, in a test
// or anywhere without a display.
//
// The PNG files are written by the project's PNG writer (tools/common/png_write.h, the
// CMake target lumora_png, one file over zlib) rather than by a writer of this example's
// own: a correct writer needs deflate and checksums, which would bury the few lumora calls
// this example is about. Copy png_write.h and png_write.cpp along with it.
#include <lumora/lumora.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "example_support.h"
#include "tools/common/png_write.h"

using namespace lumora;

bool Failed = false;

// Receives every presented frame: SCREEN_BYTES bytes, rows top to bottom, 4 bytes a pixel
// (blue, green, red, unused), and the frame's number. Frame 0 is InitLumora's black frame.
void WriteFrame(const uint8_t* Frame, uint64_t Index) {
  example::OnFrame(Frame, Index);  // frame hashes for this project's tests, when asked
  if (Index == 0 || Failed) return;
  char Name[64];
  std::snprintf(Name, sizeof Name, "frames/frame_%03llu.png", (unsigned long long)Index);
  std::string Error;
  Failed = !tools::WritePng(Name, Frame, SCREEN_WIDTH, SCREEN_HEIGHT, ROW_BYTES, Error);
  if (Failed)
    std::fprintf(stderr, "headless_png: %s\n", Error.c_str());
  else
    std::printf("headless_png: wrote %s\n", Name);
}

int main(int argc, char** argv) {
  if (int Exit = example::Start(argc, argv, "Writes 12 frames (or N) to frames/ as PNGs.");
      Exit >= 0)
    return Exit;

  std::error_code Ec;
  std::filesystem::create_directory("frames", Ec);
  if (!std::filesystem::is_directory("frames", Ec)) {
    std::fprintf(stderr, "headless_png: cannot create the folder frames/\n");
    return 1;
  }
  // The headless platform must be chosen before InitLumora. Escape goes down by itself once
  // InitLumora's frame and 12 of ours (or N) are presented; every frame goes to WriteFrame.
  THeadlessOptions Options;
  Options.EscapeDownAtFrame = int64_t(example::Frames > 0 ? example::Frames : 12) + 1;
  Options.FrameSink = WriteFrame;
  UseHeadlessPlatform(Options);
  InitLumora("lumora: headless");

  // The headless clock is virtual: each Flip advances it by exactly 1000/60 ms, so the
  // same program writes the same frames on every run.
  const uint32_t Started = GetTickCount();
  while (GetAsyncKeyState(VK_ESCAPE) == 0 && !Failed) {
    const int32_t T = int32_t(GetTickCount() - Started);
    ClearVirtualScreen();
    // Rings that grow from the centre and shift from blue towards red over 200 ms.
    const int32_t Shift = (T < 200 ? T : 200) / 2;
    for (int32_t Ring = 0; Ring < 8; ++Ring) {
      const int32_t Radius = 30 + Ring * 40 + T / 4;
      SetColor(uint8_t(40 + Ring * 15 + Shift), 120, uint8_t(255 - Ring * 15 - Shift), 0);
      Circle(SCREEN_WIDTH / 2, SCREEN_HEIGHT / 2, Radius, 1 + Ring * 2);
    }
    Flip();
  }
  CloseLumora();
  return Failed ? 1 : 0;
}
