// Benchmarks of WriteText (opaque and translucent) and GetTextLength on a 60-character line
// in the showcase's 21-pixel font. Relies on lumora (headless) and the committed fonts.
#include <benchmark/benchmark.h>

#include <bit>
#include <cstdio>
#include <cstdlib>

#include "lumora/lumora.h"

namespace {

using namespace lumora;

const std::string LINE = "Sphinx of black quartz, judge my vow: 0123456789 (21 px) ok.";
static_assert(sizeof("Sphinx of black quartz, judge my vow: 0123456789 (21 px) ok.") == 61);

// Opens the headless display and loads the font once for all benchmarks.
const TFont& Palatino21() {
  static TFont Font{};
  if (!Font.Loaded) {
    UseHeadlessPlatform();
    InitLumora("bench_fonts");
    uint8_t Result = 0;
    LoadFNTFont(LUMORA_SOURCE_DIR "/assets/Fonts/Palatino Linotype_16_regular.fnt", Font, Result);
    if (Result != FNT_OK) {
      std::fprintf(stderr, "bench_fonts: the font did not load (code %u)\n", unsigned(Result));
      std::exit(1);
    }
  }
  return Font;
}

// The ink pixels WriteText plots for the line: drawn once on a cleared screen and counted.
int64_t InkPixels(const TFont& Font) {
  ClearVirtualScreen();
  SetColor(255, 255, 255, 0);
  WriteText(10, 100, Font, LINE);
  int64_t Ink = 0;
  for (uint32_t I = 0; I < SCREEN_BYTES; I += 4) Ink += VirtualScreen[I] != 0;
  return Ink;
}

void WriteLine(benchmark::State& State, uint8_t Alpha) {
  const TFont& Font = Palatino21();
  const int64_t Ink = InkPixels(Font);
  SetColor(240, 200, 40, Alpha);
  for (auto _ : State) {
    WriteText(10, 100, Font, LINE);
    benchmark::ClobberMemory();
  }
  State.counters["ink_px"] = double(Ink);
  State.counters["per_ink_px"] =
      benchmark::Counter(double(Ink) * double(State.iterations()), benchmark::Counter::kIsRate |
                                                                       benchmark::Counter::kInvert);
}

void BM_WriteTextOpaque(benchmark::State& State) { WriteLine(State, 0); }
void BM_WriteTextTranslucent(benchmark::State& State) { WriteLine(State, 128); }

void BM_GetTextLength(benchmark::State& State) {
  const TFont& Font = Palatino21();
  for (auto _ : State) benchmark::DoNotOptimize(GetTextLength(Font, LINE));
  State.counters["chars"] = double(LINE.size());
}

BENCHMARK(BM_WriteTextOpaque);
BENCHMARK(BM_WriteTextTranslucent);
BENCHMARK(BM_GetTextLength);

}  // namespace
