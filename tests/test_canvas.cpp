// Canvases: the canvas-first calls give the bytes of the global calls, clip to their own
// viewport and size, keep to their rows on padded strides, draw into pictures, and draw on
// several canvases from several threads at once as each does alone.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <thread>
#include <vector>

#include "lumora/lumora.h"

namespace {

using namespace lumora;

// A 37 x 23 picture of a colour gradient with a white transparent cross.
struct TTestPicture {
  std::vector<uint8_t> Pixels;
  TPicture Picture;
  TTestPicture() : Pixels(37 * 23 * 4) {
    for (int Y = 0; Y < 23; ++Y)
      for (int X = 0; X < 37; ++X) {
        uint8_t* P = &Pixels[size_t(Y * 37 + X) * 4];
        const bool Cross = X == 18 || Y == 11;
        P[0] = Cross ? 255 : uint8_t(X * 7);
        P[1] = Cross ? 255 : uint8_t(Y * 11);
        P[2] = Cross ? 255 : uint8_t(X * Y);
        P[3] = 0;
      }
    Picture.Loaded = true;
    Picture.ImageWidth = 37;
    Picture.ImageHeight = 23;
    Picture.PictureAdr = Pixels.data();
  }
};

// A font of the showcase when the build placed them beside the test; text is drawn only then.
const TFont& TestFont() {
  static TFont Font;
  static bool Tried = false;
  if (!Tried) {
    Tried = true;
    uint8_t Result = 0;
    LoadFNTFont("Fonts\\Gentium Basic_11.fnt", Font, Result);
  }
  return Font;
}

// Every drawing call, on a canvas or (Canvas null) on the default canvas, in colours and
// places chosen by Seed; coordinates reach beyond 1024 x 768.
void Draw(TCanvas* Canvas, uint32_t Seed, const TPicture& Picture) {
  std::mt19937 Rng(Seed);
  auto Coord = [&](int32_t Span) { return int32_t(Rng() % uint32_t(Span)) - 200; };
  for (int I = 0; I < 60; ++I) {
    const uint8_t R = uint8_t(Rng()), G = uint8_t(Rng()), B = uint8_t(Rng());
    const uint8_t A = (I % 3 == 0) ? 0 : uint8_t(Rng());
    if (Canvas) SetColor(*Canvas, R, G, B, A); else SetColor(R, G, B, A);
    const int32_t X1 = Coord(1500), Y1 = Coord(1100), X2 = Coord(1500), Y2 = Coord(1100);
    switch (I % 8) {
      case 0: if (Canvas) Line(*Canvas, X1, Y1, X2, Y2); else Line(X1, Y1, X2, Y2); break;
      case 1: if (Canvas) Circle(*Canvas, X1, Y1, I * 5); else Circle(X1, Y1, I * 5); break;
      case 2: if (Canvas) Circle(*Canvas, X1, Y1, I * 4, 1 + I % 9); else Circle(X1, Y1, I * 4, 1 + I % 9); break;
      case 3: if (Canvas) Rectangle(*Canvas, X1, Y1, X2, Y2, 1 + I % 5); else Rectangle(X1, Y1, X2, Y2, 1 + I % 5); break;
      case 4: if (Canvas) FillRectangle(*Canvas, X1, Y1, X1 + 150, Y1 + 90); else FillRectangle(X1, Y1, X1 + 150, Y1 + 90); break;
      case 5: if (Canvas) Pixel(*Canvas, X1 / 2, Y1 / 2); else Pixel(X1 / 2, Y1 / 2); break;
      case 6:
        if (Canvas) WriteText(*Canvas, X1, Y1, TestFont(), "Canvas text 0123");
        else WriteText(X1, Y1, TestFont(), "Canvas text 0123");
        break;
      default: {
        const uint32_t W = 1 + Rng() % 700, H = 1 + Rng() % 500;
        const TColor White{255, 255, 255, 0};
        if (Canvas) ShowAlphaScaleBMPPicture(*Canvas, X1, Y1, Picture, W, H, A, I % 2 == 0, White);
        else ShowAlphaScaleBMPPicture(X1, Y1, Picture, W, H, A, I % 2 == 0, White);
      }
    }
    if (I == 30) {  // a viewport part-way
      if (Canvas) SetViewPort(*Canvas, 100, 50, 900, 700); else SetViewPort(100, 50, 900, 700);
    }
  }
}

// Fills Count bytes with a pattern that depends on the position, fourth bytes included.
void Pattern(uint8_t* P, size_t Count) {
  for (size_t I = 0; I < Count; ++I) P[I] = uint8_t(I * 2654435761u >> 13);
}

class Canvas : public ::testing::Test {
 protected:
  void SetUp() override {
    UseHeadlessPlatform();
    InitLumora("canvas test");
  }
  void TearDown() override { CloseLumora(); }

