// The LZH encoder through the codec frame: exact streams for small inputs, round trips through
// the decoder on real and constructed data, repeatability, the end of the input and failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "codecs/frame.h"
#include "codecs/lzh.h"
#include "codecs/lzh_model.h"
#include "codecs/lzh_tables.h"
#include "platform/exceptions.h"
#include "platform/stream.h"

namespace {

using Bytes = std::vector<uint8_t>;
using platform::TMemoryStream;

uint32_t SumOf(const Bytes& data) {
  uint32_t sum = 0;
  for (uint8_t b : data) sum += b;
  return sum;
}

Bytes Compress(const Bytes& data, uint32_t* checksum = nullptr,
               const codecs::TShowProgressEvent& progress = nullptr) {
  TMemoryStream source(data), dest;
  uint32_t sum = 0xDEADBEEF;
  codecs::RunCodec(progress, dest, source, static_cast<int32_t>(data.size()), 0, codecs::mtLZH, sum,
                   codecs::pmCompress);
  if (checksum != nullptr) *checksum = sum;
  return dest.Bytes();
}

Bytes Expand(const Bytes& stream, size_t size) {
  TMemoryStream source(stream), dest;
  uint32_t sum = 0;
  codecs::RunCodec(nullptr, dest, source, static_cast<int32_t>(stream.size()),
                   static_cast<int32_t>(size), codecs::mtLZH, sum, codecs::pmExpand);
  return dest.Bytes();
}

Bytes FromHex(const std::string& hex) {
  Bytes out;
  for (size_t i = 0; i + 1 < hex.size(); i += 3) out.push_back(std::stoi(hex.substr(i, 2), 0, 16));
  return out;
}

std::string ToHex(const Bytes& bytes) {
  static const char* digits = "0123456789ABCDEF";
  std::string out;
  for (uint8_t b : bytes) {
    if (!out.empty()) out += ' ';
    out += digits[b >> 4];
    out += digits[b & 15];
  }
  return out;
}

// Checks the round trip; reports only the first differing byte, not megabytes of data.
void ExpectRoundTrip(const Bytes& data) {
  uint32_t checksum = 0;
  const Bytes stream = Compress(data, &checksum);
  EXPECT_EQ(checksum, SumOf(data));
  const Bytes back = Expand(stream, data.size());
  ASSERT_EQ(back.size(), data.size());
  const auto diff = std::mismatch(data.begin(), data.end(), back.begin());
  EXPECT_TRUE(diff.first == data.end()) << "first difference at " << (diff.first - data.begin());
}

// Reads a stream back the way the decoder does and records the longest symbol code met, and the
// symbols; offsets are skipped. Stops after `bytes` output bytes.
struct StreamTrace {
  int LongestCode = 0;
  std::vector<int> Symbols;
};

StreamTrace TraceStream(const Bytes& stream, size_t bytes) {
  auto model = std::make_unique<codecs::TLzhModel>();
  model->ResetModel();
  size_t bit = 0;
  auto nextBit = [&]() -> int {
    const size_t i = bit++;
    return i / 8 < stream.size() ? (stream[i / 8] >> (7 - i % 8)) & 1 : 0;
  };
  auto nextBits = [&](int n) {
    int v = 0;
    while (n-- > 0) v = (v << 1) | nextBit();
    return v;
  };
  StreamTrace trace;
  for (size_t produced = 0; produced < bytes;) {
    int c = model->Child[codecs::LzhRoot], depth = 0;
    while (c < codecs::LzhNodeCount) {
      c = model->Child[c + nextBit()];
      ++depth;
    }
    const int s = c - codecs::LzhNodeCount;
    model->CountSymbol(s);
    trace.LongestCode = std::max(trace.LongestCode, depth);
    trace.Symbols.push_back(s);
    if (s < 256) {
      ++produced;
    } else {
      const int lead = nextBits(8);
      nextBits(codecs::LeadCodeLen[lead] - 2);
      produced += s - 253;
    }
  }
  return trace;
}

// Appends the files under `folder`, each folder's entries in name order, until `limit` bytes are
// gathered; folders beyond that point are not even listed (a full walk is slow under Wine).
void GatherFiles(const std::filesystem::path& folder, size_t limit, Bytes& data) {
  namespace fs = std::filesystem;
  std::vector<fs::path> entries;
  std::error_code ec;
  for (fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec), end;
       !ec && it != end; it.increment(ec))
    entries.push_back(it->path());
  std::sort(entries.begin(), entries.end());
  for (const auto& path : entries) {
    if (data.size() >= limit) return;
    if (fs::is_symlink(path, ec)) continue;
    if (fs::is_directory(path, ec)) {
      GatherFiles(path, limit, data);
    } else if (fs::is_regular_file(path, ec)) {
      std::ifstream in(path, std::ios::binary);
      Bytes file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      data.insert(data.end(), file.begin(),
                  file.begin() + std::min(file.size(), limit - data.size()));
    }
  }
}

