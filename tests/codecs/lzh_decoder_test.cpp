// The LZH decoder: the worked streams, whole matches, the end of the input as 0 bits, exactly
// how far it reads, the progress stop, and long streams written token by token.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "codec_streams.h"
#include "codecs/lzh.h"
#include "lzh_token_writer.h"
#include "platform/exceptions.h"

namespace {

using namespace codectest;
using codecs::pmExpand;
using codecs::RunCodec;

RunResult Expand(const Bytes& stream, int32_t destSize) {
  return RunOnce(codecs::mtLZH, pmExpand, stream, destSize);
}

struct Worked {
  const char* name;
  Bytes stream;
  int32_t destSize;
  Bytes output;
};

TEST(LzhDecoder, WorkedStreams) {
  const Worked cases[] = {
      // symbol 65 (111001101 after reset), then 0 bits to the end of the byte
      {"one literal", {0xE6, 0x80}, 1, {0x41}},
      // symbol 313 (11000101), offset 59 (000 111011): window positions 3976..4035
      {"sixty spaces from the initial window", {0xC5, 0x1D, 0x80}, 60, Bytes(60, 0x20)},
      // literal 41, then symbol 313 (now 111001101) with offset 0, overlapping itself
      {"overlapping match", {0xE6, 0xF3, 0x40, 0x00}, 61, Bytes(61, 0x41)},
      // the match after the first byte is copied whole
      {"match is never cut", {0xE6, 0xF3, 0x40, 0x00}, 30, Bytes(61, 0x41)},
      {"match is never cut (2)", {0xE6, 0xF3, 0x40, 0x00}, 2, Bytes(61, 0x41)},
  };
  for (const Worked& c : cases) {
    SCOPED_TRACE(c.name);
    RunResult r = Expand(c.stream, c.destSize);
    EXPECT_EQ(r.Output, c.output);
    EXPECT_EQ(r.Checksum, SumOf(c.output));
  }
}

TEST(LzhDecoder, TokenWriterMatchesTheWorkedStreams) {
  // The writer used below must agree with the hand-made streams.
  LzhTokenWriter a;
  a.Literal(0x41);
  EXPECT_EQ(a.Stream(), (Bytes{0xE6, 0x80}));
  LzhTokenWriter b;
  b.Match(60, 59);
  EXPECT_EQ(b.Stream(), (Bytes{0xC5, 0x1D, 0x80}));
  LzhTokenWriter c;
  c.Literal(0x41);
  c.Match(60, 0);
  EXPECT_EQ(c.Stream(), (Bytes{0xE6, 0xF3, 0x40, 0x00}));
}

TEST(LzhDecoder, DestSizeZeroOrLessReadsNothing) {
  for (int32_t destSize : {0, -1, INT32_MIN}) {
    SCOPED_TRACE(destSize);
    RecordingSource source({0xE6, 0x80});
    RecordingSink sink;
    uint32_t checksum = 1;
    RunCodec({}, sink, source, 2, destSize, codecs::mtLZH, checksum, pmExpand);
    EXPECT_TRUE(source.Requests.empty());
    EXPECT_TRUE(sink.Writes.empty());
    EXPECT_EQ(checksum, 0u);
  }
}

TEST(LzhDecoder, EveryRunStartsFresh) {
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Expand({0xE6, 0x80}, 1).Output, Bytes{0x41});
}

// Tokens of every kind: skewed literals, matches of every length, offsets of every prefix code
// (including ones that reach back into the initial spaces), enough symbols for several rescales.
LzhTokenWriter RandomTokens(uint32_t seed, int tokens) {
  std::mt19937 rng(seed);
  LzhTokenWriter w;
  std::geometric_distribution<int> skew(0.08);
  for (int t = 0; t < tokens; ++t) {
    const uint32_t kind = rng() % 10;
    if (kind < 6) {
      w.Literal(static_cast<uint8_t>('a' + skew(rng) % 200));
    } else if (kind < 9) {
      w.Match(3 + static_cast<int>(rng() % 58), static_cast<int>(rng() % 4096));
    } else {
      w.Match(3 + skew(rng) % 58, skew(rng) % 64);  // short offsets, often overlapping
    }
  }
  return w;
}

