// lumorashowcase fonts scene: a drifting title and nine captions in other fonts, with
// colour ramps, pulses, a running highlight, a letter circle, appearing text and a veil.
// Relies on the lumora text and fill, the asset catalogue and the shared frame loop.
#include <algorithm>

#include "ShowCase/showcase.h"
#include "lumora/internal/extended.h"

namespace showcase {

using namespace lumora;
using ext::Ext;
using ext::TExtended;

namespace {

const std::string TitleText = "Lumora - FNT fonts";
const std::string DejaVuText = "DejaVu Serif Condensed, bold, italic, 16pt.";
const std::string GabriolaText = "Gabriola, 28pt.";
const std::string ArchitextText = "Architext64pt.";
const std::string CircleText = "Gentium book basics";
const std::string GentiumText = "Gentium, Basic 11pt.";
const std::string CaptionTexts[3] = {"Segoe Script, 8pt", "Times New Roman, 12pt.",
                                     "Palatino Linotype, regular, 16pt."};
constexpr TFontName CAPTION_FONTS[3] = {FONT_SEGOE_SCRIPT_8, FONT_TIMES_NEW_ROMAN_12, FONT_PALATINO_16};
const std::string WingdingsText = "Wingdings, bold 14pt";
const std::string Blank = " ";

// Where each phase starts, in steps of the scene; a phase draws while s > its start.
constexpr int32_t DEJAVU_START = 50;
constexpr int32_t GABRIOLA_START = 75;
constexpr int32_t ARCHITEXT_START = 95;
constexpr int32_t CIRCLE_START = 125;
constexpr int32_t GENTIUM_START = 150;
constexpr int32_t CAPTIONS_START = 160;
constexpr int32_t WINGDINGS_START = 180;
constexpr int32_t VEIL_START = 580;

uint8_t RoundByte(TExtended V) { return uint8_t(std::clamp<int64_t>(ext::RoundToInt(V), 0, 255)); }
int32_t RoundInt(TExtended V) {
  return int32_t(std::clamp<int64_t>(ext::RoundToInt(V), INT32_MIN, INT32_MAX));
}

// The ramp shared by Gabriola and Wingdings before their pulse: 240, 50, 125 x t / 60.
TColor Ramp(int32_t T) {
  const TExtended U = Ext(T);
  return TColor{RoundByte(Ext(125) * U / Ext(60)), RoundByte(Ext(50) * U / Ext(60)),
                RoundByte(Ext(240) * U / Ext(60)), 0};
}

// The pulse angle (t - 60) / 180 x pi: half a turn of the cosine per 180 steps.
TExtended PulseAngle(int32_t T) { return (Ext(T) - Ext(60)) / Ext(180) * ext::Pi(); }

// Local step of a phase starting at Start, or 0 when it has not begun (64-bit: no
// overflow for any Step).
int32_t Local(int32_t S, int32_t Start) {
  const int64_t T = int64_t(S) - Start;
  return T > 0 ? int32_t(T) : 0;
}

void Use(TColor C) { SetColor(C.R, C.G, C.B, C.Alpha); }

}  // namespace

TFontsTitle FontsTitleAt(int32_t S) {
  const TExtended U = Ext(S);
  const TExtended Speed = ext::FromDecimal(8, 1);  // 0.8
  TFontsTitle T{};
  T.X = RoundInt(Ext(520) - Speed * U);
  T.Y = RoundInt(Speed * U + Ext(10));
  T.Grey = S < 160 ? RoundByte(U / Ext(160) * Ext(255)) : 255;
  return T;
}

TColor GabriolaColor(int32_t T) {
  if (T < 60) return Ramp(T);
  return TColor{125, 50, RoundByte(ext::Abs(Ext(240) * ext::Cos(PulseAngle(T)))), 0};
}

TColor WingdingsColor(int32_t T) {
  if (T < 60) return Ramp(T);
  const TExtended A = PulseAngle(T);
  const TExtended Sin = ext::Sin(A), Cos = ext::Cos(A);
  return TColor{RoundByte(ext::Abs(Ext(240) * Sin * Cos)), RoundByte(ext::Abs(Ext(240) * Sin)),
                RoundByte(ext::Abs(Ext(240) * Cos)), 0};
}

int32_t ArchitextHighlight(int32_t T) { return (T % 56) / 4; }

void LetterCirclePosition(int32_t T, int32_t Letter, int32_t& X, int32_t& Y) {
  const int32_t Angle = ((T % 300) / 5) * 6 - 12 * Letter;
  PolarToCartesian(Angle, 80, X, Y);
  X += 450;
  Y += 400;
}

int32_t CaptionsHighlight(int32_t T) {
  const int32_t Q = (T % 120) / 30;
  return Q == 3 ? 1 : Q;
}

int32_t VeilAlpha(int32_t S) {
  const int32_t T = Local(S, VEIL_START);
  if (T <= 0) return -1;
  return std::max(255 - T, 0);
}

void DrawFontsFrame(int32_t Step) {
  ClearVirtualScreen();
  std::string Letter(1, ' ');

  // Phase 1: the title, drawn in every frame (black on black at step 0).
  const TFontsTitle Title = FontsTitleAt(Step);
  SetColor(Title.Grey, Title.Grey, Title.Grey, 0);
  WriteText(Title.X, Title.Y, Font(FONT_CONSOLAS_36), TitleText);

  if (const int32_t T = Local(Step, DEJAVU_START); T > 0)
    WriteAppearingText(500, 675, T, 150, 206, 206, 0, Font(FONT_DEJAVU_SERIF_16), DejaVuText);

  if (const int32_t T = Local(Step, GABRIOLA_START); T > 0) {
    Use(GabriolaColor(T));
    WriteText(20, 200, Font(FONT_GABRIOLA_28), GabriolaText);
  }

  if (const int32_t T = Local(Step, ARCHITEXT_START); T > 0) {
    const TFont& F = Font(FONT_ARCHITEXT_64);
    const int32_t Lit = ArchitextHighlight(T);
    int32_t X = 300;
    for (int32_t I = 0; I < int32_t(ArchitextText.size()); ++I) {
      if (I == Lit) {
        SetColor(255, 255, 255, 0);
      } else {
        SetColor(50, 50, 50, 0);
      }
      Letter[0] = ArchitextText[size_t(I)];
      WriteText(X, 100, F, Letter);
      X += int32_t(GetTextLength(F, Letter));
      // A blank's width separates "Architext", "64" and "pt.".
      if (I == 8 || I == 10) X += int32_t(GetTextLength(F, Blank));
    }
  }

  if (const int32_t T = Local(Step, CIRCLE_START); T > 0) {
    const TFont& F = Font(FONT_GENTIUM_BOOK_22);
    SetColor(150, 200, 50, 0);
    for (int32_t I = 0; I < int32_t(CircleText.size()); ++I) {
      int32_t X, Y;
      LetterCirclePosition(T, I, X, Y);
      Letter[0] = CircleText[size_t(I)];
      WriteText(X, Y, F, Letter);
    }
  }

  if (const int32_t T = Local(Step, GENTIUM_START); T > 0)
    WriteAppearingText(20, 25, T, 10, 206, 106, 0, Font(FONT_GENTIUM_11), GentiumText);

  if (const int32_t T = Local(Step, CAPTIONS_START); T > 0) {
    const int32_t Lit = CaptionsHighlight(T);
    constexpr int32_t CAPTION_X[3] = {750, 725, 660};
    for (int32_t I = 0; I < 3; ++I) {
      if (I == Lit) {
        SetColor(50, 120, 255, 0);
      } else {
        SetColor(30, 130, 130, 0);
      }
      WriteText(CAPTION_X[I], 450 + 40 * I, Font(CAPTION_FONTS[I]), CaptionTexts[I]);
    }
  }

  if (const int32_t T = Local(Step, WINGDINGS_START); T > 0) {
    Use(WingdingsColor(T));
    WriteText(10, 720, Font(FONT_WINGDINGS_14), WingdingsText);
  }

  if (const int32_t Veil = VeilAlpha(Step); Veil >= 0) {
    SetColor(0, 0, 0, uint8_t(Veil));
    FillRectangle(0, 0, 1023, 767);
  }
}

const TScene FontsScene{"fonts", 10, 1001, DrawFontsFrame};

}  // namespace showcase
