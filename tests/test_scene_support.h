// Scene test support: in-memory block fonts and pictures installed as the showcase's
// catalogue, a fixture around them, and pixel checks.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ShowCase/showcase.h"
#include "support/headless.h"

namespace scenetest {

// Every character of the block font but the blank is a solid block LETTER_W x FONT_H
// pixels; the blank is BLANK_W wide and empty. Distinct widths tell a blank's advance
// from a letter's.
inline constexpr int32_t LETTER_W = 6;
inline constexpr int32_t BLANK_W = 4;
inline constexpr int32_t FONT_H = 10;

struct TTestFont {
  std::vector<uint8_t> Glyphs;
  lumora::TFont Font{};
};

// A 3.x font for codes 32 to 255 built straight into a record, the way the loader lays
// out its glyph buffer: the glyph table, then the bitmap region from file offset 2000.
inline std::unique_ptr<TTestFont> MakeBlockFont() {
  auto F = std::make_unique<TTestFont>();
  constexpr uint32_t N = 224, E = 6, BITS = 2000;
  F->Glyphs.assign(N * E + 2 * FONT_H, 0);
  for (uint32_t K = 0; K < N; ++K) {
    const bool Blank = K == 0;
    const uint32_t Width = Blank ? BLANK_W : LETTER_W;
    const uint32_t Offset = Blank ? BITS : BITS + FONT_H;
    uint8_t* Entry = &F->Glyphs[K * E];
    Entry[0] = uint8_t(Width);
    Entry[1] = uint8_t(Width >> 8);
    for (int B = 0; B < 4; ++B) Entry[2 + B] = uint8_t(Offset >> (8 * B));
  }
  for (int32_t Row = 0; Row < FONT_H; ++Row) F->Glyphs[N * E + FONT_H + Row] = 0xFC;  // 6 columns
  lumora::TFont& T = F->Font;
  T.FileName = "Fonts\\Block_10";
  T.Loaded = true;
  T.Version = 0x0300;
  T.PixHeight = FONT_H;
  T.FirstChar = 32;
  T.LastChar = 255;
  T.DefaultChar = 0;
  T.BreakChar = 0;
  T.BitsOffset = BITS;
  T.GlyphsSize = uint32_t(F->Glyphs.size());
  T.Glyphs = F->Glyphs.data();
  return F;
}

// Width of Text in the block font.
inline int32_t BlockWidth(const std::string& Text) {
  int32_t W = 0;
  for (char C : Text) W += C == ' ' ? BLANK_W : LETTER_W;
  return W;
}

struct TRgb {
  uint8_t R, G, B;
};

struct TTestPicture {
  std::vector<uint8_t> Pixels;
  lumora::TPicture Picture{};
};

// A picture W x H whose pixel (x, y) has the colour Paint(x, y).
inline std::unique_ptr<TTestPicture> MakePicture(uint32_t W, uint32_t H,
                                                 const std::function<TRgb(uint32_t, uint32_t)>& Paint) {
  auto P = std::make_unique<TTestPicture>();
  P->Pixels.assign(size_t(W) * H * 4, 0);
  for (uint32_t Y = 0; Y < H; ++Y)
    for (uint32_t X = 0; X < W; ++X) {
      const TRgb C = Paint(X, Y);
      uint8_t* Px = &P->Pixels[(size_t(Y) * W + X) * 4];
      Px[0] = C.B;
      Px[1] = C.G;
      Px[2] = C.R;
    }
  P->Picture.FileName = "Pictures\\test.bmp";
  P->Picture.Loaded = true;
  P->Picture.ImageWidth = W;
  P->Picture.ImageHeight = H;
  P->Picture.PictureAdr = P->Pixels.data();
  return P;
}

inline std::unique_ptr<TTestPicture> SolidPicture(uint32_t W, uint32_t H, TRgb C) {
  return MakePicture(W, H, [C](uint32_t, uint32_t) { return C; });
}

inline TRgb RgbAt(int32_t X, int32_t Y) {
  const auto B = testsupport::Bytes(X, Y);
  return TRgb{B[2], B[1], B[0]};
}

inline ::testing::AssertionResult HasRgb(int32_t X, int32_t Y, int R, int G, int B) {
  const TRgb C = RgbAt(X, Y);
  if (C.R == R && C.G == G && C.B == B) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "pixel (" << X << ", " << Y << ") is (" << int(C.R)
                                       << ", " << int(C.G) << ", " << int(C.B) << "), expected ("
                                       << R << ", " << G << ", " << B << ")";
}

inline bool ScreenIsBlack() {
  for (uint32_t I = 0; I < lumora::SCREEN_BYTES; ++I)
    if (lumora::VirtualScreen[I] != 0) return false;
  return true;
}

// The showcase with the block font at every catalogue index and pictures chosen per
// test; nothing is loaded from disk.
class SceneTest : public testsupport::HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    showcase::Terminate = false;
    Block = MakeBlockFont();
    Unloaded = std::make_unique<lumora::TFont>();
    lumora::LoadedFonts.assign(showcase::FONT_COUNT, &Block->Font);
    showcase::Pictures.assign(showcase::PICTURE_COUNT, lumora::TPicture{});
  }
  void TearDown() override {
    // The records belong to the test: drop the catalogue without releasing them.
    lumora::LoadedFonts.clear();
    showcase::Pictures.clear();
    showcase::Terminate = false;
    HeadlessTest::TearDown();
  }

  // Every catalogue font not loaded, as when the Fonts folder is missing.
  void RemoveFonts() { lumora::LoadedFonts.assign(showcase::FONT_COUNT, Unloaded.get()); }

  void SetPicture(int32_t Index, std::unique_ptr<TTestPicture> P) {
    showcase::Pictures[size_t(Index)] = P->Picture;
    Owned.push_back(std::move(P));
  }

  // Whether the pieces a pixel check needs draw at all yet; restores a black screen.
  static bool TextDraws(const lumora::TFont& F) {
    lumora::SetColor(255, 255, 255, 0);
    lumora::WriteText(0, 0, F, "A");
    const bool Drawn = testsupport::Bytes(0, 0)[2] != 0;
    lumora::ClearVirtualScreen();
    return Drawn;
  }
  bool TextWorks() const { return TextDraws(Block->Font); }
  static bool ShapesWork() {
    lumora::SetColor(255, 255, 255, 0);
    lumora::Circle(20, 20, 5);
    lumora::Circle(60, 20, 5, 3);
    lumora::Rectangle(100, 10, 120, 30, 2);
    lumora::FillRectangle(200, 10, 200, 10);
    const bool Drawn = testsupport::Bytes(25, 20)[2] != 0 && testsupport::Bytes(65, 20)[2] != 0 &&
                       testsupport::Bytes(100, 20)[2] != 0 && testsupport::Bytes(200, 10)[2] != 0;
    lumora::ClearVirtualScreen();
    return Drawn;
  }
  static bool PicturesWork() {
    auto P = SolidPicture(2, 2, {255, 255, 255});
    lumora::ShowAlphaScaleBMPPicture(0, 0, P->Picture, 2, 2, 0, false, lumora::TColor{});
    const bool Drawn = testsupport::Bytes(1, 1)[2] != 0;
    lumora::ClearVirtualScreen();
    return Drawn;
  }

  std::unique_ptr<TTestFont> Block;
  std::unique_ptr<lumora::TFont> Unloaded;
  std::vector<std::unique_ptr<TTestPicture>> Owned;
};

// A scene's pixel checks rest on these pieces drawing at all: one that draws nothing fails
// the test here, by name, rather than in a pixel check that would only puzzle.
#define SCENE_NEEDS(Works, What) ASSERT_TRUE(Works) << What " draws nothing"

}  // namespace scenetest
