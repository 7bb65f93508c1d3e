// RLE codec: CompressRle and ExpandRle over the frame's byte operations.
#include "codecs/rle.h"

namespace codecs {

namespace {

// Writes a run of n bytes b whose first byte has already been written: n = 0 is the escaped
// single 0x94, n = 2 one more plain byte, n = 3..255 the escape and the count.
void EmitRun(CodecState& state, int32_t n, uint8_t b) {
  if (n == 0) {
    state.WriteDestByte(RleEscape);
    state.WriteDestByte(0);
  } else if (n == 2) {
    state.WriteDestByte(b);
  } else {
    state.WriteDestByte(RleEscape);
    state.WriteDestByte(static_cast<uint8_t>(n));
  }
}

// Writes b as a token of its own: the escaped form for 0x94, else the plain byte.
void EmitSingle(CodecState& state, uint8_t b) {
  if (b == RleEscape)
    EmitRun(state, 0, RleEscape);
  else
    state.WriteDestByte(b);
}

// Longest run one token can carry.
constexpr int32_t RleMaxRun = 255;

}  // namespace

void CompressRle(CodecState& state) {
  for (;;) {
    const uint8_t b = state.ReadSourceByte();
    if (state.EndOfInput) {
      if (state.InRun) EmitRun(state, state.RunCount, state.LastByte);
      return;
    }
    if (state.InRun) {
      if (b == state.LastByte && state.RunCount < RleMaxRun) {
        ++state.RunCount;
      } else {
        EmitRun(state, state.RunCount, state.LastByte);
        state.LastByte = b;
        EmitSingle(state, b);
        state.InRun = false;
      }
    } else {
      // The escape test comes first, so a run is never opened for 0x94; AtStart keeps a first
      // 0x00 from counting as a repeat of LastByte's start value.
      if (b == RleEscape) {
        EmitRun(state, 0, RleEscape);
      } else if (b == state.LastByte && !state.AtStart) {
        state.RunCount = 2;  // the first byte of the run went out as a plain byte
        state.InRun = true;
      } else {
        state.WriteDestByte(b);
      }
      state.LastByte = b;
    }
    state.AtStart = false;
  }
}

void ExpandRle(CodecState& state) {
  for (;;) {
    const uint8_t a = state.ReadSourceByte();
    if (state.EndOfInput) return;
    if (a != RleEscape) {
      state.WriteDestByte(a);
    } else {
      // At the end of the input the count reads as 0: a trailing escape is a single 0x94.
      const uint8_t c = state.ReadSourceByte();
      if (c == 0) {
        state.WriteDestByte(RleEscape);
      } else {
        for (int k = 1; k < c; ++k) state.WriteDestByte(state.LastByte);
      }
    }
    state.LastByte = a;  // after an escape token this is 0x94, not the repeated byte
  }
}

}  // namespace codecs
