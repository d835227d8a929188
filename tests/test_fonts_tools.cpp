// Tests of the font tools: the shared BMP writer, lumora-fnt and lumora-mkfnt's command line.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "lumora/internal/bmp_layout.h"
#include "lumora/internal/bytes.h"
#include "support/fnt_builder.h"
#include "tools/common/bmp.h"

namespace {

using namespace testsupport;
namespace fs = std::filesystem;
namespace bmp = lumora::bmp;
namespace fnt = lumora::fnt;
using lumora::bytes::Read16;
using lumora::bytes::Read32;

struct TRun {
  int Exit;
  std::string Output;  // stdout and stderr
};

TRun RunTool(const std::string& Tool, const std::string& Arguments) {
  const std::string Log = fs::temp_directory_path() / ("lumora-tool-" + std::to_string(getpid()) + ".log");
  const std::string Command = std::string(LUMORA_BIN_DIR) + "/" + Tool + " " + Arguments + " >'" + Log + "' 2>&1";
  const int Status = std::system(Command.c_str());
  std::ifstream In(Log);
  TRun R{WIFEXITED(Status) ? WEXITSTATUS(Status) : -1,
         std::string(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>())};
  fs::remove(Log);
  return R;
}

std::vector<uint8_t> ReadAll(const std::string& Path) {
  std::ifstream In(Path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
}

TEST(BmpWriter, WritesBottomUpPaddedRowsOfBlueGreenRed) {
  TTempDir Temp;
  const std::string& Dir = Temp.Path;
  const uint8_t Pixels[2 * 3 * 4] = {
      1, 2, 3, 99, 4, 5, 6, 99, 7, 8, 9, 99,            // top row
      11, 12, 13, 99, 14, 15, 16, 99, 17, 18, 19, 99,   // bottom row
  };
  ASSERT_TRUE(tools::WriteBmp24(Dir + "/a.bmp", Pixels, 3, 2));
  const std::vector<uint8_t> B = ReadAll(Dir + "/a.bmp");
  ASSERT_EQ(B.size(), 54u + 2 * 12);
  EXPECT_EQ(B[0], 'B');
  EXPECT_EQ(B[1], 'M');
  EXPECT_EQ(Read32(&B[bmp::OFS_FILE_SIZE]), 78u);
  EXPECT_EQ(Read32(&B[bmp::OFS_DATA_OFFSET]), 54u);
  EXPECT_EQ(Read32(&B[bmp::OFS_WIDTH]), 3u);
  EXPECT_EQ(Read32(&B[bmp::OFS_HEIGHT]), 2u);
  EXPECT_EQ(Read16(&B[bmp::OFS_BITS_PER_PIXEL]), 24u);
  const std::vector<uint8_t> Rows(B.begin() + 54, B.end());
  EXPECT_EQ(Rows, (std::vector<uint8_t>{11, 12, 13, 14, 15, 16, 17, 18, 19, 0, 0, 0,
                                        1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0}));
  EXPECT_FALSE(tools::WriteBmp24(Dir + "/missing/dir/a.bmp", Pixels, 3, 2));
  EXPECT_FALSE(tools::WriteBmp24(Dir + "/b.bmp", Pixels, 0, 2));
}

TEST(FntTool, PrintsTheHeaderAndTheVerdictAndWritesASpecimen) {
  TTempDir Temp;
  const std::string& Dir = Temp.Path;
  FntLayout S;
  S.PixHeight = 5;
  S.Glyphs.assign(224, FilledGlyph(6, 5, 0xA8));
  WriteBytes(Dir + "/a.fnt", BuildFnt(S));
  TRun R = RunTool("lumora-fnt", "--specimen '" + Dir + "/a.bmp' '" + Dir + "/a.fnt'");
  EXPECT_EQ(R.Exit, 0) << R.Output;
  EXPECT_NE(R.Output.find("dfPixHeight                 5"), std::string::npos) << R.Output;
  EXPECT_NE(R.Output.find("result: 0 (loaded)"), std::string::npos) << R.Output;
  EXPECT_EQ(fs::file_size(Dir + "/a.bmp"), 54u + 1024u * 768u * 3u);

  S.PixWidth = 6;
  WriteBytes(Dir + "/fixed.fnt", BuildFnt(S));
  R = RunTool("lumora-fnt", "'" + Dir + "/fixed.fnt'");
  EXPECT_EQ(R.Exit, 1);
  EXPECT_NE(R.Output.find("result: 2 (fixed-width"), std::string::npos) << R.Output;
  R = RunTool("lumora-fnt", "'" + Dir + "/absent.fnt'");
  EXPECT_EQ(R.Exit, 1);
  EXPECT_NE(R.Output.find("result: 1 "), std::string::npos) << R.Output;
  EXPECT_EQ(RunTool("lumora-fnt", "--help").Exit, 0);
  EXPECT_EQ(RunTool("lumora-fnt", "--bogus a.fnt").Exit, 2);
  EXPECT_EQ(RunTool("lumora-fnt", "").Exit, 2);
}

TEST(MkfntTool, RefusesBadCommandLinesWithClearErrors) {
  TTempDir Temp;
  const std::string& Dir = Temp.Path;
  const std::string Out = " '" + Dir + "/o.fnt'";
  TRun R = RunTool("lumora-mkfnt", "--help");
  EXPECT_EQ(R.Exit, 0);
  EXPECT_NE(R.Output.find("Usage: lumora-mkfnt"), std::string::npos);
  R = RunTool("lumora-mkfnt", "--px 20 '" + Dir + "/absent.ttf'" + Out);
  EXPECT_EQ(R.Exit, 1);
  EXPECT_NE(R.Output.find("cannot open"), std::string::npos) << R.Output;
  for (const char* Bad : {"--px 0", "--px -3", "--px 12.5", "--px abc", "--px 5000", "--pt 0"}) {
    R = RunTool("lumora-mkfnt", std::string(Bad) + " x.ttf" + Out);
    EXPECT_EQ(R.Exit, 2) << Bad;
    EXPECT_NE(R.Output.find("size"), std::string::npos) << Bad << ": " << R.Output;
  }
  EXPECT_EQ(RunTool("lumora-mkfnt", "--px 20 --frobnicate x.ttf" + Out).Exit, 2);
  EXPECT_EQ(RunTool("lumora-mkfnt", "--px 20 --version 4 x.ttf" + Out).Exit, 2);
  EXPECT_EQ(RunTool("lumora-mkfnt", "--px 20 x.ttf").Exit, 2);
  EXPECT_EQ(RunTool("lumora-mkfnt", "x.ttf" + Out).Exit, 2);
  EXPECT_FALSE(fs::exists(Dir + "/o.fnt"));
  WriteBytes(Dir + "/not-a-font.ttf", {1, 2, 3});
  EXPECT_EQ(RunTool("lumora-mkfnt", "--px 20 '" + Dir + "/not-a-font.ttf'" + Out).Exit, 1);
}

TEST(MkfntTool, PointsBecomePixelsHalfToEvenAndSixteenBitLimitsAreKept) {
  const char* Font = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
  if (!fs::exists(Font)) GTEST_SKIP() << Font << " is not installed (fonts-dejavu-core)";
  TTempDir Temp;
  const std::string& Dir = Temp.Path;
  auto Make = [&](const std::string& Options, const std::string& Name) {
    return RunTool("lumora-mkfnt", "-q " + Options + " " + Font + " '" + Dir + "/" + Name + "'").Exit;
  };
  // 3.375 pt is 4.5 px: the tie goes to 4, not 5.
  ASSERT_EQ(Make("--pt 3.375", "pt.fnt"), 0);
  ASSERT_EQ(Make("--px 4", "px4.fnt"), 0);
  ASSERT_EQ(Make("--px 5", "px5.fnt"), 0);
  EXPECT_EQ(ReadAll(Dir + "/pt.fnt"), ReadAll(Dir + "/px4.fnt"));
  EXPECT_NE(ReadAll(Dir + "/pt.fnt"), ReadAll(Dir + "/px5.fnt"));
  // 90 px glyphs do not fit 16-bit offsets: 2.x is refused, 3.x written.
  EXPECT_EQ(Make("--px 90 --version 2", "big.fnt"), 1);
  EXPECT_FALSE(fs::exists(Dir + "/big.fnt"));
  // Emboldening widens every glyph by one pixel.
  ASSERT_EQ(Make("--px 16 --bold", "bold.fnt"), 0);
  ASSERT_EQ(Make("--px 16", "regular.fnt"), 0);
  const std::vector<uint8_t> Bold = ReadAll(Dir + "/bold.fnt");
  const std::vector<uint8_t> Regular = ReadAll(Dir + "/regular.fnt");
  for (size_t K = 0; K < 224; ++K) {
    const size_t Width = fnt::HEADER_2X_SIZE + K * fnt::ENTRY_2X_SIZE + fnt::ENTRY_OFS_WIDTH;
    EXPECT_EQ(Read16(&Bold[Width]), Read16(&Regular[Width]) + 1) << K;
  }
}

}  // namespace
