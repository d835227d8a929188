// pictures: loads .bmp pictures from the Pictures/ folder and draws them with
// ShowAlphaScaleBMPPicture: scaled to any size, blended, and with a transparent colour.
#include <lumora/lumora.h>

#include <cstdio>

#include "example_support.h"

using namespace lumora;

// Loads a .bmp picture, or says why it cannot ("Pictures\\x.bmp" opens Pictures/x.bmp).
bool Load(const char* Name, TPicture& Picture) {
  uint8_t Result = 0;
  LoadBMPPicture(Name, Picture, Result);
  if (Result == BMP_OK) return true;
  // BMPResultText says what a result code means; pictures.h and docs/refusals.md list them.
  std::fprintf(stderr, "pictures: cannot load %s: result code %d, %s (run it where Pictures/ is)\n",
               Name, int(Result), BMPResultText(Result));
  return false;
}

int main(int argc, char** argv) {
  if (int Exit = example::Start(argc, argv, "Draws pictures scaled, blended, see-through.");
      Exit >= 0)
    return Exit;

  TPicture Forest{}, Bear{}, Plane{};  // empty records, not loaded, for the loader to fill
  if (!Load("Pictures\\forest-nature-wallpaper.bmp", Forest) || !Load("Pictures\\bear.bmp", Bear) ||
      !Load("Pictures\\airplane.bmp", Plane))
    return 1;
  InitLumora("lumora: pictures");

  // The arguments: top-left corner, picture, width and height to draw it at, transparency
  // (0 opaque, 255 invisible), whether to skip a transparent colour, and that colour.
  const TColor None{};  // no transparent colour: the flag before it is false
  // The forest stretched over the whole screen as the background.
  ShowAlphaScaleBMPPicture(0, 0, Forest, SCREEN_WIDTH, SCREEN_HEIGHT, 0, false, None);
  // The bear at its own size, opaque.
  ShowAlphaScaleBMPPicture(40, 40, Bear, Bear.ImageWidth, Bear.ImageHeight, 0, false, None);
  // The bear again at half its size, and squeezed to a narrow strip.
  ShowAlphaScaleBMPPicture(470, 40, Bear, Bear.ImageWidth / 2, Bear.ImageHeight / 2, 0, false,
                           None);
  ShowAlphaScaleBMPPicture(700, 40, Bear, 80, Bear.ImageHeight, 0, false, None);
  // At half its size again, blended: transparency 128 mixes it half and half with the forest.
  ShowAlphaScaleBMPPicture(470, 220, Bear, Bear.ImageWidth / 2, Bear.ImageHeight / 2, 128, false,
                           None);

  // The airplane is drawn on white. Plain, that white shows as a box; with white as the
  // transparent colour, its pixels are skipped and only the plane is drawn (here at twice
  // its size). TColor lists blue, green, red, then a transparency that is not compared.
  const TColor White{255, 255, 255, 0};
  ShowAlphaScaleBMPPicture(40, 420, Plane, Plane.ImageWidth, Plane.ImageHeight, 0, false, None);
  ShowAlphaScaleBMPPicture(380, 400, Plane, Plane.ImageWidth * 2, Plane.ImageHeight * 2, 0, true,
                           White);

  // Show it until Escape (or any key, or the window's close: ThisIsTheEnd), for at most
  // ten seconds.
  const uint32_t Started = GetTickCount();
  while (GetTickCount() - Started < 10000 && GetAsyncKeyState(VK_ESCAPE) == 0 && !ThisIsTheEnd) {
    Flip();
    Sleep(10);
  }
  CloseLumora();
  // Releases the pixel buffers.
  FreeBMPPicture(Forest);
  FreeBMPPicture(Bear);
  FreeBMPPicture(Plane);
  return 0;
}
