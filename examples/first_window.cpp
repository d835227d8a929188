// first_window: the smallest complete lumora program. It opens the window, draws a yellow
// ring in the middle of the screen, shows it, and waits for Escape or five seconds.
#include <lumora/lumora.h>

#include "example_support.h"

using namespace lumora;

int main(int argc, char** argv) {
  // --help, and --headless N for machines without a display: the same in every example.
  if (int Exit = example::Start(argc, argv, "Draws a yellow ring in a window."); Exit >= 0)
    return Exit;

  // Opens the 1024 x 768 window and the back buffer, all black. Everything is drawn into
  // the back buffer; nothing reaches the screen until Flip.
  InitLumora("lumora: first window");

  // The drawing colour: red, green, blue, then a transparency (0 opaque, 255 invisible).
  SetColor(255, 200, 0, 0);
  // A ring around the centre: radius 200, 15 pixels wide. Without the width, Circle draws
  // a thin outline one pixel wide.
  const int32_t CX = SCREEN_WIDTH / 2, CY = SCREEN_HEIGHT / 2;
  Circle(CX, CY, 200, 15);
  // A thin circle just inside it in a half-transparent white: it blends with what is below.
  SetColor(255, 255, 255, 128);
  Circle(CX, CY, 180);
  // A ring of radius 0 and width 81 covers the radii 0 to 40: a filled disc.
  SetColor(255, 90, 40, 0);
  Circle(CX, CY, 0, 81);

  // Wait for Escape, for at most five seconds. GetTickCount counts milliseconds; the
  // subtraction of unsigned numbers stays right when the 32-bit count wraps around.
  const uint32_t Started = GetTickCount();
  while (GetTickCount() - Started < 5000) {
    // Flip presents the back buffer. Presenting it on every pass keeps the window's
    // picture current, for instance after another window covered it.
    Flip();
    // GetAsyncKeyState also lets the window handle its events. ThisIsTheEnd is raised when
    // any key goes down or the window is closed.
    if (GetAsyncKeyState(VK_ESCAPE) != 0 || ThisIsTheEnd) break;
    Sleep(10);  // a pause, so that waiting does not keep a processor busy
  }

  // Frees the back buffer and closes the presentation.
  CloseLumora();
  return 0;
}
