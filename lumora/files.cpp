// lumora files: opening the files the font and picture loaders read.
// Relies on the C library's fopen and POSIX fstat.
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
  // Opening a pipe waits for its writer, as reading one does: the loaders read named pipes
  // and other streams as well as files.
  TFile File(std::fopen(Path.c_str(), "rb"));
  if (!File) return nullptr;
  if (fstat(fileno(File.get()), &Info) != 0 || S_ISDIR(Info.st_mode)) return nullptr;
  return File;
}

}  // namespace lumora::detail
