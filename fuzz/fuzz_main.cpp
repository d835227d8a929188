// lumora libFuzzer entry point: runs one input through the body named by LUMORA_FUZZ_BODY
// and turns a broken promise into a crash that libFuzzer records. Relies on fuzz_bodies.h.
#include <cstdio>
#include <cstdlib>

#include "fuzz/fuzz_bodies.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::string Error = lumorafuzz::LUMORA_FUZZ_BODY(Data, Size);
  if (!Error.empty()) {
    std::fprintf(stderr, "lumora fuzz finding: %s\n", Error.c_str());
    std::abort();
  }
  return 0;
}
