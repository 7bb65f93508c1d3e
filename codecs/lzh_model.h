// The adaptive Huffman model shared by both LZH directions.
//
// 314 symbols: 0..255 literal bytes, 256..313 matches of length symbol - 253 (3..60). The tree is
// a list of node positions 0..626 ordered by weight, the root (626) last; children of a node
// stand at an even position and the odd one after it, so a node's branch bit is the low bit of its
// position. Encoder and decoder start from the same tree (ResetModel) and update it identically
// after every symbol (CountSymbol), rescaling when the root weight reaches 32768. Every tie-break
// below is part of the format: a stream decodes only with exactly the same updates.
//
// After ResetModel symbols 0..115 have 9-bit codes and 116..313 8-bit codes (symbol 0: 110001100,
// symbol 313: 11000101, bits from the root down).
#pragma once

#include <cstdint>

namespace codecs {

constexpr int LzhSymbolCount = 314;          // number of symbols
constexpr int LzhNodeCount = 627;            // 2 * 314 - 1 nodes; also the offset of leaf markers
constexpr int LzhRoot = 626;                 // tree position of the root
constexpr uint32_t LzhWeightLimit = 0x8000;  // root weight at which the tree is rescaled
constexpr int LzhMinMatch = 3;               // shortest match (symbol 256)
constexpr int LzhMaxMatch = 60;              // longest match (symbol 313)

// The tree. Invariants between updates: weights ascend with the position; the children of an
// internal node stand at an even position and the one after it; Parent and Child agree; every
// leaf weighs at least 1, so position 0 holds a leaf and only the root has parent 0.
struct TLzhModel {
  uint16_t Weight[LzhNodeCount + 1];  // weight by position; [627] is the 0xFFFF sentinel
  uint16_t Child[LzhNodeCount];       // first child of an internal node, or 627 + symbol
  uint16_t Parent[LzhNodeCount + LzhSymbolCount];  // parent by position; [627 + s] = leaf of s

  // Builds the initial tree (bit reader and writer are reset by their owners).
  void ResetModel();
  // Records one occurrence of symbol s (0..313).
  void CountSymbol(int s);
  // The same as CountSymbol(s) for the symbol whose leaf the decoding walk has just reached:
  // path[0..depth) are the positions the walk passed, the root's child first and the leaf last.
  // Knowing them spares the climb its chain of parent lookups until the first exchange.
  void CountSymbolOnPath(int s, const uint16_t* path, int depth);
  // Halves all leaf weights and rebuilds the tree; called only by CountSymbol.
  void RescaleModel();
  // The update from position p (a leaf at 0 included) up to the root, as CountSymbol climbs.
  void ClimbFrom(unsigned p);
  // The node at p has just gained weight w and outweighs its right neighbour: it changes place
  // with the last node of its former weight; returns that node's position.
  unsigned ExchangeUp(unsigned p, unsigned w);

  // Code of symbol s as the bits from the root down, left-aligned in 32 bits; returns its length.
  // The weight limit keeps every code far below 32 bits (a depth of d needs a root weight of at
  // least the Fibonacci number F(d + 2), and F(25) already exceeds 32768).
  int EncodeWalk(int s, uint32_t& code) const;

  // The decoding walk: from the root down, one bit per level from nextBit() (0 or 1), to a leaf;
  // returns its symbol. Does not update the model.
  template <class NextBit>
  int DecodeWalk(NextBit&& nextBit) const {
    unsigned c = Child[LzhRoot];
    while (c < static_cast<unsigned>(LzhNodeCount)) c = Child[c + nextBit()];
    return static_cast<int>(c) - LzhNodeCount;
  }
};

}  // namespace codecs
