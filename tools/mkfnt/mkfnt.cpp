// lumora-mkfnt: writes a variable-width Windows .fnt bitmap font (2.x or 3.x) from a font
// FreeType opens: a TrueType/OpenType font rendered at one size in 1-bit mode, or one bitmap
// strike of a bitmap font (.fon, .fnt, .bdf, .pcf, .otb) copied bit for bit. Relies on
// FreeType and the library's .fnt layout.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BDF_H
#include FT_FONT_FORMATS_H
#include FT_SFNT_NAMES_H
#include FT_TRUETYPE_IDS_H
#include FT_TRUETYPE_TABLES_H
#include FT_WINFONTS_H

#include <sys/stat.h>

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

// Codes of a font mapped through Unicode (Windows-1252 or a code table).
constexpr int FIRST_CODE = 32;
constexpr int LAST_CODE = 255;
constexpr int MAX_PX = 1024;
constexpr int MAX_FACE_INDEX = 0xFFFF;  // FreeType keeps the face index in 16 bits

namespace fnt = lumora::fnt;
using lumora::bytes::Put16;
using lumora::bytes::Put32;

// Header values the fonts are written with.
constexpr uint8_t ANSI_CHARSET = 0;
constexpr uint8_t SYMBOL_CHARSET = 2;
constexpr uint8_t OEM_CHARSET = 255;
constexpr uint8_t VARIABLE_PITCH = 0x01;
constexpr uint8_t FF_MODERN = 0x30;

