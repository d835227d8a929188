// lumora-record playback: headless runs, the frame schedule, the video timeline, stills and
// the contact sheet. Relies on the lumora headless platform and the showcase.
#include "tools/record/playback.h"

#include <cmath>
#include <cstring>

namespace record {

using namespace lumora;

namespace {

uint64_t ClockThirdsNow() { return HeadlessClockThirds(); }

const showcase::TSequenceItem& SequenceItem(const showcase::TScene& Scene) {
  for (const showcase::TSequenceItem& Item : showcase::Sequence)
    if (Item.Scene == &Scene) return Item;
  return showcase::Sequence[0];  // every scene is in the running order
}

}  // namespace

tools::THashLine ScheduledHashLine(const TSchedule& Schedule, uint64_t Index, const uint8_t* Frame) {
  tools::THashLine Line;
  Line.Index = Index;
  Line.Part = SegmentLabel(Schedule, Index);
  Line.Step = Index < Schedule.Steps.size() ? Schedule.Steps[Index] : -1;
  Line.Hash = tools::FrameHash(Frame, SCREEN_BYTES);
  return Line;
}

TPlayResult Play(const TPlayback& Playback) {
  THeadlessOptions Options;
  Options.FrameThirds = Playback.FrameThirds;
  Options.EscapeDownAtMs = Playback.EscapeAtMs;
  Options.FrameSink = [&Playback](const uint8_t* Frame, uint64_t Index) {
    // The sink runs before the platform advances the clock: this is the presentation time.
    if (Playback.OnFrame && !Playback.OnFrame(Frame, Index, ClockThirdsNow()))
      HeadlessPressEscape();
  };
  UseHeadlessPlatform(Options);
  if (Playback.Scene == nullptr) {
    showcase::RunShowcase();
  } else {
    showcase::OpenShowcase();
    showcase::RunScene(*Playback.Scene);
    if (SequenceItem(*Playback.Scene).FadeAfter) showcase::Fade();
    showcase::CloseShowcase();
  }
  const TPlayResult Result{HeadlessFrameCount(), ClockThirdsNow()};
  UseHeadlessPlatform();  // drop the sink, which refers to Playback
  return Result;
}

bool TimelineAdd(TTimeline& Timeline, const uint8_t* Frame, uint64_t ClockThirds,
                 const TVideoWriter& Write) {
  if (Timeline.Shown.empty()) Timeline.Shown.assign(SCREEN_BYTES, 0);  // black before the first
  while (Timeline.Emitted * Timeline.FrameThirds < ClockThirds) {
    if (!Write(Timeline.Shown.data())) return false;
    ++Timeline.Emitted;
  }
  std::memcpy(Timeline.Shown.data(), Frame, SCREEN_BYTES);
  return true;
}

bool TimelineFinish(TTimeline& Timeline, uint64_t EndThirds, const TVideoWriter& Write) {
  if (Timeline.Shown.empty()) Timeline.Shown.assign(SCREEN_BYTES, 0);
  while (Timeline.Emitted * Timeline.FrameThirds < EndThirds) {
    if (!Write(Timeline.Shown.data())) return false;
    ++Timeline.Emitted;
  }
  return true;
}

void WithLoadedShowcase(const std::function<void()>& Draw) {
  UseHeadlessPlatform();
  showcase::OpenShowcase();
  Draw();
  showcase::CloseShowcase();
}

void RenderStep(const showcase::TScene& Scene, int32_t Step) {
  // The drawing state of a fresh run, so that a still does not depend on the one before.
  SetColor(0, 0, 0, 0);
  SetViewPort(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
  showcase::Terminate = false;
  Scene.DrawFrame(Step);
}

int32_t SheetStep(const showcase::TScene& Scene, int32_t Column) {
  return int32_t(int64_t(2 * Column + 1) * Scene.EndAt / (2 * SHEET_COLUMNS));
}

TSheet RenderContactSheet() {
  constexpr uint32_t MARGIN = 8, LABEL_HEIGHT = 20, BACKGROUND = 40;
  constexpr uint32_t THUMB_W = SCREEN_WIDTH / SHEET_SCALE, THUMB_H = SCREEN_HEIGHT / SHEET_SCALE;
  constexpr uint32_t ROWS = showcase::SEQUENCE_LENGTH;
  static_assert(SCREEN_WIDTH % SHEET_SCALE == 0 && SCREEN_HEIGHT % SHEET_SCALE == 0);

  TSheet Sheet;
  Sheet.Width = MARGIN + SHEET_COLUMNS * (THUMB_W + MARGIN);
  Sheet.Height = MARGIN + ROWS * (THUMB_H + LABEL_HEIGHT + MARGIN);
  Sheet.Pixels.assign(size_t(Sheet.Width) * Sheet.Height * 4, BACKGROUND);
  const size_t SheetRow = size_t(Sheet.Width) * 4;

  for (uint32_t Row = 0; Row < ROWS; ++Row) {
    const showcase::TScene& Scene = *showcase::Sequence[Row].Scene;
    for (int32_t Column = 0; Column < SHEET_COLUMNS; ++Column) {
      const int32_t Step = SheetStep(Scene, Column);
      const size_t X0 = MARGIN + size_t(Column) * (THUMB_W + MARGIN);
      const size_t Y0 = MARGIN + size_t(Row) * (THUMB_H + LABEL_HEIGHT + MARGIN);

      RenderStep(Scene, Step);
      constexpr uint32_t AREA = SHEET_SCALE * SHEET_SCALE;
      for (uint32_t Y = 0; Y < THUMB_H; ++Y) {
        uint8_t* Out = Sheet.Pixels.data() + (Y0 + Y) * SheetRow + X0 * 4;
        for (uint32_t X = 0; X < THUMB_W; ++X, Out += 4) {
          for (uint32_t C = 0; C < 3; ++C) {
            uint32_t Sum = 0;
            for (uint32_t DY = 0; DY < SHEET_SCALE; ++DY) {
              const uint8_t* In = VirtualScreen + size_t(Y * SHEET_SCALE + DY) * ROW_BYTES +
                                  size_t(X) * SHEET_SCALE * 4 + C;
              for (uint32_t DX = 0; DX < SHEET_SCALE; ++DX) Sum += In[DX * 4];
            }
            Out[C] = uint8_t((Sum + AREA / 2) / AREA);
          }
          Out[3] = 0;
        }
      }

      // The label is drawn by lumora itself into the cleared back buffer and copied below.
      ClearVirtualScreen();
      SetViewPort(0, 0, THUMB_W - 1, LABEL_HEIGHT - 1);
      SetColor(220, 220, 220, 0);
      WriteText(4, 2, showcase::Font(showcase::FONT_GENTIUM_11),
                std::string(Scene.Name) + "  step " + std::to_string(Step));
      for (uint32_t Y = 0; Y < LABEL_HEIGHT; ++Y)
        std::memcpy(Sheet.Pixels.data() + (Y0 + THUMB_H + Y) * SheetRow + X0 * 4,
                    VirtualScreen + size_t(Y) * ROW_BYTES, THUMB_W * 4);
    }
  }
  SetViewPort(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
  return Sheet;
}

}  // namespace record
