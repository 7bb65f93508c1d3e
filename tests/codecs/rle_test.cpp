// RLE codec: the worked examples in both directions, expand-only streams, round trips.
#include "codecs/rle.h"

#include <gtest/gtest.h>

#include <random>

#include "codec_streams.h"

namespace {

using namespace codectest;
using codecs::pmCompress;
using codecs::pmExpand;

Bytes Repeat(uint8_t b, size_t n) {
  return Bytes(n, b);
}

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

Bytes Compress(const Bytes& data) {
  return RunOnce(codecs::mtRLE, pmCompress, data).Output;
}
Bytes Expand(const Bytes& stream) {
  return RunOnce(codecs::mtRLE, pmExpand, stream).Output;
}

struct Example {
  const char* name;
  Bytes data;
  Bytes stream;
};

TEST(RleExamples, CompressAndExpandBothWays) {
  const Example examples[] = {
      {"empty", {}, {}},
      {"run of five", {0x41, 0x41, 0x41, 0x41, 0x41, 0x42}, {0x41, 0x94, 0x05, 0x42}},
      {"run of two stays plain", {0x41, 0x41, 0x42}, {0x41, 0x41, 0x42}},
      {"first byte 00 is plain", {0x00, 0x00}, {0x00, 0x00}},
      {"run of 00 at the start", {0x00, 0x00, 0x00}, {0x00, 0x94, 0x03}},
      {"escape bytes", {0x94, 0x94}, {0x94, 0x00, 0x94, 0x00}},
      {"three escape bytes", {0x94, 0x94, 0x94}, {0x94, 0x00, 0x94, 0x00, 0x94, 0x00}},
      {"runs around an escape",
       {0x41, 0x41, 0x41, 0x94, 0x41, 0x41, 0x41},
       {0x41, 0x94, 0x03, 0x94, 0x00, 0x41, 0x94, 0x03}},
      {"255", Repeat(0x41, 255), {0x41, 0x94, 0xFF}},
      {"256", Repeat(0x41, 256), {0x41, 0x94, 0xFF, 0x41}},
      {"257", Repeat(0x41, 257), {0x41, 0x94, 0xFF, 0x41, 0x41}},
      {"258", Repeat(0x41, 258), {0x41, 0x94, 0xFF, 0x41, 0x94, 0x03}},
      {"300", Repeat(0x41, 300), {0x41, 0x94, 0xFF, 0x41, 0x94, 0x2D}},
      {"run ends at a different byte",
       {0x41, 0x41, 0x41, 0x42, 0x42},
       {0x41, 0x94, 0x03, 0x42, 0x42}},
  };
  for (const Example& e : examples) {
    SCOPED_TRACE(e.name);
    RunResult packed = RunOnce(codecs::mtRLE, pmCompress, e.data);
    EXPECT_EQ(packed.Output, e.stream);
    EXPECT_EQ(packed.Checksum, SumOf(e.data));
    RunResult unpacked = RunOnce(codecs::mtRLE, pmExpand, e.stream);
    EXPECT_EQ(unpacked.Output, e.data);
    EXPECT_EQ(unpacked.Checksum, SumOf(e.data));
  }
}

TEST(RleExamples, StreamsTheEncoderNeverWrites) {
  const Example streams[] = {
      {"ends after the escape", {0x41, 0x94}, {0x41, 0x94}},
      {"count 1 writes nothing", {0x42, 0x43}, {0x42, 0x94, 0x01, 0x43}},
      {"count 2", {0x42, 0x42, 0x43}, {0x42, 0x94, 0x02, 0x43}},
      {"LastByte is 0x94 after a run token",
       {0x42, 0x42, 0x42, 0x94, 0x94},
       {0x42, 0x94, 0x03, 0x94, 0x03}},
      {"run token first repeats 00", {0x00, 0x00, 0x00, 0x00}, {0x94, 0x05}},
      {"run of the escaped byte", {0x94, 0x94, 0x94}, {0x94, 0x00, 0x94, 0x03}},
      {"only an escape", {0x94}, {0x94}},
  };
  for (const Example& e : streams) {
    SCOPED_TRACE(e.name);
    EXPECT_EQ(Expand(e.stream), e.data);
  }
}

// Data with runs of every length around the 255 cap, escapes next to runs, and all bytes.
Bytes MixedData(std::mt19937& rng, size_t n) {
  Bytes data;
  std::uniform_int_distribution<int> kind(0, 9), len(1, 600), any(0, 255);
  const uint8_t favourites[] = {0x00, 0x94, 0x41, 0xFF};
  while (data.size() < n) {
    const int k = kind(rng);
    if (k < 4) {  // a run, often of a favourite byte
      const uint8_t b = k < 2 ? favourites[rng() % 4] : static_cast<uint8_t>(any(rng));
      data.insert(data.end(), static_cast<size_t>(len(rng)), b);
    } else {
      data.push_back(static_cast<uint8_t>(any(rng)));
    }
  }
  data.resize(n);
  return data;
}

TEST(RleRoundTrip, RandomAndLongRunData) {
  std::mt19937 rng(20261211);
  std::vector<Bytes> inputs = {
      Repeat(0x00, 1),
      Repeat(0x94, 1000),
      Repeat(0x41, 100000),  // crosses blocks in both directions
      Concat({Repeat(0x41, 255), Bytes{0x94}, Repeat(0x41, 256), Bytes{0x94, 0x94}}),
  };
  Bytes all(256);
  for (int i = 0; i < 256; ++i) all[i] = static_cast<uint8_t>(i);
  inputs.push_back(all);
  for (int i = 0; i < 20; ++i) inputs.push_back(MixedData(rng, 1 + rng() % 40000));
  Bytes noise(30000);
  for (auto& b : noise) b = static_cast<uint8_t>(rng());
  inputs.push_back(noise);

  for (size_t i = 0; i < inputs.size(); ++i) {
    SCOPED_TRACE(i);
    const Bytes& data = inputs[i];
    const Bytes stream = Compress(data);
    EXPECT_EQ(Expand(stream), data);
    // The encoder writes counts 0 and 3..255 only.
    for (size_t j = 0; j + 1 < stream.size(); ++j) {
      if (stream[j] != codecs::RleEscape) continue;
      ASSERT_TRUE(stream[j + 1] == 0 || stream[j + 1] >= 3) << j;
      ++j;
    }
  }
}

}  // namespace