void PrintUsage(std::FILE* To) {
  std::fputs(
      "Usage: lumora-mkfnt [--px N | --pt P | --strike K] [options] INPUT OUTPUT.fnt\n"
      "       lumora-mkfnt --list-sizes INPUT\n"
      "\n"
      "Writes a variable-width Windows .fnt bitmap font that lumora's LoadFNTFont reads, from\n"
      "any font FreeType opens:\n"
      "  - a scalable font (TrueType, OpenType), rendered at one size in 1-bit mode;\n"
      "  - a bitmap font (.fon, .fnt, .bdf, .pcf, .pcf.gz, .otb), one of its strikes copied\n"
      "    bit for bit at the strike's own size: nothing is rendered or scaled.\n"
      "\n"
      "  --px N          scalable font: em size in pixels (1..1024). Bitmap font: the strike\n"
      "                  whose em size is N pixels, or else whose height is N\n"
      "  --pt P          the same in points at 96 dpi: N = P x 96 / 72, rounded half to even\n"
      "  --strike K      use bitmap strike K (as numbered by --list-sizes), also of a\n"
      "                  scalable font that carries strikes. A bitmap font with a single\n"
      "                  strike needs no size\n"
      "  --face-index N  face N of a file that holds several (every font resource of a .fon,\n"
      "                  the fonts of a collection); default 0\n"
      "  --list-sizes    print the faces of INPUT and their strikes, and write nothing\n"
      "  --version 2|3   table layout: 2.x (16-bit glyph offsets) or 3.x (32-bit); by default\n"
      "                  2.x when every glyph offset fits 16 bits, else 3.x\n"
      "  --bold          embolden by one pixel: every row ORed with itself shifted one pixel\n"
      "                  right, every glyph one pixel wider\n"
      "  --codes FILE    map the codes through a table instead of Windows-1252 and mark the\n"
      "                  font as a symbol font. The first line is the header code<TAB>unicode,\n"
      "                  then one line 0xNN<TAB>U+XXXX per code 0x20..0xFF; 0x20 is the space\n"
      "                  unless the table says otherwise. Needs a font with a Unicode map\n"
      "  --face NAME     face name stored in the font (default: the family name)\n"
      "  -q, --quiet     no summary line\n"
      "  -h, --help      show this help\n"
      "\n"
      "Codes: a font with a Unicode character map gives codes 32..255 as Windows-1252 (or\n"
      "the --codes table) maps them. A bitmap font without one (a .fon, an X font in a legacy\n"
      "encoding) keeps its own codes and range; a .fon or .fnt also keeps its character set,\n"
      "default character and resolution.\n"
      "\n"
      "Glyphs: the width of a glyph is its advance, rounded (plus one with --bold), so text\n"
      "keeps the font's spacing. Ink outside that cell (italic and script letters overhang\n"
      "by a pixel or two) is moved into it by as many columns as it overhangs; where the\n"
      "ink is wider than the cell, the cell grows to the ink's width, so no glyph loses ink.\n"
      "No glyph is narrower than one column. dfPixHeight is the size's ascent plus descent,\n"
      "grown where a glyph's ink reaches above or below them. The summary line counts the\n"
      "glyphs that grew.\n"
      "Codes the font lacks, and codes 0x7F, 0x81, 0x8D, 0x8F, 0x90 and 0x9D that\n"
      "Windows-1252 leaves undefined, draw the default character, stored at the first such\n"
      "code: the font's .notdef glyph (of a scalable font an outlined box when that glyph is\n"
      "blank; of a bitmap font the strike's default glyph as it is). A font without a\n"
      "no-break space or soft hyphen gets its space or hyphen there.\n"
      "\n"
      "Exit status: 0 written (or listed), 1 failed (font cannot be read, no such face or\n"
      "strike, code table malformed, output not writable, glyphs too large for the layout\n"
      "asked), 2 usage error.\n",
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
  int Px = 0;       // 0: no size given
  int Points = 0;   // from --pt; 0: derived from the size
  int Strike = -1;  // -1: chosen by the size
  long FaceIndex = 0;
  int Version = 0;  // 0: automatic
  bool Bold = false;
  bool Quiet = false;
  bool ListSizes = false;
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

// A whole number 0..Max written in decimal digits only, or nothing.
std::optional<long> ParseIndex(const std::string& Text, long Max) {
  if (Text.empty() || Text.size() > 9 || Text.find_first_not_of("0123456789") != std::string::npos)
    return std::nullopt;
  const long V = std::strtol(Text.c_str(), nullptr, 10);
  if (V > Max) return std::nullopt;
  return V;
}

TOptions ParseArguments(int Argc, char** Argv) {
  TOptions O;
  std::vector<std::string> Files;
  std::string SizeOption;  // the option that gave the size, to refuse a second one
  auto Value = [&](int& I, const std::string& Name) -> std::string {
    if (I + 1 >= Argc) Fail(Name + " needs a value (see --help)", EXIT_USAGE);
    return Argv[++I];
  };
  auto OneSize = [&](const std::string& Name) {
    if (!SizeOption.empty()) {
      Fail(Name + " after " + SizeOption + ": give the size once, with --px or with --pt (see --help)",
           EXIT_USAGE);
    }
    SizeOption = Name;
  };
  for (int I = 1; I < Argc; ++I) {
    const std::string A = Argv[I];
    if (A == "-h" || A == "--help") {
      PrintUsage(stdout);
      std::exit(EXIT_OK);
    } else if (A == "--px") {
      OneSize(A);
      const std::string V = Value(I, A);
      const auto N = ParseNumber(V);
      if (!N || *N != std::floor(*N) || *N > MAX_PX) Fail("bad pixel size " + V + " (1..1024)", EXIT_USAGE);
      O.Px = int(*N);
    } else if (A == "--pt") {
      OneSize(A);
      const std::string V = Value(I, A);
      const auto P = ParseNumber(V);
      const long double Px = P ? std::nearbyint(*P * 96.0L / 72.0L) : 0;
      if (!P || Px < 1 || Px > MAX_PX) Fail("bad point size " + V, EXIT_USAGE);
      O.Px = int(Px);
      O.Points = int(std::nearbyint(*P));
    } else if (A == "--strike") {
      const std::string V = Value(I, A);
      const auto K = ParseIndex(V, 0xFFFF);
      if (!K) Fail("bad strike number " + V + " (0, 1, ... as --list-sizes numbers them)", EXIT_USAGE);
      O.Strike = int(*K);
    } else if (A == "--face-index") {
      const std::string V = Value(I, A);
      const auto K = ParseIndex(V, MAX_FACE_INDEX);
      if (!K) Fail("bad face index " + V + " (0.." + std::to_string(MAX_FACE_INDEX) + ")", EXIT_USAGE);
      O.FaceIndex = *K;
    } else if (A == "--list-sizes") {
      O.ListSizes = true;
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
  if (O.ListSizes) {
    if (Files.size() != 1) Fail("--list-sizes takes one font file and no output (see --help)", EXIT_USAGE);
    O.Input = Files[0];
    return O;
  }
  if (Files.size() != 2) Fail("need an input font and an output file (see --help)", EXIT_USAGE);
  O.Input = Files[0];
  O.Output = Files[1];
  return O;
}

// ------------------------------------------------------------------ code table

// A hexadecimal number of MinDigits..MaxDigits digits making up all of Text, or nothing.
std::optional<uint32_t> ParseHex(const std::string& Text, size_t MinDigits, size_t MaxDigits) {
  if (Text.size() < MinDigits || Text.size() > MaxDigits ||
      Text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
    return std::nullopt;
  return uint32_t(std::strtoul(Text.c_str(), nullptr, 16));
}

// The code table: code -> Unicode, 0 for codes it leaves out. A file that is not such a
// table is refused at its first line that does not fit, so that a wrong file does not
// quietly make a font of a few glyphs.
std::array<uint32_t, 256> ReadCodeTable(const std::string& Path) {
  std::ifstream In(Path, std::ios::binary);
  if (!In) Fail("cannot open the code table " + Path + ": " + std::strerror(errno));
  std::array<uint32_t, 256> Map{};
  std::array<int, 256> LineOf{};
  std::string Line;
  int Number = 0;
  int Codes = 0;
  auto Where = [&] { return Path + ":" + std::to_string(Number) + ": "; };
  while (std::getline(In, Line)) {
    ++Number;
    if (!Line.empty() && Line.back() == '\r') Line.pop_back();
    if (Number == 1) {
      if (Line != "code\tunicode")
        Fail(Where() + "not a code table: the first line must be the header code<TAB>unicode");
      continue;
    }
    if (Line.empty()) continue;
    const size_t Tab = Line.find('\t');
    const std::string Left = Tab == std::string::npos ? Line : Line.substr(0, Tab);
    const std::string Right = Tab == std::string::npos ? "" : Line.substr(Tab + 1);
    const auto Code = Left.compare(0, 2, "0x") == 0 ? ParseHex(Left.substr(2), 2, 2) : std::nullopt;
    const auto Unicode = Right.compare(0, 2, "U+") == 0 ? ParseHex(Right.substr(2), 4, 6) : std::nullopt;
    if (!Code || !Unicode || *Code < FIRST_CODE || *Unicode == 0 || *Unicode > 0x10FFFF)
      Fail(Where() + "expected 0xNN<TAB>U+XXXX with a code 0x20..0xFF and a character U+0001..U+10FFFF");
    if (LineOf[*Code] != 0)
      Fail(Where() + "code 0x" + Left.substr(2) + " is already given on line " + std::to_string(LineOf[*Code]));
    LineOf[*Code] = Number;
    Map[*Code] = *Unicode;
    ++Codes;
  }
  if (In.bad()) Fail("cannot read the code table " + Path + ": " + std::strerror(errno));
  if (Number == 0) Fail(Path + " is empty: not a code table");
  if (Codes == 0) Fail(Path + ": the table maps no code");
  if (Map[0x20] == 0) Map[0x20] = 0x20;
  return Map;
}

// ------------------------------------------------------------------ the source font

// How glyphs are taken from the face: rendered from outlines, or copied from the strike
// FT_Select_Size chose.
struct TSource {
  FT_Face Face = nullptr;
  bool Bitmap = false;
  int Strike = -1;
  int Px = 0;  // em size in pixels
  bool HasWinHeader = false;
  FT_WinFNT_HeaderRec Win{};  // the header of a .fon or .fnt source
};

const char* FormatOf(FT_Face Face) {
  const char* F = FT_Get_Font_Format(Face);
  return F ? F : "unknown format";
}

// The em size of a strike in whole pixels.
int StrikeEm(const FT_Bitmap_Size& S) { return int((S.y_ppem + 32) / 64); }

std::string StrikeSizes(FT_Face Face) {
  std::string S;
  for (int K = 0; K < Face->num_fixed_sizes; ++K) {
    if (K) S += ", ";
    S += std::to_string(StrikeEm(Face->available_sizes[K])) + " px";
  }
  return S;
}

// The number of faces in Path, or 0 when FreeType cannot read it.
long FaceCount(FT_Library Library, const std::string& Path) {
  FT_Face Face;
  if (FT_New_Face(Library, Path.c_str(), -1, &Face) != 0) return 0;
  const long N = Face->num_faces;
  FT_Done_Face(Face);
  return N;
}

// Why Path cannot be read, or "" when it can.
std::string Unreadable(const std::string& Path) {
  std::FILE* F = std::fopen(Path.c_str(), "rb");
  if (F == nullptr) return "cannot open " + Path + ": " + std::strerror(errno);
  std::fclose(F);
  struct stat Info {};
  if (stat(Path.c_str(), &Info) == 0 && S_ISDIR(Info.st_mode)) return "cannot read " + Path + ": " + std::strerror(EISDIR);
  return "";
}

void CheckReadable(const std::string& Path) {
  const std::string Why = Unreadable(Path);
  if (!Why.empty()) Fail(Why);
}

// --list-sizes: every face of the file, its kind, character map and strikes.
void ListSizes(const std::string& Path) {
  CheckReadable(Path);
  FT_Library Library;
  if (FT_Init_FreeType(&Library) != 0) Fail("cannot start FreeType");
  const long Faces = FaceCount(Library, Path);
  if (Faces <= 0) Fail(Path + " is not a font FreeType can read");
  std::printf("%s: %ld face%s\n", Path.c_str(), Faces, Faces == 1 ? "" : "s");
  for (long I = 0; I < Faces && I <= MAX_FACE_INDEX; ++I) {
    FT_Face Face;
    if (FT_New_Face(Library, Path.c_str(), I, &Face) != 0) {
      std::printf("face %ld: FreeType cannot read it\n", I);
      continue;
    }
    const bool Unicode = FT_Select_Charmap(Face, FT_ENCODING_UNICODE) == 0;
    std::printf("face %ld: \"%s\" %s, %s, %s, %ld glyphs, %s, %d strike%s\n", I,
                Face->family_name ? Face->family_name : "", Face->style_name ? Face->style_name : "",
                FormatOf(Face), FT_IS_SCALABLE(Face) ? "scalable" : "bitmap only", Face->num_glyphs,
                Unicode ? "Unicode character map" : Face->num_charmaps ? "its own codes" : "no character map",
                Face->num_fixed_sizes, Face->num_fixed_sizes == 1 ? "" : "s");
    for (int K = 0; K < Face->num_fixed_sizes; ++K) {
      const FT_Bitmap_Size& S = Face->available_sizes[K];
      std::printf("  strike %d: em %d px, height %d px, width %d px\n", K, StrikeEm(S), int(S.height),
                  int(S.width));
    }
    FT_Done_Face(Face);
  }
  FT_Done_FreeType(Library);
}

// Opens face O.FaceIndex of O.Input and sets its size: a strike of a bitmap font (or of a
// scalable font when --strike asks for one), else the pixel size of a scalable font.
TSource OpenSource(FT_Library Library, const TOptions& O) {
  // Without a size only a bitmap font can be converted; what is not even a font is a
  // command line without a size first.
  const std::string NoSize = "give the size with --px or --pt (see --help)";
  const bool Sized = O.Px != 0 || O.Strike >= 0;
  const std::string Why = Unreadable(O.Input);
  if (!Why.empty()) Fail(Sized ? Why : NoSize + "; besides, " + Why, Sized ? EXIT_FAILED : EXIT_USAGE);
  TSource S;
  if (FT_New_Face(Library, O.Input.c_str(), O.FaceIndex, &S.Face) != 0) {
    if (!Sized && FaceCount(Library, O.Input) <= 0)
      Fail(NoSize + "; besides, " + O.Input + " is not a font FreeType can read", EXIT_USAGE);
    const long Faces = FaceCount(Library, O.Input);
    if (Faces <= 0) Fail(O.Input + " is not a font FreeType can read");
    Fail(O.Input + " has " + std::to_string(Faces) + " face" + (Faces == 1 ? "" : "s") + ": no face " +
         std::to_string(O.FaceIndex) + " (see --list-sizes)");
  }
  FT_Face Face = S.Face;
  S.HasWinHeader = FT_Get_WinFNT_Header(Face, &S.Win) == 0;
  S.Bitmap = !FT_IS_SCALABLE(Face) || O.Strike >= 0;
  if (!S.Bitmap) {
    if (O.Px == 0) Fail(NoSize, EXIT_USAGE);
    if (FT_Set_Pixel_Sizes(Face, 0, FT_UInt(O.Px)) != 0) Fail("FreeType cannot set the size " + std::to_string(O.Px));
    S.Px = O.Px;
    return S;
  }
  if (Face->num_fixed_sizes <= 0) Fail(O.Input + " has no bitmap strikes (see --list-sizes)");
  if (O.Strike >= 0) {
    if (O.Px != 0) Fail("--strike chooses the size: give no --px or --pt with it", EXIT_USAGE);
    if (O.Strike >= Face->num_fixed_sizes) {
      Fail(O.Input + " has " + std::to_string(Face->num_fixed_sizes) + " strike" +
           (Face->num_fixed_sizes == 1 ? "" : "s") + ": no strike " + std::to_string(O.Strike) +
           " (see --list-sizes)");
    }
    S.Strike = O.Strike;
  } else if (O.Px != 0) {
    for (int K = 0; K < Face->num_fixed_sizes && S.Strike < 0; ++K)
      if (StrikeEm(Face->available_sizes[K]) == O.Px) S.Strike = K;
    for (int K = 0; K < Face->num_fixed_sizes && S.Strike < 0; ++K)
      if (Face->available_sizes[K].height == O.Px) S.Strike = K;
    if (S.Strike < 0) {
      Fail(O.Input + " has no strike of " + std::to_string(O.Px) + " px (its strikes: " + StrikeSizes(Face) +
           "; see --list-sizes)");
    }
  } else if (Face->num_fixed_sizes == 1) {
    S.Strike = 0;
  } else {
    Fail(O.Input + " has " + std::to_string(Face->num_fixed_sizes) + " strikes (" + StrikeSizes(Face) +
             "): choose one with --px or --strike (see --list-sizes)",
         EXIT_USAGE);
  }
  if (FT_Select_Size(Face, S.Strike) != 0) Fail("FreeType cannot select strike " + std::to_string(S.Strike));
  S.Px = std::max(1, StrikeEm(Face->available_sizes[S.Strike]));
  return S;
}

// ------------------------------------------------------------------ glyphs

// One glyph: its advance and its ink relative to the origin on the baseline, cut to the
// ink's bounding box (no ink: Width and Rows 0).
struct TRendered {
  int Advance = 0;
  int Left = 0;  // column of the first ink column (may be negative)
  int Top = 0;   // rows of ink above the baseline
  int Width = 0, Rows = 0;
  std::vector<uint8_t> Ink;  // Width x Rows, 1 = ink
  bool HasInk() const { return Width > 0 && Rows > 0; }
};

// Cuts R to the bounding box of its ink.
void Trim(TRendered& R) {
  int X0 = R.Width, X1 = -1, Y0 = R.Rows, Y1 = -1;
  for (int Y = 0; Y < R.Rows; ++Y)
    for (int X = 0; X < R.Width; ++X)
      if (R.Ink[size_t(Y) * size_t(R.Width) + size_t(X)]) {
        X0 = std::min(X0, X);
        X1 = std::max(X1, X);
        Y0 = std::min(Y0, Y);
        Y1 = std::max(Y1, Y);
      }
  if (X1 < 0) {
    R.Width = R.Rows = 0;
    R.Ink.clear();
    return;
  }
  std::vector<uint8_t> Ink(size_t(X1 - X0 + 1) * size_t(Y1 - Y0 + 1));
  for (int Y = Y0; Y <= Y1; ++Y)
    for (int X = X0; X <= X1; ++X)
      Ink[size_t(Y - Y0) * size_t(X1 - X0 + 1) + size_t(X - X0)] = R.Ink[size_t(Y) * size_t(R.Width) + size_t(X)];
  R.Left += X0;
  R.Top -= Y0;
  R.Width = X1 - X0 + 1;
  R.Rows = Y1 - Y0 + 1;
  R.Ink = std::move(Ink);
}

// The load flags: 1-bit rendering of outlines, or the strike's bitmap as it is.
FT_Int32 LoadFlags(const TSource& S) {
  return S.Bitmap ? FT_LOAD_SBITS_ONLY : FT_LOAD_RENDER | FT_LOAD_TARGET_MONO;
}

TRendered Render(const TSource& S, FT_UInt Index) {
  if (FT_Load_Glyph(S.Face, Index, LoadFlags(S)) != 0)
    Fail("FreeType cannot " + std::string(S.Bitmap ? "load" : "render") + " glyph " + std::to_string(Index));
  const FT_GlyphSlot G = S.Face->glyph;
  if (S.Bitmap && G->format != FT_GLYPH_FORMAT_BITMAP)
    Fail("glyph " + std::to_string(Index) + " of strike " + std::to_string(S.Strike) + " is no bitmap");
  TRendered R;
  R.Advance = int(std::nearbyint(G->advance.x / 64.0L));
  R.Left = G->bitmap_left;
  R.Top = G->bitmap_top;
  R.Width = int(G->bitmap.width);
  R.Rows = int(G->bitmap.rows);
  R.Ink.assign(size_t(R.Width) * size_t(R.Rows), 0);
  if (R.Width > 0 && R.Rows > 0 && G->bitmap.pixel_mode != FT_PIXEL_MODE_MONO) {
    if (S.Bitmap)
      Fail("strike " + std::to_string(S.Strike) + " holds glyphs of more than one bit per pixel: only 1-bit "
           "strikes are copied bit for bit");
    Fail("FreeType did not render glyph " + std::to_string(Index) + " in 1-bit mode");
  }
  for (int Y = 0; Y < R.Rows; ++Y) {
    const unsigned char* Row = G->bitmap.buffer + ptrdiff_t(Y) * G->bitmap.pitch;
    for (int X = 0; X < R.Width; ++X) R.Ink[size_t(Y) * size_t(R.Width) + size_t(X)] = (Row[X / 8] >> (7 - X % 8)) & 1;
  }
  Trim(R);
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
  bool Grown = false;  // wider than its advance, to hold its ink
  std::vector<uint8_t> Strips;
};

TCell MakeCell(const TRendered& R, int Ascent, int PixHeight, bool Bold) {
  // The cell is the advance wide, at least one column (readers refuse empty glyphs). Ink
  // overhanging it on the right or the left is moved in by its overhang (left first); ink
  // wider than the cell then starts at its first column, and the cell grows to hold it.
  const int Advance = std::max(1, R.Advance);
  int Shift = 0;
  if (R.Left + R.Width > Advance) Shift = Advance - (R.Left + R.Width);
  if (R.Left + Shift < 0) Shift = -R.Left;
  const int InkRight = R.HasInk() ? R.Left + Shift + R.Width : 0;
  const int Cell = std::max(Advance, InkRight);
  const int Width = Cell + (Bold ? 1 : 0);
  if (Width > 0xFFFF) Fail("a glyph is wider than 65,535 pixels");
  std::vector<uint8_t> Grid(size_t(Width) * size_t(PixHeight), 0);
  for (int Y = 0; Y < R.Rows; ++Y) {
    const int Row = Ascent - R.Top + Y;
    for (int X = 0; X < R.Width; ++X) {
      if (R.Ink[size_t(Y) * size_t(R.Width) + size_t(X)])
        Grid[size_t(Row) * size_t(Width) + size_t(R.Left + Shift + X)] = 1;
    }
  }
  if (Bold) {
    for (int Y = 0; Y < PixHeight; ++Y)
      for (int X = Width - 1; X > 0; --X) Grid[size_t(Y) * size_t(Width) + size_t(X)] |= Grid[size_t(Y) * size_t(Width) + size_t(X - 1)];
  }
  TCell C;
  C.Width = uint32_t(Width);
  C.Grown = Cell > Advance;
  const size_t Strips = (size_t(Width) + 7) / 8;
  C.Strips.assign(Strips * size_t(PixHeight), 0);
  for (int Y = 0; Y < PixHeight; ++Y)
    for (int X = 0; X < Width; ++X)
      if (Grid[size_t(Y) * size_t(Width) + size_t(X)])
        C.Strips[size_t(X / 8) * size_t(PixHeight) + size_t(Y)] |= uint8_t(0x80u >> (X % 8));
  return C;
}

// Text of a font as 8-bit characters: control characters become spaces, characters
// beyond Latin-1 (or beyond ASCII for 8-bit text) '?'.
std::string Printable(const std::string& Text, bool Latin1) {
  std::string S;
  for (const unsigned char C : Text) S += C < 0x20 ? ' ' : C < 0x7F || (Latin1 && C >= 0xA0) ? char(C) : '?';
  return S;
}

// The copyright notice of the font: the name table's (name 0) of an SFNT font, the
// COPYRIGHT property of a BDF or PCF font, the header's of a .fon or .fnt.
std::string CopyrightOf(const TSource& Source) {
  FT_Face Face = Source.Face;
  const FT_UInt Count = FT_IS_SFNT(Face) ? FT_Get_Sfnt_Name_Count(Face) : 0;
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
  if (!Best.empty()) return Best;
  BDF_PropertyRec P;
  if (FT_Get_BDF_Property(Face, "COPYRIGHT", &P) == 0 && P.type == BDF_PROPERTY_TYPE_ATOM && P.u.atom)
    return Printable(P.u.atom, false);
  if (Source.HasWinHeader) {
    const char* C = reinterpret_cast<const char*>(Source.Win.copyright);
    return Printable(std::string(C, strnlen(C, sizeof Source.Win.copyright)), true);
  }
  return "";
}

// The character looked up for each code: through Unicode, or the font's own codes.
struct TCodes {
  std::array<uint32_t, 256> Char{};  // character code looked up in the face's map
  std::array<bool, 256> Has{};       // the code has a character
  bool Native = false;               // the face's own codes, not Unicode
  int First = FIRST_CODE, Last = LAST_CODE;
};

// The glyph of every code and the code the default character is stored at.
struct TChoice {
  std::array<FT_UInt, 256> Index{};  // 0 where the font has no glyph
  int First = FIRST_CODE, Last = LAST_CODE;
  int Missing = 0;                   // codes with a character the font lacks
  int Unloadable = 0;                // of them, codes whose glyph FreeType cannot load
  int DefaultCode = FIRST_CODE;
  bool DefaultIsNotDef = false;      // the default character is glyph 0 (some code has none)
};

// The glyph of a character. A glyph of a strike that has no bitmap there, or that FreeType
// cannot load from a damaged file, counts as missing (Unloadable tells).
FT_UInt GlyphOf(const TSource& S, uint32_t Char, bool* Unloadable = nullptr) {
  const FT_UInt I = FT_Get_Char_Index(S.Face, Char);
  if (I != 0 && S.Bitmap && FT_Load_Glyph(S.Face, I, LoadFlags(S)) != 0) {
    if (Unloadable) *Unloadable = true;
    return 0;
  }
  return I;
}

TCodes CodesFor(const TSource& S, const TOptions& O) {
  TCodes Codes;
  FT_Face Face = S.Face;
  if (FT_Select_Charmap(Face, FT_ENCODING_UNICODE) == 0) {
    std::array<uint32_t, 256> Unicode{};
    if (!O.CodesFile.empty()) {
      Unicode = ReadCodeTable(O.CodesFile);
    } else {
      for (int C = FIRST_CODE; C <= LAST_CODE; ++C) Unicode[size_t(C)] = Cp1252ToUnicode(C);
    }
    for (int C = FIRST_CODE; C <= LAST_CODE; ++C) {
      Codes.Char[size_t(C)] = Unicode[size_t(C)];
      Codes.Has[size_t(C)] = Unicode[size_t(C)] != 0;
    }
    return Codes;
  }
  if (!S.Bitmap) Fail(O.Input + " has no Unicode character map");
  if (Face->num_charmaps <= 0) Fail(O.Input + " has no character map");
  if (!O.CodesFile.empty())
    Fail("--codes needs a font with a Unicode character map; " + O.Input + " has codes of its own");
  if (FT_Set_Charmap(Face, Face->charmaps[0]) != 0) Fail("FreeType cannot use the character map of " + O.Input);
  // The font's own codes 0..255, over the range it has glyphs for (a .fon or .fnt: its
  // header's range, every code of which has a glyph).
  Codes.Native = true;
  int First = 256, Last = -1;
  if (S.HasWinHeader) {
    First = S.Win.first_char;
    Last = S.Win.last_char;
  } else {
    for (int C = 0; C < 256; ++C)
      if (GlyphOf(S, uint32_t(C)) != 0) {
        First = std::min(First, C);
        Last = C;
      }
  }
  if (Last < First) Fail(O.Input + " has no glyph for any code 0..255");
  Codes.First = First;
  Codes.Last = Last;
  for (int C = First; C <= Last; ++C) {
    Codes.Char[size_t(C)] = uint32_t(C);
    Codes.Has[size_t(C)] = true;
  }
  return Codes;
}

TChoice ChooseGlyphs(const TSource& S, const TCodes& Codes) {
  TChoice C;
  C.First = Codes.First;
  C.Last = Codes.Last;
  for (int Code = C.First; Code <= C.Last; ++Code) {
    if (!Codes.Has[size_t(Code)]) continue;
    const uint32_t U = Codes.Char[size_t(Code)];
    FT_UInt& I = C.Index[size_t(Code)];
    bool Unloadable = false;
    I = GlyphOf(S, U, &Unloadable);
    // The no-break space and the soft hyphen look like the space and the hyphen.
    if (!Codes.Native && I == 0 && (U == 0xA0 || U == 0xAD)) I = GlyphOf(S, U == 0xA0 ? 0x20 : 0x2D);
    C.Missing += I == 0;
    C.Unloadable += I == 0 && Unloadable;
  }
  // A .fon or .fnt keeps its own default character.
  if (Codes.Native && S.HasWinHeader) {
    const int Default = C.First + S.Win.default_char;
    if (Default <= C.Last && C.Index[size_t(Default)] != 0) {
      C.DefaultCode = Default;
      return C;
    }
  }
  // The default character sits at the first code without a glyph (0x7F first), or at the
  // space when every code has one.
  if (!Codes.Native) {
    for (const int Code : {0x7F, 0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
      if (C.Index[size_t(Code)] == 0) {
        C.DefaultCode = Code;
        C.DefaultIsNotDef = true;
        return C;
      }
    }
  }
  for (int Code = C.First; Code <= C.Last; ++Code) {
    if (C.Index[size_t(Code)] == 0) {
      C.DefaultCode = Code;
      C.DefaultIsNotDef = true;
      return C;
    }
  }
  C.DefaultCode = C.First <= 0x20 && 0x20 <= C.Last ? 0x20 : C.First;
  return C;
}

// Every glyph rendered once, and the rows they share.
struct TMeasured {
  std::map<FT_UInt, TRendered> Rendered;
  TRendered NotDef;  // the default character's glyph
  int Ascent = 0, PixHeight = 0;
};

TMeasured Measure(const TSource& S, const TChoice& C) {
  TMeasured M;
  for (int Code = C.First; Code <= C.Last; ++Code) {
    const FT_UInt I = C.Index[size_t(Code)];
    if (I != 0 && !M.Rendered.count(I)) M.Rendered[I] = Render(S, I);
  }
  if (!C.DefaultIsNotDef) {
    M.NotDef = M.Rendered[C.Index[size_t(C.DefaultCode)]];
  } else if (S.Bitmap) {
    // The strike's default glyph as it is; a box only when the strike has none.
    if (FT_Load_Glyph(S.Face, 0, LoadFlags(S)) == 0) {
      M.NotDef = Render(S, 0);
    } else {
      M.NotDef = BoxGlyph(S.Px);
    }
  } else {
    M.NotDef = Render(S, 0);
    if (!M.NotDef.HasInk()) M.NotDef = BoxGlyph(S.Px);
  }

  FT_Face Face = S.Face;
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
  int First = FIRST_CODE, Last = LAST_CODE;
  int Version = 0;
  int Grown = 0;  // cells wider than their advance
  std::vector<uint64_t> CellOffset;  // file offset of each cell's bitmap
  uint64_t BitsOffset = 0, BitsEnd = 0, FileSize = 0;
  std::string FaceName;
};

uint64_t BitsOffsetFor(const TLayout& L, int Version) {
  const uint16_t V = Version == 3 ? fnt::VERSION_3X : fnt::VERSION_2X;
  return fnt::TableStart(V) + uint64_t(L.Last - L.First + 1) * fnt::EntrySize(V);
}

// Places the cells one after another behind the table of Version; returns their end.
uint64_t PlaceCells(TLayout& L, int Version) {
  uint64_t At = BitsOffsetFor(L, Version);
  L.CellOffset.resize(L.Cells.size());
  for (size_t K = 0; K < L.Cells.size(); ++K) {
    L.CellOffset[K] = At;
    At += L.Cells[K].Strips.size();
  }
  return At;
}

TLayout LayOut(const TChoice& C, TMeasured& M, const TOptions& O, const std::string& FaceName) {
  TLayout L;
  L.First = C.First;
  L.Last = C.Last;
  // Cells in code order; each code refers to one.
  std::map<FT_UInt, size_t> CellOf;
  const size_t DefaultCell = 0;
  L.Cells.push_back(MakeCell(M.NotDef, M.Ascent, M.PixHeight, O.Bold));
  if (!C.DefaultIsNotDef) CellOf[C.Index[size_t(C.DefaultCode)]] = DefaultCell;
  for (int Code = C.First; Code <= C.Last; ++Code) {
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
  for (const TCell& Cell : L.Cells) L.Grown += Cell.Grown;

  // 2.x unless asked otherwise or a glyph offset needs more than 16 bits.
  L.Version = O.Version;
  PlaceCells(L, L.Version ? L.Version : 2);
  const bool Fits16 = L.CellOffset.back() <= 0xFFFF;
  if (L.Version == 0) L.Version = Fits16 ? 2 : 3;
  if (L.Version == 2 && !Fits16) Fail("glyph offsets do not fit 16 bits: use --version 3");
  L.BitsOffset = BitsOffsetFor(L, L.Version);
  L.BitsEnd = PlaceCells(L, L.Version);
  L.FaceName = FaceName;
  L.FileSize = L.BitsEnd + FaceName.size() + 1;
  if (L.FileSize > 0xFFFFFFFFu) Fail("the font would be larger than 4 GiB");
  return L;
}

// The header fields that describe the source rather than the glyphs.
struct TDescription {
  int Points = 0;
  int VertRes = 96, HorizRes = 96;
  int Weight = 400;
  bool Italic = false, Underline = false, StrikeOut = false;
  uint8_t CharSet = ANSI_CHARSET;
  bool FixedPitch = false;
  int LineHeight = 0;  // rows from one baseline to the next
  std::string Copyright;
};

TDescription Describe(const TSource& S, const TOptions& O, const TCodes& Codes) {
  FT_Face Face = S.Face;
  TDescription D;
  D.Points = O.Points != 0 ? O.Points : int(std::nearbyint(S.Px * 72.0L / 96.0L));
  const TT_OS2* Os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(Face, FT_SFNT_OS2));
  D.Weight = Os2 ? Os2->usWeightClass : ((Face->style_flags & FT_STYLE_FLAG_BOLD) ? 700 : 400);
  D.Italic = (Face->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
  D.CharSet = O.CodesFile.empty() ? (Codes.Native ? OEM_CHARSET : ANSI_CHARSET) : SYMBOL_CHARSET;
  // A .fon or .fnt copied at its own codes keeps its own description.
  if (S.HasWinHeader && Codes.Native) {
    if (O.Points == 0) D.Points = S.Win.nominal_point_size;
    D.VertRes = S.Win.vertical_resolution;
    D.HorizRes = S.Win.horizontal_resolution;
    D.Weight = S.Win.weight;
    D.Italic = S.Win.italic != 0;
    D.Underline = S.Win.underline != 0;
    D.StrikeOut = S.Win.strike_out != 0;
    D.CharSet = S.Win.charset;
  }
  if (O.Bold) D.Weight = std::max(D.Weight, 700);
  D.FixedPitch = FT_IS_FIXED_WIDTH(Face);
  D.LineHeight = int(std::nearbyint(Face->size->metrics.height / 64.0L));
  D.Copyright = CopyrightOf(S);
  return D;
}

// The whole file.
std::vector<uint8_t> WriteFont(const TDescription& D, int Px, const TChoice& C, const TMeasured& M,
                               const TLayout& L) {
  uint32_t MaxWidth = 0, StripTotal = 0;
  for (const TCell& Cell : L.Cells) {
    MaxWidth = std::max(MaxWidth, Cell.Width);
    StripTotal += (Cell.Width + 7) / 8;
  }
  const int AverageCode = L.First <= 'X' && 'X' <= L.Last ? 'X' : L.First;
  const TCell& X = L.Cells[L.CellOfCode[size_t(AverageCode)]];

  std::vector<uint8_t> F(size_t(L.FileSize), 0);
  Put16(F, fnt::OFS_VERSION, L.Version == 3 ? fnt::VERSION_3X : fnt::VERSION_2X);
  Put32(F, fnt::OFS_SIZE, uint32_t(L.FileSize));
  std::memcpy(&F[fnt::OFS_COPYRIGHT], D.Copyright.data(), std::min(D.Copyright.size(), fnt::COPYRIGHT_SIZE));
  Put16(F, fnt::OFS_TYPE, 0);  // raster
  Put16(F, fnt::OFS_POINTS, uint32_t(D.Points));
  Put16(F, fnt::OFS_VERT_RES, uint32_t(D.VertRes));
  Put16(F, fnt::OFS_HORIZ_RES, uint32_t(D.HorizRes));
  Put16(F, fnt::OFS_ASCENT, uint32_t(M.Ascent));
  Put16(F, fnt::OFS_INTERNAL_LEADING, uint32_t(std::max(0, M.PixHeight - Px)));
  Put16(F, fnt::OFS_EXTERNAL_LEADING, uint32_t(std::max(0, D.LineHeight - M.PixHeight)));
  F[fnt::OFS_ITALIC] = D.Italic ? 1 : 0;
  F[fnt::OFS_UNDERLINE] = D.Underline ? 1 : 0;
  F[fnt::OFS_STRIKE_OUT] = D.StrikeOut ? 1 : 0;
  Put16(F, fnt::OFS_WEIGHT, uint32_t(D.Weight));
  F[fnt::OFS_CHAR_SET] = D.CharSet;
  Put16(F, fnt::OFS_PIX_WIDTH, 0);  // variable width, whatever the source
  Put16(F, fnt::OFS_PIX_HEIGHT, uint32_t(M.PixHeight));
  F[fnt::OFS_PITCH_AND_FAMILY] = uint8_t(VARIABLE_PITCH | (D.FixedPitch ? FF_MODERN : 0));
  Put16(F, fnt::OFS_AVG_WIDTH, X.Width);
  Put16(F, fnt::OFS_MAX_WIDTH, std::min<uint32_t>(MaxWidth, 0xFFFF));
  F[fnt::OFS_FIRST_CHAR] = uint8_t(L.First);
  F[fnt::OFS_LAST_CHAR] = uint8_t(L.Last);
  F[fnt::OFS_DEFAULT_CHAR] = uint8_t(C.DefaultCode - L.First);
  F[fnt::OFS_BREAK_CHAR] = uint8_t(L.First <= ' ' && ' ' <= L.Last ? ' ' - L.First : 0);
  Put16(F, fnt::OFS_WIDTH_BYTES, std::min<uint32_t>((StripTotal + 1) / 2 * 2, 0xFFFF));
  Put32(F, fnt::OFS_FACE, uint32_t(L.BitsEnd));
  Put32(F, fnt::OFS_BITS_OFFSET, uint32_t(L.BitsOffset));
  const uint16_t Version = L.Version == 3 ? fnt::VERSION_3X : fnt::VERSION_2X;
  if (Version == fnt::VERSION_3X) Put32(F, fnt::OFS_FLAGS, fnt::FLAG_PROPORTIONAL | fnt::FLAG_1COLOR);

  size_t Entry = fnt::TableStart(Version);
  for (int Code = L.First; Code <= L.Last; ++Code, Entry += fnt::EntrySize(Version)) {
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

// Writes Bytes to Path. A regular file that cannot be written whole is removed; anything
// else (a device, a pipe) is left alone.
void Save(const std::string& Path, const std::vector<uint8_t>& Bytes) {
  std::FILE* Out = std::fopen(Path.c_str(), "wb");
  if (Out == nullptr) Fail("cannot write " + Path + ": " + std::strerror(errno));
  int Error = 0;
  if (std::fwrite(Bytes.data(), 1, Bytes.size(), Out) != Bytes.size()) Error = errno ? errno : EIO;
  if (std::fflush(Out) != 0 && Error == 0) Error = errno;
  if (std::fclose(Out) != 0 && Error == 0) Error = errno;
  if (Error != 0) {
    struct stat Info {};
    if (stat(Path.c_str(), &Info) == 0 && S_ISREG(Info.st_mode)) std::remove(Path.c_str());
    Fail("cannot write " + Path + ": " + std::strerror(Error));
  }
}

}  // namespace

int main(int Argc, char** Argv) {
  const TOptions O = ParseArguments(Argc, Argv);
  if (O.ListSizes) {
    ListSizes(O.Input);
    return EXIT_OK;
  }

  FT_Library Library;
  if (FT_Init_FreeType(&Library) != 0) Fail("cannot start FreeType");
  const TSource Source = OpenSource(Library, O);
  const TCodes Codes = CodesFor(Source, O);
  const TChoice Choice = ChooseGlyphs(Source, Codes);
  TMeasured Measured = Measure(Source, Choice);
  FT_Face Face = Source.Face;
  const std::string FaceName = O.Face.empty() ? std::string(Face->family_name ? Face->family_name : "") : O.Face;
  const TLayout Layout = LayOut(Choice, Measured, O, FaceName);
  const TDescription Description = Describe(Source, O, Codes);
  const std::vector<uint8_t> File = WriteFont(Description, Source.Px, Choice, Measured, Layout);
  FT_Done_Face(Face);
  FT_Done_FreeType(Library);

  Save(O.Output, File);
  if (!O.Quiet) {
    const std::string From = Source.Bitmap ? ", strike " + std::to_string(Source.Strike) + " copied" : "";
    const std::string Damaged =
        Choice.Unloadable ? " (" + std::to_string(Choice.Unloadable) + " of them glyphs FreeType cannot load)" : "";
    std::printf("%s: %s %d px (%d pt)%s%s, version %d.x, height %d (ascent %d), %zu glyphs, "
                "%d grown to hold their ink, codes 0x%02X..0x%02X, %d codes missing from the font%s, "
                "default character 0x%02X, %zu bytes\n",
                O.Output.c_str(), FaceName.c_str(), Source.Px, Description.Points, From.c_str(),
                O.Bold ? " bold" : "", Layout.Version, Measured.PixHeight, Measured.Ascent, Layout.Cells.size(),
                Layout.Grown, unsigned(Layout.First), unsigned(Layout.Last), Choice.Missing, Damaged.c_str(),
                unsigned(Choice.DefaultCode), File.size());
  }
  return EXIT_OK;
}
