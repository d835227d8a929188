// lumora pictures: .bmp loading and scaled, blended picture display.
// Included by lumora.h; relies on the display core (blend, GetAvailRAMMemory).
#pragma once

#include <cstdint>
#include <string>

#include "lumora/canvas.h"
#include "lumora/display.h"

namespace lumora {

// A loaded picture: ImageWidth x ImageHeight pixels of 4 bytes (blue, green, red, a fourth
// byte that the loader sets to 0 and nothing reads), rows top to bottom. Records start out
// not loaded (all fields cleared); a copy of a record shares its pixel buffer.
struct TPicture {
  std::string FileName;            // the name as given, without its last four characters
  bool Loaded = false;             // false: the record holds no picture and draws nothing
  uint32_t ImageWidth = 0;         // size after any reduction, at least 1 when loaded
  uint32_t ImageHeight = 0;
  PDataElement PictureAdr = nullptr;  // ImageWidth x ImageHeight x 4 bytes
};

// ===================================================================== loading

// Result codes of LoadBMPPicture. On any code but BMP_OK the record is unchanged, nothing
// the call allocated is kept and the file is closed.
inline constexpr uint8_t BMP_OK = 0;
// The file cannot be opened for reading (missing, unreadable, a directory, or a name holding
// a zero byte).
inline constexpr uint8_t BMP_CANNOT_OPEN = 1;
// CompressionMethod is not 0 (run-length encoded or bit fields).
inline constexpr uint8_t BMP_COMPRESSED = 2;
// BitsPerPixel is neither 8 nor 24.
inline constexpr uint8_t BMP_UNSUPPORTED_DEPTH = 3;
// The stored picture (after reduction) would exceed MAX_SIZE bytes; exactly MAX_SIZE passes.
inline constexpr uint8_t BMP_TOO_LARGE = 4;
// Pixel buffer + row length + 264 bytes exceed GetAvailRAMMemory(); equality passes.
inline constexpr uint8_t BMP_NOT_ENOUGH_MEMORY = 5;
// A buffer could not be allocated.
inline constexpr uint8_t BMP_ALLOCATION_FAILED = 6;
// The file does not begin with the signature "BM": not a bitmap.
inline constexpr uint8_t BMP_NOT_A_BITMAP = 7;
// Width or height is 0 or 2,147,483,648 and more (among them bitmaps stored top row first,
// whose height is negative).
inline constexpr uint8_t BMP_BAD_DIMENSIONS = 8;
// The file ends before its headers, its palette or the last row that is needed.
inline constexpr uint8_t BMP_TRUNCATED = 9;

// A short description of a LoadBMPPicture result code ("unknown code" beyond 9).
const char* BMPResultText(uint8_t Code);

// Loads an uncompressed 8-bit (palette) or 24-bit .bmp file into Picture, reduced to fit
// MaxWidth x MaxHeight if it is larger (a negative limit counts as 0): first to MaxWidth wide
// with the height R(MaxWidth / W x H), then, if still too high, to MaxHeight high with the
// width R(MaxHeight / height x width); a side that comes out 0 becomes 1. Reduction picks
// source pixels: destination column X takes source column R(W / width x X), rows likewise
// counted from the bottom (R rounds ties to even, in extended precision).
//
// The name is used up to its first 255 characters, and a backslash in it is a directory
// separator ("Pictures\\bear.bmp" opens Pictures/bear.bmp). FileName keeps the name as
// given, without its last four characters.
//
// Codes, in the order they are decided:
//   1 when the file cannot be opened;
//   9 when it is shorter than its header bytes (54, or 26 with the 12-byte core header),
//     unless its first two bytes already show
//     it is no bitmap: 7; 7 when the signature is not "BM"; 8 for a width or height of 0 or
//     2^31 and more. These three end the load before anything else is examined;
//   then 2, 3, 4 and 5 are tested in this order, none stopping the others, and the last
//     that fails decides (5 before 4 before 3 before 2);
//   then 9 when the file is too short for the palette or the rows that are needed (for a
//     regular file this is known before anything is allocated), 6 when an allocation fails.
//
// Layout: when the info header's size is 40, 52, 56, 64, 108 or 124 and ImageDataOffset
// lies at or after its end, the palette is read right behind the info header, as many 4-byte
// entries as fit before ImageDataOffset (at most 256; an index beyond them gives black), and
// the pixels from ImageDataOffset. The 12-byte core header of OS/2 bitmaps is read with its
// 16-bit width and height, no compression, and 3-byte palette entries, laid out alike.
// Otherwise the file is read as if it had a 40-byte info header, a 256-entry palette
// (8-bit) and its pixels right behind. The file is read once, forward; rows behind the last
// one sampled are not read.
//
// Loading into a record that holds a picture releases that picture's buffer on success and
// keeps it on failure.
void LoadBMPPicture(const std::string& PictureName, TPicture& Picture, int32_t MaxWidth,
                    int32_t MaxHeight, uint8_t& Result_);

// The same without a size limit (MaxWidth = MaxHeight = 2,147,483,647).
void LoadBMPPicture(const std::string& PictureName, TPicture& Picture, uint8_t& Result_);

// Releases the pixel buffer of a loaded picture: Loaded becomes false, PictureAdr null;
// FileName, ImageWidth and ImageHeight stay. Does nothing for a record not loaded.
void FreeBMPPicture(TPicture& Picture);

// ===================================================================== display

// Draws Picture scaled to Width x Height with its top-left corner at (X, Y). Destination
// column d (0 .. Width - 1, counted from X) shows source column R((d + 1) / Width x
// (ImageWidth - 1)), the quotient formed first, in extended precision with ties to even;
// rows likewise from the top. So the last column and row always show the picture's last,
// and at its own size the first source column is not shown. Clipping to ViewPort cuts the
// picture without shifting it.
//
// Alpha is the transparency: 0 copies blue, green and red, 255 leaves the screen as it is,
// values between blend as Pixel does. With Transparent, picture pixels whose blue, green and
// red equal those of TransparentColor are skipped (its Alpha and the picture's fourth byte
// do not count). Nothing is drawn for a picture not loaded or a Width or Height of 0.
// Clips and blends; the fourth bytes of the screen are never written.
void ShowAlphaScaleBMPPicture(int32_t X, int32_t Y, const TPicture& Picture, uint32_t Width,
                              uint32_t Height, uint8_t Alpha, bool Transparent,
                              TColor TransparentColor);
// The same on a canvas, clipped to its viewport (see canvas.h). The picture shown must
// not be the one the canvas draws into.
void ShowAlphaScaleBMPPicture(TCanvas& Canvas, int32_t X, int32_t Y, const TPicture& Picture,
                              uint32_t Width, uint32_t Height, uint8_t Alpha, bool Transparent,
                              TColor TransparentColor);

// A loaded picture as a canvas, to draw into it (then show it with ShowAlphaScaleBMPPicture):
// its pixels, rows ImageWidth x 4 bytes apart, the viewport the whole picture. An empty
// canvas, which draws nothing, for a picture not loaded or more than 32,768 pixels wide
// or high. The canvas is valid while the picture stays loaded.
TCanvas PictureCanvas(TPicture& Picture);

}  // namespace lumora
