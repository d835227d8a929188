// bench_compare, lumora: every work item through lumora's public API on the back buffer.
// Relies on the workload's picture loaded by LoadBMPPicture.
#include "compare.h"

namespace compare {

namespace {

using namespace lumora;

void Picture(int32_t X, int32_t Y, uint32_t Width, uint32_t Height, uint8_t Alpha, bool Keyed) {
  const TColor Key{KEY_COLOUR.B, KEY_COLOUR.G, KEY_COLOUR.R, 0};
  ShowAlphaScaleBMPPicture(X, Y, Work().LumoraPicture, Width, Height, Alpha, Keyed, Key);
}

void Shade() {
  SetColor(SHADE_COLOUR.R, SHADE_COLOUR.G, SHADE_COLOUR.B, FILL_TRANSPARENCY);
  FillRectangle(0, 0, SCREEN_W - 1, SCREEN_H - 1);
}

}  // namespace

void AddLumoraOps() {
  const std::string Show = "ShowAlphaScaleBMPPicture";
  AddOp(TWork::FillOpaque, "lumora", "", "FillRectangle", [] {
    SetColor(FILL_COLOUR.R, FILL_COLOUR.G, FILL_COLOUR.B, 0);
    FillRectangle(0, 0, SCREEN_W - 1, SCREEN_H - 1);
  });
  AddOp(TWork::FillTranslucent, "lumora", "", "FillRectangle", Shade);
  AddOp(TWork::Picture128, "lumora", "", Show, [] {
    Picture(PIC_X, PIC_Y, PIC_W, PIC_H, PICTURE_TRANSPARENCY, false);
  });
  AddOp(TWork::PictureKey, "lumora", "", Show, [] {
    Picture(PIC_X, PIC_Y, PIC_W, PIC_H, 0, true);
  });
  AddOp(TWork::ScaledOpaque, "lumora", "", Show, [] {
    Picture(SCALED_X, SCALED_Y, SCALED_W, SCALED_H, 0, false);
  });
  AddOp(TWork::Scaled128, "lumora", "", Show, [] {
    Picture(SCALED_X, SCALED_Y, SCALED_W, SCALED_H, PICTURE_TRANSPARENCY, false);
  });
  AddOp(TWork::Lines, "lumora", "", "Line", [] {
    SetColor(STROKE_COLOUR.R, STROKE_COLOUR.G, STROKE_COLOUR.B, STROKE_TRANSPARENCY);
    for (const TLine& L : Work().Lines) Line(L.X1, L.Y1, L.X2, L.Y2);
  });
  AddOp(TWork::Circles, "lumora", "", "Circle", [] {
    SetColor(STROKE_COLOUR.R, STROKE_COLOUR.G, STROKE_COLOUR.B, STROKE_TRANSPARENCY);
    for (int32_t R : Work().Radii) Circle(CENTRE_X, CENTRE_Y, R);
  });
  AddOp(TWork::Ring, "lumora", "", "Circle with a width", [] {
    SetColor(RING_COLOUR.R, RING_COLOUR.G, RING_COLOUR.B, STROKE_TRANSPARENCY);
    Circle(CENTRE_X, CENTRE_Y, RING_R, RING_WIDTH);
  });
  AddOp(TWork::Frame, "lumora", "", "ClearVirtualScreen, " + Show + ", FillRectangle", [] {
    ClearVirtualScreen();
    for (const auto& P : FRAME_PICTURES) Picture(P[0], P[1], PIC_W, PIC_H, PICTURE_TRANSPARENCY, false);
    Shade();
  });
}

}  // namespace compare
