// lumora pictures: LoadBMPPicture, FreeBMPPicture, ShowAlphaScaleBMPPicture.
// Relies on the back buffer, ViewPort, the blend (blend.h) and GetAvailRAMMemory.
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "lumora/internal/blend.h"
#include "lumora/internal/extended.h"
#include "lumora/internal/files.h"
#include "lumora/lumora.h"
#include "lumora/internal/sampling.h"

namespace lumora {

namespace {

// ===================================================================== file layout

// File header (14 bytes), then the info header; offsets from the start of the file.
constexpr size_t FILE_HEADER_SIZE = 14;
constexpr size_t OFS_SIGNATURE = 0;
constexpr size_t OFS_DATA_OFFSET = 10;
constexpr size_t OFS_HEADER_SIZE = 14;
constexpr size_t OFS_WIDTH = 18;
constexpr size_t OFS_HEIGHT = 22;
constexpr size_t OFS_BITS_PER_PIXEL = 28;
constexpr size_t OFS_COMPRESSION = 30;
// The part of the info header that is read: the classic 40-byte header.
constexpr size_t INFO_HEADER_SIZE = 40;
constexpr size_t HEADERS_SIZE = FILE_HEADER_SIZE + INFO_HEADER_SIZE;
static_assert(HEADERS_SIZE == 54);
static_assert(OFS_COMPRESSION + 4 <= HEADERS_SIZE);

constexpr uint32_t PALETTE_ENTRIES = 256;
constexpr uint32_t PALETTE_ENTRY_SIZE = 4;  // blue, green, red, unused
// Info header sizes whose layout fields are trusted.
constexpr std::array<uint32_t, 5> KNOWN_INFO_HEADER_SIZES = {40, 52, 56, 108, 124};
// Room the memory test adds for the loader's own small needs.
constexpr uint64_t MEMORY_MARGIN = 264;
constexpr int32_t NO_LIMIT = 2147483647;

using detail::Le16;
using detail::Le32;

// R(A / B x C) formed in extended precision; see ext::ScaleRound.
int64_t R(uint64_t A, uint64_t B, uint64_t C) { return ext::ScaleRound(A, B, C); }

// A forward-only reader that counts its position. A regular file skips by seeking forward;
// any other stream reads the bytes and drops them.
struct TReader {
  std::FILE* File;
  bool CanSeek;
  uint64_t Pos = 0;

  bool Read(void* Dst, size_t Count) {
    if (Count == 0) return true;
    const size_t Got = std::fread(Dst, 1, Count, File);
    Pos += Got;
    return Got == Count;
  }

  // Moves forward by Count bytes. Seeking past the end succeeds; the next read then fails.
  bool Skip(uint64_t Count) {
    if (Count == 0) return true;
    if (CanSeek) {
      if (Count > uint64_t(INT64_MAX) || std::fseek(File, long(Count), SEEK_CUR) != 0) return false;
      Pos += Count;
      return true;
    }
    uint8_t Scratch[4096];
    while (Count > 0) {
      const size_t Step = size_t(std::min<uint64_t>(Count, sizeof Scratch));
      if (!Read(Scratch, Step)) return false;
      Count -= Step;
    }
    return true;
  }

