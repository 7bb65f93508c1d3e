// The bit writer of the LZH encoders: packs codes into bytes, most significant bit first, keeps
// at most 7 bits pending between calls and hands every complete byte to the frame at once.
// CompressLzh and CompressLzhBest share it, so both write exactly the same bits for the same
// items.
#pragma once

#include <cstdint>

#include "codecs/frame.h"
#include "codecs/lzh_tables.h"

namespace codecs {

struct TLzhBitWriter {
  CodecState* State;    // the frame run that takes the bytes
  uint16_t OutBits;     // pending output bits, left-aligned, zeros below
  uint8_t OutBitCount;  // pending bits in OutBits, 0..7 between calls

  void ResetBits() {
    OutBits = 0;
    OutBitCount = 0;
  }

  // Appends the top n (1..16) bits of w; the bits of w below them are 0.
  void WriteBits(int n, uint16_t w) {
    OutBits = static_cast<uint16_t>(OutBits | (w >> OutBitCount));
    OutBitCount = static_cast<uint8_t>(OutBitCount + n);
    if (OutBitCount >= 8) {
      State->WriteDestByte(static_cast<uint8_t>(OutBits >> 8));
      OutBitCount = static_cast<uint8_t>(OutBitCount - 8);
      if (OutBitCount >= 8) {
        State->WriteDestByte(static_cast<uint8_t>(OutBits));
        OutBitCount = static_cast<uint8_t>(OutBitCount - 8);
        // The bits of w that did not fit; a shift of 16 (all of w went out) leaves 0.
        OutBits = static_cast<uint16_t>(static_cast<uint32_t>(w) << (n - OutBitCount));
      } else {
        OutBits = static_cast<uint16_t>(static_cast<uint32_t>(OutBits) << 8);
      }
    }
  }

  // Appends a symbol's code of len bits, left-aligned in code (as TLzhModel::EncodeWalk gives it).
  void WriteCode(int len, uint32_t code) {
    if (len <= 16) {
      WriteBits(len, static_cast<uint16_t>(code >> 16));
    } else {
      // Rare, but a skewed history can make a code longer than WriteBits takes at once.
      WriteBits(16, static_cast<uint16_t>(code >> 16));
      WriteBits(len - 16, static_cast<uint16_t>(code));
    }
  }

  // Upper six bits of the offset o (0..4095) as their prefix code, then the lower six plainly.
  void EncodeOffset(int o) {
    const int u = o >> 6;
    WriteBits(HighPartLen[u], static_cast<uint16_t>(HighPartCode[u] << 8));
    WriteBits(6, static_cast<uint16_t>((o & 63) << 10));
  }

  // Writes the last, partial byte, filled up with 0 bits.
  void FlushBits() {
    if (OutBitCount > 0) State->WriteDestByte(static_cast<uint8_t>(OutBits >> 8));
  }
};

}  // namespace codecs
