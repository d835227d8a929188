// lumora-fnt: prints a .fnt font's header and the loader's verdict, and renders a specimen
// of codes 0..255 to .bmp files. Relies on lumora (headless), its .fnt layout and the tools'
// BMP writer.
#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "lumora/internal/bytes.h"
#include "lumora/internal/fnt_layout.h"
#include "lumora/lumora.h"
#include "tools/common/bmp.h"

namespace {

using namespace lumora;

constexpr int EXIT_LOADED = 0;
constexpr int EXIT_NOT_LOADED = 1;
constexpr int EXIT_USAGE = 2;
constexpr int EXIT_WRITE_FAILED = 3;

void PrintUsage(std::FILE* To) {
  std::fputs(
      "Usage: lumora-fnt [--specimen OUT.bmp] FONT.fnt\n"
      "\n"
      "Prints the header fields of a Windows .fnt font file (versions 2.x and 3.x) and the\n"
      "result code of lumora's LoadFNTFont with its meaning.\n"
      "\n"
      "  --specimen OUT.bmp  also draw every code 0..255 in a grid (white ink on the glyph's\n"
      "                      cell in dark blue, the baseline in red) on the 1024 x 768 screen\n"
      "                      and write it as a 24-bit BMP. Codes that do not fit one screen\n"
      "                      go to further pages OUT-2.bmp, OUT-3.bmp, ...\n"
      "  -h, --help          show this help\n"
      "\n"
      "Exit status: 0 loaded (and specimen written), 1 not loaded (the code says why),\n"
      "2 usage error, 3 the specimen could not be written.\n",
      To);
}

// A number field of the header (1, 2 or 4 bytes).
uint32_t FieldValue(const std::vector<uint8_t>& B, const fnt::TField& F) {
  if (F.Size == 1) return B[F.Offset];
  if (F.Size == 2) return bytes::Read16(&B[F.Offset]);
  return bytes::Read32(&B[F.Offset]);
}

void PrintNumber(const std::vector<uint8_t>& B, const fnt::TField& F) {
  const uint32_t V = FieldValue(B, F);
  std::printf("  %-18s %10" PRIu32 "  0x%0*" PRIX32, F.Name, V, int(F.Size * 2), V);
}

// A zero-terminated string of the file, printable characters only.
std::string FileString(const std::vector<uint8_t>& B, size_t At, size_t Max) {
  std::string S;
  for (size_t I = At; I < B.size() && I < At + Max && B[I] != 0; ++I)
    S += (B[I] >= 0x20 && B[I] < 0x7F) ? char(B[I]) : '?';
  return S;
}

void PrintHeader(const std::string& Path) {
  std::ifstream In(Path, std::ios::binary);
  const std::vector<uint8_t> B((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
  std::printf("file: %s (%zu bytes)\n", Path.c_str(), B.size());
  if (B.size() < fnt::HEADER_2X_SIZE) {
    std::printf("header: incomplete (%zu of %zu bytes)\n", B.size(), fnt::HEADER_2X_SIZE);
    return;
  }
  // The numbers in file order, then the copyright text.
  for (const fnt::TField& F : fnt::HEADER_2X_FIELDS) {
    if (F.Size > 4) continue;
    PrintNumber(B, F);
    const uint32_t V = FieldValue(B, F);
    if (F.Offset == fnt::OFS_FACE && V < B.size()) std::printf("  \"%s\"", FileString(B, V, 256).c_str());
    std::printf("\n");
  }
  std::printf("  %-18s \"%s\"\n", "dfCopyright", FileString(B, fnt::OFS_COPYRIGHT, fnt::COPYRIGHT_SIZE).c_str());
  if (bytes::Read16(&B[fnt::OFS_VERSION]) == fnt::VERSION_3X && B.size() >= fnt::HEADER_3X_SIZE) {
    for (const fnt::TField& F : fnt::EXTENSION_3X_FIELDS) {
      if (F.Size > 4) continue;
      PrintNumber(B, F);
      std::printf("\n");
    }
  }
}

// ------------------------------------------------------------------ specimen

// Hex digits 0..F, 3 x 5 pixels, one row per nibble (bit 2 the leftmost column).
constexpr uint8_t DIGITS[16][5] = {
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7}, {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 2, 2, 2}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7},
    {7, 5, 7, 5, 5}, {6, 5, 6, 5, 6}, {7, 4, 4, 4, 7}, {6, 5, 5, 5, 6}, {7, 4, 6, 4, 7},
    {7, 4, 6, 4, 4},
};
constexpr int DIGIT_SCALE = 2;

void Box(int32_t X, int32_t Y, int32_t W, int32_t H) {
  for (int32_t Row = Y; Row < Y + H; ++Row)
    for (int32_t Col = X; Col < X + W; ++Col) Pixel(Col, Row);
}

void Digit(int32_t X, int32_t Y, int D) {
  for (int Row = 0; Row < 5; ++Row)
    for (int Col = 0; Col < 3; ++Col)
      if (DIGITS[D][Row] & (4 >> Col))
        Box(X + Col * DIGIT_SCALE, Y + Row * DIGIT_SCALE, DIGIT_SCALE, DIGIT_SCALE);
}

void HexLabel(int32_t X, int32_t Y, int Value, int Digits) {
  for (int I = 0; I < Digits; ++I)
    Digit(X + I * 4 * DIGIT_SCALE, Y, (Value >> (4 * (Digits - 1 - I))) & 15);
}

std::string PageName(const std::string& Out, int Page) {
  if (Page == 1) return Out;
  const size_t Dot = Out.rfind('.');
  const size_t Slash = Out.find_last_of('/');
  const bool HasExt = Dot != std::string::npos && (Slash == std::string::npos || Dot > Slash);
  std::string Name = HasExt ? Out.substr(0, Dot) : Out;
  Name += '-';
  Name += std::to_string(Page);
  if (HasExt) Name += Out.substr(Dot);
  return Name;
}

bool WriteSpecimen(const TFont& Font, uint32_t Ascent, const std::string& Out) {
  uint32_t MaxWidth = 0;
  for (int C = 0; C < 256; ++C) MaxWidth = std::max(MaxWidth, GetTextLength(Font, std::string(1, char(C))));
  const int32_t Label = 2 * 4 * DIGIT_SCALE + 8;
  const int32_t HeaderRows = 5 * DIGIT_SCALE + 8;
  const int32_t CellW = int32_t(std::max<uint32_t>(MaxWidth, 4 * DIGIT_SCALE * 2)) + 6;
  const int32_t CellH = std::max<int32_t>(Font.PixHeight, 5 * DIGIT_SCALE) + 6;
  int32_t Cols = 16;
  while (Cols > 1 && Label + Cols * CellW > SCREEN_WIDTH) Cols /= 2;
  const int32_t Rows = std::max<int32_t>(1, (SCREEN_HEIGHT - HeaderRows) / CellH);
  const int32_t PerPage = Cols * Rows;
  const int32_t Pages = (256 + PerPage - 1) / PerPage;

  for (int32_t Page = 1; Page <= Pages; ++Page) {
    ClearVirtualScreen();
    SetColor(160, 160, 160, 0);
    for (int32_t C = 0; C < Cols; ++C) HexLabel(Label + C * CellW + 3, 4, C, 1);
    const int32_t FirstCode = (Page - 1) * PerPage;
    for (int32_t Code = FirstCode; Code < std::min(256, FirstCode + PerPage); ++Code) {
      const int32_t Slot = Code - FirstCode;
      const int32_t X = Label + (Slot % Cols) * CellW;
      const int32_t Y = HeaderRows + (Slot / Cols) * CellH;
      if (Slot % Cols == 0) {
        SetColor(160, 160, 160, 0);
        HexLabel(4, Y + 3, Code, 2);
      }
      SetColor(64, 64, 64, 0);  // cell frame
      Box(X, Y, CellW, 1);
      Box(X, Y, 1, CellH);
      const std::string Ch(1, char(Code));
      const int32_t W = int32_t(GetTextLength(Font, Ch));
      SetColor(24, 24, 72, 0);  // the glyph's cell: its width by PixHeight
      Box(X + 3, Y + 3, W, Font.PixHeight);
      SetColor(150, 30, 30, 0);  // baseline: the first row below the ascent
      if (Ascent < Font.PixHeight) Box(X + 3, Y + 3 + int32_t(Ascent), W, 1);
      SetColor(255, 255, 255, 0);
      WriteText(X + 3, Y + 3, Font, Ch);
    }
    const std::string Name = PageName(Out, Page);
    if (!tools::WriteBmp24(Name, VirtualScreen, SCREEN_WIDTH, SCREEN_HEIGHT)) {
      std::fprintf(stderr, "lumora-fnt: cannot write %s\n", Name.c_str());
      return false;
    }
    std::printf("specimen: %s (codes 0x%02X..0x%02X)\n", Name.c_str(), unsigned(FirstCode),
                unsigned(std::min(255, FirstCode + PerPage - 1)));
  }
  return true;
}

}  // namespace

