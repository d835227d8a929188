// Tests of the primitives scene: the step budget and timeline, rings, blocks, the fan of
// lines, PolarToCartesian, and pixels of chosen frames.
// Relies on the block font of the scene test support and the headless platform.
#include <cstdint>

#include "test_scene_support.h"

namespace {

using namespace scenetest;
using showcase::PlanPrimitives;

// First Step at which Pick(plan) is above 0.
template <typename F>
int32_t FirstStep(F Pick) {
  for (int32_t S = 0; S <= 400; ++S)
    if (Pick(PlanPrimitives(S)) > 0) return S;
  return -1;
}

TEST(PrimitivesPlan, TimelineOfTheSections) {
  using P = showcase::TPrimitivesPlan;
  const showcase::TPrimitivesPlan Zero = PlanPrimitives(0);
  EXPECT_LE(Zero.Title, 0);
  EXPECT_LE(Zero.Corners, 0);
  EXPECT_EQ(FirstStep([](const P& p) { return p.Title; }), 1);
  EXPECT_EQ(FirstStep([](const P& p) { return p.Rings[0]; }), 16);
  EXPECT_EQ(FirstStep([](const P& p) { return p.Rings[1]; }), 38);
  EXPECT_EQ(FirstStep([](const P& p) { return p.Rings[2]; }), 60);
  EXPECT_EQ(FirstStep([](const P& p) { return p.CirclesCaption; }), 82);
  const int32_t BlockStarts[7] = {82, 107, 122, 142, 166, 183, 205};
  for (int32_t B = 0; B < 7; ++B)
    EXPECT_EQ(FirstStep([B](const P& p) { return p.Blocks[B]; }), BlockStarts[B]) << "block " << B + 1;
  EXPECT_EQ(FirstStep([](const P& p) { return p.RectanglesCaption; }), 235);
  for (int32_t I = 1; I <= 46; ++I)
    EXPECT_EQ(FirstStep([I](const P& p) { return p.Lines[I - 1]; }), 235 + 3 * (I - 1)) << "line " << I;
  EXPECT_EQ(FirstStep([](const P& p) { return p.LinesCaption; }), 373);

  // Ring 1 grows at t = 1 .. 21 (steps 16 .. 36) and has landed from 37 on.
  EXPECT_EQ(PlanPrimitives(16).Rings[0], 1);
  EXPECT_EQ(PlanPrimitives(36).Rings[0], 21);
  EXPECT_EQ(PlanPrimitives(37).Rings[0], 22);
  EXPECT_TRUE(showcase::RingAt(1, 22).Landed);
  EXPECT_FALSE(showcase::RingAt(1, 21).Landed);
  // At 81 ring 3 has just landed and spent the whole budget.
  EXPECT_EQ(PlanPrimitives(81).Rings[2], 22);
  EXPECT_EQ(PlanPrimitives(81).CirclesCaption, 0);
}

TEST(PrimitivesPlan, NothingIsDrawnAfterAGrowingRing) {
  for (int32_t S : {16, 20, 36, 38, 50, 60, 80}) {
    const showcase::TPrimitivesPlan P = PlanPrimitives(S);
    int32_t Growing = -1;
    for (int32_t I = 0; I < 3; ++I)
      if (P.Rings[I] > 0 && P.Rings[I] < 22) Growing = I;
    ASSERT_GE(Growing, 0) << "step " << S;
    for (int32_t I = Growing + 1; I < 3; ++I) EXPECT_LE(P.Rings[I], 0) << "step " << S;
    EXPECT_LE(P.CirclesCaption, 0);
    for (int32_t B : P.Blocks) EXPECT_LE(B, 0);
    EXPECT_LE(P.RectanglesCaption, 0);
    for (int32_t L : P.Lines) EXPECT_LE(L, 0);
    EXPECT_LE(P.LinesCaption, 0);
  }
  // A jump from 30 to 40: ring 1 landed, ring 2 at t = 3.
  const showcase::TPrimitivesPlan P = PlanPrimitives(40);
  EXPECT_EQ(P.Rings[0], 25);
  EXPECT_EQ(P.Rings[1], 3);
  EXPECT_LE(P.Rings[2], 0);
}

TEST(PrimitivesNumbers, TitleAndCornerCircles) {
  EXPECT_EQ(showcase::PrimitivesTitleAlpha(1), 251);
  EXPECT_EQ(showcase::PrimitivesTitleAlpha(30), 128);
  EXPECT_EQ(showcase::PrimitivesTitleAlpha(60), 0);
  EXPECT_EQ(showcase::PrimitivesTitleAlpha(61), 0);
  EXPECT_EQ(showcase::CornerCircleColor(1).R, 102);
  EXPECT_EQ(showcase::CornerCircleColor(14).R, 128);
  EXPECT_EQ(showcase::CornerCircleColor(15).R, 175);
  EXPECT_EQ(showcase::CornerCircleColor(300).R, 175);
  EXPECT_EQ(showcase::CornerCircleColor(1).G, 30);
  EXPECT_EQ(showcase::CornerCircleColor(1).B, 30);
}

TEST(PrimitivesNumbers, RingsGrowFromThePreviousCentreAndLand) {
  const showcase::TRing First = showcase::RingAt(1, 1);
  EXPECT_EQ(First.Centre, 52);
  EXPECT_EQ(First.Radius, 21);
  EXPECT_EQ(First.Color.R, 131);
  EXPECT_EQ(First.Width, 3);
  const int32_t Centres[3] = {90, 170, 330}, Radii[3] = {40, 80, 160}, Reds[3] = {160, 190, 220};
  for (int32_t I = 1; I <= 3; ++I) {
    const showcase::TRing R = showcase::RingAt(I, 22);
    EXPECT_EQ(R.Centre, Centres[I - 1]);
    EXPECT_EQ(R.Radius, Radii[I - 1]);
    EXPECT_EQ(R.Width, 3 * I);
    EXPECT_EQ(R.Color.R, Reds[I - 1]);
    EXPECT_EQ(R.Color.G, 30);
    // A landed ring touches the lines through the previous centre.
    const int32_t Previous = I == 1 ? 50 : Centres[I - 2];
    EXPECT_EQ(R.Centre - R.Radius, Previous);
    // Growing, it starts one step away from the previous centre at about half its radius.
    const int32_t StartCentres[3] = {52, 94, 177}, StartRadii[3] = {21, 42, 84};
    const showcase::TRing G = showcase::RingAt(I, 1);
    EXPECT_EQ(G.Centre, StartCentres[I - 1]);
    EXPECT_EQ(G.Radius, StartRadii[I - 1]);
    const showcase::TRing Last = showcase::RingAt(I, 21);
    EXPECT_LE(Last.Centre, R.Centre);
    EXPECT_LE(Last.Radius, R.Radius);
    EXPECT_EQ(Last.Color.R, Reds[I - 1] - 1);
  }
}

TEST(PrimitivesNumbers, BlocksFallAndLand) {
  const int32_t Fall[7] = {40, 40, 40, 40, 30, 30, 30};
  const int32_t Top[7] = {597, 727, 727, 625, 560, 560, 400};
  const int32_t Bottom[7] = {767, 765, 765, 725, 625, 597, 556};
  for (int32_t B = 1; B <= 7; ++B) {
    SCOPED_TRACE("block " + std::to_string(B));
    const showcase::TBlock AtL = showcase::BlockAt(B, Fall[B - 1]);
    const showcase::TBlock Landed = showcase::BlockAt(B, Fall[B - 1] + 1);
    EXPECT_FALSE(AtL.Landed);
    EXPECT_TRUE(Landed.Landed);
    EXPECT_EQ(AtL.Y1, Top[B - 1]);
    EXPECT_EQ(AtL.Y2, Bottom[B - 1]);
    EXPECT_EQ(Landed.Y1, Top[B - 1]);
    EXPECT_EQ(Landed.Y2, Bottom[B - 1]);
    const showcase::TBlock Start = showcase::BlockAt(B, 1);
    EXPECT_GT(Start.Y1, 197);
    EXPECT_LT(Start.Y1, 197 + 20);
    for (int32_t T = 1; T < Fall[B - 1]; ++T) EXPECT_LE(showcase::BlockAt(B, T).Y1, showcase::BlockAt(B, T + 1).Y1);
  }
  for (int32_t T = 1; T <= 40; ++T) {
    EXPECT_EQ(showcase::BlockAt(1, T).Y1, 197 + 10 * T);
    EXPECT_EQ(showcase::BlockAt(1, T).Y2, 367 + 10 * T);
  }
  EXPECT_EQ(showcase::BlockAt(6, 30).Width, 3);
  EXPECT_EQ(showcase::BlockAt(6, 31).Width, 4);
  EXPECT_EQ(showcase::BlockAt(7, 1).Width, 9);
  EXPECT_EQ(showcase::BlockAt(1, 1).Color.B, 60);
  EXPECT_EQ(showcase::BlockAt(1, 19).Color.B, 245);
  EXPECT_EQ(showcase::BlockAt(1, 20).Color.B, 255);
  EXPECT_EQ(showcase::BlockAt(1, 20).Color.R, 30);
}

TEST(PrimitivesNumbers, FanLinesTurnInAndSettle) {
  EXPECT_EQ(showcase::FanLineAt(1, 1).Color.G, 94);
  EXPECT_EQ(showcase::FanLineAt(1, 2).Color.G, 148);
  EXPECT_EQ(showcase::FanLineAt(1, 3).Color.G, 201);
  EXPECT_EQ(showcase::FanLineAt(1, 4).Color.G, 255);
  EXPECT_EQ(showcase::FanLineAt(1, 4).Color.R, 30);
  // Line 1 settles horizontal through (800, 200): 300 to the right, 100 to the left.
  const showcase::TFanLine L1 = showcase::FanLineAt(1, 4);
  EXPECT_EQ(L1.X1, 1100);
  EXPECT_EQ(L1.Y1, 200);
  EXPECT_EQ(L1.X2, 700);
  EXPECT_EQ(L1.Y2, 200);
  // Line 2 settles at 28 degrees, counter-clockwise on screen.
  const showcase::TFanLine L2 = showcase::FanLineAt(2, 10);
  int32_t X, Y;
  showcase::PolarToCartesian(28, 297, X, Y);
  EXPECT_EQ(L2.X1, 800 + X);
  EXPECT_EQ(L2.Y1, 200 - Y);
  EXPECT_LT(L2.Y1, 200);
  // Turning in at t = 1 it stands 21 degrees short, one pixel further out.
  const showcase::TFanLine T1 = showcase::FanLineAt(2, 1);
  showcase::PolarToCartesian(7, 301, X, Y);
  EXPECT_EQ(T1.X1, 800 + X);
  EXPECT_EQ(T1.Y1, 200 - Y);
  showcase::PolarToCartesian(187, 100, X, Y);
  EXPECT_EQ(T1.X2, 800 + X);
  EXPECT_EQ(T1.Y2, 200 - Y);
}

TEST(PolarToCartesian, RoundsHalfToEvenWithExtendedPi) {
  struct Case {
    double Angle, R;
    int32_t X, Y;
  };
  const Case Cases[] = {{0, 10, 10, 0},    {90, 10, 0, 10},      {180, 10, -10, 0},
                        {45, 10, 7, 7},    {28, 300, 265, 141}, {600, 85, -42, -74},
                        {1260, 100, -100, 0}, {-90, 50, 0, -50}};
  for (const Case& C : Cases) {
    int32_t X = 1, Y = 1;
    showcase::PolarToCartesian(C.Angle, C.R, X, Y);
    EXPECT_EQ(X, C.X) << C.Angle << " degrees, radius " << C.R;
    EXPECT_EQ(Y, C.Y) << C.Angle << " degrees, radius " << C.R;
  }
  int32_t X, Y;
  showcase::PolarToCartesian(0, 1e300, X, Y);
  EXPECT_EQ(X, 2147483647) << "saturates instead of overflowing";
}

class PrimitivesFrames : public SceneTest {};

TEST_F(PrimitivesFrames, StepZeroIsBlack) {
  showcase::DrawPrimitivesFrame(0);
  EXPECT_TRUE(ScreenIsBlack());
}

TEST_F(PrimitivesFrames, CaptionsAppearOnTheirSteps) {
  SCENE_NEEDS(TextWorks(), "text");
  SCENE_NEEDS(ShapesWork(), "the primitives");
  const int32_t CirclesX = 330 - BlockWidth("Circles") / 2;
  showcase::DrawPrimitivesFrame(81);
  EXPECT_TRUE(HasRgb(CirclesX, 300, 0, 0, 0));
  showcase::DrawPrimitivesFrame(82);
  EXPECT_TRUE(HasRgb(CirclesX, 300, 255, 255, 255));
  EXPECT_TRUE(HasRgb(CirclesX - 1, 300, 0, 0, 0));

  const int32_t RectanglesX = 725 - BlockWidth("Rectangles") / 2;
  showcase::DrawPrimitivesFrame(234);
  EXPECT_TRUE(HasRgb(RectanglesX, 458, 0, 0, 0));
  showcase::DrawPrimitivesFrame(235);
  EXPECT_TRUE(HasRgb(RectanglesX, 458, 255, 255, 255));

  const int32_t LinesX = 800 - BlockWidth("Lines") / 2;
  showcase::DrawPrimitivesFrame(373);
  EXPECT_TRUE(HasRgb(LinesX, 180, 255, 255, 255));
  // The box behind it keeps 100/255 of the lines it covers: line 1 runs along y = 200.
  EXPECT_TRUE(HasRgb(760, 200, 12, 100, 12));
  EXPECT_TRUE(HasRgb(720, 200, 30, 255, 30));
  showcase::DrawPrimitivesFrame(30);
  EXPECT_TRUE(HasRgb(30, 700, 127, 127, 127)) << "white at transparency 128 over black";
}

TEST_F(PrimitivesFrames, CircleAndRingColoursOnScreen) {
  SCENE_NEEDS(ShapesWork(), "the primitives");
  showcase::DrawPrimitivesFrame(1);
  EXPECT_TRUE(HasRgb(70, 50, 102, 30, 30));
  EXPECT_TRUE(HasRgb(610, 630, 102, 30, 30));
  showcase::DrawPrimitivesFrame(16);  // ring 1 at t = 1: centre 52, radius 21, width 3
  EXPECT_TRUE(HasRgb(52 + 21, 52, 131, 30, 30));
  EXPECT_TRUE(HasRgb(660 - 52, 660 - 52 - 21, 131, 30, 30));
  EXPECT_TRUE(HasRgb(70, 50, 175, 30, 30)) << "the corner circle has brightened";
  showcase::DrawPrimitivesFrame(37);  // ring 1 landed
  EXPECT_TRUE(HasRgb(90 + 40, 90, 160, 30, 30));
  EXPECT_TRUE(HasRgb(570, 570 - 40, 160, 30, 30));
}

TEST_F(PrimitivesFrames, BlockSixWidensOnLanding) {
  SCENE_NEEDS(ShapesWork(), "the primitives");
  // Block 6 reaches its landed place at t = 30 (step 212) with width 3 and is drawn with
  // width 4 from t = 31 (step 213): its left band x = 599..601 gains the column 602.
  showcase::DrawPrimitivesFrame(212);
  EXPECT_TRUE(HasRgb(599, 580, 30, 30, 255));
  EXPECT_TRUE(HasRgb(601, 580, 30, 30, 255));
  EXPECT_TRUE(HasRgb(602, 580, 0, 0, 0));
  EXPECT_TRUE(HasRgb(598, 580, 0, 0, 0));
  showcase::DrawPrimitivesFrame(213);
  EXPECT_TRUE(HasRgb(602, 580, 30, 30, 255));
  EXPECT_TRUE(HasRgb(598, 580, 0, 0, 0));
}

TEST_F(PrimitivesFrames, MissingFontsLeaveTheShapes) {
  RemoveFonts();
  showcase::DrawPrimitivesFrame(60);
  EXPECT_TRUE(HasRgb(30, 700, 0, 0, 0));
  SCENE_NEEDS(ShapesWork(), "the primitives");
  showcase::DrawPrimitivesFrame(373);
  EXPECT_TRUE(HasRgb(720, 200, 30, 255, 30));
}

}  // namespace
