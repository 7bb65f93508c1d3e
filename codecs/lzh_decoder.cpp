// LZH decoder: ExpandLzh with its bit reader, symbol and offset decoding.
#include <cstring>
#include <memory>
#include <new>

#include "codecs/lzh.h"
#include "codecs/lzh_model.h"
#include "codecs/lzh_tables.h"
#include "platform/exceptions.h"

namespace codecs {

namespace {

constexpr unsigned LzhWindowMask = LzhWindowSize - 1;
constexpr uint8_t LzhFillByte = 0x20;  // start contents of the window

// Everything a run allocates: one block, allocated once per run.
struct TLzhDecoder {
  TLzhModel Model;                // the adaptive code
  uint8_t Window[LzhWindowSize];  // the last 4096 output bytes, by position
};

// The bit reader. The 16-bit buffer of the format is held left-aligned in 32 bits (bit 31 is the
// next bit; every bit below the valid ones is 0), so a take is a shift and nothing needs masking.
// It lives in ExpandLzh's frame, where the compiler can keep it in registers. The refill rule is
// the format's own: before each take, one byte when at most 8 bits are left. That fixes exactly
// how many source bytes a run consumes, and so where it leaves the source.
struct LzhBitReader {
  CodecState& State;
  uint32_t InBits = 0;      // pending bits, left-aligned
  unsigned InBitCount = 0;  // number of valid bits in InBits, 0..16

  inline void Refill() {
    if (InBitCount <= 8) {
      uint32_t b = State.ReadSourceByte();
      if (State.EndOfInput) b = 0;  // past the end (or after a stop) every byte reads as 0 bits
      InBits |= b << (24 - InBitCount);
      InBitCount += 8;
    }
  }
  // The next bit (0 or 1).
  inline unsigned ReadBit() {
    Refill();
    const unsigned bit = InBits >> 31;
    InBits <<= 1;
    --InBitCount;
    return bit;
  }
  // The next n bits (1..8), first bit most significant.
  inline unsigned ReadBits(unsigned n) {
    Refill();
    const unsigned value = InBits >> (32 - n);
    InBits <<= n;
    InBitCount -= n;
    return value;
  }
};

// The next symbol (0..313); the model is updated after the walk, so the code used is the one
// from before the symbol's own update.
inline int DecodeSymbol(TLzhModel& model, LzhBitReader& in) {
  const int s = model.DecodeWalk([&in]() { return in.ReadBit(); });
  model.CountSymbol(s);
  return s;
}

// The next offset (0..4095): the first byte holds the prefix code of the upper six bits and the
// first of the lower ones; n more bits complete the lower six.
inline unsigned DecodeOffset(LzhBitReader& in) {
  const unsigned i = in.ReadBits(8);
  const unsigned u = LeadHighPart[i];
  const unsigned n = LeadCodeLen[i] - 2u;  // 1..6
  const unsigned r = in.ReadBits(n);
  return u * 64 + (((i << n) | r) & 63);
}

}  // namespace

void ExpandLzh(CodecState& state, int32_t DestSize) {
  if (DestSize <= 0) return;  // nothing is read or written
  std::unique_ptr<TLzhDecoder> decoder(new (std::nothrow) TLzhDecoder);
  if (!decoder) throw platform::EOutOfMemory();
  TLzhModel& model = decoder->Model;
  uint8_t* const window = decoder->Window;
  model.ResetModel();
  LzhBitReader in{state};
  // Positions 0..4035 start as spaces; 4036..4095 have no defined content and get the same
  // fixed value (a stream never reads them before writing them).
  std::memset(window, LzhFillByte, LzhWindowSize);
  unsigned pos = LzhWindowStart;
  // 64 bits: a last match may run up to 59 bytes past DestSize, even near the 32-bit limit.
  int64_t produced = 0;

  while (produced < DestSize) {
    const int s = DecodeSymbol(model, in);
    if (s < 256) {
      const uint8_t b = static_cast<uint8_t>(s);
      state.WriteDestByte(b);
      window[pos] = b;
      pos = (pos + 1) & LzhWindowMask;
      ++produced;
    } else {
      // A match is copied whole and byte by byte: it may overlap the bytes it produces.
      const unsigned length = static_cast<unsigned>(s) - 253;
      const unsigned offset = DecodeOffset(in);
      unsigned from = (pos - offset - 1) & LzhWindowMask;
      for (unsigned k = 0; k < length; ++k) {
        const uint8_t b = window[from];
        from = (from + 1) & LzhWindowMask;
        state.WriteDestByte(b);
        window[pos] = b;
        pos = (pos + 1) & LzhWindowMask;
      }
      produced += length;
    }
  }
}

}  // namespace codecs
