// lumora fuzz body for .fnt fonts: LoadFNTFont, GetTextLength, WriteText and FreeFNTFont.
// Relies on the public lumora API and the fuzz support (headless display, scratch file).
#include <algorithm>
#include <cstring>
#include <limits>

#include "fuzz/fuzz_bodies.h"
#include "fuzz/fuzz_support.h"
#include "lumora/internal/bytes.h"
#include "lumora/internal/fnt_layout.h"
#include "lumora/lumora.h"

namespace lumorafuzz {

using namespace lumora;

namespace {

using bytes::Read16At;
using bytes::Read32At;

// The header fields the loader uses, read straight from the file.
struct THeader {
  uint32_t Version, Size, PixWidth, PixHeight, First, Last, Default, Break, BitsOffset;
};

THeader ReadHeader(const uint8_t* D, size_t N) {
  auto U8 = [&](size_t At) { return At < N ? uint32_t(D[At]) : 0u; };
  return {Read16At(D, N, fnt::OFS_VERSION),     Read32At(D, N, fnt::OFS_SIZE),
          Read16At(D, N, fnt::OFS_PIX_WIDTH),   Read16At(D, N, fnt::OFS_PIX_HEIGHT),
          U8(fnt::OFS_FIRST_CHAR),              U8(fnt::OFS_LAST_CHAR),
          U8(fnt::OFS_DEFAULT_CHAR),            U8(fnt::OFS_BREAK_CHAR),
          Read32At(D, N, fnt::OFS_BITS_OFFSET)};
}

// Entry size of the glyph table and the number of entries of a loaded font.
uint32_t EntrySize(const TFont& F) { return uint32_t(fnt::EntrySize(F.Version)); }
uint32_t Entries(const TFont& F) { return uint32_t(F.LastChar) - F.FirstChar + 1; }

// Table entry used for code C, and its width and file offset.
uint32_t EntryOf(const TFont& F, uint8_t C) {
  return (C < F.FirstChar || C > F.LastChar) ? F.DefaultChar : uint32_t(C - F.FirstChar);
}
uint32_t WidthOf(const TFont& F, uint32_t K) {
  return Read16At(F.Glyphs, F.GlyphsSize, size_t(K) * EntrySize(F) + fnt::ENTRY_OFS_WIDTH);
}
uint32_t OffsetOf(const TFont& F, uint32_t K) {
  const size_t At = size_t(K) * EntrySize(F) + fnt::ENTRY_OFS_OFFSET;
  return EntrySize(F) == fnt::ENTRY_2X_SIZE ? Read16At(F.Glyphs, F.GlyphsSize, At) : Read32At(F.Glyphs, F.GlyphsSize, At);
}

// A failed load leaves the (zeroed) record and the registry untouched.
std::string CheckRefused(const TFont& F, uint8_t Result, size_t Registered) {
  if (Result > FNT_MALFORMED) return Format("LoadFNTFont gave the undocumented code %u", Result);
  if (F.Loaded || F.Glyphs != nullptr || !F.FileName.empty() || F.GlyphsSize != 0 || F.Version != 0 ||
      F.PixHeight != 0 || F.BitsOffset != 0) {
    return Format("LoadFNTFont failed with %u but changed the record", Result);
  }
  if (LoadedFonts.size() != Registered) return Format("LoadFNTFont failed with %u but grew LoadedFonts", Result);
  return "";
}

// A loaded font holds what the file says, and every glyph it can be asked for lies in it.
std::string CheckLoaded(const std::string& Path, const uint8_t* D, size_t N, const TFont& F,
                        size_t Registered) {
  const THeader H = ReadHeader(D, N);
  if (!F.Loaded || F.Glyphs == nullptr) return "LoadFNTFont gave 0 without a loaded record";
  if (LoadedFonts.size() != Registered + 1 || LoadedFonts.back() != &F) {
    return "a loaded font is not registered once in LoadedFonts";
  }
  if (H.Version != fnt::VERSION_2X && H.Version != fnt::VERSION_3X) return Format("version 0x%04x loaded", H.Version);
  if (H.PixWidth != 0) return "a fixed-width font loaded";
  if (F.Version != H.Version || F.PixHeight != H.PixHeight || F.FirstChar != H.First ||
      F.LastChar != H.Last || F.DefaultChar != H.Default || F.BreakChar != H.Break ||
      F.BitsOffset != H.BitsOffset) {
    return "the record's fields differ from the file's header";
  }
  if (F.FileName != Path.substr(0, Path.size() - 4)) return "FileName is not the path without its extension";
  if (H.Last < H.First) return "a font with dfLastChar < dfFirstChar loaded";
  if (H.BitsOffset > H.Size || H.Size > N) return "a font whose bitmap region is not in the file loaded";
  const uint32_t Count = Entries(F), E = EntrySize(F);
  const size_t Table = size_t(Count) * E, Start = fnt::TableStart(uint16_t(H.Version));
  if (uint64_t(F.GlyphsSize) != Table + (uint64_t(H.Size) - H.BitsOffset)) {
    return Format("GlyphsSize %u is not N x E + dfSize - dfBitsOffset", F.GlyphsSize);
  }
  if (Start + Table > N) return "a font whose glyph table is not in the file loaded";
  if (std::memcmp(F.Glyphs, D + Start, Table) != 0) return "the glyph table differs from the file's";
  if (std::memcmp(F.Glyphs + Table, D + H.BitsOffset, H.Size - H.BitsOffset) != 0) {
    return "the bitmap region differs from the file's";
  }
  if (F.DefaultChar >= Count) return Format("DefaultChar %u beyond a table of %u entries", F.DefaultChar, Count);
  for (uint32_t K = 0; K < Count; ++K) {
    const uint64_t W = WidthOf(F, K), O = OffsetOf(F, K);
    const uint64_t Bytes = (W + 7) / 8 * F.PixHeight;
    if (Bytes == 0) continue;
    if (O < F.BitsOffset || O - F.BitsOffset + Bytes > uint64_t(H.Size) - F.BitsOffset) {
      return Format("glyph %u (width %u, offset %u) lies outside the bitmap region", K, unsigned(W),
                    unsigned(O));
    }
  }
  return "";
}

// Where a text is drawn and the viewport it is drawn in.
struct TPlacement {
  int32_t X, Y;
  TRect Clip;
};

int32_t Clamp32(int64_t V) {
  return int32_t(std::clamp<int64_t>(V, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// Adds one to Count for every ink pixel that drawing Text at P would plot inside P.Clip.
void ReferenceText(const TFont& F, const std::string& Text, const TPlacement& P, std::vector<uint8_t>& Count) {
  const TRect Clip = Intersect(P.Clip, {0, 0, SCREEN_WIDTH - 1, SCREEN_HEIGHT - 1});
  if (IsEmpty(Clip)) return;
  const uint64_t Table = uint64_t(Entries(F)) * EntrySize(F);
  const int64_t Y = P.Y;
  const int64_t K1 = std::max<int64_t>(0, Clip.Y1 - Y), K2 = std::min<int64_t>(F.PixHeight - 1, Clip.Y2 - Y);
  int64_t ActualX = P.X;
  for (unsigned char C : Text) {
    if (ActualX > Clip.X2) break;
    const uint32_t K = EntryOf(F, C);
    const int64_t W = WidthOf(F, K);
    const uint64_t Base = Table + (OffsetOf(F, K) - F.BitsOffset);
    const int64_t P1 = std::max<int64_t>(0, Clip.X1 - ActualX), P2 = std::min<int64_t>(W - 1, Clip.X2 - ActualX);
    for (int64_t Row = K1; Row <= K2; ++Row) {
      for (int64_t Col = P1; Col <= P2; ++Col) {
        const uint8_t Byte = F.Glyphs[Base + uint64_t(Col / 8) * F.PixHeight + uint64_t(Row)];
        if ((Byte >> (7 - Col % 8)) & 1) ++Count[size_t((Y + Row) * SCREEN_WIDTH + ActualX + Col)];
      }
    }
    ActualX += W;
  }
}

// Draws Text at every placement on a cleared screen in a grey of transparency Alpha and
// compares the whole screen with the reference.
std::string CheckDrawing(const TFont& F, const std::string& Text, const std::vector<TPlacement>& Places,
                         uint8_t Alpha) {
  static std::vector<uint8_t> Count;
  Count.assign(size_t(SCREEN_WIDTH) * SCREEN_HEIGHT, 0);
  constexpr uint8_t Ink = 201;
  ClearVirtualScreen();
  SetColor(Ink, Ink, Ink, Alpha);
  for (const TPlacement& P : Places) {
    SetViewPort(Clamp32(P.Clip.X1), Clamp32(P.Clip.Y1), Clamp32(P.Clip.X2), Clamp32(P.Clip.Y2));
    WriteText(P.X, P.Y, F, Text);
    ReferenceText(F, Text, P, Count);
  }
  SetViewPort(0, 0, SCREEN_WIDTH - 1, SCREEN_HEIGHT - 1);
  // A pixel plotted N times holds Shade[N] in each colour byte (at most one plot per placement).
  uint8_t Shade[8];
  for (unsigned N = 0; N < 8; ++N) Shade[N] = ReferenceBlend(0, Ink, Alpha, N);
  static const std::vector<uint8_t> Zero(ROW_BYTES, 0);
  for (int32_t Y = 0; Y < SCREEN_HEIGHT; ++Y) {
    const uint8_t* Row = VirtualScreen + size_t(Y) * ROW_BYTES;
    const uint8_t* Counts = Count.data() + size_t(Y) * SCREEN_WIDTH;
    if (std::memcmp(Counts, Zero.data(), SCREEN_WIDTH) == 0 && std::memcmp(Row, Zero.data(), ROW_BYTES) == 0) continue;
    for (int32_t X = 0; X < SCREEN_WIDTH; ++X) {
      const uint8_t Want = Shade[std::min<unsigned>(Counts[X], 7)];
      const uint8_t* Got = Row + size_t(X) * 4;
      if (Got[0] != Want || Got[1] != Want || Got[2] != Want || Got[3] != 0) {
        return Format("WriteText at transparency %u: pixel (%d, %d) is %u,%u,%u,%u, expected %u,%u,%u,0 "
                      "(plotted %u times)", Alpha, X, Y, Got[0], Got[1], Got[2], Got[3], Want, Want, Want,
                      Counts[X]);
      }
    }
  }
  return "";
}

std::string CheckText(const TFont& F) {
  std::string All(256, '\0');
  for (int C = 0; C < 256; ++C) All[size_t(C)] = char(C);
  uint32_t Sum = 0;
  for (unsigned char C : All) {
    const uint32_t W = WidthOf(F, EntryOf(F, C));
    Sum += W;
    if (GetTextLength(F, std::string(1, char(C))) != W) return Format("GetTextLength of code %u is not its width", C);
  }
  const uint32_t Length = GetTextLength(F, All);
  if (Length != Sum) return Format("GetTextLength of all codes is %u, the widths sum to %u", Length, Sum);
  if (GetTextLength(F, "") != 0) return "GetTextLength of an empty text is not 0";

  constexpr int32_t Max = std::numeric_limits<int32_t>::max(), Min = std::numeric_limits<int32_t>::min();
  const TRect Screen{0, 0, SCREEN_WIDTH - 1, SCREEN_HEIGHT - 1}, Small{37, 23, 611, 419};
  const int64_t Half = int64_t(Length) / 2, HalfHeight = F.PixHeight / 2;
  const std::vector<TPlacement> Places{
      {3, 5, Screen},
      {Clamp32(Small.X1 - Half), Clamp32(Small.Y1 - HalfHeight), Small},  // across the top-left edges
      {1000, 740, Screen},                                                // across the bottom-right
      {Clamp32(5 - int64_t(Length)), 700, Screen},                        // only the tail shows
      {Max - 7, Max - 7, Screen},                                         // never on screen
      {Min, Min + 5, Screen},
  };
  std::string Error = CheckDrawing(F, All, Places, 0);
  if (Error.empty()) Error = CheckDrawing(F, All, Places, 100);
  return Error;
}

}  // namespace

std::string FuzzFnt(const uint8_t* Data, size_t Size) {
  EnsureDisplay();
  SetAvailMemory(int64_t(1) << 30);
  const std::string Path = WriteScratch(Data, Size, ".fnt");
  const size_t Registered = LoadedFonts.size();
  TFont Font{};
  uint8_t Result = 0xEE;
  LoadFNTFont(Path, Font, Result);
  std::string Error;
  if (Result != FNT_OK) {
    Error = CheckRefused(Font, Result, Registered);
  } else {
    Error = CheckLoaded(Path, Data, Size, Font, Registered);
    if (Error.empty()) Error = CheckText(Font);
    if (Error.empty()) {
      // Loading into a loaded record: same result, registered again, old buffer released.
      const uint32_t Before = Font.GlyphsSize;
      LoadFNTFont(Path, Font, Result);
      if (Result != FNT_OK || Font.GlyphsSize != Before || LoadedFonts.size() != Registered + 2) {
        Error = Format("reloading the font gave %u", Result);
      }
    }
  }
  FreeFNTFont(Font);
  if (Error.empty() && (Font.Loaded || Font.Glyphs != nullptr)) Error = "FreeFNTFont left the font loaded";
  if (Error.empty() && GetTextLength(Font, "abc") != 0) Error = "a freed font measures more than 0";
  LoadedFonts.resize(Registered);
  SetViewPort(0, 0, SCREEN_WIDTH - 1, SCREEN_HEIGHT - 1);
  return Error;
}

}  // namespace lumorafuzz
