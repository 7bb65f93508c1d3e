// ExpandLzh on arbitrary streams: the first two bytes give DestSize (at most 65535, and at most
// 256 bytes per stream byte: past its end a stream reads as zero bits, and decoding kilobytes of
// padding teaches the fuzzer nothing but costs most of its time), the rest is the stream. The output holds at least DestSize bytes and at most 59 more, and its sum is
// the checksum that the frame returns.
#include <algorithm>

#include "fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const int32_t cap = static_cast<int32_t>(std::min<size_t>(65535, 256 * (size - 2) + 64));
  int32_t destSize = std::min<int32_t>(data[0] | (data[1] << 8), cap);
  uint32_t sum = 0;
  auto out = fuzzutil::Run(data + 2, size - 2, codecs::mtLZH, codecs::pmExpand, destSize, &sum);
  fuzzutil::Check(out.size() >= static_cast<size_t>(destSize), "at least DestSize bytes");
  fuzzutil::Check(out.size() <= static_cast<size_t>(destSize) + 59, "a match is at most 60 bytes");
  uint32_t mine = 0;
  for (uint8_t b : out) mine += b;
  fuzzutil::Check(mine == sum, "checksum is the sum of the output");
  return 0;
}