TEST(LzhDecoder, LongStreamsDecodeToTheirTokens) {
  for (uint32_t seed : {11u, 12u}) {
    SCOPED_TRACE(seed);
    const LzhTokenWriter w = RandomTokens(seed, 60000);
    const Bytes& expected = w.Expected();
    ASSERT_GT(w.Stream().size(), 3u * 8192);  // several input blocks
    RunResult r = Expand(w.Stream(), static_cast<int32_t>(expected.size()));
    ASSERT_EQ(r.Output.size(), expected.size());
    EXPECT_TRUE(r.Output == expected);
    EXPECT_EQ(r.Checksum, SumOf(expected));
  }
}

TEST(LzhDecoder, EveryOffset) {
  LzhTokenWriter w;
  for (int i = 0; i < 4096; ++i) w.Literal(static_cast<uint8_t>(i * 31 + i / 256));
  for (int o = 0; o < 4096; ++o) w.Match(3 + o % 58, o);
  RunResult r = Expand(w.Stream(), static_cast<int32_t>(w.Expected().size()));
  EXPECT_TRUE(r.Output == w.Expected());
}

TEST(LzhDecoder, SmallerDestSizeStopsAtTheFirstTokenThatReachesIt) {
  const LzhTokenWriter w = RandomTokens(5, 3000);
  const Bytes& full = w.Expected();
  for (int32_t destSize : {1, 2, 59, 60, 61, 1000, 4097, 9000}) {
    SCOPED_TRACE(destSize);
    RunResult r = Expand(w.Stream(), destSize);
    ASSERT_GE(r.Output.size(), static_cast<size_t>(destSize));
    ASSERT_LT(r.Output.size(), static_cast<size_t>(destSize) + 60);
    EXPECT_TRUE(std::equal(r.Output.begin(), r.Output.end(), full.begin()));
  }
}

TEST(LzhDecoder, TruncatedStreamReadsZeroBits) {
  const LzhTokenWriter w = RandomTokens(6, 20000);
  const Bytes& stream = w.Stream();
  const int32_t destSize = static_cast<int32_t>(w.Expected().size());
  for (size_t cut : {size_t{0}, size_t{1}, size_t{2}, size_t{8191}, size_t{8192}, stream.size() / 2,
                     stream.size() - 1}) {
    SCOPED_TRACE(cut);
    const Bytes truncated(stream.begin(), stream.begin() + static_cast<ptrdiff_t>(cut));
    Bytes padded = truncated;
    padded.resize(stream.size() + 16, 0);
    RunResult shortRun = Expand(truncated, destSize);
    ASSERT_GE(shortRun.Output.size(), static_cast<size_t>(destSize));
    ASSERT_LT(shortRun.Output.size(), static_cast<size_t>(destSize) + 60);
    EXPECT_TRUE(shortRun.Output == Expand(padded, destSize).Output);
  }
}

