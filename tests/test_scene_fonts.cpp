// Tests of the fonts scene: the title's drift and grey, the colour ramps and pulses, the
// running highlight, the letter circle, the captions and the veil.
// Relies on the block font of the scene test support and the headless platform.
#include <cstdint>

#include "test_scene_support.h"

namespace {

using namespace scenetest;

TEST(FontsNumbers, TitleDriftsAndBrightens) {
  const showcase::TFontsTitle At0 = showcase::FontsTitleAt(0);
  EXPECT_EQ(At0.X, 520);
  EXPECT_EQ(At0.Y, 10);
  EXPECT_EQ(At0.Grey, 0);
  EXPECT_EQ(showcase::FontsTitleAt(100).Grey, 159);
  EXPECT_EQ(showcase::FontsTitleAt(159).Grey, 253);
  EXPECT_EQ(showcase::FontsTitleAt(160).Grey, 255);
  EXPECT_EQ(showcase::FontsTitleAt(1000).Grey, 255);
  EXPECT_EQ(showcase::FontsTitleAt(100).X, 440);
  EXPECT_EQ(showcase::FontsTitleAt(100).Y, 90);
  EXPECT_EQ(showcase::FontsTitleAt(650).X, 0);
  EXPECT_EQ(showcase::FontsTitleAt(650).Y, 530);
  EXPECT_EQ(showcase::FontsTitleAt(1).X, 519);  // 519.2
  EXPECT_EQ(showcase::FontsTitleAt(1).Y, 11);   // 10.8
}

void ExpectColor(lumora::TColor C, int R, int G, int B) {
  EXPECT_EQ(C.R, R);
  EXPECT_EQ(C.G, G);
  EXPECT_EQ(C.B, B);
  EXPECT_EQ(C.Alpha, 0);
}

TEST(FontsNumbers, GabriolaRampsThenPulsesItsRed) {
  ExpectColor(showcase::GabriolaColor(1), 4, 1, 2);
  ExpectColor(showcase::GabriolaColor(3), 12, 2, 6);  // 2.5 goes to the even 2
  ExpectColor(showcase::GabriolaColor(59), 236, 49, 123);
  ExpectColor(showcase::GabriolaColor(60), 240, 50, 125);
  ExpectColor(showcase::GabriolaColor(150), 0, 50, 125);
  ExpectColor(showcase::GabriolaColor(240), 240, 50, 125);
  ExpectColor(showcase::GabriolaColor(120), 120, 50, 125);  // |cos 60 degrees| = 1/2
}

TEST(FontsNumbers, WingdingsRampsThenPulsesThreeChannels) {
  ExpectColor(showcase::WingdingsColor(1), 4, 1, 2);
  ExpectColor(showcase::WingdingsColor(60), 240, 0, 0);
  ExpectColor(showcase::WingdingsColor(105), 170, 170, 120);
  ExpectColor(showcase::WingdingsColor(150), 0, 240, 0);
  ExpectColor(showcase::WingdingsColor(195), 170, 170, 120);
}

TEST(FontsNumbers, HighlightsAndCircle) {
  for (int32_t T = 1; T <= 3; ++T) EXPECT_EQ(showcase::ArchitextHighlight(T), 0);
  EXPECT_EQ(showcase::ArchitextHighlight(4), 1);
  for (int32_t T = 52; T <= 55; ++T) EXPECT_EQ(showcase::ArchitextHighlight(T), 13);
  EXPECT_EQ(showcase::ArchitextHighlight(56), 0);

  const int32_t Q[] = {0, 1, 2, 1, 0};
  for (int32_t K = 0; K < 5; ++K) {
    EXPECT_EQ(showcase::CaptionsHighlight(30 * K), Q[K]);
    EXPECT_EQ(showcase::CaptionsHighlight(30 * K + 29), Q[K]);
  }

  struct P {
    int32_t X, Y;
  };
  const P AtRest[3] = {{530, 400}, {528, 383}, {523, 367}};
  const P AtFive[3] = {{530, 408}, {530, 392}, {526, 375}};
  for (int32_t L = 0; L < 3; ++L) {
    int32_t X, Y;
    for (int32_t T = 1; T <= 4; ++T) {
      showcase::LetterCirclePosition(T, L, X, Y);
      EXPECT_EQ(X, AtRest[L].X);
      EXPECT_EQ(Y, AtRest[L].Y);
    }
    showcase::LetterCirclePosition(5, L, X, Y);
    EXPECT_EQ(X, AtFive[L].X);
    EXPECT_EQ(Y, AtFive[L].Y);
    showcase::LetterCirclePosition(300, L, X, Y);  // one full turn later
    EXPECT_EQ(X, AtRest[L].X);
    EXPECT_EQ(Y, AtRest[L].Y);
  }
}

TEST(FontsNumbers, Veil) {
  EXPECT_EQ(showcase::VeilAlpha(0), -1);
  EXPECT_EQ(showcase::VeilAlpha(580), -1);
  EXPECT_EQ(showcase::VeilAlpha(581), 254);
  EXPECT_EQ(showcase::VeilAlpha(700), 135);
  EXPECT_EQ(showcase::VeilAlpha(834), 1);
  EXPECT_EQ(showcase::VeilAlpha(835), 0);
  EXPECT_EQ(showcase::VeilAlpha(2147483647), 0);
  EXPECT_EQ(showcase::VeilAlpha(-2147483647 - 1), -1);
}

class FontsFrames : public SceneTest {};

TEST_F(FontsFrames, TitleAloneUntilStep50) {
  SCENE_NEEDS(TextWorks(), "text");
  showcase::DrawFontsFrame(0);
  EXPECT_TRUE(ScreenIsBlack()) << "black title on black";
  showcase::DrawFontsFrame(50);
  // Only the title: 18 letters and blanks over one block, all in its grey.
  const showcase::TFontsTitle T = showcase::FontsTitleAt(50);
  uint64_t Lit = 0;
  for (int32_t Y = 0; Y < lumora::SCREEN_HEIGHT; ++Y)
    for (int32_t X = 0; X < lumora::SCREEN_WIDTH; ++X) Lit += RgbAt(X, Y).R != 0;
  EXPECT_EQ(Lit, uint64_t(15 * LETTER_W * FONT_H));
  EXPECT_TRUE(HasRgb(T.X, T.Y, T.Grey, T.Grey, T.Grey));
  showcase::DrawFontsFrame(100);
  EXPECT_TRUE(HasRgb(440, 90, 159, 159, 159));
}

TEST_F(FontsFrames, PhasesDrawTheirColoursInPlace) {
  SCENE_NEEDS(TextWorks(), "text");
  showcase::DrawFontsFrame(51);  // DejaVu's first letter at a tenth
  EXPECT_TRUE(HasRgb(500, 675, 15, 21, 21));
  EXPECT_TRUE(HasRgb(506, 675, 0, 0, 0));

  showcase::DrawFontsFrame(76);  // Gabriola at t = 1
  EXPECT_TRUE(HasRgb(20, 200, 4, 1, 2));

  showcase::DrawFontsFrame(96);  // Architext at t = 1: the first letter white
  EXPECT_TRUE(HasRgb(300, 100, 255, 255, 255));
  EXPECT_TRUE(HasRgb(306, 100, 50, 50, 50));
  const int32_t LastX = 300 + 13 * LETTER_W + 2 * BLANK_W;  // two blank widths inserted
  EXPECT_TRUE(HasRgb(LastX, 100, 50, 50, 50));
  EXPECT_TRUE(HasRgb(LastX + LETTER_W, 100, 0, 0, 0));
  showcase::DrawFontsFrame(147);  // t = 52: the full stop
  EXPECT_TRUE(HasRgb(LastX, 100, 255, 255, 255));
  EXPECT_TRUE(HasRgb(300, 100, 50, 50, 50));

  showcase::DrawFontsFrame(126);  // letter circle at t = 1
  EXPECT_TRUE(HasRgb(530, 400, 150, 200, 50));
  EXPECT_TRUE(HasRgb(528, 383, 150, 200, 50));
  showcase::DrawFontsFrame(130);  // t = 5
  EXPECT_TRUE(HasRgb(530 + 5, 408 + 9, 150, 200, 50));
  EXPECT_TRUE(HasRgb(526, 375, 150, 200, 50));

  showcase::DrawFontsFrame(151);  // Gentium's first letter at a tenth
  EXPECT_TRUE(HasRgb(20, 25, 1, 21, 11));

  showcase::DrawFontsFrame(250);  // captions at t = 90: the middle one highlighted
  EXPECT_TRUE(HasRgb(750, 450, 30, 130, 130));
  EXPECT_TRUE(HasRgb(725, 490, 50, 120, 255));
  EXPECT_TRUE(HasRgb(660, 530, 30, 130, 130));
  showcase::DrawFontsFrame(161);
  EXPECT_TRUE(HasRgb(750, 450, 50, 120, 255));

  showcase::DrawFontsFrame(330);  // Wingdings at t = 150
  EXPECT_TRUE(HasRgb(10, 720, 0, 240, 0));
}

TEST_F(FontsFrames, VeilDarkensToBlack) {
  SCENE_NEEDS(TextWorks(), "text");
  SCENE_NEEDS(ShapesWork(), "FillRectangle");
  // The white title, alone at (55, 475) at step 581, under the veil at 254 and 135.
  showcase::DrawFontsFrame(581);
  EXPECT_TRUE(HasRgb(55, 475, 254, 254, 254));
  // At 700 the title starts at (-40, 570): its "-" covers x = 0..5.
  ASSERT_EQ(showcase::FontsTitleAt(700).X, -40);
  showcase::DrawFontsFrame(700);
  EXPECT_TRUE(HasRgb(0, 570, 135, 135, 135));
  for (int32_t S : {835, 1000}) {
    showcase::DrawFontsFrame(S);
    EXPECT_TRUE(ScreenIsBlack()) << "step " << S;
  }
}

TEST_F(FontsFrames, MissingFontsDrawNothing) {
  RemoveFonts();
  for (int32_t S : {0, 100, 300, 580}) {
    showcase::DrawFontsFrame(S);
    EXPECT_TRUE(ScreenIsBlack()) << "step " << S;
  }
}

}  // namespace
