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