TEST(LzhDecoder, ReadsExactlyTheBytesItsBitReaderNeeds) {
  // One byte per read call makes every byte the decoder takes visible as one request. Before
  // each take the reader tops up one byte when at most 8 bits are left, so it holds up to 16.
  const struct {
    const char* name;
    Bytes stream;
    int32_t destSize;
    size_t bytesTaken;
  } cases[] = {
      {"9-bit literal", {0xE6, 0x80}, 1, 3},
      {"8-bit symbol, 3-bit offset code", {0xC5, 0x1D, 0x80}, 60, 4},
      {"literal and match", {0xE6, 0xF3, 0x40, 0x00}, 61, 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes input = c.stream;
    input.resize(64, 0xAA);  // more than the decoder needs
    RecordingSource source(input, 1);
    RecordingSink sink;
    uint32_t checksum = 0;
    RunCodec({}, sink, source, static_cast<int32_t>(input.size()), c.destSize, codecs::mtLZH,
             checksum, pmExpand);
    EXPECT_EQ(source.Requests.size(), c.bytesTaken);
    EXPECT_EQ(source.Position(), static_cast<int64_t>(c.bytesTaken));
  }
}

TEST(LzhDecoder, NeverReadsBeyondSourceSize) {
  Bytes input = {0xE6, 0x80};
  input.resize(20000, 0x55);
  RecordingSource source(input);
  RecordingSink sink;
  uint32_t checksum = 0;
  RunCodec({}, sink, source, 2, 100, codecs::mtLZH, checksum, pmExpand);
  EXPECT_EQ(source.Requests, (std::vector<int32_t>{2}));
  EXPECT_EQ(source.Position(), 2);
  EXPECT_GE(sink.Data.size(), 100u);
}

TEST(LzhDecoder, WriteErrorLeavesTheRun) {
  // The full block written during the run fails; the run's tables are freed on the way out
  // (the sanitizer build checks for leaks).
  const LzhTokenWriter w = RandomTokens(9, 20000);
  RecordingSource source(w.Stream());
  RecordingSink sink(100);
  uint32_t checksum = 0;
  EXPECT_THROW(
      RunCodec({}, sink, source, static_cast<int32_t>(w.Stream().size()),
               static_cast<int32_t>(w.Expected().size()), codecs::mtLZH, checksum, pmExpand),
      platform::EWriteError);
  EXPECT_EQ(sink.Writes, (std::vector<int32_t>{8192}));
}

TEST(LzhDecoder, StoppedBlockIsReadAsZeroBitsThenInputResumes) {
  // The stopping call itself yields a 0 byte, then the whole stopped block is delivered as
  // zeros; the next block is reported and read normally.
  const LzhTokenWriter w = RandomTokens(8, 40000);
  const Bytes& stream = w.Stream();
  ASSERT_GT(stream.size(), 3u * 8192);
  const int32_t destSize = static_cast<int32_t>(w.Expected().size());

  RecordingSource source(stream);
  RecordingSink sink;
  std::vector<int32_t> reports;
  codecs::TShowProgressEvent progress = [&](int32_t& p) {
    reports.push_back(p);
    if (reports.size() == 1) p = -5;
  };
  uint32_t checksum = 0;
  RunCodec(progress, sink, source, static_cast<int32_t>(stream.size()), destSize, codecs::mtLZH,
           checksum, pmExpand);
  EXPECT_GE(reports.size(), 3u);
  EXPECT_EQ(reports.back(), 100);

  Bytes zeroed(8193, 0);
  zeroed.insert(zeroed.end(), stream.begin() + 8192, stream.end());
  EXPECT_TRUE(sink.Data == Expand(zeroed, destSize).Output);
  EXPECT_EQ(checksum, SumOf(sink.Data));
}

std::string GoldenPath(const std::string& name) {
  return std::string(QUARNEL_TEST_DATA) + "/golden/lzh/" + name;
}

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The tokens of tokens-rescale: 34000 symbols (one rescale happens after 32454), words as
// literals and copies of every kind, from a fixed linear congruential sequence.
LzhTokenWriter GoldenTokens() {
  uint32_t x = 12345;
  auto next = [&x](uint32_t n) {
    x = x * 1103515245u + 12345u;
    return (x >> 16) % n;
  };
  const char* words[] = {"setup ", "archive ", "window ", "the ", "of ", "data\r\n", "Fenwold "};
  LzhTokenWriter w;
  for (int symbols = 0; symbols < 34000;) {
    if (next(4) == 0) {
      w.Match(3 + static_cast<int>(next(58)), static_cast<int>(next(4096)));
      ++symbols;
    } else {
      for (const char* c = words[next(7)]; *c && symbols < 34000; ++c, ++symbols)
        w.Literal(static_cast<uint8_t>(*c));
    }
  }
  return w;
}

// Writes tokens-rescale.lzh and .out; run with --gtest_also_run_disabled_tests only when the
// format itself is meant to change.
TEST(LzhDecoder, DISABLED_WriteGoldenTokensRescale) {
  const LzhTokenWriter w = GoldenTokens();
  std::ofstream(GoldenPath("tokens-rescale.lzh"), std::ios::binary)
      .write(reinterpret_cast<const char*>(w.Stream().data()),
             static_cast<std::streamsize>(w.Stream().size()));
  std::ofstream(GoldenPath("tokens-rescale.out"), std::ios::binary)
      .write(reinterpret_cast<const char*>(w.Expected().data()),
             static_cast<std::streamsize>(w.Expected().size()));
}

TEST(LzhDecoder, GoldenStreams) {
  // Each .lzh expands to the .out beside it; the size comes from the .out file.
  for (const char* name : {"literal-41", "spaces-60", "overlap-61", "tokens-rescale"}) {
    SCOPED_TRACE(name);
    const Bytes stream = ReadFile(GoldenPath(std::string(name) + ".lzh"));
    const Bytes expected = ReadFile(GoldenPath(std::string(name) + ".out"));
    ASSERT_FALSE(stream.empty());
    ASSERT_FALSE(expected.empty());
    EXPECT_TRUE(Expand(stream, static_cast<int32_t>(expected.size())).Output == expected);
  }
}

}  // namespace
