// lumorashowcase driver: the running order, Terminate, the Escape poll, the frame loop's
// clock and the scene frame loop. Relies on the lumora display core and the scenes.
#include "ShowCase/showcase.h"

namespace showcase {

using namespace lumora;

bool Terminate = false;

// Fonts and images follow each other without a fade.
const TSequenceItem Sequence[SEQUENCE_LENGTH] = {{&IntroductionScene, true},
                                                 {&PrimitivesScene, true},
                                                 {&FontsScene, false},
                                                 {&ImagesScene, true},
                                                 {&OutroScene, true}};

bool PollEscape() {
  if (GetAsyncKeyState(VK_ESCAPE) != 0) Terminate = true;
  return Terminate;
}

TStepAdvance AdvanceStep(int32_t LastTime, uint32_t Now, int32_t Takt, int32_t Step) {
  // Unsigned arithmetic: a millisecond counter that passes 2^31 or wraps gives wrapped,
  // not undefined, values.
  const int32_t Delta = int32_t(Now - uint32_t(LastTime));
  return {int32_t(uint32_t(Step) + uint32_t(Delta / Takt)), Delta % Takt};
}

void RunScene(const TScene& Scene) {
  if (Terminate) return;
  int32_t Step = 0;
  int32_t LastTime = int32_t(GetTickCount());
  do {
    const TStepAdvance A = AdvanceStep(LastTime, GetTickCount(), Scene.Takt, Step);
    // The clock is read afresh for the new time stamp.
    LastTime = int32_t(GetTickCount() - uint32_t(A.Carry));
    Step = A.Step;
    Scene.DrawFrame(Step);
    Flip();
    if (PollEscape()) return;
  } while (Step < Scene.EndAt);
}

void Introduction() { RunScene(IntroductionScene); }
void Primitives() { RunScene(PrimitivesScene); }
void Fonts() { RunScene(FontsScene); }
void Images() { RunScene(ImagesScene); }
void Outro() { RunScene(OutroScene); }

void OpenShowcase() {
  InitLumora("Lumora Showcase");
  LoadFonts();
  LoadPictures();
  Terminate = false;
}

void CloseShowcase() {
  CloseLumora();
  FreePictures();
  FreeFonts();
}

bool NextFrame(TPlayer& P, uint32_t Now, TPlayerFrame& Frame) {
  if (P.Item >= SEQUENCE_LENGTH) return false;
  const TSequenceItem& Item = Sequence[P.Item];
  if (P.InFade) {
    Frame = {nullptr, ++P.FadePass};
    if (P.FadePass == FADE_PASSES) {
      P.InFade = false;
      ++P.Item;
    }
    return true;
  }
  if (!P.SceneStarted) {
    P.SceneStarted = true;
    P.Step = 0;
    P.LastTime = int32_t(Now);
  }
  const TStepAdvance A = AdvanceStep(P.LastTime, Now, Item.Scene->Takt, P.Step);
  P.LastTime = int32_t(Now - uint32_t(A.Carry));
  P.Step = A.Step;
  Frame = {Item.Scene, P.Step};
  if (P.Step >= Item.Scene->EndAt) {
    P.SceneStarted = false;
    P.FadePass = 0;
    P.InFade = Item.FadeAfter;
    if (!Item.FadeAfter) ++P.Item;
  }
  return true;
}

void DrawPlayerFrame(const TPlayerFrame& Frame) {
  if (Frame.Scene != nullptr)
    Frame.Scene->DrawFrame(Frame.Step);
  else
    DrawFadePass(Frame.Step);
}

TSchedule PlaySchedule(const TScene* Scene, uint32_t FrameThirds) {
  TSchedule Schedule;
  // The headless clock advances FrameThirds per presented frame and 3 per slept ms.
  uint64_t Thirds = 0;
  auto Present = [&](const std::string& Part, int32_t Step) {
    if (Schedule.Segments.empty() || Schedule.Segments.back().Label != Part)
      Schedule.Segments.push_back({Part, Schedule.Frames});
    Schedule.Steps.push_back(Step);
    ++Schedule.Frames;
    Thirds += FrameThirds;
  };
  Present("start", 0);  // InitLumora presents the cleared screen
  TPlayer Player;
  if (Scene != nullptr) {
    // One scene: start the player at its place in the running order, and stop after it.
    while (Player.Item + 1 < SEQUENCE_LENGTH && Sequence[Player.Item].Scene != Scene)
      ++Player.Item;
  }
  const int32_t Stop = Scene != nullptr ? Player.Item + 1 : SEQUENCE_LENGTH;
  TPlayerFrame Frame{};
  while (Player.Item < Stop && NextFrame(Player, uint32_t(Thirds / 3), Frame)) {
    Present(Frame.Scene != nullptr ? Frame.Scene->Name : "fade", Frame.Step);
    if (Frame.Scene == nullptr) Thirds += uint64_t(FADE_PAUSE_MS) * 3;
  }
  Schedule.EndThirds = Thirds;
  return Schedule;
}

const std::string& SegmentLabel(const TSchedule& Schedule, uint64_t Index) {
  static const std::string None = "end";
  if (Schedule.Segments.empty() || Index >= Schedule.Frames) return None;
  size_t I = Schedule.Segments.size() - 1;
  while (I > 0 && Schedule.Segments[I].FirstFrame > Index) --I;
  return Schedule.Segments[I].Label;
}

void PlayShowcase() {
  for (const TSequenceItem& Item : Sequence) {
    RunScene(*Item.Scene);
    if (Item.FadeAfter) Fade();
  }
}

int RunShowcase() {
  OpenShowcase();
  PlayShowcase();
  CloseShowcase();
  return 0;
}

}  // namespace showcase
