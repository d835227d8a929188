// bench_compare workload: the two screens' layouts, pictures (also written as .bmp files
// and loaded by lumora), lines, radii and ring spans, the backgrounds, and the table of
// operations.
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

// Xga: the picture 400 x 300 at its own size in the middle and scaled to 800 x 600. Uhd:
// a 1600 x 900 picture scaled to 3200 x 1800, a ring and lines sized to the screen.
const TLayout LAYOUTS[SCREEN_COUNT] = {
    {TScreen::Xga, "1024 x 768", "", lumora::SCREEN_WIDTH, lumora::SCREEN_HEIGHT, 400, 300, 312, 234,
     800, 600, 112, 84, 512, 384, 20, 200, 160, 9, 400},
    {TScreen::Uhd, "3840 x 2160", "4k_", 3840, 2160, 1600, 900, 1120, 630, 3200, 1800, 320, 180,
     1920, 1080, 1, 0, 600, 33, 400},
};

TWorkload TheWork[SCREEN_COUNT];
std::vector<uint32_t> UhdPixels;
lumora::TCanvas TheUhdCanvas;
std::vector<TOp> TheOps;

const TWorkInfo INFOS[WORK_COUNT] = {
    {TWork::FillOpaque, "fill_opaque"},   {TWork::FillTranslucent, "fill_translucent"},
    {TWork::Picture128, "picture_128"},   {TWork::PictureKey, "picture_key"},
    {TWork::ScaledOpaque, "scaled_opaque"}, {TWork::Scaled128, "scaled_128"},
    {TWork::ScaledKey, "scaled_key"},     {TWork::Lines, "lines"},
    {TWork::Circles, "circles"},          {TWork::Ring, "ring"},
    {TWork::Frame, "frame"},
};

// A smooth gradient (neighbouring pixels differ by at most one level per channel, so
// peers that map scaled pixels half a pixel apart still agree closely), with the key
// colour outside the inscribed ellipse. Green is never 0 inside, so only the keyed
// pixels have the key colour.
std::vector<uint32_t> MakePicture(int32_t W, int32_t H) {
  std::vector<uint32_t> P(size_t(W) * H);
  for (int32_t Y = 0; Y < H; ++Y) {
    for (int32_t X = 0; X < W; ++X) {
      const double EX = (X - (W - 1) / 2.0) / (W / 2.0);
      const double EY = (Y - (H - 1) / 2.0) / (H / 2.0);
      uint32_t Pixel;
      if (EX * EX + EY * EY > 1.0) {
        Pixel = Xrgb(KEY_COLOUR);
      } else {
        const uint32_t B = uint32_t(X * 255 / (W - 1));
        const uint32_t G = uint32_t(1 + Y * 254 / (H - 1));
        const uint32_t R = (B + uint32_t(Y * 255 / (H - 1))) / 2;
        Pixel = R << 16 | G << 8 | B;
      }
      P[size_t(Y) * W + size_t(X)] = Pixel;
    }
  }
  return P;
}

// The picture as an uncompressed 24-bit bitmap: file header, classic info header, rows
// bottom first, each filled up to a multiple of 4 bytes.
std::vector<uint8_t> MakeBmp(const std::vector<uint32_t>& P, int32_t W, int32_t H) {
  namespace bmp = lumora::bmp;
  using lumora::bytes::Put16;
  using lumora::bytes::Put32;
  const size_t RowBytes = (size_t(W) * 3 + 3) / 4 * 4;
  std::vector<uint8_t> B(bmp::HEADERS_SIZE + RowBytes * size_t(H), 0);
  B[bmp::OFS_SIGNATURE] = 'B';
  B[bmp::OFS_SIGNATURE + 1] = 'M';
  Put32(B, bmp::OFS_FILE_SIZE, uint32_t(B.size()));
  Put32(B, bmp::OFS_DATA_OFFSET, bmp::HEADERS_SIZE);
  Put32(B, bmp::OFS_INFO_SIZE, bmp::INFO_HEADER_SIZE);
  Put32(B, bmp::OFS_WIDTH, uint32_t(W));
  Put32(B, bmp::OFS_HEIGHT, uint32_t(H));
  Put16(B, bmp::OFS_PLANES, 1);
  Put16(B, bmp::OFS_BITS_PER_PIXEL, 24);
  Put32(B, bmp::OFS_IMAGE_SIZE, uint32_t(RowBytes * size_t(H)));
  for (int32_t Row = 0; Row < H; ++Row) {
    const uint32_t* Src = &P[size_t(H - 1 - Row) * size_t(W)];
    uint8_t* Dst = &B[bmp::HEADERS_SIZE + size_t(Row) * RowBytes];
    for (int32_t X = 0; X < W; ++X) {
      Dst[3 * X] = uint8_t(Src[X]);
      Dst[3 * X + 1] = uint8_t(Src[X] >> 8);
      Dst[3 * X + 2] = uint8_t(Src[X] >> 16);
    }
  }
  return B;
}

