// Tests of the appearing text, centring, the fade and the outro.
// Relies on the block font of the scene test support and the headless platform.
#include <cstdint>

#include "test_scene_support.h"

namespace {

using namespace scenetest;
using showcase::WriteAppearingText;

class AppearingText : public SceneTest {};

// "ab c": a letter, a letter, a blank, a letter. Letters are 6 wide, the blank 4, so the
// letters begin at X, X + 6 and X + 16.
constexpr int32_t X0 = 100, Y0 = 50;
const std::string Text = "ab c";

TEST_F(AppearingText, BudgetsDecideLettersColoursAndResult) {
  SCENE_NEEDS(TextWorks(), "text");
  // 25: two letters in full colour, the last at half of each channel (ties to even).
  EXPECT_EQ(WriteAppearingText(X0, Y0, 25, 201, 100, 51, 0, Block->Font, Text), 0);
  EXPECT_TRUE(HasRgb(X0, Y0, 201, 100, 51));
  EXPECT_TRUE(HasRgb(X0 + 6 + 5, Y0 + 9, 201, 100, 51));
  EXPECT_TRUE(HasRgb(X0 + 12, Y0, 0, 0, 0)) << "the blank draws nothing";
  EXPECT_TRUE(HasRgb(X0 + 16, Y0, 100, 50, 26));
  EXPECT_TRUE(HasRgb(X0 + 22, Y0, 0, 0, 0));

  lumora::ClearVirtualScreen();
  EXPECT_EQ(WriteAppearingText(X0, Y0, 30, 201, 100, 51, 0, Block->Font, Text), 0);
  EXPECT_TRUE(HasRgb(X0 + 16, Y0, 201, 100, 51));

  lumora::ClearVirtualScreen();
  EXPECT_EQ(WriteAppearingText(X0, Y0, 40, 201, 100, 51, 0, Block->Font, Text), 10);
  EXPECT_TRUE(HasRgb(X0 + 21, Y0 + 9, 201, 100, 51));

  lumora::ClearVirtualScreen();
  EXPECT_EQ(WriteAppearingText(X0, Y0, 0, 201, 100, 51, 0, Block->Font, Text), 0);
  EXPECT_TRUE(ScreenIsBlack());
}

TEST_F(AppearingText, BudgetArithmeticWithoutDrawing) {
  EXPECT_EQ(WriteAppearingText(0, 0, 25, 1, 1, 1, 0, Block->Font, Text), 0);
  EXPECT_EQ(WriteAppearingText(0, 0, 30, 1, 1, 1, 0, Block->Font, Text), 0);
  EXPECT_EQ(WriteAppearingText(0, 0, 31, 1, 1, 1, 0, Block->Font, Text), 1);
  EXPECT_EQ(WriteAppearingText(0, 0, 40, 1, 1, 1, 0, Block->Font, Text), 10);
  EXPECT_EQ(WriteAppearingText(0, 0, 0, 1, 1, 1, 0, Block->Font, Text), 0);
  EXPECT_EQ(WriteAppearingText(0, 0, -7, 1, 1, 1, 0, Block->Font, Text), -7);
  EXPECT_EQ(WriteAppearingText(0, 0, 37, 1, 1, 1, 0, Block->Font, ""), 37);
  EXPECT_EQ(WriteAppearingText(0, 0, 37, 1, 1, 1, 0, Block->Font, "   "), 37) << "blanks cost nothing";
  // A font that is not loaded still spends the budget letter by letter.
  EXPECT_EQ(WriteAppearingText(0, 0, 40, 1, 1, 1, 0, *Unloaded, Text), 10);
}

TEST_F(AppearingText, LeadingBlanksAdvanceThePen) {
  SCENE_NEEDS(TextWorks(), "text");
  EXPECT_EQ(WriteAppearingText(X0, Y0, 0, 255, 255, 255, 0, Block->Font, "  x"), 0);
  EXPECT_TRUE(ScreenIsBlack());
  EXPECT_EQ(WriteAppearingText(X0, Y0, 10, 255, 255, 255, 0, Block->Font, "  x"), 0);
  EXPECT_TRUE(HasRgb(X0 + 2 * BLANK_W, Y0, 255, 255, 255));
  EXPECT_TRUE(HasRgb(X0 + 2 * BLANK_W - 1, Y0, 0, 0, 0));
}

// A letter on its way in takes Step / 10 x channel, formed in long double and rounded
// half to even. That equals the exact rule but at Step 3 for 95, 175 and 195, where the
// extended 3 / 10 lies just above 0.3 (a double would lie below and give the exact rule).
TEST(AppearingChannel, ExtendedPrecisionRounding) {
  for (int32_t Step = 1; Step <= 9; ++Step) {
    for (int32_t C = 0; C <= 255; ++C) {
      const int32_t Tenfold = Step * C;  // exact value x 10
      int32_t Exact = Tenfold / 10;
      const int32_t Rest = Tenfold % 10;
      if (Rest > 5 || (Rest == 5 && Exact % 2 == 1)) ++Exact;
      const bool Lifted = Step == 3 && (C == 95 || C == 175 || C == 195);
      EXPECT_EQ(showcase::AppearingChannel(Step, C), Exact + (Lifted ? 1 : 0))
          << "Step " << Step << ", channel " << C;
    }
  }
  EXPECT_EQ(showcase::AppearingChannel(3, 95), 29);
  EXPECT_EQ(showcase::AppearingChannel(3, 175), 53);
  EXPECT_EQ(showcase::AppearingChannel(3, 195), 59);
}

TEST_F(AppearingText, ThirdStepColourIsExtended) {
  SCENE_NEEDS(TextWorks(), "text");
  WriteAppearingText(X0, Y0, 3, 95, 175, 195, 0, Block->Font, "q");
  EXPECT_TRUE(HasRgb(X0, Y0, 29, 53, 59));
}

TEST_F(AppearingText, ChannelsOutsideAByteAreClamped) {
  SCENE_NEEDS(TextWorks(), "text");
  WriteAppearingText(X0, Y0, 10, 300, -5, 256, 0, Block->Font, "q");
  EXPECT_TRUE(HasRgb(X0, Y0, 255, 0, 255));
  WriteAppearingText(X0, Y0 + 20, 5, 300, -5, 256, 0, Block->Font, "q");
  EXPECT_TRUE(HasRgb(X0, Y0 + 20, 128, 0, 128));
  // A transparency above 255 leaves the screen as it is instead of wrapping to opaque.
  WriteAppearingText(X0, Y0 + 40, 10, 255, 255, 255, 511, Block->Font, "q");
  EXPECT_TRUE(HasRgb(X0, Y0 + 40, 0, 0, 0));
}

TEST_F(AppearingText, EscapeEndsTheTextAfterTheLetterBeingDrawn) {
  SCENE_NEEDS(TextWorks(), "text");
  lumora::HeadlessPressEscape();
  EXPECT_EQ(WriteAppearingText(X0, Y0, 100, 255, 255, 255, 0, Block->Font, "abc"), 90);
  EXPECT_TRUE(showcase::Terminate);
  EXPECT_TRUE(HasRgb(X0, Y0, 255, 255, 255));
  EXPECT_TRUE(HasRgb(X0 + 6, Y0, 0, 0, 0)) << "letters after the poll are not drawn";
  // Once Terminate is set every further text stops after its first letter.
  EXPECT_EQ(WriteAppearingText(X0, Y0 + 20, 100, 255, 255, 255, 0, Block->Font, " abc"), 90);
  EXPECT_TRUE(HasRgb(X0 + BLANK_W, Y0 + 20, 255, 255, 255));
  EXPECT_TRUE(HasRgb(X0 + BLANK_W + 6, Y0 + 20, 0, 0, 0));
}

TEST_F(AppearingText, EscapeIsNotPolledAfterBlanks) {
  lumora::HeadlessPressEscape();
  EXPECT_EQ(WriteAppearingText(X0, Y0, 100, 255, 255, 255, 0, Block->Font, "   "), 100);
  EXPECT_FALSE(showcase::Terminate);
}

TEST_F(AppearingText, CentringUsesTheMeasuredWidth) {
  EXPECT_EQ(showcase::CentredX(*Unloaded, "anything at all"), 512);
  EXPECT_EQ(showcase::CentredX(Block->Font, ""), 512);
  SCENE_NEEDS(TextWorks(), "text");  // GetTextLength arrives with WriteText
  EXPECT_EQ(showcase::CentredX(Block->Font, "abc"), (1024 - 18) / 2);
  EXPECT_EQ(showcase::CentredX(Block->Font, "a b"), (1024 - 16) / 2);
  const std::string Wide(200, 'w');  // 1200 pixels: the division truncates toward zero
  EXPECT_EQ(showcase::CentredX(Block->Font, Wide), -88);
  EXPECT_EQ(showcase::CentredX(Block->Font, Wide + "w"), -91);
}

using Fade = SceneTest;

TEST_F(Fade, DarkensTheLastFrameInTwentyFivePasses) {
  SCENE_NEEDS(ShapesWork(), "FillRectangle");
  lumora::SetColor(200, 100, 255, 0);
  lumora::FillRectangle(0, 0, 1023, 767);
  const uint64_t Before = lumora::HeadlessFrameCount();
  const double Start = lumora::HeadlessClockMs();
  showcase::Fade();
  EXPECT_EQ(lumora::HeadlessFrameCount() - Before, 25u);
  EXPECT_NEAR(double(lumora::HeadlessClockMs() - Start), 25 * (15 + 1000.0 / 60), 1e-6);
  // Each pass keeps (t x D + 127) div 255 of a byte D, t = 205, 200, ... 85.
  int32_t R = 200, G = 100, B = 255;
  for (int32_t I = 1; I <= 25; ++I) {
    const int32_t T = 210 - 5 * I;
    R = (T * R + 127) / 255;
    G = (T * G + 127) / 255;
    B = (T * B + 127) / 255;
  }
  EXPECT_TRUE(HasRgb(0, 0, R, G, B));
  EXPECT_TRUE(HasRgb(1023, 767, R, G, B));
}

TEST_F(Fade, EscapeEndsItAfterThePresentedPassAndTerminateSkipsIt) {
  lumora::HeadlessPressEscape();
  const uint64_t Before = lumora::HeadlessFrameCount();
  showcase::Fade();
  EXPECT_EQ(lumora::HeadlessFrameCount() - Before, 1u);
  EXPECT_TRUE(showcase::Terminate);
  showcase::Fade();
  EXPECT_EQ(lumora::HeadlessFrameCount() - Before, 1u);
}

using Outro = SceneTest;

TEST_F(Outro, TheLineAppearsCentredLetterByLetter) {
  SCENE_NEEDS(TextWorks(), "text");
  const std::string& T = showcase::OutroText;
  ASSERT_EQ(T.rfind("visit: ", 0), 0u);
  const int32_t X = (1024 - BlockWidth(T)) / 2;
  const int32_t Letters = int32_t(T.size()) - 1;  // one blank
  ASSERT_LT(Letters * 10, 500) << "the whole line must appear before the scene ends";

  showcase::DrawOutroFrame(0);
  EXPECT_TRUE(ScreenIsBlack());

  showcase::DrawOutroFrame(5);
  EXPECT_TRUE(HasRgb(X, 370, 100, 105, 128));
  EXPECT_TRUE(HasRgb(X + LETTER_W, 370, 0, 0, 0));

  const int32_t LastX = X + BlockWidth(T) - LETTER_W;
  showcase::DrawOutroFrame(Letters * 10 - 5);
  EXPECT_TRUE(HasRgb(X, 370, 200, 210, 255));
  EXPECT_TRUE(HasRgb(LastX, 370, 100, 105, 128));

  showcase::DrawOutroFrame(500);
  EXPECT_TRUE(HasRgb(LastX + LETTER_W - 1, 379, 200, 210, 255));
  EXPECT_TRUE(HasRgb(LastX + LETTER_W, 379, 0, 0, 0));
  EXPECT_TRUE(HasRgb(X - 1, 370, 0, 0, 0));
}

TEST_F(Outro, WithoutItsFontEveryFrameIsBlackAndTheLengthStays) {
  RemoveFonts();
  std::vector<uint64_t> Counts;
  for (int Pass = 0; Pass < 2; ++Pass) {
    const uint64_t Before = lumora::HeadlessFrameCount();
    showcase::Outro();
    Counts.push_back(lumora::HeadlessFrameCount() - Before);
    if (Pass == 0) {
      EXPECT_TRUE(ScreenIsBlack());
    }
    lumora::LoadedFonts.assign(showcase::FONT_COUNT, &Block->Font);
  }
  // Frames at 1000/60 ms until 501 steps of 8 ms have passed, the first at step 0:
  // 242, fonts or not.
  EXPECT_EQ(Counts[0], Counts[1]);
  EXPECT_NEAR(double(Counts[0]), 242, 1);
}

// Before LoadFonts (or after FreeFonts) the catalogue is empty: every scene's frames draw
// without their texts instead of reading past the catalogue.
TEST_F(Outro, FramesOfEverySceneDrawWithAnEmptyCatalogue) {
  lumora::LoadedFonts.clear();
  for (const showcase::TSequenceItem& Item : showcase::Sequence)
    for (int32_t Step : {0, 1, Item.Scene->EndAt / 2, Item.Scene->EndAt}) Item.Scene->DrawFrame(Step);
  lumora::ClearVirtualScreen();
  showcase::DrawOutroFrame(500);
  EXPECT_TRUE(ScreenIsBlack());
  lumora::LoadedFonts.assign(showcase::FONT_COUNT, &Block->Font);
}

TEST_F(Outro, ReturnsAtOnceWhenTerminateIsSet) {
  showcase::Terminate = true;
  showcase::Outro();
  showcase::Introduction();
  showcase::Primitives();
  showcase::Fonts();
  showcase::Images();
  EXPECT_EQ(lumora::HeadlessFrameCount(), 1u) << "only InitLumora's black frame";
}

}  // namespace
