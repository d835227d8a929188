// lumorashowcase: plays the presentation in its window; Escape stops it.
// Relies on the showcase driver; Fonts/ and Pictures/ are read from the current directory.
#include <cstdio>
#include <cstring>

#include "ShowCase/showcase.h"

int main(int argc, char** argv) {
  for (int I = 1; I < argc; ++I) {
    if (std::strcmp(argv[I], "--help") == 0 || std::strcmp(argv[I], "-h") == 0) {
      std::printf(
          "Usage: lumorashowcase\n"
          "Plays the lumora showcase full screen: introduction, primitives, fonts, pictures\n"
          "and outro, about 95 seconds. Escape stops it. Run it from the folder that holds\n"
          "Fonts/ and Pictures/. It takes no options; to record the presentation without a\n"
          "display, use lumora-record.\n");
      return 0;
    }
    std::fprintf(stderr, "lumorashowcase: unknown argument '%s' (try --help)\n", argv[I]);
    return 2;
  }
  return showcase::RunShowcase();
}
