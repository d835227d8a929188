// Tools: the 24-bit BMP writer shared by the tools.
// Relies on the little-endian writers of bytes.h and the standard file streams.
#include "tools/common/bmp.h"

#include <cstdio>
#include <vector>

#include "tools/common/bytes.h"

namespace tools {

namespace {
constexpr uint32_t FILE_HEADER_SIZE = 14;
constexpr uint32_t INFO_HEADER_SIZE = 40;
constexpr uint32_t PIXELS_PER_METRE = 3780;  // 96 dpi
}  // namespace

bool WriteBmp24(const std::string& Path, const uint8_t* Bgrx, int32_t Width, int32_t Height) {
  if (Width <= 0 || Height <= 0 || Bgrx == nullptr) return false;
  const uint64_t RowBytes = (uint64_t(Width) * 3 + 3) / 4 * 4;
  const uint64_t DataBytes = RowBytes * uint64_t(Height);
  const uint64_t FileBytes = FILE_HEADER_SIZE + INFO_HEADER_SIZE + DataBytes;
  if (FileBytes > UINT32_MAX) return false;

  std::vector<uint8_t> File(size_t(FileBytes), 0);
  File[0] = 'B';
  File[1] = 'M';
  PutLe32(File, 2, uint32_t(FileBytes));
  PutLe32(File, 10, FILE_HEADER_SIZE + INFO_HEADER_SIZE);
  PutLe32(File, 14, INFO_HEADER_SIZE);
  PutLe32(File, 18, uint32_t(Width));
  PutLe32(File, 22, uint32_t(Height));  // positive: bottom-up rows
  PutLe16(File, 26, 1);                 // planes
  PutLe16(File, 28, 24);                // bits per pixel
  PutLe32(File, 34, uint32_t(DataBytes));
  PutLe32(File, 38, PIXELS_PER_METRE);
  PutLe32(File, 42, PIXELS_PER_METRE);
  for (int64_t Y = 0; Y < Height; ++Y) {
    const uint8_t* Src = Bgrx + uint64_t(Y) * uint64_t(Width) * 4;
    uint8_t* Dst = File.data() + FILE_HEADER_SIZE + INFO_HEADER_SIZE +
                   uint64_t(Height - 1 - Y) * RowBytes;
    for (int32_t X = 0; X < Width; ++X, Src += 4, Dst += 3) {
      Dst[0] = Src[0];
      Dst[1] = Src[1];
      Dst[2] = Src[2];
    }
  }

  std::FILE* F = std::fopen(Path.c_str(), "wb");
  if (F == nullptr) return false;
  const bool Written = std::fwrite(File.data(), 1, File.size(), F) == File.size();
  const bool Closed = std::fclose(F) == 0;
  if (!Written || !Closed) {
    std::remove(Path.c_str());
    return false;
  }
  return true;
}

}  // namespace tools
