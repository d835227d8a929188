// text: loads two bitmap fonts from the Fonts/ folder, measures lines of text with
// GetTextLength and writes each one centred on the screen.
#include <lumora/lumora.h>

#include <cstdio>
#include <string>

#include "example_support.h"

using namespace lumora;

// Loads a .fnt font, or says why it cannot. A backslash in the name is read as a directory
// separator on every system, so "Fonts\\x.fnt" opens Fonts/x.fnt.
bool Load(const char* Name, TFont& Font) {
  uint8_t Result = 0;
  LoadFNTFont(Name, Font, Result);
  if (Result == FNT_OK) return true;
  std::fprintf(stderr, "text: cannot load %s: %s (run it where Fonts/ is)\n", Name,
               FNTResultText(Result));
  return false;
}

// Writes Text centred across the screen with the top of its glyphs at row Y.
// GetTextLength gives the width WriteText will cover, in pixels.
void Centred(int32_t Y, const TFont& Font, const std::string& Text) {
  const int32_t Width = int32_t(GetTextLength(Font, Text));
  WriteText((SCREEN_WIDTH - Width) / 2, Y, Font, Text);
}

int main(int argc, char** argv) {
  if (int Exit = example::Start(argc, argv, "Writes centred text in two fonts."); Exit >= 0)
    return Exit;

  // Fonts load before the window opens, so a missing file stops the program at once.
  // The braces start each record empty, not loaded, as the loader expects.
  TFont Title{}, Body{};
  if (!Load("Fonts\\Architext_64.fnt", Title) ||
      !Load("Fonts\\Gentium Book Basic_22_regular.fnt", Body))
    return 1;
  InitLumora("lumora: text");

  // Every glyph of a font is PixHeight rows high: the block of a title, a gap and three
  // lines of body text is centred vertically from those heights.
  const int32_t Top = (SCREEN_HEIGHT - Title.PixHeight - 30 - 3 * Body.PixHeight) / 2;
  const std::string Heading = "Hello, lumora";
  SetColor(255, 220, 120, 0);
  Centred(Top, Title, Heading);

  // An underline exactly as wide as the heading, measured the same way.
  const int32_t Width = int32_t(GetTextLength(Title, Heading));
  const int32_t Left = (SCREEN_WIDTH - Width) / 2, Under = Top + Title.PixHeight + 10;
  FillRectangle(Left, Under, Left + Width - 1, Under + 3);  // corners inclusive: 4 rows

  // Body text in a slightly transparent white (60 of 255): glyph pixels blend with what is
  // below them.
  SetColor(255, 255, 255, 60);
  int32_t Y = Under + 20;
  for (const char* Line : {"Text is drawn from bitmap fonts,", "measured with GetTextLength",
                           "and centred from the measure."}) {
    Centred(Y, Body, Line);
    Y += Body.PixHeight;
  }

  // Show it until Escape (or any key, or the window's close: ThisIsTheEnd), for at most
  // ten seconds.
  const uint32_t Started = GetTickCount();
  while (GetTickCount() - Started < 10000 && GetAsyncKeyState(VK_ESCAPE) == 0 && !ThisIsTheEnd) {
    Flip();
    Sleep(10);
  }
  CloseLumora();
  // Releases the glyph buffers.
  FreeFNTFont(Title);
  FreeFNTFont(Body);
  return 0;
}
