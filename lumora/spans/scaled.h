// lumora scaled spans: one row of a picture shown wider than it is, put straight from the
// source row, each 8 screen pixels gathered from the source by one permute. Used by the
// picture display; the kernels are in spans.cpp and spans_avx2.cpp.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lumora::detail {

// 8 neighbouring screen pixels whose source pixels lie within the 8 source pixels from
// byte Base of the source row: the Nth is pixel Index[N] from Base.
struct TGatherBlock {
  size_t Base;
  uint8_t Index[8];
};

// Plans the scaled span of Columns >= 8 screen pixels showing the source pixels at byte
// offsets ColumnOffset[0 .. Columns) of a row of RowBytes bytes: Blocks[I] for the pixels
// 8 I .. 8 I + 7, and when Columns is not a multiple of 8 one more block for the last 8
// pixels (Columns / 8 + 1 blocks at most). True when every block's source pixels lie
// within 8 consecutive ones (a picture shown at least as wide as it is) and the processor
// has the permute; false otherwise, and the row is to be gathered pixel by pixel.
bool PlanScaledSpan(const size_t* ColumnOffset, int32_t Columns, size_t RowBytes,
                    TGatherBlock* Blocks);

// PictureSpan(Dst + J x Stride, P, Columns, Alpha, Key) for J < Rows, with P the pixels
// that Blocks pick from SrcRow: Rows screen rows that show the same source row. Only with
// the blocks of a PlanScaledSpan that returned true; the rows do not overlap.
void ScaledPictureSpan(uint8_t* Dst, int64_t Stride, int32_t Rows, const uint8_t* SrcRow,
                       int32_t Columns, const TGatherBlock* Blocks, uint32_t Alpha, int32_t Key);

}  // namespace lumora::detail
