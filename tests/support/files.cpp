// Test kit: test files and temporary directories.
#include "support/files.h"

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
  std::string Pattern = (std::filesystem::temp_directory_path() / "lumora-test-XXXXXX").string();
  if (mkdtemp(Pattern.data()) == nullptr) throw std::runtime_error("cannot make " + Pattern);
  Path = Pattern;
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
