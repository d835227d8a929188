// lumora pictures: TPicture, LoadBMPPicture, FreeBMPPicture, ShowAlphaScaleBMPPicture.
// Relies on the back buffer, the blend and GetAvailRAMMemory of the display core.
#include "lumora/blend.h"
#include "lumora/lumora.h"

namespace lumora {

void LoadBMPPicture(const std::string&, TPicture&, int32_t, int32_t, uint8_t& Result_) { Result_ = 1; }
void LoadBMPPicture(const std::string& PictureName, TPicture& Picture, uint8_t& Result_) {
  LoadBMPPicture(PictureName, Picture, 2147483647, 2147483647, Result_);
}
void FreeBMPPicture(TPicture&) {}
void ShowAlphaScaleBMPPicture(int32_t, int32_t, const TPicture&, uint32_t, uint32_t, uint8_t, bool, TColor) {}

}  // namespace lumora
