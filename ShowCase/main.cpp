// lumorashowcase: plays the presentation in its window; Escape stops it.
// Relies on the showcase driver; Fonts/ and Pictures/ are read from the current directory,
// or from the program's own folder when the current directory holds neither.
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "ShowCase/showcase.h"

int main(int argc, char** argv) {
  for (int I = 1; I < argc; ++I) {
    if (std::strcmp(argv[I], "--help") == 0 || std::strcmp(argv[I], "-h") == 0) {
      std::printf(
          "Usage: lumorashowcase\n"
          "Plays the lumora showcase full screen: introduction, primitives, fonts, pictures\n"
          "and outro, about 95 seconds. Escape stops it. Fonts/ and Pictures/ are read from\n"
          "the current directory, or from the program's folder when the current directory\n"
          "holds neither. It needs a display; to record the presentation without one, use\n"
          "lumora-record. Exit status: 0 played, 1 no window could be shown, 2 bad arguments.\n");
      return 0;
    }
    std::fprintf(stderr, "lumorashowcase: unknown argument '%s' (try --help)\n", argv[I]);
    return 2;
  }

  std::vector<std::string> LookedIn;
  const std::string Folder = showcase::AssetFolder(LookedIn);
  std::error_code Ec;
  if (!Folder.empty()) std::filesystem::current_path(Folder, Ec);
  std::string Where = LookedIn.empty() ? "." : LookedIn[0];
  for (size_t I = 1; I < LookedIn.size(); ++I) Where += " or " + LookedIn[I];
  if (Folder.empty())
    std::fprintf(stderr, "lumorashowcase: no Fonts/ or Pictures/ folder in %s\n", Where.c_str());

  showcase::OpenShowcase();
  for (const std::string& File : showcase::MissingAssets())
    std::fprintf(stderr, "lumorashowcase: cannot load %s (looked in %s)\n", File.c_str(),
                 Folder.empty() ? Where.c_str() : Folder.c_str());
  if (!lumora::WindowShown()) {
    showcase::CloseShowcase();
    std::fprintf(stderr,
                 "lumorashowcase: no window can be shown here (no display, or a build without "
                 "a window system); to record the presentation instead, run lumora-record "
#ifdef _WIN32
                 "--no-video --frames frames (the Windows build writes PNG frames, no video)\n");
#else
                 "--output showcase.mp4\n");
#endif
    return 1;
  }
  showcase::PlayShowcase();
  showcase::CloseShowcase();
  return 0;
}
