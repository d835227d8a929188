// lumorashowcase assets: the catalogue of 15 fonts and 9 pictures, loading and release.
// Relies on the lumora font and picture loaders.
#include <filesystem>

#include "ShowCase/showcase.h"

#include "lumora/internal/win32.h"

namespace showcase {

using namespace lumora;

std::vector<TPicture> Pictures;

const char* const FontFiles[FONT_COUNT] = {
    "Fonts\\Architext_64.fnt",
    "Fonts\\Comic Sans MS_regular_26.fnt",
    "Fonts\\Consolas_36_regular.fnt",
    "Fonts\\Courier New_26_regular.fnt",
    "Fonts\\DejaVu Serif Condensed_bold italic_16.fnt",
    "Fonts\\Gabriola_28.fnt",
    "Fonts\\Gentium Basic_11.fnt",
    "Fonts\\Palatino Linotype_20_italic.fnt",
    "Fonts\\Script_20_regular.fnt",
    "Fonts\\Segoe Script_20_regular.fnt",
    "Fonts\\Segoe Script_8.fnt",
    "Fonts\\Times New Roman_12.fnt",
    "Fonts\\Wingdings_14_bold.fnt",
    "Fonts\\Palatino Linotype_16_regular.fnt",
    "Fonts\\Gentium Book Basic_22_regular.fnt",
};

const char* const PictureFiles[PICTURE_COUNT] = {
    "Pictures\\bear.bmp",
    "Pictures\\Flowers__and__Butterfly.bmp",
    "Pictures\\forest-nature-wallpaper.bmp",
    "Pictures\\Lotus.bmp",
    "Pictures\\Spirit.bmp",
    "Pictures\\StillDreaming.bmp",
    "Pictures\\detroit_skyline.bmp",
    "Pictures\\bear2.bmp",
    "Pictures\\airplane.bmp",
};

namespace {

bool HoldsAssets(const std::filesystem::path& Dir) {
  std::error_code Ec;
  return std::filesystem::is_directory(Dir / "Fonts", Ec) ||
         std::filesystem::is_directory(Dir / "Pictures", Ec);
}

// The folder of the running program, or empty when the system does not say.
std::filesystem::path ProgramFolder() {
#if defined(_WIN32)
  char Path[MAX_PATH];
  const DWORD N = GetModuleFileNameA(nullptr, Path, MAX_PATH);
  if (N == 0 || N >= MAX_PATH) return {};
  return std::filesystem::path(std::string(Path, N)).parent_path();
#else
  std::error_code Ec;
  const std::filesystem::path Exe = std::filesystem::read_symlink("/proc/self/exe", Ec);
  return Ec ? std::filesystem::path() : Exe.parent_path();
#endif
}

}  // namespace

std::string AssetFolder(std::vector<std::string>& LookedIn) {
  std::error_code Ec;
  const std::filesystem::path Here = std::filesystem::current_path(Ec);
  LookedIn.assign(1, Here.string());
  if (HoldsAssets(Here)) return Here.string();
  const std::filesystem::path Beside = ProgramFolder();
  if (!Beside.empty() && Beside != Here) {
    LookedIn.push_back(Beside.string());
    if (HoldsAssets(Beside)) return Beside.string();
  }
  return {};
}

std::vector<std::string> MissingAssets() {
  std::vector<std::string> Missing;
  for (int32_t I = 0; I < FONT_COUNT; ++I)
    if (!Font(I).Loaded) Missing.push_back(FontFiles[I]);
  for (int32_t I = 0; I < PICTURE_COUNT; ++I)
    if (size_t(I) >= Pictures.size() || !Pictures[size_t(I)].Loaded) Missing.push_back(PictureFiles[I]);
  return Missing;
}

const TFont& Font(int32_t Index) {
  // Before LoadFonts and after FreeFonts the catalogue is empty: texts are then not drawn.
  static const TFont NotLoaded{};
  if (Index < 0 || size_t(Index) >= LoadedFonts.size() || LoadedFonts[size_t(Index)] == nullptr)
    return NotLoaded;
  return *LoadedFonts[size_t(Index)];
}

// The registry's first 15 entries are set to the catalogue's records before anything
// loads, so that Font(I) is LoadedFonts[I] for every I whether or not its file loads (a
// font that fails is found, empty, and draws nothing). Each font that loads is appended to
// the registry once more by the loader.
void LoadFonts() {
  LoadedFonts.resize(FONT_COUNT);
  for (int32_t I = 0; I < FONT_COUNT; ++I) LoadedFonts[size_t(I)] = new TFont{};
  uint8_t Result = 0;  // shared by all loads and never examined: what fails is not drawn
  for (int32_t I = 0; I < FONT_COUNT; ++I) LoadFNTFont(FontFiles[I], *LoadedFonts[size_t(I)], Result);
}

void LoadPictures() {
  Pictures.assign(PICTURE_COUNT, TPicture{});
  uint8_t Result = 0;
  for (int32_t I = 0; I < PICTURE_COUNT; ++I) LoadBMPPicture(PictureFiles[I], Pictures[size_t(I)], Result);
}

void FreePictures() {
  for (TPicture& P : Pictures) FreeBMPPicture(P);
  Pictures.clear();
}

// The first 15 entries are the showcase's own records; entries from 15 on repeat the
// addresses of those that loaded, so only the first 15 are released.
void FreeFonts() {
  for (int32_t I = 0; I < FONT_COUNT && size_t(I) < LoadedFonts.size(); ++I) {
    FreeFNTFont(*LoadedFonts[size_t(I)]);
    delete LoadedFonts[size_t(I)];
  }
  LoadedFonts.clear();
}

}  // namespace showcase
