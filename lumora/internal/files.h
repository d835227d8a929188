// lumora files: opening and reading the files of the font and picture loaders.
// Private to the library.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace lumora::detail {

struct TFileCloser {
  void operator()(std::FILE* F) const { std::fclose(F); }
};
using TFile = std::unique_ptr<std::FILE, TFileCloser>;

// Little-endian fields of the files.
inline uint16_t Le16(const uint8_t* P) { return uint16_t(P[0] | (P[1] << 8)); }
inline uint32_t Le32(const uint8_t* P) {
  return uint32_t(P[0]) | (uint32_t(P[1]) << 8) | (uint32_t(P[2]) << 16) | (uint32_t(P[3]) << 24);
}

// Opens Name for reading as the system names files: its first 255 characters, '\' read as
// '/'. Names holding a zero byte and directories cannot be opened. Info receives the file's
// status.
TFile OpenForReading(const std::string& Name, struct stat& Info);

}  // namespace lumora::detail
