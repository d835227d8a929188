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

// One screen's surfaces.
struct TSurfaces {
  SDL_Surface* Dst;
  SDL_Renderer* Renderer;  // software renderer on Dst
  SDL_Surface* Opaque;     // the picture, no blending
  SDL_Surface* Blended;    // the picture, blended at the picture's opacity
  SDL_Surface* Keyed;      // the picture with its colour key
  SDL_Surface* KeyedRle;   // the same, run-length accelerated
  SDL_Surface* Stretched;  // ScaledW x ScaledH, blended: the second pass of a two-pass blit
  SDL_Surface* Shade;      // the whole screen of the shade colour, blended at the fill opacity
  std::vector<SDL_Rect> RingRects;
};
TSurfaces Surfaces[SCREEN_COUNT];

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
SDL_Surface* PictureSurface(TScreen Screen) {
  const TLayout& L = Layout(Screen);
  SDL_Surface* S = NewSurface(L.PicW, L.PicH);
  for (int32_t Y = 0; Y < L.PicH; ++Y) {
    std::memcpy(static_cast<uint8_t*>(S->pixels) + size_t(Y) * size_t(S->pitch),
                &Work(Screen).Picture[size_t(Y) * size_t(L.PicW)], size_t(L.PicW) * 4);
  }
  return S;
}

void Blend(SDL_Surface* S, uint8_t Transparency) {
  Check(SDL_SetSurfaceBlendMode(S, SDL_BLENDMODE_BLEND) == 0, "SetSurfaceBlendMode");
  Check(SDL_SetSurfaceAlphaMod(S, Opacity(Transparency)) == 0, "SetSurfaceAlphaMod");
}

void Blit(SDL_Surface* Src, SDL_Surface* To, int32_t X, int32_t Y) {
  SDL_Rect R{X, Y, Src->w, Src->h};  // SDL clips the rectangle in place
  SDL_BlitSurface(Src, nullptr, To, &R);
}

void BlitScaled(SDL_Surface* Src, SDL_Surface* To, SDL_Rect R) { SDL_BlitScaled(Src, nullptr, To, &R); }

void DrawColour(SDL_Renderer* Renderer, TRgb C, uint8_t Transparency) {
  SDL_SetRenderDrawBlendMode(Renderer, SDL_BLENDMODE_BLEND);
  SDL_SetRenderDrawColor(Renderer, C.R, C.G, C.B, Opacity(Transparency));
}

