// Display core: start-up state, viewport clamping, the pixel and its blend, presentation,
// the window procedure and the memory query.
#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "lumora/lumora.h"
#include "support/headless.h"

using namespace lumora;
using testsupport::Bytes;
using testsupport::HeadlessTest;

namespace {

using DisplayTest = HeadlessTest;

TEST(DisplayLifecycle, DrawingOutsideTheOpenDisplayTouchesNoMemory) {
  UseHeadlessPlatform();
  ASSERT_EQ(VirtualScreen, nullptr);
  // Viewport (0, 0, 0, 0) at program start admits (0, 0): it must still write nothing.
  Pixel(0, 0);
  ClearVirtualScreen();
  Flip();
  InitLumora("t");
  CloseLumora();
  EXPECT_EQ(VirtualScreen, nullptr);
  SetColor(1, 2, 3, 0);
  Pixel(0, 0);
  Pixel(5, 5);
  ClearVirtualScreen();
  Flip();
}

TEST(DisplayLifecycle, InitOpensABlackScreenWithTheFullViewportAndPresentsIt) {
  std::vector<uint8_t> Presented;
  THeadlessOptions O;
  O.FrameSink = [&](const uint8_t* F, uint64_t) { Presented.assign(F, F + SCREEN_BYTES); };
  UseHeadlessPlatform(O);
  SetColor(0, 0, 0, 0);
  InitLumora("Title");
  EXPECT_STREQ(ApplicationID, "Title");
  EXPECT_NE(hWindow, 0u);
  EXPECT_NE(hHDC, 0u);
  EXPECT_FALSE(WindowShown()) << "the headless platform shows nothing";
  EXPECT_EQ(HeadlessFrameCount(), 1u);
  EXPECT_EQ(Presented, std::vector<uint8_t>(SCREEN_BYTES, 0));
  EXPECT_EQ(ViewPort.X1, 0);
  EXPECT_EQ(ViewPort.Y1, 0);
  EXPECT_EQ(ViewPort.X2, 1023);
  EXPECT_EQ(ViewPort.Y2, 767);
  for (uint32_t I = 0; I < SCREEN_BYTES; ++I) ASSERT_EQ(VirtualScreen[I], 0) << I;
  CloseLumora();
}

// X2 and Y2 are pulled down to the screen, X1 and Y1 up to 0; an empty viewport stays
// empty and its corners are not swapped.
TEST_F(DisplayTest, SetViewPortClampsToTheScreenAndNothingElse) {
  SetViewPort(-5, -5, 2000, 2000);
  EXPECT_EQ(ViewPort.X1, 0);
  EXPECT_EQ(ViewPort.Y1, 0);
  EXPECT_EQ(ViewPort.X2, 1023);
  EXPECT_EQ(ViewPort.Y2, 767);
  SetViewPort(100, 100, 50, 50);  // empty, not swapped
  EXPECT_EQ(ViewPort.X1, 100);
  EXPECT_EQ(ViewPort.X2, 50);
  SetColor(255, 255, 255, 0);
  Pixel(75, 75);
  Pixel(100, 100);
  Pixel(50, 50);
  SetViewPort(2000, 0, 1023, 767);
  EXPECT_EQ(ViewPort.X1, 2000);
  Pixel(1023, 0);
  Pixel(2000, 0);
  for (uint32_t I = 0; I < SCREEN_BYTES; ++I) ASSERT_EQ(VirtualScreen[I], 0) << I;
}

TEST_F(DisplayTest, PixelClipsInclusivelyAndWritesBlueGreenRed) {
  SetColor(10, 20, 30, 0);
  Pixel(1023, 767);
  EXPECT_EQ(VirtualScreen[3145724], 30);
  EXPECT_EQ(VirtualScreen[3145725], 20);
  EXPECT_EQ(VirtualScreen[3145726], 10);
  EXPECT_EQ(VirtualScreen[3145727], 0);
  ClearVirtualScreen();
  Pixel(1024, 0);
  Pixel(-1, 0);
  Pixel(0, 768);
  Pixel(0, -1);
  for (uint32_t I = 0; I < SCREEN_BYTES; ++I) ASSERT_EQ(VirtualScreen[I], 0) << I;
  Pixel(0, 0);
  EXPECT_EQ(Bytes(0, 0), (std::array<uint8_t, 4>{30, 20, 10, 0}));
  SetViewPort(10, 20, 30, 40);
  ClearVirtualScreen();
  for (int32_t Y = 0; Y < 60; ++Y)
    for (int32_t X = 0; X < 60; ++X) Pixel(X, Y);
  for (int32_t Y = 0; Y < 60; ++Y)
    for (int32_t X = 0; X < 60; ++X) {
      const bool Inside = X >= 10 && X <= 30 && Y >= 20 && Y <= 40;
      ASSERT_EQ(Bytes(X, Y)[0], Inside ? 30 : 0) << X << "," << Y;
    }
}

TEST_F(DisplayTest, TranslucentPixelBlendsEveryCallAndKeepsTheFourthByte) {
  SetColor(255, 255, 255, 128);
  Pixel(0, 0);
  EXPECT_EQ(Bytes(0, 0), (std::array<uint8_t, 4>{127, 127, 127, 0}));
  uint8_t* P = testsupport::PixelAt(1, 0);
  P[0] = P[1] = P[2] = 200;
  P[3] = 77;
  Pixel(1, 0);
  EXPECT_EQ(Bytes(1, 0), (std::array<uint8_t, 4>{227, 227, 227, 77}));
  // A second plot blends again from the first result.
  Pixel(0, 0);
  const uint8_t Twice = uint8_t((127 * 255 + 128 * 127 + 127) / 255);
  EXPECT_EQ(Bytes(0, 0)[0], Twice);
}

TEST_F(DisplayTest, TransparencyTwoFiftyFiveChangesNothing) {
  testsupport::FillPattern(7);
  const std::vector<uint8_t> Before = testsupport::Snapshot();
  SetColor(255, 0, 128, 255);
  for (int32_t Y = 0; Y < 768; Y += 3)
    for (int32_t X = 0; X < 1024; X += 5) Pixel(X, Y);
  EXPECT_EQ(testsupport::Snapshot(), Before);
}

TEST_F(DisplayTest, ClearResetsEveryByteAndFlipPresentsWithoutChangingTheBuffer) {
  std::vector<std::vector<uint8_t>> Frames;
  THeadlessOptions O;
  O.FrameSink = [&](const uint8_t* F, uint64_t) { Frames.emplace_back(F, F + SCREEN_BYTES); };
  UseHeadlessPlatform(O);
  InitLumora("t");
  testsupport::FillPattern(3);
  const std::vector<uint8_t> Before = testsupport::Snapshot();
  Flip();
  Flip();
  ASSERT_EQ(Frames.size(), 3u);
  EXPECT_EQ(Frames[1], Before);
  EXPECT_EQ(Frames[2], Before);
  EXPECT_EQ(testsupport::Snapshot(), Before);
  ClearVirtualScreen();
  EXPECT_EQ(testsupport::Snapshot(), std::vector<uint8_t>(SCREEN_BYTES, 0));
}

TEST_F(DisplayTest, WindowProcEndsOnKeyDownOrDestroyOnly) {
  ThisIsTheEnd = false;
  EXPECT_EQ(WindowProc(hWindow, 0x0005 /* a resize */, 0, 0), 0);
  EXPECT_FALSE(ThisIsTheEnd);
  EXPECT_NE(hHDC, 0u);
  EXPECT_EQ(WindowProc(hWindow, WM_KEYDOWN, 'A', 0), 0);
  EXPECT_TRUE(ThisIsTheEnd);
  EXPECT_EQ(hHDC, 0u);
  EXPECT_EQ(WindowProc(hWindow, WM_DESTROY, 0, 0), 0);
  EXPECT_TRUE(ThisIsTheEnd);
  EXPECT_EQ(hHDC, 0u);
  ThisIsTheEnd = false;
}

TEST(DisplayMemory, AvailableMemoryIsReportedAndSaturates) {
  THeadlessOptions O;
  O.AvailMemory = 123456;
  UseHeadlessPlatform(O);
  EXPECT_EQ(GetAvailRAMMemory(), 123456);
  O.AvailMemory = 2147483647;
  UseHeadlessPlatform(O);
  EXPECT_EQ(GetAvailRAMMemory(), 2147483647);
  O.AvailMemory = int64_t(5) << 30;
  UseHeadlessPlatform(O);
  EXPECT_EQ(GetAvailRAMMemory(), std::numeric_limits<int32_t>::max());
  UseHeadlessPlatform();
  EXPECT_GT(GetAvailRAMMemory(), 0);  // the machine's own figure, never negative
}

TEST(HeadlessPlatform, ClockAdvancesByExactFramesAndSleeps) {
  UseHeadlessPlatform();
  InitLumora("t");  // one frame presented
  for (int I = 0; I < 59; ++I) Flip();
  EXPECT_EQ(HeadlessFrameCount(), 60u);
  EXPECT_EQ(GetTickCount(), 1000u);
  Sleep(15);
  EXPECT_EQ(GetTickCount(), 1015u);
  Flip();
  EXPECT_EQ(GetTickCount(), 1031u);  // 1031.67 ms, whole milliseconds
  CloseLumora();
}

TEST(HeadlessPlatform, EscapeStatesFollowTheScript) {
  THeadlessOptions O;
  O.EscapeDownAtFrame = 3;
  UseHeadlessPlatform(O);
  InitLumora("t");
  EXPECT_EQ(GetAsyncKeyState(VK_ESCAPE), 0);
  Flip();
  Flip();
  EXPECT_NE(GetAsyncKeyState(VK_ESCAPE), 0);
  EXPECT_NE(GetAsyncKeyState(VK_ESCAPE), 0);  // held: still down
  EXPECT_EQ(GetAsyncKeyState('A'), 0);
  CloseLumora();

  O = THeadlessOptions{};
  O.EscapeTapAtMs = 20;
  UseHeadlessPlatform(O);
  InitLumora("t");                              // 16.7 ms
  EXPECT_EQ(GetAsyncKeyState(VK_ESCAPE), 0);
  Flip();                                       // 33.3 ms: tapped at 20, released
  EXPECT_EQ(GetAsyncKeyState(VK_ESCAPE), 1);    // the press since the last query
  EXPECT_EQ(GetAsyncKeyState(VK_ESCAPE), 0);    // reported once
  CloseLumora();
}

}  // namespace
