// PNG writer for the tools: filtered RGB rows deflated into one IDAT chunk.
// Relies on zlib (deflate, crc32) and the C standard I/O library.
#include "tools/common/png_write.h"

#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "lumora/internal/win32.h"

namespace tools {
namespace {

constexpr uint8_t PNG_SIGNATURE[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr uint32_t PNG_MAX_DIMENSION = 0x7FFFFFFF;
constexpr uint8_t COLOUR_TYPE_RGB = 2;
constexpr int FILTER_COUNT = 5;  // none, sub, up, average, Paeth

void PutBig32(std::string& Out, uint32_t V) {
  const char B[4] = {char(V >> 24), char(V >> 16), char(V >> 8), char(V)};
  Out.append(B, 4);
}

void PutChunk(std::string& Out, const char Type[4], const std::string& Data) {
  PutBig32(Out, uint32_t(Data.size()));
  const size_t TypeAt = Out.size();
  Out.append(Type, 4);
  Out += Data;
  const auto* Bytes = reinterpret_cast<const Bytef*>(Out.data() + TypeAt);
  PutBig32(Out, uint32_t(crc32(crc32(0L, Z_NULL, 0), Bytes, uInt(Data.size() + 4))));
}

uint8_t Paeth(int A, int B, int C) {
  const int P = A + B - C;
  const int PA = std::abs(P - A), PB = std::abs(P - B), PC = std::abs(P - C);
  if (PA <= PB && PA <= PC) return uint8_t(A);
  return uint8_t(PB <= PC ? B : C);
}

// Filters Row (RGB bytes) against the row above with filter type Type into Out (without
// the leading type byte). The first pixel has no left neighbour: A and C count as 0.
void FilterRow(int Type, const uint8_t* Row, const uint8_t* Above, size_t Len, uint8_t* Out) {
  const size_t First = Len < 3 ? Len : 3;
  switch (Type) {
    case 0:
      std::memcpy(Out, Row, Len);
      break;
    case 1:
      std::memcpy(Out, Row, First);
      for (size_t I = 3; I < Len; ++I) Out[I] = uint8_t(Row[I] - Row[I - 3]);
      break;
    case 2:
      for (size_t I = 0; I < Len; ++I) Out[I] = uint8_t(Row[I] - Above[I]);
      break;
    case 3:
      for (size_t I = 0; I < First; ++I) Out[I] = uint8_t(Row[I] - Above[I] / 2);
      for (size_t I = 3; I < Len; ++I) Out[I] = uint8_t(Row[I] - (Row[I - 3] + Above[I]) / 2);
      break;
    default:
      for (size_t I = 0; I < First; ++I) Out[I] = uint8_t(Row[I] - Above[I]);
      for (size_t I = 3; I < Len; ++I)
        Out[I] = uint8_t(Row[I] - Paeth(Row[I - 3], Above[I], Above[I - 3]));
      break;
  }
}

// The usual heuristic: the filter whose output, read as signed bytes, has the smallest sum
// of magnitudes usually deflates best.
uint64_t FilterCost(const uint8_t* Filtered, size_t Len) {
  uint64_t Sum = 0;
  for (size_t I = 0; I < Len; ++I) {
    const int V = Filtered[I];
    Sum += uint64_t(V < 128 ? V : 256 - V);
  }
  return Sum;
}

bool Deflate(z_stream& Z, const uint8_t* In, size_t Len, int Flush, std::string& Out) {
  Z.next_in = const_cast<Bytef*>(In);
  Z.avail_in = uInt(Len);
  uint8_t Buffer[65536];
  int Rc = Z_OK;
  do {
    Z.next_out = Buffer;
    Z.avail_out = sizeof Buffer;
    Rc = deflate(&Z, Flush);
    if (Rc == Z_STREAM_ERROR) return false;
    Out.append(reinterpret_cast<const char*>(Buffer), sizeof Buffer - Z.avail_out);
  } while (Z.avail_out == 0);
  return Z.avail_in == 0 && (Flush != Z_FINISH || Rc == Z_STREAM_END);
}

}  // namespace

bool EncodePng(const uint8_t* Pixels, uint32_t Width, uint32_t Height, uint32_t Stride,
               std::string& Png, std::string& Error) {
  if (Pixels == nullptr || Width == 0 || Height == 0) {
    Error = "empty picture";
    return false;
  }
  // A row, filter byte included, must fit one zlib input length.
  if (uint64_t(Width) * 3 + 1 > PNG_MAX_DIMENSION || Height > PNG_MAX_DIMENSION ||
      uint64_t(Width) * 4 > Stride) {
    Error = "picture size out of range";
    return false;
  }
  const size_t RowLen = size_t(Width) * 3;
  std::vector<uint8_t> Rgb(RowLen), Above(RowLen, 0), Filtered(RowLen * FILTER_COUNT);

  z_stream Z{};
  if (deflateInit(&Z, Z_DEFAULT_COMPRESSION) != Z_OK) {
    Error = "zlib could not start";
    return false;
  }
  std::string Idat;
  bool Ok = true;
  for (uint32_t Y = 0; Y < Height && Ok; ++Y) {
    const uint8_t* Src = Pixels + size_t(Y) * Stride;
    for (uint32_t X = 0; X < Width; ++X) {
      Rgb[size_t(X) * 3 + 0] = Src[size_t(X) * 4 + 2];
      Rgb[size_t(X) * 3 + 1] = Src[size_t(X) * 4 + 1];
      Rgb[size_t(X) * 3 + 2] = Src[size_t(X) * 4 + 0];
    }
    int Best = 0;
    uint64_t BestCost = UINT64_MAX;
    for (int Type = 0; Type < FILTER_COUNT; ++Type) {
      uint8_t* Out = Filtered.data() + RowLen * size_t(Type);
      FilterRow(Type, Rgb.data(), Above.data(), RowLen, Out);
      const uint64_t Cost = FilterCost(Out, RowLen);
      if (Cost < BestCost) {
        Best = Type;
        BestCost = Cost;
      }
    }
    const uint8_t TypeByte = uint8_t(Best);
    Ok = Deflate(Z, &TypeByte, 1, Z_NO_FLUSH, Idat) &&
         Deflate(Z, Filtered.data() + RowLen * size_t(Best), RowLen, Z_NO_FLUSH, Idat);
    Above.swap(Rgb);
  }
  Ok = Ok && Deflate(Z, nullptr, 0, Z_FINISH, Idat);
  deflateEnd(&Z);
  if (!Ok) {
    Error = "zlib failed to compress";
    return false;
  }

  std::string Header;
  PutBig32(Header, Width);
  PutBig32(Header, Height);
  Header += char(8);                // bits per channel
  Header += char(COLOUR_TYPE_RGB);  // colour type
  Header.append(3, '\0');           // deflate, adaptive filtering, no interlace
  Png.assign(reinterpret_cast<const char*>(PNG_SIGNATURE), sizeof PNG_SIGNATURE);
  PutChunk(Png, "IHDR", Header);
  PutChunk(Png, "IDAT", Idat);
  PutChunk(Png, "IEND", std::string());
  return true;
}

bool WritePng(const std::string& Path, const uint8_t* Pixels, uint32_t Width, uint32_t Height,
              uint32_t Stride, std::string& Error) {
  std::string Png;
  if (!EncodePng(Pixels, Width, Height, Stride, Png, Error)) return false;
  // Written beside the target and renamed over it, so a failed write never destroys an
  // earlier file of that name.
  const std::string Part = Path + ".part";
  std::FILE* F = std::fopen(Part.c_str(), "wb");
  if (F == nullptr) {
    Error = "cannot write " + Path + ": " + std::strerror(errno);
    return false;
  }
  const bool Written = std::fwrite(Png.data(), 1, Png.size(), F) == Png.size();
  const int WriteErrno = errno;
  const bool Closed = std::fclose(F) == 0;
  if (!Written || !Closed) {
    Error = "cannot write " + Path + ": " + std::strerror(Written ? errno : WriteErrno);
    std::remove(Part.c_str());
    return false;
  }
#ifdef _WIN32
  // The C library's rename refuses to replace a file on Windows.
  if (!MoveFileExA(Part.c_str(), Path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    Error = "cannot write " + Path + ": cannot replace it (system error " +
            std::to_string(GetLastError()) + ")";
    std::remove(Part.c_str());
    return false;
  }
#else
  if (std::rename(Part.c_str(), Path.c_str()) != 0) {
    Error = "cannot write " + Path + ": " + std::strerror(errno);
    std::remove(Part.c_str());
    return false;
  }
#endif
  return true;
}

}  // namespace tools