void ShadeByRenderer(SDL_Renderer* Renderer) {
  DrawColour(Renderer, SHADE_COLOUR, FILL_TRANSPARENCY);
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

void AddSdlOps(TScreen Screen) {
  const TLayout& L = Layout(Screen);
  TSurfaces& S = Surfaces[int(Screen)];
  S.Dst = SDL_CreateRGBSurfaceWithFormatFrom(Pixels(Screen), L.W, L.H, 32, L.W * 4,
                                             SDL_PIXELFORMAT_RGB888);
  Check(S.Dst != nullptr, "CreateRGBSurfaceWithFormatFrom");
  S.Renderer = SDL_CreateSoftwareRenderer(S.Dst);
  Check(S.Renderer != nullptr, "CreateSoftwareRenderer");
  S.Opaque = PictureSurface(Screen);
  Check(SDL_SetSurfaceBlendMode(S.Opaque, SDL_BLENDMODE_NONE) == 0, "SetSurfaceBlendMode");
  S.Blended = PictureSurface(Screen);
  Blend(S.Blended, PICTURE_TRANSPARENCY);
  const uint32_t Key = SDL_MapRGB(S.Opaque->format, KEY_COLOUR.R, KEY_COLOUR.G, KEY_COLOUR.B);
  S.Keyed = PictureSurface(Screen);
  Check(SDL_SetColorKey(S.Keyed, SDL_TRUE, Key) == 0, "SetColorKey");
  S.KeyedRle = PictureSurface(Screen);
  Check(SDL_SetColorKey(S.KeyedRle, SDL_TRUE, Key) == 0, "SetColorKey");
  Check(SDL_SetSurfaceRLE(S.KeyedRle, 1) == 0, "SetSurfaceRLE");
  S.Stretched = NewSurface(L.ScaledW, L.ScaledH);
  Blend(S.Stretched, PICTURE_TRANSPARENCY);
  S.Shade = NewSurface(L.W, L.H);
  SDL_FillRect(S.Shade, nullptr, Xrgb(SHADE_COLOUR));
  Blend(S.Shade, FILL_TRANSPARENCY);
  for (const TSpan& Sp : Work(Screen).RingSpans) S.RingRects.push_back({Sp.X1, Sp.Y, Sp.X2 - Sp.X1 + 1, 1});

  const SDL_Rect ScaledRect{L.ScaledX, L.ScaledY, L.ScaledW, L.ScaledH};
  const TWorkload& W = Work(Screen);
  AddOp(Screen, TWork::FillOpaque, "sdl2", "", "SDL_FillRect", [&S] {
    SDL_FillRect(S.Dst, nullptr, SDL_MapRGB(S.Dst->format, FILL_COLOUR.R, FILL_COLOUR.G, FILL_COLOUR.B));
  });
  AddOp(Screen, TWork::FillTranslucent, "sdl2", "blit", "SDL_BlitSurface of a shade surface, alpha mod",
        [&S] { Blit(S.Shade, S.Dst, 0, 0); });
  AddOp(Screen, TWork::FillTranslucent, "sdl2", "renderer", "software renderer, SDL_RenderFillRect",
        [&S] { ShadeByRenderer(S.Renderer); });
  AddOp(Screen, TWork::ScaledOpaque, "sdl2", "", "SDL_BlitScaled",
        [&S, ScaledRect] { BlitScaled(S.Opaque, S.Dst, ScaledRect); });
  AddOp(Screen, TWork::Scaled128, "sdl2", "", "SDL_BlitScaled, alpha mod",
        [&S, ScaledRect] { BlitScaled(S.Blended, S.Dst, ScaledRect); });
  AddOp(Screen, TWork::Scaled128, "sdl2", "two_pass",
        "SDL_BlitScaled to a surface, then SDL_BlitSurface, alpha mod", [&S, L] {
          BlitScaled(S.Opaque, S.Stretched, SDL_Rect{0, 0, L.ScaledW, L.ScaledH});
          Blit(S.Stretched, S.Dst, L.ScaledX, L.ScaledY);
        });
  AddOp(Screen, TWork::Lines, "sdl2", "renderer", "software renderer, SDL_RenderDrawLine", [&S, &W] {
    DrawColour(S.Renderer, STROKE_COLOUR, STROKE_TRANSPARENCY);
    for (const TLine& Li : W.Lines) SDL_RenderDrawLine(S.Renderer, Li.X1, Li.Y1, Li.X2, Li.Y2);
    SDL_RenderFlush(S.Renderer);
  });
#if defined(COMPARE_HAVE_SDL2_GFX)
  AddOp(Screen, TWork::Lines, "sdl2", "gfx", "SDL2_gfx lineRGBA", [&S, &W] {
    const uint8_t A = Opacity(STROKE_TRANSPARENCY);
    for (const TLine& Li : W.Lines) {
      lineRGBA(S.Renderer, Sint16(Li.X1), Sint16(Li.Y1), Sint16(Li.X2), Sint16(Li.Y2), STROKE_COLOUR.R,
               STROKE_COLOUR.G, STROKE_COLOUR.B, A);
    }
    SDL_RenderFlush(S.Renderer);
  });
#endif
  AddOp(Screen, TWork::Ring, "sdl2", "renderer", "software renderer, SDL_RenderFillRects on the ring's spans",
        [&S] {
          DrawColour(S.Renderer, RING_COLOUR, STROKE_TRANSPARENCY);
          SDL_RenderFillRects(S.Renderer, S.RingRects.data(), int(S.RingRects.size()));
          SDL_RenderFlush(S.Renderer);
        });
  if (Screen == TScreen::Uhd) {
    AddOp(Screen, TWork::ScaledKey, "sdl2", "", "SDL_BlitScaled, colour key",
          [&S, ScaledRect] { BlitScaled(S.Keyed, S.Dst, ScaledRect); });
    return;
  }
  AddOp(Screen, TWork::Picture128, "sdl2", "", "SDL_BlitSurface, alpha mod",
        [&S, L] { Blit(S.Blended, S.Dst, L.PicX, L.PicY); });
  AddOp(Screen, TWork::PictureKey, "sdl2", "", "SDL_BlitSurface, colour key",
        [&S, L] { Blit(S.Keyed, S.Dst, L.PicX, L.PicY); });
  AddOp(Screen, TWork::PictureKey, "sdl2", "rle", "SDL_BlitSurface, colour key, RLE",
        [&S, L] { Blit(S.KeyedRle, S.Dst, L.PicX, L.PicY); });
#if defined(COMPARE_HAVE_SDL2_GFX)
  AddOp(Screen, TWork::Circles, "sdl2", "gfx", "SDL2_gfx circleRGBA", [&S, L, &W] {
    const uint8_t A = Opacity(STROKE_TRANSPARENCY);
    for (int32_t R : W.Radii) {
      circleRGBA(S.Renderer, Sint16(L.CentreX), Sint16(L.CentreY), Sint16(R), STROKE_COLOUR.R,
                 STROKE_COLOUR.G, STROKE_COLOUR.B, A);
    }
    SDL_RenderFlush(S.Renderer);
  });
#endif
  for (const bool ByBlit : {true, false}) {
    AddOp(Screen, TWork::Frame, "sdl2", ByBlit ? "blit" : "renderer",
          std::string("SDL_FillRect, SDL_BlitSurface (alpha mod), ") +
              (ByBlit ? "shade surface blit" : "SDL_RenderFillRect"),
          [&S, L, ByBlit] {
            SDL_FillRect(S.Dst, nullptr, 0);
            for (const auto& P : FRAME_PICTURES) Blit(S.Blended, S.Dst, P[0], P[1]);
            if (ByBlit) {
              Blit(S.Shade, S.Dst, 0, 0);
            } else {
              ShadeByRenderer(S.Renderer);
            }
          });
  }
}

}  // namespace compare
