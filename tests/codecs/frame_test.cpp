// The codec frame: block reads and writes, sums, progress reports and the stop, clean runs.
// RLE expansion of bytes without 0x94 is a plain copy, which makes it a transparent codec here.
#include "codecs/frame.h"

#include <gtest/gtest.h>

#include <climits>

#include "codec_streams.h"
#include "platform/exceptions.h"

namespace {

using namespace codectest;
using codecs::pmCompress;
using codecs::pmExpand;
using codecs::RunCodec;

// n bytes that RLE expansion copies unchanged (no 0x94 among them).
Bytes PlainBytes(size_t n) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>((i * 7) % 0x90);
  return b;
}

struct Reads {
  size_t size;
  std::vector<int32_t> requests;
  std::vector<int32_t> reports;
};

TEST(FrameStreaming, ReadRequestsAndProgressReports) {
  const Reads cases[] = {
      {20000, {8192, 8192, 3616}, {40, 81, 100}},
      {8192, {8192}, {100}},  // the end is found without another request
      {8193, {8192, 1}, {99, 100}},
      {1, {1}, {100}},
  };
  for (const Reads& c : cases) {
    SCOPED_TRACE(c.size);
    const Bytes input = PlainBytes(c.size);
    RecordingSource source(input);
    RecordingSink sink;
    std::vector<int32_t> reports;
    codecs::TShowProgressEvent progress = [&](int32_t& p) { reports.push_back(p); };
    uint32_t checksum = 0;
    RunCodec(progress, sink, source, static_cast<int32_t>(c.size), 0, codecs::mtRLE, checksum,
             pmExpand);
    EXPECT_EQ(source.Requests, c.requests);
    EXPECT_EQ(reports, c.reports);
    EXPECT_EQ(sink.Data, input);
    EXPECT_EQ(checksum, SumOf(input));
  }
}

TEST(FrameStreaming, HandlerThatClearsTheOwnersEventKeepsReporting) {
  // The run works with its own copy of the handler taken at the start.
  RecordingSource source(PlainBytes(20000));
  RecordingSink sink;
  std::vector<int32_t> reports;
  codecs::TShowProgressEvent event;
  event = [&](int32_t& p) {
    reports.push_back(p);
    event = nullptr;
  };
  uint32_t checksum = 0;
  RunCodec(event, sink, source, 20000, 0, codecs::mtRLE, checksum, pmExpand);
  EXPECT_EQ(reports, (std::vector<int32_t>{40, 81, 100}));
}

TEST(FrameStreaming, NeverAsksForMoreThanSourceSize) {
  // The stream holds more than the run owns; the rest belongs to whatever follows.
  const Bytes input = PlainBytes(20000);
  RecordingSource source(input);
  RecordingSink sink;
  uint32_t checksum = 0;
  RunCodec({}, sink, source, 10000, 0, codecs::mtRLE, checksum, pmExpand);
  EXPECT_EQ(source.Requests, (std::vector<int32_t>{8192, 1808}));
  EXPECT_EQ(source.Position(), 10000);
  EXPECT_EQ(sink.Data, Bytes(input.begin(), input.begin() + 10000));
}

TEST(FrameStreaming, ShortSourceEndsTheInputWithoutError) {
  // SourceSize promises 20000 bytes, the stream has 5000: the empty read ends the input.
  const Bytes input = PlainBytes(5000);
  RecordingSource source(input);
  RecordingSink sink;
  uint32_t checksum = 0;
  RunCodec({}, sink, source, 20000, 0, codecs::mtRLE, checksum, pmExpand);
  EXPECT_EQ(source.Requests, (std::vector<int32_t>{8192, 8192}));
  EXPECT_EQ(sink.Data, input);
}

// Fills what it is asked for but claims twice as much.
class OverclaimingSource : public RecordingSource {
 public:
  using RecordingSource::RecordingSource;
  int32_t Read(void* buffer, int32_t count) override {
    return 2 * RecordingSource::Read(buffer, count);
  }
};

TEST(FrameStreaming, CountAboveTheRequestIsTrimmed) {
  // The read end must never move past the bytes asked for (past the buffer, for a full block).
  const Bytes input = PlainBytes(10000);
  OverclaimingSource source(input);
  RecordingSink sink;
  uint32_t checksum = 0;
  RunCodec({}, sink, source, 10000, 0, codecs::mtRLE, checksum, pmExpand);
  EXPECT_EQ(source.Requests, (std::vector<int32_t>{8192, 1808}));
  EXPECT_EQ(sink.Data, input);
}

