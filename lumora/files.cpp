// lumora files: opening the files the font and picture loaders read, and reading them
// forward. Relies on the C library's stdio and POSIX fstat.
#include "lumora/internal/files.h"

#include <algorithm>
#include <limits>

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
    // fseek takes a long, 32 bits on Windows and 32-bit Linux: a longer skip goes in steps
    // that each fit, so it never wraps into a backward seek.
    constexpr uint64_t MAX_STEP = uint64_t(std::numeric_limits<long>::max());
    for (uint64_t Left = Count; Left > 0;) {
      const uint64_t Step = std::min(Left, MAX_STEP);
      if (std::fseek(File, long(Step), SEEK_CUR) != 0) return false;
      Left -= Step;
    }
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
