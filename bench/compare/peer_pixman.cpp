// bench_compare, pixman: each work item in pixman's fastest configuration for the same
// visible result, drawing into the same screen as lumora. Relies on pixman-1.
#include <pixman.h>

#include "compare.h"

namespace compare {

namespace {

// One screen's images: the destination and the picture in each format.
struct TImages {
  pixman_image_t* Dst;
  pixman_image_t* XrgbPic;       // the picture, x8r8g8b8
  pixman_image_t* ArgbPic;       // the picture, a8r8g8b8 with every alpha 255
  pixman_image_t* Keyed;         // a8r8g8b8, alpha 0 at key pixels
  pixman_image_t* XrgbScaled;    // the picture again, with the transform to twice its size
  pixman_image_t* ArgbScaled;
  pixman_image_t* KeyedScaled;
  std::vector<uint32_t> ArgbPixels;
  std::vector<pixman_box32_t> RingBoxes;
};
TImages Images[SCREEN_COUNT];
pixman_image_t* Mask;  // solid alpha of the picture transparency

// A premultiplied pixman colour for C at lumora transparency T.
pixman_color_t Colour(TRgb C, uint8_t T) {
  const uint32_t A = Opacity(T);
  auto Channel = [A](uint8_t V) { return uint16_t((V * A + 127) / 255 * 257); };
  return pixman_color_t{Channel(C.R), Channel(C.G), Channel(C.B), uint16_t(A * 257)};
}

pixman_image_t* Picture(const TLayout& L, pixman_format_code_t Format, const uint32_t* Bits) {
  // pixman only reads sources
  return pixman_image_create_bits(Format, L.PicW, L.PicH, const_cast<uint32_t*>(Bits), L.PicW * 4);
}

pixman_image_t* Scaled(const TLayout& L, pixman_format_code_t Format, const uint32_t* Bits) {
  pixman_image_t* I = Picture(L, Format, Bits);
  pixman_transform_t T;
  pixman_transform_init_scale(&T, pixman_double_to_fixed(double(L.PicW) / L.ScaledW),
                              pixman_double_to_fixed(double(L.PicH) / L.ScaledH));
  pixman_image_set_transform(I, &T);
  pixman_image_set_filter(I, PIXMAN_FILTER_NEAREST, nullptr, 0);
  return I;
}

void FillScreen(TScreen Screen, pixman_op_t Op, const pixman_color_t& C) {
  const TLayout& L = Layout(Screen);
  const pixman_rectangle16_t All{0, 0, uint16_t(L.W), uint16_t(L.H)};
  pixman_image_fill_rectangles(Op, Images[int(Screen)].Dst, &C, 1, &All);
}

void Composite(TScreen Screen, pixman_op_t Op, pixman_image_t* Src, pixman_image_t* M, int32_t X,
               int32_t Y, int32_t Width, int32_t Height) {
  pixman_image_composite32(Op, Src, M, Images[int(Screen)].Dst, 0, 0, 0, 0, X, Y, Width, Height);
}

}  // namespace

std::string PixmanVersion() { return pixman_version_string(); }

void AddPixmanOps(TScreen Screen) {
  const TLayout& L = Layout(Screen);
  const TWorkload& W = Work(Screen);
  TImages& I = Images[int(Screen)];
  I.Dst = pixman_image_create_bits(PIXMAN_x8r8g8b8, L.W, L.H, Pixels(Screen), L.W * 4);
  I.ArgbPixels = W.Picture;
  for (uint32_t& P : I.ArgbPixels) P |= 0xFF000000u;
  I.XrgbPic = Picture(L, PIXMAN_x8r8g8b8, W.Picture.data());
  I.ArgbPic = Picture(L, PIXMAN_a8r8g8b8, I.ArgbPixels.data());
  I.Keyed = Picture(L, PIXMAN_a8r8g8b8, W.KeyedArgb.data());
  I.XrgbScaled = Scaled(L, PIXMAN_x8r8g8b8, W.Picture.data());
  I.ArgbScaled = Scaled(L, PIXMAN_a8r8g8b8, I.ArgbPixels.data());
  I.KeyedScaled = Scaled(L, PIXMAN_a8r8g8b8, W.KeyedArgb.data());
  if (Mask == nullptr) {
    const pixman_color_t MaskColour = Colour({0, 0, 0}, PICTURE_TRANSPARENCY);
    Mask = pixman_image_create_solid_fill(&MaskColour);
  }
  for (const TSpan& S : W.RingSpans) I.RingBoxes.push_back({S.X1, S.Y, S.X2 + 1, S.Y + 1});

  AddOp(Screen, TWork::FillOpaque, "pixman", "", "fill_rectangles SRC", [Screen] {
    FillScreen(Screen, PIXMAN_OP_SRC, Colour(FILL_COLOUR, 0));
  });
  AddOp(Screen, TWork::FillTranslucent, "pixman", "", "fill_rectangles OVER", [Screen] {
    FillScreen(Screen, PIXMAN_OP_OVER, Colour(SHADE_COLOUR, FILL_TRANSPARENCY));
  });
  for (const bool UseArgb : {false, true}) {
    pixman_image_t* Src = UseArgb ? I.ArgbPic : I.XrgbPic;
    pixman_image_t* SrcScaled = UseArgb ? I.ArgbScaled : I.XrgbScaled;
    const std::string Variant = UseArgb ? "argb" : "xrgb";
    const std::string Format = UseArgb ? "a8r8g8b8" : "x8r8g8b8";
    AddOp(Screen, TWork::Scaled128, "pixman", Variant,
          "composite OVER, " + Format + " source, nearest transform, solid mask", [Screen, L, SrcScaled] {
            Composite(Screen, PIXMAN_OP_OVER, SrcScaled, Mask, L.ScaledX, L.ScaledY, L.ScaledW, L.ScaledH);
          });
    if (Screen != TScreen::Xga) continue;
    AddOp(Screen, TWork::Picture128, "pixman", Variant, "composite OVER, " + Format + " source, solid mask",
          [Screen, L, Src] { Composite(Screen, PIXMAN_OP_OVER, Src, Mask, L.PicX, L.PicY, L.PicW, L.PicH); });
    AddOp(Screen, TWork::Frame, "pixman", Variant,
          "fill SRC, composite OVER (" + Format + " source, solid mask), fill OVER", [Screen, L, Src] {
            FillScreen(Screen, PIXMAN_OP_SRC, Colour({0, 0, 0}, 0));
            for (const auto& P : FRAME_PICTURES) {
              Composite(Screen, PIXMAN_OP_OVER, Src, Mask, P[0], P[1], L.PicW, L.PicH);
            }
            FillScreen(Screen, PIXMAN_OP_OVER, Colour(SHADE_COLOUR, FILL_TRANSPARENCY));
          });
  }
  AddOp(Screen, TWork::ScaledOpaque, "pixman", "", "composite SRC, x8r8g8b8 source, nearest transform",
        [Screen, L, &I] {
          Composite(Screen, PIXMAN_OP_SRC, I.XrgbScaled, nullptr, L.ScaledX, L.ScaledY, L.ScaledW, L.ScaledH);
        });
  AddOp(Screen, TWork::Ring, "pixman", "", "fill_boxes OVER on the ring's spans", [&I] {
    const pixman_color_t C = Colour(RING_COLOUR, STROKE_TRANSPARENCY);
    pixman_image_fill_boxes(PIXMAN_OP_OVER, I.Dst, &C, int(I.RingBoxes.size()), I.RingBoxes.data());
  });
  if (Screen == TScreen::Uhd) {
    AddOp(Screen, TWork::ScaledKey, "pixman", "",
          "composite OVER, a8r8g8b8 source with alpha 0 at the key, nearest transform", [Screen, L, &I] {
            Composite(Screen, PIXMAN_OP_OVER, I.KeyedScaled, nullptr, L.ScaledX, L.ScaledY, L.ScaledW,
                      L.ScaledH);
          });
  } else {
    AddOp(Screen, TWork::PictureKey, "pixman", "", "composite OVER, a8r8g8b8 source with alpha 0 at the key",
          [Screen, L, &I] { Composite(Screen, PIXMAN_OP_OVER, I.Keyed, nullptr, L.PicX, L.PicY, L.PicW, L.PicH); });
  }
}

}  // namespace compare
