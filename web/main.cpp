// lumora showcase in a web page: the browser's main. The page's animation callback presents
// one frame per call through showcase::TPlayer; after a fade pass it waits FADE_PAUSE_MS of
// page time before the next. Escape ends the presentation and releases everything.
//
// With --hashes (index.html?hashes=1) it plays the whole presentation on the headless
// platform's virtual clock without pacing, as the recorder does, and writes the XXH3-128
// hash of every frame into the page (<pre id="hashes">) and the console, in the format of
// tests/golden/showcase.hashes, with the median time each scene takes to draw a frame.
// Built by web/CMakeLists.txt with Emscripten; Fonts/ and Pictures/ are packed with it.
#include <emscripten.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "ShowCase/showcase.h"
#include "lumora/platform_web.h"
#include "tools/common/frame_hash.h"

namespace {

using namespace lumora;

// ---------------------------------------------------------------- the page

// Sets the line of text under the canvas.
EM_JS(void, JsStatus, (const char* Text), {
  var Line = typeof document !== 'undefined' && document.getElementById('status');
  if (Line) Line.textContent = UTF8ToString(Text);
});

// Fills <pre id="Id">, shows it and marks it done (data-state), for people and scripts.
EM_JS(void, JsFillBlock, (const char* Id, const char* Text), {
  var Block = typeof document !== 'undefined' && document.getElementById(UTF8ToString(Id));
  if (!Block) return;
  Block.textContent = UTF8ToString(Text);
  Block.hidden = false;
  Block.dataset.state = 'done';
});

void Status(const std::string& Text) { JsStatus(Text.c_str()); }

const char* PresentationName(TWebPresentation Way) {
  switch (Way) {
    case TWebPresentation::WebGL:
      return "WebGL texture";
    case TWebPresentation::Canvas2D:
      return "2D putImageData";
    case TWebPresentation::None:
      break;
  }
  return "nothing";
}

// The span kernels this module was built with.
const char* KernelName() {
#if defined(__wasm_simd128__)
  return "WebAssembly SIMD128 span kernels";
#else
  return "scalar span kernels";
#endif
}

std::string Milliseconds(double Ms) {
  char Text[32];
  std::snprintf(Text, sizeof Text, "%.3f", Ms);
  return Text;
}

// ---------------------------------------------------------------- normal play

struct TPlay {
  showcase::TPlayer Player;
  bool Pausing = false;  // after a fade pass, until FADE_PAUSE_MS have passed
  uint32_t PauseFrom = 0;
  const showcase::TScene* Shown = nullptr;
  std::string Missing;  // assets that did not load, for the line under the canvas
};
TPlay Play;

// The frame on the canvas, for scripts that check what the page shows: its part (the scene's
// place in the running order, -1 for a fade pass, -2 before the first and after the last
// frame) and step.
int32_t ShownPart = -2;
int32_t ShownStep = 0;

void EndPlay(const char* Why) {
  ShownPart = -2;
  emscripten_cancel_main_loop();
  const TWebPresentation Way = WebPresentationInUse();
  const double PresentMs = WebPresentMs();
  showcase::CloseShowcase();
  std::string Line = std::string(Why) + " Presenting took " + Milliseconds(PresentMs) +
                     " ms a frame on average (" + PresentationName(Way) + ").";
  std::printf("lumora-web: %s\n", Line.c_str());
  Status(Line);
}

void PlayFrame() {
  if (showcase::PollEscape()) return EndPlay("Stopped by Escape.");
  const uint32_t Now = GetTickCount();
  if (Play.Pausing) {
    // Unsigned difference: correct across a wrap of the millisecond counter.
    if (Now - Play.PauseFrom < showcase::FADE_PAUSE_MS) return;
    Play.Pausing = false;
  }
  showcase::TPlayerFrame Frame{};
  if (!showcase::NextFrame(Play.Player, Now, Frame)) return EndPlay("The presentation has ended.");
  showcase::DrawPlayerFrame(Frame);
  Flip();
  ShownPart = -1;
  for (int32_t I = 0; I < showcase::SEQUENCE_LENGTH; ++I)
    if (showcase::Sequence[I].Scene == Frame.Scene) ShownPart = I;
  ShownStep = Frame.Step;
  if (Frame.Scene == nullptr) {
    Play.Pausing = true;
    Play.PauseFrom = GetTickCount();
  } else if (Frame.Scene != Play.Shown) {
    Play.Shown = Frame.Scene;
    Status(std::string("Playing: ") + Frame.Scene->Name + ". Escape stops the presentation." +
           (Play.Missing.empty() ? "" : " Missing: " + Play.Missing + "."));
  }
}

// ---------------------------------------------------------------- hashes

struct THashRun {
  std::vector<tools::THashLine> Lines;
  std::string LastHash;  // of the frame the sink saw last
  showcase::TPlayer Player;
  uint64_t Expected = 0;
  // Milliseconds each presented frame took to draw, by part (scene name or "fade").
  std::map<std::string, std::vector<double>> DrawMs;
  std::vector<std::string> Order;  // parts in the order they first appear
  double StartMs = 0;
};
THashRun Run;

double Median(std::vector<double> V) {
  if (V.empty()) return 0;
  const size_t Mid = V.size() / 2;
  std::nth_element(V.begin(), V.begin() + std::ptrdiff_t(Mid), V.end());
  if (V.size() % 2 == 1) return V[Mid];
  const double Upper = V[Mid];
  return (*std::max_element(V.begin(), V.begin() + std::ptrdiff_t(Mid)) + Upper) / 2;
}

void FinishHashes() {
  emscripten_cancel_main_loop();
  showcase::CloseShowcase();
  UseHeadlessPlatform();  // drops the sink
  const double Seconds = (emscripten_get_now() - Run.StartMs) / 1000;

  std::string List;
  for (const tools::THashLine& L : Run.Lines) {
    const std::string Line = tools::FormatHashLine(L);
    std::printf("%s\n", Line.c_str());
    List += Line + "\n";
  }
  JsFillBlock("hashes", List.c_str());

  std::string Table = "part          frames  median ms to draw a frame\n";
  for (const std::string& Part : Run.Order) {
    const std::vector<double>& Ms = Run.DrawMs[Part];
    char Row[96];
    std::snprintf(Row, sizeof Row, "%-12s %7zu  %s\n", Part.c_str(), Ms.size(),
                  Milliseconds(Median(Ms)).c_str());
    Table += Row;
  }
  std::printf("lumora-web: frame times (%s)\n%s", KernelName(), Table.c_str());
  JsFillBlock("times", Table.c_str());

  char Done[160];
  std::snprintf(Done, sizeof Done, "Hashed %zu frames in %.1f s on the virtual clock (%s).",
                Run.Lines.size(), Seconds, KernelName());
  std::printf("lumora-web: %s\n", Done);
  Status(Done);
}

// Renders frames for about 50 ms of page time, then lets the page breathe and show progress.
void HashFrames() {
  const double Until = emscripten_get_now() + 50;
  do {
    showcase::TPlayerFrame Frame{};
    if (!showcase::NextFrame(Run.Player, GetTickCount(), Frame)) return FinishHashes();
    const double Start = emscripten_get_now();
    showcase::DrawPlayerFrame(Frame);
    const double Drawn = emscripten_get_now();
    Flip();  // the sink hashes the frame
    if (Frame.Scene == nullptr) Sleep(showcase::FADE_PAUSE_MS);  // advances the virtual clock
    const std::string Part = Frame.Scene != nullptr ? Frame.Scene->Name : "fade";
    Run.Lines.push_back({Run.Lines.size(), Part, Frame.Step, Run.LastHash});
    std::vector<double>& Ms = Run.DrawMs[Part];
    if (Ms.empty()) Run.Order.push_back(Part);
    Ms.push_back(Drawn - Start);
  } while (emscripten_get_now() < Until);
  char Line[96];
  std::snprintf(Line, sizeof Line, "Hashing frames on the virtual clock: %zu of %" PRIu64 ".",
                Run.Lines.size(), Run.Expected);
  Status(Line);
}

void StartHashes() {
  Run.Expected = showcase::PlaySchedule(nullptr, THeadlessOptions{}.FrameThirds).Frames;
  THeadlessOptions Options;
  Options.FrameSink = [](const uint8_t* Frame, uint64_t) {
    Run.LastHash = tools::FrameHash(Frame, SCREEN_BYTES);
  };
  UseHeadlessPlatform(Options);
  Run.StartMs = emscripten_get_now();
  showcase::OpenShowcase();  // presents the cleared screen: frame 0
  Run.Lines.push_back({0, "start", 0, Run.LastHash});
  emscripten_set_main_loop(HashFrames, 0, false);
}

}  // namespace

