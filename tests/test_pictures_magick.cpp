// Differential tests of LoadBMPPicture against ImageMagick: bitmaps it writes (BMP3 at 8 and
// 24 bits, its default 124-byte header, BMP2's 12-byte header), netpbm's OS/2 bitmaps and
// the showcase's pictures decode to the pixels it reads from them. Skipped where ImageMagick
// is not installed.
#include <cstdio>
#include <cstring>

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

// Bitmaps with the headers image tools write besides the classic one: ImageMagick's BMP2
// and netpbm's ppmtobmp -os2 write the 12-byte core header (16-bit sizes, 3-byte palette
// entries); the 64-byte header begins with the classic fields. Each decodes to the pixels
// ImageMagick reads.
TEST_F(PictureMagick, CoreAndLongHeadersDecodeToTheirPixels) {
  const bool Netpbm = !Shell("command -v ppmtobmp").empty();
  for (uint32_t W : {1u, 5u, 37u}) {
    const uint32_t H = W % 3 + 20;
    std::string Ppm = "P6\n" + std::to_string(W) + " " + std::to_string(H) + "\n255\n";
    for (uint32_t I = 0; I < W * H; ++I)
      for (uint32_t C = 0; C < 3; ++C) Ppm += char((I * (29 + 40 * C) + C * 77) % 256);
    const std::string Src = Dir / "src.ppm";
    testsupport::WriteBytes(Src, std::vector<uint8_t>(Ppm.begin(), Ppm.end()));
    std::vector<Expected> Files;
    auto Made = [&](const std::string& Out, uint32_t InfoSize, uint32_t Bits) {
      ASSERT_EQ(HeaderU32(Out, bmp::OFS_INFO_SIZE), InfoSize) << Out;
      const uint32_t BitsField = InfoSize == bmp::CORE_HEADER_SIZE
                                     ? HeaderU32(Out, bmp::FILE_HEADER_SIZE + bmp::CORE_OFS_BITS_PER_PIXEL)
                                     : HeaderU32(Out, bmp::OFS_BITS_PER_PIXEL);
      ASSERT_EQ(BitsField & 0xFFFF, Bits) << Out;
      Files.push_back({Out, W, H});
    };
    const std::string Core24 = Dir / "core24.bmp";
    Shell("convert '" + Src + "' -type TrueColor BMP2:'" + Core24 + "' 2>&1");
    Made(Core24, 12, 24);
    if (Netpbm) {
      const std::string Os2 = Dir / "os2-24.bmp", Os2Pal = Dir / "os2-8.bmp";
      Shell("ppmtobmp -os2 -bpp 24 '" + Src + "' > '" + Os2 + "' 2>/dev/null");
      Made(Os2, 12, 24);
      // 8 bits: at most 256 colours, so the source is reduced first.
      Shell("convert '" + Src + "' -dither None -colors 200 ppm:- | ppmtobmp -os2 -bpp 8 > '" + Os2Pal +
            "' 2>/dev/null");
      Made(Os2Pal, 12, 8);
    }
    // The 64-byte header: a classic file with 24 more header bytes after the 40.
    const std::string Classic = Dir / "classic.bmp", Long = Dir / "long.bmp";
    Shell("convert '" + Src + "' -dither None -colors 150 -type Palette -compress None BMP3:'" + Classic + "'");
    std::FILE* F = std::fopen(Classic.c_str(), "rb");
    ASSERT_NE(F, nullptr);
    std::vector<uint8_t> Bytes;
    for (int C; (C = std::fgetc(F)) != EOF;) Bytes.push_back(uint8_t(C));
    std::fclose(F);
    ASSERT_EQ(bytes::Read32(&Bytes[bmp::OFS_INFO_SIZE]), 40u);
    Bytes.insert(Bytes.begin() + bmp::HEADERS_SIZE, 24, 0);
    bytes::Put32(Bytes, bmp::OFS_INFO_SIZE, 64);
    bytes::Put32(Bytes, bmp::OFS_DATA_OFFSET, bytes::Read32(&Bytes[bmp::OFS_DATA_OFFSET]) + 24);
    bytes::Put32(Bytes, bmp::OFS_FILE_SIZE, uint32_t(Bytes.size()));
    testsupport::WriteBytes(Long, Bytes);
    Files.push_back({Classic, W, H});
    ExpectSameAsImageMagick(Files);
    // ImageMagick reads the 64-byte header's palette as 3-byte entries; the entries are
    // 4 bytes as in the classic file, so the long file must give the classic file's pixels.
    TPicture A, B;
    uint8_t CodeA = 255, CodeB = 255;
    LoadBMPPicture(Classic, A, CodeA);
    LoadBMPPicture(Long, B, CodeB);
    ASSERT_EQ(CodeA, BMP_OK);
    ASSERT_EQ(CodeB, BMP_OK);
    ASSERT_EQ(B.ImageWidth * 10000 + B.ImageHeight, W * 10000 + H);
    EXPECT_EQ(std::memcmp(A.PictureAdr, B.PictureAdr, size_t(W) * H * 4), 0) << "width " << W;
    FreeBMPPicture(A);
    FreeBMPPicture(B);
  }
}
