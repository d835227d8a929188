// Tests of LoadBMPPicture and FreeBMPPicture: codes and their precedence, layouts, fill
// bytes, palettes, reduction, names, malformed and truncated files, record ownership.
#include <fcntl.h>
#ifndef _WIN32
#include <sys/resource.h>
#endif
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

#include "support/bmp_builder.h"
#include "support/headless.h"
#include "support/oracle.h"

using namespace lumora;
using testsupport::TBmp;

namespace {

struct Loaded {
  TPicture P;
  uint8_t Code = 255;
  ~Loaded() { FreeBMPPicture(P); }
};

std::array<uint8_t, 3> At(const TPicture& P, uint32_t X, uint32_t Y) {
  const uint8_t* S = P.PictureAdr + (size_t(Y) * P.ImageWidth + X) * 4;
  return {S[0], S[1], S[2]};
}

class PictureLoad : public ::testing::Test {
 protected:
  void SetUp() override { Memory(-1); }
  static void Memory(int64_t Bytes) {
    THeadlessOptions O;
    O.AvailMemory = Bytes;
    UseHeadlessPlatform(O);
  }
  uint8_t Load(const TBmp& S, Loaded& L, int32_t MaxW = 2147483647, int32_t MaxH = 2147483647) {
    LoadBMPPicture(Dir.Write("p.bmp", S), L.P, MaxW, MaxH, L.Code);
    return L.Code;
  }
  testsupport::TTempDir Dir;
};

TBmp Header(uint32_t W, uint32_t H, uint16_t Bits, uint32_t Compression = 0) {
  TBmp S;
  S.Width = W;
  S.Height = H;
  S.Bits = Bits;
  S.Compression = Compression;
  S.HeaderOnly = true;
  return S;
}

}  // namespace

TEST_F(PictureLoad, CodesTwoToFiveTheLastFailingTestDecides) {
  struct Case { uint32_t W; uint16_t Bits; uint32_t Comp; int64_t Avail; uint8_t Want; };
  const Case Cases[] = {
      {100, 8, 1, -1, BMP_COMPRESSED},          {100, 4, 2, -1, BMP_UNSUPPORTED_DEPTH},
      {100, 32, 0, -1, BMP_UNSUPPORTED_DEPTH},  {2561, 4, 1, -1, BMP_TOO_LARGE},
      {2561, 4, 1, 1000, BMP_NOT_ENOUGH_MEMORY}, {100, 24, 1, 1000, BMP_NOT_ENOUGH_MEMORY},
      {2560, 24, 0, -1, BMP_TRUNCATED},  // exactly MAX_SIZE passes the size test
  };
  for (const Case& C : Cases) {
    Memory(C.Avail);
    Loaded L;
    EXPECT_EQ(Load(Header(C.W, 2048, C.Bits, C.Comp), L), C.Want) << C.W << " " << C.Bits;
    EXPECT_FALSE(L.P.Loaded);
  }
}

TEST_F(PictureLoad, MemoryTestCountsPixelsRowAndMargin) {
  const TBmp S = testsupport::CoordBmp(1024, 768);
  for (int64_t Avail : {3149063, 3149064}) {
    Memory(Avail);
    Loaded L;
    EXPECT_EQ(Load(S, L), Avail == 3149064 ? BMP_OK : BMP_NOT_ENOUGH_MEMORY);
  }
}

