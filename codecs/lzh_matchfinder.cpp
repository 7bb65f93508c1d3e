// Binary search trees of window strings for the LZH encoder (see lzh_matchfinder.h).
#include "codecs/lzh_matchfinder.h"

namespace codecs {

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
      const uint8_t* s = Window + p;
      while (i < LzhMatchStringLen) {
        d = key[i] - s[i];
        if (d != 0) break;
        ++i;
      }
    }
    // m > i: p agrees with its parent beyond byte i, so r differs from p at byte i exactly as it
    // differed from the parent; i and d stand.
    if (i >= 3) {
      const int o = ((r - p) & 4095) - 1;
      if (i > bestLen) {
        bestLen = i;
        bestOffset = o;
        if (bestLen == LzhMatchStringLen) break;
      } else if (i == bestLen && o < bestOffset) {
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
  int j = k;
  while (j < LzhMatchStringLen && sa[j] == sc[j]) ++j;
  MatchPrefix[c] = static_cast<uint8_t>(j < LzhMatchStringLen ? j : LzhMatchStringLen);
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
