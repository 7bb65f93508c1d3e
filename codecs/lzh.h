// LZH codec (method 2): an LZSS window of 4096 bytes with adaptive Huffman coding.
//
// The stream is a bit sequence, most significant bit of each byte first, with no header and no
// end mark; the expanded size is stored outside it. Each token is one symbol of the adaptive model
// (lzh_model.h): 0..255 a literal, 256..313 a copy of symbol - 253 bytes followed by its offset o
// (distance back minus one): the upper six bits of o as a prefix code of 3..8 bits, then the lower
// six bits plainly. The window starts with 0x20 at 0..4035, the first byte goes to 4036.
// Examples: 41 <-> E6 80; sixty 20 <-> C5 1D 80.
#pragma once

#include <cstdint>

#include "codecs/frame.h"

namespace codecs {

constexpr int LzhWindowSize = 4096;  // window positions are taken modulo 4096
constexpr int LzhWindowStart = 4036;  // 4096 - 60: position of the first byte of every stream

// Expands until DestSize bytes have been written (a match is always copied whole).
void ExpandLzh(CodecState& state, int32_t DestSize);
// Codes the whole remaining input of the run and writes the stream.
void CompressLzh(CodecState& state);

}  // namespace codecs
