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

// Longest code of the model (see TLzhModel::EncodeWalk) and the most bits one item takes: its
// symbol's code, then an offset of at most 8 + 6 bits.
constexpr unsigned LzhMaxCodeLen = 32;
constexpr unsigned LzhMaxItemBits = LzhMaxCodeLen + 14;

// Everything a run allocates: one block, allocated once per run.
struct TLzhDecoder {
  TLzhModel Model;                // the adaptive code
  uint8_t Window[LzhWindowSize];  // the last 4096 output bytes, by position
};

// The bit reader. The format's reader holds 16 bits and takes one byte before each take when at
// most 8 bits are left; that fixes when a new source block is asked for and how many source bytes
// a run consumes. This one holds up to 64 bits, left-aligned (bit 63 is the next bit; every bit
// below the valid ones is 0), and loads ahead only from the block the frame already holds, which
// nothing outside the run can see. Whenever the format's reader would ask the frame for a byte
// that is not in that block (a new block, or the end of the input), this one asks at exactly the
// same take: with the block used up, the bits held are the bits the format's reader holds. Bytes
// taken straight from the block are added to the frame's input sum in one go (Settle), and bytes
// loaded ahead of the format's reader are given back when the run ends (Finish).
struct LzhBitReader {
  CodecState& State;
  uint64_t Bits = 0;                  // pending bits, left-aligned
  unsigned Count = 0;                 // number of valid bits in Bits, 0..64
  const uint8_t* Unsummed = nullptr;  // first block byte taken directly and not yet summed

  explicit LzhBitReader(CodecState& state) : State(state), Unsummed(state.ReadPos) {}

  // Adds the bytes taken directly from the block to the input sum.
  void Settle() {
    // A local sum: the compiler may not keep the member in a register across byte loads.
    uint32_t sum = 0;
    const size_t n = static_cast<size_t>(State.ReadPos - Unsummed);
    for (size_t k = 0; k < n; ++k) sum += Unsummed[k];
    State.InputSum += sum;
    Unsummed = State.ReadPos;
  }

  // Loads whole bytes from the held block, as many as fit; true when it could.
  inline bool LoadAhead() {
    if (State.EndOfInput) return false;  // after the end (or a stop) every byte reads as 0 bits
    const uint8_t* p = State.ReadPos;
    if (State.ReadEnd - p >= 8) {
      uint64_t word;
      std::memcpy(&word, p, sizeof word);
      word = __builtin_bswap64(word);  // first byte most significant
      Bits |= word >> Count;
      const unsigned taken = (63 - Count) >> 3;
      State.ReadPos = p + taken;
      Count += taken * 8;
      return true;
    }
    if (p == State.ReadEnd) return false;
    while (Count <= 56 && p != State.ReadEnd) {
      Bits |= static_cast<uint64_t>(*p++) << (56 - Count);
      Count += 8;
    }
    State.ReadPos = p;
    return true;
  }

  // The format's refill when the held block is used up: one byte through the frame.
  void RefillFromFrame() {
    Settle();
    uint64_t b = State.ReadSourceByte();
    if (State.EndOfInput) b = 0;
    Unsummed = State.ReadPos;
    Bits |= b << (56 - Count);
    Count += 8;
  }

  // Before each take: the format's rule, met from the held block whenever possible.
  inline void Refill() {
    if (Count <= 8 && !LoadAhead()) RefillFromFrame();
  }

  // Before an item: loads ahead while the block lasts; true when the item's takes are then
  // certain to find more than 8 bits each, so that they need no refill.
  inline bool PrepareItem() {
    if (Count < 9 + LzhMaxItemBits) LoadAhead();
    return Count >= 9 + LzhMaxItemBits;
  }

  // The next n bits (1..8), first bit most significant; with Checked, after the format's refill.
  template <bool Checked>
  inline unsigned ReadBits(unsigned n) {
    if (Checked) Refill();
    const unsigned value = static_cast<unsigned>(Bits >> (64 - n));
    Bits <<= n;
    Count -= n;
    return value;
  }

  // Ends the run: bytes loaded ahead of the format's reader go back to the block, so that the
  // frame has consumed and summed exactly the bytes the format's reader takes. lastTake is the
  // number of bits (1..8) of the run's last take.
  void Finish(unsigned lastTake) {
    // With C bits consumed in all and L bytes loaded, Count = 8L - C. Before its last take the
    // format's reader held more than 8 bits (a run's first take is never its last), so it had
    // taken (C - lastTake) / 8 + 2 bytes; only C mod 8 matters for the difference.
    const unsigned r = (8 - Count % 8) % 8;
    const unsigned ahead = (Count + r) / 8 - 2 + (r < lastTake ? 1 : 0);
    State.ReadPos -= ahead;
    Settle();
  }
};

