// lumora sampling: which source pixel a scaled picture shows at each screen offset.
// Private to the library; defined in pictures.cpp.
#pragma once

#include <cstdint>

namespace lumora::detail {

// The source index R((D + 1) / Size x Last) shown at offset D (0 .. Size - 1) of a picture
// drawn Size pixels wide (or high), Last being the picture's last index, with the quotient
// and the product formed in extended precision and R rounding ties to even.
int64_t SourceIndex(uint64_t D, uint32_t Size, uint32_t Last);

}  // namespace lumora::detail
