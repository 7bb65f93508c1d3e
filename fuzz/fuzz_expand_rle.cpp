// ExpandRle on arbitrary streams: every stream expands to something; its sum is the checksum,
// and expanding the re-compressed output gives the same bytes again.
#include "fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  uint32_t sum = 0;
  auto out = fuzzutil::Run(data, size, codecs::mtRLE, codecs::pmExpand, 0, &sum);
  uint32_t mine = 0;
  for (uint8_t b : out) mine += b;
  fuzzutil::Check(mine == sum, "checksum is the sum of the output");
  if (out.size() <= (1u << 20)) {
    auto packed = fuzzutil::Run(out.data(), out.size(), codecs::mtRLE, codecs::pmCompress, 0);
    auto again = fuzzutil::Run(packed.data(), packed.size(), codecs::mtRLE, codecs::pmExpand, 0);
    fuzzutil::Check(again == out, "RLE round trip of an expanded stream");
  }
  return 0;
}
