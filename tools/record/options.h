// lumora-record options: the command line, parsed and checked before any work starts.
// Relies on the showcase's scene table for the scene names.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ShowCase/showcase.h"

namespace record {

// One --still SCENE:STEP[:FILE] request.
struct TStill {
  const showcase::TScene* Scene = nullptr;
  int32_t Step = 0;
  std::string File;  // default: SCENE-STEP.png
};

struct TRecordOptions {
  uint32_t Fps = 60;
  uint32_t FrameThirds = 50;                // virtual time per frame in thirds of a ms
  const showcase::TScene* Scene = nullptr;  // null: the whole presentation
  int64_t EscapeAtMs = -1;                  // -1: Escape is never pressed
  std::string Output = "lumora-showcase.mp4";
  bool OutputGiven = false;
  bool NoVideo = false;
  std::string FramesDir;  // empty: no PNG per frame
  std::string HashesFile;  // empty: no hash list
  std::vector<TStill> Stills;
  std::string ContactSheet;  // empty: none
  std::string Assets;        // empty: look in the usual places
  bool Quiet = false;
  bool Help = false;
};

inline constexpr int64_t MAX_ESCAPE_MS = 2147483647;

// Virtual time per frame for Fps frames per second, in thirds of a millisecond; false when
// Fps does not divide 3000 (the clock would drift from the video's frame times).
bool FrameThirdsForFps(uint32_t Fps, uint32_t& Thirds);
// "1, 2, 3, ..., 3000": the frame rates FrameThirdsForFps accepts.
std::string ValidFpsList();

// The scene named Name ("introduction", "primitives", "fonts", "images", "outro"), or null.
const showcase::TScene* FindScene(const std::string& Name);

// Parses argv[1..argc-1] into Options. On a bad command line returns false with a one-line
// message in Error. --help sets Options.Help and stops parsing.
bool ParseRecordOptions(int argc, const char* const* argv, TRecordOptions& Options,
                        std::string& Error);

// What the run will do.
bool WantsVideo(const TRecordOptions& Options);
bool WantsPlayback(const TRecordOptions& Options);

const char* UsageText();

}  // namespace record
