// lumora-record playback: the presentation (or one scene) on the headless platform, the
// expected frame schedule, the video timeline, stills and the contact sheet.
// Relies on the lumora headless platform and the showcase.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ShowCase/showcase.h"
#include "tools/common/frame_hash.h"

namespace record {

// ------------------------------------------------------------------ frame schedule

// The frames a headless run presents and what each belongs to (see showcase.h).
using TSegment = showcase::TScheduleSegment;
using showcase::PlaySchedule;
using showcase::SegmentLabel;
using showcase::TSchedule;

// The hash line of presented frame Index of a run that Schedule describes.
tools::THashLine ScheduledHashLine(const TSchedule& Schedule, uint64_t Index, const uint8_t* Frame);

// ------------------------------------------------------------------ playing

struct TPlayback {
  uint32_t FrameThirds = 50;
  int64_t EscapeAtMs = -1;
  const showcase::TScene* Scene = nullptr;  // null: the whole presentation
  // Called for every presented frame with its index and the virtual time at which it was
  // presented. Returning false presses Escape, so the run ends as soon as it can.
  std::function<bool(const uint8_t* Frame, uint64_t Index, uint64_t ClockThirds)> OnFrame;
};

struct TPlayResult {
  uint64_t Frames = 0;     // frames presented
  uint64_t EndThirds = 0;  // the virtual clock at the end
};

// Plays on the headless platform from the current directory's Fonts/ and Pictures/: the
// whole presentation through showcase::RunShowcase, or one scene the same way (open, load,
// the scene, its fade, close, release).
TPlayResult Play(const TPlayback& Playback);

// ------------------------------------------------------------------ video timeline

// Turns presented frames into the frames of a constant-rate video: video frame k shows what
// was on screen at virtual time k x FrameThirds, the last frame presented at or before it.
// A frame presented after a pause (the fades sleep) is thus preceded by repeats of the one
// before, and the video lasts as long as the run on the virtual clock.
struct TTimeline {
  uint32_t FrameThirds = 50;
  uint64_t Emitted = 0;        // video frames written so far
  std::vector<uint8_t> Shown;  // the frame on screen, kept for repeats
};

using TVideoWriter = std::function<bool(const uint8_t* Frame)>;

// Adds a frame presented at ClockThirds (never earlier than the previous one).
bool TimelineAdd(TTimeline& Timeline, const uint8_t* Frame, uint64_t ClockThirds,
                 const TVideoWriter& Write);
// Repeats the last frame up to the end of the run.
bool TimelineFinish(TTimeline& Timeline, uint64_t EndThirds, const TVideoWriter& Write);

// ------------------------------------------------------------------ stills

// Opens the headless display, loads the assets, calls Draw (which may render any number of
// frames with the scenes' DrawXxxFrame into the back buffer), then closes and releases.
void WithLoadedShowcase(const std::function<void()>& Draw);

// Renders frame Step of Scene into the back buffer (display open, assets loaded).
void RenderStep(const showcase::TScene& Scene, int32_t Step);

inline constexpr int32_t SHEET_COLUMNS = 6;
inline constexpr int32_t SHEET_SCALE = 4;  // thumbnails are a quarter of the screen each way

// The step of column Column (0-based) of Scene's contact-sheet row: the middles of
// SHEET_COLUMNS equal parts of the scene.
int32_t SheetStep(const showcase::TScene& Scene, int32_t Column);

// Builds the contact sheet (display open, assets loaded): rows of thumbnails in playing
// order, labels in font 6 below each. Pixels as in the back buffer (4 bytes each).
struct TSheet {
  uint32_t Width = 0, Height = 0;
  std::vector<uint8_t> Pixels;
};
TSheet RenderContactSheet();

}  // namespace record
