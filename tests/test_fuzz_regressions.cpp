// Fuzz regressions: every input kept under tests/fuzz_regressions/<target>/ and every built-in
// seed runs clean through the same body as its fuzz target, in bounded time.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "fuzz/fuzz_bodies.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/seeds.h"
#include "lumora/lumora.h"

namespace fs = std::filesystem;
using namespace lumora;
using namespace lumorafuzz;

namespace {

using TBody = std::string (*)(const uint8_t*, size_t);

// The fuzz targets run with -timeout=10; a kept input must finish well inside that.
constexpr double TIME_LIMIT_SECONDS = 10.0;

std::vector<fs::path> KeptInputs(const char* Target) {
  std::vector<fs::path> Files;
  const fs::path Dir = fs::path(LUMORA_SOURCE_DIR) / "tests" / "fuzz_regressions" / Target;
  if (!fs::is_directory(Dir)) return Files;
  for (const auto& E : fs::directory_iterator(Dir)) {
    if (E.is_regular_file() && E.path().filename().string()[0] != '.') Files.push_back(E.path());
  }
  std::sort(Files.begin(), Files.end());
  return Files;
}

TBytes ReadAll(const fs::path& P) {
  std::ifstream In(P, std::ios::binary);
  return TBytes(std::istreambuf_iterator<char>(In), {});
}

void ExpectClean(TBody Body, const std::string& Name, const TBytes& Input) {
  const auto Start = std::chrono::steady_clock::now();
  EXPECT_EQ(Body(Input.data(), Input.size()), "") << Name;
  const std::chrono::duration<double> Took = std::chrono::steady_clock::now() - Start;
  EXPECT_LT(Took.count(), TIME_LIMIT_SECONDS) << Name;
}

void RunKept(const char* Target, TBody Body) {
  for (const fs::path& P : KeptInputs(Target)) ExpectClean(Body, P.filename().string(), ReadAll(P));
}

TEST(FuzzRegressions, KeptFontInputsRunClean) { RunKept("fuzz_fnt", FuzzFnt); }
TEST(FuzzRegressions, KeptPictureInputsRunClean) { RunKept("fuzz_bmp", FuzzBmp); }
TEST(FuzzRegressions, KeptDrawingInputsRunClean) { RunKept("fuzz_draw", FuzzDraw); }

// The seeds are what every fuzz run starts from: the valid ones must load (or the fuzzers
// would start from refusals only) and the refused ones must get their documented codes.
TEST(FuzzSeeds, FontSeedsLoadOrGetTheirCodeAndRunClean) {
  const std::map<std::string, uint8_t> Refused = {
      {"refused_fixed_width.fnt", FNT_FIXED_WIDTH},      {"refused_version_1.fnt", FNT_BAD_VERSION},
      {"refused_last_below_first.fnt", FNT_MALFORMED},   {"refused_default_beyond.fnt", FNT_MALFORMED},
      {"refused_cut_header.fnt", FNT_TRUNCATED},         {"refused_cut_bitmaps.fnt", FNT_TRUNCATED}};
  EnsureDisplay();
  for (const TSeed& S : FntSeeds()) {
    TFont Font{};
    uint8_t Result = 0xEE;
    LoadFNTFont(WriteScratch(S.Bytes.data(), S.Bytes.size(), ".fnt"), Font, Result);
    const auto It = Refused.find(S.Name);
    EXPECT_EQ(Result, It == Refused.end() ? FNT_OK : It->second) << S.Name;
    FreeFNTFont(Font);
    LoadedFonts.clear();
    ExpectClean(FuzzFnt, S.Name, S.Bytes);
  }
}

TEST(FuzzSeeds, PictureSeedsLoadOrGetTheirCodeAndRunClean) {
  const std::map<std::string, uint8_t> Refused = {
      {"refused_rgb32.bmp", BMP_UNSUPPORTED_DEPTH},         {"refused_rgb16.bmp", BMP_UNSUPPORTED_DEPTH},
      {"refused_pal4.bmp", BMP_UNSUPPORTED_DEPTH},          {"refused_pal1.bmp", BMP_UNSUPPORTED_DEPTH},
      {"refused_rle8.bmp", BMP_COMPRESSED},                 {"refused_rle4.bmp", BMP_UNSUPPORTED_DEPTH},
      {"refused_bitfields32.bmp", BMP_UNSUPPORTED_DEPTH},   {"refused_bitfields16_header52.bmp", BMP_UNSUPPORTED_DEPTH},
      {"refused_rgba32_header56.bmp", BMP_UNSUPPORTED_DEPTH}, {"refused_bitfields32_header124.bmp", BMP_UNSUPPORTED_DEPTH},
      {"refused_cut_header.bmp", BMP_TRUNCATED},            {"refused_cut_rows.bmp", BMP_TRUNCATED}};
  EnsureDisplay();
  SetAvailMemory(int64_t(1) << 30);
  for (const TSeed& S : BmpSeeds()) {
    TPicture Picture{};
    uint8_t Result = 0xEE;
    LoadBMPPicture(WriteScratch(S.Bytes.data() + BMP_PREFIX_SIZE, S.Bytes.size() - BMP_PREFIX_SIZE, ".bmp"),
                   Picture, Result);
    const auto It = Refused.find(S.Name);
    const bool TopDown = S.Name.rfind("rgb24_top_down", 0) == 0;
    EXPECT_EQ(Result, It != Refused.end() ? It->second : TopDown ? BMP_BAD_DIMENSIONS : BMP_OK) << S.Name;
    FreeBMPPicture(Picture);
    ExpectClean(FuzzBmp, S.Name, S.Bytes);
  }
}

TEST(FuzzSeeds, DrawingSeedsRunClean) {
  for (const TSeed& S : DrawSeeds()) ExpectClean(FuzzDraw, S.Name, S.Bytes);
}

// The checks can fail: a pixel changed outside the allowed rectangle or a fourth byte
// changed is reported, a change inside is not.
TEST(FuzzChecks, ChangesOutsideTheAllowedRectangleAreReported) {
  EnsureDisplay();
  ClearVirtualScreen();
  std::vector<uint8_t> Before;
  TakeSnapshot(Before);
  const TRect Allowed{10, 20, 30, 40};
  VirtualScreen[(25 * SCREEN_WIDTH + 10) * 4] = 1;  // inside, left edge
  VirtualScreen[(40 * SCREEN_WIDTH + 30) * 4 + 2] = 1;  // inside, bottom-right corner
  EXPECT_EQ(ChangedOutside(Before, Allowed), "");
  VirtualScreen[(25 * SCREEN_WIDTH + 31) * 4 + 1] = 7;  // just right of it
  EXPECT_NE(ChangedOutside(Before, Allowed), "");
  EXPECT_NE(ChangedOutside(Before, EMPTY_RECT), "");
  ClearVirtualScreen();
  VirtualScreen[(767 * SCREEN_WIDTH + 1023) * 4] = 1;  // the last pixel
  EXPECT_NE(ChangedOutside(Before, Allowed), "");
  EXPECT_EQ(FourthBytesNot(0), "");
  VirtualScreen[(3 * SCREEN_WIDTH + 4) * 4 + 3] = 9;
  EXPECT_NE(FourthBytesNot(0), "");
  ClearVirtualScreen();
}

// The canvas checks: a change to a guard byte, to the padding between rows or to a pixel
// outside the allowed rectangle is reported, a change inside is not; fourth bytes are
// looked at inside the rectangle only.
TEST(FuzzChecks, CanvasBlockChangesOutsideTheAllowedPixelsAreReported) {
  const TCanvasBlock B{5, 4, 5 * 4 + 3, 16, 16};  // 3 bytes of padding after each row
  ASSERT_EQ(B.Size(), size_t(16 + 3 * 23 + 20 + 16));
  std::vector<uint8_t> Before(B.Size());
  for (size_t I = 0; I < Before.size(); ++I) Before[I] = uint8_t(I * 7);
  const TRect Allowed{1, 1, 3, 2};
  auto Changed = [&](int64_t At) {
    std::vector<uint8_t> Now = Before;
    Now[size_t(At)] ^= 1;
    return BlockChangedOutside(B, Before.data(), Now.data(), Allowed);
  };
  EXPECT_EQ(BlockChangedOutside(B, Before.data(), Before.data(), Allowed), "");
  EXPECT_EQ(Changed(B.Offset(1, 1)), "");      // inside, top-left
  EXPECT_EQ(Changed(B.Offset(3, 2) + 3), "");  // inside, bottom-right, fourth byte
  EXPECT_NE(Changed(B.Offset(0, 1)).find("pixel (0, 1)"), std::string::npos);
  EXPECT_NE(Changed(B.Offset(4, 2)).find("pixel (4, 2)"), std::string::npos);
  EXPECT_NE(Changed(B.Offset(2, 3)).find("pixel (2, 3)"), std::string::npos);
  EXPECT_NE(Changed(B.Offset(5, 1)).find("padding byte 0 after row 1"), std::string::npos);
  EXPECT_NE(Changed(B.Offset(0, 2) - 1).find("padding byte 2 after row 1"), std::string::npos);
  EXPECT_NE(Changed(0).find("guard byte 16 before"), std::string::npos);
  EXPECT_NE(Changed(B.GuardBefore - 1).find("guard byte 1 before"), std::string::npos);
  EXPECT_NE(Changed(B.Offset(5, 3)).find("guard byte 0 after"), std::string::npos);
  EXPECT_NE(Changed(int64_t(B.Size()) - 1).find("guard byte 15 after"), std::string::npos);
  // Nothing allowed: every byte counts.
  std::vector<uint8_t> Now = Before;
  Now[size_t(B.Offset(2, 2))] ^= 1;
  EXPECT_NE(BlockChangedOutside(B, Before.data(), Now.data(), EMPTY_RECT), "");

  // Fourth bytes: 9 everywhere but in pixel (4, 3), outside the rectangle.
  for (int64_t Y = 0; Y < B.Height; ++Y)
    for (int64_t X = 0; X < B.Width; ++X) Now[size_t(B.Offset(X, Y) + 3)] = 9;
  Now[size_t(B.Offset(4, 3) + 3)] = 8;
  EXPECT_EQ(BlockFourthBytesNot(B, Now.data(), Allowed, 9), "");
  EXPECT_NE(BlockFourthBytesNot(B, Now.data(), {0, 0, 4, 3}, 9).find("pixel (4, 3)"), std::string::npos);
  EXPECT_EQ(BlockFourthBytesNot(B, Now.data(), EMPTY_RECT, 8), "");

  // CopyPixels copies the rectangle's pixels and nothing else.
  std::vector<uint8_t> To(B.Size(), 0);
  CopyPixels(B, Before.data(), To.data(), Allowed);
  EXPECT_EQ(BlockChangedOutside(B, Before.data(), To.data(), Allowed).empty(), false);
  for (int64_t Y = 1; Y <= 2; ++Y)
    EXPECT_EQ(std::memcmp(To.data() + B.Offset(1, Y), Before.data() + B.Offset(1, Y), 12), 0) << Y;
  EXPECT_EQ(To[size_t(B.Offset(0, 1))], 0);
  EXPECT_EQ(To[size_t(B.Offset(4, 2))], 0);
  CopyPixels(B, Before.data(), To.data(), {3, 0, 1, 9});  // empty: nothing
}

}  // namespace
