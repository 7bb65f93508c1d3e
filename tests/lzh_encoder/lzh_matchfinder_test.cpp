// The match trees of the LZH encoder: roots, insertion results and tie-breaks, the replacement of
// equal strings, deletion, and the tree invariants after random work.
#include "codecs/lzh_matchfinder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using codecs::LzhFirstRoot;
using codecs::LzhNoNode;
using codecs::TLzhMatchFinder;

constexpr int kStringLen = codecs::LzhMatchStringLen;

class MatchFinder : public ::testing::Test {
 protected:
  void SetUp() override {
    window_.assign(codecs::LzhEncoderWindowSize, 0);
    finder_ = std::make_unique<TLzhMatchFinder>();
    finder_->Window = window_.data();
    finder_->ResetMatchTrees();
  }

  // Writes bytes at window position p (no wrap; tests stay below 4156).
  void Put(int p, const std::string& bytes) {
    std::memcpy(&window_[p], bytes.data(), bytes.size());
  }

  // Length of the common prefix of the strings at a and b, capped at 60.
  int CommonPrefix(int a, int b) const {
    int j = 0;
    while (j < kStringLen && window_[a + j] == window_[b + j]) ++j;
    return j;
  }
  int Compare(int a, int b) const { return std::memcmp(&window_[a], &window_[b], kStringLen); }

  static bool SameTables(const TLzhMatchFinder& a, const TLzhMatchFinder& b) {
    return std::memcmp(a.MatchRight, b.MatchRight, sizeof a.MatchRight) == 0 &&
           std::memcmp(a.MatchLeft, b.MatchLeft, sizeof a.MatchLeft) == 0 &&
           std::memcmp(a.MatchParent, b.MatchParent, sizeof a.MatchParent) == 0 &&
           std::memcmp(a.MatchPrefix, b.MatchPrefix, sizeof a.MatchPrefix) == 0;
  }

  bool InTree(int p) const { return finder_->MatchParent[p] != LzhNoNode; }

  // Walks every tree and checks links, byte order, exact prefix lengths and that exactly the
  // positions with a parent are reached. Returns the number of nodes in the trees.
  int CheckTrees() const {
    const TLzhMatchFinder& f = *finder_;
    int reached = 0;
    for (int root = LzhFirstRoot; root < LzhFirstRoot + codecs::LzhRootCount; ++root) {
      const int top = f.MatchRight[root];
      if (top == LzhNoNode) continue;
      EXPECT_EQ(f.MatchParent[top], root);
      EXPECT_EQ(f.MatchPrefix[top], 1) << "top node " << top;
      // In-order walk with an explicit stack; the previous node must hold a smaller string.
      std::vector<int> stack;
      int node = top;
      int previous = -1;
      while (node != LzhNoNode || !stack.empty()) {
        while (node != LzhNoNode) {
          stack.push_back(node);
          node = f.MatchLeft[node];
        }
        node = stack.back();
        stack.pop_back();
        ++reached;
        EXPECT_EQ(f.SelectRoot(node), root) << "node " << node;
        if (previous >= 0) {
          EXPECT_LT(Compare(previous, node), 0) << previous << " vs " << node;
        }
        previous = node;
        for (int child : {f.MatchLeft[node], f.MatchRight[node]}) {
          if (child == LzhNoNode) continue;
          EXPECT_EQ(f.MatchParent[child], node) << "child " << child;
          EXPECT_EQ(f.MatchPrefix[child], CommonPrefix(child, node)) << "child " << child;
        }
        node = f.MatchRight[node];
      }
    }
    int withParent = 0;
    for (int p = 0; p < LzhNoNode; ++p) withParent += InTree(p);
    EXPECT_EQ(reached, withParent);
    return reached;
  }

  std::vector<uint8_t> window_;
  std::unique_ptr<TLzhMatchFinder> finder_;
};

TEST_F(MatchFinder, RootFromFirstByteAndHashOfTheNextTwo) {
  Put(100, "ABC");
  Put(200, "   ");
  Put(300, std::string("\xFF\x12\x34", 3));  // x = 26, h = 2 ^ 6 = 4
  EXPECT_EQ(finder_->SelectRoot(100), 4418);
  EXPECT_EQ(finder_->SelectRoot(200), 4129);
  EXPECT_EQ(finder_->SelectRoot(300), 4097 + 0xFF + 256 * 4);
}

