// lumora files: opening and reading the files of the font and picture loaders.
// Private to the library.
#pragma once

#include <sys/stat.h>

// MSVC's <sys/stat.h> has the mode bits but not the POSIX tests on them.
#if defined(_MSC_VER) && !defined(S_ISREG)
#define S_ISREG(Mode) (((Mode) & _S_IFMT) == _S_IFREG)
#define S_ISDIR(Mode) (((Mode) & _S_IFMT) == _S_IFDIR)
#endif

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace lumora::detail {

struct TFileCloser {
  void operator()(std::FILE* F) const { std::fclose(F); }
};
using TFile = std::unique_ptr<std::FILE, TFileCloser>;

// Opens Name for reading as the system names files: its first 255 characters, '\' read as
// '/'. Names holding a zero byte and directories cannot be opened. Info receives the file's
// status.
TFile OpenForReading(const std::string& Name, struct stat& Info);

// Reads a file once from its start to its end, counting its position. The loaders read
// through it alone, so they take named pipes and other streams as well as regular files.
// A regular file skips by seeking forward; any other stream reads the bytes and drops them.
class TReader {
 public:
  TReader(std::FILE* File, const struct stat& Info) : File(File), CanSeek(S_ISREG(Info.st_mode)) {}

  // Reads Count bytes into Dst; false when the file ends first (Dst then holds what there
  // was).
  bool Read(void* Dst, size_t Count);
  // Moves forward by Count bytes. Skipping past the end of a regular file succeeds; the
  // next read then fails.
  bool Skip(uint64_t Count);
  // Moves forward to Target; false when the reader is already past it.
  bool SkipTo(uint64_t Target) { return Target >= Pos && Skip(Target - Pos); }
  // Bytes read or skipped so far.
  uint64_t Position() const { return Pos; }

 private:
  std::FILE* File;
  bool CanSeek;
  uint64_t Pos = 0;
};

}  // namespace lumora::detail
