// lumorashowcase: the presentation's shared state, asset catalogue, frame loop and scenes.
// Relies on the lumora library.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lumora/lumora.h"

namespace showcase {

// True once the user asked to stop; never lowered during a run.
extern bool Terminate;
// The pictures of the catalogue, by index.
extern std::vector<lumora::TPicture> Pictures;

inline constexpr int32_t FONT_COUNT = 15;
inline constexpr int32_t PICTURE_COUNT = 9;
extern const char* const FontFiles[FONT_COUNT];
extern const char* const PictureFiles[PICTURE_COUNT];

// The catalogue's fonts by name, in the order of FontFiles.
enum TFontName : int32_t {
  FONT_ARCHITEXT_64,
  FONT_COMIC_SANS_26,
  FONT_CONSOLAS_36,
  FONT_COURIER_NEW_26,
  FONT_DEJAVU_SERIF_16,
  FONT_GABRIOLA_28,
  FONT_GENTIUM_11,
  FONT_PALATINO_ITALIC_20,
  FONT_SCRIPT_20,
  FONT_SEGOE_SCRIPT_20,
  FONT_SEGOE_SCRIPT_8,
  FONT_TIMES_NEW_ROMAN_12,
  FONT_WINGDINGS_14,
  FONT_PALATINO_16,
  FONT_GENTIUM_BOOK_22,
};
static_assert(FONT_GENTIUM_BOOK_22 + 1 == FONT_COUNT);

// The font of the catalogue at Index (0..14); an empty, not loaded font otherwise.
const lumora::TFont& Font(int32_t Index);

void LoadFonts();
void LoadPictures();
void FreePictures();
void FreeFonts();

// The folder that holds Fonts/ and Pictures/: the current directory when it holds either,
// else the folder of the running program when that does; empty when neither does. Looked
// in (for messages) receives the folders tried.
std::string AssetFolder(std::vector<std::string>& LookedIn);
// The catalogue's files that did not load (after LoadFonts and LoadPictures).
std::vector<std::string> MissingAssets();

// Reads Escape: true (and Terminate set) when it is down or was pressed since the previous
// query, or when Terminate is already set.
bool PollEscape();

// A scene: its frame period, the step at which it ends (the loop ends after the first frame
// whose Step is EndAt or more) and the drawing of one whole frame for a given step.
struct TScene {
  const char* Name;
  int32_t Takt;
  int32_t EndAt;
  void (*DrawFrame)(int32_t Step);
};

// The scene frame loop shared by every scene: turns elapsed time into steps of Takt ms,
// draws the frame of the current step, presents it and polls Escape.
void RunScene(const TScene& Scene);

// The frame loop's clock as a pure function, for the blocking loop and for callers that
// present one frame per call (a recorder, a browser's animation callback): from the time
// stamp of the previous frame and the clock now, the new Step (Step + Delta div Takt) and
// the remainder of Delta below one Takt, by which the caller moves its next time stamp
// back from the clock so that no time is lost between frames.
struct TStepAdvance {
  int32_t Step;
  int32_t Carry;
};
TStepAdvance AdvanceStep(int32_t LastTime, uint32_t Now, int32_t Takt, int32_t Step);

extern const TScene IntroductionScene;
extern const TScene PrimitivesScene;
extern const TScene FontsScene;
extern const TScene ImagesScene;
extern const TScene OutroScene;
// The running order: every scene once, and whether a fade follows it.
struct TSequenceItem {
  const TScene* Scene;
  bool FadeAfter;
};
inline constexpr int32_t SEQUENCE_LENGTH = 5;
extern const TSequenceItem Sequence[SEQUENCE_LENGTH];

// Opens the display with the showcase's title, loads the fonts and pictures and lowers
// Terminate; CloseShowcase closes the display and releases the pictures and fonts.
void OpenShowcase();
void CloseShowcase();

// The running order one frame at a time, for callers that cannot block in a loop (a
// browser's animation callback) or that only want the timing (the recorder's schedule).
// NextFrame decides the frame to present at clock Now: a step of a scene, with the scene
// frame loop's arithmetic, or a pass of a fade, after which the caller pauses FADE_PAUSE_MS
// before asking again. False when the presentation is over. With a clock that does not
// move between the loop's two readings (the headless one) it gives RunShowcase's frames.
struct TPlayer {
  int32_t Item = 0;        // index into Sequence
  bool SceneStarted = false;
  bool InFade = false;
  int32_t Step = 0;
  int32_t LastTime = 0;
  int32_t FadePass = 0;
};
struct TPlayerFrame {
  const TScene* Scene;  // the scene to draw at Step, or null for a fade pass
  int32_t Step;         // the scene's step, or the fade's pass (1..FADE_PASSES)
};
bool NextFrame(TPlayer& Player, uint32_t Now, TPlayerFrame& Frame);
// Draws Frame into the back buffer.
void DrawPlayerFrame(const TPlayerFrame& Frame);

// The frames a run on the headless platform presents without Escape and what each belongs
// to, worked out by the player from the timing alone: the headless clock advances
// FrameThirds (thirds of a millisecond) per presented frame and 3 per slept millisecond.
// Scene null: the whole presentation; otherwise that scene and its fade.
struct TScheduleSegment {
  std::string Label;    // "start", a scene name, or "fade"
  uint64_t FirstFrame;  // index of its first presented frame
};
struct TSchedule {
  std::vector<TScheduleSegment> Segments;
  uint64_t Frames = 0;         // frames presented
  std::vector<int32_t> Steps;  // per frame: the scene's step, the fade's pass, 0 at start
  uint64_t EndThirds = 0;      // the virtual clock when it ends, in thirds of a ms
};
TSchedule PlaySchedule(const TScene* Scene, uint32_t FrameThirds);
// The label of the segment that holds frame Index ("end" past the last frame).
const std::string& SegmentLabel(const TSchedule& Schedule, uint64_t Index);

void DrawIntroductionFrame(int32_t Step);
void DrawPrimitivesFrame(int32_t Step);
void DrawFontsFrame(int32_t Step);
void DrawImagesFrame(int32_t Step);
void DrawOutroFrame(int32_t Step);

void Introduction();
void Primitives();
void Fonts();
void Images();
void Outro();
// Darkens the last frame in 25 passes between scenes, pausing FADE_PAUSE_MS after each.
void Fade();
inline constexpr int32_t FADE_PASSES = 25;
inline constexpr uint32_t FADE_PAUSE_MS = 15;
// Draws pass Pass (1..25) of the fade over the back buffer.
void DrawFadePass(int32_t Pass);

// Draws Text letter by letter within a budget of Step animation steps (10 per letter);
// returns the budget left for the texts after it.
int32_t WriteAppearingText(int32_t X, int32_t Y, int32_t Step, int32_t R, int32_t G, int32_t B,
                           int32_t Alp, const lumora::TFont& Font, const std::string& Text);

// Angle in degrees and radius to rounded x and y (no centre added, y not turned).
void PolarToCartesian(double Angle, double R, int32_t& X, int32_t& Y);

// ===================================================================== scene numbers
// What each scene draws at a given step, factored out of the drawing so that it can be
// checked without fonts or pictures. Colours are TColor (B, G, R, Alpha); Alpha is a
// transparency, 0 opaque.

// Steps one letter of an appearing text takes to reach its full colour.
inline constexpr int32_t STEPS_PER_CHAR = 10;

// Channel of a letter revealed with Step (1..9) of its 10 steps left: Step / 10 x Channel
// in extended precision, rounded half to even.
uint8_t AppearingChannel(int32_t Step, int32_t Channel);

// X that centres Text in Font on the screen: (1024 - width) div 2.
int32_t CentredX(const lumora::TFont& Font, const std::string& Text);

// --- introduction

// One line of the introduction, revealed by WriteAppearingText in table order.
struct TIntroLine {
  std::string Text;
  bool Centred;  // X is then CentredX of the text
  int32_t X, Y;
  TFontName FontName;
  uint8_t R, G, B;
};
inline constexpr int32_t INTRO_LINE_COUNT = 10;
extern const TIntroLine IntroLines[INTRO_LINE_COUNT];

// Transparency of the Escape hint at Step, or -1 when the hint is not drawn.
int32_t IntroHintAlpha(int32_t Step);

// --- primitives scene

// The budget t that each section of the primitives scene sees at Step; a section draws
// only when its t is above 0.
struct TPrimitivesPlan {
  int32_t Title, Corners;
  int32_t Rings[3];
  int32_t CirclesCaption;
  int32_t Blocks[7];
  int32_t RectanglesCaption;
  int32_t Lines[46];
  int32_t LinesCaption;
};
TPrimitivesPlan PlanPrimitives(int32_t Step);

uint8_t PrimitivesTitleAlpha(int32_t T);
lumora::TColor CornerCircleColor(int32_t T);

// Ring I (1..3) at t > 0: growing below 22, landed from 22. The four copies are centred at
// (Centre, Centre), (660 - Centre, Centre), (Centre, 660 - Centre), (660 - Centre, 660 - Centre).
struct TRing {
  int32_t Centre, Radius, Width;
  lumora::TColor Color;
  bool Landed;
};
TRing RingAt(int32_t I, int32_t T);

// Falling block Block (1..7) at t > 0: the outlined rectangle and its colour.
struct TBlock {
  int32_t X1, Y1, X2, Y2, Width;
  lumora::TColor Color;
  bool Landed;
};
TBlock BlockAt(int32_t Block, int32_t T);

// Line I (1..46) of the fan at t > 0, in screen coordinates.
struct TFanLine {
  int32_t X1, Y1, X2, Y2;
  lumora::TColor Color;
};
TFanLine FanLineAt(int32_t I, int32_t T);

// --- fonts scene

struct TFontsTitle {
  int32_t X, Y;
  uint8_t Grey;
};
TFontsTitle FontsTitleAt(int32_t S);
lumora::TColor GabriolaColor(int32_t T);
lumora::TColor WingdingsColor(int32_t T);
// The letter (0..13) of "Architext64pt." drawn white at t.
int32_t ArchitextHighlight(int32_t T);
// Top-left corner of letter Letter (0..18) of the letter circle at t.
void LetterCirclePosition(int32_t T, int32_t Letter, int32_t& X, int32_t& Y);
// The caption (0..2) of the three-caption phase highlighted at t.
int32_t CaptionsHighlight(int32_t T);
// Transparency of the black veil at S, or -1 before it begins.
int32_t VeilAlpha(int32_t S);

// --- images scene

// Transparency of a slideshow picture at t (0 < t < 220).
uint8_t SlideshowAlpha(int32_t T);
// Copy I (1..4) of the scaling cascade at t > 0, for a picture of ImageWidth x ImageHeight.
struct TCascadeCopy {
  uint8_t Alpha;
  double Size;
  int32_t P;  // top-left corner (P, P)
  uint32_t Width, Height;
};
TCascadeCopy CascadeCopyAt(int32_t I, int32_t T, uint32_t ImageWidth, uint32_t ImageHeight);
// The crossing pair at t > 0: picture 0 at (X, Y), picture 7 at (350 - X, 450 - Y).
struct TCrossing {
  uint8_t Alpha;
  int32_t X, Y;
};
TCrossing CrossingAt(int32_t T);
// The picture with the transparent colour at t > 0: its angle and top-left corner.
struct TFlight {
  int32_t Angle, X, Y;
};
TFlight FlightAt(int32_t T);
// Transparency of a text fading in over 60 steps (the title band, "Transparent Color").
uint8_t TextFadeInAlpha(int32_t T);

// --- outro

extern const std::string OutroText;

// The scenes in the running order with their fades (display open, assets loaded).
void PlayShowcase();
// The whole presentation: open, load, play the scenes with their fades, close, release.
int RunShowcase();

}  // namespace showcase
