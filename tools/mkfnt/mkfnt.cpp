// lumora-mkfnt: renders a TrueType/OpenType font at one size into a variable-width Windows
// .fnt bitmap font (2.x or 3.x). Relies on FreeType and the library's .fnt layout.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SFNT_NAMES_H
#include FT_TRUETYPE_IDS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "lumora/internal/bytes.h"
#include "lumora/internal/fnt_layout.h"

namespace {

constexpr int EXIT_OK = 0;
constexpr int EXIT_FAILED = 1;
constexpr int EXIT_USAGE = 2;

constexpr int FIRST_CODE = 32;
constexpr int LAST_CODE = 255;
constexpr int CODE_COUNT = LAST_CODE - FIRST_CODE + 1;
constexpr int MAX_PX = 1024;

namespace fnt = lumora::fnt;
using lumora::bytes::Put16;
using lumora::bytes::Put32;

// Header values the fonts are written with.
constexpr uint8_t ANSI_CHARSET = 0;
constexpr uint8_t SYMBOL_CHARSET = 2;
constexpr uint8_t VARIABLE_PITCH = 0x01;
constexpr uint8_t FF_MODERN = 0x30;

void PrintUsage(std::FILE* To) {
  std::fputs(
      "Usage: lumora-mkfnt (--px N | --pt P) [options] INPUT.ttf|.otf OUTPUT.fnt\n"
      "\n"
      "Renders codes 32..255 of a TrueType or OpenType font in 1-bit mode and writes a\n"
      "variable-width Windows .fnt bitmap font that lumora's LoadFNTFont reads.\n"
      "\n"
      "  --px N         em size in pixels (1..1024)\n"
      "  --pt P         point size at 96 dpi: N = P x 96 / 72, rounded half to even\n"
      "  --version 2|3  table layout: 2.x (16-bit glyph offsets) or 3.x (32-bit); by default\n"
      "                 2.x when every glyph offset fits 16 bits, else 3.x\n"
      "  --bold         embolden by one pixel: every row ORed with itself shifted one pixel\n"
      "                 right, every glyph one pixel wider\n"
      "  --codes FILE   map the codes through a table (a header line, then lines\n"
      "                 0xNN<TAB>U+XXXX) instead of Windows-1252, and mark the font as a\n"
      "                 symbol font; 0x20 is the space unless the table says otherwise\n"
      "  --face NAME    face name stored in the font (default: the family name)\n"
      "  -q, --quiet    no summary line\n"
      "  -h, --help     show this help\n"
      "\n"
      "Glyphs: the width of a glyph is its advance, rounded (plus one with --bold), so\n"
      "text keeps the font's spacing. Ink outside that cell (italic and script letters\n"
      "overhang by a pixel or two) is moved into it by as many columns as it overhangs;\n"
      "only ink wider than the cell itself is cut, on the right. A glyph with ink but\n"
      "no advance is as wide as its ink, and no glyph is narrower than one column.\n"
      "dfPixHeight is the size's ascent plus descent, grown where a glyph's ink reaches\n"
      "above or below them.\n"
      "Codes the font lacks, and codes 0x7F, 0x81, 0x8D, 0x8F, 0x90 and 0x9D that\n"
      "Windows-1252 leaves undefined, draw the default character: the font's .notdef glyph\n"
      "(an outlined box when that glyph is blank), stored at the first such code. A font\n"
      "without a no-break space or soft hyphen gets its space or hyphen there.\n"
      "\n"
      "Exit status: 0 written, 1 failed (font cannot be read, table malformed, output not\n"
      "writable, glyphs too large for the layout asked), 2 usage error.\n",
      To);
}

// Windows-1252 codes 0x80..0x9F; 0 marks a code without a character.
constexpr uint16_t CP1252_80[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

uint32_t Cp1252ToUnicode(int Code) {
  if (Code == 0x7F) return 0;
  if (Code >= 0x80 && Code <= 0x9F) return CP1252_80[Code - 0x80];
  return uint32_t(Code);
}

struct TOptions {
  std::string Input, Output, CodesFile, Face;
  int Px = 0;
  int Points = 0;  // 0: derived from Px
  int Version = 0;  // 0: automatic
  bool Bold = false;
  bool Quiet = false;
};

[[noreturn]] void Fail(const std::string& Message, int Code = EXIT_FAILED) {
  std::fprintf(stderr, "lumora-mkfnt: %s\n", Message.c_str());
  std::exit(Code);
}

// A positive number, or nothing when Text is not one.
std::optional<long double> ParseNumber(const std::string& Text) {
  if (Text.empty()) return std::nullopt;
  char* End = nullptr;
  errno = 0;
  const long double V = std::strtold(Text.c_str(), &End);
  if (errno != 0 || End != Text.c_str() + Text.size() || !(V > 0) || !std::isfinite(V))
    return std::nullopt;
  return V;
}

TOptions ParseArguments(int Argc, char** Argv) {
  TOptions O;
  std::vector<std::string> Files;
  auto Value = [&](int& I, const std::string& Name) -> std::string {
    if (I + 1 >= Argc) Fail(Name + " needs a value (see --help)", EXIT_USAGE);
    return Argv[++I];
  };
  for (int I = 1; I < Argc; ++I) {
    const std::string A = Argv[I];
    if (A == "-h" || A == "--help") {
      PrintUsage(stdout);
      std::exit(EXIT_OK);
    } else if (A == "--px") {
      const std::string V = Value(I, A);
      const auto N = ParseNumber(V);
      if (!N || *N != std::floor(*N) || *N > MAX_PX) Fail("bad pixel size " + V + " (1..1024)", EXIT_USAGE);
      O.Px = int(*N);
    } else if (A == "--pt") {
      const std::string V = Value(I, A);
      const auto P = ParseNumber(V);
      const long double Px = P ? std::nearbyint(*P * 96.0L / 72.0L) : 0;
      if (!P || Px < 1 || Px > MAX_PX) Fail("bad point size " + V, EXIT_USAGE);
      O.Px = int(Px);
      O.Points = int(std::nearbyint(*P));
    } else if (A == "--version") {
      const std::string V = Value(I, A);
      if (V != "2" && V != "3") Fail("--version is 2 or 3, not " + V, EXIT_USAGE);
      O.Version = V[0] - '0';
    } else if (A == "--bold") {
      O.Bold = true;
    } else if (A == "--codes") {
      O.CodesFile = Value(I, A);
    } else if (A == "--face") {
      O.Face = Value(I, A);
    } else if (A == "-q" || A == "--quiet") {
      O.Quiet = true;
    } else if (A.size() > 1 && A[0] == '-') {
      Fail("unknown option " + A + " (see --help)", EXIT_USAGE);
    } else {
      Files.push_back(A);
    }
  }
  if (Files.size() != 2) Fail("need an input font and an output file (see --help)", EXIT_USAGE);
  if (O.Px == 0) Fail("give the size with --px or --pt (see --help)", EXIT_USAGE);
  O.Input = Files[0];
  O.Output = Files[1];
  if (O.Points == 0) O.Points = int(std::nearbyint(O.Px * 72.0L / 96.0L));
  return O;
}

// The code table: code -> Unicode, 0 for codes it leaves out.
std::array<uint32_t, 256> ReadCodeTable(const std::string& Path) {
  std::ifstream In(Path);
  if (!In) Fail("cannot open the code table " + Path);
  std::array<uint32_t, 256> Map{};
  std::string Line;
  int Number = 0;
  std::getline(In, Line);  // the header line
  ++Number;
  while (std::getline(In, Line)) {
    ++Number;
    if (!Line.empty() && Line.back() == '\r') Line.pop_back();
    if (Line.empty()) continue;
    unsigned Code = 0, Unicode = 0;
    char Tail = 0;
    if (std::sscanf(Line.c_str(), "0x%x\tU+%x%c", &Code, &Unicode, &Tail) != 2 || Code < FIRST_CODE ||
        Code > LAST_CODE || Unicode == 0 || Unicode > 0x10FFFF) {
      Fail(Path + ":" + std::to_string(Number) + ": expected 0xNN<TAB>U+XXXX with a code 0x20..0xFF");
    }
    Map[Code] = Unicode;
  }
  if (Map[0x20] == 0) Map[0x20] = 0x20;
  return Map;
}

// One rendered glyph: its advance and its ink relative to the origin on the baseline.
struct TRendered {
  int Advance = 0;
  int Left = 0;  // column of the first ink column (may be negative)
  int Top = 0;   // rows of ink above the baseline
  int Width = 0, Rows = 0;
  std::vector<uint8_t> Ink;  // Width x Rows, 1 = ink
  bool HasInk() const { return std::find(Ink.begin(), Ink.end(), 1) != Ink.end(); }
};

TRendered Render(FT_Face Face, FT_UInt Index) {
  if (FT_Load_Glyph(Face, Index, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0)
    Fail("FreeType cannot render glyph " + std::to_string(Index));
  const FT_GlyphSlot G = Face->glyph;
  TRendered R;
  R.Advance = int(std::nearbyint(G->advance.x / 64.0L));
  R.Left = G->bitmap_left;
  R.Top = G->bitmap_top;
  R.Width = int(G->bitmap.width);
  R.Rows = int(G->bitmap.rows);
  R.Ink.assign(size_t(R.Width) * size_t(R.Rows), 0);
  if (R.Width > 0 && R.Rows > 0 && G->bitmap.pixel_mode != FT_PIXEL_MODE_MONO)
    Fail("FreeType did not render glyph " + std::to_string(Index) + " in 1-bit mode");
  for (int Y = 0; Y < R.Rows; ++Y) {
    const unsigned char* Row = G->bitmap.buffer + ptrdiff_t(Y) * G->bitmap.pitch;
    for (int X = 0; X < R.Width; ++X) R.Ink[size_t(Y) * size_t(R.Width) + size_t(X)] = (Row[X / 8] >> (7 - X % 8)) & 1;
  }
  return R;
}

// An outlined box, for a font whose .notdef glyph is blank.
TRendered BoxGlyph(int Px) {
  TRendered R;
  R.Width = std::max(3, int(std::nearbyint(Px * 0.5L)));
  R.Rows = std::max(3, int(std::nearbyint(Px * 0.7L)));
  R.Left = 1;
  R.Top = R.Rows;
  R.Advance = R.Width + 2;
  R.Ink.assign(size_t(R.Width) * size_t(R.Rows), 0);
  for (int Y = 0; Y < R.Rows; ++Y)
    for (int X = 0; X < R.Width; ++X)
      if (Y == 0 || Y == R.Rows - 1 || X == 0 || X == R.Width - 1) R.Ink[size_t(Y) * size_t(R.Width) + size_t(X)] = 1;
  return R;
}

// A glyph as stored: its width and its strips (ceil(Width / 8) x PixHeight bytes).
struct TCell {
  uint32_t Width = 0;
  std::vector<uint8_t> Strips;
};

TCell MakeCell(const TRendered& R, int Ascent, int PixHeight, bool Bold) {
  // The cell is the advance wide. Ink overhanging it on the left or the right is moved
  // in by its overhang (left first); what is still outside, ink wider than the cell, is cut.
  // A glyph with ink but no advance (a spacing accent drawn as a mark) gets a cell as wide
  // as its ink, and no cell is narrower than one column: readers refuse empty glyphs.
  const bool Ink = R.HasInk();
  const int Advance = std::max(1, R.Advance > 0 || !Ink ? R.Advance : R.Width);
  const int Width = Advance + (Bold ? 1 : 0);
  if (Width > 0xFFFF) Fail("a glyph is wider than 65,535 pixels");
  int Shift = 0;
  if (R.Left + R.Width > Advance) Shift = Advance - (R.Left + R.Width);
  if (R.Left + Shift < 0) Shift = -R.Left;
  std::vector<uint8_t> Grid(size_t(Width) * size_t(PixHeight), 0);
  for (int Y = 0; Y < R.Rows && Ink; ++Y) {
    const int Row = Ascent - R.Top + Y;
    for (int X = 0; X < R.Width; ++X) {
      const int Column = R.Left + Shift + X;
      if (Column < Advance && R.Ink[size_t(Y) * size_t(R.Width) + size_t(X)])
        Grid[size_t(Row) * size_t(Width) + size_t(Column)] = 1;
    }
  }
  if (Bold) {
    for (int Y = 0; Y < PixHeight; ++Y)
      for (int X = Width - 1; X > 0; --X) Grid[size_t(Y) * size_t(Width) + size_t(X)] |= Grid[size_t(Y) * size_t(Width) + size_t(X - 1)];
  }
  TCell C;
  C.Width = uint32_t(Width);
  const size_t Strips = (size_t(Width) + 7) / 8;
  C.Strips.assign(Strips * size_t(PixHeight), 0);
  for (int Y = 0; Y < PixHeight; ++Y)
    for (int X = 0; X < Width; ++X)
      if (Grid[size_t(Y) * size_t(Width) + size_t(X)])
        C.Strips[size_t(X / 8) * size_t(PixHeight) + size_t(Y)] |= uint8_t(0x80u >> (X % 8));
  return C;
}

// The copyright notice of the font (name 0), as 8-bit characters.
std::string CopyrightOf(FT_Face Face) {
  const FT_UInt Count = FT_Get_Sfnt_Name_Count(Face);
  std::string Best;
  for (FT_UInt I = 0; I < Count; ++I) {
    FT_SfntName N;
    if (FT_Get_Sfnt_Name(Face, I, &N) != 0 || N.name_id != TT_NAME_ID_COPYRIGHT) continue;
    std::string S;
    const bool Utf16 = N.platform_id == TT_PLATFORM_MICROSOFT || N.platform_id == TT_PLATFORM_APPLE_UNICODE;
    if (Utf16) {
      for (FT_UInt K = 0; K + 1 < N.string_len; K += 2) {
        const unsigned C = unsigned(N.string[K] << 8 | N.string[K + 1]);
        S += C < 0x20 ? ' ' : C < 0x100 && !(C >= 0x7F && C < 0xA0) ? char(C) : '?';
      }
    } else {
      for (FT_UInt K = 0; K < N.string_len; ++K) {
        const unsigned C = N.string[K];
        S += C < 0x20 ? ' ' : C < 0x7F ? char(C) : '?';
      }
    }
    if (Best.empty() || (N.platform_id == TT_PLATFORM_MICROSOFT && N.language_id == 0x0409)) Best = S;
  }
  return Best;
}

// The glyph of every code and the code the default character is stored at.
struct TChoice {
  std::array<FT_UInt, 256> Index{};  // 0 where the font has no glyph
  int Missing = 0;                   // codes with a character the font lacks
  int DefaultCode = FIRST_CODE;
  bool DefaultIsNotDef = false;      // the default character is .notdef (some code has no glyph)
};

TChoice ChooseGlyphs(FT_Face Face, const std::array<uint32_t, 256>& Unicode) {
  TChoice C;
  for (int Code = FIRST_CODE; Code <= LAST_CODE; ++Code) {
    const uint32_t U = Unicode[size_t(Code)];
    FT_UInt& I = C.Index[size_t(Code)];
    I = U ? FT_Get_Char_Index(Face, U) : 0;
    // The no-break space and the soft hyphen look like the space and the hyphen.
    if (I == 0 && (U == 0xA0 || U == 0xAD)) I = FT_Get_Char_Index(Face, U == 0xA0 ? 0x20 : 0x2D);
    if (U && I == 0) ++C.Missing;
  }
  // The default character sits at the first code without a glyph (0x7F first), or at the
  // space when every code has one.
  const int Candidates[] = {0x7F, 0x81, 0x8D, 0x8F, 0x90, 0x9D};
  for (const int Code : Candidates) {
    if (C.Index[size_t(Code)] == 0) {
      C.DefaultCode = Code;
      C.DefaultIsNotDef = true;
      return C;
    }
  }
  for (int Code = FIRST_CODE; Code <= LAST_CODE; ++Code) {
    if (C.Index[size_t(Code)] == 0) {
      C.DefaultCode = Code;
      C.DefaultIsNotDef = true;
      return C;
    }
  }
  return C;
}

// Every glyph rendered once, and the rows they share.
struct TMeasured {
  std::map<FT_UInt, TRendered> Rendered;
  TRendered NotDef;  // the default character's glyph
  int Ascent = 0, PixHeight = 0;
};

TMeasured Measure(FT_Face Face, const TChoice& C, int Px) {
  TMeasured M;
  for (int Code = FIRST_CODE; Code <= LAST_CODE; ++Code) {
    const FT_UInt I = C.Index[size_t(Code)];
    if (I != 0 && !M.Rendered.count(I)) M.Rendered[I] = Render(Face, I);
  }
  M.NotDef = C.DefaultIsNotDef ? Render(Face, 0) : M.Rendered[C.Index[size_t(C.DefaultCode)]];
  if (C.DefaultIsNotDef && !M.NotDef.HasInk()) M.NotDef = BoxGlyph(Px);

  int Ascent = int(std::nearbyint(Face->size->metrics.ascender / 64.0L));
  int Descent = int(std::nearbyint(-Face->size->metrics.descender / 64.0L));
  auto Grow = [&](const TRendered& R) {
    if (!R.HasInk()) return;
    Ascent = std::max(Ascent, R.Top);
    Descent = std::max(Descent, R.Rows - R.Top);
  };
  for (const auto& [I, R] : M.Rendered) Grow(R);
  Grow(M.NotDef);
  M.Ascent = Ascent;
  M.PixHeight = Ascent + Descent;
  if (M.PixHeight <= 0 || M.PixHeight > 0xFFFF) Fail("the glyphs have no usable height");
  return M;
}

// Where everything goes in the file: header, table, bitmaps, face name.
struct TLayout {
  std::vector<TCell> Cells;  // one per distinct glyph, the default character's first
  std::array<size_t, 256> CellOfCode{};
  int Version = 0;
  std::vector<uint64_t> CellOffset;  // file offset of each cell's bitmap
  uint64_t BitsOffset = 0, BitsEnd = 0, FileSize = 0;
  std::string FaceName;
};

uint64_t BitsOffsetFor(int Version) {
  const uint16_t V = Version == 3 ? fnt::VERSION_3X : fnt::VERSION_2X;
  return fnt::TableStart(V) + uint64_t(CODE_COUNT) * fnt::EntrySize(V);
}

// Places the cells one after another behind the table of Version; returns their end.
uint64_t PlaceCells(TLayout& L, int Version) {
  uint64_t At = BitsOffsetFor(Version);
  L.CellOffset.resize(L.Cells.size());
  for (size_t K = 0; K < L.Cells.size(); ++K) {
    L.CellOffset[K] = At;
    At += L.Cells[K].Strips.size();
  }
  return At;
}

TLayout LayOut(const TChoice& C, TMeasured& M, const TOptions& O, const std::string& FaceName) {
  TLayout L;
  // Cells in code order; each code refers to one.
  std::map<FT_UInt, size_t> CellOf;
  const size_t DefaultCell = 0;
  L.Cells.push_back(MakeCell(M.NotDef, M.Ascent, M.PixHeight, O.Bold));
  if (!C.DefaultIsNotDef) CellOf[C.Index[size_t(C.DefaultCode)]] = DefaultCell;
  for (int Code = FIRST_CODE; Code <= LAST_CODE; ++Code) {
    const FT_UInt I = C.Index[size_t(Code)];
    if (I == 0) {
      L.CellOfCode[size_t(Code)] = DefaultCell;
      continue;
    }
    if (!CellOf.count(I)) {
      CellOf[I] = L.Cells.size();
      L.Cells.push_back(MakeCell(M.Rendered[I], M.Ascent, M.PixHeight, O.Bold));
    }
    L.CellOfCode[size_t(Code)] = CellOf[I];
  }

  // 2.x unless asked otherwise or a glyph offset needs more than 16 bits.
  L.Version = O.Version;
  PlaceCells(L, L.Version ? L.Version : 2);
  const bool Fits16 = L.CellOffset.back() <= 0xFFFF;
  if (L.Version == 0) L.Version = Fits16 ? 2 : 3;
  if (L.Version == 2 && !Fits16) Fail("glyph offsets do not fit 16 bits: use --version 3");
  L.BitsOffset = BitsOffsetFor(L.Version);
  L.BitsEnd = PlaceCells(L, L.Version);
  L.FaceName = FaceName;
  L.FileSize = L.BitsEnd + FaceName.size() + 1;
  if (L.FileSize > 0xFFFFFFFFu) Fail("the font would be larger than 4 GiB");
  return L;
}

// The whole file.
std::vector<uint8_t> WriteFont(FT_Face Face, const TOptions& O, const TChoice& C, const TMeasured& M,
                               const TLayout& L) {
  uint32_t MaxWidth = 0, StripTotal = 0;
  for (const TCell& Cell : L.Cells) {
    MaxWidth = std::max(MaxWidth, Cell.Width);
    StripTotal += (Cell.Width + 7) / 8;
  }
  const TCell& X = L.Cells[L.CellOfCode['X']];
  const std::string Copyright = CopyrightOf(Face);
  const TT_OS2* Os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(Face, FT_SFNT_OS2));
  int Weight = Os2 ? Os2->usWeightClass : ((Face->style_flags & FT_STYLE_FLAG_BOLD) ? 700 : 400);
  if (O.Bold) Weight = std::max(Weight, 700);
  const int LineHeight = int(std::nearbyint(Face->size->metrics.height / 64.0L));

  std::vector<uint8_t> F(size_t(L.FileSize), 0);
  Put16(F, fnt::OFS_VERSION, L.Version == 3 ? fnt::VERSION_3X : fnt::VERSION_2X);
  Put32(F, fnt::OFS_SIZE, uint32_t(L.FileSize));
  std::memcpy(&F[fnt::OFS_COPYRIGHT], Copyright.data(), std::min(Copyright.size(), fnt::COPYRIGHT_SIZE));
  Put16(F, fnt::OFS_TYPE, 0);  // raster
  Put16(F, fnt::OFS_POINTS, uint32_t(O.Points));
  Put16(F, fnt::OFS_VERT_RES, 96);
  Put16(F, fnt::OFS_HORIZ_RES, 96);
  Put16(F, fnt::OFS_ASCENT, uint32_t(M.Ascent));
  Put16(F, fnt::OFS_INTERNAL_LEADING, uint32_t(std::max(0, M.PixHeight - O.Px)));
  Put16(F, fnt::OFS_EXTERNAL_LEADING, uint32_t(std::max(0, LineHeight - M.PixHeight)));
  F[fnt::OFS_ITALIC] = (Face->style_flags & FT_STYLE_FLAG_ITALIC) ? 1 : 0;
  Put16(F, fnt::OFS_WEIGHT, uint32_t(Weight));
  F[fnt::OFS_CHAR_SET] = O.CodesFile.empty() ? ANSI_CHARSET : SYMBOL_CHARSET;
  Put16(F, fnt::OFS_PIX_WIDTH, 0);  // variable width, whatever the source
  Put16(F, fnt::OFS_PIX_HEIGHT, uint32_t(M.PixHeight));
  F[fnt::OFS_PITCH_AND_FAMILY] = uint8_t(VARIABLE_PITCH | (FT_IS_FIXED_WIDTH(Face) ? FF_MODERN : 0));
  Put16(F, fnt::OFS_AVG_WIDTH, X.Width);
  Put16(F, fnt::OFS_MAX_WIDTH, std::min<uint32_t>(MaxWidth, 0xFFFF));
  F[fnt::OFS_FIRST_CHAR] = FIRST_CODE;
  F[fnt::OFS_LAST_CHAR] = LAST_CODE;
  F[fnt::OFS_DEFAULT_CHAR] = uint8_t(C.DefaultCode - FIRST_CODE);
  F[fnt::OFS_BREAK_CHAR] = uint8_t(' ' - FIRST_CODE);
  Put16(F, fnt::OFS_WIDTH_BYTES, std::min<uint32_t>((StripTotal + 1) / 2 * 2, 0xFFFF));
  Put32(F, fnt::OFS_FACE, uint32_t(L.BitsEnd));
  Put32(F, fnt::OFS_BITS_OFFSET, uint32_t(L.BitsOffset));
  const uint16_t Version = L.Version == 3 ? fnt::VERSION_3X : fnt::VERSION_2X;
  if (Version == fnt::VERSION_3X) Put32(F, fnt::OFS_FLAGS, fnt::FLAG_PROPORTIONAL | fnt::FLAG_1COLOR);

  size_t Entry = fnt::TableStart(Version);
  for (int Code = FIRST_CODE; Code <= LAST_CODE; ++Code, Entry += fnt::EntrySize(Version)) {
    const size_t K = L.CellOfCode[size_t(Code)];
    Put16(F, Entry + fnt::ENTRY_OFS_WIDTH, L.Cells[K].Width);
    if (Version == fnt::VERSION_3X) {
      Put32(F, Entry + fnt::ENTRY_OFS_OFFSET, uint32_t(L.CellOffset[K]));
    } else {
      Put16(F, Entry + fnt::ENTRY_OFS_OFFSET, uint32_t(L.CellOffset[K]));
    }
  }
  for (size_t K = 0; K < L.Cells.size(); ++K)
    std::copy(L.Cells[K].Strips.begin(), L.Cells[K].Strips.end(), F.begin() + ptrdiff_t(L.CellOffset[K]));
  std::copy(L.FaceName.begin(), L.FaceName.end(), F.begin() + ptrdiff_t(L.BitsEnd));
  return F;
}

// Writes Bytes to Path; a file that cannot be written whole is removed.
void Save(const std::string& Path, const std::vector<uint8_t>& Bytes) {
  std::FILE* Out = std::fopen(Path.c_str(), "wb");
  if (Out == nullptr) Fail("cannot write " + Path + ": " + std::strerror(errno));
  const bool Written = std::fwrite(Bytes.data(), 1, Bytes.size(), Out) == Bytes.size();
  if (std::fclose(Out) != 0 || !Written) {
    std::remove(Path.c_str());
    Fail("cannot write " + Path);
  }
}

}  // namespace

int main(int Argc, char** Argv) {
  const TOptions O = ParseArguments(Argc, Argv);
  std::array<uint32_t, 256> Unicode{};
  if (!O.CodesFile.empty()) {
    Unicode = ReadCodeTable(O.CodesFile);
  } else {
    for (int C = FIRST_CODE; C <= LAST_CODE; ++C) Unicode[size_t(C)] = Cp1252ToUnicode(C);
  }

  if (std::FILE* F = std::fopen(O.Input.c_str(), "rb")) {
    std::fclose(F);
  } else {
    Fail("cannot open " + O.Input + ": " + std::strerror(errno));
  }
  FT_Library Library;
  if (FT_Init_FreeType(&Library) != 0) Fail("cannot start FreeType");
  FT_Face Face;
  if (FT_New_Face(Library, O.Input.c_str(), 0, &Face) != 0) Fail(O.Input + " is not a font FreeType can read");
  if (!FT_IS_SCALABLE(Face)) Fail(O.Input + " is not a scalable (TrueType or OpenType) font");
  if (FT_Select_Charmap(Face, FT_ENCODING_UNICODE) != 0) Fail(O.Input + " has no Unicode character map");
  if (FT_Set_Pixel_Sizes(Face, 0, FT_UInt(O.Px)) != 0) Fail("FreeType cannot set the size " + std::to_string(O.Px));

  const TChoice Choice = ChooseGlyphs(Face, Unicode);
  TMeasured Measured = Measure(Face, Choice, O.Px);
  const std::string FaceName = O.Face.empty() ? std::string(Face->family_name ? Face->family_name : "") : O.Face;
  const TLayout Layout = LayOut(Choice, Measured, O, FaceName);
  const std::vector<uint8_t> File = WriteFont(Face, O, Choice, Measured, Layout);
  FT_Done_Face(Face);
  FT_Done_FreeType(Library);

  Save(O.Output, File);
  if (!O.Quiet) {
    std::printf("%s: %s %d px (%d pt)%s, version %d.x, height %d (ascent %d), %zu glyphs, "
                "%d codes missing from the font, default character 0x%02X, %zu bytes\n",
                O.Output.c_str(), FaceName.c_str(), O.Px, O.Points, O.Bold ? " bold" : "", Layout.Version,
                Measured.PixHeight, Measured.Ascent, Layout.Cells.size(), Choice.Missing,
                unsigned(Choice.DefaultCode), File.size());
  }
  return EXIT_OK;
}
