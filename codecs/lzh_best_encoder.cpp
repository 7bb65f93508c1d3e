// The slower LZH encoder (lzh_best.h): hash-chain match lists, a least-cost parse per block and
// the real adaptive model for the coding.
//
// Positions are counted on one line that starts with the 4036 spaces the window is filled with:
// line position p is window position p mod 4096, and the first input byte stands at 4036. A copy
// at p of length L and distance d (1..4096) reads line positions p - d .. p - d + L - 1, which the
// decoder holds in its window when it needs them (a copy may overlap the bytes it produces);
// requiring p - d >= 0 keeps every copy off the positions 4036..4095 that the stream has not
// written yet.
#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "codecs/lzh.h"
#include "codecs/lzh_best.h"
#include "codecs/lzh_bit_writer.h"
#include "codecs/lzh_model.h"
#include "codecs/lzh_tables.h"
#include "platform/exceptions.h"

namespace codecs {

namespace {

constexpr int kMaxDistance = LzhWindowSize;  // a copy reads at most 4096 bytes back
constexpr uint8_t kFillByte = 0x20;
// The prefilled strings nearest to the input: 3976 is the nearest with 60 spaces after it, so a
// copy from the spaces farther back is always matched as long and nearer from one of these.
constexpr int kFirstPrefilled = LzhWindowStart - LzhMaxMatch;

// A block commits at most 8192 positions; its parse runs kTail positions further, which are
// parsed again with the next block (more than a copy's length, so the seam costs nothing).
constexpr int kMinBlock = 64;
constexpr int kMaxBlock = 8192;
constexpr int kTail = 256;
constexpr int kMaxParse = kMaxBlock + kTail;  // positions of one parse

// The text held: the 4096 bytes behind the block, the block with its tail, the 60 bytes the last
// match search may compare, and slack so that a refill is worth its shift.
constexpr int kTextSize = kMaxDistance + kMaxParse + LzhMaxMatch + 4096;

// Hash chains over three-byte prefixes. A link is kept for 8192 positions, twice the reach of a
// copy, so it is never overwritten while its position can still be matched.
constexpr int kHashBits = 14;
constexpr int kHashSize = 1 << kHashBits;
constexpr int kLinkSize = 2 * kMaxDistance;

// A match list holds at most one match per length 3..60.
constexpr int kListLen = LzhMaxMatch - LzhMinMatch + 1;
constexpr uint32_t kNoCost = 0xFFFFFFFF;

// Everything of one run; allocated once, and Run sets up every field it reads.
struct TLzhBestEncoder {
  TLzhModel Model;          // adaptive code, driven exactly as the decoder drives it
  TLzhBitWriter Bits;       // packs the codes into the frame's output
  CodecState* State;        // the frame run that supplies the bytes
  TLzhBestTuning Tuning;    // within the bounds
  bool InputEnded;          // the frame has reported the end of the input
  int64_t Base;             // line position of Text[0]
  int64_t TextEnd;          // line position after the last byte held
  int64_t Searched;         // positions below have their match lists and are in the chains
  uint8_t Text[kTextSize];  // line positions Base .. TextEnd - 1
  int64_t Head[kHashSize];  // newest position of each hash, -1 for none
  int64_t Link[kLinkSize];  // by position mod 8192: the next older position of its hash
  // Match lists of the positions of one parse, by position - block start: lengths ascending, each
  // with the nearest distance found for it (the nearest copy of a length is the cheapest).
  uint8_t ListCount[kMaxParse];
  uint8_t ListLen[kMaxParse][kListLen];
  uint16_t ListDist[kMaxParse][kListLen];
  // The parse: least cost in bits to reach each position and the last item on that way.
  uint32_t Cost[kMaxParse + 1];
  uint8_t StepLen[kMaxParse + 1];    // 1 for a literal, else the copy's length
  uint16_t StepDist[kMaxParse + 1];  // the copy's distance
  int32_t Path[kMaxParse + 1];       // ends of the chosen items, from the parse's end backwards
  uint32_t Price[LzhSymbolCount];    // current code length of each symbol

