// bench_compare: lumora against pixman, SDL2 software surfaces, straightforward C and the
// memory limit on the same work, on a 1024 x 768 and a 3840 x 2160 screen, after a check
// that every peer draws what lumora draws.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "compare.h"

namespace compare {

namespace {

const char* const USAGE =
    "Usage: bench_compare [--check_out=FILE | --check_only | --no_check] [benchmark options]\n"
    "\n"
    "Times the same drawing work with lumora (headless back buffer), pixman, SDL2 software\n"
    "surfaces (SDL2_gfx for lines and circles), a straightforward C loop and the memory\n"
    "limit (the cheapest loop touching the same bytes; 'arith' is the exact blend arithmetic\n"
    "alone), on the 1024 x 768 back buffer and on\n"
    "a 3840 x 2160 canvas. Benchmarks are named WORK/PEER or WORK/PEER:VARIANT, the 3840 x\n"
    "2160 ones 4k_WORK/...; times are per call, the counter 'units' tells how many pixels or\n"
    "circles one call draws.\n"
    "\n"
    "Before timing, every operation draws once on the same background and is compared with\n"
    "lumora's result: pixels whose blue, green or red differ by more than 2 levels.\n"
    "  --check_out=FILE  write that comparison as tab-separated lines to FILE (else stderr)\n"
    "  --check_only      run the comparison and stop\n"
    "  --no_check        skip the comparison (for profiling one benchmark)\n"
    "\n"
    "bench/run-compare.sh runs this with repetitions and writes docs/benchmarks.md.\n"
    "Google Benchmark's own options follow.\n\n";

struct TCheck {
  const TOp* Op;
  int64_t Changed;   // pixels the operation changed on the background
  int64_t Differ;    // pixels more than 2 levels away from lumora's result
  int32_t MaxDiff;   // the largest channel difference from lumora's result
};

// Clears the upper halves of the vector registers. Code that leaves them dirty makes every
// legacy-SSE instruction after it slow (pixman, SDL2 and the plain loops are SSE2 code), so
// each peer starts clean; an operation that dirties them still pays inside its own loop.
void CleanVectorState() {
#if defined(__x86_64__)
  static const bool HasAvx = __builtin_cpu_supports("avx");
  if (HasAvx) __asm__ volatile("vzeroupper");
#endif
}

std::vector<uint32_t> RunOnBackground(const TOp& Op) {
  PaintBackground(Op.Screen);
  Op.Run();
  const uint32_t* S = Pixels(Op.Screen);
  return std::vector<uint32_t>(S, S + Layout(Op.Screen).Pixels());
}

void Compare(const std::vector<uint32_t>& A, const std::vector<uint32_t>& B, int64_t& Differ,
             int32_t& MaxDiff) {
  Differ = 0;
  MaxDiff = 0;
  for (size_t I = 0; I < A.size(); ++I) {
    int32_t PixelMax = 0;
    for (uint32_t Shift = 0; Shift < 24; Shift += 8) {
      const int32_t D = std::abs(int32_t((A[I] >> Shift) & 0xFF) - int32_t((B[I] >> Shift) & 0xFF));
      if (D > PixelMax) PixelMax = D;
    }
    if (PixelMax > 2) ++Differ;
    if (PixelMax > MaxDiff) MaxDiff = PixelMax;
  }
}

std::vector<TCheck> RunChecks() {
  std::vector<TCheck> Checks;
  for (int Sc = 0; Sc < SCREEN_COUNT; ++Sc) {
    const TScreen Screen = TScreen(Sc);
    PaintBackground(Screen);
    const uint32_t* S = Pixels(Screen);
    const std::vector<uint32_t> Background(S, S + Layout(Screen).Pixels());
    for (int W = 0; W < WORK_COUNT; ++W) {
      auto Here = [&](const TOp& Op) { return Op.Screen == Screen && int(Op.Work) == W; };
      std::vector<uint32_t> Reference;
      for (const TOp& Op : Ops()) {
        if (Here(Op) && Op.Peer == "lumora") Reference = RunOnBackground(Op);
      }
      for (const TOp& Op : Ops()) {
        if (!Here(Op) || Op.Peer == "memory" || Op.Peer == "arith") continue;
        const std::vector<uint32_t> Result = RunOnBackground(Op);
        TCheck C{&Op, 0, 0, 0};
        int32_t Unused;
        Compare(Result, Background, C.Changed, Unused);
        if (!Reference.empty()) Compare(Result, Reference, C.Differ, C.MaxDiff);
        Checks.push_back(C);
      }
    }
  }
  return Checks;
}

void WriteChecks(const std::vector<TCheck>& Checks, const std::string& File) {
  std::string Text = "work\tpeer\tvariant\tchanged\tdiffer\tmax_diff\n";
  for (const TCheck& C : Checks) {
    Text += std::string(Layout(C.Op->Screen).Prefix) + Info(C.Op->Work).Id + "\t" + C.Op->Peer + "\t" + C.Op->Variant + "\t" +
            std::to_string(C.Changed) + "\t" + std::to_string(C.Differ) + "\t" +
            std::to_string(C.MaxDiff) + "\n";
  }
  if (File.empty()) {
    std::fputs(Text.c_str(), stderr);
    return;
  }
  std::ofstream F(File);
  F << Text;
  if (!F) {
    std::fprintf(stderr, "bench_compare: cannot write %s\n", File.c_str());
    std::exit(1);
  }
}

// Work item by work item, so the console shows each item's peers together.
void RegisterAll() {
  std::vector<const TOp*> Order;
  for (int Sc = 0; Sc < SCREEN_COUNT; ++Sc) {
    for (int W = 0; W < WORK_COUNT; ++W) {
      for (const TOp& Op : Ops()) {
        if (int(Op.Screen) == Sc && int(Op.Work) == W) Order.push_back(&Op);
      }
    }
  }
  for (const TOp* P : Order) {
    const TOp& Op = *P;
    benchmark::RegisterBenchmark(Name(Op).c_str(), [P](benchmark::State& State) {
      PaintBackground(P->Screen);
      CleanVectorState();
      for (auto _ : State) {
        P->Run();
        benchmark::ClobberMemory();
      }
      State.counters["units"] = double(UnitsPerRun(P->Screen, P->Work));
      State.SetLabel(P->How);
    })->Unit(benchmark::kMicrosecond);
  }
}

}  // namespace

}  // namespace compare

