// RLE round trip: CompressRle of any input expands back to it exactly.
#include "fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  uint32_t inSum = 0, outSum = 0;
  auto packed = fuzzutil::Run(data, size, codecs::mtRLE, codecs::pmCompress, 0, &inSum);
  auto out = fuzzutil::Run(packed.data(), packed.size(), codecs::mtRLE, codecs::pmExpand, 0,
                           &outSum);
  fuzzutil::Check(out.size() == size && std::equal(out.begin(), out.end(), data),
                  "RLE round trip");
  fuzzutil::Check(inSum == outSum, "checksums agree");
  return 0;
}
