// The presentation's frames against the reference hash lists in tests/golden/: the whole
// headless run and each scene alone, frame by frame. A difference names the first frame that
// differs with its scene and step, and writes that frame as a PNG beside the test.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/common/frame_hash.h"
#include "tools/common/png_write.h"
#include "tools/record/playback.h"

namespace {

using tools::THashLine;

std::vector<THashLine> Reference(const std::string& Name) {
  std::vector<THashLine> Lines;
  std::string Error;
  EXPECT_TRUE(tools::ReadHashList(std::string(LUMORA_SOURCE_DIR) + "/tests/golden/" + Name +
                                      ".hashes",
                                  Lines, Error))
      << Error;
  return Lines;
}

// Plays Scene (null: everything) and checks every frame against the list Name.
void ExpectGolden(const showcase::TScene* Scene, const std::string& Name) {
  const std::vector<THashLine> Expected = Reference(Name);
  ASSERT_FALSE(Expected.empty());
  const record::TSchedule Schedule = record::PlaySchedule(Scene, 50);
  std::vector<THashLine> Actual;
  bool Written = false;
  record::TPlayback Playback;
  Playback.Scene = Scene;
  Playback.OnFrame = [&](const uint8_t* Frame, uint64_t Index, uint64_t) {
    const THashLine L = record::ScheduledHashLine(Schedule, Index, Frame);
    // The first differing frame is kept for a look.
    if (!Written && Index < Expected.size() && L.Hash != Expected[Index].Hash) {
      std::string Error;
      tools::WritePng("golden-mismatch-" + Name + ".png", Frame, lumora::SCREEN_WIDTH,
                      lumora::SCREEN_HEIGHT, lumora::ROW_BYTES, Error);
      Written = true;
    }
    Actual.push_back(L);
    return true;
  };
  record::Play(Playback);
  const std::string Difference = tools::CompareHashLists(Expected, Actual);
  EXPECT_EQ(Difference, "") << Name << (Written ? " (first differing frame written to golden-mismatch-" + Name + ".png)" : "");
}

TEST(Golden, WholePresentationFrameByFrame) { ExpectGolden(nullptr, "showcase"); }

TEST(Golden, EachSceneAloneFrameByFrame) {
  for (const showcase::TSequenceItem& Item : showcase::Sequence)
    ExpectGolden(Item.Scene, Item.Scene->Name);
}

// The per-frame driver (as a browser's animation callback drives it) on the headless
// platform presents the same frames as the blocking presentation.
TEST(Golden, PerFrameDriverPresentsTheSameFrames) {
  const std::vector<THashLine> Expected = Reference("showcase");
  std::vector<std::string> Hashes;
  lumora::THeadlessOptions Options;
  Options.FrameSink = [&](const uint8_t* Frame, uint64_t) {
    Hashes.push_back(tools::FrameHash(Frame, lumora::SCREEN_BYTES));
  };
  lumora::UseHeadlessPlatform(Options);
  showcase::OpenShowcase();
  showcase::TPlayer Player;
  showcase::TPlayerFrame Frame{};
  while (showcase::NextFrame(Player, lumora::GetTickCount(), Frame)) {
    showcase::DrawPlayerFrame(Frame);
    lumora::Flip();
    if (Frame.Scene == nullptr) lumora::Sleep(showcase::FADE_PAUSE_MS);
  }
  showcase::CloseShowcase();
  lumora::UseHeadlessPlatform();
  ASSERT_EQ(Hashes.size(), Expected.size());
  for (size_t I = 0; I < Hashes.size(); ++I)
    ASSERT_EQ(Hashes[I], Expected[I].Hash) << "frame " << I << " (" << Expected[I].Part << ", step "
                                           << Expected[I].Step << ")";
}

TEST(Golden, ComparisonNamesTheFirstDifferingFrame) {
  std::vector<THashLine> A = {{0, "start", 0, std::string(32, '0')},
                              {1, "introduction", 0, std::string(32, '1')},
                              {2, "introduction", 3, std::string(32, '2')}};
  std::vector<THashLine> B = A;
  EXPECT_EQ(tools::CompareHashLists(A, B), "");
  B[2].Hash[5] = 'f';
  EXPECT_NE(tools::CompareHashLists(A, B).find("frame 2 (introduction, step 3)"), std::string::npos);
  B = A;
  B.pop_back();
  EXPECT_NE(tools::CompareHashLists(A, B).find("presented 2 frames"), std::string::npos);
}

}  // namespace
