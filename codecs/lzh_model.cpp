// The LZH model: reset, update with its exchange of equal-weight nodes, and rescale.
#include "codecs/lzh_model.h"

#include <cstring>

namespace codecs {

void TLzhModel::ResetModel() {
  for (int s = 0; s < LzhSymbolCount; ++s) {
    Weight[s] = 1;
    Child[s] = static_cast<uint16_t>(LzhNodeCount + s);
    Parent[LzhNodeCount + s] = static_cast<uint16_t>(s);
  }
  for (int p = LzhSymbolCount, i = 0; p < LzhNodeCount; ++p, i += 2) {
    Weight[p] = static_cast<uint16_t>(Weight[i] + Weight[i + 1]);
    Child[p] = static_cast<uint16_t>(i);
    Parent[i] = Parent[i + 1] = static_cast<uint16_t>(p);
  }
  Weight[LzhNodeCount] = 0xFFFF;  // sentinel: ends the scans for a higher weight
  Parent[LzhRoot] = 0;
}

inline unsigned TLzhModel::ExchangeUp(unsigned p, unsigned w) {
  // q: the last position that weighed what p weighed before the increment.
  size_t q = p + 2;
  while (w > Weight[q]) ++q;
  --q;
  // The subtrees at p and q change places; the positions keep their parents.
  Weight[p] = Weight[q];
  Weight[q] = static_cast<uint16_t>(w);
  const size_t a = Child[p];
  const size_t b = Child[q];
  Child[q] = static_cast<uint16_t>(a);
  Child[p] = static_cast<uint16_t>(b);
  Parent[a] = static_cast<uint16_t>(q);
  if (a < static_cast<size_t>(LzhNodeCount)) Parent[a + 1] = static_cast<uint16_t>(q);
  Parent[b] = static_cast<uint16_t>(p);
  if (b < static_cast<size_t>(LzhNodeCount)) Parent[b + 1] = static_cast<uint16_t>(p);
  return static_cast<unsigned>(q);
}

void TLzhModel::ClimbFrom(unsigned start) {
  size_t p = start;
  do {
    const unsigned w = Weight[p] + 1u;
    Weight[p] = static_cast<uint16_t>(w);
    if (w > Weight[p + 1]) p = ExchangeUp(static_cast<unsigned>(p), w);
    p = Parent[p];
  } while (p != 0);
}

void TLzhModel::CountSymbol(int s) {
  // The root gains exactly one per call, so it meets the limit exactly.
  if (Weight[LzhRoot] == LzhWeightLimit) RescaleModel();
  ClimbFrom(Parent[LzhNodeCount + s]);
}

void TLzhModel::CountSymbolOnPath(int s, const uint16_t* path, int depth) {
  // A rescale rebuilds the tree, and the path with it.
  if (Weight[LzhRoot] == LzhWeightLimit) {
    CountSymbol(s);
    return;
  }
  // Until the first exchange the climb passes the walk's positions in reverse.
  for (const uint16_t* k = path + depth; k != path;) {
    const size_t p = *--k;
    const unsigned w = Weight[p] + 1u;
    Weight[p] = static_cast<uint16_t>(w);
    if (w > Weight[p + 1]) {
      ClimbFrom(Parent[ExchangeUp(static_cast<unsigned>(p), w)]);
      return;
    }
  }
  ++Weight[LzhRoot];  // nothing outweighs the root (its right neighbour is the sentinel)
}

void TLzhModel::RescaleModel() {
  // Gather the leaves at 0..313 in their order, each weight halved and rounded up.
  int j = 0;
  for (int p = 0; p < LzhNodeCount; ++p) {
    if (Child[p] >= LzhNodeCount) {
      Weight[j] = static_cast<uint16_t>((Weight[p] + 1u) / 2);
      Child[j] = Child[p];
      ++j;
    }
  }
  // Join pairs in order; each new node goes after every placed node of at most its weight.
  for (int p = LzhSymbolCount, i = 0; p < LzhNodeCount; ++p, i += 2) {
    const unsigned w = Weight[i] + Weight[i + 1];
    int k = p - 1;
    while (w < Weight[k]) --k;
    ++k;
    const size_t moved = static_cast<size_t>(p - k);
    std::memmove(&Weight[k + 1], &Weight[k], moved * sizeof Weight[0]);
    std::memmove(&Child[k + 1], &Child[k], moved * sizeof Child[0]);
    Weight[k] = static_cast<uint16_t>(w);
    Child[k] = static_cast<uint16_t>(i);
  }
  // Relink the parents.
  for (int p = 0; p < LzhNodeCount; ++p) {
    const unsigned c = Child[p];
    Parent[c] = static_cast<uint16_t>(p);
    if (c < static_cast<unsigned>(LzhNodeCount)) Parent[c + 1] = static_cast<uint16_t>(p);
  }
}

int TLzhModel::EncodeWalk(int s, uint32_t& code) const {
  uint32_t bits = 0;
  int length = 0;
  // Climbing from the leaf, each bit (the low bit of the position) enters at the top, so the bit
  // nearest the root ends up as bit 31.
  for (unsigned p = Parent[LzhNodeCount + s]; p != static_cast<unsigned>(LzhRoot); p = Parent[p]) {
    bits = (bits >> 1) | (static_cast<uint32_t>(p & 1) << 31);
    ++length;
  }
  code = bits;
  return length;
}

}  // namespace codecs