  bool SkipTo(uint64_t Target) { return Target >= Pos && Skip(Target - Pos); }
};

}  // namespace

// ===================================================================== loading

void LoadBMPPicture(const std::string& PictureName, TPicture& Picture, int32_t MaxWidth,
                    int32_t MaxHeight, uint8_t& Result_) {
  Result_ = BMP_OK;
  struct stat Info {};
  const detail::TFile File = detail::OpenForReading(PictureName, Info);
  if (!File) {
    Result_ = BMP_CANNOT_OPEN;
    return;
  }
  TReader In{File.get(), S_ISREG(Info.st_mode)};

  uint8_t Head[HEADERS_SIZE] = {};
  const bool HeadComplete = In.Read(Head, HEADERS_SIZE);
  if (In.Pos >= 2 && (Head[OFS_SIGNATURE] != 'B' || Head[OFS_SIGNATURE + 1] != 'M')) {
    Result_ = BMP_NOT_A_BITMAP;
    return;
  }
  if (!HeadComplete) {
    Result_ = BMP_TRUNCATED;
    return;
  }
  const uint32_t DataOffset = Le32(Head + OFS_DATA_OFFSET);
  const uint32_t HeaderSize = Le32(Head + OFS_HEADER_SIZE);
  const uint32_t W = Le32(Head + OFS_WIDTH);
  const uint32_t H = Le32(Head + OFS_HEIGHT);
  const uint16_t Bits = Le16(Head + OFS_BITS_PER_PIXEL);
  const uint32_t Compression = Le32(Head + OFS_COMPRESSION);
  if (W == 0 || H == 0 || W > uint32_t(INT32_MAX) || H > uint32_t(INT32_MAX)) {
    Result_ = BMP_BAD_DIMENSIONS;
    return;
  }

  // The tests of compression, depth, size and memory do not stop one another: the last
  // failing one decides the code.
  uint8_t Code = BMP_OK;
  if (Compression != 0) Code = BMP_COMPRESSED;
  if (Bits != 8 && Bits != 24) Code = BMP_UNSUPPORTED_DEPTH;

  const int64_t MaxW = std::max<int32_t>(MaxWidth, 0);
  const int64_t MaxH = std::max<int32_t>(MaxHeight, 0);
  int64_t ImW = W, ImH = H;
  if (ImW > MaxW) {
    ImW = MaxW;
    ImH = R(uint64_t(MaxW), W, H);
  }
  if (ImH > MaxH) {
    ImW = R(uint64_t(MaxH), uint64_t(ImH), uint64_t(ImW));
    ImH = MaxH;
  }
  if (ImW == 0) ImW = 1;
  if (ImH == 0) ImH = 1;
  // Both at most 2^31 - 1, so the product and four times it fit 64 bits unsigned.
  const uint64_t PixelBytes = uint64_t(ImW) * uint64_t(ImH) * 4;
  if (PixelBytes > MAX_SIZE) Code = BMP_TOO_LARGE;

  const uint64_t L = uint64_t(ext::RoundToInt(ext::Ext(Bits) * ext::Ext(W) / ext::Ext(8)));
  const uint64_t Avail = uint64_t(std::max<int32_t>(GetAvailRAMMemory(), 0));
  if (PixelBytes > Avail || L > Avail || PixelBytes + L + MEMORY_MARGIN > Avail)
    Code = BMP_NOT_ENOUGH_MEMORY;
  if (Code != BMP_OK) {
    Result_ = Code;
    return;
  }

  // Where the palette and the pixels are: from the file's own layout fields when they are
  // consistent, otherwise right behind a 40-byte info header and a full palette.
  const bool KnownHeader = std::find(KNOWN_INFO_HEADER_SIZES.begin(), KNOWN_INFO_HEADER_SIZES.end(),
                                     HeaderSize) != KNOWN_INFO_HEADER_SIZES.end();
  uint64_t PaletteStart = HEADERS_SIZE;
  uint32_t PaletteCount = Bits == 8 ? PALETTE_ENTRIES : 0;
  uint64_t DataStart = PaletteStart + uint64_t(PaletteCount) * PALETTE_ENTRY_SIZE;
  if (KnownHeader && DataOffset >= FILE_HEADER_SIZE + HeaderSize) {
    PaletteStart = FILE_HEADER_SIZE + HeaderSize;
    DataStart = DataOffset;
    if (Bits == 8)
      PaletteCount = uint32_t(std::min<uint64_t>(PALETTE_ENTRIES, (DataStart - PaletteStart) / PALETTE_ENTRY_SIZE));
  }

  // Rows are L bytes plus fill bytes up to a multiple of 4. The sampled file rows rise with
  // the destination row, so the last one needed is that of the top destination row.
  const uint64_t Stride = (L + 3) / 4 * 4;
  auto SourceRow = [&](int64_t Y) {
    return std::min<int64_t>(R(H, uint64_t(ImH), uint64_t(Y)), int64_t(H) - 1);
  };
  const uint64_t LastRow = uint64_t(SourceRow(ImH - 1));
  const uint64_t Needed = DataStart + LastRow * Stride + L;
  if (S_ISREG(Info.st_mode) && uint64_t(Info.st_size) < Needed) {
    Result_ = BMP_TRUNCATED;
    return;
  }

  std::unique_ptr<uint8_t[]> Pixels(new (std::nothrow) uint8_t[PixelBytes]);
  std::unique_ptr<uint8_t[]> Row(new (std::nothrow) uint8_t[L]);
  // Source byte of each destination column (3 per pixel at 24 bits, 1 at 8 bits).
  std::unique_ptr<uint32_t[]> Column(new (std::nothrow) uint32_t[size_t(ImW)]);
  if (!Pixels || !Row || !Column) {
    Result_ = BMP_ALLOCATION_FAILED;
    return;
  }
  const uint32_t BytesPerPixel = Bits / 8;
  for (int64_t X = 0; X < ImW; ++X) {
    const int64_t C = ImW == W ? X : std::min<int64_t>(R(W, uint64_t(ImW), uint64_t(X)), int64_t(W) - 1);
    Column[size_t(X)] = uint32_t(C) * BytesPerPixel;
  }

  // Entries the file does not hold stay black.
  uint8_t Palette[PALETTE_ENTRIES * PALETTE_ENTRY_SIZE] = {};
  if (!In.SkipTo(PaletteStart) || !In.Read(Palette, size_t(PaletteCount) * PALETTE_ENTRY_SIZE) ||
      !In.SkipTo(DataStart)) {
    Result_ = BMP_TRUNCATED;
    return;
  }

  int64_t LineIndex = -1;
  uint64_t PendingFill = 0;  // fill bytes of the row last read, not yet passed
  for (int64_t Y = 0; Y < ImH; ++Y) {
    const int64_t Wanted = SourceRow(Y);
    if (Wanted != LineIndex) {
      const uint64_t Dropped = uint64_t(Wanted - LineIndex - 1);
      if (!In.Skip(PendingFill + Dropped * Stride) || !In.Read(Row.get(), size_t(L))) {
        Result_ = BMP_TRUNCATED;
        return;
      }
      PendingFill = Stride - L;
      LineIndex = Wanted;
    }
    uint8_t* Dst = Pixels.get() + uint64_t(ImH - 1 - Y) * uint64_t(ImW) * 4;
    if (Bits == 24) {
      for (int64_t X = 0; X < ImW; ++X, Dst += 4) {
        const uint8_t* Src = Row.get() + Column[size_t(X)];
        Dst[0] = Src[0];
        Dst[1] = Src[1];
        Dst[2] = Src[2];
        Dst[3] = 0;
      }
    } else {
      for (int64_t X = 0; X < ImW; ++X, Dst += 4) {
        const uint8_t* Entry = Palette + size_t(Row[Column[size_t(X)]]) * PALETTE_ENTRY_SIZE;
        Dst[0] = Entry[0];
        Dst[1] = Entry[1];
        Dst[2] = Entry[2];
        Dst[3] = 0;
      }
    }
  }

  if (Picture.Loaded) delete[] Picture.PictureAdr;
  TPicture Loaded;
  Loaded.FileName = PictureName.size() > 4 ? PictureName.substr(0, PictureName.size() - 4) : std::string();
  Loaded.Loaded = true;
  Loaded.ImageWidth = uint32_t(ImW);
  Loaded.ImageHeight = uint32_t(ImH);
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

void ShowAlphaScaleBMPPicture(int32_t X, int32_t Y, const TPicture& Picture, uint32_t Width,
                              uint32_t Height, uint8_t Alpha, bool Transparent,
                              TColor TransparentColor) {
  if (!Picture.Loaded || Width == 0 || Height == 0) return;
  if (VirtualScreen == nullptr || Picture.PictureAdr == nullptr || Picture.ImageWidth == 0 ||
      Picture.ImageHeight == 0)
    return;
  const int64_t Right = int64_t(X) + Width - 1;
  const int64_t Bottom = int64_t(Y) + Height - 1;
  if (X > ViewPort.X2 || Right < ViewPort.X1 || Y > ViewPort.Y2 || Bottom < ViewPort.Y1) return;
  // Transparency 255 rewrites every pixel with its own value: nothing to do.
  if (Alpha == 255) return;
  // ViewPort is kept inside the screen by SetViewPort; intersecting again keeps the tables
  // below in bounds even for a ViewPort assigned directly.
  const int64_t X1 = std::max<int64_t>({X, ViewPort.X1, 0});
  const int64_t X2 = std::min<int64_t>({Right, ViewPort.X2, SCREEN_WIDTH - 1});
  const int64_t Y1 = std::max<int64_t>({Y, ViewPort.Y1, 0});
  const int64_t Y2 = std::min<int64_t>({Bottom, ViewPort.Y2, SCREEN_HEIGHT - 1});
  if (X1 > X2 || Y1 > Y2) return;
  const int32_t Columns = int32_t(X2 - X1 + 1);
  const int32_t Rows = int32_t(Y2 - Y1 + 1);

  // The source column depends on the screen column only and the source row on the screen
  // row only: map each once, from the unclipped rectangle, so clipping does not shift.
  size_t ColumnOffset[SCREEN_WIDTH];
  size_t RowOffset[SCREEN_HEIGHT];
  const uint32_t SourceRight = Picture.ImageWidth - 1, SourceBottom = Picture.ImageHeight - 1;
  for (int32_t I = 0; I < Columns; ++I)
    ColumnOffset[I] = size_t(detail::SourceIndex(uint64_t(X1 + I - X), Width, SourceRight)) * 4;
  const size_t SourceRowBytes = size_t(Picture.ImageWidth) * 4;
  for (int32_t I = 0; I < Rows; ++I)
    RowOffset[I] =
        size_t(detail::SourceIndex(uint64_t(Y1 + I - Y), Height, SourceBottom)) * SourceRowBytes;

  // Where the source columns of neighbouring screen columns follow one another (a picture
  // shown at about its own size), each row is put straight from the picture, one span per
  // stretch of consecutive source columns. Otherwise each screen row's source pixels are
  // gathered into one run and put with one span; consecutive screen rows that show the
  // same source row reuse the run. Pixels of the transparent colour leave the screen alone.
  struct TStretch {
    int32_t First, Count;
    size_t Source;
  };
  TStretch Stretches[SCREEN_WIDTH];
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
  const bool Direct = int64_t(StretchCount) * 8 <= Columns;

  const int32_t Key = Transparent ? detail::KeyOf(TransparentColor) : detail::NO_KEY;
  alignas(16) uint8_t Run[SCREEN_WIDTH * 4];
  const uint8_t* Gathered = nullptr;
  uint8_t* DstRow = VirtualScreen + detail::ScreenOffset(int32_t(X1), int32_t(Y1));
  for (int32_t J = 0; J < Rows; ++J, DstRow += ROW_BYTES) {
    const uint8_t* SrcRow = Picture.PictureAdr + RowOffset[J];
    if (Direct) {
      for (int32_t S = 0; S < StretchCount; ++S)
        detail::PictureSpan(DstRow + size_t(Stretches[S].First) * 4, SrcRow + Stretches[S].Source,
                            Stretches[S].Count, Alpha, Key);
      continue;
    }
    if (SrcRow != Gathered) {
      for (int32_t I = 0; I < Columns; ++I) std::memcpy(Run + size_t(I) * 4, SrcRow + ColumnOffset[I], 4);
      Gathered = SrcRow;
    }
    detail::PictureSpan(DstRow, Run, Columns, Alpha, Key);
  }
}

}  // namespace lumora
