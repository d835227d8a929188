// lumora-record: plays the showcase headless and writes an MP4, PNG frames, stills or a sheet.
// Relies on the recorder's options, playback and video parts and on the PNG writer.
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include <chrono>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <cstdio>
#include <filesystem>
#include <string>

#include "tools/common/frame_hash.h"
#include "tools/common/png_write.h"
#include "tools/record/options.h"
#include "tools/record/playback.h"
#include "tools/record/video.h"

// After the library's headers, whose constants share names with the system's macros.
#include "lumora/internal/win32.h"

namespace fs = std::filesystem;
using namespace record;

namespace {

volatile std::sig_atomic_t Interrupted = 0;
void OnInterrupt(int) { Interrupted = 1; }

void Fail(const std::string& Message) {
  std::fprintf(stderr, "lumora-record: %s\n", Message.c_str());
}

void Warn(const std::string& Message) {
  std::fprintf(stderr, "lumora-record: warning: %s\n", Message.c_str());
}

std::string Absolute(const std::string& Path) {
  std::error_code Ec;
  const fs::path P = fs::absolute(Path, Ec);
  return Ec ? Path : P.lexically_normal().string();
}

bool HasFonts(const fs::path& Dir) {
  std::error_code Ec;
  return fs::is_directory(Dir / "Fonts", Ec);
}

// The folder of the running program; empty when the system does not say.
fs::path ProgramFolder() {
#ifdef _WIN32
  std::wstring Path(32768, L'\0');
  const DWORD N = GetModuleFileNameW(nullptr, Path.data(), DWORD(Path.size()));
  if (N == 0 || N >= Path.size()) return {};
  Path.resize(N);
  return fs::path(Path).parent_path();
#else
  std::error_code Ec;
  return fs::read_symlink("/proc/self/exe", Ec).parent_path();
#endif
}

// Moves into the folder that holds Fonts/ and Pictures/: the catalogue's paths are relative.
bool EnterAssets(const std::string& Given, std::string& Error) {
  std::error_code Ec;
  fs::path Dir;
  if (!Given.empty()) {
    Dir = Given;
    if (!fs::is_directory(Dir, Ec)) {
      Error = "--assets " + Given + ": not a directory";
      return false;
    }
    if (!HasFonts(Dir))
      Warn("no Fonts/ in " + Given +
           "; texts and pictures that are missing are not drawn");
  } else {
    const fs::path Here = fs::current_path(Ec);
    const fs::path Beside = ProgramFolder();
    if (HasFonts(Here)) return true;
    if (!Beside.empty() && HasFonts(Beside)) {
      Dir = Beside;
    } else {
      Warn("no Fonts/ in " + Here.string() +
           (Beside.empty() ? "" : " or " + Beside.string()) +
           "; texts and pictures will be missing (use --assets DIR)");
      return true;
    }
  }
  fs::current_path(Dir, Ec);
  if (Ec) {
    Error = "cannot enter " + Dir.string();
    return false;
  }
  return true;
}

// The progress line: rewritten in place on a terminal, one line per part otherwise.
struct TProgress {
  bool Enabled = true;
  bool Terminal = false;
  bool Shown = false;
  std::string Label;
  std::chrono::steady_clock::time_point Last{};
};

void ShowProgress(TProgress& P, const TSchedule& Schedule, bool Escape, uint64_t Index,
                  uint64_t ClockThirds) {
  if (!P.Enabled) return;
  const std::string& Label = SegmentLabel(Schedule, Index);
  const auto Now = std::chrono::steady_clock::now();
  const bool NewPart = Label != P.Label;
  P.Label = Label;
  const double Seconds = double(ClockThirds) / 3000.0;
  if (!P.Terminal) {
    if (NewPart && Label != "fade" && Label != "start")
      std::fprintf(stderr, "lumora-record: %s from frame %llu (%.2f s)\n", Label.c_str(),
                   (unsigned long long)Index, Seconds);
    return;
  }
  if (!NewPart && Now - P.Last < std::chrono::milliseconds(200)) return;
  P.Last = Now;
  P.Shown = true;
  if (Escape)
    std::fprintf(stderr, "\rlumora-record: frame %llu  %7.2f s  %-12s", (unsigned long long)Index,
                 Seconds, Label.c_str());
  else
    std::fprintf(stderr, "\rlumora-record: frame %llu/%llu  %7.2f s of %.2f s  %-12s",
                 (unsigned long long)Index, (unsigned long long)Schedule.Frames, Seconds,
                 double(Schedule.EndThirds) / 3000.0, Label.c_str());
  std::fflush(stderr);
}

bool WriteStills(const TRecordOptions& O) {
  bool Ok = true;
  WithLoadedShowcase([&] {
    std::string Error;
    for (const TStill& S : O.Stills) {
      RenderStep(*S.Scene, S.Step);
      if (!tools::WritePng(S.File, lumora::VirtualScreen, lumora::SCREEN_WIDTH,
                           lumora::SCREEN_HEIGHT, lumora::ROW_BYTES, Error)) {
        Fail(Error);
        Ok = false;
        return;
      }
      std::printf("lumora-record: wrote %s (%s, step %d)\n", S.File.c_str(), S.Scene->Name, S.Step);
    }
    if (O.ContactSheet.empty()) return;
    const TSheet Sheet = RenderContactSheet();
    if (!tools::WritePng(O.ContactSheet, Sheet.Pixels.data(), Sheet.Width, Sheet.Height,
                         Sheet.Width * 4, Error)) {
      Fail(Error);
      Ok = false;
      return;
    }
    std::printf("lumora-record: wrote contact sheet %s (%u x %u)\n", O.ContactSheet.c_str(),
                Sheet.Width, Sheet.Height);
  });
  return Ok;
}

bool Record(const TRecordOptions& O) {
  const bool Video = WantsVideo(O);
  const bool Escape = O.EscapeAtMs >= 0;
  const TSchedule Schedule = PlaySchedule(O.Scene, O.FrameThirds);
  TProgress Progress;
  Progress.Enabled = !O.Quiet;
#ifdef _WIN32
  Progress.Terminal = _isatty(_fileno(stderr)) != 0;
#else
  Progress.Terminal = isatty(STDERR_FILENO) != 0;
#endif

  std::string Error;
  if (!O.FramesDir.empty()) {
    std::error_code Ec;
    fs::create_directories(O.FramesDir, Ec);
    if (!fs::is_directory(O.FramesDir)) {
      Fail("cannot create the frame folder " + O.FramesDir + (Ec ? ": " + Ec.message() : ""));
      return false;
    }
  }
  std::FILE* Hashes = nullptr;
  if (!O.HashesFile.empty()) {
    // Binary: the lines end in '\n' on every system, as the reference lists do.
    Hashes = std::fopen(O.HashesFile.c_str(), "wb");
    if (Hashes == nullptr) {
      Fail("cannot write " + O.HashesFile + ": " + std::strerror(errno));
      return false;
    }
  }
  TFfmpeg Ffmpeg;
  if (Video && !StartFfmpeg(Ffmpeg, O.Output, O.Fps, Error)) {
    Fail(Error);
    return false;
  }

  TTimeline Timeline;
  Timeline.FrameThirds = O.FrameThirds;
  const TVideoWriter ToFfmpeg = [&](const uint8_t* Frame) {
    return WriteVideoFrame(Ffmpeg, Frame, Error);
  };
  bool Failed = false;
  uint64_t FramesWritten = 0;

  TPlayback Playback;
  Playback.FrameThirds = O.FrameThirds;
  Playback.EscapeAtMs = O.EscapeAtMs;
  Playback.Scene = O.Scene;
  Playback.OnFrame = [&](const uint8_t* Frame, uint64_t Index, uint64_t ClockThirds) {
    if (Failed) return false;
    ShowProgress(Progress, Schedule, Escape, Index, ClockThirds);
    if (Interrupted) {
      Error = "interrupted";
      Failed = true;
      return false;
    }
    if (!O.FramesDir.empty()) {
      char Name[32];
      std::snprintf(Name, sizeof Name, "frame_%06llu.png", (unsigned long long)Index);
      if (!tools::WritePng((fs::path(O.FramesDir) / Name).string(), Frame, lumora::SCREEN_WIDTH,
                           lumora::SCREEN_HEIGHT, lumora::ROW_BYTES, Error)) {
        Failed = true;
        return false;
      }
      ++FramesWritten;
    }
    if (Hashes != nullptr) {
      std::fprintf(Hashes, "%s\n",
                   tools::FormatHashLine(ScheduledHashLine(Schedule, Index, Frame)).c_str());
    }
    if (Video && !TimelineAdd(Timeline, Frame, ClockThirds, ToFfmpeg)) {
      Failed = true;
      return false;
    }
    return true;
  };
  std::signal(SIGINT, OnInterrupt);
  std::signal(SIGTERM, OnInterrupt);
  const TPlayResult Result = Play(Playback);
  if (!Failed && Video && !TimelineFinish(Timeline, Result.EndThirds, ToFfmpeg)) Failed = true;
  if (Progress.Shown) std::fputc('\n', stderr);

  const double Seconds = double(Result.EndThirds) / 3000.0;
  if (Video && !FinishFfmpeg(Ffmpeg, !Failed, Error)) Failed = true;
  if (Hashes != nullptr && (std::ferror(Hashes) || std::fclose(Hashes) != 0) && !Failed) {
    Error = "cannot write " + O.HashesFile + ": " + std::strerror(errno);
    Failed = true;
  }
  if (Failed) {
    Fail(Error.empty() ? "recording failed" : Error);
    if (Video) Fail("no video written");
    return false;
  }
  if (!O.HashesFile.empty())
    std::printf("lumora-record: wrote the hashes of %llu frames to %s\n",
                (unsigned long long)Result.Frames, O.HashesFile.c_str());
  if (!O.FramesDir.empty())
    std::printf("lumora-record: wrote %llu frames to %s\n", (unsigned long long)FramesWritten,
                O.FramesDir.c_str());
  if (Video)
    std::printf("lumora-record: wrote %s (%llu frames at %u fps, %.2f s)\n", O.Output.c_str(),
                (unsigned long long)Ffmpeg.Frames, O.Fps, Seconds);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  TRecordOptions O;
  std::string Error;
  if (!ParseRecordOptions(argc, argv, O, Error)) {
    Fail(Error + " (try --help)");
    return 2;
  }
  if (O.Help) {
    std::fputs(UsageText(), stdout);
    return 0;
  }
  // Output paths belong to the directory the tool was started in, not the assets folder.
  O.Output = Absolute(O.Output);
  if (!O.FramesDir.empty()) O.FramesDir = Absolute(O.FramesDir);
  if (!O.HashesFile.empty()) O.HashesFile = Absolute(O.HashesFile);
  if (!O.ContactSheet.empty()) O.ContactSheet = Absolute(O.ContactSheet);
  for (TStill& S : O.Stills) S.File = Absolute(S.File);
  if (!EnterAssets(O.Assets, Error)) {
    Fail(Error);
    return 1;
  }
  if ((!O.Stills.empty() || !O.ContactSheet.empty()) && !WriteStills(O)) return 1;
  if (WantsPlayback(O) && !Record(O)) return 1;
  return 0;
}
