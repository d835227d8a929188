// lumorashowcase: the presentation's shared state, asset catalogue, frame loop and scenes.
// Relies on the lumora library.
#pragma once

#include <cstdint>
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

// The font of the catalogue at Index (0..14).
const lumora::TFont& Font(int32_t Index);

void LoadFonts();
void LoadPictures();
void FreePictures();
void FreeFonts();

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

extern const TScene IntroductionScene;
extern const TScene PrimitivesScene;
extern const TScene FontsScene;
extern const TScene ImagesScene;
extern const TScene OutroScene;
// The five scenes in playing order.
extern const TScene* const Scenes[5];

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
// Darkens the last frame in 25 passes between scenes.
void Fade();

// Draws Text letter by letter within a budget of Step animation steps (10 per letter);
// returns the budget left for the texts after it.
int32_t WriteAppearingText(int32_t X, int32_t Y, int32_t Step, int32_t R, int32_t G, int32_t B,
                           int32_t Alp, const lumora::TFont& Font, const std::string& Text);

// Angle in degrees and radius to rounded x and y (no centre added, y not turned).
void PolarToCartesian(double Angle, double R, int32_t& X, int32_t& Y);

// The whole presentation: open, load, play the scenes with their fades, close, release.
int RunShowcase();

}  // namespace showcase
