// Benchmarks of the primitives and the span blends, reported as time per pixel written.
// Relies on the headless display; "per_px" counters are seconds per pixel (shown as ns).
#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "lumora/internal/blend.h"
#include "lumora/lumora.h"

namespace {

using namespace lumora;

void OpenDisplay() {
  static const bool Open = [] {
    UseHeadlessPlatform();
    InitLumora("bench");
    return true;
  }();
  (void)Open;
  SetViewPort(0, 0, SCREEN_WIDTH - 1, SCREEN_HEIGHT - 1);
  ClearVirtualScreen();
}

// Distinct pixels one call of Draw changes on a black screen.
template <typename Draw>
int64_t PixelsOf(Draw&& D) {
  const TColor Saved = Color;
  ClearVirtualScreen();
  SetColor(255, 255, 255, 0);
  D();
  int64_t N = 0;
  for (uint32_t I = 0; I < SCREEN_BYTES; I += 4) N += VirtualScreen[I] != 0;
  Color = Saved;
  ClearVirtualScreen();
  return N;
}

void PerPixel(benchmark::State& State, int64_t PixelsPerIteration) {
  State.counters["per_px"] = benchmark::Counter(double(PixelsPerIteration) * double(State.iterations()),
                                                benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_Pixel(benchmark::State& State) {
  OpenDisplay();
  SetColor(200, 100, 50, uint8_t(State.range(0)));
  std::vector<std::pair<int32_t, int32_t>> Points;
  std::mt19937 Rng(1);
  for (int I = 0; I < 4096; ++I) Points.push_back({int32_t(Rng() % 1100) - 40, int32_t(Rng() % 800) - 16});
  int64_t Written = 0;  // calls that land on the screen; the others only clip
  for (const auto& [X, Y] : Points) Written += X >= 0 && X < SCREEN_WIDTH && Y >= 0 && Y < SCREEN_HEIGHT;
  for (auto _ : State)
    for (const auto& [X, Y] : Points) Pixel(X, Y);
  PerPixel(State, Written);
}
BENCHMARK(BM_Pixel)->Arg(0)->Arg(100);

// A fan of lines of the given length from the screen centre, opaque or translucent.
void BM_Line(benchmark::State& State) {
  OpenDisplay();
  const int32_t Length = int32_t(State.range(0));
  SetColor(30, 200, 90, uint8_t(State.range(1)));
  std::vector<std::array<int32_t, 4>> Lines;
  for (int32_t A = 0; A < 64; ++A) {
    const double T = A * 6.283185307179586 / 64;
    Lines.push_back({512, 384, 512 + int32_t(Length * std::cos(T)), 384 + int32_t(Length * std::sin(T))});
  }
  int64_t Pixels = 0;
  for (const auto& L : Lines) Pixels += PixelsOf([&] { Line(L[0], L[1], L[2], L[3]); });
  for (auto _ : State)
    for (const auto& L : Lines) Line(L[0], L[1], L[2], L[3]);
  PerPixel(State, Pixels);
}
BENCHMARK(BM_Line)->Args({20, 0})->Args({20, 100})->Args({380, 0})->Args({380, 100});

// Random translucent lines, some reaching far outside the screen.
void BM_RandomLines(benchmark::State& State) {
  OpenDisplay();
  SetColor(250, 20, 120, 100);
  std::mt19937 Rng(2);
  std::vector<std::array<int32_t, 4>> Lines;
  for (int I = 0; I < 256; ++I)
    Lines.push_back({int32_t(Rng() % 1400) - 200, int32_t(Rng() % 1100) - 150,
                     int32_t(Rng() % 1400) - 200, int32_t(Rng() % 1100) - 150});
  int64_t Pixels = 0;
  for (const auto& L : Lines) Pixels += PixelsOf([&] { Line(L[0], L[1], L[2], L[3]); });
  for (auto _ : State)
    for (const auto& L : Lines) Line(L[0], L[1], L[2], L[3]);
  PerPixel(State, Pixels);
}
BENCHMARK(BM_RandomLines);

void BM_ThinCircles(benchmark::State& State) {
  OpenDisplay();
  SetColor(255, 255, 0, uint8_t(State.range(0)));
  int64_t Pixels = 0;
  for (int32_t R = 20; R <= 200; R += 10) Pixels += PixelsOf([&] { Circle(512, 384, R); });
  for (auto _ : State)
    for (int32_t R = 20; R <= 200; R += 10) Circle(512, 384, R);
  PerPixel(State, Pixels);
}
BENCHMARK(BM_ThinCircles)->Arg(0)->Arg(100);

void BM_Ring(benchmark::State& State) {
  OpenDisplay();
  SetColor(0, 128, 255, 100);
  const int64_t Pixels = PixelsOf([] { Circle(512, 384, 160, 9); });
  for (auto _ : State) Circle(512, 384, 160, 9);
  PerPixel(State, Pixels);
}
BENCHMARK(BM_Ring);

void BM_RectangleWidth5(benchmark::State& State) {
  OpenDisplay();
  SetColor(90, 90, 255, uint8_t(State.range(0)));
  const int64_t Pixels = PixelsOf([] { Rectangle(100, 100, 900, 650, 5); });
  for (auto _ : State) Rectangle(100, 100, 900, 650, 5);
  PerPixel(State, Pixels);
}
BENCHMARK(BM_RectangleWidth5)->Arg(0)->Arg(100);

void BM_FillScreen(benchmark::State& State) {
  OpenDisplay();
  SetColor(10, 20, 30, uint8_t(State.range(0)));
  for (auto _ : State) FillRectangle(0, 0, SCREEN_WIDTH - 1, SCREEN_HEIGHT - 1);
  PerPixel(State, int64_t(SCREEN_WIDTH) * SCREEN_HEIGHT);
}
BENCHMARK(BM_FillScreen)->Arg(0)->Arg(100);

// The span kernels on whole screen rows (Arg: 0 scalar, 1 SSE2, 2 AVX2, 3 AVX-512, 4 NEON).
void BM_ColorSpanKernel(benchmark::State& State) {
  OpenDisplay();
  const auto Kernel = detail::TSpanKernel(State.range(0));
  if (!detail::SpanKernelAvailable(Kernel)) {
    State.SkipWithError("kernel not available");
    return;
  }
  const TColor C{10, 20, 30, 100};
  for (auto _ : State)
    for (int32_t Y = 0; Y < SCREEN_HEIGHT; ++Y)
      detail::ColorSpanWith(Kernel, VirtualScreen + size_t(Y) * ROW_BYTES, SCREEN_WIDTH, C);
  PerPixel(State, int64_t(SCREEN_WIDTH) * SCREEN_HEIGHT);
}
BENCHMARK(BM_ColorSpanKernel)->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Arg(4);

void BM_PictureSpanKernel(benchmark::State& State) {
  OpenDisplay();
  const auto Kernel = detail::TSpanKernel(State.range(0));
  if (!detail::SpanKernelAvailable(Kernel)) {
    State.SkipWithError("kernel not available");
    return;
  }
  // The source is offset from the screen's page position: with both at the same address
  // modulo 4096 each load would wait on the store just before it (4K aliasing).
  std::vector<uint8_t> Buffer(SCREEN_BYTES + 2048);
  uint8_t* const Picture = Buffer.data() + 1040;
  for (uint32_t I = 0; I < SCREEN_BYTES; ++I) Picture[I] = uint8_t(I * 7);
  for (auto _ : State)
    for (int32_t Y = 0; Y < SCREEN_HEIGHT; ++Y)
      detail::PictureSpanWith(Kernel, VirtualScreen + size_t(Y) * ROW_BYTES,
                              Picture + size_t(Y) * ROW_BYTES, SCREEN_WIDTH, 100);
  PerPixel(State, int64_t(SCREEN_WIDTH) * SCREEN_HEIGHT);
}
BENCHMARK(BM_PictureSpanKernel)->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Arg(4);

}  // namespace
