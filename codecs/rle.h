// RLE codec (method 1) with one escape byte.
//
// Stream: a byte b other than 0x94 is itself; 0x94 0x00 is one byte 0x94; 0x94 c (c = 1..255) is
// c - 1 further copies of the first byte of the previous token. The encoder writes counts 0 and
// 3..255 only, never forms runs of 0x94, and writes runs of two as plain bytes.
// Example: 41 41 41 41 41 42  <->  41 94 05 42.
#pragma once

#include <cstdint>

#include "codecs/frame.h"

namespace codecs {

constexpr uint8_t RleEscape = 0x94;

// Reads the source to its end and writes the RLE stream.
void CompressRle(CodecState& state);
// Reads an RLE stream to its end and writes the data.
void ExpandRle(CodecState& state);

}  // namespace codecs
