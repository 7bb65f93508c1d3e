// The LZH model: codes after reset, the node exchange, the rescale moment, the invariants of the
// tree and the agreement of the two walks.
#include "codecs/lzh_model.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using codecs::LzhNodeCount;
using codecs::LzhRoot;
using codecs::LzhSymbolCount;
using codecs::TLzhModel;

std::unique_ptr<TLzhModel> FreshModel() {
  auto m = std::make_unique<TLzhModel>();
  m->ResetModel();
  return m;
}

// The code of s as '0'/'1' characters, bit nearest the root first.
std::string CodeOf(const TLzhModel& m, int s) {
  uint32_t code = 0;
  const int length = m.EncodeWalk(s, code);
  std::string bits;
  for (int i = 0; i < length; ++i) bits += (code >> (31 - i) & 1) ? '1' : '0';
  return bits;
}

int LeafPosition(const TLzhModel& m, int s) {
  return m.Parent[LzhNodeCount + s];
}
int LeafWeight(const TLzhModel& m, int s) {
  return m.Weight[LeafPosition(m, s)];
}

// Invariants 1-5 of the tree; an empty result means they hold.
std::string CheckInvariants(const TLzhModel& m) {
  if (m.Weight[LzhNodeCount] != 0xFFFF) return "sentinel changed";
  if (m.Parent[LzhRoot] != 0) return "root has a parent";
  if (m.Weight[LzhRoot] > 0x8000) return "root above the limit";
  int leaves = 0;
  for (int p = 0; p < LzhNodeCount; ++p) {
    if (p > 0 && m.Weight[p - 1] > m.Weight[p])
      return "weights not ascending at " + std::to_string(p);
    const int c = m.Child[p];
    if (c >= LzhNodeCount) {
      ++leaves;
      if (c >= LzhNodeCount + LzhSymbolCount) return "bad leaf marker at " + std::to_string(p);
      if (m.Parent[c] != p) return "leaf link broken at " + std::to_string(p);
      if (m.Weight[p] < 1) return "leaf of weight 0 at " + std::to_string(p);
    } else {
      if (c % 2 != 0 || c + 1 >= p) return "children misplaced at " + std::to_string(p);
      if (m.Parent[c] != p || m.Parent[c + 1] != p)
        return "parent link broken at " + std::to_string(p);
      if (m.Weight[p] != m.Weight[c] + m.Weight[c + 1])
        return "weight sum wrong at " + std::to_string(p);
    }
    if (p != LzhRoot && m.Parent[p] == 0) return "non-root with parent 0 at " + std::to_string(p);
  }
  if (leaves != LzhSymbolCount) return "leaf count " + std::to_string(leaves);
  if (m.Child[0] < LzhNodeCount) return "position 0 is not a leaf";
  return "";
}

TEST(LzhModel, CodesAfterReset) {
  auto m = FreshModel();
  EXPECT_EQ(CheckInvariants(*m), "");
  EXPECT_EQ(m->Weight[LzhRoot], 314);
  EXPECT_EQ(CodeOf(*m, 0), "110001100");
  EXPECT_EQ(CodeOf(*m, 313), "11000101");
  EXPECT_EQ(CodeOf(*m, 65), "111001101");
  for (int s = 0; s < LzhSymbolCount; ++s) {
    ASSERT_EQ(CodeOf(*m, s).size(), s < 116 ? 9u : 8u) << s;
    ASSERT_EQ(LeafPosition(*m, s), s);
  }
}

TEST(LzhModel, CountSymbolMovesTheLeafUp) {
  auto m = FreshModel();
  m->CountSymbol(65);
  EXPECT_EQ(LeafPosition(*m, 65), 313);
  EXPECT_EQ(CodeOf(*m, 65), "11000101");
  EXPECT_EQ(CodeOf(*m, 313), "111001101");  // took over the former code of 65
  EXPECT_EQ(m->Weight[LzhRoot], 315);
  EXPECT_EQ(CheckInvariants(*m), "");

  m->CountSymbol(65);
  EXPECT_EQ(CodeOf(*m, 65), "1100001");
  EXPECT_EQ(m->Weight[LzhRoot], 316);
  EXPECT_EQ(CheckInvariants(*m), "");
}

TEST(LzhModel, LeafAtPositionZeroIsUpdatedLikeAnyOther) {
  auto m = FreshModel();
  m->CountSymbol(0);
  EXPECT_EQ(LeafWeight(*m, 0), 2);
  EXPECT_EQ(LeafPosition(*m, 0), 313);
  EXPECT_EQ(m->Weight[LzhRoot], 315);
  EXPECT_EQ(CheckInvariants(*m), "");
}

