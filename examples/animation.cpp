// animation: a frame loop. Each pass clears the back buffer, draws a ball where the clock
// says it is, and presents the frame, until Escape is pressed or twenty seconds are over.
#include <lumora/lumora.h>

#include <cstdio>

#include "example_support.h"

using namespace lumora;

// A position that goes from 0 to Span and back at Speed pixels a second, Ms (0 or more)
// into the run.
int32_t Bounce(int64_t Ms, int32_t Span, int32_t Speed) {
  const int64_t Travelled = Ms * Speed / 1000 % (2 * Span);
  return int32_t(Travelled <= Span ? Travelled : 2 * Span - Travelled);
}

const int32_t R = 40;  // the ball's radius

// Where the centre of the ball is Ms into the run (from -900 ms); at 0 it is near the
// middle of the screen.
void BallAt(int64_t Ms, int32_t& X, int32_t& Y) {
  X = R + Bounce(Ms + 900, SCREEN_WIDTH - 2 * R, 500);
  Y = R + Bounce(Ms + 1000, SCREEN_HEIGHT - 2 * R, 350);
}

int main(int argc, char** argv) {
  if (int Exit = example::Start(argc, argv, "Bounces a ball; Escape stops it."); Exit >= 0)
    return Exit;

  TFont Small{};  // empty, not loaded, until LoadFNTFont fills it
  uint8_t Result = 0;
  LoadFNTFont("Fonts\\Gentium Basic_11.fnt", Small, Result);
  if (Result != FNT_OK) {
    std::fprintf(stderr, "animation: cannot load its font: %s\n", FNTResultText(Result));
    return 1;
  }
  InitLumora("lumora: animation");

  const uint32_t Started = GetTickCount();
  uint32_t Frames = 0;
  // GetAsyncKeyState reports Escape held down now or pressed since the last call.
  while (GetAsyncKeyState(VK_ESCAPE) == 0 && !ThisIsTheEnd) {
    // Motion follows the clock, not the frame count, so the ball keeps its speed whatever
    // the frame rate. Unsigned subtraction stays right when the 32-bit clock wraps.
    const uint32_t T = GetTickCount() - Started;
    if (T >= 20000) break;
    ClearVirtualScreen();  // every frame is drawn from nothing

    // A fading trail where the ball was 60, 120, ... 300 ms ago (a ring of radius 0 and
    // width 2R + 1 is a disc), more transparent the older it is. Drawn oldest first, so
    // that newer discs blend over older ones.
    int32_t X = 0, Y = 0;
    for (uint32_t Back = 5; Back >= 1; --Back) {
      BallAt(int64_t(T) - Back * 60, X, Y);
      SetColor(40, 160, 255, uint8_t(100 + 30 * Back));
      Circle(X, Y, 0, 2 * R + 1);
    }
    // The ball now, and a ring around it whose width pulses between 1 and 12 pixels.
    BallAt(T, X, Y);
    SetColor(255, 230, 90, 0);
    Circle(X, Y, 0, 2 * R + 1);
    Circle(X, Y, R + 14, 1 + Bounce(T, 11, 22));

    // The frame number and the time, in the bottom-left corner.
    char Status[64];
    std::snprintf(Status, sizeof Status, "frame %u, %u.%03u s", Frames, T / 1000, T % 1000);
    SetColor(200, 200, 200, 0);
    WriteText(10, SCREEN_HEIGHT - 10 - Small.PixHeight, Small, Status);

    // Present the frame. The window asks for vertical sync, so there this waits for the
    // display's next refresh, which paces the loop; headless, the virtual clock advances
    // by 1000/60 ms.
    Flip();
    ++Frames;
  }
  CloseLumora();
  FreeFNTFont(Small);
  return 0;
}
