// Frame hashes: the XXH3-128 hash of a presented back buffer, and the hash-list file that
// records a run frame by frame (one line per frame: index, part, step, hash).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tools {

// The XXH3-128 hash of Size bytes as 32 lower-case hex digits, high half first.
std::string FrameHash(const uint8_t* Bytes, size_t Size);

// One line of a hash list. Part is "start", a scene name or "fade"; Step is the scene's
// animation step, the fade's pass (1..25), or 0 for the first frame.
struct THashLine {
  uint64_t Index = 0;
  std::string Part;
  int32_t Step = 0;
  std::string Hash;
};

std::string FormatHashLine(const THashLine& Line);
// Reads a hash list; lines starting with '#' are comments. False, with a message naming the
// line, when a line is malformed or the file cannot be read.
bool ReadHashList(const std::string& Path, std::vector<THashLine>& Lines, std::string& Error);

// Compares a run with its reference. Empty when they agree; otherwise one line naming the
// first frame that differs (its index, part and step) or the difference in frame count.
std::string CompareHashLists(const std::vector<THashLine>& Expected,
                             const std::vector<THashLine>& Actual);

}  // namespace tools
