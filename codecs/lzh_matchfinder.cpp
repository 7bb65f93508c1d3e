// Binary search trees of window strings for the LZH encoder (see lzh_matchfinder.h).
#include "codecs/lzh_matchfinder.h"

#include <cstdint>
#include <cstring>

namespace codecs {

namespace {

// The first index j >= i (i <= 60) at which the 60-byte strings a and b differ, or 60 when they
// agree from i to the end. Eight bytes at a time where the machine stores words low byte first;
// the loads never reach past byte 59 of either string.
inline int MatchEnd(const uint8_t* a, const uint8_t* b, int i) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  for (; i + 8 <= LzhMatchStringLen; i += 8) {
    uint64_t x, y;
    std::memcpy(&x, a + i, sizeof x);
    std::memcpy(&y, b + i, sizeof y);
    if (x != y) return i + (__builtin_ctzll(x ^ y) >> 3);
  }
#endif
  while (i < LzhMatchStringLen && a[i] == b[i]) ++i;
  return i;
}

}  // namespace

void TLzhMatchFinder::ResetMatchTrees() {
  for (int x = LzhFirstRoot; x < LzhFirstRoot + LzhRootCount; ++x) MatchRight[x] = LzhNoNode;
  for (int p = 0; p < LzhNoNode; ++p) MatchParent[p] = LzhNoNode;
  BestLen = 0;
  BestOffset = 0;
}

void TLzhMatchFinder::InsertPosition(int r) {
  const uint8_t* key = Window + r;
  MatchLeft[r] = LzhNoNode;
  MatchRight[r] = LzhNoNode;
  int p = SelectRoot(r);
  int i = 1;  // leading bytes known to agree with p: within a tree the first byte always does
  int d = 1;  // last comparison; >= 0 goes right (a root has only its right link)
  int bestLen = 0;
  int need = 3;  // shortest prefix worth a look: a match of 3, or the best length so far
  int bestOffset = BestOffset;
  for (;;) {
    uint16_t& link = d >= 0 ? MatchRight[p] : MatchLeft[p];
    if (link == LzhNoNode) {
      link = static_cast<uint16_t>(r);
      MatchParent[r] = static_cast<uint16_t>(p);
      MatchPrefix[r] = static_cast<uint8_t>(i);
      BestLen = static_cast<uint16_t>(bestLen);
      BestOffset = static_cast<uint16_t>(bestOffset);
      return;
    }
    p = link;
    const int m = MatchPrefix[p];
    if (m < i) {
      // p leaves its parent at byte m, where r still agrees with the parent.
      i = m;
      d = key[i] - Window[p + i];
    } else if (m == i) {
      i = MatchEnd(key, Window + p, i);
      d = i < LzhMatchStringLen ? key[i] - Window[p + i] : 0;
    }
    // m > i: p agrees with its parent beyond byte i, so r differs from p at byte i exactly as it
    // differed from the parent; i and d stand.
    if (i >= need) {
      const int o = ((r - p) & 4095) - 1;
      if (i > bestLen) {
        bestLen = need = i;
        bestOffset = o;
        if (bestLen == LzhMatchStringLen) break;
      } else if (o < bestOffset) {
        bestOffset = o;
      }
    }
  }
  BestLen = static_cast<uint16_t>(bestLen);
  BestOffset = static_cast<uint16_t>(bestOffset);

  // r's string equals p's: r takes p's node, and p leaves the tree. p's own links are stale
  // until p is inserted again, which resets them.
  MatchPrefix[r] = MatchPrefix[p];
  const uint16_t q = MatchParent[p];
  const uint16_t left = MatchLeft[p];
  const uint16_t right = MatchRight[p];
  MatchParent[r] = q;
  MatchLeft[r] = left;
  MatchRight[r] = right;
  MatchParent[left] = static_cast<uint16_t>(r);
  MatchParent[right] = static_cast<uint16_t>(r);
  if (MatchRight[q] == p)
    MatchRight[q] = static_cast<uint16_t>(r);
  else
    MatchLeft[q] = static_cast<uint16_t>(r);
  MatchParent[p] = LzhNoNode;
}

void TLzhMatchFinder::MeasurePrefix(int k, int a, int c) {
  if (a >= LzhNoNode) {
    MatchPrefix[c] = 1;
    return;
  }
  const uint8_t* sa = Window + a;
  const uint8_t* sc = Window + c;
  MatchPrefix[c] =
      static_cast<uint8_t>(MatchEnd(sa, sc, k < LzhMatchStringLen ? k : LzhMatchStringLen));
}

void TLzhMatchFinder::InheritPrefix(int a, int b, int c) {
  const int mb = MatchPrefix[b];
  const int mc = MatchPrefix[c];
  if (mb < mc)
    MatchPrefix[c] = static_cast<uint8_t>(mb);  // c leaves a where b does
  else if (mb == mc)
    MeasurePrefix(mb, a, c);  // both agree with a that far at least
  // mb > mc: c leaves a where it leaves b.
}

void TLzhMatchFinder::DeletePosition(int p) {
  const uint16_t parent = MatchParent[p];
  if (parent == LzhNoNode) return;

  uint16_t q;
  if (MatchRight[p] == LzhNoNode) {
    q = MatchLeft[p];
    if (q != LzhNoNode) InheritPrefix(parent, p, q);
  } else if (MatchLeft[p] == LzhNoNode) {
    q = MatchRight[p];
    InheritPrefix(parent, p, q);
  } else {
    // Two children: the largest string of the left subtree takes p's place.
    q = MatchLeft[p];
    if (MatchRight[q] != LzhNoNode) {
      do q = MatchRight[q];
      while (MatchRight[q] != LzhNoNode);
      const uint16_t qParent = MatchParent[q];
      const uint16_t qLeft = MatchLeft[q];
      if (qLeft != LzhNoNode) InheritPrefix(qParent, q, qLeft);
      MeasurePrefix(1, q, MatchLeft[p]);
      MatchRight[qParent] = qLeft;
      MatchParent[qLeft] = qParent;
      MatchLeft[q] = MatchLeft[p];
      MatchParent[MatchLeft[p]] = q;
    }
    MeasurePrefix(1, parent, q);
    MeasurePrefix(1, q, MatchRight[p]);
    MatchRight[q] = MatchRight[p];
    MatchParent[MatchRight[p]] = q;
  }

  MatchParent[q] = parent;
  if (MatchRight[parent] == p)
    MatchRight[parent] = q;
  else
    MatchLeft[parent] = q;
  MatchParent[p] = LzhNoNode;
}

}  // namespace codecs
