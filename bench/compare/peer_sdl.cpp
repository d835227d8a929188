// bench_compare, SDL2: software surfaces (fills, blits, scaled blits) and the software
// renderer, with SDL2_gfx for lines and circles when the build has it. Relies on SDL2.
#include <SDL.h>
#if defined(COMPARE_HAVE_SDL2_GFX)
#include <SDL2_gfxPrimitives.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "compare.h"

namespace compare {

namespace {

SDL_Surface* Dst;
SDL_Renderer* Renderer;  // software renderer on Dst
SDL_Surface* Opaque;     // the picture, no blending
SDL_Surface* Blended;    // the picture, blended at the picture's opacity
SDL_Surface* Keyed;      // the picture with its colour key
SDL_Surface* KeyedRle;   // the same, run-length accelerated
SDL_Surface* Stretched;  // SCALED_W x SCALED_H, blended: the second pass of a two-pass blit
SDL_Surface* Shade;      // full screen of the shade colour, blended at the fill opacity
std::vector<SDL_Rect> RingRects;

void Check(bool Ok, const char* What) {
  if (Ok) return;
  std::fprintf(stderr, "bench_compare: SDL2 %s failed: %s\n", What, SDL_GetError());
  std::exit(1);
}

SDL_Surface* NewSurface(int32_t Width, int32_t Height) {
  SDL_Surface* S = SDL_CreateRGBSurfaceWithFormat(0, Width, Height, 32, SDL_PIXELFORMAT_RGB888);
  Check(S != nullptr, "CreateRGBSurfaceWithFormat");
  return S;
}

// A surface of its own holding the picture (SDL may re-encode a keyed surface).
SDL_Surface* PictureSurface() {
  SDL_Surface* S = NewSurface(PIC_W, PIC_H);
  for (int32_t Y = 0; Y < PIC_H; ++Y) {
    std::memcpy(static_cast<uint8_t*>(S->pixels) + size_t(Y) * size_t(S->pitch),
                &Work().Picture[size_t(Y) * PIC_W], size_t(PIC_W) * 4);
  }
  return S;
}

void Blend(SDL_Surface* S, uint8_t Transparency) {
  Check(SDL_SetSurfaceBlendMode(S, SDL_BLENDMODE_BLEND) == 0, "SetSurfaceBlendMode");
  Check(SDL_SetSurfaceAlphaMod(S, Opacity(Transparency)) == 0, "SetSurfaceAlphaMod");
}

void Blit(SDL_Surface* Src, int32_t X, int32_t Y) {
  SDL_Rect R{X, Y, Src->w, Src->h};  // SDL clips the rectangle in place
  SDL_BlitSurface(Src, nullptr, Dst, &R);
}

void BlitScaled(SDL_Surface* Src, SDL_Surface* To, SDL_Rect R) { SDL_BlitScaled(Src, nullptr, To, &R); }

void DrawColour(TRgb C, uint8_t Transparency) {
  SDL_SetRenderDrawBlendMode(Renderer, SDL_BLENDMODE_BLEND);
  SDL_SetRenderDrawColor(Renderer, C.R, C.G, C.B, Opacity(Transparency));
}

void ShadeByBlit() { Blit(Shade, 0, 0); }

void ShadeByRenderer() {
  DrawColour(SHADE_COLOUR, FILL_TRANSPARENCY);
  SDL_RenderFillRect(Renderer, nullptr);
  SDL_RenderFlush(Renderer);
}

}  // namespace

std::string SdlVersion() {
  SDL_version V;
  SDL_GetVersion(&V);
  std::string S = std::to_string(V.major) + "." + std::to_string(V.minor) + "." + std::to_string(V.patch);
#if defined(COMPARE_HAVE_SDL2_GFX)
  S += " with SDL2_gfx " + std::to_string(SDL2_GFXPRIMITIVES_MAJOR) + "." +
       std::to_string(SDL2_GFXPRIMITIVES_MINOR) + "." + std::to_string(SDL2_GFXPRIMITIVES_MICRO);
#else
  S += " without SDL2_gfx";
#endif
  return S;
}

void AddSdlOps() {
  Dst = SDL_CreateRGBSurfaceWithFormatFrom(Screen(), SCREEN_W, SCREEN_H, 32, SCREEN_W * 4,
                                           SDL_PIXELFORMAT_RGB888);
  Check(Dst != nullptr, "CreateRGBSurfaceWithFormatFrom");
  Renderer = SDL_CreateSoftwareRenderer(Dst);
  Check(Renderer != nullptr, "CreateSoftwareRenderer");
  Opaque = PictureSurface();
  Check(SDL_SetSurfaceBlendMode(Opaque, SDL_BLENDMODE_NONE) == 0, "SetSurfaceBlendMode");
  Blended = PictureSurface();
  Blend(Blended, PICTURE_TRANSPARENCY);
  const uint32_t Key = SDL_MapRGB(Opaque->format, KEY_COLOUR.R, KEY_COLOUR.G, KEY_COLOUR.B);
  Keyed = PictureSurface();
  Check(SDL_SetColorKey(Keyed, SDL_TRUE, Key) == 0, "SetColorKey");
  KeyedRle = PictureSurface();
  Check(SDL_SetColorKey(KeyedRle, SDL_TRUE, Key) == 0, "SetColorKey");
  Check(SDL_SetSurfaceRLE(KeyedRle, 1) == 0, "SetSurfaceRLE");
  Stretched = NewSurface(SCALED_W, SCALED_H);
  Blend(Stretched, PICTURE_TRANSPARENCY);
  Shade = NewSurface(SCREEN_W, SCREEN_H);
  SDL_FillRect(Shade, nullptr, Xrgb(SHADE_COLOUR));
  Blend(Shade, FILL_TRANSPARENCY);
  for (const TSpan& S : Work().RingSpans) RingRects.push_back({S.X1, S.Y, S.X2 - S.X1 + 1, 1});

  const SDL_Rect ScaledRect{SCALED_X, SCALED_Y, SCALED_W, SCALED_H};
  AddOp(TWork::FillOpaque, "sdl2", "", "SDL_FillRect", [] {
    SDL_FillRect(Dst, nullptr, SDL_MapRGB(Dst->format, FILL_COLOUR.R, FILL_COLOUR.G, FILL_COLOUR.B));
  });
  AddOp(TWork::FillTranslucent, "sdl2", "blit", "SDL_BlitSurface of a shade surface, alpha mod",
        ShadeByBlit);
  AddOp(TWork::FillTranslucent, "sdl2", "renderer", "software renderer, SDL_RenderFillRect",
        ShadeByRenderer);
  AddOp(TWork::Picture128, "sdl2", "", "SDL_BlitSurface, alpha mod", [] { Blit(Blended, PIC_X, PIC_Y); });
  AddOp(TWork::PictureKey, "sdl2", "", "SDL_BlitSurface, colour key", [] { Blit(Keyed, PIC_X, PIC_Y); });
  AddOp(TWork::PictureKey, "sdl2", "rle", "SDL_BlitSurface, colour key, RLE",
        [] { Blit(KeyedRle, PIC_X, PIC_Y); });
  AddOp(TWork::ScaledOpaque, "sdl2", "", "SDL_BlitScaled",
        [ScaledRect] { BlitScaled(Opaque, Dst, ScaledRect); });
  AddOp(TWork::Scaled128, "sdl2", "", "SDL_BlitScaled, alpha mod",
        [ScaledRect] { BlitScaled(Blended, Dst, ScaledRect); });
  AddOp(TWork::Scaled128, "sdl2", "two_pass", "SDL_BlitScaled to a surface, then SDL_BlitSurface, alpha mod",
        [] {
          BlitScaled(Opaque, Stretched, SDL_Rect{0, 0, SCALED_W, SCALED_H});
          Blit(Stretched, SCALED_X, SCALED_Y);
        });
  AddOp(TWork::Lines, "sdl2", "renderer", "software renderer, SDL_RenderDrawLine", [] {
    DrawColour(STROKE_COLOUR, STROKE_TRANSPARENCY);
    for (const TLine& L : Work().Lines) SDL_RenderDrawLine(Renderer, L.X1, L.Y1, L.X2, L.Y2);
    SDL_RenderFlush(Renderer);
  });
#if defined(COMPARE_HAVE_SDL2_GFX)
  AddOp(TWork::Lines, "sdl2", "gfx", "SDL2_gfx lineRGBA", [] {
    const uint8_t A = Opacity(STROKE_TRANSPARENCY);
    for (const TLine& L : Work().Lines) {
      lineRGBA(Renderer, Sint16(L.X1), Sint16(L.Y1), Sint16(L.X2), Sint16(L.Y2), STROKE_COLOUR.R,
               STROKE_COLOUR.G, STROKE_COLOUR.B, A);
    }
    SDL_RenderFlush(Renderer);
  });
  AddOp(TWork::Circles, "sdl2", "gfx", "SDL2_gfx circleRGBA", [] {
    const uint8_t A = Opacity(STROKE_TRANSPARENCY);
    for (int32_t R : Work().Radii) {
      circleRGBA(Renderer, CENTRE_X, CENTRE_Y, Sint16(R), STROKE_COLOUR.R, STROKE_COLOUR.G,
                 STROKE_COLOUR.B, A);
    }
    SDL_RenderFlush(Renderer);
  });
#endif
  AddOp(TWork::Ring, "sdl2", "renderer", "software renderer, SDL_RenderFillRects on the ring's spans", [] {
    DrawColour(RING_COLOUR, STROKE_TRANSPARENCY);
    SDL_RenderFillRects(Renderer, RingRects.data(), int(RingRects.size()));
    SDL_RenderFlush(Renderer);
  });
  for (const bool ByBlit : {true, false}) {
    AddOp(TWork::Frame, "sdl2", ByBlit ? "blit" : "renderer",
          std::string("SDL_FillRect, SDL_BlitSurface (alpha mod), ") +
              (ByBlit ? "shade surface blit" : "SDL_RenderFillRect"),
          [ByBlit] {
            SDL_FillRect(Dst, nullptr, 0);
            for (const auto& P : FRAME_PICTURES) Blit(Blended, P[0], P[1]);
            if (ByBlit) {
              ShadeByBlit();
            } else {
              ShadeByRenderer();
            }
          });
  }
}

}  // namespace compare