TEST_F(PictureLoad, MissingFileMalformedAndTruncatedFilesLeaveTheRecordAlone) {
  Loaded L;
  ASSERT_EQ(Load(testsupport::CoordBmp(3, 2), L), BMP_OK);
  const TPicture Before = L.P;
  auto Expect = [&](const std::string& Path, uint8_t Want) {
    LoadBMPPicture(Path, L.P, L.Code);
    EXPECT_EQ(L.Code, Want) << Path;
    EXPECT_TRUE(L.P.Loaded && L.P.PictureAdr == Before.PictureAdr && L.P.FileName == Before.FileName &&
                L.P.ImageWidth == 3 && L.P.ImageHeight == 2);
  };
  Expect(Dir / "missing.bmp", BMP_CANNOT_OPEN);
  Expect(Dir.Path, BMP_CANNOT_OPEN);
  Expect(Dir / std::string("p.bmp\0x", 7), BMP_CANNOT_OPEN);

  std::vector<uint8_t> Good = testsupport::BuildBmp(testsupport::PaletteBmp(5, 4));
  auto Variant = [&](size_t Length, auto Change) {
    std::vector<uint8_t> B(Good.begin(), Good.begin() + std::ptrdiff_t(Length));
    Change(B);
    testsupport::WriteBytes(Dir / "v.bmp", B);
    return Dir / "v.bmp";
  };
  auto Same = [](std::vector<uint8_t>&) {};
  Expect(Variant(0, Same), BMP_TRUNCATED);
  Expect(Variant(1, Same), BMP_TRUNCATED);
  Expect(Variant(53, Same), BMP_TRUNCATED);
  Expect(Variant(20, [](auto& B) { B[0] = 'P'; }), BMP_NOT_A_BITMAP);
  Expect(Variant(Good.size(), [](auto& B) { B[1] = 'A'; }), BMP_NOT_A_BITMAP);
  Expect(Variant(Good.size(), [](auto& B) { testsupport::Put32(B, 18, 0); }), BMP_BAD_DIMENSIONS);
  Expect(Variant(Good.size(), [](auto& B) { testsupport::Put32(B, 22, 0); }), BMP_BAD_DIMENSIONS);
  Expect(Variant(Good.size(), [](auto& B) { testsupport::Put32(B, 22, uint32_t(-4)); }), BMP_BAD_DIMENSIONS);
  Expect(Variant(Good.size(), [](auto& B) { testsupport::Put32(B, 18, 0x80000000u); }), BMP_BAD_DIMENSIONS);
  Expect(Variant(54 + 1000, Same), BMP_TRUNCATED);                 // inside the palette
  Expect(Variant(1078 + 3 * 8 + 4, Same), BMP_TRUNCATED);  // the top row is cut short
  LoadBMPPicture(Variant(1078 + 3 * 8 + 5, Same), L.P, L.Code);  // only its fill bytes are missing
  EXPECT_EQ(L.Code, BMP_OK);
}

TEST_F(PictureLoad, SizeLimitAndReductionToMaximum) {
  Loaded Exact, Reduced;
  // Sparse 8-bit files: the pixels are all palette entry 0.
  auto Sparse = [&](uint32_t W, uint32_t H) {
    TBmp S = Header(W, H, 8);
    S.DataOffset = 1078;
    std::vector<uint8_t> B = testsupport::BuildBmp(S);
    B.resize(54 + 1024);
    testsupport::WriteBytes(Dir / "s.bmp", B);
    EXPECT_EQ(truncate((Dir / "s.bmp").c_str(), off_t(1078 + uint64_t((W + 3) / 4 * 4) * H)), 0);
    return Dir / "s.bmp";
  };
  LoadBMPPicture(Sparse(2560, 2048), Exact.P, Exact.Code);
  EXPECT_EQ(Exact.Code, BMP_OK);
  LoadBMPPicture(Sparse(5000, 4000), Reduced.P, 2560, 2560, Reduced.Code);
  EXPECT_EQ(Reduced.Code, BMP_OK);
  EXPECT_EQ(Reduced.P.ImageWidth * 10000 + Reduced.P.ImageHeight, 2560u * 10000 + 2048);

  struct Case { uint32_t W, H; int32_t MaxW, MaxH; uint32_t WantW, WantH; };
  for (const Case& C : {Case{2000, 1000, 800, 600, 800, 400}, Case{1000, 2000, 800, 600, 300, 600},
                        Case{20, 10, -5, 100, 1, 1}, Case{20, 10, 100, -1, 1, 1}}) {
    Loaded L;
    ASSERT_EQ(Load(testsupport::CoordBmp(C.W, C.H), L, C.MaxW, C.MaxH), BMP_OK);
    ASSERT_EQ(L.P.ImageWidth * 10000 + L.P.ImageHeight, C.WantW * 10000 + C.WantH) << C.W;
    // Destination (X, Y) takes source column R(W / width x X) and source row R(H / height x
    // Y') counted from the bottom, Y' = height - 1 - Y.
    for (uint32_t Y = 0; Y < L.P.ImageHeight; Y += 7)
      for (uint32_t X = 0; X < L.P.ImageWidth; X += 5) {
        const uint32_t SX = uint32_t(testsupport::QuotientProductRounded(C.W, L.P.ImageWidth, X));
        const uint32_t SY = uint32_t(testsupport::QuotientProductRounded(C.H, L.P.ImageHeight, L.P.ImageHeight - 1 - Y));
        ASSERT_EQ(At(L.P, X, Y), testsupport::CoordColor(SX, C.H - 1 - SY)) << X << "," << Y;
      }
  }
}

