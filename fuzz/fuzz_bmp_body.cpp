// lumora fuzz body for .bmp pictures: both LoadBMPPicture forms, ShowAlphaScaleBMPPicture
// and FreeBMPPicture. Relies on the public lumora API and the fuzz support.
#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "fuzz/fuzz_bodies.h"
#include "fuzz/fuzz_support.h"
#include "lumora/internal/bmp_layout.h"
#include "lumora/internal/bytes.h"
#include "lumora/lumora.h"

namespace lumorafuzz {

using namespace lumora;

namespace {

using bytes::Read16At;
using bytes::Read32At;

struct TPrefix {
  int32_t MaxWidth, MaxHeight, X, Y;
  uint32_t Width, Height;
  uint8_t Alpha;
  bool Transparent;
  int64_t AvailMemory;
  TColor Key;
  TRect ViewPort;
};

TPrefix ReadPrefix(const uint8_t* D) {
  constexpr int64_t Memory[4] = {int64_t(1) << 30, int64_t(4) << 20, 0, std::numeric_limits<int32_t>::max()};
  constexpr size_t N = BMP_PREFIX_SIZE;
  TPrefix P;
  P.MaxWidth = int32_t(Read32At(D, N, 0));
  P.MaxHeight = int32_t(Read32At(D, N, 4));
  P.X = int32_t(Read32At(D, N, 8));
  P.Y = int32_t(Read32At(D, N, 12));
  P.Width = Read32At(D, N, 16);
  P.Height = Read32At(D, N, 20);
  P.Alpha = D[24];
  P.Transparent = (D[25] & 1) != 0;
  P.AvailMemory = Memory[(D[25] >> 1) & 3];
  P.Key = TColor{D[26], D[27], D[28], D[29]};
  P.ViewPort = {5 * int64_t(D[30]) - 100, 4 * int64_t(D[31]) - 100, 1123 - 5 * int64_t(D[32]),
                867 - 4 * int64_t(D[33])};
  return P;
}

// The header fields the loader uses and where it finds the palette and the pixels: behind
// an info header of a known size (40, 52, 56, 108, 124) up to ImageDataOffset when that
// lies at or after its end, else behind a 40-byte header and (8 bits) a full palette.
struct TFileInfo {
  uint64_t W, H;
  uint32_t Bits;
  bool Plain;            // "BM", uncompressed, 8 or 24 bits, width and height 1 .. 2^31 - 1
  size_t PaletteStart;
  uint32_t PaletteCount; // entries in the file; an index beyond them gives black
  uint32_t EntrySize;    // bytes per palette entry: 4, or 3 behind the 12-byte core header
  uint64_t DataStart;
  uint64_t Stride;       // bytes per file row, fill included
};

TFileInfo ReadFileInfo(const uint8_t* D, size_t N) {
  TFileInfo F;
  const uint32_t HeaderSize = Read32At(D, N, bmp::OFS_INFO_SIZE), DataOffset = Read32At(D, N, bmp::OFS_DATA_OFFSET);
  // The 12-byte core header: 16-bit width and height at 18 and 20, bits at 24, no
  // compression field, 3-byte palette entries; stated here again rather than taken from the
  // loader's layout.
  const bool Core = HeaderSize == 12;
  if (Core) {
    F.W = Read16At(D, N, 18);
    F.H = Read16At(D, N, 20);
    F.Bits = Read16At(D, N, 24);
  } else {
    F.W = Read32At(D, N, bmp::OFS_WIDTH);
    F.H = Read32At(D, N, bmp::OFS_HEIGHT);
    F.Bits = Read16At(D, N, bmp::OFS_BITS_PER_PIXEL);
  }
  const size_t HeadersEnd = Core ? 26 : bmp::HEADERS_SIZE;
  F.Plain = N >= HeadersEnd && D[0] == 'B' && D[1] == 'M' &&
            (Core || Read32At(D, N, bmp::OFS_COMPRESSION) == bmp::COMPRESSION_NONE) &&
            (F.Bits == 8 || F.Bits == 24) && F.W >= 1 && F.W <= 0x7FFFFFFF && F.H >= 1 && F.H <= 0x7FFFFFFF;
  // The sizes the loader's contract names, stated here again rather than taken from it.
  const bool Known = Core || HeaderSize == 40 || HeaderSize == 52 || HeaderSize == 56 || HeaderSize == 64 ||
                     HeaderSize == 108 || HeaderSize == 124;
  F.EntrySize = Core ? 3 : 4;
  F.PaletteStart = HeadersEnd;
  F.PaletteCount = F.Bits == 8 ? bmp::PALETTE_MAX_ENTRIES : 0;
  F.DataStart = F.PaletteStart + F.PaletteCount * F.EntrySize;
  if (Known && DataOffset >= bmp::FILE_HEADER_SIZE + HeaderSize) {
    F.PaletteStart = bmp::FILE_HEADER_SIZE + HeaderSize;
    F.DataStart = DataOffset;
    if (F.Bits == 8)
      F.PaletteCount = uint32_t(std::min<uint64_t>(bmp::PALETTE_MAX_ENTRIES,
                                                   (F.DataStart - F.PaletteStart) / F.EntrySize));
  }
  F.Stride = bmp::RowStride(F.W, F.Bits);
  return F;
}

// The stored size for limits MaxW x MaxH: reduced to MaxW wide keeping the aspect ratio,
// then to MaxH high, never below 1.
void StoredSize(const TFileInfo& F, int64_t MaxW, int64_t MaxH, int64_t& ImW, int64_t& ImH) {
  ImW = int64_t(F.W);
  ImH = int64_t(F.H);
  if (ImW > MaxW) {
    ImW = MaxW;
    ImH = RoundedScale(MaxW, int64_t(F.W), int64_t(F.H));
  }
  if (ImH > MaxH) {
    ImW = RoundedScale(MaxH, ImH, ImW);
    ImH = MaxH;
  }
  ImW = std::max<int64_t>(ImW, 1);
  ImH = std::max<int64_t>(ImH, 1);
}

std::string CheckRefused(const TPicture& P, uint8_t Result, const char* Form) {
  if (Result == BMP_OK || Result > BMP_TRUNCATED) {
    return Format("%s load gave the undocumented code %u", Form, Result);
  }
  if (P.Loaded || !P.FileName.empty() || P.ImageWidth != 0 || P.ImageHeight != 0 || P.PictureAdr != nullptr) {
    return Format("%s load failed with %u but changed the record", Form, Result);
  }
  return "";
}

// A loaded picture comes from a file the loader takes, has the size the limits ask for and
// holds the file's pixels sampled as the loader documents.
std::string CheckLoaded(const std::string& Path, const uint8_t* D, size_t N, const TPicture& P, int64_t MaxW,
                        int64_t MaxH, const char* Form) {
  if (!P.Loaded || P.PictureAdr == nullptr || P.ImageWidth == 0 || P.ImageHeight == 0 ||
      uint64_t(P.ImageWidth) * P.ImageHeight * 4 > MAX_SIZE) {
    return Format("%s load stored an unsound picture of %u x %u", Form, P.ImageWidth, P.ImageHeight);
  }
  if (P.FileName != Path.substr(0, Path.size() - 4)) return Format("%s load: FileName is not the path without its extension", Form);
  const TFileInfo F = ReadFileInfo(D, N);
  if (!F.Plain) return Format("%s load took a file that is not an uncompressed 8- or 24-bit bitmap", Form);
  int64_t ImW, ImH;
  StoredSize(F, std::max<int64_t>(MaxW, 0), std::max<int64_t>(MaxH, 0), ImW, ImH);
  if (P.ImageWidth != ImW || P.ImageHeight != ImH) {
    return Format("%s load of %llu x %llu with limits %lld x %lld stored %u x %u, not %lld x %lld", Form,
                  (unsigned long long)F.W, (unsigned long long)F.H, (long long)MaxW, (long long)MaxH,
                  P.ImageWidth, P.ImageHeight, (long long)ImW, (long long)ImH);
  }
  static std::vector<int64_t> Cols;
  Cols.resize(size_t(ImW));
  for (int64_t X = 0; X < ImW; ++X) Cols[size_t(X)] = std::min<int64_t>(RoundedScale(int64_t(F.W), ImW, X), int64_t(F.W) - 1);
  for (int64_t Y = 0; Y < ImH; ++Y) {
    const int64_t Row = std::min<int64_t>(RoundedScale(int64_t(F.H), ImH, Y), int64_t(F.H) - 1);
    const uint64_t RowStart = F.DataStart + uint64_t(Row) * F.Stride;
    if (RowStart + F.W * F.Bits / 8 > N) {
      return Format("%s load succeeded although file row %lld is missing", Form, (long long)Row);
    }
    const uint8_t* Stored = P.PictureAdr + uint64_t(ImH - 1 - Y) * ImW * 4;
    for (int64_t X = 0; X < ImW; ++X) {
      const int64_t Col = Cols[size_t(X)];
      uint8_t Want[4] = {0, 0, 0, 0};
      if (F.Bits == 24) {
        std::memcpy(Want, D + RowStart + 3 * uint64_t(Col), 3);
      } else if (const uint8_t Index = D[RowStart + uint64_t(Col)]; Index < F.PaletteCount) {
        std::memcpy(Want, D + F.PaletteStart + F.EntrySize * size_t(Index), 3);
      }
      if (std::memcmp(Stored + X * 4, Want, 4) != 0) {
        return Format("%s load: stored pixel (%lld, %lld) is not file row %lld column %lld", Form, (long long)X,
                      (long long)(ImH - 1 - Y), (long long)Row, (long long)Col);
      }
    }
  }
  return "";
}

// Draws P as the prefix says and compares the clipped rectangle with a reference (every
// row, or an even sample of rows for large rectangles) and the rest of the screen with
// what it was.
std::string CheckShow(const TPicture& P, const TPrefix& Pre, const char* Form) {
  static std::vector<uint8_t> Before;
  const auto Clamp = [](int64_t V) { return int32_t(std::clamp<int64_t>(V, INT32_MIN, INT32_MAX)); };
  SetViewPort(Clamp(Pre.ViewPort.X1), Clamp(Pre.ViewPort.Y1), Clamp(Pre.ViewPort.X2), Clamp(Pre.ViewPort.Y2));
  TakeSnapshot(Before);
  ShowAlphaScaleBMPPicture(Pre.X, Pre.Y, P, Pre.Width, Pre.Height, Pre.Alpha, Pre.Transparent, Pre.Key);
  TRect Clip = Intersect(ViewPortRect(), {Pre.X, Pre.Y, int64_t(Pre.X) + Pre.Width - 1, int64_t(Pre.Y) + Pre.Height - 1});
  if (!P.Loaded) Clip = EMPTY_RECT;
  const std::string Outside = ChangedOutside(Before, Clip);
  if (!Outside.empty()) return Format("%s picture drawn outside its clipped rectangle: %s", Form, Outside.c_str());
  if (IsEmpty(Clip)) return "";
  const uint64_t Area = uint64_t(Clip.X2 - Clip.X1 + 1) * uint64_t(Clip.Y2 - Clip.Y1 + 1);
  const int64_t RowStep = int64_t(Area / 65536 + 1);
  int64_t SourceColumn[SCREEN_WIDTH];
  for (int64_t X = Clip.X1; X <= Clip.X2; ++X) {
    SourceColumn[X] = RoundedScale(X - Pre.X + 1, Pre.Width, int64_t(P.ImageWidth) - 1);
  }
  for (int64_t Y = Clip.Y1; Y <= Clip.Y2; Y += RowStep) {
    const int64_t B = RoundedScale(Y - Pre.Y + 1, Pre.Height, int64_t(P.ImageHeight) - 1);
    for (int64_t X = Clip.X1; X <= Clip.X2; ++X) {
      const int64_t A = SourceColumn[X];
      const uint8_t* Src = P.PictureAdr + (uint64_t(P.ImageWidth) * uint64_t(B) + uint64_t(A)) * 4;
      const size_t At = size_t(Y * SCREEN_WIDTH + X) * 4;
      const uint8_t* Old = Before.data() + At;
      const uint8_t* Got = VirtualScreen + At;
      const bool Skip = Pre.Transparent && Src[0] == Pre.Key.B && Src[1] == Pre.Key.G && Src[2] == Pre.Key.R;
      uint8_t Want[4] = {Old[0], Old[1], Old[2], Old[3]};
      if (!Skip) {
        for (int C = 0; C < 3; ++C) Want[C] = Pre.Alpha == 0 ? Src[C] : ReferenceBlend(Old[C], Src[C], Pre.Alpha);
      }
      if (std::memcmp(Got, Want, 4) != 0) {
        return Format("%s picture at (%d, %d) size %u x %u transparency %u: pixel (%lld, %lld) is %u,%u,%u,%u, "
                      "expected %u,%u,%u,%u from screen %u,%u,%u and source column %lld row %lld = %u,%u,%u",
                      Form, Pre.X, Pre.Y, Pre.Width, Pre.Height, Pre.Alpha, (long long)X, (long long)Y, Got[0],
                      Got[1], Got[2], Got[3], Want[0], Want[1], Want[2], Want[3], Old[0], Old[1], Old[2],
                      (long long)A, (long long)B, Src[0], Src[1], Src[2]);
      }
    }
  }
  return "";
}

std::string CheckFreed(TPicture& P, uint32_t W, uint32_t H, const char* Form) {
  FreeBMPPicture(P);
  FreeBMPPicture(P);  // a second release does nothing
  if (P.Loaded) return Format("%s picture still loaded after FreeBMPPicture", Form);
  if (P.ImageWidth != W || P.ImageHeight != H) return Format("%s picture lost its size in FreeBMPPicture", Form);
  return "";
}

}  // namespace

std::string FuzzBmp(const uint8_t* Data, size_t Size) {
  EnsureDisplay();
  uint8_t Raw[BMP_PREFIX_SIZE] = {};
  std::memcpy(Raw, Data, std::min(Size, BMP_PREFIX_SIZE));
  const TPrefix Pre = ReadPrefix(Raw);
  const uint8_t* File = Data + std::min(Size, BMP_PREFIX_SIZE);
  const size_t FileSize = Size - std::min(Size, BMP_PREFIX_SIZE);
  SetAvailMemory(Pre.AvailMemory);
  const std::string Path = WriteScratch(File, FileSize, ".bmp");

  struct TLoad {
    const char* Form;
    int64_t MaxW, MaxH;
    TPicture Picture{};
    uint8_t Result = 0xEE;
  };
  TLoad Loads[2] = {{"three-argument", INT32_MAX, INT32_MAX}, {"five-argument", Pre.MaxWidth, Pre.MaxHeight}};
  LoadBMPPicture(Path, Loads[0].Picture, Loads[0].Result);
  LoadBMPPicture(Path, Loads[1].Picture, Pre.MaxWidth, Pre.MaxHeight, Loads[1].Result);

  std::string Error;
  for (TLoad& L : Loads) {
    if (!Error.empty()) break;
    if (L.Result != 0) {
      Error = CheckRefused(L.Picture, L.Result, L.Form);
    } else {
      Error = CheckLoaded(Path, File, FileSize, L.Picture, L.MaxW, L.MaxH, L.Form);
      if (Error.empty()) Error = CheckShow(L.Picture, Pre, L.Form);
    }
  }
  if (Error.empty() && Loads[0].Result == BMP_OK) {
    // Loading into a loaded record: the five-argument result again; on failure the record
    // keeps its picture.
    TPicture& P = Loads[0].Picture;
    const TPicture Before = P;
    uint8_t Result = 0xEE;
    LoadBMPPicture(Path, P, Pre.MaxWidth, Pre.MaxHeight, Result);
    if (Result != Loads[1].Result) {
      Error = Format("reloading into a loaded record gave %u, the first load %u", Result, Loads[1].Result);
    } else if (Result == BMP_OK && (P.ImageWidth != Loads[1].Picture.ImageWidth ||
                                    P.ImageHeight != Loads[1].Picture.ImageHeight)) {
      Error = "reloading into a loaded record stored another size";
    } else if (Result != BMP_OK && (!P.Loaded || P.PictureAdr != Before.PictureAdr)) {
      Error = "a failed reload changed the loaded record";
    }
  }
  for (TLoad& L : Loads) {
    const std::string Freed = CheckFreed(L.Picture, L.Picture.ImageWidth, L.Picture.ImageHeight, L.Form);
    if (Error.empty()) Error = Freed;
  }
  SetViewPort(0, 0, SCREEN_WIDTH - 1, SCREEN_HEIGHT - 1);
  return Error;
}

}  // namespace lumorafuzz
