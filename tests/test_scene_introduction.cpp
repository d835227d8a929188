// Tests of the introduction: the Escape hint, the lines and the budget chain across them.
// Relies on the block font of the scene test support and the headless platform.
#include <cstdint>

#include "test_scene_support.h"

namespace {

using namespace scenetest;
using showcase::INTRO_LINE_COUNT;
using showcase::IntroLines;

// The steps a line costs: 10 per character that is not a blank.
int32_t Cost(const std::string& Text) {
  int32_t N = 0;
  for (char C : Text) N += C != ' ';
  return 10 * N;
}

// Step at which line Index (0-based) begins to appear.
int32_t LineStart(int32_t Index) {
  int32_t S = 0;
  for (int32_t I = 0; I < Index; ++I) S += Cost(IntroLines[I].Text);
  return S;
}

int32_t LineX(int32_t Index) {
  const auto& L = IntroLines[Index];
  return L.Centred ? (1024 - BlockWidth(L.Text)) / 2 : L.X;
}

TEST(IntroHint, FadesInFromStep21AndIsGoneFrom500) {
  EXPECT_EQ(showcase::IntroHintAlpha(0), -1);
  EXPECT_EQ(showcase::IntroHintAlpha(20), -1);
  EXPECT_EQ(showcase::IntroHintAlpha(21), 251);
  EXPECT_EQ(showcase::IntroHintAlpha(22), 246);
  EXPECT_EQ(showcase::IntroHintAlpha(50), 128);
  EXPECT_EQ(showcase::IntroHintAlpha(80), 0);
  EXPECT_EQ(showcase::IntroHintAlpha(81), 0);
  EXPECT_EQ(showcase::IntroHintAlpha(499), 0);
  EXPECT_EQ(showcase::IntroHintAlpha(500), -1);
  EXPECT_EQ(showcase::IntroHintAlpha(-2147483647 - 1), -1);
  EXPECT_EQ(showcase::IntroHintAlpha(2147483647), -1);
  // Over the whole ramp the result is 255 - 4.25 x (step - 20) rounded half to even.
  for (int32_t S = 21; S <= 80; ++S) {
    const int32_t Quarters = 1020 - 17 * (S - 20);
    int32_t Exact = Quarters / 4;
    const int32_t Rest = Quarters % 4;
    if (Rest > 2 || (Rest == 2 && Exact % 2 == 1)) ++Exact;
    EXPECT_EQ(showcase::IntroHintAlpha(S), Exact) << "step " << S;
  }
}

TEST(IntroLinesTable, TextsAreEightBitAndInOrder) {
  EXPECT_EQ(IntroLines[0].Text, "Lumora");
  EXPECT_EQ(IntroLines[2].Text, "2D graphics library for C++");
  for (int32_t I = 6; I < INTRO_LINE_COUNT; ++I) {
    ASSERT_FALSE(IntroLines[I].Text.empty());
    EXPECT_EQ(uint8_t(IntroLines[I].Text[0]), 0xB0) << "line " << I + 1 << " begins with the byte 0xB0";
    EXPECT_EQ(IntroLines[I].Text.substr(1, 2), "  ");
  }
  int32_t LastY = 0;
  for (const auto& L : IntroLines) {
    EXPECT_GT(L.Y, LastY);
    LastY = L.Y;
  }
  EXPECT_EQ(LineStart(INTRO_LINE_COUNT), 2760) << "everything has appeared before step 3000";
}

class Introduction : public SceneTest {};

TEST_F(Introduction, FirstFrameIsBlack) {
  showcase::DrawIntroductionFrame(0);
  EXPECT_TRUE(ScreenIsBlack());
}

TEST_F(Introduction, HintPixels) {
  SCENE_NEEDS(TextWorks(), "text");
  showcase::DrawIntroductionFrame(20);
  EXPECT_TRUE(HasRgb(5, 740, 0, 0, 0));
  showcase::DrawIntroductionFrame(21);  // white at transparency 251 over black
  EXPECT_TRUE(HasRgb(5, 740, 4, 4, 4));
  showcase::DrawIntroductionFrame(50);
  EXPECT_TRUE(HasRgb(5, 749, 127, 127, 127));
  showcase::DrawIntroductionFrame(80);
  EXPECT_TRUE(HasRgb(10, 740, 255, 255, 255));
  showcase::DrawIntroductionFrame(499);
  EXPECT_TRUE(HasRgb(10, 740, 255, 255, 255));
  showcase::DrawIntroductionFrame(500);
  EXPECT_TRUE(HasRgb(10, 740, 0, 0, 0));
  EXPECT_TRUE(HasRgb(4, 740, 0, 0, 0));
}

// Each line starts where the lines before it have spent their budget: its first letter
// is half lit five steps in, and the line after it has not begun.
TEST_F(Introduction, BudgetPassesFromLineToLine) {
  SCENE_NEEDS(TextWorks(), "text");
  for (int32_t I = 0; I < INTRO_LINE_COUNT; ++I) {
    SCOPED_TRACE("line " + std::to_string(I + 1));
    const auto& L = IntroLines[I];
    const int32_t Start = LineStart(I);
    showcase::DrawIntroductionFrame(Start + 5);
    EXPECT_TRUE(HasRgb(LineX(I), L.Y, showcase::AppearingChannel(5, L.R),
                       showcase::AppearingChannel(5, L.G), showcase::AppearingChannel(5, L.B)));
    if (I > 0) {
      const auto& P = IntroLines[I - 1];
      const int32_t PrevEnd = LineX(I - 1) + BlockWidth(P.Text) - 1;
      EXPECT_TRUE(HasRgb(PrevEnd, P.Y + FONT_H - 1, P.R, P.G, P.B)) << "the previous line is complete";
    }
    if (I + 1 < INTRO_LINE_COUNT) {
      const auto& N = IntroLines[I + 1];
      EXPECT_TRUE(HasRgb(LineX(I + 1), N.Y, 0, 0, 0)) << "the next line has not begun";
    }
  }
}

TEST_F(Introduction, LastFrameShowsEveryLineCentredWhereAsked) {
  SCENE_NEEDS(TextWorks(), "text");
  showcase::DrawIntroductionFrame(3001);
  EXPECT_TRUE(HasRgb((1024 - 36) / 2, 100, 255, 255, 255));
  EXPECT_TRUE(HasRgb((1024 - 36) / 2 - 1, 100, 0, 0, 0));
  EXPECT_TRUE(HasRgb(760, 175, 255, 255, 255));
  const int32_t W3 = BlockWidth("2D graphics library for C++");
  EXPECT_TRUE(HasRgb((1024 - W3) / 2, 250, 200, 210, 255));
  EXPECT_TRUE(HasRgb((1024 - W3) / 2 + W3 - 1, 259, 200, 210, 255));
  EXPECT_TRUE(HasRgb(440, 575, 215, 230, 200));
  EXPECT_TRUE(HasRgb(10, 740, 0, 0, 0)) << "the hint is gone";
}

TEST_F(Introduction, MissingFontsKeepTheBudgetAndDrawNothing) {
  RemoveFonts();
  for (int32_t Step : {0, 21, 65, 1500, 3001}) {
    showcase::DrawIntroductionFrame(Step);
    EXPECT_TRUE(ScreenIsBlack()) << "step " << Step;
  }
  // The budget is consumed as if the letters were there: a line with no font still
  // costs its letters.
  EXPECT_EQ(showcase::WriteAppearingText(0, 0, 65, 255, 255, 255, 0, *Unloaded, "Lumora"), 5);
}

// Escape seen inside a frame: every line still draws its first letter (the poll after
// it fires again), the frame is presented, and the scene ends after it.
TEST_F(Introduction, EscapeDuringALetterLeavesOneLetterPerLine) {
  SCENE_NEEDS(TextWorks(), "text");
  lumora::HeadlessPressEscape();
  showcase::DrawIntroductionFrame(175);
  EXPECT_TRUE(showcase::Terminate);
  for (int32_t I = 0; I < INTRO_LINE_COUNT; ++I) {
    const auto& L = IntroLines[I];
    EXPECT_TRUE(HasRgb(LineX(I), L.Y, L.R, L.G, L.B)) << "line " << I + 1;
    int32_t Second = LineX(I) + LETTER_W;
    for (size_t K = 1; K < L.Text.size() && L.Text[K] == ' '; ++K) Second += BLANK_W;
    EXPECT_TRUE(HasRgb(Second, L.Y, 0, 0, 0)) << "line " << I + 1;
  }
}

TEST_F(Introduction, EscapeHeldFromTheStartShowsOneFrame) {
  lumora::THeadlessOptions O;
  O.EscapeDownAtFrame = 0;
  lumora::UseHeadlessPlatform(O);
  showcase::Introduction();
  EXPECT_TRUE(showcase::Terminate);
  EXPECT_EQ(lumora::HeadlessFrameCount(), 1u);
  EXPECT_TRUE(ScreenIsBlack()) << "the frame at step 0 draws nothing";
}

}  // namespace
