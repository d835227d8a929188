// lumora fonts: TFont, LoadedFonts, LoadFNTFont, FreeFNTFont, WriteText, GetTextLength.
// Relies on the pixel plot of blend.h and on GetAvailRAMMemory of the display core.
#include <sys/stat.h>

#include <algorithm>
#include <bit>
#include <memory>
#include <new>

#include "lumora/internal/target.h"
#include "lumora/internal/bytes.h"
#include "lumora/internal/files.h"
#include "lumora/internal/fnt_layout.h"
#include "lumora/lumora.h"

namespace lumora {

std::vector<PFont> LoadedFonts;

namespace {

constexpr uint32_t MAX_TABLE_BYTES = fnt::MAX_ENTRIES * fnt::ENTRY_3X_SIZE;

using bytes::Read16;
using bytes::Read32;

uint32_t EntrySize(uint16_t Version) { return uint32_t(fnt::EntrySize(Version)); }

struct TGlyphEntry {
  uint32_t Width;
  uint32_t Offset;
};

TGlyphEntry ReadEntry(const uint8_t* Entry, uint32_t E) {
  const uint8_t* Offset = Entry + fnt::ENTRY_OFS_OFFSET;
  return {Read16(Entry + fnt::ENTRY_OFS_WIDTH), E == fnt::ENTRY_2X_SIZE ? Read16(Offset) : Read32(Offset)};
}

// The bytes of a glyph's bitmap: ceil(Width / 8) strips of PixHeight rows.
uint64_t BitmapBytes(uint32_t Width, uint32_t PixHeight) {
  return uint64_t((Width + 7) / 8) * PixHeight;
}

// The glyph entry for character code C: its own entry inside FirstChar..LastChar,
// otherwise the DefaultChar entry.
uint32_t GlyphIndex(const TFont& Font, uint8_t C) {
  if (C < Font.FirstChar || C > Font.LastChar) return Font.DefaultChar;
  return uint32_t(C - Font.FirstChar);
}

uint32_t TableEntries(const TFont& Font) {
  return Font.LastChar >= Font.FirstChar ? uint32_t(Font.LastChar - Font.FirstChar) + 1 : 0;
}

}  // namespace

const char* FNTResultText(uint8_t Code) {
  switch (Code) {
    case FNT_OK: return "loaded";
    case FNT_CANNOT_OPEN: return "the file cannot be opened";
    case FNT_FIXED_WIDTH: return "fixed-width font (dfPixWidth is not 0)";
    case FNT_TOO_LARGE: return "glyph buffer larger than 20,971,520 bytes";
    case FNT_NO_MEMORY: return "glyph buffer larger than the available memory";
    case FNT_ALLOC_FAILED: return "the glyph buffer cannot be allocated";
    case FNT_TRUNCATED: return "the file is shorter than its header, glyph table or dfSize say";
    case FNT_BAD_VERSION: return "unsupported version (neither 0x0200 nor 0x0300)";
    case FNT_MALFORMED: return "malformed glyph table (character range, default character or a "
                               "glyph bitmap outside the file)";
    default: return "unknown code";
  }
}

void LoadFNTFont(const std::string& FontName, TFont& Font, uint8_t& Result_) {
  Result_ = FNT_OK;
  struct stat Info {};
  const detail::TFile File = detail::OpenForReading(FontName, Info);
  if (!File) {
    Result_ = FNT_CANNOT_OPEN;
    return;
  }
  detail::TReader In(File.get(), Info);

  // The header, then the glyph table: all that is read before anything is allocated.
  uint8_t Head[fnt::HEADER_3X_SIZE + MAX_TABLE_BYTES];
  if (!In.Read(Head, fnt::HEADER_2X_SIZE)) {
    Result_ = FNT_TRUNCATED;
    return;
  }
  const uint16_t Version = Read16(Head + fnt::OFS_VERSION);
  if (Version != fnt::VERSION_2X && Version != fnt::VERSION_3X) {
    Result_ = FNT_BAD_VERSION;
    return;
  }
  // The glyph table follows the header, or the 3.x extension, which is read past.
  if (Version == fnt::VERSION_3X && !In.Read(Head + fnt::HEADER_2X_SIZE, fnt::EXTENSION_3X_SIZE)) {
    Result_ = FNT_TRUNCATED;
    return;
  }

  TFont Loaded{};
  Loaded.FileName = FontName.size() > 4 ? FontName.substr(0, FontName.size() - 4) : std::string();
  Loaded.Loaded = true;
  Loaded.Version = Version;
  Loaded.PixHeight = Read16(Head + fnt::OFS_PIX_HEIGHT);
  Loaded.FirstChar = Head[fnt::OFS_FIRST_CHAR];
  Loaded.LastChar = Head[fnt::OFS_LAST_CHAR];
  Loaded.DefaultChar = Head[fnt::OFS_DEFAULT_CHAR];
  Loaded.BreakChar = Head[fnt::OFS_BREAK_CHAR];
  Loaded.BitsOffset = Read32(Head + fnt::OFS_BITS_OFFSET);
  const uint32_t FileSize = Read32(Head + fnt::OFS_SIZE);

  if (Loaded.LastChar < Loaded.FirstChar) {
    Result_ = FNT_MALFORMED;
    return;
  }
  if (Loaded.BitsOffset > FileSize) {
    Result_ = FNT_TRUNCATED;
    return;
  }

  const uint32_t N = TableEntries(Loaded);
  const uint32_t E = EntrySize(Version);
  const size_t TableBytes = size_t(N) * E;
  const uint64_t Size = uint64_t(TableBytes) + (FileSize - Loaded.BitsOffset);
  if (Read16(Head + fnt::OFS_PIX_WIDTH) != 0) Result_ = FNT_FIXED_WIDTH;
  if (Size > MAX_SIZE) Result_ = FNT_TOO_LARGE;
  if (Size > uint64_t(std::max<int32_t>(GetAvailRAMMemory(), 0))) Result_ = FNT_NO_MEMORY;
  if (Result_ != FNT_OK) return;

  // Table and bounds are checked before anything is allocated, so a damaged file costs
  // no allocation and the text operations never read outside the buffer. A regular file
  // too short for dfSize is refused here by its size; another stream only when it ends.
  uint8_t* const Table = Head + fnt::TableStart(Version);
  if (!In.Read(Table, TableBytes) || (S_ISREG(Info.st_mode) && uint64_t(Info.st_size) < FileSize)) {
    Result_ = FNT_TRUNCATED;
    return;
  }
  if (Loaded.DefaultChar >= N) Result_ = FNT_MALFORMED;
  for (uint32_t K = 0; K < N && Result_ == FNT_OK; ++K) {
    const TGlyphEntry G = ReadEntry(Table + K * E, E);
    const uint64_t Bytes = BitmapBytes(G.Width, Loaded.PixHeight);
    if (Bytes != 0 && (G.Offset < Loaded.BitsOffset || G.Offset + Bytes > FileSize)) {
      Result_ = FNT_MALFORMED;
    }
  }
  if (Result_ != FNT_OK) return;

  Loaded.GlyphsSize = uint32_t(Size);
  std::unique_ptr<uint8_t[]> Glyphs(new (std::nothrow) uint8_t[Size]);
  if (!Glyphs) {
    Result_ = FNT_ALLOC_FAILED;
    return;
  }
  std::copy(Table, Table + TableBytes, Glyphs.get());
  // The bitmap region, dfBitsOffset .. dfSize: what of it lies in the header or the table
  // (a file may point there) is taken from what was read, the rest read on.
  uint8_t* const Region = Glyphs.get() + TableBytes;
  const uint64_t Consumed = In.Position();
  const uint64_t Known =
      Loaded.BitsOffset < Consumed ? std::min<uint64_t>(FileSize, Consumed) - Loaded.BitsOffset : 0;
  if (Known > 0) std::copy_n(Head + Loaded.BitsOffset, size_t(Known), Region);
  const uint64_t Rest = (FileSize - Loaded.BitsOffset) - Known;
  if (Rest > 0 && (!In.SkipTo(FileSize - Rest) || !In.Read(Region + Known, size_t(Rest)))) {
    Result_ = FNT_TRUNCATED;
    return;
  }

  FreeFNTFont(Font);  // the earlier font of this record, if any
  Loaded.Glyphs = Glyphs.release();
  Font = std::move(Loaded);
  LoadedFonts.push_back(&Font);
}

void FreeFNTFont(TFont& Font) {
  if (!Font.Loaded) return;
  delete[] Font.Glyphs;
  Font.Glyphs = nullptr;
  Font.Loaded = false;
}

void WriteText(TCanvas& Canvas, int32_t X, int32_t Y, const TFont& Font, const std::string& Text) {
  const detail::TTarget T = detail::TargetOf(Canvas);
  if (!Font.Loaded || Font.Glyphs == nullptr || T.Empty()) return;
  const TViewPort V = T.Clip;
  // Only the glyph rows inside the viewport can draw; the columns are left to the plot.
  const int64_t Top = Y;
  const int64_t FirstRow = std::max<int64_t>(0, V.Y1 - Top);
  const int64_t LastRow = std::min<int64_t>(int64_t(Font.PixHeight) - 1, V.Y2 - Top);
  if (FirstRow > LastRow) return;

  const uint32_t N = TableEntries(Font);
  const uint32_t E = EntrySize(Font.Version);
  const uint64_t TableBytes = uint64_t(N) * E;
  if (TableBytes > Font.GlyphsSize) return;
  const uint8_t* Bitmaps = Font.Glyphs + TableBytes;
  const uint64_t BitmapSize = Font.GlyphsSize - TableBytes;

  int64_t ActualX = X;
  for (const char Ch : Text) {
    if (ActualX > V.X2) break;  // widths are never negative: nothing further is visible
    const uint32_t Index = GlyphIndex(Font, uint8_t(Ch));
    if (Index >= N) continue;
    const TGlyphEntry G = ReadEntry(Font.Glyphs + size_t(Index) * E, E);
    const int64_t Left = ActualX;
    ActualX += G.Width;
    if (ActualX <= V.X1 || G.Width == 0) continue;
    // A record changed by hand after loading must still not lead outside the buffer.
    if (G.Offset < Font.BitsOffset ||
        uint64_t(G.Offset - Font.BitsOffset) + BitmapBytes(G.Width, Font.PixHeight) > BitmapSize) {
      continue;
    }
    const uint8_t* Strip = Bitmaps + (G.Offset - Font.BitsOffset);
    for (uint32_t J = 0; J * 8 < G.Width; ++J, Strip += Font.PixHeight) {
      const uint32_t Columns = std::min<uint32_t>(8, G.Width - J * 8);
      const uint8_t InkMask = uint8_t(0xFF00u >> Columns);  // padding bits never draw
      const int64_t StripX = Left + int64_t(J) * 8;
      for (int64_t K = FirstRow; K <= LastRow; ++K) {
        uint8_t B = Strip[K] & InkMask;
        while (B != 0) {
          const int P = std::countl_zero(B);  // bit 7 is the leftmost column
          detail::PlotPixel(T, StripX + P, Top + K);
          B = uint8_t(B & ~(0x80u >> P));
        }
      }
    }
  }
}

void WriteText(int32_t X, int32_t Y, const TFont& Font, const std::string& Text) {
  TCanvas C = detail::ScreenCanvas();
  WriteText(C, X, Y, Font, Text);
}

uint32_t GetTextLength(const TFont& Font, const std::string& Text) {
  if (!Font.Loaded || Font.Glyphs == nullptr) return 0;
  const uint32_t N = TableEntries(Font);
  const uint32_t E = EntrySize(Font.Version);
  if (uint64_t(N) * E > Font.GlyphsSize) return 0;
  uint32_t Length = 0;
  for (const char Ch : Text) {
    const uint32_t Index = GlyphIndex(Font, uint8_t(Ch));
    if (Index < N) Length += Read16(Font.Glyphs + size_t(Index) * E + fnt::ENTRY_OFS_WIDTH);
  }
  return Length;
}

}  // namespace lumora
