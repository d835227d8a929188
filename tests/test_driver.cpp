// The presentation driver: the shared scene frame loop on the virtual clock, Escape
// polling and the main sequence's shut-down.
#include <gtest/gtest.h>

#include <vector>

#include "ShowCase/showcase.h"
#include "lumora/lumora.h"

using namespace lumora;

namespace {

std::vector<int32_t> DrawnSteps;
void RecordStep(int32_t Step) {
  ClearVirtualScreen();
  DrawnSteps.push_back(Step);
}
const showcase::TScene TestScene{"test", 10, 301, RecordStep};  // ends once Step > 300

// Runs the test scene with FrameThirds of virtual time per frame; returns the end time.
double RunTestScene(uint32_t FrameThirds) {
  THeadlessOptions O;
  O.FrameThirds = FrameThirds;
  UseHeadlessPlatform(O);
  InitLumora("t");
  DrawnSteps.clear();
  showcase::Terminate = false;
  const double Start = HeadlessClockMs();
  showcase::RunScene(TestScene);
  const double End = HeadlessClockMs() - Start;
  CloseLumora();
  return End;
}

TEST(FrameLoop, StepsFollowTheClockAtAnyFrameRate) {
  const double Fast = RunTestScene(50);  // 16.67 ms per frame
  const std::vector<int32_t> FastSteps = DrawnSteps;
  const double Slow = RunTestScene(105);  // 35 ms per frame
  ASSERT_GE(DrawnSteps.size(), 2u);
  EXPECT_EQ(DrawnSteps.front(), 0);  // the first frame is step 0
  for (size_t I = 2; I < DrawnSteps.size(); ++I) {
    const int32_t Advance = DrawnSteps[I] - DrawnSteps[I - 1];
    EXPECT_TRUE(Advance == 3 || Advance == 4) << "frame " << I << " advanced " << Advance;
  }
  EXPECT_GT(DrawnSteps.back(), 300);
  EXPECT_GT(FastSteps.back(), 300);
  // Both end once 3010 ms of steps have elapsed, within one frame of each other.
  EXPECT_GE(Fast, 3010.0L);
  EXPECT_GE(Slow, 3010.0L);
  EXPECT_LT(Fast, 3010.0L + 2 * 16.67L);
  EXPECT_LT(Slow, 3010.0L + 2 * 35.0L);
  // No elapsed time is lost: the step count matches the clock at every frame.
  EXPECT_EQ(FastSteps[6], int32_t(6 * 1000 / 60 / 10));
}

TEST(FrameLoop, ATerminatedRunDrawsNothing) {
  UseHeadlessPlatform();
  InitLumora("t");
  DrawnSteps.clear();
  showcase::Terminate = true;
  const uint64_t Frames = HeadlessFrameCount();
  showcase::RunScene(TestScene);
  showcase::Fade();
  EXPECT_TRUE(DrawnSteps.empty());
  EXPECT_EQ(HeadlessFrameCount(), Frames);
  showcase::Terminate = false;
  CloseLumora();
}

TEST(FrameLoop, AnEscapeTappedBetweenPollsIsSeen) {
  THeadlessOptions O;
  O.EscapeTapAtMs = 100;  // pressed and released between two frames
  UseHeadlessPlatform(O);
  InitLumora("t");
  DrawnSteps.clear();
  showcase::Terminate = false;
  showcase::RunScene(TestScene);
  EXPECT_TRUE(showcase::Terminate);
  ASSERT_FALSE(DrawnSteps.empty());
  EXPECT_LE(DrawnSteps.back(), 10);
  EXPECT_GE(HeadlessClockMs(), 100.0);
  EXPECT_LT(HeadlessClockMs(), 100.0 + 16.7);
  showcase::Terminate = false;
  CloseLumora();
}

TEST(MainSequence, EscapeHeldFromTheStartEndsAfterTheFirstFrameAndReleasesEverything) {
  THeadlessOptions O;
  O.EscapeDownAtFrame = 0;
  UseHeadlessPlatform(O);
  EXPECT_EQ(showcase::RunShowcase(), 0);
  // The start-up frame and the introduction's first frame; every later scene and fade
  // returned at once.
  EXPECT_EQ(HeadlessFrameCount(), 2u);
  EXPECT_TRUE(showcase::Terminate);
  EXPECT_EQ(VirtualScreen, nullptr);  // CloseLumora ran
  EXPECT_TRUE(LoadedFonts.empty());   // FreeFonts ran
  EXPECT_TRUE(showcase::Pictures.empty());
  showcase::Terminate = false;
}

// The frame loop's clock: whole steps of Takt, the remainder carried, a wrapping counter.
TEST(FrameLoopClock, AdvancesByWholeStepsAndCarriesTheRest) {
  struct Case {
    int32_t LastTime;
    uint32_t Now;
    int32_t Takt, Step;
    int32_t NewStep, Carry;
  };
  const Case Cases[] = {{1000, 1000, 10, 0, 0, 0},     {1000, 1035, 10, 7, 10, 5},
                        {1000, 1049, 50, 3, 3, 49},    {1000, 1050, 50, 3, 4, 0},
                        {-10, 25, 8, 0, 4, 3},         {int32_t(0xFFFFFFF0u), 0x00000010u, 10, 100, 103, 2}};
  for (const Case& C : Cases) {
    const showcase::TStepAdvance A = showcase::AdvanceStep(C.LastTime, C.Now, C.Takt, C.Step);
    EXPECT_EQ(A.Step, C.NewStep) << C.LastTime << " -> " << C.Now;
    EXPECT_EQ(A.Carry, C.Carry) << C.LastTime << " -> " << C.Now;
  }
}

}  // namespace
