// bench_compare workload: the picture (also written as a .bmp and loaded by lumora), the
// lines, radii and ring spans, the background, and the table of operations.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "compare.h"
#include "lumora/internal/bmp_layout.h"
#include "lumora/internal/bytes.h"

namespace compare {

namespace {

TWorkload TheWork;
std::vector<TOp> TheOps;

const TWorkInfo INFOS[WORK_COUNT] = {
    {TWork::FillOpaque, "fill_opaque", "full-screen fill, opaque"},
    {TWork::FillTranslucent, "fill_translucent", "full-screen fill, black at transparency 100"},
    {TWork::Picture128, "picture_128", "400 x 300 picture, transparency 128"},
    {TWork::PictureKey, "picture_key", "400 x 300 picture, colour key"},
    {TWork::ScaledOpaque, "scaled_opaque", "picture scaled to 800 x 600, opaque"},
    {TWork::Scaled128, "scaled_128", "picture scaled to 800 x 600, transparency 128"},
    {TWork::Lines, "lines", "random lines, translucent, per pixel"},
    {TWork::Circles, "circles", "thin circles r 20..200, per circle, translucent"},
    {TWork::Ring, "ring", "ring r 160 width 9, translucent"},
    {TWork::Frame, "frame", "frame: clear + 5 translucent pictures + translucent full-screen fill"},
};

// A smooth gradient (neighbouring pixels differ by at most one level per channel, so
// peers that map scaled pixels half a pixel apart still agree closely), with the key
// colour outside the inscribed ellipse. Green is never 0 inside, so only the keyed
// pixels have the key colour.
std::vector<uint32_t> MakePicture() {
  std::vector<uint32_t> P(size_t(PIC_W) * PIC_H);
  for (int32_t Y = 0; Y < PIC_H; ++Y) {
    for (int32_t X = 0; X < PIC_W; ++X) {
      const double EX = (X - (PIC_W - 1) / 2.0) / (PIC_W / 2.0);
      const double EY = (Y - (PIC_H - 1) / 2.0) / (PIC_H / 2.0);
      uint32_t Pixel;
      if (EX * EX + EY * EY > 1.0) {
        Pixel = Xrgb(KEY_COLOUR);
      } else {
        const uint32_t B = uint32_t(X * 255 / (PIC_W - 1));
        const uint32_t G = uint32_t(1 + Y * 254 / (PIC_H - 1));
        const uint32_t R = (B + uint32_t(Y * 255 / (PIC_H - 1))) / 2;
        Pixel = R << 16 | G << 8 | B;
      }
      P[size_t(Y) * PIC_W + size_t(X)] = Pixel;
    }
  }
  return P;
}

// The picture as an uncompressed 24-bit bitmap: file header, classic info header, rows
// bottom first (PIC_W x 3 bytes is a multiple of 4: no fill bytes).
std::vector<uint8_t> MakeBmp(const std::vector<uint32_t>& P) {
  namespace bmp = lumora::bmp;
  using lumora::bytes::Put16;
  using lumora::bytes::Put32;
  static_assert(PIC_W * 3 % 4 == 0);
  const size_t RowBytes = size_t(PIC_W) * 3;
  std::vector<uint8_t> B(bmp::HEADERS_SIZE + RowBytes * PIC_H, 0);
  B[bmp::OFS_SIGNATURE] = 'B';
  B[bmp::OFS_SIGNATURE + 1] = 'M';
  Put32(B, bmp::OFS_FILE_SIZE, uint32_t(B.size()));
  Put32(B, bmp::OFS_DATA_OFFSET, bmp::HEADERS_SIZE);
  Put32(B, bmp::OFS_INFO_SIZE, bmp::INFO_HEADER_SIZE);
  Put32(B, bmp::OFS_WIDTH, PIC_W);
  Put32(B, bmp::OFS_HEIGHT, PIC_H);
  Put16(B, bmp::OFS_PLANES, 1);
  Put16(B, bmp::OFS_BITS_PER_PIXEL, 24);
  Put32(B, bmp::OFS_IMAGE_SIZE, uint32_t(RowBytes * PIC_H));
  for (int32_t Row = 0; Row < PIC_H; ++Row) {
    const uint32_t* Src = &P[size_t(PIC_H - 1 - Row) * PIC_W];
    uint8_t* Dst = &B[bmp::HEADERS_SIZE + size_t(Row) * RowBytes];
    for (int32_t X = 0; X < PIC_W; ++X) {
      Dst[3 * X] = uint8_t(Src[X]);
      Dst[3 * X + 1] = uint8_t(Src[X] >> 8);
      Dst[3 * X + 2] = uint8_t(Src[X] >> 16);
    }
  }
  return B;
}

void LoadLumoraPicture(TWorkload& W) {
  const std::filesystem::path Path = std::filesystem::temp_directory_path() /
                                     ("bench_compare_" + std::to_string(getpid()) + ".bmp");
  const std::vector<uint8_t> Bytes = MakeBmp(W.Picture);
  {
    std::ofstream F(Path, std::ios::binary);
    F.write(reinterpret_cast<const char*>(Bytes.data()), std::streamsize(Bytes.size()));
    if (!F) {
      std::fprintf(stderr, "bench_compare: cannot write %s\n", Path.c_str());
      std::exit(1);
    }
  }
  lumora::LoadBMPPicture(Path.string(), W.LumoraPicture, W.LoadCode);
  std::filesystem::remove(Path);
}

// xorshift32: the same lines on every machine and library.
uint32_t NextRandom(uint32_t& State) {
  State ^= State << 13;
  State ^= State >> 17;
  State ^= State << 5;
  return State;
}

void MakeLines(TWorkload& W) {
  uint32_t State = 0x2545F491u;
  for (int32_t I = 0; I < LINE_COUNT; ++I) {
    TLine L;
    L.X1 = int32_t(NextRandom(State) % SCREEN_W);
    L.Y1 = int32_t(NextRandom(State) % SCREEN_H);
    L.X2 = int32_t(NextRandom(State) % SCREEN_W);
    L.Y2 = int32_t(NextRandom(State) % SCREEN_H);
    W.Lines.push_back(L);
    W.LinePixels += std::max(std::abs(L.X2 - L.X1), std::abs(L.Y2 - L.Y1)) + 1;
  }
}

// The ring's rows: between the outer circle of radius R + W div 2 and the inner one of
// radius R - (W - 1) div 2, half-chords rounded to nearest; a row that misses the inner
// circle is one span.
void MakeRing(TWorkload& W) {
  const int32_t Outer = RING_R + RING_WIDTH / 2, Inner = RING_R - (RING_WIDTH - 1) / 2;
  for (int32_t DY = -Outer; DY <= Outer; ++DY) {
    const int32_t Y = CENTRE_Y + DY;
    const int32_t C1 = int32_t(std::nearbyint(std::sqrt(double(Outer * Outer - DY * DY))));
    if (std::abs(DY) < Inner) {
      const int32_t C2 = int32_t(std::nearbyint(std::sqrt(double(Inner * Inner - DY * DY))));
      W.RingSpans.push_back({Y, CENTRE_X - C1, CENTRE_X - C2});
      W.RingSpans.push_back({Y, CENTRE_X + C2, CENTRE_X + C1});
    } else {
      W.RingSpans.push_back({Y, CENTRE_X - C1, CENTRE_X + C1});
    }
  }
}

}  // namespace

void BuildWorkload() {
  TWorkload& W = TheWork;
  W.Picture = MakePicture();
  W.KeyedArgb.resize(W.Picture.size());
  for (size_t I = 0; I < W.Picture.size(); ++I) {
    W.KeyedArgb[I] = W.Picture[I] == Xrgb(KEY_COLOUR) ? 0u : (0xFF000000u | W.Picture[I]);
  }
  W.Doubled.resize(size_t(SCALED_W) * PIC_H);
  for (int32_t Y = 0; Y < PIC_H; ++Y) {
    for (int32_t X = 0; X < SCALED_W; ++X) {
      W.Doubled[size_t(Y) * SCALED_W + size_t(X)] =
          W.Picture[size_t(Y) * PIC_W + size_t(X) * PIC_W / SCALED_W];
    }
  }
  LoadLumoraPicture(W);
  MakeLines(W);
  for (int32_t R = RADIUS_FIRST; R <= RADIUS_LAST; ++R) W.Radii.push_back(R);
  MakeRing(W);
}

const TWorkload& Work() { return TheWork; }

uint32_t* Screen() { return reinterpret_cast<uint32_t*>(lumora::VirtualScreen); }

void PaintBackground() {
  uint32_t* S = Screen();
  for (int32_t Y = 0; Y < SCREEN_H; ++Y) {
    for (int32_t X = 0; X < SCREEN_W; ++X) {
      const uint32_t R = uint32_t((X ^ Y) & 0xFF), G = uint32_t(Y & 0xFF), B = uint32_t(X & 0xFF);
      S[Y * SCREEN_W + X] = R << 16 | G << 8 | B;
    }
  }
}

const TWorkInfo& Info(TWork Work) { return INFOS[int(Work)]; }

int64_t UnitsPerRun(TWork Work) {
  if (Work == TWork::Lines) return TheWork.LinePixels;
  if (Work == TWork::Circles) return int64_t(TheWork.Radii.size());
  return 1;
}

void AddOp(TWork Work, std::string Peer, std::string Variant, std::string How,
           std::function<void()> Run) {
  TheOps.push_back({Work, std::move(Peer), std::move(Variant), std::move(How), std::move(Run)});
}

const std::vector<TOp>& Ops() { return TheOps; }

}  // namespace compare
