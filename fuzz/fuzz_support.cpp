// lumora fuzzing support: headless display, scratch files and screen comparisons.
// Relies on the public lumora API and POSIX (getpid) for the scratch file names.
#include "fuzz/fuzz_support.h"
#include "tests/support/oracle.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>

#include "lumora/lumora.h"

namespace lumorafuzz {

namespace {

std::map<std::string, std::string>& ScratchFiles() {
  static std::map<std::string, std::string> Files;
  return Files;
}

void RemoveScratchFiles() {
  for (const auto& [Ext, Path] : ScratchFiles()) std::remove(Path.c_str());
}

std::string ScratchDirectory() {
  std::error_code Ec;
  if (std::filesystem::is_directory("/dev/shm", Ec) && access("/dev/shm", W_OK) == 0) return "/dev/shm";
  return std::filesystem::temp_directory_path(Ec).string();
}

}  // namespace

void EnsureDisplay() {
  if (lumora::VirtualScreen != nullptr) return;
  lumora::UseHeadlessPlatform();
  lumora::InitLumora("lumora fuzz");
}

void SetAvailMemory(int64_t Bytes) {
  lumora::THeadlessOptions Options;
  Options.AvailMemory = Bytes;
  lumora::UseHeadlessPlatform(Options);
}

std::string WriteScratch(const uint8_t* Data, size_t Size, const char* Extension) {
  auto& Files = ScratchFiles();
  auto It = Files.find(Extension);
  if (It == Files.end()) {
    if (Files.empty()) std::atexit(RemoveScratchFiles);
    const std::string Path = ScratchDirectory() + "/lumora-fuzz-" + std::to_string(getpid()) + Extension;
    It = Files.emplace(Extension, Path).first;
  }
  FILE* F = std::fopen(It->second.c_str(), "wb");
  if (F == nullptr) {
    std::perror(It->second.c_str());
    std::abort();
  }
  if (Size > 0 && std::fwrite(Data, 1, Size, F) != Size) {
    std::perror(It->second.c_str());
    std::abort();
  }
  std::fclose(F);
  return It->second;
}

std::string Format(const char* Fmt, ...) {
  char Buffer[512];
  va_list Args;
  va_start(Args, Fmt);
  std::vsnprintf(Buffer, sizeof Buffer, Fmt, Args);
  va_end(Args);
  return Buffer;
}

bool IsEmpty(const TRect& R) { return R.X1 > R.X2 || R.Y1 > R.Y2; }

TRect Intersect(const TRect& A, const TRect& B) {
  return {std::max(A.X1, B.X1), std::max(A.Y1, B.Y1), std::min(A.X2, B.X2), std::min(A.Y2, B.Y2)};
}

TRect Hull(const TRect& A, const TRect& B) {
  if (IsEmpty(A)) return B;
  if (IsEmpty(B)) return A;
  return {std::min(A.X1, B.X1), std::min(A.Y1, B.Y1), std::max(A.X2, B.X2), std::max(A.Y2, B.Y2)};
}

TRect ViewPortRect() {
  const lumora::TViewPort& V = lumora::ViewPort;
  return {V.X1, V.Y1, V.X2, V.Y2};
}

uint8_t ReferenceBlend(uint8_t Old, uint8_t C, uint8_t Alpha, unsigned N) {
  const double A = 1.0 - double(Alpha) / 255.0;
  long double V = Old;
  for (unsigned I = 0; I < N; ++I) {
    V = Alpha == 0 ? C : std::nearbyint(V * (1.0L - (long double)A) + (long double)C * (long double)A);
  }
  return uint8_t(V);
}

int64_t RoundedScale(int64_t Num, int64_t Den, int64_t Factor) {
  return testsupport::QuotientProductRounded(Num, Den, Factor);
}

void TakeSnapshot(std::vector<uint8_t>& Snapshot) {
  Snapshot.assign(lumora::VirtualScreen, lumora::VirtualScreen + lumora::SCREEN_BYTES);
}

namespace {

// The first pixel of [From, To) (byte offsets, whole pixels) that differs from Before.
std::string FirstDifference(const std::vector<uint8_t>& Before, size_t From, size_t To) {
  if (From >= To || std::memcmp(lumora::VirtualScreen + From, Before.data() + From, To - From) == 0) {
    return "";
  }
  for (size_t At = From; At < To; At += 4) {
    if (std::memcmp(lumora::VirtualScreen + At, Before.data() + At, 4) != 0) {
      const size_t P = At / 4;
      const uint8_t* S = lumora::VirtualScreen + At;
      const uint8_t* B = Before.data() + At;
      return Format("pixel (%zu, %zu) changed from %u,%u,%u,%u to %u,%u,%u,%u", P % lumora::SCREEN_WIDTH,
                    P / lumora::SCREEN_WIDTH, B[0], B[1], B[2], B[3], S[0], S[1], S[2], S[3]);
    }
  }
  return "";
}

}  // namespace

std::string ChangedOutside(const std::vector<uint8_t>& Before, const TRect& Allowed) {
  constexpr int64_t W = lumora::SCREEN_WIDTH, H = lumora::SCREEN_HEIGHT;
  const TRect A = Intersect(Allowed, {0, 0, W - 1, H - 1});
  if (IsEmpty(A)) return FirstDifference(Before, 0, lumora::SCREEN_BYTES);
  auto Offset = [](int64_t X, int64_t Y) { return size_t((Y * W + X) * 4); };
  // The pixels outside A form runs from the end of one allowed row segment to the start
  // of the next, plus the runs before the first and after the last.
  std::string D = FirstDifference(Before, 0, Offset(A.X1, A.Y1));
  for (int64_t Y = A.Y1; D.empty() && Y < A.Y2; ++Y) {
    D = FirstDifference(Before, Offset(A.X2 + 1, Y), Offset(A.X1, Y + 1));
  }
  if (D.empty()) D = FirstDifference(Before, Offset(A.X2 + 1, A.Y2), lumora::SCREEN_BYTES);
  return D;
}

std::string FourthBytesNot(uint8_t Value) {
  // Eight bytes (two pixels) at a time; only on a mismatch byte by byte.
  constexpr uint64_t Mask = 0xFF000000FF000000ull;
  const uint64_t Want = (uint64_t(Value) << 24 | uint64_t(Value) << 56) & Mask;
  for (uint32_t At = 0; At < lumora::SCREEN_BYTES; At += 8) {
    uint64_t Two;
    std::memcpy(&Two, lumora::VirtualScreen + At, 8);
    if ((Two & Mask) == Want) continue;
    for (uint32_t B = At + 3; B < At + 8; B += 4) {
      if (lumora::VirtualScreen[B] != Value) {
        const uint32_t P = B / 4;
        return Format("fourth byte of pixel (%u, %u) is %u, not %u", P % 1024, P / 1024,
                      lumora::VirtualScreen[B], Value);
      }
    }
  }
  return "";
}

namespace {

// Where byte At of the block lies, in words.
std::string BlockPlace(const TCanvasBlock& B, int64_t At) {
  if (At < B.GuardBefore) return Format("guard byte %lld before the pixels", (long long)(B.GuardBefore - At));
  const int64_t InPixels = At - B.GuardBefore;
  const int64_t Y = InPixels / B.Stride, InRow = InPixels % B.Stride;
  const int64_t RowBytes = B.Width * 4;
  if (Y >= B.Height - 1 && InPixels - (B.Height - 1) * B.Stride >= RowBytes)
    return Format("guard byte %lld after the pixels", (long long)(InPixels - (B.Height - 1) * B.Stride - RowBytes));
  if (InRow >= RowBytes) return Format("padding byte %lld after row %lld", (long long)(InRow - RowBytes), (long long)Y);
  return Format("byte %lld of pixel (%lld, %lld)", (long long)(InRow % 4), (long long)(InRow / 4), (long long)Y);
}

// The first byte of [From, To) that differs between Before and Now, described.
std::string FirstBlockDifference(const TCanvasBlock& B, const uint8_t* Before, const uint8_t* Now, int64_t From,
                                 int64_t To) {
  if (From >= To || std::memcmp(Now + From, Before + From, size_t(To - From)) == 0) return "";
  for (int64_t At = From; At < To; ++At) {
    if (Now[At] != Before[At])
      return Format("%s changed from %u to %u", BlockPlace(B, At).c_str(), Before[At], Now[At]);
  }
  return "";
}

}  // namespace

std::string BlockChangedOutside(const TCanvasBlock& B, const uint8_t* Before, const uint8_t* Now,
                                const TRect& Allowed) {
  const int64_t Size = int64_t(B.Size());
  if (std::memcmp(Now, Before, size_t(Size)) == 0) return "";
  const TRect A = Intersect(Allowed, {0, 0, B.Width - 1, B.Height - 1});
  if (IsEmpty(A)) return FirstBlockDifference(B, Before, Now, 0, Size);
  // As on the screen: the bytes outside A run from the end of one allowed row segment to the
  // start of the next (through the padding), plus the runs before the first and after the
  // last, guards included.
  std::string D = FirstBlockDifference(B, Before, Now, 0, B.Offset(A.X1, A.Y1));
  for (int64_t Y = A.Y1; D.empty() && Y < A.Y2; ++Y)
    D = FirstBlockDifference(B, Before, Now, B.Offset(A.X2 + 1, Y), B.Offset(A.X1, Y + 1));
  if (D.empty()) D = FirstBlockDifference(B, Before, Now, B.Offset(A.X2 + 1, A.Y2), Size);
  return D;
}

std::string BlockFourthBytesNot(const TCanvasBlock& B, const uint8_t* Now, const TRect& Allowed, uint8_t Value) {
  const TRect A = Intersect(Allowed, {0, 0, B.Width - 1, B.Height - 1});
  if (IsEmpty(A)) return "";
  for (int64_t Y = A.Y1; Y <= A.Y2; ++Y) {
    const uint8_t* Fourth = Now + B.Offset(A.X1, Y) + 3;
    bool Same = true;
    for (int64_t X = A.X1; X <= A.X2; ++X, Fourth += 4) Same &= *Fourth == Value;
    if (Same) continue;
    for (int64_t X = A.X1; X <= A.X2; ++X) {
      const uint8_t F = Now[B.Offset(X, Y) + 3];
      if (F != Value) return Format("fourth byte of pixel (%lld, %lld) is %u, not %u", (long long)X, (long long)Y, F, Value);
    }
  }
  return "";
}

void CopyPixels(const TCanvasBlock& B, const uint8_t* From, uint8_t* To, const TRect& R) {
  const TRect A = Intersect(R, {0, 0, B.Width - 1, B.Height - 1});
  if (IsEmpty(A)) return;
  for (int64_t Y = A.Y1; Y <= A.Y2; ++Y)
    std::memcpy(To + B.Offset(A.X1, Y), From + B.Offset(A.X1, Y), size_t(A.X2 - A.X1 + 1) * 4);
}

TCanvasBlock ScreenBlock() { return {lumora::SCREEN_WIDTH, lumora::SCREEN_HEIGHT, lumora::ROW_BYTES, 0, 0}; }

}  // namespace lumorafuzz
