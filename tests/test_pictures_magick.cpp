// Differential tests of LoadBMPPicture against ImageMagick: bitmaps it writes (BMP3 at 8 and
// 24 bits, its default 124-byte header) and the showcase's pictures decode to the pixels it
// reads from them. Skipped where ImageMagick is not installed.
#include <cstdio>

#include "support/bmp_builder.h"
#include "support/headless.h"

using namespace lumora;

namespace {

std::vector<uint8_t> Shell(const std::string& Command) {
  std::vector<uint8_t> Out;
  std::FILE* P = popen(Command.c_str(), "r");
  if (P == nullptr) return Out;
  uint8_t Buf[65536];
  for (size_t N; (N = std::fread(Buf, 1, sizeof Buf, P)) > 0;) Out.insert(Out.end(), Buf, Buf + N);
  pclose(P);
  return Out;
}

bool HaveImageMagick() {
  const std::vector<uint8_t> V = Shell("convert -version 2>/dev/null");
  return std::string(V.begin(), V.end()).find("ImageMagick") != std::string::npos;
}

struct Expected {
  std::string Path;
  uint32_t W, H;
};

// Loads each file and compares every pixel with ImageMagick's reading of it (one call of
// convert decodes them all, one after another).
void ExpectSameAsImageMagick(const std::vector<Expected>& Files) {
  std::string Command = "convert";
  for (const Expected& F : Files) Command += " '" + F.Path + "'";
  const std::vector<uint8_t> Rgb = Shell(Command + " -depth 8 rgb:-");
  size_t At = 0;
  for (const Expected& F : Files) {
    TPicture P;
    uint8_t Code = 255;
    LoadBMPPicture(F.Path, P, Code);
    ASSERT_EQ(Code, BMP_OK) << F.Path;
    ASSERT_EQ(P.ImageWidth * 10000 + P.ImageHeight, F.W * 10000 + F.H) << F.Path;
    ASSERT_GE(Rgb.size(), At + size_t(F.W) * F.H * 3) << F.Path;
    for (size_t I = 0; I < size_t(F.W) * F.H; ++I, At += 3) {
      const uint8_t* Q = P.PictureAdr + I * 4;
      ASSERT_TRUE(Q[2] == Rgb[At] && Q[1] == Rgb[At + 1] && Q[0] == Rgb[At + 2])
          << F.Path << " pixel " << I % F.W << "," << I / F.W;
    }
    FreeBMPPicture(P);
  }
  EXPECT_EQ(At, Rgb.size());
}

uint32_t HeaderU32(const std::string& Path, long At) {
  std::FILE* F = std::fopen(Path.c_str(), "rb");
  uint8_t B[4] = {};
  if (F == nullptr) {
    ADD_FAILURE() << "cannot open " << Path;
    return 0;
  }
  std::fseek(F, At, SEEK_SET);
  EXPECT_EQ(std::fread(B, 1, 4, F), 4u);
  std::fclose(F);
  return bytes::Read32(B);
}

class PictureMagick : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HaveImageMagick()) GTEST_SKIP() << "ImageMagick's convert is not installed";
    UseHeadlessPlatform();
  }
  testsupport::TTempDir Dir;
};

}  // namespace

TEST_F(PictureMagick, BitmapsWrittenByImageMagickDecodeToItsPixels) {
  struct Form { const char* Options; uint32_t Bits, InfoSize; };
  const Form Forms[] = {
      {"-type TrueColor -compress None BMP3:", 24, 40},
      {"-dither None -colors 200 -type Palette -compress None BMP3:", 8, 40},
      {"-dither None -colors 40 -type Palette -compress None BMP3:", 8, 40},
      {"-type TrueColor BMP:", 24, 124},
      {"-dither None -colors 60 -type Palette -compress None BMP:", 8, 124},
  };
  for (uint32_t W : {1u, 3u, 6u, 37u}) {
    const uint32_t H = W % 3 + 20;  // more than 16 colours, or 8-bit files are written with 4 bits
    // A source picture of many colours, as a binary PPM.
    std::string Ppm = "P6\n" + std::to_string(W) + " " + std::to_string(H) + "\n255\n";
    for (uint32_t I = 0; I < W * H; ++I)
      for (uint32_t C = 0; C < 3; ++C) Ppm += char((I * (37 + 50 * C) + C * 91) % 256);
    testsupport::WriteBytes(Dir / "src.ppm", std::vector<uint8_t>(Ppm.begin(), Ppm.end()));
    std::vector<Expected> Files;
    for (const Form& F : Forms) {
      const std::string Out = Dir / ("out" + std::to_string(Files.size()) + ".bmp");
      Shell("convert '" + (Dir / "src.ppm") + "' " + F.Options + "'" + Out + "' 2>&1");
      ASSERT_EQ(HeaderU32(Out, bmp::OFS_INFO_SIZE), F.InfoSize) << F.Options;
      ASSERT_EQ(HeaderU32(Out, bmp::OFS_BITS_PER_PIXEL) & 0xFFFF, F.Bits) << F.Options << " width " << W;
      Files.push_back({Out, W, H});
    }
    ExpectSameAsImageMagick(Files);
  }
  // Without -compress None an 8-bit BMP3 is run-length encoded, which is refused.
  Shell("convert '" + (Dir / "src.ppm") + "' -dither None -colors 100 -type Palette BMP3:'" + (Dir / "rle.bmp") + "'");
  TPicture P;
  uint8_t Code = 0;
  LoadBMPPicture(Dir / "rle.bmp", P, Code);
  EXPECT_EQ(Code, BMP_COMPRESSED);
}

TEST_F(PictureMagick, ShowcasePicturesLoadAsImageMagickReadsThem) {
  struct Asset { const char* Name; uint32_t W, H, Bits; };
  const Asset Assets[] = {
      {"bear", 400, 300, 24},          {"Flowers__and__Butterfly", 641, 426, 24},
      {"forest-nature-wallpaper", 480, 300, 24}, {"Lotus", 479, 359, 24},
      {"Spirit", 478, 318, 24},        {"StillDreaming", 463, 290, 24},
      {"detroit_skyline", 355, 298, 8}, {"bear2", 400, 300, 8}, {"airplane", 221, 110, 8},
  };
  std::vector<Expected> Files;
  for (const Asset& A : Assets) {
    const std::string Path = std::string(LUMORA_SOURCE_DIR) + "/assets/Pictures/" + A.Name + ".bmp";
    ASSERT_EQ(HeaderU32(Path, bmp::OFS_BITS_PER_PIXEL) & 0xFFFF, A.Bits) << A.Name;
    Files.push_back({Path, A.W, A.H});
  }
  ExpectSameAsImageMagick(Files);
}
