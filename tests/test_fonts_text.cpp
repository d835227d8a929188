// Tests of WriteText and GetTextLength: glyph choice and placement, strips and padding,
// advance, clipping, blending, long texts and fonts that are not loaded.
#include <filesystem>

#include "lumora/internal/blend.h"
#include "support/font_test.h"

namespace {

using namespace lumora;
using namespace testsupport;

class Text : public FontFileTest {
 protected:
  void Load(const FntLayout& S) {
    WriteBytes(Dir + "/t.fnt", BuildFnt(S));
    uint8_t Result = 99;
    FreeFNTFont(Font);
    LoadFNTFont(Dir + "/t.fnt", Font, Result);
    ASSERT_EQ(Result, FNT_OK);
  }
  // The pixels that differ from a black screen, in row order.
  static std::vector<std::pair<int, int>> Inked() {
    std::vector<std::pair<int, int>> P;
    for (int Y = 0; Y < SCREEN_HEIGHT; ++Y)
      for (int X = 0; X < SCREEN_WIDTH; ++X)
        if (Bytes(X, Y)[0] | Bytes(X, Y)[1] | Bytes(X, Y)[2]) P.emplace_back(X, Y);
    return P;
  }
};

using Pixels = std::vector<std::pair<int, int>>;

// Codes 'A'..'D'; 'D', one column wide, is the default character.
FntLayout LetterFont(uint16_t Version = 0x0200) {
  FntLayout S;
  S.Version = Version;
  S.PixHeight = 2;
  S.FirstChar = 'A';
  S.DefaultChar = 3;  // 'D'
  S.Glyphs = {
      ArtGlyph({"#.....#", "......."}),  // A: width 7
      ArtGlyph({"##", ".#"}),            // B: width 2
      FntGlyph{0, {}},                   // C: width 0
      ArtGlyph({"#", "#"}),              // D: width 1, the default character
  };
  return S;
}

TEST_F(Text, GlyphRowsAndColumnsLandWhereTheBitsSay) {
  FntLayout S;
  S.PixHeight = 2;
  S.Glyphs = {FntGlyph{8, {0x81, 0x00}}};
  Load(S);
  SetColor(255, 255, 255, 0);
  WriteText(100, 50, Font, " ");
  EXPECT_EQ(Inked(), (Pixels{{100, 50}, {107, 50}}));
}

TEST_F(Text, SecondStripOfANineWideGlyphDrawsOnlyColumnEight) {
  FntLayout S;
  S.PixHeight = 2;
  S.Glyphs = {FntGlyph{9, {0x00, 0x00, 0xFF, 0x80}}};  // strip 0 empty, strip 1 all set
  Load(S);
  SetColor(255, 255, 255, 0);
  WriteText(10, 20, Font, " ");
  EXPECT_EQ(Inked(), (Pixels{{18, 20}, {18, 21}}));
}

TEST_F(Text, PaddingBitsSetInTheFileAreNeverDrawn) {
  FntLayout S;
  S.PixHeight = 1;
  S.Glyphs = {FilledGlyph(3, 1, 0xFF), FilledGlyph(11, 1, 0xFF)};
  Load(S);
  SetColor(255, 255, 255, 0);
  WriteText(0, 0, Font, " !");
  Pixels Expected;
  for (int X = 0; X < 14; ++X) Expected.emplace_back(X, 0);
  EXPECT_EQ(Inked(), Expected);
}

TEST_F(Text, GlyphsFollowEachOtherAndAdvanceEqualsTheMeasuredLength) {
  Load(LetterFont());
  SetColor(255, 255, 255, 0);
  WriteText(5, 7, Font, "ACB");
  // A at 5..11, C (width 0) draws nothing and does not advance, B at 12..13.
  EXPECT_EQ(Inked(), (Pixels{{5, 7}, {11, 7}, {12, 7}, {13, 7}, {13, 8}}));
  EXPECT_EQ(GetTextLength(Font, "ACB"), 9u);
  EXPECT_EQ(GetTextLength(Font, "AB"), 9u);
  EXPECT_EQ(GetTextLength(Font, "C"), 0u);
  EXPECT_EQ(GetTextLength(Font, ""), 0u);
}

TEST_F(Text, CodesOutsideTheRangeUseTheDefaultCharacter) {
  Load(LetterFont());
  SetColor(255, 255, 255, 0);
  const std::string Codes = {char(10), char(31), char(0), 'E', char(255), 'B'};
  WriteText(0, 0, Font, Codes);
  // Five default characters (width 1, both rows), then B at x = 5.
  Pixels Expected;
  for (int X = 0; X < 5; ++X) Expected.emplace_back(X, 0);
  Expected.emplace_back(5, 0);
  Expected.emplace_back(6, 0);
  for (int X = 0; X < 5; ++X) Expected.emplace_back(X, 1);
  Expected.emplace_back(6, 1);
  EXPECT_EQ(Inked(), Expected);
  EXPECT_EQ(GetTextLength(Font, Codes), 7u);
}

TEST_F(Text, ThreeXFontsUseThirtyTwoBitOffsets) {
  FntLayout S = LetterFont(0x0300);
  S.GapBeforeBits = 70000;  // every bitmap lies beyond 65,535
  Load(S);
  SetColor(255, 255, 255, 0);
  WriteText(0, 0, Font, "AB");
  EXPECT_EQ(Inked(), (Pixels{{0, 0}, {6, 0}, {7, 0}, {8, 0}, {8, 1}}));
}

TEST_F(Text, ClipsAtTheViewport) {
  FntLayout S;
  S.PixHeight = 3;
  S.Glyphs = {FilledGlyph(30, 3, 0xFF)};
  Load(S);
  SetColor(255, 255, 255, 0);
  WriteText(-20, -1, Font, " ");
  Pixels Expected;
  for (int Y = 0; Y < 2; ++Y)
    for (int X = 0; X < 10; ++X) Expected.emplace_back(X, Y);
  EXPECT_EQ(Inked(), Expected);

  ClearVirtualScreen();
  WriteText(1000, 766, Font, "  ");
  Expected.clear();
  for (int Y = 766; Y < 768; ++Y)
    for (int X = 1000; X < 1024; ++X) Expected.emplace_back(X, Y);
  EXPECT_EQ(Inked(), Expected);

  ClearVirtualScreen();
  SetViewPort(10, 11, 12, 11);
  WriteText(0, 10, Font, " ");
  EXPECT_EQ(Inked(), (Pixels{{10, 11}, {11, 11}, {12, 11}}));
  SetViewPort(100, 100, 50, 50);
  ClearVirtualScreen();
  WriteText(60, 60, Font, "   ");
  EXPECT_TRUE(Inked().empty());
}

TEST_F(Text, TranslucentInkBlendsEachPixelOnceAndClearBitsKeepTheScreen) {
  FntLayout S;
  S.PixHeight = 2;
  S.Glyphs = {ArtGlyph({"#.#.#.#.#", ".#.#.#.#."})};
  Load(S);
  FillPattern(7);
  const std::vector<uint8_t> Before = Snapshot();
  SetColor(10, 200, 250, 128);
  WriteText(300, 400, Font, "  ");  // the same glyph twice, side by side
  for (int Y = 399; Y <= 402; ++Y) {
    for (int X = 299; X <= 319; ++X) {
      const size_t At = (size_t(Y) * SCREEN_WIDTH + size_t(X)) * 4;
      const int Col = (X - 300) % 9;
      const bool Ink = X >= 300 && X < 318 && Y >= 400 && Y < 402 && (Col % 2 == (Y - 400));
      const uint8_t* P = PixelAt(X, Y);
      if (Ink) {
        EXPECT_EQ(P[0], detail::BlendByte(Before[At], 250, 128)) << X << "," << Y;
        EXPECT_EQ(P[1], detail::BlendByte(Before[At + 1], 200, 128));
        EXPECT_EQ(P[2], detail::BlendByte(Before[At + 2], 10, 128));
      } else {
        EXPECT_TRUE(std::equal(P, P + 3, Before.begin() + long(At))) << X << "," << Y;
      }
      EXPECT_EQ(P[3], Before[At + 3]);
    }
  }
}

TEST_F(Text, TextsLongerThan65535CharactersAreDrawnWhole) {
  Load(LetterFont());
  SetColor(255, 255, 255, 0);
  std::string Long(70000, 'C');  // width 0: nothing drawn, no advance
  Long += 'D';
  WriteText(3, 4, Font, Long);
  EXPECT_EQ(Inked(), (Pixels{{3, 4}, {3, 5}}));
  EXPECT_EQ(GetTextLength(Font, Long), 1u);
}

TEST_F(Text, WideTextsNeitherOverflowNorStopMeasuring) {
  FntLayout S;
  S.PixHeight = 1;
  S.Glyphs = {FilledGlyph(65535, 1, 0x80)};
  Load(S);
  const std::string Long(70000, ' ');
  EXPECT_EQ(GetTextLength(Font, Long), uint32_t(uint64_t(70000) * 65535u % (uint64_t(1) << 32)));
  SetColor(255, 255, 255, 0);
  WriteText(INT32_MAX - 5, 0, Font, Long);
  WriteText(INT32_MIN, 0, Font, Long);
  // From INT32_MIN the glyph numbered 32,768 starts at x = -32,768 and covers the whole
  // row; its strips ink their first column, so every 8th pixel of the row is set.
  const Pixels Ink = Inked();
  EXPECT_EQ(Ink.size(), 128u);
  for (const auto& [X, Y] : Ink) {
    EXPECT_EQ(Y, 0);
    EXPECT_EQ(X % 8, 0);
  }
}

TEST_F(Text, FontsThatAreNotLoadedDrawNothingAndMeasureZero) {
  SetColor(255, 255, 255, 0);
  const TFont Empty{};
  WriteText(0, 0, Empty, "anything");
  EXPECT_TRUE(Inked().empty());
  EXPECT_EQ(GetTextLength(Empty, "anything"), 0u);
}

TEST_F(Text, ARecordEditedAfterLoadingNeverLeadsOutsideItsBuffer) {
  Load(LetterFont());
  TFont Edited = Font;
  Edited.PixHeight = 5000;    // bitmaps would run past the buffer
  Edited.DefaultChar = 200;   // beyond the table
  Edited.LastChar = 255;      // a table larger than the buffer
  SetColor(255, 255, 255, 0);
  WriteText(0, 0, Edited, "ABCD\x01");
  EXPECT_EQ(GetTextLength(Edited, "AB"), 0u);
  Edited.LastChar = Font.LastChar;
  WriteText(0, 0, Edited, "ABCD\x01");
  EXPECT_TRUE(Inked().empty());
  EXPECT_EQ(GetTextLength(Edited, "AB\x01"), 9u);
}

}  // namespace
