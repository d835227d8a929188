// Tests of lumora-record: the PNG writer, the options, the frame schedule, the video
// timeline, headless runs and the tool itself. Relies on the recorder library and zlib.
#include <gtest/gtest.h>
#ifdef _WIN32
#include <process.h>
#else
#include <sys/wait.h>
#endif
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "tools/common/png_write.h"
#include "tools/record/options.h"
#include "tools/record/playback.h"

namespace fs = std::filesystem;
using namespace record;

namespace {

// ------------------------------------------------------------------ helpers

uint32_t Big32(const std::string& S, size_t At) {
  return uint32_t(uint8_t(S[At])) << 24 | uint32_t(uint8_t(S[At + 1])) << 16 |
         uint32_t(uint8_t(S[At + 2])) << 8 | uint32_t(uint8_t(S[At + 3]));
}

// A minimal PNG reader for 8-bit RGB files: checks the signature and every chunk CRC,
// inflates the IDAT data and undoes the five row filters. Returns RGB bytes, or fails.
::testing::AssertionResult DecodePng(const std::string& Png, uint32_t& W, uint32_t& H,
                                     std::vector<uint8_t>& Rgb) {
  if (Png.compare(0, 8, "\x89PNG\r\n\x1a\n", 8) != 0)
    return ::testing::AssertionFailure() << "signature";
  std::string Idat;
  bool Ended = false;
  for (size_t At = 8; At < Png.size() && !Ended;) {
    if (At + 12 > Png.size()) return ::testing::AssertionFailure() << "truncated chunk";
    const uint32_t Len = Big32(Png, At);
    const std::string Type = Png.substr(At + 4, 4);
    if (At + 12 + Len > Png.size()) return ::testing::AssertionFailure() << "chunk overruns";
    const auto* Bytes = reinterpret_cast<const Bytef*>(Png.data() + At + 4);
    if (crc32(0, Bytes, Len + 4) != Big32(Png, At + 8 + Len))
      return ::testing::AssertionFailure() << "bad CRC in " << Type;
    const std::string Data = Png.substr(At + 8, Len);
    if (Type == "IHDR") {
      W = Big32(Data, 0);
      H = Big32(Data, 4);
      if (Data[8] != 8 || Data[9] != 2 || Data[10] != 0 || Data[11] != 0 || Data[12] != 0)
        return ::testing::AssertionFailure() << "not 8-bit RGB";
    } else if (Type == "IDAT") {
      Idat += Data;
    } else if (Type == "IEND") {
      Ended = true;
    }
    At += 12 + Len;
  }
  if (!Ended) return ::testing::AssertionFailure() << "no IEND";
  const size_t Stride = size_t(W) * 3;
  std::vector<uint8_t> Raw(size_t(H) * (Stride + 1) + 1);
  uLongf RawLen = uLongf(Raw.size());
  if (uncompress(Raw.data(), &RawLen, reinterpret_cast<const Bytef*>(Idat.data()),
                 uLong(Idat.size())) != Z_OK ||
      RawLen != Raw.size() - 1)
    return ::testing::AssertionFailure() << "bad zlib data";
  Rgb.assign(size_t(H) * Stride, 0);
  for (uint32_t Y = 0; Y < H; ++Y) {
    const uint8_t Filter = Raw[Y * (Stride + 1)];
    const uint8_t* In = &Raw[Y * (Stride + 1) + 1];
    uint8_t* Out = &Rgb[Y * Stride];
    const uint8_t* Up = Y > 0 ? &Rgb[(Y - 1) * Stride] : nullptr;
    for (size_t I = 0; I < Stride; ++I) {
      const int A = I >= 3 ? Out[I - 3] : 0, B = Up ? Up[I] : 0, C = (Up && I >= 3) ? Up[I - 3] : 0;
      int P = 0;
      if (Filter == 1) P = A;
      if (Filter == 2) P = B;
      if (Filter == 3) P = (A + B) / 2;
      if (Filter == 4) {
        const int Q = A + B - C, PA = std::abs(Q - A), PB = std::abs(Q - B), PC = std::abs(Q - C);
        P = (PA <= PB && PA <= PC) ? A : (PB <= PC ? B : C);
      }
      if (Filter > 4) return ::testing::AssertionFailure() << "filter " << int(Filter);
      Out[I] = uint8_t(In[I] + P);
    }
  }
  return ::testing::AssertionSuccess();
}

std::string ReadFile(const fs::path& Path) {
  std::ifstream In(Path, std::ios::binary);
  std::ostringstream S;
  S << In.rdbuf();
  return S.str();
}

// FNV-1a over 64-bit words (Len a multiple of 8): fast enough to hash every frame.
uint64_t Hash(const uint8_t* Data, size_t Len) {
  uint64_t H = 1469598103934665603ull;
  for (size_t I = 0; I < Len; I += 8) {
    uint64_t W;
    std::memcpy(&W, Data + I, 8);
    H = (H ^ W) * 1099511628211ull;
  }
  return H;
}

// A picture that makes every row filter win somewhere: flat, noisy, gradients both ways.
std::vector<uint8_t> TestPicture(uint32_t W, uint32_t H, uint32_t Stride) {
  std::vector<uint8_t> P(size_t(Stride) * H, 0xEE);
  uint32_t Seed = 7;
  for (uint32_t Y = 0; Y < H; ++Y)
    for (uint32_t X = 0; X < W; ++X) {
      uint8_t* Px = &P[size_t(Y) * Stride + size_t(X) * 4];
      Seed = Seed * 1103515245u + 12345u;
      const uint32_t Band = Y / 8 % 4;
      Px[0] = Band == 0 ? 10 : Band == 1 ? uint8_t(Seed >> 16) : uint8_t(X * 3 + Y);
      Px[1] = uint8_t(Band == 3 ? Y * 5 : X + Y * 2);
      Px[2] = uint8_t(Band == 2 ? 255 - X : Seed >> 24);
      Px[3] = uint8_t(X);  // ignored by the writer
    }
  return P;
}

struct TScratch {
  fs::path Dir;
  TScratch() {
    Dir = fs::temp_directory_path() /
          ("lumora_record_test_" + std::to_string(::getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(Dir);
    fs::create_directories(Dir);
  }
  ~TScratch() { fs::remove_all(Dir); }
};

// Runs a shell command, returning its exit status and what it printed.
int Shell(const std::string& Command, std::string& Output) {
  Output.clear();
#ifdef _WIN32
  // The command interpreter's exit status is the command's.
  std::FILE* P = _popen((Command + " 2>&1").c_str(), "r");
#else
  std::FILE* P = popen((Command + " 2>&1").c_str(), "r");
#endif
  if (P == nullptr) return -1;
  char Buffer[4096];
  size_t N;
  while ((N = std::fread(Buffer, 1, sizeof Buffer, P)) > 0) Output.append(Buffer, N);
#ifdef _WIN32
  return _pclose(P);
#else
  const int Status = pclose(P);
  return WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
#endif
}

const std::string Tool = std::string(LUMORA_BIN_DIR) + "/lumora-record";

bool Parse(std::vector<const char*> Args, TRecordOptions& O, std::string& Error) {
  Args.insert(Args.begin(), "lumora-record");
  return ParseRecordOptions(int(Args.size()), Args.data(), O, Error);
}

// ------------------------------------------------------------------ PNG writer

TEST(PngWriter, RoundTripsEveryPixelAndFilter) {
  for (const auto& [W, H, Pad] : {std::tuple{1u, 1u, 0u}, {37u, 29u, 12u}, {300u, 64u, 0u}}) {
    const uint32_t Stride = W * 4 + Pad;
    const std::vector<uint8_t> Pic = TestPicture(W, H, Stride);
    std::string Png, Error;
    ASSERT_TRUE(tools::EncodePng(Pic.data(), W, H, Stride, Png, Error)) << Error;
    uint32_t DW = 0, DH = 0;
    std::vector<uint8_t> Rgb;
    ASSERT_TRUE(DecodePng(Png, DW, DH, Rgb));
    ASSERT_EQ(DW, W);
    ASSERT_EQ(DH, H);
    for (uint32_t Y = 0; Y < H; ++Y)
      for (uint32_t X = 0; X < W; ++X)
        for (int C = 0; C < 3; ++C)
          ASSERT_EQ(Rgb[(size_t(Y) * W + X) * 3 + C], Pic[size_t(Y) * Stride + X * 4 + (2 - C)])
              << W << "x" << H << " at " << X << "," << Y << " channel " << C;
  }
}

TEST(PngWriter, ImageMagickReadsTheSamePixels) {
  std::string Out;
  if (Shell("convert -version", Out) != 0) GTEST_SKIP() << "ImageMagick convert not installed";
  TScratch S;
  const uint32_t W = 53, H = 40;
  const std::vector<uint8_t> Pic = TestPicture(W, H, W * 4);
  std::string Error;
  const fs::path File = S.Dir / "pic.png";
  ASSERT_TRUE(tools::WritePng(File.string(), Pic.data(), W, H, W * 4, Error)) << Error;
  ASSERT_EQ(
      Shell("convert '" + File.string() + "' rgb:'" + (S.Dir / "pic.rgb").string() + "'", Out), 0)
      << Out;
  const std::string Rgb = ReadFile(S.Dir / "pic.rgb");
  ASSERT_EQ(Rgb.size(), size_t(W) * H * 3);
  for (size_t I = 0; I < size_t(W) * H; ++I)
    for (int C = 0; C < 3; ++C) ASSERT_EQ(uint8_t(Rgb[I * 3 + C]), Pic[I * 4 + (2 - C)]) << I;
}

TEST(PngWriter, RefusesBadArgumentsAndKeepsFilesOnFailure) {
  const std::vector<uint8_t> Pic = TestPicture(4, 4, 16);
  std::string Png, Error;
  EXPECT_FALSE(tools::EncodePng(Pic.data(), 0, 4, 16, Png, Error));
  EXPECT_FALSE(tools::EncodePng(Pic.data(), 4, 0, 16, Png, Error));
  EXPECT_FALSE(tools::EncodePng(nullptr, 4, 4, 16, Png, Error));
  EXPECT_FALSE(tools::EncodePng(Pic.data(), 4, 4, 15, Png, Error)) << "stride shorter than a row";

  TScratch S;
  Error.clear();
  EXPECT_FALSE(
      tools::WritePng((S.Dir / "missing" / "x.png").string(), Pic.data(), 4, 4, 16, Error));
  EXPECT_NE(Error.find("cannot write"), std::string::npos) << Error;
  // A failed encode must not touch an existing file of that name.
  const fs::path Keep = S.Dir / "keep.png";
  std::ofstream(Keep) << "old";
  EXPECT_FALSE(tools::WritePng(Keep.string(), Pic.data(), 4, 4, 8, Error));
  EXPECT_EQ(ReadFile(Keep), "old");
  EXPECT_EQ(std::distance(fs::directory_iterator(S.Dir), fs::directory_iterator()), 1);
}

TEST(PngWriter, ReplacesAnEarlierFileOfTheSameName) {
  TScratch S;
  const fs::path File = S.Dir / "again.png";
  std::ofstream(File) << "old";
  const std::vector<uint8_t> Pic = TestPicture(5, 3, 20);
  std::string Png, Error;
  ASSERT_TRUE(tools::EncodePng(Pic.data(), 5, 3, 20, Png, Error)) << Error;
  for (int Time = 0; Time < 2; ++Time) {
    ASSERT_TRUE(tools::WritePng(File.string(), Pic.data(), 5, 3, 20, Error)) << Error;
    EXPECT_EQ(ReadFile(File), Png);
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(S.Dir), fs::directory_iterator()), 1);
}

// ------------------------------------------------------------------ options

TEST(RecordOptions, FrameThirdsExactlyWhenTheRateDivides3000) {
  uint32_t T = 0;
  for (const auto& [Fps, Thirds] :
       {std::pair{60u, 50u}, {30u, 100u}, {24u, 125u}, {25u, 120u}, {1u, 3000u}, {3000u, 1u}}) {
    ASSERT_TRUE(FrameThirdsForFps(Fps, T)) << Fps;
    EXPECT_EQ(T, Thirds) << Fps;
  }
  for (uint32_t Fps : {0u, 7u, 29u, 45u, 90u, 144u, 3001u, 6000u})
    EXPECT_FALSE(FrameThirdsForFps(Fps, T)) << Fps;
  const std::string List = ValidFpsList();
  EXPECT_EQ(List.rfind("1, 2, 3, 4, 5, 6, 8,", 0), 0u) << List;
  EXPECT_NE(List.find(" 24, 25, 30,"), std::string::npos);
  EXPECT_EQ(List.find(" 7,"), std::string::npos);
}

TEST(RecordOptions, ParsesValuesInBothFormsAndDerivesTheWork) {
  TRecordOptions O;
  std::string E;
  ASSERT_TRUE(Parse({}, O, E)) << E;
  EXPECT_EQ(O.Fps, 60u);
  EXPECT_EQ(O.FrameThirds, 50u);
  EXPECT_EQ(O.Output, "lumora-showcase.mp4");
  EXPECT_EQ(O.Scene, nullptr);
  EXPECT_TRUE(WantsVideo(O));

  ASSERT_TRUE(Parse({"--fps=24", "--scene", "outro", "--escape-at=1500", "--frames", "d",
                     "--output=v.mp4", "--assets", "a"},
                    O, E))
      << E;
  EXPECT_EQ(O.Fps, 24u);
  EXPECT_EQ(O.FrameThirds, 125u);
  EXPECT_EQ(O.Scene, &showcase::OutroScene);
  EXPECT_EQ(O.EscapeAtMs, 1500);
  EXPECT_EQ(O.FramesDir, "d");
  EXPECT_EQ(O.Output, "v.mp4");
  EXPECT_EQ(O.Assets, "a");

  // Stills: default and explicit file names; they record no video unless one is named.
  ASSERT_TRUE(Parse({"--still", "introduction:0", "--still=images:2700:out/a:b.png"}, O, E)) << E;
  ASSERT_EQ(O.Stills.size(), 2u);
  EXPECT_EQ(O.Stills[0].Scene, &showcase::IntroductionScene);
  EXPECT_EQ(O.Stills[0].File, "introduction-0.png");
  EXPECT_EQ(O.Stills[1].Step, 2700);
  EXPECT_EQ(O.Stills[1].File, "out/a:b.png");
  EXPECT_FALSE(WantsPlayback(O));
  ASSERT_TRUE(Parse({"--contact-sheet", "s.png", "--output", "v.mp4"}, O, E)) << E;
  EXPECT_TRUE(WantsVideo(O));
  ASSERT_TRUE(Parse({"--no-video", "--frames", "d"}, O, E)) << E;
  EXPECT_FALSE(WantsVideo(O));
  EXPECT_TRUE(WantsPlayback(O));

  // --help ends the parse: what follows it is not looked at.
  ASSERT_TRUE(Parse({"--help", "--bogus"}, O, E)) << E;
  EXPECT_TRUE(O.Help);
}

TEST(RecordOptions, RejectsBadCommandLinesWithAClearMessage) {
  struct TCase {
    std::vector<const char*> Args;
    const char* Says;
  };
  const TCase Cases[] = {
      {{"--fps", "7"}, "valid values: 1, 2, 3"},
      {{"--fps", "0"}, "must divide 3000"},
      {{"--fps", "60fps"}, "must divide 3000"},
      {{"--fps"}, "--fps needs a value"},
      {{"--scene", "intro"}, "scenes: introduction, primitives, fonts, images, outro"},
      {{"--escape-at", "-5"}, "expected milliseconds"},
      {{"--escape-at", "99999999999"}, "expected milliseconds"},
      {{"--still", "outro"}, "SCENE:STEP"},
      {{"--still", "outro:-1"}, "STEP must be"},
      {{"--still", "outro:1000001"}, "STEP must be"},
      {{"--still", "images:2852"}, "from 0 to 2851, the images scene's last step"},
      {{"--still", "outro:5:"}, "empty FILE"},
      {{"--still", "nope:5"}, "unknown scene"},
      {{"--output="}, "non-empty"},
      {{"--bogus"}, "unknown option '--bogus'"},
      {{"stray"}, "unknown option 'stray'"},
      {{"--no-video=1"}, "takes no value"},
      {{"--no-video"}, "nothing to do"},
      {{"--no-video", "--output", "x.mp4", "--frames", "d"}, "--no-video"},
  };
  for (const TCase& C : Cases) {
    TRecordOptions O;
    O.Fps = 999;
    std::string E;
    EXPECT_FALSE(Parse(C.Args, O, E)) << C.Says;
    EXPECT_NE(E.find(C.Says), std::string::npos) << "message: " << E;
    EXPECT_EQ(O.Fps, 999u) << "options changed by a failed parse";
  }
}

// ------------------------------------------------------------------ schedule and timeline

TEST(RecordSchedule, PredictsTheFramesAndClockOfARealRun) {
  for (uint32_t Thirds : {50u, 125u}) {
    for (const showcase::TScene* Scene : {&showcase::OutroScene, &showcase::FontsScene}) {
      const TSchedule Expected = PlaySchedule(Scene, Thirds);
      std::vector<uint64_t> Clocks;
      TPlayback P;
      P.FrameThirds = Thirds;
      P.Scene = Scene;
      P.OnFrame = [&](const uint8_t*, uint64_t Index, uint64_t Clock) {
        EXPECT_EQ(Index, Clocks.size());
        Clocks.push_back(Clock);
        return true;
      };
      const TPlayResult R = Play(P);
      EXPECT_EQ(R.Frames, Expected.Frames) << Scene->Name << " at " << Thirds;
      EXPECT_EQ(R.EndThirds, Expected.EndThirds) << Scene->Name << " at " << Thirds;
      ASSERT_EQ(Clocks.size(), R.Frames);
      EXPECT_EQ(Clocks[0], 0u);
      EXPECT_EQ(Clocks[1], Thirds);
      // The fade follows the outro but not the fonts scene; its passes sleep 15 ms each.
      const bool Fade = Scene == &showcase::OutroScene;
      EXPECT_EQ(Expected.Segments.back().Label, Fade ? "fade" : Scene->Name);
      if (Fade) {
        EXPECT_EQ(Clocks.back() - Clocks[Clocks.size() - 2], Thirds + 45);
      }
      EXPECT_EQ(SegmentLabel(Expected, 0), "start");
      EXPECT_EQ(SegmentLabel(Expected, 1), Scene->Name);
    }
  }
  // The whole presentation: the scenes in playing order (showcase::Scenes), a fade after all
  // but the fonts scene.
  const TSchedule All = PlaySchedule(nullptr, 50);
  std::string Order;
  for (const TSegment& S : All.Segments) Order += S.Label + " ";
  EXPECT_EQ(Order, "start introduction fade primitives fade fonts images fade outro fade ");
  EXPECT_NEAR(double(All.EndThirds) / 3000.0, 30 + 20 + 10 + 28.5 + 4 + 4 * 0.79, 0.5);
}

TEST(RecordSchedule, EscapeEndsTheRunEarly) {
  TPlayback P;
  P.EscapeAtMs = 1000;
  const TPlayResult R = Play(P);
  // The poll after a frame sees the clock already advanced: frame 59 is the last.
  EXPECT_EQ(R.Frames, 60u);
  EXPECT_EQ(R.EndThirds, 3000u);
}

std::vector<uint8_t> Screen(uint8_t V) { return std::vector<uint8_t>(lumora::SCREEN_BYTES, V); }

TEST(RecordTimeline, VideoFramesFollowTheVirtualClock) {
  const std::vector<uint8_t> A = Screen(1), B = Screen(2), C = Screen(3);
  std::vector<uint8_t> Got;
  const TVideoWriter Write = [&](const uint8_t* F) {
    Got.push_back(F[0]);
    return true;
  };
  TTimeline T;
  T.FrameThirds = 50;
  // Frames every 50 thirds map one to one.
  ASSERT_TRUE(TimelineAdd(T, A.data(), 0, Write));
  ASSERT_TRUE(TimelineAdd(T, B.data(), 50, Write));
  // A pause (a fade's sleep): B stays on screen for the video frames at 100 and 150, and C
  // lasts to the end of the run.
  ASSERT_TRUE(TimelineAdd(T, C.data(), 195, Write));
  ASSERT_TRUE(TimelineFinish(T, 290, Write));
  EXPECT_EQ(Got, (std::vector<uint8_t>{1, 2, 2, 2, 3, 3}));
  EXPECT_EQ(T.Emitted, 6u);

  // Black before the first frame; of two frames between video frames only the later is seen.
  Got.clear();
  TTimeline U;
  U.FrameThirds = 100;
  ASSERT_TRUE(TimelineAdd(U, A.data(), 10, Write));
  ASSERT_TRUE(TimelineAdd(U, B.data(), 60, Write));
  ASSERT_TRUE(TimelineFinish(U, 150, Write));
  EXPECT_EQ(Got, (std::vector<uint8_t>{0, 2}));

  // A failing writer stops the timeline.
  TTimeline V;
  const TVideoWriter Refuse = [](const uint8_t*) { return false; };
  ASSERT_TRUE(TimelineAdd(V, A.data(), 0, Refuse));
  EXPECT_FALSE(TimelineAdd(V, B.data(), 50, Refuse));
  EXPECT_FALSE(TimelineFinish(V, 500, Refuse));
}

// ------------------------------------------------------------------ rendering

std::vector<uint64_t> FrameHashes(const showcase::TScene* Scene, int64_t EscapeAtMs) {
  std::vector<uint64_t> Hashes;
  TPlayback P;
  P.Scene = Scene;
  P.EscapeAtMs = EscapeAtMs;
  P.OnFrame = [&](const uint8_t* F, uint64_t, uint64_t) {
    Hashes.push_back(Hash(F, lumora::SCREEN_BYTES));
    return true;
  };
  Play(P);
  return Hashes;
}

TEST(RecordRender, TwoRunsPresentIdenticalFrames) {
  for (const auto& [Scene, Escape] :
       {std::pair{&showcase::OutroScene, int64_t(2000)},
        {&showcase::ImagesScene, int64_t(4000)},
        {static_cast<const showcase::TScene*>(nullptr), int64_t(2500)}}) {
    const std::vector<uint64_t> First = FrameHashes(Scene, Escape);
    const std::vector<uint64_t> Second = FrameHashes(Scene, Escape);
    ASSERT_GT(First.size(), 100u);
    EXPECT_EQ(First, Second) << (Scene ? Scene->Name : "whole presentation");
  }
}

TEST(RecordRender, StillsDependOnlyOnSceneAndStep) {
  WithLoadedShowcase([] {
    RenderStep(showcase::IntroductionScene, 0);
    for (uint32_t I = 0; I < lumora::SCREEN_BYTES; I += 4) {
      ASSERT_EQ(
          lumora::VirtualScreen[I] | lumora::VirtualScreen[I + 1] | lumora::VirtualScreen[I + 2], 0)
          << "pixel " << I / 4 << " of introduction step 0 is not black";
    }
    RenderStep(showcase::ImagesScene, 2700);
    const uint64_t Once = Hash(lumora::VirtualScreen, lumora::SCREEN_BYTES);
    RenderStep(showcase::PrimitivesScene, 399);
    RenderStep(showcase::FontsScene, 450);
    RenderStep(showcase::ImagesScene, 2700);
    EXPECT_EQ(Hash(lumora::VirtualScreen, lumora::SCREEN_BYTES), Once);
  });
}

// ------------------------------------------------------------------ the tool

TEST(RecordTool, WritesFramesStillsAndAVideo) {
  TScratch S;
  std::string Out;
  const std::string D = S.Dir.string();
  ASSERT_EQ(Shell("cd '" + D + "' && '" + Tool +
                      "' -q --scene outro --escape-at 100 --no-video --frames f"
                      " --still introduction:0 --still outro:500:o.png",
                  Out),
            0)
      << Out;
  // Escape at 100 ms: the black opening frame and the frames up to the poll at 100 ms.
  size_t Frames = 0;
  for (const auto& E : fs::directory_iterator(S.Dir / "f"))
    Frames += E.path().extension() == ".png";
  EXPECT_EQ(Frames, 6u);
  EXPECT_TRUE(fs::exists(S.Dir / "f" / "frame_000005.png"));
  EXPECT_NE(Out.find("wrote 6 frames to " + (S.Dir / "f").string()), std::string::npos) << Out;
  uint32_t W = 0, H = 0;
  std::vector<uint8_t> Rgb;
  ASSERT_TRUE(DecodePng(ReadFile(S.Dir / "introduction-0.png"), W, H, Rgb));
  EXPECT_EQ(W, 1024u);
  EXPECT_EQ(H, 768u);
  EXPECT_EQ(std::count(Rgb.begin(), Rgb.end(), 0), std::ptrdiff_t(Rgb.size())) << "step 0 is black";
  EXPECT_TRUE(fs::exists(S.Dir / "o.png"));

  if (Shell("ffmpeg -version", Out) != 0) GTEST_SKIP() << "ffmpeg not installed";
  ASSERT_EQ(
      Shell("'" + Tool + "' -q --scene outro --escape-at 200 --output '" + D + "/v.mp4'", Out), 0)
      << Out;
  EXPECT_NE(Out.find("wrote " + D + "/v.mp4"), std::string::npos) << Out;
  const std::string Mp4 = ReadFile(S.Dir / "v.mp4");
  ASSERT_GT(Mp4.size(), 1000u);
  EXPECT_EQ(Mp4.substr(4, 4), "ftyp");
  EXPECT_FALSE(fs::exists(S.Dir / "v.mp4.part"));
}

TEST(RecordTool, FailsClearlyAndLeavesNothingBehind) {
  TScratch S;
  const std::string D = S.Dir.string();
  std::string Out;
  EXPECT_EQ(Shell("'" + Tool + "' --fps 7", Out), 2);
  EXPECT_NE(Out.find("valid values"), std::string::npos) << Out;
  EXPECT_EQ(Shell("'" + Tool + "' --help", Out), 0);
  EXPECT_NE(Out.find("--escape-at MS"), std::string::npos) << Out;

  EXPECT_EQ(Shell("'" + Tool + "' -q --scene outro --output '" + D + "/no/such/v.mp4'", Out), 1);
  EXPECT_NE(Out.find("cannot write " + D + "/no/such/v.mp4"), std::string::npos) << Out;

  // No ffmpeg on the PATH: said before any work, and the placeholder file is gone.
  EXPECT_EQ(
      Shell("PATH=/nonexistent '" + Tool + "' -q --scene outro --output '" + D + "/v.mp4'", Out),
      1);
  EXPECT_NE(Out.find("ffmpeg not found"), std::string::npos) << Out;
  EXPECT_TRUE(fs::is_empty(S.Dir)) << "left files in " << D;

  EXPECT_EQ(Shell("'" + Tool + "' --assets '" + D + "/none' --still outro:1", Out), 1);
  EXPECT_NE(Out.find("not a directory"), std::string::npos) << Out;
}

}  // namespace
