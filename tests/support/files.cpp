// Test kit: test files and temporary directories.
#include "support/files.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace testsupport {

void WriteBytes(const std::string& Path, const std::vector<uint8_t>& Bytes) {
  std::FILE* F = std::fopen(Path.c_str(), "wb");
  if (F == nullptr) throw std::runtime_error("cannot write " + Path);
  const bool Written = Bytes.empty() || std::fwrite(Bytes.data(), 1, Bytes.size(), F) == Bytes.size();
  if (std::fclose(F) != 0 || !Written) throw std::runtime_error("cannot write " + Path);
}

TTempDir::TTempDir() {
#ifdef _WIN32
  // No mkdtemp: a new name from the clock and a counter, taken when creating it succeeds.
  static uint64_t Counter = 0;
  const uint64_t Seed = uint64_t(std::chrono::steady_clock::now().time_since_epoch().count());
  for (int Try = 0; Try < 100; ++Try) {
    const std::filesystem::path Dir = std::filesystem::temp_directory_path() /
        ("lumora-test-" + std::to_string(Seed % 1000000007u) + "-" + std::to_string(++Counter));
    std::error_code Ec;
    if (std::filesystem::create_directory(Dir, Ec)) {
      Path = Dir.generic_string();
      return;
    }
  }
  throw std::runtime_error("cannot make a directory under " +
                           std::filesystem::temp_directory_path().string());
#else
  std::string Pattern = (std::filesystem::temp_directory_path() / "lumora-test-XXXXXX").string();
  if (mkdtemp(Pattern.data()) == nullptr) throw std::runtime_error("cannot make " + Pattern);
  Path = Pattern;
#endif
}

TTempDir::~TTempDir() {
  std::error_code Ignored;
  std::filesystem::remove_all(Path, Ignored);
}

std::string TTempDir::Write(const std::string& Name, const std::vector<uint8_t>& Bytes) const {
  WriteBytes(*this / Name, Bytes);
  return *this / Name;
}

}  // namespace testsupport
