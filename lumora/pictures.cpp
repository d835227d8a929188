// lumora pictures: LoadBMPPicture, FreeBMPPicture, ShowAlphaScaleBMPPicture.
// Relies on the back buffer, ViewPort, the blend (blend.h) and GetAvailRAMMemory.
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "lumora/internal/bmp_layout.h"
#include "lumora/internal/bytes.h"
#include "lumora/internal/extended.h"
#include "lumora/internal/files.h"
#include "lumora/internal/sampling.h"
#include "lumora/internal/target.h"
#include "lumora/lumora.h"
#include "lumora/spans/scaled.h"

namespace lumora {

namespace {

// Room the memory test adds for the loader's own small needs.
constexpr uint64_t MEMORY_MARGIN = 264;
constexpr int32_t NO_LIMIT = 2147483647;

using bytes::Read16;
using bytes::Read32;

// R(A / B x C) formed in extended precision; see ext::ScaleRound.
int64_t R(uint64_t A, uint64_t B, uint64_t C) { return ext::ScaleRound(A, B, C); }

// The header fields the loader uses.
struct THeader {
  uint32_t DataOffset, InfoSize, W, H;
  uint16_t Bits;
  uint32_t Compression;
};

// Reads the file header and the info header: the classic one (and the fields every later
// one begins with), or the 12-byte core header with its 16-bit sizes. Returns BMP_OK, or
// the code that ends the load at once: not a bitmap, too short for its headers, or a width
// or height out of range.
uint8_t ReadHeader(detail::TReader& In, THeader& Header) {
  uint8_t Head[bmp::HEADERS_SIZE] = {};
  constexpr size_t SIZE_FIELD_END = bmp::OFS_INFO_SIZE + 4;
  const bool SizeComplete = In.Read(Head, SIZE_FIELD_END);
  if (In.Position() >= 2 && (Head[bmp::OFS_SIGNATURE] != 'B' || Head[bmp::OFS_SIGNATURE + 1] != 'M'))
    return BMP_NOT_A_BITMAP;
  if (!SizeComplete) return BMP_TRUNCATED;
  Header.DataOffset = Read32(Head + bmp::OFS_DATA_OFFSET);
  Header.InfoSize = Read32(Head + bmp::OFS_INFO_SIZE);
  if (Header.InfoSize == bmp::CORE_HEADER_SIZE) {
    const uint8_t* Info = Head + bmp::FILE_HEADER_SIZE;
    if (!In.Read(Head + SIZE_FIELD_END, bmp::CORE_HEADER_SIZE - 4)) return BMP_TRUNCATED;
    Header.W = Read16(Info + bmp::CORE_OFS_WIDTH);
    Header.H = Read16(Info + bmp::CORE_OFS_HEIGHT);
    Header.Bits = Read16(Info + bmp::CORE_OFS_BITS_PER_PIXEL);
    Header.Compression = bmp::COMPRESSION_NONE;
  } else {
    if (!In.Read(Head + SIZE_FIELD_END, bmp::HEADERS_SIZE - SIZE_FIELD_END)) return BMP_TRUNCATED;
    Header.W = Read32(Head + bmp::OFS_WIDTH);
    Header.H = Read32(Head + bmp::OFS_HEIGHT);
    Header.Bits = Read16(Head + bmp::OFS_BITS_PER_PIXEL);
    Header.Compression = Read32(Head + bmp::OFS_COMPRESSION);
  }
  if (Header.W == 0 || Header.H == 0 || Header.W > uint32_t(INT32_MAX) || Header.H > uint32_t(INT32_MAX))
    return BMP_BAD_DIMENSIONS;
  return BMP_OK;
}

// The picture as stored: its size after reduction and the bytes of its buffer, and the
// bytes of a file row without (L) and with its fill.
struct TStored {
  int64_t W, H;
  uint64_t PixelBytes;
  uint64_t L, Stride;
};

// The stored size for the limits and the tests of compression, depth, size and memory.
// The tests do not stop one another: the last failing one decides the code.
uint8_t CheckLimits(const THeader& Header, int32_t MaxWidth, int32_t MaxHeight, TStored& S) {
  uint8_t Code = BMP_OK;
  if (Header.Compression != bmp::COMPRESSION_NONE) Code = BMP_COMPRESSED;
  if (Header.Bits != 8 && Header.Bits != 24) Code = BMP_UNSUPPORTED_DEPTH;

  const int64_t MaxW = std::max<int32_t>(MaxWidth, 0);
  const int64_t MaxH = std::max<int32_t>(MaxHeight, 0);
  S.W = Header.W;
  S.H = Header.H;
  if (S.W > MaxW) {
    S.W = MaxW;
    S.H = R(uint64_t(MaxW), Header.W, Header.H);
  }
  if (S.H > MaxH) {
    S.W = R(uint64_t(MaxH), uint64_t(S.H), uint64_t(S.W));
    S.H = MaxH;
  }
  if (S.W == 0) S.W = 1;
  if (S.H == 0) S.H = 1;
  // Both at most 2^31 - 1, so the product and four times it fit 64 bits unsigned.
  S.PixelBytes = uint64_t(S.W) * uint64_t(S.H) * 4;
  if (S.PixelBytes > MAX_SIZE) Code = BMP_TOO_LARGE;

  // Rows are L bytes plus fill bytes up to a multiple of 4.
  S.L = uint64_t(ext::RoundToInt(ext::Ext(Header.Bits) * ext::Ext(Header.W) / ext::Ext(8)));
  S.Stride = (S.L + 3) / 4 * 4;
  const uint64_t Avail = uint64_t(std::max<int32_t>(GetAvailRAMMemory(), 0));
  if (S.PixelBytes > Avail || S.L > Avail || S.PixelBytes + S.L + MEMORY_MARGIN > Avail)
    Code = BMP_NOT_ENOUGH_MEMORY;
  return Code;
}

// Where the palette and the pixels are.
struct TLayout {
  uint64_t PaletteStart;
  uint32_t PaletteCount;  // entries read; an index beyond them gives black
  uint32_t EntrySize;     // 4 bytes, or 3 behind a core header
  uint64_t DataStart;
};

// From the file's own layout fields when they are consistent, otherwise right behind the
// info header (40 bytes when its size is not one of the known ones) and a full palette.
TLayout FindLayout(const THeader& Header) {
  const auto& Known = bmp::KNOWN_INFO_HEADER_SIZES;
  const bool Core = Header.InfoSize == bmp::CORE_HEADER_SIZE;
  TLayout Layout;
  Layout.EntrySize = Core ? bmp::CORE_PALETTE_ENTRY_SIZE : bmp::PALETTE_ENTRY_SIZE;
  Layout.PaletteStart = Core ? bmp::FILE_HEADER_SIZE + bmp::CORE_HEADER_SIZE : bmp::HEADERS_SIZE;
  Layout.PaletteCount = Header.Bits == 8 ? bmp::PALETTE_MAX_ENTRIES : 0;
  Layout.DataStart = Layout.PaletteStart + uint64_t(Layout.PaletteCount) * Layout.EntrySize;
  if ((Core || std::find(Known.begin(), Known.end(), Header.InfoSize) != Known.end()) &&
      Header.DataOffset >= bmp::FILE_HEADER_SIZE + Header.InfoSize) {
    Layout.PaletteStart = bmp::FILE_HEADER_SIZE + Header.InfoSize;
    Layout.DataStart = Header.DataOffset;
    if (Header.Bits == 8)
      Layout.PaletteCount = uint32_t(std::min<uint64_t>(
          bmp::PALETTE_MAX_ENTRIES, (Layout.DataStart - Layout.PaletteStart) / Layout.EntrySize));
  }
  return Layout;
}

// The file row shown in stored row Y, counted from the bottom. The sampled file rows rise
// with Y, so the last one needed is that of the top row.
int64_t SourceRow(const THeader& Header, const TStored& S, int64_t Y) {
  return std::min<int64_t>(R(Header.H, uint64_t(S.H), uint64_t(Y)), int64_t(Header.H) - 1);
}

// The source byte of each stored column within a file row (3 per pixel at 24 bits, 1 at
// 8 bits).
void MapColumns(const THeader& Header, const TStored& S, uint32_t* Column) {
  const uint32_t BytesPerPixel = Header.Bits / 8;
  for (int64_t X = 0; X < S.W; ++X) {
    const int64_t C = S.W == Header.W ? X : std::min<int64_t>(R(Header.W, uint64_t(S.W), uint64_t(X)), int64_t(Header.W) - 1);
    Column[size_t(X)] = uint32_t(C) * BytesPerPixel;
  }
}

// Reads the rows from the start of the pixels on, each file row that is sampled once into
// Row, and fills Pixels (top row first). False when the file ends first.
bool ReadRows(detail::TReader& In, const THeader& Header, const TStored& S, const uint8_t* Palette,
              const uint32_t* Column, uint8_t* Row, uint8_t* Pixels) {
  int64_t LineIndex = -1;
  uint64_t PendingFill = 0;  // fill bytes of the row last read, not yet passed
  for (int64_t Y = 0; Y < S.H; ++Y) {
    const int64_t Wanted = SourceRow(Header, S, Y);
    if (Wanted != LineIndex) {
      const uint64_t Dropped = uint64_t(Wanted - LineIndex - 1);
      if (!In.Skip(PendingFill + Dropped * S.Stride) || !In.Read(Row, size_t(S.L))) return false;
      PendingFill = S.Stride - S.L;
      LineIndex = Wanted;
    }
    uint8_t* Dst = Pixels + uint64_t(S.H - 1 - Y) * uint64_t(S.W) * 4;
    if (Header.Bits == 24) {
      for (int64_t X = 0; X < S.W; ++X, Dst += 4) {
        const uint8_t* Src = Row + Column[size_t(X)];
        Dst[0] = Src[0];
        Dst[1] = Src[1];
        Dst[2] = Src[2];
        Dst[3] = 0;
      }
    } else {
      for (int64_t X = 0; X < S.W; ++X, Dst += 4) {
        const uint8_t* Entry = Palette + size_t(Row[Column[size_t(X)]]) * bmp::PALETTE_ENTRY_SIZE;
        Dst[0] = Entry[0];
        Dst[1] = Entry[1];
        Dst[2] = Entry[2];
        Dst[3] = 0;
      }
    }
  }
  return true;
}

}  // namespace

// ===================================================================== loading

const char* BMPResultText(uint8_t Code) {
  switch (Code) {
    case BMP_OK: return "loaded";
    case BMP_CANNOT_OPEN: return "the file cannot be opened";
    case BMP_COMPRESSED: return "compressed picture (CompressionMethod is not 0: run-length encoded or bit fields)";
    case BMP_UNSUPPORTED_DEPTH: return "unsupported depth (BitsPerPixel is neither 8 nor 24)";
    case BMP_TOO_LARGE: return "stored picture larger than 20,971,520 bytes";
    case BMP_NOT_ENOUGH_MEMORY: return "picture larger than the available memory";
    case BMP_ALLOCATION_FAILED: return "a pixel, row or column buffer cannot be allocated";
    case BMP_NOT_A_BITMAP: return "not a bitmap (the file does not begin with \"BM\")";
    case BMP_BAD_DIMENSIONS: return "bad dimensions (width or height is 0 or 2,147,483,648 and more)";
    case BMP_TRUNCATED: return "the file ends before its headers, its palette or the last row needed";
    default: return "unknown code";
  }
}

void LoadBMPPicture(const std::string& PictureName, TPicture& Picture, int32_t MaxWidth,
                    int32_t MaxHeight, uint8_t& Result_) {
  Result_ = BMP_OK;
  struct stat Info {};
  const detail::TFile File = detail::OpenForReading(PictureName, Info);
  if (!File) {
    Result_ = BMP_CANNOT_OPEN;
    return;
  }
  detail::TReader In(File.get(), Info);

  THeader Header{};
  TStored S{};
  Result_ = ReadHeader(In, Header);
  if (Result_ == BMP_OK) Result_ = CheckLimits(Header, MaxWidth, MaxHeight, S);
  if (Result_ != BMP_OK) return;

  const TLayout Layout = FindLayout(Header);
  const uint64_t LastRow = uint64_t(SourceRow(Header, S, S.H - 1));
  const uint64_t Needed = Layout.DataStart + LastRow * S.Stride + S.L;
  if (S_ISREG(Info.st_mode) && uint64_t(Info.st_size) < Needed) {
    Result_ = BMP_TRUNCATED;
    return;
  }

  std::unique_ptr<uint8_t[]> Pixels(new (std::nothrow) uint8_t[S.PixelBytes]);
  std::unique_ptr<uint8_t[]> Row(new (std::nothrow) uint8_t[S.L]);
  std::unique_ptr<uint32_t[]> Column(new (std::nothrow) uint32_t[size_t(S.W)]);
  if (!Pixels || !Row || !Column) {
    Result_ = BMP_ALLOCATION_FAILED;
    return;
  }
  MapColumns(Header, S, Column.get());

  // Entries the file does not hold stay black. Entries of 3 bytes are spread to 4.
  uint8_t Palette[bmp::PALETTE_MAX_ENTRIES * bmp::PALETTE_ENTRY_SIZE] = {};
  const bool PaletteRead = In.SkipTo(Layout.PaletteStart) &&
                           In.Read(Palette, size_t(Layout.PaletteCount) * Layout.EntrySize);
  if (PaletteRead && Layout.EntrySize == bmp::CORE_PALETTE_ENTRY_SIZE) {
    for (uint32_t I = Layout.PaletteCount; I-- > 0;) {
      uint8_t* To = Palette + size_t(I) * bmp::PALETTE_ENTRY_SIZE;
      const uint8_t* From = Palette + size_t(I) * bmp::CORE_PALETTE_ENTRY_SIZE;
      const uint8_t B = From[0], G = From[1], R = From[2];
      To[0] = B;
      To[1] = G;
      To[2] = R;
      To[3] = 0;
    }
  }
  if (!PaletteRead || !In.SkipTo(Layout.DataStart) ||
      !ReadRows(In, Header, S, Palette, Column.get(), Row.get(), Pixels.get())) {
    Result_ = BMP_TRUNCATED;
    return;
  }

  if (Picture.Loaded) delete[] Picture.PictureAdr;
  TPicture Loaded;
  Loaded.FileName = PictureName.size() > 4 ? PictureName.substr(0, PictureName.size() - 4) : std::string();
  Loaded.Loaded = true;
  Loaded.ImageWidth = uint32_t(S.W);
  Loaded.ImageHeight = uint32_t(S.H);
  Loaded.PictureAdr = Pixels.release();
  Picture = std::move(Loaded);
}

void LoadBMPPicture(const std::string& PictureName, TPicture& Picture, uint8_t& Result_) {
  LoadBMPPicture(PictureName, Picture, NO_LIMIT, NO_LIMIT, Result_);
}

void FreeBMPPicture(TPicture& Picture) {
  if (!Picture.Loaded) return;
  delete[] Picture.PictureAdr;
  Picture.PictureAdr = nullptr;
  Picture.Loaded = false;
}

// ===================================================================== display

int64_t detail::SourceIndex(uint64_t D, uint32_t Size, uint32_t Last) {
  return ext::ScaleRound(D + 1, Size, Last);
}

namespace {

// Per-thread tables of the picture display, grown to the widest and highest call seen, so
// that drawing allocates nothing once warmed up and threads share nothing.
struct TStretch {
  int32_t First, Count;
  size_t Source;
};
// What the column tables were made for: they depend on these alone (not on the pixels),
// so a call with the same ones, as when the same sprite is drawn again, reuses them.
struct TColumnsMade {
  uint64_t First = 0;
  int32_t Count = 0;  // 0: nothing made yet
  uint32_t Width = 0, SourceRight = 0;
  size_t SourceRowBytes = 0;
  bool operator==(const TColumnsMade&) const = default;
};
struct TRowsMade {
  uint64_t First = 0;
  int32_t Count = 0;
  uint32_t Height = 0, SourceBottom = 0;
  size_t SourceRowBytes = 0;
  bool operator==(const TRowsMade&) const = default;
};
struct TShowTables {
  std::vector<size_t> ColumnOffset, RowOffset;
  std::vector<TStretch> Stretches;
  std::vector<detail::TGatherBlock> Blocks;
  std::vector<uint8_t> Run;
  TColumnsMade Columns;
  int32_t StretchCount = 0;
  bool Direct = false, Scaled = false;
  TRowsMade Rows;
};
TShowTables& ShowTables(int32_t Columns, int32_t Rows) {
  thread_local TShowTables T;
  if (T.ColumnOffset.size() < size_t(Columns)) {
    T.ColumnOffset.resize(size_t(Columns));
    T.Stretches.resize(size_t(Columns));
    T.Blocks.resize(size_t(Columns) / 8 + 1);
    T.Run.resize(size_t(Columns) * 4);
  }
  if (T.RowOffset.size() < size_t(Rows)) T.RowOffset.resize(size_t(Rows));
  return T;
}

// Out[I] = SourceIndex(First + I, Size, Last) x Scale for I < Count. The quotient and
// remainder of (D + 1) x Last by Size are carried from one D to the next instead of
// divided anew. Where they settle the index as ext::ScaleRound settles it (a quotient
// below 2^32 and a value not within Size / 2^30 of a half: the same test), the index is
// taken from them; elsewhere SourceIndex decides.
void MapIndices(uint64_t First, int32_t Count, uint32_t Size, uint32_t Last, size_t Scale, size_t* Out) {
  const uint64_t Step = Last / Size, StepRem = Last % Size;
  const uint64_t N = (First + 1) * Last;  // D + 1 <= Size and Last are below 2^32
  uint64_t Q = N / Size, Rem = N % Size;
  for (int32_t I = 0; I < Count; ++I) {
    const int64_t FromHalf = int64_t(2 * Rem) - int64_t(Size);
    const uint64_t Distance = uint64_t(FromHalf < 0 ? -FromHalf : FromHalf);
    const int64_t Index = Q >> 32 == 0 && Distance << 29 > Size
                              ? int64_t(Q) + (FromHalf > 0)
                              : detail::SourceIndex(First + uint64_t(I), Size, Last);
    Out[I] = size_t(Index) * Scale;
    Q += Step;
    Rem += StepRem;
    if (Rem >= Size) {
      Rem -= Size;
      ++Q;
    }
  }
}

}  // namespace

void ShowAlphaScaleBMPPicture(TCanvas& Canvas, int32_t X, int32_t Y, const TPicture& Picture,
                              uint32_t Width, uint32_t Height, uint8_t Alpha, bool Transparent,
                              TColor TransparentColor) {
  if (!Picture.Loaded || Width == 0 || Height == 0) return;
  const detail::TTarget T = detail::TargetOf(Canvas);
  if (T.Empty() || Picture.PictureAdr == nullptr || Picture.ImageWidth == 0 || Picture.ImageHeight == 0)
    return;
  const TViewPort V = T.Clip;  // the viewport within the canvas
  const int64_t Right = int64_t(X) + Width - 1;
  const int64_t Bottom = int64_t(Y) + Height - 1;
  if (X > V.X2 || Right < V.X1 || Y > V.Y2 || Bottom < V.Y1) return;
  // Transparency 255 rewrites every pixel with its own value: nothing to do.
  if (Alpha == 255) return;
  const int64_t X1 = std::max<int64_t>(X, V.X1), X2 = std::min<int64_t>(Right, V.X2);
  const int64_t Y1 = std::max<int64_t>(Y, V.Y1), Y2 = std::min<int64_t>(Bottom, V.Y2);
  const int32_t Columns = int32_t(X2 - X1 + 1);
  const int32_t Rows = int32_t(Y2 - Y1 + 1);
  TShowTables& Tables = ShowTables(Columns, Rows);
  size_t* const ColumnOffset = Tables.ColumnOffset.data();
  size_t* const RowOffset = Tables.RowOffset.data();

  // The source column depends on the screen column only and the source row on the screen
  // row only: map each once, from the unclipped rectangle, so clipping does not shift.
  const uint32_t SourceRight = Picture.ImageWidth - 1, SourceBottom = Picture.ImageHeight - 1;
  const size_t SourceRowBytes = size_t(Picture.ImageWidth) * 4;
  const TRowsMade RowsMade{uint64_t(Y1 - Y), Rows, Height, SourceBottom, SourceRowBytes};
  if (!(Tables.Rows == RowsMade)) {
    MapIndices(RowsMade.First, Rows, Height, SourceBottom, SourceRowBytes, RowOffset);
    Tables.Rows = RowsMade;
  }

  // Where the source columns of neighbouring screen columns follow one another (a picture
  // shown at about its own size), each row is put straight from the picture, one span per
  // stretch of consecutive source columns. Otherwise, where every 8 neighbouring screen
  // columns show source pixels within 8 consecutive ones (a picture shown wider than it
  // is) and the processor can gather them by a permute, each row is one scaled span from
  // its source row. Otherwise each screen row's source pixels are gathered into one run
  // and put with one span; consecutive screen rows that show the same source row reuse
  // the run. Pixels of the transparent colour leave the screen alone.
  TStretch* const Stretches = Tables.Stretches.data();
  const TColumnsMade ColumnsMade{uint64_t(X1 - X), Columns, Width, SourceRight, SourceRowBytes};
  if (!(Tables.Columns == ColumnsMade)) {
    MapIndices(ColumnsMade.First, Columns, Width, SourceRight, 4, ColumnOffset);
    int32_t StretchCount = 0;
    for (int32_t I = 0; I < Columns; ++I) {
      if (StretchCount > 0) {
        TStretch& Last = Stretches[StretchCount - 1];
        if (ColumnOffset[I] == Last.Source + size_t(Last.Count) * 4) {
          ++Last.Count;
          continue;
        }
      }
      Stretches[StretchCount++] = TStretch{I, 1, ColumnOffset[I]};
    }
    Tables.StretchCount = StretchCount;
    Tables.Direct = int64_t(StretchCount) * 8 <= Columns;
    Tables.Scaled = !Tables.Direct &&
                    detail::PlanScaledSpan(ColumnOffset, Columns, SourceRowBytes, Tables.Blocks.data());
    Tables.Columns = ColumnsMade;
  }
  const int32_t StretchCount = Tables.StretchCount;
  const bool Direct = Tables.Direct, Scaled = Tables.Scaled;
  const detail::TGatherBlock* const Blocks = Tables.Blocks.data();

  const int32_t Key = Transparent ? detail::KeyOf(TransparentColor) : detail::NO_KEY;
  uint8_t* const Run = Tables.Run.data();
  const uint8_t* Gathered = nullptr;
  uint8_t* DstRow = T.At(X1, Y1);
  for (int32_t J = 0; J < Rows; ++J, DstRow += T.Stride) {
    const uint8_t* SrcRow = Picture.PictureAdr + RowOffset[J];
    if (Direct) {
      for (int32_t S = 0; S < StretchCount; ++S)
        detail::PictureSpan(DstRow + size_t(Stretches[S].First) * 4, SrcRow + Stretches[S].Source,
                            Stretches[S].Count, Alpha, Key);
      continue;
    }
    if (Scaled) {
      // This row and the rows below it that show the same source row, together.
      int32_t Same = 1;
      while (J + Same < Rows && RowOffset[J + Same] == RowOffset[J]) ++Same;
      detail::ScaledPictureSpan(DstRow, T.Stride, Same, SrcRow, Columns, Blocks, Alpha, Key);
      J += Same - 1;
      DstRow += (Same - 1) * T.Stride;
      continue;
    }
    if (SrcRow != Gathered) {
      for (int32_t I = 0; I < Columns; ++I) std::memcpy(Run + size_t(I) * 4, SrcRow + ColumnOffset[I], 4);
      Gathered = SrcRow;
    }
    detail::PictureSpan(DstRow, Run, Columns, Alpha, Key);
  }
}

void ShowAlphaScaleBMPPicture(int32_t X, int32_t Y, const TPicture& Picture, uint32_t Width,
                              uint32_t Height, uint8_t Alpha, bool Transparent,
                              TColor TransparentColor) {
  TCanvas C = detail::ScreenCanvas();
  ShowAlphaScaleBMPPicture(C, X, Y, Picture, Width, Height, Alpha, Transparent, TransparentColor);
}

TCanvas PictureCanvas(TPicture& Picture) {
  TCanvas C;
  if (Picture.Loaded && Picture.ImageWidth <= uint32_t(MAX_CANVAS_SIDE) &&
      Picture.ImageHeight <= uint32_t(MAX_CANVAS_SIDE))
    MakeCanvas(C, Picture.PictureAdr, int32_t(Picture.ImageWidth), int32_t(Picture.ImageHeight),
               int64_t(Picture.ImageWidth) * 4);
  return C;
}

}  // namespace lumora
