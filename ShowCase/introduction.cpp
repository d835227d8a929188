// lumorashowcase introduction: appearing text, the introduction scene and the fade.
// Relies on the lumora library, the asset catalogue and the shared frame loop.
#include <algorithm>
#include <limits>

#include "ShowCase/showcase.h"
#include "lumora/internal/extended.h"

namespace showcase {

using namespace lumora;
using ext::Ext;

namespace {

uint8_t ClampByte(int32_t V) { return uint8_t(std::clamp<int32_t>(V, 0, 255)); }

int32_t ClampToInt32(int64_t V) {
  return int32_t(std::clamp<int64_t>(V, std::numeric_limits<int32_t>::min(),
                                     std::numeric_limits<int32_t>::max()));
}

const std::string HintText = "Press Escape to exit presentation..";
const std::string Blank = " ";

}  // namespace

const TIntroLine IntroLines[INTRO_LINE_COUNT] = {
    {"Lumora", true, 0, 100, FONT_ARCHITEXT_64, 255, 255, 255},
    {"by Vendrik", false, 760, 175, FONT_DEJAVU_SERIF_16, 255, 255, 255},
    {"2D graphics library for C++", true, 0, 250, FONT_SEGOE_SCRIPT_20, 200, 210, 255},
    {"-> designed and optimalized for 1024 x 768 (XGA) resolution", false, 290, 330, FONT_DEJAVU_SERIF_16, 200, 240, 230},
    {"-> Compatible with Win Xp, Win Vista & Win 7", false, 290, 380, FONT_DEJAVU_SERIF_16, 200, 240, 230},
    {"-> support for:", false, 290, 430, FONT_DEJAVU_SERIF_16, 200, 240, 230},
    {"\xB0  all basic primitives (pixel, line, circle, rectangle..)", false, 440, 470, FONT_PALATINO_16, 215, 230, 200},
    {"\xB0  FNT font format (Windows font resource)", false, 440, 505, FONT_PALATINO_16, 215, 230, 200},
    {"\xB0  8 & 24 bpp bmp images", false, 440, 540, FONT_PALATINO_16, 215, 230, 200},
    {"\xB0  scaling, alpablending, transparent color", false, 440, 575, FONT_PALATINO_16, 215, 230, 200},
};

uint8_t AppearingChannel(int32_t Step, int32_t Channel) {
  // The quotient is formed first and is inexact: 3 / 10 lies just above 0.3, which
  // lifts 95, 175 and 195 at Step 3 over the half (29, 53, 59).
  return uint8_t(std::clamp<int64_t>(ext::RoundToInt(Ext(Step) / Ext(10) * Ext(Channel)), 0, 255));
}

int32_t CentredX(const TFont& Font, const std::string& Text) {
  return ClampToInt32((int64_t(SCREEN_WIDTH) - int64_t(GetTextLength(Font, Text))) / 2);
}

int32_t WriteAppearingText(int32_t X, int32_t Y, int32_t Step, int32_t R, int32_t G, int32_t B,
                           int32_t Alp, const TFont& Font, const std::string& Text) {
  // Channels outside 0..255 are pulled to the nearest byte value rather than wrapped.
  R = std::clamp<int32_t>(R, 0, 255);
  G = std::clamp<int32_t>(G, 0, 255);
  B = std::clamp<int32_t>(B, 0, 255);
  const uint8_t Alpha = ClampByte(Alp);
  const int64_t BlankWidth = GetTextLength(Font, Blank);
  int64_t PenX = X;  // 64-bit so that a long text far to the right cannot overflow
  std::string Letter(1, ' ');
  for (const char C : Text) {
    if (C == ' ') {
      PenX += BlankWidth;
      continue;
    }
    if (Step <= 0) break;
    if (Step >= STEPS_PER_CHAR) {
      SetColor(uint8_t(R), uint8_t(G), uint8_t(B), Alpha);
      Step -= STEPS_PER_CHAR;
    } else {
      SetColor(AppearingChannel(Step, R), AppearingChannel(Step, G), AppearingChannel(Step, B),
               Alpha);
      Step = 0;
    }
    Letter[0] = C;
    WriteText(ClampToInt32(PenX), Y, Font, Letter);
    PenX += GetTextLength(Font, Letter);
    if (PollEscape()) return Step;
  }
  return Step;
}

int32_t IntroHintAlpha(int32_t Step) {
  if (Step <= 20 || Step >= 500) return -1;
  if (Step - 20 > 60) return 0;
  return int32_t(ext::RoundToInt(Ext(255) - Ext(Step - 20) / Ext(60) * Ext(255)));
}

void DrawIntroductionFrame(int32_t Step) {
  ClearVirtualScreen();
  const int32_t Hint = IntroHintAlpha(Step);
  if (Hint >= 0) {
    SetColor(255, 255, 255, uint8_t(Hint));
    WriteText(5, 740, Font(FONT_GENTIUM_11), HintText);
  }
  // Each line spends the budget on its letters and hands the rest to the next one.
  int32_t TmpStep = Step;
  for (int32_t I = 0; I < INTRO_LINE_COUNT; ++I) {
    if (I > 0 && TmpStep <= 0) break;
    const TIntroLine& L = IntroLines[I];
    const TFont& F = Font(L.FontName);
    const int32_t X = L.Centred ? CentredX(F, L.Text) : L.X;
    TmpStep = WriteAppearingText(X, L.Y, TmpStep, L.R, L.G, L.B, 0, F, L.Text);
  }
}

const TScene IntroductionScene{"introduction", 10, 3001, DrawIntroductionFrame};

void DrawFadePass(int32_t Pass) {
  SetColor(0, 0, 0, uint8_t(210 - 5 * Pass));
  FillRectangle(0, 0, 1023, 768);
}

void Fade() {
  if (Terminate) return;
  for (int32_t I = 1; I <= FADE_PASSES; ++I) {
    DrawFadePass(I);
    Flip();
    Sleep(FADE_PAUSE_MS);
    if (PollEscape()) return;
  }
}

}  // namespace showcase
