// bench_compare, lumora: every work item through lumora's public API, on the back buffer
// with the global calls (1024 x 768) or on a canvas with the canvas-first calls
// (3840 x 2160). Relies on the workload's pictures loaded by LoadBMPPicture.
#include "compare.h"

namespace compare {

namespace {

using namespace lumora;

constexpr TColor KEY{KEY_COLOUR.B, KEY_COLOUR.G, KEY_COLOUR.R, 0};

// The back buffer through the global calls.
void AddXgaOps() {
  const TLayout& L = Layout(TScreen::Xga);
  const TPicture& P = Work(TScreen::Xga).LumoraPicture;
  const std::string Show = "ShowAlphaScaleBMPPicture";
  auto Shade = [L] {
    SetColor(SHADE_COLOUR.R, SHADE_COLOUR.G, SHADE_COLOUR.B, FILL_TRANSPARENCY);
    FillRectangle(0, 0, L.W - 1, L.H - 1);
  };
  AddOp(TScreen::Xga, TWork::FillOpaque, "lumora", "", "FillRectangle", [L] {
    SetColor(FILL_COLOUR.R, FILL_COLOUR.G, FILL_COLOUR.B, 0);
    FillRectangle(0, 0, L.W - 1, L.H - 1);
  });
  AddOp(TScreen::Xga, TWork::FillTranslucent, "lumora", "", "FillRectangle", Shade);
  AddOp(TScreen::Xga, TWork::Picture128, "lumora", "", Show, [L, &P] {
    ShowAlphaScaleBMPPicture(L.PicX, L.PicY, P, L.PicW, L.PicH, PICTURE_TRANSPARENCY, false, KEY);
  });
  AddOp(TScreen::Xga, TWork::PictureKey, "lumora", "", Show, [L, &P] {
    ShowAlphaScaleBMPPicture(L.PicX, L.PicY, P, L.PicW, L.PicH, 0, true, KEY);
  });
  AddOp(TScreen::Xga, TWork::ScaledOpaque, "lumora", "", Show, [L, &P] {
    ShowAlphaScaleBMPPicture(L.ScaledX, L.ScaledY, P, L.ScaledW, L.ScaledH, 0, false, KEY);
  });
  AddOp(TScreen::Xga, TWork::Scaled128, "lumora", "", Show, [L, &P] {
    ShowAlphaScaleBMPPicture(L.ScaledX, L.ScaledY, P, L.ScaledW, L.ScaledH, PICTURE_TRANSPARENCY,
                             false, KEY);
  });
  AddOp(TScreen::Xga, TWork::Lines, "lumora", "", "Line", [] {
    SetColor(STROKE_COLOUR.R, STROKE_COLOUR.G, STROKE_COLOUR.B, STROKE_TRANSPARENCY);
    for (const TLine& Li : Work(TScreen::Xga).Lines) Line(Li.X1, Li.Y1, Li.X2, Li.Y2);
  });
  AddOp(TScreen::Xga, TWork::Circles, "lumora", "", "Circle", [L] {
    SetColor(STROKE_COLOUR.R, STROKE_COLOUR.G, STROKE_COLOUR.B, STROKE_TRANSPARENCY);
    for (int32_t R : Work(TScreen::Xga).Radii) Circle(L.CentreX, L.CentreY, R);
  });
  AddOp(TScreen::Xga, TWork::Ring, "lumora", "", "Circle with a width", [L] {
    SetColor(RING_COLOUR.R, RING_COLOUR.G, RING_COLOUR.B, STROKE_TRANSPARENCY);
    Circle(L.CentreX, L.CentreY, L.RingR, L.RingWidth);
  });
  AddOp(TScreen::Xga, TWork::Frame, "lumora", "", "ClearVirtualScreen, " + Show + ", FillRectangle",
        [L, &P, Shade] {
          ClearVirtualScreen();
          for (const auto& F : FRAME_PICTURES)
            ShowAlphaScaleBMPPicture(F[0], F[1], P, L.PicW, L.PicH, PICTURE_TRANSPARENCY, false, KEY);
          Shade();
        });
}

// A canvas through the canvas-first calls.
void AddUhdOps() {
  const TLayout& L = Layout(TScreen::Uhd);
  const TPicture& P = Work(TScreen::Uhd).LumoraPicture;
  TCanvas& C = UhdCanvas();
  const std::string Show = "ShowAlphaScaleBMPPicture on a canvas";
  AddOp(TScreen::Uhd, TWork::FillOpaque, "lumora", "", "FillRectangle on a canvas", [L, &C] {
    SetColor(C, FILL_COLOUR.R, FILL_COLOUR.G, FILL_COLOUR.B, 0);
    FillRectangle(C, 0, 0, L.W - 1, L.H - 1);
  });
  AddOp(TScreen::Uhd, TWork::FillTranslucent, "lumora", "", "FillRectangle on a canvas", [L, &C] {
    SetColor(C, SHADE_COLOUR.R, SHADE_COLOUR.G, SHADE_COLOUR.B, FILL_TRANSPARENCY);
    FillRectangle(C, 0, 0, L.W - 1, L.H - 1);
  });
  AddOp(TScreen::Uhd, TWork::ScaledOpaque, "lumora", "", Show, [L, &P, &C] {
    ShowAlphaScaleBMPPicture(C, L.ScaledX, L.ScaledY, P, L.ScaledW, L.ScaledH, 0, false, KEY);
  });
  AddOp(TScreen::Uhd, TWork::Scaled128, "lumora", "", Show, [L, &P, &C] {
    ShowAlphaScaleBMPPicture(C, L.ScaledX, L.ScaledY, P, L.ScaledW, L.ScaledH, PICTURE_TRANSPARENCY,
                             false, KEY);
  });
  AddOp(TScreen::Uhd, TWork::ScaledKey, "lumora", "", Show, [L, &P, &C] {
    ShowAlphaScaleBMPPicture(C, L.ScaledX, L.ScaledY, P, L.ScaledW, L.ScaledH, 0, true, KEY);
  });
  AddOp(TScreen::Uhd, TWork::Lines, "lumora", "", "Line on a canvas", [&C] {
    SetColor(C, STROKE_COLOUR.R, STROKE_COLOUR.G, STROKE_COLOUR.B, STROKE_TRANSPARENCY);
    for (const TLine& Li : Work(TScreen::Uhd).Lines) Line(C, Li.X1, Li.Y1, Li.X2, Li.Y2);
  });
  AddOp(TScreen::Uhd, TWork::Ring, "lumora", "", "Circle with a width on a canvas", [L, &C] {
    SetColor(C, RING_COLOUR.R, RING_COLOUR.G, RING_COLOUR.B, STROKE_TRANSPARENCY);
    Circle(C, L.CentreX, L.CentreY, L.RingR, L.RingWidth);
  });
}

}  // namespace

void AddLumoraOps(TScreen Screen) {
  if (Screen == TScreen::Xga) {
    AddXgaOps();
  } else {
    AddUhdOps();
  }
}

}  // namespace compare
