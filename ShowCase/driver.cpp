// lumorashowcase driver: the main sequence, Terminate, the Escape poll and the scene frame loop.
// Relies on the lumora display core and the scenes.
#include "ShowCase/showcase.h"

namespace showcase {

using namespace lumora;

bool Terminate = false;

const TScene* const Scenes[5] = {&IntroductionScene, &PrimitivesScene, &FontsScene,
                                 &ImagesScene, &OutroScene};

bool PollEscape() {
  if (GetAsyncKeyState(VK_ESCAPE) != 0) Terminate = true;
  return Terminate;
}

void RunScene(const TScene& Scene) {
  if (Terminate) return;
  int32_t Step = 0;
  int32_t LastTime = int32_t(GetTickCount());
  do {
    // Unsigned arithmetic: a millisecond counter that passes 2^31 or wraps gives wrapped,
    // not undefined, values.
    const int32_t Delta = int32_t(GetTickCount() - uint32_t(LastTime));
    // The remainder below one Takt is carried into the next frame.
    LastTime = int32_t(GetTickCount() - uint32_t(Delta % Scene.Takt));
    Step += Delta / Scene.Takt;
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

int RunShowcase() {
  InitLumora("Lumora Showcase");
  LoadFonts();
  LoadPictures();
  Terminate = false;
  Introduction();
  Fade();
  Primitives();
  Fade();
  Fonts();
  Images();
  Fade();
  Outro();
  Fade();
  CloseLumora();
  FreePictures();
  FreeFonts();
  return 0;
}

}  // namespace showcase