  // What the global calls draw over the pattern.
  std::vector<uint8_t> GlobalResult(uint32_t Seed) {
    Pattern(VirtualScreen, SCREEN_BYTES);
    SetViewPort(0, 0, SCREEN_WIDTH - 1, SCREEN_HEIGHT - 1);
    Draw(nullptr, Seed, Pic.Picture);
    return std::vector<uint8_t>(VirtualScreen, VirtualScreen + SCREEN_BYTES);
  }
  TTestPicture Pic;
};

TEST_F(Canvas, SameBytesAsTheGlobalCallsOnAScreenSizedCanvas) {
  for (uint32_t Seed = 1; Seed <= 6; ++Seed) {
    const std::vector<uint8_t> Expected = GlobalResult(Seed);
    std::vector<uint8_t> Own(SCREEN_BYTES);
    Pattern(Own.data(), Own.size());
    TCanvas C;
    ASSERT_TRUE(MakeCanvas(C, Own.data(), SCREEN_WIDTH, SCREEN_HEIGHT, ROW_BYTES));
    Draw(&C, Seed, Pic.Picture);
    ASSERT_TRUE(Own == Expected) << "seed " << Seed;
  }
}

// On a larger canvas with a padded stride and the viewport set to the screen's size, the
// top-left 1024 x 768 pixels are the global bytes and nothing else changes.
TEST_F(Canvas, LargerPaddedCanvasWithAScreenViewportChangesOnlyThatCorner) {
  constexpr int32_t W = 3000, H = 2000;
  constexpr int64_t Stride = W * 4 + 52;
  for (uint32_t Seed = 11; Seed <= 13; ++Seed) {
    const std::vector<uint8_t> Expected = GlobalResult(Seed);
    std::vector<uint8_t> Big(size_t(Stride) * H);
    Pattern(Big.data(), Big.size());
    // The corner starts as the screen did.
    std::vector<uint8_t> Screen(SCREEN_BYTES);
    Pattern(Screen.data(), Screen.size());
    for (int64_t Y = 0; Y < SCREEN_HEIGHT; ++Y)
      std::memcpy(Big.data() + Y * Stride, Screen.data() + Y * ROW_BYTES, ROW_BYTES);
    const std::vector<uint8_t> Before = Big;
    TCanvas C;
    ASSERT_TRUE(MakeCanvas(C, Big.data(), W, H, Stride));
    SetViewPort(C, 0, 0, SCREEN_WIDTH - 1, SCREEN_HEIGHT - 1);
    Draw(&C, Seed, Pic.Picture);
    for (int64_t Y = 0; Y < H; ++Y) {
      const uint8_t* Row = Big.data() + Y * Stride;
      const uint8_t* Old = Before.data() + Y * Stride;
      if (Y < SCREEN_HEIGHT) {
        ASSERT_EQ(std::memcmp(Row, Expected.data() + Y * ROW_BYTES, ROW_BYTES), 0) << "row " << Y;
        ASSERT_EQ(std::memcmp(Row + ROW_BYTES, Old + ROW_BYTES, size_t(Stride - ROW_BYTES)), 0) << "row " << Y;
      } else {
        ASSERT_EQ(std::memcmp(Row, Old, size_t(Stride)), 0) << "row " << Y;
      }
    }
  }
}

TEST_F(Canvas, SizesViewportsAndOwnership) {
  TCanvas C;
  std::vector<uint8_t> Mem(64);
  EXPECT_FALSE(MakeCanvas(C, Mem.data(), 0, 4, 16));
  EXPECT_FALSE(MakeCanvas(C, Mem.data(), 4, 4, 15));  // stride below width x 4
  EXPECT_FALSE(MakeCanvas(C, nullptr, 4, 4, 16));
  EXPECT_FALSE(AllocateCanvas(C, MAX_CANVAS_SIDE + 1, 1));
  EXPECT_EQ(C.Pixels, nullptr);
  Pixel(C, 0, 0);  // an empty canvas draws nothing
  FillRectangle(C, 0, 0, 10, 10);

  ASSERT_TRUE(AllocateCanvas(C, 5, 3));
  EXPECT_TRUE(C.Owned);
  EXPECT_EQ(C.Stride, 20);
  SetViewPort(C, -4, -4, 100, 100);  // pulled to the canvas's own last column and row
  EXPECT_EQ(C.ViewPort.X1, 0);
  EXPECT_EQ(C.ViewPort.Y1, 0);
  EXPECT_EQ(C.ViewPort.X2, 4);
  EXPECT_EQ(C.ViewPort.Y2, 2);
  SetColor(C, 10, 20, 30, 0);
  FillRectangle(C, -100, -100, 100, 100);
  for (int I = 0; I < 15; ++I) {
    EXPECT_EQ(C.Pixels[I * 4 + 0], 30);
    EXPECT_EQ(C.Pixels[I * 4 + 2], 10);
  }
  // A viewport assigned directly beyond the canvas still keeps drawing inside it.
  C.ViewPort = TViewPort{-50, -50, 5000, 5000};
  Circle(C, 2, 1, 40, 90);
  Line(C, -9000, -7, 9000, 9);
  Clear(C);
  EXPECT_EQ(C.Pixels[0], 0);
  FreeCanvas(C);
  EXPECT_EQ(C.Pixels, nullptr);
  // One row may have any stride: the line walk takes no step past its last pixel (with
  // the largest stride that step overflowed; the sanitizer build shows it).
  uint8_t Row[11 * 4] = {};
  TCanvas Wide;
  ASSERT_TRUE(MakeCanvas(Wide, Row, 11, 1, INT64_MAX));
  SetColor(Wide, 9, 9, 9, 0);
  Line(Wide, 0, 0, 10, 1);
  Rectangle(Wide, 1, 0, 9, 0, 1);
  EXPECT_EQ(Row[4 * 4], 9);  // the line's last pixel on row 0
  EXPECT_EQ(Row[9 * 4], 9);  // the rectangle's right end
  TCanvas Borrowed;
  ASSERT_TRUE(MakeCanvas(Borrowed, Mem.data(), 4, 4, 16));
  FreeCanvas(Borrowed);  // not the canvas's memory: left alone
  EXPECT_EQ(Borrowed.Pixels, Mem.data());
}

// Draw into a picture, then show the picture: a sprite made on the fly.
TEST_F(Canvas, DrawingIntoAPictureThenShowingIt) {
  TTestPicture Sprite;
  TCanvas C = PictureCanvas(Sprite.Picture);
  ASSERT_EQ(C.Width, 37);
  ASSERT_EQ(C.Height, 23);
  SetColor(C, 0, 0, 255, 0);
  FillRectangle(C, 0, 0, 36, 22);
  SetColor(C, 255, 0, 0, 0);
  Circle(C, 18, 11, 8, 3);
  ClearVirtualScreen();
  ShowAlphaScaleBMPPicture(100, 100, Sprite.Picture, 37, 23, 0, false, TColor{});
  // Row 11 of the screen rectangle shows source row 11 of the picture: the ring's red at
  // its left edge (x = 18 - 8 = 10), blue elsewhere.
  const uint8_t* P = VirtualScreen + (size_t(100 + 10) * SCREEN_WIDTH + 100 + 9) * 4;
  EXPECT_EQ(P[2], 255);
  EXPECT_EQ(P[0], 0);
  const uint8_t* Q = VirtualScreen + (size_t(100 + 10) * SCREEN_WIDTH + 100 + 2) * 4;
  EXPECT_EQ(Q[0], 255);
  TPicture NotLoaded;
  EXPECT_EQ(PictureCanvas(NotLoaded).Pixels, nullptr);
}

// Several canvases drawn from several threads at once give what each gives drawn alone.
TEST_F(Canvas, IndependentCanvasesOnIndependentThreads) {
  constexpr int THREADS = 4;
  constexpr int32_t W = 700, H = 500;
  std::vector<std::vector<uint8_t>> Alone(THREADS), Together(THREADS);
  for (int I = 0; I < THREADS; ++I) {
    Alone[I].assign(size_t(W) * H * 4, 0);
    TCanvas C;
    ASSERT_TRUE(MakeCanvas(C, Alone[I].data(), W, H, W * 4));
    Draw(&C, 100 + uint32_t(I), Pic.Picture);
  }
  std::vector<std::thread> Threads;
  for (int I = 0; I < THREADS; ++I) {
    Together[I].assign(size_t(W) * H * 4, 0);
    Threads.emplace_back([&, I] {
      for (int Repeat = 0; Repeat < 3; ++Repeat) {
        std::fill(Together[I].begin(), Together[I].end(), 0);
        TCanvas C;
        MakeCanvas(C, Together[I].data(), W, H, W * 4);
        Draw(&C, 100 + uint32_t(I), Pic.Picture);
      }
    });
  }
  for (std::thread& T : Threads) T.join();
  for (int I = 0; I < THREADS; ++I) EXPECT_TRUE(Alone[I] == Together[I]) << "canvas " << I;
}

// The largest canvas, 32,768 x 32,768 (4 GiB): offsets past 2^32 bytes are reached without
// overflow. Only pages that are drawn on are touched.
TEST_F(Canvas, LargestCanvasIsWalkedWithoutOverflow) {
  if (sizeof(void*) < 8) GTEST_SKIP() << "a 32-bit process cannot hold 4 GiB";
  constexpr int64_t Side = MAX_CANVAS_SIDE, Stride = Side * 4;
  std::unique_ptr<uint8_t[]> Mem(new (std::nothrow) uint8_t[size_t(Stride * Side)]);
  if (!Mem) GTEST_SKIP() << "4 GiB not available";
  TCanvas C;
  ASSERT_TRUE(MakeCanvas(C, Mem.get(), int32_t(Side), int32_t(Side), Stride));
  SetColor(C, 1, 2, 3, 0);
  Line(C, 0, 0, int32_t(Side - 1), int32_t(Side - 1));
  Pixel(C, int32_t(Side - 1), int32_t(Side - 1));
  FillRectangle(C, int32_t(Side - 3), int32_t(Side - 2), int32_t(Side + 5), int32_t(Side + 5));
  const uint8_t* Last = Mem.get() + (Side - 1) * Stride + (Side - 1) * 4;
  EXPECT_EQ(Last[0], 3);
  EXPECT_EQ(Last[2], 1);
  const uint8_t* Mid = Mem.get() + (Side / 2) * Stride + (Side / 2) * 4;
  EXPECT_EQ(Mid[1], 2);
}

}  // namespace
