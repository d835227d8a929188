// lumorashowcase images scene: a slideshow, a scaling cascade, two translucent pictures
// crossing and a picture with a transparent colour on an arc, under a title band.
// Relies on the lumora picture display, text and fill, the asset catalogue and the frame loop.
#include <algorithm>

#include "ShowCase/showcase.h"
#include "lumora/internal/extended.h"

namespace showcase {

using namespace lumora;
using ext::Ext;
using ext::TExtended;

namespace {

const std::string TitleText = "Lumora - bmp pictures";
const std::string ScalingText = "Scaling";
const std::string AlphablendingText = "alphablending";
const std::string TransparentText = "Transparent Color";

struct TSlide {
  int32_t X, Y, Picture;
};
constexpr TSlide SLIDES[5] = {{20, 20, 2}, {500, 400, 3}, {524, 50, 4}, {35, 318, 5}, {262, 20, 6}};

constexpr int32_t CASCADE_PICTURE = 1;
constexpr int32_t CROSSING_PICTURES[2] = {0, 7};
constexpr int32_t FLIGHT_PICTURE = 8;

uint8_t ClampByte(int64_t V) { return uint8_t(std::clamp<int64_t>(V, 0, 255)); }
int64_t Round(TExtended V) { return ext::RoundToInt(V); }

// A catalogue picture, or an empty (not loaded) one when the catalogue is not filled.
const TPicture& PictureAt(int32_t Index) {
  static const TPicture None{};
  return size_t(Index) < Pictures.size() ? Pictures[size_t(Index)] : None;
}

void ShowOwnSize(int32_t X, int32_t Y, const TPicture& P, uint8_t Alpha) {
  ShowAlphaScaleBMPPicture(X, Y, P, P.ImageWidth, P.ImageHeight, Alpha, false, TColor{});
}

void WhiteText(int32_t X, int32_t Y, uint8_t Alpha, const std::string& Text) {
  SetColor(255, 255, 255, Alpha);
  WriteText(X, Y, Font(FONT_COMIC_SANS_26), Text);
}

}  // namespace

uint8_t SlideshowAlpha(int32_t T) {
  const TExtended U = Ext(T);
  if (T < 60) return ClampByte(255 - Round(U / Ext(60) * Ext(255)));
  if (T > 160) return ClampByte(Round((U - Ext(160)) / Ext(60) * Ext(255)));
  return 0;
}

TCascadeCopy CascadeCopyAt(int32_t I, int32_t T, uint32_t ImageWidth, uint32_t ImageHeight) {
  const TExtended U = Ext(T);
  const TExtended Quarter = ext::FromDecimal(25, 2);
  TCascadeCopy C{};
  C.Alpha = (I == 1 && T < 60) ? ClampByte(255 - Round(U / Ext(60) * Ext(255))) : 0;
  if (T < 100) {
    C.Size = ext::ToDouble(U / Ext(100) * Quarter + Ext(I - 1) * Quarter);
    C.P = int32_t(Round(U / Ext(100) * Ext(60) + Ext(I - 1) * Ext(60)));
  } else {
    C.Size = ext::ToDouble(Ext(I) / Ext(4));
    C.P = I * 60;
  }
  // The size is held as a double, as the scene stores it, before it scales the picture.
  const TExtended Size = ext::FromDouble(C.Size);
  C.Width = uint32_t(Round(Ext(ImageWidth) * Size));
  C.Height = uint32_t(Round(Ext(ImageHeight) * Size));
  return C;
}

TCrossing CrossingAt(int32_t T) {
  const TExtended U = Ext(T);
  TCrossing C{};
  C.Alpha = T < 60 ? ClampByte(255 - Round(U / Ext(60) * Ext(115))) : 140;
  C.X = T < 500 ? int32_t(Round(U / Ext(500) * Ext(650) - Ext(200))) : 450;
  C.Y = T < 500 ? int32_t(Round(Ext(550) - U / Ext(500) * Ext(450))) : 100;
  return C;
}

TFlight FlightAt(int32_t T) {
  TFlight F{};
  F.Angle = T <= 570 ? int32_t(Round(Ext(T) * ext::FromDecimal(3, 1))) : 171;
  int32_t X, Y;
  PolarToCartesian(F.Angle, 100, X, Y);
  F.X = 4 * X + 400;
  F.Y = int32_t(Round(Ext(300) - Ext(Y) * ext::FromDecimal(18, 1)));
  return F;
}

uint8_t TextFadeInAlpha(int32_t T) {
  if (T > 60) return 0;
  return ClampByte(Round(Ext(255) - Ext(T) / Ext(60) * Ext(255)));
}

void DrawImagesFrame(int32_t Step) {
  ClearVirtualScreen();
  // t counts from the start of the act at hand; 64-bit so that no Step can overflow it.
  int64_t T = int64_t(Step) - 60;

  for (const TSlide& S : SLIDES) {
    if (T > 0 && T < 220) ShowOwnSize(S.X, S.Y, PictureAt(S.Picture), SlideshowAlpha(int32_t(T)));
    T -= 110;
  }

  const TPicture& Cascade = PictureAt(CASCADE_PICTURE);
  for (int32_t I = 1; I <= 4; ++I) {
    if (T > 0) {
      const TCascadeCopy C = CascadeCopyAt(I, int32_t(T), Cascade.ImageWidth, Cascade.ImageHeight);
      ShowAlphaScaleBMPPicture(C.P, C.P, Cascade, C.Width, C.Height, C.Alpha, false, TColor{});
    }
    T -= 101;
  }

  if (T > 0 && T < 300) WhiteText(800, 100, 0, ScalingText);
  T -= 300;

  if (T > 0) {
    const TCrossing C = CrossingAt(int32_t(T));
    ShowOwnSize(C.X, C.Y, PictureAt(CROSSING_PICTURES[0]), C.Alpha);
    ShowOwnSize(350 - C.X, 450 - C.Y, PictureAt(CROSSING_PICTURES[1]), C.Alpha);
  }
  T -= 500;

  if (T > 0 && T < 300) WhiteText(600, 660, 0, AlphablendingText);
  T -= 300;

  if (T > 0) {
    const TFlight F = FlightAt(int32_t(T));
    const TColor White{255, 255, 255, 0};
    const TPicture& P = PictureAt(FLIGHT_PICTURE);
    ShowAlphaScaleBMPPicture(F.X, F.Y, P, P.ImageWidth, P.ImageHeight, 0, true, White);
  }
  T -= 280;

  if (T > 0) WhiteText(300, 650, TextFadeInAlpha(int32_t(T)), TransparentText);

  // The title band, over everything once the scene has begun.
  if (Step > 0) {
    const int32_t L = int32_t(GetTextLength(Font(FONT_COMIC_SANS_26), TitleText));
    const int32_t C = (SCREEN_WIDTH - L) / 2;
    SetColor(0, 0, 0, 100);
    FillRectangle(C - 40, 365, C + L + 40, 430);
    WhiteText(C, 370, TextFadeInAlpha(Step), TitleText);
  }
}

const TScene ImagesScene{"images", 10, 2851, DrawImagesFrame};

}  // namespace showcase
