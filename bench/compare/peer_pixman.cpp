// bench_compare, pixman: each work item in pixman's fastest configuration for the same
// visible result, drawing into lumora's back buffer. Relies on pixman-1.
#include <pixman.h>

#include "compare.h"

namespace compare {

namespace {

pixman_image_t* Dst;
pixman_image_t* XrgbPic;     // the picture, x8r8g8b8
pixman_image_t* ArgbPic;     // the picture, a8r8g8b8 with every alpha 255
pixman_image_t* Keyed;       // a8r8g8b8, alpha 0 at key pixels
pixman_image_t* XrgbScaled;  // the picture again, with the 400 x 300 -> 800 x 600 transform
pixman_image_t* ArgbScaled;
pixman_image_t* Mask;        // solid alpha of the picture transparency
std::vector<uint32_t> ArgbPixels;
std::vector<pixman_box32_t> RingBoxes;

// A premultiplied pixman colour for C at lumora transparency T.
pixman_color_t Colour(TRgb C, uint8_t T) {
  const uint32_t A = Opacity(T);
  auto Channel = [A](uint8_t V) { return uint16_t((V * A + 127) / 255 * 257); };
  return pixman_color_t{Channel(C.R), Channel(C.G), Channel(C.B), uint16_t(A * 257)};
}

pixman_image_t* Picture(pixman_format_code_t Format, uint32_t* Bits) {
  return pixman_image_create_bits(Format, PIC_W, PIC_H, Bits, PIC_W * 4);
}

pixman_image_t* Scaled(pixman_format_code_t Format, uint32_t* Bits) {
  pixman_image_t* I = Picture(Format, Bits);
  pixman_transform_t T;
  pixman_transform_init_scale(&T, pixman_double_to_fixed(double(PIC_W) / SCALED_W),
                              pixman_double_to_fixed(double(PIC_H) / SCALED_H));
  pixman_image_set_transform(I, &T);
  pixman_image_set_filter(I, PIXMAN_FILTER_NEAREST, nullptr, 0);
  return I;
}

void FillScreen(pixman_op_t Op, const pixman_color_t& C) {
  const pixman_rectangle16_t All{0, 0, uint16_t(SCREEN_W), uint16_t(SCREEN_H)};
  pixman_image_fill_rectangles(Op, Dst, &C, 1, &All);
}

void Composite(pixman_op_t Op, pixman_image_t* Src, pixman_image_t* M, int32_t X, int32_t Y,
               int32_t Width, int32_t Height) {
  pixman_image_composite32(Op, Src, M, Dst, 0, 0, 0, 0, X, Y, Width, Height);
}

}  // namespace

std::string PixmanVersion() { return pixman_version_string(); }

void AddPixmanOps() {
  const TWorkload& W = Work();
  Dst = pixman_image_create_bits(PIXMAN_x8r8g8b8, SCREEN_W, SCREEN_H, Screen(), SCREEN_W * 4);
  uint32_t* Pixels = const_cast<uint32_t*>(W.Picture.data());  // pixman only reads sources
  ArgbPixels = W.Picture;
  for (uint32_t& P : ArgbPixels) P |= 0xFF000000u;
  XrgbPic = Picture(PIXMAN_x8r8g8b8, Pixels);
  ArgbPic = Picture(PIXMAN_a8r8g8b8, ArgbPixels.data());
  Keyed = Picture(PIXMAN_a8r8g8b8, const_cast<uint32_t*>(W.KeyedArgb.data()));
  XrgbScaled = Scaled(PIXMAN_x8r8g8b8, Pixels);
  ArgbScaled = Scaled(PIXMAN_a8r8g8b8, ArgbPixels.data());
  const pixman_color_t MaskColour = Colour({0, 0, 0}, PICTURE_TRANSPARENCY);
  Mask = pixman_image_create_solid_fill(&MaskColour);
  for (const TSpan& S : W.RingSpans) RingBoxes.push_back({S.X1, S.Y, S.X2 + 1, S.Y + 1});

  AddOp(TWork::FillOpaque, "pixman", "", "fill_rectangles SRC", [] {
    FillScreen(PIXMAN_OP_SRC, Colour(FILL_COLOUR, 0));
  });
  AddOp(TWork::FillTranslucent, "pixman", "", "fill_rectangles OVER", [] {
    FillScreen(PIXMAN_OP_OVER, Colour(SHADE_COLOUR, FILL_TRANSPARENCY));
  });
  for (const bool UseArgb : {false, true}) {
    pixman_image_t* Src = UseArgb ? ArgbPic : XrgbPic;
    pixman_image_t* SrcScaled = UseArgb ? ArgbScaled : XrgbScaled;
    const std::string Variant = UseArgb ? "argb" : "xrgb";
    const std::string Format = UseArgb ? "a8r8g8b8" : "x8r8g8b8";
    AddOp(TWork::Picture128, "pixman", Variant, "composite OVER, " + Format + " source, solid mask",
          [Src] { Composite(PIXMAN_OP_OVER, Src, Mask, PIC_X, PIC_Y, PIC_W, PIC_H); });
    AddOp(TWork::Scaled128, "pixman", Variant,
          "composite OVER, " + Format + " source, nearest transform, solid mask", [SrcScaled] {
            Composite(PIXMAN_OP_OVER, SrcScaled, Mask, SCALED_X, SCALED_Y, SCALED_W, SCALED_H);
          });
    AddOp(TWork::Frame, "pixman", Variant,
          "fill SRC, composite OVER (" + Format + " source, solid mask), fill OVER", [Src] {
            FillScreen(PIXMAN_OP_SRC, Colour({0, 0, 0}, 0));
            for (const auto& P : FRAME_PICTURES) {
              Composite(PIXMAN_OP_OVER, Src, Mask, P[0], P[1], PIC_W, PIC_H);
            }
            FillScreen(PIXMAN_OP_OVER, Colour(SHADE_COLOUR, FILL_TRANSPARENCY));
          });
  }
  AddOp(TWork::PictureKey, "pixman", "", "composite OVER, a8r8g8b8 source with alpha 0 at the key",
        [] { Composite(PIXMAN_OP_OVER, Keyed, nullptr, PIC_X, PIC_Y, PIC_W, PIC_H); });
  AddOp(TWork::ScaledOpaque, "pixman", "", "composite SRC, x8r8g8b8 source, nearest transform", [] {
    Composite(PIXMAN_OP_SRC, XrgbScaled, nullptr, SCALED_X, SCALED_Y, SCALED_W, SCALED_H);
  });
  AddOp(TWork::Ring, "pixman", "", "fill_boxes OVER on the ring's spans", [] {
    const pixman_color_t C = Colour(RING_COLOUR, STROKE_TRANSPARENCY);
    pixman_image_fill_boxes(PIXMAN_OP_OVER, Dst, &C, int(RingBoxes.size()), RingBoxes.data());
  });
}

}  // namespace compare
