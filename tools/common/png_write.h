// PNG writer for the tools: 24-bit RGB pictures from blue-green-red-X pixel rows.
// Relies on zlib for deflate and the CRC.
#pragma once

#include <cstdint>
#include <string>

namespace tools {

// Writes a Width x Height picture to Path as an 8-bit RGB PNG. Pixels holds Height rows of
// Stride bytes, each pixel 4 bytes (blue, green, red, ignored), rows top to bottom, like the
// lumora back buffer. On failure returns false with a one-line reason in Error and leaves no
// partial file behind.
bool WritePng(const std::string& Path, const uint8_t* Pixels, uint32_t Width, uint32_t Height,
              uint32_t Stride, std::string& Error);

// The same, into memory: the complete PNG file bytes. Returns false with Error on failure.
bool EncodePng(const uint8_t* Pixels, uint32_t Width, uint32_t Height, uint32_t Stride,
               std::string& Png, std::string& Error);

}  // namespace tools
