// Tests of the images scene: slideshow transparencies, the cascade, the crossing pair, the
// picture with a transparent colour, the title band, and missing pictures.
// Relies on the block font and in-memory pictures of the scene test support.
#include <cstdint>

#include "test_scene_support.h"

namespace {

using namespace scenetest;

TEST(ImagesNumbers, SlideshowTransparency) {
  EXPECT_EQ(showcase::SlideshowAlpha(1), 251);
  EXPECT_EQ(showcase::SlideshowAlpha(30), 127);  // 255 - R(127.5)
  EXPECT_EQ(showcase::SlideshowAlpha(59), 4);
  EXPECT_EQ(showcase::SlideshowAlpha(60), 0);
  EXPECT_EQ(showcase::SlideshowAlpha(160), 0);
  EXPECT_EQ(showcase::SlideshowAlpha(161), 4);
  EXPECT_EQ(showcase::SlideshowAlpha(190), 128);  // R(127.5)
  EXPECT_EQ(showcase::SlideshowAlpha(219), 251);
}

TEST(ImagesNumbers, TextFadeIn) {
  EXPECT_EQ(showcase::TextFadeInAlpha(1), 251);
  EXPECT_EQ(showcase::TextFadeInAlpha(30), 128);  // R(255 - 127.5), unlike the slideshow
  EXPECT_EQ(showcase::TextFadeInAlpha(60), 0);
  EXPECT_EQ(showcase::TextFadeInAlpha(61), 0);
}

TEST(ImagesNumbers, CascadeCopiesGrowIntoEachOther) {
  const showcase::TCascadeCopy First = showcase::CascadeCopyAt(1, 1, 400, 300);
  EXPECT_EQ(First.Alpha, 251);
  EXPECT_EQ(First.P, 1);
  EXPECT_EQ(First.Width, 1u);
  EXPECT_EQ(First.Height, 1u);
  EXPECT_EQ(showcase::CascadeCopyAt(1, 59, 400, 300).Alpha, 4);
  EXPECT_EQ(showcase::CascadeCopyAt(1, 60, 400, 300).Alpha, 0);
  EXPECT_EQ(showcase::CascadeCopyAt(2, 1, 400, 300).Alpha, 0) << "only the first copy fades in";
  for (int32_t I = 1; I <= 4; ++I) {
    SCOPED_TRACE("copy " + std::to_string(I));
    const showcase::TCascadeCopy Done = showcase::CascadeCopyAt(I, 100, 400, 300);
    EXPECT_EQ(Done.P, 60 * I);
    EXPECT_EQ(Done.Size, I / 4.0);
    EXPECT_EQ(Done.Width, uint32_t(100 * I));
    EXPECT_EQ(Done.Height, uint32_t(75 * I));
    // Each copy starts where the one before it ends, one step further on.
    const showcase::TCascadeCopy Start = showcase::CascadeCopyAt(I, 1, 400, 300);
    EXPECT_EQ(Start.P, (I - 1) * 60 + 1);
    EXPECT_EQ(Start.Width, uint32_t((I - 1) * 100 + 1));
    const showcase::TCascadeCopy Before = showcase::CascadeCopyAt(I, 99, 400, 300);
    EXPECT_EQ(Before.P, 60 * I - 1);
    EXPECT_EQ(Before.Width, uint32_t(100 * I - 1));
  }
  // A small picture makes copies of size 0 early on, which draw nothing.
  EXPECT_EQ(showcase::CascadeCopyAt(1, 1, 3, 3).Width, 0u);
  EXPECT_EQ(showcase::CascadeCopyAt(1, 100, 0, 0).Width, 0u);
}

TEST(ImagesNumbers, CrossingPair) {
  const showcase::TCrossing A = showcase::CrossingAt(1);
  EXPECT_EQ(A.Alpha, 253);
  EXPECT_EQ(A.X, -199);
  EXPECT_EQ(A.Y, 549);
  EXPECT_EQ(showcase::CrossingAt(59).Alpha, 142);
  EXPECT_EQ(showcase::CrossingAt(60).Alpha, 140);
  // 165 / 500 x 650 - 200 lies just above 14.5 in extended precision.
  EXPECT_EQ(showcase::CrossingAt(165).X, 15);
  EXPECT_EQ(showcase::CrossingAt(165).Y, 402);  // exactly 401.5: to the even neighbour
  EXPECT_EQ(showcase::CrossingAt(499).X, 449);
  const showcase::TCrossing Rest = showcase::CrossingAt(500);
  EXPECT_EQ(Rest.X, 450);
  EXPECT_EQ(Rest.Y, 100);
  EXPECT_EQ(Rest.Alpha, 140);
}

TEST(ImagesNumbers, FlightAlongTheArc) {
  const showcase::TFlight Start = showcase::FlightAt(1);
  EXPECT_EQ(Start.Angle, 0);
  EXPECT_EQ(Start.X, 800);
  EXPECT_EQ(Start.Y, 300);
  EXPECT_EQ(showcase::FlightAt(95).Angle, 29);  // 95 x 0.3 just above 28.5
  EXPECT_EQ(showcase::FlightAt(5).Angle, 2);    // 1.5 goes to the even 2
  const showcase::TFlight Top = showcase::FlightAt(300);
  EXPECT_EQ(Top.Angle, 90);
  EXPECT_EQ(Top.X, 400);
  EXPECT_EQ(Top.Y, 120);
  for (int32_t T : {570, 571, 10000}) {
    const showcase::TFlight Rest = showcase::FlightAt(T);
    EXPECT_EQ(Rest.Angle, 171);
    EXPECT_EQ(Rest.X, 4);
    EXPECT_EQ(Rest.Y, 271);
  }
}

class ImagesFrames : public SceneTest {
 protected:
  void SetUp() override {
    SceneTest::SetUp();
    SetPicture(0, SolidPicture(100, 80, {255, 0, 0}));
    SetPicture(1, SolidPicture(400, 300, {0, 200, 0}));
    SetPicture(2, SolidPicture(100, 80, {255, 255, 255}));
    SetPicture(3, SolidPicture(200, 100, {255, 128, 0}));
    SetPicture(4, SolidPicture(150, 100, {0, 0, 200}));
    SetPicture(5, SolidPicture(150, 100, {0, 100, 100}));
    SetPicture(6, SolidPicture(150, 100, {100, 0, 100}));
    SetPicture(7, SolidPicture(100, 80, {0, 0, 255}));
    // White on the left half (left out), yellow on the right.
    SetPicture(8, MakePicture(60, 40, [](uint32_t X, uint32_t) {
                 return X < 30 ? TRgb{255, 255, 255} : TRgb{255, 255, 0};
               }));
  }
};

TEST_F(ImagesFrames, StepZeroHasNoTitleBand) {
  showcase::DrawImagesFrame(0);
  EXPECT_TRUE(ScreenIsBlack());
}

TEST_F(ImagesFrames, TitleBandOverEverything) {
  SCENE_NEEDS(TextWorks(), "text");
  SCENE_NEEDS(ShapesWork(), "FillRectangle");
  const int32_t C = (1024 - BlockWidth("Lumora - bmp pictures")) / 2;
  showcase::DrawImagesFrame(1);
  EXPECT_TRUE(HasRgb(C, 370, 4, 4, 4));
  EXPECT_TRUE(HasRgb(C - 1, 370, 0, 0, 0));
  SCENE_NEEDS(PicturesWork(), "picture display");
  // Step 300: slideshow picture 3 opaque at (500, 400), partly under the band, which
  // keeps 100/255 of it.
  showcase::DrawImagesFrame(300);
  EXPECT_TRUE(HasRgb(520, 420, 100, 50, 0));
  EXPECT_TRUE(HasRgb(520, 431, 255, 128, 0));
  EXPECT_TRUE(HasRgb(C + 40 + BlockWidth("Lumora - bmp pictures") + 1, 420, 255, 128, 0));
  EXPECT_TRUE(HasRgb(C, 370, 255, 255, 255));
}

TEST_F(ImagesFrames, SlideshowFadesOnScreen) {
  SCENE_NEEDS(PicturesWork(), "picture display");
  showcase::DrawImagesFrame(60);
  EXPECT_TRUE(HasRgb(20, 20, 0, 0, 0)) << "t = 0 draws nothing";
  showcase::DrawImagesFrame(90);  // t = 30: transparency 127 over black
  EXPECT_TRUE(HasRgb(20, 20, 128, 128, 128));
  EXPECT_TRUE(HasRgb(119, 99, 128, 128, 128));
  EXPECT_TRUE(HasRgb(120, 20, 0, 0, 0));
  showcase::DrawImagesFrame(250);  // t = 190: transparency 128
  EXPECT_TRUE(HasRgb(20, 20, 127, 127, 127));
  showcase::DrawImagesFrame(280);  // t = 220: gone
  EXPECT_TRUE(HasRgb(20, 20, 0, 0, 0));
}

TEST_F(ImagesFrames, CascadeOnScreen) {
  SCENE_NEEDS(PicturesWork(), "picture display");
  showcase::DrawImagesFrame(611);  // copy 1 at t = 1: one pixel at (1, 1), transparency 251
  EXPECT_TRUE(HasRgb(1, 1, 0, 3, 0));
  EXPECT_TRUE(HasRgb(2, 1, 0, 0, 0));
  EXPECT_TRUE(HasRgb(0, 0, 0, 0, 0));
  showcase::DrawImagesFrame(1013);  // all four copies in place
  EXPECT_TRUE(HasRgb(60, 60, 0, 200, 0));
  EXPECT_TRUE(HasRgb(59, 60, 0, 0, 0));
  EXPECT_TRUE(HasRgb(60, 59, 0, 0, 0));
  EXPECT_TRUE(HasRgb(639, 539, 0, 200, 0));
  EXPECT_TRUE(HasRgb(640, 539, 0, 0, 0));
  EXPECT_TRUE(HasRgb(639, 540, 0, 0, 0));
}

TEST_F(ImagesFrames, CrossingAndTransparentColourOnScreen) {
  SCENE_NEEDS(PicturesWork(), "picture display");
  showcase::DrawImagesFrame(1314 + 165);  // picture 0 at (15, 402), transparency 140
  EXPECT_TRUE(HasRgb(15, 402, 115, 0, 0));
  EXPECT_TRUE(HasRgb(14, 402, 0, 0, 0));
  EXPECT_TRUE(HasRgb(15, 401, 0, 0, 0));
  EXPECT_TRUE(HasRgb(350 - 15, 450 - 402, 0, 0, 115));

  showcase::DrawImagesFrame(2114 + 600);  // at rest at (4, 271)
  EXPECT_TRUE(HasRgb(4 + 5, 271 + 5, 0, 0, 0)) << "white is left out";
  EXPECT_TRUE(HasRgb(4 + 50, 271 + 5, 255, 255, 0));
  EXPECT_TRUE(HasRgb(4 + 59, 271 + 39, 255, 255, 0));
  EXPECT_TRUE(HasRgb(4 + 60, 271 + 39, 0, 0, 0));
}

TEST_F(ImagesFrames, CaptionsOnTheirSteps) {
  SCENE_NEEDS(TextWorks(), "text");
  showcase::DrawImagesFrame(1014);
  EXPECT_TRUE(HasRgb(800, 100, 0, 0, 0));
  showcase::DrawImagesFrame(1015);
  EXPECT_TRUE(HasRgb(800, 100, 255, 255, 255));
  showcase::DrawImagesFrame(1314);
  EXPECT_TRUE(HasRgb(800, 100, 0, 0, 0));
  showcase::DrawImagesFrame(1815);
  EXPECT_TRUE(HasRgb(600, 660, 255, 255, 255));
  showcase::DrawImagesFrame(2114);
  EXPECT_TRUE(HasRgb(600, 660, 0, 0, 0));
  showcase::DrawImagesFrame(2395);
  EXPECT_TRUE(HasRgb(300, 650, 4, 4, 4));
  showcase::DrawImagesFrame(2850);
  EXPECT_TRUE(HasRgb(300, 650, 255, 255, 255));
}

TEST_F(ImagesFrames, MissingPicturesAndFontsDrawNothing) {
  RemoveFonts();
  showcase::Pictures.assign(showcase::PICTURE_COUNT, lumora::TPicture{});
  for (int32_t S : {0, 90, 700, 1500, 2700}) {
    showcase::DrawImagesFrame(S);
    EXPECT_TRUE(ScreenIsBlack()) << "step " << S;
  }
  showcase::Pictures.clear();  // not even a catalogue
  showcase::DrawImagesFrame(1500);
  EXPECT_TRUE(ScreenIsBlack());
}

}  // namespace
