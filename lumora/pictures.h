// lumora pictures: .bmp loading and scaled, blended picture display.
// Included by lumora.h; relies on the display core (blend, GetAvailRAMMemory).
#pragma once

#include <cstdint>
#include <string>

#include "lumora/display.h"

namespace lumora {

// A loaded picture: ImageWidth x ImageHeight pixels of 4 bytes (blue, green, red, unused),
// rows top to bottom.
struct TPicture {
  std::string FileName;
  bool Loaded;
  uint32_t ImageWidth;
  uint32_t ImageHeight;
  PDataElement PictureAdr;
};

void LoadBMPPicture(const std::string& PictureName, TPicture& Picture, int32_t MaxWidth,
                    int32_t MaxHeight, uint8_t& Result_);
void LoadBMPPicture(const std::string& PictureName, TPicture& Picture, uint8_t& Result_);
void FreeBMPPicture(TPicture& Picture);
void ShowAlphaScaleBMPPicture(int32_t X, int32_t Y, const TPicture& Picture, uint32_t Width,
                              uint32_t Height, uint8_t Alpha, bool Transparent,
                              TColor TransparentColor);

}  // namespace lumora
