// Test kit: writing test files, poking little-endian fields into them, and temporary
// directories that clean up after themselves.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lumora/internal/bytes.h"

namespace testsupport {

// Fields of built files are changed in place with these.
using lumora::bytes::Put16;
using lumora::bytes::Put32;

// Writes Bytes to Path, replacing what was there; throws std::runtime_error when the file
// cannot be written, so the test fails where it happens.
void WriteBytes(const std::string& Path, const std::vector<uint8_t>& Bytes);

struct TBmp;

// A fresh directory under the system's temporary directory, removed with everything in it
// at the end of its scope.
struct TTempDir {
  std::string Path;
  TTempDir();
  ~TTempDir();
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;
  std::string operator/(const std::string& Name) const { return Path + "/" + Name; }
  // Writes a file into the directory and returns its path.
  std::string Write(const std::string& Name, const std::vector<uint8_t>& Bytes) const;
  std::string Write(const std::string& Name, const TBmp& S) const;  // bmp_builder.h
};

}  // namespace testsupport
