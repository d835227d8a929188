// Frame-time benchmark of the showcase: every step of every scene rendered headless with
// the real Fonts/ and Pictures/, reported as median and worst milliseconds per frame.
// Relies on the showcase scenes and the headless platform; run from the build's bin dir.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "ShowCase/showcase.h"

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point Start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - Start).count();
}

double Median(std::vector<double> V) {
  if (V.empty()) return 0;
  const size_t Mid = V.size() / 2;
  std::nth_element(V.begin(), V.begin() + long(Mid), V.end());
  if (V.size() % 2 == 1) return V[Mid];
  const double Upper = V[Mid];
  return (*std::max_element(V.begin(), V.begin() + long(Mid)) + Upper) / 2;
}

void Usage() {
  std::printf(
      "Usage: bench_scenes [--passes N] [--scene NAME]\n"
      "Renders every step of every showcase scene headless with the real assets and prints\n"
      "the median and worst milliseconds per frame of each scene, then times one whole\n"
      "headless presentation (scenes and fades, as played at 60 frames per second).\n"
      "Fonts/ and Pictures/ are read from the current directory, or else from the\n"
      "directory of this program (the build's bin/).\n"
      "  --passes N    render each step N times and keep its median (default 3)\n"
      "  --scene NAME  only this scene (introduction, primitives, fonts, images, outro)\n"
      "  -h, --help    show this help\n");
}

// Finds the assets: the current directory, or the directory of this program.
bool EnterAssetDirectory() {
  namespace fs = std::filesystem;
  if (fs::is_directory("Fonts") && fs::is_directory("Pictures")) return true;
  std::error_code Error;
  const fs::path Self = fs::read_symlink("/proc/self/exe", Error);
  if (Error) return false;
  const fs::path Dir = Self.parent_path();
  if (!fs::is_directory(Dir / "Fonts")) return false;
  return chdir(Dir.c_str()) == 0;
}

// A progress line on a terminal, overwritten by the next one.
void Progress(const char* What) {
  if (isatty(STDERR_FILENO)) std::fprintf(stderr, "%-50s\r", What);
}

size_t CountLoaded() {
  size_t N = 0;
  for (int32_t I = 0; I < showcase::FONT_COUNT; ++I) N += showcase::Font(I).Loaded;
  for (const lumora::TPicture& P : showcase::Pictures) N += P.Loaded;
  return N;
}

}  // namespace

int main(int argc, char** argv) {
  int Passes = 3;
  std::string Only;
  for (int I = 1; I < argc; ++I) {
    const std::string A = argv[I];
    if (A == "-h" || A == "--help") {
      Usage();
      return 0;
    } else if (A == "--passes" && I + 1 < argc) {
      Passes = std::atoi(argv[++I]);
      if (Passes < 1 || Passes > 1000) {
        std::fprintf(stderr, "bench_scenes: --passes takes 1 to 1000\n");
        return 2;
      }
    } else if (A == "--scene" && I + 1 < argc) {
      Only = argv[++I];
    } else {
      std::fprintf(stderr, "bench_scenes: unknown argument '%s' (try --help)\n", A.c_str());
      return 2;
    }
  }
  if (!EnterAssetDirectory())
    std::fprintf(stderr, "bench_scenes: Fonts/ and Pictures/ not found; the scenes draw what loads\n");

  lumora::UseHeadlessPlatform();
  showcase::OpenShowcase();
  std::printf("assets loaded: %zu of %d\n", CountLoaded(),
              showcase::FONT_COUNT + showcase::PICTURE_COUNT);
  std::printf("%-13s %7s %11s %11s %11s %10s\n", "scene", "frames", "median ms", "worst ms",
              "worst step", "total s");

  double AllSteps = 0;
  bool Matched = Only.empty();
  for (const showcase::TSequenceItem& Item : showcase::Sequence) {
    const showcase::TScene* Scene = Item.Scene;
    if (!Only.empty() && Only != Scene->Name) continue;
    Matched = true;
    Progress((std::string("rendering ") + Scene->Name + " ...").c_str());
    std::vector<double> Times;
    Times.reserve(size_t(Scene->EndAt) + 1);
    std::vector<double> PassTimes(static_cast<size_t>(Passes), 0.0);
    int32_t WorstStep = 0;
    double Worst = -1;
    for (int32_t Step = 0; Step <= Scene->EndAt; ++Step) {
      for (int P = 0; P < Passes; ++P) {
        const Clock::time_point Start = Clock::now();
        Scene->DrawFrame(Step);
        lumora::Flip();
        PassTimes[size_t(P)] = MsSince(Start);
      }
      const double T = Median(PassTimes);
      if (T > Worst) {
        Worst = T;
        WorstStep = Step;
      }
      Times.push_back(T);
    }
    double Total = 0;
    for (double T : Times) Total += T;
    AllSteps += Total;
    Progress("");
    std::printf("%-13s %7zu %11.3f %11.3f %11d %10.3f\n", Scene->Name, Times.size(), Median(Times),
                Worst, WorstStep, Total / 1000);
  }
  if (!Matched) {
    std::fprintf(stderr, "bench_scenes: no scene named '%s'\n", Only.c_str());
    return 2;
  }
  std::printf("every step of the scenes above: %.3f s\n", AllSteps / 1000);
  showcase::CloseShowcase();

  if (Only.empty()) {
    // The presentation as played: frames every 1000/60 ms of virtual time, fades included.
    Progress("playing the whole presentation ...");
    lumora::UseHeadlessPlatform();
    const Clock::time_point Start = Clock::now();
    showcase::RunShowcase();
    const double Ms = MsSince(Start);
    const uint64_t Frames = lumora::HeadlessFrameCount();
    Progress("");
    std::printf("whole presentation: %llu frames in %.3f s (%.3f ms per frame, loading included)\n",
                (unsigned long long)Frames, Ms / 1000, Ms / double(Frames));
  }
  return 0;
}
