// The LZH encoder's match finder: for each window position, the longest earlier string of up to
// 60 bytes that begins with the same bytes, and its offset.
//
// Every window position p (0..4095) stands for its string, the 60 bytes Window[p..p+59]; the
// encoder's window carries a mirror of bytes 0..58 at 4096..4154, so a string never wraps. The
// strings are kept in 4096 binary search trees, one per first byte and 4-bit hash of the next two
// bytes (SelectRoot), ordered by unsigned byte comparison. Each node records how many leading
// bytes it shares with its parent (MatchPrefix), which lets a descent skip or resume comparisons.
// A tree never holds two equal strings: a new string equal to one in the tree takes its node.
//
// Node indices are 16 bits: 0..4095 positions, 4096 (LzhNoNode) an empty link or "in no tree",
// 4097..8192 the roots. A root's only link is MatchRight, the top node of its tree.
//
// Which of several equally long matches is reported depends on the exact shape of the trees, so
// the insertion, deletion and tie-break rules here are part of the stream format the encoder
// writes: the nearest of the equal candidates met on the descent path wins.
#pragma once

#include <cstdint>

namespace codecs {

constexpr uint16_t LzhNoNode = 4096;     // empty link; as a parent: the position is in no tree
constexpr uint16_t LzhFirstRoot = 4097;  // root of tree 0; roots run to 8192
constexpr int LzhRootCount = 4096;       // 256 first bytes x 16 hash values
constexpr int LzhMatchStringLen = 60;    // bytes of a string, and the longest match
constexpr int LzhMirrorLen = 59;         // window bytes 0..58 repeated at 4096..4154
// Window of the compressing direction: the 4096-byte ring, its mirror and one unused byte.
constexpr int LzhEncoderWindowSize = 4156;

struct TLzhMatchFinder {
  uint16_t MatchRight[8194];   // right child of a position, top node of a root, or LzhNoNode
  uint16_t MatchLeft[4097];    // left child of a position, or LzhNoNode
  uint16_t MatchParent[4098];  // parent (position or root), LzhNoNode when in no tree; [4096]
                               // is a scratch slot written when a "child" is LzhNoNode
  uint8_t MatchPrefix[4098];   // leading bytes (1..60) shared with the parent; 1 under a root
  uint16_t BestLen;            // after InsertPosition: 0, or the best match length 3..60
  uint16_t BestOffset;         // offset (distance - 1) of that match; kept when BestLen is 0
  const uint8_t* Window;       // the encoder's window of LzhEncoderWindowSize bytes

  // Empties every tree (the roots and the parents of the positions; nothing else is read before
  // it is written).
  void ResetMatchTrees();

  // Root index (4097..8192) of the tree of the string at p.
  uint16_t SelectRoot(int p) const {
    const uint8_t* s = Window + p;
    unsigned x = s[1] ^ s[2];
    unsigned h = (x ^ (x >> 4)) & 15;
    return static_cast<uint16_t>(LzhFirstRoot + s[0] + 256 * h);
  }

  // Inserts position r (in no tree, its 60 bytes in place) and sets BestLen and, when a match
  // of 3 or more bytes was met, BestOffset.
  void InsertPosition(int r);
  // Removes position p from its tree; nothing when it is in no tree.
  void DeletePosition(int p);

  // MatchPrefix[c] for c placed under a, when the first k bytes of both are known to agree.
  void MeasurePrefix(int k, int a, int c);
  // MatchPrefix[c] when b, a child of a, is taken out and its child c takes its place under a.
  void InheritPrefix(int a, int b, int c);
};

}  // namespace codecs
