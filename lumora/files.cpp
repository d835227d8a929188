// lumora files: opening the files the font and picture loaders read, and reading them
// forward. Relies on the C library's stdio and POSIX fstat.
#include "lumora/internal/files.h"

#include <algorithm>

namespace lumora::detail {

namespace {
constexpr size_t NAME_LIMIT = 255;
}

TFile OpenForReading(const std::string& Name, struct stat& Info) {
  std::string Path = Name.substr(0, NAME_LIMIT);
  if (Path.find('\0') != std::string::npos) return nullptr;
  std::replace(Path.begin(), Path.end(), '\\', '/');
  // Opening a named pipe waits for its writer, as reading one does.
  TFile File(std::fopen(Path.c_str(), "rb"));
  if (!File) return nullptr;
  if (fstat(fileno(File.get()), &Info) != 0 || S_ISDIR(Info.st_mode)) return nullptr;
  return File;
}

bool TReader::Read(void* Dst, size_t Count) {
  if (Count == 0) return true;
  const size_t Got = std::fread(Dst, 1, Count, File);
  Pos += Got;
  return Got == Count;
}

bool TReader::Skip(uint64_t Count) {
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

}  // namespace lumora::detail