TEST(FrameStreaming, SourceSizeZeroOrLessReadsNothing) {
  for (int32_t size : {0, -1, INT32_MIN}) {
    for (auto mode : {pmExpand, pmCompress}) {
      SCOPED_TRACE(testing::Message() << size << " mode " << int(mode));
      RecordingSource source(PlainBytes(100));
      RecordingSink sink;
      int calls = 0;
      codecs::TShowProgressEvent progress = [&](int32_t&) { ++calls; };
      uint32_t checksum = 1;
      RunCodec(progress, sink, source, size, 0, codecs::mtRLE, checksum, mode);
      EXPECT_TRUE(source.Requests.empty());
      EXPECT_EQ(calls, 0);
      EXPECT_TRUE(sink.Writes.empty());
      EXPECT_EQ(checksum, 0u);
    }
  }
}

TEST(FrameStreaming, FullBlocksAreWrittenWhenTheNextByteArrives) {
  const struct {
    size_t size;
    std::vector<int32_t> writes;
  } cases[] = {
      {8191, {8191}},        {8192, {8192}},           {8193, {8192, 1}},
      {16384, {8192, 8192}}, {16385, {8192, 8192, 1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size);
    const Bytes input = PlainBytes(c.size);
    RecordingSource source(input);
    RecordingSink sink;
    uint32_t checksum = 0;
    RunCodec({}, sink, source, static_cast<int32_t>(c.size), 0, codecs::mtRLE, checksum, pmExpand);
    EXPECT_EQ(sink.Writes, c.writes);
    EXPECT_EQ(sink.Data, input);
  }
}

TEST(FrameStreaming, MethodsWithoutCodecReadAndWriteNothing) {
  for (uint8_t method :
       {uint8_t{codecs::mtNone}, uint8_t{codecs::mtCustom}, uint8_t{7}, uint8_t{255}}) {
    for (auto mode : {pmExpand, pmCompress}) {
      SCOPED_TRACE(testing::Message() << "method " << int(method) << " mode " << int(mode));
      RecordingSource source(PlainBytes(100));
      RecordingSink sink;
      uint32_t checksum = 0xDEADBEEF;
      RunCodec({}, sink, source, 100, 100, method, checksum, mode);
      EXPECT_TRUE(source.Requests.empty());
      EXPECT_TRUE(sink.Writes.empty());
      EXPECT_EQ(checksum, 0u);
    }
  }
}

TEST(FrameStreaming, AnyModeOtherThanCompressExpands) {
  const Bytes stream = {0x41, 0x94, 0x05, 0x42};
  RunResult r = RunOnce(codecs::mtRLE, static_cast<codecs::TCProcessMode>(7), stream);
  EXPECT_EQ(r.Output, (Bytes{0x41, 0x41, 0x41, 0x41, 0x41, 0x42}));
  EXPECT_EQ(r.Checksum, 5u * 0x41 + 0x42);  // the output's sum
}

TEST(FrameStreaming, ChecksumIsTheSumOfTheUncompressedSide) {
  const Bytes data = {0x94, 0x94, 0xFF, 0xFF, 0xFF, 0x00};
  RunResult packed = RunOnce(codecs::mtRLE, pmCompress, data);
  EXPECT_EQ(packed.Checksum, SumOf(data));  // input sum
  RunResult unpacked = RunOnce(codecs::mtRLE, pmExpand, packed.Output);
  EXPECT_EQ(unpacked.Checksum, SumOf(data));  // output sum
  EXPECT_EQ(unpacked.Output, data);
}

TEST(FrameStreaming, SumsWrapModulo32Bits) {
  // 255 * n = 2^32 + 254: about 16.8 MB of 0xFF wrap each sum once.
  const uint32_t n = 16843010;
  const uint32_t wrapped = static_cast<uint32_t>(uint64_t{255} * n);
  ASSERT_EQ(wrapped, 254u);

  EndlessBytes ones(0xFF);
  RecordingSink packed;
  uint32_t checksum = 0;
  RunCodec({}, packed, ones, static_cast<int32_t>(n), 0, codecs::mtRLE, checksum, pmCompress);
  EXPECT_EQ(checksum, wrapped);  // the input sum

  RecordingSource stream(packed.Data);
  CountingSink expanded;
  RunCodec({}, expanded, stream, static_cast<int32_t>(packed.Data.size()), 0, codecs::mtRLE,
           checksum, pmExpand);
  EXPECT_EQ(expanded.Count, n);
  EXPECT_EQ(checksum, wrapped);  // the output sum
}

TEST(FrameStreaming, TwoRunsStartClean) {
  // The first run leaves LastByte 0x41, the RLE flags set and sums above 0.
  RunOnce(codecs::mtRLE, pmExpand, {0x41, 0x94, 0x05});
  RunResult r = RunOnce(codecs::mtRLE, pmExpand, {0x94, 0x03});
  EXPECT_EQ(r.Output, (Bytes{0x00, 0x00}));  // repeats the start value, not 0x41
  EXPECT_EQ(r.Checksum, 0u);

  RunOnce(codecs::mtRLE, pmCompress, {0x00});  // leaves AtStart false, LastByte 0
  r = RunOnce(codecs::mtRLE, pmCompress, {0x00, 0x00});
  EXPECT_EQ(r.Output, (Bytes{0x00, 0x00}));
  RunOnce(codecs::mtRLE, pmCompress, {0x41, 0x41, 0x41, 0x41});  // ends inside a run
  r = RunOnce(codecs::mtRLE, pmCompress, {0x42});
  EXPECT_EQ(r.Output, (Bytes{0x42}));
}

TEST(FrameStreaming, DestinationThatTakesTooLittleRaisesWriteError) {
  const struct {
    size_t output;
    size_t capacity;
    bool fails;
  } cases[] = {
      {300, 300, false},     {300, 299, true},  // the final write-all
      {8193, 8191, true},                       // the write of the full block during the run
      {20000, 16384, true},                     // the final write-all after two full blocks
      {20000, 20000, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.output << " into " << c.capacity);
    const Bytes input = PlainBytes(c.output);
    RecordingSource source(input);
    RecordingSink sink(c.capacity);
    uint32_t checksum = 0;
    auto run = [&] {
      RunCodec({}, sink, source, static_cast<int32_t>(c.output), 0, codecs::mtRLE, checksum,
               pmExpand);
    };
    if (c.fails) {
      EXPECT_THROW(run(), platform::EWriteError);
    } else {
      EXPECT_NO_THROW(run());
    }
  }
}

TEST(FrameStreaming, ExceptionsOfTheHandlerPassThrough) {
  struct Stop {};
  RecordingSource source(PlainBytes(20000));
  RecordingSink sink;
  codecs::TShowProgressEvent progress = [](int32_t&) { throw Stop{}; };
  uint32_t checksum = 0;
  EXPECT_THROW(RunCodec(progress, sink, source, 20000, 0, codecs::mtRLE, checksum, pmExpand), Stop);
  EXPECT_TRUE(sink.Writes.empty());  // buffered output is not written after an exception
}

TEST(FrameStreaming, NegativePercentageStopsTheInput) {
  for (auto mode : {pmExpand, pmCompress}) {
    SCOPED_TRACE(int(mode));
    RecordingSource source(PlainBytes(20000));
    RecordingSink sink;
    std::vector<int32_t> reports;
    codecs::TShowProgressEvent progress = [&](int32_t& p) {
      reports.push_back(p);
      p = -1;
    };
    uint32_t checksum = 1;
    RunCodec(progress, sink, source, 20000, 0, codecs::mtRLE, checksum, mode);
    // RLE stops at once, as at the end of the input; the run completes normally.
    EXPECT_EQ(source.Requests, (std::vector<int32_t>{8192}));
    EXPECT_EQ(reports, (std::vector<int32_t>{40}));
    EXPECT_TRUE(sink.Data.empty());
    EXPECT_EQ(checksum, 0u);
  }
}

TEST(FrameStreaming, HugeSourceSizeGivesNonNegativeRisingReports) {
  // 100 * BytesRead leaves 32 bits after 21.5 MB; go well past that, then stop the input.
  EndlessBytes source(0);
  CountingSink sink;
  std::vector<int32_t> reports;
  const int32_t stopAfter = 3000;  // blocks: about 24.6 MB
  codecs::TShowProgressEvent progress = [&](int32_t& p) {
    reports.push_back(p);
    if (static_cast<int32_t>(reports.size()) == stopAfter) p = -1;
  };
  uint32_t checksum = 0;
  RunCodec(progress, sink, source, INT32_MAX, 0, codecs::mtRLE, checksum, pmCompress);
  ASSERT_EQ(static_cast<int32_t>(reports.size()), stopAfter);
  for (size_t i = 0; i < reports.size(); ++i) {
    ASSERT_GE(reports[i], 0) << i;
    if (i > 0) {
      ASSERT_GE(reports[i], reports[i - 1]) << i;
    }
  }
  EXPECT_EQ(reports.back(), 1);  // 3000 * 8192 * 100 / (2^31 - 1) = 1.14
}

}  // namespace
