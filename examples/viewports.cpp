// viewports: clipping. The same drawing is made four times, each time inside a different
// quarter of the screen set with SetViewPort; whatever reaches beyond a quarter is cut off.
#include <lumora/lumora.h>

#include "example_support.h"

using namespace lumora;

// A drawing around (CX, CY) that is larger than a quarter of the screen: a fan of lines,
// a wide ring, and a translucent band across it. Every call clips to the current viewport.
void DrawFigure(int32_t CX, int32_t CY, uint8_t R, uint8_t G, uint8_t B) {
  SetColor(R, G, B, 0);
  for (int32_t I = -8; I <= 8; ++I) Line(CX, CY, CX + I * 40, CY - 400);
  Circle(CX, CY, 210, 25);
  SetColor(255, 255, 255, 160);  // mostly transparent white
  FillRectangle(CX - 400, CY + 60, CX + 400, CY + 120);
  SetColor(R, G, B, 0);
  Rectangle(CX - 120, CY - 120, CX + 120, CY + 120, 5);
}

int main(int argc, char** argv) {
  if (int Exit = example::Start(argc, argv, "Draws one figure clipped to four viewports.");
      Exit >= 0)
    return Exit;
  InitLumora("lumora: viewports");

  const int32_t W = SCREEN_WIDTH / 2, H = SCREEN_HEIGHT / 2;  // the size of a quarter
  // One viewport per quarter: left, top, right, bottom, all edges inclusive. Each figure is
  // centred in its quarter and drawn in its own colour.
  struct TQuarter {
    int32_t X, Y;
    uint8_t R, G, B;
  };
  const TQuarter Quarters[4] = {
      {0, 0, 255, 200, 0}, {W, 0, 0, 200, 255}, {0, H, 80, 255, 80}, {W, H, 255, 80, 160}};
  for (const TQuarter& Q : Quarters) {
    // A 10-pixel margin inside each quarter, so that the cut is easy to see.
    SetViewPort(Q.X + 10, Q.Y + 10, Q.X + W - 11, Q.Y + H - 11);
    DrawFigure(Q.X + W / 2, Q.Y + H / 2, Q.R, Q.G, Q.B);
  }

  // Back to the whole screen, and the quarters' borders drawn just outside each viewport.
  SetViewPort(0, 0, SCREEN_WIDTH - 1, SCREEN_HEIGHT - 1);
  SetColor(128, 128, 128, 0);
  for (const TQuarter& Q : Quarters) Rectangle(Q.X + 9, Q.Y + 9, Q.X + W - 10, Q.Y + H - 10, 1);

  // Show it until Escape (or any key, or the window's close: ThisIsTheEnd), for at most
  // ten seconds.
  const uint32_t Started = GetTickCount();
  while (GetTickCount() - Started < 10000 && GetAsyncKeyState(VK_ESCAPE) == 0 && !ThisIsTheEnd) {
    Flip();
    Sleep(10);
  }
  CloseLumora();
  return 0;
}
