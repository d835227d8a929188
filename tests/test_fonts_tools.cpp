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
  // A file that cannot be opened is said to be so, with the reason, and nothing else.
  R = RunTool("lumora-fnt", "'" + Dir + "/absent.fnt'");
  EXPECT_EQ(R.Exit, 1);
  EXPECT_EQ(R.Output, "lumora-fnt: cannot open " + Dir + "/absent.fnt: No such file or directory\n");
  R = RunTool("lumora-fnt", "'" + Dir + "'");
  EXPECT_EQ(R.Exit, 1);
  EXPECT_EQ(R.Output, "lumora-fnt: cannot open " + Dir + ": Is a directory\n");
  EXPECT_EQ(RunTool("lumora-fnt", "--help").Exit, 0);
  EXPECT_EQ(RunTool("lumora-fnt", "--bogus a.fnt").Exit, 2);
  EXPECT_EQ(RunTool("lumora-fnt", "").Exit, 2);
}

// The specimen's format follows its name: PNG for .png, BMP for .bmp, nothing else.
TEST(FntTool, WritesTheSpecimenInTheFormatOfItsName) {
  TTempDir Temp;
  FntLayout S;
  S.PixHeight = 5;
  S.Glyphs.assign(224, FilledGlyph(6, 5, 0xA8));
  const std::string Font = " '" + Temp.Write("a.fnt", BuildFnt(S)) + "'";
  TRun R = RunTool("lumora-fnt", "--specimen '" + (Temp / "a.png") + "'" + Font);
  EXPECT_EQ(R.Exit, 0) << R.Output;
  const std::vector<uint8_t> Png = ReadAll(Temp / "a.png");
  ASSERT_GE(Png.size(), 8u);
  EXPECT_EQ(std::vector<uint8_t>(Png.begin(), Png.begin() + 8),
            (std::vector<uint8_t>{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));
  R = RunTool("lumora-fnt", "--specimen '" + (Temp / "b.BMP") + "'" + Font);
  EXPECT_EQ(R.Exit, 0) << R.Output;
  EXPECT_EQ(fs::file_size(Temp / "b.BMP"), 54u + 1024u * 768u * 3u);
  for (const char* Name : {"c.gif", "c", "c.png.txt", "dir.png/c"}) {
    R = RunTool("lumora-fnt", "--specimen '" + (Temp / Name) + "'" + Font);
    EXPECT_EQ(R.Exit, 2) << Name;
    EXPECT_NE(R.Output.find("written as .bmp or .png"), std::string::npos) << R.Output;
    EXPECT_FALSE(fs::exists(Temp / Name)) << Name;
  }
}

// A specimen that cannot be written says why; a BMP that fails half-way leaves no file, and
// a device named as the specimen is left alone.
TEST(FntTool, SaysWhyASpecimenCannotBeWritten) {
  TTempDir Temp;
  FntLayout S;
  S.PixHeight = 5;
  S.Glyphs.assign(224, FilledGlyph(6, 5, 0xA8));
  const std::string Font = " '" + Temp.Write("a.fnt", BuildFnt(S)) + "'";
  TRun R = RunTool("lumora-fnt", "--specimen /proc/nope/x.bmp" + Font);
  EXPECT_EQ(R.Exit, 3);
  EXPECT_NE(R.Output.find("lumora-fnt: cannot write /proc/nope/x.bmp: No such file or directory"), std::string::npos)
      << R.Output;
  R = RunTool("lumora-fnt", "--specimen /proc/nope/x.png" + Font);
  EXPECT_EQ(R.Exit, 3);
  EXPECT_NE(R.Output.find("cannot write /proc/nope/x.png: No such file or directory"), std::string::npos) << R.Output;
  if (fs::exists("/dev/full")) {
    fs::create_symlink("/dev/full", Temp / "full.bmp");
    R = RunTool("lumora-fnt", "--specimen '" + (Temp / "full.bmp") + "'" + Font);
    EXPECT_EQ(R.Exit, 3);
    EXPECT_NE(R.Output.find("full.bmp: No space left on device"), std::string::npos) << R.Output;
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
  }
  std::string Error;
  const uint8_t Pixel[4] = {1, 2, 3, 0};
  EXPECT_FALSE(tools::WriteBmp24(Temp / "no/such/dir.bmp", Pixel, 1, 1, Error));
  EXPECT_EQ(Error, "cannot write " + (Temp / "no/such/dir.bmp") + ": No such file or directory");
}

// A font whose specimen takes more pages than allowed gets none, and says how many pages it
// would take; --max-pages allows them.
TEST(FntTool, RefusesASpecimenOfMorePagesThanAllowed) {
  TTempDir Temp;
  // One glyph, drawn for every code: 500 x 44 pixels, 15 to a page (one column), 18 pages.
  FntLayout S;
  S.PixHeight = 44;
  S.Glyphs = {FilledGlyph(500, 44, 0x81)};
  const std::string Font = " '" + Temp.Write("wide.fnt", BuildFnt(S)) + "'";
  TRun R = RunTool("lumora-fnt", "--specimen '" + (Temp / "w.png") + "'" + Font);
  EXPECT_EQ(R.Exit, 3);
  EXPECT_NE(R.Output.find("it would take 18 pages of 15 codes each"), std::string::npos) << R.Output;
  EXPECT_NE(R.Output.find("--max-pages 18"), std::string::npos) << R.Output;
  EXPECT_FALSE(fs::exists(Temp / "w.png"));
  R = RunTool("lumora-fnt", "--max-pages 18 --specimen '" + (Temp / "w.png") + "'" + Font);
  EXPECT_EQ(R.Exit, 0) << R.Output;
  EXPECT_TRUE(fs::exists(Temp / "w.png"));
  EXPECT_TRUE(fs::exists(Temp / "w-18.png"));
  EXPECT_FALSE(fs::exists(Temp / "w-19.png"));
  EXPECT_NE(R.Output.find("page 18 of 18"), std::string::npos) << R.Output;
  for (const char* Bad : {"0", "257", "x", "-1"})
    EXPECT_EQ(RunTool("lumora-fnt", std::string("--max-pages ") + Bad + Font).Exit, 2) << Bad;
}

// --diff lists the codes whose glyph differs between two fonts, ink taken from the baseline.
TEST(FntTool, ListsTheGlyphsThatDifferBetweenTwoFonts) {
  TTempDir Temp;
  FntLayout S;
  S.PixHeight = 3;
  S.Glyphs.assign(224, ArtGlyph({"#.", ".#", "##"}));
  const std::string Old = Temp.Write("old.fnt", BuildFnt(S));
  S.Glyphs['j' - 32] = ArtGlyph({"#..", ".##", "##."});  // wider, one pixel more
  // The same ink one row further down from a baseline one row lower.
  const std::string New = Temp.Write("new.fnt", BuildFnt(S));
  FntLayout T = S;
  T.PixHeight = 4;
  for (FntGlyph& G : T.Glyphs) {
    std::vector<uint8_t> Strips;
    for (size_t K = 0; K < G.Strips.size(); K += 3) Strips.insert(Strips.end(), {0, G.Strips[K], G.Strips[K + 1], G.Strips[K + 2]});
    G.Strips = Strips;
  }
  std::vector<uint8_t> Taller = BuildFnt(T);
  Put16(Taller, fnt::OFS_ASCENT, 4);
  const std::string Lower = Temp.Write("lower.fnt", Taller);
  TRun R = RunTool("lumora-fnt", "--diff '" + Old + "' '" + New + "'");
  EXPECT_EQ(R.Exit, 4) << R.Output;
  EXPECT_NE(R.Output.find("  0x6A: width 2 -> 3, ink 4 -> 5 pixels (0 only in the old, 1 only in the new)"),
            std::string::npos) << R.Output;
  EXPECT_NE(R.Output.find("1 of 256 codes differ"), std::string::npos) << R.Output;
  R = RunTool("lumora-fnt", "--diff '" + New + "' '" + Lower + "'");
  EXPECT_EQ(R.Exit, 0) << R.Output;
  EXPECT_NE(R.Output.find("0 of 256 codes differ"), std::string::npos) << R.Output;
  R = RunTool("lumora-fnt", "--diff '" + Old + "' '" + (Temp / "absent.fnt") + "'");
  EXPECT_EQ(R.Exit, 1);
  EXPECT_NE(R.Output.find("absent.fnt: No such file or directory"), std::string::npos) << R.Output;
  EXPECT_EQ(RunTool("lumora-fnt", "--diff '" + Old + "' --specimen x.bmp '" + New + "'").Exit, 2);
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
  // The size is given once.
  for (const char* Twice : {"--pt 12 --px 12", "--px 12 --px 14", "--pt 9 --pt 9"}) {
    R = RunTool("lumora-mkfnt", std::string(Twice) + " x.ttf" + Out);
    EXPECT_EQ(R.Exit, 2) << Twice;
    EXPECT_NE(R.Output.find("give the size once"), std::string::npos) << Twice << ": " << R.Output;
  }
  EXPECT_FALSE(fs::exists(Dir + "/o.fnt"));
}

// Writing the font fails with the system's reason; a device is not removed.
TEST(MkfntTool, SaysWhyTheFontCannotBeWritten) {
  const char* Font = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
  if (!fs::exists(Font)) GTEST_SKIP() << Font << " is not installed (fonts-dejavu-core)";
  TTempDir Temp;
  TRun R = RunTool("lumora-mkfnt", std::string("--px 12 ") + Font + " '" + (Temp / "no/dir/o.fnt") + "'");
  EXPECT_EQ(R.Exit, 1);
  EXPECT_NE(R.Output.find("cannot write " + (Temp / "no/dir/o.fnt") + ": No such file or directory"), std::string::npos)
      << R.Output;
  if (fs::exists("/dev/full")) {
    fs::create_symlink("/dev/full", Temp / "full.fnt");
    R = RunTool("lumora-mkfnt", std::string("--px 12 ") + Font + " '" + (Temp / "full.fnt") + "'");
    EXPECT_EQ(R.Exit, 1);
    EXPECT_NE(R.Output.find("full.fnt: No space left on device"), std::string::npos) << R.Output;
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
  }
}

// --codes takes a code table and nothing else: any other file is refused at the line that
// does not fit, instead of making a font of a glyph or two.
TEST(MkfntTool, RefusesAFileThatIsNotACodeTable) {
  const char* Font = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
  if (!fs::exists(Font)) GTEST_SKIP() << Font << " is not installed (fonts-dejavu-core)";
  TTempDir Temp;
  auto Make = [&](const std::string& Table) {
    const std::string Path = Temp.Write("codes.txt", std::vector<uint8_t>(Table.begin(), Table.end()));
    return RunTool("lumora-mkfnt", "--px 12 --codes '" + Path + "' " + Font + " '" + (Temp / "o.fnt") + "'");
  };
  const std::string Where = Temp / "codes.txt";
  TRun R = Make("lumora is a small 2D graphics library\n");
  EXPECT_EQ(R.Exit, 1);
  EXPECT_NE(R.Output.find(Where + ":1: not a code table"), std::string::npos) << R.Output;
  R = Make("code\tunicode\n0x41\tU+0041\nsome text\n");
  EXPECT_EQ(R.Exit, 1);
  EXPECT_NE(R.Output.find(Where + ":3: expected 0xNN<TAB>U+XXXX"), std::string::npos) << R.Output;
  for (const char* Line : {"0x41 U+0041", "0x41\tU+41", "0x1F\tU+0041", "0x141\tU+0041", "0x41\tU+110000",
                           "0x41\tU+0041 x", "0xZZ\tU+0041", "0x41\tU+0000"}) {
    R = Make(std::string("code\tunicode\n") + Line + "\n");
    EXPECT_EQ(R.Exit, 1) << Line;
    EXPECT_NE(R.Output.find(Where + ":2: expected"), std::string::npos) << Line << ": " << R.Output;
  }
  R = Make("code\tunicode\n0x41\tU+0041\n\n0x41\tU+0042\n");
  EXPECT_EQ(R.Exit, 1);
  EXPECT_NE(R.Output.find(Where + ":4: code 0x41 is already given on line 2"), std::string::npos) << R.Output;
  R = Make("code\tunicode\n");
  EXPECT_EQ(R.Exit, 1);
  EXPECT_NE(R.Output.find("the table maps no code"), std::string::npos) << R.Output;
  EXPECT_EQ(Make("").Exit, 1);
  EXPECT_FALSE(fs::exists(Temp / "o.fnt"));
  R = Make("code\tunicode\r\n0x41\tU+2702\r\n");
  EXPECT_EQ(R.Exit, 0) << R.Output;
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
