// sprites: draws the frames of a walking figure into a sprite sheet once, through a canvas,
// then shows them on the screen with ShowAlphaScaleBMPPicture: animated, scaled and with
// the sheet's background colour left out.
#include <lumora/lumora.h>

#include "example_support.h"

using namespace lumora;

const int32_t CELL = 32, FRAMES = 6;          // six 32 x 32 frames, one below the other
const TColor KEY{255, 0, 255, 0};             // magenta (blue, green, red): the background
const int32_t Swing[FRAMES] = {-6, -3, 2, 6, 3, -2};  // the legs' stride in each frame

// One frame of the figure in the cell whose top row is Top. The canvas's viewport is the
// cell, so whatever reaches beyond it (a foot, here) is cut off and never spoils the next.
void DrawFrame(TCanvas& Sheet, int32_t Top, int32_t Step) {
  SetViewPort(Sheet, 0, Top, CELL - 1, Top + CELL - 1);
  const int32_t Y = Top + (Step < 0 ? -Step : Step) / 3;  // the body dips as the legs part
  // A leg two pixels wide and an arm, swinging against each other; Side 1 or -1.
  auto Limbs = [&](int32_t Side) {
    for (int32_t X = 15; X <= 16; ++X) Line(Sheet, X, Y + 20, X + Side * Step, Top + 32);
    Line(Sheet, 16, Y + 12, 16 - Side * Step, Y + 20);
  };
  SetColor(Sheet, 30, 40, 120, 0);  // the far leg and arm, darker, behind the body
  Limbs(-1);
  SetColor(Sheet, 230, 70, 40, 0);  // the body
  FillRectangle(Sheet, 14, Y + 11, 17, Y + 21);
  SetColor(Sheet, 70, 110, 230, 0);  // the near leg and arm, in front of it
  Limbs(1);
  SetColor(Sheet, 250, 200, 160, 0);  // the head: a ring of radius 0 is a disc
  Circle(Sheet, 16, Y + 6, 0, 9);
}

int main(int argc, char** argv) {
  if (int Exit = example::Start(argc, argv, "Walks figures drawn into a sprite sheet."); Exit >= 0)
    return Exit;
  InitLumora("lumora: sprites");

  // The sheet: a canvas of its own memory (rows Width x 4 bytes apart, as in a picture),
  // filled with the background colour, each frame drawn into its cell. A picture over the
  // same memory shows the sheet; a picture per frame points at that frame's rows.
  TCanvas Sheet;
  if (!AllocateCanvas(Sheet, CELL, CELL * FRAMES)) return 1;  // no memory for 24 KiB
  SetColor(Sheet, KEY.R, KEY.G, KEY.B, 0);
  FillRectangle(Sheet, 0, 0, CELL - 1, CELL * FRAMES - 1);
  const TPicture Whole{"sheet", true, uint32_t(CELL), uint32_t(CELL * FRAMES), Sheet.Pixels};
  TPicture Frame[FRAMES]{};
  for (int32_t F = 0; F < FRAMES; ++F) {
    DrawFrame(Sheet, F * CELL, Swing[F]);
    Frame[F] = TPicture{"frame", true, uint32_t(CELL), uint32_t(CELL), Sheet.Pixels + F * CELL * Sheet.Stride};
  }

  // Until Escape (or the window's close) or for twenty seconds, one frame a pass.
  const uint32_t Started = GetTickCount();
  while (GetAsyncKeyState(VK_ESCAPE) == 0 && !ThisIsTheEnd) {
    const uint32_t T = GetTickCount() - Started;
    if (T >= 20000) break;
    SetColor(120, 190, 240, 0);  // sky and grass
    FillRectangle(0, 0, SCREEN_WIDTH - 1, 539);
    SetColor(70, 150, 60, 0);
    FillRectangle(0, 540, SCREEN_WIDTH - 1, SCREEN_HEIGHT - 1);
    // The sheet as it is, at twice its size, magenta and all.
    ShowAlphaScaleBMPPicture(20, 20, Whole, 2 * CELL, 2 * CELL * FRAMES, 0, false, KEY);
    // Walkers at three sizes and speeds, each two frames further on; the farthest is partly
    // see-through (transparency 110). With Transparent, a frame's magenta pixels are skipped.
    for (int32_t I = 0; I < 3; ++I) {
      const int32_t Scale = 2 + 2 * I, Size = CELL * Scale, Speed = 60 + 50 * I;
      const int64_t Walked = int64_t(T) * Speed / 1000 + 700 - 250 * I;
      const int32_t X = int32_t(Walked % (SCREEN_WIDTH + Size)) - Size / 2;
      const int32_t F = int32_t((T / 110 + uint32_t(I) * 2) % FRAMES);
      ShowAlphaScaleBMPPicture(X, 560 - Size + 40 * I, Frame[F], Size, Size, I == 0 ? 110 : 0, true, KEY);
    }
    Flip();  // headless: the virtual clock advances 1000/60 ms
  }
  CloseLumora();
  FreeCanvas(Sheet);  // the pictures pointed into its memory: not to be shown any more
  return 0;
}