extern "C" {
EMSCRIPTEN_KEEPALIVE int32_t lumora_web_part() { return ShownPart; }
EMSCRIPTEN_KEEPALIVE int32_t lumora_web_step() { return ShownStep; }
// How frames reach the canvas (0 nothing, 1 2D, 2 WebGL) and the mean milliseconds a Flip
// has spent presenting so far.
EMSCRIPTEN_KEEPALIVE int32_t lumora_web_presentation() { return int32_t(WebPresentationInUse()); }
EMSCRIPTEN_KEEPALIVE double lumora_web_present_ms() { return WebPresentMs(); }
}

namespace {

// ---------------------------------------------------------------- main

void Usage() {
  std::printf(
      "Usage: lumora-web [--hashes] [--present 2d|webgl]\n"
      "The lumora showcase in a web page (index.html): the presentation on the page's\n"
      "canvas, one frame per animation callback; Escape stops it.\n"
      "  --hashes         (index.html?hashes=1) play the whole presentation on the headless\n"
      "                   virtual clock without pacing and write every frame's XXH3-128 hash\n"
      "                   into <pre id=\"hashes\"> and the console, with the median time\n"
      "                   each scene takes to draw a frame in <pre id=\"times\">\n"
      "  --present WAY    (index.html?present=webgl) how frames reach the canvas: 2d\n"
      "                   (putImageData, the default) or webgl (a texture; 2D when the page\n"
      "                   cannot have WebGL)\n"
      "  --help           (index.html?help=1) this text, in the console\n");
}

}  // namespace