TEST(LzhModel, RescaleHappensInsideThe32455thCall) {
  for (int s : {0, 65, 255, 313}) {
    SCOPED_TRACE(s);
    auto m = FreshModel();
    for (int i = 0; i < 32454; ++i) m->CountSymbol(s);
    ASSERT_EQ(m->Weight[LzhRoot], 32768);  // the limit, not yet acted on
    ASSERT_EQ(LeafWeight(*m, s), 32455);

    // The rescale on its own: the repeated leaf halves (rounded up), the others stay 1.
    TLzhModel scaled = *m;
    scaled.RescaleModel();
    EXPECT_EQ(CheckInvariants(scaled), "");
    EXPECT_EQ(LeafWeight(scaled, s), 16228);
    for (int t = 0; t < LzhSymbolCount; ++t) {
      if (t != s) {
        ASSERT_EQ(LeafWeight(scaled, t), 1) << t;
      }
    }
    EXPECT_EQ(scaled.Weight[LzhRoot], 16541);

    m->CountSymbol(s);
    EXPECT_EQ(LeafWeight(*m, s), 16229);
    EXPECT_EQ(m->Weight[LzhRoot], 16542);
    EXPECT_EQ(CheckInvariants(*m), "");
  }
}

TEST(LzhModel, RescaleOfAFreshTreeRebuildsIt) {
  // All leaves weigh 1 and stay 1; each new node goes after the equal ones already placed, which
  // is exactly the order the reset builds. A different tie-break shuffles the internal nodes.
  auto fresh = FreshModel();
  TLzhModel scaled = *fresh;
  scaled.RescaleModel();
  EXPECT_EQ(0, std::memcmp(&scaled, fresh.get(), sizeof(TLzhModel)));
}

// Symbols drawn from a skewed distribution that changes over time, so that leaves move a lot and
// several rescales happen.
class SymbolSource {
 public:
  explicit SymbolSource(uint32_t seed) : rng_(seed) {}
  int Next(int step) {
    const int phase = step / 20000;
    switch ((phase + rng_()) % 4) {
      case 0:
        return static_cast<int>(rng_() % LzhSymbolCount);
      case 1:
        return static_cast<int>((phase * 37 + rng_() % 8) % LzhSymbolCount);
      case 2:
        return 256 + static_cast<int>(rng_() % 58);
      default:
        return static_cast<int>(std::geometric_distribution<int>(0.05)(rng_) % LzhSymbolCount);
    }
  }

 private:
  std::mt19937 rng_;
};

// The symbols of the leaves in the order of their positions.
std::vector<int> LeafOrder(const TLzhModel& m) {
  std::vector<int> order;
  for (int p = 0; p < LzhNodeCount; ++p)
    if (m.Child[p] >= LzhNodeCount) order.push_back(m.Child[p] - LzhNodeCount);
  return order;
}

TEST(LzhModel, RescaleKeepsTheOrderOfTheLeaves) {
  auto m = FreshModel();
  SymbolSource symbols(7);
  for (int step = 0; step < 30000; ++step) m->CountSymbol(symbols.Next(step));
  const std::vector<int> before = LeafOrder(*m);
  TLzhModel scaled = *m;
  scaled.RescaleModel();
  EXPECT_EQ(LeafOrder(scaled), before);
  for (int s = 0; s < LzhSymbolCount; ++s)
    ASSERT_EQ(LeafWeight(scaled, s), (LeafWeight(*m, s) + 1) / 2) << s;
  EXPECT_EQ(CheckInvariants(scaled), "");
}

// Decodes one symbol by walking the tree with the bits of a code.
int DecodeCode(const TLzhModel& m, uint32_t code, int& bitsTaken) {
  bitsTaken = 0;
  return m.DecodeWalk([&]() { return static_cast<int>(code >> (31 - bitsTaken++) & 1); });
}

TEST(LzhModel, InvariantsAndWalksAgreeInRandomStates) {
  for (uint32_t seed : {1u, 2u, 3u}) {
    SCOPED_TRACE(seed);
    auto m = FreshModel();
    SymbolSource symbols(seed);
    int rescales = 0;
    for (int step = 0; step < 120000; ++step) {
      const bool atLimit = m->Weight[LzhRoot] == 0x8000;
      m->CountSymbol(symbols.Next(step));
      if (atLimit) ++rescales;
      if (step % 997 != 0 && !atLimit) continue;
      ASSERT_EQ(CheckInvariants(*m), "") << "step " << step;
      for (int s = 0; s < LzhSymbolCount; ++s) {
        uint32_t code = 0;
        const int length = m->EncodeWalk(s, code);
        ASSERT_GT(length, 0);
        ASSERT_LE(length, 32);
        int taken = 0;
        ASSERT_EQ(DecodeCode(*m, code, taken), s) << "step " << step;
        ASSERT_EQ(taken, length);
      }
    }
    EXPECT_GE(rescales, 3);
  }
}

}  // namespace
