// lumora fuzz seed maker: writes the seed corpora of fuzz_fnt, fuzz_bmp and fuzz_draw.
// Relies on seeds.cpp for the built-in seeds and on std::filesystem.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "fuzz/seeds.h"

namespace fs = std::filesystem;
using namespace lumorafuzz;

namespace {

void Usage(FILE* To) {
  std::fprintf(To,
               "usage: fuzz_make_seeds OUTDIR [--fnt FILE]... [--bmp FILE]...\n"
               "Writes the seed corpora OUTDIR/fuzz_fnt, OUTDIR/fuzz_bmp and OUTDIR/fuzz_draw:\n"
               "fonts, pictures and drawing sequences built in code, plus the given .fnt files\n"
               "as they are and the given .bmp files behind two fuzz_bmp prefixes (drawn at\n"
               "their own size; reduced, scaled and translucent). Existing files are replaced.\n");
}

bool Write(const fs::path& Path, const TBytes& Bytes) {
  std::ofstream Out(Path, std::ios::binary | std::ios::trunc);
  Out.write(reinterpret_cast<const char*>(Bytes.data()), std::streamsize(Bytes.size()));
  if (!Out) std::fprintf(stderr, "fuzz_make_seeds: cannot write %s\n", Path.c_str());
  return bool(Out);
}

bool Read(const fs::path& Path, TBytes& Bytes) {
  std::ifstream In(Path, std::ios::binary);
  if (!In) {
    std::fprintf(stderr, "fuzz_make_seeds: cannot read %s\n", Path.c_str());
    return false;
  }
  Bytes.assign(std::istreambuf_iterator<char>(In), {});
  return true;
}

}  // namespace

int main(int Argc, char** Argv) {
  if (Argc < 2 || std::strcmp(Argv[1], "--help") == 0 || std::strcmp(Argv[1], "-h") == 0) {
    Usage(Argc < 2 ? stderr : stdout);
    return Argc < 2 ? 2 : 0;
  }
  const fs::path Out = Argv[1];
  std::vector<TSeed> Fnt = FntSeeds(), Bmp = BmpSeeds(), Draw = DrawSeeds();
  for (int I = 2; I < Argc; ++I) {
    const bool IsFnt = std::strcmp(Argv[I], "--fnt") == 0, IsBmp = std::strcmp(Argv[I], "--bmp") == 0;
    if ((!IsFnt && !IsBmp) || I + 1 >= Argc) {
      std::fprintf(stderr, "fuzz_make_seeds: unexpected argument %s\n", Argv[I]);
      Usage(stderr);
      return 2;
    }
    const fs::path File = Argv[++I];
    TBytes Bytes;
    if (!Read(File, Bytes)) return 1;
    const std::string Stem = "file_" + File.stem().string();
    if (IsFnt) {
      Fnt.push_back({Stem + ".fnt", Bytes});
    } else {
      TBmpPrefix Reduced;
      Reduced.MaxWidth = 100;
      Reduced.MaxHeight = 80;
      Reduced.X = -30;
      Reduced.Y = 700;
      Reduced.Width = 333;
      Reduced.Height = 120;
      Reduced.Alpha = 140;
      Bmp.push_back({Stem + ".bmp", BmpInput(TBmpPrefix{}, Bytes)});
      Bmp.push_back({Stem + "_reduced.bmp", BmpInput(Reduced, Bytes)});
    }
  }
  const std::pair<const char*, const std::vector<TSeed>*> Sets[] = {
      {"fuzz_fnt", &Fnt}, {"fuzz_bmp", &Bmp}, {"fuzz_draw", &Draw}};
  size_t Written = 0;
  for (const auto& [Dir, Seeds] : Sets) {
    std::error_code Ec;
    fs::create_directories(Out / Dir, Ec);
    if (Ec) {
      std::fprintf(stderr, "fuzz_make_seeds: cannot create %s: %s\n", (Out / Dir).c_str(), Ec.message().c_str());
      return 1;
    }
    for (const TSeed& S : *Seeds) {
      if (!Write(Out / Dir / S.Name, S.Bytes)) return 1;
      ++Written;
    }
  }
  std::printf("fuzz_make_seeds: wrote %zu seeds (%zu fonts, %zu pictures, %zu drawing sequences) under %s\n",
              Written, Fnt.size(), Bmp.size(), Draw.size(), Out.c_str());
  return 0;
}
