// lumorashowcase primitives scene: corner circles and growing rings, falling rectangles,
// a fan of lines turning into a star, with captions. Also PolarToCartesian.
// Relies on the lumora primitives and text, the asset catalogue and the shared frame loop.
#include <algorithm>

#include "ShowCase/showcase.h"
#include "lumora/internal/extended.h"

namespace showcase {

using namespace lumora;
using ext::Ext;
using ext::TExtended;

namespace {

constexpr int32_t CORNER_SHARE = 15;
constexpr int32_t RING_SHARE = 22;
constexpr int32_t LINE_SHARE = 3;
constexpr int32_t LINE_COUNT = 46;

const std::string TitleText = "Lumora - basic primitives";
const std::string CirclesText = "Circles";
const std::string RectanglesText = "Rectangles";
const std::string LinesText = "Lines";

int32_t Round(TExtended V) {
  return int32_t(std::clamp<int64_t>(ext::RoundToInt(V), INT32_MIN, INT32_MAX));
}
uint8_t RoundByte(TExtended V) { return uint8_t(std::clamp<int64_t>(ext::RoundToInt(V), 0, 255)); }

// One falling block: its landed rectangle, its fall and its share of the budget. While
// falling (t up to Fall) its edges are t / Fall x Drop + Top0 and t / Fall x Drop + Bottom0,
// rounded to the nearest integer (halves to even).
struct TBlockSpec {
  int32_t X1, X2, Top, Bottom;
  int32_t WidthFalling, WidthLanded;
  int32_t Fall, Drop, Top0, Bottom0;
  int32_t Share;
};
constexpr TBlockSpec BLOCKS[7] = {
    {524, 724, 597, 767, 2, 2, 40, 400, 197, 367, 25},
    {774, 804, 727, 765, 5, 5, 40, 530, 197, 235, 15},
    {874, 904, 727, 765, 5, 5, 40, 530, 197, 235, 20},
    {774, 904, 625, 725, 5, 5, 40, 428, 197, 297, 24},
    {820, 870, 560, 625, 3, 3, 30, 363, 197, 262, 17},
    {600, 660, 560, 597, 3, 4, 30, 363, 197, 234, 22},
    {500, 950, 400, 556, 9, 9, 30, 203, 197, 353, 30},
};

int32_t HalfWidth(const TFont& Font, const std::string& Text) {
  return int32_t(GetTextLength(Font, Text) / 2);
}

}  // namespace

TPrimitivesPlan PlanPrimitives(int32_t Step) {
  TPrimitivesPlan P{};
  int32_t T = Step;
  P.Title = T;
  P.Corners = T;
  if (T > 0) T -= CORNER_SHARE;
  for (int32_t& Ring : P.Rings) {
    Ring = T;
    if (T >= RING_SHARE) {
      T -= RING_SHARE;
    } else if (T > 0) {
      T = 0;  // a growing ring hides everything after it
    }
  }
  P.CirclesCaption = T;
  for (int32_t B = 0; B < 7; ++B) {
    P.Blocks[B] = T;
    if (T > 0) T -= BLOCKS[B].Share;
  }
  P.RectanglesCaption = T;
  for (int32_t& Line : P.Lines) {
    Line = T;
    if (T > 0) T -= LINE_SHARE;
  }
  P.LinesCaption = T;
  return P;
}

uint8_t PrimitivesTitleAlpha(int32_t T) {
  if (T > 60) return 0;
  return RoundByte(Ext(255) - Ext(T) / Ext(60) * Ext(255));
}

TColor CornerCircleColor(int32_t T) {
  const uint8_t Red = T < CORNER_SHARE ? RoundByte(Ext(T) / Ext(15) * Ext(30) + Ext(100)) : 175;
  return TColor{30, 30, Red, 0};
}

TRing RingAt(int32_t I, int32_t T) {
  // Radius factor 1, 2, 4; a ring starts from the centre of the landed ring before it
  // (or of the corner circle, 50).
  int32_t Factor = 1;
  int32_t X = 50;
  for (int32_t K = 1; K < I; ++K) {
    X += Factor * 40;
    Factor *= 2;
  }
  TRing Ring{};
  Ring.Width = I * 3;
  if (T >= RING_SHARE) {
    Ring.Landed = true;
    Ring.Color = TColor{30, 30, uint8_t(I * 30 + 130), 0};
    Ring.Centre = Factor * 40 + X;
    Ring.Radius = Factor * 40;
  } else {
    const TExtended F = Ext(T) / Ext(22);
    Ring.Color = TColor{30, 30, RoundByte(F * Ext(30) + Ext(I * 30 + 100)), 0};
    Ring.Centre = Round(F * Ext(Factor * 40) + Ext(X));
    Ring.Radius = Round(F * Ext(Factor * 20) + Ext(Factor * 20));
  }
  return Ring;
}

TBlock BlockAt(int32_t Block, int32_t T) {
  const TBlockSpec& S = BLOCKS[Block - 1];
  TBlock R{};
  R.X1 = S.X1;
  R.X2 = S.X2;
  const uint8_t Blue = T < 20 ? RoundByte(Ext(T) / Ext(20) * Ext(205) + Ext(50)) : 255;
  R.Color = TColor{Blue, 30, 30, 0};
  if (T > S.Fall) {
    R.Landed = true;
    R.Y1 = S.Top;
    R.Y2 = S.Bottom;
    R.Width = S.WidthLanded;
  } else if (Block == 1) {
    R.Y1 = 197 + 10 * T;
    R.Y2 = 367 + 10 * T;
    R.Width = S.WidthFalling;
  } else {
    const TExtended F = Ext(T) / Ext(S.Fall) * Ext(S.Drop);
    R.Y1 = Round(F + Ext(S.Top0));
    R.Y2 = Round(F + Ext(S.Bottom0));
    R.Width = S.WidthFalling;
  }
  return R;
}

TFanLine FanLineAt(int32_t I, int32_t T) {
  TFanLine L{};
  int32_t X1, Y1, X2, Y2;
  if (T < 4) {
    // Turning in: 21, 14 and 7 degrees short of the settled angle.
    const TExtended F = Ext(T) / Ext(4);
    L.Color = TColor{30, RoundByte(F * Ext(215) + Ext(40)), 30, 0};
    const int32_t Base = (I - 2) * 28;
    PolarToCartesian(double(Base + 7 * T), double(300 - (I - 2) * 3 + Round(F * Ext(3))), X1, Y1);
    PolarToCartesian(double(Base + 180 + 7 * T), double(100 - (I - 2)), X2, Y2);
  } else {
    L.Color = TColor{30, 255, 30, 0};
    const int32_t Base = (I - 1) * 28;
    PolarToCartesian(double(Base), double(300 - (I - 1) * 3), X1, Y1);
    PolarToCartesian(double(Base + 180), double(100 - (I - 1)), X2, Y2);
  }
  // The scene turns the y axis so that angles run counter-clockwise on screen.
  L.X1 = 800 + X1;
  L.Y1 = 200 - Y1;
  L.X2 = 800 + X2;
  L.Y2 = 200 - Y2;
  return L;
}

void DrawPrimitivesFrame(int32_t Step) {
  ClearVirtualScreen();
  const TPrimitivesPlan P = PlanPrimitives(Step);
  const auto Use = [](TColor C) { SetColor(C.R, C.G, C.B, C.Alpha); };

  if (P.Title > 0) {
    SetColor(255, 255, 255, PrimitivesTitleAlpha(P.Title));
    WriteText(30, 700, Font(FONT_COMIC_SANS_26), TitleText);
  }
  if (P.Corners > 0) {
    Use(CornerCircleColor(P.Corners));
    Circle(50, 50, 20);
    Circle(610, 50, 20);
    Circle(50, 610, 20);
    Circle(610, 610, 20);
  }
  for (int32_t I = 1; I <= 3; ++I) {
    if (P.Rings[I - 1] <= 0) continue;
    const TRing R = RingAt(I, P.Rings[I - 1]);
    const int32_t Far = 660 - R.Centre;
    Use(R.Color);
    Circle(R.Centre, R.Centre, R.Radius, R.Width);
    Circle(Far, R.Centre, R.Radius, R.Width);
    Circle(R.Centre, Far, R.Radius, R.Width);
    Circle(Far, Far, R.Radius, R.Width);
  }
  if (P.CirclesCaption > 0) {
    SetColor(255, 255, 255, 0);
    WriteText(330 - HalfWidth(Font(FONT_PALATINO_ITALIC_20), CirclesText), 300, Font(FONT_PALATINO_ITALIC_20), CirclesText);
  }
  for (int32_t B = 1; B <= 7; ++B) {
    if (P.Blocks[B - 1] <= 0) continue;
    const TBlock R = BlockAt(B, P.Blocks[B - 1]);
    Use(R.Color);
    Rectangle(R.X1, R.Y1, R.X2, R.Y2, R.Width);
  }
  if (P.RectanglesCaption > 0) {
    SetColor(255, 255, 255, 0);
    WriteText(725 - HalfWidth(Font(FONT_PALATINO_ITALIC_20), RectanglesText), 458, Font(FONT_PALATINO_ITALIC_20), RectanglesText);
  }
  for (int32_t I = 1; I <= LINE_COUNT; ++I) {
    if (P.Lines[I - 1] <= 0) break;
    const TFanLine L = FanLineAt(I, P.Lines[I - 1]);
    Use(L.Color);
    Line(L.X1, L.Y1, L.X2, L.Y2);
  }
  if (P.LinesCaption > 0) {
    SetColor(0, 0, 0, 100);
    FillRectangle(750, 170, 850, 230);
    SetColor(255, 255, 255, 0);
    WriteText(800 - HalfWidth(Font(FONT_PALATINO_ITALIC_20), LinesText), 180, Font(FONT_PALATINO_ITALIC_20), LinesText);
  }
}

const TScene PrimitivesScene{"primitives", 50, 400, DrawPrimitivesFrame};

// pi enters as its nearest 80-bit value: the double M_PI in the extended product moves
// some rounded end points by a pixel.
void PolarToCartesian(double Angle, double R, int32_t& X, int32_t& Y) {
  // A radius too large for 32 bits (or not a number) saturates instead of overflowing.
  // A radius or an angle that is not a number gives 0.
  if (Angle != Angle || R != R) {
    X = Y = 0;
    return;
  }
  const TExtended Rad = ext::FromDouble(Angle) / Ext(180) * ext::Pi();
  const TExtended Radius = ext::FromDouble(R);
  X = Round(Radius * ext::Cos(Rad));
  Y = Round(Radius * ext::Sin(Rad));
}

}  // namespace showcase