// Input whose symbol history drives codes past 16 bits. A code of depth d needs the weights on
// its path to grow at least like Fibonacci numbers, so the items are copies of 4..11 bytes whose
// counts follow such a chain: each length weighs a little more (20 %) than the larger of the two
// nodes below it, starting from the 300-odd leaves that stay at weight 1. Eight levels on top of
// those leaves (about nine levels deep themselves) give codes of 17 bits shortly before each
// rescale; a byte never used before, now and then, is coded with such a code.
//
// Each item is a prefix of one of 20 words. A word's first byte is its own, so a copy ends
// exactly where the item does unless the same word followed the same item before in the window,
// which the choice of the next word avoids; a word whose last full copy is about to leave the
// window is repeated in full.
Bytes SkewedData() {
  constexpr int kWords = 20, kWordLen = 11;
  const int weights[] = {378, 453, 831, 1375, 2373, 4024, 6873, 11703};  // lengths 4..11
  std::mt19937 rng(11);
  std::vector<Bytes> words(kWords);
  for (int q = 0; q < kWords; ++q) {
    words[q].push_back(static_cast<uint8_t>(q));
    while (words[q].size() < kWordLen) words[q].push_back(static_cast<uint8_t>(40 + rng() % 160));
  }
  Bytes data;
  std::vector<size_t> lastFull(kWords);
  for (int q = 0; q < kWords; ++q) {
    data.insert(data.end(), words[q].begin(), words[q].end());
    lastFull[q] = data.size();
  }
  // Successors seen after each (word, length), with the position where they began.
  std::vector<std::vector<std::pair<int, size_t>>> successors(kWords * (kWordLen + 1));
  int total = 0;
  for (int w : weights) total += w;
  long credit[8] = {};
  int prevWord = -1, prevLen = 0, items = 0, fresh = 0;
  while (data.size() < 600000) {
    // Smooth weighted round robin over the lengths.
    int k = 0;
    for (int j = 0; j < 8; ++j) {
      credit[j] += weights[j];
      if (credit[j] > credit[k]) k = j;
    }
    credit[k] -= total;
    int len = 4 + k;
    int word = rng() % kWords;
    if (prevWord >= 0) {
      const auto& seen = successors[prevWord * (kWordLen + 1) + prevLen];
      for (int tries = 0; tries < 100; ++tries) {
        bool clash = false;
        for (const auto& [w, at] : seen) clash |= w == word && data.size() - at < 4100;
        if (!clash) break;
        word = rng() % kWords;
      }
    }
    const int start = rng() % kWords;
    for (int t = 0; t < kWords; ++t) {
      const int q = (start + t) % kWords;
      if (data.size() - lastFull[q] > 3300) {
        word = q;
        len = kWordLen;
        break;
      }
    }
    if (prevWord >= 0)
      successors[prevWord * (kWordLen + 1) + prevLen].push_back({word, data.size()});
    data.insert(data.end(), words[word].begin(), words[word].begin() + len);
    if (len == kWordLen) lastFull[word] = data.size();
    prevWord = word;
    prevLen = len;
    if (++items % 1600 == 0) {
      data.push_back(static_cast<uint8_t>(200 + fresh++ % 56));
      prevWord = -1;
    }
  }
  return data;
}

// Size and FNV-1a hash of the stream of StreamOfAFixedInputDoesNotDrift's input, as written when
// the test was made.
constexpr size_t kFixedStreamSize = 62893;
constexpr uint32_t kFixedStreamHash = 3752904909u;

