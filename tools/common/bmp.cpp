// Tools: the 24-bit BMP writer shared by the tools.
// Relies on the library's .bmp layout and little-endian writers and on C stdio.
#include "tools/common/bmp.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "lumora/internal/bmp_layout.h"
#include "lumora/internal/bytes.h"

namespace tools {

namespace {
namespace bmp = lumora::bmp;
using lumora::bytes::Put16;
using lumora::bytes::Put32;
constexpr uint32_t PIXELS_PER_METRE = 3780;  // 96 dpi
}  // namespace

bool WriteBmp24(const std::string& Path, const uint8_t* Bgrx, int32_t Width, int32_t Height) {
  std::string Error;
  return WriteBmp24(Path, Bgrx, Width, Height, Error);
}

bool WriteBmp24(const std::string& Path, const uint8_t* Bgrx, int32_t Width, int32_t Height,
                std::string& Error) {
  if (Width <= 0 || Height <= 0 || Bgrx == nullptr) {
    Error = "cannot write " + Path + ": empty picture";
    return false;
  }
  const uint64_t RowBytes = bmp::RowStride(uint64_t(Width), 24);
  const uint64_t DataBytes = RowBytes * uint64_t(Height);
  const uint64_t FileBytes = bmp::HEADERS_SIZE + DataBytes;
  if (FileBytes > UINT32_MAX) {
    Error = "cannot write " + Path + ": a BMP file holds at most 4 GiB";
    return false;
  }

  std::vector<uint8_t> File(size_t(FileBytes), 0);
  File[bmp::OFS_SIGNATURE] = 'B';
  File[bmp::OFS_SIGNATURE + 1] = 'M';
  Put32(File, bmp::OFS_FILE_SIZE, uint32_t(FileBytes));
  Put32(File, bmp::OFS_DATA_OFFSET, bmp::HEADERS_SIZE);
  Put32(File, bmp::OFS_INFO_SIZE, bmp::INFO_HEADER_SIZE);
  Put32(File, bmp::OFS_WIDTH, uint32_t(Width));
  Put32(File, bmp::OFS_HEIGHT, uint32_t(Height));  // positive: bottom-up rows
  Put16(File, bmp::OFS_PLANES, 1);
  Put16(File, bmp::OFS_BITS_PER_PIXEL, 24);
  Put32(File, bmp::OFS_IMAGE_SIZE, uint32_t(DataBytes));
  Put32(File, bmp::OFS_X_PELS_PER_METRE, PIXELS_PER_METRE);
  Put32(File, bmp::OFS_Y_PELS_PER_METRE, PIXELS_PER_METRE);
  for (int64_t Y = 0; Y < Height; ++Y) {
    const uint8_t* Src = Bgrx + uint64_t(Y) * uint64_t(Width) * 4;
    uint8_t* Dst = File.data() + bmp::HEADERS_SIZE + uint64_t(Height - 1 - Y) * RowBytes;
    for (int32_t X = 0; X < Width; ++X, Src += 4, Dst += 3) {
      Dst[0] = Src[0];
      Dst[1] = Src[1];
      Dst[2] = Src[2];
    }
  }

  std::FILE* F = std::fopen(Path.c_str(), "wb");
  if (F == nullptr) {
    Error = "cannot write " + Path + ": " + std::strerror(errno);
    return false;
  }
  int Failure = 0;
  if (std::fwrite(File.data(), 1, File.size(), F) != File.size()) Failure = errno ? errno : EIO;
  if (std::fflush(F) != 0 && Failure == 0) Failure = errno;
  if (std::fclose(F) != 0 && Failure == 0) Failure = errno;
  if (Failure != 0) {
    Error = "cannot write " + Path + ": " + std::strerror(Failure);
    struct stat Info {};
    if (stat(Path.c_str(), &Info) == 0 && S_ISREG(Info.st_mode)) std::remove(Path.c_str());
    return false;
  }
  return true;
}

}  // namespace tools
