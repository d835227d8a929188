// lumora-mkfnt: renders a TrueType/OpenType font at one size into a variable-width Windows
// .fnt bitmap font (2.x or 3.x). Relies on FreeType and the tools' little-endian writers.
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

#include "tools/common/bytes.h"

namespace {

constexpr int EXIT_OK = 0;
constexpr int EXIT_FAILED = 1;
constexpr int EXIT_USAGE = 2;

constexpr int FIRST_CODE = 32;
constexpr int LAST_CODE = 255;
constexpr int CODE_COUNT = LAST_CODE - FIRST_CODE + 1;
constexpr int MAX_PX = 1024;

// The .fnt header.
constexpr size_t FNT_HEADER_SIZE = 118;
constexpr size_t FNT_HEADER3_SIZE = 30;
constexpr size_t COPYRIGHT_SIZE = 60;
constexpr uint32_t DFF_PROPORTIONAL = 0x0002;
constexpr uint32_t DFF_1COLOR = 0x0010;
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

}  // namespace

int main(int Argc, char** Argv) {
  const TOptions O = ParseArguments(Argc, Argv);
  const bool Symbol = !O.CodesFile.empty();
  std::array<uint32_t, 256> Unicode{};
  if (Symbol) {
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

  // The glyph of every code, 0 where the font has none.
  std::array<FT_UInt, 256> Index{};
  int Missing = 0;
  for (int C = FIRST_CODE; C <= LAST_CODE; ++C) {
    const uint32_t U = Unicode[size_t(C)];
    Index[size_t(C)] = U ? FT_Get_Char_Index(Face, U) : 0;
    // The no-break space and the soft hyphen look like the space and the hyphen.
    if (Index[size_t(C)] == 0 && (U == 0xA0 || U == 0xAD)) Index[size_t(C)] = FT_Get_Char_Index(Face, U == 0xA0 ? 0x20 : 0x2D);
    if (U && Index[size_t(C)] == 0) ++Missing;
  }
  // The default character sits at the first code without a glyph (0x7F first), or at the
  // space when every code has one.
  int DefaultCode = FIRST_CODE;
  const int Candidates[] = {0x7F, 0x81, 0x8D, 0x8F, 0x90, 0x9D};
  bool Found = false;
  for (const int C : Candidates) {
    if (Index[size_t(C)] == 0) {
      DefaultCode = C;
      Found = true;
      break;
    }
  }
  for (int C = FIRST_CODE; C <= LAST_CODE && !Found; ++C) {
    if (Index[size_t(C)] == 0) {
      DefaultCode = C;
      Found = true;
    }
  }

  // Render each glyph once; codes without a glyph share the default character's cell.
  std::map<FT_UInt, TRendered> Rendered;
  for (int C = FIRST_CODE; C <= LAST_CODE; ++C)
    if (Index[size_t(C)] != 0 && !Rendered.count(Index[size_t(C)])) Rendered[Index[size_t(C)]] = Render(Face, Index[size_t(C)]);
  TRendered NotDef = Found ? Render(Face, 0) : Rendered[Index[size_t(DefaultCode)]];
  if (Found && !NotDef.HasInk()) NotDef = BoxGlyph(O.Px);

  int Ascent = int(std::nearbyint(Face->size->metrics.ascender / 64.0L));
  int Descent = int(std::nearbyint(-Face->size->metrics.descender / 64.0L));
  auto Grow = [&](const TRendered& R) {
    if (!R.HasInk()) return;
    Ascent = std::max(Ascent, R.Top);
    Descent = std::max(Descent, R.Rows - R.Top);
  };
  for (const auto& [I, R] : Rendered) Grow(R);
  Grow(NotDef);
  const int PixHeight = Ascent + Descent;
  if (PixHeight <= 0 || PixHeight > 0xFFFF) Fail("the glyphs have no usable height");

  // Cells: one per distinct glyph, in code order; each code refers to one.
  std::vector<TCell> Cells;
  std::map<FT_UInt, size_t> CellOf;
  std::array<size_t, 256> CellOfCode{};
  const size_t DefaultCell = 0;
  Cells.push_back(MakeCell(NotDef, Ascent, PixHeight, O.Bold));
  if (!Found) CellOf[Index[size_t(DefaultCode)]] = DefaultCell;
  for (int C = FIRST_CODE; C <= LAST_CODE; ++C) {
    const FT_UInt I = Index[size_t(C)];
    if (I == 0) {
      CellOfCode[size_t(C)] = DefaultCell;
      continue;
    }
    if (!CellOf.count(I)) {
      CellOf[I] = Cells.size();
      Cells.push_back(MakeCell(Rendered[I], Ascent, PixHeight, O.Bold));
    }
    CellOfCode[size_t(C)] = CellOf[I];
  }

  // Layout: header, table, bitmaps, face name.
  auto BitsOffsetFor = [](int Version) {
    return FNT_HEADER_SIZE + (Version == 3 ? FNT_HEADER3_SIZE : 0) + size_t(CODE_COUNT) * (Version == 3 ? 6 : 4);
  };
  std::vector<uint64_t> CellOffset(Cells.size());
  auto Place = [&](int Version) {
    uint64_t At = BitsOffsetFor(Version);
    for (size_t K = 0; K < Cells.size(); ++K) {
      CellOffset[K] = At;
      At += Cells[K].Strips.size();
    }
    return At;
  };
  int Version = O.Version;
  uint64_t BitsEnd = Place(Version ? Version : 2);
  const bool Fits16 = CellOffset.back() <= 0xFFFF;
  if (Version == 0) Version = Fits16 ? 2 : 3;
  if (Version == 2 && !Fits16) Fail("glyph offsets do not fit 16 bits: use --version 3");
  BitsEnd = Place(Version);

  const std::string FaceName = O.Face.empty() ? std::string(Face->family_name ? Face->family_name : "") : O.Face;
  const uint64_t FileSize = BitsEnd + FaceName.size() + 1;
  if (FileSize > 0xFFFFFFFFu) Fail("the font would be larger than 4 GiB");

  std::vector<uint8_t> F(size_t(FileSize), 0);
  using tools::PutLe16;
  using tools::PutLe32;
  const size_t BitsOffset = BitsOffsetFor(Version);
  uint32_t MaxWidth = 0, StripTotal = 0;
  for (const TCell& C : Cells) {
    MaxWidth = std::max(MaxWidth, C.Width);
    StripTotal += (C.Width + 7) / 8;
  }
  const TCell& X = Cells[CellOfCode['X']];
  const std::string Copyright = CopyrightOf(Face);
  const TT_OS2* Os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(Face, FT_SFNT_OS2));
  int Weight = Os2 ? Os2->usWeightClass : ((Face->style_flags & FT_STYLE_FLAG_BOLD) ? 700 : 400);
  if (O.Bold) Weight = std::max(Weight, 700);
  const int LineHeight = int(std::nearbyint(Face->size->metrics.height / 64.0L));

  PutLe16(F, 0, Version == 3 ? 0x0300 : 0x0200);
  PutLe32(F, 2, uint32_t(FileSize));
  std::memcpy(&F[6], Copyright.data(), std::min(Copyright.size(), COPYRIGHT_SIZE));
  PutLe16(F, 66, 0);  // dfType: raster
  PutLe16(F, 68, uint32_t(O.Points));
  PutLe16(F, 70, 96);
  PutLe16(F, 72, 96);
  PutLe16(F, 74, uint32_t(Ascent));
  PutLe16(F, 76, uint32_t(std::max(0, PixHeight - O.Px)));
  PutLe16(F, 78, uint32_t(std::max(0, LineHeight - PixHeight)));
  F[80] = (Face->style_flags & FT_STYLE_FLAG_ITALIC) ? 1 : 0;
  PutLe16(F, 83, uint32_t(Weight));
  F[85] = Symbol ? SYMBOL_CHARSET : ANSI_CHARSET;
  PutLe16(F, 86, 0);  // dfPixWidth: variable width, whatever the source
  PutLe16(F, 88, uint32_t(PixHeight));
  F[90] = uint8_t(VARIABLE_PITCH | (FT_IS_FIXED_WIDTH(Face) ? FF_MODERN : 0));
  PutLe16(F, 91, X.Width);
  PutLe16(F, 93, std::min<uint32_t>(MaxWidth, 0xFFFF));
  F[95] = FIRST_CODE;
  F[96] = LAST_CODE;
  F[97] = uint8_t(DefaultCode - FIRST_CODE);
  F[98] = uint8_t(' ' - FIRST_CODE);
  PutLe16(F, 99, std::min<uint32_t>((StripTotal + 1) / 2 * 2, 0xFFFF));
  PutLe32(F, 105, uint32_t(BitsEnd));  // dfFace
  PutLe32(F, 113, uint32_t(BitsOffset));
  size_t TableAt = FNT_HEADER_SIZE;
  if (Version == 3) {
    PutLe32(F, 118, DFF_PROPORTIONAL | DFF_1COLOR);
    TableAt += FNT_HEADER3_SIZE;
  }
  for (int C = FIRST_CODE; C <= LAST_CODE; ++C) {
    const size_t K = CellOfCode[size_t(C)];
    if (Version == 3) {
      PutLe16(F, TableAt, Cells[K].Width);
      PutLe32(F, TableAt + 2, uint32_t(CellOffset[K]));
      TableAt += 6;
    } else {
      PutLe16(F, TableAt, Cells[K].Width);
      PutLe16(F, TableAt + 2, uint32_t(CellOffset[K]));
      TableAt += 4;
    }
  }
  for (size_t K = 0; K < Cells.size(); ++K)
    std::copy(Cells[K].Strips.begin(), Cells[K].Strips.end(), F.begin() + ptrdiff_t(CellOffset[K]));
  std::copy(FaceName.begin(), FaceName.end(), F.begin() + ptrdiff_t(BitsEnd));

  FT_Done_Face(Face);
  FT_Done_FreeType(Library);

  std::FILE* Out = std::fopen(O.Output.c_str(), "wb");
  if (Out == nullptr) Fail("cannot write " + O.Output + ": " + std::strerror(errno));
  const bool Written = std::fwrite(F.data(), 1, F.size(), Out) == F.size();
  if (std::fclose(Out) != 0 || !Written) {
    std::remove(O.Output.c_str());
    Fail("cannot write " + O.Output);
  }
  if (!O.Quiet) {
    std::printf("%s: %s %d px (%d pt)%s, version %d.x, height %d (ascent %d), %zu glyphs, "
                "%d codes missing from the font, default character 0x%02X, %zu bytes\n",
                O.Output.c_str(), FaceName.c_str(), O.Px, O.Points, O.Bold ? " bold" : "", Version,
                PixHeight, Ascent, Cells.size(), Missing, unsigned(DefaultCode), F.size());
  }
  return EXIT_OK;
}
