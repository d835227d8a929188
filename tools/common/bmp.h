// Tools: writing a 1024 x 768 (or any size) 32-bit pixel buffer as a 24-bit .bmp file.
// Relies on the library's .bmp layout.
#pragma once

#include <cstdint>
#include <string>

namespace tools {

// Writes Width x Height pixels of 4 bytes each (blue, green, red, ignored), rows top to
// bottom, as an uncompressed 24-bit BMP (rows stored bottom-up, padded to 4 bytes).
// Returns false, with nothing left behind, when the file cannot be written.
bool WriteBmp24(const std::string& Path, const uint8_t* Bgrx, int32_t Width, int32_t Height);

}  // namespace tools
