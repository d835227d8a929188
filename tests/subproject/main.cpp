// Draws one pixel headless with an installed lumora; exits 0 when its bytes are right.
#include <lumora/lumora.h>

int main() {
  lumora::UseHeadlessPlatform();
  lumora::InitLumora("consumer");
  lumora::SetColor(1, 2, 3, 0);
  lumora::Pixel(1, 1);
  const uint8_t* P = lumora::VirtualScreen + (1024 + 1) * 4;
  const bool Ok = P[0] == 3 && P[1] == 2 && P[2] == 1;
  lumora::CloseLumora();
  return Ok ? 0 : 1;
}
