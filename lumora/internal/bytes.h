// lumora bytes: little-endian fields of the binary files the library reads and its tools,
// tests and fuzz targets write. Header only; relies on the standard library alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lumora::bytes {

// The 16- and 32-bit little-endian values at P (2 and 4 readable bytes).
inline uint16_t Read16(const uint8_t* P) { return uint16_t(P[0] | (P[1] << 8)); }
inline uint32_t Read32(const uint8_t* P) {
  return uint32_t(P[0]) | (uint32_t(P[1]) << 8) | (uint32_t(P[2]) << 16) | (uint32_t(P[3]) << 24);
}

// The same at offset At of Size bytes, for input that may end anywhere: bytes at or past
// Size read as 0.
inline uint32_t Read16At(const uint8_t* Data, size_t Size, size_t At) {
  uint32_t V = 0;
  for (size_t I = 0; I < 2; ++I)
    if (At < Size && I < Size - At) V |= uint32_t(Data[At + I]) << (8 * I);
  return V;
}
inline uint32_t Read32At(const uint8_t* Data, size_t Size, size_t At) {
  uint32_t V = 0;
  for (size_t I = 0; I < 4; ++I)
    if (At < Size && I < Size - At) V |= uint32_t(Data[At + I]) << (8 * I);
  return V;
}

// Writes the low 16 or all 32 bits of V at offset At of B, growing B with zero bytes when
// it is shorter than At + 2 or At + 4.
inline void Put16(std::vector<uint8_t>& B, size_t At, uint32_t V) {
  if (B.size() < At + 2) B.resize(At + 2);
  B[At] = uint8_t(V);
  B[At + 1] = uint8_t(V >> 8);
}
inline void Put32(std::vector<uint8_t>& B, size_t At, uint32_t V) {
  if (B.size() < At + 4) B.resize(At + 4);
  for (size_t I = 0; I < 4; ++I) B[At + I] = uint8_t(V >> (8 * I));
}

// Appends V to B.
inline void Append16(std::vector<uint8_t>& B, uint32_t V) { Put16(B, B.size(), V); }
inline void Append32(std::vector<uint8_t>& B, uint32_t V) { Put32(B, B.size(), V); }

}  // namespace lumora::bytes