  // Next source byte; false from the first end of the input on (a stopped block is not taken
  // further, as in CompressLzh).
  bool TakeSourceByte(uint8_t& b) {
    if (InputEnded) return false;
    b = State->ReadSourceByte();
    if (State->EndOfInput) {
      InputEnded = true;
      return false;
    }
    return true;
  }

  // Writes the current code of s, then counts s.
  void EncodeSymbol(int s) {
    uint32_t code = 0;
    const int len = Model.EncodeWalk(s, code);
    Bits.WriteCode(len, code);
    Model.CountSymbol(s);
  }

  const uint8_t* At(int64_t p) const { return Text + (p - Base); }

  static unsigned HashOf(const uint8_t* s) {
    const uint32_t x = (static_cast<uint32_t>(s[0]) << 16) | (static_cast<uint32_t>(s[1]) << 8) |
                       static_cast<uint32_t>(s[2]);
    return (x * 2654435761u) >> (32 - kHashBits);
  }

  // Puts p at the head of its chain (its three bytes are held).
  void InsertPosition(int64_t p) {
    const unsigned h = HashOf(At(p));
    Link[p & (kLinkSize - 1)] = Head[h];
    Head[h] = p;
  }

  void TopUp(int64_t start);
  void SearchPosition(int64_t p, int slot);
  void SetPrices();
  void ParseBlock(int64_t start, int n);
  int CodeBlock(int64_t start, int n, int commit);
  void Run();
};

// Keeps the 4096 bytes behind start, which the searches from start on may reach, and fills the
// rest of Text from the input.
void TLzhBestEncoder::TopUp(int64_t start) {
  const int64_t keepFrom = std::max<int64_t>(Base, start - kMaxDistance);
  if (keepFrom > Base) {
    std::memmove(Text, Text + (keepFrom - Base), static_cast<size_t>(TextEnd - keepFrom));
    Base = keepFrom;
  }
  uint8_t b;
  while (TextEnd - Base < kTextSize && TakeSourceByte(b)) Text[TextEnd++ - Base] = b;
}

// Lists the matches at p, nearest first: each candidate longer than every nearer one gives the
// lengths up to its own at its distance. Then p joins its chain.
void TLzhBestEncoder::SearchPosition(int64_t p, int slot) {
  const int64_t room = TextEnd - p;
  const int maxLen = room < LzhMaxMatch ? static_cast<int>(room) : LzhMaxMatch;
  int count = 0;
  if (maxLen >= LzhMinMatch) {
    const uint8_t* s = At(p);
    const int64_t limit = std::max<int64_t>(p - kMaxDistance, 0);
    int best = LzhMinMatch - 1;
    int depth = Tuning.ChainDepth;
    for (int64_t c = Head[HashOf(s)]; c >= limit && depth > 0; c = Link[c & (kLinkSize - 1)]) {
      --depth;
      const uint8_t* t = At(c);
      if (t[best] != s[best]) continue;  // cannot be longer than the best so far
      int len = 0;
      while (len < maxLen && t[len] == s[len]) ++len;
      if (len > best) {
        ListLen[slot][count] = static_cast<uint8_t>(len);
        ListDist[slot][count] = static_cast<uint16_t>(p - c);
        ++count;
        best = len;
        if (len == maxLen) break;
      }
    }
    InsertPosition(p);
  }
  ListCount[slot] = static_cast<uint8_t>(count);
}

void TLzhBestEncoder::SetPrices() {
  for (int s = 0; s < LzhSymbolCount; ++s) {
    uint32_t code = 0;
    Price[s] = static_cast<uint32_t>(Model.EncodeWalk(s, code));
  }
}

// The least-cost items over the n positions from start, each ending inside them. The ways out of
// each position are relaxed in order, so Cost[i] is final when i is reached.
void TLzhBestEncoder::ParseBlock(int64_t start, int n) {
  Cost[0] = 0;
  for (int i = 1; i <= n; ++i) Cost[i] = kNoCost;
  const uint8_t* text = At(start);
  for (int i = 0; i < n; ++i) {
    const uint32_t here = Cost[i];
    const uint32_t literal = here + Price[text[i]];
    if (literal < Cost[i + 1]) {
      Cost[i + 1] = literal;
      StepLen[i + 1] = 1;
    }
    const int room = n - i;
    int shorter = LzhMinMatch - 1;
    for (int k = 0; k < ListCount[i] && shorter < room; ++k) {
      const int dist = ListDist[i][k];
      const int top = std::min<int>(ListLen[i][k], room);
      const uint32_t base = here + HighPartLen[(dist - 1) >> 6] + 6u;
      for (int len = shorter + 1; len <= top; ++len) {
        const uint32_t c = base + Price[len + (256 - LzhMinMatch)];
        if (c < Cost[i + len]) {
          Cost[i + len] = c;
          StepLen[i + len] = static_cast<uint8_t>(len);
          StepDist[i + len] = static_cast<uint16_t>(dist);
        }
      }
      shorter = top;
    }
  }
}

// Codes the parsed items that start before commit (all of them when commit is n); returns the
// number of positions coded.
int TLzhBestEncoder::CodeBlock(int64_t start, int n, int commit) {
  int steps = 0;
  for (int i = n; i > 0; i -= StepLen[i]) Path[steps++] = i;
  const uint8_t* text = At(start);
  int done = 0;
  while (steps > 0 && done < commit) {
    const int i = Path[--steps];
    if (StepLen[i] == 1) {
      EncodeSymbol(text[done]);
    } else {
      EncodeSymbol(StepLen[i] + (256 - LzhMinMatch));
      Bits.EncodeOffset(StepDist[i] - 1);
    }
    done = i;
  }
  return done;
}

void TLzhBestEncoder::Run() {
  Model.ResetModel();
  Bits.ResetBits();
  std::fill(Head, Head + kHashSize, int64_t{-1});

  Base = 0;
  std::memset(Text, kFillByte, LzhWindowStart);
  TextEnd = LzhWindowStart;
  Searched = LzhWindowStart;
  TopUp(LzhWindowStart);
  if (TextEnd == LzhWindowStart) return;  // empty input: an empty stream

  for (int64_t p = kFirstPrefilled; p < LzhWindowStart; ++p)
    if (p + LzhMinMatch <= TextEnd) InsertPosition(p);

  const int blockLen = std::clamp(Tuning.BlockLen, kMinBlock, kMaxBlock);
  int64_t start = LzhWindowStart;
  while (start < TextEnd) {
    TopUp(start);
    // The parse ends after the block's tail, or at the end of the input; while more input may
    // come, 60 bytes stay beyond it for the match search, so every list is complete.
    int64_t end = start + blockLen + kTail;
    end = std::min(end, InputEnded ? TextEnd : TextEnd - LzhMaxMatch);
    const bool last = InputEnded && end == TextEnd;
    const int n = static_cast<int>(end - start);
    for (int64_t p = Searched; p < end; ++p) SearchPosition(p, static_cast<int>(p - start));
    Searched = end;

    SetPrices();
    ParseBlock(start, n);
    const int done = CodeBlock(start, n, last ? n : blockLen);

    // The lists of the positions to be parsed again move to the front.
    for (int k = 0; k < n - done; ++k) {
      const int from = done + k;
      ListCount[k] = ListCount[from];
      std::memcpy(ListLen[k], ListLen[from], ListCount[from]);
      std::memcpy(ListDist[k], ListDist[from], ListCount[from] * sizeof ListDist[0][0]);
    }
    start += done;
  }
  Bits.FlushBits();
}

}  // namespace

void CompressLzhBestWith(CodecState& state, const TLzhBestTuning& tuning) {
  // Not value-initialised (about 1.5 MB): Run sets up everything it reads.
  std::unique_ptr<TLzhBestEncoder> encoder(new (std::nothrow) TLzhBestEncoder);
  if (!encoder) throw platform::EOutOfMemory();
  encoder->State = &state;
  encoder->Bits.State = &state;
  encoder->Tuning = tuning;
  encoder->Tuning.ChainDepth = std::max(tuning.ChainDepth, 1);
  encoder->InputEnded = false;
  encoder->Run();
}

void CompressLzhBest(CodecState& state) {
  CompressLzhBestWith(state, TLzhBestTuning());
}

}  // namespace codecs