TEST_F(PictureLoad, ReductionPicksCornersBottomLeftAndRoundsInExtendedPrecision) {
  Loaded Corners, One, TwentyTwo;
  ASSERT_EQ(Load(testsupport::CoordBmp(3, 3), Corners, 2, 100), BMP_OK);
  EXPECT_EQ(At(Corners.P, 0, 0), testsupport::CoordColor(0, 0));
  EXPECT_EQ(At(Corners.P, 1, 0), testsupport::CoordColor(2, 0));
  EXPECT_EQ(At(Corners.P, 0, 1), testsupport::CoordColor(0, 2));
  EXPECT_EQ(At(Corners.P, 1, 1), testsupport::CoordColor(2, 2));
  ASSERT_EQ(Load(testsupport::CoordBmp(7, 5), One, 0, 100), BMP_OK);
  EXPECT_EQ(One.P.ImageWidth + One.P.ImageHeight, 2u);
  EXPECT_EQ(At(One.P, 0, 0), testsupport::CoordColor(0, 4));
  // 25 / 22 x 11 is exactly 12.5 in extended precision (just above in double): column 12.
  ASSERT_EQ(Load(testsupport::CoordBmp(25, 1), TwentyTwo, 22, 100), BMP_OK);
  EXPECT_EQ(At(TwentyTwo.P, 11, 0), testsupport::CoordColor(12, 0));
}

TEST_F(PictureLoad, FillBytesAndRowOrderForWidthsOneToFiveAtBothDepths) {
  for (uint32_t W = 1; W <= 5; ++W) {
    for (TBmp S : {testsupport::CoordBmp(W, 3), testsupport::PaletteBmp(W, 3)}) {
      Loaded L;
      ASSERT_EQ(Load(S, L), BMP_OK);
      ASSERT_EQ(L.P.ImageWidth * 10 + L.P.ImageHeight, W * 10 + 3);
      for (uint32_t Y = 0; Y < 3; ++Y)
        for (uint32_t X = 0; X < W; ++X) {
          const uint8_t* Got = L.P.PictureAdr + (Y * W + X) * 4;
          std::array<uint8_t, 3> Want;
          if (S.Bits == 24) std::memcpy(Want.data(), &S.Pixels[(Y * W + X) * 3], 3);
          else std::memcpy(Want.data(), S.Palette[S.Pixels[Y * W + X]].data(), 3);
          EXPECT_EQ(At(L.P, X, Y), Want) << W << " " << S.Bits << " " << X << "," << Y;
          EXPECT_EQ(Got[3], 0);  // the palette's fourth byte is not copied
        }
    }
  }
}

TEST_F(PictureLoad, LayoutFieldsAreHonouredWhenConsistent) {
  const TBmp Base = testsupport::PaletteBmp(6, 4);
  auto ExpectSame = [&](TBmp S, size_t BlackFrom = 256) {
    Loaded L;
    ASSERT_EQ(Load(S, L), BMP_OK) << S.InfoSize;
    for (uint32_t I = 0; I < 24; ++I) {
      std::array<uint8_t, 3> Want{};
      const uint8_t Index = Base.Pixels[I];
      if (Index < BlackFrom) std::memcpy(Want.data(), Base.Palette[Index].data(), 3);
      EXPECT_EQ(At(L.P, I % 6, I / 6), Want) << S.InfoSize << " pixel " << I;
    }
  };
  for (uint32_t Info : {40u, 52u, 56u, 108u, 124u}) {
    TBmp S = Base;
    S.InfoSize = Info;
    ExpectSame(S);
    S.PaletteGap = 10;  // pixels further on than the palette's end
    ExpectSame(S);
  }
  TBmp Short = Base;  // a short palette: indexes beyond it are black
  Short.InfoSize = 124;
  Short.Palette.resize(9);
  ExpectSame(Short, 9);
  TBmp Inconsistent = Base;  // an offset inside the headers: read as 40 + 256 entries
  Inconsistent.DataOffset = 0;
  ExpectSame(Inconsistent);
  TBmp Wide = testsupport::CoordBmp(5, 3);  // 24 bits behind a 108-byte header
  Wide.InfoSize = 108;
  Loaded LW;
  ASSERT_EQ(Load(Wide, LW), BMP_OK);
  EXPECT_EQ(At(LW.P, 4, 2), testsupport::CoordColor(4, 2));
}

// A stream that cannot seek: dropped rows are read and thrown away, a short stream gives 9.
TEST_F(PictureLoad, StreamsThatCannotSeek) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows has no named pipes in the file system";
#else
  const std::string Fifo = Dir / "fifo";
  ASSERT_EQ(mkfifo(Fifo.c_str(), 0600), 0);
  for (size_t Cut : {size_t(0), size_t(100)}) {
    std::vector<uint8_t> B = testsupport::BuildBmp(testsupport::CoordBmp(9, 40));
    B.resize(B.size() - Cut);
    std::thread Writer([&] { testsupport::WriteBytes(Fifo, B); });
    Loaded L;
    LoadBMPPicture(Fifo, L.P, 3, 100, L.Code);
    Writer.join();
    ASSERT_EQ(L.Code, Cut ? BMP_TRUNCATED : BMP_OK);
    if (Cut == 0) {
      EXPECT_EQ(At(L.P, 2, 0), testsupport::CoordColor(6, 2));
    }
  }
#endif
}

