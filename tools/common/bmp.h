// Tools: writing a 1024 x 768 (or any size) 32-bit pixel buffer as a 24-bit .bmp file.
// Relies on the library's .bmp layout.
#pragma once

#include <cstdint>
#include <string>

namespace tools {

// Writes Width x Height pixels of 4 bytes each (blue, green, red, ignored), rows top to
// bottom, as an uncompressed 24-bit BMP (rows stored bottom-up, padded to 4 bytes).
// Returns false when the file cannot be written, removing what it wrote of a regular file
// (a device or pipe named by Path is left alone).
bool WriteBmp24(const std::string& Path, const uint8_t* Bgrx, int32_t Width, int32_t Height);

// The same, with a one-line reason in Error on failure ("cannot write PATH: " and the
// system's explanation, or what is wrong with the picture).
bool WriteBmp24(const std::string& Path, const uint8_t* Bgrx, int32_t Width, int32_t Height,
                std::string& Error);

}  // namespace tools