int main(int argc, char** argv) {
  bool Hashes = false;
  for (int I = 1; I < argc; ++I) {
    const std::string A = argv[I];
    if (A == "--help" || A == "-h") {
      Usage();
      Status("Usage written to the console.");
      return 0;
    }
    if (A == "--hashes") {
      Hashes = true;
    } else if (A == "--present" && I + 1 < argc) {
      const std::string Way = argv[++I];
      if (Way == "webgl") {
        SetWebPresentation(TWebPresentation::WebGL);
      } else if (Way == "2d") {
        SetWebPresentation(TWebPresentation::Canvas2D);
      } else {
        std::fprintf(stderr, "lumora-web: --present %s: not 2d or webgl\n", Way.c_str());
        Status("Unknown presentation '" + Way + "' (2d or webgl).");
        return 2;
      }
    } else {
      std::fprintf(stderr, "lumora-web: unknown argument '%s' (try --help)\n", A.c_str());
      Status("Unknown argument '" + A + "'.");
      return 2;
    }
  }

  if (Hashes) {
    StartHashes();
    return 0;
  }

  showcase::OpenShowcase();
  for (const std::string& File : showcase::MissingAssets()) {
    std::fprintf(stderr, "lumora-web: cannot load %s from the packed files\n", File.c_str());
    Play.Missing += (Play.Missing.empty() ? "" : ", ") + File;
  }
  if (!WindowShown()) {
    showcase::CloseShowcase();
    Status("No canvas to show the presentation on.");
    return 1;
  }
  std::printf("lumora-web: presenting with %s, %s\n", PresentationName(WebPresentationInUse()),
              KernelName());
  emscripten_set_main_loop(PlayFrame, 0, false);
  return 0;
}
