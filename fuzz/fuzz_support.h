// lumora fuzzing support: the headless display opened once per process, a scratch file for
// loader inputs and the screen comparisons the fuzz bodies share.
// Relies on the public lumora API only; compiled into the fuzz targets and the regression test.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lumorafuzz {

// Opens the display on the headless platform the first time it is called.
void EnsureDisplay();

// Selects the headless platform again, with GetAvailRAMMemory reporting Bytes. The back
// buffer and the drawing state stay as they are.
void SetAvailMemory(int64_t Bytes);

// Writes Data to this process's scratch file for the given extension (".fnt", ".bmp"),
// in /dev/shm when it exists, and returns the path. The files are removed at exit.
std::string WriteScratch(const uint8_t* Data, size_t Size, const char* Extension);

// printf into a std::string.
std::string Format(const char* Fmt, ...) __attribute__((format(printf, 1, 2)));

// An inclusive rectangle of screen coordinates in 64 bits; empty when X1 > X2 or Y1 > Y2.
struct TRect {
  int64_t X1, Y1, X2, Y2;
};
inline constexpr TRect EMPTY_RECT{0, 0, -1, -1};
bool IsEmpty(const TRect& R);
TRect Intersect(const TRect& A, const TRect& B);
// The smallest rectangle holding both (an empty one adds nothing).
TRect Hull(const TRect& A, const TRect& B);
// The current ViewPort as a rectangle (possibly empty).
TRect ViewPortRect();

// A colour byte C put N times over Old at transparency Alpha, each time as
// round(old x (1 - a) + C x a) with a = 1 - Alpha / 255 held as a double and the rest formed
// in extended precision: the reference for every blend of the library.
uint8_t ReferenceBlend(uint8_t Old, uint8_t C, uint8_t Alpha, unsigned N = 1);

// round(Num / Den x Factor): the quotient first, every step in extended precision, ties to even.
int64_t RoundedScale(int64_t Num, int64_t Den, int64_t Factor);

// A copy of the whole back buffer.
void TakeSnapshot(std::vector<uint8_t>& Snapshot);

// Compares the back buffer with Before: names the first pixel outside Allowed whose four
// bytes changed; "" when none did.
std::string ChangedOutside(const std::vector<uint8_t>& Before, const TRect& Allowed);

// Names the first pixel whose fourth byte is not Value; "" when all are.
std::string FourthBytesNot(uint8_t Value);

// A block of memory holding a canvas: GuardBefore bytes, then Height rows of Width x 4 pixel
// bytes Stride bytes apart (the bytes between the end of one row's pixels and the next row
// belong to no pixel), the block ending GuardAfter bytes behind the last row's pixels.
struct TCanvasBlock {
  int64_t Width = 0, Height = 0, Stride = 0, GuardBefore = 0, GuardAfter = 0;
  size_t Size() const { return size_t(GuardBefore + (Height - 1) * Stride + Width * 4 + GuardAfter); }
  // Byte offset of pixel (X, Y) from the start of the block.
  int64_t Offset(int64_t X, int64_t Y) const { return GuardBefore + Y * Stride + X * 4; }
};

// Compares the block Now with Before (both B.Size() bytes): names the first byte that
// changed outside the pixels of Allowed, a guard or padding byte or a pixel outside it;
// "" when none did.
std::string BlockChangedOutside(const TCanvasBlock& B, const uint8_t* Before, const uint8_t* Now,
                                const TRect& Allowed);

// Names the first pixel of the block inside Allowed whose fourth byte is not Value.
std::string BlockFourthBytesNot(const TCanvasBlock& B, const uint8_t* Now, const TRect& Allowed, uint8_t Value);

// Copies the pixels of R (within the block) from From to To, blocks of layout B.
void CopyPixels(const TCanvasBlock& B, const uint8_t* From, uint8_t* To, const TRect& R);

// The back buffer as a block: no guards, rows ROW_BYTES apart.
TCanvasBlock ScreenBlock();

}  // namespace lumorafuzz
