// Test support: a headless display opened for each test, and pixel access helpers.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "lumora/lumora.h"

namespace testsupport {

// Opens the display on the headless platform before each test and closes it after.
class HeadlessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    lumora::UseHeadlessPlatform();
    lumora::InitLumora("lumora test");
  }
  void TearDown() override { lumora::CloseLumora(); }
};

inline uint8_t* PixelAt(int32_t X, int32_t Y) {
  return lumora::VirtualScreen + (size_t(Y) * lumora::SCREEN_WIDTH + size_t(X)) * 4;
}

// Blue, green, red and fourth byte of (X, Y).
inline std::array<uint8_t, 4> Bytes(int32_t X, int32_t Y) {
  const uint8_t* P = PixelAt(X, Y);
  return {P[0], P[1], P[2], P[3]};
}

inline std::vector<uint8_t> Snapshot() {
  return std::vector<uint8_t>(lumora::VirtualScreen, lumora::VirtualScreen + lumora::SCREEN_BYTES);
}

// Fills every byte of the screen (fourth bytes included) with a pattern that depends on
// the position, so blends and untouched bytes are told apart.
inline void FillPattern(uint32_t Seed = 1) {
  uint32_t S = Seed * 2654435761u + 12345u;
  for (uint32_t I = 0; I < lumora::SCREEN_BYTES; ++I) {
    S = S * 1103515245u + 12345u;
    lumora::VirtualScreen[I] = uint8_t(S >> 16);
  }
}

}  // namespace testsupport
