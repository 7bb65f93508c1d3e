// Method identification and the expansion and verification of one entry.
#include <gtest/gtest.h>

#include <optional>

#include "archive_fixture.h"
#include "expander/quarnel.h"
#include "platform/exceptions.h"

namespace {

using namespace expander;
using expandertest::Bytes;
using platform::TMemoryStream;

// IdentifyMethod with every combination of the two events that matters.
TEST(IdentifyMethod, BuiltInCustomAndRecognizedIdentifiers) {
  enum Recognizer { kNone, kYes, kNo };
  struct Case {
    const char* id;
    bool withExpand;
    Recognizer recognizer;
    int expected;  // method code, or -1 for EUnrecognizedCompressionMethod
    bool recognizeCalled;
  };
  const Case cases[] = {
      {"NON", false, kNone, 0, false},
      {"RLE", false, kNone, 1, false},
      {"LZH", false, kNone, 2, false},
      {"non", false, kNone, -1, false},  // exact, case-sensitive
      {"lzh", true, kYes, 3, true},      // not built in: the recognizer decides
      {"CUS", false, kNone, -1, false},
      {"CUS", false, kYes, -1, false},  // no custom identifiers without OnExpand
      {"CUS", true, kNone, 3, false},
      {"CUS", true, kNo, 3, false},
      {"RLE", true, kYes, 1, false},
      {"LZH", true, kYes, 2, false},
      {"XYZ", true, kYes, 3, true},
      {"XYZ", true, kNo, -1, true},
      {"XYZ", true, kNone, -1, false},
      {"XYZ", false, kYes, -1, false},
      {"NON", true, kNo, 0, true},  // the recognizer is asked, then "NON" still stands
  };
  for (const Case& c : cases) {
    TQuarnel q;
    bool called = false;
    if (c.withExpand)
      q.OnExpand = [](ByteStream&, ByteStream&, int32_t, int32_t, const std::string&, int32_t&) {};
    if (c.recognizer != kNone)
      q.OnRecognize = [&](const std::string& id, bool& recognized) {
        called = true;
        EXPECT_EQ(id, c.id);
        EXPECT_FALSE(recognized);
        recognized = c.recognizer == kYes;
      };
    SCOPED_TRACE(std::string(c.id) + (c.withExpand ? " with OnExpand" : ""));
    if (c.expected < 0) {
      try {
        q.IdentifyMethod(c.id);
        ADD_FAILURE() << "no exception";
      } catch (const EUnrecognizedCompressionMethod& e) {
        EXPECT_STREQ(e.what(), "Unrecognized compression method in header");
      }
    } else {
      EXPECT_EQ(q.IdentifyMethod(c.id), c.expected);
    }
    EXPECT_EQ(called, c.recognizeCalled);
  }
}

// The RLE stream 41 94 05 42 expands to 41 41 41 41 41 42, whose sum is 391.
const std::vector<uint8_t> kRleData = {0x41, 0x94, 0x05, 0x42};
const std::vector<uint8_t> kRleExpanded = {0x41, 0x41, 0x41, 0x41, 0x41, 0x42};
constexpr uint32_t kRleSum = 391;

enum class Outcome { kPass, kBadChecksum, kInvalidKey };

Outcome Expand(TQuarnel& q, TMemoryStream& dest, TMemoryStream& source, uint32_t checksum,
               bool locked, uint8_t method = mtRLE) {
  try {
    q.ExpandEntryData(dest, source, static_cast<int32_t>(source.Bytes().size()),
                      static_cast<int32_t>(kRleExpanded.size()), checksum, method, "RLE", locked);
    return Outcome::kPass;
  } catch (const EBadChecksum& e) {
    EXPECT_STREQ(e.what(), "Bad checksum during expansion -- data may be invalid");
    return Outcome::kBadChecksum;
  } catch (const EInvalidKey& e) {
    EXPECT_STREQ(e.what(), "File locked -- valid key required");
    return Outcome::kInvalidKey;
  }
}

TEST(ExpandEntryData, ChecksumAndKeyRules) {
  struct Case {
    bool locked;
    int32_t key;
    uint32_t checksum;
    Outcome expected;
  };
  const Case cases[] = {
      {false, 0, kRleSum, Outcome::kPass},
      {false, 0, kRleSum + 1, Outcome::kBadChecksum},
      {false, 7, kRleSum + 7, Outcome::kBadChecksum},  // the key only helps locked entries
      {true, 7, kRleSum + 7, Outcome::kPass},
      {true, 7, kRleSum, Outcome::kPass},
      {true, 7, kRleSum + 8, Outcome::kInvalidKey},
      {true, -1, kRleSum - 1, Outcome::kPass},  // 391 + 0xFFFFFFFF wraps to 390
      {true, INT32_MIN, kRleSum + 0x80000000u, Outcome::kPass},
      {true, -1, kRleSum - 2, Outcome::kInvalidKey},
  };
  for (const Case& c : cases) {
    TQuarnel q;
    q.Key = c.key;
    TMemoryStream source(kRleData), dest;
    const Outcome got = Expand(q, dest, source, c.checksum, c.locked);
    EXPECT_EQ(got, c.expected) << "locked " << c.locked << " key " << c.key << " checksum "
                               << c.checksum;
    // Whatever the verdict, the data has been written in full.
    EXPECT_EQ(dest.Bytes(), kRleExpanded);
  }
}

TEST(ExpandEntryData, LockedWithoutKeyTouchesNothing) {
  TQuarnel q;
  TMemoryStream source(kRleData), dest;
  EXPECT_EQ(Expand(q, dest, source, kRleSum, true), Outcome::kInvalidKey);
  EXPECT_EQ(source.Position(), 0);
  EXPECT_TRUE(dest.Bytes().empty());
}

TEST(ExpandEntryData, StoredEntriesAreCopiedAndNeverVerified) {
  TQuarnel q;
  TMemoryStream source(Bytes("plain bytes+next")), dest;
  q.ExpandEntryData(dest, source, 11, 11, 0xDEADBEEF, mtNone, "LZH", false);
  EXPECT_EQ(dest.Bytes(), Bytes("plain bytes"));
  EXPECT_EQ(source.Position(), 11);

  TMemoryStream empty;
  q.ExpandEntryData(empty, source, 0, 0, 123, mtNone, "NON", false);
  EXPECT_TRUE(empty.Bytes().empty());
  EXPECT_EQ(source.Position(), 11);  // nothing read

  TMemoryStream shortSource(Bytes("abc")), partial;
  EXPECT_THROW(q.ExpandEntryData(partial, shortSource, 10, 10, 0, mtNone, "NON", false),
               platform::EReadError);
}

// Code 3 without a handler and codes above 3: nothing written, Sum 0, and Source moves past the
// stored data so the next entry header is read from its own place.
TEST(ExpandEntryData, EntriesNoDecoderTakesAreStepped) {
  struct Case {
    uint8_t method;
    bool locked;
    int32_t key;
    uint32_t checksum;
    Outcome expected;
  };
  const Case cases[] = {
      {mtCustom, false, 0, 0, Outcome::kPass}, {mtCustom, false, 0, 1, Outcome::kBadChecksum},
      {4, false, 0, 0, Outcome::kPass},        {255, false, 0, 5, Outcome::kBadChecksum},
      {9, true, 42, 42, Outcome::kPass},  // locked: the stored checksum is the key itself
      {9, true, 42, 43, Outcome::kInvalidKey},
  };
  for (const Case& c : cases) {
    TQuarnel q;
    q.Key = c.key;
    TMemoryStream source(Bytes("xyzNEXT")), dest;
    try {
      q.ExpandEntryData(dest, source, 3, 10, c.checksum, c.method, "NON", c.locked);
      EXPECT_EQ(c.expected, Outcome::kPass) << int(c.method);
    } catch (const EBadChecksum&) {
      EXPECT_EQ(c.expected, Outcome::kBadChecksum) << int(c.method);
    } catch (const EInvalidKey&) {
      EXPECT_EQ(c.expected, Outcome::kInvalidKey) << int(c.method);
    }
    EXPECT_TRUE(dest.Bytes().empty());
    EXPECT_EQ(source.Position(), 3);
  }
}

TEST(ExpandEntryData, CustomHandlerGetsTheEntryAndItsChecksumIsVerified) {
  TQuarnel q;
  int calls = 0;
  // A toy custom format: each stored byte stands for two copies of itself.
  q.OnExpand = [&](ByteStream& dest, ByteStream& source, int32_t Sourcesize, int32_t Destsize,
                   const std::string& CompressID, int32_t& checksum) {
    ++calls;
    EXPECT_EQ(Sourcesize, 2);
    EXPECT_EQ(Destsize, 4);
    EXPECT_EQ(CompressID, "XYZ");
    EXPECT_EQ(checksum, 0);
    uint8_t in[2];
    source.ReadBuffer(in, 2);
    const uint8_t out[4] = {in[0], in[0], in[1], in[1]};
    dest.WriteBuffer(out, 4);
    checksum = 2 * in[0] + 2 * in[1];
  };
  TMemoryStream source(Bytes("ab")), dest;
  q.ExpandEntryData(dest, source, 2, 4, 2 * 'a' + 2 * 'b', mtCustom, "XYZ", false);
  EXPECT_EQ(dest.Bytes(), Bytes("aabb"));

  TMemoryStream source2(Bytes("ab")), dest2;
  EXPECT_THROW(q.ExpandEntryData(dest2, source2, 2, 4, 0, mtCustom, "XYZ", false), EBadChecksum);
  EXPECT_EQ(calls, 2);
}

// A decoder that needs less than the stored data leaves the walk on the next entry boundary.
TEST(ExpandEntryData, SourceEndsBehindTheStoredDataWhateverTheDecoderRead) {
  TQuarnel q;
  q.OnExpand = [](ByteStream& dest, ByteStream& source, int32_t, int32_t, const std::string&,
                  int32_t& checksum) {
    uint8_t b;
    source.ReadBuffer(&b, 1);  // reads one of its five bytes
    dest.WriteBuffer(&b, 1);
    checksum = b;
  };
  TMemoryStream source(Bytes("12345NEXT")), dest;
  q.ExpandEntryData(dest, source, 5, 1, '1', mtCustom, "CUS", false);
  EXPECT_EQ(source.Position(), 5);
}

TEST(ExpandEntryData, ProgressHandlerReachesTheCodecFrame) {
  TQuarnel q;
  std::vector<int32_t> reports;
  q.OnShowProgress = [&](int32_t& p) { reports.push_back(p); };
  TMemoryStream source(kRleData), dest;
  EXPECT_EQ(Expand(q, dest, source, kRleSum, false), Outcome::kPass);
  EXPECT_EQ(reports, std::vector<int32_t>{100});
}

}  // namespace
