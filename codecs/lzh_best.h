// The slower LZH encoder: writes the stream format of CompressLzh (lzh.h), read by the same
// ExpandLzh, but chooses its items by cost instead of taking the longest match at each position,
// which gives smaller streams.
//
// The input is parsed in blocks. For every position a hash-chain search over the last 4096 bytes
// lists the nearest match of each length 3..60 it finds; a shortest-path pass over the block then
// picks the literals and copies of the least total cost, priced with the adaptive model's code
// lengths as they stand when the block begins (an offset costs its prefix code plus six bits), and
// the chosen items are coded with the real model. The last positions of each parse are parsed
// again with the next block, so that no copy is cut short at a seam.
//
// What the decoder needs of every stream, and this encoder keeps to: a copy reads only bytes that
// the stream has produced or the 0x20 bytes that window positions 0..4035 start with (never the
// positions 4036..4095 before they are written), reaches back at most 4096 bytes, and never runs
// past the end of the input, because the decoder copies every match whole.
#pragma once

#include "codecs/frame.h"

namespace codecs {

// The knobs of the parse; the defaults are what CompressLzhBest uses.
struct TLzhBestTuning {
  // Positions committed per block, 64..8192: the prices are fixed for a block, so shorter blocks
  // follow the adaptive code more closely at the cost of more re-pricing.
  int BlockLen = 1024;
  // Candidates looked at per position, nearest first, at least 1. A deeper search only finds
  // matches hidden behind many shorter ones of the same prefix, and bounds the time that inputs
  // with long chains of short matches take.
  int ChainDepth = 1024;
};

// Codes the whole remaining input of the frame run and writes the stream; a body for
// RunCompressor (frame.h).
void CompressLzhBest(CodecState& state);
// The same with other knobs (for the benchmarks and tests); values outside their ranges are
// taken as the nearest bound.
void CompressLzhBestWith(CodecState& state, const TLzhBestTuning& tuning);

}  // namespace codecs