int main(int Argc, char** Argv) {
  std::string FontPath, Specimen;
  for (int I = 1; I < Argc; ++I) {
    const std::string A = Argv[I];
    if (A == "-h" || A == "--help") {
      PrintUsage(stdout);
      return EXIT_LOADED;
    } else if (A == "--specimen") {
      if (I + 1 >= Argc) {
        std::fprintf(stderr, "lumora-fnt: --specimen needs a file name\n");
        return EXIT_USAGE;
      }
      Specimen = Argv[++I];
    } else if (!A.empty() && A[0] == '-') {
      std::fprintf(stderr, "lumora-fnt: unknown option %s (see --help)\n", A.c_str());
      return EXIT_USAGE;
    } else if (FontPath.empty()) {
      FontPath = A;
    } else {
      std::fprintf(stderr, "lumora-fnt: one font file at a time (see --help)\n");
      return EXIT_USAGE;
    }
  }
  if (FontPath.empty()) {
    PrintUsage(stderr);
    return EXIT_USAGE;
  }

  PrintHeader(FontPath);
  UseHeadlessPlatform();
  InitLumora("lumora-fnt");
  TFont Font{};
  uint8_t Result = 0;
  LoadFNTFont(FontPath, Font, Result);
  std::printf("result: %u (%s)\n", unsigned(Result), FNTResultText(Result));
  int Exit = Result == FNT_OK ? EXIT_LOADED : EXIT_NOT_LOADED;
  if (Result == FNT_OK) {
    std::printf("glyph buffer: %" PRIu32 " bytes, %u entries of %u bytes\n", Font.GlyphsSize,
                unsigned(Font.LastChar - Font.FirstChar + 1), unsigned(fnt::EntrySize(Font.Version)));
    if (!Specimen.empty()) {
      std::ifstream In(FontPath, std::ios::binary);
      uint8_t Head[fnt::OFS_ASCENT + 2] = {};
      In.read(reinterpret_cast<char*>(Head), sizeof Head);
      if (!WriteSpecimen(Font, bytes::Read16(Head + fnt::OFS_ASCENT), Specimen)) Exit = EXIT_WRITE_FAILED;
    }
  } else if (!Specimen.empty()) {
    std::fprintf(stderr, "lumora-fnt: no specimen: the font did not load\n");
  }
  FreeFNTFont(Font);
  LoadedFonts.clear();
  CloseLumora();
  return Exit;
}