TEST_F(MatchFinder, FirstInsertionBecomesTopOfItsTree) {
  Put(700, "ABCDEF");
  finder_->InsertPosition(700);
  EXPECT_EQ(finder_->BestLen, 0);
  EXPECT_EQ(finder_->MatchRight[4418], 700);
  EXPECT_EQ(finder_->MatchParent[700], 4418);
  EXPECT_EQ(finder_->MatchPrefix[700], 1);
  EXPECT_EQ(finder_->MatchLeft[700], LzhNoNode);
  EXPECT_EQ(finder_->MatchRight[700], LzhNoNode);
}

TEST_F(MatchFinder, OffsetIsTheDistanceAcrossTheWrapMinusOne) {
  Put(4090, "ABCDEFGHIJ1");
  Put(5, "ABCDEFGHIJ2");
  finder_->InsertPosition(4090);
  finder_->InsertPosition(5);
  EXPECT_EQ(finder_->BestLen, 10);
  EXPECT_EQ(finder_->BestOffset, 10);
}

TEST_F(MatchFinder, FewerThanThreeBytesIsNoMatchAndKeepsTheOffset) {
  Put(10, "ABCD");
  Put(20, "ABCE");
  Put(40, "ABRx");  // same tree as "ABC" ('B' ^ 'R' = 0x10 hashes to 1), two bytes in common
  finder_->InsertPosition(10);
  finder_->InsertPosition(20);
  ASSERT_EQ(finder_->BestLen, 3);
  ASSERT_EQ(finder_->BestOffset, 9);
  finder_->InsertPosition(40);
  EXPECT_EQ(finder_->SelectRoot(40), finder_->SelectRoot(10));
  EXPECT_EQ(finder_->BestLen, 0);
  EXPECT_EQ(finder_->BestOffset, 9);
}

// Two earlier strings on the descent path share the same longest prefix with the new one; the
// nearer is reported whichever of the two the descent meets first.
TEST_F(MatchFinder, NearerOfEqualCandidatesWins) {
  struct Case {
    int first, second;  // inserted in this order; "ABCa" and "ABCb", both below the new "ABCc"
    int expected;
  };
  for (const Case& c : {Case{100, 200, 299}, Case{200, 100, 299}}) {
    SCOPED_TRACE(std::to_string(c.first) + " then " + std::to_string(c.second));
    SetUp();
    Put(c.first, "ABCa");
    Put(c.second, "ABCb");
    Put(500, "ABCc");
    finder_->InsertPosition(c.first);
    finder_->InsertPosition(c.second);
    finder_->InsertPosition(500);
    EXPECT_EQ(finder_->BestLen, 3);
    EXPECT_EQ(finder_->BestOffset, c.expected);
  }
}

// A node passed without reading (its prefix with its parent exceeds what the new string shares)
// is a candidate all the same.
TEST_F(MatchFinder, NodePassedByItsPrefixIsACandidate) {
  Put(100, "ABCDEFa");  // top
  Put(200, "ABCDEFb");  // right of 100, shares 6 bytes with it
  Put(300, "ABCDz");    // larger than both, shares 4 with each
  finder_->InsertPosition(100);
  finder_->InsertPosition(200);
  ASSERT_EQ(finder_->MatchPrefix[200], 6);
  finder_->InsertPosition(300);
  EXPECT_EQ(finder_->BestLen, 4);
  EXPECT_EQ(finder_->BestOffset, 99);  // 200, the nearer
  CheckTrees();
}

TEST_F(MatchFinder, EqualStringTakesTheOlderNode) {
  const std::string body(kStringLen, 'q');
  Put(1000, "A" + body);  // 1000 differs, 1001 is sixty 'q'
  Put(1100, body);
  Put(1200, "q" + std::string(kStringLen, 'r'));  // a child below the equal string
  finder_->InsertPosition(1001);
  finder_->InsertPosition(1200);
  ASSERT_EQ(finder_->MatchParent[1200], 1001);
  finder_->InsertPosition(1100);
  EXPECT_EQ(finder_->BestLen, 60);
  EXPECT_EQ(finder_->BestOffset, 98);
  EXPECT_EQ(finder_->MatchParent[1001], LzhNoNode);
  EXPECT_EQ(finder_->MatchParent[1100], finder_->SelectRoot(1100));
  EXPECT_EQ(finder_->MatchRight[finder_->SelectRoot(1100)], 1100);
  EXPECT_EQ(finder_->MatchParent[1200], 1100);
  EXPECT_EQ(CheckTrees(), 2);

  // The replaced position is in no tree: deleting it changes nothing, nor does deleting a
  // position that was never inserted.
  auto before = std::make_unique<TLzhMatchFinder>(*finder_);
  finder_->DeletePosition(1001);
  finder_->DeletePosition(3000);
  EXPECT_TRUE(SameTables(*before, *finder_));
}

