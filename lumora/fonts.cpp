// lumora fonts: TFont, LoadedFonts, LoadFNTFont, FreeFNTFont, WriteText, GetTextLength.
// Relies on Pixel and GetAvailRAMMemory of the display core.
#include "lumora/blend.h"
#include "lumora/lumora.h"

namespace lumora {

std::vector<PFont> LoadedFonts;

void LoadFNTFont(const std::string&, TFont&, uint8_t& Result_) { Result_ = 1; }
void FreeFNTFont(TFont&) {}
void WriteText(int32_t, int32_t, const TFont&, const std::string&) {}
uint32_t GetTextLength(const TFont&, const std::string&) { return 0; }

}  // namespace lumora
