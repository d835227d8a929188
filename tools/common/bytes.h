// Tools: little-endian readers and writers for the binary files the tools produce and read.
// Relies on nothing but the standard library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tools {

inline uint16_t GetLe16(const uint8_t* P) { return uint16_t(P[0] | (P[1] << 8)); }
inline uint32_t GetLe32(const uint8_t* P) {
  return uint32_t(P[0]) | (uint32_t(P[1]) << 8) | (uint32_t(P[2]) << 16) | (uint32_t(P[3]) << 24);
}

inline void PutLe16(std::vector<uint8_t>& B, size_t At, uint32_t V) {
  B[At] = uint8_t(V);
  B[At + 1] = uint8_t(V >> 8);
}
inline void PutLe32(std::vector<uint8_t>& B, size_t At, uint32_t V) {
  for (size_t I = 0; I < 4; ++I) B[At + I] = uint8_t(V >> (8 * I));
}

}  // namespace tools
