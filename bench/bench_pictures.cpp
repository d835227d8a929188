// Benchmarks of ShowAlphaScaleBMPPicture (own size, scaled up, opaque, blended, with a
// transparent colour) and of LoadBMPPicture, reported per destination pixel.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "lumora/lumora.h"

using namespace lumora;

namespace {

// A 400 x 300 picture of varied colours with about one pixel in eight white.
struct Picture400 {
  std::vector<uint8_t> Pixels = std::vector<uint8_t>(400 * 300 * 4);
  TPicture P;
  Picture400() {
    uint32_t S = 1;
    for (size_t I = 0; I < Pixels.size(); I += 4) {
      S = S * 1103515245u + 12345u;
      const bool White = (S >> 28) == 0 || (S >> 28) == 1;
      for (size_t C = 0; C < 3; ++C) Pixels[I + C] = White ? 255 : uint8_t(S >> (8 + 4 * C));
    }
    P.Loaded = true;
    P.ImageWidth = 400;
    P.ImageHeight = 300;
    P.PictureAdr = Pixels.data();
  }
};

void OpenDisplay() {
  static bool Open = false;
  if (Open) return;
  UseHeadlessPlatform();
  InitLumora("bench");
  Open = true;
}

// Draws the picture at (0, 0), so every destination pixel lies on the screen.
void Show(benchmark::State& State, uint32_t W, uint32_t H, uint8_t Alpha, bool Transparent) {
  OpenDisplay();
  static Picture400 Pic;
  for (auto _ : State) {
    ShowAlphaScaleBMPPicture(0, 0, Pic.P, W, H, Alpha, Transparent, TColor{255, 255, 255, 0});
    benchmark::ClobberMemory();
  }
  const int64_t Drawn = int64_t(W) * H;
  State.counters["ns_per_pixel"] = benchmark::Counter(
      double(State.iterations()) * double(Drawn), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void OwnSizeOpaque(benchmark::State& S) { Show(S, 400, 300, 0, false); }
void OwnSizeAlpha128(benchmark::State& S) { Show(S, 400, 300, 128, false); }
void OwnSizeTransparentColour(benchmark::State& S) { Show(S, 400, 300, 0, true); }
void Scaled800Opaque(benchmark::State& S) { Show(S, 800, 600, 0, false); }
void Scaled800Alpha128(benchmark::State& S) { Show(S, 800, 600, 128, false); }
void Scaled1024Opaque(benchmark::State& S) { Show(S, 1024, 768, 0, false); }
void Scaled1024Alpha128(benchmark::State& S) { Show(S, 1024, 768, 128, false); }

// Loading a 1024 x 768 24-bit file (from the page cache).
void Load1024x768(benchmark::State& State) {
  OpenDisplay();
  char Path[] = "/tmp/lumora-bench-XXXXXX";
  const int Fd = mkstemp(Path);
  if (Fd < 0) std::abort();
  std::vector<uint8_t> File(54 + 1024 * 768 * 3);
  const uint8_t Head[] = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0,
                          0, 4, 0, 0, 0, 3, 0, 0, 1, 0, 24, 0};
  std::copy(std::begin(Head), std::end(Head), File.begin());
  for (size_t I = 54; I < File.size(); ++I) File[I] = uint8_t(I * 7);
  if (write(Fd, File.data(), File.size()) != ssize_t(File.size())) std::abort();
  close(Fd);
  for (auto _ : State) {
    TPicture P;
    uint8_t Code = 0;
    LoadBMPPicture(Path, P, Code);
    if (Code != BMP_OK) State.SkipWithError("load failed");
    FreeBMPPicture(P);
  }
  unlink(Path);
  State.counters["ns_per_pixel"] = benchmark::Counter(
      double(State.iterations()) * 1024 * 768, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

}  // namespace

BENCHMARK(OwnSizeOpaque);
BENCHMARK(OwnSizeAlpha128);
BENCHMARK(OwnSizeTransparentColour);
BENCHMARK(Scaled800Opaque);
BENCHMARK(Scaled800Alpha128);
BENCHMARK(Scaled1024Opaque);
BENCHMARK(Scaled1024Alpha128);
BENCHMARK(Load1024x768)->Unit(benchmark::kMillisecond);