int main(int argc, char** argv) {
  using namespace compare;
  std::string CheckOut;
  bool CheckOnly = false, NoCheck = false;
  int Kept = 1;
  for (int I = 1; I < argc; ++I) {
    const std::string A = argv[I];
    if (A == "--help" || A == "-h") {
      std::fputs(USAGE, stdout);
      argv[Kept++] = const_cast<char*>("--help");
    } else if (A.rfind("--check_out=", 0) == 0) {
      CheckOut = A.substr(std::strlen("--check_out="));
    } else if (A == "--check_only") {
      CheckOnly = true;
    } else if (A == "--no_check") {
      NoCheck = true;
    } else {
      argv[Kept++] = argv[I];
    }
  }
  argc = Kept;
  benchmark::Initialize(&argc, argv);  // prints its options and exits on --help
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

  lumora::UseHeadlessPlatform();
  lumora::InitLumora("bench");
  if (lumora::VirtualScreen == nullptr) {
    std::fputs("bench_compare: lumora opened no back buffer\n", stderr);
    return 1;
  }
  BuildWorkloads();
  uint8_t Code = 0;
  for (int Sc = 0; Sc < SCREEN_COUNT; ++Sc) {
    const uint8_t C = Work(TScreen(Sc)).LoadCode;
    if (C == 0) continue;
    Code = C;
    std::fprintf(stderr,
                 "bench_compare: LoadBMPPicture refused the %s picture (code %u: %s): lumora's "
                 "picture rows draw nothing\n",
                 Layout(TScreen(Sc)).Title, unsigned(C), lumora::BMPResultText(C));
  }
  for (int Sc = 0; Sc < SCREEN_COUNT; ++Sc) {
    const TScreen Screen = TScreen(Sc);
    AddLumoraOps(Screen);
    AddPixmanOps(Screen);
    AddSdlOps(Screen);
    AddPlainOps(Screen);
    AddMemoryOps(Screen);
  }

  if (!NoCheck) WriteChecks(RunChecks(), CheckOut);
  if (CheckOnly) return 0;

  benchmark::AddCustomContext("lumora_picture", Code == 0 ? "loaded" : "not loaded, code " + std::to_string(Code));
  benchmark::AddCustomContext("pixman", PixmanVersion());
  benchmark::AddCustomContext("sdl2", SdlVersion());
  RegisterAll();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  lumora::CloseLumora();
  return 0;
}