void LoadLumoraPicture(const TLayout& L, TWorkload& W) {
  const std::filesystem::path Path = std::filesystem::temp_directory_path() /
                                     ("bench_compare_" + std::to_string(getpid()) + ".bmp");
  const std::vector<uint8_t> Bytes = MakeBmp(W.Picture, L.PicW, L.PicH);
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

void MakeLines(const TLayout& L, TWorkload& W) {
  uint32_t State = 0x2545F491u;
  for (int32_t I = 0; I < L.LineCount; ++I) {
    TLine Line;
    Line.X1 = int32_t(NextRandom(State) % uint32_t(L.W));
    Line.Y1 = int32_t(NextRandom(State) % uint32_t(L.H));
    Line.X2 = int32_t(NextRandom(State) % uint32_t(L.W));
    Line.Y2 = int32_t(NextRandom(State) % uint32_t(L.H));
    W.Lines.push_back(Line);
    W.LinePixels += std::max(std::abs(Line.X2 - Line.X1), std::abs(Line.Y2 - Line.Y1)) + 1;
  }
}

// The ring's rows: between the outer circle of radius R + W div 2 and the inner one of
// radius R - (W - 1) div 2, half-chords rounded to nearest; a row that misses the inner
// circle is one span.
void MakeRing(const TLayout& L, TWorkload& W) {
  const int32_t Outer = L.RingR + L.RingWidth / 2, Inner = L.RingR - (L.RingWidth - 1) / 2;
  for (int32_t DY = -Outer; DY <= Outer; ++DY) {
    const int32_t Y = L.CentreY + DY;
    const int32_t C1 = int32_t(std::nearbyint(std::sqrt(double(Outer * Outer - DY * DY))));
    if (std::abs(DY) < Inner) {
      const int32_t C2 = int32_t(std::nearbyint(std::sqrt(double(Inner * Inner - DY * DY))));
      W.RingSpans.push_back({Y, L.CentreX - C1, L.CentreX - C2});
      W.RingSpans.push_back({Y, L.CentreX + C2, L.CentreX + C1});
    } else {
      W.RingSpans.push_back({Y, L.CentreX - C1, L.CentreX + C1});
    }
  }
}

}  // namespace

const TLayout& Layout(TScreen Screen) { return LAYOUTS[int(Screen)]; }

void BuildWorkloads() {
  const TLayout& U = Layout(TScreen::Uhd);
  UhdPixels.assign(size_t(U.Pixels()), 0);
  if (!lumora::MakeCanvas(TheUhdCanvas, reinterpret_cast<uint8_t*>(UhdPixels.data()), U.W, U.H,
                          int64_t(U.W) * 4)) {
    std::fputs("bench_compare: no 3840 x 2160 canvas\n", stderr);
    std::exit(1);
  }
  for (const TLayout& L : LAYOUTS) {
    TWorkload& W = TheWork[int(L.Screen)];
    W.Picture = MakePicture(L.PicW, L.PicH);
    W.KeyedArgb.resize(W.Picture.size());
    for (size_t I = 0; I < W.Picture.size(); ++I) {
      W.KeyedArgb[I] = W.Picture[I] == Xrgb(KEY_COLOUR) ? 0u : (0xFF000000u | W.Picture[I]);
    }
    W.Doubled.resize(size_t(L.ScaledW) * size_t(L.PicH));
    for (int32_t Y = 0; Y < L.PicH; ++Y) {
      for (int32_t X = 0; X < L.ScaledW; ++X) {
        W.Doubled[size_t(Y) * size_t(L.ScaledW) + size_t(X)] =
            W.Picture[size_t(Y) * size_t(L.PicW) + size_t(X) * size_t(L.PicW) / size_t(L.ScaledW)];
      }
    }
    LoadLumoraPicture(L, W);
    MakeLines(L, W);
    for (int32_t R = L.RadiusFirst; R <= L.RadiusLast; ++R) W.Radii.push_back(R);
    MakeRing(L, W);
  }
}

const TWorkload& Work(TScreen Screen) { return TheWork[int(Screen)]; }

uint32_t* Pixels(TScreen Screen) {
  if (Screen == TScreen::Uhd) return UhdPixels.data();
  return reinterpret_cast<uint32_t*>(lumora::VirtualScreen);
}

lumora::TCanvas& UhdCanvas() { return TheUhdCanvas; }

void PaintBackground(TScreen Screen) {
  const TLayout& L = Layout(Screen);
  uint32_t* S = Pixels(Screen);
  for (int32_t Y = 0; Y < L.H; ++Y) {
    for (int32_t X = 0; X < L.W; ++X) {
      const uint32_t R = uint32_t((X ^ Y) & 0xFF), G = uint32_t(Y & 0xFF), B = uint32_t(X & 0xFF);
      S[size_t(Y) * size_t(L.W) + size_t(X)] = R << 16 | G << 8 | B;
    }
  }
}

const TWorkInfo& Info(TWork Work) { return INFOS[int(Work)]; }

int64_t UnitsPerRun(TScreen Screen, TWork Work) {
  if (Work == TWork::Lines) return TheWork[int(Screen)].LinePixels;
  if (Work == TWork::Circles) return int64_t(TheWork[int(Screen)].Radii.size());
  return 1;
}

void AddOp(TScreen Screen, TWork Work, std::string Peer, std::string Variant, std::string How,
           std::function<void()> Run) {
  TheOps.push_back(
      {Screen, Work, std::move(Peer), std::move(Variant), std::move(How), std::move(Run)});
}

const std::vector<TOp>& Ops() { return TheOps; }

std::string Name(const TOp& Op) {
  std::string N = std::string(Layout(Op.Screen).Prefix) + Info(Op.Work).Id + "/" + Op.Peer;
  if (!Op.Variant.empty()) N += ":" + Op.Variant;
  return N;
}

}  // namespace compare