// The streams of small inputs, bit for bit.
TEST(LzhEncoderStream, KnownStreams) {
  struct Case {
    const char* name;
    Bytes input;
    std::string stream;
  };
  const Case cases[] = {
      {"empty input: no bytes, not even a flushed one", {}, ""},
      // symbol 65, 9-bit code 111001101, then seven 0 bits
      {"single 41", {0x41}, "E6 80"},
      // symbol 128 has an 8-bit code: nothing left to flush
      {"single 80", {0x80}, "0C"},
      // three literals, then a copy of 9 bytes at offset 2 that overlaps what it produces
      {"61 62 63 four times", FromHex("61 62 63 61 62 63 61 62 63 61 62 63"), "F6 FB BD F2 40 20"},
      // one copy of 60 from position 3976, the farthest of the equal prefilled strings
      {"sixty 20", Bytes(60, 0x20), "C5 1D 80"},
      // a literal, then a copy of 60 at offset 0 that overlaps itself
      {"sixty-one 41", Bytes(61, 0x41), "E6 F3 40 00"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    uint32_t checksum = 0;
    EXPECT_EQ(ToHex(Compress(c.input, &checksum)), c.stream);
    EXPECT_EQ(checksum, SumOf(c.input));
    EXPECT_EQ(Expand(FromHex(c.stream), c.input.size()), c.input);
  }
}

// A match reported over window bytes past the last source byte is cut to the bytes that remain;
// cut to two or fewer it becomes a literal. Sixty-one 20 give one copy of 60 and a literal; 20 20
// "x" 20 20 ends with a match the finder sees as longer than the two bytes left.
TEST(LzhEncoderStream, MatchesAreClampedToTheInput) {
  for (const Bytes& input : {Bytes(61, 0x20), FromHex("20 20 78 20 20"), FromHex("20 20 20"),
                             FromHex("41 42 43 41 42 43 41")}) {
    SCOPED_TRACE(ToHex(input));
    const Bytes stream = Compress(input);
    const StreamTrace trace = TraceStream(stream, input.size());
    size_t coded = 0;
    for (int s : trace.Symbols) coded += s < 256 ? 1 : s - 253;
    EXPECT_EQ(coded, input.size());
    EXPECT_EQ(Expand(stream, input.size()), input);
  }
}

// Which of several equal matches gets coded follows from the exact shape of the match trees; a
// change there still round-trips but writes other bytes. This guards the stream of a fixed mixed
// input (words, runs and noise; window wraps and a rescale) against such drift.
TEST(LzhEncoderStream, StreamOfAFixedInputDoesNotDrift) {
  std::mt19937 rng(2026);
  Bytes data;
  const char* words[] = {"match ", "tree ", "node ", "prefix ", "left ", "right\n"};
  while (data.size() < 250000) {
    switch (rng() % 3) {
      case 0:
        data.insert(data.end(), 1 + rng() % 80, static_cast<uint8_t>(rng()));
        break;
      case 1:
        for (int n = rng() % 40; n > 0; --n) data.push_back(static_cast<uint8_t>(rng()));
        break;
      default:
        for (int n = rng() % 30; n > 0; --n) {
          const char* w = words[rng() % 6];
          data.insert(data.end(), w, w + std::char_traits<char>::length(w));
        }
    }
  }
  const Bytes stream = Compress(data);
  uint32_t hash = 2166136261u;  // FNV-1a
  for (uint8_t b : stream) hash = (hash ^ b) * 16777619u;
  EXPECT_EQ(stream.size(), kFixedStreamSize);
  EXPECT_EQ(hash, kFixedStreamHash);
  EXPECT_GT(TraceStream(stream, data.size()).Symbols.size(), 32454u);  // past the first rescale
  EXPECT_EQ(Expand(stream, data.size()), data);
}

TEST(LzhEncoderStream, SameInputGivesTheSameStream) {
  std::mt19937 rng(7);
  for (size_t size : {1, 5, 59, 60, 61, 118, 119, 5000, 70000}) {
    SCOPED_TRACE(size);
    Bytes data(size);
    for (auto& b : data) b = "  aab"[rng() % 5];
    const Bytes first = Compress(data);
    EXPECT_EQ(Compress(data), first);
    EXPECT_EQ(Expand(first, size), data);
  }
}

TEST(LzhEncoderRoundTrip, ConstructedData) {
  std::mt19937 rng(99);
  auto random = [&](size_t n, int alphabet) {
    Bytes d(n);
    for (auto& b : d) b = static_cast<uint8_t>(rng() % alphabet);
    return d;
  };
  struct Case {
    const char* name;
    Bytes data;
  };
  Bytes allValues;
  for (int round = 0; round < 40; ++round)
    for (int v = 0; v < 256; ++v)
      allValues.push_back(static_cast<uint8_t>(round % 2 ? 255 - v : v));
  Bytes runs;
  while (runs.size() < 300000) runs.insert(runs.end(), 1 + rng() % 5000, uint8_t(rng() % 4 * 85));
  Bytes text;
  const char* words[] = {"the ", "window ", "slides ", "over ", "a ", "tree ", "of ", "strings\n"};
  while (text.size() < 400000) {
    const char* w = words[rng() % 8];
    text.insert(text.end(), w, w + std::char_traits<char>::length(w));
  }
  const Case cases[] = {
      {"a single byte repeated", Bytes(200000, 0x20)},
      {"a single non-blank byte repeated", Bytes(200000, 0xAA)},
      {"runs of varying length", runs},
      {"all 256 values, rising and falling", allValues},
      {"random bytes (few matches, many window wraps)", random(300000, 256)},
      {"two-letter alphabet (long matches everywhere)", random(300000, 2)},
      {"sixteen letters", random(300000, 16)},
      {"words (rescales and wraps)", text},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectRoundTrip(c.data);
  }
}

TEST(LzhEncoderRoundTrip, RealFiles) {
  struct Source {
    const char* folder;
    size_t bytes;
  };
  bool any = false;
  for (const Source& s : {Source{"/usr/share/doc", 2u << 20}, Source{"/usr/include", 2u << 20},
                          Source{"/usr/bin", 2u << 20}}) {
    Bytes data;
    GatherFiles(s.folder, s.bytes, data);
    if (data.size() < (1u << 20)) continue;
    any = true;
    SCOPED_TRACE(s.folder);
    ExpectRoundTrip(data);
  }
  if (!any) GTEST_SKIP() << "no system folder with a megabyte of files to compress";
}

// A skewed symbol history drives some code past 16 bits; such a code is written in two pieces
// and must come back unchanged.
TEST(LzhEncoderRoundTrip, CodeLongerThanSixteenBits) {
  const Bytes data = SkewedData();
  const Bytes stream = Compress(data);
  EXPECT_GT(TraceStream(stream, data.size()).LongestCode, 16);
  EXPECT_EQ(Expand(stream, data.size()), data);
}

// A stop by the progress handler ends the input: the stream codes exactly the bytes taken
// before it, and the checksum counts only those.
TEST(LzhEncoderFrame, StopByTheProgressHandler) {
  Bytes data(20000);
  std::mt19937 rng(3);
  for (auto& b : data) b = static_cast<uint8_t>('a' + rng() % 8);
  int reports = 0;
  codecs::TShowProgressEvent stopSecond = [&](int32_t& percentage) {
    if (++reports == 2) percentage = -1;
  };
  uint32_t checksum = 0;
  const Bytes stream = Compress(data, &checksum, stopSecond);
  const Bytes taken(data.begin(), data.begin() + codecs::CodecBufferSize);
  EXPECT_EQ(reports, 2);
  EXPECT_EQ(Expand(stream, taken.size()), taken);
  EXPECT_EQ(checksum, SumOf(taken));
  EXPECT_EQ(stream, Compress(taken));
}

// A destination that takes nothing: the write error leaves the run.
TEST(LzhEncoderFrame, WriteErrorLeavesTheRun) {
  class Refusing : public platform::ByteStream {
   public:
    int32_t Read(void*, int32_t) override { return 0; }
    int32_t Write(const void*, int32_t) override { return 0; }
    int64_t Seek(int64_t, platform::SeekOrigin) override { return 0; }
  } dest;
  Bytes data(100000);
  std::mt19937 rng(5);
  for (auto& b : data) b = static_cast<uint8_t>(rng());
  TMemoryStream source(data);
  uint32_t sum = 0;
  EXPECT_THROW(codecs::RunCodec(nullptr, dest, source, static_cast<int32_t>(data.size()), 0,
                                codecs::mtLZH, sum, codecs::pmCompress),
               platform::EWriteError);
}

}  // namespace