// The deleted node has two children and its left child a right subtree: the largest string of
// that subtree moves up, and its own left child moves into its old place.
TEST_F(MatchFinder, DeletingANodeWithTwoChildren) {
  Put(100, "ABCm");   // p, the top
  Put(200, "ABCd");   // left child of p
  Put(300, "ABCt");   // right child of p
  Put(400, "ABCg");   // right of 200
  Put(500, "ABCkm");  // right of 400: the largest of p's left subtree
  Put(600, "ABCkc");  // left of 500, the only child of the moved node
  Put(610, "ABCka");  // left of 600, one level further down
  for (int p : {100, 200, 300, 400, 500, 600, 610}) finder_->InsertPosition(p);
  ASSERT_EQ(finder_->MatchLeft[500], 600);
  ASSERT_EQ(CheckTrees(), 7);

  finder_->DeletePosition(100);
  EXPECT_EQ(finder_->MatchParent[100], LzhNoNode);
  EXPECT_EQ(finder_->MatchRight[4418], 500);
  EXPECT_EQ(finder_->MatchLeft[500], 200);
  EXPECT_EQ(finder_->MatchRight[500], 300);
  EXPECT_EQ(finder_->MatchRight[400], 600);
  EXPECT_EQ(CheckTrees(), 6);

  // Two children again, and the left child has no right subtree: it takes the place itself.
  SetUp();
  Put(100, "ABCm");
  Put(200, "ABCd");
  Put(300, "ABCt");
  Put(210, "ABCa");
  for (int p : {100, 200, 300, 210}) finder_->InsertPosition(p);
  finder_->DeletePosition(100);
  EXPECT_EQ(finder_->MatchRight[4418], 200);
  EXPECT_EQ(finder_->MatchLeft[200], 210);
  EXPECT_EQ(finder_->MatchRight[200], 300);
  EXPECT_EQ(CheckTrees(), 3);
}

// Random inserts and deletes over data with small alphabets, runs and periodic stretches (equal
// strings). Before each insertion BestLen must equal the brute-force longest common prefix with
// any string in the trees, and the reported offset must lead to such a string; the trees are
// walked for invariants as the work goes on.
TEST_F(MatchFinder, RandomWorkKeepsInvariantsAndFindsTheLongestMatch) {
  std::mt19937 rng(20261211);
  for (int round = 0; round < 4; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    SetUp();
    // Stretches of alphabet 2..4, runs and period-5 repeats.
    for (size_t i = 0; i < window_.size();) {
      const int kind = rng() % 4;
      const size_t len = std::min<size_t>(window_.size() - i, 20 + rng() % 200);
      if (kind == 0) {
        std::fill_n(&window_[i], len, uint8_t('a' + rng() % 3));
      } else if (kind == 1 && i >= 5) {
        for (size_t j = 0; j < len; ++j) window_[i + j] = window_[i + j - 5];
      } else {
        const int alphabet = 2 + rng() % 3;
        for (size_t j = 0; j < len; ++j) window_[i + j] = uint8_t('a' + rng() % alphabet);
      }
      i += len;
    }
    // Positions from a small range keep the trees crowded; a few far ones cross the wrap.
    auto pick = [&] { return rng() % 8 == 0 ? int(rng() % 4096) : int(rng() % 600); };
    std::vector<int> inTree;
    for (int step = 0; step < 6000; ++step) {
      if (rng() % 3 == 0) {
        const int p = pick();
        finder_->DeletePosition(p);
        EXPECT_FALSE(InTree(p));
      } else {
        const int r = pick();
        if (InTree(r)) continue;
        int expected = 0;
        std::vector<int> best;
        for (int p = 0; p < LzhNoNode; ++p) {
          if (!InTree(p)) continue;
          const int lcp = CommonPrefix(r, p);
          if (lcp > expected) best.clear();
          if (lcp >= expected) {
            expected = lcp;
            best.push_back(p);
          }
        }
        if (expected < 3) expected = 0;
        finder_->InsertPosition(r);
        ASSERT_EQ(finder_->BestLen, expected) << "step " << step << " position " << r;
        if (expected > 0) {
          const int from = (r - finder_->BestOffset - 1) & 4095;
          EXPECT_NE(std::find(best.begin(), best.end(), from), best.end()) << "step " << step;
        }
      }
      if (step % 500 == 0) CheckTrees();
    }
    CheckTrees();
  }
}

}  // namespace
