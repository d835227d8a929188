// Tests of the whole presentation on the headless platform: scene order and lengths on the
// virtual clock, repeatable frames, Escape at any frame, and the real assets in place.
// Relies on the showcase, the built Fonts/ and Pictures/ in the working directory.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "ShowCase/showcase.h"
#include "support/headless.h"

namespace {

using namespace lumora;

// FNV-1a over the frame's 64-bit words in four interleaved lanes (so the multiplies do
// not wait on each other), folded together: a cheap fingerprint of a whole frame.
uint64_t FrameHash(const uint8_t* Frame) {
  constexpr uint64_t PRIME = 1099511628211ull;
  uint64_t H[4] = {14695981039346656037ull, 1, 2, 3};
  for (uint32_t I = 0; I < SCREEN_BYTES; I += 32) {
    uint64_t W[4];
    std::memcpy(W, Frame + I, 32);
    for (int L = 0; L < 4; ++L) H[L] = (H[L] ^ W[L]) * PRIME;
  }
  uint64_t R = H[0];
  for (int L = 1; L < 4; ++L) R = (R ^ H[L]) * PRIME;
  return R;
}

struct TRun {
  std::vector<uint64_t> Hashes;
  std::vector<double> Times;  // virtual clock when each frame was presented
  double EndMs = 0;
};

TRun Play(THeadlessOptions Options) {
  TRun R;
  Options.FrameSink = [&R](const uint8_t* Frame, uint64_t) {
    R.Hashes.push_back(FrameHash(Frame));
    R.Times.push_back(HeadlessClockMs());
  };
  UseHeadlessPlatform(Options);
  EXPECT_EQ(showcase::RunShowcase(), 0);
  R.EndMs = HeadlessClockMs();
  return R;
}

void ExpectReleased() {
  EXPECT_EQ(VirtualScreen, nullptr);
  EXPECT_TRUE(LoadedFonts.empty());
  EXPECT_TRUE(showcase::Pictures.empty());
}

// Runs of frames: a fade pass sleeps 15 ms after its frame, so a frame followed by more
// than one frame period of virtual time belongs to a fade.
struct TSegment {
  bool Fade;
  size_t Frames;
};
std::vector<TSegment> Segments(const TRun& R) {
  std::vector<TSegment> S;
  for (size_t I = 0; I < R.Times.size(); ++I) {
    const double Next = I + 1 < R.Times.size() ? R.Times[I + 1] : R.EndMs;
    const bool Fade = Next - R.Times[I] > 25.0;
    if (S.empty() || S.back().Fade != Fade) S.push_back({Fade, 0});
    ++S.back().Frames;
  }
  return S;
}

// Frames a scene shows at 60 frames per virtual second: the first at step 0, the last the
// first whose step reaches the end.
double SceneFrames(const showcase::TScene& Scene) {
  return std::ceil(double(Scene.EndAt) * Scene.Takt / (1000.0 / 60.0)) + 1;
}

TEST(ShowcaseRun, PlaysTheScenesInOrderAndRepeatsFrameForFrame) {
  const TRun A = Play({});
  ExpectReleased();
  EXPECT_FALSE(showcase::Terminate);

  const std::vector<TSegment> S = Segments(A);
  ASSERT_EQ(S.size(), 8u) << "four scene runs, each followed by a fade";
  for (size_t I = 0; I < 8; ++I) EXPECT_EQ(S[I].Fade, I % 2 == 1) << "segment " << I;
  for (size_t I = 1; I < 8; I += 2) EXPECT_EQ(S[I].Frames, 25u) << "fade " << I / 2 + 1;
  using showcase::FontsScene, showcase::ImagesScene, showcase::IntroductionScene,
      showcase::OutroScene, showcase::PrimitivesScene;
  // InitLumora's black frame comes first; fonts and images follow without a fade.
  EXPECT_NEAR(double(S[0].Frames), 1 + SceneFrames(IntroductionScene), 1.0);
  EXPECT_NEAR(double(S[2].Frames), SceneFrames(PrimitivesScene), 1.0);
  EXPECT_NEAR(double(S[4].Frames), SceneFrames(FontsScene) + SceneFrames(ImagesScene), 2.0);
  EXPECT_NEAR(double(S[6].Frames), SceneFrames(OutroScene), 1.0);
  EXPECT_EQ(IntroductionScene.EndAt, 3001);
  EXPECT_EQ(PrimitivesScene.EndAt, 400);
  EXPECT_EQ(FontsScene.EndAt, 1001);
  EXPECT_EQ(ImagesScene.EndAt, 2851);
  EXPECT_EQ(OutroScene.EndAt, 501);
  EXPECT_EQ(A.Hashes.front(), A.Hashes[1]) << "the introduction starts black";

  const TRun B = Play({});
  ASSERT_EQ(A.Hashes.size(), B.Hashes.size());
  for (size_t I = 0; I < A.Hashes.size(); ++I)
    ASSERT_EQ(A.Hashes[I], B.Hashes[I]) << "frame " << I << " differs between two runs";
}

TEST(ShowcaseRun, EscapeAtARandomFrameEndsThatFrameAndReleasesEverything) {
  const uint32_t Seed = std::random_device{}();
  std::mt19937 Random(Seed);
  const int64_t K = std::uniform_int_distribution<int64_t>(3, 5600)(Random);
  SCOPED_TRACE("Escape goes down after frame " + std::to_string(K) + " (seed " +
               std::to_string(Seed) + ")");
  THeadlessOptions O;
  O.EscapeDownAtFrame = K;
  const TRun R = Play(O);
  // The poll after the frame that brought the count to K sees Escape; nothing follows.
  EXPECT_EQ(R.Hashes.size(), size_t(K));
  EXPECT_TRUE(showcase::Terminate);
  ExpectReleased();
}

TEST(ShowcaseRun, EscapeHeldFromTheStartShowsOneSceneFrame) {
  THeadlessOptions O;
  O.EscapeDownAtFrame = 0;
  const TRun R = Play(O);
  EXPECT_EQ(R.Hashes.size(), 2u) << "InitLumora's frame and the introduction's first";
  EXPECT_TRUE(showcase::Terminate);
  ExpectReleased();
}

TEST(ShowcaseRun, EscapeTappedBetweenPollsIsSeen) {
  THeadlessOptions O;
  O.EscapeTapAtMs = 1000;
  const TRun R = Play(O);
  EXPECT_NEAR(double(R.Times.back()), 1000.0, 1000.0 / 60 + 1e-9);
  EXPECT_TRUE(showcase::Terminate);
  ExpectReleased();
}

// The real catalogue, where the build placed it: centred texts sit where their measured
// width puts them.
class RealAssets : public testsupport::HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    showcase::LoadFonts();
    showcase::LoadPictures();
    showcase::Terminate = false;
  }
  void TearDown() override {
    showcase::FreePictures();
    showcase::FreeFonts();
    HeadlessTest::TearDown();
  }
};

