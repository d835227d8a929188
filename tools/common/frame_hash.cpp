// Frame hashes through xxHash's XXH3-128, compiled inline so that no library is linked.
#include "tools/common/frame_hash.h"

#include <cinttypes>
#include <cstdio>
#include <fstream>
#include <sstream>

#define XXH_INLINE_ALL
#include <xxhash.h>

namespace tools {

std::string FrameHash(const uint8_t* Bytes, size_t Size) {
  const XXH128_hash_t H = XXH3_128bits(Bytes, Size);
  char Text[33];
  std::snprintf(Text, sizeof Text, "%016" PRIx64 "%016" PRIx64, uint64_t(H.high64),
                uint64_t(H.low64));
  return Text;
}

std::string FormatHashLine(const THashLine& L) {
  char Head[64];
  std::snprintf(Head, sizeof Head, "%06" PRIu64 " ", L.Index);
  return Head + L.Part + " " + std::to_string(L.Step) + " " + L.Hash;
}

bool ReadHashList(const std::string& Path, std::vector<THashLine>& Lines, std::string& Error) {
  std::ifstream In(Path);
  if (!In) {
    Error = "cannot read " + Path;
    return false;
  }
  Lines.clear();
  std::string Text;
  for (uint64_t Number = 1; std::getline(In, Text); ++Number) {
    if (Text.empty() || Text[0] == '#') continue;
    std::istringstream Fields(Text);
    THashLine L;
    std::string Rest;
    if (!(Fields >> L.Index >> L.Part >> L.Step >> L.Hash) || (Fields >> Rest) ||
        L.Hash.size() != 32) {
      Error = Path + ":" + std::to_string(Number) + ": not a hash line: " + Text;
      return false;
    }
    Lines.push_back(L);
  }
  return true;
}

std::string CompareHashLists(const std::vector<THashLine>& Expected,
                             const std::vector<THashLine>& Actual) {
  const size_t Common = std::min(Expected.size(), Actual.size());
  for (size_t I = 0; I < Common; ++I) {
    const THashLine& E = Expected[I];
    const THashLine& A = Actual[I];
    if (E.Hash == A.Hash && E.Part == A.Part && E.Step == A.Step) continue;
    return "frame " + std::to_string(E.Index) + " (" + E.Part + ", step " + std::to_string(E.Step) +
           ") differs: expected " + FormatHashLine(E) + ", got " + FormatHashLine(A);
  }
  if (Expected.size() != Actual.size())
    return "the run presented " + std::to_string(Actual.size()) + " frames, the reference holds " +
           std::to_string(Expected.size());
  return "";
}

}  // namespace tools
