// lumora-fnt: prints a .fnt font's header and the loader's verdict, renders a specimen of
// codes 0..255 to .bmp or .png files, and compares the glyphs of two fonts. Relies on lumora
// (headless), its .fnt layout and the tools' BMP and PNG writers.
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "lumora/internal/bytes.h"
#include "lumora/internal/fnt_layout.h"
#include "lumora/lumora.h"
#include "tools/common/bmp.h"
#include "tools/common/png_write.h"

namespace {

using namespace lumora;

constexpr int EXIT_LOADED = 0;
constexpr int EXIT_NOT_LOADED = 1;
constexpr int EXIT_USAGE = 2;
constexpr int EXIT_WRITE_FAILED = 3;
constexpr int EXIT_DIFFERENT = 4;

// A specimen of a very large font takes a page per code or two; this many pages are
// written unless --max-pages allows more.
constexpr int DEFAULT_MAX_PAGES = 16;

void PrintUsage(std::FILE* To) {
  std::fputs(
      "Usage: lumora-fnt [--specimen OUT.bmp|OUT.png [--max-pages N]] FONT.fnt\n"
      "       lumora-fnt --diff OLD.fnt NEW.fnt\n"
      "\n"
      "Prints the header fields of a Windows .fnt font file (versions 2.x and 3.x) and the\n"
      "result code of lumora's LoadFNTFont with its meaning.\n"
      "\n"
      "  --specimen OUT      also draw every code 0..255 in a grid (white ink on the glyph's\n"
      "                      cell in dark blue, the baseline in red) on the 1024 x 768 screen\n"
      "                      and write it as a 24-bit BMP (OUT.bmp) or PNG (OUT.png). Codes\n"
      "                      that do not fit one screen go to further pages OUT-2.bmp, ...\n"
      "  --max-pages N       write the specimen only if it takes at most N pages (1..256;\n"
      "                      default 16: a font of a few hundred pixels needs a page per code)\n"
      "  --diff OLD NEW      load both fonts and list every code 0..255 whose glyph differs:\n"
      "                      its width, or its ink as drawn, each pixel taken relative to the\n"
      "                      baseline (dfAscent), so fonts of different heights compare\n"
      "  -h, --help          show this help\n"
      "\n"
      "Exit status: 0 loaded (and specimen written; with --diff: the glyphs agree), 1 not\n"
      "loaded (the code says why), 2 usage error, 3 the specimen was not written (the file\n"
      "cannot be written, or it would take more pages than --max-pages), 4 with --diff: some\n"
      "glyphs differ.\n",
      To);
}

// The whole file, or false with the reason in Error.
bool ReadFile(const std::string& Path, std::vector<uint8_t>& Bytes, std::string& Error) {
  std::FILE* F = std::fopen(Path.c_str(), "rb");
  if (F == nullptr) {
    Error = std::strerror(errno);
    return false;
  }
  struct stat Info {};
  if (fstat(fileno(F), &Info) == 0 && S_ISDIR(Info.st_mode)) {
    std::fclose(F);
    Error = std::strerror(EISDIR);
    return false;
  }
  Bytes.clear();
  uint8_t Buffer[65536];
  size_t N = 0;
  while ((N = std::fread(Buffer, 1, sizeof Buffer, F)) > 0) Bytes.insert(Bytes.end(), Buffer, Buffer + N);
  const bool Failed = std::ferror(F) != 0;
  const int ReadErrno = errno;
  std::fclose(F);
  if (Failed) {
    Error = std::strerror(ReadErrno);
    return false;
  }
  return true;
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

void PrintHeader(const std::string& Path, const std::vector<uint8_t>& B) {
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

uint32_t AscentOf(const std::vector<uint8_t>& B) {
  return B.size() >= fnt::OFS_ASCENT + 2 ? bytes::Read16(&B[fnt::OFS_ASCENT]) : 0;
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

// The specimen's picture format, from the name's extension (either case).
enum class TPictureFormat { None, Bmp, Png };

TPictureFormat FormatOf(const std::string& Name) {
  const size_t Dot = Name.rfind('.');
  const size_t Slash = Name.find_last_of('/');
  if (Dot == std::string::npos || (Slash != std::string::npos && Dot < Slash)) return TPictureFormat::None;
  std::string Ext = Name.substr(Dot + 1);
  for (char& C : Ext) C = char(C >= 'A' && C <= 'Z' ? C - 'A' + 'a' : C);
  if (Ext == "bmp") return TPictureFormat::Bmp;
  if (Ext == "png") return TPictureFormat::Png;
  return TPictureFormat::None;
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

bool WritePicture(const std::string& Name, TPictureFormat Format, std::string& Error) {
  if (Format == TPictureFormat::Png)
    return tools::WritePng(Name, VirtualScreen, SCREEN_WIDTH, SCREEN_HEIGHT, SCREEN_WIDTH * 4, Error);
  return tools::WriteBmp24(Name, VirtualScreen, SCREEN_WIDTH, SCREEN_HEIGHT, Error);
}

bool WriteSpecimen(const TFont& Font, uint32_t Ascent, const std::string& Out, int MaxPages) {
  uint32_t MaxWidth = 0;
  for (int C = 0; C < 256; ++C) MaxWidth = std::max(MaxWidth, GetTextLength(Font, std::string(1, char(C))));
  const int32_t Label = 2 * 4 * DIGIT_SCALE + 8;
  const int32_t HeaderRows = 5 * DIGIT_SCALE + 8;
  const int32_t CellW = int32_t(std::min<uint32_t>(std::max<uint32_t>(MaxWidth, 4 * DIGIT_SCALE * 2), 0xFFFF)) + 6;
  const int32_t CellH = std::max<int32_t>(Font.PixHeight, 5 * DIGIT_SCALE) + 6;
  int32_t Cols = 16;
  while (Cols > 1 && Label + Cols * CellW > SCREEN_WIDTH) Cols /= 2;
  const int32_t Rows = std::max<int32_t>(1, (SCREEN_HEIGHT - HeaderRows) / CellH);
  const int32_t PerPage = Cols * Rows;
  const int32_t Pages = (256 + PerPage - 1) / PerPage;
  if (Pages > MaxPages) {
    std::fprintf(stderr,
                 "lumora-fnt: no specimen: it would take %d pages of %d code%s each (glyph cells up to "
                 "%" PRIu32 " x %u pixels), more than %d; give --max-pages %d to write them all\n",
                 int(Pages), int(PerPage), PerPage == 1 ? "" : "s", MaxWidth, unsigned(Font.PixHeight),
                 MaxPages, int(Pages));
    return false;
  }
  const TPictureFormat Format = FormatOf(Out);

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
      const int32_t W = int32_t(std::min<uint32_t>(GetTextLength(Font, Ch), SCREEN_WIDTH));
      const int32_t H = std::min<int32_t>(Font.PixHeight, SCREEN_HEIGHT);
      SetColor(24, 24, 72, 0);  // the glyph's cell: its width by PixHeight
      Box(X + 3, Y + 3, W, H);
      SetColor(150, 30, 30, 0);  // baseline: the first row below the ascent
      if (Ascent < Font.PixHeight) Box(X + 3, Y + 3 + int32_t(Ascent), W, 1);
      SetColor(255, 255, 255, 0);
      WriteText(X + 3, Y + 3, Font, Ch);
    }
    const std::string Name = PageName(Out, Page);
    std::string Error;
    if (!WritePicture(Name, Format, Error)) {
      std::fprintf(stderr, "lumora-fnt: %s\n", Error.c_str());
      return false;
    }
    std::printf("specimen: %s (codes 0x%02X..0x%02X, page %d of %d)\n", Name.c_str(), unsigned(FirstCode),
                unsigned(std::min(255, FirstCode + PerPage - 1)), int(Page), int(Pages));
  }
  return true;
}

// ------------------------------------------------------------------ comparison

// What code C draws: the width and the ink pixels (column, row from the baseline), read
// from the glyph buffer of a loaded font.
struct TDrawn {
  uint32_t Width = 0;
  std::set<std::pair<int32_t, int32_t>> Ink;
};

TDrawn Drawn(const TFont& Font, uint32_t Ascent, int Code) {
  TDrawn D;
  const uint32_t Entries = uint32_t(Font.LastChar - Font.FirstChar) + 1;
  const uint32_t K = Code >= Font.FirstChar && Code <= Font.LastChar ? uint32_t(Code - Font.FirstChar) : Font.DefaultChar;
  if (K >= Entries) return D;
  const size_t EntrySize = fnt::EntrySize(Font.Version);
  const uint8_t* Entry = Font.Glyphs + size_t(K) * EntrySize;
  D.Width = bytes::Read16(Entry + fnt::ENTRY_OFS_WIDTH);
  const uint32_t Offset = Font.Version == fnt::VERSION_3X ? bytes::Read32(Entry + fnt::ENTRY_OFS_OFFSET)
                                                          : bytes::Read16(Entry + fnt::ENTRY_OFS_OFFSET);
  if (D.Width == 0 || Font.PixHeight == 0 || Offset < Font.BitsOffset) return D;
  const uint64_t At = uint64_t(Entries) * EntrySize + (Offset - Font.BitsOffset);
  const uint64_t Strips = (uint64_t(D.Width) + 7) / 8;
  if (At + Strips * Font.PixHeight > Font.GlyphsSize) return D;
  for (uint64_t S = 0; S < Strips; ++S)
    for (uint32_t Y = 0; Y < Font.PixHeight; ++Y)
      for (uint32_t B = 0; B < 8 && S * 8 + B < D.Width; ++B)
        if ((Font.Glyphs[size_t(At + S * Font.PixHeight + Y)] >> (7 - B)) & 1)
          D.Ink.insert({int32_t(S * 8 + B), int32_t(Y) - int32_t(Ascent)});
  return D;
}

int Diff(const std::string& OldPath, const std::string& NewPath) {
  TFont Fonts[2]{};
  uint32_t Ascent[2] = {};
  const std::string Paths[2] = {OldPath, NewPath};
  for (int I = 0; I < 2; ++I) {
    std::vector<uint8_t> Bytes;
    std::string Error;
    uint8_t Result = FNT_CANNOT_OPEN;
    if (ReadFile(Paths[I], Bytes, Error)) {
      Ascent[I] = AscentOf(Bytes);
      LoadFNTFont(Paths[I], Fonts[I], Result);
      Error = FNTResultText(Result);
    }
    if (Result != FNT_OK) {
      std::fprintf(stderr, "lumora-fnt: cannot compare: %s: %s\n", Paths[I].c_str(), Error.c_str());
      FreeFNTFont(Fonts[0]);
      return EXIT_NOT_LOADED;
    }
  }
  int Different = 0;
  for (int Code = 0; Code < 256; ++Code) {
    const TDrawn A = Drawn(Fonts[0], Ascent[0], Code);
    const TDrawn B = Drawn(Fonts[1], Ascent[1], Code);
    if (A.Width == B.Width && A.Ink == B.Ink) continue;
    ++Different;
    size_t OnlyOld = 0, OnlyNew = 0;
    for (const auto& P : A.Ink) OnlyOld += B.Ink.count(P) == 0;
    for (const auto& P : B.Ink) OnlyNew += A.Ink.count(P) == 0;
    std::printf("  0x%02X: width %" PRIu32 " -> %" PRIu32 ", ink %zu -> %zu pixels (%zu only in the old, %zu only "
                "in the new)\n",
                unsigned(Code), A.Width, B.Width, A.Ink.size(), B.Ink.size(), OnlyOld, OnlyNew);
  }
  std::printf("diff: %s -> %s: %d of 256 codes differ\n", OldPath.c_str(), NewPath.c_str(), Different);
  for (TFont& F : Fonts) FreeFNTFont(F);
  return Different ? EXIT_DIFFERENT : EXIT_LOADED;
}

}  // namespace

int main(int Argc, char** Argv) {
  std::string FontPath, Specimen, DiffOld;
  int MaxPages = DEFAULT_MAX_PAGES;
  for (int I = 1; I < Argc; ++I) {
    const std::string A = Argv[I];
    if (A == "-h" || A == "--help") {
      PrintUsage(stdout);
      return EXIT_LOADED;
    } else if (A == "--specimen" || A == "--max-pages" || A == "--diff") {
      if (I + 1 >= Argc) {
        std::fprintf(stderr, "lumora-fnt: %s needs a value (see --help)\n", A.c_str());
        return EXIT_USAGE;
      }
      const std::string V = Argv[++I];
      if (A == "--specimen") {
        if (FormatOf(V) == TPictureFormat::None) {
          std::fprintf(stderr, "lumora-fnt: the specimen is written as .bmp or .png, not %s\n", V.c_str());
          return EXIT_USAGE;
        }
        Specimen = V;
      } else if (A == "--diff") {
        DiffOld = V;
      } else {
        const bool Digits = !V.empty() && V.size() <= 3 && V.find_first_not_of("0123456789") == std::string::npos;
        MaxPages = Digits ? std::stoi(V) : 0;
        if (MaxPages < 1 || MaxPages > 256) {
          std::fprintf(stderr, "lumora-fnt: --max-pages is 1..256, not %s\n", V.c_str());
          return EXIT_USAGE;
        }
      }
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
  if (!DiffOld.empty() && !Specimen.empty()) {
    std::fprintf(stderr, "lumora-fnt: --diff draws no specimen (see --help)\n");
    return EXIT_USAGE;
  }

  UseHeadlessPlatform();
  InitLumora("lumora-fnt");
  int Exit = EXIT_LOADED;
  if (!DiffOld.empty()) {
    Exit = Diff(DiffOld, FontPath);
    LoadedFonts.clear();
    CloseLumora();
    return Exit;
  }

  std::vector<uint8_t> Bytes;
  std::string Error;
  if (!ReadFile(FontPath, Bytes, Error)) {
    std::fprintf(stderr, "lumora-fnt: cannot open %s: %s\n", FontPath.c_str(), Error.c_str());
    CloseLumora();
    return EXIT_NOT_LOADED;
  }
  PrintHeader(FontPath, Bytes);
  TFont Font{};
  uint8_t Result = 0;
  LoadFNTFont(FontPath, Font, Result);
  std::printf("result: %u (%s)\n", unsigned(Result), FNTResultText(Result));
  Exit = Result == FNT_OK ? EXIT_LOADED : EXIT_NOT_LOADED;
  if (Result == FNT_OK) {
    std::printf("glyph buffer: %" PRIu32 " bytes, %u entries of %u bytes\n", Font.GlyphsSize,
                unsigned(Font.LastChar - Font.FirstChar + 1), unsigned(fnt::EntrySize(Font.Version)));
    if (!Specimen.empty() && !WriteSpecimen(Font, AscentOf(Bytes), Specimen, MaxPages)) Exit = EXIT_WRITE_FAILED;
  } else if (!Specimen.empty()) {
    std::fprintf(stderr, "lumora-fnt: no specimen: the font did not load\n");
  }
  FreeFNTFont(Font);
  LoadedFonts.clear();
  CloseLumora();
  return Exit;
}
