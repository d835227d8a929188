// Test support: R(A / B x C), the quotient and the product each rounded to a 64-bit
// significand, then rounded to an integer with ties to even. On x86 the x87's long double
// computes it and is the oracle; elsewhere long double has another format (128-bit on
// aarch64 Linux, 64-bit on others), so the portable arithmetic stands in, which the x86
// runs prove equal to the x87.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

#include "lumora/internal/extended.h"

namespace testsupport {

#if (defined(__x86_64__) || defined(__i386__)) && !defined(_MSC_VER)
inline constexpr bool X87_ORACLE = true;
static_assert(std::numeric_limits<long double>::digits == 64);
inline int64_t QuotientProductRounded(int64_t A, int64_t B, int64_t C) {
  return std::llrint((long double)A / (long double)B * (long double)C);
}
#else
inline constexpr bool X87_ORACLE = false;
inline int64_t QuotientProductRounded(int64_t A, int64_t B, int64_t C) {
  using namespace lumora::ext;
  return RoundToInt(Ext(A) / Ext(B) * Ext(C));
}
#endif

}  // namespace testsupport