TEST_F(PictureLoad, NamesBackslashesAndTheFirst255Characters) {
  std::filesystem::create_directory(Dir / "Pictures");
  Dir.Write("Pictures/bear.bmp", testsupport::CoordBmp(2, 2));
  Loaded L;
  LoadBMPPicture(Dir.Path + "/Pictures\\bear.bmp", L.P, L.Code);
  ASSERT_EQ(L.Code, BMP_OK);
  EXPECT_EQ(L.P.FileName, Dir.Path + "/Pictures\\bear");

  const std::string Long = Dir.Path + "/" + std::string(254 - Dir.Path.size(), 'n');
  ASSERT_EQ(Long.size(), 255u);
  testsupport::WriteBytes(Long, testsupport::BuildBmp(testsupport::CoordBmp(2, 2)));
  LoadBMPPicture(Long + "-beyond.bmp", L.P, L.Code);
  EXPECT_EQ(L.Code, BMP_OK);
  EXPECT_EQ(L.P.FileName, Long + "-beyond");

  char Cwd[4096];
  ASSERT_NE(getcwd(Cwd, sizeof Cwd), nullptr);
  ASSERT_EQ(chdir(Dir.Path.c_str()), 0);
  Dir.Write("a.bm", testsupport::CoordBmp(1, 1));
  LoadBMPPicture("a.bm", L.P, L.Code);
  EXPECT_EQ(chdir(Cwd), 0);
  EXPECT_EQ(L.Code, BMP_OK);
  EXPECT_EQ(L.P.FileName, "");
}

TEST_F(PictureLoad, FreeAndReloadOwnTheBuffer) {
  TPicture Never;
  FreeBMPPicture(Never);
  EXPECT_FALSE(Never.Loaded);
  Loaded L;
  ASSERT_EQ(Load(testsupport::CoordBmp(4, 3), L), BMP_OK);
  ASSERT_EQ(Load(testsupport::CoordBmp(6, 5), L), BMP_OK);  // the 4 x 3 buffer is released
  EXPECT_EQ(L.P.ImageWidth * 10 + L.P.ImageHeight, 65u);
  FreeBMPPicture(L.P);
  FreeBMPPicture(L.P);
  EXPECT_FALSE(L.P.Loaded);
  EXPECT_EQ(L.P.PictureAdr, nullptr);
  EXPECT_EQ(L.P.ImageWidth * 10 + L.P.ImageHeight, 65u);
}

// Windows has no limit on the address space to test with; WebAssembly has neither that
// limit nor processes for a death test.
#if !defined(__SANITIZE_ADDRESS__) && !defined(_WIN32) && !defined(__EMSCRIPTEN__)
// Loads Path with the address space limited to what is in use plus 8 MB; exits with the code.
[[noreturn]] void LoadWithLittleAddressSpace(const std::string& Path) {
  std::ifstream Status("/proc/self/statm");
  uint64_t Pages = 0;
  Status >> Pages;
  const rlim_t Limit = rlim_t(Pages * uint64_t(sysconf(_SC_PAGESIZE)) + (8u << 20));
  const rlimit R{Limit, Limit};
  setrlimit(RLIMIT_AS, &R);
  TPicture P;
  uint8_t Code = 0;
  LoadBMPPicture(Path, P, Code);
  std::_Exit(P.Loaded ? 100 : Code);
}

// The 20 MB pixel buffer cannot be had: 6, and the record is not filled.
TEST_F(PictureLoad, AllocationFailureGivesSix) {
  // A fresh process, whose heap holds no large free block left by earlier tests.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  TBmp S = Header(2560, 2048, 8);
  std::vector<uint8_t> B = testsupport::BuildBmp(S);
  testsupport::WriteBytes(Dir / "big.bmp", B);
  ASSERT_EQ(truncate((Dir / "big.bmp").c_str(), 54 + 2560 * 2048), 0);
  EXPECT_EXIT(LoadWithLittleAddressSpace(Dir / "big.bmp"), ::testing::ExitedWithCode(BMP_ALLOCATION_FAILED), "");
}
#endif

// Every code of the loader has its own description; codes beyond them say so.
TEST(PictureResultText, EveryCodeHasADescription) {
  std::set<std::string> Seen;
  for (int Code = BMP_OK; Code <= BMP_TRUNCATED; ++Code) {
    const std::string Text = BMPResultText(uint8_t(Code));
    EXPECT_NE(Text, "unknown code") << Code;
    EXPECT_TRUE(Seen.insert(Text).second) << Code << ": " << Text;
  }
  EXPECT_STREQ(BMPResultText(BMP_NOT_A_BITMAP), "not a bitmap (the file does not begin with \"BM\")");
  EXPECT_STREQ(BMPResultText(10), "unknown code");
  EXPECT_STREQ(BMPResultText(255), "unknown code");
}