// The next offset (0..4095): the first byte holds the prefix code of the upper six bits and the
// first of the lower ones; n more bits complete the lower six. Returns the size of the last take
// in lastTake.
template <bool Checked>
inline unsigned DecodeOffset(LzhBitReader& in, unsigned& lastTake) {
  const unsigned i = in.ReadBits<Checked>(8);
  const unsigned u = LeadHighPart[i];
  const unsigned n = LeadCodeLen[i] - 2u;  // 1..6
  const unsigned r = in.ReadBits<Checked>(n);
  lastTake = n;
  return u * 64 + (((i << n) | r) & 63);
}

// The output side of a run: the window and the frame's output, written together.
struct LzhOutput {
  CodecState& State;
  uint8_t* const Window;
  unsigned Pos = LzhWindowStart;  // next window position

  inline void Literal(uint8_t b) {
    State.WriteDestByte(b);
    Window[Pos] = b;
    Pos = (Pos + 1) & LzhWindowMask;
  }

  // A match is copied whole and byte by byte: it may overlap the bytes it produces.
  inline void Copy(unsigned offset, unsigned length) {
    unsigned from = (Pos - offset - 1) & LzhWindowMask;
    uint8_t* const out = State.WritePos;
    if (Pos + length <= LzhWindowSize && from + length <= LzhWindowSize &&
        State.OutBuffer + CodecBufferSize - out >= static_cast<ptrdiff_t>(length)) {
      // Neither end wraps and the output block has room: no masks, no flush checks.
      uint8_t* const to = Window + Pos;
      const uint8_t* const src = Window + from;
      uint32_t sum = 0;
      for (unsigned k = 0; k < length; ++k) {
        const uint8_t b = src[k];
        to[k] = b;
        out[k] = b;
        sum += b;
      }
      State.WritePos = out + length;
      State.OutputSum += sum;
      Pos = (Pos + length) & LzhWindowMask;
      return;
    }
    for (unsigned k = 0; k < length; ++k) {
      const uint8_t b = Window[from];
      from = (from + 1) & LzhWindowMask;
      Literal(b);
    }
  }
};

// Decodes one item (a literal, or a match with its offset) and returns the number of bytes it
// produced and the size of its last take. The model is updated after the walk, so the code used
// is the one from before the symbol's own update.
template <bool Checked>
inline unsigned DecodeItem(TLzhModel& model, LzhBitReader& in, LzhOutput& out, unsigned& lastTake) {
  // The walk, keeping the positions it passes for the update.
  uint16_t path[LzhMaxCodeLen];
  uint16_t* end = path;
  size_t c = model.Child[LzhRoot];
  if (Checked) {
    do {
      c += in.ReadBits<true>(1);
      *end++ = static_cast<uint16_t>(c);
      c = model.Child[c];
    } while (c < static_cast<size_t>(LzhNodeCount));
  } else {
    // Enough bits are held for the longest code: take them from a local copy, count them once.
    uint64_t bits = in.Bits;
    do {
      c += static_cast<size_t>(bits >> 63);
      bits <<= 1;
      *end++ = static_cast<uint16_t>(c);
      c = model.Child[c];
    } while (c < static_cast<size_t>(LzhNodeCount));
    in.Bits = bits;
    in.Count -= static_cast<unsigned>(end - path);
  }
  const int s = static_cast<int>(c) - LzhNodeCount;
  model.CountSymbolOnPath(s, path, static_cast<int>(end - path));
  if (s < 256) {
    out.Literal(static_cast<uint8_t>(s));
    lastTake = 1;
    return 1;
  }
  const unsigned length = static_cast<unsigned>(s) - 253;
  out.Copy(DecodeOffset<Checked>(in, lastTake), length);
  return length;
}

}  // namespace

void ExpandLzh(CodecState& state, int32_t DestSize) {
  if (DestSize <= 0) return;  // nothing is read or written
  std::unique_ptr<TLzhDecoder> decoder(new (std::nothrow) TLzhDecoder);
  if (!decoder) throw platform::EOutOfMemory();
  TLzhModel& model = decoder->Model;
  model.ResetModel();
  // Positions 0..4035 start as spaces; 4036..4095 have no defined content and get the same
  // fixed value (a stream never reads them before writing them).
  std::memset(decoder->Window, LzhFillByte, LzhWindowSize);
  LzhBitReader in(state);
  LzhOutput out{state, decoder->Window};
  // 64 bits: a last match may run up to 59 bytes past DestSize, even near the 32-bit limit.
  int64_t produced = 0;
  unsigned lastTake = 1;

  while (produced < DestSize) {
    // Far from the end of the held block no take can need a refill; near it every take checks.
    if (in.PrepareItem())
      produced += DecodeItem<false>(model, in, out, lastTake);
    else
      produced += DecodeItem<true>(model, in, out, lastTake);
  }
  in.Finish(lastTake);
}

}  // namespace codecs