// Columns and rows that hold a non-black pixel inside the band of rows Y0..Y1.
struct TBox {
  int32_t X1 = 1 << 30, X2 = -1, Y1 = 1 << 30, Y2 = -1;
};
TBox InkBox(int32_t Y0, int32_t Y1) {
  TBox B;
  for (int32_t Y = Y0; Y <= Y1; ++Y)
    for (int32_t X = 0; X < SCREEN_WIDTH; ++X) {
      const uint8_t* P = testsupport::PixelAt(X, Y);
      if (P[0] | P[1] | P[2]) {
        B.X1 = std::min(B.X1, X);
        B.X2 = std::max(B.X2, X);
        B.Y1 = std::min(B.Y1, Y);
        B.Y2 = std::max(B.Y2, Y);
      }
    }
  return B;
}

TEST_F(RealAssets, IntroductionTitleAndOutroLineAreCentred) {
  const TFont& Title = showcase::Font(showcase::FONT_ARCHITEXT_64);
  const TFont& Outro = showcase::Font(showcase::FONT_SEGOE_SCRIPT_20);
  if (!Title.Loaded || !Outro.Loaded) GTEST_SKIP() << "Fonts/ lacks the fonts 0 and 9";
  showcase::DrawIntroductionFrame(60);  // "Lumora" complete; the hint below row 700
  const int32_t W = int32_t(GetTextLength(Title, "Lumora"));
  const TBox B = InkBox(0, 700);
  ASSERT_GE(B.X2, 0) << "the title drew nothing";
  EXPECT_GE(B.X1, (1024 - W) / 2);
  EXPECT_LE(B.X2, (1024 - W) / 2 + W - 1);
  EXPECT_GE(B.Y1, 100);
  EXPECT_LE(B.Y2, 100 + Title.PixHeight - 1);
  // Balanced within a glyph's side bearing.
  EXPECT_NEAR((B.X1 + B.X2) / 2.0, 511.5, W / 6.0);

  showcase::DrawOutroFrame(500);
  const int32_t OW = int32_t(GetTextLength(Outro, showcase::OutroText));
  const TBox O = InkBox(0, SCREEN_HEIGHT - 1);
  ASSERT_GE(O.X2, 0) << "the outro drew nothing";
  EXPECT_GE(O.X1, (1024 - OW) / 2);
  EXPECT_LE(O.X2, (1024 - OW) / 2 + OW - 1);
  EXPECT_GE(O.Y1, 370);
}

TEST_F(RealAssets, TransparentPictureRestsAtItsPlace) {
  const TPicture& P = showcase::Pictures[8];
  if (!P.Loaded) GTEST_SKIP() << "Pictures/ lacks the airplane";
  // Only the airplane on a black screen: the rest of the catalogue not loaded.
  std::vector<TPicture> Kept = showcase::Pictures;
  for (int32_t I = 0; I < 8; ++I) showcase::Pictures[size_t(I)].Loaded = false;
  showcase::DrawImagesFrame(2114 + 570);
  for (int32_t I = 0; I < 8; ++I) showcase::Pictures[size_t(I)] = Kept[size_t(I)];
  const int32_t Bottom = std::min<int32_t>(271 + int32_t(P.ImageHeight) - 1, 364);
  const TBox B = InkBox(271 - 1, Bottom);  // above the title band
  ASSERT_GE(B.X2, 0) << "the airplane drew nothing";
  EXPECT_GE(B.X1, 4);
  EXPECT_GE(B.Y1, 271);
  EXPECT_LE(B.X2, 4 + int32_t(P.ImageWidth) - 1);
}

}  // namespace
